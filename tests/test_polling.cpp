// Polling end to end: the host lists controllers, a stand-in for the main window starts them,
// and each controller's polling thread builds its tables and announces every change the
// simulator makes, with the real threads and timers.
#include "controllerfixture.h"
#include "devices/enclosure.h"
#include "devices/event.h"
#include "watcher/eventwatcher.h"
#include "devices/host.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

using namespace ctltest;
using namespace simtest;

namespace {

const char* const kAddress = "127.0.0.81";
const char* const kOlderAddress = "127.0.0.82";
const char* const kReplacedAddress = "127.0.0.83";
// Deadlines of the waits for the polling thread, long enough for a machine with every core busy.
constexpr int kPassesDeadlineMs = 20000;
constexpr int kAnnouncedMs = 10000;

// One announcement as the GUI thread saw it.
struct Change {
    int kind;
    int index;      // disks: enclosure * 256 + slot
    int code;
    QString text;   // events: the device text
};

int indexOf(QZynDevice* device)
{
    switch (device->type) {
    case QZynDevice::RaidSet: return static_cast<QZynRaidSet*>(device)->GetIndex();
    case QZynDevice::VolumeSet: return static_cast<QZynVolumeSet*>(device)->GetIndex();
    case QZynDevice::Enclosure: return static_cast<QZynEnclosure*>(device)->GetIndex();
    case QZynDevice::Event: return static_cast<QZynEvent*>(device)->GetIndex();
    case QZynDevice::Disk: {
        const QZynDiskIndex& at = static_cast<QZynDisk*>(device)->GetIndex();
        return at.enclosure * 256 + at.slot;
    }
    default: return -1;
    }
}

sEVET_DATA eventOf(uint8_t eventClass, uint8_t code, uint8_t number, const char* name = "", uint32_t at8 = 0)
{
    sEVET_DATA e;
    std::memset(&e, 0, sizeof e);
    e.set(eventClass, code, number);
    e.setName(name);
    e.setDuration(at8);
    e.setTime(0x80000000u | (5u << 27) | (26u << 22) | (1u << 17));
    return e;
}

} // namespace

// Plays the main window's part: starts each controller the host announces and keeps what the
// controllers announce.
class Harness : public QObject {
    Q_OBJECT
public:
    Harness()
    {
        connect(ZynGetHost(), &QZynHost::DeviceChanged, this, &Harness::hostChanged);
        connect(ZynGetHost(), &QZynHost::LogMessage, this, [](QZynLog* log) { delete log; });
    }
    QList<Change> changes;
    QList<QPointer<QZynController>> removed;

    int count(int kind, int index, int code) const
    {
        int n = 0;
        for (const Change& c : changes)
            n += c.kind == kind && c.index == index && c.code == code;
        return n;
    }
    bool has(int kind, int index, int code) const { return count(kind, index, code) > 0; }

public slots:
    void hostChanged(QZynDevice* device, int code)
    {
        if (device->type != QZynDevice::Controller)
            return;
        auto* controller = static_cast<QZynController*>(device);
        if (code == QZynDevice::DeviceAdded) {
            connect(controller, &QZynController::DeviceChanged, this, &Harness::deviceChanged);
            controller->Start();
        } else if (code == QZynDevice::DeviceRemoved) {
            removed << QPointer<QZynController>(controller);
        }
    }
    void deviceChanged(QZynDevice* device, int code)
    {
        Change c{device->type, indexOf(device), code, QString()};
        if (device->type == QZynDevice::Event)
            c.text = static_cast<QZynEvent*>(device)->GetDeviceText();
        changes << c;
    }
};

class TestPolling : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void buildAnnouncesInOrder();
    void changesAreAnnouncedOnce();
    void libraryChangesAreAnnouncedOnce();
    void pauseStopsAndResumeGoesOn();
    void authorisationHoldRunsOut();
    void hardwareMonitorOfTheSelectedController();
    void noEventIsLostToAnotherReader();
    void ringCapacities_data();
    void ringCapacities();
    void numbersOutOfRangeInEvents();
    void olderFamilyTables();
    void driverScanAndEntryIds();
    void givenUpWhilePolling();
    void anotherControllerAtTheAddress();

private:
    // Serves a controller at `address`, lists it, announces it and waits until it is online.
    QZynController* online(const char* address, const zynsim::ControllerConfig& config = zynsim::ControllerConfig());
    // Waits until the polling thread has ended `passes` more passes and takes what they announced:
    // the window in which a change announced twice would show, however busy the machine.
    bool passesEnded(int passes);

    QTemporaryDir m_dir;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    std::unique_ptr<Harness> m_harness;
    std::unique_ptr<MessageLog> m_messages;
};

void TestPolling::initTestCase()
{
    fastPolls();
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    qputenv("ZYNMSR_DRIVER_DIR", (m_dir.path() + "/driver").toLocal8Bit());
    ControllerEventWatcherThread::SetIntervals(100, 300, 20);
    ControllerEventWatcherThread::Install();
}


void TestPolling::cleanup()
{
    emptyHost();
    QCoreApplication::processEvents();
    m_harness.reset();
    m_ctl.reset();
    m_sim.reset();
    m_messages.reset();
}

QZynController* TestPolling::online(const char* address, const zynsim::ControllerConfig& config)
{
    m_messages = std::make_unique<MessageLog>();
    m_harness = std::make_unique<Harness>();
    if (!m_sim)
        m_sim = std::make_unique<zynsim::Simulator>();
    m_ctl = m_sim->addUdpController(address, config);
    if (!m_ctl)
        return nullptr;
    return announceOnline(address);
}

bool TestPolling::passesEnded(int passes)
{
    const QString endOfPass = QStringLiteral("monitor thread elapsed time");
    const int target = m_messages->matching(endOfPass).size() + passes;
    const bool ended = QTest::qWaitFor([&] { return m_messages->matching(endOfPass).size() >= target; },
                                       kPassesDeadlineMs);
    QCoreApplication::processEvents();
    return ended;
}

void TestPolling::buildAnnouncesInOrder()
{
    QZynController* c = online(kAddress);
    QVERIFY(c);
    QTRY_VERIFY(m_harness->has(QZynDevice::Disk, 1 * 256 + 1, 0));
    // Events first, then enclosures, raid sets, volume sets and disks.
    QList<int> order;
    for (const Change& change : m_harness->changes)
        if (change.code == 0 && (order.isEmpty() || order.back() != change.kind))
            order << change.kind;
    QCOMPARE(order, (QList<int>{QZynDevice::Event, QZynDevice::Enclosure, QZynDevice::RaidSet,
                                QZynDevice::VolumeSet, QZynDevice::Disk}));
    QCOMPARE(m_harness->count(QZynDevice::RaidSet, 0, 0), 1);
    QCOMPARE(m_harness->count(QZynDevice::VolumeSet, 0, 0), 1);
    for (int s = 0; s < 5; ++s)
        QVERIFY(m_harness->has(QZynDevice::Disk, s, 0));
    QVERIFY(m_harness->has(QZynDevice::Enclosure, 0, 0));
    QCOMPARE(m_ctl->framesReceived(0x1D), 1);   // the clock, once
    QCOMPARE(c->GetRaidSet(0)->GetStateString(), QStringLiteral("Normal"));
    QCOMPARE(c->GetDisk(QZynDiskIndex(3, 0))->GetUsageString(), QStringLiteral("HotSpare[Global]"));
    QCOMPARE(c->GetEnclosure(0)->GetDiskDescriptor(0), QStringLiteral("Slot 01"));
    std::vector<int> events;
    c->GetEventCount(events);
    QVERIFY(events.size() >= 5);
    QVERIFY(m_messages->matching(QStringLiteral("^Set controller state to online$")).size() == 1);
    QTRY_VERIFY(!m_messages->matching(QStringLiteral("monitor thread elapsed time")).isEmpty());
    // An online controller announces itself every pass.
    QTRY_VERIFY(m_harness->has(QZynDevice::Controller, -1, 2));

    // Starting again while it runs changes nothing.
    c->Start();
    QVERIFY(passesEnded(2));
    QCOMPARE(m_ctl->framesReceived(0x1D), 1);
    QCOMPARE(m_harness->count(QZynDevice::RaidSet, 0, 0), 1);
}

void TestPolling::changesAreAnnouncedOnce()
{
    QZynController* c = online(kAddress);
    QVERIFY(c);
    m_harness->changes.clear();

    const int volume = m_ctl->createVolumeSet(0, "Second", 2000000, 3, 128);
    QVERIFY(volume > 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::VolumeSet, volume, 0), 2000);
    QVERIFY(m_harness->has(QZynDevice::RaidSet, 0, 2));
    QVERIFY(passesEnded(2));
    QCOMPARE(m_harness->count(QZynDevice::VolumeSet, volume, 0), 1);

    const int raid = m_ctl->createRaidSet("Spare set", {{0, 4}, {1, 0}, {1, 1}});
    QVERIFY(raid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::RaidSet, raid, 0), 2000);
    QVERIFY(m_ctl->deleteRaidSet(raid));
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::RaidSet, raid, 1), 2000);
    QVERIFY(!c->GetRaidSet(raid)->IsPresent());
    QVERIFY(passesEnded(2));
    QCOMPARE(m_harness->count(QZynDevice::RaidSet, raid, 0), 1);
    QCOMPARE(m_harness->count(QZynDevice::RaidSet, raid, 1), 1);

    QVERIFY(m_ctl->addDisk(1, 3, "Varnel VD8000S", "NEW0001", 15628053168ull));
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::Disk, 256 + 3, 0), 2000);
    QCOMPARE(c->GetDisk(QZynDiskIndex(3, 1))->GetUsageString(), QStringLiteral("Free"));

    QVERIFY(m_ctl->setVolumeState(0, 0x8, 990));
    QTRY_VERIFY_WITH_TIMEOUT(c->GetVolumeSet(0)->GetStateString() == QLatin1String("Rebuilding(99.0%)"), 2000);
    m_harness->changes.clear();
    QVERIFY(m_ctl->advanceProgress(0, 10));
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::VolumeSet, 0, 2), 2000);
    QTRY_COMPARE(c->GetVolumeSet(0)->GetStateString(), QStringLiteral("Normal"));
}

void TestPolling::libraryChangesAreAnnouncedOnce()
{
    QZynController* c = online(kAddress);
    QVERIFY(c);
    m_harness->changes.clear();
    _DEVICE_LIST list;
    std::memset(&list, 0, sizeof list);
    list.count = 2;
    list.drives[0] = {1, 0};
    list.drives[1] = {1, 1};
    char name[] = "Library set";
    QCOMPARE(c->ZynCreateRaidSet(&list, name, 0), 0u);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::RaidSet, 1, 0), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::Disk, 256 + 0, 2), 2000);
    _VOLUMESET_CAP cap;
    std::memset(&cap, 0, sizeof cap);
    cap.size = sizeof cap;
    cap.raidSet = 1;
    cap.capacity = 100.0;
    cap.level = 0;
    cap.stripe = 5;
    cap.channel = 0;
    cap.id = 1;
    cap.lun = 0;
    cap.tagged = 1;
    cap.cache = 1;
    cap.reserved4 = 4;
    QCOMPARE(c->ZynCreateVolSet(&cap, 0), 0u);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::VolumeSet, 1, 0), 2000);
    QCOMPARE(c->ZynDelVolSet(1), 0u);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::VolumeSet, 1, 1), 2000);
    QCOMPARE(c->ZynDelRaidSet(1), 0u);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::RaidSet, 1, 1), 2000);
    QVERIFY(passesEnded(2));
    QCOMPARE(m_harness->count(QZynDevice::RaidSet, 1, 0), 1);
    QCOMPARE(m_harness->count(QZynDevice::RaidSet, 1, 1), 1);
    QCOMPARE(m_harness->count(QZynDevice::VolumeSet, 1, 0), 1);
    QCOMPARE(m_harness->count(QZynDevice::VolumeSet, 1, 1), 1);
}

void TestPolling::pauseStopsAndResumeGoesOn()
{
    QZynController* c = online(kAddress);
    QVERIFY(c);
    c->Pause();
    QCOMPARE(c->GetState(), int(QZynController::StateOffline));
    QCOMPARE(m_messages->matching(QStringLiteral("^Set controller state to offline$")).size(), 1);
    QCOMPARE(m_messages->matching(QStringLiteral("^m_authtimer->start\\(10000\\) stopped$")).size(), 1);
    m_ctl->clearLog();
    QTest::qWait(300);
    QVERIFY(m_ctl->log().empty());

    const int raidSetAdds = m_harness->count(QZynDevice::RaidSet, 0, 0);
    c->Resume();
    QTRY_COMPARE(c->GetState(), int(QZynController::StateOnline));
    QTRY_VERIFY(m_ctl->framesReceived(0x19) > 0);
    QCOMPARE(m_ctl->framesReceived(0x1D), 0);   // no second build
    QCOMPARE(m_harness->count(QZynDevice::RaidSet, 0, 0), raidSetAdds);
    QVERIFY(m_ctl->addDisk(1, 4, "Varnel VD8000S", "NEW0002", 15628053168ull));
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::Disk, 256 + 4, 0), 2000);

    // Stopped for good: offline, and no frame goes out.
    c->StopEventWatcher();
    QCOMPARE(c->GetState(), int(QZynController::StateOffline));
    m_ctl->clearLog();
    QTest::qWait(300);
    QVERIFY(m_ctl->log().empty());
}

void TestPolling::authorisationHoldRunsOut()
{
    QZynController* c = online(kAddress);
    QVERIFY(c);
    // Counting below zero from the start never sets it.
    c->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    const int counted = c->GetAuthorisationHold();
    QTRY_VERIFY_WITH_TIMEOUT(c->GetAuthorisationHold() <= counted - 5, kAnnouncedMs);
    QVERIFY(!c->IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH));
    QVERIFY(c->GetAuthorisationHold() < 0);
    // A password accepted: the hold runs out once.
    c->SetAuthorisationHold(10);
    QTRY_VERIFY_WITH_TIMEOUT(c->IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(c->GetAuthorisationHold() <= -5, kAnnouncedMs);   // ticks past zero
    QCOMPARE(m_messages->matching(QStringLiteral("SetStatus\\(STATUS_CONTROLLER_NEED_AUTH\\)$")).size(), 1);
    // Set already when the hold reaches zero: nothing more.
    c->SetAuthorisationHold(3);
    QTRY_VERIFY(c->GetAuthorisationHold() < 0);
    QCOMPARE(m_messages->matching(QStringLiteral("SetStatus\\(STATUS_CONTROLLER_NEED_AUTH\\)$")).size(), 1);
}

void TestPolling::hardwareMonitorOfTheSelectedController()
{
    QZynController* c = online(kAddress);
    QVERIFY(c);
    QTest::qWait(400);
    QVERIFY(!m_harness->has(QZynDevice::Controller, -1, 3));
    c->SetHwMonitorHold(0);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::Controller, -1, 3), 2000);
    QVERIFY(m_harness->has(QZynDevice::Enclosure, 0, 3));
    const sSENSORS own = c->GetEnclosureHwMonitor();
    const sSENSORS first = c->GetEnclosure(0)->GetSensors();
    QVERIFY(own.sections[1].count + own.sections[2].count + first.sections[1].count > 0);
}

void TestPolling::noEventIsLostToAnotherReader()
{
    QZynController* c = online(kAddress);
    QVERIFY(c);
    m_harness->changes.clear();
    std::atomic<bool> done{false};
    std::atomic<int> fullReads{0};
    // Another reader of the whole log, as the configuration report does.
    std::thread reader([&] {
        while (!done) {
            c->ReadWholeEventLog([&] {
                int count = 0;
                c->ZynGetReqEventPage(0, &count);
                sEVET_DATA record;
                for (int i = 0; i < count; ++i)
                    c->ZynGetEventObject(i, &record);
            });
            ++fullReads;
        }
    });
    auto stopReader = [&] {
        done = true;
        if (reader.joinable())
            reader.join();
    };
    struct JoinAtExit {
        std::function<void()> stop;
        ~JoinAtExit() { stop(); }
    } joinAtExit{stopReader};
    auto mark = [](int i) { return QStringLiteral("Mark %1").arg(i, 2, 10, QLatin1Char('0')); };
    auto seen = [&](const QString& text) {
        int n = 0;
        for (const Change& change : m_harness->changes)
            n += change.kind == QZynDevice::Event && change.code == 0 && change.text == text;
        return n;
    };
    auto everyMarkSeen = [&] {
        for (int i = 1; i <= 20; ++i)
            if (seen(mark(i)) == 0)
                return false;
        return true;
    };
    for (int i = 1; i <= 20; ++i) {
        m_ctl->addEvent(eventOf(6, 8, 0, qPrintable(mark(i))));
        // The other reader takes the whole log (a read begun after this event) before the next.
        const int reads = fullReads;
        QTRY_VERIFY_WITH_TIMEOUT(fullReads >= reads + 2, kAnnouncedMs);
    }
    // Announced while the other reader goes on (a reader that kept the polling thread out for
    // long would only delay them), and no second time in the passes that follow.
    if (!QTest::qWaitFor(everyMarkSeen, kAnnouncedMs))
        qWarning("Not every mark announced while the other reader ran");
    stopReader();
    QTRY_VERIFY_WITH_TIMEOUT(everyMarkSeen(), kAnnouncedMs);
    QVERIFY(fullReads > 5);
    QVERIFY(passesEnded(2));
    for (int i = 1; i <= 20; ++i)
        QVERIFY2(seen(mark(i)) == 1, qPrintable(mark(i) + QStringLiteral(" seen %1 times").arg(seen(mark(i)))));
}

void TestPolling::ringCapacities_data()
{
    QTest::addColumn<uint>("capacity");
    QTest::newRow("512") << 512u;
    QTest::newRow("0") << 0u;
    QTest::newRow("16") << 16u;
}

void TestPolling::ringCapacities()
{
    QFETCH(uint, capacity);
    zynsim::ControllerConfig config;
    config.eventRingCapacity = capacity;
    QZynController* c = online(kAddress, config);
    QVERIFY(c);
    for (int i = 0; i < 40; ++i)
        m_ctl->addEvent(eventOf(6, 8, 0, "Many"));
    QVERIFY(m_ctl->addDisk(1, 5, "Varnel VD8000S", "NEW0003", 15628053168ull));
    // Without events the disk still turns up, as a disk in an empty slot.
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::Disk, 256 + 5, 0), 2000);
    std::vector<int> events;
    c->GetEventCount(events);
    for (int slot : events)
        QVERIFY(slot >= 0 && slot < std::min<int>(int(capacity), 256));
    if (capacity == 0) {
        QVERIFY(events.empty());
        QVERIFY(!m_messages->matching(QStringLiteral("No event ring")).isEmpty());
    } else {
        QVERIFY(!events.empty());
    }
}

void TestPolling::numbersOutOfRangeInEvents()
{
    QZynController* c = online(kAddress);
    QVERIFY(c);
    m_harness->changes.clear();
    m_ctl->addEvent(eventOf(1, 0, 200));                      // raid set 200
    m_ctl->addEvent(eventOf(1, 1, 127));                      // an absent raid set deleted
    m_ctl->addEvent(eventOf(2, 8, 250));                      // volume set 250
    m_ctl->addEvent(eventOf(2, 9, 127));                      // an absent volume set deleted
    m_ctl->addEvent(eventOf(3, 0, 200, "", 40));              // enclosure 40
    m_ctl->addEvent(eventOf(3, 1, 9, "", 0xFFFFFFFFu));       // enclosure far out
    m_ctl->addEvent(eventOf(6, 22, 0, "Enclosure#99"));
    m_ctl->addEvent(eventOf(6, 23, 0, "Enclosure#0"));
    m_ctl->addEvent(eventOf(6, 24, 0, "Enclosure#x"));
    m_ctl->addEvent(eventOf(6, 24, 0, "Enclosure#2"));        // enclosure 1, updated
    m_ctl->addEvent(eventOf(2, 77, 0));                       // a code past the table
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::Enclosure, 1, 2), 2000);
    QVERIFY(passesEnded(2));
    QVERIFY(!m_harness->has(QZynDevice::Enclosure, 98, 0));
    QVERIFY(c->GetEnclosure(0)->IsPresent());
    QCOMPARE(c->GetState(), int(QZynController::StateOnline));
}

void TestPolling::olderFamilyTables()
{
    QZynController* c = online(kOlderAddress, configOf(zynsim::Profile::Older));
    QVERIFY(c);
    QTRY_VERIFY(m_harness->has(QZynDevice::Disk, 4, 0));
    std::vector<QZynDiskIndex> all, used, free, spares;
    c->GetDiskSlotCount(all);
    c->GetDiskCount(used);
    c->GetFreeDiskCount(free);
    c->GetHotSpareDiskCount(spares);
    QCOMPARE(int(all.size()), int(m_ctl->systemInfo()[174]));
    QCOMPARE(int(used.size()), 5);
    QCOMPARE(int(free.size()), 1);
    QCOMPARE(free.front().slot, 4);
    QCOMPARE(int(spares.size()), 1);
    QCOMPARE(spares.front().slot, 3);
    QCOMPARE(c->GetFreeVolumeSetName(), QStringLiteral("ZRC-1880-VOL#000"));
    u8 ch = 9, id = 9, lun = 9;
    QVERIFY(c->GetFreeChIdLun(&ch, &id, &lun));
    const sGUI_VOLUMESET v = c->GetVolumeSet(0)->GetRecord();
    QVERIFY(!(ch == v.channel() && id == v.id() && lun == v.lun()));
    QCOMPARE(int(ch), 0);

    // The hardware monitor of the older family: five records.
    c->SetHwMonitorHold(0);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::Controller, -1, 3), 2000);
    QVERIFY(c->GetHwMonitor(1).count > 0);   // the fans
    QCOMPARE(c->GetHwMonitor(7).count, uint16_t(0));

    // A disk removed, by its event.
    QVERIFY(m_ctl->removeDisk(0, 4));
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->has(QZynDevice::Disk, 4, 1), 2000);
    QCOMPARE(c->GetDisk(QZynDiskIndex(4, 0))->GetState(), 0u);
}

void TestPolling::driverScanAndEntryIds()
{
    m_harness = std::make_unique<Harness>();
    m_messages = std::make_unique<MessageLog>();
    m_sim = std::make_unique<zynsim::Simulator>();
    const std::string folder = (m_dir.path() + "/driver").toStdString();
    auto first = m_sim->addDriverController(folder, 0, zynsim::ControllerConfig());
    auto second = m_sim->addDriverController(folder, 1, configOf(zynsim::Profile::Older));
    QVERIFY(first && second);
    QZynHost* host = ZynGetHost();
    QCOMPARE(host->scan_controller(), 2);
    QCOMPARE(host->scan_controller(), 0);   // the same controllers again
    QCOMPARE(host->get_total_controllers(), 2);
    QCOMPARE(host->get_controller(0)->GetConnectionType(), 1);

    auto third = m_sim->addDriverController(folder, 2, zynsim::ControllerConfig(), 0x2000000042ull);
    QVERIFY(third);
    const QList<QZynController*> added = host->add_controller_by_entryid(0x2000000042ull);
    QCOMPARE(added.size(), 1);
    QPointer<QZynController> c = added.front();
    QCOMPARE(host->get_controller_by_entryid(0x2000000042ull), c.data());
    QVERIFY(host->get_controller_by_ip(c->GetSysInfo()->GetIPAddressString()) == nullptr);
    emit host->DeviceChanged(c, QZynDevice::DeviceAdded);
    QTRY_COMPARE(c->GetState(), int(QZynController::StateOnline));
    QVERIFY(host->remove_controller_by_entryid(0x2000000042ull));
    QCOMPARE(m_harness->removed.size(), 1);
    QTRY_VERIFY(c.isNull());
    QVERIFY(host->remove_controller_by_entryid(0x2000000099ull));
    QCOMPARE(m_harness->removed.size(), 1);
    m_sim->removeDriverController(first);
    m_sim->removeDriverController(second);
    m_sim->removeDriverController(third);
}

void TestPolling::givenUpWhilePolling()
{
    QPointer<QZynController> c = online(kAddress);
    QVERIFY(c);
    m_ctl->setSilentAfterFrames(0);
    QTRY_VERIFY_WITH_TIMEOUT(m_harness->removed.size() == 1, 10000);
    QCOMPARE(m_harness->removed.front().data(), c.data());
    QTRY_VERIFY_WITH_TIMEOUT(c.isNull(), 10000);
    QCOMPARE(m_messages->matching(QStringLiteral("Controller error, retry\\[0\\]")).size(), 1);
    QCOMPARE(ZynGetHost()->get_controller(0), static_cast<QZynController*>(nullptr));
    // The queued announcements that still name it are harmless to a receiver that checks.
    QCoreApplication::processEvents();
}

namespace {
// Events `from` .. `to` - 1 of the controller's own, "Own#n".
void logOwnEvents(zynsim::FakeController& ctl, int from, int to)
{
    for (int i = from; i < to; ++i)
        ctl.addEvent(eventOf(6, 8, 0, qPrintable(QStringLiteral("Own#%1").arg(i))));
}
// Another controller takes the address at once (`g_swap`, on the thread that sees it happen)
// when the exchange of the command `g_swapOn` has ended, or kAtPassEnd when a polling pass has.
constexpr int kAtPassEnd = 0x100;
std::atomic<int> g_swapOn{-1};
std::function<void()> g_swap;
void swapIfArmed(int moment)
{
    if (g_swapOn.compare_exchange_strong(moment, -1))
        g_swap();
}
void swapOnExchange(void* exchange)
{
    const auto* block = static_cast<const _IF_CMD_BLOCK*>(exchange);
    if (block->writeLength > kZynFrameDataOffset)
        swapIfArmed(block->writeBuffer[kZynFrameDataOffset]);
}
}   // namespace

void TestPolling::anotherControllerAtTheAddress()
{
    // The controller serving the address logs events of its own and goes; while the polling
    // pass tries it, another takes the address: the controller restarted (with a new firmware,
    // perhaps), or another controller, which has events of its own. Or another answers there at
    // once: between two passes while web pages are read (traffic that keeps the road's run going),
    // in the middle of a pass, or while only the hardware monitor is polled.
    const std::string serial = "Y000000000000083";
    struct Case {
        const char* name;
        int swapAt;              // -1: after a gap; else the moment of a swap at once
        std::string serial;      // of the controller answering afterwards
        zynsim::Profile profile;
        const char* firmware;
        bool removed;
    };
    const Case cases[] = {
        {"another controller", -1, "Y000000000000084", zynsim::Profile::Older, "V1.56 2021-03-18", true},
        {"the same controller back", -1, serial, zynsim::Profile::Enclosure, "V1.56 2021-03-18", false},
        {"the same controller, new firmware", -1, serial, zynsim::Profile::Enclosure, "V1.57 2022-06-01", false},
        {"another at once, web pages read", kAtPassEnd, "Y000000000000085", zynsim::Profile::Enclosure, "", true},
        {"another in the middle of a pass", ZYN_CMD_POLL_EVENT, "Y000000000000086", zynsim::Profile::Enclosure, "", true},
        {"another at once, hardware monitor only", ZYN_CMD_HW_MONITOR, "Y000000000000087", zynsim::Profile::Enclosure,
         "", true},
    };
    const auto eventsTaken = [this] {
        int n = 0;
        for (const Change& change : m_harness->changes)
            n += change.kind == QZynDevice::Event && change.text.startsWith(QLatin1String("Own#"));
        return n;
    };
    char request[] = "GET / HTTP/1.0\r\n\r\n";
    std::vector<char> page(kZynScratchSize);
    int pageLength = 0;
    for (const Case& k : cases) {
        const bool monitorOnly = k.swapAt == ZYN_CMD_HW_MONITOR;
        const bool traffic = k.swapAt == kAtPassEnd;
        if (monitorOnly)
            ControllerEventWatcherThread::SetIntervals(600000, 100, 20);
        zynsim::ControllerConfig first;
        first.serial = serial;
        QPointer<QZynController> c = online(kReplacedAddress, first);
        QVERIFY2(c, k.name);
        const int slot = c->GetHostSlot();
        // The control: this controller's own events are taken.
        logOwnEvents(*m_ctl, 0, 3);
        QVERIFY2(monitorOnly || QTest::qWaitFor([&] { return eventsTaken() == 3; }, kAnnouncedMs), k.name);
        // What the other controller may receive: the read that tells them apart, and the pages.
        std::vector<int> heard{ZYN_CMD_GET_SYSINFO, traffic ? ZYN_CMD_HTTP_PIECE : ZYN_CMD_GET_SYSINFO};
        if (k.swapAt < 0) {
            m_sim.reset();
            const auto missed = [this] {
                return !m_messages->matching(QStringLiteral("Controller error, retry")).isEmpty();
            };
            QTRY_VERIFY_WITH_TIMEOUT(missed(), kAnnouncedMs);
            zynsim::ControllerConfig next = configOf(k.profile);
            next.serial = k.serial;
            next.firmware = k.firmware;
            m_sim = std::make_unique<zynsim::Simulator>();
            m_ctl = m_sim->addUdpController(kReplacedAddress, next);
            QVERIFY2(m_ctl, k.name);
            logOwnEvents(*m_ctl, 3, 9);
        } else {
            zynsim::FakeController* const ctl = m_ctl.get();
            g_swap = [ctl, k, traffic] {
                ctl->clearLog();
                answerAsAnother(*ctl, k.serial);
                if (traffic)
                    logOwnEvents(*ctl, 3, 9);
            };
            if (monitorOnly)
                c->SetHwMonitorHold(0);   // as for the controller selected in the window
            c->ZynSetCallBack(swapOnExchange);
            m_messages->setHook([](const QString& line) {
                if (line.contains(QLatin1String("monitor thread elapsed time")))
                    swapIfArmed(kAtPassEnd);
            });
            g_swapOn = k.swapAt;
            if (!traffic)
                heard.clear();   // the rest of the pass or refresh under way
        }
        if (k.removed) {
            // Web pages are read through the road every 50 ms until the controller goes.
            QElapsedTimer waited;
            waited.start();
            for (; !c.isNull() && waited.elapsed() < kAnnouncedMs; QTest::qWait(50))
                if (traffic)
                    c->ZynHttp(request, int(std::strlen(request)), page.data(), &pageLength);
            // Taken off as a controller that is lost: nothing the other holds reached this
            // controller's tables.
            QVERIFY2(c.isNull(), k.name);
            QVERIFY2(m_harness->removed.size() == 1, k.name);
            QVERIFY2(ZynGetHost()->get_controller(slot) == nullptr, k.name);
            QCoreApplication::processEvents();
            for (int command : commandsReceived(*m_ctl))
                QVERIFY2(heard.empty() || std::count(heard.begin(), heard.end(), command) > 0, k.name);
            QVERIFY2(m_ctl->framesReceived(ZYN_CMD_GET_SYSINFO) >= 1, k.name);
            QVERIFY2(eventsTaken() == (monitorOnly ? 0 : 3), k.name);
            // By the road's confirmation, or by the pass's closing read for a swap in its middle.
            QVERIFY2(m_messages->matching(QStringLiteral("another serial number")).size() == 1, k.name);
            if (k.swapAt < 0) {
                // Found again as itself.
                const QList<QZynController*> again = ZynGetHost()->scan_controller_by_ip(QString::fromLatin1(kReplacedAddress));
                QVERIFY2(again.size() == 1, k.name);
                QCOMPARE(again.front()->GetSysInfo()->GetSerialNumber(), QString::fromStdString(k.serial));
            }
        } else {
            // The same controller: polled on, its record taken afresh.
            QTRY_VERIFY_WITH_TIMEOUT(c->GetSysInfo()->GetFirmWareVersion().startsWith(QLatin1String(k.firmware)), kAnnouncedMs);
            QVERIFY2(passesEnded(2), k.name);
            QVERIFY2(m_ctl->framesReceived(0x19) > 0, k.name);
            QVERIFY2(!c.isNull() && m_harness->removed.isEmpty(), k.name);
            QVERIFY2(ZynGetHost()->get_controller(slot) == c.data(), k.name);
            QVERIFY2(c->GetState() == QZynController::StateOnline, k.name);
        }
        m_messages->setHook(nullptr);
        g_swapOn = -1;
        ControllerEventWatcherThread::SetIntervals(100, 300, 20);
        cleanup();
    }
}

QTEST_MAIN(TestPolling)
#include "test_polling.moc"
