// Measures the two long commands that change a controller, as the console runs them through the
// command-line engine, against the simulator in this process: a firmware update of a 2 MiB
// image (sys updatefw) and a settings restore (sys restorebin of a file sys savebin wrote
// before the timing), over UDP and over the driver's user client. Each measurement is the
// wall-clock time of the whole command; a run whose output does not end in the success line
// (or whose image the controller did not take) is reported and left out of the figures.
//
//   zynchangebench [--runs N] [--only udp|driver] [--kind firmware|restore]
//
// One line per measurement ("measure TRANSPORT KIND RUN MS ms ok|FAILED frames F sysinfo S": the
// frames the controller received during the command, and how many of them were system-
// information reads), then per transport and kind the median, minimum and maximum ("summary
// TRANSPORT KIND runs R median M ms min A ms max B ms").
// The exit code is 1 when any run failed.
#include "cli/cli-zynmsr.h"
#include "cli/output.h"
#include "darwinuserclient.h"
#include "devices/controller.h"
#include "ethernetinterface.h"
#include "scratchfolder.h"
#include "simulator.h"
#include "zynlib.h"

#include <QCoreApplication>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A loopback address of this benchmark's own; the port is a free one.
constexpr const char* kUdpAddress = "127.0.3.240";
constexpr std::size_t kFirmwareBytes = 2u * 1024u * 1024u;
constexpr const char* kSuccessLine = "GuiErrMsg<0x00>: Success.";

enum class Transport { Udp, Driver };
enum class Kind { Firmware, Restore };

const char* name(Transport t)
{
    return t == Transport::Udp ? "udp" : "driver";
}

const char* name(Kind k)
{
    return k == Kind::Firmware ? "firmware" : "restore";
}

struct Options {
    int runs = 5;
    std::vector<Transport> transports{Transport::Udp, Transport::Driver};
    std::vector<Kind> kinds{Kind::Firmware, Kind::Restore};
};

int usage()
{
    std::fputs("usage: zynchangebench [--runs N] [--only udp|driver] [--kind firmware|restore]\n", stderr);
    return 2;
}

// Narrows `chosen` to the one of `all` named `value`; false when none is.
template <typename T>
bool pickOne(const QString& value, std::initializer_list<T> all, std::vector<T>* chosen)
{
    for (T one : all) {
        if (value == QLatin1String(name(one))) {
            *chosen = {one};
            return true;
        }
    }
    return false;
}

// 0 with `options` filled, else the exit code of a usage error.
int parse(const QStringList& args, Options* options)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (i + 1 >= args.size())
            return usage();
        const QString value = args[++i];
        if (a == QLatin1String("--runs")) {
            bool ok = false;
            options->runs = value.toInt(&ok);
            if (!ok || options->runs < 1)
                return usage();
        } else if (a == QLatin1String("--only")) {
            if (!pickOne(value, {Transport::Udp, Transport::Driver}, &options->transports))
                return usage();
        } else if (a == QLatin1String("--kind")) {
            if (!pickOne(value, {Kind::Firmware, Kind::Restore}, &options->kinds))
                return usage();
        } else {
            return usage();
        }
    }
    return 0;
}

// One controller of the simulator with the session and the command-line engine that drive it.
struct Target {
    Transport transport = Transport::Udp;
    std::shared_ptr<zynsim::FakeController> simulated;
    std::unique_ptr<QZynController> controller;
    std::unique_ptr<CZynlibCLI> engine;
    std::string settingsFile;
};

// What the engine printed for the lines it ran since the last take.
QString g_output;

QString takeOutput()
{
    QString text;
    text.swap(g_output);
    return text;
}

// The last line that holds more than blanks.
QString lastLine(const QString& text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = int(lines.size()) - 1; i >= 0; --i) {
        const QString line = lines[i].trimmed();
        if (!line.isEmpty())
            return line;
    }
    return QString();
}

// Runs one command line through the engine: true when its output ends in the success line.
bool runLine(CZynlibCLI& engine, const std::string& line, QString* output)
{
    takeOutput();
    engine.ProcessCmd(QString::fromStdString(line).split(QLatin1Char(' '), Qt::SkipEmptyParts));
    *output = takeOutput();
    return lastLine(*output) == QLatin1String(kSuccessLine);
}

bool open(Target* target, zynsim::Simulator& simulator, const std::string& folder, const std::string& password)
{
    ZynInterface* transport = nullptr;
    int connection = QZynController::ConnectionEthernet;
    if (target->transport == Transport::Udp) {
        auto* udp = new EthernetInterface();
        if (!udp->init(kUdpAddress, short(simulator.udpPort(target->simulated)))) {
            delete udp;
            return false;
        }
        transport = udp;
    } else {
        auto* driver = new DarwinUserClientInterface();
        if (!driver->init(0)) {
            delete driver;
            return false;
        }
        transport = driver;
        connection = QZynController::ConnectionDriver;
    }
    target->controller = std::make_unique<QZynController>(transport, connection);
    if (target->controller->GetState() == QZynController::StateOffline)
        return false;

    target->engine = std::make_unique<CZynlibCLI>();
    CZynlibCLI::PasswordDialogs dialogs;
    dialogs.ask = [password](const QString&, QString* out) {
        *out = QString::fromStdString(password);
        return true;
    };
    dialogs.refuse = [](const QString& title, const QString& text) {
        std::fprintf(stderr, "refused by %s: %s\n", qPrintable(title), qPrintable(text));
    };
    target->engine->SetPasswordDialogs(dialogs);
    target->engine->SetCtrl(target->controller.get());
    target->settingsFile = folder + "/settings-" + name(target->transport) + ".bin";
    return true;
}

bool writeFirmwareImage(const std::string& path)
{
    std::vector<char> image(kFirmwareBytes);
    std::mt19937 random(20210318u);
    for (char& c : image)
        c = char(random() & 0xFF);
    std::ofstream file(path, std::ios::binary);
    file.write(image.data(), std::streamsize(image.size()));
    return bool(file);
}

struct Summary {
    double median = 0, min = 0, max = 0;
};

Summary summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    const double median = n % 2 == 1 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    return {median, ms.front(), ms.back()};
}

// Frames the simulated controller has received, all commands and the system-information read.
struct FrameCount {
    int all = 0;
    int sysInfo = 0;
};

FrameCount framesReceived(const zynsim::FakeController& controller)
{
    FrameCount count;
    for (int command = 0; command < 256; ++command)
        count.all += controller.framesReceived(uint8_t(command));
    count.sysInfo = controller.framesReceived(ZYN_CMD_GET_SYSINFO);
    return count;
}

// One timed command; false when it failed (its output then goes to standard error). `frames`
// gets the frames the controller received during it.
bool measure(Target& target, Kind kind, const std::string& firmwarePath, double* ms, FrameCount* frames)
{
    const std::string line = kind == Kind::Firmware ? "sys updatefw path=" + firmwarePath
                                                    : "sys restorebin path=" + target.settingsFile;
    const int updatesBefore = target.simulated->firmwareUpdates();
    const FrameCount before = framesReceived(*target.simulated);
    QString output;
    const auto t0 = Clock::now();
    bool ok = runLine(*target.engine, line, &output);
    *ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    const FrameCount after = framesReceived(*target.simulated);
    frames->all = after.all - before.all;
    frames->sysInfo = after.sysInfo - before.sysInfo;
    if (ok && kind == Kind::Firmware)
        ok = target.simulated->firmwareUpdates() == updatesBefore + 1
          && target.simulated->firmwareImage().size() == kFirmwareBytes;
    if (!ok)
        std::fprintf(stderr, "%s %s failed:\n%s\n", name(target.transport), name(kind), qPrintable(output));
    return ok;
}

int run(const Options& options, const std::string& folder)
{
    const std::string lockDir = folder + "/lock";
    setenv("ZYNMSR_DRIVER_DIR", folder.c_str(), 1);
    setenv("ZYNMSR_LOCK_DIR", lockDir.c_str(), 1);
    const std::string firmwarePath = folder + "/firmware.bin";
    if (!writeFirmwareImage(firmwarePath)) {
        std::fprintf(stderr, "cannot write %s\n", firmwarePath.c_str());
        return 1;
    }

    QObject::connect(&cliout_zynmsr, &CliMessage::Display, [](const QString& text) { g_output += text; });

    zynsim::Simulator simulator;
    const zynsim::ControllerConfig config;
    std::vector<Target> targets;
    for (Transport transport : options.transports) {
        Target target;
        target.transport = transport;
        target.simulated = transport == Transport::Udp ? simulator.addUdpController(kUdpAddress, config, 0)
                                                       : simulator.addDriverController(folder, 0, config);
        if (!target.simulated) {
            std::fprintf(stderr, "simulator: %s\n", simulator.error().c_str());
            return 1;
        }
        if (!open(&target, simulator, folder, config.password)) {
            std::fprintf(stderr, "%s: the controller did not answer\n", name(transport));
            return 1;
        }
        targets.push_back(std::move(target));
    }

    // The password gate opens on a first command outside the timing, as a console user's
    // first command would open it.
    for (Target& target : targets) {
        QString output;
        runLine(*target.engine, "sys info", &output);
    }
    // The file to restore, written by the console's own save before any timing.
    if (std::find(options.kinds.begin(), options.kinds.end(), Kind::Restore) != options.kinds.end()) {
        for (Target& target : targets) {
            QString output;
            if (!runLine(*target.engine, "sys savebin path=" + target.settingsFile, &output)) {
                std::fprintf(stderr, "%s: sys savebin failed:\n%s\n", name(target.transport), qPrintable(output));
                return 1;
            }
        }
    }

    std::printf("firmware image %zu bytes; settings files of the setup layout; %d runs\n", kFirmwareBytes,
                options.runs);
    // Run by run, every transport and kind takes its turn, so that each sees the machine alike.
    std::vector<std::vector<std::vector<double>>> samples(
        targets.size(), std::vector<std::vector<double>>(options.kinds.size()));
    int failures = 0;
    for (int r = 1; r <= options.runs; ++r) {
        for (std::size_t t = 0; t < targets.size(); ++t) {
            for (std::size_t k = 0; k < options.kinds.size(); ++k) {
                double ms = 0;
                FrameCount frames;
                const bool ok = measure(targets[t], options.kinds[k], firmwarePath, &ms, &frames);
                std::printf("measure %-6s %-8s %3d %10.2f ms %-6s frames %6d sysinfo %6d\n",
                            name(targets[t].transport), name(options.kinds[k]), r, ms, ok ? "ok" : "FAILED",
                            frames.all, frames.sysInfo);
                std::fflush(stdout);
                if (ok)
                    samples[t][k].push_back(ms);
                else
                    ++failures;
            }
        }
    }

    for (std::size_t t = 0; t < targets.size(); ++t) {
        for (std::size_t k = 0; k < options.kinds.size(); ++k) {
            const std::vector<double>& ms = samples[t][k];
            if (ms.empty()) {
                std::printf("summary %-6s %-8s runs 0 (every run failed)\n", name(targets[t].transport),
                            name(options.kinds[k]));
                continue;
            }
            const Summary s = summarise(ms);
            std::printf("summary %-6s %-8s runs %zu median %10.2f ms min %10.2f ms max %10.2f ms\n",
                        name(targets[t].transport), name(options.kinds[k]), ms.size(), s.median, s.min, s.max);
        }
    }
    if (failures > 0)
        std::printf("%d runs failed\n", failures);

    for (Target& target : targets)
        target.engine->SetCtrl(nullptr);
    return failures > 0 ? 1 : 0;
}

// The program's debug lines would fill the output; warnings still go to standard error.
void dropDebugLines(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(dropDebugLines);
    QCoreApplication app(argc, argv);
    Options options;
    if (const int rc = parse(app.arguments(), &options))
        return rc;
    return bench::inScratchFolder("/tmp/zynchangebench-XXXXXX",
                                  [&options](const char* folder) { return run(options, folder); });
}
