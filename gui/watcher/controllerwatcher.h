// The discovery worker: on a thread of its own it scans the driver, adds controllers by
// address, finds controllers on the local network by one discovery datagram per rescan, and
// turns device arrivals and removals into additions and removals.
#pragma once

#include "devices/zynlog.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUdpSocket>

#include <atomic>
#include <mutex>

class QZynHost;

class ControllerWatcher : public QObject {
    Q_OBJECT
public:
    // Port the watcher receives discovery replies on; port the controllers listen on.
    static constexpr quint16 kReplyPort = 46000;
    static constexpr quint16 kControllerPort = 7890;
    // A network rescan takes replies for this long after its discovery datagram went out (the
    // time the watcher spends probing the senders of its replies not counted), each sender
    // once, and at most kMaxRepliesPerRescan senders.
    static constexpr int kReplyWindowMs = 10000;
    static constexpr int kMaxRepliesPerRescan = 128;

    // Binds the discovery socket: $PALVIR_DISCOVERY_BIND, else any IPv4 address.
    explicit ControllerWatcher(QObject* parent = nullptr);
    // After its thread has ended.
    ~ControllerWatcher() override;

    void SetHost(QZynHost* host) { m_host = host; }
    // From any thread, before the watcher's thread is told to quit: the arrivals settling and
    // those still queued are dropped (at start the device watcher reports every controller
    // already there, each with its settling wait).
    void Stop();

    // Test seam: the settling wait after a controller arrives (5000 ms in the product).
    static void SetSettlingMilliseconds(int ms);
    // Test seam: the reply window (kReplyWindowMs in the product).
    static void SetReplyWindowMilliseconds(int ms);
    // Where the discovery datagram goes: $PALVIR_DISCOVERY_TARGET, else the broadcast address.
    static QHostAddress DiscoveryTarget();
    // The application's notice line of the status bar.
    static QString NoticeLine();

signals:
    void LogMessage(QZynLog* log);

public slots:
    void process();
    void scan_controller_by_driver();
    void scan_controller_by_broadcast(quint32 flag);
    bool add_ctrl_by_ip(QString ip);
    void remove_controller_by_ip(QString ip);
    // A removal takes the service's controller off the list and drops its arrival that is still
    // settling. An arrival of a service not listed settles on a timer of its own (the settling
    // wait; a new arrival of the same service starts it again), so that it holds up neither the
    // reports behind it nor the window's requests; then its controller is made and listed. False
    // for an arrival.
    bool update_device_by_entryid(bool added, quint64 id);
    void Send_Broadcast_Datagram();
    void Read_Broadcast_Datagram();
    void update();
    void scan_controller_by_broadcast_zynhttp_proxy_server();

private:
    void status(const QString& text);
    // True when a reply from `sender` is taken: a rescan is outstanding and has not heard
    // from it yet. Records the sender.
    bool takeReplyFrom(quint32 sender);
    // The end of an arrival's settling wait: the controller is made and listed.
    void settled(quint64 id);
    // Drops the arrivals settling; on the watcher's thread.
    void dropSettling();

    QTimer* m_startTimer = nullptr;
    QZynHost* m_host = nullptr;
    QUdpSocket m_socket;
    QTimer m_broadcastTimer;
    // The outstanding rescan: since when (invalid: none), how long its replies' probes took,
    // and the senders heard.
    // Guarded by m_rescanMutex, which the destructor takes as well: what the watcher's thread
    // last did to them is over and seen before they go.
    std::mutex m_rescanMutex;
    QElapsedTimer m_rescanClock;
    qint64 m_probingMs = 0;
    QSet<quint32> m_replied;
    // The arrivals settling, by entry id; their timers are the watcher's children, on its thread.
    QHash<quint64, QTimer*> m_settling;
    // Set by Stop.
    std::atomic<bool> m_stopping{false};
};
