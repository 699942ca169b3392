#include "cli/cli-words.h"

#include <strings.h>

#include <cstdio>

namespace cliwords {

namespace {

template <std::size_t N>
constexpr WordList listOf(const char* const (&words)[N])
{
    return WordList{words, N};
}

const char* const kDisabledEnabledWords[] = {"Disabled", "Enabled"};
const char* const kEnabledDisabledWords[] = {"Enabled", "Disabled"};
const char* const kTaskPriorityWords[] = {"Ultra Low(5%)", "Low(20%)", "Medium(50%)", "High(80%)"};
const char* const kHostModeWords[] = {"RAID", "JBOD"};
const char* const kSataModeWords[] = {"SATA150", "SATA150+NCQ", "SATA300", "SATA300+NCQ"};
const char* const kHddReadAheadWords[] = {"Enabled", "Disabled Maxtor", "Disabled"};
const char* const kVolumeReadAheadWords[] = {"Normal", "Aggressive", "Conservative", "Disabled"};
const char* const kQueueDepthWords[] = {"1(Disabled)", "2", "4", "8", "16", "32"};
const char* const kSlotLedWords[] = {"ON", "OFF"};
const char* const kSasMuxWords[] = {"Auto", "Internal", "External"};
const char* const kCommandLengthWords[] = {"148K", "256K", "512K", "1M", "2M", "4M"};
const char* const kDiskCacheWords[] = {"Auto", "Enabled", "Disabled"};
const char* const kWriteSameWords[] = {"SAS And SATA", "SAS Only", "SATA Only"};
const char* const kHotPluggedDiskWords[] = {"Blank Disk Only", "Always", "Disabled"};
const char* const kTruncationWords[] = {"Multiples Of 10G", "Multiples Of 1G", "No Truncation"};
const char* const kSmartOptionWords[] = {"Failed The Drive", "Failed The Drive If Hot Spare Exist", "Alert Only"};
const char* const kSmartIntervalWords[] = {"On Demand",  "30 Seconds", "1 Minute", "5 Minutes",
                                           "10 Minutes", "20 Minutes", "30 Minutes", "1 Hour",
                                           "2 Hours",    "3 Hours",    "6 Hours",  "12 Hours"};
const char* const kStaggerPowerOnWords[] = {"0.4", "0.7", "1.0", "1.5", "2.0", "2.5", "3.0",
                                            "3.5", "4.0", "4.5", "5.0", "5.5", "6.0"};
const char* const kLowPowerIdleWords[] = {"Disabled", "2", "3", "4", "5", "6", "7"};
const char* const kLowRpmModeWords[] = {"Disabled", "10", "20", "30", "40", "50", "60"};
const char* const kSpinDownWords[] = {"Disabled", "1", "3", "5", "10", "15", "20", "30", "40", "60"};
const char* const kTlerWords[] = {"Default", "Disabled", "5 Seconds", "6 Seconds", "7 Seconds"};
const char* const kTimeoutWords[] = {"8 Seconds",   "7 Seconds",   "6 Seconds",   "5 Seconds",   "4 Seconds",
                                     "3 Seconds",   "12 Seconds",  "17 Seconds",  "22 Seconds",  "27 Seconds",
                                     "32 Seconds",  "40 Seconds",  "50 Seconds",  "60 Seconds",  "75 Seconds",
                                     "90 Seconds",  "105 Seconds", "120 Seconds", "2.0 Seconds", "1.2 Second",
                                     "0.8 Second"};
const char* const kRetryWords[] = {"2 Times", "3 Times"};
const char* const kBufferThresholdWords[] = {"75%", "50%", "25%", "5%"};
const char* const kReadAheadWords[] = {"Auto", "512K", "1MB", "2MB", "4MB", "6MB", "8MB", "10MB", "12MB", "14MB", "16MB"};
const char* const kAvStreamsWords[] = {"6",   "11",  "16",  "21",  "26",  "31",  "36",  "56",  "76",
                                       "96",  "116", "136", "156", "176", "196", "216", "236", "256"};
const char* const kOptimizeAvRecordingWords[] = {"Disabled", "Mode1", "Mode2", "Mode3"};
const char* const kPhyStatusWords[] = {"Default", "Enabled", "Disabled"};
const char* const kSataHddSpeedWords[] = {"Default", "1.5G", "3.0G", "6.0G"};
const char* const kMeridiemWords[] = {"AM", "PM"};
const char* const kPowerButtonWords[] = {"On", "Off"};

// Clock record bits.
constexpr unsigned kLowDigit = 0x0F;
constexpr unsigned kTensOfSeconds = 0x07;   // after the shift by 4
constexpr unsigned kTensOfHours24 = 0x03;   // after the shift by 4
constexpr unsigned kTwelveHourForm = 0x40;
constexpr unsigned kAfternoon = 0x20;
constexpr unsigned kTenHours12 = 0x10;
constexpr unsigned kTenMonths = 0x10;
constexpr int kCentury = 2000;

int bcd(unsigned byte, unsigned tensMask)
{
    return int(((byte >> 4) & tensMask) * 10 + (byte & kLowDigit));
}

} // namespace

const WordList kDisabledEnabled = listOf(kDisabledEnabledWords);
const WordList kEnabledDisabled = listOf(kEnabledDisabledWords);
const WordList kTaskPriority = listOf(kTaskPriorityWords);
const WordList kHostMode = listOf(kHostModeWords);
const WordList kSataMode = listOf(kSataModeWords);
const WordList kHddReadAhead = listOf(kHddReadAheadWords);
const WordList kVolumeReadAhead = listOf(kVolumeReadAheadWords);
const WordList kQueueDepth = listOf(kQueueDepthWords);
const WordList kSlotLed = listOf(kSlotLedWords);
const WordList kSasMux = listOf(kSasMuxWords);
const WordList kCommandLength = listOf(kCommandLengthWords);
const WordList kDiskCache = listOf(kDiskCacheWords);
const WordList kWriteSame = listOf(kWriteSameWords);
const WordList kHotPluggedDisk = listOf(kHotPluggedDiskWords);
const WordList kTruncation = listOf(kTruncationWords);
const WordList kSmartOption = listOf(kSmartOptionWords);
const WordList kSmartInterval = listOf(kSmartIntervalWords);
const WordList kStaggerPowerOn = listOf(kStaggerPowerOnWords);
const WordList kLowPowerIdle = listOf(kLowPowerIdleWords);
const WordList kLowRpmMode = listOf(kLowRpmModeWords);
const WordList kSpinDown = listOf(kSpinDownWords);
const WordList kTler = listOf(kTlerWords);
const WordList kTimeout = listOf(kTimeoutWords);
const WordList kRetry = listOf(kRetryWords);
const WordList kBufferThreshold = listOf(kBufferThresholdWords);
const WordList kReadAhead = listOf(kReadAheadWords);
const WordList kAvStreams = listOf(kAvStreamsWords);
const WordList kOptimizeAvRecording = listOf(kOptimizeAvRecordingWords);
const WordList kPhyStatus = listOf(kPhyStatusWords);
const WordList kSataHddSpeed = listOf(kSataHddSpeedWords);
const WordList kMeridiem = listOf(kMeridiemWords);
const WordList kPowerButton = listOf(kPowerButtonWords);

bool isHelpWord(const char* word)
{
    return word != nullptr && (strcasecmp(word, "-h") == 0 || strcasecmp(word, "-help") == 0);
}

std::string wordOf(const WordList& list, unsigned value)
{
    if (value < list.count)
        return list.words[value];
    char text[24];
    std::snprintf(text, sizeof text, "Unknown(%u)", value);
    return text;
}

std::string rtcText(const unsigned char (&rtc)[kRtcRecordSize])
{
    const int second = bcd(rtc[kRtcSecond], kTensOfSeconds);
    const int minute = bcd(rtc[kRtcMinute], kTensOfSeconds);
    const int day = bcd(rtc[kRtcDay], kLowDigit);
    const unsigned monthByte = rtc[kRtcMonth];
    const int month = int(monthByte & kLowDigit) + ((monthByte & kTenMonths) != 0 ? 10 : 0);
    const int year = kCentury + bcd(rtc[kRtcYear], kLowDigit);
    const unsigned hourByte = rtc[kRtcHour];
    char text[64];
    if ((hourByte & kTwelveHourForm) == 0) {
        std::snprintf(text, sizeof text, "RTC Time : %4d/%02d/%02d %02d:%02d:%02d", year, month, day,
                      bcd(hourByte, kTensOfHours24), minute, second);
    } else {
        const int hour = int(hourByte & kLowDigit) + ((hourByte & kTenHours12) != 0 ? 10 : 0);
        const std::string meridiem = wordOf(kMeridiem, (hourByte & kAfternoon) != 0 ? 1 : 0);
        std::snprintf(text, sizeof text, "RTC Time : %4d/%02d/%02d %02d:%02d:%02d(%s)", year, month, day, hour,
                      minute, second, meridiem.c_str());
    }
    return text;
}

} // namespace cliwords
