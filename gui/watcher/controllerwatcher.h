// The discovery worker: on a thread of its own it scans the driver, adds controllers by
// address, finds controllers on the local network by one discovery datagram per rescan, and
// turns device arrivals and removals into additions and removals.
#pragma once

#include "devices/zynlog.h"

#include <QObject>
#include <QTimer>
#include <QUdpSocket>

class QZynHost;

class ControllerWatcher : public QObject {
    Q_OBJECT
public:
    // Port the watcher receives discovery replies on; port the controllers listen on.
    static constexpr quint16 kReplyPort = 46000;
    static constexpr quint16 kControllerPort = 7890;

    // Binds the discovery socket: $PALVIR_DISCOVERY_BIND, else any IPv4 address.
    explicit ControllerWatcher(QObject* parent = nullptr);

    void SetHost(QZynHost* host) { m_host = host; }

    // Test seam: the settling wait after a controller arrives (5000 ms in the product).
    static void SetSettlingMilliseconds(int ms);
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
    bool update_device_by_entryid(bool added, quint64 id);
    void Send_Broadcast_Datagram();
    void Read_Broadcast_Datagram();
    void update();
    void scan_controller_by_broadcast_zynhttp_proxy_server();

private:
    void status(const QString& text);

    QTimer* m_startTimer = nullptr;
    QZynHost* m_host = nullptr;
    QUdpSocket m_socket;
    QTimer m_broadcastTimer;
};
