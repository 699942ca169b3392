// The process-wide host object: the list of the controllers the application manages.
#pragma once

#include "devices/device.h"
#include "devices/zynlog.h"

#include <QList>
#include <mutex>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QZynController;

// Slots of controllers; an emptied slot stays (null) so slot numbers never change. Destroying
// the list deletes every controller still in it.
class QZynControllerList : public std::vector<QZynController*> {
public:
    QZynControllerList() = default;
    ~QZynControllerList();
    QZynControllerList(const QZynControllerList&) = delete;
    QZynControllerList& operator=(const QZynControllerList&) = delete;
};

class QZynHost : public QObject {
    Q_OBJECT
public:
    explicit QZynHost(QObject* parent = nullptr);

    // Lists `controller` in the lowest empty slot; false for null or a controller the list
    // holds already (same identity), which stays the caller's.
    bool add_controller(QZynController* controller);
    // Empties the controller's slot; false when it held nothing. The caller keeps the object;
    // the host remembers it until it is destroyed, so that a shut-down still stops it
    // (StopRemoved).
    bool remove_controller(QZynController* controller);
    int get_total_controllers();
    // The slot's controller (null when empty); std::out_of_range past the end.
    QZynController* get_controller(int slot);
    QZynController* take_at(int slot);
    int get_controller_index(QZynController* controller);

    // Tries driver slots 0 to 127; the number of controllers added. `added`, when given, is
    // called with each controller as soon as it is listed. A controller that does not say who it
    // is gets a log row naming its slot, as a failed Connect gets one naming the address.
    int scan_controller(const std::function<void(QZynController*)>& added = nullptr);
    QList<QZynController*> scan_controller_by_ip(QString ip);
    // The same log row for an arrived controller that does not say who it is (its slot is its
    // service's place among the driver's services then).
    QList<QZynController*> add_controller_by_entryid(quint64 id);
    QZynController* get_controller_by_ip(QString ip);
    // The controller whose driver transport reaches the service with registry entry id `id`
    // (either kind of driver transport); null when none is listed.
    QZynController* get_controller_by_entryid(quint64 id);
    bool remove_controller_by_ip(QString ip);
    bool remove_controller_by_entryid(quint64 id);

    // Driver slots the scan tries.
    static constexpr int kDriverSlots = 128;

    // How a listed controller is taken away, from any thread (the other way it goes is its
    // giving up, QZynController::GiveUp): empties its slot at once (the "disconnected." row),
    // then on the controller's own thread stops it (its polling worker and web proxy), announces
    // DeviceRemoved and deletes it later. Queued when called from another thread; false when the
    // list did not hold it.
    bool removeAndAnnounce(QZynController* controller);

    // At the shut-down, on the controllers' thread (the GUI thread), once nothing removes
    // controllers any more: every controller taken off the list and not destroyed yet stops (its
    // polling worker ends, its web proxy closes), whether its own stop has run already, still
    // waits in its thread's queue (which a program that ends runs no more), or never comes (a
    // controller given up is only deleted). None is deleted here: announcements that carry it
    // may still wait in the queue.
    void StopRemoved();
    // A controller that goes tells the host (its destructor does).
    void forgetRemoved(QZynController* controller);

signals:
    void DeviceChanged(QZynDevice* device, int event);
    void LogMessage(QZynLog* log);

private:
    enum class Adoption { Listed, Unusable, Duplicate };
    // Lists a controller a scan made. One whose session or identity read failed, or whose
    // construction ended offline (Unusable), or that the list holds already (Duplicate), is
    // deleted in its own thread.
    Adoption adopt(QZynController* controller);
    void log(int source, int level, const QString& text);
    // The log row of a driver controller that did not identify itself.
    void logNoControllerInSlot(int slot);

    QZynControllerList m_controllers;
    // Taken off the list and not destroyed yet.
    std::vector<QZynController*> m_removed;
    std::mutex m_mutex;
};

// The host, made on first use (from the main thread, before any worker runs).
QZynHost* ZynGetHost();
