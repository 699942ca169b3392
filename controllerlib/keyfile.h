// The volume encryption key file: a header, one entry per volume set (its name, serial,
// encryption type and key) and a CRC-32 trailer. One codec for everything that writes or reads
// these files; a reader validates every size against the bytes it holds before using any.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zynkey {

// Layout, all integers little-endian.
constexpr std::size_t kMagicSize = 24;            // kMagic, no terminator
constexpr std::size_t kFillerOffset = 24;
constexpr std::size_t kFillerSize = 32;           // spaces
constexpr std::size_t kZeroOffset = 56;           // u32 0
constexpr std::size_t kTotalOffset = 60;          // u32 total length, trailer included
constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kNameSize = 16;
constexpr std::size_t kSerialOffset = 16;
constexpr std::size_t kSerialSize = 16;
constexpr std::size_t kTypeOffset = 32;           // u16
constexpr std::size_t kKeyLengthOffset = 34;      // u16
constexpr std::size_t kEntryHeadSize = 36;
constexpr std::size_t kTrailerSize = 4;           // u32 CRC-32 of every byte before it
constexpr std::size_t kMinSize = kHeaderSize + kTrailerSize;
constexpr std::size_t kMaxEntries = 128;
constexpr std::size_t kMaxKeyLength = 256;
constexpr std::size_t kMaxSize = kMinSize + kMaxEntries * (kEntryHeadSize + kMaxKeyLength);   // 37444
extern const char kMagic[];

// The key length of an encryption type: 0 and 2 give 256, 1 gives 64, 3 gives 32, others 0.
std::size_t keyLengthOf(unsigned type);

struct Entry {
    uint8_t name[kNameSize];
    uint8_t serial[kSerialSize];
    uint16_t type = 0;
    std::string key;          // at most kMaxKeyLength bytes are written
};

// The whole file for `entries` (at most kMaxEntries are taken).
std::vector<uint8_t> build(const std::vector<Entry>& entries);

// Where an entry lies in a validated file.
struct EntryAt {
    std::size_t offset;       // of its 36-byte head
    std::size_t keyLength;
};
// True when `data` is a whole key file: size kMinSize..kMaxSize, the magic, the filler, the
// total length equal to the size, every entry inside the bytes before the trailer and ending
// exactly there, and the CRC-32 right. The entries are given in file order.
bool parse(const uint8_t* data, std::size_t size, std::vector<EntryAt>* entries);

// Recomputes the trailer of a file of `size` bytes (size >= kMinSize).
void reseal(uint8_t* data, std::size_t size);

} // namespace zynkey
