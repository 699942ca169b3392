// FakeController's state, shared by its source files: fakecontroller.cpp (frames, scripts, log,
// the read commands) and identitycommands.cpp (identity, access, maintenance and the agents).
#pragma once

#include "devicemodel.h"
#include "setupimage.h"
#include "simulator.h"
#include "webserver.h"

#include <array>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace zynsim {

constexpr int kLogoPagesMax = 32;   // the enclosure family's; the older family has 4

struct FakeController::Impl {
    using SteadyClock = std::chrono::steady_clock;

    ControllerConfig config;

    mutable std::mutex mutex;   // everything below up to logMutex
    // Identity: what sSYSTEM_INFO reports and the commands 0x10-0x12, 0x17, 0x39 change.
    std::string serial;
    std::string vendor;
    std::string modelName;
    std::array<uint8_t, 6> mac{};
    std::array<uint8_t, 4> ip{};
    uint8_t dhcp = 0;
    uint8_t beeper = 0;
    std::string password;

    std::unique_ptr<DeviceModel> model;
    std::unique_ptr<SetupImage> setup;
    bool passwordRequired = false;
    bool loggedIn = false;
    bool logInForEveryCommand = false;
    int logInLapseMs = 0;                       // 0: a log-in never lapses
    std::chrono::steady_clock::time_point loggedInAt;
    bool roadPasswordRefused = false;
    struct Script {
        int left;
        Answer answer;
    };
    std::map<uint8_t, std::deque<Script>> scripts;
    std::deque<Script> scriptsAll;
    int framesLeftBeforeSilence = -1;   // -1: no silence ahead
    int openExchanges = 0;
    int overlapping = 0;

    // Settings of single commands.
    uint8_t hostMode = 0;
    uint8_t rebuildPriority = 0;
    uint8_t maxAtaMode = 0;
    uint8_t lcdTitle = 0;
    Bytes sedKey;                               // empty: no key
    std::array<uint8_t, 4> scheduleCheck{};     // scheduler, idle, scrub, parity
    std::array<uint8_t, 6> termPort{{0, 0, 1, 0, 0, 0}};
    int beeperMutes = 0;
    // The clock set by 0x1D and when it was set.
    ClockSetting clock;
    SteadyClock::time_point clockSetAt;
    std::array<Bytes, kLogoPagesMax> logo;
    // Firmware upload: the blocks so far, the next block number, the last image taken.
    Bytes upload;
    int nextBlock = 0;
    Bytes firmware;
    int firmwareUpdates = 0;
    char firmwareVerdict = 'A';
    // Restart: frames are dropped until rebootEnds; the agent's up time counts from bootedAt.
    bool rebooting = false;
    SteadyClock::time_point rebootEnds;
    // A pause: frames heard before pauseEnds are answered when it ends.
    SteadyClock::time_point pauseEnds;
    SteadyClock::time_point bootedAt;
    // The web server's partial requests, by "via|peer".
    web::Requests http;
    std::string lastHttpRequest;
    // The front end and sender of the frame being handled (valid while a handler runs).
    std::string currentVia;
    std::string currentPeer;

    mutable std::mutex logMutex;   // log, counters, log file
    std::deque<LogEntry> log;
    std::array<int, 256> received{};
    int logFd = -1;

    // One handler per supported command: returns the reply frame (empty: no reply at all).
    // Called with `mutex` held.
    using Handler = Bytes (*)(Impl& self, const Bytes& payload);
    static const std::map<uint8_t, Handler>& handlers();

    // fakecontroller.cpp
    static Bytes identify(Impl& self, const Bytes& payload);
    static Bytes logIn(Impl& self, const Bytes& payload);
    // Whether the log-in holds (one that has lapsed is ended); the caller holds the mutex.
    bool logInHolds();
    static Bytes logOut(Impl& self, const Bytes& payload);
    static Bytes systemInformation(Impl& self, const Bytes& payload);
    static Bytes pollEvents(Impl& self, const Bytes& payload);
    static Bytes eventPage(Impl& self, const Bytes& payload);
    static Bytes clearEvents(Impl& self, const Bytes& payload);
    static Bytes hardwareMonitor(Impl& self, const Bytes& payload);
    static Bytes raidSetInfo(Impl& self, const Bytes& payload);
    static Bytes volumeSetInfo(Impl& self, const Bytes& payload);
    static Bytes driveInfo(Impl& self, const Bytes& payload);
    static Bytes setupData(Impl& self, const Bytes& payload);

    // identitycommands.cpp
    static Bytes setSerial(Impl& self, const Bytes& payload);         // 0x10
    static Bytes setVendor(Impl& self, const Bytes& payload);         // 0x11
    static Bytes setModel(Impl& self, const Bytes& payload);          // 0x12
    static Bytes httpPiece(Impl& self, const Bytes& payload);         // 0x16
    static Bytes setMac(Impl& self, const Bytes& payload);            // 0x17
    static Bytes setLogoPage(Impl& self, const Bytes& payload);       // 0x18
    static Bytes setTime(Impl& self, const Bytes& payload);           // 0x1D
    static Bytes snmpRequest(Impl& self, const Bytes& payload);       // 0x1E
    static Bytes muteBeeper(Impl& self, const Bytes& payload);        // 0x30
    static Bytes setBeeper(Impl& self, const Bytes& payload);         // 0x31
    static Bytes setPassword(Impl& self, const Bytes& payload);       // 0x32
    static Bytes setHostMode(Impl& self, const Bytes& payload);       // 0x33
    static Bytes setRebuildPriority(Impl& self, const Bytes& payload);// 0x34
    static Bytes setMaxAtaMode(Impl& self, const Bytes& payload);     // 0x35
    static Bytes reset(Impl& self, const Bytes& payload);             // 0x36
    static Bytes setTermPort(Impl& self, const Bytes& payload);       // 0x37
    static Bytes setDhcpIp(Impl& self, const Bytes& payload);         // 0x39
    static Bytes setUnitSerial(Impl& self, const Bytes& payload);     // 0xEF
    // 0x1F operations 0 (firmware block), 1 (LCD title) and 7 (clock); nullptr: the image's.
    static Handler setupOperation(uint8_t op);
    static Bytes firmwareBlock(Impl& self, const Bytes& payload);
    static Bytes lcdTitleSetting(Impl& self, const Bytes& payload);
    static Bytes realTimeClock(Impl& self, const Bytes& payload);

    // raidcommands.cpp: the RAID configuration commands.
    static Bytes createPassThrough(Impl& self, const Bytes& payload);   // 0x40
    static Bytes modifyPassThrough(Impl& self, const Bytes& payload);   // 0x41
    static Bytes deletePassThrough(Impl& self, const Bytes& payload);   // 0x42
    static Bytes identifyDrive(Impl& self, const Bytes& payload);       // 0x43
    static Bytes createRaidSet(Impl& self, const Bytes& payload);       // 0x50
    static Bytes deleteRaidSet(Impl& self, const Bytes& payload);       // 0x51
    static Bytes expandRaidSet(Impl& self, const Bytes& payload);       // 0x52
    static Bytes activateRaidSet(Impl& self, const Bytes& payload);     // 0x53
    static Bytes createHotSpare(Impl& self, const Bytes& payload);      // 0x54
    static Bytes deleteHotSpare(Impl& self, const Bytes& payload);      // 0x55
    static Bytes offlineRaidSet(Impl& self, const Bytes& payload);      // 0x56
    static Bytes createSedRaidSet(Impl& self, const Bytes& payload);    // 0x57
    static Bytes createVolume(Impl& self, const Bytes& payload);        // 0x60
    static Bytes modifyVolume(Impl& self, const Bytes& payload);        // 0x61
    static Bytes deleteVolume(Impl& self, const Bytes& payload);        // 0x62
    static Bytes startCheck(Impl& self, const Bytes& payload);          // 0x63
    static Bytes stopCheck(Impl& self, const Bytes& payload);           // 0x64
    static Bytes createNestedVolume(Impl& self, const Bytes& payload);  // 0x65
    static Bytes lockVolume(Impl& self, const Bytes& payload);          // 0x66
    static Bytes raidSetCreation(Impl& self, const Bytes& payload, uint16_t flags);
    // 0x1F operations 8 and 0x0B.
    static Bytes failDiskOperation(Impl& self, const Bytes& payload);
    static Bytes activateDiskOperation(Impl& self, const Bytes& payload);

    // modelcommands.cpp
    static Bytes passthrough(Impl& self, const Bytes& payload);        // 0x1C
    static Bytes revertSp(Impl& self, const Bytes& payload);           // 0x44
    static Bytes eraseFailDisk(Impl& self, const Bytes& payload);      // 0x45
    static Bytes cloneDisk(Impl& self, const Bytes& payload);          // 0x46
    static Bytes expander(Impl& self, const Bytes& payload);           // 0x47
    static Bytes deleteSedRaidSet(Impl& self, const Bytes& payload);   // 0x58
    static Bytes deleteIseRaidSet(Impl& self, const Bytes& payload);   // 0x59
    static Bytes sedKeyCommand(Impl& self, const Bytes& payload);      // 0x5A
    static Bytes expanderDhpm(Impl& self, const Bytes& payload);       // 0xF4
    static Bytes expanderLinkSpeed(Impl& self, const Bytes& payload);  // 0xF5
    static Bytes scheduleVolumeCheck(Impl& self, const Bytes& payload); // 0x1F operation 10

    // Ends a restart whose silence is over: logs the power-on event. With `mutex` held.
    void settleRestart();
    Bytes modelAnswer(uint8_t command, const Bytes& payload);
    bool takeScript(uint8_t command, const Bytes& payload, Answer* answer);
    Bytes systemInfoLocked() const;
    Bytes identifyLocked() const;
    void writeLogLine(const LogEntry& entry);
};

} // namespace zynsim
