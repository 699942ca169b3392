// The main window's preference commands: the settings and the scheduled tasks, each in a modal
// dialog made for the occasion.
#include "ui/dialog/mainwindow.h"

#include "ui/dialog/dialogscheduler.h"
#include "ui/dialog/dialogsetup.h"

void MainWindow::DoActionSetup()
{
    DialogSetup dialog(this);
    dialog.exec();
}

void MainWindow::on_actionPreferences_triggered()
{
    DoActionSetup();
}

void MainWindow::DoActionScheduler()
{
    DialogScheduler dialog(this);
    dialog.exec();
}
