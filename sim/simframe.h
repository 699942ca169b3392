// The simulator's own frame codec. Kept apart from the library's codec on purpose: two
// independent implementations of the wire format check each other.
//
// Command frame: 5E 01 61, u16 L (= 1 + payload length), command, payload, checksum.
// Reply frame:   5E 01 61, u16 D, D data bytes, checksum.
// The checksum is the byte sum (mod 256) of everything after the prefix up to the checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zynsim {
namespace frame {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kPrefix[3] = {0x5E, 0x01, 0x61};
constexpr size_t kOverhead = 6;            // prefix, length, checksum
constexpr size_t kMaxFrame = 0xFFFF + kOverhead;
constexpr size_t kLongFormMaxText = 0xFFFFFF;

// Sum modulo 256 of bytes[from, to).
uint8_t checksum(const uint8_t* bytes, size_t from, size_t to);

Bytes encodeCommand(uint8_t command, const Bytes& payload = {});
// A data reply; data longer than 0xFFFF bytes cannot be framed and gives an empty result.
Bytes encodeData(const Bytes& data);
// The 7-byte status reply: 5E 01 61 01 00 <letter> <letter + 1>.
Bytes encodeStatus(uint8_t letter);
// The long form that carries an HTTP page: 5E 01 61 FF FF, the text with its first three bytes
// replaced by the 24-bit length N of the text, then the checksum byte over bytes 3 .. N + 4.
// The frame is N + 6 bytes. Empty when the text is shorter than 3 or longer than 0xFFFFFF bytes.
Bytes encodeLongForm(const std::string& httpText);

// True when `frame` is exactly one well-formed frame (prefix, length, checksum).
bool isValid(const Bytes& frame);
// Data (reply) or command + payload (command frame) of a frame, unchecked beyond its bounds.
Bytes body(const Bytes& frame);

// Incremental reassembly of frames out of a byte stream (datagrams or driver writes).
// Bytes before a prefix are discarded. Checksums are not checked here: a complete frame with
// a wrong checksum is still delivered so that the controller can answer 'L'.
class Assembler {
public:
    explicit Assembler(size_t limit = 0x30000) : m_limit(limit) {}

    // Appends bytes; returns false when the buffer would exceed the limit, in which case the
    // buffer has been dropped (the new bytes too).
    bool append(const uint8_t* bytes, size_t count);
    // Takes the next complete frame out of the buffer; false when none is complete yet.
    bool next(Bytes* frame);
    void clear() { m_buffer.clear(); }
    size_t pending() const { return m_buffer.size(); }

private:
    void discardGarbage();
    size_t m_limit;
    Bytes m_buffer;
};

std::string hex(const uint8_t* bytes, size_t count);
inline std::string hex(const Bytes& bytes) { return hex(bytes.data(), bytes.size()); }

} // namespace frame
} // namespace zynsim
