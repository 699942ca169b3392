// The main window's commands whose dialogs and pages are not built yet: each does nothing.
#include "ui/dialog/mainwindow.h"

#define MAINWINDOW_PENDING(name) \
    void MainWindow::name() {}

MAINWINDOW_PENDING(on_actionPreferences_triggered)
MAINWINDOW_PENDING(DoActionSetup)
MAINWINDOW_PENDING(DoActionScheduler)

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
