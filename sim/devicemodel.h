// The device model behind the controller's read commands: disks, raid sets, volume sets,
// enclosures with their sensors, the hardware monitor and the event ring. Not thread-safe:
// FakeController guards it with its own mutex.
#pragma once

#include "records.h"
#include "simulator.h"
#include "zynconst.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zynsim {

// The volume state bits and raid levels the model uses, by the record's names. The events it
// raises take their classes and codes from zynevent.
namespace modelcodes {
constexpr uint32_t kStateInit = sGUI_VOLUMESET::kStateInitializing, kStateFailed = sGUI_VOLUMESET::kStateFailed,
                   kStateMigrate = sGUI_VOLUMESET::kStateMigrating, kStateRebuild = sGUI_VOLUMESET::kStateRebuilding,
                   kStateCheck = sGUI_VOLUMESET::kStateChecking;
constexpr int kLevelRaid0 = sGUI_VOLUMESET::kLevelRaid0, kLevelRaid10 = sGUI_VOLUMESET::kLevelRaid10,
              kLevelRaid3 = sGUI_VOLUMESET::kLevelRaid3, kLevelRaid5 = sGUI_VOLUMESET::kLevelRaid5,
              kLevelRaid6 = sGUI_VOLUMESET::kLevelRaid6, kLevelPassThrough = sGUI_VOLUMESET::kLevelPassThrough;
} // namespace modelcodes

class DeviceModel {
public:
    // The sensor sections of an enclosure after its slot names (section 0): section k + 1.
    enum SensorKind { kSensorVoltages = 0, kSensorFans = 1, kSensorPower = 2, kSensorTemperatures = 3 };

    DeviceModel(const ControllerConfig& config, const std::string& controllerSerial);

    // The answer to one frame: a status letter, or data when `letter` is 0.
    struct Reply {
        uint8_t letter = 0;
        Bytes data;
        static Reply status(uint8_t l) { Reply r; r.letter = l; return r; }
        static Reply of(Bytes d) { Reply r; r.data = std::move(d); return r; }
    };
    Reply pollEvents() const;                          // 0x19
    Reply eventPage(const Bytes& payload) const;       // 0x1A
    Reply clearEvents();                               // 0x24
    Reply hardwareMonitor(const Bytes& payload) const; // 0x1B
    Reply raidSetInfo(const Bytes& payload) const;     // 0x20
    Reply volumeSetInfo(const Bytes& payload) const;   // 0x21
    Reply driveInfo(const Bytes& payload) const;       // 0x22

    // Writes the bytes of the system information record the model decides.
    void fillSystemInfo(Bytes& record) const;
    // Bitmaps of the numbers in use (bit n of byte n / 8), 16 bytes: raid sets; volume sets on
    // raid sets (onRaidSets) or the others, nested volumes and pass-through volumes.
    Bytes raidSetBitmap() const;
    Bytes volumeBitmap(bool onRaidSets) const;

    sGUI_RAIDSET raidSet(int i) const;
    sGUI_VOLUMESET volumeSet(int i) const;
    Bytes volumeReply(int i) const;
    sGUI_PHY_DRV disk(int enclosure, int slot) const;
    sGUI_ENC_PROPERTY enclosure(int e) const;
    std::vector<sEVET_DATA> events() const;
    uint32_t eventCounter() const;

    // health null: what a fresh disk of the slot reports (defaultHealth).
    bool addDisk(int e, int s, const std::string& model, const std::string& serial,
                 uint64_t capacity, const std::string& firmware, std::string* reason,
                 const DiskHealth* health = nullptr);
    bool setDiskHealth(int e, int s, const DiskHealth& health, std::string* reason);
    static DiskHealth defaultHealth(int e, int s);
    // What a present disk answers to pass-through commands (empty for an empty slot): its SMART
    // attribute or threshold page (512 bytes; a disk whose model names "SSD" reports solid-state
    // attributes), its ATA IDENTIFY data (512 bytes) and its SCSI INQUIRY data (36 bytes).
    Bytes smartPage(int e, int s, bool thresholds) const;
    Bytes ataIdentify(int e, int s) const;
    Bytes scsiInquiry(int e, int s) const;
    // Whether an attribute of the disk is at or below its threshold.
    bool smartThresholdExceeded(int e, int s) const;
    bool removeDisk(int e, int s, std::string* reason);
    bool failDisk(int e, int s, std::string* reason);
    int createRaidSet(const std::string& name, const std::vector<std::pair<int, int>>& disks,
                      const RaidSetOptions& options, std::string* reason);
    bool deleteRaidSet(int raid, std::string* reason);
    int createVolumeSet(int raid, const std::string& name, uint64_t capacity, int level,
                        uint32_t stripe, const VolumeOptions& options, std::string* reason);
    bool deleteVolumeSet(int volume, std::string* reason);
    int createNestedVolume(const std::string& name, const std::vector<int>& members,
                           int number, std::string* reason);
    bool setHotSpare(int e, int s, int kind, int raid, std::string* reason);
    bool clearHotSpare(int e, int s, std::string* reason);
    int setPassThrough(int e, int s, std::string* reason);
    bool clearPassThrough(int e, int s, std::string* reason);
    void addEvent(const sEVET_DATA& event);
    void logPowerOn();                                 // hardware monitor event 38
    bool setVolumeState(int volume, uint32_t state, uint32_t progress, std::string* reason);
    // Moves the running initialisation, migration or check on by `tenths`; at 1000 the volume
    // is back to normal and the completion event is logged. False when none runs.
    bool advanceProgress(int volume, int tenths);
    void setClock(int64_t unixSeconds) { m_clock = unixSeconds; }

    // ---- The RAID configuration commands (raidchanges.cpp). Each takes what its payload says,
    // checks everything first, then changes the model and logs the events, and answers the
    // status letter: 'A' done, 'B' raid set not normal, 'D' no raid set, 'E' no volume set,
    // 'F' no (suitable) drive, 'G' invalid parameter, 'K' no disk space, 'H' not supported.
    using Address = std::pair<int, int>;   // {enclosure, slot}; older family {0, channel}
    struct VolumeSpec {
        std::string name;                  // empty: the controller's "Volume---VOL#nnn"
        uint64_t blocks = 0;
        int level = 0;
        int stripeCode = 0;                // stripe 8 << code sectors
        uint8_t address[6] = {};           // channel, id, lun, tagged, cache, byte 53
        uint8_t encryption = 0;
    };
    struct LevelChange {
        int volume;
        int level;
        int stripeCode;
    };
    using Locate = LocateState;
    bool olderFamily() const { return older(); }
    bool jbodFamily() const { return jbod(); }
    bool nestedVolumes() const { return extendedVolumes(); }
    uint8_t commandCreateRaidSet(const std::vector<Address>& disks, const std::string& name, uint16_t flags);
    uint8_t commandDeleteRaidSet(int raid);
    uint8_t commandExpandRaidSet(int raid, const std::vector<Address>& disks, const std::vector<LevelChange>& changes);
    uint8_t commandRaidSetState(int raid, bool activate);
    uint8_t commandCreateHotSpares(const std::vector<Address>& disks, int kind, int raid);
    uint8_t commandDeleteHotSpares(const std::vector<Address>& disks);
    uint8_t commandCreateVolume(int raid, const VolumeSpec& spec);
    uint8_t commandCreateNestedVolume(const std::vector<int>& raids, const VolumeSpec& spec);
    uint8_t commandModifyVolume(int volume, const VolumeSpec& spec);   // blocks 0, name empty: kept
    uint8_t commandDeleteVolume(int volume);
    uint8_t commandStartCheck(int volume);
    uint8_t commandStopCheck();
    uint8_t commandLockVolume(int volume);
    // A key file sent as a firmware image: 'A', or 'W' (invalid file), 'U' (type), 'V' (key length).
    uint8_t commandLoadKeyFile(const std::vector<uint8_t>& image);
    uint8_t commandCreatePassThrough(const Address& disk, const uint8_t settings[6]);
    uint8_t commandModifyPassThrough(const Address& disk, const uint8_t settings[6]);
    uint8_t commandDeletePassThrough(const Address& disk);
    uint8_t commandLocate(const Locate& locate);
    uint8_t commandFailDisk(const Address& disk);
    uint8_t commandActivateDisk(const Address& disk);
    const Locate& locate() const { return m_locate; }
    int volumeNumbers() const { return m_volumeNumbers; }

    void setEventRingCapacity(uint32_t capacity);
    void setHwMonitorBlock(const Bytes& block);
    void setSensorValues(int e, const Bytes& reply);
    void setEnclosurePropertyCounts(int e, const uint8_t counts[5]);
    bool setBattery(int e, int value);

    // The sample contents of a fresh controller of the profile.
    void buildDefault();
    // Applies the configuration `text`: to the profile's bare hardware (resetFirst: the model
    // is replaced) or to the model as it is. False (model unchanged) on an error.
    bool loadConfig(const std::string& text, bool resetFirst, std::string* error);

    static constexpr size_t kMaxMonitorReply = 2048;
    static constexpr int kMaxEnclosures = 32;
    static constexpr int kMaxSlots = 128;
    static constexpr int kMaxSensorsPerSection = 128;
    static constexpr int kMaxSensors = 256;
    static constexpr int kMaxMonitorValues = 50;   // per kind, older family
    static constexpr int kMaxPowerSupplies = 8;
    static constexpr uint64_t kMaxCapacity = uint64_t(1) << 48;
    // Free space is kept and reported in units of 512 blocks on each member.
    static constexpr uint64_t kSpaceUnit = 512;

private:
    friend class ConfigReader;

    struct Disk {
        bool present = false;
        std::string model, serial, firmware;
        uint64_t capacity = 0;
        uint16_t state = 0;
        uint8_t spareKind = 0;
        uint8_t raidSet = sGUI_PHY_DRV::kNoRaidSet;
        uint16_t dedicatedTo = 0;
        int passThroughVolume = -1;
        int failedFrom = -1;                          // the raid set a failed disk was in
        DiskHealth health;
    };
    struct Sensor {
        std::string name;
        uint32_t value = 0;
        uint32_t flags = 0;
    };
    struct Enclosure {
        std::string vendor = "Varnel", name, revision = "0102";
        uint8_t type = 2;
        std::vector<Disk> slots;
        std::array<std::vector<Sensor>, 4> sensors;   // sections 1-4, by kSensor*
        int battery = -1;                             // -1: no battery
    };
    struct RaidSet {
        bool exists = false;
        std::string name;
        std::vector<std::pair<int, int>> members;     // {enclosure, slot}
        uint64_t minCapacity = 0;
        std::vector<int> volumes;
        uint16_t flags = 0;
        bool passThrough = false;                     // the raid set of a pass-through disk
        bool activated = false;                       // 0x53: complete even with members missing
        bool offline = false;                         // 0x56
    };
    struct Volume {
        bool exists = false;
        std::string name;
        uint64_t capacity = 0;
        uint32_t rebuildDone = 0, stripe = 0, state = 0, progress = 0;
        uint8_t channel = 0, id = 0, lun = 0, tagged = 1, cache = 1;
        uint8_t byte53 = 0;                           // the setting after the cache mode
        int memberCount = 0;
        uint8_t level = 0;
        int raidSet = -1;                             // -1: none (nested); a pass-through
                                                      // volume's: its disk's own raid set
        uint32_t flags = 0;
        std::vector<int> nested;
        uint8_t encryptionType = 0, keyStatus = 0;
        uint32_t extra = 0;
        std::string serial;
        uint64_t offset = 0, perMember = 0;           // blocks on each member of the raid set,
                                                      // whole units of 512 blocks
        std::pair<int, int> passThrough{-1, -1};
    };
    struct Monitor {   // older family 0x1B block
        std::vector<uint16_t> fans;
        std::vector<std::pair<uint16_t, uint16_t>> voltages;
        std::vector<int8_t> temps;
        std::vector<bool> power;
        enum Tail { None, Ups, Battery } tail = None;
        uint8_t tailValue = 0;
    };

    bool older() const;
    bool jbod() const;
    bool extendedVolumes() const;
    int enclosureCount() const;
    const Enclosure* enclosureAt(int e) const;     // real ones and the controller's own block
    Enclosure* enclosureAt(int e);
    Disk* diskAt(int e, int s);
    const Disk* diskAt(int e, int s) const;
    bool validSlot(int e, int s, std::string* reason) const;
    std::string deviceName(int e, int s) const;
    uint8_t deviceChannel(int s) const;

    uint32_t packedTime() const;
    // `channel`: the event's byte 2 (the raid set, volume set or slot number); `enclosure`: the
    // u32 at 8 of device events on the enclosure family.
    void raise(uint8_t eventClass, uint8_t code, const std::string& name, uint8_t channel = 0,
               uint32_t enclosure = 0);
    void raiseDevice(uint8_t eventClass, uint8_t code, int e, int s);

    uint32_t missingMask(int raid) const;
    static int tolerance(int level);
    // Blocks a volume of `capacity` takes on each of `members` disks, whole 512-block units; and
    // the largest capacity `space` blocks on each member hold.
    static uint64_t footprint(int level, int members, uint64_t capacity);
    static uint64_t capacityIn(int level, int members, uint64_t space);
    static bool levelFits(int level, int members);   // the command rules: 0 n>=1, 1 n>=2, 2-4 n>=3
    // A volume may become `level` (from `current`, -1 for a new one): Raid6 only on a controller
    // that reports it (system-information byte 180); a Raid6 volume it already holds stays one.
    bool levelOffered(int level, int current) const;
    uint64_t usableSpace(int raid) const;            // per member: whole units of 512 blocks
    void membersLost(int raid, int missingBefore);
    std::vector<std::pair<uint64_t, uint64_t>> freeGaps(int raid) const;   // {offset, length}
    int firstFreeVolume() const;
    int firstFreeRaidSet() const;
    bool raidSetInUse(int raid) const;               // exists and is no pass-through raid set
    bool raidSetNormal(int raid) const;              // complete, online, nothing migrating
    bool addressTaken(const uint8_t address[3], int except) const;
    const Disk* presentDisk(const Address& a) const;
    void compact(int raid);                          // the raid set's volumes laid out afresh
    int addVolume(int raid, int number, const std::string& name, uint64_t capacity, int level,
                  uint32_t stripe, const VolumeOptions& options, uint64_t offset, uint64_t perMember,
                  bool announce);   // announce: log 2/8 and 2/0
    int makePassThrough(int e, int s, const uint8_t* settings, std::string* reason);
    void dropPassThrough(int volume);
    std::string makeVolumeSerial(int volume);
    void freeDisk(Disk& disk);
    void dropVolume(int volume);

    sGUI_VOLUMESET volumeRecord(int i) const;
    std::array<uint8_t, 5> propertyCounts(int e) const;
    Bytes monitorBlock() const;
    Bytes e100Block() const;
    Bytes descriptorPage(int e, int section) const;
    Bytes sensorValues(int e) const;
    static std::string defaultSensorName(int section, int index);
    static void fillSensors(Enclosure& enclosure, const std::array<int, 4>& counts);
    void defaultHardware();

    ControllerConfig m_config;
    std::string m_controllerSerial;
    int m_channels = 16;                          // older family
    int m_volumeNumbers = 16;
    int m_raidSetNumbers = 16;
    std::vector<Enclosure> m_enclosures;          // older family: one holding the channels
    Enclosure m_controllerSensors;                // enclosure family: number enclosureCount()
    Monitor m_monitor;
    std::vector<RaidSet> m_raidSets;
    std::vector<Volume> m_volumes;
    unsigned m_serialCounter = 0;

    uint32_t m_ringCapacity = 256;
    std::deque<sEVET_DATA> m_ring;
    uint64_t m_eventsLogged = 0;
    int64_t m_clock = 0;

    Bytes m_monitorOverride;
    std::map<int, Bytes> m_sensorOverride;
    std::map<int, std::array<uint8_t, 5>> m_countOverride;
    Locate m_locate;
};

} // namespace zynsim
