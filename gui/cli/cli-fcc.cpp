// The fcc commands of fibre channel controllers (the host name list, and each volume set's host
// filters) and the debug commands (raw records dumped in hexadecimal to standard output, and a
// fixed expander test). Every parameter is read and checked before anything is sent.
#include "cli/cli-confargs.h"
#include "cli/cli-zynmsr.h"

#include "cli/cli-common.h"
#include "cli/output.h"
#include "cliutil.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>

using cliconf::Arg;

namespace {

using clicommon::refuse;
using clicommon::resultLine;

constexpr u32 kCodeFailure = 1;   // "Failure.": a refusal of a debug dump
const char kInvalidDot[] = "Invalid Parameter.";
const char kVolumeMissing[] = "VolumeSet# Is Missing.";

constexpr int kListRule = 75;
constexpr int kHelpRule = 79;

// The host name entry as the command line sees it: the world-wide name, one further byte, then
// the nick name of up to 23 characters.
constexpr std::size_t kWwnBytes = 8;
constexpr std::size_t kNickOffset = 1;   // in the record's nick name field, after the further byte
constexpr std::size_t kNickLength = sizeof(_FIBRE_HOST_WWNAME::nickname) - kNickOffset;
// nameadd p=: every name byte and the further byte hold p + 16.
constexpr unsigned kTestNameBase = 16;
// Hexadecimal digits of a world-wide name or a mask.
constexpr std::size_t kWwnDigits = 2 * kWwnBytes;
constexpr std::size_t kTextLimit = 64;

// A volume set on the second host channel of a dual-channel board is addressed as channel 0.
constexpr uint8_t kSharedChannel = 2;
constexpr unsigned kLunsPerId = 8;

// Filter types and modes.
constexpr int kFilterChoices = 2;
const char* const kTypeTexts[kFilterChoices] = {"Include", "Exclude"};
const char* const kModeTexts[kFilterChoices] = {"R/W", "RO"};
const char kUnknownText[] = "Unknown";
constexpr unsigned kMaxFilterChoice = 1;

// debug dump: the setup pages read for rominfo and what of it is shown, the record buffer.
constexpr int kRomInfoRead = 32512;
constexpr int kRomInfoShown = 2048;
constexpr int kRecordShown = 272;
constexpr unsigned kMaxByteValue = 255;
// debug test: the service password it logs in with, and the expanders it reads.
const char kServicePassword[] = "9163";
constexpr int kTestExpanders = 2;

void rule(int n)
{
    cliout_zynmsr.Output_("%s\n", std::string(std::size_t(n), '=').c_str());
}

// 16 upper-case hexadecimal digits of 8 bytes.
std::string hexOf(const uint8_t* bytes)
{
    char text[kWwnDigits + 1] = {};
    for (std::size_t i = 0; i < kWwnBytes; ++i)
        std::snprintf(text + 2 * i, 3, "%02X", unsigned(bytes[i]));
    return text;
}

// The nick name of an entry as a terminated text.
std::string nickOf(const _FIBRE_HOST_WWNAME& entry)
{
    const char* nick = reinterpret_cast<const char*>(entry.nickname) + kNickOffset;
    return std::string(nick, strnlen(nick, kNickLength));
}

// Reads `key` as exactly 16 hexadecimal digits into 8 bytes, most significant first.
Arg readWwn(int argc, char** argv, const char* key, uint8_t* out)
{
    if (!IsArgPresent(argc, argv, key))
        return Arg::Absent;
    char text[kTextLimit] = {};
    if (!GetArgStringValue(argc, argv, key, text) || std::strlen(text) != kWwnDigits)
        return Arg::Malformed;
    for (std::size_t i = 0; i < kWwnDigits; ++i)
        if (!IsXDigit(static_cast<unsigned char>(text[i])))
            return Arg::Malformed;
    for (std::size_t i = 0; i < kWwnBytes; ++i) {
        const char pair[3] = {text[2 * i], text[2 * i + 1], '\0'};
        out[i] = uint8_t(std::strtoul(pair, nullptr, 16));
    }
    return Arg::Read;
}

// The controller refuses a name whose first four bytes are zero.
bool firstWordZero(const uint8_t* wwn)
{
    return wwn[0] == 0 && wwn[1] == 0 && wwn[2] == 0 && wwn[3] == 0;
}

// A filter type or mode: absent gives 0; above 1 or malformed is refused.
bool readChoice(int argc, char** argv, const char* key, uint8_t* out)
{
    int value = 0;
    const Arg got = cliconf::optionalInt(argc, argv, key, &value);
    if (got == Arg::Malformed || (got == Arg::Read && unsigned(value) > kMaxFilterChoice))
        return false;
    *out = uint8_t(got == Arg::Read ? value : 0);
    return true;
}

const char* choiceText(const char* const* texts, uint8_t value)
{
    return value < kFilterChoices ? texts[value] : kUnknownText;
}

// A position counted from 1 (idx=): 0 with the 0-based index, else 1 after the refusal.
int readPosition(int argc, char** argv, const char* missing, const char* negative, unsigned* index)
{
    int value = 0;
    if (!GetArgIntValue(argc, argv, "idx", &value))
        return refuse(missing);
    if (value < 0)
        return refuse(negative);
    if (value == 0)
        return refuse(kInvalidDot);
    *index = unsigned(value) - 1;
    return 0;
}

// A debug dump's number parameter: 0 with the value, else 1 after the refusal.
int readByte(int argc, char** argv, const char* key, const char* missing, uint8_t* out)
{
    int value = 0;
    if (!GetArgIntValue(argc, argv, key, &value))
        return refuse(missing);
    if (unsigned(value) > kMaxByteValue)
        return refuse(kInvalidDot);
    *out = uint8_t(value);
    return 0;
}

const char kFccHelp[] =
    "Sub-Command & Parameters Of [ fcc ]\n"
    "Sub-Command Description\n"
    "===============================================================================\n"
    "nameinfo    Parameter: None\n"
    "            Fn: Display The Host Name List.\n"
    "            Ex: Display The Host Name List.\n"
    "            Command: fcc nameinfo [Enter]\n"
    "\n"
    "nameadd     Parameter: <wwn=xxxxxxxxxxxxxxxx> [nickname=xxx]\n"
    "            Fn: Add A Host Name (16 Hex Digits) With A Nick Name Of Up To 23 Chars.\n"
    "            Ex: Add Host 2100001B32A1B2C3 Named Server1.\n"
    "            Command: fcc nameadd wwn=2100001B32A1B2C3 nickname=Server1 [Enter]\n"
    "\n"
    "namedel     Parameter: <idx=xx>\n"
    "            Fn: Delete A Host Name.\n"
    "            Ex: Delete Host Name#1.\n"
    "            Command: fcc namedel idx=1 [Enter]\n"
    "\n"
    "filterinfo  Parameter: <vol=xx>\n"
    "            Fn: Display The Host Filters Of A VolumeSet.\n"
    "            Ex: Display The Host Filters Of VolumeSet#1.\n"
    "            Command: fcc filterinfo vol=1 [Enter]\n"
    "\n"
    "filteradd   Parameter: <vol=xx> <wwn=xxxxxxxxxxxxxxxx> <mask=xxxxxxxxxxxxxxxx>\n"
    "                       [mode=<0(R/W)|1(RO)>] [type=<0(Include)|1(Exclude)>]\n"
    "            Fn: Add A Host Filter To A VolumeSet.\n"
    "            Ex: Allow Host 2100001B32A1B2C3 Read Only Access To VolumeSet#1.\n"
    "            Command: fcc filteradd vol=1 wwn=2100001B32A1B2C3 mask=FFFFFFFFFFFFFFFF\n"
    "                     mode=1 [Enter]\n"
    "\n"
    "filterdel   Parameter: <vol=xx> <idx=xx>\n"
    "            Fn: Delete A Host Filter Of A VolumeSet.\n"
    "            Ex: Delete Host Filter#1 Of VolumeSet#1.\n"
    "            Command: fcc filterdel vol=1 idx=1 [Enter]\n"
    "\n";

const char kDebugHelp[] =
    "Sub-Command & Parameters Of [ debug ]\n"
    "Sub-Command Description\n";

const char kDebugHelpEntries[] =
    "dump rominfo\nParameter: None\nFn: dump ROM Information\n\n"
    "dump classinfo\nParameter: None\nFn: dump ZynlibCLI Information\n\n"
    "test atapassthr\nParameter: enc=xx, drv=xx\nFn: test ATA Passthrough Command\n\n"
    "dump raidinfo <p=raid#>\n\n"
    "dump volinfo <p=vol#>\n\n"
    "dump drvinfo <p=drv#>\n\n"
    "dump smartdata <p=drv#>\n\n";

} // namespace

int CZynlibCLI::FccFindVolume(int argc, char** argv, unsigned* channel, unsigned* number, unsigned* lun)
{
    auto map = std::make_unique<_VOL_MAP>();
    int index = 0;
    const int rc = clicommon::findInMap(
        argc, argv, "vol", kVolumeMissing, kVolumeMissing, map.get(),
        [this](_VOL_MAP* m) { return ZynHelpBuildVolumeSetMap(m); }, &index);
    if (rc != 0)
        return rc;
    const sGUI_VOLUMESET& vol = map->entries[index].volumeSet;
    *channel = vol.channel() == kSharedChannel ? 0 : vol.channel();
    *number = unsigned(vol.id()) * kLunsPerId + vol.lun();
    *lun = vol.lun();
    return 0;
}

int CZynlibCLI::Exe_Fibre_Add_HostName(int argc, char** argv)
{
    _FIBRE_HOST_WWNAME name;
    std::memset(&name, 0, sizeof name);
    if (IsArgPresent(argc, argv, "wwn") || IsArgPresent(argc, argv, "nickname")) {
        // The documented form: the name in hexadecimal and an optional nick name.
        if (readWwn(argc, argv, "wwn", name.wwn) != Arg::Read || firstWordZero(name.wwn))
            return refuse(kInvalidDot);
        char nick[kTextLimit] = {};
        if (IsArgPresent(argc, argv, "nickname")
            && (!GetArgStringValue(argc, argv, "nickname", nick) || std::strlen(nick) > kNickLength))
            return refuse(kInvalidDot);
        std::memcpy(name.nickname + kNickOffset, nick, std::strlen(nick));
    } else {
        // The test form: an entry made from one number.
        int p = 0;
        if (!GetArgIntValue(argc, argv, "p", &p))
            return refuse("Missing P Number.");
        const uint8_t fill = uint8_t((unsigned(p) + kTestNameBase) & 0xFF);
        std::memset(name.wwn, fill, sizeof name.wwn);
        name.nickname[0] = fill;
        std::memset(name.nickname + kNickOffset, ' ', kNickLength);
        char nick[kTextLimit] = {};
        const int length = std::snprintf(nick, sizeof nick, "n%d", p);
        std::memcpy(name.nickname + kNickOffset, nick, std::size_t(length) + 1);
    }
    return resultLine(ZynAddFibreHostName(&name));
}

int CZynlibCLI::Exe_Fibre_Del_HostName(int argc, char** argv)
{
    unsigned index = 0;
    if (readPosition(argc, argv, "Missing index Number.", "idx cannot < 0.", &index) != 0)
        return 1;
    return resultLine(ZynDelFibreHostName(index));
}

int CZynlibCLI::Exe_Fibre_Info_HostName(int, char**)
{
    _FIBRE_HOST_WWNAME_LIST list;
    const u32 rc = ZynGetFibreHostNameList(&list);
    if (rc == ZYN_OK) {
        cliout_zynmsr.Output_("Fibre Channel Host Name List\n");
        cliout_zynmsr.Output_("#    Host WWN            Nick Name\n");
        rule(kListRule);
        const int count = std::min<int>(list.count, _FIBRE_HOST_WWNAME_LIST::kMaxEntries);
        for (int i = 0; i < count; ++i)
            cliout_zynmsr.Output_("%-5d%-20s%-20s\n", i + 1, hexOf(list.entries[i].wwn).c_str(),
                                  nickOf(list.entries[i]).c_str());
        rule(kListRule);
    }
    return resultLine(rc);
}

int CZynlibCLI::Exe_Fibre_Add_Filter(int argc, char** argv)
{
    if (!IsArgPresent(argc, argv, "vol"))
        return refuse(kVolumeMissing);
    _FIBRE_VOL_HOST_FILTER filter;
    std::memset(&filter, 0, sizeof filter);
    if (!readChoice(argc, argv, "mode", &filter.mode))
        return refuse("Invalid Parameter of [mode].");
    if (!readChoice(argc, argv, "type", &filter.type))
        return refuse("Invalid Parameter of [type].");
    if (readWwn(argc, argv, "wwn", filter.wwn) != Arg::Read || firstWordZero(filter.wwn)
        || readWwn(argc, argv, "mask", filter.mask) != Arg::Read)
        return refuse(kInvalidDot);
    unsigned channel = 0, number = 0, lun = 0;
    const int rc = FccFindVolume(argc, argv, &channel, &number, &lun);
    if (rc != 0)
        return rc;
    return resultLine(ZynAddFibreHostFilter(channel, number, &filter));
}

int CZynlibCLI::Exe_Fibre_Del_Filter(int argc, char** argv)
{
    int vol = 0;
    if (!GetArgIntValue(argc, argv, "vol", &vol))
        return refuse(kVolumeMissing);
    unsigned index = 0;
    if (readPosition(argc, argv, "Index Number Is Missing.", "Index# Can Not < 0.", &index) != 0)
        return 1;
    unsigned channel = 0, number = 0, lun = 0;
    const int rc = FccFindVolume(argc, argv, &channel, &number, &lun);
    if (rc != 0)
        return rc;
    return resultLine(ZynDelFibreHostFilter(channel, number, index));
}

int CZynlibCLI::Exe_Fibre_Info_Filter(int argc, char** argv)
{
    unsigned channel = 0, number = 0, lun = 0;
    const int found = FccFindVolume(argc, argv, &channel, &number, &lun);
    if (found != 0)
        return found;
    _FIBRE_VOL_HOST_FILTER_LIST filters;
    u32 rc = ZynGetFibreHostFilterList(channel, number, &filters);
    if (rc == ZYN_OK) {
        cliout_zynmsr.Output_("Fibre Channel Volume Set Host Filters (Ch%u/LUN:%u,N%u.%u)", channel, lun,
                              lun / kLunsPerId, lun % kLunsPerId);
        cliout_zynmsr.Output_("\n");
        cliout_zynmsr.Output_("#   Type     Mode  Range Mask        Host WWN          Nick Name\n");
        rule(kListRule);
        const int count = std::min<int>(filters.count, _FIBRE_VOL_HOST_FILTER_LIST::kMaxEntries);
        for (int i = 0; i < count; ++i) {
            const _FIBRE_VOL_HOST_FILTER& f = filters.entries[i];
            _FIBRE_HOST_WWNAME_LIST names;
            rc = ZynGetFibreHostNameList(&names);
            if (rc != ZYN_OK)
                break;
            std::string nick(kNickLength, ' ');
            const int known = std::min<int>(names.count, _FIBRE_HOST_WWNAME_LIST::kMaxEntries);
            for (int n = 0; n < known; ++n)
                if (std::memcmp(names.entries[n].wwn, f.wwn, kWwnBytes) == 0)
                    nick = nickOf(names.entries[n]);
            cliout_zynmsr.Output_("%-4d%-9s%-6s%-18s%-18s%-24s\n", i + 1, choiceText(kTypeTexts, f.type),
                                  choiceText(kModeTexts, f.mode), hexOf(f.mask).c_str(), hexOf(f.wwn).c_str(),
                                  nick.c_str());
        }
        rule(kListRule);
    }
    return resultLine(rc);
}

int CZynlibCLI::Display_Fcc_CMD_Help(int, char**)
{
    cliout_zynmsr.Output_("\n");
    cliout_zynmsr.Output_("%s", kFccHelp);
    rule(kHelpRule);
    return 0;
}

int CZynlibCLI::Exe_Debug_Dump_Cmd(int argc, char** argv)
{
    if (argc < 1 || argv[0] == nullptr) {
        cliout_zynmsr.ErrMsg_("%s", kInvalidDot);
        return resultLine(kCodeFailure);
    }
    const char* word = argv[0];
    u32 rc = kCodeFailure;
    if (strcasecmp(word, "rominfo") == 0) {
        std::unique_ptr<u8[]> page(new u8[kRomInfoRead]());
        rc = ZynGetSetupPage(page.get(), kRomInfoRead, nullptr);
        if (rc == ZYN_OK)
            dumpdata(page.get(), kRomInfoShown);
    } else if (strcasecmp(word, "classinfo") == 0) {
        std::fputs("[SYSINFO]\n", stdout);
        dumpdata(m_sysInfo.bytes, int(sizeof m_sysInfo.bytes));
        rc = ZYN_OK;
    } else if (strcasecmp(word, "raidinfo") == 0) {
        uint8_t p = 0;
        if (readByte(argc, argv, "p", "RaidSet# Is Missing.", &p) != 0)
            return resultLine(kCodeFailure);
        sGUI_RAIDSET raid;
        std::memset(&raid, 0, sizeof raid);
        rc = ZynGetRaidSetInfo(p, &raid);
        if (rc == ZYN_OK)
            dumpdata(raid.bytes, kRecordShown);
    } else if (strcasecmp(word, "volinfo") == 0) {
        uint8_t p = 0;
        if (readByte(argc, argv, "p", kVolumeMissing, &p) != 0)
            return resultLine(kCodeFailure);
        // The record and the zeros after it.
        union {
            sGUI_VOLUMESET vol;
            u8 bytes[kRecordShown];
        } buffer;
        std::memset(&buffer, 0, sizeof buffer);
        rc = ZynGetVolSetInfo(p, &buffer.vol);
        if (rc == ZYN_OK)
            dumpdata(buffer.bytes, kRecordShown);
    } else if (strcasecmp(word, "diskinfo") == 0) {
        uint8_t enc = 0, drv = 0;
        if (readByte(argc, argv, "enc", "Enclosure# Is Missing.", &enc) != 0
            || readByte(argc, argv, "drv", "Slot# Is Missing.", &drv) != 0)
            return resultLine(kCodeFailure);
        sGUI_PHY_DRV disk;
        std::memset(&disk, 0, sizeof disk);
        rc = ZynGetPhysicalDriveInfo(enc, drv, &disk);
        if (rc == ZYN_OK)
            dumpdata(disk.bytes, kRecordShown);
    }
    return resultLine(rc);
}

int CZynlibCLI::Exe_Debug_Test_Cmd(int, char**)
{
    char password[sizeof kServicePassword];
    std::memcpy(password, kServicePassword, sizeof password);
    ZynChkPassword(password);
    auto expander = std::make_unique<sGUI_EXP_INFO>();
    for (int e = 0; e < kTestExpanders; ++e)
        ZynGetExpanderInfo(e, expander.get());
    return resultLine(ZynClearExpanderErrorLog(0));
}

int CZynlibCLI::Display_DEBUG_CMD_Help(int, char**)
{
    cliout_zynmsr.Output_("\n");
    cliout_zynmsr.Output_("%s", kDebugHelp);
    rule(kHelpRule);
    cliout_zynmsr.Output_("%s", kDebugHelpEntries);
    rule(kHelpRule);
    return 0;
}
