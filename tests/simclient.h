// A raw UDP client for the simulator tests: sends datagrams, receives them with a timeout.
// Loopback only: the tests bind and send to 127.0.0.200 - 127.0.0.219.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

class UdpClient {
public:
    using Bytes = std::vector<uint8_t>;
    using Clock = std::chrono::steady_clock;

    struct Datagram {
        Bytes bytes;
        std::string from;        // "ip:port"
        Clock::time_point when;
    };

    explicit UdpClient(const char* bindAddress = "127.0.0.200", uint16_t port = 0)
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        if (m_fd < 0 || ::inet_pton(AF_INET, bindAddress, &a.sin_addr) != 1
            || ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            close();
            return;
        }
        socklen_t length = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &length);
        m_port = ntohs(a.sin_port);
    }
    ~UdpClient() { close(); }
    UdpClient(const UdpClient&) = delete;
    UdpClient& operator=(const UdpClient&) = delete;

    bool ok() const { return m_fd >= 0; }
    uint16_t port() const { return m_port; }

    bool send(const char* address, uint16_t port, const Bytes& bytes)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        if (::inet_pton(AF_INET, address, &to.sin_addr) != 1)
            return false;
        const ssize_t n = ::sendto(m_fd, bytes.data(), bytes.size(), 0,
                                   reinterpret_cast<sockaddr*>(&to), sizeof to);
        return n == ssize_t(bytes.size());
    }

    // The next datagram, or false when none arrives within timeoutMs.
    bool receive(Datagram* out, int timeoutMs)
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
        Bytes buffer(65536);
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = ::recvfrom(m_fd, buffer.data(), buffer.size(), 0,
                                     reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0)
            return false;
        buffer.resize(size_t(n));
        char ip[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, ip, sizeof ip);
        out->bytes = std::move(buffer);
        out->from = std::string(ip) + ":" + std::to_string(ntohs(from.sin_port));
        out->when = Clock::now();
        return true;
    }

    // Datagrams until `total` bytes have arrived or nothing comes for timeoutMs.
    std::vector<Datagram> receiveBytes(size_t total, int timeoutMs)
    {
        std::vector<Datagram> out;
        size_t got = 0;
        Datagram d;
        while (got < total && receive(&d, timeoutMs)) {
            got += d.bytes.size();
            out.push_back(d);
        }
        return out;
    }

    // One reply frame put together from datagrams (prefix, 16-bit length, checksum); empty
    // when it does not complete within timeoutMs of quiet.
    Bytes receiveFrame(int timeoutMs, std::vector<size_t>* datagramSizes = nullptr)
    {
        Bytes frame;
        Datagram d;
        while (receive(&d, timeoutMs)) {
            if (datagramSizes)
                datagramSizes->push_back(d.bytes.size());
            frame.insert(frame.end(), d.bytes.begin(), d.bytes.end());
            if (frame.size() >= 5 && frame.size() >= size_t(frame[3] | (frame[4] << 8)) + 6u)
                return frame;
        }
        return {};
    }

    // True when nothing arrives within ms.
    bool quiet(int ms)
    {
        Datagram d;
        return !receive(&d, ms);
    }

private:
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    int m_fd = -1;
    uint16_t m_port = 0;
};

// A command frame, built here rather than with the simulator's codec so that the two check
// each other.
inline std::vector<uint8_t> command(uint8_t code, const std::vector<uint8_t>& payload = {})
{
    using Bytes = std::vector<uint8_t>;
    // Sized once and filled in place (growing an initializer-list vector trips gcc 12's
    // -Warray-bounds at -O2).
    const size_t length = payload.size() + 1;
    Bytes f(payload.size() + 7);
    f[0] = 0x5E;
    f[1] = 0x01;
    f[2] = 0x61;
    f[3] = uint8_t(length);
    f[4] = uint8_t(length >> 8);
    f[5] = code;
    std::copy(payload.begin(), payload.end(), f.begin() + 6);
    unsigned sum = 0;
    for (size_t i = 3; i + 1 < f.size(); ++i)
        sum += f[i];
    f.back() = uint8_t(sum);
    return f;
}

// The data of a well-formed reply frame; empty when the frame is malformed.
inline std::vector<uint8_t> replyData(const std::vector<uint8_t>& frame)
{
    if (frame.size() < 6 || frame[0] != 0x5E || frame[1] != 0x01 || frame[2] != 0x61)
        return {};
    const size_t length = size_t(frame[3]) | (size_t(frame[4]) << 8);
    if (frame.size() != length + 6)
        return {};
    unsigned sum = 0;
    for (size_t i = 3; i + 1 < frame.size(); ++i)
        sum += frame[i];
    if (uint8_t(sum) != frame.back())
        return {};
    return std::vector<uint8_t>(frame.begin() + 5, frame.end() - 1);
}

} // namespace simtest
