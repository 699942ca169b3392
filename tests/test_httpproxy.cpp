// The web proxy end to end: a controller added by address on the simulator, started as the main
// window starts it, its proxy reached by curl and by a raw client that sends its request in
// pieces; what the simulator's web server received is compared with what was sent.
#include "controllerfixture.h"
#include "httpproxy/httpconnection.h"
#include "httpproxy/httpframer.h"
#include "httpproxy/httpproxyserver.h"
#include "httpproxy/httpthread.h"
#include "watcher/eventwatcher.h"

#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <thread>

using namespace ctltest;

namespace {

const char* const kAddress = "127.0.0.161";
// Controllers deleted while their proxies serve.
const char* const kDoomedAddresses[] = {"127.0.0.162", "127.0.0.163", "127.0.0.164", "127.0.0.165"};
// The proxy listens on every IPv4 address; the tests reach it here.
const char* const kProxyHost = "127.0.0.161";
const QByteArray kUserAgent = "palvir-test";
constexpr int kExchangeMs = 30000;
constexpr int kShortTimeoutMs = 300;
// How long a paused proxy is watched for taking a connection it must not take.
constexpr int kPausedWatchMs = 300;
constexpr int kSlowAnswerMs = 800;
constexpr size_t kBigPageBody = 70000;
constexpr int kLowCap = 2;
constexpr int kNeverOpen = 1 << 24;
constexpr int kManyPieces = 48 * 1024 + 100;
constexpr uint8_t kHttpPiece = 0x16;
constexpr int kClientsPastTheCap = 6;

// What a client got: the bytes before the proxy closed, and whether it closed in time.
struct Outcome {
    QByteArray reply;
    bool closed = false;
};

// The status line of an HTTP answer.
QByteArray statusLine(const QByteArray& reply)
{
    return reply.left(reply.indexOf("\r\n"));
}

QByteArray bodyOf(const QByteArray& reply)
{
    const int at = reply.indexOf("\r\n\r\n");
    return at < 0 ? QByteArray() : reply.mid(at + 4);
}

// Every byte value, NULs and bytes that are not UTF-8 included; no two pieces of the request alike.
QByteArray binaryBody(int size)
{
    QByteArray body(size, '\0');
    for (int i = 0; i < size; ++i)
        body[i] = char((i % 251) ^ (i / 251));
    return body;
}

QByteArray bigPageBody()
{
    QByteArray body(int(kBigPageBody), '\0');
    for (int i = 0; i < body.size(); ++i)
        body[i] = char('a' + i % 26);
    return body;
}

} // namespace

// Starts each controller the host announces, as the main window does.
class Starter : public QObject {
    Q_OBJECT
public:
    Starter() { connect(ZynGetHost(), &QZynHost::DeviceChanged, this, &Starter::hostChanged); }
public slots:
    void hostChanged(QZynDevice* device, int code)
    {
        if (device->type == QZynDevice::Controller && code == QZynDevice::DeviceAdded)
            static_cast<QZynController*>(device)->Start();
    }
};

class TestHttpProxy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void capacity_data();
    void capacity();
    void framing_data();
    void framing();
    void curlThroughTheProxy_data();
    void curlThroughTheProxy();
    void rawRequests_data();
    void rawRequests();
    void idleConnectionsEnd_data();
    void idleConnectionsEnd();
    void concurrentSlowRequests();
    void moreConnectionsThanTheCap();
    void pausedProxyAnswersAfterResume();
    void controllerGoesMidRequest_data();
    void controllerGoesMidRequest();
    void descriptorsAreClosed_data();
    void descriptorsAreClosed();
    void browserShowsThePage();

private:
    QZynHttpProxyServer* proxyOf(QZynController* controller) const
    {
        return qobject_cast<QZynHttpProxyServer*>(controller->GetHttpProxyServer());
    }
    QZynHttpProxyServer* proxy() const { return proxyOf(m_controller); }
    QString baseUrl(QZynController* controller) const
    {
        return QStringLiteral("http://%1:%2").arg(QLatin1String(kProxyHost)).arg(proxyOf(controller)->serverPort());
    }
    QByteArray hostHeader() const
    {
        return QByteArray(kProxyHost) + ':' + QByteArray::number(proxy()->serverPort());
    }
    // What curl sends for a GET of `path`, and for a POST of `body`.
    QByteArray curlGet(const QByteArray& path) const
    {
        return "GET " + path + " HTTP/1.1\r\nHost: " + hostHeader() + "\r\nUser-Agent: " + kUserAgent
            + "\r\nAccept: */*\r\n\r\n";
    }
    QByteArray curlPost(const QByteArray& path, const QByteArray& body) const
    {
        return "POST " + path + " HTTP/1.1\r\nHost: " + hostHeader() + "\r\nUser-Agent: " + kUserAgent
            + "\r\nAccept: */*\r\nContent-Length: " + QByteArray::number(body.size())
            + "\r\nContent-Type: application/x-www-form-urlencoded\r\n\r\n" + body;
    }
    // Starts curl on `path` of `controller`'s proxy (a POST of the file `bodyFile` when given).
    std::unique_ptr<QProcess> startCurl(QZynController* controller, const QString& path,
                                        const QString& bodyFile = QString()) const;
    // Waits for curl to end; its output (whole HTTP answer), empty when it failed.
    static QByteArray curlResult(QProcess& curl, int* exitCode = nullptr);
    // Sends `segments` to the proxy, each after the one before has left and the proxy has taken
    // the connection, and collects what comes back until the proxy closes.
    Outcome exchange(const QList<QByteArray>& segments, int deadlineMs = kExchangeMs);
    // The controller's answer to `request`, asked directly.
    QByteArray directAnswer(const QByteArray& request);

    QTemporaryDir m_dir;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    QZynController* m_controller = nullptr;
    std::unique_ptr<Starter> m_starter;
    std::unique_ptr<MessageLog> m_messages;
};

void TestHttpProxy::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    qputenv("ZYNMSR_DRIVER_DIR", (m_dir.path() + "/driver").toLocal8Bit());
    ControllerEventWatcherThread::SetIntervals(500, 5000, 1000);
    ControllerEventWatcherThread::Install();
    InstallHttpProxy();
    m_starter = std::make_unique<Starter>();
    m_sim = std::make_unique<zynsim::Simulator>();
    m_ctl = m_sim->addUdpController(kAddress, zynsim::ControllerConfig());
    QVERIFY2(m_ctl, m_sim->error().c_str());
    m_controller = announceOnline(kAddress);
    QVERIFY(m_controller);
    QVERIFY(proxy());
    QVERIFY(proxy()->isListening());
    QCOMPARE(proxy()->serverAddress(), QHostAddress(QHostAddress::AnyIPv4));
    QVERIFY(proxy()->serverPort() != 0);
    // A second start makes no second proxy.
    QTcpServer* first = m_controller->GetHttpProxyServer();
    m_controller->Start();
    QCOMPARE(m_controller->GetHttpProxyServer(), first);
}

void TestHttpProxy::cleanupTestCase()
{
    emptyHost();
    m_controller = nullptr;
    m_starter.reset();
    m_ctl.reset();
    m_sim.reset();
}

void TestHttpProxy::init()
{
    m_messages = std::make_unique<MessageLog>();
}

void TestHttpProxy::cleanup()
{
    if (m_controller != nullptr && proxy() != nullptr) {
        QTRY_COMPARE(proxy()->connectionCount(), 0);
        proxy()->setMaxConnections(QZynHttpProxyServer::kMaxConnections);
        proxy()->setRequestTimeout(QZynHttpProxyServer::kRequestTimeoutMs);
    }
    m_ctl->clearScripts();
    m_messages.reset();
}

std::unique_ptr<QProcess> TestHttpProxy::startCurl(QZynController* controller, const QString& path,
                                                   const QString& bodyFile) const
{
    auto curl = std::make_unique<QProcess>();
    QStringList args{QStringLiteral("-s"), QStringLiteral("-i"), QStringLiteral("--raw"),
                     QStringLiteral("--max-time"), QStringLiteral("25"), QStringLiteral("-A"),
                     QString::fromLatin1(kUserAgent), QStringLiteral("-H"), QStringLiteral("Expect:")};
    if (!bodyFile.isEmpty())
        args << QStringLiteral("--data-binary") << QLatin1Char('@') + bodyFile;
    args << baseUrl(controller) + path;
    curl->start(QStringLiteral("curl"), args);
    return curl;
}

QByteArray TestHttpProxy::curlResult(QProcess& curl, int* exitCode)
{
    // The proxy serves on this thread's event loop: wait with it running.
    if (!QTest::qWaitFor([&] { return curl.state() == QProcess::NotRunning; }, kExchangeMs))
        return QByteArray();
    if (exitCode != nullptr)
        *exitCode = curl.exitCode();
    if (curl.exitStatus() != QProcess::NormalExit || curl.exitCode() != 0)
        return QByteArray();
    return curl.readAllStandardOutput();
}

Outcome TestHttpProxy::exchange(const QList<QByteArray>& segments, int deadlineMs)
{
    Outcome out;
    QTcpSocket client;
    client.connectToHost(QString::fromLatin1(kProxyHost), proxy()->serverPort());
    if (!QTest::qWaitFor([&] { return client.state() == QAbstractSocket::ConnectedState; }, deadlineMs))
        return out;
    for (int i = 0; i < segments.size(); ++i) {
        client.write(segments[i]);
        const bool left = QTest::qWaitFor([&] {
            out.reply += client.readAll();
            return client.bytesToWrite() == 0 || client.state() != QAbstractSocket::ConnectedState;
        }, deadlineMs);
        if (!left || (i + 1 < segments.size() && !QTest::qWaitFor([&] { return proxy()->connectionCount() > 0; },
                                                                   deadlineMs)))
            return out;
    }
    out.closed = QTest::qWaitFor([&] {
        out.reply += client.readAll();
        return client.state() == QAbstractSocket::UnconnectedState;
    }, deadlineMs);
    out.reply += client.readAll();
    return out;
}

QByteArray TestHttpProxy::directAnswer(const QByteArray& request)
{
    QByteArray copy = request;
    std::vector<char> reply(QZynHttpConnection::kReplyBufferSize);
    int length = 0;
    if (m_controller->ZynHttp(copy.data(), copy.size(), reply.data(), &length) != 0)
        return QByteArray();
    return QByteArray(reply.data(), length);
}

void TestHttpProxy::capacity_data()
{
    QTest::addColumn<int>("mtu");
    QTest::addColumn<int>("longest");
    // 140 packets of 1400 and a last piece of 601: 196608 bytes in all.
    QTest::newRow("udp") << 1400 << 140 * 1024 + 601;
    QTest::newRow("driver") << 1031 << 190 * 1024 + 711;
    QTest::newRow("one piece only") << 1030 << 1024;
    QTest::newRow("tiny") << 8 << 1024;
}

void TestHttpProxy::capacity()
{
    QFETCH(int, mtu);
    QFETCH(int, longest);
    QCOMPARE(CZynlib::ZynHttpCapacity(mtu), longest);
    // The library itself takes no byte more, and sends nothing then.
    if (m_controller->mtu() == mtu) {
        QByteArray request = "GET / HTTP/1.1\r\n" + QByteArray(longest, 'x');
        const int piecesBefore = m_ctl->framesReceived(kHttpPiece);
        QCOMPARE(directAnswer(request.left(longest + 1)), QByteArray());
        std::vector<char> reply(QZynHttpConnection::kReplyBufferSize);
        int length = 0;
        QCOMPARE(m_controller->ZynHttp(request.data(), longest + 1, reply.data(), &length), u32(ZYN_ERR_INVALID_ARG));
        QCOMPARE(m_ctl->framesReceived(kHttpPiece), piecesBefore);
    }
}

void TestHttpProxy::framing_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("url");
    const int in = HttpRequestFramer::Incomplete;
    const int ok = HttpRequestFramer::Complete;
    const int no = HttpRequestFramer::Refused;
    const QByteArray get = "GET /a HTTP/1.1\r\nHost: x\r\n\r\n";
    QTest::newRow("get whole") << QList<QByteArray>{get} << ok << get.size() << QByteArray("/a");
    QTest::newRow("get byte by byte") << [&] {
        QList<QByteArray> bytes;
        for (char c : get)
            bytes << QByteArray(1, c);
        return bytes;
    }() << ok << get.size() << QByteArray("/a");
    QTest::newRow("get and more") << QList<QByteArray>{get + "junk"} << ok << get.size() << QByteArray("/a");
    QTest::newRow("get no blank line") << QList<QByteArray>{"GET / HTTP/1.1\r\nHost: x\r\n"} << in << 0
                                       << QByteArray("/");
    QTest::newRow("bare lf blank line") << QList<QByteArray>{"GET / HTTP/1.1\n\n"} << in << 0 << QByteArray("/");
    QTest::newRow("empty url") << QList<QByteArray>{"GET\r\n\r\n"} << ok << 7 << QByteArray();
    QTest::newRow("one word") << QList<QByteArray>{QByteArray("GET\0 / HTTP/1.1\r\n\r\n", 20)} << no << 0
                              << QByteArray();
    QTest::newRow("head") << QList<QByteArray>{"HEAD / HTTP/1.1\r\n\r\n"} << no << 0 << QByteArray();
    QTest::newRow("lower-case get") << QList<QByteArray>{"get / HTTP/1.1\r\n\r\n"} << no << 0 << QByteArray();
    QTest::newRow("post") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc"} << ok << 42
                          << QByteArray("/e");
    QTest::newRow("post body later") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: 3\r\n\r\n", "ab", "c"}
                                     << ok << 42 << QByteArray("/e");
    QTest::newRow("post body short") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: 3\r\n\r\nab"} << in
                                     << 0 << QByteArray("/e");
    QTest::newRow("post zero") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: 0\r\n\r\n"} << ok << 39
                               << QByteArray("/e");
    QTest::newRow("post no length") << QList<QByteArray>{"POST /e HTTP/1.1\r\nHost: x\r\n\r\nabc"} << no << 0
                                    << QByteArray("/e");
    QTest::newRow("post lower-case length")
        << QList<QByteArray>{"POST /e HTTP/1.1\r\ncontent-length: 3\r\n\r\nabc"} << no << 0 << QByteArray("/e");
    QTest::newRow("negative length") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: -5\r\n"} << no << 0
                                     << QByteArray("/e");
    QTest::newRow("signed length") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: +5\r\n"} << no << 0
                                   << QByteArray("/e");
    QTest::newRow("word length") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: five\r\n"} << no << 0
                                 << QByteArray("/e");
    QTest::newRow("empty length") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length:\r\n"} << no << 0
                                  << QByteArray("/e");
    QTest::newRow("huge length") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n"}
                                 << no << 0 << QByteArray("/e");
    // The longest request is 100 bytes here.
    QTest::newRow("length past the longest") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: 101\r\n"}
                                             << no << 0 << QByteArray("/e");
    QTest::newRow("body past the longest") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: 61\r\n\r\n"}
                                           << no << 0 << QByteArray("/e");
    QTest::newRow("body to the longest") << QList<QByteArray>{"POST /e HTTP/1.1\r\nContent-Length: 60\r\n\r\n",
                                                              QByteArray(60, 'b')}
                                         << ok << 100 << QByteArray("/e");
    QTest::newRow("headers past the longest") << QList<QByteArray>{"GET / HTTP/1.1\r\n", QByteArray(85, 'h')} << no
                                              << 0 << QByteArray("/");
    QTest::newRow("headers to the longest") << QList<QByteArray>{"GET / HTTP/1.1\r\n", QByteArray(84, 'h')} << in
                                            << 0 << QByteArray("/");
    QTest::newRow("nul in a header") << QList<QByteArray>{QByteArray("GET / HTTP/1.1\r\nA: \0\r\n\r\n", 24)} << ok
                                     << 24 << QByteArray("/");
}

void TestHttpProxy::framing()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(int, verdict);
    QFETCH(int, length);
    QFETCH(QByteArray, url);
    HttpRequestFramer framer(100);
    QByteArray received;
    int got = HttpRequestFramer::Incomplete;
    for (const QByteArray& piece : pieces) {
        received += piece;
        got = framer.examine(received.constData(), size_t(received.size()));
    }
    QCOMPARE(got, verdict);
    QCOMPARE(int(framer.length()), length);
    QCOMPARE(QByteArray::fromStdString(framer.url()), url);
}

void TestHttpProxy::curlThroughTheProxy_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("body");   // a POST's
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("pageBody");   // empty: not compared
    QTest::newRow("page") << QByteArray("/") << QByteArray() << QByteArray("HTTP/1.1 200 OK") << QByteArray();
    QTest::newRow("long form") << QByteArray("/big") << QByteArray() << QByteArray("HTTP/1.1 200 OK") << bigPageBody();
    QTest::newRow("missing") << QByteArray("/nothing?x=1") << QByteArray() << QByteArray("HTTP/1.1 404 Not Found")
                             << QByteArray();
    QTest::newRow("post") << QByteArray("/echo") << QByteArray("abcde") << QByteArray("HTTP/1.1 200 OK")
                          << QByteArray("abcde");
    QTest::newRow("post of three pieces") << QByteArray("/echo") << binaryBody(3000)
                                          << QByteArray("HTTP/1.1 200 OK") << binaryBody(3000);
}

void TestHttpProxy::curlThroughTheProxy()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, pageBody);
    QString bodyFile;
    if (!body.isEmpty()) {
        bodyFile = m_dir.path() + QStringLiteral("/body");
        QFile file(bodyFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(body);
    }
    auto curl = startCurl(m_controller, QString::fromLatin1(path), bodyFile);
    int exitCode = -1;
    const QByteArray reply = curlResult(*curl, &exitCode);
    QVERIFY2(!reply.isEmpty(), qPrintable(QStringLiteral("curl exit code %1").arg(exitCode)));
    const QByteArray sent = body.isEmpty() ? curlGet(path) : curlPost(path, body);
    QCOMPARE(QByteArray::fromStdString(m_ctl->lastHttpRequest()), sent);
    QCOMPARE(statusLine(reply), status);
    if (!pageBody.isEmpty())
        QCOMPARE(bodyOf(reply), pageBody);
    // Byte for byte the controller's own answer.
    QCOMPARE(reply, directAnswer(sent));
    const QByteArray method = body.isEmpty() ? "GET" : "POST";
    QTRY_VERIFY(m_messages->lines().contains(QString::fromLatin1("HTTP connected(" + method + ' ' + path + ')')));
    QTRY_VERIFY(m_messages->lines().contains(QString::fromLatin1("HTTP disconnect(" + path + ')')));
}

void TestHttpProxy::rawRequests_data()
{
    QTest::addColumn<QList<QByteArray>>("segments");
    QTest::addColumn<QByteArray>("request");   // what reaches the controller; empty: nothing
    QTest::addColumn<QByteArray>("status");    // of the answer; empty: closed without one
    QTest::addColumn<QString>("logged");

    const QByteArray get = "GET / HTTP/1.1\r\nHost: controller\r\n\r\n";
    const QByteArray post = "POST /echo HTTP/1.1\r\nHost: controller\r\nContent-Length: 10\r\n\r\n";
    const QByteArray ok = "HTTP/1.1 200 OK";
    QTest::newRow("headers in two") << QList<QByteArray>{get.left(20), get.mid(20)} << get << ok
                                    << "HTTP connected(GET /)";
    QTest::newRow("body after the headers") << QList<QByteArray>{post, "0123456789"} << post + "0123456789" << ok
                                            << "HTTP connected(POST /echo)";
    QTest::newRow("body in three") << QList<QByteArray>{post.left(30), post.mid(30) + "0123", "456", "789"}
                                   << post + "0123456789" << ok << "HTTP connected(POST /echo)";
    const QByteArray latin1 = "GET /caf\xe9?q=\xff HTTP/1.1\r\nCookie: n=caf\xe9\r\n\r\n";
    QTest::newRow("latin-1 bytes unchanged") << QList<QByteArray>{latin1} << latin1 << QByteArray("HTTP/1.1 404 Not Found")
                                             << "HTTP connected(GET /caf\xef\xbf\xbd?q=\xef\xbf\xbd)";
    const QByteArray nul("GET / HTTP/1.1\r\nX-A: a\0b\r\nX-B: c\r\n\r\n", 36);
    QTest::newRow("nul in a header unchanged") << QList<QByteArray>{nul} << nul << ok << "HTTP connected(GET /)";
    QTest::newRow("bytes after the request") << QList<QByteArray>{get + "GET /big HTTP/1.1\r\n\r\n"} << get << ok
                                             << "HTTP connected(GET /)";
    QTest::newRow("empty url") << QList<QByteArray>{"GET\r\n\r\n"} << QByteArray("GET\r\n\r\n")
                               << QByteArray("HTTP/1.1 400 Bad Request") << "HTTP connected(GET )";

    // A request of many pieces; the longest the controller can be given, and one byte more.
    const int longest = m_controller->ZynHttpCapacity();
    const QByteArray head = "POST /echo HTTP/1.1\r\nContent-Length: ";
    auto sized = [&](int total) {
        int bodySize = total - head.size() - 4;
        bodySize -= QByteArray::number(bodySize).size();
        return head + QByteArray::number(bodySize) + "\r\n\r\n" + binaryBody(bodySize);
    };
    QTest::newRow("many pieces") << QList<QByteArray>{sized(kManyPieces)} << sized(kManyPieces) << ok
                                 << "HTTP connected(POST /echo)";
    QTest::newRow("one byte too long") << QList<QByteArray>{sized(longest + 1)} << QByteArray() << QByteArray()
                                       << "HTTP connected(POST /echo)";
    QTest::newRow("negative length") << QList<QByteArray>{head + "-5\r\n\r\nabcde"} << QByteArray() << QByteArray()
                                     << "HTTP connected(POST /echo)";
    QTest::newRow("length not a number") << QList<QByteArray>{head + "5x\r\n\r\nabcde"} << QByteArray()
                                         << QByteArray() << "HTTP connected(POST /echo)";
    QTest::newRow("length too large") << QList<QByteArray>{head + QByteArray::number(longest) + "\r\n\r\nabc"}
                                      << QByteArray() << QByteArray() << "HTTP connected(POST /echo)";
    QTest::newRow("headers too long") << QList<QByteArray>{"GET / HTTP/1.1\r\nX: " + QByteArray(longest, 'x')}
                                      << QByteArray() << QByteArray() << "HTTP connected(GET /)";
    QTest::newRow("one word") << QList<QByteArray>{QByteArray("GET\0 / HTTP/1.1\r\n\r\n", 20)} << QByteArray()
                              << QByteArray() << "HTTP connected(GET )";
    QTest::newRow("head") << QList<QByteArray>{"HEAD / HTTP/1.1\r\n\r\n"} << QByteArray() << QByteArray()
                          << "HTTP connected(GET )";
    QTest::newRow("post without length") << QList<QByteArray>{"POST /echo HTTP/1.1\r\n\r\nabc"} << QByteArray()
                                         << QByteArray() << "HTTP connected(POST /echo)";
}

void TestHttpProxy::rawRequests()
{
    QFETCH(QList<QByteArray>, segments);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, status);
    QFETCH(QString, logged);
    const int piecesBefore = m_ctl->framesReceived(kHttpPiece);
    const Outcome out = exchange(segments);
    QVERIFY(out.closed);
    QCOMPARE(statusLine(out.reply), status);
    if (request.isEmpty()) {
        QCOMPARE(m_ctl->framesReceived(kHttpPiece), piecesBefore);
    } else {
        const QByteArray got = QByteArray::fromStdString(m_ctl->lastHttpRequest());
        QCOMPARE(got, request);
        QCOMPARE(out.reply, directAnswer(request));
    }
    QTRY_VERIFY2(m_messages->lines().contains(logged), qPrintable(m_messages->lines().join(QLatin1Char('\n'))));
}

void TestHttpProxy::idleConnectionsEnd_data()
{
    QTest::addColumn<QList<QByteArray>>("segments");
    QTest::newRow("nothing sent") << QList<QByteArray>{};
    QTest::newRow("part of the headers") << QList<QByteArray>{"GET / HTTP/1.1\r\nHost: x\r\n"};
    QTest::newRow("part of the body") << QList<QByteArray>{"POST /echo HTTP/1.1\r\nContent-Length: 10\r\n\r\nabc"};
}

void TestHttpProxy::idleConnectionsEnd()
{
    QFETCH(QList<QByteArray>, segments);
    proxy()->setRequestTimeout(kShortTimeoutMs);
    const int piecesBefore = m_ctl->framesReceived(kHttpPiece);
    QElapsedTimer clock;
    clock.start();
    const Outcome out = exchange(segments);
    QVERIFY(out.closed);
    // A coarse timer may fire up to 5 % early.
    QVERIFY2(clock.elapsed() >= kShortTimeoutMs - kShortTimeoutMs / 20, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(out.reply, QByteArray());
    QCOMPARE(m_ctl->framesReceived(kHttpPiece), piecesBefore);
}

void TestHttpProxy::concurrentSlowRequests()
{
    zynsim::Answer slow = zynsim::Answer::model();
    slow.delayMs = kSlowAnswerMs;
    m_ctl->script(kHttpPiece, 2, slow);
    proxy()->setMaxConnections(QZynHttpProxyServer::kMaxConnections);
    auto first = startCurl(m_controller, QStringLiteral("/"));
    auto second = startCurl(m_controller, QStringLiteral("/big"));
    const QByteArray a = curlResult(*first);
    const QByteArray b = curlResult(*second);
    QCOMPARE(statusLine(a), QByteArray("HTTP/1.1 200 OK"));
    QCOMPARE(bodyOf(b), bigPageBody());
    QCOMPARE(proxy()->peakConnections(), 2);
}

void TestHttpProxy::moreConnectionsThanTheCap()
{
    zynsim::Answer slow = zynsim::Answer::model();
    slow.delayMs = kSlowAnswerMs / 2;
    m_ctl->script(kHttpPiece, kClientsPastTheCap, slow);
    proxy()->setMaxConnections(kLowCap);
    std::vector<std::unique_ptr<QProcess>> clients;
    for (int i = 0; i < kClientsPastTheCap; ++i)
        clients.push_back(startCurl(m_controller, QStringLiteral("/")));
    QList<QByteArray> statuses;
    for (auto& client : clients)
        statuses << statusLine(curlResult(*client));
    QCOMPARE(statuses, QList<QByteArray>() << QByteArray("HTTP/1.1 200 OK") << QByteArray("HTTP/1.1 200 OK")
                                           << QByteArray("HTTP/1.1 200 OK") << QByteArray("HTTP/1.1 200 OK")
                                           << QByteArray("HTTP/1.1 200 OK") << QByteArray("HTTP/1.1 200 OK"));
    QCOMPARE(proxy()->peakConnections(), kLowCap);
}

void TestHttpProxy::pausedProxyAnswersAfterResume()
{
    // A request in its exchange when the controller pauses is answered; its end does not make
    // the proxy accept again.
    zynsim::Answer slow = zynsim::Answer::model();
    slow.delayMs = kSlowAnswerMs;
    m_ctl->script(kHttpPiece, 1, slow);
    const int piecesBefore = m_ctl->framesReceived(kHttpPiece);
    auto busy = startCurl(m_controller, QStringLiteral("/"));
    QTRY_COMPARE(m_ctl->framesReceived(kHttpPiece), piecesBefore + 1);
    m_controller->Pause();
    QVERIFY(proxy()->isListening());
    QCOMPARE(statusLine(curlResult(*busy)), QByteArray("HTTP/1.1 200 OK"));
    QTRY_COMPARE(proxy()->connectionCount(), 0);
    QTcpSocket client;
    client.connectToHost(QString::fromLatin1(kProxyHost), proxy()->serverPort());
    // The system completes the connection in the backlog; the proxy does not take it.
    QTRY_COMPARE(client.state(), QAbstractSocket::ConnectedState);
    const QByteArray get = "GET / HTTP/1.1\r\n\r\n";
    client.write(get);
    QTRY_COMPARE(client.bytesToWrite(), qint64(0));
    QVERIFY(!QTest::qWaitFor([&] { return proxy()->connectionCount() > 0 || client.bytesAvailable() > 0; },
                             kPausedWatchMs));
    m_controller->Resume();
    QByteArray reply;
    QTRY_VERIFY_WITH_TIMEOUT((reply += client.readAll(), client.state() == QAbstractSocket::UnconnectedState),
                             kExchangeMs);
    reply += client.readAll();
    QCOMPARE(statusLine(reply), QByteArray("HTTP/1.1 200 OK"));
    QCOMPARE(QByteArray::fromStdString(m_ctl->lastHttpRequest()), get);
    // Stopped and started again, the controller's proxy takes connections again.
    m_controller->StopHttpServer();
    m_controller->StartHttpServer();
    QCOMPARE(statusLine(exchange({get}).reply), QByteArray("HTTP/1.1 200 OK"));
}

void TestHttpProxy::controllerGoesMidRequest_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<bool>("inExchange");   // else still reading the request
    QTest::addColumn<int>("cap");
    QTest::addColumn<bool>("another");   // after a quiet spell: it gets the confirming read alone
    QTest::newRow("waiting for the controller") << QByteArray(kDoomedAddresses[0]) << true
                                                << int(QZynHttpProxyServer::kMaxConnections) << false;
    QTest::newRow("reading the request") << QByteArray(kDoomedAddresses[1]) << false
                                         << int(QZynHttpProxyServer::kMaxConnections) << false;
    QTest::newRow("past the cap") << QByteArray(kDoomedAddresses[2]) << true << 1 << false;
    QTest::newRow("another controller") << QByteArray(kDoomedAddresses[3]) << true << 1 << true;
}

void TestHttpProxy::controllerGoesMidRequest()
{
    QFETCH(QByteArray, address);
    QFETCH(bool, inExchange);
    QFETCH(int, cap);
    QFETCH(bool, another);
    // Not polled meanwhile: the web request is the first exchange after the quiet spell.
    const int poll = another ? 600000 : 500;
    ControllerEventWatcherThread::SetIntervals(poll, 10 * poll, 2 * poll);
    const auto intervals = qScopeGuard([] { ControllerEventWatcherThread::SetIntervals(500, 5000, 1000); });
    auto doomedCtl = m_sim->addUdpController(address.toStdString(), zynsim::ControllerConfig());
    QVERIFY(doomedCtl);
    QPointer<QZynController> doomed = announceOnline(address.constData());
    QVERIFY(doomed);
    QZynHttpProxyServer* server = proxyOf(doomed);
    QVERIFY(server);
    server->setMaxConnections(cap);
    zynsim::Answer slow = zynsim::Answer::model();
    slow.delayMs = kSlowAnswerMs * 2;
    if (another) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        answerAsAnother(*doomedCtl, "Y000000000000995");
    } else {
        doomedCtl->script(kHttpPiece, 2, slow);
    }
    doomedCtl->clearLog();
    const QByteArray request = inExchange ? "GET / HTTP/1.1\r\n\r\n" : "GET / HTTP/1.1\r\n";
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 2; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QString::fromLatin1(address), server->serverPort());
        QTRY_COMPARE(clients.back()->state(), QAbstractSocket::ConnectedState);
        clients.back()->write(request);
        QTRY_COMPARE(clients.back()->bytesToWrite(), qint64(0));
    }
    if (another) {
        QTRY_VERIFY(doomed.isNull());
        for (auto& client : clients)
            QTRY_VERIFY(client->state() == QAbstractSocket::UnconnectedState && client->readAll().isEmpty());
        QCOMPARE(commandsReceived(*doomedCtl), std::vector<int>{ZYN_CMD_GET_SYSINFO});
        return;
    }
    if (inExchange)
        QTRY_COMPARE(doomedCtl->framesReceived(kHttpPiece), 1);
    else
        QTRY_COMPARE(server->connectionCount(), std::min(cap, 2));
    QVERIFY(ZynGetHost()->remove_controller_by_ip(QString::fromLatin1(address)));
    QTRY_VERIFY(doomed.isNull());
    for (auto& client : clients)
        QTRY_COMPARE(client->state(), QAbstractSocket::UnconnectedState);
}

void TestHttpProxy::descriptorsAreClosed_data()
{
    QTest::addColumn<bool>("open");   // else a number above any the process can hold
    QTest::addColumn<int>("errors");
    // A pipe is taken as a connection on which no request comes.
    QTest::newRow("a pipe") << true << 0;
    QTest::newRow("never open") << false << 1;
}

void TestHttpProxy::descriptorsAreClosed()
{
    QFETCH(bool, open);
    QFETCH(int, errors);
    int ends[2] = {kNeverOpen, kNeverOpen};
    if (open) {
        QCOMPARE(::pipe(ends), 0);
        ::close(ends[1]);
    }
    QZynHttpThread thread(ends[0], proxy(), 100, kShortTimeoutMs);
    QSignalSpy failures(&thread, &QZynHttpThread::error);
    thread.start();
    QVERIFY(thread.wait(kExchangeMs));
    thread.waitEnded();
    QCOMPARE(failures.size(), errors);
    errno = 0;
    QCOMPARE(::fcntl(ends[0], F_GETFD), -1);
    QCOMPARE(errno, EBADF);
}

void TestHttpProxy::browserShowsThePage()
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        QSKIP("chromium is not installed: the page is not shown in a browser");
    QTemporaryDir profile;
    QVERIFY(profile.isValid());
    const QString folder = qEnvironmentVariable("PALVIR_SHOT_DIR", profile.path());
    QDir().mkpath(folder);
    const QString shot = folder + QStringLiteral("/httpproxy_page.png");
    QFile::remove(shot);
    QProcess browser;
    browser.start(chromium, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                             QStringLiteral("--disable-gpu"), QStringLiteral("--disable-background-networking"),
                             QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                             QStringLiteral("--no-first-run"), QStringLiteral("--user-data-dir=") + profile.path(),
                             QStringLiteral("--window-size=800,600"), QStringLiteral("--screenshot=") + shot,
                             baseUrl(m_controller) + QStringLiteral("/")});
    QVERIFY(QTest::qWaitFor([&] { return browser.state() == QProcess::NotRunning; }, kExchangeMs));
    QVERIFY(QFile::exists(shot));
    QVERIFY(QByteArray::fromStdString(m_ctl->lastHttpRequest()).startsWith("GET / HTTP/1.1\r\n"));
}

QTEST_GUILESS_MAIN(TestHttpProxy)
#include "test_httpproxy.moc"
