// The controller command library: one session with one controller over one transport.
#pragma once

#include "records.h"
#include "setuptable.h"
#include "zyninterface.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

typedef uint8_t u8;
typedef uint16_t u16;
typedef uint32_t u32;
typedef uint64_t u64;

// Library result codes.
enum ZynResult : u32 {
    ZYN_OK = 0,
    ZYN_ERR_BAD_FRAME = 2,
    ZYN_ERR_TRANSPORT = 4,
    ZYN_ERR_RECV = 5,
    ZYN_ERR_INVALID_ARG = 6,
    ZYN_ERR_FILE = 7,
    ZYN_ERR_PASSWORD_REQUIRED = 8,
    ZYN_ERR_BUFFER_TOO_SMALL = 12,
    ZYN_ERR_NO_TRANSPORT = 17,
    ZYN_ERR_NO_OBJECT = 18,
    ZYN_ERR_SEND_TIMEOUT = 19,
    ZYN_ERR_REPLY_TIMEOUT = 20,
    ZYN_ERR_TRANSPORT_OTHER = 21,
    ZYN_ERR_INTERRUPTED = 23,   // the session's transport was interrupted (ZynInterface::interrupt)
    ZYN_ERR_IO = 63,
    ZYN_ERR_NOT_ALLOWED = 72,
};

// Controller status letters in a one-byte reply.
constexpr u8 kZynStatusFirst = 0x41;   // 'A', success
constexpr u8 kZynStatusLast = 0x6A;    // 'j'
constexpr u8 kZynStatusOk = 0x41;
constexpr u8 kZynStatusPassword = 0x4D; // 'M'

// Command bytes used by the library core.
enum ZynCommand : u8 {
    ZYN_CMD_SET_SERIAL = 0x10,
    ZYN_CMD_SET_VENDOR = 0x11,
    ZYN_CMD_SET_MODEL = 0x12,
    ZYN_CMD_IDENTIFY = 0x13,
    ZYN_CMD_CHECK_PASSWORD = 0x14,
    ZYN_CMD_LOGOUT = 0x15,
    ZYN_CMD_HTTP_PIECE = 0x16,
    ZYN_CMD_SET_MAC = 0x17,
    ZYN_CMD_POLL_EVENT = 0x19,
    ZYN_CMD_GET_EVENT = 0x1A,
    ZYN_CMD_HW_MONITOR = 0x1B,
    ZYN_CMD_PASSTHROUGH = 0x1C,
    ZYN_CMD_SNMP = 0x1E,
    ZYN_CMD_SETUP_DATA = 0x1F,
    ZYN_CMD_GET_RAIDSET = 0x20,
    ZYN_CMD_GET_VOLUMESET = 0x21,
    ZYN_CMD_GET_DRIVE = 0x22,
    ZYN_CMD_GET_SYSINFO = 0x23,
    ZYN_CMD_CLEAR_EVENT = 0x24,
    ZYN_CMD_MUTE_BEEPER = 0x30,
    ZYN_CMD_SET_PASSWORD = 0x32,
    ZYN_CMD_RESET = 0x36,
    ZYN_CMD_EXPANDER = 0x47,
    ZYN_CMD_SED_KEY = 0x5A,
    ZYN_CMD_CLASS_EC = 0xEC,
    ZYN_CMD_CLASS_ED = 0xED,
    ZYN_CMD_RAW = 0xEE,
    ZYN_CMD_UNIT_SERIAL = 0xEF,
    ZYN_CMD_F4 = 0xF4,
    ZYN_CMD_F5 = 0xF5,
};

// Byte 0 of a pass-through request (ZYN_CMD_PASSTHROUGH): a SMART operation on the disk, or
// one of the ATA and SCSI request forms. A SCSI request sends data to the disk when its byte
// kZynScsiDataOutAt is not 0.
enum ZynPassthroughRequest : u8 {
    ZYN_SMART_READ_PAGE = 0,
    ZYN_SMART_READ_THRESHOLDS = 1,
    ZYN_SMART_STATUS = 10,
    ZYN_SMART_RW_RESULT = 18,
    ZYN_PASSTHROUGH_ATA_DATA_IN = 0x13,
    ZYN_PASSTHROUGH_ATA_DATA_OUT = 0x14,
    ZYN_PASSTHROUGH_ATA_NO_DATA = 0x15,
    ZYN_PASSTHROUGH_SCSI = 0x16,
};
constexpr int kZynScsiDataOutAt = 7;
// Byte 0 of an expander request (ZYN_CMD_EXPANDER) and of a disk key request (ZYN_CMD_SED_KEY)
// that only reads.
constexpr u8 kZynExpanderInfo = 0;
constexpr u8 kZynSedKeyExport = 7;

// Whether the command, with this payload, changes the controller (its configuration, its
// disks, its settings, its identity or its log) or starts work on it, rather than only reading.
// The password check, the log-out and the web pages' pieces change nothing of the controller;
// an operation the payload does not tell apart counts as a change. A payload that cannot be
// read (a negative length, or none where one is announced) is refused before anything is sent.
bool ZynCommandChangesController(u8 command, const void* payload, int payloadLength);

class CZynlibObj {
public:
    CZynlibObj() = default;
    CZynlibObj(const CZynlibObj&) = delete;
    CZynlibObj& operator=(const CZynlibObj&) = delete;
};

class CZynlibBase : public CZynlibObj {
public:
    CZynlibBase() = default;
    virtual ~CZynlibBase();
    virtual void ZynSetCallBack(void (*callback)(void*));
    virtual u32 ZynInitSession(ZynInterface* interface);

protected:
    ZynInterface* m_interface = nullptr;   // owned
};

class CZynlib : public CZynlibBase {
public:
    enum Mode { ModeRaid = 0, ModeJbod = 1, ModeText = 2 };

    CZynlib();
    ~CZynlib() override;

    void ZynSetCallBack(void (*callback)(void*)) override;
    u32 ZynInitSession(ZynInterface* interface) override;
    virtual ZynInterface* ZynGetInterface();

    virtual u32 ZynGetSysInfo(sSYSTEM_INFO* info);
    virtual u32 ZynGetRaidSetInfo(u8 raidset, sGUI_RAIDSET* info);
    virtual u32 ZynGetVolSetInfo(u8 volume, sGUI_VOLUMESET* info);
    // Older family: the drive on channel `drive`.
    virtual u32 ZynGetPhysicalDriveInfo(u8 drive, sGUI_PHY_DRV* info);
    // The drive in `slot` of `enclosure` (the enclosure counts on the enclosure family only).
    virtual u32 ZynGetPhysicalDriveInfo(u8 enclosure, u8 slot, sGUI_PHY_DRV* info);
    virtual u32 ZynGetEnclosureProperty(u8 enclosure, sGUI_ENC_PROPERTY* info);
    virtual u32 ZynGetEnclosureDescriptor(u8 enclosure, u8 page, u8* buffer, int length);

    virtual u32 ZynGetHWMon(u32 kind, _HWMON_INFO* info);
    virtual u32 ZynGetHWMonE100(_HWMON_E100* info);
    virtual u32 ZynGetEnclosureHwMonitor(u8 enclosure, sSENSORS* sensors);

    virtual u32 ZynGetIdentifyString(char* out);

    // The controller's event log: the counter, one page, the pages of new (or all) events into
    // the session's ring copy, one record of the copy, and clearing the log.
    virtual u32 ZynPollEvent(int* counter);
    u32 ZynGetEvent(u8 page);
    virtual u32 ZynGetReqEventPage(char newOnly, int* count);
    virtual int ZynGetEventObject(int index, sEVET_DATA* record);
    virtual u32 ZynClearEvent();

    // Setup data: the image pages, one field read or written, the layout of the image.
    virtual u32 ZynGetSetupPage(u8* buffer, int capacity, CFieldInfo* field);
    virtual u32 ZynReadSetupData(int id, char* out, int capacity, int* length, CFieldInfo* adjust);
    virtual u32 ZynWriteSetupData(int id, char* data, int length, CFieldInfo* adjust);
    virtual u32 ZynGetModelNumber(u32* model);
    int DetermineTableNumber();
    // True when the firmware version is new enough for setup-data access.
    bool SetupFirmwareAllowed() const;
    // A setup-data request of operation `op` (525 bytes: sub-command, prefix, op, then
    // `args`), its reply data into `reply` (kReadReplySize bytes).
    u32 SetupRequest(u8 op, const u8* args, int argCount, u8* reply, int* replyLength);

    // One-field settings.
    virtual u32 ZynSetStaggerPowerOn(u8 value);
    virtual u32 ZynSetDiskCache(u8 value);
    virtual u32 ZynSetHddReadAhead(u8 value);
    virtual u32 ZynSetTruncateMode(u8 value);
    virtual u32 ZynSetSMARTHddPoll(u8 value);
    virtual u32 ZynSetSMARTOptionForHdd(u8 value);
    virtual u32 ZynSetSMARTPollingInterval(u8 value);
    virtual u32 ZynSetAutoActivate(u8 value);
    virtual u32 ZynSetHddSpinDownMode(u8 value);
    virtual u32 ZynSetHddLowPowerIdleMode(u8 value);
    virtual u32 ZynSetHddLowRPMMode(u8 value);
    virtual u32 ZynSetEmptyHddSlotLed(u8 value);
    virtual u32 ZynSetCpuFanDetection(u8 value);
    virtual u32 ZynSetTimeZone(u8 value);
    virtual u32 ZynSetDayLightSaving(u8 value);
    virtual u32 ZynSetAutoSpeedDown(u8 value);
    virtual u32 ZynSet2TBMode(u8 value);
    virtual u32 ZynSetReadAhead(u8 value);
    virtual u32 ZynSetTLER(u8 value);
    virtual u32 ZynSetBufferThreshold(u8 value);
    virtual u32 ZynSetTimeout(u8 value);
    virtual u32 ZynSetRetryCount(u8 value);
    virtual u32 ZynSetAVStream(u8 value);
    virtual u32 ZynSetOptimizeAVRecording(u8 value);
    virtual u32 ZynSetOptimizeAVEdition(u8 value);
    virtual u32 ZynSetSATA150Support(u8 value);
    virtual u32 ZynSetReadPerformanceMargin(u8 value);
    virtual u32 ZynSetWritePerformanceMargin(u8 value);
    virtual u32 ZynSetReadAndDiscardParityData(u8 value);
    virtual u32 ZynSetVolumeDataReadAhead(u8 value);
    virtual u32 ZynSetHddQueueDepth(u8 value);
    virtual u32 ZynSetSataNCQ(u8 value);
    virtual u32 ZynSetSASMux(u8 value);
    virtual u32 ZynSetSES2Support(u8 value);
    virtual u32 ZynSetWriteSameForInit(u8 value);
    virtual u32 ZynSetHotPluggedDiskForRebuilding(u8 value);
    virtual u32 ZynSetFailDiskIfAnyTimeOut(u8 value);
    virtual u32 ZynSetBootPhyStatus(u8 value);
    virtual u32 ZynSetSnmpPath(u8 value);
    virtual u32 ZynSetNumberOfPower(u8 value);
    virtual u32 ZynGetNumberOfPower(u8* count);
    virtual u32 ZynSetSataHddSpeed(u8 port, u8 speed);
    virtual u32 ZynSetHTTPPort(u16 port);
    virtual u32 ZynSetTelnetPort(u16 port);
    virtual u32 ZynSetSMTPPort(u16 port);
    virtual u32 ZynSetMaxCmdLen(u8 value);

    // Configuration reads gathering many fields.
    virtual u32 ZynGetSystemConfigInfo(_SYS_CONFIG_INFO* info);
    virtual u32 ZynGetAdvancedFeaturesInfo(_SYS_ADVANCED_FEATURES_INFO* info);
    virtual u32 ZynGetOnBoardNetInfo(_NET_INFO* info);

    // Every drive, raid set or volume set of the controller in one record.
    virtual u32 ZynHelpBuildDeviceMap(_DRV_MAP* map);
    virtual u32 ZynHelpBuildRaidSetMap(_RAID_MAP* map);
    virtual u32 ZynHelpBuildVolumeSetMap(_VOL_MAP* map);

    // Identity, access and maintenance.
    virtual u32 ZynIdentify();
    virtual u32 ZynMuteBeeper();
    virtual u32 ZynSetBeeper(unsigned char on);
    virtual u32 ZynSetPassword(char* text);
    virtual u32 ZynChkPassword(char* text);
    virtual u32 ZynLogOut();
    virtual u32 ZynSetHostMode(unsigned char value);
    virtual u32 ZynSetRebuildPriority(unsigned char value);
    virtual u32 ZynSetMaxAtaMode(unsigned char value);
    virtual u32 ZynSetDhcpIp(unsigned char dhcp, char* ip);
    virtual u32 ZynSetTermPort(unsigned char a, unsigned char b, unsigned char c);
    virtual u32 ZynSetSerial(char* serial);
    virtual u32 ZynSetVendor(char* text);
    virtual u32 ZynSetModel(char* text);
    virtual u32 ZynSetMacAddr(unsigned char* mac);
    virtual u32 ZynSetTime(unsigned char utc);
    u32 SetLogoPage(unsigned char page, unsigned char* data, int len);
    virtual u32 ZynSetLogo(char* data, int len);
    virtual u32 ZynResetController();
    virtual u32 ZynUpdateFirmware(char* buffer, int len);
    virtual u32 ZynUpdateFirmware(char* path);
    virtual u32 ZynHttp(char* request, int len, char* reply, int* replyLength);
    // The longest request ZynHttp carries over a transport of `mtu` bytes per packet: every
    // piece but the last takes a packet of its own, and all of them share one exchange buffer.
    static int ZynHttpCapacity(int mtu);
    int ZynHttpCapacity() const { return ZynHttpCapacity(m_mtu); }
    virtual u32 ZynGetPassword(char* out, int size);
    virtual u32 ZynSetUnitSerial(char* text, int len);
    virtual u32 ZynGetUnitSerial(char* out, int size);
    virtual u32 ZynSetEnclosureUnitSerialNumber(char* text, int len);
    virtual u32 ZynSetLCDTitleToIPAddress(unsigned int on);
    virtual u32 ZynGetRTCInfo(unsigned char* out, int size);

    // Mail, SNMP, NTP and network settings.
    virtual u32 ZynGetMailInfo(_MAIL_CONFIG* info);
    virtual u32 ZynGetSnmpInfo(_SNMP_CONFIG* info);
    virtual u32 ZynGetNtpInfo(_NTP_CONFIG* info);
    virtual u32 ZynSetMailSmtpIp(char* ip);
    virtual u32 ZynSetMailSmtpLoginAccount(char* account, char* password);
    virtual u32 ZynSetMailAddr(u32 entry, _MAIL_ADDR* address);
    virtual u32 ZynSetMailEvtLevel(u32 level, u32 entry);
    virtual u32 ZynSetMailNoEvtFor24Hours(int enable, u32 entry);
    virtual u32 ZynSetSnmpTrapIp(u32 index, char* ip);
    virtual u32 ZynSetSnmpTrapPort(u32 index, u16 port);
    virtual u32 ZynSetSnmpCommunity(char* text);
    virtual u32 ZynSetSnmpContact(char* text);
    virtual u32 ZynSetSnmpName(char* text);
    virtual u32 ZynSetSnmpLocation(char* text);
    virtual u32 ZynSetSnmpEvtLevel(u32 level);
    virtual u32 ZynSetNtpIp(u32 index, char* ip);
    virtual u32 ZynSetGatewayIp(char* ip);
    virtual u32 ZynSetEthernetMask(char* ip);

    // RAID configuration.
    virtual u32 ZynCreateRaidSet(unsigned int mask, char* name);
    virtual u32 ZynCreateRaidSet(_DEVICE_LIST* list, char* name, unsigned char mode);
    virtual u32 ZynDelRaidSet(char raid);
    virtual u32 ZynExpandRaidSet(unsigned char raid, unsigned int mask, _VOL_MOD_LIST* changes);
    virtual u32 ZynExpandRaidSet(unsigned char raid, _DEVICE_LIST* list, _VOL_MOD_LIST* changes);
    virtual u32 ZynActiveRaidSet(unsigned char raid);
    virtual u32 ZynOfflineRaidSet(char raid);
    virtual u32 ZynCreateSEDRaidSet(_DEVICE_LIST* list, char* name, unsigned char mode);
    virtual u32 ZynDelSEDRaidSet(char raid, unsigned char erase);
    virtual u32 ZynDelISERaidSet(char raid);
    virtual u32 ZynCreateHotSpare(unsigned int mask);
    virtual u32 ZynDeleteHotSpare(unsigned int mask);
    virtual u32 ZynCreateHotSpare(_DEVICE_LIST* list, unsigned char type, unsigned short raid);
    virtual u32 ZynDeleteHotSpare(_DEVICE_LIST* list);
    virtual u32 ZynCreateVolSet(_VOLUMESET_CAP* cap, unsigned char win);
    virtual u32 ZynCreateVolSetR5060(unsigned char count, unsigned char* raids, _VOLUMESET_CAP* cap, unsigned char mode);
    virtual u32 ZynModifyVolSet(_NEW_VOLUMESET_CAP* cap);
    virtual u32 ZynDelVolSet(unsigned char vol);
    virtual u32 ZynStartCheckVolume(unsigned char vol, unsigned char a, unsigned char b);
    virtual u32 ZynStopCheckVolume();
    virtual u32 ZynLockEncryptedVolSet(unsigned char vol);
    virtual u32 ZynCreatePassthroughDisk(_PASS_DISK_CAP* cap);
    virtual u32 ZynCreatePassthroughDisk(unsigned char enc, unsigned char slot, _PASS_DISK_CAP* cap);
    virtual u32 ZynModifyPassthroughDisk(_PASS_DISK_CAP* cap);
    virtual u32 ZynModifyPassthroughDisk(unsigned char enc, unsigned char slot, _PASS_DISK_CAP* cap);
    virtual u32 ZynDelPassthroughDisk(unsigned char drive);
    virtual u32 ZynDelPassthroughDisk(unsigned char enc, unsigned char slot);
    virtual u32 ZynIdentifyDisk(unsigned int mask);
    virtual u32 ZynSASIdentifyDisk(unsigned char mode, unsigned char enc, unsigned char slot);
    virtual u32 ZynFailDisk(unsigned char enc, unsigned char slot);
    virtual u32 ZynActivateFailDisk(unsigned char enc, unsigned char slot);
    virtual u32 ZynEraseFailDisk(unsigned char enc, unsigned char slot);
    virtual u32 ZynRevertSP(unsigned char enc, unsigned char slot, unsigned char* psid);
    virtual u32 ZynCloneDisk(_DEVICE_LIST* source, _DEVICE_LIST* target, unsigned char mode);
    virtual u32 ZynAbortDiskCloning(unsigned short drive);

    // Pass-through to one disk (command 0x1C). `first` is passed through to the controller
    // (the enclosure on the enclosure family).
    virtual u32 ZynAtaPassthroughCmd(u8 first, u8 device, _ATA_PASSTHROUGH_COMMAND* command);
    virtual u32 ZynScsiPassthroughCmd(u8 first, u8 device, _SCSI_PASSTHROUGH_COMMAND* command);
    static constexpr char kPassthroughTag[4] = {'K', 'v', 'o', 'D'};

    // Model commands: Ultra320 targets, fibre channel ports, host names and host filters, the
    // scheduled volume check, self-encrypting disk keys, expanders, the volume key buffer.
    virtual u32 ZynGetU320ScsiTargetConfig(_U320_SCSI_TARGET_CONFIG* config);
    virtual u32 ZynSetQas(unsigned int channel, unsigned char value);
    virtual u32 ZynGetFibreConfig(unsigned int channel, _FIBRE_CONFIG* config);
    virtual u32 ZynSetFibreConfigSpeed(unsigned int channel, _FIBRE_CH_SPEED speed);
    virtual u32 ZynSetFibreConfigTopology(unsigned int channel, _FIBRE_TOPOLOGY topology);
    virtual u32 ZynSetFibreConfigLoopId(unsigned int channel, unsigned char id);
    virtual u32 ZynSetFibreConfigLoopStatus(unsigned int channel, _FIBRE_LOOP_STATUS status);
    virtual u32 ZynGetFibreHostNameList(_FIBRE_HOST_WWNAME_LIST* list);
    virtual u32 ZynAddFibreHostName(_FIBRE_HOST_WWNAME* name);
    virtual u32 ZynDelFibreHostName(unsigned int index);
    // `lun` is SCSI id x 8 + LUN.
    virtual u32 ZynGetFibreHostFilterList(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER_LIST* list);
    virtual u32 ZynAddFibreHostFilter(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER* filter);
    virtual u32 ZynDelFibreHostFilter(unsigned int channel, unsigned int lun, unsigned int index);
    virtual u32 ZynSetScheduleVolumeCheck(unsigned char scheduler, unsigned char idle, unsigned char scrub,
                                          unsigned char parity);
    virtual u32 ZynCreateSEDKey(unsigned char* key, unsigned short* a, unsigned short* b);
    virtual u32 ZynChangeSEDKey(unsigned char* key, unsigned short* a, unsigned short* b);
    virtual u32 ZynClearSEDKey();
    virtual u32 ZynDisableSEDKey(unsigned short* a, unsigned short* b);
    virtual u32 ZynExportSEDKey(unsigned char* out);
    virtual u32 ZynImportSEDKey(char* path, unsigned char type, unsigned short* a, unsigned short* b,
                                unsigned short* c, unsigned short* d);
    virtual u32 ZynGetExpanderInfo(int expander, sGUI_EXP_INFO* info);
    virtual u32 ZynClearExpanderErrorLog(int expander);
    virtual u32 ZynSetExpanderDhpm(unsigned char* data, unsigned char value, int length);
    virtual u32 ZynSetExpanderEdfb(unsigned char* data, unsigned char value, int length);
    virtual u32 ZynSetExpanderLinkSpeed(unsigned char max, unsigned char min, unsigned char* data, int length);
    // The volume encryption key buffer for the volume sets at `count` positions of the volume
    // set map (0: every one); `length` holds the capacity of `out` and gets the buffer's length.
    virtual u32 ZynGenerateAESKeyBuffer(unsigned char count, unsigned char* volumes, unsigned int* length,
                                        unsigned char* out);
    static constexpr int kSedKeySize = 32;
    static constexpr int kSedKeyFileSize = 512;
    static constexpr int kExpanderDataMax = 16;
    static constexpr int kVolumeKeyTextSize = 256;
    static constexpr const char* kKeyFileMagic = "ZynEncryptionKeyFile    ";
    // Test seam: the pause between the keys of two volume sets (2000 ms in the product).
    static void setKeyPauseMilliseconds(int ms);
    static int keyPauseMilliseconds();

    // One SNMP message to the controller's agent (command 0x1E) and its answer; 12 when the
    // answer is longer than `replyCapacity`.
    virtual u32 ZynSNMP(char* request, int length, char* reply, int* replyLength, int replyCapacity = kSnmpReplySize);
    // One SNMPv1 get (exact) or get-next of one object. `replyOid` must hold kSnmpMaxOid
    // components. `value` points into this session's storage, valid until its next query.
    virtual u32 ZynSNMPWithOid(long* oid, int* oidLength, unsigned char* community, long* replyOid,
                               unsigned char* valueType, unsigned char** value, int* valueLength,
                               unsigned char exact);
    // The components as dotted text in this session's buffer; null for no components or a
    // text that does not fit it.
    char* SnmpUtilOidToA(long* oid, int* count);
    static constexpr int kSnmpReplySize = 2048;
    static constexpr int kSnmpQueryReplySize = 1024;
    static constexpr int kSnmpMaxOid = 128;
    static constexpr int kSnmpTextSize = 64;
    static constexpr int kSnmpStringSize = 256;

    // Test seam: the pause after each logo page (500 ms in the product).
    static void setLogoPagePauseMilliseconds(int ms);
    // Largest firmware image: the block number has 15 bits.
    static constexpr int kMaxFirmwareBlocks = 32767;
    static constexpr int kFirmwareBlockSize = 512;
    static constexpr int kHttpPieceSize = 1024;

    // Hardware-monitor kinds of ZynGetHWMon.
    enum HwMonKind : u32 { HwFans = 1, HwVoltages, HwTemperatures, HwPower, HwUps, HwBattery, HwReserved };
    // Parsers of one hardware-monitor reply of `length` data bytes (one sensor kind each).
    static u32 GetFansState(const u8* reply, _HWMON_INFO* info, int length = kHwMonReplySize);
    static u32 GetVolState(const u8* reply, _HWMON_INFO* info, int length = kHwMonReplySize);
    static u32 GetTmpState(const u8* reply, _HWMON_INFO* info, int length = kHwMonReplySize);
    static u32 GetPwrState(const u8* reply, _HWMON_INFO* info, int length = kHwMonReplySize);
    static u32 GetUPSState(const u8* reply, _HWMON_INFO* info, int length = kHwMonReplySize);
    static u32 GetBatteryState(const u8* reply, _HWMON_INFO* info, int length = kHwMonReplySize);
    static constexpr int kHwMonReplySize = 2048;
    // System-information byte 174 of the E100 external box.
    static constexpr u8 kE100DriveChannels = 5;

    // One command: frames it, exchanges it through ZynDoIO and checks the reply.
    virtual u32 ZynCmdReadWrite(u8 command, void* payload, int payloadLength, void* reply,
                                int replyCapacity, int& replyLength, u32 flags = 0);
    // The same exchange, its reply waited for as long as that of `patienceCommand` with its
    // payload would be, when that is longer than its own wait: the read that confirms a
    // controller before a command waits as the command itself would.
    u32 ZynCmdReadWriteWaitingAs(u8 command, void* payload, int payloadLength, void* reply, int replyCapacity,
                                 int& replyLength, u8 patienceCommand, const void* patiencePayload,
                                 int patienceLength);
    // One transport exchange.
    virtual int ZynDoIO(_IF_CMD_BLOCK* block);

    bool IsValidHandle() const { return m_interface != nullptr; }
    static u32 ZynGetLibVersion() { return 360; }
    bool IsEnclosure();
    void DebugMsg(const char*, ...) {}

    int mode() const { return m_mode; }
    // Records the session's event ring copy holds (0 when it has none).
    u32 eventRingCapacity() const { return m_eventRingCapacity; }
    u32 eventsHeld() const { return m_eventsHeld; }
    u32 lastEventCounter() const { return m_lastEventCounter; }
    u32 latestEventCounter() const { return m_latestEventCounter; }
    int mtu() const { return m_mtu; }
    const sSYSTEM_INFO& cachedSysInfo() const { return m_sysInfo; }

    // How often an exchange that the transport asks to repeat (-4) is sent at most.
    static constexpr int kMaxTransportRepeats = 3;

    // Attempts ZynGetReqEventPage makes at reading a stable set of pages.
    static constexpr int kEventPageAttempts = 30;

protected:
    void releaseSession();
    // Writes one setter's value into its field after checking it against [low, high].
    u32 setFieldValue(int id, unsigned value, unsigned low, unsigned high);
    u32 setPort(int id, u16 port);
    // The older family's drive mask of a list; false for an empty or oversized list or a drive
    // number above 31.
    static bool listToMask(const _DEVICE_LIST* list, unsigned int* mask);
    // The list form shared by 0x50 and 0x57 on the enclosure family.
    u32 ZynCreateSEDRaidSetForm(u8 command, _DEVICE_LIST* list, char* name, unsigned char mode);
    // The pass-through disk's current volume record (the drive must be a pass-through disk).
    u32 passThroughVolume(const sGUI_PHY_DRV& drive, sGUI_VOLUMESET* volume);
    // Writes an IPv4 address given as dotted text into a four-byte field; 6 for other text.
    u32 writeAddressField(int id, const char* text, CFieldInfo* adjust = nullptr);
    // Writes `text` cut or zero-padded to `width` bytes into a field.
    u32 writeTextField(int id, const char* text, int width);
    // Helpers of the model commands.
    // Reads a port's entry, lets `change` edit it and writes it back.
    u32 changeFibreEntry(unsigned int channel, const std::function<void(u8& speed, u8& topology, u8& loop)>& change);
    u32 writeHostName(int slot, const _FIBRE_HOST_WWNAME* name);   // null: clears the slot
    // The number of the first volume set at channel / lun (-1: none).
    u32 findFilterVolume(unsigned int channel, unsigned int lun, int* volume);
    u32 readFilterList(unsigned int channel, unsigned int lun, _FIBRE_VOL_HOST_FILTER_LIST* list, int* volume);
    u32 writeFilter(int volume, int slot, const _FIBRE_VOL_HOST_FILTER* filter, u16 tag);   // null: clears
    u32 sedKeyCommand(const u8* payload, int length, unsigned short* words[4], u8* reply, int* received);
    u32 sedKeySet(u8 withoutKey, u8 withKey, unsigned char* key, unsigned short* a, unsigned short* b);
    // ZynCmdReadWrite's exchange; `waitAs` (may be null) as _IF_CMD_BLOCK::waitAs.
    u32 exchangeCommand(u8 command, void* payload, int payloadLength, void* reply, int replyCapacity,
                        int& replyLength, const _IF_CMD_BLOCK* waitAs);
    // Sends a command whose reply is a status only.
    u32 statusCommand(u8 command, const u8* payload, int length);
    // Reads the bitmap of raid sets (op 4) or volume sets (ops 5 and 6) in use.
    u32 readBitmap(u8 op, u8* bitmap);
    // A read into a zeroed record of `size` bytes, as far as the reply and the record go.
    u32 readRecord(u8 command, const u8* payload, int payloadLength, u8* record, int size);
    // One read command with a zeroed reply buffer of kReadReplySize bytes.
    u32 readCommand(u8 command, const u8* payload, int payloadLength, u8* reply, int* replyLength);
    static constexpr int kReadReplySize = 2048;
    static constexpr int kEventPageSize = 512;
    static constexpr u32 kEventsPerPage = 16;
    static constexpr int kEventRecordSize = 32;

    int64_t m_reservedHandle = -1;
    // Called with the command block after every exchange; set from any thread, also while
    // another one exchanges.
    std::atomic<void (*)(void*)> m_callback{nullptr};
    sSYSTEM_INFO m_sysInfo{};
    int m_mode = ModeRaid;
    u32 m_lastEventCounter = 0;     // last consumed
    u32 m_latestEventCounter = 0;   // from the last poll
    u32 m_eventsHeld = 0;
    u8* m_eventPage = nullptr;      // 512 bytes
    u8* m_eventRing = nullptr;      // (capacity / 16) x 512 bytes
    u32 m_eventRingCapacity = 0;    // records the ring copy was allocated for
    int m_mtu = 0;
    int m_setupLayout = -1;
    // Frame and reply buffers of ZynCmdReadWrite (kZynScratchSize each, made on first use).
    std::vector<u8> m_frameBuffer;
    std::vector<u8> m_replyBuffer;
    // Storage of the SNMP query, per session (several controllers query at once).
    char m_oidText[kSnmpTextSize] = {};
    char m_snmpCommunity[kSnmpTextSize] = {};
    char m_snmpString[kSnmpStringSize] = {};
    int64_t m_snmpLong = 0;
};

class CZynlibSMART : public CZynlib {
public:
    // A SMART operation on one disk (command 0x1C); `out` (may be null) takes what the
    // operation returns.
    u32 ZynExeSMART(int operation, u8 device, u8 argument, u8* out);
    static constexpr int kSmartReplySize = 2048;
    static constexpr int kSmartPageSize = 512;
};

class CZynlibALL : public CZynlibSMART {
};

// Maps a negative transport result to a library result code (-4 is handled by the caller).
u32 ZynMapTransportResult(int result);
