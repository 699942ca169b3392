// The sys commands that show the controller (system information, configuration, advanced
// features, disk power, clock, power button) and those that change its identity, password,
// host mode and beeper, log out, restart it and update its firmware.
#include "cli/cli-zynmsr.h"

#include "cli/cli-common.h"
#include "cli/cli-words.h"
#include "cli/output.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using clicommon::refuse;
using clicommon::resultLine;
using cliwords::WordList;
using cliwords::wordOf;

namespace {

const char kInvalid[] = "Invalid Parameter.";
const char kSysUsage[] = "Invalid Parameter. Use \"sys -h\" For Details";
const char kAdsysUsage[] = "Invalid Parameter. Use \"adsys -h\" For Details";

constexpr int kSysInfoRule = 43;
constexpr int kConfigRule = 79;
constexpr int kAdvancedRule = 48;
constexpr int kPowerRule = 53;
constexpr unsigned kKiloShift = 10;

// Identity texts: the buffers the words are read into and the longest text each takes.
constexpr std::size_t kVendorWordSize = 1024;
constexpr std::size_t kVendorMax = 40;
constexpr std::size_t kVendorFieldSize = 64;
constexpr std::size_t kModelWordSize = 1024;
constexpr std::size_t kModelMax = 8;
constexpr std::size_t kModelFieldSize = 32;
constexpr std::size_t kSerialWordSize = 256;
constexpr std::size_t kSerialMax = 16;
constexpr std::size_t kPasswordWordSize = 512;
constexpr std::size_t kPathWordSize = 512;

// Host modes and beeper choices as typed.
constexpr int kHostRaid = 0;
constexpr int kHostJbod = 1;
constexpr int kBeeperMute = 0;
constexpr int kBeeperDisable = 1;
constexpr int kBeeperEnable = 2;

// The firmware that takes an update from here: the digits at positions 1, 3 and 4 of its version
// text ("V1.44" gives 144) above this number.
constexpr int kFirmwareDigitPositions[] = {1, 3, 4};
constexpr long kFirmwareUpdateGate = 143;
// Largest image the block numbering carries.
constexpr long long kMaxFirmwareBytes = static_cast<long long>(CZynlib::kMaxFirmwareBlocks) * CZynlib::kFirmwareBlockSize;

void rule(int n)
{
    cliout_zynmsr.Output_("%s\n", std::string(std::size_t(n), '=').c_str());
}

// A fixed-width text field of a record, up to its first NUL and never past its width.
std::string fieldText(const uint8_t* field, std::size_t width)
{
    std::size_t n = 0;
    while (n < width && field[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(field), n);
}

// One line of an information block: the label (padded as the block pads it) and the word.
void wordLine(const char* format, const WordList& list, unsigned value)
{
    cliout_zynmsr.Output_(format, wordOf(list, value).c_str());
}

// The configuration block's lines: which byte, its word list, and the family it is shown for.
enum class Shown { Always, SataFamily, EnclosureFamily };
struct ConfigLine {
    const char* format;
    int index;   // byte of the configuration record; kFromSysInfo: the supported SATA mode
    const WordList* list;
    Shown shown;
};
constexpr int kFromSysInfo = -1;

using C = _SYS_CONFIG_INFO;
const ConfigLine kConfigLines[] = {
    {"System Beeper Setting           : %s\n", C::kBeeper, &cliwords::kDisabledEnabled, Shown::Always},
    {"Background Task Priority        : %s\n", C::kTaskPriority, &cliwords::kTaskPriority, Shown::Always},
    {"JBOD/RAID Configuration         : %s\n", C::kHostMode, &cliwords::kHostMode, Shown::Always},
    {"Max SATA Mode Supported         : %s\n", kFromSysInfo, &cliwords::kSataMode, Shown::SataFamily},
    {"SATA NCQ Support                : %s\n", C::kSataNcq, &cliwords::kEnabledDisabled, Shown::EnclosureFamily},
    {"HDD Read Ahead Cache            : %s\n", C::kHddReadAhead, &cliwords::kHddReadAhead, Shown::Always},
    {"Volume Data Read Ahead          : %s\n", C::kVolumeReadAhead, &cliwords::kVolumeReadAhead, Shown::Always},
    {"HDD Queue Depth                 : %s\n", C::kQueueDepth, &cliwords::kQueueDepth, Shown::EnclosureFamily},
    {"HDD SMART Status Polling        : %s\n", C::kSmartPolling, &cliwords::kDisabledEnabled, Shown::SataFamily},
    {"Empty HDD Slot LED              : %s\n", C::kEmptySlotLed, &cliwords::kSlotLed, Shown::Always},
    {"CPU Fan Detection               : %s\n", C::kCpuFan, &cliwords::kEnabledDisabled, Shown::Always},
    {"SAS Mux Setting                 : %s\n", C::kSasMux, &cliwords::kSasMux, Shown::EnclosureFamily},
    {"SES2 Support                    : %s\n", C::kSes2Support, &cliwords::kEnabledDisabled, Shown::EnclosureFamily},
    {"Max Command Length              : %s\n", C::kMaxCommandLength, &cliwords::kCommandLength, Shown::Always},
    {"Auto Activate Incomplete Raid   : %s\n", C::kAutoActivate, &cliwords::kDisabledEnabled, Shown::Always},
    {"Disk Write Cache Mode           : %s\n", C::kDiskCache, &cliwords::kDiskCache, Shown::Always},
    {"Write Same For Initialization   : %s\n", C::kWriteSame, &cliwords::kWriteSame, Shown::EnclosureFamily},
    {"Hot Plugged Disk For Rebuilding : %s\n", C::kHotPluggedDisk, &cliwords::kHotPluggedDisk, Shown::EnclosureFamily},
    {"Disk Capacity Truncation Mode   : %s\n", C::kTruncation, &cliwords::kTruncation, Shown::Always},
    {"Smart Option For HDD            : %s \n", C::kSmartOption, &cliwords::kSmartOption, Shown::EnclosureFamily},
    {"Smart Polling Interval          : %s\n", C::kSmartInterval, &cliwords::kSmartInterval, Shown::EnclosureFamily},
};

struct PowerLine {
    const char* format;
    int index;
    const WordList* list;
};
const PowerLine kPowerLines[] = {
    {"Stagger Power On Control      : %s\n", C::kStaggerPowerOn, &cliwords::kStaggerPowerOn},
    {"Time To Hdd Low Power Idle    : %s\n", C::kLowPowerIdle, &cliwords::kLowPowerIdle},
    {"Time To Hdd Low RPM Mode      : %s\n", C::kLowRpmMode, &cliwords::kLowRpmMode},
    {"Time To Spin Down Idle HDD    : %s\n", C::kSpinDown, &cliwords::kSpinDown},
};

using A = _SYS_ADVANCED_FEATURES_INFO;
struct AdvancedLine {
    const char* format;
    int index;
    const WordList* list;   // null: the byte as a per cent number
};
const AdvancedLine kAdvancedLines[] = {
    {"TLER Setting                 : %s\n", A::kTler, &cliwords::kTler},
    {"Timeout Setting              : %s\n", A::kTimeout, &cliwords::kTimeout},
    {"Retry Count Setting          : %s\n", A::kRetryCount, &cliwords::kRetry},
    {"Buffer Threshold             : %s\n", A::kBufferThreshold, &cliwords::kBufferThreshold},
    {"Amount Of Read Ahead         : %s\n", A::kReadAhead, &cliwords::kReadAhead},
    {"Number Of AV Streams         : %s\n", A::kAvStreams, &cliwords::kAvStreams},
    {"Optimize AV Recoding         : %s\n", A::kOptimizeAvRecording, &cliwords::kOptimizeAvRecording},
    {"PHY Status                   : %s\n", A::kPhyStatus, &cliwords::kPhyStatus},
    {"Read Performance Margin      : %d%%\n", A::kReadMargin, nullptr},
    {"Write Performance Margin     : %d%%\n", A::kWriteMargin, nullptr},
    {"Read And Discard Parity Data : %s\n", A::kReadDiscardParity, &cliwords::kDisabledEnabled},
    {"Fail Disk If Any Timeout     : %s\n", A::kFailDiskOnTimeout, &cliwords::kDisabledEnabled},
    {"Hitachi SATA HDD Speed       : %s\n", A::kHitachiSpeed, &cliwords::kSataHddSpeed},
    {"WDC SATA HDD Speed           : %s\n", A::kWdcSpeed, &cliwords::kSataHddSpeed},
    {"Seagate SATA HDD Speed       : %s\n", A::kSeagateSpeed, &cliwords::kSataHddSpeed},
};

// The identity setters that take p= from any of the words and check only its length.
int setIdentityText(int argc, char** argv, std::size_t wordSize, std::size_t max, std::size_t fieldSize,
                    const char* tooLong, const std::function<u32(char*)>& set)
{
    std::vector<char> text(wordSize, 0);
    if (!GetArgStringValue(argc, argv, "p", text.data(), text.size()))
        return refuse(kInvalid);
    const std::size_t length = std::strlen(text.data());
    if (length > max)
        return refuse(tooLong);
    std::vector<char> field(fieldSize, 0);
    std::memcpy(field.data(), text.data(), length);
    return resultLine(set(field.data()));
}

// The serial number setters: exactly one word, a help request or p= of at most 16 characters.
// Returns the text's length, or -1 with the result to return in *result (already printed).
int readSerialWord(CZynlibCLI& cli, int argc, char** argv, const char* tooLong, char* text, std::size_t size,
                   int* result)
{
    if (argc == 0) {
        *result = refuse(kSysUsage);
        return -1;
    }
    if (argc != 1) {
        *result = refuse(kInvalid);
        return -1;
    }
    if (cliwords::isHelpWord(argv[0])) {
        *result = cli.Display_Sys_CMD_Help(0, nullptr);
        return -1;
    }
    if (!GetArgStringValue(argc, argv, "p", text, size)) {
        *result = refuse(kInvalid);
        return -1;
    }
    const std::size_t length = std::strlen(text);
    if (length > kSerialMax) {
        *result = refuse(tooLong);
        return -1;
    }
    return int(length);
}

// Reads a whole regular file of at most the firmware's largest size: 0 with the bytes, else
// the refusal's result (nothing read counts as an empty image).
u32 readFirmwareFile(const char* path, std::vector<char>* image)
{
    struct stat st{};
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return ZYN_ERR_FILE;
    if (st.st_size == 0)
        return ZYN_ERR_INVALID_ARG;
    if (st.st_size < 0 || static_cast<long long>(st.st_size) > kMaxFirmwareBytes)
        return ZYN_ERR_FILE;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file)
        return ZYN_ERR_FILE;
    image->assign(std::size_t(st.st_size), 0);
    std::size_t done = 0;
    while (done < image->size()) {
        const std::size_t got = std::fread(image->data() + done, 1, image->size() - done, file.get());
        if (got == 0)
            break;
        done += got;
    }
    // Only the whole file, exactly as large as it was when sized, is an image.
    if (done != image->size() || std::fgetc(file.get()) != EOF)
        return ZYN_ERR_FILE;
    return ZYN_OK;
}

} // namespace

// ---- Information blocks ----------------------------------------------------------------------

int CZynlibCLI::Exe_Sys_Info_Cmd(int, char**)
{
    sSYSTEM_INFO info;
    std::memset(&info, 0, sizeof info);
    const u32 rc = ZynGetSysInfo(&info);
    if (rc != ZYN_OK)
        return resultLine(rc);
    using S = sSYSTEM_INFO;
    auto& out = cliout_zynmsr;
    out.Output_("The System Information\n");
    rule(kSysInfoRule);
    out.Output_("Main Processor     : %uMHz\n", info.processorClock());
    out.Output_("CPU ICache Size    : %uKB\n", info.iCacheSize() >> kKiloShift);
    out.Output_("CPU DCache Size    : %uKB\n", info.dCacheSize() >> kKiloShift);
    out.Output_("CPU SCache Size    : %uKB\n", info.sCacheSize() >> kKiloShift);
    out.Output_("System Memory      : %uMB/%uMHz%s\n", info.memorySize(), info.memoryClock(),
                info.memoryEcc() ? "/ECC" : "");
    out.Output_("Firmware Version   : %s\n", fieldText(info.bytes + S::kFirmwareVersion, S::kFirmwareVersionSize).c_str());
    out.Output_("BOOT ROM Version   : %s\n", fieldText(info.bytes + S::kBootRomVersion, S::kBootRomVersionSize).c_str());
    out.Output_("Serial Number      : %s", fieldText(info.bytes + S::kSerialNumber, S::kSerialNumberSize).c_str());
    out.Output_("\n");
    out.Output_("Controller Name    : %s%s\n", fieldText(info.bytes + S::kModelName, S::kModelNameSize).c_str(),
                fieldText(info.bytes + S::kModelSuffix, S::kModelSuffixSize).c_str());
    if (info.hasOnBoardNetwork()) {
        const uint8_t* ip = info.ipAddress();
        out.Output_("Current IP Address : %d.%d.%d.%d\n", ip[0], ip[1], ip[2], ip[3]);
    }
    rule(kSysInfoRule);
    return resultLine(ZYN_OK);
}

int CZynlibCLI::Exe_Sys_ShowCFG_Cmd(int, char**)
{
    _SYS_CONFIG_INFO config;
    std::memset(&config, 0, sizeof config);
    const u32 rc = ZynGetSystemConfigInfo(&config);
    if (rc != ZYN_OK)
        return resultLine(rc);
    const bool sata = m_sysInfo.family() == sSYSTEM_INFO::kSataFamily;
    const bool enclosure = m_sysInfo.family() == sSYSTEM_INFO::kEnclosureFamily;
    cliout_zynmsr.Output_("The System Configuration\n");
    rule(kConfigRule);
    for (const ConfigLine& line : kConfigLines) {
        if ((line.shown == Shown::SataFamily && !sata) || (line.shown == Shown::EnclosureFamily && !enclosure))
            continue;
        if (line.index == kFromSysInfo) {
            wordLine(line.format, *line.list, m_sysInfo.bytes[sSYSTEM_INFO::kMaxSataMode]);
            continue;
        }
        unsigned value = config.bytes[line.index];
        if (value == _SYS_CONFIG_INFO::kAbsent)
            continue;
        if (line.index == _SYS_CONFIG_INFO::kMaxCommandLength)
            value &= ~unsigned(_SYS_CONFIG_INFO::kCommandLengthFlag);
        wordLine(line.format, *line.list, value);
    }
    rule(kConfigRule);
    return resultLine(ZYN_OK);
}

int CZynlibCLI::Exe_Sys_AdvanInfo_CFG_Cmd(int argc, char**)
{
    if (argc > 0)
        return refuse(kAdsysUsage);
    _SYS_ADVANCED_FEATURES_INFO features;
    std::memset(&features, 0, sizeof features);
    const u32 rc = ZynGetAdvancedFeaturesInfo(&features);
    if (rc != ZYN_OK)
        return resultLine(rc);
    cliout_zynmsr.Output_("The Advanced Feature Information\n");
    rule(kAdvancedRule);
    for (const AdvancedLine& line : kAdvancedLines) {
        const unsigned value = features.bytes[line.index];
        if (line.list == nullptr)
            cliout_zynmsr.Output_(line.format, int(value));
        else
            wordLine(line.format, *line.list, value);
    }
    rule(kAdvancedRule);
    return resultLine(ZYN_OK);
}

int CZynlibCLI::Exe_HddPwr_Info_Cmd(int, char**)
{
    _SYS_CONFIG_INFO config;
    std::memset(&config, 0, sizeof config);
    const u32 rc = ZynGetSystemConfigInfo(&config);
    if (rc != ZYN_OK)
        return resultLine(rc);
    cliout_zynmsr.Output_("The HDD Power Management Information\n");
    rule(kPowerRule);
    for (const PowerLine& line : kPowerLines) {
        const unsigned value = config.bytes[line.index];
        if (value != _SYS_CONFIG_INFO::kAbsent)
            wordLine(line.format, *line.list, value);
    }
    rule(kPowerRule);
    return resultLine(ZYN_OK);
}

int CZynlibCLI::Exe_Sys_GetRTCTime_Cmd(int, char**)
{
    unsigned char rtc[cliwords::kRtcRecordSize] = {};
    const u32 rc = ZynGetRTCInfo(rtc, int(sizeof rtc));
    if (rc == ZYN_OK)
        cliout_zynmsr.Msg_("%s", cliwords::rtcText(rtc).c_str());
    return resultLine(rc);
}

int CZynlibCLI::Exe_Sys_GetPwrButton_Cmd(int argc, char** argv)
{
    if (argc == 1 && cliwords::isHelpWord(argv[0]))
        return Display_Sys_CMD_Help(0, nullptr);
    u8 state = 0;
    const u32 rc = ZynGetNumberOfPower(&state);
    if (rc != ZYN_OK)
        return int(rc);
    cliout_zynmsr.Msg_("Power Button State = %s", wordOf(cliwords::kPowerButton, state).c_str());
    return 0;
}

// ---- Identity --------------------------------------------------------------------------------

int CZynlibCLI::Exe_Sys_VendorName_Cmd(int argc, char** argv)
{
    return setIdentityText(argc, argv, kVendorWordSize, kVendorMax, kVendorFieldSize,
                           "Vendor Name Should Be <= 40 chars.", [this](char* text) { return ZynSetVendor(text); });
}

int CZynlibCLI::Exe_Sys_ModelName_Cmd(int argc, char** argv)
{
    return setIdentityText(argc, argv, kModelWordSize, kModelMax, kModelFieldSize,
                           "Model(Controller) Name Should Be <= 8 chars.",
                           [this](char* text) { return ZynSetModel(text); });
}

int CZynlibCLI::Exe_Sys_Serial_Cmd(int argc, char** argv)
{
    char text[kSerialWordSize] = {};
    int result = 0;
    if (readSerialWord(*this, argc, argv, "Serial Number Should Be <= 16 chars.", text, sizeof text, &result) < 0)
        return result;
    return resultLine(ZynSetSerial(text));
}

int CZynlibCLI::Exe_Sys_UnitSerial_Cmd(int argc, char** argv)
{
    char text[kSerialWordSize] = {};
    int result = 0;
    const int length =
        readSerialWord(*this, argc, argv, "Unit Serial Number Should Be <= 16 chars.", text, sizeof text, &result);
    if (length < 0)
        return result;
    return resultLine(ZynSetUnitSerial(text, length));
}

// ---- Password, session, restart --------------------------------------------------------------

int CZynlibCLI::Exe_Sys_ChangPassword_Cmd(int argc, char** argv)
{
    char text[kPasswordWordSize] = {};
    if (argc != 1 || !GetArgStringValue(argc, argv, "p", text))
        return refuse(kInvalid);
    return resultLine(ZynSetPassword(text));
}

int CZynlibCLI::Exe_Sys_Logout_Cmd(int, char**)
{
    return resultLine(ZynLogOut());
}

int CZynlibCLI::Exe_Sys_RestartCtrl_Cmd(int, char**)
{
    return resultLine(ZynResetController());
}

// ---- Host mode and beeper --------------------------------------------------------------------

int CZynlibCLI::Exe_Sys_ChangMode_Cmd(int argc, char** argv)
{
    int mode = 0;
    if (argc != 1 || !GetArgIntValue(argc, argv, "p", &mode) || (mode != kHostRaid && mode != kHostJbod))
        return refuse(kInvalid);
    sSYSTEM_INFO info;
    std::memset(&info, 0, sizeof info);
    u32 rc = ZynGetSysInfo(&info);
    if (rc != ZYN_OK)
        return resultLine(rc);
    if (mode == kHostJbod) {
        // JBOD takes a controller without raid sets.
        int existing = 0;
        for (int r = 0; r < info.raidSetNumbers(); ++r) {
            sGUI_RAIDSET raid;
            rc = ZynGetRaidSetInfo(u8(r), &raid);
            if (rc == ZYN_OK)
                ++existing;
            else if (rc != ZYN_ERR_NO_OBJECT)
                return resultLine(rc);
        }
        if (existing > 0)
            return refuse("All RaidSet Must Be Deleted In Order To Be Configured As JBOD");
    }
    return resultLine(ZynSetHostMode(u8(mode)));
}

int CZynlibCLI::Exe_Sys_Beeper_Cmd(int argc, char** argv)
{
    int choice = 0;
    if (argc != 1 || !GetArgIntValue(argc, argv, "p", &choice) || unsigned(choice) > unsigned(kBeeperEnable))
        return refuse(kInvalid);
    if (choice == kBeeperMute)
        return resultLine(ZynMuteBeeper());
    return resultLine(ZynSetBeeper(choice == kBeeperDisable ? 0 : 1));
}

// ---- Firmware --------------------------------------------------------------------------------

int CZynlibCLI::Exe_Sys_Updatefw_Cmd(int argc, char** argv)
{
    char digits[sizeof kFirmwareDigitPositions / sizeof kFirmwareDigitPositions[0] + 1] = {};
    for (std::size_t i = 0; i + 1 < sizeof digits; ++i)
        digits[i] = char(m_sysInfo.bytes[sSYSTEM_INFO::kFirmwareVersion + kFirmwareDigitPositions[i]]);
    if (std::strtol(digits, nullptr, 10) <= kFirmwareUpdateGate) {
        cliout_zynmsr.ErrMsg_("The Current Version Of Firmware Do Not Support This Function.");
        cliout_zynmsr.ErrMsg_("Please Update Firmware Using Web-Based Manager");
        return 1;
    }
    char path[kPathWordSize] = {};
    if (!GetArgStringValue(argc, argv, "path", path))
        return refuse(kInvalid);
    std::vector<char> image;
    const u32 rc = readFirmwareFile(path, &image);
    if (rc != ZYN_OK)
        return resultLine(rc);
    cliout_zynmsr.Msg_("Updating...Please Wait, It May Take Few Minutes");
    // The image's blocks are one run: confirmed once, and again only after a break.
    const QZynController::Run update(GetCtrl());
    const u32 sent = ZynUpdateFirmware(image.data(), int(image.size()));
    if (sent == ZYN_OK)
        cliout_zynmsr.Msg_("Please Restart Controller To Take Effect");
    return resultLine(sent);
}
