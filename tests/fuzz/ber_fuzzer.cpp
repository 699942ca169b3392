// Fuzz target for the BER decoder: SNMP replies come from the controller's agent, so every byte
// is untrusted. The input is walked as raw units, decoded as a message and as a sequence; every
// getter is called on what comes out, and what decodes is encoded again. Faults are reported by
// the sanitizers or, for a broken invariant, by a trap.
#include "snmpx.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Calls every getter of `object` and of everything it holds.
void visit(SNMPObject* object, int depth)
{
    check(object != nullptr && depth < 600);
    auto* sequence = dynamic_cast<SNMPSequence*>(object);
    if (depth == 0 || sequence == nullptr) {   // a sequence's encoding covers its elements
        ByteArray small(16);
        small.append('#');
        if (!object->getBEREncoding(&small))
            check(small.getLength() == 1);   // nothing written in part
        ByteArray encoding(4096);
        object->getBEREncoding(&encoding);
    }
    (void)object->getTag();

    if (auto* integer = dynamic_cast<SNMPInteger*>(object))
        (void)integer->getValue();
    if (auto* string = dynamic_cast<SNMPOctetString*>(object)) {
        ByteArray out(8);
        string->toString(&out);
        check(out.getLength() <= 8 && string->getData()->getLength() <= 512);
        if (dynamic_cast<SNMPIPAddress*>(object) != nullptr)
            check(string->getData()->getLength() == 0 || string->getData()->getLength() == 4);
    }
    if (auto* oid = dynamic_cast<SNMPObjectIdentifier*>(object)) {
        IntArray digits;
        oid->getIntArray(&digits);
        for (int i = -1; i <= digits.getLength(); ++i)
            (void)digits[i];
    }
    if (auto* unknown = dynamic_cast<SNMPUnknownObject*>(object))
        check(unknown->getData()->getLength() <= 512 && unknown->tag == 0x00);
    if (auto* pdu = dynamic_cast<SNMPPDU*>(object)) {
        (void)pdu->getRequestID();
        (void)pdu->getErrorStatus();
        (void)pdu->getErrorIndex();
        SNMPSequence* list = pdu->getVarBindList();
        check(!pdu->isValid() || list != nullptr);
    }
    if (auto* trap = dynamic_cast<SNMPTrapPDU*>(object)) {
        (void)trap->getEnterprise();
        (void)trap->getAgentAddress();
        (void)trap->getGenericTrap();
        (void)trap->getSpecificTrap();
        (void)trap->getTimeStamp();
        check(!trap->isValid() || trap->getVarBindList() != nullptr);
    }
    if (auto* message = dynamic_cast<SNMPMessage*>(object)) {
        (void)message->getVersion();
        (void)message->getCommunity();
        check(message->getPDU() == nullptr || message->getTrapPDU() == nullptr);
        check(!message->isValid() || message->getPDU() != nullptr || message->getTrapPDU() != nullptr);
    }
    if (sequence != nullptr) {
        check(sequence->getSNMPObjectAt(-1) == nullptr);
        check(sequence->getSNMPObjectAt(sequence->size()) == nullptr);
        for (int i = 0; i < sequence->size(); ++i)
            visit(sequence->getSNMPObjectAt(i), depth + 1);
    }
}

// The outer unit of `bytes` decoded as a message; nullptr when it is not a complete 0x30 unit.
std::unique_ptr<SNMPMessage> decodeMessage(const ByteArray* bytes)
{
    SNMPTLV tlv;
    SNMPBERCodec::extractNextTLV(bytes, 0, &tlv);
    if (tlv.truncated || tlv.tag != 0x30)
        return nullptr;
    check(tlv.totalLength <= bytes->getLength());
    return std::make_unique<SNMPMessage>(tlv.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    ByteArray input(static_cast<int>(size));   // exactly the input: any over-read is caught
    check(input.append(data, 0, static_cast<int>(size)));

    // A raw walk over the units, as a caller steps through a datagram.
    SNMPTLV tlv;
    int units = 0;
    for (int position = 0; position < input.getLength(); position += tlv.totalLength) {
        SNMPBERCodec::extractNextTLV(&input, position, &tlv);
        check(tlv.totalLength >= 2 && tlv.value->getLength() <= 512);
        check(tlv.truncated ? tlv.value->getLength() == 0
                            : position + tlv.totalLength <= input.getLength());
        std::unique_ptr<SNMPObject> object(SNMPBERCodec::extractEncoding(&tlv));
        check((object == nullptr) == tlv.truncated);
        if (object)
            visit(object.get(), 0);
        ++units;
    }
    check(units <= input.getLength());

    // The whole input as the contents of a sequence.
    SNMPSequence sequence(&input);
    visit(&sequence, 0);

    // As a datagram: decode, encode, and decode again. After one round the encoding is stable
    // (the first round may normalise lengths, integers and unsigned values).
    std::unique_ptr<SNMPMessage> message = decodeMessage(&input);
    if (message) {
        visit(message.get(), 0);
        ByteArray first(512);
        if (message->getBEREncoding(&first)) {
            std::unique_ptr<SNMPMessage> again = decodeMessage(&first);
            check(again != nullptr && again->size() == message->size());
            ByteArray second(512);
            if (again->getBEREncoding(&second)) {
                std::unique_ptr<SNMPMessage> third = decodeMessage(&second);
                ByteArray stable(512);
                check(third != nullptr && third->getBEREncoding(&stable));
                check(stable.getLength() == second.getLength());
                for (int i = 0; i < stable.getLength(); ++i)
                    check(stable.byteAt(i) == second.byteAt(i));
            }
        }
    }
    return 0;
}
