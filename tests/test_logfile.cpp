// Configuration reports against the simulator: the text of every section for known
// configurations of both families and the other hardware-monitor forms, the numbering of the
// files, and the event log read beside the polling thread's bookkeeping.
#include "filesizelimit.h"
#include "controllerfixture.h"
#include "devices/event.h"
#include "helper/logfile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace ctltest;

namespace {

// 2026-12-09 10:00:00 UTC: the time stamp of every event the configurations raise.
constexpr int64_t kClock = 1796810400;
const char* const kStamp = "2026-12-09 10:00:00 ";

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// The parts of a report between its "\r\n\r\n" separators (sections, and each disk).
QList<QByteArray> sectionsOf(const QString& path)
{
    QList<QByteArray> out;
    for (const QString& part : QString::fromLatin1(readAll(path)).split(QStringLiteral("\r\n\r\n")))
        out << part.toLatin1();
    return out;
}

QByteArray rule(int width)
{
    return QByteArray(width, '=') + '\n';
}

// One event line of the report.
QByteArray eventLine(const char* device, const char* event, const char* elapsed = "", const char* errors = "")
{
    return QByteArray(kStamp) + ' ' + QByteArray(device).leftJustified(16) + ' ' + QByteArray(event).leftJustified(21)
         + ' ' + QByteArray(elapsed).leftJustified(12) + ' ' + QByteArray(errors).leftJustified(6) + '\n';
}

QByteArray diskLine(const char* label, const QByteArray& value)
{
    return QByteArray(label).leftJustified(35) + ": " + value + '\n';
}

// After the report's third exchange its controller stops (a frame unanswered) and another answers.
zynsim::FakeController* g_replaced = nullptr;
int g_exchanges = 0;
void replaceAfterThree(void*)
{
    if (++g_exchanges == 3 && g_replaced != nullptr) {
        g_replaced->scriptAll(1, zynsim::Answer::silence());
        ctltest::answerAsAnother(*g_replaced, "Y000000000000993");
    }
}

} // namespace

class TestLogFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void olderFamilyReport();
    void enclosureFamilyReport();
    void otherMonitorForms_data();
    void otherMonitorForms();
    void triggeringEventAndNoAddress();
    void namesAsTyped();
    void numberingNeverOverwrites();
    void failures();
    void writeFailureLeavesNoFile_data();
    void writeFailureLeavesNoFile();
    void raidSetWithManyVolumes();
    void reportLeavesNewEventsToPolling();

private:
    // A controller object over a simulated controller holding `config`; the report's sections.
    QString start(const char* address, zynsim::Profile profile, const std::string& config,
                  void (*adjust)(zynsim::ControllerConfig&) = nullptr);

    ControllerRig m_rig;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLogFile::initTestCase()
{
    qputenv("TZ", "UTC");
    tzset();
}

void TestLogFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QLogFile::SetFolder(m_dir->path() + QStringLiteral("/CtrlLog"));
}

void TestLogFile::cleanup()
{
    m_rig.stop();
    QLogFile::SetFolder(QString());
    m_dir.reset();
}

QString TestLogFile::start(const char* address, zynsim::Profile profile, const std::string& config,
                           void (*adjust)(zynsim::ControllerConfig&))
{
    zynsim::ControllerConfig c;
    c.profile = profile;
    c.emptyModel = true;
    c.serial = "Y000000000000101";
    if (adjust != nullptr)
        adjust(c);
    const QString why = m_rig.start(address, c);
    if (!why.isEmpty())
        return why;
    m_rig.ctl->setClock(kClock);
    std::string error;
    if (!m_rig.ctl->loadConfig(config, &error))
        return QString::fromStdString(error);
    return QString();
}

void TestLogFile::olderFamilyReport()
{
    const QString why = start("127.0.0.101", zynsim::Profile::Older,
        "controller channels 4\n"
        "disk 0 0 serial \"S0\" media 2 timeouts 1 temp 36 smart 200:51 172:21 200:140 200:0 100:0 255:0\n"
        "disk 0 1 serial \"S1\"\n"
        "disk 0 2 serial \"S2\"\n"
        "raidset \"Raid Set # 000\" disks 0:0 0:1 0:2\n"
        "volume \"Volume---VOL#000\" raidset 0 capacity 4000000000 level 3 stripe 128 state 1 progress 125\n"
        "sensor fan 3010 65535 / voltage 12000:12096 5000:5040 / temp 38 45\n");
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QLogFile file(m_rig.controller.get(), nullptr);
    QCOMPARE(file.GetFileName(), QString());
    QCOMPARE(file.SaveRaidCfgIntoLogFile(), 0);
    QCOMPARE(file.GetFileName(), m_dir->path() + QStringLiteral("/CtrlLog/Ctlr00-00000.log"));
    const QList<QByteArray> s = sectionsOf(file.GetFileName());
    QCOMPARE(s.size(), 10);   // system, raid sets, volumes, four disks, monitor, events

    QCOMPARE(s[0], QByteArray("Triggered event: None\n\n\n"
                              "The System Information\n") + rule(43) +
                       "Main Processor     : 800MHz\n"
                       "CPU ICache Size    : 32KB\n"
                       "CPU DCache Size    : 32KB\n"
                       "CPU SCache Size    : 256KB\n"
                       "System Memory      : 1024MB/533MHz/ECC\n"
                       "Firmware Version   : V1.56 2021-03-18\n"
                       "BOOT ROM Version   : B1.02 2019-06-11\n"
                       "Serial Number      : Y000000000000101\n"
                       "Controller Name    : ZRC-1880-1880\n"
                       "Current IP Address : 127.0.0.101\n");
    QCOMPARE(s[1], QByteArray("Raid Set Information \n") + rule(43) +
                       "Raid Set Name        : Raid Set # 000\n"
                       "Member Disks         : 3\n"
                       "Total Raw Capacity   : 12002.4GB\n"
                       "Free Raw Capacity    : 8930.4GB\n"
                       "Min Member Disk Size : 4000.8GB\n"
                       "Raid Set State       : Initializing\n"
                       "Member Disk Channels : 123\n");
    QCOMPARE(s[2], QByteArray("Volume Set Information \n") + rule(43) +
                       "Volume Set Name : Volume---VOL#000\n"
                       "Raid Set Name   : Raid Set # 000\n"
                       "Volume Capacity : 2048.0GB\n"
                       "SCSI Ch/Id/Lun  : 00/00/00\n"
                       "Raid Level      : Raid5\n"
                       "Stripe Size     : 64K\n"
                       "Member Disks    : 3\n"
                       "Cache Mode      : Write Back\n"
                       "Tagged Queuing  : Enabled\n"
                       "Volume State    : Initializing(12.5%)\n");
    QCOMPARE(s[3], QByteArray("Drives Information \n") + rule(63) + diskLine("IDE Channel", "1")
                       + diskLine("Model Name", "Varnel VD4000S") + diskLine("Serial Number", "S0")
                       + diskLine("Firmware Rev.", "VS02") + diskLine("Disk Capacity", "4000.8GB")
                       + diskLine("Device State", "NORM") + diskLine("Timeout Count", "1")
                       + diskLine("Media Error Count", "2") + diskLine("Device Temperature", "36 C")
                       + diskLine("SMART Read Error Rate", "200(51)") + diskLine("SMART Spinup Time", "172(21)")
                       + diskLine("SMART Reallocation Count", "200(140)") + diskLine("SMART Seek Error Rate", "200(0)")
                       + diskLine("SMART Spinup Retries", "100(0)")
                       + diskLine("SMART Calibration Retries", "N.A.(N.A.)"));
    // The second disk reports what a fresh disk of its slot does; the fourth channel is empty.
    QVERIFY(s[4].startsWith(diskLine("IDE Channel", "2") + diskLine("Model Name", "Varnel VD4000S")));
    QVERIFY(s[4].contains(diskLine("SMART Calibration Retries", "100(0)")));
    QCOMPARE(s[6], diskLine("IDE Channel", "4") + diskLine("Model Name", "N.A.") + diskLine("Serial Number", "N.A.")
                       + diskLine("Firmware Rev.", "N.A.") + diskLine("Disk Capacity", "0.0GB")
                       + diskLine("Device State", "N.A.") + diskLine("Timeout Count", "0")
                       + diskLine("Media Error Count", "0") + diskLine("Device Temperature", "0 C")
                       + diskLine("SMART Read Error Rate", "0(0)") + diskLine("SMART Spinup Time", "0(0)")
                       + diskLine("SMART Reallocation Count", "0(0)") + diskLine("SMART Seek Error Rate", "0(0)")
                       + diskLine("SMART Spinup Retries", "0(0)") + diskLine("SMART Calibration Retries", "0(0)"));
    QCOMPARE(s[7], QByteArray());   // the separator after the last disk and the section's own
    QCOMPARE(s[8], QByteArray("The Hardware Monitor Information\n") + rule(43) +
                       "Power +12.00V       : 12.096\n"
                       "Power +5.00 V       : 5.040\n"
                       "Fan#1  Speed (RPM)  : 3010\n"
                       "Fan#2  Speed (RPM)  : N.A.\n"
                       "Controller Temp     : 38 (Celsius)\n"
                       "HDD #1  Temp.       : 45\n");
    // Newest first; disk events name their channel.
    QCOMPARE(s[9], QByteArray("Date-Time            Device           Event Type            Elapsed Time Errors\n")
                       + rule(79) + eventLine("Volume---VOL#000", "Start Initialize")
                       + eventLine("Volume---VOL#000", "Create Volume") + eventLine("Raid Set # 000", "Create RaidSet")
                       + eventLine("IDE Channel #03", "Device Inserted") + eventLine("IDE Channel #02", "Device Inserted")
                       + eventLine("IDE Channel #01", "Device Inserted"));
}

void TestLogFile::enclosureFamilyReport()
{
    const QString why = start("127.0.0.102", zynsim::Profile::Enclosure,
        "enclosure 0 vendor \"Varnel\" name \"Backplane A\" revision \"0102\" slots 4 voltages 1 fans 1 "
        "power 2 temps 2\n"
        "enclosure 1 vendor \"Varnel\" name \"Shelf B\" revision \"0001\" slots 1\n"
        "disk 0 0 serial \"SATA0\" sata address 0x3000AB0000000001 temp 33 timeouts 4\n"
        "disk 0 1 serial \"SAS1\" address 0x3000AB0000000002 rpm 10000 temp 41 media 7 "
        "counters 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n"
        "disk 0 3 serial \"SAS3\"\n"
        "fail 0:3\n"
        "raidset \"Raid Set # 000\" disks 0:0 0:1\n"
        "volume \"Volume---VOL#000\" raidset 0 capacity 1000000000 level 1 stripe 256 cache 0 tagged 0\n"
        "sensor voltage 12100 3333 / fan 2500 / temp 41 -20 / battery 90\n"
        "sensor enclosure 0 voltage 12050 / fan 4100 / power 1:1 1:0 / temp 35 -20\n",
        [](zynsim::ControllerConfig& c) { c.onBoardNetwork = true; });
    QVERIFY2(why.isEmpty(), qPrintable(why));
    m_rig.controller->SetHostSlot(4);
    QLogFile file(m_rig.controller.get(), nullptr);
    QCOMPARE(file.SaveRaidCfgIntoLogFile(), 0);
    QCOMPARE(QFileInfo(file.GetFileName()).fileName(), QStringLiteral("Ctlr04-00000.log"));
    const QList<QByteArray> s = sectionsOf(file.GetFileName());
    QCOMPARE(s.size(), 11);   // system, raid sets, volumes, five slots, monitor, events

    QVERIFY(s[0].endsWith("Controller Name    : ZRC-1880-1880\n"
                          "Current IP Address : 127.0.0.102\n"));
    QCOMPARE(s[1], QByteArray("Raid Set Information \n") + rule(43) +
                       "Raid Set Name        : Raid Set # 000\n"
                       "Member Disks         : 2\n"
                       "Total Raw Capacity   : 8001.6GB\n"
                       "Free Raw Capacity    : 6977.6GB\n"
                       "Min Member Disk Size : 4000.8GB\n"
                       "Supported Volumes    : 128\n"
                       "Raid Set State       : Initializing\n"
                       "Member Disk Channels : E1S1.E1S2.\n");
    QCOMPARE(s[2], QByteArray("Volume Set Information \n") + rule(43) +
                       "Volume Set Name : Volume---VOL#000\n"
                       "Raid Set Name   : Raid Set # 000\n"
                       "Volume Capacity : 512.0GB\n"
                       "SCSI Ch/Id/Lun  : 00/00/00\n"
                       "Raid Level      : Raid1+0\n"
                       "Stripe Size     : 128K\n"
                       "Member Disks    : 2\n"
                       "Cache Mode      : Write Through\n"
                       "Tagged Queuing  : Disabled\n"
                       "Volume State    : Initializing(0.0%)\n");
    QCOMPARE(s[3], QByteArray("Drives Information \n") + rule(63)
                       + diskLine("Device Type", "SATA(3000AB0000000001)")
                       + diskLine("Device Location", "Enclosure#1 Slot 01") + diskLine("Model Name", "Varnel VD4000S")
                       + diskLine("Serial Number", "SATA0") + diskLine("Firmware Rev.", "VS02")
                       + diskLine("Disk Capacity", "4000.8GB") + diskLine("Device State", "NORM")
                       + diskLine("Timeout Count", "4") + diskLine("Media Error Count", "0")
                       + diskLine("Device Temperature", "33 C") + diskLine("SMART Read Error Rate", "200(51)")
                       + diskLine("SMART Spinup Time", "172(21)") + diskLine("SMART Reallocation Count", "200(140)")
                       + diskLine("SMART Seek Error Rate", "200(0)") + diskLine("SMART Spinup Retries", "100(0)")
                       + diskLine("SMART Calibration Retries", "100(0)"));
    auto counter = [](int n) { return QByteArray("0x") + QByteArray::number(n, 16).toUpper().rightJustified(16, '0'); };
    QCOMPARE(s[4], diskLine("Device Type", "SAS(3000AB0000000002)") + diskLine("Device Location", "Enclosure#1 Slot 02")
                       + diskLine("Model Name", "Varnel VD4000S") + diskLine("Serial Number", "SAS1")
                       + diskLine("Firmware Rev.", "VS02") + diskLine("Disk Capacity", "4000.8GB")
                       + diskLine("Device State", "NORM") + diskLine("Timeout Count", "0")
                       + diskLine("Media Error Count", "7")
                       + diskLine("Read Errors Receovered W/O Delay", counter(1))
                       + diskLine("Read Errors Receovered W Delay", counter(2))
                       + diskLine("Read Errors Receovered W Retry", counter(3))
                       + diskLine("Read Errors Receovered", counter(4)) + diskLine("Read Total Bytes", counter(5))
                       + diskLine("Read Errors Unrecovered", counter(6))
                       + diskLine("Write Errors Receovered W/O Delay", counter(7))
                       + diskLine("Write Errors Receovered W Delay", counter(8))
                       + diskLine("Write Errors Receovered W Retry", counter(9))
                       + diskLine("Write Errors Receovered", counter(10)) + diskLine("Write Total Bytes", counter(11))
                       + diskLine("Write Errors Unrecovered", counter(12))
                       + diskLine("Verify Errors Receovered W/O Delay", counter(13))
                       + diskLine("Verify Errors Receovered W Delay", counter(14))
                       + diskLine("Verify Errors Receovered W Retry", counter(15))
                       + diskLine("Verify Errors Receovered", counter(16))
                       + diskLine("Verify Errors Unrecovered", counter(17))
                       + diskLine("Rotation Speed", "10000(RPM)") + diskLine("Device Temperature", "41 C")
                       + diskLine("Non-Medium Errors", counter(18)) + diskLine("P-LIST Count", counter(19))
                       + diskLine("G-LIST Count", counter(20)));
    QVERIFY(s[5].startsWith(diskLine("Device Type", "SAS(0)") + diskLine("Device Location", "Enclosure#1 Slot 03")
                            + diskLine("Model Name", "N.A.")));
    QVERIFY(s[5].contains(diskLine("Device State", "N.A.")));
    QVERIFY(s[6].contains(diskLine("Device Location", "Enclosure#1 Slot 04") + diskLine("Model Name", "Varnel VD4000S")));
    QVERIFY(s[6].contains(diskLine("Device State", "FAIL")));
    QVERIFY(s[7].startsWith(diskLine("Device Type", "SAS(0)") + diskLine("Device Location", "Enclosure#2 Slot 01")));
    QCOMPARE(s[8], QByteArray());
    QCOMPARE(s[9], QByteArray("The Hardware Monitor Information\n") + rule(53) +
                       "[Controller H/W Monitor]\n"
                       "  Temperature CPU  : 41 C\n"
                       "  Temperature Board : -20 C\n"
                       "  Fan 1            : 2500 RPM\n"
                       "  Voltage 12V      : 12.100 V\n"
                       "  Voltage 5V       : 3.333 V\n"
                       "  Battery Status   : 90%\n"
                       "[Enclosure#1 : VarnelBackplane A0102]\n"
                       "  Voltage 12V      : 12.050 V\n"
                       "  Fan 1            : 4100 RPM\n"
                       "  Power Supply 1   : OK\n"
                       "  Power Supply 2   : FAILED\n"
                       "  Temperature CPU  : 35 C\n"
                       "  Temperature Board : N.A.\n"
                       "[Enclosure#2 : VarnelShelf B0001]\n");
    QVERIFY(s[10].startsWith(QByteArray("Date-Time            Device           Event Type            Elapsed Time Errors\n")
                             + rule(79) + eventLine("Volume---VOL#000", "Start Initialize")));
    QVERIFY(s[10].contains(eventLine("Enc#1 Slot#04", "Device Failed")));
}

void TestLogFile::otherMonitorForms_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<int>("board");
    QTest::addColumn<int>("modelNumber");
    QTest::addColumn<QString>("sensors");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("E100") << int(zynsim::Profile::E100) << -1 << 100
                          << "sensor fan 2800 / voltage 12000:12100 5000:5050 3300:3290 1500:1510 / temp 36 41"
                          << QByteArray("Controller Temp : 36 (Celsius)\n"
                                        "BackPlane Temp  : 41 (Celsius)\n"
                                        "Fan Speed (RPM) : 2800\n"
                                        "Power +12.00V   : 12.100\n"
                                        "Power +5.00V    : 5.050\n"
                                        "Power +3.30V    : 3.290\n"
                                        "Power +1.50V    : 1.510\n");
    QTest::newRow("board 1") << int(zynsim::Profile::Older) << 1 << 1880
                             << "sensor fan 3000 65535 / voltage 12000:12100 / temp 30 31 0 / battery 255"
                             << QByteArray("Fan#1 Speed (RPM)   : 3000\n"
                                           "Fan#2 Speed (RPM)   : N.A.\n"
                                           "Battery Status      : Not Installed\n"
                                           "HDD #1  Temp.       : 30\n"
                                           "HDD #2  Temp.       : 31\n"
                                           "HDD #3  Temp.       : 0\n");
    QTest::newRow("board 2, named lines") << int(zynsim::Profile::Older) << 2 << 1120
                                          << "sensor fan 3000 / voltage 12000:12100 5000:4950 / temp 50 44 33 / battery 254"
                                          << QByteArray("Fan#1 Speed (RPM)   : 3000\n"
                                                        "Battery Status      : Failed\n"
                                                        "CPU Temperature     : 50 (Celsius)\n"
                                                        "Ctrl Temperature    : 44 (Celsius)\n"
                                                        "Power +12V          : 12.100\n"
                                                        "Power +5V           : 4.950\n"
                                                        "HDD #1  Temp.       : 33\n");
}

void TestLogFile::otherMonitorForms()
{
    QFETCH(int, profile);
    QFETCH(int, board);
    QFETCH(int, modelNumber);
    QFETCH(QString, sensors);
    QFETCH(QByteArray, expected);
    static int s_board;
    static int s_model;
    s_board = board;
    s_model = modelNumber;
    const QString why = start("127.0.0.103", zynsim::Profile(profile), sensors.toStdString() + "\n",
                              [](zynsim::ControllerConfig& c) {
                                  c.boardType = s_board;
                                  c.modelNumber = s_model;
                              });
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QLogFile file(m_rig.controller.get(), nullptr);
    QCOMPARE(file.SaveRaidCfgIntoLogFile(), 0);
    const QList<QByteArray> s = sectionsOf(file.GetFileName());
    QVERIFY(s.size() >= 2);
    QCOMPARE(s[s.size() - 2], QByteArray("The Hardware Monitor Information\n") + rule(43) + expected);
}

void TestLogFile::triggeringEventAndNoAddress()
{
    const QString why = start("127.0.0.104", zynsim::Profile::Older, "controller channels 2\n",
                              [](zynsim::ControllerConfig& c) { c.onBoardNetwork = false; });
    QVERIFY2(why.isEmpty(), qPrintable(why));
    sEVET_DATA record{};
    record.set(zynevent::kDeviceEvent, zynevent::kDeviceFailed, 1);
    record.setTime(0x80000000u | (12u << 27) | (26u << 22) | (9u << 17) | (10u << 12) | (5u << 6) | 7u);
    QZynEvent event(m_rig.controller.get(), 0, &record);
    QLogFile file(m_rig.controller.get(), &event);
    QCOMPARE(file.SaveRaidCfgIntoLogFile(), 0);
    const QByteArray text = readAll(file.GetFileName());
    QVERIFY(text.startsWith("Triggered event: 2026-12-09 10:05:07 IDE Channel #02 Device Failed\n\n\n"
                            "The System Information\n"));
    QVERIFY(text.contains("Controller Name    : ZRC-1880-1880\n\r\n\r\n"));
    QVERIFY(!text.contains("Current IP Address"));
    // No event in the log: no event heading either.
    QVERIFY(text.endsWith("HDD #1  Temp.       : 45\n\r\n\r\n"));
}

// Names as the views show them, in a UTF-8 file: as typed where they are UTF-8, as Latin-1 where
// another tool wrote Latin-1; the event table's device column is filled by characters.
void TestLogFile::namesAsTyped()
{
    const QString why = start("127.0.0.109", zynsim::Profile::Enclosure,
                              "enclosure 0 slots 4\ndisk 0 0\ndisk 0 1\nraidset \"Tägliche-Sicher\" disks 0:0\n"
                              "raidset \"Caf\xE9-Sicherung-1\" disks 0:1\n"
                              "volume \"ABCDEFGHIJKLMNO\" raidset 0 capacity 100000 level 0 state 0\n");
    QVERIFY2(why.isEmpty(), qPrintable(why));
    sEVET_DATA record{};
    record.set(zynevent::kRaidSetEvent, zynevent::kCreateRaidSet, 1);
    record.setName("Caf\xE9-Sicherung-1");
    QZynEvent event(m_rig.controller.get(), 0, &record);
    QLogFile file(m_rig.controller.get(), &event);
    QCOMPARE(file.SaveRaidCfgIntoLogFile(), 0);
    const QByteArray text = readAll(file.GetFileName());
    QVERIFY(text.startsWith("Triggered event: 0 Café-Sicherung-1 Create RaidSet\n"));
    for (const char* line : {"Raid Set Name        : Tägliche-Sicher\n", "Raid Set Name        : Café-Sicherung-1\n",
                             "Volume Set Name : ABCDEFGHIJKLMNO\nRaid Set Name   : Tägliche-Sicher\n",
                             " Tägliche-Sicher  Create RaidSet ", " Café-Sicherung-1 Create RaidSet "})
        QVERIFY2(text.contains(line), line);
}

void TestLogFile::numberingNeverOverwrites()
{
    const QString why = start("127.0.0.105", zynsim::Profile::Older, "controller channels 1\n");
    QVERIFY2(why.isEmpty(), qPrintable(why));
    const QString folder = m_dir->path() + QStringLiteral("/CtrlLog/");
    QVERIFY(QDir().mkpath(folder));
    auto make = [&](const QString& name, const QByteArray& content) {
        QFile f(folder + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    make(QStringLiteral("Ctlr00-00000.log"), "first");
    make(QStringLiteral("Ctlr00-00002.log"), "third");
    make(QStringLiteral("Ctlr01-00001.log"), "other slot");
    // Links to a file elsewhere are taken numbers, never a way to write there.
    const QString outside = m_dir->path() + QStringLiteral("/outside");
    for (const char* name : {"Ctlr00-00001.log", "Ctlr00-00003.log"})
        QVERIFY(QFile::link(outside, folder + QLatin1String(name)));

    QStringList names;
    for (int i = 0; i < 3; ++i) {
        QLogFile file(m_rig.controller.get(), nullptr);
        QCOMPARE(file.SaveRaidCfgIntoLogFile(), 0);
        names << QFileInfo(file.GetFileName()).fileName();
    }
    QCOMPARE(names, QStringList({QStringLiteral("Ctlr00-00004.log"), QStringLiteral("Ctlr00-00005.log"),
                                 QStringLiteral("Ctlr00-00006.log")}));
    QVERIFY(!QFileInfo::exists(outside));
    QCOMPARE(readAll(folder + QStringLiteral("Ctlr00-00000.log")), QByteArray("first"));
    QCOMPARE(readAll(folder + QStringLiteral("Ctlr00-00002.log")), QByteArray("third"));

    // The first free number, gaps included; every slot numbers its own files.
    QFile::remove(folder + QStringLiteral("Ctlr00-00001.log"));
    QFile::remove(folder + QStringLiteral("Ctlr00-00003.log"));
    QLogFile gap(m_rig.controller.get(), nullptr);
    QCOMPARE(gap.SaveRaidCfgIntoLogFile(), 0);
    QCOMPARE(QFileInfo(gap.GetFileName()).fileName(), QStringLiteral("Ctlr00-00001.log"));
    m_rig.controller->SetHostSlot(1);
    QLogFile first(m_rig.controller.get(), nullptr);
    QCOMPARE(first.SaveRaidCfgIntoLogFile(), 0);
    QCOMPARE(QFileInfo(first.GetFileName()).fileName(), QStringLiteral("Ctlr01-00000.log"));
    QLogFile second(m_rig.controller.get(), nullptr);
    QCOMPARE(second.SaveRaidCfgIntoLogFile(), 0);
    QCOMPARE(QFileInfo(second.GetFileName()).fileName(), QStringLiteral("Ctlr01-00002.log"));
    QCOMPARE(readAll(folder + QStringLiteral("Ctlr01-00001.log")), QByteArray("other slot"));
}

void TestLogFile::failures()
{
    const QString why = start("127.0.0.106", zynsim::Profile::Older, "controller channels 1\n");
    QVERIFY2(why.isEmpty(), qPrintable(why));
    // The system-information read fails: its status, and no file.
    m_rig.ctl->script(0x23, 1, zynsim::Answer::status('G'));
    QLogFile refused(m_rig.controller.get(), nullptr);
    const int rc = refused.SaveRaidCfgIntoLogFile();
    QVERIFY(rc != 0 && rc != QLogFile::kFileError);
    QCOMPARE(refused.GetFileName(), QString());
    QVERIFY(!QFileInfo::exists(m_dir->path() + QStringLiteral("/CtrlLog")));

    // A folder that cannot be written: 7, with the name it tried.
    if (::geteuid() != 0) {
        const QString folder = m_dir->path() + QStringLiteral("/locked");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QLogFile::SetFolder(folder);
        QLogFile locked(m_rig.controller.get(), nullptr);
        QCOMPARE(locked.SaveRaidCfgIntoLogFile(), QLogFile::kFileError);
        QCOMPARE(locked.GetFileName(), folder + QStringLiteral("/Ctlr00-00000.log"));
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // A folder path that is a file.
    const QString plain = m_dir->path() + QStringLiteral("/plain");
    {
        QFile f(plain);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QLogFile::SetFolder(plain);
    QLogFile blocked(m_rig.controller.get(), nullptr);
    QCOMPARE(blocked.SaveRaidCfgIntoLogFile(), QLogFile::kFileError);
    QCOMPARE(blocked.GetFileName(), plain + QStringLiteral("/Ctlr00-00000.log"));

    // A section whose read fails ends early; the next one follows.
    QLogFile::SetFolder(m_dir->path() + QStringLiteral("/again"));
    m_rig.ctl->script(0x1B, 1, zynsim::Answer::status('G'));
    QLogFile partial(m_rig.controller.get(), nullptr);
    QCOMPARE(partial.SaveRaidCfgIntoLogFile(), 0);
    const QByteArray text = readAll(partial.GetFileName());
    QVERIFY(text.endsWith(QByteArray("\r\n\r\nThe Hardware Monitor Information\n") + rule(43) + "\r\n\r\n"));

    // The controller given up half way: the report is cut short, it has failed and its file goes.
    g_replaced = m_rig.ctl.get();
    m_rig.controller->ZynSetCallBack(replaceAfterThree);
    QLogFile cut(m_rig.controller.get(), nullptr);
    QCOMPARE(cut.SaveRaidCfgIntoLogFile(), int(ZYN_ERR_TRANSPORT_OTHER));
    QCOMPARE(m_rig.controller->GetState(), int(QZynController::StateOffline));
    QVERIFY(!cut.GetFileName().isEmpty() && !QFile::exists(cut.GetFileName()));
}

void TestLogFile::writeFailureLeavesNoFile_data()
{
    // A file size limit makes a real short write, as a full disk does.
    QTest::addColumn<int>("limit");
    QTest::newRow("cut after 1024 bytes") << 1024;
    QTest::newRow("not one byte") << 0;
}

void TestLogFile::writeFailureLeavesNoFile()
{
    QFETCH(int, limit);
    const QString why = start("127.0.0.107", zynsim::Profile::Older, "controller channels 1\n");
    QVERIFY2(why.isEmpty(), qPrintable(why));
    const QString folder = m_dir->path() + QStringLiteral("/CtrlLog/");
    // Report after report: each one fails alone and leaves nothing, not even an empty file.
    for (int i = 0; i < 3; ++i) {
        FileSizeLimit sizeLimit{rlim_t(limit)};
        QVERIFY(sizeLimit.isSet());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Failed to write logfile %1Ctlr00-00000\\.log "
                                                                           "\\(.+\\): the file is removed$")
                                                                .arg(QRegularExpression::escape(folder))));
        QLogFile report(m_rig.controller.get(), nullptr);
        const int rc = report.SaveRaidCfgIntoLogFile();
        sizeLimit.lift();
        QCOMPARE(rc, QLogFile::kFileError);
        QCOMPARE(report.GetFileName(), folder + QStringLiteral("Ctlr00-00000.log"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
    }
    // Without the limit the same report is written whole, under the first number.
    QLogFile report(m_rig.controller.get(), nullptr);
    QCOMPARE(report.SaveRaidCfgIntoLogFile(), 0);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Ctlr00-00000.log")});
    QVERIFY(readAll(report.GetFileName()).size() > 1024);   // longer than the cut one
}

void TestLogFile::raidSetWithManyVolumes()
{
    // Seventeen volumes on one raid set: the seventeenth one's state counts.
    std::string config = "controller volumes 128\n"
                         "disk 0 0\ndisk 0 1\ndisk 0 2\n"
                         "raidset \"Big\" disks 0:0 0:1 0:2\n";
    for (int v = 0; v < 17; ++v)
        config += "volume \"V" + std::to_string(v) + "\" raidset 0 capacity 2000000 level 0 state "
                + (v == 16 ? "4 progress 500" : "0") + "\n";
    const QString why = start("127.0.0.107", zynsim::Profile::Enclosure,
                              "enclosure 0 slots 3\n" + config);
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QCOMPARE(m_rig.ctl->raidSet(0).volumeCount(), 17);
    QLogFile file(m_rig.controller.get(), nullptr);
    QCOMPARE(file.SaveRaidCfgIntoLogFile(), 0);
    const QByteArray text = readAll(file.GetFileName());
    QVERIFY(text.contains("Raid Set State       : Migrating\n"));
    QVERIFY(text.contains("Volume Set Name : V16\n"));
    QVERIFY(text.contains("Volume State    : Migrating(50.0%)\n"));
}

void TestLogFile::reportLeavesNewEventsToPolling()
{
    const QString why = start("127.0.0.108", zynsim::Profile::Older, "controller channels 2\ndisk 0 0\n");
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QZynController* c = m_rig.controller.get();
    c->RunEventLoop(1);   // what the polling thread has delivered so far
    QVERIFY(m_rig.ctl->applyConfig("disk 0 1\n", nullptr));
    QLogFile file(c, nullptr);
    QCOMPARE(file.SaveRaidCfgIntoLogFile(), 0);
    QVERIFY(readAll(file.GetFileName()).contains(eventLine("IDE Channel #02", "Device Inserted")));
    // The report read the whole log; the new event is still the polling thread's to deliver.
    QCOMPARE(c->RunEventLoop(1), 1);
    QCOMPARE(c->RunEventLoop(1), 0);
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "test_logfile.moc"
