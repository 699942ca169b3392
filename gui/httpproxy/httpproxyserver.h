// A controller's web pages for a browser: a TCP server on every IPv4 address at a port the
// system chooses, one thread per connection, each passing one request to the controller's
// ZynHttp and its answer back. At the connection cap the server stops accepting: further
// connections wait in the listen backlog and are taken up as others end; none is refused.
#pragma once

#include "devices/httpservice.h"

#include <QTcpServer>

#include <deque>
#include <vector>

class QZynController;
class QZynHttpThread;

class QZynHttpProxyServer : public QTcpServer, public QZynHttpService {
    Q_OBJECT
public:
    static constexpr int kMaxConnections = 64;
    // A request must have come whole within this time after its connection was taken.
    static constexpr int kRequestTimeoutMs = 10000;

    // Listens at once; a failure to listen leaves a server that accepts nothing.
    explicit QZynHttpProxyServer(QZynController* controller, QObject* parent = nullptr);
    // Stops listening and ends every connection; returns when their threads have ended.
    ~QZynHttpProxyServer() override;

    QZynController* GetController() const { return controller; }

    // The controller's stop, pause and resume. Connections taken already are served.
    void pauseAccepting() override;
    void resumeAccepting() override;
    QTcpServer* tcpServer() override { return this; }

    // Connections being served, and the most served at once since the cap was last set.
    int connectionCount() const { return int(m_threads.size()); }
    int peakConnections() const { return m_peak; }

    // Test seams: a lower cap, a shorter time-out for the requests of later connections.
    void setMaxConnections(int cap);
    void setRequestTimeout(int ms);

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private slots:
    // A connection thread has ended (the sender).
    void threadEnded();

private:
    void serve(qintptr socketDescriptor);
    // Accepts while the controller lets it and the cap is not reached.
    void updateAccepting();

    QZynController* const controller;
    std::vector<QZynHttpThread*> m_threads;
    // Taken in one burst past the cap: served first as connections end.
    std::deque<qintptr> m_waiting;
    bool m_paused = false;
    int m_cap = kMaxConnections;
    int m_requestTimeoutMs = kRequestTimeoutMs;
    int m_peak = 0;
};

// Gives every controller started from now on its web proxy.
void InstallHttpProxy();
