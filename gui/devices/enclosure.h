// An enclosure of a controller: its property record, slot descriptors and sensors.
#pragma once

#include "devices/device.h"
#include "devices/devicerecord.h"
#include "devices/disk.h"
#include "records.h"

#include <vector>

class QZynController;

class QZynEnclosure : public QZynRecordDevice<sGUI_ENC_PROPERTY> {
    Q_OBJECT
public:
    static constexpr int kDescriptors = 128;
    static constexpr int kDescriptorSize = 24;
    static constexpr int kDescriptorPageSize = kDescriptors * kDescriptorSize;   // 3072
    // The slot descriptors are read with this capacity.
    static constexpr int kDescriptorReadSize = 2048;

    QZynEnclosure(QZynController* owner, int index, const sGUI_ENC_PROPERTY* record);
    QZynEnclosure& operator=(const QZynEnclosure& other);

    // Reads the property record again when the enclosure exists; the read's result.
    uint32_t UpdateInfo();
    void SetAbsent();
    bool IsPresent() const { return GetRecord().exists(); }

    int GetIndex() const { return m_index; }

    QString GetVendorName() const;
    QString GetName() const;
    QString GetReversion() const;
    void GetDiskCount(std::vector<QZynDiskIndex>& out) const;
    void GetFreeDiskCount(std::vector<QZynDiskIndex>& out) const;
    // Copies a page of kDescriptorPageSize bytes.
    void SetDiskDescriptor(const unsigned char* page);
    // Descriptor `slot` up to its first NUL and at most 24 characters; empty out of range.
    QString GetDiskDescriptor(int slot) const;

    // The enclosure's own sensor block.
    sSENSORS GetSensors() const { return m_sensors.get(); }
    void SetSensors(const sSENSORS& sensors) { m_sensors.set(&sensors); }

private:
    struct DescriptorPage {
        unsigned char bytes[kDescriptorPageSize];
    };

    int m_index;
    DeviceRecord<DescriptorPage> m_descriptors;
    DeviceRecord<sSENSORS> m_sensors;
};
