#include "ui/dialog/dialogaddpassthroughdisk.h"

#include "ui_dialogaddpassthroughdisk.h"

#include "devices/controller.h"
#include "ui/model/selectionproxy.h"

#include <vector>

DialogAddPassThroughDisk::DialogAddPassThroughDisk(QZynController* controller, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogAddPassThroughDisk)
    , m_controller(controller)
{
    ui->setupUi(this);
    InitDialog();
    raiddialog::CloseWithController(this, m_controller.data());
}

DialogAddPassThroughDisk::~DialogAddPassThroughDisk()
{
    delete m_proxy;
    delete ui;
}

void DialogAddPassThroughDisk::InitDialog()
{
    setWindowTitle(tr("New Pass Through Disk"));
    m_list.clear();
    m_proxy = new QFreeDiskSortFilterProxyModel(&m_list, nullptr);
    raiddialog::ShowList(this, ui->freeDiskTreeView, raiddialog::DiskModelOf(m_controller.data()), &m_proxy, &m_list);
    connect(m_proxy, &QAbstractItemModel::dataChanged, this, &DialogAddPassThroughDisk::DataChanged);
}

void DialogAddPassThroughDisk::DataChanged(const QModelIndex&, const QModelIndex&, const QVector<int>&)
{
}

void DialogAddPassThroughDisk::on_selectAllCheckBox_clicked(bool checked)
{
    raiddialog::SetTopLevelChecks(m_proxy, checked);
}

void DialogAddPassThroughDisk::on_createPassThroughPushButton_clicked()
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
    if (!raiddialog::Confirm(this, title, tr("Are you sure you want to create pass through disk?")))
        return;
    // The polling thread lists a new pass-through disk only later: the addresses handed out in
    // this click count as used until then.
    std::vector<QZynController::ChIdLun> handedOut;
    for (int i = 0; i < list.count && i < _DEVICE_LIST::kMaxDrives; ++i) {
        if (!m_controller)
            return;
        _PASS_DISK_CAP cap = {};
        cap.size = sizeof cap;
        cap.drive = 0;
        cap.channel = kNoAddress;
        cap.id = kNoAddress;
        cap.lun = kNoAddress;
        cap.tagged = kTaggedQueuing;
        cap.cache = kCacheOn;
        cap.mode = kMode;
        m_controller->GetFreeChIdLun(&cap.channel, &cap.id, &cap.lun, handedOut);
        const u32 rc = m_controller->ZynCreatePassthroughDisk(list.drives[i].enclosure, list.drives[i].slot, &cap);
        if (rc == ZYN_OK)
            handedOut.push_back({cap.channel, cap.id, cap.lun});
        raiddialog::Report(this, title, rc, tr("Failed to ZynCreatePassthroughDisk(..), Error = %0."),
                           tr("Pass through disk(s) have been created successfully."));
    }
}

void DialogAddPassThroughDisk::on_exitButton_clicked()
{
    close();
}
