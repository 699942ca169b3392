// Controller reads of both families against the simulator: raid sets, volume sets, drives,
// enclosures, the event log and the hardware monitor.
#include "simfixture.h"

#include <QtTest>

using namespace simtest;

namespace {

const char* const kAddress = "127.0.0.30";

zynsim::ControllerConfig profile(zynsim::Profile p, uint32_t ringCapacity = 256)
{
    zynsim::ControllerConfig config = configOf(p);
    config.eventRingCapacity = ringCapacity;
    return config;
}

Bytes bytesOf(const void* record, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(record);
    return Bytes(p, p + size);
}

template <typename Record>
bool allZero(const Record& record)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return std::all_of(p, p + sizeof record, [](uint8_t b) { return b == 0; });
}

Bytes u32le(uint32_t v)
{
    return Bytes{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

// The example reply of a controller with 2 fans, 1 voltage entry, 3 temperatures, 1 supply and
// a battery block.
Bytes exampleHwMonitor()
{
    return Bytes{0x02, 0x01, 0x03, 0x01,
                 0xB0, 0x04, 0x14, 0x05,          // fans 1200, 1300
                 0xB0, 0x04, 0x80, 0x0C,          // voltage entry 0x04B0, 0x0C80
                 40, 0xFF, 35,                    // temperatures 40, -1, 35
                 0x01,                            // supply 0 good
                 0x55, 0xAA, 0x01, 0x02};         // battery block, state 2
}

std::vector<int> values(const _HWMON_INFO& info)
{
    return std::vector<int>(info.values, info.values + info.count);
}

} // namespace

class TestReads : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { fastPolls(); }
    void cleanup() { m_rig.stop(); }

    void arraysReadAsHeld_data();
    void arraysReadAsHeld();
    void absentObjectsAreEmpty();
    void volumeReplyRepacking_data();
    void volumeReplyRepacking();
    void olderFamilyHasNoExtendedVolumeFields();
    void driveAddressingByFamily();
    void enclosureReads();
    void eventsReadAllThenOnlyNew();
    void eventCounterWrapsRoundTheRing();
    void unstableCounterIsRetried();
    void eventRingSizedOnce_data();
    void eventRingSizedOnce();
    void hardwareMonitorExample();
    void hardwareMonitorArguments();
    void hardwareMonitorCountsBeyondTheRecord();
    void e100Block();
    void enclosureSensorsCursor();
    void enclosureSensorsBounded();
    void enclosureBattery();

private:
    // Empty, or why the rig did not start (a caller checks it: a failure here would only
    // return from the helper).
    [[nodiscard]] QString start(const zynsim::ControllerConfig& config)
    {
        return m_rig.start(kAddress, config);
    }
    Session& session() { return *m_rig.session; }
    zynsim::FakeController& ctl() { return *m_rig.ctl; }

    UdpRig m_rig;
};

void TestReads::arraysReadAsHeld_data()
{
    QTest::addColumn<int>("family");
    QTest::newRow("older") << int(zynsim::Profile::Older);
    QTest::newRow("enclosure") << int(zynsim::Profile::Enclosure);
}

void TestReads::arraysReadAsHeld()
{
    QFETCH(int, family);
    QCOMPARE(start(profile(zynsim::Profile(family))), QString());
    const bool enclosureFamily = zynsim::Profile(family) == zynsim::Profile::Enclosure;
    const int enc = 0;   // the older family addresses its channels as enclosure 0
    for (int slot = 4; slot < 8; ++slot)
        ctl().addDisk(enc, slot, "ST4000NM0035", "ZC1" + std::to_string(slot), 7814037168ull);
    QVERIFY(ctl().createRaidSet("Raid Set # 001", {{enc, 4}, {enc, 5}, {enc, 6}}) >= 0);
    const int raid = ctl().createRaidSet("Raid Set # 002", {{enc, 7}}) ;
    QVERIFY(raid >= 0);
    const int volume = ctl().createVolumeSet(raid, "Volume#Second", 2000000, 0, 128);
    QVERIFY(volume >= 0);

    int raidSets = 0;
    for (int i = 0; i < 16; ++i) {
        sGUI_RAIDSET record;
        const u32 rc = session().ZynGetRaidSetInfo(u8(i), &record);
        const sGUI_RAIDSET held = ctl().raidSet(i);
        if (!held.exists()) {
            QCOMPARE(rc, 18u);
            QVERIFY(allZero(record));
            continue;
        }
        ++raidSets;
        QCOMPARE(rc, 0u);
        QCOMPARE(bytesOf(&record, sizeof record), bytesOf(&held, sizeof held));
    }
    QVERIFY(raidSets >= 2);

    int volumes = 0;
    for (int i = 0; i < 16; ++i) {
        sGUI_VOLUMESET record;
        const u32 rc = session().ZynGetVolSetInfo(u8(i), &record);
        const sGUI_VOLUMESET held = ctl().volumeSet(i);
        if (!held.exists()) {
            QCOMPARE(rc, 18u);
            QVERIFY(allZero(record));
            continue;
        }
        ++volumes;
        QCOMPARE(rc, 0u);
        QCOMPARE(bytesOf(&record, sizeof record), bytesOf(&held, sizeof held));
    }
    QVERIFY(volumes >= 1);
    sGUI_VOLUMESET second;
    QCOMPARE(session().ZynGetVolSetInfo(u8(volume), &second), 0u);
    QCOMPARE(second.name(), std::string("Volume#Second"));
    QCOMPARE(second.raidSet(), uint8_t(raid));
    QCOMPARE(second.stripe(), 128u);

    // Every drive slot reads as held; members point at their raid set.
    const int slotCount = enclosureFamily ? ctl().enclosure(0).slotCount() : session().cachedSysInfo().driveChannels();
    QVERIFY(slotCount >= 8);
    for (int slot = 0; slot < slotCount; ++slot) {
        sGUI_PHY_DRV record;
        const u32 rc = enclosureFamily ? session().ZynGetPhysicalDriveInfo(u8(enc), u8(slot), &record)
                                       : session().ZynGetPhysicalDriveInfo(u8(slot), &record);
        const sGUI_PHY_DRV held = ctl().disk(enc, slot);
        QCOMPARE(rc, held.present() ? 0u : 18u);
        QCOMPARE(bytesOf(&record, sizeof record), bytesOf(&held, sizeof held));
    }
    sGUI_PHY_DRV member;
    QCOMPARE(session().ZynGetPhysicalDriveInfo(u8(enc), 7, &member), 0u);
    QCOMPARE(member.raidSet(), uint8_t(raid));
}

void TestReads::absentObjectsAreEmpty()
{
    QCOMPARE(start(profile(zynsim::Profile::Enclosure)), QString());
    // Whatever the caller's record held before, a miss leaves it zero.
    QVERIFY(!ctl().raidSet(15).exists());
    QVERIFY(!ctl().volumeSet(15).exists());
    int emptySlot = 0;
    while (ctl().disk(0, emptySlot).present())
        ++emptySlot;
    QVERIFY(emptySlot < ctl().enclosure(0).slotCount());
    sGUI_RAIDSET raid;
    std::memset(&raid, 0xAB, sizeof raid);
    QCOMPARE(session().ZynGetRaidSetInfo(15, &raid), 18u);
    QVERIFY(allZero(raid));
    sGUI_VOLUMESET volume;
    std::memset(&volume, 0xAB, sizeof volume);
    QCOMPARE(session().ZynGetVolSetInfo(15, &volume), 18u);
    QVERIFY(allZero(volume));
    sGUI_PHY_DRV drive;
    std::memset(&drive, 0xAB, sizeof drive);
    QCOMPARE(session().ZynGetPhysicalDriveInfo(0, u8(emptySlot), &drive), 18u);
    QVERIFY(allZero(drive));
    // A number the controller does not have is its own refusal, and the record is empty too.
    std::memset(&raid, 0xAB, sizeof raid);
    QCOMPARE(session().ZynGetRaidSetInfo(200, &raid), u32('G'));
    QVERIFY(allZero(raid));

    QCOMPARE(session().ZynGetRaidSetInfo(0, nullptr), 6u);
    QCOMPARE(session().ZynGetVolSetInfo(0, nullptr), 6u);
    QCOMPARE(session().ZynGetPhysicalDriveInfo(0, 0, nullptr), 6u);

    // A failed read empties the record as well.
    std::memset(&raid, 0xAB, sizeof raid);
    ctl().script(0x20, 1, Answer::status('O'));
    QCOMPARE(session().ZynGetRaidSetInfo(0, &raid), u32('O'));
    QVERIFY(allZero(raid));
    // A short reply fills only what came.
    Bytes shortRaid(70, 0);
    shortRaid[0] = 'R';
    shortRaid[61] = 2;
    ctl().script(0x20, 1, Answer::data(shortRaid));
    QCOMPARE(session().ZynGetRaidSetInfo(0, &raid), 0u);
    QCOMPARE(raid.name(), std::string("R"));
    QCOMPARE(raid.memberCount(), 2);
    QCOMPARE(raid.memberEnclosure(0), uint8_t(0));
}

void TestReads::volumeReplyRepacking_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("serialAt");
    QTest::addColumn<bool>("field88");
    QTest::newRow("extended channel") << 0x80 << 100 << true;
    QTest::newRow("plain channel") << 0x00 << 94 << false;
}

void TestReads::volumeReplyRepacking()
{
    QFETCH(int, channel);
    QFETCH(int, serialAt);
    QFETCH(bool, field88);
    QCOMPARE(start(profile(zynsim::Profile::Enclosure)), QString());
    QVERIFY(session().cachedSysInfo().hasExtendedVolumeRecord());

    Bytes reply(128);
    for (size_t i = 0; i < reply.size(); ++i)
        reply[i] = uint8_t(i + 1);   // every byte tells where it came from
    reply[48] = uint8_t(channel);
    const char serial[] = "SERIAL0123456789";
    std::copy(serial, serial + 16, reply.begin() + serialAt);
    ctl().script(0x21, 1, Answer::data(reply));

    sGUI_VOLUMESET record;
    QCOMPARE(session().ZynGetVolSetInfo(3, &record), 0u);
    for (int i = 0; i < 87; ++i)
        QCOMPARE(int(record.bytes[i]), int(reply[size_t(i)]));
    QCOMPARE(int(record.bytes[87]), 0);
    for (int i = 88; i < 92; ++i)
        QCOMPARE(int(record.bytes[i]), field88 ? int(reply[size_t(i)]) : 0);
    QCOMPARE(record.serial(), std::string(serial));
    for (int i = 108; i < 120; ++i)
        QCOMPARE(int(record.bytes[i]), 0);
}

void TestReads::olderFamilyHasNoExtendedVolumeFields()
{
    QCOMPARE(start(profile(zynsim::Profile::Older)), QString());
    QVERIFY(!session().cachedSysInfo().hasExtendedVolumeRecord());
    Bytes reply(128, 0x11);
    ctl().script(0x21, 1, Answer::data(reply));
    sGUI_VOLUMESET record;
    QCOMPARE(session().ZynGetVolSetInfo(0, &record), 0u);
    QCOMPARE(int(record.bytes[63]), 0x11);
    for (int i = 64; i < 120; ++i)
        QCOMPARE(int(record.bytes[i]), 0);
}

void TestReads::driveAddressingByFamily()
{
    QCOMPARE(start(profile(zynsim::Profile::Enclosure)), QString());
    sGUI_PHY_DRV drive;
    ctl().clearLog();
    QCOMPARE(session().ZynGetPhysicalDriveInfo(3, &drive), 72u);
    QCOMPARE(ctl().framesReceived(0x22), 0);
    session().ZynGetPhysicalDriveInfo(1, 5, &drive);
    QCOMPARE(entries(ctl(), LogEntry::RxFrame, 0x22).back().bytes, (Bytes{5, 1}));
    m_rig.stop();

    QCOMPARE(start(profile(zynsim::Profile::Older)), QString());
    session().ZynGetPhysicalDriveInfo(3, &drive);
    QCOMPARE(entries(ctl(), LogEntry::RxFrame, 0x22).back().bytes, (Bytes{3, 0}));
    session().ZynGetPhysicalDriveInfo(1, 5, &drive);
    QCOMPARE(entries(ctl(), LogEntry::RxFrame, 0x22).back().bytes, (Bytes{5, 0}));
    sGUI_ENC_PROPERTY property;
    QCOMPARE(session().ZynGetEnclosureProperty(0, &property), 72u);
    u8 names[3072];
    QCOMPARE(session().ZynGetEnclosureDescriptor(0, 0, names, sizeof names), 72u);
    QCOMPARE(ctl().framesReceived(0x1B), 0);
}

void TestReads::enclosureReads()
{
    QCOMPARE(start(profile(zynsim::Profile::Enclosure)), QString());
    const int highest = session().cachedSysInfo().highestEnclosure();
    sGUI_ENC_PROPERTY property;
    QCOMPARE(session().ZynGetEnclosureProperty(0, &property), 0u);
    const sGUI_ENC_PROPERTY held = ctl().enclosure(0);
    QCOMPARE(bytesOf(&property, sizeof property), bytesOf(&held, sizeof held));
    QVERIFY(property.exists());
    QVERIFY(property.slotCount() > 0);
    QCOMPARE(session().ZynGetEnclosureProperty(u8(highest + 1), &property), 6u);
    QCOMPARE(session().ZynGetEnclosureProperty(0, nullptr), 6u);

    Bytes names(3072);
    QCOMPARE(session().ZynGetEnclosureDescriptor(0, 0, names.data(), int(names.size())), 0u);
    QVERIFY(names[0] != 0);   // the first slot has a name
    QCOMPARE(session().ZynGetEnclosureDescriptor(0, 5, names.data(), int(names.size())), 6u);
    QCOMPARE(session().ZynGetEnclosureDescriptor(0, 0, nullptr, 3072), 6u);
    QCOMPARE(session().ZynGetEnclosureDescriptor(0, 0, names.data(), 0), 6u);
    QCOMPARE(session().ZynGetEnclosureDescriptor(u8(highest + 1), 0, names.data(), 3072), 6u);
    // The reply is larger than the caller's buffer.
    QCOMPARE(session().ZynGetEnclosureDescriptor(0, 0, names.data(), 100), 12u);
    QCOMPARE(entries(ctl(), LogEntry::RxFrame, 0x1B).back().bytes, (Bytes{0, 1, 0}));
}

void TestReads::eventsReadAllThenOnlyNew()
{
    QCOMPARE(start(profile(zynsim::Profile::Enclosure, 64)), QString());
    QCOMPARE(session().eventRingCapacity(), 64u);

    // Everything the controller holds.
    int count = -1;
    QCOMPARE(session().ZynGetReqEventPage(0, &count), 0u);
    QCOMPARE(count, 64);
    const auto held = ctl().events();
    QVERIFY(!held.empty());
    sEVET_DATA record;
    QCOMPARE(session().ZynGetEventObject(0, &record), 1);
    QCOMPARE(bytesOf(&record, sizeof record), bytesOf(&held.back(), sizeof record));

    // Nothing new: one poll, no page.
    ctl().clearLog();
    QCOMPARE(session().ZynGetReqEventPage(1, &count), 0u);
    QCOMPARE(count, 0);
    QCOMPARE(ctl().framesReceived(0x1A), 0);

    // Five new events: one page, newest first through the objects.
    for (int i = 0; i < 5; ++i) {
        sEVET_DATA e{};
        e.set(6, uint8_t(30 + i % 2));
        e.setName("Event" + std::to_string(i));
        ctl().addEvent(e);
    }
    QCOMPARE(session().ZynGetReqEventPage(1, &count), 0u);
    QCOMPARE(count, 5);
    QCOMPARE(ctl().framesReceived(0x1A), 1);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(session().ZynGetEventObject(i, &record), 1);
        QCOMPARE(record.name(), "Event" + std::to_string(4 - i));
    }
    QCOMPARE(session().ZynGetEventObject(-1, &record), 0);
    QCOMPARE(session().ZynGetEventObject(64, &record), 0);
    QCOMPARE(session().ZynGetEventObject(0, nullptr), 0);

    // Clearing empties what the session holds.
    QCOMPARE(session().ZynClearEvent(), 0u);
    QCOMPARE(session().eventsHeld(), 0u);
    QCOMPARE(session().ZynGetEventObject(0, &record), 0);
}

void TestReads::eventCounterWrapsRoundTheRing()
{
    QCOMPARE(start(profile(zynsim::Profile::Enclosure, 256)), QString());
    auto addEvents = [this](int n, int from) {
        for (int i = 0; i < n; ++i) {
            sEVET_DATA e{};
            e.set(6, 29);
            e.setCount(uint32_t(from + i));
            ctl().addEvent(e);
        }
    };
    // Bring the counter to 250 and consume everything.
    int count = 0;
    for (int guard = 0; guard < 600 && ctl().eventCounter() != 250; ++guard)
        addEvents(1, 0);
    QCOMPARE(ctl().eventCounter(), 250u);
    QCOMPARE(session().ZynGetReqEventPage(0, &count), 0u);
    QCOMPARE(session().lastEventCounter(), 250u);

    // 11 more: the counter wraps to 5; one page carries them.
    addEvents(11, 1000);
    QCOMPARE(ctl().eventCounter(), 5u);
    ctl().clearLog();
    QCOMPARE(session().ZynGetReqEventPage(1, &count), 0u);
    QCOMPARE(count, 11);
    QCOMPARE(ctl().framesReceived(0x1A), 1);
    sEVET_DATA record;
    for (int i = 0; i < 11; ++i) {
        QCOMPARE(session().ZynGetEventObject(i, &record), 1);
        QCOMPARE(record.count(), uint32_t(1010 - i));
    }

    // 40 more: three pages, in order across the page boundary.
    addEvents(40, 2000);
    ctl().clearLog();
    QCOMPARE(session().ZynGetReqEventPage(1, &count), 0u);
    QCOMPARE(count, 40);
    QCOMPARE(ctl().framesReceived(0x1A), 3);
    for (int i = 0; i < 40; ++i) {
        QCOMPARE(session().ZynGetEventObject(i, &record), 1);
        QCOMPARE(record.count(), uint32_t(2039 - i));
    }
}

void TestReads::unstableCounterIsRetried()
{
    QCOMPARE(start(profile(zynsim::Profile::Enclosure, 64)), QString());
    int count = 0;
    QCOMPARE(session().ZynGetReqEventPage(0, &count), 0u);
    // Every poll answers a different counter: new events keep coming during the read.
    for (uint32_t i = 0; i < 2 * CZynlib::kEventPageAttempts; ++i)
        ctl().script(0x19, 1, Answer::data(u32le(session().lastEventCounter() + 1 + i % 40)));
    ctl().clearLog();
    QCOMPARE(session().ZynGetReqEventPage(1, &count), 0u);
    QCOMPARE(count, 0);
    QCOMPARE(ctl().framesReceived(0x19), 2 * CZynlib::kEventPageAttempts);

    // Reading everything makes one attempt only.
    ctl().script(0x19, 1, Answer::data(u32le(7)));
    ctl().script(0x19, 1, Answer::data(u32le(8)));
    ctl().clearLog();
    QCOMPARE(session().ZynGetReqEventPage(0, &count), 0u);
    QCOMPARE(count, 0);
    QCOMPARE(ctl().framesReceived(0x19), 2);

    // A failing second poll ends a full read with its result. (A status letter is no failure
    // here: one byte in answer to a poll is the counter.)
    ctl().script(0x19, 1, Answer::data(u32le(7)));
    ctl().script(0x19, 1, Answer::silence());
    QCOMPARE(session().ZynGetReqEventPage(0, &count), 20u);
    QCOMPARE(count, 0);
}

void TestReads::eventRingSizedOnce_data()
{
    QTest::addColumn<uint>("capacity");
    QTest::addColumn<uint>("kept");
    QTest::newRow("none") << 0u << 0u;
    QTest::newRow("not whole pages") << 17u << 16u;
    QTest::newRow("512") << 512u << 512u;
    QTest::newRow("beyond any controller") << 100000u << 65536u;
}

void TestReads::eventRingSizedOnce()
{
    QFETCH(uint, capacity);
    QFETCH(uint, kept);
    QCOMPARE(start(profile(zynsim::Profile::Enclosure, capacity)), QString());
    QCOMPARE(session().eventRingCapacity(), u32(kept));
    int count = -1;
    ctl().clearLog();
    const u32 rc = session().ZynGetReqEventPage(0, &count);
    if (kept == 0) {
        // No ring: nothing is asked.
        QCOMPARE(rc, 18u);
        QCOMPARE(count, 0);
        QCOMPARE(ctl().framesReceived(0x19), 0);
        sEVET_DATA record;
        QCOMPARE(session().ZynGetEventObject(0, &record), 0);
        return;
    }
    QCOMPARE(rc, 0u);
    QCOMPARE(count, int(kept));

    // The controller reports another size later: the session keeps the one it was built with.
    ctl().setEventRingCapacity(kept == 16 ? 4096 : 16);
    sSYSTEM_INFO info;
    QCOMPARE(session().ZynGetSysInfo(&info), 0u);
    QCOMPARE(session().eventRingCapacity(), u32(kept));
    session().ZynGetReqEventPage(0, &count);
    QVERIFY(count <= int(kept));
    sEVET_DATA record;
    QCOMPARE(session().ZynGetEventObject(int(kept) - 1, &record), 1);
    QCOMPARE(session().ZynGetEventObject(int(kept), &record), 0);
}

void TestReads::hardwareMonitorExample()
{
    QCOMPARE(start(profile(zynsim::Profile::Older)), QString());
    const std::pair<u32, std::vector<int>> expected[] = {
        {1, {1200, 1300}}, {2, {1200, 3200}}, {3, {40, 0, 35}}, {4, {1}}, {5, {}}, {6, {2}}, {7, {}},
    };
    for (const auto& row : expected) {
        ctl().script(0x1B, 1, Answer::data(exampleHwMonitor()));
        _HWMON_INFO info;
        std::memset(&info, 0xCD, sizeof info);
        QCOMPARE(session().ZynGetHWMon(row.first, &info), 0u);
        QCOMPARE(values(info), row.second);
        for (int i = info.count; i < _HWMON_INFO::kMaxValues; ++i)
            QCOMPARE(int(info.values[i]), 0);
    }
    // The parsers on a reply already read give the same.
    Bytes reply = exampleHwMonitor();
    reply.resize(2048, 0);
    _HWMON_INFO info;
    CZynlib::GetVolState(reply.data(), &info);
    QCOMPARE(values(info), (std::vector<int>{1200, 3200}));
    CZynlib::GetBatteryState(reply.data(), &info);
    QCOMPARE(values(info), (std::vector<int>{2}));

    // A UPS byte in place of the battery block.
    Bytes ups = exampleHwMonitor();
    ups.resize(17);
    ups[16] = 0x07;
    ctl().script(0x1B, 2, Answer::data(ups));
    QCOMPARE(session().ZynGetHWMon(CZynlib::HwUps, &info), 0u);
    QCOMPARE(values(info), (std::vector<int>{7}));
    QCOMPARE(session().ZynGetHWMon(CZynlib::HwBattery, &info), 0u);
    QCOMPARE(values(info), std::vector<int>{});
}

void TestReads::hardwareMonitorArguments()
{
    QCOMPARE(start(profile(zynsim::Profile::Older)), QString());
    _HWMON_INFO info;
    ctl().clearLog();
    QCOMPARE(session().ZynGetHWMon(0, &info), 6u);
    QCOMPARE(session().ZynGetHWMon(8, &info), 6u);
    QCOMPARE(session().ZynGetHWMon(1, nullptr), 6u);
    QCOMPARE(ctl().framesReceived(0x1B), 0);
    // The simulator's own block reads as it holds it; with two supplies the power area is two
    // bytes, and the battery block follows it.
    std::string why;
    QVERIFY2(ctl().loadConfig("sensor fan 1000 / voltage 1200:1250 / temp 33 / power 1 1 / battery 77\n", &why), why.c_str());
    const std::pair<u32, std::vector<int>> expected[] = {
        {1, {1000}}, {2, {1200, 1250}}, {3, {33}}, {4, {1, 2}}, {5, {}}, {6, {77}},
    };
    for (const auto& row : expected) {
        QCOMPARE(session().ZynGetHWMon(row.first, &info), 0u);
        QCOMPARE(values(info), row.second);
    }
    m_rig.stop();

    QCOMPARE(start(profile(zynsim::Profile::Enclosure)), QString());
    QCOMPARE(session().ZynGetHWMon(CZynlib::HwFans, &info), 72u);
    _HWMON_E100 e100;
    QCOMPARE(session().ZynGetHWMonE100(&e100), 6u);
}

void TestReads::hardwareMonitorCountsBeyondTheRecord()
{
    QCOMPARE(start(profile(zynsim::Profile::Older)), QString());
    // Counts of 255 with a reply that ends early: the record keeps 50 values at most, and
    // nothing past the reply is read.
    Bytes reply = {255, 255, 255, 255};
    for (int i = 0; i < 300; ++i)
        reply.push_back(uint8_t(i));
    _HWMON_INFO info;
    for (u32 kind = 1; kind <= 6; ++kind) {
        ctl().script(0x1B, 1, Answer::data(reply));
        QCOMPARE(session().ZynGetHWMon(kind, &info), 0u);
        QVERIFY(info.count <= 50);
    }
    ctl().script(0x1B, 1, Answer::data(reply));
    QCOMPARE(session().ZynGetHWMon(CZynlib::HwFans, &info), 0u);
    QCOMPARE(int(info.count), 50);
    QCOMPARE(int(info.values[0]), 0x0100);
    // 255 voltage entries start at 4 + 510: beyond a 304-byte reply.
    ctl().script(0x1B, 1, Answer::data(reply));
    QCOMPARE(session().ZynGetHWMon(CZynlib::HwVoltages, &info), 0u);
    QCOMPARE(int(info.count), 0);

    // A battery block cut short is not a battery.
    Bytes cut = exampleHwMonitor();
    cut.resize(19);
    ctl().script(0x1B, 1, Answer::data(cut));
    QCOMPARE(session().ZynGetHWMon(CZynlib::HwBattery, &info), 0u);
    QCOMPARE(int(info.count), 0);
}

void TestReads::e100Block()
{
    QCOMPARE(start(profile(zynsim::Profile::E100)), QString());
    QCOMPARE(int(session().cachedSysInfo().driveChannels()), 5);
    _HWMON_E100 block;
    QCOMPARE(session().ZynGetHWMonE100(&block), 0u);
    QVERIFY(block.fan() != 0);
    QCOMPARE(session().ZynGetHWMonE100(nullptr), 6u);

    // A reply longer than anything the box sends is bounded by the record.
    Bytes huge(2048, 0x5A);
    ctl().script(0x1B, 1, Answer::data(huge));
    QCOMPARE(session().ZynGetHWMonE100(&block), 0u);
    QCOMPARE(int(block.bytes[2047]), 0x5A);
}

void TestReads::enclosureSensorsCursor()
{
    QCOMPARE(start(profile(zynsim::Profile::Enclosure)), QString());
    // Property counts 0, 4, 2, 0, 0: section 1 from value bytes 0-31, section 2 from 32-47.
    Bytes property(64, 0);
    property[28] = 1;
    property[31] = 4;
    property[32] = 2;
    Bytes valueReply;
    for (int i = 0; i < 48; ++i)
        valueReply.push_back(uint8_t(i));
    Bytes names1(3072, 0), names2(3072, 0);
    std::memcpy(names1.data(), "Fan 1", 5);
    std::memcpy(names2.data(), "Voltage 12V", 11);
    ctl().script(0x1B, 1, Answer::data(property));
    ctl().script(0x1B, 1, Answer::data(valueReply));
    ctl().script(0x1B, 1, Answer::data(names1));
    ctl().script(0x1B, 1, Answer::data(names2));
    ctl().script(0x1B, 1, Answer::data({77, 0}));
    auto sensors = std::make_unique<sSENSORS>();
    QCOMPARE(session().ZynGetEnclosureHwMonitor(0, sensors.get()), 0u);

    QCOMPARE(int(sensors->sections[0].count), 0);
    const sSENSORS::Section& s1 = sensors->sections[1];
    QCOMPARE(int(s1.count), 4);
    QCOMPARE(s1.name(0), std::string("Fan 1"));
    QCOMPARE(bytesOf(s1.values, 16), Bytes(valueReply.begin(), valueReply.begin() + 16));
    QCOMPARE(bytesOf(s1.flags, 16), Bytes(valueReply.begin() + 16, valueReply.begin() + 32));
    const sSENSORS::Section& s2 = sensors->sections[2];
    QCOMPARE(int(s2.count), 2);
    QCOMPARE(s2.name(0), std::string("Voltage 12V"));
    QCOMPARE(bytesOf(s2.values, 8), Bytes(valueReply.begin() + 32, valueReply.begin() + 40));
    QCOMPARE(bytesOf(s2.flags, 8), Bytes(valueReply.begin() + 40, valueReply.begin() + 48));
    const sSENSORS::Section& battery = sensors->sections[5];
    QCOMPARE(int(battery.count), 1);
    QCOMPARE(battery.name(0), std::string("Battery Status"));
    QCOMPARE(battery.value(0), 77u);

    // The descriptor requests went out for the sections with sensors only.
    auto frames = entries(ctl(), LogEntry::RxFrame, 0x1B);
    QCOMPARE(frames.size(), size_t(5));
    QCOMPARE(frames[0].bytes, (Bytes{0, 0}));
    QCOMPARE(frames[1].bytes, (Bytes{0, 2, 0}));
    QCOMPARE(frames[2].bytes, (Bytes{0, 1, 1}));
    QCOMPARE(frames[3].bytes, (Bytes{0, 1, 2}));
    QCOMPARE(frames[4].bytes, (Bytes{0, 3, 0}));

    // The simulator's own enclosure reads whole.
    QCOMPARE(session().ZynGetEnclosureHwMonitor(0, sensors.get()), 0u);
    QCOMPARE(int(sensors->sections[0].count), ctl().enclosure(0).slotCount());
}

void TestReads::enclosureSensorsBounded()
{
    QCOMPARE(start(profile(zynsim::Profile::Enclosure)), QString());
    // Counts of 255 in every section and a short value reply: 128 entries at most, and only
    // what the reply holds.
    Bytes property(64, 0);
    property[28] = 1;
    for (int k = 0; k < 5; ++k)
        property[30 + k] = 255;
    Bytes valueReply(2000, 0x33);
    ctl().script(0x1B, 1, Answer::data(property));
    ctl().script(0x1B, 1, Answer::data(valueReply));
    for (int k = 0; k < 5; ++k)
        ctl().script(0x1B, 1, Answer::data(Bytes(3072, uint8_t('a' + k))));
    ctl().script(0x1B, 1, Answer::status('H'));
    auto sensors = std::make_unique<sSENSORS>();
    QCOMPARE(session().ZynGetEnclosureHwMonitor(0, sensors.get()), 0u);
    for (int k = 0; k < 5; ++k)
        QCOMPARE(int(sensors->sections[k].count), 128);
    // Section 1 takes 1024 bytes, section 2 the remaining 976 of the 2000.
    QCOMPARE(sensors->sections[1].value(127), 0x33333333u);
    QCOMPARE(sensors->sections[2].value(127), 0x33333333u);
    QCOMPARE(sensors->sections[2].flag(115), 0x33333333u);
    QCOMPARE(sensors->sections[2].flag(116), 0u);
    QCOMPARE(sensors->sections[3].value(0), 0u);
    QCOMPARE(int(sensors->sections[5].count), 0);

    QCOMPARE(session().ZynGetEnclosureHwMonitor(0, nullptr), 6u);
    QCOMPARE(session().ZynGetEnclosureHwMonitor(u8(session().cachedSysInfo().highestEnclosure() + 1), sensors.get()), 6u);
}

void TestReads::enclosureBattery()
{
    QCOMPARE(start(profile(zynsim::Profile::Enclosure)), QString());
    auto sensors = std::make_unique<sSENSORS>();
    ctl().setBattery(0, -1);
    QCOMPARE(session().ZynGetEnclosureHwMonitor(0, sensors.get()), 0u);
    QCOMPARE(int(sensors->sections[5].count), 0);
    ctl().setBattery(0, 90);
    QCOMPARE(session().ZynGetEnclosureHwMonitor(0, sensors.get()), 0u);
    QCOMPARE(int(sensors->sections[5].count), 1);
    QCOMPARE(sensors->sections[5].value(0), 90u);

    // Another failure of the battery read is passed on; what was read stays.
    Bytes property(64, 0);
    property[28] = 1;
    property[30] = 2;
    ctl().script(0x1B, 1, Answer::data(property));
    ctl().script(0x1B, 1, Answer::data(Bytes(8, 0)));
    ctl().script(0x1B, 1, Answer::data(Bytes(3072, 'n')));
    ctl().script(0x1B, 1, Answer::status('O'));
    QCOMPARE(session().ZynGetEnclosureHwMonitor(0, sensors.get()), u32('O'));
    QCOMPARE(int(sensors->sections[0].count), 2);
}

QTEST_GUILESS_MAIN(TestReads)
#include "test_reads.moc"
