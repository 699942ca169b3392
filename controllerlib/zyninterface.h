// The abstract transport of a library session and the command block of one exchange.
#pragma once

#include <atomic>
#include <cstdint>

typedef int (*ZynFrameLengthFn)(unsigned char* buffer, int count);
typedef int (*ZynCheckSumFn)(unsigned char* frame, int count);

struct _IF_CMD_BLOCK {
    uint64_t timeout = 0;          // milliseconds
    uint64_t kind = 0;             // command kind; passed on unread by the transports
    unsigned char* writeBuffer = nullptr;
    int64_t writeLength = 0;
    unsigned char* readBuffer = nullptr;
    int64_t readLength = 0;        // in: capacity; after the exchange: bytes received
    uint64_t reserved = 0;
    ZynFrameLengthFn frameLength = nullptr;
    ZynCheckSumFn checkSum = nullptr;
    // Not null: the reply is waited for as long as this other exchange's would be, when that
    // is longer than this one's own wait. The read that confirms a controller before a command
    // so waits as the command itself would; the transports never send this block.
    const _IF_CMD_BLOCK* waitAs = nullptr;
};

// syncSend results below zero.
enum ZynTransportResult {
    ZYN_IO_OPEN_FAILED = -1,
    ZYN_IO_RECV_FAILED = -2,
    ZYN_IO_TRANSPORT_FAILED = -3,
    ZYN_IO_RETRY = -4,
    ZYN_IO_TRANSPORT_FAILED_ALT = -5,
    ZYN_IO_BAD_BLOCK = -6,
    ZYN_IO_REPLY_TIMEOUT = -7,
    ZYN_IO_SEND_TIMEOUT = -8,
    ZYN_IO_TRANSPORT_OTHER = -9,
    ZYN_IO_QOPEN_FAILED = -10,
    ZYN_IO_INTERRUPTED = -11,   // the transport was interrupted: the exchange ended unfinished
};

// Size of the scratch a transport receives a reply frame into.
constexpr int kZynScratchSize = 0x30000;

class ZynInterface {
public:
    ZynInterface() = default;
    virtual ~ZynInterface() = default;
    ZynInterface(const ZynInterface&) = delete;
    ZynInterface& operator=(const ZynInterface&) = delete;

    virtual int send(_IF_CMD_BLOCK*) { return 0; }
    virtual int recv(_IF_CMD_BLOCK*) { return 0; }
    virtual int syncSend(_IF_CMD_BLOCK*) { return 0; }
    virtual int getMTU() = 0;
    virtual int getDeviceHandle() = 0;
    virtual void requirelock() {}
    virtual void releaselock() {}
    virtual void* getFirmSpec() { return nullptr; }
    virtual void* getData() { return nullptr; }

    // Ends the exchange under way within one poll, and refuses every exchange after it
    // (ZYN_IO_INTERRUPTED) until resume(). From any thread; the transport must stay alive
    // until the call returns.
    void interrupt();
    void resume();
    bool interrupted() const;
    // Interrupts every exchange of the process, of the transports there are and of those made
    // later, until ResumeAll(): what the program's end uses, so that nothing it waits for
    // hangs on a controller that does not answer. Waits no wake() covers end within one poll.
    static void InterruptAll();
    static void ResumeAll();

    // Polls of one poll interval the exchange of `block` may spend waiting for each piece it
    // sends and each piece of its reply: its own budget, or that of its waitAs block when larger.
    int exchangePolls(const _IF_CMD_BLOCK* block);

    void setTimeOut(int timeout) { if (timeout >= 0) m_timeout = timeout; }
    int getTimeOut() const { return m_timeout; }

    // Test seam: the length of one poll of the transports, 10 ms in the product.
    static void setPollIntervalMicroseconds(int us);
    static int pollIntervalMicroseconds();

protected:
    // Sleeps one poll interval.
    static void pollSleep();
    // False for blocks whose buffers and lengths do not fit together.
    static bool blockUsable(const _IF_CMD_BLOCK* block);
    // The poll budget of one exchange of `block`, by the transport's own rule; here the block's
    // time-out at one poll per 10 ms.
    virtual int pollsFor(const _IF_CMD_BLOCK* block);
    // Called after a read that brought nothing: waits one poll for more to arrive.
    virtual void waitForData() { pollSleep(); }
    // Whether a send() below zero ends the exchange at once (ZYN_IO_TRANSPORT_FAILED), as a
    // recv() below zero does: the transport's connection can carry nothing more. Otherwise
    // such a piece costs one poll, as one the transport did not take.
    virtual bool sendFailureEndsExchange() const { return false; }
    // Called by interrupt() after the flag is set, on the interrupting thread: ends a wait of
    // the exchange that does not look at the flag (a blocking call into the driver).
    virtual void wake() {}

    // One exchange over send() and recv(): sends the block's frame in pieces of at most
    // getMTU(), then receives the reply frame into `scratch` and copies it to the block's read
    // buffer. A piece that does not go and a read that brings nothing each cost one of `polls`;
    // progress restores them. Returns the frame length, 0 when the frame does not fit the read
    // buffer (or the scratch), the bytes received when they are no frame, or
    // ZYN_IO_SEND_TIMEOUT, ZYN_IO_TRANSPORT_FAILED, ZYN_IO_REPLY_TIMEOUT, ZYN_IO_RECV_FAILED.
    int transferFrame(_IF_CMD_BLOCK* block, int polls, unsigned char* scratch, int scratchSize);

    int m_timeout = 10;

private:
    std::atomic<bool> m_interrupted{false};
};
