#include "smtp/smtp.h"

#include "smtp/smtpreply.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSslSocket>
#include <QTextStream>
#include <QTimer>

#include <atomic>

namespace {

// Mail objects that exist: each deletes itself when its dialogue ends.
std::atomic<int> g_live{0};


// The message's fixed parts.
const QLatin1String kOuterBoundary("Part_000_#BD87974060#");
const QLatin1String kInnerBoundary("Part_001_#BD87974060#");
const QLatin1String kProductName("Palvir");
const QLatin1String kProductVersion("1.0.1");
constexpr int kBase64LineLength = 76;   // the longest encoded line MIME allows
constexpr qint64 kReadPiece = 4096;     // bytes of the attachment read at a time

// The dialogue's commands and the replies it waits for.
const QLatin1String kHello("EHLO localhost\r\n");
const QLatin1String kAuthLogin("AUTH LOGIN\r\n");
const QLatin1String kData("DATA\r\n");
const QLatin1String kQuit("QUIT\r\n");
const QLatin1String kLineEnd("\r\n");
const QLatin1String kEndOfData("\r\n.\r\n");
const QLatin1String kAuthWord("AUTH");
const QLatin1String kLoginWord("LOGIN");
const QLatin1String kServiceReady("220");
const QLatin1String kOkay("250");
const QLatin1String kWillForward("251");
const QLatin1String kAuthPrompt("334");
const QLatin1String kAuthAccepted("235");
const QLatin1String kStartInput("354");

constexpr int kMinPort = 1;
constexpr int kMaxPort = 65535;

QString base64Line(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toBase64());
}

// The body's Base64, cut into lines of at most 76 characters, each ended by LF.
QString wrappedBase64(const QString& body)
{
    const QByteArray encoded = body.toUtf8().toBase64();
    QString lines;
    for (int at = 0; at < encoded.size(); at += kBase64LineLength)
        lines += QString::fromLatin1(encoded.mid(at, kBase64LineLength)) + '\n';
    return lines.isEmpty() ? QStringLiteral("\n") : lines;
}

// One line of the attachment: up to its first NUL byte, ended by LF.
QString attachmentLine(QByteArray line)
{
    const int nul = line.indexOf('\0');
    if (nul >= 0)
        line.truncate(nul);
    else if (line.endsWith('\n'))
        line.chop(1);
    return QString::fromUtf8(line) + '\n';
}

// The attachment's lines, each ended by LF (a last line without one gets it, so that the
// closing boundary starts a line of its own). Read in pieces, so a long line costs no more
// than its length.
QString attachmentText(QFile& file)
{
    QString text;
    QByteArray line;
    qint64 budget = Smtp::kMaxAttachmentBytes;
    while (budget > 0 && !file.atEnd()) {
        const QByteArray piece = file.readLine(qMin(budget, kReadPiece) + 1);
        if (piece.isEmpty())
            break;
        budget -= piece.size();
        line += piece;
        if (line.endsWith('\n')) {
            text += attachmentLine(line);
            line.clear();
        }
    }
    if (!line.isEmpty())
        text += attachmentLine(line);
    if (budget <= 0 && !file.atEnd())
        qDebug("The attachment is cut after %lld bytes", static_cast<long long>(Smtp::kMaxAttachmentBytes));
    return text;
}

} // namespace

int Smtp::Live()
{
    return g_live.load();
}

Smtp::Smtp(const QString& user, const QString& pass, const QString& host, int port, int timeout)
{
    ++g_live;
    init();
    this->user = user;
    this->pass = pass;
    this->host = host;
    this->port = port;
    this->timeout = timeout;
    ssl = false;
}

void Smtp::init()
{
    user.clear();
    pass.clear();
    host.clear();
    port = kDefaultPort;
    timeout = kDefaultTimeout;
    ssl = false;
    stream = nullptr;
    state = AwaitGreeting;
    recipientIndex = 0;
    started = false;
    ended = false;
    socket = new QSslSocket(this);
    // Replies are read whole; a server that sends more than a reply's worth without ending it
    // is cut off, so the socket need not hold more.
    socket->setReadBufferSize(kMaxReplyBytes);
    connect(socket, &QSslSocket::readyRead, this, &Smtp::readyRead);
    connect(socket, &QSslSocket::connected, this, &Smtp::connected);
    connect(socket, &QSslSocket::errorOccurred, this, &Smtp::errorReceived);
    connect(socket, &QSslSocket::stateChanged, this, &Smtp::stateChanged);
    connect(socket, &QSslSocket::disconnected, this, &Smtp::disconnected);
    stepTimer = new QTimer(this);
    stepTimer->setSingleShot(true);
    connect(stepTimer, &QTimer::timeout, this, &Smtp::stepTimedOut);
}

Smtp::~Smtp()
{
    --g_live;
    disconnect(socket, nullptr, this, nullptr);
    delete stream;
    delete socket;
}

void Smtp::setSSL(bool checked)
{
    ssl = checked;
}

void Smtp::setUsername(QString& user)
{
    this->user = user;
}

void Smtp::setPassword(QString& pass)
{
    this->pass = pass;
}

void Smtp::setHost(QString& host)
{
    this->host = host;
}

void Smtp::setPort(int port)
{
    this->port = port;
}

void Smtp::setTimeout(int timeout)
{
    this->timeout = timeout;
}

int Smtp::limit() const
{
    return timeout > 0 ? timeout : kDefaultTimeout;
}

QString Smtp::buildMessage(const QString& from, const QString& subject, const QString& body, QFile& file)
{
    QString text;
    text += QStringLiteral("From: ") + from + '\n';
    text += QStringLiteral("Subject: =?UTF-8?B?") + base64Line(subject) + QStringLiteral("?=\n");
    text += QStringLiteral("Reply-To: ") + from + '\n';
    text += QStringLiteral("MIME-Version: 1.0\n");
    text += QStringLiteral("Content-Type: multipart/mixed;\n");
    text += QStringLiteral("        boundary=\"%1\"\n").arg(kOuterBoundary);
    text += QStringLiteral("X-Mailer: %1 %2\n").arg(kProductName, kProductVersion);
    text += '\n';
    text += QStringLiteral("--%1\n").arg(kOuterBoundary);
    text += QStringLiteral("Content-Type: multipart/alternative;\n");
    text += QStringLiteral("        boundary=\"%1\"\n").arg(kInnerBoundary);
    text += '\n';
    text += QStringLiteral("--%1\n").arg(kInnerBoundary);
    text += QStringLiteral("Content-Type: text/plain; format=flowed; charset=\"UTF-8\"\n");
    text += QStringLiteral("Content-Transfer-Encoding: base64\n");
    text += '\n';
    text += wrappedBase64(body);
    text += QStringLiteral("--%1--\n").arg(kInnerBoundary);
    if (!file.fileName().isEmpty() && file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QString name = QFileInfo(file.fileName()).fileName();
        text += QStringLiteral("--%1\n").arg(kOuterBoundary);
        text += QStringLiteral("Content-Type: text/plain; charset=\"UTF-8\"; name=%1\n").arg(name);
        text += QStringLiteral("Content-Transfer-Encoding: 7bit\n");
        text += QStringLiteral("Content-Disposition: attachment; filename=\"%1\"\n").arg(name);
        text += '\n';
        text += attachmentText(file);
    }
    text += QStringLiteral("--%1--\n").arg(kOuterBoundary);

    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    // The server removes the first dot of every line that begins with one: double it.
    text.replace(QLatin1String("\r\n."), QLatin1String("\r\n.."));
    return text;
}

void Smtp::sendMail(const QString& from, const QStringList& to, const QString& subject, const QString& body,
                    QFile& file)
{
    if (started) {
        qDebug("sendMail: this object has sent its mail already");
        return;
    }
    started = true;
    if (to.isEmpty()) {
        qDebug("The mail has no recipient and is not sent");
        finish(false);
        return;
    }
    if (port < kMinPort || port > kMaxPort) {
        qDebug("The mail server port %d is outside %d..%d; the mail is not sent", port, kMinPort, kMaxPort);
        finish(false);
        return;
    }
    QStringList addresses = to;
    addresses << from;
    for (const QString& address : qAsConst(addresses)) {
        if (address.contains('\r') || address.contains('\n')) {
            qDebug("A mail address holds a line break; the mail is not sent");
            finish(false);
            return;
        }
    }

    message = buildMessage(from, subject, body, file);
    this->from = from;
    recipients = to;
    state = AwaitGreeting;
    recipientIndex = 0;
    stream = new QTextStream(socket);
    stream->setCodec("UTF-8");
    if (ssl)
        socket->connectToHostEncrypted(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    else
        socket->connectToHost(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    if (!socket->waitForConnected(limit())) {
        qDebug().noquote() << QStringLiteral("\"%1\"").arg(socket->errorString());
        finish(true);
        return;
    }
    if (!ended)
        stepTimer->start(limit());   // the greeting (and with TLS the handshake) is the first step
}

void Smtp::readyRead()
{
    qDebug("readyRead");
    if (ended) {
        socket->readAll();
        return;
    }
    received += socket->readAll();
    while (!ended) {
        const smtpreply::Reply reply = smtpreply::firstReply(received.constData(), size_t(received.size()));
        if (reply.length == 0)
            break;
        const QByteArray bytes = received.left(int(reply.length));
        received.remove(0, int(reply.length));
        response = QString::fromUtf8(bytes);
        const QString code = QString::fromUtf8(bytes.mid(int(reply.lastLine), int(smtpreply::kCodeLength)));
        qDebug().noquote() << "Server response code:" << code;
        qDebug().noquote() << "Server response: " << response;
        handleReply(code);
        if (!ended)
            response.clear();
    }
    if (!ended && received.size() > kMaxReplyBytes) {
        response = QString::fromUtf8(received.left(kMaxReplyBytes));
        unexpectedReply();
    }
}

void Smtp::send(const QString& text)
{
    *stream << text;
    stream->flush();
    stepTimer->start(limit());
}

void Smtp::handleReply(const QString& code)
{
    switch (state) {
    case AwaitGreeting:
        if (code == kServiceReady) {
            send(kHello);
            state = AwaitHello;
            return;
        }
        break;
    case AwaitHello:
        if (code == kOkay) {
            if (ssl) {
                // With implicit TLS the connection is encrypted before the greeting arrives.
                if (!socket->isEncrypted()) {
                    socket->startClientEncryption();
                    socket->waitForEncrypted(limit());
                }
                if (!socket->isEncrypted()) {
                    // Nothing more goes over a connection that is not encrypted.
                    qDebug().noquote() << socket->errorString();
                    state = Closing;
                    finish(true);
                    return;
                }
            }
            send(kHello);
            state = AwaitSecondHello;
            return;
        }
        break;
    case AwaitSecondHello:
        if (code == kOkay) {
            if (response.contains(kAuthWord) && response.contains(kLoginWord)) {
                qDebug("Auth LOGIN");
                send(kAuthLogin);
                state = AwaitUserPrompt;
            } else {
                qDebug().noquote() << "MAIL FROM:<" + from + ">";
                send("MAIL FROM:<" + from + ">" + kLineEnd);
                state = AwaitSenderAccepted;
            }
            return;
        }
        break;
    case AwaitUserPrompt:
        if (code == kAuthPrompt) {
            qDebug("Username");
            send(base64Line(user) + kLineEnd);
            state = AwaitPasswordPrompt;
            return;
        }
        break;
    case AwaitPasswordPrompt:
        if (code == kAuthPrompt) {
            qDebug("Pass");
            send(base64Line(pass) + kLineEnd);
            state = AwaitAuthResult;
            return;
        }
        break;
    case AwaitAuthResult:
        if (code == kAuthAccepted) {
            qDebug().noquote() << "MAIL FROM:<" + from + ">";
            send("MAIL FROM:<" + from + ">" + kLineEnd);
            state = AwaitSenderAccepted;
            return;
        }
        break;
    case AwaitSenderAccepted:
        if (code == kOkay) {
            qDebug().noquote() << "RCPT TO:<" + recipients.at(0) + ">";
            send("RCPT TO:<" + recipients.at(0) + ">" + kLineEnd);
            if (recipients.size() >= 2) {
                recipientIndex = 1;
                state = AwaitNextRecipient;
            } else {
                state = AwaitLastRecipient;
            }
            return;
        }
        break;
    case AwaitNextRecipient: {
        // The replies to the recipients before the last are not examined.
        const QString& recipient = recipients.at(recipientIndex);
        qDebug().noquote() << "RCPT TO:<" + recipient + ">";
        send("RCPT TO:<" + recipient + ">" + kLineEnd);
        ++recipientIndex;
        state = recipientIndex >= recipients.size() ? AwaitLastRecipient : AwaitNextRecipient;
        return;
    }
    case AwaitLastRecipient:
        if (code == kOkay || code == kWillForward) {
            qDebug("Data");
            send(kData);
            state = AwaitDataGoAhead;
            return;
        }
        break;
    case AwaitDataGoAhead:
        if (code == kStartInput) {
            qDebug("Body");
            send(message + kEndOfData);
            state = AwaitMessageAccepted;
            return;
        }
        break;
    case AwaitMessageAccepted:
        if (code == kOkay) {
            qDebug("Quit");
            send(kQuit);
            state = Closing;
            return;
        }
        break;
    case Closing:
        qDebug("Close");
        finish(false);
        return;
    default:
        break;
    }
    unexpectedReply();
}

void Smtp::unexpectedReply()
{
    qDebug().noquote() << "Unexpected reply from SMTP server:\n\n" + response;
    state = Closing;
    finish(false);
}

void Smtp::finish(bool abortConnection)
{
    if (ended)
        return;
    ended = true;
    stepTimer->stop();
    if (abortConnection)
        socket->abort();
    else if (socket->state() != QAbstractSocket::UnconnectedState)
        socket->disconnectFromHost();
    deleteLater();
}

void Smtp::connected()
{
    qDebug("Connected ");
}

void Smtp::errorReceived(QAbstractSocket::SocketError socketError)
{
    qDebug() << "error " << socketError;
    finish(true);
}

void Smtp::stateChanged(QAbstractSocket::SocketState socketState)
{
    qDebug() << "stateChanged " << socketState;
}

void Smtp::disconnected()
{
    qDebug("disconneted");
    qDebug().noquote() << "error " + socket->errorString();
    finish(false);
}

void Smtp::stepTimedOut()
{
    qDebug("The SMTP server has not answered within %d ms", limit());
    state = Closing;
    finish(true);
}
