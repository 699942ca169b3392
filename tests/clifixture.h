// The command line without its window: the zyncli harness run over a list of command lines
// against one controller, as the console's Enter would run them.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace clitest {

struct HarnessRun {
    QByteArray out;   // exactly what the console would show
    QByteArray err;   // the harness's own lines (the dialogs it answered) and debug lines
    QString error;    // why the harness did not run to its end; empty when it did
};

// `password` answers the controller's password dialog (null: the dialog is cancelled); `extra`
// are further harness options; `folder` is its working folder (empty: the test's).
inline HarnessRun runZyncli(const char* address, const QByteArray& input, const char* password,
                            const QStringList& extra = QStringList(), const QString& folder = QString())
{
    HarnessRun run;
    QProcess process;
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    QStringList args{QStringLiteral("--udp"), QString::fromLatin1(address)};
    if (password != nullptr)
        args << QStringLiteral("--password") << QString::fromLatin1(password);
    process.start(QStringLiteral(ZYNCLI_PATH), args + extra);
    if (!process.waitForStarted(30000)) {
        run.error = QStringLiteral("zyncli did not start");
        return run;
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        run.error = QStringLiteral("zyncli: exit %1: %2").arg(process.exitCode())
                        .arg(QString::fromLocal8Bit(process.readAllStandardError()));
        return run;
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// Bytes (a byte container: data() and size()) as hexadecimal text.
template <typename B>
QByteArray hex(const B& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), int(b.size())).toHex();
}

// A rule of `n` "=" and its line end, as the information pages print it.
inline QByteArray rule(int n)
{
    return QByteArray(n, '=') + "\n";
}

} // namespace clitest
