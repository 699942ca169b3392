// The fcc and debug commands through the zyncli harness against the simulator: whole
// transcripts byte for byte (the debug dumps land on the harness's standard output between the
// console's lines), the host name and filter tables the controller holds afterwards, and for
// every refused line exactly the frames a line that sends nothing causes.
#include "clifixture.h"
#include "simfixture.h"

#include <QtTest>

#include <string>
#include <vector>

using namespace simtest;

namespace {

const char* const kAddress = "127.0.1.35";
const char kSimPassword[] = "0000";

// Layout 2, a fibre channel model: the host names and filters in the setup image.
constexpr int kHostNames = 644;
constexpr int kHostNameBytes = 32;
constexpr int kHostFilters = 1284;
constexpr int kFilterBlock = 160;

const QByteArray kOk = "GuiErrMsg<0x00>: Success.\n";
const QByteArray kFailure = "GuiErrMsg<0x01>: Failure.\n";
const QByteArray kNoObject = "GuiErrMsg<0x12>: No Such Device.\n";
const QByteArray kInvalid = "ErrMsg: Invalid Parameter.\n";

// Volume set 0 on both channels (channel 2), volume set 1 on channel 0, id 1, LUN 2.
const char kConfig[] =
    "enclosure 0 slots 8\n"
    "disk 0 0 capacity 1953125000\ndisk 0 1 capacity 1953125000\ndisk 0 2 capacity 1953125000\n"
    "raidset 0 \"R0\" disks 0:0 0:1 0:2\n"
    "volume 0 \"DUAL\" raidset 0 capacity 2000000 level 3 channel 2 id 1 lun 3\n"
    "volume 1 \"FC0\" raidset 0 capacity 2000000 level 3 channel 0 id 1 lun 2\n";

using clitest::rule;

QByteArray nameList(const QByteArray& rows)
{
    return "Fibre Channel Host Name List\n#    Host WWN            Nick Name\n" + rule(75) + rows + rule(75) + kOk;
}

QByteArray filterList(const QByteArray& title, const QByteArray& rows)
{
    return "Fibre Channel Volume Set Host Filters " + title + "\n"
           "#   Type     Mode  Range Mask        Host WWN          Nick Name\n"
           + rule(75) + rows + rule(75) + kOk;
}

QByteArray bytesOf(const Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), int(b.size()));
}

// The hexadecimal dump of `data` as standard output shows it.
QByteArray dump(const QByteArray& data)
{
    QByteArray out = "        0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F      ASCII      \n" + rule(71);
    for (int row = 0; row < data.size(); row += 16) {
        const QByteArray bytes = data.mid(row, 16);
        out += QByteArray::number(row, 16).toUpper().rightJustified(4, '0') + " | ";
        for (int i = 0; i < 16; ++i)
            out += i < bytes.size() ? QByteArray::number(uchar(bytes[i]), 16).toUpper().rightJustified(2, '0') + " "
                                    : QByteArray("   ");
        for (char c : bytes)
            out += uchar(c) < 0x20 || uchar(c) > 0x7F ? '.' : c;
        out += "\n";
    }
    return out + rule(71);
}

} // namespace

class TestCliFcc : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void transcripts_data();
    void transcripts();
    void debugDumps_data();
    void debugDumps();
    void debugTest();
    void help();

private:
    QByteArray run(const QByteArray& input, std::vector<int>* commands = nullptr);
    // The commands a line that sends nothing causes (the harness's start and the log-in).
    std::vector<int> quietCommands();

    zynsim::Simulator m_sim;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    Bytes m_factoryImage;
    std::vector<int> m_quiet;
};

void TestCliFcc::initTestCase()
{
    m_ctl = m_sim.addUdpController(kAddress, configOf(zynsim::Profile::Enclosure, 2));
    QVERIFY2(m_ctl, m_sim.error().c_str());
    m_factoryImage = m_ctl->setupImage();
    std::string why;
    QVERIFY2(m_ctl->loadConfig(kConfig, &why), why.c_str());
    m_quiet = quietCommands();
    QVERIFY(!m_quiet.empty());
}

QByteArray TestCliFcc::run(const QByteArray& input, std::vector<int>* commands)
{
    m_ctl->clearLog();
    const clitest::HarnessRun r = clitest::runZyncli(kAddress, input, kSimPassword);
    if (!r.error.isEmpty())
        return "harness: " + r.error.toLocal8Bit();
    if (commands != nullptr) {
        commands->clear();
        for (const LogEntry& e : m_ctl->log())
            if (e.kind == LogEntry::RxFrame)
                commands->push_back(e.command);
    }
    return r.out;
}

std::vector<int> TestCliFcc::quietCommands()
{
    std::vector<int> commands;
    run("fcc ?\n", &commands);
    return commands;
}

// One case per row: the lines typed, the whole output, whether anything beyond the quiet
// frames may be sent, and what the controller holds afterwards (host names, then the filter
// block of volume set 1) in hexadecimal; empty: as the factory left it.
void TestCliFcc::transcripts_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<bool>("sends");
    QTest::addColumn<QByteArray>("names");
    QTest::addColumn<QByteArray>("filters");

    const QByteArray none;
    const QByteArray server = "fcc nameadd wwn=2100001B32A1B2C3 nickname=Server1\n";
    // The stored form: two little-endian words, then the further byte and the nick name.
    const QByteArray serverStored = "1b000021c3b2a132" "00" + QByteArray("Server1").toHex() + QByteArray(16 * 2, '0');
    const QByteArray p1Stored = "1111111111111111" "11" + QByteArray("n1").toHex() + "00" + QByteArray(20, ' ').toHex();
    const QByteArray p2Stored = "1212121212121212" "12" + QByteArray("n2").toHex() + "00" + QByteArray(20, ' ').toHex();
    const QByteArray serverRow = "1    2100001B32A1B2C3    " + QByteArray("Server1").leftJustified(20) + "\n";
    const QByteArray fc0 = "(Ch0/LUN:2,N0.2)";

    // Host names.
    QTest::newRow("nameadd p") << QByteArray("fcc nameadd p=1\nfcc nameinfo\n")
                               << "\r\n" + kOk + "\r\n" + nameList("1    1111111111111111    n1                  \n")
                               << true << p1Stored << none;
    QTest::newRow("nameadd wwn and nickname") << server + "fcc nameinfo\n" << "\r\n" + kOk + "\r\n" + nameList(serverRow)
                                              << true << serverStored << none;
    QTest::newRow("nameadd wwn lower case, no nickname")
        << QByteArray("fcc nameadd wwn=2100001b32a1b2c3\nfcc nameinfo\n")
        << "\r\n" + kOk + "\r\n" + nameList("1    2100001B32A1B2C3" + QByteArray(24, ' ') + "\n") << true
        << "1b000021c3b2a132" + QByteArray(24 * 2, '0') << none;
    QTest::newRow("nameadd 23-character nickname")
        << QByteArray("fcc nameadd wwn=2100001B32A1B2C3 nickname=ABCDEFGHIJKLMNOPQRSTUVW\nfcc nameinfo\n")
        << "\r\n" + kOk + "\r\n" + nameList("1    2100001B32A1B2C3    ABCDEFGHIJKLMNOPQRSTUVW\n") << true
        << "1b000021c3b2a132" "00" + QByteArray("ABCDEFGHIJKLMNOPQRSTUVW").toHex() << none;
    QTest::newRow("nameadd the same name twice")
        << server + server << "\r\n" + kOk + "\r\nGuiErrMsg<0x06>: The Wrong Parameter(s).\n" << true << serverStored
        << none;
    QTest::newRow("nameadd 24-character nickname") << QByteArray("fcc nameadd wwn=2100001B32A1B2C3 nickname=ABCDEFGHIJKLMNOPQRSTUVWX\n")
                                                   << "\r\n" + kInvalid << false << none << none;
    QTest::newRow("nameadd zero first word") << QByteArray("fcc nameadd wwn=0000000011223344\n") << "\r\n" + kInvalid
                                             << false << none << none;
    QTest::newRow("nameadd short wwn") << QByteArray("fcc nameadd wwn=2100001B32A1B2C\n") << "\r\n" + kInvalid << false
                                       << none << none;
    QTest::newRow("nameadd long wwn") << QByteArray("fcc nameadd wwn=2100001B32A1B2C3A\n") << "\r\n" + kInvalid << false
                                      << none << none;
    QTest::newRow("nameadd wwn not hexadecimal") << QByteArray("fcc nameadd wwn=2100001B32A1B2CG\n") << "\r\n" + kInvalid
                                                 << false << none << none;
    QTest::newRow("nameadd nickname without wwn") << QByteArray("fcc nameadd nickname=Server1\n") << "\r\n" + kInvalid
                                                  << false << none << none;
    QTest::newRow("nameadd nothing") << QByteArray("fcc nameadd\n") << QByteArray("\r\nErrMsg: Missing P Number.\n")
                                     << false << none << none;
    QTest::newRow("nameadd p malformed") << QByteArray("fcc nameadd p=1x\n") << QByteArray("\r\nErrMsg: Missing P Number.\n")
                                         << false << none << none;
    QTest::newRow("namedel moves the rest down")
        << QByteArray("fcc nameadd p=1\nfcc nameadd p=2\nfcc namedel idx=1\nfcc nameinfo\n")
        << "\r\n" + kOk + "\r\n" + kOk + "\r\n" + kOk + "\r\n" + nameList("1    1212121212121212    n2                  \n")
        << true << p2Stored + QByteArray(kHostNameBytes * 2, '0') << none;
    QTest::newRow("namedel beyond the list") << QByteArray("fcc namedel idx=1\n")
                                             << QByteArray("\r\nGuiErrMsg<0x06>: The Wrong Parameter(s).\n") << true << none << none;
    QTest::newRow("namedel idx 0") << QByteArray("fcc namedel idx=0\n") << "\r\n" + kInvalid << false << none << none;
    QTest::newRow("namedel idx -1") << QByteArray("fcc namedel idx=-1\n") << QByteArray("\r\nErrMsg: idx cannot < 0.\n")
                                    << false << none << none;
    QTest::newRow("namedel no idx") << QByteArray("fcc namedel\n") << QByteArray("\r\nErrMsg: Missing index Number.\n")
                                    << false << none << none;
    QTest::newRow("nameinfo empty") << QByteArray("fcc nameinfo\n") << "\r\n" + nameList("") << true << none << none;

    // Host filters.
    const QByteArray add = "fcc filteradd vol=2 wwn=2100001B32A1B2C3 mask=FFFFFFFFFFFF0000 mode=1 type=1\n";
    const QByteArray addStored = "1b000021c3b2a132" "ffffffff0000ffff" "0101" "0a80" + QByteArray((kFilterBlock - 20) * 2, '0');
    QTest::newRow("filteradd, filterinfo with the nick name")
        << server + add + "fcc filterinfo vol=2\n"
        << "\r\n" + kOk + "\r\n" + kOk + "\r\n"
               + filterList(fc0, "1   Exclude  RO    FFFFFFFFFFFF0000  2100001B32A1B2C3  "
                                      + QByteArray("Server1").leftJustified(24) + "\n")
        << true << serverStored << addStored;
    QTest::newRow("filteradd defaults, a host without a name")
        << QByteArray("fcc filteradd vol=2 wwn=5001020304050611 mask=FFFFFFFFFFFFFFFF\nfcc filterinfo vol=2\n")
        << "\r\n" + kOk + "\r\n"
               + filterList(fc0, "1   Include  R/W   FFFFFFFFFFFFFFFF  5001020304050611  " + QByteArray(24, ' ') + "\n")
        << true << none
        << "03020150" "11060504" "ffffffffffffffff" "0000" "0a80" + QByteArray((kFilterBlock - 20) * 2, '0');
    QTest::newRow("filterdel") << add + "fcc filterdel vol=2 idx=1\nfcc filterinfo vol=2\n"
                               << "\r\n" + kOk + "\r\n" + kOk + "\r\n" + filterList(fc0, "")
                               << true << none << QByteArray(kFilterBlock * 2, '0');
    QTest::newRow("filteradd mode 2") << QByteArray("fcc filteradd vol=2 wwn=2100001B32A1B2C3 mask=FFFFFFFFFFFFFFFF mode=2\n")
                                      << QByteArray("\r\nErrMsg: Invalid Parameter of [mode].\n") << false << none << none;
    QTest::newRow("filteradd type 2") << QByteArray("fcc filteradd vol=2 wwn=2100001B32A1B2C3 mask=FFFFFFFFFFFFFFFF type=2\n")
                                      << QByteArray("\r\nErrMsg: Invalid Parameter of [type].\n") << false << none << none;
    QTest::newRow("filteradd type malformed") << QByteArray("fcc filteradd vol=2 wwn=2100001B32A1B2C3 type=x\n")
                                              << QByteArray("\r\nErrMsg: Invalid Parameter of [type].\n") << false << none
                                              << none;
    QTest::newRow("filteradd no vol") << QByteArray("fcc filteradd wwn=2100001B32A1B2C3 mask=FFFFFFFFFFFFFFFF\n")
                                      << QByteArray("\r\nErrMsg: VolumeSet# Is Missing.\n") << false << none << none;
    QTest::newRow("filteradd no wwn") << QByteArray("fcc filteradd vol=2 mask=FFFFFFFFFFFFFFFF\n") << "\r\n" + kInvalid
                                      << false << none << none;
    QTest::newRow("filteradd zero wwn") << QByteArray("fcc filteradd vol=2 wwn=0000000000000000 mask=FFFFFFFFFFFFFFFF\n")
                                        << "\r\n" + kInvalid << false << none << none;
    QTest::newRow("filteradd no mask") << QByteArray("fcc filteradd vol=2 wwn=2100001B32A1B2C3\n") << "\r\n" + kInvalid
                                       << false << none << none;
    QTest::newRow("filteradd vol beyond the map")
        << QByteArray("fcc filteradd vol=3 wwn=2100001B32A1B2C3 mask=FFFFFFFFFFFFFFFF\n") << "\r\n" + kNoObject << true
        << none << none;
    QTest::newRow("filterdel idx 0") << QByteArray("fcc filterdel vol=1 idx=0\n") << "\r\n" + kInvalid << false << none
                                     << none;
    QTest::newRow("filterdel idx -1") << QByteArray("fcc filterdel vol=1 idx=-1\n")
                                      << QByteArray("\r\nErrMsg: Index# Can Not < 0.\n") << false << none << none;
    QTest::newRow("filterdel no idx") << QByteArray("fcc filterdel vol=1\n")
                                      << QByteArray("\r\nErrMsg: Index Number Is Missing.\n") << false << none << none;
    QTest::newRow("filterdel no vol") << QByteArray("fcc filterdel idx=1\n")
                                      << QByteArray("\r\nErrMsg: VolumeSet# Is Missing.\n") << false << none << none;
    QTest::newRow("filterdel vol beyond the map") << QByteArray("fcc filterdel vol=3 idx=1\n") << "\r\n" + kNoObject << true
                                                  << none << none;
    QTest::newRow("filterinfo no vol") << QByteArray("fcc filterinfo\n")
                                       << QByteArray("\r\nErrMsg: VolumeSet# Is Missing.\n") << false << none << none;
    QTest::newRow("filterinfo vol 0") << QByteArray("fcc filterinfo vol=0\n") << "\r\n" + kNoObject << true << none
                                      << none;
    // A volume set on both channels is addressed on channel 0: the title names it so. The
    // library finds the volume set by its own channel, so its list reads empty.
    QTest::newRow("filterinfo both channels") << QByteArray("fcc filterinfo vol=1\n")
                                              << "\r\n" + filterList("(Ch0/LUN:3,N0.3)", "") << true << none << none;

    // debug dump without its word sends nothing.
    QTest::newRow("debug dump without a word") << QByteArray("debug dump\n") << "\r\n" + kInvalid + kFailure << false
                                               << none << none;
    QTest::newRow("debug dump unknown word") << QByteArray("debug dump foo\n") << "\r\n" + kFailure << false << none
                                             << none;
    QTest::newRow("debug dump raidinfo without p")
        << QByteArray("debug dump raidinfo\n") << "\r\nErrMsg: RaidSet# Is Missing.\n" + kFailure << false << none << none;
    QTest::newRow("debug dump volinfo without p")
        << QByteArray("debug dump volinfo\n") << "\r\nErrMsg: VolumeSet# Is Missing.\n" + kFailure << false << none << none;
    QTest::newRow("debug dump raidinfo p 256") << QByteArray("debug dump raidinfo p=256\n") << "\r\n" + kInvalid + kFailure
                                               << false << none << none;
    QTest::newRow("debug dump diskinfo without enc")
        << QByteArray("debug dump diskinfo drv=1\n") << "\r\nErrMsg: Enclosure# Is Missing.\n" + kFailure << false << none
        << none;
    QTest::newRow("debug dump diskinfo without drv")
        << QByteArray("debug dump diskinfo enc=0\n") << "\r\nErrMsg: Slot# Is Missing.\n" + kFailure << false << none
        << none;
}

void TestCliFcc::transcripts()
{
    QFETCH(QByteArray, lines);
    QFETCH(QByteArray, output);
    QFETCH(bool, sends);
    QFETCH(QByteArray, names);
    QFETCH(QByteArray, filters);

    std::string why;
    QVERIFY2(m_ctl->loadConfig(kConfig, &why), why.c_str());
    QVERIFY(m_ctl->setSetupImage(m_factoryImage));
    std::vector<int> commands;
    QCOMPARE(run(lines, &commands), output);
    if (!sends)
        QCOMPARE(commands, m_quiet);
    const QByteArray image = bytesOf(m_ctl->setupImage());
    const QByteArray factory = bytesOf(m_factoryImage);
    const QByteArray expectNames = names.isEmpty() ? factory.mid(kHostNames, names.size() / 2).toHex() : names;
    QCOMPARE(image.mid(kHostNames, kHostNameBytes * 2).toHex().left(expectNames.size()), expectNames);
    const int filterAt = kHostFilters + kFilterBlock * 1;
    QCOMPARE(image.mid(filterAt, kFilterBlock).toHex(),
             filters.isEmpty() ? factory.mid(filterAt, kFilterBlock).toHex() : filters);
    if (names.isEmpty() && filters.isEmpty())
        QCOMPARE(image.toHex(), factory.toHex());
}

void TestCliFcc::debugDumps_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("what");   // 0 setup image, 1 system information, 2 raid set 0, 3 volume set 1, 4 disk 0:2

    QTest::newRow("rominfo") << QByteArray("debug dump rominfo") << 0;
    QTest::newRow("classinfo, upper case") << QByteArray("debug dump CLASSINFO") << 1;
    QTest::newRow("raidinfo") << QByteArray("debug dump raidinfo p=0") << 2;
    QTest::newRow("volinfo") << QByteArray("debug dump volinfo p=1") << 3;
    QTest::newRow("diskinfo") << QByteArray("debug dump diskinfo enc=0 drv=2") << 4;
}

void TestCliFcc::debugDumps()
{
    QFETCH(QByteArray, line);
    QFETCH(int, what);
    std::string why;
    QVERIFY2(m_ctl->loadConfig(kConfig, &why), why.c_str());
    // The records as the library reads them.
    u32 rc = 0;
    std::unique_ptr<Session> session = udpSession(kAddress, 7890, &rc);
    QCOMPARE(rc, 0u);
    QByteArray expected;
    if (what == 0) {
        expected = dump(bytesOf(m_ctl->setupImage()).left(2048));
    } else if (what == 1) {
        expected = "[SYSINFO]\n" + dump(bytesOf(m_ctl->systemInfo()));
    } else if (what == 2) {
        sGUI_RAIDSET raid{};
        QCOMPARE(session->ZynGetRaidSetInfo(0, &raid), 0u);
        expected = dump(QByteArray(reinterpret_cast<const char*>(raid.bytes), 272));
    } else if (what == 3) {
        sGUI_VOLUMESET vol{};
        QCOMPARE(session->ZynGetVolSetInfo(1, &vol), 0u);
        expected = dump(QByteArray(reinterpret_cast<const char*>(vol.bytes), int(sizeof vol.bytes)) + QByteArray(152, '\0'));
        QVERIFY(expected.contains("FC0"));
    } else {
        sGUI_PHY_DRV disk{};
        QCOMPARE(session->ZynGetPhysicalDriveInfo(0, 2, &disk), 0u);
        expected = dump(QByteArray(reinterpret_cast<const char*>(disk.bytes), 272));
    }
    session.reset();
    QCOMPARE(run(line + "\n"), "\r\n" + expected + kOk);
}

// The expander test: a log-in with the service password whatever it answers, both expanders
// read, the error log of expander 0 cleared; only the last result counts.
void TestCliFcc::debugTest()
{
    std::string why;
    QVERIFY2(m_ctl->loadConfig(kConfig, &why), why.c_str());
    QCOMPARE(run("debug test\n"), "\r\n" + kOk);
    QByteArrayList expanders;
    for (const Bytes& p : payloads(*m_ctl, 0x47))
        expanders << clitest::hex(p);
    QCOMPARE(expanders, (QByteArrayList{"0000", "0001", "0100"}));
    QVERIFY(payloads(*m_ctl, 0x14).size() >= 1);
    QCOMPARE(bytesOf(payloads(*m_ctl, 0x14).back()).left(5), QByteArray("\x04" "9163"));

    m_ctl->script(0x47, 3, zynsim::Answer::status('G'));
    QCOMPARE(run("debug test\n"), QByteArray("\r\nGuiErrMsg<0x47>: Invalid Parameter.\n"));
}

void TestCliFcc::help()
{
    const QByteArray out = run("fcc ?\nfcc -help\ndebug ?\ndebug -help\n");
    const QByteArrayList pages = out.split('\r');
    QCOMPARE(pages.size(), 5);
    QCOMPARE(pages[1], pages[2]);
    QCOMPARE(pages[3], pages[4]);
    const QByteArray fcc = pages[1];
    QVERIFY(fcc.startsWith("\n\nSub-Command & Parameters Of [ fcc ]\nSub-Command Description\n" + rule(79)));
    QVERIFY(fcc.endsWith("Command: fcc filterdel vol=1 idx=1 [Enter]\n\n" + rule(79)));
    for (const char* entry : {"nameinfo    Parameter: None\n", "nameadd     Parameter: <wwn=xxxxxxxxxxxxxxxx> [nickname=xxx]\n",
                              "namedel     Parameter: <idx=xx>\n", "filterinfo  Parameter: <vol=xx>\n",
                              "filteradd   Parameter: <vol=xx> <wwn=xxxxxxxxxxxxxxxx> <mask=xxxxxxxxxxxxxxxx>\n"
                              "                       [mode=<0(R/W)|1(RO)>] [type=<0(Include)|1(Exclude)>]\n",
                              "filterdel   Parameter: <vol=xx> <idx=xx>\n"})
        QVERIFY2(fcc.contains(entry), entry);
    QCOMPARE(pages[3], "\n\nSub-Command & Parameters Of [ debug ]\nSub-Command Description\n" + rule(79)
                           + "dump rominfo\nParameter: None\nFn: dump ROM Information\n\n"
                             "dump classinfo\nParameter: None\nFn: dump ZynlibCLI Information\n\n"
                             "test atapassthr\nParameter: enc=xx, drv=xx\nFn: test ATA Passthrough Command\n\n"
                             "dump raidinfo <p=raid#>\n\ndump volinfo <p=vol#>\n\ndump drvinfo <p=drv#>\n\n"
                             "dump smartdata <p=drv#>\n\n"
                           + rule(79));
}

QTEST_GUILESS_MAIN(TestCliFcc)
#include "test_cli_fcc.moc"
