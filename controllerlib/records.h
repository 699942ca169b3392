// Wire records exchanged with the controller: packed, little-endian, with a fixed size.
// Each record is kept as the controller sent it; the accessors name the fields the program uses.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace zynwire {

inline uint16_t getU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t getU32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t getU64(const uint8_t* p) { return uint64_t(getU32(p)) | (uint64_t(getU32(p + 4)) << 32); }
inline void putU16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void putU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void putU64(uint8_t* p, uint64_t v)
{
    for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i));
}
// A fixed-width text field up to its first NUL (never past the field).
inline std::string getText(const uint8_t* p, size_t width)
{
    size_t n = 0;
    while (n < width && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}
// Copies `text` into a fixed-width field, NUL-padded, truncated to the width.
inline void putText(uint8_t* p, size_t width, const std::string& text)
{
    std::memset(p, 0, width);
    std::memcpy(p, text.data(), text.size() < width ? text.size() : width);
}

} // namespace zynwire

#pragma pack(push, 1)

// System information: reply of command 0x23.
struct sSYSTEM_INFO {
    uint8_t bytes[256];

    enum Offset {
        kVendorName = 0, kVendorNameSize = 40,
        kSerialNumber = 40, kSerialNumberSize = 16,
        kFirmwareVersion = 56, kFirmwareVersionSize = 16,
        kBootRomVersion = 72, kBootRomVersionSize = 16,
        kMbrVersion = 88, kMbrVersionSize = 16,
        kModelName = 104, kModelNameSize = 8,
        kIpAddress = 116,
        kEventRingCapacity = 148,
        kMacAddress = 152,
        kJbodMode = 160,
        kDriveChannels = 174,
        kVolumeSetNumbers = 177,
        kRaidSetNumbers = 178,
        kOnBoardNetwork = 179,
        kBoardType = 188,
        kFamily = 189,
        kHighestEnclosure = 193,
        kExtendedVolumeRecord = 194,
        kModelSuffix = 208, kModelSuffixSize = 48,
    };
    // Family byte value of the enclosure-based controllers.
    static constexpr uint8_t kEnclosureFamily = 3;

    std::string vendorName() const { return zynwire::getText(bytes + kVendorName, kVendorNameSize); }
    std::string serialNumber() const { return zynwire::getText(bytes + kSerialNumber, kSerialNumberSize); }
    std::string firmwareVersion() const { return zynwire::getText(bytes + kFirmwareVersion, kFirmwareVersionSize); }
    std::string bootRomVersion() const { return zynwire::getText(bytes + kBootRomVersion, kBootRomVersionSize); }
    std::string mbrVersion() const { return zynwire::getText(bytes + kMbrVersion, kMbrVersionSize); }
    std::string modelName() const { return zynwire::getText(bytes + kModelName, kModelNameSize); }
    std::string modelSuffix() const { return zynwire::getText(bytes + kModelSuffix, kModelSuffixSize); }
    const uint8_t* ipAddress() const { return bytes + kIpAddress; }
    uint32_t eventRingCapacity() const { return zynwire::getU32(bytes + kEventRingCapacity); }
    const uint8_t* macAddress() const { return bytes + kMacAddress; }
    bool jbodMode() const { return bytes[kJbodMode] == 1; }
    uint8_t driveChannels() const { return bytes[kDriveChannels]; }
    uint8_t volumeSetNumbers() const { return bytes[kVolumeSetNumbers]; }
    uint8_t raidSetNumbers() const { return bytes[kRaidSetNumbers]; }
    bool hasOnBoardNetwork() const { return bytes[kOnBoardNetwork] != 0; }
    uint8_t boardType() const { return bytes[kBoardType]; }
    uint8_t family() const { return bytes[kFamily]; }
    bool isEnclosureFamily() const { return bytes[kFamily] == kEnclosureFamily; }
    uint8_t highestEnclosure() const { return bytes[kHighestEnclosure]; }
    bool hasExtendedVolumeRecord() const { return bytes[kExtendedVolumeRecord] != 0; }
};
static_assert(sizeof(sSYSTEM_INFO) == 256, "system information record is 256 bytes");

#pragma pack(pop)

// Identify string (reply of command 0x13): the product text, with the decimal model number at
// offset 24. The JBOD enclosures answer with one of the JBOD texts.
namespace zynident {
constexpr int kIdentifySize = 64;
constexpr int kIdentifyCopy = 48;   // bytes the library copies to the caller
constexpr int kModelNumberOffset = 24;
constexpr const char* kRaidSubsystem = "Varnel RAID Subsystem";
constexpr const char* kJbodSubsystem = "Varnel JBOD Subsystem";
constexpr const char* kJbod6GSubsystem = "Varnel 6G JBOD Subsystem";
// The other spelling some enclosures use.
constexpr const char* kJbod6GSubsystemAlt = "Varnel JBOD 6G Subsystem";
} // namespace zynident
