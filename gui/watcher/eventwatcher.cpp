#include "watcher/eventwatcher.h"

#include "devices/controller.h"
#include "devices/event.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"

#include <QDateTime>
#include <QDebug>
#include <QTimer>

#include <atomic>
#include <cstring>

namespace {

std::atomic<int> g_updateMs{1000};
std::atomic<int> g_hwMonitorMs{10000};
std::atomic<int> g_authorisationMs{1000};

} // namespace

void ControllerEventWatcherThread::SetIntervals(int updateMs, int hwMonitorMs, int authorisationMs)
{
    g_updateMs = updateMs;
    g_hwMonitorMs = hwMonitorMs;
    g_authorisationMs = authorisationMs;
}

void ControllerEventWatcherThread::Install()
{
    QZynController::SetPollerMaker(
        [](QZynController* controller) -> QZynPoller* { return new ControllerEventWatcherThread(controller); });
}

ControllerEventWatcherThread::ControllerEventWatcherThread(QZynController* controller, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
{
    moveToThread(&m_thread);
    m_thread.start(QThread::InheritPriority);
}

ControllerEventWatcherThread::~ControllerEventWatcherThread()
{
    Stop();
}

bool ControllerEventWatcherThread::IsRunning() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_running;
}

void ControllerEventWatcherThread::Start()
{
    if (!m_thread.isRunning())
        m_thread.start(QThread::InheritPriority);
    DoWork(true);
}

void ControllerEventWatcherThread::Stop()
{
    if (QThread::currentThread() == &m_thread) {
        DoWork(false);
        m_thread.quit();
        return;
    }
    // The stop must run before the thread's loop ends, so it is handed over and waited for.
    if (m_thread.isRunning())
        QMetaObject::invokeMethod(this, "DoWork", Qt::BlockingQueuedConnection, Q_ARG(bool, false));
    else
        DoWork(false);
    m_thread.quit();
    m_thread.wait();
    std::lock_guard<std::recursive_mutex> done(m_workMutex);
}

void ControllerEventWatcherThread::DoWork(bool start)
{
    if (QThread::currentThread() != &m_thread && m_thread.isRunning()) {
        QMetaObject::invokeMethod(this, "DoWork", Qt::QueuedConnection, Q_ARG(bool, start));
        return;
    }
    std::lock_guard<std::recursive_mutex> work(m_workMutex);
    if (start) {
        {
            std::lock_guard<std::mutex> locker(m_mutex);
            if (m_running)
                return;
            m_running = true;
        }
        if (m_controller->GetState() == QZynController::StateConnecting) {
            const QZynController::Run build(m_controller);
            m_controller->BuildDeviceHierarchy();
            m_controller->SetState(QZynController::StateOnline);
        }
        startTimer(m_timer, g_updateMs, &ControllerEventWatcherThread::update, "m_timer");
        startTimer(m_hwtimer, g_hwMonitorMs, &ControllerEventWatcherThread::update_hwmon, "m_hwtimer");
        startTimer(m_authtimer, g_authorisationMs, &ControllerEventWatcherThread::update_auth, "m_authtimer");
        m_controller->SetState(QZynController::StateOnline);
        qDebug("Set controller state to online");
        return;
    }
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        if (!m_running)
            return;
        m_running = false;
    }
    stopTimer(m_timer, &ControllerEventWatcherThread::update, "m_timer->start(1000) stopped");
    stopTimer(m_hwtimer, &ControllerEventWatcherThread::update_hwmon, "m_hwtimer->start(10000) stopped");
    stopTimer(m_authtimer, &ControllerEventWatcherThread::update_auth, "m_authtimer->start(10000) stopped");
    m_controller->SetState(QZynController::StateOffline);
    qDebug("Set controller state to offline");
}

void ControllerEventWatcherThread::startTimer(QTimer*& timer, int interval,
                                              void (ControllerEventWatcherThread::*slot)(), const char* name)
{
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, slot);
    }
    timer->start(interval);
    qDebug("%s->start(%d) started", name, interval);
}

void ControllerEventWatcherThread::stopTimer(QTimer*& timer, void (ControllerEventWatcherThread::*slot)(),
                                             const char* line)
{
    if (timer == nullptr)
        return;
    disconnect(timer, &QTimer::timeout, this, slot);
    timer->stop();
    delete timer;
    timer = nullptr;
    qDebug("%s", line);
}

void ControllerEventWatcherThread::update()
{
    std::lock_guard<std::recursive_mutex> work(m_workMutex);
    const qint64 began = QDateTime::currentSecsSinceEpoch();
    if (!m_controller->IsRefreshSuspended()) {
        // The pass begins with its own confirming read, whatever other traffic kept the road
        // busy: another controller that has taken the address is told apart, and given up,
        // before anything it reports passes for this one's. A late one is waited for as each
        // read would be; the closing read tells apart one that took the address mid-pass.
        const QZynController::Run pass(m_controller);
        m_controller->RunEventLoop(QZynController::DispatchNewEvents);
        update_raidset();
        update_volumeset();
        update_disk();
        update_sys_info();
    }
    const qint64 elapsed = QDateTime::currentSecsSinceEpoch() - began;
    qDebug() << m_controller->GetSysInfo()->GetModelName() << "monitor thread elapsed time" << elapsed / 60 << " min:"
             << elapsed % 60 << " sec";
}

void ControllerEventWatcherThread::update_raidset()
{
    std::vector<int> numbers;
    m_controller->GetRaidSetCount(numbers);
    for (int number : numbers) {
        QZynRaidSet* raidSet = m_controller->GetRaidSet(number);
        if (raidSet != nullptr && raidSet->IsPresent() && m_controller->UpdateRaidSet(raidSet))
            m_controller->Announce(raidSet, QZynDevice::DeviceUpdated);
    }
}

void ControllerEventWatcherThread::update_volumeset()
{
    std::vector<int> numbers;
    m_controller->GetVolumeSetCount(numbers);
    for (int number : numbers) {
        QZynVolumeSet* volume = m_controller->GetVolumeSet(number);
        if (volume == nullptr)
            continue;
        const sGUI_VOLUMESET r = volume->GetRecord();
        if (!r.exists() || (r.state() == 0 && r.degraded() == 0))
            continue;
        if (m_controller->UpdateVolumeSet(volume))
            m_controller->Announce(volume, QZynDevice::DeviceUpdated);
    }
}

void ControllerEventWatcherThread::update_disk()
{
    std::vector<QZynDiskIndex> slotList;
    m_controller->GetDiskSlotCount(slotList);
    constexpr uint32_t kOfInterest = sGUI_PHY_DRV::kStateFree | sGUI_PHY_DRV::kStateHotSpare | sGUI_PHY_DRV::kStateFailed;
    for (const QZynDiskIndex& index : slotList) {
        QZynDisk* disk = index.disk;
        const uint32_t before = disk->GetState();
        if (before != 0 && (before & kOfInterest) == 0)
            continue;
        if (!m_controller->UpdateDisk(disk))
            continue;
        if (before != 0) {
            m_controller->Announce(disk, QZynDevice::DeviceUpdated);
            continue;
        }
        // A disk in a slot that was empty: handled as its insertion.
        sEVET_DATA inserted;
        std::memset(&inserted, 0, sizeof inserted);
        inserted.set(zynevent::kDeviceEvent, zynevent::kDeviceInserted, uint8_t(index.slot));
        inserted.setEnclosure(uint32_t(index.enclosure));
        QZynEvent event(m_controller, 0, &inserted);
        m_controller->ProcessDiskEvent(&event);
    }
}

void ControllerEventWatcherThread::update_sys_info()
{
    sSYSTEM_INFO fresh;
    if (m_controller->ZynGetSysInfo(&fresh) != ZYN_OK)
        return;
    // A running controller never changes its serial number (a new firmware and a restart
    // change other fields): another serial is another controller, and this one is gone.
    if (QZynSysInfo(&fresh).GetSerialNumber() != m_controller->GetSysInfo()->GetSerialNumber()) {
        giveUpReplaced();
        return;
    }
    m_controller->GetSysInfo()->SetupInfo(&fresh);
    m_controller->Announce(m_controller, QZynDevice::DeviceUpdated);
}

void ControllerEventWatcherThread::giveUpReplaced()
{
    qDebug().noquote() << m_controller->GetText() << "answered with another serial number: given up";
    m_controller->GiveUp();
}

void ControllerEventWatcherThread::update_hwmon()
{
    std::lock_guard<std::recursive_mutex> work(m_workMutex);
    if (m_controller->GetHwMonitorHold() == 0) {
        const QZynController::Run pass(m_controller);
        m_controller->ProcessHwMonitor();
    }
}

void ControllerEventWatcherThread::update_auth()
{
    std::lock_guard<std::recursive_mutex> work(m_workMutex);
    const int now = m_controller->DecrementAuthorisationHold() - 1;
    if (now != 0 || m_controller->IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH))
        return;
    m_controller->SetStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    qDebug() << m_controller->GetSysInfo()->GetModelName() << "SetStatus(STATUS_CONTROLLER_NEED_AUTH)";
}
