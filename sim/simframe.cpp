#include "simframe.h"

#include <algorithm>
#include <cstring>

namespace zynsim {
namespace frame {

uint8_t checksum(const uint8_t* bytes, size_t from, size_t to)
{
    unsigned sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += bytes[i];
    return uint8_t(sum & 0xFF);
}

static Bytes encode(const uint8_t* body, size_t length)
{
    if (length > 0xFFFF)
        return {};
    Bytes out;
    out.reserve(length + kOverhead);
    out.insert(out.end(), kPrefix, kPrefix + 3);
    out.push_back(uint8_t(length & 0xFF));
    out.push_back(uint8_t(length >> 8));
    out.insert(out.end(), body, body + length);
    out.push_back(checksum(out.data(), 3, out.size()));
    return out;
}

Bytes encodeCommand(uint8_t command, const Bytes& payload)
{
    Bytes body(payload.size() + 1);
    body[0] = command;
    std::copy(payload.begin(), payload.end(), body.begin() + 1);
    return encode(body.data(), body.size());
}

Bytes encodeData(const Bytes& data)
{
    return encode(data.data(), data.size());
}

Bytes encodeStatus(uint8_t letter)
{
    const uint8_t body[1] = {letter};
    return encode(body, 1);
}

Bytes encodeLongForm(const std::string& httpText)
{
    const size_t n = httpText.size();
    if (n < 3 || n > kLongFormMaxText)
        return {};
    Bytes out;
    out.reserve(n + kOverhead);
    out.insert(out.end(), kPrefix, kPrefix + 3);
    out.push_back(0xFF);
    out.push_back(0xFF);
    // The text's first three bytes give way to its length.
    out.push_back(uint8_t(n & 0xFF));
    out.push_back(uint8_t((n >> 8) & 0xFF));
    out.push_back(uint8_t((n >> 16) & 0xFF));
    out.insert(out.end(), httpText.begin() + 3, httpText.end());
    out.push_back(checksum(out.data(), 3, out.size()));
    return out;
}

bool isValid(const Bytes& frame)
{
    if (frame.size() < kOverhead || !std::equal(kPrefix, kPrefix + 3, frame.begin()))
        return false;
    const size_t length = size_t(frame[3]) | (size_t(frame[4]) << 8);
    if (frame.size() != length + kOverhead)
        return false;
    return checksum(frame.data(), 3, frame.size() - 1) == frame.back();
}

Bytes body(const Bytes& frame)
{
    if (frame.size() < kOverhead)
        return {};
    return Bytes(frame.begin() + 5, frame.end() - 1);
}

bool Assembler::append(const uint8_t* bytes, size_t count)
{
    if (m_buffer.size() + count > m_limit) {
        m_buffer.clear();
        return false;
    }
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
    return true;
}

// Drops everything before the first possible prefix. A tail that could be the start of a
// prefix (5E or 5E 01) is kept for the next chunk.
void Assembler::discardGarbage()
{
    const size_t n = m_buffer.size();
    size_t i = 0;
    for (; i < n; ++i) {
        if (m_buffer[i] != kPrefix[0])
            continue;
        const size_t left = n - i;
        if (left >= 2 && m_buffer[i + 1] != kPrefix[1])
            continue;
        if (left >= 3 && m_buffer[i + 2] != kPrefix[2])
            continue;
        break;
    }
    if (i > 0)
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(i));
}

bool Assembler::next(Bytes* frame)
{
    for (;;) {
        discardGarbage();
        if (m_buffer.size() < 5)
            return false;
        const size_t length = size_t(m_buffer[3]) | (size_t(m_buffer[4]) << 8);
        if (length == 0) {
            // A command frame holds at least its command byte: not a frame, resynchronise.
            m_buffer.erase(m_buffer.begin());
            continue;
        }
        const size_t total = length + kOverhead;
        if (m_buffer.size() < total)
            return false;
        frame->assign(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(total));
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(total));
        return true;
    }
}

std::string hex(const uint8_t* bytes, size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0x0F]);
    }
    return out;
}

} // namespace frame
} // namespace zynsim
