// SNMP object library: BER encoding and decoding of SNMPv1 values, sequences, PDUs and
// messages (one-octet tags, definite lengths).
//
// Plain C++ without Qt and without process-wide mutable state: every operation runs on the
// caller's thread, so several threads may use the library at once on objects of their own.
// Objects are made with new and passed by raw pointer; a sequence owns and deletes its
// elements. Buffers have a fixed capacity (512 bytes by default) and never grow: what does not
// fit is left out, and the appends say so by returning false. Nothing throws and nothing ends
// the process; malformed input decodes into fewer elements, and the getters return nullptr or
// 0 for what is missing.
#pragma once

#include <cstdint>
#include <type_traits>
#include <vector>

// Fixed-capacity byte buffer. The held bytes are the first getLength() bytes of getArray().
class ByteArray {
public:
    static constexpr int kDefaultSize = 512;

    ByteArray();
    explicit ByteArray(int size);   // a negative size, or one that cannot be allocated, gives 0
    ~ByteArray();
    ByteArray(const ByteArray&) = delete;
    ByteArray& operator=(const ByteArray&) = delete;

    int getLength() const { return length; }
    int getSize() const { return size; }           // the capacity
    char* getArray() { return array; }
    const char* getArray() const { return array; }
    // Byte `i` as 0..255, or -1 for an index outside the held bytes.
    int byteAt(int i) const;
    void clear() { length = 0; }

    // Each append adds all of its bytes and returns true, or adds nothing and returns false
    // (no room, a null source, a negative offset or count).
    bool append(char c);
    bool append(const char* src, int offset, int len);
    bool append(const unsigned char* src, int offset, int len);
    bool append(const ByteArray* other);
    // Empties this buffer, then takes other's bytes while room remains (a longer source is cut).
    // Returns true when all of them were taken. Copying a buffer onto itself changes nothing.
    bool copy(const ByteArray* other);

    // Empties `out` and writes `value` big-endian without leading zero octets (0 gives 00, a
    // negative value all 8 octets), each octet while room remains.
    static void toByteArray(int64_t value, ByteArray* out);
    // The unsigned big-endian value of all held bytes, kept to the low 64 bits; 0 when empty.
    static int64_t toLong(const ByteArray* in);

private:
    char* array;
    int size;
    int length;
};

// Fixed-capacity array of signed 32-bit ints (the components of an object identifier).
class IntArray {
public:
    static constexpr int kDefaultSize = 512;

    IntArray();
    explicit IntArray(int size);
    ~IntArray();
    IntArray(const IntArray&) = delete;
    IntArray& operator=(const IntArray&) = delete;

    bool append(int v);              // false (and nothing added) when full
    bool copy(const IntArray* other);  // as ByteArray::copy
    int operator[](int i) const;     // 0 for an index outside 0 .. length - 1
    int getLength() const { return length; }
    int getSize() const { return size; }
    void clear() { length = 0; }

private:
    int* array;
    int size;
    int length;
};

// One decoded tag-length-value unit. Reusable: each extractNextTLV overwrites every field.
struct SNMPTLV {
    SNMPTLV();
    ~SNMPTLV();
    SNMPTLV(const SNMPTLV&) = delete;
    SNMPTLV& operator=(const SNMPTLV&) = delete;

    unsigned char tag;   // the tag octet as read
    int totalLength;     // octets the unit occupies in the input: header and contents (>= 2)
    ByteArray* value;    // owned, capacity 512: the contents when they are complete and fit
    bool truncated;      // the header or contents ran past the input (value is empty then)
};

class SNMPObject;

class SNMPBERCodec {
public:
    // Reads the unit at `position` of `enc` into `out`; never reads past enc's held bytes.
    // A unit whose header or contents run past the input, or whose long-form length has more
    // than 4 octets or is 2^31 or more, comes back with truncated set, an empty value and a
    // totalLength of the bytes remaining (at least 2), so a walk over the input ends there.
    // Contents longer than 512 octets leave value empty while totalLength counts them.
    static void extractNextTLV(const ByteArray* enc, int position, SNMPTLV* out);
    // Appends the definite-form length octets (fewest octets), or nothing and false when they
    // do not all fit.
    static bool encodeLength(int length, ByteArray* out);
    // A new object for the unit (the caller owns it), chosen by its tag; nullptr for a null or
    // truncated unit.
    static SNMPObject* extractEncoding(const SNMPTLV* tlv);
};

// Root of the object tree, without fields.
class Object {
public:
    virtual ~Object() = default;
};

class SNMPObject : public Object {
public:
    explicit SNMPObject(unsigned char tag) : tag(tag) {}
    ~SNMPObject() override = default;
    SNMPObject(const SNMPObject&) = delete;
    SNMPObject& operator=(const SNMPObject&) = delete;

    // Appends the object's whole unit (tag, length, contents) to `out` and returns true, or
    // appends nothing and returns false: when the unit does not fit into `out`, or when its
    // contents exceed 512 bytes (a sequence's elements are built in 512-byte buffers and its
    // contents in one). So a message never comes out with a part missing.
    virtual bool getBEREncoding(ByteArray* out) = 0;
    unsigned char getTag() const { return tag; }

    unsigned char tag;   // the BER tag the object encodes with; users tell the type by it
};

// INTEGER (tag 0x02), the value signed 64-bit.
class SNMPInteger : public SNMPObject {
public:
    explicit SNMPInteger(int64_t value) : SNMPInteger(value, 0x02) {}
    // Any integral argument (SNMPInteger(0) included) goes to the value constructor.
    template <typename T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
    explicit SNMPInteger(T value) : SNMPInteger(static_cast<int64_t>(value), 0x02) {}
    // From received contents: two's complement, big-endian; empty gives 0; of more than 8
    // octets the last 8 count.
    explicit SNMPInteger(const ByteArray* contents);
    ~SNMPInteger() override = default;

    bool getBEREncoding(ByteArray* out) override;
    int64_t getValue() const { return value; }

    int64_t value;

protected:
    SNMPInteger(int64_t value, unsigned char tag) : SNMPObject(tag), value(value) {}
    // The unsigned rule of UInteger32 and TimeTicks.
    SNMPInteger(const ByteArray* contents, unsigned char tag);
};

// UInteger32 (tag 0x47); received contents are read unsigned.
class SNMPUInteger32 : public SNMPInteger {
public:
    explicit SNMPUInteger32(int64_t value) : SNMPInteger(value, 0x47) {}
    template <typename T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
    explicit SNMPUInteger32(T value) : SNMPInteger(static_cast<int64_t>(value), 0x47) {}
    explicit SNMPUInteger32(const ByteArray* contents) : SNMPInteger(contents, 0x47) {}
    ~SNMPUInteger32() override = default;

protected:
    SNMPUInteger32(int64_t value, unsigned char tag) : SNMPInteger(value, tag) {}
    SNMPUInteger32(const ByteArray* contents, unsigned char tag) : SNMPInteger(contents, tag) {}
};

// TimeTicks (tag 0x43); received contents are read unsigned.
class SNMPTimeTicks : public SNMPUInteger32 {
public:
    explicit SNMPTimeTicks(int64_t value) : SNMPUInteger32(value, 0x43) {}
    template <typename T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
    explicit SNMPTimeTicks(T value) : SNMPUInteger32(static_cast<int64_t>(value), 0x43) {}
    explicit SNMPTimeTicks(const ByteArray* contents) : SNMPUInteger32(contents, 0x43) {}
    ~SNMPTimeTicks() override = default;
};

// OCTET STRING (tag 0x04). More than 512 octets are held as an empty string.
class SNMPOctetString : public SNMPObject {
public:
    explicit SNMPOctetString(const char* text);          // the text's bytes, without the NUL
    explicit SNMPOctetString(const ByteArray* contents);
    ~SNMPOctetString() override;

    bool getBEREncoding(ByteArray* out) override;
    // `out` receives a copy of the octets by the ByteArray::copy rule; no terminator.
    void toString(ByteArray* out) const;
    const ByteArray* getData() const { return data; }

    ByteArray* data;

protected:
    explicit SNMPOctetString(unsigned char tag);
};

// IpAddress (tag 0x40).
class SNMPIPAddress : public SNMPOctetString {
public:
    // Dotted text: tokens at dots and blanks, each token's leading decimal number reduced to
    // its low 8 bits, at most 512 octets. The caller's text is left unchanged.
    explicit SNMPIPAddress(const char* text);
    // Received contents: exactly 4 octets, else an empty address.
    explicit SNMPIPAddress(const ByteArray* contents);
    ~SNMPIPAddress() override = default;
};

// OBJECT IDENTIFIER (tag 0x06). Components are 32-bit: a component is kept as its low 32 bits
// (4294967295 is held as -1 and encodes as 4294967295 again).
class SNMPObjectIdentifier : public SNMPObject {
public:
    // Dotted text, split at dots and blanks in a private copy; at most 512 components.
    explicit SNMPObjectIdentifier(const char* text);
    // Received contents. Decoding stops at a subidentifier longer than 5 octets, and an
    // unterminated last subidentifier is dropped; the components before it are kept.
    explicit SNMPObjectIdentifier(const ByteArray* contents);
    ~SNMPObjectIdentifier() override;

    bool getBEREncoding(ByteArray* out) override;
    void getIntArray(IntArray* out) const;   // by the IntArray::copy rule
    const IntArray* getDigits() const { return digits; }

    IntArray* digits;
};

// NULL (tag 0x05).
class SNMPNull : public SNMPObject {
public:
    SNMPNull() : SNMPObject(0x05) {}
    ~SNMPNull() override = default;
    bool getBEREncoding(ByteArray* out) override;
};

// A received value whose tag the decoder does not know (Counter 0x41, Gauge 0x42, ...). Its
// tag is 0x00, which its encoding uses; the tag it arrived with is getOriginalTag().
class SNMPUnknownObject : public SNMPObject {
public:
    explicit SNMPUnknownObject(const ByteArray* contents, unsigned char originalTag = 0x00);
    ~SNMPUnknownObject() override;

    bool getBEREncoding(ByteArray* out) override;
    unsigned char getOriginalTag() const { return originalTag; }
    const ByteArray* getData() const { return data; }

    ByteArray* data;

private:
    unsigned char originalTag;
};

// SEQUENCE (tag 0x30 unless a subclass sets another): an ordered list of owned elements.
class SNMPSequence : public SNMPObject {
public:
    SNMPSequence();
    // Elements decoded from contents octets. The walk ends at the end of the contents or at a
    // truncated unit; no shape is required.
    explicit SNMPSequence(const ByteArray* contents);
    ~SNMPSequence() override;

    // Appends the object, which the sequence owns from then on; a null pointer is ignored.
    void addSNMPObject(SNMPObject* object);
    // The element at `index`, or nullptr outside 0 .. size() - 1.
    SNMPObject* getSNMPObjectAt(int index) const;
    int size() const { return static_cast<int>(sequence.size()); }
    bool getBEREncoding(ByteArray* out) override;

protected:
    SNMPSequence(unsigned char tag);
    SNMPSequence(const ByteArray* contents, unsigned char tag);
    // The element at `index` when it is an INTEGER (tag 0x02), else nullptr.
    const SNMPInteger* integerAt(int index) const;

    std::vector<SNMPObject*> sequence;
};

// Get (0xA0), get-next (0xA1), response (0xA2) and set (0xA3) PDUs: INTEGER request id,
// INTEGER error status, INTEGER error index, the variable-binding list.
class SNMPPDU : public SNMPSequence {
public:
    static constexpr unsigned char kGetRequest = 0xA0;
    static constexpr unsigned char kGetNextRequest = 0xA1;
    static constexpr unsigned char kGetResponse = 0xA2;
    static constexpr unsigned char kSetRequest = 0xA3;

    SNMPPDU(unsigned char pduType, int requestID, int errorStatus, int errorIndex,
            SNMPSequence* varList);
    SNMPPDU(const ByteArray* contents, unsigned char pduType);
    ~SNMPPDU() override = default;

    // The fourth element when it is a plain sequence (tag 0x30), else nullptr.
    SNMPSequence* getVarBindList() const;
    // The low 32 bits of the first, second and third element; 0 when that element is missing
    // or not an INTEGER (isValid() tells).
    int getRequestID() const;
    int getErrorStatus() const;
    int getErrorIndex() const;
    // True when the PDU has its shape: three INTEGERs and a variable-binding list.
    bool isValid() const;
};

// Trap PDU (0xA4): enterprise, agent address, INTEGER generic trap, INTEGER specific trap,
// time stamp, variable-binding list.
class SNMPTrapPDU : public SNMPSequence {
public:
    static constexpr unsigned char kTrap = 0xA4;

    SNMPTrapPDU(SNMPObjectIdentifier* enterpriseOID, SNMPIPAddress* agentAddress, int genericTrap,
                int specificTrap, SNMPTimeTicks* timestamp, SNMPSequence* varList);
    explicit SNMPTrapPDU(const ByteArray* contents);
    ~SNMPTrapPDU() override = default;

    // Each getter returns nullptr (or 0) when its element is missing or of another class.
    SNMPObjectIdentifier* getEnterprise() const;
    SNMPIPAddress* getAgentAddress() const;
    int getGenericTrap() const;
    int getSpecificTrap() const;
    SNMPTimeTicks* getTimeStamp() const;
    SNMPSequence* getVarBindList() const;
    bool isValid() const;
};

// A variable binding: SEQUENCE of the object identifier and the value. A received binding is
// a plain SNMPSequence: read it with getSNMPObjectAt(0) and (1).
class SNMPVariablePair : public SNMPSequence {
public:
    SNMPVariablePair(SNMPObjectIdentifier* objectID, SNMPObject* value);
    ~SNMPVariablePair() override = default;
};

// The SNMPv1 message: SEQUENCE of INTEGER version, OCTET STRING community and the PDU.
class SNMPMessage : public SNMPSequence {
public:
    SNMPMessage(int version, const char* community, SNMPPDU* pdu);
    SNMPMessage(int version, const char* community, SNMPTrapPDU* pdu);
    // From the contents of the message's outer unit (read that unit with extractNextTLV at
    // position 0 and pass its value).
    explicit SNMPMessage(const ByteArray* contents);
    ~SNMPMessage() override = default;

    // The third element as a get/get-next/response/set PDU, else nullptr.
    SNMPPDU* getPDU() const;
    // The third element as a trap PDU, else nullptr.
    SNMPTrapPDU* getTrapPDU() const;
    // The version's low 32 bits; 0 when missing (isValid() tells).
    int getVersion() const;
    // The community, or nullptr when missing.
    SNMPOctetString* getCommunity() const;
    // True when the message has an INTEGER version, an OCTET STRING community and a PDU.
    bool isValid() const;
};
