// The simulator's device model: the read commands' replies byte for byte, the records staying
// consistent through changes, the events each change logs, the event ring and its pages, the
// configuration text and the fault switches; then the identity, settings and maintenance
// commands, the restart and the SNMP agent. Most frames go through FakeController::handleFrame;
// the long replies also cross a loopback UDP socket.
#include "records.h"
#include "setuptable.h"
#include "simclient.h"
#include "simframe.h"
#include "simulator.h"
#include "zynconst.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ctime>
#include <set>
#include <thread>

using zynsim::Bytes;
using zynsim::ControllerConfig;
using zynsim::FakeController;
using zynsim::Profile;
using zynsim::RaidSetOptions;
using zynsim::Simulator;
using zynsim::VolumeOptions;
using simtest::UdpClient;

namespace {

constexpr int kWaitMs = 1000;

using simtest::command;

using simtest::replyData;

// The reply of `c` to one command, through the controller's frame entry.
Bytes ask(FakeController& c, uint8_t code, const Bytes& payload = {})
{
    return replyData(c.handleFrame(command(code, payload), "test").bytes);
}

// The status letter of a one-byte reply, 0 for data.
char letter(const Bytes& reply)
{
    return reply.size() == 1 ? char(reply[0]) : 0;
}

template <class Record>
Bytes bytesOf(const Record& record)
{
    return Bytes(record.bytes, record.bytes + sizeof record.bytes);
}

bool allZero(const Bytes& b)
{
    return std::all_of(b.begin(), b.end(), [](uint8_t x) { return x == 0; });
}

uint32_t u32(const Bytes& b, size_t at)
{
    return zynwire::getU32(b.data() + at);
}

std::string text(const Bytes& b, size_t at, size_t width)
{
    return zynwire::getText(b.data() + at, width);
}

ControllerConfig configOf(Profile profile, bool empty = true)
{
    ControllerConfig config;
    config.profile = profile;
    config.emptyModel = empty;
    config.serial = "Y000000000001234";
    return config;
}

struct EventKey {
    int eventClass;
    int code;
    std::string name;
    bool operator==(const EventKey& o) const { return eventClass == o.eventClass && code == o.code && name == o.name; }
};

std::vector<EventKey> eventKeys(const FakeController& c, size_t from = 0)
{
    std::vector<EventKey> keys;
    const auto events = c.events();
    for (size_t i = from; i < events.size(); ++i)
        keys.push_back({events[i].eventClass(), events[i].code(), events[i].name()});
    return keys;
}

std::string describe(const std::vector<EventKey>& keys)
{
    std::string s;
    for (const auto& k : keys)
        s += std::to_string(k.eventClass) + "/" + std::to_string(k.code) + " '" + k.name + "'; ";
    return s;
}

#define COMPARE_EVENTS(actual, ...)                                                                  \
    do {                                                                                             \
        const std::vector<EventKey> expected_ = __VA_ARGS__;                                         \
        const std::vector<EventKey> actual_ = (actual);                                              \
        QVERIFY2(actual_ == expected_, ("got " + describe(actual_) + " want " + describe(expected_)).c_str()); \
    } while (0)

sEVET_DATA rawEvent(uint8_t eventClass, uint8_t code, uint32_t count)
{
    sEVET_DATA e{};
    e.set(eventClass, code);
    e.setCount(count);
    e.setName("E" + std::to_string(count));
    return e;
}

// Every disk of the controller: {enclosure, slot}.
std::vector<std::pair<int, int>> slotsOf(FakeController& c)
{
    const Bytes info = c.systemInfo();
    std::vector<std::pair<int, int>> out;
    if (info[189] != 3) {
        for (int ch = 0; ch < info[174]; ++ch)
            out.emplace_back(0, ch);
        return out;
    }
    for (int e = 0; e < info[193]; ++e)
        for (int s = 0; s < c.enclosure(e).slotCount(); ++s)
            out.emplace_back(e, s);
    return out;
}

// The cross-record rules, and the frames answering exactly what the accessors return.
void checkConsistent(FakeController& c)
{
    const Bytes info = c.systemInfo();
    const bool older = info[189] != 3;
    const int raidSets = info[178];
    const int volumes = info[177] == 0x80 ? 128 : info[177];
    for (int r = 0; r < raidSets; ++r) {
        const sGUI_RAIDSET set = c.raidSet(r);
        QCOMPARE(ask(c, 0x20, {uint8_t(r)}), bytesOf(set));
        if (!set.exists())
            continue;
        for (int i = 0; i < set.memberCount(); ++i) {
            const sGUI_PHY_DRV d = c.disk(set.memberEnclosure(i), set.memberSlot(i));
            if (set.degraded() & (1u << i))
                continue;
            QVERIFY(d.present());
            QCOMPARE(int(d.raidSet()), r);
            QCOMPARE(int(d.stateLow()), set.stateFlags() == 0x80 ? 0x8A : 0x88);
            if (older)
                QCOMPARE(int(set.memberEnclosure(i)), 0);
        }
        int listed = 0;
        for (int k = 0; k < set.volumeCount(); ++k) {
            const sGUI_VOLUMESET v = c.volumeSet(set.volumeNumber(k));
            QVERIFY(v.exists());
            QCOMPARE(int(v.raidSet()), r);
            ++listed;
        }
        int owned = 0;
        for (int v = 0; v < volumes; ++v)
            owned += c.volumeSet(v).exists() && c.volumeSet(v).raidSet() == r;
        QCOMPARE(listed, owned);
    }
    for (int v = 0; v < volumes; ++v) {
        const sGUI_VOLUMESET record = c.volumeSet(v);
        QCOMPARE(ask(c, 0x21, {uint8_t(v)}), c.volumeReply(v));
        if (!record.exists()) {
            QVERIFY(allZero(c.volumeReply(v)));
            continue;
        }
        QVERIFY((record.capacity() & 0xFFFFFFFFu) != 0);
        if (record.raidSet() != 0xFF)
            QVERIFY(c.raidSet(record.raidSet()).exists());
        if (record.isNested())
            for (int k = 0; k < record.nestedCount(); ++k)
                QVERIFY(c.volumeSet(record.nestedMember(k)).isNestedMember());
    }
    for (const auto& a : slotsOf(c)) {
        const sGUI_PHY_DRV d = c.disk(a.first, a.second);
        const Bytes payload = older ? Bytes{uint8_t(a.second), 0} : Bytes{uint8_t(a.second), uint8_t(a.first)};
        QCOMPARE(ask(c, 0x22, payload), bytesOf(d));
        if (!d.present()) {
            QVERIFY(allZero(bytesOf(d)));
            continue;
        }
        if (d.stateLow() == 0x40)
            QCOMPARE(int(d.raidSet()), 255);
        if (d.raidSet() != 255) {
            const sGUI_RAIDSET set = c.raidSet(d.raidSet());
            bool listed = false;
            for (int i = 0; i < set.memberCount(); ++i)
                listed |= set.memberSlot(i) == a.second && set.memberEnclosure(i) == (older ? 0 : a.first);
            QVERIFY(listed);
        }
    }
}

} // namespace

class TestSimModel : public QObject {
    Q_OBJECT

private slots:
    // --- the sample model and the read replies ---
    void defaultModels_data();
    void defaultModels();
    void raidSetRecordBytes();
    void volumeReplyLayouts();
    void volumeReplyWithoutExtendedRecord();
    void volumeNumbersBeyondSixteen();
    void driveRecordAndAddressing();
    void absentAndOutOfRange();

    // --- changes ---
    void createAndDeleteKeepRecordsConsistent();
    void invalidChangesChangeNothing();
    void losingMembersDegradesThenFails();
    void hotSparesAndPassThrough();
    void nestedVolumes();

    // --- events ---
    void eventPagesWrapAround();
    void eventPageWithFewEvents();
    void clearKeepsTheCounter();
    void oddRingCapacities();
    void eventTimeAndDeviceNames();

    // --- monitors and enclosures ---
    void olderMonitorBlock();
    void e100MonitorBlock();
    void enclosureSensors();
    void enclosureFaultSwitches();

    // --- configuration ---
    void configBuildsModel();
    void configErrors_data();
    void configErrors();

    // --- the setup image and command 0x1F ---
    void setupLayouts_data();
    void setupLayouts();
    void setupLayoutByProfile();
    void setupWritesChangeExactlyTheirBytes();
    void setupRefusalsAndMalformedRequests();
    void setupBitmapsFollowTheModel();
    void setupInPasswordMode();

    // --- configuration applied at run time ---
    void applyConfigIsIncremental();
    void applyConfigErrorChangesNothing();

    void concurrentReadsAndChanges();

    // --- identity, settings and maintenance ---
    void identityCommands();
    void identityRefusalsChangeNothing();
    void passwordAndUnitSerial();
    void clockSettingAndReading();
    void clockRefusals();
    void firmwareBlocksInOrder();
    void firmwareVerdicts();
    void logoPages();
    void settingCommands();
    void settingsInPasswordMode();
    void restartSilenceThenPowerOn();

    // --- the SNMP agent ---
    void snmpGetBytes();
    void snmpWalkAndNoSuchName();
    void snmpCommunityAndObjectsFromSetup();
    void snmpMalformedRequests();
    void snmpMutatedRequestsStayBounded();

    // --- the web server ---
    void httpShortAndLongForm();
    void httpRequestsAndRefusals();

    // --- the RAID configuration commands ---
    void raidSetCommands();
    void volumeSpaceByLevel_data();
    void volumeSpaceByLevel();
    void volumeCreation();
    void volumeChangesChecksAndProgress();
    void nestedVolumeCommand();
    void expandRaidSet();
    void hotSpareCommands();
    void passThroughCommands();
    void driveCommands();
};

// ---------------------------------------------------------------------------------------------

void TestSimModel::defaultModels_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("enclosures");
    QTest::addColumn<int>("disks");
    QTest::addColumn<int>("raidSets");
    QTest::newRow("older") << int(Profile::Older) << 1 << 16 << 0 << 5 << 1;
    QTest::newRow("e100") << int(Profile::E100) << 1 << 5 << 0 << 4 << 1;
    QTest::newRow("enclosure") << int(Profile::Enclosure) << 3 << 0 << 2 << 7 << 1;
    QTest::newRow("jbod") << int(Profile::Jbod) << 3 << 0 << 1 << 4 << 0;
    QTest::newRow("jbod6g") << int(Profile::Jbod6G) << 3 << 0 << 1 << 4 << 0;
}

void TestSimModel::defaultModels()
{
    QFETCH(int, profile);
    QFETCH(int, family);
    QFETCH(int, channels);
    QFETCH(int, enclosures);
    QFETCH(int, disks);
    QFETCH(int, raidSets);
    FakeController c(configOf(Profile(profile), false));
    const Bytes info = ask(c, 0x23);
    QCOMPARE(info.size(), size_t(256));
    QCOMPARE(int(info[189]), family);
    QCOMPARE(int(info[174]), channels);
    QCOMPARE(int(info[193]), enclosures);
    // The enclosure profile's setup layout 3 has 128 volume numbers.
    QCOMPARE(int(info[177]), Profile(profile) == Profile::Enclosure ? 128 : 16);
    QCOMPARE(int(info[178]), 16);
    QCOMPARE(u32(info, 148), 256u);

    int present = 0;
    for (const auto& a : slotsOf(c))
        present += c.disk(a.first, a.second).present();
    QCOMPARE(present, disks);
    int sets = 0;
    for (int r = 0; r < 16; ++r)
        sets += c.raidSet(r).exists();
    QCOMPARE(sets, raidSets);
    if (raidSets > 0) {
        QCOMPARE(c.raidSet(0).name(), std::string("Raid Set # 000"));
        QCOMPARE(c.volumeSet(0).name(), std::string("Volume---VOL#000"));
        QCOMPARE(c.volumeSet(0).state(), 0u);   // initialised
    }
    checkConsistent(c);
    // The controller logged what made it: power-on first, then the disks going in.
    const auto keys = eventKeys(c);
    QVERIFY(keys.size() > size_t(disks));
    QCOMPARE(keys[0].eventClass, 5);
    QCOMPARE(keys[0].code, 38);
    QCOMPARE(keys[1].eventClass, 3);
    QCOMPARE(keys[1].code, 0);
    QCOMPARE(c.eventCounter(), uint32_t(keys.size()));
    QCOMPARE(u32(ask(c, 0x19), 0), uint32_t(keys.size()));
}

void TestSimModel::raidSetRecordBytes()
{
    FakeController c(configOf(Profile::Enclosure));
    QVERIFY(c.addDisk(0, 5, "M", "S5", 1000000));
    QVERIFY(c.addDisk(1, 2, "M", "S12", 1200000));
    QVERIFY(c.addDisk(0, 0, "M", "S0", 1100000));
    zynsim::RaidSetOptions sed;
    sed.flags = sGUI_RAIDSET::kFlagSed;
    std::string why;
    QCOMPARE(c.createRaidSet("Shelf Set", {{0, 5}, {1, 2}, {0, 0}}, sed, &why), 0);
    QCOMPARE(c.createVolumeSet(0, "A", 500000, 3, 128, {}, &why), 0);
    QCOMPARE(c.createVolumeSet(0, "B", 200000, 3, 128, {}, &why), 1);

    Bytes r = ask(c, 0x20, {0});
    QCOMPARE(r.size(), size_t(272));
    QCOMPARE(text(r, 0, 16), std::string("Shelf Set"));
    QCOMPARE(zynwire::getU64(r.data() + 16), uint64_t(1000000));   // the smallest member
    QCOMPARE(u32(r, 24), 0u);
    QCOMPARE(Bytes(r.begin() + 28, r.begin() + 31), Bytes({5, 2, 0}));     // slots
    QCOMPARE(Bytes(r.begin() + 240, r.begin() + 243), Bytes({0, 1, 0}));   // enclosures
    QVERIFY(allZero(Bytes(r.begin() + 31, r.begin() + 60)));
    QCOMPARE(int(r[60]), 3);   // member devices
    QCOMPARE(int(r[61]), 3);
    QCOMPARE(int(r[62]), 0x05);
    QCOMPARE(int(r[63]), 2);
    QCOMPARE(Bytes(r.begin() + 64, r.begin() + 66), Bytes({0, 1}));
    QCOMPARE(zynwire::getU16(r.data() + 80), uint16_t(0x1000));
    // Units of 512 blocks on each member: 1953 in all; Raid5 of 3 takes 250000 blocks (489 units)
    // and 100000 blocks (196 units) of each; one gap after them.
    QCOMPARE(int(r[83]), 1);
    QCOMPARE(u32(r, 84), 1953u - 489 - 196);

    // Deleting the first volume leaves a hole in front: two free segments, in disk order.
    QVERIFY(c.deleteVolumeSet(0, &why));
    r = ask(c, 0x20, {0});
    QCOMPARE(int(r[63]), 1);
    QCOMPARE(int(r[64]), 1);
    QCOMPARE(int(r[83]), 2);
    QCOMPARE(u32(r, 84), 489u);
    QCOMPARE(u32(r, 88), 1953u - 489 - 196);
    // A new volume that fits the hole goes there, first fit (200000 blocks: 391 units).
    QCOMPARE(c.createVolumeSet(0, "C", 400000, 3, 64, {}, &why), 0);
    r = ask(c, 0x20, {0});
    QCOMPARE(int(r[83]), 2);
    QCOMPARE(u32(r, 84), 489u - 391);
    QCOMPARE(u32(r, 88), 1953u - 489 - 196);
    checkConsistent(c);
}

void TestSimModel::volumeReplyLayouts()
{
    FakeController c(configOf(Profile::Enclosure));
    for (int s = 0; s < 4; ++s)
        QVERIFY(c.addDisk(0, s, "M", "S", 4000000));
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}, {0, 2}, {0, 3}}), 0);
    VolumeOptions extended;
    extended.channel = 0x80;
    extended.id = 3;
    extended.lun = 2;
    extended.extra = 0x11223344;
    extended.serial = "SER0123456789ABC";
    extended.flags = sGUI_VOLUMESET::kFlagEncrypted;
    extended.encryptionType = 2;
    extended.keyStatus = 1;
    extended.cacheMode = 0;
    std::string why;
    QCOMPARE(c.createVolumeSet(0, "Extended", 3000000, 4, 256, extended, &why), 0);
    QVERIFY(c.setVolumeState(0, 0x8, 345, &why));
    // Leaving initialisation completes it; a rebuild starting is the raid set's event, then the
    // volume's.
    COMPARE_EVENTS(eventKeys(c, c.events().size() - 3), {{2, 4, "Extended"}, {1, 3, "R"}, {2, 1, "Extended"}});

    Bytes r = ask(c, 0x21, {0});
    QCOMPARE(r.size(), size_t(128));
    QCOMPARE(text(r, 0, 16), std::string("Extended"));
    QCOMPARE(zynwire::getU64(r.data() + 16), uint64_t(3000000));
    QCOMPARE(u32(r, 36), 256u);
    QCOMPARE(u32(r, 40), 0x8u);
    QCOMPARE(u32(r, 44), 345u);
    QCOMPARE(Bytes(r.begin() + 48, r.begin() + 53), Bytes({0x80, 3, 2, 1, 0}));
    QCOMPARE(int(r[56]), 4);
    QCOMPARE(int(r[57]), 4);
    QCOMPARE(int(r[58]), 0);
    QCOMPARE(u32(r, 64), sGUI_VOLUMESET::kFlagEncrypted);
    QCOMPARE(int(r[84]), 0);
    QCOMPARE(int(r[85]), 2);
    QCOMPARE(int(r[86]), 1);
    QCOMPARE(u32(r, 88), 0x11223344u);
    QCOMPARE(text(r, 100, 16), extended.serial);
    QVERIFY(allZero(Bytes(r.begin() + 92, r.begin() + 100)));
    QVERIFY(allZero(Bytes(r.begin() + 116, r.end())));
    // The library's form: serial at 92, the extended u32 at 88.
    const sGUI_VOLUMESET v = c.volumeSet(0);
    QCOMPARE(Bytes(v.bytes, v.bytes + 64), Bytes(r.begin(), r.begin() + 64));
    QCOMPARE(zynwire::getU32(v.bytes + 88), 0x11223344u);
    QCOMPARE(v.serial(), extended.serial);
    QCOMPARE(v.stripe(), 256u);

    // The plain channel: serial at 94, nothing at 88 even with a value set.
    VolumeOptions plain = extended;
    plain.channel = 0;
    plain.serial = "PLAIN00000000001";
    QCOMPARE(c.createVolumeSet(0, "Plain", 100001, 0, 8, plain, &why), 1);
    r = ask(c, 0x21, {1});
    QCOMPARE(int(r[48]), 0);
    QCOMPARE(text(r, 94, 16), plain.serial);
    QVERIFY(allZero(Bytes(r.begin() + 87, r.begin() + 94)));
    QVERIFY(allZero(Bytes(r.begin() + 110, r.end())));
    QCOMPARE(zynwire::getU32(c.volumeSet(1).bytes + 88), 0u);
    QCOMPARE(c.volumeSet(1).serial(), plain.serial);
    checkConsistent(c);
}

void TestSimModel::volumeReplyWithoutExtendedRecord()
{
    // Older family: the reply carries nothing from byte 64 on but the serial.
    FakeController c(configOf(Profile::Older));
    for (int ch = 0; ch < 3; ++ch)
        QVERIFY(c.addDisk(0, ch, "M", "S", 4000000));
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}, {0, 2}}), 0);
    VolumeOptions options;
    options.flags = sGUI_VOLUMESET::kFlagWriteProtected;
    options.encryptionType = 3;
    options.serial = "OLDSERIAL0000042";
    QCOMPARE(c.createVolumeSet(0, "V", 1000000, 3, 128, options), 0);
    const Bytes r = ask(c, 0x21, {0});
    QCOMPARE(r.size(), size_t(128));
    QVERIFY(allZero(Bytes(r.begin() + 64, r.begin() + 94)));
    QCOMPARE(text(r, 94, 16), options.serial);
    // The record as a client builds it from that reply: nothing past byte 63.
    const sGUI_VOLUMESET v = c.volumeSet(0);
    QCOMPARE(v.flags(), 0u);
    QCOMPARE(int(v.encryptionType()), 0);
    QCOMPARE(v.serial(), std::string());
    // No nested volumes without the extended record.
    QVERIFY(c.createVolumeSet(0, "W", 1000000, 3, 128) == 1);
    std::string why;
    QCOMPARE(c.createNestedVolume("N", {0, 1}, &why), -1);
    QVERIFY(!why.empty());
}

void TestSimModel::volumeNumbersBeyondSixteen()
{
    ControllerConfig config = configOf(Profile::Enclosure);
    config.volumeNumbers = 128;
    FakeController c(config);
    QCOMPARE(int(c.systemInfo()[177]), 0x80);
    for (int s = 0; s < 2; ++s)
        QVERIFY(c.addDisk(0, s, "M", "S", 100000000));
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}}), 0);
    for (int v = 0; v < 18; ++v)
        QCOMPARE(c.createVolumeSet(0, "V" + std::to_string(v), 1000, 1, 128), v);
    const Bytes r = ask(c, 0x20, {0});
    QCOMPARE(int(r[63]), 18);
    QCOMPARE(int(r[64 + 15]), 15);
    QCOMPARE(int(r[112 + 16]), 16);   // numbers from the 17th on live at 112 + i
    QCOMPARE(int(r[112 + 17]), 17);
    QCOMPARE(int(c.raidSet(0).volumeNumber(17)), 17);
    QCOMPARE(text(ask(c, 0x21, {17}), 0, 16), std::string("V17"));
    QCOMPARE(letter(ask(c, 0x21, {127})), 0);
    QVERIFY(allZero(ask(c, 0x21, {127})));
    QCOMPARE(letter(ask(c, 0x21, {128})), 'G');
    checkConsistent(c);
}

void TestSimModel::driveRecordAndAddressing()
{
    // Enclosure family: {slot, enclosure}.
    FakeController c(configOf(Profile::Enclosure));
    std::string why;
    QVERIFY(c.addDisk(1, 6, "VD8000 Model Name That Is Forty Chars...", "SERIAL-TWENTY-CHARS!", 0x1D1C0BEB0ull, &why));
    Bytes d = ask(c, 0x22, {6, 1});
    QCOMPARE(d.size(), size_t(292));
    QCOMPARE(text(d, 0, 40), std::string("VD8000 Model Name That Is Forty Chars..."));
    QCOMPARE(text(d, 40, 20), std::string("SERIAL-TWENTY-CHARS!"));
    QCOMPARE(text(d, 60, 8), std::string("VS02"));
    QCOMPARE(zynwire::getU64(d.data() + 68), 0x1D1C0BEB0ull);
    QCOMPARE(int(d[76]), 0x40);
    QCOMPARE(int(d[77]), 0);
    QCOMPARE(int(d[81]), 255);
    QCOMPARE(letter(ask(c, 0x22, {1, 6})), 'G');            // read the other way round: enclosure 6
    QVERIFY(allZero(ask(c, 0x22, {5, 1})));                 // an empty slot: zeros, not a letter
    QCOMPARE(ask(c, 0x22, {5, 1}).size(), size_t(292));
    QCOMPARE(letter(ask(c, 0x22, {8, 0})), 'G');            // 8 slots per enclosure
    QCOMPARE(letter(ask(c, 0x22, {0, 2})), 'G');            // enclosure 2 is the controller
    QCOMPARE(letter(ask(c, 0x22, {6})), 'G');               // short payload
    QVERIFY(!c.addDisk(1, 6, "M", "S", 1, &why));           // occupied
    QVERIFY(!c.addDisk(2, 0, "M", "S", 1, &why));
    QVERIFY(!c.addDisk(0, 0, "M", "S", 0, &why));
    QVERIFY(!c.addDisk(0, 0, "", "S", 1, &why));
    QVERIFY(!c.addDisk(0, 0, std::string(41, 'm'), "S", 1, &why));
    QVERIFY(!c.addDisk(0, 0, "M", std::string(21, 's'), 1, &why));

    // Older family: {channel, 0}; the second byte must be 0.
    FakeController o(configOf(Profile::Older));
    QVERIFY(o.addDisk(0, 15, "M", "S", 1000, &why));
    QCOMPARE(int(ask(o, 0x22, {15, 0})[76]), 0x40);
    QCOMPARE(letter(ask(o, 0x22, {15, 1})), 'G');
    QCOMPARE(letter(ask(o, 0x22, {16, 0})), 'G');
    QVERIFY(allZero(ask(o, 0x22, {3, 0})));
    QVERIFY(!o.addDisk(1, 0, "M", "S", 1000, &why));        // no enclosures
    QVERIFY(!o.addDisk(0, 16, "M", "S", 1000, &why));
    QCOMPARE(bytesOf(o.disk(0, 15)), ask(o, 0x22, {15, 0}));

    FakeController e(configOf(Profile::E100));
    QCOMPARE(int(e.systemInfo()[174]), 5);
    QCOMPARE(letter(ask(e, 0x22, {5, 0})), 'G');
    QCOMPARE(ask(e, 0x22, {4, 0}).size(), size_t(292));
}

void TestSimModel::absentAndOutOfRange()
{
    ControllerConfig config = configOf(Profile::Enclosure);
    config.setupLayout = 1;   // 16 volume numbers
    FakeController c(config);
    for (int r = 0; r < 16; ++r) {
        const Bytes reply = ask(c, 0x20, {uint8_t(r)});
        QCOMPARE(reply.size(), size_t(272));
        QVERIFY(allZero(reply));
        const Bytes v = ask(c, 0x21, {uint8_t(r)});
        QCOMPARE(v.size(), size_t(128));
        QVERIFY(allZero(v));
    }
    QCOMPARE(letter(ask(c, 0x20, {16})), 'G');
    QCOMPARE(letter(ask(c, 0x21, {16})), 'G');
    QCOMPARE(letter(ask(c, 0x20)), 'G');
    QCOMPARE(letter(ask(c, 0x21)), 'G');
    QCOMPARE(letter(ask(c, 0x1A)), 'G');
    QVERIFY(allZero(bytesOf(c.raidSet(-1))));
    QVERIFY(allZero(bytesOf(c.volumeSet(500))));
    QVERIFY(allZero(bytesOf(c.disk(9, 9))));
    // Enclosures past the controller's own block.
    const Bytes property = ask(c, 0x1B, {3, 0});
    QCOMPARE(property.size(), size_t(64));
    QVERIFY(allZero(property));
    const Bytes names = ask(c, 0x1B, {3, 1, 0});
    QCOMPARE(names.size(), size_t(2048));   // slot names fit the application's 2048 bytes
    QVERIFY(allZero(names));
    const Bytes values = ask(c, 0x1B, {3, 2, 0});
    QVERIFY(values.size() >= 2);
    QVERIFY(allZero(values));
    QCOMPARE(letter(ask(c, 0x1B, {3, 3, 0})), 'H');
    // Commands without a model answer 'H'; a disk command for an empty slot its letter.
    QCOMPARE(letter(ask(c, 0x48, {0, 1})), 'H');
    QCOMPARE(letter(ask(c, 0x45, {0, 1})), '_');
    // No reply of the model is a single data byte.
    for (uint8_t code : {0x19, 0x1A, 0x1B, 0x20, 0x21, 0x22, 0x24}) {
        for (const Bytes& payload : {Bytes{}, Bytes{0}, Bytes{0, 0}, Bytes{0, 1, 0}, Bytes{2, 3, 0}}) {
            const Bytes frame = c.handleFrame(command(code, payload), "test").bytes;
            const Bytes data = replyData(frame);
            QVERIFY(!data.empty());
            if (data.size() == 1)
                QCOMPARE(frame.size(), size_t(7));   // a status letter
            QVERIFY(data.size() != 1 || (data[0] >= 'A' && data[0] <= 'M'));
        }
    }
}

// ---------------------------------------------------------------------------------------------

void TestSimModel::createAndDeleteKeepRecordsConsistent()
{
    FakeController c(configOf(Profile::Enclosure));
    std::string why;
    for (int s = 0; s < 4; ++s)
        QVERIFY(c.addDisk(0, s, "M", "S" + std::to_string(s), 2000000));
    QCOMPARE(c.createRaidSet("First", {{0, 0}, {0, 1}}, {}, &why), 0);
    QCOMPARE(c.createRaidSet("Second", {{0, 2}, {0, 3}}, {}, &why), 1);
    QCOMPARE(c.createVolumeSet(1, "Vol A", 1000000, 1, 128, {}, &why), 0);
    QCOMPARE(c.createVolumeSet(0, "Vol B", 1000000, 0, 128, {}, &why), 1);
    QCOMPARE(c.volumeSet(0).state(), 0x1u);   // initialising
    QVERIFY(c.setVolumeState(0, 0, 0, &why));
    checkConsistent(c);
    QCOMPARE(int(c.disk(0, 2).raidSet()), 1);
    QCOMPARE(int(c.raidSet(1).volumeNumber(0)), 0);
    QCOMPARE(int(c.volumeSet(1).raidSet()), 0);
    QCOMPARE(c.volumeSet(1).memberCount(), 2);

    QVERIFY(!c.deleteRaidSet(1, &why));   // still holds a volume set
    QVERIFY(why.find("volume") != std::string::npos);
    QVERIFY(c.deleteVolumeSet(0, &why));
    QVERIFY(c.deleteRaidSet(1, &why));
    QVERIFY(!c.raidSet(1).exists());
    QCOMPARE(int(c.disk(0, 2).stateLow()), 0x40);
    QCOMPARE(int(c.disk(0, 3).raidSet()), 255);
    // The lowest free number is used again.
    QCOMPARE(c.createRaidSet("Third", {{0, 2}, {0, 3}}, {}, &why), 1);
    QCOMPARE(c.createVolumeSet(1, "Vol C", 1000, 1, 128, {}, &why), 0);
    checkConsistent(c);

    COMPARE_EVENTS(eventKeys(c),
                   {{3, 0, "Enc#1 Slot#01"}, {3, 0, "Enc#1 Slot#02"}, {3, 0, "Enc#1 Slot#03"},
                    {3, 0, "Enc#1 Slot#04"}, {1, 0, "First"}, {1, 0, "Second"}, {2, 8, "Vol A"},
                    {2, 0, "Vol A"}, {2, 8, "Vol B"}, {2, 0, "Vol B"}, {2, 4, "Vol A"}, {2, 9, "Vol A"},
                    {1, 1, "Second"}, {1, 0, "Third"}, {2, 8, "Vol C"}, {2, 0, "Vol C"}});
    // Removing a free disk logs its removal only.
    QVERIFY(c.addDisk(1, 7, "M", "S", 1000));
    QVERIFY(c.removeDisk(1, 7, &why));
    QVERIFY(!c.disk(1, 7).present());
    COMPARE_EVENTS(eventKeys(c, 16), {{3, 0, "Enc#2 Slot#08"}, {3, 1, "Enc#2 Slot#08"}});
    QVERIFY(!c.removeDisk(1, 7, &why));
}

void TestSimModel::invalidChangesChangeNothing()
{
    FakeController c(configOf(Profile::Enclosure));
    for (int s = 0; s < 8; ++s)
        QVERIFY(c.addDisk(0, s, "M", "S", 1000000));
    for (int s = 0; s < 8; ++s)
        QVERIFY(c.addDisk(1, s, "M", "S", 1000000));
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}, {0, 2}}), 0);
    QCOMPARE(c.createVolumeSet(0, "V", 1000, 3, 128), 0);
    const auto before = eventKeys(c);
    std::vector<Bytes> records;
    for (int i = 0; i < 16; ++i) {
        records.push_back(bytesOf(c.raidSet(i)));
        records.push_back(c.volumeReply(i));
    }
    std::string why;
    auto refused = [&](bool failed) {
        const bool gaveReason = !why.empty();
        why.clear();
        return failed && gaveReason;
    };
    QVERIFY(refused(c.createRaidSet("X", {{0, 0}, {0, 3}}, {}, &why) < 0));        // a member already
    QVERIFY(refused(c.createRaidSet("X", {{0, 3}, {0, 3}}, {}, &why) < 0));        // twice
    QVERIFY(refused(c.createRaidSet("X", {{0, 3}, {2, 0}}, {}, &why) < 0));        // no such slot
    QVERIFY(refused(c.createRaidSet("X", {}, {}, &why) < 0));
    QVERIFY(refused(c.createRaidSet(std::string(17, 'n'), {{0, 3}}, {}, &why) < 0));
    QVERIFY(refused(c.createRaidSet("", {{0, 3}}, {}, &why) < 0));
    std::vector<std::pair<int, int>> many;
    for (int i = 0; i < 33; ++i)
        many.emplace_back(i / 8 % 2, i % 8);
    QVERIFY(refused(c.createRaidSet("X", many, {}, &why) < 0));
    zynsim::RaidSetOptions taken;
    taken.number = 0;
    QVERIFY(refused(c.createRaidSet("X", {{0, 3}}, taken, &why) < 0));
    taken.number = 16;
    QVERIFY(refused(c.createRaidSet("X", {{0, 3}}, taken, &why) < 0));
    QVERIFY(refused(c.createVolumeSet(0, "W", 1000, 4, 128, {}, &why) < 0));       // Raid6 needs 4
    QVERIFY(refused(c.createVolumeSet(0, "W", 1000, 1, 128, {}, &why) < 0));       // Raid1+0 needs even
    QVERIFY(refused(c.createVolumeSet(0, "W", 1000, 5, 128, {}, &why) < 0));       // pass-through is not made so
    QVERIFY(refused(c.createVolumeSet(0, "W", 1000, 3, 96, {}, &why) < 0));        // stripe not a power of two
    QVERIFY(refused(c.createVolumeSet(0, "W", 1000, 3, 4096, {}, &why) < 0));
    QVERIFY(refused(c.createVolumeSet(0, "W", 0, 3, 128, {}, &why) < 0));
    QVERIFY(refused(c.createVolumeSet(0, "W", 0x100000000ull, 3, 128, {}, &why) < 0));   // low word zero
    QVERIFY(refused(c.createVolumeSet(0, "W", 2000000, 3, 128, {}, &why) < 0));    // more than is free
    QVERIFY(refused(c.createVolumeSet(5, "W", 1000, 3, 128, {}, &why) < 0));
    QVERIFY(refused(c.createVolumeSet(0, std::string(17, 'v'), 1000, 3, 128, {}, &why) < 0));
    VolumeOptions bad;
    bad.flags = sGUI_VOLUMESET::kFlagNested;
    QVERIFY(refused(c.createVolumeSet(0, "W", 1000, 3, 128, bad, &why) < 0));
    bad = {};
    bad.serial = std::string(17, 's');
    QVERIFY(refused(c.createVolumeSet(0, "W", 1000, 3, 128, bad, &why) < 0));
    bad = {};
    bad.number = 0;
    QVERIFY(refused(c.createVolumeSet(0, "W", 1000, 3, 128, bad, &why) < 0));
    QVERIFY(refused(!c.deleteRaidSet(0, &why)));
    QVERIFY(refused(!c.deleteRaidSet(3, &why)));
    QVERIFY(refused(!c.deleteVolumeSet(4, &why)));
    QVERIFY(refused(!c.setHotSpare(0, 0, 0, -1, &why)));                            // a member
    QVERIFY(refused(!c.setHotSpare(0, 3, 1, 7, &why)));                             // no raid set 7
    QVERIFY(refused(!c.setHotSpare(0, 3, 3, -1, &why)));
    QVERIFY(refused(!c.clearHotSpare(0, 3, &why)));
    QVERIFY(refused(c.setPassThrough(0, 1, &why) < 0));
    QVERIFY(refused(!c.clearPassThrough(0, 3, &why)));
    QVERIFY(refused(c.createNestedVolume("N", {0}, &why) < 0));
    QVERIFY(refused(c.createNestedVolume("N", {0, 0}, &why) < 0));
    QVERIFY(refused(c.createNestedVolume("N", {0, 9}, &why) < 0));
    QVERIFY(refused(!c.setVolumeState(0, 0, 1001, &why)));
    QVERIFY(refused(!c.setVolumeState(9, 0, 0, &why)));
    QVERIFY(refused(!c.failDisk(2, 0, &why)));

    COMPARE_EVENTS(eventKeys(c), before);
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(bytesOf(c.raidSet(i)), records[size_t(2 * i)]);
        QCOMPARE(c.volumeReply(i), records[size_t(2 * i + 1)]);
    }
    QCOMPARE(int(c.disk(0, 3).stateLow()), 0x40);

    // A JBOD subsystem has no raid sets at all.
    FakeController j(configOf(Profile::Jbod));
    QVERIFY(j.addDisk(0, 0, "M", "S", 1000));
    QVERIFY(j.createRaidSet("R", {{0, 0}}, {}, &why) < 0);
}

void TestSimModel::losingMembersDegradesThenFails()
{
    FakeController c(configOf(Profile::Enclosure));
    for (int s = 0; s < 3; ++s)
        QVERIFY(c.addDisk(0, s, "M", "S", 1000000));
    QVERIFY(c.addDisk(1, 0, "M", "S", 1000000));
    QCOMPARE(c.createRaidSet("Five", {{0, 0}, {0, 1}, {0, 2}}), 0);
    QCOMPARE(c.createRaidSet("Zero", {{1, 0}}), 1);
    QCOMPARE(c.createVolumeSet(0, "V5", 1000, 3, 128), 0);
    QCOMPARE(c.createVolumeSet(1, "V0", 1000, 0, 128), 1);
    const size_t mark = c.events().size();

    std::string why;
    QVERIFY(c.removeDisk(0, 1, &why));
    sGUI_RAIDSET r = c.raidSet(0);
    QCOMPARE(r.degraded(), 0x2u);
    QCOMPARE(int(r.stateFlags()), 0x01);
    QCOMPARE(int(r.memberSlot(1)), 1);   // the member's place stays
    QCOMPARE(c.volumeSet(0).degraded(), 0x2u);
    QCOMPARE(c.volumeSet(0).state() & 0x2u, 0u);
    COMPARE_EVENTS(eventKeys(c, mark), {{3, 1, "Enc#1 Slot#02"}, {1, 4, "Five"}, {2, 11, "V5"}});
    // A degraded raid set takes no new volume sets.
    QVERIFY(c.createVolumeSet(0, "More", 1000, 3, 128, {}, &why) < 0);

    // A second loss is more than Raid5 survives.
    QVERIFY(c.failDisk(0, 2, &why));
    QCOMPARE(int(c.disk(0, 2).stateLow()), 0x10);
    QCOMPARE(int(c.disk(0, 2).raidSet()), 255);
    QCOMPARE(c.raidSet(0).degraded(), 0x6u);
    QVERIFY(c.volumeSet(0).state() & 0x2u);
    COMPARE_EVENTS(eventKeys(c, mark + 3), {{3, 7, "Enc#1 Slot#03"}, {2, 12, "V5"}});
    QVERIFY(!c.failDisk(0, 2, &why));
    // Raid0 fails at once.
    QVERIFY(c.failDisk(1, 0, &why));
    QVERIFY(c.volumeSet(1).state() & 0x2u);
    COMPARE_EVENTS(eventKeys(c, mark + 5), {{3, 7, "Enc#2 Slot#01"}, {1, 4, "Zero"}, {2, 12, "V0"}});
    // A new disk in the old place is a free disk, not the lost member.
    QVERIFY(c.addDisk(0, 1, "M", "NEW", 1000000));
    QCOMPARE(int(c.disk(0, 1).stateLow()), 0x40);
    QCOMPARE(c.raidSet(0).degraded(), 0x6u);
    checkConsistent(c);
}

void TestSimModel::hotSparesAndPassThrough()
{
    FakeController c(configOf(Profile::Enclosure));
    for (int s = 0; s < 6; ++s)
        QVERIFY(c.addDisk(0, s, "M", "S", 1000000));
    zynsim::RaidSetOptions two;
    two.number = 2;
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}}, two), 2);
    const size_t mark = c.events().size();
    std::string why;
    QVERIFY(c.setHotSpare(0, 2, 0, -1, &why));
    QVERIFY(c.setHotSpare(0, 3, 1, 2, &why));
    QVERIFY(c.setHotSpare(0, 4, 2, -1, &why));
    Bytes d = ask(c, 0x22, {3, 0});
    QCOMPARE(int(d[76]), 0x20);
    QCOMPARE(int(d[80]), 1);
    QCOMPARE(int(d[81]), 255);
    QCOMPARE(zynwire::getU16(d.data() + 272), uint16_t(2));
    QCOMPARE(int(c.disk(0, 4).spareKind()), 2);
    QCOMPARE(int(c.disk(0, 2).spareKind()), 0);
    QVERIFY(!c.setHotSpare(0, 2, 0, -1, &why));   // not free any more
    QVERIFY(c.clearHotSpare(0, 4, &why));
    QCOMPARE(int(c.disk(0, 4).stateLow()), 0x40);
    COMPARE_EVENTS(eventKeys(c, mark), {{6, 30, "Enc#1 Slot#03"}, {6, 30, "Enc#1 Slot#04"},
                                        {6, 30, "Enc#1 Slot#05"}, {6, 31, "Enc#1 Slot#05"}});

    // Pass-through: a raid set of one disk (flags 0x80) holding a level-5 volume set of it.
    const int v = c.setPassThrough(0, 5, &why);
    QCOMPARE(v, 0);
    QCOMPARE(int(c.disk(0, 5).stateLow()), 0x8A);
    QCOMPARE(int(c.disk(0, 5).raidSet()), 0);
    const sGUI_RAIDSET pr = c.raidSet(0);
    QCOMPARE(int(pr.stateFlags()), 0x80);
    QCOMPARE(pr.memberCount(), 1);
    QCOMPARE(pr.volumeCount(), 1);
    QCOMPARE(int(pr.volumeNumber(0)), v);
    QCOMPARE(pr.freeSegmentCount(), 0);
    const sGUI_VOLUMESET p = c.volumeSet(v);
    QVERIFY(p.exists());
    QCOMPARE(int(p.raidLevel()), 5);
    QCOMPARE(int(p.raidSet()), 0);
    QCOMPARE(p.memberCount(), 1);
    QCOMPARE(p.capacity(), uint64_t(1000000));
    QCOMPARE(c.events().back().code(), uint8_t(10));
    checkConsistent(c);
    QVERIFY(c.createVolumeSet(0, "W", 1000, 0, 128, {}, &why) < 0);   // not a raid set for volumes
    QVERIFY(c.clearPassThrough(0, 5, &why));
    QVERIFY(!c.volumeSet(v).exists());
    QVERIFY(!c.raidSet(0).exists());
    QCOMPARE(int(c.disk(0, 5).stateLow()), 0x40);
    QCOMPARE(c.events().back().code(), uint8_t(12));
    QCOMPARE(c.events().back().eventClass(), uint8_t(3));
    // Pulling a pass-through disk takes its volume set along.
    QCOMPARE(c.setPassThrough(0, 5, &why), 0);
    QVERIFY(c.removeDisk(0, 5, &why));
    QVERIFY(!c.volumeSet(0).exists());
    QVERIFY(!c.raidSet(0).exists());

    // Deleting the raid set frees it members and its dedicated spare.
    const size_t before = c.events().size();
    QVERIFY(c.deleteRaidSet(2, &why));
    QCOMPARE(int(c.disk(0, 3).stateLow()), 0x40);
    QCOMPARE(int(c.disk(0, 2).stateLow()), 0x20);   // the global one stays
    COMPARE_EVENTS(eventKeys(c, before), {{1, 1, "R"}, {6, 31, "Enc#1 Slot#04"}});

    // The older family has no enclosure spares.
    FakeController o(configOf(Profile::Older));
    QVERIFY(o.addDisk(0, 7, "M", "S", 1000));
    QVERIFY(!o.setHotSpare(0, 7, 2, -1, &why));
    QVERIFY(o.setHotSpare(0, 7, 0, -1, &why));
    QCOMPARE(o.events().back().name(), std::string("Channel#08"));
    QCOMPARE(int(o.events().back().channel()), 7);
}

void TestSimModel::nestedVolumes()
{
    FakeController c(configOf(Profile::Enclosure));
    for (int s = 0; s < 6; ++s)
        QVERIFY(c.addDisk(0, s, "M", "S", 1000000));
    QCOMPARE(c.createRaidSet("A", {{0, 0}, {0, 1}, {0, 2}}), 0);
    QCOMPARE(c.createRaidSet("B", {{0, 3}, {0, 4}, {0, 5}}), 1);
    QCOMPARE(c.createVolumeSet(0, "VA", 400001, 3, 128), 0);
    QCOMPARE(c.createVolumeSet(1, "VB", 300001, 3, 128), 1);
    QCOMPARE(c.createVolumeSet(1, "VC", 1000, 3, 128), 2);
    std::string why;
    const int n = c.createNestedVolume("Nested#0", {1, 0}, &why);
    QCOMPARE(n, 3);
    QCOMPARE(c.events().back().code(), uint8_t(8));
    QCOMPARE(c.events().back().name(), std::string("Nested#0"));

    const Bytes r = ask(c, 0x21, {3});
    QCOMPARE(u32(r, 64), 0x100000u);
    QCOMPARE(int(r[68]), 1);
    QCOMPARE(int(r[69]), 0);
    QCOMPARE(int(r[84]), 2);
    QCOMPARE(int(r[56]), 2);
    QCOMPARE(zynwire::getU64(r.data() + 16), uint64_t(600002));   // striped: the smaller one twice
    QCOMPARE(u32(ask(c, 0x21, {0}), 64), 0x100u);
    QCOMPARE(u32(ask(c, 0x21, {1}), 64), 0x100u);
    QCOMPARE(u32(ask(c, 0x21, {2}), 64), 0u);
    const sGUI_VOLUMESET v = c.volumeSet(3);
    QVERIFY(v.isNested());
    QCOMPARE(v.nestedCount(), 2);
    QCOMPARE(int(v.nestedMember(0)), 1);
    checkConsistent(c);

    // A raid set carrying a member keeps it, its other volumes and itself.
    const size_t beforeRefusal = c.events().size();
    QCOMPARE(letter(ask(c, 0x51, {1})), 'B');
    QVERIFY(c.raidSet(1).exists() && c.volumeSet(2).exists() && c.volumeSet(1).exists());
    QCOMPARE(c.events().size(), beforeRefusal);

    // Members cannot go first, nor join a second nested volume set.
    QVERIFY(!c.deleteVolumeSet(0, &why));
    QVERIFY(why.find("nested") != std::string::npos);
    QVERIFY(c.createNestedVolume("Other", {0, 2}, &why) < 0);
    QVERIFY(c.createNestedVolume("Other", {3, 2}, &why) < 0);
    QVERIFY(c.deleteVolumeSet(3, &why));
    QCOMPARE(c.volumeSet(0).flags(), 0u);
    QCOMPARE(c.volumeSet(1).flags(), 0u);
    QCOMPARE(c.events().back().code(), uint8_t(9));
    QVERIFY(c.deleteVolumeSet(0, &why));
}

// ---------------------------------------------------------------------------------------------

void TestSimModel::eventPagesWrapAround()
{
    ControllerConfig config = configOf(Profile::Enclosure);
    config.eventRingCapacity = 32;
    Simulator sim;
    auto c = sim.addUdpController("127.0.0.219", config, 0);
    QVERIFY2(c, sim.error().c_str());
    const uint16_t port = sim.udpPort(c);
    UdpClient client("127.0.0.218");
    QVERIFY(client.ok());
    auto udpAsk = [&](uint8_t code, const Bytes& payload) {
        client.send("127.0.0.219", port, command(code, payload));
        return replyData(client.receiveFrame(kWaitMs));
    };

    for (uint32_t i = 0; i < 40; ++i)
        c->addEvent(rawEvent(6, uint8_t(i), i));
    QCOMPARE(c->eventCounter(), 40u % 32u);
    QCOMPARE(udpAsk(0x19, {}), Bytes({8, 0, 0, 0}));
    QCOMPARE(u32(udpAsk(0x23, {}), 148), 32u);
    const auto events = c->events();
    QCOMPARE(events.size(), size_t(32));
    QCOMPARE(events.front().count(), 8u);   // the oldest kept
    QCOMPARE(events.back().count(), 39u);

    // Page p, record r holds event number newest - (16p + 15 - r).
    for (uint8_t page = 0; page < 2; ++page) {
        const Bytes data = udpAsk(0x1A, {page});
        QCOMPARE(data.size(), size_t(512));
        for (size_t r = 0; r < 16; ++r) {
            const uint32_t expected = 39 - (16u * page + 15u - uint32_t(r));
            QCOMPARE(u32(data, 32 * r + 12), expected);
            QCOMPARE(int(data[32 * r + 1]), int(expected & 0xFF));
            QCOMPARE(text(data, 32 * r + 16, 16), "E" + std::to_string(expected));
        }
    }
    // Page C/16 is still answered (nothing is that old); past it 'G'.
    const Bytes page2 = udpAsk(0x1A, {2});
    QCOMPARE(page2.size(), size_t(512));
    QVERIFY(allZero(page2));
    QCOMPARE(udpAsk(0x1A, {3}), Bytes({'G'}));
    QCOMPARE(udpAsk(0x1A, {255}), Bytes({'G'}));

    // One more: everything moves down one record.
    c->addEvent(rawEvent(1, 0, 40));
    QCOMPARE(udpAsk(0x19, {}), Bytes({9, 0, 0, 0}));
    const Bytes page0 = udpAsk(0x1A, {0});
    QCOMPARE(u32(page0, 32 * 15 + 12), 40u);
    QCOMPARE(u32(page0, 32 * 14 + 12), 39u);
    QCOMPARE(u32(page0, 12), 25u);
}

void TestSimModel::eventPageWithFewEvents()
{
    FakeController c(configOf(Profile::Older));
    QCOMPARE(c.eventCounter(), 0u);
    QVERIFY(c.events().empty());
    QVERIFY(allZero(ask(c, 0x1A, {0})));
    QCOMPARE(ask(c, 0x19), Bytes({0, 0, 0, 0}));
    for (uint32_t i = 0; i < 3; ++i)
        c.addEvent(rawEvent(4, 1, 100 + i));
    const Bytes page = ask(c, 0x1A, {0});
    QVERIFY(allZero(Bytes(page.begin(), page.begin() + 13 * 32)));
    QCOMPARE(u32(page, 13 * 32 + 12), 100u);
    QCOMPARE(u32(page, 14 * 32 + 12), 101u);
    QCOMPARE(u32(page, 15 * 32 + 12), 102u);
    QCOMPARE(int(page[15 * 32]), 4);
    QVERIFY(allZero(ask(c, 0x1A, {1})));
    QCOMPARE(c.eventCounter(), 3u);
}

void TestSimModel::clearKeepsTheCounter()
{
    FakeController c(configOf(Profile::Enclosure));
    for (uint32_t i = 0; i < 20; ++i)
        c.addEvent(rawEvent(6, 30, i));
    QCOMPARE(ask(c, 0x24), Bytes({'A'}));
    QVERIFY(c.events().empty());
    QCOMPARE(c.eventCounter(), 20u);
    QCOMPARE(u32(ask(c, 0x19), 0), 20u);
    QVERIFY(allZero(ask(c, 0x1A, {0})));
    QVERIFY(allZero(ask(c, 0x1A, {1})));
    // The next event is the newest of page 0 and the counter goes on from 20.
    QVERIFY(c.addDisk(0, 0, "M", "S", 1000));
    QCOMPARE(c.eventCounter(), 21u);
    const Bytes page = ask(c, 0x1A, {0});
    QCOMPARE(int(page[15 * 32]), 3);
    QVERIFY(allZero(Bytes(page.begin(), page.begin() + 15 * 32)));
    // Clearing changes the controller: it needs a log-in in password mode.
    c.setPasswordRequired(true);
    QCOMPARE(ask(c, 0x24), Bytes({'M'}));
    QCOMPARE(c.events().size(), size_t(1));
    QCOMPARE(u32(ask(c, 0x19), 0), 21u);   // polling is a read
}

void TestSimModel::oddRingCapacities()
{
    FakeController c(configOf(Profile::Enclosure));
    // No ring at all: nothing is kept, the counter stays 0, nothing breaks.
    c.setEventRingCapacity(0);
    QCOMPARE(u32(c.systemInfo(), 148), 0u);
    for (uint32_t i = 0; i < 5; ++i)
        c.addEvent(rawEvent(6, 1, i));
    QVERIFY(c.addDisk(0, 0, "M", "S", 1000));
    QVERIFY(c.events().empty());
    QCOMPARE(c.eventCounter(), 0u);
    QCOMPARE(ask(c, 0x19), Bytes({0, 0, 0, 0}));
    QVERIFY(allZero(ask(c, 0x1A, {0})));
    QCOMPARE(letter(ask(c, 0x1A, {1})), 'G');
    QCOMPARE(ask(c, 0x24), Bytes({'A'}));

    // 17: counts modulo 17, two pages, the 17th newest on page 1 record 15.
    c.setEventRingCapacity(17);
    QCOMPARE(u32(c.systemInfo(), 148), 17u);
    for (uint32_t i = 0; i < 40; ++i)
        c.addEvent(rawEvent(6, 2, 1000 + i));
    QCOMPARE(c.events().size(), size_t(17));
    const uint32_t logged = 5 + 1 + 40;
    QCOMPARE(c.eventCounter(), logged % 17);
    const Bytes page1 = ask(c, 0x1A, {1});
    QCOMPARE(u32(page1, 15 * 32 + 12), 1039u - 16u);
    QVERIFY(allZero(Bytes(page1.begin(), page1.begin() + 15 * 32)));
    QCOMPARE(u32(ask(c, 0x1A, {0}), 12), 1039u - 15u);
    QCOMPARE(letter(ask(c, 0x1A, {2})), 'G');

    // Shrinking keeps the newest; growing keeps everything.
    c.setEventRingCapacity(4);
    QCOMPARE(c.events().size(), size_t(4));
    QCOMPARE(c.events().front().count(), 1036u);
    c.setEventRingCapacity(512);
    QCOMPARE(u32(ask(c, 0x23), 148), 512u);
    QCOMPARE(c.eventCounter(), logged % 512);
    QCOMPARE(letter(ask(c, 0x1A, {32})), 0);
    QCOMPARE(letter(ask(c, 0x1A, {33})), 'G');
    // The largest capacity is only a number: nothing is allocated for it.
    c.setEventRingCapacity(0xFFFFFFFFu);
    QCOMPARE(u32(c.systemInfo(), 148), 0xFFFFFFFFu);
    QCOMPARE(ask(c, 0x1A, {255}).size(), size_t(512));
}

void TestSimModel::eventTimeAndDeviceNames()
{
    FakeController c(configOf(Profile::Enclosure));
    const int64_t when = 1700000000;   // a fixed instant
    c.setClock(when);
    QVERIFY(c.addDisk(1, 2, "M", "S", 1000));
    const sEVET_DATA e = c.events().back();
    std::time_t t = std::time_t(when);
    std::tm parts{};
    localtime_r(&t, &parts);
    const uint32_t packed = e.time();
    QVERIFY(packed & 0x80000000u);
    QCOMPARE(int((packed >> 22) & 0x1F), parts.tm_year + 1900 - 2000);
    QCOMPARE(int((packed >> 27) & 0x0F), parts.tm_mon + 1);
    QCOMPARE(int((packed >> 17) & 0x1F), parts.tm_mday);
    QCOMPARE(int((packed >> 12) & 0x1F), parts.tm_hour);
    QCOMPARE(int((packed >> 6) & 0x3F), parts.tm_min);
    QCOMPARE(int(packed & 0x3F), parts.tm_sec);
    QCOMPARE(e.name(), std::string("Enc#2 Slot#03"));
    // The slot in byte 2 and the enclosure in the u32 at 8.
    QCOMPARE(int(e.channel()), 2);
    QCOMPARE(e.duration(), 1u);
    // The event as the page carries it.
    const Bytes page = ask(c, 0x1A, {0});
    QCOMPARE(Bytes(page.begin() + 15 * 32, page.end()), bytesOf(e));

    FakeController o(configOf(Profile::Older));
    QVERIFY(o.addDisk(0, 12, "M", "S", 1000));
    QCOMPARE(o.events().back().name(), std::string("Channel#13"));
    QCOMPARE(int(o.events().back().channel()), 12);
    QVERIFY(o.removeDisk(0, 12));
    QCOMPARE(int(o.events().back().code()), 1);
    QCOMPARE(int(o.events().back().channel()), 12);
}

// ---------------------------------------------------------------------------------------------

void TestSimModel::olderMonitorBlock()
{
    FakeController c(configOf(Profile::Older));
    std::string why;
    QVERIFY2(c.loadConfig("sensor fan 1200 1300 / voltage 1200 3300:3250 / temp 40 -1 35 / power 1 0 / battery 2\n",
                          &why), why.c_str());
    const Bytes expected = {2, 2, 3, 2,
                            0xB0, 0x04, 0x14, 0x05,
                            0xB0, 0x04, 0xB0, 0x04, 0xE4, 0x0C, 0xB2, 0x0C,
                            40, 0xFF, 35,
                            0x01, 0x00,   // one byte per supply, the first holding the bits
                            0x55, 0xAA, 0x01, 0x02};
    QCOMPARE(ask(c, 0x1B), expected);
    QCOMPARE(ask(c, 0x1B, {7, 7, 7}), expected);   // the older form takes no payload

    QVERIFY(c.loadConfig("sensor fan / voltage / temp 30 / power / ups 7", &why));
    QCOMPARE(ask(c, 0x1B), Bytes({0, 0, 1, 0, 30, 7}));
    QVERIFY(c.setBattery(0, 90));
    QCOMPARE(ask(c, 0x1B), Bytes({0, 0, 1, 0, 30, 0x55, 0xAA, 0x01, 90}));
    QVERIFY(c.setBattery(0, -1));
    QCOMPARE(ask(c, 0x1B), Bytes({0, 0, 1, 0, 30}));
    QVERIFY(!c.setBattery(0, 256));

    // The longest block the counts allow stays within 2048 bytes.
    std::string line = "sensor fan";
    for (int i = 0; i < 50; ++i)
        line += " 65535";
    line += " / voltage";
    for (int i = 0; i < 50; ++i)
        line += " 1:2";
    line += " / temp";
    for (int i = 0; i < 50; ++i)
        line += " -128";
    line += " / power 1 1 1 1 1 1 1 1 / battery 255";
    QVERIFY2(c.loadConfig(line, &why), why.c_str());
    const Bytes big = ask(c, 0x1B);
    QCOMPARE(big.size(), size_t(4 + 100 + 200 + 50 + 8 + 4));   // eight supplies: eight bytes
    QCOMPARE(int(big[4 + 100 + 200 + 50]), 0xFF);

    // Raw overrides: as given, a single byte padded so that it cannot read as a letter.
    Bytes raw(3000);
    for (size_t i = 0; i < raw.size(); ++i)
        raw[i] = uint8_t(i);
    c.setHwMonitorBlock(raw);
    QCOMPARE(ask(c, 0x1B), raw);
    c.setHwMonitorBlock({0x41});
    QCOMPARE(ask(c, 0x1B), Bytes({0x41, 0}));
    c.setHwMonitorBlock({});
    QCOMPARE(ask(c, 0x1B).size(), big.size());
}

void TestSimModel::e100MonitorBlock()
{
    FakeController c(configOf(Profile::E100, false));
    std::string why;
    QVERIFY2(c.loadConfig("sensor fan 2500 / voltage 12000 5000 3300 1800 / temp 30 -2", &why), why.c_str());
    const Bytes block = ask(c, 0x1B);
    QCOMPARE(block.size(), size_t(64));
    Bytes expected(64, 0);
    zynwire::putU16(expected.data() + 4, 2500);
    zynwire::putU16(expected.data() + 8, 12000);
    zynwire::putU16(expected.data() + 12, 5000);
    zynwire::putU16(expected.data() + 16, 3300);
    zynwire::putU16(expected.data() + 20, 1800);
    expected[22] = 30;
    expected[23] = 0xFE;
    QCOMPARE(block, expected);
    _HWMON_E100 parsed{};
    std::copy(block.begin(), block.end(), parsed.bytes);
    QCOMPARE(int(parsed.fan()), 2500);
    QCOMPARE(int(parsed.voltage(3)), 1800);
    QCOMPARE(int(parsed.temperature(1)), -2);
    // Its monitor has one fan, four voltages, two temperatures and nothing else.
    QVERIFY(!c.loadConfig("sensor fan 1 2", &why));
    QVERIFY(!c.loadConfig("sensor power 1", &why));
    QVERIFY(!c.loadConfig("sensor battery 1", &why));
    QCOMPARE(why, std::string("line 1: no battery in this monitor"));
    QCOMPARE(ask(c, 0x1B), expected);   // a failed load changed nothing
}

void TestSimModel::enclosureSensors()
{
    FakeController c(configOf(Profile::Enclosure));
    std::string why;
    QVERIFY2(c.loadConfig(
                 "enclosure 0 vendor \"Acme\" name \"Shelf A\" revision \"0201\" type 3 slots 4 fans 1 voltages 2 "
                 "temps 1 power 1 battery 80\n"
                 "enclosure 1 slots 2\n"
                 "sensor enclosure 0 fan 4100:1 / voltage 12100 5100:2 / temp 41 / power 1\n"
                 "sensor temp -5 / battery 254\n",
                 &why),
             why.c_str());
    QCOMPARE(int(c.systemInfo()[193]), 2);
    Bytes p = ask(c, 0x1B, {0, 0});
    QCOMPARE(p.size(), size_t(64));
    QCOMPARE(text(p, 0, 8), std::string("Acme"));
    QCOMPARE(text(p, 8, 16), std::string("Shelf A"));
    QCOMPARE(text(p, 24, 4), std::string("0201"));
    QCOMPARE(Bytes(p.begin() + 28, p.begin() + 35), Bytes({3, 0, 4, 2, 1, 1, 1}));
    QCOMPARE(p, bytesOf(c.enclosure(0)));
    const Bytes second = ask(c, 0x1B, {1, 0});
    QCOMPARE(Bytes(second.begin() + 28, second.begin() + 35), Bytes({2, 0, 2, 0, 0, 0, 0}));
    // Enclosure 2 is the controller's own block: no slots.
    p = ask(c, 0x1B, {2, 0});
    QCOMPARE(int(p[28]), 1);
    QCOMPARE(Bytes(p.begin() + 30, p.begin() + 35), Bytes({0, 4, 1, 0, 1}));

    // Names, 24 bytes each, by section.
    const char* const firstNames[] = {"Slot 01", "Voltage 12V", "Fan 1", "Power Supply 1", "Temperature CPU"};
    for (uint8_t page = 0; page < 5; ++page) {
        const Bytes names = ask(c, 0x1B, {0, 1, page});
        QCOMPARE(names.size(), size_t(page == 0 ? 2048 : 3072));
        QCOMPARE(text(names, 0, 24), std::string(firstNames[page]));
    }
    const Bytes slotNames = ask(c, 0x1B, {0, 1, 0});
    QCOMPARE(text(slotNames, 72, 24), std::string("Slot 04"));
    QVERIFY(allZero(Bytes(slotNames.begin() + 96, slotNames.end())));
    QCOMPARE(text(ask(c, 0x1B, {0, 1, 1}), 24, 24), std::string("Voltage 5V"));
    QCOMPARE(letter(ask(c, 0x1B, {0, 1, 5})), 'G');
    QCOMPARE(letter(ask(c, 0x1B, {0, 1})), 'G');

    // Values then flags, section by section.
    const Bytes values = ask(c, 0x1B, {0, 2, 0});
    std::vector<uint32_t> words;
    for (size_t i = 0; i + 4 <= values.size(); i += 4)
        words.push_back(u32(values, i));
    QCOMPARE(words, (std::vector<uint32_t>{12100, 5100, 0, 2, 4100, 1, 1, 0, 41, 0}));
    const Bytes own = ask(c, 0x1B, {2, 2, 0});
    QCOMPARE(own.size(), size_t(8 * (1 + 4 + 1)));
    QCOMPARE(u32(own, 8 + 32), 0xFFFFFFFBu);   // the temperature -5
    QCOMPARE(ask(c, 0x1B, {1, 2, 0}).size(), size_t(8));   // no sensors: still data

    // Batteries.
    QCOMPARE(ask(c, 0x1B, {0, 3, 0}), Bytes({80, 0}));
    QCOMPARE(letter(ask(c, 0x1B, {1, 3, 0})), 'H');
    QCOMPARE(ask(c, 0x1B, {2, 3, 0}), Bytes({254, 0}));
    QVERIFY(c.setBattery(1, 255));
    QCOMPARE(ask(c, 0x1B, {1, 3, 0}), Bytes({255, 0}));
    QVERIFY(c.setBattery(0, -1));
    QCOMPARE(letter(ask(c, 0x1B, {0, 3, 0})), 'H');
    QVERIFY(!c.setBattery(7, 50));
    QCOMPARE(letter(ask(c, 0x1B, {0, 9, 0})), 'G');
    QCOMPARE(letter(ask(c, 0x1B, {0})), 'G');

    // A descriptor page longer than one datagram crosses UDP whole.
    Simulator sim;
    ControllerConfig config = configOf(Profile::Enclosure, false);
    auto served = sim.addUdpController("127.0.0.217", config, 0);
    QVERIFY2(served, sim.error().c_str());
    UdpClient client("127.0.0.216");
    client.send("127.0.0.217", sim.udpPort(served), command(0x1B, {0, 1, 2}));
    const Bytes names = replyData(client.receiveFrame(kWaitMs));
    QCOMPARE(names.size(), size_t(3072));
    QCOMPARE(text(names, 1 * 24, 24), std::string("Fan 2"));
}

void TestSimModel::enclosureFaultSwitches()
{
    FakeController c(configOf(Profile::Enclosure, false));
    const uint8_t huge[5] = {255, 255, 255, 255, 255};
    c.setEnclosurePropertyCounts(0, huge);
    const Bytes p = ask(c, 0x1B, {0, 0});
    QCOMPARE(Bytes(p.begin() + 30, p.begin() + 35), Bytes(5, 255));
    // Replies stop at their limits: 85 slot names in 2048 bytes, 128 sensor names, 2048
    // value bytes.
    const Bytes names = ask(c, 0x1B, {0, 1, 0});
    QCOMPARE(names.size(), size_t(2048));
    QCOMPARE(text(names, 84 * 24, 24), std::string("Slot 85"));
    const Bytes fans = ask(c, 0x1B, {0, 1, 2});
    QCOMPARE(fans.size(), size_t(3072));
    QCOMPARE(text(fans, 127 * 24, 24), std::string("Fan 128"));
    QCOMPARE(text(ask(c, 0x1B, {0, 1, 2}), 2 * 24, 24), std::string("Fan 3"));
    const Bytes values = ask(c, 0x1B, {0, 2, 0});
    QCOMPARE(values.size(), size_t(2048));
    QCOMPARE(u32(values, 0), 12120u);       // the model's three voltages, then zeros
    QCOMPARE(u32(values, 12), 0u);
    // Counts of an enclosure that is not there.
    const uint8_t some[5] = {0, 2, 0, 0, 0};
    c.setEnclosurePropertyCounts(9, some);
    QCOMPARE(int(ask(c, 0x1B, {9, 0})[31]), 2);
    QCOMPARE(ask(c, 0x1B, {9, 2, 0}), Bytes(16, 0));
    c.setEnclosurePropertyCounts(0, nullptr);
    QCOMPARE(int(ask(c, 0x1B, {0, 0})[30]), 8);

    // Raw sensor replies: short, one byte (padded), long; cleared with nothing.
    c.setSensorValues(0, {1, 2, 3});
    QCOMPARE(ask(c, 0x1B, {0, 2, 0}), Bytes({1, 2, 3}));
    c.setSensorValues(0, {9});
    QCOMPARE(ask(c, 0x1B, {0, 2, 0}), Bytes({9, 0}));
    c.setSensorValues(0, Bytes(5000, 0xEE));
    QCOMPARE(ask(c, 0x1B, {0, 2, 0}).size(), size_t(5000));
    c.setSensorValues(0, {});
    QCOMPARE(ask(c, 0x1B, {0, 2, 0}).size(), size_t(8 * 9));
    c.setSensorValues(300, {1, 2});   // out of range: ignored
}

// ---------------------------------------------------------------------------------------------

void TestSimModel::configBuildsModel()
{
    FakeController c(configOf(Profile::Enclosure, false));
    const std::string config = R"(# two shelves
controller volumes 128 ring 64
enclosure 0 name "Backplane" slots 8 fans 2 voltages 3 temps 2 power 2 battery 90
enclosure 1 slots 4   # a small one

disk 0 0 model "ST4000NM" serial "Z1X2" capacity 7814037168
disk 0 1
disk 0 0x2
disk 0 3 firmware "F2"
disk 1 0 capacity 2000000
raidset "Raid Set # 000" disks 0:0 0:1 0:2 sed
volume 0 "Volume---VOL#000" raidset 0 capacity 100000000 level 3 stripe 128
volume 1 "Quoted \"V\"" raidset 0 capacity 100000 level 0 state 0
nested "Nested#0" members 0 1
hotspare 0:3 dedicated 0
passthrough 1:0
event 6 30 "HotSpare"
event 4 2 channel 9
)";
    std::string why;
    QVERIFY2(c.loadConfig(config, &why), why.c_str());
    const Bytes info = c.systemInfo();
    QCOMPARE(int(info[177]), 128);
    QCOMPARE(u32(info, 148), 64u);
    QCOMPARE(int(info[193]), 2);
    QCOMPARE(c.enclosure(1).slotCount(), 4);
    QCOMPARE(c.enclosure(0).name(), std::string("Backplane"));
    QCOMPARE(c.disk(0, 0).model(), std::string("ST4000NM"));
    QCOMPARE(c.disk(0, 0).serial(), std::string("Z1X2"));
    QCOMPARE(c.disk(0, 3).firmware(), std::string("F2"));
    QCOMPARE(c.disk(1, 0).capacity(), uint64_t(2000000));
    QVERIFY(!c.disk(0, 4).present());
    QCOMPARE(c.raidSet(0).flags(), uint16_t(0x1000));
    QCOMPARE(c.volumeSet(0).state(), 0x1u);
    QCOMPARE(c.volumeSet(1).state(), 0u);
    QCOMPARE(c.volumeSet(1).name(), std::string("Quoted \"V\""));
    QVERIFY(c.volumeSet(2).isNested());
    QCOMPARE(int(c.volumeSet(3).raidLevel()), 5);
    QCOMPARE(zynwire::getU16(c.disk(0, 3).bytes + 272), uint16_t(0));
    QCOMPARE(int(c.disk(0, 3).spareKind()), 1);
    checkConsistent(c);
    COMPARE_EVENTS(eventKeys(c),
                   {{3, 0, "Enc#1 Slot#01"}, {3, 0, "Enc#1 Slot#02"}, {3, 0, "Enc#1 Slot#03"},
                    {3, 0, "Enc#1 Slot#04"}, {3, 0, "Enc#2 Slot#01"}, {1, 0, "Raid Set # 000"},
                    {2, 8, "Volume---VOL#000"}, {2, 0, "Volume---VOL#000"}, {2, 8, "Quoted \"V\""},
                    {2, 0, "Quoted \"V\""}, {2, 4, "Quoted \"V\""}, {2, 8, "Nested#0"},
                    {6, 30, "Enc#1 Slot#04"}, {3, 10, "Enc#2 Slot#01"}, {6, 30, "HotSpare"}, {4, 2, ""}});
    QCOMPARE(int(c.events().back().channel()), 9);

    // The same text again gives the same model; an empty text an empty one.
    QVERIFY(c.loadConfig(config, &why));
    QCOMPARE(c.events().size(), size_t(16));
    QVERIFY(c.loadConfig("", &why));
    QVERIFY(c.events().empty());
    QVERIFY(!c.raidSet(0).exists());
    QCOMPARE(int(c.systemInfo()[193]), 2);   // the profile's enclosures

    // Older family: bare channels and the channel count.
    FakeController o(configOf(Profile::Older));
    QVERIFY2(o.loadConfig("controller channels 8\ndisk 0 7\ndisk 0 6\nraidset 3 \"R\" disks 7 0:6\n", &why), why.c_str());
    QCOMPARE(int(o.systemInfo()[174]), 8);
    QCOMPARE(int(o.raidSet(3).memberSlot(0)), 7);
    QCOMPARE(int(o.raidSet(3).memberEnclosure(1)), 0);
    QCOMPARE(letter(ask(o, 0x22, {8, 0})), 'G');
}

void TestSimModel::configErrors_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    const int enc = int(Profile::Enclosure);
    const int old = int(Profile::Older);
    QTest::newRow("unknown") << enc << "disk 0 0\nbogus 1" << "line 2: unknown directive 'bogus'";
    QTest::newRow("line count") << enc << "\n\n# note\n  \nraidset \"A\" disks 0:0" << "line 5: no disk in enclosure 0 slot 0";
    QTest::newRow("long name") << enc << "disk 0 0\nraidset \"ABCDEFGHIJKLMNOPQ\" disks 0:0"
                               << "line 2: the raid set name is longer than 16 characters";
    QTest::newRow("open quote") << enc << "raidset \"A disks 0:0" << "line 1: text without its closing quote";
    QTest::newRow("glued quote") << enc << "raidset \"A\"x disks 0:0" << "line 1: a blank must follow a closing quote";
    QTest::newRow("bad escape") << enc << "raidset \"A\\n\" disks 0:0" << "line 1: unknown escape \\n";
    QTest::newRow("number junk") << enc << "disk 0 1x" << "line 1: slot: '1x' is not a number from 0 to 255";
    QTest::newRow("negative") << enc << "disk -1 0" << "line 1: enclosure: '-1' is not a number from 0 to 255";
    QTest::newRow("plus sign") << enc << "disk +1 0" << "line 1: enclosure: '+1' is not a number from 0 to 255";
    QTest::newRow("empty hex") << enc << "disk 0x 0" << "line 1: enclosure: '0x' is not a number from 0 to 255";
    QTest::newRow("huge") << enc << "disk 0 0 capacity 281474976710657"
                          << "line 1: capacity: '281474976710657' is not a number from 1 to 281474976710656";
    QTest::newRow("overflow") << enc << "disk 0 0 capacity 99999999999999999999999"
                              << "line 1: capacity: '99999999999999999999999' is not a number from 1 to 281474976710656";
    QTest::newRow("no slot") << enc << "disk 0 8" << "line 1: no enclosure 0 slot 8";
    QTest::newRow("order") << enc << "enclosure 1" << "line 1: enclosures are numbered in order: expected 0";
    QTest::newRow("late enclosure") << enc << "disk 0 0\nenclosure 0" << "line 2: enclosures come before disks";
    QTest::newRow("slots") << enc << "enclosure 0 slots 129" << "line 1: slots: '129' is not a number from 0 to 128";
    QTest::newRow("sensors") << enc << "enclosure 0 fans 128 voltages 128 temps 1"
                             << "line 1: an enclosure has at most 256 sensors";
    QTest::newRow("enc battery") << enc << "enclosure 0 battery 101"
                                 << "line 1: battery: 0-100 per cent, 254 failed, 255 absent or none";
    QTest::newRow("no level") << enc << "disk 0 0\nraidset \"R\" disks 0:0\nvolume \"V\" raidset 0 capacity 10"
                              << "line 3: a volume set needs raidset, capacity and level";
    QTest::newRow("raid6") << enc << "disk 0 0\ndisk 0 1\ndisk 0 2\nraidset \"R\" disks 0:0 0:1 0:2\n"
                                     "volume \"V\" raidset 0 capacity 10 level 4"
                           << "line 5: Raid6 needs 4 disks or more";
    QTest::newRow("trailing") << enc << "event 6 30 \"HotSpare\" extra" << "line 1: unexpected 'extra'";
    QTest::newRow("channels") << enc << "controller channels 8" << "line 1: only the older family has drive channels";
    QTest::newRow("nested") << enc << "nested \"N\" members 0 1" << "line 1: no volume set 0";
    QTest::newRow("sensor kind") << enc << "sensor fan 1 / bogus 2" << "line 1: unknown sensor kind 'bogus'";
    QTest::newRow("ups") << enc << "sensor ups 1" << "line 1: no ups in this monitor";
    QTest::newRow("no sensor") << enc << "sensor enclosure 2 fan 1" << "line 1: no enclosure 2";
    QTest::newRow("older enclosure") << old << "enclosure 0" << "line 1: the older family has no enclosures";
    QTest::newRow("older address") << old << "disk 0 0\ndisk 0 1\nraidset \"R\" disks 0:0 1:1"
                                   << "line 3: no channel 1 on enclosure 1 (the older family has channels 0-15 on enclosure 0)";
    QTest::newRow("late channels") << old << "disk 0 0\ncontroller channels 4" << "line 2: channels come before disks";
    QTest::newRow("temp range") << old << "sensor temp 128" << "line 1: temp: '128' is not a value from -128 to 127";
    QTest::newRow("power count") << old << "sensor power 1 1 1 1 1 1 1 1 1" << "line 1: power: at most 8 in this monitor";
    QTest::newRow("battery values") << old << "sensor battery 1 2" << "line 1: battery takes one value";
    QTest::newRow("fans") << old << ("sensor fan" + QString(" 1").repeated(51)) << "line 1: fan: at most 50 in this monitor";
    QTest::newRow("words") << old << ("event 1 1" + QString(" 1").repeated(600)) << "line 1: more than 512 words";
    QTest::newRow("long line") << old << ("event 1 1 \"" + QString(5000, 'x') + "\"") << "line 1: longer than 4096 characters";
    QTest::newRow("event name") << old << "event 1 1 \"SeventeenCharsXXX\"" << "line 1: the event name is longer than 16 characters";
    QTest::newRow("layout volumes") << enc << "controller volumes 16" << "line 1: setup layout 3 has 128 volume numbers";
}

void TestSimModel::configErrors()
{
    QFETCH(int, profile);
    QFETCH(QString, text);
    QFETCH(QString, error);
    FakeController c(configOf(Profile(profile), false));
    const auto events = eventKeys(c);
    const Bytes disk0 = bytesOf(c.disk(0, 0));
    std::string why;
    QVERIFY(!c.loadConfig(text.toStdString(), &why));
    QCOMPARE(QString::fromStdString(why), error);
    // Nothing of the failed text stays.
    COMPARE_EVENTS(eventKeys(c), events);
    QCOMPARE(bytesOf(c.disk(0, 0)), disk0);
    QVERIFY(c.raidSet(0).exists());
    QVERIFY(!c.loadConfig(std::string((1 << 20) + 1, '#'), &why));
}

// ---------------------------------------------------------------------------------------------

namespace {

// A setup-data payload: 08 "PlUmEvOr" op, then `rest`, zero-padded to `size` bytes. Sized
// once and filled in place, like command().
Bytes setupPayload(uint8_t op, const Bytes& rest, size_t size)
{
    static const char kHead[] = "\x08PlUmEvOr";
    Bytes p(std::max(size, 10 + rest.size()), 0);
    std::copy(kHead, kHead + 9, p.begin());
    p[9] = op;
    std::copy(rest.begin(), rest.end(), p.begin() + 10);
    return p;
}

Bytes pageRead(FakeController& c, int page)
{
    return ask(c, 0x1F, setupPayload(0x40, {0, uint8_t(page)}, 31));
}

// A 'B' write as the client sends it: {1, u32 offset, length low, length high, data}.
Bytes longWrite(uint32_t offset, size_t length, const Bytes& data)
{
    Bytes rest(7 + data.size());
    rest[0] = 1;
    zynwire::putU32(rest.data() + 1, offset);
    rest[5] = uint8_t(length);
    rest[6] = uint8_t(length >> 8);
    std::copy(data.begin(), data.end(), rest.begin() + 7);
    return setupPayload(0x42, rest, 1023);
}

// An 'A' write: {1, u16 offset, length byte, data}.
Bytes shortWrite(uint16_t offset, uint8_t lengthByte, const Bytes& data)
{
    Bytes rest(4 + data.size());
    rest[0] = 1;
    zynwire::putU16(rest.data() + 1, offset);
    rest[3] = lengthByte;
    std::copy(data.begin(), data.end(), rest.begin() + 4);
    return setupPayload(0x41, rest, 1023);
}

Bytes filled(size_t size, uint8_t first)
{
    Bytes b(size);
    for (size_t i = 0; i < size; ++i)
        b[i] = uint8_t(first + i * 13);
    return b;
}

// The numbers whose bits are set in a bitmap reply.
std::vector<int> bitsOf(const Bytes& bitmap)
{
    std::vector<int> numbers;
    for (size_t i = 0; i < bitmap.size() * 8; ++i)
        if (bitmap[i / 8] & (1u << (i % 8)))
            numbers.push_back(int(i));
    return numbers;
}

std::vector<int> bitmapOf(FakeController& c, uint8_t op)
{
    const Bytes reply = ask(c, 0x1F, setupPayload(op, {0}, 525));
    if (reply.size() < 16)
        return {-1};
    return bitsOf(reply);
}

ControllerConfig layoutConfig(int layout, Profile profile = Profile::Enclosure)
{
    ControllerConfig config = configOf(profile, false);
    config.setupLayout = layout;
    config.password = "Secret7";
    return config;
}

} // namespace

void TestSimModel::setupLayouts_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("boardType");
    QTest::addColumn<int>("configured");   // ControllerConfig::volumeNumbers
    QTest::addColumn<int>("volumes");      // what the controller has: the layout wins
    QTest::addColumn<int>("serialAt");     // unit serial field
    QTest::addColumn<int>("smtpAt");       // SMTP port field
    QTest::newRow("layout 0") << 0 << 1024 << 0 << 40 << 40 << 752 << 770;
    QTest::newRow("layout 1") << 1 << 4096 << 8 << 128 << 16 << 3948 << 3974;
    QTest::newRow("layout 2") << 2 << 21936 << 8 << 64 << 128 << 21868 << 21894;
    QTest::newRow("layout 3") << 3 << 86832 << 8 << 16 << 128 << 86764 << 86790;
}

void TestSimModel::setupLayouts()
{
    QFETCH(int, layout);
    QFETCH(int, size);
    QFETCH(int, boardType);
    QFETCH(int, configured);
    QFETCH(int, volumes);
    QFETCH(int, serialAt);
    QFETCH(int, smtpAt);
    ControllerConfig config = layoutConfig(layout);
    config.volumeNumbers = configured;
    FakeController c(config);
    QCOMPARE(c.setupLayout(), layout);
    QCOMPARE(c.config().setupLayout, layout);
    QCOMPARE(c.config().volumeNumbers, volumes);
    const Bytes info = ask(c, 0x23);
    QCOMPARE(int(info[188]), boardType);
    QCOMPARE(int(info[177]), volumes);
    QCOMPARE(letter(ask(c, 0x21, {uint8_t(volumes - 1)})), 0);
    QCOMPARE(letter(ask(c, 0x21, {uint8_t(volumes)})), 'G');

    const Bytes image = c.setupImage();
    QCOMPARE(int(image.size()), size);
    // Sample fields.
    QCOMPARE(Bytes(image.begin() + 16, image.begin() + 24), Bytes({192, 168, 1, 100, 255, 255, 255, 0}));
    QCOMPARE(Bytes(image.begin() + 136, image.begin() + 140), Bytes({192, 168, 1, 1}));
    QCOMPARE(int(image[150]), 0);
    QCOMPARE(zynwire::getU16(image.data() + 214), uint16_t(80));
    QCOMPARE(zynwire::getU16(image.data() + 240), uint16_t(23));
    QCOMPARE(zynwire::getU16(image.data() + smtpAt), uint16_t(25));
    QCOMPARE(int(image[251]), 1);
    QCOMPARE(int(image[72]), 7);
    QCOMPARE(Bytes(image.begin() + 73, image.begin() + 88), Bytes({'S', 'e', 'c', 'r', 'e', 't', '7', 0, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(text(image, size_t(serialAt), 16), c.serial());
    if (layout == 0)
        QCOMPARE(int(image[807]), 0x81);
    // Neighbouring bytes outside the fields set differ.
    QVERIFY(image[300] != image[301] && image[size - 2] != image[size - 1]);

    // Pages: the first, the last (zero-padded past the image), then the end.
    const int pages = (size + 511) / 512;
    QCOMPARE(pageRead(c, 0), Bytes(image.begin(), image.begin() + 512));
    const Bytes last = pageRead(c, pages - 1);
    QCOMPARE(last.size(), size_t(512));
    const size_t tail = size_t(size - (pages - 1) * 512);
    QCOMPARE(Bytes(last.begin(), last.begin() + std::ptrdiff_t(tail)), Bytes(image.end() - std::ptrdiff_t(tail), image.end()));
    QVERIFY(allZero(Bytes(last.begin() + std::ptrdiff_t(tail), last.end())));
    QCOMPARE(letter(pageRead(c, pages)), 'T');
    QCOMPARE(letter(pageRead(c, 255)), 'T');

    // A whole image replaces it; another size does not.
    Bytes edited = image;
    edited[5] ^= 0xFF;
    QVERIFY(!c.setSetupImage(Bytes(image.begin(), image.end() - 1)));
    QCOMPARE(c.setupImage(), image);
    QVERIFY(c.setSetupImage(edited));
    QCOMPARE(int(pageRead(c, 0)[5]), int(edited[5]));
}

void TestSimModel::setupLayoutByProfile()
{
    const std::pair<Profile, int> defaults[] = {
        {Profile::Older, 0}, {Profile::E100, 0}, {Profile::Enclosure, 3}, {Profile::Jbod, 1}, {Profile::Jbod6G, 1},
    };
    for (const auto& d : defaults) {
        FakeController c(configOf(d.first));
        QCOMPARE(c.setupLayout(), d.second);
    }
    ControllerConfig odd = configOf(Profile::Jbod);
    odd.setupLayout = 7;   // not a layout: the profile's
    QCOMPARE(FakeController(odd).setupLayout(), 1);
}

void TestSimModel::setupWritesChangeExactlyTheirBytes()
{
    FakeController c(layoutConfig(1));
    Bytes expected = c.setupImage();
    auto write = [&](const Bytes& payload, size_t at, const Bytes& data) {
        QCOMPARE(letter(ask(c, 0x1F, payload)), 'A');
        std::copy(data.begin(), data.end(), expected.begin() + std::ptrdiff_t(at));
        QCOMPARE(c.setupImage(), expected);
    };
    // A full 'B' chunk: length bytes 00 02.
    const Bytes chunk = filled(512, 1);
    write(longWrite(1000, 512, chunk), 1000, chunk);
    // A short 'B' write ending at the image end.
    write(longWrite(4093, 3, {7, 8, 9}), 4093, {7, 8, 9});
    // 'A' with length byte 0 carries 512 bytes; with 7, seven.
    const Bytes other = filled(512, 99);
    write(shortWrite(2048, 0, other), 2048, other);
    write(shortWrite(4089, 7, filled(7, 5)), 4089, filled(7, 5));
    // The page read returns what was written.
    QCOMPARE(pageRead(c, 4), Bytes(expected.begin() + 2048, expected.begin() + 2560));

    // Refused writes change nothing.
    const Bytes refused[] = {
        longWrite(4094, 3, {1, 2, 3}),             // past the end
        longWrite(4096, 1, {1}),                  // at the end
        longWrite(0xFFFFFFFF, 2, {1, 2}),          // offset + length wraps
        longWrite(0, 0, {}),                      // length 0
        longWrite(0, 513, filled(513, 0)),         // longer than a chunk
        setupPayload(0x42, {1, 0, 0, 0, 0, 0, 2}, 200),   // 512 bytes announced, fewer sent
        shortWrite(4090, 7, filled(7, 0)),         // past the end
        shortWrite(3600, 0, filled(512, 0)),       // 512 bytes past the end
        setupPayload(0x41, {1, 0, 0, 100}, 60),    // fewer bytes than announced
        setupPayload(0x42, {0, 0, 0, 0, 0, 1, 0}, 1023),   // byte 10 must be 1
    };
    for (const Bytes& payload : refused)
        QCOMPARE(letter(ask(c, 0x1F, payload)), 'G');
    QCOMPARE(c.setupImage(), expected);

    // Layout 3: the 'B' form reaches past 64 KiB.
    FakeController big(layoutConfig(3));
    Bytes bigExpected = big.setupImage();
    QCOMPARE(letter(ask(big, 0x1F, longWrite(86832 - 512, 512, chunk))), 'A');
    std::copy(chunk.begin(), chunk.end(), bigExpected.end() - 512);
    QCOMPARE(big.setupImage(), bigExpected);
}

void TestSimModel::setupRefusalsAndMalformedRequests()
{
    FakeController c(layoutConfig(1));
    const Bytes image = c.setupImage();
    c.setRefuseLongSetupWrites(true);
    QCOMPARE(letter(ask(c, 0x1F, longWrite(0, 4, {1, 2, 3, 4}))), 'H');
    QCOMPARE(letter(ask(c, 0x1F, longWrite(0, 0, {}))), 'H');   // refused before it is checked
    QCOMPARE(c.setupImage(), image);
    QCOMPARE(letter(ask(c, 0x1F, shortWrite(0, 4, {1, 2, 3, 4}))), 'A');
    c.setRefuseLongSetupWrites(false);
    QCOMPARE(letter(ask(c, 0x1F, longWrite(4, 1, {9}))), 'A');
    const Bytes changed = c.setupImage();
    QCOMPARE(Bytes(changed.begin(), changed.begin() + 5), Bytes({1, 2, 3, 4, 9}));

    Bytes wrongPrefix = setupPayload(0x40, {0, 0}, 31);
    wrongPrefix[8] = 'R';
    Bytes wrongSub = setupPayload(0x40, {0, 0}, 31);
    wrongSub[0] = 0x07;
    QCOMPARE(letter(ask(c, 0x1F, wrongPrefix)), 'G');
    QCOMPARE(letter(ask(c, 0x1F, wrongSub)), 'G');
    QCOMPARE(letter(ask(c, 0x1F, Bytes(wrongPrefix.begin(), wrongPrefix.begin() + 9))), 'G');
    QCOMPARE(letter(ask(c, 0x1F)), 'G');
    QCOMPARE(letter(ask(c, 0x1F, setupPayload(0x40, {}, 10))), 'G');      // no page number
    QCOMPARE(letter(ask(c, 0x1F, setupPayload(0x0A, {11}, 525))), 'G');   // scheduler 0-10
    QCOMPARE(letter(ask(c, 0x1F, setupPayload(0x43, {0}, 525))), 'H');
    QCOMPARE(c.setupImage(), changed);
}

void TestSimModel::setupBitmapsFollowTheModel()
{
    FakeController c(configOf(Profile::Enclosure));
    for (int s = 0; s < 8; ++s)
        QVERIFY(c.addDisk(0, s, "M", "S" + std::to_string(s), 100000000));
    QVERIFY(c.addDisk(1, 0, "M", "P", 100000000));
    QCOMPARE(bitmapOf(c, 4), std::vector<int>());
    QCOMPARE(bitmapOf(c, 5), std::vector<int>());
    QCOMPARE(bitmapOf(c, 6), std::vector<int>());

    RaidSetOptions nine;
    nine.number = 9;
    QCOMPARE(c.createRaidSet("A", {{0, 0}, {0, 1}}), 0);
    QCOMPARE(c.createRaidSet("B", {{0, 2}}), 1);
    QCOMPARE(c.createRaidSet("C", {{0, 3}, {0, 4}}, nine), 9);
    QCOMPARE(bitmapOf(c, 4), std::vector<int>({0, 1, 9}));
    QVERIFY(c.deleteRaidSet(1));
    QCOMPARE(bitmapOf(c, 4), std::vector<int>({0, 9}));

    VolumeOptions last;
    last.number = 127;
    QCOMPARE(c.createVolumeSet(0, "V0", 1000, 0, 128), 0);
    QCOMPARE(c.createVolumeSet(9, "V127", 1000, 0, 128, last), 127);
    QCOMPARE(c.createVolumeSet(9, "V1", 1000, 0, 128), 1);
    const int nested = c.createNestedVolume("N", {0, 1});
    QCOMPARE(nested, 2);
    const int pass = c.setPassThrough(1, 0);
    QCOMPARE(pass, 3);
    QCOMPARE(bitmapOf(c, 6), std::vector<int>({0, 1, 127}));
    QCOMPARE(bitmapOf(c, 5), std::vector<int>({2, 3}));
    QCOMPARE(ask(c, 0x1F, setupPayload(6, {0}, 525)).size(), size_t(16));

    QVERIFY(c.clearPassThrough(1, 0));
    QVERIFY(c.deleteVolumeSet(nested));
    QCOMPARE(bitmapOf(c, 5), std::vector<int>());
    QVERIFY(c.deleteVolumeSet(127));
    QCOMPARE(bitmapOf(c, 6), std::vector<int>({0, 1}));
    QCOMPARE(letter(ask(c, 0x1F, setupPayload(4, {1}, 525))), 'G');   // byte 10 must be 0
}

void TestSimModel::setupInPasswordMode()
{
    FakeController c(layoutConfig(1));
    c.setPasswordRequired(true);
    const Bytes image = c.setupImage();
    // Reads pass while logged out.
    QCOMPARE(pageRead(c, 0), Bytes(image.begin(), image.begin() + 512));
    QCOMPARE(letter(pageRead(c, 8)), 'T');
    for (uint8_t op : {4, 5, 6})
        QCOMPARE(ask(c, 0x1F, setupPayload(op, {0}, 525)).size(), size_t(16));
    // Writes and everything else need a log-in.
    QCOMPARE(letter(ask(c, 0x1F, longWrite(0, 1, {1}))), 'M');
    QCOMPARE(letter(ask(c, 0x1F, shortWrite(0, 1, {1}))), 'M');
    QCOMPARE(letter(ask(c, 0x1F, setupPayload(0x01, {0, 1}, 525))), 'M');   // the LCD title
    QCOMPARE(ask(c, 0x1F, setupPayload(0x07, {0}, 525)).size(), size_t(8));   // the clock reads
    QCOMPARE(c.setupImage(), image);
    QVERIFY(zynsim::isReadRequest(0x1F, setupPayload(0x40, {0, 0}, 31)));
    QVERIFY(!zynsim::isReadRequest(0x1F, setupPayload(0x42, {}, 31)));
    QVERIFY(!zynsim::isReadRequest(0x1F, {}));
    QVERIFY(zynsim::isReadRequest(0x20, {}));
    QVERIFY(!zynsim::isReadRequest(0x24, {}));

    // The password the image holds logs in.
    Bytes login(16, 0);
    login[0] = uint8_t(image[72]);
    std::copy(image.begin() + 73, image.begin() + 73 + image[72], login.begin() + 1);
    QCOMPARE(letter(ask(c, 0x14, login)), 'A');
    QCOMPARE(letter(ask(c, 0x1F, longWrite(0, 1, {0xAB}))), 'A');
    QCOMPARE(int(c.setupImage()[0]), 0xAB);
}

void TestSimModel::applyConfigIsIncremental()
{
    FakeController c(configOf(Profile::Enclosure, false));
    c.setClock(1700000000);
    const Bytes raid0 = bytesOf(c.raidSet(0));
    const Bytes volume0 = c.volumeReply(0);
    const auto before = eventKeys(c);
    const uint32_t counter = c.eventCounter();
    std::string why;
    QVERIFY2(c.applyConfig("disk 1 5\nraidset \"Raid Set # 001\" disks 0:4 1:5\nevent 6 30 \"HotSpare\"\n", &why),
             why.c_str());
    // Nothing that was there changed; the new lines added their objects and events.
    QCOMPARE(bytesOf(c.raidSet(0)), raid0);
    QCOMPARE(c.volumeReply(0), volume0);
    QVERIFY(c.disk(0, 0).present());
    QVERIFY(c.disk(1, 5).present());
    QCOMPARE(c.raidSet(1).name(), std::string("Raid Set # 001"));
    QCOMPARE(c.eventCounter(), counter + 3);
    auto expected = before;
    expected.push_back({3, 0, "Enc#2 Slot#06"});
    expected.push_back({1, 0, "Raid Set # 001"});
    expected.push_back({6, 30, "HotSpare"});
    COMPARE_EVENTS(eventKeys(c), expected);
    checkConsistent(c);

    // Enclosures: none while disks are in; on a bare model the next number adds one.
    QVERIFY(!c.applyConfig("enclosure 2 slots 4", &why));
    QCOMPARE(why, std::string("line 1: enclosures come before disks"));
    FakeController bare(configOf(Profile::Enclosure));
    QVERIFY(!bare.applyConfig("enclosure 0", &why));
    QCOMPARE(why, std::string("line 1: enclosures are numbered in order: expected 2"));
    QVERIFY2(bare.applyConfig("enclosure 2 slots 4", &why), why.c_str());
    QCOMPARE(int(bare.systemInfo()[193]), 3);
    QCOMPARE(bare.enclosure(0).slotCount(), 8);
    QCOMPARE(bare.enclosure(2).slotCount(), 4);
    // The layout fixes the volume numbers.
    QVERIFY(!bare.applyConfig("controller volumes 16", &why));
    QCOMPARE(why, std::string("line 1: setup layout 3 has 128 volume numbers"));
    QVERIFY2(bare.applyConfig("controller volumes 128 raidsets 32", &why), why.c_str());
    QCOMPARE(int(bare.systemInfo()[178]), 32);
}

void TestSimModel::applyConfigErrorChangesNothing()
{
    FakeController c(configOf(Profile::Enclosure, false));
    const auto events = eventKeys(c);
    const uint32_t counter = c.eventCounter();
    const Bytes raid0 = bytesOf(c.raidSet(0));
    std::string why;
    QVERIFY(!c.applyConfig("disk 1 6\nraidset \"R\" disks 1:6\nfail 0:0\nbogus", &why));
    QCOMPARE(why, std::string("line 4: unknown directive 'bogus'"));
    QVERIFY(!c.disk(1, 6).present());
    QVERIFY(!c.raidSet(1).exists());
    QCOMPARE(bytesOf(c.raidSet(0)), raid0);
    QCOMPARE(int(c.disk(0, 0).stateLow()), 0x88);
    COMPARE_EVENTS(eventKeys(c), events);
    QCOMPARE(c.eventCounter(), counter);
    checkConsistent(c);
}

void TestSimModel::concurrentReadsAndChanges()
{
    FakeController c(configOf(Profile::Enclosure, false));
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::thread reader([&] {
        while (!stop) {
            for (uint8_t code : {0x19, 0x1A, 0x20, 0x21}) {
                const Bytes data = replyData(c.handleFrame(command(code, {0}), "t").bytes);
                if (data.size() < 4)
                    ++bad;
            }
            if (replyData(c.handleFrame(command(0x22, {4, 0}), "t").bytes).size() != 292)
                ++bad;
        }
    });
    std::string why;
    for (int i = 0; i < 200; ++i) {
        const int r = c.createRaidSet("T", {{0, 4}, {1, 0}}, {}, &why);
        QVERIFY2(r >= 0, why.c_str());
        QVERIFY(c.createVolumeSet(r, "TV", 1000, 0, 128, {}, &why) >= 0);
        QVERIFY(c.deleteVolumeSet(1, &why));
        QVERIFY(c.deleteRaidSet(r, &why));
    }
    stop = true;
    reader.join();
    QCOMPARE(bad.load(), 0);
    checkConsistent(c);
}

// ---------------------------------------------------------------------------------------------
// Identity, settings and maintenance

namespace {

std::string frameHex(const Bytes& b)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (uint8_t x : b) {
        s += digits[x >> 4];
        s += digits[x & 15];
    }
    return s;
}

const char* const kAccess8 = zynconst::kAccessString8;
const char* const kAccess16 = zynconst::kAccessString16;

// {lead, access string, filler (8 bytes after an 8-byte string), text padded to width}.
Bytes identityPayload(uint8_t lead, const char* access, uint8_t filler, const std::string& text,
                      size_t width, uint8_t pad)
{
    const size_t accessLength = std::strlen(access);
    const size_t fillerLength = accessLength == 8 ? 8 : 0;
    Bytes p(1 + accessLength + fillerLength + width, pad);
    p[0] = lead;
    std::copy(access, access + accessLength, p.begin() + 1);
    std::fill_n(p.begin() + 1 + std::ptrdiff_t(accessLength), fillerLength, filler);
    std::copy(text.begin(), text.end(), p.begin() + 1 + std::ptrdiff_t(accessLength + fillerLength));
    return p;
}

Bytes serialPayload(const std::string& text) { return identityPayload(15, kAccess16, 0, text, 16, 0); }
Bytes vendorPayload(const std::string& text) { return identityPayload(8, kAccess8, ' ', text, 40, ' '); }
Bytes modelPayload(const std::string& text) { return identityPayload(8, kAccess8, ' ', text, 8, ' '); }

Bytes macPayload(const Bytes& mac)
{
    return identityPayload(8, kAccess8, 0, std::string(mac.begin(), mac.end()), 6, 0);
}

Bytes withoutLast(Bytes b)
{
    b.pop_back();
    return b;
}

Bytes passwordField(const std::string& text)
{
    Bytes field(16, 0);
    field[0] = uint8_t(text.size());
    std::copy(text.begin(), text.end(), field.begin() + 1);
    return field;
}

// 0x1D: {8, access8, yy, month, day, hour, minute, second}, with 55 AA for UTC.
Bytes timePayload(int yy, int month, int day, int hour, int minute, int second, bool utc = false)
{
    Bytes p = identityPayload(8, kAccess8, 0, {}, 0, 0);
    p.resize(utc ? 17 : 15, 0);
    const int fields[6] = {yy, month, day, hour, minute, second};
    for (int i = 0; i < 6; ++i)
        p[size_t(9 + i)] = uint8_t(fields[i]);
    if (utc) {
        p[15] = 0x55;
        p[16] = 0xAA;
    }
    return p;
}

Bytes rtcOf(FakeController& c)
{
    return ask(c, 0x1F, setupPayload(0x07, {0}, 525));
}

Bytes bcdOf(const std::tm& t)
{
    auto bcd = [](int v) { return uint8_t((v / 10) << 4 | (v % 10)); };
    return {bcd(t.tm_sec), bcd(t.tm_min), bcd(t.tm_hour), bcd(t.tm_wday), bcd(t.tm_mday),
            bcd(t.tm_mon + 1), bcd((t.tm_year + 1900) % 100), 0};
}

// A firmware block as the client sends it: data, then one zero byte.
Bytes firmwareBlock(int block, bool last, const Bytes& data)
{
    Bytes rest(3 + data.size() + 1, 0);
    rest[1] = uint8_t(block);
    rest[2] = uint8_t((block >> 8) | (last ? 0x80 : 0));
    std::copy(data.begin(), data.end(), rest.begin() + 3);
    return setupPayload(0x00, rest, 0);
}

// Sends `image` in 512-byte blocks; the letters of the answers.
std::string uploadFirmware(FakeController& c, const Bytes& image)
{
    std::string letters;
    const size_t blocks = std::max<size_t>(1, (image.size() + 511) / 512);
    for (size_t b = 0; b < blocks; ++b) {
        const size_t from = b * 512;
        const Bytes data(image.begin() + std::ptrdiff_t(std::min(from, image.size())),
                         image.begin() + std::ptrdiff_t(std::min(from + 512, image.size())));
        letters += letter(ask(c, 0x1F, firmwareBlock(int(b), b + 1 == blocks, data)));
    }
    return letters;
}

Bytes logoPayload(uint8_t page, const Bytes& data)
{
    Bytes p(5 + data.size());
    p[0] = page;
    p[1] = 'U';
    p[2] = 0xAA;
    p[3] = 0xA5;
    p[4] = 'Z';
    std::copy(data.begin(), data.end(), p.begin() + 5);
    return p;
}

Bytes fieldOf(const FakeController& c, uint32_t id)
{
    const CFieldInfo* f = gettablefieldinfo(uint8_t(c.setupLayout()), id);
    const Bytes image = c.setupImage();
    return Bytes(image.begin() + std::ptrdiff_t(f->offset), image.begin() + std::ptrdiff_t(f->offset + f->length));
}

void putField(FakeController& c, uint32_t id, const std::string& text)
{
    const CFieldInfo* f = gettablefieldinfo(uint8_t(c.setupLayout()), id);
    Bytes image = c.setupImage();
    std::fill_n(image.begin() + std::ptrdiff_t(f->offset), size_t(f->length), uint8_t(0));
    std::copy(text.begin(), text.end(), image.begin() + std::ptrdiff_t(f->offset));
    QVERIFY(c.setSetupImage(image));
}

Bytes zeroPadded(const std::string& text, size_t width)
{
    Bytes b(width, 0);
    std::copy(text.begin(), text.end(), b.begin());
    return b;
}

} // namespace

void TestSimModel::identityCommands()
{
    FakeController c(configOf(Profile::Enclosure));
    const Bytes mac = {0x00, 0x1B, 0x4D, 0x11, 0x22, 0x33};
    QCOMPARE(letter(ask(c, 0x10, serialPayload("NEWSER12"))), 'A');
    QCOMPARE(letter(ask(c, 0x11, vendorPayload("Acme  Storage"))), 'A');
    QCOMPARE(letter(ask(c, 0x12, modelPayload("ZX-9"))), 'A');
    QCOMPARE(letter(ask(c, 0x17, macPayload(mac))), 'A');
    const Bytes info = ask(c, 0x23);
    // Blank-filled texts: the trailing blanks go, inner ones stay, NULs pad the field.
    QCOMPARE(Bytes(info.begin(), info.begin() + 40), zeroPadded("Acme  Storage", 40));
    QCOMPARE(Bytes(info.begin() + 40, info.begin() + 56), zeroPadded("NEWSER12", 16));
    QCOMPARE(Bytes(info.begin() + 104, info.begin() + 112), zeroPadded("ZX-9", 8));
    QCOMPARE(Bytes(info.begin() + 152, info.begin() + 158), mac);
    QCOMPARE(c.serial(), std::string("NEWSER12"));
    QCOMPARE(int(info[sSYSTEM_INFO::kCapabilities]), 0x03);

    // Texts that fill their fields: a 16-character serial, a 40-character vendor, 8 for the model.
    const std::string vendor40 = "Forty Characters Of Vendor Name Text Ok!";
    QCOMPARE(letter(ask(c, 0x10, serialPayload("ABCDEFGHIJKLMNOP"))), 'A');
    QCOMPARE(letter(ask(c, 0x11, vendorPayload(vendor40))), 'A');
    QCOMPARE(letter(ask(c, 0x12, modelPayload("ZRC-9999"))), 'A');
    const Bytes full = c.systemInfo();
    QCOMPARE(text(full, 40, 16), std::string("ABCDEFGHIJKLMNOP"));
    QCOMPARE(text(full, 0, 40), vendor40);
    QCOMPARE(text(full, 104, 8), std::string("ZRC-9999"));
    QCOMPARE(int(full[56]), int('V'));   // the firmware version right after the serial is intact
}

void TestSimModel::identityRefusalsChangeNothing()
{
    FakeController c(configOf(Profile::Enclosure));
    const Bytes before = c.systemInfo();
    Bytes wrongAccess = serialPayload("X1");
    wrongAccess[16] ^= 0x20;
    Bytes wrongLead = serialPayload("X1");
    wrongLead[0] = 8;
    Bytes vendorFiller = vendorPayload("Acme");
    vendorFiller[12] = 'x';
    Bytes macFiller = macPayload({1, 2, 3, 4, 5, 6});
    macFiller[16] = 1;
    Bytes model16 = identityPayload(8, kAccess16, ' ', "ZX", 8, ' ');
    const Bytes refusals[][2] = {
        {{0x10}, wrongAccess},
        {{0x10}, wrongLead},
        {{0x10}, withoutLast(serialPayload("X1"))},
        {{0x10}, serialPayload("")},
        {{0x11}, vendorFiller},
        {{0x11}, vendorPayload("")},                      // blanks only
        {{0x11}, identityPayload(8, kAccess8, ' ', "Acme", 41, ' ')},
        {{0x12}, model16},
        {{0x12}, identityPayload(8, kAccess8, ' ', "ZX", 9, ' ')},
        {{0x17}, macFiller},
        {{0x17}, withoutLast(macPayload({1, 2, 3, 4, 5, 6}))},
    };
    for (const auto& r : refusals)
        QCOMPARE(letter(ask(c, r[0][0], r[1])), 'G');
    QCOMPARE(c.systemInfo(), before);
}

void TestSimModel::passwordAndUnitSerial()
{
    ControllerConfig config = layoutConfig(1);
    config.capabilities = zynconst::kCapUnitSerialCommand;
    FakeController c(config);
    c.setPasswordRequired(true);
    QCOMPARE(letter(ask(c, 0x32, passwordField("Next42"))), 'M');
    QCOMPARE(letter(ask(c, 0x14, passwordField("Secret7"))), 'A');
    QCOMPARE(letter(ask(c, 0x32, passwordField("Next42"))), 'A');
    QCOMPARE(c.password(), std::string("Next42"));
    // The setup image holds it too: length at 72, text at 73.
    const Bytes image = c.setupImage();
    QCOMPARE(int(image[72]), 6);
    QCOMPARE(Bytes(image.begin() + 73, image.begin() + 88), zeroPadded("Next42", 15));
    QCOMPARE(letter(ask(c, 0x15)), 'A');
    QCOMPARE(letter(ask(c, 0x14, passwordField("Secret7"))), 'J');
    QCOMPARE(letter(ask(c, 0x14, passwordField("Next42"))), 'A');
    QCOMPARE(letter(ask(c, 0x14, passwordField(zynsim::kRoadPassword))), 'A');
    Bytes tooLong = passwordField("x");
    tooLong[0] = 16;
    QCOMPARE(letter(ask(c, 0x32, tooLong)), 'G');
    QCOMPARE(letter(ask(c, 0x32, Bytes(15, 0))), 'G');
    QCOMPARE(c.password(), std::string("Next42"));
    // An empty password is one too.
    QCOMPARE(letter(ask(c, 0x32, passwordField(""))), 'A');
    QCOMPARE(letter(ask(c, 0x15)), 'A');
    QCOMPARE(letter(ask(c, 0x14, passwordField(""))), 'A');

    // The unit serial lands in setup field 76.
    QCOMPARE(c.unitSerial(), c.serial());
    QCOMPARE(letter(ask(c, 0xEF, serialPayload("UNIT-0042"))), 'A');
    QCOMPARE(c.unitSerial(), std::string("UNIT-0042"));
    QCOMPARE(fieldOf(c, 76), zeroPadded("UNIT-0042", 16));
    Bytes wrong = serialPayload("UNIT-9");
    wrong[1] ^= 1;
    QCOMPARE(letter(ask(c, 0xEF, wrong)), 'G');
    QCOMPARE(letter(ask(c, 0xEF, serialPayload(""))), 'G');
    QCOMPARE(c.unitSerial(), std::string("UNIT-0042"));
    // Without the capability the command does not exist.
    config.capabilities = zynconst::kCapUtcClock;
    FakeController without(config);
    QCOMPARE(letter(ask(without, 0xEF, serialPayload("UNIT-0042"))), 'H');
    QCOMPARE(without.unitSerial(), without.serial());
}

void TestSimModel::clockSettingAndReading()
{
    FakeController c(configOf(Profile::Enclosure));
    // Never set: the host's local time.
    const std::time_t start = std::time(nullptr);
    const Bytes host = rtcOf(c);
    const std::time_t end = std::time(nullptr);
    std::tm a{}, b{};
    localtime_r(&start, &a);
    localtime_r(&end, &b);
    QVERIFY2(host == bcdOf(a) || host == bcdOf(b), frameHex(host).c_str());
    QVERIFY(!c.clockSetting().set);

    // Set at the last second of a year: it runs on into the next (a Monday).
    QCOMPARE(letter(ask(c, 0x1D, timePayload(23, 12, 31, 23, 59, 59))), 'A');
    const zynsim::ClockSetting s = c.clockSetting();
    QVERIFY(s.set && !s.utc);
    QCOMPARE(int(s.year), 23);
    QCOMPARE(int(s.month), 12);
    QCOMPARE(int(s.day), 31);
    QCOMPARE(int(s.hour), 23);
    QCOMPARE(int(s.minute), 59);
    QCOMPARE(int(s.second), 59);
    Bytes r = rtcOf(c);
    QVERIFY2(r == (Bytes{0x59, 0x59, 0x23, 0x00, 0x31, 0x12, 0x23, 0}) || r == (Bytes{0, 0, 0, 0x01, 0x01, 0x01, 0x24, 0}),
             frameHex(r).c_str());
    QTRY_VERIFY_WITH_TIMEOUT(rtcOf(c)[6] == 0x24, 10000);
    r = rtcOf(c);
    QVERIFY2(r[6] == 0x24 && r[5] == 0x01 && r[4] == 0x01 && r[3] == 0x01, frameHex(r).c_str());

    // The UTC form; a leap day.
    QCOMPARE(letter(ask(c, 0x1D, timePayload(24, 2, 29, 12, 34, 56, true))), 'A');
    QVERIFY(c.clockSetting().utc);
    r = rtcOf(c);
    QVERIFY2(r == (Bytes{0x56, 0x34, 0x12, 0x04, 0x29, 0x02, 0x24, 0}) || r == (Bytes{0x57, 0x34, 0x12, 0x04, 0x29, 0x02, 0x24, 0}),
             frameHex(r).c_str());
    QCOMPARE(letter(ask(c, 0x1F, setupPayload(0x07, {1}, 525))), 'G');
}

void TestSimModel::clockRefusals()
{
    FakeController c(configOf(Profile::Enclosure));
    QCOMPARE(letter(ask(c, 0x1D, timePayload(24, 6, 30, 8, 0, 0))), 'A');
    const std::vector<Bytes> refused = {
        timePayload(23, 2, 29, 0, 0, 0), timePayload(0, 0, 1, 0, 0, 0), timePayload(0, 13, 1, 0, 0, 0),
        timePayload(0, 4, 31, 0, 0, 0), timePayload(0, 1, 0, 0, 0, 0), timePayload(0, 1, 1, 24, 0, 0),
        timePayload(0, 1, 1, 0, 60, 0), timePayload(0, 1, 1, 0, 0, 60),
    };
    for (const Bytes& p : refused)
        QCOMPARE(letter(ask(c, 0x1D, p)), 'G');
    Bytes badMarker = timePayload(24, 1, 1, 0, 0, 0, true);
    badMarker[16] = 0xAB;
    Bytes badAccess = timePayload(24, 1, 1, 0, 0, 0);
    badAccess[3] ^= 1;
    QCOMPARE(letter(ask(c, 0x1D, badMarker)), 'G');
    QCOMPARE(letter(ask(c, 0x1D, badAccess)), 'G');
    QCOMPARE(letter(ask(c, 0x1D, withoutLast(timePayload(24, 1, 1, 0, 0, 0)))), 'G');
    QCOMPARE(int(c.clockSetting().month), 6);
    QCOMPARE(int(c.clockSetting().day), 30);
    // 2000 was a leap year.
    QCOMPARE(letter(ask(c, 0x1D, timePayload(0, 2, 29, 0, 0, 0))), 'A');

    // The UTC form needs capability bit 0x01.
    ControllerConfig config = configOf(Profile::Enclosure);
    config.capabilities = zynconst::kCapUnitSerialCommand;
    FakeController local(config);
    QCOMPARE(int(local.systemInfo()[sSYSTEM_INFO::kCapabilities]), 0x02);
    QCOMPARE(letter(ask(local, 0x1D, timePayload(24, 1, 1, 0, 0, 0, true))), 'G');
    QVERIFY(!local.clockSetting().set);
    QCOMPARE(letter(ask(local, 0x1D, timePayload(24, 1, 1, 0, 0, 0))), 'A');
}

void TestSimModel::firmwareBlocksInOrder()
{
    FakeController c(configOf(Profile::Enclosure));
    QVERIFY(c.firmwareImage().empty());
    const Bytes image = filled(1100, 7);
    QCOMPARE(uploadFirmware(c, image), std::string("AAA"));
    QCOMPARE(c.firmwareImage(), image);
    QCOMPARE(c.firmwareUpdates(), 1);

    // Out of order: 'R', and the upload is gone; block 0 starts afresh.
    const Bytes other = filled(700, 99);
    const Bytes first(other.begin(), other.begin() + 512);
    const Bytes rest(other.begin() + 512, other.end());
    QCOMPARE(letter(ask(c, 0x1F, firmwareBlock(0, false, first))), 'A');
    QCOMPARE(letter(ask(c, 0x1F, firmwareBlock(2, true, rest))), 'R');
    QCOMPARE(letter(ask(c, 0x1F, firmwareBlock(1, true, rest))), 'R');
    QCOMPARE(letter(ask(c, 0x1F, firmwareBlock(0, false, rest))), 'A');
    QCOMPARE(letter(ask(c, 0x1F, firmwareBlock(0, false, first))), 'A');
    QCOMPARE(letter(ask(c, 0x1F, firmwareBlock(1, true, rest))), 'A');
    QCOMPARE(c.firmwareImage(), other);
    QCOMPARE(c.firmwareUpdates(), 2);

    // Block numbers past one byte: 300 blocks.
    const Bytes large = filled(300 * 512 + 5, 3);
    const std::string letters = uploadFirmware(c, large);
    QCOMPARE(letters, std::string(301, 'A'));
    QCOMPARE(c.firmwareImage(), large);

    // Malformed blocks.
    Bytes trailer = firmwareBlock(0, true, {1, 2});
    trailer.back() = 1;
    Bytes subOp = firmwareBlock(0, true, {1, 2});
    subOp[10] = 1;
    QCOMPARE(letter(ask(c, 0x1F, trailer)), 'G');
    QCOMPARE(letter(ask(c, 0x1F, subOp)), 'G');
    QCOMPARE(letter(ask(c, 0x1F, firmwareBlock(0, true, Bytes(513, 1)))), 'G');
    QCOMPARE(letter(ask(c, 0x1F, setupPayload(0x00, {0, 0}, 12))), 'G');
    QCOMPARE(c.firmwareUpdates(), 3);
}

void TestSimModel::firmwareVerdicts()
{
    FakeController c(configOf(Profile::Enclosure));
    const Bytes good = filled(600, 1);
    for (char verdict : {'P', 'Q', 'R'}) {
        c.setFirmwareVerdict(verdict);
        QCOMPARE(uploadFirmware(c, filled(600, uint8_t(verdict))), std::string("A") + verdict);
        QVERIFY(c.firmwareImage().empty());
    }
    c.setFirmwareVerdict('A');
    QCOMPARE(uploadFirmware(c, good), std::string("AA"));
    QCOMPARE(c.firmwareImage(), good);
    // An empty image is invalid.
    QCOMPARE(letter(ask(c, 0x1F, firmwareBlock(0, true, {}))), 'Q');
    QCOMPARE(c.firmwareImage(), good);
    QCOMPARE(c.firmwareUpdates(), 1);
}

void TestSimModel::logoPages()
{
    FakeController older(configOf(Profile::Older));
    for (uint8_t k = 0; k < 4; ++k)
        QCOMPARE(letter(ask(older, 0x18, logoPayload(k, filled(2000, k)))), 'A');
    QCOMPARE(older.logoPage(3), filled(2000, 3));
    QCOMPARE(older.logoPage(0), filled(2000, 0));
    QCOMPARE(letter(ask(older, 0x18, logoPayload(4, filled(2000, 4)))), 'G');
    QVERIFY(older.logoPage(4).empty());
    Bytes badMagic = logoPayload(1, filled(2000, 9));
    badMagic[4] = 'X';
    QCOMPARE(letter(ask(older, 0x18, badMagic)), 'G');
    QCOMPARE(letter(ask(older, 0x18, logoPayload(1, {}))), 'G');
    QCOMPARE(letter(ask(older, 0x18, logoPayload(1, filled(2001, 9)))), 'G');
    QCOMPARE(older.logoPage(1), filled(2000, 1));
    QCOMPARE(letter(ask(older, 0x18, {0xFF, 0x55, 0xAA, 0xA5, 0x5A})), 'A');
    for (int k = 0; k < 4; ++k)
        QVERIFY(older.logoPage(k).empty());

    FakeController enclosure(configOf(Profile::Enclosure));
    QCOMPARE(letter(ask(enclosure, 0x18, logoPayload(31, filled(2000, 31)))), 'A');
    QCOMPARE(enclosure.logoPage(31), filled(2000, 31));
    QCOMPARE(letter(ask(enclosure, 0x18, logoPayload(32, filled(2000, 32)))), 'G');
}

void TestSimModel::settingCommands()
{
    FakeController c(layoutConfig(1));
    const struct {
        uint8_t code;
        Bytes payload;
        char answer;
    } steps[] = {
        {0x30, {}, 'A'}, {0x30, {1}, 'G'},
        {0x31, {1}, 'A'}, {0x31, {2}, 'G'}, {0x31, {}, 'G'},
        {0x33, {1}, 'A'}, {0x33, {2}, 'G'},
        {0x34, {3}, 'A'}, {0x34, {4}, 'G'}, {0x34, {1, 1}, 'G'},
        {0x35, {7}, 'A'}, {0x35, {}, 'G'},
        {0x37, {1, 7, 1, 1, 0, 0}, 'A'}, {0x37, {2, 0, 1, 0, 0, 0}, 'G'}, {0x37, {0, 8, 1, 0, 0, 0}, 'G'},
        {0x37, {0, 0, 0, 0, 0, 0}, 'G'}, {0x37, {0, 0, 1, 2, 0, 0}, 'G'}, {0x37, {0, 0, 1, 0, 0, 1}, 'G'},
        {0x37, {0, 0, 1, 0, 0}, 'G'},
        {0x39, {1, 10, 0, 0, 7}, 'A'}, {0x39, {2, 10, 0, 0, 8}, 'G'}, {0x39, {0, 10, 0, 0}, 'G'},
    };
    for (const auto& step : steps)
        QCOMPARE(letter(ask(c, step.code, step.payload)), step.answer);
    QCOMPARE(c.beeperMutes(), 1);
    QCOMPARE(int(c.beeper()), 1);
    QCOMPARE(int(c.hostMode()), 1);
    QCOMPARE(int(c.rebuildPriority()), 3);
    QCOMPARE(int(c.maxAtaMode()), 7);
    QCOMPARE(c.termPort(), (Bytes{1, 7, 1, 1, 0, 0}));
    QCOMPARE(int(c.dhcp()), 1);
    const Bytes info = ask(c, 0x23);
    QCOMPARE(int(info[158]), 1);
    QCOMPARE(int(info[159]), 1);
    QCOMPARE(Bytes(info.begin() + 116, info.begin() + 120), (Bytes{10, 0, 0, 7}));
    QCOMPARE(fieldOf(c, 16), (Bytes{10, 0, 0, 7}));
    QCOMPARE(fieldOf(c, 32), Bytes{1});

    QCOMPARE(letter(ask(c, 0x1F, setupPayload(0x01, {0, 1}, 525))), 'A');
    QCOMPARE(int(c.lcdTitle()), 1);
    QCOMPARE(letter(ask(c, 0x1F, setupPayload(0x01, {0, 2}, 525))), 'G');
    QCOMPARE(letter(ask(c, 0x1F, setupPayload(0x01, {1, 0}, 525))), 'G');
    QCOMPARE(int(c.lcdTitle()), 1);
}

void TestSimModel::settingsInPasswordMode()
{
    FakeController c(layoutConfig(1));
    c.setPasswordRequired(true);
    const Bytes info = c.systemInfo();
    const std::pair<uint8_t, Bytes> changes[] = {
        {0x10, serialPayload("S")}, {0x11, vendorPayload("V")}, {0x12, modelPayload("M")},
        {0x17, macPayload({1, 2, 3, 4, 5, 6})}, {0x18, logoPayload(0, Bytes(2000, 1))},
        {0x1D, timePayload(24, 1, 1, 0, 0, 0)}, {0x30, {}}, {0x31, {1}}, {0x32, passwordField("x")},
        {0x33, {1}}, {0x34, {1}}, {0x35, {1}}, {0x36, {}}, {0x37, {1, 7, 1, 1, 0, 0}},
        {0x39, {1, 1, 2, 3, 4}}, {0xEF, serialPayload("U")}, {0x1F, firmwareBlock(0, true, {1})},
    };
    for (const auto& change : changes)
        QCOMPARE(letter(ask(c, change.first, change.second)), 'M');
    QCOMPARE(c.systemInfo(), info);
    QVERIFY(c.logoPage(0).empty() && c.firmwareImage().empty() && !c.clockSetting().set && !c.restarting());
    // Reading the clock and asking the agent need no log-in.
    QCOMPARE(rtcOf(c).size(), size_t(8));
    QCOMPARE(letter(ask(c, 0x1E, {0x30, 0x00})), 'G');
}

void TestSimModel::restartSilenceThenPowerOn()
{
    ControllerConfig config = configOf(Profile::Enclosure);
    config.resetSilenceMs = 150;
    FakeController c(config);
    c.setPasswordRequired(true);
    QCOMPARE(letter(ask(c, 0x14, passwordField(zynsim::kRoadPassword))), 'A');
    QVERIFY(c.events().empty());
    QVERIFY(c.handleFrame(command(0x36), "t").bytes.empty());
    QVERIFY(c.restarting());
    // Away: every frame dropped, none logged as received.
    QVERIFY(c.handleFrame(command(0x13), "t").bytes.empty());
    QVERIFY(c.handleFrame(command(0x36), "t").bytes.empty());
    QCOMPARE(c.framesReceived(0x13), 0);
    QCOMPARE(c.framesReceived(0x36), 1);
    QVERIFY(c.events().empty());
    QTRY_VERIFY_WITH_TIMEOUT(!c.restarting(), 10000);
    QCOMPARE(ask(c, 0x13).size(), size_t(64));
    QVERIFY(!c.restarting());
    COMPARE_EVENTS(eventKeys(c), {{5, 38, ""}});
    QVERIFY(!c.loggedIn());
    QCOMPARE(c.eventCounter(), 1u);

    // No silence: back at once.
    config.resetSilenceMs = 0;
    FakeController quick(config);
    QVERIFY(quick.handleFrame(command(0x36), "t").bytes.empty());
    QCOMPARE(ask(quick, 0x13).size(), size_t(64));
    COMPARE_EVENTS(eventKeys(quick), {{5, 38, ""}});
}

// ---------------------------------------------------------------------------------------------
// The SNMP agent. The requests are put together here with short-form lengths only.

namespace {

Bytes tlv(uint8_t tag, const Bytes& content)
{
    Bytes out(2 + content.size());
    out[0] = tag;
    out[1] = uint8_t(content.size());   // the requests here stay below 128 bytes a level
    std::copy(content.begin(), content.end(), out.begin() + 2);
    return out;
}

Bytes cat(const std::vector<Bytes>& parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes oidOf(const std::vector<uint32_t>& arcs)
{
    Bytes content(1, uint8_t(arcs[0] * 40 + arcs[1]));
    for (size_t i = 2; i < arcs.size(); ++i) {
        Bytes septets;
        for (uint32_t v = arcs[i];; v >>= 7) {
            septets.insert(septets.begin(), uint8_t((v & 0x7F) | (septets.empty() ? 0 : 0x80)));
            if (v < 0x80)
                break;
        }
        content.insert(content.end(), septets.begin(), septets.end());
    }
    return tlv(0x06, content);
}

const std::vector<uint32_t> kSystem = {1, 3, 6, 1, 2, 1, 1};

std::vector<uint32_t> systemObject(uint32_t n)
{
    std::vector<uint32_t> oid = kSystem;
    oid.push_back(n);
    oid.push_back(0);
    return oid;
}

Bytes snmpMessage(uint8_t pdu, const std::string& community, const Bytes& oid, const Bytes& value = {0x05, 0x00},
                  int version = 0)
{
    const Bytes binding = tlv(0x30, cat({oid, value}));
    const Bytes body = cat({tlv(0x02, {0x12, 0x34}), tlv(0x02, {0}), tlv(0x02, {0}), tlv(0x30, binding)});
    return tlv(0x30, cat({tlv(0x02, {uint8_t(version)}), tlv(0x04, Bytes(community.begin(), community.end())),
                          tlv(pdu, body)}));
}

struct SnmpAnswer {
    bool valid = false;
    std::string community;
    Bytes requestId;
    int errorStatus = -1;
    int errorIndex = -1;
    Bytes oid;           // the whole TLV
    uint8_t valueTag = 0;
    Bytes value;         // the content
};

// Reads the GetResponse; lengths in short form or 81 xx.
SnmpAnswer parseAnswer(const Bytes& b)
{
    SnmpAnswer a;
    size_t at = 0;
    auto take = [&](uint8_t tag, size_t* length) {
        if (at + 2 > b.size() || b[at] != tag)
            return false;
        size_t n = b[at + 1];
        size_t head = 2;
        if (n == 0x81 && at + 3 <= b.size()) {
            n = b[at + 2];
            head = 3;
        } else if (n & 0x80) {
            return false;
        }
        if (at + head + n > b.size())
            return false;
        at += head;
        *length = n;
        return true;
    };
    size_t n = 0;
    if (!take(0x30, &n) || at + n != b.size() || !take(0x02, &n) || n != 1 || b[at] != 0)
        return a;
    at += n;
    if (!take(0x04, &n))
        return a;
    a.community.assign(b.begin() + std::ptrdiff_t(at), b.begin() + std::ptrdiff_t(at + n));
    at += n;
    if (!take(0xA2, &n))
        return a;
    const size_t idAt = at;
    if (!take(0x02, &n))
        return a;
    at += n;
    a.requestId.assign(b.begin() + std::ptrdiff_t(idAt), b.begin() + std::ptrdiff_t(at));
    if (!take(0x02, &n) || n != 1)
        return a;
    a.errorStatus = b[at++];
    if (!take(0x02, &n) || n != 1)
        return a;
    a.errorIndex = b[at++];
    if (!take(0x30, &n) || !take(0x30, &n))
        return a;
    const size_t oidAt = at;
    if (!take(0x06, &n))
        return a;
    at += n;
    a.oid.assign(b.begin() + std::ptrdiff_t(oidAt), b.begin() + std::ptrdiff_t(at));
    if (at + 2 > b.size())
        return a;
    a.valueTag = b[at];
    size_t valueLength = 0;
    if (!take(a.valueTag, &valueLength))
        return a;
    a.value.assign(b.begin() + std::ptrdiff_t(at), b.begin() + std::ptrdiff_t(at + valueLength));
    a.valid = at + valueLength == b.size();
    return a;
}

std::string asText(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

} // namespace

void TestSimModel::snmpGetBytes()
{
    FakeController c(configOf(Profile::Enclosure));
    // GetRequest 1.3.6.1.2.1.1.7.0, community "kestro", request id 0x1234.
    const Bytes request = {0x30, 0x27, 0x02, 0x01, 0x00, 0x04, 0x06, 'k', 'e', 's', 't', 'r', 'o',
                           0xA0, 0x1A, 0x02, 0x02, 0x12, 0x34, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00,
                           0x30, 0x0E, 0x30, 0x0C, 0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x07, 0x00,
                           0x05, 0x00};
    QCOMPARE(snmpMessage(0xA0, "kestro", oidOf(systemObject(7))), request);
    const Bytes expected = {0x30, 0x28, 0x02, 0x01, 0x00, 0x04, 0x06, 'k', 'e', 's', 't', 'r', 'o',
                            0xA2, 0x1B, 0x02, 0x02, 0x12, 0x34, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00,
                            0x30, 0x0F, 0x30, 0x0D, 0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x07, 0x00,
                            0x02, 0x01, 0x48};
    QCOMPARE(ask(c, 0x1E, request), expected);
    // The INTEGER 0 a client may put instead of NULL; a request id of four octets goes back as sent.
    Bytes withZero = request;
    withZero[39] = 0x02;
    withZero[40] = 0x01;
    withZero.push_back(0x00);
    withZero[1] += 1;
    withZero[14] += 1;
    withZero[26] += 1;
    withZero[28] += 1;
    QCOMPARE(ask(c, 0x1E, withZero), expected);
}

void TestSimModel::snmpWalkAndNoSuchName()
{
    FakeController c(configOf(Profile::Enclosure));
    std::vector<uint32_t> at = kSystem;
    std::vector<SnmpAnswer> walk;
    for (int i = 0; i < 8; ++i) {
        const SnmpAnswer a = parseAnswer(ask(c, 0x1E, snmpMessage(0xA1, "kestro", oidOf(at))));
        QVERIFY(a.valid);
        QCOMPARE(a.requestId, (Bytes{0x02, 0x02, 0x12, 0x34}));
        QCOMPARE(a.community, std::string("kestro"));
        if (a.errorStatus != 0)
            break;
        walk.push_back(a);
        QCOMPARE(a.errorIndex, 0);
        // The next request names what this one answered.
        const std::vector<uint32_t> objects[] = {systemObject(1), systemObject(3), systemObject(4),
                                                 systemObject(5), systemObject(6), systemObject(7)};
        QVERIFY(walk.size() <= 6);
        at = objects[walk.size() - 1];
        QCOMPARE(a.oid, oidOf(at));
    }
    QCOMPARE(walk.size(), size_t(6));
    QCOMPARE(int(walk[0].valueTag), 0x04);
    QCOMPARE(asText(walk[0].value), std::string("Varnel RAID controller ZRC-1880"));
    QCOMPARE(int(walk[1].valueTag), 0x43);
    QVERIFY(!walk[1].value.empty() && walk[1].value.size() <= 5);
    QVERIFY(walk[1].value.size() == 1 || walk[1].value[0] != 0 || (walk[1].value[1] & 0x80));   // minimal
    QCOMPARE(asText(walk[2].value), std::string("Storage administrator"));
    QCOMPARE(asText(walk[3].value), std::string("varnel-raid"));
    QCOMPARE(asText(walk[4].value), std::string("Machine room"));
    QCOMPARE(int(walk[5].valueTag), 0x02);
    QCOMPARE(walk[5].value, Bytes{72});

    // Past the last object, and a Get of an object the agent lacks: noSuchName, varbind as sent.
    for (const auto& request : {snmpMessage(0xA1, "kestro", oidOf(systemObject(7))),
                                snmpMessage(0xA0, "kestro", oidOf(systemObject(2))),
                                snmpMessage(0xA0, "kestro", oidOf(kSystem), {0x02, 0x01, 0x00}),
                                snmpMessage(0xA1, "kestro", oidOf({1, 3, 6, 1, 4, 1, 99999}))}) {
        const SnmpAnswer a = parseAnswer(ask(c, 0x1E, request));
        QVERIFY(a.valid);
        QCOMPARE(a.errorStatus, 2);
        QCOMPARE(a.errorIndex, 1);
        const size_t bindingAt = request.size() - (a.oid.size() + 2 + a.value.size());
        QCOMPARE(a.oid, Bytes(request.begin() + std::ptrdiff_t(bindingAt), request.end() - std::ptrdiff_t(2 + a.value.size())));
    }
    // GetNext from before the group starts at its first object.
    const SnmpAnswer first = parseAnswer(ask(c, 0x1E, snmpMessage(0xA1, "kestro", oidOf({1, 3}))));
    QCOMPARE(first.oid, oidOf(systemObject(1)));
}

void TestSimModel::snmpCommunityAndObjectsFromSetup()
{
    FakeController c(layoutConfig(1));
    putField(c, 72, "ops");
    putField(c, 73, "Ops desk, ext. 12");
    putField(c, 75, "array-01");
    QCOMPARE(letter(ask(c, 0x12, modelPayload("ZX-9"))), 'A');
    // Another community: no reply at all.
    const FakeController::Reply silent = c.handleFrame(command(0x1E, snmpMessage(0xA0, "kestro", oidOf(systemObject(1)))), "t");
    QVERIFY(silent.bytes.empty());
    QCOMPARE(c.framesReceived(0x1E), 1);
    QVERIFY(c.handleFrame(command(0x1E, snmpMessage(0xA0, "op", oidOf(systemObject(1)))), "t").bytes.empty());
    QCOMPARE(asText(parseAnswer(ask(c, 0x1E, snmpMessage(0xA0, "ops", oidOf(systemObject(1))))).value),
             std::string("Varnel RAID controller ZX-9"));
    QCOMPARE(asText(parseAnswer(ask(c, 0x1E, snmpMessage(0xA0, "ops", oidOf(systemObject(4))))).value),
             std::string("Ops desk, ext. 12"));
    QCOMPARE(asText(parseAnswer(ask(c, 0x1E, snmpMessage(0xA0, "ops", oidOf(systemObject(5))))).value),
             std::string("array-01"));
    // A field of 16 characters without NUL; back to empty: the default community.
    putField(c, 72, "ABCDEFGHIJKLMNOP");
    QVERIFY(parseAnswer(ask(c, 0x1E, snmpMessage(0xA0, "ABCDEFGHIJKLMNOP", oidOf(systemObject(7))))).valid);
    putField(c, 72, "");
    QVERIFY(parseAnswer(ask(c, 0x1E, snmpMessage(0xA0, zynconst::kDefaultCommunity, oidOf(systemObject(7))))).valid);
}

void TestSimModel::snmpMalformedRequests()
{
    FakeController c(configOf(Profile::Enclosure));
    const Bytes good = snmpMessage(0xA0, "kestro", oidOf(systemObject(7)));
    QVERIFY(parseAnswer(ask(c, 0x1E, good)).valid);
    // Every cut of a good request.
    for (size_t n = 0; n < good.size(); ++n)
        QCOMPARE(letter(ask(c, 0x1E, Bytes(good.begin(), good.begin() + std::ptrdiff_t(n)))), 'G');
    Bytes trailing = good;
    trailing.push_back(0);
    Bytes indefinite = good;
    indefinite[1] = 0x80;
    Bytes hugeLength = {0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0x00};
    Bytes fiveOctets = {0x30, 0x85, 0x00, 0x00, 0x00, 0x00, 0x03, 0x02, 0x01, 0x00};
    Bytes highTag = good;
    highTag[0] = 0x3F;
    const Bytes binding = tlv(0x30, cat({oidOf(systemObject(7)), {0x05, 0x00}}));
    const Bytes twoBindings = tlv(0x30, cat({tlv(0x02, {0}), tlv(0x04, {'k', 'e', 's', 't', 'r', 'o'}),
                                             tlv(0xA0, cat({tlv(0x02, {1}), tlv(0x02, {0}), tlv(0x02, {0}),
                                                            tlv(0x30, cat({binding, binding}))}))}));
    const Bytes noBinding = tlv(0x30, cat({tlv(0x02, {0}), tlv(0x04, {'k', 'e', 's', 't', 'r', 'o'}),
                                           tlv(0xA0, cat({tlv(0x02, {1}), tlv(0x02, {0}), tlv(0x02, {0}),
                                                          tlv(0x30, {})}))}));
    const Bytes cases[] = {
        trailing, indefinite, hugeLength, fiveOctets, highTag, twoBindings, noBinding,
        snmpMessage(0xA0, "kestro", oidOf(systemObject(7)), {0x05, 0x00}, 1),            // version 2c
        snmpMessage(0xA3, "kestro", oidOf(systemObject(7)), {0x02, 0x01, 0x05}),         // SetRequest
        snmpMessage(0xA2, "kestro", oidOf(systemObject(7))),                             // a response
        snmpMessage(0xA0, "kestro", oidOf(systemObject(7)), {0x04, 0x01, 'x'}),          // a string value
        snmpMessage(0xA0, "kestro", tlv(0x06, {0x2B, 0x80, 0x01})),                      // not minimal
        snmpMessage(0xA0, "kestro", tlv(0x06, {0x2B, 0x90, 0x80, 0x80, 0x80, 0x00})),    // 2^32
        snmpMessage(0xA0, "kestro", tlv(0x06, {0x2B, 0x86})),                            // cut short
        snmpMessage(0xA0, "kestro", tlv(0x06, {})),
        snmpMessage(0xA0, "kestro", tlv(0x04, {0x2B, 0x06})),                            // not an OID
    };
    for (const Bytes& request : cases)
        QCOMPARE(letter(ask(c, 0x1E, request)), 'G');
    // A wrong community in a malformed request still answers 'G'.
    QCOMPARE(letter(ask(c, 0x1E, snmpMessage(0xA3, "nobody", oidOf(systemObject(7))))), 'G');

    // The longest identifier taken: 128 components of 32 bits; one more is refused.
    std::vector<uint32_t> longest = {1, 3};
    longest.resize(128, 0xFFFFFFFFu);
    Bytes content(1, 0x2B);
    for (size_t i = 2; i < longest.size(); ++i)
        content.insert(content.end(), {0x8F, 0xFF, 0xFF, 0xFF, 0x7F});
    // 631 content bytes: long-form lengths, put together by hand.
    auto longTlv = [](uint8_t tag, const Bytes& body) {
        Bytes out(4 + body.size());
        out[0] = tag;
        out[1] = 0x82;
        out[2] = uint8_t(body.size() >> 8);
        out[3] = uint8_t(body.size());
        std::copy(body.begin(), body.end(), out.begin() + 4);
        return out;
    };
    auto message = [&](const Bytes& oidContent) {
        const Bytes bind = longTlv(0x30, cat({longTlv(0x06, oidContent), {0x05, 0x00}}));
        const Bytes pdu = longTlv(0xA1, cat({tlv(0x02, {7}), tlv(0x02, {0}), tlv(0x02, {0}), longTlv(0x30, bind)}));
        return longTlv(0x30, cat({tlv(0x02, {0}), tlv(0x04, {'k', 'e', 's', 't', 'r', 'o'}), pdu}));
    };
    const Bytes reply = ask(c, 0x1E, message(content));
    QVERIFY(reply.size() > 640 && reply.size() <= 1024);
    content.insert(content.end(), {0x8F, 0xFF, 0xFF, 0xFF, 0x7F});
    QCOMPARE(letter(ask(c, 0x1E, message(content))), 'G');
}

void TestSimModel::snmpMutatedRequestsStayBounded()
{
    FakeController c(configOf(Profile::Enclosure));
    const Bytes seeds[] = {snmpMessage(0xA0, "kestro", oidOf(systemObject(1))),
                           snmpMessage(0xA1, "kestro", oidOf(kSystem), {0x02, 0x01, 0x00})};
    std::srand(4711);
    int replies = 0, refusals = 0, silences = 0;
    for (int i = 0; i < 3000; ++i) {
        Bytes request = seeds[i % 2];
        for (int k = 1 + std::rand() % 3; k > 0; --k)
            request[size_t(std::rand()) % request.size()] = uint8_t(std::rand());
        const FakeController::Reply r = c.handleFrame(command(0x1E, request), "t");
        if (r.bytes.empty()) {
            ++silences;
            continue;
        }
        const Bytes data = replyData(r.bytes);
        QVERIFY(!data.empty() && data.size() <= 1024);
        if (data.size() == 1) {
            QCOMPARE(int(data[0]), int('G'));
            ++refusals;
        } else {
            QVERIFY2(parseAnswer(data).valid, frameHex(data).c_str());
            ++replies;
        }
    }
    QVERIFY(replies > 0 && refusals > 0 && silences > 0);
}

// ---------------------------------------------------------------------------------------------
// The web server through the frame entry (the front ends: test_simulator).

namespace {

// Sends `request` in 1024-byte pieces from `peer`; the reply frames (empty for no reply).
std::vector<Bytes> sendHttp(FakeController& c, const std::string& request, const std::string& peer = "p")
{
    std::vector<Bytes> replies;
    for (size_t at = 0; at < request.size(); at += 1024) {
        const std::string piece = request.substr(at, 1024);
        replies.push_back(c.handleFrame(command(0x16, Bytes(piece.begin(), piece.end())), "udp:t", peer).bytes);
    }
    return replies;
}

std::string echoRequest(size_t bodySize)
{
    return "POST /echo HTTP/1.1\r\nContent-Length: " + std::to_string(bodySize) + "\r\n\r\n"
         + std::string(bodySize, 'e');
}

std::string statusLineOf(const Bytes& frame)
{
    const Bytes data = replyData(frame);
    const std::string text(data.begin(), data.end());
    return text.substr(0, text.find("\r\n"));
}

} // namespace

void TestSimModel::httpShortAndLongForm()
{
    FakeController c(configOf(Profile::Enclosure));
    // An echo whose response is exactly 65534 bytes goes in the short form, one byte more in the long.
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: 65452\r\n\r\n";
    const size_t body = 65534 - head.size();
    std::vector<Bytes> replies = sendHttp(c, echoRequest(body));
    QVERIFY(std::all_of(replies.begin(), replies.end() - 1, [](const Bytes& r) { return r.empty(); }));
    const Bytes shortForm = replies.back();
    QCOMPARE(shortForm.size(), size_t(65534 + 6));
    QCOMPARE(int(shortForm[3] | shortForm[4] << 8), 65534);
    const Bytes data = replyData(shortForm);
    QCOMPARE(std::string(data.begin(), data.begin() + std::ptrdiff_t(head.size())), head);

    const Bytes longForm = sendHttp(c, echoRequest(body + 1)).back();
    QCOMPARE(longForm.size(), size_t(65535 + 6));
    QCOMPARE(Bytes(longForm.begin(), longForm.begin() + 8), (Bytes{0x5E, 0x01, 0x61, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));
    QCOMPARE(std::string(longForm.begin() + 8, longForm.begin() + 20), std::string("P/1.1 200 OK"));
    QCOMPARE(int(longForm.back()), int(zynsim::frame::checksum(longForm.data(), 3, longForm.size() - 1)));
}

void TestSimModel::httpRequestsAndRefusals()
{
    FakeController c(configOf(Profile::Enclosure));
    QCOMPARE(letter(ask(c, 0x16)), 'G');
    QCOMPARE(letter(ask(c, 0x16, Bytes(1025, 'x'))), 'G');
    // Headers first, the body later; pieces of two senders kept apart.
    QVERIFY(sendHttp(c, "POST /echo HTTP/1.1\r\nContent-Length: 4\r\n\r\n", "a")[0].empty());
    QVERIFY(sendHttp(c, "POST /echo HTTP/1.1\r\nContent-Length: 2\r\n\r\n", "b")[0].empty());
    QCOMPARE(statusLineOf(sendHttp(c, "ok", "b")[0]), std::string("HTTP/1.1 200 OK"));
    QVERIFY(sendHttp(c, "ab", "a")[0].empty());
    const Bytes echoed = replyData(sendHttp(c, "cdXYZ", "a")[0]);   // bytes past the body are dropped
    QVERIFY(std::string(echoed.begin(), echoed.end()).find("\r\n\r\nabcd") != std::string::npos);
    QCOMPARE(c.lastHttpRequest(), std::string("POST /echo HTTP/1.1\r\nContent-Length: 4\r\n\r\nabcd"));

    QCOMPARE(statusLineOf(sendHttp(c, "POST /echo HTTP/1.1\r\nContent-Length: 1x\r\n\r\n")[0]),
             std::string("HTTP/1.1 400 Bad Request"));
    QCOMPARE(statusLineOf(sendHttp(c, "GET /\r\n\r\n")[0]), std::string("HTTP/1.1 400 Bad Request"));
    QCOMPARE(statusLineOf(sendHttp(c, "POST /echo HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n")[0]),
             std::string("HTTP/1.1 413 Payload Too Large"));
    QCOMPARE(statusLineOf(sendHttp(c, "PUT / HTTP/1.1\r\n\r\n")[0]), std::string("HTTP/1.1 404 Not Found"));
    // Headers without their end: refused after 16 KiB, and the next request starts afresh.
    const std::vector<Bytes> endless = sendHttp(c, "GET / HTTP/1.1\r\n" + std::string(17 * 1024 - 16, 'h'));
    QCOMPARE(endless.size(), size_t(17));
    QVERIFY(std::all_of(endless.begin(), endless.end() - 1, [](const Bytes& r) { return r.empty(); }));
    QCOMPARE(statusLineOf(endless.back()), std::string("HTTP/1.1 431 Request Header Fields Too Large"));
    QCOMPARE(statusLineOf(sendHttp(c, "GET / HTTP/1.1\r\n\r\n")[0]), std::string("HTTP/1.1 200 OK"));
}

// ---------------------------------------------------------------------------------------------

namespace {

Bytes le32(uint32_t v)
{
    Bytes b(4);
    zynwire::putU32(b.data(), v);
    return b;
}

Bytes le64(uint64_t v)
{
    Bytes b(8);
    zynwire::putU64(b.data(), v);
    return b;
}

Bytes field16(const std::string& text, uint8_t fill)
{
    Bytes b(16, fill);
    std::copy(text.begin(), text.end(), b.begin());
    return b;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// 0x50, enclosure form: count, 0 0 0, name, mode, {enclosure, slot} each.
Bytes raidSetList(const std::vector<std::pair<int, int>>& disks, const std::string& name)
{
    Bytes p = join({{uint8_t(disks.size()), 0, 0, 0}, field16(name, 0), {0}});
    for (const auto& d : disks)
        p.insert(p.end(), {uint8_t(d.first), uint8_t(d.second)});
    return p;
}

// 0x60: raid set, name, blocks, level, stripe code, channel 0, id, lun, tagged 1, cache 0, 4,
// foreground initialisation, encryption, zeros.
Bytes newVolume(uint8_t raid, const std::string& name, uint64_t blocks, uint8_t level, uint8_t stripe, uint8_t id,
                uint8_t lun = 0, uint8_t encryption = 0)
{
    return join({{raid}, field16(name, 0), le64(blocks), {level, stripe, 0, id, lun, 1, 0, 4, 1, encryption},
                 Bytes(6, 0)});
}

// 0x61: volume, name (empty: zeros), blocks (0: kept), level, stripe code, address {0, id, lun, 1, 0, 4}.
Bytes volumeChange(uint8_t volume, const std::string& name, uint64_t blocks, uint8_t level, uint8_t stripe, uint8_t id)
{
    return join({{volume}, field16(name, 0), le64(blocks), {level, stripe, 0, id, 0, 1, 0, 4}, Bytes(4, 0)});
}

// Every record and event of the controller: a refused command must leave it as it was.
Bytes stateOf(FakeController& c)
{
    Bytes all;
    auto add = [&all](const Bytes& b) { all.insert(all.end(), b.begin(), b.end()); };
    for (int i = 0; i < 128; ++i) {
        add(bytesOf(c.raidSet(i)));
        add(c.volumeReply(i));
    }
    for (const auto& a : slotsOf(c))
        add(bytesOf(c.disk(a.first, a.second)));
    for (const sEVET_DATA& e : c.events())
        add(bytesOf(e));
    return all;
}

#define REFUSED(c, code, payload, want)                                                              \
    do {                                                                                             \
        const Bytes before_ = stateOf(c);                                                            \
        QCOMPARE(letter(ask(c, code, payload)), want);                                               \
        QVERIFY2(stateOf(c) == before_, "a refused command changed the model");                      \
    } while (0)

// Free units (512 blocks on each member) of the raid set's first segment; -1 without one.
int64_t freeUnits(FakeController& c, int raid)
{
    const sGUI_RAIDSET r = c.raidSet(raid);
    return r.freeSegmentCount() > 0 ? int64_t(r.freeSegment(0)) : -1;
}

FakeController* withDisks(FakeController* c, const std::vector<std::pair<int, int>>& disks, uint64_t blocks = 1000000)
{
    for (const auto& d : disks)
        c->addDisk(d.first, d.second, "M", "S" + std::to_string(d.first) + std::to_string(d.second), blocks);
    return c;
}

} // namespace

void TestSimModel::raidSetCommands()
{
    FakeController c(configOf(Profile::Older));
    withDisks(&c, {{0, 0}, {0, 2}, {0, 3}, {0, 4}, {0, 5}});
    QVERIFY(c.addDisk(0, 1, "M", "S01", 1200000));
    const size_t mark = c.events().size();
    // Older form: drive mask and a blank-filled name, trailing blanks dropped.
    QCOMPARE(letter(ask(c, 0x50, join({le32(0x07), field16("Alpha", ' ')}))), 'A');
    Bytes r = ask(c, 0x20, {0});
    QCOMPARE(text(r, 0, 16), std::string("Alpha"));
    QCOMPARE(zynwire::getU64(r.data() + 16), uint64_t(1000000));
    QCOMPARE(Bytes(r.begin() + 28, r.begin() + 32), Bytes({0, 1, 2, 0}));
    QCOMPARE(int(r[61]), 3);
    QCOMPARE(int(r[62]), 0x05);
    QCOMPARE(int(r[63]), 0);
    QCOMPARE(int(r[83]), 1);
    QCOMPARE(u32(r, 84), 1000000u / 512);
    for (int ch = 0; ch < 3; ++ch) {
        QCOMPARE(int(c.disk(0, ch).stateLow()), 0x88);
        QCOMPARE(int(c.disk(0, ch).raidSet()), 0);
    }
    // No name: the controller's, blank-padded, at the lowest free number.
    QCOMPARE(letter(ask(c, 0x50, join({le32(0x08), field16("", 0)}))), 'A');
    QCOMPARE(c.raidSet(1).name(), std::string("Raid Set # 001  "));
    REFUSED(c, 0x50, join({le32(0x11), field16("X", ' ')}), 'F');          // channel 0 is a member
    REFUSED(c, 0x50, join({le32(1u << 9), field16("X", ' ')}), 'F');       // no disk there
    REFUSED(c, 0x50, join({le32(1u << 20), field16("X", ' ')}), 'F');      // no such channel
    REFUSED(c, 0x50, join({le32(0), field16("X", ' ')}), 'G');
    REFUSED(c, 0x50, Bytes(19, 0), 'G');
    REFUSED(c, 0x50, raidSetList({{0, 4}}, "X"), 'G');                       // not this family's form
    COMPARE_EVENTS(eventKeys(c, mark), {{1, 0, "Alpha"}, {1, 0, "Raid Set # 001  "}});

    // Deleting: its volume sets go first, each with its event, then the raid set; its dedicated
    // spare is freed with it. Another raid set's volume stays.
    QCOMPARE(c.createVolumeSet(0, "V", 1000, 0, 128), 0);
    QCOMPARE(c.createVolumeSet(1, "W1", 1000, 0, 128), 1);
    QCOMPARE(c.createVolumeSet(1, "W2", 1000, 0, 128), 2);
    QVERIFY(c.setHotSpare(0, 4, 1, 1));
    REFUSED(c, 0x51, Bytes{5}, 'D');
    REFUSED(c, 0x51, Bytes(), 'G');
    const size_t deleted = c.events().size();
    QCOMPARE(letter(ask(c, 0x51, {1})), 'A');
    QVERIFY(!c.raidSet(1).exists());
    QVERIFY(!c.volumeSet(1).exists() && !c.volumeSet(2).exists());
    QVERIFY(c.volumeSet(0).exists());
    QCOMPARE(int(c.disk(0, 3).stateLow()), 0x40);
    QCOMPARE(int(c.disk(0, 3).raidSet()), 255);
    QCOMPARE(int(c.disk(0, 4).stateLow()), 0x40);
    COMPARE_EVENTS(eventKeys(c, deleted),
                   {{2, 9, "W1"}, {2, 9, "W2"}, {1, 1, "Raid Set # 001  "}, {6, 31, "Channel#05"}});

    // Offline clears bit 0 of the state flags, activation sets 0x05 even with a member missing.
    QCOMPARE(letter(ask(c, 0x56, {0})), 'A');
    QCOMPARE(int(c.raidSet(0).stateFlags()), 0x04);
    REFUSED(c, 0x60, newVolume(0, "W", 1000, 0, 0, 7), 'B');   // an offline raid set is not normal
    QCOMPARE(letter(ask(c, 0x53, {0})), 'A');
    QVERIFY(c.failDisk(0, 1));
    QCOMPARE(c.raidSet(0).degraded(), 0x2u);
    QCOMPARE(int(c.raidSet(0).stateFlags()), 0x05);
    REFUSED(c, 0x53, Bytes{3}, 'D');
    checkConsistent(c);

    // Changing commands need a log-in in password mode.
    c.setPasswordRequired(true);
    REFUSED(c, 0x50, join({le32(0x08), field16("", 0)}), 'M');

    // Enclosure form: {enclosure, slot} pairs, a zero-filled name; 0x57 marks it self-encrypting.
    FakeController e(configOf(Profile::Enclosure));
    withDisks(&e, {{0, 0}, {0, 1}, {0, 2}, {1, 0}});
    QCOMPARE(letter(ask(e, 0x50, raidSetList({{1, 0}, {0, 2}}, "Shelf"))), 'A');
    r = ask(e, 0x20, {0});
    QCOMPARE(text(r, 0, 16), std::string("Shelf"));
    QCOMPARE(Bytes(r.begin() + 28, r.begin() + 30), Bytes({0, 2}));
    QCOMPARE(Bytes(r.begin() + 240, r.begin() + 242), Bytes({1, 0}));
    QCOMPARE(zynwire::getU16(r.data() + 80), uint16_t(0));
    Bytes wrongCount = raidSetList({{0, 0}, {0, 1}}, "X");
    wrongCount[0] = 3;
    REFUSED(e, 0x50, wrongCount, 'G');
    REFUSED(e, 0x50, raidSetList({}, "X"), 'G');
    std::vector<std::pair<int, int>> many(33, {0, 0});
    REFUSED(e, 0x50, raidSetList(many, "X"), 'G');
    Bytes notZero = raidSetList({{0, 0}}, "X");
    notZero[2] = 1;
    REFUSED(e, 0x50, notZero, 'G');
    REFUSED(e, 0x50, raidSetList({{0, 0}, {0, 0}}, "X"), 'G');
    REFUSED(e, 0x50, raidSetList({{0, 0}, {3, 0}}, "X"), 'F');
    QCOMPARE(letter(ask(e, 0x57, raidSetList({{0, 0}, {0, 1}}, "Sealed"))), 'A');
    QCOMPARE(e.raidSet(1).flags(), uint16_t(0x1000));
    checkConsistent(e);
}

void TestSimModel::volumeSpaceByLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("members");
    QTest::addColumn<qulonglong>("blocks");
    QTest::addColumn<int>("units");   // per member: ceil(blocks on each member / 512)
    QTest::newRow("raid0 of 4") << 0 << 4 << 1000000ull << 489;      // 250000
    QTest::newRow("raid1+0 of 4") << 1 << 4 << 1000000ull << 977;    // 500000
    QTest::newRow("raid1+0 of 3") << 1 << 3 << 999999ull << 1303;    // 666666
    QTest::newRow("raid3 of 4") << 2 << 4 << 900000ull << 586;       // 300000
    QTest::newRow("raid5 of 3") << 3 << 3 << 1000001ull << 977;      // 500001
    QTest::newRow("raid6 of 4") << 4 << 4 << 900000ull << 879;       // 450000
    QTest::newRow("raid6 of 3") << 4 << 3 << 400000ull << 782;       // 400000
}

void TestSimModel::volumeSpaceByLevel()
{
    QFETCH(int, level);
    QFETCH(int, members);
    QFETCH(qulonglong, blocks);
    QFETCH(int, units);
    ControllerConfig config = configOf(Profile::Enclosure);
    config.raid6 = true;   // the Raid6 rows
    FakeController c(config);
    std::vector<std::pair<int, int>> disks;
    for (int s = 0; s < members; ++s)
        disks.emplace_back(0, s);
    withDisks(&c, disks);
    QCOMPARE(c.createRaidSet("R", disks), 0);
    QCOMPARE(freeUnits(c, 0), int64_t(1953));
    QCOMPARE(letter(ask(c, 0x60, newVolume(0, "V", blocks, uint8_t(level), 4, 1))), 'A');
    QCOMPARE(freeUnits(c, 0), int64_t(1953 - units));
    QCOMPARE(c.volumeSet(0).capacity(), uint64_t(blocks));
    QCOMPARE(c.volumeSet(0).memberCount(), members);
    QCOMPARE(letter(ask(c, 0x62, {0})), 'A');
    QCOMPARE(freeUnits(c, 0), int64_t(1953));
}

void TestSimModel::volumeCreation()
{
    FakeController c(configOf(Profile::Enclosure));
    withDisks(&c, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}});
    QVERIFY(c.addDisk(1, 0, "M", "P", 2000000));
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}, {0, 2}}), 0);
    QCOMPARE(c.createRaidSet("One", {{0, 3}}), 1);
    QCOMPARE(c.setPassThrough(1, 0), 0);   // raid set 2
    const size_t mark = c.events().size();
    QCOMPARE(letter(ask(c, 0x60, newVolume(0, "Data", 100000, 3, 4, 1, 2, 1))), 'A');
    const Bytes v = ask(c, 0x21, {1});
    QCOMPARE(text(v, 0, 16), std::string("Data"));
    QCOMPARE(zynwire::getU64(v.data() + 16), uint64_t(100000));
    QCOMPARE(u32(v, 36), 128u);                                   // 8 << 4
    QCOMPARE(u32(v, 40), 0x1u);
    QCOMPARE(u32(v, 44), 0u);
    QCOMPARE(Bytes(v.begin() + 48, v.begin() + 54), Bytes({0, 1, 2, 1, 0, 4}));
    QCOMPARE(int(v[56]), 3);
    QCOMPARE(int(v[57]), 3);
    QCOMPARE(int(v[58]), 0);
    QCOMPARE(u32(v, 64), 0x40008000u);                            // encrypted, unlocked
    QCOMPARE(int(v[85]), 1);
    const Bytes r = ask(c, 0x20, {0});
    QCOMPARE(int(r[63]), 1);
    QCOMPARE(int(r[64]), 1);
    QCOMPARE(u32(r, 84), 1953u - 98);                             // 50000 blocks on each
    COMPARE_EVENTS(eventKeys(c, mark), {{2, 8, "Data"}, {2, 0, "Data"}});
    // Locking clears the unlocked flag.
    QCOMPARE(letter(ask(c, 0x66, {1})), 'A');
    QCOMPARE(c.volumeSet(1).flags(), 0x8000u);
    REFUSED(c, 0x66, Bytes{9}, 'E');

    REFUSED(c, 0x60, newVolume(5, "W", 1000, 0, 4, 7), 'D');
    REFUSED(c, 0x60, newVolume(2, "W", 1000, 0, 4, 7), 'D');     // the pass-through disk's
    REFUSED(c, 0x60, newVolume(1, "W", 1000, 3, 4, 7), 'G');     // Raid5 of one disk
    REFUSED(c, 0x60, newVolume(0, "W", 1000, 5, 4, 7), 'G');
    REFUSED(c, 0x60, newVolume(0, "W", 1000, 3, 9, 7), 'G');
    REFUSED(c, 0x60, newVolume(0, "W", 0, 3, 4, 7), 'G');
    REFUSED(c, 0x60, newVolume(0, "W", 1000, 3, 4, 1, 2), 'G');  // channel/id/lun in use
    Bytes tail = newVolume(0, "W", 1000, 3, 4, 7);
    tail[36] = 1;
    REFUSED(c, 0x60, tail, 'G');
    REFUSED(c, 0x60, Bytes(tail.begin(), tail.end() - 1), 'G');
    // A request above the free space (the console's 1,024,000 GB default here) is cut to it;
    // a raid set without free space refuses.
    const uint64_t most = 1953ull * 512;
    QCOMPARE(letter(ask(c, 0x60, newVolume(1, "", 2000000000000ull, 0, 4, 7))), 'A');
    QCOMPARE(c.volumeSet(2).capacity(), most);
    QCOMPARE(c.volumeSet(2).name(), std::string("Volume---VOL#002"));
    QCOMPARE(c.raidSet(1).freeSegmentCount(), 0);
    REFUSED(c, 0x60, newVolume(1, "W", 1, 0, 4, 8), 'K');
    // A degraded raid set takes none.
    QVERIFY(c.failDisk(0, 2));
    REFUSED(c, 0x60, newVolume(0, "W", 1000, 3, 4, 7), 'B');
    checkConsistent(c);
}

void TestSimModel::volumeChangesChecksAndProgress()
{
    ControllerConfig config = configOf(Profile::Enclosure);
    config.raid6 = true;   // the change to Raid6
    FakeController c(config);
    withDisks(&c, {{0, 0}, {0, 1}, {0, 2}});
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}, {0, 2}}), 0);
    QCOMPARE(letter(ask(c, 0x60, newVolume(0, "V", 100000, 3, 4, 1))), 'A');
    const size_t mark = c.events().size();
    QVERIFY(c.advanceProgress(0, 999));
    QCOMPARE(c.volumeSet(0).progress(), 999u);
    QVERIFY(c.advanceProgress(0, 5));
    QCOMPARE(c.volumeSet(0).state(), 0u);
    QCOMPARE(c.volumeSet(0).progress(), 0u);
    QVERIFY(!c.advanceProgress(0, 1));

    // A level and stripe change migrates; the name field of zeros keeps the name.
    QCOMPARE(letter(ask(c, 0x61, volumeChange(0, "", 0, 4, 5, 1))), 'A');
    sGUI_VOLUMESET v = c.volumeSet(0);
    QCOMPARE(v.name(), std::string("V"));
    QCOMPARE(int(v.raidLevel()), 4);
    QCOMPARE(v.stripe(), 256u);
    QCOMPARE(v.state(), 0x4u);
    QCOMPARE(freeUnits(c, 0), int64_t(1953 - 196));            // Raid6 of 3: all 100000 on each
    REFUSED(c, 0x63, (Bytes{0, 0, 1}), 'B');                     // not while migrating
    c.advanceAll(600);
    c.advanceAll(600);
    QCOMPARE(c.volumeSet(0).state(), 0u);
    // A new name and a larger capacity: the space is taken, nothing migrates.
    QCOMPARE(letter(ask(c, 0x61, volumeChange(0, "Renamed", 200000, 4, 5, 1))), 'A');
    QCOMPARE(c.volumeSet(0).capacity(), uint64_t(200000));
    QCOMPARE(c.volumeSet(0).state(), 0u);
    QCOMPARE(freeUnits(c, 0), int64_t(1953 - 391));
    REFUSED(c, 0x61, volumeChange(0, "", 100000, 4, 5, 1), 'G');   // no shrinking
    REFUSED(c, 0x61, volumeChange(0, "", 3000000, 4, 5, 1), 'K');
    REFUSED(c, 0x61, volumeChange(9, "", 0, 4, 5, 1), 'E');
    REFUSED(c, 0x61, volumeChange(0, "", 0, 4, 9, 1), 'G');
    const Bytes change = volumeChange(0, "", 0, 4, 5, 1);
    REFUSED(c, 0x61, Bytes(change.begin(), change.end() - 1), 'G');

    // A check runs to its end, or is stopped.
    QCOMPARE(letter(ask(c, 0x63, {0, 0, 1})), 'A');
    QCOMPARE(c.volumeSet(0).state(), 0x100u);
    QVERIFY(c.advanceProgress(0, 1000));
    QCOMPARE(c.volumeSet(0).state(), 0u);
    QCOMPARE(letter(ask(c, 0x63, {0, 1, 0})), 'A');
    QCOMPARE(letter(ask(c, 0x64)), 'A');
    QCOMPARE(c.volumeSet(0).state(), 0u);
    REFUSED(c, 0x64, Bytes{0}, 'G');
    REFUSED(c, 0x63, (Bytes{9, 0, 0}), 'E');
    REFUSED(c, 0x63, (Bytes{0, 2, 0}), 'G');
    COMPARE_EVENTS(eventKeys(c, mark), {{2, 4, "V"}, {2, 10, "V"}, {2, 6, "V"}, {2, 10, "Renamed"},
                                        {2, 3, "Renamed"}, {2, 7, "Renamed"}, {2, 3, "Renamed"},
                                        {2, 21, "Renamed"}});

    // Deleting gives the space back; the next volume takes the lowest free number.
    QCOMPARE(letter(ask(c, 0x62, {0})), 'A');
    QVERIFY(!c.volumeSet(0).exists());
    QCOMPARE(c.raidSet(0).volumeCount(), 0);
    QCOMPARE(freeUnits(c, 0), int64_t(1953));
    QCOMPARE(c.events().back().code(), uint8_t(9));
    REFUSED(c, 0x62, Bytes{0}, 'E');
    QCOMPARE(letter(ask(c, 0x60, newVolume(0, "Again", 1000, 0, 4, 1))), 'A');
    QVERIFY(c.volumeSet(0).exists());
    checkConsistent(c);
}

void TestSimModel::nestedVolumeCommand()
{
    FakeController c(configOf(Profile::Enclosure));
    withDisks(&c, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}});
    QCOMPARE(c.createRaidSet("A", {{0, 0}, {0, 1}, {0, 2}}), 0);
    QCOMPARE(c.createRaidSet("B", {{0, 3}, {0, 4}, {0, 5}}), 1);
    // count, raid sets, name, blocks, level, stripe code, address, flags, encryption.
    auto nested = [](std::vector<uint8_t> raids, uint64_t blocks) {
        const uint8_t count = uint8_t(raids.size());
        raids.resize(8, 0);
        return join({{count}, Bytes(raids.begin(), raids.end()), field16("Nest", 0), le64(blocks),
                     {3, 4, 0, 3, 0, 1, 1, 4, 3, 0}});
    };
    const size_t mark = c.events().size();
    QCOMPARE(letter(ask(c, 0x65, nested({0, 1}, 400000))), 'A');
    const Bytes n = ask(c, 0x21, {0});
    QCOMPARE(u32(n, 64), 0x100000u);
    QCOMPARE(zynwire::getU64(n.data() + 16), uint64_t(400000));
    QCOMPARE(int(n[57]), 3);
    QCOMPARE(Bytes(n.begin() + 68, n.begin() + 70), Bytes({1, 2}));
    QCOMPARE(int(n[84]), 2);
    for (int m = 1; m <= 2; ++m) {
        const Bytes member = ask(c, 0x21, {uint8_t(m)});
        QCOMPARE(u32(member, 64), 0x100u);
        QCOMPARE(int(member[58]), m - 1);
        QCOMPARE(zynwire::getU64(member.data() + 16), uint64_t(200000));
        QCOMPARE(c.raidSet(m - 1).volumeCount(), 1);
        QCOMPARE(int(c.raidSet(m - 1).volumeNumber(0)), m);
        QCOMPARE(freeUnits(c, m - 1), int64_t(1953 - 196));
    }
    COMPARE_EVENTS(eventKeys(c, mark), {{2, 8, "Nest"}});
    checkConsistent(c);

    REFUSED(c, 0x65, nested({0}, 1000), 'G');
    REFUSED(c, 0x65, nested({0, 0}, 1000), 'G');
    REFUSED(c, 0x65, nested({0, 7}, 1000), 'D');
    REFUSED(c, 0x62, Bytes{1}, 'G');                           // a member goes with its nested volume
    // Deleting removes the members too, with one event.
    QCOMPARE(letter(ask(c, 0x62, {0})), 'A');
    for (int m = 0; m < 3; ++m)
        QVERIFY(!c.volumeSet(m).exists());
    QCOMPARE(freeUnits(c, 0), int64_t(1953));
    COMPARE_EVENTS(eventKeys(c, mark + 1), {{2, 9, "Nest"}});

    // A larger request is cut to the even share the raid sets hold (Raid5 over three members of
    // 1953 units: 1999872 blocks each); with no free space left it is refused.
    QCOMPARE(letter(ask(c, 0x65, nested({0, 1}, 8000000))), 'A');
    QCOMPARE(zynwire::getU64(ask(c, 0x21, {0}).data() + 16), uint64_t(2 * 1999872));
    QCOMPARE(freeUnits(c, 0), int64_t(-1));
    QCOMPARE(freeUnits(c, 1), int64_t(-1));
    REFUSED(c, 0x65, nested({0, 1}, 1000), 'K');
    checkConsistent(c);

    FakeController o(configOf(Profile::Older));
    REFUSED(o, 0x65, nested({0, 1}, 1000), 'H');
}

void TestSimModel::expandRaidSet()
{
    FakeController c(configOf(Profile::Older));
    withDisks(&c, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}});
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}, {0, 2}}), 0);
    QCOMPARE(c.createVolumeSet(0, "V", 600000, 3, 128), 0);
    QVERIFY(c.setVolumeState(0, 0, 0));
    QCOMPARE(c.createVolumeSet(0, "W", 30000, 0, 128), 1);
    QCOMPARE(freeUnits(c, 0), int64_t(1953 - 586 - 20));      // 300000 and 10000 on each
    // Older form: raid set, drive mask, {1, level, stripe code} at 5 + 3v.
    auto expand = [](uint8_t raid, uint32_t mask, uint8_t volume, uint8_t lead) {
        Bytes p = join({{raid}, le32(mask), Bytes(52, 0)});
        if (lead != 0) {
            p[5 + 3 * volume] = lead;
            p[6 + 3 * volume] = 3;
            p[7 + 3 * volume] = 6;
        }
        return p;
    };
    REFUSED(c, 0x52, expand(0, 0x01, 0, 1), 'F');
    REFUSED(c, 0x52, expand(0, 0, 0, 1), 'G');
    REFUSED(c, 0x52, expand(3, 0x08, 0, 1), 'D');
    REFUSED(c, 0x52, expand(0, 0x08, 0, 2), 'G');
    REFUSED(c, 0x52, expand(0, 0x08, 5, 1), 'E');
    const Bytes good = expand(0, 0x08, 0, 1);
    REFUSED(c, 0x52, Bytes(good.begin(), good.end() - 1), 'G');
    const size_t mark = c.events().size();
    QCOMPARE(letter(ask(c, 0x52, good)), 'A');
    const sGUI_RAIDSET r = c.raidSet(0);
    QCOMPARE(r.memberCount(), 4);
    QCOMPARE(int(r.memberSlot(3)), 3);
    QCOMPARE(int(c.disk(0, 3).stateLow()), 0x88);
    // Both laid out afresh over four: 200000 and 7500 on each, one free segment behind them.
    QCOMPARE(c.raidSet(0).freeSegmentCount(), 1);
    QCOMPARE(freeUnits(c, 0), int64_t(1953 - 391 - 15));
    QCOMPARE(c.volumeSet(1).memberCount(), 4);
    QCOMPARE(c.volumeSet(1).state(), 0x1u);                    // still initialising, not migrating
    const sGUI_VOLUMESET v = c.volumeSet(0);
    QCOMPARE(v.memberCount(), 4);
    QCOMPARE(v.stripe(), 512u);
    QCOMPARE(v.state(), 0x4u);
    QCOMPARE(v.progress(), 0u);
    COMPARE_EVENTS(eventKeys(c, mark), {{1, 2, "R"}});
    REFUSED(c, 0x52, expand(0, 0x10, 0, 0), 'B');              // still migrating
    checkConsistent(c);

    // Enclosure form: raid set, count, 0 0 0, pairs from 5, triples from 69.
    FakeController e(configOf(Profile::Enclosure));
    withDisks(&e, {{0, 0}, {0, 1}, {1, 0}});
    QCOMPARE(e.createRaidSet("E", {{0, 0}, {0, 1}}), 0);
    Bytes p(1023, 0);
    p[1] = 1;
    p[5] = 1;
    REFUSED(e, 0x52, Bytes(p.begin(), p.end() - 1), 'G');
    p[7] = 1;
    REFUSED(e, 0x52, p, 'G');                                   // past the pairs: zeros
    p[7] = 0;
    QCOMPARE(letter(ask(e, 0x52, p)), 'A');
    QCOMPARE(int(e.raidSet(0).memberEnclosure(2)), 1);
}

void TestSimModel::hotSpareCommands()
{
    FakeController c(configOf(Profile::Enclosure));
    withDisks(&c, {{0, 0}, {0, 1}, {0, 3}, {0, 4}, {0, 5}});
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}}), 0);
    const size_t mark = c.events().size();
    const Bytes dedicated = {0xFF, 0xFF, 0xFF, 0xFF, 0, 3, 1, 0, 0};
    QCOMPARE(letter(ask(c, 0x54, dedicated)), 'A');
    const Bytes d = ask(c, 0x22, {3, 0});
    QCOMPARE(int(d[76]), 0x20);
    QCOMPARE(int(d[80]), 1);
    QCOMPARE(int(d[81]), 255);
    QCOMPARE(zynwire::getU16(d.data() + 272), uint16_t(0));
    QCOMPARE(letter(ask(c, 0x54, {0xFF, 0xFF, 0xFF, 0xFF, 0, 4, 2, 9, 9})), 'A');
    QCOMPARE(int(c.disk(0, 4).spareKind()), 2);
    QCOMPARE(letter(ask(c, 0x54, le32(0x20))), 'A');            // mask form: global spares
    QCOMPARE(int(c.disk(0, 5).stateLow()), 0x20);
    QCOMPARE(int(c.disk(0, 5).spareKind()), 0);
    REFUSED(c, 0x54, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0}), 'F');   // a member
    REFUSED(c, 0x54, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 7, 0, 0, 0}), 'F');   // empty slot
    REFUSED(c, 0x54, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 1, 9, 0}), 'D');
    REFUSED(c, 0x54, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 3, 0, 0}), 'G');
    REFUSED(c, 0x54, (Bytes{0xFF, 0xFF, 0xFF, 0, 0, 1, 0, 0, 0}), 'G');
    REFUSED(c, 0x54, Bytes(dedicated.begin(), dedicated.end() - 1), 'G');

    // Deleting: the client's list length, only bytes 4 and 5 count.
    QCOMPARE(letter(ask(c, 0x55, {0xFF, 0xFF, 0xFF, 0xFF, 0, 3, 0, 0, 0, 0})), 'A');
    QCOMPARE(int(c.disk(0, 3).stateLow()), 0x40);
    REFUSED(c, 0x55, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 3}), 'F');
    REFUSED(c, 0x55, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 4, 1, 0}), 'G');
    REFUSED(c, 0x55, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0}), 'G');
    QCOMPARE(letter(ask(c, 0x55, le32(0x20))), 'A');
    COMPARE_EVENTS(eventKeys(c, mark), {{6, 30, "Enc#1 Slot#04"}, {6, 30, "Enc#1 Slot#05"}, {6, 30, "Enc#1 Slot#06"},
                                        {6, 31, "Enc#1 Slot#04"}, {6, 31, "Enc#1 Slot#06"}});

    FakeController o(configOf(Profile::Older));
    withDisks(&o, {{0, 2}, {0, 3}});
    REFUSED(o, 0x54, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 0, 0, 0}), 'G');
    REFUSED(o, 0x54, le32(0x0D), 'F');                           // channel 0 has no disk
    QCOMPARE(letter(ask(o, 0x54, le32(0x0C))), 'A');
    QCOMPARE(int(o.disk(0, 3).stateLow()), 0x20);
}

void TestSimModel::passThroughCommands()
{
    FakeController c(configOf(Profile::Enclosure));
    withDisks(&c, {{0, 0}, {0, 1}, {0, 2}});
    QVERIFY(c.addDisk(1, 0, "M", "P", 2000000));
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}}), 0);
    const size_t mark = c.events().size();
    QCOMPARE(letter(ask(c, 0x40, {1, 0, 0, 5, 3, 1, 0, 4})), 'A');
    QCOMPARE(int(c.disk(1, 0).stateLow()), 0x8A);
    QCOMPARE(int(c.disk(1, 0).raidSet()), 1);
    const Bytes r = ask(c, 0x20, {1});
    QCOMPARE(int(r[61]), 1);
    QCOMPARE(int(r[62]), 0x80);
    QCOMPARE(int(r[63]), 1);
    QCOMPARE(int(r[64]), 0);
    QCOMPARE(int(r[240]), 1);
    const Bytes v = ask(c, 0x21, {0});
    QCOMPARE(int(v[57]), 5);
    QCOMPARE(int(v[58]), 1);
    QCOMPARE(Bytes(v.begin() + 48, v.begin() + 54), Bytes({0, 5, 3, 1, 0, 4}));
    QCOMPARE(zynwire::getU64(v.data() + 16), uint64_t(2000000));
    REFUSED(c, 0x40, (Bytes{0, 0, 0, 6, 0, 1, 0, 4}), 'F');       // a member
    REFUSED(c, 0x40, (Bytes{1, 5, 0, 6, 0, 1, 0, 4}), 'F');       // empty slot
    REFUSED(c, 0x40, (Bytes{0, 2, 0, 0xFF, 0, 1, 0, 4}), 'G');
    REFUSED(c, 0x40, (Bytes{0, 2, 0, 5, 3, 1, 0, 4}), 'G');       // address in use
    REFUSED(c, 0x40, (Bytes{0, 2, 0, 6, 0, 1, 0}), 'G');
    QCOMPARE(letter(ask(c, 0x41, {1, 0, 0, 6, 3, 1, 1, 4})), 'A');
    const Bytes changed = c.volumeReply(0);
    QCOMPARE(Bytes(changed.begin() + 48, changed.begin() + 54), Bytes({0, 6, 3, 1, 1, 4}));
    REFUSED(c, 0x41, (Bytes{0, 2, 0, 7, 0, 1, 0, 4}), 'F');
    checkConsistent(c);
    QCOMPARE(letter(ask(c, 0x42, {1, 0})), 'A');
    QCOMPARE(int(c.disk(1, 0).stateLow()), 0x40);
    QVERIFY(!c.raidSet(1).exists());
    QVERIFY(!c.volumeSet(0).exists());
    REFUSED(c, 0x42, (Bytes{1, 0}), 'F');
    COMPARE_EVENTS(eventKeys(c, mark), {{3, 10, "Enc#2 Slot#01"}, {3, 11, "Enc#2 Slot#01"}, {3, 12, "Enc#2 Slot#01"}});

    // Older family: {drive, 6 settings}, or with a zero after them.
    FakeController o(configOf(Profile::Older));
    withDisks(&o, {{0, 2}, {0, 3}});
    QCOMPARE(letter(ask(o, 0x40, {2, 0, 1, 0, 1, 1, 4})), 'A');
    REFUSED(o, 0x40, (Bytes{3, 0, 2, 0, 1, 1, 4, 1}), 'G');
    QCOMPARE(letter(ask(o, 0x40, {3, 0, 2, 0, 1, 1, 4, 0})), 'A');
    QCOMPARE(int(o.volumeSet(1).id()), 2);
    REFUSED(o, 0x42, (Bytes{2, 0}), 'G');
    QCOMPARE(letter(ask(o, 0x42, {2})), 'A');
    checkConsistent(o);
}

void TestSimModel::driveCommands()
{
    // Locate lights: a mask on either family, {0, mode, enclosure, slot} on the enclosure family.
    FakeController o(configOf(Profile::Older));
    QCOMPARE(letter(ask(o, 0x43, {0, 0x05, 0, 0, 0})), 'A');
    QCOMPARE(o.locateState().disks, (std::vector<std::pair<int, int>>{{0, 0}, {0, 2}}));
    REFUSED(o, 0x43, (Bytes{0, 0, 0, 1}), 'G');
    FakeController c(configOf(Profile::Enclosure));
    QCOMPARE(letter(ask(c, 0x43, {0, 0, 1, 2})), 'A');
    QCOMPARE(c.locateState().disks, (std::vector<std::pair<int, int>>{{1, 2}}));
    QCOMPARE(letter(ask(c, 0x43, {0, 1, 1, 0})), 'A');
    QCOMPARE(c.locateState().enclosure, 1);
    QVERIFY(c.locateState().disks.empty());
    QCOMPARE(letter(ask(c, 0x43, {0, 2, 0, 0})), 'A');
    QCOMPARE(c.locateState().enclosure, -1);
    QCOMPARE(letter(ask(c, 0x43, {0, 0, 5, 0})), 'F');
    QCOMPARE(letter(ask(c, 0x43, {0, 3, 0, 0})), 'G');

    // Failing a member degrades its raid set; activating brings it back in its place.
    withDisks(&c, {{0, 0}, {0, 1}, {0, 2}, {0, 3}});
    QCOMPARE(c.createRaidSet("R", {{0, 0}, {0, 1}, {0, 2}}), 0);
    QCOMPARE(c.createVolumeSet(0, "V", 1000, 3, 128), 0);
    QVERIFY(c.setVolumeState(0, 0, 0));
    auto op = [](uint8_t operation, uint8_t e, uint8_t s) { return setupPayload(operation, {e, s}, 525); };
    const size_t mark = c.events().size();
    QCOMPARE(letter(ask(c, 0x1F, op(8, 0, 1))), 'A');
    QCOMPARE(int(c.disk(0, 1).stateLow()), 0x10);
    QCOMPARE(c.raidSet(0).degraded(), 0x2u);
    QCOMPARE(c.volumeSet(0).degraded(), 0x2u);
    REFUSED(c, 0x1F, op(8, 0, 1), 'F');
    REFUSED(c, 0x1F, op(8, 0, 7), 'F');
    REFUSED(c, 0x1F, setupPayload(8, {0, 2}, 524), 'G');
    REFUSED(c, 0x1F, op(0x0B, 0, 2), 'F');                      // not failed
    QCOMPARE(letter(ask(c, 0x1F, op(0x0B, 0, 1))), 'A');
    QCOMPARE(int(c.disk(0, 1).stateLow()), 0x88);
    QCOMPARE(c.raidSet(0).degraded(), 0u);
    QCOMPARE(int(c.raidSet(0).stateFlags()), 0x05);
    COMPARE_EVENTS(eventKeys(c, mark), {{3, 7, "Enc#1 Slot#02"}, {1, 4, "R"}, {2, 11, "V"}, {3, 0, "Enc#1 Slot#02"}});
    // Two members lost fail the Raid5 volume; one back makes it usable again.
    QCOMPARE(letter(ask(c, 0x1F, op(8, 0, 1))), 'A');
    QCOMPARE(letter(ask(c, 0x1F, op(8, 0, 2))), 'A');
    QCOMPARE(c.volumeSet(0).state() & 0x2u, 0x2u);
    QCOMPARE(letter(ask(c, 0x1F, op(0x0B, 0, 2))), 'A');
    QCOMPARE(c.volumeSet(0).state() & 0x2u, 0u);
    // A failed disk of no raid set comes back free.
    QCOMPARE(letter(ask(c, 0x1F, op(8, 0, 3))), 'A');
    QCOMPARE(letter(ask(c, 0x1F, op(0x0B, 0, 3))), 'A');
    QCOMPARE(int(c.disk(0, 3).stateLow()), 0x40);
    checkConsistent(c);
    c.setPasswordRequired(true);
    REFUSED(c, 0x1F, op(8, 0, 0), 'M');
}


QTEST_APPLESS_MAIN(TestSimModel)
#include "test_simmodel.moc"
