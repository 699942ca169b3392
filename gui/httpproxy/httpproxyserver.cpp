#include "httpproxy/httpproxyserver.h"

#include "devices/controller.h"
#include "httpproxy/httpthread.h"

#include <unistd.h>

#include <algorithm>

QZynHttpProxyServer::QZynHttpProxyServer(QZynController* controller, QObject* parent)
    : QTcpServer(parent)
    , controller(controller)
{
    if (!listen(QHostAddress::AnyIPv4, 0))
        qDebug("HTTP proxy not listening: %s", qPrintable(errorString()));
}

QZynHttpProxyServer::~QZynHttpProxyServer()
{
    close();
    for (qintptr fd : m_waiting)
        ::close(int(fd));
    m_waiting.clear();
    for (QZynHttpThread* thread : m_threads) {
        disconnect(thread, nullptr, this, nullptr);
        thread->exitThread();
    }
    // With every socket aborted only an exchange with the controller can still hold a thread,
    // and the transport's time-out ends that: the controller must outlive these threads.
    for (QZynHttpThread* thread : m_threads) {
        thread->waitEnded();
        delete thread;
    }
    m_threads.clear();
}

void QZynHttpProxyServer::pauseAccepting()
{
    m_paused = true;
    updateAccepting();
}

void QZynHttpProxyServer::resumeAccepting()
{
    m_paused = false;
    updateAccepting();
}

void QZynHttpProxyServer::setMaxConnections(int cap)
{
    m_cap = std::max(cap, 1);
    m_peak = int(m_threads.size());
    updateAccepting();
}

void QZynHttpProxyServer::setRequestTimeout(int ms)
{
    m_requestTimeoutMs = std::max(ms, 1);
}

void QZynHttpProxyServer::updateAccepting()
{
    if (!isListening())
        return;
    if (m_paused || int(m_threads.size()) >= m_cap)
        QTcpServer::pauseAccepting();
    else
        QTcpServer::resumeAccepting();
}

void QZynHttpProxyServer::incomingConnection(qintptr socketDescriptor)
{
    // The server takes every connection already waiting in one go, past a pause made meanwhile.
    if (int(m_threads.size()) >= m_cap)
        m_waiting.push_back(socketDescriptor);
    else
        serve(socketDescriptor);
    updateAccepting();
}

void QZynHttpProxyServer::serve(qintptr socketDescriptor)
{
    const size_t maxRequest = size_t(std::max(controller->ZynHttpCapacity(), 0));
    auto* thread = new QZynHttpThread(socketDescriptor, this, maxRequest, m_requestTimeoutMs);
    connect(thread, &QThread::finished, this, &QZynHttpProxyServer::threadEnded);
    m_threads.push_back(thread);
    m_peak = std::max(m_peak, int(m_threads.size()));
    thread->start(QThread::InheritPriority);
}

void QZynHttpProxyServer::threadEnded()
{
    auto* ended = static_cast<QZynHttpThread*>(sender());
    const auto at = std::find(m_threads.begin(), m_threads.end(), ended);
    if (at == m_threads.end())
        return;
    m_threads.erase(at);
    ended->waitEnded();
    delete ended;
    while (!m_waiting.empty() && int(m_threads.size()) < m_cap) {
        const qintptr next = m_waiting.front();
        m_waiting.pop_front();
        serve(next);
    }
    updateAccepting();
}

void InstallHttpProxy()
{
    QZynController::SetHttpServerMaker(
        [](QZynController* controller) -> QZynHttpService* { return new QZynHttpProxyServer(controller); });
}
