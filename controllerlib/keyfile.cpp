#include "keyfile.h"

#include "cliutil.h"
#include "records.h"

#include <algorithm>
#include <cstring>

namespace zynkey {

const char kMagic[] = "ZynEncryptionKeyFile    ";
static_assert(sizeof kMagic == kMagicSize + 1, "the magic fills its field");

namespace {

constexpr unsigned kTypeLong = 0;
constexpr unsigned kTypeShortPassword = 1;
constexpr unsigned kTypeAes = 2;
constexpr unsigned kTypeShortAes = 3;
constexpr std::size_t kLongKey = 256;
constexpr std::size_t kPasswordKey = 64;
constexpr std::size_t kShortKey = 32;

uint32_t crcOf(const uint8_t* data, std::size_t size)
{
    Crc32 crc;
    crc.AddData(data, unsigned(size));
    return crc.GetCrc32();
}

} // namespace

std::size_t keyLengthOf(unsigned type)
{
    switch (type) {
    case kTypeLong:
    case kTypeAes: return kLongKey;
    case kTypeShortPassword: return kPasswordKey;
    case kTypeShortAes: return kShortKey;
    default: return 0;
    }
}

std::vector<uint8_t> build(const std::vector<Entry>& entries)
{
    std::vector<uint8_t> file(kHeaderSize, 0);
    std::memcpy(file.data(), kMagic, kMagicSize);
    std::memset(file.data() + kFillerOffset, ' ', kFillerSize);
    const std::size_t count = std::min(entries.size(), kMaxEntries);
    for (std::size_t i = 0; i < count; ++i) {
        const Entry& e = entries[i];
        const std::size_t keyLength = std::min(e.key.size(), kMaxKeyLength);
        uint8_t head[kEntryHeadSize] = {};
        std::memcpy(head, e.name, kNameSize);
        std::memcpy(head + kSerialOffset, e.serial, kSerialSize);
        zynwire::putU16(head + kTypeOffset, e.type);
        zynwire::putU16(head + kKeyLengthOffset, uint16_t(keyLength));
        file.insert(file.end(), head, head + kEntryHeadSize);
        file.insert(file.end(), e.key.begin(), e.key.begin() + long(keyLength));
    }
    file.resize(file.size() + kTrailerSize, 0);
    zynwire::putU32(file.data() + kTotalOffset, uint32_t(file.size()));
    reseal(file.data(), file.size());
    return file;
}

bool parse(const uint8_t* data, std::size_t size, std::vector<EntryAt>* entries)
{
    entries->clear();
    if (data == nullptr || size < kMinSize || size > kMaxSize)
        return false;
    if (std::memcmp(data, kMagic, kMagicSize) != 0)
        return false;
    for (std::size_t i = 0; i < kFillerSize; ++i)
        if (data[kFillerOffset + i] != ' ')
            return false;
    if (zynwire::getU32(data + kTotalOffset) != size)
        return false;
    if (crcOf(data, size - kTrailerSize) != zynwire::getU32(data + size - kTrailerSize))
        return false;
    const std::size_t end = size - kTrailerSize;
    std::size_t at = kHeaderSize;
    while (at < end) {
        if (end - at < kEntryHeadSize)
            return false;
        const std::size_t keyLength = zynwire::getU16(data + at + kKeyLengthOffset);
        if (end - at - kEntryHeadSize < keyLength)
            return false;
        entries->push_back({at, keyLength});
        at += kEntryHeadSize + keyLength;
    }
    return true;
}

void reseal(uint8_t* data, std::size_t size)
{
    if (size < kMinSize)
        return;
    zynwire::putU32(data + size - kTrailerSize, crcOf(data, size - kTrailerSize));
}

} // namespace zynkey
