// The UDP transport against the simulator on loopback: probing, datagram sizes, joining,
// time-outs, stale, late and foreign datagrams, long-form replies.
#include "simfixture.h"

#include <QtTest>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace simtest;

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(Answer)

namespace {
const char* const kAddress = "127.0.0.20";
const char* const kSilent = "127.0.0.21";
const char* const kStranger = "127.0.0.22";
// How long a datagram or a frame may take to arrive on a machine with every core busy.
constexpr int kArrivalMs = 10000;

// Waits until the simulator has sent `count` reply frames to `command`.
bool waitForReplies(const zynsim::FakeController& controller, int command, size_t count, int ms = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        if (entries(controller, LogEntry::TxFrame, command).size() >= count)
            return true;
        QTest::qSleep(5);
    }
    return false;
}
// The payload-carrying frame of a setup page read: command byte first.
Bytes setupPageRequest(int page)
{
    Bytes request(1 + 31, 0);
    request[0] = 0x1F;
    request[1] = 8;
    const char prefix[] = "PlUmEvOr";
    std::copy(prefix, prefix + 8, request.begin() + 2);
    request[10] = 0x40;
    request[12] = uint8_t(page);
    return request;
}
// Datagrams the simulator has sent since the last frame of `command` arrived.
int chunksOfLastReply(const zynsim::FakeController& controller, int command)
{
    int count = 0;
    for (const LogEntry& e : controller.log()) {
        if (e.kind == LogEntry::RxFrame && e.command == command)
            count = 0;
        else if (e.kind == LogEntry::TxChunk)
            ++count;
    }
    return count;
}
} // namespace

class TestUdp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { fastPolls(); }
    void init();
    void cleanup();

    void probeOfSilentAddressTimesOut();
    void probeAnswered();
    void frameLeavesInDatagramsOfMtu();
    void splitReplyIsJoined_data();
    void splitReplyIsJoined();
    void replyTimeoutFollowsBudget();
    void setupDataExchangeGetsLongBudget();
    void lateReplyIsNotTakenForTheNext();
    void replyAfterTheNextRequestIsLost_data();
    void replyAfterTheNextRequestIsLost();
    void imageReadWithResendsHoldsEveryPage();
    void datagramFromAnotherAddressIsIgnored();
    void longFormReplyArrivesIntact();
    void declaredLengthBeyondScratch();

private:
    UdpRig m_rig;
    zynsim::Simulator* m_sim = nullptr;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    Session* m_session = nullptr;
};

void TestUdp::init()
{
    const QString error = m_rig.start(kAddress);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_sim = m_rig.sim.get();
    m_ctl = m_rig.ctl;
    m_session = m_rig.session.get();
}

void TestUdp::cleanup()
{
    m_rig.stop();
}

void TestUdp::probeOfSilentAddressTimesOut()
{
    EthernetInterface transport;
    QCOMPARE(transport.getTimeOut(), 5);
    transport.setTimeOut(-3);   // ignored
    QCOMPARE(transport.getTimeOut(), 5);
    transport.setTimeOut(1);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!transport.init(kSilent, 7890));
    QVERIFY(timer.elapsed() >= 900);
    QVERIFY(!transport.init("not an address", 7890));
}

void TestUdp::probeAnswered()
{
    EthernetInterface transport;
    transport.setTimeOut(1);
    QVERIFY(transport.init(kAddress, 7890));
    QVERIFY(transport.getDeviceHandle() >= 0);
    QCOMPARE(transport.getMTU(), 1400);
    auto chunks = entries(*m_ctl, LogEntry::RxChunk);
    QCOMPARE(chunks.size(), size_t(1));
    QCOMPARE(chunks[0].bytes, (Bytes{0x5E, 0x01, 0x61, 0x01, 0x00, 0x13, 0x14}));
    // init again: the old socket is closed, the new one answered.
    QVERIFY(transport.init(kAddress, 7890));
}

void TestUdp::frameLeavesInDatagramsOfMtu()
{
    Bytes payload(2993, 0x5A);   // a frame of 3000 bytes
    u8 reply[2048];
    int length = 0;
    QCOMPARE(m_session->ZynCmdReadWrite(0x7A, payload.data(), int(payload.size()), reply, sizeof reply, length), 72u);
    QCOMPARE(chunkSizes(*m_ctl, LogEntry::RxChunk), (std::vector<int>{1400, 1400, 200}));
    auto frames = entries(*m_ctl, LogEntry::RxFrame, 0x7A);
    QCOMPARE(frames.size(), size_t(1));
    QCOMPARE(frames[0].bytes, payload);
}

void TestUdp::splitReplyIsJoined_data()
{
    QTest::addColumn<int>("parts");
    QTest::addColumn<int>("gap");
    QTest::newRow("two datagrams") << 2 << 5;
    // Pieces of two or three bytes: the length is known only after the third datagram.
    QTest::newRow("header split too") << 100 << 0;
}

void TestUdp::splitReplyIsJoined()
{
    QFETCH(int, parts);
    QFETCH(int, gap);
    Answer answer = Answer::model();
    answer.splitParts = parts;
    answer.splitGapMs = gap;
    m_ctl->script(0x23, 1, answer);
    sSYSTEM_INFO info;
    QCOMPARE(m_session->ZynGetSysInfo(&info), 0u);
    QCOMPARE(Bytes(info.bytes, info.bytes + 256), m_ctl->systemInfo());
    // The reply went out in that many datagrams (the log may trail the datagrams a little).
    QTRY_COMPARE(chunksOfLastReply(*m_ctl, 0x23), parts);
}

void TestUdp::replyTimeoutFollowsBudget()
{
    // Time-out 1 s = 100 polls; with 1 ms polls that is about 0.1 s.
    m_ctl->script(0x23, 1, Answer::silence());
    sSYSTEM_INFO info;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(m_session->ZynGetSysInfo(&info), 20u);
    QVERIFY2(timer.elapsed() >= 100, qPrintable(QString::number(timer.elapsed())));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
}

void TestUdp::setupDataExchangeGetsLongBudget()
{
    // A setup-data exchange whose frame byte 15 is 0 may take 6000 polls: a reply after 500 ms
    // still counts, while the same delay times out the ordinary budget of 100 polls.
    Answer slow = Answer::status('A');
    slow.delayMs = 500;
    Bytes payload(10, 1);
    payload[9] = 0;   // frame byte 15
    u8 reply[64];
    int length = 0;
    m_ctl->script(0x1F, 1, slow);
    QCOMPARE(m_session->ZynCmdReadWrite(0x1F, payload.data(), 10, reply, sizeof reply, length), 0u);
    payload[9] = 1;
    m_ctl->script(0x1F, 1, slow);
    QCOMPARE(m_session->ZynCmdReadWrite(0x1F, payload.data(), 10, reply, sizeof reply, length), 20u);
}

void TestUdp::lateReplyIsNotTakenForTheNext()
{
    Answer late = Answer::data(Bytes(256, 0xEE));
    late.delayMs = 600;
    m_ctl->script(0x23, 1, late);
    sSYSTEM_INFO info;
    QCOMPARE(m_session->ZynGetSysInfo(&info), 20u);
    // The stale reply goes out while nobody waits for it.
    QVERIFY(waitForReplies(*m_ctl, 0x23, 1, kArrivalMs));
    QTRY_VERIFY_WITH_TIMEOUT(!entries(*m_ctl, LogEntry::TxChunk).empty(), kArrivalMs);
    QCOMPARE(m_session->ZynGetSysInfo(&info), 0u);
    QCOMPARE(Bytes(info.bytes, info.bytes + 256), m_ctl->systemInfo());
}

void TestUdp::replyAfterTheNextRequestIsLost_data()
{
    // The first request's reply is held back until the second request has arrived and then
    // goes out just before the second one's: the reply frame names no request, so only the
    // socket can keep it from being taken for the second's.
    QTest::addColumn<Bytes>("first");
    QTest::addColumn<Answer>("held");
    QTest::addColumn<u32>("firstResult");
    QTest::addColumn<Bytes>("second");
    QTest::addColumn<QString>("expected");   // what the second reply carries

    Answer model = Answer::model();
    model.holdUntilNextFrame = true;
    Answer accepted = Answer::status('A');
    accepted.holdUntilNextFrame = true;
    QTest::newRow("setup page after a timed-out page")
        << setupPageRequest(0) << model << 20u << setupPageRequest(1) << "page 1";
    QTest::newRow("system information after a timed-out page")
        << setupPageRequest(2) << model << 20u << Bytes{0x23} << "system information";
    // A reset need not be answered; when it is, late, the answer is no one's.
    QTest::newRow("system information after a reset answered late")
        << Bytes{0x36} << accepted << 0u << Bytes{0x23} << "system information";
}

void TestUdp::replyAfterTheNextRequestIsLost()
{
    QFETCH(Bytes, first);
    QFETCH(Answer, held);
    QFETCH(u32, firstResult);
    QFETCH(Bytes, second);
    QFETCH(QString, expected);
    const Bytes image = m_ctl->setupImage();
    const Bytes want = expected == "page 1" ? Bytes(image.begin() + 512, image.begin() + 1024) : m_ctl->systemInfo();

    Bytes reply(4096);
    int length = 0;
    m_ctl->script(first[0], 1, held);
    QCOMPARE(m_session->ZynCmdReadWrite(first[0], first.data() + 1, int(first.size()) - 1, reply.data(),
                                        int(reply.size()), length), firstResult);
    QCOMPARE(m_session->ZynCmdReadWrite(second[0], second.data() + 1, int(second.size()) - 1, reply.data(),
                                        int(reply.size()), length), 0u);
    QCOMPARE(Bytes(reply.begin(), reply.begin() + length), want);
    // The held reply did go out, to where the first request came from, before the second one's.
    const auto heldGoesOut = [&] {
        const std::vector<LogEntry> log = m_ctl->log();
        std::string firstPeer;
        Bytes heldReply;
        for (const LogEntry& e : log) {
            if (e.kind == LogEntry::RxFrame && e.command == first[0] && firstPeer.empty())
                firstPeer = e.peer;
            if (e.kind == LogEntry::TxFrame && e.command == first[0] && heldReply.empty())
                heldReply = e.bytes;
        }
        bool heldSent = false;
        for (const LogEntry& e : log) {
            if (e.kind != LogEntry::TxChunk)
                continue;
            if (e.peer == firstPeer && e.bytes == heldReply)
                heldSent = true;
            else if (e.peer != firstPeer)
                return heldSent;   // the second reply's first datagram
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(heldGoesOut(), kArrivalMs);
}

void TestUdp::imageReadWithResendsHoldsEveryPage()
{
    // The whole-image read that a settings file is saved from, through a caller that resends a
    // timed-out command up to three times as the application's command road does. Page 1 is
    // answered late twice: to its first request just after the resend arrives, to the resend
    // just after the third try arrives. Every page must hold its own part of the image.
    struct Resending : Session {
        u32 ZynCmdReadWrite(u8 command, void* payload, int payloadLength, void* reply, int replyCapacity,
                            int& replyLength, u32 flags) override
        {
            u32 rc = 0;
            for (int tries = 3; tries > 0; --tries) {
                rc = Session::ZynCmdReadWrite(command, payload, payloadLength, reply, replyCapacity, replyLength, flags);
                if (rc != 4 && rc != 5 && rc != 19 && rc != 20 && rc != 21)
                    break;
            }
            return rc;
        }
    };
    Resending session;
    auto* transport = new EthernetInterface();
    transport->setTimeOut(1);
    QVERIFY(transport->init(kAddress, 7890));
    QCOMPARE(session.ZynInitSession(transport), 0u);

    Answer late = Answer::model();
    late.holdUntilNextFrame = true;
    m_ctl->script(0x1F, 1, Answer::model());   // page 0
    m_ctl->script(0x1F, 2, late);              // page 1 and its first resend
    Bytes image(0x18000, 0xCC);
    QCOMPARE(session.ZynGetSetupPage(image.data(), int(image.size()), nullptr), 0u);
    const Bytes want = m_ctl->setupImage();
    QCOMPARE(Bytes(image.begin(), image.begin() + std::ptrdiff_t(want.size())), want);
    // Page 1 was asked three times, every other page once, up to the first past the image.
    std::vector<int> pages;
    for (const LogEntry& e : entries(*m_ctl, LogEntry::RxFrame, 0x1F))
        pages.push_back(e.bytes.size() > 11 ? e.bytes[11] : -1);
    std::vector<int> wantPages = {0, 1, 1};
    for (int page = 1; page <= int((want.size() + 511) / 512); ++page)
        wantPages.push_back(page);
    QCOMPARE(pages, wantPages);
}

void TestUdp::datagramFromAnotherAddressIsIgnored()
{
    auto* transport = static_cast<EthernetInterface*>(m_session->ZynGetInterface());
    transport->setTimeOut(2);   // 200 polls: room for the slow reply below even on a busy machine
    sockaddr_in local{};
    socklen_t length = sizeof local;
    QCOMPARE(getsockname(transport->getDeviceHandle(), reinterpret_cast<sockaddr*>(&local), &length), 0);

    Answer slow = Answer::model();
    slow.delayMs = 60;
    m_ctl->script(0x23, 1, slow);

    // Someone else sends a well-formed reply to our port while we wait.
    const int stranger = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, kStranger, &from.sin_addr);
    QCOMPARE(bind(stranger, reinterpret_cast<sockaddr*>(&from), sizeof from), 0);
    sockaddr_in to = local;
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    const Bytes forged = replyOf(Bytes(256, 0x66));
    const int asked = m_ctl->framesReceived(0x23);
    std::thread sender([&] {
        // Sent once our request is in, 60 ms before the real reply.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kArrivalMs);
        while (m_ctl->framesReceived(0x23) == asked && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sendto(stranger, forged.data(), forged.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    });
    sSYSTEM_INFO info;
    const u32 rc = m_session->ZynGetSysInfo(&info);
    sender.join();
    close(stranger);
    QCOMPARE(rc, 0u);
    QCOMPARE(Bytes(info.bytes, info.bytes + 256), m_ctl->systemInfo());
}

void TestUdp::longFormReplyArrivesIntact()
{
    // A web page of 70000 bytes in the long form: FF FF, then the text whose first three bytes
    // carry its length, then one trailer byte.
    QByteArray text = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    while (text.size() < 70000)
        text.append(char('a' + text.size() % 26));
    Bytes frame = {0x5E, 0x01, 0x61, 0xFF, 0xFF};
    frame.insert(frame.end(), text.begin(), text.end());
    frame[5] = uint8_t(text.size() & 0xFF);
    frame[6] = uint8_t((text.size() >> 8) & 0xFF);
    frame[7] = uint8_t((text.size() >> 16) & 0xFF);
    frame.push_back(0x00);
    m_ctl->script(0x16, 1, Answer::raw(frame));

    Bytes request = frameOf(0x16, Bytes{'G', 'E', 'T', ' ', '/'});
    Bytes reply(kZynScratchSize);
    int length = 0;
    QCOMPARE(m_session->ZynCmdReadWrite(0xEE, request.data(), int(request.size()), reply.data(), int(reply.size()), length), 0u);
    QCOMPARE(length, text.size() + 6);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(reply.data()) + 5, text.size()), text);
    for (int size : chunkSizes(*m_ctl, LogEntry::TxChunk))
        QVERIFY(size <= 1400);
}

void TestUdp::declaredLengthBeyondScratch()
{
    // 16 MiB declared: never read past the scratch; the raw caller learns it did not fit.
    Bytes frame = {0x5E, 0x01, 0x61, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'P', '/', '1'};
    frame.resize(3000, 'x');
    m_ctl->script(0x16, 1, Answer::raw(frame));
    Bytes request = frameOf(0x16, Bytes{'G', 'E', 'T'});
    Bytes reply(kZynScratchSize);
    int length = 0;
    QCOMPARE(m_session->ZynCmdReadWrite(0xEE, request.data(), int(request.size()), reply.data(), int(reply.size()), length), 12u);
    // The rest of that reply arrives after the exchange ended; the next send drops it.
    QTRY_COMPARE(chunksOfLastReply(*m_ctl, 0x16), 3);

    // The same reply to a framed command is a receive failure; the session goes on afterwards.
    m_ctl->script(0x23, 1, Answer::raw(frame));
    sSYSTEM_INFO info;
    QCOMPARE(m_session->ZynGetSysInfo(&info), 5u);
    QTRY_COMPARE(chunksOfLastReply(*m_ctl, 0x23), 3);
    QCOMPARE(m_session->ZynGetSysInfo(&info), 0u);
    QCOMPARE(info.serialNumber(), m_ctl->serial());
}

QTEST_GUILESS_MAIN(TestUdp)
#include "test_udp.moc"
