// The main window's actions, its menus, its tool bar and the tree's context menu, and which
// commands fit the controller tree's current row.
#include "ui/dialog/mainwindow.h"

#include "devices/controller.h"
#include "devices/raidset.h"
#include "devices/sysinfo.h"
#include "devices/volumeset.h"
#include "ui/dialog/raiddialogs.h"
#include "ui/model/itemmodel.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QTcpServer>
#include <QMenu>
#include <QMenuBar>

namespace {

const char* const kAppIconFolder = ":/images/icons/app/";
const QRect kMenuBarGeometry(0, 0, 1280, 22);
const QSize kToolBarIconSize(32, 32);

// Whether the controller's web-page proxy listens (also while it is paused).
bool proxyListening(const QZynController* controller)
{
    const QTcpServer* server = controller->GetHttpProxyServer();
    return server != nullptr && server->isListening();
}

} // namespace

QAction* MainWindow::newAction(const char* objectName, const char* iconFile, void (MainWindow::*slot)())
{
    auto* action = new QAction(this);
    action->setObjectName(QString::fromLatin1(objectName));
    if (iconFile != nullptr)
        action->setIcon(QIcon(QString::fromLatin1(kAppIconFolder) + QString::fromLatin1(iconFile)));
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void MainWindow::InitActions()
{
    actionExit = new QAction(this);
    actionExit->setObjectName(QStringLiteral("actionExit"));
    actionExit->setIcon(QIcon(QString::fromLatin1(kAppIconFolder) + QStringLiteral("exit.png")));
    connect(actionExit, &QAction::triggered, this, &QWidget::close);
    actionAbout = newAction("actionAbout", "query.png", &MainWindow::About);
    actionHelp = newAction("actionHelp", "query.png", &MainWindow::About);
    actionConnect = newAction("actionConnect", "connect.png", &MainWindow::DoActionConnect);
    actionDisconnect = newAction("actionDisconnect", "disconnect.png", &MainWindow::DoActionDisconnect);
    actionConfigure = newAction("actionConfigure", "config.png", &MainWindow::DoActionSetup);
    actionScheduler = newAction("actionScheduler", "clock.png", &MainWindow::DoActionScheduler);
    actionQuickCreate = newAction("actionQuickCreate", "add.png", &MainWindow::DoActionQuickCreate);
    actionAddRaidSet = newAction("actionAddRaidSet", "add.png", &MainWindow::DoActionAddRaidSet);
    actionAddNestedRaid = newAction("actionAddNestedRaid", "add.png", &MainWindow::DoActionAddNestedRaid);
    actionRemoveNestedRaid = newAction("actionRemoveNestedRaid", "delete.png", &MainWindow::DoActionRemoveNestedRaid);
    actionRemoveRaidSet = newAction("actionRemoveRaidSet", "delete.png", &MainWindow::DoActionRemoveRaidSet);
    actionActivateIncompleteRaidSet = newAction("actionActivateIncompleteRaidSet", nullptr,
                                                &MainWindow::DoActionActivateIncompleteRaidSet);
    actionExpandRaidSet = newAction("actionExpandRaidSet", "add.png", &MainWindow::DoActionExpandRaidSet);
    actionAddVolume = newAction("actionAddVolume", "add.png", &MainWindow::DoActionAddVolume);
    actionRemoveVolume = newAction("actionRemoveVolume", "delete.png", &MainWindow::DoActionRemoveVolume);
    actionStopVolumeChecking = newAction("actionStopVolumeChecking", "delete.png", &MainWindow::DoActionStopVolumeChecking);
    actionAddHotSpareDisk = newAction("actionAddHotSpareDisk", "add.png", &MainWindow::DoActionAddHotSpareDisk);
    actionRemoveHotSpareDisk = newAction("actionRemoveHotSpareDisk", "delete.png", &MainWindow::DoActionRemoveHotSpareDisk);
    actionAddPassThroughDisk = newAction("actionAddPassThroughDisk", "add.png", &MainWindow::DoActionAddPassThroughDisk);
    actionMuteBeeper = newAction("actionMuteBeeper", "mute.png", &MainWindow::DoActionMuteBeeper);
    actionLaunchBrowser = newAction("actionLaunchBrowser", "advanced_features.png", &MainWindow::DoActionLaunchBrowser);
    actionSaveBin = newAction("actionSaveBin", "save_setting.png", &MainWindow::DoActionSaveBin);
    actionRestoreBin = newAction("actionRestoreBin", "load_setting.png", &MainWindow::DoActionRestoreBin);
    actionCollectData = newAction("actionCollectData", "save_setting.png", &MainWindow::DoActionCollectData);
    actionLocalHostRescanDevice = newAction("actionLocalHostRescanDevice", "reload.png",
                                            &MainWindow::DoActionLocalHostRescanDevice);
    actionNetworkRescanDevice = newAction("actionNetworkRescanDevice", "reload.png",
                                          &MainWindow::DoActionNetworkRescanDevice);
    separatorAction = new QAction(this);
    separatorAction->setSeparator(true);

    actionAbout->setMenuRole(QAction::AboutRole);
    actionConfigure->setMenuRole(QAction::PreferencesRole);
    actionExit->setMenuRole(QAction::QuitRole);

    // A page button runs its action's command, signal to signal.
    const std::pair<QAbstractButton*, QAction*> buttons[] = {
        {ui->doAdvanceFeatures, actionLaunchBrowser},
        {ui->connectToolButton, actionConnect},
        {ui->disconnectToolButton, actionDisconnect},
        {ui->muteBeeperCommandLinkButton, actionMuteBeeper},
        {ui->quickCreateRaidSetCommandLinkButton, actionQuickCreate},
        {ui->createRaidSetCommandLinkButton, actionAddRaidSet},
        {ui->createNestedRaidCommandLinkButton, actionAddNestedRaid},
        {ui->deleteNestedRaidCommandLinkButton, actionRemoveNestedRaid},
        {ui->deleteRaidSetCommandLinkButton, actionRemoveRaidSet},
        {ui->activateIncompleteRaidSetCmmandLinkButton, actionActivateIncompleteRaidSet},
        {ui->expandRaidSetCommandLinkButton, actionExpandRaidSet},
        {ui->createPassThrouthDiskCommandLinkButton, actionAddPassThroughDisk},
        {ui->createHotSpareDiskCommandLinkButton, actionAddHotSpareDisk},
        {ui->deleteHotSpareDiskCommandLinkButton, actionRemoveHotSpareDisk},
        {ui->createVolumeCommandLinkButton, actionAddVolume},
        {ui->deleteVolumeCommandLinkButton, actionRemoveVolume},
        {ui->createHotSpareForRaidSetDiskCommandLinkButton, actionAddHotSpareDisk},
        {ui->deleteHotSpareForRaidSetCommandLinkButton, actionRemoveHotSpareDisk},
    };
    for (const auto& b : buttons)
        connect(b.first, &QAbstractButton::clicked, b.second, &QAction::triggered);
    ui->connectToolButton->setToolTip(tr("Connect to remote controller via IP address"));
    ui->disconnectToolButton->setToolTip(tr("Disconnect remote controller"));
    ui->expandRaidSetCommandLinkButton->hide();

    UpdateActions();
}

void MainWindow::InitMenuBar()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    m_menuBar->setGeometry(kMenuBarGeometry);

    menuFile = new QMenu(m_menuBar);
    menuFile->setObjectName(QStringLiteral("menuFile"));
    menuFile->setTitle(tr("File"));
    menuFile->addAction(actionConfigure);
    menuFile->addAction(actionExit);
    m_menuBar->addMenu(menuFile);

    InitEditMenuBar(m_menuBar);
    InitRAIDManagementMenuBar(m_menuBar);

    menuHelp = new QMenu(m_menuBar);
    menuHelp->setObjectName(QStringLiteral("menuHelp"));
    menuHelp->setTitle(tr("Help"));
    menuHelp->addAction(actionAbout);
    m_menuBar->addMenu(menuHelp);

    setMenuBar(m_menuBar);
}

void MainWindow::InitEditMenuBar(QMenuBar* bar)
{
    menuEdit = new QMenu(bar);
    menuEdit->setObjectName(QStringLiteral("menuEdit"));
    menuEdit->setTitle(tr("Edit"));
    menuEdit->addAction(actionLocalHostRescanDevice);
    menuEdit->addAction(actionNetworkRescanDevice);
    menuEdit->addAction(actionScheduler);
    bar->addMenu(menuEdit);
}

void MainWindow::InitRAIDManagementMenuBar(QMenuBar* bar)
{
    menuOps = new QMenu(bar);
    menuOps->setObjectName(QStringLiteral("menuOps"));
    menuOps->setTitle(tr("RAID Operations"));
    menuOps->addAction(actionAddRaidSet);
    menuOps->addAction(actionAddPassThroughDisk);
    menuOps->addAction(actionRemoveRaidSet);
    menuOps->addSeparator();
    menuOps->addAction(actionAddVolume);
    menuOps->addAction(actionRemoveVolume);
    menuOps->addSeparator();
    menuOps->addAction(actionAddHotSpareDisk);
    menuOps->addAction(actionRemoveHotSpareDisk);
    menuOps->addAction(separatorAction);
    menuOps->addAction(actionAddNestedRaid);
    menuOps->addAction(actionRemoveNestedRaid);
    menuOps->addAction(actionSaveBin);
    menuOps->addAction(actionRestoreBin);
    menuOps->addAction(actionCollectData);
    menuOps->addSeparator();
    menuOps->addAction(actionLaunchBrowser);
    menuOps->addAction(actionMuteBeeper);
    bar->addMenu(menuOps);
}

void MainWindow::InitToolBar()
{
    ui->connectToolButton->show();
    ui->disconnectToolButton->show();
    ui->toolButton->hide();
    QToolBar* bar = ui->toolBar;
    bar->setIconSize(kToolBarIconSize);
    bar->addAction(actionConnect);
    bar->addAction(actionDisconnect);
    bar->addSeparator();
    bar->addAction(actionConfigure);
    bar->addSeparator();
    bar->addAction(actionAddRaidSet);
    bar->addAction(actionRemoveRaidSet);
    bar->addSeparator();
    bar->addAction(actionAddVolume);
    bar->addAction(actionRemoveVolume);
    bar->addSeparator();
    bar->addAction(actionAddNestedRaid);
    bar->addAction(actionRemoveNestedRaid);
    bar->addSeparator();
    bar->addAction(actionAddHotSpareDisk);
    bar->addAction(actionRemoveHotSpareDisk);
    bar->addSeparator();
    bar->addAction(actionAddPassThroughDisk);
    bar->addSeparator();
    bar->addAction(actionMuteBeeper);
    bar->addSeparator();
    bar->addAction(actionScheduler);
    bar->addSeparator();
    bar->addAction(actionLaunchBrowser);
    bar->hide();
}

void MainWindow::UpdateActions()
{
    // 1. The commands that depend on the current row start disabled.
    for (QAction* a : {actionQuickCreate, actionAddRaidSet, actionAddNestedRaid, actionRemoveNestedRaid,
                       actionRemoveRaidSet, actionAddVolume, actionRemoveVolume, actionAddHotSpareDisk,
                       actionRemoveHotSpareDisk, actionAddPassThroughDisk, actionMuteBeeper, actionLaunchBrowser,
                       actionSaveBin, actionRestoreBin, actionCollectData, actionLocalHostRescanDevice,
                       actionNetworkRescanDevice})
        a->setEnabled(false);

    // 2. Their texts and tool tips.
    const struct {
        QAction* action;
        QString text;
        QString tip;
    } texts[] = {
        {actionExit, tr("Exit"), QString()},
        {actionAbout, tr("About"), QString()},
        {actionHelp, tr("Help"), QString()},
        {actionConnect, tr("Connect"), QString()},
        {actionDisconnect, tr("Disconnect"), QString()},
        {actionConfigure, tr("Setup"), tr("Setup")},
        {actionScheduler, tr("Scheduler"), tr("Scheduler")},
        {actionQuickCreate, tr("Quick Create"), tr("Create a default raidset and volume")},
        {actionAddRaidSet, tr("New RaidSet"), tr("Create a new raidset")},
        {actionAddNestedRaid, tr("New Nested RAID"), tr("Add a new nested RAID")},
        {actionRemoveNestedRaid, tr("Delete Nested RAID"), tr("Delete a nested RAID")},
        {actionRemoveRaidSet, tr("Delete RaidSet"), tr("Delete raidset")},
        {actionAddVolume, tr("New Volume"), tr("Create a new volume")},
        {actionRemoveVolume, tr("Delete Volume"), tr("Delete volume")},
        {actionAddHotSpareDisk, tr("New Hot Spare"), tr("Create a new hot spare")},
        {actionRemoveHotSpareDisk, tr("Delete Hot Spare"), tr("Delete hot spare")},
        {actionAddPassThroughDisk, tr("New Pass-Through Disk"), tr("Create a new pass through disk")},
        {actionMuteBeeper, tr("Mute Beeper"), tr("Mute beeper")},
        {actionLaunchBrowser, tr("Advanced Features"), tr("Advanced Features")},
        {actionSaveBin, tr("Save Controller Settings..."), tr("Save RAID controller settings to file")},
        {actionRestoreBin, tr("Restore Controller Settings..."), tr("Restore RAID controller settings from file")},
        {actionCollectData, tr("Collect Controller Data..."), tr("Collect RAID controller data to file")},
        {actionLocalHostRescanDevice, tr("Rescan Device"), QString()},
        {actionNetworkRescanDevice, tr("Rescan Device(LAN)"), QString()},
    };
    for (const auto& t : texts) {
        t.action->setText(t.text);
        if (!t.tip.isNull())
            t.action->setToolTip(t.tip);
    }

    // 3. The page buttons that depend on the current row.
    for (QWidget* b : {static_cast<QWidget*>(ui->createNestedRaidCommandLinkButton),
                       static_cast<QWidget*>(ui->createVolumeCommandLinkButton),
                       static_cast<QWidget*>(ui->deleteRaidSetCommandLinkButton),
                       static_cast<QWidget*>(ui->createHotSpareForRaidSetDiskCommandLinkButton),
                       static_cast<QWidget*>(ui->deleteHotSpareForRaidSetCommandLinkButton),
                       static_cast<QWidget*>(ui->activateIncompleteRaidSetCmmandLinkButton),
                       static_cast<QWidget*>(ui->deleteVolumeCommandLinkButton)})
        b->setEnabled(false);
    ui->deleteRaidSetCommandLinkButton->setText(tr("Delete This RaidSet"));
    ui->deleteRaidSetCommandLinkButton->setDescription(tr("Delete current raidset"));

    // 4. The current row.
    QZynDevice* device = GetCurrentControllerTreeItem();
    if (device == nullptr)
        return;

    // 5. What fits its kind.
    actionMuteBeeper->setEnabled(true);
    switch (device->type) {
    case QZynDevice::LocalHost:
        actionLocalHostRescanDevice->setEnabled(true);
        actionMuteBeeper->setEnabled(false);
        break;
    case QZynDevice::Network:
        actionNetworkRescanDevice->setEnabled(true);
        actionMuteBeeper->setEnabled(false);
        break;
    case QZynDevice::Controller: {
        auto* controller = static_cast<QZynController*>(device);
        for (QAction* a : {actionQuickCreate, actionAddRaidSet, actionRemoveNestedRaid, actionAddHotSpareDisk,
                           actionRemoveHotSpareDisk, actionAddPassThroughDisk, actionSaveBin, actionRestoreBin,
                           actionCollectData})
            a->setEnabled(true);
        // Offered where the controller can make it, as Raid6 is.
        const bool nested = raiddialog::OffersNested(controller);
        actionAddNestedRaid->setEnabled(nested);
        ui->createNestedRaidCommandLinkButton->setEnabled(nested);
        actionLaunchBrowser->setEnabled(proxyListening(controller));
        break;
    }
    case QZynDevice::RaidSet: {
        auto* raidSet = static_cast<QZynRaidSet*>(device);
        QZynController* controller = raidSet->GetOwner();
        if (controller->GetSysInfo()->GetRecord().jbodMode())
            return;
        const QString text = tr("Delete ( %0 )").arg(zynmodel::ViewText(raidSet->GetName()));
        const QString tip = tr("Delete (%0) from (%1)").arg(zynmodel::ViewText(raidSet->GetName()), controller->GetSysInfo()->GetModelName());
        actionRemoveRaidSet->setEnabled(true);
        actionRemoveRaidSet->setText(text);
        actionRemoveRaidSet->setToolTip(tip);
        ui->deleteRaidSetCommandLinkButton->setEnabled(true);
        ui->deleteRaidSetCommandLinkButton->setText(text);
        ui->deleteRaidSetCommandLinkButton->setToolTip(tip);
        if (!raidSet->GetRecord().isPassThrough()) {
            for (QAction* a : {actionAddVolume, actionAddHotSpareDisk, actionRemoveHotSpareDisk})
                a->setEnabled(true);
            for (QWidget* b : {static_cast<QWidget*>(ui->createVolumeCommandLinkButton),
                               static_cast<QWidget*>(ui->createHotSpareForRaidSetDiskCommandLinkButton),
                               static_cast<QWidget*>(ui->deleteHotSpareForRaidSetCommandLinkButton),
                               static_cast<QWidget*>(ui->activateIncompleteRaidSetCmmandLinkButton)})
                b->setEnabled(true);
        }
        break;
    }
    case QZynDevice::VolumeSet: {
        auto* volume = static_cast<QZynVolumeSet*>(device);
        const QZynRaidSet* raidSet = volume->GetRaidSet();
        const QString raidName = raidSet != nullptr ? zynmodel::ViewText(raidSet->GetName()) : QString();
        const QString volumeName = zynmodel::ViewText(volume->GetName());
        const QString text = tr("Delete ( %0 )").arg(volumeName);
        const QString tip = tr("Delete (%0) from (%1)").arg(volumeName, raidName);
        const sGUI_VOLUMESET record = volume->GetRecord();
        const bool nestedPart = record.isNestedMember() && !record.isNested();
        const bool passThrough = raidSet != nullptr && raidSet->GetRecord().isPassThrough();
        if (!passThrough && !nestedPart) {
            actionRemoveVolume->setEnabled(true);
            ui->deleteVolumeCommandLinkButton->setEnabled(true);
            ui->deleteVolumeCommandLinkButton->setText(text);
            ui->deleteVolumeCommandLinkButton->setToolTip(tip);
        }
        actionRemoveVolume->setText(text);
        actionRemoveVolume->setToolTip(tip);
        break;
    }
    default:
        break;
    }

    // 6. The tree's context menu: the enabled commands, in this order.
    for (QAction* a : {actionAddRaidSet, actionAddVolume, actionAddHotSpareDisk, actionAddPassThroughDisk,
                       actionAddNestedRaid, separatorAction, actionRemoveRaidSet, actionRemoveVolume,
                       actionRemoveHotSpareDisk, actionRemoveNestedRaid, actionLaunchBrowser, actionMuteBeeper,
                       actionLocalHostRescanDevice, actionNetworkRescanDevice}) {
        ui->controllerView->removeAction(a);
        if (a->isEnabled())
            ui->controllerView->addAction(a);
    }
}
