// The SNMPv1 trap sender: one trap, one UDP datagram, to one manager.
#pragma once

#include "zynconst.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class SNMP : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultPort = 162;
    static constexpr int kVersion1 = 0;
    static constexpr int kEnterpriseNumber = 32473;
    static constexpr int kGenericEnterpriseSpecific = 6;
    static constexpr int kMaxCommunityBytes = 255;

    explicit SNMP(QObject* parent = nullptr);

    // The trap's datagram: community (cut at a NUL and to 255 bytes), the fixed enterprise, the
    // agent address text, generic trap 6, `specific`, the time stamp and sysDescr.0 = `text`.
    // The text is shortened, never inside a UTF-8 sequence, until the whole message fits the
    // 512-byte buffer of the SNMP library. Empty only when not even an empty text fits.
    static QByteArray EncodeTrap(const QByteArray& community, const QByteArray& text, int specific,
                                 const QByteArray& agentAddress, quint32 timeStamp);

public slots:
    // Sends the trap and returns the bytes sent, or -1 (nothing sent) for a failed send, an
    // address that is not IPv4 (a null one included) or a port outside 1..65535.
    qint64 SendTrap(QString text, int specific, QHostAddress address, int port = kDefaultPort,
                    QString community = QString::fromLatin1(zynconst::kDefaultCommunity));
};
