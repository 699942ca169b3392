// The user-client stand-in on its own: discovery in the registry folder and the in-process
// registry, the calls over both, bounds, and the life of connections.
#include "iokit/iokit.h"
#include "iokit/userclient_service.h"
#include "iokit/userclient_wire.h"
#include "iokit/zynmsr.h"
#include "posixfs.h"

#include <QtTest>

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace iokit;
using zynmsr::TransferRecord;

namespace {

// A driver that records its calls and hands written bytes back on reads.
struct DriverState {
    std::mutex mutex;
    std::vector<uint32_t> scalarCalls;
    std::vector<uint8_t> pending;
    int opened = 0;
    int live = 0;
    bool refuse = false;
    int overflow = 0;       // bytes a read gives beyond the capacity (a misbehaving driver)
    uint32_t readResult = zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK;
    int callDelayMs = 0;
    int structCallsBegun = 0;
    std::map<uint32_t, kern_return_t> scalarResults;

    template <typename F>
    void set(F change)
    {
        std::lock_guard<std::mutex> lock(mutex);
        change(*this);
    }
    int liveCount()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return live;
    }
    std::vector<uint32_t> calls()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return scalarCalls;
    }
};

class EchoConnection : public UserClientConnection {
public:
    explicit EchoConnection(std::shared_ptr<DriverState> state) : m_state(std::move(state)) {}
    ~EchoConnection() override
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        --m_state->live;
    }

    kern_return_t scalarCall(uint32_t selector) override
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->scalarCalls.push_back(selector);
        auto it = m_state->scalarResults.find(selector);
        return it == m_state->scalarResults.end() ? kIOReturnSuccess : it->second;
    }

    kern_return_t structCall(uint32_t selector, TransferRecord& record, std::vector<uint8_t>& data) override
    {
        int delay;
        {
            std::lock_guard<std::mutex> lock(m_state->mutex);
            ++m_state->structCallsBegun;
            delay = m_state->callDelayMs;
        }
        if (delay > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        std::lock_guard<std::mutex> lock(m_state->mutex);
        if (record.timeout != zynmsr::kDriverTimeout)
            return kIOReturnBadArgument;
        if (selector == zynmsr::kSelWrite) {
            if (data.size() != record.length)
                return kIOReturnBadArgument;
            m_state->pending.insert(m_state->pending.end(), data.begin(), data.end());
            record.result = zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK;
            return kIOReturnSuccess;
        }
        if (selector == zynmsr::kSelRead) {
            const size_t n = std::min<size_t>(record.length + m_state->overflow, m_state->pending.size());
            data.assign(m_state->pending.begin(), m_state->pending.begin() + long(n));
            m_state->pending.erase(m_state->pending.begin(), m_state->pending.begin() + long(n));
            record.length = n;
            record.result = m_state->readResult;
            return kIOReturnSuccess;
        }
        return kIOReturnUnsupported;
    }

private:
    std::shared_ptr<DriverState> m_state;
};

class EchoService : public UserClientService {
public:
    EchoService() : state(std::make_shared<DriverState>()) {}
    std::unique_ptr<UserClientConnection> open() override
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        if (state->refuse)
            return nullptr;
        ++state->opened;
        ++state->live;
        return std::make_unique<EchoConnection>(state);
    }
    std::shared_ptr<DriverState> state;
};

ServiceInfo info(uint64_t id, int order, const std::string& name = "zynmsr",
                 const std::string& className = zynmsr::kServiceClass)
{
    ServiceInfo i;
    i.className = className;
    i.entryId = id;
    i.name = name;
    i.parentName = "pci" + std::to_string(id);
    i.order = order;
    return i;
}

// The services an iterator yields: entry ids in order; every handle is released.
std::vector<uint64_t> drain(io_iterator_t iterator)
{
    std::vector<uint64_t> ids;
    while (io_service_t s = IOIteratorNext(iterator)) {
        uint64_t id = 0;
        IORegistryEntryGetRegistryEntryID(s, &id);
        ids.push_back(id);
        IOObjectRelease(s);
    }
    IOObjectRelease(iterator);
    return ids;
}

std::vector<uint64_t> matchClass(const char* className = zynmsr::kServiceClass)
{
    io_iterator_t it = 0;
    if (IOServiceGetMatchingServices(kIOMasterPortDefault, IOServiceMatching(className), &it) != kIOReturnSuccess)
        return {};
    return drain(it);
}

// The first service matching `id`, opened; 0 on failure, the open's code in *kr.
io_connect_t openById(uint64_t id, kern_return_t* kr = nullptr)
{
    io_iterator_t it = 0;
    IOServiceGetMatchingServices(kIOMasterPortDefault, IORegistryEntryIDMatching(id), &it);
    io_service_t service = IOIteratorNext(it);
    IOObjectRelease(it);
    io_connect_t connect = 0;
    const kern_return_t rc = service ? IOServiceOpen(service, mach_task_self(), 0, &connect) : kIOReturnNoDevice;
    if (service)
        IOObjectRelease(service);
    if (kr)
        *kr = rc;
    return rc == kIOReturnSuccess ? connect : 0;
}

kern_return_t scalar(io_connect_t c, uint32_t selector)
{
    return IOConnectCallScalarMethod(c, selector, nullptr, 0, nullptr, nullptr);
}

kern_return_t transfer(io_connect_t c, uint32_t selector, void* buffer, uint64_t length, TransferRecord* out)
{
    TransferRecord in{reinterpret_cast<uint64_t>(buffer), length, zynmsr::kDriverTimeout, 0};
    size_t outSize = sizeof *out;
    return IOConnectCallStructMethod(c, selector, &in, sizeof in, out, &outSize);
}

void writeFile(const QString& path, const std::string& text)
{
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

// Connects a raw socket to a published service.
int rawConnect(const std::string& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::snprintf(a.sun_path, sizeof a.sun_path, "%s", path.c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// One call on a raw connection: true when the driver answered it, false when it hung up.
bool answered(int fd)
{
    wire::Request request;
    request.kind = wire::kScalarCall;
    request.selector = zynmsr::kSelOpen;
    wire::Reply reply;
    return wire::sendRequest(fd, request) && wire::readReply(fd, &reply) &&
           reply.result == kIOReturnSuccess;
}

} // namespace

class TestStandIn : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void argumentsAndHandles();
    void folderOrderNamesAndIdMatching();
    void malformedMetadataIsIgnored();
    void folderIsBounded();
    void calls_data();
    void calls();
    void readNeverExceedsCapacity_data();
    void readNeverExceedsCapacity();
    void connectionGoneStaysGone();
    void publisherEndsWhileCallRuns();
    void inProcessRegistryReplacesFolder();
    void connectionLifecycle();
    void refusedAndMissingServices();
    void malformedRequestsDropTheClient();
    void connectionsAreBounded();
    void noThreadClosesTheConnection();
    void publisherSetup();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::string m_folder;
};

void TestStandIn::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->path().toStdString() + "/registry";
    qputenv("ZYNMSR_DRIVER_DIR", QByteArray::fromStdString(m_folder));
    QCOMPARE(driverDirectory(), m_folder);
}

void TestStandIn::cleanup()
{
    m_dir.reset();
}

void TestStandIn::argumentsAndHandles()
{
    mach_port_t master = 99;
    QCOMPARE(IOMasterPort(0, &master), kIOReturnSuccess);
    QCOMPARE(master, kIOMasterPortDefault);
    QVERIFY(!IOServiceMatching(nullptr));
    io_iterator_t it = 7;
    QCOMPARE(IOServiceGetMatchingServices(master, nullptr, &it), kIOReturnBadArgument);
    // Missing folder: nothing found, not an error.
    QCOMPARE(IOServiceGetMatchingServices(master, IOServiceMatching("ZynMSR"), &it), kIOReturnSuccess);
    QVERIFY(it != 0);
    QCOMPARE(IOIteratorNext(it), io_object_t(0));
    QCOMPARE(IOServiceClose(it), kIOReturnBadArgument);   // not a connection: left alone
    QCOMPARE(IOObjectRelease(it), kIOReturnSuccess);
    QCOMPARE(IOObjectRelease(it), kIOReturnBadArgument);
    QCOMPARE(IOIteratorNext(it), io_object_t(0));
    char name[kNameSize];
    QCOMPARE(IORegistryEntryGetName(12345, name), kIOReturnBadArgument);
    QCOMPARE(scalar(0, 0), kIOReturnInvalidConnection);

    qputenv("ZYNMSR_DRIVER_DIR", "");
    QCOMPARE(driverDirectory(), std::string("/run/zynmsr"));
}

void TestStandIn::folderOrderNamesAndIdMatching()
{
    auto service = std::make_shared<EchoService>();
    FolderPublisher a(m_folder, "a", info(10, 2, "first"), service);
    FolderPublisher b(m_folder, "b", info(30, 1, "second"), service);
    FolderPublisher c(m_folder, "c", info(20, 1, std::string(kNameSize - 1, 'n')), service);
    FolderPublisher other(m_folder, "d", info(5, 0, "other", "OtherClass"), service);
    QVERIFY2(a.ok() && b.ok() && c.ok() && other.ok(), a.error().c_str());

    // Order first, entry id breaks ties; other classes stay out.
    QCOMPARE(matchClass(), (std::vector<uint64_t>{20, 30, 10}));
    QCOMPARE(matchClass("OtherClass"), (std::vector<uint64_t>{5}));
    QVERIFY(matchClass("NoSuchClass").empty());

    io_iterator_t it = 0;
    QCOMPARE(IOServiceGetMatchingServices(0, IORegistryEntryIDMatching(5), &it), kIOReturnSuccess);
    io_service_t s = IOIteratorNext(it);
    QVERIFY(s);
    QCOMPARE(IOIteratorNext(it), io_object_t(0));
    char name[kNameSize];
    QCOMPARE(IORegistryEntryGetName(s, name), kIOReturnSuccess);
    QCOMPARE(QByteArray(name), QByteArray("other"));
    QCOMPARE(IORegistryEntryGetParentName(s, name), kIOReturnSuccess);
    QCOMPARE(QByteArray(name), QByteArray("pci5"));
    IOObjectRelease(s);
    IOObjectRelease(it);
    it = 0;
    IOServiceGetMatchingServices(0, IORegistryEntryIDMatching(20), &it);
    s = IOIteratorNext(it);
    QCOMPARE(IORegistryEntryGetName(s, name), kIOReturnSuccess);
    QCOMPARE(QByteArray(name), QByteArray(int(kNameSize - 1), 'n'));
    IOObjectRelease(s);
    IOObjectRelease(it);

    QVERIFY(drain([] { io_iterator_t i = 0; IOServiceGetMatchingServices(0, IORegistryEntryIDMatching(999), &i); return i; }()).empty());
}

void TestStandIn::malformedMetadataIsIgnored()
{
    auto service = std::make_shared<EchoService>();
    FolderPublisher good(m_folder, "good", info(1, 0), service);
    QVERIFY(good.ok());
    const QString dir = QString::fromStdString(m_folder);
    const std::string sock = good.socketPath();
    auto meta = [&](const std::string& id, const std::string& extra) {
        return "class=ZynMSR\nentry_id=" + id + "\nsocket=" + sock + "\n" + extra;
    };
    writeFile(dir + "/big.service", meta("2", "name=" + std::string(5000, 'x') + "\n"));
    writeFile(dir + "/noid.service", "class=ZynMSR\nsocket=" + sock + "\n");
    writeFile(dir + "/badid.service", meta("12abc", ""));
    writeFile(dir + "/negid.service", meta("-3", ""));
    writeFile(dir + "/hugeid.service", meta("99999999999999999999999", ""));
    writeFile(dir + "/twice.service", meta("3", "entry_id=4\n"));
    writeFile(dir + "/noeq.service", meta("5", "garbage line\n"));
    writeFile(dir + "/longname.service", meta("6", "name=" + std::string(200, 'x') + "\n"));
    writeFile(dir + "/ctrl.service", meta("7", std::string("parent=a\x01z\n")));
    writeFile(dir + "/order.service", meta("8", "order=1.5\n"));
    writeFile(dir + "/longsock.service", "class=ZynMSR\nentry_id=9\nsocket=/" + std::string(120, 's') + "\n");
    writeFile(dir + "/noclass.service", "entry_id=10\nsocket=" + sock + "\n");
    QVERIFY(QDir(dir).mkdir("dir.service"));
    QVERIFY(QFile::link(dir + "/target", dir + "/link.service"));
    writeFile(dir + "/target", meta("11", ""));
    // Well formed: relative socket path, CRLF line ends, comments and unknown keys.
    writeFile(dir + "/hand.service", "# by hand\r\nclass=ZynMSR\r\nentry_id=12\r\norder=-1\r\nsocket=good.sock\r\nflavour=x\r\n");
    writeFile(dir + "/not-a-service.txt", meta("13", ""));

    QCOMPARE(matchClass(), (std::vector<uint64_t>{12, 1}));
    kern_return_t kr = 0;
    io_connect_t c = openById(12, &kr);
    QCOMPARE(kr, kIOReturnSuccess);
    QCOMPARE(scalar(c, zynmsr::kSelOpen), kIOReturnSuccess);
    QCOMPARE(IOServiceClose(c), kIOReturnSuccess);
}

void TestStandIn::folderIsBounded()
{
    QVERIFY(posixfs::makeDirectories(m_folder, 0755));
    const QString dir = QString::fromStdString(m_folder);
    for (int i = 0; i < 300; ++i)
        writeFile(dir + QString("/s%1.service").arg(i, 3, 10, QChar('0')),
                  "class=ZynMSR\nentry_id=" + std::to_string(1000 + i) + "\nsocket=/nowhere.sock\n");
    const auto ids = matchClass();
    QCOMPARE(ids.size(), size_t(256));
    QCOMPARE(ids.front(), uint64_t(1000));
    QCOMPARE(ids.back(), uint64_t(1255));
    // Metadata whose socket is missing: found, but cannot be opened.
    kern_return_t kr = 0;
    QCOMPARE(openById(1000, &kr), io_connect_t(0));
    QCOMPARE(kr, kIOReturnNoDevice);
}

void TestStandIn::calls_data()
{
    QTest::addColumn<bool>("inProcess");
    QTest::newRow("folder") << false;
    QTest::newRow("in-process") << true;
}

void TestStandIn::calls()
{
    QFETCH(bool, inProcess);
    auto service = std::make_shared<EchoService>();
    std::unique_ptr<InProcessRegistry> registry;
    std::unique_ptr<FolderPublisher> publisher;
    if (inProcess) {
        registry = std::make_unique<InProcessRegistry>();
        registry->add(info(42, 0), service);
    } else {
        publisher = std::make_unique<FolderPublisher>(m_folder, "zyn0", info(42, 0), service);
        QVERIFY(publisher->ok());
    }
    io_connect_t c = openById(42);
    QVERIFY(c);

    for (uint32_t sel : {0u, 4u, 5u, 6u, 7u, 1u})
        QCOMPARE(scalar(c, sel), kIOReturnSuccess);
    service->state->set([](DriverState& s) { s.scalarResults[6] = kIOReturnBusy; });
    QCOMPARE(scalar(c, 6), kIOReturnBusy);
    QCOMPARE(service->state->calls(), (std::vector<uint32_t>{0, 4, 5, 6, 7, 1, 6}));
    uint64_t in = 1;
    uint32_t count = 5;
    QCOMPARE(IOConnectCallScalarMethod(c, 0, &in, 1, nullptr, &count), kIOReturnBadArgument);
    QCOMPARE(count, 0u);

    // Write carries the caller's bytes; the output record keeps the caller's address.
    std::vector<uint8_t> frame(3000);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 7);
    TransferRecord out{};
    QCOMPARE(transfer(c, zynmsr::kSelWrite, frame.data(), frame.size(), &out), kIOReturnSuccess);
    QCOMPARE(out.result, zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK);
    QCOMPARE(out.length, uint64_t(frame.size()));
    QCOMPARE(out.buffer, reinterpret_cast<uint64_t>(frame.data()));

    // Read it back in two pieces; capacity bounds each.
    std::vector<uint8_t> back(4000, 0xCC);
    QCOMPARE(transfer(c, zynmsr::kSelRead, back.data(), 1031, &out), kIOReturnSuccess);
    QCOMPARE(out.length, uint64_t(1031));
    QCOMPARE(back[1031], uint8_t(0xCC));
    QCOMPARE(transfer(c, zynmsr::kSelRead, back.data() + 1031, 1969 + 500, &out), kIOReturnSuccess);
    QCOMPARE(out.length, uint64_t(1969));
    QVERIFY(std::equal(frame.begin(), frame.end(), back.begin()));
    QCOMPARE(transfer(c, zynmsr::kSelRead, back.data(), 10, &out), kIOReturnSuccess);
    QCOMPARE(out.length, uint64_t(0));

    // Bad shapes never reach the driver.
    TransferRecord rec{reinterpret_cast<uint64_t>(frame.data()), 4, 500, 0};
    size_t outSize = 24;
    QCOMPARE(IOConnectCallStructMethod(c, 2, &rec, 23, &out, &outSize), kIOReturnBadArgument);
    outSize = 16;
    QCOMPARE(IOConnectCallStructMethod(c, 2, &rec, 24, &out, &outSize), kIOReturnBadArgument);
    QCOMPARE(IOConnectCallStructMethod(c, 2, &rec, 24, &out, nullptr), kIOReturnBadArgument);
    QCOMPARE(transfer(c, zynmsr::kSelWrite, frame.data(), kMaxTransferBytes + 1, &out), kIOReturnBadArgument);
    QCOMPARE(transfer(c, zynmsr::kSelWrite, nullptr, 4, &out), kIOReturnBadArgument);
    QCOMPARE(transfer(c, zynmsr::kSelRead, back.data(), kMaxTransferBytes + 1, &out), kIOReturnBadArgument);
    QCOMPARE(transfer(c, 9, nullptr, 0, &out), kIOReturnUnsupported);
    {
        std::lock_guard<std::mutex> lock(service->state->mutex);
        QVERIFY(service->state->pending.empty());
    }

    // The largest write allowed goes through whole.
    std::vector<uint8_t> big(kMaxTransferBytes, 0x5A);
    QCOMPARE(transfer(c, zynmsr::kSelWrite, big.data(), big.size(), &out), kIOReturnSuccess);
    QCOMPARE(out.length, uint64_t(kMaxTransferBytes));
    std::fill(big.begin(), big.end(), 0);
    QCOMPARE(transfer(c, zynmsr::kSelRead, big.data(), big.size(), &out), kIOReturnSuccess);
    QCOMPARE(out.length, uint64_t(kMaxTransferBytes));
    QCOMPARE(big.back(), uint8_t(0x5A));

    QCOMPARE(IOServiceClose(c), kIOReturnSuccess);
    QCOMPARE(IOServiceClose(c), kIOReturnBadArgument);
    QCOMPARE(scalar(c, 0), kIOReturnInvalidConnection);
}

void TestStandIn::readNeverExceedsCapacity_data()
{
    calls_data();
}

void TestStandIn::readNeverExceedsCapacity()
{
    QFETCH(bool, inProcess);
    auto service = std::make_shared<EchoService>();
    std::unique_ptr<InProcessRegistry> registry;
    std::unique_ptr<FolderPublisher> publisher;
    if (inProcess) {
        registry = std::make_unique<InProcessRegistry>();
        registry->add(info(42, 0), service);
    } else {
        publisher = std::make_unique<FolderPublisher>(m_folder, "zyn0", info(42, 0), service);
        QVERIFY(publisher->ok());
    }
    io_connect_t c = openById(42);
    QVERIFY(c);
    std::vector<uint8_t> data(64, 0x11);
    TransferRecord out{};
    QCOMPARE(transfer(c, zynmsr::kSelWrite, data.data(), data.size(), &out), kIOReturnSuccess);
    service->state->set([](DriverState& s) { s.overflow = 8; });
    uint8_t buffer[24];
    std::memset(buffer, 0xEE, sizeof buffer);
    QCOMPARE(transfer(c, zynmsr::kSelRead, buffer, 16, &out), kIOReturnError);
    for (uint8_t b : buffer)
        QCOMPARE(b, uint8_t(0xEE));
    // A well-behaved read afterwards works, and reports the driver's result code.
    service->state->set([](DriverState& s) {
        s.overflow = 0;
        s.readResult = zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_FAIL;
    });
    QCOMPARE(transfer(c, zynmsr::kSelRead, buffer, 16, &out), kIOReturnSuccess);
    QCOMPARE(out.length, uint64_t(16));
    QCOMPARE(out.result, zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_FAIL);
    QCOMPARE(buffer[15], uint8_t(0x11));
    QCOMPARE(buffer[16], uint8_t(0xEE));
    IOServiceClose(c);
}

void TestStandIn::connectionGoneStaysGone()
{
    auto service = std::make_shared<EchoService>();
    auto publisher = std::make_unique<FolderPublisher>(m_folder, "zyn0", info(42, 0), service);
    QVERIFY(publisher->ok());
    io_connect_t c = openById(42);
    QVERIFY(c);
    QCOMPARE(scalar(c, 0), kIOReturnSuccess);
    publisher.reset();
    QCOMPARE(service->state->liveCount(), 0);
    QCOMPARE(scalar(c, 1), kIOReturnInvalidConnection);
    // The service comes back at the same place: the old connection stays dead.
    publisher = std::make_unique<FolderPublisher>(m_folder, "zyn0", info(42, 0), service);
    QVERIFY(publisher->ok());
    uint8_t buffer[8];
    TransferRecord out{};
    QCOMPARE(transfer(c, zynmsr::kSelRead, buffer, sizeof buffer, &out), kIOReturnInvalidConnection);
    QCOMPARE(scalar(c, 0), kIOReturnInvalidConnection);
    QCOMPARE(IOServiceClose(c), kIOReturnSuccess);
    c = openById(42);
    QVERIFY(c);
    QCOMPARE(scalar(c, 0), kIOReturnSuccess);
    QCOMPARE(IOServiceClose(c), kIOReturnSuccess);
}

void TestStandIn::publisherEndsWhileCallRuns()
{
    auto service = std::make_shared<EchoService>();
    service->state->callDelayMs = 100;
    auto publisher = std::make_unique<FolderPublisher>(m_folder, "zyn0", info(42, 0), service);
    QVERIFY(publisher->ok());
    std::vector<io_connect_t> connections;
    for (int i = 0; i < 3; ++i) {
        connections.push_back(openById(42));
        QVERIFY(connections.back());
    }
    std::vector<kern_return_t> results(connections.size(), 0);
    std::vector<std::thread> callers;
    for (size_t i = 0; i < connections.size(); ++i)
        callers.emplace_back([&, i] {
            uint8_t buffer[8];
            TransferRecord out{};
            results[i] = transfer(connections[i], zynmsr::kSelRead, buffer, sizeof buffer, &out);
        });
    // Every call is in the driver when it goes.
    auto begun = [&] {
        std::lock_guard<std::mutex> lock(service->state->mutex);
        return size_t(service->state->structCallsBegun);
    };
    const bool allIn = QTest::qWaitFor([&] { return begun() == connections.size(); }, 10000);
    publisher.reset();   // waits for the calls the driver is in, then ends every connection
    for (auto& t : callers)
        t.join();
    QVERIFY(allIn);
    QCOMPARE(service->state->liveCount(), 0);
    for (size_t i = 0; i < connections.size(); ++i) {
        QVERIFY(results[i] == kIOReturnSuccess || results[i] == kIOReturnInvalidConnection);
        QCOMPARE(scalar(connections[i], 1), kIOReturnInvalidConnection);
        QCOMPARE(IOObjectRelease(connections[i]), kIOReturnSuccess);
    }
}

void TestStandIn::inProcessRegistryReplacesFolder()
{
    auto folderService = std::make_shared<EchoService>();
    FolderPublisher publisher(m_folder, "zyn0", info(1, 0), folderService);
    QVERIFY(publisher.ok());
    QCOMPARE(matchClass(), (std::vector<uint64_t>{1}));
    {
        auto inner = std::make_shared<EchoService>();
        InProcessRegistry registry;
        QVERIFY(matchClass().empty());
        registry.add(info(7, 1), inner);
        registry.add(info(8, 0), inner);
        registry.add(info(9, 0, "x", "OtherClass"), inner);
        QCOMPARE(matchClass(), (std::vector<uint64_t>{8, 7}));
        registry.add(info(8, 5), inner);   // same id again: replaces
        QCOMPARE(matchClass(), (std::vector<uint64_t>{7, 8}));
        registry.remove(7);
        QCOMPARE(matchClass(), (std::vector<uint64_t>{8}));
        QCOMPARE(openById(1), io_connect_t(0));

        io_connect_t c = openById(8);
        QVERIFY(c);
        QCOMPARE(inner->state->liveCount(), 1);
        registry.remove(8);   // an open connection outlives its entry
        QCOMPARE(scalar(c, 0), kIOReturnSuccess);
        QCOMPARE(IOServiceClose(c), kIOReturnSuccess);
        QCOMPARE(inner->state->liveCount(), 0);
    }
    QCOMPARE(matchClass(), (std::vector<uint64_t>{1}));
}

void TestStandIn::connectionLifecycle()
{
    auto service = std::make_shared<EchoService>();
    FolderPublisher publisher(m_folder, "zyn0", info(42, 0), service);
    QVERIFY(publisher.ok());
    auto& state = *service->state;

    io_connect_t c = openById(42);
    QVERIFY(c);
    QCOMPARE(scalar(c, 0), kIOReturnSuccess);   // the driver has taken the connection by now
    QCOMPARE(state.liveCount(), 1);
    QCOMPARE(IOServiceClose(c), kIOReturnSuccess);
    QTRY_COMPARE_WITH_TIMEOUT(state.liveCount(), 0, 3000);

    // Released instead of closed.
    c = openById(42);
    QCOMPARE(scalar(c, 0), kIOReturnSuccess);
    QCOMPARE(IOObjectRelease(c), kIOReturnSuccess);
    QTRY_COMPARE_WITH_TIMEOUT(state.liveCount(), 0, 3000);

    // A client that goes away without a word.
    const int fd = rawConnect(publisher.socketPath());
    QVERIFY(fd >= 0);
    QTRY_COMPARE_WITH_TIMEOUT(state.liveCount(), 1, 3000);
    close(fd);
    QTRY_COMPARE_WITH_TIMEOUT(state.liveCount(), 0, 3000);

    // Many connections come and go; finished threads are collected as new ones arrive.
    for (int i = 0; i < 50; ++i) {
        io_connect_t k = openById(42);
        QCOMPARE(scalar(k, 0), kIOReturnSuccess);
        QCOMPARE(IOServiceClose(k), kIOReturnSuccess);
    }
    QTRY_COMPARE_WITH_TIMEOUT(state.liveCount(), 0, 3000);
    state.set([](DriverState& s) { QCOMPARE(s.opened, 53); });

    // Open types other than 0 are not served.
    io_iterator_t it = 0;
    IOServiceGetMatchingServices(0, IORegistryEntryIDMatching(42), &it);
    io_service_t s = IOIteratorNext(it);
    io_connect_t k = 5;
    QCOMPARE(IOServiceOpen(s, mach_task_self(), 1, &k), kIOReturnUnsupported);
    QCOMPARE(k, io_connect_t(0));
    IOObjectRelease(s);
    IOObjectRelease(it);
}

void TestStandIn::refusedAndMissingServices()
{
    auto service = std::make_shared<EchoService>();
    service->state->refuse = true;
    {
        InProcessRegistry registry;
        registry.add(info(3, 0), service);
        kern_return_t kr = 0;
        QCOMPARE(openById(3, &kr), io_connect_t(0));
        QCOMPARE(kr, kIOReturnNotOpen);
    }
    {
        // Over the folder the refusal shows at the first call: the driver hangs up.
        FolderPublisher publisher(m_folder, "zyn0", info(3, 0), service);
        QVERIFY(publisher.ok());
        io_connect_t c = openById(3);
        QVERIFY(c);
        QCOMPARE(scalar(c, 0), kIOReturnInvalidConnection);
        IOServiceClose(c);
    }
    // Withdrawn: metadata and socket are gone.
    QVERIFY(matchClass().empty());
    QVERIFY(QDir(QString::fromStdString(m_folder)).entryList(QDir::Files | QDir::System).isEmpty());

    // Metadata left behind by a driver that died: the socket refuses.
    FolderPublisher publisher(m_folder, "zyn0", info(3, 0), service);
    const QString stale = QString::fromStdString(m_folder) + "/stale.service";
    std::string text = "class=ZynMSR\nentry_id=4\nsocket=" + m_folder + "/stale.sock\n";
    writeFile(stale, text);
    const int lone = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::snprintf(a.sun_path, sizeof a.sun_path, "%s/stale.sock", m_folder.c_str());
    QCOMPARE(bind(lone, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    close(lone);   // bound, never listened: connecting is refused
    kern_return_t kr = 0;
    QCOMPARE(openById(4, &kr), io_connect_t(0));
    QCOMPARE(kr, kIOReturnNotOpen);
}

void TestStandIn::malformedRequestsDropTheClient()
{
    auto service = std::make_shared<EchoService>();
    FolderPublisher publisher(m_folder, "zyn0", info(42, 0), service);
    QVERIFY(publisher.ok());
    auto& state = *service->state;

    auto expectDropped = [&](const std::vector<uint8_t>& bytes) {
        const int fd = rawConnect(publisher.socketPath());
        QVERIFY(fd >= 0);
        QVERIFY(wire::writeFull(fd, bytes.data(), bytes.size()));
        uint8_t b;
        QVERIFY(!wire::readFull(fd, &b, 1));   // hung up without a reply
        close(fd);
    };
    wire::Request request;
    request.kind = wire::kStructCall;
    request.selector = zynmsr::kSelWrite;
    std::vector<uint8_t> bytes = wire::encodeRequest(request);
    bytes[0] ^= 0xFF;
    expectDropped(bytes);
    // An announced length past the bound: dropped before anything is read or allocated.
    bytes = wire::encodeRequest(request);
    const uint32_t tooLong = kMaxTransferBytes + 1;
    std::memcpy(bytes.data() + wire::kRequestHeaderSize - 4, &tooLong, 4);
    expectDropped(bytes);
    QTRY_COMPARE_WITH_TIMEOUT(state.liveCount(), 0, 3000);

    // An unknown call kind is answered, not fatal.
    const int fd = rawConnect(publisher.socketPath());
    request.kind = 7;
    QVERIFY(wire::sendRequest(fd, request));
    wire::Reply reply;
    QVERIFY(wire::readReply(fd, &reply));
    QCOMPARE(reply.result, kIOReturnBadArgument);
    close(fd);

    // The client side, in turn, refuses a reply announcing too much.
    uint8_t header[wire::kReplyHeaderSize] = {};
    wire::Reply r;
    r.data.resize(3);
    std::vector<uint8_t> encoded = wire::encodeReply(r);
    std::memcpy(header, encoded.data(), sizeof header);
    uint32_t length = 0;
    QVERIFY(wire::decodeReplyHeader(header, &r, &length));
    QCOMPARE(length, 3u);
    std::memcpy(header + wire::kReplyHeaderSize - 4, &tooLong, 4);
    QVERIFY(!wire::decodeReplyHeader(header, &r, &length));
}

void TestStandIn::connectionsAreBounded()
{
    auto service = std::make_shared<EchoService>();
    FolderPublisher publisher(m_folder, "zyn0", info(42, 0), service);
    QVERIFY(publisher.ok());
    auto& state = *service->state;
    const size_t limit = kMaxConnectionsPerService;
    const size_t extra = 5;

    // Served in the order they came up to the bound; the rest are hung up on at once.
    std::vector<int> fds;
    for (size_t i = 0; i < limit + extra; ++i)
        fds.push_back(rawConnect(publisher.socketPath()));
    std::string served;
    for (int fd : fds)
        served += answered(fd) ? 's' : '-';
    QCOMPARE(served, std::string(limit, 's') + std::string(extra, '-'));
    QCOMPARE(state.liveCount(), int(limit));
    state.set([&](DriverState& s) { QCOMPARE(s.opened, int(limit)); });

    // One goes: a newcomer is served in its place (once the driver has seen it go), the next
    // is not.
    ::close(fds.front());
    fds.erase(fds.begin());
    int newcomer = -1;
    bool newcomerServed = false;
    auto tryNewcomer = [&] {
        if (!newcomerServed) {
            ::close(newcomer);
            newcomer = rawConnect(publisher.socketPath());
            newcomerServed = answered(newcomer);
        }
        return newcomerServed;
    };
    QTRY_VERIFY_WITH_TIMEOUT(tryNewcomer(), 5000);
    const int late = rawConnect(publisher.socketPath());
    QVERIFY(!answered(late));
    ::close(late);
    ::close(newcomer);
    for (int fd : fds)
        ::close(fd);
    QTRY_COMPARE_WITH_TIMEOUT(state.liveCount(), 0, 5000);
}

void TestStandIn::noThreadClosesTheConnection()
{
    auto service = std::make_shared<EchoService>();
    FolderPublisher publisher(m_folder, "zyn0", info(42, 0), service);
    QVERIFY(publisher.ok());

    // New threads ask for a stack larger than the address space can give: none starts.
    pthread_attr_t saved;
    pthread_attr_t huge;
    QCOMPARE(pthread_getattr_default_np(&saved), 0);
    QCOMPARE(pthread_attr_init(&huge), 0);
    QCOMPARE(pthread_attr_setstacksize(&huge, size_t(1) << 44), 0);
    QCOMPARE(pthread_setattr_default_np(&huge), 0);
    bool starved = false;
    try {
        std::thread([] {}).join();
    } catch (const std::system_error&) {
        starved = true;
    }
    const int refused = starved ? rawConnect(publisher.socketPath()) : -1;
    const bool servedWithoutThreads = starved && answered(refused);
    pthread_setattr_default_np(&saved);
    pthread_attr_destroy(&huge);
    pthread_attr_destroy(&saved);
    if (!starved)
        QSKIP("threads start even with that stack");
    ::close(refused);
    QVERIFY(!servedWithoutThreads);
    QCOMPARE(service->state->liveCount(), 0);

    // The publisher goes on: with threads to be had, connections are served again.
    const int fd = rawConnect(publisher.socketPath());
    QVERIFY(answered(fd));
    ::close(fd);
}

void TestStandIn::publisherSetup()
{
    auto service = std::make_shared<EchoService>();
    QVERIFY(!FolderPublisher(m_folder, "a/b", info(1, 0), service).ok());
    QVERIFY(!FolderPublisher(m_folder, std::string(120, 'x'), info(1, 0), service).ok());
    QVERIFY(!FolderPublisher(m_folder, "z", info(1, 0, "two\nlines"), service).ok());
    QVERIFY(!FolderPublisher(m_folder, "z", info(1, 0, std::string(kNameSize, 'n')), service).ok());
    QVERIFY(!FolderPublisher(m_folder, "z", info(1, 0), nullptr).ok());

    // Nested folders are created; a stale socket is replaced; a non-socket is not touched.
    const std::string nested = m_folder + "/deeper/still";
    {
        FolderPublisher first(nested, "zyn0", info(1, 0), service);
        QVERIFY(first.ok());
        QCOMPARE(QFileInfo(QString::fromStdString(nested)).permissions() & QFileDevice::WriteOther,
                 QFileDevice::Permissions());
        std::ifstream in(first.metadataPath());
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        QVERIFY(text.find("entry_id=1\n") != std::string::npos);
        QVERIFY(text.find("socket=" + first.socketPath() + "\n") != std::string::npos);
        QVERIFY(text.find("parent=pci1\n") != std::string::npos);
    }
    const QString sock = QString::fromStdString(nested + "/zyn0.sock");
    QVERIFY(!QFile::exists(sock));
    QVERIFY(!QFile::exists(QString::fromStdString(nested + "/zyn0.service")));
    {
        // A socket file left by a process that died.
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::snprintf(a.sun_path, sizeof a.sun_path, "%s", sock.toUtf8().constData());
        QCOMPARE(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        close(fd);
        FolderPublisher again(nested, "zyn0", info(1, 0), service);
        QVERIFY2(again.ok(), again.error().c_str());
    }
    writeFile(sock, "not a socket");
    FolderPublisher blocked(nested, "zyn0", info(1, 0), service);
    QVERIFY(!blocked.ok());
    QVERIFY(QFile::exists(sock));
}

QTEST_GUILESS_MAIN(TestStandIn)
#include "test_standin.moc"
