#include "devices/scheduler.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>
#include <QTimerEvent>

#include <atomic>
#include <cstring>
#include <iterator>
#include <mutex>

const char* const trigger_string[4] = {QT_TRANSLATE_NOOP("QZynTask", "Daily"), QT_TRANSLATE_NOOP("QZynTask", "Weekly"),
                                       QT_TRANSLATE_NOOP("QZynTask", "Monthly"),
                                       QT_TRANSLATE_NOOP("QZynTask", "Monthly(DATE OF WEEK)")};
const char* const daysofweekstring[7] = {
    QT_TRANSLATE_NOOP("QZynTask", "Monday"),   QT_TRANSLATE_NOOP("QZynTask", "Tuesday"),
    QT_TRANSLATE_NOOP("QZynTask", "Wednesday"), QT_TRANSLATE_NOOP("QZynTask", "Thursday"),
    QT_TRANSLATE_NOOP("QZynTask", "Friday"),   QT_TRANSLATE_NOOP("QZynTask", "Saturday"),
    QT_TRANSLATE_NOOP("QZynTask", "Sunday")};

namespace {

std::mutex g_clockMutex;
std::function<QDateTime()> g_clock;
std::atomic<int> g_checkIntervalMs{10000};

// Tries at a next run time within the current second before the task is left without a timer
// start: the real clock moves on within them.
constexpr int kSpinTries = 40;
constexpr int kSpinPauseMs = 50;

} // namespace

QString QZynTask::TriggerName(int type)
{
    if (type < 0 || type >= int(std::size(trigger_string)))
        return QString();
    return QCoreApplication::translate("QZynTask", trigger_string[type]);
}

QString QZynTask::WeekdayName(int day)
{
    if (day < 0 || day >= int(std::size(daysofweekstring)))
        return QString();
    return QCoreApplication::translate("QZynTask", daysofweekstring[day]);
}

void QZynTask::SetClock(std::function<QDateTime()> clock)
{
    std::lock_guard<std::mutex> lock(g_clockMutex);
    g_clock = std::move(clock);
}

QDateTime QZynTask::Now()
{
    std::lock_guard<std::mutex> lock(g_clockMutex);
    return g_clock ? g_clock() : QDateTime::currentDateTime();
}

QZynTask::QZynTask(QString name, QObject* parent)
    : QObject(parent)
    , name(std::move(name))
{
    const QDateTime now = Now();
    startyear = quint16(now.date().year());
    startmonth = quint16(now.date().month());
    startday = quint16(now.date().day());
    starthour = quint16(now.time().hour());
    startminute = quint16(now.time().minute());
}

QZynTask::~QZynTask()
{
    // A task that goes leaves its scheduler, timer and all.
    if (auto* scheduler = qobject_cast<QZynScheduler*>(timerOwner.data()))
        scheduler->RemoveTask(this);
}

QByteArray QZynTask::TriggerBytes() const
{
    QByteArray bytes(8, 0);
    auto* p = reinterpret_cast<uchar*>(bytes.data());
    p[0] = uchar(trigger.interval);
    p[1] = uchar(trigger.interval >> 8);
    p[2] = uchar(trigger.weekdays);
    p[3] = uchar(trigger.weekdays >> 8);
    for (int i = 0; i < 4; ++i)
        p[4 + i] = uchar(trigger.days >> (8 * i));
    return bytes;
}

void QZynTask::SetTriggerBytes(const QByteArray& stored)
{
    QByteArray bytes = stored.left(8);
    bytes.append(QByteArray(8 - bytes.size(), 0));
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    trigger.interval = quint16(p[0] | (p[1] << 8));
    trigger.weekdays = quint16(p[2] | (p[3] << 8));
    trigger.days = quint32(p[4]) | (quint32(p[5]) << 8) | (quint32(p[6]) << 16) | (quint32(p[7]) << 24);
}

QDateTime QZynTask::StartDateTime() const
{
    return QDateTime(QDate(startyear, startmonth, startday), QTime(starthour, startminute, 0, 0));
}

bool QZynTask::IsValid() const
{
    if (!QDate::isValid(startyear, startmonth, startday) || starthour > 23 || startminute > 59)
        return false;
    if (trigger.interval < 1)
        return false;
    switch (triggertype) {
    case Daily:
        return true;
    case Weekly:
        return (trigger.weekdays & kWeekdayBits) != 0;
    case Monthly:
        return (trigger.days & kDayBits) != 0;
    default:
        return false;
    }
}

bool QZynTask::UpdateNextRunTime()
{
    const QDateTime now = Now();
    if (IsValid()) {
        const QDateTime start = StartDateTime();
        next_run_time = start;
        switch (triggertype) {
        case Daily: next_run_time = UpdateNextRunTimeDaily(start, now); break;
        case Weekly: next_run_time = UpdateNextRunTimeWeekly(start, now); break;
        case Monthly: next_run_time = UpdateNextRunTimeMonthly(start, now); break;
        default: break;
        }
        qDebug() << "TASK " << name << ": next_run_time" << next_run_time;
    }
    secondsToNextRun = next_run_time.isNull() ? 0 : now.secsTo(next_run_time);
    return secondsToNextRun != 0;
}

QDateTime QZynTask::UpdateNextRunTimeDaily(const QDateTime& start, const QDateTime& now) const
{
    const int interval = trigger.interval;
    QDateTime t = start;
    if (t < now) {
        // Whole intervals at once, then the last step or two.
        const qint64 skip = start.date().daysTo(now.date()) / interval;
        if (skip > 1)
            t = start.addDays((skip - 1) * interval);
        while (t < now)
            t = t.addDays(interval);
    }
    return t;
}

QDateTime QZynTask::UpdateNextRunTimeWeekly(const QDateTime& start, const QDateTime& now) const
{
    const qint64 step = start < now ? qint64(trigger.interval) * 7 : 7;
    QDateTime windowStart = start;
    QDateTime windowEnd = start.addDays(7 - start.date().dayOfWeek());
    for (;;) {
        for (QDateTime d = windowStart; d <= windowEnd; d = d.addDays(1))
            if ((trigger.weekdays & (1u << (d.date().dayOfWeek() - 1))) != 0 && d >= now)
                return d;
        windowEnd = windowEnd.addDays(step);
        if (windowEnd < now) {
            const qint64 skip = windowEnd.date().daysTo(now.date()) / step;
            if (skip > 1)
                windowEnd = windowEnd.addDays((skip - 1) * step);
            while (windowEnd < now)
                windowEnd = windowEnd.addDays(step);
        }
        windowStart = windowEnd.addDays(1 - windowEnd.date().dayOfWeek());
    }
}

QDateTime QZynTask::UpdateNextRunTimeMonthly(const QDateTime& start, const QDateTime& now) const
{
    const int step = start < now ? trigger.interval : 1;
    const QTime at = start.time();
    QDateTime windowStart = start;
    QDateTime windowEnd(QDate(start.date().year(), start.date().month(), 28), at);
    for (;;) {
        for (QDateTime d = windowStart; d <= windowEnd; d = d.addDays(1)) {
            qDebug() << d;
            if ((trigger.days & (1u << (d.date().day() - 1))) != 0 && d >= now)
                return d;
        }
        windowEnd = windowEnd.addMonths(step);
        if (windowEnd < now) {
            const QDate from = windowEnd.date();
            const int months = (now.date().year() - from.year()) * 12 + (now.date().month() - from.month());
            const int skip = months / step;
            if (skip > 1)
                windowEnd = windowEnd.addMonths((skip - 1) * step);
            while (windowEnd < now)
                windowEnd = windowEnd.addMonths(step);
        }
        windowStart = QDateTime(QDate(windowEnd.date().year(), windowEnd.date().month(), 1), at);
    }
}

// ---- Scheduler -------------------------------------------------------------------------

void QZynScheduler::SetCheckIntervalMilliseconds(int ms)
{
    g_checkIntervalMs = ms;
}

QZynScheduler::QZynScheduler()
    : QZynDevice(Scheduler)
{
}

QZynScheduler::~QZynScheduler()
{
    // The tasks are not ours; what they keep of this object goes with it.
    for (QZynTask* task : m_tasks) {
        task->timerId = 0;
        task->timerOwner = nullptr;
    }
}

void QZynScheduler::AddTask(QZynTask* task)
{
    if (task == nullptr || m_tasks.contains(task))
        return;
    if (auto* other = qobject_cast<QZynScheduler*>(task->timerOwner.data()); other != nullptr && other != this)
        other->RemoveTask(task);
    m_tasks.append(task);
    task->timerOwner = this;
}

bool QZynScheduler::RemoveTask(QZynTask* task)
{
    if (task == nullptr)
        return false;
    if (task->timerId != 0 && task->timerOwner == this)
        killTimer(task->timerId);
    if (task->timerOwner == this) {
        task->timerId = 0;
        task->timerOwner = nullptr;
    }
    return m_tasks.removeOne(task);
}

QZynTask* QZynScheduler::RemoveTask(int i)
{
    if (i < 0 || i >= m_tasks.size())
        return nullptr;
    // The task keeps its timer, as listed tasks do; it stops being checked.
    QZynTask* task = m_tasks.takeAt(i);
    return task;
}

void QZynScheduler::Restart()
{
    for (QZynTask* task : m_tasks)
        UpdateTaskNextRunTimeAndStartTimer(task);
}

void QZynScheduler::UpdateTaskNextRunTimeAndStartTimer(QZynTask* task)
{
    if (task == nullptr)
        return;
    if (!task->IsValid()) {
        // Stored values the rules cannot schedule: kept as they are, never run.
        task->next_run_time = QDateTime();
        task->secondsToNextRun = 0;
        qDebug() << "TASK " << task->name << ": cannot be scheduled (date, time, interval, trigger or days), not started";
        emit item_changed(task, QZynDevice::DeviceUpdated);
        return;
    }
    for (int attempt = 0; !task->UpdateNextRunTime() && attempt < kSpinTries; ++attempt)
        QThread::msleep(kSpinPauseMs);
    if (task->timerId == 0)
        task->timerId = startTimer(g_checkIntervalMs.load(), Qt::CoarseTimer);
    qDebug() << "TASK " << task->name << ": start timer to " << task->secondsToNextRun << "seconds";
    emit item_changed(task, QZynDevice::DeviceUpdated);
}

void QZynScheduler::timerEvent(QTimerEvent* event)
{
    const QList<QZynTask*> tasks = m_tasks;
    for (QZynTask* task : tasks)
        if (task->timerId == event->timerId() && m_tasks.contains(task))
            CheckTask(task);
}

void QZynScheduler::CheckTask(QZynTask* task)
{
    if (task == nullptr || task->next_run_time.isNull())
        return;
    const QDateTime now = QZynTask::Now();
    const qint64 secs = now.secsTo(task->next_run_time);
    qDebug() << "TASK " << task->name << ": remaining " << secs << "seconds";
    if (secs >= 1)
        return;
    qDebug() << "TASK " << task->name << ": executing, now = " << now << ", next_run_time =" << task->next_run_time;
    UpdateTaskNextRunTimeAndStartTimer(task);
    emit ExecuteTask(task);
}
