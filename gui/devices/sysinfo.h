// The controller's system-information record and the texts made from it.
#pragma once

#include "devices/devicerecord.h"
#include "records.h"

#include <QString>

class QZynSysInfo {
public:
    // `lock` guards the record (the owning controller's record lock); null: a lock of its own.
    explicit QZynSysInfo(const sSYSTEM_INFO* source, DeviceLock* lock = nullptr);

    void SetupInfo(const sSYSTEM_INFO* source);
    sSYSTEM_INFO GetRecord() const { return m_record.get(); }

    QString GetVendorName() const;
    QString GetSerialNumber() const;
    QString GetFirmWareVersion() const;
    QString GetBootVersion() const;
    QString GetMbrVersion() const;
    // The 8 characters at 104 and the suffix at 208 up to its NUL (at most 48 characters).
    QString GetModelName() const;
    QString GetIPAddressString() const;
    QString GetMacAddressString() const;

    // Serial number, MAC address, firmware version and model name equal byte for byte.
    bool operator==(const QZynSysInfo& other) const;
    bool operator!=(const QZynSysInfo& other) const { return !(*this == other); }

private:
    QString field(int offset, int width) const;

    DeviceRecord<sSYSTEM_INFO> m_record;
};
