// The main window's commands whose dialogs and pages are not built yet: each does nothing.
#include "ui/dialog/mainwindow.h"

#define MAINWINDOW_PENDING(name) \
    void MainWindow::name() {}

void MainWindow::ControllerTabChanged(int) {}
void MainWindow::on_diskTreeView_doubleClicked(const QModelIndex&) {}
void MainWindow::on_treeViewExpandAllCheckBox_toggled(bool) {}
void MainWindow::ExecuteSchedulerTask(QZynTask*) {}

MAINWINDOW_PENDING(on_actionPreferences_triggered)
MAINWINDOW_PENDING(DoActionSetup)
MAINWINDOW_PENDING(DoActionScheduler)

MAINWINDOW_PENDING(DoActionLaunchBrowser)
