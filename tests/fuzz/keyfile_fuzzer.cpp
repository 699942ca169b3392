// Fuzz target for the volume key file reader: a key file comes from any file the user names.
// An accepted file's entries must lie inside the bytes before the trailer, end exactly there,
// and a file built from them again must equal the input. A broken invariant is a trap.
#include "keyfile.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact copy, so that a read past the end is a sanitizer fault.
    std::vector<uint8_t> exact(data, data + size);
    std::vector<zynkey::EntryAt> entries;
    if (!zynkey::parse(exact.data(), exact.size(), &entries))
        return 0;
    std::size_t at = zynkey::kHeaderSize;
    std::vector<zynkey::Entry> again;
    for (const zynkey::EntryAt& e : entries) {
        check(e.offset == at);
        at += zynkey::kEntryHeadSize + e.keyLength;
        check(at <= size - zynkey::kTrailerSize);
        zynkey::Entry copy;
        std::memcpy(copy.name, exact.data() + e.offset, zynkey::kNameSize);
        std::memcpy(copy.serial, exact.data() + e.offset + zynkey::kSerialOffset, zynkey::kSerialSize);
        copy.type = uint16_t(exact[e.offset + zynkey::kTypeOffset] | (exact[e.offset + zynkey::kTypeOffset + 1] << 8));
        const char* key = reinterpret_cast<const char*>(exact.data() + e.offset + zynkey::kEntryHeadSize);
        copy.key.assign(key, e.keyLength);
        again.push_back(copy);
    }
    check(at == size - zynkey::kTrailerSize);
    // Files with more than the entries a file holds, or longer keys, are not rebuilt alike.
    if (entries.size() <= zynkey::kMaxEntries) {
        bool shortKeys = true;
        for (const zynkey::EntryAt& e : entries)
            shortKeys = shortKeys && e.keyLength <= zynkey::kMaxKeyLength;
        if (shortKeys) {
            const std::vector<uint8_t> built = zynkey::build(again);
            check(built == exact);
        }
    }
    return 0;
}
