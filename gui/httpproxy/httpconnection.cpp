#include "httpproxy/httpconnection.h"

#include "devices/controller.h"

#include <QTcpSocket>

#include <memory>

QZynHttpConnection::QZynHttpConnection(QZynController* controller, QTcpSocket* socket, size_t maxRequest,
                                       int requestTimeoutMs, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_socket(socket)
    , m_framer(maxRequest)
    , m_readLimit(maxRequest + 1)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &QZynHttpConnection::timedOut);
    connect(m_socket.get(), &QTcpSocket::readyRead, this, &QZynHttpConnection::readClient);
    connect(m_socket.get(), &QTcpSocket::disconnected, this, &QZynHttpConnection::discardClient);
    connect(m_socket.get(), &QTcpSocket::bytesWritten, this, &QZynHttpConnection::replyWritten);
    m_deadline.start(requestTimeoutMs);
}

QZynHttpConnection::~QZynHttpConnection()
{
    // The socket goes with the connection, closing its descriptor; what it says while it goes
    // is not heard any more.
    if (m_socket)
        m_socket->disconnect(this);
}

void QZynHttpConnection::readClient()
{
    if (m_phase != Reading)
        return;
    // Never more than one byte past the longest request: that byte already refuses it.
    const qint64 room = qint64(m_readLimit) - m_request.size();
    if (room > 0)
        m_request.append(m_socket->read(room));
    const HttpRequestFramer::Verdict verdict = m_framer.examine(m_request.constData(), size_t(m_request.size()));
    if (verdict == HttpRequestFramer::Incomplete)
        return;
    m_url = QByteArray::fromStdString(m_framer.url());
    qDebug("HTTP connected(%s %s)", m_framer.method() == HttpRequestFramer::MethodPost ? "POST" : "GET",
           m_url.constData());
    if (verdict == HttpRequestFramer::Complete)
        serve();
    else
        close();
}

void QZynHttpConnection::serve()
{
    m_deadline.stop();
    m_request.truncate(int(m_framer.length()));
    std::unique_ptr<char[]> reply(new char[kReplyBufferSize]);
    int replyLength = 0;
    const u32 rc = m_controller->ZynHttp(m_request.data(), m_request.size(), reply.get(), &replyLength);
    if (rc != ZYN_OK || replyLength <= 0 || replyLength > kReplyBufferSize
        || m_socket->state() != QAbstractSocket::ConnectedState) {
        close();
        return;
    }
    m_phase = Writing;
    m_deadline.start(kWriteTimeoutMs);
    if (m_socket->write(reply.get(), replyLength) != replyLength)
        close();
}

void QZynHttpConnection::replyWritten()
{
    if (m_phase == Writing && m_socket->bytesToWrite() == 0)
        close();
}

void QZynHttpConnection::close()
{
    if (m_phase == Ended)
        return;
    m_phase = Ended;
    // Everything written has left: the socket closes at once.
    m_socket->disconnectFromHost();
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        m_socket->abort();
    finish();
}

void QZynHttpConnection::timedOut()
{
    // A request that never came whole, or an answer the browser does not take.
    abortClient();
}

void QZynHttpConnection::abortClient()
{
    m_phase = Ended;
    m_socket->abort();
    finish();
}

void QZynHttpConnection::discardClient()
{
    if (!m_disconnectLogged) {
        m_disconnectLogged = true;
        qDebug("HTTP disconnect(%s)", m_url.constData());
    }
    // The browser went first: before its request was whole, or while the answer was leaving.
    if (m_phase != Ended) {
        m_phase = Ended;
        finish();
    }
}

void QZynHttpConnection::finish()
{
    m_deadline.stop();
    if (m_finished)
        return;
    m_finished = true;
    emit finished();
}
