// The controller object against the simulator: construction over both transports, the command
// road (log-in, retries, giving up), the host's controller list, and the cost of one object.
#include "controllerfixture.h"
#include "devices/enclosure.h"
#include "devices/event.h"
#include "devices/host.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"
#include "watcher/eventwatcher.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizer runtime's count of the bytes allocated and not yet freed.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace ctltest;
using namespace simtest;

namespace {

// Each test its own addresses: ctest runs the programs side by side.
const char* const kAddress = "127.0.0.73";
const char* const kSecond = "127.0.0.74";
const char* const kThird = "127.0.0.75";
const char* const kFourth = "127.0.0.76";
const char* const kSwapped = "127.0.2.1";
const char* const kRoad = "127.0.2.2";
const char* const kLongWait = "127.0.2.3";
const char* const kLate = "127.0.4.1";

size_t allocatedBytes()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}


const QString kRetryPattern = QStringLiteral("Controller error, retry");

Bytes passwordPayload(const char* text)
{
    Bytes field(16, 0);
    field[0] = uint8_t(std::strlen(text));
    std::memcpy(field.data() + 1, text, std::strlen(text));
    return field;
}

} // namespace

class TestController : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void constructionOverUdp();
    void constructionOverTheDriver();
    void displayTextRules();
    void failedSessionLeavesACompleteObject();
    void failedSnmpReadFallsBackToTheModel();
    void passwordRequiredLogsInOnce();
    void refusedLogInIsReturned();
    void checkPasswordIsNeverAnsweredByALogIn();
    void failuresThatAreNotRetried();
    void givenUpAfterThreeFailures();
    void silentAfterTheProbeIsNeverAdded();
    void cloneIsRefused();
    void hostSlots();
    void commandNames();
    void statusAndHolds();
    void commandsFromSeveralThreads();
    void recordsReadWhileRefilled();
    void stopDisconnects();
    void startCallsTheInstalledMakers();
    void costOfOneController();
    void readsAndChangesOnTheRoad();
    void changingCommandsConfirmTheController();
    void longWaitRule();
    void lateControllerIsWaitedFor();

private:
    // Receives the host's log records (and deletes them).
    void listenToHost();

    QTemporaryDir m_dir;
    ControllerRig m_rig;
    std::unique_ptr<zynsim::Simulator> m_sim;
    QStringList m_hostLog;
    QMetaObject::Connection m_hostLogConnection;
};

void TestController::initTestCase()
{
    fastPolls();
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    qputenv("ZYNMSR_DRIVER_DIR", (m_dir.path() + "/driver").toLocal8Bit());
    ControllerEventWatcherThread::Install();
    listenToHost();
}

void TestController::listenToHost()
{
    m_hostLogConnection = connect(ZynGetHost(), &QZynHost::LogMessage, this, [this](QZynLog* log) {
        m_hostLog << QStringLiteral("%1|%2|%3|%4").arg(log->flags).arg(log->source).arg(log->level).arg(log->text);
        delete log;
    });
}


void TestController::cleanup()
{
    emptyHost();
    m_rig.stop();
    m_sim.reset();
    m_hostLog.clear();
}

void TestController::constructionOverUdp()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynController& c = *m_rig.controller;
    QCOMPARE(c.type, int(QZynDevice::Controller));
    QCOMPARE(c.name, QStringLiteral("Controller"));
    QCOMPARE(c.GetState(), int(QZynController::StateConnecting));
    QVERIFY(c.IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH));
    QCOMPARE(c.GetStatus(), 1u);
    QCOMPARE(c.GetConnectionType(), 3);
    QCOMPARE(c.GetHostSlot(), -1);
    QCOMPARE(c.GetSysInfo()->GetSerialNumber().left(int(m_rig.ctl->serial().size())),
             QString::fromStdString(m_rig.ctl->serial()));
    QCOMPARE(c.GetSysInfo()->GetModelName(), QStringLiteral("ZRC-1880-1880"));
    QCOMPARE(c.GetSysInfo()->GetIPAddressString(), QString::fromLatin1(kAddress));
    QCOMPARE(c.GetSNMPInfo()->GetName(), QStringLiteral("varnel-raid-127.0.0.73"));
    QCOMPARE(c.GetSNMPInfo()->GetLocation(), QStringLiteral("Machine room"));
    QCOMPARE(c.GetSNMPInfo()->GetContact(), QStringLiteral("Storage administrator"));
    QCOMPARE(c.GetText(), QStringLiteral("varnel-raid-127.0.0.73 Machine room"));
    QCOMPARE(QZynController::StateIconPath(c.GetState()), QStringLiteral(":/images/icons/devices/controller.png"));
    QCOMPARE(QZynController::StateIconPath(3), QStringLiteral(":/images/icons/event/warning.png"));
    QVERIFY(c.GetGuiItem() != nullptr);
    QVERIFY(c.GetGuiItem()->diskModel == nullptr);
    QCOMPARE(c.GetGuiItem()->controller, &c);
    // Every device object is there, none of them present.
    QVERIFY(c.GetRaidSet(127) != nullptr && !c.GetRaidSet(127)->IsPresent());
    QCOMPARE(c.GetVolumeSet(127)->GetIndex(), 127);
    QCOMPARE(c.GetEvent(255)->GetIndex(), 255);
    QCOMPARE(c.GetEnclosure(31)->GetIndex(), 31);
    QCOMPARE(c.GetDisk(QZynDiskIndex(255, 31))->GetIndex(), QZynDiskIndex(255, 31));
    std::vector<int> raidSets;
    c.GetRaidSetCount(raidSets);
    QVERIFY(raidSets.empty());
}

void TestController::constructionOverTheDriver()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    const std::string folder = (m_dir.path() + "/driver").toStdString();
    auto ctl = m_sim->addDriverController(folder, 0, configOf(zynsim::Profile::Older));
    QVERIFY2(ctl, m_sim->error().c_str());
    auto* transport = new DarwinUserClientInterface();
    QVERIFY(transport->init(0));
    QZynController c(transport, QZynController::ConnectionDriver);
    QCOMPARE(c.GetState(), 1);
    QCOMPARE(c.GetSysInfo()->GetSerialNumber().left(int(ctl->serial().size())), QString::fromStdString(ctl->serial()));
    QVERIFY(!c.IsEnclosureFamily());
    QCOMPARE(c.GetText(), QStringLiteral("varnel-raid-slot0 Machine room"));

    // Without SNMP name and location a driver controller is its model name alone.
    char empty[] = "";
    QCOMPARE(c.ZynSetSnmpName(empty), 0u);
    QCOMPARE(c.ZynSetSnmpLocation(empty), 0u);
    auto* second = new DarwinUserClientInterface();
    QVERIFY(second->init(0));
    QZynController again(second, QZynController::ConnectionDriver);
    QCOMPARE(again.GetText(), QStringLiteral("ZRC-1880-1880"));
    QVERIFY(again == c);
    m_sim->removeDriverController(ctl);
}

void TestController::displayTextRules()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynController& c = *m_rig.controller;
    auto textWith = [&](const char* name, const char* location) {
        _SNMP_CONFIG snmp = c.GetSNMPInfo()->GetRecord();
        zynwire::putText(snmp.bytes + _SNMP_CONFIG::kName, 32, name);
        zynwire::putText(snmp.bytes + _SNMP_CONFIG::kLocation, 32, location);
        c.GetSNMPInfo()->SetupInfo(&snmp);
        return c.GetText();
    };
    QCOMPARE(textWith("rack-7", ""), QStringLiteral("rack-7"));
    QCOMPARE(textWith("", "Room 2"), QStringLiteral("ZRC-1880-1880 Room 2"));
    QCOMPARE(textWith("", ""), QStringLiteral("ZRC-1880-1880(127.0.0.73)"));
    // Full 32-character fields: the location does not run into the name.
    const std::string location(32, 'L');
    const std::string name(32, 'N');
    QCOMPARE(textWith(name.c_str(), location.c_str()),
             QString::fromStdString(name) + QLatin1Char(' ') + QString::fromStdString(location));

    // The model suffix is taken up to its NUL, and never past the record.
    sSYSTEM_INFO info = c.GetSysInfo()->GetRecord();
    zynwire::putText(info.bytes + sSYSTEM_INFO::kModelSuffix, 48, "-X");
    c.GetSysInfo()->SetupInfo(&info);
    QCOMPARE(c.GetSysInfo()->GetModelName(), QStringLiteral("ZRC-1880-X"));
    std::memset(info.bytes + sSYSTEM_INFO::kModelSuffix, 'S', 48);
    c.GetSysInfo()->SetupInfo(&info);
    QCOMPARE(c.GetSysInfo()->GetModelName(), QStringLiteral("ZRC-1880") + QString(48, QLatin1Char('S')));

    // Address texts, and the fields that decide identity.
    const uint8_t ip[] = {192, 168, 0, 5};
    const uint8_t mac[] = {0, 27, 77, 10, 255, 1};
    std::memcpy(info.bytes + sSYSTEM_INFO::kIpAddress, ip, 4);
    std::memcpy(info.bytes + sSYSTEM_INFO::kMacAddress, mac, 6);
    QZynSysInfo a(&info);
    QCOMPARE(a.GetIPAddressString(), QStringLiteral("192.168.0.5"));
    QCOMPARE(a.GetMacAddressString(), QStringLiteral("00-1b-4d-0a-ff-01"));
    sSYSTEM_INFO other = info;
    zynwire::putText(other.bytes, 40, "Another vendor");
    other.bytes[sSYSTEM_INFO::kIpAddress] = 10;
    QVERIFY(QZynSysInfo(&other) == a);
    for (int offset : {40, 55, 152, 157, 56, 71, 104, 111}) {
        sSYSTEM_INFO changed = info;
        changed.bytes[offset] ^= 0x01;
        QVERIFY2(QZynSysInfo(&changed) != a, qPrintable(QString::number(offset)));
    }
    QVERIFY(QZynSysInfo(nullptr) == QZynSysInfo(nullptr));
    QCOMPARE(QZynSysInfo(nullptr).GetSerialNumber(), QString(16, QChar(0)));
    QCOMPARE(QZynSysInfo(nullptr).GetVendorName().size(), 40);
}

void TestController::failedSessionLeavesACompleteObject()
{
    QTest::ignoreMessage(QtDebugMsg, "Failed to ZynInitSession(...)");
    QZynController c(nullptr, QZynController::ConnectionEthernet);
    QCOMPARE(c.GetState(), 1);
    QVERIFY(c.IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH));
    const sSYSTEM_INFO info = c.GetSysInfo()->GetRecord();
    QVERIFY(std::all_of(info.bytes, info.bytes + 256, [](uint8_t b) { return b == 0; }));
    const _SNMP_CONFIG snmp = c.GetSNMPInfo()->GetRecord();
    QVERIFY(std::all_of(snmp.bytes, snmp.bytes + 136, [](uint8_t b) { return b == 0; }));
    QVERIFY(c.GetRaidSet(0) && c.GetVolumeSet(0) && c.GetEvent(0) && c.GetEnclosure(0));
    QCOMPARE(c.GetText(), QString(8, QChar(0)) + QStringLiteral("(0.0.0.0)"));
    sSYSTEM_INFO out;
    QCOMPARE(c.ZynGetSysInfo(&out), u32(ZYN_ERR_NO_TRANSPORT));
}

void TestController::failedSnmpReadFallsBackToTheModel()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    auto ctl = m_sim->addUdpController(kAddress, zynsim::ControllerConfig());
    QVERIFY(ctl);
    ctl->script(0x1F, 1000, Answer::status('G'));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(
        "^\"ZRC-1880-1880\\(127.0.0.73\\)\" Failed to ZynGetSnmpInfo\\(\\.\\.\\.\\), status = +\\d+$")));
    QZynController c(udpTransport(kAddress), QZynController::ConnectionEthernet);
    const _SNMP_CONFIG snmp = c.GetSNMPInfo()->GetRecord();
    QVERIFY(std::all_of(snmp.bytes, snmp.bytes + 136, [](uint8_t b) { return b == 0; }));
    QCOMPARE(c.GetText(), QStringLiteral("ZRC-1880-1880(127.0.0.73)"));
    QCOMPARE(c.GetState(), 1);
}

void TestController::passwordRequiredLogsInOnce()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    zynsim::FakeController& ctl = *m_rig.ctl;
    ctl.setPasswordRequired(true);
    ctl.clearLog();
    // Each try of the command is confirmed by a system-information read, the road's log-in not.
    QCOMPARE(m_rig.controller->ZynMuteBeeper(), 0u);
    QCOMPARE(commandsReceived(ctl), (std::vector<int>{0x23, 0x30, 0x14, 0x23, 0x30}));
    QCOMPARE(payloads(ctl, 0x14).front(), passwordPayload(QZynController::kControllerPassword));
    QVERIFY(ctl.loggedIn());
    QCOMPARE(ctl.beeperMutes(), 1);
    // Logged in: the next command goes alone; reads never asked.
    ctl.clearLog();
    QCOMPARE(m_rig.controller->ZynMuteBeeper(), 0u);
    QCOMPARE(commandsReceived(ctl), (std::vector<int>{0x23, 0x30}));
    // The need-auth status is the application's own prompt: the road leaves it.
    QVERIFY(m_rig.controller->IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH));

    // Asked again after the log-in: the answer stands, no second log-in.
    ctl.clearLog();
    ctl.script(0x30, 2, Answer::status('M'));
    QCOMPARE(m_rig.controller->ZynMuteBeeper(), u32(ZYN_ERR_PASSWORD_REQUIRED));
    QCOMPARE(commandsReceived(ctl), (std::vector<int>{0x23, 0x30, 0x14, 0x23, 0x30}));

    // Every command asks: the run's first read is asked, then the log-in, the read, the command;
    // within the run the command, the log-in, the command (unless a busy machine ended the run).
    const QZynController::Run run(m_rig.controller.get());
    sGUI_RAIDSET raid;
    ctl.setLogInForEveryCommand(true);
    ctl.clearLog();
    QCOMPARE(m_rig.controller->ZynGetRaidSetInfo(0, &raid), 0u);
    QCOMPARE(commandsReceived(ctl), (std::vector<int>{0x23, 0x14, 0x23, 0x20}));
    ctl.setLogInForEveryCommand(true);
    ctl.clearLog();
    QElapsedTimer read;
    read.start();
    QCOMPARE(m_rig.controller->ZynGetRaidSetInfo(0, &raid), 0u);
    const std::vector<int> sent = commandsReceived(ctl);
    QVERIFY(sent == (std::vector<int>{0x20, 0x14, 0x20})
            || (read.elapsed() > QZynController::kRunGapMs && sent == std::vector<int>{0x23, 0x14, 0x23, 0x20}));
}

void TestController::refusedLogInIsReturned()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    zynsim::FakeController& ctl = *m_rig.ctl;
    ctl.setPasswordRequired(true);
    ctl.script(0x14, 1, Answer::status('J'));
    ctl.clearLog();
    QCOMPARE(m_rig.controller->ZynMuteBeeper(), u32('J'));
    QCOMPARE(commandsReceived(ctl), (std::vector<int>{0x23, 0x30, 0x14}));
    QCOMPARE(ctl.beeperMutes(), 0);
}

void TestController::checkPasswordIsNeverAnsweredByALogIn()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    zynsim::FakeController& ctl = *m_rig.ctl;
    ctl.script(0x14, 1, Answer::status('M'));
    char password[] = "0000";
    QCOMPARE(m_rig.controller->ZynChkPassword(password), u32(ZYN_ERR_PASSWORD_REQUIRED));
    QCOMPARE(commandsReceived(ctl), (std::vector<int>{0x23, 0x14}));
    QCOMPARE(payloads(ctl, 0x14).front(), passwordPayload("0000"));

    // The user's password only after a read that showed this controller: the road's log-in
    // first where that read asks; refused, the user's is not sent.
    const struct { bool everyCommand, roadRefused; u32 result; std::vector<Bytes> passwords; } cases[] = {
        {true, false, ZYN_OK, {passwordPayload(QZynController::kControllerPassword), passwordPayload("0000")}},
        {true, true, u32('J'), {passwordPayload(QZynController::kControllerPassword)}},
        {false, true, ZYN_OK, {passwordPayload("0000")}},
    };
    for (const auto& k : cases) {
        ctl.setPasswordRequired(true);
        ctl.setLogInForEveryCommand(k.everyCommand);
        ctl.setRoadPasswordRefused(k.roadRefused);
        ctl.clearLog();
        QCOMPARE(m_rig.controller->ZynChkPassword(password), k.result);
        QCOMPARE(payloads(ctl, 0x14), k.passwords);
        QCOMPARE(commandsReceived(ctl).size(), 2 * k.passwords.size());
        QCOMPARE(ctl.loggedIn(), k.result == ZYN_OK);
    }
}

void TestController::failuresThatAreNotRetried()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    zynsim::FakeController& ctl = *m_rig.ctl;
    MessageLog messages;
    int length = 0;
    // Refused before anything is sent.
    QCOMPARE(m_rig.controller->ZynCmdReadWrite(0x30, nullptr, -1, nullptr, 0, length), u32(ZYN_ERR_INVALID_ARG));
    QVERIFY(commandsReceived(ctl).empty());
    // A status letter, and a reply with a bad checksum, are answers: one frame each.
    ctl.script(0x30, 1, Answer::status('G'));
    QCOMPARE(m_rig.controller->ZynMuteBeeper(), u32('G'));
    Answer bad = Answer::model();
    bad.badChecksum = true;
    ctl.script(0x30, 1, bad);
    QCOMPARE(m_rig.controller->ZynMuteBeeper(), u32(ZYN_ERR_BAD_FRAME));
    QCOMPARE(commandsReceived(ctl), (std::vector<int>{0x23, 0x30, 0x23, 0x30}));
    // One silent try and then an answer: one retry line, and the answer.
    ctl.script(0x30, 1, Answer::silence());
    QCOMPARE(m_rig.controller->ZynMuteBeeper(), 0u);
    QCOMPARE(messages.matching(kRetryPattern),
             QStringList{QStringLiteral("[ZRC-1880-1880]Controller error, retry[2] GUI command(30,GUI_MUTE_BEEPER), status = 0x14")});
    QCOMPARE(m_rig.controller->GetState(), 1);
}

void TestController::givenUpAfterThreeFailures()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    auto ctl = m_sim->addUdpController(kAddress, zynsim::ControllerConfig());
    QVERIFY(ctl);
    QZynHost* host = ZynGetHost();
    const QList<QZynController*> added = host->scan_controller_by_ip(QString::fromLatin1(kAddress));
    QCOMPARE(added.size(), 1);
    QPointer<QZynController> c = added.front();
    const int slot = c->GetHostSlot();
    QVERIFY(slot >= 0);
    QCOMPARE(host->get_controller(slot), c.data());
    QCOMPARE(m_hostLog, QStringList{QStringLiteral("4|2|4|varnel-raid-127.0.0.73 Machine room connected.")});

    QSignalSpy changes(host, &QZynHost::DeviceChanged);
    ctl->setSilentAfterFrames(0);
    ctl->clearLog();
    for (int left = 2; left >= 0; --left)
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral(
            "[ZRC-1880-1880]Controller error, retry[%1] GUI command(30,GUI_MUTE_BEEPER), status = 0x14").arg(left)));
    QCOMPARE(c->ZynMuteBeeper(), u32(ZYN_ERR_TRANSPORT_OTHER));
    QCOMPARE(commandsReceived(*ctl).size(), size_t(0));   // silent: nothing logged as received
    QCOMPARE(c->GetState(), int(QZynController::StateOffline));
    QVERIFY(host->get_controller(slot) == nullptr);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).value<QZynDevice*>(), static_cast<QZynDevice*>(c.data()));
    QCOMPARE(changes.at(0).at(1).toInt(), 1);
    QCOMPARE(m_hostLog.size(), 2);
    QCOMPARE(m_hostLog.at(1), QStringLiteral("4|2|4|varnel-raid-127.0.0.73 Machine room disconnected."));

    // Until it is deleted, every command ends at once.
    ctl->setSilentAfterFrames(-1);
    ctl->clearLog();
    MessageLog messages;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(c->ZynMuteBeeper(), u32(ZYN_ERR_TRANSPORT_OTHER));
    QVERIFY(timer.elapsed() < 100);
    QVERIFY(ctl->log().empty());
    QVERIFY(messages.lines().isEmpty());
    QTRY_VERIFY(c.isNull());
    QCOMPARE(changes.count(), 1);
}

void TestController::silentAfterTheProbeIsNeverAdded()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    zynsim::ControllerConfig config;
    config.silentAfterFrames = 1;   // the probe only
    auto ctl = m_sim->addUdpController(kSecond, config);
    QVERIFY(ctl);
    QZynHost* host = ZynGetHost();
    const int before = host->get_total_controllers();
    QSignalSpy changes(host, &QZynHost::DeviceChanged);
    MessageLog messages;
    QVERIFY(host->scan_controller_by_ip(QString::fromLatin1(kSecond)).isEmpty());
    QCOMPARE(messages.matching(kRetryPattern),
             (QStringList{QStringLiteral("[]Controller error, retry[2] GUI command(13,GUI_IDENTIFY), status = 0x14"),
                          QStringLiteral("[]Controller error, retry[1] GUI command(13,GUI_IDENTIFY), status = 0x14"),
                          QStringLiteral("[]Controller error, retry[0] GUI command(13,GUI_IDENTIFY), status = 0x14")}));
    QCOMPARE(messages.matching(QStringLiteral("not added")).size(), 1);
    QCOMPARE(host->get_total_controllers(), before);
    QTest::qWait(50);
    QCOMPARE(changes.count(), 0);
    // The log list says so, as for an address where no controller answers at all.
    QCOMPARE(m_hostLog, QStringList{QStringLiteral("4|2|2|No controller found at %1").arg(QLatin1String(kSecond))});
}

void TestController::cloneIsRefused()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    zynsim::ControllerConfig config;
    config.serial = "Y0000000000CLONE";
    config.mac = {0x02, 0x56, 0x52, 0x00, 0x00, 0x42};
    auto first = m_sim->addUdpController(kAddress, config);
    QVERIFY(first);
    QVERIFY(m_sim->addUdpController(kSecond, config));
    QZynHost* host = ZynGetHost();
    QCOMPARE(host->scan_controller_by_ip(QString::fromLatin1(kAddress)).size(), 1);
    // A listed address is not probed again.
    const int probes = first->framesReceived(0x13);
    QVERIFY(host->scan_controller_by_ip(QString::fromLatin1(kAddress)).isEmpty());
    QCOMPARE(first->framesReceived(0x13), probes);
    const int total = host->get_total_controllers();
    QVERIFY(host->scan_controller_by_ip(QString::fromLatin1(kSecond)).isEmpty());
    QCOMPARE(host->get_total_controllers(), total);
    QCOMPARE(m_hostLog.size(), 1);
    QVERIFY(host->get_controller_by_ip(QString::fromLatin1(kSecond)) == nullptr);
    QVERIFY(host->get_controller_by_ip(QString::fromLatin1(kAddress)) != nullptr);
}

void TestController::hostSlots()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    for (const char* address : {kAddress, kSecond, kThird, kFourth})
        QVERIFY(m_sim->addUdpController(address, zynsim::ControllerConfig()));
    QZynHost* host = ZynGetHost();
    QZynController* first = host->scan_controller_by_ip(QString::fromLatin1(kAddress)).value(0);
    QZynController* second = host->scan_controller_by_ip(QString::fromLatin1(kSecond)).value(0);
    QZynController* third = host->scan_controller_by_ip(QString::fromLatin1(kThird)).value(0);
    QVERIFY(first && second && third);
    QCOMPARE(first->GetHostSlot(), 0);
    QCOMPARE(third->GetHostSlot(), 2);
    QCOMPARE(host->get_controller_index(second), 1);
    QVERIFY_EXCEPTION_THROWN(host->get_controller(3), std::out_of_range);

    // Removing twice changes nothing the second time.
    QVERIFY(host->remove_controller(first));
    QVERIFY(!host->remove_controller(first));
    delete first;
    QZynController* fourth = host->scan_controller_by_ip(QString::fromLatin1(kFourth)).value(0);
    QVERIFY(fourth);
    QCOMPARE(fourth->GetHostSlot(), 0);
    QCOMPARE(host->get_total_controllers(), 3);
    QCOMPARE(m_hostLog.filter(QStringLiteral("disconnected")).size(), 1);

    // An address nobody has: true, and nothing happens.
    QSignalSpy changes(host, &QZynHost::DeviceChanged);
    QVERIFY(host->remove_controller_by_ip(QStringLiteral("127.0.0.99")));
    QCOMPARE(changes.count(), 0);
    QPointer<QZynController> gone = second;
    QTest::ignoreMessage(QtDebugMsg, "remove_controller_by_ip(127.0.0.74)");
    QTest::ignoreMessage(QtDebugMsg, "Stopping controller");
    QVERIFY(host->remove_controller_by_ip(QString::fromLatin1(kSecond)));
    QCOMPARE(changes.count(), 1);
    QVERIFY(host->get_controller(1) == nullptr);
    QTRY_VERIFY(gone.isNull());
    QVERIFY(host->get_controller_by_entryid(0x100000101ull) == nullptr);

    // Nothing at an address: one error record.
    m_hostLog.clear();
    QVERIFY(host->scan_controller_by_ip(QStringLiteral("127.0.0.98")).isEmpty());
    QCOMPARE(m_hostLog, QStringList{QStringLiteral("4|2|2|No controller found at 127.0.0.98")});
    QVERIFY(!host->add_controller(nullptr));
}

void TestController::commandNames()
{
    QCOMPARE(QZynController::CommandName(0x10), QStringLiteral("GUI_SET_SERIAL"));
    QCOMPARE(QZynController::CommandName(0x14), QStringLiteral("GUI_CHECK_PASSWORD"));
    QCOMPARE(QZynController::CommandName(0x1F), QStringLiteral("GUI_MISC"));
    QCOMPARE(QZynController::CommandName(0x24), QStringLiteral("GUI_CLEAR_EVENT"));
    QCOMPARE(QZynController::CommandName(0x39), QStringLiteral("GUI_DHCP_IP"));
    QCOMPARE(QZynController::CommandName(0x43), QStringLiteral("GUI_IDENTIFY_DEVICE"));
    QCOMPARE(QZynController::CommandName(0x56), QStringLiteral("GUI_OFFLINE_RAIDSET"));
    QCOMPARE(QZynController::CommandName(0x64), QStringLiteral("GUI_STOP_CHECK_VOLUME"));
    for (int command : {0x00, 0x0F, 0x25, 0x26, 0x3A, 0x44, 0x57, 0x65, 0x6F, 0x70, 0xEE, 0xFF})
        QCOMPARE(QZynController::CommandName(u8(command)), QString());
}

void TestController::statusAndHolds()
{
    QTest::ignoreMessage(QtDebugMsg, "Failed to ZynInitSession(...)");
    QZynController c(nullptr, QZynController::ConnectionDriver);
    QCOMPARE(c.GetHwMonitorHold(), 1);
    QCOMPARE(c.GetAuthorisationHold(), 0);
    c.ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    QVERIFY(!c.IsStatus(1));
    c.SetAuthorisationHold(QZynController::kAuthorisationSeconds);
    QCOMPARE(c.DecrementAuthorisationHold(), 300);
    QCOMPARE(c.GetAuthorisationHold(), 299);
    c.SetStatus(1);
    QCOMPARE(c.GetStatus(), 1u);
    c.SetState(QZynController::StateOffline);
    int length = 0;
    QCOMPARE(c.ZynCmdReadWrite(0x23, nullptr, 0, nullptr, 0, length), u32(ZYN_ERR_TRANSPORT_OTHER));
    QCOMPARE(c.GetText(), QString(8, QChar(0)));
}

void TestController::commandsFromSeveralThreads()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    const std::string folder = (m_dir.path() + "/driver").toStdString();
    auto ctl = m_sim->addDriverController(folder, 0, zynsim::ControllerConfig());
    QVERIFY(ctl);
    auto* transport = new DarwinUserClientInterface();
    QVERIFY(transport->init(0));
    QZynController c(transport, QZynController::ConnectionDriver);
    ctl->clearLog();
    std::atomic<int> failures{0};
    auto work = [&](bool reads) {
        for (int i = 0; i < 40; ++i) {
            if (reads) {
                sSYSTEM_INFO info;
                failures += c.ZynGetSysInfo(&info) != 0;
                failures += c.GetState() != 1;
            } else {
                int counter = 0;
                failures += c.ZynPollEvent(&counter) != 0;
            }
        }
    };
    std::thread a(work, true);
    std::thread b(work, false);
    work(true);
    a.join();
    b.join();
    QCOMPARE(failures.load(), 0);
    QVERIFY(ctl->framesReceived(0x23) >= 80);   // and one more for each quiet spell a busy machine made
    QCOMPARE(ctl->framesReceived(0x19), 40);
    QCOMPARE(ctl->overlappingExchanges(), 0);
    m_sim->removeDriverController(ctl);
}

void TestController::recordsReadWhileRefilled()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynController& c = *m_rig.controller;
    sGUI_RAIDSET r;
    QCOMPARE(c.ZynGetRaidSetInfo(0, &r), 0u);
    sGUI_VOLUMESET v;
    QCOMPARE(c.ZynGetVolSetInfo(0, &v), 0u);
    sEVET_DATA e;
    std::memset(&e, 0, sizeof e);
    e.set(1, 0);
    e.setName("Raid Set # 000");
    c.GetEvent(0)->SetupInfo(&e);
    std::atomic<bool> done{false};
    // The polling thread's part: refilling records and re-parsing events.
    std::thread writer([&] {
        sGUI_VOLUMESET busy = v;
        for (int i = 0; !done; ++i) {
            busy.setState(i % 2 ? 0x8 : 0);
            busy.setProgress(uint32_t(i % 1000));
            c.GetVolumeSet(0)->SetupInfo(&busy);
            c.GetRaidSet(0)->SetupInfo(i % 3 ? &r : nullptr);
            e.set(uint8_t(1 + i % 6), uint8_t(i % 40));
            c.GetEvent(0)->SetupInfo(&e);
        }
    });
    // The GUI thread's part: reading texts.
    QElapsedTimer timer;
    timer.start();
    int reads = 0;
    int wrong = 0;
    while (timer.elapsed() < 300) {
        const QString volume = c.GetVolumeSet(0)->GetStateString();
        wrong += !(volume == QLatin1String("Normal") || volume.startsWith(QLatin1String("Rebuilding(")));
        wrong += c.GetRaidSet(0)->GetStateString().isEmpty();
        wrong += c.GetEvent(0)->GetEventText().isEmpty();
        c.GetEvent(0)->GetDeviceText();
        ++reads;
    }
    done = true;
    writer.join();
    QCOMPARE(wrong, 0);
    QVERIFY(reads > 0);
}

void TestController::stopDisconnects()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynController& c = *m_rig.controller;
    int received = 0;
    connect(&c, &QZynController::DeviceChanged, this, [&received](QZynDevice*, int) { ++received; });
    QTest::ignoreMessage(QtDebugMsg, "Starting controller");
    c.Start();
    emit c.DeviceChanged(&c, 2);
    QCOMPARE(received, 1);
    QTest::ignoreMessage(QtDebugMsg, "Stopping controller");
    c.Stop();
    emit c.DeviceChanged(&c, 2);
    QCOMPARE(received, 1);
}

namespace {
QString g_made;
void makeA(QZynController* c) { g_made += c->GetGuiItem()->diskModel == nullptr ? "a" : "A"; }
void makeB(QZynController*) { g_made += "b"; }
}   // namespace

void TestController::startCallsTheInstalledMakers()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynController& c = *m_rig.controller;
    // Each maker once, in the order installed, at every start; the polling worker made once.
    QZynController::AddStartMaker(makeA);
    QZynController::AddStartMaker(makeB);
    QZynController::AddStartMaker(makeA);
    QTest::ignoreMessage(QtDebugMsg, "Starting controller");
    c.Start();
    QZynPoller* poller = c.GetEventWatcher();
    QVERIFY(poller != nullptr);
    QTRY_VERIFY(poller->IsRunning());
    c.StopEventWatcher();
    QVERIFY(!poller->IsRunning());
    QTest::ignoreMessage(QtDebugMsg, "Starting controller");
    c.Start();
    QCOMPARE(g_made, QStringLiteral("abab"));
    QCOMPARE(c.GetEventWatcher(), poller);
    QTRY_VERIFY(poller->IsRunning());
}

void TestController::costOfOneController()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    auto ctl = m_sim->addUdpController(kAddress, zynsim::ControllerConfig());
    QVERIFY(ctl);
    EthernetInterface* transport = udpTransport(kAddress);
    QVERIFY(transport);
    const size_t before = allocatedBytes();
    auto c = std::make_unique<QZynController>(transport, QZynController::ConnectionEthernet);
    const size_t after = allocatedBytes();
    QCOMPARE(c->GetState(), 1);
    const double megabytes = double(after - before) / (1024.0 * 1024.0);
    qInfo("one controller object: %.2f MiB", megabytes);
    QVERIFY2(after - before < 8u * 1024 * 1024, qPrintable(QString::number(megabytes)));
}

void TestController::readsAndChangesOnTheRoad()
{
    // A command that changes the controller, and a password check, is preceded by one
    // system-information read; a read goes alone while the run holds. `command` is the frame of
    // the operation (its last one when it sends several).
    QCOMPARE(m_rig.start(kRoad), QString());
    QZynController& c = *m_rig.controller;
    zynsim::FakeController& ctl = *m_rig.ctl;
    struct Row {
        const char* name;
        int command;
        bool confirmed;
        std::function<void()> call;
    };
    sGUI_RAIDSET raid;
    sSYSTEM_INFO info;
    int counter = 0;
    u8 rtc[64] = {};
    u8 page[1024] = {};
    sGUI_EXP_INFO expander;
    std::vector<u8> key(CZynlib::kSedKeyFileSize);
    char request[] = "GET / HTTP/1.0\r\n\r\n";
    std::vector<char> answer(kZynScratchSize);
    int answered = 0;
    char firmware[2 * CZynlib::kFirmwareBlockSize + 1] = {};
    const Row rows[] = {
        {"raid set record", 0x20, false, [&] { c.ZynGetRaidSetInfo(0, &raid); }},
        {"system information", 0x23, false, [&] { c.ZynGetSysInfo(&info); }},
        {"event counter", 0x19, false, [&] { c.ZynPollEvent(&counter); }},
        {"clock read", 0x1F, false, [&] { c.ZynGetRTCInfo(rtc, sizeof rtc); }},
        {"SMART page", 0x1C, false, [&] { c.ZynExeSMART(ZYN_SMART_READ_PAGE, 0, 0, page); }},
        {"expander information", 0x47, false, [&] { c.ZynGetExpanderInfo(0, &expander); }},
        {"disk key export", 0x5A, false, [&] { c.ZynExportSEDKey(key.data()); }},
        {"web page", 0x16, false, [&] { c.ZynHttp(request, int(std::strlen(request)), answer.data(), &answered); }},
        {"password check", 0x14, true, [&] { char p[] = "0000"; c.ZynChkPassword(p); }},
        {"log-out", 0x15, false, [&] { c.ZynLogOut(); }},
        {"mute beeper", 0x30, true, [&] { c.ZynMuteBeeper(); }},
        {"clock", 0x1D, true, [&] { c.ZynSetTime(1); }},
        {"setting", 0x1F, true, [&] { c.ZynSetDiskCache(1); }},
        {"event log cleared", 0x24, true, [&] { c.ClearEventLog(); }},
        {"disk located", 0x43, true, [&] { c.ZynIdentifyDisk(1); }},
        {"SMART self-test", 0x1C, true, [&] { c.ZynExeSMART(4, 0, 1, page); }},
        {"expander error log", 0x47, true, [&] { c.ZynClearExpanderErrorLog(0); }},
        {"disk key cleared", 0x5A, true, [&] { c.ZynClearSEDKey(); }},
    };
    QElapsedTimer sinceLastRow;
    sinceLastRow.start();
    for (const Row& row : rows) {
        ctl.clearLog();
        row.call();
        const std::vector<int> sent = commandsReceived(ctl);
        const auto last = std::find(sent.rbegin(), sent.rend(), row.command);
        QVERIFY2(last != sent.rend(), row.name);
        const bool confirmed = std::next(last) != sent.rend() && *std::next(last) == ZYN_CMD_GET_SYSINFO;
        // A machine so busy that the road stood quiet longer than the gap confirms a read too.
        const bool mayHaveEnded = sinceLastRow.restart() > QZynController::kRunGapMs;
        QVERIFY2(confirmed == row.confirmed || (confirmed && mayHaveEnded), row.name);
        if (!row.confirmed && row.command != ZYN_CMD_GET_SYSINFO && !mayHaveEnded)
            QVERIFY2(std::count(sent.begin(), sent.end(), int(ZYN_CMD_GET_SYSINFO)) == 0, row.name);
    }
    // After a quiet second the next exchange, a read too, is confirmed first, until an answer that
    // is the record (not a status or a short reply); so is a read after one that went unanswered.
    const auto quietSpell = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1000)); };
    quietSpell();
    ctl.clearLog();
    ctl.script(0x23, 1, Answer::status('G'));
    c.ZynGetRaidSetInfo(0, &raid);
    ctl.script(0x23, 1, Answer::data(Bytes(8, 0)));
    c.ZynGetRaidSetInfo(0, &raid);
    c.ZynGetRaidSetInfo(0, &raid);
    ctl.script(0x20, 1, Answer::silence());
    c.ZynGetRaidSetInfo(0, &raid);
    QCOMPARE(commandsReceived(ctl), (std::vector<int>{0x23, 0x23, 0x23, 0x20, 0x20, 0x23, 0x20}));
    // Outside a run every block of a firmware image is confirmed on its own.
    ctl.clearLog();
    c.ZynUpdateFirmware(firmware, int(sizeof firmware));
    QCOMPARE(commandsReceived(ctl), (std::vector<int>{0x23, 0x1F, 0x23, 0x1F, 0x23, 0x1F}));
    // A run's first exchange is confirmed although the road's run holds; then only after a lost
    // frame or a quiet spell ends the run.
    {
        const QZynController::Run run(&c);
        ctl.clearLog();
        c.ZynGetRaidSetInfo(0, &raid);
        c.ZynUpdateFirmware(firmware, int(sizeof firmware));
        ctl.script(0x30, 1, Answer::silence());
        c.ZynMuteBeeper();
        c.ZynMuteBeeper();
        quietSpell();
        c.ZynMuteBeeper();
        QCOMPARE(commandsReceived(ctl),
                 (std::vector<int>{0x23, 0x20, 0x1F, 0x1F, 0x1F, 0x30, 0x23, 0x30, 0x30, 0x23, 0x30}));
    }
    QCOMPARE(c.GetState(), int(QZynController::StateConnecting));
}

namespace {
zynsim::FakeController* g_pausing = nullptr;
int g_exchanges = 0;
// After the confirming read and the image's first block, the controller pauses for a second.
void pauseAfterFirstBlock(void*)
{
    if (++g_exchanges == 2 && g_pausing != nullptr)
        g_pausing->pauseFor(1000);
}
}   // namespace

void TestController::lateControllerIsWaitedFor()
{
    // A controller that is only late is waited for as the command would wait: a driver
    // controller restarting, a network controller pausing in a firmware update. One that
    // stays silent is given up after the waits the command alone would make.
    struct Case {
        const char* name;
        bool driver;
        bool silentForGood;
        u32 result;
        std::vector<int> heard;   // besides what the driver controller heard before its restart
        int retryLines;
    };
    const Case cases[] = {
        {"driver controller restarting", true, false, ZYN_OK, {0x23, 0x31}, 1},
        {"driver controller silent for good", true, true, ZYN_ERR_TRANSPORT_OTHER, {}, 1},
        {"network controller pausing in a firmware update", false, false, ZYN_OK, {0x23, 0x1F, 0x1F, 0x1F}, 0},
        {"network controller silent for good", false, true, ZYN_ERR_TRANSPORT_OTHER, {}, 3},
    };
    const std::string folder = (m_dir.path() + "/driver").toStdString();
    const uint64_t entryId = 0x100000000ull + 0x301;
    char firmware[2 * CZynlib::kFirmwareBlockSize + 1] = {};
    for (const Case& k : cases) {
        zynsim::ControllerConfig config;
        config.resetSilenceMs = k.silentForGood ? 600000 : 500;
        QZynController* c = nullptr;
        std::shared_ptr<zynsim::FakeController> ctl;
        if (k.driver) {
            // Waits of a quarter of the product's, so the restart outlasts the read's own tries.
            ZynInterface::setPollIntervalMicroseconds(250);
            m_sim = std::make_unique<zynsim::Simulator>();
            ctl = m_sim->addDriverController(folder, 0, config, entryId);
            QVERIFY2(ctl, k.name);
            const QList<QZynController*> added = ZynGetHost()->add_controller_by_entryid(entryId);
            QVERIFY2(added.size() == 1, k.name);
            c = added.front();
            QZynController::SetCommandRetryWindowMs(k.silentForGood ? 0 : -1);
            QVERIFY2(c->ZynResetController() == ZYN_OK, k.name);
        } else {
            QCOMPARE(m_rig.start(kLate, config), QString());
            c = m_rig.controller.get();
            ctl = m_rig.ctl;
            if (k.silentForGood)
                ctl->setSilentAfterFrames(0);
        }
        ctl->clearLog();
        MessageLog messages;
        u32 rc = 0;
        if (k.driver || k.silentForGood) {
            rc = c->ZynSetBeeper(1);
        } else {
            g_pausing = ctl.get();
            g_exchanges = 0;
            c->ZynSetCallBack(pauseAfterFirstBlock);
            const QZynController::Run update(c);
            rc = c->ZynUpdateFirmware(firmware, int(sizeof firmware));
            c->ZynSetCallBack(nullptr);
            QVERIFY2(ctl->firmwareImage().size() == sizeof firmware, k.name);
        }
        QVERIFY2(rc == k.result, k.name);
        QVERIFY2(commandsReceived(*ctl) == k.heard, k.name);
        QVERIFY2(messages.matching(kRetryPattern).size() == k.retryLines, k.name);
        QVERIFY2((c->GetState() == QZynController::StateOffline) == k.silentForGood, k.name);
        QZynController::SetCommandRetryWindowMs(-1);
        fastPolls();
        if (k.driver)
            m_sim->removeDriverController(ctl);
        cleanup();
    }
}

void TestController::changingCommandsConfirmTheController()
{
    // The controller on the object's road is replaced after the object was made, with the gap a
    // real replacement takes: another one gets the confirming read and nothing else, neither a
    // read nor a change; the object is given up as a lost controller. The same one back takes
    // both.
    struct Case {
        const char* name;
        bool driver;
        bool another;
        bool logInEvery = false;   // the new one asks for the log-in at every command
    };
    const Case cases[] = {
        {"another controller at the address", false, true},
        {"the driver slot re-plugged with another controller", true, true},
        {"the same controller back at the address", false, false},
        {"another controller asking for the log-in at every command", false, true, true},   // the road's log-in only
    };
    const std::string folder = (m_dir.path() + "/driver").toStdString();
    const uint64_t entryId = 0x100000000ull + 1;
    QZynHost* host = ZynGetHost();
    for (const Case& k : cases) {
        zynsim::ControllerConfig first = configOf(zynsim::Profile::Enclosure);
        first.serial = "Y000000000000201";
        m_sim = std::make_unique<zynsim::Simulator>();
        auto ctl = k.driver ? m_sim->addDriverController(folder, 0, first, entryId) : m_sim->addUdpController(kSwapped, first);
        QVERIFY2(ctl, k.name);
        const QList<QZynController*> added = k.driver ? host->add_controller_by_entryid(entryId)
                                                      : host->scan_controller_by_ip(QString::fromLatin1(kSwapped));
        QVERIFY2(added.size() == 1, k.name);
        QPointer<QZynController> c = added.front();
        const int slot = c->GetHostSlot();
        QSignalSpy changes(host, &QZynHost::DeviceChanged);

        zynsim::ControllerConfig next = configOf(zynsim::Profile::Older);
        next.serial = k.another ? "Y000000000000202" : first.serial;
        if (k.driver) {
            m_sim->removeDriverController(ctl);
            ctl = m_sim->addDriverController(folder, 0, next, entryId);
        } else {
            m_sim = std::make_unique<zynsim::Simulator>();
            ctl = m_sim->addUdpController(kSwapped, next);
        }
        QVERIFY2(ctl, k.name);
        ctl->setLogInForEveryCommand(k.logInEvery);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        MessageLog messages;
        sGUI_RAIDSET raid;
        const u32 read = c->ZynGetRaidSetInfo(0, &raid);
        _DEVICE_LIST list{};
        list.count = 1;
        const u32 rc = c->ZynCreateRaidSet(&list, nullptr, 0);
        if (k.another) {
            QVERIFY2(read == ZYN_ERR_TRANSPORT_OTHER && rc == ZYN_ERR_TRANSPORT_OTHER, k.name);
            const std::vector<int> heard = k.logInEvery ? std::vector<int>{0x23, 0x14, 0x23} : std::vector<int>{0x23};
            QVERIFY2(commandsReceived(*ctl) == heard, k.name);
            QVERIFY2(c->GetState() == QZynController::StateOffline, k.name);
            QVERIFY2(host->get_controller(slot) == nullptr, k.name);
            QVERIFY2(changes.count() == 1 && changes.at(0).at(1).toInt() == QZynDevice::DeviceRemoved, k.name);
            QVERIFY2(m_hostLog.last().endsWith(QLatin1String(" disconnected.")), k.name);
            QVERIFY2(messages.matching(QStringLiteral("not confirmed before GUI command\\(20,GUI_GET_INFO_R\\): "
                                                      "another serial number, given up")).size() == 1, k.name);
            // Nothing more reaches the other controller.
            QVERIFY2(c->ZynMuteBeeper() == ZYN_ERR_TRANSPORT_OTHER, k.name);
            QVERIFY2(commandsReceived(*ctl).size() == heard.size(), k.name);
            QTRY_VERIFY(c.isNull());
        } else {
            QVERIFY2(read == ZYN_OK, k.name);
            QVERIFY2(commandsReceived(*ctl) == (std::vector<int>{0x23, 0x20, 0x23, 0x50}), k.name);
            QVERIFY2(host->get_controller(slot) == c.data() && changes.isEmpty(), k.name);
        }
        if (k.driver)
            m_sim->removeDriverController(ctl);
        cleanup();
    }
}

void TestController::longWaitRule()
{
    // A failed try within the window is tried again, each after the confirming read, up to three
    // tries; after a long wait (the window shortened to nothing here) the tries go on only when
    // one system-information read answers as this controller.
    struct Case {
        const char* name;
        qint64 windowMs;       // -1: the product's
        int lostReads;         // raid set reads that get no answer
        int lostIdentities;    // system-information reads that get no answer
        u32 result;
        std::vector<int> heard;
        int retryLines;
        bool givenUp;
    };
    const Case cases[] = {
        {"lost twice within the window", -1, 2, 0, ZYN_OK, {0x20, 0x23, 0x20, 0x23, 0x20}, 2, false},
        {"lost three times within the window", -1, 3, 0, ZYN_ERR_TRANSPORT_OTHER, {0x20, 0x23, 0x20, 0x23, 0x20}, 3,
         true},
        {"long wait, answers as itself", 0, 1, 0, ZYN_OK, {0x20, 0x23, 0x20}, 1, false},
        {"long wait, silent", 0, 3, 1, ZYN_ERR_TRANSPORT_OTHER, {0x20, 0x23}, 1, true},
    };
    QVERIFY(QZynController::kCommandRetryWindowMs >= 20000);
    for (const Case& k : cases) {
        QCOMPARE(m_rig.start(kLongWait), QString());
        QZynController::SetCommandRetryWindowMs(k.windowMs);
        zynsim::FakeController& ctl = *m_rig.ctl;
        ctl.script(0x20, k.lostReads, Answer::silence());
        if (k.lostIdentities > 0)
            ctl.script(0x23, k.lostIdentities, Answer::silence());
        MessageLog messages;
        sGUI_RAIDSET raid;
        QVERIFY2(m_rig.controller->ZynGetRaidSetInfo(0, &raid) == k.result, k.name);
        QVERIFY2(commandsReceived(ctl) == k.heard, k.name);
        QVERIFY2(messages.matching(kRetryPattern).size() == k.retryLines, k.name);
        QVERIFY2((m_rig.controller->GetState() == QZynController::StateOffline) == k.givenUp, k.name);
        QZynController::SetCommandRetryWindowMs(-1);
        m_rig.stop();
    }
    QCOMPARE(QZynController::CommandRetryWindowMs(), QZynController::kCommandRetryWindowMs);
}

QTEST_MAIN(TestController)
#include "test_controller.moc"
