// The main window: its form against a description typed from the window's layout, its actions,
// menus and tool bar, which commands each kind of tree row enables, the log list, the tray
// icon, sleep and wake, and the one shut-down road (close with No and Yes, the tray's Quit).
// The window starts the discovery thread and the watchers of a real program; the host is one
// per process, so ctest runs the cases that end the window's life in processes of their own.
#include "cli/console.h"
#include "controllerfixture.h"
#include "dialogfixture.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"
#include "devices/zynlog.h"
#include "modalresponder.h"
#include "cli/cli-zynmsr.h"
#include "ui/dialog/dialogaddcontrollerbyip.h"
#include "ui/dialog/mainwindow.h"
#include "ui_dialogaddcontrollerbyip.h"
#include "ui/model/controlleritemmodel.h"
#include "ui/model/itemmodel.h"
#include "ui_mainwindow.h"
#include "viewfixture.h"
#include "watcher/controllerwatcher.h"
#include "watcher/eventwatcher.h"
#include "windowfixture.h"
#include "zynapplication.h"

#include <QCommandLinkButton>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <thread>

using namespace ctltest;
using namespace viewtest;

namespace {

// Each test program its own addresses: ctest runs them side by side.
const char* const kDiscovery = "127.0.0.170";
const char* const kRigAddress = "127.0.0.171";
const char* const kJbodAddress = "127.0.0.172";
const char* const kOlderAddress = "127.0.0.182";
const char* const kPolledAddress = "127.0.0.173";
const char* const kConnectAddress = "127.0.0.178";
const char* const kSilentAddress = "127.0.0.179";
const char* const kArrivingAddress = "127.0.0.183";
const char* const kSilentSecond = "127.0.0.184";
const char* const kWholeAddress = "127.0.5.2";
const char* const kPaddedAddress = "127.0.5.3";
// Controllers removed as the program ends, and the address their web proxies are tried on.
const char* const kRemovedAddresses[] = {"127.0.3.21", "127.0.3.22", "127.0.3.23"};
const char* const kProxyProbe = "127.0.3.1";
// The product's poll: a silent exchange waits 5 s on the network and 60 s on the driver.
constexpr int kProductPollUs = 10000;
// What quitting, a stop, a removal or a disconnect may take whatever the controllers do.
constexpr qint64 kEndDeadlineMs = 4000;

QString app(const char* file)
{
    return QStringLiteral(":/images/icons/app/") + QLatin1String(file);
}

// A widget of the form: its class and its text (title for a group box).
struct FormWidget {
    const char* name;
    const char* cls;
    const char* text;
};

const FormWidget kForm[] = {
    {"centralWidget", "QWidget", nullptr},
    {"splitter_2", "QSplitter", nullptr},
    {"splitter", "QSplitter", nullptr},
    {"controllerView", "TreeViewController", nullptr},
    {"frame", "QFrame", nullptr},
    {"connectToolButton", "QToolButton", "..."},
    {"disconnectToolButton", "QToolButton", "..."},
    {"toolButton", "QToolButton", "..."},
    {"treeViewExpandAllCheckBox", "QCheckBox", "Expand All"},
    {"stackedWidget", "QStackedWidget", nullptr},
    {"label_12", "QLabel", "Recent Tasks"},
    {"logTreeWidget", "QTreeWidget", nullptr},
    {"label_13", "QLabel", "Please select a \"Controller\",\"RaidSet\" or \"VolumeSet\" to continue..."},
    {"tabControllerWidget", "QTabWidget", nullptr},
    {"groupBoxOverView", "QGroupBox", "General"},
    {"label_15", "QLabel", "Manufacturer:"}, {"labelVendorName", "QLabel", "TextLabel"},
    {"label_3", "QLabel", "Model Name:"}, {"labelCtrlName", "QLabel", "Text"},
    {"label_4", "QLabel", "Firmware Version:"}, {"labelFirmVer", "QLabel", "Text"},
    {"label_5", "QLabel", "BootROM Version:"}, {"labelBootRomVer", "QLabel", "Text"},
    {"label_6", "QLabel", "Serial Number:"}, {"labelCtrlSerial", "QLabel", "Text"},
    {"groupBoxResources", "QGroupBox", "Resources"},
    {"label_32", "QLabel", "CPU Speed:"}, {"labelCPUSpeed", "QLabel", "Text"},
    {"label_39", "QLabel", "Memory:"}, {"labelMemory", "QLabel", "Text"},
    {"label_14", "QLabel", "Beeper:"}, {"labelBeeper", "QLabel", "TextLabel"},
    {"label_16", "QLabel", "DHCP:"}, {"labelDhcp", "QLabel", "TextLabel"},
    {"label_18", "QLabel", "Ethernet:"}, {"labelEthernet", "QLabel", "TextLabel"},
    {"label_10", "QLabel", "MAC Address:"}, {"labelMacAddr", "QLabel", "TextLabel"},
    {"label_20", "QLabel", "IP Address:"}, {"labelIPAddr", "QLabel", "TextLabel"},
    {"raidsetTreeView", "TreeViewRaidSet", nullptr},
    {"volumesetTreeView", "TreeViewVolumeSet", nullptr},
    {"diskTreeView", "TreeViewDisk", nullptr},
    {"hwmonTreeView", "TreeViewHwMon", nullptr},
    {"eventTreeView", "TreeViewEvent", nullptr},
    {"groupBox_4", "QGroupBox", "Event Level"},
    {"label_34", "QLabel", ""}, {"label_40", "QLabel", "Informational"},
    {"label_38", "QLabel", ""}, {"label_42", "QLabel", "Warning"},
    {"label_46", "QLabel", ""}, {"label_47", "QLabel", "Serious"},
    {"label_48", "QLabel", ""}, {"label_49", "QLabel", "Urgent"},
    {"console", "Console", nullptr},
    {"tabRaidSetWidget", "QTabWidget", nullptr},
    {"groupBoxOverView_2", "QGroupBox", "General"},
    {"label_17", "QLabel", "Name:"}, {"labelRaidSetName", "QLabel", nullptr},
    {"label_19", "QLabel", "Total Raw Capacity:"}, {"labelRaidSetTotalCap", "QLabel", nullptr},
    {"label_23", "QLabel", "Member Disks:"}, {"labelRaidSetMemberDisks", "QLabel", nullptr},
    {"label_11", "QLabel", "Free Raw Capacity:"}, {"labelRaidSetFreeCap", "QLabel", nullptr},
    {"label_22", "QLabel", "Supported Volumes:"}, {"labelRaidSetMaxVols", "QLabel", nullptr},
    {"label_25", "QLabel", "Min Member Disk Size:"}, {"labelRaidSetMinDiskSize", "QLabel", nullptr},
    {"label_44", "QLabel", "Current Volumes:"}, {"labelRaidSetCurrentVols", "QLabel", nullptr},
    {"label_24", "QLabel", "Raid Set State:"}, {"labelRaidSetState", "QLabel", nullptr},
    {"raidSetMemberDiskTreeView", "QTreeView", nullptr},
    {"tabVolumeSetWidget", "QTabWidget", nullptr},
    {"groupBoxOverView_3", "QGroupBox", "General"},
    {"label_29", "QLabel", "Name:"}, {"labelVolName", "QLabel", nullptr},
    {"label_30", "QLabel", "Stripe Size:"}, {"labelVolStripeSize", "QLabel", nullptr},
    {"label_28", "QLabel", "Raid Set Name:"}, {"labelVolRaidSetName", "QLabel", nullptr},
    {"label_21", "QLabel", "Block Size:"}, {"labelVolBlockSize", "QLabel", nullptr},
    {"label_33", "QLabel", "Member Disks:"}, {"labelVolMemberDisks", "QLabel", nullptr},
    {"label_35", "QLabel", "Cache Mode:"}, {"labelVolCacheMode", "QLabel", nullptr},
    {"label_27", "QLabel", "Volume Capacity:"}, {"labelVolCapacity", "QLabel", nullptr},
    {"label_36", "QLabel", "Write Protection:"}, {"labelVolWriteProtection", "QLabel", nullptr},
    {"label_31", "QLabel", "SCSI Ch/Id/Lun:"}, {"labelVolScsiId", "QLabel", nullptr},
    {"label_41", "QLabel", "Tagged Queuing:"}, {"labelVolTaggedQueue", "QLabel", nullptr},
    {"label_26", "QLabel", "Raid Level:"}, {"labelVolRaidLevel", "QLabel", nullptr},
    {"label_43", "QLabel", "State:"}, {"labelVolState", "QLabel", nullptr},
};

// The command-link buttons: text, description (null: none) and icon (null: none).
struct LinkButton {
    const char* name;
    const char* text;
    const char* description;
    const char* icon;
};

const LinkButton kLinks[] = {
    {"quickCreateRaidSetCommandLinkButton", "Quick Create", "Create a default raidset with all free disks and a default volume", "add.png"},
    {"createRaidSetCommandLinkButton", "Create RaidSet", "Create a new raidset", "add.png"},
    {"createNestedRaidCommandLinkButton", "Create Nested(Hybrid) RAID", "Create Raid00/100/30/50/60", "add.png"},
    {"createHotSpareDiskCommandLinkButton", "Create HotSpare Disk", "Create a global hot spare disk", "add.png"},
    {"createPassThrouthDiskCommandLinkButton", "Create PassThrough Disk", "Create one or more pass through disk", "add.png"},
    {"deleteNestedRaidCommandLinkButton", "Delete Nested(Hybrid) RAID", "Delete Raid00/100/30/50/60", "delete.png"},
    {"deleteHotSpareDiskCommandLinkButton", "Delete HotSpare Disk", "Delete a global hotspare disk", "delete.png"},
    {"doAdvanceFeatures", "Advanced Features", "Launch browser to do advance settings", "advanced_features.png"},
    {"muteBeeperCommandLinkButton", "Mute Beeper", nullptr, "mute.png"},
    {"createVolumeCommandLinkButton", "Create Volume", "Create a new volume", "add.png"},
    {"deleteRaidSetCommandLinkButton", "Delete This RaidSet", "Delete current raidset", "delete.png"},
    {"createHotSpareForRaidSetDiskCommandLinkButton", "Create HotSpare Disk", "Create a raidset-dedicated hot spare disk", "add.png"},
    {"deleteHotSpareForRaidSetCommandLinkButton", "Delete HotSpare Disk", "Delete a raidset-dedicated hotspare disk", "delete.png"},
    {"expandRaidSetCommandLinkButton", "Expand RaidSet", "Expand an exist raidset", nullptr},
    {"activateIncompleteRaidSetCmmandLinkButton", "Activate Incomplete RaidSet", "Activate an incomplete raidset", "activate.png"},
    {"deleteVolumeCommandLinkButton", "Delete This Volume", "Delete current volume", "delete.png"},
};

struct Tab {
    const char* widget;
    const char* text;
    const char* icon;
};

// The commands whose enabled state follows the current row.
const char* const kFollowing[] = {
    "actionQuickCreate", "actionAddRaidSet", "actionAddNestedRaid", "actionRemoveNestedRaid", "actionRemoveRaidSet",
    "actionAddVolume", "actionRemoveVolume", "actionAddHotSpareDisk", "actionRemoveHotSpareDisk",
    "actionAddPassThroughDisk", "actionMuteBeeper", "actionLaunchBrowser", "actionSaveBin", "actionRestoreBin",
    "actionCollectData", "actionLocalHostRescanDevice", "actionNetworkRescanDevice",
};
const char* const kPageButtons[] = {
    "createNestedRaidCommandLinkButton", "createVolumeCommandLinkButton", "deleteRaidSetCommandLinkButton", "createHotSpareForRaidSetDiskCommandLinkButton",
    "deleteHotSpareForRaidSetCommandLinkButton", "activateIncompleteRaidSetCmmandLinkButton", "deleteVolumeCommandLinkButton",
};

// Object names of a list of actions; "|" for a separator.
QStringList namesOf(const QList<QAction*>& actions)
{
    QStringList out;
    for (const QAction* a : actions)
        out << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    return out;
}

QString settingsFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Varnel/Palvir.conf");
}

sGUI_RAIDSET raidSetRecord(const char* name, uint8_t state, std::initializer_list<int> volumes)
{
    sGUI_RAIDSET r;
    std::memset(&r, 0, sizeof r);
    r.setName(name);
    r.setMemberCount(3);
    r.setStateFlags(state);
    r.setVolumeCount(int(volumes.size()));
    int i = 0;
    for (int v : volumes)
        r.setVolumeNumber(i++, uint8_t(v));
    return r;
}

sGUI_VOLUMESET volumeRecord(const char* name, int raidSet, uint32_t flags)
{
    sGUI_VOLUMESET v;
    std::memset(&v, 0, sizeof v);
    zynwire::putText(v.bytes + sGUI_VOLUMESET::kName, sGUI_VOLUMESET::kNameSize, name);
    zynwire::putU64(v.bytes + sGUI_VOLUMESET::kCapacity, 1000000);
    v.bytes[sGUI_VOLUMESET::kRaidSet] = uint8_t(raidSet);
    zynwire::putU32(v.bytes + sGUI_VOLUMESET::kFlags, flags);
    return v;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void form();
    void actionsMenusAndToolBar();
    void logList();
    void trayIcon();
    void actionsFollowTheCurrentRow();
    void sleepAndWake();
    void closeAsksFirst();
    void trayQuitShutsDown();
    void passwordGate();
    void addByAddressDialog();
    void connectTakesOnlyWholeAddresses();
    void connectAndDisconnect();
    void controllersComeAndGo();
    void silentControllersHoldNoEnd();
    void removedControllersStopAtTheEnd();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<zynsim::Simulator> m_sim;
};

void TestMainWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir().mkpath(m_dir.path() + "/driver");
    qputenv("ZYNMSR_DRIVER_DIR", (m_dir.path() + "/driver").toLocal8Bit());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    ZynApplication::SetApplicationFolder(m_dir.path());
    simtest::fastPolls();
    ControllerWatcher::SetSettlingMilliseconds(0);
    ControllerEventWatcherThread::Install();
    InstallControllerModels();
}

void TestMainWindow::cleanup()
{
    emptyHost();
    m_sim.reset();
}

void TestMainWindow::form()
{
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Palvir"));
    QCOMPARE(window.size(), QSize(1375, 800));
    QCOMPARE(window.iconSize(), QSize(64, 64));
    QCOMPARE(window.toolButtonStyle(), Qt::ToolButtonIconOnly);
    QCOMPARE(window.dockOptions(), QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks);
    for (const FormWidget& w : kForm) {
        QWidget* widget = window.findChild<QWidget*>(QLatin1String(w.name));
        QVERIFY2(widget != nullptr, w.name);
        QVERIFY2(QLatin1String(widget->metaObject()->className()) == QLatin1String(w.cls), w.name);
        if (w.text == nullptr)
            continue;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget))
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            text = button->text();
        else if (auto* box = qobject_cast<QGroupBox*>(widget))
            text = box->title();
        QVERIFY2(text == QLatin1String(w.text), w.name);
    }
    for (const LinkButton& b : kLinks) {
        auto* button = window.findChild<QCommandLinkButton*>(QLatin1String(b.name));
        QVERIFY2(button != nullptr, b.name);
        QVERIFY2(button->text() == QLatin1String(b.text), b.name);
        QVERIFY2(button->description() == QLatin1String(b.description ? b.description : ""), b.name);
        QVERIFY2(button->iconSize() == QSize(32, 32), b.name);
        if (b.icon == nullptr) {
            QVERIFY2(imageOf(button->icon()) == imageOf(QCommandLinkButton().icon()), b.name);   // the button's own arrow
        } else {
            QVERIFY2(!imageOf(app(b.icon)).isNull(), b.icon);
            QVERIFY2(imageOf(button->icon()) == imageOf(app(b.icon)), b.name);
        }
    }
    // The tree pane's tool buttons; the third names an image the program does not hold.
    QCOMPARE(imageOf(ui->connectToolButton->icon()), imageOf(app("connect.png")));
    QCOMPARE(imageOf(ui->disconnectToolButton->icon()), imageOf(app("disconnect.png")));
    QVERIFY(!QFile::exists(QStringLiteral(":/images/tt.ico")));
    QVERIFY(ui->toolButton->isHidden());
    QVERIFY(ui->expandRaidSetCommandLinkButton->isHidden());
    QCOMPARE(ui->connectToolButton->toolTip(), QStringLiteral("Connect to remote controller via IP address"));
    QCOMPARE(ui->disconnectToolButton->toolTip(), QStringLiteral("Disconnect remote controller"));

    const std::vector<std::pair<QTabWidget*, std::vector<Tab>>> tabs = {
        {ui->tabControllerWidget,
         {{"tabSysInfo", "Overview", ":/images/icons/app/app-icon.png"},
          {"tabRaidSet", "RaidSets", ":/images/icons/devices/raidset.png"},
          {"tabVolumeSet", "Volumes", ":/images/icons/devices/database-icon.png"},
          {"tabDisk", "Disks", ":/images/icons/devices/disk.png"},
          {"tabHwInfo", "H/W Monitor", ":/images/icons/hwmon/controller.png"},
          {"tabEventInfo", "Events", ":/images/icons/event/info.png"},
          {"tabCLI", "CLI", ":/images/icons/app/Terminal.png"}}},
        {ui->tabRaidSetWidget,
         {{"tabRaidInfo", "Overview", ":/images/icons/app/app-icon.png"},
          {"tabMemberDisks", "Member Disk", ":/images/icons/devices/disk.png"}}},
        {ui->tabVolumeSetWidget, {{"tabVolInfo", "Overview", ":/images/icons/app/app-icon.png"}}},
    };
    for (const auto& t : tabs) {
        QCOMPARE(t.first->count(), int(t.second.size()));
        QCOMPARE(t.first->currentIndex(), 0);
        for (int i = 0; i < t.first->count(); ++i) {
            QCOMPARE(t.first->widget(i)->objectName(), QLatin1String(t.second[i].widget));
            QCOMPARE(t.first->tabText(i), QLatin1String(t.second[i].text));
            QCOMPARE(imageOf(t.first->tabIcon(i)), imageOf(t.second[i].icon));
        }
    }
    const QStringList pages{"pageStarted", "pageController", "pageRaidSet", "pageVolume"};
    for (int i = 0; i < pages.size(); ++i)
        QCOMPARE(ui->stackedWidget->widget(i)->objectName(), pages[i]);
    QCOMPARE(ui->stackedWidget->currentIndex(), 0);
    QCOMPARE(ui->splitter_2->orientation(), Qt::Vertical);
    QCOMPARE(ui->splitter->orientation(), Qt::Horizontal);
    QCOMPARE(ui->label_13->font().pointSize(), 11);
    QCOMPARE(ui->console->styleSheet(), QStringLiteral("background-color: rgb(0, 0, 0);\ncolor: rgb(255, 255, 255);"));
    QCOMPARE(ui->console->font().family(), QStringLiteral("Courier"));
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(ui->controllerView),
                                 static_cast<QAbstractItemView*>(ui->diskTreeView),
                                 static_cast<QAbstractItemView*>(ui->hwmonTreeView)})
        QCOMPARE(v->editTriggers(), QAbstractItemView::EditKeyPressed);
    QVERIFY(ui->diskTreeView->isSortingEnabled());
    QVERIFY(ui->volumesetTreeView->isSortingEnabled());
    QCOMPARE(ui->logTreeWidget->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(ui->logTreeWidget->iconSize(), QSize(20, 20));
    QCOMPARE(ui->toolBar->windowTitle(), QStringLiteral("toolBar"));
    QCOMPARE(ui->toolBar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QCOMPARE(ui->actionPreferences->text(), QStringLiteral("Preferences"));

    // The log list's columns, and the console on the engine: help prints the overview.
    QTreeWidgetItem* header = ui->logTreeWidget->headerItem();
    QStringList columns;
    for (int c = 0; c < header->columnCount(); ++c)
        columns << header->text(c) + ":" + QString::number(ui->logTreeWidget->columnWidth(c));
    QCOMPARE(columns, (QStringList{"State:50", "Date:150", "Time:150", "Source:200", "Message:250"}));
    QVERIFY(!ui->logTreeWidget->rootIsDecorated());
    ui->console->setFocus();
    QTest::keyClicks(ui->console, QStringLiteral("main"));
    QTest::keyClick(ui->console, Qt::Key_Return);
    QVERIFY(ui->console->toPlainText().contains(QStringLiteral("\nCommand Format: <CMD> [Sub-Command] [Parameters].\n")));

    const QString shots = qEnvironmentVariable("PALVIR_SHOT_DIR");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.grab().save(shots + "/mainwindow.png"));
    }
}

void TestMainWindow::actionsMenusAndToolBar()
{
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    QMenuBar* bar = window.findChild<QMenuBar*>(QStringLiteral("menuBar"));
    QVERIFY(bar != nullptr);
    QCOMPARE(window.menuBar(), bar);
    QStringList menus;
    for (QAction* a : bar->actions())
        menus << a->menu()->objectName() + "=" + a->text() + ":" + namesOf(a->menu()->actions()).join(' ');
    QCOMPARE(menus, (QStringList{
        "menuFile=File:actionConfigure actionExit",
        "menuEdit=Edit:actionLocalHostRescanDevice actionNetworkRescanDevice actionScheduler",
        "menuOps=RAID Operations:actionAddRaidSet actionAddPassThroughDisk actionRemoveRaidSet | actionAddVolume "
        "actionRemoveVolume | actionAddHotSpareDisk actionRemoveHotSpareDisk | actionAddNestedRaid "
        "actionRemoveNestedRaid actionSaveBin actionRestoreBin actionCollectData | actionLaunchBrowser actionMuteBeeper",
        "menuHelp=Help:actionAbout"}));
    QCOMPARE(namesOf(ui->toolBar->actions()).join(' '),
             QStringLiteral("actionConnect actionDisconnect | actionConfigure | actionAddRaidSet actionRemoveRaidSet | "
                            "actionAddVolume actionRemoveVolume | actionAddNestedRaid actionRemoveNestedRaid | "
                            "actionAddHotSpareDisk actionRemoveHotSpareDisk | actionAddPassThroughDisk | actionMuteBeeper | "
                            "actionScheduler | actionLaunchBrowser"));
    QVERIFY(ui->toolBar->isHidden());
    QCOMPARE(ui->toolBar->iconSize(), QSize(32, 32));

    // Every command: its text, tool tip and icon, no shortcut; the three menu roles.
    struct Command {
        const char* name;
        const char* text;
        const char* tip;   // null: none set
        const char* icon;  // null: none
    };
    const Command commands[] = {
        {"actionExit", "Exit", nullptr, "exit.png"},
        {"actionAbout", "About", nullptr, "query.png"},
        {"actionHelp", "Help", nullptr, "query.png"},
        {"actionConnect", "Connect", nullptr, "connect.png"},
        {"actionDisconnect", "Disconnect", nullptr, "disconnect.png"},
        {"actionConfigure", "Setup", "Setup", "config.png"},
        {"actionScheduler", "Scheduler", "Scheduler", "clock.png"},
        {"actionQuickCreate", "Quick Create", "Create a default raidset and volume", "add.png"},
        {"actionAddRaidSet", "New RaidSet", "Create a new raidset", "add.png"},
        {"actionAddNestedRaid", "New Nested RAID", "Add a new nested RAID", "add.png"},
        {"actionRemoveNestedRaid", "Delete Nested RAID", "Delete a nested RAID", "delete.png"},
        {"actionRemoveRaidSet", "Delete RaidSet", "Delete raidset", "delete.png"},
        {"actionExpandRaidSet", "", nullptr, "add.png"},
        {"actionAddVolume", "New Volume", "Create a new volume", "add.png"},
        {"actionRemoveVolume", "Delete Volume", "Delete volume", "delete.png"},
        {"actionStopVolumeChecking", "", nullptr, "delete.png"},
        {"actionAddHotSpareDisk", "New Hot Spare", "Create a new hot spare", "add.png"},
        {"actionRemoveHotSpareDisk", "Delete Hot Spare", "Delete hot spare", "delete.png"},
        {"actionAddPassThroughDisk", "New Pass-Through Disk", "Create a new pass through disk", "add.png"},
        {"actionMuteBeeper", "Mute Beeper", "Mute beeper", "mute.png"},
        {"actionLaunchBrowser", "Advanced Features", "Advanced Features", "advanced_features.png"},
        {"actionSaveBin", "Save Controller Settings...", "Save RAID controller settings to file", "save_setting.png"},
        {"actionRestoreBin", "Restore Controller Settings...", "Restore RAID controller settings from file", "load_setting.png"},
        {"actionCollectData", "Collect Controller Data...", "Collect RAID controller data to file", "save_setting.png"},
        {"actionLocalHostRescanDevice", "Rescan Device", nullptr, "reload.png"},
        {"actionNetworkRescanDevice", "Rescan Device(LAN)", nullptr, "reload.png"},
    };
    for (const Command& c : commands) {
        auto* a = window.findChild<QAction*>(QLatin1String(c.name));
        QVERIFY2(a != nullptr, c.name);
        QVERIFY2(a->text() == QLatin1String(c.text), c.name);
        if (c.tip != nullptr)
            QVERIFY2(a->toolTip() == QLatin1String(c.tip), c.name);
        QVERIFY2(a->shortcut().isEmpty(), c.name);
        QVERIFY2(!imageOf(app(c.icon)).isNull(), c.icon);
        QVERIFY2(imageOf(a->icon()) == imageOf(app(c.icon)), c.name);
    }
    QCOMPARE(window.findChild<QAction*>("actionAbout")->menuRole(), QAction::AboutRole);
    QCOMPARE(window.findChild<QAction*>("actionConfigure")->menuRole(), QAction::PreferencesRole);
    QCOMPARE(window.findChild<QAction*>("actionExit")->menuRole(), QAction::QuitRole);

    // A page button runs its action's command even while the action is disabled: the button
    // signals the action's triggered signal itself.
    QAction* mute = window.findChild<QAction*>("actionMuteBeeper");
    QSignalSpy muted(mute, &QAction::triggered);
    QVERIFY(!mute->isEnabled());
    ui->muteBeeperCommandLinkButton->click();
    QCOMPARE(muted.count(), 1);

    // The tray's menu.
    QMenu* tray = window.TrayIcon()->contextMenu();
    QStringList trayItems;
    for (QAction* a : tray->actions())
        trayItems << (a->isSeparator() ? QStringLiteral("|") : a->text());
    QCOMPARE(trayItems, (QStringList{"About", "Mi&nimize", "Ma&ximize", "&Restore", "|", "&Quit"}));
}

void TestMainWindow::logList()
{
    MainWindow window;
    QTreeWidget* list = window.Form()->logTreeWidget;
    // The start-up notice stands in the status bar only.
    QVERIFY(!window.statusBar()->currentMessage().isEmpty());
    // ... and it is the watcher's notice, one text for both.
    QCOMPARE(window.statusBar()->currentMessage(), ControllerWatcher::NoticeLine());
    QCOMPARE(list->topLevelItemCount(), 0);

    struct Record {
        quint32 flags, source, level;
        const char* text;
        const char* icon;
    };
    const Record records[] = {
        {QZynLog::LogList, QZynDevice::LocalHost, 4, "first", "info.png"},
        {QZynLog::LogList | QZynLog::StatusBar, QZynDevice::Network, 2, "both", "error.png"},
        {QZynLog::StatusBar, QZynDevice::Controller, 3, "status only", nullptr},
        {QZynLog::LogList, QZynDevice::Controller, 3, "warning", "warning.png"},
        {QZynLog::LogList, QZynDevice::RaidSet, 1, "urgent", "urgent.png"},
        {QZynLog::LogList, 77, 9, "odd level and source", "urgent.png"},
        {0, QZynDevice::Disk, 4, "neither", nullptr},
    };
    QStringList expected;
    for (const Record& r : records) {
        window.LogMessage(new QZynLog(r.flags, r.source, r.level, QString::fromLatin1(r.text)));
        if (r.icon != nullptr)
            expected.prepend(QZynDevice::KindName(int(r.source)) + "|" + r.text + "|" + r.icon);
        if (r.flags & QZynLog::StatusBar)
            QCOMPARE(window.statusBar()->currentMessage(), QString::fromLatin1(r.text));
    }
    window.LogMessage(nullptr);
    QStringList rows;
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    // Rows of one image share one icon (the list keeps every row): one cache key per image.
    QHash<QString, qint64> keys;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        const QString image = expected.value(i).section('|', 2);
        QCOMPARE(keys.value(image, row->icon(0).cacheKey()), row->icon(0).cacheKey());
        keys.insert(image, row->icon(0).cacheKey());
        QCOMPARE(row->text(1), today);
        QVERIFY(QTime::fromString(row->text(2), Qt::TextDate).isValid());
        QString icon;
        for (const char* name : {"info.png", "warning.png", "error.png", "urgent.png"})
            if (imageOf(row->icon(0)) == imageOf(QStringLiteral(":/images/icons/event/") + name))
                icon = QLatin1String(name);
        rows << row->text(3) + "|" + row->text(4) + "|" + icon;
    }
    QCOMPARE(rows, expected);
    // Ten in a row: the newest on top; a sorted list stays sorted after the row goes in.
    for (int i = 0; i < 10; ++i)
        window.LogMessage(new QZynLog(QZynLog::LogList, QZynDevice::LocalHost, 4, QString::number(i)));
    QCOMPARE(list->topLevelItem(0)->text(4), QStringLiteral("9"));
    QCOMPARE(list->topLevelItem(9)->text(4), QStringLiteral("0"));
    list->setSortingEnabled(true);
    window.LogMessage(new QZynLog(QZynLog::LogList, QZynDevice::LocalHost, 4, QStringLiteral("sorted")));
    QVERIFY(list->isSortingEnabled());
}

void TestMainWindow::trayIcon()
{
    MainWindow window;
    QSystemTrayIcon* tray = window.TrayIcon();
    QCOMPARE(tray->toolTip(), QStringLiteral("tray icon"));
    QCOMPARE(imageOf(tray->icon()), imageOf(app("app-icon.png")));
    QCOMPARE(imageOf(window.windowIcon()), imageOf(app("app-icon.png")));
    window.hide();
    emit tray->activated(QSystemTrayIcon::Trigger);
    QVERIFY(window.isHidden());
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(window.isVisible());

    ModalResponder responder;
    responder.press(QMessageBox::Ok);
    responder.press(QMessageBox::Ok);
    emit tray->messageClicked();
    window.About();
    QCOMPARE(responder.seen().size(), 2);
    QCOMPARE(responder.seen()[0].title, QStringLiteral("Palvir"));
    QCOMPARE(responder.seen()[0].text, QStringLiteral("Message"));
    QCOMPARE(responder.seen()[0].icon, int(QMessageBox::Information));
    QCOMPARE(responder.seen()[1].title, QStringLiteral("About Palvir"));
    const QString about = responder.seen()[1].text;
    QVERIFY2(about.startsWith("<h2>Palvir 1.0.1</h2><p>Zynlib: 360</p><p>PWD: " + m_dir.path() + "</p>"), qPrintable(about));
    QVERIFY(about.endsWith("<p>Palvir is an application that manages Varnel RAID Controllers.</p>"));
}

void TestMainWindow::actionsFollowTheCurrentRow()
{
    ControllerRig rig;
    QCOMPARE(rig.start(kRigAddress), QString());
    ControllerRig jbod;
    zynsim::ControllerConfig jbodConfig;
    jbodConfig.profile = zynsim::Profile::Jbod;
    QCOMPARE(jbod.start(kJbodAddress, jbodConfig), QString());
    // The older family's volume records have no extended part: the library makes no nested
    // volume there.
    ControllerRig older;
    zynsim::ControllerConfig olderConfig;
    olderConfig.profile = zynsim::Profile::Older;
    QCOMPARE(older.start(kOlderAddress, olderConfig), QString());

    QZynController* c = rig.controller.get();
    const sGUI_RAIDSET plain = raidSetRecord("Raid Set # 000", 0x05, {0, 1});
    const sGUI_RAIDSET passThrough = raidSetRecord("PassThrough", 0x85, {2});
    c->GetRaidSet(0)->SetupInfo(&plain);
    c->GetRaidSet(1)->SetupInfo(&passThrough);
    const sGUI_VOLUMESET volume = volumeRecord("Volume---VOL#000", 0, 0);
    const sGUI_VOLUMESET part = volumeRecord("NestedPart", 0, sGUI_VOLUMESET::kFlagNestedMember);
    const sGUI_VOLUMESET onPassThrough = volumeRecord("OnPassThrough", 1, 0);
    c->GetVolumeSet(0)->SetupInfo(&volume);
    c->GetVolumeSet(1)->SetupInfo(&part);
    c->GetVolumeSet(2)->SetupInfo(&onPassThrough);
    jbod.controller->GetRaidSet(0)->SetupInfo(&plain);

    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    auto* model = qobject_cast<QControllerItemModel*>(ui->controllerView->model());
    QVERIFY(model != nullptr);
    model->AddControllerItem(c, model->GetLocalHostItem());
    model->AddControllerItem(jbod.controller.get(), model->GetLocalHostItem());
    model->AddControllerItem(older.controller.get(), model->GetLocalHostItem());
    const QString modelName = c->GetSysInfo()->GetModelName();

    struct Row {
        const char* name;
        QZynDevice* device;   // null: no current row
        QStringList enabled;
        QStringList buttons;
        QStringList context;
        QString removeRaidSet;   // the texts of the two delete commands
        QString removeVolume;
    };
    // The names as the views show them: the 16-byte fields without their NUL bytes.
    const auto remove = [](QZynDevice* d) {
        const QString name = zynmodel::ViewText(d->type == QZynDevice::RaidSet ? static_cast<QZynRaidSet*>(d)->GetName()
                                                                                : static_cast<QZynVolumeSet*>(d)->GetName());
        return "Delete ( " + name + " )";
    };
    const QString plainDelete = remove(c->GetRaidSet(0));
    const std::vector<Row> rows = {
        {"no row", nullptr, {}, {}, {}, "Delete RaidSet", "Delete Volume"},
        {"local host", model->GetLocalHostItem()->data(zynmodel::DeviceItemRole).value<QZynDevice*>(),
         {"actionLocalHostRescanDevice"}, {}, {"|", "actionLocalHostRescanDevice"}, "Delete RaidSet", "Delete Volume"},
        {"network", model->GetNetworkItem()->data(zynmodel::DeviceItemRole).value<QZynDevice*>(),
         {"actionNetworkRescanDevice"}, {}, {"|", "actionNetworkRescanDevice"}, "Delete RaidSet", "Delete Volume"},
        {"controller", c,
         {"actionQuickCreate", "actionAddRaidSet", "actionAddNestedRaid", "actionRemoveNestedRaid",
          "actionAddHotSpareDisk", "actionRemoveHotSpareDisk", "actionAddPassThroughDisk", "actionMuteBeeper",
          "actionSaveBin", "actionRestoreBin", "actionCollectData"},
         {"createNestedRaidCommandLinkButton"},
         {"actionAddRaidSet", "actionAddHotSpareDisk", "actionAddPassThroughDisk", "actionAddNestedRaid", "|",
          "actionRemoveHotSpareDisk", "actionRemoveNestedRaid", "actionMuteBeeper"},
         "Delete RaidSet", "Delete Volume"},
        {"controller of the older family: no new nested volume", older.controller.get(),
         {"actionQuickCreate", "actionAddRaidSet", "actionRemoveNestedRaid", "actionAddHotSpareDisk",
          "actionRemoveHotSpareDisk", "actionAddPassThroughDisk", "actionMuteBeeper", "actionSaveBin",
          "actionRestoreBin", "actionCollectData"},
         {},
         {"actionAddRaidSet", "actionAddHotSpareDisk", "actionAddPassThroughDisk", "|", "actionRemoveHotSpareDisk",
          "actionRemoveNestedRaid", "actionMuteBeeper"},
         "Delete RaidSet", "Delete Volume"},
        {"raid set", c->GetRaidSet(0),
         {"actionRemoveRaidSet", "actionAddVolume", "actionAddHotSpareDisk", "actionRemoveHotSpareDisk", "actionMuteBeeper"},
         {"createVolumeCommandLinkButton", "deleteRaidSetCommandLinkButton", "createHotSpareForRaidSetDiskCommandLinkButton",
          "deleteHotSpareForRaidSetCommandLinkButton", "activateIncompleteRaidSetCmmandLinkButton"},
         {"actionAddVolume", "actionAddHotSpareDisk", "|", "actionRemoveRaidSet", "actionRemoveHotSpareDisk",
          "actionMuteBeeper"},
         plainDelete, "Delete Volume"},
        {"pass-through raid set", c->GetRaidSet(1), {"actionRemoveRaidSet", "actionMuteBeeper"},
         {"deleteRaidSetCommandLinkButton"}, {"|", "actionRemoveRaidSet", "actionMuteBeeper"}, remove(c->GetRaidSet(1)),
         "Delete Volume"},
        {"volume set", c->GetVolumeSet(0), {"actionRemoveVolume", "actionMuteBeeper"}, {"deleteVolumeCommandLinkButton"},
         {"|", "actionRemoveVolume", "actionMuteBeeper"}, "Delete RaidSet", remove(c->GetVolumeSet(0))},
        {"raid set of a JBOD controller: the menu stays", jbod.controller->GetRaidSet(0), {"actionMuteBeeper"}, {},
         {"|", "actionRemoveVolume", "actionMuteBeeper"}, "Delete RaidSet", "Delete Volume"},
        {"part of a nested volume", c->GetVolumeSet(1), {"actionMuteBeeper"}, {}, {"|", "actionMuteBeeper"},
         "Delete RaidSet", remove(c->GetVolumeSet(1))},
        {"volume on a pass-through raid set", c->GetVolumeSet(2), {"actionMuteBeeper"}, {}, {"|", "actionMuteBeeper"},
         "Delete RaidSet", remove(c->GetVolumeSet(2))},
    };
    for (const Row& r : rows) {
        QModelIndex index;
        if (r.device != nullptr) {
            QStandardItem* item = r.device->type <= QZynDevice::Network
                                      ? (r.device->type == QZynDevice::LocalHost ? model->GetLocalHostItem() : model->GetNetworkItem())
                                      : model->FindItem(r.device, nullptr);
            QVERIFY2(item != nullptr, r.name);
            index = item->index();
        }
        ui->controllerView->setCurrentIndex(index);
        QCOMPARE(window.GetCurrentControllerTreeItem(), r.device);
        QStringList enabled;
        for (const char* name : kFollowing)
            if (window.findChild<QAction*>(QLatin1String(name))->isEnabled())
                enabled << QLatin1String(name);
        QStringList expected = r.enabled;
        std::sort(expected.begin(), expected.end());
        std::sort(enabled.begin(), enabled.end());
        QVERIFY2(enabled == expected, qPrintable(QString::fromLatin1(r.name) + ": " + enabled.join(' ')));
        QStringList buttons;
        for (const char* name : kPageButtons)
            if (window.findChild<QWidget*>(QLatin1String(name))->isEnabled())
                buttons << QLatin1String(name);
        QVERIFY2(buttons == r.buttons, r.name);
        QVERIFY2(namesOf(ui->controllerView->actions()) == r.context,
                 qPrintable(QString::fromLatin1(r.name) + ": " + namesOf(ui->controllerView->actions()).join(' ')));
        QCOMPARE(window.findChild<QAction*>("actionRemoveRaidSet")->text(), r.removeRaidSet);
        QCOMPARE(window.findChild<QAction*>("actionRemoveVolume")->text(), r.removeVolume);
        // The always-on commands.
        for (const char* name : {"actionExit", "actionAbout", "actionConnect", "actionConfigure", "actionScheduler"})
            QVERIFY2(window.findChild<QAction*>(QLatin1String(name))->isEnabled(), name);
    }
    // The delete texts and tool tips of a raid set and of a volume set.
    ui->controllerView->setCurrentIndex(model->FindItem(c->GetRaidSet(0), nullptr)->index());
    QCOMPARE(ui->deleteRaidSetCommandLinkButton->text(), plainDelete);
    const QString raidName = zynmodel::ViewText(c->GetRaidSet(0)->GetName());
    QCOMPARE(ui->deleteRaidSetCommandLinkButton->toolTip(), "Delete (" + raidName + ") from (" + modelName + ")");
    QCOMPARE(window.findChild<QAction*>("actionRemoveRaidSet")->toolTip(), "Delete (" + raidName + ") from (" + modelName + ")");
    ui->controllerView->setCurrentIndex(model->FindItem(c->GetVolumeSet(0), nullptr)->index());
    QCOMPARE(ui->deleteRaidSetCommandLinkButton->text(), QStringLiteral("Delete This RaidSet"));
    QCOMPARE(ui->deleteVolumeCommandLinkButton->text(), remove(c->GetVolumeSet(0)));
    QCOMPARE(ui->deleteVolumeCommandLinkButton->toolTip(), "Delete (" + zynmodel::ViewText(c->GetVolumeSet(0)->GetName()) + ") from (" + raidName + ")");
}

void TestMainWindow::sleepAndWake()
{
    auto source = std::make_shared<iokit::InjectedPowerSource>();
    iokit::setPowerSource(source);
    m_sim = std::make_unique<zynsim::Simulator>();
    QVERIFY(m_sim->addUdpController(kPolledAddress, zynsim::ControllerConfig()));
    {
        MainWindow window;
        // The window starts the controller the host announces; an emptied slot stays behind it.
        QZynController* c = announceOnline(kPolledAddress);
        QVERIFY(c != nullptr);
        ControllerRig gone;
        QCOMPARE(gone.start(kRigAddress), QString());
        QVERIFY(ZynGetHost()->add_controller(gone.controller.get()));
        QVERIFY(ZynGetHost()->remove_controller(gone.controller.get()));
        QCOMPARE(ZynGetHost()->get_total_controllers(), 2);
        QCOMPARE(ZynGetHost()->get_controller(1), nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(c->GetEventWatcher() != nullptr && c->GetEventWatcher()->IsRunning(), 10000);

        MessageLog log;
        QElapsedTimer registered;
        registered.start();
        while (!source->inject(iokit::kIOMessageCanSystemSleep, 1) && registered.elapsed() < 10000)
            QTest::qWait(10);
        QVERIFY(source->inject(iokit::kIOMessageSystemWillSleep, 2));
        QTRY_VERIFY_WITH_TIMEOUT(!c->GetEventWatcher()->IsRunning(), 10000);
        QVERIFY(source->inject(iokit::kIOMessageSystemWillPowerOn, 3));
        QVERIFY(source->inject(iokit::kIOMessageSystemHasPoweredOn, 4));
        QTRY_VERIFY_WITH_TIMEOUT(c->GetEventWatcher()->IsRunning(), 10000);
        QVERIFY(source->inject(0x12345678, 5));
        QTRY_COMPARE_WITH_TIMEOUT(log.matching("^receive\\.\\.\\.").size(), 5, 10000);
        QCOMPARE(log.matching("^receive\\.\\.\\."),
                 (QStringList{"receive...kIOMessageCanSystemSleep", "receive...kIOMessageSystemWillSleep",
                              "receive...kIOMessageSystemWillPowerOn", "receive...kIOMessageSystemHasPoweredOn",
                              "receive...unknown messagetype"}));
    }
    iokit::setPowerSource(nullptr);
}

void TestMainWindow::closeAsksFirst()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    QVERIFY(m_sim->addUdpController(kPolledAddress, zynsim::ControllerConfig()));
    QFile::remove(settingsFile());
    MainWindow window;
    window.show();
    QZynController* c = announceOnline(kPolledAddress);
    QVERIFY(c != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(c->GetEventWatcher() != nullptr && c->GetEventWatcher()->IsRunning(), 10000);
    QThread* watcherThread = window.findChild<QThread*>();
    QVERIFY(watcherThread != nullptr && watcherThread->isRunning());

    ModalResponder responder;
    responder.press(QMessageBox::No);
    QVERIFY(!window.close());
    QCOMPARE(responder.seen().size(), 1);
    const ModalResponder::Seen& asked = responder.seen()[0];
    QCOMPARE(asked.title, QStringLiteral("Close Confirmation?"));
    QCOMPARE(asked.text, QStringLiteral("Are you sure you want to exit?"));
    QCOMPARE(asked.icon, int(QMessageBox::Question));
    QCOMPARE(asked.buttons.size(), 2);
    QCOMPARE(asked.defaultButton, QString());
    QVERIFY(window.isVisible());
    QVERIFY(watcherThread->isRunning());
    QVERIFY(c->GetEventWatcher()->IsRunning());
    QVERIFY(!QFile::exists(settingsFile()));

    responder.press(QMessageBox::Yes);
    QVERIFY(window.close());
    QCOMPARE(responder.seen().size(), 2);
    QVERIFY(!c->GetEventWatcher()->IsRunning());
    QVERIFY(watcherThread->isFinished());
    QSettings stored(settingsFile(), QSettings::IniFormat);
    QVERIFY(stored.contains(QStringLiteral("general/locale")));
    // Closed once: the road is not taken again.
    QFile::remove(settingsFile());
    window.Shutdown();
    QVERIFY(!QFile::exists(settingsFile()));
}

void TestMainWindow::trayQuitShutsDown()
{
    QFile::remove(settingsFile());
    auto window = std::make_unique<MainWindow>();
    window->show();
    QThread* watcherThread = window->findChild<QThread*>();
    QVERIFY(watcherThread != nullptr);
    QMenu* tray = window->TrayIcon()->contextMenu();
    QAction* quit = tray->actions().last();
    QCOMPARE(quit->text(), QStringLiteral("&Quit"));
    ModalResponder responder;
    QTimer::singleShot(0, quit, &QAction::trigger);
    QCoreApplication::exec();   // ends by the tray's Quit, without a question
    QCOMPARE(responder.seen().size(), 0);
    QVERIFY(watcherThread->isFinished());
    QVERIFY(QFile::exists(settingsFile()));
    window.reset();   // no thread outlives the window
}

void TestMainWindow::passwordGate()
{
    ControllerRig rig;
    QCOMPARE(rig.start(kRigAddress), QString());
    QZynController* c = rig.controller.get();
    const QString model = c->GetSysInfo()->GetModelName();
    MainWindow window;
    ModalResponder responder;

    struct Step {
        const char* name;
        std::function<void()> answer;
        bool passes;
        std::vector<int> frames; // what the controller received
        QStringList boxes;       // "class:title:text" of what was shown
    };
    const QString asked = "QInputDialog:" + model + ":Password:";
    const QString refused = "QMessageBox:" + model + ":Invalid Password!!";
    const std::vector<int> check = {ZYN_CMD_GET_SYSINFO, ZYN_CMD_CHECK_PASSWORD};   // each check confirmed
    // Last: another controller answers at the address while the password is typed; the check
    // does not reach it.
    const auto replacedWhileAsked = [&] {
        responder.handle([&](QWidget* w) {
            answerAsAnother(*rig.ctl, "Y000000000000999");
            static_cast<QInputDialog*>(w)->setTextValue(QStringLiteral("0000"));
            static_cast<QInputDialog*>(w)->accept();
        });
        responder.press(QMessageBox::Ok);
    };
    const std::vector<Step> steps = {
        {"cancelled", [&] { responder.cancel(); }, false, {}, {asked}},
        {"empty", [&] { responder.enter(QString()); }, false, {}, {asked}},
        {"wrong", [&] { responder.enter("nope"); responder.press(QMessageBox::Ok); }, false, check, {asked, refused}},
        {"right", [&] { responder.enter("0000"); }, true, check, {asked}},
        {"held: no question", [] {}, true, {}, {}},
        // Every command asks: the road's log-in before the confirming read; refused, no user's.
        {"every command asks", [&] { c->SetStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
             rig.ctl->setLogInForEveryCommand(true); responder.enter("0000"); }, true, {0x23, 0x14, 0x23, 0x14}, {asked}},
        {"every command asks, the road's password refused", [&] {
             c->SetStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH); rig.ctl->setRoadPasswordRefused(true);
             rig.ctl->setLogInForEveryCommand(true); responder.enter("0000"); responder.press(QMessageBox::Ok); },
         false, {0x23, 0x14}, {asked, refused}},
        {"changes ask, the road's password refused", [&] { rig.ctl->setLogInForEveryCommand(false);
             rig.ctl->setPasswordRequired(true); responder.enter("0000"); }, true, check, {asked}},
        {"another controller answers while asked", [&] { c->SetStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
             replacedWhileAsked(); }, false, {ZYN_CMD_GET_SYSINFO}, {asked, refused}},
    };
    int seen = 0;
    for (const Step& step : steps) {
        step.answer();
        rig.ctl->clearLog();
        c->SetAuthorisationHold(7);
        QVERIFY2(window.CheckPassword(c) == step.passes, step.name);
        QVERIFY2(commandsReceived(*rig.ctl) == step.frames, step.name);
        QStringList boxes;
        for (; seen < responder.seen().size(); ++seen) {
            const ModalResponder::Seen& b = responder.seen()[seen];
            boxes << b.cls + ":" + b.title + ":" + b.text;
            if (b.cls == QLatin1String("QInputDialog"))
                QCOMPARE(b.echo, int(QLineEdit::Password));
        }
        QVERIFY2(boxes == step.boxes, qPrintable(QString::fromLatin1(step.name) + ": " + boxes.join(" / ")));
        QVERIFY2(c->GetAuthorisationHold() == (step.passes ? QZynController::kAuthorisationSeconds : 7), step.name);
        QVERIFY2(c->IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH) == !step.passes, step.name);
    }
    QCOMPARE(c->GetState(), int(QZynController::StateOffline));   // given up for the other
}

void TestMainWindow::addByAddressDialog()
{
    struct Case {
        const char* name;
        std::function<void(DialogAddControllerByIP&)> edit;
        QString address;
    };
    const std::vector<Case> cases = {
        {"untouched", [](DialogAddControllerByIP&) {}, "192.168.0.0"},
        {"typed over", [](DialogAddControllerByIP& d) {
             d.Form()->ipLineEdit->selectAll();
             QTest::keyClicks(d.Form()->ipLineEdit, "10.1.2.3");
         }, "10.1.2.3"},
        {"emptied", [](DialogAddControllerByIP& d) { d.Form()->ipLineEdit->clear(); }, "..."},
    };
    for (const Case& c : cases) {
        DialogAddControllerByIP dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Connect To Server"));
        QCOMPARE(dialog.objectName(), QStringLiteral("DialogAddControllerByIP"));
        QCOMPARE(dialog.size(), QSize(254, 146));
        QCOMPARE(dialog.windowModality(), Qt::WindowModal);
        QCOMPARE(dialog.windowFlags() & (Qt::WindowContextHelpButtonHint | Qt::WindowMinimizeButtonHint), Qt::WindowFlags());
        QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(dialog.Form()->groupBox->title(), QStringLiteral("IP Address"));
        QCOMPARE(dialog.Form()->ipLineEdit->font().pointSize(), 14);
        QCOMPARE(dialog.Form()->ipLineEdit->inputMask(), QStringLiteral("000.000.000.000"));   // blank for the rest: Qt shows the mask so
        QCOMPARE(dialog.Form()->buttonBox->button(QDialogButtonBox::Ok)->text(), QStringLiteral("OK"));
        QCOMPARE(dialog.Form()->buttonBox->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
        c.edit(dialog);
        QVERIFY2(dialog.address == c.address, qPrintable(QString::fromLatin1(c.name) + ": " + dialog.address));
    }
}

// Connect hands the discovery worker a whole IPv4 address only: any other entry is refused in the
// dialog with a message, the entry kept as typed under its mask, and nothing is sent.
void TestMainWindow::connectTakesOnlyWholeAddresses()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    QVERIFY(m_sim->addUdpController(kWholeAddress, zynsim::ControllerConfig()));
    QVERIFY(m_sim->addUdpController(kPaddedAddress, zynsim::ControllerConfig()));
    MainWindow window;
    QSignalSpy added(&window, &MainWindow::signal_add_ctrl_by_ip);
    const QString dialogSeen = QStringLiteral("DialogAddControllerByIP|Connect To Server|");
    const QString refusal = QStringLiteral("QMessageBox|Palvir|Please enter a valid IP address.|%1|OK")
                                .arg(int(QMessageBox::Warning));
    struct Case {
        const char* name;
        const char* typed;
        QString kept;   // what the refused dialog's field still holds; empty when accepted
        QString sent;   // what reaches the discovery worker; empty when refused
    };
    // The accepted come last: the worker takes requests in order, so once they are listed a
    // refused entry that had reached it would have logged its failure.
    const std::vector<Case> cases = {
        {"a group past 255", "300.0.0.1", "300.0.0.1", QString()},
        {"256 in the first group", "256.1.1.1", "256.1.1.1", QString()},
        {"256 in the last group", "1.1.1.256", "1.1.1.256", QString()},
        {"groups left blank", "1.2.3", "1.2.3.", QString()},
        {"empty", "", "...", QString()},
        {"whole", kWholeAddress, QString(), kWholeAddress},
        {"leading zeros: the same address without them", "127.000.005.003", QString(), kPaddedAddress},
    };
    for (const Case& k : cases) {
        ModalResponder responder;
        QPointer<DialogAddControllerByIP> dialog;
        QString kept, mask;
        responder.handle([&](QWidget* w) {
            dialog = qobject_cast<DialogAddControllerByIP*>(w);
            if (dialog == nullptr) {
                QTest::keyClick(w, Qt::Key_Escape);
                return;
            }
            dialog->Form()->ipLineEdit->clear();
            QTest::keyClicks(dialog->Form()->ipLineEdit, QString::fromLatin1(k.typed));
            // Pressed once this answer is over, so that the responder sees what the press opens.
            QTimer::singleShot(0, dialog->Form()->buttonBox->button(QDialogButtonBox::Ok), &QAbstractButton::click);
        });
        if (k.sent.isEmpty()) {
            responder.handle([](QWidget* box) {
                dialogtest::shootDialog(box, QStringLiteral("connect-refused"));
                static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
            });
            responder.handle([&](QWidget* w) {
                if (w == dialog.data()) {
                    kept = dialog->Form()->ipLineEdit->text();
                    mask = dialog->Form()->ipLineEdit->inputMask();
                }
                QTest::keyClick(w, Qt::Key_Escape);
            });
        }
        const int sentBefore = added.count();
        window.Form()->connectToolButton->click();
        QStringList seen;
        for (const ModalResponder::Seen& b : responder.seen()) {
            seen << QStringLiteral("%1|%2|%3").arg(b.cls, b.title, b.text);
            if (b.cls == QLatin1String("QMessageBox"))
                seen.last() += QStringLiteral("|%1|%2").arg(b.icon).arg(b.buttons.join(','));
        }
        const QStringList boxes =
            k.sent.isEmpty() ? QStringList{dialogSeen, refusal, dialogSeen} : QStringList{dialogSeen};
        QVERIFY2(seen == boxes, qPrintable(QString::fromLatin1(k.name) + ": " + seen.join(" / ")));
        QVERIFY2(kept == k.kept, qPrintable(QString::fromLatin1(k.name) + ": " + kept));
        if (k.sent.isEmpty())
            QVERIFY2(mask == QLatin1String("000.000.000.000"), k.name);
        QVERIFY2(added.count() - sentBefore == (k.sent.isEmpty() ? 0 : 1), k.name);
        if (!k.sent.isEmpty()) {
            QVERIFY2(added.last().at(0).toString() == k.sent, qPrintable(QString::fromLatin1(k.name) + ": "
                                                                         + added.last().at(0).toString()));
            const auto listed = [&] { return ZynGetHost()->get_controller_by_ip(k.sent) != nullptr; };
            QVERIFY2(QTest::qWaitFor(listed, 20000), k.name);
        }
    }
    QStringList failures;
    QTreeWidget* list = window.Form()->logTreeWidget;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        for (int column = 0; column < list->columnCount(); ++column)
            if (list->topLevelItem(i)->text(column).contains(QLatin1String("No controller found")))
                failures << list->topLevelItem(i)->text(column);
    QCOMPARE(failures, QStringList());
}

void TestMainWindow::connectAndDisconnect()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    QVERIFY(m_sim->addUdpController(kConnectAddress, zynsim::ControllerConfig()));
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    QSignalSpy added(&window, &MainWindow::signal_add_ctrl_by_ip);
    ModalResponder responder;
    const auto answer = [&](const QString& text, bool accept) {
        responder.handle([text, accept](QWidget* w) {
            auto* dialog = qobject_cast<DialogAddControllerByIP*>(w);
            if (dialog == nullptr)
                return;
            dialog->Form()->ipLineEdit->setText(text);
            accept ? dialog->accept() : dialog->reject();
        });
    };
    answer(QStringLiteral("127.  0.  0.178"), false);
    ui->connectToolButton->click();
    QCOMPARE(added.count(), 0);
    answer(QStringLiteral("127.  0.  0.178"), true);
    ui->connectToolButton->click();
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.at(0).at(0).toString(), QString::fromLatin1(kConnectAddress));
    QCOMPARE(responder.seen().size(), 2);
    QCOMPARE(responder.seen()[0].cls, QStringLiteral("DialogAddControllerByIP"));

    // The watcher adds it; the window starts it.
    QZynController* c = nullptr;
    QVERIFY(QTest::qWaitFor([&] { return (c = ZynGetHost()->get_controller_by_ip(kConnectAddress)) != nullptr; }, 20000));
    QTRY_VERIFY_WITH_TIMEOUT(c->GetEventWatcher() != nullptr && c->GetEventWatcher()->IsRunning(), 20000);
    auto* model = qobject_cast<QControllerItemModel*>(ui->controllerView->model());
    QTRY_VERIFY_WITH_TIMEOUT(model->FindItem(c, nullptr) != nullptr, 10000);

    // Rescans ask the watcher; the network one with flag 0.
    QSignalSpy driver(&window, &MainWindow::signal_scan_ctrl_by_driver);
    QSignalSpy network(&window, &MainWindow::signal_scan_ctrl_by_ip);
    window.findChild<QAction*>("actionLocalHostRescanDevice")->trigger();
    window.findChild<QAction*>("actionNetworkRescanDevice")->trigger();
    QCOMPARE(driver.count(), 1);
    QCOMPARE(network.count(), 1);
    QCOMPARE(network.at(0).at(0).toUInt(), 0u);

    // Disconnect: the console lets it go, the host removes and deletes it.
    window.Engine()->SetCtrl(c);
    QPointer<QZynController> watched(c);
    ui->controllerView->setCurrentIndex(model->FindItem(c, nullptr)->index());
    window.findChild<QAction*>("actionDisconnect")->trigger();
    QCOMPARE(ZynGetHost()->get_controller_by_ip(kConnectAddress), nullptr);
    QCOMPARE(window.Engine()->GetCtrl(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(watched.isNull(), 10000);
    QCOMPARE(ui->stackedWidget->currentIndex(), 0);
}

// Driver controllers found at start and plugged in later, withdrawn: each goes from the list
// and the log list says so, the console lets it go, the one left keeps its own polling, and no
// thread touches another's sockets on the way.
void TestMainWindow::controllersComeAndGo()
{
    MessageLog messages;
    const std::string folder = (m_dir.path() + "/driver").toStdString();
    const auto entryOf = [](int order) { return 0x100000001ull + 0x100ull * quint64(order); };
    m_sim = std::make_unique<zynsim::Simulator>();
    auto first = m_sim->addDriverController(folder, 0, zynsim::ControllerConfig());
    QVERIFY(first);
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    QZynHost* host = ZynGetHost();
    const auto listedAndRunning = [host](quint64 entry) -> QZynController* {
        QZynController* c = host->get_controller_by_entryid(entry);
        return c != nullptr && c->GetEventWatcher() != nullptr && c->GetEventWatcher()->IsRunning()
                       && c->GetHttpProxyServer() != nullptr
                   ? c
                   : nullptr;
    };
    QTRY_VERIFY_WITH_TIMEOUT(listedAndRunning(entryOf(0)) != nullptr, 20000);
    QPointer<QZynController> atStart(listedAndRunning(entryOf(0)));

    // Plugged in after start, in reverse slot order.
    auto third = m_sim->addDriverController(folder, 2, simtest::configOf(zynsim::Profile::Older));
    auto second = m_sim->addDriverController(folder, 1, zynsim::ControllerConfig());
    QVERIFY(second && third);
    QTRY_VERIFY_WITH_TIMEOUT(listedAndRunning(entryOf(1)) != nullptr && listedAndRunning(entryOf(2)) != nullptr, 20000);
    QPointer<QZynController> plugged(listedAndRunning(entryOf(1)));
    QPointer<QZynController> left(listedAndRunning(entryOf(2)));
    const QStringList gone{QStringLiteral("%1 disconnected.").arg(plugged->GetText()),
                           QStringLiteral("%1 disconnected.").arg(atStart->GetText())};

    m_sim->removeDriverController(second);
    QTRY_VERIFY_WITH_TIMEOUT(plugged.isNull(), 20000);
    window.Engine()->SetCtrl(atStart);
    m_sim->removeDriverController(first);
    QTRY_VERIFY_WITH_TIMEOUT(atStart.isNull(), 20000);
    QCOMPARE(window.Engine()->GetCtrl(), nullptr);

    QStringList rows;
    for (int i = ui->logTreeWidget->topLevelItemCount() - 1; i >= 0; --i) {
        const QString text = ui->logTreeWidget->topLevelItem(i)->text(4);
        if (text.endsWith(QLatin1String(" disconnected.")))
            rows << text;
    }
    QCOMPARE(rows, gone);
    QVERIFY(!left.isNull());
    QCOMPARE(host->get_controller_by_entryid(entryOf(2)), left.data());
    QCOMPARE(left->GetSysInfo()->GetSerialNumber(), QString::fromStdString(third->serial()));
    third->clearLog();
    QTRY_VERIFY_WITH_TIMEOUT(third->framesReceived(ZYN_CMD_POLL_EVENT) > 0, 10000);
    QVERIFY(left->GetEventWatcher()->IsRunning());

    QCOMPARE(messages.matching(QStringLiteral("Socket notifiers|Invalid socket|another thread")), QStringList());
}

void TestMainWindow::silentControllersHoldNoEnd()
{
    ZynInterface::setPollIntervalMicroseconds(kProductPollUs);
    m_sim = std::make_unique<zynsim::Simulator>();
    const std::string folder = qEnvironmentVariable("ZYNMSR_DRIVER_DIR").toStdString();
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    auto* model = qobject_cast<QControllerItemModel*>(ui->controllerView->model());

    // A controller the window polls, returned once its polling thread waits for an answer
    // that will never come.
    struct Silent {
        QPointer<QZynController> c;
        std::shared_ptr<zynsim::FakeController> ctl;
    };
    const auto silence = [](Silent s) {
        if (!s.c || !s.ctl)
            return Silent{};
        s.c->WaitForBackground();   // the first-seen backup: what is heard next is the polling's
        s.ctl->clearLog();
        s.ctl->scriptAll(1 << 30, zynsim::Answer::silence());
        if (!QTest::qWaitFor([&] { return !commandsReceived(*s.ctl).empty(); }, 20000))
            return Silent{};
        return s;
    };
    const auto network = [&](const char* address) {
        Silent s;
        s.ctl = m_sim->addUdpController(address, zynsim::ControllerConfig());
        if (s.ctl)
            s.c = announceOnline(address, 20000);
        return silence(s);
    };
    // Arrives as a driver service: the window's device watcher lists it.
    const auto driver = [&](int order, quint64 id) {
        Silent s;
        s.ctl = m_sim->addDriverController(folder, order, zynsim::ControllerConfig(), id);
        const bool online = QTest::qWaitFor([&] {
            s.c = ZynGetHost()->get_controller_by_entryid(id);
            return s.c && s.c->GetState() == QZynController::StateOnline;
        }, 20000);
        return online ? silence(s) : Silent{};
    };
    const quint64 removedId = 0x3000000001ull, stoppedId = 0x3000000002ull, quitId = 0x3000000003ull;

    struct End {
        const char* name;
        std::function<Silent()> make;
        std::function<void(QZynController*)> end;
    };
    const std::vector<End> ends = {
        {"Disconnect", [&] { return network(kSilentAddress); }, [&](QZynController* c) {
             ui->controllerView->setCurrentIndex(model->FindItem(c, nullptr)->index());
             window.findChild<QAction*>("actionDisconnect")->trigger();
         }},
        {"driver controller withdrawn", [&] { return driver(0, removedId); },
         [&](QZynController*) { ZynGetHost()->remove_controller_by_entryid(removedId); }},
        {"stop", [&] { return driver(1, stoppedId); }, [](QZynController* c) { c->Stop(); }},
    };
    for (const End& e : ends) {
        const Silent s = e.make();
        QVERIFY2(s.c, e.name);
        QElapsedTimer took;
        took.start();
        e.end(s.c);
        QVERIFY2(took.elapsed() < kEndDeadlineMs, qPrintable(QStringLiteral("%1: %2 ms").arg(e.name).arg(took.elapsed())));
        QVERIFY2(!s.c->GetEventWatcher() || !s.c->GetEventWatcher()->IsRunning(), e.name);
    }

    // Quitting with a silent controller of each kind polled, and one that answered the probe of
    // a Connect and then fell silent while it is being made.
    QVERIFY(network(kSilentSecond).c);
    QVERIFY(driver(2, quitId).c);
    zynsim::ControllerConfig probeOnly;
    probeOnly.silentAfterFrames = 1;
    auto arriving = m_sim->addUdpController(kArrivingAddress, probeOnly);
    QVERIFY(arriving);
    emit window.signal_add_ctrl_by_ip(QString::fromLatin1(kArrivingAddress));
    QTRY_COMPARE_WITH_TIMEOUT(arriving->framesReceived(0x13), 1, 20000);
    QElapsedTimer took;
    took.start();
    window.Shutdown();
    QVERIFY2(took.elapsed() < kEndDeadlineMs, qPrintable(QStringLiteral("quit: %1 ms").arg(took.elapsed())));
    QVERIFY(window.findChild<QThread*>()->isFinished());
    simtest::fastPolls();
}

// Controllers the window polls, each taken off the list as the program ends by another road:
// whatever was still queued on the GUI thread (which runs no more once the application's loop
// has ended), each removed controller's polling thread has ended and its web proxy refuses.
void TestMainWindow::removedControllersStopAtTheEnd()
{
    m_sim = std::make_unique<zynsim::Simulator>();
    MainWindow window;
    QZynHost* host = ZynGetHost();
    struct Road {
        const char* name;
        std::function<void(QZynController*)> remove;
    };
    const std::vector<Road> roads = {
        // The discovery thread's removal: the stop is queued behind the quit.
        {"removed from another thread", [host](QZynController* c) { std::thread([host, c] { host->removeAndAnnounce(c); }).join(); }},
        // The polling thread's last try failed.
        {"given up", [](QZynController* c) { std::thread([c] { c->GiveUp(); }).join(); }},
        // Stopped already; only its deletion is queued.
        {"removed here", [host](QZynController* c) { host->removeAndAnnounce(c); }},
    };
    struct Removed {
        QPointer<QZynController> c;
        QThread* polling = nullptr;
        quint16 port = 0;
    };
    std::vector<Removed> removed;
    for (size_t i = 0; i < roads.size(); ++i) {
        QVERIFY(m_sim->addUdpController(kRemovedAddresses[i], zynsim::ControllerConfig()));
        QZynController* c = announceOnline(kRemovedAddresses[i], 20000);
        QVERIFY2(c != nullptr, roads[i].name);
        QTRY_VERIFY_WITH_TIMEOUT(c->GetEventWatcher() != nullptr && c->GetEventWatcher()->IsRunning()
                                     && c->GetHttpProxyServer() != nullptr,
                                 10000);
        c->WaitForBackground();   // the first-seen backup
        auto* poller = dynamic_cast<QObject*>(c->GetEventWatcher());
        QVERIFY(poller != nullptr);
        removed.push_back({c, poller->thread(), c->GetHttpProxyServer()->serverPort()});
    }
    for (size_t i = 0; i < roads.size(); ++i)
        roads[i].remove(removed[i].c);
    window.Shutdown();   // as the application's end runs it: nothing queued is taken in first

    const auto refuses = [](quint16 port) {
        QTcpSocket probe;
        probe.connectToHost(QString::fromLatin1(kProxyProbe), port);
        return !probe.waitForConnected(5000) && probe.error() == QAbstractSocket::ConnectionRefusedError;
    };
    QStringList wrong;
    for (size_t i = 0; i < roads.size(); ++i) {
        const Removed& r = removed[i];
        QVERIFY2(r.c, roads[i].name);   // its deletion is still queued
        if (host->get_controller_index(r.c) >= 0)
            wrong << QStringLiteral("%1: listed").arg(roads[i].name);
        if (!r.polling->isFinished())
            wrong << QStringLiteral("%1: polling").arg(roads[i].name);
        if (!refuses(r.port))
            wrong << QStringLiteral("%1: web proxy").arg(roads[i].name);
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    // What was queued still runs safely once a loop takes it in.
    for (const Removed& r : removed)
        QTRY_VERIFY_WITH_TIMEOUT(r.c.isNull(), 10000);
}

int main(int argc, char** argv)
{
    return viewtest::runWindowTest<TestMainWindow>(argc, argv, kDiscovery);
}

#include "test_mainwindow.moc"
