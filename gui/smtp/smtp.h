// One mail to an SMTP server: the MIME message, then the whole dialogue (greeting, EHLO twice,
// AUTH LOGIN when the server offers it, MAIL FROM, one RCPT TO per recipient, DATA, QUIT),
// driven by the socket's signals on the thread that made the object.
//
// The object deletes itself (deleteLater) at every ending: after the server's answer to QUIT,
// after an unexpected reply, on a refused or lost connection, a socket error, a failed TLS
// start, a server silent for longer than the time limit, and when sendMail refuses its
// arguments. The caller creates it with new, without a parent, and never deletes it.
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QFile;
class QSslSocket;
class QTextStream;
class QTimer;

class Smtp : public QObject {
    Q_OBJECT
public:
    // The dialogue's states: what the next reply answers.
    enum States {
        AwaitHello = 1,
        AwaitSecondHello = 2,
        AwaitUserPrompt = 3,
        AwaitPasswordPrompt = 4,
        AwaitSenderAccepted = 5,
        AwaitNextRecipient = 6,
        AwaitAuthResult = 7,
        AwaitLastRecipient = 8,
        AwaitGreeting = 9,
        AwaitDataGoAhead = 10,
        AwaitMessageAccepted = 11,
        Closing = 12,
    };

    static constexpr int kDefaultPort = 25;
    static constexpr int kDefaultTimeout = 30000;   // ms
    // A reply longer than this without its last line is no SMTP server's.
    static constexpr int kMaxReplyBytes = 64 * 1024;
    // Of a longer attachment file only its first this many bytes are attached.
    static constexpr qint64 kMaxAttachmentBytes = 16 * 1024 * 1024;

    Smtp(const QString& user, const QString& pass, const QString& host, int port = kDefaultPort,
         int timeout = kDefaultTimeout);
    ~Smtp() override;

    void setSSL(bool checked);

    // How many mail objects exist (each goes when its dialogue has ended).
    static int Live();

    // Builds the message and connects; the dialogue then runs from the event loop. An empty
    // recipient list, a port outside 1..65535, or a CR or LF in the sender or a recipient
    // sends nothing and ends the object. `file` is attached when it opens for reading as text;
    // it is left open.
    void sendMail(const QString& from, const QStringList& to, const QString& subject, const QString& body,
                  QFile& file);

    // The message exactly as it goes after DATA (CR LF line ends, projecting dots doubled),
    // without the terminating "\r\n.\r\n".
    static QString buildMessage(const QString& from, const QString& subject, const QString& body, QFile& file);

public slots:
    void setUsername(QString& user);
    void setPassword(QString& pass);
    void setHost(QString& host);
    void setPort(int port);
    void setTimeout(int timeout);

private slots:
    void readyRead();
    void connected();
    void errorReceived(QAbstractSocket::SocketError socketError);
    void stateChanged(QAbstractSocket::SocketState socketState);
    void disconnected();
    void stepTimedOut();

private:
    void init();
    void handleReply(const QString& code);
    void send(const QString& text);
    void unexpectedReply();
    // Ends the dialogue: no further command, the connection closed, the object deleted later.
    void finish(bool abortConnection);
    int limit() const;

    int timeout;
    QString message;
    QTextStream* stream;
    QSslSocket* socket;
    QString from;
    QStringList recipients;
    int recipientIndex;
    QString response;
    QString user;
    QString pass;
    QString host;
    bool ssl;
    int port;
    int state;

    QByteArray received;    // bytes read and not yet part of a complete reply
    QTimer* stepTimer;      // the limit on each step once the connection stands
    bool started;           // sendMail has been called
    bool ended;             // finish has run: nothing more is sent or acted on
};
