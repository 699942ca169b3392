// The right-hand side of the main window: which page shows for the controller tree's current
// row, the controller, raid set and volume set pages, and the device changes that redraw them.
#include "ui/dialog/mainwindow.h"

#include "cli/cli-zynmsr.h"
#include "cli/console.h"
#include "devices/controller.h"
#include "devices/disk.h"
#include "devices/enclosure.h"
#include "devices/event.h"
#include "devices/raidset.h"
#include "devices/sysinfo.h"
#include "devices/volumeset.h"
#include "helper/romcfgfile.h"
#include "ui/dialog/dialogdiskdetail.h"
#include "ui/model/diskitemmodel.h"
#include "ui/model/itemmodel.h"
#include "ui_mainwindow.h"
#include "zynapplication.h"

#include <QHeaderView>
#include <QPixmap>
#include <QTcpServer>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// The pages of the stack.
enum Page { PageStarted = 0, PageController = 1, PageRaidSet = 2, PageVolume = 3 };
// The tabs whose titles carry counts.
enum ControllerTab { TabRaidSets = 1, TabVolumeSets = 2, TabDisks = 3 };
constexpr int kRaidSetTabMembers = 1;

// The event list's columns.
const int kEventColumnWidths[] = {24, 160, 160, 240, 100};
// The event-level legend.
const QSize kLegendSize(24, 24);
const char* const kInfoImage = ":/images/icons/event/info.png";
const char* const kWarningImage = ":/images/icons/event/warning.png";
const char* const kErrorImage = ":/images/icons/event/error.png";
const char* const kUrgentImage = ":/images/icons/event/urgent.png";
const QSize kMemberIconSize(20, 20);

// The raid set page's volume limit when the record does not claim 128.
constexpr int kFewVolumes = 16;
// Capacities are counted in 512-byte sectors and shown in decimal gigabytes.
constexpr double kSectorBytes = 512.0;
constexpr double kBytesPerGB = 1000.0 * 1000.0 * 1000.0;
// Stripe sizes are counted in sectors; two make a kilobyte.
constexpr uint32_t kSectorsPerKB = 2;

const char* const kNotAvailable = "N.A";

QString notAvailable()
{
    return QString::fromLatin1(kNotAvailable);
}

// A server that can be reached (also while paused).
bool listening(const QTcpServer* server)
{
    return server != nullptr && server->isListening();
}

QZynDevice* deviceAt(const QModelIndex& index)
{
    const QVariant value = index.data(zynmodel::DeviceItemRole);
    return value.isValid() ? value.value<QZynDevice*>() : nullptr;
}

// The controller a record device belongs to, for the kinds that have one.
QZynController* ownerOf(QZynDevice* device)
{
    switch (device->type) {
    case QZynDevice::Controller:
        return static_cast<QZynController*>(device);
    case QZynDevice::RaidSet:
        return static_cast<QZynRaidSet*>(device)->GetOwner();
    case QZynDevice::VolumeSet:
        return static_cast<QZynVolumeSet*>(device)->GetOwner();
    case QZynDevice::Disk:
        return static_cast<QZynDisk*>(device)->GetOwner();
    case QZynDevice::Enclosure:
        return static_cast<QZynEnclosure*>(device)->GetOwner();
    default:
        return nullptr;
    }
}

QString gigabytes(uint64_t sectors)
{
    return MainWindow::tr("%0 GB").arg(QString::number(double(sectors) * kSectorBytes / kBytesPerGB, 'f', 1));
}

QString enabledText(bool on)
{
    return on ? MainWindow::tr("Enabled") : MainWindow::tr("Disabled");
}

void showModel(QTreeView* view, QAbstractItemModel* model)
{
    if (view->model() != model)
        view->setModel(model);
}

} // namespace

// Device changes.

void MainWindow::DeviceItemChanged(QZynDevice* device, int code)
{
    if (device == nullptr || m_shutDown)
        return;
    switch (device->type) {
    case QZynDevice::Controller: {
        auto* controller = static_cast<QZynController*>(device);
        // A removal is taken in ahead of the tree (ControllerRemoved).
        if (code == QZynDevice::DeviceAdded)
            StartController(controller);
        else if (code == QZynDevice::DeviceUpdated || code == QZynDevice::HwMonitorRefreshed)
            SetupControllerPage(controller);
        break;
    }
    case QZynDevice::RaidSet:
        if (code == QZynDevice::DeviceUpdated)
            SetupRaidSetPage(static_cast<QZynRaidSet*>(device));
        break;
    case QZynDevice::VolumeSet:
        if (code == QZynDevice::DeviceUpdated) {
            auto* volume = static_cast<QZynVolumeSet*>(device);
            if (DeviceIsCurrentSelection(ui->controllerView->currentIndex(), volume))
                SetupVolumeSetTabOverview(volume);
            // A nested volume need not name a raid set.
            if (QZynRaidSet* raidSet = volume->GetRaidSet())
                SetupRaidSetPage(raidSet);
        }
        break;
    case QZynDevice::Disk:
        if (code == QZynDevice::DeviceUpdated)
            SetupControllerPage(ownerOf(device));
        break;
    case QZynDevice::Event:
        Notifier(static_cast<QZynEvent*>(device));
        break;
    case QZynDevice::Enclosure:
        if (code == QZynDevice::HwMonitorRefreshed)
            SetupControllerPage(ownerOf(device));
        break;
    default:
        break;
    }
}

void MainWindow::ControllerRemoved(QZynController* controller)
{
    // Nothing keeps acting on a controller that goes. A current row that shows it or one of its
    // sets moves up to LocalHost or Network, and the start page shows: dropped with the rows, it
    // would pass to a neighbouring controller that nobody chose. The console lets the controller
    // go and reaches none until the user selects one.
    QZynDevice* current = GetCurrentControllerTreeItem();
    if (current != nullptr && ownerOf(current) == controller) {
        QModelIndex top = ui->controllerView->currentIndex();
        while (top.parent().isValid())
            top = top.parent();
        ui->controllerView->setCurrentIndex(top.sibling(top.row(), 0));
    }
    if (m_cli->GetCtrl() == controller)
        m_cli->SetCtrl(nullptr);
}

void MainWindow::StartController(QZynController* controller)
{
    // The first-seen backup reads the whole setup image: on the controller's own thread.
    const QString folder = ZynApplication::GetPath();
    controller->RunInBackground([folder](QZynController* c) { SaveFirstSeenRomCfg(c, folder); });
    controller->Start();
    connect(controller, &QZynController::DeviceChanged, this, &MainWindow::DeviceItemChanged);
}

void MainWindow::StopController(QZynController*)
{
}

// The tree's current row.

bool MainWindow::DeviceIsCurrentSelection(const QModelIndex& index, const QZynDevice* device) const
{
    if (device == nullptr || !index.isValid() || index.model() == nullptr)
        return false;
    return deviceAt(index) == device;
}

void MainWindow::ControllerTreeCurrentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (!current.isValid()) {
        ui->stackedWidget->setCurrentIndex(PageStarted);
        return;
    }
    // Only the controller on show reads its hardware monitor.
    if (previous.isValid() && previous.column() == 0) {
        QZynDevice* left = deviceAt(previous);
        if (left != nullptr && left->type == QZynDevice::Controller)
            static_cast<QZynController*>(left)->SetHwMonitorHold(1);
    }
    if (current.column() != 0)
        return;
    QZynDevice* device = deviceAt(current);
    if (device == nullptr) {
        ui->stackedWidget->setCurrentIndex(PageStarted);
        return;
    }
    switch (device->type) {
    case QZynDevice::LocalHost:
    case QZynDevice::Network:
        ui->stackedWidget->setCurrentIndex(PageStarted);
        break;
    case QZynDevice::Controller: {
        auto* controller = static_cast<QZynController*>(device);
        ui->stackedWidget->setCurrentIndex(PageController);
        SetupControllerPage(controller);
        controller->SetHwMonitorHold(0);
        break;
    }
    case QZynDevice::RaidSet:
        ui->stackedWidget->setCurrentIndex(PageRaidSet);
        SetupRaidSetPage(static_cast<QZynRaidSet*>(device));
        break;
    default:
        ui->stackedWidget->setCurrentIndex(PageVolume);
        if (device->type == QZynDevice::VolumeSet)
            SetupVolumeSetPage(static_cast<QZynVolumeSet*>(device));
        break;
    }
    UpdateActions();
}

// The controller page.

void MainWindow::SetupControllerPage(QZynController* controller)
{
    if (!DeviceIsCurrentSelection(ui->controllerView->currentIndex(), controller))
        return;
    SetupControllerTabOverview(controller);
    std::vector<int> raidSets;
    controller->GetRaidSetCount(raidSets);
    ui->tabControllerWidget->setTabText(TabRaidSets, tr("RaidSets ") + tr("(%0)").arg(raidSets.size()));
    SetupControllerTabRaidSets(controller);
    std::vector<int> volumes;
    controller->GetVolumeSetCount(volumes);
    ui->tabControllerWidget->setTabText(TabVolumeSets, tr("Volumes ") + tr("(%0)").arg(volumes.size()));
    SetupControllerTabVolumeSets(controller);
    std::vector<QZynDiskIndex> used;
    std::vector<QZynDiskIndex> all;
    controller->GetDiskCount(used);
    controller->GetDiskSlotCount(all);
    ui->tabControllerWidget->setTabText(TabDisks, tr("Disks ") + tr("(%0/%1)").arg(used.size()).arg(all.size()));
    SetupControllerTabDisks(controller);
    SetupControllerTabEvents(controller);
    SetupControllerTabHwMonitor(controller);
    SetupControllerTabCLI(controller);
}

void MainWindow::SetupControllerTabOverview(QZynController* controller)
{
    const QZynSysInfo* info = controller->GetSysInfo();
    const sSYSTEM_INFO record = info->GetRecord();
    // The record's fixed-width texts carry NUL padding; the labels show the text alone.
    ui->labelVendorName->setText(zynmodel::ViewText(info->GetVendorName()));
    ui->labelCtrlName->setText(zynmodel::ViewText(info->GetModelName()));
    ui->labelFirmVer->setText(zynmodel::ViewText(info->GetFirmWareVersion()));
    ui->labelBootRomVer->setText(zynmodel::ViewText(info->GetBootVersion()));
    ui->labelCtrlSerial->setText(zynmodel::ViewText(info->GetSerialNumber()));
    ui->labelBeeper->setText(enabledText(record.beeperEnabled()));
    const bool ethernet = record.hasOnBoardNetwork();
    ui->labelEthernet->setText(ethernet ? tr("Supported") : tr("Unsupported"));

    // Where the controller's pages are reached: its own address over Ethernet, else the web
    // proxy on this computer.
    const QTcpServer* proxy = controller->GetHttpProxyServer();
    const QString local = tr("LocalHost: %0").arg(proxy != nullptr ? proxy->serverPort() : 0);
    if (!ethernet) {
        ui->labelDhcp->setText(notAvailable());
        ui->labelIPAddr->setText(listening(proxy) ? local : notAvailable());
    } else if (controller->GetConnectionType() == QZynController::ConnectionEthernet) {
        ui->labelDhcp->setText(enabledText(record.dhcpEnabled()));
        ui->labelIPAddr->setText(info->GetIPAddressString());
    } else {
        ui->labelDhcp->setText(notAvailable());
        ui->labelIPAddr->setText(local);
    }

    ui->labelCPUSpeed->setText(tr("%0 MHz").arg(record.processorClock()));
    ui->labelMemory->setText(QStringLiteral("%1MB/%2MHz/%3")
                                 .arg(int32_t(record.memorySize()))
                                 .arg(int32_t(record.memoryClock()))
                                 .arg(record.memoryEcc() ? tr("ECC") : QString()));
    ui->labelMacAddr->setText(ethernet ? info->GetMacAddressString().toUpper() : notAvailable());
}

void MainWindow::SetupControllerTabRaidSets(QZynController* controller)
{
    const QZynGuiItem* models = controller->GetGuiItem();
    QAbstractItemModel* model = models != nullptr ? models->raidSetModel : nullptr;
    QTreeView* view = ui->raidsetTreeView;
    if (view->model() == model)
        return;
    if (QItemSelectionModel* old = view->selectionModel())
        disconnect(old, &QItemSelectionModel::currentChanged, this, &MainWindow::RaidSetTreeCurrentChanged);
    view->setModel(model);
    if (QItemSelectionModel* fresh = view->selectionModel())
        connect(fresh, &QItemSelectionModel::currentChanged, this, &MainWindow::RaidSetTreeCurrentChanged);
}

void MainWindow::SetupControllerTabVolumeSets(QZynController* controller)
{
    const QZynGuiItem* models = controller->GetGuiItem();
    showModel(ui->volumesetTreeView, models != nullptr ? models->volumeSetModel : nullptr);
}

void MainWindow::SetupControllerTabDisks(QZynController* controller)
{
    const QZynGuiItem* models = controller->GetGuiItem();
    showModel(ui->diskTreeView, models != nullptr ? models->diskModel : nullptr);
    ui->diskTreeView->expandAll();
}

void MainWindow::SetupControllerTabEvents(QZynController* controller)
{
    const QZynGuiItem* models = controller->GetGuiItem();
    showModel(ui->eventTreeView, models != nullptr ? models->eventModel : nullptr);
    // The state column is narrower than the style's smallest section.
    ui->eventTreeView->header()->setMinimumSectionSize(*std::min_element(std::begin(kEventColumnWidths),
                                                                          std::end(kEventColumnWidths)));
    int column = 0;
    for (int width : kEventColumnWidths)
        ui->eventTreeView->setColumnWidth(column++, width);
    const std::pair<QLabel*, const char*> legend[] = {
        {ui->label_34, kInfoImage},
        {ui->label_38, kWarningImage},
        {ui->label_46, kErrorImage},
        {ui->label_48, kUrgentImage},
    };
    for (const auto& l : legend) {
        l.first->setMaximumSize(kLegendSize);
        l.first->setScaledContents(true);
        l.first->setPixmap(QPixmap(QString::fromLatin1(l.second)));
    }
}

void MainWindow::SetupControllerTabHwMonitor(QZynController* controller)
{
    const QZynGuiItem* models = controller->GetGuiItem();
    showModel(ui->hwmonTreeView, models != nullptr ? models->hwMonitorModel : nullptr);
    ui->hwmonTreeView->expandAll();
}

void MainWindow::SetupControllerTabCLI(QZynController* controller)
{
    if (m_cli)
        m_cli->SetCtrl(controller);
}

// The raid set page.

void MainWindow::SetupRaidSetPage(QZynRaidSet* raidSet)
{
    if (!DeviceIsCurrentSelection(ui->controllerView->currentIndex(), raidSet))
        return;
    std::vector<QZynDiskIndex> members;
    raidSet->GetDiskCount(members);
    ui->tabRaidSetWidget->setTabText(kRaidSetTabMembers, tr("Member Disks ") + tr("(%0)").arg(members.size()));
    SetupRaidSetTabOverview(raidSet);
}

void MainWindow::SetupRaidSetTabOverview(QZynRaidSet* raidSet)
{
    const sGUI_RAIDSET record = raidSet->GetRecord();
    ui->labelRaidSetName->setText(zynmodel::ViewText(raidSet->GetName()));
    ui->labelRaidSetMemberDisks->setText(QString::number(record.memberCount()));
    QString limit = notAvailable();
    if (!record.isPassThrough())
        limit = QString::number(record.holds128Volumes() ? sGUI_RAIDSET::kMaxVolumes : kFewVolumes);
    ui->labelRaidSetMaxVols->setText(limit);
    ui->labelRaidSetCurrentVols->setText(QString::number(record.volumeCount()));
    ui->labelRaidSetMinDiskSize->setText(gigabytes(raidSet->GetMinDiskCapacity()));
    ui->labelRaidSetFreeCap->setText(gigabytes(raidSet->GetFreeCapacity()));
    ui->labelRaidSetTotalCap->setText(gigabytes(raidSet->GetTotalCapacity()));
    ui->labelRaidSetState->setText(raidSet->GetStateString());

    const QZynController* controller = raidSet->GetOwner();
    const QZynGuiItem* models = controller != nullptr ? controller->GetGuiItem() : nullptr;
    auto* memberModel = models != nullptr ? qobject_cast<QZynRaidSetMemberDiskItemModel*>(models->memberDiskModel) : nullptr;
    if (memberModel != nullptr)
        memberModel->SetupData(raidSet);
    QTreeView* view = ui->raidSetMemberDiskTreeView;
    view->setIconSize(kMemberIconSize);
    view->setRootIsDecorated(false);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    showModel(view, memberModel);
}

// The volume set page.

void MainWindow::SetupVolumeSetPage(QZynVolumeSet* volume)
{
    if (DeviceIsCurrentSelection(ui->controllerView->currentIndex(), volume))
        SetupVolumeSetTabOverview(volume);
}

void MainWindow::SetupVolumeSetTabOverview(QZynVolumeSet* volume)
{
    const sGUI_VOLUMESET record = volume->GetRecord();
    const QZynRaidSet* raidSet = volume->GetRaidSet();
    const QZynController* controller = volume->GetOwner();
    ui->labelVolName->setText(zynmodel::ViewText(volume->GetName()));
    ui->labelVolRaidSetName->setText(raidSet != nullptr ? zynmodel::ViewText(raidSet->GetName()) : QString());
    ui->labelVolMemberDisks->setText(QString::number(record.memberCount()));
    ui->labelVolCapacity->setText(gigabytes(record.capacity()));
    ui->labelVolRaidLevel->setText(volume->GetRaidLevelString());
    ui->labelVolScsiId->setText(QString::asprintf("%02d/%02d/%02d", record.channel(), record.id(), record.lun()));
    ui->labelVolCacheMode->setText(record.cacheMode() != 0 ? tr("Write Back") : tr("Write Through"));
    ui->labelVolTaggedQueue->setText(enabledText(record.taggedQueuing() != 0));
    const bool jbod = controller != nullptr && controller->GetSysInfo()->GetRecord().jbodMode();
    const bool noStripe = jbod || record.raidLevel() == sGUI_VOLUMESET::kLevelRaid3
                          || record.raidLevel() == sGUI_VOLUMESET::kLevelPassThrough;
    ui->labelVolStripeSize->setText(noStripe ? notAvailable() : tr("%0 KB").arg(record.stripe() / kSectorsPerKB));
    ui->labelVolBlockSize->setText(tr("512 Bytes"));
    ui->labelVolState->setText(volume->GetStateString());
    ui->labelVolWriteProtection->setText(enabledText((record.flags() & sGUI_VOLUMESET::kFlagWriteProtected) != 0));
}

// The other slots of the pages.

void MainWindow::ControllerTabChanged(int index)
{
    if (ui->tabControllerWidget->widget(index) == ui->tabCLI)
        ui->console->setFocus(Qt::OtherFocusReason);
}

void MainWindow::on_treeViewExpandAllCheckBox_toggled(bool checked)
{
    if (checked)
        ui->controllerView->expandAll();
    else
        ui->controllerView->collapseAll();
}

void MainWindow::on_diskTreeView_doubleClicked(const QModelIndex& index)
{
    // The row's first column, whether the row is a top-level one (the older family's disks,
    // the enclosures) or a slot under an enclosure.
    if (!index.isValid())
        return;
    QZynDevice* device = deviceAt(index.sibling(index.row(), 0));
    if (device == nullptr || device->type != QZynDevice::Disk)
        return;
    auto* disk = static_cast<QZynDisk*>(device);
    if (disk->GetState() == 0)
        return;
    DialogDiskDetail dialog(disk, nullptr);
    dialog.exec();
}

void MainWindow::RaidSetTreeCurrentChanged(const QModelIndex&, const QModelIndex&)
{
}

void MainWindow::VolumeSetTreeCurrentChanged(const QModelIndex&, const QModelIndex&)
{
}

void MainWindow::DiskTreeCurrentChanged(const QModelIndex&, const QModelIndex&)
{
}
