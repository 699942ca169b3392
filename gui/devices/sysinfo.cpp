#include "devices/sysinfo.h"

#include <cstring>

QZynSysInfo::QZynSysInfo(const sSYSTEM_INFO* source, DeviceLock* lock)
    : m_record(lock != nullptr ? lock : DeviceRecordLock(nullptr), source)
{
}

void QZynSysInfo::SetupInfo(const sSYSTEM_INFO* source)
{
    m_record.set(source);
}

QString QZynSysInfo::field(int offset, int width) const
{
    const sSYSTEM_INFO r = GetRecord();
    return devicetext::field(r.bytes + offset, width);
}

QString QZynSysInfo::GetVendorName() const
{
    return field(sSYSTEM_INFO::kVendorName, sSYSTEM_INFO::kVendorNameSize);
}

QString QZynSysInfo::GetSerialNumber() const
{
    return field(sSYSTEM_INFO::kSerialNumber, sSYSTEM_INFO::kSerialNumberSize);
}

QString QZynSysInfo::GetFirmWareVersion() const
{
    return field(sSYSTEM_INFO::kFirmwareVersion, sSYSTEM_INFO::kFirmwareVersionSize);
}

QString QZynSysInfo::GetBootVersion() const
{
    return field(sSYSTEM_INFO::kBootRomVersion, sSYSTEM_INFO::kBootRomVersionSize);
}

QString QZynSysInfo::GetMbrVersion() const
{
    return field(sSYSTEM_INFO::kMbrVersion, sSYSTEM_INFO::kMbrVersionSize);
}

QString QZynSysInfo::GetModelName() const
{
    const sSYSTEM_INFO r = GetRecord();
    return devicetext::field(r.bytes + sSYSTEM_INFO::kModelName, sSYSTEM_INFO::kModelNameSize)
        + devicetext::upToNul(r.bytes + sSYSTEM_INFO::kModelSuffix, sSYSTEM_INFO::kModelSuffixSize);
}

QString QZynSysInfo::GetIPAddressString() const
{
    const sSYSTEM_INFO r = GetRecord();
    const uint8_t* ip = r.ipAddress();
    return QStringLiteral("%0.%1.%2.%3").arg(ip[0]).arg(ip[1]).arg(ip[2]).arg(ip[3]);
}

QString QZynSysInfo::GetMacAddressString() const
{
    const sSYSTEM_INFO r = GetRecord();
    const uint8_t* m = r.macAddress();
    QString text;
    for (int i = 0; i < 6; ++i) {
        if (i > 0)
            text += QLatin1Char('-');
        text += QStringLiteral("%1").arg(m[i], 2, 16, QLatin1Char('0'));
    }
    return text;
}

bool QZynSysInfo::operator==(const QZynSysInfo& other) const
{
    const sSYSTEM_INFO a = GetRecord();
    const sSYSTEM_INFO b = other.GetRecord();
    auto same = [&](int offset, int width) {
        return std::memcmp(a.bytes + offset, b.bytes + offset, size_t(width)) == 0;
    };
    return same(sSYSTEM_INFO::kSerialNumber, sSYSTEM_INFO::kSerialNumberSize)
        && same(sSYSTEM_INFO::kMacAddress, 6)
        && same(sSYSTEM_INFO::kFirmwareVersion, sSYSTEM_INFO::kFirmwareVersionSize)
        && same(sSYSTEM_INFO::kModelName, sSYSTEM_INFO::kModelNameSize);
}
