#include "ui/dialog/dialogquickcreate.h"

#include "ui_dialogquickcreate.h"

#include "devices/controller.h"
#include "devices/raidset.h"
#include "ui/dialog/dialogaddhotsparedisk.h"
#include "ui/dialog/dialogaddvolume.h"
#include "ui/dialog/raiddialogs.h"

#include <QMessageBox>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {
constexpr double kBytesPerBlock = 512.0;
constexpr double kBytesPerGB = 1000.0 * 1000.0 * 1000.0;
constexpr double kMirrorShare = 0.5;

// The capacity a level offers out of n disks of m GB each, T = n x m: what is left after the
// disks that hold parity and the spare.
struct LevelRule {
    u8 code;
    bool spare;
    double share;       // of what is left
    int disksTaken;     // parity disks and the spare, in units of m
};
constexpr LevelRule kRaid0 = {sGUI_VOLUMESET::kLevelRaid0, false, 1.0, 0};
constexpr LevelRule kRaid1 = {sGUI_VOLUMESET::kLevelRaid10, false, kMirrorShare, 0};
constexpr LevelRule kRaid3 = {sGUI_VOLUMESET::kLevelRaid3, false, 1.0, 1};
constexpr LevelRule kRaid5 = {sGUI_VOLUMESET::kLevelRaid5, false, 1.0, 1};
constexpr LevelRule kRaid6 = {sGUI_VOLUMESET::kLevelRaid6, false, 1.0, 2};
constexpr LevelRule kRaid1Spare = {sGUI_VOLUMESET::kLevelRaid10, true, kMirrorShare, 1};
constexpr LevelRule kRaid3Spare = {sGUI_VOLUMESET::kLevelRaid3, true, 1.0, 2};
constexpr LevelRule kRaid5Spare = {sGUI_VOLUMESET::kLevelRaid5, true, 1.0, 2};
constexpr LevelRule kRaid6Spare = {sGUI_VOLUMESET::kLevelRaid6, true, 1.0, 3};

double capacityOf(const LevelRule& rule, double totalGB, double minDiskGB)
{
    return (totalGB - rule.disksTaken * minDiskGB) * rule.share;
}

// The buttons in the order the checked one is looked for, each with its rule.
struct LevelButton {
    QRadioButton* button;
    const LevelRule* rule;
};
std::vector<LevelButton> levelButtons(Ui_DialogQuickCreate* ui)
{
    return {{ui->raid0RadioButton, &kRaid0},      {ui->raid1RadioButton, &kRaid1},
            {ui->raid3RadioButton, &kRaid3},      {ui->raid5RadioButton, &kRaid5},
            {ui->raid1SRadioButton, &kRaid1Spare}, {ui->raid3SRadioButton, &kRaid3Spare},
            {ui->raid5SRadioButton, &kRaid5Spare}, {ui->raid6SRadioButton, &kRaid6Spare},
            {ui->raid6RadioButton, &kRaid6}};
}
// The level taken when no button is checked.
constexpr const LevelRule& kNoneChecked = kRaid6;

double diskGB(const QZynDisk* disk)
{
    return double(disk->GetRecord().capacity()) * kBytesPerBlock / kBytesPerGB;
}

void addDrive(_DEVICE_LIST* list, const QZynDiskIndex& disk)
{
    _DEVICE_LIST::Drive& drive = list->drives[list->count++];
    drive.enclosure = uint8_t(disk.enclosure & 0xFF);
    drive.slot = uint8_t(disk.slot & 0xFF);
}
} // namespace

DialogQuickCreate::DialogQuickCreate(QZynController* controller, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogQuickCreate)
    , m_controller(controller)
{
    ui->setupUi(this);
    if (m_controller) {
        connect(m_controller.data(), &QZynController::DeviceChanged, this, &DialogQuickCreate::DeviceItemChanged);
        raiddialog::CloseWithController(this, m_controller.data());
    }
    for (const LevelButton& b : levelButtons(ui))
        connect(b.button, &QRadioButton::clicked, this, &DialogQuickCreate::RadioButton_clicked);
    InitDialog();
}

DialogQuickCreate::~DialogQuickCreate()
{
    delete ui;
}

void DialogQuickCreate::InitDialog()
{
    setWindowTitle(tr("New Volume"));
    CalculateRaidSetCapacity();
}

void DialogQuickCreate::DeviceItemChanged(QZynDevice* device, int)
{
    if (device != nullptr && device->type == QZynDevice::Disk)
        CalculateRaidSetCapacity();
}

QString DialogQuickCreate::maximumText(double gb) const
{
    return tr("MAX: ") + QString::number(gb, 'f', 1) + tr(" GB");
}

void DialogQuickCreate::CalculateRaidSetCapacity()
{
    std::vector<QZynDiskIndex> free;
    if (m_controller)
        m_controller->GetFreeDiskCount(free);
    double m = kNoDiskGB;
    for (const QZynDiskIndex& d : free)
        m = std::min(m, diskGB(d.disk));
    if (m == kNoDiskGB)
        m = 0.0;
    m -= std::fmod(m, kSizeStepGB);
    const int n = int(free.size());
    const double total = n * m;
    ui->quickCreateButton->setEnabled(total > 0.0);
    ui->labelMemberDisks->setText(QString::number(n));
    m_totalGB = total;
    m_minDiskGB = m;
    m_diskCount = n;
    UpdateVolumeInformation();
}

void DialogQuickCreate::UpdateVolumeInformation()
{
    const double t = m_totalGB;
    const double m = m_minDiskGB;
    const int n = m_diskCount;
    const bool raid6 = raiddialog::OffersRaid6(m_controller.data());
    for (const LevelButton& b : levelButtons(ui))
        b.button->setEnabled(false);
    for (QLabel* l : {ui->raid0Label, ui->raid1Label, ui->raid3Label, ui->raid5Label, ui->raid6Label, ui->raid1SLabel,
                      ui->raid3SLabel, ui->raid5SLabel, ui->raid6SLabel})
        l->setText(tr("MAX: 0 GB"));
    if (n >= kDisksRaid0) {
        ui->raid0RadioButton->setEnabled(true);
        ui->raid0Label->setText(maximumText(capacityOf(kRaid0, t, m)));
    }
    if (n >= kDisksRaid1) {
        ui->raid1RadioButton->setEnabled(true);
        ui->raid1Label->setText(maximumText(capacityOf(kRaid1, t, m)));
    }
    if (n >= kDisksParity) {
        for (QRadioButton* b : {ui->raid3RadioButton, ui->raid5RadioButton, ui->raid1SRadioButton})
            b->setEnabled(true);
        ui->raid1RadioButton->setText(tr("Raid 1 + 0"));
        ui->raid1SRadioButton->setText(tr("Raid 1 + Spare"));
        ui->raid1SLabel->setText(maximumText(capacityOf(kRaid1Spare, t, m)));
        ui->raid3Label->setText(maximumText(capacityOf(kRaid3, t, m)));
        ui->raid5Label->setText(maximumText(capacityOf(kRaid5, t, m)));
        if (raid6) {
            ui->raid6RadioButton->setEnabled(true);
            ui->raid6Label->setText(maximumText(capacityOf(kRaid6, t, m)));
        }
    }
    if (n >= kDisksParitySpare) {
        ui->raid3SRadioButton->setEnabled(true);
        ui->raid5SRadioButton->setEnabled(true);
        ui->raid1SRadioButton->setText(tr("Raid 1 + 0 + Spare"));
        ui->raid1SLabel->setText(maximumText(capacityOf(kRaid1Spare, t, m)));
        ui->raid3SLabel->setText(maximumText(capacityOf(kRaid3Spare, t, m)));
        ui->raid5SLabel->setText(maximumText(capacityOf(kRaid5Spare, t, m)));
    }
    if (n >= kDisksRaid6Spare && raid6) {
        ui->raid6SRadioButton->setEnabled(true);
        ui->raid6SLabel->setText(maximumText(capacityOf(kRaid6Spare, t, m)));
    }
    if (n == kDisksRaid0)
        ui->raid0RadioButton->setChecked(true);
    else if (n == kDisksRaid1)
        ui->raid1RadioButton->setChecked(true);
    else if (n >= kDisksParity && n <= kDisksWithoutSpare)
        ui->raid5RadioButton->setChecked(true);
    else
        ui->raid5SRadioButton->setChecked(true);
    RadioButton_clicked();
}

DialogQuickCreate::Level DialogQuickCreate::checkedLevel() const
{
    for (const LevelButton& b : levelButtons(ui))
        if (b.button->isChecked())
            return {b.rule->code, b.rule->spare};
    return {kNoneChecked.code, kNoneChecked.spare};
}

double DialogQuickCreate::checkedCapacity() const
{
    const LevelRule* rule = &kNoneChecked;
    for (const LevelButton& b : levelButtons(ui))
        if (b.button->isChecked()) {
            rule = b.rule;
            break;
        }
    return std::max(0.0, capacityOf(*rule, m_totalGB, m_minDiskGB));
}

void DialogQuickCreate::RadioButton_clicked()
{
    const double capacity = checkedCapacity();
    ui->capacityDoubleSpinBox->setMaximum(capacity);
    ui->capacityDoubleSpinBox->setValue(capacity);
}

void DialogQuickCreate::warnFailed(const QString& failure, u32 result)
{
    QMessageBox::warning(this, raiddialog::ModelTitle(m_controller.data()), failure.arg(result), QMessageBox::Ok);
}

u32 DialogQuickCreate::readRaidSetNumbers(std::set<int>* numbers, std::set<int>* passThrough)
{
    numbers->clear();
    passThrough->clear();
    auto map = std::make_unique<_RAID_MAP>();
    std::memset(map.get(), 0, sizeof *map);
    const u32 rc = m_controller->ZynHelpBuildRaidSetMap(map.get());
    if (rc != ZYN_OK)
        return rc;
    const u32 count = std::min<u32>(map->count, _RAID_MAP::kMaxEntries);
    for (u32 i = 0; i < count; ++i) {
        const _RAID_MAP::Entry& entry = map->entries[i];
        if (entry.number < 0 || entry.number >= QZynController::kRaidSets || !entry.raidSet.exists())
            continue;
        numbers->insert(entry.number);
        if (entry.raidSet.isPassThrough())
            passThrough->insert(entry.number);
    }
    return ZYN_OK;
}

void DialogQuickCreate::on_quickCreateButton_clicked()
{
    if (!m_controller)
        return;
    const Level level = checkedLevel();
    std::vector<QZynDiskIndex> free;
    m_controller->GetFreeDiskCount(free);
    int members = int(free.size());
    _DEVICE_LIST spare;
    std::memset(&spare, 0, sizeof spare);
    if (level.spare && members > 0) {
        addDrive(&spare, free.back());
        --members;
    }
    if (members <= 0)
        return;
    const QString title = raiddialog::ModelTitle(m_controller.data());
    if (members > _DEVICE_LIST::kMaxDrives) {
        raiddialog::WarnTooMany(this, title);
        return;
    }
    _DEVICE_LIST list;
    std::memset(&list, 0, sizeof list);
    for (int i = 0; i < members; ++i)
        addDrive(&list, free[size_t(i)]);

    _VOLUMESET_CAP cap = DialogAddVolume::NewVolumeCap(m_controller, ui->capacityDoubleSpinBox->value(), level.code);

    // Nothing changes before the user agrees.
    if (!raiddialog::Confirm(this, title, tr("Are you sure you want to create this volume ?")) || !m_controller)
        return;

    const QString raidSetFailed = tr("Failed to ZynCreateRaidSet(..), Error = %0.");
    // The raid set entries before: the new raid set is the one the controller lists afterwards
    // and did not list here.
    std::set<int> before;
    std::set<int> passThrough;
    u32 rc = readRaidSetNumbers(&before, &passThrough);
    if (rc != ZYN_OK) {
        warnFailed(raidSetFailed, rc);
        return;
    }
    // The spare goes first, so that the disk is no longer free when the raid set takes its members.
    if (level.spare) {
        rc = m_controller->ZynCreateHotSpare(&spare, DialogAddHotSpareDisk::GlobalSpare, 0);
        if (rc != ZYN_OK) {
            warnFailed(tr("Failed to ZynCreateHotSpare(..), Error = %0."), rc);
            return;
        }
    }
    rc = m_controller->ZynCreateRaidSet(&list, nullptr, 0);
    if (rc != ZYN_OK) {
        warnFailed(raidSetFailed, rc);
        return;
    }
    std::set<int> after;
    rc = readRaidSetNumbers(&after, &passThrough);
    if (rc != ZYN_OK) {
        warnFailed(raidSetFailed, rc);
        return;
    }
    std::vector<int> made;
    for (int number : after)
        if (before.count(number) == 0 && passThrough.count(number) == 0)
            made.push_back(number);
    // None, or more than one that another client made meanwhile: which one is ours is unknown.
    if (made.size() != 1) {
        warnFailed(raidSetFailed, ZYN_ERR_NO_OBJECT);
        return;
    }
    cap.raidSet = u8(made.front());
    rc = m_controller->ZynCreateVolSet(&cap, DialogAddVolume::kNoGreaterThan2TB);
    raiddialog::Report(this, title, rc, tr("Failed to ZynCreateVolSet(..), Error = %0."),
                       tr("Volume has been created successfully."));
}

void DialogQuickCreate::on_exitButton_clicked()
{
    close();
}
