// Identity, access and maintenance commands, and the mail, SNMP, NTP and network settings,
// against the simulator.
#include "simfixture.h"
#include "snmpx.h"
#include "zynconst.h"

#include <QtTest>

using namespace simtest;

namespace {

const char* const kAddress = "127.0.0.50";

Bytes textBytes(const char* text, size_t width, uint8_t pad = 0)
{
    Bytes out(width, pad);
    std::memcpy(out.data(), text, std::min(std::strlen(text), width));
    return out;
}

} // namespace

class TestIdentity : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        fastPolls();
        CZynlib::setLogoPagePauseMilliseconds(0);
    }
    void cleanup() { m_rig.stop(); }

    void identify();
    void passwordCycle();
    void identityWritesReadBack();
    void identityArguments();
    void controllerSettingCommands();
    void clock();
    void logo();
    void resetCountsAsSuccess();
    void firmwareFromBuffer();
    void firmwareFromFile();
    void unitSerialAndPassword();
    void lcdTitleAndRtc();
    void mailSettings();
    void snmpAndNetworkSettings();
    void addressTextsAreChecked();
    void settingsNeedANetworkPort();
    void settingReads();
    void oidText();
    void httpPassThrough_data();
    void httpPassThrough();
    void snmpQueries();
    void snmpAnswersThatTellNothing();

private:
    // Empty, or why the rig did not start (a caller checks it: a failure here would only
    // return from the helper).
    [[nodiscard]] QString start(const zynsim::ControllerConfig& config = configOf(zynsim::Profile::Enclosure))
    {
        return m_rig.start(kAddress, config);
    }
    Session& session() { return *m_rig.session; }
    zynsim::FakeController& ctl() { return *m_rig.ctl; }
    const CFieldInfo& field(int id) { return *gettablefieldinfo(u8(ctl().setupLayout()), u32(id)); }
    Bytes fieldBytes(int id) { return slice(ctl().setupImage(), size_t(field(id).offset), size_t(field(id).length)); }

    UdpRig m_rig;
};

void TestIdentity::identify()
{
    QCOMPARE(start(), QString());
    QCOMPARE(session().ZynIdentify(), 0u);
    Bytes other(64, 0);
    std::memcpy(other.data(), "Someone Else Subsystem", 22);
    ctl().script(0x13, 1, Answer::data(other));
    QCOMPARE(session().ZynIdentify(), 1u);
    for (const char* jbod : {"Varnel JBOD Subsystem", "Varnel JBOD 6G Subsystem", "Varnel 6G JBOD Subsystem"}) {
        Bytes id(64, 0);
        std::memcpy(id.data(), jbod, std::strlen(jbod));
        ctl().script(0x13, 1, Answer::data(id));
        QCOMPARE(session().ZynIdentify(), 0u);
    }
    ctl().script(0x13, 1, Answer::status('O'));
    QCOMPARE(session().ZynIdentify(), u32('O'));
}

void TestIdentity::passwordCycle()
{
    QCOMPARE(start(), QString());
    ctl().setPasswordRequired(true);
    char wrong[] = "wrong";
    QCOMPARE(session().ZynChkPassword(wrong), 74u);   // 'J'
    char next[] = "Secret9";
    QCOMPARE(session().ZynSetPassword(next), 8u);     // not logged in
    char own[] = "0000";
    QCOMPARE(session().ZynChkPassword(own), 0u);
    QCOMPARE(session().ZynSetPassword(next), 0u);
    QCOMPARE(lastPayload(ctl(), 0x32), (Bytes{7, 'S', 'e', 'c', 'r', 'e', 't', '9', 0, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(session().ZynLogOut(), 0u);
    QCOMPARE(session().ZynChkPassword(own), 74u);
    QCOMPARE(session().ZynChkPassword(next), 0u);

    // Texts the controller would not take are refused before anything is sent.
    ctl().clearLog();
    char hyphen[] = "bad-pw";
    char sixteen[] = "ABCDEFGHIJKLMNOP";
    QCOMPARE(session().ZynSetPassword(hyphen), 6u);
    QCOMPARE(session().ZynSetPassword(sixteen), 6u);
    QCOMPARE(session().ZynChkPassword(sixteen), 6u);
    QCOMPARE(session().ZynSetPassword(nullptr), 6u);
    QCOMPARE(ctl().framesReceived(0x32) + ctl().framesReceived(0x14), 0);
    char empty[] = "";
    session().ZynSetPassword(empty);
    QCOMPARE(lastPayload(ctl(), 0x32), Bytes(16, 0));
}

void TestIdentity::identityWritesReadBack()
{
    QCOMPARE(start(), QString());
    char serial[] = "NEWSER12";
    char vendor[] = "Acme Storage";
    char model[] = "ZX-9";
    unsigned char mac[6] = {0x00, 0x1B, 0x4D, 0x11, 0x22, 0x33};
    QCOMPARE(session().ZynSetSerial(serial), 0u);
    QCOMPARE(session().ZynSetVendor(vendor), 0u);
    QCOMPARE(session().ZynSetModel(model), 0u);
    QCOMPARE(session().ZynSetMacAddr(mac), 0u);

    const Bytes serialPayload = lastPayload(ctl(), 0x10);
    QCOMPARE(serialPayload.size(), size_t(33));
    QCOMPARE(int(serialPayload[0]), 15);
    QCOMPARE(slice(serialPayload, 1, 16), textBytes(zynconst::kAccessString16, 16));
    QCOMPARE(slice(serialPayload, 17, 16), textBytes(serial, 16));   // zero-padded, nothing else
    const Bytes vendorPayload = lastPayload(ctl(), 0x11);
    QCOMPARE(vendorPayload.size(), size_t(57));
    QCOMPARE(slice(vendorPayload, 1, 8), textBytes(zynconst::kAccessString8, 8));
    QCOMPARE(slice(vendorPayload, 9, 8), Bytes(8, ' '));
    QCOMPARE(slice(vendorPayload, 17, 40), textBytes(vendor, 40, ' '));
    const Bytes modelPayload = lastPayload(ctl(), 0x12);
    QCOMPARE(modelPayload.size(), size_t(25));
    QCOMPARE(slice(modelPayload, 17, 8), textBytes(model, 8, ' '));
    const Bytes macPayload = lastPayload(ctl(), 0x17);
    QCOMPARE(macPayload.size(), size_t(23));
    QCOMPARE(slice(macPayload, 9, 8), Bytes(8, 0));
    QCOMPARE(slice(macPayload, 17, 6), Bytes(mac, mac + 6));

    sSYSTEM_INFO info;
    QCOMPARE(session().ZynGetSysInfo(&info), 0u);
    QCOMPARE(info.serialNumber(), std::string(serial));
    QCOMPARE(QByteArray::fromStdString(info.vendorName()).trimmed(), QByteArray(vendor));
    QCOMPARE(QByteArray::fromStdString(info.modelName()).trimmed(), QByteArray(model));
    QCOMPARE(Bytes(info.macAddress(), info.macAddress() + 6), Bytes(mac, mac + 6));
}

void TestIdentity::identityArguments()
{
    QCOMPARE(start(), QString());
    ctl().clearLog();
    char empty[] = "";
    char seventeen[] = "12345678901234567";
    char fortyOne[] = "12345678901234567890123456789012345678901";
    char nine[] = "123456789";
    QCOMPARE(session().ZynSetSerial(empty), 6u);
    QCOMPARE(session().ZynSetSerial(seventeen), 6u);
    QCOMPARE(session().ZynSetSerial(nullptr), 6u);
    QCOMPARE(session().ZynSetVendor(fortyOne), 6u);
    QCOMPARE(session().ZynSetVendor(empty), 6u);
    QCOMPARE(session().ZynSetModel(nine), 6u);
    QCOMPARE(session().ZynSetModel(nullptr), 6u);
    QCOMPARE(session().ZynSetMacAddr(nullptr), 6u);
    for (int command : {0x10, 0x11, 0x12, 0x17})
        QCOMPARE(ctl().framesReceived(command), 0);
}

void TestIdentity::controllerSettingCommands()
{
    QCOMPARE(start(configOf(zynsim::Profile::Older)), QString());
    ctl().clearLog();
    QCOMPARE(session().ZynSetBeeper(2), 6u);
    QCOMPARE(session().ZynSetHostMode(2), 6u);
    QCOMPARE(session().ZynSetRebuildPriority(4), 6u);
    QCOMPARE(session().ZynSetMaxAtaMode(4), 6u);
    QCOMPARE(session().ZynSetTermPort(2, 0, 0), 6u);
    QCOMPARE(session().ZynSetTermPort(0, 8, 0), 6u);
    QCOMPARE(session().ZynSetTermPort(0, 0, 2), 6u);
    QCOMPARE(ctl().log().size(), size_t(0));

    QCOMPARE(session().ZynMuteBeeper(), 0u);
    QCOMPARE(lastPayload(ctl(), 0x30), Bytes());
    QCOMPARE(session().ZynSetBeeper(1), 0u);
    QCOMPARE(lastPayload(ctl(), 0x31), Bytes{1});
    QCOMPARE(session().ZynSetHostMode(1), 0u);
    QCOMPARE(lastPayload(ctl(), 0x33), Bytes{1});
    QCOMPARE(session().ZynSetRebuildPriority(3), 0u);
    QCOMPARE(lastPayload(ctl(), 0x34), Bytes{3});
    // This family counts the modes the other way round.
    QCOMPARE(session().ZynSetMaxAtaMode(0), 0u);
    QCOMPARE(lastPayload(ctl(), 0x35), Bytes{3});
    QCOMPARE(session().ZynSetTermPort(1, 7, 1), 0u);
    QCOMPARE(lastPayload(ctl(), 0x37), (Bytes{1, 7, 1, 1, 0, 0}));
    char ip[] = "10.0.0.7";
    QCOMPARE(session().ZynSetDhcpIp(1, ip), 0u);
    QCOMPARE(lastPayload(ctl(), 0x39), (Bytes{1, 10, 0, 0, 7}));
    sSYSTEM_INFO info;
    QCOMPARE(session().ZynGetSysInfo(&info), 0u);
    QCOMPARE(int(info.bytes[159]), 1);   // beeper on
    m_rig.stop();

    QCOMPARE(start(configOf(zynsim::Profile::Enclosure)), QString());
    QCOMPARE(session().ZynSetMaxAtaMode(7), 0u);
    QCOMPARE(lastPayload(ctl(), 0x35), Bytes{7});
}

void TestIdentity::clock()
{
    zynsim::ControllerConfig config = configOf(zynsim::Profile::Enclosure);
    config.capabilities = zynconst::kCapUtcClock;
    QCOMPARE(start(config), QString());
    const QDateTime before = QDateTime::currentDateTime();
    QCOMPARE(session().ZynSetTime(0), 0u);
    Bytes p = lastPayload(ctl(), 0x1D);
    QCOMPARE(p.size(), size_t(15));
    QCOMPARE(int(p[0]), 8);
    QCOMPARE(slice(p, 1, 8), textBytes(zynconst::kAccessString8, 8));
    const QDateTime sent(QDate(2000 + p[9], p[10], p[11]), QTime(p[12], p[13], p[14]));
    QVERIFY(qAbs(sent.secsTo(before)) <= 2);

    QCOMPARE(session().ZynSetTime(1), 0u);
    p = lastPayload(ctl(), 0x1D);
    QCOMPARE(p.size(), size_t(17));
    QCOMPARE(slice(p, 15, 2), (Bytes{0x55, 0xAA}));
    const QDateTime utc(QDate(2000 + p[9], p[10], p[11]), QTime(p[12], p[13], p[14]), Qt::UTC);
    QVERIFY(qAbs(utc.secsTo(QDateTime::currentDateTimeUtc())) <= 2);
    m_rig.stop();

    config.capabilities = 0;
    QCOMPARE(start(config), QString());
    ctl().clearLog();
    QCOMPARE(session().ZynSetTime(1), 6u);
    QCOMPARE(ctl().framesReceived(0x1D), 0);
}

void TestIdentity::logo()
{
    QCOMPARE(start(configOf(zynsim::Profile::Older)), QString());
    std::vector<char> image(7999, 'L');
    ctl().clearLog();
    QCOMPARE(session().ZynSetLogo(image.data(), 7999), 6u);
    QCOMPARE(session().ZynSetLogo(image.data(), -1), 6u);
    QCOMPARE(ctl().framesReceived(0x18), 0);

    for (size_t i = 0; i < image.size(); ++i)
        image[i] = char(i % 251);
    QCOMPARE(session().ZynSetLogo(image.data(), 7998), 0u);
    auto frames = entries(ctl(), LogEntry::RxFrame, 0x18);
    QCOMPARE(frames.size(), size_t(4));
    Bytes whole;
    for (size_t k = 0; k < frames.size(); ++k) {
        QCOMPARE(frames[k].bytes.size(), size_t(2005));
        QCOMPARE(int(frames[k].bytes[0]), int(k));
        QCOMPARE(slice(frames[k].bytes, 1, 4), (Bytes{'U', 0xAA, 0xA5, 'Z'}));
        whole.insert(whole.end(), frames[k].bytes.begin() + 5, frames[k].bytes.end());
    }
    QCOMPARE(int(whole[0] | whole[1] << 8), 7998);
    QVERIFY(std::equal(image.begin(), image.begin() + 7998, whole.begin() + 2,
                       [](char a, uint8_t b) { return uint8_t(a) == b; }));
    QCOMPARE(ctl().logoPage(3), slice(whole, 6000, 2000));

    // Clearing: one short request per page.
    ctl().clearLog();
    QCOMPARE(session().ZynSetLogo(nullptr, 0), 0u);
    frames = entries(ctl(), LogEntry::RxFrame, 0x18);
    QCOMPARE(frames.size(), size_t(4));
    for (const LogEntry& e : frames)
        QCOMPARE(e.bytes, (Bytes{0xFF, 0x55, 0xAA, 0xA5, 0x5A}));

    // The first refusal ends the series.
    ctl().clearLog();
    ctl().script(0x18, 1, Answer::status('A'));
    ctl().script(0x18, 1, Answer::status('G'));
    QCOMPARE(session().ZynSetLogo(image.data(), 100), u32('G'));
    QCOMPARE(ctl().framesReceived(0x18), 2);
    m_rig.stop();

    // The enclosure family has 32 pages.
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure)), QString());
    std::vector<char> big(32 * 2000 - 2, 'B');
    ctl().clearLog();
    QCOMPARE(session().ZynSetLogo(big.data(), int(big.size())), 0u);
    QCOMPARE(ctl().framesReceived(0x18), 32);
}

void TestIdentity::resetCountsAsSuccess()
{
    zynsim::ControllerConfig config = configOf(zynsim::Profile::Enclosure);
    config.resetSilenceMs = 300;
    QCOMPARE(start(config), QString());
    QCOMPARE(session().ZynResetController(), 0u);
    // The controller is away for a while, then back.
    sSYSTEM_INFO info;
    QCOMPARE(session().ZynGetSysInfo(&info), 20u);
    QTRY_VERIFY_WITH_TIMEOUT(!ctl().restarting(), 10000);
    QCOMPARE(session().ZynGetSysInfo(&info), 0u);
}

void TestIdentity::firmwareFromBuffer()
{
    QCOMPARE(start(), QString());
    std::vector<char> image(1025);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = char(i * 13);
    ctl().clearLog();
    QCOMPARE(session().ZynUpdateFirmware(nullptr, 10), 6u);
    QCOMPARE(session().ZynUpdateFirmware(image.data(), 0), 6u);
    QCOMPARE(session().ZynUpdateFirmware(image.data(), -5), 6u);
    // Beyond 15 bits of block numbers: refused before anything is read or sent.
    QCOMPARE(session().ZynUpdateFirmware(image.data(), CZynlib::kMaxFirmwareBlocks * 512 + 1), 6u);
    QCOMPARE(ctl().framesReceived(0x1F), 0);

    QCOMPARE(session().ZynUpdateFirmware(image.data(), 1025), 0u);
    auto frames = entries(ctl(), LogEntry::RxFrame, 0x1F);
    QCOMPARE(frames.size(), size_t(3));
    const size_t sizes[3] = {512, 512, 1};
    for (int b = 0; b < 3; ++b) {
        const Bytes& p = frames[size_t(b)].bytes;
        QCOMPARE(p.size(), sizes[b] + 14);
        QCOMPARE(int(p[0]), 8);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(p.data()) + 1, 8), QByteArray("PlUmEvOr"));
        QCOMPARE(int(p[9]), 0);
        QCOMPARE(int(p[11]), b);
        QCOMPARE(int(p[12]), b == 2 ? 0x80 : 0);
        QCOMPARE(int(p.back()), 0);
    }
    QCOMPARE(ctl().firmwareImage(), Bytes(image.begin(), image.end()));

    // The controller's verdict at the last block is the result.
    ctl().setFirmwareVerdict('P');
    QCOMPARE(session().ZynUpdateFirmware(image.data(), 1025), u32('P'));
}

void TestIdentity::firmwareFromFile()
{
    QCOMPARE(start(), QString());
    QTemporaryDir dir;
    const QString path = dir.path() + "/image.bin";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray content(1025, 0);
    for (int i = 0; i < content.size(); ++i)
        content[i] = char(i * 7);
    file.write(content);
    file.close();

    QByteArray name = path.toLocal8Bit();
    QCOMPARE(session().ZynUpdateFirmware(name.data()), 0u);
    QCOMPARE(ctl().framesReceived(0x1F), 3);
    QCOMPARE(ctl().firmwareImage(), Bytes(content.begin(), content.end()));

    QByteArray missing = (dir.path() + "/missing.bin").toLocal8Bit();
    QCOMPARE(session().ZynUpdateFirmware(missing.data()), 7u);
    QByteArray folder = dir.path().toLocal8Bit();
    QCOMPARE(session().ZynUpdateFirmware(folder.data()), 7u);
    char empty[] = "";
    QCOMPARE(session().ZynUpdateFirmware(empty), 6u);
    QByteArray longPath(512, 'x');
    QCOMPARE(session().ZynUpdateFirmware(longPath.data()), 6u);
    // Too large for the block numbers: refused before the file is read.
    const QString hugePath = dir.path() + "/huge.bin";
    QFile huge(hugePath);
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(qint64(CZynlib::kMaxFirmwareBlocks) * 512 + 1));
    huge.close();
    QByteArray hugeName = hugePath.toLocal8Bit();
    ctl().clearLog();
    QCOMPARE(session().ZynUpdateFirmware(hugeName.data()), 6u);
    QCOMPARE(ctl().framesReceived(0x1F), 0);
    m_rig.stop();

    // Too old a firmware takes no updates from a file.
    zynsim::ControllerConfig old = configOf(zynsim::Profile::Enclosure);
    old.firmware = "V1.42 2010-05-17";
    QCOMPARE(start(old), QString());
    QCOMPARE(session().ZynUpdateFirmware(name.data()), 72u);
}

void TestIdentity::unitSerialAndPassword()
{
    zynsim::ControllerConfig config = configOf(zynsim::Profile::Enclosure, 1);
    config.capabilities = zynconst::kCapUnitSerialCommand;
    QCOMPARE(start(config), QString());
    char text[] = "UNIT-0042";
    QCOMPARE(session().ZynSetUnitSerial(text, 9), 0u);
    Bytes p = lastPayload(ctl(), 0xEF);
    QCOMPARE(p.size(), size_t(33));
    QCOMPARE(int(p[0]), 15);
    QCOMPARE(slice(p, 1, 16), textBytes(zynconst::kAccessString16, 16));
    QCOMPARE(slice(p, 17, 16), textBytes(text, 16));
    QCOMPARE(session().ZynSetUnitSerial(text, 0), 6u);
    QCOMPARE(session().ZynSetUnitSerial(text, 17), 6u);
    QCOMPARE(session().ZynSetEnclosureUnitSerialNumber(text, 9), 0u);
    m_rig.stop();

    // Without the command the serial is a setup field.
    config.capabilities = 0;
    QCOMPARE(start(config), QString());
    ctl().clearLog();
    QCOMPARE(session().ZynSetUnitSerial(text, 9), 0u);
    QCOMPARE(ctl().framesReceived(0xEF), 0);
    QCOMPARE(fieldBytes(76), textBytes(text, 16));
    char out[16];
    QCOMPARE(session().ZynGetUnitSerial(out, 15), 6u);
    QCOMPARE(session().ZynGetUnitSerial(out, 16), 0u);
    QCOMPARE(QByteArray(out, 9), QByteArray(text));

    // The stored password: its length byte is the controller's and is not trusted past 15.
    char password[32];
    QCOMPARE(session().ZynGetPassword(password, sizeof password), 0u);
    QCOMPARE(QByteArray(password), QByteArray("0000"));
    QCOMPARE(session().ZynGetPassword(password, 3), 6u);
    QCOMPARE(session().ZynGetPassword(nullptr, 10), 6u);
    Bytes image = ctl().setupImage();
    image[size_t(field(20).offset)] = 16;
    QVERIFY(ctl().setSetupImage(image));
    QCOMPARE(session().ZynGetPassword(password, sizeof password), 6u);
}

void TestIdentity::lcdTitleAndRtc()
{
    QCOMPARE(start(), QString());
    QCOMPARE(session().ZynSetLCDTitleToIPAddress(1), 0u);
    Bytes p = lastPayload(ctl(), 0x1F);
    QCOMPARE(p.size(), size_t(525));
    QCOMPARE(int(p[9]), 1);
    QCOMPARE(int(p[10]), 0);
    QCOMPARE(int(p[11]), 1);

    unsigned char rtc[16] = {};
    QCOMPARE(session().ZynGetRTCInfo(rtc, 4), 12u);
    QCOMPARE(session().ZynGetRTCInfo(nullptr, 16), 6u);
    QCOMPARE(session().ZynGetRTCInfo(rtc, sizeof rtc), 0u);
    p = lastPayload(ctl(), 0x1F);
    QCOMPARE(int(p[9]), 7);
    auto bcd = [](uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); };
    QVERIFY(bcd(rtc[0]) < 60);
    QVERIFY(bcd(rtc[1]) < 60);
    QVERIFY(bcd(rtc[5]) >= 1 && bcd(rtc[5]) <= 12);
}

void TestIdentity::mailSettings()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure, 1)), QString());
    char server[] = "192.168.1.25";
    QCOMPARE(session().ZynSetMailSmtpIp(server), 0u);
    QCOMPARE(fieldBytes(42), (Bytes{192, 168, 1, 25}));
    char account[] = "alerts@example.org";
    char secret[] = "s3cret";
    QCOMPARE(session().ZynSetMailSmtpLoginAccount(account, secret), 0u);
    QCOMPARE(fieldBytes(43), textBytes(account, 50));
    QCOMPARE(fieldBytes(71), textBytes(secret, 20));
    // A text that does not fit is refused, and nothing is written.
    const Bytes before = ctl().setupImage();
    std::string fifty(50, 'a');
    std::string twenty(20, 'p');
    QCOMPARE(session().ZynSetMailSmtpLoginAccount(fifty.data(), nullptr), 6u);
    QCOMPARE(session().ZynSetMailSmtpLoginAccount(account, twenty.data()), 6u);
    QCOMPARE(ctl().setupImage(), before);
    QCOMPARE(session().ZynSetMailSmtpLoginAccount(nullptr, nullptr), 0u);

    _MAIL_ADDR address;
    std::memset(&address, 0, sizeof address);
    address.setName("Ops");
    address.setAddress("ops@example.org");
    QCOMPARE(session().ZynSetMailAddr(5, &address), 6u);
    QCOMPARE(session().ZynSetMailAddr(0, nullptr), 6u);
    QCOMPARE(session().ZynSetMailAddr(0, &address), 0u);
    QCOMPARE(fieldBytes(66), Bytes(address.bytes, address.bytes + 70));
    QCOMPARE(session().ZynSetMailAddr(4, &address), 0u);
    QCOMPARE(fieldBytes(70), Bytes(address.bytes, address.bytes + 70));

    QCOMPARE(session().ZynSetMailEvtLevel(3, 1), 0u);
    QCOMPARE(fieldBytes(39), Bytes{3});
    const Bytes levels = fieldBytes(99);
    QCOMPARE(session().ZynSetMailEvtLevel(2, 4), 0u);
    QCOMPARE(fieldBytes(99), (Bytes{levels[0], levels[1], 2}));
    QCOMPARE(session().ZynSetMailEvtLevel(5, 1), 6u);
    QCOMPARE(session().ZynSetMailEvtLevel(2, 0), 6u);
    QCOMPARE(session().ZynSetMailNoEvtFor24Hours(7, 1), 0u);
    QCOMPARE(fieldBytes(40), Bytes{1});
    QCOMPARE(session().ZynSetMailNoEvtFor24Hours(0, 2), 0u);
    QCOMPARE(fieldBytes(100)[0], uint8_t(0));
    QCOMPARE(session().ZynSetMailNoEvtFor24Hours(1, 5), 6u);

    _MAIL_CONFIG mail;
    QCOMPARE(session().ZynGetMailInfo(&mail), 0u);
    QCOMPARE(Bytes(mail.bytes, mail.bytes + 4), (Bytes{192, 168, 1, 25}));
    QCOMPARE(mail.address(0).address(), std::string("ops@example.org"));
    QCOMPARE(mail.address(4).name(), std::string("Ops"));
    QCOMPARE(int(mail.bytes[_MAIL_CONFIG::kLevel1]), 3);
    QCOMPARE(int(mail.bytes[_MAIL_CONFIG::kLevels234 + 2]), 2);
    QCOMPARE(int(mail.bytes[_MAIL_CONFIG::kNotice1]), 1);
    QCOMPARE(Bytes(mail.bytes + 432, mail.bytes + 456), Bytes(24, 0));
    QCOMPARE(session().ZynGetMailInfo(nullptr), 6u);
}

void TestIdentity::snmpAndNetworkSettings()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure, 1)), QString());
    char trap[] = "10.1.2.3";
    QCOMPARE(session().ZynSetSnmpTrapIp(2, trap), 0u);
    QCOMPARE(fieldBytes(48), (Bytes{10, 1, 2, 3}));
    QCOMPARE(session().ZynSetSnmpTrapIp(3, trap), 6u);
    QCOMPARE(session().ZynSetSnmpTrapPort(3, 162), 6u);
    QCOMPARE(session().ZynSetSnmpTrapPort(2, 162), 0u);
    QCOMPARE(fieldBytes(51), (Bytes{0xA2, 0x00}));

    char community[] = "ABCDEFGHIJKLMNOPQRST";   // 20 characters: the first 16, no terminator
    QCOMPARE(session().ZynSetSnmpCommunity(community), 0u);
    QCOMPARE(fieldBytes(72), textBytes("ABCDEFGHIJKLMNOP", 16));
    char contact[] = "Storage team";
    char name[] = "array-01";
    char location[] = "Rack 7";
    QCOMPARE(session().ZynSetSnmpContact(contact), 0u);
    QCOMPARE(session().ZynSetSnmpName(name), 0u);
    QCOMPARE(session().ZynSetSnmpLocation(location), 0u);
    QCOMPARE(fieldBytes(73), textBytes(contact, 32));
    QCOMPARE(fieldBytes(75), textBytes(name, 32));
    QCOMPARE(fieldBytes(74), textBytes(location, 32));
    QCOMPARE(session().ZynSetSnmpEvtLevel(5), 6u);
    QCOMPARE(session().ZynSetSnmpEvtLevel(2), 0u);
    QCOMPARE(fieldBytes(52), Bytes{2});

    char ntp[] = "172.16.0.1";
    QCOMPARE(session().ZynSetNtpIp(1, ntp), 0u);
    QCOMPARE(fieldBytes(96), (Bytes{172, 16, 0, 1}));
    QCOMPARE(session().ZynSetNtpIp(2, ntp), 6u);
    char gateway[] = "192.168.1.254";
    QCOMPARE(session().ZynSetGatewayIp(gateway), 0u);
    QCOMPARE(fieldBytes(29), (Bytes{192, 168, 1, 254}));
    char mask[] = "255.255.255.255";   // typed out, it is a valid address
    QCOMPARE(session().ZynSetEthernetMask(mask), 0u);
    QCOMPARE(fieldBytes(17), (Bytes{255, 255, 255, 255}));
}

void TestIdentity::addressTextsAreChecked()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure, 1)), QString());
    const Bytes before = ctl().setupImage();
    ctl().clearLog();
    for (const char* bad : {"192.168.1", "192.168.1.256", "gateway", "", "1.2.3.4.5", " 1.2.3.4"}) {
        std::string text = bad;
        QCOMPARE(session().ZynSetGatewayIp(text.data()), 6u);
        QCOMPARE(session().ZynSetEthernetMask(text.data()), 6u);
        QCOMPARE(session().ZynSetMailSmtpIp(text.data()), 6u);
        QCOMPARE(session().ZynSetSnmpTrapIp(0, text.data()), 6u);
        QCOMPARE(session().ZynSetNtpIp(0, text.data()), 6u);
        QCOMPARE(session().ZynSetDhcpIp(0, text.data()), 6u);
    }
    QCOMPARE(session().ZynSetGatewayIp(nullptr), 6u);
    QCOMPARE(ctl().setupImage(), before);
    QCOMPARE(ctl().framesReceived(0x39), 0);
}

void TestIdentity::settingsNeedANetworkPort()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure, 1)), QString());
    QVERIFY(refreshSysInfo(session(), ctl(), [](Bytes& info) { info[179] = 0; }));
    char ip[] = "10.0.0.1";
    char text[] = "x";
    _MAIL_ADDR address{};
    QCOMPARE(session().ZynSetMailSmtpIp(ip), 72u);
    QCOMPARE(session().ZynSetMailSmtpLoginAccount(text, text), 72u);
    QCOMPARE(session().ZynSetMailAddr(0, &address), 72u);
    QCOMPARE(session().ZynSetMailEvtLevel(2, 0), 72u);   // the port comes before the entry
    QCOMPARE(session().ZynSetMailEvtLevel(5, 1), 6u);    // the level comes first
    QCOMPARE(session().ZynSetSnmpContact(text), 72u);
    QCOMPARE(session().ZynSetSnmpEvtLevel(1), 72u);
    QCOMPARE(session().ZynSetNtpIp(0, ip), 72u);
    QCOMPARE(session().ZynSetGatewayIp(ip), 72u);
    QCOMPARE(session().ZynSetEthernetMask(ip), 72u);
    // These two do not look at the port.
    char community[] = "ops";
    QCOMPARE(session().ZynSetSnmpCommunity(community), 0u);
    QCOMPARE(session().ZynSetSnmpTrapPort(0, 1162), 0u);
}

void TestIdentity::settingReads()
{
    QCOMPARE(start(configOf(zynsim::Profile::Enclosure, 1)), QString());
    char community[] = "ops";
    QCOMPARE(session().ZynSetSnmpCommunity(community), 0u);
    QCOMPARE(session().ZynSetSnmpTrapPort(1, 1162), 0u);
    _SNMP_CONFIG snmp;
    QCOMPARE(session().ZynGetSnmpInfo(&snmp), 0u);
    QCOMPARE(int(snmp.trapPort(1)), 1162);
    QCOMPARE(Bytes(snmp.bytes + 18, snmp.bytes + 34), textBytes("ops", 16));
    QCOMPARE(snmp.eventLevel(), uint32_t(fieldBytes(52)[0]));
    // Board type 8: no SNMP path byte.
    QCOMPARE(int(snmp.bytes[134]), int(' '));
    QCOMPARE(int(snmp.bytes[135]), int(' '));

    QCOMPARE(session().ZynSetTimeZone(40), 0u);
    QCOMPARE(session().ZynSetDayLightSaving(1), 0u);
    char ntp[] = "172.16.0.9";
    QCOMPARE(session().ZynSetNtpIp(0, ntp), 0u);
    _NTP_CONFIG ntpConfig;
    QCOMPARE(session().ZynGetNtpInfo(&ntpConfig), 0u);
    QCOMPARE(Bytes(ntpConfig.bytes, ntpConfig.bytes + 4), (Bytes{172, 16, 0, 9}));
    QCOMPARE(int(ntpConfig.bytes[8]), 40);
    QCOMPARE(int(ntpConfig.bytes[9]), 1);
    QCOMPARE(Bytes(ntpConfig.bytes + 10, ntpConfig.bytes + 12), (Bytes{' ', ' '}));

    // A failing field keeps its spaces and is the result, even though later reads succeed.
    QCOMPARE(session().DetermineTableNumber(), 1);
    ctl().script(0x1F, 6, Answer::model());
    ctl().script(0x1F, 1, Answer::status('O'));   // field 72
    QCOMPARE(session().ZynGetSnmpInfo(&snmp), u32('O'));
    QCOMPARE(Bytes(snmp.bytes + 18, snmp.bytes + 34), Bytes(16, ' '));
    QCOMPARE(int(snmp.trapPort(1)), 1162);
}

namespace {
// An HTTP request of exactly `total` bytes that posts a body for the page to echo.
QByteArray echoRequest(int total)
{
    QByteArray head = "POST /echo HTTP/1.1\r\nHost: controller\r\nContent-Length: 0000\r\n\r\n";
    const int bodyLength = total - head.size();
    head.replace("0000", QByteArray::number(bodyLength).rightJustified(4, '0'));
    QByteArray body;
    for (int i = 0; i < bodyLength; ++i)
        body.append(char('a' + i % 26));
    return head + body;
}
} // namespace

void TestIdentity::httpPassThrough_data()
{
    QTest::addColumn<bool>("driver");
    QTest::newRow("udp") << false;
    QTest::newRow("user client") << true;
}

void TestIdentity::httpPassThrough()
{
    QFETCH(bool, driver);
    QTemporaryDir dir;
    std::unique_ptr<Session> local;
    zynsim::FakeController* controller = nullptr;
    Session* s = nullptr;
    std::shared_ptr<zynsim::FakeController> driverController;
    zynsim::Simulator driverSim;
    if (driver) {
        qputenv("ZYNMSR_DRIVER_DIR", QFile::encodeName(dir.path() + "/driver"));
        qputenv("ZYNMSR_LOCK_DIR", QFile::encodeName(dir.path() + "/lock"));
        driverController = driverSim.addDriverController((dir.path() + "/driver").toStdString(), 0, zynsim::ControllerConfig());
        QVERIFY(driverController);
        u32 rc = 0;
        local = userClientSession(0, &rc);
        QCOMPARE(rc, 0u);
        controller = driverController.get();
        s = local.get();
    } else {
        QCOMPARE(start(), QString());
        controller = &ctl();
        s = &session();
    }
    const int mtu = driver ? 1031 : 1400;
    std::vector<char> reply(196602);
    int replyLength = 0;

    // 1500 bytes: two pieces, the second frame at one MTU, 483 bytes after it.
    QByteArray request = echoRequest(1500);
    controller->clearLog();
    QCOMPARE(s->ZynHttp(request.data(), request.size(), reply.data(), &replyLength), 0u);
    QCOMPARE(chunkSizes(*controller, LogEntry::RxChunk), (std::vector<int>{mtu, 483}));
    const QByteArray page(reply.data(), replyLength);
    QVERIFY2(page.startsWith("HTTP/1.1 200"), page.left(40).constData());
    QVERIFY(page.endsWith(request.mid(request.indexOf("\r\n\r\n") + 4)));

    // 1024 bytes: one frame of 1031.
    request = echoRequest(1024);
    controller->clearLog();
    QCOMPARE(s->ZynHttp(request.data(), request.size(), reply.data(), &replyLength), 0u);
    QCOMPARE(chunkSizes(*controller, LogEntry::RxChunk), std::vector<int>{1031});

    // A page in the long form arrives whole.
    QByteArray get = "GET /big HTTP/1.1\r\nHost: controller\r\n\r\n";
    QCOMPARE(s->ZynHttp(get.data(), get.size(), reply.data(), &replyLength), 0u);
    QVERIFY(replyLength > 65534);
    const QByteArray big(reply.data(), replyLength);
    QVERIFY(big.startsWith("HTTP/1.1 200"));
    const int bodyAt = big.indexOf("\r\n\r\n") + 4;
    const QByteArray declared = big.mid(big.indexOf("Content-Length: ") + 16, 10);
    QCOMPARE(big.size() - bodyAt, declared.left(declared.indexOf('\r')).toInt());

    QCOMPARE(s->ZynHttp(nullptr, 10, reply.data(), &replyLength), 6u);
    QCOMPARE(s->ZynHttp(get.data(), 0, reply.data(), &replyLength), 6u);
    QCOMPARE(replyLength, 0);
    Session unbound;
    QCOMPARE(unbound.ZynHttp(get.data(), get.size(), reply.data(), &replyLength), 17u);
}

void TestIdentity::oidText()
{
    QCOMPARE(start(), QString());
    long three[] = {1, 3, 6};
    int count = 3;
    QCOMPARE(QByteArray(session().SnmpUtilOidToA(three, &count)), QByteArray("1.3.6"));
    long one[] = {7};
    count = 1;
    QCOMPARE(QByteArray(session().SnmpUtilOidToA(one, &count)), QByteArray("7"));
    long big[] = {1, 4294967295L, 2147483648L};
    count = 3;
    QCOMPARE(QByteArray(session().SnmpUtilOidToA(big, &count)), QByteArray("1.-1.-2147483648"));
    count = 0;
    QVERIFY(session().SnmpUtilOidToA(one, &count) == nullptr);
    QVERIFY(session().SnmpUtilOidToA(nullptr, &count) == nullptr);
    // Longer than the text buffer holds.
    std::vector<long> many(40, 12345);
    count = 40;
    QVERIFY(session().SnmpUtilOidToA(many.data(), &count) == nullptr);
}

void TestIdentity::snmpQueries()
{
    QCOMPARE(start(), QString());
    long sysDescr[] = {1, 3, 6, 1, 2, 1, 1, 1, 0};
    int length = 9;
    long replyOid[CZynlib::kSnmpMaxOid];
    unsigned char type = 0;
    unsigned char* value = nullptr;
    int valueLength = 0;
    QCOMPARE(session().ZynSNMPWithOid(sysDescr, &length, nullptr, replyOid, &type, &value, &valueLength, 1), 0u);
    QCOMPARE(int(type), 4);
    QCOMPARE(length, 9);
    QCOMPARE(std::vector<long>(replyOid, replyOid + 9), std::vector<long>(sysDescr, sysDescr + 9));
    QVERIFY(value != nullptr);
    const QByteArray descr(reinterpret_cast<const char*>(value), valueLength);
    QVERIFY2(descr.startsWith("Varnel"), descr.constData());

    // What went out: SNMPv1, the default community, a GetRequest with request id 1.
    const Bytes sent = lastPayload(ctl(), 0x1E);
    ByteArray bytes(1024);
    QVERIFY(bytes.append(sent.data(), 0, int(sent.size())));
    SNMPTLV outer;
    SNMPBERCodec::extractNextTLV(&bytes, 0, &outer);
    QCOMPARE(int(outer.tag), 0x30);
    SNMPMessage message(outer.value);
    QVERIFY(message.isValid());
    QCOMPARE(message.getVersion(), 0);
    ByteArray community;
    message.getCommunity()->toString(&community);
    QCOMPARE(QByteArray(community.getArray(), community.getLength()), QByteArray(zynconst::kDefaultCommunity));
    QVERIFY(message.getPDU() != nullptr);
    QCOMPARE(int(message.getPDU()->getTag()), 0xA0);
    QCOMPARE(message.getPDU()->getRequestID(), 1);
    // The same bytes through an independent decoder, when one is installed.
    if (QFile::exists("/usr/bin/openssl")) {
        QTemporaryDir dir;
        QFile der(dir.path() + "/get.der");
        QVERIFY(der.open(QIODevice::WriteOnly));
        der.write(reinterpret_cast<const char*>(sent.data()), qint64(sent.size()));
        der.close();
        QProcess openssl;
        openssl.start("/usr/bin/openssl", {"asn1parse", "-inform", "DER", "-in", der.fileName()});
        QVERIFY(openssl.waitForFinished(10000));
        const QString parsed = QString::fromLatin1(openssl.readAllStandardOutput());
        QCOMPARE(openssl.exitCode(), 0);
        QVERIFY2(parsed.contains(QRegularExpression("INTEGER\\s+:00")), qPrintable(parsed));
        QVERIFY2(parsed.contains(QString(":") + zynconst::kDefaultCommunity), qPrintable(parsed));
        QVERIFY2(parsed.contains("cont [ 0 ]"), qPrintable(parsed));
        QVERIFY2(parsed.contains(QRegularExpression("INTEGER\\s+:01")), qPrintable(parsed));
        QVERIFY2(parsed.contains("OBJECT"), qPrintable(parsed));
    }

    // GetNext: the object after sysDescr (sysUpTime, TimeTicks): only the type is reported.
    length = 9;
    value = nullptr;
    valueLength = -1;
    QCOMPARE(session().ZynSNMPWithOid(sysDescr, &length, nullptr, replyOid, &type, &value, &valueLength, 0), 0u);
    const Bytes next = lastPayload(ctl(), 0x1E);
    ByteArray nextBytes(1024);
    QVERIFY(nextBytes.append(next.data(), 0, int(next.size())));
    SNMPBERCodec::extractNextTLV(&nextBytes, 0, &outer);
    SNMPMessage nextMessage(outer.value);
    QVERIFY(nextMessage.getPDU() != nullptr);
    QCOMPARE(int(nextMessage.getPDU()->getTag()), 0xA1);
    QCOMPARE(length, 9);
    QCOMPARE(int(replyOid[7]), 3);
    QCOMPARE(int(type), 0x43);
    QVERIFY(value == nullptr);
    QCOMPARE(valueLength, -1);

    // An INTEGER object.
    long services[] = {1, 3, 6, 1, 2, 1, 1, 7, 0};
    length = 9;
    QCOMPARE(session().ZynSNMPWithOid(services, &length, nullptr, replyOid, &type, &value, &valueLength, 1), 0u);
    QCOMPARE(int(type), 2);
    QCOMPARE(valueLength, 8);
    int64_t number = 0;
    std::memcpy(&number, value, 8);
    QCOMPARE(number, int64_t(72));

    // A community longer than the buffer is cut, not overflowed.
    std::string longCommunity(100, 'c');
    length = 9;
    session().ZynSNMPWithOid(sysDescr, &length, reinterpret_cast<unsigned char*>(longCommunity.data()), replyOid,
                             &type, &value, &valueLength, 1);
    const Bytes cut = lastPayload(ctl(), 0x1E);
    ByteArray cutBytes(1024);
    QVERIFY(cutBytes.append(cut.data(), 0, int(cut.size())));
    SNMPBERCodec::extractNextTLV(&cutBytes, 0, &outer);
    SNMPMessage cutMessage(outer.value);
    ByteArray cutCommunity;
    cutMessage.getCommunity()->toString(&cutCommunity);
    QCOMPARE(cutCommunity.getLength(), CZynlib::kSnmpTextSize - 1);

    // Arguments.
    QCOMPARE(session().ZynSNMPWithOid(nullptr, &length, nullptr, replyOid, &type, &value, &valueLength, 1), 6u);
    QCOMPARE(session().ZynSNMPWithOid(sysDescr, &length, nullptr, replyOid, &type, nullptr, &valueLength, 1), 6u);
    std::vector<long> many(40, 12345);
    length = 40;
    QCOMPARE(session().ZynSNMPWithOid(many.data(), &length, nullptr, replyOid, &type, &value, &valueLength, 1), 6u);
    char request[4] = {1, 2, 3, 4};
    char small[8];
    int got = 0;
    QCOMPARE(session().ZynSNMP(nullptr, 4, small, &got), 6u);
    QCOMPARE(session().ZynSNMP(request, 0, small, &got), 6u);
}

void TestIdentity::snmpAnswersThatTellNothing()
{
    QCOMPARE(start(), QString());
    auto answerWith = [this](int requestId, int errorStatus, SNMPObject* value, int oidComponents = 9) {
        std::string dotted = "1.3.6.1.2.1.1.1";
        for (int i = 8; i < oidComponents; ++i)
            dotted += ".0";
        auto* list = new SNMPSequence();
        list->addSNMPObject(new SNMPVariablePair(new SNMPObjectIdentifier(dotted.c_str()), value));
        SNMPMessage reply(0, "kestro", new SNMPPDU(0xA2, requestId, errorStatus, 0, list));
        ByteArray bytes(2048);
        QVERIFY(reply.getBEREncoding(&bytes));
        ctl().script(0x1E, 1, Answer::data(Bytes(bytes.getArray(), bytes.getArray() + bytes.getLength())));
    };
    long oid[] = {1, 3, 6, 1, 2, 1, 1, 1, 0};
    long replyOid[CZynlib::kSnmpMaxOid] = {};
    unsigned char type = 0x77;
    unsigned char* value = nullptr;
    int valueLength = -1;
    int length = 9;

    answerWith(2, 0, new SNMPOctetString("other"));
    QCOMPARE(session().ZynSNMPWithOid(oid, &length, nullptr, replyOid, &type, &value, &valueLength, 1), 0u);
    QCOMPARE(int(type), 0x77);
    answerWith(1, 2, new SNMPOctetString("error"));
    QCOMPARE(session().ZynSNMPWithOid(oid, &length, nullptr, replyOid, &type, &value, &valueLength, 1), 0u);
    QCOMPARE(int(type), 0x77);
    QCOMPARE(length, 9);

    // Malformed answers: no outputs, 2.
    ctl().script(0x1E, 1, Answer::data({0x30, 0x82, 0x10, 0x00, 0x02}));
    QCOMPARE(session().ZynSNMPWithOid(oid, &length, nullptr, replyOid, &type, &value, &valueLength, 1), 2u);
    auto* empty = new SNMPSequence();
    SNMPMessage noBindings(0, "kestro", new SNMPPDU(0xA2, 1, 0, 0, empty));
    ByteArray bytes(512);
    QVERIFY(noBindings.getBEREncoding(&bytes));
    ctl().script(0x1E, 1, Answer::data(Bytes(bytes.getArray(), bytes.getArray() + bytes.getLength())));
    QCOMPARE(session().ZynSNMPWithOid(oid, &length, nullptr, replyOid, &type, &value, &valueLength, 1), 2u);
    // An identifier with more components than the caller's buffer holds.
    answerWith(1, 0, new SNMPInteger(int64_t(5)), CZynlib::kSnmpMaxOid + 10);
    QCOMPARE(session().ZynSNMPWithOid(oid, &length, nullptr, replyOid, &type, &value, &valueLength, 1), 2u);
    QCOMPARE(int(type), 0x77);
    QCOMPARE(length, 9);

    // A reply longer than the query's area.
    ctl().script(0x1E, 1, Answer::data(Bytes(1500, 0x30)));
    QCOMPARE(session().ZynSNMPWithOid(oid, &length, nullptr, replyOid, &type, &value, &valueLength, 1), 12u);
}

QTEST_GUILESS_MAIN(TestIdentity)
#include "test_identity.moc"
