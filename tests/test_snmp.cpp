// The SNMP BER object library: buffers and the length codec, value objects, sequences, PDUs and
// messages byte for byte, malformed input, and a real agent and DER parser when installed.
#include "snmpx.h"

#include <QtTest>

#include <arpa/inet.h>
#include <limits>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <typeinfo>
#include <unistd.h>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray held(const ByteArray& b)
{
    return QByteArray(b.getArray(), b.getLength());
}

// A buffer exactly as large as its bytes, so that any read past them is an ASan fault.
std::unique_ptr<ByteArray> exact(const QByteArray& bytes)
{
    auto b = std::make_unique<ByteArray>(bytes.size());
    b->append(bytes.constData(), 0, bytes.size());
    return b;
}

QByteArray encode(SNMPObject& object)
{
    ByteArray out(1024);
    if (!object.getBEREncoding(&out))
        return QByteArray("<not encoded>");
    return held(out);
}

// The object extractEncoding makes of the unit at the start of `unit`.
std::unique_ptr<SNMPObject> decodeUnit(const QByteArray& unit)
{
    auto in = exact(unit);
    SNMPTLV tlv;
    SNMPBERCodec::extractNextTLV(in.get(), 0, &tlv);
    return std::unique_ptr<SNMPObject>(SNMPBERCodec::extractEncoding(&tlv));
}

// A whole datagram as a message: the outer unit, then its contents; nullptr if it is no unit.
std::unique_ptr<SNMPMessage> decodeMessage(const QByteArray& datagram)
{
    auto in = exact(datagram);
    SNMPTLV tlv;
    SNMPBERCodec::extractNextTLV(in.get(), 0, &tlv);
    if (tlv.truncated || tlv.tag != 0x30)
        return nullptr;
    return std::make_unique<SNMPMessage>(tlv.value);
}

QString components(const SNMPObjectIdentifier& oid)
{
    IntArray digits;
    oid.getIntArray(&digits);
    QStringList parts;
    for (int i = 0; i < digits.getLength(); ++i)
        parts << QString::number(digits[i]);
    return parts.join('.');
}

SNMPSequence* oneBinding(const char* oid, SNMPObject* value)
{
    auto* list = new SNMPSequence();
    list->addSNMPObject(new SNMPVariablePair(new SNMPObjectIdentifier(oid), value));
    return list;
}

QByteArray request(unsigned char type, int id, const char* oid, const char* community,
                   SNMPObject* placeholder)
{
    SNMPMessage message(0, community, new SNMPPDU(type, id, 0, 0, oneBinding(oid, placeholder)));
    return encode(message);
}

const char* const kGetSysDescr =
    "30 27 02 01 00 04 06 70 75 62 6C 69 63"
    " A0 1A 02 01 01 02 01 00 02 01 00"
    " 30 0F 30 0D 06 08 2B 06 01 02 01 01 01 00 02 01 00";

// A short text of what a decoded value holds, to compare with what was sent.
QString describe(SNMPObject* object)
{
    if (auto* integer = dynamic_cast<SNMPInteger*>(object))
        return QString::number(integer->getValue());
    if (auto* oid = dynamic_cast<SNMPObjectIdentifier*>(object))
        return components(*oid);
    if (auto* string = dynamic_cast<SNMPOctetString*>(object))
        return QString::fromLatin1(held(*string->getData()).toHex(' '));
    return dynamic_cast<SNMPNull*>(object) != nullptr ? "null" : "?";
}

}  // namespace

class TestSnmp : public QObject {
    Q_OBJECT
private slots:
    // Buffers, the length codec and reading units.
    void lengthCodec_data();
    void lengthCodec();
    void buffersReportWhatDoesNotFit();
    void workedUnits();
    void malformedUnitsStayInsideTheInput_data();
    void malformedUnitsStayInsideTheInput();
    void truncatedAndNestedInputEnds();
    // Value objects.
    void values_data();
    void values();
    void receivedValueRules();
    void threadsSplitTextIndependently();
    // Sequences, PDUs and messages.
    void sequenceVectors();
    void responseAndTrapRoundTrip();
    void missingPartsGiveNull();
    void oversizedEncodingsAreLeftOut();
    // External peers.
    void opensslParsesGetRequest();
    void realAgent();
};

// ---- Buffers, the length codec and reading units ----

void TestSnmp::lengthCodec_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("expected");
    const std::pair<int, const char*> rows[] = {{0, "00"}, {127, "7F"}, {128, "81 80"}, {255, "81 FF"},
        {256, "82 01 00"}, {512, "82 02 00"}, {65536, "83 01 00 00"}, {0x7FFFFFFF, "84 7F FF FF FF"}};
    for (const auto& row : rows)
        QTest::newRow(row.second) << row.first << hex(row.second);
}

void TestSnmp::lengthCodec()
{
    QFETCH(int, length);
    QFETCH(QByteArray, expected);
    ByteArray out(8);
    QVERIFY(SNMPBERCodec::encodeLength(length, &out));
    QCOMPARE(held(out), expected);
    ByteArray small(2);   // all length octets or none
    QCOMPARE(SNMPBERCodec::encodeLength(length, &small), length < 256);
    QCOMPARE(small.getLength(), length < 256 ? expected.size() : 0);
}

void TestSnmp::buffersReportWhatDoesNotFit()
{
    ByteArray b;
    QCOMPARE(b.getSize(), 512);
    QVERIFY(b.append(QByteArray(510, 'x').constData(), 0, 510));
    QVERIFY(!b.append("abc", 0, 3));
    QCOMPARE(b.getLength(), 510);
    QVERIFY(b.append('a') && b.append('b'));
    QVERIFY(!b.append('c'));
    QCOMPARE(held(b).right(3), QByteArray("xab"));

    ByteArray source(4);
    source.append("wxyz", 0, 4);
    ByteArray three(3);
    QVERIFY(!three.append(&source));   // all or nothing
    QCOMPARE(three.getLength(), 0);
    QVERIFY(!three.copy(&source));     // copy cuts, and says so
    QCOMPARE(held(three), QByteArray("wxy"));
    QVERIFY(three.copy(&three));
    QCOMPARE(held(three), QByteArray("wxy"));
    QVERIFY(!three.append(static_cast<const char*>(nullptr), 0, 1));
    QVERIFY(!three.append("abc", -1, 1));
    QCOMPARE(three.byteAt(3), -1);
    ByteArray none(-5);
    QVERIFY(none.getSize() == 0 && !none.append('x'));

    const std::pair<int64_t, const char*> octets[] = {{0, "00"}, {127, "7F"}, {128, "80"}, {256, "01 00"},
        {-1, "FF FF FF FF FF FF FF FF"}, {std::numeric_limits<int64_t>::min(), "80 00 00 00 00 00 00 00"}};
    for (const auto& row : octets) {
        ByteArray out(8);
        ByteArray::toByteArray(row.first, &out);
        QCOMPARE(held(out), hex(row.second));
    }
    QCOMPARE(ByteArray::toLong(exact(hex("00 80")).get()), int64_t(128));
    QCOMPARE(ByteArray::toLong(exact(hex("FF")).get()), int64_t(255));
    QCOMPARE(ByteArray::toLong(exact(QByteArray()).get()), int64_t(0));
    QCOMPARE(ByteArray::toLong(exact(hex("AA 01 02 03 04 05 06 07 08")).get()), int64_t(0x0102030405060708));

    IntArray ints(2);
    QVERIFY(ints.append(7) && ints.append(8));
    QVERIFY(!ints.append(9));
    QVERIFY(ints[1] == 8 && ints[2] == 0 && ints[-1] == 0);
}

void TestSnmp::workedUnits()
{
    SNMPTLV tlv;
    SNMPBERCodec::extractNextTLV(exact(hex("04 03 61 62 63")).get(), 0, &tlv);
    QCOMPARE(tlv.tag, uchar(0x04));
    QCOMPARE(tlv.totalLength, 5);
    QCOMPARE(held(*tlv.value), QByteArray("abc"));

    const QByteArray body(128, 'q');
    SNMPBERCodec::extractNextTLV(exact(hex("04 81 80") + body).get(), 0, &tlv);
    QCOMPARE(tlv.totalLength, 131);
    QCOMPARE(held(*tlv.value), body);

    SNMPBERCodec::extractNextTLV(exact(hex("30 80 05 00")).get(), 0, &tlv);
    QVERIFY(tlv.totalLength == 2 && !tlv.truncated && tlv.value->getLength() == 0);

    // Contents over 512 octets: stepped over, not copied.
    SNMPBERCodec::extractNextTLV(exact(hex("04 82 02 58") + QByteArray(600, 'z')).get(), 0, &tlv);
    QVERIFY(tlv.totalLength == 604 && !tlv.truncated && tlv.value->getLength() == 0);

    // A unit further in, with the multi-octet tag marker taken as its tag.
    SNMPBERCodec::extractNextTLV(exact(hex("05 00 1F 01 2A")).get(), 2, &tlv);
    QCOMPARE(tlv.tag, uchar(0x1F));
    QCOMPARE(held(*tlv.value), hex("2A"));
}

void TestSnmp::malformedUnitsStayInsideTheInput_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("position");
    QTest::newRow("contents cut") << hex("04 05 61 62") << 0;
    QTest::newRow("tag only") << hex("04") << 0;
    QTest::newRow("long-form header cut") << hex("04 82 01") << 0;
    QTest::newRow("five length octets") << hex("04 85 00 00 00 00 01 41") << 0;
    QTest::newRow("length 2^31") << hex("04 84 80 00 00 00 41 42") << 0;
    QTest::newRow("huge length") << hex("30 84 7F FF FF FF 02 01 00") << 0;
    QTest::newRow("past the end") << hex("05 00") << 2;
    QTest::newRow("negative position") << hex("05 00") << -1;
}

void TestSnmp::malformedUnitsStayInsideTheInput()
{
    QFETCH(QByteArray, input);
    QFETCH(int, position);
    SNMPTLV tlv;
    tlv.value->append("stale", 0, 5);
    SNMPBERCodec::extractNextTLV(exact(input).get(), position, &tlv);   // exact: ASan sees over-reads
    QVERIFY(tlv.truncated);
    QCOMPARE(tlv.value->getLength(), 0);
    QCOMPARE(tlv.totalLength, std::max(2, position >= 0 ? input.size() - position : 0));
    QVERIFY(SNMPBERCodec::extractEncoding(&tlv) == nullptr);
    if (position >= 0) {   // in a sequence the walk stops there and keeps what came before
        SNMPSequence sequence(exact(hex("02 01 07") + input.mid(position)).get());
        QCOMPARE(sequence.size(), 1);
    }
}

void TestSnmp::truncatedAndNestedInputEnds()
{
    const QByteArray message = hex(kGetSysDescr);
    for (int n = 0; n < message.size(); ++n)
        QVERIFY2(decodeMessage(message.left(n)) == nullptr, qPrintable(QString::number(n)));
    for (int n = 0; n < message.size() - 2; ++n) {   // contents cut: no cut unit becomes an element
        SNMPMessage partial(exact(message.mid(2, n)).get());
        QVERIFY(!partial.isValid() && partial.getPDU() == nullptr);
    }
    // Sequences nested 100 deep within 512 octets decode to the bottom.
    QByteArray nested = hex("05 00");
    for (int depth = 0; depth < 100; ++depth) {
        const QByteArray length = nested.size() < 128 ? QByteArray(1, char(nested.size()))
                                                      : QByteArray(1, char(0x81)) + char(nested.size());
        nested = QByteArray(1, char(0x30)) + length + nested;
    }
    std::unique_ptr<SNMPObject> top = decodeUnit(nested);
    int depth = 0;
    SNMPObject* at = top.get();
    for (; at != nullptr && at->tag == 0x30; ++depth)
        at = static_cast<SNMPSequence*>(at)->getSNMPObjectAt(0);
    QCOMPARE(depth, 100);
    QVERIFY(at != nullptr && at->tag == 0x05);
    // Zeros are a walk of empty unknown units; the odd last byte ends it.
    QCOMPARE(SNMPSequence(exact(QByteArray(9, '\0')).get()).size(), 4);
}

// ---- Value objects ----

void TestSnmp::values_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("decoded");
    auto row = [](const char* kind, const QByteArray& input, const char* expected, const QString& decoded) {
        QTest::addRow("%s %s", kind, input.left(24).constData()) << kind << input << hex(expected) << decoded;
    };
    const std::pair<int64_t, const char*> integers[] = {{0, "02 01 00"}, {6, "02 01 06"}, {127, "02 01 7F"},
        {128, "02 02 00 80"}, {133, "02 02 00 85"}, {255, "02 02 00 FF"}, {256, "02 02 01 00"}, {-1, "02 01 FF"},
        {-128, "02 01 80"}, {-129, "02 02 FF 7F"},
        {std::numeric_limits<int64_t>::max(), "02 08 7F FF FF FF FF FF FF FF"},
        {std::numeric_limits<int64_t>::min(), "02 08 80 00 00 00 00 00 00 00"}};
    for (const auto& i : integers)
        row("integer", QByteArray::number(qint64(i.first)), i.second, QString::number(i.first));
    row("timeticks", "200", "43 02 00 C8", "200");
    row("timeticks", "4294967295", "43 05 00 FF FF FF FF", "4294967295");
    row("uinteger32", "7", "47 01 07", "7");
    row("oid", "1.3.6.1.2.1.1.1.0", "06 08 2B 06 01 02 01 01 01 00", "1.3.6.1.2.1.1.1.0");
    row("oid", "1.3.6.1.4.1.32473.1.1", "06 0A 2B 06 01 04 01 81 FD 59 01 01", "1.3.6.1.4.1.32473.1.1");
    row("oid", "2.100.3", "06 03 81 34 03", "2.100.3");   // first subidentifier 80 and above
    row("oid", "1.39", "06 01 4F", "1.39");
    row("oid", "1", "06 01 28", "1.0");
    row("oid", "", "06 00", "");
    row("oid", " 1..3  6.", "06 02 2B 06", "1.3.6");
    row("oid", "1.3.4294967295", "06 06 2B 8F FF FF FF 7F", "1.3.-1");   // low 32 bits
    row("oid", "1.3.4294967296", "06 02 2B 00", "1.3.0");
    row("oid", "2.4294967295", "06 05 90 80 80 80 4F", "2.-1");
    row("oid", "a.b.-1", "06 06 00 8F FF FF FF 7F", "0.0.-1");
    row("ip", "192.168.1.300", "40 04 C0 A8 01 2C", "c0 a8 01 2c");
    row("ip", "0.0.0.0", "40 04 00 00 00 00", "00 00 00 00");
    row("string", "abc", "04 03 61 62 63", "61 62 63");
    row("string", QByteArray(513, 'L'), "04 00", "");
    row("null", "", "05 00", "null");
}

void TestSnmp::values()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(QString, decoded);
    QByteArray text = input;   // writable: the constructors must leave it as it is
    std::unique_ptr<SNMPObject> sent;
    if (kind == "integer")
        sent = std::make_unique<SNMPInteger>(input.toLongLong());
    else if (kind == "timeticks")
        sent = std::make_unique<SNMPTimeTicks>(input.toLongLong());
    else if (kind == "uinteger32")
        sent = std::make_unique<SNMPUInteger32>(input.toLongLong());
    else if (kind == "oid")
        sent = std::make_unique<SNMPObjectIdentifier>(text.data());
    else if (kind == "ip")
        sent = std::make_unique<SNMPIPAddress>(text.data());
    else if (kind == "string")
        sent = std::make_unique<SNMPOctetString>(text.data());
    else
        sent = std::make_unique<SNMPNull>();
    QCOMPARE(text, input);
    QCOMPARE(encode(*sent), expected);
    std::unique_ptr<SNMPObject> received = decodeUnit(expected);
    QVERIFY(received != nullptr);
    QCOMPARE(typeid(*received).name(), typeid(*sent).name());
    QCOMPARE(describe(received.get()), decoded);
    QCOMPARE(encode(*received), expected);
}

void TestSnmp::receivedValueRules()
{
    auto decoded = [](const char* unit) { return describe(decodeUnit(hex(unit)).get()); };
    QCOMPARE(decoded("02 02 00 FF"), QString("255"));
    QCOMPARE(decoded("02 00"), QString("0"));
    QCOMPARE(decoded("02 09 FF 80 00 00 00 00 00 00 01"), QString::number(std::numeric_limits<qint64>::min() + 1));
    QCOMPARE(decoded("43 01 FF"), QString("255"));   // TimeTicks and UInteger32 read unsigned
    QCOMPARE(decoded("47 01 80"), QString("128"));
    QCOMPARE(decoded("40 03 7F 00 00"), QString(""));   // an address of other than 4 octets
    QCOMPARE(decoded("06 07 2B 81 80 80 80 80 01"), QString("1.3"));   // 6-octet subidentifier stops
    QCOMPARE(decoded("06 06 2B 90 80 80 80 00"), QString("1.3.0"));     // 5 octets: low 32 bits
    QCOMPARE(decoded("06 02 2B 81"), QString("1.3"));                   // unterminated
    QCOMPARE(decoded("06 02 81 82"), QString(""));
    QCOMPARE(decoded("44 00"), QString("null"));

    SNMPIPAddress three("10.1.2");
    QCOMPARE(encode(three), hex("40 03 0A 01 02"));
    QByteArray many;
    for (int i = 0; i < 600; ++i)
        many += "1.";
    QCOMPARE(SNMPObjectIdentifier(many.constData()).getDigits()->getLength(), 512);
    SNMPOctetString full(QByteArray(512, 'L').constData());
    QCOMPARE(encode(full), hex("04 82 02 00") + QByteArray(512, 'L'));
    ByteArray two(2);
    full.toString(&two);
    QCOMPARE(held(two), QByteArray("LL"));

    for (const char* unit : {"41 01 05", "42 01 05", "A5 01 05"}) {
        std::unique_ptr<SNMPObject> unknown = decodeUnit(hex(unit));
        auto* object = dynamic_cast<SNMPUnknownObject*>(unknown.get());
        QVERIFY(object != nullptr && object->tag == 0x00);
        QCOMPARE(object->getOriginalTag(), uchar(hex(unit)[0]));
        QCOMPARE(encode(*object), hex("00 01 05"));
    }
}

void TestSnmp::threadsSplitTextIndependently()
{
    // A splitter with shared state would mix the tokens of the threads.
    const char* const oids[] = {"1.3.6.1.2.1.1.1.0", "1.3.6.1.4.1.32473.9.8.7", "2.100.3", "1.3.6.1.2.1.2.2.1.10.1"};
    const char* const addresses[] = {"10.0.0.1", "192.168.77.200", "172.16.5.4", "127.0.0.1"};
    auto build = [&](int t) {
        return request(SNMPPDU::kGetNextRequest, t, oids[t], addresses[t], new SNMPIPAddress(addresses[t]));
    };
    std::vector<QByteArray> expected;
    for (int t = 0; t < 4; ++t)
        expected.push_back(build(t));
    std::vector<int> mismatches(4, 0);   // one counter per thread
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 400; ++i) {
                const QByteArray bytes = build(t);
                std::unique_ptr<SNMPMessage> back = decodeMessage(bytes);
                if (bytes != expected[size_t(t)] || !back || !back->isValid())
                    ++mismatches[size_t(t)];
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(mismatches[0] + mismatches[1] + mismatches[2] + mismatches[3], 0);
}

// ---- Sequences, PDUs and messages ----

void TestSnmp::sequenceVectors()
{
    SNMPSequence empty;
    QCOMPARE(encode(empty), hex("30 00"));
    SNMPPDU pdu(SNMPPDU::kGetRequest, 1, 0, 0, oneBinding("1.3.6.1.2.1.1.1.0", new SNMPInteger(0)));
    QCOMPARE(encode(pdu), hex("A0 1A 02 01 01 02 01 00 02 01 00 30 0F 30 0D 06 08 2B 06 01 02 01 01 01 00 02 01 00"));

    SNMPSequence mixed(exact(hex("02 01 05 04 00 05 00")).get());
    QCOMPARE(mixed.size(), 3);
    QCOMPARE(describe(mixed.getSNMPObjectAt(0)), QString("5"));
    QCOMPARE(mixed.getSNMPObjectAt(1)->tag, uchar(0x04));
    QCOMPARE(describe(mixed.getSNMPObjectAt(1)), QString(""));
    QCOMPARE(describe(mixed.getSNMPObjectAt(2)), QString("null"));
    QVERIFY(mixed.getSNMPObjectAt(3) == nullptr && mixed.getSNMPObjectAt(-1) == nullptr);

    // The query's get request, byte for byte, and what a receiver reads of it.
    const QByteArray bytes = request(SNMPPDU::kGetRequest, 1, "1.3.6.1.2.1.1.1.0", "public", new SNMPInteger(0));
    QCOMPARE(bytes, hex(kGetSysDescr));
    std::unique_ptr<SNMPMessage> message = decodeMessage(bytes);
    QVERIFY(message && message->isValid());
    QCOMPARE(message->getVersion(), 0);
    QCOMPARE(describe(message->getCommunity()), QString("70 75 62 6c 69 63"));
    SNMPPDU* received = message->getPDU();
    QVERIFY(received != nullptr && received->isValid());
    QVERIFY(received->tag == 0xA0 && received->getRequestID() == 1);
    auto* pair = static_cast<SNMPSequence*>(received->getVarBindList()->getSNMPObjectAt(0));
    QCOMPARE(describe(pair->getSNMPObjectAt(0)), QString("1.3.6.1.2.1.1.1.0"));
    QCOMPARE(encode(*message), bytes);
}

void TestSnmp::responseAndTrapRoundTrip()
{
    // A get-response as an agent sends it: 4-octet request id, noSuchName at index 1.
    std::unique_ptr<SNMPMessage> message = decodeMessage(hex(
        "30 2B 02 01 00 04 06 6B 65 73 74 72 6F A2 1E 02 04 12 34 56 78 02 01 02 02 01 01"
        " 30 10 30 0E 06 08 2B 06 01 02 01 01 01 00 04 02 6F 6B"));
    QVERIFY(message && message->isValid());
    SNMPPDU* pdu = message->getPDU();
    QCOMPARE(pdu->tag, uchar(SNMPPDU::kGetResponse));
    QCOMPARE(pdu->getRequestID(), 0x12345678);
    QCOMPARE(pdu->getErrorStatus(), 2);
    QCOMPARE(pdu->getErrorIndex(), 1);
    auto* pair = static_cast<SNMPSequence*>(pdu->getVarBindList()->getSNMPObjectAt(0));
    QCOMPARE(describe(pair->getSNMPObjectAt(1)), QString("6f 6b"));
    QVERIFY(message->getTrapPDU() == nullptr);

    auto* trap = new SNMPTrapPDU(new SNMPObjectIdentifier("1.3.6.1.4.1.32473.1.1"), new SNMPIPAddress("10.0.0.9"),
                                 6, 17, new SNMPTimeTicks(4294967295u),
                                 oneBinding("1.3.6.1.4.1.32473.1.1.1", new SNMPOctetString("Disk failed")));
    SNMPMessage sent(0, "kestro", trap);
    const QByteArray bytes = encode(sent);
    QCOMPARE(bytes.left(4), hex("30 4A 02 01"));
    QCOMPARE(bytes.mid(13, 16), hex("A4 3D 06 0A 2B 06 01 04 01 81 FD 59 01 01 40 04"));
    std::unique_ptr<SNMPMessage> received = decodeMessage(bytes);
    QVERIFY(received && received->isValid() && received->getPDU() == nullptr);
    SNMPTrapPDU* back = received->getTrapPDU();
    QVERIFY(back != nullptr && back->isValid());
    QCOMPARE(describe(back->getEnterprise()), QString("1.3.6.1.4.1.32473.1.1"));
    QCOMPARE(describe(back->getAgentAddress()), QString("0a 00 00 09"));
    QVERIFY(back->getGenericTrap() == 6 && back->getSpecificTrap() == 17);
    QCOMPARE(back->getTimeStamp()->getValue(), int64_t(4294967295u));
    QCOMPARE(back->getVarBindList()->size(), 1);
    QCOMPARE(encode(*received), bytes);
}

void TestSnmp::missingPartsGiveNull()
{
    std::unique_ptr<SNMPMessage> noPdu = decodeMessage(hex("30 0B 02 01 00 04 06 70 75 62 6C 69 63"));
    QVERIFY(noPdu && !noPdu->isValid());
    QVERIFY(noPdu->getPDU() == nullptr && noPdu->getTrapPDU() == nullptr);
    // An address where the community belongs and an INTEGER where the PDU belongs.
    std::unique_ptr<SNMPMessage> wrong = decodeMessage(hex("30 0C 02 01 00 40 04 01 02 03 04 02 01 01"));
    QVERIFY(wrong->getPDU() == nullptr && wrong->getCommunity() == nullptr && !wrong->isValid());

    auto pduOf = [](const char* unit) {
        return std::unique_ptr<SNMPPDU>(dynamic_cast<SNMPPDU*>(decodeUnit(hex(unit)).release()));
    };
    std::unique_ptr<SNMPPDU> bare = pduOf("A2 09 02 01 07 02 01 00 02 01 00");   // no bindings
    QVERIFY(bare->getRequestID() == 7 && bare->getVarBindList() == nullptr && !bare->isValid());
    std::unique_ptr<SNMPPDU> odd = pduOf("A2 0B 04 01 07 02 01 03 02 01 00 A2 00");   // a string id, a PDU list
    QVERIFY(odd->getRequestID() == 0 && odd->getErrorStatus() == 3);
    QVERIFY(odd->getVarBindList() == nullptr && !odd->isValid());
    std::unique_ptr<SNMPPDU> ticks = pduOf("A2 0B 43 01 07 02 01 00 02 01 00 30 00");   // INTEGER only
    QVERIFY(ticks->getRequestID() == 0 && !ticks->isValid());
    std::unique_ptr<SNMPPDU> empty = pduOf("A2 00");
    QVERIFY(empty->getErrorStatus() == 0 && empty->getErrorIndex() == 0 && !empty->isValid());

    std::unique_ptr<SNMPObject> trap = decodeUnit(hex("A4 03 02 01 06"));
    auto* t = static_cast<SNMPTrapPDU*>(trap.get());
    QVERIFY(t->getEnterprise() == nullptr && t->getAgentAddress() == nullptr);
    QVERIFY(t->getTimeStamp() == nullptr && t->getVarBindList() == nullptr);
    QVERIFY(t->getGenericTrap() == 0 && !t->isValid());

    SNMPPDU noList(SNMPPDU::kGetRequest, 1, 0, 0, nullptr);   // a null element is not stored
    QVERIFY(noList.size() == 3 && noList.getVarBindList() == nullptr);
}

void TestSnmp::oversizedEncodingsAreLeftOut()
{
    // Bindings that together pass 512 bytes: nothing of the message is written.
    auto* list = new SNMPSequence();
    const QByteArray text(200, 'v');
    for (int i = 0; i < 3; ++i)
        list->addSNMPObject(new SNMPVariablePair(new SNMPObjectIdentifier("1.3.6.1"),
                                                 new SNMPOctetString(text.constData())));
    SNMPMessage big(0, "public", new SNMPPDU(SNMPPDU::kGetResponse, 1, 0, 0, list));
    ByteArray out(4096);
    out.append('#');
    QVERIFY(!big.getBEREncoding(&out));
    QCOMPARE(held(out), QByteArray("#"));
    // A unit that does not fit into the caller's buffer is not written in part.
    SNMPOctetString abc("abc");
    ByteArray four(4);
    QVERIFY(!abc.getBEREncoding(&four));
    QCOMPARE(four.getLength(), 0);
    // A message whose outer contents pass 512 octets decodes without elements.
    std::unique_ptr<SNMPMessage> huge = decodeMessage(hex("30 82 02 58 02 01 00") + QByteArray(597, '\0'));
    QVERIFY(huge != nullptr && huge->size() == 0 && huge->getPDU() == nullptr);
}

// ---- External peers ----

void TestSnmp::opensslParsesGetRequest()
{
    if (!QFile::exists("/usr/bin/openssl"))
        QSKIP("openssl not installed");
    QTemporaryDir dir;
    QFile file(dir.filePath("get.der"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(request(SNMPPDU::kGetRequest, 1, "1.3.6.1.2.1.1.1.0", "public", new SNMPInteger(0)));
    file.close();
    QProcess openssl;
    openssl.start("/usr/bin/openssl", {"asn1parse", "-inform", "DER", "-in", file.fileName()});
    QVERIFY(openssl.waitForFinished(10000));
    const QString output = QString::fromLatin1(openssl.readAllStandardOutput() + openssl.readAllStandardError());
    QVERIFY2(openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0, qPrintable(output));
    for (const char* line : {"0:d=0\\s+hl=2\\s+l=\\s*39 cons: SEQUENCE", "OCTET STRING\\s*:public",
                             "d=2\\s+hl=2\\s+l=\\s*1 prim: INTEGER\\s*:01", "OBJECT\\s*:1\\.3\\.6\\.1\\.2\\.1\\.1\\.1\\.0"})
        QVERIFY2(output.contains(QRegularExpression(line)), qPrintable(output));
}

namespace {

int freeUdpPort()
{
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

// Sends one datagram to 127.0.0.1:port and waits for the answer, decoded; nullptr on time-out.
std::unique_ptr<SNMPMessage> exchange(int port, const QByteArray& datagram, int timeoutMs)
{
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray reply(2048, '\0');
    pollfd p{s, POLLIN, 0};
    ssize_t got = -1;
    if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        send(s, datagram.constData(), size_t(datagram.size()), 0) == datagram.size() && poll(&p, 1, timeoutMs) == 1)
        got = recv(s, reply.data(), size_t(reply.size()), 0);
    close(s);
    return got > 0 ? decodeMessage(reply.left(int(got))) : nullptr;
}

}  // namespace

void TestSnmp::realAgent()
{
    const QString snmpd = qEnvironmentVariable("PALVIR_SNMPD", "/usr/sbin/snmpd");   // another agent binary
    if (!QFile::exists(snmpd))
        QSKIP("snmpd not installed");
    QTemporaryDir dir;
    QFile conf(dir.filePath("snmpd.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("rocommunity kestro 127.0.0.1\nsysDescr Palvir test agent\n");
    conf.close();
    const int port = freeUdpPort();
    QProcess agent;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SNMP_PERSISTENT_DIR", dir.path());
    agent.setProcessEnvironment(env);
    agent.setProcessChannelMode(QProcess::MergedChannels);
    agent.start(snmpd, {"-f", "-Lo", "-C", "-c", conf.fileName(), "-m", "", QString("udp:127.0.0.1:%1").arg(port)});
    if (!agent.waitForStarted(5000))
        QSKIP("snmpd could not be started");

    // A get request with a NULL placeholder, repeated until the agent listens.
    const QByteArray probe = request(SNMPPDU::kGetRequest, 99, "1.3.6.1.2.1.1.1.0", "kestro", new SNMPNull());
    std::unique_ptr<SNMPMessage> reply;
    QElapsedTimer waited;
    waited.start();
    while (!reply && waited.elapsed() < 10000 && agent.state() == QProcess::Running) {
        reply = exchange(port, probe, 250);
        if (!reply)
            QTest::qSleep(100);   // a refused datagram comes back at once
    }
    if (!reply) {
        agent.kill();
        agent.waitForFinished(3000);
        QSKIP(qPrintable("snmpd did not answer: " + QString::fromLocal8Bit(agent.readAll()).simplified().left(300)));
    }
    // The query's own get request for sysDescr.0, with its INTEGER 0 placeholder.
    reply = exchange(port, request(SNMPPDU::kGetRequest, 1, "1.3.6.1.2.1.1.1.0", "kestro", new SNMPInteger(0)), 3000);
    QVERIFY(reply && reply->isValid());
    SNMPPDU* pdu = reply->getPDU();
    QVERIFY(pdu != nullptr && pdu->isValid());
    QVERIFY(pdu->tag == SNMPPDU::kGetResponse && pdu->getRequestID() == 1 && pdu->getErrorStatus() == 0);
    auto* pair = dynamic_cast<SNMPSequence*>(pdu->getVarBindList()->getSNMPObjectAt(0));
    QVERIFY(pair != nullptr && pair->getSNMPObjectAt(1) != nullptr);
    QCOMPARE(pair->getSNMPObjectAt(1)->tag, uchar(0x04));
    ByteArray text;
    static_cast<SNMPOctetString*>(pair->getSNMPObjectAt(1))->toString(&text);
    QCOMPARE(held(text), QByteArray("Palvir test agent"));

    // Get-next steps from sysDescr.0: each answer names a later identifier, and its value
    // decodes whatever its type (identifier, TimeTicks, counters and gauges as unknown objects).
    QString previous = "1.3.6.1.2.1.1.1.0";
    QStringList seen;
    for (int step = 0; step < 12; ++step) {
        const QByteArray next = request(SNMPPDU::kGetNextRequest, 100 + step, previous.toLatin1().constData(),
                                        "kestro", new SNMPNull());
        std::unique_ptr<SNMPMessage> answer = exchange(port, next, 3000);
        QVERIFY2(answer && answer->getPDU() != nullptr, qPrintable(previous));
        SNMPPDU* p = answer->getPDU();
        QCOMPARE(p->getRequestID(), 100 + step);
        if (step > 0 && p->getErrorStatus() != 0)
            break;   // the end of the agent's view
        QCOMPARE(p->getErrorStatus(), 0);
        auto* binding = dynamic_cast<SNMPSequence*>(p->getVarBindList()->getSNMPObjectAt(0));
        QVERIFY(binding != nullptr && binding->size() == 2);
        auto* oid = dynamic_cast<SNMPObjectIdentifier*>(binding->getSNMPObjectAt(0));
        QVERIFY(oid != nullptr);
        const QString current = components(*oid);
        QVector<uint> a, b;
        for (const QString& c : previous.split('.')) a << c.toUInt();
        for (int i = 0; i < oid->getDigits()->getLength(); ++i) b << uint((*oid->getDigits())[i]);
        QVERIFY2(std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end()), qPrintable(current));
        SNMPObject* value = binding->getSNMPObjectAt(1);
        auto* unknown = dynamic_cast<SNMPUnknownObject*>(value);
        seen << QString::number(unknown ? unknown->getOriginalTag() : value->tag, 16);
        if (value->tag == 0x43)
            QVERIFY(dynamic_cast<SNMPTimeTicks*>(value) != nullptr);
        previous.clear();
        for (uint c : b) previous += (previous.isEmpty() ? "" : ".") + QString::number(c);
    }
    qInfo("value tags seen: %s", qPrintable(seen.join(' ')));
    agent.terminate();
    if (!agent.waitForFinished(3000))
        agent.kill();
    agent.waitForFinished(3000);
}

QTEST_APPLESS_MAIN(TestSnmp)
#include "test_snmp.moc"
