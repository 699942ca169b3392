// A volume set of a controller: its record and what the views show of it.
#pragma once

#include <QIcon>

#include "devices/device.h"
#include "devices/devicerecord.h"
#include "records.h"

#include <cstdint>

class QZynController;
class QZynRaidSet;

class QZynVolumeSet : public QZynRecordDevice<sGUI_VOLUMESET> {
    Q_OBJECT
public:
    QZynVolumeSet(QZynController* owner, int index, const sGUI_VOLUMESET* record);
    QZynVolumeSet& operator=(const QZynVolumeSet& other);

    // Reads the record again when the volume set exists; the result of the read (0 when none).
    uint32_t UpdateInfo();
    // Marks the volume set absent (the u32 at 16 cleared).
    void SetAbsent();
    bool IsPresent() const { return GetRecord().exists(); }

    int GetIndex() const { return m_index; }

    // The name field over its whole width, its NUL padding included: read as UTF-8 where its
    // bytes are UTF-8, else as Latin-1.
    QString GetName() const;
    QString GetSerialNumber() const;
    QZynRaidSet* GetRaidSet() const;
    int PositionAtController() const;
    int PositionAtRaidSet() const;
    QString GetStateString() const;
    QString GetRaidLevelString() const;
    QIcon GetStateIcon() const;
    // The resource path of the state icon.
    QString GetStateIconPath() const;

    // Byte 66 bit 4: a volume striped over volume sets of several raid sets.
    static bool IsNestedVolume(const sGUI_VOLUMESET& record);

private:
    int m_index;
};
