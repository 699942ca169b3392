// The main window's commands whose dialogs and pages are not built yet: each does nothing.
#include "ui/dialog/mainwindow.h"

#define MAINWINDOW_PENDING(name) \
    void MainWindow::name() {}

MAINWINDOW_PENDING(on_actionPreferences_triggered)
MAINWINDOW_PENDING(DoActionSetup)
MAINWINDOW_PENDING(DoActionScheduler)
