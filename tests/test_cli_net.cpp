// The net, mail, snmp and ntp commands through the zyncli harness against the simulator: each
// setter's output and the field it leaves in the controller's setup image, refusals that send
// nothing, and the four information pages byte for byte (texts at their full width, stored
// numbers that no table holds).
#include "clifixture.h"
#include "setuptable.h"
#include "simfixture.h"

#include <QtTest>

#include <string>
#include <utility>
#include <vector>

using namespace simtest;

namespace {

const char* const kEnc = "127.0.1.26";     // enclosure family with its network port
const char* const kOld = "127.0.1.27";     // older family with its network port
const char* const kNoNic = "127.0.1.28";   // enclosure family without one
const char* const kSimPassword = "0000";

const QByteArray kOk = "GuiErrMsg<0x00>: Success.\n";
const QByteArray kWrong = "GuiErrMsg<0x06>: The Wrong Parameter(s).\n";
const QByteArray kInvalid = "ErrMsg: Invalid Parameter.\n";

using clitest::rule;

QByteArray runHarness(const char* address, const QByteArray& input, QString* error)
{
    const clitest::HarnessRun run = clitest::runZyncli(address, input, kSimPassword);
    *error = run.error;
    return run.out;
}

QByteArray padded(const QByteArray& text, int width)
{
    return (text + QByteArray(width, '\0')).left(width);
}

// The fields every case starts from (id, bytes; zero-padded to the field's length).
const std::vector<std::pair<int, QByteArray>>& baseline()
{
    static const std::vector<std::pair<int, QByteArray>> fields = {
        {32, QByteArray::fromHex("01")},
        {16, QByteArray::fromHex("c0a80164")},
        {29, QByteArray::fromHex("c0a80101")},
        {17, QByteArray::fromHex("ffffff00")},
        {44, QByteArray::fromHex("8813")},
        {55, QByteArray::fromHex("1700")},
        {80, QByteArray::fromHex("1900")},
        {42, QByteArray::fromHex("0a000002")},
        {43, "acct"},
        {71, "pw"},
        {66, padded("Sender", 20) + "s@example.com"},
        {67, "ABCDEFGHIJKLMNOPQRSTa@example.com"},       // a name filling its 20 characters
        {68, QByteArray()},
        {69, QByteArray()},
        {70, QByteArray()},
        {39, QByteArray::fromHex("02")},
        {99, QByteArray::fromHex("000409")},              // recipient 4: a level without a text
        {40, QByteArray::fromHex("01")},
        {100, QByteArray::fromHex("000102")},
        {46, QByteArray::fromHex("0a000003")},
        {47, QByteArray::fromHex("0a000004")},
        {48, QByteArray::fromHex("00000000")},
        {49, QByteArray::fromHex("a200")},
        {50, QByteArray::fromHex("a300")},
        {51, QByteArray::fromHex("0000")},
        {72, "COMMUNITY16CHARS"},                         // no terminator within the field
        {73, "Storage team"},
        {74, "Room 2"},
        {75, QByteArray(32, 'N')},
        {52, QByteArray::fromHex("07")},                  // an SNMP level without a text
        {53, QByteArray::fromHex("04")},
        {93, QByteArray::fromHex("c8")},                  // a time zone past the table
        {94, QByteArray::fromHex("02")},
        {95, QByteArray::fromHex("0a000005")},
        {96, QByteArray::fromHex("0a000006")},
    };
    return fields;
}

// Requests that change the controller.
int writesReceived(const zynsim::FakeController& ctl)
{
    int n = 0;
    for (const LogEntry& e : entries(ctl, LogEntry::RxFrame))
        n += !zynsim::isReadRequest(e.command, e.bytes);
    return n;
}

} // namespace

class TestCliNet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void setters_data();
    void setters();
    void pages_data();
    void pages();
    void help();

private:
    zynsim::FakeController& ctlOf(const QByteArray& address)
    {
        return address == kEnc ? *m_enc : address == kOld ? *m_old : *m_noNic;
    }
    // Writes the baseline into the controller's setup image.
    void reset(zynsim::FakeController& ctl);
    QByteArray field(zynsim::FakeController& ctl, int id);

    zynsim::Simulator m_sim;
    std::shared_ptr<zynsim::FakeController> m_enc, m_old, m_noNic;
};

void TestCliNet::initTestCase()
{
    m_enc = m_sim.addUdpController(kEnc, configOf(zynsim::Profile::Enclosure));
    m_old = m_sim.addUdpController(kOld, configOf(zynsim::Profile::Older));
    zynsim::ControllerConfig noNic = configOf(zynsim::Profile::Enclosure);
    noNic.onBoardNetwork = false;
    m_noNic = m_sim.addUdpController(kNoNic, noNic);
    QVERIFY2(m_enc && m_old && m_noNic, m_sim.error().c_str());
}

void TestCliNet::reset(zynsim::FakeController& ctl)
{
    Bytes image = ctl.setupImage();
    for (const auto& f : baseline()) {
        const CFieldInfo* info = gettablefieldinfo(u8(ctl.setupLayout()), u32(f.first));
        if (info == nullptr || !info->exists())
            continue;
        const QByteArray bytes = padded(f.second, int(info->length));
        std::copy(bytes.begin(), bytes.end(), image.begin() + info->offset);
    }
    QVERIFY(ctl.setSetupImage(image));
}

QByteArray TestCliNet::field(zynsim::FakeController& ctl, int id)
{
    const CFieldInfo* info = gettablefieldinfo(u8(ctl.setupLayout()), u32(id));
    if (info == nullptr || !info->exists())
        return "absent";
    const Bytes image = ctl.setupImage();
    return QByteArray(reinterpret_cast<const char*>(image.data()) + info->offset, int(info->length)).toHex();
}

// One case per row: the controller, the line, the whole output, then either the field it
// changes and its bytes afterwards, or (field -1) the frame it sends: that frame's command and
// the end of its payload. A row that sends nothing gives neither (field -1, command 0): the
// controller then receives no request that changes it.
void TestCliNet::setters_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("fieldId");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("payloadEnd");

    const QByteArray enc = kEnc, old = kOld, noNic = kNoNic;
    const QByteArray none;
    const QByteArray mac = "ErrMsg: Invalid MAC Address.\n";
    auto hexOf = [](const QByteArray& text, int width) { return padded(text, width).toHex(); };
    auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };

    // net
    row("dhcp stores its number with the current address") << enc << QByteArray("net dhcp p=1") << kOk << -1 << none
                                                           << 0x39 << QByteArray("017f00011a");
    row("dhcp malformed") << enc << QByteArray("net dhcp p=on") << kInvalid << -1 << none << 0 << none;
    row("ipaddr keeps the stored DHCP byte") << enc << QByteArray("net ipaddr p=10.0.0.5") << kOk << -1 << none << 0x39
                                             << QByteArray("010a000005");
    row("ipaddr with a typo") << enc << QByteArray("net ipaddr p=192.168.1.2555") << kWrong << -1 << none << 0 << none;
    row("ipaddr missing") << enc << QByteArray("net ipaddr") << kInvalid << -1 << none << 0 << none;
    row("gateway") << enc << QByteArray("net gateway p=10.0.0.1") << kOk << 29 << QByteArray("0a000001") << 0 << none;
    row("gateway of three octets") << enc << QByteArray("net gateway p=10.0.1") << kWrong << -1 << none << 0 << none;
    row("netmask") << old << QByteArray("net netmask p=255.255.0.0") << kOk << 17 << QByteArray("ffff0000") << 0 << none;
    row("mac") << enc << QByteArray("net mac p=001122334455") << kOk << -1 << none << 0x17
               << QByteArray("001122334455");
    row("mac with non-hexadecimal digits") << enc << QByteArray("net mac p=0011223344GG") << mac << -1 << none << 0
                                           << none;
    row("mac too short") << enc << QByteArray("net mac p=00112233445") << mac << -1 << none << 0 << none;
    row("httpport") << enc << QByteArray("net httpport p=65535") << kOk << 44 << QByteArray("ffff") << 0 << none;
    row("httpport 0") << enc << QByteArray("net httpport p=0") << kInvalid << -1 << none << 0 << none;
    row("httpport 65536") << enc << QByteArray("net httpport p=65536") << kInvalid << -1 << none << 0 << none;
    row("httpport reserved") << enc << QByteArray("net httpport p=7200") << kWrong << -1 << none << 0 << none;
    row("telnetport") << enc << QByteArray("net telnetport p=2323") << kOk << 55 << QByteArray("1309") << 0 << none;
    row("smtpport") << enc << QByteArray("net smtpport p=2525") << kOk << 80 << QByteArray("dd09") << 0 << none;

    // mail
    row("smtp server") << enc << QByteArray("mail ipaddr p=10.0.0.9") << kOk << 42 << QByteArray("0a000009") << 0 << none;
    row("smtp server typo") << enc << QByteArray("mail ipaddr p=10.0.0.999") << kWrong << -1 << none << 0 << none;
    row("account name and password") << enc << QByteArray("mail account name=user password=secret") << kOk << 43
                                     << hexOf("user", 50) << 0 << none;
    row("account keeps the stored name") << enc << QByteArray("mail account password=secret") << kOk << 71
                                         << hexOf("secret", 20) << 0 << none;
    row("account password cleared") << enc << QByteArray("mail account password=Null") << kOk << 71 << hexOf("", 20)
                                     << 0 << none;
    row("account of 49 characters") << enc << "mail account name=" + QByteArray(49, 'a') << kOk << 43
                                    << hexOf(QByteArray(49, 'a'), 50) << 0 << none;
    row("account of 50 characters") << enc << "mail account name=" + QByteArray(50, 'a') << kInvalid << -1 << none << 0
                                    << none;
    row("password of 20 characters") << enc << "mail account password=" + QByteArray(20, 'p') << kInvalid << -1 << none
                                     << 0 << none;
    row("sender") << enc << QByteArray("mail sender name=Alert addr=alert@example.com") << kOk << 66
                  << hexOf("Alert", 20) + hexOf("alert@example.com", 50) << 0 << none;
    row("sender name of 20 characters, address kept") << old << "mail sender name=" + QByteArray(20, 'n') << kOk << 66
                                                      << hexOf(QByteArray(20, 'n'), 20) + hexOf("s@example.com", 50)
                                                      << 0 << none;
    row("sender name of 21 characters") << enc << "mail sender name=" + QByteArray(21, 'n') << kInvalid << -1 << none
                                        << 0 << none;
    row("sender address of 51 characters") << enc << "mail sender addr=" + QByteArray(51, 'a') << kInvalid << -1
                                           << none << 0 << none;
    row("mailto2") << enc << QByteArray("mail mailto2 name=Ops addr=ops@example.com") << kOk << 68
                   << hexOf("Ops", 20) + hexOf("ops@example.com", 50) << 0 << none;
    row("mailto1 name cleared") << old << QByteArray("mail mailto1 name=NULL") << kOk << 67
                                << hexOf("", 20) + hexOf("a@example.com", 50) << 0 << none;
    row("mailto3 level under enclosure addressing") << enc << QByteArray("mail mailto3 evtlevel=3") << kOk << 99
                                                    << QByteArray("000309") << 0 << none;
    row("mailto4 no-event flag") << enc << QByteArray("mail mailto4 noevtfor24h=1") << kOk << 100
                                 << QByteArray("000101") << 0 << none;
    row("mailto2 level without enclosure addressing") << old << QByteArray("mail mailto2 evtlevel=3") << kOk << -1
                                                      << none << 0 << none;
    row("mailto1 level out of range") << enc << QByteArray("mail mailto1 name=x evtlevel=5")
                                      << kInvalid + "GuiErrMsg<0x01>: Failure.\n" << -1 << none << 0 << none;
    row("mailto1 name too long") << enc << "mail mailto1 name=" + QByteArray(21, 'x')
                                 << kInvalid + "GuiErrMsg<0x01>: Failure.\n" << -1 << none << 0 << none;
    row("evtlevel") << old << QByteArray("mail evtlevel p=4") << kOk << 39 << QByteArray("04") << 0 << none;
    row("evtlevel 5") << old << QByteArray("mail evtlevel p=5") << kInvalid << -1 << none << 0 << none;
    row("noevtfor24h") << old << QByteArray("mail noevtfor24h p=0") << kOk << 40 << QByteArray("00") << 0 << none;
    row("noevtfor24h 2") << old << QByteArray("mail noevtfor24h p=2") << kInvalid << -1 << none << 0 << none;

    // snmp
    row("trap address 2") << enc << QByteArray("snmp ipaddr2 p=10.0.0.9") << kOk << 47 << QByteArray("0a000009") << 0
                          << none;
    row("trap address typo") << enc << QByteArray("snmp ipaddr1 p=10.0.0.256") << kWrong << -1 << none << 0 << none;
    row("trap port 2") << enc << QByteArray("snmp port2 p=162") << kOk << 50 << QByteArray("a200") << 0 << none;
    row("trap port 65535") << enc << QByteArray("snmp port3 p=65535") << kOk << 51 << QByteArray("ffff") << 0 << none;
    row("trap port above 16 bits") << enc << QByteArray("snmp port1 p=70000") << kWrong << -1 << none << 0 << none;
    row("trap port negative") << enc << QByteArray("snmp port1 p=-1") << kWrong << -1 << none << 0 << none;
    row("trap port malformed") << enc << QByteArray("snmp port1 p=16x") << kInvalid << -1 << none << 0 << none;
    row("community cleared") << enc << QByteArray("snmp community p=null") << kOk << 72 << hexOf("", 16) << 0 << none;
    row("community empty") << noNic << QByteArray("snmp community p=") << kOk << 72 << hexOf("", 16) << 0 << none;
    row("community of 16 characters") << enc << "snmp community p=" + QByteArray(16, 'c') << kOk << 72
                                      << hexOf(QByteArray(16, 'c'), 16) << 0 << none;
    row("community of 17 characters") << enc << "snmp community p=" + QByteArray(17, 'c') << kInvalid << -1 << none
                                      << 0 << none;
    row("name of 32 characters") << enc << "snmp name p=" + QByteArray(32, 'x') << kOk << 75
                                 << hexOf(QByteArray(32, 'x'), 32) << 0 << none;
    row("name of 33 characters") << enc << "snmp name p=" + QByteArray(33, 'x') << kInvalid << -1 << none << 0 << none;
    row("contact") << enc << QByteArray("snmp contact p=Admin") << kOk << 73 << hexOf("Admin", 32) << 0 << none;
    row("location cleared") << enc << QByteArray("snmp location p=NULL") << kOk << 74 << hexOf("", 32) << 0 << none;
    row("contact without a network port") << noNic << QByteArray("snmp contact p=Admin")
                                          << QByteArray("GuiErrMsg<0x48>: Unsupported Command.\n") << -1 << none << 0
                                          << none;
    row("snmp evtlevel") << enc << QByteArray("snmp evtlevel p=2") << kOk << 52 << QByteArray("02") << 0 << none;
    row("snmp evtlevel 5") << enc << QByteArray("snmp evtlevel p=5") << kInvalid << -1 << none << 0 << none;
    row("snmp path 5: the library refuses") << enc << QByteArray("snmp path p=5") << kWrong << -1 << none << 0 << none;
    row("snmp path 6") << enc << QByteArray("snmp path p=6") << kInvalid << -1 << none << 0 << none;

    // ntp
    row("ntp server 1") << enc << QByteArray("ntp ipaddr1 p=10.0.0.7") << kOk << 95 << QByteArray("0a000007") << 0 << none;
    row("ntp server 2") << old << QByteArray("ntp ipaddr2 p=10.0.0.8") << kOk << 96 << QByteArray("0a000008") << 0 << none;
    row("ntp server typo") << enc << QByteArray("ntp ipaddr2 p=10.0.0.8.1") << kWrong << -1 << none << 0 << none;
    row("timezone 74") << enc << QByteArray("ntp timezone p=74") << kOk << 93 << QByteArray("4a") << 0 << none;
    row("timezone 75") << enc << QByteArray("ntp timezone p=75") << kInvalid << -1 << none << 0 << none;
    row("daylightsaving 1") << enc << QByteArray("ntp daylightsaving p=1") << kOk << 94 << QByteArray("01") << 0 << none;
    row("daylightsaving 2: the library refuses") << enc << QByteArray("ntp daylightsaving p=2") << kWrong << -1 << none
                                                  << 0 << none;
    row("daylightsaving 3") << enc << QByteArray("ntp daylightsaving p=3") << kInvalid << -1 << none << 0 << none;
    row("ntp without a network port") << noNic << QByteArray("ntp timezone p=3")
                                      << QByteArray("ErrMsg: This Controller Has No Onboard NIC.\n") << -1 << none << 0
                                      << none;
}

void TestCliNet::setters()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, output);
    QFETCH(int, fieldId);
    QFETCH(QByteArray, after);
    QFETCH(int, command);
    QFETCH(QByteArray, payloadEnd);

    zynsim::FakeController& ctl = ctlOf(address);
    reset(ctl);
    const Bytes before = ctl.setupImage();
    ctl.clearLog();
    QString error;
    const QByteArray out = runHarness(address.constData(), line + "\n", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(out, "\r\n" + output);
    if (fieldId >= 0) {
        QCOMPARE(field(ctl, fieldId), after);
    } else if (command != 0) {
        const std::vector<Bytes> sent = payloads(ctl, command);
        QCOMPARE(int(sent.size()), 1);
        QVERIFY2(clitest::hex(sent.front()).endsWith(payloadEnd), clitest::hex(sent.front()).constData());
    } else {
        QCOMPARE(writesReceived(ctl), 0);
        QVERIFY(ctl.setupImage() == before);
    }
}

void TestCliNet::pages_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("output");

    const QByteArray enc = kEnc, old = kOld, noNic = kNoNic;
    QTest::newRow("net info, DHCP on") << enc << QByteArray("net info")
                                       << "The EtherNet Information\n" + rule(75)
                                              + "DHCP                                       : Enabled\n"
                                                "Local IP Address(Used If DHCP Disabled)    : 192.168.1.100\n"
                                                "Gateway IP Address(Used If DHCP Disabled)  : 192.168.1.1\n"
                                                "Subnet Mask(Used If DHCP Disabled)         : 255.255.255.0\n"
                                                "HTTP Port Number(7168..8191 Is Reserved)   : 5000\n"
                                                "Telnet Port Number(7168..8191 Is Reserved) : 23\n"
                                                "SMTP Port Number(7168..8191 Is Reserved)   : 25\n"
                                                "Current IP Address                         : CURRENT\n"
                                                "EtherNet MAC Address                       : MAC\n"
                                              + rule(75) + "GuiErrMsg<0x00>: Success.\n";
    // A DHCP byte that no table holds (written straight into the image by the case).
    QTest::newRow("net info, DHCP byte 5") << enc << QByteArray("net info")
                              << "The EtherNet Information\n" + rule(75)
                                     + "DHCP                                       : Unknown(5)\n"
                                       "Local IP Address(Used If DHCP Disabled)    : 192.168.1.100\n"
                                       "Gateway IP Address(Used If DHCP Disabled)  : 192.168.1.1\n"
                                       "Subnet Mask(Used If DHCP Disabled)         : 255.255.255.0\n"
                                       "HTTP Port Number(7168..8191 Is Reserved)   : 5000\n"
                                       "Telnet Port Number(7168..8191 Is Reserved) : 23\n"
                                       "SMTP Port Number(7168..8191 Is Reserved)   : 25\n"
                                       "Current IP Address                         : CURRENT\n"
                                       "EtherNet MAC Address                       : MAC\n"
                                     + rule(75) + "GuiErrMsg<0x00>: Success.\n";
    QTest::newRow("net info without a network port") << noNic << QByteArray("net info")
                                                     << QByteArray("ErrMsg: This Controller Has No Onboard NIC.\n");
    QTest::newRow("mail info, enclosure addressing")
        << enc << QByteArray("mail info")
        << "Alert By Mail Configuration\n" + rule(77)
               + "[SMTP Server Configuration]\n"
                 "  SMTP Server IP Address    : 10.0.0.2            \n"
                 "[Mail Address Configurations]\n"
                 "  Sender                    : \"Sender\"<s@example.com>\n"
                 "  Account                   : acct\n"
                 "[Event Notification Configurations]\n"
                 "  MailTo1\n"
                 "    Recipient               : \"ABCDEFGHIJKLMNOPQRST\"<a@example.com>\n"
                 "    Notification Level      : Serious(Send Urgent And Serious Event)\n"
                 "    For No Event Within 24H : Enabled(Notify User If No Event Within 24H)\n"
                 "  MailTo2\n"
                 "    Recipient               : \"\"<>\n"
                 "    Notification Level      : Disabled(No Event Notification Will Be Sent)\n"
                 "    For No Event Within 24H : Disabled\n"
                 "  MailTo3\n"
                 "    Recipient               : \"\"<>\n"
                 "    Notification Level      : Information(Send All Event)\n"
                 "    For No Event Within 24H : Enabled(Notify User If No Event Within 24H)\n"
                 "  MailTo4\n"
                 "    Recipient               : \"\"<>\n"
                 "    Notification Level      : Unknown(9)\n"
                 "    For No Event Within 24H : Unknown(2)\n"
               + rule(77) + "GuiErrMsg<0x00>: Success.\n";
    QTest::newRow("mail info, older family")
        << old << QByteArray("mail info")
        << "Alert By Mail Configuration\n" + rule(77)
               + "[SMTP Server Configuration]\n"
                 "  SMTP Server IP Address    : 10.0.0.2            \n"
                 "[Mail Address Configurations]\n"
                 "  Sender Name               : Sender\n"
                 "  Mail Address              : s@example.com\n"
                 "  Account                   : acct\n"
                 "  MailTo Name1              : ABCDEFGHIJKLMNOPQRST\n"
                 "  MailTo Address1           : a@example.com\n"
                 "  MailTo Name2              : \n"
                 "  MailTo Address2           : \n"
                 "  MailTo Name3              : \n"
                 "  MailTo Address3           : \n"
                 "  MailTo Name4              : \n"
                 "  MailTo Address4           : \n"
                 "[Event Notification Configurations]\n"
                 "  Event Notification Level  : Serious(Send Urgent And Serious Event)\n"
                 "  Notification For No Event : YES\n"
               + rule(77) + "GuiErrMsg<0x00>: Success.\n";
    const QByteArray snmpHead = "The SNMP Information\n" + rule(75);
    QTest::newRow("snmp info")
        << enc << QByteArray("snmp info")
        << snmpHead
               + "[SNMP Trap Configurations]\n"
                 "  SNMP Trap IP Address #1 : 10.0.0.3               port: 162\n"
                 "  SNMP Trap IP Address #2 : 10.0.0.4               port: 163\n"
                 "  SNMP Trap IP Address #3 : 0.0.0.0                port: 0\n"
                 "[SNMP System Configurations]\n"
                 "  Community               : COMMUNITY16CHARS\n"
                 "  sysContact.0            : Storage team\n"
                 "  sysName.0               : NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN\n"
                 "  sysLocation.0           : Room 2\n"
                 "[SNMP Trap Notification Configurations]\n"
                 "  Event Notification      : Unknown(7)\n"
                 "  SNMP Through PCI Inband : NO (Ethernet SNMP Is Enabled)\n"
               + rule(75) + "GuiErrMsg<0x00>: Success.\n";
    QTest::newRow("snmp info without a network port")
        << noNic << QByteArray("snmp info")
        << snmpHead + "[SNMP System Configurations]\n  Community               : COMMUNITY16CHARS\n" + rule(75)
               + "GuiErrMsg<0x00>: Success.\n";
    QTest::newRow("ntp info") << enc << QByteArray("ntp info")
                              << "The NTP Information\n" + rule(75)
                                     + "[NTP Server Configurations]\n"
                                       "  NTP Server IP Address #1  : 10.0.0.5            \n"
                                       "  NTP Server IP Address #2  : 10.0.0.6            \n"
                                       "[Time Zone Configurations]\n"
                                       "  Time Zone                 : Unknown(200)\n"
                                       "  Automatic Daylight Saving : Unknown(2)\n"
                                     + rule(75) + "GuiErrMsg<0x00>: Success.\n";
    QTest::newRow("ntp info after a change")
        << enc << QByteArray("ntp timezone p=74\nntp daylightsaving p=0\nntp info")
        << kOk + "\r\n" + kOk + "\r\nThe NTP Information\n" + rule(75)
               + "[NTP Server Configurations]\n"
                 "  NTP Server IP Address #1  : 10.0.0.5            \n"
                 "  NTP Server IP Address #2  : 10.0.0.6            \n"
                 "[Time Zone Configurations]\n"
                 "  Time Zone                 : (GMT+13:00)Nuku'alofa\n"
                 "  Automatic Daylight Saving : Enabled\n"
               + rule(75) + "GuiErrMsg<0x00>: Success.\n";
}

void TestCliNet::pages()
{
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, output);

    zynsim::FakeController& ctl = ctlOf(address);
    reset(ctl);
    if (QByteArray(QTest::currentDataTag()).endsWith("DHCP byte 5")) {
        Bytes image = ctl.setupImage();
        image[size_t(gettablefieldinfo(u8(ctl.setupLayout()), 32)->offset)] = 5;
        QVERIFY(ctl.setSetupImage(image));
    }
    QString error;
    const QByteArray out = runHarness(address.constData(), line + "\n", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // The current address and the MAC address are the simulator's own (the setters change them).
    const Bytes info = ctl.systemInfo();
    const uint8_t* ip = info.data() + sSYSTEM_INFO::kIpAddress;
    const QByteArray current = QByteArray::number(ip[0]) + "." + QByteArray::number(ip[1]) + "."
        + QByteArray::number(ip[2]) + "." + QByteArray::number(ip[3]);
    const QByteArray mac = QByteArray(reinterpret_cast<const char*>(info.data()) + sSYSTEM_INFO::kMacAddress, 6)
                               .toHex('-')
                               .toUpper();
    const QByteArray expected = "\r\n" + QByteArray(output).replace("MAC\n", mac + "\n").replace("CURRENT\n", current + "\n");
    QCOMPARE(out, expected);
}

// Each family's help: its frame, its sub-commands, no result line; mail by family.
void TestCliNet::help()
{
    for (const char* address : {kEnc, kOld}) {
        QString error;
        const QByteArray out = runHarness(address, "net ?\nmail ?\nsnmp -help\nntp ?\n", &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QByteArrayList pages = out.split('\r');
        QCOMPARE(pages.size(), 5);
        const char* const families[] = {"net", "mail", "snmp", "ntp"};
        for (int i = 0; i < 4; ++i) {
            const QByteArray page = pages[i + 1];
            QVERIFY(page.startsWith("\n\nSub-Command & Parameters Of [ " + QByteArray(families[i])
                                    + " ]\nSub-Command Description\n" + rule(60)));
            QVERIFY(page.endsWith("Command: " + QByteArray(families[i]) + " info [Enter]\n" + rule(60)));
            QVERIFY(!page.contains("GuiErrMsg"));
        }
        const bool enclosures = address == kEnc;
        QCOMPARE(pages[2].contains("evtlevel    Parameter"), !enclosures);
        QCOMPARE(pages[2].contains("[evtlevel=<0~4>] [noevtfor24h=<0|1>]"), enclosures);
        QVERIFY(pages[4].contains("             0: (GMT-12:00)International Date Line West\n"));
        QVERIFY(pages[4].contains("            74: (GMT+13:00)Nuku'alofa\n"));
        for (const char* sub : {"dhcp", "ipaddr", "gateway", "netmask", "httpport", "telnetport", "smtpport"})
            QVERIFY2(pages[1].contains("\n" + QByteArray(sub) + " "), sub);
    }
}

QTEST_GUILESS_MAIN(TestCliNet)
#include "test_cli_net.moc"
