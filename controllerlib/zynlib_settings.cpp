// The controller's mail, SNMP, NTP and network settings: fields of its setup image.
#include "zynlib.h"

#include <arpa/inet.h>
#include <cstring>
#include <vector>

namespace {

constexpr int kFieldBuffer = 1024;
constexpr int kAccountSize = 50;
constexpr int kLoginPasswordSize = 20;

bool boardHasSnmpPath(const sSYSTEM_INFO& info)
{
    return info.compactBoard();
}

struct FieldPlace {
    int id;
    int at;   // offset in the record
};

// Reads each field into its place in `record` (as many bytes as the read gives, never more
// than `room`). The result is the first failure other than an absent field, else the last read's.
u32 readInto(CZynlib& lib, u8* record, const FieldPlace* places, int count, const int* room)
{
    u32 firstFailure = ZYN_OK;
    u32 last = ZYN_OK;
    std::vector<char> buffer(static_cast<size_t>(kFieldBuffer), 0);
    for (int i = 0; i < count; ++i) {
        std::fill(buffer.begin(), buffer.end(), 0);
        int length = 0;
        last = lib.ZynReadSetupData(places[i].id, buffer.data(), kFieldBuffer, &length, nullptr);
        if (last != ZYN_OK) {
            if (last != ZYN_ERR_NOT_ALLOWED && firstFailure == ZYN_OK)
                firstFailure = last;
            continue;
        }
        std::memcpy(record + places[i].at, buffer.data(), size_t(std::min(length, room[i])));
    }
    return firstFailure != ZYN_OK ? firstFailure : last;
}

} // namespace

u32 CZynlib::writeAddressField(int id, const char* text, CFieldInfo* adjust)
{
    in_addr address{};
    // Only a dotted quad: anything else would reach the controller as some other address.
    if (text == nullptr || inet_pton(AF_INET, text, &address) != 1)
        return ZYN_ERR_INVALID_ARG;
    char bytes[4];
    std::memcpy(bytes, &address.s_addr, 4);
    return ZynWriteSetupData(id, bytes, 4, adjust);
}

u32 CZynlib::writeTextField(int id, const char* text, int width)
{
    std::vector<char> bytes(static_cast<size_t>(width), 0);
    std::memcpy(bytes.data(), text, strnlen(text, size_t(width)));
    return ZynWriteSetupData(id, bytes.data(), width, nullptr);
}

u32 CZynlib::ZynGetMailInfo(_MAIL_CONFIG* info)
{
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, 0, sizeof *info);
    static const FieldPlace kPlaces[] = {
        {42, _MAIL_CONFIG::kSmtpServer}, {43, _MAIL_CONFIG::kAccount}, {71, _MAIL_CONFIG::kPassword},
        {66, _MAIL_CONFIG::kAddresses}, {67, _MAIL_CONFIG::kAddresses + 70}, {68, _MAIL_CONFIG::kAddresses + 140},
        {69, _MAIL_CONFIG::kAddresses + 210}, {70, _MAIL_CONFIG::kAddresses + 280}, {39, _MAIL_CONFIG::kLevel1},
        {99, _MAIL_CONFIG::kLevels234}, {40, _MAIL_CONFIG::kNotice1}, {100, _MAIL_CONFIG::kNotices234},
    };
    static const int kRoom[] = {4, 50, 20, 70, 70, 70, 70, 70, 1, 3, 1, 3};
    return readInto(*this, info->bytes, kPlaces, 12, kRoom);
}

u32 CZynlib::ZynGetSnmpInfo(_SNMP_CONFIG* info)
{
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, ' ', sizeof *info);
    zynwire::putU32(info->bytes + _SNMP_CONFIG::kEventLevel, 0);
    static const FieldPlace kPlaces[] = {
        {46, 0}, {47, 4}, {48, 8}, {49, 12}, {50, 14}, {51, 16},
        {72, _SNMP_CONFIG::kCommunity}, {73, _SNMP_CONFIG::kContact}, {74, _SNMP_CONFIG::kLocation},
        {75, _SNMP_CONFIG::kName}, {52, _SNMP_CONFIG::kEventLevel}, {53, _SNMP_CONFIG::kSnmpPath},
    };
    static const int kRoom[] = {4, 4, 4, 2, 2, 2, 16, 32, 32, 32, 1, 1};
    return readInto(*this, info->bytes, kPlaces, boardHasSnmpPath(m_sysInfo) ? 12 : 11, kRoom);
}

u32 CZynlib::ZynGetNtpInfo(_NTP_CONFIG* info)
{
    if (info == nullptr)
        return ZYN_ERR_INVALID_ARG;
    std::memset(info, ' ', sizeof *info);
    info->bytes[_NTP_CONFIG::kTimeZone] = 0;
    info->bytes[_NTP_CONFIG::kDaylightSaving] = 0;
    static const FieldPlace kPlaces[] = {{95, 0}, {96, 4}, {93, _NTP_CONFIG::kTimeZone}, {94, _NTP_CONFIG::kDaylightSaving}};
    static const int kRoom[] = {4, 4, 1, 1};
    return readInto(*this, info->bytes, kPlaces, 4, kRoom);
}

u32 CZynlib::ZynSetMailSmtpIp(char* ip)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    return writeAddressField(42, ip);
}

u32 CZynlib::ZynSetMailSmtpLoginAccount(char* account, char* password)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    // A text that does not fit is refused before anything is written.
    if (account != nullptr && strnlen(account, kAccountSize) >= size_t(kAccountSize))
        return ZYN_ERR_INVALID_ARG;
    if (password != nullptr && strnlen(password, kLoginPasswordSize) >= size_t(kLoginPasswordSize))
        return ZYN_ERR_INVALID_ARG;
    u32 rc = ZYN_OK;
    if (account != nullptr)
        rc = writeTextField(43, account, kAccountSize);
    if (rc == ZYN_OK && password != nullptr)
        rc = writeTextField(71, password, kLoginPasswordSize);
    return rc;
}

u32 CZynlib::ZynSetMailAddr(u32 entry, _MAIL_ADDR* address)
{
    if (entry > 4 || address == nullptr)
        return ZYN_ERR_INVALID_ARG;
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    return ZynWriteSetupData(66 + int(entry), reinterpret_cast<char*>(address->bytes), sizeof address->bytes, nullptr);
}

u32 CZynlib::ZynSetMailEvtLevel(u32 level, u32 entry)
{
    if (level > 4)
        return ZYN_ERR_INVALID_ARG;
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    if (entry < 1 || entry > 4)
        return ZYN_ERR_INVALID_ARG;
    char byte = char(level);
    if (entry == 1)
        return ZynWriteSetupData(39, &byte, 1, nullptr);
    CFieldInfo within{int64_t(entry - 2), 0, CFieldInfo::AddOffset};
    return ZynWriteSetupData(99, &byte, 1, &within);
}

u32 CZynlib::ZynSetMailNoEvtFor24Hours(int enable, u32 entry)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    if (entry < 1 || entry > 4)
        return ZYN_ERR_INVALID_ARG;
    char byte = enable ? 1 : 0;
    if (entry == 1)
        return ZynWriteSetupData(40, &byte, 1, nullptr);
    CFieldInfo within{int64_t(entry - 2), 0, CFieldInfo::AddOffset};
    return ZynWriteSetupData(100, &byte, 1, &within);
}

u32 CZynlib::ZynSetSnmpTrapIp(u32 index, char* ip)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    if (index > 2 || ip == nullptr)
        return ZYN_ERR_INVALID_ARG;
    return writeAddressField(46 + int(index), ip);
}

u32 CZynlib::ZynSetSnmpTrapPort(u32 index, u16 port)
{
    if (index > 2)
        return ZYN_ERR_INVALID_ARG;
    char bytes[2] = {char(port & 0xFF), char(port >> 8)};
    return ZynWriteSetupData(49 + int(index), bytes, 2, nullptr);
}

u32 CZynlib::ZynSetSnmpCommunity(char* text)
{
    if (text == nullptr)
        return ZYN_ERR_INVALID_ARG;
    return writeTextField(72, text, 16);
}

u32 CZynlib::ZynSetSnmpContact(char* text)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    if (text == nullptr)
        return ZYN_ERR_INVALID_ARG;
    return writeTextField(73, text, 32);
}

u32 CZynlib::ZynSetSnmpName(char* text)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    if (text == nullptr)
        return ZYN_ERR_INVALID_ARG;
    return writeTextField(75, text, 32);
}

u32 CZynlib::ZynSetSnmpLocation(char* text)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    if (text == nullptr)
        return ZYN_ERR_INVALID_ARG;
    return writeTextField(74, text, 32);
}

u32 CZynlib::ZynSetSnmpEvtLevel(u32 level)
{
    if (level > 4)
        return ZYN_ERR_INVALID_ARG;
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    char byte = char(level);
    return ZynWriteSetupData(52, &byte, 1, nullptr);
}

u32 CZynlib::ZynSetNtpIp(u32 index, char* ip)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    if (index > 1 || ip == nullptr)
        return ZYN_ERR_INVALID_ARG;
    return writeAddressField(95 + int(index), ip);
}

u32 CZynlib::ZynSetGatewayIp(char* ip)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    return writeAddressField(29, ip);
}

u32 CZynlib::ZynSetEthernetMask(char* ip)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return ZYN_ERR_NOT_ALLOWED;
    return writeAddressField(17, ip);
}
