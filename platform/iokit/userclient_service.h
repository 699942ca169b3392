// Driver side of the user-client stand-in: what a driver implements to be found and opened,
// the in-process registry for unit tests, and the publisher that serves a driver in the
// registry folder (one Unix-domain socket and one metadata file per service).
#pragma once

#include "iokit.h"
#include "zynmsr.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace iokit {

struct ServiceInfo {
    std::string className;   // "ZynMSR"
    uint64_t entryId = 0;    // registry entry id, unique in the registry
    std::string name;        // registry entry name
    std::string parentName;  // name of the parent entry (the PCI device)
    int order = 0;           // position among the matching services (ascending)
};

// One open connection (IOServiceOpen .. IOServiceClose). Destroyed when the client closes the
// connection or goes away, which is the driver's cue to drop what the connection held.
class UserClientConnection {
public:
    virtual ~UserClientConnection() = default;
    virtual kern_return_t scalarCall(uint32_t selector) = 0;
    // Write (selector 2): `data` holds the bytes to write (record.length of them); the driver
    // sets record.result and record.length. Read (selector 3): record.length is the capacity;
    // the driver fills `data` (at most that many bytes) and sets record.length and result.
    virtual kern_return_t structCall(uint32_t selector, zynmsr::TransferRecord& record,
                                     std::vector<uint8_t>& data) = 0;
};

class UserClientService {
public:
    virtual ~UserClientService() = default;
    // nullptr refuses the open (IOServiceOpen fails with kIOReturnNotOpen).
    virtual std::unique_ptr<UserClientConnection> open() = 0;
};

// Largest struct-call payload the stand-in carries in one call.
constexpr uint32_t kMaxTransferBytes = 1u << 20;

// Connections one published service serves at a time; one more is closed as soon as it is taken.
constexpr size_t kMaxConnectionsPerService = 32;

// The registry folder: $ZYNMSR_DRIVER_DIR, default /run/zynmsr.
std::string driverDirectory();

// While an InProcessRegistry exists it replaces the registry folder for this process.
// At most one exists at a time.
class InProcessRegistry {
public:
    InProcessRegistry();
    ~InProcessRegistry();
    InProcessRegistry(const InProcessRegistry&) = delete;
    InProcessRegistry& operator=(const InProcessRegistry&) = delete;

    void add(const ServiceInfo& info, std::shared_ptr<UserClientService> service);
    void remove(uint64_t entryId);
};

// Publishes one service in a registry folder: creates the folder when missing, listens on
// "<folder>/<base>.sock", then writes "<folder>/<base>.service" (key=value lines: class,
// entry_id, name, parent, order, socket). Each accepted connection is served on a thread of
// its own, at most kMaxConnectionsPerService at a time; a connection beyond them, or one that
// finds the process out of descriptors or threads, is closed at once (its client sees the
// connection gone). The destructor withdraws the service (metadata first) and ends every
// connection.
class FolderPublisher {
public:
    FolderPublisher(const std::string& folder, const std::string& base, const ServiceInfo& info,
                    std::shared_ptr<UserClientService> service);
    ~FolderPublisher();
    FolderPublisher(const FolderPublisher&) = delete;
    FolderPublisher& operator=(const FolderPublisher&) = delete;

    bool ok() const;                 // false when the socket could not be set up
    std::string error() const;
    std::string metadataPath() const;
    std::string socketPath() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace iokit
