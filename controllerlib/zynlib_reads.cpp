// What a controller knows about itself and its devices: raid sets, volume sets, drives,
// enclosures, the event log and the hardware monitor.
#include "zynlib.h"

#include <algorithm>
#include <cstring>
#include <time.h>

namespace {

// Copies `count` bytes from `reply` at `from` to `out`, as far as the reply's `length` holds
// them; the rest of `out` stays as it is (zero).
void copyReceived(u8* out, const u8* reply, int length, int from, int count)
{
    const int available = std::max(0, std::min(count, length - from));
    if (available > 0)
        std::memcpy(out, reply + from, size_t(available));
}

// Sub-pages of the hardware-monitor command on the enclosure family.
constexpr u8 kEnclosurePropertyPage = 0;
constexpr u8 kEnclosureDescriptorPage = 1;
constexpr u8 kEnclosureSensorPage = 2;
constexpr u8 kEnclosureBatteryPage = 3;
constexpr int kDescriptorPages = 5;
constexpr int kDescriptorReadSize = 4096;
constexpr const char* kBatteryName = "Battery Status";

// A record that does not exist is all zero.
template <typename Record>
u32 existsOrEmpty(Record* record, bool exists)
{
    if (exists)
        return ZYN_OK;
    std::memset(record, 0, sizeof *record);
    return ZYN_ERR_NO_OBJECT;
}

} // namespace

u32 CZynlib::readRecord(u8 command, const u8* payload, int payloadLength, u8* record, int size)
{
    std::memset(record, 0, size_t(size));
    u8 reply[kReadReplySize];
    int length = 0;
    const u32 rc = readCommand(command, payload, payloadLength, reply, &length);
    if (rc == ZYN_OK)
        copyReceived(record, reply, length, 0, size);
    return rc;
}

u32 CZynlib::ZynGetRaidSetInfo(u8 raidset, sGUI_RAIDSET* info)
{
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    const u32 rc = readRecord(ZYN_CMD_GET_RAIDSET, &raidset, 1, info->bytes, sizeof info->bytes);
    return rc == ZYN_OK ? existsOrEmpty(info, info->exists()) : rc;
}

u32 CZynlib::ZynGetVolSetInfo(u8 volume, sGUI_VOLUMESET* info)
{
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    u8 reply[kReadReplySize];
    int length = 0;
    const u32 rc = readCommand(ZYN_CMD_GET_VOLUMESET, &volume, 1, reply, &length);
    if (rc != ZYN_OK)
        return rc;
    if (zynwire::getU32(reply + sGUI_VOLUMESET::kCapacity) == 0)
        return ZYN_ERR_NO_OBJECT;

    using namespace zynvolreply;
    copyReceived(info->bytes, reply, length, 0, kHeadSize);
    if (m_sysInfo.hasExtendedVolumeRecord()) {
        copyReceived(info->bytes + kExtendedFrom, reply, length, kExtendedFrom, kExtendedTo - kExtendedFrom);
        const bool extended = reply[sGUI_VOLUMESET::kChannel] == sGUI_VOLUMESET::kExtendedChannel;
        if (extended)
            copyReceived(info->bytes + kField88, reply, length, kField88, 4);
        copyReceived(info->bytes + sGUI_VOLUMESET::kSerial, reply, length,
                     extended ? kSerialExtended : kSerialPlain, sGUI_VOLUMESET::kSerialSize);
    }
    return ZYN_OK;
}

u32 CZynlib::ZynGetPhysicalDriveInfo(u8 drive, sGUI_PHY_DRV* info)
{
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    if (m_sysInfo.isEnclosureFamily())
        return ZYN_ERR_NOT_ALLOWED;
    return ZynGetPhysicalDriveInfo(0, drive, info);
}

u32 CZynlib::ZynGetPhysicalDriveInfo(u8 enclosure, u8 slot, sGUI_PHY_DRV* info)
{
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    const u8 payload[2] = {slot, m_sysInfo.isEnclosureFamily() ? enclosure : u8(0)};
    const u32 rc = readRecord(ZYN_CMD_GET_DRIVE, payload, sizeof payload, info->bytes, sizeof info->bytes);
    return rc == ZYN_OK ? existsOrEmpty(info, info->present()) : rc;
}

u32 CZynlib::ZynGetEnclosureProperty(u8 enclosure, sGUI_ENC_PROPERTY* info)
{
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    if (!m_sysInfo.isEnclosureFamily())
        return ZYN_ERR_NOT_ALLOWED;
    if (enclosure > m_sysInfo.highestEnclosure())
        return ZYN_ERR_INVALID_ARG;
    const u8 payload[2] = {enclosure, kEnclosurePropertyPage};
    return readRecord(ZYN_CMD_HW_MONITOR, payload, sizeof payload, info->bytes, sizeof info->bytes);
}

u32 CZynlib::ZynGetEnclosureDescriptor(u8 enclosure, u8 page, u8* buffer, int length)
{
    if (page >= kDescriptorPages || buffer == nullptr || length <= 0)
        return ZYN_ERR_INVALID_ARG;
    std::memset(buffer, 0, size_t(length));
    if (!m_sysInfo.isEnclosureFamily())
        return ZYN_ERR_NOT_ALLOWED;
    if (enclosure > m_sysInfo.highestEnclosure())
        return ZYN_ERR_INVALID_ARG;
    u8 payload[3] = {enclosure, kEnclosureDescriptorPage, page};
    int received = 0;
    return ZynCmdReadWrite(ZYN_CMD_HW_MONITOR, payload, sizeof payload, buffer, length, received);
}

// ---- Event log -------------------------------------------------------------------------

u32 CZynlib::ZynPollEvent(int* counter)
{
    u8 reply[kReadReplySize];
    int length = 0;
    const u32 rc = readCommand(ZYN_CMD_POLL_EVENT, nullptr, 0, reply, &length);
    if (rc != ZYN_OK)
        return rc;
    m_latestEventCounter = zynwire::getU32(reply);   // bytes not received read as zero
    if (counter != nullptr)
        *counter = int(m_latestEventCounter);
    return ZYN_OK;
}

u32 CZynlib::ZynGetEvent(u8 page)
{
    if (m_eventPage == nullptr)
        return ZYN_ERR_NO_OBJECT;
    u8 reply[kReadReplySize];
    int length = 0;
    const u32 rc = readCommand(ZYN_CMD_GET_EVENT, &page, 1, reply, &length);
    if (rc != ZYN_OK)
        return rc;
    std::memcpy(m_eventPage, reply, kEventPageSize);
    return ZYN_OK;
}

u32 CZynlib::ZynGetReqEventPage(char newOnly, int* count)
{
    if (count != nullptr)
        *count = 0;
    // The ring copy was sized when the session began; everything below works on that size,
    // whatever the controller says later.
    const u32 capacity = m_eventRingCapacity;
    if (m_eventRing == nullptr || capacity == 0)
        return ZYN_ERR_NO_OBJECT;
    const u32 lastPage = capacity / kEventsPerPage * kEventPageSize - kEventPageSize;

    u32 rc = ZYN_OK;
    for (int attempt = 0; attempt < kEventPageAttempts; ++attempt) {
        int first = 0;
        u32 n = 0;
        const bool polled = ZynPollEvent(&first) == ZYN_OK;
        if (polled) {
            const u32 latest = u32(first);
            n = capacity;
            if (newOnly) {
                if (latest == m_lastEventCounter)
                    return ZYN_OK;
                if (latest < m_lastEventCounter) {
                    // The counter wrapped round the ring.
                    n = capacity - std::min(m_lastEventCounter, capacity) + std::min(latest, capacity);
                } else {
                    n = latest - m_lastEventCounter;
                }
                n = std::min(n, capacity);
            }
            for (u32 p = 0; n > 0 && p <= (n - 1) / kEventsPerPage; ++p) {
                if (ZynGetEvent(u8(p)) != ZYN_OK)
                    break;
                std::memcpy(m_eventRing + lastPage - p * kEventPageSize, m_eventPage, kEventPageSize);
            }
        }
        int second = 0;
        rc = ZynPollEvent(&second);
        if (polled && rc == ZYN_OK && second == first) {
            m_lastEventCounter = m_latestEventCounter;
            m_eventsHeld = n;
            if (count != nullptr)
                *count = int(n);
            return ZYN_OK;
        }
        if (!newOnly)
            return rc;
        const timespec pause{0, 1000000};
        nanosleep(&pause, nullptr);
    }
    return rc;
}

int CZynlib::ZynGetEventObject(int index, sEVET_DATA* record)
{
    const u32 capacity = m_eventRingCapacity;
    if (m_eventRing == nullptr || m_eventsHeld == 0 || record == nullptr || index < 0 || u32(index) >= capacity)
        return 0;
    std::memcpy(record, m_eventRing + (capacity - u32(index) - 1) * kEventRecordSize, kEventRecordSize);
    return 1;
}

u32 CZynlib::ZynClearEvent()
{
    int length = 0;
    const u32 rc = ZynCmdReadWrite(ZYN_CMD_CLEAR_EVENT, nullptr, 0, nullptr, 0, length);
    if (rc == ZYN_OK) {
        m_eventsHeld = 0;
        m_lastEventCounter = 0;
    }
    return rc;
}

// ---- Hardware monitor ------------------------------------------------------------------

namespace {

// Where the parts of a hardware-monitor reply lie: counts F V T P at 0-3, F fan speeds,
// V voltage entries of two u16, T temperatures, the power area of P bytes, then the UPS byte
// or the battery block.
struct HwMonLayout {
    int fans, voltages, temperatures, power;
    int fanAt, voltageAt, temperatureAt, powerAt, tailAt;

    explicit HwMonLayout(const u8* reply)
        : fans(reply[0]), voltages(reply[1]), temperatures(reply[2]), power(reply[3])
    {
        fanAt = 4;
        voltageAt = fanAt + 2 * fans;
        temperatureAt = voltageAt + 4 * voltages;
        powerAt = temperatureAt + temperatures;
        tailAt = powerAt + power;
    }
};

void putValue(_HWMON_INFO* info, int i, u16 value)
{
    info->values[i] = value;
}

// Fills up to `count` values (never more than the record holds) while `valueAt(i)` lies
// within the reply; the count is what was filled.
template <typename Value>
u32 fill(_HWMON_INFO* info, int count, int length, int bytesEach, int firstAt, Value valueAt)
{
    const int n = std::min(count, _HWMON_INFO::kMaxValues);
    int i = 0;
    for (; i < n && firstAt + (i + 1) * bytesEach <= length; ++i)
        putValue(info, i, valueAt(i));
    info->count = u16(i);
    return ZYN_OK;
}

// Empties the record; true when the reply holds at least the four counts.
bool startParse(const u8* reply, _HWMON_INFO* info, int length)
{
    if (info == nullptr)
        return false;
    std::memset(info, 0, sizeof *info);
    return reply != nullptr && length >= 4;
}

} // namespace

u32 CZynlib::GetFansState(const u8* reply, _HWMON_INFO* info, int length)
{
    if (!startParse(reply, info, length))
        return ZYN_OK;
    const HwMonLayout l(reply);
    return fill(info, l.fans, length, 2, l.fanAt, [&](int i) { return zynwire::getU16(reply + l.fanAt + 2 * i); });
}

u32 CZynlib::GetVolState(const u8* reply, _HWMON_INFO* info, int length)
{
    if (!startParse(reply, info, length))
        return ZYN_OK;
    const HwMonLayout l(reply);
    return fill(info, 2 * l.voltages, length, 2, l.voltageAt,
                [&](int i) { return zynwire::getU16(reply + l.voltageAt + 2 * i); });
}

u32 CZynlib::GetTmpState(const u8* reply, _HWMON_INFO* info, int length)
{
    if (!startParse(reply, info, length))
        return ZYN_OK;
    const HwMonLayout l(reply);
    return fill(info, l.temperatures, length, 1, l.temperatureAt, [&](int i) {
        const int8_t t = int8_t(reply[l.temperatureAt + i]);
        return u16(t < 0 ? 0 : t);
    });
}

u32 CZynlib::GetPwrState(const u8* reply, _HWMON_INFO* info, int length)
{
    if (!startParse(reply, info, length))
        return ZYN_OK;
    const HwMonLayout l(reply);
    if (l.power == 0 || l.powerAt >= length)
        return ZYN_OK;
    const u8 good = reply[l.powerAt];
    // One state byte holds the supplies: bit i is supply i.
    return fill(info, l.power, length, 0, l.powerAt, [&](int i) { return u16(i < 8 ? (1u << i) & good : 0); });
}

u32 CZynlib::GetUPSState(const u8* reply, _HWMON_INFO* info, int length)
{
    if (!startParse(reply, info, length))
        return ZYN_OK;
    const HwMonLayout l(reply);
    if (l.tailAt >= length || reply[l.tailAt] == 0x55)
        return ZYN_OK;
    info->count = 1;
    info->values[0] = reply[l.tailAt];
    return ZYN_OK;
}

u32 CZynlib::GetBatteryState(const u8* reply, _HWMON_INFO* info, int length)
{
    if (!startParse(reply, info, length))
        return ZYN_OK;
    const HwMonLayout l(reply);
    // The battery block is four bytes: 55 AA 01 and the state.
    if (l.tailAt + 4 > length)
        return ZYN_OK;
    if (reply[l.tailAt] == 0x55 && reply[l.tailAt + 1] == 0xAA && reply[l.tailAt + 2] == 0x01) {
        info->count = 1;
        info->values[0] = reply[l.tailAt + 3];
    }
    return ZYN_OK;
}

u32 CZynlib::ZynGetHWMon(u32 kind, _HWMON_INFO* info)
{
    if (m_sysInfo.isEnclosureFamily())
        return ZYN_ERR_NOT_ALLOWED;
    if (kind < HwFans || kind > HwReserved || info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    u8 reply[kReadReplySize];
    int length = 0;
    const u32 rc = readCommand(ZYN_CMD_HW_MONITOR, nullptr, 0, reply, &length);
    if (rc != ZYN_OK)
        return rc;
    switch (kind) {
    case HwFans: return GetFansState(reply, info, length);
    case HwVoltages: return GetVolState(reply, info, length);
    case HwTemperatures: return GetTmpState(reply, info, length);
    case HwPower: return GetPwrState(reply, info, length);
    case HwUps: return GetUPSState(reply, info, length);
    case HwBattery: return GetBatteryState(reply, info, length);
    default: return ZYN_OK;
    }
}

u32 CZynlib::ZynGetHWMonE100(_HWMON_E100* info)
{
    if (info == nullptr || m_sysInfo.driveChannels() != kE100DriveChannels)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    u8 reply[kReadReplySize];
    int length = 0;
    const u32 rc = readCommand(ZYN_CMD_HW_MONITOR, nullptr, 0, reply, &length);
    if (rc != ZYN_OK)
        return rc;
    copyReceived(info->bytes, reply, length, 0, sizeof info->bytes);
    return ZYN_OK;
}

u32 CZynlib::ZynGetEnclosureHwMonitor(u8 enclosure, sSENSORS* sensors)
{
    if (sensors == nullptr)
        return ZYN_ERR_INVALID_ARG;
    if (!m_sysInfo.isEnclosureFamily())
        return ZYN_ERR_NOT_ALLOWED;
    std::memset(sensors, 0, sizeof *sensors);

    sGUI_ENC_PROPERTY property;
    u32 rc = ZynGetEnclosureProperty(enclosure, &property);
    if (rc != ZYN_OK)
        return rc;
    if (enclosure > m_sysInfo.highestEnclosure())
        return ZYN_ERR_INVALID_ARG;

    u8 values[kReadReplySize];
    int length = 0;
    const u8 sensorPayload[3] = {enclosure, kEnclosureSensorPage, 0};
    rc = readCommand(ZYN_CMD_HW_MONITOR, sensorPayload, sizeof sensorPayload, values, &length);
    if (rc != ZYN_OK)
        return rc;

    // Section 0 (the slots) has names only; sections 1-4 take their values and flags from the
    // value reply in turn. A section whose names cannot be read is skipped.
    int cursor = 0;
    for (int k = 0; k < sGUI_ENC_PROPERTY::kSections; ++k) {
        const int n = std::min(property.sectionCount(k), sSENSORS::kMaxEntries);
        if (n == 0)
            continue;
        u8 names[kDescriptorReadSize];
        if (ZynGetEnclosureDescriptor(enclosure, u8(k), names, sizeof names) != ZYN_OK)
            continue;
        sSENSORS::Section& section = sensors->sections[k];
        section.count = u8(n);
        std::memcpy(section.names, names, sSENSORS::kNamesSize);
        if (k == sSENSORS::kSlotSection)
            continue;
        copyReceived(section.values, values, length, cursor, 4 * n);
        copyReceived(section.flags, values, length, cursor + 4 * n, 4 * n);
        cursor += 8 * n;
    }

    u8 battery[kReadReplySize];
    const u8 batteryPayload[3] = {enclosure, kEnclosureBatteryPage, 0};
    rc = readCommand(ZYN_CMD_HW_MONITOR, batteryPayload, sizeof batteryPayload, battery, &length);
    if (rc == ZYN_ERR_NOT_ALLOWED)
        return ZYN_OK;   // no battery
    if (rc != ZYN_OK)
        return rc;
    sSENSORS::Section& section = sensors->sections[sSENSORS::kBatterySection];
    section.count = 1;
    std::memcpy(section.names, kBatteryName, std::strlen(kBatteryName));
    zynwire::putU32(section.values, length > 0 ? battery[0] : 0);
    return ZYN_OK;
}
