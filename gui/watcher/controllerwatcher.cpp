#include "watcher/controllerwatcher.h"

#include "devices/controller.h"
#include "devices/event.h"
#include "devices/host.h"
#include "zynframe.h"

#include <QDebug>
#include <QMetaMethod>
#include <QNetworkDatagram>
#include <QThread>

#include <atomic>
#include <cstring>

namespace {

// The identify frame without payload: the discovery datagram.
const char kDiscoveryFrame[] = {0x5E, 0x01, 0x61, 0x01, 0x00, 0x13, 0x14};
std::atomic<int> g_settlingMs{5000};
std::atomic<int> g_replyWindowMs{ControllerWatcher::kReplyWindowMs};

QHostAddress addressFromEnvironment(const char* variable, const QHostAddress& otherwise)
{
    const QByteArray value = qgetenv(variable);
    QHostAddress address;
    if (!value.isEmpty() && address.setAddress(QString::fromLatin1(value)) && address.protocol() == QAbstractSocket::IPv4Protocol)
        return address;
    return otherwise;
}

} // namespace

void ControllerWatcher::SetSettlingMilliseconds(int ms)
{
    g_settlingMs = ms;
}

void ControllerWatcher::SetReplyWindowMilliseconds(int ms)
{
    g_replyWindowMs = ms;
}

QHostAddress ControllerWatcher::DiscoveryTarget()
{
    return addressFromEnvironment("PALVIR_DISCOVERY_TARGET", QHostAddress(QHostAddress::Broadcast));
}

QString ControllerWatcher::NoticeLine()
{
    return tr("Controllers appear in the tree as they are found.");
}

ControllerWatcher::ControllerWatcher(QObject* parent)
    : QObject(parent)
    , m_socket(this)
    , m_broadcastTimer(this)
{
    const QHostAddress bind = addressFromEnvironment("PALVIR_DISCOVERY_BIND", QHostAddress(QHostAddress::AnyIPv4));
    m_socket.bind(bind, kReplyPort, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
    connect(&m_socket, &QUdpSocket::readyRead, this, &ControllerWatcher::Read_Broadcast_Datagram);
    m_broadcastTimer.setSingleShot(true);
    m_broadcastTimer.setInterval(0);
    connect(&m_broadcastTimer, &QTimer::timeout, this, &ControllerWatcher::Send_Broadcast_Datagram);
}

void ControllerWatcher::status(const QString& text)
{
    // The receiver deletes the record: without one it is not made.
    if (!isSignalConnected(QMetaMethod::fromSignal(&ControllerWatcher::LogMessage)))
        return;
    emit LogMessage(new QZynLog(QZynLog::StatusBar, QZynDevice::LocalHost, QZynEvent::Informational, text));
}

void ControllerWatcher::process()
{
    qDebug() << "ControllerWatcher started" << QThread::currentThread();
    scan_controller_by_driver();
    m_startTimer = new QTimer(this);
    m_startTimer->setSingleShot(true);
    connect(m_startTimer, &QTimer::timeout, this, &ControllerWatcher::update);
    m_startTimer->start(0);
}

void ControllerWatcher::scan_controller_by_driver()
{
    qDebug() << "FindController" << "thread = " << QThread::currentThread();
    if (m_host == nullptr)
        return;
    // Each controller is announced as soon as it is listed, not after the whole scan.
    const int added = m_host->scan_controller([this](QZynController* c) {
        emit m_host->DeviceChanged(c, QZynDevice::DeviceAdded);
    });
    if (added > 0)
        qDebug("%d controller(s) found.\n", added);
    status(m_host->get_total_controllers() != 0 ? NoticeLine() : tr("Finding controller..."));
}

void ControllerWatcher::scan_controller_by_broadcast(quint32 flag)
{
    qDebug() << "Broadcast started, flag = " << flag;
    m_broadcastTimer.start();
}

bool ControllerWatcher::add_ctrl_by_ip(QString ip)
{
    if (m_host == nullptr)
        return false;
    const QList<QZynController*> added = m_host->scan_controller_by_ip(ip);
    for (QZynController* c : added)
        emit m_host->DeviceChanged(c, QZynDevice::DeviceAdded);
    status(NoticeLine());
    return !added.isEmpty();
}

void ControllerWatcher::remove_controller_by_ip(QString ip)
{
    if (m_host != nullptr)
        m_host->remove_controller_by_ip(ip);
}

bool ControllerWatcher::update_device_by_entryid(bool added, quint64 id)
{
    if (m_host == nullptr || m_stopping.load())
        return false;
    if (!added) {
        // Gone before it settled: it is never made.
        if (QTimer* settling = m_settling.take(id))
            delete settling;
        return m_host->remove_controller_by_entryid(id);
    }
    // At start the device watcher reports every controller the scan has listed already: those
    // reports add nothing.
    if (m_host->get_controller_by_entryid(id) != nullptr) {
        status(NoticeLine());
        return false;
    }
    // The driver needs a moment to bring a controller that has just arrived up. It has no more
    // controllers than the scan has slots.
    if (!m_settling.contains(id) && m_settling.size() >= QZynHost::kDriverSlots)
        return false;
    QTimer*& settling = m_settling[id];
    if (settling == nullptr) {
        // The arrivals still settling go with the thread, on it, as it ends.
        connect(QThread::currentThread(), &QThread::finished, this, &ControllerWatcher::dropSettling,
                Qt::ConnectionType(Qt::UniqueConnection | Qt::DirectConnection));
        settling = new QTimer(this);
        settling->setSingleShot(true);
        connect(settling, &QTimer::timeout, this, [this, id] { settled(id); });
    }
    settling->start(g_settlingMs.load());
    return false;
}

void ControllerWatcher::settled(quint64 id)
{
    if (QTimer* settling = m_settling.take(id))
        settling->deleteLater();   // its own timeout is under way
    if (m_host == nullptr || m_stopping.load())
        return;
    const QList<QZynController*> list = m_host->add_controller_by_entryid(id);
    for (QZynController* c : list)
        emit m_host->DeviceChanged(c, QZynDevice::DeviceAdded);
    status(NoticeLine());
}

void ControllerWatcher::dropSettling()
{
    qDeleteAll(m_settling);
    m_settling.clear();
}

void ControllerWatcher::Stop()
{
    m_stopping = true;
}

ControllerWatcher::~ControllerWatcher()
{
    std::lock_guard<std::mutex> lock(m_rescanMutex);
    m_replied.clear();
}

bool ControllerWatcher::takeReplyFrom(quint32 sender)
{
    std::lock_guard<std::mutex> lock(m_rescanMutex);
    if (!m_rescanClock.isValid() || m_rescanClock.elapsed() - m_probingMs >= g_replyWindowMs.load())
        return false;
    if (m_replied.contains(sender) || m_replied.size() >= kMaxRepliesPerRescan)
        return false;
    m_replied.insert(sender);
    return true;
}

void ControllerWatcher::Send_Broadcast_Datagram()
{
    // What waits unread came before this datagram and answers nothing.
    char discard;
    while (m_socket.hasPendingDatagrams())
        m_socket.readDatagram(&discard, sizeof discard);
    const bool sent = m_socket.writeDatagram(kDiscoveryFrame, sizeof kDiscoveryFrame, DiscoveryTarget(),
                                             kControllerPort) == sizeof kDiscoveryFrame;
    std::lock_guard<std::mutex> lock(m_rescanMutex);
    m_replied.clear();
    m_probingMs = 0;
    if (sent)
        m_rescanClock.start();
    else
        m_rescanClock.invalidate();
    qDebug("Send broadcast datagram");
}

void ControllerWatcher::Read_Broadcast_Datagram()
{
    while (m_socket.hasPendingDatagrams()) {
        QByteArray datagram(int(qMax<qint64>(m_socket.pendingDatagramSize(), 0)), 0);
        QHostAddress sender;
        quint16 port = 0;
        const qint64 read = m_socket.readDatagram(datagram.data(), datagram.size(), &sender, &port);
        // A reply is any datagram that begins like a controller frame.
        if (read < qint64(sizeof kZynFramePrefix)
            || std::memcmp(datagram.constData(), kZynFramePrefix, sizeof kZynFramePrefix) != 0)
            continue;
        const quint32 address = sender.toIPv4Address();
        if (!takeReplyFrom(address))
            continue;
        QElapsedTimer probe;
        probe.start();
        add_ctrl_by_ip(QHostAddress(address).toString());
        std::lock_guard<std::mutex> lock(m_rescanMutex);
        m_probingMs += probe.elapsed();
    }
}

void ControllerWatcher::update()
{
}

void ControllerWatcher::scan_controller_by_broadcast_zynhttp_proxy_server()
{
}
