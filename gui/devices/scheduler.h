// Scheduled tasks and the scheduler that signals each task when it is due.
#pragma once

#include "devices/device.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

// The trigger-type and weekday names in English (the weekday index is the weekday-mask bit);
// the window shows them through QZynTask::TriggerName and WeekdayName.
extern const char* const trigger_string[4];
extern const char* const daysofweekstring[7];

struct _OPERATION_CONTENT {
    QString msgbox;          // "operation/msgbox"
    QString subject;         // "operation/subject"
    QString msg;             // "operation/msg"
    qint32 checkvolume = 0;  // bit 0: include the controllers reached over the network
    static constexpr qint32 kCheckRemote = 1;
};

class QZynTask : public QObject {
    Q_OBJECT
public:
    enum Trigger { Daily = 0, Weekly = 1, Monthly = 2, MonthlyDateOfWeek = 3 };
    enum Operation { MessageBox = 0, Mail = 1, CheckVolume = 2, NoOperation = 3 };
    static constexpr quint16 kFlagDisabled = 4;
    static constexpr quint32 kDayBits = 0x0FFFFFFF;   // days 1-28
    static constexpr quint16 kWeekdayBits = 0x7F;

    // The trigger block: interval, weekday mask (bit 0 Monday), day mask (bit 0 the 1st).
    struct Trigger8 {
        quint16 interval = 1;
        quint16 weekdays = 0;
        quint32 days = 0;
    };

    explicit QZynTask(QString name, QObject* parent = nullptr);
    ~QZynTask() override;

    // Computes next_run_time from now; true when it lies a second or more away.
    bool UpdateNextRunTime();
    // Whether the stored fields make a task the rules can schedule.
    bool IsValid() const;
    // The trigger block as the 8 stored bytes (little-endian), and back; a shorter value is
    // taken as if zero-filled.
    QByteArray TriggerBytes() const;
    void SetTriggerBytes(const QByteArray& bytes);
    QDateTime StartDateTime() const;

    // The names the window shows, in the user's language: of a trigger type (empty for a type
    // without one) and of a weekday (its weekday-mask bit; empty out of range).
    static QString TriggerName(int type);
    static QString WeekdayName(int day);

    // Test seam: the clock the rules take "now" from (null: the system's local time).
    static void SetClock(std::function<QDateTime()> clock);
    static QDateTime Now();

    QString name;
    quint16 startyear = 0, startmonth = 0, startday = 0;
    quint16 starthour = 0, startminute = 0;
    qint64 secondsToNextRun = 0;
    quint16 endyear = 0, endmonth = 0, endday = 0;
    quint16 flags = 0;
    qint32 triggertype = Daily;
    Trigger8 trigger;
    qint32 operation = MessageBox;
    _OPERATION_CONTENT content;
    QDateTime next_run_time;
    int timerId = 0;
    // The scheduler that lists the task (and whose timer timerId is); a task that goes leaves it.
    QPointer<QObject> timerOwner;

private:
    QDateTime UpdateNextRunTimeDaily(const QDateTime& start, const QDateTime& now) const;
    QDateTime UpdateNextRunTimeWeekly(const QDateTime& start, const QDateTime& now) const;
    QDateTime UpdateNextRunTimeMonthly(const QDateTime& start, const QDateTime& now) const;
};

class QZynScheduler : public QZynDevice {
    Q_OBJECT
    friend class QZynTask;
public:
    // The most tasks a scheduler holds.
    static constexpr int kMaxTasks = 5;

    QZynScheduler();
    ~QZynScheduler() override;

    int TaskCount() const { return m_tasks.size(); }
    QZynTask* GetTask(int i) const { return m_tasks.at(i); }
    void AddTask(QZynTask* task);
    bool RemoveTask(QZynTask* task);
    QZynTask* RemoveTask(int i);
    bool Contains(const QZynTask* task) const { return m_tasks.contains(const_cast<QZynTask*>(task)); }
    void Restart();
    void UpdateTaskNextRunTimeAndStartTimer(QZynTask* task);
    void CheckTask(QZynTask* task);

    // Test seam: how often each task is checked (10000 ms in the product).
    static void SetCheckIntervalMilliseconds(int ms);

signals:
    // `code`: the change, as the change codes of QZynDevice (added, removed, updated).
    void item_changed(QZynTask* task, int code);
    void ExecuteTask(QZynTask* task);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QList<QZynTask*> m_tasks;
};
