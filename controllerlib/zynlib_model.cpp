// SMART and pass-through to disks, and the commands of particular controller models: Ultra320
// targets, fibre channel ports with their host names and host filters, the scheduled volume
// check, self-encrypting disk keys, expanders and the volume encryption key buffer.
#include "cliutil.h"
#include "keyfile.h"
#include "setuptable.h"
#include "zynframe.h"
#include "zynlib.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr u8 kCmdPassthrough = ZYN_CMD_PASSTHROUGH;
constexpr u8 kCmdExpander = ZYN_CMD_EXPANDER;
constexpr u8 kCmdSedKey = ZYN_CMD_SED_KEY;
constexpr u8 kCmdExpanderDhpm = 0xF4;
constexpr u8 kCmdExpanderLinkSpeed = 0xF5;

constexpr int kPassthroughRequestSize = 639;
constexpr int kPassthroughReplySize = 4096;
constexpr int kSmartRequestSize = 7;
constexpr int kAtaDataAt = 21;
constexpr int kScsiCdbAt = 29;
constexpr int kScsiDataAt = 61;
constexpr int kScsiDataOutMax = kPassthroughRequestSize - kScsiDataAt;   // 578
constexpr int kScsiReplyDataAt = 10;
constexpr u8 kAtaDataIn = ZYN_PASSTHROUGH_ATA_DATA_IN, kAtaDataOut = ZYN_PASSTHROUGH_ATA_DATA_OUT,
             kAtaNoData = ZYN_PASSTHROUGH_ATA_NO_DATA, kScsiRequest = ZYN_PASSTHROUGH_SCSI;

constexpr int kFibreFieldBuffer = 1024;
constexpr int kHostNameSize = 32;
constexpr int kFilterSize = 20;
constexpr int kFiltersPerVolume = 8;
constexpr int kVolumeFilterBytes = kFilterSize * kFiltersPerVolume;   // 160

constexpr int kExpanderReplySize = 4096;
constexpr u8 kLinkRateCodes[5] = {3, 6, 12, 24, 95};

std::atomic<int> g_keyPauseMs{2000};

// The setup-field adjustment that adds `offset` to the field's offset (and replaces the
// length when one is given).
CFieldInfo at(int64_t offset, int64_t length = 0)
{
    CFieldInfo adjust{offset, length, CFieldInfo::AddOffset};
    if (length > 0)
        adjust.flags |= CFieldInfo::SetLength;
    return adjust;
}

// A world-wide name as the setup tables store it: two little-endian 32-bit words.
void toStored(const uint8_t* name, uint8_t* stored)
{
    for (int i = 0; i < 4; ++i) {
        stored[i] = name[3 - i];
        stored[4 + i] = name[7 - i];
    }
}

void fromStored(const uint8_t* stored, uint8_t* name)
{
    toStored(stored, name);   // the same swap both ways
}

bool firstWordZero(const uint8_t* bytes)
{
    return bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 0;
}

// A 639-byte pass-through request: the sub-command, the tag, the device and the first argument.
std::vector<u8> passthroughRequest(u8 sub, u8 device, u8 first)
{
    std::vector<u8> request(kPassthroughRequestSize, 0);
    request[0] = sub;
    std::memcpy(request.data() + 1, CZynlib::kPassthroughTag, sizeof CZynlib::kPassthroughTag);
    request[5] = device;
    request[13] = first;
    return request;
}

static_assert(kKeyTextLength == CZynlib::kVolumeKeyTextSize, "one key text for the key files");

} // namespace

// ---- SMART and pass-through ----------------------------------------------------------------

u32 CZynlibSMART::ZynExeSMART(int operation, u8 device, u8 argument, u8* out)
{
    u8 request[kSmartRequestSize] = {u8(operation)};
    std::memcpy(request + 1, kPassthroughTag, sizeof kPassthroughTag);
    request[5] = device;
    request[6] = (operation == 4 || operation == 16) ? argument : 0;
    std::vector<u8> reply(kSmartReplySize, 0);
    int length = 0;
    const u32 rc = ZynCmdReadWrite(kCmdPassthrough, request, sizeof request, reply.data(), kSmartReplySize, length);
    if (rc != ZYN_OK)
        return rc;
    switch (operation) {
    case 0:
    case 1:
        if (out != nullptr)
            std::memcpy(out, reply.data() + 2, kSmartPageSize);
        return ZYN_OK;
    case 4:
    case 8:
    case 9:
        return zynwire::getU16(reply.data()) != 0 ? 1 : 0;
    case 10:
        if (out != nullptr)
            std::memcpy(out, reply.data(), 4);
        return ZYN_OK;
    case 16:
    case 17:
        if (out != nullptr)
            std::memcpy(out, reply.data(), 2);
        return ZYN_OK;
    case 18:
        if (out != nullptr)
            std::memcpy(out, reply.data(), 18);
        return ZYN_OK;
    default:
        return ZYN_OK;
    }
}

u32 CZynlib::ZynAtaPassthroughCmd(u8 first, u8 device, _ATA_PASSTHROUGH_COMMAND* c)
{
    if (c == nullptr)
        return ZYN_ERR_INVALID_ARG;
    constexpr u8 kSmart = 0xB0, kCheckPowerMode = 0xE5, kSmartThresholdCheck = 0xDA;
    if (c->command == kSmart && c->lbaMid == 0 && c->lbaHigh == 0) {
        c->lbaMid = 0x4F;
        c->lbaHigh = 0xC2;
    }
    if (c->direction == _ATA_PASSTHROUGH_COMMAND::DataIn)
        c->sectorCount = 1;
    else if (c->direction == _ATA_PASSTHROUGH_COMMAND::DataOut && c->sectorCount >= 2)
        c->sectorCount = 1;

    const u8 sub = c->direction == _ATA_PASSTHROUGH_COMMAND::DataIn    ? kAtaDataIn
                 : c->direction == _ATA_PASSTHROUGH_COMMAND::DataOut ? kAtaDataOut
                                                                       : kAtaNoData;
    std::vector<u8> request = passthroughRequest(sub, device, first);
    std::memcpy(request.data() + 6, &c->features, 7);   // features .. command
    std::memcpy(request.data() + kAtaDataAt, c->data, sizeof c->data);
    std::vector<u8> reply(kPassthroughReplySize, 0);
    int length = 0;
    const u32 rc = ZynCmdReadWrite(kCmdPassthrough, request.data(), int(request.size()), reply.data(),
                                   kPassthroughReplySize, length);
    if (rc != ZYN_OK)
        return rc;
    c->status = reply[0];
    c->error = reply[1];
    c->sectorCount = reply[2];
    c->lbaLow = reply[3];
    c->lbaMid = reply[4];
    c->lbaHigh = reply[5];
    if (c->direction == _ATA_PASSTHROUGH_COMMAND::DataIn)
        std::memcpy(c->data, reply.data() + 2, sizeof c->data);
    else if (c->command == kSmartThresholdCheck)
        c->data[0] = (reply[5] == 0x2C && reply[4] == 0xF4) ? 1 : 0;
    else if (c->command == kCheckPowerMode)
        c->data[0] = reply[2];
    return ZYN_OK;
}

u32 CZynlib::ZynScsiPassthroughCmd(u8 first, u8 device, _SCSI_PASSTHROUGH_COMMAND* c)
{
    // The request has room for a 16-byte CDB and 578 bytes of data to the disk.
    if (c == nullptr || c->cdbLength > _SCSI_PASSTHROUGH_COMMAND::kCdbSize)
        return ZYN_ERR_INVALID_ARG;
    const bool dataOut = c->direction == _SCSI_PASSTHROUGH_COMMAND::DataOut;
    if (dataOut && c->dataLength > u32(kScsiDataOutMax))
        return ZYN_ERR_INVALID_ARG;
    std::vector<u8> request = passthroughRequest(kScsiRequest, device, first);
    request[6] = c->cdbLength;
    request[kZynScsiDataOutAt] = dataOut ? 1 : 0;
    request[10] = c->direction == _SCSI_PASSTHROUGH_COMMAND::NoData ? 0 : 2;
    std::memcpy(request.data() + kScsiCdbAt, c->cdb, c->cdbLength);
    if (dataOut)
        std::memcpy(request.data() + kScsiDataAt, c->data, c->dataLength);
    std::vector<u8> reply(kPassthroughReplySize, 0);
    int length = 0;
    const u32 rc = ZynCmdReadWrite(kCmdPassthrough, request.data(), int(request.size()), reply.data(),
                                   kPassthroughReplySize, length);
    if (rc != ZYN_OK)
        return rc;
    if (reply[0] != 0 && reply[0] != 0xE1) {
        // The disk refused the command: its sense bytes.
        std::memset(c->cdb, 0, sizeof c->cdb);
        std::memcpy(c->cdb, reply.data(), 6);
        return 1;
    }
    const u32 returned = zynwire::getU32(reply.data() + 6);
    if (returned != 0) {
        const int available = std::max(0, length - kScsiReplyDataAt);
        if (returned > u32(available) || returned > u32(_SCSI_PASSTHROUGH_COMMAND::kDataCapacity))
            return ZYN_ERR_BUFFER_TOO_SMALL;
        std::memcpy(c->data, reply.data() + kScsiReplyDataAt, returned);
    }
    c->dataLength = returned;
    return ZYN_OK;
}

// ---- Ultra320 targets ----------------------------------------------------------------------

u32 CZynlib::ZynGetU320ScsiTargetConfig(_U320_SCSI_TARGET_CONFIG* config)
{
    if (config == nullptr)
        return ZYN_ERR_INVALID_ARG;
    *config = _U320_SCSI_TARGET_CONFIG{{1, 1, 1, 1}, 0, 1};
    char buffer[kFibreFieldBuffer];
    int length = 0;
    if (ZynReadSetupData(45, buffer, sizeof buffer, &length, nullptr) == ZYN_OK && length > 0)
        std::memcpy(config->qas, buffer, size_t(std::min<int>(length, sizeof config->qas)));
    if (ZynReadSetupData(78, buffer, sizeof buffer, &length, nullptr) == ZYN_OK && length > 0)
        config->autoSpeedDown = u8(buffer[0]);
    const u32 rc = ZynReadSetupData(81, buffer, sizeof buffer, &length, nullptr);
    if (rc == ZYN_OK && length > 0)
        config->twoTbMode = u8(buffer[0]);
    return rc;
}

u32 CZynlib::ZynSetQas(unsigned int channel, unsigned char value)
{
    if (channel >= 4 || value >= 2)
        return ZYN_ERR_INVALID_ARG;
    _U320_SCSI_TARGET_CONFIG config;
    const u32 rc = ZynGetU320ScsiTargetConfig(&config);
    if (rc != ZYN_OK)
        return rc;
    config.qas[channel] = value;
    return ZynWriteSetupData(45, reinterpret_cast<char*>(config.qas), sizeof config.qas, nullptr);
}

// ---- Fibre channel ports -------------------------------------------------------------------

namespace {

// Field 23: four bytes per channel (speed, topology, loop byte, one more).
constexpr int kFibreEntrySize = 4;

} // namespace

u32 CZynlib::ZynGetFibreConfig(unsigned int channel, _FIBRE_CONFIG* config)
{
    if (channel >= 4 || config == nullptr)
        return ZYN_ERR_INVALID_ARG;
    char buffer[kFibreFieldBuffer] = {};
    int length = 0;
    const u32 rc = ZynReadSetupData(23, buffer, sizeof buffer, &length, nullptr);
    if (length >= int(kFibreEntrySize * (channel + 1))) {
        const u8* entry = reinterpret_cast<const u8*>(buffer) + kFibreEntrySize * channel;
        const u8* mac = m_sysInfo.macAddress();
        const u32 number = ((u32(mac[3]) << 16 | u32(mac[4]) << 8 | mac[5]) + channel + 1) & 0xFFFFFF;
        const u8 wwn[8] = {0x21, 0x00, mac[0], mac[1], mac[2], u8(number >> 16), u8(number >> 8), u8(number)};
        std::memcpy(config->wwn, wwn, sizeof wwn);
        config->speed = entry[0];
        config->topology = entry[1];
        config->loopId = entry[2] & 0x0F;
        config->loopStatus = (entry[2] & 0x80) != 0 ? 1 : 0;
    }
    return rc;
}

// Reads a channel's entry of field 23 (speed, topology, loop byte, one more), lets `change`
// edit the first three and writes the four bytes back: what the change leaves stays as stored.
u32 CZynlib::changeFibreEntry(unsigned int channel, const std::function<void(u8& speed, u8& topology, u8& loop)>& change)
{
    char buffer[kFibreFieldBuffer] = {};
    int length = 0;
    const u32 rc = ZynReadSetupData(23, buffer, sizeof buffer, &length, nullptr);
    if (rc != ZYN_OK)
        return rc;
    if (length < int(kFibreEntrySize * (channel + 1)))
        return ZYN_ERR_INVALID_ARG;
    u8 entry[kFibreEntrySize];
    std::memcpy(entry, buffer + kFibreEntrySize * channel, sizeof entry);
    change(entry[0], entry[1], entry[2]);
    CFieldInfo adjust = at(int64_t(kFibreEntrySize) * channel);
    return ZynWriteSetupData(23, reinterpret_cast<char*>(entry), sizeof entry, &adjust);
}

u32 CZynlib::ZynSetFibreConfigSpeed(unsigned int channel, _FIBRE_CH_SPEED speed)
{
    if (channel >= 4 || speed > 3)
        return ZYN_ERR_INVALID_ARG;
    return changeFibreEntry(channel, [speed](u8& s, u8&, u8&) { s = speed; });
}

u32 CZynlib::ZynSetFibreConfigTopology(unsigned int channel, _FIBRE_TOPOLOGY topology)
{
    if (channel >= 4 || topology > 3)
        return ZYN_ERR_INVALID_ARG;
    return changeFibreEntry(channel, [topology](u8&, u8& t, u8&) { t = topology; });
}

u32 CZynlib::ZynSetFibreConfigLoopId(unsigned int channel, unsigned char id)
{
    if (channel >= 4 || id > 14)
        return ZYN_ERR_INVALID_ARG;
    // The new id, with the loop status kept.
    return changeFibreEntry(channel, [id](u8&, u8&, u8& loop) { loop = u8(id | (loop & 0x80)); });
}

u32 CZynlib::ZynSetFibreConfigLoopStatus(unsigned int channel, _FIBRE_LOOP_STATUS status)
{
    if (channel >= 4 || status > 1)
        return ZYN_ERR_INVALID_ARG;
    return changeFibreEntry(channel, [status](u8&, u8&, u8& loop) { loop = status == 1 ? 0xFF : 0x00; });
}

// ---- Host names ----------------------------------------------------------------------------

u32 CZynlib::ZynGetFibreHostNameList(_FIBRE_HOST_WWNAME_LIST* list)
{
    if (list == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(list, 0, sizeof *list);
    char buffer[kFibreFieldBuffer] = {};
    int length = 0;
    const u32 rc = ZynReadSetupData(24, buffer, sizeof buffer, &length, nullptr);
    if (rc != ZYN_OK)
        return rc;
    // A full table has no terminating entry.
    const int entries = std::min(length / kHostNameSize, int(_FIBRE_HOST_WWNAME_LIST::kMaxEntries));
    for (int i = 0; i < entries; ++i) {
        const u8* stored = reinterpret_cast<const u8*>(buffer) + kHostNameSize * i;
        if (firstWordZero(stored))
            break;
        _FIBRE_HOST_WWNAME& entry = list->entries[list->count++];
        fromStored(stored, entry.wwn);
        std::memcpy(entry.nickname, stored + 8, sizeof entry.nickname);
    }
    return ZYN_OK;
}

u32 CZynlib::writeHostName(int slot, const _FIBRE_HOST_WWNAME* name)
{
    char stored[kHostNameSize] = {};
    if (name != nullptr) {
        toStored(name->wwn, reinterpret_cast<u8*>(stored));
        std::memcpy(stored + 8, name->nickname, sizeof name->nickname);
    }
    CFieldInfo adjust = at(int64_t(kHostNameSize) * slot);
    return ZynWriteSetupData(24, stored, sizeof stored, &adjust);
}

u32 CZynlib::ZynAddFibreHostName(_FIBRE_HOST_WWNAME* name)
{
    _FIBRE_HOST_WWNAME_LIST list;
    const u32 rc = ZynGetFibreHostNameList(&list);
    if (rc != ZYN_OK)
        return rc;
    if (name == nullptr || list.count >= _FIBRE_HOST_WWNAME_LIST::kMaxEntries || firstWordZero(name->wwn))
        return ZYN_ERR_INVALID_ARG;
    for (int i = 0; i < list.count; ++i)
        if (std::memcmp(list.entries[i].wwn, name->wwn, sizeof name->wwn) == 0)
            return ZYN_ERR_INVALID_ARG;
    return writeHostName(list.count, name);
}

u32 CZynlib::ZynDelFibreHostName(unsigned int index)
{
    _FIBRE_HOST_WWNAME_LIST list;
    u32 rc = ZynGetFibreHostNameList(&list);
    if (rc != ZYN_OK)
        return rc;
    if (index >= list.count)
        return ZYN_ERR_INVALID_ARG;
    for (int i = int(index) + 1; i < list.count; ++i)
        if ((rc = writeHostName(i - 1, &list.entries[i])) != ZYN_OK)
            return rc;
    return writeHostName(list.count - 1, nullptr);
}

// ---- Host filters --------------------------------------------------------------------------

u32 CZynlib::findFilterVolume(unsigned int channel, unsigned int lun, int* volume)
{
    *volume = -1;
    auto map = std::make_unique<_VOL_MAP>();
    const u32 rc = ZynHelpBuildVolumeSetMap(map.get());
    if (rc != ZYN_OK)
        return rc;
    const int count = std::min<int>(int(map->count), _VOL_MAP::kMaxEntries);
    for (int i = 0; i < count; ++i) {
        const sGUI_VOLUMESET& v = map->entries[i].volumeSet;
        if (v.channel() == channel && v.id() == lun / 8 && v.lun() == lun % 8) {
            *volume = map->entries[i].number;
            break;
        }
    }
    return ZYN_OK;
}

u32 CZynlib::readFilterList(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER_LIST* list, int* volume)
{
    u32 rc = findFilterVolume(channel, lun, volume);
    if (rc != ZYN_OK)
        return rc;
    std::memset(list, 0, sizeof *list);
    if (*volume < 0)
        return ZYN_OK;
    char buffer[kVolumeFilterBytes] = {};
    int length = 0;
    CFieldInfo adjust = at(int64_t(kVolumeFilterBytes) * *volume, kVolumeFilterBytes);
    adjust.flags = CFieldInfo::AddOffset | CFieldInfo::SetLength;
    rc = ZynReadSetupData(25, buffer, sizeof buffer, &length, &adjust);
    if (rc != ZYN_OK)
        return rc;
    const int filters = std::min(length / kFilterSize, kFiltersPerVolume);
    for (int i = 0; i < filters; ++i) {
        const u8* stored = reinterpret_cast<const u8*>(buffer) + kFilterSize * i;
        if (firstWordZero(stored))
            break;
        _FIBRE_VOL_HOST_FILTER& f = list->entries[list->count++];
        fromStored(stored, f.wwn);
        fromStored(stored + 8, f.mask);
        f.type = stored[16];
        f.mode = stored[17];
        f.tag = zynwire::getU16(stored + 18);
    }
    list->volume = u8(*volume);
    return ZYN_OK;
}

u32 CZynlib::writeFilter(int volume, int slot, const _FIBRE_VOL_HOST_FILTER* filter, u16 tag)
{
    char stored[kFilterSize] = {};
    if (filter != nullptr) {
        u8* s = reinterpret_cast<u8*>(stored);
        toStored(filter->wwn, s);
        toStored(filter->mask, s + 8);
        s[16] = filter->type;
        s[17] = filter->mode;
        zynwire::putU16(s + 18, tag);
    }
    CFieldInfo adjust = at(int64_t(kFiltersPerVolume * volume + slot) * kFilterSize);
    return ZynWriteSetupData(25, stored, sizeof stored, &adjust);
}

u32 CZynlib::ZynGetFibreHostFilterList(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER_LIST* list)
{
    if (list == nullptr)
        return ZYN_ERR_INVALID_ARG;
    int volume = -1;
    return readFilterList(channel, lun, list, &volume);
}

u32 CZynlib::ZynAddFibreHostFilter(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER* filter)
{
    if (filter == nullptr || firstWordZero(filter->wwn))
        return ZYN_ERR_INVALID_ARG;
    _FIBRE_VOL_HOST_FILTER_LIST list;
    int volume = -1;
    const u32 rc = readFilterList(channel, lun, &list, &volume);
    if (rc != ZYN_OK)
        return rc;
    // No volume set answers to that address: nothing to file the filter under.
    if (volume < 0)
        return ZYN_ERR_NO_OBJECT;
    if (list.count >= kFiltersPerVolume)
        return ZYN_ERR_INVALID_ARG;
    const u16 tag = list.count == 0 ? u16(0x8000 | ((channel << 14) & 0xFFFF) | (lun & 0xFFFF)) : 0;
    return writeFilter(volume, list.count, filter, tag);
}

u32 CZynlib::ZynDelFibreHostFilter(unsigned int channel, unsigned int lun, unsigned int index)
{
    _FIBRE_VOL_HOST_FILTER_LIST list;
    int volume = -1;
    u32 rc = readFilterList(channel, lun, &list, &volume);
    if (rc != ZYN_OK)
        return rc;
    if (volume < 0)
        return ZYN_ERR_NO_OBJECT;
    if (list.count == 0 || index >= list.count)
        return ZYN_ERR_INVALID_ARG;
    const u16 volumeTag = list.entries[0].tag;
    for (int i = int(index) + 1; i < list.count; ++i)
        if ((rc = writeFilter(volume, i - 1, &list.entries[i], i - 1 == 0 ? volumeTag : 0)) != ZYN_OK)
            return rc;
    return writeFilter(volume, list.count - 1, nullptr, 0);
}

// ---- Scheduled volume check ----------------------------------------------------------------

u32 CZynlib::ZynSetScheduleVolumeCheck(unsigned char scheduler, unsigned char idle, unsigned char scrub,
                                       unsigned char parity)
{
    if (scheduler > 10 || idle > 9 || scrub > 1 || parity > 1)
        return ZYN_ERR_INVALID_ARG;
    const u8 args[4] = {scheduler, idle, scrub, parity};
    u8 reply[kReadReplySize];
    int length = 0;
    return SetupRequest(SetupOpScheduleCheck, args, sizeof args, reply, &length);
}

// ---- Self-encrypting disk keys -------------------------------------------------------------

u32 CZynlib::sedKeyCommand(const u8* payload, int length, unsigned short* words[4], u8* reply, int* received)
{
    const u32 rc = readCommand(kCmdSedKey, payload, length, reply, received);
    if (rc == ZYN_OK && *received > 0 && reply[0] == 0x5C)
        for (int i = 0; i < 4; ++i)
            if (words[i] != nullptr)
                *words[i] = zynwire::getU16(reply + 1 + 2 * i);
    return rc;
}

u32 CZynlib::sedKeySet(u8 withoutKey, u8 withKey, unsigned char* key, unsigned short* a, unsigned short* b)
{
    u8 payload[5 + kSedKeySize] = {};
    payload[0] = key == nullptr ? withoutKey : withKey;
    if (key != nullptr) {
        // The key text, cut to its field and filled up with blanks.
        const size_t n = strnlen(reinterpret_cast<const char*>(key), kSedKeySize);
        std::memset(payload + 5, ' ', kSedKeySize);
        std::memcpy(payload + 5, key, n);
    }
    unsigned short* words[4] = {a, b, nullptr, nullptr};
    u8 reply[kReadReplySize];
    int received = 0;
    return sedKeyCommand(payload, sizeof payload, words, reply, &received);
}

u32 CZynlib::ZynCreateSEDKey(unsigned char* key, unsigned short* a, unsigned short* b)
{
    return sedKeySet(1, 2, key, a, b);
}

u32 CZynlib::ZynChangeSEDKey(unsigned char* key, unsigned short* a, unsigned short* b)
{
    return sedKeySet(3, 4, key, a, b);
}

u32 CZynlib::ZynClearSEDKey()
{
    const u8 payload[1] = {5};
    return statusCommand(kCmdSedKey, payload, sizeof payload);
}

u32 CZynlib::ZynDisableSEDKey(unsigned short* a, unsigned short* b)
{
    const u8 payload[1] = {6};
    unsigned short* words[4] = {a, b, nullptr, nullptr};
    u8 reply[kReadReplySize];
    int received = 0;
    return sedKeyCommand(payload, sizeof payload, words, reply, &received);
}

u32 CZynlib::ZynExportSEDKey(unsigned char* out)
{
    if (out == nullptr)
        return ZYN_ERR_INVALID_ARG;
    const u8 payload[1] = {kZynSedKeyExport};
    u8 reply[kReadReplySize];
    int received = 0;
    const u32 rc = readCommand(kCmdSedKey, payload, sizeof payload, reply, &received);
    if (rc == ZYN_OK)
        std::memcpy(out, reply, kSedKeyFileSize);
    return rc;
}

u32 CZynlib::ZynImportSEDKey(char* path, unsigned char type, unsigned short* a, unsigned short* b,
                             unsigned short* c, unsigned short* d)
{
    if (path == nullptr || path[0] == '\0' || type > 1)
        return ZYN_ERR_INVALID_ARG;
    struct stat info;
    // Only a regular file: opening a FIFO would wait for its writer.
    if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return ZYN_ERR_FILE;
    if (info.st_size > kSedKeyFileSize)
        return ZYN_ERR_INVALID_ARG;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ZYN_ERR_FILE;
    // One byte more than a key file holds tells a file that grew since it was looked at.
    u8 key[kSedKeyFileSize + 1] = {};
    size_t have = 0;
    while (have < sizeof key) {
        const ssize_t n = ::read(fd, key + have, sizeof key - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return ZYN_ERR_FILE;
        }
        if (n == 0)
            break;
        have += size_t(n);
    }
    ::close(fd);
    if (have > size_t(kSedKeyFileSize))
        return ZYN_ERR_INVALID_ARG;
    u8 payload[5 + kSedKeyFileSize] = {8, type};
    std::memcpy(payload + 5, key, kSedKeyFileSize);
    unsigned short* words[4] = {a, b, c, d};
    u8 reply[kReadReplySize];
    int received = 0;
    return sedKeyCommand(payload, sizeof payload, words, reply, &received);
}

// ---- Expanders -----------------------------------------------------------------------------

u32 CZynlib::ZynGetExpanderInfo(int expander, sGUI_EXP_INFO* info)
{
    if (info == nullptr || expander < 0 || expander > 255)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    const u8 payload[2] = {kZynExpanderInfo, u8(expander)};
    std::vector<u8> reply(kExpanderReplySize, 0);
    int length = 0;
    const u32 rc = ZynCmdReadWrite(kCmdExpander, const_cast<u8*>(payload), sizeof payload, reply.data(),
                                   kExpanderReplySize, length);
    if (rc == ZYN_OK) {
        const int n = std::clamp(length - sGUI_EXP_INFO::kReplyOffset, 0, sGUI_EXP_INFO::kSize);
        std::memcpy(info->bytes, reply.data() + sGUI_EXP_INFO::kReplyOffset, size_t(n));
    }
    return rc;
}

u32 CZynlib::ZynClearExpanderErrorLog(int expander)
{
    if (expander < 0 || expander > 255)
        return ZYN_ERR_INVALID_ARG;
    const u8 payload[2] = {1, u8(expander)};
    return statusCommand(kCmdExpander, payload, sizeof payload);
}

u32 CZynlib::ZynSetExpanderDhpm(unsigned char* data, unsigned char value, int length)
{
    if (length < 0 || length > kExpanderDataMax || (length > 0 && data == nullptr))
        return ZYN_ERR_INVALID_ARG;
    u8 payload[1 + kExpanderDataMax] = {value};
    if (length > 0)
        std::memcpy(payload + 1, data, size_t(length));
    return statusCommand(kCmdExpanderDhpm, payload, sizeof payload);
}

u32 CZynlib::ZynSetExpanderEdfb(unsigned char* data, unsigned char value, int length)
{
    return ZynSetExpanderDhpm(data, value, length);
}

u32 CZynlib::ZynSetExpanderLinkSpeed(unsigned char max, unsigned char min, unsigned char* data, int length)
{
    if (max >= 5 || min >= 5 || min > max)
        return ZYN_ERR_INVALID_ARG;
    if (length < 0 || length > kExpanderDataMax || (length > 0 && data == nullptr))
        return ZYN_ERR_INVALID_ARG;
    u8 payload[2 + kExpanderDataMax] = {kLinkRateCodes[max], kLinkRateCodes[min]};
    if (length > 0)
        std::memcpy(payload + 2, data, size_t(length));
    return statusCommand(kCmdExpanderLinkSpeed, payload, sizeof payload);
}

// ---- Volume encryption key buffer ----------------------------------------------------------

void CZynlib::setKeyPauseMilliseconds(int ms)
{
    g_keyPauseMs.store(std::max(0, ms));
}

int CZynlib::keyPauseMilliseconds()
{
    return g_keyPauseMs.load();
}

u32 CZynlib::ZynGenerateAESKeyBuffer(unsigned char count, unsigned char* volumes, unsigned int* length,
                                     unsigned char* out)
{
    if (length == nullptr || out == nullptr || (count > 0 && volumes == nullptr))
        return ZYN_ERR_INVALID_ARG;
    auto map = std::make_unique<_VOL_MAP>();
    const u32 rc = ZynHelpBuildVolumeSetMap(map.get());
    if (rc != ZYN_OK)
        return rc;
    const int entries = std::min<int>(int(map->count), _VOL_MAP::kMaxEntries);
    std::vector<int> chosen;
    if (count == 0) {
        for (int i = 0; i < entries; ++i)
            chosen.push_back(i);
    } else {
        for (int i = 0; i < count; ++i) {
            if (volumes[i] >= entries)
                return 1;
            chosen.push_back(volumes[i]);
        }
    }
    if (chosen.empty())
        return 1;

    std::vector<zynkey::Entry> keys;
    for (int position : chosen) {
        const sGUI_VOLUMESET& v = map->entries[position].volumeSet;
        if (!(v.flags() & sGUI_VOLUMESET::kFlagEncrypted) || v.keyStatus() == 1)
            continue;
        if (!keys.empty()) {
            const int pause = g_keyPauseMs.load();
            if (pause > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        }
        zynkey::Entry e;
        std::memcpy(e.name, v.bytes + sGUI_VOLUMESET::kName, zynkey::kNameSize);
        std::memcpy(e.serial, v.bytes + sGUI_VOLUMESET::kSerial, zynkey::kSerialSize);
        e.type = v.encryptionType();
        std::string text;
        if (!string_generate(text))
            return ZYN_ERR_IO;
        e.key = text.substr(0, zynkey::keyLengthOf(e.type));
        keys.push_back(e);
    }
    if (keys.empty())
        return 1;
    const std::vector<u8> buffer = zynkey::build(keys);
    const size_t total = buffer.size();
    if (total > *length) {
        *length = 0;
        return ZYN_ERR_BUFFER_TOO_SMALL;
    }
    std::memcpy(out, buffer.data(), total);
    *length = unsigned(total);
    return ZYN_OK;
}
