#include "smtp/smtpreply.h"

#include <cstring>

namespace smtpreply {

bool isFinalLine(const char* line, std::size_t length)
{
    if (length > 0 && line[length - 1] == '\r')
        --length;
    return length == kCodeLength || (length > kCodeLength && line[kCodeLength] == kFinalMark);
}

Reply firstReply(const char* data, std::size_t size)
{
    Reply reply;
    std::size_t start = 0;
    while (start < size) {
        const void* lf = std::memchr(data + start, '\n', size - start);
        if (lf == nullptr)
            return Reply();   // the line is still arriving
        const std::size_t end = std::size_t(static_cast<const char*>(lf) - data);
        if (isFinalLine(data + start, end - start)) {
            reply.length = end + 1;
            reply.lastLine = start;
            return reply;
        }
        start = end + 1;
    }
    return Reply();
}

} // namespace smtpreply
