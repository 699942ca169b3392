// The setup image against the simulator: the layout, field reads and writes in both forms,
// the one-field settings, the configuration reads and the device maps.
#include "simfixture.h"

#include <QtTest>

#include <random>

using namespace simtest;

namespace {

const char* const kAddress = "127.0.0.40";

zynsim::ControllerConfig layoutConfig(int layout, zynsim::Profile profile = zynsim::Profile::Enclosure)
{
    return configOf(profile, layout);
}

struct SetupFrame {
    u8 op;
    Bytes payload;
};

// The setup-data frames the simulator received, in order.
std::vector<SetupFrame> setupFrames(const zynsim::FakeController& controller)
{
    std::vector<SetupFrame> frames;
    for (const LogEntry& e : entries(controller, LogEntry::RxFrame, 0x1F))
        if (e.bytes.size() > 9)
            frames.push_back({e.bytes[9], e.bytes});
    return frames;
}

uint32_t u32At(const Bytes& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

using ByteSetter = u32 (CZynlib::*)(u8);

} // namespace

class TestSetup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { fastPolls(); }
    void cleanup() { m_rig.stop(); }

    void layoutDetection_data();
    void layoutDetection();
    void failedTrialReadIsNotKept();
    void boxesWithoutSetupTable();
    void firmwareGate_data();
    void firmwareGate();
    void everyFieldRoundTrips_data();
    void everyFieldRoundTrips();
    void longFieldWrittenInChunks();
    void shortFormFallback();
    void shortFormNeverWrapsOffsets();
    void pageRanges();
    void adjustmentsStayInTheirField();
    void oneByteSetters_data();
    void oneByteSetters();
    void settingEdgeCases();
    void portsNeedANetworkPort();
    void configurationReads();
    void configurationReadReportsFirstFailure();
    void deviceMapOlderFamily();
    void mapsOnTheEnclosureFamily();
    void mapLimits();

private:
    // Empty, or why the rig did not start (a caller checks it: a failure here would only
    // return from the helper).
    [[nodiscard]] QString start(const zynsim::ControllerConfig& config)
    {
        return m_rig.start(kAddress, config);
    }
    Session& session() { return *m_rig.session; }
    zynsim::FakeController& ctl() { return *m_rig.ctl; }
    const CFieldInfo& field(int id)
    {
        return *gettablefieldinfo(u8(ctl().setupLayout()), u32(id));
    }
    void editSysInfo(const std::function<void(Bytes&)>& edit)
    {
        QVERIFY(refreshSysInfo(session(), ctl(), edit));
    }

    UdpRig m_rig;
};

void TestSetup::layoutDetection_data()
{
    QTest::addColumn<int>("layout");
    for (int layout = 0; layout < 4; ++layout)
        QTest::newRow(qPrintable(QString("layout %1").arg(layout))) << layout;
}

void TestSetup::layoutDetection()
{
    QFETCH(int, layout);
    QCOMPARE(start(layoutConfig(layout)), QString());
    QCOMPARE(session().DetermineTableNumber(), layout);
    // Known from then on: no more trial reads.
    ctl().clearLog();
    QCOMPARE(session().DetermineTableNumber(), layout);
    QCOMPARE(ctl().framesReceived(0x1F), 0);
}

void TestSetup::failedTrialReadIsNotKept()
{
    QCOMPARE(start(layoutConfig(3)), QString());
    // The trial read fails for a reason that says nothing about the image size.
    ctl().script(0x1F, 1, Answer::silence());
    QCOMPARE(session().DetermineTableNumber(), -1);
    ctl().script(0x1F, 1, Answer::status('M'));
    QCOMPARE(session().DetermineTableNumber(), -1);
    QCOMPARE(session().DetermineTableNumber(), 3);
    // Nothing was written with a wrong layout in between.
    char value = 1;
    ctl().script(0x1F, 1, Answer::status('O'));
    QCOMPARE(session().ZynWriteSetupData(77, &value, 1, nullptr), u32('O'));
}

void TestSetup::boxesWithoutSetupTable()
{
    for (uint32_t model : {zynident::kModelE100, zynident::kModelE200}) {
        zynsim::ControllerConfig config = layoutConfig(0, zynsim::Profile::Older);
        config.modelNumber = int(model);
        QCOMPARE(start(config), QString());
        QCOMPARE(session().DetermineTableNumber(), -1);
        char out[16];
        int length = 5;
        QCOMPARE(session().ZynReadSetupData(77, out, sizeof out, &length, nullptr), 72u);
        QCOMPARE(length, 0);
        QCOMPARE(session().ZynSetStaggerPowerOn(1), 72u);
        m_rig.stop();
    }
}

void TestSetup::firmwareGate_data()
{
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("V1.42 with date") << "V1.42 2010-05-17" << false;
    QTest::newRow("V1.41") << "V1.41 2009-01-01" << false;
    QTest::newRow("V1.4") << "V1.4 2009-01-01" << false;
    QTest::newRow("V1.43") << "V1.43 2011-01-01" << true;
    QTest::newRow("lower case") << "v1.50 2012-02-02" << true;
}

void TestSetup::firmwareGate()
{
    QFETCH(QString, firmware);
    QFETCH(bool, allowed);
    for (int layout : {1, 3}) {
        zynsim::ControllerConfig config = layoutConfig(layout);
        config.firmware = firmware.toStdString();
        QCOMPARE(start(config), QString());
        QCOMPARE(session().SetupFirmwareAllowed(), allowed);
        ctl().clearLog();
        char out[64];
        int length = 0;
        char value = 3;
        const u32 read = session().ZynReadSetupData(77, out, sizeof out, &length, nullptr);
        const u32 write = session().ZynWriteSetupData(77, &value, 1, nullptr);
        if (allowed) {
            QCOMPARE(read, 0u);
            QCOMPARE(write, 0u);
        } else {
            QCOMPARE(read, 72u);
            QCOMPARE(write, 72u);
            QCOMPARE(ctl().framesReceived(0x1F), 0);
            Bytes page(1024);
            QCOMPARE(session().ZynGetSetupPage(page.data(), int(page.size()), nullptr), 72u);
        }
        m_rig.stop();
    }
}

void TestSetup::everyFieldRoundTrips_data()
{
    layoutDetection_data();
}

void TestSetup::everyFieldRoundTrips()
{
    QFETCH(int, layout);
    QCOMPARE(start(layoutConfig(layout)), QString());
    const Bytes original = ctl().setupImage();
    Bytes expected = original;
    std::mt19937 random(uint32_t(1234 + layout));

    for (int id = 0; id < kSetupTableRows; ++id) {
        const CFieldInfo* f = gettablefieldinfo(u8(layout), u32(id));
        QVERIFY(f != nullptr);
        std::vector<char> out(kSetupImageSize);
        int length = -1;
        const u32 rc = session().ZynReadSetupData(id, out.data(), int(out.size()), &length, nullptr);
        if (!f->exists()) {
            QCOMPARE(rc, 72u);
            QCOMPARE(length, 0);
            char value = 0;
            QCOMPARE(session().ZynWriteSetupData(id, &value, 1, nullptr), 72u);
            continue;
        }
        QVERIFY2(rc == 0, qPrintable(QString("read of field %1: %2").arg(id).arg(rc)));
        QCOMPARE(length, int(f->length));
        QVERIFY2(std::equal(out.begin(), out.begin() + length, expected.begin() + f->offset,
                            [](char a, uint8_t b) { return uint8_t(a) == b; }),
                 qPrintable(QString("field %1 reads other bytes than the image holds").arg(id)));

        std::vector<char> value(size_t(f->length));
        for (char& c : value)
            c = char(random() & 0xFF);
        QVERIFY2(session().ZynWriteSetupData(id, value.data(), int(value.size()), nullptr) == 0,
                 qPrintable(QString("write of field %1").arg(id)));
        std::copy(value.begin(), value.end(), expected.begin() + f->offset);
        QCOMPARE(session().ZynReadSetupData(id, out.data(), int(out.size()), &length, nullptr), 0u);
        QVERIFY(std::equal(value.begin(), value.end(), out.begin()));
    }
    // Exactly the written bytes changed.
    const Bytes image = ctl().setupImage();
    QCOMPARE(image.size(), original.size());
    for (size_t i = 0; i < image.size(); ++i)
        if (image[i] != expected[i])
            QFAIL(qPrintable(QString("image byte %1 is %2, expected %3").arg(i).arg(image[i]).arg(expected[i])));
}

void TestSetup::longFieldWrittenInChunks()
{
    QCOMPARE(start(layoutConfig(1)), QString());
    std::vector<char> value(640);
    for (size_t i = 0; i < value.size(); ++i)
        value[i] = char(i * 7);
    ctl().clearLog();
    QCOMPARE(session().ZynWriteSetupData(24, value.data(), 640, nullptr), 0u);
    auto frames = setupFrames(ctl());
    QCOMPARE(frames.size(), size_t(2));
    for (const SetupFrame& f : frames) {
        QCOMPARE(f.payload.size(), size_t(1023));
        QCOMPARE(f.op, u8(0x42));
        QCOMPARE(int(f.payload[0]), 8);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(f.payload.data()) + 1, 8), QByteArray("PlUmEvOr"));
        QCOMPARE(int(f.payload[10]), 1);
    }
    QCOMPARE(u32At(frames[0].payload, 11), 644u);
    QCOMPARE(int(frames[0].payload[15]), 0x00);
    QCOMPARE(int(frames[0].payload[16]), 0x02);
    QCOMPARE(u32At(frames[1].payload, 11), 1156u);
    QCOMPARE(int(frames[1].payload[15]), 0x80);
    QCOMPARE(int(frames[1].payload[16]), 0x00);
    QVERIFY(std::equal(value.begin() + 512, value.end(), frames[1].payload.begin() + 17,
                       [](char a, uint8_t b) { return uint8_t(a) == b; }));
    const Bytes image = ctl().setupImage();
    QVERIFY(std::equal(value.begin(), value.end(), image.begin() + 644, [](char a, uint8_t b) { return uint8_t(a) == b; }));
}

void TestSetup::shortFormFallback()
{
    QCOMPARE(start(layoutConfig(1)), QString());
    ctl().setRefuseLongSetupWrites(true);
    std::vector<char> value(640, 0x5A);
    ctl().clearLog();
    QCOMPARE(session().ZynWriteSetupData(24, value.data(), 640, nullptr), 0u);
    auto frames = setupFrames(ctl());
    // One refused long-form chunk, then the whole write again in the short form.
    QCOMPARE(frames.size(), size_t(3));
    QCOMPARE(frames[0].op, u8(0x42));
    QCOMPARE(frames[1].op, u8(0x41));
    QCOMPARE(int(frames[1].payload[11] | frames[1].payload[12] << 8), 644);
    QCOMPARE(int(frames[1].payload[13]), 0);      // a full 512-byte chunk
    QCOMPARE(frames[2].op, u8(0x41));
    QCOMPARE(int(frames[2].payload[11] | frames[2].payload[12] << 8), 1156);
    QCOMPARE(int(frames[2].payload[13]), 128);
    Bytes image = ctl().setupImage();
    QVERIFY(std::all_of(image.begin() + 644, image.begin() + 1284, [](uint8_t b) { return b == 0x5A; }));

    // 300 bytes would read as 44 in the short form: they go as 255 and 45.
    std::vector<char> three(300, 0x3C);
    const uint8_t after = ctl().setupImage()[1584];
    ctl().clearLog();
    QCOMPARE(session().ZynWriteSetupData(25, three.data(), 300, nullptr), 0u);
    frames = setupFrames(ctl());
    QCOMPARE(frames.size(), size_t(3));
    QCOMPARE(int(frames[1].payload[13]), 255);
    QCOMPARE(int(frames[2].payload[11] | frames[2].payload[12] << 8), 1284 + 255);
    QCOMPARE(int(frames[2].payload[13]), 45);
    image = ctl().setupImage();
    QVERIFY(std::all_of(image.begin() + 1284, image.begin() + 1584, [](uint8_t b) { return b == 0x3C; }));
    QCOMPARE(image[1584], after);
}

void TestSetup::shortFormNeverWrapsOffsets()
{
    QCOMPARE(start(layoutConfig(3)), QString());
    ctl().setRefuseLongSetupWrites(true);
    const Bytes before = ctl().setupImage();
    char value[32] = {};
    ctl().clearLog();
    // Field 73 lies at 86660: the short form cannot address it.
    QCOMPARE(session().ZynWriteSetupData(73, value, sizeof value, nullptr), 72u);
    for (const SetupFrame& f : setupFrames(ctl()))
        QVERIFY(f.op != 0x41);
    QCOMPARE(ctl().setupImage(), before);

    // A chunk that starts below 64 KiB can still go in the short form, even if it reaches past.
    std::vector<char> data(100, 0x6B);
    CFieldInfo at{65500 - 4740, 0, CFieldInfo::AddOffset};
    QCOMPARE(session().ZynWriteSetupData(25, data.data(), 100, &at), 0u);
    const Bytes after = ctl().setupImage();
    QVERIFY(std::all_of(after.begin() + 65500, after.begin() + 65600, [](uint8_t b) { return b == 0x6B; }));
    CFieldInfo past{65536 - 4740, 0, CFieldInfo::AddOffset};
    ctl().clearLog();
    QCOMPARE(session().ZynWriteSetupData(25, data.data(), 100, &past), 72u);
    for (const SetupFrame& f : setupFrames(ctl()))
        QVERIFY(f.op != 0x41);
}

void TestSetup::pageRanges()
{
    QCOMPARE(start(layoutConfig(3)), QString());
    std::vector<char> out(kSetupImageSize);
    int length = 0;
    QVERIFY(session().DetermineTableNumber() == 3);
    ctl().clearLog();
    QCOMPARE(session().ZynReadSetupData(25, out.data(), int(out.size()), &length, nullptr), 0u);
    QCOMPARE(length, 81920);
    auto frames = setupFrames(ctl());
    QCOMPARE(frames.size(), size_t(169 - 9 + 1));
    for (size_t i = 0; i < frames.size(); ++i) {
        QCOMPARE(frames[i].op, u8(0x40));
        QCOMPARE(frames[i].payload.size(), size_t(31));
        QCOMPARE(int(frames[i].payload[11]), int(9 + i));
    }
    // Too small a buffer for the whole image, or for a read at all.
    Bytes page(32768);
    QCOMPARE(session().ZynGetSetupPage(page.data(), int(page.size()), nullptr), 12u);
    QCOMPARE(session().ZynGetSetupPage(page.data(), 1023, nullptr), 6u);
    QCOMPARE(session().ZynGetSetupPage(nullptr, 4096, nullptr), 6u);
    // A field longer than the caller's buffer.
    QCOMPARE(session().ZynReadSetupData(24, out.data(), 4095, &length, nullptr), 6u);
    QCOMPARE(session().ZynReadSetupData(24, nullptr, 4096, &length, nullptr), 6u);
}

void TestSetup::adjustmentsStayInTheirField()
{
    QCOMPARE(start(layoutConfig(1)), QString());
    const Bytes image = ctl().setupImage();
    char out[64];
    int length = 0;
    // 16 bytes at +160 of field 25 (volume 1 of a per-volume table).
    CFieldInfo within{160, 16, CFieldInfo::AddOffset | CFieldInfo::SetLength};
    QCOMPARE(session().ZynReadSetupData(25, out, sizeof out, &length, &within), 0u);
    QCOMPARE(length, 16);
    QVERIFY(std::equal(out, out + 16, image.begin() + 1284 + 160, [](char a, uint8_t b) { return uint8_t(a) == b; }));
    // The last 16 bytes of the field still fit; one more does not.
    CFieldInfo last{2544, 16, CFieldInfo::AddOffset | CFieldInfo::SetLength};
    QCOMPARE(session().ZynReadSetupData(25, out, sizeof out, &length, &last), 0u);
    CFieldInfo past{2545, 16, CFieldInfo::AddOffset | CFieldInfo::SetLength};
    QCOMPARE(session().ZynReadSetupData(25, out, sizeof out, &length, &past), 6u);
    CFieldInfo before{4, 0, CFieldInfo::SubOffset};
    QCOMPARE(session().ZynReadSetupData(25, out, sizeof out, &length, &before), 6u);
    CFieldInfo absolute{0, 0, CFieldInfo::SetOffset};
    QCOMPARE(session().ZynReadSetupData(25, out, sizeof out, &length, &absolute), 6u);

    // Three bytes at +2 of a three-byte field would run into the next one.
    ctl().clearLog();
    char value[3] = {1, 2, 3};
    CFieldInfo plusTwo{2, 0, CFieldInfo::AddOffset};
    QCOMPARE(session().ZynWriteSetupData(99, value, 3, &plusTwo), 6u);
    QCOMPARE(session().ZynWriteSetupData(99, value, 4, nullptr), 6u);
    QCOMPARE(ctl().framesReceived(0x1F), 0);
    QCOMPARE(session().ZynWriteSetupData(99, value, 1, &plusTwo), 0u);
    QCOMPARE(int(ctl().setupImage()[size_t(3993 + 2)]), 1);
    QCOMPARE(session().ZynWriteSetupData(99, nullptr, 1, nullptr), 6u);
    QCOMPARE(session().ZynWriteSetupData(99, value, 0, nullptr), 6u);
}

void TestSetup::oneByteSetters_data()
{
    QTest::addColumn<void*>("setter");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("high");
    struct Row {
        const char* name;
        ByteSetter setter;
        int id;
        int high;
    };
    static const Row rows[] = {
        {"StaggerPowerOn", &CZynlib::ZynSetStaggerPowerOn, 77, 12},
        {"DiskCache", &CZynlib::ZynSetDiskCache, 41, 2},
        {"HddReadAhead", &CZynlib::ZynSetHddReadAhead, 79, 2},
        {"TruncateMode", &CZynlib::ZynSetTruncateMode, 54, 2},
        {"SMARTHddPoll", &CZynlib::ZynSetSMARTHddPoll, 61, 1},
        {"SMARTOptionForHdd", &CZynlib::ZynSetSMARTOptionForHdd, 109, 2},
        {"SMARTPollingInterval", &CZynlib::ZynSetSMARTPollingInterval, 108, 11},
        {"AutoActivate", &CZynlib::ZynSetAutoActivate, 82, 1},
        {"HddSpinDownMode", &CZynlib::ZynSetHddSpinDownMode, 84, 9},
        {"HddLowPowerIdleMode", &CZynlib::ZynSetHddLowPowerIdleMode, 91, 6},
        {"HddLowRPMMode", &CZynlib::ZynSetHddLowRPMMode, 92, 6},
        {"EmptyHddSlotLed", &CZynlib::ZynSetEmptyHddSlotLed, 83, 1},
        {"CpuFanDetection", &CZynlib::ZynSetCpuFanDetection, 63, 1},
        {"TimeZone", &CZynlib::ZynSetTimeZone, 93, 74},
        {"DayLightSaving", &CZynlib::ZynSetDayLightSaving, 94, 1},
        {"AutoSpeedDown", &CZynlib::ZynSetAutoSpeedDown, 78, 1},
        {"2TBMode", &CZynlib::ZynSet2TBMode, 81, 1},
        {"ReadAhead", &CZynlib::ZynSetReadAhead, 56, 10},
        {"TLER", &CZynlib::ZynSetTLER, 57, 4},
        {"BufferThreshold", &CZynlib::ZynSetBufferThreshold, 58, 3},
        {"Timeout", &CZynlib::ZynSetTimeout, 59, 20},
        {"RetryCount", &CZynlib::ZynSetRetryCount, 60, 1},
        {"AVStream", &CZynlib::ZynSetAVStream, 64, 17},
        {"OptimizeAVRecording", &CZynlib::ZynSetOptimizeAVRecording, 87, 3},
        {"OptimizeAVEdition", &CZynlib::ZynSetOptimizeAVEdition, 88, 4},
        {"SATA150Support", &CZynlib::ZynSetSATA150Support, 102, 1},
        {"ReadPerformanceMargin", &CZynlib::ZynSetReadPerformanceMargin, 104, 30},
        {"WritePerformanceMargin", &CZynlib::ZynSetWritePerformanceMargin, 105, 30},
        {"ReadAndDiscardParityData", &CZynlib::ZynSetReadAndDiscardParityData, 106, 1},
        {"VolumeDataReadAhead", &CZynlib::ZynSetVolumeDataReadAhead, 90, 3},
        {"HddQueueDepth", &CZynlib::ZynSetHddQueueDepth, 89, 5},
        {"SataNCQ", &CZynlib::ZynSetSataNCQ, 85, 1},
        {"SASMux", &CZynlib::ZynSetSASMux, 97, 2},
        {"SES2Support", &CZynlib::ZynSetSES2Support, 98, 1},
        {"WriteSameForInit", &CZynlib::ZynSetWriteSameForInit, 116, 2},
        {"HotPluggedDiskForRebuilding", &CZynlib::ZynSetHotPluggedDiskForRebuilding, 117, 2},
        {"FailDiskIfAnyTimeOut", &CZynlib::ZynSetFailDiskIfAnyTimeOut, 115, 1},
        {"BootPhyStatus", &CZynlib::ZynSetBootPhyStatus, 101, 2},
        {"SnmpPath", &CZynlib::ZynSetSnmpPath, 53, 4},
        {"NumberOfPower", &CZynlib::ZynSetNumberOfPower, 86, 1},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << static_cast<void*>(const_cast<ByteSetter*>(&row.setter)) << row.id << row.high;
}

void TestSetup::oneByteSetters()
{
    QFETCH(void*, setter);
    QFETCH(int, id);
    QFETCH(int, high);
    const ByteSetter set = *static_cast<ByteSetter*>(setter);
    // Layout 0 has every field these setters name.
    QCOMPARE(start(layoutConfig(0, zynsim::Profile::Older)), QString());
    const CFieldInfo& f = field(id);
    QVERIFY(f.exists());
    QCOMPARE(f.length, int64_t(1));

    ctl().clearLog();
    QCOMPARE((session().*set)(u8(high + 1)), 6u);
    QCOMPARE((session().*set)(255), 6u);
    QCOMPARE(ctl().framesReceived(0x1F), 0);
    QCOMPARE(ctl().framesReceived(0x13), 0);

    const Bytes before = ctl().setupImage();
    for (int value : {high, 0}) {
        QCOMPARE((session().*set)(u8(value)), 0u);
        Bytes expected = before;
        expected[size_t(f.offset)] = uint8_t(value);
        QCOMPARE(ctl().setupImage(), expected);
    }
}

void TestSetup::settingEdgeCases()
{
    QCOMPARE(start(layoutConfig(1)), QString());
    ctl().clearLog();
    QCOMPARE(session().ZynSetHTTPPort(7890), 6u);
    QCOMPARE(session().ZynSetHTTPPort(7168), 6u);
    QCOMPARE(session().ZynSetTelnetPort(8191), 6u);
    QCOMPARE(session().ZynSetSMTPPort(0), 6u);
    QCOMPARE(ctl().framesReceived(0x1F), 0);
    QCOMPARE(session().ZynSetHTTPPort(8192), 0u);
    Bytes image = ctl().setupImage();
    QCOMPARE(int(image[size_t(field(44).offset)]), 0x00);
    QCOMPARE(int(image[size_t(field(44).offset + 1)]), 0x20);
    QCOMPARE(session().ZynSetTelnetPort(7167), 0u);
    QCOMPARE(session().ZynSetSMTPPort(65535), 0u);
    image = ctl().setupImage();
    QCOMPARE(int(image[size_t(field(55).offset)] | image[size_t(field(55).offset + 1)] << 8), 7167);
    QCOMPARE(int(image[size_t(field(80).offset)] | image[size_t(field(80).offset + 1)] << 8), 65535);

    // Bit 7 of the command length belongs to the controller. Layout 1 has no field 103.
    QCOMPARE(session().ZynSetMaxCmdLen(3), 72u);
    m_rig.stop();
    QCOMPARE(start(layoutConfig(0, zynsim::Profile::Older)), QString());
    Bytes edit = ctl().setupImage();
    edit[size_t(field(103).offset)] = 0x81;
    QVERIFY(ctl().setSetupImage(edit));
    QCOMPARE(session().ZynSetMaxCmdLen(6), 6u);
    QCOMPARE(session().ZynSetMaxCmdLen(3), 0u);
    QCOMPARE(int(ctl().setupImage()[size_t(field(103).offset)]), 0x83);
    edit[size_t(field(103).offset)] = 0x01;
    QVERIFY(ctl().setSetupImage(edit));
    QCOMPARE(session().ZynSetMaxCmdLen(5), 0u);
    QCOMPARE(int(ctl().setupImage()[size_t(field(103).offset)]), 0x05);

    QCOMPARE(session().ZynSetSataHddSpeed(3, 0), 6u);
    QCOMPARE(session().ZynSetSataHddSpeed(0, 4), 6u);
    QCOMPARE(session().ZynSetSataHddSpeed(2, 3), 0u);
    QCOMPARE(int(ctl().setupImage()[size_t(field(112).offset)]), 3);

    u8 supplies = 0;
    QCOMPARE(session().ZynSetNumberOfPower(1), 0u);
    QCOMPARE(session().ZynGetNumberOfPower(&supplies), 0u);
    QCOMPARE(int(supplies), 1);
    QCOMPARE(session().ZynGetNumberOfPower(nullptr), 6u);
}

void TestSetup::portsNeedANetworkPort()
{
    QCOMPARE(start(layoutConfig(1)), QString());
    editSysInfo([](Bytes& info) { info[179] = 0; });
    ctl().clearLog();
    QCOMPARE(session().ZynSetHTTPPort(80), 72u);
    QCOMPARE(session().ZynSetTelnetPort(23), 72u);
    QCOMPARE(session().ZynSetSMTPPort(25), 72u);
    _NET_INFO net;
    QCOMPARE(session().ZynGetOnBoardNetInfo(&net), 72u);
    QCOMPARE(ctl().framesReceived(0x1F), 0);
}

void TestSetup::configurationReads()
{
    QCOMPARE(start(layoutConfig(1)), QString());
    const Bytes image = ctl().setupImage();
    _SYS_CONFIG_INFO config;
    QCOMPARE(session().ZynGetSystemConfigInfo(&config), 0u);
    const int configIds[24] = {15, 34, 38, 79, 77, 84, 91, 92, 83, 63, 61, 97, 98, 82, 41, 54, 85, 90, 89, 103, 116, 117, 109, 108};
    for (int i = 0; i < 24; ++i) {
        const CFieldInfo& f = field(configIds[i]);
        QCOMPARE(int(config.bytes[i]), f.exists() ? int(image[size_t(f.offset)]) : 0xFF);
    }
    QCOMPARE(int(config.bytes[19]), 0xFF);   // layout 1 has no field 103
    QCOMPARE(session().ZynGetSystemConfigInfo(nullptr), 6u);

    _SYS_ADVANCED_FEATURES_INFO advanced;
    std::memset(&advanced, 0xEE, sizeof advanced);
    QCOMPARE(session().ZynGetAdvancedFeaturesInfo(&advanced), 0u);
    const int advancedIds[16] = {56, 57, 58, 59, 60, 64, 87, 88, 101, 104, 105, 106, 115, 111, 110, 112};
    for (int i = 0; i < 16; ++i) {
        const CFieldInfo& f = field(advancedIds[i]);
        QCOMPARE(int(advanced.bytes[i]), f.exists() ? int(image[size_t(f.offset)]) : 0);
    }
    QCOMPARE(int(advanced.bytes[16]), 0);

    _NET_INFO net;
    std::memset(&net, 0, sizeof net);
    QCOMPARE(session().ZynGetOnBoardNetInfo(&net), 0u);
    QCOMPARE(int(net.bytes[0]), int(image[size_t(field(32).offset)]));
    QVERIFY(std::equal(net.bytes + 1, net.bytes + 5, image.begin() + field(16).offset));
    QVERIFY(std::equal(net.bytes + 5, net.bytes + 9, image.begin() + field(29).offset));
    QVERIFY(std::equal(net.bytes + 9, net.bytes + 13, image.begin() + field(17).offset));
    QCOMPARE(int(net.httpPort()), int(image[size_t(field(44).offset)] | image[size_t(field(44).offset + 1)] << 8));
    QCOMPARE(int(net.telnetPort()), int(image[size_t(field(55).offset)] | image[size_t(field(55).offset + 1)] << 8));
    QCOMPARE(int(net.smtpPort()), int(image[size_t(field(80).offset)] | image[size_t(field(80).offset + 1)] << 8));
    QVERIFY(std::equal(net.bytes + 19, net.bytes + 23, session().cachedSysInfo().ipAddress()));
    QVERIFY(std::equal(net.bytes + 23, net.bytes + 29, session().cachedSysInfo().macAddress()));
}

void TestSetup::configurationReadReportsFirstFailure()
{
    QCOMPARE(start(layoutConfig(1)), QString());
    QCOMPARE(session().DetermineTableNumber(), 1);
    // The third field's page read fails; the later ones succeed.
    ctl().script(0x1F, 2, Answer::model());
    ctl().script(0x1F, 1, Answer::status('O'));
    _SYS_CONFIG_INFO config;
    QCOMPARE(session().ZynGetSystemConfigInfo(&config), u32('O'));
    QCOMPARE(int(config.bytes[2]), 0xFF);
    QCOMPARE(int(config.bytes[3]), int(ctl().setupImage()[size_t(field(79).offset)]));
}

void TestSetup::deviceMapOlderFamily()
{
    zynsim::ControllerConfig config = layoutConfig(0, zynsim::Profile::Older);
    config.emptyModel = true;
    QCOMPARE(start(config), QString());
    QCOMPARE(int(session().cachedSysInfo().driveChannels()), 16);
    for (int ch : {2, 5, 11})
        QVERIFY(ctl().addDisk(0, ch, "ST2000", "S" + std::to_string(ch), 3907029168ull));
    auto map = std::make_unique<_DRV_MAP>();
    QCOMPARE(session().ZynHelpBuildDeviceMap(map.get()), 0u);
    QCOMPARE(map->count, 16u);
    int present = 0;
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(int(map->entries[i].enclosure), 0);
        QCOMPARE(int(map->entries[i].slot), i);
        if (map->entries[i].drive.present()) {
            ++present;
            QCOMPARE(map->entries[i].drive.serial(), "S" + std::to_string(i));
        }
    }
    QCOMPARE(present, 3);

    // Raid sets and volume sets through the raid set records.
    QVERIFY(ctl().createRaidSet("R0", {{0, 2}, {0, 5}}) == 0);
    QVERIFY(ctl().createRaidSet("R1", {{0, 11}}) == 1);
    QVERIFY(ctl().createVolumeSet(1, "V-a", 100000, 0, 128) >= 0);
    QVERIFY(ctl().createVolumeSet(0, "V-b", 100000, 1, 128) >= 0);
    auto raids = std::make_unique<_RAID_MAP>();
    QCOMPARE(session().ZynHelpBuildRaidSetMap(raids.get()), 0u);
    QCOMPARE(raids->count, 2u);
    QCOMPARE(raids->entries[1].number, 1);
    QCOMPARE(raids->entries[1].raidSet.name(), std::string("R1"));
    auto volumes = std::make_unique<_VOL_MAP>();
    QCOMPARE(session().ZynHelpBuildVolumeSetMap(volumes.get()), 0u);
    QCOMPARE(volumes->count, 2u);
    // In raid set order: the volume of R0 first.
    QCOMPARE(volumes->entries[0].volumeSet.name(), std::string("V-b"));
    QCOMPARE(volumes->entries[1].volumeSet.name(), std::string("V-a"));
}

void TestSetup::mapsOnTheEnclosureFamily()
{
    zynsim::ControllerConfig config = layoutConfig(3);
    config.emptyModel = true;
    QCOMPARE(start(config), QString());
    for (int slot = 0; slot < 6; ++slot)
        QVERIFY(ctl().addDisk(0, slot, "ST4000", "E" + std::to_string(slot), 7814037168ull));
    QVERIFY(ctl().createRaidSet("A", {{0, 0}, {0, 1}}) == 0);
    QVERIFY(ctl().createRaidSet("B", {{0, 2}}) == 1);
    QVERIFY(ctl().createRaidSet("C", {{0, 3}, {0, 4}}) == 2);
    QVERIFY(ctl().deleteRaidSet(1));
    const int v0 = ctl().createVolumeSet(0, "VA", 100000, 0, 128);
    const int v1 = ctl().createVolumeSet(2, "VC", 100000, 0, 128);
    QVERIFY(v0 >= 0 && v1 >= 0);
    const int nested = ctl().createNestedVolume("NEST", {v0, v1});
    QVERIFY(nested >= 0);

    ctl().clearLog();
    auto raids = std::make_unique<_RAID_MAP>();
    QCOMPARE(session().ZynHelpBuildRaidSetMap(raids.get()), 0u);
    QCOMPARE(raids->count, 2u);
    QCOMPARE(raids->entries[0].number, 0);
    QCOMPARE(raids->entries[1].number, 2);
    // Only the raid sets the bitmap names were asked for.
    auto asked = entries(ctl(), LogEntry::RxFrame, 0x20);
    QCOMPARE(asked.size(), size_t(2));

    auto volumes = std::make_unique<_VOL_MAP>();
    QCOMPARE(session().ZynHelpBuildVolumeSetMap(volumes.get()), 0u);
    QCOMPARE(volumes->count, 3u);
    std::vector<int> numbers;
    for (u32 i = 0; i < volumes->count; ++i)
        numbers.push_back(volumes->entries[i].number);
    std::vector<int> expected = {v0, v1, nested};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(numbers, expected);

    auto drives = std::make_unique<_DRV_MAP>();
    QCOMPARE(session().ZynHelpBuildDeviceMap(drives.get()), 0u);
    int slotsTotal = 0;
    for (int e = 0; e < session().cachedSysInfo().highestEnclosure(); ++e)
        if (ctl().enclosure(e).exists())
            slotsTotal += ctl().enclosure(e).slotCount();
    QCOMPARE(int(drives->count), slotsTotal);
    QCOMPARE(drives->entries[5].drive.serial(), std::string("E5"));
}

void TestSetup::mapLimits()
{
    // Three enclosures of 128 slots: the drive map stops at 320 entries.
    zynsim::ControllerConfig config = layoutConfig(3);
    config.emptyModel = true;
    QCOMPARE(start(config), QString());
    std::string why;
    QVERIFY2(ctl().loadConfig("enclosure 0 slots 128\nenclosure 1 slots 128\nenclosure 2 slots 128\n", &why), why.c_str());
    sSYSTEM_INFO info;
    QCOMPARE(session().ZynGetSysInfo(&info), 0u);
    QCOMPARE(int(info.highestEnclosure()), 3);
    auto drives = std::make_unique<_DRV_MAP>();
    QCOMPARE(session().ZynHelpBuildDeviceMap(drives.get()), 0u);
    QCOMPARE(drives->count, 320u);
    QCOMPARE(int(drives->entries[319].enclosure), 2);
    QCOMPARE(int(drives->entries[319].slot), 63);
    m_rig.stop();

    // A raid set claiming 255 volumes: the map reads 128 numbers at most, none past the record.
    QCOMPARE(start(layoutConfig(0, zynsim::Profile::Older)), QString());
    Bytes raid(272, 0);
    raid[0] = 'R';
    raid[61] = 1;
    raid[63] = 255;
    ctl().script(0x20, 1, Answer::data(raid));
    auto volumes = std::make_unique<_VOL_MAP>();
    session().ZynHelpBuildVolumeSetMap(volumes.get());
    QVERIFY(volumes->count <= 128u);
    QVERIFY(ctl().framesReceived(0x21) <= 128 + 16);
}

QTEST_GUILESS_MAIN(TestSetup)
#include "test_setup.moc"
