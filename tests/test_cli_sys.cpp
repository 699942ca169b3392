// The sys, adsys and hddpwr commands through the zyncli harness against the simulator: every
// setting written as exactly its byte at its field's place on the four setup layouts, refused
// numbers sending nothing, the help pages byte for byte per family, the information blocks, the
// identity limits, the JBOD guard, the beeper, and firmware images sent whole or not at all.
#include "clifixture.h"
#include "simfixture.h"

#include "cli/cli-words.h"
#include "setuptable.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

using namespace simtest;

namespace {

#include "sys_help_pages.inc"

const char* const kEnc = "127.0.1.10";     // enclosure family, setup layout 3
const char* const kOld = "127.0.1.11";     // older family, layout 0
const char* const kLay1 = "127.0.1.12";    // enclosure family, layout 1
const char* const kLay2 = "127.0.1.13";    // enclosure family, layout 2
const char* const kSata = "127.0.1.14";    // reports family 2, layout 0
const char* const kPlain = "127.0.1.15";   // reports family 0, firmware V1.43, no network port
const char* const kSimPassword = "0000";

const QByteArray kOk = "GuiErrMsg<0x00>: Success.\n";
const QByteArray kWrong = "GuiErrMsg<0x06>: The Wrong Parameter(s).\n";
const QByteArray kNoFile = "GuiErrMsg<0x07>: Failed To Open File.\n";
const QByteArray kUnsupported = "GuiErrMsg<0x48>: Unsupported Command.\n";
const QByteArray kInvalid = "ErrMsg: Invalid Parameter.\n";
const QByteArray kSysHint = "ErrMsg: Invalid Parameter. Use \"sys -h\" For Details\n";
const QByteArray kAdsysHint = "ErrMsg: Invalid Parameter. Use \"adsys -h\" For Details\n";
const QByteArray kHddPwrHint = "ErrMsg: Invalid Parameter. Use \"hddpwr -h\" For Details\n";

using clitest::rule;

QByteArray harness(const char* address, const QByteArray& input, QString* error)
{
    const clitest::HarnessRun run = clitest::runZyncli(address, input, kSimPassword);
    *error = run.error;
    return run.out;
}

// What the console shows for a run of lines, each answer after its "\r\n".
QByteArray answers(const QByteArrayList& outputs)
{
    QByteArray all;
    for (const QByteArray& o : outputs)
        all += "\r\n" + o;
    return all;
}

QByteArray pageText(const char* const* entries, int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QByteArray(entries[i]).replace("%%", "%");
    return text;
}
#define PAGE(group) pageText(group, int(sizeof group / sizeof group[0]))

QByteArray page(const char* family, const QByteArray& entries)
{
    return "\nSub-Command & Parameters Of [ " + QByteArray(family) + " ]\nSub-Command Description\n" + rule(79) + entries
           + rule(79);
}

QByteArray sysPage(int family)
{
    QByteArray entries = PAGE(kSysAlways);
    if (family == 3)
        entries += PAGE(kSysEnclosure);
    else if (family == 2)
        entries += PAGE(kSysSata);
    return page("sys", entries + PAGE(kSysSettings) + PAGE(kSysTail));
}

QByteArray adsysPage(int family)
{
    return page("adsys", (family == 2 ? PAGE(kAdsysSata) : QByteArray()) + PAGE(kAdsys));
}

const CFieldInfo* fieldOf(const zynsim::FakeController& ctl, int id)
{
    const CFieldInfo* f = gettablefieldinfo(uint8_t(ctl.setupLayout()), uint32_t(id));
    return f != nullptr && f->exists() ? f : nullptr;
}

// Sets one-byte fields in the controller's setup image; false when a field is not in its layout.
bool setFields(zynsim::FakeController& ctl, const std::vector<std::pair<int, int>>& fields)
{
    Bytes image = ctl.setupImage();
    for (const auto& f : fields) {
        const CFieldInfo* info = fieldOf(ctl, f.first);
        if (info == nullptr)
            return false;
        image[size_t(info->offset)] = uint8_t(f.second);
    }
    return ctl.setSetupImage(image);
}

// Setup writes (0x1F operations 'A' and 'B') the controller received.
int setupWrites(const zynsim::FakeController& ctl)
{
    int n = 0;
    for (const LogEntry& e : entries(ctl, LogEntry::RxFrame, 0x1F))
        if (e.bytes.size() > 9 && (e.bytes[9] == SetupOpWrite || e.bytes[9] == SetupOpWriteShort))
            ++n;
    return n;
}

int firmwareBlocks(const zynsim::FakeController& ctl)
{
    int n = 0;
    for (const LogEntry& e : entries(ctl, LogEntry::RxFrame, 0x1F))
        if (e.bytes.size() > 9 && e.bytes[9] == SetupOpFirmwareBlock)
            ++n;
    return n;
}

// The one-byte settings: the line, the setup field it writes and the largest value taken.
struct Setting {
    const char* line;
    int field;
    int max;
};
const Setting kSettings[] = {
    {"sys diskcache", 41, 2},           {"sys hddreadahead", 79, 2},      {"sys truncation", 54, 2},
    {"sys smartpoll", 61, 1},           {"sys autoact", 82, 1},           {"sys hddled", 83, 1},
    {"sys cpufan", 63, 1},              {"sys ncq", 85, 1},               {"sys volreadahead", 90, 3},
    {"sys hddqdepth", 89, 5},           {"sys setpwrbt", 86, 1},          {"sys ses2support", 98, 1},
    {"sys maxcmdlen", 103, 5},          {"sys writesame", 116, 2},        {"sys hpdforrebuilding", 117, 2},
    {"sys smartop", 109, 2},            {"sys smartpi", 108, 11},         {"adsys tler", 57, 4},
    {"sys timeout", 59, 20},            {"adsys retrycnt", 60, 1},        {"sys bufthre", 58, 3},
    {"adsys readahead", 56, 10},        {"adsys avstreams", 64, 17},      {"sys optavrec", 87, 3},
    {"adsys opthdedit", 88, 4},         {"adsys sasmux", 97, 2},          {"sys bootphy", 101, 2},
    {"adsys readmargin", 104, 30},      {"adsys writemargin", 105, 30},   {"adsys readdiscard", 106, 1},
    {"adsys faildiskiftimeout", 115, 1}, {"hddpwr spoweron", 77, 12},     {"hddpwr tlowpwridle", 91, 6},
    {"hddpwr tlowrpmmode", 92, 6},      {"hddpwr spindown", 84, 9},
};
constexpr int kMaxCommandLengthField = 103;
constexpr uint8_t kControllerBit = 0x80;

} // namespace

class TestCliSys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void wordsAndClock_data();
    void wordsAndClock();
    void settersOnEveryLayout_data();
    void settersOnEveryLayout();
    void settingShapes();
    void helpPages_data();
    void helpPages();
    void informationBlocks_data();
    void informationBlocks();
    void clockAndPowerButton();
    void identity_data();
    void identity();
    void passwordModeBeeper();
    void firmware();

private:
    zynsim::FakeController& ctl(const char* address) { return *m_ctl.at(address); }
    QByteArray run(const char* address, const QByteArray& lines)
    {
        QString error;
        const QByteArray out = harness(address, lines, &error);
        if (!error.isEmpty())
            qWarning("%s", qPrintable(error));
        return out;
    }

    zynsim::Simulator m_sim;
    std::map<std::string, std::shared_ptr<zynsim::FakeController>> m_ctl;
};

void TestCliSys::initTestCase()
{
    auto add = [&](const char* address, zynsim::ControllerConfig config) {
        auto c = m_sim.addUdpController(address, config);
        QVERIFY2(c, m_sim.error().c_str());
        m_ctl[address] = c;
    };
    add(kEnc, configOf(zynsim::Profile::Enclosure));
    add(kOld, configOf(zynsim::Profile::Older));
    zynsim::ControllerConfig lay1 = configOf(zynsim::Profile::Enclosure);
    lay1.setupLayout = 1;
    add(kLay1, lay1);
    zynsim::ControllerConfig lay2 = configOf(zynsim::Profile::Enclosure);
    lay2.setupLayout = 2;
    add(kLay2, lay2);
    zynsim::ControllerConfig sata = configOf(zynsim::Profile::Older);
    sata.family = 2;
    add(kSata, sata);
    zynsim::ControllerConfig plain = configOf(zynsim::Profile::Older);
    plain.family = 0;
    plain.firmware = "V1.43 2020-01-01";
    plain.onBoardNetwork = false;
    plain.capabilities = 0;
    plain.resetSilenceMs = 100;
    add(kPlain, plain);
}

// The words of a byte beyond its list and the clock record's decoding.
void TestCliSys::wordsAndClock_data()
{
    QTest::addColumn<QByteArray>("rtc");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("24-hour") << QByteArray::fromHex("59592300311226") << QByteArray("RTC Time : 2026/12/31 23:59:59");
    QTest::newRow("12-hour PM, tens bit") << QByteArray::fromHex("05077200010100")
                                          << QByteArray("RTC Time : 2000/01/01 12:07:05(PM)");
    QTest::newRow("12-hour AM") << QByteArray::fromHex("00004103091099")
                                << QByteArray("RTC Time : 2099/10/09 01:00:00(AM)");
    QTest::newRow("24-hour, high bits of seconds and hour ignored") << QByteArray::fromHex("80c0b0000a0a0a")
                                                                    << QByteArray("RTC Time : 2010/10/10 30:40:00");
}

void TestCliSys::wordsAndClock()
{
    QFETCH(QByteArray, rtc);
    QFETCH(QByteArray, text);
    unsigned char record[cliwords::kRtcRecordSize] = {};
    std::memcpy(record, rtc.constData(), size_t(rtc.size()));
    QCOMPARE(QByteArray::fromStdString(cliwords::rtcText(record)), text);
    // Every list answers within itself and names a value beyond it.
    QCOMPARE(QByteArray::fromStdString(cliwords::wordOf(cliwords::kTimeout, 20)), QByteArray("0.8 Second"));
    QCOMPARE(QByteArray::fromStdString(cliwords::wordOf(cliwords::kTimeout, 21)), QByteArray("Unknown(21)"));
    QCOMPARE(QByteArray::fromStdString(cliwords::wordOf(cliwords::kPowerButton, 255)), QByteArray("Unknown(255)"));
}

void TestCliSys::settersOnEveryLayout_data()
{
    QTest::addColumn<QByteArray>("address");
    for (const char* a : {kEnc, kOld, kLay1, kLay2})
        QTest::newRow(a) << QByteArray(a);
}

// Each setting at its largest value writes exactly its byte where its layout has the field
// (a layout without it answers "Unsupported Command."); a value above the largest, or above
// one byte, is refused with nothing written.
void TestCliSys::settersOnEveryLayout()
{
    QFETCH(QByteArray, address);
    zynsim::FakeController& c = ctl(address.constData());
    QVERIFY(c.loadConfig("", nullptr));
    const Bytes before = c.setupImage();
    Bytes expected = before;
    QByteArray lines;
    QByteArrayList outputs;
    for (const Setting& s : kSettings) {
        lines += QByteArray(s.line) + " p=" + QByteArray::number(s.max) + "\n";
        const CFieldInfo* f = fieldOf(c, s.field);
        outputs << (f != nullptr ? kOk : kUnsupported);
        if (f == nullptr)
            continue;
        uint8_t value = uint8_t(s.max);
        if (s.field == kMaxCommandLengthField)
            value |= before[size_t(f->offset)] & kControllerBit;
        expected[size_t(f->offset)] = value;
    }
    // The vendor speeds: field 110 + vendor.
    lines += "adsys specifichddspeed vendor=1 speed=3\nadsys specifichddspeed speed=2 vendor=2\n";
    for (const auto& vs : {std::pair<int, int>{111, 3}, {112, 2}}) {
        const CFieldInfo* f = fieldOf(c, vs.first);
        outputs << (f != nullptr ? kOk : kUnsupported);
        if (f != nullptr)
            expected[size_t(f->offset)] = uint8_t(vs.second);
    }
    c.clearLog();
    QCOMPARE(run(address.constData(), lines), answers(outputs));
    QVERIFY(c.setupImage() == expected);

    // Refused: one past the largest, one byte's worth and more; nothing is written.
    lines.clear();
    outputs.clear();
    for (const Setting& s : kSettings) {
        for (int v : {s.max + 1, 256, 257, 258, -1}) {
            lines += QByteArray(s.line) + " p=" + QByteArray::number(v) + "\n";
            outputs << kWrong;
        }
    }
    lines += "adsys specifichddspeed vendor=3 speed=1\nadsys specifichddspeed vendor=1 speed=4\n"
             "adsys specifichddspeed vendor=257 speed=1\nadsys specifichddspeed vendor=1 speed=257\n";
    outputs << kWrong << kWrong << kWrong << kWrong;
    c.clearLog();
    QCOMPARE(run(address.constData(), lines), answers(outputs));
    QCOMPARE(setupWrites(c), 0);
    QVERIFY(c.setupImage() == expected);
}

// The shapes of the settings: word counts, help requests, the family of hint and page, the
// settings that are commands of their own, and the clock.
void TestCliSys::settingShapes()
{
    zynsim::FakeController& c = ctl(kEnc);
    QVERIFY(c.loadConfig("", nullptr));
    const Bytes before = c.setupImage();
    const QByteArray lines = "sys diskcache\n"
                             "sys diskcache p=0 p=1\n"
                             "sys diskcache -HELP\n"
                             "sys diskcache p=x\n"
                             "sys diskcache q=1\n"
                             "sys tler\n"
                             "sys tler -h\n"
                             "adsys readahead -Help\n"
                             "hddpwr spoweron -h\n"
                             "hddpwr spindown\n"
                             "sys changept p=4\n"
                             "sys changept -h\n"
                             "sys changept\n"
                             "sys maxspeed p=1 p=2\n"
                             "adsys specifichddspeed\n"
                             "adsys specifichddspeed -h\n"
                             "adsys specifichddspeed vendor=1\n"
                             "adsys specifichddspeed vendor=1 x=2\n"
                             "adsys specifichddspeed speed=1 x=2\n"
                             "adsys specifichddspeed vendor=1 speed=1 x=2\n";
    c.clearLog();
    QCOMPARE(run(kEnc, lines),
             answers({kSysHint, kInvalid, sysPage(3), kInvalid, kInvalid, kAdsysHint, adsysPage(3), adsysPage(3),
                      page("hddpwr", PAGE(kHddPwr)), kHddPwrHint, kInvalid, kInvalid, kInvalid, kInvalid, kAdsysHint,
                      adsysPage(3), kInvalid, "ErrMsg: Speed Is Missing.\n", "ErrMsg: Vendor Is Missing.\n",
                      kInvalid}));
    QCOMPARE(setupWrites(c), 0);
    QCOMPARE(c.framesReceived(0x34) + c.framesReceived(0x35) + c.framesReceived(0x1D), 0);
    QVERIFY(c.setupImage() == before);

    // changept and maxspeed are commands of their own; synctime sets the clock, 0 local time
    // and any other value UTC, which a controller without that ability refuses.
    QCOMPARE(run(kEnc, "sys changept p=3\nsys maxspeed p=2\nsys synctime p=1\n"), answers({kOk, kOk, kOk}));
    QCOMPARE(int(c.rebuildPriority()), 3);
    QCOMPARE(int(c.maxAtaMode()), 2);
    QVERIFY(c.clockSetting().set && c.clockSetting().utc);
    QCOMPARE(run(kEnc, "sys synctime p=0\n"), answers({kOk}));
    QVERIFY(c.clockSetting().set && !c.clockSetting().utc);
    zynsim::FakeController& plain = ctl(kPlain);
    plain.clearLog();
    QCOMPARE(run(kPlain, "sys synctime p=1\nsys synctime p=256\n"), answers({kWrong, kWrong}));
    QCOMPARE(plain.framesReceived(0x1D), 0);
}

void TestCliSys::helpPages_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<int>("family");
    QTest::newRow("enclosure family") << QByteArray(kEnc) << 3;
    QTest::newRow("older family") << QByteArray(kOld) << 1;
    QTest::newRow("SATA family") << QByteArray(kSata) << 2;
    QTest::newRow("family 0") << QByteArray(kPlain) << 0;
}

// The pages byte for byte, by every road that shows them.
void TestCliSys::helpPages()
{
    QFETCH(QByteArray, address);
    QFETCH(int, family);
    const QByteArray sys = sysPage(family);
    const QByteArray adsys = adsysPage(family);
    const QByteArray hddpwr = page("hddpwr", PAGE(kHddPwr));
    QCOMPARE(run(address.constData(),
                 "sys\nsys -h\nsys ?\nsys serial -help\nsys getpwrbt -H\nadsys -help\nadsys\nhddpwr ?\nhddpwr\n"),
             answers({sys, sys, sys, sys, sys, adsys, adsys, hddpwr, hddpwr}));
}

void TestCliSys::informationBlocks_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<int>("family");
    QTest::newRow("enclosure family") << QByteArray(kEnc) << 3;
    QTest::newRow("SATA family") << QByteArray(kSata) << 2;
    QTest::newRow("family 0") << QByteArray(kPlain) << 0;
}

// sys info, sys showcfg, adsys info and hddpwr info from known setup fields: the family's lines,
// a byte of 255 left out, a byte beyond its list named as unknown.
void TestCliSys::informationBlocks()
{
    QFETCH(QByteArray, address);
    QFETCH(int, family);
    zynsim::FakeController& c = ctl(address.constData());
    QVERIFY(c.loadConfig("", nullptr));

    // System information from the controller's own record.
    const Bytes info = c.systemInfo();
    auto text = [&](int at, int width) {
        const QByteArray raw(reinterpret_cast<const char*>(info.data()) + at, width);
        const int nul = raw.indexOf('\0');
        return nul < 0 ? raw : raw.left(nul);
    };
    QByteArray sysInfo = "The System Information\n" + rule(43)
                         + "Main Processor     : 800MHz\n"
                           "CPU ICache Size    : 32KB\n"
                           "CPU DCache Size    : 32KB\n"
                           "CPU SCache Size    : 256KB\n"
                           "System Memory      : 1024MB/533MHz/ECC\n"
                           "Firmware Version   : " + text(56, 16) + "\n"
                           "BOOT ROM Version   : " + text(72, 16) + "\n"
                           "Serial Number      : " + text(40, 16) + "\n"
                           "Controller Name    : " + text(104, 8) + text(208, 48) + "\n";
    QCOMPARE(text(40, 16).size(), 16);   // a full serial field prints whole and alone
    if (family != 0)
        sysInfo += "Current IP Address : " + address + "\n";
    sysInfo += rule(43) + kOk;

    // Configuration: label, field, value, word, the family it shows on (-1 every family).
    struct Line {
        const char* label;
        int field;
        int value;
        const char* word;
        int family;
    };
    const Line config[] = {
        {"System Beeper Setting           : ", 15, 1, "Enabled", -1},
        {"Background Task Priority        : ", 34, 3, "High(80%)", -1},
        {"JBOD/RAID Configuration         : ", 38, 0, "RAID", -1},
        {"Max SATA Mode Supported         : ", -1, 0, "SATA150", 2},
        {"SATA NCQ Support                : ", 85, 0, "Enabled", 3},
        {"HDD Read Ahead Cache            : ", 79, 1, "Disabled Maxtor", -1},
        {"Volume Data Read Ahead          : ", 90, 2, "Conservative", -1},
        {"HDD Queue Depth                 : ", 89, 5, "32", 3},
        {"HDD SMART Status Polling        : ", 61, 1, "Enabled", 2},
        {"Empty HDD Slot LED              : ", 83, 1, "OFF", -1},
        {"CPU Fan Detection               : ", 63, 0, "Enabled", -1},
        {"SAS Mux Setting                 : ", 97, 9, "Unknown(9)", 3},
        {"SES2 Support                    : ", 98, 1, "Disabled", 3},
        {"Max Command Length              : ", 103, 0x83, "1M", -1},
        {"Auto Activate Incomplete Raid   : ", 82, 0, "Disabled", -1},
        {"Disk Write Cache Mode           : ", 41, 255, "", -1},
        {"Write Same For Initialization   : ", 116, 2, "SATA Only", 3},
        {"Hot Plugged Disk For Rebuilding : ", 117, 1, "Always", 3},
        {"Disk Capacity Truncation Mode   : ", 54, 7, "Unknown(7)", -1},
        {"Smart Option For HDD            : ", 109, 1, "Failed The Drive If Hot Spare Exist ", 3},
        {"Smart Polling Interval          : ", 108, 11, "12 Hours", 3},
    };
    const Line power[] = {
        {"Stagger Power On Control      : ", 77, 12, "6.0", -1},
        {"Time To Hdd Low Power Idle    : ", 91, 255, "", -1},
        {"Time To Hdd Low RPM Mode      : ", 92, 6, "60", -1},
        {"Time To Spin Down Idle HDD    : ", 84, 10, "Unknown(10)", -1},
    };
    const Line advanced[] = {
        {"TLER Setting                 : ", 57, 2, "5 Seconds", -1},
        {"Timeout Setting              : ", 59, 25, "Unknown(25)", -1},
        {"Retry Count Setting          : ", 60, 1, "3 Times", -1},
        {"Buffer Threshold             : ", 58, 0, "75%", -1},
        {"Amount Of Read Ahead         : ", 56, 10, "16MB", -1},
        {"Number Of AV Streams         : ", 64, 17, "256", -1},
        {"Optimize AV Recoding         : ", 87, 3, "Mode3", -1},
        {"PHY Status                   : ", 101, 1, "Enabled", -1},
        {"Read Performance Margin      : ", 104, 30, "30%", -1},
        {"Write Performance Margin     : ", 105, 0, "0%", -1},
        {"Read And Discard Parity Data : ", 106, 1, "Enabled", -1},
        {"Fail Disk If Any Timeout     : ", 115, 0, "Disabled", -1},
        {"Hitachi SATA HDD Speed       : ", 111, 3, "6.0G", -1},
        {"WDC SATA HDD Speed           : ", 110, 1, "1.5G", -1},
        {"Seagate SATA HDD Speed       : ", 112, 4, "Unknown(4)", -1},
    };
    std::vector<std::pair<int, int>> fields;
    auto take = [&](const Line* lines, size_t count) {
        for (size_t i = 0; i < count; ++i)
            if (lines[i].field >= 0 && fieldOf(c, lines[i].field) != nullptr)
                fields.push_back({lines[i].field, lines[i].value});
    };
    take(config, sizeof config / sizeof config[0]);
    take(power, sizeof power / sizeof power[0]);
    take(advanced, sizeof advanced / sizeof advanced[0]);
    QVERIFY(setFields(c, fields));

    // A field its layout lacks reads as 255 (left out) in the configuration, 0 in the advanced block.
    QByteArray showcfg = "The System Configuration\n" + rule(79);
    for (const Line& l : config) {
        if (l.family >= 0 && l.family != family)
            continue;
        if (l.field >= 0 && (l.value == 255 || fieldOf(c, l.field) == nullptr))
            continue;
        showcfg += QByteArray(l.label) + l.word + "\n";
    }
    showcfg += rule(79) + kOk;
    QByteArray hddpwr = "The HDD Power Management Information\n" + rule(53);
    for (const Line& l : power)
        if (l.value != 255 && fieldOf(c, l.field) != nullptr)
            hddpwr += QByteArray(l.label) + l.word + "\n";
    hddpwr += rule(53) + kOk;
    QByteArray adsys = "The Advanced Feature Information\n" + rule(48);
    const QByteArrayList zeroWords = {"Default", "8 Seconds", "2 Times", "75%", "Auto", "6", "Disabled", "Default",
                                      "0%", "0%", "Disabled", "Disabled", "Default", "Default", "Default"};
    for (size_t i = 0; i < sizeof advanced / sizeof advanced[0]; ++i)
        adsys += QByteArray(advanced[i].label)
                 + (fieldOf(c, advanced[i].field) != nullptr ? QByteArray(advanced[i].word) : zeroWords[int(i)]) + "\n";
    adsys += rule(48) + kOk;

    QCOMPARE(run(address.constData(), "sys info extra\nsys showcfg\nhddpwr info\nadsys info\nsys advaninfo\nadsys info x\n"),
             answers({sysInfo, showcfg, hddpwr, adsys, adsys, kAdsysHint}));
}

// The clock line of a running clock, and the power button's word.
void TestCliSys::clockAndPowerButton()
{
    zynsim::FakeController& c = ctl(kOld);
    QVERIFY(c.loadConfig("", nullptr));
    const QByteArray out = run(kOld, "sys getrtctime\n");
    QVERIFY2(QRegularExpression(QStringLiteral("^\r\nMessage: RTC Time : 20\\d\\d/[01]\\d/[0-3]\\d [0-2]\\d:[0-5]\\d:[0-5]\\d\n"
                                               "GuiErrMsg<0x00>: Success.\n$"))
                 .match(QString::fromLatin1(out))
                 .hasMatch(),
             out.constData());
    for (const auto& pw : {std::pair<int, const char*>{0, "On"}, {1, "Off"}, {7, "Unknown(7)"}}) {
        QVERIFY(setFields(c, {{86, pw.first}}));
        QCOMPARE(run(kOld, "sys getpwrbt\n"), answers({"Message: Power Button State = " + QByteArray(pw.second) + "\n"}));
    }
}

void TestCliSys::identity_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("command");   // the command the line sends, if any
    QTest::addColumn<QByteArray>("stored");
    const QByteArray v40(40, 'V');
    const QByteArray s16 = "S234567890ABCDEF";
    QTest::newRow("vendor 40") << "sys vendorname p=" + v40 << kOk << 0x11 << v40;
    QTest::newRow("vendor 41") << "sys vendorname p=" + v40 + "W"
                               << QByteArray("ErrMsg: Vendor Name Should Be <= 40 chars.\n") << 0x11 << QByteArray();
    QTest::newRow("vendor missing") << QByteArray("sys vendorname x=1") << kInvalid << 0x11 << QByteArray();
    QTest::newRow("vendor among other words") << QByteArray("sys vendorname a p=Acme b") << kOk << 0x11 << QByteArray("Acme");
    QTest::newRow("model 8") << QByteArray("sys modelname p=ARC-1234") << kOk << 0x12 << QByteArray("ARC-1234");
    QTest::newRow("model 9") << QByteArray("sys modelname p=ARC-12345")
                             << QByteArray("ErrMsg: Model(Controller) Name Should Be <= 8 chars.\n") << 0x12 << QByteArray();
    QTest::newRow("serial 16") << "sys serial p=" + s16 << kOk << 0x10 << s16;
    QTest::newRow("serial 17") << "sys serial p=" + s16 + "X"
                               << QByteArray("ErrMsg: Serial Number Should Be <= 16 chars.\n") << 0x10 << QByteArray();
    QTest::newRow("serial alone") << QByteArray("sys serial") << kSysHint << 0x10 << QByteArray();
    QTest::newRow("serial two words") << "sys serial p=" + s16 + " x" << kInvalid << 0x10 << QByteArray();
    QTest::newRow("serial without p") << QByteArray("sys serial q=1") << kInvalid << 0x10 << QByteArray();
    QTest::newRow("unit serial 16") << "sys unitserial p=" + s16 << kOk << 0xEF << s16;
    QTest::newRow("unit serial 17") << "sys unitserial p=" + s16 + "X"
                                    << QByteArray("ErrMsg: Unit Serial Number Should Be <= 16 chars.\n") << 0xEF
                                    << QByteArray();
    QTest::newRow("unit serial alone") << QByteArray("sys unitserial") << kSysHint << 0xEF << QByteArray();
}

// The identity texts: within their limits sent and stored, beyond them nothing sent.
void TestCliSys::identity()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, output);
    QFETCH(int, command);
    QFETCH(QByteArray, stored);
    zynsim::FakeController& c = ctl(kLay2);
    c.clearLog();
    QCOMPARE(run(kLay2, line + "\n"), answers({output}));
    QCOMPARE(c.framesReceived(uint8_t(command)), stored.isEmpty() ? 0 : 1);
    if (stored.isEmpty())
        return;
    const Bytes info = c.systemInfo();
    const char* raw = reinterpret_cast<const char*>(info.data());
    switch (command) {
    case 0x11:
        QCOMPARE(QByteArray(raw, 40).left(stored.size()), stored);
        break;
    case 0x12:
        QCOMPARE(QByteArray(raw + 104, 8), stored);
        break;
    case 0x10:
        QCOMPARE(QByteArray::fromStdString(c.serial()), stored);
        break;
    default:
        QCOMPARE(QByteArray::fromStdString(c.unitSerial()), stored);
    }
}

// Password, logout and restart; the host mode and its JBOD guard; the beeper's three choices.
void TestCliSys::passwordModeBeeper()
{
    zynsim::FakeController& c = ctl(kEnc);
    std::string why;
    QVERIFY2(c.loadConfig("enclosure 0 slots 8\ndisk 0 0 capacity 1953125000\ndisk 0 1 capacity 1953125000\n"
                          "raidset 3 \"R3\" disks 0:0 0:1\n",
                          &why),
             why.c_str());
    c.clearLog();
    const int mutes = c.beeperMutes();
    QCOMPARE(run(kEnc, "sys mode p=1\nsys mode p=2\nsys mode\nsys mode p=0 p=1\nsys changepwd p=abc123\n"
                       "sys changepwd p=bad!\nsys changepwd\nsys changepwd p=a b\nsys beeper p=1\nsys beeper p=0\n"
                       "sys beeper p=3\nsys beeper\nsys changepwd p=" + QByteArray(kSimPassword) + "\nsys logout\n"),
             answers({"ErrMsg: All RaidSet Must Be Deleted In Order To Be Configured As JBOD\n", kInvalid, kInvalid,
                      kInvalid, kOk, kWrong, kInvalid, kInvalid, kOk, kOk, kInvalid, kInvalid, kOk, kOk}));
    QCOMPARE(c.framesReceived(0x33), 0);
    // The new password travelled as its length and text; the old one is back for the next runs.
    QByteArrayList passwords;
    for (const Bytes& p : simtest::payloads(c, 0x32))
        passwords << clitest::hex(p);
    QCOMPARE(passwords, QByteArrayList({"06" + QByteArray("abc123").toHex() + QByteArray(9 * 2, '0'),
                                        "04" + QByteArray(kSimPassword).toHex() + QByteArray(11 * 2, '0')}));
    QCOMPARE(c.password(), std::string(kSimPassword));
    QCOMPARE(int(c.beeper()), 0);
    QCOMPARE(c.beeperMutes(), mutes + 1);

    QVERIFY(c.loadConfig("", nullptr));
    QCOMPARE(run(kEnc, "sys mode p=1\n"), answers({kOk}));
    QCOMPARE(int(c.hostMode()), 1);
    QCOMPARE(run(kEnc, "sys mode p=0\nsys beeper p=2\n"), answers({kOk, kOk}));
    QCOMPARE(int(c.hostMode()), 0);
    QCOMPARE(int(c.beeper()), 1);

    zynsim::FakeController& plain = ctl(kPlain);
    plain.clearLog();
    QCOMPARE(run(kPlain, "sys restartctrl\n"), answers({kOk}));
    QCOMPARE(plain.framesReceived(0x36), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!plain.restarting(), 10000);
}

// Firmware: the blocks carry the file exactly; every file that cannot be read whole, and a
// controller whose firmware takes no update from here, sends nothing.
void TestCliSys::firmware()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto make = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return QByteArray();
        return f.fileName().toLocal8Bit();
    };
    QByteArray image;
    for (int i = 0; i < 1300; ++i)
        image += char((i * 7 + 3) & 0xFF);
    const QByteArray good = make("fw.bin", image);
    const QByteArray empty = make("empty.bin", QByteArray());
    const QByteArray big = make("big.bin", QByteArray());
    QVERIFY(!good.isEmpty() && !empty.isEmpty() && !big.isEmpty());
    {
        QFile f(QString::fromLocal8Bit(big));
        QVERIFY(f.resize(qint64(CZynlib::kMaxFirmwareBlocks) * CZynlib::kFirmwareBlockSize + 1));
    }
    // A regular file whose size promises more than a read gives (a kernel attribute file).
    QByteArray shortRead;
    for (const char* candidate : {"/sys/kernel/mm/transparent_hugepage/enabled", "/sys/devices/system/cpu/online",
                                  "/sys/kernel/profiling"}) {
        struct stat st{};
        QFile f(QString::fromLatin1(candidate));
        if (stat(candidate, &st) == 0 && S_ISREG(st.st_mode) && f.open(QIODevice::ReadOnly)
            && f.readAll().size() < st.st_size) {
            shortRead = candidate;
            break;
        }
    }

    zynsim::FakeController& c = ctl(kOld);
    c.clearLog();
    const int updates = c.firmwareUpdates();
    QCOMPARE(run(kOld, "sys updatefw path=" + good + "\n"),
             answers({"Message: Updating...Please Wait, It May Take Few Minutes\n"
                      "Message: Please Restart Controller To Take Effect\n" + kOk}));
    QCOMPARE(c.firmwareUpdates(), updates + 1);
    const Bytes taken = c.firmwareImage();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(taken.data()), int(taken.size())), image);
    QCOMPARE(firmwareBlocks(c), 3);

    c.clearLog();
    QByteArray lines = "sys updatefw path=" + dir.path().toLocal8Bit() + "\nsys updatefw path=" + empty
                       + "\nsys updatefw path=" + big + "\nsys updatefw path=" + good + ".missing\nsys updatefw\n"
                       + "sys updatefw file=" + good + "\n";
    QByteArrayList outputs = {kNoFile, kWrong, kNoFile, kNoFile, kInvalid, kInvalid};
    if (!shortRead.isEmpty()) {
        lines += "sys updatefw path=" + shortRead + "\n";
        outputs << kNoFile;
    } else {
        qWarning("no kernel attribute file to read short");
    }
    QCOMPARE(run(kOld, lines), answers(outputs));
    QCOMPARE(firmwareBlocks(c), 0);
    QCOMPARE(c.firmwareUpdates(), updates + 1);

    zynsim::FakeController& plain = ctl(kPlain);
    plain.clearLog();
    QCOMPARE(run(kPlain, "sys updatefw path=" + good + "\n"),
             answers({"ErrMsg: The Current Version Of Firmware Do Not Support This Function.\n"
                      "ErrMsg: Please Update Firmware Using Web-Based Manager\n"}));
    QCOMPARE(firmwareBlocks(plain), 0);
}

QTEST_GUILESS_MAIN(TestCliSys)
#include "test_cli_sys.moc"
