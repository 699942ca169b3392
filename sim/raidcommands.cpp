// The RAID configuration commands: each handler decodes its payload strictly (a length or a fixed
// byte that is not the client's answers 'G') and leaves the rules to the device model
// (raidchanges.cpp). The payload forms: the top of simulator.h.
#include "controllerimpl.h"
#include "simframe.h"

#include <algorithm>

namespace zynsim {

namespace {

using Address = DeviceModel::Address;

constexpr size_t kNameSize = 16;
constexpr size_t kOlderRaidSetSize = 20;          // u32 mask, name
constexpr size_t kRaidSetListHead = 21;           // count, 0 0 0, name, mode
constexpr int kMaxRaidSetDisks = 32;
constexpr size_t kOlderExpandSize = 57;           // raid, u32 mask, 17 triples
constexpr size_t kOlderExpandTriples = 5;
constexpr size_t kExpandSize = 1023;              // raid, count, 0 0 0, 32 pairs, triples
constexpr size_t kExpandPairs = 5;
constexpr size_t kExpandTriples = 69;
constexpr size_t kMaskSize = 4;
constexpr size_t kSpareSize = 9;                  // FF FF FF FF, enc, slot, type, u16 raid
constexpr size_t kSpareDeleteMin = 6;
constexpr size_t kSpareDeleteMax = 4 + 2 * 320;
constexpr size_t kVolumeSize = 41;
constexpr size_t kNestedSize = 43;
constexpr size_t kModifySize = 37;
constexpr size_t kCheckSize = 3;
constexpr size_t kSetupRequestSize = 525;
constexpr size_t kSetupArgs = 10;                 // after sub-command, prefix and operation

Bytes answer(uint8_t letter)
{
    return frame::encodeStatus(letter);
}

Bytes invalid()
{
    return answer('G');
}

bool zeros(const Bytes& p, size_t from, size_t to)
{
    return std::all_of(p.begin() + std::ptrdiff_t(from), p.begin() + std::ptrdiff_t(to),
                       [](uint8_t b) { return b == 0; });
}

bool marked(const Bytes& p)
{
    return p.size() >= 4 && std::all_of(p.begin(), p.begin() + 4, [](uint8_t b) { return b == 0xFF; });
}

// Bit n: channel n on the older family, slot n of enclosure 0 on the other.
std::vector<Address> maskDisks(uint32_t mask)
{
    std::vector<Address> disks;
    for (int n = 0; n < 32; ++n)
        if (mask & (1u << n))
            disks.emplace_back(0, n);
    return disks;
}

// A 16-byte name field: up to its first NUL, without trailing blanks; empty when none is given.
std::string nameAt(const Bytes& p, size_t at)
{
    const auto from = p.begin() + std::ptrdiff_t(at);
    std::string name(from, std::find(from, from + std::ptrdiff_t(kNameSize), uint8_t(0)));
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

// Name, blocks, and level, stripe code and the six address bytes from `settingsAt`.
DeviceModel::VolumeSpec specAt(const Bytes& p, size_t nameOffset, size_t blocksAt, size_t settingsAt)
{
    DeviceModel::VolumeSpec spec;
    spec.name = nameAt(p, nameOffset);
    spec.blocks = zynwire::getU64(p.data() + blocksAt);
    spec.level = p[settingsAt];
    spec.stripeCode = p[settingsAt + 1];
    std::copy(p.begin() + std::ptrdiff_t(settingsAt + 2), p.begin() + std::ptrdiff_t(settingsAt + 8), spec.address);
    return spec;
}

// The drive a pass-through command names, and where its six settings start; false: a wrong form.
bool passThroughDisk(const DeviceModel& m, const Bytes& p, bool create, Address* disk, size_t* settingsAt)
{
    if (m.olderFamily()) {
        // {drive, 6 settings}; creation also takes {drive, 6 settings, 0}.
        if (p.size() != 7 && !(create && p.size() == 8 && p[7] == 0))
            return false;
        *disk = {0, p[0]};
        *settingsAt = 1;
        return true;
    }
    if (p.size() != 8)
        return false;
    *disk = {p[0], p[1]};
    *settingsAt = 2;
    return true;
}

} // namespace

Bytes FakeController::Impl::createRaidSet(Impl& self, const Bytes& p)
{
    return raidSetCreation(self, p, 0);
}

Bytes FakeController::Impl::createSedRaidSet(Impl& self, const Bytes& p)
{
    if (self.model->olderFamily() || self.model->jbodFamily())
        return answer('H');
    return raidSetCreation(self, p, sGUI_RAIDSET::kFlagSed);
}

Bytes FakeController::Impl::raidSetCreation(Impl& self, const Bytes& p, uint16_t flags)
{
    DeviceModel& m = *self.model;
    std::vector<Address> disks;
    if (m.olderFamily()) {
        if (p.size() != kOlderRaidSetSize)
            return invalid();
        disks = maskDisks(zynwire::getU32(p.data()));
        return answer(m.commandCreateRaidSet(disks, nameAt(p, 4), flags));
    }
    if (p.size() < kRaidSetListHead || !zeros(p, 1, 4))
        return invalid();
    const int n = p[0];
    if (n == 0 || n > kMaxRaidSetDisks || p.size() != kRaidSetListHead + 2 * size_t(n))
        return invalid();
    for (int i = 0; i < n; ++i)
        disks.emplace_back(p[kRaidSetListHead + 2 * size_t(i)], p[kRaidSetListHead + 2 * size_t(i) + 1]);
    return answer(m.commandCreateRaidSet(disks, nameAt(p, 4), flags));
}

Bytes FakeController::Impl::deleteRaidSet(Impl& self, const Bytes& p)
{
    if (p.size() != 1)
        return invalid();
    return answer(self.model->commandDeleteRaidSet(p[0]));
}

Bytes FakeController::Impl::expandRaidSet(Impl& self, const Bytes& p)
{
    DeviceModel& m = *self.model;
    std::vector<Address> disks;
    size_t triples = 0;
    if (m.olderFamily()) {
        if (p.size() != kOlderExpandSize || p.back() != 0)
            return invalid();
        disks = maskDisks(zynwire::getU32(p.data() + 1));
        triples = kOlderExpandTriples;
    } else {
        if (p.size() != kExpandSize || !zeros(p, 2, kExpandPairs))
            return invalid();
        const int n = p[1];
        if (n == 0 || n > kMaxRaidSetDisks || !zeros(p, kExpandPairs + 2 * size_t(n), kExpandTriples))
            return invalid();
        for (int i = 0; i < n; ++i)
            disks.emplace_back(p[kExpandPairs + 2 * size_t(i)], p[kExpandPairs + 2 * size_t(i) + 1]);
        triples = kExpandTriples;
    }
    // {1, level, stripe} at triples + 3v changes volume v; {0, 0, 0} leaves it.
    std::vector<DeviceModel::LevelChange> changes;
    for (size_t at = triples, v = 0; at + 3 <= p.size(); at += 3, ++v) {
        if (p[at] > 1 || (p[at] == 0 && (p[at + 1] || p[at + 2])))
            return invalid();
        if (p[at] == 1)
            changes.push_back({int(v), p[at + 1], p[at + 2]});
    }
    return answer(m.commandExpandRaidSet(p[0], disks, changes));
}

Bytes FakeController::Impl::activateRaidSet(Impl& self, const Bytes& p)
{
    if (p.size() != 1)
        return invalid();
    return answer(self.model->commandRaidSetState(p[0], true));
}

Bytes FakeController::Impl::offlineRaidSet(Impl& self, const Bytes& p)
{
    if (p.size() != 1)
        return invalid();
    return answer(self.model->commandRaidSetState(p[0], false));
}

Bytes FakeController::Impl::createHotSpare(Impl& self, const Bytes& p)
{
    DeviceModel& m = *self.model;
    if (p.size() == kMaskSize)   // global spares, on either family
        return answer(m.commandCreateHotSpares(maskDisks(zynwire::getU32(p.data())), 0, -1));
    if (m.olderFamily() || p.size() != kSpareSize || !marked(p))
        return invalid();
    return answer(m.commandCreateHotSpares({{p[4], p[5]}}, p[6], zynwire::getU16(p.data() + 7)));
}

Bytes FakeController::Impl::deleteHotSpare(Impl& self, const Bytes& p)
{
    DeviceModel& m = *self.model;
    if (p.size() == kMaskSize)
        return answer(m.commandDeleteHotSpares(maskDisks(zynwire::getU32(p.data()))));
    // FF FF FF FF, enclosure, slot, then zeros up to the length of the client's list.
    if (m.olderFamily() || p.size() < kSpareDeleteMin || p.size() > kSpareDeleteMax || !marked(p)
        || !zeros(p, kSpareDeleteMin, p.size()))
        return invalid();
    return answer(m.commandDeleteHotSpares({{p[4], p[5]}}));
}

Bytes FakeController::Impl::createVolume(Impl& self, const Bytes& p)
{
    // [0] raid, [1-16] name, [17-24] blocks, [25-32] settings, [33] flags, [34] encryption, zeros.
    if (p.size() != kVolumeSize || p[33] > 3 || !zeros(p, 35, kVolumeSize))
        return invalid();
    DeviceModel::VolumeSpec spec = specAt(p, 1, 17, 25);
    spec.encryption = p[34];
    return answer(self.model->commandCreateVolume(p[0], spec));
}

Bytes FakeController::Impl::createNestedVolume(Impl& self, const Bytes& p)
{
    // [0] count, [1-8] raid sets, [9-24] name, [25-32] blocks, [33-40] settings, [41] flags,
    // [42] encryption.
    DeviceModel& m = *self.model;
    if (!m.nestedVolumes())
        return answer('H');
    if (p.size() != kNestedSize || p[41] > 7)
        return invalid();
    const int count = p[0];
    if (count < 2 || count > 8)
        return invalid();
    DeviceModel::VolumeSpec spec = specAt(p, 9, 25, 33);
    spec.encryption = p[42];
    return answer(m.commandCreateNestedVolume(std::vector<int>(p.begin() + 1, p.begin() + 1 + count), spec));
}

Bytes FakeController::Impl::modifyVolume(Impl& self, const Bytes& p)
{
    // [0] volume, [1-16] name (first byte 0: kept), [17-24] blocks (0: kept), [25-32] settings.
    if (p.size() != kModifySize || !zeros(p, 33, kModifySize))
        return invalid();
    const DeviceModel::VolumeSpec spec = specAt(p, 1, 17, 25);
    return answer(self.model->commandModifyVolume(p[0], spec));
}

Bytes FakeController::Impl::deleteVolume(Impl& self, const Bytes& p)
{
    if (p.size() != 1)
        return invalid();
    return answer(self.model->commandDeleteVolume(p[0]));
}

Bytes FakeController::Impl::startCheck(Impl& self, const Bytes& p)
{
    if (p.size() != kCheckSize || p[1] > 1 || p[2] > 1)
        return invalid();
    return answer(self.model->commandStartCheck(p[0]));
}

Bytes FakeController::Impl::stopCheck(Impl& self, const Bytes& p)
{
    if (!p.empty())
        return invalid();
    return answer(self.model->commandStopCheck());
}

Bytes FakeController::Impl::lockVolume(Impl& self, const Bytes& p)
{
    if (p.size() != 1)
        return invalid();
    return answer(self.model->commandLockVolume(p[0]));
}

Bytes FakeController::Impl::createPassThrough(Impl& self, const Bytes& p)
{
    Address disk;
    size_t at = 0;
    if (!passThroughDisk(*self.model, p, true, &disk, &at))
        return invalid();
    return answer(self.model->commandCreatePassThrough(disk, p.data() + at));
}

Bytes FakeController::Impl::modifyPassThrough(Impl& self, const Bytes& p)
{
    Address disk;
    size_t at = 0;
    if (!passThroughDisk(*self.model, p, false, &disk, &at))
        return invalid();
    return answer(self.model->commandModifyPassThrough(disk, p.data() + at));
}

Bytes FakeController::Impl::deletePassThrough(Impl& self, const Bytes& p)
{
    DeviceModel& m = *self.model;
    if (p.size() != (m.olderFamily() ? 1u : 2u))
        return invalid();
    return answer(m.commandDeletePassThrough(m.olderFamily() ? Address{0, p[0]} : Address{p[0], p[1]}));
}

Bytes FakeController::Impl::identifyDrive(Impl& self, const Bytes& p)
{
    // {0, u32 mask} on either family; {0, mode, enclosure, slot} on the enclosure family:
    // mode 0 one drive, 1 an enclosure, 2 every light off.
    DeviceModel& m = *self.model;
    LocateState locate;
    if (p.size() == 5 && p[0] == 0) {
        locate.disks = maskDisks(zynwire::getU32(p.data() + 1));
    } else if (!m.olderFamily() && p.size() == 4 && p[0] == 0 && p[1] <= 2) {
        if (p[1] == 0)
            locate.disks = {{p[2], p[3]}};
        else if (p[1] == 1)
            locate.enclosure = p[2];
    } else {
        return invalid();
    }
    return answer(m.commandLocate(locate));
}

// 0x1F operations 8 (fail) and 0x0B (activate): {.., enclosure (0 on the older family), slot} at 10.
Bytes FakeController::Impl::failDiskOperation(Impl& self, const Bytes& p)
{
    if (p.size() != kSetupRequestSize)
        return invalid();
    return answer(self.model->commandFailDisk({p[kSetupArgs], p[kSetupArgs + 1]}));
}

Bytes FakeController::Impl::activateDiskOperation(Impl& self, const Bytes& p)
{
    if (p.size() != kSetupRequestSize)
        return invalid();
    return answer(self.model->commandActivateDisk({p[kSetupArgs], p[kSetupArgs + 1]}));
}

} // namespace zynsim
