#include "zynlib.h"

#include "zynframe.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Largest event ring the library keeps a copy of (records).
constexpr u32 kMaxEventRingCapacity = 0x10000;
// Largest payload of one framed command: the 16-bit length counts the command byte too.
constexpr int kMaxPayload = 0xFFFF - 1;

// Commands a JBOD enclosure accepts.
constexpr u8 kJbodCommands[] = {
    ZYN_CMD_SET_SERIAL, ZYN_CMD_SET_VENDOR, ZYN_CMD_SET_MODEL, ZYN_CMD_IDENTIFY, ZYN_CMD_LOGOUT, ZYN_CMD_SET_MAC,
    ZYN_CMD_GET_SYSINFO, ZYN_CMD_SET_PASSWORD, ZYN_CMD_RAW, ZYN_CMD_UNIT_SERIAL, ZYN_CMD_F4, ZYN_CMD_F5};

// Time-outs of a command's exchange, in milliseconds; a reset is not waited for.
constexpr uint64_t kShortTimeoutMs = 3000;
constexpr uint64_t kResetTimeoutMs = 0;
constexpr uint64_t kTimeoutMs = 60000;

// The kind field of the command block: the command's kind, plus kKindEnclosureFamily on the
// enclosure family.
constexpr uint64_t kKindPlain = 0;
constexpr uint64_t kKindHttpPiece = 1;
constexpr uint64_t kKindClassEd = 4;
constexpr uint64_t kKindRaw = 8;
constexpr uint64_t kKindClassEc = 12;
constexpr uint64_t kKindEnclosureFamily = 16;

// A reply of one data byte, which may be a status letter.
constexpr int kStatusReplyLength = kZynFrameOverhead + 1;

bool jbodAllows(u8 command)
{
    return std::find(std::begin(kJbodCommands), std::end(kJbodCommands), command) != std::end(kJbodCommands);
}

uint64_t commandTimeout(u8 command)
{
    switch (command) {
    case ZYN_CMD_GET_SYSINFO:
    case ZYN_CMD_MUTE_BEEPER:
        return kShortTimeoutMs;
    case ZYN_CMD_RESET:
        return kResetTimeoutMs;
    default:
        return kTimeoutMs;
    }
}

uint64_t commandKind(u8 command, const sSYSTEM_INFO& info)
{
    uint64_t kind = kKindPlain;
    switch (command) {
    case ZYN_CMD_HTTP_PIECE: kind = kKindHttpPiece; break;
    case ZYN_CMD_CLASS_ED: kind = kKindClassEd; break;
    case ZYN_CMD_RAW: kind = kKindRaw; break;
    case ZYN_CMD_CLASS_EC: kind = kKindClassEc; break;
    default: break;
    }
    if (info.isEnclosureFamily())
        kind += kKindEnclosureFamily;
    return kind;
}


} // namespace

u32 ZynMapTransportResult(int result)
{
    switch (result) {
    case ZYN_IO_OPEN_FAILED: return ZYN_ERR_IO;
    case ZYN_IO_RECV_FAILED: return ZYN_ERR_RECV;
    case ZYN_IO_TRANSPORT_FAILED: return ZYN_ERR_TRANSPORT;
    case ZYN_IO_TRANSPORT_FAILED_ALT: return ZYN_ERR_TRANSPORT;
    case ZYN_IO_BAD_BLOCK: return ZYN_ERR_IO;
    case ZYN_IO_REPLY_TIMEOUT: return ZYN_ERR_REPLY_TIMEOUT;
    case ZYN_IO_SEND_TIMEOUT: return ZYN_ERR_SEND_TIMEOUT;
    case ZYN_IO_TRANSPORT_OTHER: return ZYN_ERR_TRANSPORT_OTHER;
    case ZYN_IO_INTERRUPTED: return ZYN_ERR_INTERRUPTED;
    default: return ZYN_ERR_IO;
    }
}

CZynlibBase::~CZynlibBase()
{
    delete m_interface;
    m_interface = nullptr;
}

void CZynlibBase::ZynSetCallBack(void (*)(void*))
{
}

u32 CZynlibBase::ZynInitSession(ZynInterface* interface)
{
    m_interface = interface;
    return ZYN_OK;
}

CZynlib::CZynlib() = default;

CZynlib::~CZynlib()
{
    releaseSession();
}

void CZynlib::releaseSession()
{
    std::free(m_eventPage);
    std::free(m_eventRing);
    m_eventPage = nullptr;
    m_eventRing = nullptr;
    m_eventRingCapacity = 0;
    delete m_interface;
    m_interface = nullptr;
}

void CZynlib::ZynSetCallBack(void (*callback)(void*))
{
    m_callback = callback;
}

ZynInterface* CZynlib::ZynGetInterface()
{
    return m_interface;
}

u32 CZynlib::ZynInitSession(ZynInterface* interface)
{
    if (interface == nullptr)
        return ZYN_ERR_INVALID_ARG;
    if (m_interface != nullptr) {
        releaseSession();
        m_lastEventCounter = 0;
        m_latestEventCounter = 0;
        m_eventsHeld = 0;
        m_mode = ModeRaid;
        m_setupLayout = -1;
    }
    m_interface = interface;
    m_mtu = std::max(interface->getMTU(), 8);

    if (IsEnclosure())
        m_mode = ModeJbod;

    std::memset(&m_sysInfo, 0, sizeof m_sysInfo);
    const u32 rc = ZynGetSysInfo(&m_sysInfo);
    if (rc != ZYN_OK)
        return rc;
    if (m_mode == ModeJbod)
        return ZYN_OK;

    // The ring copy holds whole pages of 16 records; a capacity beyond what any controller has
    // is not trusted.
    const u32 capacity = std::min(m_sysInfo.eventRingCapacity(), kMaxEventRingCapacity) / kEventsPerPage * kEventsPerPage;
    m_eventPage = static_cast<u8*>(std::calloc(kEventPageSize, 1));
    m_eventRing = static_cast<u8*>(std::calloc(std::max<size_t>(capacity / kEventsPerPage, 1), kEventPageSize));
    m_eventRingCapacity = capacity;
    return ZYN_OK;
}

bool CZynlib::IsEnclosure()
{
    static const char* const kJbodPrefixes[] = {
        zynident::kJbodSubsystem, zynident::kJbod6GSubsystem, zynident::kJbod6GSubsystemAlt};

    const int previousMode = m_mode;
    m_mode = ModeJbod;   // lets the identify command through the JBOD filter
    char identify[zynident::kIdentifySize] = {};
    if (ZynGetIdentifyString(identify) != ZYN_OK) {
        // Without an answer nothing is known: a RAID controller must not be left in JBOD mode.
        m_mode = previousMode;
        return false;
    }
    for (const char* prefix : kJbodPrefixes) {
        if (std::strncmp(identify, prefix, std::strlen(prefix)) == 0)
            return true;
    }
    m_mode = ModeRaid;
    return false;
}

int CZynlib::ZynDoIO(_IF_CMD_BLOCK* block)
{
    if (block == nullptr)
        return ZYN_IO_BAD_BLOCK;
    if (m_interface == nullptr)
        return ZYN_IO_OPEN_FAILED;
    if (block->frameLength == nullptr)
        block->frameLength = get_frame_length;
    if (block->checkSum == nullptr)
        block->checkSum = CalCheckSum;
    // An interrupted transport exchanges nothing; an exchange it cut short failed for that
    // reason, whatever the transport saw last.
    if (m_interface->interrupted())
        return ZYN_IO_INTERRUPTED;
    int result = m_interface->syncSend(block);
    if (result < 0 && m_interface->interrupted())
        result = ZYN_IO_INTERRUPTED;
    if (void (*const callback)(void*) = m_callback.load())
        callback(block);
    return result;
}

u32 CZynlib::ZynCmdReadWrite(u8 command, void* payload, int payloadLength, void* reply,
                             int replyCapacity, int& replyLength, u32 /*flags*/)
{
    return exchangeCommand(command, payload, payloadLength, reply, replyCapacity, replyLength, nullptr);
}

u32 CZynlib::ZynCmdReadWriteWaitingAs(u8 command, void* payload, int payloadLength, void* reply,
                                      int replyCapacity, int& replyLength, u8 patienceCommand,
                                      const void* patiencePayload, int patienceLength)
{
    // The transports read only the other block's time-out and frame to tell its wait.
    _IF_CMD_BLOCK patience;
    patience.timeout = commandTimeout(patienceCommand);
    std::vector<u8> frame;
    if (patienceLength < 0 || (patienceLength > 0 && patiencePayload == nullptr) || patienceLength > kMaxPayload) {
        patienceLength = 0;
        patiencePayload = nullptr;
    }
    if (patienceCommand == ZYN_CMD_RAW) {
        patience.writeBuffer = static_cast<unsigned char*>(const_cast<void*>(patiencePayload));
        patience.writeLength = patienceLength;
    } else {
        frame.resize(size_t(patienceLength) + kZynFrameOverhead + 1);
        patience.writeBuffer = frame.data();
        patience.writeLength = ZynBuildFrame(patienceCommand, patiencePayload, patienceLength, frame.data());
    }
    return exchangeCommand(command, payload, payloadLength, reply, replyCapacity, replyLength, &patience);
}

u32 CZynlib::exchangeCommand(u8 command, void* payload, int payloadLength, void* reply, int replyCapacity,
                             int& replyLength, const _IF_CMD_BLOCK* waitAs)
{
    replyLength = 0;
    if (m_interface == nullptr)
        return ZYN_ERR_NO_TRANSPORT;
    if (m_mode == ModeJbod && !jbodAllows(command))
        return ZYN_ERR_NOT_ALLOWED;
    if (payloadLength < 0 || (payloadLength > 0 && payload == nullptr) || replyCapacity < 0)
        return ZYN_ERR_INVALID_ARG;

    const bool raw = command == ZYN_CMD_RAW;
    if (raw ? payloadLength > kZynScratchSize : payloadLength > kMaxPayload)
        return ZYN_ERR_INVALID_ARG;

    // The frame and reply buffers live as long as the session: allocating and clearing two
    // 192 KiB buffers for every command costs more than the exchange itself. Only the bytes of
    // this command's frame and reply are ever read from them.
    if (m_frameBuffer.empty()) {
        m_frameBuffer.resize(kZynScratchSize);
        m_replyBuffer.resize(kZynScratchSize);
    }
    unsigned char* const frame = m_frameBuffer.data();
    unsigned char* const answer = m_replyBuffer.data();

    _IF_CMD_BLOCK block;
    int received = 0;
    for (int attempt = 0;; ++attempt) {
        block = _IF_CMD_BLOCK();
        block.timeout = commandTimeout(command);
        block.kind = commandKind(command, m_sysInfo);
        if (raw) {
            block.writeBuffer = static_cast<unsigned char*>(payload);
            block.writeLength = payloadLength;
            block.readBuffer = static_cast<unsigned char*>(reply);
            block.readLength = reply != nullptr ? replyCapacity : 0;
        } else {
            block.writeBuffer = frame;
            block.writeLength = ZynBuildFrame(command, payload, payloadLength, frame);
            block.readBuffer = answer;
            block.readLength = kZynScratchSize;
        }
        block.frameLength = get_frame_length;
        block.checkSum = CalCheckSum;
        block.waitAs = waitAs;

        received = ZynDoIO(&block);
        if (received != ZYN_IO_RETRY)
            break;
        // The transport asked for the exchange again; a transport that keeps asking is broken.
        if (attempt + 1 >= kMaxTransportRepeats)
            return ZYN_ERR_IO;
    }

    if (received < 0) {
        // A reset may well take the controller away before it answers.
        if (command == ZYN_CMD_RESET && received == ZYN_IO_REPLY_TIMEOUT)
            return ZYN_OK;
        return ZynMapTransportResult(received);
    }

    if (raw) {
        replyLength = received;
        if (received == 0)
            return ZYN_ERR_BUFFER_TOO_SMALL;   // the reply did not fit the caller's buffer
        if (received < kZynFrameOverhead)
            return ZYN_ERR_RECV;
        return ZYN_OK;
    }

    if (received < kZynFrameOverhead)
        return command == ZYN_CMD_RESET ? ZYN_OK : ZYN_ERR_RECV;
    const int dataLength = ZynCheckReplyFrame(answer, received);
    if (dataLength < 0)
        return command == ZYN_CMD_RESET ? ZYN_OK : ZYN_ERR_BAD_FRAME;

    const unsigned char* data = answer + kZynFrameDataOffset;
    if (received == kStatusReplyLength && command != ZYN_CMD_POLL_EVENT && data[0] >= kZynStatusFirst
        && data[0] <= kZynStatusLast) {
        if (data[0] == kZynStatusOk)
            return ZYN_OK;
        if (data[0] == kZynStatusPassword)
            return ZYN_ERR_PASSWORD_REQUIRED;
        return data[0];
    }

    replyLength = received - kZynFrameOverhead;
    if (replyLength > replyCapacity || (replyLength > 0 && reply == nullptr))
        return ZYN_ERR_BUFFER_TOO_SMALL;
    if (replyLength > 0)
        std::memcpy(reply, data, size_t(replyLength));
    return ZYN_OK;
}

u32 CZynlib::readCommand(u8 command, const u8* payload, int payloadLength, u8* reply, int* replyLength)
{
    std::memset(reply, 0, kReadReplySize);
    int length = 0;
    const u32 rc = ZynCmdReadWrite(command, const_cast<u8*>(payload), payloadLength, reply, kReadReplySize, length);
    *replyLength = rc == ZYN_OK ? std::min(length, kReadReplySize) : 0;
    return rc;
}

u32 CZynlib::ZynGetSysInfo(sSYSTEM_INFO* info)
{
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    u8 reply[kReadReplySize];
    int length = 0;
    const u32 rc = readCommand(ZYN_CMD_GET_SYSINFO, nullptr, 0, reply, &length);
    if (rc != ZYN_OK)
        return rc;
    std::memcpy(info, reply, sizeof *info);
    if (info != &m_sysInfo)
        std::memcpy(&m_sysInfo, reply, sizeof m_sysInfo);
    return ZYN_OK;
}

u32 CZynlib::ZynGetIdentifyString(char* out)
{
    if (out == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(out, 0, zynident::kIdentifyCopy);
    u8 reply[kReadReplySize];
    int length = 0;
    const u32 rc = readCommand(ZYN_CMD_IDENTIFY, nullptr, 0, reply, &length);
    if (rc != ZYN_OK)
        return rc;
    std::memcpy(out, reply, zynident::kIdentifyCopy);
    return ZYN_OK;
}
