#include "helper/logfile.h"

#include "devices/controller.h"
#include "devices/enclosure.h"
#include "devices/event.h"
#include "devices/raidset.h"
#include "zynconst.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtDebug>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

QString g_folder;

constexpr double kGigabyte = 1000.0 * 1000.0 * 1000.0;
constexpr double kBlockSize = 512.0;
constexpr uint32_t kKilobyte = 1024;
constexpr uint32_t kBlocksPerKilobyte = 2;
constexpr double kMillivolt = 1000.0;
constexpr int kSlotNamesPage = QZynEnclosure::kDescriptorReadSize;
constexpr int kSlotNameWidth = QZynEnclosure::kDescriptorSize;
// The device column of the event table, in characters.
constexpr int kDeviceWidth = 16;

double gigabytes(uint64_t blocks)
{
    return double(blocks) * kBlockSize / kGigabyte;
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Appends printf-formatted text to `out`.
void appendFormatted(std::string& out, const char* f, va_list args)
{
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, f, args);
    if (n > 0) {
        const size_t at = out.size();
        out.resize(at + size_t(n) + 1);
        std::vsnprintf(&out[at], size_t(n) + 1, f, again);
        out.resize(at + size_t(n));
    }
    va_end(again);
}

std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* f, ...)
{
    std::string out;
    va_list args;
    va_start(args, f);
    appendFormatted(out, f, args);
    va_end(args);
    return out;
}

const char* raidSetState(const sGUI_RAIDSET& r, int volumes, uint32_t states, bool allFailed)
{
    using V = sGUI_VOLUMESET;
    if (!(r.stateFlags() & sGUI_RAIDSET::kStateComplete))
        return "Incompleted";
    if (volumes > 0 && allFailed)
        return "Failed";
    if (r.degraded() != 0)
        return "Degraded";
    if (states & (V::kStateInitializing | V::kStateNeedInit))
        return "Initializing";
    if (states & (V::kStateMigrating | V::kStateNeedMigrate))
        return "Migrating";
    if (states & V::kStateRebuilding)
        return "Rebuilding";
    if (states & V::kStateChecking)
        return "Checking";
    if (states & V::kStateNeedRebuild)
        return "Degraded";
    return "Normal";
}

std::string volumeState(const sGUI_VOLUMESET& v)
{
    using V = sGUI_VOLUMESET;
    const uint32_t s = v.state();
    if (s == 0)
        return v.degraded() != 0 ? "Degraded" : "Normal";
    const double percent = v.progress() / 10.0;   // tenths of a per cent
    auto running = [percent](const char* what) { return format("%s(%3.1f%%)", what, percent); };
    if (s & V::kStateInitializing)
        return running("Initializing");
    if (s & V::kStateFailed)
        return "Failed";
    if (s & V::kStateMigrating)
        return running("Migrating");
    if (s & V::kStateRebuilding)
        return running("Rebuilding");
    if (s & V::kStateNeedInit)
        return "Need Init";
    if (s & V::kStateNeedMigrate)
        return "Need Migrate";
    if (s & V::kStateNeedRebuild)
        return "Need Rebuild";
    if (s & V::kStateChecking)
        return running("Checking");
    if (s & V::kStateNeedCheck)
        return "Need Check";
    return v.degraded() != 0 ? "Degraded" : "Unknown";
}

const char* raidLevel(const sGUI_VOLUMESET& v, bool jbod)
{
    // By level code.
    static const char* const plain[sGUI_VOLUMESET::kRaidLevels] = {
        "Raid0", "Raid1+0", "Raid3", "Raid5", "Raid6", "PassThr"};
    static const char* const nested[sGUI_VOLUMESET::kRaidLevels] = {
        "Raid00", "Raid100", "Raid30", "Raid50", "Raid60", "Unknown"};
    if (jbod)
        return "JBOD";
    const int level = v.raidLevel();
    if (level >= int(std::size(plain)))
        return "Unknown";
    return v.isNested() ? nested[level] : plain[level];
}

std::string stripeSize(const sGUI_VOLUMESET& v)
{
    if (v.raidLevel() == sGUI_VOLUMESET::kLevelRaid3 || v.raidLevel() == sGUI_VOLUMESET::kLevelPassThrough
        || v.stripe() == 0)
        return "N.A.";
    return format("%uK", v.stripe() / kBlocksPerKilobyte);
}

// The members of a raid set: "E1S1.E1S2." on the enclosure family, "123" on the older one,
// 'x' for a missing member.
std::string memberChannels(const sGUI_RAIDSET& r, bool enclosureFamily)
{
    std::string out;
    const int members = std::min(r.memberCount(), sGUI_RAIDSET::kMaxMembers);
    for (int i = 0; i < members; ++i) {
        const int slot = r.memberSlot(i);
        if (slot == sGUI_RAIDSET::kNoMember)
            out += 'x';
        else if (enclosureFamily)
            out += format("E%dS%d.", r.memberEnclosure(i) + 1, slot + 1);
        else
            out += char(slot < 9 ? '1' + slot : 'A' + (slot - 9));
    }
    return out;
}

const char* diskState(uint16_t state)
{
    if (state == 0)
        return "N.A.";
    constexpr uint16_t kMember = sGUI_PHY_DRV::kStateMember | sGUI_PHY_DRV::kStateMemberLow;
    const bool member = (state & kMember) == kMember;
    if (!member && !(state & (sGUI_PHY_DRV::kStatePassThrough | sGUI_PHY_DRV::kStateHotSpare | sGUI_PHY_DRV::kStateFree))) {
        if (state & sGUI_PHY_DRV::kStateOfflined)
            return "Offlined";
        if (state & sGUI_PHY_DRV::kStateFailed)
            return "FAIL";
    }
    return "NORM";
}

} // namespace

QLogFile::QLogFile(QZynController* controller, QZynEvent* event)
    : m_controller(controller)
    , m_event(event)
    , m_sysInfo(controller->GetSysInfo()->GetRecord())
{
}

QString QLogFile::Folder()
{
    if (!g_folder.isEmpty())
        return g_folder.endsWith(QLatin1Char('/')) ? g_folder : g_folder + QLatin1Char('/');
    return FolderBeside(QCoreApplication::applicationDirPath());
}

QString QLogFile::FolderBeside(const QString& applicationFolder)
{
    return applicationFolder + QStringLiteral("/../CtrlLog/");
}

void QLogFile::SetFolder(const QString& folder)
{
    g_folder = folder;
}

void QLogFile::print(const char* f, ...)
{
    va_list args;
    va_start(args, f);
    appendFormatted(m_text, f, args);
    va_end(args);
}

void QLogFile::rule(int width)
{
    m_text.append(size_t(width), '=');
    m_text += '\n';
}

bool QLogFile::createFile(int* descriptor)
{
    const QString folder = Folder();
    QDir().mkpath(folder);
    const int slot = std::max(0, m_controller->GetHostSlot());
    for (int number = 0; number <= kMaxSequence; ++number) {
        const QString path = folder + QString::asprintf("Ctlr%02d-%05d.log", slot, number);
        const QByteArray name = QFile::encodeName(path);
        struct stat info;
        if (::lstat(name.constData(), &info) == 0)
            continue;
        qDebug().noquote().nospace() << "Write to logfile " << path;
        m_fileName = path;
        // Never over an existing file: a file made since the check takes the next number.
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            *descriptor = fd;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

int QLogFile::SaveRaidCfgIntoLogFile()
{
    m_text.clear();
    m_slotNames.clear();
    sSYSTEM_INFO info;
    const uint32_t rc = m_controller->ZynGetSysInfo(&info);
    if (rc != ZYN_OK)
        return int(rc);
    m_sysInfo = info;

    QString trigger = QStringLiteral("None");
    if (m_event != nullptr)
        trigger = m_event->GetDateText() + QLatin1Char(' ') + m_event->GetDeviceText() + QLatin1Char(' ')
                + m_event->GetEventText();

    int fd = -1;
    if (!createFile(&fd))
        return kFileError;
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        discardFile(fd, file.errorString());
        ::close(fd);
        return kFileError;
    }

    print("Triggered event: %s\n\n\n", trigger.toUtf8().constData());
    print("The System Information\n");
    rule(43);
    const sSYSTEM_INFO& s = m_sysInfo;
    print("Main Processor     : %dMHz\n", int(s.processorClock()));
    print("CPU ICache Size    : %dKB\n", int(s.iCacheSize() / kKilobyte));
    print("CPU DCache Size    : %dKB\n", int(s.dCacheSize() / kKilobyte));
    print("CPU SCache Size    : %dKB\n", int(s.sCacheSize() / kKilobyte));
    print("System Memory      : %dMB/%dMHz%s\n", int(s.memorySize()), int(s.memoryClock()),
          s.memoryEcc() ? "/ECC" : "");
    print("Firmware Version   : %s\n", s.firmwareVersion().c_str());
    print("BOOT ROM Version   : %s\n", s.bootRomVersion().c_str());
    print("Serial Number      : %s", s.serialNumber().c_str());
    print("\n");
    print("Controller Name    : %s%s\n", s.modelName().c_str(), s.modelSuffix().c_str());
    if (s.hasOnBoardNetwork()) {
        const uint8_t* ip = s.ipAddress();
        print("Current IP Address : %d.%d.%d.%d\n", ip[0], ip[1], ip[2], ip[3]);
    }

    text("\r\n\r\n");
    Exe_Raid_Info_Cmd();
    text("\r\n\r\n");
    Exe_Vol_Info_Cmd();
    text("\r\n\r\n");
    Exe_Disk_Info_Cmd();
    text("\r\n\r\n");
    print("The Hardware Monitor Information\n");
    if (m_sysInfo.isEnclosureFamily())
        Exe_SAS_Hw_Info_Cmd();
    else
        Exe_Hw_Info_Cmd();
    text("\r\n\r\n");
    Exe_Event_Info_Cmd();

    // Given up, or no longer usable, part way: the sections it did not answer are missing, so
    // the report is cut short and has failed. A section refused with a status is only skipped.
    const int state = m_controller->GetState();
    if (state != QZynController::StateConnecting && state != QZynController::StateOnline) {
        m_text.clear();
        discardFile(fd, QStringLiteral("the controller was lost"));
        file.close();
        return int(ZYN_ERR_TRANSPORT_OTHER);
    }
    const qint64 size = qint64(m_text.size());
    const bool written = file.write(m_text.data(), size) == size && file.flush();
    m_text.clear();
    if (!written)
        discardFile(fd, file.errorString());
    file.close();
    return written ? int(ZYN_OK) : kFileError;
}

void QLogFile::discardFile(int descriptor, const QString& why)
{
    // Only while the name still leads to the file written: never another file that took it.
    const QByteArray name = QFile::encodeName(m_fileName);
    struct stat written, named;
    const bool same = ::fstat(descriptor, &written) == 0 && ::lstat(name.constData(), &named) == 0
                      && written.st_dev == named.st_dev && written.st_ino == named.st_ino;
    if (same && ::unlink(name.constData()) == 0)
        qDebug().noquote().nospace() << "Failed to write logfile " << m_fileName << " (" << why << "): the file is removed";
    else
        qDebug().noquote().nospace() << "Failed to write logfile " << m_fileName << " (" << why << ")";
}

// ---- Raid sets -----------------------------------------------------------------------------

template <typename Map, typename Show>
void QLogFile::eachOfMap(u32 (CZynlib::*build)(Map*), Show show)
{
    auto map = std::make_unique<Map>();
    if ((m_controller->*build)(map.get()) != ZYN_OK)
        return;
    const int count = std::min<int>(int(map->count), Map::kMaxEntries);
    for (int i = 0; i < count; ++i)
        show(map->entries[i]);
}

void QLogFile::Exe_Raid_Info_Cmd()
{
    print("Raid Set Information \n");
    rule(43);
    eachOfMap<_RAID_MAP>(&CZynlib::ZynHelpBuildRaidSetMap,
                         [this](const _RAID_MAP::Entry& entry) { ShowRaidSetInfo(entry.raidSet); });
}

uint32_t QLogFile::ShowRaidSetInfo(const sGUI_RAIDSET& r)
{
    std::vector<int> volumes;
    QZynRaidSet::VolumeNumbers(r, volumes);
    uint32_t states = 0;
    bool allFailed = true;
    for (int number : volumes) {
        sGUI_VOLUMESET volume;
        const uint32_t rc = m_controller->ZynGetVolSetInfo(uint8_t(number), &volume);
        if (rc != ZYN_OK)
            return rc;
        states |= volume.state();
        if (!(volume.state() & sGUI_VOLUMESET::kStateFailed))
            allFailed = false;
    }
    const uint64_t members = uint64_t(r.memberCount());
    print("Raid Set Name        : %s\n", zynwire::textAsUtf8(r.name()).c_str());
    print("Member Disks         : %d\n", r.memberCount());
    print("Total Raw Capacity   : %.1fGB\n", gigabytes(members * r.minMemberCapacity()));
    print("Free Raw Capacity    : %.1fGB\n", gigabytes(QZynRaidSet::FreeCapacity(r)));
    print("Min Member Disk Size : %.1fGB\n", gigabytes(r.minMemberCapacity()));
    if (m_sysInfo.isEnclosureFamily())
        print("Supported Volumes    : %d\n", r.supportedVolumes());
    print("Raid Set State       : %s\n", raidSetState(r, int(volumes.size()), states, allFailed));
    print("Member Disk Channels : %s\n", memberChannels(r, m_sysInfo.isEnclosureFamily()).c_str());
    return ZYN_OK;
}

// ---- Volume sets ---------------------------------------------------------------------------

void QLogFile::Exe_Vol_Info_Cmd()
{
    print("Volume Set Information \n");
    rule(43);
    eachOfMap<_VOL_MAP>(&CZynlib::ZynHelpBuildVolumeSetMap,
                        [this](const _VOL_MAP::Entry& entry) { ShowVolumeSetInfo(entry.volumeSet); });
}

uint32_t QLogFile::ShowVolumeSetInfo(const sGUI_VOLUMESET& v)
{
    const bool nested = v.isNested();
    sGUI_RAIDSET raidSet;
    if (!nested) {
        const uint32_t rc = m_controller->ZynGetRaidSetInfo(v.raidSet(), &raidSet);
        if (rc != ZYN_OK)
            return rc;
    }
    print("Volume Set Name : %s\n", zynwire::textAsUtf8(v.name()).c_str());
    if (!nested)
        print("Raid Set Name   : %s\n", zynwire::textAsUtf8(raidSet.name()).c_str());
    print("Volume Capacity : %.1fGB\n", gigabytes(v.capacity()));
    print("SCSI Ch/Id/Lun  : %s\n", format("%02d/%02d/%02d", v.channel(), v.id(), v.lun()).c_str());
    print("Raid Level      : %s\n", raidLevel(v, m_sysInfo.jbodMode()));
    print("Stripe Size     : %s\n", stripeSize(v).c_str());
    if (nested)
        print("Member Disks    : %d*%d\n", v.nestedCount(), v.memberCount());
    else
        print("Member Disks    : %d\n", v.memberCount());
    print("Cache Mode      : %s\n", v.cacheMode() != 0 ? "Write Back" : "Write Through");
    print("Tagged Queuing  : %s\n", v.taggedQueuing() != 0 ? "Enabled" : "Disabled");
    print("Volume State    : %s\n", volumeState(v).c_str());
    return ZYN_OK;
}

// ---- Disks ---------------------------------------------------------------------------------

std::string QLogFile::slotName(int enclosure, int slot)
{
    auto it = m_slotNames.find(enclosure);
    if (it == m_slotNames.end()) {
        std::string page(kSlotNamesPage, '\0');
        if (m_controller->ZynGetEnclosureDescriptor(uint8_t(enclosure), sSENSORS::kSlotSection,
                                                    reinterpret_cast<uint8_t*>(&page[0]), kSlotNamesPage) != ZYN_OK)
            page.assign(kSlotNamesPage, '\0');
        it = m_slotNames.emplace(enclosure, std::move(page)).first;
    }
    if (slot < 0 || (slot + 1) * kSlotNameWidth > kSlotNamesPage)
        return std::string();
    return zynwire::getText(reinterpret_cast<const uint8_t*>(it->second.data()) + slot * kSlotNameWidth,
                           kSlotNameWidth);
}

void QLogFile::Exe_Disk_Info_Cmd()
{
    print("Drives Information \n");
    rule(63);
    eachOfMap<_DRV_MAP>(&CZynlib::ZynHelpBuildDeviceMap, [this](const _DRV_MAP::Entry& entry) { ShowDiskInfo(entry); });
}

void QLogFile::ShowDiskInfo(const _DRV_MAP::Entry& entry)
{
    const bool enclosureFamily = m_sysInfo.isEnclosureFamily();
    const sGUI_PHY_DRV& d = entry.drive;
    const uint16_t state = uint16_t(d.stateLow() | (enclosureFamily ? d.stateHigh() << 8 : 0));
    const bool empty = state == 0;
    const bool sas = enclosureFamily && !(state & sGUI_PHY_DRV::kStateSata);
    auto line = [this](const char* label, const std::string& value) {
        print("%-35s: %s\n", label, value.c_str());
    };
    if (enclosureFamily) {
        line("Device Type", format("%s(%llX)", sas ? "SAS" : "SATA", static_cast<unsigned long long>(d.address())));
        line("Device Location", format("Enclosure#%d %s", entry.enclosure + 1, slotName(entry.enclosure, entry.slot).c_str()));
    } else {
        line("IDE Channel", format("%d", entry.slot + 1));
    }
    line("Model Name", empty ? "N.A." : d.model());
    line("Serial Number", empty ? "N.A." : d.serial());
    line("Firmware Rev.", empty ? "N.A." : d.firmware());
    line("Disk Capacity", format("%.1fGB", gigabytes(d.capacity())));
    line("Device State", diskState(state));
    line("Timeout Count", format("%d", d.timeouts()));
    line("Media Error Count", format("%d", d.mediaErrors()));
    if (sas) {
        static const char* const counters[] = {
            "Read Errors Receovered W/O Delay", "Read Errors Receovered W Delay",
            "Read Errors Receovered W Retry", "Read Errors Receovered", "Read Total Bytes",
            "Read Errors Unrecovered",
            "Write Errors Receovered W/O Delay", "Write Errors Receovered W Delay",
            "Write Errors Receovered W Retry", "Write Errors Receovered", "Write Total Bytes",
            "Write Errors Unrecovered",
            "Verify Errors Receovered W/O Delay", "Verify Errors Receovered W Delay",
            "Verify Errors Receovered W Retry", "Verify Errors Receovered", "Verify Errors Unrecovered",
            "Non-Medium Errors", "P-LIST Count", "G-LIST Count"};
        static_assert(std::size(counters) == sGUI_PHY_DRV::kSasCounterCount, "one label per counter");
        constexpr int kBeforeRotation = 17;
        for (int k = 0; k < sGUI_PHY_DRV::kSasCounterCount; ++k) {
            if (k == kBeforeRotation) {
                line("Rotation Speed", format("%d(RPM)", d.rotation()));
                line("Device Temperature", format("%d C", d.sasTemperature()));
            }
            line(counters[k], format("0x%.16llX", static_cast<unsigned long long>(d.sasCounter(k))));
        }
    } else {
        static const char* const attributes[] = {
            "SMART Read Error Rate", "SMART Spinup Time", "SMART Reallocation Count",
            "SMART Seek Error Rate", "SMART Spinup Retries", "SMART Calibration Retries"};
        static_assert(std::size(attributes) == sGUI_PHY_DRV::kSmartAttributes, "one label per attribute");
        line("Device Temperature", format("%d C", d.ataTemperature()));
        for (int a = 0; a < sGUI_PHY_DRV::kSmartAttributes; ++a) {
            if (a == sGUI_PHY_DRV::SmartCalibrationRetries && d.smartValue(a) == sGUI_PHY_DRV::kSmartAbsent)
                line(attributes[a], "N.A.(N.A.)");
            else
                line(attributes[a], format("%d(%d)", d.smartValue(a), d.smartThreshold(a)));
        }
    }
    text("\r\n\r\n");
}

// ---- Hardware monitor ----------------------------------------------------------------------

void QLogFile::sensorLines(const sSENSORS& sensors, int section, bool enclosure)
{
    const sSENSORS::Section& s = sensors.sections[section];
    const int count = std::min<int>(s.count, sSENSORS::kMaxEntries);
    for (int i = 0; i < count; ++i) {
        const std::string name = s.name(i);
        const uint32_t value = s.value(i);
        switch (section) {
        case sSENSORS::kVoltageSection:
            print("  %-16s : %2.3lf V\n", name.c_str(), value / kMillivolt);
            break;
        case sSENSORS::kFanSection:
            print("  %-16s : %ld RPM\n", name.c_str(), long(int32_t(value)));
            break;
        case sSENSORS::kPowerSection:
            print("  %-16s : %s\n", name.c_str(), s.flag(i) == zynsensor::kPowerSupplyOk ? "OK" : "FAILED");
            break;
        case sSENSORS::kTemperatureSection:
            if (enclosure && int32_t(value) == zynsensor::kTemperatureNotReported)
                print("  %-16s : %s\n", name.c_str(), "N.A.");
            else
                print("  %-16s : %ld C\n", name.c_str(), long(int32_t(value)));
            break;
        default:   // the battery
            if (value == zynsensor::kBatteryNotInstalled)
                print("  %-16s : Not Installed\n", name.c_str());
            else if (value == zynsensor::kBatteryFailed)
                print("  %-16s : Failed\n", name.c_str());
            else
                print("  %-16s : %d%%\n", name.c_str(), int(value));
            break;
        }
    }
}

void QLogFile::Exe_SAS_Hw_Info_Cmd()
{
    rule(53);
    print("[Controller H/W Monitor]\n");
    auto sensors = std::make_unique<sSENSORS>();
    // The controller's own sensors come as the enclosure after the last one.
    const int enclosures = m_sysInfo.highestEnclosure();
    if (m_controller->ZynGetEnclosureHwMonitor(uint8_t(enclosures), sensors.get()) != ZYN_OK)
        return;
    for (int section : {sSENSORS::kTemperatureSection, sSENSORS::kFanSection, sSENSORS::kVoltageSection,
                        sSENSORS::kBatterySection})
        sensorLines(*sensors, section, false);

    for (int e = 0; e < enclosures; ++e) {
        sGUI_ENC_PROPERTY property;
        if (m_controller->ZynGetEnclosureProperty(uint8_t(e), &property) != ZYN_OK || !property.exists())
            continue;
        print("[Enclosure#%d : %s%s%s]\n", e + 1, property.vendor().c_str(), property.name().c_str(),
              property.revision().c_str());
        if (m_controller->ZynGetEnclosureHwMonitor(uint8_t(e), sensors.get()) != ZYN_OK)
            continue;
        for (int section : {sSENSORS::kVoltageSection, sSENSORS::kFanSection, sSENSORS::kPowerSection,
                            sSENSORS::kTemperatureSection})
            sensorLines(*sensors, section, true);
    }
}

void QLogFile::Exe_Hw_Info_Cmd()
{
    rule(43);
    const std::string model = upper(m_sysInfo.modelName());
    if (model == zynident::kModelNameE100 || model == zynident::kModelNameE200) {
        _HWMON_E100 box;
        if (m_controller->ZynGetHWMonE100(&box) != ZYN_OK)
            return;
        print("Controller Temp : %d (Celsius)\n", box.temperature(0));
        print("BackPlane Temp  : %d (Celsius)\n", box.temperature(1));
        print("Fan Speed (RPM) : %d\n", box.fan());
        print("Power +12.00V   : %2.3lf\n", box.voltage(0) / kMillivolt);
        print("Power +5.00V    : %2.3lf\n", box.voltage(1) / kMillivolt);
        print("Power +3.30V    : %2.3lf\n", box.voltage(2) / kMillivolt);
        print("Power +1.50V    : %2.3lf\n", box.voltage(3) / kMillivolt);
        return;
    }

    _HWMON_INFO fans, temperatures, voltages, battery, power;
    const std::pair<u32, _HWMON_INFO*> reads[] = {{CZynlib::HwFans, &fans},
                                                  {CZynlib::HwTemperatures, &temperatures},
                                                  {CZynlib::HwVoltages, &voltages},
                                                  {CZynlib::HwBattery, &battery},
                                                  {CZynlib::HwPower, &power}};
    for (const auto& read : reads)
        if (m_controller->ZynGetHWMon(read.first, read.second) != ZYN_OK)
            return;
    auto count = [](const _HWMON_INFO& info) { return std::min<int>(info.count, _HWMON_INFO::kMaxValues); };
    const int fanCount = count(fans);
    const int temperatureCount = count(temperatures);
    const int voltageCount = count(voltages);

    if (!m_sysInfo.compactBoard()) {
        for (int j = 0; j + 1 < voltageCount; j += 2)
            print("Power +%-5.2lfV       : %2.3lf\n", voltages.values[j] / kMillivolt,
                  voltages.values[j + 1] / kMillivolt);
        for (int k = 0; k < fanCount; ++k) {
            if (fans.values[k] == zynsensor::kFanNotReported)
                print("Fan#%-2d Speed (RPM)  : N.A.\n", k + 1);
            else
                print("Fan#%-2d Speed (RPM)  : %d\n", k + 1, fans.values[k]);
        }
        print("Controller Temp     : %d (Celsius)\n", temperatures.values[0]);
        for (int k = 1; k < temperatureCount; ++k)
            print("HDD #%-2d Temp.       : %d\n", k, temperatures.values[k]);
        return;
    }

    for (int k = 0; k < fanCount; ++k) {
        if (fans.values[k] == zynsensor::kFanNotReported)
            print("Fan#%d Speed (RPM)   : N.A.\n", k + 1);
        else
            print("Fan#%d Speed (RPM)   : %d\n", k + 1, fans.values[k]);
    }
    for (int k = 0; k < count(battery); ++k) {
        const uint16_t charge = battery.values[k];
        if (charge == zynsensor::kBatteryFailed)
            print("Battery Status      : Failed\n");
        else if (charge == zynsensor::kBatteryNotInstalled)
            print("Battery Status      : Not Installed\n");
        else
            print("Battery Status      : %d%%\n", int(charge));
    }
    uint32_t modelNumber = 0;
    const bool modelKnown = m_controller->ZynGetModelNumber(&modelNumber) == ZYN_OK;
    const bool dual = modelKnown
        && std::find(std::begin(zynident::kDualTemperatureModels), std::end(zynident::kDualTemperatureModels),
                     modelNumber) != std::end(zynident::kDualTemperatureModels);
    if (dual) {
        static const char* const names[] = {"Power +12V", "Power +5V", "Power +3.3V", "SATA PHY +2.5V",
                                            "DDR-II +1.8V", "PCI-E +1.8V", "CPU +1.8V", "CPU +1.2V",
                                            "DDR-II +0.9V"};
        print("%-20.20s: %d (Celsius)\n", "CPU Temperature", temperatures.values[0]);
        print("%-20.20s: %d (Celsius)\n", "Ctrl Temperature", temperatures.values[1]);
        if (voltageCount > 1)
            for (int i = 0; i < int(std::size(names)) && 2 * i + 1 < voltageCount; ++i)
                print("%-20.20s: %2.3lf\n", names[i], voltages.values[2 * i + 1] / kMillivolt);
        for (int k = 1; k + 1 < temperatureCount; ++k)
            print("HDD #%-2d Temp.       : %d\n", k, temperatures.values[k + 1]);
    } else {
        for (int k = 1; k <= temperatureCount; ++k)
            print("HDD #%-2d Temp.       : %d\n", k, temperatures.values[k - 1]);
    }
}

// ---- Events --------------------------------------------------------------------------------

void QLogFile::Exe_Event_Info_Cmd()
{
    std::vector<std::string> lines;
    QZynController* c = m_controller;
    c->ReadWholeEventLog([&] {
        int count = 0;
        if (c->ZynGetReqEventPage(0, &count) != ZYN_OK || count <= 0)
            return;
        for (int i = 0; i < count; ++i) {
            sEVET_DATA record;
            if (!c->ZynGetEventObject(i, &record))
                break;
            // Ring slots that never held an event.
            if (record.eventClass() == zynevent::kNoEvent)
                continue;
            const QZynEvent event(c, i, &record);
            // The device column holds a name: it is filled by characters, the file is UTF-8.
            lines.push_back(format("%-20s %s %-21s %-12s %-6s\n", event.GetDateText().toLatin1().constData(),
                                   event.GetDeviceText().leftJustified(kDeviceWidth).toUtf8().constData(),
                                   event.GetEventText().toLatin1().constData(),
                                   event.GetDurationText().toLatin1().constData(),
                                   event.GetCountText().toLatin1().constData()));
        }
    });
    if (lines.empty())
        return;
    print("Date-Time            Device           Event Type            Elapsed Time Errors\n");
    rule(79);
    for (const std::string& line : lines)
        text(line);
}
