// The rsf commands: create, delete, expand, activate and take raid sets offline, add and remove
// hot spares, and list them. Numbers typed are positions in the maps the handlers build afresh;
// every check runs before anything is sent.
#include "cli/cli-confargs.h"
#include "cli/cli-zynmsr.h"

#include "cli/cli-common.h"
#include "cli/output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using cliconf::Arg;

namespace {

const char kUsage[] = "Invalid Parameter. Use \"rsf -h\" For Details.";
const char kInvalid[] = "Invalid Parameter";
const char kInvalidDot[] = "Invalid Parameter.";
const char kNoSuchVolume[] = "No Such Device [VolumeSet#%d]\n";

// Record bytes the raid set record's accessors do not name.
constexpr int kMemberDevices = 60;          // member device count
constexpr uint8_t kVolumeLimitBits = 0x83;  // byte 82: bit 7 with low bits 01: 128 volumes
constexpr uint8_t kVolumeLimit128 = 0x81;
constexpr int kFewVolumes = 16;
constexpr uint8_t kStateSpunDown = 0x10;

// Drive record state bits that select drives.
constexpr uint8_t kDriveAvailable = 0x40;
constexpr uint8_t kDriveHotSpare = 0x20;

// How many drives each command form holds: the drive masks of the older family, the new drives
// of an expansion on the enclosure family, and the one-byte count of the other lists.
constexpr int kMaskDrives = 32;
constexpr int kExpandListDrives = 32;
constexpr int kByteCountDrives = 255;
// The expansion's drive mask form has room for the triples of volume numbers 0 .. 16 only.
constexpr int kMaskFormMaxVolume = 16;
constexpr int kMaxVolumeChanges = 255;

constexpr int kHotSpareGlobal = 0;
constexpr int kHotSpareDedicated = 1;
constexpr int kHotSpareMaxType = 3;
constexpr int kHotSpareDefaultRaid = 5;     // raid set argument when raid= is not given

constexpr int kDefaultMode = 1;
constexpr std::size_t kNameSize = cliconf::kFieldSize;
constexpr std::size_t kNameTextLimit = 256;   // longest name= value read

// Capacities: 512-byte sectors, free segments in units of 512 sectors, decimal GB.
constexpr double kSector = 512.0;
constexpr double kSegmentUnit = 512.0;
constexpr double kGB = 1000.0 * 1000.0 * 1000.0;

constexpr int kListRule = 79;
constexpr int kInfoRule = 43;
constexpr int kHelpRule = 70;
// The name column of the list, in characters: left-aligned on the enclosure family,
// right-aligned on the older one.
constexpr int kListNameWidth = 24;
constexpr int kOlderListNameWidth = 16;

// Channel text of a member slot on the older family: digits for slots 0-8, letters from 9 on.
constexpr int kDigitSlots = 9;
constexpr int kLetterBase = 56;   // slot 9 is 'A'
constexpr char kLastLetter = 'Z';
constexpr char kNoLetter = '?';

// Volume state bits as the raid set's state text reads them.
constexpr uint32_t kVolInitializing = 0x1 | 0x10;
constexpr uint32_t kVolMigrating = 0x4 | 0x20;
constexpr uint32_t kVolRebuilding = 0x8;
constexpr uint32_t kVolChecking = 0x100;
constexpr uint32_t kVolCloning = 0x4000 | 0x8000;
constexpr uint32_t kVolDegraded = 0x80;
constexpr uint32_t kVolFailed = 0x2;

void rule(int n)
{
    cliout_zynmsr.Output_("%s\n", std::string(std::size_t(n), '=').c_str());
}

bool isAll(const char* value)
{
    return strcasecmp(value, "all") == 0;
}

int memberDevices(const sGUI_RAIDSET& raid)
{
    return raid.bytes[kMemberDevices];
}

int clampedMembers(const sGUI_RAIDSET& raid)
{
    return std::min(raid.memberCount(), sGUI_RAIDSET::kMaxMembers);
}

int clampedVolumes(const sGUI_RAIDSET& raid)
{
    return std::min(raid.volumeCount(), sGUI_RAIDSET::kMaxVolumes);
}

using clicommon::refuse;
using clicommon::resultLine;

std::string channelText(const sGUI_RAIDSET& raid, bool enclosures)
{
    std::string text;
    char piece[16];
    for (int i = 0; i < clampedMembers(raid); ++i) {
        const int slot = raid.memberSlot(i);
        if (slot == sGUI_RAIDSET::kNoMember) {
            text += "x.";
        } else if (enclosures) {
            std::snprintf(piece, sizeof piece, "E%dS%d.", raid.memberEnclosure(i) + 1, slot + 1);
            text += piece;
        } else if (slot < kDigitSlots) {
            text += char('1' + slot);
        } else {
            const int letter = slot + kLetterBase;
            text += letter <= kLastLetter ? char(letter) : kNoLetter;
        }
    }
    return text;
}

// The state text from the raid set's own flags and its volumes' ORed state bits.
const char* stateText(const sGUI_RAIDSET& raid, uint32_t volumeStates, bool allFailed)
{
    const uint8_t flags = raid.stateFlags();
    const bool online = (flags & sGUI_RAIDSET::kStateOnline) != 0;
    const bool complete = (flags & sGUI_RAIDSET::kStateComplete) != 0;
    if (online && complete) {
        if ((raid.volumeCount() > 0 && allFailed) || raid.degraded() != 0)
            return "Degraded";
        if (volumeStates & kVolInitializing)
            return "Initializing";
        if (volumeStates & kVolMigrating)
            return "Migrating";
        if (volumeStates & kVolRebuilding)
            return "Rebuilding";
        if (volumeStates & kVolChecking)
            return "Checking";
        if (volumeStates & kVolCloning)
            return "Cloning";
        if (volumeStates & kVolDegraded)
            return "Degraded";
        return "Normal";
    }
    if (!complete)
        return "Incomplete";
    return "Unkonwn";
}

const char kHelp[] =
    "Sub-Command & Parameters Of [ rsf ]\n"
    "Sub-Command Description\n"
    "======================================================================\n"
    "create      Parameter: <drv=xx> [name=xxx] [mode=<1>]\n"
    "            Fn: Create A RaidSet. Mode 1 Is The 16 VolumeSets Compatible Mode.\n"
    "            Ex: Create A RaidSet With Disk#1, Disk#2 And Disk#3.\n"
    "            Command: rsf create drv=1,2,3 name=RaidSet1 [Enter]\n"
    "\n"
    "delete      Parameter: <raid=xx>.\n"
    "            Fn: Delete A RaidSet.\n"
    "            Ex: Delete RaidSet#1.\n"
    "            Command: rsf delete raid=1 [Enter]\n"
    "\n"
    "expand      Parameter: <raid=xx> <drv=xx> [vol=xx] [newlevel=<0|1|3|5|6>]\n"
    "                       [newstripe=<4|8|16|32|64|128|256|512|1024>]\n"
    "            Fn: Expand A RaidSet, Optionally Changing The Raid Level And\n"
    "                Stripe Size Of Its VolumeSets.\n"
    "            Ex: Expand RaidSet#1 With Disk#4 And Change VolumeSet#1 To Raid5.\n"
    "            Command: rsf expand raid=1 drv=4 vol=1 newlevel=5 [Enter]\n"
    "\n"
    "activate    Parameter: <raid=xx>\n"
    "            Fn: Activate An Incomplete RaidSet.\n"
    "            Ex: Activate RaidSet#1.\n"
    "            Command: rsf activate raid=1 [Enter]\n"
    "\n"
    "createhs    Parameter: <drv=xx> \n";

const char kHelpEnclosureTypes[] =
    "                       [type=<0(Global)|1(Local To Specific RaidSet)|\n"
    "                              2(Local To Specific Enclosure)>]\n"
    "                       [raid=xx]\n";

const char kHelpHotSpare[] =
    "            Fn: Create HotSpare Disks.\n"
    "            Ex: Set Disk#3 As A HotSpare Disk.\n"
    "            Command: rsf createhs drv=3 [Enter]\n";

const char kHelpEnclosureExample[] =
    "            Ex: Set Disk#3 As HotSpare Disk Dedicated For RaidSet#1\n"
    "            Command: rsf createhs drv=3 type=1 raid=1 [Enter]\n"
    "            Note: Default Type = Global\n";

const char kHelpTail[] =
    "\n"
    "deletehs    Parameter: <drv=xx>\n"
    "            Fn: Delete HotSpare Disks.\n"
    "            Ex: Delete HotSpare Disk#3.\n"
    "            Command: rsf deletehs drv=3 [Enter]\n"
    "\n"
    "offline     Parameter: <raid=xx>.\n"
    "            Fn: Take A RaidSet Offline.\n"
    "            Ex: Take RaidSet#1 Offline.\n"
    "            Command: rsf offline raid=1 [Enter]\n"
    "\n"
    "info        Parameter: [raid=<xxx>].\n"
    "            Fn: Display RaidSet Information.\n"
    "            Ex: Display The Information Of RaidSet#1.\n"
    "            Command: rsf info raid=1 [Enter]\n"
    "\n";

struct Transition {
    int current;          // level code
    int next;             // command-line level
    const char* message;
};

} // namespace

// ---- Helpers ---------------------------------------------------------------------------------

int CZynlibCLI::RsfDriveLimit(bool expand) const
{
    if (!m_sysInfo.isEnclosureFamily())
        return kMaskDrives;
    return expand ? kExpandListDrives : kByteCountDrives;
}

int CZynlibCLI::RsfSelectDrives(int argc, char** argv, const _DRV_MAP& map, RsfDrives kind, int limit,
                                _DEVICE_LIST* list)
{
    list->count = 0;
    const int mapCount = std::min(int(map.count), _DRV_MAP::kMaxEntries);
    auto usable = [&](int index) {
        const sGUI_PHY_DRV& d = map.entries[index].drive;
        if (kind == RsfDrives::HotSpare)
            return (d.stateLow() & kDriveHotSpare) != 0;
        return (d.stateLow() & kDriveAvailable) != 0 && d.raidSet() == sGUI_PHY_DRV::kNoRaidSet;
    };
    auto add = [&](int index) {
        if (list->count >= limit)
            return false;
        list->drives[list->count].enclosure = map.entries[index].enclosure;
        list->drives[list->count].slot = map.entries[index].slot;
        ++list->count;
        return true;
    };

    char value[8];
    if (GetArgStringValue(argc, argv, "drv", value) && isAll(value)) {
        for (int i = 0; i < mapCount; ++i)
            if (usable(i) && !add(i))
                return refuse(kInvalid);
        return 0;
    }
    std::vector<int> numbers;
    if (!GetArgArrayValue(argc, argv, "drv", numbers))
        return refuse(kInvalid);
    for (int n : numbers) {
        const bool inMap = n >= 1 && n <= mapCount;
        if (kind == RsfDrives::HotSpare) {
            if (!inMap || !usable(n - 1)) {
                cliout_zynmsr.ErrMsg_("Drive %d Is Not A HotSpare Disk", n);
                return 1;
            }
        } else {
            if (!inMap || (map.entries[n - 1].drive.stateLow() & kDriveAvailable) == 0) {
                cliout_zynmsr.ErrMsg_("Drive %d Is Not Available", n);
                return 1;
            }
            if (map.entries[n - 1].drive.raidSet() != sGUI_PHY_DRV::kNoRaidSet) {
                cliout_zynmsr.ErrMsg_("Drive %d Is Not Free", n);
                return 1;
            }
        }
        if (!add(n - 1))
            return refuse(kInvalid);
    }
    return 0;
}

int CZynlibCLI::RsfFindRaidSet(int argc, char** argv, _RAID_MAP* map, int* index)
{
    return clicommon::findInMap(argc, argv, "raid", "RaidSet# Is Missing", kInvalid, map,
                                [this](_RAID_MAP* m) { return ZynHelpBuildRaidSetMap(m); }, index);
}

bool CZynlibCLI::RsfHoldsNestedMember(const sGUI_RAIDSET& raid)
{
    for (int i = 0; i < clampedVolumes(raid); ++i) {
        sGUI_VOLUMESET vol;
        if (ZynGetVolSetInfo(raid.volumeNumber(i), &vol) != ZYN_OK)
            continue;
        const uint32_t f = vol.flags();
        if ((f & sGUI_VOLUMESET::kFlagNestedMember) != 0 && (f & sGUI_VOLUMESET::kFlagNested) == 0)
            return true;
    }
    return false;
}

bool CZynlibCLI::RsfFindVolume(int v, int* volume)
{
    const int slotCount = std::min<int>(m_sysInfo.raidSetNumbers(), _RAID_MAP::kMaxEntries);
    for (int r = 0; r < slotCount; ++r) {
        sGUI_RAIDSET raid;
        const u32 rc = ZynGetRaidSetInfo(u8(r), &raid);
        if (rc == ZYN_ERR_NO_OBJECT)
            continue;
        if (rc != ZYN_OK)
            return false;
        const int count = clampedVolumes(raid);
        if (v <= count) {
            *volume = raid.volumeNumber(v - 1);
            return true;
        }
        v -= count;
    }
    return false;
}

int CZynlibCLI::ShowRaidSetInfo(int position, const sGUI_RAIDSET& raid, bool detail)
{
    uint32_t states = 0;
    bool allFailed = true;
    for (int i = 0; i < clampedVolumes(raid); ++i) {
        sGUI_VOLUMESET vol;
        // The caller prints the result line, after its closing rule.
        const u32 rc = ZynGetVolSetInfo(raid.volumeNumber(i), &vol);
        if (rc != ZYN_OK)
            return int(rc);
        states |= vol.state();
        if ((vol.state() & kVolFailed) == 0)
            allFailed = false;
    }
    const int members = raid.memberCount();
    uint32_t largest = 0;
    const int segments = std::min(raid.freeSegmentCount(), sGUI_RAIDSET::kMaxFreeSegments);
    for (int j = 0; j < segments; ++j)
        largest = std::max(largest, raid.freeSegment(j));
    const double minMember = double(raid.minMemberCapacity()) * kSector / kGB;
    const double total = members * minMember;
    const double freeRaw = members * double(largest) * kSector * kSegmentUnit / kGB;
    const bool enclosures = m_sysInfo.isEnclosureFamily();
    const std::string name = cliconf::nameText(raid.bytes + sGUI_RAIDSET::kName);
    const char* state = stateText(raid, states, allFailed);
    const std::string channels = channelText(raid, enclosures);

    if (!detail) {
        std::string shown = name;
        if ((raid.flags() & sGUI_RAIDSET::kFlagSed) != 0)
            shown += "(SED)";
        if (enclosures)
            cliout_zynmsr.Output_("%2d  %s %5d %8.1lfGB %8.1lfGB  %-14s\n", position,
                                  cliconf::padded(shown, -kListNameWidth).c_str(), members, total, freeRaw, state);
        else
            cliout_zynmsr.Output_("%2d  %s %5d %6.1lfGB %6.1lfGB %-18s %s\n", position,
                                  cliconf::padded(shown, kOlderListNameWidth).c_str(), members, total, freeRaw,
                                  channels.c_str(), state);
        return 0;
    }
    cliout_zynmsr.Output_("Raid Set Name        : %s\n", name.c_str());
    cliout_zynmsr.Output_("Member Disks         : %d\n", members);
    cliout_zynmsr.Output_("Total Raw Capacity   : %.1fGB\n", total);
    cliout_zynmsr.Output_("Free Raw Capacity    : %.1fGB\n", freeRaw);
    cliout_zynmsr.Output_("Min Member Disk Size : %.1fGB\n", minMember);
    if (enclosures) {
        const bool many = (raid.bytes[sGUI_RAIDSET::kVolumeLimit] & kVolumeLimitBits) == kVolumeLimit128;
        cliout_zynmsr.Output_("Supported Volumes    : %d\n", many ? sGUI_RAIDSET::kMaxVolumes : kFewVolumes);
    }
    cliout_zynmsr.Output_("Raid Set Power State : %s\n",
                          (raid.stateFlags() & kStateSpunDown) != 0 ? "Spun Down" : "Operating");
    cliout_zynmsr.Output_("Raid Set State       : %s\n", state);
    cliout_zynmsr.Output_("Security Status      : %s\n",
                          (raid.flags() & sGUI_RAIDSET::kFlagSed) != 0 ? "SED RaidSet" : "ISE Disks");
    cliout_zynmsr.Output_("Member Disk Channels : %s\n", channels.c_str());
    return 0;
}

// ---- Handlers --------------------------------------------------------------------------------

int CZynlibCLI::Exe_Raid_Create_Cmd(int argc, char** argv)
{
    if (argc < 1)
        return refuse(kUsage);
    if (!IsArgPresent(argc, argv, "drv"))
        return refuse("Drive# Is Missing");
    int mode = kDefaultMode;
    const Arg gotMode = cliconf::optionalInt(argc, argv, "mode", &mode);
    if (gotMode == Arg::Malformed || unsigned(mode) > 1)
        return refuse(kInvalid);
    const bool named = IsArgPresent(argc, argv, "name");
    char field[kNameSize + 1];
    if (named) {
        // A longer name is taken; as much of it as the field holds is sent, blank-filled.
        char text[kNameTextLimit];
        if (!GetArgStringValue(argc, argv, "name", text))
            return refuse(kInvalid);
        cliconf::fillName(field, text);
        field[kNameSize] = '\0';
    }

    auto map = std::make_unique<_DRV_MAP>();
    const u32 rc = ZynHelpBuildDeviceMap(map.get());
    if (rc != ZYN_OK)
        return int(rc);
    auto list = std::make_unique<_DEVICE_LIST>();
    if (RsfSelectDrives(argc, argv, *map, RsfDrives::Free, RsfDriveLimit(false), list.get()) != 0)
        return 1;
    return resultLine(ZynCreateRaidSet(list.get(), named ? field : nullptr, u8(mode)));
}

int CZynlibCLI::Exe_Raid_Del_Cmd(int argc, char** argv)
{
    if (argc < 1)
        return refuse(kUsage);
    auto map = std::make_unique<_RAID_MAP>();
    int index = 0;
    if (const int rc = RsfFindRaidSet(argc, argv, map.get(), &index))
        return rc;
    const _RAID_MAP::Entry& e = map->entries[index];
    if (e.raidSet.isPassThrough())
        return refuse("RaidSet Type Is PassThrough Disk, Use \"disk delete\" Command Instead");
    if (RsfHoldsNestedMember(e.raidSet))
        return refuse("Please Delete Raid30/50/60 Volume First");
    return resultLine(ZynDelRaidSet(char(e.number)));
}

int CZynlibCLI::Exe_Raid_Activate_Cmd(int argc, char** argv)
{
    if (argc < 1)
        return refuse(kUsage);
    auto map = std::make_unique<_RAID_MAP>();
    int index = 0;
    if (const int rc = RsfFindRaidSet(argc, argv, map.get(), &index))
        return rc;
    const _RAID_MAP::Entry& e = map->entries[index];
    if ((e.raidSet.stateFlags() & sGUI_RAIDSET::kStateComplete) != 0)
        return refuse("RaidSet Is Already Active");
    return resultLine(ZynActiveRaidSet(u8(e.number)));
}

int CZynlibCLI::Exe_Raid_Offline_Cmd(int argc, char** argv)
{
    if (argc < 1)
        return refuse(kUsage);
    auto map = std::make_unique<_RAID_MAP>();
    int index = 0;
    if (const int rc = RsfFindRaidSet(argc, argv, map.get(), &index))
        return rc;
    return resultLine(ZynOfflineRaidSet(char(map->entries[index].number)));
}

int CZynlibCLI::Exe_Raid_Create_HotSpare_Cmd(int argc, char** argv)
{
    if (argc < 1)
        return refuse(kUsage);
    if (!IsArgPresent(argc, argv, "drv"))
        return refuse("Drive# Is Missing");
    int type = kHotSpareGlobal;
    const Arg gotType = cliconf::optionalInt(argc, argv, "type", &type);
    if (gotType == Arg::Malformed || unsigned(type) > kHotSpareMaxType)
        return refuse("Invalid Type");
    int raid = kHotSpareDefaultRaid;
    const Arg gotRaid = cliconf::optionalInt(argc, argv, "raid", &raid);
    if (gotRaid == Arg::Malformed)
        return refuse(kInvalid);
    if (type == kHotSpareDedicated && gotRaid == Arg::Absent)
        return refuse("RaidSet# Is Missing");

    auto map = std::make_unique<_DRV_MAP>();
    const u32 rc = ZynHelpBuildDeviceMap(map.get());
    if (rc != ZYN_OK)
        return int(rc);
    auto list = std::make_unique<_DEVICE_LIST>();
    if (RsfSelectDrives(argc, argv, *map, RsfDrives::Free, RsfDriveLimit(false), list.get()) != 0)
        return 1;

    // Other types pass the typed number less one, whatever the controller makes of it; a
    // dedicated spare names its raid set by the controller's own number.
    unsigned short target = static_cast<unsigned short>(raid - 1);
    if (type == kHotSpareDedicated) {
        auto raids = std::make_unique<_RAID_MAP>();
        int index = 0;
        if (const int code = RsfFindRaidSet(argc, argv, raids.get(), &index))
            return code;
        const _RAID_MAP::Entry& e = raids->entries[index];
        if (memberDevices(e.raidSet) <= 1)
            return refuse("RaidSet Member Devices Need > 1");
        target = static_cast<unsigned short>(e.number);
    }
    return resultLine(ZynCreateHotSpare(list.get(), u8(type), target));
}

int CZynlibCLI::Exe_Raid_Delete_HotSpare_Cmd(int argc, char** argv)
{
    if (argc < 1)
        return refuse(kUsage);
    if (!IsArgPresent(argc, argv, "drv"))
        return refuse("Drive# Is Missing");
    auto map = std::make_unique<_DRV_MAP>();
    const u32 rc = ZynHelpBuildDeviceMap(map.get());
    if (rc != ZYN_OK)
        return int(rc);
    auto list = std::make_unique<_DEVICE_LIST>();
    if (RsfSelectDrives(argc, argv, *map, RsfDrives::HotSpare, RsfDriveLimit(false), list.get()) != 0)
        return 1;
    return resultLine(ZynDeleteHotSpare(list.get()));
}

int CZynlibCLI::Exe_Raid_Expand_Cmd(int argc, char** argv)
{
    if (argc < 2)
        return refuse(kUsage);
    if (!IsArgPresent(argc, argv, "raid"))
        return refuse("RaidSet# Is Missing");
    if (!IsArgPresent(argc, argv, "drv"))
        return refuse("Drive# Is Missing");
    auto raids = std::make_unique<_RAID_MAP>();
    int index = 0;
    if (const int rc = RsfFindRaidSet(argc, argv, raids.get(), &index))
        return rc;
    const _RAID_MAP::Entry& entry = raids->entries[index];
    if (RsfHoldsNestedMember(entry.raidSet))
        return refuse("Cannot Expand RaidSet With Raid30/50/60 Volume");

    const int m = memberDevices(entry.raidSet);
    auto drives = std::make_unique<_DRV_MAP>();
    const u32 mapRc = ZynHelpBuildDeviceMap(drives.get());
    if (mapRc != ZYN_OK)
        return int(mapRc);
    auto list = std::make_unique<_DEVICE_LIST>();
    if (RsfSelectDrives(argc, argv, *drives, RsfDrives::Free, RsfDriveLimit(true), list.get()) != 0)
        return 1;
    const int n = m + list->count;

    std::vector<int> vols, levels, stripes;
    if (cliconf::optionalList(argc, argv, "vol", vols) == Arg::Malformed
        || cliconf::optionalList(argc, argv, "newlevel", levels) == Arg::Malformed
        || cliconf::optionalList(argc, argv, "newstripe", stripes) == Arg::Malformed)
        return refuse(kInvalid);
    if (vols.empty())
        return resultLine(ZynExpandRaidSet(u8(entry.number), list.get(), nullptr));
    if (int(vols.size()) > std::min<int>(kMaxVolumeChanges, m_sysInfo.volumeSetNumbers()))
        return refuse(kInvalid);

    static const Transition kRefused[] = {
        {sGUI_VOLUMESET::kLevelRaid10, 6, "Not Allow From Raid1 To Raid6."},
        {sGUI_VOLUMESET::kLevelRaid0, 1, "Not Allow From Raid0 To Raid1"},
        {sGUI_VOLUMESET::kLevelRaid0, 3, "Not Allow From Raid0 To (Raid3 & Raid5)."},
        {sGUI_VOLUMESET::kLevelRaid0, 5, "Not Allow From Raid0 To (Raid3 & Raid5)."},
        {sGUI_VOLUMESET::kLevelRaid0, 6, "Not Allow From Raid0 To Raid6."},
        {sGUI_VOLUMESET::kLevelRaid6, 1, "Not Allow From Raid6 To Raid1"},
        {sGUI_VOLUMESET::kLevelRaid3, 1, "Not Allow From (Raid3 & Raid5) To Raid1"},
        {sGUI_VOLUMESET::kLevelRaid5, 1, "Not Allow From (Raid3 & Raid5) To Raid1"},
    };
    auto changes = std::make_unique<_VOL_MOD_LIST>();
    std::memset(changes.get(), 0, sizeof *changes);
    for (std::size_t i = 0; i < vols.size(); ++i) {
        const int v = vols[i];
        int volume = 0;
        if (v < 1 || v > m_sysInfo.volumeSetNumbers() || !RsfFindVolume(v, &volume)
            || (!m_sysInfo.isEnclosureFamily() && volume > kMaskFormMaxVolume)) {
            cliout_zynmsr.ErrMsg_(kNoSuchVolume, v);
            return 1;
        }
        sGUI_VOLUMESET vol;
        const u32 rc = ZynGetVolSetInfo(u8(volume), &vol);
        if (rc != ZYN_OK)
            return resultLine(rc);
        _VOL_MOD_LIST::Entry& e = changes->entries[i];
        e.volume = u8(volume);
        e.level = vol.raidLevel();
        e.stripe = u8(std::max(0, cliconf::stripeCodeOfSectors(vol.stripe())));
        if (i < levels.size()) {
            const int next = levels[i];
            const int code = cliconf::levelCodeOf(next);
            if (code < 0) {
                cliout_zynmsr.ErrMsg_("Unsupported Raid Level %d", next);
                return 1;
            }
            for (const Transition& t : kRefused) {
                if (t.current != e.level || t.next != next)
                    continue;
                bool refused = false;
                int needed = 0;
                if (t.current == sGUI_VOLUMESET::kLevelRaid10) {
                    refused = n < 4; needed = 4 - m;
                } else if (t.current == sGUI_VOLUMESET::kLevelRaid0 && next == 1) {
                    refused = n < 2 * m; needed = m;
                } else if (t.current == sGUI_VOLUMESET::kLevelRaid0 && next == 6) {
                    refused = n <= 3; needed = 4 - m;
                } else if (t.current == sGUI_VOLUMESET::kLevelRaid0) {
                    refused = n < 3; needed = 3 - m;
                } else if (t.current == sGUI_VOLUMESET::kLevelRaid6) {
                    refused = n - m + 2 < m - 2; needed = m - 4;
                } else {
                    refused = n - m + 1 < m - 1; needed = m - 2;
                }
                if (refused) {
                    cliout_zynmsr.ErrMsg_("%s", t.message);
                    cliout_zynmsr.ErrMsg_("Drives Were Insufficient For Expanding, At Least %d Additional Drives Needed.",
                                          needed);
                    return 1;
                }
            }
            e.level = u8(code);
        }
        if (i < stripes.size()) {
            if (e.level == sGUI_VOLUMESET::kLevelRaid3)
                return refuse("RAID3 Is Not Allowed To Modify Stripe Size. Use Default.");
            const int code = cliconf::stripeCodeOfKb(stripes[i]);
            if (code < 0)
                return refuse("Unsupported Stripe Size");
            e.stripe = u8(code);
        }
    }
    changes->count = u8(vols.size());
    return resultLine(ZynExpandRaidSet(u8(entry.number), list.get(), changes.get()));
}

int CZynlibCLI::Exe_Raid_Info_Cmd(int argc, char** argv)
{
    if (argc >= 2)
        return refuse(kUsage);
    int raid = 0;
    const bool single = argc == 1;
    if (single && (!GetArgIntValue(argc, argv, "raid", &raid) || raid < 1))
        return refuse(kInvalidDot);
    auto map = std::make_unique<_RAID_MAP>();
    const u32 rc = ZynHelpBuildRaidSetMap(map.get());
    if (rc != ZYN_OK)
        return resultLine(rc);
    const int count = std::min<int>(int(std::min<unsigned>(map->count, _RAID_MAP::kMaxEntries)), _RAID_MAP::kMaxEntries);
    const bool enclosures = m_sysInfo.isEnclosureFamily();

    if (!single) {
        cliout_zynmsr.Output_("%s", enclosures
                                        ? " #  Name                     Disks      Total       Free  State          \n"
                                        : " #  Name             Disks TotalCap  FreeCap DiskChannels       State          \n");
        rule(kListRule);
        int failed = 0;
        for (int i = 0; i < count && failed == 0; ++i)
            failed = ShowRaidSetInfo(i + 1, map->entries[i].raidSet, false);
        rule(kListRule);
        const int shown = failed == int(ZYN_ERR_NO_OBJECT) ? 0 : failed;
        return resultLine(u32(shown));
    }
    if (raid > count)
        return resultLine(ZYN_ERR_NO_OBJECT);
    cliout_zynmsr.Output_("Raid Set Information \n");
    rule(kInfoRule);
    const int failed = ShowRaidSetInfo(raid, map->entries[raid - 1].raidSet, true);
    rule(kInfoRule);
    return resultLine(u32(failed));
}

int CZynlibCLI::Display_Rsf_CMD_Help(int, char**)
{
    const bool enclosures = m_sysInfo.isEnclosureFamily();
    cliout_zynmsr.Output_("\n");
    cliout_zynmsr.Output_("%s", kHelp);
    if (enclosures)
        cliout_zynmsr.Output_("%s", kHelpEnclosureTypes);
    cliout_zynmsr.Output_("%s", kHelpHotSpare);
    if (enclosures)
        cliout_zynmsr.Output_("%s", kHelpEnclosureExample);
    cliout_zynmsr.Output_("%s", kHelpTail);
    rule(kHelpRule);
    return 0;
}
