// Main window benchmark: the program's own window against simulated controllers published as
// driver services by a simulator in a process of its own (this program started again with
// --serve; both families, 32 disks, 8 raid sets and 16 volume sets each).
//
//  1. Start-up: for 1, 8 and 32 controllers, the time from constructing the window to its tree
//     listing every controller under LocalHost with each controller online (and, besides, to
//     every raid set and volume set row being there); several runs, median and worst.
//  2. GUI stall: with 32 controllers polling, a 5 ms timer on the GUI thread measures its worst
//     lateness and the 99th percentile, while a simulated user clicks a row of the tree every
//     100 ms (controllers, raid sets, volume sets in turn; a collapsed parent is opened by a
//     click on its branch mark first).
//
//   zynwindowbench [--seconds S] [--runs R] [--counts N,N,...] [--skip-startup] [--skip-stall]
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM names another. The program's debug
// lines are dropped (warnings are printed).
#include "benchsupport.h"
#include "devices/controller.h"
#include "devices/host.h"
#include "simulator.h"
#include "ui/dialog/mainwindow.h"
#include "ui/model/controlleritemmodel.h"
#include "ui/model/controllermodels.h"
#include "ui/model/itemmodel.h"
#include "ui_mainwindow.h"
#include "watcher/eventwatcher.h"
#include "zynapplication.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardItem>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest/QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDefaultSeconds = 60;
constexpr int kDefaultRuns = 5;
constexpr int kStallControllers = 32;
constexpr int kMeterMs = 5;              // the stall meter's interval
constexpr int kClickMs = 100;            // the simulated user's pace
constexpr double kStartTargetMs = 1500;  // 32 controllers in the tree within
constexpr double kStallTargetMs = 50;
constexpr int kCheckMs = 1;              // how often the start-up run looks at the tree
constexpr int kShowTimeoutMs = 30000;    // a run that shows nothing by then has failed
constexpr int kSettleMs = 1500;          // the first polling passes after the tree is full
constexpr int kSimulatorStartMs = 20000;
constexpr int kSimulatorStopMs = 10000;
constexpr int kSlowestEvents = 5;        // the GUI thread's slowest events listed after the stall run
// The discovery socket's loopback address (nothing answers there: no network controllers).
const char* const kDiscoveryAddress = "127.0.0.180";
const char* const kServeOption = "--serve";

// ---- The simulator process ----------------------------------------------------------------

// Child side: publishes `n` controllers in `folder`, says "ready" and serves until its input ends.
int serveSimulator(int n, const char* folder)
{
    zynsim::Simulator simulator;
    std::vector<std::shared_ptr<zynsim::FakeController>> controllers;
    for (int slot = 0; slot < n; ++slot) {
        const bool enclosure = slot % 2 == 0;
        zynsim::ControllerConfig config;
        config.profile = enclosure ? zynsim::Profile::Enclosure : zynsim::Profile::Older;
        config.raidSetNumbers = 16;
        config.volumeNumbers = 32;   // the older family's layout leaves it to the controller
        auto controller = simulator.addDriverController(folder, slot, config);
        std::string error;
        if (!controller || !controller->loadConfig(bench::modelConfig(enclosure), &error)) {
            std::printf("error: %s %s\n", simulator.error().c_str(), error.c_str());
            return 1;
        }
        controllers.push_back(controller);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    char buffer[256];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    simulator.stop();
    return 0;
}

// Parent side: the simulator as a child process, ended when its input is closed.
class SimulatorProcess {
public:
    ~SimulatorProcess() { stop(); }

    bool start(int n, const QString& folder)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(),
                        {QString::fromLatin1(kServeOption), QString::number(n), folder});
        QElapsedTimer clock;
        clock.start();
        while (!m_process.canReadLine() && clock.elapsed() < kSimulatorStartMs
               && m_process.state() != QProcess::NotRunning)
            m_process.waitForReadyRead(kSimulatorStartMs);
        const QByteArray line = m_process.readLine();
        if (line != "ready\n") {
            std::fprintf(stderr, "simulator not started: %s\n", line.constData());
            return false;
        }
        return true;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(kSimulatorStopMs)) {
            m_process.kill();
            m_process.waitForFinished(kSimulatorStopMs);
        }
    }

private:
    QProcess m_process;
};

// ---- The GUI thread's events, timed --------------------------------------------------------

// The application with every event the GUI thread dispatches timed (outermost dispatches only),
// so that a stall can be put down to what caused it.
class BenchApplication : public ZynApplication {
public:
    BenchApplication(int& argc, char** argv) : ZynApplication(argc, argv) { m_clock.start(); }

    struct Slow {
        double ms;
        QString what;
    };

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!m_timing || QThread::currentThread() != thread() || m_depth > 0)
            return ZynApplication::notify(receiver, event);
        ++m_depth;
        const qint64 began = m_clock.nsecsElapsed();
        const int type = int(event->type());
        const char* cls = receiver->metaObject()->className();
        const QString name = receiver->objectName();
        const bool done = ZynApplication::notify(receiver, event);
        const double ms = double(m_clock.nsecsElapsed() - began) / 1e6;
        --m_depth;
        m_busyMs += ms;
        if (m_slowest.size() < size_t(kSlowestEvents) || ms > m_slowest.back().ms) {
            m_slowest.push_back({ms, QStringLiteral("%1 \"%2\" event %3").arg(QLatin1String(cls), name).arg(type)});
            std::sort(m_slowest.begin(), m_slowest.end(), [](const Slow& a, const Slow& b) { return a.ms > b.ms; });
            if (m_slowest.size() > size_t(kSlowestEvents))
                m_slowest.pop_back();
        }
        return done;
    }

    void setTiming(bool on)
    {
        m_timing = on;
        if (on)
            m_slowest.clear();
    }
    const std::vector<Slow>& slowest() const { return m_slowest; }
    // Time spent in events since the application started timing.
    double busyMs() const { return m_busyMs; }

private:
    QElapsedTimer m_clock;
    bool m_timing = false;
    int m_depth = 0;
    double m_busyMs = 0;
    std::vector<Slow> m_slowest;
};

// The calling thread's CPU time and context switches: waiting (voluntary) and preempted.
struct ThreadUsage {
    double cpuMs = 0;
    long waits = 0;
    long preemptions = 0;
};

ThreadUsage threadUsage()
{
    ThreadUsage u;
    u.cpuMs = bench::ownCpuSeconds() * 1000.0;
    rusage usage{};
    if (getrusage(RUSAGE_THREAD, &usage) == 0) {
        u.waits = usage.ru_nvcsw;
        u.preemptions = usage.ru_nivcsw;
    }
    return u;
}

// ---- The window and its tree ---------------------------------------------------------------

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1) + 0.5)];
}

QControllerItemModel* treeModel(MainWindow* window)
{
    return qobject_cast<QControllerItemModel*>(window->Form()->controllerView->model());
}

struct TreeState {
    bool rows = false;     // every controller has its row under LocalHost
    bool online = false;   // ... and each of them is online
    bool full = false;     // ... and every raid set and volume set row is there
};

TreeState treeState(QControllerItemModel* model, int n)
{
    TreeState s;
    QStandardItem* local = model->GetLocalHostItem();
    if (local->rowCount() != n)
        return s;
    s.rows = true;
    s.online = true;
    s.full = true;
    for (int r = 0; r < n; ++r) {
        QStandardItem* row = local->child(r, 0);
        QZynDevice* device = row->data(zynmodel::DeviceItemRole).value<QZynDevice*>();
        if (device == nullptr || device->type != QZynDevice::Controller
            || static_cast<QZynController*>(device)->GetState() != QZynController::StateOnline)
            s.online = false;
        if (row->rowCount() != bench::kRaidSets) {
            s.full = false;
            continue;
        }
        for (int k = 0; k < row->rowCount(); ++k)
            if (row->child(k, 0)->rowCount() != bench::kVolumesPerRaidSet)
                s.full = false;
    }
    s.full = s.full && s.online;
    return s;
}

// Each run's own driver folder and lock folder under the benchmark's temporary folder.
class RunFolders {
public:
    explicit RunFolders(const QString& root)
    {
        static int run = 0;
        m_base = root + QStringLiteral("/run%1").arg(++run);
        QDir().mkpath(driver());
        QDir().mkpath(m_base + QStringLiteral("/lock"));
        qputenv("ZYNMSR_DRIVER_DIR", driver().toLocal8Bit());
        qputenv("ZYNMSR_LOCK_DIR", (m_base + QStringLiteral("/lock")).toLocal8Bit());
    }
    QString driver() const { return m_base + QStringLiteral("/driver"); }

private:
    QString m_base;
};

// Everything the run put in the host goes, so that the next window starts from nothing.
void emptyHost()
{
    QZynHost* host = ZynGetHost();
    for (int i = 0; i < host->get_total_controllers(); ++i)
        delete host->take_at(i);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct StartTimes {
    double constructed = -1;   // the constructor and show() returned
    double rows = -1;
    double online = -1;        // "shown": rows and every controller online
    double full = -1;
    double guiCpu = -1;        // the GUI thread's CPU time until full
};

// Builds the window and waits for the tree; the window is handed back still running.
StartTimes showWindow(int n, std::unique_ptr<MainWindow>* out)
{
    StartTimes t;
    const double cpuBefore = bench::ownCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    auto window = std::make_unique<MainWindow>();
    window->show();
    t.constructed = double(clock.nsecsElapsed()) / 1e6;
    QControllerItemModel* model = treeModel(window.get());
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    check.setInterval(kCheckMs);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        const TreeState s = treeState(model, n);
        const double now = double(clock.nsecsElapsed()) / 1e6;
        if (s.rows && t.rows < 0)
            t.rows = now;
        if (s.online && t.online < 0)
            t.online = now;
        if (s.full && t.full < 0)
            t.full = now;
        if (t.full >= 0 || now > kShowTimeoutMs)
            loop.quit();
    });
    check.start();
    loop.exec();
    t.guiCpu = (bench::ownCpuSeconds() - cpuBefore) * 1000.0;
    *out = std::move(window);
    return t;
}

void closeWindow(std::unique_ptr<MainWindow>& window)
{
    window.reset();   // the window's own shut-down: controllers stopped, threads ended
    emptyHost();
}

// ---- 1. Start-up ----------------------------------------------------------------------------

struct StartResult {
    int n = 0;
    std::vector<double> constructed, rows, online, full, guiCpu;
    int failed = 0;
};

StartResult startUp(int n, int runs, const QString& root)
{
    StartResult r;
    r.n = n;
    for (int i = 0; i < runs; ++i) {
        RunFolders folders(root);
        SimulatorProcess simulator;
        if (!simulator.start(n, folders.driver())) {
            ++r.failed;
            continue;
        }
        std::unique_ptr<MainWindow> window;
        const StartTimes t = showWindow(n, &window);
        closeWindow(window);
        simulator.stop();
        if (t.online < 0 || t.full < 0) {
            ++r.failed;
            continue;
        }
        r.constructed.push_back(t.constructed);
        r.rows.push_back(t.rows);
        r.online.push_back(t.online);
        r.full.push_back(t.full);
        r.guiCpu.push_back(t.guiCpu);
    }
    return r;
}

// ---- 2. GUI stall ----------------------------------------------------------------------------

struct StallResult {
    double seconds = 0;
    int ticks = 0;
    double worstMs = 0, p99Ms = 0, p50Ms = 0;
    int over50 = 0;
    int clicks = 0, clickMisses = 0, expansions = 0;
    double worstClickMs = 0;
    std::map<int, int> clicksByKind;   // QZynDevice::Kind -> clicks
    double pollCpuMsPerSecond = 0;     // every polling thread together
    double guiCpuMsPerSecond = 0;
    long announcements = 0;
    std::vector<BenchApplication::Slow> slowest;
    // The worst gap between two ticks: the GUI thread's time in events, its CPU time, and how
    // often it waited (blocked) or was preempted within it.
    double worstBusyMs = 0, worstCpuMs = 0;
    long worstWaits = 0, worstPreemptions = 0;
    bool ok = false;
};

// The simulated user: each step clicks the next row in turn (controller, one of its raid sets,
// one of that raid set's volume sets), after opening a collapsed parent with a click on its
// branch mark; the row must become the current one.
class User {
public:
    User(TreeViewController* view, QControllerItemModel* model, StallResult* result)
        : m_view(view), m_model(model), m_result(result)
    {
    }

    void step()
    {
        QStandardItem* local = m_model->GetLocalHostItem();
        const int controllers = local->rowCount();
        if (controllers == 0)
            return;
        const int kind = m_step % 3;
        const int round = m_step / (3 * controllers);
        QStandardItem* target = local->child((m_step / 3) % controllers, 0);
        if (kind >= 1 && target->rowCount() > 0) {
            target = target->child(round % target->rowCount(), 0);
            if (kind == 2 && target->rowCount() > 0)
                target = target->child(round % target->rowCount(), 0);
        }
        ++m_step;
        std::vector<QModelIndex> parents;
        for (QModelIndex p = target->index().parent(); p.isValid(); p = p.parent())
            parents.insert(parents.begin(), p);
        for (const QModelIndex& p : parents)
            if (!m_view->isExpanded(p))
                openByBranchMark(p);
        const QModelIndex index = target->index();
        m_view->scrollTo(index);
        const QRect rect = m_view->visualRect(index);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        ++m_result->clicks;
        if (m_view->currentIndex() != index)
            ++m_result->clickMisses;
        const QZynDevice* device = index.data(zynmodel::DeviceItemRole).value<QZynDevice*>();
        if (device != nullptr)
            ++m_result->clicksByKind[device->type];
    }

private:
    void openByBranchMark(const QModelIndex& index)
    {
        m_view->scrollTo(index);
        const QRect rect = m_view->visualRect(index);
        const QPoint mark(rect.left() - m_view->indentation() / 2, rect.center().y());
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, mark);
        if (!m_view->isExpanded(index))
            m_view->expand(index);   // the style put the mark elsewhere
        ++m_result->expansions;
    }

    TreeViewController* m_view;
    QControllerItemModel* m_model;
    StallResult* m_result;
    int m_step = 0;
};

StallResult stall(int seconds, const QString& root, BenchApplication* app)
{
    StallResult r;
    RunFolders folders(root);
    SimulatorProcess simulator;
    if (!simulator.start(kStallControllers, folders.driver()))
        return r;
    std::unique_ptr<MainWindow> window;
    const StartTimes t = showWindow(kStallControllers, &window);
    if (t.full < 0) {
        closeWindow(window);
        return r;
    }
    bench::wait(kSettleMs);

    QZynHost* host = ZynGetHost();
    std::vector<QZynController*> controllers;
    for (int i = 0; i < host->get_total_controllers(); ++i)
        if (QZynController* c = host->get_controller(i))
            controllers.push_back(c);
    for (QZynController* c : controllers)
        QObject::connect(c, &QZynController::DeviceChanged, window.get(), [&r] { ++r.announcements; });
    double pollCpu = 0;
    for (QZynController* c : controllers)
        pollCpu -= bench::threadCpuSeconds(c->GetEventWatcher());
    const double guiCpuBefore = bench::ownCpuSeconds();

    TreeViewController* view = window->Form()->controllerView;
    User user(view, treeModel(window.get()), &r);
    std::vector<double> lateness;
    lateness.reserve(size_t(seconds) * 1000 / kMeterMs + 16);
    QElapsedTimer clock;
    QTimer meter;
    meter.setTimerType(Qt::PreciseTimer);
    meter.setInterval(kMeterMs);
    qint64 last = -1;
    ThreadUsage lastUsage;
    double lastBusy = 0;
    double worstSoFar = -1;
    QObject::connect(&meter, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const ThreadUsage usage = threadUsage();
        const double busy = app->busyMs();
        if (last >= 0) {
            const double late = std::max(0.0, double(now - last) / 1e6 - kMeterMs);
            if (late > worstSoFar) {
                worstSoFar = late;
                r.worstBusyMs = busy - lastBusy;
                r.worstCpuMs = usage.cpuMs - lastUsage.cpuMs;
                r.worstWaits = usage.waits - lastUsage.waits;
                r.worstPreemptions = usage.preemptions - lastUsage.preemptions;
            }
            lateness.push_back(late);
        }
        last = now;
        lastUsage = usage;
        lastBusy = busy;
    });
    QTimer clicker;
    clicker.setTimerType(Qt::PreciseTimer);
    clicker.setInterval(kClickMs);
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        QElapsedTimer took;
        took.start();
        user.step();
        r.worstClickMs = std::max(r.worstClickMs, double(took.nsecsElapsed()) / 1e6);
    });

    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    app->setTiming(true);
    clock.start();
    meter.start();
    clicker.start();
    loop.exec();
    r.seconds = double(clock.nsecsElapsed()) / 1e9;
    meter.stop();
    clicker.stop();
    app->setTiming(false);
    r.slowest = app->slowest();

    r.guiCpuMsPerSecond = (bench::ownCpuSeconds() - guiCpuBefore) * 1000.0 / r.seconds;
    for (QZynController* c : controllers)
        pollCpu += bench::threadCpuSeconds(c->GetEventWatcher());
    r.pollCpuMsPerSecond = pollCpu * 1000.0 / r.seconds;
    r.ticks = int(lateness.size());
    r.worstMs = lateness.empty() ? 0 : *std::max_element(lateness.begin(), lateness.end());
    r.p99Ms = percentile(lateness, 0.99);
    r.p50Ms = percentile(lateness, 0.5);
    r.over50 = int(std::count_if(lateness.begin(), lateness.end(), [](double v) { return v > kStallTargetMs; }));
    r.ok = true;
    closeWindow(window);
    simulator.stop();
    return r;
}

// ---- Report ----------------------------------------------------------------------------------

void quiet(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

double worst(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

int usage()
{
    std::fprintf(stderr, "usage: zynwindowbench [--seconds S] [--runs R] [--counts N,N,...] [--skip-startup] "
                         "[--skip-stall]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], kServeOption) == 0) {
        const int n = std::atoi(argv[2]);
        if (n <= 0 || n > bench::kMaxControllers)
            return usage();
        return serveSimulator(n, argv[3]);
    }
    int seconds = kDefaultSeconds;
    int runs = kDefaultRuns;
    std::vector<int> counts{1, 8, kStallControllers};
    bool startup = true, stallRun = true;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--seconds" && hasValue) {
            seconds = std::atoi(argv[++i]);
            if (seconds <= 0)
                return usage();
        } else if (option == "--runs" && hasValue) {
            runs = std::atoi(argv[++i]);
            if (runs <= 0)
                return usage();
        } else if (option == "--counts" && hasValue) {
            counts.clear();
            for (const QString& part : QString::fromLatin1(argv[++i]).split(QLatin1Char(','))) {
                const int n = part.toInt();
                if (n <= 0 || n > bench::kMaxControllers)
                    return usage();
                counts.push_back(n);
            }
        } else if (option == "--skip-startup") {
            startup = false;
        } else if (option == "--skip-stall") {
            stallRun = false;
        } else {
            return usage();
        }
    }

    QTemporaryDir root;
    QTemporaryDir config;
    if (!root.isValid() || !config.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("PALVIR_DISCOVERY_TARGET", kDiscoveryAddress);
    qputenv("PALVIR_DISCOVERY_BIND", kDiscoveryAddress);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    ZynApplication::SetApplicationFolder(root.path());
    qInstallMessageHandler(quiet);
    ControllerEventWatcherThread::Install();
    InstallControllerModels();

    int missed = 0;
    if (startup) {
        std::printf("Start-up: constructing MainWindow until its tree lists every controller (rows), each online (shown) "
                    "(%d runs each; ms)\n", runs);
        std::printf("%4s %10s %10s %10s %10s %10s %10s %10s %10s %8s\n", "N", "ctor p50", "rows p50", "rows max",
                    "shown p50", "shown max", "full p50", "full max", "gui cpu", "failed");
        for (int n : counts) {
            const StartResult r = startUp(n, runs, root.path());
            std::printf("%4d %10.0f %10.0f %10.0f %10.0f %10.0f %10.0f %10.0f %10.0f %8d\n", n,
                        percentile(r.constructed, 0.5), percentile(r.rows, 0.5), worst(r.rows), percentile(r.online, 0.5),
                        worst(r.online), percentile(r.full, 0.5), worst(r.full), percentile(r.guiCpu, 0.5), r.failed);
            std::fflush(stdout);
            if (n == kStallControllers && (r.failed > 0 || worst(r.rows) > kStartTargetMs))
                ++missed;
        }
        std::printf("target: %d controllers in the tree within %.0f ms\n\n", kStallControllers, kStartTargetMs);
    }
    if (stallRun) {
        std::printf("GUI stall: %d controllers polling for %d s, a %d ms timer, a click every %d ms\n",
                    kStallControllers, seconds, kMeterMs, kClickMs);
        const StallResult r = stall(seconds, root.path(), &app);
        if (!r.ok) {
            std::printf("the window did not show its %d controllers\n", kStallControllers);
            return 1;
        }
        std::printf("%8s %8s %8s %8s %8s %7s %7s %9s %9s %9s %9s\n", "ticks", "p50 ms", "p99 ms", "worst ms", ">50 ms",
                    "clicks", "missed", "click max", "poll ms/s", "gui ms/s", "announce");
        std::printf("%8d %8.2f %8.2f %8.2f %8d %7d %7d %9.2f %9.1f %9.1f %9ld\n", r.ticks, r.p50Ms, r.p99Ms, r.worstMs,
                    r.over50, r.clicks, r.clickMisses, r.worstClickMs, r.pollCpuMsPerSecond, r.guiCpuMsPerSecond,
                    r.announcements);
        std::printf("clicks by row: controller %d, raid set %d, volume set %d; branch marks opened %d\n",
                    r.clicksByKind.count(QZynDevice::Controller) ? r.clicksByKind.at(QZynDevice::Controller) : 0,
                    r.clicksByKind.count(QZynDevice::RaidSet) ? r.clicksByKind.at(QZynDevice::RaidSet) : 0,
                    r.clicksByKind.count(QZynDevice::VolumeSet) ? r.clicksByKind.at(QZynDevice::VolumeSet) : 0,
                    r.expansions);
        std::printf("worst gap: %.1f ms in events, %.1f ms GUI-thread CPU, %ld waits, %ld preemptions\n",
                    r.worstBusyMs, r.worstCpuMs, r.worstWaits, r.worstPreemptions);
        std::printf("slowest GUI-thread events:\n");
        for (const BenchApplication::Slow& s : r.slowest)
            std::printf("  %8.2f ms  %s\n", s.ms, qPrintable(s.what));
        std::printf("target: no stall over %.0f ms\n", kStallTargetMs);
        if (r.worstMs > kStallTargetMs || r.clickMisses > 0)
            ++missed;
    }
    return missed == 0 ? 0 : 3;
}
