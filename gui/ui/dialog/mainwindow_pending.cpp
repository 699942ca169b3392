// The main window's commands whose dialogs and pages are not built yet: each does nothing.
#include "ui/dialog/mainwindow.h"

#define MAINWINDOW_PENDING(name) \
    void MainWindow::name() {}

void MainWindow::ControllerTabChanged(int) {}
void MainWindow::on_diskTreeView_doubleClicked(const QModelIndex&) {}
void MainWindow::on_treeViewExpandAllCheckBox_toggled(bool) {}
void MainWindow::ExecuteSchedulerTask(QZynTask*) {}


MAINWINDOW_PENDING(DoActionQuickCreate)
MAINWINDOW_PENDING(DoActionAddRaidSet)
MAINWINDOW_PENDING(DoActionAddNestedRaid)
MAINWINDOW_PENDING(DoActionRemoveNestedRaid)
MAINWINDOW_PENDING(DoActionRemoveRaidSet)
MAINWINDOW_PENDING(DoActionActivateIncompleteRaidSet)
MAINWINDOW_PENDING(DoActionExpandRaidSet)
MAINWINDOW_PENDING(DoActionAddVolume)
MAINWINDOW_PENDING(DoActionRemoveVolume)
MAINWINDOW_PENDING(DoActionStopVolumeChecking)
MAINWINDOW_PENDING(DoActionAddHotSpareDisk)
MAINWINDOW_PENDING(DoActionRemoveHotSpareDisk)
MAINWINDOW_PENDING(DoActionAddPassThroughDisk)
MAINWINDOW_PENDING(DoActionMuteBeeper)
MAINWINDOW_PENDING(DoActionLaunchBrowser)
