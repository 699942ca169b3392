// The RAID configuration commands on the device model: every check comes first, then the change
// and its events; the answer is the status letter. The payloads are decoded in raidcommands.cpp.
#include "devicemodel.h"

#include "keyfile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

namespace zynsim {

using namespace modelcodes;

namespace {

constexpr uint8_t kDone = 'A', kNotNormal = 'B', kNoRaidSet = 'D', kNoVolume = 'E', kNoDrive = 'F',
                  kInvalid = 'G', kUnsupported = 'H', kNoSpace = 'K';
// A larger capacity on modification: up to 0.05 GB above what fits is cut to it, more is refused.
constexpr uint64_t kCapacityTolerance = 97656;
constexpr int kMaxStripeCode = 8;
constexpr uint8_t kNoAddress = 0xFF;
constexpr uint16_t kMemberState = sGUI_PHY_DRV::kStateMember | sGUI_PHY_DRV::kStateMemberLow;

std::string numberedName(const char* format, int number, size_t width)
{
    char text[32];
    std::snprintf(text, sizeof text, format, number);
    std::string name = text;
    name.resize(std::max(name.size(), width), ' ');
    return name;
}

uint32_t stripeSectors(int code)
{
    return 8u << code;
}

template <class T>
bool hasDuplicates(const std::vector<T>& items)
{
    return std::set<T>(items.begin(), items.end()).size() != items.size();
}

// A capacity whose low word is zero would read as no volume: one block less.
uint64_t readable(uint64_t capacity)
{
    return (capacity & 0xFFFFFFFFu) == 0 && capacity > 0 ? capacity - 1 : capacity;
}

} // namespace

// ---- Shared checks

const DeviceModel::Disk* DeviceModel::presentDisk(const Address& a) const
{
    const Disk* d = diskAt(a.first, a.second);
    return d && d->present ? d : nullptr;
}

bool DeviceModel::raidSetInUse(int raid) const
{
    return raid >= 0 && raid < m_raidSetNumbers && m_raidSets[size_t(raid)].exists
        && !m_raidSets[size_t(raid)].passThrough && !m_raidSets[size_t(raid)].members.empty();
}

bool DeviceModel::raidSetNormal(int raid) const
{
    const RaidSet& set = m_raidSets[size_t(raid)];
    if (missingMask(raid) != 0 || set.offline)
        return false;
    for (int v : set.volumes)
        if (m_volumes[size_t(v)].state & (kStateMigrate | kStateRebuild))
            return false;
    return true;
}

bool DeviceModel::addressTaken(const uint8_t address[3], int except) const
{
    // Member volumes of nested volume sets are not presented to the host.
    for (size_t i = 0; i < m_volumes.size(); ++i) {
        const Volume& v = m_volumes[i];
        if (!v.exists || int(i) == except || (v.flags & sGUI_VOLUMESET::kFlagNestedMember))
            continue;
        if (v.channel == address[0] && v.id == address[1] && v.lun == address[2])
            return true;
    }
    return false;
}

void DeviceModel::compact(int raid)
{
    std::vector<int> order;
    for (size_t i = 0; i < m_volumes.size(); ++i)
        if (m_volumes[i].exists && m_volumes[i].raidSet == raid && m_volumes[i].perMember > 0)
            order.push_back(int(i));
    std::sort(order.begin(), order.end(),
              [this](int a, int b) { return m_volumes[size_t(a)].offset < m_volumes[size_t(b)].offset; });
    uint64_t at = 0;
    for (int v : order) {
        m_volumes[size_t(v)].offset = at;
        at += m_volumes[size_t(v)].perMember;
    }
}

// ---- Raid sets

uint8_t DeviceModel::commandCreateRaidSet(const std::vector<Address>& disks, const std::string& name, uint16_t flags)
{
    if (jbod())
        return kUnsupported;
    if (disks.empty() || disks.size() > size_t(sGUI_RAIDSET::kMaxMembers) || hasDuplicates(disks))
        return kInvalid;
    for (const Address& a : disks) {
        const Disk* d = presentDisk(a);
        if (!d || d->state != sGUI_PHY_DRV::kStateFree)
            return kNoDrive;
    }
    RaidSetOptions options;
    options.number = firstFreeRaidSet();
    options.flags = flags;
    if (options.number < 0)
        return kInvalid;
    const std::string chosen =
        name.empty() ? numberedName("Raid Set # %03d", options.number, size_t(sGUI_RAIDSET::kNameSize)) : name;
    return createRaidSet(chosen, disks, options, nullptr) >= 0 ? kDone : kInvalid;
}

uint8_t DeviceModel::commandDeleteRaidSet(int raid)
{
    if (jbod())
        return kUnsupported;
    if (!raidSetInUse(raid))
        return kNoRaidSet;
    // Its volume sets go with it, each logging its own deletion first; a raid set that carries
    // a member of a nested volume set keeps everything.
    const std::vector<int> volumes = m_raidSets[size_t(raid)].volumes;
    for (int v : volumes)
        if (m_volumes[size_t(v)].flags & sGUI_VOLUMESET::kFlagNestedMember)
            return kNotNormal;
    for (int v : volumes)
        if (!deleteVolumeSet(v, nullptr))
            return kInvalid;
    return deleteRaidSet(raid, nullptr) ? kDone : kInvalid;
}

uint8_t DeviceModel::commandExpandRaidSet(int raid, const std::vector<Address>& disks,
                                          const std::vector<LevelChange>& changes)
{
    if (jbod())
        return kUnsupported;
    if (!raidSetInUse(raid))
        return kNoRaidSet;
    RaidSet& set = m_raidSets[size_t(raid)];
    if (disks.empty() || hasDuplicates(disks))
        return kInvalid;
    uint64_t smallest = set.minCapacity;
    for (const Address& a : disks) {
        const Disk* d = presentDisk(a);
        if (!d || d->state != sGUI_PHY_DRV::kStateFree)
            return kNoDrive;
        smallest = std::min(smallest, d->capacity);
    }
    const int members = int(set.members.size() + disks.size());
    if (members > sGUI_RAIDSET::kMaxMembers)
        return kInvalid;
    for (const LevelChange& c : changes) {
        if (c.volume < 0 || c.volume >= m_volumeNumbers || !m_volumes[size_t(c.volume)].exists
            || m_volumes[size_t(c.volume)].raidSet != raid)
            return kNoVolume;
        if (!levelFits(c.level, members) || !levelOffered(c.level, m_volumes[size_t(c.volume)].level)
            || c.stripeCode < 0 || c.stripeCode > kMaxStripeCode)
            return kInvalid;
    }
    if (!raidSetNormal(raid))
        return kNotNormal;
    auto changeOf = [&](int volume) -> const LevelChange* {
        for (const LevelChange& c : changes)
            if (c.volume == volume)
                return &c;
        return nullptr;
    };
    uint64_t used = 0;
    for (int v : set.volumes) {
        const LevelChange* c = changeOf(v);
        used += footprint(c ? c->level : m_volumes[size_t(v)].level, members, m_volumes[size_t(v)].capacity);
    }
    if (used > smallest / kSpaceUnit * kSpaceUnit)
        return kNoSpace;

    for (const Address& a : disks) {
        Disk& d = *diskAt(a.first, a.second);
        d.state = kMemberState;
        d.raidSet = uint8_t(raid);
        set.members.push_back(a);
    }
    set.minCapacity = smallest;
    for (int number : set.volumes) {
        Volume& v = m_volumes[size_t(number)];
        if (const LevelChange* c = changeOf(number)) {
            v.level = uint8_t(c->level);
            v.stripe = stripeSectors(c->stripeCode);
            v.state |= kStateMigrate;
            v.progress = 0;
        }
        v.memberCount = members;
        v.perMember = footprint(v.level, members, v.capacity);
    }
    compact(raid);
    raise(zynevent::kRaidSetEvent, zynevent::kExpandRaidSet, set.name, uint8_t(raid));
    return kDone;
}

uint8_t DeviceModel::commandRaidSetState(int raid, bool activate)
{
    if (jbod())
        return kUnsupported;
    if (!raidSetInUse(raid))
        return kNoRaidSet;
    RaidSet& set = m_raidSets[size_t(raid)];
    if (activate) {
        set.activated = true;
        set.offline = false;
    } else {
        set.offline = true;
    }
    return kDone;
}

// ---- Hot spares

uint8_t DeviceModel::commandCreateHotSpares(const std::vector<Address>& disks, int kind, int raid)
{
    if (jbod())
        return kUnsupported;
    if (disks.empty() || hasDuplicates(disks) || kind < 0 || kind > 2 || (kind == 2 && older()))
        return kInvalid;
    if (kind == 1 && !raidSetInUse(raid))
        return kNoRaidSet;
    for (const Address& a : disks) {
        const Disk* d = presentDisk(a);
        if (!d || d->state != sGUI_PHY_DRV::kStateFree)
            return kNoDrive;
    }
    for (const Address& a : disks)
        setHotSpare(a.first, a.second, kind, kind == 1 ? raid : -1, nullptr);
    return kDone;
}

uint8_t DeviceModel::commandDeleteHotSpares(const std::vector<Address>& disks)
{
    if (jbod())
        return kUnsupported;
    if (disks.empty() || hasDuplicates(disks))
        return kInvalid;
    for (const Address& a : disks) {
        const Disk* d = presentDisk(a);
        if (!d || d->state != sGUI_PHY_DRV::kStateHotSpare)
            return kNoDrive;
    }
    for (const Address& a : disks)
        clearHotSpare(a.first, a.second, nullptr);
    return kDone;
}

// ---- Volume sets

uint8_t DeviceModel::commandCreateVolume(int raid, const VolumeSpec& spec)
{
    if (jbod())
        return kUnsupported;
    if (!raidSetInUse(raid))
        return kNoRaidSet;
    const RaidSet& set = m_raidSets[size_t(raid)];
    const int members = int(set.members.size());
    if (!levelFits(spec.level, members) || !levelOffered(spec.level, -1) || spec.stripeCode < 0
        || spec.stripeCode > kMaxStripeCode || spec.blocks == 0
        || set.volumes.size() >= size_t(sGUI_RAIDSET::kMaxVolumes))
        return kInvalid;
    const int number = firstFreeVolume();
    if (number < 0)
        return kInvalid;
    if (!raidSetNormal(raid))
        return kNotNormal;
    // First fit; else the largest gap, with the capacity cut to what it holds.
    uint64_t capacity = std::min(spec.blocks, kMaxCapacity);
    const auto gaps = freeGaps(raid);
    const std::pair<uint64_t, uint64_t>* place = nullptr;
    for (const auto& gap : gaps) {
        if (footprint(spec.level, members, capacity) <= gap.second) {
            place = &gap;
            break;
        }
    }
    if (!place) {
        for (const auto& gap : gaps)
            if (!place || gap.second > place->second)
                place = &gap;
        const uint64_t most = place ? std::min(capacityIn(spec.level, members, place->second), kMaxCapacity) : 0;
        if (most == 0)
            return kNoSpace;
        capacity = most;
    }
    if (addressTaken(spec.address, -1))
        return kInvalid;
    capacity = readable(capacity);
    VolumeOptions options;
    options.channel = spec.address[0];
    options.id = spec.address[1];
    options.lun = spec.address[2];
    options.taggedQueuing = spec.address[3];
    options.cacheMode = spec.address[4];
    options.encryptionType = spec.encryption;
    if (spec.encryption != 0)
        options.flags = sGUI_VOLUMESET::kFlagEncrypted | sGUI_VOLUMESET::kFlagUnlocked;
    const std::string name =
        spec.name.empty() ? numberedName("Volume---VOL#%03d", number, 0) : spec.name;
    const uint64_t offset = place->first;
    Volume& v = m_volumes[size_t(number)];
    addVolume(raid, number, name, capacity, spec.level, stripeSectors(spec.stripeCode), options, offset,
              footprint(spec.level, members, capacity), false);
    v.byte53 = spec.address[5];
    raise(zynevent::kVolumeSetEvent, zynevent::kCreateVolume, name, uint8_t(number));
    raise(zynevent::kVolumeSetEvent, zynevent::kStartInitialize, name, uint8_t(number));
    return kDone;
}

uint8_t DeviceModel::commandCreateNestedVolume(const std::vector<int>& raids, const VolumeSpec& spec)
{
    if (!extendedVolumes())
        return kUnsupported;
    const size_t count = raids.size();
    if (count < 2 || count > 8 || hasDuplicates(raids))
        return kInvalid;
    for (int r : raids)
        if (!raidSetInUse(r))
            return kNoRaidSet;
    if (spec.stripeCode < 0 || spec.stripeCode > kMaxStripeCode || spec.blocks == 0 || !levelOffered(spec.level, -1))
        return kInvalid;
    for (int r : raids) {
        const RaidSet& set = m_raidSets[size_t(r)];
        if (!levelFits(spec.level, int(set.members.size())) || set.volumes.size() >= size_t(sGUI_RAIDSET::kMaxVolumes))
            return kInvalid;
    }
    std::vector<int> numbers;
    for (int i = 0; i < m_volumeNumbers && numbers.size() < count + 1; ++i)
        if (!m_volumes[size_t(i)].exists)
            numbers.push_back(i);
    if (numbers.size() < count + 1)
        return kInvalid;
    for (int r : raids)
        if (!raidSetNormal(r))
            return kNotNormal;
    // Each raid set holds an even share; the one with the least room decides what fits, and a
    // larger request is cut to that.
    uint64_t most = kMaxCapacity;
    for (int r : raids) {
        uint64_t largest = 0;
        for (const auto& gap : freeGaps(r))
            largest = std::max(largest, gap.second);
        most = std::min(most, capacityIn(spec.level, int(m_raidSets[size_t(r)].members.size()), largest));
    }
    uint64_t capacity = std::min(spec.blocks, kMaxCapacity);
    uint64_t share = (capacity + count - 1) / count;
    if (share > most) {
        if (most == 0)
            return kNoSpace;
        share = most;
        capacity = most * count;
    }
    if (addressTaken(spec.address, -1))
        return kInvalid;
    const std::string name =
        spec.name.empty() ? numberedName("Volume---VOL#%03d", numbers[0], 0) : spec.name;
    std::vector<int> members;
    for (size_t k = 0; k < count; ++k) {
        const int r = raids[k];
        const int n = int(m_raidSets[size_t(r)].members.size());
        const uint64_t need = footprint(spec.level, n, share);
        uint64_t offset = 0;
        for (const auto& gap : freeGaps(r)) {
            if (gap.second >= need) {
                offset = gap.first;
                break;
            }
        }
        const int number = numbers[k + 1];
        addVolume(r, number, name, readable(share), spec.level, stripeSectors(spec.stripeCode), {}, offset, need, false);
        m_volumes[size_t(number)].state = 0;
        members.push_back(number);
    }
    createNestedVolume(name, members, numbers[0], nullptr);
    Volume& v = m_volumes[size_t(numbers[0])];
    v.capacity = readable(capacity);
    v.stripe = stripeSectors(spec.stripeCode);
    v.channel = spec.address[0];
    v.id = spec.address[1];
    v.lun = spec.address[2];
    v.tagged = spec.address[3];
    v.cache = spec.address[4];
    v.byte53 = spec.address[5];
    v.encryptionType = spec.encryption;
    if (spec.encryption != 0)
        v.flags |= sGUI_VOLUMESET::kFlagEncrypted | sGUI_VOLUMESET::kFlagUnlocked;
    return kDone;
}

uint8_t DeviceModel::commandModifyVolume(int volume, const VolumeSpec& spec)
{
    if (jbod())
        return kUnsupported;
    if (volume < 0 || volume >= m_volumeNumbers || !m_volumes[size_t(volume)].exists)
        return kNoVolume;
    Volume& v = m_volumes[size_t(volume)];
    if (v.passThrough.first >= 0 || (v.flags & sGUI_VOLUMESET::kFlagNestedMember))
        return kNoVolume;
    if (spec.stripeCode < 0 || spec.stripeCode > kMaxStripeCode)
        return kInvalid;
    const bool nested = (v.flags & sGUI_VOLUMESET::kFlagNested) != 0;
    const uint32_t stripe = stripeSectors(spec.stripeCode);
    const bool relayout = spec.level != v.level || stripe != v.stripe;
    const bool grow = spec.blocks > v.capacity;
    if (spec.blocks != 0 && spec.blocks < v.capacity)
        return kInvalid;   // volumes do not shrink
    if (nested ? (relayout || grow) : !levelFits(spec.level, v.memberCount))
        return kInvalid;   // a nested volume set changes its name and address only
    if (!levelOffered(spec.level, v.level))
        return kInvalid;
    if ((relayout || grow) && !raidSetNormal(v.raidSet))
        return kNotNormal;
    uint64_t capacity = grow ? spec.blocks : v.capacity;
    if (relayout || grow) {
        if (capacity > kMaxCapacity)
            return kNoSpace;
        uint64_t others = 0;
        for (int other : m_raidSets[size_t(v.raidSet)].volumes)
            if (other != volume)
                others += m_volumes[size_t(other)].perMember;
        const uint64_t space = usableSpace(v.raidSet) - std::min(usableSpace(v.raidSet), others);
        const uint64_t most = std::min(capacityIn(spec.level, v.memberCount, space), kMaxCapacity);
        if (capacity > most) {
            if (!grow || capacity > most + kCapacityTolerance || most < v.capacity)
                return kNoSpace;
            capacity = most;
        }
        capacity = readable(capacity);
    }
    if (addressTaken(spec.address, volume))
        return kInvalid;

    if (!spec.name.empty())
        v.name = spec.name;
    v.channel = spec.address[0];
    v.id = spec.address[1];
    v.lun = spec.address[2];
    v.tagged = spec.address[3];
    v.cache = spec.address[4];
    v.byte53 = spec.address[5];
    if (relayout) {
        v.level = uint8_t(spec.level);
        v.stripe = stripe;
        v.state |= kStateMigrate;
        v.progress = 0;
    }
    if (!nested) {
        v.capacity = capacity;
        v.perMember = footprint(v.level, v.memberCount, capacity);
        // Grown in place when the space behind it allows, else the volumes move together.
        bool fits = v.offset + v.perMember <= usableSpace(v.raidSet);
        for (int other : m_raidSets[size_t(v.raidSet)].volumes) {
            const Volume& o = m_volumes[size_t(other)];
            if (other != volume && o.offset >= v.offset && o.offset < v.offset + v.perMember)
                fits = false;
        }
        if (!fits)
            compact(v.raidSet);
    }
    raise(zynevent::kVolumeSetEvent, zynevent::kModifyVolume, v.name, uint8_t(volume));
    return kDone;
}

uint8_t DeviceModel::commandDeleteVolume(int volume)
{
    if (jbod())
        return kUnsupported;
    if (volume < 0 || volume >= m_volumeNumbers || !m_volumes[size_t(volume)].exists)
        return kNoVolume;
    const Volume& v = m_volumes[size_t(volume)];
    if (v.passThrough.first >= 0 || (v.flags & sGUI_VOLUMESET::kFlagNestedMember))
        return kInvalid;   // deleted with 0x42 / with their nested volume set
    if (v.flags & sGUI_VOLUMESET::kFlagNested) {
        const std::string name = v.name;
        for (int member : std::vector<int>(v.nested))
            dropVolume(member);
        dropVolume(volume);
        raise(zynevent::kVolumeSetEvent, zynevent::kDeleteVolume, name, uint8_t(volume));
        return kDone;
    }
    return deleteVolumeSet(volume, nullptr) ? kDone : kInvalid;
}

uint8_t DeviceModel::commandStartCheck(int volume)
{
    if (jbod())
        return kUnsupported;
    if (volume < 0 || volume >= m_volumeNumbers || !m_volumes[size_t(volume)].exists
        || (m_volumes[size_t(volume)].flags & sGUI_VOLUMESET::kFlagNestedMember))
        return kNoVolume;
    Volume& v = m_volumes[size_t(volume)];
    std::vector<int> raids;
    if (v.raidSet >= 0)
        raids.push_back(v.raidSet);
    for (int member : v.nested)
        raids.push_back(m_volumes[size_t(member)].raidSet);
    if (v.state != 0)
        return kNotNormal;
    for (int r : raids)
        if (r < 0 || missingMask(r) != 0 || m_raidSets[size_t(r)].offline)
            return kNotNormal;
    v.state = kStateCheck;
    v.progress = 0;
    raise(zynevent::kVolumeSetEvent, zynevent::kStartChecking, v.name, uint8_t(volume));
    return kDone;
}

uint8_t DeviceModel::commandStopCheck()
{
    if (jbod())
        return kUnsupported;
    for (Volume& v : m_volumes) {
        if (v.exists && (v.state & kStateCheck)) {
            v.state &= ~kStateCheck;
            v.progress = 0;
            raise(zynevent::kVolumeSetEvent, zynevent::kStopChecking, v.name, uint8_t(&v - m_volumes.data()));
        }
    }
    return kDone;
}

uint8_t DeviceModel::commandLockVolume(int volume)
{
    if (jbod())
        return kUnsupported;
    if (volume < 0 || volume >= m_volumeNumbers || !m_volumes[size_t(volume)].exists)
        return kNoVolume;
    m_volumes[size_t(volume)].flags &= ~sGUI_VOLUMESET::kFlagUnlocked;
    return kDone;
}

// A volume encryption key file on the firmware road: every entry that names an encrypted
// volume (its 16 name and 16 serial bytes) gives it its key, when type and key length fit.
uint8_t DeviceModel::commandLoadKeyFile(const std::vector<uint8_t>& image)
{
    constexpr uint8_t kTypeMismatch = 'U', kKeyLengthInvalid = 'V', kKeyInvalid = 'W';
    std::vector<zynkey::EntryAt> entries;
    if (!zynkey::parse(image.data(), image.size(), &entries))
        return kKeyInvalid;
    for (const zynkey::EntryAt& at : entries) {
        const uint8_t* entry = image.data() + at.offset;
        for (int n = 0; n < m_volumeNumbers; ++n) {
            Volume& v = m_volumes[size_t(n)];
            if (!v.exists || (v.flags & sGUI_VOLUMESET::kFlagEncrypted) == 0)
                continue;
            const sGUI_VOLUMESET record = volumeSet(n);
            if (std::memcmp(record.bytes + sGUI_VOLUMESET::kName, entry, zynkey::kNameSize) != 0
                || std::memcmp(record.bytes + sGUI_VOLUMESET::kSerial, entry + zynkey::kSerialOffset,
                               zynkey::kSerialSize) != 0)
                continue;
            if (zynwire::getU16(entry + zynkey::kTypeOffset) != v.encryptionType)
                return kTypeMismatch;
            if (at.keyLength != zynkey::keyLengthOf(v.encryptionType))
                return kKeyLengthInvalid;
            v.keyStatus = 1;
            v.flags |= sGUI_VOLUMESET::kFlagUnlocked;
        }
    }
    return kDone;
}

// ---- Pass-through disks

uint8_t DeviceModel::commandCreatePassThrough(const Address& disk, const uint8_t settings[6])
{
    if (jbod())
        return kUnsupported;
    const Disk* d = presentDisk(disk);
    if (!d || d->state != sGUI_PHY_DRV::kStateFree)
        return kNoDrive;
    if (settings[0] == kNoAddress || settings[1] == kNoAddress || settings[2] == kNoAddress
        || addressTaken(settings, -1) || firstFreeVolume() < 0 || firstFreeRaidSet() < 0)
        return kInvalid;
    return makePassThrough(disk.first, disk.second, settings, nullptr) >= 0 ? kDone : kInvalid;
}

uint8_t DeviceModel::commandModifyPassThrough(const Address& disk, const uint8_t settings[6])
{
    if (jbod())
        return kUnsupported;
    const Disk* d = presentDisk(disk);
    if (!d || d->passThroughVolume < 0)
        return kNoDrive;
    if (settings[0] == kNoAddress || settings[1] == kNoAddress || settings[2] == kNoAddress
        || addressTaken(settings, d->passThroughVolume))
        return kInvalid;
    Volume& v = m_volumes[size_t(d->passThroughVolume)];
    v.channel = settings[0];
    v.id = settings[1];
    v.lun = settings[2];
    v.tagged = settings[3];
    v.cache = settings[4];
    v.byte53 = settings[5];
    raiseDevice(zynevent::kDeviceEvent, zynevent::kPassThroughDiskModified, disk.first, disk.second);
    return kDone;
}

uint8_t DeviceModel::commandDeletePassThrough(const Address& disk)
{
    if (jbod())
        return kUnsupported;
    const Disk* d = presentDisk(disk);
    if (!d || d->passThroughVolume < 0)
        return kNoDrive;
    return clearPassThrough(disk.first, disk.second, nullptr) ? kDone : kInvalid;
}

// ---- Drives

uint8_t DeviceModel::commandLocate(const Locate& locate)
{
    for (const Address& a : locate.disks)
        if (!diskAt(a.first, a.second))
            return kNoDrive;
    if (locate.enclosure >= 0 && locate.enclosure >= enclosureCount())
        return kInvalid;
    m_locate = locate;
    return kDone;
}

uint8_t DeviceModel::commandFailDisk(const Address& disk)
{
    const Disk* d = presentDisk(disk);
    if (!d || (d->state & sGUI_PHY_DRV::kStateFailed))
        return kNoDrive;
    return failDisk(disk.first, disk.second, nullptr) ? kDone : kNoDrive;
}

uint8_t DeviceModel::commandActivateDisk(const Address& disk)
{
    Disk* d = diskAt(disk.first, disk.second);
    if (!d || !d->present || !(d->state & sGUI_PHY_DRV::kStateFailed))
        return kNoDrive;
    const int raid = d->failedFrom;
    d->failedFrom = -1;
    const bool member = raid >= 0 && raid < m_raidSetNumbers && m_raidSets[size_t(raid)].exists
                     && std::count(m_raidSets[size_t(raid)].members.begin(), m_raidSets[size_t(raid)].members.end(), disk);
    if (!member) {
        freeDisk(*d);
        raiseDevice(zynevent::kDeviceEvent, zynevent::kDeviceInserted, disk.first, disk.second);
        return kDone;
    }
    // Back in its place: the volumes it failed come back when the raid set survives without the rest.
    const RaidSet& set = m_raidSets[size_t(raid)];
    d->raidSet = uint8_t(raid);
    d->state = set.passThrough ? uint16_t(kMemberState | sGUI_PHY_DRV::kStatePassThrough) : kMemberState;
    int missing = 0;
    for (uint32_t mask = missingMask(raid); mask != 0; mask &= mask - 1)
        ++missing;
    for (int number : set.volumes) {
        Volume& v = m_volumes[size_t(number)];
        if (missing <= tolerance(v.level) || set.passThrough)
            v.state &= ~kStateFailed;
    }
    raiseDevice(zynevent::kDeviceEvent, zynevent::kDeviceInserted, disk.first, disk.second);
    return kDone;
}

} // namespace zynsim
