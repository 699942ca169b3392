// Identity, access and maintenance: identify, passwords, identity records, clock, logo,
// controller settings commands, reset, firmware update and the web-page pass-through.
#include "zynconst.h"
#include "zynframe.h"
#include "zynlib.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <vector>

namespace {

std::atomic<int> g_logoPauseMs{500};

constexpr int kPasswordField = 16;
constexpr int kMaxPassword = 15;
constexpr int kLogoPageSize = 2000;
constexpr int kLogoPagesEnclosureFamily = 32;
constexpr int kLogoPages = 4;
constexpr u8 kLogoMagic[4] = {'U', 0xAA, 0xA5, 'Z'};
constexpr u8 kLogoClearPage = 0xFF;
constexpr int kResetReplySize = 10240;
constexpr int kMaxPath = 511;
constexpr u8 kUnitSerialLength = 15;
constexpr int kUnitSerialSize = 16;
constexpr int kPasswordLengthField = 20;
constexpr int kPasswordTextField = 21;
constexpr int kUnitSerialField = 76;

void sleepMs(int ms)
{
    if (ms <= 0)
        return;
    timespec ts{ms / 1000, long(ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

// The 16-byte password field: length, then the text, zero-filled.
void passwordField(const char* text, size_t length, u8* out)
{
    std::memset(out, 0, kPasswordField);
    out[0] = u8(length);
    std::memcpy(out + 1, text, length);
}

// Dotted-quad IPv4 text to its four octets, first octet first.
bool parseAddress(const char* text, u8 out[4])
{
    in_addr address{};
    if (text == nullptr || inet_pton(AF_INET, text, &address) != 1)
        return false;
    std::memcpy(out, &address.s_addr, 4);   // network order: first octet first
    return true;
}

bool hasCapability(const sSYSTEM_INFO& info, u8 bit)
{
    return (info.capabilities() & bit) != 0;
}

} // namespace

void CZynlib::setLogoPagePauseMilliseconds(int ms)
{
    g_logoPauseMs.store(ms < 0 ? 0 : ms);
}

u32 CZynlib::statusCommand(u8 command, const u8* payload, int length)
{
    u8 reply[kReadReplySize];
    int received = 0;
    return readCommand(command, payload, length, reply, &received);
}

u32 CZynlib::ZynIdentify()
{
    static const char* const kProducts[] = {zynident::kRaidSubsystem, zynident::kJbodSubsystem,
                                            zynident::kJbod6GSubsystemAlt, zynident::kJbod6GSubsystem};
    char identify[zynident::kIdentifySize] = {};
    const u32 rc = ZynGetIdentifyString(identify);
    if (rc != ZYN_OK)
        return rc;
    for (const char* product : kProducts)
        if (std::strncmp(identify, product, std::strlen(product)) == 0)
            return ZYN_OK;
    return 1;
}

u32 CZynlib::ZynMuteBeeper()
{
    return statusCommand(ZYN_CMD_MUTE_BEEPER, nullptr, 0);
}

u32 CZynlib::ZynSetBeeper(unsigned char on)
{
    if (on > 1)
        return ZYN_ERR_INVALID_ARG;
    return statusCommand(0x31, &on, 1);
}

u32 CZynlib::ZynSetPassword(char* text)
{
    if (text == nullptr)
        return ZYN_ERR_INVALID_ARG;
    const size_t length = strnlen(text, kMaxPassword + 1);
    if (length > kMaxPassword)
        return ZYN_ERR_INVALID_ARG;
    for (size_t i = 0; i < length; ++i)
        if (!std::isalnum(static_cast<unsigned char>(text[i])))
            return ZYN_ERR_INVALID_ARG;
    u8 field[kPasswordField];
    passwordField(text, length, field);
    return statusCommand(ZYN_CMD_SET_PASSWORD, field, sizeof field);
}

u32 CZynlib::ZynChkPassword(char* text)
{
    if (text == nullptr)
        return ZYN_ERR_INVALID_ARG;
    const size_t length = strnlen(text, kMaxPassword + 1);
    if (length > kMaxPassword)
        return ZYN_ERR_INVALID_ARG;
    u8 field[kPasswordField];
    passwordField(text, length, field);
    return statusCommand(ZYN_CMD_CHECK_PASSWORD, field, sizeof field);
}

u32 CZynlib::ZynLogOut()
{
    return statusCommand(ZYN_CMD_LOGOUT, nullptr, 0);
}

u32 CZynlib::ZynSetHostMode(unsigned char value)
{
    if (value > 1)
        return ZYN_ERR_INVALID_ARG;
    return statusCommand(0x33, &value, 1);
}

u32 CZynlib::ZynSetRebuildPriority(unsigned char value)
{
    if (value > 3)
        return ZYN_ERR_INVALID_ARG;
    return statusCommand(0x34, &value, 1);
}

u32 CZynlib::ZynSetMaxAtaMode(unsigned char value)
{
    // One family counts the modes the other way round.
    if (m_sysInfo.family() == 1) {
        if (value > 3)
            return ZYN_ERR_INVALID_ARG;
        value = u8(3 - value);
    }
    return statusCommand(0x35, &value, 1);
}

u32 CZynlib::ZynSetDhcpIp(unsigned char dhcp, char* ip)
{
    u8 payload[5] = {dhcp};
    if (!parseAddress(ip, payload + 1))
        return ZYN_ERR_INVALID_ARG;
    return statusCommand(0x39, payload, sizeof payload);
}

u32 CZynlib::ZynSetTermPort(unsigned char a, unsigned char b, unsigned char c)
{
    if (b > 7 || a > 1 || c > 1)
        return ZYN_ERR_INVALID_ARG;
    const u8 payload[6] = {a, b, 1, c, 0, 0};
    return statusCommand(0x37, payload, sizeof payload);
}

u32 CZynlib::ZynSetSerial(char* serial)
{
    if (serial == nullptr)
        return ZYN_ERR_INVALID_ARG;
    const size_t length = strnlen(serial, 17);
    if (length < 1 || length > 16)
        return ZYN_ERR_INVALID_ARG;
    u8 payload[33] = {15};
    std::memcpy(payload + 1, zynconst::kAccessString16, 16);
    std::memcpy(payload + 17, serial, length);   // zero-padded to 16
    return statusCommand(ZYN_CMD_SET_SERIAL, payload, sizeof payload);
}

namespace {
// The identity texts: 8, the access string, 8 blanks, the text blank-filled to `width`.
u32 identityText(CZynlib& lib, u8 command, const char* text, size_t width)
{
    if (text == nullptr)
        return ZYN_ERR_INVALID_ARG;
    const size_t length = strnlen(text, width + 1);
    if (length < 1 || length > width)
        return ZYN_ERR_INVALID_ARG;
    std::vector<u8> payload(17 + width, ' ');
    payload[0] = 8;
    std::memcpy(payload.data() + 1, zynconst::kAccessString8, 8);
    std::memcpy(payload.data() + 17, text, length);
    int received = 0;
    u8 reply[64];
    return lib.ZynCmdReadWrite(command, payload.data(), int(payload.size()), reply, sizeof reply, received);
}
} // namespace

u32 CZynlib::ZynSetVendor(char* text)
{
    return identityText(*this, ZYN_CMD_SET_VENDOR, text, 40);
}

u32 CZynlib::ZynSetModel(char* text)
{
    return identityText(*this, ZYN_CMD_SET_MODEL, text, 8);
}

u32 CZynlib::ZynSetMacAddr(unsigned char* mac)
{
    if (mac == nullptr)
        return ZYN_ERR_INVALID_ARG;
    u8 payload[23] = {8};
    std::memcpy(payload + 1, zynconst::kAccessString8, 8);
    std::memcpy(payload + 17, mac, 6);
    return statusCommand(ZYN_CMD_SET_MAC, payload, sizeof payload);
}

u32 CZynlib::ZynSetTime(unsigned char utc)
{
    if (utc && !hasCapability(m_sysInfo, zynconst::kCapUtcClock))
        return ZYN_ERR_INVALID_ARG;
    const time_t now = time(nullptr);
    tm t{};
    if (utc)
        gmtime_r(&now, &t);
    else
        localtime_r(&now, &t);
    u8 payload[17] = {8};
    std::memcpy(payload + 1, zynconst::kAccessString8, 8);
    payload[9] = u8(t.tm_year + 1900 - 2000);
    payload[10] = u8(t.tm_mon + 1);
    payload[11] = u8(t.tm_mday);
    payload[12] = u8(t.tm_hour);
    payload[13] = u8(t.tm_min);
    payload[14] = u8(t.tm_sec);
    payload[15] = 0x55;
    payload[16] = 0xAA;
    return statusCommand(0x1D, payload, utc ? 17 : 15);
}

u32 CZynlib::SetLogoPage(unsigned char page, unsigned char* data, int len)
{
    if (len < 0 || (len > 0 && data == nullptr) || len > kLogoPageSize)
        return ZYN_ERR_INVALID_ARG;
    u8 payload[5 + kLogoPageSize];
    payload[0] = page;
    std::memcpy(payload + 1, kLogoMagic, sizeof kLogoMagic);
    if (len > 0)
        std::memcpy(payload + 5, data, size_t(len));
    return statusCommand(0x18, payload, len + 5);
}

u32 CZynlib::ZynSetLogo(char* data, int len)
{
    const int pages = m_sysInfo.isEnclosureFamily() ? kLogoPagesEnclosureFamily : kLogoPages;
    std::vector<u8> image;
    if (data != nullptr) {
        // The image begins with its length: what fits is pages x 2000 - 2 bytes.
        if (len < 0 || len > pages * kLogoPageSize - 2)
            return ZYN_ERR_INVALID_ARG;
        image.assign(size_t(pages * kLogoPageSize), 0);
        zynwire::putU16(image.data(), u16(len));
        std::memcpy(image.data() + 2, data, size_t(len));
    }
    for (int k = 0; k < pages; ++k) {
        const u32 rc = data != nullptr
                           ? SetLogoPage(u8(k), image.data() + k * kLogoPageSize, kLogoPageSize)
                           : SetLogoPage(kLogoClearPage, nullptr, 0);
        if (rc != ZYN_OK)
            return rc;
        sleepMs(g_logoPauseMs.load());
    }
    return ZYN_OK;
}

u32 CZynlib::ZynResetController()
{
    std::vector<u8> reply(kResetReplySize);
    int received = 0;
    return ZynCmdReadWrite(ZYN_CMD_RESET, nullptr, 0, reply.data(), kResetReplySize, received);
}

u32 CZynlib::ZynUpdateFirmware(char* buffer, int len)
{
    if (buffer == nullptr || len <= 0)
        return ZYN_ERR_INVALID_ARG;
    // Block numbers have 15 bits; the 16th marks the last block.
    if (len > kMaxFirmwareBlocks * kFirmwareBlockSize)
        return ZYN_ERR_INVALID_ARG;
    u32 rc = ZYN_OK;
    for (int block = 0, done = 0; rc == ZYN_OK && done < len; ++block) {
        const int size = std::min(kFirmwareBlockSize, len - done);
        const bool last = done + size >= len;
        u8 payload[14 + kFirmwareBlockSize] = {};
        payload[0] = kSetupSubCommand;
        std::memcpy(payload + 1, kSetupAccessPrefix, sizeof kSetupAccessPrefix);
        payload[9] = SetupOpFirmwareBlock;
        payload[10] = 0;
        payload[11] = u8(block & 0xFF);
        payload[12] = u8((block >> 8) | (last ? 0x80 : 0));
        std::memcpy(payload + 13, buffer + done, size_t(size));
        rc = statusCommand(ZYN_CMD_SETUP_DATA, payload, size + 14);
        done += size;
    }
    return rc;
}

u32 CZynlib::ZynUpdateFirmware(char* path)
{
    if (path == nullptr || path[0] == '\0')
        return ZYN_ERR_INVALID_ARG;
    if (!SetupFirmwareAllowed())
        return ZYN_ERR_NOT_ALLOWED;
    if (strnlen(path, kMaxPath + 1) > size_t(kMaxPath))
        return ZYN_ERR_INVALID_ARG;
    struct stat st{};
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return ZYN_ERR_FILE;
    if (st.st_size <= 0 || st.st_size > int64_t(kMaxFirmwareBlocks) * kFirmwareBlockSize)
        return ZYN_ERR_INVALID_ARG;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return ZYN_ERR_FILE;
    std::vector<char> image(size_t(st.st_size));
    const size_t read = std::fread(image.data(), 1, image.size(), file);
    std::fclose(file);
    if (read != image.size())
        return ZYN_ERR_FILE;
    return ZynUpdateFirmware(image.data(), int(image.size()));
}

// What a request piece's frame adds to the piece: the frame's head and checksum, the command byte.
constexpr int kHttpPieceOverhead = kZynFrameOverhead + 1;

int CZynlib::ZynHttpCapacity(int mtu)
{
    if (mtu < kHttpPieceSize + kHttpPieceOverhead)
        return kHttpPieceSize;
    // As many packets of earlier pieces as leave room for a last piece of at least one byte.
    const int earlier = (kZynScratchSize - kHttpPieceOverhead - 1) / mtu;
    const int last = std::min(kHttpPieceSize, kZynScratchSize - kHttpPieceOverhead - earlier * mtu);
    return earlier * kHttpPieceSize + last;
}

u32 CZynlib::ZynHttp(char* request, int len, char* reply, int* replyLength)
{
    if (replyLength != nullptr)
        *replyLength = 0;
    if (m_interface == nullptr)
        return ZYN_ERR_NO_TRANSPORT;
    if (request == nullptr || len < 1 || reply == nullptr || replyLength == nullptr)
        return ZYN_ERR_INVALID_ARG;
    // Each piece of the request is a frame of its own that begins a transport packet.
    const int pieces = (len + kHttpPieceSize - 1) / kHttpPieceSize;
    const int lastPiece = len - (pieces - 1) * kHttpPieceSize;
    const int total = (pieces - 1) * m_mtu + lastPiece + kHttpPieceOverhead;
    if (total > kZynScratchSize || (pieces > 1 && m_mtu < kHttpPieceSize + kHttpPieceOverhead))
        return ZYN_ERR_INVALID_ARG;
    std::vector<u8> frames(size_t(total), 0);
    for (int i = 0; i < pieces; ++i) {
        const int size = i + 1 < pieces ? kHttpPieceSize : lastPiece;
        ZynBuildFrame(ZYN_CMD_HTTP_PIECE, request + i * kHttpPieceSize, size, frames.data() + i * m_mtu);
    }
    std::vector<u8> answer(kZynScratchSize);
    int received = 0;
    const u32 rc = ZynCmdReadWrite(ZYN_CMD_RAW, frames.data(), total, answer.data(), kZynScratchSize, received);
    if (rc != ZYN_OK || received < kZynFrameOverhead)
        return rc;
    // The page without the frame's head and its last byte.
    *replyLength = received - kZynFrameOverhead;
    std::memcpy(reply, answer.data() + 5, size_t(*replyLength));
    return ZYN_OK;
}

u32 CZynlib::ZynGetPassword(char* out, int size)
{
    if (out == nullptr || size <= 0)
        return ZYN_ERR_INVALID_ARG;
    char length[16];
    char text[64];
    int got = 0;
    u32 rc = ZynReadSetupData(kPasswordTextField, text, sizeof text, &got, nullptr);
    if (rc != ZYN_OK)
        return rc;
    const int textLength = got;
    rc = ZynReadSetupData(kPasswordLengthField, length, sizeof length, &got, nullptr);
    if (rc != ZYN_OK)
        return rc;
    const int n = got > 0 ? u8(length[0]) : 0;
    // The length comes from the controller: never more than the password field holds.
    if (n > textLength || n > kMaxPassword || n > size)
        return ZYN_ERR_INVALID_ARG;
    std::memcpy(out, text, size_t(n));
    if (n < size)
        out[n] = '\0';
    return ZYN_OK;
}

u32 CZynlib::ZynSetUnitSerial(char* text, int len)
{
    if (text == nullptr || len < 1 || len > kUnitSerialSize)
        return ZYN_ERR_INVALID_ARG;
    if (hasCapability(m_sysInfo, zynconst::kCapUnitSerialCommand))
        return ZynSetEnclosureUnitSerialNumber(text, len);
    char field[kUnitSerialSize] = {};
    std::memcpy(field, text, size_t(len));
    return ZynWriteSetupData(kUnitSerialField, field, kUnitSerialSize, nullptr);
}

u32 CZynlib::ZynGetUnitSerial(char* out, int size)
{
    if (out == nullptr || size < kUnitSerialSize)
        return ZYN_ERR_INVALID_ARG;
    int length = 0;
    return ZynReadSetupData(kUnitSerialField, out, size, &length, nullptr);
}

u32 CZynlib::ZynSetEnclosureUnitSerialNumber(char* text, int len)
{
    if (text == nullptr || len < 1 || len > kUnitSerialSize)
        return ZYN_ERR_INVALID_ARG;
    u8 payload[33] = {kUnitSerialLength};
    std::memcpy(payload + 1, zynconst::kAccessString16, 16);
    std::memcpy(payload + 17, text, size_t(len));
    return statusCommand(ZYN_CMD_UNIT_SERIAL, payload, sizeof payload);
}

u32 CZynlib::ZynSetLCDTitleToIPAddress(unsigned int on)
{
    const u8 args[2] = {0, u8(on)};
    u8 reply[kReadReplySize];
    int length = 0;
    return SetupRequest(SetupOpLcdTitle, args, sizeof args, reply, &length);
}

u32 CZynlib::ZynGetRTCInfo(unsigned char* out, int size)
{
    if (out == nullptr || size <= 0)
        return ZYN_ERR_INVALID_ARG;
    u8 reply[kReadReplySize];
    int length = 0;
    const u32 rc = SetupRequest(SetupOpRtc, nullptr, 0, reply, &length);
    if (rc != ZYN_OK)
        return rc;
    if (length > size)
        return ZYN_ERR_BUFFER_TOO_SMALL;
    std::memcpy(out, reply, size_t(length));
    return ZYN_OK;
}
