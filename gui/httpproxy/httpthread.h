// The thread of one browser connection: adopts the accepted descriptor in a socket of its own,
// serves the connection on its event loop and ends when the connection has ended.
#pragma once

#include <QTcpSocket>
#include <QThread>

#include <mutex>

class QZynHttpConnection;
class QZynHttpProxyServer;

class QZynHttpThread : public QThread {
    Q_OBJECT
public:
    // `maxRequest` and `requestTimeoutMs` are handed to the connection.
    QZynHttpThread(qintptr socketDescriptor, QZynHttpProxyServer* server, size_t maxRequest, int requestTimeoutMs,
                   QObject* parent = nullptr);

    // From any thread: the connection ends at once, without a reply, and the thread after it.
    // A connection waiting for the controller's answer ends when the answer has come.
    void exitThread();
    // Waits until run() has ended. Through the thread's own lock everything run() did comes
    // before what the caller does next, as the thread sanitizer sees it too (it does not see
    // inside QThread::wait).
    void waitEnded();

signals:
    // The descriptor could not be adopted; its connection is closed.
    void error(QTcpSocket::SocketError socketError);

protected:
    void run() override;

private:
    void markEnded();

    const qintptr socketDescriptor;
    QZynHttpProxyServer* const server;
    const size_t m_maxRequest;
    const int m_requestTimeoutMs;
    // Made and deleted by run() on this thread; exitThread reaches it under the mutex.
    QZynHttpConnection* connection = nullptr;
    bool m_exitRequested = false;
    bool m_ended = false;
    std::mutex m_mutex;
};
