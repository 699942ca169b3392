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

// Names of raid sets and volume sets are UTF-8 on the wire. Another tool may have written a
// name in another encoding, or cut it inside a character; such bytes read as Latin-1.

// Whether a byte of UTF-8 continues a character (10xxxxxx) rather than begins one.
inline bool isUtf8Continuation(uint8_t byte)
{
    constexpr uint8_t kTopBits = 0xC0, kContinuation = 0x80;
    return (byte & kTopBits) == kContinuation;
}

// Whether `n` bytes are well-formed UTF-8: no overlong form, surrogate or code point past
// U+10FFFF, no sequence cut short.
inline bool isUtf8(const uint8_t* p, size_t n)
{
    size_t i = 0;
    while (i < n) {
        const uint8_t lead = p[i];
        // The bytes that follow each kind of lead byte, and the range the first of them must
        // keep to (narrower after E0, ED, F0 and F4).
        size_t more = 0;
        uint8_t low = 0x80, high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (n - i <= more || p[i + 1] < low || p[i + 1] > high)
            return false;
        for (size_t k = 2; k <= more; ++k)
            if (!isUtf8Continuation(p[i + k]))
                return false;
        i += more + 1;
    }
    return true;
}

// Text bytes from a controller as UTF-8: as they are when they are UTF-8, else each byte as
// the Latin-1 character it stands for.
inline std::string textAsUtf8(const uint8_t* p, size_t n)
{
    if (isUtf8(p, n))
        return std::string(reinterpret_cast<const char*>(p), n);
    std::string out;
    out.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        if (p[i] < 0x80) {
            out += char(p[i]);
        } else {
            out += char(0xC0 | (p[i] >> 6));
            out += char(0x80 | (p[i] & 0x3F));
        }
    }
    return out;
}
inline std::string textAsUtf8(const std::string& bytes)
{
    return textAsUtf8(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// The length of the longest start of `text` (UTF-8) that holds whole characters only and at
// most `width` bytes.
inline size_t utf8Fit(const std::string& text, size_t width)
{
    if (text.size() <= width)
        return text.size();
    // Back from the first byte left out to the first byte of its character.
    constexpr int kMaxContinuation = 3;
    size_t n = width;
    for (int k = 0; k < kMaxContinuation && n > 0 && isUtf8Continuation(uint8_t(text[n])); ++k)
        --n;
    return n;
}

// Copies the name `text` (UTF-8) into a field of `width` bytes filled with `fill`, cut between
// characters where it is longer.
inline void putName(uint8_t* p, size_t width, const std::string& text, char fill)
{
    std::memset(p, fill, width);
    std::memcpy(p, text.data(), utf8Fit(text, width));
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
        kProcessorClock = 124,   // u32, MHz
        kICacheSize = 128,       // u32, bytes
        kDCacheSize = 132,       // u32, bytes
        kSCacheSize = 136,       // u32, bytes
        kMemorySize = 140,       // u32, MB
        kMemoryClock = 144,      // u32, MHz
        kEventRingCapacity = 148,
        kMacAddress = 152,
        kDhcp = 158,             // nonzero: the address comes from DHCP
        kBeeper = 159,           // nonzero: the beeper sounds
        kJbodMode = 160,
        kMaxSataMode = 161,      // highest SATA mode supported, 0-3
        kMemoryEcc = 162,        // nonzero: ECC memory
        kDriveChannels = 174,
        kVolumeSetNumbers = 177,
        kRaidSetNumbers = 178,
        kOnBoardNetwork = 179,
        kRaid6Support = 180,     // nonzero: Raid6 volumes (and Raid60) can be made
        kBoardType = 188,
        kFamily = 189,
        kHighestEnclosure = 193,
        kExtendedVolumeRecord = 194,
        kCapabilities = 196,     // capability bits (zynconst::kCap...)
        kModelSuffix = 208, kModelSuffixSize = 48,
    };
    // Family byte value of the enclosure-based controllers.
    static constexpr uint8_t kEnclosureFamily = 3;
    // Family byte value of the SATA controllers.
    static constexpr uint8_t kSataFamily = 2;
    // Board types 1 and 2, the compact boards: a hardware monitor without voltages, and an SNMP
    // path among the setup fields.
    static constexpr uint8_t kCompactBoardA = 1;
    static constexpr uint8_t kCompactBoardB = 2;
    // Board types 8 and 9, the fibre channel boards, with the larger setup layouts.
    static constexpr uint8_t kFibreBoardMask = 0xFE;
    static constexpr uint8_t kFibreBoard = 8;
    // The volume-set number count of the controllers with 128 volume sets.
    static constexpr uint8_t kVolumeSetNumbers128 = 0x80;

    std::string vendorName() const { return zynwire::getText(bytes + kVendorName, kVendorNameSize); }
    std::string serialNumber() const { return zynwire::getText(bytes + kSerialNumber, kSerialNumberSize); }
    std::string firmwareVersion() const { return zynwire::getText(bytes + kFirmwareVersion, kFirmwareVersionSize); }
    std::string bootRomVersion() const { return zynwire::getText(bytes + kBootRomVersion, kBootRomVersionSize); }
    std::string mbrVersion() const { return zynwire::getText(bytes + kMbrVersion, kMbrVersionSize); }
    std::string modelName() const { return zynwire::getText(bytes + kModelName, kModelNameSize); }
    std::string modelSuffix() const { return zynwire::getText(bytes + kModelSuffix, kModelSuffixSize); }
    const uint8_t* ipAddress() const { return bytes + kIpAddress; }
    uint32_t processorClock() const { return zynwire::getU32(bytes + kProcessorClock); }
    uint32_t iCacheSize() const { return zynwire::getU32(bytes + kICacheSize); }
    uint32_t dCacheSize() const { return zynwire::getU32(bytes + kDCacheSize); }
    uint32_t sCacheSize() const { return zynwire::getU32(bytes + kSCacheSize); }
    uint32_t memorySize() const { return zynwire::getU32(bytes + kMemorySize); }
    uint32_t memoryClock() const { return zynwire::getU32(bytes + kMemoryClock); }
    bool memoryEcc() const { return bytes[kMemoryEcc] != 0; }
    uint32_t eventRingCapacity() const { return zynwire::getU32(bytes + kEventRingCapacity); }
    const uint8_t* macAddress() const { return bytes + kMacAddress; }
    bool dhcpEnabled() const { return bytes[kDhcp] != 0; }
    bool beeperEnabled() const { return bytes[kBeeper] != 0; }
    bool jbodMode() const { return bytes[kJbodMode] == 1; }
    uint8_t driveChannels() const { return bytes[kDriveChannels]; }
    uint8_t volumeSetNumbers() const { return bytes[kVolumeSetNumbers]; }
    uint8_t raidSetNumbers() const { return bytes[kRaidSetNumbers]; }
    bool hasOnBoardNetwork() const { return bytes[kOnBoardNetwork] != 0; }
    bool supportsRaid6() const { return bytes[kRaid6Support] != 0; }
    uint8_t boardType() const { return bytes[kBoardType]; }
    bool compactBoard() const { return bytes[kBoardType] == kCompactBoardA || bytes[kBoardType] == kCompactBoardB; }
    bool fibreBoard() const { return (bytes[kBoardType] & kFibreBoardMask) == kFibreBoard; }
    uint8_t family() const { return bytes[kFamily]; }
    bool isEnclosureFamily() const { return bytes[kFamily] == kEnclosureFamily; }
    uint8_t highestEnclosure() const { return bytes[kHighestEnclosure]; }
    bool hasExtendedVolumeRecord() const { return bytes[kExtendedVolumeRecord] != 0; }
    uint8_t capabilities() const { return bytes[kCapabilities]; }
};
static_assert(sizeof(sSYSTEM_INFO) == 256, "system information record is 256 bytes");

// Raid set: reply of command 0x20. A member count of 0 means the raid set does not exist.
struct sGUI_RAIDSET {
    uint8_t bytes[272];

    enum Offset {
        kName = 0, kNameSize = 16,
        kMinMemberCapacity = 16,     // u64, 512-byte blocks
        kDegraded = 24,              // u32, nonzero: degraded
        kMemberSlots = 28,           // slot of member i at 28 + i
        kMemberCount = 61,
        kStateFlags = 62,            // bits 0 and 2 both set: complete
        kVolumeCount = 63,
        kVolumeNumbers = 64,         // volume numbers 0-15
        kFlags = 80,                 // u16; 0x1000: self-encrypting raid set
        kVolumeLimit = 82,           // & 0x83 == 0x80: the raid set holds at most 16 volumes
        kFreeSegmentCount = 83,
        kFreeSegments = 84,          // u32 sizes, in units of 512 blocks
        kVolumeNumbersHigh = 112,    // volume number i (i >= 16) at 112 + i
        kMemberEnclosures = 240,     // enclosure of member i at 240 + i
    };
    static constexpr int kMaxMembers = 32;
    static constexpr int kMaxVolumes = 128;
    static constexpr int kMaxFreeSegments = 7;
    static constexpr uint16_t kFlagSed = 0x1000;
    // State flag bits: online (cleared while the raid set is offline) and complete (every
    // member present); a raid set shows its volumes' states only with both set.
    static constexpr uint8_t kStateOnline = 0x01;
    static constexpr uint8_t kStateComplete = 0x04;
    // The entry stands for a pass-through disk, not a raid set.
    static constexpr uint8_t kStatePassThrough = 0x80;
    // The slot of a member that is missing.
    static constexpr uint8_t kNoMember = 255;

    bool exists() const { return bytes[kMemberCount] != 0; }
    std::string name() const { return zynwire::getText(bytes + kName, kNameSize); }
    uint64_t minMemberCapacity() const { return zynwire::getU64(bytes + kMinMemberCapacity); }
    uint32_t degraded() const { return zynwire::getU32(bytes + kDegraded); }
    int memberCount() const { return bytes[kMemberCount]; }
    // Slot and enclosure of member i (i < kMaxMembers).
    uint8_t memberSlot(int i) const { return bytes[kMemberSlots + i]; }
    uint8_t memberEnclosure(int i) const { return bytes[kMemberEnclosures + i]; }
    uint8_t stateFlags() const { return bytes[kStateFlags]; }
    bool isPassThrough() const { return (bytes[kStateFlags] & kStatePassThrough) != 0; }
    int volumeCount() const { return bytes[kVolumeCount]; }
    // Volume number i (i < kMaxVolumes): 0-15 from 64, the rest from 112 + i.
    uint8_t volumeNumber(int i) const { return i < 16 ? bytes[kVolumeNumbers + i] : bytes[kVolumeNumbersHigh + i]; }
    uint16_t flags() const { return zynwire::getU16(bytes + kFlags); }
    int supportedVolumes() const { return (bytes[kVolumeLimit] & 0x83) == 0x80 ? 16 : kMaxVolumes; }
    // Byte 82 as the raid set page reads it: bit 7 with the low two bits 01 stands for 128 volumes.
    static constexpr uint8_t kVolumeLimitMask = 0x83;
    static constexpr uint8_t kVolumeLimit128 = 0x81;
    bool holds128Volumes() const { return (bytes[kVolumeLimit] & kVolumeLimitMask) == kVolumeLimit128; }
    int freeSegmentCount() const { return bytes[kFreeSegmentCount]; }
    uint32_t freeSegment(int j) const { return zynwire::getU32(bytes + kFreeSegments + 4 * j); }

    void setName(const std::string& text) { zynwire::putText(bytes + kName, kNameSize, text); }
    void setMinMemberCapacity(uint64_t blocks) { zynwire::putU64(bytes + kMinMemberCapacity, blocks); }
    void setDegraded(uint32_t v) { zynwire::putU32(bytes + kDegraded, v); }
    void setMember(int i, uint8_t slot, uint8_t enclosure) { bytes[kMemberSlots + i] = slot; bytes[kMemberEnclosures + i] = enclosure; }
    void setMemberCount(int n) { bytes[kMemberCount] = uint8_t(n); }
    void setStateFlags(uint8_t f) { bytes[kStateFlags] = f; }
    void setVolumeCount(int n) { bytes[kVolumeCount] = uint8_t(n); }
    void setVolumeNumber(int i, uint8_t v) { (i < 16 ? bytes[kVolumeNumbers + i] : bytes[kVolumeNumbersHigh + i]) = v; }
    void setFlags(uint16_t f) { zynwire::putU16(bytes + kFlags, f); }
    void setFreeSegmentCount(int n) { bytes[kFreeSegmentCount] = uint8_t(n); }
    void setFreeSegment(int j, uint32_t size) { zynwire::putU32(bytes + kFreeSegments + 4 * j, size); }
};
static_assert(sizeof(sGUI_RAIDSET) == 272, "raid set record is 272 bytes");

// Volume set: built from the reply of command 0x21 (see ZynGetVolSetInfo). The one definition
// of the record: a capacity of 0 (its low word) means the volume set does not exist.
struct sGUI_VOLUMESET {
    uint8_t bytes[120];

    enum Offset {
        kName = 0, kNameSize = 16,
        kCapacity = 16,          // u64, 512-byte blocks
        kDegraded = 24,          // u32, a bit per member position
        kRebuildDone = 32,       // u32, a bit per member position
        kStripe = 36,            // u32, stripe size in sectors
        kState = 40,             // u32 state word
        kProgress = 44,          // u32, tenths of a per cent
        kChannel = 48, kId = 49, kLun = 50,
        kTaggedQueuing = 51,
        kCacheMode = 52,
        kMemberCount = 56,
        kRaidLevel = 57,
        kRaidSet = 58,
        kFlags = 64,             // u32 flag word
        kNestedMembers = 68,     // member volume numbers of a nested volume, one byte each
        kNestedCount = 84,
        kEncryptionType = 85,
        kKeyStatus = 86,
        kSerial = 92, kSerialSize = 16,
    };
    static constexpr int kMaxNestedMembers = 16;
    // Flag word bits.
    static constexpr uint32_t kFlagNestedMember = 0x100;
    static constexpr uint32_t kFlagWriteProtected = 0x4000;
    static constexpr uint32_t kFlagEncrypted = 0x8000;
    static constexpr uint32_t kFlagNested = 0x100000;
    static constexpr uint32_t kFlagUnlocked = 0x40000000;
    // The channel value that selects the extended layout of the 0x21 reply.
    static constexpr uint8_t kExtendedChannel = 0x80;
    // State word bits.
    static constexpr uint32_t kStateInitializing = 0x1;
    static constexpr uint32_t kStateFailed = 0x2;
    static constexpr uint32_t kStateMigrating = 0x4;
    static constexpr uint32_t kStateRebuilding = 0x8;
    static constexpr uint32_t kStateNeedInit = 0x10;
    static constexpr uint32_t kStateNeedMigrate = 0x20;
    static constexpr uint32_t kStateNeedRebuild = 0x80;
    static constexpr uint32_t kStateChecking = 0x100;
    static constexpr uint32_t kStateNeedCheck = 0x200;
    static constexpr uint32_t kStateNeedClone = 0x4000;
    static constexpr uint32_t kStateCloning = 0x8000;
    // RAID level codes (kRaidLevel); a nested volume reads them as Raid00, Raid100 and so on.
    enum RaidLevel : uint8_t {
        kLevelRaid0 = 0, kLevelRaid10 = 1, kLevelRaid3 = 2, kLevelRaid5 = 3, kLevelRaid6 = 4,
        kLevelPassThrough = 5, kRaidLevels = 6,
    };

    bool exists() const { return zynwire::getU32(bytes + kCapacity) != 0; }
    std::string name() const { return zynwire::getText(bytes + kName, kNameSize); }
    uint64_t capacity() const { return zynwire::getU64(bytes + kCapacity); }
    uint32_t degraded() const { return zynwire::getU32(bytes + kDegraded); }
    uint32_t rebuildDone() const { return zynwire::getU32(bytes + kRebuildDone); }
    uint32_t stripe() const { return zynwire::getU32(bytes + kStripe); }
    uint32_t state() const { return zynwire::getU32(bytes + kState); }
    uint32_t progress() const { return zynwire::getU32(bytes + kProgress); }
    uint8_t channel() const { return bytes[kChannel]; }
    uint8_t id() const { return bytes[kId]; }
    uint8_t lun() const { return bytes[kLun]; }
    uint8_t taggedQueuing() const { return bytes[kTaggedQueuing]; }
    uint8_t cacheMode() const { return bytes[kCacheMode]; }
    int memberCount() const { return bytes[kMemberCount]; }
    uint8_t raidLevel() const { return bytes[kRaidLevel]; }
    uint8_t raidSet() const { return bytes[kRaidSet]; }
    uint32_t flags() const { return zynwire::getU32(bytes + kFlags); }
    bool isNested() const { return (flags() & kFlagNested) != 0; }
    bool isNestedMember() const { return (flags() & kFlagNestedMember) != 0; }
    int nestedCount() const { return bytes[kNestedCount]; }
    uint8_t nestedMember(int i) const { return bytes[kNestedMembers + i]; }
    uint8_t encryptionType() const { return bytes[kEncryptionType]; }
    uint8_t keyStatus() const { return bytes[kKeyStatus]; }
    std::string serial() const { return zynwire::getText(bytes + kSerial, kSerialSize); }

    void setName(const std::string& text) { zynwire::putText(bytes + kName, kNameSize, text); }
    void setCapacity(uint64_t blocks) { zynwire::putU64(bytes + kCapacity, blocks); }
    void setDegraded(uint32_t v) { zynwire::putU32(bytes + kDegraded, v); }
    void setRebuildDone(uint32_t v) { zynwire::putU32(bytes + kRebuildDone, v); }
    void setStripe(uint32_t sectors) { zynwire::putU32(bytes + kStripe, sectors); }
    void setState(uint32_t v) { zynwire::putU32(bytes + kState, v); }
    void setProgress(uint32_t v) { zynwire::putU32(bytes + kProgress, v); }
    void setAddress(uint8_t channel, uint8_t id, uint8_t lun) { bytes[kChannel] = channel; bytes[kId] = id; bytes[kLun] = lun; }
    void setTaggedQueuing(uint8_t v) { bytes[kTaggedQueuing] = v; }
    void setCacheMode(uint8_t v) { bytes[kCacheMode] = v; }
    void setMemberCount(int n) { bytes[kMemberCount] = uint8_t(n); }
    void setRaidLevel(uint8_t level) { bytes[kRaidLevel] = level; }
    void setRaidSet(uint8_t raidSet) { bytes[kRaidSet] = raidSet; }
    void setFlags(uint32_t f) { zynwire::putU32(bytes + kFlags, f); }
    void setNestedMember(int i, uint8_t volume) { bytes[kNestedMembers + i] = volume; }
    void setNestedCount(int n) { bytes[kNestedCount] = uint8_t(n); }
    void setEncryptionType(uint8_t v) { bytes[kEncryptionType] = v; }
    void setKeyStatus(uint8_t v) { bytes[kKeyStatus] = v; }
    void setSerial(const std::string& text) { zynwire::putText(bytes + kSerial, kSerialSize, text); }
};
static_assert(sizeof(sGUI_VOLUMESET) == 120, "volume set record is 120 bytes");

// Where the 0x21 reply carries what the volume-set record holds from byte 64 on.
namespace zynvolreply {
constexpr int kSize = 128;                 // bytes the controller sends
constexpr int kHeadSize = 64;              // reply 0-63 = record 0-63
constexpr int kExtendedFrom = 64;          // reply 64-86 = record 64-86
constexpr int kExtendedTo = 87;
constexpr int kField88 = 88;               // reply 88-91 = record 88-91 with the extended channel
constexpr int kSerialExtended = 100;       // serial at 100-115 with the extended channel
constexpr int kSerialPlain = 94;           // else at 94-109
} // namespace zynvolreply

// Physical drive: reply of command 0x22. Byte 76 zero means no drive in the slot.
struct sGUI_PHY_DRV {
    uint8_t bytes[292];

    enum Offset {
        kModel = 0, kModelSize = 40,
        kSerial = 40, kSerialSize = 20,
        kFirmware = 60, kFirmwareSize = 8,
        kCapacity = 68,          // u64, 512-byte blocks
        kState = 76,             // state flags, low byte
        kStateHigh = 77,         // high byte (enclosure-based family)
        kSpareKind = 80,         // 0 global, 1 dedicated, 2 enclosure
        kRaidSet = 81,           // raid set that uses the drive, 255 none
        kMediaErrors = 88,       // i32
        kTimeouts = 92,          // i32
        kAddress = 96,           // u64, the disk's address on the enclosure family
        // ATA view (the older family, SATA disks of the enclosure family):
        kSmart = 106,            // six 4-byte attributes: value, threshold, two bytes unused
        kAtaTemperature = 130,   // u8, degrees C
        // SAS view:
        kRotation = 104,         // u16, rpm
        kSasTemperature = 106,   // u16, degrees C
        kSasCounters = 112,      // twenty u64 error counters
        kDedicatedRaidSet = 272, // u16, raid set of a dedicated hot spare
    };
    // The SMART attributes of the ATA view, in record order.
    enum SmartAttribute { SmartReadErrorRate, SmartSpinupTime, SmartReallocationCount,
                          SmartSeekErrorRate, SmartSpinupRetries, SmartCalibrationRetries,
                          kSmartAttributes };
    static constexpr int kSasCounterCount = 20;
    // A first byte of 255 in the last attribute: the disk does not report it.
    static constexpr uint8_t kSmartAbsent = 255;
    // State bits.
    static constexpr uint16_t kStatePassThrough = 0x02;
    static constexpr uint16_t kStateOfflined = 0x04;
    static constexpr uint16_t kStateMemberLow = 0x08;
    static constexpr uint16_t kStateFailed = 0x10;
    static constexpr uint16_t kStateHotSpare = 0x20;
    static constexpr uint16_t kStateFree = 0x40;
    static constexpr uint16_t kStateMember = 0x80;
    static constexpr uint16_t kStateSata = 0x100;   // enclosure family: a SATA disk
    static constexpr uint8_t kNoRaidSet = 255;

    bool present() const { return bytes[kState] != 0; }
    std::string model() const { return zynwire::getText(bytes + kModel, kModelSize); }
    std::string serial() const { return zynwire::getText(bytes + kSerial, kSerialSize); }
    std::string firmware() const { return zynwire::getText(bytes + kFirmware, kFirmwareSize); }
    uint64_t capacity() const { return zynwire::getU64(bytes + kCapacity); }
    uint8_t stateLow() const { return bytes[kState]; }
    uint8_t stateHigh() const { return bytes[kStateHigh]; }
    uint8_t spareKind() const { return bytes[kSpareKind]; }
    uint8_t raidSet() const { return bytes[kRaidSet]; }
    uint16_t dedicatedRaidSet() const { return zynwire::getU16(bytes + kDedicatedRaidSet); }
    int32_t mediaErrors() const { return int32_t(zynwire::getU32(bytes + kMediaErrors)); }
    int32_t timeouts() const { return int32_t(zynwire::getU32(bytes + kTimeouts)); }
    uint64_t address() const { return zynwire::getU64(bytes + kAddress); }
    uint8_t smartValue(int attribute) const { return bytes[kSmart + 4 * attribute]; }
    uint8_t smartThreshold(int attribute) const { return bytes[kSmart + 4 * attribute + 1]; }
    uint8_t ataTemperature() const { return bytes[kAtaTemperature]; }
    uint16_t rotation() const { return zynwire::getU16(bytes + kRotation); }
    uint16_t sasTemperature() const { return zynwire::getU16(bytes + kSasTemperature); }
    uint64_t sasCounter(int i) const { return zynwire::getU64(bytes + kSasCounters + 8 * i); }

    void setModel(const std::string& text) { zynwire::putText(bytes + kModel, kModelSize, text); }
    void setSerial(const std::string& text) { zynwire::putText(bytes + kSerial, kSerialSize, text); }
    void setFirmware(const std::string& text) { zynwire::putText(bytes + kFirmware, kFirmwareSize, text); }
    void setCapacity(uint64_t blocks) { zynwire::putU64(bytes + kCapacity, blocks); }
    void setState(uint16_t state) { bytes[kState] = uint8_t(state); bytes[kStateHigh] = uint8_t(state >> 8); }
    void setSpareKind(uint8_t v) { bytes[kSpareKind] = v; }
    void setRaidSet(uint8_t v) { bytes[kRaidSet] = v; }
    void setDedicatedRaidSet(uint16_t v) { zynwire::putU16(bytes + kDedicatedRaidSet, v); }
    void setErrorCounts(int32_t media, int32_t timeouts)
    {
        zynwire::putU32(bytes + kMediaErrors, uint32_t(media));
        zynwire::putU32(bytes + kTimeouts, uint32_t(timeouts));
    }
    void setAddress(uint64_t v) { zynwire::putU64(bytes + kAddress, v); }
    void setSmart(int attribute, uint8_t value, uint8_t threshold)
    {
        bytes[kSmart + 4 * attribute] = value;
        bytes[kSmart + 4 * attribute + 1] = threshold;
    }
    void setAtaTemperature(uint8_t v) { bytes[kAtaTemperature] = v; }
    void setRotation(uint16_t v) { zynwire::putU16(bytes + kRotation, v); }
    void setSasTemperature(uint16_t v) { zynwire::putU16(bytes + kSasTemperature, v); }
    void setSasCounter(int i, uint64_t v) { zynwire::putU64(bytes + kSasCounters + 8 * i, v); }
};
static_assert(sizeof(sGUI_PHY_DRV) == 292, "drive record is 292 bytes");

// Enclosure property: the first 64 bytes of the reply of 0x1B {enclosure, 0}.
struct sGUI_ENC_PROPERTY {
    uint8_t bytes[64];

    enum Offset {
        kVendor = 0, kVendorSize = 8,
        kName = 8, kNameSize = 16,
        kRevision = 24, kRevisionSize = 4,
        kType = 28,              // nonzero: the enclosure exists
        kSectionCounts = 30,     // count of sensor section k (0 = slots) at 30 + k
    };
    static constexpr int kSections = 5;

    bool exists() const { return bytes[kType] != 0; }
    std::string vendor() const { return zynwire::getText(bytes + kVendor, kVendorSize); }
    std::string name() const { return zynwire::getText(bytes + kName, kNameSize); }
    std::string revision() const { return zynwire::getText(bytes + kRevision, kRevisionSize); }
    uint8_t type() const { return bytes[kType]; }
    int slotCount() const { return bytes[kSectionCounts]; }
    int sectionCount(int k) const { return bytes[kSectionCounts + k]; }

    void setVendor(const std::string& text) { zynwire::putText(bytes + kVendor, kVendorSize, text); }
    void setName(const std::string& text) { zynwire::putText(bytes + kName, kNameSize, text); }
    void setRevision(const std::string& text) { zynwire::putText(bytes + kRevision, kRevisionSize, text); }
    void setType(uint8_t type) { bytes[kType] = type; }
    void setSectionCount(int k, uint8_t n) { bytes[kSectionCounts + k] = n; }
};
static_assert(sizeof(sGUI_ENC_PROPERTY) == 64, "enclosure property record is 64 bytes");

// One entry of the controller's event log; 16 of them fill a 512-byte event page.
struct sEVET_DATA {
    uint8_t bytes[32];

    enum Offset {
        kClass = 0,      // zynevent::Class
        kCode = 1,       // the code within the class
        kChannel = 2,    // the raid set, volume set or disk slot the event is about
        kTime = 4,       // u32
        kDuration = 8,   // u32, tenths of a second
        kEnclosure = 8,  // u32, device events: the disk's enclosure position
        kCount = 12,     // u32
        kName = 16, kNameSize = 16,
    };
    // The packed time stamp: with the top bit set, bit fields of a date and time.
    static constexpr uint32_t kTimePacked = 0x80000000u;

    uint8_t eventClass() const { return bytes[kClass]; }
    uint8_t code() const { return bytes[kCode]; }
    uint8_t channel() const { return bytes[kChannel]; }
    uint32_t time() const { return zynwire::getU32(bytes + kTime); }
    uint32_t duration() const { return zynwire::getU32(bytes + kDuration); }
    uint32_t enclosure() const { return zynwire::getU32(bytes + kEnclosure); }
    uint32_t count() const { return zynwire::getU32(bytes + kCount); }
    std::string name() const { return zynwire::getText(bytes + kName, kNameSize); }

    void set(uint8_t eventClass, uint8_t code, uint8_t channel = 0)
    {
        bytes[kClass] = eventClass;
        bytes[kCode] = code;
        bytes[kChannel] = channel;
    }
    void setTime(uint32_t t) { zynwire::putU32(bytes + kTime, t); }
    void setDuration(uint32_t d) { zynwire::putU32(bytes + kDuration, d); }
    void setEnclosure(uint32_t e) { zynwire::putU32(bytes + kEnclosure, e); }
    void setCount(uint32_t c) { zynwire::putU32(bytes + kCount, c); }
    void setName(const std::string& text) { zynwire::putText(bytes + kName, kNameSize, text); }
};
static_assert(sizeof(sEVET_DATA) == 32, "event record is 32 bytes");

// Sensor values that are no reading, and the flag of a working power supply.
namespace zynsensor {
constexpr uint32_t kBatteryFailed = 254;
constexpr uint32_t kBatteryNotInstalled = 255;
constexpr uint16_t kFanNotReported = 65535;       // a fan of the older family
constexpr int32_t kTemperatureNotReported = -20;  // an enclosure's temperature sensor
constexpr uint32_t kPowerSupplyOk = 1;
} // namespace zynsensor

// One sensor kind of the hardware monitor of a controller outside the enclosure family.
struct _HWMON_INFO {
    uint16_t count;
    uint16_t values[50];
    static constexpr int kMaxValues = 50;
};
static_assert(sizeof(_HWMON_INFO) == 102, "hardware monitor record is 102 bytes");

// The sensors of one enclosure: six sections (slots, four sensor kinds, battery).
struct sSENSORS {
    struct Section {
        uint8_t count;
        uint8_t names[3072];     // 128 names of 24 bytes
        uint8_t values[512];     // u32 each
        uint8_t flags[512];      // u32 each

        uint32_t value(int i) const { return zynwire::getU32(values + 4 * i); }
        uint32_t flag(int i) const { return zynwire::getU32(flags + 4 * i); }
        // Name i, up to its first NUL and at most 24 characters.
        std::string name(int i) const { return zynwire::getText(names + kNameSize * i, kNameSize); }
    };
    // The sections in order: the slot names, four sensor kinds and the battery.
    enum SectionKind {
        kSlotSection = 0, kVoltageSection = 1, kFanSection = 2, kPowerSection = 3,
        kTemperatureSection = 4, kBatterySection = 5, kSections = 6,
    };
    static constexpr int kMaxEntries = 128;
    static constexpr int kNameSize = 24;
    static constexpr int kNamesSize = 3072;

    Section sections[kSections];
};
static_assert(sizeof(sSENSORS::Section) == 4097, "sensor section is 4097 bytes");
static_assert(sizeof(sSENSORS) == 24582, "sensors record is 24582 bytes");

// The hardware monitor of the E100 external box: its raw reply, bounded by the reply capacity.
struct _HWMON_E100 {
    uint8_t bytes[2048];

    enum Offset { kFan = 4, kVoltage0 = 8, kVoltage1 = 12, kVoltage2 = 16, kVoltage3 = 20, kTemperature0 = 22, kTemperature1 = 23 };
    uint16_t fan() const { return zynwire::getU16(bytes + kFan); }
    uint16_t voltage(int i) const { return zynwire::getU16(bytes + kVoltage0 + 4 * i); }
    int8_t temperature(int i) const { return int8_t(bytes[kTemperature0 + i]); }
};
static_assert(sizeof(_HWMON_E100) == 2048, "E100 record holds the longest reply");

// One-byte values of the setup fields the settings dialogs show (0xFF: the field gave nothing).
struct _SYS_CONFIG_INFO {
    uint8_t bytes[24];

    enum Index {
        kBeeper = 0, kTaskPriority = 1, kHostMode = 2, kHddReadAhead = 3, kStaggerPowerOn = 4,
        kSpinDown = 5, kLowPowerIdle = 6, kLowRpmMode = 7, kEmptySlotLed = 8, kCpuFan = 9,
        kSmartPolling = 10, kSasMux = 11, kSes2Support = 12, kAutoActivate = 13, kDiskCache = 14,
        kTruncation = 15, kSataNcq = 16, kVolumeReadAhead = 17, kQueueDepth = 18,
        kMaxCommandLength = 19, kWriteSame = 20, kHotPluggedDisk = 21, kSmartOption = 22,
        kSmartInterval = 23,
    };
    // A byte the controller does not have.
    static constexpr uint8_t kAbsent = 0xFF;
    // Bit 7 of the maximum command length belongs to the controller; the value is bits 0-6.
    static constexpr uint8_t kCommandLengthFlag = 0x80;
};
static_assert(sizeof(_SYS_CONFIG_INFO) == 24, "configuration record is 24 bytes");

// One-byte values of the advanced features (0: the field gave nothing); byte 16 stays 0.
struct _SYS_ADVANCED_FEATURES_INFO {
    uint8_t bytes[17];

    enum Index {
        kReadAhead = 0, kTler = 1, kBufferThreshold = 2, kTimeout = 3, kRetryCount = 4,
        kAvStreams = 5, kOptimizeAvRecording = 6, kOptimizeHdEditing = 7, kPhyStatus = 8,
        kReadMargin = 9, kWriteMargin = 10, kReadDiscardParity = 11, kFailDiskOnTimeout = 12,
        kHitachiSpeed = 13, kWdcSpeed = 14, kSeagateSpeed = 15,
    };
};
static_assert(sizeof(_SYS_ADVANCED_FEATURES_INFO) == 17, "advanced features record is 17 bytes");

// The controller's on-board network settings.
struct _NET_INFO {
    uint8_t bytes[29];

    enum Offset {
        kDhcp = 0,          // setup field 32
        kIpAddress = 1,     // setup field 16
        kGateway = 5,       // setup field 29
        kSubnetMask = 9,    // setup field 17
        kHttpPort = 13,     // setup field 44
        kTelnetPort = 15,   // setup field 55
        kSmtpPort = 17,     // setup field 80
        kCurrentIp = 19,    // system information 116-119
        kMac = 23,          // system information 152-157
    };
    uint16_t httpPort() const { return zynwire::getU16(bytes + kHttpPort); }
    uint16_t telnetPort() const { return zynwire::getU16(bytes + kTelnetPort); }
    uint16_t smtpPort() const { return zynwire::getU16(bytes + kSmtpPort); }
};
static_assert(sizeof(_NET_INFO) == 29, "network record is 29 bytes");

// Every drive of a controller: entry i holds the enclosure (0 on the older family), the slot
// or channel, and the drive record.
struct _DRV_MAP {
    struct Entry {
        uint8_t enclosure;
        uint8_t slot;
        sGUI_PHY_DRV drive;
    };
    static constexpr int kMaxEntries = 320;
    uint32_t count;
    Entry entries[kMaxEntries];
};
static_assert(sizeof(_DRV_MAP::Entry) == 294, "drive map entry is 294 bytes");
static_assert(sizeof(_DRV_MAP) == 94084, "drive map is 94084 bytes");

struct _RAID_MAP {
    struct Entry {
        int32_t number;
        sGUI_RAIDSET raidSet;
    };
    static constexpr int kMaxEntries = 128;
    uint32_t count;
    Entry entries[kMaxEntries];
};
static_assert(sizeof(_RAID_MAP::Entry) == 276, "raid set map entry is 276 bytes");
static_assert(sizeof(_RAID_MAP) == 4 + 128 * 276, "raid set map holds 128 raid sets");

struct _VOL_MAP {
    struct Entry {
        int32_t number;
        sGUI_VOLUMESET volumeSet;
    };
    static constexpr int kMaxEntries = 128;
    uint32_t count;
    Entry entries[kMaxEntries];
};
static_assert(sizeof(_VOL_MAP::Entry) == 124, "volume set map entry is 124 bytes");
static_assert(sizeof(_VOL_MAP) == 15876, "volume set map holds 128 volume sets");

// One mail recipient: display name and address, zero-padded.
struct _MAIL_ADDR {
    uint8_t bytes[70];
    enum Offset { kName = 0, kNameSize = 20, kAddress = 20, kAddressSize = 50 };
    std::string name() const { return zynwire::getText(bytes + kName, kNameSize); }
    std::string address() const { return zynwire::getText(bytes + kAddress, kAddressSize); }
    void setName(const std::string& text) { zynwire::putText(bytes + kName, kNameSize, text); }
    void setAddress(const std::string& text) { zynwire::putText(bytes + kAddress, kAddressSize, text); }
};
static_assert(sizeof(_MAIL_ADDR) == 70, "mail address entry is 70 bytes");

// The controller's mail settings.
struct _MAIL_CONFIG {
    uint8_t bytes[456];
    enum Offset {
        kSmtpServer = 0,       // field 42
        kAccount = 4,          // field 43, 50 bytes
        kPassword = 54,        // field 71, 20 bytes
        kAddresses = 74,       // fields 66-70, 70 bytes each
        kLevel1 = 424,         // field 39
        kLevels234 = 425,      // field 99
        kNotice1 = 428,        // field 40
        kNotices234 = 429,     // field 100
    };
    _MAIL_ADDR address(int entry) const
    {
        _MAIL_ADDR a;
        std::memcpy(a.bytes, bytes + kAddresses + 70 * entry, sizeof a.bytes);
        return a;
    }
};
static_assert(sizeof(_MAIL_CONFIG) == 456, "mail record is 456 bytes");

// The controller's SNMP settings (text fields are spaces when their read failed).
struct _SNMP_CONFIG {
    uint8_t bytes[136];
    enum Offset {
        kTrapAddresses = 0,    // fields 46-48, 4 bytes each
        kTrapPorts = 12,       // fields 49-51, u16 each
        kCommunity = 18,       // field 72, 16 bytes
        kContact = 34,         // field 73, 32 bytes
        kLocation = 66,        // field 74, 32 bytes
        kName = 98,            // field 75, 32 bytes
        kEventLevel = 130,     // field 52, u32
        kSnmpPath = 134,       // field 53
    };
    uint16_t trapPort(int i) const { return zynwire::getU16(bytes + kTrapPorts + 2 * i); }
    uint32_t eventLevel() const { return zynwire::getU32(bytes + kEventLevel); }
};
static_assert(sizeof(_SNMP_CONFIG) == 136, "SNMP record is 136 bytes");

// The controller's NTP settings.
struct _NTP_CONFIG {
    uint8_t bytes[12];
    enum Offset { kServers = 0, kTimeZone = 8, kDaylightSaving = 9 };
};
static_assert(sizeof(_NTP_CONFIG) == 12, "NTP record is 12 bytes");

// A list of drives for the configuration commands: enclosure and slot (the drive number on the
// older family) of each.
struct _DEVICE_LIST {
    static constexpr int kMaxDrives = 320;
    int32_t count;
    struct Drive {
        uint8_t enclosure;
        uint8_t slot;
    } drives[kMaxDrives];
};
static_assert(sizeof(_DEVICE_LIST) == 644, "device list is 644 bytes");

// Parameters of a new volume set.
struct _VOLUMESET_CAP {
    uint32_t size;            // 39
    uint8_t raidSet;
    char name[sGUI_VOLUMESET::kNameSize];
    double capacity;          // decimal gigabytes
    uint8_t level;            // 0 Raid0, 1 Raid1+0, 2 Raid3, 3 Raid5, 4 Raid6
    uint8_t stripe;           // 0-8: 4 .. 1024 KB
    uint8_t channel;
    uint8_t id;
    uint8_t lun;
    uint8_t tagged;
    uint8_t cache;
    uint8_t reserved4;        // always 4
    uint8_t flags;            // bit 0: foreground initialisation
    uint8_t encryption;
};
static_assert(sizeof(_VOLUMESET_CAP) == 39, "volume set parameters are 39 bytes");

// Changes to a volume set: a name whose first byte is 0, a capacity of 0 or less and a
// setting of 255 keep the current value.
struct _NEW_VOLUMESET_CAP {
    uint32_t size;            // 37
    uint8_t volume;
    char name[sGUI_VOLUMESET::kNameSize];
    double capacity;
    uint8_t settings[8];      // level, stripe, channel, id, lun, tagged, cache, byte 36
};
static_assert(sizeof(_NEW_VOLUMESET_CAP) == 37, "volume set changes are 37 bytes");

// The volumes' new levels and stripe sizes that go with an expansion.
struct _VOL_MOD_LIST {
    uint8_t count;
    struct Entry {
        uint8_t volume;
        uint8_t level;
        uint8_t stripe;
        uint8_t reserved;
    } entries[255];
};
static_assert(sizeof(_VOL_MOD_LIST) == 1 + 255 * 4, "volume change list");

// Parameters of a pass-through disk (255 in a setting keeps the current value when modifying).
struct _PASS_DISK_CAP {
    uint32_t size;            // 11
    uint8_t drive;            // older family
    uint8_t channel;
    uint8_t id;
    uint8_t lun;
    uint8_t tagged;
    uint8_t cache;
    uint8_t mode;             // always 4
};
static_assert(sizeof(_PASS_DISK_CAP) == 11, "pass-through parameters are 11 bytes");

// An ATA task-file command to one disk, with at most one sector of data (in and out).
struct _ATA_PASSTHROUGH_COMMAND {
    uint8_t features;
    uint8_t sectorCount;
    uint8_t lbaLow;
    uint8_t lbaMid;
    uint8_t lbaHigh;
    uint8_t device;
    uint8_t command;
    uint8_t status;          // returned
    uint8_t error;           // returned
    uint8_t reserved[6];
    uint8_t direction;       // 1 data from the disk, 2 data to the disk, else none
    uint8_t data[512];

    enum Direction : uint8_t { DataIn = 1, DataOut = 2 };
};
static_assert(sizeof(_ATA_PASSTHROUGH_COMMAND) == 528, "ATA pass-through record is 528 bytes");

// A SCSI command to one disk with optional data (in and out). The data area holds the longest
// data a reply can carry.
struct _SCSI_PASSTHROUGH_COMMAND {
    static constexpr int kCdbSize = 16;
    static constexpr int kDataCapacity = 4096;
    uint8_t cdb[kCdbSize];
    uint8_t cdbLength;
    uint8_t direction;       // 0 none, 1 from the disk, 2 to the disk
    uint8_t reserved[2];
    uint32_t dataLength;     // data to the disk; on return, the data from the disk
    uint8_t data[kDataCapacity];

    enum Direction : uint8_t { NoData = 0, DataIn = 1, DataOut = 2 };
};
static_assert(sizeof(_SCSI_PASSTHROUGH_COMMAND) == 24 + 4096, "SCSI pass-through record: data at 24");

// Ultra320 SCSI target settings (setup fields 45, 78 and 81).
struct _U320_SCSI_TARGET_CONFIG {
    uint8_t qas[4];          // channels 0-3: 0 off, 1 on
    uint8_t autoSpeedDown;
    uint8_t twoTbMode;
};
static_assert(sizeof(_U320_SCSI_TARGET_CONFIG) == 6, "U320 target record is 6 bytes");

enum _FIBRE_CH_SPEED : uint8_t { FIBRE_SPEED_0, FIBRE_SPEED_1, FIBRE_SPEED_2, FIBRE_SPEED_3 };
enum _FIBRE_TOPOLOGY : uint8_t { FIBRE_TOPOLOGY_0, FIBRE_TOPOLOGY_1, FIBRE_TOPOLOGY_2, FIBRE_TOPOLOGY_3 };
enum _FIBRE_LOOP_STATUS : uint8_t { FIBRE_LOOP_SOFT = 0, FIBRE_LOOP_HARD = 1 };

// One fibre channel port.
struct _FIBRE_CONFIG {
    uint8_t wwn[8];          // most significant byte first
    uint8_t speed;
    uint8_t topology;
    uint8_t loopId;          // low 4 bits of the stored byte
    uint8_t loopStatus;      // bit 7 of the stored byte
};
static_assert(sizeof(_FIBRE_CONFIG) == 12, "fibre port record is 12 bytes");

// A host world-wide name and its nickname.
struct _FIBRE_HOST_WWNAME {
    uint8_t wwn[8];          // most significant byte first; bytes 0-3 must not all be zero
    uint8_t nickname[24];
};
static_assert(sizeof(_FIBRE_HOST_WWNAME) == 32, "host name record is 32 bytes");

struct _FIBRE_HOST_WWNAME_LIST {
    static constexpr int kMaxEntries = 20;
    uint8_t count;
    _FIBRE_HOST_WWNAME entries[kMaxEntries];
};
static_assert(sizeof(_FIBRE_HOST_WWNAME_LIST) == 641, "host name list is 641 bytes");

// A host filter of one volume set.
struct _FIBRE_VOL_HOST_FILTER {
    uint8_t wwn[8];          // most significant byte first; bytes 0-3 must not all be zero
    uint8_t mask[8];         // most significant byte first
    uint8_t type;            // 0 include, 1 exclude
    uint8_t mode;            // 0 read/write, 1 read-only
    uint16_t tag;            // the volume's tag, in the first filter only
};
static_assert(sizeof(_FIBRE_VOL_HOST_FILTER) == 20, "host filter is 20 bytes");

struct _FIBRE_VOL_HOST_FILTER_LIST {
    static constexpr int kMaxEntries = 8;
    uint8_t count;
    uint8_t volume;          // volume-set number (low byte)
    _FIBRE_VOL_HOST_FILTER entries[kMaxEntries];
};
static_assert(sizeof(_FIBRE_VOL_HOST_FILTER_LIST) == 162, "host filter list is 162 bytes");

// The expander information block: reply bytes 4-3663 of 0x47 {0, expander}.
struct sGUI_EXP_INFO {
    static constexpr int kSize = 3660;
    static constexpr int kReplyOffset = 4;
    uint8_t bytes[kSize];
};
static_assert(sizeof(sGUI_EXP_INFO) == 3660, "expander information is 3660 bytes");

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
// Model numbers of the external boxes that have no setup table.
constexpr uint32_t kModelE100 = 100;
constexpr uint32_t kModelE200 = 200;
// Model names (system information, 8 characters at 104) of the two external boxes, whose
// hardware monitor is the E100 record.
constexpr const char* kModelNameE100 = "ZYN-E100";
constexpr const char* kModelNameE200 = "ZYN-E200";
// Models whose hardware monitor reports a processor and a controller temperature first and
// names its voltages (board types 1 and 2 only).
constexpr uint32_t kDualTemperatureModels[] = {1110, 1120, 1130, 1160};
} // namespace zynident
