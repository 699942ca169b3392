// Queries to the SNMP agent inside the controller (command 0x1E).
#include "snmpx.h"
#include "zynconst.h"
#include "zynlib.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
constexpr u8 kCmdSnmp = ZYN_CMD_SNMP;
constexpr int kRequestId = 1;
constexpr u8 kTagInteger = 0x02;
constexpr u8 kTagOctetString = 0x04;
constexpr u8 kTagSequence = 0x30;
} // namespace

char* CZynlib::SnmpUtilOidToA(long* oid, int* count)
{
    if (oid == nullptr || count == nullptr || *count < 1)
        return nullptr;
    std::memset(m_oidText, 0, sizeof m_oidText);
    int used = 0;
    for (int i = 0; i < *count; ++i) {
        const int n = std::snprintf(m_oidText + used, sizeof m_oidText - size_t(used), i + 1 < *count ? "%d." : "%d",
                                    int32_t(uint32_t(oid[i])));
        if (n < 0 || used + n >= int(sizeof m_oidText)) {
            std::memset(m_oidText, 0, sizeof m_oidText);
            return nullptr;   // longer than the buffer holds
        }
        used += n;
    }
    return m_oidText;
}

u32 CZynlib::ZynSNMP(char* request, int length, char* reply, int* replyLength, int replyCapacity)
{
    if (request == nullptr || reply == nullptr || replyLength == nullptr || length <= 0 || replyCapacity < 0)
        return ZYN_ERR_INVALID_ARG;
    std::vector<char> work(request, request + length);
    std::vector<u8> answer(kSnmpReplySize, 0);
    int received = 0;
    const u32 rc = ZynCmdReadWrite(kCmdSnmp, work.data(), length, answer.data(), kSnmpReplySize, received);
    if (rc != ZYN_OK)
        return rc;
    if (received > replyCapacity)
        return ZYN_ERR_BUFFER_TOO_SMALL;
    std::memcpy(reply, answer.data(), size_t(received));
    *replyLength = received;
    return ZYN_OK;
}

u32 CZynlib::ZynSNMPWithOid(long* oid, int* oidLength, unsigned char* community, long* replyOid,
                            unsigned char* valueType, unsigned char** value, int* valueLength,
                            unsigned char exact)
{
    if (oid == nullptr || oidLength == nullptr || replyOid == nullptr || valueType == nullptr || value == nullptr ||
        valueLength == nullptr)
        return ZYN_ERR_INVALID_ARG;

    // The community, cut to what the buffer holds.
    std::memset(m_snmpCommunity, 0, sizeof m_snmpCommunity);
    const char* text = community != nullptr ? reinterpret_cast<const char*>(community) : zynconst::kDefaultCommunity;
    std::strncpy(m_snmpCommunity, text, sizeof m_snmpCommunity - 1);

    const char* dotted = SnmpUtilOidToA(oid, oidLength);
    if (dotted == nullptr)
        return ZYN_ERR_INVALID_ARG;

    // GetRequest (or GetNextRequest) with one binding: the identifier and INTEGER 0.
    auto* bindings = new SNMPSequence();
    bindings->addSNMPObject(new SNMPVariablePair(new SNMPObjectIdentifier(dotted), new SNMPInteger(int64_t(0))));
    auto* pdu = new SNMPPDU(exact ? SNMPPDU::kGetRequest : SNMPPDU::kGetNextRequest, kRequestId, 0, 0, bindings);
    SNMPMessage message(0, m_snmpCommunity, pdu);
    ByteArray encoded(kSnmpQueryReplySize);
    if (!message.getBEREncoding(&encoded))
        return ZYN_ERR_INVALID_ARG;

    std::vector<char> answer(kSnmpQueryReplySize, 0);
    int received = 0;
    u32 rc = ZynSNMP(encoded.getArray(), encoded.getLength(), answer.data(), &received, kSnmpQueryReplySize);
    if (rc != ZYN_OK)
        return rc;

    ByteArray bytes(kSnmpQueryReplySize);
    if (!bytes.append(answer.data(), 0, received))
        return ZYN_ERR_BUFFER_TOO_SMALL;
    SNMPTLV outer;
    SNMPBERCodec::extractNextTLV(&bytes, 0, &outer);
    if (outer.truncated || outer.tag != kTagSequence)
        return ZYN_ERR_BAD_FRAME;
    SNMPMessage decoded(outer.value);
    SNMPPDU* response = decoded.getPDU();
    if (response == nullptr || !response->isValid())
        return ZYN_ERR_BAD_FRAME;
    if (response->getRequestID() != kRequestId || response->getErrorStatus() != 0)
        return ZYN_OK;   // not an answer to this question: nothing to report

    SNMPSequence* list = response->getVarBindList();
    auto* binding = list != nullptr ? dynamic_cast<SNMPSequence*>(list->getSNMPObjectAt(0)) : nullptr;
    auto* name = binding != nullptr ? dynamic_cast<SNMPObjectIdentifier*>(binding->getSNMPObjectAt(0)) : nullptr;
    SNMPObject* object = binding != nullptr ? binding->getSNMPObjectAt(1) : nullptr;
    if (name == nullptr || object == nullptr || name->getDigits() == nullptr)
        return ZYN_ERR_BAD_FRAME;
    const IntArray* digits = name->getDigits();
    if (digits->getLength() > kSnmpMaxOid)
        return ZYN_ERR_BAD_FRAME;

    *oidLength = digits->getLength();
    for (int i = 0; i < digits->getLength(); ++i)
        replyOid[i] = (*digits)[i];
    *valueType = object->getTag();
    if (object->getTag() == kTagOctetString) {
        auto* string = dynamic_cast<SNMPOctetString*>(object);
        std::memset(m_snmpString, 0, sizeof m_snmpString);
        if (string != nullptr && string->getData() != nullptr) {
            const int n = std::min(string->getData()->getLength(), int(sizeof m_snmpString) - 1);
            std::memcpy(m_snmpString, string->getData()->getArray(), size_t(n));
        }
        *valueLength = int(std::strlen(m_snmpString));
        *value = reinterpret_cast<unsigned char*>(m_snmpString);
    } else if (object->getTag() == kTagInteger) {
        auto* number = dynamic_cast<SNMPInteger*>(object);
        m_snmpLong = number != nullptr ? number->getValue() : 0;
        *valueLength = 8;
        *value = reinterpret_cast<unsigned char*>(&m_snmpLong);
    }
    return ZYN_OK;
}
