// The byte stream between a client of the stand-in and a driver published in the registry
// folder. One request and one reply per call, little-endian:
//   request: u32 magic, u32 kind (0 scalar, 1 struct), u32 selector, record (24), u32 n, n bytes
//   reply:   u32 magic, i32 kern_return, record (24), u32 n, n bytes
// n never exceeds kMaxTransferBytes; a peer that sends more is dropped.
#pragma once

#include "iokit.h"
#include "zynmsr.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace iokit {
namespace wire {

constexpr uint32_t kRequestMagic = 0x51524D5A;  // "ZMRQ"
constexpr uint32_t kReplyMagic = 0x50524D5A;    // "ZMRP"

enum CallKind : uint32_t {
    kScalarCall = 0,
    kStructCall = 1,
};

constexpr size_t kRequestHeaderSize = 4 + 4 + 4 + sizeof(zynmsr::TransferRecord) + 4;
constexpr size_t kReplyHeaderSize = 4 + 4 + sizeof(zynmsr::TransferRecord) + 4;

struct Request {
    uint32_t kind = kScalarCall;
    uint32_t selector = 0;
    zynmsr::TransferRecord record{};
    std::vector<uint8_t> data;
};

struct Reply {
    kern_return_t result = kIOReturnSuccess;
    zynmsr::TransferRecord record{};
    std::vector<uint8_t> data;
};

// Blocking full transfers on a stream socket; EINTR is retried, sends never raise SIGPIPE.
// False when the peer closed the stream or the socket failed.
bool readFull(int fd, void* buffer, size_t length);
bool writeFull(int fd, const void* buffer, size_t length);

// Encoding without I/O (also what the socket helpers below use).
std::vector<uint8_t> encodeRequest(const Request& request);
std::vector<uint8_t> encodeReply(const Reply& reply);
// Parse a fixed-size header; false on a bad magic or an oversized data length. The data
// length announced is stored in *dataLength (the caller reads that many bytes next).
bool decodeRequestHeader(const uint8_t (&header)[kRequestHeaderSize], Request* request,
                         uint32_t* dataLength);
bool decodeReplyHeader(const uint8_t (&header)[kReplyHeaderSize], Reply* reply,
                       uint32_t* dataLength);

// False on any socket failure, closed stream or malformed message: the stream is then
// unusable and the caller drops it.
bool sendRequest(int fd, const Request& request);
bool readRequest(int fd, Request* request);
bool sendReply(int fd, const Reply& reply);
bool readReply(int fd, Reply* reply);

} // namespace wire
} // namespace iokit
