// Values the controller firmware defines and the program must match: the access strings of the
// identity commands, the agent's default community, the capability bits of the system
// information record and the classes and codes of the event log. The simulator uses the same
// constants.
#pragma once

#include <cstdint>

namespace zynconst {

// Carried behind the first byte of the commands that change the controller's identity or clock.
constexpr char kAccessString8[9] = "Vz7Kq2Lm";
constexpr char kAccessString16[17] = "Vz7Kq2LmR4tX9pWc";

// Community of the controller's SNMP agent when the caller names none.
constexpr char kDefaultCommunity[] = "kestro";

// Capability bits of the system information (sSYSTEM_INFO::capabilities()).
constexpr uint8_t kCapUtcClock = 0x01;          // the clock command takes UTC with 55 AA
constexpr uint8_t kCapUnitSerialCommand = 0x02; // the unit serial has a command of its own (0xEF)

} // namespace zynconst

// The controller's event log: byte 0 of an event record is the event's class, byte 1 its code
// within the class. Each name is the text the event log shows for the code.
namespace zynevent {

enum Class : uint8_t {
    kNoEvent = 0,          // a ring slot that never held an event
    kRaidSetEvent = 1,
    kVolumeSetEvent = 2,
    kDeviceEvent = 3,
    kHostEvent = 4,
    kHwMonitorEvent = 5,
    kGeneralEvent = 6,
};

enum RaidSetCode : uint8_t {
    kCreateRaidSet = 0,
    kDeleteRaidSet = 1,
    kExpandRaidSet = 2,
    kRebuildRaidSet = 3,
    kRaidSetDegraded = 4,
};

enum VolumeSetCode : uint8_t {
    kStartInitialize = 0,
    kStartRebuilding = 1,
    kStartMigrating = 2,
    kStartChecking = 3,
    kCompleteInit = 4,
    kCompleteRebuild = 5,
    kCompleteMigrate = 6,
    kCompleteCheck = 7,
    kCreateVolume = 8,
    kDeleteVolume = 9,
    kModifyVolume = 10,
    kVolumeDegraded = 11,
    kVolumeFailed = 12,
    kFailedVolumeRevived = 13,
    kAbortInitialization = 14,
    kAbortRebuilding = 15,
    kAbortMigration = 16,
    kAbortChecking = 17,
    kStopInitialization = 18,
    kStopRebuilding = 19,
    kStopMigration = 20,
    kStopChecking = 21,
    kUnsupportedStripeSize = 22,
    kStartCloning = 23,
    kCompleteClone = 24,
    kAbortCloning = 25,
    kStopCloning = 26,
};

enum DeviceCode : uint8_t {
    kDeviceInserted = 0,
    kDeviceRemoved = 1,
    kReadingError = 2,
    kWritingError = 3,
    kAtaEccError = 4,
    kChangeAtaMode = 5,
    kTimeOutError = 6,
    kDeviceFailed = 7,
    kPciParityError = 8,
    kDevFailSmart = 9,
    kPassThroughDiskCreated = 10,
    kPassThroughDiskModified = 11,
    kPassThroughDiskDeleted = 12,
};

// The hardware-monitor codes the program raises or tells apart.
enum HwMonitorCode : uint8_t {
    kRaidPoweredOn = 38,
    kTestEvent = 39,
    kPowerOnWithBatteryBackup = 40,
};

// The general codes the program acts on; an enclosure's events name it in their device text.
enum GeneralCode : uint8_t {
    kAdded = 22,
    kRemoved = 23,
    kHotSpareCreated = 30,
    kHotSpareDeleted = 31,
    kHotSpareUsed = 32,
};

} // namespace zynevent
