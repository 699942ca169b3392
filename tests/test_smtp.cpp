// The SMTP client and its message: the exact message text, the reply reader, whole dialogues
// against a scripted server in the test (every ending deletes the client), and real mails
// through Debian's aiosmtpd, plain and over implicit TLS with a CA the test makes.
#include "smtp/smtp.h"
#include "smtp/smtpreply.h"

#include <QtTest>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextCodec>

namespace {

const char kScriptedAddress[] = "127.0.0.161";   // the scripted server
const char kRealAddress[] = "127.0.0.162";       // aiosmtpd
const char kSender[] = "raid@example.test";
const int kEnding = 20000;      // ms a test waits for an ending that must come
const int kPieceGap = 40;       // ms between the pieces of a reply the scripted server splits

// The fixed message around the parts that vary, as the receiving side must see it.
QByteArray head(const char* subjectBase64)
{
    return QByteArray("From: raid@example.test\r\n"
                      "Subject: =?UTF-8?B?") + subjectBase64 + "?=\r\n"
           "Reply-To: raid@example.test\r\n"
           "MIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed;\r\n"
           "        boundary=\"Part_000_#BD87974060#\"\r\n"
           "X-Mailer: Palvir 1.0.1\r\n"
           "\r\n"
           "--Part_000_#BD87974060#\r\n"
           "Content-Type: multipart/alternative;\r\n"
           "        boundary=\"Part_001_#BD87974060#\"\r\n"
           "\r\n"
           "--Part_001_#BD87974060#\r\n"
           "Content-Type: text/plain; format=flowed; charset=\"UTF-8\"\r\n"
           "Content-Transfer-Encoding: base64\r\n"
           "\r\n";
}

QByteArray attachmentHead(const char* name)
{
    return QByteArray("--Part_000_#BD87974060#\r\n"
                      "Content-Type: text/plain; charset=\"UTF-8\"; name=") + name + "\r\n"
           "Content-Transfer-Encoding: 7bit\r\n"
           "Content-Disposition: attachment; filename=\"" + name + "\"\r\n"
           "\r\n";
}

const QByteArray kInnerEnd = "--Part_001_#BD87974060#--\r\n";
const QByteArray kOuterEnd = "--Part_000_#BD87974060#--\r\n";

QByteArray built(const QString& subject, const QString& body, QFile& file)
{
    return Smtp::buildMessage(kSender, subject, body, file).toUtf8();
}

// An SMTP server that answers from a script and records every byte the client sends. Reply 0
// is the greeting; each command line (the message after DATA counts as one) takes the next
// reply. A reply "" stays silent, "<close>" closes the connection, and "|" splits a reply
// into pieces written kPieceGap ms apart.
class ScriptedServer : public QObject {
public:
    explicit ScriptedServer(const QStringList& replies) : m_replies(replies)
    {
        m_server.listen(QHostAddress(kScriptedAddress), 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = m_server.nextPendingConnection()) {
                ++connections;
                m_client = client;
                connect(client, &QTcpSocket::readyRead, this, [this] { takeCommands(); });
                connect(client, &QTcpSocket::disconnected, this, [this] { closed = true; });
                answer();
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }

    QByteArray transcript;
    int connections = 0;
    bool closed = false;

private:
    void answer()
    {
        if (m_next >= m_replies.size() || !m_client)
            return;
        const QString reply = m_replies.at(m_next++);
        if (reply == "<close>") {
            m_client->disconnectFromHost();
            return;
        }
        const QStringList pieces = reply.split('|');
        for (int i = 0; i < pieces.size(); ++i) {
            const QByteArray bytes = pieces.at(i).toUtf8();
            QPointer<QTcpSocket> client = m_client;
            QTimer::singleShot(i * kPieceGap, this, [client, bytes] {
                if (client)
                    client->write(bytes);
            });
        }
    }
    void takeCommands()
    {
        const QByteArray bytes = m_client->readAll();
        transcript += bytes;
        m_pending += bytes;
        for (;;) {
            const QByteArray end = m_inData ? QByteArray("\r\n.\r\n") : QByteArray("\r\n");
            const int at = m_pending.indexOf(end);
            if (at < 0)
                return;
            const QByteArray command = m_pending.left(at);
            m_pending.remove(0, at + end.size());
            const bool goAhead = m_next < m_replies.size() && QString(m_replies.at(m_next)).remove('|').startsWith("354");
            m_inData = !m_inData && command == "DATA" && goAhead;
            answer();
        }
    }

    QTcpServer m_server;
    QStringList m_replies;
    QPointer<QTcpSocket> m_client;
    QByteArray m_pending;
    int m_next = 0;
    bool m_inData = false;
};

// The client's lines joined with CR LF; "$M" stands for the message and its terminator.
QByteArray dialogue(const QStringList& lines, const QByteArray& message)
{
    QByteArray out;
    for (const QString& line : lines)
        out += (line == "$M" ? message + "\r\n." : line.toUtf8()) + "\r\n";
    return out;
}

bool waitDestroyed(QSignalSpy& spy)
{
    for (QElapsedTimer t; !t.isValid() || (spy.isEmpty() && t.elapsed() < kEnding);) {
        if (!t.isValid())
            t.start();
        if (spy.isEmpty())
            spy.wait(200);
    }
    return spy.count() == 1;
}

QString tool(const QString& path)
{
    return QFile::exists(path) ? path : QString();
}

bool run(const QString& program, const QStringList& arguments, const QString& folder, QString* output)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    const bool ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    *output = QString::fromLocal8Bit(p.readAll());
    return ok;
}

} // namespace

class TestSmtp : public QObject {
    Q_OBJECT
private slots:
    void message_data();
    void message();
    void attachmentIsBounded();
    void replyReader_data();
    void replyReader();
    void dialogues_data();
    void dialogues();
    void refusedBeforeConnecting_data();
    void refusedBeforeConnecting();
    void tlsAgainstPlainServerSendsNoCommand();
    void textGoesOutAsUtf8WhateverTheLocale();
    void realServer_data();
    void realServer();
    void untrustedServerGetsNothing();
    void cleanupTestCase();

private:
    bool startRealServer();
    QTemporaryDir m_peerDir;
    QProcess m_peer;
    quint16 m_plainPort = 0;
    quint16 m_tlsPort = 0;
    QString m_skip;
    bool m_started = false;
};

// ---- The message ----

void TestSmtp::message_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("fileName");    // "" : a file object without a name
    QTest::addColumn<QByteArray>("file");     // what the file holds; unused when it is not made
    QTest::addColumn<bool>("makeFile");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray hello = head("VGVzdCBtYWls") + "SGVsbG8=\r\n" + kInnerEnd;
    QTest::newRow("no attachment") << "Test mail" << "Hello" << "" << QByteArray() << false
                                   << QByteArray(hello + kOuterEnd);
    QTest::newRow("missing file") << "Test mail" << "Hello" << "absent.txt" << QByteArray() << false
                                  << QByteArray(hello + kOuterEnd);
    QTest::newRow("empty body") << "abc" << "" << "" << QByteArray() << false
                                << QByteArray(head("YWJj") + "\r\n" + kInnerEnd + kOuterEnd);
    QTest::newRow("non-ASCII subject") << QString::fromUtf8("Grüße") << "Hello" << "" << QByteArray() << false
                                       << QByteArray(head("R3LDvMOfZQ==") + "SGVsbG8=\r\n" + kInnerEnd + kOuterEnd);
    QTest::newRow("57 bytes: one line of 76") << "abc" << QString(57, 'a') << "" << QByteArray() << false
        << QByteArray(head("YWJj") + QByteArray("YWFh").repeated(19) + "\r\n" + kInnerEnd + kOuterEnd);
    QTest::newRow("58 bytes: wrapped at 76") << "abc" << QString(58, 'a') << "" << QByteArray() << false
        << QByteArray(head("YWJj") + QByteArray("YWFh").repeated(19) + "\r\nYQ==\r\n" + kInnerEnd + kOuterEnd);
    QTest::newRow("dot lines doubled") << "abc" << "Hello" << "report.txt"
        << QByteArray(".abc\n.\n.\n..\nx.y\n") << true
        << QByteArray(head("YWJj") + "SGVsbG8=\r\n" + kInnerEnd + attachmentHead("report.txt") +
                      "..abc\r\n..\r\n..\r\n...\r\nx.y\r\n" + kOuterEnd);
    QTest::newRow("CR LF file") << "abc" << "Hello" << "crlf.log" << QByteArray("one\r\ntwo\r\n") << true
        << QByteArray(head("YWJj") + "SGVsbG8=\r\n" + kInnerEnd + attachmentHead("crlf.log") + "one\r\ntwo\r\n" +
                      kOuterEnd);
    QTest::newRow("last line without LF") << "abc" << "Hello" << "a.txt" << QByteArray("first\nlast") << true
        << QByteArray(head("YWJj") + "SGVsbG8=\r\n" + kInnerEnd + attachmentHead("a.txt") + "first\r\nlast\r\n" +
                      kOuterEnd);
    QTest::newRow("line cut at NUL") << "abc" << "Hello" << "a.txt" << QByteArray("ab\0cd\nnext\n", 11) << true
        << QByteArray(head("YWJj") + "SGVsbG8=\r\n" + kInnerEnd + attachmentHead("a.txt") + "ab\r\nnext\r\n" +
                      kOuterEnd);
    QTest::newRow("UTF-8 file, empty file line") << "abc" << "Hello" << "u.txt" << QByteArray("Grüße\n\nend\n") << true
        << QByteArray(head("YWJj") + "SGVsbG8=\r\n" + kInnerEnd + attachmentHead("u.txt") + "Grüße\r\n\r\nend\r\n" +
                      kOuterEnd);
    QTest::newRow("line longer than a read") << "abc" << "Hello" << "l.txt"
        << QByteArray(QByteArray(10000, 'y') + "\n.z") << true
        << QByteArray(head("YWJj") + "SGVsbG8=\r\n" + kInnerEnd + attachmentHead("l.txt") + QByteArray(10000, 'y') +
                      "\r\n..z\r\n" + kOuterEnd);
    QTest::newRow("empty file") << "abc" << "Hello" << "e.txt" << QByteArray() << true
        << QByteArray(head("YWJj") + "SGVsbG8=\r\n" + kInnerEnd + attachmentHead("e.txt") + kOuterEnd);
}

void TestSmtp::message()
{
    QFETCH(QString, subject);
    QFETCH(QString, body);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, file);
    QFETCH(bool, makeFile);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    QFile attachment;
    if (!fileName.isEmpty())
        attachment.setFileName(dir.filePath(fileName));
    if (makeFile) {
        QFile out(attachment.fileName());
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    const QByteArray text = built(subject, body, attachment);
    QCOMPARE(text, expected);
    QCOMPARE(attachment.isOpen(), makeFile);   // left open for the caller
}

void TestSmtp::attachmentIsBounded()
{
    QTemporaryDir dir;
    QFile big(dir.filePath("big.log"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    const QByteArray line = QByteArray(99, 'x') + '\n';
    for (qint64 written = 0; written < Smtp::kMaxAttachmentBytes + 10 * line.size(); written += line.size())
        big.write(line);
    big.close();
    const QByteArray text = built("abc", "Hello", big);
    const QByteArray start = head("YWJj") + "SGVsbG8=\r\n" + kInnerEnd + attachmentHead("big.log");
    QVERIFY(text.startsWith(start));
    QVERIFY(text.endsWith("xx\r\n" + kOuterEnd));
    // Every byte of the bound is attached (each LF as CR LF) and nothing beyond it; the cut
    // line gets a line end of its own.
    const qint64 whole = Smtp::kMaxAttachmentBytes / line.size();
    const qint64 cut = Smtp::kMaxAttachmentBytes % line.size();
    QCOMPARE(qint64(text.size() - start.size() - kOuterEnd.size()), whole * (line.size() + 1) + cut + 2);
}

// ---- The reply reader ----

void TestSmtp::replyReader_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("replies");   // each reply, then its code
    QTest::addColumn<QByteArray>("rest");
    QTest::newRow("one line") << QByteArray("250 OK\r\n") << QStringList{"250 OK\r\n", "250"} << QByteArray();
    QTest::newRow("multi-line") << QByteArray("250-a\r\n250-AUTH LOGIN\r\n250 b\r\n")
                                << QStringList{"250-a\r\n250-AUTH LOGIN\r\n250 b\r\n", "250"} << QByteArray();
    QTest::newRow("last line missing") << QByteArray("250-a\r\n250-b\r\n") << QStringList() << QByteArray("250-a\r\n250-b\r\n");
    QTest::newRow("code cut") << QByteArray("25") << QStringList() << QByteArray("25");
    QTest::newRow("no line end yet") << QByteArray("250 OK") << QStringList() << QByteArray("250 OK");
    QTest::newRow("bare code") << QByteArray("354\r\n") << QStringList{"354\r\n", "354"} << QByteArray();
    QTest::newRow("LF only, two replies and a tail") << QByteArray("220 a\n250 b\r\n33")
        << QStringList{"220 a\n", "220", "250 b\r\n", "250"} << QByteArray("33");
    QTest::newRow("short line continues") << QByteArray("ab\r\n\r\n221 bye\r\n")
                                          << QStringList{"ab\r\n\r\n221 bye\r\n", "221"} << QByteArray();
    QTest::newRow("other fourth character continues") << QByteArray("250x\r\n250 y\n")
                                                       << QStringList{"250x\r\n250 y\n", "250"} << QByteArray();
    QTest::newRow("empty") << QByteArray() << QStringList() << QByteArray();
}

void TestSmtp::replyReader()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, replies);
    QFETCH(QByteArray, rest);
    // Whole, and fed one byte at a time as a slow server would send it.
    for (int step : {int(input.size()) + 1, 1}) {
        QStringList got;
        QByteArray buffer;
        for (int at = 0; at < input.size() || at == 0; at += step) {
            buffer += input.mid(at, step);
            for (;;) {
                const std::vector<char> exact(buffer.begin(), buffer.end());   // ASan sees over-reads
                const smtpreply::Reply r = smtpreply::firstReply(exact.data(), exact.size());
                if (r.length == 0)
                    break;
                got << QString::fromUtf8(buffer.left(int(r.length)))
                    << QString::fromUtf8(buffer.mid(int(r.lastLine), int(smtpreply::kCodeLength)));
                buffer.remove(0, int(r.length));
            }
            if (input.isEmpty())
                break;
        }
        QCOMPARE(got, replies);
        QCOMPARE(buffer, rest);
    }
}

// ---- Whole dialogues against the scripted server ----

void TestSmtp::dialogues_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QStringList>("to");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<QStringList>("replies");
    QTest::addColumn<QStringList>("sent");   // the client's lines; "$M": the message and its end

    const QString authOffer = "250-mail.test\r\n250-AUTH LOGIN PLAIN\r\n250 HELP\r\n";
    const QStringList one{"root@example.test"};
    const QStringList three{"a@example.test", "b@example.test", "c@example.test"};
    const QString mailFrom = "MAIL FROM:<raid@example.test>";
    const QStringList rcpt3{"RCPT TO:<a@example.test>", "RCPT TO:<b@example.test>", "RCPT TO:<c@example.test>"};
    const QStringList hello{"EHLO localhost", "EHLO localhost"};
    const QStringList login{"AUTH LOGIN", "YWRtaW4=", "c2VjcsOpdA=="};   // admin / secrét
    const int normal = 15000;
    const int brief = 1500;   // ms: the silent rows end by the time limit

    QTest::newRow("AUTH LOGIN, three recipients")
        << "admin" << QString::fromUtf8("secrét") << three << normal
        << QStringList{"220 mail.test ready\r\n", authOffer, authOffer, "334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n",
                       "235 2.7.0 ok\r\n", "250 sender ok\r\n", "250 ok\r\n", "250 ok\r\n", "250 ok\r\n",
                       "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"}
        << (hello + login + QStringList{mailFrom} + rcpt3 + QStringList{"DATA", "$M", "QUIT"});
    const QStringList plainRun{"220 hi\r\n", "250 mail.test\r\n", "", "250 ok\r\n", "250 ok\r\n", "354 go\r\n",
                               "250 queued\r\n", "221 bye\r\n"};
    QStringList noAuth = plainRun;
    noAuth[2] = "250 mail.test\r\n";
    QTest::newRow("no AUTH offered") << "admin" << "pw" << one << normal << noAuth
        << (hello + QStringList{mailFrom, "RCPT TO:<root@example.test>", "DATA", "$M", "QUIT"});
    QStringList plainOnly = plainRun;
    plainOnly[2] = "250-mail.test\r\n250 AUTH PLAIN\r\n";
    QTest::newRow("PLAIN only") << "admin" << "pw" << one << normal << plainOnly
        << (hello + QStringList{mailFrom, "RCPT TO:<root@example.test>", "DATA", "$M", "QUIT"});
    QStringList lowerCase = plainRun;
    lowerCase[2] = "250-mail.test\r\n250 auth login\r\n";
    QTest::newRow("lower-case offer") << "admin" << "pw" << one << normal << lowerCase
        << (hello + QStringList{mailFrom, "RCPT TO:<root@example.test>", "DATA", "$M", "QUIT"});
    QTest::newRow("empty login sent as empty lines") << "" << "" << one << normal
        << QStringList{"220 hi\r\n", authOffer, authOffer, "334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n",
                       "235 ok\r\n", "250 ok\r\n", "250 ok\r\n", "354 go\r\n", "250 queued\r\n", "221 bye\r\n"}
        << (hello + QStringList{"AUTH LOGIN", "", "", mailFrom, "RCPT TO:<root@example.test>", "DATA", "$M", "QUIT"});
    QTest::newRow("554 greeting") << "" << "" << one << normal << QStringList{"554 no service\r\n"} << QStringList();
    QTest::newRow("550 to RCPT 1 and 2 of 3") << "" << "" << three << normal
        << QStringList{"220 hi\r\n", "250 a\r\n", "250 b\r\n", "250 ok\r\n", "550 no\r\n", "550 no\r\n", "250 ok\r\n",
                       "354 go\r\n", "250 queued\r\n", "221 bye\r\n"}
        << (hello + QStringList{mailFrom} + rcpt3 + QStringList{"DATA", "$M", "QUIT"});
    QTest::newRow("550 to the last RCPT") << "" << "" << three << normal
        << QStringList{"220 hi\r\n", "250 a\r\n", "250 b\r\n", "250 ok\r\n", "250 ok\r\n", "250 ok\r\n", "550 no\r\n",
                       "354 go\r\n"}
        << (hello + QStringList{mailFrom} + rcpt3);
    QTest::newRow("251 to the last RCPT") << "" << "" << three << normal
        << QStringList{"220 hi\r\n", "250 a\r\n", "250 b\r\n", "250 ok\r\n", "550 no\r\n", "250 ok\r\n",
                       "251 will forward\r\n", "354 go\r\n", "250 queued\r\n", "221 bye\r\n"}
        << (hello + QStringList{mailFrom} + rcpt3 + QStringList{"DATA", "$M", "QUIT"});
    QTest::newRow("replies split across writes") << "admin" << "pw" << one << normal
        << QStringList{"2|20 hi\r\n", "250-mail.test\r\n25|0-SIZE 1000\r\n|250 HELP\r\n",
                       "250-mail.test\r\n25|0-AUTH LOGIN\r|\n250 HELP\r\n", "3|34 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n",
                       "23|5 ok\r\n", "250 ok\r\n", "250 ok\r\n", "35|4 go\r\n", "250 queued\r\n", "221 bye\r\n"}
        << (hello + QStringList{"AUTH LOGIN", "YWRtaW4=", "cHc=", mailFrom, "RCPT TO:<root@example.test>", "DATA",
                                "$M", "QUIT"});
    QTest::newRow("unexpected reply to MAIL FROM") << "" << "" << one << normal
        << QStringList{"220 hi\r\n", "250 a\r\n", "250 b\r\n", "451 try later\r\n", "250 ok\r\n"}
        << (hello + QStringList{mailFrom});
    QTest::newRow("250 where 354 belongs") << "" << "" << one << normal
        << QStringList{"220 hi\r\n", "250 a\r\n", "250 b\r\n", "250 ok\r\n", "250 ok\r\n", "250 ok\r\n"}
        << (hello + QStringList{mailFrom, "RCPT TO:<root@example.test>", "DATA"});
    QTest::newRow("refused login") << "admin" << "pw" << one << normal
        << QStringList{"220 hi\r\n", authOffer, authOffer, "334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n",
                       "535 5.7.8 Authentication credentials invalid\r\n", "250 ok\r\n"}
        << (hello + QStringList{"AUTH LOGIN", "YWRtaW4=", "cHc="});
    QTest::newRow("silent before the greeting") << "" << "" << one << brief << QStringList{""} << QStringList();
    QTest::newRow("silent after EHLO") << "" << "" << one << brief << QStringList{"220 hi\r\n"}
                                       << QStringList{"EHLO localhost"};
    QTest::newRow("silent on the password") << "" << "" << one << brief
        << QStringList{"220 hi\r\n", authOffer, authOffer, "334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n"}
        << (hello + QStringList{"AUTH LOGIN", "", ""});
    QTest::newRow("no answer to QUIT") << "" << "" << one << brief
        << QStringList{"220 hi\r\n", "250 a\r\n", "250 b\r\n", "250 ok\r\n", "250 ok\r\n", "354 go\r\n", "250 queued\r\n"}
        << (hello + QStringList{mailFrom, "RCPT TO:<root@example.test>", "DATA", "$M", "QUIT"});
    QTest::newRow("connection closed by the server") << "" << "" << one << normal
        << QStringList{"220 hi\r\n", "<close>"} << QStringList{"EHLO localhost"};
    QTest::newRow("a line without end") << "" << "" << one << normal << QStringList{QString(100000, 'x')}
                                        << QStringList();
}

void TestSmtp::dialogues()
{
    QFETCH(QString, user);
    QFETCH(QString, pass);
    QFETCH(QStringList, to);
    QFETCH(int, timeout);
    QFETCH(QStringList, replies);
    QFETCH(QStringList, sent);

    ScriptedServer server(replies);
    QVERIFY(server.port() != 0);
    QTemporaryDir dir;
    QFile attachment(dir.filePath("report.txt"));
    QVERIFY(attachment.open(QIODevice::WriteOnly));
    attachment.write(".hidden line\nsecond\n");
    attachment.close();

    auto* smtp = new Smtp(user, pass, kScriptedAddress, server.port(), timeout);
    QSignalSpy destroyed(smtp, &QObject::destroyed);
    smtp->sendMail(kSender, to, "Subject", "Body text", attachment);
    QVERIFY(waitDestroyed(destroyed));
    QTRY_VERIFY_WITH_TIMEOUT(server.closed, kEnding);   // the connection went with the client
    attachment.close();
    // Line by line, so that a difference names its line.
    QCOMPARE(QString::fromUtf8(server.transcript).split("\r\n"),
             QString::fromUtf8(dialogue(sent, built("Subject", "Body text", attachment))).split("\r\n"));
    QCOMPARE(server.connections, 1);
}

void TestSmtp::refusedBeforeConnecting_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QStringList>("to");
    QTest::addColumn<int>("portOffset");   // added to the server's port; -1: a port nobody listens on
    QTest::addColumn<int>("port");         // used when portOffset is 0 and port is not 0
    QTest::newRow("no recipients") << kSender << QStringList() << 0 << 0;
    QTest::newRow("CR in the sender") << "a@b.test\rRCPT TO:<x@y>" << QStringList{"c@d.test"} << 0 << 0;
    QTest::newRow("LF in a recipient") << kSender << QStringList{"c@d.test", "e@f.test\nDATA"} << 0 << 0;
    QTest::newRow("port 0") << kSender << QStringList{"c@d.test"} << 0 << -100000;
    QTest::newRow("negative port") << kSender << QStringList{"c@d.test"} << 0 << -25;
    QTest::newRow("port beyond 65535 does not wrap") << kSender << QStringList{"c@d.test"} << 65536 << 0;
    QTest::newRow("connection refused") << kSender << QStringList{"c@d.test"} << -1 << 0;
}

void TestSmtp::refusedBeforeConnecting()
{
    QFETCH(QString, from);
    QFETCH(QStringList, to);
    QFETCH(int, portOffset);
    QFETCH(int, port);
    ScriptedServer server({"220 hi\r\n"});
    int target = server.port() + portOffset;
    if (port == -100000)
        target = 0;
    else if (port != 0)
        target = port;
    if (portOffset == -1) {
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress(kScriptedAddress), 0));
        target = gone.serverPort();
    }
    auto* smtp = new Smtp("", "", kScriptedAddress, target, 5000);
    QSignalSpy destroyed(smtp, &QObject::destroyed);
    QFile none;
    smtp->sendMail(from, to, "Subject", "Body", none);
    QVERIFY(waitDestroyed(destroyed));
    // A client of the scripted server would have been taken by now: destruction comes after
    // the connect wait, and the greeting goes out at once.
    QCoreApplication::processEvents();
    QCOMPARE(server.connections, 0);
    QVERIFY(server.transcript.isEmpty());
}

void TestSmtp::tlsAgainstPlainServerSendsNoCommand()
{
    ScriptedServer server({"220 plain text greeting\r\n", "250 a\r\n", "250 b\r\n"});
    auto* smtp = new Smtp("admin", "pw", kScriptedAddress, server.port(), 10000);
    smtp->setSSL(true);
    QSignalSpy destroyed(smtp, &QObject::destroyed);
    QFile none;
    smtp->sendMail(kSender, {"c@d.test"}, "Subject", "Body", none);
    QVERIFY(waitDestroyed(destroyed));
    QTRY_VERIFY_WITH_TIMEOUT(server.closed, kEnding);
    QVERIFY(!server.transcript.isEmpty());   // the TLS client hello, nothing in clear text
    for (const char* word : {"EHLO", "AUTH", "YWRtaW4=", "MAIL"})
        QVERIFY2(!server.transcript.contains(word), word);
}

void TestSmtp::textGoesOutAsUtf8WhateverTheLocale()
{
    QTextCodec* const saved = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    ScriptedServer server({"220 hi\r\n", "250 a\r\n", "250 b\r\n", "250 ok\r\n", "250 ok\r\n", "354 go\r\n",
                           "250 queued\r\n", "221 bye\r\n"});
    QTemporaryDir dir;
    QFile attachment(dir.filePath("r.txt"));
    QVERIFY(attachment.open(QIODevice::WriteOnly));
    attachment.write("Datenträger geprüft\n");
    attachment.close();
    auto* smtp = new Smtp("", "", kScriptedAddress, server.port(), 15000);
    QSignalSpy destroyed(smtp, &QObject::destroyed);
    smtp->sendMail(QString::fromUtf8("jörg@example.test"), {QString::fromUtf8("zoë@example.test")}, "s", "b", attachment);
    const bool ended = waitDestroyed(destroyed);
    QTextCodec::setCodecForLocale(saved);
    QVERIFY(ended);
    QTRY_VERIFY_WITH_TIMEOUT(server.closed, kEnding);
    for (const char* text : {"MAIL FROM:<jörg@example.test>\r\n", "RCPT TO:<zoë@example.test>\r\n",
                             "From: jörg@example.test\r\n", "\r\nDatenträger geprüft\r\n", "QUIT\r\n"})
        QVERIFY2(server.transcript.contains(text), text);
}

// ---- A real server ----

bool TestSmtp::startRealServer()
{
    if (m_started)
        return m_skip.isEmpty();
    m_started = true;
    const QString python = tool("/usr/bin/python3");
    const QString openssl = tool("/usr/bin/openssl");
    QString out;
    if (python.isEmpty() || openssl.isEmpty()) {
        m_skip = "python3 or openssl is not installed";
        return false;
    }
    if (!run(python, {"-c", "import aiosmtpd"}, m_peerDir.path(), &out)) {
        m_skip = "python3-aiosmtpd is not installed";
        return false;
    }
    const QString dir = m_peerDir.path();
    QFile ext(m_peerDir.filePath("server.ext"));
    ext.open(QIODevice::WriteOnly);
    ext.write(QByteArray("subjectAltName=DNS:localhost,IP:") + kRealAddress + "\nbasicConstraints=CA:FALSE\n");
    ext.close();
    const QList<QStringList> steps = {
        {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
         "-subj", "/CN=Palvir test CA"},
        {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "other.key", "-out", "other.pem", "-days", "2",
         "-subj", "/CN=Another CA"},
        {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=localhost"},
        {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial", "-out",
         "server.pem", "-days", "2", "-extfile", "server.ext"}};
    for (const QStringList& step : steps) {
        if (!run(openssl, step, dir, &out)) {
            m_skip = "openssl could not make the test certificates: " + out.left(300);
            return false;
        }
    }
    QDir(dir).mkdir("mail");
    m_peer.setProcessChannelMode(QProcess::SeparateChannels);
    m_peer.start(python, {QStringLiteral(PALVIR_SMTP_PEER), kRealAddress, m_peerDir.filePath("mail"),
                          m_peerDir.filePath("server.pem"), m_peerDir.filePath("server.key"), "admin",
                          QString::fromUtf8("secrét")});
    QElapsedTimer waited;
    waited.start();
    while (!m_peer.canReadLine() && m_peer.state() != QProcess::NotRunning && waited.elapsed() < kEnding)
        m_peer.waitForReadyRead(200);
    const QStringList ready = QString::fromLatin1(m_peer.readLine()).split(' ', Qt::SkipEmptyParts);
    if (ready.size() != 3 || ready.at(0) != "ready") {
        m_skip = "the aiosmtpd server did not start: " + QString::fromLocal8Bit(m_peer.readAllStandardError()).left(400);
        return false;
    }
    m_plainPort = quint16(ready.at(1).toUInt());
    m_tlsPort = quint16(ready.at(2).trimmed().toUInt());
    return true;
}

void TestSmtp::cleanupTestCase()
{
    if (m_peer.state() != QProcess::NotRunning) {
        m_peer.closeWriteChannel();
        if (!m_peer.waitForFinished(5000)) {
            m_peer.kill();
            m_peer.waitForFinished(5000);
        }
    }
}

void TestSmtp::realServer_data()
{
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("file");   // empty: no attachment
    QTest::addColumn<QStringList>("to");

    QString longBody;
    for (int i = 0; i < 120; ++i)
        longBody += QString::fromUtf8("Zeile %1: Datenträger geprüft, alles in Ordnung.\n").arg(i);
    const QByteArray report = "Controller report\n.hidden line\n.\n..two dots\nend\n";
    QTest::newRow("plain, attachment with dot lines")
        << false << "Test mail" << "This is a test mail." << report << QStringList{"root@example.test", "ops@example.test"};
    QTest::newRow("plain, long body") << false << QString::fromUtf8("Ereignis: Datenträger") << longBody << QByteArray()
                                      << QStringList{"root@example.test"};
    QTest::newRow("TLS with AUTH LOGIN, long body and attachment")
        << true << "Event notice" << longBody << report << QStringList{"root@example.test"};
}

void TestSmtp::realServer()
{
    QFETCH(bool, tls);
    QFETCH(QString, subject);
    QFETCH(QString, body);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, to);
    if (!startRealServer())
        QSKIP(qPrintable(m_skip));
    // The client trusts the test's CA through the default configuration, as it would trust a
    // system CA; no error is ignored.
    const QSslConfiguration saved = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = saved;
    trusting.setCaCertificates(QSslCertificate::fromPath(m_peerDir.filePath("ca.pem")));
    QSslConfiguration::setDefaultConfiguration(trusting);

    const QString mailDir = m_peerDir.filePath("mail");
    const int before = QDir(mailDir).entryList({"*.json"}).size();
    QTemporaryDir dir;
    QFile attachment(file.isEmpty() ? QString() : dir.filePath("report.log"));
    if (!file.isEmpty()) {
        QVERIFY(attachment.open(QIODevice::WriteOnly));
        attachment.write(file);
        attachment.close();
    }
    auto* smtp = new Smtp("admin", QString::fromUtf8("secrét"), kRealAddress, tls ? m_tlsPort : m_plainPort, 15000);
    smtp->setSSL(tls);
    QSignalSpy destroyed(smtp, &QObject::destroyed);
    smtp->sendMail(kSender, to, subject, body, attachment);
    QVERIFY(waitDestroyed(destroyed));
    QSslConfiguration::setDefaultConfiguration(saved);
    const QString base = QString("%1/%2").arg(mailDir).arg(before + 1);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(base + ".json"), kEnding);

    QFile summaryFile(base + ".json");
    QVERIFY(summaryFile.open(QIODevice::ReadOnly));
    const QJsonObject mail = QJsonDocument::fromJson(summaryFile.readAll()).object();
    QCOMPARE(mail["server"].toString(), QString(tls ? "tls" : "plain"));
    QCOMPARE(mail["login"].toString(), QString(tls ? "admin" : ""));
    QCOMPARE(mail["password"].toString(), tls ? QString::fromUtf8("secrét") : QString());
    QCOMPARE(mail["mail_from"].toString(), QString(kSender));
    QCOMPARE(mail["rcpt_tos"].toVariant().toStringList(), to);
    QCOMPARE(mail["raw_headers"].toVariant().toStringList(),
             QStringList({"From", "Subject", "Reply-To", "MIME-Version", "Content-Type", "X-Mailer"}));
    QMap<QString, QString> headers;
    for (const QJsonValue& h : mail["headers"].toArray())
        headers[h.toArray().at(0).toString()] = h.toArray().at(1).toString();
    QCOMPARE(headers["From"], QString(kSender));
    QCOMPARE(headers["Reply-To"], QString(kSender));
    QCOMPARE(headers["Subject"], subject);
    QCOMPARE(headers["X-Mailer"], QString("Palvir 1.0.1"));
    QCOMPARE(mail["defects"].toArray().size(), 0);

    QStringList shape;
    for (const QJsonValue& p : mail["parts"].toArray())
        shape << p["type"].toString() + "/" + p["encoding"].toString() + "/" + p["filename"].toString();
    QStringList expectedShape{"multipart/mixed//", "multipart/alternative//", "text/plain/base64/"};
    if (!file.isEmpty())
        expectedShape << "text/plain/7bit/report.log";
    QCOMPARE(shape, expectedShape);
    const QJsonArray parts = mail["parts"].toArray();
    QCOMPARE(parts.at(2)["text"].toString(), body);
    if (!file.isEmpty())
        // The line end before a boundary belongs to the boundary.
        QCOMPARE(parts.at(3)["text"].toString().replace("\r\n", "\n") + "\n", QString::fromUtf8(file));

    // What the server stored is what was sent, without the doubled dots.
    QFile raw(base + ".eml");
    QVERIFY(raw.open(QIODevice::ReadOnly));
    attachment.close();
    QByteArray sent = built(subject, body, attachment).replace("\r\n..", "\r\n.") + "\r\n";
    QCOMPARE(raw.readAll(), sent);
}

void TestSmtp::untrustedServerGetsNothing()
{
    if (!startRealServer())
        QSKIP(qPrintable(m_skip));
    const QSslConfiguration saved = QSslConfiguration::defaultConfiguration();
    QSslConfiguration other = saved;
    other.setCaCertificates(QSslCertificate::fromPath(m_peerDir.filePath("other.pem")));
    QSslConfiguration::setDefaultConfiguration(other);
    const QString mailDir = m_peerDir.filePath("mail");
    const int before = QDir(mailDir).entryList({"*.json"}).size();
    auto* smtp = new Smtp("admin", QString::fromUtf8("secrét"), kRealAddress, m_tlsPort, 15000);
    smtp->setSSL(true);
    QSignalSpy destroyed(smtp, &QObject::destroyed);
    QFile none;
    smtp->sendMail(kSender, {"root@example.test"}, "Subject", "Body", none);
    QVERIFY(waitDestroyed(destroyed));
    QSslConfiguration::setDefaultConfiguration(saved);
    // The handshake failed before any command could go: nothing can arrive later.
    QCOMPARE(QDir(mailDir).entryList({"*.json"}).size(), before);
}

QTEST_GUILESS_MAIN(TestSmtp)
#include "test_smtp.moc"
