// The event and hw commands through the zyncli harness against the simulator (whole transcripts
// byte for byte), and the event log read by the console while the controller's polling thread
// runs in this process: every event still reaches the poller exactly once, also when the console
// clears the log between two passes.
#include "cli/cli-zynmsr.h"
#include "cli/output.h"
#include "clifixture.h"
#include "controllerfixture.h"
#include "devices/event.h"
#include "watcher/eventwatcher.h"

#include <QtTest>

#include <cstring>
#include <string>

using namespace simtest;

namespace {

const char* const kEnc = "127.0.1.20";       // enclosure family
const char* const kOld = "127.0.1.21";       // older family, board kind 0
const char* const kDual = "127.0.1.22";      // older family, board kind 1, a dual-temperature model
const char* const kCompact = "127.0.1.23";   // older family, board kind 2, another model
const char* const kBox = "127.0.1.24";       // the external box
const char* const kPolled = "127.0.1.25";    // polled in this process
const char* const kCleared = "127.0.1.60";   // polled in this process, its log cleared by the console
const char* const kSimPassword = "0000";

const QByteArray kOk = "GuiErrMsg<0x00>: Success.\n";
const QByteArray kHeader = "Date-Time            Device           Event Type            Elapsed Time Errors\n";

using clitest::rule;

QByteArray runHarness(const char* address, const QByteArray& input, QString* error)
{
    const clitest::HarnessRun run = clitest::runZyncli(address, input, kSimPassword);
    *error = run.error;
    return run.out;
}

// 2026-05-01 13:07:09 in the controller's packed form.
constexpr uint32_t kPacked = 0x80000000u | (5u << 27) | (26u << 22) | (1u << 17) | (13u << 12) | (7u << 6) | 9u;

sEVET_DATA eventOf(uint8_t eventClass, uint8_t code, const char* name = "", uint8_t channel = 0,
                   uint32_t elapsed = 0, uint32_t count = 0, uint32_t time = kPacked)
{
    sEVET_DATA e;
    std::memset(&e, 0, sizeof e);
    e.set(eventClass, code, channel);
    e.setName(name);
    e.setDuration(elapsed);
    e.setCount(count);
    e.setTime(time);
    return e;
}

zynsim::ControllerConfig emptyOf(zynsim::Profile profile, int boardType = -1, int model = 1880)
{
    zynsim::ControllerConfig c = configOf(profile);
    c.emptyModel = true;
    c.boardType = boardType;
    c.modelNumber = model;
    return c;
}

// A simulated controller polled in this process with the console acting on it: the device texts
// of the events the poller announced, and what the console showed.
class PolledConsole {
public:
    PolledConsole()
    {
        fastPolls();
        qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
        qputenv("ZYNMSR_DRIVER_DIR", (m_dir.path() + "/driver").toLocal8Bit());
        ControllerEventWatcherThread::SetIntervals(100, 300, 20);
        ControllerEventWatcherThread::Install();
        QObject::connect(ZynGetHost(), &QZynHost::LogMessage, &m_guard, [](QZynLog* log) { delete log; });
        QObject::connect(ZynGetHost(), &QZynHost::DeviceChanged, &m_guard, [this](QZynDevice* device, int code) {
            if (device->type != QZynDevice::Controller || code != QZynDevice::DeviceAdded)
                return;
            auto* controller = static_cast<QZynController*>(device);
            QObject::connect(controller, &QZynController::DeviceChanged, &m_guard, [this](QZynDevice* d, int c) {
                if (d->type == QZynDevice::Event && c == QZynDevice::DeviceAdded)
                    announced << static_cast<QZynEvent*>(d)->GetDeviceText();
            });
            QObject::connect(controller, &QZynController::LogMessage, &m_guard, [](QZynLog* log) { delete log; });
            controller->Start();
        });
        QObject::connect(&cliout_zynmsr, &CliMessage::Display, &m_guard,
                         [this](const QString& text) { m_shown += text.toLatin1(); });
        CZynlibCLI::PasswordDialogs dialogs;
        dialogs.ask = [](const QString&, QString* out) {
            *out = QString::fromLatin1(kSimPassword);
            return true;
        };
        dialogs.refuse = [](const QString&, const QString&) {};
        m_engine.SetPasswordDialogs(dialogs);
    }
    ~PolledConsole()
    {
        m_engine.SetCtrl(nullptr);
        ctltest::emptyHost();
        QCoreApplication::processEvents();
    }

    // Serves `config` at `address`, its log holding `logged` first, and waits until the
    // controller is online and polled; the reason when it is not.
    QString start(const char* address, zynsim::ControllerConfig config, const std::vector<sEVET_DATA>& logged = {})
    {
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder");
        ctl = m_sim.addUdpController(address, config);
        if (!ctl)
            return QString::fromStdString(m_sim.error());
        for (const sEVET_DATA& e : logged)
            ctl->addEvent(e);
        QZynController* c = ctltest::announceOnline(address);
        if (c == nullptr)
            return QStringLiteral("the controller did not come online");
        m_engine.SetCtrl(c);
        return QString();
    }
    // What the console shows for `words`.
    QByteArray run(const QStringList& words)
    {
        m_shown.clear();
        m_engine.ProcessCmd(words);
        return m_shown;
    }
    // Waits for `n` more passes of the poller.
    bool passes(int n)
    {
        const int frames = ctl->framesReceived(0x19);
        return QTest::qWaitFor([&] { return ctl->framesReceived(0x19) >= frames + n; }, 20000);
    }

    QStringList announced;
    std::shared_ptr<zynsim::FakeController> ctl;

private:
    QByteArray m_shown;
    QObject m_guard;
    QTemporaryDir m_dir;
    zynsim::Simulator m_sim;
    CZynlibCLI m_engine;
};

} // namespace

class TestCliEvent : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void eventRows();
    void emptyAndCleared();
    void eventReachesThePoller();
    void clearWhilePolled();
    void hardwareMonitor_data();
    void hardwareMonitor();
    void help();

private:
    zynsim::Simulator m_sim;
    std::shared_ptr<zynsim::FakeController> m_enc, m_old, m_dual, m_compact, m_box;
};

void TestCliEvent::initTestCase()
{
    m_enc = m_sim.addUdpController(kEnc, emptyOf(zynsim::Profile::Enclosure));
    m_old = m_sim.addUdpController(kOld, emptyOf(zynsim::Profile::Older, 0));
    m_dual = m_sim.addUdpController(kDual, emptyOf(zynsim::Profile::Older, 1, 1110));
    m_compact = m_sim.addUdpController(kCompact, emptyOf(zynsim::Profile::Older, 2, 1880));
    m_box = m_sim.addUdpController(kBox, emptyOf(zynsim::Profile::E100));
    QVERIFY2(m_enc && m_old && m_dual && m_compact && m_box, m_sim.error().c_str());
}

// Every class and its table's bounds, newest first; the device column of a device event by family.
void TestCliEvent::eventRows()
{
    const sEVET_DATA events[] = {
        eventOf(1, 0, "Raid Set # 000"),
        eventOf(1, 5, "Raid Set # 001"),                  // past the raid set table
        eventOf(1, 4, "SIXTEENCHARSNAMEX"),               // a name filling its whole field
        eventOf(2, 5, "Volume---VOL#000", 0, 37230),      // elapsed 1:02:03
        eventOf(2, 7, "Volume---VOL#000", 0, 0, 5),       // errors shown for a completed check
        eventOf(2, 8, "Volume---VOL#001", 0, 37230),      // no elapsed time for a creation
        eventOf(2, 26, "Volume---VOL#001", 0, 10),        // the last volume event: 1 second
        eventOf(2, 27, "Volume---VOL#001"),               // past the volume set table
        eventOf(3, 7, "Enc#1 Slot#03", 2),
        eventOf(3, 13, "Enc#1 Slot#04", 3),               // past the device table
        eventOf(4, 2),
        eventOf(5, 11),                                   // a text with its own trailing blanks
        eventOf(5, 40),
        eventOf(5, 41),                                   // past the monitor table
        eventOf(6, 37, "Ctrl"),
        eventOf(6, 0, "Ctrl", 0, 0, 0, 12345),            // a plain number for a time
        eventOf(9, 1, "Other"),                           // a class without a table: its time only
        eventOf(1, 0, "Tägliche-Sicher"),                 // UTF-8: the column counts characters
        eventOf(1, 0, "Caf\xE9-Sicherung-1"),             // another tool's Latin-1
    };
    const QByteArrayList rows = {
        "2026-05-01 13:07:09  Raid Set # 000   Create RaidSet                           \n",
        "2026-05-01 13:07:09  Raid Set # 001   Unknown Event                            \n",
        "2026-05-01 13:07:09  SIXTEENCHARSNAME RaidSet Degraded                         \n",
        "2026-05-01 13:07:09  Volume---VOL#000 Complete Rebuild      001:02:03          \n",
        "2026-05-01 13:07:09  Volume---VOL#000 Complete Check        000:00:00    5     \n",
        "2026-05-01 13:07:09  Volume---VOL#001 Create Volume                            \n",
        "2026-05-01 13:07:09  Volume---VOL#001 Stop Cloning          000:00:01          \n",
        "2026-05-01 13:07:09  Volume---VOL#001 Unknown Event                            \n",
        "2026-05-01 13:07:09  Enc#1 Slot#03    Device Failed                            \n",
        "2026-05-01 13:07:09  Enc#1 Slot#04    Unknown Event                            \n",
        "2026-05-01 13:07:09  HOST             SCSI Bus SE<>LVD                         \n",
        "2026-05-01 13:07:09  H/W MONITOR      Power#1 Failed                           \n",
        "2026-05-01 13:07:09  H/W MONITOR      Power On With Battery Backup                    \n",
        "2026-05-01 13:07:09  H/W MONITOR      Unknown Event                            \n",
        "2026-05-01 13:07:09  Ctrl             Evaluation Alert                         \n",
        "12345                Ctrl             Recovered                                \n",
        "2026-05-01 13:07:09                                                            \n",
        "2026-05-01 13:07:09  Tägliche-Sicher  Create RaidSet                           \n",
        "2026-05-01 13:07:09  Café-Sicherung-1 Create RaidSet                           \n",
    };
    QCOMPARE(rows.size(), int(std::size(events)));
    for (bool older : {false, true}) {
        zynsim::FakeController& ctl = older ? *m_old : *m_enc;
        std::string why;
        QVERIFY2(ctl.loadConfig("", &why), why.c_str());
        for (const sEVET_DATA& e : events)
            ctl.addEvent(e);
        QByteArray expected = "\r\n" + kHeader + rule(79);
        for (int i = rows.size() - 1; i >= 0; --i) {
            QByteArray row = rows[i];
            if (older && i == 8)
                row.replace("Enc#1 Slot#03   ", "IDE Channel #03 ");
            if (older && i == 9)
                row.replace("Enc#1 Slot#04   ", "IDE Channel #04 ");
            expected += row;
        }
        expected += rule(79) + kOk;
        QString error;
        const QByteArray out = runHarness(older ? kOld : kEnc, "event info\n", &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(out, expected);
    }
}

// An empty log gives the result line alone; clear empties the controller's log.
void TestCliEvent::emptyAndCleared()
{
    std::string why;
    QVERIFY2(m_enc->loadConfig("", &why), why.c_str());
    QString error;
    QByteArray out = runHarness(kEnc, "event info\n", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(out, "\r\n" + kOk);

    m_enc->addEvent(eventOf(6, 8, "Ctrl"));
    m_enc->clearLog();
    out = runHarness(kEnc, "event clear\nevent info\n", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(out, "\r\n" + kOk + "\r\n" + kOk);
    QCOMPARE(m_enc->framesReceived(0x24), 1);
    QVERIFY(m_enc->events().empty() || m_enc->events().back().eventClass() == 0);
}

// Events logged just before the console reads the whole log still reach the polling thread,
// each exactly once.
void TestCliEvent::eventReachesThePoller()
{
    PolledConsole polled;
    const QString why = polled.start(kPolled, emptyOf(zynsim::Profile::Enclosure));
    QVERIFY2(why.isEmpty(), qPrintable(why));

    auto mark = [](int i) { return QStringLiteral("Mark %1").arg(i, 2, 10, QLatin1Char('0')); };
    constexpr int kMarks = 12;
    for (int i = 1; i <= kMarks; ++i) {
        polled.ctl->addEvent(eventOf(6, 8, qPrintable(mark(i))));
        const QByteArray shown = polled.run({QStringLiteral("event"), QStringLiteral("info")});
        QVERIFY2(shown.contains(mark(i).toLatin1() + "          HTTP Log In"), shown.constData());
        QVERIFY(shown.endsWith(rule(79) + kOk));
    }
    auto everyMarkSeen = [&] {
        for (int i = 1; i <= kMarks; ++i)
            if (!polled.announced.contains(mark(i)))
                return false;
        return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(everyMarkSeen(), 20000);
    // Some more passes: none announced a second time.
    QVERIFY(polled.passes(3));
    QCoreApplication::processEvents();
    for (int i = 1; i <= kMarks; ++i)
        QCOMPARE(polled.announced.count(mark(i)), 1);
}

// The console clears the log while the poller polls: what was logged before is never announced
// again, and every event logged after is announced once, also when the controller's counter
// has gone round the ring back to where a fresh session starts.
void TestCliEvent::clearWhilePolled()
{
    constexpr int kRing = 64;
    constexpr int kBefore = kRing - 6;   // six more events take the counter round to 0
    struct Round {
        const char* name;
        int events;
    };
    const Round rounds[] = {{"Round A", 6}, {"Round B", 3}, {"Round C", 1}};

    auto named = [](const char* what, int i) { return QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(i); };
    std::vector<sEVET_DATA> before;
    QStringList expected;   // announced so far, in order: the log loaded at the start first
    for (int i = 0; i < kBefore; ++i) {
        before.push_back(eventOf(6, 8, qPrintable(named("Before", i))));
        expected << named("Before", i);
    }
    zynsim::ControllerConfig config = emptyOf(zynsim::Profile::Enclosure);
    config.eventRingCapacity = kRing;
    PolledConsole polled;
    const QString why = polled.start(kCleared, config, before);
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QVERIFY(polled.passes(2));
    QCoreApplication::processEvents();
    QCOMPARE(polled.announced, expected);

    for (const Round& round : rounds) {
        const int clears = polled.ctl->framesReceived(0x24);
        QCOMPARE(polled.run({QStringLiteral("event"), QStringLiteral("clear")}), "\r\n" + kOk);
        QCOMPARE(polled.ctl->framesReceived(0x24), clears + 1);
        QVERIFY(polled.ctl->events().empty());
        for (int i = 0; i < round.events; ++i) {
            polled.ctl->addEvent(eventOf(6, 8, qPrintable(named(round.name, i))));
            expected << named(round.name, i);
        }
        QTRY_VERIFY2_WITH_TIMEOUT(polled.announced.size() >= expected.size(),
                                  qPrintable(polled.announced.mid(kBefore).join(QLatin1Char(','))), 20000);
        QVERIFY(polled.passes(3));
        QCoreApplication::processEvents();
        QCOMPARE(polled.announced, expected);
    }
}

void TestCliEvent::hardwareMonitor_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("output");

    const QByteArray head = "The Hardware Monitor Information\n" + rule(43);
    QTest::newRow("ordinary board") << QByteArray(kOld)
                                    << QByteArray("sensor fan 2800 65535 / voltage 12000:12120 5000:4950 / temp 45 38 39")
                                    << head + "Power +12.00V       : 12.120\n"
                                              "Power +5.00 V       : 4.950\n"
                                              "Fan#1  Speed (RPM)  : 2800\n"
                                              "Fan#2  Speed (RPM)  : N.A.\n"
                                              "Controller Temp     : 45 (Celsius)\n"
                                              "HDD #1  Temp.       : 38\n"
                                              "HDD #2  Temp.       : 39\n"
                                       + rule(43) + kOk;
    QTest::newRow("compact board, dual temperature")
        << QByteArray(kDual)
        << QByteArray("sensor fan 2800 / voltage 12000:12120 5000:5050 3300:3310 / temp 50 45 38 / battery 255")
        << head + "Fan#1 Speed (RPM)   : 2800\n"
                  "Battery Status      : Not Installed\n"
                  "CPU Temperature     : 50 (Celsius)\n"
                  "Ctrl Temperature    : 45 (Celsius)\n"
                  "Power +12V          : 12.120\n"
                  "Power +5V           : 5.050\n"
                  "Power +3.3V         : 3.310\n"
                  "HDD #1  Temp.       : 38\n"
               + rule(43) + kOk;
    QTest::newRow("compact board") << QByteArray(kCompact) << QByteArray("sensor fan 65535 / temp 40 41 / battery 80")
                                   << head + "Fan#1 Speed (RPM)   : N.A.\n"
                                             "Battery Status      : 80%\n"
                                             "HDD #1  Temp.       : 40\n"
                                             "HDD #2  Temp.       : 41\n"
                                      + rule(43) + kOk;
    QTest::newRow("compact board, failed battery") << QByteArray(kCompact) << QByteArray("sensor fan 1200 / temp 40 / battery 254")
                                                   << head + "Fan#1 Speed (RPM)   : 1200\n"
                                                             "Battery Status      : Failed\n"
                                                             "HDD #1  Temp.       : 40\n"
                                                      + rule(43) + kOk;
    QTest::newRow("external box") << QByteArray(kBox)
                                  << QByteArray("sensor fan 2800 / voltage 12100 5020 3310 1510 / temp 36 41")
                                  << head + "Controller Temp : 36 (Celsius)\n"
                                            "BackPlane Temp  : 41 (Celsius)\n"
                                            "Fan Speed (RPM) : 2800\n"
                                            "Power +12.00V   : 12.100\n"
                                            "Power +5.00V    : 5.020\n"
                                            "Power +3.30V    : 3.310\n"
                                            "Power +1.50V    : 1.510\n"
                                     + rule(43) + kOk;
    QTest::newRow("enclosure family")
        << QByteArray(kEnc)
        << QByteArray("enclosure 0 slots 4\n"
                      "sensor temp -20 / fan 3000 / voltage 12120 / battery 255\n"
                      "sensor enclosure 0 voltage 12120 5050 / fan 3000 / temp -20 36\n"
                      "enclosure 1 slots 2\n")
        << "The Hardware Monitor Information\n" + rule(53)
               + "[Controller H/W Monitor]\n"
                 "  Temperature CPU  : -20 C\n"
                 "  Fan 1            : 3000 RPM\n"
                 "  Voltage 12V      : 12.120 V\n"
                 "  Battery Status   : Not Installed\n"
                 "[Enclosure#1 : VarnelEnclosure 10102]\n"
                 "  Voltage 12V      : 12.120 V\n"
                 "  Voltage 5V       : 5.050 V\n"
                 "  Fan 1            : 3000 RPM\n"
                 "  Temperature CPU  : N.A.\n"
                 "  Temperature Board : 36 C\n"
                 "[Enclosure#2 : VarnelEnclosure 20102]\n"
               + rule(53) + kOk;
}

void TestCliEvent::hardwareMonitor()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, output);
    zynsim::FakeController& ctl = address == kEnc ? *m_enc
        : address == kOld                         ? *m_old
        : address == kDual                        ? *m_dual
        : address == kCompact                     ? *m_compact
                                                  : *m_box;
    std::string why;
    QVERIFY2(ctl.loadConfig(config.toStdString(), &why), why.c_str());
    QString error;
    const QByteArray out = runHarness(address.constData(), "hw info\n", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(out, "\r\n" + output);
}

void TestCliEvent::help()
{
    QString error;
    const QByteArray out = runHarness(kEnc, "event ?\nhw -help\n", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QByteArray frame = "Sub-Command Description\n" + QByteArray(60, '=') + "\n";
    QCOMPARE(out, "\r\n\nSub-Command & Parameters Of [ event ]\n" + frame
                      + "info        Parameter: None.\n"
                        "            Fn: Display System Events.\n"
                        "            Command: event info [Enter]\n"
                        "\n"
                        "clear       Parameter: None.\n"
                        "            Fn: Clear System Events.\n"
                        "            Command: event clear [Enter]\n"
                      + QByteArray(60, '=') + "\n"
                      + "\r\n\nSub-Command & Parameters Of [ hw ]\n" + frame
                      + "info        Parameter: None.\n"
                        "            Fn: Display Hardware Monitor Information.\n"
                        "            Command: hw info [Enter]\n"
                      + QByteArray(60, '=') + "\n");
}

QTEST_GUILESS_MAIN(TestCliEvent)
#include "test_cli_event.moc"
