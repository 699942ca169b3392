// The main window's preference commands: the setup action, the Preferences action and the
// scheduler action each open their dialog modally over the window.
#include "modalresponder.h"
#include "ui/dialog/mainwindow.h"
#include "windowfixture.h"

#include <QAction>
#include <QDialog>
#include <QtTest>

namespace {

const char* const kDiscovery = "127.0.1.41";

} // namespace

class TestPrefsWindow : public QObject {
    Q_OBJECT
private slots:
    void preferenceActions();
};

void TestPrefsWindow::preferenceActions()
{
    MainWindow window;
    QStringList opened;
    viewtest::ModalResponder responder;
    for (int i = 0; i < 3; ++i)
        responder.handle([&window, &opened](QWidget* modal) {
            opened << QStringLiteral("%1|%2|%3")
                          .arg(QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle())
                          .arg(modal->parentWidget() == &window);
            static_cast<QDialog*>(modal)->reject();
        });
    for (const char* name : {"actionConfigure", "actionPreferences", "actionScheduler"}) {
        auto* action = window.findChild<QAction*>(QLatin1String(name));
        QVERIFY2(action != nullptr, name);
        action->trigger();
    }
    QCOMPARE(opened, (QStringList{"DialogSetup|Settings|1", "DialogSetup|Settings|1", "DialogScheduler|Scheduler|1"}));
    // Each dialog was made for the occasion and is gone.
    QCOMPARE(window.findChildren<QDialog*>().size(), 0);
}

int main(int argc, char** argv)
{
    return viewtest::runWindowTest<TestPrefsWindow>(argc, argv, kDiscovery);
}

#include "test_prefs_window.moc"
