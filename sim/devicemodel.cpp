// The device model: records rendered from the model's state, changes that keep them consistent
// and log their events, and the read commands that expose them.
#include "devicemodel.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>

namespace zynsim {

namespace {

constexpr size_t kEventPageRecords = 16;
constexpr size_t kEventPageSize = kEventPageRecords * sizeof(sEVET_DATA);
constexpr size_t kDescriptorSize = sSENSORS::kNamesSize;
// The slot names fit the 2048 bytes the application reads them into (85 names).
constexpr size_t kSlotNamesSize = 2048;
constexpr int kDescriptorPages = 5;
constexpr size_t kE100BlockSize = 64;
constexpr size_t kMaxOverride = 0xFFFF;

using namespace modelcodes;

constexpr uint8_t kRaidComplete = sGUI_RAIDSET::kStateOnline | sGUI_RAIDSET::kStateComplete;
constexpr int kRaidMemberDevices = 60;   // the member device count beside the member count
constexpr uint8_t kRaidIncomplete = sGUI_RAIDSET::kStateOnline;
constexpr uint8_t kRaidPassThrough = 0x80;   // the raid set of a pass-through disk
// Byte 53 of the volume record: the setting the configuration commands send after the cache mode.
constexpr int kVolumeByte53 = sGUI_VOLUMESET::kCacheMode + 1;

bool failWith(std::string* reason, const std::string& text)
{
    if (reason)
        *reason = text;
    return false;
}

int failNumber(std::string* reason, const std::string& text)
{
    failWith(reason, text);
    return -1;
}

void append16(Bytes& out, uint16_t v)
{
    const size_t at = out.size();
    out.resize(at + 2);
    zynwire::putU16(out.data() + at, v);
}

void append32(Bytes& out, uint32_t v)
{
    const size_t at = out.size();
    out.resize(at + 4);
    zynwire::putU32(out.data() + at, v);
}

void appendByte(Bytes& out, uint8_t v)
{
    out.resize(out.size() + 1, v);
}

// An override reply as the controller would send it: never one byte (it would read as a status
// letter), never more than a frame holds.
Bytes normalised(const Bytes& reply)
{
    Bytes out(reply.begin(), reply.begin() + std::min(reply.size(), kMaxOverride));
    if (out.size() == 1)
        out.resize(2, 0);
    return out;
}

int popcount(uint32_t v)
{
    int n = 0;
    for (; v != 0; v &= v - 1)
        ++n;
    return n;
}

std::string formatted(const char* format, int a, int b = 0)
{
    char text[48];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string where(int e, int s)
{
    return "enclosure " + std::to_string(e) + " slot " + std::to_string(s);
}

} // namespace

DeviceModel::DeviceModel(const ControllerConfig& config, const std::string& controllerSerial)
    : m_config(config)
    , m_controllerSerial(controllerSerial)
    , m_channels(config.profile == Profile::E100 ? 5 : 16)
    , m_volumeNumbers(std::clamp(config.volumeNumbers, 1, sGUI_RAIDSET::kMaxVolumes))
    , m_raidSetNumbers(std::clamp(config.raidSetNumbers, 1, 128))
    , m_ringCapacity(config.eventRingCapacity)
{
    m_raidSets.resize(size_t(m_raidSetNumbers));
    m_volumes.resize(size_t(m_volumeNumbers));
    defaultHardware();
}

// ---- Family facts and addressing

bool DeviceModel::older() const
{
    return m_config.profile == Profile::Older || m_config.profile == Profile::E100;
}

bool DeviceModel::jbod() const
{
    return m_config.profile == Profile::Jbod || m_config.profile == Profile::Jbod6G;
}

bool DeviceModel::extendedVolumes() const
{
    return m_config.profile == Profile::Enclosure;
}

int DeviceModel::enclosureCount() const
{
    return older() ? 0 : int(m_enclosures.size());
}

const DeviceModel::Enclosure* DeviceModel::enclosureAt(int e) const
{
    if (older() || e < 0)
        return nullptr;
    if (e < enclosureCount())
        return &m_enclosures[size_t(e)];
    if (e == enclosureCount())
        return &m_controllerSensors;
    return nullptr;
}

DeviceModel::Enclosure* DeviceModel::enclosureAt(int e)
{
    return const_cast<Enclosure*>(static_cast<const DeviceModel*>(this)->enclosureAt(e));
}

const DeviceModel::Disk* DeviceModel::diskAt(int e, int s) const
{
    if (older()) {
        if (e != 0 || s < 0 || s >= m_channels || m_enclosures.empty())
            return nullptr;
        return &m_enclosures[0].slots[size_t(s)];
    }
    if (e < 0 || e >= enclosureCount())
        return nullptr;
    const Enclosure& enclosure = m_enclosures[size_t(e)];
    if (s < 0 || size_t(s) >= enclosure.slots.size())
        return nullptr;
    return &enclosure.slots[size_t(s)];
}

DeviceModel::Disk* DeviceModel::diskAt(int e, int s)
{
    return const_cast<Disk*>(static_cast<const DeviceModel*>(this)->diskAt(e, s));
}

bool DeviceModel::validSlot(int e, int s, std::string* reason) const
{
    if (diskAt(e, s))
        return true;
    if (older())
        return failWith(reason, "no channel " + std::to_string(s) + " on enclosure " + std::to_string(e)
                                    + " (the older family has channels 0-" + std::to_string(m_channels - 1)
                                    + " on enclosure 0)");
    return failWith(reason, "no " + where(e, s));
}

std::string DeviceModel::deviceName(int e, int s) const
{
    if (older())
        return formatted("Channel#%02d", s + 1);
    return formatted("Enc#%d Slot#%02d", e + 1, s + 1);
}

uint8_t DeviceModel::deviceChannel(int s) const
{
    return uint8_t(s);
}

// ---- Events

uint32_t DeviceModel::packedTime() const
{
    const std::time_t now = m_clock > 0 ? std::time_t(m_clock) : std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    const uint32_t year = uint32_t(std::clamp(t.tm_year + 1900 - 2000, 0, 31));
    return 0x80000000u | (uint32_t(t.tm_mon + 1) << 27) | (year << 22) | (uint32_t(t.tm_mday) << 17)
         | (uint32_t(t.tm_hour) << 12) | (uint32_t(t.tm_min) << 6) | uint32_t(t.tm_sec & 0x3F);
}

void DeviceModel::raise(uint8_t eventClass, uint8_t code, const std::string& name, uint8_t channel,
                        uint32_t enclosure)
{
    sEVET_DATA event{};
    event.set(eventClass, code, channel);
    event.setDuration(enclosure);
    event.setTime(packedTime());
    event.setName(name);
    addEvent(event);
}

void DeviceModel::raiseDevice(uint8_t eventClass, uint8_t code, int e, int s)
{
    raise(eventClass, code, deviceName(e, s), deviceChannel(s), older() ? 0 : uint32_t(e));
}

void DeviceModel::addEvent(const sEVET_DATA& event)
{
    ++m_eventsLogged;
    if (m_ringCapacity == 0)
        return;
    m_ring.push_back(event);
    while (m_ring.size() > m_ringCapacity)
        m_ring.pop_front();
}

void DeviceModel::logPowerOn()
{
    raise(zynevent::kHwMonitorEvent, zynevent::kRaidPoweredOn, "");
}

std::vector<sEVET_DATA> DeviceModel::events() const
{
    return std::vector<sEVET_DATA>(m_ring.begin(), m_ring.end());
}

uint32_t DeviceModel::eventCounter() const
{
    return m_ringCapacity == 0 ? 0 : uint32_t(m_eventsLogged % m_ringCapacity);
}

void DeviceModel::setEventRingCapacity(uint32_t capacity)
{
    m_ringCapacity = capacity;
    while (m_ring.size() > m_ringCapacity)
        m_ring.pop_front();
}

// ---- Read commands

DeviceModel::Reply DeviceModel::pollEvents() const
{
    Bytes data;
    append32(data, eventCounter());
    return Reply::of(std::move(data));
}

DeviceModel::Reply DeviceModel::eventPage(const Bytes& payload) const
{
    if (payload.empty())
        return Reply::status('G');
    const size_t page = payload[0];
    if (page > m_ringCapacity / kEventPageRecords)
        return Reply::status('G');
    Bytes data(kEventPageSize, 0);
    for (size_t r = 0; r < kEventPageRecords; ++r) {
        const size_t back = kEventPageRecords * page + (kEventPageRecords - 1 - r);   // 0 = newest
        if (back >= m_ring.size())
            continue;
        const sEVET_DATA& event = m_ring[m_ring.size() - 1 - back];
        std::copy(event.bytes, event.bytes + sizeof event.bytes, data.begin() + long(r * sizeof(sEVET_DATA)));
    }
    return Reply::of(std::move(data));
}

DeviceModel::Reply DeviceModel::clearEvents()
{
    // The records go; the counter keeps counting from where it was.
    m_ring.clear();
    return Reply::status('A');
}

DeviceModel::Reply DeviceModel::hardwareMonitor(const Bytes& payload) const
{
    if (older()) {
        if (!m_monitorOverride.empty())
            return Reply::of(m_monitorOverride);
        return Reply::of(m_config.profile == Profile::E100 ? e100Block() : monitorBlock());
    }
    if (payload.size() < 2)
        return Reply::status('G');
    const int e = payload[0];
    switch (payload[1]) {
    case 0: {
        const sGUI_ENC_PROPERTY property = enclosure(e);
        return Reply::of(Bytes(property.bytes, property.bytes + sizeof property.bytes));
    }
    case 1:
        if (payload.size() < 3 || payload[2] >= kDescriptorPages)
            return Reply::status('G');
        return Reply::of(descriptorPage(e, payload[2]));
    case 2: {
        const auto it = m_sensorOverride.find(e);
        if (it != m_sensorOverride.end())
            return Reply::of(it->second);
        return Reply::of(sensorValues(e));
    }
    case 3: {
        const Enclosure* enclosure = enclosureAt(e);
        if (!enclosure || enclosure->battery < 0)
            return Reply::status('H');
        return Reply::of(Bytes{uint8_t(enclosure->battery), 0});
    }
    default:
        return Reply::status('G');
    }
}

DeviceModel::Reply DeviceModel::raidSetInfo(const Bytes& payload) const
{
    if (payload.empty() || payload[0] >= m_raidSetNumbers)
        return Reply::status('G');
    const sGUI_RAIDSET record = raidSet(payload[0]);
    return Reply::of(Bytes(record.bytes, record.bytes + sizeof record.bytes));
}

DeviceModel::Reply DeviceModel::volumeSetInfo(const Bytes& payload) const
{
    if (payload.empty() || payload[0] >= m_volumeNumbers)
        return Reply::status('G');
    return Reply::of(volumeReply(payload[0]));
}

DeviceModel::Reply DeviceModel::driveInfo(const Bytes& payload) const
{
    if (payload.size() < 2)
        return Reply::status('G');
    int e = 0;
    int s = 0;
    if (older()) {
        if (payload[1] != 0)   // {drive, 0}
            return Reply::status('G');
        s = payload[0];
    } else {                   // {slot, enclosure}
        s = payload[0];
        e = payload[1];
    }
    if (!diskAt(e, s))
        return Reply::status('G');
    const sGUI_PHY_DRV record = disk(e, s);
    return Reply::of(Bytes(record.bytes, record.bytes + sizeof record.bytes));
}

void DeviceModel::fillSystemInfo(Bytes& r) const
{
    if (r.size() < sizeof(sSYSTEM_INFO))
        return;
    zynwire::putU32(r.data() + sSYSTEM_INFO::kEventRingCapacity, m_ringCapacity);
    r[sSYSTEM_INFO::kDriveChannels] = older() ? uint8_t(m_channels) : 0;
    r[sSYSTEM_INFO::kVolumeSetNumbers] = uint8_t(m_volumeNumbers);
    r[sSYSTEM_INFO::kRaidSetNumbers] = uint8_t(m_raidSetNumbers);
    r[sSYSTEM_INFO::kFamily] = older() ? 1 : sSYSTEM_INFO::kEnclosureFamily;
    r[sSYSTEM_INFO::kHighestEnclosure] = uint8_t(enclosureCount());
    r[sSYSTEM_INFO::kExtendedVolumeRecord] = extendedVolumes() ? 1 : 0;
}

Bytes DeviceModel::raidSetBitmap() const
{
    Bytes bitmap(16, 0);
    for (size_t r = 0; r < m_raidSets.size() && r < 128; ++r)
        if (m_raidSets[r].exists)
            bitmap[r / 8] |= uint8_t(1u << (r % 8));
    return bitmap;
}

Bytes DeviceModel::volumeBitmap(bool onRaidSets) const
{
    Bytes bitmap(16, 0);
    for (size_t v = 0; v < m_volumes.size() && v < 128; ++v)
        if (m_volumes[v].exists && (m_volumes[v].raidSet >= 0 && m_volumes[v].passThrough.first < 0) == onRaidSets)
            bitmap[v / 8] |= uint8_t(1u << (v % 8));
    return bitmap;
}

// ---- Records

uint32_t DeviceModel::missingMask(int raid) const
{
    const RaidSet& set = m_raidSets[size_t(raid)];
    uint32_t mask = 0;
    for (size_t i = 0; i < set.members.size(); ++i) {
        const Disk* d = diskAt(set.members[i].first, set.members[i].second);
        if (!d || !d->present || d->raidSet != raid || (d->state & sGUI_PHY_DRV::kStateFailed))
            mask |= 1u << i;
    }
    return mask;
}

sGUI_RAIDSET DeviceModel::raidSet(int i) const
{
    sGUI_RAIDSET record{};
    if (i < 0 || i >= m_raidSetNumbers || !m_raidSets[size_t(i)].exists)
        return record;
    const RaidSet& set = m_raidSets[size_t(i)];
    const uint32_t missing = missingMask(i);
    record.setName(set.name);
    record.setMinMemberCapacity(set.minCapacity);
    record.setDegraded(missing);
    for (size_t k = 0; k < set.members.size(); ++k)
        record.setMember(int(k), uint8_t(set.members[k].second), uint8_t(older() ? 0 : set.members[k].first));
    record.setMemberCount(int(set.members.size()));
    record.bytes[kRaidMemberDevices] = uint8_t(set.members.size());
    uint8_t state = missing ? kRaidIncomplete : kRaidComplete;
    if (set.activated)
        state |= kRaidComplete;
    if (set.offline)
        state &= uint8_t(~sGUI_RAIDSET::kStateOnline);
    record.setStateFlags(set.passThrough ? kRaidPassThrough : state);
    record.setVolumeCount(int(set.volumes.size()));
    for (size_t k = 0; k < set.volumes.size(); ++k)
        record.setVolumeNumber(int(k), uint8_t(set.volumes[k]));
    record.setFlags(set.flags);
    if (set.passThrough)
        return record;   // the disk is the volume: no free space
    const auto gaps = freeGaps(i);
    const size_t count = std::min(gaps.size(), size_t(sGUI_RAIDSET::kMaxFreeSegments));
    record.setFreeSegmentCount(int(count));
    for (size_t k = 0; k < count; ++k)
        record.setFreeSegment(int(k), uint32_t(std::min<uint64_t>(gaps[k].second / kSpaceUnit, 0xFFFFFFFFu)));
    return record;
}

sGUI_VOLUMESET DeviceModel::volumeRecord(int i) const
{
    sGUI_VOLUMESET record{};
    if (i < 0 || i >= m_volumeNumbers || !m_volumes[size_t(i)].exists)
        return record;
    const Volume& v = m_volumes[size_t(i)];
    record.setName(v.name);
    record.setCapacity(v.capacity);
    record.setDegraded(v.raidSet >= 0 ? missingMask(v.raidSet) : 0);
    record.setRebuildDone(v.rebuildDone);
    record.setStripe(v.stripe);
    record.setState(v.state);
    record.setProgress(v.progress);
    record.setAddress(v.channel, v.id, v.lun);
    record.setTaggedQueuing(v.tagged);
    record.setCacheMode(v.cache);
    record.bytes[kVolumeByte53] = v.byte53;
    record.setMemberCount(v.memberCount);
    record.setRaidLevel(v.level);
    record.setRaidSet(v.raidSet >= 0 ? uint8_t(v.raidSet) : uint8_t(0xFF));
    if (extendedVolumes()) {
        record.setFlags(v.flags);
        for (size_t k = 0; k < v.nested.size() && k < size_t(sGUI_VOLUMESET::kMaxNestedMembers); ++k)
            record.setNestedMember(int(k), uint8_t(v.nested[k]));
        record.setNestedCount(int(v.nested.size()));
        record.setEncryptionType(v.encryptionType);
        record.setKeyStatus(v.keyStatus);
        if (v.channel == sGUI_VOLUMESET::kExtendedChannel)
            zynwire::putU32(record.bytes + zynvolreply::kField88, v.extra);
    }
    record.setSerial(v.serial);
    return record;
}

sGUI_VOLUMESET DeviceModel::volumeSet(int i) const
{
    // As a client builds it: without the extended reply nothing past the head is known.
    sGUI_VOLUMESET record = volumeRecord(i);
    if (!extendedVolumes())
        std::fill(record.bytes + zynvolreply::kHeadSize, record.bytes + sizeof record.bytes, uint8_t(0));
    return record;
}

Bytes DeviceModel::volumeReply(int i) const
{
    Bytes reply(zynvolreply::kSize, 0);
    const sGUI_VOLUMESET record = volumeRecord(i);
    if (!record.exists())
        return reply;
    const uint8_t* r = record.bytes;
    std::copy(r, r + zynvolreply::kHeadSize, reply.begin());
    if (extendedVolumes())
        std::copy(r + zynvolreply::kExtendedFrom, r + zynvolreply::kExtendedTo,
                  reply.begin() + zynvolreply::kExtendedFrom);
    const uint8_t* serial = r + sGUI_VOLUMESET::kSerial;
    if (record.channel() == sGUI_VOLUMESET::kExtendedChannel) {
        std::copy(r + zynvolreply::kField88, r + zynvolreply::kField88 + 4, reply.begin() + zynvolreply::kField88);
        std::copy(serial, serial + sGUI_VOLUMESET::kSerialSize, reply.begin() + zynvolreply::kSerialExtended);
    } else {
        std::copy(serial, serial + sGUI_VOLUMESET::kSerialSize, reply.begin() + zynvolreply::kSerialPlain);
    }
    return reply;
}

sGUI_PHY_DRV DeviceModel::disk(int e, int s) const
{
    sGUI_PHY_DRV record{};
    const Disk* d = diskAt(e, s);
    if (!d || !d->present)
        return record;
    record.setModel(d->model);
    record.setSerial(d->serial);
    record.setFirmware(d->firmware);
    record.setCapacity(d->capacity);
    record.setState(d->state);
    record.setSpareKind(d->spareKind);
    record.setRaidSet(d->raidSet);
    record.setDedicatedRaidSet(d->dedicatedTo);
    const DiskHealth& h = d->health;
    if (h.sata && !older())
        record.setState(uint16_t(d->state | sGUI_PHY_DRV::kStateSata));
    record.setErrorCounts(h.mediaErrors, h.timeouts);
    record.setAddress(h.address);
    if (older() || h.sata) {
        for (int a = 0; a < sGUI_PHY_DRV::kSmartAttributes; ++a)
            record.setSmart(a, h.smart[size_t(a)].first, h.smart[size_t(a)].second);
        record.setAtaTemperature(uint8_t(std::min<int>(h.temperature, 255)));
    } else {
        record.setRotation(h.rpm);
        record.setSasTemperature(h.temperature);
        for (int i = 0; i < sGUI_PHY_DRV::kSasCounterCount; ++i)
            record.setSasCounter(i, h.counters[size_t(i)]);
    }
    return record;
}

DiskHealth DeviceModel::defaultHealth(int e, int s)
{
    DiskHealth h;
    h.address = 0x5000000000100000ull | (uint64_t(e & 0xFF) << 8) | uint64_t(s & 0xFF);
    h.temperature = uint16_t(31 + (s % 8));
    h.smart = {{{200, 51}, {172, 21}, {200, 140}, {200, 0}, {100, 0}, {100, 0}}};
    h.rpm = 7200;
    return h;
}

namespace {

constexpr uint8_t kSpinningAttributes[6] = {1, 3, 5, 7, 10, 11};
constexpr uint8_t kSolidStateAttributes[6] = {1, 5, 9, 12, 173, 194};

bool solidState(const std::string& model)
{
    return model.find("SSD") != std::string::npos;
}

// ATA strings go two characters to a word, the first in the high byte, blank-padded.
void putAtaString(Bytes& page, size_t word, size_t words, const std::string& text)
{
    for (size_t i = 0; i < 2 * words; ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        page[2 * word + (i ^ 1)] = uint8_t(c);
    }
}

} // namespace

Bytes DeviceModel::smartPage(int e, int s, bool thresholds) const
{
    const Disk* d = diskAt(e, s);
    if (!d || !d->present)
        return {};
    Bytes page(512, 0);
    page[0] = 0x10;   // revision
    const bool ssd = solidState(d->model);
    for (int a = 0; a < 6; ++a) {
        uint8_t* entry = page.data() + 2 + 12 * a;
        entry[0] = (ssd ? kSolidStateAttributes : kSpinningAttributes)[a];
        const auto& pair = d->health.smart[size_t(a)];
        if (thresholds) {
            entry[1] = pair.second;
            continue;
        }
        entry[1] = 0x0F;   // flags
        entry[3] = pair.first;
        entry[4] = pair.first;   // worst
        const uint32_t raw = entry[0] == 194 ? d->health.temperature : entry[0] == 9 ? 1000u + uint32_t(s) : 0u;
        zynwire::putU32(entry + 5, raw);
    }
    return page;
}

bool DeviceModel::smartThresholdExceeded(int e, int s) const
{
    const Disk* d = diskAt(e, s);
    if (!d || !d->present)
        return false;
    for (const auto& pair : d->health.smart)
        if (pair.second != 0 && pair.first <= pair.second)
            return true;
    return false;
}

Bytes DeviceModel::ataIdentify(int e, int s) const
{
    const Disk* d = diskAt(e, s);
    if (!d || !d->present)
        return {};
    Bytes page(512, 0);
    putAtaString(page, 10, 10, d->serial);
    putAtaString(page, 23, 4, d->firmware);
    putAtaString(page, 27, 20, d->model);
    zynwire::putU32(page.data() + 2 * 60, uint32_t(std::min<uint64_t>(d->capacity, 0x0FFFFFFF)));
    zynwire::putU64(page.data() + 2 * 100, d->capacity);
    zynwire::putU16(page.data() + 2 * 217, solidState(d->model) ? 1 : 7200);
    return page;
}

Bytes DeviceModel::scsiInquiry(int e, int s) const
{
    const Disk* d = diskAt(e, s);
    if (!d || !d->present)
        return {};
    Bytes data(36, ' ');
    data[0] = 0x00;   // a disk
    data[1] = 0x00;
    data[2] = 0x06;   // version
    data[3] = 0x02;   // response format
    data[4] = 31;     // additional length
    data[5] = data[6] = data[7] = 0;
    const std::string vendor = "VARNEL";
    std::copy(vendor.begin(), vendor.end(), data.begin() + 8);
    const std::string product = d->model.size() > 7 ? d->model.substr(7, 16) : d->model;
    std::copy(product.begin(), product.begin() + std::min<size_t>(product.size(), 16), data.begin() + 16);
    std::copy(d->firmware.begin(), d->firmware.begin() + std::min<size_t>(d->firmware.size(), 4), data.begin() + 32);
    return data;
}

bool DeviceModel::setDiskHealth(int e, int s, const DiskHealth& health, std::string* reason)
{
    if (!validSlot(e, s, reason))
        return false;
    Disk& d = *diskAt(e, s);
    if (!d.present)
        return failWith(reason, where(e, s) + " holds no disk");
    d.health = health;
    return true;
}

std::array<uint8_t, 5> DeviceModel::propertyCounts(int e) const
{
    const auto it = m_countOverride.find(e);
    if (it != m_countOverride.end())
        return it->second;
    std::array<uint8_t, 5> counts{};
    if (const Enclosure* enclosure = enclosureAt(e)) {
        counts[0] = uint8_t(enclosure->slots.size());
        for (size_t k = 0; k < 4; ++k)
            counts[k + 1] = uint8_t(enclosure->sensors[k].size());
    }
    return counts;
}

sGUI_ENC_PROPERTY DeviceModel::enclosure(int e) const
{
    sGUI_ENC_PROPERTY record{};
    if (const Enclosure* enclosure = enclosureAt(e)) {
        record.setVendor(enclosure->vendor);
        record.setName(enclosure->name);
        record.setRevision(enclosure->revision);
        record.setType(enclosure->type);
    } else if (m_countOverride.find(e) == m_countOverride.end()) {
        return record;
    }
    const auto counts = propertyCounts(e);
    for (int k = 0; k < sGUI_ENC_PROPERTY::kSections; ++k)
        record.setSectionCount(k, counts[size_t(k)]);
    return record;
}

std::string DeviceModel::defaultSensorName(int section, int index)
{
    static const char* const voltages[] = {"Voltage 12V", "Voltage 5V", "Voltage 3.3V",
                                           "Voltage 1.8V", "Voltage 1.2V", "Voltage 1.0V"};
    static const char* const temperatures[] = {"Temperature CPU", "Temperature Board"};
    switch (section) {
    case 0: return formatted("Slot %02d", index + 1);
    case kSensorVoltages + 1:
        if (index < int(std::size(voltages)))
            return voltages[index];
        return formatted("Voltage %d", index + 1);
    case kSensorFans + 1: return formatted("Fan %d", index + 1);
    case kSensorPower + 1: return formatted("Power Supply %d", index + 1);
    case kSensorTemperatures + 1:
        if (index < int(std::size(temperatures)))
            return temperatures[index];
        return formatted("Temperature %d", index + 1);
    }
    return {};
}

Bytes DeviceModel::descriptorPage(int e, int section) const
{
    Bytes page(section == 0 ? kSlotNamesSize : kDescriptorSize, 0);
    const Enclosure* enclosure = enclosureAt(e);
    if (!enclosure)
        return page;
    const int count = std::min<int>({propertyCounts(e)[size_t(section)], sSENSORS::kMaxEntries,
                                     int(page.size() / sSENSORS::kNameSize)});
    for (int i = 0; i < count; ++i) {
        std::string name;
        if (section > 0 && size_t(i) < enclosure->sensors[size_t(section - 1)].size())
            name = enclosure->sensors[size_t(section - 1)][size_t(i)].name;
        else
            name = defaultSensorName(section, i);
        zynwire::putText(page.data() + size_t(i) * sSENSORS::kNameSize, sSENSORS::kNameSize, name);
    }
    return page;
}

Bytes DeviceModel::sensorValues(int e) const
{
    const Enclosure* enclosure = enclosureAt(e);
    const auto counts = propertyCounts(e);
    Bytes out;
    for (size_t k = 0; k < 4 && out.size() < kMaxMonitorReply; ++k) {
        const size_t n = counts[k + 1];
        const std::vector<Sensor>* known = enclosure ? &enclosure->sensors[k] : nullptr;
        for (size_t i = 0; i < n; ++i)
            append32(out, known && i < known->size() ? (*known)[i].value : 0);
        for (size_t i = 0; i < n; ++i)
            append32(out, known && i < known->size() ? (*known)[i].flags : 0);
    }
    if (out.size() > kMaxMonitorReply)
        out.resize(kMaxMonitorReply);
    if (out.empty())
        out.resize(8, 0);   // nothing to report still answers with data
    return out;
}

Bytes DeviceModel::monitorBlock() const
{
    const Monitor& m = m_monitor;
    Bytes out;
    appendByte(out, uint8_t(m.fans.size()));
    appendByte(out, uint8_t(m.voltages.size()));
    appendByte(out, uint8_t(m.temps.size()));
    appendByte(out, uint8_t(m.power.size()));
    for (uint16_t rpm : m.fans)
        append16(out, rpm);
    for (const auto& entry : m.voltages) {
        append16(out, entry.first);
        append16(out, entry.second);
    }
    for (int8_t t : m.temps)
        appendByte(out, uint8_t(t));
    if (!m.power.empty()) {
        // The power area is one byte per supply; the first holds the good bits of all of them.
        uint8_t good = 0;
        for (size_t i = 0; i < m.power.size() && i < 8; ++i)
            if (m.power[i])
                good |= uint8_t(1u << i);
        appendByte(out, good);
        for (size_t i = 1; i < m.power.size(); ++i)
            appendByte(out, 0);
    }
    if (m.tail == Monitor::Ups) {
        appendByte(out, m.tailValue);
    } else if (m.tail == Monitor::Battery) {
        appendByte(out, 0x55);
        appendByte(out, 0xAA);
        appendByte(out, 0x01);
        appendByte(out, m.tailValue);
    }
    return out;
}

Bytes DeviceModel::e100Block() const
{
    Bytes out(kE100BlockSize, 0);
    if (!m_monitor.fans.empty())
        zynwire::putU16(out.data() + _HWMON_E100::kFan, m_monitor.fans[0]);
    for (size_t i = 0; i < m_monitor.voltages.size() && i < 4; ++i)
        zynwire::putU16(out.data() + _HWMON_E100::kVoltage0 + 4 * i, m_monitor.voltages[i].second);   // measured
    for (size_t i = 0; i < m_monitor.temps.size() && i < 2; ++i)
        out[_HWMON_E100::kTemperature0 + i] = uint8_t(m_monitor.temps[i]);
    return out;
}

// ---- Changes

void DeviceModel::freeDisk(Disk& disk)
{
    disk.state = sGUI_PHY_DRV::kStateFree;
    disk.spareKind = 0;
    disk.raidSet = sGUI_PHY_DRV::kNoRaidSet;
    disk.dedicatedTo = 0;
    disk.passThroughVolume = -1;
    disk.failedFrom = -1;
}

bool DeviceModel::addDisk(int e, int s, const std::string& model, const std::string& serial,
                          uint64_t capacity, const std::string& firmware, std::string* reason,
                          const DiskHealth* health)
{
    if (!validSlot(e, s, reason))
        return false;
    Disk& d = *diskAt(e, s);
    if (d.present)
        return failWith(reason, where(e, s) + " already holds a disk");
    if (model.empty() || model.size() > size_t(sGUI_PHY_DRV::kModelSize))
        return failWith(reason, "a disk model has 1-40 characters");
    if (serial.size() > size_t(sGUI_PHY_DRV::kSerialSize))
        return failWith(reason, "a disk serial has at most 20 characters");
    if (firmware.size() > size_t(sGUI_PHY_DRV::kFirmwareSize))
        return failWith(reason, "a disk firmware version has at most 8 characters");
    if (capacity == 0 || capacity > kMaxCapacity)
        return failWith(reason, "a disk capacity is 1 .. 2^48 blocks");
    d = Disk{};
    d.present = true;
    d.model = model;
    d.serial = serial;
    d.firmware = firmware;
    d.capacity = capacity;
    d.health = health ? *health : defaultHealth(e, s);
    freeDisk(d);
    raiseDevice(zynevent::kDeviceEvent, zynevent::kDeviceInserted, e, s);
    return true;
}

int DeviceModel::tolerance(int level)
{
    switch (level) {
    case kLevelRaid10: case kLevelRaid3: case kLevelRaid5: return 1;
    case kLevelRaid6: return 2;
    default: return 0;
    }
}

uint64_t DeviceModel::footprint(int level, int members, uint64_t capacity)
{
    // Blocks of data on each member: C/n, 2C/n (mirrored), C/(n-1), C/(n-2); rounded up.
    uint64_t data = capacity;
    uint64_t over = uint64_t(std::max(members, 1));
    switch (level) {
    case kLevelRaid10: data = 2 * capacity; break;
    case kLevelRaid3: case kLevelRaid5: over = uint64_t(std::max(members - 1, 1)); break;
    case kLevelRaid6: over = uint64_t(std::max(members - 2, 1)); break;
    default: break;
    }
    const uint64_t perMember = (data + over - 1) / over;
    return (perMember + kSpaceUnit - 1) / kSpaceUnit * kSpaceUnit;
}

uint64_t DeviceModel::capacityIn(int level, int members, uint64_t space)
{
    const uint64_t n = uint64_t(std::max(members, 1));
    switch (level) {
    case kLevelRaid10: return space * n / 2;
    case kLevelRaid3: case kLevelRaid5: return space * uint64_t(std::max(members - 1, 1));
    case kLevelRaid6: return space * uint64_t(std::max(members - 2, 1));
    default: return space * n;
    }
}

bool DeviceModel::levelFits(int level, int members)
{
    switch (level) {
    case kLevelRaid0: return members >= 1;
    case kLevelRaid10: return members >= 2;
    case kLevelRaid3: case kLevelRaid5: case kLevelRaid6: return members >= 3;
    default: return false;
    }
}

bool DeviceModel::levelOffered(int level, int current) const
{
    return level != kLevelRaid6 || current == kLevelRaid6 || m_config.raid6;
}

uint64_t DeviceModel::usableSpace(int raid) const
{
    return m_raidSets[size_t(raid)].minCapacity / kSpaceUnit * kSpaceUnit;
}

void DeviceModel::membersLost(int raid, int missingBefore)
{
    const int after = popcount(missingMask(raid));
    if (after <= missingBefore)
        return;
    const RaidSet& set = m_raidSets[size_t(raid)];
    if (set.passThrough)
        return;
    if (missingBefore == 0)
        raise(zynevent::kRaidSetEvent, zynevent::kRaidSetDegraded, set.name, uint8_t(raid));
    for (int v : set.volumes) {
        Volume& volume = m_volumes[size_t(v)];
        if (after > tolerance(volume.level)) {
            if (!(volume.state & kStateFailed)) {
                volume.state |= kStateFailed;
                raise(zynevent::kVolumeSetEvent, zynevent::kVolumeFailed, volume.name, uint8_t(v));
            }
        } else if (missingBefore == 0) {
            raise(zynevent::kVolumeSetEvent, zynevent::kVolumeDegraded, volume.name, uint8_t(v));
        }
    }
}

bool DeviceModel::removeDisk(int e, int s, std::string* reason)
{
    if (!validSlot(e, s, reason))
        return false;
    Disk& d = *diskAt(e, s);
    if (!d.present)
        return failWith(reason, "no disk in " + where(e, s));
    const int raid = d.raidSet == sGUI_PHY_DRV::kNoRaidSet || d.raidSet >= m_raidSetNumbers ? -1 : d.raidSet;
    const int before = raid >= 0 ? popcount(missingMask(raid)) : 0;
    const int passThrough = d.passThroughVolume;
    d = Disk{};
    raiseDevice(zynevent::kDeviceEvent, zynevent::kDeviceRemoved, e, s);
    if (passThrough >= 0) {
        dropPassThrough(passThrough);
        raiseDevice(zynevent::kDeviceEvent, zynevent::kPassThroughDiskDeleted, e, s);
    }
    if (raid >= 0 && passThrough < 0)
        membersLost(raid, before);
    return true;
}

bool DeviceModel::failDisk(int e, int s, std::string* reason)
{
    if (!validSlot(e, s, reason))
        return false;
    Disk& d = *diskAt(e, s);
    if (!d.present)
        return failWith(reason, "no disk in " + where(e, s));
    if (d.state & sGUI_PHY_DRV::kStateFailed)
        return failWith(reason, "the disk in " + where(e, s) + " has failed already");
    const int raid = d.raidSet == sGUI_PHY_DRV::kNoRaidSet || d.raidSet >= m_raidSetNumbers ? -1 : d.raidSet;
    const int before = raid >= 0 ? popcount(missingMask(raid)) : 0;
    d.state = sGUI_PHY_DRV::kStateFailed;
    d.spareKind = 0;
    d.dedicatedTo = 0;
    d.raidSet = sGUI_PHY_DRV::kNoRaidSet;
    d.failedFrom = raid;
    raiseDevice(zynevent::kDeviceEvent, zynevent::kDeviceFailed, e, s);
    if (d.passThroughVolume >= 0) {
        Volume& volume = m_volumes[size_t(d.passThroughVolume)];
        volume.state |= kStateFailed;
        raise(zynevent::kVolumeSetEvent, zynevent::kVolumeFailed, volume.name, uint8_t(d.passThroughVolume));
    } else if (raid >= 0) {
        membersLost(raid, before);
    }
    return true;
}

int DeviceModel::createRaidSet(const std::string& name, const std::vector<std::pair<int, int>>& disks,
                               const RaidSetOptions& options, std::string* reason)
{
    if (jbod())
        return failNumber(reason, "a JBOD subsystem has no raid sets");
    if (name.empty() || name.size() > size_t(sGUI_RAIDSET::kNameSize))
        return failNumber(reason, "a raid set name has 1-16 characters");
    if (disks.empty() || disks.size() > size_t(sGUI_RAIDSET::kMaxMembers))
        return failNumber(reason, "a raid set has 1-32 disks");
    std::set<std::pair<int, int>> seen;
    uint64_t smallest = 0;
    for (const auto& address : disks) {
        if (!validSlot(address.first, address.second, reason))
            return -1;
        if (!seen.insert(address).second)
            return failNumber(reason, where(address.first, address.second) + " is given twice");
        const Disk& d = *diskAt(address.first, address.second);
        if (!d.present)
            return failNumber(reason, "no disk in " + where(address.first, address.second));
        if (d.state != sGUI_PHY_DRV::kStateFree)
            return failNumber(reason, "the disk in " + where(address.first, address.second) + " is not free");
        smallest = smallest == 0 ? d.capacity : std::min(smallest, d.capacity);
    }
    int number = options.number;
    if (number >= 0) {
        if (number >= m_raidSetNumbers)
            return failNumber(reason, "raid set numbers go up to " + std::to_string(m_raidSetNumbers - 1));
        if (m_raidSets[size_t(number)].exists)
            return failNumber(reason, "raid set " + std::to_string(number) + " exists");
    } else if ((number = firstFreeRaidSet()) < 0) {
        return failNumber(reason, "no free raid set number");
    }
    RaidSet& set = m_raidSets[size_t(number)];
    set = RaidSet{};
    set.exists = true;
    set.name = name;
    set.members = disks;
    set.minCapacity = smallest;
    set.flags = options.flags;
    for (const auto& address : disks) {
        Disk& d = *diskAt(address.first, address.second);
        d.state = sGUI_PHY_DRV::kStateMember | sGUI_PHY_DRV::kStateMemberLow;
        d.raidSet = uint8_t(number);
    }
    raise(zynevent::kRaidSetEvent, zynevent::kCreateRaidSet, name, uint8_t(number));
    return number;
}

bool DeviceModel::deleteRaidSet(int raid, std::string* reason)
{
    if (raid < 0 || raid >= m_raidSetNumbers || !m_raidSets[size_t(raid)].exists)
        return failWith(reason, "no raid set " + std::to_string(raid));
    RaidSet& set = m_raidSets[size_t(raid)];
    if (!set.volumes.empty())
        return failWith(reason, "raid set " + std::to_string(raid) + " still has volume sets");
    const std::string name = set.name;
    for (const auto& address : set.members) {
        Disk* d = diskAt(address.first, address.second);
        if (d && d->present && d->raidSet == raid)
            freeDisk(*d);
    }
    set = RaidSet{};
    raise(zynevent::kRaidSetEvent, zynevent::kDeleteRaidSet, name, uint8_t(raid));
    // Its dedicated hot spares become free disks.
    const int enclosures = older() ? 1 : enclosureCount();
    for (int e = 0; e < enclosures; ++e) {
        for (size_t s = 0; s < m_enclosures[size_t(e)].slots.size(); ++s) {
            Disk& d = m_enclosures[size_t(e)].slots[s];
            if (d.present && d.state == sGUI_PHY_DRV::kStateHotSpare && d.spareKind == 1 && d.dedicatedTo == raid) {
                freeDisk(d);
                raiseDevice(zynevent::kGeneralEvent, zynevent::kHotSpareDeleted, e, int(s));
            }
        }
    }
    return true;
}

std::vector<std::pair<uint64_t, uint64_t>> DeviceModel::freeGaps(int raid) const
{
    std::vector<std::pair<uint64_t, uint64_t>> used;
    for (const Volume& v : m_volumes)
        if (v.exists && v.raidSet == raid && v.perMember > 0)
            used.emplace_back(v.offset, v.perMember);
    std::sort(used.begin(), used.end());
    std::vector<std::pair<uint64_t, uint64_t>> gaps;
    uint64_t at = 0;
    const uint64_t end = usableSpace(raid);
    for (const auto& u : used) {
        if (u.first > at)
            gaps.emplace_back(at, u.first - at);
        at = std::max(at, u.first + u.second);
    }
    if (end > at)
        gaps.emplace_back(at, end - at);
    return gaps;
}

int DeviceModel::firstFreeVolume() const
{
    for (int i = 0; i < m_volumeNumbers; ++i)
        if (!m_volumes[size_t(i)].exists)
            return i;
    return -1;
}

int DeviceModel::firstFreeRaidSet() const
{
    for (int i = 0; i < m_raidSetNumbers; ++i)
        if (!m_raidSets[size_t(i)].exists)
            return i;
    return -1;
}

std::string DeviceModel::makeVolumeSerial(int volume)
{
    std::string tail = m_controllerSerial.size() > 8 ? m_controllerSerial.substr(m_controllerSerial.size() - 8)
                                                    : m_controllerSerial;
    tail.resize(8, '0');
    char number[16];
    std::snprintf(number, sizeof number, "%08X", ((++m_serialCounter & 0xFFFFFFu) << 8) | unsigned(volume & 0xFF));
    return tail + number;
}

int DeviceModel::createVolumeSet(int raid, const std::string& name, uint64_t capacity, int level,
                                 uint32_t stripe, const VolumeOptions& options, std::string* reason)
{
    if (raid < 0 || raid >= m_raidSetNumbers || !m_raidSets[size_t(raid)].exists)
        return failNumber(reason, "no raid set " + std::to_string(raid));
    if (m_raidSets[size_t(raid)].passThrough)
        return failNumber(reason, "raid set " + std::to_string(raid) + " is a pass-through disk");
    const RaidSet& set = m_raidSets[size_t(raid)];
    const int members = int(set.members.size());
    if (name.empty() || name.size() > size_t(sGUI_VOLUMESET::kNameSize))
        return failNumber(reason, "a volume set name has 1-16 characters");
    switch (level) {
    case kLevelRaid0: break;
    case kLevelRaid10:
        if (members < 2 || members % 2 != 0)
            return failNumber(reason, "Raid1+0 needs an even number of disks");
        break;
    case kLevelRaid3: case kLevelRaid5:
        if (members < 3)
            return failNumber(reason, "Raid3 and Raid5 need 3 disks or more");
        break;
    case kLevelRaid6:
        if (members < 4)
            return failNumber(reason, "Raid6 needs 4 disks or more");
        break;
    default:
        return failNumber(reason, "level " + std::to_string(level) + " is not 0-4");
    }
    if (stripe < 8 || stripe > 2048 || (stripe & (stripe - 1)) != 0)
        return failNumber(reason, "a stripe is a power of two from 8 to 2048 sectors");
    if (capacity == 0 || capacity > kMaxCapacity)
        return failNumber(reason, "a volume capacity is 1 .. 2^48 blocks");
    if ((capacity & 0xFFFFFFFFu) == 0)
        return failNumber(reason, "a capacity whose low 32 bits are zero would read as no volume");
    if (options.channel < 0 || options.channel > 255 || options.id < -1 || options.id > 255
        || options.lun < -1 || options.lun > 255)
        return failNumber(reason, "channel, id and lun are 0-255");
    if (options.serial.size() > size_t(sGUI_VOLUMESET::kSerialSize))
        return failNumber(reason, "a volume serial has at most 16 characters");
    if (options.flags & (sGUI_VOLUMESET::kFlagNested | sGUI_VOLUMESET::kFlagNestedMember))
        return failNumber(reason, "the nested flags belong to nested volume sets");
    if (missingMask(raid) != 0)
        return failNumber(reason, "raid set " + std::to_string(raid) + " is degraded");
    if (set.volumes.size() >= size_t(sGUI_RAIDSET::kMaxVolumes))
        return failNumber(reason, "raid set " + std::to_string(raid) + " holds 128 volume sets");
    int number = options.number;
    if (number >= 0) {
        if (number >= m_volumeNumbers)
            return failNumber(reason, "volume set numbers go up to " + std::to_string(m_volumeNumbers - 1));
        if (m_volumes[size_t(number)].exists)
            return failNumber(reason, "volume set " + std::to_string(number) + " exists");
    } else if ((number = firstFreeVolume()) < 0) {
        return failNumber(reason, "no free volume set number");
    }
    const uint64_t perMember = footprint(level, members, capacity);
    uint64_t offset = 0;
    bool fits = false;
    for (const auto& gap : freeGaps(raid)) {
        if (gap.second >= perMember) {
            offset = gap.first;
            fits = true;
            break;
        }
    }
    if (!fits)
        return failNumber(reason, "raid set " + std::to_string(raid) + " has no free space of that size");
    return addVolume(raid, number, name, capacity, level, stripe, options, offset, perMember, true);
}

int DeviceModel::addVolume(int raid, int number, const std::string& name, uint64_t capacity, int level,
                           uint32_t stripe, const VolumeOptions& options, uint64_t offset, uint64_t perMember,
                           bool announce)
{
    RaidSet& set = m_raidSets[size_t(raid)];
    const int members = int(set.members.size());
    Volume& v = m_volumes[size_t(number)];
    v = Volume{};
    v.exists = true;
    v.name = name;
    v.capacity = capacity;
    v.stripe = stripe;
    v.state = kStateInit;
    v.channel = uint8_t(options.channel);
    v.id = uint8_t(options.id >= 0 ? options.id : number / 8);
    v.lun = uint8_t(options.lun >= 0 ? options.lun : number % 8);
    v.tagged = options.taggedQueuing;
    v.cache = options.cacheMode;
    v.memberCount = members;
    v.level = uint8_t(level);
    v.raidSet = raid;
    v.flags = options.flags;
    v.encryptionType = options.encryptionType;
    v.keyStatus = options.keyStatus;
    v.extra = options.extra;
    v.serial = options.serial.empty() ? makeVolumeSerial(number) : options.serial;
    v.offset = offset;
    v.perMember = perMember;
    set.volumes.push_back(number);
    if (announce) {
        raise(zynevent::kVolumeSetEvent, zynevent::kCreateVolume, name, uint8_t(number));
        raise(zynevent::kVolumeSetEvent, zynevent::kStartInitialize, name, uint8_t(number));
    }
    return number;
}

void DeviceModel::dropVolume(int volume)
{
    Volume& v = m_volumes[size_t(volume)];
    if (v.raidSet >= 0) {
        auto& list = m_raidSets[size_t(v.raidSet)].volumes;
        list.erase(std::remove(list.begin(), list.end(), volume), list.end());
    }
    v = Volume{};
}

bool DeviceModel::deleteVolumeSet(int volume, std::string* reason)
{
    if (volume < 0 || volume >= m_volumeNumbers || !m_volumes[size_t(volume)].exists)
        return failWith(reason, "no volume set " + std::to_string(volume));
    Volume& v = m_volumes[size_t(volume)];
    if (v.flags & sGUI_VOLUMESET::kFlagNestedMember) {
        for (size_t n = 0; n < m_volumes.size(); ++n) {
            const auto& nested = m_volumes[n].nested;
            if (m_volumes[n].exists && std::find(nested.begin(), nested.end(), volume) != nested.end())
                return failWith(reason, "volume set " + std::to_string(volume) + " is a member of nested volume set "
                                            + std::to_string(n));
        }
    }
    if (v.passThrough.first >= 0) {
        const auto address = v.passThrough;
        Disk* d = diskAt(address.first, address.second);
        if (d && d->present && !(d->state & sGUI_PHY_DRV::kStateFailed))
            freeDisk(*d);
        else if (d)
            d->passThroughVolume = -1;
        dropPassThrough(volume);
        raiseDevice(zynevent::kDeviceEvent, zynevent::kPassThroughDiskDeleted, address.first, address.second);
        return true;
    }
    for (int member : v.nested)
        m_volumes[size_t(member)].flags &= ~sGUI_VOLUMESET::kFlagNestedMember;
    const std::string name = v.name;
    dropVolume(volume);
    raise(zynevent::kVolumeSetEvent, zynevent::kDeleteVolume, name, uint8_t(volume));
    return true;
}

int DeviceModel::createNestedVolume(const std::string& name, const std::vector<int>& members, int number,
                                    std::string* reason)
{
    if (!extendedVolumes())
        return failNumber(reason, "nested volume sets need the extended volume record");
    if (name.empty() || name.size() > size_t(sGUI_VOLUMESET::kNameSize))
        return failNumber(reason, "a volume set name has 1-16 characters");
    if (members.size() < 2 || members.size() > size_t(sGUI_VOLUMESET::kMaxNestedMembers))
        return failNumber(reason, "a nested volume set has 2-16 members");
    std::set<int> seen;
    uint64_t smallest = 0;
    for (int m : members) {
        if (m < 0 || m >= m_volumeNumbers || !m_volumes[size_t(m)].exists)
            return failNumber(reason, "no volume set " + std::to_string(m));
        if (!seen.insert(m).second)
            return failNumber(reason, "volume set " + std::to_string(m) + " is given twice");
        const Volume& v = m_volumes[size_t(m)];
        if (v.flags & (sGUI_VOLUMESET::kFlagNested | sGUI_VOLUMESET::kFlagNestedMember) || v.raidSet < 0
            || v.passThrough.first >= 0)
            return failNumber(reason, "volume set " + std::to_string(m) + " cannot join a nested volume set");
        smallest = smallest == 0 ? v.capacity : std::min(smallest, v.capacity);
    }
    if (number >= 0) {
        if (number >= m_volumeNumbers)
            return failNumber(reason, "volume set numbers go up to " + std::to_string(m_volumeNumbers - 1));
        if (m_volumes[size_t(number)].exists)
            return failNumber(reason, "volume set " + std::to_string(number) + " exists");
    } else if ((number = firstFreeVolume()) < 0) {
        return failNumber(reason, "no free volume set number");
    }
    const Volume& first = m_volumes[size_t(members[0])];
    Volume& v = m_volumes[size_t(number)];
    v = Volume{};
    v.exists = true;
    v.name = name;
    v.capacity = std::min(smallest * members.size(), kMaxCapacity);
    if ((v.capacity & 0xFFFFFFFFu) == 0)
        v.capacity -= 1;
    v.stripe = first.stripe;
    v.level = first.level;
    v.memberCount = int(members.size());
    v.channel = 0;
    v.id = uint8_t(number / 8);
    v.lun = uint8_t(number % 8);
    v.flags = sGUI_VOLUMESET::kFlagNested;
    v.nested = members;
    v.serial = makeVolumeSerial(number);
    for (int m : members)
        m_volumes[size_t(m)].flags |= sGUI_VOLUMESET::kFlagNestedMember;
    raise(zynevent::kVolumeSetEvent, zynevent::kCreateVolume, name, uint8_t(number));
    return number;
}

bool DeviceModel::setHotSpare(int e, int s, int kind, int raid, std::string* reason)
{
    if (!validSlot(e, s, reason))
        return false;
    Disk& d = *diskAt(e, s);
    if (!d.present || d.state != sGUI_PHY_DRV::kStateFree)
        return failWith(reason, "no free disk in " + where(e, s));
    if (kind < 0 || kind > 2)
        return failWith(reason, "a hot spare is global (0), dedicated (1) or of its enclosure (2)");
    if (kind == 1 && (raid < 0 || raid >= m_raidSetNumbers || !m_raidSets[size_t(raid)].exists
                      || m_raidSets[size_t(raid)].passThrough))
        return failWith(reason, "no raid set " + std::to_string(raid) + " to dedicate the hot spare to");
    if (kind == 2 && older())
        return failWith(reason, "the older family has no enclosure hot spares");
    d.state = sGUI_PHY_DRV::kStateHotSpare;
    d.spareKind = uint8_t(kind);
    d.dedicatedTo = uint16_t(kind == 1 ? raid : 0);
    raiseDevice(zynevent::kGeneralEvent, zynevent::kHotSpareCreated, e, s);
    return true;
}

bool DeviceModel::clearHotSpare(int e, int s, std::string* reason)
{
    if (!validSlot(e, s, reason))
        return false;
    Disk& d = *diskAt(e, s);
    if (!d.present || d.state != sGUI_PHY_DRV::kStateHotSpare)
        return failWith(reason, "no hot spare in " + where(e, s));
    freeDisk(d);
    raiseDevice(zynevent::kGeneralEvent, zynevent::kHotSpareDeleted, e, s);
    return true;
}

int DeviceModel::setPassThrough(int e, int s, std::string* reason)
{
    return makePassThrough(e, s, nullptr, reason);
}

int DeviceModel::makePassThrough(int e, int s, const uint8_t* settings, std::string* reason)
{
    // A raid set of the one disk (state flags 0x80) holding a level-5 volume set of all of it.
    if (!validSlot(e, s, reason))
        return -1;
    Disk& d = *diskAt(e, s);
    if (!d.present || d.state != sGUI_PHY_DRV::kStateFree)
        return failNumber(reason, "no free disk in " + where(e, s));
    const int number = firstFreeVolume();
    if (number < 0)
        return failNumber(reason, "no free volume set number");
    const int raid = firstFreeRaidSet();
    if (raid < 0)
        return failNumber(reason, "no free raid set number");
    RaidSet& set = m_raidSets[size_t(raid)];
    set = RaidSet{};
    set.exists = true;
    set.passThrough = true;
    set.name = deviceName(e, s);
    set.members = {{e, s}};
    set.minCapacity = d.capacity;
    set.volumes = {number};
    Volume& v = m_volumes[size_t(number)];
    v = Volume{};
    v.exists = true;
    v.name = deviceName(e, s);
    v.capacity = d.capacity;
    if ((v.capacity & 0xFFFFFFFFu) == 0)
        v.capacity -= 1;
    v.level = kLevelPassThrough;
    v.memberCount = 1;
    v.raidSet = raid;
    v.id = uint8_t(number / 8);
    v.lun = uint8_t(number % 8);
    if (settings) {
        v.channel = settings[0];
        v.id = settings[1];
        v.lun = settings[2];
        v.tagged = settings[3];
        v.cache = settings[4];
        v.byte53 = settings[5];
    }
    v.serial = makeVolumeSerial(number);
    v.passThrough = {e, s};
    d.state = sGUI_PHY_DRV::kStatePassThrough | sGUI_PHY_DRV::kStateMember | sGUI_PHY_DRV::kStateMemberLow;
    d.raidSet = uint8_t(raid);
    d.passThroughVolume = number;
    raiseDevice(zynevent::kDeviceEvent, zynevent::kPassThroughDiskCreated, e, s);
    return number;
}

void DeviceModel::dropPassThrough(int volume)
{
    const int raid = m_volumes[size_t(volume)].raidSet;
    dropVolume(volume);
    if (raid >= 0 && m_raidSets[size_t(raid)].passThrough)
        m_raidSets[size_t(raid)] = RaidSet{};
}

bool DeviceModel::clearPassThrough(int e, int s, std::string* reason)
{
    if (!validSlot(e, s, reason))
        return false;
    const Disk& d = *diskAt(e, s);
    if (!d.present || d.passThroughVolume < 0)
        return failWith(reason, "no pass-through disk in " + where(e, s));
    return deleteVolumeSet(d.passThroughVolume, reason);
}

bool DeviceModel::setVolumeState(int volume, uint32_t state, uint32_t progress, std::string* reason)
{
    if (volume < 0 || volume >= m_volumeNumbers || !m_volumes[size_t(volume)].exists)
        return failWith(reason, "no volume set " + std::to_string(volume));
    if (progress > 1000)
        return failWith(reason, "progress is 0-1000 tenths of a per cent");
    Volume& v = m_volumes[size_t(volume)];
    const uint32_t old = v.state;
    v.state = state;
    v.progress = progress;
    auto started = [&](uint32_t bit) { return !(old & bit) && (state & bit); };
    if (started(kStateInit))
        raise(zynevent::kVolumeSetEvent, zynevent::kStartInitialize, v.name, uint8_t(volume));
    if ((old & kStateInit) && !(state & kStateInit) && !(state & kStateFailed))
        raise(zynevent::kVolumeSetEvent, zynevent::kCompleteInit, v.name, uint8_t(volume));
    if (started(kStateFailed))
        raise(zynevent::kVolumeSetEvent, zynevent::kVolumeFailed, v.name, uint8_t(volume));
    if (started(kStateMigrate))
        raise(zynevent::kVolumeSetEvent, zynevent::kModifyVolume, v.name, uint8_t(volume));
    if (started(kStateRebuild) && v.raidSet >= 0) {
        raise(zynevent::kRaidSetEvent, zynevent::kRebuildRaidSet, m_raidSets[size_t(v.raidSet)].name,
              uint8_t(v.raidSet));
        raise(zynevent::kVolumeSetEvent, zynevent::kStartRebuilding, v.name, uint8_t(volume));
    }
    return true;
}

bool DeviceModel::advanceProgress(int volume, int tenths)
{
    if (volume < 0 || volume >= m_volumeNumbers || !m_volumes[size_t(volume)].exists || tenths < 0)
        return false;
    Volume& v = m_volumes[size_t(volume)];
    static const std::pair<uint32_t, uint8_t> kRunning[] = {
        {kStateInit, zynevent::kCompleteInit}, {kStateMigrate, zynevent::kCompleteMigrate},
        {kStateRebuild, zynevent::kCompleteRebuild}, {kStateCheck, zynevent::kCompleteCheck}};
    if (v.state & kStateFailed)
        return false;
    for (const auto& running : kRunning) {
        if (!(v.state & running.first))
            continue;
        v.progress = uint32_t(std::min<uint64_t>(uint64_t(v.progress) + uint64_t(tenths), 1000));
        if (v.progress >= 1000) {
            v.state &= ~running.first;
            v.progress = 0;
            raise(zynevent::kVolumeSetEvent, running.second, v.name, uint8_t(volume));
        }
        return true;
    }
    return false;
}

// ---- Fault switches

void DeviceModel::setHwMonitorBlock(const Bytes& block)
{
    m_monitorOverride = normalised(block);
}

void DeviceModel::setSensorValues(int e, const Bytes& reply)
{
    if (e < 0 || e > 255)
        return;
    if (reply.empty())
        m_sensorOverride.erase(e);
    else
        m_sensorOverride[e] = normalised(reply);
}

void DeviceModel::setEnclosurePropertyCounts(int e, const uint8_t counts[5])
{
    if (e < 0 || e > 255)
        return;
    if (!counts) {
        m_countOverride.erase(e);
        return;
    }
    std::array<uint8_t, 5> copy{};
    std::copy(counts, counts + 5, copy.begin());
    m_countOverride[e] = copy;
}

bool DeviceModel::setBattery(int e, int value)
{
    if (value < -1 || value > 255)
        return false;
    if (older()) {
        m_monitor.tail = value < 0 ? Monitor::None : Monitor::Battery;
        m_monitor.tailValue = uint8_t(value < 0 ? 0 : value);
        return true;
    }
    Enclosure* enclosure = enclosureAt(e);
    if (!enclosure)
        return false;
    enclosure->battery = value;
    return true;
}

// ---- Sample contents

void DeviceModel::fillSensors(Enclosure& enclosure, const std::array<int, 4>& counts)
{
    static const uint32_t nominal[] = {12000, 5000, 3300, 1800, 1200, 1000};
    for (size_t k = 0; k < 4; ++k) {
        auto& section = enclosure.sensors[k];
        section.resize(size_t(std::max(0, counts[k])));
        for (size_t i = 0; i < section.size(); ++i) {
            Sensor& sensor = section[i];
            sensor.name = defaultSensorName(int(k + 1), int(i));
            sensor.flags = 0;
            switch (k) {
            case kSensorVoltages: sensor.value = i < std::size(nominal) ? nominal[i] + nominal[i] / 100 : 1000; break;   // mV
            case kSensorFans: sensor.value = uint32_t(3000 + 120 * i); break;                 // rpm
            case kSensorPower: sensor.value = 1; break;                                       // supply good
            default: sensor.value = uint32_t(34 + 4 * i); break;                              // degrees C
            }
        }
    }
}

void DeviceModel::defaultHardware()
{
    m_enclosures.clear();
    m_monitor = Monitor{};
    if (older()) {
        Enclosure channels;
        channels.slots.resize(size_t(m_channels));
        m_enclosures.push_back(std::move(channels));
        if (m_config.profile == Profile::E100) {
            m_monitor.fans = {2800};
            m_monitor.voltages = {{12000, 12100}, {5000, 5050}, {3300, 3300}, {1800, 1810}};
            m_monitor.temps = {36, 41};
        } else {
            m_monitor.fans = {3010, 2980};
            m_monitor.voltages = {{12000, 12096}, {5000, 5040}, {3300, 3312}};
            m_monitor.temps = {38, 45};
            m_monitor.power = {true, true};
        }
        return;
    }
    const int count = m_config.profile == Profile::Enclosure ? 2 : 1;
    const size_t slots = m_config.profile == Profile::Jbod6G ? 12 : 8;
    for (int i = 0; i < count; ++i) {
        Enclosure enclosure;
        enclosure.name = jbod() ? "JBOD Enclosure" : "Backplane " + std::to_string(i + 1);
        enclosure.slots.resize(slots);
        fillSensors(enclosure, {3, 2, 2, 2});
        m_enclosures.push_back(std::move(enclosure));
    }
    m_controllerSensors = Enclosure{};
    m_controllerSensors.name = "ZRC-" + std::to_string(m_config.modelNumber);
    m_controllerSensors.type = 1;
    fillSensors(m_controllerSensors, {4, 1, 0, 2});
    m_controllerSensors.battery = jbod() ? -1 : 100;
}

void DeviceModel::buildDefault()
{
    logPowerOn();
    const uint64_t capacity = 7814037168ull;   // 4 TB
    auto add = [&](int e, int s) {
        const std::string serial = formatted("VD4S%02d%04d", e, s) + m_controllerSerial.substr(
            m_controllerSerial.size() > 4 ? m_controllerSerial.size() - 4 : 0);
        addDisk(e, s, "Varnel VD4000S", serial, capacity, "VS02", nullptr);
    };
    if (jbod()) {
        for (int s = 0; s < 4; ++s)
            add(0, s);
        return;
    }
    std::vector<std::pair<int, int>> members;
    if (older()) {
        const int disks = m_config.profile == Profile::E100 ? 4 : 5;
        for (int s = 0; s < disks; ++s)
            add(0, s);
        members = {{0, 0}, {0, 1}, {0, 2}};
    } else {
        for (int s = 0; s < 5; ++s)
            add(0, s);
        for (int s = 0; s < 2; ++s)
            add(1, s);
        members = {{0, 0}, {0, 1}, {0, 2}};
    }
    const int raid = createRaidSet("Raid Set # 000", members, {}, nullptr);
    const int volume = createVolumeSet(raid, "Volume---VOL#000", 4000000000ull, kLevelRaid5, 128, {}, nullptr);
    setVolumeState(volume, 0, 0, nullptr);
    setHotSpare(0, 3, 0, -1, nullptr);
}

} // namespace zynsim
