// The console's disk family: pass-through disks, failing and activating drives, locate lights,
// the drive list and detail page, cloning, and the drive diagnostics (SMART pages, self-tests,
// the controller's read/write surface test).
#include "cli/cli-zynmsr.h"

#include "cli/cli-confargs.h"
#include "cli/output.h"
#include "cli/smart.h"
#include "cliutil.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <strings.h>

namespace {

const char kUsage[] = "Invalid Parameter. Use \"disk -h\" For Details.";
const char kInvalid[] = "Invalid Parameter.";
const char kInvalidShort[] = "Invalid Parameter";
const char kRule79[] = "===============================================================================\n";
const char kRule63[] = "===============================================================\n";

// Drive record bytes the console reads beyond the record's accessors.
constexpr int kInterfaceFlags = sGUI_PHY_DRV::kStateHigh;
constexpr u8 kInterfaceSata = 0x01;
constexpr int kSecurityFlags = 290;
constexpr u16 kSecurityPresent = 0x20;
constexpr u16 kSecuritySed = 0x18;
constexpr u16 kSecurityEnabled = 0x40;
constexpr u16 kSecurityLocked = 0x80;
constexpr int kDriveSerialShown = 15;
constexpr int kUsageWidth = 10;   // the usage column of the drive list, in characters
constexpr u8 kStateTested = 0x08;
constexpr u8 kSpareGlobal = 0, kSpareDedicated = 1, kSpareEnclosure = 2;
constexpr double kSectorBytes = 512, kThousand = 1000;
constexpr unsigned kByteMax = 0xFF;

// Raid set bytes: members, members with those being added.
constexpr int kRaidMembers = 60;
constexpr int kRaidMembersAdding = 61;
// Volume set bytes: channel .. transfer speed, and the "holds a volume set" byte.
constexpr int kVolSpeed = 53;
constexpr int kVolPresent = sGUI_VOLUMESET::kMemberCount;

// System information bytes.
constexpr int kSysMaxTransfer = 161;
constexpr u8 kJbod = 1;
constexpr u8 kFamilyWithoutRwTest = 4;

// Pass-through parameters.
constexpr u32 kPassCapSize = sizeof(_PASS_DISK_CAP);
constexpr u8 kUnchosen = 0xFF;
constexpr u8 kDefaultSpeed = 4;
constexpr unsigned kChannels = 3, kIds = 16, kLuns = 8;
constexpr u8 kBothChannels = 2;

// Locate light modes of the enclosure form; the older form's mask has a bit per slot.
constexpr unsigned kLocateMaskBits = 31;
constexpr u8 kLocateDisk = 0, kLocateEnclosure = 1, kLocateOff = 2;

// Detail form: a number above this addresses enclosure N / kEncSlotBase, slot N % kEncSlotBase.
constexpr int kEncSlotBase = 10000;
constexpr int kMaxSlot = 256;

// Enclosure slot names: a descriptor page of kDescriptorSize bytes, the first kSlotNamesSize
// of which are kSlotNameSize-byte names indexed by slot.
constexpr int kDescriptorSize = 8192;
constexpr int kSlotNameSize = 24;
constexpr int kSlotNamesSize = 6144;

// Volume state words.
constexpr u32 kCloneNotNormal = 0xC3BD;
constexpr u32 kCloneRunning = sGUI_VOLUMESET::kStateNeedClone | sGUI_VOLUMESET::kStateCloning;
constexpr int kCloneTypes = 2;

// SAS power-on hours: LOG SENSE of the cumulative values of page 0x15.
constexpr u8 kLogSense = 0x4D;
constexpr u8 kLogPageCumulative = 0x55;
constexpr u8 kLogAllocation = 20;
constexpr u8 kCdb16 = 16;
constexpr int kLogPcAt = 2, kLogAllocAt = 8, kLogParamCode = 4, kLogMinutes = 8;
constexpr double kMinutesPerHour = 60.0;

// SMART and ATA.
constexpr int kSmartReadPage = 0, kSmartReadThresholds = 1, kSmartOffline = 4, kSmartPrepare = 8,
              kSmartRwStart = 16, kSmartRwStop = 17, kSmartRwResult = 18;
constexpr u8 kOfflineCollect = 1, kSelfTestShort = 1, kSelfTestExtended = 2, kSelfTestFull = 0,
             kSelfTestAbort = 127;
constexpr u8 kAtaIdentify = 0xEC, kAtaSmart = 0xB0, kSmartReadData = 0xD0, kSmartReadThresh = 0xD1,
             kSmartExecOffline = 0xD4;
constexpr int kIdentifyRotationWord = 217;
constexpr int kSolidState = 1;
constexpr int kRwResultSize = 24;
constexpr int kRwStatus = 1;
constexpr u8 kRwFinished = 4, kRwRunning = 5;
constexpr int kRwReadRate = 2, kRwReadErrors = 6, kRwWriteRate = 10, kRwWriteErrors = 14;
constexpr long kRwScale = 10;
constexpr int kRwDefaultPercent = 10, kRwMaxPercent = 100;

const char* const kSasCounterLabels[sGUI_PHY_DRV::kSasCounterCount] = {
    "Read Errors Receovered W/O Delay   ", "Read Errors Receovered W Delay     ",
    "Read Errors Receovered W Retry     ", "Read Errors Receovered             ",
    "Read Total Bytes                   ", "Read Errors Unrecovered            ",
    "Write Errors Receovered W/O Delay  ", "Write Errors Receovered W Delay    ",
    "Write Errors Receovered W Retry    ", "Write Errors Receovered            ",
    "Write Total Bytes                  ", "Write Errors Unrecovered           ",
    "Verify Errors Receovered W/O Delay ", "Verify Errors Receovered W Delay   ",
    "Verify Errors Receovered W Retry   ", "Verify Errors Receovered           ",
    "Verify Errors Unrecovered          ", "Non-Medium Errors                  ",
    "Defect PList Block Count           ", "Defect GList Block Count           ",
};

const char* const kSmartLabels[sGUI_PHY_DRV::kSmartAttributes] = {
    "SMART Read Error Rate              ", "SMART Spinup Time                  ",
    "SMART Reallocation Count           ", "SMART Seek Error Rate              ",
    "SMART Spinup Retries               ", "SMART Calibration Retries          ",
};

std::unique_ptr<_DRV_MAP> newMap()
{
    auto map = std::make_unique<_DRV_MAP>();
    std::memset(map.get(), 0, sizeof(_DRV_MAP));
    return map;
}

// The drive map's count, never beyond its capacity.
int mapCount(const _DRV_MAP& map)
{
    return int(std::min<u32>(map.count, u32(_DRV_MAP::kMaxEntries)));
}

bool isFree(const sGUI_PHY_DRV& d)
{
    return (d.stateLow() & sGUI_PHY_DRV::kStateFree) != 0 && d.raidSet() == sGUI_PHY_DRV::kNoRaidSet;
}

bool smartReadable(const sGUI_PHY_DRV& d)
{
    return (d.stateLow() & kStateTested) != 0 && (d.stateLow() & sGUI_PHY_DRV::kStateFailed) == 0;
}

bool isSata(const sGUI_PHY_DRV& d)
{
    return (d.bytes[kInterfaceFlags] & kInterfaceSata) != 0;
}

bool isSed(const sGUI_PHY_DRV& d)
{
    const u16 security = zynwire::getU16(d.bytes + kSecurityFlags);
    return (security & kSecurityPresent) != 0 && (security & kSecuritySed) != 0;
}

// A fixed text field up to its NUL, trailing blanks kept unless `trim`.
QByteArray field(const u8* p, int width, bool trim)
{
    QByteArray text(reinterpret_cast<const char*>(p), int(::strnlen(reinterpret_cast<const char*>(p), size_t(width))));
    if (trim)
        while (text.endsWith(' '))
            text.chop(1);
    return text;
}

// "Y" 1 or "N" 0, case-insensitive; false for anything else.
bool readYesNo(int argc, char** argv, const char* key, u8* out)
{
    char text[4];
    if (!GetArgStringValue(argc, argv, key, text))
        return false;
    if (::strcasecmp(text, "Y") == 0)
        *out = 1;
    else if (::strcasecmp(text, "N") == 0)
        *out = 0;
    else
        return false;
    return true;
}

// An optional number: true when absent (out untouched) or well formed.
bool readOptionalInt(int argc, char** argv, const char* key, int* out, bool* given = nullptr)
{
    if (given != nullptr)
        *given = false;
    if (!IsArgPresent(argc, argv, key))
        return true;
    if (given != nullptr)
        *given = true;
    return GetArgIntValue(argc, argv, key, out);
}

// The slot names of one enclosure's descriptor (kSlotNamesSize bytes).
struct SlotNames {
    u8 bytes[kSlotNamesSize] = {};
    QByteArray name(u8 slot) const
    {
        return field(bytes + int(slot) * kSlotNameSize, kSlotNameSize, false);
    }
};
static_assert(kMaxSlot * kSlotNameSize <= kSlotNamesSize, "a name for every slot byte");

} // namespace

// ---- Common steps --------------------------------------------------------------------------

int CZynlibCLI::diskPickOne(int argc, char** argv, int minWords, int maxWords, _DRV_MAP* map, int* drv)
{
    if (argc < minWords || argc > maxWords) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    if (!GetArgIntValue(argc, argv, "drv", drv)) {
        cliout_zynmsr.ErrMsg_("Drive# Is Missing.");
        return 1;
    }
    const u32 rc = ZynHelpBuildDeviceMap(map);
    if (rc != ZYN_OK) {
        cliout_zynmsr.GuiErrMsg_(rc);
        return int(rc);
    }
    if (unsigned(*drv) < 1 || unsigned(*drv) > unsigned(mapCount(*map))) {
        cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_OBJECT);
        return ZYN_ERR_NO_OBJECT;
    }
    return kDiskGo;
}

u32 CZynlibCLI::diskRowText(const _DRV_MAP::Entry& entry, DiskRow* row)
{
    const sGUI_PHY_DRV& d = entry.drive;
    const u8 flags = d.stateLow();
    *row = DiskRow();
    if (flags == 0) {
        row->model = row->serial = row->firmware = row->state = "N.A.";
    } else {
        row->model = field(d.bytes + sGUI_PHY_DRV::kModel, sGUI_PHY_DRV::kModelSize, true);
        if (isSed(d))
            row->model += "(SED)";
        row->serial = field(d.bytes + sGUI_PHY_DRV::kSerial, kDriveSerialShown, false);
        row->firmware = field(d.bytes + sGUI_PHY_DRV::kFirmware, sGUI_PHY_DRV::kFirmwareSize, false);
        row->gigabytes = double(d.capacity()) * kSectorBytes / kThousand / kThousand / kThousand;
        row->state = "NORMAL";
    }
    u32 result = ZYN_OK;
    if ((flags & sGUI_PHY_DRV::kStateMember) && (flags & kStateTested) && d.raidSet() != sGUI_PHY_DRV::kNoRaidSet) {
        sGUI_RAIDSET raid;
        std::memset(&raid, 0, sizeof raid);
        const u32 rc = ZynGetRaidSetInfo(d.raidSet(), &raid);
        if (rc != ZYN_OK)
            result = rc;
        if (flags & sGUI_PHY_DRV::kStatePassThrough) {
            row->usage = m_sysInfo.bytes[sSYSTEM_INFO::kJbodMode] == kJbod ? "JBOD" : "Pass Through";
            return result;
        }
        if (rc != ZYN_OK)
            return result;
        row->usage = QByteArray::fromStdString(cliconf::nameText(raid.bytes + sGUI_RAIDSET::kName));
        // Counts from the controller stop at the record's capacity.
        const int members = std::min<int>(raid.bytes[kRaidMembers], sGUI_RAIDSET::kMaxMembers);
        const int withAdded = std::min<int>(raid.bytes[kRaidMembersAdding], sGUI_RAIDSET::kMaxMembers);
        const int volumes = std::min(raid.volumeCount(), sGUI_RAIDSET::kMaxVolumes);
        const auto isThisDrive = [&](int k) {
            return raid.memberSlot(k) == entry.slot && raid.memberEnclosure(k) == entry.enclosure;
        };
        for (int i = 0; i < volumes; ++i) {
            sGUI_VOLUMESET vol;
            std::memset(&vol, 0, sizeof vol);
            if (ZynGetVolSetInfo(raid.volumeNumber(i), &vol) != ZYN_OK)
                continue;
            bool rebuilding = false;
            if (vol.state() & sGUI_VOLUMESET::kStateRebuilding)
                for (int k = 0; k < members && !rebuilding; ++k)
                    rebuilding = isThisDrive(k) && (vol.degraded() >> k & 1u) && !(vol.rebuildDone() >> k & 1u);
            if (!rebuilding && (vol.state() & sGUI_VOLUMESET::kStateMigrating))
                for (int k = members; k < withAdded && !rebuilding; ++k)
                    rebuilding = isThisDrive(k);
            if (rebuilding) {
                row->usage += " <<";
                break;
            }
        }
    } else if (flags & sGUI_PHY_DRV::kStatePassThrough) {
        row->usage = "PassThr";
    } else if (flags & sGUI_PHY_DRV::kStateHotSpare) {
        switch (d.spareKind()) {
        case kSpareGlobal: row->usage = "HotSpare[Global]"; break;
        case kSpareDedicated: row->usage = QByteArray("HotSpare[RaidSet#") + QByteArray::number(d.dedicatedRaidSet()).rightJustified(2, '0') + "]"; break;
        case kSpareEnclosure: row->usage = "HotSpare[Enclosure]"; break;
        default: row->usage = "HotSpare[Unknown]"; break;
        }
    } else if (flags & sGUI_PHY_DRV::kStateFree) {
        row->usage = "Free";
    } else if (flags & sGUI_PHY_DRV::kStateOfflined) {
        row->usage = row->state = "Offlined";
    } else if (flags & sGUI_PHY_DRV::kStateFailed) {
        row->usage = "Failed";
        row->state = "FAILED";
    } else {
        row->usage = "N.A.";
    }
    return result;
}

// ---- Pass-through disks, fail, activate --------------------------------------------------

int CZynlibCLI::Exe_Disk_Create_Cmd(int argc, char** argv)
{
    _PASS_DISK_CAP cap{};
    cap.size = kPassCapSize;
    cap.channel = cap.id = cap.lun = kUnchosen;
    cap.tagged = 1;
    cap.cache = 1;
    cap.mode = kDefaultSpeed;
    cap.mode = m_sysInfo.bytes[kSysMaxTransfer];

    auto map = newMap();
    int drv = 0;
    const int go = diskPickOne(argc, argv, 1, 7, map.get(), &drv);
    if (go != kDiskGo)
        return go;
    const _DRV_MAP::Entry& e = map->entries[drv - 1];
    if (!isFree(e.drive)) {
        cliout_zynmsr.ErrMsg_("Drive %d Is Not Available.", drv);
        return 1;
    }
    struct Address { const char* key; unsigned limit; u8* out; const char* refusal; };
    const Address addresses[] = {
        {"ch", kChannels, &cap.channel, "Unsupported SCSI Channel"},
        {"id", kIds, &cap.id, "Unsupported SCSI ID"},
        {"lun", kLuns, &cap.lun, "Unsupported SCSI LUN"},
    };
    for (const Address& a : addresses) {
        int value = 0;
        bool given = false;
        if (!readOptionalInt(argc, argv, a.key, &value, &given)) {
            cliout_zynmsr.ErrMsg_("%s", kInvalid);
            return 1;
        }
        if (!given)
            continue;
        if (unsigned(value) >= a.limit) {
            cliout_zynmsr.ErrMsg_("%s", a.refusal);
            return 1;
        }
        *a.out = u8(value);
    }
    GetFreeChIdLun(&cap.channel, &cap.id, &cap.lun);
    if (IsArgPresent(argc, argv, "tag") && !readYesNo(argc, argv, "tag", &cap.tagged)) {
        cliout_zynmsr.ErrMsg_("\"tag\" Value Should Be \"Y\" Or \"N\"");
        return 1;
    }
    if (IsArgPresent(argc, argv, "cache") && !readYesNo(argc, argv, "cache", &cap.cache)) {
        cliout_zynmsr.ErrMsg_("\"cache\" Value Should Be \"Y\" Or \"N\"");
        return 1;
    }
    cap.drive = u8(drv - 1);
    const u32 rc = ZynCreatePassthroughDisk(e.enclosure, e.slot, &cap);
    cliout_zynmsr.GuiErrMsg_(rc);
    return int(rc);
}

int CZynlibCLI::Exe_Disk_Del_Cmd(int argc, char** argv)
{
    auto map = newMap();
    int drv = 0;
    const int go = diskPickOne(argc, argv, 1, 1, map.get(), &drv);
    if (go != kDiskGo)
        return go;
    const _DRV_MAP::Entry& e = map->entries[drv - 1];
    if (!(e.drive.stateLow() & sGUI_PHY_DRV::kStatePassThrough)) {
        cliout_zynmsr.ErrMsg_("Drive %d Is Not A Passthrough Disk.", drv);
        return 1;
    }
    const u32 rc = ZynDelPassthroughDisk(e.enclosure, e.slot);
    cliout_zynmsr.GuiErrMsg_(rc);
    return int(rc);
}

int CZynlibCLI::Exe_Disk_Modify_Cmd(int argc, char** argv)
{
    _PASS_DISK_CAP cap{};
    cap.size = kPassCapSize;
    auto map = newMap();
    int drv = 0;
    const int go = diskPickOne(argc, argv, 1, 7, map.get(), &drv);
    if (go != kDiskGo)
        return go;
    const _DRV_MAP::Entry& e = map->entries[drv - 1];
    if (!(e.drive.stateLow() & sGUI_PHY_DRV::kStatePassThrough)) {
        cliout_zynmsr.ErrMsg_("Drive %d Is Not A Passthrough Disk.", drv);
        return 1;
    }
    sGUI_RAIDSET raid;
    std::memset(&raid, 0, sizeof raid);
    u32 rc = ZynGetRaidSetInfo(e.drive.raidSet(), &raid);
    if (rc != ZYN_OK) {
        cliout_zynmsr.GuiErrMsg_(rc);
        return int(rc);
    }
    const u8 ownVolume = raid.volumeNumber(0);
    sGUI_VOLUMESET vol;
    std::memset(&vol, 0, sizeof vol);
    rc = ZynGetVolSetInfo(ownVolume, &vol);
    if (rc != ZYN_OK) {
        cliout_zynmsr.GuiErrMsg_(rc);
        return int(rc);
    }
    cap.drive = u8(drv - 1);
    cap.channel = vol.channel();
    cap.id = vol.id();
    cap.lun = vol.lun();
    cap.tagged = vol.taggedQueuing();
    cap.cache = vol.cacheMode();
    cap.mode = vol.bytes[kVolSpeed];
    for (auto [key, out] : {std::pair<const char*, u8*>{"ch", &cap.channel}, {"id", &cap.id}, {"lun", &cap.lun}}) {
        int value = 0;
        bool given = false;
        if (!readOptionalInt(argc, argv, key, &value, &given) || (given && unsigned(value) > kByteMax)) {
            cliout_zynmsr.ErrMsg_("%s", kInvalid);
            return 1;
        }
        if (given)
            *out = u8(value);
    }
    // The address compared is the one that will be sent; the disk's own volume set is skipped
    // and a volume on both channels clashes with either.
    if ((cap.channel != vol.channel() || cap.id != vol.id() || cap.lun != vol.lun()) && m_sysInfo.volumeSetNumbers() != 0) {
        const int volumes = m_sysInfo.volumeSetNumbers();
        for (int v = 0; v < volumes; ++v) {
            if (v == ownVolume)
                continue;
            sGUI_VOLUMESET other;
            std::memset(&other, 0, sizeof other);
            if (ZynGetVolSetInfo(u8(v), &other) != ZYN_OK || other.bytes[kVolPresent] == 0)
                continue;
            const bool channelMatch = other.channel() == kBothChannels || cap.channel == kBothChannels ||
                                      other.channel() == cap.channel;
            if (channelMatch && other.id() == cap.id && other.lun() == cap.lun) {
                cliout_zynmsr.ErrMsg_("Duplicate Of Channel/ID/LUN");
                return 1;
            }
        }
    }
    if (IsArgPresent(argc, argv, "tag") && !readYesNo(argc, argv, "tag", &cap.tagged)) {
        cliout_zynmsr.ErrMsg_("\"tag\" Value Should Be \"Y\" Or \"N\"");
        return 1;
    }
    if (IsArgPresent(argc, argv, "cache") && !readYesNo(argc, argv, "cache", &cap.cache)) {
        cliout_zynmsr.ErrMsg_("\"cache\" Value Should Be \"Y\" Or \"N\"");
        return 1;
    }
    int speed = 0;
    bool speedGiven = false;
    if (!readOptionalInt(argc, argv, "speed", &speed, &speedGiven) || (speedGiven && unsigned(speed) > kByteMax)) {
        cliout_zynmsr.ErrMsg_("%s", kInvalid);
        return 1;
    }
    if (speedGiven)
        cap.mode = u8(speed);
    rc = ZynModifyPassthroughDisk(e.enclosure, e.slot, &cap);
    cliout_zynmsr.GuiErrMsg_(rc);
    return int(rc);
}

int CZynlibCLI::diskActOnOne(int argc, char** argv, u32 (QZynlib::*op)(unsigned char, unsigned char))
{
    auto map = newMap();
    int drv = 0;
    const int go = diskPickOne(argc, argv, 1, 1, map.get(), &drv);
    if (go != kDiskGo)
        return go;
    const u32 rc = (this->*op)(map->entries[drv - 1].enclosure, map->entries[drv - 1].slot);
    cliout_zynmsr.GuiErrMsg_(rc);
    return int(rc);
}

int CZynlibCLI::Exe_Disk_Fail_Cmd(int argc, char** argv)
{
    return diskActOnOne(argc, argv, &QZynlib::ZynFailDisk);
}

int CZynlibCLI::Exe_Disk_ActivateFail_Cmd(int argc, char** argv)
{
    return diskActOnOne(argc, argv, &QZynlib::ZynActivateFailDisk);
}

// ---- Locate lights ---------------------------------------------------------------------------

int CZynlibCLI::Exe_Disk_Identify_Cmd(int argc, char** argv)
{
    if (argc < 1) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    const bool enclosures = m_sysInfo.isEnclosureFamily();
    int drv = 0;
    const bool haveDrv = GetArgIntValue(argc, argv, "drv", &drv);
    bool haveEnc = false;
    int enc = 0;
    // Without enclosure addressing there are no enclosures to name: "enc" is not looked at.
    if (enclosures && IsArgPresent(argc, argv, "enc")) {
        if (!GetArgIntValue(argc, argv, "enc", &enc) || unsigned(enc) < 1 || unsigned(enc) > m_sysInfo.highestEnclosure()) {
            cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_OBJECT);
            return ZYN_ERR_NO_OBJECT;
        }
        haveEnc = true;
        if (!haveDrv)
            drv = 1;
    }
    if (!haveEnc && !haveDrv) {
        cliout_zynmsr.ErrMsg_("Drive# Or Enclosure# Is Missing.");
        return 1;
    }
    auto map = newMap();
    u32 rc = ZynHelpBuildDeviceMap(map.get());
    if (rc != ZYN_OK) {
        cliout_zynmsr.GuiErrMsg_(rc);
        return int(rc);
    }
    if (unsigned(drv) > unsigned(mapCount(*map))) {
        cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_OBJECT);
        return ZYN_ERR_NO_OBJECT;
    }
    if (drv == 0) {
        rc = enclosures ? ZynSASIdentifyDisk(kLocateOff, 0, 0) : ZynIdentifyDisk(0);
    } else {
        const _DRV_MAP::Entry& e = map->entries[drv - 1];
        if (!enclosures) {
            rc = ZynIdentifyDisk(1u << (e.slot & kLocateMaskBits));
        } else if (haveEnc) {
            rc = ZynSASIdentifyDisk(kLocateEnclosure, u8(enc - 1), 0);
        } else {
            if (e.drive.stateLow() == 0) {
                cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_OBJECT);
                return ZYN_ERR_NO_OBJECT;
            }
            rc = ZynSASIdentifyDisk(kLocateDisk, e.enclosure, e.slot);
        }
    }
    cliout_zynmsr.GuiErrMsg_(rc);
    return int(rc);
}

// ---- Drive list and detail page ------------------------------------------------------------

int CZynlibCLI::Exe_Disk_Info_Cmd(int argc, char** argv)
{
    const bool enclosures = m_sysInfo.isEnclosureFamily();
    auto map = newMap();
    if (argc == 0) {
        u32 rc = ZynHelpBuildDeviceMap(map.get());
        if (rc != ZYN_OK) {
            cliout_zynmsr.GuiErrMsg_(rc);
            return int(rc);
        }
        if (enclosures)
            cliout_zynmsr.Output_("  # Enc# Slot#   ModelName                        Capacity  Usage\n");
        else
            cliout_zynmsr.Output_("  # Ch# ModelName                       Capacity  Usage\n");
        cliout_zynmsr.Output_("%s", kRule79);
        auto names = std::make_unique<SlotNames>();
        std::vector<u8> descriptor(kDescriptorSize);
        int fetched = -1;
        const int count = mapCount(*map);
        for (int n = 0; n < count; ++n) {
            const _DRV_MAP::Entry& e = map->entries[n];
            if (enclosures && e.enclosure != fetched) {
                fetched = e.enclosure;
                std::fill(descriptor.begin(), descriptor.end(), 0);
                const u32 got = ZynGetEnclosureDescriptor(e.enclosure, 0, descriptor.data(), kDescriptorSize);
                if (got == ZYN_OK)
                    std::memcpy(names->bytes, descriptor.data(), kSlotNamesSize);
                else
                    rc = got;
            }
            DiskRow row;
            const u32 rowRc = diskRowText(e, &row);
            if (rowRc != ZYN_OK)
                rc = rowRc;
            char number[kItoaSize];
            itoa(n + 1, number, 10);
            // The usage may hold a raid set's name: filled by characters.
            const std::string usage = cliconf::padded(row.usage.toStdString(), -kUsageWidth);
            if (enclosures)
                cliout_zynmsr.Output_("%3s  %02d  %-7s %-30.30s %8.1lfGB  %s\n", number, e.enclosure + 1,
                                      names->name(e.slot).constData(), row.model.constData(), row.gigabytes,
                                      usage.c_str());
            else
                cliout_zynmsr.Output_("%3s%3d  %-30.30s%8.1lfGB  %s\n", number, e.slot + 1, row.model.constData(),
                                      row.gigabytes, usage.c_str());
        }
        cliout_zynmsr.Output_("%s", kRule79);
        cliout_zynmsr.GuiErrMsg_(rc);
        return int(rc);
    }
    if (argc >= 2) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    int n = 0;
    if (!GetArgIntValue(argc, argv, "drv", &n) || n <= 0) {
        cliout_zynmsr.ErrMsg_("%s", kInvalid);
        return 1;
    }
    _DRV_MAP::Entry entry{};
    QByteArray slotName;
    if (enclosures && n >= kEncSlotBase) {
        const int enc = n / kEncSlotBase, slot = n % kEncSlotBase;
        if (enc > m_sysInfo.highestEnclosure() || slot < 1 || slot > kMaxSlot) {
            cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_OBJECT);
            return ZYN_ERR_NO_OBJECT;
        }
        entry.enclosure = u8(enc - 1);
        entry.slot = u8(slot - 1);
        const u32 rc = ZynGetPhysicalDriveInfo(entry.enclosure, entry.slot, &entry.drive);
        if (rc != ZYN_OK) {
            cliout_zynmsr.GuiErrMsg_(rc);
            return int(rc);
        }
    } else {
        const u32 rc = ZynHelpBuildDeviceMap(map.get());
        if (rc != ZYN_OK) {
            cliout_zynmsr.GuiErrMsg_(rc);
            return int(rc);
        }
        if (n > mapCount(*map)) {
            cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_OBJECT);
            return ZYN_ERR_NO_OBJECT;
        }
        entry = map->entries[n - 1];
    }
    const sGUI_PHY_DRV& d = entry.drive;
    if (d.stateLow() == 0) {
        cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_OBJECT);
        return ZYN_ERR_NO_OBJECT;
    }
    if (enclosures) {
        std::vector<u8> descriptor(kDescriptorSize);
        auto names = std::make_unique<SlotNames>();
        if (ZynGetEnclosureDescriptor(entry.enclosure, 0, descriptor.data(), kDescriptorSize) == ZYN_OK)
            std::memcpy(names->bytes, descriptor.data(), kSlotNamesSize);
        slotName = names->name(entry.slot);
    }
    DiskRow row;
    diskRowText(entry, &row);
    cliout_zynmsr.Output_("Drive Information \n");
    cliout_zynmsr.Output_("%s", kRule63);
    if (enclosures) {
        char type[40];
        std::snprintf(type, sizeof type, "%s(%llX)", isSata(d) ? "SATA" : "SAS", (unsigned long long)d.address());
        cliout_zynmsr.Output_("Device Type                        : %s\n", type);
        cliout_zynmsr.Output_("Device Location                    : Enclosure#%d %s\n", entry.enclosure + 1, slotName.constData());
    } else {
        cliout_zynmsr.Output_("IDE Channel                        : %d\n", entry.slot + 1);
    }
    cliout_zynmsr.Output_("Model Name                         : %s\n", row.model.constData());
    cliout_zynmsr.Output_("Serial Number                      : %s\n", row.serial.constData());
    cliout_zynmsr.Output_("Firmware Rev.                      : %s\n", row.firmware.constData());
    cliout_zynmsr.Output_("Disk Capacity                      : %.1fGB\n", row.gigabytes);
    cliout_zynmsr.Output_("Device State                       : %s\n", row.state.constData());
    const u16 security = zynwire::getU16(d.bytes + kSecurityFlags);
    const char* securityState = !isSed(d) ? "N.A." : !(security & kSecurityEnabled) ? "Disabled"
                              : (security & kSecurityLocked) ? "Locked" : "Unlocked";
    cliout_zynmsr.Output_("Security Capability                : %s\n", isSed(d) ? "TCG SED" : "N.A.");
    cliout_zynmsr.Output_("Security State                     : %s\n", securityState);
    cliout_zynmsr.Output_("Timeout Count                      : %d\n", d.timeouts());
    cliout_zynmsr.Output_("Media Error Count                  : %d\n", d.mediaErrors());
    if (isSata(d) || !enclosures) {
        cliout_zynmsr.Output_("Device Temperature                 : %d C\n", d.ataTemperature());
        for (int a = 0; a < sGUI_PHY_DRV::kSmartAttributes; ++a) {
            if (a == sGUI_PHY_DRV::SmartCalibrationRetries && d.smartValue(a) == sGUI_PHY_DRV::kSmartAbsent)
                cliout_zynmsr.Output_("%s: N.A.(N.A.)\n", kSmartLabels[a]);
            else
                cliout_zynmsr.Output_("%s: %d(%d)\n", kSmartLabels[a], d.smartValue(a), d.smartThreshold(a));
        }
    } else {
        cliout_zynmsr.Output_("Rotation Speed                     : %d(RPM)\n", d.rotation());
        cliout_zynmsr.Output_("Device Temperature                 : %d C\n", d.sasTemperature());
        for (int i = 0; i < sGUI_PHY_DRV::kSasCounterCount; ++i)
            cliout_zynmsr.Output_("%s: 0x%.16llX\n", kSasCounterLabels[i], (unsigned long long)d.sasCounter(i));
        auto scsi = std::make_unique<_SCSI_PASSTHROUGH_COMMAND>();
        std::memset(scsi.get(), 0, sizeof(_SCSI_PASSTHROUGH_COMMAND));
        scsi->cdb[0] = kLogSense;
        scsi->cdb[kLogPcAt] = kLogPageCumulative;
        scsi->cdb[kLogAllocAt] = kLogAllocation;
        scsi->cdbLength = kCdb16;
        scsi->direction = _SCSI_PASSTHROUGH_COMMAND::DataIn;
        if (ZynScsiPassthroughCmd(entry.enclosure, entry.slot, scsi.get()) != ZYN_OK) {
            cliout_zynmsr.Output_("Power On Hours(POH)                : Unknown\n");
        } else {
            double hours = 0;
            const u8* data = scsi->data;
            if (data[kLogParamCode] == 0 && data[kLogParamCode + 1] == 0) {
                const u32 minutes = (u32(data[kLogMinutes]) << 24) | (u32(data[kLogMinutes + 1]) << 16) |
                                    (u32(data[kLogMinutes + 2]) << 8) | u32(data[kLogMinutes + 3]);
                hours = minutes / kMinutesPerHour;
            }
            cliout_zynmsr.Output_("Power On Hours(POH)                : %.2f\n", hours);
        }
    }
    cliout_zynmsr.Output_("%s", kRule63);
    cliout_zynmsr.GuiErrMsg_(ZYN_OK);
    return 0;
}

// ---- Clone ---------------------------------------------------------------------------------

int CZynlibCLI::Exe_Disk_Clone_Cmd(int argc, char** argv)
{
    if (argc >= 4) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    if (!IsArgPresent(argc, argv, "source")) {
        cliout_zynmsr.ErrMsg_("Source Drive# Is Missing");
        return 1;
    }
    if (!IsArgPresent(argc, argv, "target")) {
        cliout_zynmsr.ErrMsg_("Target Drive# Is Missing");
        return 1;
    }
    int type = 0;
    if (!readOptionalInt(argc, argv, "type", &type) || unsigned(type) >= kCloneTypes) {
        cliout_zynmsr.ErrMsg_("%s", kInvalidShort);
        return 1;
    }
    auto map = newMap();
    u32 rc = ZynHelpBuildDeviceMap(map.get());
    if (rc != ZYN_OK)
        return int(rc);
    std::vector<int> sources, targets;
    if (!GetArgArrayValue(argc, argv, "source", sources) || !GetArgArrayValue(argc, argv, "target", targets) ||
        sources.size() != targets.size()) {
        cliout_zynmsr.ErrMsg_("%s", kInvalidShort);
        return 1;
    }
    const int count = mapCount(*map);
    for (const std::vector<int>* list : {&sources, &targets})
        for (int n : *list)
            if (n < 1 || n > count) {
                cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_OBJECT);
                return ZYN_ERR_NO_OBJECT;
            }
    auto source = std::make_unique<_DEVICE_LIST>();
    auto target = std::make_unique<_DEVICE_LIST>();
    std::memset(source.get(), 0, sizeof(_DEVICE_LIST));
    std::memset(target.get(), 0, sizeof(_DEVICE_LIST));
    for (size_t k = 0; k < sources.size(); ++k) {
        const _DRV_MAP::Entry& s = map->entries[sources[k] - 1];
        const _DRV_MAP::Entry& t = map->entries[targets[k] - 1];
        sGUI_RAIDSET raid;
        std::memset(&raid, 0, sizeof raid);
        rc = ZynGetRaidSetInfo(s.drive.raidSet(), &raid);
        if (rc != ZYN_OK)
            return int(rc);
        u32 states = 0;
        const int volumes = std::min(raid.volumeCount(), sGUI_RAIDSET::kMaxVolumes);
        for (int i = 0; i < volumes; ++i) {
            sGUI_VOLUMESET vol;
            std::memset(&vol, 0, sizeof vol);
            rc = ZynGetVolSetInfo(raid.volumeNumber(i), &vol);
            if (rc != ZYN_OK) {
                cliout_zynmsr.GuiErrMsg_(rc);
                return int(rc);
            }
            states |= vol.state();
        }
        if (states & kCloneNotNormal) {
            cliout_zynmsr.ErrMsg_("Drive %d Is Not Normal", sources[k]);
            return 1;
        }
        if (t.drive.raidSet() != sGUI_PHY_DRV::kNoRaidSet) {
            cliout_zynmsr.ErrMsg_("Drive %d Is Not Free", targets[k]);
            return 1;
        }
        source->drives[source->count++] = {s.enclosure, s.slot};
        target->drives[target->count++] = {t.enclosure, t.slot};
    }
    rc = ZynCloneDisk(source.get(), target.get(), u8(type));
    cliout_zynmsr.GuiErrMsg_(rc);
    return int(rc);
}

int CZynlibCLI::Exe_Disk_Aborting_Clone_Cmd(int argc, char** argv)
{
    if (argc < 1) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    int raidNumber = 0;
    if (!GetArgIntValue(argc, argv, "raid", &raidNumber)) {
        cliout_zynmsr.ErrMsg_("RaidSet# Is Missing");
        return 1;
    }
    auto map = std::make_unique<_RAID_MAP>();
    std::memset(map.get(), 0, sizeof(_RAID_MAP));
    u32 rc = ZynHelpBuildRaidSetMap(map.get());
    if (rc != ZYN_OK) {
        cliout_zynmsr.GuiErrMsg_(rc);
        return int(rc);
    }
    const unsigned count = std::min<u32>(map->count, u32(_RAID_MAP::kMaxEntries));
    if (unsigned(raidNumber) < 1 || unsigned(raidNumber) > count) {
        cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_OBJECT);
        return ZYN_ERR_NO_OBJECT;
    }
    const _RAID_MAP::Entry& r = map->entries[raidNumber - 1];
    u32 states = 0;
    const int volumes = std::min(r.raidSet.volumeCount(), sGUI_RAIDSET::kMaxVolumes);
    for (int i = 0; i < volumes; ++i) {
        sGUI_VOLUMESET vol;
        std::memset(&vol, 0, sizeof vol);
        rc = ZynGetVolSetInfo(r.raidSet.volumeNumber(i), &vol);
        if (rc != ZYN_OK) {
            cliout_zynmsr.GuiErrMsg_(rc);
            return int(rc);
        }
        states |= vol.state();
    }
    if (!(states & kCloneRunning)) {
        cliout_zynmsr.ErrMsg_("RaidSet %d Is Not Cloning", r.number);
        return 1;
    }
    rc = ZynAbortDiskCloning(u16(r.number));
    cliout_zynmsr.GuiErrMsg_(rc);
    return int(rc);
}

// ---- Help ------------------------------------------------------------------------------------

int CZynlibCLI::Display_Disk_CMD_Help(int, char**)
{
    static const char kHelp[] =
        "Sub-Command & Parameters Of [ disk ]\n"
        "Sub-Command Description\n"
        "===============================================================================\n"
        "create     <drv=DrvNo>[ch=0][id=0~15][lun=0~7][tag=Y|N][cache=Y|N].\n"
        "Fn: Create A Pass-Through Disk.\n"
        "Ex: Create Drive 2 As Pass-Through Disk At Ch/Id/Lun 0/1/0.\n"
        "Command: disk create drv=2 ch=0 id=1 lun=0 tag=Y cache=Y [Enter]\n"
        "\n"
        "delete     <drv=DrvNo>.\n"
        "Fn: Delete A Pass-Through Disk.\n"
        "Ex: Delete The Pass-Through Disk On Drive 2.\n"
        "Command: disk delete drv=2 [Enter]\n"
        "\n"
        "modify     <drv=DrvNo>[ch=0][id=0~15][lun=0~7][tag=Y|N][cache=Y|N].\n"
        "Fn: Modify A Pass-Through Disk.\n"
        "Ex: Move The Pass-Through Disk On Drive 2 To Id 3.\n"
        "Command: disk modify drv=2 id=3 [Enter]\n"
        "\n"
        "fail       <drv=DrvNo>.\n"
        "Fn: Fail A Drive.\n"
        "Ex: Fail Drive 2.\n"
        "Command: disk fail drv=2 [Enter]\n"
        "\n"
        "activate   <drv=DrvNo>.\n"
        "Fn: Activate A Failed Drive.\n"
        "Ex: Activate Drive 2.\n"
        "Command: disk activate drv=2 [Enter]\n"
        "\n"
        "identify   <drv=DrvNo>|<enc=EncNo>.\n"
        "Fn: Blink The Locate Light Of A Drive Or An Enclosure (drv=0 Ends Identification).\n"
        "Ex: Identify Drive 2.\n"
        "Command: disk identify drv=2 [Enter]\n"
        "\n"
        "smart      <drv=DrvNo>.\n"
        "Fn: Show The S.M.A.R.T Attributes Of Drives.\n"
        "Ex: Show The S.M.A.R.T Attributes Of Drive 1.\n"
        "Command: disk smart drv=1 [Enter]\n"
        "\n"
        "sttest     <drv=DrvNo>[mode=short|extended|abort].\n"
        "Fn: Start A Self-Test Of Drives.\n"
        "Ex: Start An Extended Self-Test Of Drive 4.\n"
        "Command: disk sttest drv=4 mode=extended [Enter]\n"
        "\n"
        "clone      <source=DrvNo><target=DrvNo>[type=0|1].\n"
        "Fn: Clone A RaidSet Member Onto A Free Drive; type: 0 Clone And Replace, 1 Clone Only.\n"
        "Ex: Clone Drive 1 Onto Drive 4.\n"
        "Command: disk clone source=1 target=4 type=0 [Enter]\n"
        "\n"
        "abortclone <raid=RaidSetNo>.\n"
        "Fn: Abort The Cloning Of A RaidSet.\n"
        "Ex: Abort The Cloning Of RaidSet 1.\n"
        "Command: disk abortclone raid=1 [Enter]\n"
        "\n"
        "info       [drv=DrvNo].\n"
        "Fn: Show The Drive List, Or The Details Of One Drive.\n"
        "Ex: Show The Details Of Drive 1.\n"
        "Command: disk info drv=1 [Enter]\n";
    static const char kDiagnosticsHelp[] =
        "\n"
        "dctest     <drv=DrvNo>.\n"
        "Fn: Start The Off-Line Data Collection Of Free Drives.\n"
        "Ex: Start The Data Collection Of Drive 4.\n"
        "Command: disk dctest drv=4 [Enter]\n"
        "\n"
        "rwtest     <drv=DrvNo>[p=1~100].\n"
        "Fn: Start The Read/Write Test Of Free Drives (Default p=10).\n"
        "Ex: Test 20 Percent Of Drive 4.\n"
        "Command: disk rwtest drv=4 p=20 [Enter]\n"
        "\n"
        "abortrwtest <drv=DrvNo>.\n"
        "Fn: Stop The Read/Write Test Of Free Drives.\n"
        "Ex: Stop The Read/Write Test Of Drive 4.\n"
        "Command: disk abortrwtest drv=4 [Enter]\n"
        "\n"
        "checkrwtest <drv=DrvNo>.\n"
        "Fn: Show The Read/Write Test Result Of Free Drives.\n"
        "Ex: Show The Read/Write Test Result Of Drive 4.\n"
        "Command: disk checkrwtest drv=4 [Enter]\n";
    cliout_zynmsr.Output_("\n");
    cliout_zynmsr.Output_("%s", kHelp);
    const u8 family = m_sysInfo.family();
    if (family != sSYSTEM_INFO::kEnclosureFamily && family != kFamilyWithoutRwTest)
        cliout_zynmsr.Output_("%s", kDiagnosticsHelp);
    cliout_zynmsr.Output_("%s", kRule79);
    return 0;
}

// ---- Diagnostics: drive selection ----------------------------------------------------------

int CZynlibCLI::diskSelect(int argc, char** argv, bool free, _DRV_MAP* map, std::vector<int>* drives)
{
    constexpr int kDrvTextSize = 256;
    char text[kDrvTextSize];
    if (!IsArgPresent(argc, argv, "drv")) {
        cliout_zynmsr.ErrMsg_("Drive# Is Missing");
        return 1;
    }
    const bool textRead = GetArgStringValue(argc, argv, "drv", text);
    const u32 rc = ZynHelpBuildDeviceMap(map);
    if (rc != ZYN_OK) {
        cliout_zynmsr.GuiErrMsg_(rc);
        return int(rc);
    }
    const int count = mapCount(*map);
    const auto accepted = [&](int position) {
        const sGUI_PHY_DRV& d = map->entries[position].drive;
        return free ? isFree(d) : smartReadable(d);
    };
    drives->clear();
    if (textRead && ::strcasecmp(text, "all") == 0) {
        for (int n = 0; n < count; ++n)
            if (accepted(n))
                drives->push_back(n);
        return kDiskGo;
    }
    std::vector<int> numbers;
    if (!GetArgArrayValue(argc, argv, "drv", numbers)) {
        cliout_zynmsr.ErrMsg_("%s", kInvalidShort);
        return 1;
    }
    const char* notAccepted = free ? "Drive# Is Not Available Or Not Free" : "Drive# Is Not Available";
    bool refused = false;
    for (int n : numbers) {
        if (n > count) {
            cliout_zynmsr.ErrMsg_("Drive# Exceeds The Supported Channels");
            refused = true;
        } else if (n < 1 || !accepted(n - 1)) {
            // Drive 0 lies below the map: no drive is there.
            cliout_zynmsr.ErrMsg_("%s", notAccepted);
            refused = true;
        } else {
            drives->push_back(n - 1);
        }
    }
    return refused ? 1 : kDiskGo;
}

namespace {

// True for a solid-state drive: IDENTIFY DEVICE word 217 says the medium does not rotate.
unsigned char solidState(const _ATA_PASSTHROUGH_COMMAND& identify)
{
    const int at = 2 * kIdentifyRotationWord;
    return zynwire::getU16(identify.data + at) == kSolidState ? 1 : 0;
}

void ataCommand(_ATA_PASSTHROUGH_COMMAND* c, u8 command, u8 features, u8 lbaLow, u8 direction)
{
    std::memset(c, 0, sizeof(_ATA_PASSTHROUGH_COMMAND));
    c->command = command;
    c->features = features;
    c->lbaLow = lbaLow;
    c->direction = direction;
}

} // namespace

// ---- SMART attributes --------------------------------------------------------------------

int CZynlibCLI::Exe_Disk_Smart_Cmd(int argc, char** argv)
{
    if (m_sysInfo.isEnclosureFamily())
        return Exe_Disk_SAS_Smart_Cmd(argc, argv);
    auto map = newMap();
    std::vector<int> drives;
    const int go = diskSelect(argc, argv, false, map.get(), &drives);
    if (go != kDiskGo)
        return go;
    auto identify = std::make_unique<_ATA_PASSTHROUGH_COMMAND>();
    std::vector<u8> page(smartpage::kPageSize), thresholds(smartpage::kPageSize);
    for (int n : drives) {
        ataCommand(identify.get(), kAtaIdentify, 0, 0, _ATA_PASSTHROUGH_COMMAND::DataIn);
        u32 rc = ZynAtaPassthroughCmd(0, u8(n), identify.get());
        if (rc != ZYN_OK) {
            cliout_zynmsr.GuiErrMsg_(rc);
            return int(rc);
        }
        const unsigned char ssd = solidState(*identify);
        std::fill(page.begin(), page.end(), 0);
        if (ZynExeSMART(kSmartReadPage, u8(n), 0, page.data()) != ZYN_OK) {
            cliout_zynmsr.ErrMsg_("Drive #%02d == >Failed To Read S.M.A.R.T Attribute Data.", n + 1);
            return 1;
        }
        if (page[smartpage::kSelfTestStatus] >= smartpage::kSelfTestRunning) {
            cliout_zynmsr.Msg_("Drive #%02d == >Off-Line Self-Test Is In The Progress...", n + 1);
            continue;
        }
        std::fill(thresholds.begin(), thresholds.end(), 0);
        if (ZynExeSMART(kSmartReadThresholds, u8(n), 0, thresholds.data()) != ZYN_OK) {
            cliout_zynmsr.ErrMsg_("Drive #%02d == >Failed To Read S.M.A.R.T Attribute Threshold Data.", n + 1);
            return 1;
        }
        PrintSmartResult(n + 1, page.data(), thresholds.data(), ssd);
    }
    cliout_zynmsr.GuiErrMsg_(ZYN_OK);
    return 0;
}

int CZynlibCLI::diskPickSmartSata(int drv, _DRV_MAP* map)
{
    const u32 rc = ZynHelpBuildDeviceMap(map);
    if (rc != ZYN_OK) {
        cliout_zynmsr.GuiErrMsg_(rc);
        return int(rc);
    }
    if (unsigned(drv) < 1 || unsigned(drv) > unsigned(mapCount(*map)) || !smartReadable(map->entries[drv - 1].drive)) {
        cliout_zynmsr.ErrMsg_("Drive# Is Not Available");
        return 1;
    }
    if (!isSata(map->entries[drv - 1].drive)) {
        cliout_zynmsr.ErrMsg_("Drive# Is Not SATA H.D.D");
        return 1;
    }
    return kDiskGo;
}

int CZynlibCLI::Exe_Disk_SAS_Smart_Cmd(int argc, char** argv)
{
    int drv = 0;
    if (!GetArgIntValue(argc, argv, "drv", &drv)) {
        cliout_zynmsr.ErrMsg_("Drive# Is Missing");
        return 1;
    }
    auto map = newMap();
    const int go = diskPickSmartSata(drv, map.get());
    if (go != kDiskGo)
        return go;
    const _DRV_MAP::Entry& e = map->entries[drv - 1];
    u32 rc = ZYN_OK;
    auto identify = std::make_unique<_ATA_PASSTHROUGH_COMMAND>();
    auto page = std::make_unique<_ATA_PASSTHROUGH_COMMAND>();
    auto thresholds = std::make_unique<_ATA_PASSTHROUGH_COMMAND>();
    ataCommand(identify.get(), kAtaIdentify, 0, 0, _ATA_PASSTHROUGH_COMMAND::DataIn);
    ataCommand(page.get(), kAtaSmart, kSmartReadData, 0, _ATA_PASSTHROUGH_COMMAND::DataIn);
    ataCommand(thresholds.get(), kAtaSmart, kSmartReadThresh, 0, _ATA_PASSTHROUGH_COMMAND::DataIn);
    for (_ATA_PASSTHROUGH_COMMAND* c : {identify.get(), page.get(), thresholds.get()}) {
        rc = ZynAtaPassthroughCmd(e.enclosure, e.slot, c);
        if (rc != ZYN_OK) {
            cliout_zynmsr.GuiErrMsg_(rc);
            return int(rc);
        }
    }
    if (page->data[smartpage::kSelfTestStatus] >= smartpage::kSelfTestRunning)
        cliout_zynmsr.Msg_("Drive #%02d == >Off-Line Self-Test Is In The Progress...", drv);
    else
        PrintSmartResult(drv, page->data, thresholds->data, solidState(*identify));
    cliout_zynmsr.GuiErrMsg_(ZYN_OK);
    return 0;
}

// ---- Off-line data collection, self-tests, read/write test -------------------------------

namespace {

enum class Offline { Collect, SelfTest, RwTest };

} // namespace

static int runOffline(CZynlibCLI& cli, const std::vector<int>& drives, Offline kind, u8 argument)
{
    std::vector<u8> page(smartpage::kPageSize);
    for (int n : drives) {
        u32 rc = cli.ZynExeSMART(kSmartReadPage, u8(n), 0, page.data());
        if (rc != ZYN_OK) {
            cliout_zynmsr.GuiErrMsg_(rc);
            return int(rc);
        }
        cli.ZynExeSMART(kSmartPrepare, u8(n), 0, page.data());   // its answer tells nothing
        if (kind == Offline::RwTest) {
            rc = cli.ZynExeSMART(kSmartRwStart, u8(n), argument, page.data());
            if (rc != ZYN_OK) {
                cliout_zynmsr.Msg_("Drive#%02d ==> An error occurred while starting Read/Write Test...", n + 1);
                cliout_zynmsr.GuiErrMsg_(rc);
                return int(rc);
            }
            cliout_zynmsr.Msg_("Drive#%02d ==> Starting Read/Write Test...(%d%%)", n + 1, argument);
        } else {
            rc = cli.ZynExeSMART(kSmartOffline, u8(n), argument, page.data());
            if (rc != ZYN_OK) {
                if (kind == Offline::Collect)
                    cliout_zynmsr.Msg_("Drive#%02d ==> An error occurred while starting offline operation ( data collection )", n + 1);
                else
                    cliout_zynmsr.Msg_("Drive#%02d ==> An error occurred while starting offline operation ( self-test )", n + 1);
                return int(rc);
            }
            if (kind == Offline::Collect)
                cliout_zynmsr.Msg_("Drive#%02d ==> Starting execute offline operation ( data collection )", n + 1);
            else if (argument == kSelfTestExtended)
                cliout_zynmsr.Msg_("Drive#%02d ==> Starting execute offline operation ( Extended self-test )", n + 1);
            else
                cliout_zynmsr.Msg_("Drive#%02d ==> Starting execute offline operation ( Short self-test )", n + 1);
        }
        rc = cli.ZynExeSMART(kSmartReadPage, u8(n), 0, page.data());
        if (rc != ZYN_OK) {
            cliout_zynmsr.GuiErrMsg_(rc);
            return int(rc);
        }
    }
    cliout_zynmsr.GuiErrMsg_(ZYN_OK);
    return 0;
}

int CZynlibCLI::Exe_Disk_Dctest_Cmd(int argc, char** argv)
{
    // Enclosure addressing has no form of this command (its help leaves it out): the SMART
    // command would name a drive by its map position, which is not its slot there.
    if (m_sysInfo.isEnclosureFamily()) {
        cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NOT_ALLOWED);
        return int(ZYN_ERR_NOT_ALLOWED);
    }
    if (argc != 1) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    auto map = newMap();
    std::vector<int> drives;
    const int go = diskSelect(argc, argv, true, map.get(), &drives);
    if (go != kDiskGo)
        return go;
    return runOffline(*this, drives, Offline::Collect, kOfflineCollect);
}

int CZynlibCLI::Exe_Disk_Sttest_Cmd(int argc, char** argv)
{
    if (m_sysInfo.isEnclosureFamily())
        return Exe_Disk_SAS_Sttest_Cmd(argc, argv);
    if (argc > 2) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    u8 mode = kSelfTestShort;
    if (IsArgPresent(argc, argv, "mode")) {
        char text[16];
        if (GetArgStringValue(argc, argv, "mode", text) && ::strcasecmp(text, "short") == 0) {
            mode = kSelfTestShort;
        } else if (GetArgStringValue(argc, argv, "mode", text) && ::strcasecmp(text, "extended") == 0) {
            mode = kSelfTestExtended;
        } else {
            cliout_zynmsr.ErrMsg_("%s", kInvalidShort);
            return 1;
        }
    }
    auto map = newMap();
    std::vector<int> drives;
    const int go = diskSelect(argc, argv, true, map.get(), &drives);
    if (go != kDiskGo)
        return go;
    return runOffline(*this, drives, Offline::SelfTest, mode);
}

int CZynlibCLI::Exe_Disk_SAS_Sttest_Cmd(int argc, char** argv)
{
    if (argc > 2) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    int drv = 0;
    if (!GetArgIntValue(argc, argv, "drv", &drv)) {
        cliout_zynmsr.ErrMsg_("Drive# Is Missing");
        return 1;
    }
    u8 mode = kSelfTestFull;
    if (IsArgPresent(argc, argv, "mode")) {
        struct Mode { const char* word; u8 code; };
        static const Mode kModes[] = {{"extended", kSelfTestExtended}, {"short", kSelfTestShort},
                                      {"full", kSelfTestFull}, {"abort", kSelfTestAbort}};
        char text[16];
        bool known = false;
        if (GetArgStringValue(argc, argv, "mode", text))
            for (const Mode& m : kModes)
                if (::strcasecmp(text, m.word) == 0) {
                    mode = m.code;
                    known = true;
                }
        if (!known) {
            cliout_zynmsr.ErrMsg_("%s", kInvalidShort);
            return 1;
        }
    }
    auto map = newMap();
    const int go = diskPickSmartSata(drv, map.get());
    if (go != kDiskGo)
        return go;
    const _DRV_MAP::Entry& e = map->entries[drv - 1];
    u32 rc = ZYN_OK;
    _ATA_PASSTHROUGH_COMMAND command;
    ataCommand(&command, kAtaSmart, kSmartExecOffline, mode, 0);
    rc = ZynAtaPassthroughCmd(e.enclosure, e.slot, &command);
    if (rc == ZYN_OK) {
        switch (mode) {
        case kSelfTestFull:
            cliout_zynmsr.Msg_("Drive#%02d ==> Starting execute offline operation ( Full scan )", drv);
            break;
        case kSelfTestShort:
            cliout_zynmsr.Msg_("Drive#%02d ==> Starting execute offline operation ( Short self-test )", drv);
            break;
        case kSelfTestExtended:
            cliout_zynmsr.Msg_("Drive#%02d ==> Starting execute offline operation ( Extended self-test )", drv);
            break;
        default:
            cliout_zynmsr.Msg_("Drive#%02d ==> Starting execute offline operation ( Abort self-test )", drv);
            break;
        }
    }
    cliout_zynmsr.GuiErrMsg_(rc);
    return int(rc);
}

int CZynlibCLI::Exe_Disk_Rwtest_Cmd(int argc, char** argv)
{
    if (argc > 2) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    int percent = kRwDefaultPercent;
    if (!readOptionalInt(argc, argv, "p", &percent) || percent < 1 || percent > kRwMaxPercent) {
        cliout_zynmsr.ErrMsg_("%s", kInvalidShort);
        return 1;
    }
    auto map = newMap();
    std::vector<int> drives;
    const int go = diskSelect(argc, argv, true, map.get(), &drives);
    if (go != kDiskGo)
        return go;
    return runOffline(*this, drives, Offline::RwTest, u8(percent));
}

int CZynlibCLI::Exe_Disk_AbortRwtest_Cmd(int argc, char** argv)
{
    if (argc != 1) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    auto map = newMap();
    std::vector<int> drives;
    const int go = diskSelect(argc, argv, true, map.get(), &drives);
    if (go != kDiskGo)
        return go;
    u8 answer[kRwResultSize] = {};
    for (int n : drives) {
        const u32 rc = ZynExeSMART(kSmartRwStop, u8(n), 0, answer);
        if (rc != ZYN_OK) {
            cliout_zynmsr.Msg_("Drive#%02d ==> An error occurred while stopping Read/Write Test...", n + 1);
            return int(rc);
        }
        cliout_zynmsr.Msg_("Drive#%02d ==> Read/Write Test Stopped.", n + 1);
    }
    cliout_zynmsr.GuiErrMsg_(ZYN_OK);
    return 0;
}

int CZynlibCLI::Exe_Disk_CheckRwtest_Cmd(int argc, char** argv)
{
    if (argc != 1) {
        cliout_zynmsr.ErrMsg_("%s", kUsage);
        return 1;
    }
    auto map = newMap();
    std::vector<int> drives;
    const int go = diskSelect(argc, argv, true, map.get(), &drives);
    if (go != kDiskGo)
        return go;
    // Every drive is asked; the first failure is the command's result. Each drive's answer is
    // read into a cleared buffer, so a failed read never shows another drive's numbers.
    u32 result = ZYN_OK;
    for (int n : drives) {
        u8 answer[kRwResultSize] = {};
        const u32 rc = ZynExeSMART(kSmartRwResult, u8(n), 0, answer);
        if (rc != ZYN_OK) {
            cliout_zynmsr.GuiErrMsg_(rc);
            if (result == ZYN_OK)
                result = rc;
            continue;
        }
        if (answer[kRwStatus] == kRwRunning) {
            cliout_zynmsr.Msg_("Drive #%02d ==> Read/Write Is In The Progress...", n + 1);
        } else if (answer[kRwStatus] == kRwFinished) {
            cliout_zynmsr.Msg_("Drive #%02d ==> Read/Write Testing OK!!", n + 1);
            cliout_zynmsr.Msg_("             Read xfer rate = %ld KBytes/sec", long(zynwire::getU32(answer + kRwReadRate)) * kRwScale);
            cliout_zynmsr.Msg_("             Read error count = %ld", long(zynwire::getU32(answer + kRwReadErrors)) * kRwScale);
            cliout_zynmsr.Msg_("             Write xfer rate = %ld KBytes/sec", long(zynwire::getU32(answer + kRwWriteRate)) * kRwScale);
            cliout_zynmsr.Msg_("             Write error count = %ld", long(zynwire::getU32(answer + kRwWriteErrors)) * kRwScale);
        }
    }
    cliout_zynmsr.GuiErrMsg_(result);
    return int(result);
}
