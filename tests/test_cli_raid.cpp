// The rsf commands through the zyncli harness against the simulator: whole transcripts byte for
// byte, the exact payloads the controller receives, nothing sent for a refused line, and the
// simulated controller's configuration afterwards.
#include "clifixture.h"
#include "simfixture.h"

#include <QProcess>
#include <QtTest>

#include <string>
#include <vector>

using namespace simtest;

namespace {

const char* const kEnc = "127.0.0.200";     // enclosure family: one enclosure of 8 slots
const char* const kOld = "127.0.0.201";     // older family: 8 drive channels
const char* const kSimPassword = "0000";

// 1000.0 GB disks.
const char kEncDisks[] =
    "enclosure 0 slots 8\n"
    "disk 0 0 capacity 1953125000\ndisk 0 1 capacity 1953125000\ndisk 0 2 capacity 1953125000\n"
    "disk 0 3 capacity 1953125000\ndisk 0 4 capacity 1953125000\ndisk 0 5 capacity 1953125000\n";
const char kOldDisks[] =
    "controller channels 8\n"
    "disk 0 0 capacity 1953125000\ndisk 0 1 capacity 1953125000\ndisk 0 2 capacity 1953125000\n"
    "disk 0 3 capacity 1953125000\ndisk 0 4 capacity 1953125000\ndisk 0 5 capacity 1953125000\n";

QByteArray runHarness(const char* address, const QByteArray& input, QString* error)
{
    const clitest::HarnessRun run = clitest::runZyncli(address, input, kSimPassword);
    *error = run.error;
    return run.out;
}

using clitest::hex;

using clitest::rule;

const QByteArray kOk = "GuiErrMsg<0x00>: Success.\n";
const QByteArray kNoObject = "GuiErrMsg<0x12>: No Such Device.\n";
const QByteArray kEncHeader = " #  Name                     Disks      Total       Free  State          \n";
const QByteArray kOldHeader = " #  Name             Disks TotalCap  FreeCap DiskChannels       State          \n";

} // namespace

class TestCliRaid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void transcripts_data();
    void transcripts();
    void infoAndHelp_data();
    void infoAndHelp();
    void infoWithUnreadableVolumeSet_data();
    void infoWithUnreadableVolumeSet();
    void help();

private:
    zynsim::Simulator m_sim;
    std::shared_ptr<zynsim::FakeController> m_enc;
    std::shared_ptr<zynsim::FakeController> m_old;
};

void TestCliRaid::initTestCase()
{
    m_enc = m_sim.addUdpController(kEnc, configOf(zynsim::Profile::Enclosure));
    zynsim::ControllerConfig older = configOf(zynsim::Profile::Older);
    older.volumeNumbers = 32;   // volume numbers past what the expansion's mask form holds
    m_old = m_sim.addUdpController(kOld, older);
    QVERIFY2(m_enc && m_old, m_sim.error().c_str());
}

// One line per row: the model, the command, the whole output, the frames of one command and
// the resulting raid sets' member counts (raid set r at index r).
void TestCliRaid::transcripts_data()
{
    QTest::addColumn<bool>("older");
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArrayList>("payloads");
    QTest::addColumn<QList<int>>("members");

    const QByteArray enc = kEncDisks;
    const QByteArray old = kOldDisks;
    const QByteArray encRaid = enc + "raidset 0 \"R0\" disks 0:0 0:1\nhotspare 0:5 global\n";
    const QByteArray oldRaid = old + "raidset 0 \"R0\" disks 0 1\nhotspare 5 global\n";
    const QByteArray usage = "ErrMsg: Invalid Parameter. Use \"rsf -h\" For Details.\n";
    const QByteArray invalid = "ErrMsg: Invalid Parameter\n";
    const QByteArray invalidDot = "ErrMsg: Invalid Parameter.\n";
    const QByteArrayList none;
    using L = QList<int>;

    // create: the list form carries count, name, mode and the pairs; the mask form the mask and
    // a blank-filled name.
    QTest::newRow("create enclosure") << false << enc << QByteArray("rsf create drv=1~3 name=Data")
                                      << kOk << 0x50
                                      << QByteArrayList{"03000000" + QByteArray("Data            ").toHex()
                                                        + "01" + "000000010002"}
                                      << L{3};
    QTest::newRow("create enclosure mode 0, long name cut")
        << false << enc << QByteArray("rsf create drv=2,4 name=ABCDEFGHIJKLMNOPQRS mode=0") << kOk << 0x50
        << QByteArrayList{"02000000" + QByteArray("ABCDEFGHIJKLMNOP").toHex() + "00" + "00010003"} << L{2};
    // A name is cut between characters; the controller keeps the bytes, which list as typed.
    QTest::newRow("create, names cut between characters")
        << false << enc
        << QByteArray("rsf create drv=1 name=Tägliche-Sicherung\nrsf create drv=2 name=ABCDEFGHIJKLMNOé\nrsf info")
        << kOk + "\r\n" + kOk + "\r\n" + kEncHeader + rule(79)
               + " 1  Tägliche-Sicher              1   1000.0GB   1000.0GB  Normal        \n"
                 " 2  ABCDEFGHIJKLMNO              1   1000.0GB   1000.0GB  Normal        \n"
               + rule(79) + kOk
        << 0x50
        << QByteArrayList{"01000000" + QByteArray("Tägliche-Sicher").toHex() + "01" + "0000",
                          "01000000" + QByteArray("ABCDEFGHIJKLMNO ").toHex() + "01" + "0001"}
        << L{1, 1};
    QTest::newRow("create older mask form") << true << old << QByteArray("rsf create drv=1,3,4 name=ab") << kOk << 0x50
                                            << QByteArrayList{"0d000000" + QByteArray("ab              ").toHex()}
                                            << L{3};
    QTest::newRow("create all: free and available only") << false << encRaid << QByteArray("rsf create drv=all")
                                                          << kOk << 0x50
                                                          << QByteArrayList{"03000000" + QByteArray(32, '0') + "01"
                                                                            + "000200030004"}
                                                          << L{2, 3};
    QTest::newRow("create mode 2 refused") << false << enc << QByteArray("rsf create drv=1~3 mode=2") << invalid << 0x50
                                           << none << L{};
    QTest::newRow("create mode malformed") << false << enc << QByteArray("rsf create drv=1~3 mode=1x") << invalid
                                           << 0x50 << none << L{};
    QTest::newRow("create drive list malformed") << false << enc << QByteArray("rsf create drv=a,b") << invalid << 0x50
                                                 << none << L{};
    QTest::newRow("create drive in a raid set") << false << encRaid << QByteArray("rsf create drv=3,1")
                                           << QByteArray("ErrMsg: Drive 1 Is Not Available\n") << 0x50 << none << L{2};
    QTest::newRow("create drive beyond the map") << false << enc << QByteArray("rsf create drv=9")
                                                 << QByteArray("ErrMsg: Drive 9 Is Not Available\n") << 0x50 << none << L{};
    QTest::newRow("create empty slot") << false << enc << QByteArray("rsf create drv=7")
                                       << QByteArray("ErrMsg: Drive 7 Is Not Available\n") << 0x50 << none << L{};
    QTest::newRow("create without drv") << false << enc << QByteArray("rsf create name=x") << QByteArray("ErrMsg: Drive# Is Missing\n")
                                        << 0x50 << none << L{};
    {
        // 33 free drives: more than the older family's drive mask holds.
        QByteArray many = "controller channels 40\n";
        for (int d = 0; d < 33; ++d)
            many += "disk 0 " + QByteArray::number(d) + " capacity 1953125000\n";
        QTest::newRow("create older: more drives than the mask holds")
            << true << many << QByteArray("rsf create drv=all") << invalid << 0x50 << none << L{};
        QTest::newRow("create older: 32 drives fit")
            << true << many << QByteArray("rsf create drv=1~32") << kOk << 0x50
            << QByteArrayList{"ffffffff00" + QByteArray(15, ' ').toHex()} << L{32};   // no name
    }
    QTest::newRow("create without words") << false << enc << QByteArray("rsf create") << usage << 0x50 << none << L{};

    // delete, activate, offline.
    QTest::newRow("delete") << false << encRaid << QByteArray("rsf delete raid=1") << kOk << 0x51
                            << QByteArrayList{"00"} << L{};
    QTest::newRow("delete with its volumes") << false
                                             << encRaid + "volume \"V\" raidset 0 capacity 100000 level 0 channel 0 id 0 lun 1 state 0\n"
                                             << QByteArray("rsf delete raid=1") << kOk << 0x51 << QByteArrayList{"00"} << L{};
    QTest::newRow("delete out of range") << false << encRaid << QByteArray("rsf delete raid=2") << kNoObject << 0x51
                                         << none << L{2};
    QTest::newRow("delete raid 0") << false << encRaid << QByteArray("rsf delete raid=0") << kNoObject << 0x51 << none
                                   << L{2};
    QTest::newRow("delete malformed") << false << encRaid << QByteArray("rsf delete raid=1a") << invalid << 0x51 << none
                                      << L{2};
    QTest::newRow("delete without raid") << false << encRaid << QByteArray("rsf delete drv=1")
                                         << QByteArray("ErrMsg: RaidSet# Is Missing\n") << 0x51 << none << L{2};
    QTest::newRow("delete sparse numbers") << false << enc + "raidset 3 \"R3\" disks 0:2 0:3\n"
                                           << QByteArray("rsf delete raid=1") << kOk << 0x51 << QByteArrayList{"03"}
                                           << L{0, 0, 0, 0};
    QTest::newRow("activate active") << false << encRaid << QByteArray("rsf activate raid=1")
                                     << QByteArray("ErrMsg: RaidSet Is Already Active\n") << 0x53 << none << L{2};
    QTest::newRow("offline") << false << encRaid << QByteArray("rsf offline raid=1") << kOk << 0x56
                             << QByteArrayList{"00"} << L{2};

    // createhs: one request per drive on the enclosure family; a dedicated spare names the
    // raid set by its own number.
    QTest::newRow("createhs global default argument") << false << encRaid << QByteArray("rsf createhs drv=3,4") << kOk
                                                      << 0x54
                                                      << QByteArrayList{"ffffffff0002000400", "ffffffff0003000400"}
                                                      << L{2};
    QTest::newRow("createhs dedicated, sparse numbers")
        << false << enc + "raidset 2 \"R2\" disks 0:0 0:1\n" << QByteArray("rsf createhs drv=3 type=1 raid=1") << kOk
        << 0x54 << QByteArrayList{"ffffffff0002010200"} << L{0, 0, 2};
    QTest::newRow("createhs type malformed") << false << encRaid << QByteArray("rsf createhs drv=3 type=l")
                                             << QByteArray("ErrMsg: Invalid Type\n") << 0x54 << none << L{2};
    QTest::newRow("createhs type 4") << false << encRaid << QByteArray("rsf createhs drv=3 type=4")
                                     << QByteArray("ErrMsg: Invalid Type\n") << 0x54 << none << L{2};
    QTest::newRow("createhs dedicated without raid") << false << encRaid << QByteArray("rsf createhs drv=3 type=1")
                                                     << QByteArray("ErrMsg: RaidSet# Is Missing\n") << 0x54 << none << L{2};
    QTest::newRow("createhs older mask") << true << oldRaid << QByteArray("rsf createhs drv=3,5") << kOk << 0x54
                                         << QByteArrayList{"14000000"} << L{2};
    QTest::newRow("deletehs all") << false << encRaid << QByteArray("rsf deletehs drv=all") << kOk << 0x55
                                  << QByteArrayList{"ffffffff0005"} << L{2};
    QTest::newRow("deletehs not a spare") << false << encRaid << QByteArray("rsf deletehs drv=6,3")
                                          << QByteArray("ErrMsg: Drive 3 Is Not A HotSpare Disk\n") << 0x55 << none << L{2};

    // expand: the list form (1023 bytes) and the mask form (57 bytes).
    const QByteArray encVol = encRaid + "volume 0 \"V0\" raidset 0 capacity 2000000 level 0 stripe 128\n";
    const QByteArray oldVol = oldRaid + "volume 0 \"V0\" raidset 0 capacity 2000000 level 0 stripe 128\n";
    {
        QByteArray p = "00010000" "00" "0002" + QByteArray((69 - 7) * 2, '0');
        QByteArray expanded = p + QByteArray((1023 - 69) * 2, '0');
        QTest::newRow("expand enclosure, no volume changes") << false << encVol << QByteArray("rsf expand raid=1 drv=3")
                                                             << kOk << 0x52 << QByteArrayList{expanded} << L{3};
        QByteArray changed = p + "010304" + QByteArray((1023 - 72) * 2, '0');
        QTest::newRow("expand enclosure, Raid0 to Raid5")
            << false << encVol << QByteArray("rsf expand raid=1 drv=3 vol=1 newlevel=5") << kOk << 0x52
            << QByteArrayList{changed} << L{3};
    }
    QTest::newRow("expand older mask form, stripe change")
        << true << oldVol << QByteArray("rsf expand raid=1 drv=3,4 vol=1 newstripe=16") << kOk << 0x52
        << QByteArrayList{"00" "0c000000" "010002" + QByteArray((57 - 8) * 2, '0')} << L{4};
    QTest::newRow("expand Raid0 to Raid1 short of drives")
        << false << encVol << QByteArray("rsf expand raid=1 drv=3 vol=1 newlevel=1")
        << QByteArray("ErrMsg: Not Allow From Raid0 To Raid1\n"
           "ErrMsg: Drives Were Insufficient For Expanding, At Least 2 Additional Drives Needed.\n")
        << 0x52 << none << L{2};
    QTest::newRow("expand unsupported level") << false << encVol << QByteArray("rsf expand raid=1 drv=3 vol=1 newlevel=2")
                                              << QByteArray("ErrMsg: Unsupported Raid Level 2\n") << 0x52 << none << L{2};
    QTest::newRow("expand unsupported stripe") << false << encVol << QByteArray("rsf expand raid=1 drv=3 vol=1 newstripe=48")
                                               << QByteArray("ErrMsg: Unsupported Stripe Size\n") << 0x52 << none << L{2};
    QTest::newRow("expand Raid3 keeps its stripe")
        << false << encVol << QByteArray("rsf expand raid=1 drv=3 vol=1 newlevel=3 newstripe=16")
        << QByteArray("ErrMsg: RAID3 Is Not Allowed To Modify Stripe Size. Use Default.\n") << 0x52 << none << L{2};
    QTest::newRow("expand no such volume") << false << encVol << QByteArray("rsf expand raid=1 drv=3 vol=2")
                                           << QByteArray("ErrMsg: No Such Device [VolumeSet#2]\n\n") << 0x52 << none << L{2};
    QTest::newRow("expand malformed level list") << false << encVol << QByteArray("rsf expand raid=1 drv=3 vol=1 newlevel=x")
                                                 << invalid << 0x52 << none << L{2};
    QTest::newRow("expand older volume beyond the mask form")
        << true << oldRaid + "volume 17 \"V17\" raidset 0 capacity 2000000 level 0\n"
        << QByteArray("rsf expand raid=1 drv=3 vol=1") << QByteArray("ErrMsg: No Such Device [VolumeSet#1]\n\n") << 0x52 << none
        << L{2};
    QTest::newRow("expand one word") << false << encVol << QByteArray("rsf expand raid=1") << usage << 0x52 << none
                                     << L{2};
    QTest::newRow("expand with a nested member")
        << false << encRaid + "raidset 1 \"R1\" disks 0:2 0:3\nvolume 0 \"A\" raidset 0 capacity 2000000 level 0\n"
                              "volume 1 \"B\" raidset 1 capacity 2000000 level 0\nnested 2 \"N\" members 0 1\n"
        << QByteArray("rsf expand raid=1 drv=5") << QByteArray("ErrMsg: Cannot Expand RaidSet With Raid30/50/60 Volume\n") << 0x52
        << none << L{2, 2};
    (void)invalidDot;
}

void TestCliRaid::transcripts()
{
    QFETCH(bool, older);
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, output);
    QFETCH(int, command);
    QFETCH(QByteArrayList, payloads);
    QFETCH(QList<int>, members);

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
    for (int r = 0; r < members.size(); ++r)
        QCOMPARE(ctl.raidSet(r).memberCount(), members[r]);
}

void TestCliRaid::infoAndHelp_data()
{
    QTest::addColumn<bool>("older");
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("output");

    const QByteArray enc = kEncDisks;
    const QByteArray old = kOldDisks;
    const QByteArray two = "raidset 0 \"R0\" disks 0:0 0:1 0:2\nraidset 1 \"SIXTEENCHARSNAME\" disks 0:3 0:4\n"
                           "volume 0 \"V0\" raidset 0 capacity 200000000 level 3\n";
    QTest::newRow("empty list") << false << enc << QByteArray("rsf info")
                                << kEncHeader + rule(79) + rule(79) + kOk;
    QTest::newRow("list enclosure")
        << false << enc + two << QByteArray("rsf info")
        << kEncHeader + rule(79)
               + " 1  R0                           3   3000.0GB   2846.4GB  Initializing  \n"
                 " 2  SIXTEENCHARSNAME             2   2000.0GB   2000.0GB  Normal        \n"
               + rule(79) + kOk;
    // A name another tool wrote in Latin-1 reads as Latin-1.
    QTest::newRow("list enclosure, Latin-1 name")
        << false << enc + "raidset 0 \"Caf\xE9-Sicherung-1\" disks 0:0\n" << QByteArray("rsf info")
        << kEncHeader + rule(79) + " 1  Café-Sicherung-1             1   1000.0GB   1000.0GB  Normal        \n" + rule(79)
               + kOk;
    QTest::newRow("list older") << true << old + "raidset 0 \"R0\" disks 0 1 4\n" << QByteArray("rsf info")
                                << kOldHeader + rule(79)
                                       + " 1                R0     3 3000.0GB 3000.0GB 125                Normal\n"
                                       + rule(79) + kOk;
    QTest::newRow("single enclosure")
        << false << enc + two << QByteArray("rsf info raid=2")
        << "Raid Set Information \n" + rule(43)
               + "Raid Set Name        : SIXTEENCHARSNAME\n"
                 "Member Disks         : 2\n"
                 "Total Raw Capacity   : 2000.0GB\n"
                 "Free Raw Capacity    : 2000.0GB\n"
                 "Min Member Disk Size : 1000.0GB\n"
                 "Supported Volumes    : 16\n"
                 "Raid Set Power State : Operating\n"
                 "Raid Set State       : Normal\n"
                 "Security Status      : ISE Disks\n"
                 "Member Disk Channels : E1S4.E1S5.\n"
               + rule(43) + kOk;
    QTest::newRow("single beyond the map") << false << enc + two << QByteArray("rsf info raid=3") << kNoObject;
    QTest::newRow("single raid 0") << false << enc + two << QByteArray("rsf info raid=0")
                                   << QByteArray("ErrMsg: Invalid Parameter.\n");
    QTest::newRow("two words") << false << enc << QByteArray("rsf info raid=1 x=2")
                               << QByteArray("ErrMsg: Invalid Parameter. Use \"rsf -h\" For Details.\n");
}

void TestCliRaid::infoAndHelp()
{
    QFETCH(bool, older);
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, output);

    zynsim::FakeController& ctl = older ? *m_old : *m_enc;
    std::string why;
    QVERIFY2(ctl.loadConfig(config.toStdString(), &why), why.c_str());
    QString error;
    const QByteArray out = runHarness(older ? kOld : kEnc, line + "\n", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(out, "\r\n" + output);
}

// A volume set of the listed raid set cannot be read: the listing stops there and the result
// line comes once, after the closing rule.
void TestCliRaid::infoWithUnreadableVolumeSet_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("output");

    const QByteArray failed = "GuiErrMsg<0x47>: Invalid Parameter.\n";
    QTest::newRow("list") << QByteArray("rsf info")
                          << kEncHeader + rule(79)
                                 + " 1  R0                           3   3000.0GB   2846.4GB  Initializing  \n"
                                 + rule(79) + failed;
    QTest::newRow("single") << QByteArray("rsf info raid=2") << "Raid Set Information \n" + rule(43) + rule(43) + failed;
}

void TestCliRaid::infoWithUnreadableVolumeSet()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, output);
    std::string why;
    QVERIFY2(m_enc->loadConfig(std::string(kEncDisks)
                                   + "raidset 0 \"R0\" disks 0:0 0:1 0:2\nraidset 1 \"R1\" disks 0:3 0:4\n"
                                     "volume 0 \"V0\" raidset 0 capacity 200000000 level 3\n"
                                     "volume 1 \"V1\" raidset 1 capacity 2000000 level 0 id 0 lun 1\n",
                               &why),
             why.c_str());
    zynsim::Answer refused = zynsim::Answer::status('G');
    refused.payloadPrefix = {1};   // the read of volume set 1 only
    m_enc->script(0x21, 1, refused);
    QString error;
    const QByteArray out = runHarness(kEnc, line + "\n", &error);
    m_enc->clearScripts();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(out, "\r\n" + output);
}

// The help: its frame, the enclosure family's hot spare types, no result line.
void TestCliRaid::help()
{
    std::string why;
    QVERIFY2(m_enc->loadConfig(kEncDisks, &why), why.c_str());
    QVERIFY2(m_old->loadConfig(kOldDisks, &why), why.c_str());
    for (bool older : {false, true}) {
        QString error;
        const QByteArray out = runHarness(older ? kOld : kEnc, "rsf ?\nrsf -help\n", &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QByteArrayList pages = out.split('\r');
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages[1], pages[2]);
        const QByteArray page = pages[1];
        QVERIFY(page.startsWith("\n\nSub-Command & Parameters Of [ rsf ]\nSub-Command Description\n" + rule(70)
                                + "create      Parameter: <drv=xx> [name=xxx] [mode=<1>]\n"));
        QVERIFY(page.endsWith("Command: rsf info raid=1 [Enter]\n\n" + rule(70)));
        for (const char* line : {"delete      Parameter: <raid=xx>.\n", "activate    Parameter: <raid=xx>\n",
                                 "createhs    Parameter: <drv=xx> \n", "deletehs    Parameter: <drv=xx>\n",
                                 "offline     Parameter: <raid=xx>.\n", "info        Parameter: [raid=<xxx>].\n",
                                 "expand      Parameter: <raid=xx> <drv=xx> [vol=xx] [newlevel=<0|1|3|5|6>]\n"})
            QVERIFY2(page.contains(line), line);
        QCOMPARE(page.contains("1(Local To Specific RaidSet)"), !older);
        QCOMPARE(page.contains("Ex: Set Disk#3 As HotSpare Disk Dedicated For RaidSet#1\n"), !older);
        QCOMPARE(page.contains("Note: Default Type = Global\n"), !older);
        QVERIFY(!page.contains("GuiErrMsg"));
    }
}

QTEST_GUILESS_MAIN(TestCliRaid)
#include "test_cli_raid.moc"
