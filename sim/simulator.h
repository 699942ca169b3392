// Controller simulator: stands in for the controller firmware and its driver. Serves simulated
// controllers over UDP (ADDR:7890) and as driver services of the user-client stand-in. Tests
// run it in-process on threads of its own; the zynsim executable serves it until stopped.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace iokit {
class InProcessRegistry;
}

namespace zynsim {

using Bytes = std::vector<uint8_t>;

enum class Profile {
    Older,       // older family: disks on channels, family byte 1
    Enclosure,   // enclosure-based family: family byte 3
    Jbod,        // "Varnel JBOD Subsystem"
    Jbod6G,      // "Varnel 6G JBOD Subsystem"
};
// "older", "enclosure", "jbod", "jbod6g"; false for an unknown name.
bool profileFromName(const std::string& name, Profile* out);
std::string profileName(Profile profile);

struct ControllerConfig {
    Profile profile = Profile::Enclosure;
    std::string serial;                  // empty: a distinct serial is made up ("Y" + 15 digits)
    std::string password = "0000";       // the controller's own password
    int modelNumber = 1880;              // decimal model number in the identify string
    std::string firmware = "V1.56 2021-03-18";
    uint32_t eventRingCapacity = 256;    // sSYSTEM_INFO dword 148
};

// The password the application's command road logs in with; always accepted by 0x14.
constexpr const char* kRoadPassword = "QRT205813946071";

// Commands that only read; they never answer 'M'. Every other command changes the controller.
bool isReadCommand(uint8_t command);

// How the simulator answers a frame. Scripted answers replace the model's answer.
struct Answer {
    enum Kind { Status, Data, Raw, Silence, Model };
    Kind kind = Model;
    uint8_t letter = 'A';        // Status
    Bytes bytes;                 // Data: the data of a data reply; Raw: the exact bytes sent
    // Faults applied to the reply bytes, in this order:
    bool badChecksum = false;    // flip the checksum byte
    int truncateTo = -1;         // send only the first N bytes
    int delayMs = 0;             // hold the reply back this long
    int splitParts = 1;          // send the reply in this many pieces (UDP datagrams / driver arrivals)
    int splitGapMs = 0;          // pause between the pieces

    static Answer status(uint8_t letter);
    static Answer data(Bytes data);
    static Answer raw(Bytes bytes);
    static Answer silence();
    static Answer model();       // the model's own answer, with faults added
};

struct LogEntry {
    enum Kind {
        RxChunk,   // a datagram or driver write as received (bytes = the chunk)
        RxFrame,   // a complete command frame (command, payload)
        TxFrame,   // a reply frame as sent (bytes = the whole reply, faults applied)
        TxChunk,   // a datagram or driver read arrival as sent
    };
    Kind kind;
    std::string via;            // "udp:127.0.0.2:7890" or "driver:<entry id>"
    uint8_t command = 0;        // RxFrame, TxFrame
    Bytes bytes;                // RxFrame: the payload; others: the bytes
    std::string peer;           // UDP: the sender "ip:port"
    std::chrono::steady_clock::time_point when;
};

// The model of one controller. Thread-safe: the front ends and the tests call it from any thread.
class FakeController {
public:
    explicit FakeController(const ControllerConfig& config);
    ~FakeController();
    FakeController(const FakeController&) = delete;
    FakeController& operator=(const FakeController&) = delete;

    const ControllerConfig& config() const;
    std::string serial() const;
    Bytes systemInfo() const;        // the 256-byte record
    Bytes identifyString() const;    // the 64-byte identify reply data

    // Handles one complete command frame; returns the reply frame (empty: no reply) and the
    // faults to apply. `via` names the front end for the log.
    struct Reply {
        Bytes bytes;
        int delayMs = 0;
        int splitParts = 1;
        int splitGapMs = 0;
    };
    Reply handleFrame(const Bytes& frame, const std::string& via, const std::string& peer = {});

    // Scripts: the next `count` frames of `command` get `answer` (queued behind earlier scripts
    // for the same command). scriptAll applies to every command.
    void script(uint8_t command, int count, const Answer& answer);
    void scriptAll(int count, const Answer& answer);
    void clearScripts();

    // Password mode: while on and not logged in, commands that change the controller answer 'M'.
    // 0x14 with the controller's password or kRoadPassword logs in; a wrong password gets 'J'.
    void setPasswordRequired(bool on);
    bool passwordRequired() const;
    bool loggedIn() const;

    // The address reported in sSYSTEM_INFO (set by the UDP front end; 0.0.0.0 otherwise).
    void setIpAddress(const std::array<uint8_t, 4>& address);

    // The frame log.
    std::vector<LogEntry> log() const;
    void clearLog();
    void logEntry(LogEntry entry);            // used by the front ends
    bool setLogFile(const std::string& path); // appends each entry as a hex line
    // Frames of `command` received so far (RxFrame entries).
    int framesReceived(uint8_t command) const;

    // Driver front end bookkeeping: exchanges (open .. close of a driver connection) that ran
    // while another one was open on the same controller.
    int overlappingExchanges() const;
    void exchangeBegins();
    void exchangeEnds();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Runs controllers on their front ends. Each front end runs on threads of the simulator's own.
class Simulator {
public:
    Simulator();
    ~Simulator();   // stops everything
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Serves a controller on address:port over UDP (port 7890 in the product; tests may pass
    // 0 for a free port, see udpPort). nullptr when the address cannot be bound (see error()).
    std::shared_ptr<FakeController> addUdpController(const std::string& address,
                                                     const ControllerConfig& config,
                                                     uint16_t port = 7890);
    uint16_t udpPort(const std::shared_ptr<FakeController>& controller) const;

    // Publishes a controller as a driver service in `folder` (registry folder of the user-client
    // stand-in) with the given position; the entry id is 0x100000000 + 0x100 * order + 1 unless
    // given. The parent name is "Varnel" + model number. nullptr on failure.
    std::shared_ptr<FakeController> addDriverController(const std::string& folder, int order,
                                                        const ControllerConfig& config,
                                                        uint64_t entryId = 0);
    // The same service in an in-process registry. The registry must outlive the controller's
    // service: remove the controller or stop the simulator before the registry goes.
    std::shared_ptr<FakeController> addInProcessController(iokit::InProcessRegistry& registry,
                                                           int order, const ControllerConfig& config,
                                                           uint64_t entryId = 0);
    // The same in the registry given by useInProcessRegistry or to the last call above;
    // nullptr when there is none.
    std::shared_ptr<FakeController> addInProcessController(int order, const ControllerConfig& config,
                                                           uint64_t entryId = 0);
    void useInProcessRegistry(iokit::InProcessRegistry* registry);
    // Withdraws a driver or in-process service (the device goes away).
    void removeDriverController(const std::shared_ptr<FakeController>& controller);

    std::string error() const;
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zynsim
