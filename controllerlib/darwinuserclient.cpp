#include "darwinuserclient.h"

#include "lockfile.h"
#include "zynframe.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <pthread.h>
#include <unistd.h>

using namespace iokit;

// ---- ZynUserClientTransport ------------------------------------------------------------

int ZynUserClientTransport::pollBudget(uint64_t timeoutMs)
{
    return static_cast<int>(std::min<uint64_t>(timeoutMs / 10, INT_MAX / 2));
}

void ZynUserClientTransport::adoptConnection(io_connect_t connection)
{
    m_connection = connection;
    m_liveConnection.store(connection);
}

bool ZynUserClientTransport::closeConnection()
{
    io_connect_t own = m_connection;
    const bool taken = own != IO_OBJECT_NULL && m_liveConnection.compare_exchange_strong(own, IO_OBJECT_NULL);
    if (taken)
        IOServiceClose(own);
    m_connection = IO_OBJECT_NULL;
    m_opened = false;
    return taken;
}

kern_return_t ZynUserClientTransport::connectionUsable() const
{
    if (interrupted() || m_connection == IO_OBJECT_NULL || m_liveConnection.load() != m_connection)
        return kIOReturnAborted;
    return kIOReturnSuccess;
}

void ZynUserClientTransport::wake()
{
    const io_connect_t connection = m_liveConnection.exchange(IO_OBJECT_NULL);
    if (connection != IO_OBJECT_NULL)
        IOServiceClose(connection);
}

kern_return_t ZynUserClientTransport::callScalar(uint32_t selector)
{
    if (connectionUsable() != kIOReturnSuccess)
        return kIOReturnAborted;
    uint32_t outputCount = 0;
    return IOConnectCallScalarMethod(m_connection, selector, nullptr, 0, nullptr, &outputCount);
}

kern_return_t ZynUserClientTransport::callTransfer(uint32_t selector, unsigned char* buffer,
                                                   int64_t length, zynmsr::TransferRecord* record)
{
    *record = zynmsr::TransferRecord{};
    if (connectionUsable() != kIOReturnSuccess)
        return kIOReturnAborted;
    zynmsr::TransferRecord in{};
    in.buffer = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(buffer));
    in.length = length > 0 ? static_cast<uint64_t>(length) : 0;
    in.timeout = zynmsr::kDriverTimeout;
    in.result = zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_FAIL;
    *record = zynmsr::TransferRecord{};
    size_t outputSize = sizeof *record;
    return IOConnectCallStructMethod(m_connection, selector, &in, sizeof in, record, &outputSize);
}

bool ZynUserClientTransport::ClearReadWriteBuffer()
{
    return ClearWriteBuffer() && ClearReadBuffer();
}

bool ZynUserClientTransport::ClearReadBuffer()
{
    return callScalar(zynmsr::kSelClearReadBuffer) == kIOReturnSuccess;
}

bool ZynUserClientTransport::ClearWriteBuffer()
{
    return callScalar(zynmsr::kSelClearWriteBuffer) == kIOReturnSuccess;
}

void ZynUserClientTransport::requirelock()
{
    int polls = m_lockPolls;
    if (polls <= 0)
        polls = pollBudget(static_cast<uint64_t>(getTimeOut()));
    polls = std::max(polls, 1);

    bool reported = false;
    m_driverLocked = false;
    for (;;) {
        const kern_return_t kr = callScalar(zynmsr::kSelAcquireLock);
        if (kr == kIOReturnSuccess) {
            m_driverLocked = true;
            return;
        }
        if (!reported) {
            reportLockFailure(kr);
            reported = true;
        }
        // A dead connection never hands out the lock; otherwise another holder may let go.
        if (kr == kIOReturnInvalidConnection || kr == kIOReturnAborted || polls == 0)
            return;
        pollSleep();
        --polls;
    }
}

void ZynUserClientTransport::releaselock()
{
    callScalar(zynmsr::kSelReleaseLock);
    m_driverLocked = false;
}

int ZynUserClientTransport::lockedExchange(_IF_CMD_BLOCK* block, unsigned char* scratch,
                                           int scratchSize)
{
    m_lockPolls = std::max(exchangePolls(block), 1);
    requirelock();
    m_lockPolls = 0;
    if (!m_driverLocked)
        return ZYN_IO_OPEN_FAILED;
    const int result = runExchange(block, scratch, scratchSize);
    releaselock();
    return result;
}

int ZynUserClientTransport::runExchange(_IF_CMD_BLOCK* block, unsigned char* scratch, int scratchSize)
{
    if (ClearWriteBuffer())
        ClearReadBuffer();
    return transferFrame(block, exchangePolls(block), scratch, scratchSize);
}

// ---- DarwinUserClientInterface ---------------------------------------------------------

DarwinUserClientInterface::~DarwinUserClientInterface()
{
    if (m_connection != IO_OBJECT_NULL)
        closedev();
    if (m_lockFd >= 0 && ::close(m_lockFd) != 0)
        std::printf("[%d %p ~DarwinUserClientInterface] close lock file failed\n",
                    static_cast<int>(::getpid()), reinterpret_cast<void*>(::pthread_self()));
    m_lockFd = -1;
}

namespace {

// The driver's services that `matching` selects, in registry order (takes `matching`);
// IO_OBJECT_NULL when they cannot be asked for.
io_iterator_t matchingServices(MatchingDictionary* matching, const char* caller)
{
    mach_port_t master = 0;
    if (IOMasterPort(kIOMasterPortDefault, &master) != kIOReturnSuccess) {
        std::printf("[%s] IOMasterPort failed\n", caller);
        if (matching)
            ReleaseMatching(matching);
        return IO_OBJECT_NULL;
    }
    if (!matching) {
        std::printf("[%s] IOServiceMatching failed (no controller found?)\n", caller);
        return IO_OBJECT_NULL;
    }
    io_iterator_t iterator = IO_OBJECT_NULL;
    if (IOServiceGetMatchingServices(master, matching, &iterator) != kIOReturnSuccess) {
        std::printf("[%s] IOServiceGetMatchingServices failed\n", caller);
        return IO_OBJECT_NULL;
    }
    return iterator;
}

} // namespace

io_service_t DarwinUserClientInterface::findService(int index, const char* caller)
{
    if (index < 0)
        return IO_OBJECT_NULL;
    const io_iterator_t iterator = matchingServices(IOServiceMatching(zynmsr::kServiceClass), caller);
    if (iterator == IO_OBJECT_NULL)
        return IO_OBJECT_NULL;
    io_service_t service = IO_OBJECT_NULL;
    for (int i = 0; i <= index; ++i) {
        if (service != IO_OBJECT_NULL)
            IOObjectRelease(service);
        service = IOIteratorNext(iterator);
        if (service == IO_OBJECT_NULL)
            break;
    }
    IOObjectRelease(iterator);
    return service;
}

io_service_t DarwinUserClientInterface::findOwnService(const char* caller)
{
    const uint64_t entryId = m_entryId.load();
    if (entryId == kNoEntry)
        return IO_OBJECT_NULL;
    const io_iterator_t iterator = matchingServices(IORegistryEntryIDMatching(entryId), caller);
    if (iterator == IO_OBJECT_NULL)
        return IO_OBJECT_NULL;
    const io_service_t service = IOIteratorNext(iterator);
    IOObjectRelease(iterator);
    return service;
}

bool DarwinUserClientInterface::init(int index)
{
    if (index < 0)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    const io_service_t service = findService(index, "init");
    if (service == IO_OBJECT_NULL)
        return false;
    uint64_t entryId = kNoEntry;
    const bool identified = IORegistryEntryGetRegistryEntryID(service, &entryId) == kIOReturnSuccess;
    IOObjectRelease(service);
    if (!identified) {
        std::printf("[init] IORegistryEntryGetRegistryEntryID failed\n");
        return false;
    }

    m_entryId.store(entryId);
    m_index = index;
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = ZynLockFile::open(index);
    if (m_lockFd < 0) {
        std::printf("[%d init] create lock file failed\n", static_cast<int>(::getpid()));
        return false;
    }
    return true;
}

bool DarwinUserClientInterface::opendev()
{
    if (m_connection != IO_OBJECT_NULL)
        closedev();
    // The service found at init, not whatever stands at its index now: controllers that come
    // and go move the others' positions.
    const io_service_t service = findOwnService("opendev");
    if (service == IO_OBJECT_NULL)
        return false;
    io_connect_t connection = IO_OBJECT_NULL;
    const kern_return_t kr = IOServiceOpen(service, mach_task_self(), 0, &connection);
    IOObjectRelease(service);
    if (kr != kIOReturnSuccess) {
        std::printf("[opendev] IOServiceOpen failed\n");
        return false;
    }
    adoptConnection(connection);
    if (callScalar(zynmsr::kSelOpen) != kIOReturnSuccess) {
        std::printf("[opendev] controller open failed\n");
        closeConnection();
        return false;
    }
    m_opened = true;
    return true;
}

bool DarwinUserClientInterface::closedev()
{
    if (m_connection == IO_OBJECT_NULL)
        return true;
    const kern_return_t kr = m_opened ? callScalar(zynmsr::kSelClose) : kIOReturnNotOpen;
    const bool closed = kr == kIOReturnSuccess;
    // An interruption sends no close, or a wake() has ended the connection under it: either way
    // its driver drops what the connection held, and nothing failed.
    if (closeConnection() && !closed && kr != kIOReturnAborted)
        std::printf("[closedev] controller close failed\n");
    return closed;
}

int DarwinUserClientInterface::send(_IF_CMD_BLOCK* block)
{
    if (!m_opened) {
        std::printf("[send] controller is not opened\n");
        return -1;
    }
    if (!block || block->writeLength < 0)
        return -1;
    zynmsr::TransferRecord record;
    if (callTransfer(zynmsr::kSelWrite, block->writeBuffer, block->writeLength, &record) !=
        kIOReturnSuccess) {
        std::printf("[send] kernResult != KERN_SUCCESS\n");
        return -1;
    }
    if (record.result != zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK) {
        std::printf("[send] cmd.result != ZYNMSR_USERCLIENT_RETURNCODE_OK, %x\n", record.result);
        return 0;
    }
    return static_cast<int>(std::min<uint64_t>(
        record.length, std::min<uint64_t>(static_cast<uint64_t>(block->writeLength), INT_MAX)));
}

int DarwinUserClientInterface::recv(_IF_CMD_BLOCK* block)
{
    if (!m_opened) {
        std::printf("[recv] controller is not opened\n");
        return -1;
    }
    if (!block || block->readLength < 0)
        return -1;
    zynmsr::TransferRecord record;
    if (callTransfer(zynmsr::kSelRead, block->readBuffer, block->readLength, &record) !=
        kIOReturnSuccess) {
        std::printf("[recv] kernResult != KERN_SUCCESS\n");
        return -1;
    }
    if (record.result != zynmsr::ZYNMSR_USERCLIENT_RETURNCODE_OK)
        std::printf("[recv] cmd.result != ZYNMSR_USERCLIENT_RETURNCODE_OK, %x\n", record.result);
    return static_cast<int>(std::min<uint64_t>(
        record.length, std::min<uint64_t>(static_cast<uint64_t>(block->readLength), INT_MAX)));
}

void DarwinUserClientInterface::reportLockFailure(kern_return_t kernResult)
{
    std::printf("[requirelock] \"kernResult != kIOReturnSuccess\", kernResult = 0x%X\n",
                static_cast<unsigned>(kernResult));
}

int DarwinUserClientInterface::syncSend(_IF_CMD_BLOCK* block)
{
    if (!blockUsable(block))
        return ZYN_IO_BAD_BLOCK;
    std::unique_ptr<unsigned char[]> scratch(new (std::nothrow) unsigned char[kZynScratchSize]());
    if (!scratch)
        return ZYN_IO_OPEN_FAILED;

    // Threads of this process first, then other processes on the same slot.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_lockFd < 0) {
        std::printf("Invalid fd\n");
        return ZYN_IO_OPEN_FAILED;
    }
    if (!ZynLockFile::lock(m_lockFd)) {
        std::printf("[%d syncSend] fcntl's lock failed, errno = %d\n",
                    static_cast<int>(::getpid()), errno);
        return ZYN_IO_OPEN_FAILED;
    }
    int result = ZYN_IO_OPEN_FAILED;
    if (opendev()) {
        result = lockedExchange(block, scratch.get(), kZynScratchSize);
        closedev();
    }
    if (!ZynLockFile::unlock(m_lockFd)) {
        std::printf("[%d syncSend] fcntl's unlock failed, errno = %d\n",
                    static_cast<int>(::getpid()), errno);
        return ZYN_IO_OPEN_FAILED;
    }
    return result;
}
