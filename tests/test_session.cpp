// The library session over UDP against the simulator: session start, the command frame on the
// wire, the reply checks and the result codes.
#include "simfixture.h"

#include <QtTest>

using namespace simtest;

namespace {
const char* const kAddress = "127.0.0.10";
const char* const kJbodAddress = "127.0.0.11";

// A real UDP transport that first asks for the exchange to be repeated `repeats` times.
class RepeatingTransport : public EthernetInterface {
public:
    int repeats = 0;
    int calls = 0;
    int syncSend(_IF_CMD_BLOCK* block) override
    {
        ++calls;
        if (repeats > 0) {
            --repeats;
            return ZYN_IO_RETRY;
        }
        return EthernetInterface::syncSend(block);
    }
};

int g_callbacks = 0;
void countCallback(void* block)
{
    if (block != nullptr)
        ++g_callbacks;
}
} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { fastPolls(); }
    void init();
    void cleanup();

    void opensSessionOverUdp();
    void framesOnTheWire();
    void jbodEnclosures_data();
    void jbodEnclosures();
    void failedIdentifyKeepsRaidMode();
    void statusReplies_data();
    void statusReplies();
    void pollCounterIsData();
    void invalidReplies_data();
    void invalidReplies();
    void resetCountsAsSuccess_data();
    void resetCountsAsSuccess();
    void replyLargerThanCapacity();
    void noTransport();
    void transportRepeats();
    void failedSysInfoKeepsTransport();
    void secondInitReplacesTransport();
    void callbackSeesEveryExchange();
    void rawCommand();
    void payloadBounds();

private:
    UdpRig m_rig;
    zynsim::Simulator* m_sim = nullptr;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    Session* m_session = nullptr;

    u32 cmd(u8 command, Bytes payload, Bytes* reply, int capacity, int* length)
    {
        reply->assign(size_t(std::max(capacity, 1)), 0);
        int n = 0;
        const u32 rc = m_session->ZynCmdReadWrite(command, payload.empty() ? nullptr : payload.data(),
                                                  int(payload.size()), reply->data(), capacity, n);
        *length = n;
        return rc;
    }
};

void TestSession::init()
{
    const QString error = m_rig.start(kAddress);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_sim = m_rig.sim.get();
    m_ctl = m_rig.ctl;
    m_session = m_rig.session.get();
}

void TestSession::cleanup()
{
    m_rig.stop();
}

void TestSession::opensSessionOverUdp()
{
    QCOMPARE(CZynlib::ZynGetLibVersion(), 360u);
    QVERIFY(m_session->IsValidHandle());
    QCOMPARE(m_session->mode(), int(CZynlib::ModeRaid));
    QCOMPARE(m_session->mtu(), 1400);
    QCOMPARE(m_session->cachedSysInfo().serialNumber(), m_ctl->serial());

    sSYSTEM_INFO info;
    QCOMPARE(m_session->ZynGetSysInfo(&info), 0u);
    QCOMPARE(info.serialNumber(), m_ctl->serial());
    QCOMPARE(Bytes(info.bytes, info.bytes + 256), m_ctl->systemInfo());
    QCOMPARE(m_session->ZynGetSysInfo(nullptr), 6u);

    char identify[64] = {};
    QCOMPARE(m_session->ZynGetIdentifyString(identify), 0u);
    QVERIFY(QByteArray(identify).startsWith("Varnel RAID Subsystem"));
    QCOMPARE(QByteArray(identify + 24, 4), QByteArray("1880"));
    QCOMPARE(m_session->ZynGetIdentifyString(nullptr), 6u);
}

void TestSession::framesOnTheWire()
{
    Bytes reply;
    int length = 0;
    QCOMPARE(cmd(0x13, {}, &reply, 2048, &length), 0u);
    QCOMPARE(length, 64);
    QCOMPARE(cmd(0x7E, {0x07, 0x00}, &reply, 2048, &length), 72u);   // not a command the model knows

    auto chunks = entries(*m_ctl, LogEntry::RxChunk);
    QCOMPARE(chunks.size(), size_t(2));
    QCOMPARE(chunks[0].bytes, (Bytes{0x5E, 0x01, 0x61, 0x01, 0x00, 0x13, 0x14}));
    QCOMPARE(chunks[1].bytes, (Bytes{0x5E, 0x01, 0x61, 0x03, 0x00, 0x7E, 0x07, 0x00, 0x88}));
    auto frames = entries(*m_ctl, LogEntry::RxFrame, 0x7E);
    QCOMPARE(frames.size(), size_t(1));
    QCOMPARE(frames[0].bytes, (Bytes{0x07, 0x00}));
}

void TestSession::jbodEnclosures_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<QByteArray>("identify");
    QTest::newRow("jbod") << int(zynsim::Profile::Jbod) << QByteArray();
    QTest::newRow("6g jbod") << int(zynsim::Profile::Jbod6G) << QByteArray();
    QTest::newRow("other 6g spelling") << int(zynsim::Profile::Jbod) << QByteArray("Varnel JBOD 6G Subsystem");
}

void TestSession::jbodEnclosures()
{
    QFETCH(int, profile);
    QFETCH(QByteArray, identify);
    zynsim::ControllerConfig config;
    config.profile = zynsim::Profile(profile);
    auto jbod = m_sim->addUdpController(kJbodAddress, config);
    QVERIFY(jbod);
    if (!identify.isEmpty()) {
        Bytes data(64, 0);
        std::copy(identify.begin(), identify.end(), data.begin());
        // The probe of init and the session's identify both see it.
        jbod->script(0x13, 2, Answer::data(data));
    }
    u32 rc = 0;
    auto session = udpSession(kJbodAddress, 7890, &rc);
    QCOMPARE(rc, 0u);
    QCOMPARE(session->mode(), int(CZynlib::ModeJbod));
    QCOMPARE(session->cachedSysInfo().serialNumber(), jbod->serial());

    // Raid reads are refused without reaching the enclosure; its own commands go through.
    u8 reply[2048];
    int length = 0;
    u8 raidSet = 0;
    QCOMPARE(session->ZynCmdReadWrite(0x20, &raidSet, 1, reply, sizeof reply, length), 72u);
    QCOMPARE(jbod->framesReceived(0x20), 0);
    QCOMPARE(session->ZynCmdReadWrite(0x14, nullptr, 0, reply, sizeof reply, length), 72u);
    sSYSTEM_INFO info;
    QCOMPARE(session->ZynGetSysInfo(&info), 0u);
    QCOMPARE(jbod->framesReceived(0x23), 2);
}

void TestSession::failedIdentifyKeepsRaidMode()
{
    // The identify fails once at session start: the controller is still a RAID controller.
    m_ctl->script(0x13, 1, Answer::status('H'));
    auto* transport = new EthernetInterface();
    transport->setTimeOut(1);
    QVERIFY(transport->init(kAddress, 7890));
    Session session;
    QCOMPARE(session.ZynInitSession(transport), 0u);
    QCOMPARE(session.mode(), int(CZynlib::ModeRaid));
    u8 raidSet = 0;
    u8 reply[2048];
    int length = 0;
    session.ZynCmdReadWrite(0x20, &raidSet, 1, reply, sizeof reply, length);
    QCOMPARE(m_ctl->framesReceived(0x20), 1);
}

void TestSession::statusReplies_data()
{
    QTest::addColumn<int>("letter");
    QTest::addColumn<uint>("result");
    QTest::newRow("A ok") << 0x41 << 0u;
    QTest::newRow("B") << 0x42 << 66u;
    QTest::newRow("H unsupported") << 0x48 << 72u;
    QTest::newRow("M password") << 0x4D << 8u;
    QTest::newRow("j last letter") << 0x6A << 106u;
}

void TestSession::statusReplies()
{
    QFETCH(int, letter);
    QFETCH(uint, result);
    m_ctl->script(0x23, 1, Answer::status(uint8_t(letter)));
    Bytes reply;
    int length = -1;
    QCOMPARE(cmd(0x23, {}, &reply, 2048, &length), u32(result));
    QCOMPARE(length, 0);
}

void TestSession::pollCounterIsData()
{
    // Seven bytes to 0x19 are the counter, even when the byte looks like a status letter.
    m_ctl->script(0x19, 1, Answer::status('A'));
    Bytes reply;
    int length = 0;
    QCOMPARE(cmd(0x19, {}, &reply, 2048, &length), 0u);
    QCOMPARE(length, 1);
    QCOMPARE(reply[0], uint8_t(0x41));

    // A byte outside the letters is data for any command.
    m_ctl->script(0x23, 1, Answer::data({0x40}));
    QCOMPARE(cmd(0x23, {}, &reply, 2048, &length), 0u);
    QCOMPARE(length, 1);
    QCOMPARE(reply[0], uint8_t(0x40));
}

void TestSession::invalidReplies_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<uint>("result");
    QTest::newRow("bad checksum") << QByteArray::fromHex("5e0161010041ff") << 2u;
    QTest::newRow("bad prefix") << QByteArray::fromHex("5e0162010041424344") << 2u;
    // Five bytes of a declared seven-byte frame: no complete reply in time.
    QTest::newRow("frame never completes") << QByteArray::fromHex("5e01610100") + QByteArray(1, 0x41) << 20u;
}

void TestSession::invalidReplies()
{
    QFETCH(QByteArray, raw);
    QFETCH(uint, result);
    m_ctl->script(0x23, 1, Answer::raw(Bytes(raw.begin(), raw.end())));
    Bytes reply;
    int length = 0;
    QCOMPARE(cmd(0x23, {}, &reply, 2048, &length), u32(result));

    m_ctl->script(0x23, 1, Answer::model());
    Answer bad = Answer::model();
    bad.badChecksum = true;
    m_ctl->script(0x23, 1, bad);
    QCOMPARE(cmd(0x23, {}, &reply, 2048, &length), 0u);
    QCOMPARE(cmd(0x23, {}, &reply, 2048, &length), 2u);
}

void TestSession::resetCountsAsSuccess_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("no reply") << 0;
    QTest::newRow("bad checksum") << 1;
    QTest::newRow("short reply") << 2;
    QTest::newRow("status A") << 3;
}

void TestSession::resetCountsAsSuccess()
{
    QFETCH(int, fault);
    Answer answer = Answer::status('A');
    if (fault == 0)
        answer = Answer::silence();
    else if (fault == 1)
        answer.badChecksum = true;
    else if (fault == 2)
        answer.truncateTo = 4;
    m_ctl->script(0x36, 1, answer);
    Bytes reply;
    int length = 0;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(cmd(0x36, {}, &reply, 10240, &length), 0u);
    QVERIFY(timer.elapsed() < 1000);   // one send, one empty read: no waiting for a reply
    QTRY_COMPARE(m_ctl->framesReceived(0x36), 1);   // the library did not wait for it
}

void TestSession::replyLargerThanCapacity()
{
    Bytes data(300);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i);
    m_ctl->script(0x23, 2, Answer::data(data));
    Bytes reply;
    int length = 0;
    QCOMPARE(cmd(0x23, {}, &reply, 256, &length), 12u);
    QCOMPARE(length, 300);
    QVERIFY(std::all_of(reply.begin(), reply.end(), [](uint8_t b) { return b == 0; }));
    QCOMPARE(cmd(0x23, {}, &reply, 300, &length), 0u);
    QCOMPARE(length, 300);
    QCOMPARE(reply, data);
}

void TestSession::noTransport()
{
    Session session;
    u8 reply[16];
    int length = 5;
    QCOMPARE(session.ZynCmdReadWrite(0x23, nullptr, 0, reply, sizeof reply, length), 17u);
    QCOMPARE(length, 0);
    QCOMPARE(session.ZynInitSession(nullptr), 6u);
    QVERIFY(!session.IsValidHandle());
}

void TestSession::transportRepeats()
{
    auto* transport = new RepeatingTransport();
    transport->setTimeOut(1);
    QVERIFY(transport->init(kAddress, 7890));
    Session session;
    QCOMPARE(session.ZynInitSession(transport), 0u);
    m_ctl->clearLog();

    transport->repeats = 2;
    transport->calls = 0;
    sSYSTEM_INFO info;
    QCOMPARE(session.ZynGetSysInfo(&info), 0u);
    QCOMPARE(transport->calls, 3);
    QCOMPARE(m_ctl->framesReceived(0x23), 1);

    // A transport that never stops asking is given up after three tries.
    transport->repeats = 1000;
    transport->calls = 0;
    QCOMPARE(session.ZynGetSysInfo(&info), 63u);
    QCOMPARE(transport->calls, CZynlib::kMaxTransportRepeats);
}

void TestSession::failedSysInfoKeepsTransport()
{
    m_ctl->script(0x23, 1, Answer::status('O'));
    auto* transport = new EthernetInterface();
    transport->setTimeOut(1);
    QVERIFY(transport->init(kAddress, 7890));
    Session session;
    QCOMPARE(session.ZynInitSession(transport), u32('O'));
    QVERIFY(session.IsValidHandle());
    QCOMPARE(session.ZynGetInterface(), static_cast<ZynInterface*>(transport));
    QVERIFY(session.cachedSysInfo().serialNumber().empty());
}

void TestSession::secondInitReplacesTransport()
{
    auto* second = new EthernetInterface();
    second->setTimeOut(1);
    QVERIFY(second->init(kAddress, 7890));
    QCOMPARE(m_session->ZynInitSession(second), 0u);
    QCOMPARE(m_session->ZynGetInterface(), static_cast<ZynInterface*>(second));
    QCOMPARE(m_session->cachedSysInfo().serialNumber(), m_ctl->serial());
}

void TestSession::callbackSeesEveryExchange()
{
    g_callbacks = 0;
    m_session->ZynSetCallBack(countCallback);
    sSYSTEM_INFO info;
    m_session->ZynGetSysInfo(&info);
    m_ctl->script(0x23, 1, Answer::status('H'));
    m_session->ZynGetSysInfo(&info);
    QCOMPARE(g_callbacks, 2);
}

void TestSession::rawCommand()
{
    // The raw command sends the caller's frame unchanged and hands back the reply frame whole.
    Bytes request = frameOf(0x16, Bytes{'G', 'E', 'T'});
    Bytes answer = replyOf(Bytes{'o', 'k', '!'});
    m_ctl->script(0x16, 2, Answer::raw(answer));
    Bytes reply(64);
    int length = 0;
    QCOMPARE(m_session->ZynCmdReadWrite(0xEE, request.data(), int(request.size()), reply.data(), 64, length), 0u);
    QCOMPARE(length, int(answer.size()));
    QCOMPARE(Bytes(reply.begin(), reply.begin() + length), answer);
    QCOMPARE(entries(*m_ctl, LogEntry::RxChunk).back().bytes, request);

    // Too small a buffer: the transport copies nothing.
    QCOMPARE(m_session->ZynCmdReadWrite(0xEE, request.data(), int(request.size()), reply.data(), 5, length), 12u);
    QCOMPARE(length, 0);
}

void TestSession::payloadBounds()
{
    int length = 0;
    u8 reply[16];
    QCOMPARE(m_session->ZynCmdReadWrite(0x23, nullptr, 3, reply, sizeof reply, length), 6u);
    QCOMPARE(m_session->ZynCmdReadWrite(0x23, reply, -1, reply, sizeof reply, length), 6u);
    Bytes huge(70000);
    QCOMPARE(m_session->ZynCmdReadWrite(0x18, huge.data(), int(huge.size()), reply, sizeof reply, length), 6u);
    QCOMPARE(m_ctl->framesReceived(0x18), 0);
}

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
