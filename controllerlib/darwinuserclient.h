// Transports that reach a controller through its driver's user client (service "ZynMSR").
#pragma once

#include "iokit/iokit.h"
#include "iokit/zynmsr.h"
#include "zyninterface.h"

#include <atomic>
#include <cstdint>
#include <mutex>

// What both user-client transports share: the connection, the driver's selectors and the
// send/receive loop of one exchange.
class ZynUserClientTransport : public ZynInterface {
public:
    int getMTU() override { return static_cast<int>(zynmsr::kDriverMTU); }
    int getDeviceHandle() override { return 0; }

    // Selector 6, retried one poll apart until it succeeds, the connection is gone, or the
    // poll budget of the exchange is spent. isDriverLocked() tells the outcome.
    void requirelock() override;
    // Selector 7.
    void releaselock() override;
    bool isDriverLocked() const { return m_driverLocked; }

    // Selector 4 then, only when it succeeded, selector 5.
    bool ClearReadWriteBuffer();
    bool ClearReadBuffer();   // selector 5
    bool ClearWriteBuffer();  // selector 4

    bool isOpened() const { return m_opened; }
    iokit::io_connect_t connection() const { return m_connection; }

    // Polls an exchange of `timeoutMs` milliseconds may spend waiting: one per 10 ms.
    static int pollBudget(uint64_t timeoutMs);

protected:
    iokit::kern_return_t callScalar(uint32_t selector);
    // Struct call with the transfer record: for a write `length` bytes at `buffer`, for a read
    // `length` is the capacity of `buffer`. `record` receives the driver's record.
    iokit::kern_return_t callTransfer(uint32_t selector, unsigned char* buffer, int64_t length,
                                      zynmsr::TransferRecord* record);

    // Logs a failed selector 6; called at most once per requirelock().
    virtual void reportLockFailure(iokit::kern_return_t kernResult) = 0;

    // A send() below zero is a write call that failed: on a connection whose service has been
    // withdrawn every call fails (kIOReturnInvalidConnection), and waiting does not mend it (the
    // service back is another connection). The exchange ends with it, as on a failed read.
    bool sendFailureEndsExchange() const override { return true; }

    // Closes the connection a call may be waiting on, so that the call returns: its driver
    // drops what the connection held. The calls after it refuse (kIOReturnAborted). It closes
    // only a connection still to be closed: none once the owner has closed its own.
    void wake() override;

    // Makes `connection` (just opened) the transport's: the calls go to it until
    // closeConnection() or a wake() closes it.
    void adoptConnection(iokit::io_connect_t connection);
    // Closes the connection unless a wake() has closed it already (false then); afterwards the
    // transport has none and is not opened.
    bool closeConnection();

    // With the device open: takes the driver lock, runs the exchange and gives the lock back.
    // -1 when the lock could not be had.
    int lockedExchange(_IF_CMD_BLOCK* block, unsigned char* scratch, int scratchSize);

    // Sends the block's bytes in chunks of at most getMTU() and receives one reply frame into
    // `scratch`, copied to the block's read buffer when it fits. The frame length, 0 when it
    // does not fit, the bytes received when they are no frame, or ZYN_IO_SEND_TIMEOUT,
    // ZYN_IO_TRANSPORT_FAILED (a write call failed), ZYN_IO_REPLY_TIMEOUT, ZYN_IO_RECV_FAILED.
    int runExchange(_IF_CMD_BLOCK* block, unsigned char* scratch, int scratchSize);

    iokit::io_connect_t m_connection = iokit::IO_OBJECT_NULL;
    bool m_opened = false;
    bool m_driverLocked = false;
    int m_lockPolls = 0;  // budget for requirelock(); 0: derived from getTimeOut()

private:
    // kIOReturnAborted when the transport is interrupted or a wake() has taken its connection.
    iokit::kern_return_t connectionUsable() const;
    // The connection while it is still to be closed, from its open on. Whoever takes it from
    // here (an exchange for IO_OBJECT_NULL) closes it, closeConnection() or wake(), and nobody
    // else: a handle closed is never closed again, as its number may since name another open.
    // The connection is here before a call looks at the interruption, and wake() takes it after
    // the interruption is set: either the call sees the interruption or its connection is
    // closed under it.
    std::atomic<iokit::io_connect_t> m_liveConnection{iokit::IO_OBJECT_NULL};
};

// The library's transport: finds the index-th controller at init and keeps to that service (its
// registry entry id) from then on, whatever stands at the index later; for every exchange it
// serialises with other threads (mutex) and processes (the lock file of the index it was made
// for), opens the driver, takes its lock, exchanges one frame and closes again.
class DarwinUserClientInterface : public ZynUserClientTransport {
public:
    static constexpr uint64_t kNoEntry = ~uint64_t(0);

    DarwinUserClientInterface() = default;
    ~DarwinUserClientInterface() override;

    bool init(int index);
    // The registry entry id of the service init found; kNoEntry before. From any thread.
    uint64_t entryId() const { return m_entryId.load(); }
    bool opendev();
    bool closedev();

    int send(_IF_CMD_BLOCK* block) override;
    int recv(_IF_CMD_BLOCK* block) override;
    int syncSend(_IF_CMD_BLOCK* block) override;

    int slotIndex() const { return m_index; }
    int lockFileDescriptor() const { return m_lockFd; }

protected:
    void reportLockFailure(iokit::kern_return_t kernResult) override;

private:
    // The index-th service of class ZynMSR (a reference the caller releases), or
    // IO_OBJECT_NULL; `caller` prefixes the messages.
    iokit::io_service_t findService(int index, const char* caller);
    // The service with the entry id init found (a reference the caller releases), or
    // IO_OBJECT_NULL when it is gone.
    iokit::io_service_t findOwnService(const char* caller);

    std::atomic<uint64_t> m_entryId{kNoEntry};
    int m_lockFd = -1;
    int m_index = -1;
    std::mutex m_mutex;
};
