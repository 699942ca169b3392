// RAID configuration: raid sets, hot spares, volume sets, pass-through disks and drives.
#include "zynlib.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr u8 kCmdCreatePassThrough = 0x40;
constexpr u8 kCmdModifyPassThrough = 0x41;
constexpr u8 kCmdDeletePassThrough = 0x42;
constexpr u8 kCmdIdentifyDevice = 0x43;
constexpr u8 kCmdRevertSP = 0x44;
constexpr u8 kCmdEraseFailDisk = 0x45;
constexpr u8 kCmdClone = 0x46;
constexpr u8 kCmdCreateRaidSet = 0x50;
constexpr u8 kCmdDeleteRaidSet = 0x51;
constexpr u8 kCmdExpandRaidSet = 0x52;
constexpr u8 kCmdActivateRaidSet = 0x53;
constexpr u8 kCmdCreateHotSpare = 0x54;
constexpr u8 kCmdDeleteHotSpare = 0x55;
constexpr u8 kCmdOfflineRaidSet = 0x56;
constexpr u8 kCmdCreateSedRaidSet = 0x57;
constexpr u8 kCmdDeleteSedRaidSet = 0x58;
constexpr u8 kCmdDeleteIseRaidSet = 0x59;
constexpr u8 kCmdCreateVolume = 0x60;
constexpr u8 kCmdModifyVolume = 0x61;
constexpr u8 kCmdDeleteVolume = 0x62;
constexpr u8 kCmdStartCheck = 0x63;
constexpr u8 kCmdStopCheck = 0x64;
constexpr u8 kCmdCreateNestedVolume = 0x65;
constexpr u8 kCmdLockVolume = 0x66;

constexpr int kExpandMaskSize = 57;
constexpr int kExpandListSize = 1023;
constexpr int kExpandMaxDrives = 32;
constexpr int kExpandMaskMaxVolume = 16;
constexpr int kExpandListTriples = 69;
constexpr int kOlderFamilyDrives = 32;
constexpr int kKeep = 255;

// The 16-byte name field: the name when it fits, else a field whose first byte is 0.
void putName(u8* field, const char* name, char fill)
{
    std::memset(field, fill, 16);
    if (name == nullptr || strnlen(name, 17) > 16) {
        field[0] = 0;
        return;
    }
    std::memcpy(field, name, strnlen(name, 16));
}

// Gigabytes to 512-byte blocks; false for a capacity no block count can hold.
bool toBlocks(double gigabytes, u64* blocks)
{
    if (!std::isfinite(gigabytes) || gigabytes < 0)
        return false;
    const double b = gigabytes * 1000.0 * 1000.0 * 1000.0 / 512.0;
    if (b >= 18446744073709551616.0)
        return false;
    *blocks = u64(b);
    return true;
}

bool listUsable(const _DEVICE_LIST* list)
{
    return list != nullptr && list->count > 0 && list->count <= _DEVICE_LIST::kMaxDrives;
}

// Stripe size in sectors to its code (8 .. 2048 sectors give 0 .. 8); another size has none,
// and the controller is told to keep it rather than to change it to 4 KB.
u8 stripeCode(u32 sectors)
{
    for (u8 code = 0; code <= 8; ++code)
        if (sectors == (8u << code))
            return code;
    return kKeep;
}

} // namespace

bool CZynlib::listToMask(const _DEVICE_LIST* list, unsigned int* mask)
{
    if (!listUsable(list))
        return false;
    unsigned int bits = 0;
    for (int i = 0; i < list->count; ++i) {
        // A drive number above 31 would address another drive through the mask.
        if (list->drives[i].slot >= kOlderFamilyDrives)
            return false;
        bits |= 1u << list->drives[i].slot;
    }
    *mask = bits;
    return true;
}

// ---- Raid sets -----------------------------------------------------------------------------

u32 CZynlib::ZynCreateRaidSet(unsigned int mask, char* name)
{
    u8 payload[20];
    zynwire::putU32(payload, mask);
    putName(payload + 4, name, ' ');
    return statusCommand(kCmdCreateRaidSet, payload, sizeof payload);
}

u32 CZynlib::ZynCreateRaidSet(_DEVICE_LIST* list, char* name, unsigned char mode)
{
    if (!m_sysInfo.isEnclosureFamily()) {
        unsigned int mask = 0;
        if (!listToMask(list, &mask))
            return ZYN_ERR_INVALID_ARG;
        return ZynCreateRaidSet(mask, name);
    }
    return ZynCreateSEDRaidSetForm(kCmdCreateRaidSet, list, name, mode);
}

u32 CZynlib::ZynCreateSEDRaidSetForm(u8 command, _DEVICE_LIST* list, char* name, unsigned char mode)
{
    // The count goes as one byte.
    if (!listUsable(list) || list->count > 255)
        return ZYN_ERR_INVALID_ARG;
    std::vector<u8> payload(size_t(21 + 2 * list->count), 0);
    payload[0] = u8(list->count);
    putName(payload.data() + 4, name, 0);
    payload[20] = mode;
    for (int i = 0; i < list->count; ++i) {
        payload[size_t(21 + 2 * i)] = list->drives[i].enclosure;
        payload[size_t(22 + 2 * i)] = list->drives[i].slot;
    }
    return statusCommand(command, payload.data(), int(payload.size()));
}

u32 CZynlib::ZynCreateSEDRaidSet(_DEVICE_LIST* list, char* name, unsigned char mode)
{
    if (!m_sysInfo.isEnclosureFamily())
        return ZYN_ERR_INVALID_ARG;
    return ZynCreateSEDRaidSetForm(kCmdCreateSedRaidSet, list, name, mode);
}

u32 CZynlib::ZynDelRaidSet(char raid)
{
    const u8 payload = u8(raid);
    return statusCommand(kCmdDeleteRaidSet, &payload, 1);
}

u32 CZynlib::ZynExpandRaidSet(unsigned char raid, unsigned int mask, _VOL_MOD_LIST* changes)
{
    u8 payload[kExpandMaskSize] = {raid};
    zynwire::putU32(payload + 1, mask);
    if (changes != nullptr) {
        for (int i = 0; i < changes->count; ++i) {
            const _VOL_MOD_LIST::Entry& e = changes->entries[i];
            // The triples of volumes above 16 would lie past the payload.
            if (e.volume > kExpandMaskMaxVolume)
                return ZYN_ERR_INVALID_ARG;
            u8* triple = payload + 5 + 3 * e.volume;
            triple[0] = 1;
            triple[1] = e.level;
            triple[2] = e.stripe;
        }
    }
    return statusCommand(kCmdExpandRaidSet, payload, sizeof payload);
}

u32 CZynlib::ZynExpandRaidSet(unsigned char raid, _DEVICE_LIST* list, _VOL_MOD_LIST* changes)
{
    if (!m_sysInfo.isEnclosureFamily()) {
        unsigned int mask = 0;
        if (!listToMask(list, &mask))
            return ZYN_ERR_INVALID_ARG;
        return ZynExpandRaidSet(raid, mask, changes);
    }
    if (!listUsable(list) || list->count > kExpandMaxDrives)
        return ZYN_ERR_INVALID_ARG;
    std::vector<u8> payload(kExpandListSize, 0);
    payload[0] = raid;
    payload[1] = u8(list->count);
    for (int i = 0; i < list->count; ++i) {
        payload[size_t(5 + 2 * i)] = list->drives[i].enclosure;
        payload[size_t(6 + 2 * i)] = list->drives[i].slot;
    }
    if (changes != nullptr) {
        for (int i = 0; i < changes->count; ++i) {
            const _VOL_MOD_LIST::Entry& e = changes->entries[i];
            const size_t at = size_t(kExpandListTriples + 3 * e.volume);
            if (at + 3 > payload.size())
                return ZYN_ERR_INVALID_ARG;
            payload[at] = 1;
            payload[at + 1] = e.level;
            payload[at + 2] = e.stripe;
        }
    }
    return statusCommand(kCmdExpandRaidSet, payload.data(), int(payload.size()));
}

u32 CZynlib::ZynActiveRaidSet(unsigned char raid)
{
    return statusCommand(kCmdActivateRaidSet, &raid, 1);
}

u32 CZynlib::ZynOfflineRaidSet(char raid)
{
    const u8 payload = u8(raid);
    return statusCommand(kCmdOfflineRaidSet, &payload, 1);
}

u32 CZynlib::ZynDelSEDRaidSet(char raid, unsigned char erase)
{
    if (erase > 1)
        return ZYN_ERR_INVALID_ARG;
    const u8 payload[4] = {u8(raid), 0, 0, erase};
    return statusCommand(kCmdDeleteSedRaidSet, payload, sizeof payload);
}

u32 CZynlib::ZynDelISERaidSet(char raid)
{
    const u8 payload[4] = {u8(raid), 0, 0, 0};
    return statusCommand(kCmdDeleteIseRaidSet, payload, sizeof payload);
}

// ---- Hot spares ----------------------------------------------------------------------------

u32 CZynlib::ZynCreateHotSpare(unsigned int mask)
{
    u8 payload[4];
    zynwire::putU32(payload, mask);
    return statusCommand(kCmdCreateHotSpare, payload, sizeof payload);
}

u32 CZynlib::ZynDeleteHotSpare(unsigned int mask)
{
    u8 payload[4];
    zynwire::putU32(payload, mask);
    return statusCommand(kCmdDeleteHotSpare, payload, sizeof payload);
}

u32 CZynlib::ZynCreateHotSpare(_DEVICE_LIST* list, unsigned char type, unsigned short raid)
{
    if (!m_sysInfo.isEnclosureFamily()) {
        unsigned int mask = 0;
        if (!listToMask(list, &mask))
            return ZYN_ERR_INVALID_ARG;
        return ZynCreateHotSpare(mask);
    }
    if (!listUsable(list))
        return ZYN_ERR_INVALID_ARG;
    for (int i = 0; i < list->count; ++i) {
        u8 payload[9] = {0xFF, 0xFF, 0xFF, 0xFF, list->drives[i].enclosure, list->drives[i].slot, type};
        zynwire::putU16(payload + 7, raid);
        const u32 rc = statusCommand(kCmdCreateHotSpare, payload, sizeof payload);
        if (rc != ZYN_OK)
            return rc;
    }
    return ZYN_OK;
}

u32 CZynlib::ZynDeleteHotSpare(_DEVICE_LIST* list)
{
    if (!m_sysInfo.isEnclosureFamily()) {
        unsigned int mask = 0;
        if (!listToMask(list, &mask))
            return ZYN_ERR_INVALID_ARG;
        return ZynDeleteHotSpare(mask);
    }
    if (!listUsable(list))
        return ZYN_ERR_INVALID_ARG;
    // Each request is as long as the list (4 + 2n bytes), though only its first six bytes count.
    std::vector<u8> payload(size_t(4 + 2 * list->count), 0);
    for (int i = 0; i < list->count; ++i) {
        std::fill(payload.begin(), payload.end(), 0);
        payload[0] = payload[1] = payload[2] = payload[3] = 0xFF;
        payload[4] = list->drives[i].enclosure;
        payload[5] = list->drives[i].slot;
        const u32 rc = statusCommand(kCmdDeleteHotSpare, payload.data(), int(payload.size()));
        if (rc != ZYN_OK)
            return rc;
    }
    return ZYN_OK;
}

// ---- Volume sets ---------------------------------------------------------------------------

u32 CZynlib::ZynCreateVolSet(_VOLUMESET_CAP* cap, unsigned char win)
{
    if (cap == nullptr || cap->size != sizeof(_VOLUMESET_CAP))
        return ZYN_ERR_INVALID_ARG;
    u64 blocks = 0;
    if (!toBlocks(cap->capacity, &blocks))
        return ZYN_ERR_INVALID_ARG;
    const u8* raw = reinterpret_cast<const u8*>(cap);
    u8 payload[41] = {cap->raidSet};
    std::memcpy(payload + 1, cap->name, 16);
    zynwire::putU64(payload + 17, blocks);
    std::memcpy(payload + 25, raw + 29, 8);
    payload[33] = u8((cap->flags & 1) | ((win & 1) << 1));
    payload[34] = cap->encryption;
    return statusCommand(kCmdCreateVolume, payload, sizeof payload);
}

u32 CZynlib::ZynCreateVolSetR5060(unsigned char count, unsigned char* raids, _VOLUMESET_CAP* cap, unsigned char mode)
{
    if (cap == nullptr || cap->size != sizeof(_VOLUMESET_CAP) || count >= 9 || (count > 0 && raids == nullptr) ||
        !m_sysInfo.hasExtendedVolumeRecord())
        return ZYN_ERR_INVALID_ARG;
    u64 blocks = 0;
    if (!toBlocks(cap->capacity, &blocks))
        return ZYN_ERR_INVALID_ARG;
    const u8* raw = reinterpret_cast<const u8*>(cap);
    u8 payload[43] = {count};
    std::memcpy(payload + 1, raids, count);
    std::memcpy(payload + 9, cap->name, 16);
    zynwire::putU64(payload + 25, blocks);
    std::memcpy(payload + 33, raw + 29, 8);
    payload[41] = u8((cap->flags & 1) | 2 | (mode == 1 ? 4 : 0));
    payload[42] = cap->encryption;
    return statusCommand(kCmdCreateNestedVolume, payload, sizeof payload);
}

u32 CZynlib::ZynModifyVolSet(_NEW_VOLUMESET_CAP* cap)
{
    if (cap == nullptr || cap->size != sizeof(_NEW_VOLUMESET_CAP))
        return ZYN_ERR_INVALID_ARG;
    u64 blocks = 0;
    const bool newCapacity = cap->capacity > 0;
    if (newCapacity && !toBlocks(cap->capacity, &blocks))
        return ZYN_ERR_INVALID_ARG;
    sGUI_VOLUMESET current;
    const u32 rc = ZynGetVolSetInfo(cap->volume, &current);
    if (rc != ZYN_OK)
        return rc;
    u8 payload[37] = {cap->volume};
    if (cap->name[0] != 0)
        std::memcpy(payload + 1, cap->name, 16);
    if (newCapacity)
        zynwire::putU64(payload + 17, blocks);
    payload[25] = current.raidLevel();
    payload[26] = stripeCode(current.stripe());
    std::memcpy(payload + 27, current.bytes + sGUI_VOLUMESET::kChannel, 6);
    for (int i = 0; i < 8; ++i)
        if (cap->settings[i] != kKeep)
            payload[25 + i] = cap->settings[i];
    return statusCommand(kCmdModifyVolume, payload, sizeof payload);
}

u32 CZynlib::ZynDelVolSet(unsigned char vol)
{
    return statusCommand(kCmdDeleteVolume, &vol, 1);
}

u32 CZynlib::ZynStartCheckVolume(unsigned char vol, unsigned char a, unsigned char b)
{
    const u8 payload[3] = {vol, u8(a ? 0 : 1), u8(b ? 0 : 1)};
    return statusCommand(kCmdStartCheck, payload, sizeof payload);
}

u32 CZynlib::ZynStopCheckVolume()
{
    return statusCommand(kCmdStopCheck, nullptr, 0);
}

u32 CZynlib::ZynLockEncryptedVolSet(unsigned char vol)
{
    return statusCommand(kCmdLockVolume, &vol, 1);
}

// ---- Pass-through disks and drives ---------------------------------------------------------

u32 CZynlib::ZynCreatePassthroughDisk(_PASS_DISK_CAP* cap)
{
    if (cap == nullptr || cap->size != sizeof(_PASS_DISK_CAP))
        return ZYN_ERR_INVALID_ARG;
    const u8* raw = reinterpret_cast<const u8*>(cap);
    return statusCommand(kCmdCreatePassThrough, raw + 4, 7);
}

u32 CZynlib::ZynCreatePassthroughDisk(unsigned char enc, unsigned char slot, _PASS_DISK_CAP* cap)
{
    if (cap == nullptr || cap->size != sizeof(_PASS_DISK_CAP))
        return ZYN_ERR_INVALID_ARG;
    const u8* raw = reinterpret_cast<const u8*>(cap);
    u8 payload[8] = {};
    if (m_sysInfo.isEnclosureFamily()) {
        payload[0] = enc;
        payload[1] = slot;
        std::memcpy(payload + 2, raw + 5, 6);
    } else {
        payload[0] = slot;
        std::memcpy(payload + 1, raw + 5, 6);
    }
    return statusCommand(kCmdCreatePassThrough, payload, sizeof payload);
}

u32 CZynlib::passThroughVolume(const sGUI_PHY_DRV& drive, sGUI_VOLUMESET* volume)
{
    if (!(drive.stateLow() & sGUI_PHY_DRV::kStatePassThrough))
        return ZYN_ERR_INVALID_ARG;
    sGUI_RAIDSET raid;
    u32 rc = ZynGetRaidSetInfo(drive.raidSet(), &raid);
    if (rc != ZYN_OK)
        return rc;
    return ZynGetVolSetInfo(raid.volumeNumber(0), volume);
}

u32 CZynlib::ZynModifyPassthroughDisk(_PASS_DISK_CAP* cap)
{
    if (cap == nullptr || cap->size != sizeof(_PASS_DISK_CAP))
        return ZYN_ERR_INVALID_ARG;
    sGUI_PHY_DRV drive;
    u32 rc = ZynGetPhysicalDriveInfo(cap->drive, &drive);
    if (rc != ZYN_OK)
        return rc;
    sGUI_VOLUMESET volume;
    rc = passThroughVolume(drive, &volume);
    if (rc != ZYN_OK)
        return rc;
    const u8* raw = reinterpret_cast<const u8*>(cap);
    u8 payload[7] = {cap->drive};
    for (int i = 0; i < 6; ++i)
        payload[1 + i] = raw[5 + i] != kKeep ? raw[5 + i] : volume.bytes[sGUI_VOLUMESET::kChannel + i];
    return statusCommand(kCmdModifyPassThrough, payload, sizeof payload);
}

u32 CZynlib::ZynModifyPassthroughDisk(unsigned char enc, unsigned char slot, _PASS_DISK_CAP* cap)
{
    if (cap == nullptr || cap->size != sizeof(_PASS_DISK_CAP))
        return ZYN_ERR_INVALID_ARG;
    if (!m_sysInfo.isEnclosureFamily()) {
        cap->drive = slot;
        return ZynModifyPassthroughDisk(cap);
    }
    sGUI_PHY_DRV drive;
    u32 rc = ZynGetPhysicalDriveInfo(enc, slot, &drive);
    if (rc != ZYN_OK)
        return rc;
    sGUI_VOLUMESET volume;
    rc = passThroughVolume(drive, &volume);
    if (rc != ZYN_OK)
        return rc;
    const u8* raw = reinterpret_cast<const u8*>(cap);
    u8 payload[8] = {enc, slot};
    for (int i = 0; i < 6; ++i)
        payload[2 + i] = raw[5 + i] != kKeep ? raw[5 + i] : volume.bytes[sGUI_VOLUMESET::kChannel + i];
    return statusCommand(kCmdModifyPassThrough, payload, sizeof payload);
}

u32 CZynlib::ZynDelPassthroughDisk(unsigned char drive)
{
    return statusCommand(kCmdDeletePassThrough, &drive, 1);
}

u32 CZynlib::ZynDelPassthroughDisk(unsigned char enc, unsigned char slot)
{
    if (!m_sysInfo.isEnclosureFamily())
        return ZynDelPassthroughDisk(slot);
    const u8 payload[2] = {enc, slot};
    return statusCommand(kCmdDeletePassThrough, payload, sizeof payload);
}

u32 CZynlib::ZynIdentifyDisk(unsigned int mask)
{
    u8 payload[5] = {0};
    zynwire::putU32(payload + 1, mask);
    return statusCommand(kCmdIdentifyDevice, payload, sizeof payload);
}

u32 CZynlib::ZynSASIdentifyDisk(unsigned char mode, unsigned char enc, unsigned char slot)
{
    if (!m_sysInfo.isEnclosureFamily())
        return ZYN_ERR_INVALID_ARG;
    const bool accepted = (mode == 0 && enc < 255 && slot < 255) || (mode == 1 && enc < 255) || mode == 2;
    if (!accepted)
        return ZYN_ERR_INVALID_ARG;
    // Every locate light off first.
    const u8 stop[4] = {0, 2, 0, 0};
    statusCommand(kCmdIdentifyDevice, stop, sizeof stop);
    const u8 payload[4] = {0, mode, u8(mode == 2 ? 0 : enc), u8(mode == 2 ? 0 : slot)};
    return statusCommand(kCmdIdentifyDevice, payload, sizeof payload);
}

u32 CZynlib::ZynFailDisk(unsigned char enc, unsigned char slot)
{
    const u8 args[2] = {u8(m_sysInfo.isEnclosureFamily() ? enc : 0), slot};
    u8 reply[kReadReplySize];
    int length = 0;
    return SetupRequest(SetupOpFailDisk, args, sizeof args, reply, &length);
}

u32 CZynlib::ZynActivateFailDisk(unsigned char enc, unsigned char slot)
{
    const u8 args[2] = {u8(m_sysInfo.isEnclosureFamily() ? enc : 0), slot};
    u8 reply[kReadReplySize];
    int length = 0;
    return SetupRequest(SetupOpActivateDisk, args, sizeof args, reply, &length);
}

u32 CZynlib::ZynEraseFailDisk(unsigned char enc, unsigned char slot)
{
    const u8 payload[2] = {u8(m_sysInfo.isEnclosureFamily() ? enc : 0), slot};
    return statusCommand(kCmdEraseFailDisk, payload, sizeof payload);
}

u32 CZynlib::ZynRevertSP(unsigned char enc, unsigned char slot, unsigned char* psid)
{
    if (psid == nullptr || strnlen(reinterpret_cast<const char*>(psid), 33) != 32)
        return ZYN_ERR_INVALID_ARG;
    u8 payload[37] = {u8(m_sysInfo.isEnclosureFamily() ? enc : 0), slot};
    std::memcpy(payload + 5, psid, 32);
    return statusCommand(kCmdRevertSP, payload, sizeof payload);
}

u32 CZynlib::ZynCloneDisk(_DEVICE_LIST* source, _DEVICE_LIST* target, unsigned char mode)
{
    if (!m_sysInfo.isEnclosureFamily() || !listUsable(source) || !listUsable(target) ||
        source->count != target->count || source->count > 255 || mode > 1)
        return ZYN_ERR_INVALID_ARG;
    const int n = source->count;
    std::vector<u8> payload(size_t(5 + 4 * n), 0);
    payload[1] = u8(n);
    payload[2] = mode;
    for (int i = 0; i < n; ++i) {
        payload[size_t(5 + 4 * i)] = source->drives[i].enclosure;
        payload[size_t(6 + 4 * i)] = source->drives[i].slot;
        payload[size_t(7 + 4 * i)] = target->drives[i].enclosure;
        payload[size_t(8 + 4 * i)] = target->drives[i].slot;
    }
    return statusCommand(kCmdClone, payload.data(), int(payload.size()));
}

u32 CZynlib::ZynAbortDiskCloning(unsigned short drive)
{
    const u8 payload[2] = {1, u8(drive & 0xFF)};
    return statusCommand(kCmdClone, payload, sizeof payload);
}
