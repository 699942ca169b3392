#include "devices/event.h"

#include "devices/controller.h"

#include <iterator>

namespace {

struct EventEntry {
    const char* text;
    int level;
};

const EventEntry kRaidSetEvents[] = {
    {"Create RaidSet", 3}, {"Delete RaidSet", 3}, {"Expand RaidSet", 3}, {"Rebuild RaidSet", 3},
    {"RaidSet Degraded", 1},
};

const EventEntry kVolumeSetEvents[] = {
    {"Start Initialize", 3}, {"Start Rebuilding", 3}, {"Start Migrating", 3}, {"Start Checking", 3},
    {"Complete Init", 3}, {"Complete Rebuild", 3}, {"Complete Migrate", 3}, {"Complete Check", 3},
    {"Create Volume", 3}, {"Delete Volume", 3}, {"Modify Volume", 3}, {"Volume Degraded", 1},
    {"Volume Failed", 1}, {"Failed Volume Revived", 1}, {"Abort Initialization", 3},
    {"Abort Rebuilding", 3}, {"Abort Migration", 3}, {"Abort Checking", 3},
    {"Stop Initialization", 3}, {"Stop Rebuilding", 3}, {"Stop Migration", 3}, {"Stop Checking", 3},
    {"Unsupported Stripe Size", 3}, {"Start Cloning", 3}, {"Complete Clone", 3}, {"Abort Cloning", 3},
    {"Stop Cloning", 3},
};

const EventEntry kDeviceEvents[] = {
    {"Device Inserted", 3}, {"Device Removed", 3}, {"Reading Error", 3}, {"Writing Error", 3},
    {"ATA Ecc Error", 3}, {"Change ATA Mode", 3}, {"Time Out Error", 3}, {"Device Failed", 1},
    {"PCI Parity Error", 2}, {"Dev Fail (SMART)", 1}, {"PassThrough Disk Created", 4},
    {"PassThrough Disk Modified", 4}, {"PassThrough Disk Deleted", 4},
};

const EventEntry kHostEvents[] = {
    {"SCSI Bus Reset", 4}, {"SCSI Bus Parity", 4}, {"SCSI Bus SE<>LVD", 4},
};

const EventEntry kHwMonitorEvents[] = {
    {"DRAM 1-Bit ECC", 1}, {"DRAM Fatal Error", 1}, {"Controller Over Temperature", 1},
    {"Backplane Over Temperature", 1}, {"1.5V Abnormal", 1}, {"3.3V Abnormal", 1}, {"5V Abnormal", 1},
    {"12V Abnormal", 1}, {"1.3V Abnormal", 1}, {"2.5V Abnormal", 1}, {"1.2V or 1.8V or 1.25V Abnormal", 1},
    {"Power#1 Failed  ", 1}, {"Fan#1 Failed    ", 1}, {"Power#2 Failed  ", 1}, {"Fan#2 Failed    ", 1},
    {"Power#3 Failed  ", 1}, {"Fan#3 Failed    ", 1}, {"Power#4 Failed  ", 1}, {"Fan#4 Failed    ", 1},
    {"UPS ACPower Loss", 1},
    {"Controller Over Temperature Recovered", 2}, {"Backplane Over Temperature Recovered", 2},
    {"1.5V Abnormal Recovered", 2}, {"3.3V Abnormal Recovered", 2}, {"5V Abnormal Recovered", 2},
    {"12V Abnormal Recovered", 2}, {"1.3V Abnormal Recovered", 2}, {"2.5V Abnormal Recovered", 2},
    {"1.2V or 1.8V or 1.25V Abnormal Recovered", 2}, {"Power#1 Failed Recovered", 2},
    {"Fan#1 Failed Recovered", 2}, {"Power#2 Failed Recovered", 2}, {"Fan#2 Failed Recovered", 2},
    {"Power#3 Failed Recovered", 2}, {"Fan#3 Failed Recovered", 2}, {"Power#4 Failed Recovered", 2},
    {"Fan#4 Failed Recovered", 2}, {"UPS ACPower Loss Recovered", 2},
    {"Raid Powered On", 3}, {"Test Event", 1}, {"Power On With Battery Backup", 2},
};

const EventEntry kGeneralEvents[] = {
    {"Recovered", 2}, {"Over Temp.", 1}, {"Failed", 1}, {"Under Voltage", 1}, {"Over Voltage", 1},
    {"Discovered", 2}, {"Lost Rebuilding/Migration LBA", 1}, {"Offlined", 1}, {"HTTP Log In", 3},
    {"Telnet Log In", 3}, {"VT100 Log In", 3}, {"API Log In", 3}, {"FC Link Up", 4}, {"FC Link Down", 4},
    {"In U160 Mode", 2}, {"Restart Init LBA Point", 1}, {"Restart Rebuild LBA Point", 1},
    {"Restart Migration LBA Point", 1}, {"One BIT ECC Error", 1}, {"Multi BIT ECC Error", 1}, {"Off", 4},
    {"Unknown Error", 1}, {"Added", 3}, {"Removed", 3}, {"Mismatch", 3}, {"Ready", 4}, {"Restart", 4},
    {"Halted", 1}, {"Restart Cloning LBA Point", 1}, {"Renamed", 4}, {"HotSpare Created", 3},
    {"HotSpare Deleted", 3}, {"HotSpare Used", 3}, {"Pre-Fail Warning", 0}, {"No Response", 0},
    {"Authentication Failed", 0}, {"Secure Erased", 0}, {"Evaluation Alert", 0},
};

struct EventTable {
    const EventEntry* entries;
    int size;
};

template <size_t N>
constexpr EventTable tableOf(const EventEntry (&entries)[N])
{
    return {entries, int(N)};
}

const EventTable kTables[] = {
    tableOf(kRaidSetEvents), tableOf(kVolumeSetEvents), tableOf(kDeviceEvents),
    tableOf(kHostEvents), tableOf(kHwMonitorEvents), tableOf(kGeneralEvents),
};

static_assert(std::size(kRaidSetEvents) == 5 && std::size(kVolumeSetEvents) == 27
                  && std::size(kDeviceEvents) == 13 && std::size(kHostEvents) == 3
                  && std::size(kHwMonitorEvents) == 41 && std::size(kGeneralEvents) == 38,
              "event tables");

const char* const kClassNames[] = {"NO_EVENT", "RAIDSET", "VOLUMESET", "DEVICE", "HOST", "H/W MONITOR"};

// A copy that shares nothing with the held text: the polling thread may replace the text, and
// free it, while the reader still holds its copy.
QString ownCopy(const QString& text)
{
    return QString(text.constData(), text.size());
}

bool timedVolumeEvent(int code)
{
    return (code >= 4 && code <= 7) || (code >= 14 && code <= 21);
}

} // namespace

QZynEvent::QZynEvent(QZynController* owner, int index, const sEVET_DATA* record)
    : QZynRecordDevice(Event, owner, record)
    , m_index(index)
{
    if (record != nullptr)
        ParseEventObject();
}

QZynEvent& QZynEvent::operator=(const QZynEvent& other)
{
    if (this == &other)
        return *this;
    Texts texts;
    {
        DeviceReadLocker locker(*other.m_record.lock());
        texts = other.m_texts;
    }
    assignFrom(other);
    m_index = other.m_index;
    DeviceWriteLocker locker(*m_record.lock());
    m_texts = texts;
    return *this;
}

void QZynEvent::SetupInfo(const sEVET_DATA* record)
{
    m_record.set(record);
    if (record != nullptr)
        ParseEventObject();
}

QString QZynEvent::ClassName(int eventClass)
{
    if (eventClass < 0 || eventClass >= int(std::size(kClassNames)))
        return QString();
    return QString::fromLatin1(kClassNames[eventClass]);
}

bool QZynEvent::Describe(int eventClass, int code, QString* text, int* level)
{
    if (eventClass < RaidSetEvent || eventClass > GeneralEvent)
        return false;
    const EventTable& table = kTables[eventClass - 1];
    if (code < 0 || code >= table.size) {
        *text = QStringLiteral("Unknown Event");
        *level = LevelNone;
    } else {
        *text = QString::fromLatin1(table.entries[code].text);
        *level = table.entries[code].level;
    }
    return true;
}

void QZynEvent::ParseEventObject()
{
    const sEVET_DATA r = GetRecord();
    const int c = r.eventClass();
    if (c == NoEvent)
        return;
    const int k = r.code();
    Texts t;

    const uint32_t stamp = r.time();
    if (stamp & 0x80000000u)
        t.date = QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", int((stamp >> 22) & 31) + 2000,
                                   int((stamp >> 27) & 15), int((stamp >> 17) & 31), int((stamp >> 12) & 31),
                                   int((stamp >> 6) & 63), int(stamp & 63));
    else
        t.date = QString::asprintf("%u", stamp);

    const QString name = devicetext::upToNul(r.bytes + sEVET_DATA::kName, sEVET_DATA::kNameSize);
    if (Describe(c, k, &t.event, &t.level)) {
        switch (c) {
        case RaidSetEvent:
        case GeneralEvent:
            t.device = name;
            break;
        case VolumeSetEvent:
            t.device = name;
            if (timedVolumeEvent(k)) {
                const long d = long(r.duration());
                const long hours = d / 36000;
                const long minutes = (d / 10 - hours * 3600) / 60;
                const long seconds = d / 10 - hours * 3600 - minutes * 60;
                t.duration = QString::asprintf("%03ld:%02ld:%02ld", hours, minutes, seconds);
            }
            if (k == 7)
                t.count = QString::asprintf("%-6d", int32_t(r.count()));
            break;
        case DeviceEvent: {
            const bool enclosureFamily =
                m_owner != nullptr && m_owner->GetSysInfo()->GetRecord().isEnclosureFamily();
            t.device = enclosureFamily ? name : QString::asprintf("IDE Channel #%02d", int(r.channel()) + 1);
            break;
        }
        case HostEvent:
            t.device = QStringLiteral("HOST");
            break;
        case HwMonitorEvent:
            t.device = QStringLiteral("H/W MONITOR");
            break;
        default:
            break;
        }
    }
    DeviceWriteLocker locker(*m_record.lock());
    m_texts = t;
}

QString QZynEvent::text(QString Texts::*member) const
{
    DeviceReadLocker locker(*m_record.lock());
    return ownCopy(m_texts.*member);
}

int QZynEvent::GetLevel() const
{
    DeviceReadLocker locker(*m_record.lock());
    return m_texts.level;
}

QString QZynEvent::GetDateText() const
{
    return text(&Texts::date);
}

QString QZynEvent::GetDeviceText() const
{
    return text(&Texts::device);
}

QString QZynEvent::GetEventText() const
{
    return text(&Texts::event);
}

QString QZynEvent::GetDurationText() const
{
    return text(&Texts::duration);
}

QString QZynEvent::GetCountText() const
{
    return text(&Texts::count);
}

QString QZynEvent::GetIconPath() const
{
    switch (GetLevel()) {
    case Serious: return QStringLiteral(":/images/icons/event/error.png");
    case Warning: return QStringLiteral(":/images/icons/event/warning.png");
    case Informational: return QStringLiteral(":/images/icons/event/info.png");
    default: return QStringLiteral(":/images/icons/event/urgent.png");
    }
}

QIcon QZynEvent::GetIcon() const
{
    QIcon icon;
    icon.addFile(GetIconPath(), QSize(), QIcon::Normal, QIcon::Off);
    return icon;
}
