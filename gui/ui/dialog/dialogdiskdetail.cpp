#include "ui/dialog/dialogdiskdetail.h"

#include "ui_dialogdiskdetail.h"

#include "devices/controller.h"
#include "devices/enclosure.h"
#include "ui/dialog/raiddialogs.h"

namespace {
constexpr double kBytesPerBlock = 512.0;
constexpr double kBytesPerGB = 1000.0 * 1000.0 * 1000.0;
} // namespace

DialogDiskDetail::DialogDiskDetail(QZynDisk* disk, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogDiskDetail)
    , m_controller(disk != nullptr ? disk->GetOwner() : nullptr)
    , m_disk(disk)
{
    ui->setupUi(this);
    InitDialog();
    if (m_controller) {
        connect(m_controller.data(), &QZynController::DeviceChanged, this, &DialogDiskDetail::DeviceItemChanged);
        raiddialog::CloseWithController(this, m_controller.data());
    }
}

DialogDiskDetail::~DialogDiskDetail()
{
    delete ui;
}

void DialogDiskDetail::InitDialog()
{
    DeviceItemChanged(m_disk.data(), QZynDevice::DeviceUpdated);
}

void DialogDiskDetail::DeviceItemChanged(QZynDevice* device, int code)
{
    if (device == nullptr || device->type != QZynDevice::Disk || device != m_disk.data() || !m_controller)
        return;
    if (code == QZynDevice::DeviceRemoved)
        close();
    const bool sasFamily = m_controller->IsEnclosureFamily();
    if (!sasFamily || (m_disk->GetState() & sGUI_PHY_DRV::kStateSata) != 0) {
        ui->stackedWidget->setCurrentIndex(PageSATADisk);
        UpdateSATADiskInformation();
    } else {
        ui->stackedWidget->setCurrentIndex(PageSASDisk);
        UpdateSASDiskInformation();
    }
}

void DialogDiskDetail::UpdateSATADiskInformation()
{
    if (!m_controller || !m_disk)
        return;
    const sGUI_PHY_DRV r = m_disk->GetRecord();
    const QZynDiskIndex& index = m_disk->GetIndex();
    const uint32_t state = m_disk->GetState();
    if (m_controller->IsEnclosureFamily()) {
        const QZynEnclosure* enclosure = m_controller->GetEnclosure(index.enclosure);
        const QString descriptor = enclosure != nullptr ? enclosure->GetDiskDescriptor(index.slot) : QString();
        ui->labelLocation->setText(tr("Enclosure#%1 ").arg(index.enclosure + 1, 2, 10, QLatin1Char('0')) + descriptor);
        ui->labelType->setText(tr("SATA(%1)").arg(QString::number(qulonglong(r.address()), 16).toUpper()));
    } else {
        ui->labelLocation->setText(tr("Channel#%1").arg(index.slot, 2, 10, QLatin1Char('0')));
        ui->labelType->setText(tr("Channel%1\n").arg(index.slot + 1));
    }
    ui->labelName->setText(state == 0 ? tr("N.A") : raiddialog::Shown(m_disk->GetName()));
    ui->labelSerial->setText(raiddialog::Shown(m_disk->GetSerialNumber()));
    ui->labelFirmwareRev->setText(raiddialog::Shown(m_disk->GetFirmwareRevString()));
    const double gb = double(r.capacity()) * kBytesPerBlock / kBytesPerGB;
    ui->labelCapacity->setText(tr("%1 GB").arg(QString::number(gb, 'f', 1)));
    ui->labelState->setText(m_disk->GetStateString());
    ui->labelTimeoutCount->setText(QString::number(r.timeouts()));
    ui->labelMediaErrorCount->setText(QString::number(r.mediaErrors()));
    ui->labelDeviceTemp->setText(tr("%1 °C").arg(r.ataTemperature()));

    QLabel* const smart[sGUI_PHY_DRV::kSmartAttributes] = {
        ui->labelSmartReadErrorRate, ui->labelSmartSpinupTime, ui->labelSmartReallocCount,
        ui->labelSmartSeekErrorRate, ui->labelSmartSpinupRetries, ui->labelSmartCalibrationRetries,
    };
    for (int a = 0; a < sGUI_PHY_DRV::kSmartAttributes; ++a) {
        if (a == sGUI_PHY_DRV::SmartCalibrationRetries && r.smartValue(a) == sGUI_PHY_DRV::kSmartAbsent)
            smart[a]->setText(tr("N.A.(N.A.)"));
        else
            smart[a]->setText(QStringLiteral("%1(%2)").arg(r.smartValue(a)).arg(r.smartThreshold(a)));
    }
}

void DialogDiskDetail::UpdateSASDiskInformation()
{
    // The SAS page keeps its empty table.
}
