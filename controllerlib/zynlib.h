// The controller command library: one session with one controller over one transport.
#pragma once

#include "records.h"
#include "zyninterface.h"

#include <cstdint>

typedef uint8_t u8;
typedef uint16_t u16;
typedef uint32_t u32;
typedef uint64_t u64;

// Library result codes.
enum ZynResult : u32 {
    ZYN_OK = 0,
    ZYN_ERR_BAD_FRAME = 2,
    ZYN_ERR_TRANSPORT = 4,
    ZYN_ERR_RECV = 5,
    ZYN_ERR_INVALID_ARG = 6,
    ZYN_ERR_FILE = 7,
    ZYN_ERR_PASSWORD_REQUIRED = 8,
    ZYN_ERR_BUFFER_TOO_SMALL = 12,
    ZYN_ERR_NO_TRANSPORT = 17,
    ZYN_ERR_NO_OBJECT = 18,
    ZYN_ERR_SEND_TIMEOUT = 19,
    ZYN_ERR_REPLY_TIMEOUT = 20,
    ZYN_ERR_TRANSPORT_OTHER = 21,
    ZYN_ERR_IO = 63,
    ZYN_ERR_NOT_ALLOWED = 72,
};

// Controller status letters in a one-byte reply.
constexpr u8 kZynStatusFirst = 0x41;   // 'A', success
constexpr u8 kZynStatusLast = 0x6A;    // 'j'
constexpr u8 kZynStatusOk = 0x41;
constexpr u8 kZynStatusPassword = 0x4D; // 'M'

// Command bytes used by the library core.
enum ZynCommand : u8 {
    ZYN_CMD_SET_SERIAL = 0x10,
    ZYN_CMD_SET_VENDOR = 0x11,
    ZYN_CMD_SET_MODEL = 0x12,
    ZYN_CMD_IDENTIFY = 0x13,
    ZYN_CMD_CHECK_PASSWORD = 0x14,
    ZYN_CMD_LOGOUT = 0x15,
    ZYN_CMD_HTTP_PIECE = 0x16,
    ZYN_CMD_SET_MAC = 0x17,
    ZYN_CMD_POLL_EVENT = 0x19,
    ZYN_CMD_SETUP_DATA = 0x1F,
    ZYN_CMD_GET_SYSINFO = 0x23,
    ZYN_CMD_MUTE_BEEPER = 0x30,
    ZYN_CMD_SET_PASSWORD = 0x32,
    ZYN_CMD_RESET = 0x36,
    ZYN_CMD_CLASS_EC = 0xEC,
    ZYN_CMD_CLASS_ED = 0xED,
    ZYN_CMD_RAW = 0xEE,
    ZYN_CMD_UNIT_SERIAL = 0xEF,
    ZYN_CMD_F4 = 0xF4,
    ZYN_CMD_F5 = 0xF5,
};

class CZynlibObj {
public:
    CZynlibObj() = default;
    CZynlibObj(const CZynlibObj&) = delete;
    CZynlibObj& operator=(const CZynlibObj&) = delete;
};

class CZynlibBase : public CZynlibObj {
public:
    CZynlibBase() = default;
    virtual ~CZynlibBase();
    virtual void ZynSetCallBack(void (*callback)(void*));
    virtual u32 ZynInitSession(ZynInterface* interface);

protected:
    ZynInterface* m_interface = nullptr;   // owned
};

class CZynlib : public CZynlibBase {
public:
    enum Mode { ModeRaid = 0, ModeJbod = 1, ModeText = 2 };

    CZynlib();
    ~CZynlib() override;

    void ZynSetCallBack(void (*callback)(void*)) override;
    u32 ZynInitSession(ZynInterface* interface) override;
    virtual ZynInterface* ZynGetInterface();

    virtual u32 ZynGetSysInfo(sSYSTEM_INFO* info);
    virtual u32 ZynGetIdentifyString(char* out);

    // One command: frames it, exchanges it through ZynDoIO and checks the reply.
    virtual u32 ZynCmdReadWrite(u8 command, void* payload, int payloadLength, void* reply,
                                int replyCapacity, int& replyLength, u32 flags = 0);
    // One transport exchange.
    virtual int ZynDoIO(_IF_CMD_BLOCK* block);

    bool IsValidHandle() const { return m_interface != nullptr; }
    static u32 ZynGetLibVersion() { return 360; }
    bool IsEnclosure();
    void DebugMsg(const char*, ...) {}

    int mode() const { return m_mode; }
    int mtu() const { return m_mtu; }
    const sSYSTEM_INFO& cachedSysInfo() const { return m_sysInfo; }

    // How often an exchange that the transport asks to repeat (-4) is sent at most.
    static constexpr int kMaxTransportRepeats = 3;

protected:
    void releaseSession();

    int64_t m_reservedHandle = -1;
    void (*m_callback)(void*) = nullptr;   // called with the command block after every exchange
    sSYSTEM_INFO m_sysInfo{};
    int m_mode = ModeRaid;
    u32 m_lastEventCounter = 0;     // last consumed
    u32 m_latestEventCounter = 0;   // from the last poll
    u32 m_eventsHeld = 0;
    u8* m_eventPage = nullptr;      // 512 bytes
    u8* m_eventRing = nullptr;      // (capacity / 16) x 512 bytes
    u32 m_eventRingCapacity = 0;    // records the ring copy was allocated for
    int m_mtu = 0;
    int m_setupLayout = -1;
};

class CZynlibSMART : public CZynlib {
};

class CZynlibALL : public CZynlibSMART {
};

// Maps a negative transport result to a library result code (-4 is handled by the caller).
u32 ZynMapTransportResult(int result);
