// The user-client transports against the simulator's driver front end: the registry folder,
// chunked writes, time-outs, the driver lock, the per-slot lock file between processes, and a
// controller that goes away.
#include "darwinuserclient.h"
#include "iokit/userclient_service.h"
#include "lockfile.h"
#include "os/mac/os_darwin_userclient.h"
#include "simfixture.h"

#include <QtTest>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <future>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace simtest;

namespace {

// Exchanges of a child process on slot 0 (see main).
int runChild(int exchanges)
{
    auto* transport = new DarwinUserClientInterface();
    if (!transport->init(0)) {
        delete transport;
        return 2;
    }
    Session session;
    if (session.ZynInitSession(transport) != 0)
        return 3;
    sSYSTEM_INFO info;
    for (int i = 0; i < exchanges; ++i)
        if (session.ZynGetSysInfo(&info) != 0)
            return 4;
    return 0;
}

// Which of `candidates` holds a write lock on the file, or 0. The slot locks belong to open
// files, which the kernel lists in the /proc/<pid>/fdinfo entry of the descriptor holding one.
pid_t lockHolder(const std::string& path, const QList<qint64>& candidates)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return 0;
    const QString inode = QStringLiteral(":%1 ").arg(quint64(st.st_ino));
    for (qint64 pid : candidates) {
        const QDir fdinfo(QStringLiteral("/proc/%1/fdinfo").arg(pid));
        for (const QString& fd : fdinfo.entryList(QDir::Files)) {
            QFile info(fdinfo.filePath(fd));
            if (!info.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& line : info.readAll().split('\n'))
                if (line.startsWith("lock:") && line.contains(" WRITE ") && QString::fromLatin1(line).contains(inode))
                    return pid_t(pid);
        }
    }
    return 0;
}

// The slot lock workers' ends (their exit codes).
enum LockWorkerEnd { kLockWorkerDone = 0, kLockWorkerOpenFailed = 5, kLockWorkerLockFailed = 6, kLockWorkerOverlap = 7 };

// Lock descriptors shared by the threads of a process, one per slot behind a mutex of the
// process, as a transport holds its slot's.
struct SharedSlotLocks {
    int fds[2] = {ZynLockFile::open(0), ZynLockFile::open(1)};
    std::mutex mutexes[2];
    ~SharedSlotLocks()
    {
        for (int fd : fds)
            if (fd >= 0)
                ::close(fd);
    }
};

// One thread of a lock worker: `rounds` times, the slot locks of `order` one after the other,
// through `shared` or through descriptors of the thread's own (null). Holding a slot it checks
// that nobody else is inside (a marker made exclusively) and counts its turn (a counter read,
// yielded over and written back).
int holdSlotsInTurn(const std::array<int, 2>& order, int rounds, SharedSlotLocks* shared)
{
    const std::string dir = ZynLockFile::directory();
    int ownFds[2] = {-1, -1};
    if (shared == nullptr)
        for (int slot = 0; slot < 2; ++slot)
            ownFds[slot] = ZynLockFile::open(slot);
    const int* lockFds = shared != nullptr ? shared->fds : ownFds;
    int counterFds[2];
    for (int slot = 0; slot < 2; ++slot)
        counterFds[slot] = ::open((dir + "/count" + std::to_string(slot)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    int end = kLockWorkerDone;
    for (int fd : {lockFds[0], lockFds[1], counterFds[0], counterFds[1]})
        if (fd < 0)
            end = kLockWorkerOpenFailed;
    for (int round = 0; round < rounds && end == kLockWorkerDone; ++round) {
        for (int slot : order) {
            std::unique_lock<std::mutex> process;
            if (shared != nullptr)
                process = std::unique_lock<std::mutex>(shared->mutexes[slot]);
            if (!ZynLockFile::lock(lockFds[slot])) {
                std::fprintf(stderr, "slot %d: lock failed, errno = %d\n", slot, errno);
                end = kLockWorkerLockFailed;
                break;
            }
            const std::string marker = dir + "/inside" + std::to_string(slot);
            const int inside = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (inside < 0) {
                std::fprintf(stderr, "slot %d: another holder is inside\n", slot);
                end = kLockWorkerOverlap;
                break;
            }
            ::close(inside);
            quint64 count = 0;
            if (::pread(counterFds[slot], &count, sizeof count, 0) != ssize_t(sizeof count))
                count = 0;
            std::this_thread::yield();
            ++count;
            if (::pwrite(counterFds[slot], &count, sizeof count, 0) != ssize_t(sizeof count))
                end = kLockWorkerOpenFailed;
            ::unlink(marker.c_str());
            if (!ZynLockFile::unlock(lockFds[slot])) {
                std::fprintf(stderr, "slot %d: unlock failed, errno = %d\n", slot, errno);
                end = kLockWorkerLockFailed;
            }
            if (end != kLockWorkerDone)
                break;
        }
    }
    for (int fd : {ownFds[0], ownFds[1], counterFds[0], counterFds[1]})
        if (fd >= 0)
            ::close(fd);
    return end;
}

// A lock worker process (see main): two threads taking slots 0 and 1 in opposite orders, with
// descriptors of their own ("own") or sharing the process's ("shared").
int runLockWorker(const char* descriptors, int rounds)
{
    const bool own = qstrcmp(descriptors, "own") == 0;
    if (!own && qstrcmp(descriptors, "shared") != 0)
        return kLockWorkerOpenFailed;
    SharedSlotLocks shared;
    SharedSlotLocks* locks = own ? nullptr : &shared;
    int ends[2] = {kLockWorkerDone, kLockWorkerDone};
    std::thread forward([&] { ends[0] = holdSlotsInTurn({0, 1}, rounds, locks); });
    std::thread backward([&] { ends[1] = holdSlotsInTurn({1, 0}, rounds, locks); });
    forward.join();
    backward.join();
    return ends[0] != kLockWorkerDone ? ends[0] : ends[1];
}

// The time-out the library gives most commands, and a driver service that hangs.
constexpr uint64_t kMinuteMs = 60000;
constexpr uint64_t kHangingId = 0x4200;
// The simulated controller of every test: the simulator's entry id for position 5.
constexpr uint64_t kControllerId = 0x100000000ull + 0x100 * 5 + 1;
// What an interrupted exchange may take to end on a machine with every core busy.
constexpr int kInterruptedEndMs = 3000;

// A driver whose transfers do not return until released: a driver (process) that hangs. One
// made `full` hangs in none but takes no bytes and gives none: its write buffer stays full.
class HangingService : public iokit::UserClientService {
public:
    struct Hang {
        std::mutex mutex;
        std::condition_variable changed;
        bool released = false;
        bool full = false;
        int begun = 0;
    };
    std::unique_ptr<iokit::UserClientConnection> open() override { return std::make_unique<Connection>(hang); }
    int begun()
    {
        std::lock_guard<std::mutex> lock(hang->mutex);
        return hang->begun;
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(hang->mutex);
        hang->released = true;
        hang->changed.notify_all();
    }
    const std::shared_ptr<Hang> hang = std::make_shared<Hang>();

private:
    struct Connection : iokit::UserClientConnection {
        explicit Connection(std::shared_ptr<Hang> h) : hang(std::move(h)) {}
        iokit::kern_return_t scalarCall(uint32_t) override { return iokit::kIOReturnSuccess; }
        iokit::kern_return_t structCall(uint32_t, zynmsr::TransferRecord& record, std::vector<uint8_t>& data) override
        {
            std::unique_lock<std::mutex> lock(hang->mutex);
            ++hang->begun;
            hang->changed.wait(lock, [this] { return hang->released || hang->full; });
            data.clear();
            record.length = 0;
            return iokit::kIOReturnSuccess;
        }
        std::shared_ptr<Hang> hang;
    };
};

// Publishes `hanging` in `folder` as the driver service kHangingId, behind the simulated controller.
std::unique_ptr<iokit::FolderPublisher> publishHanging(const std::string& folder, std::shared_ptr<HangingService> hanging)
{
    iokit::ServiceInfo info;
    info.className = zynmsr::kServiceClass;
    info.entryId = kHangingId;
    info.order = 9;
    return std::make_unique<iokit::FolderPublisher>(folder, "hanging", info, std::move(hanging));
}

// The block of one exchange of `frame`, its reply received into `reply`.
_IF_CMD_BLOCK blockOf(Bytes& frame, Bytes& reply, uint64_t timeout)
{
    _IF_CMD_BLOCK block;
    block.timeout = timeout;
    block.writeBuffer = frame.data();
    block.writeLength = int64_t(frame.size());
    block.readBuffer = reply.data();
    block.readLength = int64_t(reply.size());
    return block;
}

// The application's transport to the service `entryId`, else the library's to the service at
// `position`; null when it cannot be made.
std::unique_ptr<ZynUserClientTransport> transportTo(bool application, uint64_t entryId, int position)
{
    if (application) {
        auto transport = std::make_unique<QDarwinUserClient>();
        return transport->init(entryId) ? std::move(transport) : nullptr;
    }
    auto transport = std::make_unique<DarwinUserClientInterface>();
    return transport->init(position) ? std::move(transport) : nullptr;
}

// What `run` prints to standard output (where the library's transport logs).
template <typename F>
QByteArray captureStdout(F run)
{
    QTemporaryFile file;
    if (!file.open())
        return "<no file>";
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(file.handle(), STDOUT_FILENO);
    run();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    file.seek(0);
    return file.readAll();
}

} // namespace

class TestUserClient : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sessionBySlot();
    void slotsFollowRegistryOrder();
    void frameLeavesInDriverWrites();
    void replyArrivingInPieces();
    void replyTimeout();
    void timeoutZeroMakesOneAttempt();
    void replyLargerThanReadBuffer();
    void longFormReplyArrivesIntact();
    void declaredLengthBeyondScratch();
    void busyDriverLockFailsTheExchange();
    void readerWithoutTheLockTakesNoReply();
    void controllerGoneFailsQuickly();
    void lockFileFailureDoesNotEndTheProcess();
    void twoProcessesTakeTurns();
    void slotLocksInOppositeOrders_data();
    void slotLocksInOppositeOrders();
    void sessionByEntryId();
    void inProcessRegistry();
    void waitingExchangeEndsAtOnce_data();
    void waitingExchangeEndsAtOnce();
    void closedHandleIsNotClosedAgain_data();
    void closedHandleIsNotClosedAgain();

private:
    QTemporaryDir m_dir;
    std::string m_driverDir;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::shared_ptr<zynsim::FakeController> m_ctl;
};

void TestUserClient::initTestCase()
{
    fastPolls();
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
}

void TestUserClient::init()
{
    static int round = 0;
    m_driverDir = (m_dir.path() + "/driver" + QString::number(++round)).toStdString();
    qputenv("ZYNMSR_DRIVER_DIR", QByteArray::fromStdString(m_driverDir));
    m_sim = std::make_unique<zynsim::Simulator>();
    m_ctl = m_sim->addDriverController(m_driverDir, 5, zynsim::ControllerConfig());
    QVERIFY2(m_ctl, m_sim->error().c_str());
}

void TestUserClient::cleanup()
{
    m_ctl.reset();
    m_sim.reset();
}

void TestUserClient::sessionBySlot()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    QCOMPARE(session->mtu(), 1031);
    QCOMPARE(session->cachedSysInfo().serialNumber(), m_ctl->serial());
    auto* transport = static_cast<DarwinUserClientInterface*>(session->ZynGetInterface());
    QCOMPARE(transport->slotIndex(), 0);
    QVERIFY(transport->lockFileDescriptor() >= 0);
    QVERIFY(QFileInfo::exists(QString::fromStdString(ZynLockFile::path(0))));
    struct stat st{};
    QCOMPARE(::lstat(ZynLockFile::path(0).c_str(), &st), 0);
    QVERIFY(S_ISREG(st.st_mode));
    QCOMPARE(int(st.st_mode & 0777), 0600);
    // Opened and closed around every exchange.
    QVERIFY(!transport->isOpened());
    QCOMPARE(m_ctl->overlappingExchanges(), 0);
}

void TestUserClient::slotsFollowRegistryOrder()
{
    zynsim::ControllerConfig config;
    config.profile = zynsim::Profile::Older;
    // Published second but ordered first.
    auto first = m_sim->addDriverController(m_driverDir, 1, config);
    QVERIFY(first);
    u32 rc = 0;
    QCOMPARE(userClientSession(0, &rc)->cachedSysInfo().serialNumber(), first->serial());
    QCOMPARE(userClientSession(1, &rc)->cachedSysInfo().serialNumber(), m_ctl->serial());
    DarwinUserClientInterface beyond;
    QVERIFY(!beyond.init(2));
    QVERIFY(!beyond.init(-1));
}

void TestUserClient::frameLeavesInDriverWrites()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    m_ctl->clearLog();
    Bytes payload(1993, 0x33);   // a frame of 2000 bytes
    u8 reply[2048];
    int length = 0;
    QCOMPARE(session->ZynCmdReadWrite(0x7A, payload.data(), int(payload.size()), reply, sizeof reply, length), 72u);
    QCOMPARE(chunkSizes(*m_ctl, LogEntry::RxChunk), (std::vector<int>{1031, 969}));
    QCOMPARE(entries(*m_ctl, LogEntry::RxFrame, 0x7A).at(0).bytes, payload);
}

void TestUserClient::replyArrivingInPieces()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    Answer answer = Answer::model();
    answer.splitParts = 50;
    answer.splitGapMs = 1;
    m_ctl->script(0x23, 1, answer);
    sSYSTEM_INFO info;
    QCOMPARE(session->ZynGetSysInfo(&info), 0u);
    QCOMPARE(Bytes(info.bytes, info.bytes + 256), m_ctl->systemInfo());
}

void TestUserClient::replyTimeout()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    // 0x23 waits 3000 ms = 300 polls; 1 ms polls make it about 0.3 s.
    m_ctl->script(0x23, 1, Answer::silence());
    sSYSTEM_INFO info;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(session->ZynGetSysInfo(&info), 20u);
    QVERIFY2(timer.elapsed() >= 300 && timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    // The late reply is cleared out of the driver before the next exchange.
    QCOMPARE(session->ZynGetSysInfo(&info), 0u);
    QCOMPARE(info.serialNumber(), m_ctl->serial());
}

void TestUserClient::timeoutZeroMakesOneAttempt()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    m_ctl->script(0x36, 1, Answer::silence());
    u8 reply[10240];
    int length = 0;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(session->ZynCmdReadWrite(0x36, nullptr, 0, reply, sizeof reply, length), 0u);
    QVERIFY(timer.elapsed() < 500);
    QCOMPARE(m_ctl->framesReceived(0x36), 1);
}

void TestUserClient::replyLargerThanReadBuffer()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    Bytes request = frameOf(0x16, Bytes{'G', 'E', 'T'});
    m_ctl->script(0x16, 1, Answer::data(Bytes(100, 0x41)));
    Bytes reply(50);
    int length = 0;
    QCOMPARE(session->ZynCmdReadWrite(0xEE, request.data(), int(request.size()), reply.data(), 50, length), 12u);
    QCOMPARE(length, 0);
    QVERIFY(std::all_of(reply.begin(), reply.end(), [](uint8_t b) { return b == 0; }));
}

void TestUserClient::longFormReplyArrivesIntact()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    QByteArray text = "HTTP/1.1 200 OK\r\n\r\n";
    while (text.size() < 70000)
        text.append(char('0' + text.size() % 10));
    Bytes frame = {0x5E, 0x01, 0x61, 0xFF, 0xFF};
    frame.insert(frame.end(), text.begin(), text.end());
    frame[5] = uint8_t(text.size() & 0xFF);
    frame[6] = uint8_t((text.size() >> 8) & 0xFF);
    frame[7] = uint8_t((text.size() >> 16) & 0xFF);
    frame.push_back(0);
    m_ctl->script(0x16, 1, Answer::raw(frame));
    Bytes request = frameOf(0x16, Bytes{'G', 'E', 'T'});
    Bytes reply(kZynScratchSize);
    int length = 0;
    QCOMPARE(session->ZynCmdReadWrite(0xEE, request.data(), int(request.size()), reply.data(), int(reply.size()), length), 0u);
    QCOMPARE(length, text.size() + 6);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(reply.data()) + 5, text.size()), text);
}

void TestUserClient::declaredLengthBeyondScratch()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    // 16 MiB announced: nothing is read past the scratch, and the raw caller learns it did not fit.
    Bytes frame = {0x5E, 0x01, 0x61, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'P', '/', '1'};
    frame.resize(5000, 'x');
    m_ctl->script(0x16, 1, Answer::raw(frame));
    Bytes request = frameOf(0x16, Bytes{'G', 'E', 'T'});
    Bytes reply(kZynScratchSize);
    int length = 0;
    QCOMPARE(session->ZynCmdReadWrite(0xEE, request.data(), int(request.size()), reply.data(), int(reply.size()), length), 12u);
    // To a framed command it is a failed receive; what is left of it is cleared before the next.
    m_ctl->script(0x23, 1, Answer::raw(frame));
    sSYSTEM_INFO info;
    QCOMPARE(session->ZynGetSysInfo(&info), 5u);
    QCOMPARE(session->ZynGetSysInfo(&info), 0u);
    QCOMPARE(info.serialNumber(), m_ctl->serial());
}

void TestUserClient::busyDriverLockFailsTheExchange()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);

    // Another client of the driver holds its exchange lock.
    using namespace iokit;
    const io_connect_t other = simtest::openDriverClient();
    QVERIFY(other);
    QCOMPARE(IOConnectCallScalarMethod(other, zynmsr::kSelAcquireLock, nullptr, 0, nullptr, nullptr), kIOReturnSuccess);

    sSYSTEM_INFO info;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(session->ZynGetSysInfo(&info), 63u);
    QVERIFY(timer.elapsed() < 3000);
    QCOMPARE(m_ctl->framesReceived(0x23), 1);   // only the session's own start

    IOConnectCallScalarMethod(other, zynmsr::kSelReleaseLock, nullptr, 0, nullptr, nullptr);
    QCOMPARE(session->ZynGetSysInfo(&info), 0u);
    IOServiceClose(other);
}

// Another client reads in a loop without taking the driver lock: the exchanges of the lock
// holder get every reply, and the reader none.
void TestUserClient::readerWithoutTheLockTakesNoReply()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    using namespace iokit;
    const io_connect_t other = simtest::openDriverClient();
    QVERIFY(other);
    std::atomic<bool> stop{false};
    std::atomic<int> reads{0};
    std::atomic<int> busy{0};
    std::atomic<uint64_t> taken{0};
    std::thread reader([&] {
        std::vector<uint8_t> buffer(4096);
        while (!stop) {
            zynmsr::TransferRecord in{reinterpret_cast<uintptr_t>(buffer.data()), buffer.size(),
                                      zynmsr::kDriverTimeout, 0};
            zynmsr::TransferRecord out{};
            size_t size = sizeof out;
            const kern_return_t kr = IOConnectCallStructMethod(other, zynmsr::kSelRead, &in, sizeof in, &out, &size);
            if (kr == kIOReturnSuccess)
                taken += out.length;
            busy += kr == kIOReturnBusy;
            ++reads;
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(reads > 0, 5000);

    const int exchanges = 20;
    QStringList results;
    for (int i = 0; i < exchanges; ++i) {
        sSYSTEM_INFO info;
        results << QString::number(session->ZynGetSysInfo(&info));
    }
    stop = true;
    reader.join();
    IOServiceClose(other);
    QCOMPARE(results.join(' '), QString("0 ").repeated(exchanges).trimmed());
    QCOMPARE(taken.load(), uint64_t(0));
    QVERIFY(reads > 0);
}

void TestUserClient::controllerGoneFailsQuickly()
{
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    m_sim->removeDriverController(m_ctl);
    sSYSTEM_INFO info;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(session->ZynGetSysInfo(&info), 63u);
    QVERIFY(timer.elapsed() < 1000);
}

void TestUserClient::lockFileFailureDoesNotEndTheProcess()
{
    const QByteArray saved = qgetenv("ZYNMSR_LOCK_DIR");
    qputenv("ZYNMSR_LOCK_DIR", "/proc/palvir-no-such-folder");
    DarwinUserClientInterface transport;
    QVERIFY(!transport.init(0));
    qputenv("ZYNMSR_LOCK_DIR", saved);
    // Without a lock file an exchange fails instead of going ahead unserialised.
    Bytes frame = frameOf(0x23);
    Bytes reply(512);
    _IF_CMD_BLOCK block = blockOf(frame, reply, 100);
    block.frameLength = get_frame_length;
    QCOMPARE(transport.syncSend(&block), -1);
}

void TestUserClient::twoProcessesTakeTurns()
{
    // Every reply is held back a little so that the exchanges would overlap if they could.
    Answer slow = Answer::model();
    slow.delayMs = 15;
    m_ctl->scriptAll(1000, slow);
    m_ctl->clearLog();

    const int exchanges = 8;
    QProcess a, b;
    for (QProcess* p : {&a, &b}) {
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QCoreApplication::applicationFilePath(), {"--exchange-child", QString::number(exchanges)});
    }
    QVERIFY(a.waitForStarted() && b.waitForStarted());
    const std::string lockPath = ZynLockFile::path(0);
    const QList<qint64> children{a.processId(), b.processId()};
    QSet<qint64> holders;
    QElapsedTimer timer;
    timer.start();
    while ((a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) && timer.elapsed() < 60000) {
        if (pid_t holder = lockHolder(lockPath, children))
            holders.insert(holder);
        QTest::qSleep(1);
        QCoreApplication::processEvents();
    }
    QCOMPARE(a.state(), QProcess::NotRunning);
    QCOMPARE(b.state(), QProcess::NotRunning);
    QCOMPARE(a.exitStatus(), QProcess::NormalExit);
    QCOMPARE(b.exitStatus(), QProcess::NormalExit);
    QCOMPARE(a.exitCode(), 0);
    QCOMPARE(b.exitCode(), 0);
    QCOMPARE(m_ctl->overlappingExchanges(), 0);
    QCOMPARE(m_ctl->framesReceived(0x23), 2 * (exchanges + 1));
    // Both children were seen holding the slot's lock file.
    QVERIFY2(holders.size() >= 2, qPrintable(QString("holders seen: %1").arg(holders.size())));
}

void TestUserClient::slotLocksInOppositeOrders_data()
{
    // descriptors: each thread opens the lock files itself ("own"), or the threads of a process
    // share one descriptor per slot behind a mutex, as the threads using one transport do.
    QTest::addColumn<int>("processes");
    QTest::addColumn<QString>("descriptors");
    QTest::addColumn<int>("rounds");
    // Threads of one process exclude each other through descriptors of their own too.
    QTest::newRow("one process, a descriptor per thread") << 1 << "own" << 3000;
    // One process's threads hold slot 0 and wait for slot 1 while the other's do the reverse:
    // no thread waits for itself, so no lock may fail with a deadlock.
    QTest::newRow("two processes, shared descriptors") << 2 << "shared" << 3000;
    QTest::newRow("two processes, a descriptor per thread") << 2 << "own" << 3000;
    QTest::newRow("three processes, shared descriptors") << 3 << "shared" << 2000;
}

void TestUserClient::slotLocksInOppositeOrders()
{
    QFETCH(int, processes);
    QFETCH(QString, descriptors);
    QFETCH(int, rounds);
    QTemporaryDir lockDir;
    QVERIFY(lockDir.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZYNMSR_LOCK_DIR"), lockDir.path());
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int i = 0; i < processes; ++i) {
        workers.push_back(std::make_unique<QProcess>());
        workers.back()->setProcessEnvironment(env);
        workers.back()->start(QCoreApplication::applicationFilePath(), {"--lock-worker", descriptors, QString::number(rounds)});
    }
    for (auto& w : workers) {
        QVERIFY(w->waitForFinished(120000));
        QCOMPARE(w->exitStatus(), QProcess::NormalExit);
        const QByteArray err = w->readAllStandardError();
        QVERIFY2(w->exitCode() == kLockWorkerDone,
                 qPrintable(QStringLiteral("exit %1: %2").arg(w->exitCode()).arg(QString::fromLocal8Bit(err))));
    }
    // Every turn counted: no two holders read and wrote a counter at once.
    for (int slot = 0; slot < 2; ++slot) {
        QFile counter(lockDir.filePath(QStringLiteral("count%1").arg(slot)));
        QVERIFY(counter.open(QIODevice::ReadOnly));
        quint64 count = 0;
        QCOMPARE(counter.read(reinterpret_cast<char*>(&count), sizeof count), qint64(sizeof count));
        QCOMPARE(count, quint64(processes) * 2 * quint64(rounds));
    }
    // The lock files keep their names.
    for (int slot = 0; slot < 2; ++slot)
        QVERIFY(QFileInfo::exists(lockDir.filePath(QStringLiteral("zynmsr%1").arg(slot))));
}

void TestUserClient::sessionByEntryId()
{
    zynsim::ControllerConfig config;
    config.profile = zynsim::Profile::Older;
    auto second = m_sim->addDriverController(m_driverDir, 6, config, 0x2000000042ull);
    QVERIFY(second);

    auto* transport = new QDarwinUserClient();
    QCOMPARE(transport->GetEntryID(), QDarwinUserClient::kNoEntry);
    QVERIFY(transport->init(0x2000000042ull));
    QCOMPARE(transport->GetEntryID(), Q_UINT64_C(0x2000000042));
    Session session;
    QCOMPARE(session.ZynInitSession(transport), 0u);
    QCOMPARE(session.cachedSysInfo().serialNumber(), second->serial());
    QCOMPARE(second->overlappingExchanges(), 0);

    auto* unknown = new QDarwinUserClient();
    QVERIFY(unknown->init(0x77));
    Session none;
    QCOMPARE(none.ZynInitSession(unknown), 63u);   // open fails: -10
}

void TestUserClient::inProcessRegistry()
{
    iokit::InProcessRegistry registry;
    auto local = m_sim->addInProcessController(registry, 0, zynsim::ControllerConfig());
    QVERIFY(local);
    u32 rc = 0;
    auto session = userClientSession(0, &rc);
    QCOMPARE(rc, 0u);
    QCOMPARE(session->cachedSysInfo().serialNumber(), local->serial());
    QVERIFY(local->serial() != m_ctl->serial());
    session.reset();
    m_sim->removeDriverController(local);
}

void TestUserClient::waitingExchangeEndsAtOnce_data()
{
    QTest::addColumn<bool>("application");   // the application's transport, else the library's
    QTest::addColumn<bool>("withdrawn");     // a full driver's service goes, else a hanging one's transport is interrupted
    QTest::newRow("library, interrupted") << false << false;
    QTest::newRow("library, withdrawn") << false << true;
    QTest::newRow("application, interrupted") << true << false;
    QTest::newRow("application, withdrawn") << true << true;
}

void TestUserClient::waitingExchangeEndsAtOnce()
{
    QFETCH(bool, application);
    QFETCH(bool, withdrawn);
    // Behind the simulated controller, the driver the send waits on; the exchange ends within a
    // poll of the interruption or the withdrawal, and tells of its failed transfer at most once.
    auto driver = std::make_shared<HangingService>();
    driver->hang->full = withdrawn;
    auto publisher = publishHanging(m_driverDir, driver);
    const auto transport = transportTo(application, kHangingId, 1);
    QVERIFY(transport);
    Bytes frame = frameOf(0x23);
    Bytes reply(kZynScratchSize);
    _IF_CMD_BLOCK block = blockOf(frame, reply, kMinuteMs);
    bool ended = false;
    int exchanged = 0;
    const QByteArray log = captureStdout([&] {
        std::future<int> exchange = std::async(std::launch::async, [&] { return transport->syncSend(&block); });
        ended = QTest::qWaitFor([&] { return driver->begun() > 0; }, kInterruptedEndMs);
        withdrawn ? publisher.reset() : transport->interrupt();
        ended = ended && exchange.wait_for(std::chrono::milliseconds(kInterruptedEndMs)) == std::future_status::ready;
        driver->release();   // lets an exchange that did not end do so, so that the test can
        exchanged = exchange.get();
    });
    QVERIFY(ended);
    QCOMPARE(exchanged, int(withdrawn ? ZYN_IO_TRANSPORT_FAILED : ZYN_IO_INTERRUPTED));
    QVERIFY2(log.count("kernResult != KERN_SUCCESS") <= 1, log.constData());
    // Refused from now on (not resumed, or the service gone): the driver is not called again.
    const int calls = driver->begun();
    QVERIFY(transport->syncSend(&block) < 0);
    QCOMPARE(driver->begun(), calls);
}

void TestUserClient::closedHandleIsNotClosedAgain_data()
{
    QTest::addColumn<bool>("application");   // the application's transport, else the library's
    QTest::addColumn<bool>("interrupted");   // the exchange is interrupted, else it ends normally
    QTest::newRow("library, exchange ended") << false << false;
    QTest::newRow("library, exchange interrupted") << false << true;
    QTest::newRow("application, exchange ended") << true << false;
    QTest::newRow("application, exchange interrupted") << true << true;
}

void TestUserClient::closedHandleIsNotClosedAgain()
{
    QFETCH(bool, application);
    QFETCH(bool, interrupted);
    // The simulated controller stands first, a driver that hangs in every transfer behind it.
    auto hanging = std::make_shared<HangingService>();
    const auto publisher = publishHanging(m_driverDir, hanging);
    QVERIFY(publisher->ok());

    const auto transport = transportTo(application, interrupted ? kHangingId : kControllerId, interrupted ? 1 : 0);
    QVERIFY(transport);
    auto* const byId = dynamic_cast<QDarwinUserClient*>(transport.get());
    auto* const byPosition = dynamic_cast<DarwinUserClientInterface*>(transport.get());
    // The number the transport's connections get (handles are numbered as descriptors are: the
    // lowest free number first).
    QVERIFY(byId ? byId->opendev() == 0 : byPosition->opendev());
    const iokit::io_connect_t number = transport->connection();
    byId ? void(byId->closedev()) : void(byPosition->closedev());

    Bytes frame = frameOf(0x23);
    Bytes reply(kZynScratchSize);
    _IF_CMD_BLOCK block = blockOf(frame, reply, interrupted ? kMinuteMs : 1000);
    int exchanged = 0;
    bool exchangeEnded = true;
    iokit::io_connect_t other = iokit::IO_OBJECT_NULL;
    iokit::kern_return_t otherAfterWake = iokit::kIOReturnError;
    const QByteArray log = captureStdout([&] {
        if (interrupted) {
            std::future<int> exchange = std::async(std::launch::async, [&] { return transport->syncSend(&block); });
            exchangeEnded = QTest::qWaitFor([&] { return hanging->begun() > 0; }, kInterruptedEndMs);
            transport->interrupt();
            exchangeEnded = exchangeEnded &&
                            exchange.wait_for(std::chrono::milliseconds(kInterruptedEndMs)) == std::future_status::ready;
            if (!exchangeEnded)
                hanging->release();
            exchanged = exchange.get();
            transport->resume();
        } else {
            exchanged = transport->syncSend(&block);
        }
        // Another open of this process gets the number the transport's connection had; a wake of
        // the transport (the next interruption) and its next exchange leave that open alone.
        other = openDriverClient();
        transport->interrupt();
        transport->resume();
        if (!interrupted)
            exchanged = std::min(exchanged, transport->syncSend(&block));
        uint32_t outputs = 0;
        otherAfterWake = iokit::IOConnectCallScalarMethod(other, zynmsr::kSelClearReadBuffer, nullptr, 0, nullptr, &outputs);
    });
    hanging->release();
    QVERIFY(exchangeEnded);
    if (interrupted)
        QVERIFY(exchanged < 0);
    else
        QVERIFY2(exchanged > 0, qPrintable(QString::number(exchanged)));
    QVERIFY(other != iokit::IO_OBJECT_NULL);
    QCOMPARE(other, number);
    QCOMPARE(otherAfterWake, iokit::kIOReturnSuccess);
    QVERIFY2(!log.contains("close failed"), log.constData());
    QCOMPARE(iokit::IOServiceClose(other), iokit::kIOReturnSuccess);
}

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--exchange-child") == 0)
        return runChild(atoi(argv[2]));
    if (argc == 4 && qstrcmp(argv[1], "--lock-worker") == 0)
        return runLockWorker(argv[2], atoi(argv[3]));
    QCoreApplication app(argc, argv);
    TestUserClient test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_userclient.moc"
