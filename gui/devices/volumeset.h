// A volume set of a controller: its record and what the views show of it.
#pragma once

#include "device.h"
#include "devicerecord.h"
#include "records.h"

#include <cstdint>

class QZynController;
class QZynRaidSet;

class QZynVolumeSet : public QZynDevice {
    Q_OBJECT
public:
    QZynVolumeSet(QZynController* owner, int index, const sGUI_VOLUMESET* record);
    QZynVolumeSet& operator=(const QZynVolumeSet& other);

    void SetupInfo(const sGUI_VOLUMESET* record);
    // Reads the record again when the volume set exists; the result of the read (0 when none).
    uint32_t UpdateInfo();
    sGUI_VOLUMESET GetRecord() const { return m_record.get(); }
    bool ReplaceRecord(const sGUI_VOLUMESET& fresh) { return m_record.replace(fresh); }
    // Marks the volume set absent (the u32 at 16 cleared).
    void SetAbsent();
    bool IsPresent() const { return GetRecord().exists(); }

    QZynController* GetOwner() const { return m_owner; }
    int GetIndex() const { return m_index; }

    QString GetName() const;
    QString GetSerialNumber() const;
    QZynRaidSet* GetRaidSet() const;
    int PositionAtController() const;
    int PositionAtRaidSet() const;
    QString GetStateString() const;
    QString GetRaidLevelString() const;

    // Byte 66 bit 4: a volume striped over volume sets of several raid sets.
    static bool IsNestedVolume(const sGUI_VOLUMESET& record);

private:
    QZynController* m_owner;
    int m_index;
    DeviceRecord<sGUI_VOLUMESET> m_record;
};
