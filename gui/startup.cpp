#include "startup.h"

#include "devices/images.h"
#include "helper/logfile.h"
#include "security/authorization.h"
#include "zynapplication.h"

#include <QObject>
#include <QPixmap>
#include <QSplashScreen>
#include <QTime>

#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

constexpr uid_t kSuperUser = 0;
constexpr int kSplashWidth = 640;
constexpr int kSplashHeight = 360;
constexpr const char* kSplashImage = ":/images/logo/startup-logo.jpg";

// Labels by message type, in the order of its values.
constexpr const char* kLabels[] = {"Debug:", "Warning:", "Critical:", "Fatal:", "System:"};
constexpr int kLabelCount = int(sizeof kLabels / sizeof kLabels[0]);
// What a missing file or function is written as (as the C library writes a null text).
constexpr const char* kNone = "(null)";

QByteArray orNone(const char* text)
{
    return QByteArray(text ? text : kNone);
}

} // namespace

void UseAppFolderOverride()
{
    const QString folder = qEnvironmentVariable(kAppFolderVariable);
    if (folder.isEmpty())
        return;
    ZynApplication::SetApplicationFolder(folder);
    QLogFile::SetFolder(QLogFile::FolderBeside(folder));
}

bool RunsWithoutRelaunch()
{
    return ::geteuid() == kSuperUser || qgetenv(kNoRelaunchVariable) == "1";
}

int RelaunchWithPrivileges()
{
    using namespace security;
    AuthorizationItem right{kAuthorizationRightExecute, 0, nullptr, 0};
    AuthorizationRights rights{1, &right};
    AuthorizationRef authorization = nullptr;
    OSStatus status = AuthorizationCreate(&rights, nullptr,
                                          kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights,
                                          &authorization);
    if (status != errAuthorizationSuccess) {
        qDebug("Couldn't Authenticate: %d\n", int(status));
        return kExitFailure;
    }
    std::string path;
    status = ExecutablePath(&path, nullptr) ? errAuthorizationSuccess : errAuthorizationToolExecuteFailure;
    if (status == errAuthorizationSuccess) {
        // The arguments of this start are not passed on.
        status = AuthorizationExecuteWithPrivileges(authorization, path.c_str(), kAuthorizationFlagDefaults,
                                                    nullptr, nullptr);
    }
    AuthorizationFree(authorization, kAuthorizationFlagDefaults);
    // The credentials are asked for as the relaunch runs, so a refusal shows only here.
    if (status == errAuthorizationCanceled || status == errAuthorizationDenied) {
        qDebug("Couldn't Authenticate: %d\n", int(status));
        return kExitFailure;
    }
    if (status != errAuthorizationSuccess) {
        qDebug("Couldn't execute self: %d\n", int(status));
        return kExitFailure;
    }
    return kExitSuccess;
}

QByteArray FormatMessageLine(QtMsgType type, const QMessageLogContext& context, const QString& message,
                             const QByteArray& time)
{
    const int index = int(type);
    const char* label = index >= 0 && index < kLabelCount ? kLabels[index] : kLabels[kLabelCount - 1];
    // Composed piece by piece: the message is never read as a format.
    QByteArray line;
    line += label;
    line += ' ';
    line += time;
    line += ' ';
    line += message.toLocal8Bit();
    line += " (";
    line += orNone(context.file);
    line += ':';
    line += QByteArray::number(uint(context.line));
    line += ", ";
    line += orNone(context.function);
    line += ")\n";
    return line;
}

void myMessageOutput(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QByteArray line
        = FormatMessageLine(type, context, message, QTime::currentTime().toString(Qt::TextDate).toLocal8Bit());
    // One write for the whole line, so lines from several threads do not mix.
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

QSplashScreen* ShowStartupSplash()
{
    PalvirInitImages();
    const QPixmap pixmap(QString::fromLatin1(kSplashImage));
    auto* splash = new QSplashScreen(pixmap);
    splash->setFixedHeight(kSplashHeight);
    splash->setFixedWidth(kSplashWidth);
    splash->show();
    splash->showMessage(QObject::tr("Loading modules..."), Qt::AlignRight | Qt::AlignBottom, Qt::white);
    return splash;
}
