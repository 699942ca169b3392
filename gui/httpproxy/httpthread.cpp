#include "httpproxy/httpthread.h"

#include "httpproxy/httpconnection.h"
#include "httpproxy/httpproxyserver.h"

#include <fcntl.h>
#include <unistd.h>

#include <memory>

QZynHttpThread::QZynHttpThread(qintptr socketDescriptor, QZynHttpProxyServer* server, size_t maxRequest,
                               int requestTimeoutMs, QObject* parent)
    : QThread(parent)
    , socketDescriptor(socketDescriptor)
    , server(server)
    , m_maxRequest(maxRequest)
    , m_requestTimeoutMs(requestTimeoutMs)
{
    qRegisterMetaType<QTcpSocket::SocketError>("QTcpSocket::SocketError");
}

void QZynHttpThread::run()
{
    const int fd = int(socketDescriptor);
    // The socket layer closes a descriptor it cannot make non-blocking, and leaves open one it
    // cannot adopt otherwise: made non-blocking here first, every failure below leaves it open
    // for this thread to close.
    const int flags = ::fcntl(fd, F_GETFL);
    auto socket = std::make_unique<QTcpSocket>();
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0
        || !socket->setSocketDescriptor(socketDescriptor, QAbstractSocket::ConnectedState, QIODevice::ReadWrite)) {
        qDebug("HTTP connection not adopted: %s", qPrintable(socket->errorString()));
        emit error(socket->error());
        socket.reset();
        ::close(fd);
        markEnded();
        return;
    }
    auto* made = new QZynHttpConnection(server->GetController(), socket.release(), m_maxRequest, m_requestTimeoutMs);
    // The connection ends this thread's loop from its own thread.
    connect(made, &QZynHttpConnection::finished, this, &QThread::quit, Qt::DirectConnection);
    bool exitRequested = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        connection = made;
        exitRequested = m_exitRequested;
    }
    if (!exitRequested)
        exec();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        connection = nullptr;
    }
    // Its socket goes with it, closing the descriptor.
    delete made;
    markEnded();
}

void QZynHttpThread::markEnded()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ended = true;
}

void QZynHttpThread::waitEnded()
{
    wait();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_ended)
        qWarning("HTTP connection thread ended without its connection's end");
}

void QZynHttpThread::exitThread()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_exitRequested = true;
    if (connection != nullptr)
        QMetaObject::invokeMethod(connection, "abortClient", Qt::QueuedConnection);
    quit();
}
