#include "userclient_wire.h"

#include "userclient_service.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace iokit {
namespace wire {

namespace {

void putU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putU64(std::vector<uint8_t>& out, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t getU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint64_t getU64(const uint8_t* p)
{
    return static_cast<uint64_t>(getU32(p)) | static_cast<uint64_t>(getU32(p + 4)) << 32;
}

void putRecord(std::vector<uint8_t>& out, const zynmsr::TransferRecord& r)
{
    putU64(out, r.buffer);
    putU64(out, r.length);
    putU32(out, r.timeout);
    putU32(out, r.result);
}

zynmsr::TransferRecord getRecord(const uint8_t* p)
{
    zynmsr::TransferRecord r{};
    r.buffer = getU64(p);
    r.length = getU64(p + 8);
    r.timeout = getU32(p + 16);
    r.result = getU32(p + 20);
    return r;
}

bool readData(int fd, uint32_t length, std::vector<uint8_t>* data)
{
    data->assign(length, 0);
    return length == 0 || readFull(fd, data->data(), length);
}

} // namespace

bool readFull(int fd, void* buffer, size_t length)
{
    auto* p = static_cast<uint8_t*>(buffer);
    while (length > 0) {
        ssize_t n = ::recv(fd, p, length, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool writeFull(int fd, const void* buffer, size_t length)
{
    const auto* p = static_cast<const uint8_t*>(buffer);
    while (length > 0) {
        ssize_t n = ::send(fd, p, length, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

std::vector<uint8_t> encodeRequest(const Request& request)
{
    std::vector<uint8_t> out;
    out.reserve(kRequestHeaderSize + request.data.size());
    putU32(out, kRequestMagic);
    putU32(out, request.kind);
    putU32(out, request.selector);
    putRecord(out, request.record);
    putU32(out, static_cast<uint32_t>(request.data.size()));
    out.insert(out.end(), request.data.begin(), request.data.end());
    return out;
}

std::vector<uint8_t> encodeReply(const Reply& reply)
{
    std::vector<uint8_t> out;
    out.reserve(kReplyHeaderSize + reply.data.size());
    putU32(out, kReplyMagic);
    putU32(out, static_cast<uint32_t>(reply.result));
    putRecord(out, reply.record);
    putU32(out, static_cast<uint32_t>(reply.data.size()));
    out.insert(out.end(), reply.data.begin(), reply.data.end());
    return out;
}

bool decodeRequestHeader(const uint8_t (&header)[kRequestHeaderSize], Request* request,
                         uint32_t* dataLength)
{
    if (getU32(header) != kRequestMagic)
        return false;
    request->kind = getU32(header + 4);
    request->selector = getU32(header + 8);
    request->record = getRecord(header + 12);
    *dataLength = getU32(header + 12 + sizeof(zynmsr::TransferRecord));
    return *dataLength <= kMaxTransferBytes;
}

bool decodeReplyHeader(const uint8_t (&header)[kReplyHeaderSize], Reply* reply,
                       uint32_t* dataLength)
{
    if (getU32(header) != kReplyMagic)
        return false;
    reply->result = static_cast<kern_return_t>(getU32(header + 4));
    reply->record = getRecord(header + 8);
    *dataLength = getU32(header + 8 + sizeof(zynmsr::TransferRecord));
    return *dataLength <= kMaxTransferBytes;
}

bool sendRequest(int fd, const Request& request)
{
    if (request.data.size() > kMaxTransferBytes)
        return false;
    const std::vector<uint8_t> bytes = encodeRequest(request);
    return writeFull(fd, bytes.data(), bytes.size());
}

bool readRequest(int fd, Request* request)
{
    uint8_t header[kRequestHeaderSize];
    uint32_t length = 0;
    return readFull(fd, header, sizeof header) && decodeRequestHeader(header, request, &length) &&
           readData(fd, length, &request->data);
}

bool sendReply(int fd, const Reply& reply)
{
    if (reply.data.size() > kMaxTransferBytes)
        return false;
    const std::vector<uint8_t> bytes = encodeReply(reply);
    return writeFull(fd, bytes.data(), bytes.size());
}

bool readReply(int fd, Reply* reply)
{
    uint8_t header[kReplyHeaderSize];
    uint32_t length = 0;
    return readFull(fd, header, sizeof header) && decodeReplyHeader(header, reply, &length) &&
           readData(fd, length, &reply->data);
}

} // namespace wire
} // namespace iokit
