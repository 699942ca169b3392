// Discovery: the controller watcher on its own thread (driver scan, network rescan on loopback,
// replies taken only while a rescan waits and once per sender, add by address), the
// device-arrival watcher over the driver folder (a controller coming and going holds up no other),
// controllers that do not identify themselves, and the power watcher with injected messages.
#include "controllerfixture.h"
#include "watcher/controllerwatcher.h"
#include "devices/event.h"
#include "devices/host.h"
#include "os/mac/os_darwin_event.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <cstdio>
#include <fstream>
#include <condition_variable>
#include <future>
#include <mutex>

using namespace ctltest;
using namespace simtest;

namespace {

// The watcher binds 46000 on this address and sends its discovery datagram to the first
// simulated controller; nothing leaves loopback.
const char* const kBind = "127.0.0.1";
const char* const kFirst = "127.0.0.92";
const char* const kSecond = "127.0.0.93";
const char* const kThird = "127.0.0.94";
// A controller with the first one's identity (probed, then refused) and one of its own.
const char* const kClone = "127.0.0.95";
const char* const kOther = "127.0.0.96";
// A controller a Connect adds while a driver controller comes and goes.
const char* const kConnected = "127.0.3.10";
// The product's settling wait after an arrival.
constexpr int kProductSettleMs = 5000;

const QByteArray kDiscovery = QByteArray::fromHex("5e0161010013" "14");

// The entry id the simulator gives the driver service of `order`.
quint64 entryIdOf(int order)
{
    return 0x100000001ull + 0x100ull * quint64(order);
}

// Another client of the first driver service, holding the driver's exchange lock (0 when it
// could not be had): every exchange of this process with that controller fails meanwhile.
iokit::io_connect_t holdDriverLock()
{
    using namespace iokit;
    const io_connect_t other = simtest::openDriverClient();
    if (other != 0
        && IOConnectCallScalarMethod(other, zynmsr::kSelAcquireLock, nullptr, 0, nullptr, nullptr) == kIOReturnSuccess)
        return other;
    if (other != 0)
        IOServiceClose(other);
    return 0;
}

// The controllers the host lists.
int listedControllers()
{
    QZynHost* host = ZynGetHost();
    int listed = 0;
    for (int i = 0; i < host->get_total_controllers(); ++i)
        listed += host->get_controller(i) != nullptr;
    return listed;
}

} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    // First: the host's list has no slot yet.
    void nothingFoundAtStart();
    void rescanAddsEveryControllerOnce();
    void repliesOnlyWhileARescanWaits_data();
    void repliesOnlyWhileARescanWaits();
    void driverScanAtStart();
    void removalWaitsBehindNoListedArrival();
    void hotPlugThroughTheDriverFolder();
    void stopDropsTheArrivalsWaiting();
    void flappingHoldsUpNoOtherController_data();
    void flappingHoldsUpNoOtherController();
    void powerMessages();
    void powerWithoutASource();
    void stopBeforeTheLoopStarts();
    void withdrawnControllersStayApart_data();
    void withdrawnControllersStayApart();
    void unusableControllersAreNotListed_data();
    void unusableControllersAreNotListed();

private:
    // Starts the watcher on its own thread, as the main window does.
    void startWatcher();
    void stopWatcher();
    int announced() const { return m_added.size(); }

    QTemporaryDir m_dir;
    std::string m_folder;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::unique_ptr<MessageLog> m_messages;
    QThread* m_thread = nullptr;
    ControllerWatcher* m_watcher = nullptr;
    QList<QPointer<QZynController>> m_added;
    QList<QPointer<QZynController>> m_removed;
    QStringList m_status;
    QMetaObject::Connection m_hostConnection;
};

void TestDiscovery::initTestCase()
{
    fastPolls();
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    qputenv("PALVIR_DISCOVERY_BIND", kBind);
    qputenv("PALVIR_DISCOVERY_TARGET", kFirst);
    ControllerWatcher::SetSettlingMilliseconds(50);
}

void TestDiscovery::init()
{
    static int round = 0;
    m_folder = (m_dir.path() + "/driver" + QString::number(++round)).toStdString();
    qputenv("ZYNMSR_DRIVER_DIR", QByteArray::fromStdString(m_folder));
    m_messages = std::make_unique<MessageLog>();
    m_sim = std::make_unique<zynsim::Simulator>();
    m_hostConnection = connect(ZynGetHost(), &QZynHost::DeviceChanged, this, [this](QZynDevice* d, int code) {
        auto* c = static_cast<QZynController*>(d);
        (code == 0 ? m_added : m_removed) << QPointer<QZynController>(c);
    });
}

void TestDiscovery::cleanup()
{
    stopWatcher();
    disconnect(m_hostConnection);
    emptyHost();
    m_added.clear();
    m_removed.clear();
    m_status.clear();
    m_sim.reset();
    m_messages.reset();
}

void TestDiscovery::startWatcher()
{
    m_thread = new QThread;
    m_watcher = new ControllerWatcher;
    m_watcher->SetHost(ZynGetHost());
    m_watcher->moveToThread(m_thread);
    connect(m_thread, &QThread::started, m_watcher, &ControllerWatcher::process);
    connect(m_watcher, &ControllerWatcher::LogMessage, this, [this](QZynLog* log) {
        m_status << log->text;
        delete log;
    });
    m_thread->start();
}

void TestDiscovery::stopWatcher()
{
    if (m_thread == nullptr)
        return;
    m_thread->quit();
    m_thread->wait();
    delete m_watcher;
    delete m_thread;
    m_watcher = nullptr;
    m_thread = nullptr;
    QCoreApplication::processEvents();   // records still on their way
}

void TestDiscovery::rescanAddsEveryControllerOnce()
{
    auto first = m_sim->addUdpController(kFirst, zynsim::ControllerConfig());
    auto second = m_sim->addUdpController(kSecond, zynsim::ControllerConfig());
    auto third = m_sim->addUdpController(kThird, zynsim::ControllerConfig());
    QVERIFY(first && second && third);
    startWatcher();
    QTRY_VERIFY(!m_status.isEmpty());

    first->clearLog();
    QMetaObject::invokeMethod(m_watcher, "scan_controller_by_broadcast", Qt::QueuedConnection, Q_ARG(quint32, 0));
    QTRY_COMPARE(announced(), 1);
    QCOMPARE(m_added.front()->GetSysInfo()->GetIPAddressString(), QString::fromLatin1(kFirst));
    // Exactly one discovery datagram, from the watcher's port.
    int datagrams = 0;
    for (const LogEntry& e : first->log())
        if (e.kind == LogEntry::RxChunk && QString::fromStdString(e.peer).endsWith(QLatin1String(":46000"))) {
            ++datagrams;
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(e.bytes.data()), int(e.bytes.size())), kDiscovery);
        }
    QCOMPARE(datagrams, 1);

    // Replies from another controller, twice, and a datagram that is no reply.
    QUdpSocket peer;
    QVERIFY(peer.bind(QHostAddress(QString::fromLatin1(kSecond)), 0));
    const QByteArray reply = QByteArray::fromHex("5e01610100" "4142");
    peer.writeDatagram(reply, QHostAddress(QString::fromLatin1(kBind)), ControllerWatcher::kReplyPort);
    peer.writeDatagram(reply, QHostAddress(QString::fromLatin1(kBind)), ControllerWatcher::kReplyPort);
    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress(QString::fromLatin1(kThird)), 0));
    stranger.writeDatagram(QByteArray::fromHex("5e02610100" "4142"), QHostAddress(QString::fromLatin1(kBind)),
                           ControllerWatcher::kReplyPort);
    QTRY_COMPARE(announced(), 2);
    QTest::qWait(500);
    QCOMPARE(announced(), 2);
    QCOMPARE(m_added.back()->GetSysInfo()->GetIPAddressString(), QString::fromLatin1(kSecond));
    QCOMPARE(third->framesReceived(0x13), 0);
    // The first controller's second reply to a new rescan adds nothing either.
    QMetaObject::invokeMethod(m_watcher, "scan_controller_by_broadcast", Qt::QueuedConnection, Q_ARG(quint32, 0));
    QTest::qWait(300);
    QCOMPARE(announced(), 2);

    // Added by address, and removed by address.
    QVERIFY(QMetaObject::invokeMethod(m_watcher, "add_ctrl_by_ip", Qt::QueuedConnection, Q_ARG(QString, QString::fromLatin1(kThird))));
    QTRY_COMPARE(announced(), 3);
    QMetaObject::invokeMethod(m_watcher, "remove_controller_by_ip", Qt::QueuedConnection, Q_ARG(QString, QString::fromLatin1(kThird)));
    QTRY_COMPARE(m_removed.size(), 1);
    QTRY_VERIFY(m_removed.front().isNull());
    QVERIFY(m_status.contains(ControllerWatcher::NoticeLine()));
}

namespace {

// Probes a simulated controller received: one per address the watcher tried, each from a
// transport of its own (a port of its own); the discovery datagram comes from the watcher's.
int probesOf(const zynsim::FakeController& controller)
{
    QSet<QString> peers;
    for (const LogEntry& e : controller.log())
        if (e.kind == LogEntry::RxChunk && !QString::fromStdString(e.peer).endsWith(QLatin1String(":46000")))
            peers << QString::fromStdString(e.peer);
    return peers.size();
}

int discoveryDatagramsOf(const zynsim::FakeController& controller)
{
    int count = 0;
    for (const LogEntry& e : controller.log())
        count += e.kind == LogEntry::RxChunk && QString::fromStdString(e.peer).endsWith(QLatin1String(":46000"));
    return count;
}

} // namespace

void TestDiscovery::repliesOnlyWhileARescanWaits_data()
{
    // Reply-like datagrams from these senders, in order: before any rescan, once the first
    // controller's reply to a rescan was taken, and after the rescan's window closed; then the
    // controllers announced, and the probes of the clone and of the other controller.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("during");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QList<int>>("probes");
    const QString clone = QLatin1String(kClone);
    const QString other = QLatin1String(kOther);
    const QString first = QLatin1String(kFirst);
    QTest::newRow("unasked") << QStringList{clone, other, clone, other, clone} << QStringList() << QStringList()
                             << QStringList{first} << QList<int>{0, 0};
    QTest::newRow("after the window") << QStringList() << QStringList() << QStringList{other, clone, other}
                                      << QStringList{first} << QList<int>{0, 0};
    QTest::newRow("in a rescan") << QStringList() << QStringList{other} << QStringList()
                                 << QStringList{first, other} << QList<int>{0, 1};
    QTest::newRow("again and again in a rescan") << QStringList() << QStringList{clone, clone, clone, other, other, other}
                                                 << QStringList() << QStringList{first, other} << QList<int>{1, 1};
    QTest::newRow("all three") << QStringList{clone, other} << QStringList{clone, other, clone} << QStringList{clone, other}
                               << QStringList{first, other} << QList<int>{1, 1};
}

void TestDiscovery::repliesOnlyWhileARescanWaits()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, during);
    QFETCH(QStringList, after);
    QFETCH(QStringList, added);
    QFETCH(QList<int>, probes);
    const int window = 2000;
    ControllerWatcher::SetReplyWindowMilliseconds(window);
    auto restore = qScopeGuard([] { ControllerWatcher::SetReplyWindowMilliseconds(ControllerWatcher::kReplyWindowMs); });

    auto first = m_sim->addUdpController(kFirst, zynsim::ControllerConfig());
    QVERIFY(first);
    zynsim::ControllerConfig same;
    same.serial = first->serial();
    const zynsim::Bytes info = first->systemInfo();
    std::copy_n(info.begin() + sSYSTEM_INFO::kMacAddress, same.mac.size(), same.mac.begin());
    auto clone = m_sim->addUdpController(kClone, same);
    auto other = m_sim->addUdpController(kOther, zynsim::ControllerConfig());
    QVERIFY(clone && other);
    QMap<QString, std::shared_ptr<QUdpSocket>> senders;
    for (const char* address : {kClone, kOther}) {
        auto socket = std::make_shared<QUdpSocket>();
        QVERIFY(socket->bind(QHostAddress(QString::fromLatin1(address)), 0));
        senders.insert(QString::fromLatin1(address), socket);
    }
    auto send = [&senders](const QStringList& from) {
        for (const QString& address : from)
            senders.value(address)->writeDatagram(QByteArray::fromHex("5e01610100" "4142"), QHostAddress(QString::fromLatin1(kBind)),
                                                  ControllerWatcher::kReplyPort);
    };
    auto rescan = [this] {
        QMetaObject::invokeMethod(m_watcher, "scan_controller_by_broadcast", Qt::QueuedConnection, Q_ARG(quint32, 0));
    };
    startWatcher();
    QTRY_VERIFY(!m_status.isEmpty());

    send(before);
    rescan();
    QTRY_COMPARE(announced(), 1);
    QElapsedTimer sinceFirst;
    sinceFirst.start();
    send(during);
    // Once the other controller is announced, what came before it has been read; the second
    // rescan below settles the rest.
    if (during.contains(QLatin1String(kOther)))
        QTRY_COMPARE(announced(), 2);
    if (!after.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(sinceFirst.hasExpired(window), 2 * window);
        send(after);
    }
    // A second rescan: whatever came before its discovery datagram has been read or dropped.
    rescan();
    QTRY_COMPARE(discoveryDatagramsOf(*first), 2);

    QStringList seen;
    for (const QPointer<QZynController>& c : m_added)
        seen << (c ? c->GetSysInfo()->GetIPAddressString() : QString());
    QCOMPARE(seen, added);
    QCOMPARE((QList<int>{probesOf(*clone), probesOf(*other)}), probes);
}

void TestDiscovery::driverScanAtStart()
{
    QVERIFY(m_sim->addDriverController(m_folder, 0, zynsim::ControllerConfig()));
    QVERIFY(m_sim->addDriverController(m_folder, 1, configOf(zynsim::Profile::Older)));
    startWatcher();
    QTRY_COMPARE(announced(), 2);
    QTRY_VERIFY(!m_status.isEmpty());
    QCOMPARE(m_status.front(), ControllerWatcher::NoticeLine());
    QCOMPARE(m_added[0]->GetHostSlot(), 0);
    QCOMPARE(m_added[1]->GetHostSlot(), 1);
    // A rescan finds nothing new.
    QMetaObject::invokeMethod(m_watcher, "scan_controller_by_driver", Qt::QueuedConnection);
    QTRY_COMPARE(m_status.size(), 2);
    QCOMPARE(announced(), 2);
}

void TestDiscovery::nothingFoundAtStart()
{
    startWatcher();
    QTRY_VERIFY(!m_status.isEmpty());
    QCOMPARE(m_status, QStringList{QStringLiteral("Finding controller...")});
    QCOMPARE(announced(), 0);
}

void TestDiscovery::stopDropsTheArrivalsWaiting()
{
    // At start the device watcher reports every controller already there as arrived, each with
    // the product's settling wait: a stop must not wait behind them all.
    const int settleMs = 5000;
    const int arrivals = 4;
    QVERIFY(m_sim->addDriverController(m_folder, 0, zynsim::ControllerConfig(), 0x100000001ull));
    ControllerWatcher::SetSettlingMilliseconds(settleMs);
    startWatcher();
    QTRY_COMPARE(announced(), 1);
    // Two controllers plugged in since, each reported: their arrivals settle while the stop comes.
    QVERIFY(m_sim->addDriverController(m_folder, 1, zynsim::ControllerConfig(), entryIdOf(1)));
    QVERIFY(m_sim->addDriverController(m_folder, 2, zynsim::ControllerConfig(), entryIdOf(2)));
    for (int i = 0; i < arrivals; ++i)
        for (int order = 0; order < 3; ++order)
            QMetaObject::invokeMethod(m_watcher, "update_device_by_entryid", Qt::QueuedConnection, Q_ARG(bool, true),
                                      Q_ARG(quint64, entryIdOf(order)));
    const int statusLines = m_status.size();
    // Once the reports of the listed one have been taken, the others settle.
    QTRY_COMPARE(m_status.size(), statusLines + arrivals);
    QElapsedTimer stopping;
    stopping.start();
    m_watcher->Stop();
    stopWatcher();
    ControllerWatcher::SetSettlingMilliseconds(50);
    QVERIFY2(stopping.elapsed() < settleMs, qPrintable(QString::number(stopping.elapsed())));
    QCOMPARE(announced(), 1);
    QCOMPARE(m_messages->matching(QStringLiteral("[Tt]imer")), QStringList());
}

void TestDiscovery::removalWaitsBehindNoListedArrival()
{
    // The start-up reports of controllers the scan listed already need no settling wait, so a
    // removal queued behind them is taken at once.
    const int settleMs = 5000;
    const int arrivals = 3;
    auto ctl = m_sim->addDriverController(m_folder, 0, zynsim::ControllerConfig(), 0x100000001ull);
    QVERIFY(ctl);
    ControllerWatcher::SetSettlingMilliseconds(settleMs);
    startWatcher();
    QTRY_COMPARE(announced(), 1);
    QElapsedTimer removing;
    removing.start();
    for (int i = 0; i < arrivals; ++i)
        QMetaObject::invokeMethod(m_watcher, "update_device_by_entryid", Qt::QueuedConnection, Q_ARG(bool, true),
                                  Q_ARG(quint64, 0x100000001ull));
    m_sim->removeDriverController(ctl);
    QMetaObject::invokeMethod(m_watcher, "update_device_by_entryid", Qt::QueuedConnection, Q_ARG(bool, false),
                              Q_ARG(quint64, 0x100000001ull));
    QTRY_COMPARE_WITH_TIMEOUT(m_removed.size(), 1, arrivals * settleMs + 5000);
    const qint64 took = removing.elapsed();
    stopWatcher();
    ControllerWatcher::SetSettlingMilliseconds(50);
    QVERIFY2(took < settleMs, qPrintable(QString::number(took)));
    QCOMPARE(announced(), 1);
}

void TestDiscovery::flappingHoldsUpNoOtherController_data()
{
    // Slot 1 is unplugged and plugged again five times (and, "for good", unplugged once more);
    // meanwhile slot 2 is unplugged or a Connect adds a network controller.
    QTest::addColumn<bool>("forGood");
    QTest::addColumn<bool>("connect");
    QTest::newRow("back, another removed") << false << false;
    QTest::newRow("for good, another removed") << true << false;
    QTest::newRow("back, Connect meanwhile") << false << true;
    QTest::newRow("for good, Connect meanwhile") << true << true;
}

// One controller plugged and unplugged quickly, through the driver folder and the device
// watcher: what happens to another controller meanwhile is taken at once; an arrival whose
// removal comes while it settles is never listed (nor announced, which starts it); at the end
// the controller is listed once if it came back, not at all if it went for good.
void TestDiscovery::flappingHoldsUpNoOtherController()
{
    QFETCH(bool, forGood);
    QFETCH(bool, connect);
    const int flaps = 5;
    std::vector<zynsim::ControllerConfig> configs(4, zynsim::ControllerConfig());
    std::vector<std::shared_ptr<zynsim::FakeController>> ctls;
    for (int i = 0; i < 3; ++i) {
        ctls.push_back(m_sim->addDriverController(m_folder, i, configs[size_t(i)], entryIdOf(i)));
        QVERIFY(ctls.back());
        configs[size_t(i)].serial = ctls.back()->serial();
    }
    ctls.emplace_back();   // slot 3, plugged in last
    std::shared_ptr<zynsim::FakeController> network;
    if (connect) {
        network = m_sim->addUdpController(kConnected, zynsim::ControllerConfig());
        QVERIFY(network);
    }
    // Serial numbers of the controllers announced, as each is announced.
    QStringList announcedSerials;
    const auto announcing = QObject::connect(ZynGetHost(), &QZynHost::DeviceChanged, this, [&](QZynDevice* d, int code) {
        if (code == QZynDevice::DeviceAdded)
            announcedSerials << static_cast<QZynController*>(d)->GetSysInfo()->GetSerialNumber();
    });
    auto restore = qScopeGuard([announcing] {
        QObject::disconnect(announcing);
        ControllerWatcher::SetSettlingMilliseconds(50);
    });
    ControllerWatcher::SetSettlingMilliseconds(kProductSettleMs);
    startWatcher();
    QTRY_COMPARE(announced(), 3);

    QDeviceWatcherThread devices;
    QList<QPair<bool, quint64>> reports;
    QObject::connect(&devices, &QDeviceWatcherThread::DeviceChanged, this,
                     [&reports](bool added, quint64 id) { reports << qMakePair(added, id); });
    QObject::connect(&devices, &QDeviceWatcherThread::DeviceChanged, m_watcher, &ControllerWatcher::update_device_by_entryid);
    devices.DoWork();
    QTRY_COMPARE(reports.size(), 3);
    // Each change waits until the device watcher has reported it.
    const auto seen = [&reports](bool added, int order) {
        return QTest::qWaitFor([&] { return !reports.isEmpty() && reports.back() == qMakePair(added, entryIdOf(order)); },
                               10000);
    };
    const auto unplug = [&](int order) {
        m_sim->removeDriverController(ctls[size_t(order)]);
        return seen(false, order);
    };
    const auto plug = [&](int order) {
        ctls[size_t(order)] = m_sim->addDriverController(m_folder, order, configs[size_t(order)], entryIdOf(order));
        return ctls[size_t(order)] && seen(true, order);
    };

    qint64 took = -1;
    for (int flap = 0; flap < flaps; ++flap) {
        QVERIFY(unplug(1));
        QVERIFY(plug(1));
        if (flap != 1)
            continue;
        QElapsedTimer taken;
        taken.start();
        bool done = false;
        if (connect) {
            QMetaObject::invokeMethod(m_watcher, "add_ctrl_by_ip", Qt::QueuedConnection, Q_ARG(QString, QString::fromLatin1(kConnected)));
            done = QTest::qWaitFor([] { return ZynGetHost()->get_controller_by_ip(QString::fromLatin1(kConnected)) != nullptr; },
                                   flaps * 2 * kProductSettleMs);
        } else {
            m_sim->removeDriverController(ctls[2]);
            done = QTest::qWaitFor([] { return ZynGetHost()->get_controller_by_entryid(entryIdOf(2)) == nullptr; },
                                   flaps * 2 * kProductSettleMs);
        }
        took = taken.elapsed();
        std::printf("%s taken after %lld ms\n", connect ? "Connect" : "removal of slot 2", took);
        QVERIFY(done);
    }
    if (forGood)
        QVERIFY(unplug(1));
    // A controller plugged in last: once it is announced, every arrival before it has settled
    // and what it made has been announced.
    QVERIFY(plug(3));
    const QString last = QString::fromStdString(ctls[3]->serial());
    QTRY_VERIFY_WITH_TIMEOUT(announcedSerials.contains(last), (flaps + 2) * kProductSettleMs + 10000);
    devices.Stop();

    QVERIFY2(took >= 0 && took < kProductSettleMs, qPrintable(QString::number(took)));
    const QString slot1 = QString::fromStdString(configs[1].serial);
    QCOMPARE(announcedSerials.count(slot1), forGood ? 1 : 2);
    QCOMPARE(ZynGetHost()->get_controller_by_entryid(entryIdOf(1)) != nullptr, !forGood);
    QCOMPARE(ZynGetHost()->get_controller_by_entryid(entryIdOf(0)) != nullptr, true);
    QCOMPARE(ZynGetHost()->get_controller_by_entryid(entryIdOf(2)) != nullptr, connect);
    QCOMPARE(announced(), 3 + (forGood ? 0 : 1) + (connect ? 1 : 0) + 1);
}

void TestDiscovery::hotPlugThroughTheDriverFolder()
{
    auto present = m_sim->addDriverController(m_folder, 0, zynsim::ControllerConfig(), 0x100000001ull);
    QVERIFY(present);
    startWatcher();
    QTRY_COMPARE(announced(), 1);
    QDeviceWatcherThread devices;
    // Received on this thread (a spy would record on the watcher's).
    QList<QPair<bool, quint64>> reports;
    connect(&devices, &QDeviceWatcherThread::DeviceChanged, this,
            [&reports](bool added, quint64 id) { reports << qMakePair(added, id); });
    connect(&devices, &QDeviceWatcherThread::DeviceChanged, m_watcher, &ControllerWatcher::update_device_by_entryid);
    devices.DoWork();
    // The service present at start is reported once, and the host refuses it again.
    QTRY_COMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).first, true);
    QCOMPARE(reports.at(0).second, 0x100000001ull);

    auto plugged = m_sim->addDriverController(m_folder, 1, configOf(zynsim::Profile::Older), 0x100000201ull);
    QVERIFY(plugged);
    QTRY_COMPARE(announced(), 2);
    QTRY_COMPARE(reports.count(), 2);
    QPointer<QZynController> added = m_added.back();
    QCOMPARE(ZynGetHost()->get_controller_by_entryid(0x100000201ull), added.data());

    // A service of another maker's device is logged and not reported.
    {
        std::ofstream other(m_folder + "/other.service");
        other << "class=ZynMSR\nentry_id=777\nsocket=other.sock\nname=ZynMSR\nparent=Another maker\norder=9\n";
    }
    QTRY_VERIFY(m_messages->matching(QStringLiteral("^777  device added$")).size() == 1);
    QCOMPARE(reports.count(), 2);

    m_sim->removeDriverController(plugged);
    QTRY_COMPARE(m_removed.size(), 1);
    QTRY_COMPARE(reports.count(), 3);
    QCOMPARE(reports.at(2).first, false);
    QTRY_VERIFY(added.isNull());
    QCOMPARE(announced(), 2);

    QElapsedTimer timer;
    timer.start();
    devices.Stop();
    QVERIFY(timer.elapsed() < 1200);
    m_sim->removeDriverController(present);
}

void TestDiscovery::powerMessages()
{
    auto source = std::make_shared<iokit::InjectedPowerSource>();
    iokit::setPowerSource(source);
    QPowerStateWatcherThread power;
    QList<quint32> messages;
    connect(&power, &QPowerStateWatcherThread::PowerStateChanged, this,
            [&messages](quint32 type) { messages << type; });
    power.DoWork();
    // Injected once the watcher has registered (an expression QTRY_ would repeat).
    QElapsedTimer registered;
    registered.start();
    while (!source->inject(0xE0000270, 11) && registered.elapsed() < 3000)
        QTest::qWait(10);
    QVERIFY(source->inject(0xE0000280, 12));
    QVERIFY(source->inject(0xE0000320, 14));
    QVERIFY(source->inject(0xE0000300, 13));
    QVERIFY(source->inject(0x12345678, 15));
    QTRY_COMPARE(messages.count(), 5);
    const quint32 expected[] = {0xE0000270, 0xE0000280, 0xE0000320, 0xE0000300, 0x12345678};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(messages.at(i), expected[i]);
    QCOMPARE(source->allowed(), (std::vector<intptr_t>{11, 12}));
    QCOMPARE(m_messages->matching(QStringLiteral("finished waking up")).size(), 1);
    QCOMPARE(m_messages->matching(QStringLiteral("started the wake up process")).size(), 1);
    QElapsedTimer timer;
    timer.start();
    power.Stop();
    QVERIFY(timer.elapsed() < 1200);
    iokit::setPowerSource(nullptr);
}

void TestDiscovery::powerWithoutASource()
{
    iokit::setPowerSource(nullptr);
    {
        QPowerStateWatcherThread power;
        power.DoWork();
        QTRY_COMPARE(m_messages->matching(QStringLiteral("^Failed to IORegisterForSystemPower\\(\\)!!")).size(), 1);
        QElapsedTimer timer;
        timer.start();
        power.Stop();
        QVERIFY(timer.elapsed() < 1200);
    }
    // The system's source without a system bus: the same.
    if (QFileInfo::exists(QStringLiteral("/run/dbus/system_bus_socket")))
        QSKIP("this machine has a system bus");
    QPowerStateWatcherThread::UseSystemPowerSource();
    QPowerStateWatcherThread power;
    power.DoWork();
    QTRY_COMPARE(m_messages->matching(QStringLiteral("^Failed to IORegisterForSystemPower\\(\\)!!")).size(), 2);
    power.Stop();
    iokit::setPowerSource(nullptr);
}

// Holds the thread it lives on until released. Everything it shares with the releasing thread
// goes through its own lock, which the thread sanitizer follows (Qt's event queue it does not).
class Holder : public QObject {
    Q_OBJECT
public:
    void arm()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_released = false;
    }
    Q_INVOKABLE void hold()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait(lock, [this] { return m_released; });
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_released = true;
        }
        m_wake.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_released = false;
};

// A stop that comes while the handed-over start still waits on the watcher's thread cancels it:
// the start must not run the loop after the stop, which would then wait for it for ever.
template <typename Watcher>
static bool stopEndsWhileTheStartWaits()
{
    Watcher watcher;
    Holder holder;
    holder.arm();
    holder.moveToThread(watcher.thread());
    // Holds the watcher's thread, so that the start is handed over behind it.
    QMetaObject::invokeMethod(&holder, "hold", Qt::QueuedConnection);
    watcher.DoWork();
    std::future<void> stopped = std::async(std::launch::async, [&watcher] { watcher.Stop(); });
    // Whether the stop has begun cannot be seen from here; either order must end.
    stopped.wait_for(std::chrono::milliseconds(100));
    holder.release();
    const bool ended = stopped.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    if (!ended) {
        qCritical("the stop did not end");
        std::abort();   // the watcher's thread runs its loop for ever: nothing can end it
    }
    return !watcher.IsRunning();
}

void TestDiscovery::stopBeforeTheLoopStarts()
{
    iokit::setPowerSource(nullptr);
    QVERIFY(stopEndsWhileTheStartWaits<QDeviceWatcherThread>());
    QVERIFY(stopEndsWhileTheStartWaits<QPowerStateWatcherThread>());
}

void TestDiscovery::withdrawnControllersStayApart_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("withdrawn");
    for (int count : {2, 3})
        for (int withdrawn = 0; withdrawn < count; ++withdrawn)
            QTest::addRow("%d controllers, slot %d goes", count, withdrawn) << count << withdrawn;
}

// Driver controllers found by the start-up scan, one withdrawn: its object reaches no other
// controller, the removal report takes it off the list, the others keep their own objects, and
// it comes back (or a new one comes) once, by arrival or rescan.
void TestDiscovery::withdrawnControllersStayApart()
{
    QFETCH(int, count);
    QFETCH(int, withdrawn);
    const auto report = [this](bool added, int order) {
        QMetaObject::invokeMethod(m_watcher, "update_device_by_entryid", Qt::QueuedConnection, Q_ARG(bool, added),
                                  Q_ARG(quint64, entryIdOf(order)));
    };
    const auto profileOf = [](int order) { return configOf(order % 2 ? zynsim::Profile::Older : zynsim::Profile::Enclosure); };
    std::vector<std::shared_ptr<zynsim::FakeController>> ctls;
    for (int i = 0; i < count; ++i) {
        ctls.push_back(m_sim->addDriverController(m_folder, i, profileOf(i)));
        QVERIFY(ctls.back());
        for (int e = 0; e <= i; ++e)   // event counters of their own
            ctls.back()->addEvent(sEVET_DATA{});
    }
    QStringList rows;
    const auto logged = connect(ZynGetHost(), &QZynHost::LogMessage, this, [&rows](QZynLog* log) {
        rows << log->text;
        delete log;
    });
    startWatcher();
    QTRY_COMPARE(announced(), count);
    const QList<QPointer<QZynController>> objects = m_added;
    zynsim::ControllerConfig same = profileOf(withdrawn);
    same.serial = ctls[size_t(withdrawn)]->serial();
    const QString goneText = objects[withdrawn]->GetText();

    m_sim->removeDriverController(ctls[size_t(withdrawn)]);
    for (const auto& ctl : ctls)
        ctl->clearLog();
    sSYSTEM_INFO info;
    QVERIFY(objects[withdrawn]->ZynGetSysInfo(&info) != ZYN_OK);
    for (const auto& ctl : ctls)
        QCOMPARE(int(ctl->log().size()), 0);
    report(false, withdrawn);
    QTRY_VERIFY(objects[withdrawn].isNull());
    QCOMPARE(m_removed.size(), 1);
    QCOMPARE(rows.filter(QRegularExpression(QStringLiteral(" disconnected\\.$"))),
             QStringList{QStringLiteral("%1 disconnected.").arg(goneText)});
    QCOMPARE(listedControllers(), count - 1);
    for (int i = 0; i < count; ++i) {
        if (i == withdrawn)
            continue;
        QZynController* c = objects[i];
        QCOMPARE(ZynGetHost()->get_controller_by_entryid(entryIdOf(i)), c);
        int counter = -1;
        QCOMPARE(c->ZynPollEvent(&counter), u32(ZYN_OK));
        QCOMPARE(uint32_t(counter), ctls[size_t(i)]->eventCounter());
        QCOMPARE(c->ZynGetSysInfo(&info), u32(ZYN_OK));
        QCOMPARE(info.serialNumber(), ctls[size_t(i)]->serial());
        QCOMPARE(commandsAfterConfirming(*ctls[size_t(i)]), (std::vector<int>{ZYN_CMD_POLL_EVENT, ZYN_CMD_GET_SYSINFO}));
    }

    // Plugged back in, it is listed once, whichever of arrival and rescan finds it; so is a new
    // controller that no report announced.
    QVERIFY(m_sim->addDriverController(m_folder, withdrawn, same));
    report(true, withdrawn);
    QTRY_COMPARE(announced(), count + 1);
    QCOMPARE(m_added.back()->GetSysInfo()->GetSerialNumber(), QString::fromStdString(same.serial));
    auto extra = m_sim->addDriverController(m_folder, count, zynsim::ControllerConfig());
    QVERIFY(extra);
    const int statusLines = m_status.size();
    QMetaObject::invokeMethod(m_watcher, "scan_controller_by_driver", Qt::QueuedConnection);
    report(true, withdrawn);
    report(true, count);
    QMetaObject::invokeMethod(m_watcher, "scan_controller_by_driver", Qt::QueuedConnection);
    QTRY_COMPARE(m_status.size(), statusLines + 4);
    QCOMPARE(announced(), count + 2);
    QCOMPARE(m_added.back()->GetSysInfo()->GetSerialNumber(), QString::fromStdString(extra->serial()));
    QCOMPARE(listedControllers(), count + 1);
    disconnect(logged);
}

void TestDiscovery::unusableControllersAreNotListed_data()
{
    // How the controller is found, and whether it is silent (else another client holds the
    // driver while it is asked who it is); the log rows that follow.
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QStringList>("rows");
    const QStringList slot0{QStringLiteral("No controller found in slot 0")};
    const QStringList slot1{QStringLiteral("No controller found in slot 1")};
    QTest::newRow("driver scan") << "scan" << false << slot0;
    QTest::newRow("driver arrival") << "arrival" << false << slot0;
    QTest::newRow("driver scan, silent") << "scan" << true << slot1;
    QTest::newRow("driver arrival, silent") << "arrival" << true << slot1;
    QTest::newRow("add by address") << "address" << true
                                    << QStringList{QStringLiteral("No controller found at %1").arg(QLatin1String(kOther))};
}

// A controller whose session or identity could not be had while it arrived is not listed (a
// blank row that takes commands, or a second row of a busy controller); the log list says so
// as it says for a failed probe, naming the driver slot or the address.
void TestDiscovery::unusableControllersAreNotListed()
{
    QFETCH(QString, way);
    QFETCH(bool, silent);
    QFETCH(QStringList, rows);
    QStringList logged;
    const auto logging = connect(ZynGetHost(), &QZynHost::LogMessage, this, [&logged](QZynLog* log) {
        if (log->level == QZynEvent::Serious)
            logged << log->text;
        delete log;
    });
    auto unhook = qScopeGuard([logging] { QObject::disconnect(logging); });
    iokit::io_connect_t holder = 0;
    std::shared_ptr<zynsim::FakeController> ctl;
    QList<QZynController*> added;
    int listed = 0;
    if (way == QLatin1String("address")) {
        // It answers the probe, then nothing.
        zynsim::ControllerConfig config;
        config.silentAfterFrames = 1;
        ctl = m_sim->addUdpController(kOther, config);
        QVERIFY(ctl);
        added = ZynGetHost()->scan_controller_by_ip(QString::fromLatin1(kOther));
    } else {
        int slot = 0;
        if (silent) {
            // Slot 0 answers; slot 1 never does.
            QVERIFY(m_sim->addDriverController(m_folder, 0, zynsim::ControllerConfig()));
            zynsim::ControllerConfig config;
            config.silentAfterFrames = 0;
            slot = 1;
            ctl = m_sim->addDriverController(m_folder, slot, config);
            QVERIFY(ctl);
            listed = 1;
        } else {
            ctl = m_sim->addDriverController(m_folder, slot, zynsim::ControllerConfig());
            QVERIFY(ctl);
            holder = holdDriverLock();
            QVERIFY(holder != 0);
        }
        if (way == QLatin1String("scan")) {
            QCOMPARE(ZynGetHost()->scan_controller(), listed);
        } else {
            if (silent)
                QCOMPARE(ZynGetHost()->add_controller_by_entryid(entryIdOf(0)).size(), 1);
            added = ZynGetHost()->add_controller_by_entryid(entryIdOf(slot));
        }
    }
    QVERIFY(added.isEmpty());
    QCOMPARE(listedControllers(), listed);
    QCOMPARE(logged, rows);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (holder != 0) {
        // Found again once it answers.
        iokit::IOConnectCallScalarMethod(holder, zynmsr::kSelReleaseLock, nullptr, 0, nullptr, nullptr);
        iokit::IOServiceClose(holder);
        QCOMPARE(ZynGetHost()->add_controller_by_entryid(entryIdOf(0)).size(), 1);
        QCOMPARE(listedControllers(), 1);
    }
}

QTEST_MAIN(TestDiscovery)
#include "test_discovery.moc"
