// The base of every device object: a device-kind code and the kind's name.
#pragma once

#include <QObject>
#include <QString>

class QZynDevice : public QObject {
    Q_OBJECT
public:
    // Device kinds; a device's name is the entry of its kind in the shared name table.
    enum Kind {
        UnknownDevice = 0,
        LocalHost = 1,
        Network = 2,
        Controller = 3,
        RaidSet = 4,
        VolumeSet = 5,
        Disk = 6,
        Event = 7,
        Enclosure = 8,
        Scheduler = 9,
    };
    static constexpr int kKinds = 10;

    // Change codes of DeviceChanged(QZynDevice*, int).
    enum Change {
        DeviceAdded = 0,
        DeviceRemoved = 1,
        DeviceUpdated = 2,
        HwMonitorRefreshed = 3,
    };

    explicit QZynDevice(int type);

    // The name table entry of `type`; "Unknown Device" outside the table.
    static QString KindName(int type);

    int type;
    QString name;
};
