// Fuzz target for the reply side of a command exchange: the frame-length function as a
// transport calls it while bytes arrive, and the library's reply checks on what arrived.
#include "zynframe.h"
#include "zynlib.h"

#include <algorithm>
#include <cstring>
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
        std::vector<unsigned char> scratch(kZynScratchSize, 0);
        const int available = int(std::min(m_data.size(), scratch.size()));
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
    void bind(ZynInterface* transport) { m_interface = transport; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // First byte picks the command and the caller's capacity; the rest is the reply.
    static const uint8_t commands[] = {0x23, 0x19, 0x36, 0x13, 0x20, 0xEE};
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

    Session session;
    session.bind(new ReplayTransport(data, size));
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
