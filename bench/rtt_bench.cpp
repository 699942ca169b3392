// Measures the round trip of the system-information command (7-byte frame, 262-byte reply)
// over UDP and over the driver's user client, against the simulator in this process, and a
// raw UDP echo of the same sizes on loopback as the floor.
#include "darwinuserclient.h"
#include "ethernetinterface.h"
#include "scratchfolder.h"
#include "simulator.h"
#include "zynlib.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Stats {
    double median;
    double p99;
};

Stats summarise(std::vector<double> us)
{
    if (us.empty())
        return {-1, -1};
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[std::min(us.size() - 1, us.size() * 99 / 100)]};
}

class Session : public CZynlibALL {
};

// A UDP echo on loopback that answers every 7-byte datagram with 262 bytes.
class RawEcho {
public:
    explicit RawEcho(const char* address)
    {
        m_socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        inet_pton(AF_INET, address, &a.sin_addr);
        bind(m_socket, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof m_address;
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&m_address), &len);
        timeval tv{0, 100000};
        setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        m_thread = std::thread([this] {
            unsigned char in[64];
            unsigned char out[262] = {};
            while (!m_stop) {
                sockaddr_in from{};
                socklen_t fl = sizeof from;
                const ssize_t n = recvfrom(m_socket, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &fl);
                if (n > 0)
                    sendto(m_socket, out, sizeof out, 0, reinterpret_cast<sockaddr*>(&from), fl);
            }
        });
    }
    ~RawEcho()
    {
        m_stop = true;
        m_thread.join();
        close(m_socket);
    }
    sockaddr_in address() const { return m_address; }

private:
    int m_socket = -1;
    sockaddr_in m_address{};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

static int run(int rounds, const char* folder)
{
    const char* address = "127.0.0.250";
    setenv("ZYNMSR_DRIVER_DIR", folder, 1);
    const std::string lockDir = std::string(folder) + "/lock";
    setenv("ZYNMSR_LOCK_DIR", lockDir.c_str(), 1);

    zynsim::Simulator simulator;
    auto udpController = simulator.addUdpController(address, zynsim::ControllerConfig(), 0);
    auto driverController = simulator.addDriverController(folder, 0, zynsim::ControllerConfig());
    if (!udpController || !driverController) {
        std::fprintf(stderr, "simulator: %s\n", simulator.error().c_str());
        return 1;
    }

    Session udp;
    auto* ethernet = new EthernetInterface();
    if (!ethernet->init(address, short(simulator.udpPort(udpController))) || udp.ZynInitSession(ethernet) != 0) {
        std::fprintf(stderr, "UDP session failed\n");
        return 1;
    }
    Session local;
    auto* userClient = new DarwinUserClientInterface();
    if (!userClient->init(0) || local.ZynInitSession(userClient) != 0) {
        std::fprintf(stderr, "user-client session failed\n");
        return 1;
    }

    RawEcho echo(address);
    const int client = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in target = echo.address();
    const unsigned char request[7] = {0x5E, 0x01, 0x61, 0x01, 0x00, 0x23, 0x24};
    sSYSTEM_INFO info;
    auto echoOnce = [&] {
        unsigned char reply[1400];
        sendto(client, request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&target), sizeof target);
        return recv(client, reply, sizeof reply, 0) == 262;
    };
    auto udpOnce = [&] { return udp.ZynGetSysInfo(&info) == 0; };
    auto localOnce = [&] { return local.ZynGetSysInfo(&info) == 0; };

    // The three take turns round by round, so that each sees the machine in the same state.
    std::vector<double> echoSamples, udpSamples, localSamples;
    for (int i = 0; i < rounds; ++i) {
        for (auto* pair : {&echoSamples, &udpSamples, &localSamples}) {
            const auto t0 = Clock::now();
            const bool ok = pair == &echoSamples ? echoOnce() : pair == &udpSamples ? udpOnce() : localOnce();
            if (!ok) {
                std::fprintf(stderr, "round %d failed\n", i);
                close(client);
                return 1;
            }
            pair->push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        }
    }
    close(client);
    const Stats echoStats = summarise(echoSamples);
    const Stats udpStats = summarise(udpSamples);
    const Stats localStats = summarise(localSamples);

    std::printf("round trip of command 0x23 (7-byte frame, 262-byte reply), %d rounds\n", rounds);
    std::printf("%-22s median %8.1f us   p99 %8.1f us\n", "raw UDP echo", echoStats.median, echoStats.p99);
    std::printf("%-22s median %8.1f us   p99 %8.1f us\n", "UDP transport", udpStats.median, udpStats.p99);
    std::printf("%-22s median %8.1f us   p99 %8.1f us\n", "user-client transport", localStats.median, localStats.p99);
    std::printf("UDP transport / raw echo (median): %.2f (target: within 3)\n", udpStats.median / echoStats.median);
    return 0;
}

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(100, std::atoi(argv[1])) : 2000;
    return bench::inScratchFolder("/tmp/zynbench-XXXXXX",
                                  [rounds](const char* folder) { return run(rounds, folder); });
}
