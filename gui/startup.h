// The program's start: administrator rights (or the relaunch that gets them), the log-message
// handler and the splash screen shown while the main window is built.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QSplashScreen;

// The environment variable that lets the program go on without administrator rights ("1"), for
// developers who run it as an ordinary user; the driver's user client then needs folders this
// user may write.
constexpr const char* kNoRelaunchVariable = "PALVIR_NO_RELAUNCH";
// The environment variable naming a folder that stands in for the program's own folder (for
// tests, which must not write beside the build): the first-seen settings backups go there, the
// configuration reports to "CtrlLog" beside it.
constexpr const char* kAppFolderVariable = "PALVIR_APP_DIR";

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

// True when the program runs on as it is: as the super-user, or with the override above.
bool RunsWithoutRelaunch();

// Takes the folder kAppFolderVariable names, when it is set, for the program's own folder.
void UseAppFolderOverride();

// The relaunch through the authorisation service: asks for administrator rights, runs this
// program again with them and no arguments, and returns the exit code this process ends with
// (logging "Couldn't Authenticate: ..." or "Couldn't execute self: ..." on failure).
int RelaunchWithPrivileges();

// The handler's line for one message, with `time` as its time stamp: label, time, message,
// then the source file, line and function in parentheses, ending in a newline.
QByteArray FormatMessageLine(QtMsgType type, const QMessageLogContext& context, const QString& message,
                             const QByteArray& time);

// The program's message handler: writes each message as one whole line to standard error and
// flushes it. It returns also for fatal messages.
void myMessageOutput(QtMsgType type, const QMessageLogContext& context, const QString& message);

// The splash screen, shown with its message; the caller owns it.
QSplashScreen* ShowStartupSplash();
