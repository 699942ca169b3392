// SMART and pass-through to disks, and the commands of particular controller models, against
// the simulator: byte-exact payloads, the handling of each reply, the fibre channel tables in
// the setup image, self-encrypting disk key files, expanders and the volume key buffer.
#include "simfixture.h"

#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

#include <sys/stat.h>

using namespace simtest;

namespace {

const char* const kAddress = "127.0.0.130";
const Bytes kTag = {'K', 'v', 'o', 'D'};

// The setup image offsets of the fibre fields in layouts 1 and 2.
constexpr size_t kFibrePorts = 104;
constexpr size_t kHostNames = 644;
constexpr size_t kHostFilters = 1284;

_FIBRE_HOST_WWNAME hostName(std::initializer_list<uint8_t> wwn, const char* nickname)
{
    _FIBRE_HOST_WWNAME name{};
    std::copy(wwn.begin(), wwn.end(), name.wwn);
    std::memcpy(name.nickname, nickname, std::strlen(nickname));
    return name;
}

_FIBRE_VOL_HOST_FILTER filterOf(uint8_t last, uint8_t type)
{
    _FIBRE_VOL_HOST_FILTER f{};
    const uint8_t wwn[8] = {0x50, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, last};
    std::memcpy(f.wwn, wwn, 8);
    std::memset(f.mask, 0xFF, 8);
    f.type = type;
    f.mode = 1;
    return f;
}

} // namespace

class TestModelCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        fastPolls();
        CZynlib::setKeyPauseMilliseconds(0);
    }
    void cleanup() { m_rig.stop(); }

    void smartOperations();
    void ataPassthrough();
    void scsiPassthrough();
    void ultra320Targets();
    void fibrePorts();
    void fibreHostNames();
    void fibreHostFilters();
    void scheduledVolumeCheck();
    void sedKeys();
    void expanders();
    void volumeKeyBuffer();

private:
    // Empty, or why the rig did not start (a caller checks it: a failure here would only
    // return from the helper).
    [[nodiscard]] QString start(zynsim::ControllerConfig config)
    {
        const QString error = m_rig.start(kAddress, config);
        if (error.isEmpty())
            m_rig.ctl->clearLog();
        return error;
    }
    Session& session() { return *m_rig.session; }
    zynsim::FakeController& ctl() { return *m_rig.ctl; }
    int sent(int command) const { return int(payloads(*m_rig.ctl, command).size()); }
    // Setup-data writes (short and long form) among the frames received.
    int setupWrites() const
    {
        int n = 0;
        for (const Bytes& p : payloads(*m_rig.ctl, 0x1F))
            n += p.size() > 9 && (p[9] == 0x41 || p[9] == 0x42);
        return n;
    }

    UdpRig m_rig;
};

void TestModelCommands::smartOperations()
{
    QCOMPARE(start(configOf(zynsim::Profile::Older)), QString());
    QVERIFY(ctl().addDisk(0, 5, "Varnel SSD480", "SSD05", 937703088ull));
    ctl().clearLog();
    // Operations 4 and 16 carry their argument; the others send 0 in its place.
    QCOMPARE(session().ZynExeSMART(4, 3, 0x41, nullptr), 1u);
    QCOMPARE(lastPayload(ctl(), 0x1C), (Bytes{4, 'K', 'v', 'o', 'D', 3, 0x41}));
    std::vector<u8> out(512, 0xEE);
    QCOMPARE(session().ZynExeSMART(0, 3, 0x41, out.data()), 0u);
    QCOMPARE(lastPayload(ctl(), 0x1C), (Bytes{0, 'K', 'v', 'o', 'D', 3, 0}));
    QCOMPARE(Bytes(out.begin(), out.end()), ctl().smartPage(0, 3, false));
    QCOMPARE(session().ZynExeSMART(1, 3, 0, out.data()), 0u);
    QCOMPARE(Bytes(out.begin(), out.end()), ctl().smartPage(0, 3, true));
    QCOMPARE(int(out[2]), 1);    // the first attribute and its threshold
    QCOMPARE(int(out[3]), 51);
    // A solid-state disk reports its own attributes.
    QCOMPARE(session().ZynExeSMART(0, 5, 0, out.data()), 0u);
    QCOMPARE(Bytes(out.begin(), out.end()), ctl().smartPage(0, 5, false));
    QCOMPARE(int(out[2 + 12 * 5]), 194);

    u32 hours = 0;
    QCOMPARE(session().ZynExeSMART(10, 3, 0, reinterpret_cast<u8*>(&hours)), 0u);
    QCOMPARE(hours, 10000u);
    u16 started = 0;
    QCOMPARE(session().ZynExeSMART(16, 3, 50, reinterpret_cast<u8*>(&started)), 0u);
    QCOMPARE(lastPayload(ctl(), 0x1C)[6], uint8_t(50));
    QCOMPARE(started, u16(1));
    u8 result[24];
    std::memset(result, 0xEE, sizeof result);
    QCOMPARE(session().ZynExeSMART(18, 3, 0, result), 0u);
    QCOMPARE(int(result[0]), 100);
    QCOMPARE(int(result[18]), 0xEE);   // 18 bytes taken, whatever the reply holds
    QCOMPARE(session().ZynExeSMART(8, 3, 0, nullptr), 1u);
    // An empty slot: the controller's refusal.
    QCOMPARE(session().ZynExeSMART(0, 9, 0, out.data()), u32('F'));
}

void TestModelCommands::ataPassthrough()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure)), QString());
    // IDENTIFY from the disk in enclosure 1, slot 0: one sector, whatever the count said.
    _ATA_PASSTHROUGH_COMMAND c{};
    c.command = 0xEC;
    c.sectorCount = 8;
    c.direction = _ATA_PASSTHROUGH_COMMAND::DataIn;
    QCOMPARE(session().ZynAtaPassthroughCmd(1, 0, &c), 0u);
    Bytes p = lastPayload(ctl(), 0x1C);
    QCOMPARE(p.size(), size_t(639));
    QCOMPARE(slice(p, 0, 6), (Bytes{0x13, 'K', 'v', 'o', 'D', 0}));
    QCOMPARE(slice(p, 6, 7), (Bytes{0, 1, 0, 0, 0, 0, 0xEC}));
    QCOMPARE(int(p[13]), 1);
    QCOMPARE(Bytes(c.data, c.data + 512), ctl().ataIdentify(1, 0));
    QCOMPARE(int(c.status), 0x50);

    // SMART: the signature is filled in when the caller left it out.
    _ATA_PASSTHROUGH_COMMAND enable{};
    enable.command = 0xB0;
    enable.features = 0xD8;
    QCOMPARE(session().ZynAtaPassthroughCmd(0, 1, &enable), 0u);
    p = lastPayload(ctl(), 0x1C);
    QCOMPARE(int(p[0]), 0x15);
    QCOMPARE(slice(p, 9, 2), (Bytes{0x4F, 0xC2}));
    QCOMPARE(int(enable.status), 0x50);
    // The threshold check tells in data byte 0 whether an attribute reached its threshold.
    _ATA_PASSTHROUGH_COMMAND check{};
    check.command = 0xDA;
    check.data[0] = 0xEE;
    QCOMPARE(session().ZynAtaPassthroughCmd(0, 1, &check), 0u);
    QCOMPARE(int(check.data[0]), 0);
    zynsim::DiskHealth tired;
    tired.smart = {{{200, 51}, {172, 21}, {140, 140}, {200, 0}, {100, 0}, {100, 0}}};
    QVERIFY(ctl().setDiskHealth(0, 1, tired));
    QCOMPARE(session().ZynAtaPassthroughCmd(0, 1, &check), 0u);
    QCOMPARE(int(check.data[0]), 1);
    QCOMPARE(int(check.lbaMid), 0xF4);

    // Given LBA bytes are sent as they are (and this controller refuses them).
    _ATA_PASSTHROUGH_COMMAND odd{};
    odd.command = 0xB0;
    odd.features = 0xD8;
    odd.lbaMid = 0x01;
    odd.lbaHigh = 0x02;
    QCOMPARE(session().ZynAtaPassthroughCmd(0, 1, &odd), 0u);
    QCOMPARE(slice(lastPayload(ctl(), 0x1C), 9, 2), (Bytes{0x01, 0x02}));
    QCOMPARE(int(odd.status), 0x51);
    QCOMPARE(int(odd.error), 0x04);

    // The power mode lands in data byte 0; a sector to the disk travels at 21.
    _ATA_PASSTHROUGH_COMMAND power{};
    power.command = 0xE5;
    QCOMPARE(session().ZynAtaPassthroughCmd(0, 1, &power), 0u);
    QCOMPARE(int(power.data[0]), 0xFF);
    _ATA_PASSTHROUGH_COMMAND log{};
    log.command = 0xB0;
    log.features = 0xD6;
    log.sectorCount = 3;
    log.direction = _ATA_PASSTHROUGH_COMMAND::DataOut;
    log.data[0] = 0xAB;
    log.data[511] = 0xCD;
    QCOMPARE(session().ZynAtaPassthroughCmd(0, 1, &log), 0u);
    p = lastPayload(ctl(), 0x1C);
    QCOMPARE(int(p[0]), 0x14);
    QCOMPARE(int(p[7]), 1);
    QCOMPARE(int(p[21]), 0xAB);
    QCOMPARE(int(p[532]), 0xCD);
    QCOMPARE(int(log.status), 0x50);
}

void TestModelCommands::scsiPassthrough()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure)), QString());
    _SCSI_PASSTHROUGH_COMMAND inquiry{};
    inquiry.cdb[0] = 0x12;
    inquiry.cdb[4] = 36;
    inquiry.cdbLength = 6;
    inquiry.direction = _SCSI_PASSTHROUGH_COMMAND::DataIn;
    QCOMPARE(session().ZynScsiPassthroughCmd(0, 2, &inquiry), 0u);
    const Bytes p = lastPayload(ctl(), 0x1C);
    QCOMPARE(p.size(), size_t(639));
    QCOMPARE(slice(p, 0, 8), (Bytes{0x16, 'K', 'v', 'o', 'D', 2, 6, 0}));
    QCOMPARE(int(p[10]), 2);
    QCOMPARE(slice(p, 29, 6), (Bytes{0x12, 0, 0, 0, 36, 0}));
    QCOMPARE(inquiry.dataLength, 36u);
    QCOMPARE(Bytes(inquiry.data, inquiry.data + 36), ctl().scsiInquiry(0, 2));
    QCOMPARE(std::string(reinterpret_cast<char*>(inquiry.data) + 8, 6), std::string("VARNEL"));

    // The disk refuses an unknown command: its sense bytes in the CDB field, result 1.
    _SCSI_PASSTHROUGH_COMMAND unknown{};
    unknown.cdb[0] = 0xC7;
    unknown.cdbLength = 10;
    QCOMPARE(session().ZynScsiPassthroughCmd(0, 2, &unknown), 1u);
    QCOMPARE(Bytes(unknown.cdb, unknown.cdb + 16), (Bytes{0x02, 0x70, 0, 0x05, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(int(lastPayload(ctl(), 0x1C)[10]), 0);   // no data

    // Data to the disk at 61; lengths the request cannot hold are refused before sending.
    _SCSI_PASSTHROUGH_COMMAND out{};
    out.cdb[0] = 0x00;
    out.cdbLength = 6;
    out.direction = _SCSI_PASSTHROUGH_COMMAND::DataOut;
    out.dataLength = 578;
    out.data[577] = 0x5A;
    QCOMPARE(session().ZynScsiPassthroughCmd(0, 2, &out), 0u);
    QCOMPARE(int(lastPayload(ctl(), 0x1C)[7]), 1);
    QCOMPARE(int(lastPayload(ctl(), 0x1C)[638]), 0x5A);
    const int before = sent(0x1C);
    out.dataLength = 579;
    QCOMPARE(session().ZynScsiPassthroughCmd(0, 2, &out), 6u);
    out.dataLength = 0;
    out.cdbLength = 17;
    QCOMPARE(session().ZynScsiPassthroughCmd(0, 2, &out), 6u);
    QCOMPARE(sent(0x1C), before);

    // A returned length the reply does not hold is refused.
    Bytes lying(20, 0);
    zynwire::putU32(lying.data() + 6, 5000);
    ctl().script(0x1C, 1, zynsim::Answer::data(lying));
    QCOMPARE(session().ZynScsiPassthroughCmd(0, 2, &inquiry), 12u);
    // An empty slot is not ready.
    _SCSI_PASSTHROUGH_COMMAND empty{};
    empty.cdbLength = 6;
    QCOMPARE(session().ZynScsiPassthroughCmd(0, 7, &empty), 1u);
    QCOMPARE(int(empty.cdb[3]), 0x02);
}

void TestModelCommands::ultra320Targets()
{
    QCOMPARE(start(configOf(zynsim::Profile::Older, 0)), QString());
    _U320_SCSI_TARGET_CONFIG config;
    QCOMPARE(session().ZynGetU320ScsiTargetConfig(&config), 0u);
    const Bytes image = ctl().setupImage();
    QCOMPARE(Bytes(config.qas, config.qas + 4), slice(image, 216, 4));
    QCOMPARE(int(config.autoSpeedDown), int(image[768]));
    QCOMPARE(int(config.twoTbMode), int(image[772]));
    QCOMPARE(session().ZynSetQas(2, 0), 0u);
    QCOMPARE(int(ctl().setupImage()[218]), 0);
    QCOMPARE(slice(ctl().setupImage(), 216, 2), slice(image, 216, 2));
    QCOMPARE(session().ZynSetQas(4, 0), 6u);
    QCOMPARE(session().ZynSetQas(0, 2), 6u);
    QCOMPARE(session().ZynGetU320ScsiTargetConfig(nullptr), 6u);
    m_rig.stop();

    // Layouts without fields 78 and 81: 72, with the channels filled in and the defaults kept.
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure, 2)), QString());
    QCOMPARE(session().ZynGetU320ScsiTargetConfig(&config), 72u);
    QCOMPARE(Bytes(config.qas, config.qas + 4), slice(ctl().setupImage(), 216, 4));
    QCOMPARE(int(config.autoSpeedDown), 0);
    QCOMPARE(int(config.twoTbMode), 1);
    QCOMPARE(session().ZynSetQas(0, 1), 72u);
}

void TestModelCommands::fibrePorts()
{
    zynsim::ControllerConfig config = configOf(zynsim::Profile::Enclosure, 2);
    config.mac = {0x02, 0x11, 0x22, 0xFF, 0xFF, 0xFF};
    QCOMPARE(start(config), QString());
    _FIBRE_CONFIG port;
    QCOMPARE(session().ZynGetFibreConfig(1, &port), 0u);
    // The MAC's last three bytes, plus the channel and one, modulo 2^24.
    QCOMPARE(Bytes(port.wwn, port.wwn + 8), (Bytes{0x21, 0x00, 0x02, 0x11, 0x22, 0x00, 0x00, 0x01}));
    QCOMPARE(int(port.speed), 2);
    QCOMPARE(int(port.topology), 1);
    QCOMPARE(int(port.loopId), 4);
    QCOMPARE(int(port.loopStatus), 0);
    QCOMPARE(session().ZynGetFibreConfig(0, &port), 0u);
    QCOMPARE(int(port.wwn[7]), 0x00);   // FF FF FF + 1

    // A hard loop address: loop id 15 and status 1; a new id keeps the status; soft clears both.
    QCOMPARE(session().ZynSetFibreConfigLoopStatus(1, FIBRE_LOOP_HARD), 0u);
    QCOMPARE(slice(ctl().setupImage(), kFibrePorts + 4, 4), (Bytes{2, 1, 0xFF, 0}));
    QCOMPARE(session().ZynSetFibreConfigSpeed(1, FIBRE_SPEED_2), 0u);
    QCOMPARE(slice(ctl().setupImage(), kFibrePorts + 4, 4), (Bytes{2, 1, 0xFF, 0}));   // the loop byte as stored
    QCOMPARE(session().ZynGetFibreConfig(1, &port), 0u);
    QCOMPARE(int(port.loopId), 15);
    QCOMPARE(int(port.loopStatus), 1);
    QCOMPARE(session().ZynSetFibreConfigLoopId(1, 2), 0u);
    QCOMPARE(session().ZynGetFibreConfig(1, &port), 0u);
    QCOMPARE(int(port.loopId), 2);
    QCOMPARE(int(port.loopStatus), 1);
    QCOMPARE(session().ZynSetFibreConfigLoopStatus(1, FIBRE_LOOP_SOFT), 0u);
    QCOMPARE(session().ZynGetFibreConfig(1, &port), 0u);
    QCOMPARE(int(port.loopId), 0);
    QCOMPARE(int(port.loopStatus), 0);
    QCOMPARE(session().ZynSetFibreConfigLoopId(1, 5), 0u);
    QCOMPARE(session().ZynSetFibreConfigLoopId(1, 2), 0u);
    QCOMPARE(session().ZynGetFibreConfig(1, &port), 0u);
    QCOMPARE(int(port.loopId), 2);   // not 5 | 2

    // Speed and topology change their byte only, in the channel's four bytes.
    const Bytes others = slice(ctl().setupImage(), kFibrePorts + 8, 8);
    QCOMPARE(session().ZynSetFibreConfigSpeed(1, FIBRE_SPEED_3), 0u);
    QCOMPARE(session().ZynSetFibreConfigTopology(1, FIBRE_TOPOLOGY_2), 0u);
    QCOMPARE(slice(ctl().setupImage(), kFibrePorts + 4, 4), (Bytes{3, 2, 0x02, 0}));
    QCOMPARE(slice(ctl().setupImage(), kFibrePorts + 8, 8), others);
    QCOMPARE(session().ZynSetFibreConfigSpeed(4, FIBRE_SPEED_0), 6u);
    QCOMPARE(session().ZynSetFibreConfigSpeed(0, _FIBRE_CH_SPEED(4)), 6u);
    QCOMPARE(session().ZynSetFibreConfigLoopId(0, 15), 6u);
    QCOMPARE(session().ZynSetFibreConfigLoopStatus(0, _FIBRE_LOOP_STATUS(2)), 6u);
    QCOMPARE(session().ZynGetFibreConfig(0, nullptr), 6u);
}

void TestModelCommands::fibreHostNames()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure, 2)), QString());
    _FIBRE_HOST_WWNAME_LIST list;
    QCOMPARE(session().ZynGetFibreHostNameList(&list), 0u);
    QCOMPARE(int(list.count), 0);
    _FIBRE_HOST_WWNAME a = hostName({0x10, 0x00, 0x00, 0x05, 0x1E, 0x01, 0x02, 0x03}, "Alpha");
    _FIBRE_HOST_WWNAME b = hostName({0x20, 0x00, 0x00, 0x05, 0x1E, 0x01, 0x02, 0x04}, "Bravo");
    _FIBRE_HOST_WWNAME c = hostName({0x30, 0x00, 0x00, 0x05, 0x1E, 0x01, 0x02, 0x05}, "Charlie");
    for (_FIBRE_HOST_WWNAME* name : {&a, &b, &c})
        QCOMPARE(session().ZynAddFibreHostName(name), 0u);
    // Stored as two little-endian words.
    QCOMPARE(slice(ctl().setupImage(), kHostNames, 13), (Bytes{0x05, 0x00, 0x00, 0x10, 0x03, 0x02, 0x01, 0x1E, 'A', 'l', 'p', 'h', 'a'}));
    QCOMPARE(session().ZynGetFibreHostNameList(&list), 0u);
    QCOMPARE(int(list.count), 3);
    QCOMPARE(Bytes(list.entries[2].wwn, list.entries[2].wwn + 8), Bytes(c.wwn, c.wwn + 8));
    QCOMPARE(std::string(reinterpret_cast<char*>(list.entries[1].nickname)), std::string("Bravo"));

    // A duplicate or a name without its first word is refused with nothing written.
    const int writes = setupWrites();
    _FIBRE_HOST_WWNAME copy = hostName({0x20, 0x00, 0x00, 0x05, 0x1E, 0x01, 0x02, 0x04}, "Other");
    QCOMPARE(session().ZynAddFibreHostName(&copy), 6u);
    _FIBRE_HOST_WWNAME zero = hostName({0, 0, 0, 0, 1, 2, 3, 4}, "Zero");
    QCOMPARE(session().ZynAddFibreHostName(&zero), 6u);
    QCOMPARE(session().ZynAddFibreHostName(nullptr), 6u);
    QCOMPARE(setupWrites(), writes);

    // Deleting entry 0 of 3 moves the others down and clears slot 2.
    QCOMPARE(session().ZynDelFibreHostName(0), 0u);
    QCOMPARE(session().ZynGetFibreHostNameList(&list), 0u);
    QCOMPARE(int(list.count), 2);
    QCOMPARE(int(list.entries[0].wwn[0]), 0x20);
    QCOMPARE(int(list.entries[1].wwn[0]), 0x30);
    QCOMPARE(slice(ctl().setupImage(), kHostNames + 64, 32), Bytes(32, 0));
    QCOMPARE(session().ZynDelFibreHostName(2), 6u);

    // A full table: twenty names, no terminator, the twenty-first refused.
    for (uint8_t i = 2; i < 20; ++i) {
        _FIBRE_HOST_WWNAME more = hostName({0x40, i, 0, 0, 0, 0, 0, i}, "More");
        QCOMPARE(session().ZynAddFibreHostName(&more), 0u);
    }
    QCOMPARE(session().ZynGetFibreHostNameList(&list), 0u);
    QCOMPARE(int(list.count), 20);
    _FIBRE_HOST_WWNAME last = hostName({0x50, 0, 0, 0, 0, 0, 0, 1}, "Last");
    QCOMPARE(session().ZynAddFibreHostName(&last), 6u);
    // Deleting the last one writes one block of zeros.
    const int before = setupWrites();
    QCOMPARE(session().ZynDelFibreHostName(19), 0u);
    QCOMPARE(setupWrites() - before, 1);
    QCOMPARE(slice(ctl().setupImage(), kHostNames + 32 * 19, 32), Bytes(32, 0));
    m_rig.stop();

    // Layout 3 keeps 4096 bytes of names: more than the read takes.
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure, 3)), QString());
    QCOMPARE(session().ZynGetFibreHostNameList(&list), 6u);
}

void TestModelCommands::fibreHostFilters()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure, 2)), QString());
    zynsim::VolumeOptions options;
    options.id = 1;
    options.lun = 2;
    const int volume = ctl().createVolumeSet(0, "Fibre", 2000000, 3, 128, options);
    QVERIFY(volume == 1);
    const unsigned lun = 1 * 8 + 2;
    _FIBRE_VOL_HOST_FILTER first = filterOf(0x11, 0);
    _FIBRE_VOL_HOST_FILTER second = filterOf(0x22, 1);
    QCOMPARE(session().ZynAddFibreHostFilter(0, lun, &first), 0u);
    QCOMPARE(session().ZynAddFibreHostFilter(0, lun, &second), 0u);
    const size_t at = kHostFilters + 160 * volume;
    Bytes image = ctl().setupImage();
    QCOMPARE(slice(image, at, 8), (Bytes{0x03, 0x02, 0x01, 0x50, 0x11, 0x06, 0x05, 0x04}));
    QCOMPARE(slice(image, at + 16, 4), (Bytes{0, 1, 0x0A, 0x80}));   // the tag 0x8000 | lun, slot 0 only
    QCOMPARE(slice(image, at + 20 + 16, 4), (Bytes{1, 1, 0, 0}));

    _FIBRE_VOL_HOST_FILTER_LIST list;
    QCOMPARE(session().ZynGetFibreHostFilterList(0, lun, &list), 0u);
    QCOMPARE(int(list.count), 2);
    QCOMPARE(int(list.volume), volume);
    QCOMPARE(int(list.entries[0].tag), 0x800A);
    QCOMPARE(Bytes(list.entries[1].wwn, list.entries[1].wwn + 8), Bytes(second.wwn, second.wwn + 8));

    // Deleting filter 0 moves filter 1 into slot 0 with slot 0's tag.
    QCOMPARE(session().ZynDelFibreHostFilter(0, lun, 0), 0u);
    image = ctl().setupImage();
    QCOMPARE(int(image[at + 4]), 0x22);
    QCOMPARE(slice(image, at + 16, 4), (Bytes{1, 1, 0x0A, 0x80}));
    QCOMPARE(slice(image, at + 20, 20), Bytes(20, 0));
    QCOMPARE(session().ZynDelFibreHostFilter(0, lun, 1), 6u);

    // A channel and lun no volume set has: an empty list, and no write anywhere.
    QCOMPARE(session().ZynGetFibreHostFilterList(0, 63, &list), 0u);
    QCOMPARE(int(list.count), 0);
    const Bytes untouched = ctl().setupImage();
    QCOMPARE(session().ZynAddFibreHostFilter(0, 63, &first), 18u);
    QCOMPARE(session().ZynDelFibreHostFilter(0, 63, 0), 18u);
    QCOMPARE(ctl().setupImage(), untouched);
    _FIBRE_VOL_HOST_FILTER zero{};
    QCOMPARE(session().ZynAddFibreHostFilter(0, lun, &zero), 6u);

    // Eight filters fill a volume's slots.
    for (uint8_t i = 0; i < 7; ++i) {
        _FIBRE_VOL_HOST_FILTER more = filterOf(uint8_t(0x30 + i), 0);
        QCOMPARE(session().ZynAddFibreHostFilter(0, lun, &more), 0u);
    }
    _FIBRE_VOL_HOST_FILTER ninth = filterOf(0x99, 0);
    QCOMPARE(session().ZynAddFibreHostFilter(0, lun, &ninth), 6u);
    QCOMPARE(session().ZynGetFibreHostFilterList(0, lun, &list), 0u);
    QCOMPARE(int(list.count), 8);
}

void TestModelCommands::scheduledVolumeCheck()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure)), QString());
    QCOMPARE(session().ZynSetScheduleVolumeCheck(10, 9, 1, 0), 0u);
    const Bytes p = lastPayload(ctl(), 0x1F);
    QCOMPARE(p.size(), size_t(525));
    QCOMPARE(slice(p, 0, 14), (Bytes{8, 'P', 'l', 'U', 'm', 'E', 'v', 'O', 'r', 10, 10, 9, 1, 0}));
    QCOMPARE(ctl().scheduledCheck(), (std::array<uint8_t, 4>{10, 9, 1, 0}));
    const int before = sent(0x1F);
    QCOMPARE(session().ZynSetScheduleVolumeCheck(11, 0, 0, 0), 6u);
    QCOMPARE(session().ZynSetScheduleVolumeCheck(0, 10, 0, 0), 6u);
    QCOMPARE(session().ZynSetScheduleVolumeCheck(0, 0, 2, 0), 6u);
    QCOMPARE(session().ZynSetScheduleVolumeCheck(0, 0, 0, 2), 6u);
    QCOMPARE(sent(0x1F), before);
}

void TestModelCommands::sedKeys()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure)), QString());
    unsigned short a = 0xEEEE, b = 0xEEEE;
    QCOMPARE(session().ZynCreateSEDKey(nullptr, &a, &b), 0u);
    Bytes withoutKey(37, 0);
    withoutKey[0] = 1;
    QCOMPARE(lastPayload(ctl(), 0x5A), withoutKey);
    QCOMPARE(a, u16(3));
    QCOMPARE(b, u16(0));
    u8 exported[512];
    QCOMPARE(session().ZynExportSEDKey(exported), 0u);
    QCOMPARE(Bytes(exported, exported + 32), ctl().sedKey());

    // A given key: filled up with blanks, cut to its 32 bytes.
    char key[] = "secret";
    QCOMPARE(session().ZynChangeSEDKey(reinterpret_cast<unsigned char*>(key), nullptr, nullptr), 0u);
    Bytes p = lastPayload(ctl(), 0x5A);
    QCOMPARE(p.size(), size_t(37));
    QCOMPARE(int(p[0]), 4);
    Bytes field(32, ' ');
    std::memcpy(field.data(), "secret", 6);
    QCOMPARE(slice(p, 5, 32), field);
    QCOMPARE(ctl().sedKey(), field);

    // Key files: 0 and 512 bytes are sent (zero-filled), 513 refused, a missing one 7.
    QTemporaryDir dir;
    auto file = [&](const char* name, int size) {
        const QString path = dir.path() + QLatin1Char('/') + QLatin1String(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray(size, 'k'));
        return path.toLocal8Bit();
    };
    QByteArray empty = file("empty.key", 0);
    unsigned short c = 0, d = 0;
    QCOMPARE(session().ZynImportSEDKey(empty.data(), 0, &a, &b, &c, &d), 0u);
    p = lastPayload(ctl(), 0x5A);
    QCOMPARE(p.size(), size_t(517));
    QCOMPARE(slice(p, 0, 5), (Bytes{8, 0, 0, 0, 0}));
    QCOMPARE(slice(p, 5, 512), Bytes(512, 0));
    QCOMPARE(a, u16(2));
    QCOMPARE(b, u16(1));
    QByteArray full = file("full.key", 512);
    QCOMPARE(session().ZynImportSEDKey(full.data(), 1, nullptr, nullptr, nullptr, nullptr), 0u);
    QCOMPARE(slice(lastPayload(ctl(), 0x5A), 5, 512), Bytes(512, 'k'));
    QCOMPARE(ctl().sedKey(), Bytes(32, 'k'));
    const int before = sent(0x5A);
    QByteArray big = file("big.key", 513);
    QCOMPARE(session().ZynImportSEDKey(big.data(), 0, nullptr, nullptr, nullptr, nullptr), 6u);
    char unreadable[] = "/proc/self/mem";   // its size reads 0, its first bytes cannot be read
    QCOMPARE(session().ZynImportSEDKey(unreadable, 0, nullptr, nullptr, nullptr, nullptr), 7u);
    QByteArray missing = (dir.path() + QStringLiteral("/none.key")).toLocal8Bit();
    QCOMPARE(session().ZynImportSEDKey(missing.data(), 0, nullptr, nullptr, nullptr, nullptr), 7u);
    // A FIFO is no key file: refused at once instead of waiting for a writer.
    QByteArray fifo = (dir.path() + QStringLiteral("/fifo.key")).toLocal8Bit();
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    QCOMPARE(session().ZynImportSEDKey(fifo.data(), 0, nullptr, nullptr, nullptr, nullptr), 7u);
    char nothing[] = "";
    QCOMPARE(session().ZynImportSEDKey(nothing, 0, nullptr, nullptr, nullptr, nullptr), 6u);
    QCOMPARE(session().ZynImportSEDKey(full.data(), 2, nullptr, nullptr, nullptr, nullptr), 6u);
    QCOMPARE(sent(0x5A), before);

    // Disabling reports its words; clearing is a status.
    a = b = 0;
    QCOMPARE(session().ZynDisableSEDKey(&a, &b), 0u);
    QCOMPARE(lastPayload(ctl(), 0x5A), (Bytes{6}));
    QCOMPARE(b, u16(3));
    QCOMPARE(session().ZynClearSEDKey(), 0u);
    QCOMPARE(lastPayload(ctl(), 0x5A), (Bytes{5}));
    QVERIFY(ctl().sedKey().empty());
    QCOMPARE(session().ZynExportSEDKey(exported), u32('Y'));
}

void TestModelCommands::expanders()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure)), QString());
    auto info = std::make_unique<sGUI_EXP_INFO>();
    QCOMPARE(session().ZynGetExpanderInfo(1, info.get()), 0u);
    QCOMPARE(lastPayload(ctl(), 0x47), (Bytes{0, 1}));
    QCOMPARE(std::string(reinterpret_cast<char*>(info->bytes)), std::string("Varnel Expander 2"));
    QCOMPARE(int(info->bytes[3659]), int(uint8_t((3663 * 7 + 1) & 0xFF)));   // the block's last byte
    QCOMPARE(session().ZynGetExpanderInfo(2, info.get()), u32('G'));
    QCOMPARE(int(info->bytes[0]), 0);   // zeroed first
    QCOMPARE(session().ZynClearExpanderErrorLog(1), 0u);
    QCOMPARE(lastPayload(ctl(), 0x47), (Bytes{1, 1}));

    u8 data[16];
    for (int i = 0; i < 16; ++i)
        data[i] = u8(0xA0 + i);
    QCOMPARE(session().ZynSetExpanderDhpm(data, 7, 3), 0u);
    Bytes expected(17, 0);
    expected[0] = 7;
    expected[1] = 0xA0;
    expected[2] = 0xA1;
    expected[3] = 0xA2;
    QCOMPARE(lastPayload(ctl(), 0xF4), expected);
    QCOMPARE(session().ZynSetExpanderEdfb(data, 9, 16), 0u);
    QCOMPARE(int(lastPayload(ctl(), 0xF4)[16]), 0xAF);
    QCOMPARE(session().ZynSetExpanderLinkSpeed(4, 0, data, 0), 0u);
    QCOMPARE(slice(lastPayload(ctl(), 0xF5), 0, 3), (Bytes{95, 3, 0}));
    QCOMPARE(lastPayload(ctl(), 0xF5).size(), size_t(18));
    const int dhpm = sent(0xF4), link = sent(0xF5);
    QCOMPARE(session().ZynSetExpanderLinkSpeed(2, 3, data, 0), 6u);
    QCOMPARE(session().ZynSetExpanderLinkSpeed(5, 0, data, 0), 6u);
    QCOMPARE(session().ZynSetExpanderLinkSpeed(1, 0, data, 17), 6u);
    QCOMPARE(session().ZynSetExpanderDhpm(data, 0, 17), 6u);
    QCOMPARE(session().ZynSetExpanderDhpm(nullptr, 0, 2), 6u);
    QCOMPARE(session().ZynSetExpanderDhpm(data, 0, -1), 6u);
    QCOMPARE(sent(0xF4), dhpm);
    QCOMPARE(sent(0xF5), link);
}

void TestModelCommands::volumeKeyBuffer()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure)), QString());
    auto encrypted = [](int type, int status) {
        zynsim::VolumeOptions o;
        o.flags = sGUI_VOLUMESET::kFlagEncrypted;
        o.encryptionType = uint8_t(type);
        o.keyStatus = uint8_t(status);
        return o;
    };
    QVERIFY(ctl().createVolumeSet(0, "Secret64", 2000000, 3, 128, encrypted(1, 0)) == 1);
    QVERIFY(ctl().createVolumeSet(0, "Secret32", 2000000, 3, 128, encrypted(3, 0)) == 2);
    QVERIFY(ctl().createVolumeSet(0, "Unlocked", 2000000, 3, 128, encrypted(2, 1)) == 3);

    std::vector<u8> out(4096, 0);
    unsigned int length = unsigned(out.size());
    QCOMPARE(session().ZynGenerateAESKeyBuffer(0, nullptr, &length, out.data()), 0u);
    const unsigned total = 64 + (36 + 64) + (36 + 32) + 4;
    QCOMPARE(length, total);
    QCOMPARE(std::string(reinterpret_cast<char*>(out.data()), 24), std::string("ZynEncryptionKeyFile    "));
    QCOMPARE(Bytes(out.begin() + 24, out.begin() + 56), Bytes(32, ' '));
    QCOMPARE(zynwire::getU32(out.data() + 56), 0u);
    QCOMPARE(zynwire::getU32(out.data() + 60), total);
    QCOMPARE(zynwire::getU32(out.data() + total - 4), u32(::crc32(0, out.data(), total - 4)));

    // Entries: name, serial, type, key length, key text.
    const sGUI_VOLUMESET first = ctl().volumeSet(1);
    const u8* e = out.data() + 64;
    QCOMPARE(Bytes(e, e + 16), Bytes(first.bytes, first.bytes + 16));
    QCOMPARE(Bytes(e + 16, e + 32), Bytes(first.bytes + 92, first.bytes + 108));
    QCOMPARE(zynwire::getU16(e + 32), u16(1));
    QCOMPARE(zynwire::getU16(e + 34), u16(64));
    const u8* second = e + 36 + 64;
    QCOMPARE(zynwire::getU16(second + 32), u16(3));
    QCOMPARE(zynwire::getU16(second + 34), u16(32));
    auto checkKey = [](const u8* text, int n) {
        QVERIFY(text[0] >= 'A' && text[0] <= 'Z');
        int blanks = 0;
        for (int i = 1; i < n; ++i) {
            QVERIFY((text[i] >= 'a' && text[i] <= 'z') || text[i] == ' ');
            blanks += text[i] == ' ';
        }
        QVERIFY(blanks <= 1);
    };
    checkKey(e + 36, 64);
    checkKey(second + 36, 32);
    // Keys come from a cryptographic source: two buffers never share a key.
    std::vector<u8> again(4096, 0);
    unsigned int againLength = unsigned(again.size());
    QCOMPARE(session().ZynGenerateAESKeyBuffer(0, nullptr, &againLength, again.data()), 0u);
    QVERIFY(!std::equal(e + 36, e + 100, again.data() + 100));

    // One volume of type 1 by its position in the map: 168 bytes.
    u8 positions[1] = {1};
    length = unsigned(out.size());
    QCOMPARE(session().ZynGenerateAESKeyBuffer(1, positions, &length, out.data()), 0u);
    QCOMPARE(length, 168u);
    QCOMPARE(zynwire::getU32(out.data() + 60), 168u);
    // Too small a buffer, a position past the map, and nothing to key.
    length = 100;
    QCOMPARE(session().ZynGenerateAESKeyBuffer(1, positions, &length, out.data()), 12u);
    QCOMPARE(length, 0u);
    u8 past[1] = {9};
    length = unsigned(out.size());
    QCOMPARE(session().ZynGenerateAESKeyBuffer(1, past, &length, out.data()), 1u);
    u8 plain[2] = {0, 3};
    QCOMPARE(session().ZynGenerateAESKeyBuffer(2, plain, &length, out.data()), 1u);
}

QTEST_GUILESS_MAIN(TestModelCommands)
#include "test_modelcmds.moc"
