// Constants and the transfer record of the controller driver's user client (service class "ZynMSR").
// Shared by the library's transports and by the simulator's driver front end.
#pragma once

#include <cstdint>

namespace zynmsr {

constexpr const char* kServiceClass = "ZynMSR";

enum Selector : uint32_t {
    kSelOpen = 0,
    kSelClose = 1,
    kSelWrite = 2,
    kSelRead = 3,
    kSelClearWriteBuffer = 4,
    kSelClearReadBuffer = 5,
    kSelAcquireLock = 6,
    kSelReleaseLock = 7,
};

constexpr uint32_t ZYNMSR_USERCLIENT_RETURNCODE_OK = 1;
constexpr uint32_t ZYNMSR_USERCLIENT_RETURNCODE_FAIL = 0;
constexpr uint32_t kDriverTimeout = 500;
// The driver takes and gives at most this many bytes per write or read call.
constexpr uint32_t kDriverMTU = 1031;

#pragma pack(push, 1)
struct TransferRecord {
    uint64_t buffer;   // address of the caller's bytes
    uint64_t length;   // write: bytes to write; read: capacity in, bytes read out
    uint32_t timeout;  // always kDriverTimeout
    uint32_t result;   // ZYNMSR_USERCLIENT_RETURNCODE_OK on success
};
#pragma pack(pop)
static_assert(sizeof(TransferRecord) == 24, "transfer record is 24 bytes");

} // namespace zynmsr
