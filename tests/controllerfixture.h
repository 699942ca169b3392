// Controller objects against the simulator: a simulated controller on UDP or as a driver
// service, and the application's controller object over it.
#pragma once

#include "devices/controller.h"
#include "devices/host.h"
#include "simfixture.h"

#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>

namespace ctltest {

// A transport to address:7890 that gives up a silent exchange after `timeoutSeconds`.
inline EthernetInterface* udpTransport(const char* address, int timeoutSeconds = 1)
{
    auto* transport = new EthernetInterface();
    transport->setTimeOut(timeoutSeconds);
    if (!transport->init(address, 7890)) {
        delete transport;
        return nullptr;
    }
    return transport;
}

// A simulator with one controller on address:7890 and a controller object over UDP.
struct ControllerRig {
    std::unique_ptr<zynsim::Simulator> sim;
    std::shared_ptr<zynsim::FakeController> ctl;
    std::unique_ptr<QZynController> controller;

    // Empty on success, else what went wrong. `timeoutSeconds` bounds one silent exchange.
    QString start(const char* address, const zynsim::ControllerConfig& config = zynsim::ControllerConfig(),
                  int timeoutSeconds = 1)
    {
        sim = std::make_unique<zynsim::Simulator>();
        ctl = sim->addUdpController(address, config);
        if (!ctl)
            return QString::fromStdString(sim->error());
        EthernetInterface* transport = udpTransport(address, timeoutSeconds);
        if (transport == nullptr)
            return QStringLiteral("no answer at %1").arg(QLatin1String(address));
        controller = std::make_unique<QZynController>(transport, QZynController::ConnectionEthernet);
        ctl->clearLog();
        return QString();
    }
    void stop()
    {
        controller.reset();
        ctl.reset();
        sim.reset();
    }
};

// Deletes every controller the host lists, and what was to be deleted later.
inline void emptyHost()
{
    QZynHost* host = ZynGetHost();
    for (int i = 0; i < host->get_total_controllers(); ++i)
        delete host->take_at(i);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Lists the controller served at `address` under the host, announces it as the discovery does
// and waits until it is online and its build's announcements have arrived; null otherwise.
inline QZynController* announceOnline(const char* address, int waitMs = 15000)
{
    const QList<QZynController*> added = ZynGetHost()->scan_controller_by_ip(QString::fromLatin1(address));
    if (added.size() != 1)
        return nullptr;
    QZynController* c = added.front();
    emit ZynGetHost()->DeviceChanged(c, QZynDevice::DeviceAdded);
    if (!QTest::qWaitFor([c] { return c->GetState() == QZynController::StateOnline; }, waitMs))
        return nullptr;
    // The build announced everything before it set the state: what is queued is all of it.
    QCoreApplication::processEvents();
    return c;
}

// Commands the simulator received, in order.
inline std::vector<int> commandsReceived(const zynsim::FakeController& controller)
{
    std::vector<int> out;
    for (const zynsim::LogEntry& e : controller.log())
        if (e.kind == zynsim::LogEntry::RxFrame)
            out.push_back(e.command);
    return out;
}
// The same without a first system-information read: the one that confirms the controller when
// the road has been quiet (as a busy machine may make it) before the first command.
inline std::vector<int> commandsAfterConfirming(const zynsim::FakeController& controller)
{
    std::vector<int> out = commandsReceived(controller);
    if (!out.empty() && out.front() == ZYN_CMD_GET_SYSINFO)
        out.erase(out.begin());
    return out;
}

// Collects the debug lines while it lives, instead of printing them.
// Another controller answers in `ctl`'s place from now on, at once: every system-information
// read shows the other's record, its serial number `serial`.
inline void answerAsAnother(zynsim::FakeController& ctl, const std::string& serial)
{
    zynsim::ControllerConfig other = ctl.config();
    other.serial = serial;
    ctl.script(ZYN_CMD_GET_SYSINFO, 1 << 20, zynsim::Answer::data(zynsim::FakeController(other).systemInfo()));
}

class MessageLog {
public:
    MessageLog()
    {
        std::lock_guard<std::mutex> locker(s_mutex);
        s_current = this;
        m_previous = qInstallMessageHandler(&MessageLog::handle);
    }
    ~MessageLog()
    {
        std::lock_guard<std::mutex> locker(s_mutex);
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    QStringList lines() const
    {
        std::lock_guard<std::mutex> locker(s_mutex);
        return m_lines;
    }
    QStringList matching(const QString& pattern) const { return lines().filter(QRegularExpression(pattern)); }
    // Called with each line as it is logged, on the logging thread; it must log nothing itself.
    void setHook(std::function<void(const QString&)> hook)
    {
        std::lock_guard<std::mutex> locker(s_mutex);
        m_hook = std::move(hook);
    }

private:
    // Threads that log while the collector goes find it gone, under the same lock.
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        std::lock_guard<std::mutex> locker(s_mutex);
        if (s_current != nullptr) {
            s_current->m_lines << text;
            if (s_current->m_hook)
                s_current->m_hook(text);
        }
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    static inline std::mutex s_mutex;
    static inline MessageLog* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    QStringList m_lines;
    std::function<void(const QString&)> m_hook;
};

} // namespace ctltest
