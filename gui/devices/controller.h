// One RAID controller: a device of kind 3 and the controller's command session in one object.
// Every command of every thread takes the controller's command road: one at a time under the
// command mutex, up to three tries on transport failures, an automatic log-in when the
// controller asks for its password, and the controller given up after the third failure.
//
// A controller is never replaced without a gap: the old one stops answering before another
// answers at its address or slot. So the road keeps a run: the exchanges answered since one
// system-information read last showed this controller (its serial number), each within
// kRunGapMs of the one before. An exchange that fails or goes unanswered, or a quiet road,
// ends the run. One rule holds for every exchange, whoever sends it: once the run has ended,
// the next one, read or change, goes only after that confirming read. Besides, a command that
// changes the controller outside a Run, and every check of the user's password, is confirmed
// each time; a Run (below) is confirmed at its first exchange. The read waits for a late
// controller as the command would, with the command's tries and long-wait rule; another serial
// number or silence gives the controller up, and the command fails without being sent. Only the
// road's own log-in goes unconfirmed: where the command, or the read before it, asks for the
// password, the road logs in with the fixed password and the command goes again, confirmed as
// before.
#pragma once

#include "devices/device.h"
#include "devices/disk.h"
#include "devices/guiitem.h"
#include "devices/httpservice.h"
#include "devices/poller.h"
#include "records.h"
#include "devices/snmpinfo.h"
#include "devices/sysinfo.h"
#include "zynlib.h"
#include "devices/zynlog.h"

#include <QIcon>
#include <mutex>
#include "devices/devicerecord.h"

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

class QZynRaidSet;
class QZynVolumeSet;
class QZynEnclosure;
class QZynEvent;

class QZynController : public QZynDevice, public CZynlibALL {
    Q_OBJECT
public:
    enum State { StateConnecting = 1, StateOnline = 2, StateOffline = 3 };
    enum ConnectionType { ConnectionDriver = 1, ConnectionEthernet = 3 };
    static constexpr u32 STATUS_CONTROLLER_NEED_AUTH = 1;

    static constexpr int kRaidSets = 128;
    static constexpr int kVolumeSets = 128;
    static constexpr int kEvents = 256;
    static constexpr int kEnclosures = 32;
    static constexpr int kSlots = 256;
    // The hardware-monitor records of a controller outside the enclosure family, in storage order.
    enum HwMonitorRecord {
        HwRecordVoltages = 0, HwRecordFans = 1, HwRecordTemperatures = 2, HwRecordBattery = 3, HwRecordPower = 4,
    };
    static constexpr int kHwMonitorRecords = 5;
    // The modes of RunEventLoop.
    enum EventLoopMode : u8 { LoadEventLog = 0, DispatchNewEvents = 1 };
    // Seconds a checked password holds before the need-auth status returns.
    static constexpr int kAuthorisationSeconds = 300;
    // The password the command road logs in with when a command asks for it.
    static constexpr const char* kControllerPassword = "QRT205813946071";
    // Tries of one command on the command road.
    static constexpr int kCommandTries = 3;
    // A failed command under way for this long is tried again only when the controller
    // answers a short read as itself: the tries cover datagrams lost on the network (a try
    // waits 5 s for its answer), not a controller silent through a long wait (60 s on the
    // driver).
    static constexpr qint64 kCommandRetryWindowMs = 20000;
    // The window in force: kCommandRetryWindowMs unless set otherwise (tests shorten it; a
    // negative value restores it). Any thread.
    static void SetCommandRetryWindowMs(qint64 ms);
    static qint64 CommandRetryWindowMs();

    // The longest quiet spell on the road, from the end of an answered exchange to the start of
    // the next, that leaves the run unbroken.
    static constexpr qint64 kRunGapMs = 250;

    // One operation's run of commands on this controller from the calling thread: the blocks
    // of a firmware update, the writes of a restore, a polling pass. Its first exchange, read or
    // change, is confirmed whatever other threads kept the run going with; a later one only when
    // the run has ended since. Outside a Run every change is confirmed. A null controller gives
    // a scope that does nothing.
    class Run {
    public:
        explicit Run(QZynController* controller);
        ~Run();
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;

    private:
        friend class QZynController;
        QZynController* const m_controller;
        bool m_confirmed = false;   // a confirming read of this Run's has shown this controller
        Run* const m_outer;         // the thread's enclosing Run
    };

    // Opens the session on `transport` (kept by the session, also when opening fails).
    QZynController(ZynInterface* transport, int connectionType);
    ~QZynController() override;

    void AllocateResources();
    void FreeResources();

    int GetState() const;
    void SetState(int state);
    bool IsStatus(u32 mask) const;
    void SetStatus(u32 mask);
    void ClearStatus(u32 mask);
    u32 GetStatus() const;

    QZynSysInfo* GetSysInfo() { return &m_sysInfo; }
    const QZynSysInfo* GetSysInfo() const { return &m_sysInfo; }
    QZynSNMPInfo* GetSNMPInfo() { return &m_snmpInfo; }
    const QZynSNMPInfo* GetSNMPInfo() const { return &m_snmpInfo; }
    bool operator==(const QZynController& other) const { return m_sysInfo == other.m_sysInfo; }

    // Whether construction opened the session and read the controller's system information:
    // without both the object stands for no controller.
    bool IsIdentified() const { return m_identified.load(); }
    int GetConnectionType() const { return m_connectionType; }
    int GetHostSlot() const { return m_hostSlot.load(); }
    void SetHostSlot(int slot) { m_hostSlot.store(slot); }
    int GetAuthorisationHold() const { return m_authorisationHold.load(); }
    void SetAuthorisationHold(int seconds) { m_authorisationHold.store(seconds); }
    // One second of the hold gone; the value before.
    int DecrementAuthorisationHold() { return m_authorisationHold.fetch_sub(1); }
    int GetHwMonitorHold() const { return m_hwMonitorHold.load(); }
    void SetHwMonitorHold(int hold) { m_hwMonitorHold.store(uint8_t(hold)); }
    // Where the next event lands in the event table.
    int GetEventCounter() const { return m_eventCounter.load(); }
    // While set the one-second refresh does nothing (nothing sets it yet).
    bool IsRefreshSuspended() const { return m_refreshSuspended.load() != 0; }
    QZynPoller* GetEventWatcher() const { return m_eventWatcher; }
    // The web proxy's listening server once the controller has been started; null before.
    QTcpServer* GetHttpProxyServer() const { return m_httpServer ? m_httpServer->tcpServer() : nullptr; }
    QZynGuiItem* GetGuiItem() const { return m_guiItem.get(); }
    // Guards the records and texts of this controller's device objects.
    DeviceLock* RecordLock() { return &m_recordLock; }

    // The controller's name in the device tree and the log lines.
    QString GetText() const;
    QIcon GetStateIcon() const;
    static QString StateIconPath(int state);

    // Lookups: null out of range (the disk lookup gives the dummy disk).
    QZynRaidSet* GetRaidSet(int i) const;
    QZynVolumeSet* GetVolumeSet(int i) const;
    QZynEnclosure* GetEnclosure(int i) const;
    QZynEvent* GetEvent(int i) const;
    QZynDisk* GetDisk(const QZynDiskIndex& index) const;
    QZynDisk* GetDummyDisk() const { return m_dummyDisk.get(); }
    // Numbers of the present raid sets, 0..127.
    void GetRaidSetCount(std::vector<int>& out) const;
    // Present nested volumes first, then each raid set's volume list in raid set order.
    void GetVolumeSetCount(std::vector<int>& out) const;
    // Numbers below the enclosure count (at most 32) whose enclosure is present.
    void GetEnclosureCount(std::vector<int>& out) const;
    bool IsEnclosureFamily() const { return m_sysInfo.GetRecord().isEnclosureFamily(); }
    // Every slot address (enclosures by number), each with its disk object.
    void GetDiskSlotCount(std::vector<QZynDiskIndex>& out) const;
    void GetDiskCount(std::vector<QZynDiskIndex>& out) const;
    void GetFreeDiskCount(std::vector<QZynDiskIndex>& out) const;
    void GetHotSpareDiskCount(std::vector<QZynDiskIndex>& out) const;
    // Ring slots holding an event, oldest first.
    void GetEventCount(std::vector<int>& out) const;
    // The model and "-VOL#nnn" with the lowest number whose name, as the record's name field
    // keeps it (UTF-8, cut to the field), no volume set holds; the model is cut where the whole
    // name would not fit.
    QString GetFreeVolumeSetName() const;
    // The first channel, id and lun no volume set uses; false when all are used.
    bool GetFreeChIdLun(u8* ch, u8* id, u8* lun) const;
    // A SCSI address {channel, id, lun}.
    using ChIdLun = std::array<u8, 3>;
    // The same, also passing over the addresses in `taken` (handed out but not yet listed).
    bool GetFreeChIdLun(u8* ch, u8* id, u8* lun, const std::vector<ChIdLun>& taken) const;
    // Ring slots the event table uses: the ring capacity, at most the table's 256.
    int EventRingSlots() const;

    // Filling and refreshing the tables; the update operations tell whether the record changed.
    void AddRaidSet(QZynRaidSet* raidSet);
    bool UpdateRaidSet(QZynRaidSet* raidSet);
    void RemoveRaidSet(QZynRaidSet* raidSet);
    void AddVolumeSet(QZynVolumeSet* volume);
    bool UpdateVolumeSet(QZynVolumeSet* volume);
    void RemoveVolumeSet(QZynVolumeSet* volume);
    void AddDisk(QZynDisk* disk);
    bool UpdateDisk(QZynDisk* disk);
    void RemoveDisk(QZynDisk* disk);
    void AddEnclosure(QZynEnclosure* enclosure);
    bool UpdateEnclosure(QZynEnclosure* enclosure);
    void RemoveEnclosure(QZynEnclosure* enclosure);
    void AddEvent(QZynEvent* event);
    void UpdateEvent(QZynEvent* event);
    void RemoveEvent(QZynEvent* event);

    // Fills the tables when the controller first comes online; the first map failure.
    u32 BuildDeviceHierarchy();
    // Reads new events and dispatches them (DispatchNewEvents) or loads the whole log into the
    // event table (LoadEventLog); events handled.
    int RunEventLoop(u8 mode);
    bool ProcessHwMonitor();
    // The hardware-monitor record `record` (HwMonitorRecord); an empty one for other numbers.
    _HWMON_INFO GetHwMonitor(int record) const;
    sSENSORS GetEnclosureHwMonitor() const;

    // Every reader of the controller's event log other than the polling thread runs `read`
    // through here: under the event mutex, with the session's event bookkeeping put back
    // afterwards, so the polling thread still gets every new event once.
    template <typename Read>
    void ReadWholeEventLog(Read read)
    {
        std::lock_guard<std::mutex> locker(m_eventMutex);
        const u32 lastConsumed = m_lastEventCounter;
        const u32 held = m_eventsHeld;
        read();
        m_lastEventCounter = lastConsumed;
        m_eventsHeld = held;
    }
    // Clears the controller's event log (ZynClearEvent) under the event mutex. The controller
    // keeps counting across a clear, only its records go, so the polling thread's last consumed
    // counter stays where it was: its next pass reads just the events logged since, none of the
    // cleared ones and none twice.
    u32 ClearEventLog();

    // The command road.
    u32 ZynCmdReadWrite(u8 command, void* payload, int payloadLength, void* reply, int replyCapacity,
                        int& replyLength, u32 flags = 0) override;
    u32 ZynCmdReadWriteInternal(u8 command, void* payload, int payloadLength, void* reply,
                                int replyCapacity, int& replyLength, u32 flags = 0);
    int ZynDoIO(_IF_CMD_BLOCK* block) override;

    // The name of a command in the retry line; empty outside the table.
    static QString CommandName(u8 command);

    // What one system-information read tells of the controller on the road: the serial number
    // this object knows (a running controller never changes it), another one (another
    // controller), or nothing.
    enum Identity { IdentitySame, IdentityOther, IdentityUnknown };

    // A lost controller (its last try failed, or another controller answers in its place):
    // offline, and when the host lists it, removed, announced and deleted later. Any thread.
    void GiveUp();

signals:
    void DeviceChanged(QZynDevice* device, int event);
    void LogMessage(QZynLog* log);

public:
    // Runs `task` with this controller on a thread of the controller's own, so that long work
    // (a whole setup image read) does not hold the GUI thread; its commands take the command
    // road like any other. A task still running when the next is given, or when the controller
    // goes, is waited for.
    void RunInBackground(std::function<void(QZynController*)> task);
    // Waits until the task given last has ended.
    void WaitForBackground();

    // The layers above the device layer give a starting controller what they own: its polling
    // worker (the maker of gui/watcher), its item models, its web proxy (makers of the view and
    // service layers). Each maker is installed at program start, before any controller starts;
    // installing the same start maker again changes nothing. Start makes the polling worker once
    // and calls every start maker, in the order installed, on the GUI thread.
    using PollerMaker = QZynPoller* (*)(QZynController*);
    using StartMaker = void (*)(QZynController*);
    using HttpServerMaker = QZynHttpService* (*)(QZynController*);
    static void SetPollerMaker(PollerMaker maker);
    // The maker of the web proxy (the service layer's); without one a controller has no proxy.
    static void SetHttpServerMaker(HttpServerMaker maker);
    static void AddStartMaker(StartMaker maker);

public slots:
    // Stop ends the exchange under way (on any thread) and refuses every exchange after it
    // (as an inactive controller) until Start or Resume; the controller is not given up for
    // that. Pause lets the exchange under way end (a request of the web proxy is answered).
    void Start();
    void Stop();
    void Pause();
    void Resume();
    void StartHttpServer();
    void StopHttpServer();
    // Closes the web proxy for good (its port refuses, the connections it serves end), for a
    // controller that is not started again; Start would open a new one.
    void CloseHttpServer();
    void StartEventWatcher();
    void StopEventWatcher();
    void ProcessRaidSetEvent(QZynEvent* event);
    void ProcessVolumeSetEvent(QZynEvent* event);
    void ProcessDiskEvent(QZynEvent* event);
    void ProcessEnclosureEvent(QZynEvent* event);

public:
    // Emits DeviceChanged on this object's thread (queued when called from another thread).
    void Announce(QZynDevice* device, int change);

private slots:
    // Makes the oldest announcement that another thread handed over.
    void announceHandedOver();

private:
    // The raid set a disk's record names (byte 81), and its first volume set.
    QZynRaidSet* raidSetOf(const QZynDisk* disk) const;
    QZynVolumeSet* firstVolumeOf(const QZynRaidSet* raidSet) const;
    // Reads the property and the slot descriptors of an enclosure; the property read's result.
    u32 readEnclosure(QZynEnclosure* enclosure, bool* descriptorsRead);
    // Makes the polling worker when there is none yet; whether there is one.
    bool ensureEventWatcher();
    void interruptExchanges();
    void resumeExchanges();
    // ZynCmdReadWriteInternal; `readAsked`, when given, tells whether the password was asked for
    // by the read that confirms the controller (the command was not sent).
    u32 commandTries(u8 command, void* payload, int payloadLength, void* reply, int replyCapacity, int& replyLength,
                     u32 flags, bool* readAsked);
    // With the command road held: one system-information read, one try, its reply waited for
    // as `command` with its payload would wait (a read's own wait by default); `result`, when
    // given, gets the exchange's result. The same controller starts a run, another ends it.
    Identity readIdentity(u32* result = nullptr, u8 command = ZYN_CMD_GET_SYSINFO, const void* payload = nullptr,
                          int payloadLength = 0);
    // Whether the run holds: confirmed, and the road quiet for no longer than kRunGapMs since.
    bool runHolds() const;
    // The innermost Run of the calling thread on this controller; null when there is none.
    Run* currentRun();
    // Milliseconds on a steady clock.
    static qint64 steadyMs();

    QZynPoller* m_eventWatcher = nullptr;
    std::thread m_background;   // started and joined on the GUI thread only
    // Made, paused, resumed and deleted on this object's thread only.
    std::unique_ptr<QZynHttpService> m_httpServer;
    std::atomic<uint8_t> m_hwMonitorHold{1};
    std::atomic<uint8_t> m_refreshSuspended{0};
    _HWMON_INFO m_hwMonitor[kHwMonitorRecords];
    std::unique_ptr<sSENSORS> m_enclosureHwMonitor;
    std::atomic<int> m_authorisationHold{0};
    std::atomic<int> m_hostSlot{-1};
    std::atomic<int> m_eventCounter{0};
    std::atomic<int> m_state{StateConnecting};
    std::atomic<bool> m_identified{false};
    u32 m_status = STATUS_CONTROLLER_NEED_AUTH;
    mutable DeviceLock m_recordLock;
    QZynSysInfo m_sysInfo;
    QZynSNMPInfo m_snmpInfo;
    std::unique_ptr<QZynGuiItem> m_guiItem;
    const int m_connectionType;
    std::vector<QZynVolumeSet*> m_volumeSets;
    std::vector<QZynRaidSet*> m_raidSets;
    std::vector<QZynEnclosure*> m_enclosures;
    std::vector<std::vector<QZynDisk*>> m_disks;
    std::vector<QZynEvent*> m_events;
    std::unique_ptr<QZynDisk> m_dummyDisk;
    std::mutex m_commandMutex;   // a standard mutex: the thread sanitizer sees its ordering
    // The run: whether every exchange since the last confirming read was answered, each within
    // kRunGapMs of the one before, and when the last answered exchange ended (steadyMs).
    // Written by ZynDoIO and the confirming read, with the command road held.
    std::atomic<bool> m_runConfirmed{false};
    std::atomic<qint64> m_lastAnswerMs{0};
    std::mutex m_eventMutex;     // one reader of the event log at a time
    mutable std::mutex m_stateMutex;
    // An announcement handed over by another thread. An event's carries a copy of its record,
    // put into its ring slot when the announcement is made: the slot may take later events before
    // a held-up GUI thread gets to this one.
    struct HandedOver {
        QZynDevice* device = nullptr;
        int change = 0;
        bool carriesEvent = false;
        bool fromLoad = false;
        sEVET_DATA record{};
    };
    void handOver(const HandedOver& announcement);

    // Announcements handed over by the polling thread, oldest first.
    std::deque<HandedOver> m_handedOver;
    std::mutex m_handOverMutex;   // a standard mutex: the thread sanitizer sees the handover
};
