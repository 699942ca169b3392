// The net, mail, snmp and ntp commands: the controller's own network port, its mail alerts, its
// SNMP agent and traps and its time servers. Each setter sends one value and prints the result
// line; every text is measured against its field and every number against its range before
// anything is sent. Addresses go to the library as typed: it refuses anything but a dotted quad.
#include "cli/cli-zynmsr.h"

#include "cli/cli-common.h"
#include "cli/cli-evnettables.h"
#include "cli/output.h"

#include <cstring>
#include <string>
#include <strings.h>

using clicommon::refuse;
using clicommon::resultLine;
using cliconf::Arg;

namespace {

const char kInvalid[] = "Invalid Parameter.";
const char kInvalidMac[] = "Invalid MAC Address.";
const char kNoNic[] = "This Controller Has No Onboard NIC.";
const char kClearWord[] = "NULL";

constexpr int kPageRule = 75;
constexpr int kMailRule = 77;
constexpr int kHelpRule = 60;

// The longest address text read; a dotted quad is far shorter.
constexpr std::size_t kAddressText = 64;
constexpr int kPortMax = 65535;
constexpr int kMacBytes = 6;
constexpr std::size_t kMacDigits = 2 * kMacBytes;
constexpr int kMailRecipients = 4;
constexpr int kMailLevelMax = 4;
constexpr int kNoEventMax = 1;
constexpr int kSnmpTraps = 3;
constexpr int kSnmpLevelMax = 4;
constexpr int kSnmpPathMax = 5;
constexpr uint8_t kSnmpPathInband = 4;
constexpr std::size_t kSnmpCommunitySize = 16;
constexpr std::size_t kSnmpTextSize = 32;
constexpr int kNtpServers = 2;
constexpr int kTimeZoneMax = 74;
constexpr int kDaylightSavingMax = 2;
// The mail record: the login fields and where the per-recipient levels and flags lie.
constexpr std::size_t kAccountSize = 50;        // fewer characters than this
constexpr std::size_t kLoginPasswordSize = 20;  // fewer characters than this
constexpr int kSenderEntry = 0;

// A text parameter of at most `limit` characters: Read with the text in `out` (limit + 1
// bytes), Absent, or Malformed for a longer one.
Arg readText(int argc, char** argv, const char* key, std::size_t limit, char* out)
{
    if (!IsArgPresent(argc, argv, key))
        return Arg::Absent;
    return GetArgStringValue(argc, argv, key, out, limit + 1) ? Arg::Read : Arg::Malformed;
}

bool isClearWord(const char* text)
{
    return strcasecmp(text, kClearWord) == 0;
}

// A number within low..high: true with it in `out`; else false after the refusal line.
bool readNumber(int argc, char** argv, int low, int high, int* out)
{
    int value = 0;
    if (!GetArgIntValue(argc, argv, "p", &value) || value < low || value > high) {
        refuse(kInvalid);
        return false;
    }
    *out = value;
    return true;
}

std::string dotted(const uint8_t* b)
{
    char text[20];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    return text;
}

void rule(int n)
{
    cliout_zynmsr.Output_("%s\n", std::string(std::size_t(n), '=').c_str());
}

// The per-recipient bytes of the mail record: recipient 1 has its own, 2..4 follow each other.
uint8_t mailLevel(const _MAIL_CONFIG& m, int recipient)
{
    return recipient == 1 ? m.bytes[_MAIL_CONFIG::kLevel1] : m.bytes[_MAIL_CONFIG::kLevels234 + recipient - 2];
}

uint8_t mailNoEvent(const _MAIL_CONFIG& m, int recipient)
{
    return recipient == 1 ? m.bytes[_MAIL_CONFIG::kNotice1] : m.bytes[_MAIL_CONFIG::kNotices234 + recipient - 2];
}

// Reads name= and addr= into a mail address entry ("NULL" clears): false after the refusal
// line for a text longer than its field. `changed` tells whether either was given.
bool readMailAddress(int argc, char** argv, _MAIL_ADDR* entry, bool* changed)
{
    char name[_MAIL_ADDR::kNameSize + 1] = {};
    char address[_MAIL_ADDR::kAddressSize + 1] = {};
    const Arg gotName = readText(argc, argv, "name", _MAIL_ADDR::kNameSize, name);
    const Arg gotAddress = readText(argc, argv, "addr", _MAIL_ADDR::kAddressSize, address);
    if (gotName == Arg::Malformed || gotAddress == Arg::Malformed) {
        refuse(kInvalid);
        return false;
    }
    if (gotName == Arg::Read)
        entry->setName(isClearWord(name) ? std::string() : std::string(name));
    if (gotAddress == Arg::Read)
        entry->setAddress(isClearWord(address) ? std::string() : std::string(address));
    *changed = gotName == Arg::Read || gotAddress == Arg::Read;
    return true;
}

const char kNetHelp[] =
    "Sub-Command & Parameters Of [ net ]\n"
    "Sub-Command Description\n"
    "============================================================\n"
    "dhcp        Parameter: <p=<0(Disable)|1(Enable)>>\n"
    "            Fn: Set DHCP Function.\n"
    "            Ex: Enable DHCP.\n"
    "            Command: net dhcp p=1 [Enter]\n"
    "\n"
    "ipaddr      Parameter: <p=ipaddr>\n"
    "            Fn: Set IP Address.\n"
    "            Ex: Set IP Address To 192.168.0.100.\n"
    "            Command: net ipaddr p=192.168.0.100 [Enter]\n"
    "\n"
    "httpport    Parameter: <p=port>\n"
    "            Fn: Set HTTP Port Number.\n"
    "            Ex: Set HTTP Port Number To 80.\n"
    "            Command: net httpport p=80 [Enter]\n"
    "\n"
    "telnetport  Parameter: <p=port>\n"
    "            Fn: Set Telnet Port Number.\n"
    "            Ex: Set Telnet Port Number To 23.\n"
    "            Command: net telnetport p=23 [Enter]\n"
    "\n"
    "smtpport    Parameter: <p=port>\n"
    "            Fn: Set SMTP Port Number.\n"
    "            Ex: Set SMTP Port Number To 25.\n"
    "            Command: net smtpport p=25 [Enter]\n"
    "\n"
    "gateway     Parameter: <p=ipaddr>\n"
    "            Fn: Set Gateway IP Address.\n"
    "            Ex: Set Gateway IP Address To 192.168.0.1.\n"
    "            Command: net gateway p=192.168.0.1 [Enter]\n"
    "\n"
    "netmask     Parameter: <p=mask>\n"
    "            Fn: Set Subnet Mask.\n"
    "            Ex: Set Subnet Mask To 255.255.255.0.\n"
    "            Command: net netmask p=255.255.255.0 [Enter]\n"
    "\n"
    "info        Parameter: None.\n"
    "            Fn: Display Ethernet Information.\n"
    "            Command: net info [Enter]\n"
    "============================================================\n";

const char kMailHelpHead[] =
    "Sub-Command & Parameters Of [ mail ]\n"
    "Sub-Command Description\n"
    "============================================================\n"
    "ipaddr      Parameter: <p=ipaddr>\n"
    "            Fn: Set SMTP Server IP Address.\n"
    "            Ex: Set SMTP Server IP Address To 192.168.0.2.\n"
    "            Command: mail ipaddr p=192.168.0.2 [Enter]\n"
    "\n"
    "account     Parameter: <name=account> <password=password>\n"
    "            Fn: Set Mail Account. NULL Clears A Value.\n"
    "            Ex: Set The Account To raid And The Password To 0000.\n"
    "            Command: mail account name=raid password=0000 [Enter]\n"
    "\n"
    "sender      Parameter: <name=name> <addr=address>\n"
    "            Fn: Set Mail Sender. NULL Clears A Value.\n"
    "            Ex: Set The Sender To raid, raid@example.com.\n"
    "            Command: mail sender name=raid addr=raid@example.com [Enter]\n"
    "\n";

const char kMailHelpMailTo[] =
    "mailto1..4  Parameter: <name=name> <addr=address>\n"
    "            Fn: Set Mail Recipient 1..4. NULL Clears A Value.\n"
    "            Ex: Set Recipient 1 To admin, admin@example.com.\n"
    "            Command: mail mailto1 name=admin addr=admin@example.com [Enter]\n"
    "\n";

const char kMailHelpMailToEnclosure[] =
    "mailto1..4  Parameter: <name=name> <addr=address> [evtlevel=<0~4>] [noevtfor24h=<0|1>]\n"
    "            Fn: Set Mail Recipient 1..4, Its Event Notification Level\n"
    "                (0 Disabled .. 4 Information) And Its Notification When\n"
    "                No Event Occurred Within 24 Hours. NULL Clears A Value.\n"
    "            Ex: Set Recipient 1 To admin, admin@example.com, Urgent Events Only.\n"
    "            Command: mail mailto1 name=admin addr=admin@example.com evtlevel=1 [Enter]\n"
    "\n";

const char kMailHelpLevels[] =
    "evtlevel    Parameter: <p=<0(Disabled)|1(Urgent)|2(Serious)|3(Warning)|4(Information)>>\n"
    "            Fn: Set Event Notification Level.\n"
    "            Ex: Send Urgent And Serious Events.\n"
    "            Command: mail evtlevel p=2 [Enter]\n"
    "\n"
    "noevtfor24h Parameter: <p=<0(Disabled)|1(Enabled)>>\n"
    "            Fn: Notify If No Event Occurred Within 24 Hours.\n"
    "            Command: mail noevtfor24h p=1 [Enter]\n"
    "\n";

const char kMailHelpTail[] =
    "info        Parameter: None.\n"
    "            Fn: Display Mail Configuration.\n"
    "            Command: mail info [Enter]\n"
    "============================================================\n";

const char kSnmpHelp[] =
    "Sub-Command & Parameters Of [ snmp ]\n"
    "Sub-Command Description\n"
    "============================================================\n"
    "ipaddr1..3  Parameter: <p=ipaddr>\n"
    "            Fn: Set SNMP Trap IP Address 1..3.\n"
    "            Ex: Set SNMP Trap IP Address 1 To 192.168.0.3.\n"
    "            Command: snmp ipaddr1 p=192.168.0.3 [Enter]\n"
    "\n"
    "port1..3    Parameter: <p=port>\n"
    "            Fn: Set SNMP Trap Port 1..3.\n"
    "            Ex: Set SNMP Trap Port 1 To 162.\n"
    "            Command: snmp port1 p=162 [Enter]\n"
    "\n"
    "community   Parameter: <p=community>\n"
    "            Fn: Set SNMP Community. NULL Clears It.\n"
    "            Command: snmp community p=public [Enter]\n"
    "\n"
    "contact     Parameter: <p=contact>\n"
    "            Fn: Set SNMP sysContact. NULL Clears It.\n"
    "            Command: snmp contact p=admin [Enter]\n"
    "\n"
    "name        Parameter: <p=name>\n"
    "            Fn: Set SNMP sysName. NULL Clears It.\n"
    "            Command: snmp name p=raid [Enter]\n"
    "\n"
    "location    Parameter: <p=location>\n"
    "            Fn: Set SNMP sysLocation. NULL Clears It.\n"
    "            Command: snmp location p=room1 [Enter]\n"
    "\n"
    "evtlevel    Parameter: <p=<0~4>>\n"
    "            Fn: Set SNMP Event Notification Level.\n"
    "            Ex: 0 Disabled, 1 Urgent, 2 Serious, 3 Warning, 4 Information.\n"
    "            Command: snmp evtlevel p=1 [Enter]\n"
    "\n"
    "path        Parameter: <p=<0(Default)|4(PCI Inband)>>\n"
    "            Fn: Set SNMP Path.\n"
    "            Command: snmp path p=4 [Enter]\n"
    "\n"
    "info        Parameter: None.\n"
    "            Fn: Display SNMP Configuration.\n"
    "            Command: snmp info [Enter]\n"
    "============================================================\n";

const char kNtpHelpHead[] =
    "Sub-Command & Parameters Of [ ntp ]\n"
    "Sub-Command Description\n"
    "============================================================\n"
    "ipaddr1     Parameter: <p=ipaddr>\n"
    "            Fn: Set NTP Server IP Address 1.\n"
    "            Command: ntp ipaddr1 p=192.168.0.4 [Enter]\n"
    "\n"
    "ipaddr2     Parameter: <p=ipaddr>\n"
    "            Fn: Set NTP Server IP Address 2.\n"
    "            Command: ntp ipaddr2 p=192.168.0.5 [Enter]\n"
    "\n"
    "timezone    Parameter: <p=<0~74>>\n"
    "            Fn: Set Time Zone.\n";

const char kNtpHelpTail[] =
    "            Command: ntp timezone p=61 [Enter]\n"
    "\n"
    "daylightsaving Parameter: <p=<0(Enabled)|1(Disabled)>>\n"
    "            Fn: Set Automatic Daylight Saving.\n"
    "            Command: ntp daylightsaving p=0 [Enter]\n"
    "\n"
    "info        Parameter: None.\n"
    "            Fn: Display NTP Configuration.\n"
    "            Command: ntp info [Enter]\n"
    "============================================================\n";

} // namespace

// ---- net -----------------------------------------------------------------------------------

int CZynlibCLI::Exe_Net_SetDHCP_Cmd(int argc, char** argv)
{
    int value = 0;
    if (!GetArgIntValue(argc, argv, "p", &value))
        return refuse(kInvalid);
    std::string ip = dotted(m_sysInfo.ipAddress());
    return resultLine(ZynSetDhcpIp(static_cast<unsigned char>(value), ip.data()));
}

int CZynlibCLI::Exe_Net_SetIP_Cmd(int argc, char** argv)
{
    _NET_INFO info;
    std::memset(&info, 0, sizeof info);
    const u32 rc = ZynGetOnBoardNetInfo(&info);
    if (rc != ZYN_OK)
        return resultLine(rc);
    char text[kAddressText + 1] = {};
    if (readText(argc, argv, "p", kAddressText, text) != Arg::Read)
        return refuse(kInvalid);
    return resultLine(ZynSetDhcpIp(info.bytes[_NET_INFO::kDhcp], text));
}

int CZynlibCLI::Exe_Net_SetGateWay_Cmd(int argc, char** argv)
{
    char text[kAddressText + 1] = {};
    if (readText(argc, argv, "p", kAddressText, text) != Arg::Read)
        return refuse(kInvalid);
    return resultLine(ZynSetGatewayIp(text));
}

int CZynlibCLI::Exe_Net_SetNetMask_Cmd(int argc, char** argv)
{
    char text[kAddressText + 1] = {};
    if (readText(argc, argv, "p", kAddressText, text) != Arg::Read)
        return refuse(kInvalid);
    return resultLine(ZynSetEthernetMask(text));
}

int CZynlibCLI::Exe_Net_SetMAC_Cmd(int argc, char** argv)
{
    char text[kAddressText + 1] = {};
    const Arg got = readText(argc, argv, "p", kAddressText, text);
    if (got == Arg::Absent)
        return refuse(kInvalid);
    if (got == Arg::Malformed || std::strlen(text) != kMacDigits)
        return refuse(kInvalidMac);
    for (std::size_t i = 0; i < kMacDigits; ++i)
        if (!IsXDigit(static_cast<unsigned char>(text[i])))
            return refuse(kInvalidMac);
    unsigned char mac[kMacBytes];
    for (int b = 0; b < kMacBytes; ++b) {
        const char pair[3] = {text[2 * b], text[2 * b + 1], '\0'};
        mac[b] = static_cast<unsigned char>(std::strtoul(pair, nullptr, 16));
    }
    return resultLine(ZynSetMacAddr(mac));
}

int CZynlibCLI::Exe_Net_SetHTTPPort_Cmd(int argc, char** argv)
{
    int port = 0;
    if (!readNumber(argc, argv, 1, kPortMax, &port))
        return 1;
    return resultLine(ZynSetHTTPPort(u16(port)));
}

int CZynlibCLI::Exe_Net_SetTelnetPort_Cmd(int argc, char** argv)
{
    int port = 0;
    if (!readNumber(argc, argv, 1, kPortMax, &port))
        return 1;
    return resultLine(ZynSetTelnetPort(u16(port)));
}

int CZynlibCLI::Exe_Net_SetSMTPPort_Cmd(int argc, char** argv)
{
    int port = 0;
    if (!readNumber(argc, argv, 1, kPortMax, &port))
        return 1;
    return resultLine(ZynSetSMTPPort(u16(port)));
}

int CZynlibCLI::Exe_Net_Info_Cmd(int, char**)
{
    if (!m_sysInfo.hasOnBoardNetwork())
        return refuse(kNoNic);
    _NET_INFO info;
    std::memset(&info, 0, sizeof info);
    const u32 rc = ZynGetOnBoardNetInfo(&info);
    if (rc == ZYN_OK) {
        auto& out = cliout_zynmsr;
        const uint8_t* b = info.bytes;
        out.Output_("The EtherNet Information\n");
        rule(kPageRule);
        out.Output_("DHCP                                       : %s\n",
                    clitext::entryOrUnknown(clitext::kDhcpStates, b[_NET_INFO::kDhcp]).c_str());
        out.Output_("Local IP Address(Used If DHCP Disabled)    : %s\n", dotted(b + _NET_INFO::kIpAddress).c_str());
        out.Output_("Gateway IP Address(Used If DHCP Disabled)  : %s\n", dotted(b + _NET_INFO::kGateway).c_str());
        out.Output_("Subnet Mask(Used If DHCP Disabled)         : %s\n", dotted(b + _NET_INFO::kSubnetMask).c_str());
        out.Output_("HTTP Port Number(7168..8191 Is Reserved)   : %d\n", info.httpPort());
        out.Output_("Telnet Port Number(7168..8191 Is Reserved) : %d\n", info.telnetPort());
        out.Output_("SMTP Port Number(7168..8191 Is Reserved)   : %d\n", info.smtpPort());
        out.Output_("Current IP Address                         : %s\n", dotted(b + _NET_INFO::kCurrentIp).c_str());
        const uint8_t* m = b + _NET_INFO::kMac;
        out.Output_("EtherNet MAC Address                       : %02X-%02X-%02X-%02X-%02X-%02X\n", m[0], m[1], m[2],
                    m[3], m[4], m[5]);
        rule(kPageRule);
    }
    return resultLine(rc);
}

int CZynlibCLI::Display_Net_CMD_Help(int, char**)
{
    cliout_zynmsr.Output_("\n%s", kNetHelp);
    return 0;
}

// ---- mail ----------------------------------------------------------------------------------

int CZynlibCLI::Exe_Mail_Set_IpAddr_Cmd(int argc, char** argv)
{
    char text[kAddressText + 1] = {};
    if (readText(argc, argv, "p", kAddressText, text) != Arg::Read)
        return refuse(kInvalid);
    return resultLine(ZynSetMailSmtpIp(text));
}

int CZynlibCLI::Exe_Mail_Set_Account_Cmd(int argc, char** argv)
{
    // The account holds fewer than 50 characters, the password fewer than 20.
    char name[kAccountSize] = {};
    char password[kLoginPasswordSize] = {};
    const Arg gotName = readText(argc, argv, "name", kAccountSize - 1, name);
    const Arg gotPassword = readText(argc, argv, "password", kLoginPasswordSize - 1, password);
    if (gotName == Arg::Malformed || gotPassword == Arg::Malformed)
        return refuse(kInvalid);
    _MAIL_CONFIG mail;
    const u32 rc = ZynGetMailInfo(&mail);
    if (rc != ZYN_OK)
        return resultLine(rc);
    std::string account = zynwire::getText(mail.bytes + _MAIL_CONFIG::kAccount, kAccountSize);
    std::string secret = zynwire::getText(mail.bytes + _MAIL_CONFIG::kPassword, kLoginPasswordSize);
    if (gotName == Arg::Read)
        account = isClearWord(name) ? std::string() : std::string(name);
    if (gotPassword == Arg::Read)
        secret = isClearWord(password) ? std::string() : std::string(password);
    return resultLine(ZynSetMailSmtpLoginAccount(account.data(), secret.data()));
}

int CZynlibCLI::Exe_Mail_Set_Sender_Cmd(int argc, char** argv)
{
    _MAIL_ADDR probe;
    std::memset(&probe, 0, sizeof probe);
    bool changed = false;
    if (!readMailAddress(argc, argv, &probe, &changed))
        return 1;
    _MAIL_CONFIG mail;
    const u32 rc = ZynGetMailInfo(&mail);
    if (rc != ZYN_OK)
        return resultLine(rc);
    _MAIL_ADDR sender = mail.address(kSenderEntry);
    readMailAddress(argc, argv, &sender, &changed);
    return resultLine(ZynSetMailAddr(kSenderEntry, &sender));
}

int CZynlibCLI::Exe_Mail_Set_MailTo_Cmd(int argc, char** argv, int n)
{
    _MAIL_ADDR probe;
    std::memset(&probe, 0, sizeof probe);
    bool changed = false;
    if (!readMailAddress(argc, argv, &probe, &changed))
        return 1;
    int level = 0, noEvent = 0;
    Arg gotLevel = Arg::Absent, gotNoEvent = Arg::Absent;
    if (m_sysInfo.isEnclosureFamily()) {
        gotLevel = cliconf::optionalInt(argc, argv, "evtlevel", &level);
        gotNoEvent = cliconf::optionalInt(argc, argv, "noevtfor24h", &noEvent);
        if (gotLevel == Arg::Malformed || gotNoEvent == Arg::Malformed
            || (gotLevel == Arg::Read && (level < 0 || level > kMailLevelMax))
            || (gotNoEvent == Arg::Read && (noEvent < 0 || noEvent > kNoEventMax)))
            return refuse(kInvalid);
    }
    _MAIL_CONFIG mail;
    u32 rc = ZynGetMailInfo(&mail);
    if (rc != ZYN_OK)
        return resultLine(rc);
    _MAIL_ADDR recipient = mail.address(n);
    readMailAddress(argc, argv, &recipient, &changed);
    // In order, only what was given; the first failure ends the command.
    if (changed)
        rc = ZynSetMailAddr(u32(n), &recipient);
    if (rc == ZYN_OK && gotLevel == Arg::Read)
        rc = ZynSetMailEvtLevel(u32(level), u32(n));
    if (rc == ZYN_OK && gotNoEvent == Arg::Read)
        rc = ZynSetMailNoEvtFor24Hours(noEvent, u32(n));
    return int(rc);
}

int CZynlibCLI::Exe_Mail_Set_MailTo1_Cmd(int argc, char** argv)
{
    return resultLine(u32(Exe_Mail_Set_MailTo_Cmd(argc, argv, 1)));
}

int CZynlibCLI::Exe_Mail_Set_MailTo2_Cmd(int argc, char** argv)
{
    return resultLine(u32(Exe_Mail_Set_MailTo_Cmd(argc, argv, 2)));
}

int CZynlibCLI::Exe_Mail_Set_MailTo3_Cmd(int argc, char** argv)
{
    return resultLine(u32(Exe_Mail_Set_MailTo_Cmd(argc, argv, 3)));
}

int CZynlibCLI::Exe_Mail_Set_MailTo4_Cmd(int argc, char** argv)
{
    return resultLine(u32(Exe_Mail_Set_MailTo_Cmd(argc, argv, 4)));
}

int CZynlibCLI::Exe_Mail_Set_EvtLevel_Cmd(int argc, char** argv)
{
    int level = 0;
    if (!readNumber(argc, argv, 0, kMailLevelMax, &level))
        return 1;
    return resultLine(ZynSetMailEvtLevel(u32(level), 1));
}

int CZynlibCLI::Exe_Mail_Set_NoLevel_Cmd(int argc, char** argv)
{
    int flag = 0;
    if (!readNumber(argc, argv, 0, kNoEventMax, &flag))
        return 1;
    return resultLine(ZynSetMailNoEvtFor24Hours(flag, 1));
}

int CZynlibCLI::Exe_MAIL_Info_Cmd(int, char**)
{
    _MAIL_CONFIG mail;
    const u32 rc = ZynGetMailInfo(&mail);
    if (rc == ZYN_OK) {
        auto& out = cliout_zynmsr;
        const std::string account = zynwire::getText(mail.bytes + _MAIL_CONFIG::kAccount, kAccountSize);
        const _MAIL_ADDR sender = mail.address(kSenderEntry);
        out.Output_("Alert By Mail Configuration\n");
        rule(kMailRule);
        out.Output_("[SMTP Server Configuration]\n");
        out.Output_("  SMTP Server IP Address    : %-20s\n", dotted(mail.bytes + _MAIL_CONFIG::kSmtpServer).c_str());
        out.Output_("[Mail Address Configurations]\n");
        if (!m_sysInfo.isEnclosureFamily()) {
            out.Output_("  Sender Name               : %s\n", sender.name().c_str());
            out.Output_("  Mail Address              : %s\n", sender.address().c_str());
            out.Output_("  Account                   : %s\n", account.c_str());
            for (int k = 1; k <= kMailRecipients; ++k) {
                const _MAIL_ADDR to = mail.address(k);
                out.Output_("  MailTo Name%d              : %s\n", k, to.name().c_str());
                out.Output_("  MailTo Address%d           : %s\n", k, to.address().c_str());
            }
            out.Output_("[Event Notification Configurations]\n");
            out.Output_("  Event Notification Level  : %s\n",
                        clitext::entryOrUnknown(clitext::kMailLevels, mailLevel(mail, 1)).c_str());
            out.Output_("  Notification For No Event : %s\n", mailNoEvent(mail, 1) != 0 ? "YES" : "NO");
        } else {
            out.Output_("  Sender                    : \"%s\"<%s>\n", sender.name().c_str(), sender.address().c_str());
            out.Output_("  Account                   : %s\n", account.c_str());
            out.Output_("[Event Notification Configurations]\n");
            for (int k = 1; k <= kMailRecipients; ++k) {
                const _MAIL_ADDR to = mail.address(k);
                out.Output_("  MailTo%d\n", k);
                out.Output_("    Recipient               : \"%s\"<%s>\n", to.name().c_str(), to.address().c_str());
                out.Output_("    Notification Level      : %s\n",
                            clitext::entryOrUnknown(clitext::kMailLevels, mailLevel(mail, k)).c_str());
                out.Output_("    For No Event Within 24H : %s\n",
                            clitext::entryOrUnknown(clitext::kMailNoEventStates, mailNoEvent(mail, k)).c_str());
            }
        }
        rule(kMailRule);
    }
    return resultLine(rc);
}

int CZynlibCLI::Display_MAIL_CMD_Help(int, char**)
{
    const bool enclosures = m_sysInfo.isEnclosureFamily();
    cliout_zynmsr.Output_("\n%s", kMailHelpHead);
    cliout_zynmsr.Output_("%s", enclosures ? kMailHelpMailToEnclosure : kMailHelpMailTo);
    if (!enclosures)
        cliout_zynmsr.Output_("%s", kMailHelpLevels);
    cliout_zynmsr.Output_("%s", kMailHelpTail);
    return 0;
}

// ---- snmp ----------------------------------------------------------------------------------

namespace {

// The trap setters: p= as typed for the address, a port within 16 bits.
template <typename Set>
int snmpAddress(int argc, char** argv, Set set)
{
    char text[kAddressText + 1] = {};
    if (readText(argc, argv, "p", kAddressText, text) != Arg::Read)
        return refuse(kInvalid);
    return resultLine(set(text));
}

} // namespace

int CZynlibCLI::Exe_Snmp_Set_IpAddr1_Cmd(int argc, char** argv)
{
    return snmpAddress(argc, argv, [this](char* t) { return ZynSetSnmpTrapIp(0, t); });
}

int CZynlibCLI::Exe_Snmp_Set_IpAddr2_Cmd(int argc, char** argv)
{
    return snmpAddress(argc, argv, [this](char* t) { return ZynSetSnmpTrapIp(1, t); });
}

int CZynlibCLI::Exe_Snmp_Set_IpAddr3_Cmd(int argc, char** argv)
{
    return snmpAddress(argc, argv, [this](char* t) { return ZynSetSnmpTrapIp(2, t); });
}

namespace {

// A trap port: a number that does not fit 16 bits is the wrong parameter, and nothing is sent.
template <typename Set>
int snmpPort(int argc, char** argv, Set set)
{
    int port = 0;
    if (!GetArgIntValue(argc, argv, "p", &port))
        return refuse(kInvalid);
    if (unsigned(port) > unsigned(kPortMax))
        return resultLine(ZYN_ERR_INVALID_ARG);
    return resultLine(set(u16(port)));
}

} // namespace

int CZynlibCLI::Exe_Snmp_Set_Port1_Cmd(int argc, char** argv)
{
    return snmpPort(argc, argv, [this](u16 p) { return ZynSetSnmpTrapPort(0, p); });
}

int CZynlibCLI::Exe_Snmp_Set_Port2_Cmd(int argc, char** argv)
{
    return snmpPort(argc, argv, [this](u16 p) { return ZynSetSnmpTrapPort(1, p); });
}

int CZynlibCLI::Exe_Snmp_Set_Port3_Cmd(int argc, char** argv)
{
    return snmpPort(argc, argv, [this](u16 p) { return ZynSetSnmpTrapPort(2, p); });
}

int CZynlibCLI::SnmpSetText(int argc, char** argv, std::size_t width, u32 (QZynlib::*set)(char*))
{
    char text[kSnmpTextSize + 1] = {};
    if (readText(argc, argv, "p", width, text) != Arg::Read)
        return refuse(kInvalid);
    if (isClearWord(text))
        std::memset(text, 0, sizeof text);
    return resultLine((this->*set)(text));
}

int CZynlibCLI::Exe_Snmp_Set_Community_Cmd(int argc, char** argv)
{
    return SnmpSetText(argc, argv, kSnmpCommunitySize, &QZynlib::ZynSetSnmpCommunity);
}

int CZynlibCLI::Exe_Snmp_Set_Name_Cmd(int argc, char** argv)
{
    return SnmpSetText(argc, argv, kSnmpTextSize, &QZynlib::ZynSetSnmpName);
}

int CZynlibCLI::Exe_Snmp_Set_Contact_Cmd(int argc, char** argv)
{
    return SnmpSetText(argc, argv, kSnmpTextSize, &QZynlib::ZynSetSnmpContact);
}

int CZynlibCLI::Exe_Snmp_Set_Location_Cmd(int argc, char** argv)
{
    return SnmpSetText(argc, argv, kSnmpTextSize, &QZynlib::ZynSetSnmpLocation);
}

int CZynlibCLI::Exe_Snmp_Set_EvtLevel_Cmd(int argc, char** argv)
{
    int level = 0;
    if (!readNumber(argc, argv, 0, kSnmpLevelMax, &level))
        return 1;
    return resultLine(ZynSetSnmpEvtLevel(u32(level)));
}

int CZynlibCLI::Exe_Snmp_Set_Path_Cmd(int argc, char** argv)
{
    int path = 0;
    if (!readNumber(argc, argv, 0, kSnmpPathMax, &path))
        return 1;
    return resultLine(ZynSetSnmpPath(u8(path)));
}

int CZynlibCLI::Exe_SNMP_Info_Cmd(int, char**)
{
    _SNMP_CONFIG snmp;
    const u32 rc = ZynGetSnmpInfo(&snmp);
    if (rc == ZYN_OK) {
        auto& out = cliout_zynmsr;
        const uint8_t* b = snmp.bytes;
        const std::string community = zynwire::getText(b + _SNMP_CONFIG::kCommunity, kSnmpCommunitySize);
        out.Output_("The SNMP Information\n");
        rule(kPageRule);
        if (m_sysInfo.hasOnBoardNetwork()) {
            out.Output_("[SNMP Trap Configurations]\n");
            for (int k = 0; k < kSnmpTraps; ++k)
                out.Output_("  SNMP Trap IP Address #%d : %-20s   port: %d\n", k + 1,
                            dotted(b + _SNMP_CONFIG::kTrapAddresses + 4 * k).c_str(), snmp.trapPort(k));
            out.Output_("[SNMP System Configurations]\n");
            out.Output_("  Community               : %s\n", community.c_str());
            out.Output_("  sysContact.0            : %s\n",
                        zynwire::getText(b + _SNMP_CONFIG::kContact, kSnmpTextSize).c_str());
            out.Output_("  sysName.0               : %s\n", zynwire::getText(b + _SNMP_CONFIG::kName, kSnmpTextSize).c_str());
            out.Output_("  sysLocation.0           : %s\n",
                        zynwire::getText(b + _SNMP_CONFIG::kLocation, kSnmpTextSize).c_str());
            out.Output_("[SNMP Trap Notification Configurations]\n");
            out.Output_("  Event Notification      : %s\n",
                        clitext::entryOrUnknown(clitext::kSnmpLevels, snmp.eventLevel()).c_str());
            if (b[_SNMP_CONFIG::kSnmpPath] == kSnmpPathInband)
                out.Output_("  SNMP Through PCI Inband : %s (Ethernet SNMP Is Disabled)\n", "YES");
            else
                out.Output_("  SNMP Through PCI Inband : %s (Ethernet SNMP Is Enabled)\n", "NO");
        } else {
            out.Output_("[SNMP System Configurations]\n");
            out.Output_("  Community               : %s\n", community.c_str());
        }
        rule(kPageRule);
    }
    return resultLine(rc);
}

int CZynlibCLI::Display_SNMP_CMD_Help(int, char**)
{
    cliout_zynmsr.Output_("\n%s", kSnmpHelp);
    return 0;
}

// ---- ntp -----------------------------------------------------------------------------------

int CZynlibCLI::Exe_Ntp_Set_IpAddr1_Cmd(int argc, char** argv)
{
    return snmpAddress(argc, argv, [this](char* t) { return ZynSetNtpIp(0, t); });
}

int CZynlibCLI::Exe_Ntp_Set_IpAddr2_Cmd(int argc, char** argv)
{
    return snmpAddress(argc, argv, [this](char* t) { return ZynSetNtpIp(1, t); });
}

int CZynlibCLI::Exe_Ntp_Set_Timezone_Cmd(int argc, char** argv)
{
    int zone = 0;
    if (!readNumber(argc, argv, 0, kTimeZoneMax, &zone))
        return 1;
    return resultLine(ZynSetTimeZone(u8(zone)));
}

int CZynlibCLI::Exe_Ntp_Set_DayLightSaving_Cmd(int argc, char** argv)
{
    int value = 0;
    if (!readNumber(argc, argv, 0, kDaylightSavingMax, &value))
        return 1;
    return resultLine(ZynSetDayLightSaving(u8(value)));
}

int CZynlibCLI::Exe_NTP_Info_Cmd(int, char**)
{
    _NTP_CONFIG ntp;
    const u32 rc = ZynGetNtpInfo(&ntp);
    if (rc == ZYN_OK && m_sysInfo.hasOnBoardNetwork()) {
        auto& out = cliout_zynmsr;
        out.Output_("The NTP Information\n");
        rule(kPageRule);
        out.Output_("[NTP Server Configurations]\n");
        for (int k = 0; k < kNtpServers; ++k)
            out.Output_("  NTP Server IP Address #%d  : %-20s\n", k + 1,
                        dotted(ntp.bytes + _NTP_CONFIG::kServers + 4 * k).c_str());
        out.Output_("[Time Zone Configurations]\n");
        out.Output_("  Time Zone                 : %s\n",
                    clitext::entryOrUnknown(clitext::kTimeZones, ntp.bytes[_NTP_CONFIG::kTimeZone]).c_str());
        out.Output_("  Automatic Daylight Saving : %s\n",
                    clitext::entryOrUnknown(clitext::kDaylightSaving, ntp.bytes[_NTP_CONFIG::kDaylightSaving]).c_str());
        rule(kPageRule);
    }
    return resultLine(rc);
}

int CZynlibCLI::Display_NTP_CMD_Help(int, char**)
{
    cliout_zynmsr.Output_("\n%s", kNtpHelpHead);
    for (int z = 0; z <= kTimeZoneMax; ++z)
        cliout_zynmsr.Output_("            %2d: %s\n", z, clitext::kTimeZones[z]);
    cliout_zynmsr.Output_("%s", kNtpHelpTail);
    return 0;
}
