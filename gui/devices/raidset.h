// A raid set of a controller: its record and what the views show of it.
#pragma once

#include "devices/device.h"
#include "devices/devicerecord.h"
#include "devices/disk.h"
#include "records.h"

#include <QIcon>

#include <cstdint>
#include <vector>

class QZynController;
class QZynVolumeSet;

class QZynRaidSet : public QZynRecordDevice<sGUI_RAIDSET> {
    Q_OBJECT
public:
    // Free-segment entries from byte 84 up to the high volume numbers at 128.
    static constexpr int kFreeSegmentArea = 11;

    QZynRaidSet(QZynController* owner, int index, const sGUI_RAIDSET* record);
    QZynRaidSet& operator=(const QZynRaidSet& other);

    // Reads the record again when the raid set exists; the result of the read (0 when none).
    uint32_t UpdateInfo();
    // Marks the raid set absent (member count 0).
    void SetAbsent();
    bool IsPresent() const { return GetRecord().exists(); }

    int GetIndex() const { return m_index; }

    // The name field over its whole width, its NUL padding included: read as UTF-8 where its
    // bytes are UTF-8, else as Latin-1.
    QString GetName() const;
    void GetVolumeSetCount(std::vector<int>& out) const;
    void GetDiskCount(std::vector<QZynDiskIndex>& out) const;
    void GetValidDiskCount(std::vector<QZynDiskIndex>& out) const;
    uint32_t GetCombinedState() const;
    uint64_t GetTotalCapacity() const;
    uint64_t GetMinDiskCapacity() const;
    uint64_t GetFreeCapacity() const;
    double GetFreeCapacityInGBByVolumeType(unsigned char level) const;
    int PositionOf(QZynVolumeSet* volume) const;
    int PositionAtController() const;
    QString GetStateString() const;
    QIcon GetStateIcon() const;
    // The resource path of the icon for a state text.
    static QString StateIconPath(const QString& state);
    bool HasR5060Volumes() const;

    // The member list and volume numbers of a record, bounded by the record.
    static void VolumeNumbers(const sGUI_RAIDSET& record, std::vector<int>& out);
    static void Members(const sGUI_RAIDSET& record, std::vector<QZynDiskIndex>& out);
    // The free space of a record in 512-byte blocks: the largest free segment on every member.
    static uint64_t FreeCapacity(const sGUI_RAIDSET& record);

private:
    int m_index;
};
