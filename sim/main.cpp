// zynsim: serves simulated controllers over UDP and as driver services until SIGINT/SIGTERM.
#include "simulator.h"

#include "iokit/userclient_service.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <pthread.h>

namespace {

const char kUsage[] =
    "Usage: zynsim [options]\n"
    "Serves simulated RAID controllers until interrupted (SIGINT or SIGTERM).\n"
    "\n"
    "  --udp ADDR          serve a controller on UDP ADDR:PORT; repeat for more controllers\n"
    "                      (any IPv4 address is accepted; the tests use loopback 127.x.x.x)\n"
    "  --port N            UDP port of the --udp controllers (default 7890)\n"
    "  --driver-dir DIR    registry folder the driver services are published in\n"
    "                      (default $ZYNMSR_DRIVER_DIR, else /run/zynmsr)\n"
    "  --slots N           number of driver services published (orders 0 .. N-1)\n"
    "  --profile NAME      controller family: older, enclosure (default), jbod, jbod6g\n"
    "  --password TEXT     the controllers' own password (default 0000); when given,\n"
    "                      password mode is on and changing commands need a log-in\n"
    "  --frame-log FILE    append every controller's frame log to FILE, one hex line per frame\n"
    "                      or chunk: time, via, kind, command, peer, bytes\n"
    "  --help              show this text\n";

int fail(const std::string& message)
{
    std::fprintf(stderr, "zynsim: %s\n", message.c_str());
    return 2;
}

bool parseNumber(const char* text, long min, long max, long* out)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < min || value > max)
        return false;
    *out = value;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> udpAddresses;
    std::string driverDir;
    std::string frameLog;
    long slots = -1;
    long port = 7890;
    bool passwordGiven = false;
    zynsim::ControllerConfig config;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc)
            return fail("unknown option or missing value: " + option + " (see --help)");
        const char* value = argv[++i];
        if (option == "--udp") {
            udpAddresses.push_back(value);
        } else if (option == "--driver-dir") {
            driverDir = value;
        } else if (option == "--slots") {
            if (!parseNumber(value, 0, 256, &slots))
                return fail(std::string("--slots takes a number from 0 to 256, not ") + value);
        } else if (option == "--port") {
            if (!parseNumber(value, 0, 65535, &port))
                return fail(std::string("--port takes a number from 0 to 65535, not ") + value);
        } else if (option == "--profile") {
            if (!zynsim::profileFromName(value, &config.profile))
                return fail(std::string("unknown profile ") + value + " (older, enclosure, jbod, jbod6g)");
        } else if (option == "--password") {
            if (std::strlen(value) > 15)
                return fail("a password has at most 15 characters");
            config.password = value;
            passwordGiven = true;
        } else if (option == "--frame-log") {
            frameLog = value;
        } else {
            return fail("unknown option " + option + " (see --help)");
        }
    }
    if (!driverDir.empty() && slots < 0)
        return fail("--driver-dir needs --slots N");
    if (slots > 0 && driverDir.empty())
        driverDir = iokit::driverDirectory();
    if (udpAddresses.empty() && slots <= 0)
        return fail("nothing to serve: give --udp ADDR or --slots N (see --help)");

    // The serving threads inherit this mask, so the signals reach sigwait below only.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    zynsim::Simulator simulator;
    auto prepare = [&](const std::shared_ptr<zynsim::FakeController>& controller) {
        if (passwordGiven)
            controller->setPasswordRequired(true);
        if (!frameLog.empty() && !controller->setLogFile(frameLog))
            std::fprintf(stderr, "zynsim: cannot open the frame log %s\n", frameLog.c_str());
    };

    for (const std::string& address : udpAddresses) {
        auto controller = simulator.addUdpController(address, config, uint16_t(port));
        if (!controller)
            return fail(simulator.error());
        prepare(controller);
        std::printf("udp %s:%u serial %s profile %s\n", address.c_str(),
                    unsigned(simulator.udpPort(controller)), controller->serial().c_str(),
                    zynsim::profileName(config.profile).c_str());
    }
    for (long slot = 0; slot < slots; ++slot) {
        const uint64_t entryId = 0x100000000ull + 0x100ull * uint64_t(slot) + 1;
        auto controller = simulator.addDriverController(driverDir, int(slot), config, entryId);
        if (!controller)
            return fail(simulator.error());
        prepare(controller);
        std::printf("driver %s slot %ld entry 0x%llx serial %s profile %s\n", driverDir.c_str(), slot,
                    static_cast<unsigned long long>(entryId), controller->serial().c_str(),
                    zynsim::profileName(config.profile).c_str());
    }
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    simulator.stop();
    std::printf("stopped (%s)\n", received == SIGINT ? "SIGINT" : "SIGTERM");
    return 0;
}
