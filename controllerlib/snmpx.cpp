// SNMP object library: BER encoding and decoding of SNMPv1 values, sequences, PDUs and messages.
#include "snmpx.h"

#include <cctype>
#include <cstring>
#include <new>
#include <string.h>   // strtok_r

namespace {

constexpr int kUnitSize = 512;   // every element and every contents is built in this much room

// The low 32 bits of `u` as a signed int, without relying on implementation-defined casts.
int lowInt32(uint64_t u)
{
    const uint32_t low = static_cast<uint32_t>(u);
    return low <= 0x7FFFFFFFu ? static_cast<int>(low)
                              : static_cast<int>(static_cast<int64_t>(low) - 0x100000000LL);
}

// A token's leading decimal number by the atoi rule (blanks, optional sign, digits; none
// gives 0), kept to its low 32 bits with unsigned arithmetic so that no text overflows.
uint32_t leadingNumber(const char* token)
{
    while (*token != '\0' && std::isspace(static_cast<unsigned char>(*token)))
        ++token;
    bool negative = false;
    if (*token == '+' || *token == '-') {
        negative = *token == '-';
        ++token;
    }
    uint32_t value = 0;
    while (*token >= '0' && *token <= '9') {
        value = value * 10u + static_cast<uint32_t>(*token - '0');
        ++token;
    }
    return negative ? 0u - value : value;
}

// Splits a private copy of `text` at dots and blanks (runs count as one) and hands each token's
// number to `take` until it returns false.
template <typename Take>
void forEachDottedNumber(const char* text, Take take)
{
    if (text == nullptr)
        return;
    std::vector<char> copy(text, text + std::strlen(text) + 1);
    char* save = nullptr;
    for (char* token = strtok_r(copy.data(), ". \t", &save); token != nullptr;
         token = strtok_r(nullptr, ". \t", &save)) {
        if (!take(leadingNumber(token)))
            break;
    }
}

// Appends tag, length and contents as a whole, or nothing.
bool appendUnit(ByteArray* out, unsigned char tag, const ByteArray& contents)
{
    if (out == nullptr)
        return false;
    ByteArray header(6);
    header.append(static_cast<char>(tag));
    SNMPBERCodec::encodeLength(contents.getLength(), &header);
    if (out->getSize() - out->getLength() < header.getLength() + contents.getLength())
        return false;
    return out->append(&header) && out->append(&contents);
}

// One subidentifier in base 128, most significant group first.
bool appendSubidentifier(uint64_t v, ByteArray* out)
{
    unsigned char groups[10];
    int n = 0;
    do {
        groups[n++] = static_cast<unsigned char>(v & 0x7F);
        v >>= 7;
    } while (v != 0);
    unsigned char octets[10];
    for (int i = 0; i < n; ++i)
        octets[i] = static_cast<unsigned char>(groups[n - 1 - i] | (i + 1 < n ? 0x80 : 0x00));
    return out->append(octets, 0, n);
}

}  // namespace

// ---- ByteArray ----

ByteArray::ByteArray() : ByteArray(kDefaultSize) {}

ByteArray::ByteArray(int size) : array(nullptr), size(0), length(0)
{
    if (size > 0) {
        array = new (std::nothrow) char[static_cast<size_t>(size)];
        if (array != nullptr)
            this->size = size;
    }
}

ByteArray::~ByteArray()
{
    delete[] array;
}

int ByteArray::byteAt(int i) const
{
    if (i < 0 || i >= length)
        return -1;
    return static_cast<unsigned char>(array[i]);
}

bool ByteArray::append(char c)
{
    if (length >= size)
        return false;
    array[length++] = c;
    return true;
}

bool ByteArray::append(const char* src, int offset, int len)
{
    if (src == nullptr || offset < 0 || len < 0)
        return false;
    if (static_cast<int64_t>(length) + len > size)
        return false;
    if (len > 0)
        std::memcpy(array + length, src + offset, static_cast<size_t>(len));
    length += len;
    return true;
}

bool ByteArray::append(const unsigned char* src, int offset, int len)
{
    return append(reinterpret_cast<const char*>(src), offset, len);
}

bool ByteArray::append(const ByteArray* other)
{
    if (other == nullptr)
        return false;
    if (other == this) {
        // Doubling in place: the source is what was held before the call.
        if (length > size - length)
            return false;
        if (length > 0)
            std::memcpy(array + length, array, static_cast<size_t>(length));
        length += length;
        return true;
    }
    return append(other->array, 0, other->length);
}

bool ByteArray::copy(const ByteArray* other)
{
    if (other == this)
        return true;
    length = 0;
    if (other == nullptr)
        return true;
    const int n = other->length < size ? other->length : size;
    if (n > 0)
        std::memcpy(array, other->array, static_cast<size_t>(n));
    length = n;
    return n == other->length;
}

void ByteArray::toByteArray(int64_t value, ByteArray* out)
{
    if (out == nullptr)
        return;
    out->clear();
    const uint64_t u = static_cast<uint64_t>(value);
    int octets = 8;
    while (octets > 1 && ((u >> (8 * (octets - 1))) & 0xFF) == 0)
        --octets;
    for (int i = octets - 1; i >= 0; --i)
        out->append(static_cast<char>((u >> (8 * i)) & 0xFF));
}

int64_t ByteArray::toLong(const ByteArray* in)
{
    if (in == nullptr)
        return 0;
    uint64_t v = 0;
    for (int i = 0; i < in->length; ++i)
        v = (v << 8) | static_cast<unsigned char>(in->array[i]);
    return static_cast<int64_t>(v);
}

// ---- IntArray ----

IntArray::IntArray() : IntArray(kDefaultSize) {}

IntArray::IntArray(int size) : array(nullptr), size(0), length(0)
{
    if (size > 0) {
        array = new (std::nothrow) int[static_cast<size_t>(size)];
        if (array != nullptr)
            this->size = size;
    }
}

IntArray::~IntArray()
{
    delete[] array;
}

bool IntArray::append(int v)
{
    if (length >= size)
        return false;
    array[length++] = v;
    return true;
}

bool IntArray::copy(const IntArray* other)
{
    if (other == this)
        return true;
    length = 0;
    if (other == nullptr)
        return true;
    const int n = other->length < size ? other->length : size;
    for (int i = 0; i < n; ++i)
        array[i] = other->array[i];
    length = n;
    return n == other->length;
}

int IntArray::operator[](int i) const
{
    return (i >= 0 && i < length) ? array[i] : 0;
}

// ---- SNMPTLV and the codec ----

SNMPTLV::SNMPTLV() : tag(0), totalLength(0), value(new ByteArray(kUnitSize)), truncated(false) {}

SNMPTLV::~SNMPTLV()
{
    delete value;
}

void SNMPBERCodec::extractNextTLV(const ByteArray* enc, int position, SNMPTLV* out)
{
    if (out == nullptr)
        return;
    out->value->clear();
    out->tag = 0;
    out->truncated = true;
    out->totalLength = 2;
    const int held = enc != nullptr ? enc->getLength() : 0;
    if (position < 0 || position >= held)
        return;
    const int remaining = held - position;
    out->tag = static_cast<unsigned char>(enc->byteAt(position));
    out->totalLength = remaining < 2 ? 2 : remaining;   // what a unit that runs out occupies
    if (remaining < 2)
        return;

    const int first = enc->byteAt(position + 1);
    int header = 2;
    int64_t contentLength = 0;
    if (first < 0x80) {
        contentLength = first;
    } else if (first > 0x80) {
        const int n = first - 0x80;
        if (n > 4 || 2 + n > remaining)
            return;
        uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | static_cast<uint64_t>(enc->byteAt(position + 2 + i));
        if (v >= 0x80000000u)
            return;
        contentLength = static_cast<int64_t>(v);
        header = 2 + n;
    }   // 0x80, the indefinite form: no contents, the next call reads what follows
    if (header + contentLength > remaining)
        return;

    out->truncated = false;
    out->totalLength = header + static_cast<int>(contentLength);
    if (contentLength <= out->value->getSize())
        out->value->append(enc->getArray(), position + header, static_cast<int>(contentLength));
}

bool SNMPBERCodec::encodeLength(int length, ByteArray* out)
{
    if (out == nullptr || length < 0)
        return false;
    if (length < 128)
        return out->append(static_cast<char>(length));
    const uint32_t u = static_cast<uint32_t>(length);
    int n = 4;
    while (n > 1 && ((u >> (8 * (n - 1))) & 0xFF) == 0)
        --n;
    unsigned char octets[4];
    for (int i = 0; i < n; ++i)
        octets[i] = static_cast<unsigned char>((u >> (8 * (n - 1 - i))) & 0xFF);
    if (out->getSize() - out->getLength() < 1 + n)
        return false;
    return out->append(static_cast<char>(0x80 + n)) && out->append(octets, 0, n);
}

SNMPObject* SNMPBERCodec::extractEncoding(const SNMPTLV* tlv)
{
    if (tlv == nullptr || tlv->truncated)
        return nullptr;
    const ByteArray* contents = tlv->value;
    switch (tlv->tag) {
    case 0x02: return new SNMPInteger(contents);
    case 0x04: return new SNMPOctetString(contents);
    case 0x05:
    case 0x44: return new SNMPNull();
    case 0x06: return new SNMPObjectIdentifier(contents);
    case 0x30: return new SNMPSequence(contents);
    case 0x40: return new SNMPIPAddress(contents);
    case 0x43: return new SNMPTimeTicks(contents);
    case 0x47: return new SNMPUInteger32(contents);
    case 0xA0:
    case 0xA1:
    case 0xA2:
    case 0xA3: return new SNMPPDU(contents, tlv->tag);
    case 0xA4: return new SNMPTrapPDU(contents);
    default: return new SNMPUnknownObject(contents, tlv->tag);
    }
}

// ---- Integers ----

SNMPInteger::SNMPInteger(const ByteArray* contents) : SNMPObject(0x02), value(0)
{
    const int n = contents != nullptr ? contents->getLength() : 0;
    if (n == 0)
        return;
    uint64_t v = static_cast<uint64_t>(ByteArray::toLong(contents));
    if (n < 8 && (contents->byteAt(0) & 0x80) != 0)
        v |= ~uint64_t(0) << (8 * n);
    value = static_cast<int64_t>(v);
}

SNMPInteger::SNMPInteger(const ByteArray* contents, unsigned char tag)
    : SNMPObject(tag), value(ByteArray::toLong(contents))
{
}

bool SNMPInteger::getBEREncoding(ByteArray* out)
{
    ByteArray raw(8);
    ByteArray::toByteArray(value, &raw);
    ByteArray contents(9);
    int start = 0;
    if (value >= 0 && (raw.byteAt(0) & 0x80) != 0)
        contents.append(char(0));
    if (value < 0) {
        while (start + 1 < raw.getLength() && raw.byteAt(start) == 0xFF &&
               (raw.byteAt(start + 1) & 0x80) != 0)
            ++start;
    }
    contents.append(raw.getArray(), start, raw.getLength() - start);
    return appendUnit(out, tag, contents);
}

// ---- Octet strings and addresses ----

SNMPOctetString::SNMPOctetString(unsigned char tag) : SNMPObject(tag), data(new ByteArray(kUnitSize)) {}

SNMPOctetString::SNMPOctetString(const char* text) : SNMPOctetString(static_cast<unsigned char>(0x04))
{
    if (text == nullptr)
        return;
    int n = 0;
    while (n <= kUnitSize && text[n] != '\0')
        ++n;
    if (n <= kUnitSize)
        data->append(text, 0, n);
}

SNMPOctetString::SNMPOctetString(const ByteArray* contents)
    : SNMPOctetString(static_cast<unsigned char>(0x04))
{
    if (contents != nullptr && contents->getLength() <= kUnitSize)
        data->append(contents);
}

SNMPOctetString::~SNMPOctetString()
{
    delete data;
}

bool SNMPOctetString::getBEREncoding(ByteArray* out)
{
    return appendUnit(out, tag, *data);
}

void SNMPOctetString::toString(ByteArray* out) const
{
    if (out != nullptr)
        out->copy(data);
}

SNMPIPAddress::SNMPIPAddress(const char* text) : SNMPOctetString(static_cast<unsigned char>(0x40))
{
    forEachDottedNumber(text, [this](uint32_t v) {
        return data->append(static_cast<char>(v & 0xFF));
    });
}

SNMPIPAddress::SNMPIPAddress(const ByteArray* contents)
    : SNMPOctetString(static_cast<unsigned char>(0x40))
{
    if (contents != nullptr && contents->getLength() == 4)
        data->append(contents);
}

// ---- Object identifiers ----

SNMPObjectIdentifier::SNMPObjectIdentifier(const char* text)
    : SNMPObject(0x06), digits(new IntArray(IntArray::kDefaultSize))
{
    forEachDottedNumber(text, [this](uint32_t v) { return digits->append(lowInt32(v)); });
}

SNMPObjectIdentifier::SNMPObjectIdentifier(const ByteArray* contents) : SNMPObject(0x06), digits(nullptr)
{
    const int n = contents != nullptr ? contents->getLength() : 0;
    int subidentifiers = 0;
    for (int i = 0; i < n; ++i)
        if ((contents->byteAt(i) & 0x80) == 0)
            ++subidentifiers;
    digits = new IntArray(subidentifiers + 1);
    if (subidentifiers == 0)
        return;

    uint64_t accumulated = 0;
    int octets = 0;
    bool first = true;
    for (int i = 0; i < n; ++i) {
        const int b = contents->byteAt(i);
        if (++octets > 5)
            break;   // longer than 32 bits can carry: the rest is not decoded
        accumulated = (accumulated << 7) | static_cast<uint64_t>(b & 0x7F);
        if ((b & 0x80) != 0)
            continue;
        if (first) {
            if (accumulated < 80) {
                digits->append(static_cast<int>(accumulated / 40));
                digits->append(static_cast<int>(accumulated % 40));
            } else {
                digits->append(2);
                digits->append(lowInt32(accumulated - 80));
            }
            first = false;
        } else {
            digits->append(lowInt32(accumulated));
        }
        accumulated = 0;
        octets = 0;
    }
}

SNMPObjectIdentifier::~SNMPObjectIdentifier()
{
    delete digits;
}

bool SNMPObjectIdentifier::getBEREncoding(ByteArray* out)
{
    ByteArray contents(kUnitSize);
    const int n = digits->getLength();
    bool complete = true;
    if (n > 0) {
        auto component = [this](int i) { return uint64_t(static_cast<uint32_t>((*digits)[i])); };
        const uint64_t head = component(0) * 40 + (n > 1 ? component(1) : 0);
        complete = appendSubidentifier(head, &contents);
        for (int i = 2; i < n && complete; ++i)
            complete = appendSubidentifier(component(i), &contents);
    }
    return complete && appendUnit(out, tag, contents);
}

void SNMPObjectIdentifier::getIntArray(IntArray* out) const
{
    if (out != nullptr)
        out->copy(digits);
}

// ---- NULL and unknown values ----

bool SNMPNull::getBEREncoding(ByteArray* out)
{
    ByteArray none(1);
    return appendUnit(out, tag, none);
}

SNMPUnknownObject::SNMPUnknownObject(const ByteArray* contents, unsigned char originalTag)
    : SNMPObject(0x00), data(new ByteArray(kUnitSize)), originalTag(originalTag)
{
    if (contents != nullptr)
        data->append(contents);
}

SNMPUnknownObject::~SNMPUnknownObject()
{
    delete data;
}

bool SNMPUnknownObject::getBEREncoding(ByteArray* out)
{
    return appendUnit(out, 0x00, *data);
}

// ---- Sequences ----

SNMPSequence::SNMPSequence() : SNMPObject(0x30) {}

SNMPSequence::SNMPSequence(unsigned char tag) : SNMPObject(tag) {}

SNMPSequence::SNMPSequence(const ByteArray* contents) : SNMPSequence(contents, 0x30) {}

SNMPSequence::SNMPSequence(const ByteArray* contents, unsigned char tag) : SNMPObject(tag)
{
    if (contents == nullptr)
        return;
    SNMPTLV tlv;
    const int end = contents->getLength();
    for (int position = 0; position < end; position += tlv.totalLength) {
        SNMPBERCodec::extractNextTLV(contents, position, &tlv);
        if (tlv.truncated)
            break;
        addSNMPObject(SNMPBERCodec::extractEncoding(&tlv));
    }
}

SNMPSequence::~SNMPSequence()
{
    for (SNMPObject* element : sequence)
        delete element;
}

void SNMPSequence::addSNMPObject(SNMPObject* object)
{
    if (object != nullptr)
        sequence.push_back(object);
}

SNMPObject* SNMPSequence::getSNMPObjectAt(int index) const
{
    if (index < 0 || index >= size())
        return nullptr;
    return sequence[static_cast<size_t>(index)];
}

bool SNMPSequence::getBEREncoding(ByteArray* out)
{
    ByteArray contents(kUnitSize);
    for (SNMPObject* element : sequence) {
        ByteArray encoding(kUnitSize);
        if (!element->getBEREncoding(&encoding) || !contents.append(&encoding))
            return false;
    }
    return appendUnit(out, tag, contents);
}

const SNMPInteger* SNMPSequence::integerAt(int index) const
{
    const auto* integer = dynamic_cast<const SNMPInteger*>(getSNMPObjectAt(index));
    return (integer != nullptr && integer->tag == 0x02) ? integer : nullptr;
}

namespace {

SNMPSequence* plainSequence(SNMPObject* object)
{
    auto* sequence = dynamic_cast<SNMPSequence*>(object);
    return (sequence != nullptr && sequence->tag == 0x30) ? sequence : nullptr;
}

int low32Of(const SNMPInteger* integer)
{
    return integer != nullptr ? lowInt32(static_cast<uint64_t>(integer->value)) : 0;
}

}  // namespace

// ---- PDUs ----

SNMPPDU::SNMPPDU(unsigned char pduType, int requestID, int errorStatus, int errorIndex,
                 SNMPSequence* varList)
    : SNMPSequence(pduType)
{
    addSNMPObject(new SNMPInteger(requestID));
    addSNMPObject(new SNMPInteger(errorStatus));
    addSNMPObject(new SNMPInteger(errorIndex));
    addSNMPObject(varList);
}

SNMPPDU::SNMPPDU(const ByteArray* contents, unsigned char pduType) : SNMPSequence(contents, pduType) {}

SNMPSequence* SNMPPDU::getVarBindList() const
{
    return plainSequence(getSNMPObjectAt(3));
}

int SNMPPDU::getRequestID() const
{
    return low32Of(integerAt(0));
}

int SNMPPDU::getErrorStatus() const
{
    return low32Of(integerAt(1));
}

int SNMPPDU::getErrorIndex() const
{
    return low32Of(integerAt(2));
}

bool SNMPPDU::isValid() const
{
    return size() == 4 && integerAt(0) != nullptr && integerAt(1) != nullptr &&
           integerAt(2) != nullptr && getVarBindList() != nullptr;
}

SNMPTrapPDU::SNMPTrapPDU(SNMPObjectIdentifier* enterpriseOID, SNMPIPAddress* agentAddress,
                         int genericTrap, int specificTrap, SNMPTimeTicks* timestamp,
                         SNMPSequence* varList)
    : SNMPSequence(kTrap)
{
    addSNMPObject(enterpriseOID);
    addSNMPObject(agentAddress);
    addSNMPObject(new SNMPInteger(genericTrap));
    addSNMPObject(new SNMPInteger(specificTrap));
    addSNMPObject(timestamp);
    addSNMPObject(varList);
}

SNMPTrapPDU::SNMPTrapPDU(const ByteArray* contents) : SNMPSequence(contents, kTrap) {}

SNMPObjectIdentifier* SNMPTrapPDU::getEnterprise() const
{
    return dynamic_cast<SNMPObjectIdentifier*>(getSNMPObjectAt(0));
}

SNMPIPAddress* SNMPTrapPDU::getAgentAddress() const
{
    return dynamic_cast<SNMPIPAddress*>(getSNMPObjectAt(1));
}

int SNMPTrapPDU::getGenericTrap() const
{
    return low32Of(integerAt(2));
}

int SNMPTrapPDU::getSpecificTrap() const
{
    return low32Of(integerAt(3));
}

SNMPTimeTicks* SNMPTrapPDU::getTimeStamp() const
{
    return dynamic_cast<SNMPTimeTicks*>(getSNMPObjectAt(4));
}

SNMPSequence* SNMPTrapPDU::getVarBindList() const
{
    return plainSequence(getSNMPObjectAt(5));
}

bool SNMPTrapPDU::isValid() const
{
    return size() == 6 && getEnterprise() != nullptr && getAgentAddress() != nullptr &&
           integerAt(2) != nullptr && integerAt(3) != nullptr && getTimeStamp() != nullptr &&
           getVarBindList() != nullptr;
}

// ---- Variable bindings and messages ----

SNMPVariablePair::SNMPVariablePair(SNMPObjectIdentifier* objectID, SNMPObject* value) : SNMPSequence()
{
    addSNMPObject(objectID);
    addSNMPObject(value);
}

SNMPMessage::SNMPMessage(int version, const char* community, SNMPPDU* pdu) : SNMPSequence()
{
    addSNMPObject(new SNMPInteger(version));
    addSNMPObject(new SNMPOctetString(community));
    addSNMPObject(pdu);
}

SNMPMessage::SNMPMessage(int version, const char* community, SNMPTrapPDU* pdu) : SNMPSequence()
{
    addSNMPObject(new SNMPInteger(version));
    addSNMPObject(new SNMPOctetString(community));
    addSNMPObject(pdu);
}

SNMPMessage::SNMPMessage(const ByteArray* contents) : SNMPSequence(contents) {}

SNMPPDU* SNMPMessage::getPDU() const
{
    return dynamic_cast<SNMPPDU*>(getSNMPObjectAt(2));
}

SNMPTrapPDU* SNMPMessage::getTrapPDU() const
{
    return dynamic_cast<SNMPTrapPDU*>(getSNMPObjectAt(2));
}

int SNMPMessage::getVersion() const
{
    return low32Of(integerAt(0));
}

SNMPOctetString* SNMPMessage::getCommunity() const
{
    auto* community = dynamic_cast<SNMPOctetString*>(getSNMPObjectAt(1));
    return (community != nullptr && community->tag == 0x04) ? community : nullptr;
}

bool SNMPMessage::isValid() const
{
    return size() == 3 && integerAt(0) != nullptr && getCommunity() != nullptr &&
           (getPDU() != nullptr || getTrapPDU() != nullptr);
}
