#include "ui/dialog/dialogaddhotsparedisk.h"

#include "ui_dialogaddhotsparedisk.h"

#include "devices/controller.h"
#include "devices/raidset.h"
#include "ui/model/selectionproxy.h"

DialogAddHotSpareDisk::DialogAddHotSpareDisk(QZynController* controller, QZynRaidSet* raidSet, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogAddHotSpareDisk)
    , m_controller(controller)
    , m_raidSet(raidSet)
    , m_dedicated(raidSet != nullptr)
{
    ui->setupUi(this);
    InitDialog();
    raiddialog::CloseWithController(this, m_controller.data());
}

DialogAddHotSpareDisk::~DialogAddHotSpareDisk()
{
    delete m_proxy;
    delete ui;
}

void DialogAddHotSpareDisk::InitDialog()
{
    setWindowTitle(tr("New Hot Spare Disk"));
    m_list.clear();
    m_proxy = new QFreeDiskSortFilterProxyModel(&m_list, nullptr);
    raiddialog::ShowList(this, ui->freeDiskTreeView, raiddialog::DiskModelOf(m_controller.data()), &m_proxy, &m_list);
    connect(m_proxy, &QAbstractItemModel::dataChanged, this, &DialogAddHotSpareDisk::DataChanged);
}

void DialogAddHotSpareDisk::DataChanged(const QModelIndex&, const QModelIndex&, const QVector<int>&)
{
}

void DialogAddHotSpareDisk::on_selectAllCheckBox_clicked(bool checked)
{
    raiddialog::SetTopLevelChecks(m_proxy, checked);
}

void DialogAddHotSpareDisk::on_createHotSparePushButton_clicked()
{
    // A dedicated spare's raid set went with its controller.
    if (!m_controller || (m_dedicated && !m_raidSet))
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
    const unsigned char type = m_dedicated ? DedicatedSpare : GlobalSpare;
    const unsigned short raid = m_dedicated ? static_cast<unsigned short>(m_raidSet->GetIndex()) : 0;
    if (!raiddialog::Confirm(this, title, tr("Are you sure you want to create hot spare disk?")) || !m_controller)
        return;
    const u32 rc = m_controller->ZynCreateHotSpare(&list, type, raid);
    raiddialog::Report(this, title, rc, tr("Failed to ZynCreateHotSpare(..), Error = %0."),
                       tr("Hotspare disk(s) have been created successfully."));
}

void DialogAddHotSpareDisk::on_exitButton_clicked()
{
    close();
}
