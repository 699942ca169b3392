// The command line's way to the controller it acts on: the library operations of the current
// controller as members of its own, so that a command handler writes ZynDelRaidSet(n). Each
// member has the signature of the library operation of the same name and returns its result
// unchanged; the call takes the controller's command road (one command at a time, retries,
// the automatic log-in).
//
// The controller is held through a guarded pointer: with none set, or once the one set has been
// deleted, no member touches a controller and each answers ZYN_ERR_NO_TRANSPORT (0x11, "Invalid
// Interface."), except the two whose result is not a result code: ZynGetEventObject answers 0
// (no record copied) and DetermineTableNumber -1 (no setup-data layout).
//
// The event reads share the controller's event ring with its polling thread: a handler runs
// ZynGetReqEventPage and its ZynGetEventObject calls inside the controller's ReadWholeEventLog,
// and ZynClearEvent goes through the controller's ClearEventLog.
#pragma once

#include "devices/controller.h"
#include "zynlib.h"

#include <QObject>
#include <QPointer>

class QZynlib : public QObject {
    Q_OBJECT
public:
    explicit QZynlib(QObject* parent = nullptr);

    // The controller the command line acts on from now on (null: none). Not owned. Announces
    // ControllerChanged when this is another controller than the current one.
    void SetCtrl(QZynController* ctrl);
    // The current controller; null when none is set or it has been deleted since.
    QZynController* GetCtrl() const { return m_ctrl.data(); }

    // System and identity.
    u32 ZynGetSysInfo(sSYSTEM_INFO* info);
    u32 ZynGetSystemConfigInfo(_SYS_CONFIG_INFO* info);
    u32 ZynGetAdvancedFeaturesInfo(_SYS_ADVANCED_FEATURES_INFO* info);
    u32 ZynGetIdentifyString(char* out);
    u32 ZynSetSerial(char* serial);
    u32 ZynSetVendor(char* text);
    u32 ZynSetModel(char* text);
    u32 ZynSetUnitSerial(char* text, int len);
    u32 ZynGetRTCInfo(unsigned char* out, int size);
    u32 ZynSetTime(unsigned char utc);
    u32 ZynResetController();
    u32 ZynUpdateFirmware(char* buffer, int len);
    u32 ZynGetNumberOfPower(u8* count);
    u32 ZynSetNumberOfPower(u8 value);
    u32 ZynSetBootPhyStatus(u8 value);

    // Password and session.
    u32 ZynChkPassword(char* text);
    u32 ZynSetPassword(char* text);
    u32 ZynLogOut();

    // Beeper.
    u32 ZynMuteBeeper();
    u32 ZynSetBeeper(unsigned char on);

    // Raid sets.
    u32 ZynGetRaidSetInfo(u8 raidset, sGUI_RAIDSET* info);
    u32 ZynCreateRaidSet(_DEVICE_LIST* list, char* name, unsigned char mode);
    u32 ZynDelRaidSet(char raid);
    u32 ZynExpandRaidSet(unsigned char raid, _DEVICE_LIST* list, _VOL_MOD_LIST* changes);
    u32 ZynActiveRaidSet(unsigned char raid);
    u32 ZynOfflineRaidSet(char raid);
    u32 ZynCreateHotSpare(_DEVICE_LIST* list, unsigned char type, unsigned short raid);
    u32 ZynDeleteHotSpare(_DEVICE_LIST* list);
    u32 ZynHelpBuildRaidSetMap(_RAID_MAP* map);

    // Volume sets.
    u32 ZynGetVolSetInfo(u8 volume, sGUI_VOLUMESET* info);
    u32 ZynCreateVolSet(_VOLUMESET_CAP* cap, unsigned char win);
    u32 ZynCreateVolSetR5060(unsigned char count, unsigned char* raids, _VOLUMESET_CAP* cap, unsigned char mode);
    u32 ZynModifyVolSet(_NEW_VOLUMESET_CAP* cap);
    u32 ZynDelVolSet(unsigned char vol);
    u32 ZynStartCheckVolume(unsigned char vol, unsigned char a, unsigned char b);
    u32 ZynStopCheckVolume();
    u32 ZynSetScheduleVolumeCheck(unsigned char scheduler, unsigned char idle, unsigned char scrub,
                                  unsigned char parity);
    u32 ZynLockEncryptedVolSet(unsigned char vol);
    u32 ZynHelpBuildVolumeSetMap(_VOL_MAP* map);

    // Physical drives.
    u32 ZynGetPhysicalDriveInfo(u8 enclosure, u8 slot, sGUI_PHY_DRV* info);
    u32 ZynHelpBuildDeviceMap(_DRV_MAP* map);
    u32 ZynCreatePassthroughDisk(unsigned char enc, unsigned char slot, _PASS_DISK_CAP* cap);
    u32 ZynModifyPassthroughDisk(unsigned char enc, unsigned char slot, _PASS_DISK_CAP* cap);
    u32 ZynDelPassthroughDisk(unsigned char enc, unsigned char slot);
    u32 ZynIdentifyDisk(unsigned int mask);
    u32 ZynSASIdentifyDisk(unsigned char mode, unsigned char enc, unsigned char slot);
    u32 ZynFailDisk(unsigned char enc, unsigned char slot);
    u32 ZynActivateFailDisk(unsigned char enc, unsigned char slot);
    u32 ZynCloneDisk(_DEVICE_LIST* source, _DEVICE_LIST* target, unsigned char mode);
    u32 ZynAbortDiskCloning(unsigned short drive);
    u32 ZynExeSMART(int operation, u8 device, u8 argument, u8* out);
    u32 ZynAtaPassthroughCmd(u8 first, u8 device, _ATA_PASSTHROUGH_COMMAND* command);
    u32 ZynScsiPassthroughCmd(u8 first, u8 device, _SCSI_PASSTHROUGH_COMMAND* command);

    // Enclosures and hardware monitor.
    u32 ZynGetEnclosureProperty(u8 enclosure, sGUI_ENC_PROPERTY* info);
    u32 ZynGetEnclosureDescriptor(u8 enclosure, u8 page, u8* buffer, int length);
    u32 ZynGetEnclosureHwMonitor(u8 enclosure, sSENSORS* sensors);
    u32 ZynGetHWMon(u32 kind, _HWMON_INFO* info);
    u32 ZynGetHWMonE100(_HWMON_E100* info);
    u32 ZynGetExpanderInfo(int expander, sGUI_EXP_INFO* info);
    u32 ZynClearExpanderErrorLog(int expander);

    // Events.
    u32 ZynGetReqEventPage(char newOnly, int* count);
    int ZynGetEventObject(int index, sEVET_DATA* record);
    u32 ZynClearEvent();

    // Controller settings.
    u32 ZynSetHostMode(unsigned char value);
    u32 ZynSetRebuildPriority(unsigned char value);
    u32 ZynSetMaxAtaMode(unsigned char value);
    u32 ZynSetStaggerPowerOn(u8 value);
    u32 ZynSetDiskCache(u8 value);
    u32 ZynSetHddReadAhead(u8 value);
    u32 ZynSetTruncateMode(u8 value);
    u32 ZynSetAutoActivate(u8 value);
    u32 ZynSetSMARTHddPoll(u8 value);
    u32 ZynSetSMARTOptionForHdd(u8 value);
    u32 ZynSetSMARTPollingInterval(u8 value);
    u32 ZynSetHddSpinDownMode(u8 value);
    u32 ZynSetHddLowPowerIdleMode(u8 value);
    u32 ZynSetHddLowRPMMode(u8 value);
    u32 ZynSetEmptyHddSlotLed(u8 value);
    u32 ZynSetCpuFanDetection(u8 value);
    u32 ZynSetReadAhead(u8 value);
    u32 ZynSetTLER(u8 value);
    u32 ZynSetBufferThreshold(u8 value);
    u32 ZynSetTimeout(u8 value);
    u32 ZynSetRetryCount(u8 value);
    u32 ZynSetAVStream(u8 value);
    u32 ZynSetOptimizeAVRecording(u8 value);
    u32 ZynSetOptimizeAVEdition(u8 value);
    u32 ZynSetVolumeDataReadAhead(u8 value);
    u32 ZynSetHddQueueDepth(u8 value);
    u32 ZynSetSataNCQ(u8 value);
    u32 ZynSetSASMux(u8 value);
    u32 ZynSetSES2Support(u8 value);
    u32 ZynSetMaxCmdLen(u8 value);
    u32 ZynSetReadPerformanceMargin(u8 value);
    u32 ZynSetWritePerformanceMargin(u8 value);
    u32 ZynSetReadAndDiscardParityData(u8 value);
    u32 ZynSetSataHddSpeed(u8 port, u8 speed);
    u32 ZynSetWriteSameForInit(u8 value);
    u32 ZynSetHotPluggedDiskForRebuilding(u8 value);
    u32 ZynSetFailDiskIfAnyTimeOut(u8 value);

    // The controller's network port.
    u32 ZynGetOnBoardNetInfo(_NET_INFO* info);
    u32 ZynSetDhcpIp(unsigned char dhcp, char* ip);
    u32 ZynSetEthernetMask(char* ip);
    u32 ZynSetGatewayIp(char* ip);
    u32 ZynSetMacAddr(unsigned char* mac);
    u32 ZynSetHTTPPort(u16 port);
    u32 ZynSetTelnetPort(u16 port);
    u32 ZynSetSMTPPort(u16 port);

    // Mail notification by the controller.
    u32 ZynGetMailInfo(_MAIL_CONFIG* info);
    u32 ZynSetMailSmtpIp(char* ip);
    u32 ZynSetMailSmtpLoginAccount(char* account, char* password);
    u32 ZynSetMailAddr(u32 entry, _MAIL_ADDR* address);
    u32 ZynSetMailEvtLevel(u32 level, u32 entry);
    u32 ZynSetMailNoEvtFor24Hours(int enable, u32 entry);

    // The controller's SNMP agent.
    u32 ZynGetSnmpInfo(_SNMP_CONFIG* info);
    u32 ZynSetSnmpTrapIp(u32 index, char* ip);
    u32 ZynSetSnmpTrapPort(u32 index, u16 port);
    u32 ZynSetSnmpCommunity(char* text);
    u32 ZynSetSnmpContact(char* text);
    u32 ZynSetSnmpName(char* text);
    u32 ZynSetSnmpLocation(char* text);
    u32 ZynSetSnmpEvtLevel(u32 level);
    u32 ZynSetSnmpPath(u8 value);

    // Time.
    u32 ZynGetNtpInfo(_NTP_CONFIG* info);
    u32 ZynSetNtpIp(u32 index, char* ip);
    u32 ZynSetTimeZone(u8 value);
    u32 ZynSetDayLightSaving(u8 value);

    // Fibre channel host access.
    u32 ZynGetFibreHostNameList(_FIBRE_HOST_WWNAME_LIST* list);
    u32 ZynAddFibreHostName(_FIBRE_HOST_WWNAME* name);
    u32 ZynDelFibreHostName(unsigned int index);
    u32 ZynGetFibreHostFilterList(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER_LIST* list);
    u32 ZynAddFibreHostFilter(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER* filter);
    u32 ZynDelFibreHostFilter(unsigned int channel, unsigned int lun, unsigned int index);

    // The setup data (the controller's configuration image).
    int DetermineTableNumber();
    u32 ZynGetSetupPage(u8* buffer, int capacity, CFieldInfo* field);
    u32 ZynWriteSetupData(int id, char* data, int length, CFieldInfo* adjust);

    // What the two members that do not answer a result code give without a controller.
    static constexpr int kNoEventObject = 0;
    static constexpr int kNoTableNumber = -1;

signals:
    // The next command goes to `ctrl` (null: to none); not sent when the same one is set again.
    void ControllerChanged(QZynController* ctrl);

private:
    QPointer<QZynController> m_ctrl;
};
