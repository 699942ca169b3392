#include "devices/event.h"

#include "devices/controller.h"

#include <iterator>

namespace {

// The names of the classes up to the hardware monitor's, by class.
const char* const kClassNames[] = {"NO_EVENT", "RAIDSET", "VOLUMESET", "DEVICE", "HOST", "H/W MONITOR"};
static_assert(std::size(kClassNames) == zynevent::kHwMonitorEvent + 1, "one name per class");

// A copy that shares nothing with the held text: the polling thread may replace the text, and
// free it, while the reader still holds its copy.
QString ownCopy(const QString& text)
{
    return QString(text.constData(), text.size());
}

// The volume events that carry how long the work took.
bool timedVolumeEvent(int code)
{
    return (code >= zynevent::kCompleteInit && code <= zynevent::kCompleteCheck)
        || (code >= zynevent::kAbortInitialization && code <= zynevent::kStopChecking);
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
    bool fromLoad = false;
    {
        DeviceReadLocker locker(*other.m_record.lock());
        texts = other.m_texts;
        fromLoad = other.m_fromLoad;
    }
    assignFrom(other);
    m_index = other.m_index;
    DeviceWriteLocker locker(*m_record.lock());
    m_texts = texts;
    m_fromLoad = fromLoad;
    return *this;
}

void QZynEvent::SetFromLoad(bool fromLoad)
{
    DeviceWriteLocker locker(*m_record.lock());
    m_fromLoad = fromLoad;
}

bool QZynEvent::IsFromLoad() const
{
    DeviceReadLocker locker(*m_record.lock());
    return m_fromLoad;
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
    struct Entry {
        const char* text;
        Level level;
    };
    // The text and level of each code of a class, by code.
    static const Entry kRaidSetEvents[] = {
        {"Create RaidSet", Warning}, {"Delete RaidSet", Warning}, {"Expand RaidSet", Warning},
        {"Rebuild RaidSet", Warning}, {"RaidSet Degraded", Urgent},
    };

    static const Entry kVolumeSetEvents[] = {
        {"Start Initialize", Warning}, {"Start Rebuilding", Warning}, {"Start Migrating", Warning},
        {"Start Checking", Warning}, {"Complete Init", Warning}, {"Complete Rebuild", Warning},
        {"Complete Migrate", Warning}, {"Complete Check", Warning}, {"Create Volume", Warning},
        {"Delete Volume", Warning}, {"Modify Volume", Warning}, {"Volume Degraded", Urgent},
        {"Volume Failed", Urgent}, {"Failed Volume Revived", Urgent}, {"Abort Initialization", Warning},
        {"Abort Rebuilding", Warning}, {"Abort Migration", Warning}, {"Abort Checking", Warning},
        {"Stop Initialization", Warning}, {"Stop Rebuilding", Warning}, {"Stop Migration", Warning},
        {"Stop Checking", Warning}, {"Unsupported Stripe Size", Warning}, {"Start Cloning", Warning},
        {"Complete Clone", Warning}, {"Abort Cloning", Warning}, {"Stop Cloning", Warning},
    };

    static const Entry kDeviceEvents[] = {
        {"Device Inserted", Warning}, {"Device Removed", Warning}, {"Reading Error", Warning},
        {"Writing Error", Warning}, {"ATA Ecc Error", Warning}, {"Change ATA Mode", Warning},
        {"Time Out Error", Warning}, {"Device Failed", Urgent}, {"PCI Parity Error", Serious},
        {"Dev Fail (SMART)", Urgent}, {"PassThrough Disk Created", Informational},
        {"PassThrough Disk Modified", Informational}, {"PassThrough Disk Deleted", Informational},
    };

    static const Entry kHostEvents[] = {
        {"SCSI Bus Reset", Informational}, {"SCSI Bus Parity", Informational}, {"SCSI Bus SE<>LVD", Informational},
    };

    static const Entry kHwMonitorEvents[] = {
        {"DRAM 1-Bit ECC", Urgent}, {"DRAM Fatal Error", Urgent}, {"Controller Over Temperature", Urgent},
        {"Backplane Over Temperature", Urgent}, {"1.5V Abnormal", Urgent}, {"3.3V Abnormal", Urgent},
        {"5V Abnormal", Urgent}, {"12V Abnormal", Urgent}, {"1.3V Abnormal", Urgent}, {"2.5V Abnormal", Urgent},
        {"1.2V or 1.8V or 1.25V Abnormal", Urgent}, {"Power#1 Failed  ", Urgent}, {"Fan#1 Failed    ", Urgent},
        {"Power#2 Failed  ", Urgent}, {"Fan#2 Failed    ", Urgent}, {"Power#3 Failed  ", Urgent},
        {"Fan#3 Failed    ", Urgent}, {"Power#4 Failed  ", Urgent}, {"Fan#4 Failed    ", Urgent},
        {"UPS ACPower Loss", Urgent}, {"Controller Over Temperature Recovered", Serious},
        {"Backplane Over Temperature Recovered", Serious}, {"1.5V Abnormal Recovered", Serious},
        {"3.3V Abnormal Recovered", Serious}, {"5V Abnormal Recovered", Serious},
        {"12V Abnormal Recovered", Serious}, {"1.3V Abnormal Recovered", Serious},
        {"2.5V Abnormal Recovered", Serious}, {"1.2V or 1.8V or 1.25V Abnormal Recovered", Serious},
        {"Power#1 Failed Recovered", Serious}, {"Fan#1 Failed Recovered", Serious},
        {"Power#2 Failed Recovered", Serious}, {"Fan#2 Failed Recovered", Serious},
        {"Power#3 Failed Recovered", Serious}, {"Fan#3 Failed Recovered", Serious},
        {"Power#4 Failed Recovered", Serious}, {"Fan#4 Failed Recovered", Serious},
        {"UPS ACPower Loss Recovered", Serious}, {"Raid Powered On", Warning}, {"Test Event", Urgent},
        {"Power On With Battery Backup", Serious},
    };

    static const Entry kGeneralEvents[] = {
        {"Recovered", Serious}, {"Over Temp.", Urgent}, {"Failed", Urgent}, {"Under Voltage", Urgent},
        {"Over Voltage", Urgent}, {"Discovered", Serious}, {"Lost Rebuilding/Migration LBA", Urgent},
        {"Offlined", Urgent}, {"HTTP Log In", Warning}, {"Telnet Log In", Warning}, {"VT100 Log In", Warning},
        {"API Log In", Warning}, {"FC Link Up", Informational}, {"FC Link Down", Informational},
        {"In U160 Mode", Serious}, {"Restart Init LBA Point", Urgent}, {"Restart Rebuild LBA Point", Urgent},
        {"Restart Migration LBA Point", Urgent}, {"One BIT ECC Error", Urgent}, {"Multi BIT ECC Error", Urgent},
        {"Off", Informational}, {"Unknown Error", Urgent}, {"Added", Warning}, {"Removed", Warning},
        {"Mismatch", Warning}, {"Ready", Informational}, {"Restart", Informational}, {"Halted", Urgent},
        {"Restart Cloning LBA Point", Urgent}, {"Renamed", Informational}, {"HotSpare Created", Warning},
        {"HotSpare Deleted", Warning}, {"HotSpare Used", Warning}, {"Pre-Fail Warning", LevelNone},
        {"No Response", LevelNone}, {"Authentication Failed", LevelNone}, {"Secure Erased", LevelNone},
        {"Evaluation Alert", LevelNone},
    };

    static_assert(std::size(kRaidSetEvents) == zynevent::kRaidSetDegraded + 1
                      && std::size(kVolumeSetEvents) == zynevent::kStopCloning + 1
                      && std::size(kDeviceEvents) == zynevent::kPassThroughDiskDeleted + 1
                      && std::size(kHostEvents) == 3
                      && std::size(kHwMonitorEvents) == zynevent::kPowerOnWithBatteryBackup + 1
                      && std::size(kGeneralEvents) == 38,
                  "event tables");

    const Entry* entries = nullptr;
    int size = 0;
    auto use = [&](const auto& table) {
        entries = table;
        size = int(std::size(table));
    };
    switch (eventClass) {
    case zynevent::kRaidSetEvent: use(kRaidSetEvents); break;
    case zynevent::kVolumeSetEvent: use(kVolumeSetEvents); break;
    case zynevent::kDeviceEvent: use(kDeviceEvents); break;
    case zynevent::kHostEvent: use(kHostEvents); break;
    case zynevent::kHwMonitorEvent: use(kHwMonitorEvents); break;
    case zynevent::kGeneralEvent: use(kGeneralEvents); break;
    default: return false;
    }
    if (code < 0 || code >= size) {
        *text = QStringLiteral("Unknown Event");
        *level = LevelNone;
    } else {
        *text = QString::fromLatin1(entries[code].text);
        *level = entries[code].level;
    }
    return true;
}

void QZynEvent::ParseEventObject()
{
    const sEVET_DATA r = GetRecord();
    const int c = r.eventClass();
    if (c == zynevent::kNoEvent)
        return;
    const int k = r.code();
    Texts t;

    const uint32_t stamp = r.time();
    if (stamp & sEVET_DATA::kTimePacked)
        t.date = QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", int((stamp >> 22) & 31) + 2000,
                                   int((stamp >> 27) & 15), int((stamp >> 17) & 31), int((stamp >> 12) & 31),
                                   int((stamp >> 6) & 63), int(stamp & 63));
    else
        t.date = QString::asprintf("%u", stamp);

    const QString name = QString::fromStdString(zynwire::textAsUtf8(r.name()));
    if (Describe(c, k, &t.event, &t.level)) {
        switch (c) {
        case zynevent::kRaidSetEvent:
        case zynevent::kGeneralEvent:
            t.device = name;
            break;
        case zynevent::kVolumeSetEvent:
            t.device = name;
            if (timedVolumeEvent(k)) {
                const long d = long(r.duration());
                const long hours = d / 36000;
                const long minutes = (d / 10 - hours * 3600) / 60;
                const long seconds = d / 10 - hours * 3600 - minutes * 60;
                t.duration = QString::asprintf("%03ld:%02ld:%02ld", hours, minutes, seconds);
            }
            if (k == zynevent::kCompleteCheck)
                t.count = QString::asprintf("%-6d", int32_t(r.count()));
            break;
        case zynevent::kDeviceEvent: {
            const bool enclosureFamily =
                m_owner != nullptr && m_owner->GetSysInfo()->GetRecord().isEnclosureFamily();
            t.device = enclosureFamily ? name : QString::asprintf("IDE Channel #%02d", int(r.channel()) + 1);
            break;
        }
        case zynevent::kHostEvent:
            t.device = QStringLiteral("HOST");
            break;
        case zynevent::kHwMonitorEvent:
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
