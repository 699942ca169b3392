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

// net
CLI_PENDING(Exe_Net_SetDHCP_Cmd)
CLI_PENDING(Exe_Net_SetIP_Cmd)
CLI_PENDING(Exe_Net_SetGateWay_Cmd)
CLI_PENDING(Exe_Net_SetNetMask_Cmd)
CLI_PENDING(Exe_Net_SetMAC_Cmd)
CLI_PENDING(Exe_Net_Info_Cmd)
CLI_PENDING(Exe_Net_SetHTTPPort_Cmd)
CLI_PENDING(Exe_Net_SetTelnetPort_Cmd)
CLI_PENDING(Exe_Net_SetSMTPPort_Cmd)
CLI_PENDING(Display_Net_CMD_Help)

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

// event
CLI_PENDING(Exe_Event_Info_Cmd)
CLI_PENDING(Exe_Event_Clear_Cmd)
CLI_PENDING(Display_Event_CMD_Help)

// hw
CLI_PENDING(Exe_Hw_Info_Cmd)
CLI_PENDING(Display_Hw_CMD_Help)

// mail
CLI_PENDING(Exe_Mail_Set_IpAddr_Cmd)
CLI_PENDING(Exe_Mail_Set_Account_Cmd)
CLI_PENDING(Exe_Mail_Set_Sender_Cmd)
CLI_PENDING(Exe_Mail_Set_MailTo1_Cmd)
CLI_PENDING(Exe_Mail_Set_MailTo2_Cmd)
CLI_PENDING(Exe_Mail_Set_MailTo3_Cmd)
CLI_PENDING(Exe_Mail_Set_MailTo4_Cmd)
CLI_PENDING(Exe_Mail_Set_EvtLevel_Cmd)
CLI_PENDING(Exe_Mail_Set_NoLevel_Cmd)
CLI_PENDING(Exe_MAIL_Info_Cmd)
CLI_PENDING(Display_MAIL_CMD_Help)

// snmp
CLI_PENDING(Exe_Snmp_Set_IpAddr1_Cmd)
CLI_PENDING(Exe_Snmp_Set_IpAddr2_Cmd)
CLI_PENDING(Exe_Snmp_Set_IpAddr3_Cmd)
CLI_PENDING(Exe_Snmp_Set_Port1_Cmd)
CLI_PENDING(Exe_Snmp_Set_Port2_Cmd)
CLI_PENDING(Exe_Snmp_Set_Port3_Cmd)
CLI_PENDING(Exe_Snmp_Set_Community_Cmd)
CLI_PENDING(Exe_Snmp_Set_Name_Cmd)
CLI_PENDING(Exe_Snmp_Set_Contact_Cmd)
CLI_PENDING(Exe_Snmp_Set_Location_Cmd)
CLI_PENDING(Exe_Snmp_Set_EvtLevel_Cmd)
CLI_PENDING(Exe_Snmp_Set_Path_Cmd)
CLI_PENDING(Exe_SNMP_Info_Cmd)
CLI_PENDING(Display_SNMP_CMD_Help)

// ntp
CLI_PENDING(Exe_Ntp_Set_IpAddr1_Cmd)
CLI_PENDING(Exe_Ntp_Set_IpAddr2_Cmd)
CLI_PENDING(Exe_Ntp_Set_Timezone_Cmd)
CLI_PENDING(Exe_Ntp_Set_DayLightSaving_Cmd)
CLI_PENDING(Exe_NTP_Info_Cmd)
CLI_PENDING(Display_NTP_CMD_Help)

// fcc

// debug
