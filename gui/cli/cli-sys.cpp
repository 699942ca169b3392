// The controller settings of the sys, adsys and hddpwr families, one byte each, and the three
// families' help pages. Most settings share one shape and are listed in one table; changept,
// maxspeed and specifichddspeed have shapes of their own.
#include "cli/cli-zynmsr.h"

#include "cli/cli-common.h"
#include "cli/cli-words.h"
#include "cli/output.h"

#include <climits>
#include <string>

using clicommon::refuse;
using clicommon::resultLine;

namespace {

const char kInvalid[] = "Invalid Parameter.";
const char kSpeedMissing[] = "Speed Is Missing.";
const char kVendorMissing[] = "Vendor Is Missing.";

// The largest value a one-byte setting can carry; a larger number is refused, never cut.
constexpr int kByteMax = UCHAR_MAX;
// changept and maxspeed take 0 .. 3.
constexpr int kFourStepMax = 3;
// specifichddspeed takes its two parameters and nothing else.
constexpr int kSpeedWords = 2;

constexpr int kHelpRule = 79;

// The family a handler belongs to: its usage hint and its help page.
enum class Family { Sys, Adsys, HddPwr };

const char* usageOf(Family family)
{
    switch (family) {
    case Family::Adsys:
        return "Invalid Parameter. Use \"adsys -h\" For Details";
    case Family::HddPwr:
        return "Invalid Parameter. Use \"hddpwr -h\" For Details";
    case Family::Sys:
        break;
    }
    return "Invalid Parameter. Use \"sys -h\" For Details";
}

int showHelp(CZynlibCLI& cli, Family family)
{
    switch (family) {
    case Family::Adsys:
        return cli.Display_Adsys_CMD_Help(0, nullptr);
    case Family::HddPwr:
        return cli.Display_HddPwr_CMD_Help(0, nullptr);
    case Family::Sys:
        break;
    }
    return cli.Display_Sys_CMD_Help(0, nullptr);
}

using ByteSetter = u32 (QZynlib::*)(u8);

// The shape of the one-byte settings: exactly one word, a help request or p=<number>; a number
// above one byte is refused with the result line of a wrong parameter, nothing sent.
int oneSetting(CZynlibCLI& cli, int argc, char** argv, ByteSetter set, Family family)
{
    if (argc == 0)
        return refuse(usageOf(family));
    if (argc != 1)
        return refuse(kInvalid);
    if (cliwords::isHelpWord(argv[0]))
        return showHelp(cli, family);
    int value = 0;
    if (!GetArgIntValue(argc, argv, "p", &value))
        return refuse(kInvalid);
    if (unsigned(value) > unsigned(kByteMax))
        return resultLine(ZYN_ERR_INVALID_ARG);
    return resultLine((cli.*set)(u8(value)));
}

// changept and maxspeed: exactly one word p=0..3, no help page and no usage hint.
int fourStepSetting(CZynlibCLI& cli, int argc, char** argv, ByteSetter set)
{
    int value = 0;
    if (argc != 1 || !GetArgIntValue(argc, argv, "p", &value) || unsigned(value) > unsigned(kFourStepMax))
        return refuse(kInvalid);
    return resultLine((cli.*set)(u8(value)));
}

const char kSysAlways[] =
    "beeper      Parameter: <p=<0(mute)|1(disabled)|2(enabled)>>\n"
    "            Fn: Beeper Settings.\n"
    "            Ex: Mute Beeper.\n"
    "            Command: sys beeper p=0 [Enter]\n"
    "\n"
    "changepwd   Parameter: <p=xxx>\n"
    "            Fn: Change Password. The Valid Characters [0-9][A-Z][a-z].\n"
    "            Ex: Change Password To \"11111\".\n"
    "            Command: sys changepwd p=11111 [Enter]\n"
    "\n"
    "mode        Parameter: <p=<0(RAID)|1(JBOD)>>\n"
    "            Fn: Change The Host Mode.\n"
    "            Ex: Suppose The Current Host Mode Is 'RAID',\n"
    "                Change The Host Mode To JBOD.\n"
    "            Command: sys mode p=1 [Enter]\n"
    "\n"
    "changept    Parameter: <p=<0(ULow)|1(Low)|2(Medium)|3(High)>>\n"
    "            Fn: Change The Background Task Priority.\n"
    "            Ex: Change The Background Task Priority To High(3).\n"
    "            Command: sys changept p=3 [Enter]\n"
    "\n";

const char kSysEnclosureFamily[] =
    "ncq         Parameter: <p=<0(enabled)|1(disabled)>>\n"
    "            Fn: SATA NCQ Support Configuration.\n"
    "            Ex: Configure SATA NCQ Support As ENABLED.\n"
    "            Command: sys ncq p=0 [Enter]\n"
    "\n"
    "hddqdepth   Parameter: <p=<0(1)|1(2)|2(4)|3(8)|4(16)|5(32)>>\n"
    "            Fn: HDD Queue Depth Configuration.\n"
    "            Ex: Configure HDD Queue Depth As 1.\n"
    "            Command: sys hddqdepth p=0 [Enter]\n"
    "\n"
    "sasmux      Parameter: <p=<0(auto)|1(internal)|2(external)>.\n"
    "            Fn: Set The SAS Mux.\n"
    "            Ex: Set SAS Mux To Auto.\n"
    "            Command: sys sasmux p=0 [Enter]\n"
    "\n"
    "ses2support Parameter: <p=<0(enabled)|1(disabled)>.\n"
    "            Fn: Set The SES2 Support.\n"
    "            Ex: Set SES2 Support To Enabled.\n"
    "            Command: sys ses2support p=0 [Enter]\n"
    "\n"
    "maxcmdlen   Parameter: <p=<0(148K)|1(256K)|2(512K)|3(1M)|4(2M)|5(4M)>.\n"
    "            Fn: Set The Max Command Length.\n"
    "            Ex: Set Max Command Length To 4M.\n"
    "            Command: sys maxcmdlen p=5 [Enter]\n"
    "\n";

const char kSysSataFamily[] =
    "maxspeed    Parameter: <p=<0(SATA150)|1(SATA150+NCQ)|\n"
    "                           2(SATA300)|3(SATA300+NCQ)>> (For SATA)\n"
    "            Fn: Change The Max Speed.\n"
    "            Ex: Change The Max Speed To SATA300+NCQ(3).\n"
    "            Command: sys maxspeed p=3 [Enter]\n"
    "\n"
    "smartpoll   Parameter: <p=<0(disabled)|1(enabled)>>\n"
    "            Fn: HDD SMART Status Polling.\n"
    "            Ex: Configure HDD SMART Status Polling As DISABLED.\n"
    "            Command: sys smartpoll p=0 [Enter]\n"
    "\n";

const char kSysSettings[] =
    "diskcache   Parameter: <p=<0(auto)|1(enabled)|2(disabled)>>\n"
    "            Fn: Disk Write Cache Mode.\n"
    "            Ex: Configure The Disk Cache As AUTO.\n"
    "            Command: sys diskcache p=0 [Enter]\n"
    "\n"
    "hddreadahead Parameter: <p=<0(enabled)|1(disabled-MAXTOR)|2(disabled)>>\n"
    "            Fn: HDD Read Ahead Cache.\n"
    "            Ex: Configure The HDD Read Ahead Cache As ENABLED.\n"
    "            Command: sys hddreadahead p=0 [Enter]\n"
    "\n"
    "truncation  Parameter: <p=<0(10G)|1(1G)|2(disabled)>>\n"
    "            Fn: Disk Capacity Truncation Mode.\n"
    "            Ex: Configure Disk Capacity Truncation Mode As Multiples Of 10G.\n"
    "            Command: sys truncation p=0 [Enter]\n"
    "\n"
    "autoact     Parameter: <p=<0(disabled)|1(enabled)>>\n"
    "            Fn: Auto Activate Incomplete Raid.\n"
    "            Ex: Configure Auto Activate Incomplete Raid As DISABLED.\n"
    "            Command: sys autoact p=0 [Enter]\n"
    "\n"
    "cpufan      Parameter: <p=<0(enabled)|1(disabled)>>\n"
    "            Fn: Controller Fan Detection.\n"
    "            Ex: Configure Controller Fan Detection As ENABLED.\n"
    "            Command: sys cpufan p=0 [Enter]\n"
    "\n"
    "hddled      Parameter: <p=<0(on)|1(off)>>\n"
    "            Fn: Empty HDD Slot LED.\n"
    "            Ex: Configure Empty HDD Slot LED As ON.\n"
    "            Command: sys hddled p=0 [Enter]\n"
    "\n"
    "volreadahead  Parameter: <p=<0(normal)|1(aggressive)|2(conservative)|\n"
    "                             3(disabled)>>\n"
    "            Fn: VolumeSet Read-Ahead Configuration.\n"
    "            Ex: Configure VolumeSet Read-Ahead As NORMAL.\n"
    "            Command: sys volreadahead p=0 [Enter]\n"
    "\n"
    "writesame   Parameter: <p=<0(SAS And SATA)|1(SAS Only)|2(SATA Only)>>\n"
    "            Fn: Write Same Configuration.\n"
    "            Ex: Configure Write Same To SAS And SATA.\n"
    "            Command: sys writesame p=0 [Enter]\n"
    "\n"
    "hpdforrebuilding  Parameter: <p=<0(blank disk only)|1(always)|2(disabled)>>\n"
    "            Fn: Hot Plugged Disk For Rebuilding.\n"
    "            Ex: Configure Hot Plugged Disk For Rebuilding As ALWAYS.\n"
    "            Command: sys hpdforrebuilding p=1 [Enter]\n"
    "\n"
    "smartop     Parameter: <p=<0(failed the disk)|\n"
    "                           1(failed the disk if hot spare exist)|\n"
    "                           2(alert only)>>\n"
    "            Fn: SMART Option For HDD.\n"
    "            Ex: Configure SMART Option For HDD As \n"
    "               \"Failed the Disk If Hot Spare Exist\".\n"
    "            Command: sys smartoption p=1 [Enter]\n"
    "\n"
    "smartpi     Parameter: <p=<0(on demand)|\n"
    "                           1(30 seconds)|\n"
    "                           2(1 min)|\n"
    "                           3(5 mins)|\n"
    "                           4(10 mins)|\n"
    "                           5(20 mins)|\n"
    "                           6(30 mins)|\n"
    "                           7(1 hour)|\n"
    "                           8(2 hours)|\n"
    "                           9(3 hours)|\n"
    "                          10(6 hours)|\n"
    "                          11(12 hours)>>\n"
    "            Fn: SMART Polling Interval.\n"
    "            Ex: Configure SMART SMART Polling Interval As \"10 Minutes\".\n"
    "            Command: sys smartpollinginterval p=4 [Enter]\n"
    "\n";

const char kSysTail[] =
    "updatefw    Parameter: <path=<PATH_OF_FIRMWARE_FILE>>\n"
    "            Fn: Firmware Updating.\n"
    "            Ex: Update Firmware And File Path Is In [C:\\FW\\ZYNE300FIRM.BIN].\n"
    "            Command: sys updatefw path=c:\\fw\\zyne300firm.bin [Enter]\n"
    "\n"
    "showcfg     Parameter: None.\n"
    "            Fn: Display System Configuration.\n"
    "            Command: sys showcfg [Enter]\n"
    "\n"
    "savebin     Parameter: <path=<PATH_OF_FILE>>\n"
    "            Fn: Save Individual Controller Configuration Into File.\n"
    "            Ex: File Path Is In [C:\\ctlr1.bin].\n"
    "            Command: sys savebin path=c:\\ctrlr1.bin [Enter]\n"
    "\n"
    "restorebin  Parameter: <path=<PATH_OF_FILE>>\n"
    "            Fn: Restore Individual Controller Configuration From A File.\n"
    "            Ex: File Path Is In [C:\\ctlr1.bin].\n"
    "            Command: sys restorebin path=c:\\ctrlr1.bin [Enter]\n"
    "\n"
    "info        Parameter: None.\n"
    "            Fn: Display System Info.\n"
    "            Command: sys info [Enter]\n"
    "\n";

const char kAdsysSataFamily[] =
    "smartpoll   Parameter: <p=<0(Disabled)|1(Enabled)>>\n"
    "            Fn: HDD SMART Status Polling.\n"
    "            Ex: Configure HDD SMART Status Polling As DISABLED.\n"
    "            Command: adsys smartpoll p=0 [Enter]\n"
    "\n";

const char kAdsysEntries[] =
    "tler        Parameter: <p=<0(Default)|1(Disabled)|2(5 Seconds)|3(6 Seconds)|\n"
    "                           4(7 Seconds)>>\n"
    "            Fn: TLER (Time-Limited Error Recovery) Functions Provide Support\n"
    "                For WD Caviar RE (RAID) Series Disks.\n"
    "            Ex: Configure TLER As DEFAULT.\n"
    "            Command: adsys tler p=0 [Enter]\n"
    "\n"
    "timeout     Parameter: <p=<0(8 Seconds)|1(7 Seconds)|2(6 Seconds)|\n"
    "                           3(5 Seconds)|4(4 Seconds)|5(3 Seconds)|\n"
    "                           6(12 Seconds)|7(17 Seconds)|8(22 Seconds)|\n"
    "                           9(27 Seconds)|10(32 Seconds)>>\n"
    "            Fn: Indicating The Time That RAID Controller Will Wait For\n"
    "                A Hard Disk To Respond To A Command.\n"
    "            Ex: Configure Timeout As 8 Seconds.\n"
    "            Command: adsys timeout p=0 [Enter]\n"
    "\n"
    "retrycnt    Parameter: <p=<0(2 Times)|1(3 Times)>>\n"
    "            Fn: Indicating The Number Of Access That Will Be Attempted\n"
    "                Before The Current Command From The RAID Controller To The\n"
    "                Disk Drive Is Aborted.\n"
    "            Ex: Configure Retry Count As 2 Times.\n"
    "            Command: adsys retrycnt p=0 [Enter]\n"
    "\n"
    "bufthre     Parameter: <p=<0(75%%)|1(50%%)|2(25%%)|3(5%%)>>\n"
    "            Fn: Indicating The percentage Of Data Should Be Kept In Resident\n"
    "                Cache Memory Before Controller Starts To Flush Data\n"
    "                Onto The Hard Drives.\n"
    "            Ex: Configure Buffer Threshold As 75%%.\n"
    "            Command: adsys bufthre p=0 [Enter]\n"
    "\n"
    "readahead   Parameter: <p=<0(Auto)|1(512K)|2(1MB)|3(2MB)|4(4MB)|5(6MB)|\n"
    "                           6(8MB)|7(10MB)|8(12MB)|9(14MB)|10(16MB)>>\n"
    "            Fn: Controller ReadAhead Cache Size Configuration.\n"
    "            Ex: Configure Controller ReadAhead Cache Size As AUTO.\n"
    "            Command: adsys readahead p=0 [Enter]\n"
    "\n"
    "avstreams   Parameter: <p=<0(6)|1(11)|2(16)|3(21)|4(26)|5(31)|6(36)|7(56)|\n"
    "                           8(76)|9(96)|10(116)|11(136)|12(156)|13(176)|14(196)|\n"
    "                           15(216)|16(236)|17(256)>>\n"
    "            Fn: AV(Audio/Video) Stream Configuration\n"
    "            Ex: Configure AV Stream As 6.\n"
    "            Command: adsys avstreams p=0 [Enter]\n"
    "\n"
    "optavrec    Parameter: <p=<0(Disabled)|1(Mode1)|2(Mode2)|3(Mode3)>>\n"
    "            Fn: Optimize AV(Audio/Video) Recoding\n"
    "            Ex: Configure Optimize AV Recording As DISABLED.\n"
    "            Command: adsys optavrec p=0 [Enter]\n"
    "\n"
    "opthdedit   Parameter: <p=<0(Disabled)|1(MAC Mode 1)|2(MAC Mode 2)|\n"
    "                           3(MAC Mode 3)|4(Windows)>>\n"
    "            Fn: Controller Optimize HD Edition Configuration.\n"
    "            Ex: Configure Optimize HD Edition As DISABLED.\n"
    "            Command: adsys opthdedit p=0 [Enter]\n"
    "\n"
    "readmargin  Parameter: <p=<0~30>>\n"
    "            Fn: Configure Read Performance Margin.\n"
    "            Ex: Configure Read Performance Margin As 10%%\n"
    "            Command: adsys readmargin p=10 [Enter]\n"
    "\n"
    "writemargin Parameter: <p=<0~30>>\n"
    "            Fn: Configure Write Performance Margin.\n"
    "            Ex: Configure Write Performance Margin As 10%%\n"
    "            Command: adsys writemargin p=10 [Enter]\n"
    "\n"
    "readdiscard Parameter: <p=<0(Disabled)|1(Enabled)>>\n"
    "            Fn: Configure Read And Discard Parity Data.\n"
    "            Ex: Configure Read And Discard Parity Data As DISABLED\n"
    "            Command: adsys readdiscard p=0 [Enter]\n"
    "\n"
    "faildiskiftimeout Parameter: <p=<0(Disabled)|1(Enabled)>>\n"
    "            Fn: Configure Fail Disk If Any Timeout.\n"
    "            Ex: Configure Fail Disk If Any Timeout As DISABLED\n"
    "            Command: adsys faildiskiftimeout p=0 [Enter]\n"
    "\n"
    "specifichddspeed Parameter: <vendor=<0(WDC)|1(Hitachi)|2(Seagate)>>\n"
    "                            <speed=<0(Default)|1(1.5G)|2(3.0G)|3(6.0G)>>\n"
    "            Ex: Configure WDC Sata HDD Speed As 6.0G\n"
    "            Command: adsys specifichddspeed vendor=0 speed=3 [Enter]\n"
    "\n"
    "info        Parameter: None.\n"
    "            Fn: Display Advanced Feature System Info.\n"
    "            Command: adsys info [Enter]\n"
    "\n";

const char kHddPwrEntries[] =
    "spoweron    Parameter: <p=<0(0.4)|1(0.7)|2(1.0)|3(1.5)|4(2.0)|5(2.5)|\n"
    "                        6(3.0)|7(3.5)|8(4.0)|9(4.5)|10(5.0)|11(5.5)|\n"
    "                        12(6.0)>>\n"
    "            Fn: Stagger Power On Control.\n"
    "            Ex: Configure Stagger Power On Control As \"0.7\".\n"
    "            Command: hddpwr spoweron p=1 [Enter]\n"
    "\n"
    "tlowpwridle Parameter: <p=<0(Disabled)|1(2)|2(3)|3(4)|4(5)|5(6)|6(7)>>\n"
    "            Fn: Time To Hdd Low Power Idle.\n"
    "            Ex: Configure Time To Hdd Low Power Idle As DISABLED.\n"
    "            Command: hddpwr tlowpwridle p=0 [Enter]\n"
    "\n"
    "tlowrpmmode Parameter: <p=<0(Disabled)|1(10)|2(20)|3(30)|4(40)|5(50)|6(60)>>\n"
    "            Fn: Time To Hdd Low RPM Mode.\n"
    "            Ex: Configure Time To Hdd Low RPM Mode As DISABLED.\n"
    "            Command: hddpwr tlowrpmmode p=0 [Enter]\n"
    "\n"
    "spindown    Parameter: <p=<0(disabled)|1(1min)|2(3min)|3(5min)|4(10min)|\n"
    "                        5(15min)|6(20min)|7(30min)|8(40min)|9(60min)>>\n"
    "            Fn: Spin Down Idle HDD (Minutes).\n"
    "            Ex: Configure Spin Down Idle HDD As 5 Minutes.\n"
    "            Command: hddpwr spindown p=3 [Enter]\n"
    "\n"
    "info        Parameter: None.\n"
    "            Fn: Display HDD Power Management Info.\n"
    "            Command: hddpwr info [Enter]\n"
    "\n";

// Prints a page text as the output object's format would: "%%" stands for "%".
void printPageText(const char* text)
{
    std::string plain;
    for (const char* c = text; *c != '\0'; ++c) {
        plain += *c;
        if (c[0] == '%' && c[1] == '%')
            ++c;
    }
    cliout_zynmsr.Output_("%s", plain.c_str());
}

void printPageHead(const char* family)
{
    cliout_zynmsr.Output_("\n");
    cliout_zynmsr.Output_("Sub-Command & Parameters Of [ %s ]\nSub-Command Description\n", family);
    cliout_zynmsr.Output_("%s\n", std::string(std::size_t(kHelpRule), '=').c_str());
}

void printPageEnd()
{
    cliout_zynmsr.Output_("%s\n", std::string(std::size_t(kHelpRule), '=').c_str());
}

} // namespace

// ---- The one-byte settings -------------------------------------------------------------------

#define CLI_SETTING(handler, setter, family)                                   \
    int CZynlibCLI::handler(int argc, char** argv)                             \
    {                                                                          \
        return oneSetting(*this, argc, argv, &QZynlib::setter, Family::family); \
    }

CLI_SETTING(Exe_Sys_DiskCache_Cmd, ZynSetDiskCache, Sys)
CLI_SETTING(Exe_Sys_HDDReadAhead_Cmd, ZynSetHddReadAhead, Sys)
CLI_SETTING(Exe_Sys_TruncateMode_Cmd, ZynSetTruncateMode, Sys)
CLI_SETTING(Exe_Sys_SmartHddPoll_Cmd, ZynSetSMARTHddPoll, Sys)
CLI_SETTING(Exe_Sys_AutoActivate_Cmd, ZynSetAutoActivate, Sys)
CLI_SETTING(Exe_Sys_EmptyHddLED_Cmd, ZynSetEmptyHddSlotLed, Sys)
CLI_SETTING(Exe_Sys_CPUFanDetect_Cmd, ZynSetCpuFanDetection, Sys)
CLI_SETTING(Exe_Sys_SataNCQ_Cmd, ZynSetSataNCQ, Sys)
CLI_SETTING(Exe_Sys_VolReadAhead_Cmd, ZynSetVolumeDataReadAhead, Sys)
CLI_SETTING(Exe_Sys_HddQueueDepth_Cmd, ZynSetHddQueueDepth, Sys)
CLI_SETTING(Exe_Sys_NumberOfPwr_Cmd, ZynSetNumberOfPower, Sys)
CLI_SETTING(Exe_Sys_SES2_Support_Cmd, ZynSetSES2Support, Sys)
CLI_SETTING(Exe_Sys_MaxCmdLen_Cmd, ZynSetMaxCmdLen, Sys)
CLI_SETTING(Exe_Sys_WriteSameUsage_Cmd, ZynSetWriteSameForInit, Sys)
CLI_SETTING(Exe_Sys_HotPlugDiskUsage_Cmd, ZynSetHotPluggedDiskForRebuilding, Sys)
CLI_SETTING(Exe_Sys_SmartOption_Cmd, ZynSetSMARTOptionForHdd, Sys)
CLI_SETTING(Exe_Sys_SmartPollingInterval_Cmd, ZynSetSMARTPollingInterval, Sys)
CLI_SETTING(Exe_Sys_SyncTime_Cmd, ZynSetTime, Sys)
CLI_SETTING(Exe_Sys_TELR_Cmd, ZynSetTLER, Adsys)
CLI_SETTING(Exe_Sys_Timeout_Cmd, ZynSetTimeout, Adsys)
CLI_SETTING(Exe_Sys_RetryCount_Cmd, ZynSetRetryCount, Adsys)
CLI_SETTING(Exe_Sys_BufferThread_Cmd, ZynSetBufferThreshold, Adsys)
CLI_SETTING(Exe_Sys_ReadAhead_Cmd, ZynSetReadAhead, Adsys)
CLI_SETTING(Exe_Sys_AVStreams_Cmd, ZynSetAVStream, Adsys)
CLI_SETTING(Exe_Sys_OptimizeAVRecoding_Cmd, ZynSetOptimizeAVRecording, Adsys)
CLI_SETTING(Exe_Sys_OptimizeHDEditing_Cmd, ZynSetOptimizeAVEdition, Adsys)
CLI_SETTING(Exe_Sys_SASMux_Cmd, ZynSetSASMux, Adsys)
CLI_SETTING(Exe_Sys_Boot_Phy_Status_Cmd, ZynSetBootPhyStatus, Adsys)
CLI_SETTING(Exe_Sys_ReadPerformanceMargin_Cmd, ZynSetReadPerformanceMargin, Adsys)
CLI_SETTING(Exe_Sys_WritePerformanceMargin_Cmd, ZynSetWritePerformanceMargin, Adsys)
CLI_SETTING(Exe_Sys_ReadAndDiscardParityData_CFG_Cmd, ZynSetReadAndDiscardParityData, Adsys)
CLI_SETTING(Exe_Sys_FailDiskIfAnyTimeout_CFG_Cmd, ZynSetFailDiskIfAnyTimeOut, Adsys)
CLI_SETTING(Exe_HddPwr_StaggerPowerOn_Cmd, ZynSetStaggerPowerOn, HddPwr)
CLI_SETTING(Exe_HddPwr_TimeToLowPwrIdle_Cmd, ZynSetHddLowPowerIdleMode, HddPwr)
CLI_SETTING(Exe_HddPwr_TimeToLowRPMMode_Cmd, ZynSetHddLowRPMMode, HddPwr)
CLI_SETTING(Exe_HddPwr_SpinDownHdd_Cmd, ZynSetHddSpinDownMode, HddPwr)

#undef CLI_SETTING

// ---- The settings of a shape of their own ----------------------------------------------------

int CZynlibCLI::Exe_Sys_ChangRebuildPriorityMode_Cmd(int argc, char** argv)
{
    return fourStepSetting(*this, argc, argv, &QZynlib::ZynSetRebuildPriority);
}

int CZynlibCLI::Exe_Sys_MaxSpeed_Cmd(int argc, char** argv)
{
    return fourStepSetting(*this, argc, argv, &QZynlib::ZynSetMaxAtaMode);
}

int CZynlibCLI::Exe_Sys_SATAHDDSpeed_Cmd(int argc, char** argv)
{
    if (argc == 0)
        return refuse(usageOf(Family::Adsys));
    if (argc == 1 && cliwords::isHelpWord(argv[0]))
        return showHelp(*this, Family::Adsys);
    if (argc != kSpeedWords)
        return refuse(kInvalid);
    int speed = 0;
    int vendor = 0;
    if (!GetArgIntValue(argc, argv, "speed", &speed))
        return refuse(kSpeedMissing);
    if (!GetArgIntValue(argc, argv, "vendor", &vendor))
        return refuse(kVendorMissing);
    if (unsigned(speed) > unsigned(kByteMax) || unsigned(vendor) > unsigned(kByteMax))
        return resultLine(ZYN_ERR_INVALID_ARG);
    return resultLine(ZynSetSataHddSpeed(u8(vendor), u8(speed)));
}

// ---- Help pages ------------------------------------------------------------------------------

int CZynlibCLI::Display_Sys_CMD_Help(int, char**)
{
    printPageHead("sys");
    printPageText(kSysAlways);
    if (m_sysInfo.family() == sSYSTEM_INFO::kEnclosureFamily)
        printPageText(kSysEnclosureFamily);
    else if (m_sysInfo.family() == sSYSTEM_INFO::kSataFamily)
        printPageText(kSysSataFamily);
    printPageText(kSysSettings);
    printPageText(kSysTail);
    printPageEnd();
    return 0;
}

int CZynlibCLI::Display_Adsys_CMD_Help(int, char**)
{
    printPageHead("adsys");
    if (m_sysInfo.family() == sSYSTEM_INFO::kSataFamily)
        printPageText(kAdsysSataFamily);
    printPageText(kAdsysEntries);
    printPageEnd();
    return 0;
}

int CZynlibCLI::Display_HddPwr_CMD_Help(int, char**)
{
    printPageHead("hddpwr");
    printPageText(kHddPwrEntries);
    printPageEnd();
    return 0;
}
