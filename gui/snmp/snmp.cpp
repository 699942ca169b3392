#include "snmp/snmp.h"

#include "snmpx.h"

#include <QUdpSocket>

#include <ctime>

namespace {

const char kEnterpriseFormat[] = "1.3.6.1.4.1.%1.1.1";
const char kSysDescr[] = "1.3.6.1.2.1.1.1.0";
constexpr int kMinPort = 1;
constexpr int kMaxPort = 65535;
constexpr unsigned char kUtf8ContinuationMask = 0xC0;
constexpr unsigned char kUtf8Continuation = 0x80;

QByteArray upToNul(const QByteArray& bytes)
{
    const int nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.left(nul);
}

// The whole message with the first `length` bytes of the text, or false when it does not fit.
bool encodeMessage(const QByteArray& community, const QByteArray& text, int length, int specific,
                   const QByteArray& agentAddress, quint32 timeStamp, QByteArray* out)
{
    const QByteArray enterprise = QString::fromLatin1(kEnterpriseFormat).arg(SNMP::kEnterpriseNumber).toLatin1();
    const QByteArray value = text.left(length);
    auto* bindings = new SNMPSequence();
    bindings->addSNMPObject(
        new SNMPVariablePair(new SNMPObjectIdentifier(kSysDescr), new SNMPOctetString(value.constData())));
    auto* pdu = new SNMPTrapPDU(new SNMPObjectIdentifier(enterprise.constData()),
                                new SNMPIPAddress(agentAddress.constData()), SNMP::kGenericEnterpriseSpecific,
                                specific, new SNMPTimeTicks(int64_t(timeStamp)), bindings);
    SNMPMessage message(SNMP::kVersion1, community.constData(), pdu);
    ByteArray buffer;
    if (!message.getBEREncoding(&buffer))
        return false;
    *out = QByteArray(buffer.getArray(), buffer.getLength());
    return true;
}

} // namespace

SNMP::SNMP(QObject* parent) : QObject(parent) {}

QByteArray SNMP::EncodeTrap(const QByteArray& community, const QByteArray& text, int specific,
                            const QByteArray& agentAddress, quint32 timeStamp)
{
    const QByteArray name = upToNul(community).left(kMaxCommunityBytes);
    const QByteArray words = upToNul(text);
    QByteArray datagram;
    // The library holds a longer octet string as an empty one, so such a text is never tried whole.
    if (words.size() <= ByteArray::kDefaultSize &&
        encodeMessage(name, words, words.size(), specific, agentAddress, timeStamp, &datagram))
        return datagram;
    // The longest text that fits: the message grows with the text, and a text of a whole
    // buffer's length cannot fit.
    int fits = -1;
    int low = 0;
    int high = qMin(words.size(), ByteArray::kDefaultSize);
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        QByteArray probe;
        if (encodeMessage(name, words, middle, specific, agentAddress, timeStamp, &probe)) {
            fits = middle;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    if (fits < 0)
        return QByteArray();
    // Keep whole characters: the byte after the cut must not continue a UTF-8 sequence.
    while (fits > 0 && (uchar(words.at(fits)) & kUtf8ContinuationMask) == kUtf8Continuation)
        --fits;
    encodeMessage(name, words, fits, specific, agentAddress, timeStamp, &datagram);
    return datagram;
}

qint64 SNMP::SendTrap(QString text, int specific, QHostAddress address, int port, QString community)
{
    // A null address would be taken for the local host; only a manager's IPv4 address is sent to.
    if (address.isNull() || address.protocol() != QAbstractSocket::IPv4Protocol) {
        qDebug("writeDatagram failed, error = %s", "invalid address");
        return -1;
    }
    if (port < kMinPort || port > kMaxPort) {
        qDebug("writeDatagram failed, error = %s", "invalid port");
        return -1;
    }
    QUdpSocket socket;
    socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0);
    const QByteArray agent = socket.localAddress().toString().toLocal8Bit();
    const QByteArray datagram = EncodeTrap(community.toLocal8Bit(), text.toUtf8(), specific, agent,
                                           quint32(std::time(nullptr)));
    if (datagram.isEmpty()) {
        qDebug("writeDatagram failed, error = %s", "the trap does not fit");
        return -1;
    }
    const qint64 sent = socket.writeDatagram(datagram, address, quint16(port));
    if (sent < 0)
        qDebug("writeDatagram failed, error = %s", socket.errorString().toLocal8Bit().constData());
    else
        qDebug("sent SNMP trap to ip[%s][%d]", address.toString().toLocal8Bit().constData(), port);
    return sent;
}
