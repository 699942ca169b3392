// Where each setup field lies in the controller's setup image, for the four image layouts.
#pragma once

#include <cstdint>

// One field in one layout. The flags of a caller's adjustment: 1 replace the offset by the
// caller's, 2 add it, 4 subtract it; 8 replace the length, 16 add it, 32 subtract it.
struct CFieldInfo {
    int64_t offset;   // -1: the field does not exist in this layout
    int64_t length;   // 0: the field does not exist in this layout
    int64_t flags;

    enum Adjust : int64_t {
        SetOffset = 1, AddOffset = 2, SubOffset = 4,
        SetLength = 8, AddLength = 16, SubLength = 32,
    };
    bool exists() const { return offset >= 0 && length > 0; }
};
static_assert(sizeof(CFieldInfo) == 24, "field entry is 24 bytes");

struct SetupTableRow {
    uint32_t id;
    uint32_t attribute;
    CFieldInfo layouts[4];
};
static_assert(sizeof(SetupTableRow) == 104, "table row is 104 bytes");

constexpr int kSetupTableRows = 118;
constexpr int kSetupLayouts = 4;
// The image buffer the field reads use: large enough for every layout.
constexpr int kSetupImageSize = 0x18000;
constexpr int kSetupPageSize = 512;

// The setup-data command (0x1F): sub-command 8, the access prefix, then the operation.
constexpr uint8_t kSetupSubCommand = 8;
constexpr char kSetupAccessPrefix[8] = {'P', 'l', 'U', 'm', 'E', 'v', 'O', 'r'};
enum SetupOperation : uint8_t {
    SetupOpFirmwareBlock = 0x00,
    SetupOpLcdTitle = 0x01,
    SetupOpRaidSetBitmap = 0x04,
    SetupOpVolumeBitmapA = 0x05,
    SetupOpVolumeBitmapB = 0x06,
    SetupOpRtc = 0x07,
    SetupOpFailDisk = 0x08,
    SetupOpScheduleCheck = 0x0A,
    SetupOpActivateDisk = 0x0B,
    SetupOpReadPage = 0x40,
    SetupOpWriteShort = 0x41,   // 'A'
    SetupOpWrite = 0x42,        // 'B'
};
constexpr int kSetupPageRequestSize = 31;
constexpr int kSetupWriteRequestSize = 1023;
constexpr int kSetupRequestSize = 525;
// The firmware version a controller must be newer than for setup-data access.
constexpr const char* kSetupFirmwareGate = "V1.42";

extern const SetupTableRow gSetupTable[kSetupTableRows];

// The row of a field id, or null.
const SetupTableRow* gettablelist(uint32_t id);
// The field in a layout, or null for a layout outside 0-3 or an id without a row.
const CFieldInfo* gettablefieldinfo(uint8_t layout, uint32_t id);
