// The controller simulator through real loopback sockets (UDP front end) and through its
// driver connections called directly (driver front end), plus its own frame codec.
#include "driverservice.h"
#include "simclient.h"
#include "simframe.h"
#include "setuptable.h"
#include "simulator.h"

#include <iokit/iokit.h>
#include <iokit/userclient_service.h>
#include <iokit/userclient_wire.h>

#include <QtTest>

#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using zynsim::Answer;
using zynsim::Bytes;
using zynsim::ControllerConfig;
using zynsim::FakeController;
using zynsim::LogEntry;
using zynsim::Simulator;
using simtest::UdpClient;

namespace {

const char* const kClientAddress = "127.0.0.200";
constexpr int kWaitMs = 1000;
// A command code the protocol does not have: the model answers 'H' whatever the payload.
constexpr uint8_t kUnmodelled = 0x7E;

using simtest::command;

Bytes status(char letter)
{
    return {0x5E, 0x01, 0x61, 0x01, 0x00, uint8_t(letter), uint8_t(letter + 1)};
}

using simtest::replyData;

Bytes password(const std::string& text)
{
    Bytes field(16, 0);
    field[0] = uint8_t(text.size());
    std::copy(text.begin(), text.end(), field.begin() + 1);
    return field;
}

std::string text(const Bytes& bytes, size_t offset, size_t width)
{
    std::string s;
    for (size_t i = offset; i < offset + width && i < bytes.size() && bytes[i] != 0; ++i)
        s.push_back(char(bytes[i]));
    return s;
}

// The SNMP system name a controller's setup image holds (setup field 75).
std::string systemName(const FakeController& c)
{
    const CFieldInfo* field = gettablefieldinfo(uint8_t(c.setupLayout()), 75);
    return field ? text(c.setupImage(), size_t(field->offset), size_t(field->length)) : std::string();
}

Bytes pattern(size_t size)
{
    Bytes b(size);
    for (size_t i = 0; i < size; ++i)
        b[i] = uint8_t(i * 7 + 3);
    return b;
}

std::vector<size_t> chunkSizes(const FakeController& controller, LogEntry::Kind kind)
{
    std::vector<size_t> sizes;
    for (const LogEntry& e : controller.log())
        if (e.kind == kind)
            sizes.push_back(e.bytes.size());
    return sizes;
}

// Waits for the serving thread to have logged `count` entries of `kind`, ten seconds at most.
bool waitForLog(const FakeController& controller, LogEntry::Kind kind, size_t count)
{
    return QTest::qWaitFor([&] { return chunkSizes(controller, kind).size() >= count; }, 10000);
}

// One driver connection, called directly as the stand-in would.
struct Conn {
    std::unique_ptr<iokit::UserClientConnection> c;

    explicit Conn(zynsim::DriverService& service) : c(service.open()) {}
    iokit::kern_return_t call(uint32_t selector) { return c->scalarCall(selector); }
    // Returns the bytes taken (-1 for a call failure, -2 for the driver's FAIL result).
    int write(const Bytes& bytes)
    {
        zynmsr::TransferRecord r{0, bytes.size(), zynmsr::kDriverTimeout, 0};
        std::vector<uint8_t> data = bytes;
        if (c->structCall(zynmsr::kSelWrite, r, data) != iokit::kIOReturnSuccess)
            return -1;
        return r.result == zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK ? int(r.length) : -2;
    }
    Bytes read(size_t capacity, iokit::kern_return_t* kr = nullptr)
    {
        zynmsr::TransferRecord r{0, capacity, zynmsr::kDriverTimeout, 0};
        std::vector<uint8_t> data;
        const auto result = c->structCall(zynmsr::kSelRead, r, data);
        if (kr)
            *kr = result;
        if (result != iokit::kIOReturnSuccess || r.result != zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK
            || r.length != data.size())
            return {};
        return data;
    }
    // Reads until `size` bytes have come or `ms` passed.
    Bytes readAll(size_t size, int ms = kWaitMs)
    {
        Bytes out;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (out.size() < size && std::chrono::steady_clock::now() < end) {
            const Bytes part = read(4096);
            out.insert(out.end(), part.begin(), part.end());
            if (part.empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return out;
    }
};

} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private:
    // A controller on its own address with an ephemeral port.
    std::shared_ptr<FakeController> udp(Simulator& sim, const char* address,
                                        const ControllerConfig& config = {})
    {
        auto c = sim.addUdpController(address, config, 0);
        if (!c)
            qWarning("cannot serve %s: %s", address, sim.error().c_str());
        return c;
    }
    Bytes ask(UdpClient& client, const char* address, uint16_t port, const Bytes& frame)
    {
        client.send(address, port, frame);
        return client.receiveFrame(kWaitMs);
    }

private slots:
    // --- the simulator's codec ---
    void codecFrames();
    void codecLongForm();
    void codecAssembler();

    // --- UDP front end ---
    void identifyAnswersDiscovery();
    void systemInfoByProfile_data();
    void systemInfoByProfile();
    void distinctSerialsAndAddresses();
    void statusAnswers();
    void reassemblesSplitDatagrams();
    void reassemblesPerSender();
    void dropsStalePartialFrame();
    void largeFramesInDatagrams();
    void scriptsInOrder();
    void scriptForCommandWinsOverAll();
    void faultsOnReplies();
    void delayDoesNotBlockOthers();
    void splitReplyPieces();
    void passwordMode();
    void frameLogAndFile();
    void refusesBusyAddress();

    // --- the zynsim executable ---
    void zynsimAppliesStandardInput();
    void zynsimIdleUnderConnectionFlood_data();
    void zynsimIdleUnderConnectionFlood();
    void zynsimSlotProfiles_data();
    void zynsimSlotProfiles();
    void zynsimPluggedControllerKeepsTheFrameLog();

    // --- driver front end ---
    void driverChunkLimits();
    void driverNotOpenAndClears();
    void driverLock();
    void driverLockKeepsBuffersToHolder_data();
    void driverLockKeepsBuffersToHolder();
    void driverOverlappingExchanges();
    void driverDelayAndSplit();
    void driverWithdrawn();
    void driverThroughInProcessRegistry();
    void driverThroughFolder();

    // --- the web server and the restart through the front ends ---
    void httpPagesOverUdp();
    void httpPiecesPerSender();
    void httpBigPageInLongForm();
    void httpThroughDriver();
    void restartSilenceOverUdp();
};

// --- codec ---

void TestSimulator::codecFrames()
{
    using namespace zynsim::frame;
    QCOMPARE(encodeStatus('A'), status('A'));
    QCOMPARE(encodeCommand(0x23), command(0x23));
    QCOMPARE(encodeCommand(0x13), Bytes({0x5E, 0x01, 0x61, 0x01, 0x00, 0x13, 0x14}));
    const Bytes payload = pattern(300);
    QCOMPARE(encodeCommand(0x52, payload), command(0x52, payload));
    const Bytes data = pattern(1000);
    QCOMPARE(replyData(encodeData(data)), data);
    // The checksum wraps modulo 256 and covers the length bytes.
    const Bytes ff(0x200, 0xFF);
    const Bytes framed = encodeData(ff);
    QCOMPARE(framed.size(), size_t(0x206));
    QCOMPARE(framed.back(), uint8_t((0x00 + 0x02 + 0xFF * 0x200) & 0xFF));
    QVERIFY(isValid(framed));
    Bytes broken = framed;
    broken[100] ^= 1;
    QVERIFY(!isValid(broken));
    QVERIFY(encodeData(Bytes(0x10000)).empty());
}

void TestSimulator::codecLongForm()
{
    using namespace zynsim::frame;
    const std::string page = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";
    const Bytes f = encodeLongForm(page);
    const size_t n = page.size();
    QCOMPARE(f.size(), n + 6);
    QCOMPARE(Bytes(f.begin(), f.begin() + 5), Bytes({0x5E, 0x01, 0x61, 0xFF, 0xFF}));
    QCOMPARE(size_t(f[5] | (f[6] << 8) | (f[7] << 16)), n);
    QCOMPARE(std::string(f.begin() + 8, f.end() - 1), page.substr(3));
    QCOMPARE(f.back(), checksum(f.data(), 3, f.size() - 1));
    QVERIFY(encodeLongForm("HT").empty());
}

void TestSimulator::codecAssembler()
{
    using namespace zynsim::frame;
    Assembler a(64);
    Bytes out;
    // Garbage, a prefix cut after its first two bytes, the rest later.
    const Bytes f1 = command(0x23);
    const Bytes f2 = command(0x52, {1, 2, 3});
    Bytes stream = {0x00, 0x5E, 0x5E, 0x01, 0x00};
    stream.insert(stream.end(), f1.begin(), f1.end());
    stream.insert(stream.end(), f2.begin(), f2.begin() + 2);
    QVERIFY(a.append(stream.data(), stream.size()));
    QVERIFY(a.next(&out));
    QCOMPARE(out, f1);
    QVERIFY(!a.next(&out));
    QCOMPARE(a.pending(), size_t(2));   // "5E 01" waits for the rest of the prefix
    QVERIFY(a.append(f2.data() + 2, f2.size() - 2));
    QVERIFY(a.next(&out));
    QCOMPARE(out, f2);
    // A zero length is no frame: the assembler resynchronises on the frame behind it.
    Bytes zero = {0x5E, 0x01, 0x61, 0x00, 0x00};
    zero.insert(zero.end(), f1.begin(), f1.end());
    QVERIFY(a.append(zero.data(), zero.size()));
    QVERIFY(a.next(&out));
    QCOMPARE(out, f1);
    // Past the limit the buffer is dropped.
    const Bytes big(65, 0x5E);
    QVERIFY(!a.append(big.data(), big.size()));
    QCOMPARE(a.pending(), size_t(0));
}

// --- UDP ---

void TestSimulator::identifyAnswersDiscovery()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.201");
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    QVERIFY(port != 0);
    UdpClient client(kClientAddress);
    QVERIFY(client.ok());
    QVERIFY(client.send("127.0.0.201", port, {0x5E, 0x01, 0x61, 0x01, 0x00, 0x13, 0x14}));
    UdpClient::Datagram d;
    QVERIFY(client.receive(&d, kWaitMs));
    QCOMPARE(d.from, "127.0.0.201:" + std::to_string(port));   // from the controller's own address
    QCOMPARE(d.bytes.size(), size_t(64 + 6));
    const Bytes data = replyData(d.bytes);
    QCOMPARE(data.size(), size_t(64));
    QCOMPARE(text(data, 0, 24), std::string("Varnel RAID Subsystem"));
    QCOMPARE(text(data, 24, 40), std::string("1880"));
    QVERIFY(std::all_of(data.begin() + 28, data.end(), [](uint8_t b) { return b == 0; }));
    QCOMPARE(data, c->identifyString());
}

void TestSimulator::systemInfoByProfile_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("identify");
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("jbod");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("highestEnclosure");
    QTest::addColumn<int>("extendedVolume");
    QTest::addColumn<int>("volumes");     // byte 177 and 188 follow the profile's setup layout
    QTest::addColumn<int>("boardType");
    QTest::newRow("older") << "older" << "Varnel RAID Subsystem" << 1 << 0 << 16 << 0 << 0 << 16 << 0;
    QTest::newRow("enclosure") << "enclosure" << "Varnel RAID Subsystem" << 3 << 0 << 0 << 2 << 1 << 128 << 8;
    QTest::newRow("jbod") << "jbod" << "Varnel JBOD Subsystem" << 3 << 1 << 0 << 1 << 0 << 16 << 8;
    QTest::newRow("jbod6g") << "jbod6g" << "Varnel 6G JBOD Subsystem" << 3 << 1 << 0 << 1 << 0 << 16 << 8;
    QTest::newRow("e100") << "e100" << "Varnel RAID Subsystem" << 1 << 0 << 5 << 0 << 0 << 16 << 0;
}

void TestSimulator::systemInfoByProfile()
{
    QFETCH(QString, profile);
    QFETCH(QString, identify);
    QFETCH(int, family);
    QFETCH(int, jbod);
    QFETCH(int, channels);
    QFETCH(int, highestEnclosure);
    QFETCH(int, extendedVolume);
    QFETCH(int, volumes);
    QFETCH(int, boardType);

    ControllerConfig config;
    QVERIFY(zynsim::profileFromName(profile.toStdString(), &config.profile));
    QCOMPARE(QString::fromStdString(zynsim::profileName(config.profile)), profile);
    config.modelNumber = 1883;
    config.eventRingCapacity = 512;
    config.serial = "Y123456789012345";
    config.firmware = "V1.57 2022-01-02";
    Simulator sim;
    auto c = udp(sim, "127.0.0.202", config);
    QVERIFY(c);
    UdpClient client(kClientAddress);

    const Bytes info = replyData(ask(client, "127.0.0.202", sim.udpPort(c), command(0x23)));
    QCOMPARE(info.size(), size_t(256));
    QCOMPARE(info, c->systemInfo());
    QCOMPARE(text(info, 0, 40), std::string("Varnel Technologies"));
    QCOMPARE(text(info, 40, 16), config.serial);
    QCOMPARE(text(info, 56, 16), config.firmware);
    QVERIFY(!text(info, 72, 16).empty());
    QVERIFY(!text(info, 88, 16).empty());
    QCOMPARE(text(info, 104, 8), std::string(profile == "e100" ? "ZYN-E100" : "ZRC-1883"));
    QCOMPARE(Bytes(info.begin() + 116, info.begin() + 120), Bytes({127, 0, 0, 202}));
    QCOMPARE(uint32_t(info[148] | info[149] << 8 | info[150] << 16 | uint32_t(info[151]) << 24), 512u);
    QCOMPARE(int(info[160]), jbod);
    QCOMPARE(int(info[174]), channels);
    QCOMPARE(int(info[177]), volumes);
    QCOMPARE(int(info[178]), 16);
    QCOMPARE(int(info[179]), 1);
    QCOMPARE(int(info[188]), boardType);
    QCOMPARE(int(info[189]), family);
    QCOMPARE(int(info[193]), highestEnclosure);
    QCOMPARE(int(info[194]), extendedVolume);
    QCOMPARE(text(info, 208, 48), std::string("-1883"));

    const Bytes id = replyData(ask(client, "127.0.0.202", sim.udpPort(c), command(0x13)));
    QCOMPARE(QString::fromStdString(text(id, 0, 24)), identify);
    QCOMPARE(text(id, 24, 40), std::string("1883"));
}

void TestSimulator::distinctSerialsAndAddresses()
{
    iokit::InProcessRegistry registry;
    Simulator sim;
    std::set<std::string> serials;
    std::set<Bytes> macs;
    const char* addresses[] = {"127.0.0.203", "127.0.0.204", "127.0.0.205"};
    for (const char* address : addresses) {
        auto c = udp(sim, address);
        QVERIFY(c);
        // Each controller its own SNMP system name, with where it is served.
        QCOMPARE(systemName(*c), "varnel-raid-" + std::string(address));
        const std::string serial = c->serial();
        QCOMPARE(serial.size(), size_t(16));
        QCOMPARE(serial[0], 'Y');
        QVERIFY(std::all_of(serial.begin() + 1, serial.end(), [](char ch) { return ch >= '0' && ch <= '9'; }));
        serials.insert(serial);
        const Bytes info = c->systemInfo();
        macs.insert(Bytes(info.begin() + 152, info.begin() + 158));
    }
    // Driver controllers too draw from the same counter.
    FakeController plain{ControllerConfig()};
    serials.insert(plain.serial());
    QCOMPARE(serials.size(), size_t(4));
    QCOMPARE(macs.size(), size_t(3));
    QCOMPARE(systemName(plain), std::string("varnel-raid"));
    auto slot = sim.addInProcessController(registry, 2, ControllerConfig());
    QVERIFY(slot);
    QCOMPARE(systemName(*slot), std::string("varnel-raid-slot2"));
    // A configured serial and name are kept, an address of the driver front end is zero.
    ControllerConfig config;
    config.serial = "Y000000000000042";
    config.systemName = "rack 4 left";
    FakeController named(config);
    QCOMPARE(named.serial(), config.serial);
    QCOMPARE(systemName(named), config.systemName);
    const Bytes info = named.systemInfo();
    QCOMPARE(Bytes(info.begin() + 116, info.begin() + 120), Bytes(4, 0));
}

void TestSimulator::statusAnswers()
{
    Simulator sim;
    ControllerConfig config;
    config.resetSilenceMs = 100;
    auto c = udp(sim, "127.0.0.206", config);
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kClientAddress);
    // Unsupported.
    QCOMPARE(ask(client, "127.0.0.206", port, command(kUnmodelled, {1, 2})), status('H'));
    // A complete frame with a wrong checksum.
    Bytes bad = command(0x23);
    bad.back() ^= 0x5A;
    QCOMPARE(ask(client, "127.0.0.206", port, bad), status('L'));
    QCOMPARE(c->framesReceived(0x23), 0);
    // Garbage before a frame is skipped.
    Bytes noisy = {0x01, 0x02, 0x5E, 0x00};
    const Bytes logout = command(0x15);
    noisy.insert(noisy.end(), logout.begin(), logout.end());
    QCOMPARE(ask(client, "127.0.0.206", port, noisy), status('A'));
    // Reset: no answer at all; the controller serves again after its restart.
    client.send("127.0.0.206", port, command(0x36));
    QVERIFY(client.quiet(200));
    QCOMPARE(c->framesReceived(0x36), 1);
    QCOMPARE(replyData(ask(client, "127.0.0.206", port, command(0x13))).size(), size_t(64));
}

void TestSimulator::reassemblesSplitDatagrams()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.207");
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kClientAddress);
    const Bytes f = command(0x23);
    Bytes first = {0xAA, 0xBB};   // garbage ahead of the prefix
    first.insert(first.end(), f.begin(), f.begin() + 2);
    client.send("127.0.0.207", port, first);
    client.send("127.0.0.207", port, Bytes(f.begin() + 2, f.begin() + 4));
    QVERIFY(client.quiet(50));
    client.send("127.0.0.207", port, Bytes(f.begin() + 4, f.end()));
    QCOMPARE(replyData(client.receiveFrame(kWaitMs)).size(), size_t(256));
    // Two frames in one datagram get two replies.
    Bytes both = command(0x15);
    const Bytes second = command(kUnmodelled);
    both.insert(both.end(), second.begin(), second.end());
    client.send("127.0.0.207", port, both);
    QCOMPARE(client.receiveFrame(kWaitMs), status('A'));
    QCOMPARE(client.receiveFrame(kWaitMs), status('H'));
    QCOMPARE(chunkSizes(*c, LogEntry::RxChunk), (std::vector<size_t>{4, 2, 3, 14}));
}

void TestSimulator::reassemblesPerSender()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.208");
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient a(kClientAddress);
    UdpClient b("127.0.0.209");
    const Bytes fa = command(0x23);
    const Bytes fb = command(0x13);
    // Interleaved halves: each sender's bytes are put together on their own.
    a.send("127.0.0.208", port, Bytes(fa.begin(), fa.begin() + 3));
    b.send("127.0.0.208", port, Bytes(fb.begin(), fb.begin() + 4));
    QVERIFY(waitForLog(*c, LogEntry::RxChunk, 2));
    a.send("127.0.0.208", port, Bytes(fa.begin() + 3, fa.end()));
    b.send("127.0.0.208", port, Bytes(fb.begin() + 4, fb.end()));
    QCOMPARE(replyData(a.receiveFrame(kWaitMs)).size(), size_t(256));
    QCOMPARE(replyData(b.receiveFrame(kWaitMs)).size(), size_t(64));
    QVERIFY(a.quiet(50));
    QVERIFY(b.quiet(50));
    // Two senders on one address differ by port.
    UdpClient a2(kClientAddress);
    a.send("127.0.0.208", port, Bytes(fb.begin(), fb.begin() + 3));
    a2.send("127.0.0.208", port, fa);
    QCOMPARE(replyData(a2.receiveFrame(kWaitMs)).size(), size_t(256));
    a.send("127.0.0.208", port, Bytes(fb.begin() + 3, fb.end()));
    QCOMPARE(replyData(a.receiveFrame(kWaitMs)).size(), size_t(64));
}

void TestSimulator::dropsStalePartialFrame()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.210");
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kClientAddress);
    // Half a frame announcing a long payload, then silence for more than 2 s.
    client.send("127.0.0.210", port, {0x5E, 0x01, 0x61, 0x10, 0x00, 0x52});
    QVERIFY(client.quiet(2300));
    // Had the half stayed, these bytes would complete it and no reply would come.
    QCOMPARE(ask(client, "127.0.0.210", port, command(0x15)), status('A'));
}

void TestSimulator::largeFramesInDatagrams()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.211");
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kClientAddress);
    // A 3000-byte command frame arrives as 1400, 1400 and 200 bytes.
    const Bytes big = command(kUnmodelled, pattern(2993));
    QCOMPARE(big.size(), size_t(3000));
    for (size_t off = 0; off < big.size(); off += 1400)
        client.send("127.0.0.211", port, Bytes(big.begin() + off, big.begin() + std::min(big.size(), off + 1400)));
    QCOMPARE(client.receiveFrame(kWaitMs), status('H'));
    QCOMPARE(chunkSizes(*c, LogEntry::RxChunk), (std::vector<size_t>{1400, 1400, 200}));
    QCOMPARE(c->framesReceived(kUnmodelled), 1);
    QCOMPARE(c->log()[3].bytes, Bytes(big.begin() + 6, big.end() - 1));   // RxFrame payload

    // A long reply leaves in datagrams of at most 1400 bytes.
    const Bytes data = pattern(5000);
    c->script(0x20, 1, Answer::data(data));
    std::vector<size_t> sizes;
    client.send("127.0.0.211", port, command(0x20));
    QCOMPARE(replyData(client.receiveFrame(kWaitMs, &sizes)), data);
    QCOMPARE(sizes, (std::vector<size_t>{1400, 1400, 1400, 806}));
    QVERIFY(waitForLog(*c, LogEntry::TxChunk, 5));
}

void TestSimulator::scriptsInOrder()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.212");
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kClientAddress);
    const char* ip = "127.0.0.212";
    c->script(0x23, 2, Answer::status('G'));
    c->script(0x23, 1, Answer::data({1, 2, 3}));
    c->script(0x23, 1, Answer::raw({0xDE, 0xAD}));
    c->script(0x23, 1, Answer::silence());
    c->script(0x23, 1, Answer::model());
    QCOMPARE(ask(client, ip, port, command(0x23)), status('G'));
    QCOMPARE(ask(client, ip, port, command(0x23)), status('G'));
    QCOMPARE(replyData(ask(client, ip, port, command(0x23))), Bytes({1, 2, 3}));
    client.send(ip, port, command(0x23));
    UdpClient::Datagram d;
    QVERIFY(client.receive(&d, kWaitMs));
    QCOMPARE(d.bytes, Bytes({0xDE, 0xAD}));
    client.send(ip, port, command(0x23));
    QVERIFY(client.quiet(200));
    QCOMPARE(replyData(ask(client, ip, port, command(0x23))).size(), size_t(256));   // Model
    QCOMPARE(replyData(ask(client, ip, port, command(0x23))).size(), size_t(256));   // scripts used up
    // A script for one payload lets the command's other frames pass to the model.
    Answer onlyRaidSet1 = Answer::status('G');
    onlyRaidSet1.payloadPrefix = {1};
    const Bytes raidSet0 = ask(client, ip, port, command(0x20, {0}));
    const Bytes raidSet1 = ask(client, ip, port, command(0x20, {1}));
    c->script(0x20, 1, onlyRaidSet1);
    QCOMPARE(ask(client, ip, port, command(0x20, {0})), raidSet0);
    QCOMPARE(ask(client, ip, port, command(0x20, {1})), status('G'));
    QCOMPARE(ask(client, ip, port, command(0x20, {1})), raidSet1);
    // Other commands were never affected; clearScripts drops what is left.
    c->script(0x13, 5, Answer::status('T'));
    QCOMPARE(ask(client, ip, port, command(0x15)), status('A'));
    QCOMPARE(ask(client, ip, port, command(0x13)), status('T'));
    c->clearScripts();
    QCOMPARE(replyData(ask(client, ip, port, command(0x13))).size(), size_t(64));
}

void TestSimulator::scriptForCommandWinsOverAll()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.212");
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kClientAddress);
    const char* ip = "127.0.0.212";
    c->scriptAll(2, Answer::status('T'));
    c->script(0x13, 1, Answer::status('G'));
    QCOMPARE(ask(client, ip, port, command(0x13)), status('G'));   // specific first
    QCOMPARE(ask(client, ip, port, command(0x13)), status('T'));   // then the general one
    QCOMPARE(ask(client, ip, port, command(0x23)), status('T'));
    QCOMPARE(ask(client, ip, port, command(0x15)), status('A'));   // all used up
}

void TestSimulator::faultsOnReplies()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.213");
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kClientAddress);
    const char* ip = "127.0.0.213";

    Answer bad = Answer::model();
    bad.badChecksum = true;
    c->script(0x15, 1, bad);
    Bytes expected = status('A');
    expected.back() ^= 0xFF;
    QCOMPARE(ask(client, ip, port, command(0x15)), expected);

    Answer cut = Answer::model();
    cut.truncateTo = 100;
    c->script(0x23, 1, cut);
    client.send(ip, port, command(0x23));
    UdpClient::Datagram d;
    QVERIFY(client.receive(&d, kWaitMs));
    QCOMPARE(d.bytes.size(), size_t(100));
    QCOMPARE(Bytes(d.bytes.begin(), d.bytes.begin() + 5), Bytes({0x5E, 0x01, 0x61, 0x00, 0x01}));
    QVERIFY(client.quiet(100));

    // Faults apply to scripted answers as well; TxFrame logs what was sent.
    Answer both = Answer::data(pattern(20));
    both.badChecksum = true;
    both.truncateTo = 10;
    c->clearLog();
    c->script(0x20, 1, both);
    client.send(ip, port, command(0x20));
    QVERIFY(client.receive(&d, kWaitMs));
    QCOMPARE(d.bytes.size(), size_t(10));
    QVERIFY(waitForLog(*c, LogEntry::TxFrame, 1));
    QCOMPARE(chunkSizes(*c, LogEntry::TxFrame), std::vector<size_t>{10});
}

void TestSimulator::delayDoesNotBlockOthers()
{
    Simulator sim;
    auto slow = udp(sim, "127.0.0.214");
    auto fast = udp(sim, "127.0.0.215");
    QVERIFY(slow && fast);
    UdpClient client(kClientAddress);
    Answer late = Answer::model();
    late.delayMs = 400;
    slow->script(0x15, 1, late);
    const auto start = std::chrono::steady_clock::now();
    client.send("127.0.0.214", sim.udpPort(slow), command(0x15));
    client.send("127.0.0.215", sim.udpPort(fast), command(0x13));
    UdpClient::Datagram first, second;
    QVERIFY(client.receive(&first, kWaitMs));
    QVERIFY(client.receive(&second, kWaitMs));
    QCOMPARE(first.from, "127.0.0.215:" + std::to_string(sim.udpPort(fast)));
    QVERIFY(first.when - start < std::chrono::milliseconds(300));
    QCOMPARE(second.bytes, status('A'));
    QVERIFY(second.when - start >= std::chrono::milliseconds(400));
}

void TestSimulator::splitReplyPieces()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.216");
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kClientAddress);
    const char* ip = "127.0.0.216";

    Answer split = Answer::model();
    split.splitParts = 3;
    split.splitGapMs = 100;
    c->script(0x23, 1, split);
    client.send(ip, port, command(0x23));
    const auto pieces = client.receiveBytes(262, kWaitMs);
    QCOMPARE(pieces.size(), size_t(3));
    QCOMPARE(pieces[0].bytes.size() + pieces[1].bytes.size() + pieces[2].bytes.size(), size_t(262));
    // Each piece the gap after the one before as sent, however late the one before went (a
    // busy receiver may well read two at once).
    QVERIFY(waitForLog(*c, LogEntry::TxChunk, 3));
    std::vector<std::chrono::steady_clock::time_point> sent;
    for (const LogEntry& e : c->log())
        if (e.kind == LogEntry::TxChunk)
            sent.push_back(e.when);
    QCOMPARE(sent.size(), size_t(3));
    QVERIFY(sent[1] - sent[0] >= std::chrono::milliseconds(split.splitGapMs));
    QVERIFY(sent[2] - sent[1] >= std::chrono::milliseconds(split.splitGapMs));
    Bytes joined;
    for (const auto& p : pieces)
        joined.insert(joined.end(), p.bytes.begin(), p.bytes.end());
    QCOMPARE(replyData(joined), c->systemInfo());

    // Pieces longer than a datagram are cut again: 2 pieces of 1503 bytes.
    Answer halves = Answer::data(pattern(3000));
    halves.splitParts = 2;
    c->script(0x20, 1, halves);
    client.send(ip, port, command(0x20));
    std::vector<size_t> sizes;
    QCOMPARE(replyData(client.receiveFrame(kWaitMs, &sizes)), pattern(3000));
    QCOMPARE(sizes, (std::vector<size_t>{1400, 103, 1400, 103}));
}

void TestSimulator::passwordMode()
{
    Simulator sim;
    ControllerConfig config;
    config.password = "secret";
    auto c = udp(sim, "127.0.0.217", config);
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient one(kClientAddress);
    UdpClient other("127.0.0.218");
    const char* ip = "127.0.0.217";

    // Off: nothing asks for a password.
    QCOMPARE(ask(one, ip, port, command(kUnmodelled)), status('H'));
    c->setPasswordRequired(true);
    QVERIFY(c->passwordRequired());
    QCOMPARE(ask(one, ip, port, command(kUnmodelled)), status('M'));
    QCOMPARE(ask(one, ip, port, command(0x36)), status('M'));
    QCOMPARE(ask(one, ip, port, command(0xEE)), status('H'));           // reads never get 'M'
    QCOMPARE(replyData(ask(one, ip, port, command(0x23))).size(), size_t(256));
    QCOMPARE(ask(one, ip, port, command(0x14, password("wrong"))), status('J'));
    QCOMPARE(ask(one, ip, port, command(0x14, password(""))), status('J'));
    QCOMPARE(ask(one, ip, port, command(0x14, {3, 'a', 'b', 'c'})), status('G'));   // not 16 bytes
    Bytes tooLong = password("x");
    tooLong[0] = 16;
    QCOMPARE(ask(one, ip, port, command(0x14, tooLong)), status('G'));
    QVERIFY(!c->loggedIn());
    QCOMPARE(ask(one, ip, port, command(kUnmodelled)), status('M'));

    // The road password works; the log-in belongs to the controller, not the sender.
    QCOMPARE(ask(one, ip, port, command(0x14, password(zynsim::kRoadPassword))), status('A'));
    QVERIFY(c->loggedIn());
    QCOMPARE(ask(other, ip, port, command(kUnmodelled)), status('H'));
    QCOMPARE(ask(other, ip, port, command(0x15)), status('A'));
    QCOMPARE(ask(one, ip, port, command(kUnmodelled)), status('M'));
    // The controller's own password, and a wrong one afterwards does not log out.
    QCOMPARE(ask(one, ip, port, command(0x14, password("secret"))), status('A'));
    QCOMPARE(ask(one, ip, port, command(0x14, password("secreT"))), status('J'));
    QVERIFY(c->loggedIn());
    // Turning the mode on again asks again.
    c->setPasswordRequired(true);
    QCOMPARE(ask(one, ip, port, command(kUnmodelled)), status('M'));

    // Stricter: every command but identify asks, and the log-in lapses.
    c->setLogInForEveryCommand(true, 300);
    QCOMPARE(ask(one, ip, port, command(0x23)), status('M'));
    QCOMPARE(replyData(ask(one, ip, port, command(0x13))).size(), size_t(64));
    QCOMPARE(ask(one, ip, port, command(0x14, password("secret"))), status('A'));
    QCOMPARE(replyData(ask(one, ip, port, command(0x23))).size(), size_t(256));
    QTRY_VERIFY_WITH_TIMEOUT(!c->loggedIn(), 5000);
}

void TestSimulator::frameLogAndFile()
{
    const QString path = QDir::temp().filePath(QString("zynsim-log-%1.txt").arg(QCoreApplication::applicationPid()));
    QFile::remove(path);
    Simulator sim;
    auto c = udp(sim, "127.0.0.219");
    QVERIFY(c);
    QVERIFY(c->setLogFile(path.toStdString()));
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kClientAddress);
    QCOMPARE(ask(client, "127.0.0.219", port, command(0x15)), status('A'));
    QVERIFY(waitForLog(*c, LogEntry::TxChunk, 1));
    const auto log = c->log();
    QCOMPARE(log.size(), size_t(4));
    const std::string via = "udp:127.0.0.219:" + std::to_string(port);
    const std::string peer = "127.0.0.200:" + std::to_string(client.port());
    const LogEntry::Kind kinds[] = {LogEntry::RxChunk, LogEntry::RxFrame, LogEntry::TxFrame, LogEntry::TxChunk};
    for (size_t i = 0; i < 4; ++i) {
        QCOMPARE(log[i].kind, kinds[i]);
        QCOMPARE(log[i].via, via);
        QCOMPARE(log[i].peer, peer);
    }
    QCOMPARE(log[1].command, uint8_t(0x15));
    QVERIFY(log[1].bytes.empty());
    QCOMPARE(log[2].bytes, status('A'));
    QCOMPARE(c->framesReceived(0x15), 1);
    c->clearLog();
    QVERIFY(c->log().empty());
    QCOMPARE(c->framesReceived(0x15), 0);

    std::ifstream in(path.toStdString());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    QCOMPARE(lines.size(), size_t(4));
    QVERIFY(QString::fromStdString(lines[0]).endsWith(QString::fromStdString(
        " " + via + " RxChunk 00 " + peer + " 5E016101001516")));
    QVERIFY(QString::fromStdString(lines[2]).contains(" TxFrame 15 "));
    QVERIFY(QString::fromStdString(lines[2]).endsWith(" 5E016101004142"));
    QFile::remove(path);
}

void TestSimulator::refusesBusyAddress()
{
    Simulator sim;
    auto c = udp(sim, "127.0.0.201");
    QVERIFY(c);
    QVERIFY(!sim.addUdpController("127.0.0.201", {}, sim.udpPort(c)));
    QVERIFY(QString::fromStdString(sim.error()).contains("127.0.0.201"));
    QVERIFY(!sim.addUdpController("127.0.0.301", {}, 0));
    // The first controller still answers; stop() ends serving.
    UdpClient client(kClientAddress);
    QCOMPARE(ask(client, "127.0.0.201", sim.udpPort(c), command(0x15)), status('A'));
    const uint16_t port = sim.udpPort(c);
    sim.stop();
    client.send("127.0.0.201", port, command(0x15));
    QVERIFY(client.quiet(150));
}

// --- zynsim ---

namespace {

// zynsim as a child process with its standard input and output on pipes.
class ZynsimProcess {
public:
    ~ZynsimProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        closeInput();
        if (m_out >= 0)
            ::close(m_out);
    }

    // The executable next to the tests in the build tree; empty when it is not there.
    static std::string path()
    {
        char self[4096];
        const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        if (n <= 0)
            return {};
        std::string dir(self, size_t(n));
        dir.resize(dir.rfind('/'));
        const std::string candidate = dir + "/../sim/zynsim";
        return ::access(candidate.c_str(), X_OK) == 0 ? candidate : std::string();
    }

    // `maxFiles` > 0: the child's limit of open files (as `ulimit -n` sets it).
    bool start(const std::vector<std::string>& args, rlim_t maxFiles = 0)
    {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0)
            return false;
        if (::pipe2(out, O_CLOEXEC) != 0) {
            ::close(in[0]);
            ::close(in[1]);
            return false;
        }
        const std::string program = path();
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            const rlimit files{maxFiles, maxFiles};
            if (maxFiles > 0 && ::setrlimit(RLIMIT_NOFILE, &files) != 0)
                ::_exit(126);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_in = in[1];
        m_out = out[0];
        return m_pid > 0;
    }

    bool write(const std::string& text)
    {
        return m_in >= 0 && ::write(m_in, text.data(), text.size()) == ssize_t(text.size());
    }
    void closeInput()
    {
        if (m_in >= 0)
            ::close(m_in);
        m_in = -1;
    }

    // The next line of its standard output; empty after timeoutMs without one.
    std::string line(int timeoutMs = 10000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                std::string text = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return text;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()).count();
            pollfd p{m_out, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, int(left)) <= 0)
                return {};
            char chunk[512];
            const ssize_t n = ::read(m_out, chunk, sizeof chunk);
            if (n <= 0)
                return {};
            m_buffer.append(chunk, size_t(n));
        }
    }

    bool running() const { return m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) == 0; }
    pid_t pid() const { return m_pid; }

    // Processor time used so far (user and system), in seconds; -1 when unreadable.
    double cpuSeconds() const
    {
        std::ifstream in("/proc/" + std::to_string(m_pid) + "/stat");
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t end = stat.rfind(')');
        if (end == std::string::npos)
            return -1;
        std::istringstream fields(stat.substr(end + 2));
        std::string field;
        unsigned long long user = 0;
        unsigned long long system = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {   // fields 14 and 15: utime, stime
            if (i == 14)
                user = std::stoull(field);
            if (i == 15)
                system = std::stoull(field);
        }
        return double(user + system) / double(::sysconf(_SC_CLK_TCK));
    }

    // The lowest descriptor number free in the process (-1 when unreadable).
    int lowestFreeDescriptor() const
    {
        const QStringList open = QDir(QString("/proc/%1/fd").arg(m_pid))
                                     .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
        if (open.isEmpty())
            return -1;
        std::set<int> used;
        for (const QString& name : open)
            used.insert(name.toInt());
        int free = 0;
        while (used.count(free))
            ++free;
        return free;
    }

    // Sets the process's limit of open files (soft) to `maxFiles`; false on failure.
    bool limitFiles(rlim_t maxFiles) const
    {
        rlimit now{};
        if (::prlimit(m_pid, RLIMIT_NOFILE, nullptr, &now) != 0)
            return false;
        now.rlim_cur = maxFiles;
        return ::prlimit(m_pid, RLIMIT_NOFILE, &now, nullptr) == 0;
    }

    // A line of /proc/<pid>/status as a number ("Threads"); -1 when missing.
    long status(const std::string& key) const
    {
        std::ifstream in("/proc/" + std::to_string(m_pid) + "/status");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind(key + ":", 0) == 0)
                return std::stol(line.substr(key.size() + 1));
        return -1;
    }

    // Sends `signal` and returns the exit status (-1 when it did not exit normally).
    int stop(int signal)
    {
        ::kill(m_pid, signal);
        int status = 0;
        const pid_t done = ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_buffer;
};

} // namespace

void TestSimulator::zynsimAppliesStandardInput()
{
    if (ZynsimProcess::path().empty())
        QSKIP("zynsim is not built next to the tests");
    std::signal(SIGPIPE, SIG_IGN);
    ZynsimProcess zynsim;
    QVERIFY(zynsim.start({"--udp", "127.0.0.218", "--port", "0", "--layout", "2"}));
    const std::string banner = zynsim.line();
    QVERIFY2(banner.rfind("udp 127.0.0.218:", 0) == 0, banner.c_str());
    const uint16_t port = uint16_t(std::stoi(banner.substr(16)));
    QVERIFY(port != 0);

    QVERIFY(zynsim.write("event 6 30 \"HotSpare\"\n"));
    QCOMPARE(QString::fromStdString(zynsim.line()), QString("ok"));
    QVERIFY(zynsim.write("bogus 1\n# a comment\n"));
    QCOMPARE(QString::fromStdString(zynsim.line()), QString("error: line 1: unknown directive 'bogus'"));
    QCOMPARE(QString::fromStdString(zynsim.line()), QString("ok"));
    QVERIFY(zynsim.write("event 6 31 \"" + std::string(5000, 'x') + "\"\n"));
    QCOMPARE(QString::fromStdString(zynsim.line()), QString("error: line 1: longer than 4096 characters"));
    // The last line needs no newline; the end of the input does not stop the simulator.
    QVERIFY(zynsim.write("event 5 38 \"Last\""));
    zynsim.closeInput();
    QCOMPARE(QString::fromStdString(zynsim.line()), QString("ok"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    QVERIFY(zynsim.running());

    UdpClient client("127.0.0.219");
    const Bytes page = replyData(ask(client, "127.0.0.218", port, command(0x1A, {0})));
    QCOMPARE(page.size(), size_t(16 * sizeof(sEVET_DATA)));
    sEVET_DATA newest;
    sEVET_DATA before;
    std::memcpy(newest.bytes, page.data() + 15 * sizeof(sEVET_DATA), sizeof newest.bytes);
    std::memcpy(before.bytes, page.data() + 14 * sizeof(sEVET_DATA), sizeof before.bytes);
    QCOMPARE(newest.name(), std::string("Last"));
    QCOMPARE(int(newest.eventClass()), 5);
    QCOMPARE(before.name(), std::string("HotSpare"));
    QCOMPARE(int(before.code()), 30);
    // --layout 2: board type 8, 128 volume numbers.
    const Bytes info = replyData(ask(client, "127.0.0.218", port, command(0x23)));
    QCOMPARE(info.size(), size_t(256));
    QCOMPARE(int(info[188]), 8);
    QCOMPARE(int(info[177]), 128);

    QCOMPARE(zynsim.stop(SIGTERM), 0);
    QCOMPARE(QString::fromStdString(zynsim.line()), QString("stopped (SIGTERM)"));
}

namespace {

// A connection to a Unix-domain socket; connect() waits at most `timeoutMs` for room in the
// listener's backlog. -1 on failure.
int connectUnix(const std::string& path, int timeoutMs)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::snprintf(a.sun_path, sizeof a.sun_path, "%s", path.c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// True when the far end has hung up on `fd` (nothing was sent on it).
bool hungUp(int fd)
{
    pollfd p{fd, POLLIN, 0};
    char byte;
    return ::poll(&p, 1, 0) == 1 && ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
}

// One call over the stand-in's stream; the reply's result, or 1 when the stream failed.
iokit::kern_return_t streamCall(int fd, uint32_t kind, uint32_t selector, const Bytes& data = {},
                                Bytes* replyBytes = nullptr, uint64_t capacity = 0)
{
    iokit::wire::Request request;
    request.kind = kind;
    request.selector = selector;
    request.record = {0, data.empty() ? capacity : data.size(), zynmsr::kDriverTimeout, 0};
    request.data = data;
    iokit::wire::Reply reply;
    if (!iokit::wire::sendRequest(fd, request) || !iokit::wire::readReply(fd, &reply))
        return 1;
    if (replyBytes)
        *replyBytes = reply.data;
    return reply.result;
}

} // namespace

void TestSimulator::zynsimIdleUnderConnectionFlood_data()
{
    // maxFiles: the limit of open files zynsim starts with (0: inherited). starve: once
    // started, its limit is lowered to the descriptors it has open, so that no accept succeeds
    // (it comes back before the flood goes). held: the connections served at once.
    QTest::addColumn<int>("maxFiles");
    QTest::addColumn<bool>("starve");
    QTest::addColumn<int>("held");
    QTest::newRow("64 descriptors, more than the connection bound")
        << 64 << false << int(iokit::kMaxConnectionsPerService);
    QTest::newRow("no descriptor left") << 0 << true << 0;
}

// A flood of idle connections costs neither processor time nor a thread each, and the driver
// serves again once the flood has gone.
void TestSimulator::zynsimIdleUnderConnectionFlood()
{
    QFETCH(int, maxFiles);
    QFETCH(bool, starve);
    QFETCH(int, held);
    if (ZynsimProcess::path().empty())
        QSKIP("zynsim is not built next to the tests");
    std::signal(SIGPIPE, SIG_IGN);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ZynsimProcess zynsim;
    QVERIFY(zynsim.start({"--slots", "1", "--driver-dir", dir.path().toStdString()}, rlim_t(maxFiles)));
    const std::string banner = zynsim.line();
    QVERIFY2(banner.rfind("driver ", 0) == 0, banner.c_str());
    const QStringList sockets = QDir(dir.path()).entryList({"*.sock"}, QDir::System);
    QCOMPARE(sockets.size(), 1);
    const std::string path = dir.filePath(sockets.front()).toStdString();
    rlimit files{};
    QCOMPARE(::prlimit(zynsim.pid(), RLIMIT_NOFILE, nullptr, &files), 0);
    if (starve) {
        const int lowestFree = zynsim.lowestFreeDescriptor();
        QVERIFY(lowestFree > 0);
        QVERIFY(zynsim.limitFiles(rlim_t(lowestFree)));
    }

    const int floodSize = 200;
    std::vector<int> flood;
    for (int i = 0; i < floodSize; ++i) {
        const int fd = connectUnix(path, 10000);
        QVERIFY2(fd >= 0, qPrintable(QString("connection %1: %2").arg(i).arg(std::strerror(errno))));
        flood.push_back(fd);
    }
    // Every connection beyond what can be served is closed at once.
    const long limit = long(iokit::kMaxConnectionsPerService);
    auto open = [&] { return floodSize - long(std::count_if(flood.begin(), flood.end(), hungUp)); };
    QTRY_COMPARE_WITH_TIMEOUT(open(), long(held), 10000);
    QVERIFY2(zynsim.status("Threads") <= limit + 8, qPrintable(QString::number(zynsim.status("Threads"))));

    // Idle: well under a third of one core over two seconds (a spinning accept takes all of it).
    const double before = zynsim.cpuSeconds();
    QElapsedTimer window;
    window.start();
    while (window.elapsed() < 2000)
        QTest::qSleep(100);
    const double used = zynsim.cpuSeconds() - before;
    const double share = used / (double(window.elapsed()) / 1000.0);
    QVERIFY2(before >= 0 && share < 0.3, qPrintable(QString("%1 of a core").arg(share)));

    if (starve)
        QVERIFY(zynsim.limitFiles(files.rlim_cur));
    for (int fd : flood)
        ::close(fd);
    // A new client is served (once the driver has seen the flood go).
    Bytes reply;
    bool served = false;
    auto serveNewClient = [&] {
        const int fd = served ? -1 : connectUnix(path, 2000);
        if (fd >= 0) {
            served = streamCall(fd, iokit::wire::kScalarCall, zynmsr::kSelOpen) == iokit::kIOReturnSuccess
                && streamCall(fd, iokit::wire::kScalarCall, zynmsr::kSelAcquireLock) == iokit::kIOReturnSuccess
                && streamCall(fd, iokit::wire::kStructCall, zynmsr::kSelWrite, command(0x13)) == iokit::kIOReturnSuccess
                && streamCall(fd, iokit::wire::kStructCall, zynmsr::kSelRead, {}, &reply, 4096) == iokit::kIOReturnSuccess;
            ::close(fd);
        }
        return served;
    };
    QTRY_VERIFY_WITH_TIMEOUT(serveNewClient(), 10000);
    QVERIFY2(!replyData(reply).empty(), qPrintable(QByteArray(reinterpret_cast<const char*>(reply.data()), int(reply.size())).toHex()));
    QCOMPARE(zynsim.stop(SIGTERM), 0);
}

void TestSimulator::zynsimSlotProfiles_data()
{
    // args after --driver-dir; the banner's family by slot (empty: zynsim refuses the options,
    // with exit code 2).
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("families");
    QTest::newRow("per slot, others by --profile")
        << QStringList{"--slots", "3", "--slot-profile", "0:older", "--slot-profile", "2:jbod", "--profile", "enclosure"}
        << QStringList{"older", "enclosure", "jbod"};
    QTest::newRow("the last word for a slot wins")
        << QStringList{"--slots", "2", "--slot-profile", "1:older", "--profile", "older", "--slot-profile", "1:enclosure"}
        << QStringList{"older", "enclosure"};
    QTest::newRow("slot beyond --slots") << QStringList{"--slots", "2", "--slot-profile", "2:older"} << QStringList{};
    QTest::newRow("no slot") << QStringList{"--slots", "2", "--slot-profile", "older"} << QStringList{};
    QTest::newRow("unknown family") << QStringList{"--slots", "2", "--slot-profile", "0:newer"} << QStringList{};
    QTest::newRow("negative slot") << QStringList{"--slots", "2", "--slot-profile", "-1:older"} << QStringList{};
    QTest::newRow("slot past the limit") << QStringList{"--slots", "2", "--slot-profile", "256:older"} << QStringList{};
    QTest::newRow("log-in lapse not a number") << QStringList{"--slots", "1", "--login-every", "soon"} << QStringList{};
}

void TestSimulator::zynsimSlotProfiles()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, families);
    if (ZynsimProcess::path().empty())
        QSKIP("zynsim is not built next to the tests");
    std::signal(SIGPIPE, SIG_IGN);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    std::vector<std::string> argv{"--driver-dir", dir.path().toStdString()};
    for (const QString& a : args)
        argv.push_back(a.toStdString());
    ZynsimProcess zynsim;
    QVERIFY(zynsim.start(argv));
    if (families.isEmpty()) {
        QCOMPARE(QString::fromStdString(zynsim.line()), QString());   // ends with nothing served
        QCOMPARE(zynsim.stop(SIGTERM), 2);
        return;
    }
    // Each slot's banner names its family, and the controller behind the slot's socket is of it:
    // the family byte, the board type of the family's layout and the JBOD byte of its system
    // information.
    const std::map<QString, std::array<int, 3>> expected{
        {"older", {1, 0, 0}}, {"enclosure", {sSYSTEM_INFO::kEnclosureFamily, 8, 0}}, {"jbod", {3, 8, 1}}};
    const QRegularExpression banner("^driver (\\S+) slot (\\d+) entry 0x([0-9a-f]+) serial \\S+ profile (\\w+)$");
    for (int slot = 0; slot < families.size(); ++slot) {
        const QString line = QString::fromStdString(zynsim.line());
        const QRegularExpressionMatch m = banner.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(line));
        QCOMPARE(m.captured(2).toInt(), slot);
        QCOMPARE(m.captured(4), families[slot]);
        const int fd = connectUnix(dir.filePath("zynmsr-" + m.captured(3) + ".sock").toStdString(), 5000);
        QVERIFY(fd >= 0);
        Bytes reply;
        const bool asked = streamCall(fd, iokit::wire::kScalarCall, zynmsr::kSelOpen) == iokit::kIOReturnSuccess
            && streamCall(fd, iokit::wire::kScalarCall, zynmsr::kSelAcquireLock) == iokit::kIOReturnSuccess
            && streamCall(fd, iokit::wire::kStructCall, zynmsr::kSelWrite, command(0x23)) == iokit::kIOReturnSuccess;
        QVERIFY(asked);
        // The reply may come in pieces.
        Bytes frame;
        auto readMore = [&] {
            reply.clear();
            if (streamCall(fd, iokit::wire::kStructCall, zynmsr::kSelRead, {}, &reply, 4096) == iokit::kIOReturnSuccess)
                frame.insert(frame.end(), reply.begin(), reply.end());
            return !replyData(frame).empty();
        };
        QTRY_VERIFY_WITH_TIMEOUT(readMore(), 10000);
        const Bytes info = replyData(frame);
        ::close(fd);
        QCOMPARE(info.size(), size_t(256));
        const std::array<int, 3> seen{info[sSYSTEM_INFO::kFamily], info[sSYSTEM_INFO::kBoardType],
                                      info[sSYSTEM_INFO::kJbodMode]};
        QCOMPARE(seen, expected.at(families[slot]));
    }
    QCOMPARE(zynsim.stop(SIGTERM), 0);
}

// A controller plugged in again writes the frame log the option names, as at start, and the
// run-time changes reach it, not the controller withdrawn before it: its fresh model has the disk
// that the first change took from the old one.
void TestSimulator::zynsimPluggedControllerKeepsTheFrameLog()
{
    if (ZynsimProcess::path().empty())
        QSKIP("zynsim is not built next to the tests");
    std::signal(SIGPIPE, SIG_IGN);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString log = dir.filePath("frames.log");
    ZynsimProcess zynsim;
    QVERIFY(zynsim.start({"--driver-dir", dir.path().toStdString(), "--slots", "1", "--frame-log", log.toStdString()}));
    QVERIFY(QString::fromStdString(zynsim.line()).startsWith("driver "));
    const char* const directives[] = {"remove 0:1\n", "pause 10\n", "unplug 0\n",
                                      "plug 0\n",     "remove 0:1\n", "remove 0:1\n"};
    QStringList answers;
    for (const char* directive : directives) {
        QVERIFY(zynsim.write(directive));
        answers << QString::fromStdString(zynsim.line());
    }
    QCOMPARE(answers, (QStringList{"ok", "ok", "ok", "ok", "ok", "error: line 1: no disk in enclosure 0 slot 1"}));
    const int fd = connectUnix(dir.filePath("zynmsr-100000001.sock").toStdString(), 5000);
    QVERIFY(fd >= 0);
    QVERIFY(streamCall(fd, iokit::wire::kScalarCall, zynmsr::kSelOpen) == iokit::kIOReturnSuccess
            && streamCall(fd, iokit::wire::kScalarCall, zynmsr::kSelAcquireLock) == iokit::kIOReturnSuccess
            && streamCall(fd, iokit::wire::kStructCall, zynmsr::kSelWrite, command(0x23)) == iokit::kIOReturnSuccess);
    const auto logged = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly)
               && QString::fromLatin1(file.readAll()).contains(QRegularExpression(" driver:0x100000001 RxFrame 23 "));
    };
    QTRY_VERIFY_WITH_TIMEOUT(logged(), 10000);
    ::close(fd);
    QCOMPARE(zynsim.stop(SIGTERM), 0);
}

// --- driver ---

void TestSimulator::driverChunkLimits()
{
    auto c = std::make_shared<FakeController>(ControllerConfig());
    auto service = std::make_shared<zynsim::DriverService>(c, 0x100000001ull);
    QCOMPARE(service->via(), std::string("driver:0x100000001"));
    Conn conn(*service);
    QVERIFY(conn.c);
    QCOMPARE(conn.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);

    // Nothing to read yet.
    iokit::kern_return_t kr = -1;
    QVERIFY(conn.read(4096, &kr).empty());
    QCOMPARE(kr, iokit::kIOReturnSuccess);

    // A 2000-byte frame goes as 1031 + 969; 1032 bytes at once are refused whole.
    const Bytes big = command(kUnmodelled, pattern(1993));
    QCOMPARE(big.size(), size_t(2000));
    QCOMPARE(conn.write(Bytes(big.begin(), big.begin() + 1032)), -2);
    QCOMPARE(conn.write(Bytes(big.begin(), big.begin() + 1031)), 1031);
    QVERIFY(conn.read(4096).empty());   // not complete yet
    QCOMPARE(conn.write(Bytes(big.begin() + 1031, big.end())), 969);
    QCOMPARE(conn.readAll(7), status('H'));
    QCOMPARE(chunkSizes(*c, LogEntry::RxChunk), (std::vector<size_t>{1031, 969}));
    QCOMPARE(c->framesReceived(kUnmodelled), 1);

    // Reads give at most 1031 bytes and never more than the capacity.
    c->script(0x20, 1, Answer::data(pattern(3000)));
    QCOMPARE(conn.write(command(0x20)), 7);
    Bytes reply;
    std::vector<size_t> sizes;
    const size_t capacities[] = {4096, 100, 1031, 4096, 4096};
    for (size_t capacity : capacities) {
        const Bytes part = conn.read(capacity);
        sizes.push_back(part.size());
        reply.insert(reply.end(), part.begin(), part.end());
    }
    QCOMPARE(sizes, (std::vector<size_t>{1031, 100, 1031, 844, 0}));
    QCOMPARE(replyData(reply), pattern(3000));
    // A bogus record length beyond the bytes handed over is an argument error.
    zynmsr::TransferRecord r{0, 50, zynmsr::kDriverTimeout, 0};
    std::vector<uint8_t> few(10);
    QCOMPARE(conn.c->structCall(zynmsr::kSelWrite, r, few), iokit::kIOReturnBadArgument);
    QCOMPARE(conn.call(zynmsr::kSelWrite), iokit::kIOReturnBadArgument);
    QCOMPARE(conn.call(42), iokit::kIOReturnUnsupported);
}

void TestSimulator::driverNotOpenAndClears()
{
    auto c = std::make_shared<FakeController>(ControllerConfig());
    auto service = std::make_shared<zynsim::DriverService>(c, 0x100000101ull);
    Conn conn(*service);
    QCOMPARE(conn.write(command(0x15)), -1);
    QCOMPARE(conn.call(zynmsr::kSelClose), iokit::kIOReturnNotOpen);
    QCOMPARE(conn.call(zynmsr::kSelAcquireLock), iokit::kIOReturnNotOpen);
    QCOMPARE(conn.call(zynmsr::kSelClearReadBuffer), iokit::kIOReturnNotOpen);
    QCOMPARE(conn.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);

    // A half frame cleared from the write buffer does not spoil the next frame.
    const Bytes sys = command(0x23);
    QCOMPARE(conn.write(Bytes(sys.begin(), sys.begin() + 4)), 4);
    QCOMPARE(conn.call(zynmsr::kSelClearWriteBuffer), iokit::kIOReturnSuccess);
    QCOMPARE(conn.write(command(0x15)), 7);
    QCOMPARE(conn.readAll(7), status('A'));

    // Clearing the read buffer drops replies that are not readable yet, too.
    QCOMPARE(conn.write(command(0x23)), 7);
    Answer late = Answer::model();
    late.delayMs = 100;
    c->script(0x15, 1, late);
    QCOMPARE(conn.write(command(0x15)), 7);
    QCOMPARE(conn.call(zynmsr::kSelClearReadBuffer), iokit::kIOReturnSuccess);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    QVERIFY(conn.read(4096).empty());

    // The buffers belong to the service: a second connection reads what the first caused.
    Conn second(*service);
    QCOMPARE(second.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    QCOMPARE(conn.write(command(0x15)), 7);
    QCOMPARE(second.readAll(7), status('A'));
    // After close, calls need a new open.
    QCOMPARE(conn.call(zynmsr::kSelClose), iokit::kIOReturnSuccess);
    QVERIFY(conn.read(10).empty());
    iokit::kern_return_t kr = 0;
    conn.read(10, &kr);
    QCOMPARE(kr, iokit::kIOReturnNotOpen);
}

void TestSimulator::driverLock()
{
    auto c = std::make_shared<FakeController>(ControllerConfig());
    auto service = std::make_shared<zynsim::DriverService>(c, 0x100000201ull);
    auto a = std::make_unique<Conn>(*service);
    Conn b(*service);
    QCOMPARE(a->call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    QCOMPARE(b.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    QCOMPARE(a->call(zynmsr::kSelAcquireLock), iokit::kIOReturnSuccess);
    QCOMPARE(a->call(zynmsr::kSelAcquireLock), iokit::kIOReturnSuccess);   // held already
    QCOMPARE(b.call(zynmsr::kSelAcquireLock), iokit::kIOReturnBusy);
    QCOMPARE(b.call(zynmsr::kSelReleaseLock), iokit::kIOReturnSuccess);    // not b's: no effect
    QCOMPARE(b.call(zynmsr::kSelAcquireLock), iokit::kIOReturnBusy);
    QCOMPARE(a->call(zynmsr::kSelReleaseLock), iokit::kIOReturnSuccess);
    QCOMPARE(b.call(zynmsr::kSelAcquireLock), iokit::kIOReturnSuccess);
    QCOMPARE(a->call(zynmsr::kSelAcquireLock), iokit::kIOReturnBusy);
    QCOMPARE(b.call(zynmsr::kSelReleaseLock), iokit::kIOReturnSuccess);
    // A holder that goes away without releasing frees the lock; closing alone does not.
    QCOMPARE(a->call(zynmsr::kSelAcquireLock), iokit::kIOReturnSuccess);
    QCOMPARE(a->call(zynmsr::kSelClose), iokit::kIOReturnSuccess);
    QCOMPARE(b.call(zynmsr::kSelAcquireLock), iokit::kIOReturnBusy);
    a.reset();
    QCOMPARE(b.call(zynmsr::kSelAcquireLock), iokit::kIOReturnSuccess);
}

void TestSimulator::driverLockKeepsBuffersToHolder_data()
{
    // Steps "<client>:<call>" of clients a and b on one service, and what each call gave:
    // scalar calls ok/busy/notopen; w15 writes command 0x15, h23 and t23 the head (4 bytes) and
    // tail of command 0x23 (bytes taken or busy); r reads once (A: the status reply 'A', I: the
    // system information reply, -: nothing, busy); gone drops the client's connection.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("results");
    QTest::newRow("intruder reads nothing of the holder's reply")
        << "a:open b:open a:lock a:w15 b:r b:r a:r" << "ok ok ok 7 busy busy A";
    QTest::newRow("intruder writes stay out of the holder's frame")
        << "a:open b:open a:lock a:h23 b:w15 b:t23 a:t23 a:r b:r" << "ok ok ok 4 busy busy 3 I busy";
    QTest::newRow("intruder clears leave both buffers alone")
        << "a:open b:open a:lock a:w15 a:h23 b:cw b:cr a:t23 a:r" << "ok ok ok 7 4 busy busy 3 AI";
    QTest::newRow("intruder not open is told so first")
        << "a:open a:lock b:r b:cr b:open b:r" << "ok ok notopen notopen ok busy";
    QTest::newRow("a closed holder keeps its buffers")
        << "a:open b:open a:lock a:w15 a:close b:r b:lock a:open a:r" << "ok ok ok 7 ok busy busy ok A";
    QTest::newRow("released: the buffers are the service's again")
        << "a:open b:open a:lock a:w15 a:unlock b:r a:w15 b:lock a:r b:r" << "ok ok ok 7 ok A 7 ok busy A";
    QTest::newRow("the holder gone: the next one clears and is served")
        << "a:open b:open a:lock b:h23 a:w15 a:gone b:lock b:cw b:cr b:w15 b:r" << "ok ok ok busy 7 - ok ok ok 7 A";
    QTest::newRow("no holder: what one wrote, another reads")
        << "a:open b:open a:h23 b:t23 a:r b:lock b:r" << "ok ok 4 3 I ok -";
}

// While one connection holds the driver lock, the buffers serve it alone.
void TestSimulator::driverLockKeepsBuffersToHolder()
{
    QFETCH(QString, steps);
    QFETCH(QString, results);
    auto c = std::make_shared<FakeController>(ControllerConfig());
    auto service = std::make_shared<zynsim::DriverService>(c, 0x100000211ull);
    std::map<QString, std::unique_ptr<Conn>> clients;
    clients["a"] = std::make_unique<Conn>(*service);
    clients["b"] = std::make_unique<Conn>(*service);
    const Bytes info = command(0x23);
    const std::map<QString, uint32_t> scalars = {
        {"open", zynmsr::kSelOpen}, {"close", zynmsr::kSelClose}, {"lock", zynmsr::kSelAcquireLock},
        {"unlock", zynmsr::kSelReleaseLock}, {"cw", zynmsr::kSelClearWriteBuffer},
        {"cr", zynmsr::kSelClearReadBuffer}};
    const std::map<QString, Bytes> writes = {
        {"w15", command(0x15)}, {"h23", Bytes(info.begin(), info.begin() + 4)}, {"t23", Bytes(info.begin() + 4, info.end())}};
    auto code = [](iokit::kern_return_t kr) {
        return kr == iokit::kIOReturnSuccess ? QString("ok")
            : kr == iokit::kIOReturnBusy     ? QString("busy")
            : kr == iokit::kIOReturnNotOpen  ? QString("notopen")
                                             : QString::number(uint32_t(kr), 16);
    };
    // The replies in a read, one letter each.
    auto replies = [](Bytes bytes) {
        QString out;
        while (bytes.size() >= 6) {
            const size_t size = (size_t(bytes[3]) | size_t(bytes[4]) << 8) + 6;
            if (size > bytes.size())
                return out + "?";
            const Bytes frame(bytes.begin(), bytes.begin() + long(size));
            out += frame == status('A') ? "A" : size == 262 ? "I" : "?";
            bytes.erase(bytes.begin(), bytes.begin() + long(size));
        }
        return out.isEmpty() ? QString("-") : out;
    };

    QStringList got;
    for (const QString& step : steps.split(' ')) {
        const QString who = step.section(':', 0, 0);
        const QString call = step.section(':', 1);
        std::unique_ptr<Conn>& conn = clients.at(who);
        QVERIFY2(conn, qPrintable(step));
        if (call == "gone") {
            conn.reset();
            got << "-";
        } else if (scalars.count(call)) {
            got << code(conn->call(scalars.at(call)));
        } else if (writes.count(call)) {
            zynmsr::TransferRecord r{0, writes.at(call).size(), zynmsr::kDriverTimeout, 0};
            std::vector<uint8_t> data = writes.at(call);
            const auto kr = conn->c->structCall(zynmsr::kSelWrite, r, data);
            got << (kr == iokit::kIOReturnSuccess ? QString::number(r.length) : code(kr));
            if (kr == iokit::kIOReturnBusy)
                QVERIFY(r.length == 0 && r.result == zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_FAIL);
        } else {
            QCOMPARE(call, QString("r"));
            zynmsr::TransferRecord r{0, 4096, zynmsr::kDriverTimeout, 0};
            std::vector<uint8_t> data;
            const auto kr = conn->c->structCall(zynmsr::kSelRead, r, data);
            got << (kr == iokit::kIOReturnSuccess ? replies(data) : code(kr));
            if (kr == iokit::kIOReturnBusy)
                QVERIFY(r.length == 0 && data.empty() && r.result == zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_FAIL);
        }
    }
    QCOMPARE(got.join(' '), results);
}

void TestSimulator::driverOverlappingExchanges()
{
    auto c = std::make_shared<FakeController>(ControllerConfig());
    auto service = std::make_shared<zynsim::DriverService>(c, 0x100000301ull);
    Conn a(*service);
    auto b = std::make_unique<Conn>(*service);
    // One after the other: no overlap, also with a repeated open.
    QCOMPARE(a.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    QCOMPARE(a.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    QCOMPARE(a.call(zynmsr::kSelClose), iokit::kIOReturnSuccess);
    QCOMPARE(b->call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    QCOMPARE(b->call(zynmsr::kSelClose), iokit::kIOReturnSuccess);
    QCOMPARE(c->overlappingExchanges(), 0);
    // b begins while a is open.
    QCOMPARE(a.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    QCOMPARE(b->call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    QCOMPARE(c->overlappingExchanges(), 1);
    // b goes away while open: its exchange ends with it.
    b.reset();
    QCOMPARE(a.call(zynmsr::kSelClose), iokit::kIOReturnSuccess);
    QCOMPARE(a.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    QCOMPARE(a.call(zynmsr::kSelClose), iokit::kIOReturnSuccess);
    QCOMPARE(c->overlappingExchanges(), 1);
}

void TestSimulator::driverDelayAndSplit()
{
    auto c = std::make_shared<FakeController>(ControllerConfig());
    auto service = std::make_shared<zynsim::DriverService>(c, 0x100000401ull);
    Conn conn(*service);
    QCOMPARE(conn.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);

    Answer late = Answer::model();
    late.delayMs = 150;
    c->script(0x15, 1, late);
    QCOMPARE(conn.write(command(0x15)), 7);
    QCOMPARE(conn.write(command(kUnmodelled)), 7);   // queued behind the late reply
    QVERIFY(conn.read(4096).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(180));
    Bytes both = status('A');
    const Bytes h = status('H');
    both.insert(both.end(), h.begin(), h.end());
    QCOMPARE(conn.read(4096), both);   // one read takes what is readable across replies

    Answer split = Answer::model();
    split.splitParts = 2;
    split.splitGapMs = 120;
    c->script(0x23, 1, split);
    QCOMPARE(conn.write(command(0x23)), 7);
    QCOMPARE(conn.read(4096).size(), size_t(131));
    QVERIFY(conn.read(4096).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    QCOMPARE(conn.read(4096).size(), size_t(131));
    QCOMPARE(chunkSizes(*c, LogEntry::TxChunk), (std::vector<size_t>{14, 131, 131}));
}

void TestSimulator::driverWithdrawn()
{
    auto c = std::make_shared<FakeController>(ControllerConfig());
    auto service = std::make_shared<zynsim::DriverService>(c, 0x100000501ull);
    Conn conn(*service);
    QCOMPARE(conn.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    service->withdraw();
    QCOMPARE(conn.call(zynmsr::kSelClearReadBuffer), iokit::kIOReturnInvalidConnection);
    iokit::kern_return_t kr = 0;
    conn.read(10, &kr);
    QCOMPARE(kr, iokit::kIOReturnInvalidConnection);
    QVERIFY(!service->open());
}

namespace {

// Entry ids of the services the stand-in matches, in registry order; `first` gets the first
// service (a reference the caller releases).
std::vector<uint64_t> matchedServices(iokit::io_service_t* first = nullptr)
{
    using namespace iokit;
    io_iterator_t it = 0;
    std::vector<uint64_t> ids;
    if (IOServiceGetMatchingServices(kIOMasterPortDefault, IOServiceMatching(zynmsr::kServiceClass), &it)
        != kIOReturnSuccess)
        return ids;
    while (io_service_t s = IOIteratorNext(it)) {
        uint64_t id = 0;
        IORegistryEntryGetRegistryEntryID(s, &id);
        ids.push_back(id);
        if (first && *first == IO_OBJECT_NULL)
            *first = s;
        else
            IOObjectRelease(s);
    }
    IOObjectRelease(it);
    return ids;
}

// Opens `service` through the stand-in, sends 0x13 and returns the reply frame.
Bytes identifyThroughStandIn(iokit::io_service_t service, iokit::io_connect_t* connect)
{
    using namespace iokit;
    if (IOServiceOpen(service, mach_task_self(), 0, connect) != kIOReturnSuccess)
        return {};
    uint32_t outCount = 0;
    if (IOConnectCallScalarMethod(*connect, zynmsr::kSelOpen, nullptr, 0, nullptr, &outCount) != kIOReturnSuccess)
        return {};
    const Bytes frame = command(0x13);
    zynmsr::TransferRecord out{reinterpret_cast<uintptr_t>(frame.data()), frame.size(), zynmsr::kDriverTimeout, 0};
    size_t size = sizeof out;
    if (IOConnectCallStructMethod(*connect, zynmsr::kSelWrite, &out, sizeof out, &out, &size) != kIOReturnSuccess
        || out.result != zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK)
        return {};
    Bytes reply(4096);
    zynmsr::TransferRecord in{reinterpret_cast<uintptr_t>(reply.data()), reply.size(), zynmsr::kDriverTimeout, 0};
    size = sizeof in;
    if (IOConnectCallStructMethod(*connect, zynmsr::kSelRead, &in, sizeof in, &in, &size) != kIOReturnSuccess)
        return {};
    reply.resize(size_t(std::min<uint64_t>(in.length, reply.size())));
    return reply;
}

} // namespace

void TestSimulator::driverThroughInProcessRegistry()
{
    using namespace iokit;
    InProcessRegistry registry;
    Simulator sim;
    ControllerConfig config;
    config.modelNumber = 1883;
    QVERIFY(!sim.addInProcessController(0, config));   // no registry known yet
    auto c0 = sim.addInProcessController(registry, 0, config);
    auto c1 = sim.addInProcessController(1, config);   // the registry given before
    QVERIFY(c0 && c1);
    QVERIFY(!sim.addInProcessController(1, config));   // entry id taken

    io_service_t first = IO_OBJECT_NULL;
    QCOMPARE(matchedServices(&first), (std::vector<uint64_t>{0x100000001ull, 0x100000101ull}));
    char parent[kNameSize] = {};
    QCOMPARE(IORegistryEntryGetParentName(first, parent), kIOReturnSuccess);
    QCOMPARE(std::string(parent), std::string("Varnel1883"));
    io_connect_t connect = 0;
    QCOMPARE(replyData(identifyThroughStandIn(first, &connect)), c0->identifyString());
    IOObjectRelease(first);
    QCOMPARE(c1->framesReceived(0x13), 0);

    // Withdrawn: the connection's calls fail, the service is no longer matched.
    sim.removeDriverController(c0);
    uint32_t outCount = 0;
    QVERIFY(IOConnectCallScalarMethod(connect, zynmsr::kSelClearReadBuffer, nullptr, 0, nullptr, &outCount)
            != kIOReturnSuccess);
    IOServiceClose(connect);
    QCOMPARE(matchedServices(), std::vector<uint64_t>{0x100000101ull});
    sim.stop();   // before the registry goes
}

void TestSimulator::driverThroughFolder()
{
    using namespace iokit;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string folder = dir.path().toStdString();
    qputenv("ZYNMSR_DRIVER_DIR", dir.path().toLocal8Bit());
    Simulator sim;
    auto c = sim.addDriverController(folder, 2, {});
    QVERIFY(c);
    QVERIFY(QFile::exists(dir.filePath("zynmsr-100000201.service")));
    io_service_t service = IO_OBJECT_NULL;
    QCOMPARE(matchedServices(&service), std::vector<uint64_t>{0x100000201ull});
    io_connect_t connect = 0;
    QCOMPARE(replyData(identifyThroughStandIn(service, &connect)), c->identifyString());
    IOObjectRelease(service);
    QCOMPARE(c->overlappingExchanges(), 0);
    sim.removeDriverController(c);
    QVERIFY(!QFile::exists(dir.filePath("zynmsr-100000201.service")));
    uint32_t outCount = 0;
    QVERIFY(IOConnectCallScalarMethod(connect, zynmsr::kSelClose, nullptr, 0, nullptr, &outCount)
            != kIOReturnSuccess);
    IOServiceClose(connect);
    QVERIFY(matchedServices().empty());
    qunsetenv("ZYNMSR_DRIVER_DIR");
}

// ---------------------------------------------------------------------------------------------
// The web server behind the pass-through and the restart, through the front ends.

namespace {

const char* const kWebController = "127.0.0.216";
const char* const kWebClient = "127.0.0.217";
const char* const kOtherClient = "127.0.0.218";
const char* const kRestartController = "127.0.0.219";

// A request as the client's raw exchange carries it: each piece of at most 1024 bytes framed at
// the start of an mtu-byte region, zero padding up to the next region, the last one unpadded.
std::vector<Bytes> httpRegions(const std::string& request, size_t mtu)
{
    std::vector<Bytes> regions;
    for (size_t at = 0; at < request.size(); at += 1024) {
        const std::string piece = request.substr(at, 1024);
        Bytes region = command(0x16, Bytes(piece.begin(), piece.end()));
        if (at + 1024 < request.size())
            region.resize(mtu, 0);
        regions.push_back(region);
    }
    return regions;
}

// The size of the reply frame that begins with `head` (at least 8 bytes): 0 when unknown.
size_t replyFrameSize(const Bytes& head)
{
    if (head.size() < 8 || head[0] != 0x5E || head[1] != 0x01 || head[2] != 0x61)
        return 0;
    if (head[3] == 0xFF && head[4] == 0xFF)
        return (size_t(head[5]) | size_t(head[6]) << 8 | size_t(head[7]) << 16) + 6;
    return (size_t(head[3]) | size_t(head[4]) << 8) + 6;
}

// The HTTP text of a reply frame in either form; empty when the frame is not one.
std::string httpText(const Bytes& frame)
{
    if (frame.size() < 8 || replyFrameSize(frame) != frame.size())
        return {};
    if (frame[3] == 0xFF && frame[4] == 0xFF)   // the first three characters carry the length
        return "HTT" + std::string(frame.begin() + 8, frame.end() - 1);
    const Bytes data = replyData(frame);
    return std::string(data.begin(), data.end());
}

// The reply frame out of datagrams, either form.
Bytes receiveReply(UdpClient& client, std::vector<size_t>* sizes = nullptr)
{
    Bytes frame;
    UdpClient::Datagram d;
    while (client.receive(&d, kWaitMs)) {
        if (sizes)
            sizes->push_back(d.bytes.size());
        frame.insert(frame.end(), d.bytes.begin(), d.bytes.end());
        const size_t size = replyFrameSize(frame);
        if (size != 0 && frame.size() >= size)
            return frame;
    }
    return frame;
}

// A reply frame in either form through a driver connection.
Bytes readReply(Conn& conn)
{
    Bytes frame = conn.readAll(8);
    const size_t size = replyFrameSize(frame);
    if (size > frame.size()) {
        const Bytes rest = conn.readAll(size - frame.size());
        frame.insert(frame.end(), rest.begin(), rest.end());
    }
    return frame;
}

struct HttpResponse {
    std::string statusLine;
    std::string contentType;
    long contentLength = -1;
    std::string body;
};

HttpResponse parseHttp(const std::string& text)
{
    HttpResponse r;
    const size_t end = text.find("\r\n\r\n");
    if (end == std::string::npos)
        return r;
    r.statusLine = text.substr(0, text.find("\r\n"));
    for (size_t at = text.find("\r\n"); at < end;) {
        const size_t next = text.find("\r\n", at + 2);
        const std::string line = text.substr(at + 2, next - at - 2);
        if (line.rfind("Content-Type: ", 0) == 0)
            r.contentType = line.substr(14);
        if (line.rfind("Content-Length: ", 0) == 0)
            r.contentLength = std::stol(line.substr(16));
        at = next;
    }
    r.body = text.substr(end + 4);
    return r;
}

std::string binaryBody(size_t size)
{
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i)
        body[i] = char(i % 7 == 0 ? 0 : (i * 31) & 0xFF);
    body.replace(100, 3, "\x5E\x01\x61");   // a frame prefix inside the data
    return body;
}

} // namespace

void TestSimulator::httpPagesOverUdp()
{
    Simulator sim;
    auto c = udp(sim, kWebController);
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kWebClient);
    QVERIFY(client.ok());

    const std::string home = "GET / HTTP/1.1\r\nHost: controller\r\n\r\n";
    QVERIFY(client.send(kWebController, port, httpRegions(home, 1400)[0]));
    HttpResponse r = parseHttp(httpText(receiveReply(client)));
    QCOMPARE(r.statusLine, std::string("HTTP/1.1 200 OK"));
    QCOMPARE(r.contentType, std::string("text/html"));
    QCOMPARE(r.contentLength, long(r.body.size()));
    QVERIFY(r.body.find("Varnel RAID controller ZRC-1880") != std::string::npos);
    QCOMPARE(c->lastHttpRequest(), home);

    const std::string missing = "GET /nothing?x=1 HTTP/1.1\r\n\r\n";
    QVERIFY(client.send(kWebController, port, httpRegions(missing, 1400)[0]));
    r = parseHttp(httpText(receiveReply(client)));
    QCOMPARE(r.statusLine, std::string("HTTP/1.1 404 Not Found"));
    QCOMPARE(r.contentLength, long(r.body.size()));

    // The blank line after the headers split across two pieces: the answer waits for the second.
    const std::string split = "GET / HTTP/1.1\r\nX-Pad: " + std::string(998, 'p') + "\r\n\r\n";
    const std::vector<Bytes> regions = httpRegions(split, 1400);
    QCOMPARE(regions.size(), size_t(2));
    QCOMPARE(regions[1].size(), size_t(8));   // one byte of request: the last "\n"
    QVERIFY(client.send(kWebController, port, regions[0]));
    QVERIFY(client.quiet(150));
    QVERIFY(client.send(kWebController, port, regions[1]));
    QCOMPARE(parseHttp(httpText(receiveReply(client))).statusLine, std::string("HTTP/1.1 200 OK"));
    QCOMPARE(c->lastHttpRequest(), split);
}

void TestSimulator::httpPiecesPerSender()
{
    Simulator sim;
    auto c = udp(sim, kWebController);
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient a(kWebClient);
    UdpClient b(kOtherClient);

    // A body of 3000 bytes: four pieces, the first three padded to 1400 bytes.
    const std::string body = binaryBody(3000);
    const std::string post = "POST /echo HTTP/1.1\r\nContent-Type: application/octet-stream\r\ncontent-length:  "
                           + std::to_string(body.size()) + "\r\n\r\n" + body;
    const std::vector<Bytes> regions = httpRegions(post, 1400);
    QCOMPARE(regions.size(), size_t(4));
    for (size_t i = 0; i + 1 < regions.size(); ++i)
        QVERIFY(a.send(kWebController, port, regions[i]));
    QVERIFY(a.quiet(150));
    // Another sender's request meanwhile is its own.
    const std::string other = "POST /echo HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello";
    QVERIFY(b.send(kWebController, port, httpRegions(other, 1400)[0]));
    QCOMPARE(parseHttp(httpText(receiveReply(b))).body, std::string("hello"));
    QVERIFY(a.quiet(50));
    QVERIFY(a.send(kWebController, port, regions.back()));
    const HttpResponse r = parseHttp(httpText(receiveReply(a)));
    QCOMPARE(r.statusLine, std::string("HTTP/1.1 200 OK"));
    QCOMPARE(r.contentType, std::string("application/octet-stream"));
    QCOMPARE(r.contentLength, 3000L);
    QVERIFY(r.body == body);
    QCOMPARE(c->lastHttpRequest(), post);
    QCOMPARE(c->framesReceived(0x16), 5);
}

void TestSimulator::httpBigPageInLongForm()
{
    Simulator sim;
    auto c = udp(sim, kWebController);
    QVERIFY(c);
    UdpClient client(kWebClient);
    QVERIFY(client.send(kWebController, sim.udpPort(c), httpRegions("GET /big HTTP/1.1\r\n\r\n", 1400)[0]));
    std::vector<size_t> sizes;
    const Bytes frame = receiveReply(client, &sizes);
    QVERIFY(frame.size() >= 8);
    QCOMPARE(Bytes(frame.begin(), frame.begin() + 5), (Bytes{0x5E, 0x01, 0x61, 0xFF, 0xFF}));
    const size_t n = size_t(frame[5]) | size_t(frame[6]) << 8 | size_t(frame[7]) << 16;
    QVERIFY(n > 65534);
    QCOMPARE(frame.size(), n + 6);
    QVERIFY(client.quiet(100));   // nothing after the frame
    for (size_t s : sizes)
        QVERIFY(s <= 1400);
    QCOMPARE(frame[8], uint8_t('P'));   // the fourth character of "HTTP/1.1"
    const HttpResponse r = parseHttp(httpText(frame));
    QCOMPARE(r.statusLine, std::string("HTTP/1.1 200 OK"));
    QCOMPARE(r.contentLength, 70000L);
    QCOMPARE(r.body.size(), size_t(70000));
    for (size_t i = 0; i < r.body.size(); ++i)
        QCOMPARE(r.body[i], char('a' + i % 26));
}

void TestSimulator::httpThroughDriver()
{
    auto c = std::make_shared<FakeController>(ControllerConfig());
    auto service = std::make_shared<zynsim::DriverService>(c, 0x100000001ull);
    Conn conn(*service);
    QCOMPARE(conn.call(zynmsr::kSelOpen), iokit::kIOReturnSuccess);
    // Over the driver the regions are the pieces' frames of 1031 bytes, end to end.
    const std::string body = binaryBody(2100);
    const std::string post = "POST /echo HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    const std::vector<Bytes> regions = httpRegions(post, zynmsr::kDriverMTU);
    QCOMPARE(regions.size(), size_t(3));
    for (const Bytes& region : regions) {
        QVERIFY(conn.read(4096).empty());
        QCOMPARE(conn.write(region), int(region.size()));
    }
    QVERIFY(parseHttp(httpText(readReply(conn))).body == body);

    QCOMPARE(conn.write(httpRegions("GET /big HTTP/1.1\r\n\r\n", zynmsr::kDriverMTU)[0]), 28);
    const Bytes frame = readReply(conn);
    QVERIFY(frame.size() >= 8);
    QCOMPARE(int(frame[3]), 0xFF);
    QCOMPARE(parseHttp(httpText(frame)).contentLength, 70000L);
    QCOMPARE(c->lastHttpRequest(), std::string("GET /big HTTP/1.1\r\n\r\n"));
}

void TestSimulator::restartSilenceOverUdp()
{
    Simulator sim;
    ControllerConfig config;
    config.emptyModel = true;
    config.resetSilenceMs = 300;
    auto c = udp(sim, kRestartController, config);
    QVERIFY(c);
    const uint16_t port = sim.udpPort(c);
    UdpClient client(kWebClient);
    const auto reset = std::chrono::steady_clock::now();
    QVERIFY(client.send(kRestartController, port, command(0x36)));
    QVERIFY(client.quiet(100));
    QVERIFY(client.send(kRestartController, port, command(0x13)));
    QVERIFY(client.quiet(100));
    QVERIFY(std::chrono::steady_clock::now() - reset < std::chrono::milliseconds(300));
    QVERIFY(c->events().empty());
    std::this_thread::sleep_until(reset + std::chrono::milliseconds(400));
    QCOMPARE(replyData(ask(client, kRestartController, port, command(0x13))).size(), size_t(64));
    const auto events = c->events();
    QCOMPARE(events.size(), size_t(1));
    QCOMPARE(int(events[0].eventClass()), 5);
    QCOMPARE(int(events[0].code()), 38);
    QCOMPARE(c->framesReceived(0x13), 1);
}

QTEST_APPLESS_MAIN(TestSimulator)
#include "test_simulator.moc"
