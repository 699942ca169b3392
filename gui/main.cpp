// palvir: runs with administrator rights (relaunching itself through the authorisation service
// when started by an ordinary user), logs through its own message handler, and shows the main
// window after a splash screen.
#include "startup.h"
#include "ui/dialog/mainwindow.h"
#include "zynapplication.h"

#include <QLocale>
#include <QSplashScreen>

#include <memory>

int main(int argc, char** argv)
{
    QCoreApplication::setSetuidAllowed(true);
    if (!RunsWithoutRelaunch())
        return RelaunchWithPrivileges();

    qInstallMessageHandler(myMessageOutput);
    ZynApplication app(argc, argv);
    UseAppFolderOverride();
    app.ReadSettings();
    // Without a matching translation the built-in texts stay.
    QLocale locale = app.GetSettings()->locale;
    app.LoadLanguage(locale);

    std::unique_ptr<QSplashScreen> splash(ShowStartupSplash());
    QCoreApplication::processEvents();

    MainWindow window;
    window.show();
    splash->finish(&window);
    splash.reset();
    return app.exec();
}
