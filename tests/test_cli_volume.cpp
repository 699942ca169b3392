// The vsf volume set commands through the zyncli harness against the simulator: whole
// transcripts byte for byte, the exact payloads the controller receives (nothing for a refused
// line), and the simulated volume sets afterwards.
#include "clifixture.h"
#include "simfixture.h"

#include <QProcess>
#include <QtTest>

#include <string>
#include <vector>

using namespace simtest;

namespace {

const char* const kEnc = "127.0.0.202";     // enclosure family, Raid6, nested volumes
const char* const kOld = "127.0.0.203";     // older family, no Raid6, no nested volumes
const char* const kSimPassword = "0000";

// Three 1000.0 GB disks in raid set 0, three free ones.
const char kEncBase[] =
    "enclosure 0 slots 8\n"
    "disk 0 0 capacity 1953125000\ndisk 0 1 capacity 1953125000\ndisk 0 2 capacity 1953125000\n"
    "disk 0 3 capacity 1953125000\ndisk 0 4 capacity 1953125000\ndisk 0 5 capacity 1953125000\n"
    "raidset 0 \"R0\" disks 0:0 0:1 0:2\n";
const char kOldBase[] =
    "controller channels 8\n"
    "disk 0 0 capacity 1953125000\ndisk 0 1 capacity 1953125000\ndisk 0 2 capacity 1953125000\n"
    "raidset 0 \"R0\" disks 0 1 2\n";

QByteArray runHarness(const char* address, const QByteArray& input, QString* error)
{
    const clitest::HarnessRun run = clitest::runZyncli(address, input, kSimPassword);
    *error = run.error;
    return run.out;
}

using clitest::hex;

using clitest::rule;

QByteArray name16(const char* text)
{
    QByteArray n(text);
    n.append(QByteArray(16 - n.size(), ' '));
    return n.toHex();
}

QByteArray zeros(int n)
{
    return QByteArray(2 * n, '0');
}

// Capacities as u64 block counts, little-endian.
const QByteArray k1024000GB = "00204aa9d1010000";
const QByteArray k100GB = "743ba40b00000000";
const QByteArray k200GB = "e876481700000000";

const QByteArray kOk = "GuiErrMsg<0x00>: Success.\n";
const QByteArray kNoObject = "GuiErrMsg<0x12>: No Such Device.\n";
const QByteArray kInvalidDot = "ErrMsg: Invalid Parameter.\n";
const QByteArray kUsage = "ErrMsg: Invalid Parameter. Use \"vsf -h\" For Details.\n";
const QByteArray kListHeader = "  # Name             Raid Name       Level   Capacity Ch/Id/Lun  State         \n";

} // namespace

class TestCliVolume : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void transcripts_data();
    void transcripts();
    void infoWithUnreadableRaidSet_data();
    void infoWithUnreadableRaidSet();
    void scheduleCheck();
    void help();

private:
    zynsim::Simulator m_sim;
    std::shared_ptr<zynsim::FakeController> m_enc;
    std::shared_ptr<zynsim::FakeController> m_old;
};

void TestCliVolume::initTestCase()
{
    zynsim::ControllerConfig enc = configOf(zynsim::Profile::Enclosure);
    enc.raid6 = true;
    m_enc = m_sim.addUdpController(kEnc, enc);
    m_old = m_sim.addUdpController(kOld, configOf(zynsim::Profile::Older));
    QVERIFY2(m_enc && m_old, m_sim.error().c_str());
}

// One line per row: the model, the command, the whole output, the frames of one command and
// the names of the volume sets afterwards (volume v at index v; "" none).
void TestCliVolume::transcripts_data()
{
    QTest::addColumn<bool>("older");
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArrayList>("payloads");
    QTest::addColumn<QStringList>("volumes");

    const QByteArray enc = kEncBase;
    const QByteArray old = kOldBase;
    const QByteArray r5 = enc + "volume 0 \"V0\" raidset 0 capacity 390625000 level 3 state 0\n";
    const QByteArray r0 = enc + "volume 0 \"Z0\" raidset 0 capacity 390625000 level 0 state 0\n";
    const QByteArray two = enc + "raidset 1 \"R1\" disks 0:3 0:4 0:5\n";
    const QByteArrayList none;
    using S = QStringList;
    // The creation payload: raid, name, blocks, level, stripe, ch, id, lun, tag, cache, 4,
    // flags, encryption, six zeros.
    auto create = [](const char* raid, const QByteArray& name, const QByteArray& blocks, const char* settings,
                     const char* tail) { return QByteArray(raid) + name + blocks + settings + tail + zeros(6); };

    QTest::newRow("create defaults: the controller caps the request at the free space")
        << false << enc << QByteArray("vsf create raid=1 level=5") << kOk << 0x60
        << QByteArrayList{create("00", zeros(16), k1024000GB, "0304000000010104", "0100")} << S{"Volume---VOL#000"};
    QTest::newRow("create 100GB, address past the taken ones")
        << false << enc + "volume 3 \"T\" raidset 0 capacity 2000000 level 0 channel 0 id 0 lun 0\n"
        << QByteArray("vsf create raid=1 level=5 capacity=100 name=ABCDEFGHIJKLMNOPQRST stripe=16 tag=n cache=N "
                      "fginit=n gt2tb=win entype=2")
        << kOk << 0x60
        << QByteArrayList{create("00", QByteArray("ABCDEFGHIJKLMNOP").toHex(), k100GB, "0302000001000004", "0202")}
        << S{"ABCDEFGHIJKLMNOP", "", "", "T"};
    // A name is cut between characters; the controller keeps the bytes, which list as typed.
    QTest::newRow("modify and create, names cut between characters")
        << false << enc + "volume 0 \"V0\" raidset 0 capacity 390625000 level 3 state 0\n"
        << QByteArray("vsf modify vol=1 name=ABCDEFGHIJKLMNOé\n"
                      "vsf create raid=1 level=0 capacity=100 name=Tägliche-Sicherung\nvsf info")
        << kOk + "\r\n" + kOk + "\r\n" + kListHeader + rule(79)
               + "  1  ABCDEFGHIJKLMNO R0              Raid5    200.0GB 00/00/00   Normal\n"
                 "  2  Tägliche-Sicher R0              Raid0    100.0GB 00/00/01   Initializing(0.0%)\n"
               + rule(79) + kOk
        << 0x60 << QByteArrayList{create("00", QByteArray("Tägliche-Sicher").toHex(), k100GB, "0004000001010104", "0100")}
        << S{"ABCDEFGHIJKLMNO", "Tägliche-Sicher"};
    QTest::newRow("create: id 15 LUN 7 taken moves to channel 1")
        << false << enc + "volume 0 \"T\" raidset 0 capacity 2000000 level 0 channel 0 id 15 lun 7\n"
        << QByteArray("vsf create raid=1 level=0 capacity=100 id=15 lun=7 name=N") << kOk << 0x60
        << QByteArrayList{create("00", name16("N"), k100GB, "0004010f07010104", "0100")} << S{"T", "N"};
    QTest::newRow("create Raid6 without support") << true << old << QByteArray("vsf create raid=1 level=6 capacity=10")
                                                  << QByteArray("ErrMsg: Unsupported Raid Level\n") << 0x60 << none
                                                  << S{""};
    QTest::newRow("create Raid6 with support") << false << enc << QByteArray("vsf create raid=1 level=6 capacity=100")
                                               << kOk << 0x60
                                               << QByteArrayList{create("00", zeros(16), k100GB, "0404000000010104", "0100")}
                                               << S{"Volume---VOL#000"};
    QTest::newRow("create Raid1 on one disk")
        << false << enc + "raidset 1 \"R1\" disks 0:3\n" << QByteArray("vsf create raid=2 level=1")
        << QByteArray("ErrMsg: Raid1 Must Have At Least 2 Disks.\n") << 0x60 << none << S{""};
    QTest::newRow("create level 2") << false << enc << QByteArray("vsf create raid=1 level=2")
                                    << QByteArray("ErrMsg: Unsupported Raid Level\n") << 0x60 << none << S{""};
    QTest::newRow("create raid beyond the map") << false << enc << QByteArray("vsf create raid=2 level=5") << kNoObject
                                                << 0x60 << none << S{""};
    QTest::newRow("create without level") << false << enc << QByteArray("vsf create raid=1 capacity=1")
                                          << QByteArray("ErrMsg: Raidlevel Is Missing.\n") << 0x60 << none << S{""};
    QTest::newRow("create without raid") << false << enc << QByteArray("vsf create level=5 capacity=1")
                                         << QByteArray("ErrMsg: RaidSet# Is Missing.\n") << 0x60 << none << S{""};
    QTest::newRow("create one word") << false << enc << QByteArray("vsf create raid=1") << kUsage << 0x60 << none
                                     << S{""};
    QTest::newRow("create capacity with a unit") << false << enc << QByteArray("vsf create raid=1 level=5 capacity=100GB")
                                                 << kInvalidDot << 0x60 << none << S{""};
    QTest::newRow("create capacity nan") << false << enc << QByteArray("vsf create raid=1 level=5 capacity=nan")
                                         << QByteArray("ErrMsg: Invalid Capacity\n") << 0x60 << none << S{""};
    QTest::newRow("create capacity 1e400") << false << enc << QByteArray("vsf create raid=1 level=5 capacity=1e400")
                                           << QByteArray("ErrMsg: Invalid Capacity\n") << 0x60 << none << S{""};
    QTest::newRow("create capacity -inf") << false << enc << QByteArray("vsf create raid=1 level=5 capacity=-inf")
                                          << QByteArray("ErrMsg: Invalid Capacity\n") << 0x60 << none << S{""};
    QTest::newRow("create capacity 0.05") << false << enc << QByteArray("vsf create raid=1 level=5 capacity=0.05")
                                          << QByteArray("ErrMsg: Invalid Capacity\n") << 0x60 << none << S{""};
    QTest::newRow("create stripe 64K") << false << enc << QByteArray("vsf create raid=1 level=5 stripe=64K")
                                       << kInvalidDot << 0x60 << none << S{""};
    QTest::newRow("create stripe 48") << false << enc << QByteArray("vsf create raid=1 level=5 stripe=48")
                                      << QByteArray("ErrMsg: Unsupported Stripe Size\n") << 0x60 << none << S{""};
    QTest::newRow("create channel 3") << false << enc << QByteArray("vsf create raid=1 level=5 ch=3")
                                      << QByteArray("ErrMsg: Unsupported SCSI Channel\n") << 0x60 << none << S{""};
    QTest::newRow("create id -1") << false << enc << QByteArray("vsf create raid=1 level=5 id=-1")
                                  << QByteArray("ErrMsg: Unsupported SCSI ID\n") << 0x60 << none << S{""};
    // 255 typed is a value like any other, not the "not given" of the free-address search.
    QTest::newRow("create channel 255") << false << enc << QByteArray("vsf create raid=1 level=5 ch=255")
                                        << QByteArray("ErrMsg: Unsupported SCSI Channel\n") << 0x60 << none << S{""};
    QTest::newRow("create id 255") << false << enc << QByteArray("vsf create raid=1 level=5 id=255")
                                   << QByteArray("ErrMsg: Unsupported SCSI ID\n") << 0x60 << none << S{""};
    QTest::newRow("create lun 255") << false << enc << QByteArray("vsf create raid=1 level=0 capacity=1 lun=255")
                                    << QByteArray("ErrMsg: Unsupported SCSI LUN\n") << 0x60 << none << S{""};
    QTest::newRow("create tag x") << false << enc << QByteArray("vsf create raid=1 level=5 tag=x")
                                  << QByteArray("ErrMsg: tag value should be \"Y\" or \"N\"\n") << 0x60 << none << S{""};
    QTest::newRow("create gt2tb") << false << enc << QByteArray("vsf create raid=1 level=5 gt2tb=32")
                                  << QByteArray("ErrMsg: gt2tb value should be \"64BIT\" or \"WIN\"\n") << 0x60 << none
                                  << S{""};
    QTest::newRow("create entype 5") << false << enc << QByteArray("vsf create raid=1 level=5 entype=5")
                                     << QByteArray("ErrMsg: Unsupported Encryption Type\n") << 0x60 << none << S{""};

    // create5060: raid set numbers as typed less one, 1 .. byte 178.
    QTest::newRow("create5060 Raid50")
        << false << two << QByteArray("vsf create5060 raid=1,2 level=50 capacity=100 name=N") << kOk << 0x65
        << QByteArrayList{"02" "0001000000000000" + name16("N") + k100GB + "0304000000010104" "03" "00"}
        << S{"N"};
    QTest::newRow("create5060 nine raid sets") << false << two << QByteArray("vsf create5060 raid=1~9 level=50")
                                               << QByteArray("ErrMsg: Maximum Eight RaidSets Supported For Raid30/50/60.\n")
                                               << 0x65 << none << S{""};
    QTest::newRow("create5060 raid 0") << false << two << QByteArray("vsf create5060 raid=0,1 level=50") << kNoObject
                                       << 0x65 << none << S{""};
    QTest::newRow("create5060 raid beyond the slots") << false << two << QByteArray("vsf create5060 raid=1,17 level=50")
                                                      << kNoObject << 0x65 << none << S{""};
    QTest::newRow("create5060 channel 255") << false << two << QByteArray("vsf create5060 raid=1,2 level=50 ch=255")
                                            << QByteArray("ErrMsg: Unsupported SCSI Channel\n") << 0x65 << none << S{""};
    QTest::newRow("create5060 lun 255") << false << two << QByteArray("vsf create5060 raid=1,2 level=50 lun=255")
                                        << QByteArray("ErrMsg: Unsupported SCSI LUN\n") << 0x65 << none << S{""};
    QTest::newRow("create5060 level 40") << false << two << QByteArray("vsf create5060 raid=1,2 level=40")
                                         << QByteArray("ErrMsg: Unsupported Raid Level\n") << 0x65 << none << S{""};

    // delete.
    QTest::newRow("delete") << false << r5 << QByteArray("vsf delete vol=1") << kOk << 0x62 << QByteArrayList{"00"}
                            << S{""};
    QTest::newRow("delete beyond the map") << false << r5 << QByteArray("vsf delete vol=2") << kNoObject << 0x62 << none
                                           << S{"V0"};
    QTest::newRow("delete two words") << false << r5 << QByteArray("vsf delete vol=1 x=1") << kUsage << 0x62 << none
                                      << S{"V0"};
    QTest::newRow("delete nested member")
        << false << two + "volume 0 \"A\" raidset 0 capacity 2000000 level 0\nvolume 1 \"B\" raidset 1 capacity 2000000 level 0\n"
                          "nested 2 \"N\" members 0 1\n"
        << QByteArray("vsf delete vol=1") << QByteArray("ErrMsg: Please Delete Raid30/50/60 Volume First\n") << 0x62
        << none << S{"A", "B", "N"};

    // modify: the record starts from the volume; 255 keeps a setting.
    QTest::newRow("modify name") << false << r5 << QByteArray("vsf modify vol=1 name=New") << kOk << 0x61
                                 << QByteArrayList{"00" + name16("New") + zeros(8) + "0304000000010100" + zeros(4)}
                                 << S{"New"};
    QTest::newRow("modify capacity") << false << r5 << QByteArray("vsf modify vol=1 capacity=400") << kOk << 0x61
                                     << QByteArrayList{"00" + QByteArray("V0").toHex() + zeros(14) + "d0ed902e00000000" + "0304000000010100"
                                                       + zeros(4)}
                                     << S{"V0"};
    QTest::newRow("modify capacity not larger") << false << r5 << QByteArray("vsf modify vol=1 capacity=200")
                                                << QByteArray("ErrMsg: New Capacity Must Be Greater Than Original Capacity\n")
                                                << 0x61 << none << S{"V0"};
    QTest::newRow("modify capacity malformed") << false << r5 << QByteArray("vsf modify vol=1 capacity=abc") << kInvalidDot
                                               << 0x61 << none << S{"V0"};
    QTest::newRow("modify nothing") << false << r5 << QByteArray("vsf modify vol=1")
                                    << QByteArray("ErrMsg: Nothing Changed.\n") << 0x61 << none << S{"V0"};
    QTest::newRow("modify Raid0 to Raid5") << false << r0 << QByteArray("vsf modify vol=1 level=5")
                                           << QByteArray("ErrMsg: Not Allow From Raid0 To Raid5\n") << 0x61 << none
                                           << S{"Z0"};
    QTest::newRow("modify Raid5 to Raid6") << false << r5 << QByteArray("vsf modify vol=1 level=6")
                                           << QByteArray("ErrMsg: Not Allow From (Raid3 & Raid5) To Raid1 Or Raid6\n")
                                           << 0x61 << none << S{"V0"};
    QTest::newRow("modify duplicate address")
        << false << r5 + "volume 1 \"W\" raidset 0 capacity 2000000 level 0 channel 0 id 2 lun 3\n"
        << QByteArray("vsf modify vol=1 id=2 lun=3") << QByteArray("ErrMsg: Duplicate Of Channel/ID/LUN\n") << 0x61
        << none << S{"V0", "W"};
    QTest::newRow("modify cache") << false << r5 << QByteArray("vsf modify vol=1 cache=maybe")
                                  << QByteArray("ErrMsg: \"cache\" Value Should Be \"Y\" Or \"N\"\n") << 0x61 << none
                                  << S{"V0"};
    QTest::newRow("modify initializing") << false << enc + "volume 0 \"V0\" raidset 0 capacity 2000000 level 3\n"
                                         << QByteArray("vsf modify vol=1 name=x")
                                         << QByteArray("ErrMsg: VolumeSet Must Be In Normal State For Modification\n")
                                         << 0x61 << none << S{"V0"};

    // check and stopcheck: the library inverts the two options.
    QTest::newRow("check") << false << r5 << QByteArray("vsf check vol=1 recomputeparity=1") << kOk << 0x63
                           << QByteArrayList{"000100"} << S{"V0"};
    QTest::newRow("check Raid0") << false << r0 << QByteArray("vsf check vol=1")
                                 << QByteArray("ErrMsg: Only Raid3&5&6 Can Be Checked\n") << 0x63 << none << S{"Z0"};
    QTest::newRow("check scrub 2") << false << r5 << QByteArray("vsf check vol=1 scrubbadblock=2")
                                   << QByteArray("ErrMsg: Invalid scrubbadblock\n") << 0x63 << none << S{"V0"};
    QTest::newRow("check scrub x") << false << r5 << QByteArray("vsf check vol=1 scrubbadblock=x") << kInvalidDot << 0x63
                                   << none << S{"V0"};
    QTest::newRow("stopcheck") << false << r5 << QByteArray("vsf stopcheck") << kOk << 0x64 << QByteArrayList{""}
                               << S{"V0"};
    QTest::newRow("stopcheck with a word") << false << r5 << QByteArray("vsf stopcheck vol=1") << kUsage << 0x64 << none
                                           << S{"V0"};

    // info.
    const QByteArray header = kListHeader;
    QTest::newRow("info empty") << false << enc << QByteArray("vsf info") << header + rule(79) + rule(79) + kOk << 0x21
                                << none << S{""};
    const QByteArray listed = two + "volume 0 \"V0\" raidset 0 capacity 390625000 level 3 state 0\n"
                                    "volume 1 \"SIXTEENCHARSNAME\" raidset 1 capacity 2000000 level 0 id 0 lun 1 "
                                    "state 4 progress 125\n"
                                    "volume 2 \"Enc\" raidset 0 capacity 2000000 level 2 lun 2 state 0 encryption 2 "
                                    "flags 0x8000 serial \"SER1\"\n";
    QTest::newRow("info list")
        << false << listed << QByteArray("vsf info")
        << header + rule(79)
               + "  1               V0 R0              Raid5    200.0GB 00/00/00   Normal\n"
                 "  2 SIXTEENCHARSNAME R1              Raid0      1.0GB 00/00/01   Migrating(12.5%)\n"
                 "  3              Enc R0              Raid3      1.0GB 00/00/02   Locked\n"
               + rule(79) + kOk
        << 0x62 << none << S{"V0", "SIXTEENCHARSNAME", "Enc"};
    QTest::newRow("info single")
        << false << listed << QByteArray("vsf info vol=3")
        << "Volume Set Information \n" + rule(43)
               + "Volume Set Name   : Enc\n"
                 "Volume Serial     : SER1\n"
                 "Raid Set Name     : R0\n"
                 "Volume Capacity   : 1.0GB\n"
                 "SCSI Ch/Id/Lun    : 00/00/02\n"
                 "Raid Level        : Raid3\n"
                 "Stripe Size       : N.A.\n"
                 "Member Disks      : 3\n"
                 "Cache Mode        : Write Back\n"
                 "Write Protection  : Disabled\n"
                 "Volume Encryption : Encrypted, Locked\n"
                 "Tagged Queuing    : Enabled\n"
                 "Volume State      : Locked\n"
               + rule(43) + kOk
        << 0x62 << none << S{"V0", "SIXTEENCHARSNAME", "Enc"};
    QTest::newRow("info beyond the map") << false << listed << QByteArray("vsf info vol=4") << kNoObject << 0x62 << none
                                         << S{"V0", "SIXTEENCHARSNAME", "Enc"};
    QTest::newRow("info vol 0") << false << listed << QByteArray("vsf info vol=0") << kInvalidDot << 0x62 << none
                                << S{"V0", "SIXTEENCHARSNAME", "Enc"};
}

void TestCliVolume::transcripts()
{
    QFETCH(bool, older);
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, output);
    QFETCH(int, command);
    QFETCH(QByteArrayList, payloads);
    QFETCH(QStringList, volumes);

    zynsim::FakeController& ctl = older ? *m_old : *m_enc;
    std::string why;
    QVERIFY2(ctl.loadConfig(config.toStdString(), &why), why.c_str());
    ctl.clearLog();
    QString error;
    const QByteArray out = runHarness(older ? kOld : kEnc, line + "\n", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(out, "\r\n" + output);
    QByteArrayList sent;
    for (const Bytes& p : simtest::payloads(ctl, command))
        sent << hex(p);
    QCOMPARE(sent, payloads);
    for (int v = 0; v < volumes.size(); ++v) {
        const sGUI_VOLUMESET vol = ctl.volumeSet(v);
        QCOMPARE(QString::fromStdString(vol.exists() ? vol.name() : std::string()), volumes[v]);
    }
}

// A raid set the controller will not read ends the listing: the closing rule, then the
// failure's result line once.
void TestCliVolume::infoWithUnreadableRaidSet_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("output");

    const QByteArray failed = "GuiErrMsg<0x47>: Invalid Parameter.\n";
    QTest::newRow("list") << QByteArray("vsf info")
                          << "  # Name             Raid Name       Level   Capacity Ch/Id/Lun  State         \n"
                                 + rule(79) + "  1               V0 R0              Raid5    200.0GB 00/00/00   Normal\n"
                                 + rule(79) + failed;
    QTest::newRow("single") << QByteArray("vsf info vol=2") << "Volume Set Information \n" + rule(43) + rule(43) + failed;
}

void TestCliVolume::infoWithUnreadableRaidSet()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, output);
    std::string why;
    QVERIFY2(m_enc->loadConfig(std::string(kEncBase)
                                   + "raidset 1 \"R1\" disks 0:3 0:4 0:5\n"
                                     "volume 0 \"V0\" raidset 0 capacity 390625000 level 3 state 0\n"
                                     "volume 1 \"V1\" raidset 1 capacity 2000000 level 0 id 0 lun 1 state 0\n",
                               &why),
             why.c_str());
    zynsim::Answer refused = zynsim::Answer::status('G');
    refused.payloadPrefix = {1};   // the read of raid set 1 only
    m_enc->script(0x20, 1, refused);
    QString error;
    const QByteArray out = runHarness(kEnc, line + "\n", &error);
    m_enc->clearScripts();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(out, "\r\n" + output);
}

// scheck sends its four values behind the setup prefix; the controller keeps them.
void TestCliVolume::scheduleCheck()
{
    std::string why;
    QVERIFY2(m_enc->loadConfig(kEncBase, &why), why.c_str());
    m_enc->clearLog();
    QString error;
    const QByteArray out = runHarness(kEnc,
                                      "vsf scheck scheduler=2 idle=4\nvsf scheck\nvsf scheck scheduler=11\n"
                                      "vsf scheck scheduler=1 idle=10\nvsf scheck scheduler=1 recomputeparity=2\n"
                                      "vsf scheck scheduler=x\n",
                                      &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(out, "\r\n" + kOk + "\r\nErrMsg: Invalid Parameter. Use \"vsf -h\" For Details.\n"
                      "\r\nErrMsg: Invalid scheduler\n\r\nErrMsg: Invalid idle\n\r\nErrMsg: Invalid recomputeparity\n"
                      "\r\n" + kInvalidDot);
    int sent = 0;
    for (const Bytes& p : simtest::payloads(*m_enc, 0x1F))
        if (p.size() > 10 && p[9] == 0x0A) {
            ++sent;
            QCOMPARE(hex(slice(p, 0, 14)), QByteArray("08" + QByteArray("PlUmEvOr").toHex() + "0a02040101"));
            QCOMPARE(int(p.size()), 525);
        }
    QCOMPARE(sent, 1);
    QCOMPARE(m_enc->scheduledCheck(), (std::array<uint8_t, 4>{2, 4, 1, 1}));
}

void TestCliVolume::help()
{
    std::string why;
    QVERIFY2(m_enc->loadConfig(kEncBase, &why), why.c_str());
    QVERIFY2(m_old->loadConfig(kOldBase, &why), why.c_str());
    for (bool older : {false, true}) {
        QString error;
        const QByteArray page = runHarness(older ? kOld : kEnc, "vsf ?\n", &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(page.startsWith("\r\n\nSub-Command & Parameters Of [ vsf ]\nSub-Command Description\n" + rule(79)
                                + "create      Parameter: <raid=xx> <level=<0|1|3|5|6>> [capacity=xxx] [ch=<0>]\n"));
        QVERIFY(page.endsWith("Command: vsf info vol=1 [Enter]\n\n" + rule(79)));
        for (const char* line :
             {"delete      Parameter: <vol=xx>\n", "modify      Parameter: <vol=xx> [capacity=xxx] [level=<0|1|3|5|6>] [ch=<0>]\n",
              "check       Parameter: <vol=xx> [scrubbadblock=<0(enabled)|1(disabled)>]\n",
              "stopcheck   Parameter: None.\n", "genkey      Parameter: <path=xxx>\n", "genkey2     Parameter: None.\n",
              "modkey      Parameter: <srcpath=xxx> <destpath=xxx>\n", "lock        Parameter: <vol=xx>\n",
              "dlkey       Parameter: <path=xxx>\n",
              "scheck      Parameter: <scheduler=<0(disabled)|1(1 day)|2(1 week)|3(2 weeks)|\n",
              "info        Parameter: [vol=<xxx>].\n"})
            QVERIFY2(page.contains(line), line);
        QCOMPARE(page.contains("create5060  Parameter: <raid=xx> <level=<00|30|50|60|100>> [capacity=xxx]\n"), !older);
        QVERIFY(!page.contains("unlock"));
        QVERIFY(!page.contains("GuiErrMsg"));
    }
}

QTEST_GUILESS_MAIN(TestCliVolume)
#include "test_cli_volume.moc"
