// The soak: N controllers over UDP on 127.0.2.x (both families in turn, the model of the
// polling benchmark plus one free disk each), listed by the host, started as the program starts
// them (with their item models) and shown in a controller tree. Each controller in turn gets
// one change every two seconds from its simulated counterpart, in a cycle: an event logged
// with new temperatures; the free disk failed, removed, inserted again, made a hot spare, a
// pass-through disk and a raid set of its own, each undone in turn; a volume set created,
// initialised and deleted. The hardware monitor of the first controller of each family is
// refreshed, as the program refreshes the one selected.
//
// The simulated controllers live in a child process that takes one line per change ("K": the
// next change of controller K) and answers "ok" or "error: ...". The report gives the resident
// memory and the allocator's heap over time and their least-squares slopes, the events taken
// in, and what one row of the event model (which keeps every event) takes.
#include "soak.h"

#include "benchsupport.h"
#include "devices/controller.h"
#include "ui/model/controlleritemmodel.h"
#include "devices/host.h"
#include "simulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardItemModel>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace bench {
namespace {

// Each controller gets one change this often.
constexpr int kChangePeriodMs = 2000;
// At most this long between two memory samples; shorter soaks sample more often.
constexpr int kSamplePeriodMs = 10000;
constexpr int kMinSamples = 20;
constexpr int kFreeDisks = 1;
constexpr int kLineLimit = 512;
// The controllers whose hardware monitor is refreshed: the first of each family.
constexpr int kMonitoredControllers = 2;
// An event that changes nothing: hardware-monitor class, "Test Event".
constexpr const char* kTestEvent = "event 5 39\n";
// The soak's volume set: 1 GB, Raid5, 64 KB stripes, on raid set 0.
constexpr uint64_t kVolumeBlocks = 2000000;
constexpr int kRaid5 = 3;
constexpr uint32_t kStripeSectors = 128;
// Progress in tenths of a per cent that completes an initialisation.
constexpr int kWholeProgress = 1000;

enum Change {
    LogEvent,
    FailDisk,
    RemoveDisk,
    InsertDisk,
    MakeSpare,
    ClearSpare,
    MakePassThrough,
    ClearPassThrough,
    CreateRaidSet,
    DeleteRaidSet,
    CreateVolume,
    CompleteVolume,
    DeleteVolume,
    kChanges,
};

std::string address(int i)
{
    return "127.0.2." + std::to_string(10 + i);
}

bool enclosureFamily(int i)
{
    return i % 2 == 0;
}

// The free disk: the slot after the member disks.
std::pair<int, int> freeDisk(bool enclosure)
{
    return enclosure ? std::make_pair(1, kSlotsPerEnclosure) : std::make_pair(0, kMemberDisks);
}

// Two temperature sensors, warmer by one degree each cycle for ten cycles, then again.
std::string temperatures(bool enclosure, int round)
{
    constexpr int kCoolest = 40;
    constexpr int kSteps = 10;
    const int t = kCoolest + round % kSteps;
    return enclosure ? "sensor temp " + std::to_string(t) + ":0 " + std::to_string(t + 1) + ":0\n"
                     : "sensor temp " + std::to_string(t) + " " + std::to_string(t + 1) + "\n";
}

// ---- The simulator process ------------------------------------------------------------

struct Simulated {
    std::shared_ptr<zynsim::FakeController> controller;
    bool enclosure = false;
    int next = 0;        // the next change
    int round = 0;       // cycles done
    int raidSet = -1;    // the soak's raid set while it exists
    int volume = -1;     // the soak's volume set while it exists
};

bool applyChange(Simulated& s, std::string* why)
{
    zynsim::FakeController& c = *s.controller;
    const auto [e, slot] = freeDisk(s.enclosure);
    const std::string at = std::to_string(e) + ":" + std::to_string(slot);
    const Change change = Change(s.next);
    s.next = (s.next + 1) % kChanges;
    switch (change) {
    case LogEvent:
        return c.applyConfig(kTestEvent + temperatures(s.enclosure, s.round), why);
    case FailDisk:
        return c.applyConfig("fail " + at + "\n", why);
    case RemoveDisk:
        return c.applyConfig("remove " + at + "\n", why);
    case InsertDisk:
        return c.applyConfig("disk " + std::to_string(e) + " " + std::to_string(slot) + " capacity "
                                 + kDiskCapacity + "\n",
                             why);
    case MakeSpare:
        return c.applyConfig("hotspare " + at + "\n", why);
    case ClearSpare:
        return c.clearHotSpare(e, slot, why);
    case MakePassThrough:
        return c.applyConfig("passthrough " + at + "\n", why);
    case ClearPassThrough:
        return c.clearPassThrough(e, slot, why);
    case CreateRaidSet:
        s.raidSet = c.createRaidSet("Soak", {{e, slot}}, {}, why);
        return s.raidSet >= 0;
    case DeleteRaidSet:
        return c.deleteRaidSet(s.raidSet, why);
    case CreateVolume:
        s.volume = c.createVolumeSet(0, "Soak", kVolumeBlocks, kRaid5, kStripeSectors, {}, why);
        return s.volume >= 0;
    case CompleteVolume:
        if (!c.advanceProgress(s.volume, kWholeProgress)) {
            *why = "the volume set was not initialising";
            return false;
        }
        return true;
    case DeleteVolume:
        ++s.round;
        return c.deleteVolumeSet(s.volume, why);
    case kChanges:
        break;
    }
    return false;
}

[[noreturn]] void serveSimulator(int controllers, FILE* in, FILE* out)
{
    std::vector<Simulated> simulated;
    {
        zynsim::Simulator sim;
        for (int i = 0; i < controllers; ++i) {
            Simulated s;
            s.enclosure = enclosureFamily(i);
            zynsim::ControllerConfig config;
            config.profile = s.enclosure ? zynsim::Profile::Enclosure : zynsim::Profile::Older;
            config.raidSetNumbers = 16;
            config.volumeNumbers = 32;   // the older family's layout leaves it to the controller
            s.controller = sim.addUdpController(address(i), config);
            std::string error;
            if (!s.controller
                || !s.controller->loadConfig(modelConfig(s.enclosure, kFreeDisks) + temperatures(s.enclosure, 0), &error)) {
                std::fprintf(out, "error: %s %s\n", sim.error().c_str(), error.c_str());
                std::fflush(out);
                _exit(1);
            }
            simulated.push_back(s);
        }
        std::fprintf(out, "ready\n");
        std::fflush(out);
        char line[kLineLimit];
        while (std::fgets(line, sizeof line, in) != nullptr) {
            const int k = std::atoi(line);
            std::string why;
            if (k < 0 || k >= controllers)
                std::fprintf(out, "error: no controller %d\n", k);
            else if (!applyChange(simulated[size_t(k)], &why))
                std::fprintf(out, "error: controller %d: %s\n", k, why.c_str());
            else
                std::fprintf(out, "ok\n");
            std::fflush(out);
        }
        sim.stop();
    }
    _exit(0);
}

pid_t g_simulator = -1;
FILE* g_toSimulator = nullptr;
FILE* g_fromSimulator = nullptr;

// One line to the simulator and its answer (without the line end); empty when it has gone.
std::string ask(const std::string& line)
{
    if (std::fputs((line + "\n").c_str(), g_toSimulator) < 0 || std::fflush(g_toSimulator) != 0)
        return {};
    char answer[kLineLimit];
    if (std::fgets(answer, sizeof answer, g_fromSimulator) == nullptr)
        return {};
    std::string text(answer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

void endSimulator()
{
    if (g_toSimulator != nullptr)
        std::fclose(g_toSimulator);
    g_toSimulator = nullptr;
    if (g_simulator > 0)
        waitpid(g_simulator, nullptr, 0);
    g_simulator = -1;
    if (g_fromSimulator != nullptr)
        std::fclose(g_fromSimulator);
    g_fromSimulator = nullptr;
}

// ---- The report ----------------------------------------------------------------------------

struct Sample {
    double seconds;
    long rssKiB;
    long heapKiB;
    long events;
};

// Least-squares slope of `value` over the samples from `first` on, in KiB per hour.
template <typename Value>
double slopePerHour(const std::vector<Sample>& samples, size_t first, Value value)
{
    if (samples.size() < first + 2)
        return 0;
    double meanT = 0, meanV = 0;
    const double n = double(samples.size() - first);
    for (size_t i = first; i < samples.size(); ++i) {
        meanT += samples[i].seconds / n;
        meanV += double(value(samples[i])) / n;
    }
    double covariance = 0, variance = 0;
    for (size_t i = first; i < samples.size(); ++i) {
        const double dt = samples[i].seconds - meanT;
        covariance += dt * (double(value(samples[i])) - meanV);
        variance += dt * dt;
    }
    return variance > 0 ? covariance / variance * 3600.0 : 0;
}

double mib(long kib)
{
    return double(kib) / 1024.0;
}

} // namespace

bool startSoakSimulator(int controllers)
{
    int down[2], up[2];
    if (pipe(down) != 0 || pipe(up) != 0)
        return false;
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        close(down[1]);
        close(up[0]);
        serveSimulator(controllers, fdopen(down[0], "r"), fdopen(up[1], "w"));
    }
    close(down[0]);
    close(up[1]);
    g_simulator = pid;
    g_toSimulator = fdopen(down[1], "w");
    g_fromSimulator = fdopen(up[0], "r");
    // A simulator that has gone makes writes fail rather than end this process.
    signal(SIGPIPE, SIG_IGN);
    char line[kLineLimit];
    if (g_toSimulator == nullptr || g_fromSimulator == nullptr
        || std::fgets(line, sizeof line, g_fromSimulator) == nullptr || std::strcmp(line, "ready\n") != 0) {
        std::fprintf(stderr, "simulator: %s", g_fromSimulator != nullptr ? line : "not started\n");
        endSimulator();
        return false;
    }
    return true;
}

int runSoak(int seconds, int n)
{
    QZynHost* host = ZynGetHost();
    const long rssBefore = residentKiB();
    auto tree = std::make_unique<QControllerItemModel>(host, nullptr);
    std::vector<QZynController*> controllers;
    for (int i = 0; i < n; ++i) {
        const QList<QZynController*> added = host->scan_controller_by_ip(QString::fromStdString(address(i)));
        if (added.size() != 1) {
            std::fprintf(stderr, "controller at %s not added\n", address(i).c_str());
            endSimulator();
            return 1;
        }
        controllers.push_back(added.front());
        emit host->DeviceChanged(added.front(), QZynDevice::DeviceAdded);
    }
    long events = 0;
    for (size_t i = 0; i < controllers.size(); ++i) {
        QZynController* c = controllers[i];
        QObject::connect(c, &QZynController::DeviceChanged, c, [&events](QZynDevice* device, int code) {
            if (device->type == QZynDevice::Event && code == QZynDevice::DeviceAdded)
                ++events;
        });
        if (i < size_t(kMonitoredControllers))
            c->SetHwMonitorHold(0);
        c->Start();
    }
    for (QZynController* c : controllers)
        while (c->GetState() != QZynController::StateOnline)
            wait(20);
    wait(1500);   // the first passes after the build

    std::vector<double> cpuBefore;
    for (QZynController* c : controllers)
        cpuBefore.push_back(threadCpuSeconds(c->GetEventWatcher()));
    const double guiCpuBefore = ownCpuSeconds();
    const long eventsBefore = events;
    const int samplePeriodMs = std::max(1000, std::min(kSamplePeriodMs, seconds * 1000 / kMinSamples));
    const int changePeriodMs = std::max(1, kChangePeriodMs / n);

    std::printf("soak: %d controllers for %d s, a change per controller every %d ms; memory every %d ms\n", n, seconds,
                kChangePeriodMs, samplePeriodMs);
    std::printf("%8s %10s %10s %10s %10s\n", "seconds", "RSS MiB", "heap MiB", "events", "changes");
    std::vector<Sample> samples;
    QElapsedTimer window;
    window.start();
    qint64 nextSample = 0;
    long changes = 0;
    int failures = 0;
    for (;;) {
        const qint64 now = window.elapsed();
        if (now >= nextSample) {
            samples.push_back({double(now) / 1000.0, residentKiB(), heapInUseKiB(), events - eventsBefore});
            const Sample& s = samples.back();
            std::printf("%8.0f %10.1f %10.1f %10ld %10ld\n", s.seconds, mib(s.rssKiB), mib(s.heapKiB), s.events, changes);
            std::fflush(stdout);
            nextSample += samplePeriodMs;
        }
        if (now >= qint64(seconds) * 1000)
            break;
        const std::string answer = ask(std::to_string(changes % n));
        if (answer != "ok") {
            std::fprintf(stderr, "simulator: %s\n", answer.empty() ? "gone" : answer.c_str());
            if (answer.empty() || ++failures > n)
                break;
        }
        ++changes;
        const qint64 next = changes * changePeriodMs;
        if (window.elapsed() < next)
            wait(int(next - window.elapsed()));
    }
    const double elapsed = double(window.elapsed()) / 1000.0;
    const double guiCpu = ownCpuSeconds() - guiCpuBefore;
    double cpu = 0;
    for (size_t i = 0; i < controllers.size(); ++i)
        cpu += threadCpuSeconds(controllers[i]->GetEventWatcher()) - cpuBefore[i];

    // What the event models hold: the heap they give back when they go (their rows, and the
    // room their row lists grew to, are nearly all of it).
    for (QZynController* c : controllers)
        c->StopEventWatcher();
    wait(200);   // the announcements still queued
    long rows = 0;
    const long heapWithRows = heapInUseKiB();
    for (QZynController* c : controllers) {
        QStandardItemModel*& model = c->GetGuiItem()->eventModel;
        rows += model->rowCount();
        delete model;
        model = nullptr;
    }
    const long heapWithoutRows = heapInUseKiB();
    const double kibPerEvent = rows > 0 ? double(heapWithRows - heapWithoutRows) / double(rows) : 0;

    for (QZynController* c : controllers) {
        host->remove_controller(c);
        emit host->DeviceChanged(c, QZynDevice::DeviceRemoved);
        delete c;
    }
    tree.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    endSimulator();

    const size_t half = samples.size() / 2;
    auto rss = [](const Sample& s) { return s.rssKiB; };
    auto heap = [](const Sample& s) { return s.heapKiB; };
    const long taken = samples.empty() ? 0 : samples.back().events;
    const double eventsPerHour = double(taken) / elapsed * 3600.0;
    const double heapSlope = slopePerHour(samples, 0, heap);
    std::printf("\nchanges made: %ld (%d refused); events taken in: %ld (%.1f per second); event model rows: %ld\n",
                changes, failures, taken, double(taken) / elapsed, rows);
    std::printf("polling threads: %.3f ms CPU per controller per second; GUI thread: %.3f ms per controller per second\n",
                cpu * 1000.0 / elapsed / n, guiCpu * 1000.0 / elapsed / n);
    if (!samples.empty())
        std::printf("resident memory: %.1f MiB before the controllers, %.1f at the start, %.1f at the end\n",
                    mib(rssBefore), mib(samples.front().rssKiB), mib(samples.back().rssKiB));
    std::printf("event model: %.2f KiB per event (%.1f MiB for %ld rows)\n", kibPerEvent,
                mib(heapWithRows - heapWithoutRows), rows);
    std::printf("slope, KiB per hour:   %12s %12s\n", "whole run", "second half");
    std::printf("  resident memory      %12.0f %12.0f\n", slopePerHour(samples, 0, rss), slopePerHour(samples, half, rss));
    std::printf("  heap in use          %12.0f %12.0f\n", heapSlope, slopePerHour(samples, half, heap));
    std::printf("  heap less event rows %12.0f %12.0f\n", heapSlope - eventsPerHour * kibPerEvent,
                slopePerHour(samples, half, heap) - eventsPerHour * kibPerEvent);
    return failures == 0 ? 0 : 1;
}

} // namespace bench
