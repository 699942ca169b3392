// The polling worker of one controller: on a thread of its own it reads the controller's new
// events and refreshes its busy arrays, disks of interest and system information every second,
// its hardware monitor every ten seconds, and counts its password hold down.
#pragma once

#include "devices/poller.h"
#include "devices/zynlog.h"

#include <QObject>
#include <QThread>

#include <mutex>

class QTimer;
class QZynController;

class ControllerEventWatcherThread : public QObject, public QZynPoller {
    Q_OBJECT
public:
    // Moves itself onto its own thread and starts that thread; `parent` must be null.
    ControllerEventWatcherThread(QZynController* controller, QObject* parent = nullptr);
    ~ControllerEventWatcherThread() override;

    // Makes this worker the polling worker of every controller started from now on.
    static void Install();

    // Starts polling (the thread too, when a stop ended it); returns at once.
    void Start() override;
    // Stops polling and ends the thread; returns when both are done. On the worker's own
    // thread it stops polling and leaves the thread to end when the current call returns.
    void Stop() override;
    bool IsRunning() const override;

    // Test seam: the timer intervals (1000, 10000 and 1000 ms in the product), for workers
    // created afterwards and timers started afterwards.
    static void SetIntervals(int updateMs, int hwMonitorMs, int authorisationMs);

signals:
    void finished();
    void LogMessage(QZynLog* log);

public slots:
    // The start and stop paths; from another thread the call is handed to the worker thread.
    void DoWork(bool start);
    void update();
    void update_hwmon();
    void update_auth();
    void update_raidset();
    void update_volumeset();
    void update_disk();
    // Refreshes the system information; another serial number gives the controller up.
    void update_sys_info();

private:
    void startTimer(QTimer*& timer, int interval, void (ControllerEventWatcherThread::*slot)(), const char* name);
    void stopTimer(QTimer*& timer, void (ControllerEventWatcherThread::*slot)(), const char* line);
    // Another controller answers at this one's address: this one is lost.
    void giveUpReplaced();

    bool m_running = false;
    QThread m_thread;
    QZynController* m_controller;
    mutable std::mutex m_mutex;   // the running flag
    // Held while a piece of work runs (the start, the stop, each timer's slot); the stop takes
    // it once more after the thread has ended, so whatever the work did is over and seen.
    std::recursive_mutex m_workMutex;
    QTimer* m_timer = nullptr;
    QTimer* m_hwtimer = nullptr;
    QTimer* m_authtimer = nullptr;
};
