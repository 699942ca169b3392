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
CLI_PENDING(Exe_Sys_SaveRomCfg_CFG_Cmd)
CLI_PENDING(Exe_Sys_RestoreRomCfg_CFG_Cmd)

// adsys

// hddpwr

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
