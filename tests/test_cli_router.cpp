// The command-line engine: the command table's words and what each typed line runs, whole
// transcripts of the zyncli harness against the simulator compared byte for byte, the gates
// in front of the handlers (onboard network port, password, no controller) with the frames
// they send, and the console and engine wired together.
#include "cli/cli-zynmsr.h"
#include "clifixture.h"
#include "cli/console.h"
#include "cli/output.h"
#include "controllerfixture.h"

#include <QPointer>
#include <QProcess>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <vector>

using namespace ctltest;
using namespace simtest;

namespace {

// Each test its own addresses: ctest runs the programs side by side.
const char* const kPlain = "127.0.0.152";      // onboard network port, default password
const char* const kNoNic = "127.0.0.153";      // no onboard network port
const char* const kEngine = "127.0.0.154";     // the in-process engine's controller
const char* const kSwapped = "127.0.2.4";      // a controller replaced between two commands
const char* const kSimPassword = "0000";        // the simulated controller's own password

const QByteArray kOverview =
    "\r\n\n"
    "CMD     Description\n"
    "==========================================================\n"
    "main    Show Command Categories.\n"
    "set     General Settings.\n"
    "rsf     RaidSet Functions.\n"
    "vsf     VolumeSet Functions.\n"
    "disk    Physical Drive Functions.\n"
    "sys     System Functions.\n"
    "adsys   Advanced System Functions.\n"
    "hddpwr  Hdd Power Management.\n"
    "net     Ethernet Functions.\n"
    "event   Event Functions.\n"
    "hw      Hardware Monitor Functions.\n"
    "mail    Mail Notification Functions.\n"
    "snmp    SNMP Functions.\n"
    "ntp     NTP Functions.\n"
    "sef     Security Functions.\n"
    "==========================================================\n"
    "Command Format: <CMD> [Sub-Command] [Parameters].\n"
    "Note: Use <CMD> -h or -help to get details.\n";
const QByteArray kUnknown = "\r\nErrMsg: Invalid Command.\n";
const QByteArray kAmbiguous = "\r\nErrMsg: Ambiguous Command.\n";
const QByteArray kAmbiguousSub = "\r\nErrMsg: Ambiguous Sub-Command.\n";
const QByteArray kNoNicLine = "\r\nErrMsg: This Controller Has No Onboard NIC.\n";
const QByteArray kNoController = "\r\nGuiErrMsg<0x11>: Invalid Interface.\n";
const QByteArray kBlank = "\r\n";
// Answers of handlers that read nothing or refuse their words: a controller without the fibre
// host name field, filterdel without its index, debug dump without its word.
const QByteArray kNoFibreNames = "\r\nGuiErrMsg<0x06>: The Wrong Parameter(s).\n";
const QByteArray kFilterIndexMissing = "\r\nErrMsg: Index Number Is Missing.\n";
const QByteArray kDebugDumpRefused = "\r\nErrMsg: Invalid Parameter.\nGuiErrMsg<0x01>: Failure.\n";

QByteArray times(const QByteArray& text, int n)
{
    return text.repeated(n);
}

using Handler = CZynlibCLI::Handler;

// The table as typed from the command language's description: each family's word and how many
// sub-command words it has, the help pair included.
const std::vector<std::pair<const char*, int>> kFamilies = {
    {"rsf", 10}, {"vsf", 16}, {"disk", 17}, {"net", 11}, {"sys", 49}, {"adsys", 18}, {"hddpwr", 7},
    {"event", 4}, {"hw", 3}, {"mail", 12}, {"snmp", 15}, {"ntp", 7}, {"fcc", 8}, {"debug", 4},
};

struct Match {
    const char* line;
    CliRoute::Outcome outcome;
    Handler handler;   // what runs, for Found
};

const std::vector<Match> kMatches = {
    // Main words: case-sensitive prefixes, the only match runs; one-letter prefixes collide.
    {"r", CliRoute::Found, &CZynlibCLI::Display_Rsf_CMD_Help},
    {"a", CliRoute::Found, &CZynlibCLI::Display_Adsys_CMD_Help},
    {"hd", CliRoute::Found, &CZynlibCLI::Display_HddPwr_CMD_Help},
    {"di", CliRoute::Found, &CZynlibCLI::Display_Disk_CMD_Help},
    {"de", CliRoute::Found, &CZynlibCLI::Display_DEBUG_CMD_Help},
    {"nt", CliRoute::Found, &CZynlibCLI::Display_NTP_CMD_Help},
    {"f", CliRoute::Found, &CZynlibCLI::Display_Fcc_CMD_Help},
    {"s", CliRoute::AmbiguousCommand, nullptr},
    {"h", CliRoute::AmbiguousCommand, nullptr},
    {"n", CliRoute::AmbiguousCommand, nullptr},
    {"d", CliRoute::AmbiguousCommand, nullptr},
    {"he", CliRoute::Unknown, nullptr},
    {"Rsf info", CliRoute::Unknown, nullptr},
    {"rsfx", CliRoute::Unknown, nullptr},
    {"set", CliRoute::Unknown, nullptr},
    {"sef", CliRoute::Unknown, nullptr},
    // Sub-commands: the help pair; "-h" is a prefix of "-help" only.
    {"rsf ?", CliRoute::Found, &CZynlibCLI::Display_Rsf_CMD_Help},
    {"rsf -h", CliRoute::Found, &CZynlibCLI::Display_Rsf_CMD_Help},
    {"hw -", CliRoute::Found, &CZynlibCLI::Display_Hw_CMD_Help},
    {"hw", CliRoute::Found, &CZynlibCLI::Display_Hw_CMD_Help},
    {"rsf -helpx", CliRoute::Unknown, nullptr},
    {"rsf Info", CliRoute::Unknown, nullptr},
    // An exact word ends the walk; a prefix shared by later words does not.
    {"vsf create", CliRoute::Found, &CZynlibCLI::Exe_Vol_Create_Cmd},
    {"vsf create5 vol=1", CliRoute::Found, &CZynlibCLI::Exe_Vol_Create_R5060_Cmd},
    {"vsf genkey", CliRoute::Found, &CZynlibCLI::Exe_Vol_GenerateKeyFile_Cmd},
    {"vsf genkey2", CliRoute::Found, &CZynlibCLI::Exe_Vol_GenerateKeyFile2_Cmd},
    {"vsf c", CliRoute::AmbiguousSubCommand, nullptr},
    {"vsf lock", CliRoute::Found, &CZynlibCLI::Exe_Vol_MakeAESKeyInvalid_Cmd},
    {"rsf create", CliRoute::Found, &CZynlibCLI::Exe_Raid_Create_Cmd},
    {"rsf createh", CliRoute::Found, &CZynlibCLI::Exe_Raid_Create_HotSpare_Cmd},
    {"rsf d", CliRoute::AmbiguousSubCommand, nullptr},
    {"sys read", CliRoute::Found, &CZynlibCLI::Exe_Sys_ReadAhead_Cmd},
    {"sys smart", CliRoute::AmbiguousSubCommand, nullptr},
    {"sys advan", CliRoute::Found, &CZynlibCLI::Exe_Sys_AdvanInfo_CFG_Cmd},
    {"sys info", CliRoute::Found, &CZynlibCLI::Exe_Sys_Info_Cmd},
    {"sys timeout", CliRoute::Found, &CZynlibCLI::Exe_Sys_Timeout_Cmd},
    {"adsys info", CliRoute::Found, &CZynlibCLI::Exe_Sys_AdvanInfo_CFG_Cmd},
    {"adsys read", CliRoute::AmbiguousSubCommand, nullptr},
    {"mail mailto", CliRoute::AmbiguousSubCommand, nullptr},
    {"mail mailto3", CliRoute::Found, &CZynlibCLI::Exe_Mail_Set_MailTo3_Cmd},
    {"snmp ipaddr", CliRoute::AmbiguousSubCommand, nullptr},
    {"snmp port2", CliRoute::Found, &CZynlibCLI::Exe_Snmp_Set_Port2_Cmd},
    {"ntp ipaddr", CliRoute::AmbiguousSubCommand, nullptr},
    {"disk abort", CliRoute::AmbiguousSubCommand, nullptr},
    {"disk abortc", CliRoute::Found, &CZynlibCLI::Exe_Disk_Aborting_Clone_Cmd},
    {"event c", CliRoute::Found, &CZynlibCLI::Exe_Event_Clear_Cmd},
    {"fcc filterd", CliRoute::Found, &CZynlibCLI::Exe_Fibre_Del_Filter},
};

// A line's words as the router takes them.
struct Words {
    explicit Words(const QByteArray& line)
    {
        for (const QByteArray& w : line.split(' '))
            if (!w.isEmpty())
                store.push_back(w);
        for (QByteArray& w : store)
            argv.push_back(w.data());
        argv.push_back(nullptr);
    }
    int argc() const { return int(store.size()); }
    std::vector<QByteArray> store;
    std::vector<char*> argv;
};

// Everything the output object emits while it lives.
struct Captured {
    Captured()
    {
        connection = QObject::connect(&cliout_zynmsr, &CliMessage::Display,
                                      [this](const QString& t) { text += t.toLocal8Bit(); });
    }
    ~Captured() { QObject::disconnect(connection); }
    QByteArray take()
    {
        QByteArray out;
        out.swap(text);
        return out;
    }
    QByteArray text;
    QMetaObject::Connection connection;
};

// The harness against a controller: its standard output, and how often it showed the dialogs.
struct HarnessRun {
    QByteArray out;
    int dialogs = 0;
    int refusals = 0;
    QString error;
};

HarnessRun runHarness(const char* address, const char* password, const QByteArray& input)
{
    const clitest::HarnessRun harness = clitest::runZyncli(address, input, password);
    HarnessRun run;
    run.out = harness.out;
    run.error = harness.error;
    for (const QByteArray& line : harness.err.split('\n')) {
        if (line.startsWith("password dialog: "))
            ++run.dialogs;
        if (line.startsWith("warning: ") && line.endsWith(": Invalid Password!!"))
            ++run.refusals;
    }
    return run;
}

// An engine whose table has one family of its own, to see what a handler is given.
class Recorder : public CZynlibCLI {
public:
    const CmdRecord* GetCommandMap() const override { return kTable; }
    int record(int argc, char** argv)
    {
        QStringList words;
        for (int i = 0; i < argc; ++i)
            words << QString::fromLocal8Bit(argv[i]);
        calls << QStringLiteral("%1 [%2] %3").arg(argc).arg(words.join(' ')).arg(argv[argc > 0 ? argc : 0] == nullptr ? "end" : "open");
        return kResult;
    }
    static constexpr int kResult = 42;
    static const CmdRecord kTable[];
    QStringList calls;
};

const CZynlibCLI::CmdRecord Recorder::kTable[] = {
    {"rec", {{"go", static_cast<Handler>(&Recorder::record)}, {"-help", static_cast<Handler>(&Recorder::record)}}},
    {nullptr, {}},
};

} // namespace

class TestCliRouter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void tableHoldsTheFamiliesInOrder();
    void linesRunTheirEntries();
    void harnessTranscripts_data();
    void harnessTranscripts();
    void gates_data();
    void gates();
    void noControllerRunsNothing();
    void handlerTakesTheWordsAfterItsSubCommand();
    void consoleRunsTheEngine();
    void controllerReplacedBetweenCommands();
    void readsAfterAQuietSpell();

private:
    zynsim::Simulator m_sim;
    std::shared_ptr<zynsim::FakeController> m_plain;
    std::shared_ptr<zynsim::FakeController> m_noNic;
    ControllerRig m_rig;
    QTemporaryDir m_dir;
};

void TestCliRouter::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    m_plain = m_sim.addUdpController(kPlain, zynsim::ControllerConfig());
    zynsim::ControllerConfig noNic;
    noNic.onBoardNetwork = false;
    m_noNic = m_sim.addUdpController(kNoNic, noNic);
    QVERIFY2(m_plain && m_noNic, m_sim.error().c_str());
}

void TestCliRouter::cleanup()
{
    m_rig.stop();
}

void TestCliRouter::tableHoldsTheFamiliesInOrder()
{
    CZynlibCLI engine;
    const CZynlibCLI::CmdRecord* table = engine.GetCommandMap();
    QVERIFY(table != nullptr);
    std::size_t r = 0;
    for (; table[r].word != nullptr; ++r) {
        QVERIFY2(r < kFamilies.size(), table[r].word);
        QCOMPARE(QByteArray(table[r].word), QByteArray(kFamilies[r].first));
        int n = 0;
        while (n < kCliMaxSubCommands && table[r].entries[n].word != nullptr) {
            QVERIFY(table[r].entries[n].handler != nullptr);
            ++n;
        }
        QCOMPARE(n, kFamilies[r].second);
        // The help pair closes every family and runs one handler.
        QCOMPARE(QByteArray(table[r].entries[n - 2].word), QByteArray("-help"));
        QCOMPARE(QByteArray(table[r].entries[n - 1].word), QByteArray("?"));
        QVERIFY(table[r].entries[n - 2].handler == table[r].entries[n - 1].handler);
    }
    QCOMPARE(r, kFamilies.size());
}

void TestCliRouter::linesRunTheirEntries()
{
    CZynlibCLI engine;
    const CZynlibCLI::CmdRecord* table = engine.GetCommandMap();
    for (const Match& m : kMatches) {
        Words w(m.line);
        const CliRoute route = CliFindCommand(table, w.argc(), w.argv.data());
        QVERIFY2(route.outcome == m.outcome, m.line);
        if (m.outcome == CliRoute::Found)
            QVERIFY2(table[route.record].entries[route.entry].handler == m.handler, m.line);
    }
    for (const char* word : {"help", "HELP", "Main", "mAIN", "?"})
        QVERIFY2(CliIsOverviewWord(word), word);
    for (const char* word : {"he", "helpx", "mai", "??", "", "-help"})
        QVERIFY2(!CliIsOverviewWord(word), word);
}

void TestCliRouter::harnessTranscripts_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("password");   // null: the dialog is cancelled
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<int>("refusals");

    const QString plain = QString::fromLatin1(kPlain);
    const QString password = QString::fromLatin1(kSimPassword);
    // The fcc help page as the engine prints it without a controller.
    QByteArray fccHelp;
    {
        Captured out;
        CZynlibCLI().Display_Fcc_CMD_Help(-1, nullptr);
        fccHelp = kBlank + out.take();
    }
    QTest::newRow("overview in any case, no gate") << plain << QString() << QByteArray("help\nHELP\nMain\n?\nmain rsf info\n")
                                                  << times(kOverview, 5) << 0 << 0;
    QTest::newRow("unknown words and case") << plain << QString()
                                            << QByteArray("he\nRsf info\nset\nsef\nrsfx\nrsf bogus\nrsf Info\nRSF\n")
                                            << times(kUnknown, 8) << 0 << 0;
    QTest::newRow("ambiguous words ask for no password")
        << plain << QString() << QByteArray("s\nh\nn\nd info\nsnmp ipaddr\nmail mailto x=1\nsys smart\n")
        << (times(kAmbiguous, 4) + times(kAmbiguousSub, 3)) << 0 << 0;
    QTest::newRow("empty lines") << plain << QString() << QByteArray("\n   \n\r\n") << times(kBlank, 3) << 0 << 0;
    QTest::newRow("prefixes reach their handlers; one password, then the hold")
        << plain << password << QByteArray("f namei\nfcc\nfcc ?\nfcc -h\nfcc filterd vol=1\nsys read\n  fcc  \ndebug dump\n")
        << kNoFibreNames + times(fccHelp, 3) + kFilterIndexMissing
               + "\r\nErrMsg: Invalid Parameter. Use \"adsys -h\" For Details\n" + fccHelp + kDebugDumpRefused
        << 1 << 0;   // "sys read" reaches readahead, whose hint is its own family's
    QTest::newRow("network families without an onboard port")
        << QString::fromLatin1(kNoNic) << password << QByteArray("net info\nntp\nmail -help\nNet info\n")
        << (times(kNoNicLine, 3) + kUnknown) << 0 << 0;   // refused before the password
    QTest::newRow("network families with an onboard port")
        << plain << password << QByteArray("net httpport p=0\nntp timezone p=75\nmail evtlevel p=9\n")
        << times("\r\nErrMsg: Invalid Parameter.\n", 3) << 1 << 0;
    QTest::newRow("dialog cancelled: asked again, nothing printed")
        << plain << QString() << QByteArray("rsf info\nhw info\nhelp\n") << (times(kBlank, 2) + kOverview) << 2 << 0;
    QTest::newRow("wrong password: the warning, nothing printed")
        << plain << QStringLiteral("wrong") << QByteArray("rsf info\n") << kBlank << 1 << 1;
}

void TestCliRouter::harnessTranscripts()
{
    QFETCH(QString, address);
    QFETCH(QString, password);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(int, dialogs);
    QFETCH(int, refusals);
    const QByteArray a = address.toLatin1();
    const QByteArray p = password.toLatin1();
    const HarnessRun run = runHarness(a.constData(), password.isNull() ? nullptr : p.constData(), input);
    QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
    QCOMPARE(run.out, expected);
    QCOMPARE(run.dialogs, dialogs);
    QCOMPARE(run.refusals, refusals);
}

void TestCliRouter::gates_data()
{
    QTest::addColumn<bool>("nic");
    QTest::addColumn<bool>("needAuth");
    QTest::addColumn<QString>("answer");   // null: cancelled
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<int>("checks");        // 0x14 frames sent
    QTest::addColumn<int>("refusals");
    QTest::addColumn<bool>("passed");       // the hold opened and the status cleared
    QTest::addColumn<bool>("replaced");     // another controller answers while the password is typed

    const QString right = QString::fromLatin1(kSimPassword);
    QTest::newRow("password once, then the hold") << true << true << right << QStringList{"debug dump", "debug dump"}
                                                  << times(kDebugDumpRefused, 2) << 1 << 1 << 0 << true
                                                  << false;
    QTest::newRow("no password needed: no dialog, hold restarted")
        << true << false << QString() << QStringList{"debug dump"} << kDebugDumpRefused << 0 << 0 << 0 << true << false;
    QTest::newRow("cancelled: nothing sent") << true << true << QString() << QStringList{"rsf info"} << kBlank << 1 << 0 << 0
                                             << false << false;
    QTest::newRow("empty password: nothing sent") << true << true << QStringLiteral("") << QStringList{"rsf info"} << kBlank
                                                  << 1 << 0 << 0 << false << false;
    QTest::newRow("wrong password: one check, the warning")
        << true << true << QStringLiteral("nope") << QStringList{"rsf info"} << kBlank << 1 << 1 << 1 << false << false;
    QTest::newRow("another controller while asked: only the confirming read")
        << true << true << right << QStringList{"rsf info"} << kBlank << 1 << 0 << 1 << false << true;
    QTest::newRow("no onboard port: refused before the password")
        << false << true << right << QStringList{"net info", "mail"} << times(kNoNicLine, 2) << 0 << 0 << 0 << false
        << false;
    QTest::newRow("unknown and ambiguous: no password") << true << true << right << QStringList{"zz", "s"}
                                                        << (kUnknown + kAmbiguous) << 0 << 0 << 0 << false
                                                        << false;
}

void TestCliRouter::gates()
{
    QFETCH(bool, nic);
    QFETCH(bool, needAuth);
    QFETCH(QString, answer);
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, expected);
    QFETCH(int, dialogs);
    QFETCH(int, checks);
    QFETCH(int, refusals);
    QFETCH(bool, passed);
    QFETCH(bool, replaced);

    zynsim::ControllerConfig config;
    config.onBoardNetwork = nic;
    QCOMPARE(m_rig.start(kEngine, config), QString());
    QZynController* ctrl = m_rig.controller.get();
    const QString model = ctrl->GetSysInfo()->GetModelName();
    QVERIFY(!model.isEmpty());
    if (!needAuth)
        ctrl->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    const int holdBefore = 7;
    ctrl->SetAuthorisationHold(holdBefore);

    CZynlibCLI engine;
    int asked = 0;
    QStringList refused;
    CZynlibCLI::PasswordDialogs d;
    d.ask = [&](const QString& title, QString* out) {
        ++asked;
        if (title != model)
            return false;
        if (replaced)
            answerAsAnother(*m_rig.ctl, "Y000000000000998");
        *out = answer;
        return !answer.isNull();
    };
    d.refuse = [&](const QString& title, const QString& text) { refused << title + ": " + text; };
    engine.SetPasswordDialogs(d);
    engine.SetCtrl(ctrl);

    MessageLog log;
    Captured out;
    m_rig.ctl->clearLog();
    for (const QString& line : lines)
        engine.ProcessCmd(line.split(' ', Qt::SkipEmptyParts));
    QCOMPARE(out.take(), expected);
    QCOMPARE(asked, dialogs);
    // The gates send nothing but the check, each after the read that confirms the controller.
    std::vector<int> checked(replaced ? 1 : 0, ZYN_CMD_GET_SYSINFO);
    for (int i = 0; i < checks; ++i)
        checked.insert(checked.end(), {ZYN_CMD_GET_SYSINFO, ZYN_CMD_CHECK_PASSWORD});
    QCOMPARE(commandsReceived(*m_rig.ctl), checked);
    QCOMPARE(refused, refusals ? QStringList{model + ": Invalid Password!!"} : QStringList());
    QCOMPARE(ctrl->GetAuthorisationHold(), passed ? QZynController::kAuthorisationSeconds : holdBefore);
    QCOMPARE(ctrl->IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH), passed ? false : needAuth);
    const QString logLine = QStringLiteral("\"%1\" ClearStatus(STATUS_CONTROLLER_NEED_AUTH)").arg(model);
    QCOMPARE(log.lines().count(logLine), passed ? lines.size() : 0);
}

void TestCliRouter::noControllerRunsNothing()
{
    QCOMPARE(m_rig.start(kEngine), QString());
    CZynlibCLI engine;
    int asked = 0;
    CZynlibCLI::PasswordDialogs d;
    d.ask = [&](const QString&, QString*) { return ++asked, false; };
    engine.SetPasswordDialogs(d);
    Captured out;
    const auto run = [&](const char* line) {
        Words w(line);
        return engine.CmdRouter(w.argc(), w.argv.data());
    };
    // None set, then one set and deleted: refused after the words resolve, the overview still shown.
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(run("rsf info"), int(ZYN_ERR_NO_TRANSPORT));
        QCOMPARE(run("net info"), int(ZYN_ERR_NO_TRANSPORT));
        QCOMPARE(run("zz"), CZynlibCLI::kRouteUnknown);
        QCOMPARE(run("help"), CZynlibCLI::kRouteOverview);
        QCOMPARE(out.take(), kNoController.mid(2) + kNoController.mid(2) + kOverview.mid(2));
        QVERIFY(!engine.CheckPassword());
        engine.SetCtrl(m_rig.controller.get());
        m_rig.stop();
    }
    QCOMPARE(asked, 0);
    QVERIFY(std::all_of(std::begin(engine.SysInfo().bytes), std::end(engine.SysInfo().bytes), [](u8 b) { return b == 0; }));
}

void TestCliRouter::handlerTakesTheWordsAfterItsSubCommand()
{
    QCOMPARE(m_rig.start(kEngine), QString());
    m_rig.controller->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    Recorder engine;
    engine.SetCtrl(m_rig.controller.get());
    for (const char* line : {"rec", "rec go", "rec go a=1  b", "re - x"}) {
        Words w(line);
        QCOMPARE(engine.CmdRouter(w.argc(), w.argv.data()), Recorder::kResult);
    }
    QCOMPARE(engine.calls, (QStringList{"-1 [] end", "0 [] end", "2 [a=1 b] end", "1 [x] end"}));
    // The engine's copy of the system information is the controller's own.
    const sSYSTEM_INFO own = m_rig.controller->GetSysInfo()->GetRecord();
    QVERIFY(std::memcmp(own.bytes, engine.SysInfo().bytes, sizeof own.bytes) == 0);
}

void TestCliRouter::consoleRunsTheEngine()
{
    Console console;
    CZynlibCLI engine;
    QObject::connect(&cliout_zynmsr, &CliMessage::Display, &console, &Console::InsertMessage);
    console.SetEngine(&engine);
    console.SetEngine(&engine);   // set again: still one run per line
    QTest::keyClicks(&console, QStringLiteral("hel"));
    QTest::keyClick(&console, Qt::Key_Return);
    QTest::keyClicks(&console, QStringLiteral("help"));
    QTest::keyClick(&console, Qt::Key_Return);
    QTest::keyClicks(&console, QStringLiteral("rsf info"));
    QTest::keyClick(&console, Qt::Key_Return);
    const QString expected = QString::fromLatin1("CLI> hel" + kUnknown + "\nCLI> help" + kOverview + "\nCLI> rsf info"
                                                 + kNoController + "\nCLI> ")
                                 .replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QCOMPARE(console.toPlainText(), expected);
    QObject::disconnect(&cliout_zynmsr, nullptr, &console, nullptr);
}

void TestCliRouter::controllerReplacedBetweenCommands()
{
    // Another controller takes the address between two commands that change the controller:
    // the second is not carried out (and says so), nothing that changes anything reaches the
    // other controller, and the console's controller is given up.
    auto sim = std::make_unique<zynsim::Simulator>();
    QVERIFY(sim->addUdpController(kSwapped, zynsim::ControllerConfig()));
    const QList<QZynController*> added = ZynGetHost()->scan_controller_by_ip(QString::fromLatin1(kSwapped));
    QCOMPARE(added.size(), 1);
    QPointer<QZynController> ctrl = added.front();
    ctrl->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    ctrl->SetAuthorisationHold(QZynController::kAuthorisationSeconds);
    CZynlibCLI engine;
    CZynlibCLI::PasswordDialogs d;
    d.ask = [](const QString&, QString*) { return false; };
    engine.SetPasswordDialogs(d);
    engine.SetCtrl(ctrl.data());
    Captured out;
    const QByteArray ok = "\r\nGuiErrMsg<0x00>: Success.\n";
    engine.ProcessCmd({QStringLiteral("sys"), QStringLiteral("beeper"), QStringLiteral("p=1")});
    QCOMPARE(out.take(), ok);

    sim = std::make_unique<zynsim::Simulator>();
    auto other = sim->addUdpController(kSwapped, zynsim::ControllerConfig());
    QVERIFY(other);
    const uint8_t beeper = other->beeper();
    engine.ProcessCmd({QStringLiteral("sys"), QStringLiteral("beeper"), QStringLiteral("p=0")});
    QCOMPARE(out.take(), QByteArray("\r\nGuiErrMsg<0x15>: Controller Failed or Inactive.\n"));
    const std::vector<int> heard = commandsReceived(*other);
    QVERIFY(!heard.empty());
    QVERIFY(std::all_of(heard.begin(), heard.end(), [](int c) { return c == ZYN_CMD_GET_SYSINFO; }));
    QCOMPARE(other->beeper(), beeper);
    QTRY_VERIFY(ctrl.isNull());
    QVERIFY(ZynGetHost()->get_controller_by_ip(QString::fromLatin1(kSwapped)) == nullptr);
    emptyHost();
}

void TestCliRouter::readsAfterAQuietSpell()
{
    // A read after a quiet spell, the hold still open: a lapsed log-in is taken again by the road;
    // another controller at the address gets the confirming read alone and nothing is shown.
    const struct { const char* line; bool another; } cases[] = {{"sys info", false}, {"sys info", true}, {"rsf info", true}};
    for (const auto& k : cases) {
        QCOMPARE(m_rig.start(kEngine), QString());
        zynsim::FakeController& ctl = *m_rig.ctl;
        ctl.setLogInForEveryCommand(!k.another, 2000);
        CZynlibCLI engine;
        CZynlibCLI::PasswordDialogs d;
        d.ask = [](const QString&, QString* out) { return *out = QString::fromLatin1(kSimPassword), true; };
        d.refuse = [](const QString&, const QString&) {};
        engine.SetPasswordDialogs(d);
        engine.SetCtrl(m_rig.controller.get());
        Captured out;
        const QStringList words = QString::fromLatin1(k.line).split(QLatin1Char(' '));
        engine.ProcessCmd(words);
        const QByteArray first = out.take();   // the control
        QVERIFY2(first.contains("GuiErrMsg<0x00>: Success."), first.constData());
        QTRY_VERIFY_WITH_TIMEOUT(!ctl.loggedIn(), 10000);   // the log-in lapsed: a quiet spell too
        if (k.another)
            answerAsAnother(ctl, "Y000000000000996");
        ctl.clearLog();
        engine.ProcessCmd(words);
        QCOMPARE(out.take(), k.another ? QByteArray("\r\nGuiErrMsg<0x15>: Controller Failed or Inactive.\n") : first);
        QCOMPARE(commandsReceived(ctl), (k.another ? std::vector<int>{0x23} : std::vector<int>{0x23, 0x14, 0x23, 0x23}));
    }
}

QTEST_MAIN(TestCliRouter)
#include "test_cli_router.moc"
