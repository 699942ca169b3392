// The command-line engine: one typed line of words becomes one call of a command handler.
// ProcessCmd takes the console's words; CmdRouter finds the main command and its sub-command in
// the command table (cli/cmdtable.inc, matched as controllerlib/cliroute.h describes), applies
// the onboard-network gate and the password gate, and calls the handler with the words after
// the sub-command. Everything printed leaves through cliout_zynmsr.
//
// The engine acts on the facade's current controller. Before routing a command it copies that
// controller's system information into its own record, which the gates and the handlers read;
// with no controller (none set, or deleted since) a command is refused with the result line
// of 0x11 and nothing runs. The category overview needs no controller.
//
// Everything here runs on the GUI thread; the password dialog is modal.
#pragma once

#include "cli/passwordgate.h"
#include "cli/qzynlib.h"
#include "cliroute.h"
#include "records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>


// The engine's base: it adds nothing but its type to the facade.
class CCliBase : public QZynlib {
    Q_OBJECT
public:
    explicit CCliBase(QObject* parent = nullptr) : QZynlib(parent) {}
};

class CZynlibCLI : public CCliBase {
    Q_OBJECT
public:
    using Handler = int (CZynlibCLI::*)(int argc, char** argv);
    struct CmdSubEntry {
        const char* word;
        Handler handler;
    };
    struct CmdRecord {
        const char* word;
        CmdSubEntry entries[kCliRecordSlots];
    };

    // What the router answers besides a handler's own result.
    static constexpr int kRouteOverview = 0;
    static constexpr int kRouteUnknown = -2;
    static constexpr int kRouteRefused = 1;          // ambiguous, or no onboard network port
    static constexpr int kRoutePasswordRefused = 8;

    // The password gate's dialogs (cli/passwordgate.h); the console's have no parent window.
    using PasswordDialogs = ControllerPasswordDialogs;

    explicit CZynlibCLI(QObject* parent = nullptr);
    ~CZynlibCLI() override;

    // Runs one command line.
    void ProcessCmd(QStringList words);
    // Routes argc words (argc >= 1); the handler's result, or one of the kRoute codes.
    int CmdRouter(int argc, char** argv);
    // The command table the router walks.
    virtual const CmdRecord* GetCommandMap() const;
    // True when the current controller may be commanded now; opens the 300-second hold.
    bool CheckPassword();

    void SetPasswordDialogs(const PasswordDialogs& dialogs);
    // The engine's copy of the current controller's system information.
    const sSYSTEM_INFO& SysInfo() const { return m_sysInfo; }

    // The handlers, in the table's order; each takes the words after the sub-command.
    // rsf
    int Exe_Raid_Create_Cmd(int argc, char** argv);
    int Exe_Raid_Del_Cmd(int argc, char** argv);
    int Exe_Raid_Expand_Cmd(int argc, char** argv);
    int Exe_Raid_Activate_Cmd(int argc, char** argv);
    int Exe_Raid_Create_HotSpare_Cmd(int argc, char** argv);
    int Exe_Raid_Delete_HotSpare_Cmd(int argc, char** argv);
    int Exe_Raid_Offline_Cmd(int argc, char** argv);
    int Exe_Raid_Info_Cmd(int argc, char** argv);
    int Display_Rsf_CMD_Help(int argc, char** argv);

    // vsf
    int Exe_Vol_Create_Cmd(int argc, char** argv);
    int Exe_Vol_Del_Cmd(int argc, char** argv);
    int Exe_Vol_Modify_Cmd(int argc, char** argv);
    int Exe_Vol_Start_Check_Cmd(int argc, char** argv);
    int Exe_Vol_Stop_Check_Cmd(int argc, char** argv);
    int Exe_Vol_Info_Cmd(int argc, char** argv);
    int Exe_Vol_Create_R5060_Cmd(int argc, char** argv);
    int Exe_Vol_GenerateKeyFile_Cmd(int argc, char** argv);
    int Exe_Vol_GenerateKeyFile2_Cmd(int argc, char** argv);
    int Exe_Vol_ModifyKeyFile_Cmd(int argc, char** argv);
    int Exe_Vol_MakeAESKeyInvalid_Cmd(int argc, char** argv);
    int Exe_Vol_MakeAESKeyValid_Cmd(int argc, char** argv);
    int Exe_Vol_DownloadKeyFile_Cmd(int argc, char** argv);
    int Exe_Vol_ScheduleVolumeCheck_Cmd(int argc, char** argv);
    int Display_Vsf_CMD_Help(int argc, char** argv);

    // disk
    int Exe_Disk_Create_Cmd(int argc, char** argv);
    int Exe_Disk_Del_Cmd(int argc, char** argv);
    int Exe_Disk_Modify_Cmd(int argc, char** argv);
    int Exe_Disk_Fail_Cmd(int argc, char** argv);
    int Exe_Disk_ActivateFail_Cmd(int argc, char** argv);
    int Exe_Disk_Info_Cmd(int argc, char** argv);
    int Exe_Disk_Identify_Cmd(int argc, char** argv);
    int Exe_Disk_Smart_Cmd(int argc, char** argv);
    int Exe_Disk_Dctest_Cmd(int argc, char** argv);
    int Exe_Disk_Sttest_Cmd(int argc, char** argv);
    int Exe_Disk_Rwtest_Cmd(int argc, char** argv);
    int Exe_Disk_AbortRwtest_Cmd(int argc, char** argv);
    int Exe_Disk_CheckRwtest_Cmd(int argc, char** argv);
    int Exe_Disk_Clone_Cmd(int argc, char** argv);
    int Exe_Disk_Aborting_Clone_Cmd(int argc, char** argv);
    int Display_Disk_CMD_Help(int argc, char** argv);

    // ---- disk family: its own helpers (cli/cli-disk.cpp) ----
    // The enclosure forms of smart and sttest; the table's handlers branch to them.
    int Exe_Disk_SAS_Smart_Cmd(int argc, char** argv);
    int Exe_Disk_SAS_Sttest_Cmd(int argc, char** argv);
    // What a drive row shows; built by diskRowText.
    struct DiskRow {
        QByteArray model, serial, firmware, state, usage;
        double gigabytes = 0;
    };
    // A drive's row text; a failing raid set read is returned (the row is still made).
    u32 diskRowText(const _DRV_MAP::Entry& entry, DiskRow* row);
    // The common road of the single-drive commands: word count, drv, drive map, range. Returns
    // kDiskGo with the drive's entry filled in, else the result to return (already printed).
    static constexpr int kDiskGo = -1;
    int diskPickOne(int argc, char** argv, int minWords, int maxWords, _DRV_MAP* map, int* drv);
    // Builds the drive map and checks that drive `drv` (from 1) is a SATA drive whose SMART may
    // be read: kDiskGo, else the result to return (already printed).
    int diskPickSmartSata(int drv, _DRV_MAP* map);
    // One drive picked as diskPickOne does, then `op` on its enclosure and slot; the result line.
    int diskActOnOne(int argc, char** argv, u32 (QZynlib::*op)(unsigned char, unsigned char));
    // The drives the diagnostics act on, in order (0-based map positions): kDiskGo, else the
    // result to return. `free` picks free drives, else drives whose SMART may be read.
    int diskSelect(int argc, char** argv, bool free, _DRV_MAP* map, std::vector<int>* drives);
    // ---- end of the disk family's helpers ----

    // net
    int Exe_Net_SetDHCP_Cmd(int argc, char** argv);
    int Exe_Net_SetIP_Cmd(int argc, char** argv);
    int Exe_Net_SetGateWay_Cmd(int argc, char** argv);
    int Exe_Net_SetNetMask_Cmd(int argc, char** argv);
    int Exe_Net_SetMAC_Cmd(int argc, char** argv);
    int Exe_Net_Info_Cmd(int argc, char** argv);
    int Exe_Net_SetHTTPPort_Cmd(int argc, char** argv);
    int Exe_Net_SetTelnetPort_Cmd(int argc, char** argv);
    int Exe_Net_SetSMTPPort_Cmd(int argc, char** argv);
    int Display_Net_CMD_Help(int argc, char** argv);

    // sys
    int Exe_Sys_Beeper_Cmd(int argc, char** argv);
    int Exe_Sys_Info_Cmd(int argc, char** argv);
    int Exe_Sys_ChangPassword_Cmd(int argc, char** argv);
    int Exe_Sys_ChangMode_Cmd(int argc, char** argv);
    int Exe_Sys_ChangRebuildPriorityMode_Cmd(int argc, char** argv);
    int Exe_Sys_MaxSpeed_Cmd(int argc, char** argv);
    int Exe_Sys_Updatefw_Cmd(int argc, char** argv);
    int Exe_Sys_UnitSerial_Cmd(int argc, char** argv);
    int Exe_Sys_DiskCache_Cmd(int argc, char** argv);
    int Exe_Sys_HDDReadAhead_Cmd(int argc, char** argv);
    int Exe_Sys_TruncateMode_Cmd(int argc, char** argv);
    int Exe_Sys_SmartHddPoll_Cmd(int argc, char** argv);
    int Exe_Sys_AutoActivate_Cmd(int argc, char** argv);
    int Exe_Sys_EmptyHddLED_Cmd(int argc, char** argv);
    int Exe_Sys_CPUFanDetect_Cmd(int argc, char** argv);
    int Exe_Sys_SataNCQ_Cmd(int argc, char** argv);
    int Exe_Sys_VolReadAhead_Cmd(int argc, char** argv);
    int Exe_Sys_HddQueueDepth_Cmd(int argc, char** argv);
    int Exe_Sys_SyncTime_Cmd(int argc, char** argv);
    int Exe_Sys_GetRTCTime_Cmd(int argc, char** argv);
    int Exe_Sys_NumberOfPwr_Cmd(int argc, char** argv);
    int Exe_Sys_GetPwrButton_Cmd(int argc, char** argv);
    int Exe_Sys_SES2_Support_Cmd(int argc, char** argv);
    int Exe_Sys_MaxCmdLen_Cmd(int argc, char** argv);
    int Exe_Sys_SaveRomCfg_CFG_Cmd(int argc, char** argv);
    int Exe_Sys_RestoreRomCfg_CFG_Cmd(int argc, char** argv);
    // The restore of fibre channel models; reached from restorebin only.
    int Exe_Sys_DoFirbreModelRestoreRomCfg_CFG_Cmd(int argc, char** argv);
    int Exe_Sys_RestartCtrl_Cmd(int argc, char** argv);
    int Exe_Sys_Logout_Cmd(int argc, char** argv);
    int Exe_Sys_ShowCFG_Cmd(int argc, char** argv);
    int Exe_Sys_VendorName_Cmd(int argc, char** argv);
    int Exe_Sys_ModelName_Cmd(int argc, char** argv);
    int Exe_Sys_Serial_Cmd(int argc, char** argv);
    int Exe_Sys_WriteSameUsage_Cmd(int argc, char** argv);
    int Exe_Sys_HotPlugDiskUsage_Cmd(int argc, char** argv);
    int Exe_Sys_SmartOption_Cmd(int argc, char** argv);
    int Exe_Sys_SmartPollingInterval_Cmd(int argc, char** argv);
    int Exe_Sys_TELR_Cmd(int argc, char** argv);
    int Exe_Sys_Timeout_Cmd(int argc, char** argv);
    int Exe_Sys_RetryCount_Cmd(int argc, char** argv);
    int Exe_Sys_BufferThread_Cmd(int argc, char** argv);
    int Exe_Sys_ReadAhead_Cmd(int argc, char** argv);
    int Exe_Sys_AVStreams_Cmd(int argc, char** argv);
    int Exe_Sys_OptimizeAVRecoding_Cmd(int argc, char** argv);
    int Exe_Sys_OptimizeHDEditing_Cmd(int argc, char** argv);
    int Exe_Sys_SASMux_Cmd(int argc, char** argv);
    int Exe_Sys_Boot_Phy_Status_Cmd(int argc, char** argv);
    int Exe_Sys_AdvanInfo_CFG_Cmd(int argc, char** argv);
    int Display_Sys_CMD_Help(int argc, char** argv);

    // adsys
    int Exe_Sys_ReadPerformanceMargin_Cmd(int argc, char** argv);
    int Exe_Sys_WritePerformanceMargin_Cmd(int argc, char** argv);
    int Exe_Sys_ReadAndDiscardParityData_CFG_Cmd(int argc, char** argv);
    int Exe_Sys_SATAHDDSpeed_Cmd(int argc, char** argv);
    int Exe_Sys_FailDiskIfAnyTimeout_CFG_Cmd(int argc, char** argv);
    int Display_Adsys_CMD_Help(int argc, char** argv);

    // hddpwr
    int Exe_HddPwr_StaggerPowerOn_Cmd(int argc, char** argv);
    int Exe_HddPwr_TimeToLowPwrIdle_Cmd(int argc, char** argv);
    int Exe_HddPwr_TimeToLowRPMMode_Cmd(int argc, char** argv);
    int Exe_HddPwr_SpinDownHdd_Cmd(int argc, char** argv);
    int Exe_HddPwr_Info_Cmd(int argc, char** argv);
    int Display_HddPwr_CMD_Help(int argc, char** argv);

    // event
    int Exe_Event_Info_Cmd(int argc, char** argv);
    int Exe_Event_Clear_Cmd(int argc, char** argv);
    int Display_Event_CMD_Help(int argc, char** argv);

    // hw
    int Exe_Hw_Info_Cmd(int argc, char** argv);
    int Display_Hw_CMD_Help(int argc, char** argv);

    // mail
    int Exe_Mail_Set_IpAddr_Cmd(int argc, char** argv);
    int Exe_Mail_Set_Account_Cmd(int argc, char** argv);
    int Exe_Mail_Set_Sender_Cmd(int argc, char** argv);
    int Exe_Mail_Set_MailTo1_Cmd(int argc, char** argv);
    int Exe_Mail_Set_MailTo2_Cmd(int argc, char** argv);
    int Exe_Mail_Set_MailTo3_Cmd(int argc, char** argv);
    int Exe_Mail_Set_MailTo4_Cmd(int argc, char** argv);
    int Exe_Mail_Set_EvtLevel_Cmd(int argc, char** argv);
    int Exe_Mail_Set_NoLevel_Cmd(int argc, char** argv);
    int Exe_MAIL_Info_Cmd(int argc, char** argv);
    int Display_MAIL_CMD_Help(int argc, char** argv);

    // snmp
    int Exe_Snmp_Set_IpAddr1_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_IpAddr2_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_IpAddr3_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_Port1_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_Port2_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_Port3_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_Community_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_Name_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_Contact_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_Location_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_EvtLevel_Cmd(int argc, char** argv);
    int Exe_Snmp_Set_Path_Cmd(int argc, char** argv);
    int Exe_SNMP_Info_Cmd(int argc, char** argv);
    int Display_SNMP_CMD_Help(int argc, char** argv);

    // ntp
    int Exe_Ntp_Set_IpAddr1_Cmd(int argc, char** argv);
    int Exe_Ntp_Set_IpAddr2_Cmd(int argc, char** argv);
    int Exe_Ntp_Set_Timezone_Cmd(int argc, char** argv);
    int Exe_Ntp_Set_DayLightSaving_Cmd(int argc, char** argv);
    int Exe_NTP_Info_Cmd(int argc, char** argv);
    int Display_NTP_CMD_Help(int argc, char** argv);

    // fcc
    int Exe_Fibre_Add_HostName(int argc, char** argv);
    int Exe_Fibre_Del_HostName(int argc, char** argv);
    int Exe_Fibre_Info_HostName(int argc, char** argv);
    int Exe_Fibre_Add_Filter(int argc, char** argv);
    int Exe_Fibre_Del_Filter(int argc, char** argv);
    int Exe_Fibre_Info_Filter(int argc, char** argv);
    int Display_Fcc_CMD_Help(int argc, char** argv);

    // debug
    int Exe_Debug_Dump_Cmd(int argc, char** argv);
    int Exe_Debug_Test_Cmd(int argc, char** argv);
    int Display_DEBUG_CMD_Help(int argc, char** argv);

protected:
    sSYSTEM_INFO m_sysInfo;

private:
    // ---- rsf: helpers of the raid set commands (cli/cli-raid.cpp) ----
    // Which drives a drv= list may name: available free drives, or hot spares.
    enum class RsfDrives { Free, HotSpare };
    // Fills `list` from drv= against `map`, at most `limit` drives; 0, or 1 after its ErrMsg.
    int RsfSelectDrives(int argc, char** argv, const _DRV_MAP& map, RsfDrives kind, int limit,
                        _DEVICE_LIST* list);
    // Most drives a command may send in the form the current controller takes.
    int RsfDriveLimit(bool expand) const;
    // raid= against a fresh raid set map: 0 with the entry's index, or the result after its line.
    int RsfFindRaidSet(int argc, char** argv, _RAID_MAP* map, int* index);
    // True when a volume of the raid set that reads is a member of a nested volume.
    bool RsfHoldsNestedMember(const sGUI_RAIDSET& raid);
    // The controller's volume number of the v-th volume counted over the raid set slots.
    bool RsfFindVolume(int v, int* volume);
    // One raid set as a list row or the detail block; 0, or the failing code after its line.
    int ShowRaidSetInfo(int position, const sGUI_RAIDSET& raid, bool detail);

    // ---- vsf: helpers of the volume set commands (cli/cli-volume.cpp) ----
    // Moves a channel, id and LUN (0xFF: not chosen) to the first free address from there on.
    void GetFreeChIdLun(u8* channel, u8* id, u8* lun);
    // vol= against a fresh volume set map: 0 with the entry's index, or the result after its line.
    int VsfFindVolume(int argc, char** argv, _VOL_MAP* map, int* index);
    // One volume set as a list row or the detail block; 0, or the failing code, whose result
    // line the caller prints after its closing rule.
    int ShowVolumeSetInfo(int position, const sGUI_VOLUMESET& vol, bool detail);

    // ---- event/hw and net/mail/snmp/ntp: helpers (cli/cli-event.cpp, cli/cli-net.cpp) ----
    // The hw info of the enclosure family: the controller's own block, then each enclosure's.
    int Exe_SAS_Hw_Info_Cmd(int argc, char** argv);
    // The mailto commands' common body for recipient n (1..4): the result, which the caller
    // prints; only a failed read of the mail settings prints its own result line first.
    int Exe_Mail_Set_MailTo_Cmd(int argc, char** argv, int n);
    // One text setter of the SNMP agent: p= (at most `width` characters, "NULL" clears).
    int SnmpSetText(int argc, char** argv, std::size_t width, u32 (QZynlib::*set)(char*));

    // ---- vsf keys: helpers of the key file commands (cli/cli-volkey.cpp) ----
    // The bodies of modkey and dlkey once their parameters are read.
    int Do_ModifyKey_Cmd(const char* srcpath, const char* destpath, int first);
    int Do_DownloadKey_Cmd(const char* path);

    // ---- sys settings file: the restore both restorebin roads share (cli/cli-romcfg.cpp) ----
    int RestoreRomCfg(int argc, char** argv, bool fibre);

    // ---- fcc: a volume set's fibre channel address (cli/cli-fcc.cpp) ----
    // vol= against a fresh volume set map: 0 with the channel and the number id x 8 + lun (and
    // the LUN byte), else the result to return (already printed).
    int FccFindVolume(int argc, char** argv, unsigned* channel, unsigned* number, unsigned* lun);

    // Copies the current controller's system information (zeros with none); false with none.
    bool refreshSysInfo();
    // The words the router gives a handler when nothing followed the sub-command.
    static char* s_noWords[1];

    PasswordDialogs m_dialogs;

    static const CmdRecord cmdEntry[];
    static const CmdRecord* const cmdMap;
};
