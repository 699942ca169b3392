#include "logindpower.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <mutex>

namespace iokit {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

// Receives the signal in the thread that made the source: its event loop runs the slot.
struct LogindPowerSource::Link : public QObject {
    Q_OBJECT
public:
    std::mutex mutex;
    std::function<void(uint32_t, intptr_t)> deliver;
    QDBusUnixFileDescriptor delayLock;

    void takeDelayLock()
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
        call << QStringLiteral("sleep") << QStringLiteral("Palvir")
             << QStringLiteral("Stopping the polling of the RAID controllers") << QStringLiteral("delay");
        const QDBusReply<QDBusUnixFileDescriptor> reply = QDBusConnection::systemBus().call(call);
        std::lock_guard<std::mutex> lock(mutex);
        delayLock = reply.isValid() ? reply.value() : QDBusUnixFileDescriptor();
    }

public slots:
    void prepareForSleep(bool sleeping)
    {
        std::function<void(uint32_t, intptr_t)> to;
        {
            std::lock_guard<std::mutex> lock(mutex);
            to = deliver;
        }
        if (!to)
            return;
        if (sleeping) {
            to(kIOMessageSystemWillSleep, 1);
        } else {
            to(kIOMessageSystemWillPowerOn, 0);
            to(kIOMessageSystemHasPoweredOn, 0);
            takeDelayLock();
        }
    }
};

LogindPowerSource::LogindPowerSource()
    : m_link(std::make_unique<Link>())
{
}

LogindPowerSource::~LogindPowerSource()
{
    stop();
}

bool LogindPowerSource::start(std::function<void(uint32_t, intptr_t)> deliver)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || bus.interface() == nullptr || !bus.interface()->isServiceRegistered(kService))
        return false;
    if (!bus.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), m_link.get(),
                     SLOT(prepareForSleep(bool))))
        return false;
    {
        std::lock_guard<std::mutex> lock(m_link->mutex);
        m_link->deliver = std::move(deliver);
    }
    m_link->takeDelayLock();
    return true;
}

void LogindPowerSource::stop()
{
    QDBusConnection::systemBus().disconnect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), m_link.get(),
                                            SLOT(prepareForSleep(bool)));
    std::lock_guard<std::mutex> lock(m_link->mutex);
    m_link->deliver = nullptr;
    m_link->delayLock = QDBusUnixFileDescriptor();
}

void LogindPowerSource::allowPowerChange(intptr_t)
{
    // Letting go of the delay lock lets the system go to sleep.
    std::lock_guard<std::mutex> lock(m_link->mutex);
    m_link->delayLock = QDBusUnixFileDescriptor();
}

} // namespace iokit

#include "logindpower.moc"
