#include "zyninterface.h"

#include "zynframe.h"

#include <algorithm>
#include <cstring>

#include <atomic>
#include <cerrno>
#include <climits>
#include <time.h>

namespace {
std::atomic<int> g_pollIntervalUs{10000};
std::atomic<bool> g_allInterrupted{false};
// Milliseconds of a block's time-out that make one poll.
constexpr uint64_t kTimeoutMsPerPoll = 10;
}

void ZynInterface::interrupt()
{
    m_interrupted.store(true);
    wake();
}

void ZynInterface::resume()
{
    m_interrupted.store(false);
}

bool ZynInterface::interrupted() const
{
    return m_interrupted.load() || g_allInterrupted.load();
}

void ZynInterface::InterruptAll()
{
    g_allInterrupted.store(true);
}

void ZynInterface::ResumeAll()
{
    g_allInterrupted.store(false);
}

void ZynInterface::setPollIntervalMicroseconds(int us)
{
    g_pollIntervalUs.store(us > 0 ? us : 1);
}

int ZynInterface::pollIntervalMicroseconds()
{
    return g_pollIntervalUs.load();
}

void ZynInterface::pollSleep()
{
    const int us = pollIntervalMicroseconds();
    timespec ts{us / 1000000, long(us % 1000000) * 1000};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

int ZynInterface::pollsFor(const _IF_CMD_BLOCK* block)
{
    return static_cast<int>(std::min<uint64_t>(block->timeout / kTimeoutMsPerPoll, INT_MAX / 2));
}

int ZynInterface::exchangePolls(const _IF_CMD_BLOCK* block)
{
    const int own = pollsFor(block);
    return block->waitAs != nullptr ? std::max(own, pollsFor(block->waitAs)) : own;
}

bool ZynInterface::blockUsable(const _IF_CMD_BLOCK* block)
{
    return block && block->writeLength >= 0 && block->readLength >= 0 &&
           (block->writeLength == 0 || block->writeBuffer) &&
           (block->readLength == 0 || block->readBuffer);
}

int ZynInterface::transferFrame(_IF_CMD_BLOCK* block, int polls, unsigned char* scratch, int scratchSize)
{
    const int mtu = std::max(getMTU(), 1);

    // Send the command in pieces the driver takes; a piece that does not go costs one poll.
    int64_t sent = 0;
    int left = polls;
    while (sent < block->writeLength) {
        _IF_CMD_BLOCK piece = *block;
        piece.writeBuffer = block->writeBuffer + sent;
        piece.writeLength = std::min<int64_t>(mtu, block->writeLength - sent);
        const int n = send(&piece);
        if (interrupted())
            return ZYN_IO_INTERRUPTED;
        if (n < 0 && sendFailureEndsExchange())
            return ZYN_IO_TRANSPORT_FAILED;
        if (n > 0) {
            sent += std::min<int64_t>(n, piece.writeLength);
            left = polls;
            continue;
        }
        if (left == 0)
            return ZYN_IO_SEND_TIMEOUT;
        pollSleep();
        --left;
    }

    // Collect the reply until the frame it announces is complete.
    ZynFrameLengthFn frameLength = block->frameLength ? block->frameLength : get_frame_length;
    int total = 0;
    int expected = -1;
    left = polls;
    for (;;) {
        const int room = std::min(mtu, scratchSize - total);
        if (room <= 0)
            return ZYN_IO_RECV_FAILED;  // the scratch is full and still no complete frame
        _IF_CMD_BLOCK piece = *block;
        piece.readBuffer = scratch + total;
        piece.readLength = room;
        const int n = recv(&piece);
        if (interrupted())
            return ZYN_IO_INTERRUPTED;
        if (n < 0)
            return ZYN_IO_RECV_FAILED;
        if (n == 0) {
            if (left == 0)
                return ZYN_IO_REPLY_TIMEOUT;
            waitForData();
            --left;
            continue;
        }
        total += std::min(n, room);
        left = polls;

        if (expected < 0) {
            const int length = frameLength(scratch, total);
            if (length == -1)
                continue;
            if (length == -2) {
                // Not a frame: hand over what came, as far as the caller has room.
                const int64_t copy = std::min<int64_t>(total, block->readLength);
                if (copy > 0)
                    std::memcpy(block->readBuffer, scratch, static_cast<size_t>(copy));
                return total;
            }
            if (length <= 0)
                return ZYN_IO_RECV_FAILED;
            if (length > scratchSize)
                return 0;   // announced longer than anything we can hold: it cannot fit
            expected = length;
        }
        if (total >= expected) {
            // Bytes past the frame are not part of this reply.
            if (expected > block->readLength)
                return 0;
            std::memcpy(block->readBuffer, scratch, static_cast<size_t>(expected));
            return expected;
        }
    }
}
