// The controller's SNMP agent as command 0x1E reaches it: one BER-encoded SNMPv1 message in,
// one GetResponse out. It has a BER reader and writer of its own, independent of the library's
// SNMP objects, so that the two implementations check each other.
//
// What it takes: SEQUENCE { INTEGER version 0, OCTET STRING community, PDU }, the PDU being
// GetRequest (A0) or GetNextRequest (A1) { INTEGER request-id, INTEGER error-status,
// INTEGER error-index, SEQUENCE { one SEQUENCE { OBJECT IDENTIFIER, NULL or INTEGER } } }.
// The message fills the payload exactly; tags are one octet, lengths definite (at most four
// length octets), integers 1-8 content octets, object identifiers 2-128 components of 32 bits
// in minimal base-128 form.
//
// What it answers: GetResponse (A2) with the request id as sent, error status 0 and the object
// named (Get) or the next one in order (GetNext), or error status 2 (noSuchName) and error index
// 1 with the varbind as sent when there is no such object. Objects, in order:
//   1.3.6.1.2.1.1.1.0 sysDescr (OCTET STRING)   1.3.6.1.2.1.1.3.0 sysUpTime (TimeTicks)
//   1.3.6.1.2.1.1.4.0 sysContact                1.3.6.1.2.1.1.5.0 sysName
//   1.3.6.1.2.1.1.6.0 sysLocation                1.3.6.1.2.1.1.7.0 sysServices (INTEGER)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zynsim {
namespace snmp {

using Bytes = std::vector<uint8_t>;

constexpr size_t kMaxReply = 1024;
constexpr size_t kMaxOidComponents = 128;

// The values of the agent's objects at the time of a request.
struct SystemGroup {
    std::string description;
    uint32_t upTimeTicks = 0;        // hundredths of a second
    std::string contact;
    std::string name;
    std::string location;
    int services = 72;
};

enum class Outcome {
    Reply,       // `reply` holds the GetResponse message
    Malformed,   // not a message the agent takes: the controller answers 'G'
    Ignored,     // a wrong community: no answer at all, as an agent drops such requests
};

Outcome answer(const Bytes& request, const std::string& community, const SystemGroup& values,
               Bytes* reply);

// ---- The codec, public for the tests.

// One TLV: tag, and the content's position within the buffer read.
struct Tlv {
    uint8_t tag = 0;
    size_t headerAt = 0;   // where the tag lies
    size_t contentAt = 0;
    size_t length = 0;
    size_t end() const { return contentAt + length; }
};

// Reads TLVs one after another from bytes [from, to) of a buffer; every length is checked
// against what is left.
class Reader {
public:
    Reader(const uint8_t* bytes, size_t from, size_t to) : m_bytes(bytes), m_at(from), m_end(to) {}
    bool next(Tlv* out);
    bool atEnd() const { return m_at == m_end; }

private:
    const uint8_t* m_bytes;
    size_t m_at;
    size_t m_end;
};

using Oid = std::vector<uint32_t>;
bool decodeOid(const uint8_t* content, size_t length, Oid* out);
bool decodeInteger(const uint8_t* content, size_t length, int64_t* out);

Bytes encodeLength(size_t length);
Bytes encodeTlv(uint8_t tag, const Bytes& content);
Bytes encodeInteger(int64_t value);          // minimal two's complement
Bytes encodeUnsigned(uint8_t tag, uint32_t value);
Bytes encodeOid(const Oid& oid);             // empty content for fewer than 2 components
Bytes concat(const std::vector<const Bytes*>& parts);

} // namespace snmp
} // namespace zynsim
