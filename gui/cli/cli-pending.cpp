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
CLI_PENDING(Exe_Sys_Beeper_Cmd)
CLI_PENDING(Exe_Sys_Info_Cmd)
CLI_PENDING(Exe_Sys_ChangPassword_Cmd)
CLI_PENDING(Exe_Sys_ChangMode_Cmd)
CLI_PENDING(Exe_Sys_ChangRebuildPriorityMode_Cmd)
CLI_PENDING(Exe_Sys_MaxSpeed_Cmd)
CLI_PENDING(Exe_Sys_Updatefw_Cmd)
CLI_PENDING(Exe_Sys_UnitSerial_Cmd)
CLI_PENDING(Exe_Sys_DiskCache_Cmd)
CLI_PENDING(Exe_Sys_HDDReadAhead_Cmd)
CLI_PENDING(Exe_Sys_TruncateMode_Cmd)
CLI_PENDING(Exe_Sys_SmartHddPoll_Cmd)
CLI_PENDING(Exe_Sys_AutoActivate_Cmd)
CLI_PENDING(Exe_Sys_EmptyHddLED_Cmd)
CLI_PENDING(Exe_Sys_CPUFanDetect_Cmd)
CLI_PENDING(Exe_Sys_SataNCQ_Cmd)
CLI_PENDING(Exe_Sys_VolReadAhead_Cmd)
CLI_PENDING(Exe_Sys_HddQueueDepth_Cmd)
CLI_PENDING(Exe_Sys_SyncTime_Cmd)
CLI_PENDING(Exe_Sys_GetRTCTime_Cmd)
CLI_PENDING(Exe_Sys_NumberOfPwr_Cmd)
CLI_PENDING(Exe_Sys_GetPwrButton_Cmd)
CLI_PENDING(Exe_Sys_SES2_Support_Cmd)
CLI_PENDING(Exe_Sys_MaxCmdLen_Cmd)
CLI_PENDING(Exe_Sys_SaveRomCfg_CFG_Cmd)
CLI_PENDING(Exe_Sys_RestoreRomCfg_CFG_Cmd)
CLI_PENDING(Exe_Sys_RestartCtrl_Cmd)
CLI_PENDING(Exe_Sys_Logout_Cmd)
CLI_PENDING(Exe_Sys_ShowCFG_Cmd)
CLI_PENDING(Exe_Sys_VendorName_Cmd)
CLI_PENDING(Exe_Sys_ModelName_Cmd)
CLI_PENDING(Exe_Sys_Serial_Cmd)
CLI_PENDING(Exe_Sys_WriteSameUsage_Cmd)
CLI_PENDING(Exe_Sys_HotPlugDiskUsage_Cmd)
CLI_PENDING(Exe_Sys_SmartOption_Cmd)
CLI_PENDING(Exe_Sys_SmartPollingInterval_Cmd)
CLI_PENDING(Exe_Sys_TELR_Cmd)
CLI_PENDING(Exe_Sys_Timeout_Cmd)
CLI_PENDING(Exe_Sys_RetryCount_Cmd)
CLI_PENDING(Exe_Sys_BufferThread_Cmd)
CLI_PENDING(Exe_Sys_ReadAhead_Cmd)
CLI_PENDING(Exe_Sys_AVStreams_Cmd)
CLI_PENDING(Exe_Sys_OptimizeAVRecoding_Cmd)
CLI_PENDING(Exe_Sys_OptimizeHDEditing_Cmd)
CLI_PENDING(Exe_Sys_SASMux_Cmd)
CLI_PENDING(Exe_Sys_Boot_Phy_Status_Cmd)
CLI_PENDING(Exe_Sys_AdvanInfo_CFG_Cmd)
CLI_PENDING(Display_Sys_CMD_Help)

// adsys
CLI_PENDING(Exe_Sys_ReadPerformanceMargin_Cmd)
CLI_PENDING(Exe_Sys_WritePerformanceMargin_Cmd)
CLI_PENDING(Exe_Sys_ReadAndDiscardParityData_CFG_Cmd)
CLI_PENDING(Exe_Sys_SATAHDDSpeed_Cmd)
CLI_PENDING(Exe_Sys_FailDiskIfAnyTimeout_CFG_Cmd)
CLI_PENDING(Display_Adsys_CMD_Help)

// hddpwr
CLI_PENDING(Exe_HddPwr_StaggerPowerOn_Cmd)
CLI_PENDING(Exe_HddPwr_TimeToLowPwrIdle_Cmd)
CLI_PENDING(Exe_HddPwr_TimeToLowRPMMode_Cmd)
CLI_PENDING(Exe_HddPwr_SpinDownHdd_Cmd)
CLI_PENDING(Exe_HddPwr_Info_Cmd)
CLI_PENDING(Display_HddPwr_CMD_Help)

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
