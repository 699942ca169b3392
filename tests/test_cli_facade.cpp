// The command line's controller facade against the simulator: each operation gives what the
// controller's own call gives and sends the same frames; with no controller, or one deleted
// after it was set, every operation answers 0x11 and nothing is sent.
#include "cli/qzynlib.h"
#include "controllerfixture.h"

#include <QtTest>

#include <array>
#include <cstring>
#include <functional>
#include <memory>

using namespace ctltest;
using namespace simtest;

namespace {

// Each test its own addresses: ctest runs the programs side by side.
const char* const kAddress = "127.0.0.150";
const char* const kSecond = "127.0.0.151";

// What one operation gave: its result and the bytes it wrote for the caller.
struct Outcome {
    qint64 result = 0;
    QByteArray out;
    bool operator==(const Outcome& o) const { return result == o.result && out == o.out; }
};

QString describe(const Outcome& o)
{
    return QStringLiteral("%1 [%2]").arg(o.result).arg(QString::fromLatin1(o.out.toHex().left(64)));
}

// Reads into a zeroed record of type R (the large maps do not fit a test's stack).
template <typename R, typename Call>
Outcome readInto(Call call)
{
    auto record = std::make_unique<R>();
    std::memset(static_cast<void*>(record.get()), 0, sizeof(R));
    const qint64 result = call(record.get());
    return {result, QByteArray(reinterpret_cast<const char*>(record.get()), int(sizeof(R)))};
}

// One operation, written once and called on the facade and on the controller alike.
struct Row {
    const char* name;
    std::function<Outcome(QZynlib&)> viaFacade;
    std::function<Outcome(CZynlibALL&)> direct;
    bool sends;                               // the operation reaches the controller
    qint64 absent = ZYN_ERR_NO_TRANSPORT;     // its result without a controller
};

template <typename Op>
Row row(const char* name, bool sends, Op op, qint64 absent = ZYN_ERR_NO_TRANSPORT)
{
    return {name, [op](QZynlib& f) { return op(f); }, [op](CZynlibALL& c) { return op(c); }, sends, absent};
}

// An operation that fills a record of type R, and one that only answers.
template <typename R, typename Op>
Row reads(const char* name, Op op, bool sends = true, qint64 absent = ZYN_ERR_NO_TRANSPORT)
{
    return row(name, sends, [op](auto& t) { return readInto<R>([&](R* r) { return op(t, r); }); }, absent);
}
template <typename Op>
Row writes(const char* name, Op op, qint64 absent = ZYN_ERR_NO_TRANSPORT)
{
    return row(name, true, [op](auto& t) { return Outcome{op(t), {}}; }, absent);
}

using Text = std::array<char, 256>;
using Bytes64 = std::array<unsigned char, 64>;
using SmartPage = std::array<u8, 512>;
using SetupImage = std::array<u8, 65536>;

// Reads and a few writes of each family; the writes change nothing the next row reads.
QVector<Row> rows()
{
    return {
        reads<sSYSTEM_INFO>("sysinfo", [](auto& t, auto* r) { return t.ZynGetSysInfo(r); }),
        reads<Text>("identify string", [](auto& t, auto* r) { return t.ZynGetIdentifyString(r->data()); }),
        reads<_SYS_CONFIG_INFO>("system config", [](auto& t, auto* r) { return t.ZynGetSystemConfigInfo(r); }),
        reads<Bytes64>("rtc", [](auto& t, auto* r) { return t.ZynGetRTCInfo(r->data(), int(r->size())); }),
        writes("check password", [](auto& t) { char text[] = "0000"; return t.ZynChkPassword(text); }),
        writes("mute beeper", [](auto& t) { return t.ZynMuteBeeper(); }),
        reads<sGUI_RAIDSET>("raid set info", [](auto& t, auto* r) { return t.ZynGetRaidSetInfo(0, r); }),
        reads<_RAID_MAP>("raid set map", [](auto& t, auto* r) { return t.ZynHelpBuildRaidSetMap(r); }),
        reads<sGUI_VOLUMESET>("volume set info", [](auto& t, auto* r) { return t.ZynGetVolSetInfo(0, r); }),
        reads<_VOL_MAP>("volume set map", [](auto& t, auto* r) { return t.ZynHelpBuildVolumeSetMap(r); }),
        writes("stop volume check", [](auto& t) { return t.ZynStopCheckVolume(); }),
        reads<sGUI_PHY_DRV>("drive info", [](auto& t, auto* r) { return t.ZynGetPhysicalDriveInfo(0, 0, r); }),
        reads<_DRV_MAP>("drive map", [](auto& t, auto* r) { return t.ZynHelpBuildDeviceMap(r); }),
        writes("identify stop", [](auto& t) { return t.ZynSASIdentifyDisk(2, 0, 0); }),
        reads<SmartPage>("smart page", [](auto& t, auto* r) { return t.ZynExeSMART(0, 0, 0, r->data()); }),
        reads<sGUI_ENC_PROPERTY>("enclosure", [](auto& t, auto* r) { return t.ZynGetEnclosureProperty(0, r); }),
        reads<sSENSORS>("enclosure sensors", [](auto& t, auto* r) { return t.ZynGetEnclosureHwMonitor(0, r); }),
        reads<int>("event pages", [](auto& t, auto* r) { return t.ZynGetReqEventPage(0, r); }),
        reads<sEVET_DATA>("newest event", [](auto& t, auto* r) { return t.ZynGetEventObject(0, r); }, false,
                          QZynlib::kNoEventObject),
        writes("disk cache", [](auto& t) { return t.ZynSetDiskCache(1); }),
        reads<_NET_INFO>("network", [](auto& t, auto* r) { return t.ZynGetOnBoardNetInfo(r); }),
        reads<_MAIL_CONFIG>("mail", [](auto& t, auto* r) { return t.ZynGetMailInfo(r); }),
        reads<_SNMP_CONFIG>("snmp", [](auto& t, auto* r) { return t.ZynGetSnmpInfo(r); }),
        writes("snmp community", [](auto& t) { char text[] = "public"; return t.ZynSetSnmpCommunity(text); }),
        reads<_NTP_CONFIG>("ntp", [](auto& t, auto* r) { return t.ZynGetNtpInfo(r); }),
        writes("time zone", [](auto& t) { return t.ZynSetTimeZone(20); }),
        reads<_FIBRE_HOST_WWNAME_LIST>("fibre hosts", [](auto& t, auto* r) { return t.ZynGetFibreHostNameList(r); }),
        writes("setup layout", [](auto& t) { return t.DetermineTableNumber(); }, QZynlib::kNoTableNumber),
        reads<SetupImage>("setup image",
                          [](auto& t, auto* r) { return t.ZynGetSetupPage(r->data(), int(r->size()), nullptr); }),
    };
}

// The frames the simulated controller received since its log was last cleared.
QStringList framesReceived(const zynsim::FakeController& controller)
{
    QStringList out;
    for (const LogEntry& e : entries(controller, LogEntry::RxFrame)) {
        const QByteArray payload(reinterpret_cast<const char*>(e.bytes.data()), int(e.bytes.size()));
        out << QStringLiteral("%1:%2").arg(e.command, 2, 16, QLatin1Char('0')).arg(QString::fromLatin1(payload.toHex()));
    }
    return out;
}

} // namespace

class TestCliFacade : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void sameAsTheControllersOwnCall();
    void noControllerSendsNothing();
    void deletedControllerIsNeverUsed();
    void setCtrlChoosesTheController();

private:
    // Every row on the facade: its result without a controller, its output untouched, no frame.
    void expectAbsent(QZynlib& facade, const zynsim::FakeController& controller);

    QTemporaryDir m_dir;
    ControllerRig m_rig;
    ControllerRig m_second;
};

void TestCliFacade::initTestCase()
{
    fastPolls();
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    qputenv("ZYNMSR_DRIVER_DIR", (m_dir.path() + "/driver").toLocal8Bit());
}

void TestCliFacade::cleanup()
{
    m_rig.stop();
    m_second.stop();
}

void TestCliFacade::sameAsTheControllersOwnCall()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynlib facade(nullptr);
    facade.SetCtrl(m_rig.controller.get());
    QCOMPARE(facade.GetCtrl(), m_rig.controller.get());
    CZynlibALL& direct = *m_rig.controller;
    for (const Row& r : rows()) {
        r.direct(direct);   // first use fills what the session keeps (setup layout, event ring)
        m_rig.ctl->clearLog();
        const Outcome expected = r.direct(direct);
        const QStringList expectedFrames = framesReceived(*m_rig.ctl);
        m_rig.ctl->clearLog();
        const Outcome got = r.viaFacade(facade);
        const QStringList frames = framesReceived(*m_rig.ctl);
        const QString name = QString::fromLatin1(r.name);
        QVERIFY2(got == expected, qPrintable(name + ": " + describe(got) + " / " + describe(expected)));
        QVERIFY2(frames == expectedFrames, qPrintable(name + ": " + frames.join(' ') + " / " + expectedFrames.join(' ')));
        QVERIFY2(frames.isEmpty() != r.sends, r.name);
    }
}

void TestCliFacade::expectAbsent(QZynlib& facade, const zynsim::FakeController& controller)
{
    for (const Row& r : rows()) {
        const Outcome got = r.viaFacade(facade);
        QVERIFY2(got.result == r.absent, qPrintable(QStringLiteral("%1: %2").arg(r.name).arg(got.result)));
        QVERIFY2(got.out.count('\0') == got.out.size(), r.name);
    }
    QCOMPARE(framesReceived(controller), QStringList());
}

void TestCliFacade::noControllerSendsNothing()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynlib facade(nullptr);
    QCOMPARE(facade.GetCtrl(), nullptr);
    expectAbsent(facade, *m_rig.ctl);
    // Set and then taken away again.
    facade.SetCtrl(m_rig.controller.get());
    facade.SetCtrl(nullptr);
    expectAbsent(facade, *m_rig.ctl);
}

void TestCliFacade::deletedControllerIsNeverUsed()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynlib facade(nullptr);
    facade.SetCtrl(m_rig.controller.get());
    QCOMPARE(facade.ZynMuteBeeper(), u32(ZYN_OK));
    // The controller's confirming read, then the command.
    QCOMPARE(framesReceived(*m_rig.ctl).size(), 2);
    m_rig.ctl->clearLog();
    m_rig.controller.reset();
    QCOMPARE(facade.GetCtrl(), nullptr);
    expectAbsent(facade, *m_rig.ctl);
}

void TestCliFacade::setCtrlChoosesTheController()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QCOMPARE(m_second.start(kSecond), QString());
    QZynlib facade(nullptr);
    const QString mute = QStringLiteral("%1:").arg(int(ZYN_CMD_MUTE_BEEPER), 2, 16, QLatin1Char('0'));
    // A change goes after one read that shows the controller is the one chosen.
    const QString confirm = QStringLiteral("%1:").arg(int(ZYN_CMD_GET_SYSINFO), 2, 16, QLatin1Char('0'));
    const QStringList muted = {confirm, mute};
    struct Step {
        QZynController* ctrl;
        QStringList first, second;   // frames each controller receives
    } steps[] = {
        {m_rig.controller.get(), muted, {}},
        {m_second.controller.get(), {}, muted},
        {m_rig.controller.get(), muted, {}},
        {nullptr, {}, {}},
    };
    for (const Step& s : steps) {
        m_rig.ctl->clearLog();
        m_second.ctl->clearLog();
        facade.SetCtrl(s.ctrl);
        QCOMPARE(facade.ZynMuteBeeper(), u32(s.ctrl != nullptr ? ZYN_OK : ZYN_ERR_NO_TRANSPORT));
        QCOMPARE(framesReceived(*m_rig.ctl), s.first);
        QCOMPARE(framesReceived(*m_second.ctl), s.second);
    }
}

QTEST_MAIN(TestCliFacade)
#include "test_cli_facade.moc"
