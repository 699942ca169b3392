// The device-arrival and power-state watchers: each runs the platform's notification run loop
// on a thread of its own, in one-second slices, so that a stop is seen within a second.
#pragma once

#include "cf/cfrunloop.h"
#include "iokit/iokit.h"

#include <QObject>
#include <QThread>

#include <mutex>

// Whether a watcher's loop runs, and the starts that a stop cancels: a start handed over to
// the watcher's thread runs the loop only when no stop has come since it was asked for.
class WatchLoopState {
public:
    bool IsRunning() const;
    // Stops the loop, and cancels a start not yet begun.
    void Stop();
    // A start asked for now, to begin on the watcher's thread (Begin(Requested())); or a start
    // on that thread itself (Begin(Stops())).
    void Request();
    quint64 Requested() const;
    quint64 Stops() const;
    // Marks the loop running unless a stop came after `stops`; whether it did.
    bool Begin(quint64 stops);

private:
    mutable std::mutex m_mutex;
    bool m_running = false;
    quint64 m_stops = 0;
    quint64 m_requestStops = 0;
};

// Reports services of the controller driver's class that appear or go away, by entry id.
class QDeviceWatcherThread : public QObject {
    Q_OBJECT
public:
    // Moves itself onto its own thread and starts it; `parent` must be null.
    explicit QDeviceWatcherThread(QObject* parent = nullptr);
    ~QDeviceWatcherThread() override;

    // Ends the watch loop and the thread; returns within about a second.
    void Stop();
    bool IsRunning() const;

    void DeviceAdded(iokit::io_service_t service);
    void DeviceRemoved(iokit::io_service_t service);
    void EmitDeviceChanged(bool added, quint64 entryId) { emit DeviceChanged(added, entryId); }

signals:
    void DeviceChanged(bool added, quint64 entryID);

public slots:
    // The watch loop; from another thread the call is handed to the worker thread.
    void DoWork();

private slots:
    // A start handed over from another thread.
    void runRequested();

private:
    void reportService(iokit::io_service_t service, bool added);

    // The watch loop, unless a stop came after the start that asked for it (`stops` is the
    // number of stops then).
    void run(quint64 stops);

    WatchLoopState m_state;
    QThread m_thread;
    std::mutex m_workMutex;   // held by the watch loop; Stop takes it once the thread has ended
    cf::CFRunLoopRef m_runLoop = nullptr;
    iokit::IONotificationPortRef m_port = nullptr;
};

// Forwards the system's power messages and answers its sleep questions.
class QPowerStateWatcherThread : public QObject {
    Q_OBJECT
public:
    explicit QPowerStateWatcherThread(QObject* parent = nullptr);
    ~QPowerStateWatcherThread() override;

    void Stop();
    bool IsRunning() const;

    void HandlePowerStateChanged(uint32_t messageType, void* messageArgument);
    // The system's own sleep and wake (logind on the system bus) as the power source of the
    // watchers registered from now on. Called in a thread with an event loop (the GUI thread):
    // the bus's signals are received there.
    static void UseSystemPowerSource();
    void EmitPowerStateChanged(quint32 messageType) { emit PowerStateChanged(messageType); }

signals:
    void PowerStateChanged(quint32 messageType);

public slots:
    void DoWork();

private slots:
    void runRequested();

private:
    // As the device watcher's.
    void run(quint64 stops);

    WatchLoopState m_state;
    QThread m_thread;
    iokit::io_connect_t m_rootPort = iokit::IO_OBJECT_NULL;
    iokit::IONotificationPortRef m_port = nullptr;
    iokit::io_object_t m_notifier = iokit::IO_OBJECT_NULL;
    std::mutex m_workMutex;   // held by the watch loop; Stop takes it once the thread has ended
};
