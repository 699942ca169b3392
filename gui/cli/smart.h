// The drives' SMART attribute names and the attribute page printer of the console.
#pragma once

#include <cstdint>

struct SmartAttName {
    uint32_t id;
    const char* name;
};

// Rotating drives and solid-state drives name some attributes differently.
constexpr int kSmartAttRows = 36;
constexpr int kSmartSSDAttRows = 30;
extern const SmartAttName SmartAttTable[kSmartAttRows];
extern const SmartAttName SmartSSDAttTable[kSmartSSDAttRows];

// SMART data and threshold pages (ATA layout): a 16-bit revision, then 30 entries of 12 bytes.
namespace smartpage {
constexpr int kPageSize = 512;
constexpr int kEntries = 30;
constexpr int kEntrySize = 12;
constexpr int kFirstEntry = 2;
// Attribute entry: id, 16-bit flags, value, worst, 48-bit raw value.
constexpr int kId = 0, kFlags = 1, kValue = 3, kWorst = 4, kRaw = 5, kRawSize = 6;
// Threshold entry: id, threshold.
constexpr int kThreshold = 1;
// Self-test execution status; from this value on a test is running.
constexpr int kSelfTestStatus = 363;
constexpr uint8_t kSelfTestRunning = 240;
} // namespace smartpage

// The name of the first row with `id`, from the solid-state table when ssd is 1; null for none.
const char* FoundAttrString(unsigned char id, unsigned char ssd);

// Prints one drive's attributes with their thresholds; `drive` is the 1-based number shown.
// Both pages hold smartpage::kPageSize bytes.
void PrintSmartResult(int drive, const uint8_t* attributes, const uint8_t* thresholds, unsigned char ssd);
