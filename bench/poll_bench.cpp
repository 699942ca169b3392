// Polling benchmark: N simulated controllers (both families, 32 disks, 8 raid sets and 16 volume
// sets each) over UDP on loopback, listed by the host, started with their item models and polled
// by their own threads. Reports for each N the polling threads' CPU time per controller per
// second, the GUI thread's (the models' share of a pass), the frames per second each controller
// receives, the process's resident memory, and the time from a change in the simulator to its
// announcement on the GUI thread.
//
//   zynpollbench [SECONDS] [N ...]      (default: 30 seconds, N = 1 8 32)
//   zynpollbench --soak [SECONDS] [N]   (default: 600 seconds, N = 32; see soak.cpp)
// Memory is counted from the moment the simulated controllers exist, so it is the program's.
#include "benchsupport.h"
#include "devices/controller.h"
#include "watcher/eventwatcher.h"
#include "devices/host.h"
#include "simulator.h"
#include "soak.h"
#include "devices/volumeset.h"
#include "ui/model/controllermodels.h"
#include "zyninterface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::modelConfig;
using bench::residentKiB;
using bench::threadCpuSeconds;
using bench::wait;

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1) + 0.5)];
}

struct Result {
    int n;
    double cpuMsPerControllerSecond;
    double guiMsPerControllerSecond;
    double framesPerControllerSecond;
    long rssKiB;
    double rssPerControllerMiB;
    double latencyMedianMs, latencyP99Ms;
    int samples;
};

Result run(int n, int seconds)
{
    QZynHost* host = ZynGetHost();
    zynsim::Simulator sim;
    std::vector<std::shared_ptr<zynsim::FakeController>> simulated;
    std::vector<QZynController*> controllers;
    for (int i = 0; i < n; ++i) {
        const bool enclosure = i % 2 == 0;
        zynsim::ControllerConfig config;
        config.profile = enclosure ? zynsim::Profile::Enclosure : zynsim::Profile::Older;
        config.raidSetNumbers = 16;
        config.volumeNumbers = 32;   // the older family's layout leaves it to the controller
        const std::string address = "127.0.1." + std::to_string(10 + i);
        auto ctl = sim.addUdpController(address, config);
        std::string error;
        if (!ctl || !ctl->loadConfig(modelConfig(enclosure), &error)) {
            std::fprintf(stderr, "simulator: %s %s\n", sim.error().c_str(), error.c_str());
            std::exit(1);
        }
        simulated.push_back(ctl);
    }
    // What the application itself takes: measured from here, the simulated controllers made.
    const long rssBefore = residentKiB();
    for (int i = 0; i < n; ++i) {
        const std::string address = "127.0.1." + std::to_string(10 + i);
        const QList<QZynController*> added = host->scan_controller_by_ip(QString::fromStdString(address));
        if (added.size() != 1) {
            std::fprintf(stderr, "controller at %s not added\n", address.c_str());
            std::exit(1);
        }
        controllers.push_back(added.front());
    }

    // The announcement awaited on this (the GUI) thread and the time it came; the loop that
    // waits for it ends when it comes, so waiting costs this thread nothing.
    QElapsedTimer clock;
    clock.start();
    struct Awaited {
        QZynController* controller = nullptr;
        int volume = -1;
        int code = -1;
        qint64 at = -1;
        QEventLoop* loop = nullptr;
    } awaited;
    for (QZynController* c : controllers) {
        QObject::connect(c, &QZynController::DeviceChanged, c, [&awaited, &clock, c](QZynDevice* device, int code) {
            if (awaited.at >= 0 || c != awaited.controller || code != awaited.code
                || device->type != QZynDevice::VolumeSet
                || static_cast<QZynVolumeSet*>(device)->GetIndex() != awaited.volume)
                return;
            awaited.at = clock.elapsed();
            if (awaited.loop != nullptr)
                awaited.loop->quit();
        });
        c->Start();
    }
    for (QZynController* c : controllers)
        while (c->GetState() != QZynController::StateOnline)
            wait(20);
    wait(1500);   // the first passes after the build

    const long rss = residentKiB();
    std::vector<double> cpuBefore;
    for (QZynController* c : controllers)
        cpuBefore.push_back(threadCpuSeconds(c->GetEventWatcher()));
    const double guiCpuBefore = bench::ownCpuSeconds();
    int framesBefore = 0;
    for (auto& ctl : simulated)
        for (int cmd = 0; cmd < 256; ++cmd)
            framesBefore += ctl->framesReceived(uint8_t(cmd));

    // A change every 1.5 s on the next controller: a volume set created, then deleted.
    std::vector<double> latencies;
    QElapsedTimer window;
    window.start();
    int round = 0;
    while (window.elapsed() < seconds * 1000) {
        const size_t k = size_t(round) % controllers.size();
        const bool create = (round / int(controllers.size())) % 2 == 0;
        const qint64 madeAt = clock.elapsed();
        int volume = -1;
        if (create) {
            volume = simulated[k]->createVolumeSet(0, "Bench", 2000000, 0, 128);
        } else {
            volume = -1;
            for (int v = 127; v >= 0; --v)
                if (simulated[k]->volumeSet(v).exists() && simulated[k]->volumeSet(v).name() == "Bench") {
                    volume = v;
                    break;
                }
            simulated[k]->deleteVolumeSet(volume);
        }
        const int code = create ? 0 : 1;
        if (volume >= 0) {
            QEventLoop loop;
            awaited = {controllers[k], volume, code, -1, &loop};
            QTimer::singleShot(3000, &loop, &QEventLoop::quit);
            loop.exec();
            if (awaited.at >= 0)
                latencies.push_back(double(awaited.at - madeAt));
            awaited = {};
        }
        ++round;
        const qint64 next = madeAt + 1500;
        if (clock.elapsed() < next)
            wait(int(next - clock.elapsed()));
    }
    const double elapsed = double(window.elapsed()) / 1000.0;
    const double guiCpu = bench::ownCpuSeconds() - guiCpuBefore;

    double cpu = 0;
    for (size_t i = 0; i < controllers.size(); ++i)
        cpu += threadCpuSeconds(controllers[i]->GetEventWatcher()) - cpuBefore[i];
    int frames = -framesBefore;
    for (auto& ctl : simulated)
        for (int cmd = 0; cmd < 256; ++cmd)
            frames += ctl->framesReceived(uint8_t(cmd));

    for (QZynController* c : controllers) {
        host->remove_controller(c);
        delete c;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    Result r;
    r.n = n;
    r.cpuMsPerControllerSecond = cpu * 1000.0 / elapsed / n;
    r.guiMsPerControllerSecond = guiCpu * 1000.0 / elapsed / n;
    r.framesPerControllerSecond = double(frames) / elapsed / n;
    r.rssKiB = rss;
    r.rssPerControllerMiB = double(rss - rssBefore) / 1024.0 / n;
    r.latencyMedianMs = percentile(latencies, 0.5);
    r.latencyP99Ms = percentile(latencies, 0.99);
    r.samples = int(latencies.size());
    return r;
}

void quiet(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv)
{
    const bool soak = argc > 1 && std::strcmp(argv[1], "--soak") == 0;
    const int first = soak ? 2 : 1;
    int seconds = soak ? bench::kSoakSeconds : 30;
    std::vector<int> counts;
    for (int i = first; i < argc; ++i) {
        const int value = std::atoi(argv[i]);
        if (value <= 0 || (i > first && value > bench::kMaxControllers) || (soak && i > first + 1)) {
            std::fprintf(stderr, "usage: zynpollbench [SECONDS] [N ...]\n       zynpollbench --soak [SECONDS] [N]\n");
            return 2;
        }
        if (i == first)
            seconds = value;
        else
            counts.push_back(value);
    }
    if (counts.empty())
        counts = soak ? std::vector<int>{bench::kSoakControllers} : std::vector<int>{1, 8, 32};
    // Before the application object: the simulator process is forked while no thread runs.
    if (soak && !bench::startSoakSimulator(counts.front()))
        return 1;

    // A GUI application as the program is (the models carry icons), on the offscreen platform
    // unless another is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    // The controllers get their polling workers and item models as in the program.
    ControllerEventWatcherThread::Install();
    InstallControllerModels();
    if (soak)
        return bench::runSoak(seconds, counts.front());

    std::printf("%4s %12s %12s %12s %10s %12s %10s %10s %8s\n", "N", "cpu ms/ctl/s", "gui ms/ctl/s", "frames/ctl/s",
                "RSS MiB", "MiB per ctl", "lat p50", "lat p99", "samples");
    for (int n : counts) {
        const Result r = run(n, seconds);
        std::printf("%4d %12.3f %12.3f %12.1f %10.1f %12.2f %8.0fms %8.0fms %8d\n", r.n, r.cpuMsPerControllerSecond,
                    r.guiMsPerControllerSecond, r.framesPerControllerSecond, double(r.rssKiB) / 1024.0,
                    r.rssPerControllerMiB, r.latencyMedianMs, r.latencyP99Ms, r.samples);
        std::fflush(stdout);
    }
    return 0;
}
