// The console's disk family against the simulator, through the zyncli harness: every typed
// line's whole output compared byte for byte, on both controller families, and the exact
// requests the controller received (or that none was sent).
#include "clifixture.h"
#include "simfixture.h"

#include <QProcess>
#include <QtTest>

using namespace simtest;

namespace {

const char* const kOlder = "127.0.0.212";
const char* const kEnclosure = "127.0.0.213";
const char* const kPassword = "0000";

// Older family: channels 0-4; raid set 0 on channels 0 and 1 with a Raid1+0 volume at 0/0/0, a
// global hot spare, a free disk, a free solid-state disk, and a pass-through disk on channel 5.
const char kOlderModel[] =
    "disk 0 0 model \"WD Spinner 2000\" serial \"WD-A000\" firmware \"FW01\" capacity 3907029168 temp 35 "
    "smart 100:51 98:21 100:36 90:30 100:97 255:0\n"
    "disk 0 1 model \"WD Spinner 2000\" serial \"WD-A001\" firmware \"FW01\" capacity 3907029168 temp 36\n"
    "disk 0 2 model \"Spare Disk\" serial \"SP-2\" firmware \"FW02\" capacity 1953525168\n"
    "disk 0 3 model \"Free Disk\" serial \"FR-3\" firmware \"FW03\" capacity 1953525168 smart 100:50 100:50 100:50 100:50 100:50 100:50\n"
    "disk 0 4 model \"Fast SSD 480\" serial \"SSD-4\" firmware \"S1\" capacity 937703088 temp 30 smart 99:10 98:10 97:10 96:10 95:10 94:10\n"
    "disk 0 5 model \"Pass Disk\" serial \"PT-5\" firmware \"FW05\" capacity 1953525168\n"
    "raidset \"Raid Set # 000\" disks 0 1\n"
    "volume \"Volume---VOL#000\" raidset 0 capacity 1000000000 level 1 channel 0 id 0 lun 0 state 0\n"
    "hotspare 2 global\n"
    "passthrough 5\n";

// Enclosure family: one enclosure of 8 slots; a raid set of a SAS disk, a SATA disk and a SATA
// solid-state disk; a free SAS disk.
const char kEnclosureModel[] =
    "enclosure 0 slots 8\n"
    "disk 0 0 model \"SAS Disk 600\" serial \"SAS-0\" firmware \"S600\" capacity 1172123568 address 0x3000C50012345678 "
    "temp 40 rpm 15000 media 2 timeouts 3 counters 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n"
    "disk 0 1 model \"SATA Disk 1T\" serial \"SATA-1\" firmware \"FW1\" capacity 1953525168 sata address 0x3433221100000001 "
    "temp 33 smart 100:51 99:21 100:36 90:30 100:97 100:20\n"
    "disk 0 2 model \"SAS Free\" serial \"SAS-2\" firmware \"S602\" capacity 1172123568 address 0x3000C50000000002\n"
    "disk 0 3 model \"SATA Free SSD\" serial \"SSD-3\" firmware \"S3\" capacity 937703088 sata\n"
    "raidset \"Raid Set # 000\" disks 0:0 0:1 0:3\n"
    "volume \"Volume---VOL#000\" raidset 0 capacity 1000000000 level 3 state 0\n";

using clitest::HarnessRun;

HarnessRun runHarness(const char* address, const QByteArray& input)
{
    return clitest::runZyncli(address, input, kPassword);
}

constexpr int kDriveCommand = 0x1F;
constexpr size_t kDriveCommandOp = 9;
constexpr uint8_t kFailOp = 0x08;
constexpr size_t kDriveCommandHead = 12;
constexpr int kPassthrough = 0x1C;
constexpr size_t kSmartReplySize = 2 + 512;
constexpr size_t kPassthroughHead = 14;

QByteArray hex(const Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), int(b.size())).toHex(' ');
}

// What one command line sends: each request of `command` the controller received, in hex.
QByteArray sent(const zynsim::FakeController& c, int command)
{
    QByteArrayList all;
    for (const Bytes& p : payloads(c, command)) {
        // 0x1F carries the polling reads too: only the drive commands count.
        if (command == kDriveCommand && (p.size() <= kDriveCommandOp || p[kDriveCommandOp] != kFailOp))
            continue;
        // Its drive is named by bytes 10 and 11; the rest of the 525 bytes is zero.
        if (command == kDriveCommand)
            all << hex(slice(p, 0, kDriveCommandHead)) + " ..";
        else if (command == kPassthrough && p.size() > kPassthroughHead)   // its task file, then the sector
            all << hex(slice(p, 0, kPassthroughHead)) + " ..";
        else
            all << hex(p);
    }
    return all.join('|');
}

} // namespace

class TestCliDisk : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void transcripts_data();
    void transcripts();

private:
    zynsim::Simulator m_sim;
    std::shared_ptr<zynsim::FakeController> m_older;
    std::shared_ptr<zynsim::FakeController> m_enclosure;
    QTemporaryDir m_dir;
};

void TestCliDisk::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    zynsim::ControllerConfig older;
    older.profile = zynsim::Profile::Older;
    m_older = m_sim.addUdpController(kOlder, older);
    m_enclosure = m_sim.addUdpController(kEnclosure, zynsim::ControllerConfig());
    QVERIFY2(m_older && m_enclosure, m_sim.error().c_str());
}

void TestCliDisk::init()
{
    std::string why;
    QVERIFY2(m_older->loadConfig(kOlderModel, &why), why.c_str());
    QVERIFY2(m_enclosure->loadConfig(kEnclosureModel, &why), why.c_str());
    m_older->clearScripts();
    m_enclosure->clearScripts();
    m_older->clearLog();
    m_enclosure->clearLog();
}

#include "disk_transcripts.inc"

void TestCliDisk::transcripts()
{
    QFETCH(bool, enclosure);
    // 0x1C answers scripted before the line runs, ';' between them: "F" the status 'F', "M" the
    // model's own answer, "S365=f0,..." a SMART page, "D<hex>" data.
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);
    QFETCH(int, command);           // the request watched
    QFETCH(QByteArray, requests);   // its payloads in hex, "|" between requests
    QFETCH(QByteArray, change);
    zynsim::FakeController& c = enclosure ? *m_enclosure : *m_older;
    std::string why;
    QVERIFY2(change.isEmpty() || c.applyConfig(change.toStdString(), &why), why.c_str());
    c.clearLog();
    for (const QByteArray& s : script.split(';')) {
        if (s.isEmpty())
            continue;
        if (s.startsWith('F')) {
            c.script(kPassthrough, 1, zynsim::Answer::status('F'));
        } else if (s.startsWith('M')) {
            c.script(kPassthrough, 1, zynsim::Answer());
        } else if (s.startsWith('S')) {
            // A SMART page reply: two bytes, then 512 bytes set at "offset=hex" places.
            Bytes reply(kSmartReplySize, 0);
            for (const QByteArray& set : s.mid(1).split(',')) {
                const QByteArrayList kv = set.split('=');
                const QByteArray bytes = QByteArray::fromHex(kv.value(1));
                std::copy(bytes.begin(), bytes.end(), reply.begin() + kv.value(0).toInt());
            }
            c.script(kPassthrough, 1, zynsim::Answer::data(reply));
        } else {
            const QByteArray data = QByteArray::fromHex(s.mid(1));
            c.script(kPassthrough, 1, zynsim::Answer::data(Bytes(data.begin(), data.end())));
        }
    }
    const HarnessRun run = runHarness(enclosure ? kEnclosure : kOlder, line + "\n");
    QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
    QCOMPARE(run.out, "\r\n" + expected);
    QCOMPARE(sent(c, command), requests);
}

QTEST_MAIN(TestCliDisk)
#include "test_cli_disk.moc"
