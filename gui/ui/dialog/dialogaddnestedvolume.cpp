#include "ui/dialog/dialogaddnestedvolume.h"

#include "ui_dialogaddnestedvolume.h"

#include "devices/controller.h"
#include "devices/raidset.h"
#include "ui/dialog/dialogaddvolume.h"
#include "ui/dialog/raiddialogs.h"
#include "ui/model/selectionproxy.h"

#include <QMessageBox>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

DialogAddNestedVolume::DialogAddNestedVolume(QZynController* controller, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogAddNestedVolume)
    , m_controller(controller)
{
    ui->setupUi(this);
    // The window that opens the dialog takes its log lines, when it has the slot for them.
    if (parent != nullptr && parent->metaObject()->indexOfSlot("LogMessage(QZynLog*)") >= 0)
        connect(this, SIGNAL(LogMessage(QZynLog*)), parent, SLOT(LogMessage(QZynLog*)));
    if (m_controller) {
        connect(m_controller.data(), &QZynController::DeviceChanged, this, &DialogAddNestedVolume::DeviceItemChanged);
        raiddialog::CloseWithController(this, m_controller.data());
    }
    InitDialog();
}

DialogAddNestedVolume::~DialogAddNestedVolume()
{
    delete m_proxy;
    delete ui;
}

void DialogAddNestedVolume::InitDialog()
{
    setWindowTitle(tr("New Nested(Hybrid) RAID"));
    m_list.clear();
    m_proxy = new QFreeRaidSetSortFilterProxyModel(&m_list, nullptr);
    raiddialog::ShowList(this, ui->freeRaidSetTreeView, raiddialog::RaidSetModelOf(m_controller.data()), &m_proxy,
                         &m_list);
    connect(m_proxy, &QAbstractItemModel::dataChanged, this, &DialogAddNestedVolume::DataChanged);
    for (QRadioButton* b : {ui->raid0RadioButton, ui->raid1RadioButton, ui->raid3RadioButton, ui->raid5RadioButton,
                            ui->raid6RadioButton})
        connect(b, &QRadioButton::clicked, this, &DialogAddNestedVolume::UpdateVolumeInformation);
    ui->raid5RadioButton->setChecked(true);
    ui->raid6RadioButton->setEnabled(raiddialog::OffersRaid6(m_controller.data()));
    ShowNestedRAIDInformation();
}

QString DialogAddNestedVolume::maximumText(double gb) const
{
    return tr("MAX: ") + QString::number(gb, 'f', 1) + tr(" GB");
}

void DialogAddNestedVolume::ShowNestedRAIDInformation()
{
    m_count = 0;
    m_reference = nullptr;
    std::memset(m_raidSets, 0, sizeof m_raidSets);
    for (const auto& pair : m_list) {
        QZynRaidSet* raidSet = pair.first;
        if (!pair.second || raidSet == nullptr)
            continue;
        // The least free space decides; among equals the later one in the list.
        if (!m_reference || raidSet->GetFreeCapacity() <= m_reference->GetFreeCapacity())
            m_reference = raidSet;
        if (m_count < kMaxRaidSets)
            m_raidSets[m_count] = u8(raidSet->GetIndex());
        ++m_count;
    }
    UpdateVolumeInformation();
}

u8 DialogAddNestedVolume::checkedLevel() const
{
    return raiddialog::CheckedLevel(ui);
}

void DialogAddNestedVolume::UpdateVolumeInformation()
{
    QLabel* const labels[] = {ui->raid0Label, ui->raid1Label, ui->raid3Label, ui->raid5Label, ui->raid6Label};
    for (QLabel* l : labels)
        l->setText(tr("MAX: ") + QStringLiteral("0 GB"));
    ui->capacityDoubleSpinBox->setMaximum(0.0);
    ui->capacityDoubleSpinBox->setValue(0.0);
    if (!m_controller || !m_reference || m_count < kMinRaidSets)
        return;
    ui->nameLineEdit->setText(m_controller->GetFreeVolumeSetName());
    const u8 codes[] = {sGUI_VOLUMESET::kLevelRaid0, sGUI_VOLUMESET::kLevelRaid10, sGUI_VOLUMESET::kLevelRaid3,
                        sGUI_VOLUMESET::kLevelRaid5, sGUI_VOLUMESET::kLevelRaid6};
    const bool raid6 = raiddialog::OffersRaid6(m_controller.data());
    for (size_t i = 0; i < sizeof codes; ++i)
        if (codes[i] != sGUI_VOLUMESET::kLevelRaid6 || raid6)
            labels[i]->setText(maximumText(m_reference->GetFreeCapacityInGBByVolumeType(codes[i]) * m_count));
    const double maximum = std::max(0.0, m_reference->GetFreeCapacityInGBByVolumeType(checkedLevel()) * m_count);
    ui->capacityDoubleSpinBox->setMaximum(maximum);
    ui->capacityDoubleSpinBox->setValue(maximum);
}

void DialogAddNestedVolume::on_createButton_clicked()
{
    if (!m_controller || !m_reference || m_count < kMinRaidSets)
        return;
    std::vector<int> volumes;
    m_controller->GetVolumeSetCount(volumes);
    if (int(volumes.size()) >= QZynController::kVolumeSets) {
        QMessageBox::warning(this, raiddialog::Shown(m_reference->GetName()), tr("Exceed numbers of volumes allowed."),
                             QMessageBox::Ok);
        return;
    }
    _VOLUMESET_CAP cap =
        DialogAddVolume::NewVolumeCap(m_controller, ui->capacityDoubleSpinBox->value(), checkedLevel());
    cap.raidSet = u8(m_reference->GetIndex());
    DialogAddVolume::SetVolumeName(&cap, ui->nameLineEdit->text());
    // The selection as it stands now: the boxes let polls re-filter the list, which unticks rows.
    u8 numbers[kMaxRaidSets];
    std::memcpy(numbers, m_raidSets, sizeof numbers);
    // More raid sets than the command carries go as their true count, which the library refuses.
    const u8 count = u8(std::min<int>(m_count, std::numeric_limits<u8>::max()));
    const QString title = raiddialog::ModelTitle(m_controller.data());
    if (!raiddialog::Confirm(this, title, tr("Are you sure you want to create this volume ?")) || !m_controller)
        return;
    const u32 rc = m_controller->ZynCreateVolSetR5060(count, numbers, &cap, DialogAddVolume::kNoGreaterThan2TB);
    raiddialog::Report(this, title, rc, tr("Failed to ZynCreateVolSet(..), Error = %0."),
                       tr("Volume has been created successfully."));
}

void DialogAddNestedVolume::on_exitButton_clicked()
{
    close();
}

void DialogAddNestedVolume::DataChanged(const QModelIndex&, const QModelIndex&, const QVector<int>&)
{
    ShowNestedRAIDInformation();
}

void DialogAddNestedVolume::DeviceItemChanged(QZynDevice* device, int)
{
    if (device != nullptr && device->type == QZynDevice::RaidSet)
        UpdateVolumeInformation();
}
