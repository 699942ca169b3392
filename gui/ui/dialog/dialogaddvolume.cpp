#include "ui/dialog/dialogaddvolume.h"

#include "ui_dialogaddvolume.h"

#include "devices/controller.h"
#include "devices/raidset.h"
#include "ui/dialog/raiddialogs.h"

#include <QMessageBox>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
constexpr double kBytesPerBlock = 512.0;
constexpr double kBytesPerGB = 1000.0 * 1000.0 * 1000.0;
// Members a level needs.
constexpr int kMembersRaid0 = 1;
constexpr int kMembersRaid1 = 2;
constexpr int kMembersParity = 3;

QString capacityText(uint64_t blocks)
{
    return QString::number(double(blocks) * kBytesPerBlock / kBytesPerGB, 'f', 1) + QStringLiteral(" GB");
}
} // namespace

DialogAddVolume::DialogAddVolume(QZynRaidSet* raidSet, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogAddVolume)
    , m_controller(raidSet != nullptr ? raidSet->GetOwner() : nullptr)
    , m_raidSet(raidSet)
{
    ui->setupUi(this);
    if (m_controller) {
        connect(m_controller.data(), &QZynController::DeviceChanged, this, &DialogAddVolume::DeviceItemChanged);
        raiddialog::CloseWithController(this, m_controller.data());
    }
    for (QRadioButton* b : {ui->raid0RadioButton, ui->raid1RadioButton, ui->raid3RadioButton, ui->raid5RadioButton,
                            ui->raid6RadioButton})
        connect(b, &QRadioButton::clicked, this, &DialogAddVolume::RadioButton_clicked);
    InitDialog();
}

DialogAddVolume::~DialogAddVolume()
{
    delete ui;
}

QString DialogAddVolume::maximumText(double gb) const
{
    return tr("MAX: ") + QString::number(gb, 'f', 1) + tr(" GB");
}

void DialogAddVolume::InitDialog()
{
    setWindowTitle(tr("New Volume"));
    ui->nameLineEdit->setMaxLength(kNameLength);
    const int n = m_raidSet ? m_raidSet->GetRecord().memberCount() : 0;
    if (n == kMembersRaid0)
        ui->raid0RadioButton->setChecked(true);
    else if (n == kMembersRaid1)
        ui->raid1RadioButton->setChecked(true);
    else
        ui->raid5RadioButton->setChecked(true);
    ui->capacityDoubleSpinBox->setMaximum(0.0);
    ui->capacityDoubleSpinBox->setValue(0.0);
    ShowRaidSetInformation();
}

void DialogAddVolume::ShowRaidSetInformation()
{
    ui->volGroupBox->setEnabled(true);
    if (!m_controller || !m_raidSet) {
        ui->volGroupBox->setEnabled(false);
        return;
    }
    ui->labelRaidSetName->setText(raiddialog::Shown(m_raidSet->GetName()));
    ui->labelRaidSetFreeCap->setText(capacityText(m_raidSet->GetFreeCapacity()));
    ui->labelRaidSetTotalCap->setText(capacityText(m_raidSet->GetTotalCapacity()));
    ui->labelRaidState->setText(m_raidSet->GetStateString());
    UpdateVolumeInformation();

    const sGUI_RAIDSET r = m_raidSet->GetRecord();
    const uint32_t combined = m_raidSet->GetCombinedState();
    const double freeGB = double(m_raidSet->GetFreeCapacity()) * kBytesPerBlock / kBytesPerGB;
    const bool usable = r.memberCount() != 0 && (r.stateFlags() & sGUI_RAIDSET::kStateComplete) != 0
        && (combined & (sGUI_VOLUMESET::kStateMigrating | sGUI_VOLUMESET::kStateNeedMigrate)) == 0
        && r.degraded() == 0 && freeGB > kMinFreeGB;
    ui->volGroupBox->setEnabled(usable);
}

void DialogAddVolume::UpdateVolumeInformation()
{
    if (!m_controller || !m_raidSet)
        return;
    ui->nameLineEdit->setText(m_controller->GetFreeVolumeSetName());
    QRadioButton* const buttons[] = {ui->raid0RadioButton, ui->raid1RadioButton, ui->raid3RadioButton,
                                     ui->raid5RadioButton, ui->raid6RadioButton};
    QLabel* const labels[] = {ui->raid0Label, ui->raid1Label, ui->raid3Label, ui->raid5Label, ui->raid6Label};
    for (QRadioButton* b : buttons)
        b->setEnabled(false);
    for (QLabel* l : labels)
        l->setText(tr("MAX: ") + QStringLiteral("0 GB"));
    const int n = m_raidSet->GetRecord().memberCount();
    if (n >= kMembersRaid0) {
        ui->raid0RadioButton->setEnabled(true);
        ui->raid0Label->setText(maximumText(m_raidSet->GetFreeCapacityInGBByVolumeType(sGUI_VOLUMESET::kLevelRaid0)));
    }
    if (n >= kMembersRaid1) {
        ui->raid1RadioButton->setEnabled(true);
        ui->raid1RadioButton->setText(tr("Raid 1"));
        ui->raid1Label->setText(maximumText(m_raidSet->GetFreeCapacityInGBByVolumeType(sGUI_VOLUMESET::kLevelRaid10)));
    }
    if (n >= kMembersParity) {
        ui->raid3RadioButton->setEnabled(true);
        ui->raid5RadioButton->setEnabled(true);
        ui->raid1RadioButton->setText(tr("Raid 1+0"));
        ui->raid3Label->setText(maximumText(m_raidSet->GetFreeCapacityInGBByVolumeType(sGUI_VOLUMESET::kLevelRaid3)));
        ui->raid5Label->setText(maximumText(m_raidSet->GetFreeCapacityInGBByVolumeType(sGUI_VOLUMESET::kLevelRaid5)));
        if (raiddialog::OffersRaid6(m_controller.data())) {
            ui->raid6RadioButton->setEnabled(true);
            ui->raid6Label->setText(
                maximumText(m_raidSet->GetFreeCapacityInGBByVolumeType(sGUI_VOLUMESET::kLevelRaid6)));
        }
    }
    RadioButton_clicked();
}

u8 DialogAddVolume::checkedLevel() const
{
    return raiddialog::CheckedLevel(ui);
}

void DialogAddVolume::RadioButton_clicked()
{
    if (!m_raidSet)
        return;
    // A raid set without members (or too few for the level) has no space: never a negative one.
    const double maximum = std::max(0.0, m_raidSet->GetFreeCapacityInGBByVolumeType(checkedLevel()));
    ui->capacityDoubleSpinBox->setMaximum(maximum);
    ui->capacityDoubleSpinBox->setValue(maximum);
}

_VOLUMESET_CAP DialogAddVolume::NewVolumeCap(QZynController* controller, double capacity, u8 level)
{
    _VOLUMESET_CAP cap;
    std::memset(&cap, 0, sizeof cap);
    cap.size = sizeof cap;
    cap.capacity = capacity;
    cap.level = level;
    cap.stripe = kStripeCode;
    controller->GetFreeChIdLun(&cap.channel, &cap.id, &cap.lun);
    cap.tagged = kTaggedQueuing;
    cap.cache = kWriteBack;
    cap.reserved4 = kReserved;
    cap.flags = kForegroundInit;
    cap.encryption = kNoEncryption;
    return cap;
}

void DialogAddVolume::SetVolumeName(_VOLUMESET_CAP* cap, const QString& name)
{
    zynwire::putName(reinterpret_cast<uint8_t*>(cap->name), sizeof cap->name, name.toStdString(), '\0');
}

void DialogAddVolume::on_createVolumePushButton_clicked()
{
    if (!m_controller || !m_raidSet)
        return;
    const QString title = raiddialog::Shown(m_raidSet->GetName());
    std::vector<int> volumes;
    m_controller->GetVolumeSetCount(volumes);
    if (int(volumes.size()) >= QZynController::kVolumeSets) {
        QMessageBox::warning(this, title, tr("Exceed numbers of volumes allowed."), QMessageBox::Ok);
        return;
    }
    _VOLUMESET_CAP cap = NewVolumeCap(m_controller, ui->capacityDoubleSpinBox->value(), checkedLevel());
    cap.raidSet = u8(m_raidSet->GetIndex());
    SetVolumeName(&cap, ui->nameLineEdit->text());
    if (QMessageBox::information(this, title, tr("Are you sure you want to create this volume ?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        != QMessageBox::Yes)
        return;
    if (!m_controller)
        return;
    const u32 rc = m_controller->ZynCreateVolSet(&cap, kNoGreaterThan2TB);
    raiddialog::Report(this, title, rc, tr("Failed to ZynCreateVolSet(..), Error = %0."),
                       tr("Volume has been created successfully."));
}

void DialogAddVolume::on_exitButton_clicked()
{
    close();
}

void DialogAddVolume::DeviceItemChanged(QZynDevice* device, int code)
{
    if (device == nullptr || device->type != QZynDevice::RaidSet || device != m_raidSet.data())
        return;
    if (code == QZynDevice::DeviceUpdated || code == QZynDevice::DeviceRemoved)
        ShowRaidSetInformation();
}
