// One browser connection on its own thread: reads one request as its segments arrive, passes
// it unchanged to the controller's ZynHttp, writes the controller's answer and closes. A
// request that cannot be framed, or that does not arrive whole in time, is closed without a
// reply and never reaches the controller.
#pragma once

#include "httpproxy/httpframer.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <memory>

class QTcpSocket;
class QZynController;

class QZynHttpConnection : public QObject {
    Q_OBJECT
public:
    // The controller's answer is written from a buffer of this size.
    static constexpr int kReplyBufferSize = 0xA00000;
    // How long the answer may take to leave, and the closing after it.
    static constexpr int kWriteTimeoutMs = 10000;

    // Takes `socket` (its own from now on, on this object's thread); the request must be
    // complete within `requestTimeoutMs` and at most `maxRequest` bytes long.
    QZynHttpConnection(QZynController* controller, QTcpSocket* socket, size_t maxRequest, int requestTimeoutMs,
                       QObject* parent = nullptr);
    ~QZynHttpConnection() override;

signals:
    // The connection has ended, once.
    void finished();

public slots:
    void readClient();
    void discardClient();
    // Ends the connection at once, without a reply.
    void abortClient();

private slots:
    void timedOut();
    void replyWritten();

private:
    enum Phase { Reading, Writing, Ended };
    // Passes the request on and writes the answer.
    void serve();
    void close();
    void finish();

    QZynController* m_controller;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_request;
    HttpRequestFramer m_framer;
    size_t m_readLimit;
    QByteArray m_url;
    QTimer m_deadline;
    Phase m_phase = Reading;
    bool m_disconnectLogged = false;
    bool m_finished = false;
};
