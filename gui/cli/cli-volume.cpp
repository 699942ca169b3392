// The vsf commands of volume sets: create (also the nested Raid30/50/60 form), delete, modify,
// start and stop a consistency check, schedule it, and list. Every value is read and checked
// before anything is sent; a malformed value is refused instead of taking the default.
#include "cli/cli-confargs.h"
#include "cli/cli-zynmsr.h"

#include "cli/cli-common.h"
#include "cli/output.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

using cliconf::Arg;

namespace {

const char kUsage[] = "Invalid Parameter. Use \"vsf -h\" For Details.";
const char kInvalidDot[] = "Invalid Parameter.";

// Raid levels as typed.
constexpr int kTyped0 = 0, kTyped1 = 1, kTyped3 = 3, kTyped5 = 5, kTyped6 = 6, kTypedNested60 = 60;
// Members a Raid1+0 volume needs to become Raid6, or Raid3/Raid5; a Raid6 volume to become Raid1.
constexpr int kDrivesFor6 = 4, kDrivesFor35 = 3, kRaid6To1Drives = 4;

constexpr std::size_t kTextLimit = 256;   // longest text value read
constexpr std::size_t kNameSize = cliconf::kFieldSize;
constexpr int kMinCreateWords = 2;
constexpr int kMaxCreateWords = 12;
constexpr int kMaxNestedRaidSets = 8;

// The creation record's defaults.
constexpr uint32_t kCapSize = 39;
constexpr uint32_t kNewCapSize = 37;
constexpr uint8_t kNotChosen = 0xFF;
constexpr double kDefaultCapacity = 1024000.0;
constexpr uint8_t kDefaultLevel = 5;
constexpr uint8_t kDefaultStripe = 4;
constexpr uint8_t kOn = 1;
constexpr uint8_t kOff = 0;
constexpr uint8_t kReserved4 = 4;
constexpr uint8_t kKeep = 255;   // a modification setting that keeps the current value
constexpr double kMinCapacity = 0.1;
constexpr double kGB = 1000.0 * 1000.0 * 1000.0;
constexpr double kSector = 512.0;
constexpr unsigned kMaxEncryption = 5;

// SCSI addresses: channels 0-1 (2: both), ids 0-15, LUNs 0-7.
constexpr int kChannels = 2;
constexpr int kBothChannels = 2;
constexpr int kIds = 16;
constexpr int kLuns = 8;
constexpr unsigned kMaxChannel = 2;
constexpr int kMaxByteValue = 255;

constexpr int kListRule = 79;
constexpr int kInfoRule = 43;
// The volume and raid set name columns of the list, in characters.
constexpr int kListNameWidth = 16;
constexpr int kHelpRule = 79;

constexpr unsigned kMaxScheduler = 10;
constexpr unsigned kMaxIdle = 9;
constexpr unsigned kMaxFlag = 1;

using Vol = sGUI_VOLUMESET;

using clicommon::refuse;
using clicommon::resultLine;

void rule(int n)
{
    cliout_zynmsr.Output_("%s\n", std::string(std::size_t(n), '=').c_str());
}

bool isNestedMember(const Vol& v)
{
    return (v.flags() & Vol::kFlagNestedMember) != 0 && (v.flags() & Vol::kFlagNested) == 0;
}

// A capacity that reads as a number but is not finite or too large is an invalid capacity; any
// other malformed text an invalid parameter.
int refuseCapacity(int argc, char** argv)
{
    char text[kTextLimit] = {};
    GetArgStringValue(argc, argv, "capacity", text);
    std::string t = text;
    std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (!t.empty() && (t[0] == '+' || t[0] == '-'))
        t.erase(0, 1);
    const bool numeric = !t.empty() && t.find_first_not_of("0123456789.e+-") == std::string::npos;
    if (numeric || t == "nan" || t == "inf" || t == "infinity")
        return refuse("Invalid Capacity");
    return refuse(kInvalidDot);
}

// A "Y"/"N" parameter: Absent, or Read with `out` set; Malformed for any other value.
Arg yesNo(int argc, char** argv, const char* key, uint8_t* out)
{
    if (!IsArgPresent(argc, argv, key))
        return Arg::Absent;
    char text[kTextLimit];
    if (!GetArgStringValue(argc, argv, key, text))
        return Arg::Malformed;
    if (strcasecmp(text, "N") == 0)
        *out = kOff;
    else if (strcasecmp(text, "Y") == 0)
        *out = kOn;
    else
        return Arg::Malformed;
    return Arg::Read;
}

const char* const kLevelText[Vol::kRaidLevels] = {"Raid0", "Raid1+0", "Raid3", "Raid5", "Raid6", "PassThr"};
const char* const kNestedLevelText[Vol::kRaidLevels] = {"Raid00", "Raid100", "Raid30", "Raid50", "Raid60", "Unknown"};

// The state text: the first running or pending state, else degraded, locked or normal.
std::string stateText(const Vol& v)
{
    struct Bit {
        uint32_t bit;
        const char* text;
        bool running;
    };
    static const Bit kBits[] = {
        {Vol::kStateInitializing, "Initializing", true}, {Vol::kStateFailed, "Failed", false},
        {Vol::kStateMigrating, "Migrating", true},       {Vol::kStateRebuilding, "Rebuilding", true},
        {Vol::kStateNeedInit, "Need Init", false},       {Vol::kStateNeedMigrate, "Need Migrate", false},
        {Vol::kStateNeedRebuild, "Need Rebuild", false}, {Vol::kStateChecking, "Checking", true},
        {Vol::kStateCloning, "Cloning", true},           {Vol::kStateNeedCheck, "Need Check", false},
    };
    constexpr double kTenths = 10.0;
    const uint32_t state = v.state();
    if (state != 0) {
        for (const Bit& b : kBits) {
            if ((state & b.bit) == 0)
                continue;
            if (!b.running)
                return b.text;
            char text[64];
            std::snprintf(text, sizeof text, "%s(%3.1f%%)", b.text, v.progress() / kTenths);
            return text;
        }
        return v.degraded() != 0 ? "Degraded" : "Unknown";
    }
    if (v.degraded() != 0)
        return "Degraded";
    if ((v.flags() & Vol::kFlagEncrypted) != 0 && (v.flags() & Vol::kFlagUnlocked) == 0)
        return "Locked";
    return "Normal";
}

// The parameters create and create5060 share, read and checked in the command's order.
struct CreateParams {
    double capacity = kDefaultCapacity;
    int ch = 0, id = 0, lun = 0, stripe = -1, entype = 0;
    // Whether the address was typed; any value typed is checked, 255 too.
    bool hasCh = false, hasId = false, hasLun = false;
    bool hasName = false;
    char name[kTextLimit] = {};
    uint8_t tag = kOn, cache = kOn, fginit = kOn, gt2tb = 0;
};

// Reads every optional value; a malformed one is refused here, before any map is built.
int readCreateParams(int argc, char** argv, bool encryption, CreateParams* p)
{
    if (cliconf::optionalDouble(argc, argv, "capacity", &p->capacity) == Arg::Malformed)
        return refuseCapacity(argc, argv);
    struct Value {
        const char* key;
        int* out;
        bool* given;
    };
    const Value values[] = {{"ch", &p->ch, &p->hasCh}, {"id", &p->id, &p->hasId}, {"lun", &p->lun, &p->hasLun},
                            {"stripe", &p->stripe, nullptr}, {"entype", &p->entype, nullptr}};
    for (const Value& v : values) {
        if (!encryption && v.out == &p->entype)
            continue;
        const Arg got = cliconf::optionalInt(argc, argv, v.key, v.out);
        if (got == Arg::Malformed)
            return refuse(kInvalidDot);
        if (v.given != nullptr)
            *v.given = got == Arg::Read;
    }
    p->hasName = IsArgPresent(argc, argv, "name");
    if (p->hasName && !GetArgStringValue(argc, argv, "name", p->name))
        return refuse(kInvalidDot);
    return 0;
}

// The checks after the raid set's own: capacity, address, name, stripe, flags, gt2tb, entype.
int checkCreateParams(int argc, char** argv, bool encryption, CreateParams* p, _VOLUMESET_CAP* cap)
{
    if (p->hasCh && unsigned(p->ch) > kMaxChannel)
        return refuse("Unsupported SCSI Channel");
    if (p->hasId && unsigned(p->id) >= unsigned(kIds))
        return refuse("Unsupported SCSI ID");
    if (p->hasLun && unsigned(p->lun) >= unsigned(kLuns))
        return refuse("Unsupported SCSI LUN");
    // What was not typed stays "not chosen" for the free-address search.
    cap->channel = p->hasCh ? uint8_t(p->ch) : kNotChosen;
    cap->id = p->hasId ? uint8_t(p->id) : kNotChosen;
    cap->lun = p->hasLun ? uint8_t(p->lun) : kNotChosen;
    if (p->hasName)
        cliconf::fillName(cap->name, p->name);
    if (p->stripe >= 0 || IsArgPresent(argc, argv, "stripe")) {
        const int code = cliconf::stripeCodeOfKb(p->stripe);
        if (code < 0)
            return refuse("Unsupported Stripe Size");
        cap->stripe = uint8_t(code);
    }
    if (yesNo(argc, argv, "tag", &cap->tagged) == Arg::Malformed)
        return refuse("tag value should be \"Y\" or \"N\"");
    if (yesNo(argc, argv, "cache", &cap->cache) == Arg::Malformed)
        return refuse("cache value should be \"Y\" or \"N\"");
    if (yesNo(argc, argv, "fginit", &cap->flags) == Arg::Malformed)
        return refuse("fginit value should be \"Y\" or \"N\"");
    if (IsArgPresent(argc, argv, "gt2tb")) {
        char text[kTextLimit];
        if (!GetArgStringValue(argc, argv, "gt2tb", text)
            || (strcasecmp(text, "64BIT") != 0 && strcasecmp(text, "WIN") != 0))
            return refuse("gt2tb value should be \"64BIT\" or \"WIN\"");
        p->gt2tb = strcasecmp(text, "WIN") == 0 ? kOn : kOff;
    }
    if (encryption) {
        if (unsigned(p->entype) >= kMaxEncryption)
            return refuse("Unsupported Encryption Type");
        cap->encryption = uint8_t(p->entype);
    }
    return 0;
}

void defaultCap(_VOLUMESET_CAP* cap)
{
    std::memset(cap, 0, sizeof *cap);
    cap->size = kCapSize;
    cap->raidSet = kNotChosen;
    cap->capacity = kDefaultCapacity;
    cap->level = kDefaultLevel;
    cap->stripe = kDefaultStripe;
    cap->channel = cap->id = cap->lun = kNotChosen;
    cap->tagged = kOn;
    cap->cache = kOn;
    cap->reserved4 = kReserved4;
    cap->flags = kOn;
    cap->encryption = 0;
}

uint32_t largestFree(const sGUI_RAIDSET& raid)
{
    const int count = std::min(raid.freeSegmentCount(), sGUI_RAIDSET::kMaxFreeSegments);
    uint32_t largest = raid.freeSegment(0);
    for (int j = 1; j < count; ++j)
        largest = std::max(largest, raid.freeSegment(j));
    return largest;
}

const char kHelpHead[] =
    "Sub-Command & Parameters Of [ vsf ]\n"
    "Sub-Command Description\n"
    "===============================================================================\n"
    "create      Parameter: <raid=xx> <level=<0|1|3|5|6>> [capacity=xxx] [ch=<0>]\n"
    "                       [id=<0>] [lun=<0>] [name=xxx] [stripe=<4|8|16|32|64|128|\n"
    "                       256|512|1024>] [tag=<Y|N>] [cache=<Y|N>] [fginit=<Y|N>]\n"
    "                       [gt2tb=<64BIT|WIN>] [entype=<0(None)|1(256Bit Password)|\n"
    "                       2(256Bit AES)|3(128Bit Password)|4(128Bit AES)>]\n"
    "            Fn: Create A VolumeSet. Without capacity The Maximum Free Space Is Used.\n"
    "            Ex: Create A Raid5 VolumeSet Of 100GB On RaidSet#1.\n"
    "            Command: vsf create raid=1 level=5 capacity=100 [Enter]\n"
    "\n";

const char kHelpNested[] =
    "create5060  Parameter: <raid=xx> <level=<00|30|50|60|100>> [capacity=xxx]\n"
    "                       [ch=<0>] [id=<0>] [lun=<0>] [name=xxx] [stripe=<4|8|16|\n"
    "                       32|64|128|256|512|1024>] [tag=<Y|N>] [cache=<Y|N>]\n"
    "                       [fginit=<Y|N>] [gt2tb=<64BIT|WIN>] [entype=<0(None)|\n"
    "                       1(256Bit Password)|2(256Bit AES)|3(128Bit Password)|\n"
    "                       4(128Bit AES)>]\n"
    "            Fn: Create A Raid30/50/60 VolumeSet Over Up To Eight RaidSets.\n"
    "            Ex: Create A Raid50 VolumeSet On RaidSet#1 And RaidSet#2.\n"
    "            Command: vsf create5060 raid=1,2 level=50 [Enter]\n"
    "\n";

const char kHelpTail[] =
    "delete      Parameter: <vol=xx>\n"
    "            Fn: Delete A VolumeSet.\n"
    "            Ex: Delete VolumeSet#1.\n"
    "            Command: vsf delete vol=1 [Enter]\n"
    "\n"
    "modify      Parameter: <vol=xx> [capacity=xxx] [level=<0|1|3|5|6>] [ch=<0>]\n"
    "                       [id=<0>] [lun=<0>] [name=xxx] [tag=<Y|N>] [cache=<Y|N>]\n"
    "                       [stripe=<4|8|16|32|64|128|256|512|1024>]\n"
    "            Fn: Modify A VolumeSet.\n"
    "            Ex: Change The Raid Level Of VolumeSet#1 To Raid5.\n"
    "            Command: vsf modify vol=1 level=5 [Enter]\n"
    "\n"
    "check       Parameter: <vol=xx> [scrubbadblock=<0(enabled)|1(disabled)>]\n"
    "                       [recomputeparity=<0(enabled)|1(disabled)>]\n"
    "            Fn: Check The Consistency Of A VolumeSet.\n"
    "            Ex: Check VolumeSet#1.\n"
    "            Command: vsf check vol=1 [Enter]\n"
    "\n"
    "stopcheck   Parameter: None.\n"
    "            Fn: Stop All Consistency Checks.\n"
    "            Command: vsf stopcheck [Enter]\n"
    "\n"
    "genkey      Parameter: <path=xxx>\n"
    "            Fn: Generate The Encryption Key File Of Encrypted VolumeSets.\n"
    "            Ex: Generate The Key File Of VolumeSet#1 Into /root/key.bin.\n"
    "            Command: vsf genkey path=/root/key.bin vol=1 [Enter]\n"
    "\n"
    "genkey2     Parameter: None.\n"
    "            Fn: Generate One Key File Per Encrypted VolumeSet, Named After It.\n"
    "            Command: vsf genkey2 [Enter]\n"
    "\n"
    "modkey      Parameter: <srcpath=xxx> <destpath=xxx>\n"
    "                       [vol=xx]\n"
    "            Fn: Write The Keys Of A Key File For Other VolumeSets.\n"
    "            Command: vsf modkey srcpath=/root/key.bin destpath=/root/key2.bin vol=2 [Enter]\n"
    "\n"
    "lock        Parameter: <vol=xx>\n"
    "            Fn: Lock An Encrypted VolumeSet.\n"
    "            Command: vsf lock vol=1 [Enter]\n"
    "\n"
    "dlkey       Parameter: <path=xxx>\n"
    "            Fn: Download An Encryption Key File To Unlock VolumeSets.\n"
    "            Command: vsf dlkey path=/root/key.bin [Enter]\n"
    "\n"
    "scheck      Parameter: <scheduler=<0(disabled)|1(1 day)|2(1 week)|3(2 weeks)|\n"
    "                       4(3 weeks)|5(4 weeks)|6(8 weeks)|7(12 weeks)|8(16 weeks)|\n"
    "                       9(20 weeks)|10(24 weeks)>> [idle=<0..9>]\n"
    "                       [scrubbadblock=<0|1>] [recomputeparity=<0|1>]\n"
    "            Fn: Schedule The Consistency Check Of VolumeSets.\n"
    "            Ex: Check Every Week After 10 Idle Minutes.\n"
    "            Command: vsf scheck scheduler=2 idle=4 [Enter]\n"
    "\n"
    "info        Parameter: [vol=<xxx>].\n"
    "            Fn: Display VolumeSet Information.\n"
    "            Command: vsf info vol=1 [Enter]\n"
    "\n";

} // namespace

// ---- Helpers ---------------------------------------------------------------------------------

void CZynlibCLI::GetFreeChIdLun(u8* channel, u8* id, u8* lun)
{
    bool used[kChannels][kIds][kLuns] = {};
    const int slotCount = std::min<int>(m_sysInfo.volumeSetNumbers(), _VOL_MAP::kMaxEntries);
    for (int v = 0; v < slotCount; ++v) {
        Vol vol;
        // A slot that holds no volume set occupies no address.
        if (ZynGetVolSetInfo(u8(v), &vol) != ZYN_OK || !vol.exists())
            continue;
        const int c = vol.channel(), i = vol.id(), l = vol.lun();
        if (c > kBothChannels || i >= kIds || l >= kLuns)
            continue;
        if (c == kBothChannels)
            used[0][i][l] = used[1][i][l] = true;
        else
            used[c][i][l] = true;
    }
    if (*channel == kNotChosen)
        *channel = 0;
    if (*id == kNotChosen)
        *id = 0;
    if (*lun == kNotChosen)
        *lun = 0;
    if (*channel >= kChannels || *id >= kIds || *lun >= kLuns)
        return;
    for (int c = *channel; c < kChannels; ++c)
        for (int i = *id; i < kIds; ++i)
            for (int l = *lun; l < kLuns; ++l)
                if (!used[c][i][l]) {
                    *channel = u8(c);
                    *id = u8(i);
                    *lun = u8(l);
                    return;
                }
}

int CZynlibCLI::VsfFindVolume(int argc, char** argv, _VOL_MAP* map, int* index)
{
    return clicommon::findInMap(argc, argv, "vol", "VolumeSet# Is Missing.", kInvalidDot, map,
                                [this](_VOL_MAP* m) { return ZynHelpBuildVolumeSetMap(m); }, index);
}

int CZynlibCLI::ShowVolumeSetInfo(int position, const Vol& vol, bool detail)
{
    const bool nested = vol.isNested();
    sGUI_RAIDSET raid;
    std::memset(&raid, 0, sizeof raid);
    if (!nested) {
        // The caller prints the result line, after its closing rule.
        const u32 rc = ZynGetRaidSetInfo(vol.raidSet(), &raid);
        if (rc != ZYN_OK)
            return int(rc);
    }
    const std::string name = cliconf::nameText(vol.bytes + Vol::kName);
    const std::string raidName = cliconf::nameText(raid.bytes + sGUI_RAIDSET::kName);
    const cliconf::FieldText serial(vol.bytes + Vol::kSerial);
    const int level = vol.raidLevel();
    const char* levelText = "Unknown";
    if (level < Vol::kRaidLevels)
        levelText = nested ? kNestedLevelText[level]
                           : (level == Vol::kLevelPassThrough && m_sysInfo.jbodMode() ? "JBOD" : kLevelText[level]);
    const double capacity = double(vol.capacity()) * kSector / kGB;
    char address[16];
    std::snprintf(address, sizeof address, "%02d/%02d/%02d", vol.channel(), vol.id(), vol.lun());
    const std::string state = stateText(vol);

    if (!detail) {
        cliout_zynmsr.Output_("%3d %s %s%-7s %6.1lfGB %-10s %s\n", position,
                              cliconf::padded(name, kListNameWidth).c_str(),
                              cliconf::padded(nested ? " " : raidName, -kListNameWidth).c_str(), levelText, capacity,
                              address, state.c_str());
        return 0;
    }
    char stripe[16];
    if (level == Vol::kLevelRaid3 || level == Vol::kLevelPassThrough)
        std::snprintf(stripe, sizeof stripe, "N.A.");
    else
        std::snprintf(stripe, sizeof stripe, "%uK", vol.stripe() / 2);
    const uint32_t f = vol.flags();
    cliout_zynmsr.Output_("Volume Set Name   : %s\n", name.c_str());
    cliout_zynmsr.Output_("Volume Serial     : %s\n", serial.text);
    if (!nested)
        cliout_zynmsr.Output_("Raid Set Name     : %s\n", raidName.c_str());
    cliout_zynmsr.Output_("Volume Capacity   : %.1fGB\n", capacity);
    cliout_zynmsr.Output_("SCSI Ch/Id/Lun    : %s\n", address);
    cliout_zynmsr.Output_("Raid Level        : %s\n", levelText);
    cliout_zynmsr.Output_("Stripe Size       : %s\n", stripe);
    if (nested)
        cliout_zynmsr.Output_("Member Disks      : %d*%d\n", vol.nestedCount(), vol.memberCount());
    else
        cliout_zynmsr.Output_("Member Disks      : %d\n", vol.memberCount());
    cliout_zynmsr.Output_("Cache Mode        : %s\n", vol.cacheMode() != 0 ? "Write Back" : "Write Through");
    cliout_zynmsr.Output_("Write Protection  : %s\n", (f & Vol::kFlagWriteProtected) != 0 ? "Enabled" : "Disabled");
    cliout_zynmsr.Output_("Volume Encryption : %s\n",
                          (f & Vol::kFlagEncrypted) == 0        ? "Non-Encrypted"
                          : (f & Vol::kFlagUnlocked) != 0 ? "Encrypted, Unlocked"
                                                          : "Encrypted, Locked");
    cliout_zynmsr.Output_("Tagged Queuing    : %s\n", vol.taggedQueuing() != 0 ? "Enabled" : "Disabled");
    cliout_zynmsr.Output_("Volume State      : %s\n", state.c_str());
    return 0;
}

// ---- Handlers --------------------------------------------------------------------------------

int CZynlibCLI::Exe_Vol_Create_Cmd(int argc, char** argv)
{
    if (argc < kMinCreateWords || argc > kMaxCreateWords)
        return refuse(kUsage);
    int raid = 0, level = 0;
    const Arg gotRaid = cliconf::optionalInt(argc, argv, "raid", &raid);
    if (gotRaid == Arg::Absent)
        return refuse("RaidSet# Is Missing.");
    const Arg gotLevel = cliconf::optionalInt(argc, argv, "level", &level);
    if (gotLevel == Arg::Absent)
        return refuse("Raidlevel Is Missing.");
    if (gotRaid == Arg::Malformed || gotLevel == Arg::Malformed)
        return refuse(kInvalidDot);
    CreateParams p;
    if (readCreateParams(argc, argv, true, &p) != 0)
        return 1;

    auto map = std::make_unique<_RAID_MAP>();
    const u32 rc = ZynHelpBuildRaidSetMap(map.get());
    if (rc != ZYN_OK)
        return resultLine(rc);
    if (unsigned(raid) < 1 || unsigned(raid) > std::min<unsigned>(map->count, _RAID_MAP::kMaxEntries))
        return resultLine(ZYN_ERR_NO_OBJECT);
    const _RAID_MAP::Entry& e = map->entries[raid - 1];
    const int members = e.raidSet.memberCount();

    _VOLUMESET_CAP cap;
    defaultCap(&cap);
    cap.raidSet = u8(e.number);
    switch (level) {
    case kTyped0:
        break;
    case kTyped1:
        if (members <= 1)
            return refuse("Raid1 Must Have At Least 2 Disks.");
        break;
    case kTyped3:
        if (members <= 2)
            return refuse("Raid3 Must Have At Least 3 Disks.");
        break;
    case kTyped5:
        if (members <= 2)
            return refuse("Raid5 Must Have At Least 3 Disks.");
        break;
    case kTyped6:
        if (!m_sysInfo.supportsRaid6())
            return refuse("Unsupported Raid Level");
        if (members <= 2)
            return refuse("Raid6 Must Have At Least 3 Disks.");
        break;
    default:
        return refuse("Unsupported Raid Level");
    }
    cap.level = u8(cliconf::levelCodeOf(level));
    if (!(p.capacity >= kMinCapacity))
        return refuse("Invalid Capacity");
    cap.capacity = p.capacity;
    if (uint64_t(largestFree(e.raidSet)) * uint64_t(members) == 0)
        return refuse("No Free Space To Create VolumeSet");
    if (checkCreateParams(argc, argv, true, &p, &cap) != 0)
        return 1;
    GetFreeChIdLun(&cap.channel, &cap.id, &cap.lun);
    return resultLine(ZynCreateVolSet(&cap, p.gt2tb));
}

int CZynlibCLI::Exe_Vol_Create_R5060_Cmd(int argc, char** argv)
{
    if (argc < kMinCreateWords || argc > kMaxCreateWords)
        return refuse(kUsage);
    std::vector<int> raids;
    if (cliconf::optionalList(argc, argv, "raid", raids) != Arg::Read || raids.empty())
        return refuse("RaidSet# Is Missing.");
    if (int(raids.size()) > kMaxNestedRaidSets)
        return refuse("Maximum Eight RaidSets Supported For Raid30/50/60.");
    int level = 0;
    const Arg gotLevel = cliconf::optionalInt(argc, argv, "level", &level);
    if (gotLevel == Arg::Absent)
        return refuse("Raidlevel Is Missing.");
    if (gotLevel == Arg::Malformed)
        return refuse(kInvalidDot);
    CreateParams p;
    if (readCreateParams(argc, argv, false, &p) != 0)
        return 1;

    // The nested levels: 00, 100, 30, 50, 60 give codes 0 .. 4.
    static const int kNestedLevels[] = {0, 100, 30, 50, kTypedNested60};
    int code = -1;
    for (int c = 0; c < int(sizeof kNestedLevels / sizeof kNestedLevels[0]); ++c)
        if (level == kNestedLevels[c])
            code = c;
    if (code < 0 || (level == kTypedNested60 && !m_sysInfo.supportsRaid6()))
        return refuse("Unsupported Raid Level");

    u8 numbers[kMaxNestedRaidSets] = {};
    sGUI_RAIDSET last;
    std::memset(&last, 0, sizeof last);
    for (std::size_t i = 0; i < raids.size(); ++i) {
        if (raids[i] < 1 || raids[i] > m_sysInfo.raidSetNumbers())
            return resultLine(ZYN_ERR_NO_OBJECT);
        numbers[i] = u8(raids[i] - 1);
        const u32 rc = ZynGetRaidSetInfo(numbers[i], &last);
        if (rc != ZYN_OK)
            return resultLine(rc);
    }
    _VOLUMESET_CAP cap;
    defaultCap(&cap);
    cap.level = u8(code);
    if (!(p.capacity >= kMinCapacity))
        return refuse("Invalid Capacity");
    cap.capacity = p.capacity;
    if (largestFree(last) == 0)
        return refuse("No Free Space To Create VolumeSet");
    if (checkCreateParams(argc, argv, false, &p, &cap) != 0)
        return 1;
    GetFreeChIdLun(&cap.channel, &cap.id, &cap.lun);
    return resultLine(ZynCreateVolSetR5060(u8(raids.size()), numbers, &cap, p.gt2tb));
}

int CZynlibCLI::Exe_Vol_Del_Cmd(int argc, char** argv)
{
    if (argc != 1)
        return refuse(kUsage);
    auto map = std::make_unique<_VOL_MAP>();
    int index = 0;
    if (const int rc = VsfFindVolume(argc, argv, map.get(), &index))
        return rc;
    const _VOL_MAP::Entry& e = map->entries[index];
    if (e.volumeSet.raidLevel() == Vol::kLevelPassThrough)
        return refuse("VolumeSet Type Is PassThrough, Use \"disk delete\" Command Instead");
    if (isNestedMember(e.volumeSet))
        return refuse("Please Delete Raid30/50/60 Volume First");
    return resultLine(ZynDelVolSet(u8(e.number)));
}

int CZynlibCLI::Exe_Vol_Modify_Cmd(int argc, char** argv)
{
    if (argc < 1)
        return refuse(kUsage);
    if (!IsArgPresent(argc, argv, "vol"))
        return refuse("VolumeSet# Is Missing.");
    if (argc == 1)
        return refuse("Nothing Changed.");
    // Every value is read before the map is built; a malformed one is refused.
    int level = -1, stripe = -1, ch = -1, id = -1, lun = -1;
    double capacity = 0;
    const Arg gotCapacity = cliconf::optionalDouble(argc, argv, "capacity", &capacity);
    if (gotCapacity == Arg::Malformed)
        return refuseCapacity(argc, argv);
    Arg got[5];
    int* outs[5] = {&level, &stripe, &ch, &id, &lun};
    const char* keys[5] = {"level", "stripe", "ch", "id", "lun"};
    for (int k = 0; k < 5; ++k) {
        got[k] = cliconf::optionalInt(argc, argv, keys[k], outs[k]);
        if (got[k] == Arg::Malformed)
            return refuse(kInvalidDot);
    }
    for (int k = 2; k < 5; ++k)
        if (got[k] == Arg::Read && unsigned(*outs[k]) > unsigned(kMaxByteValue))
            return refuse(kInvalidDot);
    char name[kTextLimit];
    const bool named = IsArgPresent(argc, argv, "name");
    if (named && !GetArgStringValue(argc, argv, "name", name))
        return refuse(kInvalidDot);

    auto map = std::make_unique<_VOL_MAP>();
    int index = 0;
    if (const int rc = VsfFindVolume(argc, argv, map.get(), &index))
        return rc;
    const _VOL_MAP::Entry& e = map->entries[index];
    const Vol& vol = e.volumeSet;
    if (vol.state() != 0)
        return refuse("VolumeSet Must Be In Normal State For Modification");
    if (vol.raidLevel() == Vol::kLevelPassThrough)
        return refuse("VolumeSet Type Is PassThrough, Use \"disk modify\" Command Instead");

    _NEW_VOLUMESET_CAP cap;
    std::memset(&cap, 0, sizeof cap);
    cap.size = kNewCapSize;
    cap.volume = u8(e.number);
    std::memcpy(cap.name, vol.bytes + Vol::kName, kNameSize);
    cap.capacity = 0;
    enum { kLevel, kStripe, kChannel, kId, kLun, kTagged, kCache, kByte36 };
    const int currentStripe = cliconf::stripeCodeOfSectors(vol.stripe());
    cap.settings[kLevel] = vol.raidLevel();
    cap.settings[kStripe] = currentStripe < 0 ? kKeep : u8(currentStripe);
    cap.settings[kChannel] = vol.channel();
    cap.settings[kId] = vol.id();
    cap.settings[kLun] = vol.lun();
    cap.settings[kTagged] = vol.taggedQueuing();
    cap.settings[kCache] = vol.cacheMode();
    cap.settings[kByte36] = vol.bytes[Vol::kCacheMode + 1];
    const bool nested = vol.isNested() || isNestedMember(vol);

    if (got[0] == Arg::Read) {
        if (nested)
            return refuse("Raid30/50/60 Is Not Allowed To Modify Level");
        const int code = cliconf::levelCodeOf(level);
        if (code < 0)
            return refuse("Unsupported Raid Level");
        const int d = vol.memberCount();
        switch (vol.raidLevel()) {
        case Vol::kLevelRaid0:
            if (level != kTyped0) {
                cliout_zynmsr.ErrMsg_("Not Allow From Raid0 To Raid%d", level);
                return 1;
            }
            break;
        case Vol::kLevelRaid10:
            if ((level == kTyped6 && d < kDrivesFor6) || ((level == kTyped3 || level == kTyped5) && d < kDrivesFor35)) {
                cliout_zynmsr.ErrMsg_("Not Allow From Raid1 To Raid%d", level);
                cliout_zynmsr.ErrMsg_("At Least %d Drives Needed.", level == kTyped6 ? kDrivesFor6 : kDrivesFor35);
                return 1;
            }
            break;
        case Vol::kLevelRaid3:
        case Vol::kLevelRaid5:
            if (level == kTyped1 || level == kTyped6)
                return refuse("Not Allow From (Raid3 & Raid5) To Raid1 Or Raid6");
            break;
        case Vol::kLevelRaid6:
            if (level == kTyped1 && d != kRaid6To1Drives)
                return refuse("Not Allow From Raid6 To Raid1");
            break;
        default:
            break;
        }
        cap.settings[kLevel] = u8(code);
    }
    if (named)
        cliconf::fillName(cap.name, name);
    if (got[1] == Arg::Read) {
        if (vol.isNested())
            return refuse("Raid30/50/60 Is Not Allowed To Modify Stripe Size");
        if (cap.settings[kLevel] == Vol::kLevelRaid3)
            return refuse("The Stripe Size Can Not Be Modified In The Raid3");
        const int code = cliconf::stripeCodeOfKb(stripe);
        if (code < 0)
            return refuse("Unsupported Stripe Size");
        cap.settings[kStripe] = u8(code);
    }
    for (int k = 2; k < 5; ++k)
        if (got[k] == Arg::Read)
            cap.settings[kChannel + (k - 2)] = u8(*outs[k]);
    const u8 newCh = cap.settings[kChannel], newId = cap.settings[kId], newLun = cap.settings[kLun];
    if (newCh != vol.channel() || newId != vol.id() || newLun != vol.lun()) {
        const int slotCount = std::min<int>(m_sysInfo.volumeSetNumbers(), _VOL_MAP::kMaxEntries);
        for (int v = 0; v < slotCount; ++v) {
            Vol other;
            if (ZynGetVolSetInfo(u8(v), &other) != ZYN_OK || !other.exists())
                continue;
            if ((other.channel() == kBothChannels || other.channel() == newCh) && other.id() == newId
                && other.lun() == newLun)
                return refuse("Duplicate Of Channel/ID/LUN");
        }
    }
    if (yesNo(argc, argv, "tag", &cap.settings[kTagged]) == Arg::Malformed)
        return refuse("\"tag\" Value Should Be \"Y\" Or \"N\"");
    if (yesNo(argc, argv, "cache", &cap.settings[kCache]) == Arg::Malformed)
        return refuse("\"cache\" Value Should Be \"Y\" Or \"N\"");
    if (gotCapacity == Arg::Read) {
        if (vol.isNested())
            return refuse("Raid30/50/60 Is Not Allowed To Modify Capacity");
        sGUI_RAIDSET raid;
        const u32 rc = ZynGetRaidSetInfo(vol.raidSet(), &raid);
        if (rc != ZYN_OK)
            return resultLine(rc);
        // The new size in sectors against the volume's own current size.
        if (!(capacity * kGB / kSector > double(vol.capacity())))
            return refuse("New Capacity Must Be Greater Than Original Capacity");
        cap.capacity = capacity;
    }
    return resultLine(ZynModifyVolSet(&cap));
}

int CZynlibCLI::Exe_Vol_Start_Check_Cmd(int argc, char** argv)
{
    if (argc < 1)
        return refuse(kUsage);
    if (!IsArgPresent(argc, argv, "vol"))
        return refuse("VolumeSet# Is Missing.");
    int scrub = 0, parity = 0;
    const Arg gotScrub = cliconf::optionalInt(argc, argv, "scrubbadblock", &scrub);
    const Arg gotParity = cliconf::optionalInt(argc, argv, "recomputeparity", &parity);
    if (gotScrub == Arg::Malformed || gotParity == Arg::Malformed)
        return refuse(kInvalidDot);
    if (unsigned(scrub) > kMaxFlag)
        return refuse("Invalid scrubbadblock");
    if (unsigned(parity) > kMaxFlag)
        return refuse("Invalid recomputeparity");
    auto map = std::make_unique<_VOL_MAP>();
    int index = 0;
    if (const int rc = VsfFindVolume(argc, argv, map.get(), &index))
        return rc;
    const _VOL_MAP::Entry& e = map->entries[index];
    const int level = e.volumeSet.raidLevel();
    if (level != Vol::kLevelRaid3 && level != Vol::kLevelRaid5 && level != Vol::kLevelRaid6)
        return refuse("Only Raid3&5&6 Can Be Checked");
    if (e.volumeSet.state() != 0)
        return refuse("Volume Must Be In Normal State For Consistency Check");
    return resultLine(ZynStartCheckVolume(u8(e.number), u8(scrub), u8(parity)));
}

int CZynlibCLI::Exe_Vol_Stop_Check_Cmd(int argc, char**)
{
    if (argc != 0)
        return refuse(kUsage);
    return resultLine(ZynStopCheckVolume());
}

int CZynlibCLI::Exe_Vol_ScheduleVolumeCheck_Cmd(int argc, char** argv)
{
    if (argc < 1)
        return refuse(kUsage);
    int scheduler = 0, idle = 0, scrub = 1, parity = 1;
    const Arg gotScheduler = cliconf::optionalInt(argc, argv, "scheduler", &scheduler);
    if (gotScheduler == Arg::Absent)
        return refuse("Scheduler Is Missing");
    if (gotScheduler == Arg::Malformed || cliconf::optionalInt(argc, argv, "idle", &idle) == Arg::Malformed
        || cliconf::optionalInt(argc, argv, "scrubbadblock", &scrub) == Arg::Malformed
        || cliconf::optionalInt(argc, argv, "recomputeparity", &parity) == Arg::Malformed)
        return refuse(kInvalidDot);
    if (unsigned(scheduler) > kMaxScheduler)
        return refuse("Invalid scheduler");
    if (unsigned(idle) > kMaxIdle)
        return refuse("Invalid idle");
    if (unsigned(scrub) > kMaxFlag)
        return refuse("Invalid scrubbadblock");
    if (unsigned(parity) > kMaxFlag)
        return refuse("Invalid recomputeparity");
    return resultLine(ZynSetScheduleVolumeCheck(u8(scheduler), u8(idle), u8(scrub), u8(parity)));
}

int CZynlibCLI::Exe_Vol_Info_Cmd(int argc, char** argv)
{
    if (argc >= 2)
        return refuse(kUsage);
    int vol = 0;
    const bool single = argc == 1;
    if (single && (!GetArgIntValue(argc, argv, "vol", &vol) || vol < 1))
        return refuse(kInvalidDot);
    auto map = std::make_unique<_VOL_MAP>();
    const u32 rc = ZynHelpBuildVolumeSetMap(map.get());
    if (rc != ZYN_OK)
        return resultLine(rc);
    const int count = int(std::min<unsigned>(map->count, _VOL_MAP::kMaxEntries));
    if (!single) {
        cliout_zynmsr.Output_("  # Name             Raid Name       Level   Capacity Ch/Id/Lun  State         \n");
        rule(kListRule);
        int failed = 0;
        for (int i = 0; i < count && failed == 0; ++i)
            failed = ShowVolumeSetInfo(i + 1, map->entries[i].volumeSet, false);
        rule(kListRule);
        return resultLine(u32(failed));
    }
    if (vol > count)
        return resultLine(ZYN_ERR_NO_OBJECT);
    cliout_zynmsr.Output_("Volume Set Information \n");
    rule(kInfoRule);
    const int failed = ShowVolumeSetInfo(vol, map->entries[vol - 1].volumeSet, true);
    rule(kInfoRule);
    return resultLine(u32(failed));
}

int CZynlibCLI::Display_Vsf_CMD_Help(int, char**)
{
    cliout_zynmsr.Output_("\n");
    cliout_zynmsr.Output_("%s", kHelpHead);
    if (m_sysInfo.hasExtendedVolumeRecord())
        cliout_zynmsr.Output_("%s", kHelpNested);
    cliout_zynmsr.Output_("%s", kHelpTail);
    rule(kHelpRule);
    return 0;
}
