// The settings record and its store: defaults, the exact keys written, values by type, plain
// text locales, the language from one run of the program to the next (each run a process of
// its own), scheduled tasks across an exit and a start, and no password in the log.
#include "devices/settings.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <cstring>

namespace {

// `test_settings --run FOLDER [LOCALE]` is one run of the program over the store in FOLDER:
// it reads the settings, prints "<locale name>,<account>" and, given LOCALE, saves that
// language as the program does at exit.
const char* const kRunArgument = "--run";

// The line a store file holds for the language zh_TW saved as a locale value.
const char* const kZhTwLine = "locale=@Variant(\\0\\0\\0\\x12\\0\\0\\0\\n\\0z\\0h\\0_\\0T\\0W)\n";

void useStoreIn(const QString& folder)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Varnel"));
    QCoreApplication::setApplicationName(QStringLiteral("Palvir"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

int runOnce(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    useStoreIn(QString::fromLocal8Bit(argv[2]));
    QZynSettings s;
    s.ReadSettings();
    std::fputs(qPrintable(s.locale.name() + QLatin1Char(',') + s.account), stdout);
    if (argc > 3) {
        s.locale = QLocale(QString::fromLatin1(argv[3]));
        s.WriteSettings();
    }
    return 0;
}

// `test_settings --tasks FOLDER` reads the settings over the store in FOLDER and prints the
// names of the tasks read, each followed by ";".
const char* const kTasksArgument = "--tasks";

int readTasks(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    useStoreIn(QString::fromLocal8Bit(argv[2]));
    QZynSettings s;
    s.ReadSettings();
    for (int i = 0; i < s.scheduler.TaskCount(); ++i)
        std::fputs(qPrintable(s.scheduler.GetTask(i)->name + QLatin1Char(';')), stdout);
    return 0;
}

QStringList g_log;

void collect(QtMsgType, const QMessageLogContext&, const QString& text)
{
    g_log << text;
}

QZynTask* task(const QString& name, int operation)
{
    auto* t = new QZynTask(name);
    t->startyear = 2026;
    t->startmonth = 12;
    t->startday = 9;
    t->starthour = 7;
    t->startminute = 30;
    t->endyear = 2027;
    t->endmonth = 1;
    t->endday = 2;
    t->flags = QZynTask::kFlagDisabled;
    t->triggertype = QZynTask::Weekly;
    t->trigger.interval = 2;
    t->trigger.weekdays = 0x15;
    t->trigger.days = 0x0800FFFF;
    t->operation = operation;
    t->content.msgbox = QStringLiteral("Box ") + name;
    t->content.subject = QStringLiteral("Subject ") + name;
    t->content.msg = QStringLiteral("Message ") + name;
    t->content.checkvolume = 1;
    return t;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void emptyStoreGivesTheDefaults();
    void exactKeysWritten();
    void valuesRoundTrip();
    void plainTextLocale();
    void localeFromRunToRun_data();
    void localeFromRunToRun();
    void tasksAcrossExitAndStart();
    void partialTaskEntries();
    void storedTaskCountIsNoPromise_data();
    void storedTaskCountIsNoPromise();
    void passwordsNeverLogged();

private:
    QTemporaryDir m_dir;
};

void TestSettings::initTestCase()
{
    QVERIFY(m_dir.isValid());
    useStoreIn(m_dir.path());
}

void TestSettings::init()
{
    QSettings store;
    store.clear();
    store.sync();
}

void TestSettings::emptyStoreGivesTheDefaults()
{
    QZynSettings s;
    s.ReadSettings();
    QCOMPARE(s.locale, QLocale(QStringLiteral("en")));
    QCOMPARE(s.timeout, 40);
    QCOMPARE(s.retrycount, 3);
    QCOMPARE(s.pollinginterval, 1);
    QCOMPARE(s.level, 0);
    QCOMPARE(s.mailport, 25);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(s.trapip[i], QStringLiteral("192.168.0.0"));
        QCOMPARE(s.trapport[i], 162);
        QVERIFY(s.recipients[i].isEmpty());
    }
    QCOMPARE(s.community, QStringLiteral("kestro"));
    QVERIFY(!s.byemail && !s.bysnmptrap && !s.bymessage && !s.bysystemlog && !s.mailauth && !s.mailssl
            && !s.attachlogfile && !s.needpass);
    QVERIFY(s.mailserver.isEmpty() && s.account.isEmpty() && s.password.isEmpty() && s.mailaccount.isEmpty());
    QCOMPARE(s.scheduler.TaskCount(), 0);
}

void TestSettings::exactKeysWritten()
{
    {
        QSettings store;
        store.setValue("network/timeout", 7);
        store.setValue("general/password", "kept");
    }
    {
        QZynSettings s;
        s.ReadSettings();
        s.WriteSettings();
    }
    QSettings store;
    QStringList keys = store.allKeys();
    keys.sort();
    QStringList expected{QStringLiteral("general/locale"), QStringLiteral("general/password"),
                         QStringLiteral("network/timeout"), QStringLiteral("scheduler/tasks/size")};
    for (const char* key : {"level", "mail/server", "mail/port", "mail/sendername", "mail/senderaddr", "mail/recepient1",
                            "mail/recepient2", "mail/recepient3", "mail/auth", "mail/ssl", "mail/account",
                            "mail/password", "mail/attachlogfile", "byemail", "bymessage", "bysystemlog",
                            "snmp/trapip1", "snmp/trapip2", "snmp/trapip3", "snmp/trapport1", "snmp/trapport2",
                            "snmp/trapport3", "snmp/community", "snmp/bysnmptrap"})
        expected << QStringLiteral("notification/") + QLatin1String(key);
    QCOMPARE(expected.size(), 4 + 24);
    expected.sort();
    QCOMPARE(keys, expected);
    // What is only read stays as it was.
    QCOMPARE(store.value("network/timeout").toInt(), 7);
    QCOMPARE(store.value("general/password").toString(), QStringLiteral("kept"));
    QCOMPARE(store.value("scheduler/tasks/size").toInt(), 0);
}

void TestSettings::valuesRoundTrip()
{
    {
        QZynSettings s;
        s.ReadSettings();
        s.locale = QLocale(QStringLiteral("de_DE"));
        s.level = 3;
        s.byemail = true;
        s.mailserver = QStringLiteral("127.0.0.1");
        s.mailport = 2525;
        s.sendername = QStringLiteral("Palvir");
        s.senderaddr = QStringLiteral("raid@example.invalid");
        s.recipients[1] = QStringLiteral("ops@example.invalid");
        s.mailauth = true;
        s.mailssl = true;
        s.mailaccount = QStringLiteral("ops");
        s.mailpassword = QStringLiteral("s3cret");
        s.attachlogfile = true;
        s.bysnmptrap = true;
        s.trapip[2] = QStringLiteral("127.0.0.5");
        s.trapport[2] = 1162;
        s.community = QStringLiteral("public");
        s.bymessage = true;
        s.bysystemlog = true;
        s.WriteSettings();
    }
    QZynSettings r;
    r.ReadSettings();
    QCOMPARE(r.locale, QLocale(QStringLiteral("de_DE")));
    QCOMPARE(r.level, 3);
    QVERIFY(r.byemail && r.mailauth && r.mailssl && r.attachlogfile && r.bysnmptrap && r.bymessage && r.bysystemlog);
    QCOMPARE(r.mailserver, QStringLiteral("127.0.0.1"));
    QCOMPARE(r.mailport, 2525);
    QCOMPARE(r.senderaddr, QStringLiteral("raid@example.invalid"));
    QCOMPARE(r.recipients[1], QStringLiteral("ops@example.invalid"));
    QVERIFY(r.recipients[0].isEmpty());
    QCOMPARE(r.mailpassword, QStringLiteral("s3cret"));   // stored as plain text
    QCOMPARE(r.trapip[2], QStringLiteral("127.0.0.5"));
    QCOMPARE(r.trapip[0], QStringLiteral("192.168.0.0"));
    QCOMPARE(r.trapport[2], 1162);
    QCOMPARE(r.community, QStringLiteral("public"));
}

void TestSettings::plainTextLocale()
{
    {
        QSettings store;
        store.setValue("general/locale", QStringLiteral("zh_TW"));
    }
    QZynSettings s;
    s.ReadSettings();
    QCOMPARE(s.locale, QLocale(QStringLiteral("zh_TW")));
    s.WriteSettings();
    QSettings store;
    QCOMPARE(store.value("general/locale").type(), QVariant::Locale);
    QZynSettings again;
    again.ReadSettings();
    QCOMPARE(again.locale.name(), QStringLiteral("zh_TW"));
}

void TestSettings::localeFromRunToRun_data()
{
    // The store file as it stands before the first run; the language each run but the last
    // saves at its exit; what each run reads.
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<QStringList>("read");
    const QByteArray variant = kZhTwLine;
    QTest::newRow("no store") << QByteArray() << QStringList() << QStringList{"en_US,"};
    QTest::newRow("[%General] text") << QByteArray("[%General]\naccount=ops\nlocale=zh_TW\n") << QStringList()
                                     << QStringList{"zh_TW,ops"};
    QTest::newRow("[%General] locale value") << "[%General]\n" + variant << QStringList() << QStringList{"zh_TW,"};
    QTest::newRow("[general] by hand") << QByteArray("[general]\naccount=ops\nlocale=zh_TW\n") << QStringList()
                                       << QStringList{"zh_TW,ops"};
    QTest::newRow("[General] by hand") << QByteArray("[General]\naccount=ops\nlocale=zh_TW\n") << QStringList()
                                       << QStringList{"zh_TW,ops"};
    QTest::newRow("other groups only") << QByteArray("[network]\nlocale=zh_TW\ntimeout=7\n") << QStringList()
                                       << QStringList{"en_US,"};
    QTest::newRow("saved, then read") << QByteArray() << QStringList{"zh_TW"} << QStringList{"en_US,", "zh_TW,"};
    QTest::newRow("changed run after run") << "[%General]\naccount=ops\n" + variant << QStringList{"de_DE", "fr_FR"}
                                           << QStringList{"zh_TW,ops", "de_DE,ops", "fr_FR,ops"};
    QTest::newRow("[general] by hand, then saved") << QByteArray("[general]\nlocale=zh_TW\n") << QStringList{"de_DE"}
                                                   << QStringList{"zh_TW,", "de_DE,"};
}

void TestSettings::localeFromRunToRun()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, saved);
    QFETCH(QStringList, read);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.path() + QStringLiteral("/Varnel/Palvir.conf");
    if (!file.isEmpty()) {
        QVERIFY(QDir().mkpath(folder.path() + QStringLiteral("/Varnel")));
        QFile store(path);
        QVERIFY(store.open(QIODevice::WriteOnly));
        store.write(file);
    }
    QStringList seen;
    for (int run = 0; run <= saved.size(); ++run) {
        QStringList arguments{QLatin1String(kRunArgument), folder.path()};
        if (run < saved.size())
            arguments << saved.at(run);
        QProcess program;
        program.start(QCoreApplication::applicationFilePath(), arguments);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        seen << QString::fromUtf8(program.readAllStandardOutput());
    }
    QCOMPARE(seen, read);
    if (saved.isEmpty())
        return;
    // The language is saved once, as a locale value in the group the toolkit writes as [%General].
    QFile store(path);
    QVERIFY(store.open(QIODevice::ReadOnly));
    const QByteArray text = store.readAll();
    QCOMPARE(text.count("locale=@Variant("), 1);
    QVERIFY(text.contains("[%General]\nlocale=@Variant("));
    if (saved.last() == QLatin1String("zh_TW"))
        QVERIFY(text.contains(QByteArray("[%General]\n") + kZhTwLine));
}

void TestSettings::tasksAcrossExitAndStart()
{
    {
        QZynSettings s;
        s.ReadSettings();
        for (int i = 0; i < 5; ++i)
            s.scheduler.AddTask(task(QStringLiteral("T%1").arg(i), i % 3));
        s.WriteSettings();
    }
    {
        QZynSettings s;
        s.ReadSettings();
        QCOMPARE(s.scheduler.TaskCount(), 5);
        const QZynTask* mail = s.scheduler.GetTask(1);
        QCOMPARE(mail->name, QStringLiteral("T1"));
        QCOMPARE(mail->content.subject, QStringLiteral("Subject T1"));
        QCOMPARE(mail->content.msg, QStringLiteral("Message T1"));
        QVERIFY(mail->content.msgbox.isEmpty());
        const QZynTask* check = s.scheduler.GetTask(2);
        QCOMPARE(check->content.checkvolume, 1);
        QVERIFY(check->content.subject.isEmpty());
        const QZynTask* box = s.scheduler.GetTask(0);
        QCOMPARE(box->content.msgbox, QStringLiteral("Box T0"));
        QCOMPARE(box->StartDateTime(), QDateTime(QDate(2026, 12, 9), QTime(7, 30)));
        QCOMPARE(box->endyear, quint16(2027));
        QCOMPARE(box->flags, QZynTask::kFlagDisabled);
        QCOMPARE(box->triggertype, int(QZynTask::Weekly));
        QCOMPARE(box->TriggerBytes(), QByteArray::fromHex("02001500ffff0008"));
        // Two of five removed: three come back, in list order.
        QZynTask* gone1 = s.scheduler.GetTask(1);
        QZynTask* gone3 = s.scheduler.GetTask(3);
        QVERIFY(s.scheduler.RemoveTask(gone1));
        QVERIFY(s.scheduler.RemoveTask(gone3));
        delete gone1;
        delete gone3;
        s.WriteSettings();
        QSettings store;
        QCOMPARE(store.value("scheduler/tasks/size").toInt(), 3);
        QCOMPARE(store.value("scheduler/tasks/2/name").toString(), QStringLiteral("T2"));
        QCOMPARE(store.value("scheduler/tasks/2/operation/checkvolume").toUInt(), 1u);
    }
    QZynSettings s;
    s.ReadSettings();
    QCOMPARE(s.scheduler.TaskCount(), 3);
    QCOMPARE(s.scheduler.GetTask(0)->name, QStringLiteral("T0"));
    QCOMPARE(s.scheduler.GetTask(1)->name, QStringLiteral("T2"));
    QCOMPARE(s.scheduler.GetTask(2)->name, QStringLiteral("T4"));
}

void TestSettings::partialTaskEntries()
{
    {
        QSettings store;
        store.beginWriteArray("scheduler/tasks");
        store.setArrayIndex(0);
        store.setValue("name", "No start year");
        store.setValue("startmonth", 5);
        store.setValue("triggercontent", QByteArray::fromHex("0400"));
        store.endArray();
    }
    QZynSettings s;
    s.ReadSettings();
    QCOMPARE(s.scheduler.TaskCount(), 1);
    const QZynTask* t = s.scheduler.GetTask(0);
    QCOMPARE(t->startyear, quint16(0));
    QCOMPARE(t->startmonth, quint16(5));
    QCOMPARE(t->trigger.interval, quint16(4));
    QCOMPARE(t->trigger.days, 0u);
    QVERIFY(!t->IsValid());
    // Written back as it was read.
    s.WriteSettings();
    QSettings store;
    QCOMPARE(store.value("scheduler/tasks/1/startyear").toInt(), 0);
    QCOMPARE(store.value("scheduler/tasks/1/triggercontent").toByteArray(), QByteArray::fromHex("0400000000000000"));
}

void TestSettings::storedTaskCountIsNoPromise_data()
{
    // The scheduler part of a store file; the names of the tasks a start reads from it.
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("tasks");
    QTest::newRow("the largest count, two entries")
        << QByteArray("tasks\\1\\name=A\ntasks\\2\\name=B\ntasks\\size=2147483647\n") << "A;B;";
    QTest::newRow("gaps in the numbers") << QByteArray("tasks\\1\\name=A\ntasks\\3\\name=C\ntasks\\4\\flags=1\n"
                                                       "tasks\\size=4\n")
                                         << "A;C;;";
    QTest::newRow("more entries than a scheduler holds")
        << QByteArray("tasks\\1\\name=A\ntasks\\2\\name=B\ntasks\\3\\name=C\ntasks\\4\\name=D\n"
                      "tasks\\5\\name=E\ntasks\\6\\name=F\ntasks\\7\\name=G\ntasks\\size=7\n")
        << "A;B;C;D;E;";
    QTest::newRow("entries past the count") << QByteArray("tasks\\1\\name=A\ntasks\\2\\name=B\ntasks\\size=1\n")
                                            << "A;";
    QTest::newRow("a negative count") << QByteArray("tasks\\1\\name=A\ntasks\\size=-1\n") << "";
    QTest::newRow("a count and no entry") << QByteArray("tasks\\size=2147483647\n") << "";
    QTest::newRow("a count that is no number") << QByteArray("tasks\\1\\name=A\ntasks\\size=many\n") << "";
}

void TestSettings::storedTaskCountIsNoPromise()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, tasks);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(QDir().mkpath(folder.path() + QStringLiteral("/Varnel")));
    {
        QFile store(folder.path() + QStringLiteral("/Varnel/Palvir.conf"));
        QVERIFY(store.open(QIODevice::WriteOnly));
        QVERIFY(store.write("[scheduler]\n" + file) > 0);
    }
    // A start of its own, which must end well within the deadline.
    QProcess program;
    program.start(QCoreApplication::applicationFilePath(), {QLatin1String(kTasksArgument), folder.path()});
    const bool ended = program.waitForFinished(30000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    QVERIFY2(ended, "reading the settings did not end");
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), tasks);
}

void TestSettings::passwordsNeverLogged()
{
    {
        QSettings store;
        store.setValue("general/password", "Letmein1");
        store.setValue("notification/mail/password", "Mailpass2");
        store.setValue("notification/mail/server", "127.0.0.9");
    }
    g_log.clear();
    QtMessageHandler previous = qInstallMessageHandler(collect);
    QZynSettings s;
    s.ReadSettings();
    qInstallMessageHandler(previous);
    QCOMPARE(s.password, QStringLiteral("Letmein1"));
    QVERIFY(!g_log.filter(QStringLiteral("notification/mail/server \"127.0.0.9\"")).isEmpty());
    QVERIFY(g_log.filter(QStringLiteral("Letmein1")).isEmpty());
    QVERIFY(g_log.filter(QStringLiteral("Mailpass2")).isEmpty());
    QCOMPARE(g_log.filter(QStringLiteral("password ***")).size(), 2);
    QCOMPARE(g_log.filter(QStringLiteral("byemail")).size(), 0);   // read, not logged
}

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], kRunArgument) == 0)
        return runOnce(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], kTasksArgument) == 0)
        return readTasks(argc, argv);
    QCoreApplication app(argc, argv);
    TestSettings test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_settings.moc"
