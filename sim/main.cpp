// zynsim: serves simulated controllers over UDP and as driver services until SIGINT/SIGTERM,
// and applies configuration lines read on standard input to them meanwhile.
#include "simulator.h"

#include "iokit/userclient_service.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

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
    "  --profile NAME      controller family: older, enclosure (default), jbod, jbod6g, e100\n"
    "  --slot-profile N:NAME  the family of driver slot N (repeatable); other controllers\n"
    "                      have the --profile family\n"
    "  --layout N          setup image layout 0-3 (default by profile: older and e100 0,\n"
    "                      enclosure 3, jbod and jbod6g 1); layout 1 has 16 volume numbers,\n"
    "                      layouts 2 and 3 have 128\n"
    "  --config FILE       load the device model of every controller from FILE (below)\n"
    "  --password TEXT     the controllers' own password (default 0000); when given,\n"
    "                      password mode is on and changing commands need a log-in\n"
"  --login-every MS    password mode for every command but identify (0x13): each needs\n"
    "                      a log-in, which lapses MS ms after it was taken (0: never)\n"
    "  --refuse-road-password  the application's fixed password does not log in; only the\n"
    "                      controllers' own password does\n"
    "  --capabilities N    system information byte 196 (default 3): 1 the clock takes UTC,\n"
    "                      2 the unit serial has a command of its own\n"
    "  --raid6 0|1         system information byte 180: the controller supports Raid6\n"
    "  --family N          system information byte 189 as reported (default by profile:\n"
    "                      older 1, enclosure 3; 2 the SATA controllers)\n"
    "  --reset-silence MS  how long a controller hears nothing after a reset (default 2000)\n"
    "  --silent-after N    each controller answers its first N frames, then none\n"
    "  --clone             every controller has the identity of the first (serial, MAC,\n"
    "                      firmware, model), as a controller found twice would\n"
    "  --frame-log FILE    append every controller's frame log to FILE, one hex line per frame\n"
    "                      or chunk: time, via, kind, command, peer, bytes\n"
    "  --progress-ms N     every N ms, move each running initialisation, migration and check\n"
    "                      on by 1% (default: they do not move)\n"
    "  --help              show this text\n"
    "\n"
    "Without --config each controller starts with a few disks, one raid set, one volume set\n"
    "and a hot spare. The --config FILE describes the model instead, one directive a line\n"
    "('#' starts a comment; \"text\" may hold blanks; numbers are decimal or 0x hex; E:S is\n"
    "enclosure:slot, a bare S is channel S on the older family). The file starts from the\n"
    "profile's enclosures with no disks, sets or events; each line logs its events.\n"
    "\n"
    "  controller [channels N] [volumes N] [raidsets N] [ring C]\n"
    "  enclosure E [vendor T] [name T] [revision T] [type 1-3] [slots N] [fans N]\n"
    "            [voltages N] [temps N] [power N] [battery 0-100|254|255|none]\n"
    "  disk E S [model T] [serial T] [firmware T] [capacity BLOCKS] [sata] [address U64]\n"
    "           [media N] [timeouts N] [temp N] [smart V:T x6] [rpm N] [counters N x20]\n"
    "  fail E:S | remove E:S | passthrough E:S\n"
    "  raidset [N] NAME disks E:S E:S ... [sed]\n"
    "  volume [N] NAME raidset R capacity BLOCKS level 0-4 [stripe 8-2048] [channel C]\n"
    "         [id I] [lun L] [tagged 0|1] [cache C] [extra U32] [serial T] [encryption T]\n"
    "         [keystatus K] [flags U32] [state U32] [progress 0-1000]\n"
    "  nested [N] NAME members V V ...\n"
    "  hotspare E:S [global | dedicated R | enclosure]\n"
    "  event CLASS CODE [NAME] [channel N]\n"
    "  sensor [enclosure E] fan V.. / voltage V[:W].. / temp T.. / power 1|0.. / battery N / ups N\n"
    "\n"
    "Example:\n"
    "  enclosure 0 name \"Backplane\" slots 8 fans 2 voltages 3 temps 2 power 2 battery 90\n"
    "  disk 0 0\n"
    "  disk 0 1\n"
    "  disk 0 2 model \"ST4000NM\" serial \"Z1X2\" capacity 7814037168\n"
    "  raidset \"Raid Set # 000\" disks 0:0 0:1 0:2\n"
    "  volume 0 \"Volume---VOL#000\" raidset 0 capacity 100000000 level 3 stripe 128 state 0\n"
    "\n"
    "Run-time changes: config directives on standard input (a pipe, a file or the terminal),\n"
    "one a line, e.g. `event 6 30 \"HotSpare\"`, `disk 0 5 model \"ST4000NM\"`, `fail 0:1`.\n"
    "Each line applies to every controller's model as it is (nothing is reset; the line logs\n"
    "its events; an enclosure line adds the next enclosure), and zynsim answers on standard\n"
    "output with one line: \"ok\", or \"error: line 1: REASON\" when a controller refused it\n"
    "(its model is then unchanged). The end of standard input ends the changes, not zynsim.\n"
    "Hot plug: \"unplug N\" withdraws the driver service of slot N, \"plug N\" publishes it\n"
    "again with the same identity and a fresh model.\n"
    "Pause: \"pause MS\" makes every controller answer nothing for MS milliseconds; what it\n"
    "hears meanwhile is answered when the pause ends.\n";

constexpr size_t kMaxConfigBytes = 1 << 20;
constexpr long kMaxSlots = 256;
constexpr long kMaxLogInLapseMs = 86400000;   // a day
constexpr long kMaxPauseMs = 3600000;

int fail(const std::string& message)
{
    std::fprintf(stderr, "zynsim: %s\n", message.c_str());
    return 2;
}

// The controllers served at the moment of the call: a driver slot unplugged has none, one
// plugged in again its new controller.
using ServedControllers = std::function<std::vector<std::shared_ptr<zynsim::FakeController>>()>;

// Run-time changes: reads standard input line by line on a thread of its own and applies each
// line to every controller served, answering "ok" or "error: ..." on standard output. Ends at the end
// of the input, on a read error, or when stopped.
class ChangeReader {
public:
    // `special` may take a line first: true when it did, with the answer in `reply`.
    using Special = std::function<bool(const std::string& line, std::string* reply)>;

    ChangeReader(ServedControllers served, Special special)
        : m_served(std::move(served))
        , m_special(std::move(special))
    {
    }
    ~ChangeReader() { stop(); }
    ChangeReader(const ChangeReader&) = delete;
    ChangeReader& operator=(const ChangeReader&) = delete;

    bool start()
    {
        if (::pipe2(m_wake, O_CLOEXEC) != 0)
            return false;
        m_thread = std::thread([this] { run(); });
        return true;
    }
    void stop()
    {
        if (m_thread.joinable()) {
            const char byte = 0;
            while (::write(m_wake[1], &byte, 1) < 0 && errno == EINTR) {
            }
            m_thread.join();
        }
        for (int& fd : m_wake) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }

private:
    // A longer line is cut here; applyConfig refuses it as too long (its limit is 4096).
    static constexpr size_t kLineKept = 4097;

    void run()
    {
        std::string line;
        char buffer[4096];
        for (;;) {
            pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents != 0 || (fds[0].revents & POLLNVAL))
                return;
            if (fds[0].revents == 0)
                continue;
            const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (got < 0) {
                if (errno == EINTR || errno == EAGAIN)
                    continue;
                std::fprintf(stderr, "zynsim: standard input: %s; run-time changes end\n", std::strerror(errno));
                return;
            }
            if (got == 0) {
                if (!line.empty())
                    apply(line);   // the last line without its newline
                return;
            }
            for (ssize_t i = 0; i < got; ++i) {
                if (buffer[i] == '\n') {
                    apply(line);
                    line.clear();
                } else if (line.size() < kLineKept) {
                    line.push_back(buffer[i]);
                }
            }
        }
    }

    void apply(const std::string& line)
    {
        std::string reply;
        if (m_special && m_special(line, &reply)) {
            std::printf("%s\n", reply.c_str());
            std::fflush(stdout);
            return;
        }
        std::string firstError;
        for (const auto& controller : m_served()) {
            std::string error;
            if (!controller->applyConfig(line, &error) && firstError.empty())
                firstError = error.empty() ? "refused" : error;
        }
        if (firstError.empty())
            std::printf("ok\n");
        else
            std::printf("error: %s\n", firstError.c_str());
        std::fflush(stdout);
    }

    ServedControllers m_served;
    Special m_special;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};

// Moves the volumes' background work on: 1% of it every period, until stopped.
class ProgressTicker {
public:
    ProgressTicker(ServedControllers served, long periodMs)
        : m_served(std::move(served)), m_period(periodMs)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~ProgressTicker()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    ProgressTicker(const ProgressTicker&) = delete;
    ProgressTicker& operator=(const ProgressTicker&) = delete;

private:
    static constexpr int kTenthsPerTick = 10;

    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_wake.wait_for(lock, m_period, [this] { return m_stop; })) {
            for (const auto& controller : m_served())
                controller->advanceAll(kTenthsPerTick);
        }
    }

    ServedControllers m_served;
    std::chrono::milliseconds m_period;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

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
    long progressMs = 0;
    bool passwordGiven = false;
    bool clone = false;
    long logInLapseMs = -1;   // -1: no --login-every
    bool roadPasswordRefused = false;
    std::string modelConfig;
    bool modelConfigGiven = false;
    zynsim::ControllerConfig config;
    // Driver slots with a family of their own (--slot-profile), by slot.
    std::map<long, zynsim::Profile> slotProfiles;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (option == "--clone") {
            clone = true;
            continue;
        }
        if (option == "--refuse-road-password") {
            roadPasswordRefused = true;
            continue;
        }
        if (i + 1 >= argc)
            return fail("unknown option or missing value: " + option + " (see --help)");
        const char* value = argv[++i];
        if (option == "--udp") {
            udpAddresses.push_back(value);
        } else if (option == "--driver-dir") {
            driverDir = value;
        } else if (option == "--slots") {
            if (!parseNumber(value, 0, kMaxSlots, &slots))
                return fail(std::string("--slots takes a number from 0 to 256, not ") + value);
        } else if (option == "--port") {
            if (!parseNumber(value, 0, 65535, &port))
                return fail(std::string("--port takes a number from 0 to 65535, not ") + value);
        } else if (option == "--profile") {
            if (!zynsim::profileFromName(value, &config.profile))
                return fail(std::string("unknown profile ") + value + " (older, enclosure, jbod, jbod6g, e100)");
        } else if (option == "--slot-profile") {
            const char* colon = std::strchr(value, ':');
            long slot = -1;
            zynsim::Profile profile{};
            if (!colon || !parseNumber(std::string(value, colon).c_str(), 0, kMaxSlots - 1, &slot)
                || !zynsim::profileFromName(colon + 1, &profile))
                return fail(std::string("--slot-profile takes SLOT:NAME (slot 0 to 255; older, enclosure, jbod, "
                                        "jbod6g, e100), not ") + value);
            slotProfiles[slot] = profile;
        } else if (option == "--layout") {
            long layout = 0;
            if (!parseNumber(value, 0, 3, &layout))
                return fail(std::string("--layout takes a number from 0 to 3, not ") + value);
            config.setupLayout = int(layout);
        } else if (option == "--password") {
            if (std::strlen(value) > 15)
                return fail("a password has at most 15 characters");
            config.password = value;
            passwordGiven = true;
        } else if (option == "--login-every") {
            if (!parseNumber(value, 0, kMaxLogInLapseMs, &logInLapseMs))
                return fail("--login-every takes a number of ms from 0 to " + std::to_string(kMaxLogInLapseMs) + ", not " + value);
        } else if (option == "--config") {
            std::ifstream file(value, std::ios::binary);
            if (!file)
                return fail(std::string("cannot read ") + value);
            // Read a byte past the longest accepted text, so that loadConfig refuses it.
            std::string text(kMaxConfigBytes + 1, '\0');
            file.read(&text[0], std::streamsize(text.size()));
            text.resize(size_t(file.gcount()));
            modelConfig = std::move(text);
            modelConfigGiven = true;
        } else if (option == "--capabilities") {
            long bits = 0;
            if (!parseNumber(value, 0, 255, &bits))
                return fail(std::string("--capabilities takes a number from 0 to 255, not ") + value);
            config.capabilities = uint8_t(bits);
        } else if (option == "--family") {
            long family = 0;
            if (!parseNumber(value, 0, 255, &family))
                return fail(std::string("--family takes a number from 0 to 255, not ") + value);
            config.family = int(family);
        } else if (option == "--raid6") {
            long on = 0;
            if (!parseNumber(value, 0, 1, &on))
                return fail(std::string("--raid6 takes 0 or 1, not ") + value);
            config.raid6 = on != 0;
        } else if (option == "--reset-silence") {
            long ms = 0;
            if (!parseNumber(value, 0, 600000, &ms))
                return fail(std::string("--reset-silence takes milliseconds from 0 to 600000, not ") + value);
            config.resetSilenceMs = int(ms);
        } else if (option == "--silent-after") {
            long frames = 0;
            if (!parseNumber(value, 0, 1000000, &frames))
                return fail(std::string("--silent-after takes a number from 0 to 1000000, not ") + value);
            config.silentAfterFrames = int(frames);
        } else if (option == "--frame-log") {
            frameLog = value;
        } else if (option == "--progress-ms") {
            if (!parseNumber(value, 1, 3600000, &progressMs))
                return fail(std::string("--progress-ms takes milliseconds from 1 to 3600000, not ") + value);
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
    if (!slotProfiles.empty() && slotProfiles.rbegin()->first >= std::max(slots, 0L))
        return fail("--slot-profile " + std::to_string(slotProfiles.rbegin()->first) + ": there are only "
                    + std::to_string(std::max(slots, 0L)) + " driver slots");
    // A driver slot's configuration: its own family (the layout then follows that family unless
    // --layout gave one), else the common one.
    auto slotConfig = [&](long slot) {
        zynsim::ControllerConfig own = config;
        const auto found = slotProfiles.find(slot);
        if (found != slotProfiles.end())
            own.profile = found->second;
        return own;
    };

    // The serving threads inherit this mask, so the signals reach sigwait below only.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // Reading a terminal in the background then fails instead of stopping the simulator.
    std::signal(SIGTTIN, SIG_IGN);

    // The model file is checked before anything is served.
    if (modelConfigGiven) {
        zynsim::FakeController check(config);
        std::string error;
        if (!check.loadConfig(modelConfig, &error))
            return fail("--config: " + error);
    }

    zynsim::Simulator simulator;
    // The --udp controllers; the driver slots' controllers are in `services` below.
    std::vector<std::shared_ptr<zynsim::FakeController>> network;
    bool firstMade = false;
    // What the options give each controller, those plugged in later too.
    auto setUp = [&](const std::shared_ptr<zynsim::FakeController>& controller) {
        if (modelConfigGiven)
            controller->loadConfig(modelConfig, nullptr);
        if (passwordGiven)
            controller->setPasswordRequired(true);
        if (logInLapseMs >= 0)
            controller->setLogInForEveryCommand(true, int(logInLapseMs));
        controller->setRoadPasswordRefused(roadPasswordRefused);
        if (!frameLog.empty() && !controller->setLogFile(frameLog))
            std::fprintf(stderr, "zynsim: cannot open the frame log %s\n", frameLog.c_str());
    };
    auto prepare = [&](const std::shared_ptr<zynsim::FakeController>& controller) {
        if (clone && !firstMade) {
            const zynsim::Bytes info = controller->systemInfo();
            config.serial = controller->serial();
            std::copy(info.begin() + 152, info.begin() + 158, config.mac.begin());
        }
        firstMade = true;
        setUp(controller);
    };

    for (const std::string& address : udpAddresses) {
        auto controller = simulator.addUdpController(address, config, uint16_t(port));
        if (!controller)
            return fail(simulator.error());
        prepare(controller);
        network.push_back(controller);
        std::printf("udp %s:%u serial %s profile %s\n", address.c_str(),
                    unsigned(simulator.udpPort(controller)), controller->serial().c_str(),
                    zynsim::profileName(config.profile).c_str());
    }
    std::vector<std::shared_ptr<zynsim::FakeController>> services(size_t(std::max(slots, 0L)));
    for (long slot = 0; slot < slots; ++slot) {
        const uint64_t entryId = 0x100000000ull + 0x100ull * uint64_t(slot) + 1;
        const zynsim::ControllerConfig own = slotConfig(slot);
        auto controller = simulator.addDriverController(driverDir, int(slot), own, entryId);
        if (!controller)
            return fail(simulator.error());
        prepare(controller);
        services[size_t(slot)] = controller;
        std::printf("driver %s slot %ld entry 0x%llx serial %s profile %s\n", driverDir.c_str(), slot,
                    static_cast<unsigned long long>(entryId), controller->serial().c_str(),
                    zynsim::profileName(own.profile).c_str());
    }
    std::fflush(stdout);

    // Hot plug: "unplug N" withdraws the driver service of slot N, "plug N" publishes it again
    // (the same identity, a fresh model); "pause MS" pauses every controller.
    std::mutex servicesMutex;
    std::vector<std::pair<std::string, std::array<uint8_t, 6>>> identities(services.size());
    const ServedControllers served = [&] {
        std::lock_guard<std::mutex> lock(servicesMutex);
        std::vector<std::shared_ptr<zynsim::FakeController>> now = network;
        for (const auto& service : services)
            if (service)
                now.push_back(service);
        return now;
    };
    auto hotPlug = [&](const std::string& line, std::string* reply) {
        char verb[16] = {};
        long slot = -1;
        char extra = 0;
        if (std::sscanf(line.c_str(), "%15s %ld %c", verb, &slot, &extra) != 2)
            return false;
        // "pause MS": every controller answers nothing for MS milliseconds, then all it heard.
        if (std::strcmp(verb, "pause") == 0 && slot >= 0 && slot <= kMaxPauseMs) {
            for (const auto& controller : served())
                controller->pauseFor(int(slot));
            *reply = "ok";
            return true;
        }
        if (std::strcmp(verb, "plug") != 0 && std::strcmp(verb, "unplug") != 0)
            return false;
        std::lock_guard<std::mutex> lock(servicesMutex);
        if (slot < 0 || slot >= long(services.size())) {
            *reply = "error: no driver slot " + std::to_string(slot);
            return true;
        }
        auto& service = services[size_t(slot)];
        const uint64_t entryId = 0x100000000ull + 0x100ull * uint64_t(slot) + 1;
        if (std::strcmp(verb, "unplug") == 0) {
            if (service) {
                const zynsim::Bytes info = service->systemInfo();
                identities[size_t(slot)].first = service->serial();
                std::copy(info.begin() + 152, info.begin() + 158, identities[size_t(slot)].second.begin());
                simulator.removeDriverController(service);
            }
            service.reset();
            *reply = "ok";
            return true;
        }
        if (service) {
            *reply = "error: slot " + std::to_string(slot) + " is plugged";
            return true;
        }
        zynsim::ControllerConfig again = slotConfig(slot);
        again.serial = identities[size_t(slot)].first;
        again.mac = identities[size_t(slot)].second;
        service = simulator.addDriverController(driverDir, int(slot), again, entryId);
        if (service)
            setUp(service);
        *reply = service ? "ok" : "error: " + simulator.error();
        return true;
    };
    ChangeReader changes(served, hotPlug);
    if (!changes.start())
        std::fprintf(stderr, "zynsim: no run-time changes: %s\n", std::strerror(errno));
    std::unique_ptr<ProgressTicker> progress;
    if (progressMs > 0)
        progress = std::make_unique<ProgressTicker>(served, progressMs);

    int received = 0;
    sigwait(&signals, &received);
    progress.reset();
    changes.stop();
    simulator.stop();
    std::printf("stopped (%s)\n", received == SIGINT ? "SIGINT" : "SIGTERM");
    return 0;
}
