// Stand-in for the driver user-client calls of the macOS kernel interface, which Linux lacks.
// Services of class "ZynMSR" are published in a driver registry folder (or an in-process registry).
#pragma once

#include <cstddef>
#include <cstdint>

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
void ReleaseMatching(MatchingDictionary* matching);

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

} // namespace iokit
