// The program's start: the message handler's lines, the splash screen, the authorisation
// stand-in, and `palvir` itself started as an ordinary user (relaunch through a stand-in pkexec)
// and with the rights to go on; and the program through the system's sleep and wake, told by a
// logind stand-in on a private message bus.
#include "startup.h"

#include "security/authorization.h"

#include <QtDBus>
#include <QtTest>
#include <QScopeGuard>
#include <QSplashScreen>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;
// A handler line: label, time, text, then (file:line, function).
const QRegularExpression kLine(
    QStringLiteral("^(Debug|Warning|Critical|Fatal|System): \\d\\d:\\d\\d:\\d\\d (.*) \\((.*):(\\d+), (.*)\\)$"));

// The handler's records in what a running program has written so far: each runs from its label
// to the next record's label, since a text may hold line ends of its own. The last one may still
// be on its way and is left out.
QStringList endedRecords(const QByteArray& written)
{
    const QRegularExpression start(QStringLiteral("\n(?=(Debug|Warning|Critical|Fatal|System): )"));
    QStringList records = QString::fromLocal8Bit(written).split(start);
    records.removeLast();
    return records;
}

// Captures what is written to standard error (the descriptor) while it lives.
class StderrCapture {
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        m_file.open();
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QByteArray finish()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

// `palvir` as a child process, as an ordinary user when the tests run as the super-user.
class Program : public QProcess {
public:
    explicit Program(bool ordinaryUser) : m_drop(ordinaryUser && ::geteuid() == 0) {}

protected:
    void setupChildProcess() override
    {
        if (m_drop && (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0))
            ::_exit(125);
    }

private:
    bool m_drop;
};


// A message bus of the test's own (dbus-daemon on a socket in `dir`), the system bus of the
// program under test.
class PrivateBus {
public:
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(30000);
    }
    // The daemon's address, or an empty text when it could not be started.
    QString start(const QString& program, const QDir& dir)
    {
        QFile config(dir.filePath(QStringLiteral("bus.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return QString();
        config.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
                                    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                    "<busconfig>\n"
                                    "  <listen>unix:path=%1</listen>\n"
                                    "  <auth>EXTERNAL</auth>\n"
                                    "  <policy context=\"default\">\n"
                                    "    <allow user=\"*\"/>\n"
                                    "    <allow own=\"*\"/>\n"
                                    "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                    "    <allow eavesdrop=\"true\"/>\n"
                                    "  </policy>\n"
                                    "</busconfig>\n")
                         .arg(dir.filePath(QStringLiteral("system_bus_socket")))
                         .toUtf8());
        config.close();
        m_daemon.start(program, {"--nofork", "--print-address=1", "--config-file=" + config.fileName()});
        if (!m_daemon.waitForStarted(30000))
            return QString();
        QByteArray out;
        QElapsedTimer timer;
        timer.start();
        while (!out.contains('\n') && m_daemon.state() == QProcess::Running && timer.elapsed() < 30000) {
            m_daemon.waitForReadyRead(1000);
            out += m_daemon.readAllStandardOutput();
        }
        return QString::fromLocal8Bit(out.left(out.indexOf('\n'))).trimmed();
    }

private:
    QProcess m_daemon;
};

// systemd-logind as far as the program uses it: sleep inhibitors (each the writing end of a
// pipe whose reading end it keeps, to see when the inhibitor is let go) and the announcement of
// sleep and wake.
class LogindStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    int taken() const { return int(m_inhibitors.size()); }
    QStringList arguments(int i) const { return m_inhibitors.at(size_t(i)).arguments; }
    // Whether every descriptor of the inhibitor has been closed.
    bool released(int i) const
    {
        struct pollfd p {};
        p.fd = m_inhibitors.at(size_t(i)).readEnd;
        p.events = POLLIN;
        return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP) != 0;
    }
    bool announce(QDBusConnection bus, bool sleeping)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                                         QStringLiteral("PrepareForSleep"));
        signal << sleeping;
        return bus.send(signal);
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode)
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return QDBusUnixFileDescriptor();
        const QDBusUnixFileDescriptor handed(ends[1]);   // a copy of its own
        ::close(ends[1]);
        m_inhibitors.push_back({{what, who, why, mode}, ends[0]});
        return handed;
    }

private:
    struct Inhibitor {
        QStringList arguments;
        int readEnd;
    };
    std::vector<Inhibitor> m_inhibitors;
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void messageLine_data();
    void messageLine();
    void handlerWritesWholeLines();
    void splash();
    void readLinkWhole_data();
    void readLinkWhole();
    void authorizationCreate_data();
    void authorizationCreate();
    void relaunch_data();
    void relaunch();
    void goesOnWithRights_data();
    void goesOnWithRights();
    void findsAndPollsTheDriversControllers();
    void sleepAndWake_data();
    void sleepAndWake();

private:
    QTemporaryDir m_dir;
    QString helperPath(const QString& name, const QByteArray& firstLine);
    QProcessEnvironment environment() const;
    // A simulator process with two driver controllers in `dir`/driver (more of its arguments in
    // `extra`), running once its banner names both.
    void startDriverControllers(QProcess& sim, const QTemporaryDir& dir, const QStringList& extra);
    // The program's environment on the driver and lock folders of `dir`, going on without rights.
    QProcessEnvironment driverEnvironment(const QTemporaryDir& dir) const;
};

void TestStartup::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The stand-in helpers and what they record are reached by the ordinary user too.
    QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                    | QFileDevice::ReadOther | QFileDevice::WriteOther
                                                    | QFileDevice::ExeOther | QFileDevice::ReadGroup
                                                    | QFileDevice::WriteGroup | QFileDevice::ExeGroup));
    QVERIFY(QDir(m_dir.path()).mkpath("app"));
}

void TestStartup::messageLine_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray file("gui/devices/settings.cpp");
    const QByteArray function("void QZynSettings::ReadSettings()");
    QTest::newRow("debug") << int(QtDebugMsg) << file << 88 << function << "general/locale"
                           << QByteArray("Debug: 12:34:56 general/locale (gui/devices/settings.cpp:88, "
                                         "void QZynSettings::ReadSettings())\n");
    QTest::newRow("warning") << int(QtWarningMsg) << file << 1 << function << "w"
                             << QByteArray("Warning: 12:34:56 w (gui/devices/settings.cpp:1, void QZynSettings::ReadSettings())\n");
    QTest::newRow("critical") << int(QtCriticalMsg) << file << 2 << function << "c"
                              << QByteArray("Critical: 12:34:56 c (gui/devices/settings.cpp:2, void QZynSettings::ReadSettings())\n");
    QTest::newRow("fatal") << int(QtFatalMsg) << file << 3 << function << "f"
                           << QByteArray("Fatal: 12:34:56 f (gui/devices/settings.cpp:3, void QZynSettings::ReadSettings())\n");
    QTest::newRow("info is System") << int(QtInfoMsg) << file << 4 << function << "i"
                                    << QByteArray("System: 12:34:56 i (gui/devices/settings.cpp:4, void QZynSettings::ReadSettings())\n");
    QTest::newRow("beyond the table") << 9 << file << 5 << function << "x"
                                      << QByteArray("System: 12:34:56 x (gui/devices/settings.cpp:5, void QZynSettings::ReadSettings())\n");
    QTest::newRow("formats pass unchanged") << int(QtDebugMsg) << QByteArray("a%s.cpp") << 7 << QByteArray("f(%n)")
                                            << "%s %n %d%% 100% \\n"
                                            << QByteArray("Debug: 12:34:56 %s %n %d%% 100% \\n (a%s.cpp:7, f(%n))\n");
    QTest::newRow("no context") << int(QtWarningMsg) << QByteArray() << 0 << QByteArray() << "bare"
                                << QByteArray("Warning: 12:34:56 bare ((null):0, (null))\n");
    QTest::newRow("line as unsigned") << int(QtDebugMsg) << file << -1 << function << ""
                                      << QByteArray("Debug: 12:34:56  (gui/devices/settings.cpp:4294967295, "
                                                    "void QZynSettings::ReadSettings())\n");
    const QString longText(5000, QLatin1Char('L'));
    QTest::newRow("longer than 1023 bytes, whole") << int(QtDebugMsg) << QByteArray("m.cpp") << 9 << QByteArray("g()")
                                                   << longText
                                                   << "Debug: 12:34:56 " + longText.toLatin1() + " (m.cpp:9, g())\n";
}

void TestStartup::messageLine()
{
    QFETCH(int, type);
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QByteArray, function);
    QFETCH(QString, message);
    QFETCH(QByteArray, expected);
    const QMessageLogContext context(file.isNull() ? nullptr : file.constData(), line,
                                     function.isNull() ? nullptr : function.constData(), "default");
    QCOMPARE(FormatMessageLine(QtMsgType(type), context, message, "12:34:56"), expected);
}

void TestStartup::handlerWritesWholeLines()
{
    constexpr int kThreads = 4;
    constexpr int kLinesEach = 200;
    const QString longText(3000, QLatin1Char('t'));
    QByteArray written;
    {
        StderrCapture capture;
        const QtMessageHandler before = qInstallMessageHandler(myMessageOutput);
        qDebug("%s", "100% %s %n");
        qWarning() << "warned";
        qCritical("critical");
        qInfo("informed");
        // A fatal message is written like any other, and the handler returns.
        myMessageOutput(QtFatalMsg, QMessageLogContext("here.cpp", 3, "void fatal()", "default"), "fatal %s");
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&longText, t] {
                for (int i = 0; i < kLinesEach; ++i)
                    qDebug().noquote() << QString::number(t) + longText;
            });
        for (std::thread& thread : threads)
            thread.join();
        qInstallMessageHandler(before);
        written = capture.finish();
    }
    QList<QByteArray> lines = written.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());   // the last line ends in a newline too
    QCOMPARE(lines.size(), 5 + kThreads * kLinesEach);
    QStringList labels;
    QStringList texts;
    for (const QByteArray& line : lines) {
        const QRegularExpressionMatch m = kLine.match(QString::fromLocal8Bit(line));
        QVERIFY2(m.hasMatch(), line.left(200).constData());
        if (labels.size() < 5) {
            labels << m.captured(1);
            texts << m.captured(2);
            continue;
        }
        QCOMPARE(m.captured(1), QStringLiteral("Debug"));
        QCOMPARE(m.captured(2).mid(1), longText);   // whole: no other line inside it
        QVERIFY(m.captured(3).endsWith(QLatin1String("test_startup.cpp")));
    }
    QCOMPARE(labels, (QStringList{"Debug", "Warning", "Critical", "System", "Fatal"}));
    QCOMPARE(texts, (QStringList{"100% %s %n", "warned", "critical", "informed", "fatal %s"}));
    const QRegularExpressionMatch first = kLine.match(QString::fromLocal8Bit(lines.first()));
    QVERIFY(first.captured(3).endsWith(QLatin1String("test_startup.cpp")));
    QVERIFY(first.captured(5).contains(QLatin1String("handlerWritesWholeLines")));
}

void TestStartup::splash()
{
    std::unique_ptr<QSplashScreen> splash(ShowStartupSplash());
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->size(), QSize(640, 360));
    QCOMPARE(splash->minimumSize(), QSize(640, 360));
    QCOMPARE(splash->maximumSize(), QSize(640, 360));
    QCOMPARE(splash->pixmap().size(), QSize(640, 360));
    QCOMPARE(splash->message(), QStringLiteral("Loading modules..."));
    // The message is drawn in white at the bottom right: what it changes lies there and is white.
    const QImage with = splash->grab().toImage();
    const QString shots = qEnvironmentVariable("PALVIR_SHOT_DIR");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        QVERIFY(with.save(QDir(shots).filePath("startup-splash.png")));
        QFile about(QDir(shots).filePath("startup-splash.txt"));
        QVERIFY(about.open(QIODevice::WriteOnly));
        about.write(QString("splash screen %1x%2\n").arg(with.width()).arg(with.height()).toUtf8());
    }
    splash->clearMessage();
    const QImage without = splash->grab().toImage();
    QCOMPARE(with.size(), without.size());
    QRect changed;
    int white = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) {
                changed |= QRect(x, y, 1, 1);
                white += with.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
            }
    QVERIFY(!changed.isEmpty());
    QVERIFY2(changed.left() > with.width() / 2 && changed.top() > with.height() * 3 / 4,
             qPrintable(QString("%1,%2 %3x%4").arg(changed.x()).arg(changed.y()).arg(changed.width()).arg(changed.height())));
    QVERIFY(changed.right() >= with.width() - 16 && changed.bottom() >= with.height() - 16);
    QVERIFY(white > 0);
}

void TestStartup::readLinkWhole_data()
{
    // target: the link's target (empty: no link at `name`, or a plain file); error when unreadable.
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("plainFile");
    QTest::addColumn<int>("error");
    QTest::newRow("short") << "/usr/bin/palvir" << false << 0;
    QTest::newRow("exactly the first buffer") << QString(256, QLatin1Char('a')) << false << 0;
    QTest::newRow("past the first buffer") << "/" + QString(3000, QLatin1Char('b')) << false << 0;
    QTest::newRow("near the longest") << QString(4095, QLatin1Char('c')) << false << 0;
    QTest::newRow("missing") << QString() << false << ENOENT;
    QTest::newRow("not a link") << QString() << true << EINVAL;
}

void TestStartup::readLinkWhole()
{
    QFETCH(QString, target);
    QFETCH(bool, plainFile);
    QFETCH(int, error);
    const QByteArray link = QFile::encodeName(m_dir.filePath(QString("link-%1").arg(QTest::currentDataTag())));
    if (!target.isEmpty())
        QCOMPARE(::symlink(QFile::encodeName(target).constData(), link.constData()), 0);
    if (plainFile) {
        QFile file(QFile::decodeName(link));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    std::string read("left over");
    int got = 0;
    QCOMPARE(security::ReadLinkTarget(link.constData(), &read, &got), error == 0);
    if (error == 0)
        QCOMPARE(QString::fromStdString(read), target);
    else
        QCOMPARE(got, error);

    std::string self;
    QVERIFY(security::ExecutablePath(&self, nullptr));
    QCOMPARE(QString::fromStdString(self), QCoreApplication::applicationFilePath());
}

QString TestStartup::helperPath(const QString& name, const QByteArray& firstLine)
{
    // Records its arguments, one a line, in $FAKE_LOG and ends with $FAKE_EXIT.
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(firstLine + "\nprintf '%s\\n' \"$@\" > \"$FAKE_LOG\"\nexit \"${FAKE_EXIT:-0}\"\n");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                        | QFileDevice::ReadOther | QFileDevice::ExeOther | QFileDevice::ReadGroup
                        | QFileDevice::ExeGroup);
    return path;
}

void TestStartup::authorizationCreate_data()
{
    QTest::addColumn<QStringList>("rights");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<bool>("helperThere");
    QTest::addColumn<int>("status");
    using namespace security;
    const uint asks = kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights;
    QTest::newRow("granted") << QStringList{"system.privilege.admin"} << asks << true << int(errAuthorizationSuccess);
    QTest::newRow("no helper") << QStringList{"system.privilege.admin"} << asks << false << int(errAuthorizationDenied);
    QTest::newRow("no interaction") << QStringList{"system.privilege.admin"} << uint(kAuthorizationFlagExtendRights)
                                    << true << int(errAuthorizationDenied);
    QTest::newRow("other right") << QStringList{"system.privilege.user"} << asks << true << int(errAuthorizationInvalidSet);
    QTest::newRow("two rights") << QStringList{"system.privilege.admin", "system.privilege.admin"} << asks << true
                                << int(errAuthorizationInvalidSet);
    QTest::newRow("none") << QStringList{} << asks << true << int(errAuthorizationInvalidSet);
}

void TestStartup::authorizationCreate()
{
    QFETCH(QStringList, rights);
    QFETCH(uint, flags);
    QFETCH(bool, helperThere);
    QFETCH(int, status);
    using namespace security;
    const QString helper = helperThere ? helperPath("create-helper", "#!/bin/sh") : m_dir.filePath("absent");
    qputenv(kHelperVariable, QFile::encodeName(helper));
    std::vector<QByteArray> names;
    std::vector<AuthorizationItem> items;
    for (const QString& right : rights)
        names.push_back(right.toLatin1());
    for (const QByteArray& name : names)
        items.push_back({name.constData(), 0, nullptr, 0});
    const AuthorizationRights set{uint32_t(items.size()), items.empty() ? nullptr : items.data()};
    AuthorizationRef authorization = reinterpret_cast<AuthorizationRef>(this);
    QCOMPARE(int(AuthorizationCreate(&set, nullptr, flags, &authorization)), status);
    QCOMPARE(authorization != nullptr, status == errAuthorizationSuccess);
    if (authorization) {
        // No communications pipe is offered.
        FILE* pipe = nullptr;
        QCOMPARE(int(AuthorizationExecuteWithPrivileges(authorization, "/bin/true", 0, nullptr, &pipe)),
                 int(errAuthorizationInvalidPointer));
        QCOMPARE(int(AuthorizationFree(authorization, 0)), int(errAuthorizationSuccess));
    }
    qunsetenv(kHelperVariable);
}

QProcessEnvironment TestStartup::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QString::fromLatin1(kNoRelaunchVariable));
    env.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath("config"));
    env.insert(QStringLiteral("FAKE_LOG"), m_dir.filePath("helper.log"));
    // What the program writes into its own folder goes here, never beside the build.
    env.insert(QString::fromLatin1(kAppFolderVariable), m_dir.filePath("app"));
    return env;
}

void TestStartup::startDriverControllers(QProcess& sim, const QTemporaryDir& dir, const QStringList& extra)
{
    QDir(dir.path()).mkpath("driver");
    QDir(dir.path()).mkpath("lock");
    sim.start(QStringLiteral(ZYNSIM_PATH), QStringList{"--slots", "2", "--driver-dir", dir.filePath("driver")} + extra);
    QVERIFY(sim.waitForStarted(30000));
    QByteArray banner;
    QTRY_VERIFY_WITH_TIMEOUT((banner += sim.readAllStandardOutput()).count("driver ") >= 2, 30000);
}

QProcessEnvironment TestStartup::driverEnvironment(const QTemporaryDir& dir) const
{
    QProcessEnvironment env = environment();
    env.insert(QString::fromLatin1(kNoRelaunchVariable), QStringLiteral("1"));
    env.insert(QString::fromLatin1(security::kHelperVariable), m_dir.filePath("no-such-pkexec"));
    env.insert(QStringLiteral("ZYNMSR_DRIVER_DIR"), dir.filePath("driver"));
    env.insert(QStringLiteral("ZYNMSR_LOCK_DIR"), dir.filePath("lock"));
    env.insert(QStringLiteral("PALVIR_DISCOVERY_TARGET"), QStringLiteral("127.0.0.220"));
    env.insert(QStringLiteral("PALVIR_DISCOVERY_BIND"), QStringLiteral("127.0.0.220"));
    return env;
}

void TestStartup::relaunch_data()
{
    // helper: the stand-in pkexec's first line (empty: there is none); exit: its exit code.
    QTest::addColumn<QByteArray>("helper");
    QTest::addColumn<int>("helperExit");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("ran");
    QTest::newRow("authorised, relaunched") << QByteArray("#!/bin/sh") << 0 << QByteArray() << 0 << true;
    QTest::newRow("relaunched program failed") << QByteArray("#!/bin/sh") << 3 << QByteArray() << 0 << true;
    QTest::newRow("prompt dismissed") << QByteArray("#!/bin/sh") << 126 << QByteArray("Couldn't Authenticate: -60006\n")
                                      << 1 << true;
    QTest::newRow("not authorised") << QByteArray("#!/bin/sh") << 127 << QByteArray("Couldn't Authenticate: -60005\n")
                                    << 1 << true;
    QTest::newRow("no pkexec") << QByteArray() << 0 << QByteArray("Couldn't Authenticate: -60005\n") << 1 << false;
    QTest::newRow("pkexec cannot run") << QByteArray("#!/nonexistent/interpreter") << 0
                                       << QByteArray("Couldn't execute self: -60031\n") << 1 << false;
}

void TestStartup::relaunch()
{
    QFETCH(QByteArray, helper);
    QFETCH(int, helperExit);
    QFETCH(QByteArray, message);
    QFETCH(int, exitCode);
    QFETCH(bool, ran);
    QFile::remove(m_dir.filePath("helper.log"));
    const QString helperFile = helper.isEmpty() ? m_dir.filePath("no-such-pkexec") : helperPath("pkexec", helper);
    QVERIFY(!helperFile.isEmpty());
    QProcessEnvironment env = environment();
    env.insert(QString::fromLatin1(security::kHelperVariable), helperFile);
    env.insert(QStringLiteral("FAKE_EXIT"), QString::number(helperExit));
    Program program(true);
    program.setProcessEnvironment(env);
    // The arguments of this start are not passed on.
    program.start(QStringLiteral(PALVIR_PATH), {"--extra", "argument"});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    // Through the toolkit's own handler: the message and the newline it adds.
    QCOMPARE(program.readAllStandardError(), message.isEmpty() ? QByteArray() : message + "\n");
    QCOMPARE(program.exitCode(), exitCode);
    QFile log(m_dir.filePath("helper.log"));
    QCOMPARE(log.exists(), ran);
    if (ran) {
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(log.readAll()), QFileInfo(PALVIR_PATH).canonicalFilePath() + "\n");
    }
}

void TestStartup::goesOnWithRights_data()
{
    QTest::addColumn<bool>("ordinaryUser");
    if (::geteuid() == 0)
        QTest::newRow("super-user") << false;
    QTest::newRow("ordinary user with PALVIR_NO_RELAUNCH=1") << true;
}

void TestStartup::goesOnWithRights()
{
    QFETCH(bool, ordinaryUser);
    QProcessEnvironment env = environment();
    if (ordinaryUser)
        env.insert(QString::fromLatin1(kNoRelaunchVariable), QStringLiteral("1"));
    // Nothing the program would find: no helper, an empty driver folder, discovery on loopback.
    env.insert(QString::fromLatin1(security::kHelperVariable), m_dir.filePath("no-such-pkexec"));
    QDir(m_dir.path()).mkpath("driver");
    QDir(m_dir.path()).mkpath("lock");
    env.insert(QStringLiteral("ZYNMSR_DRIVER_DIR"), m_dir.filePath("driver"));
    env.insert(QStringLiteral("ZYNMSR_LOCK_DIR"), m_dir.filePath("lock"));
    env.insert(QStringLiteral("PALVIR_DISCOVERY_TARGET"), QStringLiteral("127.0.0.220"));
    env.insert(QStringLiteral("PALVIR_DISCOVERY_BIND"), QStringLiteral("127.0.0.220"));
    if (ordinaryUser)
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));   // the tests' own belongs to another user
    Program program(ordinaryUser);
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(PALVIR_PATH), QStringList());
    QByteArray err;
    // The settings are read at start, each key logged through the handler.
    QTRY_VERIFY_WITH_TIMEOUT((err += program.readAllStandardError()).contains("general/locale"), 30000);
    // The power watcher's record holds a line end of its own text.
    QTRY_VERIFY_WITH_TIMEOUT(
        (err += program.readAllStandardError(), !endedRecords(err).filter("RegisterMacPwrManagement()!!\n").isEmpty()),
        30000);
    QCOMPARE(program.state(), QProcess::Running);
    const QRegularExpression record(kLine.pattern(), QRegularExpression::DotMatchesEverythingOption);
    const QStringList records = endedRecords(err);
    QVERIFY(!records.isEmpty());
    for (const QString& r : records)
        QVERIFY2(record.match(r).hasMatch(), qPrintable(r));
    QVERIFY(!err.contains("Couldn't"));
    program.terminate();
    QVERIFY(program.waitForFinished(30000));
}

void TestStartup::findsAndPollsTheDriversControllers()
{
    // A simulator with two driver controllers, one of each family, in a process of its own.
    QTemporaryDir dir;
    QProcess sim;
    startDriverControllers(sim, dir, {"--slot-profile", "0:older", "--slot-profile", "1:enclosure"});
    if (QTest::currentTestFailed())
        return;
    QProcess program;
    program.setProcessEnvironment(driverEnvironment(dir));
    program.start(QStringLiteral(PALVIR_PATH), QStringList());
    QByteArray err;
    // Both go online by themselves, and their polling runs.
    QTRY_VERIFY_WITH_TIMEOUT((err += program.readAllStandardError()).count("Set controller state to online") >= 2, 60000);
    QTRY_VERIFY_WITH_TIMEOUT((err += program.readAllStandardError()).count("monitor thread elapsed time") >= 4, 60000);
    QCOMPARE(program.state(), QProcess::Running);
    // Every record in the handler's form.
    const QRegularExpression record(kLine.pattern(), QRegularExpression::DotMatchesEverythingOption);
    for (const QString& r : endedRecords(err))
        QVERIFY2(record.match(r).hasMatch(), qPrintable(r));
    // Each controller's first-seen settings backup, in the folder that stands in for the program's.
    QTRY_COMPARE_WITH_TIMEOUT(QDir(m_dir.filePath("app")).entryList({"*.bin"}, QDir::Files).size(), 2, 30000);
    program.terminate();
    QVERIFY(program.waitForFinished(30000));
    sim.terminate();
    QVERIFY(sim.waitForFinished(30000));
}

void TestStartup::sleepAndWake_data()
{
    // bus: the program's system bus is the test's own; logind: the stand-in is on it.
    QTest::addColumn<bool>("bus");
    QTest::addColumn<bool>("logind");
    QTest::newRow("logind on the system bus") << true << true;
    QTest::newRow("a system bus without logind") << true << false;
    QTest::newRow("no system bus") << false << false;
}

void TestStartup::sleepAndWake()
{
    QFETCH(bool, bus);
    QFETCH(bool, logind);
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        QSKIP("dbus-daemon (Debian package dbus-daemon) is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    PrivateBus privateBus;
    QString address = QStringLiteral("unix:path=") + dir.filePath("no-bus-here");
    if (bus) {
        address = privateBus.start(daemon, QDir(dir.path()));
        QVERIFY2(!address.isEmpty(), "dbus-daemon did not start");
    }
    const QString connectionName = QStringLiteral("logind stand-in %1").arg(QString::fromLatin1(QTest::currentDataTag()));
    // The stand-ins live as long as the process: the bus's own thread still reaches a registered
    // object as the connection closes, later than anything the test could wait for.
    static std::vector<LogindStandIn*>* const standIns = new std::vector<LogindStandIn*>;
    standIns->push_back(new LogindStandIn);
    LogindStandIn& standIn = *standIns->back();
    const auto leaveTheBus = qScopeGuard([&connectionName] { QDBusConnection::disconnectFromBus(connectionName); });
    {
        QDBusConnection standInBus = QDBusConnection::connectToBus(address, connectionName);
        QCOMPARE(standInBus.isConnected(), bus);
        if (logind) {
            QVERIFY(standInBus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing);
            QVERIFY(standInBus.registerObject(QStringLiteral("/org/freedesktop/login1"), &standIn,
                                              QDBusConnection::ExportAllSlots));
            QVERIFY(standInBus.registerService(QStringLiteral("org.freedesktop.login1")));
        }
    }
    QDBusConnection standInBus(connectionName);

    QProcess sim;
    startDriverControllers(sim, dir, {});
    if (QTest::currentTestFailed())
        return;
    QProcessEnvironment env = driverEnvironment(dir);
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(PALVIR_PATH), QStringList());
    QByteArray err;
    const auto count = [&](const char* text) {
        err += program.readAllStandardError();
        return err.count(text);
    };
    // Both controllers go online and are polled, whatever the bus.
    QTRY_VERIFY_WITH_TIMEOUT(count("Set controller state to online") >= 2, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(count("monitor thread elapsed time") >= 4, 60000);
    QCOMPARE(program.state(), QProcess::Running);
    if (!logind) {
        // The power watcher registers nothing.
        QTRY_COMPARE_WITH_TIMEOUT(count("Failed to IORegisterForSystemPower()!!"), 1, 30000);
        QCOMPARE(count("receive..."), 0);
    } else {
        // A delay inhibitor for sleep, held while the program runs.
        QTRY_COMPARE_WITH_TIMEOUT(standIn.taken(), 1, 30000);
        QCOMPARE(standIn.arguments(0), (QStringList{"sleep", "Palvir", "Stopping the polling of the RAID controllers",
                                                    "delay"}));
        QVERIFY(!standIn.released(0));
        QCOMPARE(count("Failed to IORegisterForSystemPower()"), 0);
        // Two rounds of sleep and wake.
        for (int round = 1; round <= 2; ++round) {
            QVERIFY(standIn.announce(standInBus, true));
            QTRY_COMPARE_WITH_TIMEOUT(count("receive...kIOMessageSystemWillSleep"), round, 30000);
            // Every controller paused, the inhibitor let go so that the system can sleep.
            QTRY_COMPARE_WITH_TIMEOUT(count("Set controller state to offline"), 2 * round, 30000);
            QTRY_VERIFY_WITH_TIMEOUT(standIn.released(round - 1), 30000);
            QCOMPARE(standIn.taken(), round);
            QVERIFY(standIn.announce(standInBus, false));
            QTRY_COMPARE_WITH_TIMEOUT(count("receive...kIOMessageSystemHasPoweredOn"), round, 30000);
            QCOMPARE(count("receive...kIOMessageSystemWillPowerOn"), round);
            // Every controller resumed, and a new inhibitor for the next sleep.
            QTRY_COMPARE_WITH_TIMEOUT(count("Set controller state to online"), 2 + 2 * round, 30000);
            QTRY_COMPARE_WITH_TIMEOUT(standIn.taken(), round + 1, 30000);
            QVERIFY(!standIn.released(round));
            // The polling goes on.
            const int polls = count("monitor thread elapsed time");
            QTRY_VERIFY_WITH_TIMEOUT(count("monitor thread elapsed time") >= polls + 2, 30000);
        }
        QCOMPARE(count("receive...unknown messagetype"), 0);
    }
    QCOMPARE(program.state(), QProcess::Running);
    program.terminate();
    QVERIFY(program.waitForFinished(30000));
    if (logind)
        QTRY_VERIFY_WITH_TIMEOUT(standIn.released(2), 30000);
    sim.terminate();
    QVERIFY(sim.waitForFinished(30000));
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
