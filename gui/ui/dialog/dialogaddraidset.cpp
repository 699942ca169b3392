#include "ui/dialog/dialogaddraidset.h"

#include "ui_dialogaddraidset.h"

#include "devices/controller.h"
#include "ui/model/selectionproxy.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kBytesPerBlock = 512.0;
constexpr double kBytesPerGB = 1000.0 * 1000.0 * 1000.0;
} // namespace

DialogAddRaidSet::DialogAddRaidSet(QZynController* controller, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogAddRaidSet)
    , m_controller(controller)
{
    ui->setupUi(this);
    InitDialog();
    if (m_controller) {
        connect(m_controller.data(), &QZynController::DeviceChanged, this, &DialogAddRaidSet::DeviceItemChanged);
        raiddialog::CloseWithController(this, m_controller.data());
    }
}

DialogAddRaidSet::~DialogAddRaidSet()
{
    delete m_proxy;
    delete ui;
}

void DialogAddRaidSet::InitDialog()
{
    setWindowTitle(tr("New RaidSet"));
    m_list.clear();
    m_proxy = new QFreeDiskSortFilterProxyModel(&m_list, nullptr);
    raiddialog::ShowList(this, ui->freeDiskTreeView, raiddialog::DiskModelOf(m_controller.data()), &m_proxy, &m_list);
    connect(m_proxy, &QAbstractItemModel::dataChanged, this, &DialogAddRaidSet::DataChanged);
    ShowRaidSetInformation();
}

void DialogAddRaidSet::ShowRaidSetInformation()
{
    int n = 0;
    double m = kNoMemberGB;
    if (m_controller)
        for (const auto& pair : m_list)
            if (pair.second && pair.first != nullptr) {
                ++n;
                m = std::min(m, double(pair.first->GetRecord().capacity()) * kBytesPerBlock / kBytesPerGB);
            }
    if (m == kNoMemberGB)
        m = 0;
    m -= std::fmod(m, kSizeStepGB);
    ui->labelMemberDisks->setText(QString::number(n));
    ui->labelMinDiskSize->setText(QString::number(m, 'f', 1));
    ui->labelTotalSize->setText(QString::number(n * m, 'f', 1));
}

void DialogAddRaidSet::DataChanged(const QModelIndex&, const QModelIndex&, const QVector<int>&)
{
    ShowRaidSetInformation();
}

void DialogAddRaidSet::DeviceItemChanged(QZynDevice* device, int)
{
    if (device != nullptr && (device->type == QZynDevice::Controller || device->type == QZynDevice::Disk))
        ShowRaidSetInformation();
}

void DialogAddRaidSet::on_selectAllCheckBox_clicked(bool checked)
{
    raiddialog::SetTopLevelChecks(m_proxy, checked);
}

void DialogAddRaidSet::on_createRaidSetButton_clicked()
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
    if (raiddialog::Confirm(this, title, tr("Are you sure you want to create this raidset ?")) && m_controller) {
        const u32 rc = m_controller->ZynCreateRaidSet(&list, nullptr, 0);
        raiddialog::Report(this, title, rc, tr("Failed to ZynCreateRaidSet(..), Error = %0."),
                           tr("RaidSet has been created successfully."));
    }
    ShowRaidSetInformation();
}

void DialogAddRaidSet::on_exitButton_clicked()
{
    close();
}
