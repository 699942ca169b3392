// RAID configuration commands: the payloads on both families, the refusals that send nothing,
// and the configuration they leave in the simulator.
#include "simfixture.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace simtest;

namespace {

const char* const kAddress = "127.0.0.60";

std::unique_ptr<_DEVICE_LIST> listOf(std::initializer_list<std::pair<int, int>> drives)
{
    auto list = std::make_unique<_DEVICE_LIST>();
    std::memset(list.get(), 0, sizeof *list);
    for (const auto& d : drives) {
        list->drives[list->count].enclosure = uint8_t(d.first);
        list->drives[list->count].slot = uint8_t(d.second);
        ++list->count;
    }
    return list;
}

_VOLUMESET_CAP volumeCap(double gigabytes)
{
    _VOLUMESET_CAP cap;
    std::memset(&cap, 0, sizeof cap);
    cap.size = sizeof cap;
    cap.raidSet = 0;
    std::memcpy(cap.name, "Volume---VOL#001", 16);
    cap.capacity = gigabytes;
    cap.level = 3;
    cap.stripe = 4;
    cap.channel = 0;
    cap.id = 1;
    cap.lun = 2;
    cap.tagged = 1;
    cap.cache = 1;
    cap.reserved4 = 4;
    cap.flags = 1;
    cap.encryption = 0;
    return cap;
}

} // namespace

class TestRaid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { fastPolls(); }
    void cleanup() { m_rig.stop(); }

    void raidSetOlderFamily();
    void raidSetEnclosureFamily();
    void expandForms();
    void hotSpares();
    void volumeCreation();
    void nestedVolumeCreation();
    void volumeChangeKeepsCurrentSettings();
    void volumeCommands();
    void passThroughForms();
    void driveCommands();
    void selfEncryptingAndCloning();
    void configurationEndToEnd_data();
    void configurationEndToEnd();
    void refusalMidListSendsNoMore();
    void raid6OnlyWhereReported_data();
    void raid6OnlyWhereReported();

private:
    // Empty, or why the rig did not start (a caller checks it: a failure here would only
    // return from the helper).
    [[nodiscard]] QString start(zynsim::Profile profile)
    {
        const QString error = m_rig.start(kAddress, configOf(profile));
        if (error.isEmpty())
            m_rig.ctl->clearLog();
        return error;
    }
    Session& session() { return *m_rig.session; }
    zynsim::FakeController& ctl() { return *m_rig.ctl; }

    UdpRig m_rig;
};

void TestRaid::raidSetOlderFamily()
{
    QCOMPARE(start(zynsim::Profile::Older), QString());
    // The enclosure numbers are ignored; drives 1 and 5 make the mask 0x22.
    auto list = listOf({{0, 1}, {0, 5}});
    char name[] = "Raid Set # 010";
    session().ZynCreateRaidSet(list.get(), name, 0);
    Bytes p = lastPayload(ctl(), 0x50);
    QCOMPARE(p.size(), size_t(20));
    QCOMPARE(slice(p, 0, 4), (Bytes{0x22, 0, 0, 0}));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(p.data()) + 4, 16), QByteArray("Raid Set # 010  "));

    // A name that does not fit: the field starts with 0, and so does a missing one.
    char seventeen[] = "12345678901234567";
    session().ZynCreateRaidSet(0x3u, seventeen);
    p = lastPayload(ctl(), 0x50);
    QCOMPARE(int(p[4]), 0);
    QCOMPARE(slice(p, 5, 15), Bytes(15, ' '));
    session().ZynCreateRaidSet(0x3u, nullptr);
    QCOMPARE(int(lastPayload(ctl(), 0x50)[4]), 0);

    // Drive numbers above 31 would address other drives through the mask.
    ctl().clearLog();
    auto far = listOf({{0, 1}, {0, 33}});
    QCOMPARE(session().ZynCreateRaidSet(far.get(), name, 0), 6u);
    QCOMPARE(session().ZynCreateHotSpare(far.get(), 0, 0), 6u);
    QCOMPARE(session().ZynExpandRaidSet(0, far.get(), nullptr), 6u);
    auto empty = listOf({});
    QCOMPARE(session().ZynCreateRaidSet(empty.get(), name, 0), 6u);
    QCOMPARE(session().ZynCreateRaidSet(nullptr, name, 0), 6u);
    auto bogus = listOf({{0, 1}});
    bogus->count = 100000;
    QCOMPARE(session().ZynCreateRaidSet(bogus.get(), name, 0), 6u);
    // None of them sent a raid set command (a late repeat of an earlier frame may still come in
    // when the machine is busy).
    for (int command : {0x50, 0x52, 0x54})
        QCOMPARE(payloads(ctl(), command).size(), size_t(0));

    session().ZynDelRaidSet(3);
    QCOMPARE(lastPayload(ctl(), 0x51), Bytes{3});
    session().ZynActiveRaidSet(4);
    QCOMPARE(lastPayload(ctl(), 0x53), Bytes{4});
    session().ZynOfflineRaidSet(5);
    QCOMPARE(lastPayload(ctl(), 0x56), Bytes{5});
}

void TestRaid::raidSetEnclosureFamily()
{
    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    auto list = listOf({{0, 4}, {1, 7}, {0, 6}});
    char name[] = "Array";
    session().ZynCreateRaidSet(list.get(), name, 1);
    const Bytes p = lastPayload(ctl(), 0x50);
    QCOMPARE(p.size(), size_t(21 + 2 * 3));
    QCOMPARE(slice(p, 0, 4), (Bytes{3, 0, 0, 0}));
    QCOMPARE(slice(p, 4, 16), (Bytes{'A', 'r', 'r', 'a', 'y', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(int(p[20]), 1);
    QCOMPARE(slice(p, 21, 6), (Bytes{0, 4, 1, 7, 0, 6}));

    // A count the byte cannot carry is refused.
    ctl().clearLog();
    auto many = std::make_unique<_DEVICE_LIST>();
    std::memset(many.get(), 0, sizeof *many);
    many->count = 256;
    QCOMPARE(session().ZynCreateRaidSet(many.get(), name, 0), 6u);
    many->count = 0;
    QCOMPARE(session().ZynCreateRaidSet(many.get(), name, 0), 6u);
    QCOMPARE(ctl().framesReceived(0x50), 0);
}

void TestRaid::expandForms()
{
    QCOMPARE(start(zynsim::Profile::Older), QString());
    auto changes = std::make_unique<_VOL_MOD_LIST>();
    std::memset(changes.get(), 0, sizeof *changes);
    changes->count = 2;
    changes->entries[0] = {0, 3, 4, 0};
    changes->entries[1] = {16, 4, 5, 0};
    session().ZynExpandRaidSet(2, 0x300u, changes.get());
    Bytes p = lastPayload(ctl(), 0x52);
    QCOMPARE(p.size(), size_t(57));
    QCOMPARE(slice(p, 0, 5), (Bytes{2, 0x00, 0x03, 0, 0}));
    QCOMPARE(slice(p, 5, 3), (Bytes{1, 3, 4}));
    QCOMPARE(slice(p, 5 + 48, 3), (Bytes{1, 4, 5}));
    QCOMPARE(std::count(p.begin(), p.end(), 0), long(57 - 8));   // raid set, mask byte, two triples: all else zero
    // Volume 17 would not fit the 57 bytes.
    ctl().clearLog();
    changes->entries[1].volume = 17;
    QCOMPARE(session().ZynExpandRaidSet(2, 0x300u, changes.get()), 6u);
    QCOMPARE(ctl().framesReceived(0x52), 0);
    m_rig.stop();

    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    changes->entries[1].volume = 100;
    auto list = listOf({{0, 9}, {1, 2}});
    session().ZynExpandRaidSet(1, list.get(), changes.get());
    p = lastPayload(ctl(), 0x52);
    QCOMPARE(p.size(), size_t(1023));
    QCOMPARE(slice(p, 0, 9), (Bytes{1, 2, 0, 0, 0, 0, 9, 1, 2}));
    QCOMPARE(slice(p, 69, 3), (Bytes{1, 3, 4}));
    QCOMPARE(slice(p, 69 + 300, 3), (Bytes{1, 4, 5}));
    // Room for 32 drives.
    ctl().clearLog();
    auto many = std::make_unique<_DEVICE_LIST>();
    std::memset(many.get(), 0, sizeof *many);
    many->count = 33;
    QCOMPARE(session().ZynExpandRaidSet(1, many.get(), changes.get()), 6u);
    QCOMPARE(ctl().framesReceived(0x52), 0);
}

void TestRaid::hotSpares()
{
    QCOMPARE(start(zynsim::Profile::Older), QString());
    auto list = listOf({{0, 2}, {0, 3}});
    session().ZynCreateHotSpare(list.get(), 1, 7);   // type and raid set are not sent here
    QCOMPARE(lastPayload(ctl(), 0x54), (Bytes{0x0C, 0, 0, 0}));
    session().ZynDeleteHotSpare(list.get());
    QCOMPARE(lastPayload(ctl(), 0x55), (Bytes{0x0C, 0, 0, 0}));
    m_rig.stop();

    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    auto three = listOf({{0, 1}, {1, 2}, {0, 3}});
    // The second is refused: the third is not sent.
    ctl().script(0x54, 1, Answer::status('A'));
    ctl().script(0x54, 1, Answer::status('F'));
    QCOMPARE(session().ZynCreateHotSpare(three.get(), 1, 0x0102), u32('F'));
    auto sent = payloads(ctl(), 0x54);
    QCOMPARE(sent.size(), size_t(2));
    QCOMPARE(sent[0], (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 1, 0x02, 0x01}));
    QCOMPARE(sent[1], (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 1, 0x02, 0x01}));

    ctl().clearLog();
    ctl().script(0x55, 3, Answer::status('A'));
    QCOMPARE(session().ZynDeleteHotSpare(three.get()), 0u);
    sent = payloads(ctl(), 0x55);
    QCOMPARE(sent.size(), size_t(3));
    QCOMPARE(sent[2], (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 3, 0, 0, 0, 0}));   // 4 + 2n bytes
}

void TestRaid::volumeCreation()
{
    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    _VOLUMESET_CAP cap = volumeCap(1.0);
    cap.raidSet = 2;
    session().ZynCreateVolSet(&cap, 1);
    Bytes p = lastPayload(ctl(), 0x60);
    QCOMPARE(p.size(), size_t(41));
    QCOMPARE(int(p[0]), 2);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(p.data()) + 1, 16), QByteArray("Volume---VOL#001"));
    QCOMPARE(zynwire::getU64(p.data() + 17), uint64_t(1953125));
    QCOMPARE(slice(p, 25, 8), (Bytes{3, 4, 0, 1, 2, 1, 1, 4}));
    QCOMPARE(int(p[33]), 0x03);   // foreground init and the "win" flag
    QCOMPARE(slice(p, 34, 7), Bytes(7, 0));
    cap.flags = 0;
    session().ZynCreateVolSet(&cap, 0);
    QCOMPARE(int(lastPayload(ctl(), 0x60)[33]), 0);

    ctl().clearLog();
    _VOLUMESET_CAP bad = volumeCap(1.0);
    bad.size = 38;
    QCOMPARE(session().ZynCreateVolSet(&bad, 0), 6u);
    QCOMPARE(session().ZynCreateVolSet(nullptr, 0), 6u);
    for (double capacity : {-1.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e30}) {
        _VOLUMESET_CAP c = volumeCap(capacity);
        QCOMPARE(session().ZynCreateVolSet(&c, 0), 6u);
    }
    QCOMPARE(ctl().framesReceived(0x60), 0);
}

void TestRaid::nestedVolumeCreation()
{
    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    _VOLUMESET_CAP cap = volumeCap(2.0);
    unsigned char raids[3] = {0, 4, 5};
    session().ZynCreateVolSetR5060(3, raids, &cap, 1);
    const Bytes p = lastPayload(ctl(), 0x65);
    QCOMPARE(p.size(), size_t(43));
    QCOMPARE(slice(p, 0, 9), (Bytes{3, 0, 4, 5, 0, 0, 0, 0, 0}));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(p.data()) + 9, 16), QByteArray("Volume---VOL#001"));
    QCOMPARE(zynwire::getU64(p.data() + 25), uint64_t(3906250));
    QCOMPARE(slice(p, 33, 8), (Bytes{3, 4, 0, 1, 2, 1, 1, 4}));
    QCOMPARE(int(p[41]), 0x07);   // foreground init, always bit 1, mode 1
    cap.flags = 0;
    session().ZynCreateVolSetR5060(2, raids, &cap, 0);
    QCOMPARE(int(lastPayload(ctl(), 0x65)[41]), 0x02);

    ctl().clearLog();
    unsigned char nine[9] = {};
    QCOMPARE(session().ZynCreateVolSetR5060(9, nine, &cap, 0), 6u);
    QCOMPARE(ctl().framesReceived(0x65), 0);
    m_rig.stop();

    // No nested volumes without the extended volume record.
    QCOMPARE(start(zynsim::Profile::Older), QString());
    QCOMPARE(session().ZynCreateVolSetR5060(2, raids, &cap, 0), 6u);
    QCOMPARE(ctl().framesReceived(0x65), 0);
}

void TestRaid::volumeChangeKeepsCurrentSettings()
{
    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    // Whatever the volume holds now comes back when nothing is to change.
    sGUI_VOLUMESET current{};
    current.setName("Current");
    current.setCapacity(1000000);
    current.setStripe(256);            // code 5
    current.setRaidLevel(4);
    current.setAddress(0, 3, 1);
    current.setTaggedQueuing(1);
    current.setCacheMode(0);
    current.bytes[53] = 4;
    Bytes reply(current.bytes, current.bytes + 64);
    reply.resize(128, 0);
    ctl().script(0x21, 1, Answer::data(reply));
    _NEW_VOLUMESET_CAP cap;
    std::memset(&cap, 0, sizeof cap);
    cap.size = sizeof cap;
    cap.volume = 6;
    std::memset(cap.settings, 255, sizeof cap.settings);
    session().ZynModifyVolSet(&cap);
    Bytes p = lastPayload(ctl(), 0x61);
    QCOMPARE(p.size(), size_t(37));
    QCOMPARE(int(p[0]), 6);
    QCOMPARE(slice(p, 1, 24), Bytes(24, 0));
    QCOMPARE(slice(p, 25, 8), (Bytes{4, 5, 0, 3, 1, 1, 0, 4}));
    QCOMPARE(slice(p, 33, 4), Bytes(4, 0));

    // New name, capacity and two settings.
    ctl().script(0x21, 1, Answer::data(reply));
    std::memcpy(cap.name, "Renamed", 7);
    cap.capacity = 2.0;
    cap.settings[0] = 3;
    cap.settings[6] = 1;
    session().ZynModifyVolSet(&cap);
    p = lastPayload(ctl(), 0x61);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(p.data()) + 1, 7), QByteArray("Renamed"));
    QCOMPARE(zynwire::getU64(p.data() + 17), uint64_t(3906250));
    QCOMPARE(slice(p, 25, 8), (Bytes{3, 5, 0, 3, 1, 1, 1, 4}));

    // No record, nothing sent.
    ctl().clearLog();
    ctl().script(0x21, 1, Answer::data(Bytes(128, 0)));
    QCOMPARE(session().ZynModifyVolSet(&cap), 18u);
    QCOMPARE(ctl().framesReceived(0x61), 0);
    cap.size = 36;
    QCOMPARE(session().ZynModifyVolSet(&cap), 6u);
}

void TestRaid::volumeCommands()
{
    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    session().ZynDelVolSet(9);
    QCOMPARE(lastPayload(ctl(), 0x62), Bytes{9});
    session().ZynStartCheckVolume(2, 1, 0);
    QCOMPARE(lastPayload(ctl(), 0x63), (Bytes{2, 0, 1}));
    session().ZynStartCheckVolume(2, 0, 5);
    QCOMPARE(lastPayload(ctl(), 0x63), (Bytes{2, 1, 0}));
    session().ZynStopCheckVolume();
    QCOMPARE(lastPayload(ctl(), 0x64), Bytes());
    session().ZynLockEncryptedVolSet(3);
    QCOMPARE(lastPayload(ctl(), 0x66), Bytes{3});
}

void TestRaid::passThroughForms()
{
    QCOMPARE(start(zynsim::Profile::Older), QString());
    _PASS_DISK_CAP cap = {sizeof(_PASS_DISK_CAP), 6, 0, 2, 1, 1, 0, 4};
    session().ZynCreatePassthroughDisk(&cap);
    QCOMPARE(lastPayload(ctl(), 0x40), (Bytes{6, 0, 2, 1, 1, 0, 4}));
    session().ZynCreatePassthroughDisk(0, 9, &cap);
    QCOMPARE(lastPayload(ctl(), 0x40), (Bytes{9, 0, 2, 1, 1, 0, 4, 0}));
    session().ZynDelPassthroughDisk(1, 9);
    QCOMPARE(lastPayload(ctl(), 0x42), Bytes{9});
    cap.size = 10;
    ctl().clearLog();
    QCOMPARE(session().ZynCreatePassthroughDisk(&cap), 6u);
    QCOMPARE(session().ZynCreatePassthroughDisk(0, 1, &cap), 6u);
    QCOMPARE(ctl().framesReceived(0x40), 0);
    // Changing a drive that is no pass-through disk sends nothing.
    cap.size = sizeof cap;
    cap.drive = 0;
    Bytes plain(292, 0);
    plain[76] = 0x40;
    ctl().script(0x22, 1, Answer::data(plain));
    QCOMPARE(session().ZynModifyPassthroughDisk(&cap), 6u);
    QCOMPARE(ctl().framesReceived(0x41), 0);
    m_rig.stop();

    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    session().ZynCreatePassthroughDisk(1, 4, &cap);
    QCOMPARE(lastPayload(ctl(), 0x40), (Bytes{1, 4, 0, 2, 1, 1, 0, 4}));
    session().ZynDelPassthroughDisk(1, 4);
    QCOMPARE(lastPayload(ctl(), 0x42), (Bytes{1, 4}));

    // A change builds on the pass-through volume's settings: drive -> raid set -> volume.
    Bytes drive(292, 0);
    drive[76] = 0x8A;
    drive[81] = 7;
    Bytes raid(272, 0);
    raid[61] = 1;
    raid[63] = 1;
    raid[64] = 12;
    Bytes volume(128, 0);
    volume[16] = 1;
    const uint8_t settings[6] = {0, 5, 3, 1, 1, 4};
    std::memcpy(volume.data() + 48, settings, 6);
    ctl().script(0x22, 1, Answer::data(drive));
    ctl().script(0x20, 1, Answer::data(raid));
    ctl().script(0x21, 1, Answer::data(volume));
    _PASS_DISK_CAP change = {sizeof(_PASS_DISK_CAP), 0, 255, 9, 255, 255, 0, 255};
    session().ZynModifyPassthroughDisk(1, 4, &change);
    QCOMPARE(lastPayload(ctl(), 0x41), (Bytes{1, 4, 0, 9, 3, 1, 0, 4}));
    QCOMPARE(lastPayload(ctl(), 0x20), Bytes{7});
    QCOMPARE(lastPayload(ctl(), 0x21), Bytes{12});
}

void TestRaid::driveCommands()
{
    QCOMPARE(start(zynsim::Profile::Older), QString());
    session().ZynIdentifyDisk(0x80000001u);
    QCOMPARE(lastPayload(ctl(), 0x43), (Bytes{0, 0x01, 0, 0, 0x80}));
    ctl().clearLog();
    QCOMPARE(session().ZynSASIdentifyDisk(0, 1, 2), 6u);
    QCOMPARE(ctl().framesReceived(0x43), 0);
    session().ZynFailDisk(3, 5);
    Bytes p = lastPayload(ctl(), 0x1F);
    QCOMPARE(p.size(), size_t(525));
    QCOMPARE(int(p[9]), 8);
    QCOMPARE(slice(p, 10, 2), (Bytes{0, 5}));   // no enclosure on this family
    session().ZynActivateFailDisk(3, 5);
    p = lastPayload(ctl(), 0x1F);
    QCOMPARE(int(p[9]), 11);
    QCOMPARE(slice(p, 10, 2), (Bytes{0, 5}));
    m_rig.stop();

    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    session().ZynSASIdentifyDisk(0, 1, 2);
    auto sent = payloads(ctl(), 0x43);
    QCOMPARE(sent.size(), size_t(2));
    QCOMPARE(sent[0], (Bytes{0, 2, 0, 0}));
    QCOMPARE(sent[1], (Bytes{0, 0, 1, 2}));
    session().ZynSASIdentifyDisk(2, 9, 9);
    QCOMPARE(lastPayload(ctl(), 0x43), (Bytes{0, 2, 0, 0}));
    ctl().clearLog();
    QCOMPARE(session().ZynSASIdentifyDisk(3, 0, 0), 6u);
    QCOMPARE(session().ZynSASIdentifyDisk(0, 255, 0), 6u);
    QCOMPARE(session().ZynSASIdentifyDisk(0, 0, 255), 6u);
    QCOMPARE(session().ZynSASIdentifyDisk(1, 255, 0), 6u);
    QCOMPARE(ctl().framesReceived(0x43), 0);
    session().ZynFailDisk(3, 5);
    QCOMPARE(slice(lastPayload(ctl(), 0x1F), 10, 2), (Bytes{3, 5}));
    session().ZynEraseFailDisk(3, 5);
    QCOMPARE(lastPayload(ctl(), 0x45), (Bytes{3, 5}));
}

void TestRaid::selfEncryptingAndCloning()
{
    QCOMPARE(start(zynsim::Profile::Older), QString());
    auto list = listOf({{0, 1}});
    char name[] = "SED";
    QCOMPARE(session().ZynCreateSEDRaidSet(list.get(), name, 0), 6u);
    QCOMPARE(session().ZynCloneDisk(list.get(), list.get(), 0), 6u);
    QCOMPARE(ctl().framesReceived(0x57) + ctl().framesReceived(0x46), 0);
    m_rig.stop();

    QCOMPARE(start(zynsim::Profile::Enclosure), QString());
    session().ZynCreateSEDRaidSet(list.get(), name, 1);
    QCOMPARE(lastPayload(ctl(), 0x57).size(), size_t(23));
    QCOMPARE(session().ZynDelSEDRaidSet(1, 2), 6u);
    session().ZynDelSEDRaidSet(1, 1);
    QCOMPARE(lastPayload(ctl(), 0x58), (Bytes{1, 0, 0, 1}));
    session().ZynDelISERaidSet(2);
    QCOMPARE(lastPayload(ctl(), 0x59), (Bytes{2, 0, 0, 0}));

    unsigned char psid[] = "0123456789ABCDEF0123456789ABCDEF";
    session().ZynRevertSP(1, 2, psid);
    Bytes p = lastPayload(ctl(), 0x44);
    QCOMPARE(p.size(), size_t(37));
    QCOMPARE(slice(p, 0, 5), (Bytes{1, 2, 0, 0, 0}));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(p.data()) + 5, 32), QByteArray(reinterpret_cast<char*>(psid)));
    unsigned char shortPsid[] = "0123";
    QCOMPARE(session().ZynRevertSP(1, 2, shortPsid), 6u);
    QCOMPARE(session().ZynRevertSP(1, 2, nullptr), 6u);

    auto source = listOf({{0, 1}, {0, 2}});
    auto target = listOf({{1, 5}, {1, 6}});
    session().ZynCloneDisk(source.get(), target.get(), 1);
    QCOMPARE(lastPayload(ctl(), 0x46), (Bytes{0, 2, 1, 0, 0, 0, 1, 1, 5, 0, 2, 1, 6}));
    ctl().clearLog();
    QCOMPARE(session().ZynCloneDisk(source.get(), list.get(), 0), 6u);
    QCOMPARE(session().ZynCloneDisk(source.get(), target.get(), 2), 6u);
    QCOMPARE(ctl().framesReceived(0x46), 0);
    session().ZynAbortDiskCloning(0x1234);
    QCOMPARE(lastPayload(ctl(), 0x46), (Bytes{1, 0x34}));
}

namespace {
// Events the session reads from the controller, oldest first (only the new ones).
std::vector<std::pair<int, int>> newEvents(Session& session)
{
    int count = 0;
    std::vector<std::pair<int, int>> out;
    if (session.ZynGetReqEventPage(1, &count) != 0)
        return out;
    for (int i = count - 1; i >= 0; --i) {
        sEVET_DATA e;
        if (session.ZynGetEventObject(i, &e) == 1)
            out.emplace_back(e.eventClass(), e.code());
    }
    return out;
}

bool containsInOrder(const std::vector<std::pair<int, int>>& events, const std::vector<std::pair<int, int>>& wanted)
{
    size_t w = 0;
    for (const auto& e : events)
        if (w < wanted.size() && e == wanted[w])
            ++w;
    return w == wanted.size();
}
} // namespace

void TestRaid::configurationEndToEnd_data()
{
    QTest::addColumn<int>("profile");
    QTest::newRow("older") << int(zynsim::Profile::Older);
    QTest::newRow("enclosure") << int(zynsim::Profile::Enclosure);
}

void TestRaid::configurationEndToEnd()
{
    QFETCH(int, profile);
    zynsim::ControllerConfig config = configOf(zynsim::Profile(profile));
    config.emptyModel = true;
    const QString error = m_rig.start(kAddress, config);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const uint64_t diskBlocks = 7814037168ull;
    for (int slot = 0; slot < 4; ++slot)
        QVERIFY(ctl().addDisk(0, slot, "ST4000NM", "D" + std::to_string(slot), diskBlocks));
    int count = 0;
    QCOMPARE(session().ZynGetReqEventPage(0, &count), 0u);   // consume what is there

    // A raid set of three drives at the lowest free number.
    auto members = listOf({{0, 0}, {0, 1}, {0, 2}});
    char name[] = "Raid Set # 000";
    QCOMPARE(session().ZynCreateRaidSet(members.get(), name, 0), 0u);
    sGUI_RAIDSET raid;
    QCOMPARE(session().ZynGetRaidSetInfo(0, &raid), 0u);
    QCOMPARE(raid.memberCount(), 3);
    QCOMPARE(QByteArray::fromStdString(raid.name()).trimmed(), QByteArray(name));
    QCOMPARE(raid.freeSegmentCount(), 1);
    const uint32_t freeBefore = raid.freeSegment(0);
    QCOMPARE(uint64_t(freeBefore), diskBlocks / 512);
    for (int slot = 0; slot < 3; ++slot) {
        sGUI_PHY_DRV drive;
        QCOMPARE(session().ZynGetPhysicalDriveInfo(0, u8(slot), &drive), 0u);
        QCOMPARE(int(drive.stateLow() & 0x88), 0x88);
        QCOMPARE(int(drive.raidSet()), 0);
    }

    // A 10 GB Raid5 volume on it takes its share of every member.
    _VOLUMESET_CAP cap = volumeCap(10.0);
    cap.raidSet = 0;
    QCOMPARE(session().ZynCreateVolSet(&cap, 0), 0u);
    sGUI_VOLUMESET volume;
    QCOMPARE(session().ZynGetVolSetInfo(0, &volume), 0u);
    QCOMPARE(volume.name(), std::string("Volume---VOL#001"));
    QCOMPARE(volume.capacity(), uint64_t(19531250));
    QCOMPARE(int(volume.raidSet()), 0);
    QCOMPARE(int(volume.raidLevel()), 3);
    QCOMPARE(volume.stripe(), 128u);
    QCOMPARE(session().ZynGetRaidSetInfo(0, &raid), 0u);
    QCOMPARE(raid.volumeCount(), 1);
    QCOMPARE(int(raid.volumeNumber(0)), 0);
    const uint64_t perMember = (19531250 + 1) / 2;
    QCOMPARE(uint64_t(raid.freeSegment(0)), uint64_t(freeBefore) - (perMember + 511) / 512);

    // More than the space left is cut to it, as a controller does (Raid5 over three members:
    // two members' worth); with nothing left the next one is refused.
    const uint32_t unitsLeft = raid.freeSegment(0);
    _VOLUMESET_CAP huge = volumeCap(100000.0);
    huge.lun = 3;
    QCOMPARE(session().ZynCreateVolSet(&huge, 0), 0u);
    QCOMPARE(session().ZynGetVolSetInfo(1, &volume), 0u);
    QCOMPARE(volume.capacity(), uint64_t(unitsLeft) * 512 * 2);
    QCOMPARE(session().ZynGetRaidSetInfo(0, &raid), 0u);
    QCOMPARE(raid.freeSegmentCount(), 0);
    huge.lun = 4;
    QCOMPARE(session().ZynCreateVolSet(&huge, 0), u32('K'));

    // A hot spare.
    auto spare = listOf({{0, 3}});
    QCOMPARE(session().ZynCreateHotSpare(spare.get(), 0, 0), 0u);
    sGUI_PHY_DRV drive;
    QCOMPARE(session().ZynGetPhysicalDriveInfo(0, 3, &drive), 0u);
    QCOMPARE(int(drive.stateLow() & 0x20), 0x20);

    auto events = newEvents(session());
    QVERIFY2(containsInOrder(events, {{1, 0}, {2, 8}, {6, 30}}), "create raid set, volume and hot spare events");

    // Undo it all: the space and the drives come back.
    QCOMPARE(session().ZynDelVolSet(1), 0u);
    QCOMPARE(session().ZynDelVolSet(0), 0u);
    QCOMPARE(session().ZynGetVolSetInfo(0, &volume), 18u);
    QCOMPARE(session().ZynGetRaidSetInfo(0, &raid), 0u);
    QCOMPARE(raid.volumeCount(), 0);
    QCOMPARE(raid.freeSegment(0), freeBefore);
    QCOMPARE(session().ZynDeleteHotSpare(spare.get()), 0u);
    QCOMPARE(session().ZynDelRaidSet(0), 0u);
    QCOMPARE(session().ZynGetRaidSetInfo(0, &raid), 18u);
    for (int slot = 0; slot < 4; ++slot) {
        QCOMPARE(session().ZynGetPhysicalDriveInfo(0, u8(slot), &drive), 0u);
        QCOMPARE(int(drive.stateLow()), 0x40);
    }
    events = newEvents(session());
    QVERIFY2(containsInOrder(events, {{2, 9}, {6, 31}, {1, 1}}), "delete events");
}

void TestRaid::refusalMidListSendsNoMore()
{
    zynsim::ControllerConfig config = configOf(zynsim::Profile::Enclosure);
    config.emptyModel = true;
    const QString error = m_rig.start(kAddress, config);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (int slot = 0; slot < 4; ++slot)
        QVERIFY(ctl().addDisk(0, slot, "ST4000NM", "D" + std::to_string(slot), 7814037168ull));
    QVERIFY(ctl().createRaidSet("Busy", {{0, 1}}) >= 0);
    ctl().clearLog();
    // The second drive is a raid set member: the controller refuses it; the third is not asked.
    auto list = listOf({{0, 0}, {0, 1}, {0, 2}});
    QCOMPARE(session().ZynCreateHotSpare(list.get(), 0, 0), u32('F'));
    QCOMPARE(ctl().framesReceived(0x54), 2);
    QVERIFY(ctl().disk(0, 0).stateLow() & 0x20);
    QVERIFY(!(ctl().disk(0, 2).stateLow() & 0x20));
}

void TestRaid::raid6OnlyWhereReported_data()
{
    QTest::addColumn<bool>("raid6");             // system-information byte 180
    QTest::addColumn<QString>("command");
    QTest::addColumn<uint>("result");
    QTest::addColumn<QStringList>("volumes");    // the simulator's volume sets afterwards: name and level

    const uint refused = 'G';   // invalid parameter
    const QStringList before = {"Five 3", "Six 4"};
    QTest::newRow("create, no raid 6") << false << "create" << refused << before;
    QTest::newRow("create, raid 6") << true << "create" << 0u << QStringList({"Five 3", "Six 4", "New 4"});
    QTest::newRow("create raid 5, no raid 6") << false << "create raid 5" << 0u
                                              << QStringList({"Five 3", "Six 4", "New 3"});
    QTest::newRow("nested, no raid 6") << false << "nested" << refused << before;
    QTest::newRow("nested, raid 6") << true << "nested" << 0u
                                    << QStringList({"Five 3", "Six 4", "Nest 4", "Nest 4", "Nest 4"});
    QTest::newRow("modify to raid 6, no raid 6") << false << "modify" << refused << before;
    QTest::newRow("modify to raid 6, raid 6") << true << "modify" << 0u << QStringList({"Five 4", "Six 4"});
    QTest::newRow("expand to raid 6, no raid 6") << false << "expand" << refused << before;
    QTest::newRow("expand to raid 6, raid 6") << true << "expand" << 0u << QStringList({"Five 4", "Six 4"});
    // A Raid6 volume set the controller holds stays one.
    QTest::newRow("rename a raid 6 volume, no raid 6") << false << "rename" << 0u << QStringList({"Five 3", "Renamed 4"});
}

// A controller that does not report Raid6 refuses to make one, by every command that would; the
// library hands the refusal on.
void TestRaid::raid6OnlyWhereReported()
{
    QFETCH(bool, raid6);
    QFETCH(QString, command);
    QFETCH(uint, result);
    QFETCH(QStringList, volumes);
    zynsim::ControllerConfig config = configOf(zynsim::Profile::Enclosure);
    config.raid6 = raid6;
    QCOMPARE(m_rig.start("127.0.6.10", config), QString());
    std::string why;
    QVERIFY2(ctl().loadConfig("enclosure 0 slots 12\n"
                              "disk 0 0\ndisk 0 1\ndisk 0 2\ndisk 0 3\ndisk 0 4\ndisk 0 5\ndisk 0 6\ndisk 0 7\ndisk 0 8\n"
                              "raidset \"A\" disks 0:0 0:1 0:2 0:3\n"
                              "raidset \"B\" disks 0:4 0:5 0:6 0:7\n"
                              "volume \"Five\" raidset 0 capacity 1000000 level 3 id 1 state 0\n"
                              "volume \"Six\" raidset 1 capacity 1000000 level 4 id 2 state 0\n",
                              &why),
             why.c_str());
    sSYSTEM_INFO info;
    QCOMPARE(session().ZynGetSysInfo(&info), 0u);
    QCOMPARE(info.supportsRaid6(), raid6);

    _VOLUMESET_CAP cap = volumeCap(1.0);
    std::memset(cap.name, 0, sizeof cap.name);
    cap.id = 3;
    cap.level = sGUI_VOLUMESET::kLevelRaid6;
    u32 rc = ZYN_ERR_INVALID_ARG;
    if (command.startsWith(QLatin1String("create"))) {
        std::memcpy(cap.name, "New", 3);
        if (command.endsWith(QLatin1String("raid 5")))
            cap.level = sGUI_VOLUMESET::kLevelRaid5;
        rc = session().ZynCreateVolSet(&cap, 0);
    } else if (command == QLatin1String("nested")) {
        std::memcpy(cap.name, "Nest", 4);
        unsigned char raids[2] = {0, 1};
        rc = session().ZynCreateVolSetR5060(2, raids, &cap, 0);
    } else if (command == QLatin1String("modify") || command == QLatin1String("rename")) {
        _NEW_VOLUMESET_CAP change;
        std::memset(&change, 0, sizeof change);
        change.size = sizeof change;
        std::memset(change.settings, 255, sizeof change.settings);
        if (command == QLatin1String("modify")) {
            change.volume = 0;
            change.settings[0] = sGUI_VOLUMESET::kLevelRaid6;
        } else {
            change.volume = 1;
            std::memcpy(change.name, "Renamed", 7);
        }
        rc = session().ZynModifyVolSet(&change);
    } else if (command == QLatin1String("expand")) {
        auto list = listOf({{0, 8}});
        auto changes = std::make_unique<_VOL_MOD_LIST>();
        std::memset(changes.get(), 0, sizeof *changes);
        changes->count = 1;
        changes->entries[0] = {0, sGUI_VOLUMESET::kLevelRaid6, 4, 0};
        rc = session().ZynExpandRaidSet(0, list.get(), changes.get());
    }
    QCOMPARE(rc, u32(result));
    QStringList held;
    for (int v = 0; v < 16; ++v) {
        const sGUI_VOLUMESET r = ctl().volumeSet(v);
        if (r.exists())
            held << QStringLiteral("%1 %2").arg(QString::fromStdString(r.name())).arg(r.raidLevel());
    }
    QCOMPARE(held, volumes);
}

QTEST_GUILESS_MAIN(TestRaid)
#include "test_raid.moc"
