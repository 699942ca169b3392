#include "devices/device.h"

#include "devices/images.h"

namespace {

const char* const namearray[QZynDevice::kKinds] = {
    "Unknown Device", "LocalHost", "Network", "Controller", "RaidSet",
    "VolumeSet", "Disk", "Event", "Enclosure", "Scheduler",
};

} // namespace

QZynDevice::QZynDevice(int type)
    : QObject(nullptr)
    , type(type)
    , name(KindName(type))
{
    // Device objects hand out icons of the embedded images.
    PalvirInitImages();
}

QString QZynDevice::KindName(int type)
{
    // One string per kind, shared by every device of that kind (8 KiB disks, one name).
    static const QString names[kKinds] = {
        QString::fromLatin1(namearray[0]), QString::fromLatin1(namearray[1]),
        QString::fromLatin1(namearray[2]), QString::fromLatin1(namearray[3]),
        QString::fromLatin1(namearray[4]), QString::fromLatin1(namearray[5]),
        QString::fromLatin1(namearray[6]), QString::fromLatin1(namearray[7]),
        QString::fromLatin1(namearray[8]), QString::fromLatin1(namearray[9]),
    };
    return names[type >= 0 && type < kKinds ? type : 0];
}
