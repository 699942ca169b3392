// Fuzz target for the reply side of a command exchange: the frame-length function as a
// transport calls it while bytes arrive, and the library's reply checks on what arrived.
#include "zynframe.h"
#include "zynlib.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Hands the fuzzer's bytes back as the controller's reply, the way the transports do: the
// frame-length function decides how much of it is the frame.
class ReplayTransport : public ZynInterface {
public:
    ReplayTransport(const uint8_t* data, size_t size) : m_data(data, data + size) {}
    int getMTU() override { return 1400; }
    int getDeviceHandle() override { return -1; }
    int syncSend(_IF_CMD_BLOCK* block) override
    {
        // Room for what the input holds and no more: clearing a transport's whole scratch
        // buffer for every input would cost more than the exchange.
        const int available = int(std::min(m_data.size(), size_t(kZynScratchSize)));
        std::vector<unsigned char> scratch(static_cast<size_t>(available));
        int total = 0;
        int expected = -1;
        // Deliver in pieces of at most 7 bytes so the length is asked on partial frames too.
        while (total < available && (expected < 0 || total < expected)) {
            const int n = std::min(7, available - total);
            std::memcpy(scratch.data() + total, m_data.data() + total, size_t(n));
            total += n;
            if (expected < 0) {
                const int length = block->frameLength(scratch.data(), total);
                if (length == -2)
                    return total;
                if (length > kZynScratchSize)
                    return -2;
                if (length >= 0)
                    expected = length;
            }
        }
        if (expected < 0 || total < expected)
            return -7;
        if (expected > block->readLength)
            return 0;
        std::memcpy(block->readBuffer, scratch.data(), size_t(expected));
        return expected;
    }

private:
    std::vector<uint8_t> m_data;
};

class Session : public CZynlibALL {
public:
    // The transport stays the caller's (unbound before the session ends).
    void bind(ZynInterface* transport) { m_interface = transport; }
};

// One session for every input, as the program keeps one per controller: its frame and reply
// buffers are made once. The operations used here change nothing else in it, so one input
// does not colour the next.
Session& sharedSession()
{
    static Session one;
    return one;
}

// The input's transport, bound to the session while the input runs.
class Bound {
public:
    Bound(const uint8_t* data, size_t size) : m_transport(data, size) { sharedSession().bind(&m_transport); }
    ~Bound() { sharedSession().bind(nullptr); }
    Bound(const Bound&) = delete;
    Bound& operator=(const Bound&) = delete;

private:
    ReplayTransport m_transport;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // First byte picks the command and the caller's capacity; the rest is the reply. The
    // pass-through, expander and key commands (0x1C twice: SCSI and ATA) go through the
    // library's own operations, which read fields of the reply.
    static const uint8_t commands[] = {0x23, 0x19, 0x36, 0x13, 0x20, 0xEE, 0x1C, 0x1C, 0x47, 0x5A};
    const size_t pick = data[0] % sizeof commands;
    const uint8_t selector = data[0];
    const uint8_t command = commands[data[0] % sizeof commands];
    const int capacity = (data[0] & 0x80) ? 256 : 2048;
    ++data;
    --size;

    std::vector<unsigned char> copy(data, data + std::min<size_t>(size, kZynScratchSize));
    for (int count = 0; count <= int(copy.size()) && count < 16; ++count) {
        std::vector<unsigned char> partial(copy.begin(), copy.begin() + count);
        get_frame_length(partial.data(), count);
    }
    ZynCheckReplyFrame(copy.data(), int(copy.size()));
    CalCheckSum(copy.data(), int(copy.size()));

    Bound bound(data, size);
    Session& session = sharedSession();
    switch (pick) {
    case 6: {
        auto scsi = std::make_unique<_SCSI_PASSTHROUGH_COMMAND>();
        std::memset(scsi.get(), 0, sizeof *scsi);
        scsi->cdb[0] = 0x12;
        scsi->cdbLength = 6;
        scsi->direction = _SCSI_PASSTHROUGH_COMMAND::DataIn;
        session.ZynScsiPassthroughCmd(0, 1, scsi.get());
        return 0;
    }
    case 7: {
        _ATA_PASSTHROUGH_COMMAND ata;
        std::memset(&ata, 0, sizeof ata);
        ata.command = (selector & 0x40) ? 0xDA : 0xEC;
        ata.direction = (selector & 0x40) ? 0 : _ATA_PASSTHROUGH_COMMAND::DataIn;
        session.ZynAtaPassthroughCmd(0, 1, &ata);
        return 0;
    }
    case 8: {
        auto info = std::make_unique<sGUI_EXP_INFO>();
        session.ZynGetExpanderInfo(0, info.get());
        return 0;
    }
    case 9: {
        unsigned short a = 0, b = 0;
        session.ZynCreateSEDKey(nullptr, &a, &b);
        return 0;
    }
    default:
        break;
    }
    std::vector<uint8_t> reply(size_t(capacity), 0);
    int replyLength = 0;
    uint8_t payload[8] = {0x5E, 0x01, 0x61, 0x01, 0x00, 0x13, 0x14, 0};
    if (command == 0xEE)
        session.ZynCmdReadWrite(command, payload, 7, reply.data(), capacity, replyLength);
    else
        session.ZynCmdReadWrite(command, nullptr, 0, reply.data(), capacity, replyLength);
    if (replyLength > capacity && command != 0xEE) {
        // A reply that did not fit must not have been copied; nothing to check beyond no crash.
    }
    return 0;
}
