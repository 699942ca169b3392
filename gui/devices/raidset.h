// A raid set of a controller: its record and what the views show of it.
#pragma once

#include "device.h"
#include "devicerecord.h"
#include "disk.h"
#include "records.h"

#include <QIcon>

#include <cstdint>
#include <vector>

class QZynController;
class QZynVolumeSet;

class QZynRaidSet : public QZynDevice {
    Q_OBJECT
public:
    // Free-segment entries from byte 84 up to the high volume numbers at 128.
    static constexpr int kFreeSegmentArea = 11;

    QZynRaidSet(QZynController* owner, int index, const sGUI_RAIDSET* record);
    QZynRaidSet& operator=(const QZynRaidSet& other);

    void SetupInfo(const sGUI_RAIDSET* record);
    // Reads the record again when the raid set exists; the result of the read (0 when none).
    uint32_t UpdateInfo();
    // A copy of the record.
    sGUI_RAIDSET GetRecord() const { return m_record.get(); }
    // Copies `fresh` when it differs; true when it did.
    bool ReplaceRecord(const sGUI_RAIDSET& fresh) { return m_record.replace(fresh); }
    // Marks the raid set absent (member count 0).
    void SetAbsent();
    bool IsPresent() const { return GetRecord().exists(); }

    QZynController* GetOwner() const { return m_owner; }
    int GetIndex() const { return m_index; }

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

private:
    QZynController* m_owner;
    int m_index;
    DeviceRecord<sGUI_RAIDSET> m_record;
};
