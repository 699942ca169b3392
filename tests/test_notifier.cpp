// The main window's event notifier: which events get a log row, a report and notices (a table
// over levels, notification levels and controller states, observed through the system-log
// sink and the message boxes), the texts every channel carries, and one event end to end to
// real peers: a mail to an aiosmtpd server, traps to snmptrapd, the system log through syslog(3).
// An event the controller held when it was connected is never notified; a new one is.
// Events logged while the window takes no events are each shown and notified once, in order,
// when it takes them again; the notifier's message box never opens inside another, and the box
// that comes next shows the gravest notice that waits.
#include "filesizelimit.h"
#include "controllerfixture.h"
#include "dialogfixture.h"
#include "devices/event.h"
#include "devices/guiitem.h"
#include "devices/settings.h"
#include "helper/logfile.h"
#include "helper/syslogsink.h"
#include "modalresponder.h"
#include "peerfixture.h"
#include "smtp/smtp.h"
#include "snmp/snmp.h"
#include "ui/dialog/mainwindow.h"
#include "ui_mainwindow.h"
#include "watcher/controllerwatcher.h"
#include "watcher/eventwatcher.h"
#include "windowfixture.h"
#include "zynapplication.h"

#include <QDeadlineTimer>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <syslog.h>
#include <thread>

using namespace ctltest;
using namespace viewtest;

namespace {

const char* const kDiscovery = "127.0.0.176";
const char* const kControllerAddress = "127.0.0.174";
const char* const kPeerAddress = "127.0.0.175";
const char* const kPolledAddress = "127.0.0.177";
const char* const kGravestAddress = "127.0.5.1";

// What the system log was given.
class RecordingSink : public SysLogSink {
public:
    void write(int priority, const QByteArray& text) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_records << QString::number(priority) + "|" + QString::fromUtf8(text);
    }
    QStringList take()
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        QStringList out;
        out.swap(m_records);
        return out;
    }

private:
    std::mutex m_mutex;
    QStringList m_records;
};

// The polling thread's pass while a test holds the window, and how long a held window waits
// for the pass to read what the controller logged.
constexpr int kUpdateMs = 100;
constexpr int kHwMonitorMs = 10000;
constexpr int kAuthorisationMs = 1000;
constexpr int kPolledMs = 20000;
constexpr int kHeldPauseMs = 5;
// How long the released window may take for what came meanwhile.
constexpr int kReleasedMs = 60000;

// An event of the given class and code found in the program's tables with each level.
struct Known {
    int eventClass = 0, code = 0;
};

// `onlyClass` 0: any class.
Known eventOfLevel(int wanted, int onlyClass = 0)
{
    for (int c = 1; c <= 6; ++c)
        if (onlyClass == 0 || c == onlyClass)
            for (int k = 0; k < 64; ++k) {
                QString text;
                int level = -1;
                if (QZynEvent::Describe(c, k, &text, &level) && level == wanted && text != QLatin1String("Unknown Event"))
                    return {c, k};
            }
    return {};
}

// The names "<prefix>000", "<prefix>001", ... found in `texts` as words, in their order.
QStringList namesIn(const QStringList& texts, bool newestFirst = false)
{
    const QRegularExpression word(QStringLiteral("(?:^| )([ES]\\d{3})(?: |$)"));
    QStringList out;
    for (const QString& text : texts)
        if (const QRegularExpressionMatch m = word.match(text); m.hasMatch())
            newestFirst ? out.prepend(m.captured(1)) : out.append(m.captured(1));
    return out;
}

// The notifier's message boxes on screen.
QList<QMessageBox*> openBoxes()
{
    QList<QMessageBox*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible())
            out << box;
    return out;
}

// The most message boxes open at once while it lives. Once one has opened inside another it
// answers every box, so that a window that nests them still lets the test end.
struct BoxWatch : QTimer {
    int mostOpen = 0;
    BoxWatch()
    {
        connect(this, &QTimer::timeout, [this] {
            mostOpen = std::max(mostOpen, int(openBoxes().size()));
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && mostOpen > 1)
                box->button(QMessageBox::Ok)->click();
        });
        start(kHeldPauseMs);
    }
};

QString priorityName(int level)
{
    switch (level) {
    case 2: return QString::number(LOG_ERR);
    case 3: return QString::number(LOG_WARNING);
    case 4: return QString::number(LOG_INFO);
    default: return QString::number(LOG_CRIT);
    }
}

} // namespace

class TestNotifier : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void gates_data();
    void gates();
    void noticesReachRealPeers_data();
    void noticesReachRealPeers();
    void oldEventsStayQuiet();
    void systemLogTakesTheTextUnchanged();
    void everyEventOnceAfterAHeldWindow_data();
    void everyEventOnceAfterAHeldWindow();
    void oneNoticeBoxAtATime_data();
    void oneNoticeBoxAtATime();
    void gravestNoticeFirst_data();
    void gravestNoticeFirst();

private:
    // Logs `count` general events of `level` named <prefix>000.. on the polled controller in
    // batches of `batch` while this thread, the window's, takes no events (between batches it
    // only waits until the polling thread has read them); then takes events until the system log
    // has a notice of each. The names the system log got, in order.
    QStringList notifiedAfterHold(zynsim::FakeController& ctl, QZynController* c, const char* prefix, int count,
                                  int level, int batch);
    // The same with a level for each event.
    QStringList notifiedAfterHold(zynsim::FakeController& ctl, QZynController* c, const char* prefix,
                                  const QVector<int>& levels, int batch);
    // Answers the notifier's boxes one by one until `count` have been seen or none comes: the
    // event each shows, its icon and what it adds ("S001|2|And 2 more events."). With
    // PALVIR_SHOT_DIR set, a picture of the last one, named `shot`.
    static QStringList answerBoxes(int count, const QString& shot = QString());
    // Puts an event of `level` named `device` into the controller's event slot 0; null when the
    // tables hold no event of that level.
    QZynEvent* eventAt(QZynController* c, int level, const char* device);
    QTemporaryDir m_dir;
    RecordingSink m_sink;
    ControllerRig m_rig;
    int m_runs = 0;
};

void TestNotifier::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir().mkpath(m_dir.path() + "/driver");
    qputenv("ZYNMSR_DRIVER_DIR", (m_dir.path() + "/driver").toLocal8Bit());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    ZynApplication::SetApplicationFolder(m_dir.path());
    simtest::fastPolls();
    ControllerEventWatcherThread::SetIntervals(kUpdateMs, kHwMonitorMs, kAuthorisationMs);
    ControllerWatcher::SetSettlingMilliseconds(0);
    SysLogSink::Install(&m_sink);
}

void TestNotifier::init()
{
    // Each function and row counts the reports of its own folder only.
    QLogFile::SetFolder(QStringLiteral("%1/reports/%2-%3").arg(m_dir.path(), QTest::currentTestFunction()).arg(++m_runs));
}

void TestNotifier::cleanup()
{
    m_rig.stop();
    emptyHost();
    m_sink.take();
    QZynSettings* s = QZynSettings::Application();
    s->level = 0;
    s->byemail = s->bysnmptrap = s->bymessage = s->bysystemlog = s->attachlogfile = false;
}

QZynEvent* TestNotifier::eventAt(QZynController* c, int level, const char* device)
{
    const Known k = eventOfLevel(level);
    if (k.eventClass == 0)
        return nullptr;
    sEVET_DATA record;
    std::memset(&record, 0, sizeof record);
    record.set(uint8_t(k.eventClass), uint8_t(k.code));
    record.setName(device);
    record.setTime(sEVET_DATA::kTimePacked | (26u << 22) | (12u << 27) | (9u << 17) | (10u << 12) | (11u << 6) | 12u);
    QZynEvent* event = c->GetEvent(0);
    event->SetupInfo(&record);
    event->SetFromLoad(false);
    return event;
}

void TestNotifier::gates_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("notifyLevel");
    QTest::addColumn<bool>("row");
    QTest::addColumn<bool>("report");
    QTest::addColumn<bool>("notices");

    const int online = QZynController::StateOnline;
    QTest::newRow("connecting: nothing") << int(QZynController::StateConnecting) << 1 << 4 << false << false << false;
    QTest::newRow("offline: nothing") << int(QZynController::StateOffline) << 1 << 4 << false << false << false;
    QTest::newRow("urgent, all levels") << online << 1 << 4 << true << true << true;
    QTest::newRow("serious at serious") << online << 2 << 2 << true << true << true;
    QTest::newRow("serious, urgent only: report, no notice") << online << 2 << 1 << true << true << false;
    QTest::newRow("warning: no report") << online << 3 << 3 << true << false << true;
    QTest::newRow("informational at warning: row only") << online << 4 << 3 << true << false << false;
    QTest::newRow("notices off: row and report") << online << 1 << 0 << true << true << false;
    QTest::newRow("level 0 counts as grave") << online << 0 << 1 << true << true << true;
}

void TestNotifier::gates()
{
    QFETCH(int, state);
    QFETCH(int, level);
    QFETCH(int, notifyLevel);
    QFETCH(bool, row);
    QFETCH(bool, report);
    QFETCH(bool, notices);

    QCOMPARE(m_rig.start(kControllerAddress), QString());
    QZynController* c = m_rig.controller.get();
    c->SetState(state);
    QZynSettings* settings = QZynSettings::Application();
    settings->level = notifyLevel;
    settings->bymessage = true;
    settings->bysystemlog = true;
    QZynEvent* event = eventAt(c, level, "Raid Set # 0%s");
    if (event == nullptr)
        QSKIP("the event tables hold no event of this level");

    QDir(QLogFile::Folder()).removeRecursively();
    MainWindow window;
    QTreeWidget* list = window.Form()->logTreeWidget;
    ModalResponder responder;
    responder.press(QMessageBox::Ok);
    window.Notifier(event);

    const QString model = c->GetSysInfo()->GetModelName();
    const QString source = model + "(" + kControllerAddress + ")";
    const QString message = event->GetDateText() + " " + event->GetDeviceText() + " " + event->GetEventText();
    QCOMPARE(event->GetDateText(), QStringLiteral("2026-12-09 10:11:12"));
    QCOMPARE(list->topLevelItemCount(), row ? 1 : 0);
    if (row) {
        QCOMPARE(list->topLevelItem(0)->text(3), source);
        QCOMPARE(list->topLevelItem(0)->text(4), message);
    }
    const QStringList reports = QDir(QLogFile::Folder()).entryList(QDir::Files);
    QCOMPARE(reports.size(), report ? 1 : 0);

    const QString notice = source + ": " + message;
    QString noticeSent = notice;
    noticeSent.remove(QChar(0));
    QCOMPARE(m_sink.take(), notices ? QStringList{priorityName(level) + "|" + noticeSent} : QStringList());
    QTRY_COMPARE(responder.seen().size(), notices ? 1 : 0);
    if (notices) {
        const ModalResponder::Seen& box = responder.seen()[0];
        QCOMPARE(box.title, QStringLiteral("Palvir"));
        QCOMPARE(box.text, notice);
        const int icon = level == 4 ? QMessageBox::Information : level == 3 ? QMessageBox::Warning : QMessageBox::Critical;
        QCOMPARE(box.icon, icon);
        QCOMPARE(box.buttons, QStringList{"OK"});
    }
}

void TestNotifier::noticesReachRealPeers_data()
{
    QTest::addColumn<bool>("reportFails");   // the report cannot be written whole (a file size limit)
    QTest::newRow("report attached") << false;
    QTest::newRow("report cut short: the mail goes without it") << true;
}

void TestNotifier::noticesReachRealPeers()
{
    QFETCH(bool, reportFails);
    peertest::SmtpPeer smtp;
    const QString smtpWhy = smtp.start(kPeerAddress, QStringLiteral(PALVIR_SMTP_PEER));
    if (!smtpWhy.isEmpty())
        QSKIP(qPrintable(smtpWhy));
    peertest::TrapDaemon trapd;
    const QString trapWhy = trapd.start(kPeerAddress, {"site-7"});
    if (!trapWhy.isEmpty())
        QSKIP(qPrintable(trapWhy));
    {
        SNMP probe;   // until it listens
        bool ready = false;
        for (int i = 0; i < 100 && !ready; ++i) {
            probe.SendTrap("ready", 1, QHostAddress(kPeerAddress), trapd.port(), "site-7");
            ready = trapd.waitFor("\"ready\"", 1, 250);
        }
        QVERIFY2(ready, qPrintable(trapd.output()));
    }

    QCOMPARE(m_rig.start(kControllerAddress), QString());
    QZynController* c = m_rig.controller.get();
    c->SetState(QZynController::StateOnline);
    QZynSettings* s = QZynSettings::Application();
    s->level = 4;
    s->byemail = true;
    s->mailserver = kPeerAddress;
    s->mailport = smtp.plainPort();
    s->senderaddr = "raid@example.invalid";
    s->recipients[0] = "first@example.invalid";
    s->recipients[2] = "third@example.invalid";
    s->attachlogfile = true;
    s->bysnmptrap = true;
    s->trapip[0] = kPeerAddress;
    s->trapport[0] = trapd.port();
    s->trapip[2] = kPeerAddress;
    s->trapport[2] = trapd.port();
    s->community = "site-7";
    s->bysystemlog = true;
    QZynEvent* event = eventAt(c, 1, "Volume 100%s");
    QVERIFY(event != nullptr);
    const Known k = eventOfLevel(1);

    MainWindow window;
    if (reportFails) {
        // A real short write: the report stops at 4096 bytes, as on a full disk.
        FileSizeLimit limit(4096);
        QVERIFY(limit.isSet());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Failed to write logfile .*/Ctlr00-00000\\.log \\(.+\\): "
                                                            "the file is removed$"));
        const QByteArray noReport = "No report of this event (result " + QByteArray::number(QLogFile::kFileError)
                                    + "): an alert mail goes without one";
        QTest::ignoreMessage(QtDebugMsg, noReport.constData());
        window.Notifier(event);
    } else {
        window.Notifier(event);
    }
    const QString model = c->GetSysInfo()->GetModelName();
    QString modelSent = model;
    modelSent.remove(QChar(0));
    const QString notice = model + "(" + kControllerAddress + "): " + event->GetDateText() + " " + event->GetDeviceText() + " "
                           + event->GetEventText();
    QString noticeSent = notice;
    noticeSent.remove(QChar(0));

    // The system log: the text unchanged, "%s" included.
    QCOMPARE(m_sink.take(), QStringList{QString::number(LOG_CRIT) + "|" + noticeSent});
    // Two traps (the second manager is unset), the class and code in the specific code.
    const QString trap = QStringLiteral("community=TRAP, SNMP v1, community site-7|enterprise=.1.3.6.1.4.1.32473.1.1|"
                                        "agent=0.0.0.0|generic=6|specific=.%1|vars=.1.3.6.1.2.1.1.1.0 = STRING: \"%2\"")
                             .arg(k.eventClass * 128 + k.code)
                             .arg(noticeSent);
    QVERIFY2(trapd.waitFor(trap), qPrintable(trapd.output()));
    QVERIFY2(trapd.waitFor(trap, 2), qPrintable(trapd.output()));
    // The mail: to the two recipients, the subject with the level's name, the report attached.
    QTRY_COMPARE_WITH_TIMEOUT(smtp.mails().size(), 1, 30000);
    const QJsonObject mail = smtp.mails().first();
    QString subject, to;
    for (const QJsonValue& h : mail.value("headers").toArray()) {
        const QJsonArray pair = h.toArray();
        if (pair.at(0).toString() == QLatin1String("Subject"))
            subject = pair.at(1).toString();
    }
    QCOMPARE(subject, "RaidAlert-URGENT(" + modelSent + ")");
    QCOMPARE(mail.value("rcpt_tos").toVariant().toStringList(),
             (QStringList{"first@example.invalid", "third@example.invalid"}));
    QStringList texts, files;
    for (const QJsonValue& p : mail.value("parts").toArray()) {
        const QJsonObject part = p.toObject();
        if (part.value("type").toString() == QLatin1String("text/plain") && part.value("filename").isNull())
            texts << part.value("text").toString();
        if (!part.value("filename").isNull())
            files << part.value("filename").toString();
    }
    QCOMPARE(texts, QStringList{noticeSent});
    const QStringList reports = QDir(QLogFile::Folder()).entryList(QDir::Files);
    QCOMPARE(reports.size(), reportFails ? 0 : 1);
    QCOMPARE(files, reports);
    // The mail object ends with its dialogue.
    QTRY_COMPARE_WITH_TIMEOUT(Smtp::Live(), 0, 30000);
}

void TestNotifier::oldEventsStayQuiet()
{
    zynsim::Simulator sim;
    zynsim::ControllerConfig config;
    auto ctl = sim.addUdpController(kPolledAddress, config);
    QVERIFY(ctl);
    const Known urgent = eventOfLevel(1);
    const auto record = [&](const char* name) {
        sEVET_DATA r;
        std::memset(&r, 0, sizeof r);
        r.set(uint8_t(urgent.eventClass), uint8_t(urgent.code));
        r.setName(name);
        return r;
    };
    ctl->addEvent(record("Old"));
    QZynSettings::Application()->level = 4;
    QZynSettings::Application()->bysystemlog = true;

    MainWindow window;
    QZynController* c = announceOnline(kPolledAddress);
    QVERIFY(c != nullptr);
    QTreeWidget* list = window.Form()->logTreeWidget;
    const auto notified = [&] {
        QStringList rows;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(4).contains(QLatin1String(" New ")) || list->topLevelItem(i)->text(4).contains(QLatin1String(" Old ")))
                rows << list->topLevelItem(i)->text(4);
        return rows;
    };
    ctl->addEvent(record("New"));
    QTRY_COMPARE_WITH_TIMEOUT(notified().size(), 1, 20000);
    QVERIFY(notified().first().contains(QLatin1String(" New ")));
    const QStringList logged = m_sink.take();
    QCOMPARE(logged.size(), 1);
    QVERIFY(logged.first().contains(QLatin1String(" New ")));
}

void TestNotifier::systemLogTakesTheTextUnchanged()
{
    // The real system log, through a process of its own that also writes its records to stderr.
    const QString text = QStringLiteral("ZRC-1880(LocalHost): 100% done %s %n");
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PALVIR_SYSLOG_PROBE", text);
    probe.setProcessEnvironment(env);
    probe.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(probe.waitForFinished(30000));
    QCOMPARE(probe.exitCode(), 0);
    QVERIFY2(QString::fromUtf8(probe.readAllStandardError()).contains("Palvir: " + text), "no record on stderr");
}

QStringList TestNotifier::notifiedAfterHold(zynsim::FakeController& ctl, QZynController* c, const char* prefix,
                                            int count, int level, int batch)
{
    return notifiedAfterHold(ctl, c, prefix, QVector<int>(count, level), batch);
}

QStringList TestNotifier::notifiedAfterHold(zynsim::FakeController& ctl, QZynController* c, const char* prefix,
                                            const QVector<int>& levels, int batch)
{
    const int count = levels.size();
    std::vector<Known> known;
    for (const int level : levels)
        known.push_back(eventOfLevel(level, zynevent::kGeneralEvent));
    const int ringSlots = c->EventRingSlots();
    if (std::any_of(known.begin(), known.end(), [](const Known& k) { return k.eventClass == 0; }) || batch >= ringSlots)
        return {QStringLiteral("no such event, or a batch past the ring")};
    m_sink.take();
    const int base = c->GetEventCounter();
    for (int logged = 0; logged < count;) {
        for (const int end = std::min(count, logged + batch); logged < end; ++logged) {
            sEVET_DATA r;
            std::memset(&r, 0, sizeof r);
            r.set(uint8_t(known[size_t(logged)].eventClass), uint8_t(known[size_t(logged)].code));
            r.setName(qPrintable(QString::asprintf("%s%03d", prefix, logged)));
            ctl.addEvent(r);
        }
        const QDeadlineTimer deadline(kPolledMs);
        while (c->GetEventCounter() % ringSlots != (base + logged) % ringSlots && !deadline.hasExpired())
            std::this_thread::sleep_for(std::chrono::milliseconds(kHeldPauseMs));
    }
    QStringList notices;
    // A notice short when the wait ends fails the caller's comparison.
    static_cast<void>(QTest::qWaitFor([&] { return (notices << m_sink.take()).size() >= count; }, kReleasedMs));
    QCoreApplication::processEvents();
    return namesIn(notices << m_sink.take());
}

void TestNotifier::everyEventOnceAfterAHeldWindow_data()
{
    QTest::addColumn<int>("events");
    QTest::addColumn<int>("batch");
    QTest::addColumn<uint>("ring");
    QTest::addColumn<int>("level");
    QTest::newRow("500 in batches of 100") << 500 << 100 << 256u << int(QZynEvent::Warning);
    QTest::newRow("500 in batches of 255") << 500 << 255 << 256u << int(QZynEvent::Warning);
    QTest::newRow("ring of 16: 100 in batches of 15") << 100 << 15 << 16u << int(QZynEvent::Informational);
    QTest::newRow("grave, with reports: 40 in batches of 15, ring of 16") << 40 << 15 << 16u << int(QZynEvent::Urgent);
}

void TestNotifier::everyEventOnceAfterAHeldWindow()
{
    QFETCH(int, events);
    QFETCH(int, batch);
    QFETCH(uint, ring);
    QFETCH(int, level);
    zynsim::Simulator sim;
    zynsim::ControllerConfig config;
    config.eventRingCapacity = ring;
    auto ctl = sim.addUdpController(kPolledAddress, config);
    QVERIFY(ctl);
    QZynSettings::Application()->level = 4;
    QZynSettings::Application()->bysystemlog = true;
    QDir(QLogFile::Folder()).removeRecursively();
    MainWindow window;
    QZynController* c = announceOnline(kPolledAddress);
    QVERIFY(c != nullptr);

    // Every event once, in order, in every place it goes.
    QStringList names;
    for (int i = 0; i < events; ++i)
        names << QString::asprintf("E%03d", i);
    QCOMPARE(notifiedAfterHold(*ctl, c, "E", events, level, batch), names);
    QStringList rows, modelRows, triggers;
    for (int i = 0; i < window.Form()->logTreeWidget->topLevelItemCount(); ++i)
        rows << window.Form()->logTreeWidget->topLevelItem(i)->text(4);
    QCOMPARE(namesIn(rows, true), names);
    for (int row = 0; row < c->GetGuiItem()->eventModel->rowCount(); ++row)
        modelRows << c->GetGuiItem()->eventModel->item(row, 2)->text();
    QCOMPARE(namesIn(modelRows, true), names);
    const QDir reports(QLogFile::Folder());
    for (const QString& name : reports.entryList(QDir::Files, QDir::Name)) {
        QFile report(reports.filePath(name));
        QVERIFY(report.open(QIODevice::ReadOnly));
        triggers << QString::fromLocal8Bit(report.readLine()).trimmed();   // "Triggered event: <date> <device> <event>"
    }
    QCOMPARE(namesIn(triggers), level <= QZynEvent::Serious ? names : QStringList());
}

void TestNotifier::oneNoticeBoxAtATime_data()
{
    QTest::addColumn<int>("behind");
    QTest::addColumn<QStringList>("boxes");   // each box: the event it shows and what it adds
    QTest::newRow("one behind: a box of its own") << 1 << QStringList{"S000|", "S001|"};
    QTest::newRow("two behind: a box each") << 2 << QStringList{"S000|", "S001|", "S002|"};
    QTest::newRow("three behind: one box counts two") << 3 << QStringList{"S000|", "S001|And 2 more events."};
    QTest::newRow("a storm of 250") << 250 << QStringList{"S000|", "S001|And 249 more events."};
}

void TestNotifier::oneNoticeBoxAtATime()
{
    QFETCH(int, behind);
    QFETCH(QStringList, boxes);
    zynsim::Simulator sim;
    auto ctl = sim.addUdpController(kPolledAddress, zynsim::ControllerConfig());
    QVERIFY(ctl);
    QZynSettings::Application()->level = 4;
    QZynSettings::Application()->bymessage = true;
    QZynSettings::Application()->bysystemlog = true;
    MainWindow window;
    QZynController* c = announceOnline(kPolledAddress);
    QVERIFY(c != nullptr);
    BoxWatch watch;

    // The first event opens a box, the others come while it is open: all of them reach the
    // other channels at once, no box opens inside another.
    const QStringList notified = notifiedAfterHold(*ctl, c, "S", behind + 1, QZynEvent::Warning, behind + 1);
    QCOMPARE(watch.mostOpen, 1);
    QCOMPARE(notified.size(), behind + 1);
    // Answered one by one, the boxes account for every event once, in order.
    QStringList shown;
    for (const QString& box : answerBoxes(boxes.size()))
        shown << box.section(QLatin1Char('|'), 0, 0) + QLatin1Char('|') + box.section(QLatin1Char('|'), 2);
    QCoreApplication::processEvents();
    QCOMPARE(openBoxes().size(), 0);
    QCOMPARE(watch.mostOpen, 1);
    QCOMPARE(shown, boxes);
}

QStringList TestNotifier::answerBoxes(int count, const QString& shot)
{
    QStringList shown;
    while (shown.size() < count && QTest::qWaitFor([] { return openBoxes().size() == 1; }, kReleasedMs)) {
        QMessageBox* box = openBoxes().first();
        if (!shot.isEmpty() && shown.size() == count - 1)
            dialogtest::shootDialog(box, shot);
        shown << QStringLiteral("%1|%2|%3")
                     .arg(namesIn({box->text()}).value(0))
                     .arg(int(box->icon()))
                     .arg(box->informativeText());
        box->button(QMessageBox::Ok)->click();
    }
    return shown;
}

void TestNotifier::gravestNoticeFirst_data()
{
    // The levels of the events in the order logged, one letter each (Urgent, Serious, Warning,
    // Informational): the first opens a box, the others wait behind it.
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QStringList>("boxes");   // each box: its event, its icon, what it adds
    const QString info = QString::number(QMessageBox::Information);
    const QString warning = QString::number(QMessageBox::Warning);
    const QString critical = QString::number(QMessageBox::Critical);
    QTest::newRow("urgent behind informational ones")
        << "IIIU" << QStringList{"S000|" + info + "|", "S003|" + critical + "|And 2 more events."};
    QTest::newRow("urgent first of those waiting")
        << "IUII" << QStringList{"S000|" + info + "|", "S001|" + critical + "|And 2 more events."};
    QTest::newRow("a graver one behind one: it comes first, the other after")
        << "IIW" << QStringList{"S000|" + info + "|", "S002|" + warning + "|", "S001|" + info + "|"};
    QTest::newRow("serious behind warning")
        << "IWS" << QStringList{"S000|" + info + "|", "S002|" + critical + "|", "S001|" + warning + "|"};
    QTest::newRow("the waiting store full, then urgent ones")
        << "IIIWIUU" << QStringList{"S000|" + info + "|", "S005|" + critical + "|And 5 more events."};
    QTest::newRow("equal levels: the earliest, kept ones")
        << "WISIS" << QStringList{"S000|" + warning + "|", "S002|" + critical + "|And 3 more events."};
    QTest::newRow("equal levels: the earliest, past the store")
        << "WIIUIU" << QStringList{"S000|" + warning + "|", "S003|" + critical + "|And 4 more events."};
    QString storm(250, QLatin1Char('I'));
    storm[200] = QLatin1Char('U');
    storm[230] = QLatin1Char('U');
    QTest::newRow("a storm of 250, urgent late in it")
        << storm << QStringList{"S000|" + info + "|", "S200|" + critical + "|And 248 more events."};
}

void TestNotifier::gravestNoticeFirst()
{
    QFETCH(QString, levels);
    QFETCH(QStringList, boxes);
    const QHash<QChar, int> byLetter = {{'U', QZynEvent::Urgent}, {'S', QZynEvent::Serious},
                                        {'W', QZynEvent::Warning}, {'I', QZynEvent::Informational}};
    QVector<int> sequence;
    for (const QChar letter : levels)
        sequence << byLetter.value(letter);
    zynsim::Simulator sim;
    auto ctl = sim.addUdpController(kGravestAddress, zynsim::ControllerConfig());
    QVERIFY(ctl);
    QZynSettings::Application()->level = QZynEvent::Informational;
    QZynSettings::Application()->bymessage = true;
    QZynSettings::Application()->bysystemlog = true;
    MainWindow window;
    QZynController* c = announceOnline(kGravestAddress);
    QVERIFY(c != nullptr);
    BoxWatch watch;

    // Every event reaches the system log and the log list at once, in order, whatever the boxes show.
    QStringList names;
    for (int i = 0; i < sequence.size(); ++i)
        names << QString::asprintf("S%03d", i);
    QCOMPARE(notifiedAfterHold(*ctl, c, "S", sequence, sequence.size()), names);
    QStringList rows;
    for (int i = 0; i < window.Form()->logTreeWidget->topLevelItemCount(); ++i)
        rows << window.Form()->logTreeWidget->topLevelItem(i)->text(4);
    QCOMPARE(namesIn(rows, true), names);
    const QString shot = QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression("\\W+"), "-");
    QCOMPARE(answerBoxes(boxes.size(), "notice-gravest-" + shot), boxes);
    QCoreApplication::processEvents();
    QCOMPARE(openBoxes().size(), 0);
    QCOMPARE(watch.mostOpen, 1);
}

int main(int argc, char** argv)
{
    const QByteArray probe = qgetenv("PALVIR_SYSLOG_PROBE");
    if (!probe.isEmpty()) {
        openlog("Palvir", LOG_PERROR, LOG_USER);
        SysLogSink::Current()->write(LOG_INFO, probe);
        closelog();
        return 0;
    }
    return viewtest::runWindowTest<TestNotifier>(argc, argv, kDiscovery);
}

#include "test_notifier.moc"
