#include "snmpagent.h"

#include <algorithm>

namespace zynsim {
namespace snmp {

namespace {

enum Tag : uint8_t {
    kInteger = 0x02, kOctetString = 0x04, kNull = 0x05, kObjectId = 0x06, kSequence = 0x30,
    kTimeTicks = 0x43, kGetRequest = 0xA0, kGetNextRequest = 0xA1, kGetResponse = 0xA2,
};
constexpr int64_t kNoSuchName = 2;
constexpr size_t kMaxLengthOctets = 4;
constexpr size_t kMaxIntegerOctets = 8;
constexpr size_t kMaxSubidentifierOctets = 5;   // 35 bits, checked against 32 below

struct Object {
    Oid oid;
    enum Kind { Description, UpTime, Contact, Name, Location, Services } kind;
};

const std::vector<Object>& mib()
{
    static const std::vector<Object> objects = {
        {{1, 3, 6, 1, 2, 1, 1, 1, 0}, Object::Description},
        {{1, 3, 6, 1, 2, 1, 1, 3, 0}, Object::UpTime},
        {{1, 3, 6, 1, 2, 1, 1, 4, 0}, Object::Contact},
        {{1, 3, 6, 1, 2, 1, 1, 5, 0}, Object::Name},
        {{1, 3, 6, 1, 2, 1, 1, 6, 0}, Object::Location},
        {{1, 3, 6, 1, 2, 1, 1, 7, 0}, Object::Services},
    };
    return objects;
}

Bytes textBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes valueOf(const Object& object, const SystemGroup& values)
{
    switch (object.kind) {
    case Object::Description: return encodeTlv(kOctetString, textBytes(values.description));
    case Object::UpTime: return encodeUnsigned(kTimeTicks, values.upTimeTicks);
    case Object::Contact: return encodeTlv(kOctetString, textBytes(values.contact));
    case Object::Name: return encodeTlv(kOctetString, textBytes(values.name));
    case Object::Location: return encodeTlv(kOctetString, textBytes(values.location));
    case Object::Services: return encodeTlv(kInteger, encodeInteger(values.services));
    }
    return encodeTlv(kNull, {});
}

} // namespace

bool Reader::next(Tlv* out)
{
    if (m_at >= m_end || m_end - m_at < 2)
        return false;
    size_t at = m_at;
    const uint8_t tag = m_bytes[at++];
    if ((tag & 0x1F) == 0x1F)
        return false;   // multi-octet tags are not used by SNMPv1
    const uint8_t first = m_bytes[at++];
    size_t length = first;
    if (first & 0x80) {
        const size_t octets = first & 0x7F;
        if (octets == 0 || octets > kMaxLengthOctets || m_end - at < octets)
            return false;   // indefinite, too long, or cut short
        length = 0;
        for (size_t i = 0; i < octets; ++i)
            length = (length << 8) | m_bytes[at++];
    }
    if (length > m_end - at)
        return false;
    out->tag = tag;
    out->headerAt = m_at;
    out->contentAt = at;
    out->length = length;
    m_at = at + length;
    return true;
}

bool decodeOid(const uint8_t* content, size_t length, Oid* out)
{
    out->clear();
    if (length == 0)
        return false;
    size_t at = 0;
    bool first = true;
    while (at < length) {
        if (content[at] == 0x80)
            return false;   // a leading zero septet: not minimal
        uint64_t value = 0;
        size_t octets = 0;
        for (;;) {
            if (at >= length || octets == kMaxSubidentifierOctets)
                return false;
            const uint8_t b = content[at++];
            ++octets;
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80))
                break;
        }
        if (first) {
            const uint64_t top = value < 80 ? value / 40 : 2;
            value -= top * 40;
            out->push_back(uint32_t(top));
            first = false;
        }
        if (value > 0xFFFFFFFFull || out->size() >= kMaxOidComponents)
            return false;
        out->push_back(uint32_t(value));
    }
    return true;
}

bool decodeInteger(const uint8_t* content, size_t length, int64_t* out)
{
    if (length == 0 || length > kMaxIntegerOctets)
        return false;
    uint64_t value = (content[0] & 0x80) ? ~uint64_t(0) : 0;
    for (size_t i = 0; i < length; ++i)
        value = (value << 8) | content[i];
    *out = int64_t(value);
    return true;
}

Bytes encodeLength(size_t length)
{
    if (length < 0x80)
        return Bytes(1, uint8_t(length));
    size_t octets = 0;
    for (size_t rest = length; rest; rest >>= 8)
        ++octets;
    Bytes out(octets + 1);
    out[0] = uint8_t(0x80 | octets);
    for (size_t i = 0; i < octets; ++i)
        out[octets - i] = uint8_t(length >> (8 * i));
    return out;
}

Bytes encodeTlv(uint8_t tag, const Bytes& content)
{
    const Bytes length = encodeLength(content.size());
    Bytes out(1 + length.size() + content.size());
    out[0] = tag;
    std::copy(length.begin(), length.end(), out.begin() + 1);
    std::copy(content.begin(), content.end(), out.begin() + 1 + std::ptrdiff_t(length.size()));
    return out;
}

Bytes encodeInteger(int64_t value)
{
    Bytes octets(8);
    for (size_t i = 0; i < 8; ++i)
        octets[i] = uint8_t(uint64_t(value) >> (56 - 8 * i));
    // Drop leading octets that only repeat the sign.
    size_t skip = 0;
    while (skip < 7 && ((octets[skip] == 0x00 && !(octets[skip + 1] & 0x80))
                        || (octets[skip] == 0xFF && (octets[skip + 1] & 0x80))))
        ++skip;
    return Bytes(octets.begin() + std::ptrdiff_t(skip), octets.end());
}

Bytes encodeUnsigned(uint8_t tag, uint32_t value)
{
    Bytes octets(5);
    for (size_t i = 0; i < 4; ++i)
        octets[i + 1] = uint8_t(value >> (24 - 8 * i));
    size_t skip = 0;
    while (skip < 4 && octets[skip] == 0 && !(octets[skip + 1] & 0x80))
        ++skip;
    return encodeTlv(tag, Bytes(octets.begin() + std::ptrdiff_t(skip), octets.end()));
}

Bytes encodeOid(const Oid& oid)
{
    if (oid.size() < 2)
        return encodeTlv(kObjectId, {});
    std::vector<uint64_t> subs(oid.size() - 1);
    subs[0] = uint64_t(oid[0]) * 40 + oid[1];
    for (size_t i = 2; i < oid.size(); ++i)
        subs[i - 1] = oid[i];
    size_t total = 0;
    for (uint64_t s : subs) {
        size_t septets = 1;
        for (uint64_t rest = s >> 7; rest; rest >>= 7)
            ++septets;
        total += septets;
    }
    Bytes content(total);
    size_t at = 0;
    for (uint64_t s : subs) {
        size_t septets = 1;
        for (uint64_t rest = s >> 7; rest; rest >>= 7)
            ++septets;
        for (size_t i = 0; i < septets; ++i) {
            const uint8_t bits = uint8_t((s >> (7 * (septets - 1 - i))) & 0x7F);
            content[at++] = i + 1 < septets ? uint8_t(bits | 0x80) : bits;
        }
    }
    return encodeTlv(kObjectId, content);
}

Bytes concat(const std::vector<const Bytes*>& parts)
{
    size_t total = 0;
    for (const Bytes* p : parts)
        total += p->size();
    Bytes out(total);
    size_t at = 0;
    for (const Bytes* p : parts) {
        std::copy(p->begin(), p->end(), out.begin() + std::ptrdiff_t(at));
        at += p->size();
    }
    return out;
}

Outcome answer(const Bytes& request, const std::string& community, const SystemGroup& values,
               Bytes* reply)
{
    const uint8_t* b = request.data();
    Reader top(b, 0, request.size());
    Tlv message;
    if (!top.next(&message) || message.tag != kSequence || !top.atEnd())
        return Outcome::Malformed;

    Reader fields(b, message.contentAt, message.end());
    Tlv version, name, pdu;
    int64_t versionNumber = 0;
    if (!fields.next(&version) || version.tag != kInteger
        || !decodeInteger(b + version.contentAt, version.length, &versionNumber)
        || !fields.next(&name) || name.tag != kOctetString
        || !fields.next(&pdu) || (pdu.tag & 0xE0) != 0xA0 || !fields.atEnd())
        return Outcome::Malformed;

    Reader header(b, pdu.contentAt, pdu.end());
    Tlv id, status, index, list;
    int64_t ignored = 0;
    if (!header.next(&id) || id.tag != kInteger || !decodeInteger(b + id.contentAt, id.length, &ignored)
        || !header.next(&status) || status.tag != kInteger
        || !decodeInteger(b + status.contentAt, status.length, &ignored)
        || !header.next(&index) || index.tag != kInteger
        || !decodeInteger(b + index.contentAt, index.length, &ignored)
        || !header.next(&list) || list.tag != kSequence || !header.atEnd())
        return Outcome::Malformed;

    // Exactly one varbind: {OID, NULL or INTEGER}.
    Reader bindings(b, list.contentAt, list.end());
    Tlv binding;
    if (!bindings.next(&binding) || binding.tag != kSequence || !bindings.atEnd())
        return Outcome::Malformed;
    Reader parts(b, binding.contentAt, binding.end());
    Tlv oidTlv, value;
    Oid oid;
    if (!parts.next(&oidTlv) || oidTlv.tag != kObjectId || !decodeOid(b + oidTlv.contentAt, oidTlv.length, &oid)
        || !parts.next(&value) || !parts.atEnd())
        return Outcome::Malformed;
    if (!(value.tag == kNull && value.length == 0)
        && !(value.tag == kInteger && decodeInteger(b + value.contentAt, value.length, &ignored)))
        return Outcome::Malformed;

    if (versionNumber != 0 || (pdu.tag != kGetRequest && pdu.tag != kGetNextRequest))
        return Outcome::Malformed;
    if (name.length != community.size()
        || !std::equal(community.begin(), community.end(), b + name.contentAt))
        return Outcome::Ignored;

    const auto& objects = mib();
    const Object* found = nullptr;
    if (pdu.tag == kGetRequest) {
        for (const Object& o : objects)
            if (o.oid == oid)
                found = &o;
    } else {
        for (const Object& o : objects) {
            if (std::lexicographical_compare(oid.begin(), oid.end(), o.oid.begin(), o.oid.end())) {
                found = &o;
                break;
            }
        }
    }

    Bytes answerBinding;
    int64_t errorStatus = 0;
    int64_t errorIndex = 0;
    if (found) {
        const Bytes name = encodeOid(found->oid);
        const Bytes v = valueOf(*found, values);
        answerBinding = encodeTlv(kSequence, concat({&name, &v}));
    } else {
        errorStatus = kNoSuchName;
        errorIndex = 1;
        answerBinding.assign(request.begin() + std::ptrdiff_t(binding.headerAt),
                             request.begin() + std::ptrdiff_t(binding.end()));
    }
    // The request id goes back as sent.
    const Bytes requestId(request.begin() + std::ptrdiff_t(id.headerAt), request.begin() + std::ptrdiff_t(id.end()));
    const Bytes statusTlv = encodeTlv(kInteger, encodeInteger(errorStatus));
    const Bytes indexTlv = encodeTlv(kInteger, encodeInteger(errorIndex));
    const Bytes listTlv = encodeTlv(kSequence, answerBinding);
    const Bytes pduTlv = encodeTlv(kGetResponse, concat({&requestId, &statusTlv, &indexTlv, &listTlv}));
    const Bytes versionTlv = encodeTlv(kInteger, encodeInteger(0));
    const Bytes communityTlv = encodeTlv(kOctetString, textBytes(community));
    Bytes out = encodeTlv(kSequence, concat({&versionTlv, &communityTlv, &pduTlv}));
    if (out.size() > kMaxReply)
        return Outcome::Malformed;
    *reply = std::move(out);
    return Outcome::Reply;
}

} // namespace snmp
} // namespace zynsim
