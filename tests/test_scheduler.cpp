// The scheduler: next-run rules against a fixed "now" and against a literal day-by-day reading
// of the rules, the checks that execute due tasks, and tasks the rules cannot schedule.
#include "devices/scheduler.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

#include <ctime>

namespace {

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

void setStart(QZynTask& task, const QDateTime& start)
{
    task.startyear = quint16(start.date().year());
    task.startmonth = quint16(start.date().month());
    task.startday = quint16(start.date().day());
    task.starthour = quint16(start.time().hour());
    task.startminute = quint16(start.time().minute());
}

// The rules as the text gives them, one day and one step at a time.
QDateTime reference(const QZynTask& task, const QDateTime& now)
{
    const QDateTime start = task.StartDateTime();
    const int interval = task.trigger.interval;
    if (task.triggertype == QZynTask::Daily) {
        QDateTime t = start;
        while (t < now)
            t = t.addDays(interval);
        return t;
    }
    if (task.triggertype == QZynTask::Weekly) {
        const int step = start < now ? interval * 7 : 7;
        QDateTime ws = start, we = start.addDays(7 - start.date().dayOfWeek());
        for (;;) {
            for (QDateTime d = ws; d <= we; d = d.addDays(1))
                if ((task.trigger.weekdays >> (d.date().dayOfWeek() - 1)) & 1 && d >= now)
                    return d;
            do
                we = we.addDays(step);
            while (we < now);
            ws = we.addDays(1 - we.date().dayOfWeek());
        }
    }
    const int step = start < now ? interval : 1;
    QDateTime ws = start, we(QDate(start.date().year(), start.date().month(), 28), start.time());
    for (;;) {
        for (QDateTime d = ws; d <= we; d = d.addDays(1))
            if ((task.trigger.days >> (d.date().day() - 1)) & 1 && d >= now)
                return d;
        do
            we = we.addMonths(step);
        while (we < now);
        ws = QDateTime(QDate(we.date().year(), we.date().month(), 1), start.time());
    }
}

void quiet(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg)
        fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

class TestScheduler : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { QZynTask::SetClock(nullptr); }

    void rulesOfThePart_data();
    void rulesOfThePart();
    void rulesAgainstTheLiteralReading();
    void dueTasksAreExecuted();
    void tasksTheRulesCannotSchedule_data();
    void tasksTheRulesCannotSchedule();
    void triggerBlockAndNames();
    void removing();

private:
    QDateTime m_now;
};

void TestScheduler::initTestCase()
{
    qputenv("TZ", "UTC");
    tzset();
    qInstallMessageHandler(quiet);
}

void TestScheduler::rulesOfThePart_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("weekdays");
    QTest::addColumn<int>("days");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("next");
    // 2026-12-09 is a Wednesday.
    QTest::newRow("daily every 2nd day, started yesterday")
        << 0 << 2 << 0 << 0 << at(2026, 12, 8, 9) << at(2026, 12, 9, 10) << at(2026, 12, 10, 9);
    QTest::newRow("daily, later today") << 0 << 1 << 0 << 0 << at(2026, 12, 9, 9) << at(2026, 12, 9, 8)
                                        << at(2026, 12, 9, 9);
    QTest::newRow("daily, started years ago") << 0 << 3 << 0 << 0 << at(2001, 1, 1, 6, 30) << at(2026, 12, 9, 10)
                                              << QDateTime();   // the literal reading's result
    QTest::newRow("weekly Monday and Friday, first window")
        << 1 << 2 << (1 | 16) << 0 << at(2026, 12, 9, 8) << at(2026, 12, 10, 12) << at(2026, 12, 11, 8);
    QTest::newRow("weekly, future start, only Monday")
        << 1 << 4 << 1 << 0 << at(2026, 12, 16, 8) << at(2026, 12, 10, 12) << at(2026, 12, 21, 8);
    QTest::newRow("monthly 1st and 15th, every 3rd month from a past 20th")
        << 2 << 3 << 0 << (1 | (1 << 14)) << at(2026, 3, 20, 7) << at(2026, 7, 2, 0) << at(2026, 9, 1, 7);
    QTest::newRow("monthly, start on the 30th") << 2 << 1 << 0 << 1 << at(2027, 1, 30, 7) << at(2026, 12, 9)
                                                << at(2027, 2, 1, 7);
    QTest::newRow("monthly, the 28th at most") << 2 << 1 << 0 << (1 << 27) << at(2026, 12, 9, 7)
                                               << at(2026, 12, 29) << at(2027, 1, 28, 7);
}

void TestScheduler::rulesOfThePart()
{
    QFETCH(int, type);
    QFETCH(int, interval);
    QFETCH(int, weekdays);
    QFETCH(int, days);
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, now);
    QFETCH(QDateTime, next);
    QZynTask::SetClock([now] { return now; });
    QZynTask task(QStringLiteral("T"));
    setStart(task, start);
    task.triggertype = type;
    task.trigger.interval = quint16(interval);
    task.trigger.weekdays = quint16(weekdays);
    task.trigger.days = quint32(days);
    if (!next.isValid())
        next = reference(task, now);
    QVERIFY(task.UpdateNextRunTime());
    QCOMPARE(task.next_run_time, next);
    QCOMPARE(task.secondsToNextRun, now.secsTo(next));
}

void TestScheduler::rulesAgainstTheLiteralReading()
{
    QRandomGenerator random(20261209);
    for (int round = 0; round < 400; ++round) {
        QZynTask task(QStringLiteral("R"));
        const QDateTime start = at(2020 + random.bounded(9), 1 + random.bounded(12), 1 + random.bounded(28),
                                   random.bounded(24), random.bounded(60));
        const QDateTime now = start.addSecs(qint64(random.bounded(6 * 365 * 86400)) - 3 * 365 * 86400);
        setStart(task, start);
        task.triggertype = random.bounded(3);
        task.trigger.interval = quint16(1 + random.bounded(12));
        task.trigger.weekdays = quint16(1 + random.bounded(127));
        task.trigger.days = 1u + random.bounded(quint32(QZynTask::kDayBits));
        QZynTask::SetClock([now] { return now; });
        task.UpdateNextRunTime();
        QVERIFY2(task.next_run_time == reference(task, now),
                 qPrintable(QStringLiteral("type %1 interval %2 start %3 now %4: %5 against %6")
                                .arg(task.triggertype).arg(task.trigger.interval)
                                .arg(start.toString(Qt::ISODate), now.toString(Qt::ISODate),
                                     task.next_run_time.toString(Qt::ISODate),
                                     reference(task, now).toString(Qt::ISODate))));
    }
}

void TestScheduler::dueTasksAreExecuted()
{
    QDateTime now = at(2026, 12, 9, 8, 59, 30);
    int readings = 0;   // every check of a task reads the clock
    QZynTask::SetClock([&now, &readings] {
        ++readings;
        return now;
    });
    QZynScheduler::SetCheckIntervalMilliseconds(20);
    // Not due: nothing runs in three checks of each task, however long they take to come.
    constexpr int kChecks = 2 * 3;
    QZynScheduler scheduler;
    QCOMPARE(scheduler.type, int(QZynDevice::Scheduler));
    QZynTask enabled(QStringLiteral("Daily mail"));
    setStart(enabled, at(2026, 12, 1, 9));
    QZynTask disabled(QStringLiteral("Disabled box"));
    setStart(disabled, at(2026, 12, 1, 9));
    disabled.flags = QZynTask::kFlagDisabled;
    scheduler.AddTask(&enabled);
    scheduler.AddTask(&disabled);
    QList<QZynTask*> executed;
    QList<QPair<QZynTask*, int>> changed;
    connect(&scheduler, &QZynScheduler::ExecuteTask, this, [&executed](QZynTask* t) { executed << t; });
    connect(&scheduler, &QZynScheduler::item_changed, this, [&changed](QZynTask* t, int c) { changed << qMakePair(t, c); });
    scheduler.Restart();
    QCOMPARE(changed.size(), 2);
    QCOMPARE(enabled.next_run_time, at(2026, 12, 9, 9));
    QVERIFY(enabled.timerId != 0);
    int before = readings;
    QTRY_VERIFY_WITH_TIMEOUT(readings >= before + kChecks, 10000);
    QVERIFY(executed.isEmpty());

    now = at(2026, 12, 9, 9, 0, 5);
    QTRY_COMPARE(executed.size(), 2);
    QCOMPARE(executed[0], &enabled);
    QCOMPARE(executed[1], &disabled);
    QCOMPARE(enabled.next_run_time, at(2026, 12, 10, 9));
    QCOMPARE(disabled.next_run_time, at(2026, 12, 10, 9));
    before = readings;
    QTRY_VERIFY_WITH_TIMEOUT(readings >= before + kChecks, 10000);
    QCOMPARE(executed.size(), 2);   // once, and on to tomorrow
    const int timer = enabled.timerId;
    scheduler.Restart();
    QCOMPARE(enabled.timerId, timer);   // one timer per task for its life
}

void TestScheduler::tasksTheRulesCannotSchedule_data()
{
    QTest::addColumn<int>("what");
    QTest::newRow("start year 0") << 0;
    QTest::newRow("month 13") << 1;
    QTest::newRow("interval 0 with a past start") << 2;
    QTest::newRow("weekly without a weekday") << 3;
    QTest::newRow("monthly with only days 29-32") << 4;
    QTest::newRow("monthly by date of week") << 5;
    QTest::newRow("type 9") << 6;
    QTest::newRow("hour 24") << 7;
}

void TestScheduler::tasksTheRulesCannotSchedule()
{
    QFETCH(int, what);
    const QDateTime now = at(2026, 12, 9, 10);
    QZynTask::SetClock([now] { return now; });
    QZynScheduler::SetCheckIntervalMilliseconds(20);
    QZynScheduler scheduler;
    QZynTask task(QStringLiteral("Broken"));
    setStart(task, at(2026, 1, 1, 9));
    task.triggertype = QZynTask::Daily;
    switch (what) {
    case 0: task.startyear = 0; break;
    case 1: task.startmonth = 13; break;
    case 2: task.trigger.interval = 0; break;
    case 3: task.triggertype = QZynTask::Weekly; task.trigger.weekdays = 0x80; break;
    case 4: task.triggertype = QZynTask::Monthly; task.trigger.days = 0xF0000000u; break;
    case 5: task.triggertype = QZynTask::MonthlyDateOfWeek; task.next_run_time = at(2020, 1, 1); break;
    case 6: task.triggertype = 9; break;
    case 7: task.starthour = 24; break;
    }
    const QByteArray stored = task.TriggerBytes();
    scheduler.AddTask(&task);
    int executed = 0;
    connect(&scheduler, &QZynScheduler::ExecuteTask, this, [&executed](QZynTask*) { ++executed; });
    QElapsedTimer timer;
    timer.start();
    scheduler.Restart();
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(!task.IsValid());
    QVERIFY(task.next_run_time.isNull());
    QCOMPARE(task.timerId, 0);
    QTest::qWait(100);
    QCOMPARE(executed, 0);
    QCOMPARE(task.TriggerBytes(), stored);   // kept as stored
}

void TestScheduler::triggerBlockAndNames()
{
    QZynTask task(QStringLiteral("B"));
    task.trigger.interval = 0x0102;
    task.trigger.weekdays = 0x0041;
    task.trigger.days = 0x08000001;
    QCOMPARE(task.TriggerBytes(), QByteArray::fromHex("0201410001000008"));
    QZynTask other(QStringLiteral("C"));
    other.SetTriggerBytes(task.TriggerBytes());
    QCOMPARE(other.TriggerBytes(), task.TriggerBytes());
    // A short stored value counts as zero-filled.
    other.SetTriggerBytes(QByteArray::fromHex("0300"));
    QCOMPARE(other.trigger.interval, quint16(3));
    QCOMPARE(other.trigger.weekdays, quint16(0));
    QCOMPARE(other.trigger.days, 0u);
    QCOMPARE(QString::fromLatin1(trigger_string[3]), QStringLiteral("Monthly(DATE OF WEEK)"));
    QCOMPARE(QString::fromLatin1(daysofweekstring[6]), QStringLiteral("Sunday"));
    // A new task starts now, daily, interval 1.
    const QDateTime now = at(2026, 12, 9, 14, 25, 40);
    QZynTask::SetClock([now] { return now; });
    QZynTask fresh(QStringLiteral("New"));
    QCOMPARE(fresh.StartDateTime(), at(2026, 12, 9, 14, 25));
    QCOMPARE(fresh.trigger.interval, quint16(1));
    QCOMPARE(fresh.triggertype, 0);
    QVERIFY(fresh.next_run_time.isNull());
}

void TestScheduler::removing()
{
    QZynScheduler scheduler;
    QZynTask inside(QStringLiteral("In"));
    QZynTask outside(QStringLiteral("Out"));
    scheduler.AddTask(&inside);
    scheduler.Restart();
    QVERIFY(inside.timerId != 0);
    QVERIFY(!scheduler.RemoveTask(&outside));
    QVERIFY(scheduler.RemoveTask(&inside));
    QCOMPARE(inside.timerId, 0);
    QCOMPARE(scheduler.TaskCount(), 0);
    scheduler.AddTask(&outside);
    QCOMPARE(scheduler.RemoveTask(0), &outside);
    QVERIFY(scheduler.RemoveTask(5) == nullptr);
    // A task that goes while listed leaves the list and its timer.
    {
        QZynTask passing(QStringLiteral("Passing"));
        scheduler.AddTask(&passing);
        scheduler.Restart();
        QVERIFY(passing.timerId != 0);
    }
    QCOMPARE(scheduler.TaskCount(), 0);
    QTest::qWait(50);
}

QTEST_MAIN(TestScheduler)
#include "test_scheduler.moc"
