// A drive slot of a controller, and the address of a drive.
#pragma once

#include "devices/device.h"
#include "devices/devicerecord.h"
#include "records.h"

#include <QIcon>

#include <cstdint>

class QZynController;
class QZynDisk;

// The identity of a drive: its slot within its enclosure, the enclosure, and the resolved
// object (null in member lists built from a raid set's record).
struct QZynDiskIndex {
    int slot = -1;
    int enclosure = -1;
    QZynDisk* disk = nullptr;

    QZynDiskIndex() = default;
    QZynDiskIndex(int slot, int enclosure, QZynDisk* disk = nullptr)
        : slot(slot), enclosure(enclosure), disk(disk) {}
    bool operator==(const QZynDiskIndex& o) const
    {
        return slot == o.slot && enclosure == o.enclosure && disk == o.disk;
    }
    bool operator!=(const QZynDiskIndex& o) const { return !(*this == o); }
    bool IsDummy() const { return slot == -1 && enclosure == -1; }
    // The address the controller returns its dummy disk for.
    static QZynDiskIndex Dummy() { return QZynDiskIndex(); }
};

class QZynDisk : public QZynRecordDevice<sGUI_PHY_DRV> {
    Q_OBJECT
public:
    QZynDisk(QZynController* owner, const QZynDiskIndex& index, const sGUI_PHY_DRV* record);
    QZynDisk& operator=(const QZynDisk& other);

    // Reads the record again when a drive is there; the result of the read (0 when none).
    uint32_t UpdateInfo();
    // Marks the slot empty (state bytes 76 and 77 cleared).
    void SetAbsent();

    const QZynDiskIndex& GetIndex() const { return m_index; }

    QString GetName() const;
    QString GetSerialNumber() const;
    QString GetFirmwareRevString() const;
    uint32_t GetState() const;
    bool IsRaidSetMember() const;
    bool IsInRebuild() const;
    QString GetStateString() const;
    QString GetUsageString() const;
    QIcon GetStateIcon() const;
    QString GetStateIconPath() const;

    // The drive state of a record on a controller of `family` (system-information byte 189).
    static uint32_t StateOf(const sGUI_PHY_DRV& record, uint8_t family);

private:
    uint8_t family() const;
    static bool isMember(const sGUI_PHY_DRV& record, uint32_t state);

    QZynDiskIndex m_index;
};
