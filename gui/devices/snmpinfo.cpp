#include "devices/snmpinfo.h"

QZynSNMPInfo::QZynSNMPInfo(const _SNMP_CONFIG* source, DeviceLock* lock)
    : m_record(lock != nullptr ? lock : DeviceRecordLock(nullptr), source)
{
}

void QZynSNMPInfo::SetupInfo(const _SNMP_CONFIG* source)
{
    m_record.set(source);
}

QString QZynSNMPInfo::text(int offset, int width) const
{
    const _SNMP_CONFIG r = GetRecord();
    return devicetext::upToNul(r.bytes + offset, width);
}

QString QZynSNMPInfo::GetCommunity() const { return text(_SNMP_CONFIG::kCommunity, 16); }
QString QZynSNMPInfo::GetContact() const { return text(_SNMP_CONFIG::kContact, 32); }
QString QZynSNMPInfo::GetName() const { return text(_SNMP_CONFIG::kName, 32); }
QString QZynSNMPInfo::GetLocation() const { return text(_SNMP_CONFIG::kLocation, 32); }
