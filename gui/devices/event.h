// One entry of a controller's event log and its texts.
#pragma once

#include "devices/device.h"
#include "devices/devicerecord.h"
#include "records.h"
#include "zynconst.h"

#include <QIcon>

class QZynController;

class QZynEvent : public QZynRecordDevice<sEVET_DATA> {
    Q_OBJECT
public:
    // Event levels, most urgent first; the log records of QZynLog carry the same levels.
    enum Level { LevelNone = 0, Urgent = 1, Serious = 2, Warning = 3, Informational = 4 };

    QZynEvent(QZynController* owner, int index, const sEVET_DATA* record);
    QZynEvent& operator=(const QZynEvent& other);

    // Copies the record (zero-fills on null) and parses a non-null one.
    void SetupInfo(const sEVET_DATA* record);
    // Fills the level and the five texts from the record; a record of class 0 leaves them.
    void ParseEventObject();

    int GetIndex() const { return m_index; }

    // Whether the entry came from the log the controller held when it was connected (read as
    // it was built), not from its polling: old events are shown, never notified.
    void SetFromLoad(bool fromLoad);
    bool IsFromLoad() const;

    int GetLevel() const;
    QString GetDateText() const;
    QString GetDeviceText() const;
    QString GetEventText() const;
    QString GetDurationText() const;
    QString GetCountText() const;
    // The icon of the event's level: error, warning, information, and urgent for the rest.
    QIcon GetIcon() const;
    QString GetIconPath() const;

    // The names of the classes up to the hardware monitor's (zynevent::Class); empty for others.
    static QString ClassName(int eventClass);
    // The text and level of code `code` of class `eventClass`: "Unknown Event" and level 0
    // past the class's table; false for a class without a table.
    static bool Describe(int eventClass, int code, QString* text, int* level);

private:
    struct Texts {
        int level = 0;
        QString date, device, event, duration, count;
    };

    QString text(QString Texts::*member) const;

    int m_index;
    Texts m_texts;          // under the record lock
    bool m_fromLoad = false;   // under the record lock
};
