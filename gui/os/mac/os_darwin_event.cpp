#include "os/mac/os_darwin_event.h"

#include "iokit/logindpower.h"

#include <QDebug>

#include <cstring>

using namespace iokit;
using namespace cf;

namespace {

constexpr const char* kDriverClass = "ZynMSR";
constexpr const char* kMakerName = "Varnel";
constexpr double kSliceSeconds = 1.0;

void ZynMSRAppeared(void* refcon, io_iterator_t iterator)
{
    auto* watcher = static_cast<QDeviceWatcherThread*>(refcon);
    while (io_service_t service = IOIteratorNext(iterator)) {
        qDebug("ZynMSRAppeared, iterator(%u), io_service(%u)", iterator, service);
        watcher->DeviceAdded(service);
        IOObjectRelease(service);
    }
}

void ZynMSRDisappeared(void* refcon, io_iterator_t iterator)
{
    auto* watcher = static_cast<QDeviceWatcherThread*>(refcon);
    while (io_service_t service = IOIteratorNext(iterator)) {
        qDebug("ZynMSRDisappeared, iterator(%u), io_service(%u)", iterator, service);
        watcher->DeviceRemoved(service);
        IOObjectRelease(service);
    }
}

void MySleepCallBack(void* refcon, io_service_t, uint32_t messageType, void* messageArgument)
{
    static_cast<QPowerStateWatcherThread*>(refcon)->HandlePowerStateChanged(messageType, messageArgument);
}

} // namespace

// ---- Loop state ------------------------------------------------------------------------

bool WatchLoopState::IsRunning() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_running;
}

void WatchLoopState::Stop()
{
    std::lock_guard<std::mutex> locker(m_mutex);
    m_running = false;
    ++m_stops;
}

void WatchLoopState::Request()
{
    std::lock_guard<std::mutex> locker(m_mutex);
    m_requestStops = m_stops;
}

quint64 WatchLoopState::Requested() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_requestStops;
}

quint64 WatchLoopState::Stops() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_stops;
}

bool WatchLoopState::Begin(quint64 stops)
{
    std::lock_guard<std::mutex> locker(m_mutex);
    if (stops != m_stops)
        return false;
    m_running = true;
    return true;
}

// ---- Device arrival --------------------------------------------------------------------

QDeviceWatcherThread::QDeviceWatcherThread(QObject* parent)
    : QObject(parent)
{
    moveToThread(&m_thread);
    m_thread.start(QThread::InheritPriority);
}

QDeviceWatcherThread::~QDeviceWatcherThread()
{
    Stop();
}

bool QDeviceWatcherThread::IsRunning() const
{
    return m_state.IsRunning();
}

void QDeviceWatcherThread::Stop()
{
    m_state.Stop();
    m_thread.quit();
    if (QThread::currentThread() != &m_thread) {
        m_thread.wait();
        // The thread's end orders nothing the thread sanitizer sees; the loop's lock does.
        std::lock_guard<std::mutex> ended(m_workMutex);
    }
}

void QDeviceWatcherThread::DoWork()
{
    if (QThread::currentThread() != &m_thread) {
        // The call carries nothing: what it needs waits in m_state, under its lock.
        m_state.Request();
        QMetaObject::invokeMethod(this, "runRequested", Qt::QueuedConnection);
        return;
    }
    run(m_state.Stops());
}

void QDeviceWatcherThread::runRequested()
{
    run(m_state.Requested());
}

void QDeviceWatcherThread::run(quint64 stops)
{
    std::lock_guard<std::mutex> work(m_workMutex);
    if (!m_state.Begin(stops))
        return;
    m_runLoop = CFRunLoopGetCurrent();
    m_port = IONotificationPortCreate(kIOMasterPortDefault);
    CFRunLoopAddSource(m_runLoop, IONotificationPortGetRunLoopSource(m_port), kCFRunLoopDefaultMode);

    io_iterator_t appeared = IO_OBJECT_NULL;
    io_iterator_t disappeared = IO_OBJECT_NULL;
    MatchingDictionary* matching = IOServiceMatching(kDriverClass);
    if (matching == nullptr) {
        qDebug("IOServiceMatching(\"ZynMSR\") failed");
    } else {
        // Each registration consumes one reference.
        RetainMatching(matching);
        kern_return_t kr = IOServiceAddMatchingNotification(m_port, kIOFirstMatchNotification, matching,
                                                            ZynMSRAppeared, this, &appeared);
        if (kr != kIOReturnSuccess)
            qDebug("IOServiceAddMatchingNotification(ZynMSRAppeared) failed with code %d", kr);
        else
            ZynMSRAppeared(this, appeared);   // reports what is there and arms the notification
        kr = IOServiceAddMatchingNotification(m_port, kIOTerminatedNotification, matching, ZynMSRDisappeared,
                                              this, &disappeared);
        if (kr != kIOReturnSuccess)
            qDebug("IOServiceAddMatchingNotification(ZynMSRDisappeared) failed with code %d", kr);
        else
            ZynMSRDisappeared(this, disappeared);
    }

    while (IsRunning())
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, kSliceSeconds, false);

    CFRunLoopStop(m_runLoop);
    CFRunLoopRemoveSource(m_runLoop, IONotificationPortGetRunLoopSource(m_port), kCFRunLoopDefaultMode);
    IONotificationPortDestroy(m_port);   // and the iterators it gave out
    m_port = nullptr;
}

void QDeviceWatcherThread::reportService(io_service_t service, bool added)
{
    char name[kNameSize] = {};
    if (IORegistryEntryGetName(service, name) != kIOReturnSuccess)
        return;
    qDebug() << "Service Name: " << name;
    uint64_t entryId = 0;
    if (IORegistryEntryGetRegistryEntryID(service, &entryId) != kIOReturnSuccess)
        return;
    qDebug() << entryId << (added ? " device added" : " device removed");
    char parent[kNameSize] = {};
    if (IORegistryEntryGetParentName(service, parent) != kIOReturnSuccess)
        return;
    if (std::strncmp(parent, kMakerName, std::strlen(kMakerName)) != 0)
        return;
    qDebug() << "Parent: " << parent;
    emit DeviceChanged(added, quint64(entryId));
}

void QDeviceWatcherThread::DeviceAdded(io_service_t service)
{
    reportService(service, true);
}

void QDeviceWatcherThread::DeviceRemoved(io_service_t service)
{
    reportService(service, false);
}

// ---- Power -----------------------------------------------------------------------------

QPowerStateWatcherThread::QPowerStateWatcherThread(QObject* parent)
    : QObject(parent)
{
    moveToThread(&m_thread);
    m_thread.start(QThread::InheritPriority);
}

QPowerStateWatcherThread::~QPowerStateWatcherThread()
{
    Stop();
    qDebug("UnRegisterMacPwrManagement()");   // the loop took its source out when it ended
    if (m_notifier != IO_OBJECT_NULL)
        IODeregisterForSystemPower(&m_notifier);
    if (m_rootPort != IO_OBJECT_NULL)
        IOServiceClose(m_rootPort);
    IONotificationPortDestroy(m_port);
}

bool QPowerStateWatcherThread::IsRunning() const
{
    return m_state.IsRunning();
}

void QPowerStateWatcherThread::Stop()
{
    m_state.Stop();
    m_thread.quit();
    if (QThread::currentThread() != &m_thread) {
        m_thread.wait();
        // The thread's end orders nothing the thread sanitizer sees; the loop's lock does.
        std::lock_guard<std::mutex> ended(m_workMutex);
    }
}

void QPowerStateWatcherThread::DoWork()
{
    if (QThread::currentThread() != &m_thread) {
        // The call carries nothing: what it needs waits in m_state, under its lock.
        m_state.Request();
        QMetaObject::invokeMethod(this, "runRequested", Qt::QueuedConnection);
        return;
    }
    run(m_state.Stops());
}

void QPowerStateWatcherThread::runRequested()
{
    run(m_state.Requested());
}

void QPowerStateWatcherThread::run(quint64 stops)
{
    std::lock_guard<std::mutex> work(m_workMutex);
    if (!m_state.Begin(stops))
        return;
    qDebug("RegisterMacPwrManagement()!!\n");
    m_rootPort = IORegisterForSystemPower(this, &m_port, MySleepCallBack, &m_notifier);
    if (m_rootPort == IO_OBJECT_NULL) {
        qDebug("Failed to IORegisterForSystemPower()!!\n");
        return;
    }
    CFRunLoopRef loop = CFRunLoopGetCurrent();
    CFRunLoopAddSource(loop, IONotificationPortGetRunLoopSource(m_port), kCFRunLoopCommonModes);
    while (IsRunning())
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, kSliceSeconds, false);
    CFRunLoopRemoveSource(loop, IONotificationPortGetRunLoopSource(m_port), kCFRunLoopCommonModes);
}

void QPowerStateWatcherThread::UseSystemPowerSource()
{
    setPowerSource(std::make_shared<LogindPowerSource>());
}

void QPowerStateWatcherThread::HandlePowerStateChanged(uint32_t messageType, void* messageArgument)
{
    emit PowerStateChanged(messageType);
    switch (messageType) {
    case kIOMessageCanSystemSleep:
    case kIOMessageSystemWillSleep:
        IOAllowPowerChange(m_rootPort, reinterpret_cast<intptr_t>(messageArgument));
        break;
    case kIOMessageSystemHasPoweredOn:
        qDebug("Palvir has finished waking up!!\n");
        break;
    case kIOMessageSystemWillPowerOn:
        qDebug("Palvir has started the wake up process...\n");
        break;
    default:
        break;
    }
}
