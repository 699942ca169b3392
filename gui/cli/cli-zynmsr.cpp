#include "cli/cli-zynmsr.h"

#include "cli/output.h"
#include "cli/passwordgate.h"
#include "devices/controller.h"
#include "devices/sysinfo.h"

#include <QByteArray>

#include <cstring>
#include <vector>

namespace {

// The category overview, printed after a line of its own ("\n").
const char kOverview[] =
    "CMD     Description\n"
    "==========================================================\n"
    "main    Show Command Categories.\n"
    "set     General Settings.\n"
    "rsf     RaidSet Functions.\n"
    "vsf     VolumeSet Functions.\n"
    "disk    Physical Drive Functions.\n"
    "sys     System Functions.\n"
    "adsys   Advanced System Functions.\n"
    "hddpwr  Hdd Power Management.\n"
    "net     Ethernet Functions.\n"
    "event   Event Functions.\n"
    "hw      Hardware Monitor Functions.\n"
    "mail    Mail Notification Functions.\n"
    "snmp    SNMP Functions.\n"
    "ntp     NTP Functions.\n"
    "sef     Security Functions.\n"
    "==========================================================\n"
    "Command Format: <CMD> [Sub-Command] [Parameters].\n"
    "Note: Use <CMD> -h or -help to get details.\n";

// The families that need the controller's onboard network port.
const char* const kNetworkFamilies[] = {"net", "ntp", "mail"};

bool isNetworkFamily(const char* word)
{
    for (const char* family : kNetworkFamilies)
        if (QByteArray(word).compare(family, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

#define CLI_RECORD(word) {word, {
#define CLI_ENTRY(word, name) {word, &CZynlibCLI::name},
#define CLI_RECORD_END(help) {"-help", &CZynlibCLI::help}, {"?", &CZynlibCLI::help}}},
const CZynlibCLI::CmdRecord CZynlibCLI::cmdEntry[] = {
#include "cli/cmdtable.inc"
    {nullptr, {}},
};
#undef CLI_RECORD
#undef CLI_ENTRY
#undef CLI_RECORD_END

const CZynlibCLI::CmdRecord* const CZynlibCLI::cmdMap = CZynlibCLI::cmdEntry;

char* CZynlibCLI::s_noWords[1] = {nullptr};

CZynlibCLI::CZynlibCLI(QObject* parent) : CCliBase(parent)
{
    std::memset(&m_sysInfo, 0, sizeof m_sysInfo);
}

CZynlibCLI::~CZynlibCLI() = default;

const CZynlibCLI::CmdRecord* CZynlibCLI::GetCommandMap() const
{
    return cmdMap;
}

void CZynlibCLI::SetPasswordDialogs(const PasswordDialogs& dialogs)
{
    m_dialogs = dialogs;
}

bool CZynlibCLI::refreshSysInfo()
{
    QZynController* ctrl = GetCtrl();
    if (ctrl == nullptr) {
        std::memset(&m_sysInfo, 0, sizeof m_sysInfo);
        return false;
    }
    m_sysInfo = ctrl->GetSysInfo()->GetRecord();
    return true;
}

void CZynlibCLI::ProcessCmd(QStringList words)
{
    if (words.isEmpty() || (words.size() == 1 && words.front().isEmpty())) {
        cliout_zynmsr.Output_("\r\n");
        return;
    }
    // Each word in its own NUL-terminated array, as the handlers keep pointers into them.
    std::vector<QByteArray> store;
    store.reserve(std::size_t(words.size()));
    std::vector<char*> argv;
    argv.reserve(std::size_t(words.size()) + 1);
    for (const QString& word : words) {
        store.push_back(word.toLocal8Bit());
        argv.push_back(store.back().data());
    }
    argv.push_back(nullptr);

    cliout_zynmsr.Output_("\r\n");
    if (CmdRouter(int(words.size()), argv.data()) == kRouteUnknown)
        cliout_zynmsr.ErrMsg_("Invalid Command.");
}

int CZynlibCLI::CmdRouter(int argc, char** argv)
{
    if (argc < 1 || argv == nullptr || argv[0] == nullptr)
        return kRouteUnknown;
    if (CliIsOverviewWord(argv[0])) {
        cliout_zynmsr.Output_("\n");
        cliout_zynmsr.Output_("%s", kOverview);
        return kRouteOverview;
    }

    const CmdRecord* table = GetCommandMap();
    const CliRoute route = CliFindCommand(table, argc, argv);
    switch (route.outcome) {
    case CliRoute::Unknown:
        return kRouteUnknown;
    case CliRoute::AmbiguousCommand:
        cliout_zynmsr.ErrMsg_("Ambiguous Command.");
        return kRouteRefused;
    case CliRoute::AmbiguousSubCommand:
        cliout_zynmsr.ErrMsg_("Ambiguous Sub-Command.");
        return kRouteRefused;
    case CliRoute::Found:
        break;
    }
    const CmdRecord& record = table[route.record];

    // Nothing runs without a controller; the gates and handlers read its system information.
    if (!refreshSysInfo()) {
        cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_TRANSPORT);
        return int(ZYN_ERR_NO_TRANSPORT);
    }
    if (isNetworkFamily(record.word) && !m_sysInfo.hasOnBoardNetwork()) {
        cliout_zynmsr.ErrMsg_("This Controller Has No Onboard NIC.");
        return kRouteRefused;
    }
    if (!CheckPassword())
        return kRoutePasswordRefused;
    // The dialogs ran an event loop: the controller may have gone meanwhile.
    if (!refreshSysInfo()) {
        cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NO_TRANSPORT);
        return int(ZYN_ERR_NO_TRANSPORT);
    }

    const Handler handler = record.entries[route.entry].handler;
    return argc >= 2 ? (this->*handler)(argc - 2, argv + 2) : (this->*handler)(argc - 2, s_noWords);
}

bool CZynlibCLI::CheckPassword()
{
    return CheckControllerPassword(GetCtrl(), nullptr, m_dialogs);
}
