// Pass-through to disks (0x1C: SMART, ATA, SCSI) and the commands of particular models: disk
// erase, revert and cloning (0x44-0x46), expanders (0x47, 0xF4, 0xF5), deleting self-encrypting
// raid sets (0x58, 0x59), the self-encrypting disk key (0x5A) and the scheduled volume check
// (0x1F operation 10). Each decodes its payload strictly ('G' for a length or a fixed byte the
// client would not send).
#include "controllerimpl.h"
#include "simframe.h"

#include <algorithm>
#include <cstring>

namespace zynsim {

namespace {

constexpr uint8_t kTag[4] = {'K', 'v', 'o', 'D'};
constexpr size_t kSmartSize = 7;
constexpr size_t kPassthroughSize = 639;
constexpr uint8_t kAtaIn = 0x13, kAtaOut = 0x14, kAtaNone = 0x15, kScsi = 0x16;
constexpr size_t kAtaReplySize = 514;
constexpr size_t kScsiCdbAt = 29;
constexpr int kExpanders = 2;
constexpr size_t kExpanderReplySize = 3664;
constexpr uint8_t kLinkCodes[5] = {3, 6, 12, 24, 95};
constexpr size_t kSedKeySize = 32;
constexpr size_t kSedKeyFileSize = 512;
constexpr size_t kSetupRequestSize = 525;

Bytes answer(uint8_t letter)
{
    return frame::encodeStatus(letter);
}

Bytes invalid()
{
    return answer('G');
}

Bytes dataAnswer(const Bytes& bytes)
{
    return frame::encodeData(bytes);
}

bool tagged(const Bytes& p)
{
    return p.size() >= 5 && std::equal(std::begin(kTag), std::end(kTag), p.begin() + 1);
}

// The disk a pass-through request names: {enclosure, slot}; the older family's enclosure is 0.
DeviceModel::Address diskOf(const DeviceModel& model, uint8_t device, uint8_t first)
{
    return {model.olderFamily() ? 0 : first, device};
}

Bytes smart(DeviceModel& model, const Bytes& p)
{
    const DeviceModel::Address a{0, p[5]};
    const Bytes page = model.smartPage(a.first, a.second, false);
    if (page.empty())
        return answer('F');
    switch (p[0]) {
    case 0:
    case 1: {
        Bytes reply(2, 0);
        const Bytes chosen = p[0] == 0 ? page : model.smartPage(a.first, a.second, true);
        reply.insert(reply.end(), chosen.begin(), chosen.end());
        return dataAnswer(reply);
    }
    case 4:   // off-line immediate, sub-command in byte 6
    case 8:
    case 9:
    case 16:  // read/write test, percentage in byte 6
    case 17:
        return dataAnswer({1, 0});
    case 10:
        return dataAnswer({0x10, 0x27, 0, 0});   // 10000
    case 18: {
        Bytes result(24, 0);
        result[0] = 100;   // per cent done
        return dataAnswer(result);
    }
    default:
        return answer('G');
    }
}

Bytes ata(DeviceModel& model, const Bytes& p)
{
    const DeviceModel::Address a = diskOf(model, p[5], p[13]);
    const Bytes identify = model.ataIdentify(a.first, a.second);
    if (identify.empty())
        return answer('F');
    const uint8_t features = p[6], count = p[7], lbaLow = p[8], lbaMid = p[9], lbaHigh = p[10], command = p[12];
    Bytes reply(kAtaReplySize, 0);
    reply[0] = 0x50;   // ready, seek complete
    reply[2] = count;
    reply[3] = lbaLow;
    reply[4] = lbaMid;
    reply[5] = lbaHigh;
    auto dataIn = [&](const Bytes& sector) {
        if (p[0] != kAtaIn)
            return false;
        std::copy(sector.begin(), sector.end(), reply.begin() + 2);
        return true;
    };
    auto aborted = [&] {
        reply[0] = 0x51;
        reply[1] = 0x04;
        return dataAnswer(reply);
    };
    auto thresholdCheck = [&] {
        if (model.smartThresholdExceeded(a.first, a.second)) {
            reply[4] = 0xF4;
            reply[5] = 0x2C;
        } else {
            reply[4] = 0x4F;
            reply[5] = 0xC2;
        }
        return dataAnswer(reply);
    };
    switch (command) {
    case 0xDA:   // the controller's own threshold check
        return thresholdCheck();
    case 0xEC:
        return dataIn(identify) ? dataAnswer(reply) : aborted();
    case 0xE5:
        reply[2] = 0xFF;   // active
        return dataAnswer(reply);
    case 0xB0:
        if (lbaMid != 0x4F || lbaHigh != 0xC2)
            return aborted();
        switch (features) {
        case 0xD0: return dataIn(model.smartPage(a.first, a.second, false)) ? dataAnswer(reply) : aborted();
        case 0xD1: return dataIn(model.smartPage(a.first, a.second, true)) ? dataAnswer(reply) : aborted();
        case 0xD8:
        case 0xD9:
            return dataAnswer(reply);
        case 0xDA:
            return thresholdCheck();
        case 0xD6:   // write log: a sector to the disk
            return p[0] == kAtaOut ? dataAnswer(reply) : aborted();
        default:
            return aborted();
        }
    default:
        return aborted();
    }
}

Bytes scsi(DeviceModel& model, const Bytes& p)
{
    const DeviceModel::Address a = diskOf(model, p[5], p[13]);
    const size_t cdbLength = p[6];
    if (cdbLength == 0 || cdbLength > 16)
        return invalid();
    const Bytes inquiry = model.scsiInquiry(a.first, a.second);
    Bytes reply(10, 0);
    auto checkCondition = [&](uint8_t key, uint8_t code) {
        reply[0] = 0x02;
        reply[1] = 0x70;
        reply[2] = 0x00;
        reply[3] = key;
        reply[4] = code;
        reply[5] = 0x00;
        return dataAnswer(reply);
    };
    if (inquiry.empty())
        return checkCondition(0x02, 0x3A);   // not ready: no medium
    auto good = [&](const Bytes& bytes) {
        zynwire::putU32(reply.data() + 6, uint32_t(bytes.size()));
        reply.insert(reply.end(), bytes.begin(), bytes.end());
        return dataAnswer(reply);
    };
    switch (p[kScsiCdbAt]) {
    case 0x00:   // test unit ready
        return good({});
    case 0x12:   // inquiry
        return good(inquiry);
    case 0x4D:   // log sense: the cumulative values of page 0x15, power-on minutes at 8
        if (p[kScsiCdbAt + 2] != 0x55)
            return checkCondition(0x05, 0x24);   // illegal request: invalid field
        {
            Bytes page(12, 0);
            page[0] = 0x15;
            page[3] = 8;
            page[7] = 4;
            const uint32_t minutes = (1000u + uint32_t(a.second)) * 60u + 30u;
            for (int i = 0; i < 4; ++i)
                page[8 + size_t(i)] = uint8_t(minutes >> (24 - 8 * i));
            return good(page);
        }
    default:
        return checkCondition(0x05, 0x20);   // illegal request: invalid command
    }
}

} // namespace

Bytes FakeController::Impl::passthrough(Impl& self, const Bytes& p)
{
    if (!tagged(p))
        return invalid();
    if (p.size() == kSmartSize)
        return smart(*self.model, p);
    if (p.size() != kPassthroughSize)
        return invalid();
    switch (p[0]) {
    case kAtaIn:
    case kAtaOut:
    case kAtaNone:
        return ata(*self.model, p);
    case kScsi:
        return scsi(*self.model, p);
    default:
        return invalid();
    }
}

Bytes FakeController::Impl::revertSp(Impl& self, const Bytes& p)
{
    if (p.size() != 37 || p[2] != 0 || p[3] != 0 || p[4] != 0)
        return invalid();
    const auto a = diskOf(*self.model, p[1], p[0]);
    return self.model->disk(a.first, a.second).present() ? answer('A') : answer(']');
}

Bytes FakeController::Impl::eraseFailDisk(Impl& self, const Bytes& p)
{
    if (p.size() != 2)
        return invalid();
    const auto a = diskOf(*self.model, p[1], p[0]);
    return self.model->disk(a.first, a.second).present() ? answer('A') : answer('_');
}

Bytes FakeController::Impl::cloneDisk(Impl& self, const Bytes& p)
{
    if (self.model->olderFamily())
        return answer('H');
    if (p.size() == 2 && p[0] == 1)
        return answer('A');   // abort
    if (p.size() < 5 || p[0] != 0 || p[1] == 0 || p[2] > 1 || p.size() != 5 + 4 * size_t(p[1]))
        return invalid();
    for (size_t i = 0; i < p[1]; ++i) {
        const uint8_t* pair = p.data() + 5 + 4 * i;
        if (!self.model->disk(pair[0], pair[1]).present() || !self.model->disk(pair[2], pair[3]).present())
            return answer('f');
    }
    return answer('A');
}

Bytes FakeController::Impl::expander(Impl& self, const Bytes& p)
{
    if (self.model->olderFamily())
        return answer('H');
    if (p.size() != 2 || p[0] > 1 || p[1] >= kExpanders)
        return invalid();
    if (p[0] == 1)
        return answer('A');
    Bytes reply(kExpanderReplySize, 0);
    const std::string name = "Varnel Expander " + std::to_string(p[1] + 1);
    reply[0] = 'E';
    reply[1] = 'X';
    reply[2] = p[1];
    std::copy(name.begin(), name.end(), reply.begin() + 4);
    for (size_t i = 64; i < reply.size(); ++i)
        reply[i] = uint8_t(i * 7 + p[1]);
    return dataAnswer(reply);
}

Bytes FakeController::Impl::expanderDhpm(Impl&, const Bytes& p)
{
    return p.size() == 17 ? answer('A') : invalid();
}

Bytes FakeController::Impl::expanderLinkSpeed(Impl&, const Bytes& p)
{
    if (p.size() != 18)
        return invalid();
    const auto code = [](uint8_t c) { return std::find(std::begin(kLinkCodes), std::end(kLinkCodes), c) - std::begin(kLinkCodes); };
    const auto max = code(p[0]), min = code(p[1]);
    return max < 5 && min < 5 && min <= max ? answer('A') : invalid();
}

Bytes FakeController::Impl::deleteSedRaidSet(Impl& self, const Bytes& p)
{
    if (p.size() != 4 || p[1] != 0 || p[2] != 0 || p[3] > 1)
        return invalid();
    return answer(self.model->commandDeleteRaidSet(p[0]));
}

Bytes FakeController::Impl::deleteIseRaidSet(Impl& self, const Bytes& p)
{
    if (p.size() != 4 || p[1] != 0 || p[2] != 0 || p[3] != 0)
        return invalid();
    return answer(self.model->commandDeleteRaidSet(p[0]));
}

Bytes FakeController::Impl::sedKeyCommand(Impl& self, const Bytes& p)
{
    if (p.empty())
        return invalid();
    // The reply words: disks personalised, disks left locked (and, for an import, two more).
    const auto words = [](std::initializer_list<uint16_t> w) {
        Bytes reply{0x5C};
        for (uint16_t v : w) {
            reply.push_back(uint8_t(v));
            reply.push_back(uint8_t(v >> 8));
        }
        return dataAnswer(reply);
    };
    switch (p[0]) {
    case 1:
    case 2:
    case 3:
    case 4: {
        if (p.size() != 5 + kSedKeySize || p[1] || p[2] || p[3] || p[4])
            return invalid();
        const bool withKey = p[0] == 2 || p[0] == 4;
        const bool change = p[0] >= 3;
        if (change != !self.sedKey.empty())
            return answer('Y');
        Bytes key(kSedKeySize, 0);
        if (withKey)
            key.assign(p.begin() + 5, p.end());
        else
            for (size_t i = 0; i < kSedKeySize; ++i)
                key[i] = uint8_t('A' + (i * 7 + self.serial.size()) % 26);
        self.sedKey = key;
        return words({3, 0});
    }
    case 5:
        if (p.size() != 1)
            return invalid();
        self.sedKey.clear();
        return answer('A');
    case 6:
        if (p.size() != 1)
            return invalid();
        self.sedKey.clear();
        return words({0, 3});
    case 7: {
        if (p.size() != 1)
            return invalid();
        if (self.sedKey.empty())
            return answer('Y');
        Bytes file(kSedKeyFileSize, 0);
        std::copy(self.sedKey.begin(), self.sedKey.end(), file.begin());
        return dataAnswer(file);
    }
    case 8:
        if (p.size() != 5 + kSedKeyFileSize || p[1] > 1 || p[2] || p[3] || p[4])
            return invalid();
        if (p[1] == 1)
            self.sedKey.assign(p.begin() + 5, p.begin() + 5 + kSedKeySize);
        return words({2, 1, 0, 0});
    default:
        return invalid();
    }
}

Bytes FakeController::Impl::scheduleVolumeCheck(Impl& self, const Bytes& p)
{
    if (p.size() != kSetupRequestSize || p[10] > 10 || p[11] > 9 || p[12] > 1 || p[13] > 1)
        return invalid();
    for (size_t i = 14; i < p.size(); ++i)
        if (p[i] != 0)
            return invalid();
    std::copy(p.begin() + 10, p.begin() + 14, self.scheduleCheck.begin());
    return answer('A');
}

} // namespace zynsim
