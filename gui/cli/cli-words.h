// The words the system commands read and show: the help request, the words of the one-byte
// settings of the controller, and the clock line of its real-time clock. Every lookup is bounded: a value beyond its list shows as
// "Unknown(N)".
#pragma once

#include <cstddef>
#include <string>

namespace cliwords {

struct WordList {
    const char* const* words;
    std::size_t count;
};

// True for a help request of a sub-command: "-h" or "-help" in any case.
bool isHelpWord(const char* word);

// The word of `value`, or "Unknown(value)" when the list has none.
std::string wordOf(const WordList& list, unsigned value);

extern const WordList kDisabledEnabled;    // 0 "Disabled", 1 "Enabled"
extern const WordList kEnabledDisabled;    // 0 "Enabled", 1 "Disabled"
extern const WordList kTaskPriority;
extern const WordList kHostMode;
extern const WordList kSataMode;
extern const WordList kHddReadAhead;
extern const WordList kVolumeReadAhead;
extern const WordList kQueueDepth;
extern const WordList kSlotLed;
extern const WordList kSasMux;
extern const WordList kCommandLength;
extern const WordList kDiskCache;
extern const WordList kWriteSame;
extern const WordList kHotPluggedDisk;
extern const WordList kTruncation;
extern const WordList kSmartOption;
extern const WordList kSmartInterval;
extern const WordList kStaggerPowerOn;
extern const WordList kLowPowerIdle;
extern const WordList kLowRpmMode;
extern const WordList kSpinDown;
extern const WordList kTler;
extern const WordList kTimeout;
extern const WordList kRetry;
extern const WordList kBufferThreshold;
extern const WordList kReadAhead;
extern const WordList kAvStreams;
extern const WordList kOptimizeAvRecording;
extern const WordList kPhyStatus;
extern const WordList kSataHddSpeed;
extern const WordList kMeridiem;
extern const WordList kPowerButton;

// The bytes of the controller's clock record the clock line reads (binary-coded decimal).
constexpr std::size_t kRtcRecordSize = 10;
enum RtcByte { kRtcSecond = 0, kRtcMinute = 1, kRtcHour = 2, kRtcDay = 4, kRtcMonth = 5, kRtcYear = 6 };
// The clock line's text (without "Message: "): "RTC Time : yyyy/mm/dd hh:mm:ss", with the
// meridiem word in parentheses when the hour byte is in 12-hour form.
std::string rtcText(const unsigned char (&rtc)[kRtcRecordSize]);

} // namespace cliwords
