#include "ui/dialog/dialogdiskdetail.h"

#include "ui_dialogdiskdetail.h"

#include "devices/controller.h"
#include "devices/enclosure.h"
#include "ui/dialog/raiddialogs.h"

#include <QHeaderView>
#include <QStandardItemModel>

namespace {
constexpr double kBytesPerBlock = 512.0;
constexpr double kBytesPerGB = 1000.0 * 1000.0 * 1000.0;
// The SAS page's table: a caption and its value.
constexpr int kSasTableColumns = 2;

// The SAS view's error counters, in record order.
const char* const kSasCounterCaptions[sGUI_PHY_DRV::kSasCounterCount] = {
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Read Errors Recovered Without Delay:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Read Errors Recovered With Delay:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Read Errors Recovered With Retry:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Read Errors Recovered:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Read Total Bytes:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Read Errors Unrecovered:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Write Errors Recovered Without Delay:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Write Errors Recovered With Delay:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Write Errors Recovered With Retry:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Write Errors Recovered:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Write Total Bytes:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Write Errors Unrecovered:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Verify Errors Recovered Without Delay:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Verify Errors Recovered With Delay:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Verify Errors Recovered With Retry:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Verify Errors Recovered:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Verify Errors Unrecovered:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Non-Medium Errors:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Defect P-List Block Count:"),
    QT_TRANSLATE_NOOP("DialogDiskDetail", "Defect G-List Block Count:"),
};
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
    m_sasTable = new QStandardItemModel(this);
    ui->tableView->setModel(m_sasTable);
    ui->tableView->horizontalHeader()->hide();
    ui->tableView->verticalHeader()->hide();
    ui->tableView->horizontalHeader()->setStretchLastSection(true);
    ui->tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->tableView->setShowGrid(false);
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

DialogDiskDetail::Identity DialogDiskDetail::DiskIdentity() const
{
    Identity id;
    const sGUI_PHY_DRV r = m_disk->GetRecord();
    const QZynDiskIndex& index = m_disk->GetIndex();
    const uint32_t state = m_disk->GetState();
    if (m_controller->IsEnclosureFamily()) {
        const QZynEnclosure* enclosure = m_controller->GetEnclosure(index.enclosure);
        const QString descriptor = enclosure != nullptr ? enclosure->GetDiskDescriptor(index.slot) : QString();
        id.location = tr("Enclosure#%1 ").arg(index.enclosure + 1, 2, 10, QLatin1Char('0')) + descriptor;
        const QString address = QString::number(qulonglong(r.address()), 16).toUpper();
        id.type = (state & sGUI_PHY_DRV::kStateSata) != 0 ? tr("SATA(%1)").arg(address) : tr("SAS(%1)").arg(address);
    } else {
        id.location = tr("Channel#%1").arg(index.slot, 2, 10, QLatin1Char('0'));
        id.type = tr("Channel%1\n").arg(index.slot + 1);
    }
    id.name = state == 0 ? tr("N.A") : raiddialog::Shown(m_disk->GetName());
    id.serial = raiddialog::Shown(m_disk->GetSerialNumber());
    id.firmware = raiddialog::Shown(m_disk->GetFirmwareRevString());
    const double gb = double(r.capacity()) * kBytesPerBlock / kBytesPerGB;
    id.capacity = tr("%1 GB").arg(QString::number(gb, 'f', 1));
    id.state = m_disk->GetStateString();
    id.timeouts = QString::number(r.timeouts());
    id.mediaErrors = QString::number(r.mediaErrors());
    return id;
}

void DialogDiskDetail::UpdateSATADiskInformation()
{
    if (!m_controller || !m_disk)
        return;
    const sGUI_PHY_DRV r = m_disk->GetRecord();
    const Identity id = DiskIdentity();
    ui->labelType->setText(id.type);
    ui->labelLocation->setText(id.location);
    ui->labelName->setText(id.name);
    ui->labelSerial->setText(id.serial);
    ui->labelFirmwareRev->setText(id.firmware);
    ui->labelCapacity->setText(id.capacity);
    ui->labelState->setText(id.state);
    ui->labelTimeoutCount->setText(id.timeouts);
    ui->labelMediaErrorCount->setText(id.mediaErrors);
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
    if (!m_controller || !m_disk)
        return;
    const sGUI_PHY_DRV r = m_disk->GetRecord();
    const Identity id = DiskIdentity();
    // The captions the SATA page shows for what both pages show, then the SAS view's own.
    QList<QPair<QString, QString>> rows = {
        {ui->label->text(), id.type},
        {ui->label_2->text(), id.location},
        {ui->label_3->text(), id.name},
        {ui->label_4->text(), id.serial},
        {ui->label_5->text(), id.firmware},
        {ui->label_6->text(), id.capacity},
        {ui->label_7->text(), id.state},
        {ui->label_14->text(), id.timeouts},
        {ui->label_15->text(), id.mediaErrors},
        {tr("Rotation Speed:"), tr("%1 RPM").arg(r.rotation())},
        {ui->label_16->text(), tr("%1 °C").arg(r.sasTemperature())},
    };
    for (int k = 0; k < sGUI_PHY_DRV::kSasCounterCount; ++k)
        rows.append({tr(kSasCounterCaptions[k]), QString::number(qulonglong(r.sasCounter(k)))});

    // The rows are made once; a later update rewrites their texts (the view keeps its place).
    if (m_sasTable->rowCount() != rows.size()) {
        m_sasTable->clear();
        m_sasTable->setColumnCount(kSasTableColumns);
        for (int i = 0; i < rows.size(); ++i) {
            QList<QStandardItem*> row;
            for (int c = 0; c < kSasTableColumns; ++c) {
                row << new QStandardItem;
                row.back()->setEditable(false);
            }
            m_sasTable->appendRow(row);
        }
    }
    for (int i = 0; i < rows.size(); ++i) {
        m_sasTable->item(i, 0)->setText(rows.at(i).first);
        m_sasTable->item(i, 1)->setText(rows.at(i).second);
    }
    ui->tableView->resizeColumnToContents(0);
}
