// The controller's setup image: pages, field reads and writes, the layout of the image, the
// one-field settings, the configuration reads and the device maps built on them.
#include "zynlib.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>
#include <vector>

namespace {

constexpr u8 kStatusEndOfData = 0x54;   // 'T': read past the end of the image
constexpr int kPageReplySize = 4096;
constexpr int kWriteReplySize = 1024;
constexpr int kTrialImageSize = 32768;
constexpr int kMaxPages = 256;          // page numbers are one byte
constexpr int kShortFormMaxOffset = 0xFFFF;
constexpr int kShortFormMaxPiece = 255;
constexpr int kFieldReadSize = 1024;
constexpr int kNetFieldReadSize = 64;

void putPrefix(u8* payload, u8 op)
{
    payload[0] = kSetupSubCommand;
    std::memcpy(payload + 1, kSetupAccessPrefix, sizeof kSetupAccessPrefix);
    payload[9] = op;
}

// The field as the caller's adjustment leaves it. False when the result leaves the field or
// the image.
bool adjustField(const CFieldInfo& field, const CFieldInfo* adjust, bool lengthToo, CFieldInfo* out)
{
    int64_t offset = field.offset;
    int64_t length = field.length;
    if (adjust != nullptr) {
        const int64_t byOffset = int32_t(adjust->offset);
        const int64_t byLength = int32_t(adjust->length);
        if (adjust->flags & CFieldInfo::SetOffset)
            offset = byOffset;
        if (adjust->flags & CFieldInfo::AddOffset)
            offset += byOffset;
        if (adjust->flags & CFieldInfo::SubOffset)
            offset -= byOffset;
        if (lengthToo) {
            if (adjust->flags & CFieldInfo::SetLength)
                length = byLength;
            if (adjust->flags & CFieldInfo::AddLength)
                length += byLength;
            if (adjust->flags & CFieldInfo::SubLength)
                length -= byLength;
        }
    }
    *out = CFieldInfo{offset, length, 0};
    return offset >= field.offset && length > 0 && offset + length <= field.offset + field.length &&
           offset + length <= kSetupImageSize;
}

} // namespace

bool CZynlib::SetupFirmwareAllowed() const
{
    // The version token: the firmware text up to its first blank, at most 8 characters.
    const std::string text = m_sysInfo.firmwareVersion();
    std::string token;
    for (char c : text) {
        if (c == ' ' || token.size() == 8)
            break;
        token.push_back(c);
    }
    return strcasecmp(token.c_str(), kSetupFirmwareGate) > 0;
}

u32 CZynlib::ZynGetModelNumber(u32* model)
{
    if (model == nullptr)
        return ZYN_ERR_INVALID_ARG;
    char identify[zynident::kIdentifySize] = {};
    const u32 rc = ZynGetIdentifyString(identify);
    if (rc != ZYN_OK)
        return rc;
    u32 number = 0;
    for (int i = zynident::kModelNumberOffset; i < zynident::kIdentifyCopy; ++i) {
        const unsigned char c = static_cast<unsigned char>(identify[i]);
        if (!std::isdigit(c) || number > 100000000u)
            break;
        number = number * 10 + u32(c - '0');
    }
    *model = number;
    return ZYN_OK;
}

int CZynlib::DetermineTableNumber()
{
    u32 model = 0;
    if (ZynGetModelNumber(&model) != ZYN_OK)
        return -1;
    if (model == zynident::kModelE100 || model == zynident::kModelE200)
        return -1;
    if (m_setupLayout >= 0)
        return m_setupLayout;
    int layout;
    if (!m_sysInfo.fibreBoard()) {
        layout = 0;
    } else if (m_sysInfo.volumeSetNumbers() != sSYSTEM_INFO::kVolumeSetNumbers128) {
        layout = 1;
    } else {
        // Layout 2 fits in 32 KiB; layout 3 does not. Only a definite answer is kept: a read
        // that failed for another reason tells nothing about the image.
        std::vector<u8> trial(kTrialImageSize);
        const u32 rc = ZynGetSetupPage(trial.data(), kTrialImageSize, nullptr);
        if (rc == ZYN_OK)
            layout = 2;
        else if (rc == ZYN_ERR_BUFFER_TOO_SMALL)
            layout = 3;
        else
            return -1;
    }
    m_setupLayout = layout;
    return layout;
}

u32 CZynlib::ZynGetSetupPage(u8* buffer, int capacity, CFieldInfo* field)
{
    if (buffer == nullptr || capacity < 1024)
        return ZYN_ERR_INVALID_ARG;
    if (!SetupFirmwareAllowed())
        return ZYN_ERR_NOT_ALLOWED;
    int page = 0;
    int last = kMaxPages;   // without a field: until the controller says the image ends
    if (field != nullptr) {
        if (field->offset < 0 || field->length < 0 || field->offset + field->length > kSetupImageSize)
            return ZYN_ERR_INVALID_ARG;
        page = int(field->offset / kSetupPageSize);
        last = int((field->offset + field->length) / kSetupPageSize);
    }
    for (;; ++page) {
        if (page >= kMaxPages)
            return ZYN_ERR_BUFFER_TOO_SMALL;   // no page number reaches further
        u8 request[kSetupPageRequestSize] = {};
        putPrefix(request, SetupOpReadPage);
        request[10] = 0;
        request[11] = u8(page);
        std::vector<u8> reply(kPageReplySize);
        int length = 0;
        const u32 rc = ZynCmdReadWrite(ZYN_CMD_SETUP_DATA, request, sizeof request, reply.data(), kPageReplySize, length);
        if (rc == kStatusEndOfData)
            return ZYN_OK;
        if (rc != ZYN_OK)
            return rc;
        if ((page + 1) * kSetupPageSize > capacity)
            return ZYN_ERR_BUFFER_TOO_SMALL;
        std::memset(buffer + page * kSetupPageSize, 0, kSetupPageSize);
        std::memcpy(buffer + page * kSetupPageSize, reply.data(), size_t(std::min(length, kSetupPageSize)));
        if (field != nullptr && page >= last)
            return ZYN_OK;
    }
}

u32 CZynlib::ZynReadSetupData(int id, char* out, int capacity, int* length, CFieldInfo* adjust)
{
    if (length != nullptr)
        *length = 0;
    if (out == nullptr || capacity <= 0)
        return ZYN_ERR_INVALID_ARG;
    const int layout = DetermineTableNumber();
    if (layout < 0)
        return ZYN_ERR_NOT_ALLOWED;
    const CFieldInfo* field = gettablefieldinfo(u8(layout), u32(id));
    if (field == nullptr || !field->exists())
        return ZYN_ERR_NOT_ALLOWED;
    CFieldInfo span;
    if (!adjustField(*field, adjust, true, &span))
        return ZYN_ERR_INVALID_ARG;
    if (span.length > capacity)
        return ZYN_ERR_INVALID_ARG;
    std::vector<u8> image(kSetupImageSize);
    const u32 rc = ZynGetSetupPage(image.data(), kSetupImageSize, &span);
    if (rc != ZYN_OK)
        return rc;
    std::memcpy(out, image.data() + span.offset, size_t(span.length));
    if (length != nullptr)
        *length = int(span.length);
    return ZYN_OK;
}

u32 CZynlib::ZynWriteSetupData(int id, char* data, int length, CFieldInfo* adjust)
{
    if (data == nullptr || length <= 0)
        return ZYN_ERR_INVALID_ARG;
    if (!SetupFirmwareAllowed())
        return ZYN_ERR_NOT_ALLOWED;
    const int layout = DetermineTableNumber();
    if (layout < 0)
        return ZYN_ERR_NOT_ALLOWED;
    const CFieldInfo* field = gettablefieldinfo(u8(layout), u32(id));
    if (field == nullptr || !field->exists())
        return ZYN_ERR_NOT_ALLOWED;
    CFieldInfo span;
    adjustField(*field, adjust, false, &span);
    span.length = length;
    // The data must stay inside the field: a longer write would change the next one.
    if (span.offset < field->offset || span.offset + length > field->offset + field->length)
        return ZYN_ERR_INVALID_ARG;
    const int start = int(span.offset);

    // The chunks of one form: at most 512 bytes; the short form carries the length modulo 256,
    // so 256-511 bytes go in pieces of at most 255.
    auto plan = [&](bool shortForm) {
        std::vector<std::pair<int, int>> chunks;   // offset in the data, size
        for (int done = 0; done < length;) {
            int chunk = std::min(length - done, kSetupPageSize);
            if (shortForm && chunk < kSetupPageSize && chunk > kShortFormMaxPiece)
                chunk = kShortFormMaxPiece;
            chunks.emplace_back(done, chunk);
            done += chunk;
        }
        return chunks;
    };
    auto writeChunks = [&](bool shortForm, const std::vector<std::pair<int, int>>& chunks) -> u32 {
        for (const auto& c : chunks) {
            const int offset = start + c.first;
            const int chunk = c.second;
            u8 request[kSetupWriteRequestSize] = {};
            u8 reply[kWriteReplySize];
            if (shortForm) {
                putPrefix(request, SetupOpWriteShort);
                request[10] = 1;
                zynwire::putU16(request + 11, u16(offset));
                request[13] = u8(chunk & 0xFF);
                std::memcpy(request + 14, data + c.first, size_t(chunk));
            } else {
                putPrefix(request, SetupOpWrite);
                request[10] = 1;
                zynwire::putU32(request + 11, u32(offset));
                request[15] = u8(chunk & 0xFF);
                request[16] = u8(chunk >> 8);
                std::memcpy(request + 17, data + c.first, size_t(chunk));
            }
            int received = 0;
            const u32 rc = ZynCmdReadWrite(ZYN_CMD_SETUP_DATA, request, sizeof request, reply, sizeof reply, received);
            if (rc != ZYN_OK)
                return rc;
        }
        return ZYN_OK;
    };

    const u32 rc = writeChunks(false, plan(false));
    if (rc == ZYN_OK)
        return ZYN_OK;
    // The short form addresses 64 KiB only: a chunk placed past that would land elsewhere.
    const auto shortChunks = plan(true);
    for (const auto& c : shortChunks)
        if (start + c.first > kShortFormMaxOffset)
            return rc;
    return writeChunks(true, shortChunks);
}

u32 CZynlib::SetupRequest(u8 op, const u8* args, int argCount, u8* reply, int* replyLength)
{
    u8 request[kSetupRequestSize] = {};
    putPrefix(request, op);
    if (args != nullptr && argCount > 0)
        std::memcpy(request + 10, args, size_t(std::min(argCount, kSetupRequestSize - 10)));
    return readCommand(ZYN_CMD_SETUP_DATA, request, sizeof request, reply, replyLength);
}

// ---- One-field settings ------------------------------------------------------------------

u32 CZynlib::setFieldValue(int id, unsigned value, unsigned low, unsigned high)
{
    if (value < low || value > high)
        return ZYN_ERR_INVALID_ARG;
    char byte = char(value);
    return ZynWriteSetupData(id, &byte, 1, nullptr);
}

u32 CZynlib::setPort(int id, u16 port)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    // Ports 7168-8191 belong to the controller itself.
    if (port == 0 || (port & 0xFC00) == 0x1C00)
        return ZYN_ERR_INVALID_ARG;
    char bytes[2] = {char(port & 0xFF), char(port >> 8)};
    return ZynWriteSetupData(id, bytes, 2, nullptr);
}

u32 CZynlib::ZynSetStaggerPowerOn(u8 v) { return setFieldValue(77, v, 0, 12); }
u32 CZynlib::ZynSetDiskCache(u8 v) { return setFieldValue(41, v, 0, 2); }
u32 CZynlib::ZynSetHddReadAhead(u8 v) { return setFieldValue(79, v, 0, 2); }
u32 CZynlib::ZynSetTruncateMode(u8 v) { return setFieldValue(54, v, 0, 2); }
u32 CZynlib::ZynSetSMARTHddPoll(u8 v) { return setFieldValue(61, v, 0, 1); }
u32 CZynlib::ZynSetSMARTOptionForHdd(u8 v) { return setFieldValue(109, v, 0, 2); }
u32 CZynlib::ZynSetSMARTPollingInterval(u8 v) { return setFieldValue(108, v, 0, 11); }
u32 CZynlib::ZynSetAutoActivate(u8 v) { return setFieldValue(82, v, 0, 1); }
u32 CZynlib::ZynSetHddSpinDownMode(u8 v) { return setFieldValue(84, v, 0, 9); }
u32 CZynlib::ZynSetHddLowPowerIdleMode(u8 v) { return setFieldValue(91, v, 0, 6); }
u32 CZynlib::ZynSetHddLowRPMMode(u8 v) { return setFieldValue(92, v, 0, 6); }
u32 CZynlib::ZynSetEmptyHddSlotLed(u8 v) { return setFieldValue(83, v, 0, 1); }
u32 CZynlib::ZynSetCpuFanDetection(u8 v) { return setFieldValue(63, v, 0, 1); }
u32 CZynlib::ZynSetTimeZone(u8 v) { return setFieldValue(93, v, 0, 74); }
u32 CZynlib::ZynSetDayLightSaving(u8 v) { return setFieldValue(94, v, 0, 1); }
u32 CZynlib::ZynSetAutoSpeedDown(u8 v) { return setFieldValue(78, v, 0, 1); }
u32 CZynlib::ZynSet2TBMode(u8 v) { return setFieldValue(81, v, 0, 1); }
u32 CZynlib::ZynSetReadAhead(u8 v) { return setFieldValue(56, v, 0, 10); }
u32 CZynlib::ZynSetTLER(u8 v) { return setFieldValue(57, v, 0, 4); }
u32 CZynlib::ZynSetBufferThreshold(u8 v) { return setFieldValue(58, v, 0, 3); }
u32 CZynlib::ZynSetTimeout(u8 v) { return setFieldValue(59, v, 0, 20); }
u32 CZynlib::ZynSetRetryCount(u8 v) { return setFieldValue(60, v, 0, 1); }
u32 CZynlib::ZynSetAVStream(u8 v) { return setFieldValue(64, v, 0, 17); }
u32 CZynlib::ZynSetOptimizeAVRecording(u8 v) { return setFieldValue(87, v, 0, 3); }
u32 CZynlib::ZynSetOptimizeAVEdition(u8 v) { return setFieldValue(88, v, 0, 4); }
u32 CZynlib::ZynSetSATA150Support(u8 v) { return setFieldValue(102, v, 0, 1); }
u32 CZynlib::ZynSetReadPerformanceMargin(u8 v) { return setFieldValue(104, v, 0, 30); }
u32 CZynlib::ZynSetWritePerformanceMargin(u8 v) { return setFieldValue(105, v, 0, 30); }
u32 CZynlib::ZynSetReadAndDiscardParityData(u8 v) { return setFieldValue(106, v, 0, 1); }
u32 CZynlib::ZynSetVolumeDataReadAhead(u8 v) { return setFieldValue(90, v, 0, 3); }
u32 CZynlib::ZynSetHddQueueDepth(u8 v) { return setFieldValue(89, v, 0, 5); }
u32 CZynlib::ZynSetSataNCQ(u8 v) { return setFieldValue(85, v, 0, 1); }
u32 CZynlib::ZynSetSASMux(u8 v) { return setFieldValue(97, v, 0, 2); }
u32 CZynlib::ZynSetSES2Support(u8 v) { return setFieldValue(98, v, 0, 1); }
u32 CZynlib::ZynSetWriteSameForInit(u8 v) { return setFieldValue(116, v, 0, 2); }
u32 CZynlib::ZynSetHotPluggedDiskForRebuilding(u8 v) { return setFieldValue(117, v, 0, 2); }
u32 CZynlib::ZynSetFailDiskIfAnyTimeOut(u8 v) { return setFieldValue(115, v, 0, 1); }
u32 CZynlib::ZynSetBootPhyStatus(u8 v) { return setFieldValue(101, v, 0, 2); }
u32 CZynlib::ZynSetSnmpPath(u8 v) { return setFieldValue(53, v, 0, 4); }
u32 CZynlib::ZynSetNumberOfPower(u8 v) { return setFieldValue(86, v, 0, 1); }

u32 CZynlib::ZynSetSataHddSpeed(u8 port, u8 speed)
{
    if (port > 2)
        return ZYN_ERR_INVALID_ARG;
    return setFieldValue(110 + port, speed, 0, 3);
}

u32 CZynlib::ZynSetHTTPPort(u16 port) { return setPort(44, port); }
u32 CZynlib::ZynSetTelnetPort(u16 port) { return setPort(55, port); }
u32 CZynlib::ZynSetSMTPPort(u16 port) { return setPort(80, port); }

u32 CZynlib::ZynGetNumberOfPower(u8* count)
{
    if (count == nullptr)
        return ZYN_ERR_INVALID_ARG;
    char value[kFieldReadSize];
    int length = 0;
    const u32 rc = ZynReadSetupData(86, value, sizeof value, &length, nullptr);
    if (rc == ZYN_OK && length > 0)
        *count = u8(value[0]);
    return rc;
}

u32 CZynlib::ZynSetMaxCmdLen(u8 value)
{
    if (value > 5)
        return ZYN_ERR_INVALID_ARG;
    char old[kFieldReadSize];
    int length = 0;
    const u32 rc = ZynReadSetupData(103, old, sizeof old, &length, nullptr);
    if (rc != ZYN_OK)
        return rc;
    if (length < 1)
        return ZYN_OK;
    // Bit 7 belongs to the controller; keep it.
    char byte = char(value | (u8(old[0]) & 0x80));
    return ZynWriteSetupData(103, &byte, 1, nullptr);
}

// ---- Configuration reads -----------------------------------------------------------------

namespace {

// Reads fields one after the other: `take` gets each field's bytes (nothing when the read
// failed). The result is the first failure other than an absent field, else the last read's.
template <typename Take>
u32 readFields(CZynlib& lib, const int* ids, int count, int bufferSize, Take take)
{
    u32 firstFailure = ZYN_OK;
    u32 last = ZYN_OK;
    std::vector<char> value(static_cast<size_t>(bufferSize), 0);
    for (int i = 0; i < count; ++i) {
        int length = 0;
        last = lib.ZynReadSetupData(ids[i], value.data(), bufferSize, &length, nullptr);
        if (last != ZYN_OK && last != ZYN_ERR_NOT_ALLOWED && firstFailure == ZYN_OK)
            firstFailure = last;
        take(i, reinterpret_cast<const u8*>(value.data()), last == ZYN_OK ? length : 0);
    }
    return firstFailure != ZYN_OK ? firstFailure : last;
}

} // namespace

u32 CZynlib::ZynGetSystemConfigInfo(_SYS_CONFIG_INFO* info)
{
    static const int kIds[24] = {15, 34, 38, 79, 77, 84, 91, 92, 83, 63, 61, 97,
                                 98, 82, 41, 54, 85, 90, 89, 103, 116, 117, 109, 108};
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    return readFields(*this, kIds, 24, kFieldReadSize, [info](int i, const u8* value, int length) {
        info->bytes[i] = length > 0 ? value[0] : 0xFF;
    });
}

u32 CZynlib::ZynGetAdvancedFeaturesInfo(_SYS_ADVANCED_FEATURES_INFO* info)
{
    static const int kIds[16] = {56, 57, 58, 59, 60, 64, 87, 88, 101, 104, 105, 106, 115, 111, 110, 112};
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    return readFields(*this, kIds, 16, kFieldReadSize, [info](int i, const u8* value, int length) {
        if (length > 0)
            info->bytes[i] = value[0];
    });
}

u32 CZynlib::ZynGetOnBoardNetInfo(_NET_INFO* info)
{
    static const int kIds[7] = {32, 16, 29, 17, 44, 55, 80};
    static const int kAt[7] = {_NET_INFO::kDhcp, _NET_INFO::kIpAddress, _NET_INFO::kGateway, _NET_INFO::kSubnetMask,
                               _NET_INFO::kHttpPort, _NET_INFO::kTelnetPort, _NET_INFO::kSmtpPort};
    static const int kSize[7] = {1, 4, 4, 4, 2, 2, 2};
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    const u32 rc = readFields(*this, kIds, 7, kNetFieldReadSize, [info](int i, const u8* value, int length) {
        if (length > 0)
            std::memcpy(info->bytes + kAt[i], value, size_t(std::min(length, kSize[i])));
    });
    std::memcpy(info->bytes + _NET_INFO::kCurrentIp, m_sysInfo.ipAddress(), 4);
    std::memcpy(info->bytes + _NET_INFO::kMac, m_sysInfo.macAddress(), 6);
    return rc;
}

// ---- Device maps -------------------------------------------------------------------------

u32 CZynlib::readBitmap(u8 op, u8* bitmap)
{
    int length = 0;
    return SetupRequest(op, nullptr, 0, bitmap, &length);
}

u32 CZynlib::ZynHelpBuildDeviceMap(_DRV_MAP* map)
{
    if (map == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(map, 0, sizeof *map);
    u32 rc = ZYN_OK;
    auto append = [map](u8 enclosure, u8 slot, const sGUI_PHY_DRV& drive) {
        _DRV_MAP::Entry& entry = map->entries[map->count++];
        entry.enclosure = enclosure;
        entry.slot = slot;
        entry.drive = drive;
    };
    if (!m_sysInfo.isEnclosureFamily()) {
        for (int d = 0; d < m_sysInfo.driveChannels() && map->count < _DRV_MAP::kMaxEntries; ++d) {
            sGUI_PHY_DRV drive;
            rc = ZynGetPhysicalDriveInfo(u8(d), &drive);
            if (rc != ZYN_OK && rc != ZYN_ERR_NO_OBJECT)
                return rc;
            append(0, u8(d), drive);
        }
    } else {
        for (int e = 0; e < m_sysInfo.highestEnclosure() && map->count < _DRV_MAP::kMaxEntries; ++e) {
            sGUI_ENC_PROPERTY property;
            rc = ZynGetEnclosureProperty(u8(e), &property);
            if (rc != ZYN_OK)
                return rc;
            if (property.type() < 1 || property.type() > 3)
                continue;
            for (int s = 0; s < property.slotCount() && map->count < _DRV_MAP::kMaxEntries; ++s) {
                sGUI_PHY_DRV drive;
                rc = ZynGetPhysicalDriveInfo(u8(e), u8(s), &drive);
                if (rc == ZYN_OK || rc == ZYN_ERR_NO_OBJECT)
                    append(u8(e), u8(s), drive);
            }
        }
    }
    return rc == ZYN_ERR_NO_OBJECT ? ZYN_OK : rc;
}

u32 CZynlib::ZynHelpBuildRaidSetMap(_RAID_MAP* map)
{
    if (map == nullptr)
        return ZYN_ERR_INVALID_ARG;
    map->count = 0;
    u8 bitmap[kReadReplySize] = {};
    const bool byBitmap = m_sysInfo.isEnclosureFamily();
    if (byBitmap) {
        const u32 rc = readBitmap(SetupOpRaidSetBitmap, bitmap);
        if (rc != ZYN_OK)
            return rc;
    }
    const int limit = std::min<int>(m_sysInfo.raidSetNumbers(), _RAID_MAP::kMaxEntries);
    u32 rc = ZYN_OK;
    for (int r = 0; r < limit; ++r) {
        if (byBitmap && !(bitmap[r / 8] & (1 << (r % 8))))
            continue;
        _RAID_MAP::Entry& entry = map->entries[map->count];
        rc = ZynGetRaidSetInfo(u8(r), &entry.raidSet);
        if (rc == ZYN_ERR_NO_OBJECT)
            continue;
        if (rc != ZYN_OK)
            return rc;
        entry.number = r;
        ++map->count;
    }
    return rc == ZYN_ERR_NO_OBJECT ? ZYN_OK : rc;
}

u32 CZynlib::ZynHelpBuildVolumeSetMap(_VOL_MAP* map)
{
    if (map == nullptr)
        return ZYN_ERR_INVALID_ARG;
    map->count = 0;
    u32 rc = ZYN_OK;
    auto add = [&](int number) -> bool {
        if (map->count >= _VOL_MAP::kMaxEntries)
            return true;
        _VOL_MAP::Entry& entry = map->entries[map->count];
        rc = ZynGetVolSetInfo(u8(number), &entry.volumeSet);
        if (rc == ZYN_ERR_NO_OBJECT)
            return true;
        if (rc != ZYN_OK)
            return false;
        entry.number = number;
        ++map->count;
        return true;
    };

    if (!m_sysInfo.isEnclosureFamily()) {
        const int raidSets = std::min<int>(m_sysInfo.raidSetNumbers(), _RAID_MAP::kMaxEntries);
        for (int r = 0; r < raidSets; ++r) {
            sGUI_RAIDSET raid;
            rc = ZynGetRaidSetInfo(u8(r), &raid);
            if (rc == ZYN_ERR_NO_OBJECT)
                continue;
            if (rc != ZYN_OK)
                return rc;
            const int volumes = std::min(raid.volumeCount(), sGUI_RAIDSET::kMaxVolumes);
            for (int i = 0; i < volumes; ++i)
                if (!add(raid.volumeNumber(i)))
                    return rc;
        }
        return rc == ZYN_ERR_NO_OBJECT ? ZYN_OK : rc;
    }

    // Volume sets in either bitmap, each once, in ascending order.
    u8 first[kReadReplySize] = {};
    u8 second[kReadReplySize] = {};
    rc = readBitmap(SetupOpVolumeBitmapB, first);
    if (rc != ZYN_OK)
        return rc;
    rc = readBitmap(SetupOpVolumeBitmapA, second);
    if (rc != ZYN_OK)
        return rc;
    const int limit = std::min<int>(m_sysInfo.volumeSetNumbers(), _VOL_MAP::kMaxEntries);
    for (int v = 0; v < limit; ++v) {
        const u8 bit = u8(1 << (v % 8));
        if (!((first[v / 8] | second[v / 8]) & bit))
            continue;
        if (!add(v))
            return rc;
    }
    return rc == ZYN_ERR_NO_OBJECT ? ZYN_OK : rc;
}
