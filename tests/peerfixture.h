// Real peers from Debian's packages, started by a test on a loopback address: an SMTP server
// (python3-aiosmtpd, through tests/smtp_peer.py) that stores each mail it takes, and snmptrapd
// printing each trap it takes on one line. Each start() returns an empty text or why the peer
// could not run (the test then skips).
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>

namespace peertest {

constexpr int kPeerWaitMs = 30000;

// A port that was free on `address` a moment ago.
inline quint16 freeUdpPort(const char* address)
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QString::fromLatin1(address)), 0);
    return probe.localPort();
}

inline void endProcess(QProcess& p)
{
    if (p.state() == QProcess::NotRunning)
        return;
    p.closeWriteChannel();
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}

class SmtpPeer {
public:
    ~SmtpPeer() { endProcess(m_process); }

    // Plain SMTP without AUTH on plainPort(); `script` is tests/smtp_peer.py.
    QString start(const char* address, const QString& script)
    {
        const QString python = QStringLiteral("/usr/bin/python3");
        const QString openssl = QStringLiteral("/usr/bin/openssl");
        if (!QFile::exists(python) || !QFile::exists(openssl))
            return QStringLiteral("python3 or openssl is not installed");
        QProcess cert;
        cert.setWorkingDirectory(m_dir.path());
        cert.setProcessChannelMode(QProcess::MergedChannels);
        cert.start(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out",
                             "server.pem", "-days", "2", "-subj", "/CN=localhost"});
        if (!cert.waitForFinished(kPeerWaitMs) || cert.exitCode() != 0)
            return QStringLiteral("openssl made no certificate");
        QDir(m_dir.path()).mkdir(QStringLiteral("mail"));
        m_process.start(python, {script, QString::fromLatin1(address), m_dir.filePath("mail"),
                                 m_dir.filePath("server.pem"), m_dir.filePath("server.key"), "user", "password"});
        QElapsedTimer waited;
        waited.start();
        while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning && waited.elapsed() < kPeerWaitMs)
            m_process.waitForReadyRead(200);
        const QStringList ready = QString::fromLatin1(m_process.readLine()).split(' ', Qt::SkipEmptyParts);
        if (ready.size() != 3 || ready.at(0) != QLatin1String("ready"))
            return "the aiosmtpd server did not start (Debian package python3-aiosmtpd): "
                   + QString::fromLocal8Bit(m_process.readAllStandardError()).left(300);
        m_plainPort = quint16(ready.at(1).toUInt());
        return QString();
    }
    quint16 plainPort() const { return m_plainPort; }

    // The mails stored so far, as the server's email package read them.
    QList<QJsonObject> mails() const
    {
        QList<QJsonObject> out;
        for (int n = 1;; ++n) {
            QFile f(m_dir.filePath(QStringLiteral("mail/%1.json").arg(n)));
            if (!f.open(QIODevice::ReadOnly))
                return out;
            out << QJsonDocument::fromJson(f.readAll()).object();
        }
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_plainPort = 0;
};

class TrapDaemon {
public:
    static constexpr const char* kFormat = "community=%P|enterprise=%N|agent=%A|generic=%w|specific=%q|vars=%v\n";

    ~TrapDaemon() { endProcess(m_process); }

    // Takes traps of the given communities on address:port() and prints them in kFormat.
    QString start(const char* address, const QStringList& communities)
    {
        const QString program = qEnvironmentVariable("PALVIR_SNMPTRAPD", "/usr/sbin/snmptrapd");
        if (!QFile::exists(program))
            return QStringLiteral("snmptrapd is not installed (Debian package snmptrapd)");
        QFile conf(m_dir.filePath("trapd.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return QStringLiteral("no configuration file");
        for (const QString& c : communities)
            conf.write("authCommunity log " + c.toUtf8() + "\n");
        conf.close();
        m_address = QString::fromLatin1(address);
        m_port = freeUdpPort(address);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("SNMP_PERSISTENT_DIR", m_dir.path());
        env.insert("MIBS", "");
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, {"-f", "-n", "-On", "-m", "", "-C", "-c", conf.fileName(), "-Lo", "-F",
                                  QString::fromLatin1(kFormat), QStringLiteral("udp:%1:%2").arg(m_address).arg(m_port)});
        if (!m_process.waitForStarted(kPeerWaitMs))
            return QStringLiteral("snmptrapd could not be started");
        return QString();
    }
    quint16 port() const { return m_port; }

    // Waits until the output holds `needle` `times` times; everything printed so far is in output().
    bool waitFor(const QString& needle, int times = 1, int ms = kPeerWaitMs)
    {
        QElapsedTimer t;
        t.start();
        while (m_output.count(needle) < times && t.elapsed() < ms && m_process.state() == QProcess::Running) {
            m_process.waitForReadyRead(100);
            m_output += QString::fromUtf8(m_process.readAll());
        }
        return m_output.count(needle) >= times;
    }
    const QString& output() const { return m_output; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_address;
    quint16 m_port = 0;
    QString m_output;
};

} // namespace peertest
