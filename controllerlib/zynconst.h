// Values the controller firmware defines and the program must match: the access strings of the
// identity commands, the agent's default community and the capability bits of the system
// information record. The simulator uses the same constants.
#pragma once

#include <cstdint>

namespace zynconst {

// Carried behind the first byte of the commands that change the controller's identity or clock.
constexpr char kAccessString8[9] = "Vz7Kq2Lm";
constexpr char kAccessString16[17] = "Vz7Kq2LmR4tX9pWc";

// Community of the controller's SNMP agent when the caller names none.
constexpr char kDefaultCommunity[] = "kestro";

// Capability bits in system-information byte 196.
constexpr int kCapabilityByte = 196;
constexpr uint8_t kCapUtcClock = 0x01;          // the clock command takes UTC with 55 AA
constexpr uint8_t kCapUnitSerialCommand = 0x02; // the unit serial has a command of its own (0xEF)

} // namespace zynconst
