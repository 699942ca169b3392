#include "cli/qzynlib.h"

QZynlib::QZynlib(QObject* parent) : QObject(parent) {}

void QZynlib::SetCtrl(QZynController* ctrl)
{
    // A controller deleted since it was set reads as none here.
    if (m_ctrl.data() == ctrl)
        return;
    m_ctrl = ctrl;
    emit ControllerChanged(ctrl);
}

// Each member: the call on the current controller's library sub-object, or `absent` when there
// is no controller (none set, or deleted since).
#define ZYN_FORWARD_OR(absent, call)                                   \
    {                                                                  \
        CZynlibALL* const lib = m_ctrl.data();                         \
        return lib != nullptr ? lib->call : absent;                    \
    }
#define ZYN_FORWARD(call) ZYN_FORWARD_OR(u32(ZYN_ERR_NO_TRANSPORT), call)

u32 QZynlib::ZynGetSysInfo(sSYSTEM_INFO* info) ZYN_FORWARD(ZynGetSysInfo(info))
u32 QZynlib::ZynGetSystemConfigInfo(_SYS_CONFIG_INFO* info) ZYN_FORWARD(ZynGetSystemConfigInfo(info))
u32 QZynlib::ZynGetAdvancedFeaturesInfo(_SYS_ADVANCED_FEATURES_INFO* info) ZYN_FORWARD(ZynGetAdvancedFeaturesInfo(info))
u32 QZynlib::ZynGetIdentifyString(char* out) ZYN_FORWARD(ZynGetIdentifyString(out))
u32 QZynlib::ZynSetSerial(char* serial) ZYN_FORWARD(ZynSetSerial(serial))
u32 QZynlib::ZynSetVendor(char* text) ZYN_FORWARD(ZynSetVendor(text))
u32 QZynlib::ZynSetModel(char* text) ZYN_FORWARD(ZynSetModel(text))
u32 QZynlib::ZynSetUnitSerial(char* text, int len) ZYN_FORWARD(ZynSetUnitSerial(text, len))
u32 QZynlib::ZynGetRTCInfo(unsigned char* out, int size) ZYN_FORWARD(ZynGetRTCInfo(out, size))
u32 QZynlib::ZynSetTime(unsigned char utc) ZYN_FORWARD(ZynSetTime(utc))
u32 QZynlib::ZynResetController() ZYN_FORWARD(ZynResetController())
u32 QZynlib::ZynUpdateFirmware(char* buffer, int len) ZYN_FORWARD(ZynUpdateFirmware(buffer, len))
u32 QZynlib::ZynGetNumberOfPower(u8* count) ZYN_FORWARD(ZynGetNumberOfPower(count))
u32 QZynlib::ZynSetNumberOfPower(u8 value) ZYN_FORWARD(ZynSetNumberOfPower(value))
u32 QZynlib::ZynSetBootPhyStatus(u8 value) ZYN_FORWARD(ZynSetBootPhyStatus(value))

u32 QZynlib::ZynChkPassword(char* text) ZYN_FORWARD(ZynChkPassword(text))
u32 QZynlib::ZynSetPassword(char* text) ZYN_FORWARD(ZynSetPassword(text))
u32 QZynlib::ZynLogOut() ZYN_FORWARD(ZynLogOut())

u32 QZynlib::ZynMuteBeeper() ZYN_FORWARD(ZynMuteBeeper())
u32 QZynlib::ZynSetBeeper(unsigned char on) ZYN_FORWARD(ZynSetBeeper(on))

u32 QZynlib::ZynGetRaidSetInfo(u8 raidset, sGUI_RAIDSET* info) ZYN_FORWARD(ZynGetRaidSetInfo(raidset, info))
u32 QZynlib::ZynCreateRaidSet(_DEVICE_LIST* list, char* name, unsigned char mode)
    ZYN_FORWARD(ZynCreateRaidSet(list, name, mode))
u32 QZynlib::ZynDelRaidSet(char raid) ZYN_FORWARD(ZynDelRaidSet(raid))
u32 QZynlib::ZynExpandRaidSet(unsigned char raid, _DEVICE_LIST* list, _VOL_MOD_LIST* changes)
    ZYN_FORWARD(ZynExpandRaidSet(raid, list, changes))
u32 QZynlib::ZynActiveRaidSet(unsigned char raid) ZYN_FORWARD(ZynActiveRaidSet(raid))
u32 QZynlib::ZynOfflineRaidSet(char raid) ZYN_FORWARD(ZynOfflineRaidSet(raid))
u32 QZynlib::ZynCreateHotSpare(_DEVICE_LIST* list, unsigned char type, unsigned short raid)
    ZYN_FORWARD(ZynCreateHotSpare(list, type, raid))
u32 QZynlib::ZynDeleteHotSpare(_DEVICE_LIST* list) ZYN_FORWARD(ZynDeleteHotSpare(list))
u32 QZynlib::ZynHelpBuildRaidSetMap(_RAID_MAP* map) ZYN_FORWARD(ZynHelpBuildRaidSetMap(map))

u32 QZynlib::ZynGetVolSetInfo(u8 volume, sGUI_VOLUMESET* info) ZYN_FORWARD(ZynGetVolSetInfo(volume, info))
u32 QZynlib::ZynCreateVolSet(_VOLUMESET_CAP* cap, unsigned char win) ZYN_FORWARD(ZynCreateVolSet(cap, win))
u32 QZynlib::ZynCreateVolSetR5060(unsigned char count, unsigned char* raids, _VOLUMESET_CAP* cap, unsigned char mode)
    ZYN_FORWARD(ZynCreateVolSetR5060(count, raids, cap, mode))
u32 QZynlib::ZynModifyVolSet(_NEW_VOLUMESET_CAP* cap) ZYN_FORWARD(ZynModifyVolSet(cap))
u32 QZynlib::ZynDelVolSet(unsigned char vol) ZYN_FORWARD(ZynDelVolSet(vol))
u32 QZynlib::ZynStartCheckVolume(unsigned char vol, unsigned char a, unsigned char b)
    ZYN_FORWARD(ZynStartCheckVolume(vol, a, b))
u32 QZynlib::ZynStopCheckVolume() ZYN_FORWARD(ZynStopCheckVolume())
u32 QZynlib::ZynSetScheduleVolumeCheck(unsigned char scheduler, unsigned char idle, unsigned char scrub, unsigned char parity)
    ZYN_FORWARD(ZynSetScheduleVolumeCheck(scheduler, idle, scrub, parity))
u32 QZynlib::ZynLockEncryptedVolSet(unsigned char vol) ZYN_FORWARD(ZynLockEncryptedVolSet(vol))
u32 QZynlib::ZynHelpBuildVolumeSetMap(_VOL_MAP* map) ZYN_FORWARD(ZynHelpBuildVolumeSetMap(map))

u32 QZynlib::ZynGetPhysicalDriveInfo(u8 enclosure, u8 slot, sGUI_PHY_DRV* info)
    ZYN_FORWARD(ZynGetPhysicalDriveInfo(enclosure, slot, info))
u32 QZynlib::ZynHelpBuildDeviceMap(_DRV_MAP* map) ZYN_FORWARD(ZynHelpBuildDeviceMap(map))
u32 QZynlib::ZynCreatePassthroughDisk(unsigned char enc, unsigned char slot, _PASS_DISK_CAP* cap)
    ZYN_FORWARD(ZynCreatePassthroughDisk(enc, slot, cap))
u32 QZynlib::ZynModifyPassthroughDisk(unsigned char enc, unsigned char slot, _PASS_DISK_CAP* cap)
    ZYN_FORWARD(ZynModifyPassthroughDisk(enc, slot, cap))
u32 QZynlib::ZynDelPassthroughDisk(unsigned char enc, unsigned char slot) ZYN_FORWARD(ZynDelPassthroughDisk(enc, slot))
u32 QZynlib::ZynIdentifyDisk(unsigned int mask) ZYN_FORWARD(ZynIdentifyDisk(mask))
u32 QZynlib::ZynSASIdentifyDisk(unsigned char mode, unsigned char enc, unsigned char slot)
    ZYN_FORWARD(ZynSASIdentifyDisk(mode, enc, slot))
u32 QZynlib::ZynFailDisk(unsigned char enc, unsigned char slot) ZYN_FORWARD(ZynFailDisk(enc, slot))
u32 QZynlib::ZynActivateFailDisk(unsigned char enc, unsigned char slot) ZYN_FORWARD(ZynActivateFailDisk(enc, slot))
u32 QZynlib::ZynCloneDisk(_DEVICE_LIST* source, _DEVICE_LIST* target, unsigned char mode)
    ZYN_FORWARD(ZynCloneDisk(source, target, mode))
u32 QZynlib::ZynAbortDiskCloning(unsigned short drive) ZYN_FORWARD(ZynAbortDiskCloning(drive))
u32 QZynlib::ZynExeSMART(int operation, u8 device, u8 argument, u8* out)
    ZYN_FORWARD(ZynExeSMART(operation, device, argument, out))
u32 QZynlib::ZynAtaPassthroughCmd(u8 first, u8 device, _ATA_PASSTHROUGH_COMMAND* command)
    ZYN_FORWARD(ZynAtaPassthroughCmd(first, device, command))
u32 QZynlib::ZynScsiPassthroughCmd(u8 first, u8 device, _SCSI_PASSTHROUGH_COMMAND* command)
    ZYN_FORWARD(ZynScsiPassthroughCmd(first, device, command))

u32 QZynlib::ZynGetEnclosureProperty(u8 enclosure, sGUI_ENC_PROPERTY* info)
    ZYN_FORWARD(ZynGetEnclosureProperty(enclosure, info))
u32 QZynlib::ZynGetEnclosureDescriptor(u8 enclosure, u8 page, u8* buffer, int length)
    ZYN_FORWARD(ZynGetEnclosureDescriptor(enclosure, page, buffer, length))
u32 QZynlib::ZynGetEnclosureHwMonitor(u8 enclosure, sSENSORS* sensors)
    ZYN_FORWARD(ZynGetEnclosureHwMonitor(enclosure, sensors))
u32 QZynlib::ZynGetHWMon(u32 kind, _HWMON_INFO* info) ZYN_FORWARD(ZynGetHWMon(kind, info))
u32 QZynlib::ZynGetHWMonE100(_HWMON_E100* info) ZYN_FORWARD(ZynGetHWMonE100(info))
u32 QZynlib::ZynGetExpanderInfo(int expander, sGUI_EXP_INFO* info) ZYN_FORWARD(ZynGetExpanderInfo(expander, info))
u32 QZynlib::ZynClearExpanderErrorLog(int expander) ZYN_FORWARD(ZynClearExpanderErrorLog(expander))

u32 QZynlib::ZynGetReqEventPage(char newOnly, int* count) ZYN_FORWARD(ZynGetReqEventPage(newOnly, count))
int QZynlib::ZynGetEventObject(int index, sEVET_DATA* record)
    ZYN_FORWARD_OR(kNoEventObject, ZynGetEventObject(index, record))
u32 QZynlib::ZynClearEvent()
{
    // Under the event mutex, with the polling thread's bookkeeping kept.
    QZynController* const ctrl = m_ctrl.data();
    return ctrl != nullptr ? ctrl->ClearEventLog() : u32(ZYN_ERR_NO_TRANSPORT);
}

u32 QZynlib::ZynSetHostMode(unsigned char value) ZYN_FORWARD(ZynSetHostMode(value))
u32 QZynlib::ZynSetRebuildPriority(unsigned char value) ZYN_FORWARD(ZynSetRebuildPriority(value))
u32 QZynlib::ZynSetMaxAtaMode(unsigned char value) ZYN_FORWARD(ZynSetMaxAtaMode(value))
u32 QZynlib::ZynSetStaggerPowerOn(u8 value) ZYN_FORWARD(ZynSetStaggerPowerOn(value))
u32 QZynlib::ZynSetDiskCache(u8 value) ZYN_FORWARD(ZynSetDiskCache(value))
u32 QZynlib::ZynSetHddReadAhead(u8 value) ZYN_FORWARD(ZynSetHddReadAhead(value))
u32 QZynlib::ZynSetTruncateMode(u8 value) ZYN_FORWARD(ZynSetTruncateMode(value))
u32 QZynlib::ZynSetAutoActivate(u8 value) ZYN_FORWARD(ZynSetAutoActivate(value))
u32 QZynlib::ZynSetSMARTHddPoll(u8 value) ZYN_FORWARD(ZynSetSMARTHddPoll(value))
u32 QZynlib::ZynSetSMARTOptionForHdd(u8 value) ZYN_FORWARD(ZynSetSMARTOptionForHdd(value))
u32 QZynlib::ZynSetSMARTPollingInterval(u8 value) ZYN_FORWARD(ZynSetSMARTPollingInterval(value))
u32 QZynlib::ZynSetHddSpinDownMode(u8 value) ZYN_FORWARD(ZynSetHddSpinDownMode(value))
u32 QZynlib::ZynSetHddLowPowerIdleMode(u8 value) ZYN_FORWARD(ZynSetHddLowPowerIdleMode(value))
u32 QZynlib::ZynSetHddLowRPMMode(u8 value) ZYN_FORWARD(ZynSetHddLowRPMMode(value))
u32 QZynlib::ZynSetEmptyHddSlotLed(u8 value) ZYN_FORWARD(ZynSetEmptyHddSlotLed(value))
u32 QZynlib::ZynSetCpuFanDetection(u8 value) ZYN_FORWARD(ZynSetCpuFanDetection(value))
u32 QZynlib::ZynSetReadAhead(u8 value) ZYN_FORWARD(ZynSetReadAhead(value))
u32 QZynlib::ZynSetTLER(u8 value) ZYN_FORWARD(ZynSetTLER(value))
u32 QZynlib::ZynSetBufferThreshold(u8 value) ZYN_FORWARD(ZynSetBufferThreshold(value))
u32 QZynlib::ZynSetTimeout(u8 value) ZYN_FORWARD(ZynSetTimeout(value))
u32 QZynlib::ZynSetRetryCount(u8 value) ZYN_FORWARD(ZynSetRetryCount(value))
u32 QZynlib::ZynSetAVStream(u8 value) ZYN_FORWARD(ZynSetAVStream(value))
u32 QZynlib::ZynSetOptimizeAVRecording(u8 value) ZYN_FORWARD(ZynSetOptimizeAVRecording(value))
u32 QZynlib::ZynSetOptimizeAVEdition(u8 value) ZYN_FORWARD(ZynSetOptimizeAVEdition(value))
u32 QZynlib::ZynSetVolumeDataReadAhead(u8 value) ZYN_FORWARD(ZynSetVolumeDataReadAhead(value))
u32 QZynlib::ZynSetHddQueueDepth(u8 value) ZYN_FORWARD(ZynSetHddQueueDepth(value))
u32 QZynlib::ZynSetSataNCQ(u8 value) ZYN_FORWARD(ZynSetSataNCQ(value))
u32 QZynlib::ZynSetSASMux(u8 value) ZYN_FORWARD(ZynSetSASMux(value))
u32 QZynlib::ZynSetSES2Support(u8 value) ZYN_FORWARD(ZynSetSES2Support(value))
u32 QZynlib::ZynSetMaxCmdLen(u8 value) ZYN_FORWARD(ZynSetMaxCmdLen(value))
u32 QZynlib::ZynSetReadPerformanceMargin(u8 value) ZYN_FORWARD(ZynSetReadPerformanceMargin(value))
u32 QZynlib::ZynSetWritePerformanceMargin(u8 value) ZYN_FORWARD(ZynSetWritePerformanceMargin(value))
u32 QZynlib::ZynSetReadAndDiscardParityData(u8 value) ZYN_FORWARD(ZynSetReadAndDiscardParityData(value))
u32 QZynlib::ZynSetSataHddSpeed(u8 port, u8 speed) ZYN_FORWARD(ZynSetSataHddSpeed(port, speed))
u32 QZynlib::ZynSetWriteSameForInit(u8 value) ZYN_FORWARD(ZynSetWriteSameForInit(value))
u32 QZynlib::ZynSetHotPluggedDiskForRebuilding(u8 value) ZYN_FORWARD(ZynSetHotPluggedDiskForRebuilding(value))
u32 QZynlib::ZynSetFailDiskIfAnyTimeOut(u8 value) ZYN_FORWARD(ZynSetFailDiskIfAnyTimeOut(value))

u32 QZynlib::ZynGetOnBoardNetInfo(_NET_INFO* info) ZYN_FORWARD(ZynGetOnBoardNetInfo(info))
u32 QZynlib::ZynSetDhcpIp(unsigned char dhcp, char* ip) ZYN_FORWARD(ZynSetDhcpIp(dhcp, ip))
u32 QZynlib::ZynSetEthernetMask(char* ip) ZYN_FORWARD(ZynSetEthernetMask(ip))
u32 QZynlib::ZynSetGatewayIp(char* ip) ZYN_FORWARD(ZynSetGatewayIp(ip))
u32 QZynlib::ZynSetMacAddr(unsigned char* mac) ZYN_FORWARD(ZynSetMacAddr(mac))
u32 QZynlib::ZynSetHTTPPort(u16 port) ZYN_FORWARD(ZynSetHTTPPort(port))
u32 QZynlib::ZynSetTelnetPort(u16 port) ZYN_FORWARD(ZynSetTelnetPort(port))
u32 QZynlib::ZynSetSMTPPort(u16 port) ZYN_FORWARD(ZynSetSMTPPort(port))

u32 QZynlib::ZynGetMailInfo(_MAIL_CONFIG* info) ZYN_FORWARD(ZynGetMailInfo(info))
u32 QZynlib::ZynSetMailSmtpIp(char* ip) ZYN_FORWARD(ZynSetMailSmtpIp(ip))
u32 QZynlib::ZynSetMailSmtpLoginAccount(char* account, char* password)
    ZYN_FORWARD(ZynSetMailSmtpLoginAccount(account, password))
u32 QZynlib::ZynSetMailAddr(u32 entry, _MAIL_ADDR* address) ZYN_FORWARD(ZynSetMailAddr(entry, address))
u32 QZynlib::ZynSetMailEvtLevel(u32 level, u32 entry) ZYN_FORWARD(ZynSetMailEvtLevel(level, entry))
u32 QZynlib::ZynSetMailNoEvtFor24Hours(int enable, u32 entry) ZYN_FORWARD(ZynSetMailNoEvtFor24Hours(enable, entry))

u32 QZynlib::ZynGetSnmpInfo(_SNMP_CONFIG* info) ZYN_FORWARD(ZynGetSnmpInfo(info))
u32 QZynlib::ZynSetSnmpTrapIp(u32 index, char* ip) ZYN_FORWARD(ZynSetSnmpTrapIp(index, ip))
u32 QZynlib::ZynSetSnmpTrapPort(u32 index, u16 port) ZYN_FORWARD(ZynSetSnmpTrapPort(index, port))
u32 QZynlib::ZynSetSnmpCommunity(char* text) ZYN_FORWARD(ZynSetSnmpCommunity(text))
u32 QZynlib::ZynSetSnmpContact(char* text) ZYN_FORWARD(ZynSetSnmpContact(text))
u32 QZynlib::ZynSetSnmpName(char* text) ZYN_FORWARD(ZynSetSnmpName(text))
u32 QZynlib::ZynSetSnmpLocation(char* text) ZYN_FORWARD(ZynSetSnmpLocation(text))
u32 QZynlib::ZynSetSnmpEvtLevel(u32 level) ZYN_FORWARD(ZynSetSnmpEvtLevel(level))
u32 QZynlib::ZynSetSnmpPath(u8 value) ZYN_FORWARD(ZynSetSnmpPath(value))

u32 QZynlib::ZynGetNtpInfo(_NTP_CONFIG* info) ZYN_FORWARD(ZynGetNtpInfo(info))
u32 QZynlib::ZynSetNtpIp(u32 index, char* ip) ZYN_FORWARD(ZynSetNtpIp(index, ip))
u32 QZynlib::ZynSetTimeZone(u8 value) ZYN_FORWARD(ZynSetTimeZone(value))
u32 QZynlib::ZynSetDayLightSaving(u8 value) ZYN_FORWARD(ZynSetDayLightSaving(value))

u32 QZynlib::ZynGetFibreHostNameList(_FIBRE_HOST_WWNAME_LIST* list) ZYN_FORWARD(ZynGetFibreHostNameList(list))
u32 QZynlib::ZynAddFibreHostName(_FIBRE_HOST_WWNAME* name) ZYN_FORWARD(ZynAddFibreHostName(name))
u32 QZynlib::ZynDelFibreHostName(unsigned int index) ZYN_FORWARD(ZynDelFibreHostName(index))
u32 QZynlib::ZynGetFibreHostFilterList(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER_LIST* list)
    ZYN_FORWARD(ZynGetFibreHostFilterList(channel, lun, list))
u32 QZynlib::ZynAddFibreHostFilter(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER* filter)
    ZYN_FORWARD(ZynAddFibreHostFilter(channel, lun, filter))
u32 QZynlib::ZynDelFibreHostFilter(unsigned int channel, unsigned int lun, unsigned int index)
    ZYN_FORWARD(ZynDelFibreHostFilter(channel, lun, index))

// The setup-data operations are called as the library's own, past any override.
int QZynlib::DetermineTableNumber() ZYN_FORWARD_OR(kNoTableNumber, DetermineTableNumber())
u32 QZynlib::ZynGetSetupPage(u8* buffer, int capacity, CFieldInfo* field)
    ZYN_FORWARD(CZynlib::ZynGetSetupPage(buffer, capacity, field))
u32 QZynlib::ZynWriteSetupData(int id, char* data, int length, CFieldInfo* adjust)
    ZYN_FORWARD(CZynlib::ZynWriteSetupData(id, data, length, adjust))

#undef ZYN_FORWARD
#undef ZYN_FORWARD_OR
