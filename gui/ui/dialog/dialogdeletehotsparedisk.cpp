#include "ui/dialog/dialogdeletehotsparedisk.h"

#include "ui_dialogdeletehotsparedisk.h"

#include "devices/controller.h"
#include "ui/model/selectionproxy.h"

DialogDeleteHotSpareDisk::DialogDeleteHotSpareDisk(QZynController* controller, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogDeleteHotSpareDisk)
    , m_controller(controller)
{
    ui->setupUi(this);
    InitDialog();
    raiddialog::CloseWithController(this, m_controller.data());
}

DialogDeleteHotSpareDisk::~DialogDeleteHotSpareDisk()
{
    delete m_proxy;
    delete ui;
}

void DialogDeleteHotSpareDisk::InitDialog()
{
    setWindowTitle(tr("Delete Hot Spare Disk"));
    m_list.clear();
    m_proxy = new QHotSpareDiskSortFilterProxyModel(&m_list, nullptr);
    raiddialog::ShowList(this, ui->hotspareDiskTreeView, raiddialog::DiskModelOf(m_controller.data()), &m_proxy, &m_list);
}

void DialogDeleteHotSpareDisk::on_selectAllCheckBox_clicked(bool checked)
{
    raiddialog::SetTopLevelChecks(m_proxy, checked);
}

void DialogDeleteHotSpareDisk::on_deleteHotSparePushButton_clicked()
{
    if (!m_controller)
        return;
    _DEVICE_LIST list;
    const QString title = raiddialog::ModelTitle(m_controller.data());
    switch (raiddialog::CollectDisks(m_list, &list)) {
    case raiddialog::Collected::Nothing:
        return;
    case raiddialog::Collected::TooMany:
        raiddialog::WarnTooMany(this, title);
        return;
    case raiddialog::Collected::Listed:
        break;
    }
    if (!raiddialog::Confirm(this, title, tr("Are you sure you want to delete hot spare disk?")) || !m_controller)
        return;
    const u32 rc = m_controller->ZynDeleteHotSpare(&list);
    raiddialog::Report(this, title, rc, tr("Failed to ZynDeleteHotSpare(..), Error = %0."),
                       tr("Hotspare disk(s) have been deleted successfully."));
}

void DialogDeleteHotSpareDisk::on_exitButton_clicked()
{
    close();
}
