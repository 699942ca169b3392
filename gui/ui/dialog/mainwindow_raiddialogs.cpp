// The dialogs of the quick-create, nested-volume and expand commands, each run modally with the
// main window as parent and destroyed when it returns; the commands use no dialog's result.
// The commands have checked the password and their preconditions before they come here.
#include "ui/dialog/dialogaddnestedvolume.h"
#include "ui/dialog/dialogdeletenestedvolumes.h"
#include "ui/dialog/dialogexpandraidsetwizard.h"
#include "ui/dialog/dialogquickcreate.h"
#include "ui/dialog/mainwindow.h"

void MainWindow::RunQuickCreateDialog(QZynController* controller)
{
    DialogQuickCreate dialog(controller, this);
    dialog.exec();
}

void MainWindow::RunAddNestedVolumeDialog(QZynController* controller)
{
    DialogAddNestedVolume dialog(controller, this);
    dialog.exec();
}

void MainWindow::RunDeleteNestedVolumesDialog(QZynController* controller)
{
    DialogDeleteNestedVolumes dialog(controller, this);
    dialog.exec();
}

void MainWindow::RunExpandRaidSetDialog(QZynRaidSet* raidSet)
{
    DialogExpandRaidsetWizard dialog(raidSet, this);
    dialog.exec();
}
