// The handlers whose commands are not built yet: each says the command is unsupported with the
// result line of 0x48 and returns that code. A family's lines go when its handlers are written.
#include "cli/cli-zynmsr.h"
#include "cli/output.h"

#define CLI_PENDING(name)                                 \
    int CZynlibCLI::name(int, char**)                     \
    {                                                     \
        cliout_zynmsr.GuiErrMsg_(ZYN_ERR_NOT_ALLOWED);    \
        return int(ZYN_ERR_NOT_ALLOWED);                  \
    }

// sys
CLI_PENDING(Exe_Sys_SaveRomCfg_CFG_Cmd)
CLI_PENDING(Exe_Sys_RestoreRomCfg_CFG_Cmd)

// adsys

// hddpwr

// fcc
CLI_PENDING(Exe_Fibre_Add_HostName)
CLI_PENDING(Exe_Fibre_Del_HostName)
CLI_PENDING(Exe_Fibre_Info_HostName)
CLI_PENDING(Exe_Fibre_Add_Filter)
CLI_PENDING(Exe_Fibre_Del_Filter)
CLI_PENDING(Exe_Fibre_Info_Filter)
CLI_PENDING(Display_Fcc_CMD_Help)

// debug
CLI_PENDING(Exe_Debug_Dump_Cmd)
CLI_PENDING(Exe_Debug_Test_Cmd)
CLI_PENDING(Display_DEBUG_CMD_Help)
