// The main window's controller settings files (save and restore) and data collection. Each
// command holds the controller by a guarded pointer: a prompt or box runs a nested event loop
// in which the controller may be given up, so it is looked at again after every one.
#include "ui/dialog/mainwindow.h"

#include "devices/controller.h"
#include "devices/sysinfo.h"
#include "helper/logfile.h"
#include "helper/romcfgfile.h"

#include <QDebug>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace {

QZynController* controllerOf(QZynDevice* device)
{
    if (device == nullptr || device->type != QZynDevice::Controller)
        return nullptr;
    return static_cast<QZynController*>(device);
}

} // namespace

QString MainWindow::AskSaveFileName(const QString& caption)
{
    return QFileDialog::getSaveFileName(this, caption, QString(), QString());
}

QString MainWindow::AskOpenFileName(const QString& caption)
{
    return QFileDialog::getOpenFileName(this, caption, QString(), QString());
}

void MainWindow::DoActionSaveBin()
{
    QPointer<QZynController> controller = controllerOf(GetCurrentControllerTreeItem());
    if (controller.isNull() || !CheckPassword(controller) || controller.isNull())
        return;
    const QString model = controller->GetSysInfo()->GetModelName();
    const QString name = AskSaveFileName(tr("Save Setting File - %0").arg(model));
    qDebug().noquote() << "Save the setting file to " + name;
    if (name.isEmpty() || controller.isNull())
        return;
    if (Exe_Sys_SaveRomCfg_CFG_Cmd(controller, name) != 0)
        QMessageBox::critical(this, model, tr("Failed to save the setting to file %0 ").arg(name), QMessageBox::Ok);
    else
        QMessageBox::information(this, model, tr("Setting has been saved to file %0 ").arg(name), QMessageBox::Ok);
}

void MainWindow::DoActionRestoreBin()
{
    QPointer<QZynController> controller = controllerOf(GetCurrentControllerTreeItem());
    if (controller.isNull() || !CheckPassword(controller) || controller.isNull())
        return;
    const QString model = controller->GetSysInfo()->GetModelName();
    const QString name = AskOpenFileName(tr("Open Setting File - %0").arg(model));
    qDebug().noquote() << "Open the setting file from " + name;
    if (name.isEmpty() || controller.isNull())
        return;
    if (Exe_Sys_RestoreRomCfg_CFG_Cmd(controller, name) != 0)
        QMessageBox::critical(this, model, tr("Failed to restore settings"), QMessageBox::Ok);
    else
        QMessageBox::information(this, model, tr("Settings have been restored, please restart controller to take effect"),
                                 QMessageBox::Ok);
}

void MainWindow::DoActionCollectData()
{
    QPointer<QZynController> controller = controllerOf(GetCurrentControllerTreeItem());
    if (controller.isNull() || !CheckPassword(controller) || controller.isNull())
        return;
    const QString model = controller->GetSysInfo()->GetModelName();
    QLogFile report(controller, nullptr);
    const int rc = report.SaveRaidCfgIntoLogFile();
    const QString name = report.GetFileName();
    if (rc != 0)
        QMessageBox::critical(this, model, tr("Failed to collect data"), QMessageBox::Ok);
    else
        QMessageBox::information(this, model, tr("Data has been saved to file %0 ").arg(name), QMessageBox::Ok);
}
