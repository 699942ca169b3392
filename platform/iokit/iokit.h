// Stand-in for the driver user-client calls of the macOS kernel interface, which Linux lacks.
// Services of class "ZynMSR" are published in a driver registry folder (or an in-process registry).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace iokit {

using kern_return_t = int32_t;
using io_object_t = uint32_t;
using io_service_t = io_object_t;
using io_iterator_t = io_object_t;
using io_connect_t = io_object_t;
using mach_port_t = uint32_t;

constexpr io_object_t IO_OBJECT_NULL = 0;

constexpr kern_return_t kIOReturnSuccess = 0;
constexpr kern_return_t kIOReturnError = static_cast<kern_return_t>(0xE00002BC);
constexpr kern_return_t kIOReturnNoMemory = static_cast<kern_return_t>(0xE00002BD);
constexpr kern_return_t kIOReturnBadArgument = static_cast<kern_return_t>(0xE00002C2);
constexpr kern_return_t kIOReturnUnsupported = static_cast<kern_return_t>(0xE00002C7);
constexpr kern_return_t kIOReturnNotOpen = static_cast<kern_return_t>(0xE00002CD);
constexpr kern_return_t kIOReturnExclusiveAccess = static_cast<kern_return_t>(0xE00002C5);
constexpr kern_return_t kIOReturnBusy = static_cast<kern_return_t>(0xE00002D5);
constexpr kern_return_t kIOReturnNoDevice = static_cast<kern_return_t>(0xE00002C0);
constexpr kern_return_t kIOReturnAborted = static_cast<kern_return_t>(0xE00002EB);
// The connection's far end is gone (the send right is dead).
constexpr kern_return_t kIOReturnInvalidConnection = 0x10000003;

constexpr mach_port_t kIOMasterPortDefault = 0;

// Name buffers of the registry calls.
constexpr size_t kNameSize = 128;

// Matching dictionary: built by IOServiceMatching / IORegistryEntryIDMatching and consumed by
// IOServiceGetMatchingServices.
struct MatchingDictionary;

kern_return_t IOMasterPort(mach_port_t bootstrap, mach_port_t* master);
MatchingDictionary* IOServiceMatching(const char* className);
MatchingDictionary* IORegistryEntryIDMatching(uint64_t entryId);
// Matching dictionaries are counted: each consumer takes one reference.
void ReleaseMatching(MatchingDictionary* matching);
MatchingDictionary* RetainMatching(MatchingDictionary* matching);

// Consumes `matching`. The iterator yields the matching services in registry order.
kern_return_t IOServiceGetMatchingServices(mach_port_t master, MatchingDictionary* matching,
                                           io_iterator_t* iterator);
// Next service (a new reference) or IO_OBJECT_NULL when the iterator has run out.
io_object_t IOIteratorNext(io_iterator_t iterator);
kern_return_t IOObjectRelease(io_object_t object);

kern_return_t IORegistryEntryGetRegistryEntryID(io_service_t service, uint64_t* entryId);
kern_return_t IORegistryEntryGetName(io_service_t service, char name[kNameSize]);
kern_return_t IORegistryEntryGetParentName(io_service_t service, char name[kNameSize]);

kern_return_t IOServiceOpen(io_service_t service, mach_port_t owningTask, uint32_t type,
                            io_connect_t* connect);
kern_return_t IOServiceClose(io_connect_t connect);

kern_return_t IOConnectCallScalarMethod(io_connect_t connect, uint32_t selector,
                                        const uint64_t* input, uint32_t inputCount,
                                        uint64_t* output, uint32_t* outputCount);
// The driver's struct calls take the 24-byte transfer record (zynmsr.h); the stand-in carries
// the memory the record points at to the driver and back.
kern_return_t IOConnectCallStructMethod(io_connect_t connect, uint32_t selector,
                                        const void* input, size_t inputSize,
                                        void* output, size_t* outputSize);

mach_port_t mach_task_self();

// ---- Notifications -----------------------------------------------------------------------
// A notification port collects what happened (services that appeared or went away, power
// messages); its run-loop source hands it to the callbacks on the thread whose run loop runs
// the source (cfrunloop.h).

struct RunLoopSource {
    std::function<void()> perform;   // delivers what the port holds; run by the run loop
};

struct IONotificationPort;
using IONotificationPortRef = IONotificationPort*;
using IOServiceMatchingCallback = void (*)(void* refcon, io_iterator_t iterator);
using IOServiceInterestCallback = void (*)(void* refcon, io_service_t service, uint32_t messageType,
                                          void* messageArgument);

constexpr const char* kIOFirstMatchNotification = "IOServiceFirstMatch";
constexpr const char* kIOTerminatedNotification = "IOServiceTerminate";

IONotificationPortRef IONotificationPortCreate(mach_port_t master);
void IONotificationPortDestroy(IONotificationPortRef port);
RunLoopSource* IONotificationPortGetRunLoopSource(IONotificationPortRef port);

// Consumes `matching`. The iterator yields the services present now (first match) or none
// (terminate); drain it to arm the notification. Later, when the port's source runs, the
// callback gets the iterator again holding the services that appeared (resp. went away) of the
// registry in force: the registry folder is looked at afresh each time.
kern_return_t IOServiceAddMatchingNotification(IONotificationPortRef port, const char* type,
                                               MatchingDictionary* matching,
                                               IOServiceMatchingCallback callback, void* refcon,
                                               io_iterator_t* iterator);

// System power. The messages come from the power source in force (setPowerSource); without
// one, registration fails (returns IO_OBJECT_NULL).
constexpr uint32_t kIOMessageCanSystemSleep = 0xE0000270;
constexpr uint32_t kIOMessageSystemWillSleep = 0xE0000280;
constexpr uint32_t kIOMessageSystemHasPoweredOn = 0xE0000300;
constexpr uint32_t kIOMessageSystemWillPowerOn = 0xE0000320;

class PowerSource {
public:
    virtual ~PowerSource() = default;
    // Starts delivering messages to `deliver` (from any thread); false when it cannot.
    virtual bool start(std::function<void(uint32_t messageType, intptr_t argument)> deliver) = 0;
    virtual void stop() = 0;
    virtual void allowPowerChange(intptr_t argument) = 0;
};
// The power source registrations use from now on (null: none).
void setPowerSource(std::shared_ptr<PowerSource> source);
std::shared_ptr<PowerSource> powerSource();

// A power source whose messages a test injects; it records the changes allowed.
class InjectedPowerSource : public PowerSource {
public:
    InjectedPowerSource();
    ~InjectedPowerSource() override;
    bool start(std::function<void(uint32_t, intptr_t)> deliver) override;
    void stop() override;
    void allowPowerChange(intptr_t argument) override;
    // False when nothing is registered.
    bool inject(uint32_t messageType, intptr_t argument);
    std::vector<intptr_t> allowed() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

io_connect_t IORegisterForSystemPower(void* refcon, IONotificationPortRef* port,
                                      IOServiceInterestCallback callback, io_object_t* notifier);
kern_return_t IOAllowPowerChange(io_connect_t root, intptr_t argument);
kern_return_t IODeregisterForSystemPower(io_object_t* notifier);

} // namespace iokit
