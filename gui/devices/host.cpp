#include "devices/host.h"

#include "devices/controller.h"
#include "darwinuserclient.h"
#include "devices/event.h"
#include "ethernetinterface.h"
#include "os/mac/os_darwin_userclient.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMetaMethod>
#include <mutex>
#include <thread>
#include <QThread>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr short kControllerPort = 7890;

int sourceOf(const QZynController* controller)
{
    return controller->GetConnectionType() == QZynController::ConnectionEthernet ? QZynDevice::Network
                                                                                  : QZynDevice::LocalHost;
}

// The driver slot of the service with registry entry id `id`: its place among the driver's
// services, as the scan counts them; -1 when it is not there.
int driverSlotOf(quint64 id)
{
    using namespace iokit;
    io_iterator_t services = IO_OBJECT_NULL;
    if (IOServiceGetMatchingServices(kIOMasterPortDefault, IOServiceMatching(zynmsr::kServiceClass), &services)
        != kIOReturnSuccess)
        return -1;
    int found = -1;
    for (int slot = 0; slot < QZynHost::kDriverSlots && found < 0; ++slot) {
        const io_service_t service = IOIteratorNext(services);
        if (service == IO_OBJECT_NULL)
            break;
        uint64_t entry = 0;
        if (IORegistryEntryGetRegistryEntryID(service, &entry) == kIOReturnSuccess && entry == id)
            found = slot;
        IOObjectRelease(service);
    }
    IOObjectRelease(services);
    return found;
}

} // namespace

QZynControllerList::~QZynControllerList()
{
    for (QZynController* controller : *this)
        delete controller;
}

QZynHost* ZynGetHost()
{
    static QZynHost* const host = new QZynHost(nullptr);
    return host;
}

QZynHost::QZynHost(QObject* parent)
    : QObject(parent)
{
}

void QZynHost::log(int source, int level, const QString& text)
{
    // The receiver deletes the record: without one it is not made.
    if (!isSignalConnected(QMetaMethod::fromSignal(&QZynHost::LogMessage)))
        return;
    emit LogMessage(new QZynLog(QZynLog::LogList, quint32(source), quint32(level), text));
}

void QZynHost::logNoControllerInSlot(int slot)
{
    log(QZynDevice::LocalHost, QZynEvent::Serious, tr("No controller found in slot %1").arg(slot));
}

bool QZynHost::add_controller(QZynController* controller)
{
    if (controller == nullptr)
        return false;
    std::lock_guard<std::mutex> locker(m_mutex);
    size_t slot = m_controllers.size();
    for (size_t i = 0; i < m_controllers.size(); ++i) {
        QZynController* listed = m_controllers[i];
        if (listed == nullptr) {
            slot = std::min(slot, i);
            continue;
        }
        if (*listed == *controller)
            return false;
    }
    if (slot == m_controllers.size())
        m_controllers.push_back(controller);
    else
        m_controllers[slot] = controller;
    log(sourceOf(controller), QZynEvent::Informational, tr("%1 connected.").arg(controller->GetText()));
    controller->SetHostSlot(int(slot));
    return true;
}

bool QZynHost::remove_controller(QZynController* controller)
{
    if (controller == nullptr)
        return false;
    std::lock_guard<std::mutex> locker(m_mutex);
    const int slot = controller->GetHostSlot();
    if (slot < 0 || size_t(slot) >= m_controllers.size() || m_controllers[size_t(slot)] != controller)
        return false;
    m_controllers[size_t(slot)] = nullptr;
    m_removed.push_back(controller);
    log(sourceOf(controller), QZynEvent::Informational, tr("%1 disconnected.").arg(controller->GetText()));
    return true;
}

void QZynHost::forgetRemoved(QZynController* controller)
{
    std::lock_guard<std::mutex> locker(m_mutex);
    m_removed.erase(std::remove(m_removed.begin(), m_removed.end(), controller), m_removed.end());
}

void QZynHost::StopRemoved()
{
    std::vector<QZynController*> removed;
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        removed = m_removed;
    }
    // Only this thread deletes them: none goes while it is stopped.
    for (QZynController* controller : removed) {
        if (controller->thread() != QThread::currentThread())
            continue;
        controller->Stop();
        controller->CloseHttpServer();
    }
}

int QZynHost::get_total_controllers()
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return int(m_controllers.size());
}

QZynController* QZynHost::get_controller(int slot)
{
    std::lock_guard<std::mutex> locker(m_mutex);
    if (slot < 0 || size_t(slot) >= m_controllers.size())
        throw std::out_of_range("controller slot");
    return m_controllers[size_t(slot)];
}

QZynController* QZynHost::take_at(int slot)
{
    std::lock_guard<std::mutex> locker(m_mutex);
    if (slot < 0 || size_t(slot) >= m_controllers.size())
        return nullptr;
    QZynController* controller = m_controllers[size_t(slot)];
    m_controllers[size_t(slot)] = nullptr;
    return controller;
}

int QZynHost::get_controller_index(QZynController* controller)
{
    std::lock_guard<std::mutex> locker(m_mutex);
    for (size_t i = 0; i < m_controllers.size(); ++i)
        if (controller != nullptr && m_controllers[i] == controller)
            return int(i);
    return -1;
}

namespace {

// Deletes a controller that was never listed in its own thread.
void discard(QZynController* controller)
{
    if (controller->thread() == QThread::currentThread())
        delete controller;
    else
        controller->deleteLater();
}

} // namespace

QZynHost::Adoption QZynHost::adopt(QZynController* controller)
{
    // A controller whose session or identity could not be had is nobody: listed, it would be a
    // blank row that takes commands, or a second row of a controller that was only busy.
    if (!controller->IsIdentified() || controller->GetState() == QZynController::StateOffline) {
        qDebug() << controller->GetText() << "went offline while connecting, not added";
        discard(controller);
        return Adoption::Unusable;
    }
    // Controllers live on the GUI thread, so that their deferred deletion runs after the queued
    // announcements that still carry them.
    if (QCoreApplication* app = QCoreApplication::instance())
        if (controller->thread() == QThread::currentThread())
            controller->moveToThread(app->thread());
    if (!add_controller(controller)) {
        discard(controller);
        return Adoption::Duplicate;
    }
    return Adoption::Listed;
}

int QZynHost::scan_controller(const std::function<void(QZynController*)>& listed)
{
    std::vector<ZynInterface*> transports(kDriverSlots, nullptr);
    for (int index = 0; index < kDriverSlots; ++index) {
        auto* transport = new DarwinUserClientInterface();
        // A controller the list holds already is not asked again.
        if (transport->init(index) && get_controller_by_entryid(transport->entryId()) == nullptr)
            transports[size_t(index)] = transport;
        else
            delete transport;
    }
    // Each controller object is made on a thread of its own: making one waits for its
    // controller's answers, and the controllers answer side by side. Each object moves to
    // this thread before its maker ends; they are listed here, in slot order.
    std::vector<QZynController*> made(kDriverSlots, nullptr);
    QThread* home = QThread::currentThread();
    std::vector<std::thread> makers;
    for (int index = 0; index < kDriverSlots; ++index) {
        if (transports[size_t(index)] == nullptr)
            continue;
        makers.emplace_back([&made, &transports, index, home] {
            auto* controller = new QZynController(transports[size_t(index)], QZynController::ConnectionDriver);
            controller->moveToThread(home);
            made[size_t(index)] = controller;
        });
    }
    for (std::thread& maker : makers)
        maker.join();
    int added = 0;
    for (int index = 0; index < kDriverSlots; ++index) {
        QZynController* controller = made[size_t(index)];
        if (controller == nullptr)
            continue;
        const Adoption adoption = adopt(controller);
        // It did not say who it is: to the user that is no controller, as for a failed Connect.
        if (adoption == Adoption::Unusable)
            logNoControllerInSlot(index);
        if (adoption != Adoption::Listed)
            continue;
        ++added;
        if (listed)
            listed(controller);
    }
    return added;
}

QList<QZynController*> QZynHost::scan_controller_by_ip(QString ip)
{
    const QByteArray address = ip.toUtf8();
    // A controller the list holds already is not asked again.
    if (get_controller_by_ip(ip) != nullptr)
        return {};
    qDebug("Scanning controller at ip %s", address.constData());
    auto* transport = new EthernetInterface();
    if (!transport->init(address.constData(), kControllerPort)) {
        delete transport;
        log(QZynDevice::Network, QZynEvent::Serious, tr("No controller found at %0").arg(ip));
        return {};
    }
    auto* controller = new QZynController(transport, QZynController::ConnectionEthernet);
    switch (adopt(controller)) {
    case Adoption::Listed:
        return {controller};
    case Adoption::Unusable:
        // It answered the probe and then nothing: to the user that is no controller either.
        log(QZynDevice::Network, QZynEvent::Serious, tr("No controller found at %0").arg(ip));
        return {};
    case Adoption::Duplicate:
        break;
    }
    return {};
}

QList<QZynController*> QZynHost::add_controller_by_entryid(quint64 id)
{
    // Reported again (the device watcher reports every service present when it starts), or
    // found by a scan meanwhile.
    if (get_controller_by_entryid(id) != nullptr)
        return {};
    auto* transport = new QDarwinUserClient();
    if (!transport->init(id)) {
        delete transport;
        log(QZynDevice::LocalHost, QZynEvent::Serious, tr("No controller found"));
        return {};
    }
    auto* controller = new QZynController(transport, QZynController::ConnectionDriver);
    switch (adopt(controller)) {
    case Adoption::Listed:
        return {controller};
    case Adoption::Unusable: {
        const int slot = driverSlotOf(id);
        if (slot >= 0)
            logNoControllerInSlot(slot);
        else
            log(QZynDevice::LocalHost, QZynEvent::Serious, tr("No controller found"));
        return {};
    }
    case Adoption::Duplicate:
        break;
    }
    return {};
}

QZynController* QZynHost::get_controller_by_ip(QString ip)
{
    const int total = get_total_controllers();
    for (int i = 0; i < total; ++i) {
        QZynController* c = get_controller(i);
        if (c != nullptr && c->GetConnectionType() == QZynController::ConnectionEthernet
            && c->GetSysInfo()->GetIPAddressString() == ip)
            return c;
    }
    return nullptr;
}

QZynController* QZynHost::get_controller_by_entryid(quint64 id)
{
    const int total = get_total_controllers();
    for (int i = 0; i < total; ++i) {
        QZynController* c = get_controller(i);
        if (c == nullptr)
            continue;
        ZynInterface* transport = c->ZynGetInterface();
        if (auto* byEntry = dynamic_cast<QDarwinUserClient*>(transport)) {
            if (byEntry->GetEntryID() == id)
                return c;
        } else if (auto* byPosition = dynamic_cast<DarwinUserClientInterface*>(transport)) {
            if (byPosition->entryId() == id)
                return c;
        }
    }
    return nullptr;
}

bool QZynHost::removeAndAnnounce(QZynController* controller)
{
    if (!remove_controller(controller))
        return false;
    // Unlisted, the controller is this call's alone. Its polling worker and web proxy belong to
    // its thread (the GUI thread): they are stopped there, and the announcement made there
    // comes before the deletion.
    auto finish = [this, controller] {
        controller->Stop();
        emit DeviceChanged(controller, QZynDevice::DeviceRemoved);
        controller->deleteLater();
    };
    if (controller->thread() == QThread::currentThread())
        finish();
    else
        QMetaObject::invokeMethod(controller, finish, Qt::QueuedConnection);
    return true;
}

bool QZynHost::remove_controller_by_ip(QString ip)
{
    if (QZynController* c = get_controller_by_ip(ip)) {
        qDebug().noquote() << QStringLiteral("remove_controller_by_ip(%0)").arg(ip);
        removeAndAnnounce(c);
    }
    return true;
}

bool QZynHost::remove_controller_by_entryid(quint64 id)
{
    if (QZynController* c = get_controller_by_entryid(id)) {
        qDebug().noquote() << QStringLiteral("remove_controller_by_entryid(%0)").arg(id);
        removeAndAnnounce(c);
    }
    return true;
}
