// The controller's SNMP settings record.
#pragma once

#include "devices/devicerecord.h"
#include "records.h"

#include <QString>

class QZynSNMPInfo {
public:
    explicit QZynSNMPInfo(const _SNMP_CONFIG* source, DeviceLock* lock = nullptr);

    void SetupInfo(const _SNMP_CONFIG* source);
    _SNMP_CONFIG GetRecord() const { return m_record.get(); }

    // Each text up to its first NUL within its field (16 bytes for the community, 32 for the
    // others); empty when the first byte is 0.
    QString GetCommunity() const;
    QString GetContact() const;
    QString GetName() const;
    QString GetLocation() const;

private:
    QString text(int offset, int width) const;

    DeviceRecord<_SNMP_CONFIG> m_record;
};
