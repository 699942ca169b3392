#include "ethernetinterface.h"

#include "zynframe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>
#include <poll.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr unsigned char kProbeFrame[7] = {0x5E, 0x01, 0x61, 0x01, 0x00, 0x13, 0x14};
constexpr unsigned char kCmdReset = 0x36;
constexpr unsigned char kCmdSetupData = 0x1F;
// Datagrams one drain of the socket discards at most.
constexpr int kMaxDrainedDatagrams = 4096;
// Polls allowed to a setup-data firmware exchange.
constexpr int kLongExchangePolls = 6000;
// Polls of one second of the transport's time-out.
constexpr int kPollsPerSecond = 100;
// Frame offsets of the command byte and of a setup-data request's operation.
constexpr int kCommandAt = 5;
constexpr int kSetupOperationAt = 15;

bool samePeer(const sockaddr_in& a, const sockaddr_in& b)
{
    return a.sin_family == b.sin_family && a.sin_port == b.sin_port && a.sin_addr.s_addr == b.sin_addr.s_addr;
}

} // namespace

EthernetInterface::EthernetInterface()
{
    m_timeout = 5;   // seconds on this transport
}

EthernetInterface::~EthernetInterface()
{
    closeSocket();
}

void EthernetInterface::closeSocket()
{
    if (m_socket >= 0) {
        ::shutdown(m_socket, SHUT_RDWR);
        ::close(m_socket);
        m_socket = -1;
    }
}

bool EthernetInterface::init(const char* ip, short port)
{
    closeSocket();
    if (ip == nullptr)
        return false;
    std::memset(&m_peer, 0, sizeof m_peer);
    m_peer.sin_family = AF_INET;
    m_peer.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, ip, &m_peer.sin_addr) != 1)
        return false;

    m_socket = openSocket();
    if (m_socket < 0)
        return false;

    if (::sendto(m_socket, kProbeFrame, sizeof kProbeFrame, 0, reinterpret_cast<sockaddr*>(&m_peer), sizeof m_peer) < 0)
        return false;
    unsigned char reply[kProbeReplySize];
    const long deadlineUs = long(m_timeout) * 1000000L;
    // Wait for the peer's answer; anything from another sender does not count.
    const auto start = std::chrono::steady_clock::now();
    auto waitedUs = [&start] {
        return long(std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
    };
    for (long waited = 0; waited <= deadlineUs; waited = waitedUs()) {
        // One poll at a time, so that an interruption ends the probe.
        if (interrupted())
            return false;
        if (!waitReadable(std::min<long>(deadlineUs - waited, pollIntervalMicroseconds())))
            continue;
        const int n = receiveFromPeer(reply, sizeof reply);
        if (n > 0)
            return true;
        if (n < 0)
            return false;
    }
    return false;
}

int EthernetInterface::openSocket()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0)
        return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void EthernetInterface::renewSocket()
{
    if (m_socket < 0)
        return;
    // Bound while the old one is still open, the new socket cannot get the old port back.
    const int fresh = openSocket();
    if (fresh < 0)
        return;
    closeSocket();
    m_socket = fresh;
}

bool EthernetInterface::waitReadable(long us)
{
    if (m_socket < 0 || us < 0)
        return false;
    pollfd fd{m_socket, POLLIN, 0};
    // Whole milliseconds for poll; a shorter wait rounds up to one.
    const int ms = int(std::min<long>((us + 999) / 1000, 1000000));
    return ::poll(&fd, 1, ms) > 0;
}

int EthernetInterface::WaitForReply(int socket, long seconds, long microseconds)
{
    if (socket < 0)
        return -1;
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval tv{seconds, microseconds};
    return ::select(socket + 1, &set, nullptr, nullptr, &tv);
}

int EthernetInterface::send(_IF_CMD_BLOCK* block)
{
    if (block == nullptr || m_socket < 0)
        return -1;
    const ssize_t n = ::sendto(m_socket, block->writeBuffer, size_t(block->writeLength), 0,
                               reinterpret_cast<sockaddr*>(&m_peer), sizeof m_peer);
    return n < 0 ? -1 : int(n);
}

int EthernetInterface::receiveFromPeer(unsigned char* buffer, int capacity)
{
    if (m_socket < 0)
        return -1;
    if (capacity <= 0)
        return 0;
    // One datagram if one is waiting; a datagram longer than the room loses its tail.
    for (;;) {
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(m_socket, buffer, size_t(capacity), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // Nothing waiting; a pending error from an earlier datagram is no reply either.
            return (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED) ? 0 : -1;
        }
        if (!samePeer(from, m_peer))
            continue;   // not from our controller: dropped
        return int(n);
    }
}

int EthernetInterface::recv(_IF_CMD_BLOCK* block)
{
    if (block == nullptr)
        return -1;
    return receiveFromPeer(block->readBuffer, int(block->readLength));
}

bool EthernetInterface::ClearReadBuffer()
{
    if (m_socket < 0)
        return true;
    unsigned char discard;
    // Bounded, so that a peer that never stops sending cannot hold the exchange here.
    for (int left = kMaxDrainedDatagrams; left > 0; --left) {
        const ssize_t n = ::recv(m_socket, &discard, sizeof discard, MSG_DONTWAIT);
        // A pending error from an earlier datagram is taken by the call; the queue goes on.
        if (n < 0 && errno != EINTR && errno != ECONNREFUSED)
            break;
    }
    return true;
}

bool EthernetInterface::ClearReadWriteBuffer()
{
    return ClearWriteBuffer() && ClearReadBuffer();
}

int EthernetInterface::syncSend(_IF_CMD_BLOCK* block)
{
    if (!blockUsable(block))
        return ZYN_IO_BAD_BLOCK;
    requirelock();
    const int result = exchange(block);
    releaselock();
    return result;
}

int EthernetInterface::pollsFor(const _IF_CMD_BLOCK* block)
{
    // The block's own time-out is not used on this transport: the frame tells the wait.
    if (block->writeLength > kCommandAt && block->writeBuffer[kCommandAt] == kCmdReset)
        return 0;
    if (block->writeLength > kSetupOperationAt && block->writeBuffer[kCommandAt] == kCmdSetupData
        && block->writeBuffer[kSetupOperationAt] == 0)
        return kLongExchangePolls;
    return m_timeout * kPollsPerSecond;
}

int EthernetInterface::exchange(_IF_CMD_BLOCK* block)
{
    const int budget = exchangePolls(block);

    // Datagrams left over from an earlier exchange (the tail of a reply that did not fit, say)
    // must not pass for this one's reply.
    ClearReadBuffer();

    // Only the bytes received are ever read from the scratch, so it need not be cleared.
    if (m_scratch.empty())
        m_scratch.resize(kZynScratchSize);
    const int result = transferFrame(block, budget, m_scratch.data(), kZynScratchSize);
    // An exchange that gave up without a whole reply may still be answered later: what the
    // controller sends for it must not reach the next exchange, which could not tell it apart.
    if (result < 0)
        renewSocket();
    return result;
}

void EthernetInterface::waitForData()
{
    // Wake as soon as the next datagram is there rather than after a fixed sleep.
    waitReadable(pollIntervalMicroseconds());
}
