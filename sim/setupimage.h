// The controller's setup image and the setup-data command 0x1F that reads and writes it (the
// rules: the top of simulator.h). Not thread-safe: FakeController guards it with its mutex.
#pragma once

#include "devicemodel.h"

#include <cstdint>
#include <string>

namespace zynsim {

namespace setup {

constexpr int kLayouts = 4;
constexpr size_t kPageSize = 512;

// Every 0x1F payload: [0] the sub-command, [1..8] the access prefix, [9] the operation.
constexpr uint8_t kSubCommand = 0x08;
constexpr uint8_t kAccessPrefix[8] = {'P', 'l', 'U', 'm', 'E', 'v', 'O', 'r'};
constexpr size_t kOperationAt = 9;
enum Operation : uint8_t {
    OpFirmwareBlock = 0x00,       // answered by FakeController, as are the next two
    OpLcdTitle = 0x01,
    OpRaidSetBitmap = 0x04,
    OpOtherVolumeBitmap = 0x05,   // nested volumes and pass-through volumes
    OpVolumeBitmap = 0x06,        // volume sets on raid sets
    OpRealTimeClock = 0x07,
    OpFailDisk = 0x08,            // answered by FakeController, as is the next one
    OpScheduleCheck = 0x0A,       // answered by FakeController
    OpActivateDisk = 0x0B,
    OpReadPage = 0x40,
    OpWriteShort = 0x41,          // 'A': u16 offset, length modulo 256
    OpWriteLong = 0x42,           // 'B': u32 offset, u16 length
};

// The SNMP system name of a controller configured without one.
constexpr const char* kDefaultSystemName = "varnel-raid";

// True when a 0x1F payload has the sub-command, the access prefix and an operation.
bool hasPrefix(const Bytes& payload);

// Fields of the setup table the simulator reads or fills in.
enum Field : uint32_t {
    kIpAddress = 16, kSubnetMask = 17, kPasswordLength = 20, kPassword = 21,
    kFibrePorts = 23, kFibreHostNames = 24, kFibreHostFilters = 25, kGateway = 29,
    kDhcp = 32, kHttpPort = 44, kTelnetPort = 55, kSnmpCommunity = 72, kSnmpContact = 73,
    kSnmpLocation = 74, kSnmpName = 75, kUnitSerial = 76, kSmtpPort = 80, kPowerSupplies = 86,
    kMaxCommandLength = 103,
};

// The image size of a layout; 0 for a number outside 0-3.
size_t imageSize(int layout);
// The layout of a configuration: its setupLayout when 0-3, else the profile's (Older 0,
// Enclosure 3, the JBOD profiles 1, E100 0).
int layoutOf(const ControllerConfig& config);
// The volume-set numbers (sSYSTEM_INFO byte 177) a layout fixes; 0 when it fixes none.
int volumeNumbersOf(int layout);
// sSYSTEM_INFO byte 188 of a controller with the layout.
uint8_t boardTypeOf(int layout);

} // namespace setup

class SetupImage {
public:
    // A fresh image: a pattern that makes neighbouring bytes differ, with sensible values in
    // the network, port, password, serial, SNMP and power-supply fields the layout has.
    SetupImage(int layout, const std::string& password, const std::string& unitSerial,
               const std::string& systemName = setup::kDefaultSystemName);

    int layout() const { return m_layout; }
    const Bytes& bytes() const { return m_image; }
    // False (nothing changes) unless `image` has the layout's size.
    bool replace(const Bytes& image);
    void setRefuseLongWrites(bool on) { m_refuseLongWrites = on; }

    // A field of the table: false when the layout does not have it. putField zero-pads
    // `value` to the field's length (and cuts it there); fieldText reads up to the first NUL.
    bool hasField(uint32_t id) const;
    bool putField(uint32_t id, const Bytes& value);
    std::string fieldText(uint32_t id) const;
    // The password fields: length byte and text.
    void putPassword(const std::string& password);

    // The answer to a 0x1F payload; the bitmaps come from `model`.
    DeviceModel::Reply handle(const Bytes& payload, const DeviceModel& model);

private:
    DeviceModel::Reply readPage(const Bytes& payload) const;
    DeviceModel::Reply writeLong(const Bytes& payload);
    DeviceModel::Reply writeShort(const Bytes& payload);
    bool write(uint64_t offset, const uint8_t* data, size_t length);

    int m_layout = 0;
    Bytes m_image;
    bool m_refuseLongWrites = false;
};

} // namespace zynsim
