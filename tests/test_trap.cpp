// The SNMPv1 trap sender: the datagram byte for byte, the size bound, refused addresses and
// ports, and real receivers: snmptrapd printing the fields, openssl decoding the datagram.
#include "peerfixture.h"
#include "snmp/snmp.h"

#include "snmpx.h"

#include <QtTest>
#include <QUdpSocket>

#include <ctime>

namespace {

const char kTrapdAddress[] = "127.0.0.163";     // snmptrapd
const char kListenAddress[] = "127.0.0.164";    // the test's own UDP listener
const int kWait = 10000;                        // ms for what must arrive

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// The text bound in a datagram, decoded with the library; "<none>" when it does not decode.
QByteArray boundText(const QByteArray& datagram)
{
    ByteArray in(datagram.size());
    in.append(datagram.constData(), 0, datagram.size());
    SNMPTLV tlv;
    SNMPBERCodec::extractNextTLV(&in, 0, &tlv);
    if (tlv.truncated)
        return "<none>";
    SNMPMessage message(tlv.value);
    SNMPTrapPDU* pdu = message.getTrapPDU();
    if (!pdu || !pdu->isValid())
        return "<none>";
    auto* pair = dynamic_cast<SNMPSequence*>(pdu->getVarBindList()->getSNMPObjectAt(0));
    auto* text = pair ? dynamic_cast<SNMPOctetString*>(pair->getSNMPObjectAt(1)) : nullptr;
    return text ? QByteArray(text->getData()->getArray(), text->getData()->getLength()) : QByteArray("<none>");
}

// The encoded size of the same trap with `text` in a buffer with room to spare.
int unboundedSize(const QByteArray& community, const QByteArray& text)
{
    auto* list = new SNMPSequence();
    list->addSNMPObject(new SNMPVariablePair(new SNMPObjectIdentifier("1.3.6.1.2.1.1.1.0"),
                                             new SNMPOctetString(text.constData())));
    SNMPMessage message(0, community.constData(),
                        new SNMPTrapPDU(new SNMPObjectIdentifier("1.3.6.1.4.1.32473.1.1"), new SNMPIPAddress("0.0.0.0"), 6,
                                        32895, new SNMPTimeTicks(int64_t(1700000000)), list));
    ByteArray out(4096);
    return message.getBEREncoding(&out) ? out.getLength() : -1;
}

// A UDP socket bound on a loopback address, for what the sender sends.
struct Listener {
    explicit Listener(const char* address, quint16 port = 0) { socket.bind(QHostAddress(address), port); }
    quint16 port() const { return socket.localPort(); }
    QByteArray next()
    {
        QElapsedTimer t;
        t.start();
        while (!socket.hasPendingDatagrams() && t.elapsed() < kWait)
            socket.waitForReadyRead(200);
        if (!socket.hasPendingDatagrams())
            return QByteArray();
        QByteArray d(int(socket.pendingDatagramSize()), '\0');
        socket.readDatagram(d.data(), d.size());
        return d;
    }
    QUdpSocket socket;
};

} // namespace

class TestTrap : public QObject {
    Q_OBJECT
private slots:
    void datagram_data();
    void datagram();
    void sizeBound_data();
    void sizeBound();
    void refused_data();
    void refused();
    void opensslDecodesSentTrap();
    void defaultsThroughTheMetaObject();
    void snmptrapd_data();
    void snmptrapd();
};

void TestTrap::datagram_data()
{
    QTest::addColumn<QByteArray>("community");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("specific");
    QTest::addColumn<QByteArray>("expected");
    const char* const enterprise = "06 0A 2B 06 01 04 01 81 FD 59 01 01 40 04 00 00 00 00 02 01 06";
    const char* const stamp = "43 04 65 53 F1 00";
    const char* const sysDescr = "06 08 2B 06 01 02 01 01 01 00";
    auto row = [&](const char* name, const QByteArray& community, const QByteArray& text, int specific,
                   const char* head, const char* pdu, const char* specificField, const char* lists) {
        QTest::newRow(name) << community << text << specific
                            << hex(head) + community + hex(pdu) + hex(enterprise) + hex(specificField) + hex(stamp) +
                                   hex(lists) + hex(sysDescr) + hex("04") + char(text.size()) + text;
    };
    row("event 1 5", "kestro", "abc", 133, "30 3F 02 01 00 04 06", "A4 32", "02 02 00 85", "30 11 30 0F");
    row("event 0 0", "kestro", "abc", 0, "30 3E 02 01 00 04 06", "A4 31", "02 01 00", "30 11 30 0F");
    row("event 255 255", "kestro", "abc", 255 * 128 + 255, "30 40 02 01 00 04 06", "A4 33", "02 03 00 80 7F",
        "30 11 30 0F");
    row("empty text", "kestro", "", 133, "30 3C 02 01 00 04 06", "A4 2F", "02 02 00 85", "30 0E 30 0C");
    row("community cut at NUL", QByteArray("kestro\0xyz", 10).left(6), "abc", 133, "30 3F 02 01 00 04 06", "A4 32",
        "02 02 00 85", "30 11 30 0F");
}

void TestTrap::datagram()
{
    QFETCH(QByteArray, community);
    QFETCH(QByteArray, text);
    QFETCH(int, specific);
    QFETCH(QByteArray, expected);
    QCOMPARE(SNMP::EncodeTrap(community, text, specific, "0.0.0.0", 1700000000).toHex(' '), expected.toHex(' '));
    // Whatever follows a NUL in the community is not part of it.
    QCOMPARE(SNMP::EncodeTrap(community + QByteArray("\0tail", 5), text, specific, "0.0.0.0", 1700000000),
             expected);
}

void TestTrap::sizeBound_data()
{
    QTest::addColumn<int>("communityLength");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("kept");   // bytes of the text the datagram carries
    // With the specific number 32895 and a four-octet time stamp the message holds 67 octets
    // besides the community and the text, one more from a community of 128 octets on.
    const QByteArray a600(600, 'a');
    QTest::newRow("c 0") << 0 << a600 << 445;
    QTest::newRow("c 6") << 6 << a600 << 439;
    QTest::newRow("c 127") << 127 << a600 << 318;
    QTest::newRow("c 128: two length octets") << 128 << a600 << 316;
    QTest::newRow("c 150") << 150 << a600 << 294;
    QTest::newRow("c 188") << 188 << a600 << 256;
    QTest::newRow("c 255: shorter lengths below 256") << 255 << a600 << 193;
    QTest::newRow("c 300 cut to 255") << 300 << a600 << 193;
    QTest::newRow("text that fits") << 6 << QByteArray(439, 'b') << 439;
    QTest::newRow("library's own limit passed") << 6 << QByteArray(513, 'c') << 439;
    QTest::newRow("two-byte characters, cut on a boundary") << 6 << QByteArray("a") + QString(300, QChar(0xE9)).toUtf8() << 439;
    QTest::newRow("two-byte characters, not inside one") << 7 << QByteArray("a") + QString(300, QChar(0xE9)).toUtf8() << 437;
    QTest::newRow("three-byte characters") << 6 << QString(300, QChar(0x20AC)).toUtf8() << 438;
    QTest::newRow("three-byte characters, c 8") << 8 << QString(300, QChar(0x20AC)).toUtf8() << 435;
}

void TestTrap::sizeBound()
{
    QFETCH(int, communityLength);
    QFETCH(QByteArray, text);
    QFETCH(int, kept);
    const QByteArray community(communityLength, 'k');
    const QByteArray datagram = SNMP::EncodeTrap(community, text, 32895, "0.0.0.0", 1700000000);
    QVERIFY(datagram.size() <= ByteArray::kDefaultSize);
    QCOMPARE(boundText(datagram), text.left(kept));
    // The longest: one more byte of the text would not fit (measured with room to spare).
    const QByteArray name = community.left(SNMP::kMaxCommunityBytes);
    QCOMPARE(unboundedSize(name, text.left(kept)), datagram.size());
    int next = kept + 1;   // the end of the character after the cut
    while (next < text.size() && (uchar(text.at(next)) & 0xC0) == 0x80)
        ++next;
    if (kept < text.size())
        QVERIFY(unboundedSize(name, text.left(next)) > ByteArray::kDefaultSize);
    QVERIFY(QString::fromUtf8(text.left(kept)).toUtf8() == text.left(kept));   // whole characters
}

void TestTrap::refused_data()
{
    QTest::addColumn<QString>("address");   // "": a null address
    QTest::addColumn<int>("port");          // 0: the listener's port; above 65535: added to it
    QTest::newRow("null address") << "" << 0;
    QTest::newRow("unparsable address") << "999.1.1.1" << 0;
    QTest::newRow("dots only") << "..." << 0;
    QTest::newRow("IPv6") << "::1" << 0;
    QTest::newRow("port 0") << kListenAddress << -1;
    QTest::newRow("negative port") << kListenAddress << -162;
    QTest::newRow("port beyond 65535 does not wrap") << kListenAddress << 65536;
}

void TestTrap::refused()
{
    QFETCH(QString, address);
    QFETCH(int, port);
    // A null address would reach the local host: listen there as well as on the test's address.
    Listener local("127.0.0.1");
    Listener own(kListenAddress);
    QVERIFY(local.port() != 0 && own.port() != 0);
    int target = port;
    if (port == 0)
        target = local.port();
    else if (port == -1)
        target = 0;
    else if (port > 65535)
        target = port + own.port();
    SNMP snmp;
    QCOMPARE(snmp.SendTrap("refused", 1, QHostAddress(address), target), qint64(-1));
    // A marker sent afterwards arrives first: the refused trap never left.
    QVERIFY(snmp.SendTrap("marker", 2, QHostAddress("127.0.0.1"), local.port()) > 0);
    QVERIFY(snmp.SendTrap("marker", 2, QHostAddress(kListenAddress), own.port()) > 0);
    QCOMPARE(boundText(local.next()), QByteArray("marker"));
    QCOMPARE(boundText(own.next()), QByteArray("marker"));
}

void TestTrap::opensslDecodesSentTrap()
{
    Listener listener(kListenAddress);
    SNMP snmp;
    const quint32 before = quint32(std::time(nullptr));
    const qint64 sent = snmp.SendTrap(QString::fromUtf8("Raid Set # 000 degraded"), 4 * 128 + 1,
                                      QHostAddress(kListenAddress), listener.port());
    const quint32 after = quint32(std::time(nullptr));
    const QByteArray datagram = listener.next();
    QCOMPARE(sent, qint64(datagram.size()));
    // The same bytes as the encoder makes with the time stamp the datagram carries.
    bool matched = false;
    for (quint32 t = before; t <= after && !matched; ++t)
        matched = datagram == SNMP::EncodeTrap("kestro", "Raid Set # 000 degraded", 513, "0.0.0.0", t);
    QVERIFY(matched);

    if (!QFile::exists("/usr/bin/openssl"))
        QSKIP("openssl is not installed: the datagram is not decoded by a second parser");
    QTemporaryDir dir;
    QFile file(dir.filePath("trap.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(datagram);
    file.close();
    QProcess openssl;
    openssl.start("/usr/bin/openssl", {"asn1parse", "-inform", "DER", "-in", file.fileName(), "-i"});
    QVERIFY(openssl.waitForFinished(kWait));
    const QString output = QString::fromLatin1(openssl.readAllStandardOutput() + openssl.readAllStandardError());
    QVERIFY2(openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0, qPrintable(output));
    QStringList lines;
    for (const QString& line : output.split('\n', Qt::SkipEmptyParts))
        lines << line.section(':', 1).simplified().replace(QRegularExpression("hl=\\d+ l= *\\d+ "), "");
    const QStringList expected{
        "d=0 cons: SEQUENCE", "d=1 prim: INTEGER :00", "d=1 prim: OCTET STRING :kestro", "d=1 cons: cont [ 4 ]",
        "d=2 prim: OBJECT :1.3.6.1.4.1.32473.1.1", "d=2 prim: appl [ 0 ]", "d=2 prim: INTEGER :06",
        "d=2 prim: INTEGER :0201", "d=2 prim: appl [ 3 ]", "d=2 cons: SEQUENCE", "d=3 cons: SEQUENCE",
        "d=4 prim: OBJECT :1.3.6.1.2.1.1.1.0", "d=4 prim: OCTET STRING :Raid Set # 000 degraded"};
    QCOMPARE(lines, expected);
}

void TestTrap::defaultsThroughTheMetaObject()
{
    // Port 162 and the community "kestro" when the caller names neither.
    Listener standard(kListenAddress, SNMP::kDefaultPort);
    if (standard.port() != SNMP::kDefaultPort)
        QSKIP("UDP port 162 cannot be bound here (not root)");
    SNMP snmp;
    qint64 sent = 0;
    QVERIFY(QMetaObject::invokeMethod(&snmp, "SendTrap", Qt::DirectConnection, Q_RETURN_ARG(qint64, sent),
                                      Q_ARG(QString, "abc"), Q_ARG(int, 133), Q_ARG(QHostAddress, QHostAddress(kListenAddress))));
    const QByteArray datagram = standard.next();
    QCOMPARE(sent, qint64(datagram.size()));
    QCOMPARE(datagram.size(), 65);
    QCOMPARE(datagram.mid(0, 13), hex("30 3F 02 01 00 04 06") + "kestro");
}

void TestTrap::snmptrapd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("specific");
    QTest::addColumn<QString>("community");
    QTest::addColumn<QString>("printed");   // the text as snmptrapd prints it
    QTest::newRow("event 1 5") << "abc" << 133 << "kestro" << "abc";
    QTest::newRow("volume failed") << "Volume failed: ZRC-1880-VOL#000" << 2 * 128 + 12 << "kestro"
                                   << "Volume failed: ZRC-1880-VOL#000";
    QTest::newRow("other community") << "Disk removed" << 3 * 128 + 1 << "site-7" << "Disk removed";
    QTest::newRow("long text shortened") << QString(600, 'x') << 255 * 128 + 255 << "kestro" << QString(439, 'x');
}

void TestTrap::snmptrapd()
{
    QFETCH(QString, text);
    QFETCH(int, specific);
    QFETCH(QString, community);
    QFETCH(QString, printed);
    peertest::TrapDaemon trapd;
    const QString why = trapd.start(kTrapdAddress, {"kestro", "site-7"});
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    SNMP snmp;
    // Until it listens: a trap repeated until it is printed.
    bool ready = false;
    for (QElapsedTimer t; !ready && (!t.isValid() || t.elapsed() < kWait);) {
        if (!t.isValid())
            t.start();
        snmp.SendTrap("ready", 1, QHostAddress(kTrapdAddress), trapd.port());
        ready = trapd.waitFor("\"ready\"", 1, 250);
    }
    if (!ready)
        QSKIP(qPrintable("snmptrapd printed no trap: " + trapd.output().simplified().left(300)));
    // A community it does not know is dropped; the trap after it is printed.
    QVERIFY(snmp.SendTrap("dropped", 1, QHostAddress(kTrapdAddress), trapd.port(), "unknown") > 0);
    QVERIFY(snmp.SendTrap(text, specific, QHostAddress(kTrapdAddress), trapd.port(), community) > 0);
    const QString expected = QString("community=TRAP, SNMP v1, community %1|enterprise=.1.3.6.1.4.1.32473.1.1|"
                                     "agent=0.0.0.0|generic=6|specific=.%2|vars=.1.3.6.1.2.1.1.1.0 = STRING: \"%3\"")
                                 .arg(community).arg(specific).arg(printed);
    QVERIFY2(trapd.waitFor(expected, 1, kWait), qPrintable(trapd.output()));
    QVERIFY2(!trapd.output().contains("dropped"), qPrintable(trapd.output()));
}

QTEST_GUILESS_MAIN(TestTrap)
#include "test_trap.moc"
