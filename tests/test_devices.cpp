// Device objects: raid sets, volume sets, disks, enclosures and events, filled with the records
// the simulator sends and with records made to hit the edge cases.
#include "controllerfixture.h"
#include "devices/enclosure.h"
#include "devices/event.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

#include <QtTest>

#include <cstring>

using namespace ctltest;
using namespace simtest;

namespace {

const char* const kAddress = "127.0.0.71";
const char* const kOlderAddress = "127.0.0.72";

std::vector<std::pair<int, int>> addresses(const std::vector<QZynDiskIndex>& list)
{
    std::vector<std::pair<int, int>> out;
    for (const QZynDiskIndex& index : list)
        out.emplace_back(index.enclosure, index.slot);
    return out;
}

sGUI_RAIDSET raidRecord(int members, uint8_t flags = 0x05)
{
    sGUI_RAIDSET r;
    std::memset(&r, 0, sizeof r);
    r.setName("Raid Set # 002");
    r.setMinMemberCapacity(1000);
    for (int i = 0; i < members && i < 32; ++i)
        r.setMember(i, uint8_t(i), 0);
    r.setMemberCount(members);
    r.setStateFlags(flags);
    return r;
}

sGUI_VOLUMESET volumeRecord(uint32_t state, uint32_t degraded = 0, uint32_t progress = 0, bool nested = false)
{
    sGUI_VOLUMESET v;
    std::memset(&v, 0, sizeof v);
    v.setName("Volume---VOL#001");
    v.setCapacity(4096);
    v.setState(state);
    v.setDegraded(degraded);
    v.setProgress(progress);
    v.setFlags(nested ? sGUI_VOLUMESET::kFlagNested : 0);
    return v;
}

sGUI_PHY_DRV driveRecord(uint16_t state, uint8_t raidSet = 255)
{
    sGUI_PHY_DRV d;
    std::memset(&d, 0, sizeof d);
    d.setModel("Varnel VD4000S");
    d.setState(state);
    d.setRaidSet(raidSet);
    return d;
}

sEVET_DATA eventRecord(uint8_t eventClass, uint8_t code, const char* name = "")
{
    sEVET_DATA e;
    std::memset(&e, 0, sizeof e);
    e.set(eventClass, code);
    e.setName(name);
    return e;
}

// Makes the controller hold the simulator's system information changed by `edit`.
void setSysInfo(QZynController& controller, const std::function<void(sSYSTEM_INFO&)>& edit)
{
    sSYSTEM_INFO info = controller.GetSysInfo()->GetRecord();
    edit(info);
    controller.GetSysInfo()->SetupInfo(&info);
}

} // namespace

class TestDevices : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { fastPolls(); }
    void cleanup() { m_rig.stop(); }

    void kindNames();
    void arraysFromTheSimulator();
    void progressAndStateFollowTheController();
    void degradedAndRemovedRaidSet();
    void emptyAndIncompleteRaidSets();
    void volumeNumbersAboveSixteen();
    void freeCapacity();
    void volumeStateTexts_data();
    void volumeStateTexts();
    void raidLevelTexts();
    void positions();
    void disksFromTheSimulator();
    void diskUsageRules();
    void rebuildMembership();
    void eventsFromTheSimulator();
    void deviceEventsOnTheOlderFamily();
    void eventTexts();
    void eventTables();
    void eventCodeNames();
    void enclosureFromTheSimulator();
    void outOfRangeFromTheSimulator();
    void copiesKeepTheirOwnRecords();

private:
    QZynController& controller() { return *m_rig.controller; }
    zynsim::FakeController& sim() { return *m_rig.ctl; }
    void fillArrays();

    ControllerRig m_rig;
};

void TestDevices::kindNames()
{
    const char* expected[] = {"Unknown Device", "LocalHost", "Network", "Controller", "RaidSet",
                              "VolumeSet", "Disk", "Event", "Enclosure", "Scheduler"};
    for (int i = 0; i < 10; ++i) {
        QZynDevice device(i);
        QCOMPARE(device.type, i);
        QCOMPARE(device.name, QString::fromLatin1(expected[i]));
    }
    QCOMPARE(QZynDevice(42).name, QStringLiteral("Unknown Device"));
    QCOMPARE(QZynRaidSet(nullptr, 0, nullptr).name, QStringLiteral("RaidSet"));
    QCOMPARE(QZynEvent(nullptr, 0, nullptr).type, int(QZynDevice::Event));
}

void TestDevices::fillArrays()
{
    for (int i = 0; i < 4; ++i) {
        sGUI_RAIDSET r;
        if (controller().ZynGetRaidSetInfo(uint8_t(i), &r) == 0)
            controller().GetRaidSet(i)->SetupInfo(&r);
        sGUI_VOLUMESET v;
        if (controller().ZynGetVolSetInfo(uint8_t(i), &v) == 0)
            controller().GetVolumeSet(i)->SetupInfo(&v);
    }
}

void TestDevices::arraysFromTheSimulator()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    fillArrays();
    QZynRaidSet* raid = controller().GetRaidSet(0);
    QVERIFY(raid->IsPresent());
    QCOMPARE(raid->GetName().size(), 16);
    QVERIFY(raid->GetName().startsWith(QLatin1String("Raid Set # 000")));
    QCOMPARE(raid->GetStateString(), QStringLiteral("Normal"));
    QCOMPARE(QZynRaidSet::StateIconPath(raid->GetStateString()), QStringLiteral(":/images/icons/devices/raidset.png"));
    std::vector<QZynDiskIndex> members;
    raid->GetDiskCount(members);
    QCOMPARE(addresses(members), (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}}));
    for (const QZynDiskIndex& m : members)
        QVERIFY(m.disk == nullptr);
    QCOMPARE(raid->GetTotalCapacity(), 3 * raid->GetMinDiskCapacity());
    QCOMPARE(raid->GetMinDiskCapacity(), sim().raidSet(0).minMemberCapacity());
    std::vector<int> volumes;
    raid->GetVolumeSetCount(volumes);
    QCOMPARE(volumes, std::vector<int>{0});
    QVERIFY(!raid->HasR5060Volumes());

    QZynVolumeSet* volume = controller().GetVolumeSet(0);
    QVERIFY(volume->IsPresent());
    QCOMPARE(volume->GetName(), QStringLiteral("Volume---VOL#000"));
    QCOMPARE(volume->GetStateString(), QStringLiteral("Normal"));
    QCOMPARE(volume->GetRaidLevelString(), QStringLiteral("Raid5"));
    QCOMPARE(volume->GetRaidSet(), raid);
    QCOMPARE(volume->GetSerialNumber().size(), 16);
    QCOMPARE(volume->GetSerialNumber().left(int(sim().volumeSet(0).serial().size())),
             QString::fromStdString(sim().volumeSet(0).serial()));
    QCOMPARE(raid->PositionOf(volume), 0);
    QCOMPARE(raid->GetCombinedState(), 0u);

    // Free space in decimal gigabytes for each level.
    const double g = double(raid->GetFreeCapacity()) * 512.0 / 1e9;
    QVERIFY(g > 0);
    QCOMPARE(raid->GetFreeCapacityInGBByVolumeType(0), g);
    QCOMPARE(raid->GetFreeCapacityInGBByVolumeType(1), g * 0.5);
    QCOMPARE(raid->GetFreeCapacityInGBByVolumeType(3), g * 2 / 3);
    QCOMPARE(raid->GetFreeCapacityInGBByVolumeType(4), g * 1 / 3);
    QCOMPARE(raid->GetFreeCapacityInGBByVolumeType(5), 0.0);
}

void TestDevices::progressAndStateFollowTheController()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    fillArrays();
    QZynRaidSet* raid = controller().GetRaidSet(0);
    QZynVolumeSet* volume = controller().GetVolumeSet(0);
    struct Case {
        uint32_t state, progress;
        const char* volumeText;
        const char* raidText;
    } cases[] = {
        {0x8, 125, "Rebuilding(12.5%)", "Rebuilding"},
        {0x8, 5, "Rebuilding(0.5%)", "Rebuilding"},
        {0x9, 333, "Initializing(33.3%)", "Initializing"},
        {0x4, 1000, "Migrating(100.0%)", "Migrating"},
        {0x100, 0, "Checking(0.0%)", "Checking"},
        {0x80, 0, "Need Rebuild", "Degraded"},
        {0x10, 0, "Need Init", "Normal"},
    };
    for (const Case& c : cases) {
        QVERIFY(sim().setVolumeState(0, c.state, c.progress));
        sim().clearLog();
        QCOMPARE(volume->UpdateInfo(), 0u);
        QCOMPARE(commandsAfterConfirming(sim()), std::vector<int>{0x21});
        QCOMPARE(volume->GetStateString(), QString::fromLatin1(c.volumeText));
        QCOMPARE(raid->GetCombinedState(), c.state);
        QCOMPARE(raid->GetStateString(), QString::fromLatin1(c.raidText));
    }
    QCOMPARE(QZynRaidSet::StateIconPath(QStringLiteral("Rebuilding")), QStringLiteral(":/images/icons/event/warning.png"));
}

void TestDevices::degradedAndRemovedRaidSet()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    fillArrays();
    QZynRaidSet* raid = controller().GetRaidSet(0);
    QVERIFY(sim().failDisk(0, 1));
    QCOMPARE(raid->UpdateInfo(), 0u);
    QCOMPARE(controller().GetVolumeSet(0)->UpdateInfo(), 0u);
    // Missing a member it is incomplete; activated, it runs degraded.
    QCOMPARE(raid->GetStateString(), QStringLiteral("Incomplete"));
    QCOMPARE(controller().ZynActiveRaidSet(0), 0u);
    QCOMPARE(raid->UpdateInfo(), 0u);
    QCOMPARE(raid->GetStateString(), QStringLiteral("Degraded"));
    std::vector<QZynDiskIndex> members;
    raid->GetDiskCount(members);
    QCOMPARE(int(members.size()), 3);

    // The member that failed is still listed; only disks whose slot holds a drive are valid.
    for (int s = 0; s < 3; ++s) {
        sGUI_PHY_DRV d;
        QCOMPARE(controller().ZynGetPhysicalDriveInfo(0, uint8_t(s), &d), 0u);
        controller().GetDisk(QZynDiskIndex(s, 0))->SetupInfo(&d);
    }
    QVERIFY(sim().removeDisk(0, 1));
    QCOMPARE(controller().GetDisk(QZynDiskIndex(1, 0))->UpdateInfo(), u32(ZYN_ERR_NO_OBJECT));
    std::vector<QZynDiskIndex> valid;
    raid->GetValidDiskCount(valid);
    QCOMPARE(addresses(valid), (std::vector<std::pair<int, int>>{{0, 0}, {0, 2}}));

    // Gone at the controller: the refill leaves an empty record.
    QVERIFY(sim().deleteVolumeSet(0));
    QVERIFY(sim().deleteRaidSet(0));
    raid->UpdateInfo();
    QVERIFY(!raid->IsPresent());
    QCOMPARE(raid->GetStateString(), QStringLiteral("Incomplete"));
    QCOMPARE(QZynRaidSet::StateIconPath(raid->GetStateString()), QStringLiteral(":/images/icons/event/error.png"));
    // An absent raid set is not asked again.
    sim().clearLog();
    QCOMPARE(raid->UpdateInfo(), 0u);
    QVERIFY(commandsReceived(sim()).empty());
}

void TestDevices::emptyAndIncompleteRaidSets()
{
    QZynRaidSet empty(nullptr, 7, nullptr);
    QCOMPARE(empty.GetIndex(), 7);
    QCOMPARE(empty.GetStateString(), QStringLiteral("Incomplete"));
    QCOMPARE(empty.GetTotalCapacity(), 0ull);
    QCOMPARE(empty.GetFreeCapacity(), 0ull);
    QCOMPARE(empty.GetFreeCapacityInGBByVolumeType(3), 0.0);
    QCOMPARE(empty.GetFreeCapacityInGBByVolumeType(4), 0.0);
    std::vector<int> volumes{1, 2};
    empty.GetVolumeSetCount(volumes);
    QVERIFY(volumes.empty());
    std::vector<QZynDiskIndex> disks{QZynDiskIndex(1, 1)};
    empty.GetDiskCount(disks);
    QVERIFY(disks.empty());
    QCOMPARE(empty.GetName(), QString(16, QChar(0)));
    QCOMPARE(empty.UpdateInfo(), 0u);

    sGUI_RAIDSET r = raidRecord(3, 0x04);
    empty.SetupInfo(&r);
    QCOMPARE(empty.GetStateString(), QStringLiteral("Unkonwn"));
    r.setStateFlags(0x01);
    empty.SetupInfo(&r);
    QCOMPARE(empty.GetStateString(), QStringLiteral("Incomplete"));
    r.setStateFlags(0x05);
    r.setDegraded(1);
    empty.SetupInfo(&r);
    QCOMPARE(empty.GetStateString(), QStringLiteral("Degraded"));
    empty.SetupInfo(nullptr);
    QVERIFY(!empty.IsPresent());
}

void TestDevices::volumeNumbersAboveSixteen()
{
    sGUI_RAIDSET r = raidRecord(2);
    r.setVolumeCount(20);
    std::vector<int> expected;
    for (int i = 0; i < 20; ++i) {
        r.setVolumeNumber(i, uint8_t(100 + i));
        expected.push_back(100 + i);
    }
    QCOMPARE(int(r.bytes[128]), 116);
    QCOMPARE(int(r.bytes[131]), 119);
    QZynRaidSet raid(nullptr, 2, &r);
    std::vector<int> volumes;
    raid.GetVolumeSetCount(volumes);
    QCOMPARE(volumes, expected);

    // Counts past the record are bounded by it.
    r.setVolumeCount(255);
    r.setMemberCount(255);
    raid.SetupInfo(&r);
    raid.GetVolumeSetCount(volumes);
    QCOMPARE(int(volumes.size()), sGUI_RAIDSET::kMaxVolumes);
    std::vector<QZynDiskIndex> members;
    raid.GetDiskCount(members);
    QCOMPARE(int(members.size()), 32);
}

void TestDevices::freeCapacity()
{
    sGUI_RAIDSET r = raidRecord(4);
    r.setFreeSegmentCount(3);
    r.setFreeSegment(0, 5);
    r.setFreeSegment(1, 9);
    r.setFreeSegment(2, 7);
    QZynRaidSet raid(nullptr, 0, &r);
    QCOMPARE(raid.GetFreeCapacity(), 18432ull);
    const double g0 = raid.GetFreeCapacityInGBByVolumeType(0);
    QCOMPARE(g0, 18432.0 * 512 / 1e9);
    QCOMPARE(raid.GetFreeCapacityInGBByVolumeType(3), g0 * 3 / 4);
    QCOMPARE(raid.GetFreeCapacityInGBByVolumeType(2), g0 * 3 / 4);
    QCOMPARE(raid.GetFreeCapacityInGBByVolumeType(4), g0 / 2);
    QCOMPARE(raid.GetFreeCapacityInGBByVolumeType(5), 0.0);

    // With a count of 0 only the first entry counts.
    r.setFreeSegmentCount(0);
    raid.SetupInfo(&r);
    QCOMPARE(raid.GetFreeCapacity(), 4ull * 5 * 512);

    // A count past the free-segment area stops before the high volume numbers.
    r.setFreeSegmentCount(255);
    r.setVolumeCount(17);
    r.setVolumeNumber(16, 0xFF);
    raid.SetupInfo(&r);
    QCOMPARE(raid.GetFreeCapacity(), 18432ull);
}

void TestDevices::volumeStateTexts_data()
{
    QTest::addColumn<uint>("state");
    QTest::addColumn<uint>("degraded");
    QTest::addColumn<uint>("progress");
    QTest::addColumn<bool>("nested");
    QTest::addColumn<QString>("text");
    QTest::newRow("normal") << 0u << 0u << 0u << false << "Normal";
    QTest::newRow("degraded") << 0u << 4u << 0u << false << "Degraded";
    QTest::newRow("init and rebuild") << 0x9u << 0u << 250u << false << "Initializing(25.0%)";
    QTest::newRow("nested init") << 0x9u << 0u << 250u << true << "Initializing";
    QTest::newRow("nested cloning") << 0x8000u << 0u << 250u << true << "Cloning";
    QTest::newRow("checking") << 0x100u << 0u << 5u << false << "Checking(0.5%)";
    QTest::newRow("nested checking") << 0x100u << 0u << 5u << true << "Checking";
    QTest::newRow("failed") << 0x2u << 0u << 0u << false << "Failed";
    QTest::newRow("migrating") << 0x4u << 0u << 7u << false << "Migrating(0.7%)";
    QTest::newRow("need migrate") << 0x20u << 0u << 0u << false << "Need Migrate";
    QTest::newRow("need check") << 0x200u << 0u << 0u << false << "Need Check";
    QTest::newRow("cloning") << 0x8000u << 0u << 999u << false << "Cloning(99.9%)";
    QTest::newRow("need clone") << 0x4000u << 0u << 0u << false << "Need Clone";
    QTest::newRow("clone before need clone") << 0xC000u << 0u << 10u << false << "Cloning(1.0%)";
    QTest::newRow("other bits") << 0x40u << 0u << 0u << false << "Unknown";
    QTest::newRow("other bits degraded") << 0x40u << 1u << 0u << false << "Degraded";
}

void TestDevices::volumeStateTexts()
{
    QFETCH(uint, state);
    QFETCH(uint, degraded);
    QFETCH(uint, progress);
    QFETCH(bool, nested);
    QFETCH(QString, text);
    const sGUI_VOLUMESET v = volumeRecord(state, degraded, progress, nested);
    QCOMPARE(QZynVolumeSet(nullptr, 1, &v).GetStateString(), text);
}

void TestDevices::raidLevelTexts()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    const char* plain[] = {"Raid0", "Raid1+0", "Raid3", "Raid5", "Raid6", "Pass Through Disk", "Unknown", "Unknown"};
    const char* nested[] = {"Raid00", "Raid100", "Raid30", "Raid50", "Raid60", "Unknown", "Unknown"};
    sGUI_VOLUMESET v = volumeRecord(0);
    QZynVolumeSet* volume = controller().GetVolumeSet(5);
    for (int level = 0; level < 7; ++level) {
        v.setRaidLevel(uint8_t(level == 6 ? 200 : level));
        v.setFlags(0);
        volume->SetupInfo(&v);
        QCOMPARE(volume->GetRaidLevelString(), QString::fromLatin1(plain[level]));
        v.setFlags(sGUI_VOLUMESET::kFlagNested);
        volume->SetupInfo(&v);
        QCOMPARE(volume->GetRaidLevelString(), QString::fromLatin1(nested[level]));
    }
    setSysInfo(controller(), [](sSYSTEM_INFO& info) { info.bytes[sSYSTEM_INFO::kJbodMode] = 1; });
    QCOMPARE(volume->GetRaidLevelString(), QStringLiteral("JBOD"));
    QCOMPARE(controller().GetVolumeSet(0)->GetRaidLevelString(), QStringLiteral("JBOD"));
}

void TestDevices::positions()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    // Raid sets 1 and 3 with volumes 4, 2 (raid set 1) and 6 (raid set 3); nested volume 9.
    sGUI_RAIDSET r1 = raidRecord(2);
    r1.setVolumeCount(2);
    r1.setVolumeNumber(0, 4);
    r1.setVolumeNumber(1, 2);
    sGUI_RAIDSET r3 = raidRecord(3);
    r3.setVolumeCount(1);
    r3.setVolumeNumber(0, 6);
    controller().GetRaidSet(1)->SetupInfo(&r1);
    controller().GetRaidSet(3)->SetupInfo(&r3);
    for (int n : {4, 2, 6, 9}) {
        sGUI_VOLUMESET v = volumeRecord(0, 0, 0, n == 9);
        v.setRaidSet(n == 6 ? 3 : 1);
        controller().GetVolumeSet(n)->SetupInfo(&v);
    }
    std::vector<int> order;
    controller().GetVolumeSetCount(order);
    QCOMPARE(order, (std::vector<int>{9, 4, 2, 6}));
    QCOMPARE(controller().GetVolumeSet(6)->PositionAtController(), 3);
    QCOMPARE(controller().GetVolumeSet(2)->PositionAtRaidSet(), 1);
    QCOMPARE(controller().GetRaidSet(1)->PositionOf(controller().GetVolumeSet(2)), 1);
    QCOMPARE(controller().GetRaidSet(3)->PositionOf(controller().GetVolumeSet(2)), -1);
    QCOMPARE(controller().GetRaidSet(3)->PositionAtController(), 1);
    // Missing from the lists: the volume gives its own number, the raid set -1.
    QCOMPARE(controller().GetVolumeSet(77)->PositionAtController(), 77);
    QCOMPARE(controller().GetRaidSet(77)->PositionAtController(), -1);

    // The combined state of raid set 1 joins the state words of its volumes.
    sGUI_VOLUMESET v4 = volumeRecord(0x1);
    v4.setRaidSet(1);
    sGUI_VOLUMESET v2 = volumeRecord(0x100);
    v2.setRaidSet(1);
    v2.setFlags(sGUI_VOLUMESET::kFlagNestedMember);
    controller().GetVolumeSet(4)->SetupInfo(&v4);
    controller().GetVolumeSet(2)->SetupInfo(&v2);
    QCOMPARE(controller().GetRaidSet(1)->GetCombinedState(), 0x101u);
    QVERIFY(controller().GetRaidSet(1)->HasR5060Volumes());
    v2.setFlags(sGUI_VOLUMESET::kFlagNestedMember | sGUI_VOLUMESET::kFlagNested);
    controller().GetVolumeSet(2)->SetupInfo(&v2);
    QVERIFY(!controller().GetRaidSet(1)->HasR5060Volumes());

    // A raid-set number out of the table names no raid set.
    sGUI_VOLUMESET far = volumeRecord(0);
    far.setRaidSet(200);
    controller().GetVolumeSet(11)->SetupInfo(&far);
    QVERIFY(controller().GetVolumeSet(11)->GetRaidSet() == nullptr);
    QCOMPARE(controller().GetVolumeSet(11)->PositionAtRaidSet(), -1);
}

void TestDevices::disksFromTheSimulator()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    fillArrays();
    QVERIFY(sim().setHotSpare(1, 0, 1, 0));
    QVERIFY(sim().setPassThrough(1, 1) >= 0);
    QVERIFY(sim().failDisk(0, 4));
    auto disk = [&](int e, int s) {
        QZynDisk* d = controller().GetDisk(QZynDiskIndex(s, e));
        sGUI_PHY_DRV record;
        controller().ZynGetPhysicalDriveInfo(uint8_t(e), uint8_t(s), &record);
        d->SetupInfo(&record);
        return d;
    };
    QZynDisk* member = disk(0, 0);
    QCOMPARE(member->GetName(), QStringLiteral("Varnel VD4000S").leftJustified(40, QChar(0)));
    QCOMPARE(member->GetSerialNumber().size(), 20);
    QCOMPARE(member->GetFirmwareRevString(), QStringLiteral("VS02").leftJustified(8, QChar(0)));
    QVERIFY(member->IsRaidSetMember());
    QCOMPARE(member->GetUsageString(), controller().GetRaidSet(0)->GetName());
    QCOMPARE(member->GetStateString(), QStringLiteral("Normal"));
    QCOMPARE(member->GetStateIconPath(), QStringLiteral(":/images/icons/devices/disk.png"));
    QCOMPARE(member->GetState(), QZynDisk::StateOf(sim().disk(0, 0), 3));

    QCOMPARE(disk(0, 3)->GetUsageString(), QStringLiteral("HotSpare[Global]"));
    // The dedicated spare names its raid set with all 16 characters of the name.
    QCOMPARE(disk(1, 0)->GetUsageString(),
             QStringLiteral("HotSpare[%1]").arg(controller().GetRaidSet(0)->GetName()));
    QCOMPARE(disk(1, 0)->GetUsageString().size(), 9 + 16 + 1);
    QCOMPARE(disk(1, 1)->GetUsageString(), QStringLiteral("Pass Through"));
    QZynDisk* failed = disk(0, 4);
    QCOMPARE(failed->GetStateString(), QStringLiteral("Failed"));
    QCOMPARE(failed->GetUsageString(), QStringLiteral("Failed"));
    QCOMPARE(failed->GetStateIconPath(), QStringLiteral(":/images/icons/event/error.png"));

    QZynDisk* empty = disk(0, 10);
    QCOMPARE(empty->GetState(), 0u);
    QCOMPARE(empty->GetUsageString(), QStringLiteral("N.A."));
    sim().clearLog();
    QCOMPARE(empty->UpdateInfo(), 0u);
    QVERIFY(commandsReceived(sim()).empty());
    QCOMPARE(disk(1, 1)->UpdateInfo(), 0u);
    QCOMPARE(commandsAfterConfirming(sim()), (std::vector<int>{0x22, 0x22}));

    // The dummy disk.
    QZynDisk* dummy = controller().GetDummyDisk();
    QVERIFY(dummy->GetIndex().IsDummy());
    QCOMPARE(dummy->GetState(), 0u);
    QCOMPARE(dummy->GetStateString(), QStringLiteral("Normal"));
    QCOMPARE(dummy->GetUsageString(), QStringLiteral("N.A."));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("GetDisk\\(\\) invalid")));
    QCOMPARE(controller().GetDisk(QZynDiskIndex(256, 0)), dummy);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("GetDisk\\(\\) invalid")));
    QCOMPARE(controller().GetDisk(QZynDiskIndex(0, 40)), dummy);
    QCOMPARE(controller().GetDisk(QZynDiskIndex(255, 31))->GetIndex(), QZynDiskIndex(255, 31));
}

void TestDevices::diskUsageRules()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynDisk* disk = controller().GetDisk(QZynDiskIndex(5, 0));
    sGUI_RAIDSET r = raidRecord(2);
    controller().GetRaidSet(2)->SetupInfo(&r);
    auto usage = [&](const sGUI_PHY_DRV& d) {
        disk->SetupInfo(&d);
        return disk->GetUsageString();
    };
    QCOMPARE(usage(driveRecord(0x88)), QStringLiteral("N.A."));   // no raid set: not a member
    QVERIFY(!disk->IsRaidSetMember());
    QCOMPARE(usage(driveRecord(0x88, 2)), controller().GetRaidSet(2)->GetName());
    QCOMPARE(usage(driveRecord(0x8A, 2)), QStringLiteral("Pass Through"));
    QCOMPARE(usage(driveRecord(0x02)), QStringLiteral("Pass Through"));
    QCOMPARE(usage(driveRecord(0x40)), QStringLiteral("Free"));
    QCOMPARE(usage(driveRecord(0x04)), QStringLiteral("Offlined"));
    QCOMPARE(disk->GetStateString(), QStringLiteral("Offlined"));
    sGUI_PHY_DRV spare = driveRecord(0x20);
    for (auto [kind, text] : {std::pair<int, const char*>{0, "HotSpare[Global]"}, {2, "HotSpare[Enclosure]"},
                              {7, "HotSpare[Unknown]"}}) {
        spare.setSpareKind(uint8_t(kind));
        QCOMPARE(usage(spare), QString::fromLatin1(text));
    }
    spare.setSpareKind(1);
    spare.setDedicatedRaidSet(2);
    QCOMPARE(usage(spare), QStringLiteral("HotSpare[%1]").arg(controller().GetRaidSet(2)->GetName()));
    // Raid-set numbers out of the table name no raid set.
    spare.setDedicatedRaidSet(5000);
    QCOMPARE(usage(spare), QStringLiteral("HotSpare[]"));
    QCOMPARE(usage(driveRecord(0x88, 200)), QString());

    // The high state byte counts on the enclosure family only.
    sGUI_PHY_DRV high = driveRecord(0x0140);
    disk->SetupInfo(&high);
    QCOMPARE(disk->GetState(), 0x140u);
    setSysInfo(controller(), [](sSYSTEM_INFO& info) { info.bytes[sSYSTEM_INFO::kFamily] = 1; });
    QCOMPARE(disk->GetState(), 0x40u);
    setSysInfo(controller(), [](sSYSTEM_INFO& info) { info.bytes[sSYSTEM_INFO::kJbodMode] = 1; });
    QCOMPARE(usage(driveRecord(0x8A, 2)), QStringLiteral("JBOD"));
}

void TestDevices::rebuildMembership()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    sGUI_RAIDSET r = raidRecord(3);
    r.setVolumeCount(2);
    r.setVolumeNumber(0, 1);
    r.setVolumeNumber(1, 2);
    controller().GetRaidSet(4)->SetupInfo(&r);
    sGUI_VOLUMESET idle = volumeRecord(0, 0x2);
    sGUI_VOLUMESET rebuilding = volumeRecord(0x8, 0x2, 100);
    controller().GetVolumeSet(1)->SetupInfo(&idle);
    controller().GetVolumeSet(2)->SetupInfo(&rebuilding);
    const sGUI_PHY_DRV member = driveRecord(0x88, 4);
    for (int s = 0; s < 3; ++s)
        controller().GetDisk(QZynDiskIndex(s, 0))->SetupInfo(&member);
    QVERIFY(controller().GetDisk(QZynDiskIndex(1, 0))->IsInRebuild());
    QVERIFY(!controller().GetDisk(QZynDiskIndex(0, 0))->IsInRebuild());
    QVERIFY(!controller().GetDisk(QZynDiskIndex(2, 0))->IsInRebuild());
    // Rebuilt already on that position.
    rebuilding.setRebuildDone(0x2);
    controller().GetVolumeSet(2)->SetupInfo(&rebuilding);
    QVERIFY(!controller().GetDisk(QZynDiskIndex(1, 0))->IsInRebuild());
    // Not a member at all.
    const sGUI_PHY_DRV free = driveRecord(0x40);
    controller().GetDisk(QZynDiskIndex(1, 0))->SetupInfo(&free);
    QVERIFY(!controller().GetDisk(QZynDiskIndex(1, 0))->IsInRebuild());
}

void TestDevices::eventsFromTheSimulator()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    int count = 0;
    QCOMPARE(controller().ZynGetReqEventPage(0, &count), 0u);
    QVERIFY(count >= 5);
    QStringList texts;
    bool sawDevice = false, sawRaid = false, sawPowerOn = false;
    for (int i = count - 1; i >= 0; --i) {
        sEVET_DATA record;
        QCOMPARE(controller().ZynGetEventObject(i, &record), 1);
        if (record.eventClass() == 0)
            continue;
        QZynEvent event(&controller(), 0, &record);
        texts << event.GetEventText();
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(event.GetDateText()).hasMatch());
        if (record.eventClass() == zynevent::kDeviceEvent && record.code() == zynevent::kDeviceInserted
            && !sawDevice) {
            sawDevice = true;
            QCOMPARE(event.GetEventText(), QStringLiteral("Device Inserted"));
            QVERIFY(event.GetDeviceText().startsWith(QLatin1String("Enc#")));
            QCOMPARE(event.GetLevel(), 3);
        }
        if (record.eventClass() == zynevent::kRaidSetEvent && record.code() == zynevent::kCreateRaidSet) {
            sawRaid = true;
            QCOMPARE(event.GetEventText(), QStringLiteral("Create RaidSet"));
            QCOMPARE(event.GetDeviceText(), QStringLiteral("Raid Set # 000"));
        }
        if (record.eventClass() == zynevent::kHwMonitorEvent && record.code() == zynevent::kRaidPoweredOn) {
            sawPowerOn = true;
            QCOMPARE(event.GetEventText(), QStringLiteral("Raid Powered On"));
            QCOMPARE(event.GetDeviceText(), QStringLiteral("H/W MONITOR"));
        }
    }
    QVERIFY2(sawDevice && sawRaid && sawPowerOn, qPrintable(texts.join(QStringLiteral(", "))));
    QVERIFY(texts.contains(QStringLiteral("Create Volume")));
    QVERIFY(texts.contains(QStringLiteral("HotSpare Created")));

    // A check that completes carries its duration and count.
    QVERIFY(sim().setVolumeState(0, 0x100, 990));
    QVERIFY(sim().advanceProgress(0, 10));
    QCOMPARE(controller().ZynGetReqEventPage(1, &count), 0u);
    QCOMPARE(count, 1);
    sEVET_DATA record;
    QCOMPARE(controller().ZynGetEventObject(0, &record), 1);
    QZynEvent check(&controller(), 3, &record);
    QCOMPARE(check.GetEventText(), QStringLiteral("Complete Check"));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{3}:\\d\\d:\\d\\d$")).match(check.GetDurationText()).hasMatch());
    QCOMPARE(check.GetCountText().size(), 6);
}

void TestDevices::deviceEventsOnTheOlderFamily()
{
    QCOMPARE(m_rig.start(kOlderAddress, configOf(zynsim::Profile::Older)), QString());
    int count = 0;
    QCOMPARE(controller().ZynGetReqEventPage(0, &count), 0u);
    QVERIFY(sim().removeDisk(0, 4));   // a free disk: one event
    QCOMPARE(controller().ZynGetReqEventPage(1, &count), 0u);
    QCOMPARE(count, 1);
    sEVET_DATA record;
    QCOMPARE(controller().ZynGetEventObject(0, &record), 1);
    QZynEvent event(&controller(), 0, &record);
    QCOMPARE(event.GetEventText(), QStringLiteral("Device Removed"));
    QCOMPARE(event.GetDeviceText(), QStringLiteral("IDE Channel #05"));
    record.bytes[sEVET_DATA::kChannel] = 0;
    event.SetupInfo(&record);
    QCOMPARE(event.GetDeviceText(), QStringLiteral("IDE Channel #01"));
}

void TestDevices::eventTexts()
{
    QZynEvent event(nullptr, 9, nullptr);
    QCOMPARE(event.GetIndex(), 9);
    QCOMPARE(event.GetLevel(), 0);
    QVERIFY(event.GetEventText().isEmpty());

    sEVET_DATA e = eventRecord(2, 5, "Volume---VOL#000");
    const uint32_t stamp = 0x80000000u | (5u << 27) | (19u << 22) | (17u << 17) | (13u << 12) | (45u << 6) | 30u;
    e.setTime(stamp);
    e.setDuration(123456);
    event.SetupInfo(&e);
    QCOMPARE(event.GetDateText(), QStringLiteral("2019-05-17 13:45:30"));
    QCOMPARE(event.GetEventText(), QStringLiteral("Complete Rebuild"));
    QCOMPARE(event.GetDeviceText(), QStringLiteral("Volume---VOL#000"));
    QCOMPARE(event.GetDurationText(), QStringLiteral("003:25:45"));
    QCOMPARE(event.GetCountText(), QString());
    QCOMPARE(event.GetLevel(), 3);

    e.set(2, 7);
    e.setTime(123456789);
    e.setCount(42);
    event.SetupInfo(&e);
    QCOMPARE(event.GetDateText(), QStringLiteral("123456789"));
    QCOMPARE(event.GetEventText(), QStringLiteral("Complete Check"));
    QCOMPARE(event.GetCountText(), QStringLiteral("42    "));
    // Events without a duration leave it empty.
    e.set(2, 8);
    event.SetupInfo(&e);
    QCOMPARE(event.GetDurationText(), QString());

    // Class 0 keeps what the event showed.
    const sEVET_DATA none = eventRecord(0, 3);
    event.SetupInfo(&none);
    QCOMPARE(event.GetEventText(), QStringLiteral("Create Volume"));

    // Past a table, and classes outside 1-6.
    e = eventRecord(1, 5, "Raid Set # 000");
    event.SetupInfo(&e);
    QCOMPARE(event.GetEventText(), QStringLiteral("Unknown Event"));
    QCOMPARE(event.GetLevel(), 0);
    QCOMPARE(event.GetDeviceText(), QStringLiteral("Raid Set # 000"));
    e = eventRecord(9, 0, "Nothing");
    event.SetupInfo(&e);
    QCOMPARE(event.GetEventText(), QString());
    QCOMPARE(event.GetDeviceText(), QString());
    QCOMPARE(event.GetLevel(), 0);
    QCOMPARE(event.GetDateText(), QStringLiteral("0"));

    e = eventRecord(4, 2);
    event.SetupInfo(&e);
    QCOMPARE(event.GetDeviceText(), QStringLiteral("HOST"));
    QCOMPARE(event.GetEventText(), QStringLiteral("SCSI Bus SE<>LVD"));
    QCOMPARE(event.GetLevel(), 4);

    // A device name of all 16 bytes is taken whole and no further.
    e = eventRecord(6, 22);
    std::memset(e.bytes + sEVET_DATA::kName, 'X', 16);
    event.SetupInfo(&e);
    QCOMPARE(event.GetDeviceText(), QString(16, QLatin1Char('X')));
    QCOMPARE(event.GetEventText(), QStringLiteral("Added"));

    QZynEvent copy(nullptr, 1, nullptr);
    copy = event;
    QCOMPARE(copy.GetIndex(), 9);
    QCOMPARE(copy.GetEventText(), QStringLiteral("Added"));
    QCOMPARE(copy.GetLevel(), 3);
}

void TestDevices::eventTables()
{
    struct Row {
        int eventClass, code, level;
        const char* text;
    } rows[] = {
        {1, 4, 1, "RaidSet Degraded"},
        {2, 13, 1, "Failed Volume Revived"},
        {2, 26, 3, "Stop Cloning"},
        {3, 8, 2, "PCI Parity Error"},
        {3, 12, 4, "PassThrough Disk Deleted"},
        {5, 10, 1, "1.2V or 1.8V or 1.25V Abnormal"},
        {5, 11, 1, "Power#1 Failed  "},
        {5, 18, 1, "Fan#4 Failed    "},
        {5, 20, 2, "Controller Over Temperature Recovered"},
        {5, 29, 2, "Power#1 Failed Recovered"},
        {5, 36, 2, "Fan#4 Failed Recovered"},
        {5, 37, 2, "UPS ACPower Loss Recovered"},
        {5, 39, 1, "Test Event"},
        {5, 40, 2, "Power On With Battery Backup"},
        {6, 6, 1, "Lost Rebuilding/Migration LBA"},
        {6, 32, 3, "HotSpare Used"},
        {6, 33, 0, "Pre-Fail Warning"},
        {6, 37, 0, "Evaluation Alert"},
    };
    for (const Row& row : rows) {
        QString text;
        int level = -1;
        QVERIFY(QZynEvent::Describe(row.eventClass, row.code, &text, &level));
        QCOMPARE(text, QString::fromLatin1(row.text));
        QCOMPARE(level, row.level);
    }
    // The table ends: 5, 27, 13, 3, 41 and 38 entries.
    const int sizes[] = {5, 27, 13, 3, 41, 38};
    for (int c = 1; c <= 6; ++c) {
        QString text;
        int level = 0;
        QZynEvent::Describe(c, sizes[c - 1] - 1, &text, &level);
        QVERIFY(text != QLatin1String("Unknown Event"));
        QZynEvent::Describe(c, sizes[c - 1], &text, &level);
        QCOMPARE(text, QStringLiteral("Unknown Event"));
    }
    QString text;
    int level = 0;
    QVERIFY(!QZynEvent::Describe(0, 0, &text, &level));
    QCOMPARE(QZynEvent::ClassName(5), QStringLiteral("H/W MONITOR"));
    QCOMPARE(QZynEvent::ClassName(0), QStringLiteral("NO_EVENT"));
    QCOMPARE(QZynEvent::ClassName(6), QString());
}

void TestDevices::eventCodeNames()
{
    // Each name stands for the code whose text it carries.
    using namespace zynevent;
    const struct {
        int eventClass, code;
        const char* text;
    } rows[] = {
        {kRaidSetEvent, kCreateRaidSet, "Create RaidSet"}, {kRaidSetEvent, kDeleteRaidSet, "Delete RaidSet"},
        {kRaidSetEvent, kExpandRaidSet, "Expand RaidSet"}, {kRaidSetEvent, kRebuildRaidSet, "Rebuild RaidSet"},
        {kRaidSetEvent, kRaidSetDegraded, "RaidSet Degraded"},
        {kVolumeSetEvent, kStartInitialize, "Start Initialize"},
        {kVolumeSetEvent, kStartRebuilding, "Start Rebuilding"},
        {kVolumeSetEvent, kStartMigrating, "Start Migrating"}, {kVolumeSetEvent, kStartChecking, "Start Checking"},
        {kVolumeSetEvent, kCompleteInit, "Complete Init"}, {kVolumeSetEvent, kCompleteRebuild, "Complete Rebuild"},
        {kVolumeSetEvent, kCompleteMigrate, "Complete Migrate"}, {kVolumeSetEvent, kCompleteCheck, "Complete Check"},
        {kVolumeSetEvent, kCreateVolume, "Create Volume"}, {kVolumeSetEvent, kDeleteVolume, "Delete Volume"},
        {kVolumeSetEvent, kModifyVolume, "Modify Volume"}, {kVolumeSetEvent, kVolumeDegraded, "Volume Degraded"},
        {kVolumeSetEvent, kVolumeFailed, "Volume Failed"},
        {kVolumeSetEvent, kFailedVolumeRevived, "Failed Volume Revived"},
        {kVolumeSetEvent, kAbortInitialization, "Abort Initialization"},
        {kVolumeSetEvent, kAbortRebuilding, "Abort Rebuilding"}, {kVolumeSetEvent, kAbortMigration, "Abort Migration"},
        {kVolumeSetEvent, kAbortChecking, "Abort Checking"},
        {kVolumeSetEvent, kStopInitialization, "Stop Initialization"},
        {kVolumeSetEvent, kStopRebuilding, "Stop Rebuilding"}, {kVolumeSetEvent, kStopMigration, "Stop Migration"},
        {kVolumeSetEvent, kStopChecking, "Stop Checking"},
        {kVolumeSetEvent, kUnsupportedStripeSize, "Unsupported Stripe Size"},
        {kVolumeSetEvent, kStartCloning, "Start Cloning"}, {kVolumeSetEvent, kCompleteClone, "Complete Clone"},
        {kVolumeSetEvent, kAbortCloning, "Abort Cloning"}, {kVolumeSetEvent, kStopCloning, "Stop Cloning"},
        {kDeviceEvent, kDeviceInserted, "Device Inserted"}, {kDeviceEvent, kDeviceRemoved, "Device Removed"},
        {kDeviceEvent, kReadingError, "Reading Error"}, {kDeviceEvent, kWritingError, "Writing Error"},
        {kDeviceEvent, kAtaEccError, "ATA Ecc Error"}, {kDeviceEvent, kChangeAtaMode, "Change ATA Mode"},
        {kDeviceEvent, kTimeOutError, "Time Out Error"}, {kDeviceEvent, kDeviceFailed, "Device Failed"},
        {kDeviceEvent, kPciParityError, "PCI Parity Error"}, {kDeviceEvent, kDevFailSmart, "Dev Fail (SMART)"},
        {kDeviceEvent, kPassThroughDiskCreated, "PassThrough Disk Created"},
        {kDeviceEvent, kPassThroughDiskModified, "PassThrough Disk Modified"},
        {kDeviceEvent, kPassThroughDiskDeleted, "PassThrough Disk Deleted"},
        {kHwMonitorEvent, kRaidPoweredOn, "Raid Powered On"}, {kHwMonitorEvent, kTestEvent, "Test Event"},
        {kHwMonitorEvent, kPowerOnWithBatteryBackup, "Power On With Battery Backup"},
        {kGeneralEvent, kAdded, "Added"}, {kGeneralEvent, kRemoved, "Removed"},
        {kGeneralEvent, kHotSpareCreated, "HotSpare Created"}, {kGeneralEvent, kHotSpareDeleted, "HotSpare Deleted"},
        {kGeneralEvent, kHotSpareUsed, "HotSpare Used"},
    };
    QStringList wrong;
    for (const auto& row : rows) {
        QString text;
        int level = 0;
        QZynEvent::Describe(row.eventClass, row.code, &text, &level);
        if (text != QLatin1String(row.text))
            wrong << QStringLiteral("%1/%2 %3").arg(row.eventClass).arg(row.code).arg(text);
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    const QStringList classes = {QZynEvent::ClassName(kNoEvent), QZynEvent::ClassName(kRaidSetEvent),
                                 QZynEvent::ClassName(kVolumeSetEvent), QZynEvent::ClassName(kDeviceEvent),
                                 QZynEvent::ClassName(kHostEvent), QZynEvent::ClassName(kHwMonitorEvent)};
    QCOMPARE(classes, (QStringList{"NO_EVENT", "RAIDSET", "VOLUMESET", "DEVICE", "HOST", "H/W MONITOR"}));
    QCOMPARE(int(kGeneralEvent), 6);
}

void TestDevices::enclosureFromTheSimulator()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    QZynEnclosure* enclosure = controller().GetEnclosure(0);
    sGUI_ENC_PROPERTY property;
    QCOMPARE(controller().ZynGetEnclosureProperty(0, &property), 0u);
    enclosure->SetupInfo(&property);
    QVERIFY(enclosure->IsPresent());
    QCOMPARE(enclosure->GetName(), devicetext::field(property.bytes + 8, 16));
    QCOMPARE(enclosure->GetVendorName().size(), 8);
    QCOMPARE(enclosure->GetReversion().size(), 4);
    unsigned char page[2048] = {};
    QCOMPARE(controller().ZynGetEnclosureDescriptor(0, 0, page, sizeof page), 0u);
    unsigned char full[QZynEnclosure::kDescriptorPageSize] = {};
    std::memcpy(full, page, sizeof page);
    enclosure->SetDiskDescriptor(full);
    QCOMPARE(enclosure->GetDiskDescriptor(0), QStringLiteral("Slot 01"));
    QCOMPARE(enclosure->GetDiskDescriptor(-1), QString());
    QCOMPARE(enclosure->GetDiskDescriptor(200), QString());
    std::memset(full + 24 * 127, 'D', 24);
    enclosure->SetDiskDescriptor(full);
    QCOMPARE(enclosure->GetDiskDescriptor(127), QString(24, QLatin1Char('D')));

    // Slots with their disks; the free ones.
    for (int s = 0; s < property.slotCount(); ++s) {
        sGUI_PHY_DRV d;
        controller().ZynGetPhysicalDriveInfo(0, uint8_t(s), &d);
        controller().GetDisk(QZynDiskIndex(s, 0))->SetupInfo(&d);
    }
    std::vector<QZynDiskIndex> slotList;
    enclosure->GetDiskCount(slotList);
    QCOMPARE(int(slotList.size()), property.slotCount());
    QCOMPARE(slotList[2].disk, controller().GetDisk(QZynDiskIndex(2, 0)));
    std::vector<QZynDiskIndex> free;
    enclosure->GetFreeDiskCount(free);
    QCOMPARE(addresses(free), (std::vector<std::pair<int, int>>{{0, 4}}));

    std::vector<int> present;
    enclosure->SetAbsent();
    controller().GetEnclosure(1)->SetupInfo(&property);
    controller().GetEnclosureCount(present);
    QCOMPARE(present, std::vector<int>{1});
    sim().clearLog();
    QCOMPARE(enclosure->UpdateInfo(), 0u);
    QVERIFY(commandsReceived(sim()).empty());
    QCOMPARE(controller().GetEnclosure(1)->UpdateInfo(), 0u);
    QCOMPARE(commandsAfterConfirming(sim()), std::vector<int>{0x1B});

    // An enclosure count beyond the table stops at its end.
    setSysInfo(controller(), [](sSYSTEM_INFO& info) { info.bytes[sSYSTEM_INFO::kHighestEnclosure] = 255; });
    controller().GetEnclosure(31)->SetupInfo(&property);
    controller().GetEnclosureCount(present);
    QCOMPARE(present, (std::vector<int>{1, 31}));
    QVERIFY(controller().GetEnclosure(32) == nullptr);
    QVERIFY(controller().GetEvent(256) == nullptr);
    QVERIFY(controller().GetEvent(-1) == nullptr);
    QVERIFY(controller().GetRaidSet(128) == nullptr);
    QVERIFY(controller().GetVolumeSet(128) == nullptr);
    QVERIFY(controller().GetEvent(255) != nullptr);
}

void TestDevices::outOfRangeFromTheSimulator()
{
    QCOMPARE(m_rig.start(kAddress), QString());
    // Records with every count and number at its largest.
    Bytes raid(272, 0xFF);
    raid[sGUI_RAIDSET::kStateFlags] = 0x05;
    Bytes volume(zynvolreply::kSize, 0xC8);
    Bytes drive(292, 0xFF);
    drive[sGUI_PHY_DRV::kSpareKind] = 1;
    Bytes property(64, 0xFF);
    sim().script(0x20, 1, Answer::data(raid));
    sim().script(0x21, 1, Answer::data(volume));
    sim().script(0x22, 1, Answer::data(drive));
    sim().script(0x1B, 1, Answer::data(property));

    sGUI_RAIDSET r;
    QCOMPARE(controller().ZynGetRaidSetInfo(0, &r), 0u);
    sGUI_VOLUMESET v;
    QCOMPARE(controller().ZynGetVolSetInfo(0, &v), 0u);
    sGUI_PHY_DRV d;
    QCOMPARE(controller().ZynGetPhysicalDriveInfo(0, 0, &d), 0u);
    sGUI_ENC_PROPERTY p;
    QCOMPARE(controller().ZynGetEnclosureProperty(0, &p), 0u);
    QZynRaidSet* rs = controller().GetRaidSet(0);
    QZynVolumeSet* vs = controller().GetVolumeSet(0);
    QZynDisk* disk = controller().GetDisk(QZynDiskIndex(0, 0));
    QZynEnclosure* enclosure = controller().GetEnclosure(0);
    rs->SetupInfo(&r);
    vs->SetupInfo(&v);
    disk->SetupInfo(&d);
    enclosure->SetupInfo(&p);
    for (int i = 1; i < QZynController::kVolumeSets; ++i)
        controller().GetVolumeSet(i)->SetupInfo(&v);

    std::vector<int> numbers;
    rs->GetVolumeSetCount(numbers);
    QCOMPARE(int(numbers.size()), 128);
    std::vector<QZynDiskIndex> members;
    rs->GetDiskCount(members);
    QCOMPARE(int(members.size()), 32);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("GetDisk\\(\\) invalid")));
    rs->GetValidDiskCount(members);   // enclosure 255 of every member: the dummy disk
    QVERIFY(members.empty());
    QVERIFY(rs->GetFreeCapacity() > 0);
    rs->GetStateString();
    rs->GetCombinedState();
    rs->HasR5060Volumes();
    vs->GetStateString();
    QVERIFY(vs->GetRaidSet() == nullptr);
    QCOMPARE(vs->PositionAtRaidSet(), -1);
    QCOMPARE(vs->GetRaidLevelString(), QStringLiteral("Unknown"));
    controller().GetVolumeSetCount(numbers);
    QCOMPARE(int(numbers.size()), 128);
    disk->GetUsageString();
    QVERIFY(!disk->IsInRebuild());
    std::vector<QZynDiskIndex> slotList;
    enclosure->GetDiskCount(slotList);
    QCOMPARE(int(slotList.size()), 255);
    QCOMPARE(slotList[255 - 1].disk, controller().GetDisk(QZynDiskIndex(254, 0)));
}

void TestDevices::copiesKeepTheirOwnRecords()
{
    sGUI_RAIDSET r = raidRecord(3);
    QZynRaidSet a(nullptr, 3, &r);
    QZynRaidSet b(nullptr, 9, nullptr);
    b = a;
    QCOMPARE(b.GetIndex(), 3);
    QCOMPARE(b.GetTotalCapacity(), 3000ull);
    r.setMemberCount(1);
    a.SetupInfo(&r);
    QCOMPARE(b.GetTotalCapacity(), 3000ull);

    sGUI_PHY_DRV d = driveRecord(0x40);
    QZynDisk x(nullptr, QZynDiskIndex(4, 2), &d);
    QZynDisk y(nullptr, QZynDiskIndex(), nullptr);
    y = x;
    QCOMPARE(y.GetIndex(), QZynDiskIndex(4, 2));
    QCOMPARE(y.GetUsageString(), QStringLiteral("Free"));
    x.SetAbsent();
    QCOMPARE(x.GetState(), 0u);
    QCOMPARE(y.GetState(), 0x40u);
}

QTEST_MAIN(TestDevices)
#include "test_devices.moc"
