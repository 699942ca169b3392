// The main window's pages against the simulator: the controller page of both families (tab
// counts, the DHCP and address rows, MAC, memory), the raid set page and the volume overview,
// which device changes redraw which page, a double click in the disk list, the scheduled tasks
// as they fall due (message box, mail to a real SMTP peer, consistency checks sent to the
// controllers) and the controller's web pages in the browser. With PALVIR_SHOT_DIR set,
// pictures of the window with a raid set and with a volume set on show.
#include "controllerfixture.h"
#include "devices/disk.h"
#include "devices/enclosure.h"
#include "devices/raidset.h"
#include "devices/scheduler.h"
#include "devices/settings.h"
#include "devices/volumeset.h"
#include "dialogfixture.h"
#include "modalresponder.h"
#include "peerfixture.h"
#include "cli/cli-zynmsr.h"
#include "cli/console.h"
#include "setuptable.h"
#include "smtp/smtp.h"
#include "ui/dialog/dialogdiskdetail.h"
#include "ui/dialog/mainwindow.h"
#include "ui/model/controlleritemmodel.h"
#include "ui/model/itemmodel.h"
#include "ui_mainwindow.h"
#include "viewfixture.h"
#include "watcher/controllerwatcher.h"
#include "watcher/eventwatcher.h"
#include "windowfixture.h"
#include "zynapplication.h"

#include <QDesktopServices>
#include <QHostAddress>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <thread>

using namespace ctltest;
using namespace viewtest;

namespace {

const char* const kDiscovery = "127.0.0.240";
const char* const kOlderAddress = "127.0.0.241";
const char* const kEnclosureAddress = "127.0.0.242";
const char* const kPeerAddress = "127.0.0.243";
const char* const kRigAddress = "127.0.0.244";
const char* const kConsoleAddress = "127.0.7.1";
const char* const kGoneAddress = "127.0.7.2";
const char* const kBrowserlessAddress = "127.0.5.10";

// Older family: four disks on channels, a raid set with two volumes, a pass-through disk.
const char* const kOlderModel =
    "disk 0 0 capacity 4000000\n"
    "disk 0 1 capacity 4000000\n"
    "disk 0 2 capacity 5000000\n"
    "disk 0 3 capacity 4000000\n"
    "raidset \"Alpha\" disks 0 1 2\n"
    "volume \"Five\" raidset 0 capacity 2000000 level 3 stripe 128 channel 0 id 1 lun 2 tagged 1 cache 1 state 0\n"
    "volume \"Three\" raidset 0 capacity 1000000 level 2 tagged 0 cache 0 flags 0x4000 state 0\n"
    "passthrough 3\n";

// Enclosure family: two enclosures, one raid set, one volume.
const char* const kEnclosureModel =
    "enclosure 0 slots 4\n"
    "enclosure 1 slots 2\n"
    "disk 0 0 capacity 8000000\n"
    "disk 0 1 capacity 8000000\n"
    "disk 1 0 capacity 8000000\n"
    "raidset \"Beta\" disks 0:0 0:1 1:0\n"
    "volume \"Zero\" raidset 0 capacity 3000000 level 0 stripe 256 state 0\n";

// Receives the URLs the program hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl& url) { urls << url.toString(); }
};

QNetworkAddressEntry entry(const QString& ip)
{
    QNetworkAddressEntry e;
    if (!ip.isEmpty())
        e.setIp(QHostAddress(ip));
    return e;
}

// A simulated controller over UDP holding `model`, listed, announced and online.
QZynController* online(zynsim::Simulator& sim, std::shared_ptr<zynsim::FakeController>* ctl, const char* address,
                       zynsim::ControllerConfig config, const char* model,
                       const std::vector<simtest::Bytes>& frames = {})
{
    config.emptyModel = true;
    *ctl = sim.addUdpController(address, config);
    std::string why;
    if (!*ctl || !(*ctl)->loadConfig(model, &why)) {
        qWarning("%s", why.c_str());
        return nullptr;
    }
    for (const simtest::Bytes& f : frames)
        (*ctl)->handleFrame(f, "test");
    return announceOnline(address);
}

// Frames as hexadecimal text, one line each.
QString hexOf(const std::vector<simtest::Bytes>& frames)
{
    QStringList out;
    for (const simtest::Bytes& f : frames)
        out << QByteArray(reinterpret_cast<const char*>(f.data()), int(f.size())).toHex(' ');
    return out.join('\n');
}

QString withoutNul(QString text)
{
    return text.remove(QChar(0));
}

// Clock reads (the console's "sys getrtctime") the simulated controller received.
int clockReads(const zynsim::FakeController& controller)
{
    constexpr size_t kOpOffset = 9;   // the setup request's operation byte
    int n = 0;
    for (const zynsim::LogEntry& e : controller.log())
        if (e.kind == zynsim::LogEntry::RxFrame && e.command == ZYN_CMD_SETUP_DATA && e.bytes.size() > kOpOffset
            && e.bytes[kOpOffset] == SetupOpRtc)
            ++n;
    return n;
}

} // namespace

class TestMainWindowPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void controllerPages();
    void raidSetAndVolumePages();
    void dispatchTable();
    void diskDoubleClick();
    void scheduledTasks();
    void scheduledMail();
    void scheduledVolumeChecks();
    void browserAddressChoice();
    void browserUrl();
    void consoleNamesItsController();
    void browserMissing();

private:
    // The tree row of a device and the current row made of it.
    void select(MainWindow& window, QZynDevice* device);
    QStringList labels(MainWindow& window, const QStringList& names);
    void shoot(MainWindow& window, const QString& name);
    QString driverFolder() const { return m_dir.path() + "/driver"; }
    // Publishes an empty controller of the default family in driver slot 0 (m_driver).
    bool plugEmptyDriver();
    // The controller on the driver with the serial number of `fake` (default: m_driver); waits
    // for the window to list and start it.
    QZynController* driverController(const zynsim::FakeController* fake = nullptr);

    QTemporaryDir m_dir;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::shared_ptr<zynsim::FakeController> m_older;
    std::shared_ptr<zynsim::FakeController> m_enclosure;
    std::shared_ptr<zynsim::FakeController> m_driver;
};

void TestMainWindowPages::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir().mkpath(driverFolder());
    qputenv("ZYNMSR_DRIVER_DIR", driverFolder().toLocal8Bit());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    ZynApplication::SetApplicationFolder(m_dir.path());
    simtest::fastPolls();
    ControllerWatcher::SetSettlingMilliseconds(0);
    ControllerEventWatcherThread::Install();
    InstallControllerModels();
    m_sim = std::make_unique<zynsim::Simulator>();
}

void TestMainWindowPages::cleanup()
{
    emptyHost();
    if (m_driver)
        m_sim->removeDriverController(m_driver);
    m_driver.reset();
    m_older.reset();
    m_enclosure.reset();
    m_sim = std::make_unique<zynsim::Simulator>();
}

void TestMainWindowPages::select(MainWindow& window, QZynDevice* device)
{
    auto* model = qobject_cast<QControllerItemModel*>(window.Form()->controllerView->model());
    QVERIFY(model != nullptr);
    QStandardItem* item = nullptr;
    QTRY_VERIFY((item = model->FindItem(device, nullptr)) != nullptr);
    window.Form()->controllerView->setCurrentIndex(item->index());
    QCOMPARE(window.GetCurrentControllerTreeItem(), device);
}

QStringList TestMainWindowPages::labels(MainWindow& window, const QStringList& names)
{
    QStringList out;
    for (const QString& n : names) {
        auto* label = window.findChild<QLabel*>(n);
        out << (label != nullptr ? n + "=" + label->text() : n + " missing");
    }
    return out;
}

void TestMainWindowPages::shoot(MainWindow& window, const QString& name)
{
    const QString shots = qEnvironmentVariable("PALVIR_SHOT_DIR");
    if (shots.isEmpty())
        return;
    QDir().mkpath(shots);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.grab().save(shots + "/" + name + ".png"));
}

bool TestMainWindowPages::plugEmptyDriver()
{
    zynsim::ControllerConfig config;
    config.emptyModel = true;
    m_driver = m_sim->addDriverController(driverFolder().toStdString(), 0, config);
    return m_driver != nullptr;
}

QZynController* TestMainWindowPages::driverController(const zynsim::FakeController* fake)
{
    const QString serial = QString::fromStdString((fake != nullptr ? fake : m_driver.get())->serial());
    QZynController* found = nullptr;
    (void)QTest::qWaitFor([&] {
        for (int i = 0; i < ZynGetHost()->get_total_controllers() && found == nullptr; ++i) {
            QZynController* c = ZynGetHost()->get_controller(i);
            if (c != nullptr && c->GetConnectionType() == QZynController::ConnectionDriver
                && c->GetSysInfo()->GetSerialNumber() == serial
                && c->GetState() == QZynController::StateOnline && c->GetHttpProxyServer() != nullptr)
                found = c;
        }
        return found != nullptr;
    }, 20000);
    QCoreApplication::processEvents();
    return found;
}

void TestMainWindowPages::controllerPages()
{
    // On the driver: enclosure family with its network port; over UDP: the older family with
    // DHCP and the beeper on, and the enclosure family without a network port.
    QVERIFY(plugEmptyDriver());
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    QZynController* driver = driverController();
    QVERIFY(driver != nullptr);

    zynsim::ControllerConfig olderConfig;
    olderConfig.profile = zynsim::Profile::Older;
    olderConfig.mac = {0x00, 0x1b, 0x4d, 0xab, 0xcd, 0xef};
    QZynController* older = online(*m_sim, &m_older, kOlderAddress, olderConfig, kOlderModel,
                                   {simtest::frameOf(0x39, {1, 127, 0, 0, 241}), simtest::frameOf(0x31, {1})});
    QVERIFY(older != nullptr);
    zynsim::ControllerConfig enclosureConfig;
    enclosureConfig.onBoardNetwork = false;
    QZynController* enclosure = online(*m_sim, &m_enclosure, kEnclosureAddress, enclosureConfig, kEnclosureModel);
    QVERIFY(enclosure != nullptr);
    // Not started: no web proxy.
    ControllerRig rig;
    zynsim::ControllerConfig rigConfig;
    rigConfig.onBoardNetwork = false;
    QCOMPARE(rig.start(kRigAddress, rigConfig), QString());
    auto* tree = qobject_cast<QControllerItemModel*>(ui->controllerView->model());
    tree->AddControllerItem(rig.controller.get(), tree->GetLocalHostItem());
    QTRY_VERIFY(older->GetVolumeSet(1)->IsPresent() && enclosure->GetVolumeSet(0)->IsPresent());

    const QStringList overview{"labelVendorName", "labelCtrlName", "labelFirmVer", "labelBootRomVer", "labelCtrlSerial",
                               "labelBeeper",
                               "labelEthernet", "labelDhcp", "labelIPAddr", "labelCPUSpeed", "labelMemory",
                               "labelMacAddr"};
    const auto common = [](QZynController* c, const char* beeper, const char* ethernet) {
        return QStringList{"labelVendorName=" + withoutNul(c->GetSysInfo()->GetVendorName()),
                           "labelCtrlName=" + withoutNul(c->GetSysInfo()->GetModelName()),
                           "labelFirmVer=V1.56 2021-03-18", "labelBootRomVer=" + withoutNul(c->GetSysInfo()->GetBootVersion()),
                           "labelCtrlSerial=" + withoutNul(c->GetSysInfo()->GetSerialNumber()),
                           QStringLiteral("labelBeeper=") + beeper, QStringLiteral("labelEthernet=") + ethernet};
    };
    const QString driverPort = QString::number(driver->GetHttpProxyServer()->serverPort());
    const QString enclosurePort = QString::number(enclosure->GetHttpProxyServer()->serverPort());
    struct Row {
        const char* name;
        QZynController* controller;
        QStringList overview;
        QStringList tabs;
    };
    const std::vector<Row> rows = {
        {"older family over UDP, DHCP", older,
         common(older, "Enabled", "Supported")
             + QStringList{"labelDhcp=Enabled", "labelIPAddr=127.0.0.241", "labelCPUSpeed=800 MHz",
                           "labelMemory=1024MB/533MHz/ECC", "labelMacAddr=00-1B-4D-AB-CD-EF"},
         {"Overview", "RaidSets (2)", "Volumes (3)", "Disks (4/16)", "H/W Monitor", "Events", "CLI"}},
        {"enclosure family over UDP, no network port", enclosure,
         common(enclosure, "Disabled", "Unsupported")
             + QStringList{"labelDhcp=N.A", "labelIPAddr=LocalHost: " + enclosurePort, "labelCPUSpeed=800 MHz",
                           "labelMemory=1024MB/533MHz/ECC", "labelMacAddr=N.A"},
         {"Overview", "RaidSets (1)", "Volumes (1)", "Disks (3/6)", "H/W Monitor", "Events", "CLI"}},
        {"enclosure family on the driver", driver,
         common(driver, "Disabled", "Supported")
             + QStringList{"labelDhcp=N.A", "labelIPAddr=LocalHost: " + driverPort, "labelCPUSpeed=800 MHz",
                           "labelMemory=1024MB/533MHz/ECC",
                           "labelMacAddr=" + driver->GetSysInfo()->GetMacAddressString().toUpper()},
         {"Overview", "RaidSets (0)", "Volumes (0)", "Disks (0/" + QString::number([&] {
              std::vector<QZynDiskIndex> all;
              driver->GetDiskSlotCount(all);
              return int(all.size());
          }()) + ")", "H/W Monitor", "Events", "CLI"}},
        {"no network port, no proxy", rig.controller.get(),
         common(rig.controller.get(), "Disabled", "Unsupported")
             + QStringList{"labelDhcp=N.A", "labelIPAddr=N.A", "labelCPUSpeed=800 MHz",
                           "labelMemory=1024MB/533MHz/ECC", "labelMacAddr=N.A"},
         {"Overview", "RaidSets (0)", "Volumes (0)", "Disks (0/0)", "H/W Monitor", "Events", "CLI"}},
    };
    QVERIFY(driver->GetSysInfo()->GetRecord().hasOnBoardNetwork());
    for (const Row& r : rows) {
        select(window, r.controller);
        QCOMPARE(ui->stackedWidget->currentIndex(), 1);
        QVERIFY2(labels(window, overview) == r.overview, qPrintable(labels(window, overview).join(" | ")));
        QStringList tabs;
        for (int i = 0; i < ui->tabControllerWidget->count(); ++i)
            tabs << ui->tabControllerWidget->tabText(i);
        QVERIFY2(tabs == r.tabs, qPrintable(QString::fromLatin1(r.name) + ": " + tabs.join(" | ")));
        // The controller's models on the views; the console acts on it; only it reads its
        // hardware monitor.
        const QZynGuiItem* g = r.controller->GetGuiItem();
        const std::pair<QTreeView*, QAbstractItemModel*> views[] = {
            {ui->raidsetTreeView, g ? g->raidSetModel : nullptr},
            {ui->volumesetTreeView, g ? g->volumeSetModel : nullptr},
            {ui->diskTreeView, g ? g->diskModel : nullptr},
            {ui->eventTreeView, g ? g->eventModel : nullptr},
            {ui->hwmonTreeView, g ? g->hwMonitorModel : nullptr},
        };
        for (const auto& v : views)
            QVERIFY2(v.first->model() == v.second, qPrintable(v.first->objectName()));
        QCOMPARE(window.Engine()->GetCtrl(), r.controller);
        if (g != nullptr && g->eventModel != nullptr) {
            QList<int> widths;
            for (int c = 0; c < 5; ++c)
                widths << ui->eventTreeView->columnWidth(c);
            QCOMPARE(widths, (QList<int>{24, 160, 160, 240, 100}));
        }
        QCOMPARE(r.controller->GetHwMonitorHold(), 0);
        for (const Row& other : rows)
            if (other.controller != r.controller)
                QCOMPARE(other.controller->GetHwMonitorHold(), 1);
    }
    const std::pair<QLabel*, const char*> legend[] = {{ui->label_34, "info"}, {ui->label_38, "warning"},
                                                      {ui->label_46, "error"}, {ui->label_48, "urgent"}};
    for (const auto& l : legend) {
        QCOMPARE(l.first->maximumSize(), QSize(24, 24));
        QVERIFY(l.first->hasScaledContents());
        QCOMPARE(l.first->pixmap(Qt::ReturnByValue).toImage(),
                 QPixmap(QStringLiteral(":/images/icons/event/%1.png").arg(l.second)).toImage());
    }

    // The raid set view keeps its current-row slot on the model it shows.
    select(window, older);
    QItemSelectionModel* raidSelection = ui->raidsetTreeView->selectionModel();
    QVERIFY(QObject::disconnect(raidSelection, &QItemSelectionModel::currentChanged, &window,
                                &MainWindow::RaidSetTreeCurrentChanged));
    select(window, enclosure);
    QVERIFY(QObject::disconnect(ui->raidsetTreeView->selectionModel(), &QItemSelectionModel::currentChanged, &window,
                                &MainWindow::RaidSetTreeCurrentChanged));

    // The start page for the two roots and for no row; the raid set of the controller on show
    // takes the monitor away from it.
    select(window, older);
    for (QStandardItem* root : {tree->GetLocalHostItem(), tree->GetNetworkItem()}) {
        ui->controllerView->setCurrentIndex(root->index());
        QCOMPARE(ui->stackedWidget->currentIndex(), 0);
    }
    select(window, older);
    select(window, older->GetRaidSet(0));
    QCOMPARE(ui->stackedWidget->currentIndex(), 2);
    QCOMPARE(older->GetHwMonitorHold(), 1);
    ui->controllerView->setCurrentIndex(QModelIndex());
    QCOMPARE(ui->stackedWidget->currentIndex(), 0);

    // The CLI tab takes the keyboard to the console; Expand All opens and closes the tree.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    select(window, older);
    ui->tabControllerWidget->setCurrentWidget(ui->tabCLI);
    QTRY_VERIFY(ui->console->hasFocus());
    ui->treeViewExpandAllCheckBox->setChecked(true);
    QVERIFY(ui->controllerView->isExpanded(tree->FindItem(older->GetRaidSet(0), nullptr)->index()));
    ui->treeViewExpandAllCheckBox->setChecked(false);
    QVERIFY(!ui->controllerView->isExpanded(tree->FindItem(older, nullptr)->index()));
    QVERIFY(!ui->controllerView->isExpanded(tree->GetNetworkItem()->index()));
    ui->treeViewExpandAllCheckBox->setChecked(true);
    select(window, older);
    ui->tabControllerWidget->setCurrentIndex(0);
    shoot(window, "mainwindow-controller");
}

void TestMainWindowPages::raidSetAndVolumePages()
{
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    zynsim::ControllerConfig olderConfig;
    olderConfig.profile = zynsim::Profile::Older;
    QZynController* older = online(*m_sim, &m_older, kOlderAddress, olderConfig, kOlderModel);
    QVERIFY(older != nullptr);
    QZynController* enclosure = online(*m_sim, &m_enclosure, kEnclosureAddress, zynsim::ControllerConfig(), kEnclosureModel);
    QVERIFY(enclosure != nullptr);
    QTRY_VERIFY(older->GetVolumeSet(2)->IsPresent() && enclosure->GetVolumeSet(0)->IsPresent());
    QTRY_VERIFY(older->GetRaidSet(1)->IsPresent());

    const QStringList raidLabels{"labelRaidSetName", "labelRaidSetMemberDisks", "labelRaidSetMaxVols",
                                 "labelRaidSetCurrentVols", "labelRaidSetMinDiskSize", "labelRaidSetFreeCap",
                                 "labelRaidSetTotalCap", "labelRaidSetState"};
    struct RaidRow {
        QZynRaidSet* raidSet;
        QStringList labels;
        QString memberTab;
        int members;
    };
    // Free space: whole units of 512 sectors on each member, less what each volume takes.
    const std::vector<RaidRow> raidRows = {
        {older->GetRaidSet(0),
         {"labelRaidSetName=Alpha", "labelRaidSetMemberDisks=3", "labelRaidSetMaxVols=16", "labelRaidSetCurrentVols=2",
          "labelRaidSetMinDiskSize=2.0 GB", "labelRaidSetFreeCap=3.8 GB", "labelRaidSetTotalCap=6.1 GB",
          "labelRaidSetState=Normal"},
         "Member Disks (3)", 3},
        {older->GetRaidSet(1),
         {"labelRaidSetName=" + withoutNul(older->GetRaidSet(1)->GetName()), "labelRaidSetMemberDisks=1",
          "labelRaidSetMaxVols=N.A", "labelRaidSetCurrentVols=1", "labelRaidSetMinDiskSize=2.0 GB",
          "labelRaidSetFreeCap=0.0 GB", "labelRaidSetTotalCap=2.0 GB", "labelRaidSetState=Incomplete"},
         "Member Disks (1)", 1},
        {enclosure->GetRaidSet(0),
         {"labelRaidSetName=Beta", "labelRaidSetMemberDisks=3", "labelRaidSetMaxVols=16", "labelRaidSetCurrentVols=1",
          "labelRaidSetMinDiskSize=4.1 GB", "labelRaidSetFreeCap=10.8 GB", "labelRaidSetTotalCap=12.3 GB",
          "labelRaidSetState=Normal"},
         "Member Disks (3)", 3},
    };
    for (const RaidRow& r : raidRows) {
        select(window, r.raidSet);
        QCOMPARE(ui->stackedWidget->currentIndex(), 2);
        QVERIFY2(labels(window, raidLabels) == r.labels, qPrintable(labels(window, raidLabels).join(" | ")));
        QCOMPARE(ui->tabRaidSetWidget->tabText(1), r.memberTab);
        QTreeView* members = ui->raidSetMemberDiskTreeView;
        QCOMPARE(members->model(), r.raidSet->GetOwner()->GetGuiItem()->memberDiskModel);
        QCOMPARE(members->iconSize(), QSize(20, 20));
        QVERIFY(!members->rootIsDecorated());
        QCOMPARE(members->header()->sectionResizeMode(0), QHeaderView::ResizeToContents);
        QCOMPARE(members->model()->rowCount(), r.members);
    }
    // The supported volumes by record bytes 62 and 82, on a raid set the test alone changes.
    ControllerRig rig;
    QCOMPARE(rig.start(kRigAddress), QString());
    QCOMPARE(rig.controller->BuildDeviceHierarchy(), 0u);
    QZynRaidSet* fixed = rig.controller->GetRaidSet(0);
    auto* tree = qobject_cast<QControllerItemModel*>(ui->controllerView->model());
    tree->AddControllerItem(rig.controller.get(), tree->GetNetworkItem());
    const struct {
        uint8_t state, limit;
        const char* shown;
    } limits[] = {
        {0x05, 0x00, "16"}, {0x05, 0x80, "16"}, {0x05, 0x81, "128"}, {0x05, 0x83, "16"}, {0x05, 0x82, "16"},
        {0x05, 0x85, "128"}, {0x05, 0x01, "16"}, {0x85, 0x81, "N.A"}, {0x80, 0x00, "N.A"},
    };
    for (const auto& l : limits) {
        sGUI_RAIDSET record = fixed->GetRecord();
        record.setStateFlags(l.state);
        record.bytes[sGUI_RAIDSET::kVolumeLimit] = l.limit;
        fixed->SetupInfo(&record);
        select(window, fixed);
        QVERIFY2(ui->labelRaidSetMaxVols->text() == QLatin1String(l.shown), qPrintable(QString::number(l.limit, 16)));
        ui->controllerView->setCurrentIndex(QModelIndex());
    }

    // The stripe, cache, queuing and write-protection rules on a volume set the test alone changes.
    QZynVolumeSet* plain = rig.controller->GetVolumeSet(0);
    const struct {
        uint8_t level;
        uint32_t stripe, flags;
        uint8_t cache, tagged;
        const char* shown;   // stripe | cache | queuing | write protection
    } rules[] = {
        {sGUI_VOLUMESET::kLevelRaid5, 128, 0, 1, 1, "64 KB|Write Back|Enabled|Disabled"},
        {sGUI_VOLUMESET::kLevelRaid0, 7, sGUI_VOLUMESET::kFlagWriteProtected, 0, 0, "3 KB|Write Through|Disabled|Enabled"},
        {sGUI_VOLUMESET::kLevelRaid3, 128, 0x40000000, 2, 9, "N.A|Write Back|Enabled|Disabled"},
        {sGUI_VOLUMESET::kLevelPassThrough, 128, 0, 0, 0, "N.A|Write Through|Disabled|Disabled"},
        {sGUI_VOLUMESET::kLevelRaid6, 2048, 0x4000 | 0x8000, 0, 1, "1024 KB|Write Through|Enabled|Enabled"},
        {sGUI_VOLUMESET::kLevelRaid10, 0, 0x3FFF, 1, 0, "0 KB|Write Back|Disabled|Disabled"},
    };
    for (const auto& r : rules) {
        sGUI_VOLUMESET record = plain->GetRecord();
        record.setRaidLevel(r.level);
        record.setStripe(r.stripe);
        record.setFlags(r.flags);
        record.setCacheMode(r.cache);
        record.setTaggedQueuing(r.tagged);
        plain->SetupInfo(&record);
        select(window, plain);
        const QString shown = QStringList{ui->labelVolStripeSize->text(), ui->labelVolCacheMode->text(),
                                          ui->labelVolTaggedQueue->text(), ui->labelVolWriteProtection->text()}
                                  .join('|');
        QCOMPARE(shown, QString::fromLatin1(r.shown));
        ui->controllerView->setCurrentIndex(QModelIndex());
    }

    select(window, older->GetRaidSet(0));
    ui->tabRaidSetWidget->setCurrentIndex(1);
    shoot(window, "mainwindow-raidset");
    ui->tabRaidSetWidget->setCurrentIndex(0);
    shoot(window, "mainwindow-raidset-overview");

    const QStringList volumeLabels{"labelVolName", "labelVolRaidSetName", "labelVolMemberDisks", "labelVolCapacity",
                                   "labelVolRaidLevel", "labelVolScsiId", "labelVolCacheMode", "labelVolTaggedQueue",
                                   "labelVolStripeSize", "labelVolBlockSize", "labelVolState",
                                   "labelVolWriteProtection"};
    struct VolumeRow {
        QZynVolumeSet* volume;
        QStringList labels;
    };
    const std::vector<VolumeRow> volumeRows = {
        {older->GetVolumeSet(0),
         {"labelVolName=Five", "labelVolRaidSetName=Alpha", "labelVolMemberDisks=3", "labelVolCapacity=1.0 GB",
          "labelVolRaidLevel=Raid5", "labelVolScsiId=00/01/02", "labelVolCacheMode=Write Back",
          "labelVolTaggedQueue=Enabled", "labelVolStripeSize=64 KB", "labelVolBlockSize=512 Bytes",
          "labelVolState=Normal", "labelVolWriteProtection=Disabled"}},
        {older->GetVolumeSet(1),
         {"labelVolName=Three", "labelVolRaidSetName=Alpha", "labelVolMemberDisks=3", "labelVolCapacity=0.5 GB",
          "labelVolRaidLevel=Raid3", "labelVolScsiId=00/00/01", "labelVolCacheMode=Write Through",
          "labelVolTaggedQueue=Disabled", "labelVolStripeSize=N.A", "labelVolBlockSize=512 Bytes",
          "labelVolState=Normal", "labelVolWriteProtection=Disabled"}},
        {older->GetVolumeSet(2),
         {"labelVolName=" + withoutNul(older->GetVolumeSet(2)->GetName()),
          "labelVolRaidSetName=" + withoutNul(older->GetRaidSet(1)->GetName()), "labelVolMemberDisks=1",
          "labelVolCapacity=2.0 GB", "labelVolRaidLevel=Pass Through Disk", "labelVolScsiId=00/00/02",
          "labelVolCacheMode=Write Back", "labelVolTaggedQueue=Enabled", "labelVolStripeSize=N.A",
          "labelVolBlockSize=512 Bytes", "labelVolState=Normal", "labelVolWriteProtection=Disabled"}},
        {enclosure->GetVolumeSet(0),
         {"labelVolName=Zero", "labelVolRaidSetName=Beta", "labelVolMemberDisks=3", "labelVolCapacity=1.5 GB",
          "labelVolRaidLevel=Raid0", "labelVolScsiId=00/00/00", "labelVolCacheMode=Write Back",
          "labelVolTaggedQueue=Enabled", "labelVolStripeSize=128 KB", "labelVolBlockSize=512 Bytes",
          "labelVolState=Normal", "labelVolWriteProtection=Disabled"}},
    };
    for (const VolumeRow& r : volumeRows) {
        select(window, r.volume);
        QCOMPARE(ui->stackedWidget->currentIndex(), 3);
        QVERIFY2(labels(window, volumeLabels) == r.labels, qPrintable(labels(window, volumeLabels).join(" | ")));
    }
    select(window, older->GetVolumeSet(0));
    shoot(window, "mainwindow-volume");
}

void TestMainWindowPages::dispatchTable()
{
    // A controller nobody polls: the test alone changes its records and announces them.
    ControllerRig rig;
    QCOMPARE(rig.start(kRigAddress), QString());
    QZynController* c = rig.controller.get();
    QCOMPARE(c->BuildDeviceHierarchy(), 0u);
    QVERIFY(c->GetRaidSet(0)->IsPresent() && c->GetVolumeSet(0)->IsPresent());
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    auto* tree = qobject_cast<QControllerItemModel*>(ui->controllerView->model());
    tree->AddControllerItem(c, tree->GetNetworkItem());

    // A volume whose raid set number names none (nested volumes need not name one).
    sGUI_VOLUMESET strayRecord = c->GetVolumeSet(0)->GetRecord();
    strayRecord.setRaidSet(200);
    QZynVolumeSet* stray = c->GetVolumeSet(5);
    stray->SetupInfo(&strayRecord);
    QCOMPARE(stray->GetRaidSet(), nullptr);
    QZynDisk* disk = nullptr;
    std::vector<QZynDiskIndex> disks;
    c->GetDiskCount(disks);
    QVERIFY(!disks.empty());
    disk = c->GetDisk(disks.front());
    QZynEnclosure* enclosure = c->GetEnclosure(0);

    struct Case {
        const char* name;
        QZynDevice* current;
        QZynDevice* device;
        int code;
        QLabel* watched;   // set to "stale" first: redrawn or not
        bool redrawn;
    };
    const std::vector<Case> cases = {
        {"controller updated", c, c, QZynDevice::DeviceUpdated, ui->labelCtrlName, true},
        {"controller hardware monitor", c, c, QZynDevice::HwMonitorRefreshed, ui->labelCtrlName, true},
        {"disk updated", c, disk, QZynDevice::DeviceUpdated, ui->labelCtrlName, true},
        {"disk refreshed", c, disk, QZynDevice::HwMonitorRefreshed, ui->labelCtrlName, false},
        {"enclosure refreshed", c, enclosure, QZynDevice::HwMonitorRefreshed, ui->labelCtrlName, true},
        {"enclosure updated", c, enclosure, QZynDevice::DeviceUpdated, ui->labelCtrlName, false},
        {"raid set updated, controller on show", c, c->GetRaidSet(0), QZynDevice::DeviceUpdated, ui->labelCtrlName, false},
        {"raid set updated", c->GetRaidSet(0), c->GetRaidSet(0), QZynDevice::DeviceUpdated, ui->labelRaidSetName, true},
        {"raid set refreshed", c->GetRaidSet(0), c->GetRaidSet(0), QZynDevice::HwMonitorRefreshed, ui->labelRaidSetName, false},
        {"its volume updated", c->GetRaidSet(0), c->GetVolumeSet(0), QZynDevice::DeviceUpdated, ui->labelRaidSetName, true},
        {"volume with no raid set updated", c->GetRaidSet(0), stray, QZynDevice::DeviceUpdated, ui->labelRaidSetName, false},
        {"controller updated, raid set on show", c->GetRaidSet(0), c, QZynDevice::DeviceUpdated, ui->labelCtrlName, false},
        {"volume updated", c->GetVolumeSet(0), c->GetVolumeSet(0), QZynDevice::DeviceUpdated, ui->labelVolName, true},
        {"volume added", c->GetVolumeSet(0), c->GetVolumeSet(0), QZynDevice::DeviceAdded, ui->labelVolName, false},
        {"raid set updated, volume on show", c->GetVolumeSet(0), c->GetRaidSet(0), QZynDevice::DeviceUpdated, ui->labelRaidSetName, false},
        {"other volume updated", c->GetVolumeSet(0), stray, QZynDevice::DeviceUpdated, ui->labelVolName, false},
    };
    for (const Case& k : cases) {
        select(window, k.current);
        k.watched->setText(QStringLiteral("stale"));
        window.DeviceItemChanged(k.device, k.code);
        QVERIFY2((k.watched->text() != QLatin1String("stale")) == k.redrawn, k.name);
    }
}

void TestMainWindowPages::diskDoubleClick()
{
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    zynsim::ControllerConfig olderConfig;
    olderConfig.profile = zynsim::Profile::Older;
    QZynController* older = online(*m_sim, &m_older, kOlderAddress, olderConfig, kOlderModel);
    QVERIFY(older != nullptr);
    QZynController* enclosure = online(*m_sim, &m_enclosure, kEnclosureAddress, zynsim::ControllerConfig(), kEnclosureModel);
    QVERIFY(enclosure != nullptr);
    QTRY_VERIFY(older->GetGuiItem()->diskModel->rowCount() > 3);
    QTRY_COMPARE(enclosure->GetGuiItem()->diskModel->rowCount(), 2);

    // No answers: a dialog that opens is noted and closed with Escape.
    ModalResponder responder;
    struct Case {
        const char* name;
        QZynController* controller;
        std::function<QModelIndex(QAbstractItemModel*)> row;
        bool opens;
    };
    // The row of a slot (the view sorts its rows): column `column` of the row whose device is the
    // disk at `slot` of `enc`, under `parent`.
    const auto slotRow = [](QZynController* c, QAbstractItemModel* m, const QModelIndex& parent, int enc, int slot,
                            int column) {
        const QZynDisk* disk = c->GetDisk(QZynDiskIndex(slot, enc));
        for (int r = 0; r < m->rowCount(parent); ++r)
            if (m->index(r, 0, parent).data(zynmodel::DeviceItemRole).value<QZynDevice*>() == disk)
                return m->index(r, column, parent);
        return QModelIndex();
    };
    const auto enclosureRow = [](QAbstractItemModel* m, int enc) {
        for (int r = 0; r < m->rowCount(); ++r) {
            QZynDevice* d = m->index(r, 0).data(zynmodel::DeviceItemRole).value<QZynDevice*>();
            if (d != nullptr && d->type == QZynDevice::Enclosure && static_cast<QZynEnclosure*>(d)->GetIndex() == enc)
                return m->index(r, 0);
        }
        return QModelIndex();
    };
    const std::vector<Case> cases = {
        {"no row", older, [](QAbstractItemModel*) { return QModelIndex(); }, false},
        {"older family: a disk, first column", older,
         [&](QAbstractItemModel* m) { return slotRow(older, m, QModelIndex(), 0, 0, 0); }, true},
        {"older family: a disk, third column", older,
         [&](QAbstractItemModel* m) { return slotRow(older, m, QModelIndex(), 0, 2, 2); }, true},
        {"older family: an empty channel", older,
         [&](QAbstractItemModel* m) { return slotRow(older, m, QModelIndex(), 0, 5, 1); }, false},
        {"enclosure row", enclosure, [&](QAbstractItemModel* m) { return enclosureRow(m, 0).sibling(0, 1); }, false},
        {"enclosure family: a disk", enclosure,
         [&](QAbstractItemModel* m) { return slotRow(enclosure, m, enclosureRow(m, 0), 0, 1, 2); }, true},
        {"enclosure family: an empty slot", enclosure,
         [&](QAbstractItemModel* m) { return slotRow(enclosure, m, enclosureRow(m, 0), 0, 3, 0); }, false},
    };
    for (const Case& k : cases) {
        select(window, k.controller);
        QAbstractItemModel* model = ui->diskTreeView->model();
        QCOMPARE(model, k.controller->GetGuiItem()->diskModel);
        const QModelIndex index = k.row(model);
        QVERIFY2(index.isValid() || QLatin1String(k.name) == QLatin1String("no row"), k.name);
        const int before = responder.seen().size();
        emit ui->diskTreeView->doubleClicked(index);
        QStringList opened;
        for (int i = before; i < responder.seen().size(); ++i)
            opened << responder.seen()[i].cls;
        QVERIFY2(opened == (k.opens ? QStringList{"DialogDiskDetail"} : QStringList()),
                 qPrintable(QString::fromLatin1(k.name) + ": " + opened.join(' ')));
    }
}

void TestMainWindowPages::scheduledTasks()
{
    MainWindow window;
    QTreeWidget* list = window.Form()->logTreeWidget;
    ModalResponder responder;
    ctltest::MessageLog debug;
    struct Case {
        const char* name;
        quint16 flags;
        qint32 operation;
        QStringList rows;    // the log rows added: source|text
        QStringList boxes;   // title|text|icon|buttons
        int unknown;         // "Unknown Task" lines
    };
    const std::vector<Case> cases = {
        {"disabled message box", QZynTask::kFlagDisabled, QZynTask::MessageBox, {}, {}, 0},
        {"disabled among other flags", 0x13 | QZynTask::kFlagDisabled, QZynTask::MessageBox, {}, {}, 0},
        {"message box", 0, QZynTask::MessageBox, {"Scheduler|Execute Task(Backup reminder)"},
         {"|Put the tape in.|1|OK"}, 0},
        {"message box, other flags", 0x3, QZynTask::MessageBox, {"Scheduler|Execute Task(Backup reminder)"},
         {"|Put the tape in.|1|OK"}, 0},
        {"nothing to do", 0, QZynTask::NoOperation, {"Scheduler|Execute Task(Backup reminder)"}, {}, 0},
        {"unknown operation", 0, 7, {"Scheduler|Execute Task(Backup reminder)"}, {}, 1},
        {"negative operation", 0, -1, {"Scheduler|Execute Task(Backup reminder)"}, {}, 1},
    };
    QZynScheduler* scheduler = &QZynSettings::Application()->scheduler;
    for (const Case& k : cases) {
        QZynTask task(QStringLiteral("Backup reminder"));
        task.flags = k.flags;
        task.operation = k.operation;
        task.content.msgbox = QStringLiteral("Put the tape in.");
        if (!k.boxes.isEmpty())
            responder.press(QMessageBox::Ok);
        const int rowsBefore = list->topLevelItemCount();
        const int boxesBefore = responder.seen().size();
        const int unknownBefore = debug.matching("^Unknown Task$").size();
        // As the scheduler signals it.
        emit scheduler->ExecuteTask(&task);
        QStringList rows;
        for (int i = list->topLevelItemCount() - rowsBefore - 1; i >= 0; --i)
            rows << list->topLevelItem(i)->text(3) + "|" + list->topLevelItem(i)->text(4);
        QVERIFY2(rows == k.rows, qPrintable(QString::fromLatin1(k.name) + ": " + rows.join(" / ")));
        QStringList boxes;
        for (int i = boxesBefore; i < responder.seen().size(); ++i) {
            const ModalResponder::Seen& s = responder.seen()[i];
            boxes << QStringList{s.title, s.text, QString::number(s.icon), s.buttons.join(',')}.join('|');
        }
        QVERIFY2(boxes == k.boxes, qPrintable(QString::fromLatin1(k.name) + ": " + boxes.join(" / ")));
        QVERIFY2(debug.matching("^Unknown Task$").size() - unknownBefore == k.unknown, k.name);
    }
}

void TestMainWindowPages::scheduledMail()
{
    peertest::SmtpPeer smtp;
    const QString why = smtp.start(kPeerAddress, QStringLiteral(PALVIR_SMTP_PEER));
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    MainWindow window;
    QZynSettings* s = QZynSettings::Application();
    s->mailserver = kPeerAddress;
    s->mailport = smtp.plainPort();
    s->mailssl = false;
    s->senderaddr = "raid@example.invalid";
    s->recipients[0] = QString();
    s->recipients[1] = "second@example.invalid";
    s->recipients[2] = "third@example.invalid";
    s->attachlogfile = true;   // the event mail's switch: a task's mail never carries a file

    QZynTask task(QStringLiteral("Weekly mail"));
    task.operation = QZynTask::Mail;
    task.content.subject = QStringLiteral("Shelf check");
    task.content.msg = QStringLiteral("Look at the shelves today.");
    window.ExecuteSchedulerTask(&task);
    QTRY_COMPARE_WITH_TIMEOUT(smtp.mails().size(), 1, 30000);
    const QJsonObject mail = smtp.mails().first();
    QString subject;
    for (const QJsonValue& h : mail.value("headers").toArray())
        if (h.toArray().at(0).toString() == QLatin1String("Subject"))
            subject = h.toArray().at(1).toString();
    QCOMPARE(subject, QStringLiteral("Shelf check"));
    QCOMPARE(mail.value("mail_from").toString(), QStringLiteral("raid@example.invalid"));
    QCOMPARE(mail.value("rcpt_tos").toVariant().toStringList(),
             (QStringList{"second@example.invalid", "third@example.invalid"}));
    QStringList texts, files;
    for (const QJsonValue& p : mail.value("parts").toArray()) {
        const QJsonObject part = p.toObject();
        if (!part.value("filename").isNull())
            files << part.value("filename").toString();
        else if (part.value("type").toString() == QLatin1String("text/plain"))
            texts << part.value("text").toString();
    }
    QCOMPARE(texts, QStringList{"Look at the shelves today."});
    QCOMPARE(files, QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(Smtp::Live(), 0, 30000);
}

void TestMainWindowPages::scheduledVolumeChecks()
{
    // On the driver: two volumes ready to check. Over UDP: one ready, one being checked, and a
    // pass-through disk's (levels are the controller's to judge).
    QVERIFY(plugEmptyDriver());
    std::string why;
    QVERIFY2(m_driver->loadConfig(kEnclosureModel, &why), why.c_str());
    QVERIFY2(m_driver->applyConfig("volume \"One\" raidset 0 capacity 1000000 level 3 state 0\n", &why), why.c_str());
    MainWindow window;
    QZynController* driver = driverController();
    QVERIFY(driver != nullptr);
    zynsim::ControllerConfig olderConfig;
    olderConfig.profile = zynsim::Profile::Older;
    QString model = QString::fromLatin1(kOlderModel);
    model.replace("flags 0x4000 state 0", "flags 0x4000 state 0x100");
    QZynController* older = online(*m_sim, &m_older, kOlderAddress, olderConfig, model.toLatin1().constData());
    QVERIFY(older != nullptr);
    QTRY_VERIFY(older->GetVolumeSet(1)->GetRecord().state() == sGUI_VOLUMESET::kStateChecking);
    QTRY_VERIFY(driver->GetVolumeSet(1)->IsPresent());

    using simtest::Bytes;
    struct Case {
        const char* name;
        qint32 checkvolume;
        std::vector<Bytes> driverFrames;   // payloads of 0x63
        std::vector<Bytes> udpFrames;
        QStringList lines;                 // debug lines, sorted
    };
    const std::vector<Case> cases = {
        {"local controllers only", 0, {{0, 1, 1}, {1, 1, 1}}, {},
         {"Start volume checking on vol: \"One\"", "Start volume checking on vol: \"Zero\""}},
        // The driver's volumes are being checked now: no second start. (The library sends the
        // two switches inverted: 0 and 0 go as 1 and 1.)
        {"remote ones too", _OPERATION_CONTENT::kCheckRemote | 0x10, {}, {{0, 1, 1}, {2, 1, 1}},
         {"Start volume checking on vol: \"Channel#04\"", "Start volume checking on vol: \"Five\"", "Start volume checking on vol: \"One\"",
          "Start volume checking on vol: \"Three\"", "Start volume checking on vol: \"Zero\""}},
    };
    for (const Case& k : cases) {
        m_driver->clearLog();
        m_older->clearLog();
        ctltest::MessageLog debug;
        QZynTask task(QStringLiteral("Consistency"));
        task.operation = QZynTask::CheckVolume;
        task.content.checkvolume = k.checkvolume;
        window.ExecuteSchedulerTask(&task);
        QCOMPARE(hexOf(simtest::payloads(*m_driver, 0x63)), hexOf(k.driverFrames));
        QCOMPARE(hexOf(simtest::payloads(*m_older, 0x63)), hexOf(k.udpFrames));
        QStringList lines;
        for (const QString& line : debug.matching("^Start volume checking on vol:"))
            lines << QString(line).remove(QStringLiteral("\\u0000"));   // the names are NUL-padded
        lines.sort();
        QVERIFY2(lines == k.lines, qPrintable(QString::fromLatin1(k.name) + ": " + lines.join(" / ")));
        // What the controllers did with them, as the window sees it next.
        QTRY_VERIFY(driver->GetVolumeSet(0)->GetRecord().state() & sGUI_VOLUMESET::kStateChecking);
        QTRY_VERIFY(driver->GetVolumeSet(1)->GetRecord().state() & sGUI_VOLUMESET::kStateChecking);
    }
    QTRY_VERIFY(older->GetVolumeSet(0)->GetRecord().state() & sGUI_VOLUMESET::kStateChecking);
}

void TestMainWindowPages::browserAddressChoice()
{
    const QHostAddress any(QHostAddress::AnyIPv4);
    struct Case {
        const char* name;
        QHostAddress listening;
        QStringList entries;   // in interface order, then entry order; "" a null address
        QString host;
    };
    const std::vector<Case> cases = {
        {"loopback, then link-local, then a real one", any, {"127.0.0.1", "169.254.3.4", "10.0.0.5"}, "10.0.0.5"},
        {"loopback and link-local only", any, {"127.0.0.1", "169.254.3.4"}, "127.0.0.1"},
        {"no entries", any, {}, "127.0.0.1"},
        {"IPv6 first", any, {"::1", "fe80::1", "2001:db8::7", "192.168.1.7"}, "192.168.1.7"},
        {"other loopback addresses are kept", any, {"127.0.0.1", "127.0.0.2", "10.0.0.5"}, "127.0.0.2"},
        {"null entry skipped", any, {"", "172.16.0.9"}, "172.16.0.9"},
        {"link-local edges", any, {"169.254.0.0", "169.254.255.255", "169.255.0.1"}, "169.255.0.1"},
        {"just below link-local", any, {"169.253.255.255", "10.0.0.5"}, "169.253.255.255"},
        {"first qualifying wins", any, {"192.168.1.7", "10.0.0.5"}, "192.168.1.7"},
        {"a bound address stays", QHostAddress("192.168.5.5"), {"10.0.0.5"}, "192.168.5.5"},
        {"loopback bound stays", QHostAddress(QHostAddress::LocalHost), {"10.0.0.5"}, "127.0.0.1"},
        {"any IPv6 is not replaced", QHostAddress(QHostAddress::AnyIPv6), {"10.0.0.5"}, "::"},
    };
    for (const Case& k : cases) {
        QList<QNetworkAddressEntry> entries;
        for (const QString& e : k.entries)
            entries << entry(e);
        QVERIFY2(MainWindow::BrowserHost(k.listening, entries).toString() == k.host, k.name);
    }
}

void TestMainWindowPages::browserUrl()
{
    QVERIFY(plugEmptyDriver());
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    QZynController* driver = driverController();
    QVERIFY(driver != nullptr);
    zynsim::ControllerConfig olderConfig;
    olderConfig.profile = zynsim::Profile::Older;
    QZynController* older = online(*m_sim, &m_older, kOlderAddress, olderConfig, kOlderModel);
    QVERIFY(older != nullptr);
    QTRY_VERIFY(older->GetRaidSet(0)->IsPresent());
    ControllerRig rig;
    QCOMPARE(rig.start(kRigAddress), QString());
    auto* tree = qobject_cast<QControllerItemModel*>(ui->controllerView->model());
    tree->AddControllerItem(rig.controller.get(), tree->GetNetworkItem());

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    QList<QNetworkAddressEntry> entries;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
        entries += i.addressEntries();
    const QTcpServer* proxy = driver->GetHttpProxyServer();
    QCOMPARE(proxy->serverAddress(), QHostAddress(QHostAddress::AnyIPv4));
    const QString proxied = "http://" + MainWindow::BrowserHost(proxy->serverAddress(), entries).toString() + ":"
                            + QString::number(proxy->serverPort());

    QAction* action = window.findChild<QAction*>("actionLaunchBrowser");
    struct Case {
        const char* name;
        QZynDevice* current;   // null: no row
        bool enabled;
        QStringList urls;      // what the page button and the action open
    };
    const std::vector<Case> cases = {
        {"no row", nullptr, false, {}},
        {"raid set", older->GetRaidSet(0), false, {}},
        {"controller without a web proxy", rig.controller.get(), false, {}},
        {"over Ethernet: its own pages on port 80", older, true, {"http://127.0.0.241:80", "http://127.0.0.241:80"}},
        {"on the driver: through the proxy", driver, true, {proxied, proxied}},
    };
    for (const Case& k : cases) {
        if (k.current != nullptr)
            select(window, k.current);
        else
            ui->controllerView->setCurrentIndex(QModelIndex());
        QVERIFY2(action->isEnabled() == k.enabled, k.name);
        catcher.urls.clear();
        ui->doAdvanceFeatures->click();
        emit action->triggered();
        QVERIFY2(catcher.urls == k.urls, qPrintable(QString::fromLatin1(k.name) + ": " + catcher.urls.join(" / ")));
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void TestMainWindowPages::consoleNamesItsController()
{
    // Two controllers on the driver that the tree names alike, one over UDP; the console is one
    // widget for all. The line names each as the tree does, the twins with their serial numbers.
    QVERIFY(plugEmptyDriver());
    zynsim::ControllerConfig twinConfig;
    twinConfig.emptyModel = true;
    twinConfig.systemName = "varnel-raid-slot0";
    const auto twinFake = m_sim->addDriverController(driverFolder().toStdString(), 1, twinConfig);
    QVERIFY(twinFake);
    MainWindow window;
    Ui_MainWindow* ui = window.Form();
    QZynController* driver = driverController();
    QZynController* twin = driverController(twinFake.get());
    QVERIFY(driver != nullptr && twin != nullptr);
    QZynController* udp = online(*m_sim, &m_enclosure, kConsoleAddress, zynsim::ControllerConfig(), kEnclosureModel);
    QVERIFY(udp != nullptr);
    // None asks for its password: every command runs at once.
    for (QZynController* c : {driver, twin, udp})
        c->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    auto* tree = qobject_cast<QControllerItemModel*>(ui->controllerView->model());
    const QString udpLine = "Commands now go to varnel-raid-127.0.7.1 Machine room (127.0.7.1).";
    const auto twinLine = [](const zynsim::FakeController& fake) {
        const QString serial = QString::fromStdString(fake.serial());
        return "Commands now go to varnel-raid-slot0 Machine room, serial number " + serial + " (LocalHost).";
    };
    const QString driverLine = twinLine(*m_driver);
    Console* console = ui->console;
    const auto typeLine = [console](const QString& words, bool enter) {
        QTest::keyClicks(console, words);
        if (enter)
            QTest::keyClick(console, Qt::Key_Return);
    };
    // Everything before the prompt line, and the prompt line.
    const auto aboveThePrompt = [console] {
        const QString text = console->toPlainText();
        return text.left(text.lastIndexOf(QLatin1Char('\n')) + 1);
    };

    // The first controller is named too; then a command runs on it and another is begun.
    select(window, udp);
    QCOMPARE(console->toPlainText(), udpLine + "\nCLI> ");
    typeLine("sys getrtctime", true);
    QTRY_COMPARE(clockReads(*m_enclosure), 1);
    typeLine("sys getrt", false);
    const QString ranOnUdp = console->toPlainText();
    QVERIFY2(ranOnUdp.endsWith("\nCLI> sys getrt"), qPrintable(ranOnUdp));
    const QStringList history = console->History();
    QCOMPARE(history, QStringList{"sys getrtctime"});

    struct Step {
        const char* name;
        QZynDevice* row;   // null: the LocalHost row
        QString added;     // the line that appears above the prompt line
    };
    const Step steps[] = {
        {"the other controller", driver, driverLine},
        {"a root row: the console keeps its controller", nullptr, QString()},
        {"the same controller again", driver, QString()},
        {"its page redrawn once more", driver, QString()},
        {"back to the first", udp, udpLine},
        {"the other's twin", twin, twinLine(*twinFake)},
        {"and to the other once more", driver, driverLine},
    };
    QString expected = ranOnUdp;
    for (const Step& st : steps) {
        if (st.row == nullptr)
            ui->controllerView->setCurrentIndex(tree->GetLocalHostItem()->index());
        else
            select(window, st.row);
        // A page redrawn by its controller's changes sets the console's controller again.
        emit driver->DeviceChanged(driver, QZynDevice::DeviceUpdated);
        QCoreApplication::processEvents();
        if (!st.added.isEmpty()) {
            const int promptAt = expected.lastIndexOf(QLatin1Char('\n')) + 1;
            expected.insert(promptAt, st.added + QLatin1Char('\n'));
        }
        QVERIFY2(console->toPlainText() == expected, qPrintable(QString::fromLatin1(st.name) + ":\n" + console->toPlainText()));
        QCOMPARE(console->History(), history);
        QCOMPARE(console->textCursor().position(), console->document()->characterCount() - 1);
    }

    // The begun line finished and entered: it runs on the controller named last, only there.
    typeLine("ctime", true);
    QTRY_COMPARE(clockReads(*m_driver), 1);
    QCOMPARE(clockReads(*m_enclosure), 1);
    QCOMPARE(clockReads(*twinFake), 0);
    QVERIFY2(aboveThePrompt().startsWith(expected + "ctime\n"), qPrintable(console->toPlainText()));
    QCOMPARE(console->History(), (QStringList{"sys getrtctime"}));
    ui->tabControllerWidget->setCurrentWidget(ui->tabCLI);
    shoot(window, "mainwindow-console");

    // A third controller beside the second is replaced while its row or its volume's is current:
    // the row moves up to Network (start page, no command offered), the refused line is the
    // command's last, and the next command reaches no controller.
    for (bool volumeRow : {false, true}) {
        auto own = std::make_unique<zynsim::Simulator>();
        std::shared_ptr<zynsim::FakeController> first;
        QPointer<QZynController> gone = online(*own, &first, kGoneAddress, zynsim::ControllerConfig(), kEnclosureModel);
        QVERIFY(gone);
        gone->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
        select(window, gone);   // the console's controller
        if (volumeRow)
            select(window, gone->GetVolumeSet(0));
        own = std::make_unique<zynsim::Simulator>();
        const auto other = own->addUdpController(kGoneAddress, zynsim::ControllerConfig());
        QVERIFY(other);
        const QString shown = console->toPlainText();
        typeLine("sys beeper p=0", true);
        QTRY_VERIFY(gone.isNull());
        QCOMPARE(console->toPlainText(),
                 shown + "sys beeper p=0\nGuiErrMsg<0x15>: Controller Failed or Inactive.\n\nCLI> ");
        QZynDevice* now = window.GetCurrentControllerTreeItem();
        QVERIFY(now != nullptr && now->type == QZynDevice::Network && ui->stackedWidget->currentIndex() == 0);
        QVERIFY(!ui->deleteVolumeCommandLinkButton->isEnabled());
        typeLine("sys getrtctime", true);
        QVERIFY(console->toPlainText().endsWith("\nGuiErrMsg<0x11>: Invalid Interface.\n\nCLI> "));
        QCOMPARE(clockReads(*other), 0);
    }
    // One not on show goes: the current row and the console stay.
    select(window, udp);
    const QString named = console->toPlainText();
    QPointer<QZynController> driverGone = driver;
    std::thread([driver] { driver->GiveUp(); }).join();
    QTRY_VERIFY(driverGone.isNull());
    QVERIFY(window.GetCurrentControllerTreeItem() == udp && console->toPlainText() == named);
    typeLine("sys getrtctime", true);
    QTRY_COMPARE(clockReads(*m_enclosure), 2);
    QCOMPARE(clockReads(*m_driver), 1);
}

// Without a browser to open, Advanced Features gives the address to open by hand.
void TestMainWindowPages::browserMissing()
{
    // No handler of the program's own and no program on the path: the platform's opening fails
    // as on a machine without a desktop or a browser.
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QTemporaryDir noPrograms;
    QVERIFY(noPrograms.isValid());
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", noPrograms.path().toLocal8Bit());
    const auto restore = qScopeGuard([&path] { qputenv("PATH", path); });

    QVERIFY(plugEmptyDriver());
    MainWindow window;
    QZynController* driver = driverController();
    QVERIFY(driver != nullptr);
    zynsim::ControllerConfig olderConfig;
    olderConfig.profile = zynsim::Profile::Older;
    QZynController* older = online(*m_sim, &m_older, kBrowserlessAddress, olderConfig, kOlderModel);
    QVERIFY(older != nullptr);
    QList<QNetworkAddressEntry> entries;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces())
        entries += i.addressEntries();
    const QTcpServer* proxy = driver->GetHttpProxyServer();
    const QString proxied = "http://" + MainWindow::BrowserHost(proxy->serverAddress(), entries).toString() + ":"
                            + QString::number(proxy->serverPort());

    struct Case {
        const char* name;
        QZynDevice* current;
        QString url;
    };
    const std::vector<Case> cases = {
        {"over Ethernet", older, QStringLiteral("http://%1:80").arg(QLatin1String(kBrowserlessAddress))},
        {"on the driver", driver, proxied},
    };
    for (const Case& k : cases) {
        select(window, k.current);
        ModalResponder responder;
        responder.handle([](QWidget* box) {
            dialogtest::shootDialog(box, QStringLiteral("browser-missing"));
            static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        window.Form()->doAdvanceFeatures->click();
        const QStringList expected = {
            QStringLiteral("%1|Palvir|No web browser could be opened; please open %2 by hand.|OK|OK")
                .arg(int(QMessageBox::Warning))
                .arg(k.url)};
        QVERIFY2(dialogtest::transcript(responder) == expected,
                 qPrintable(QString::fromLatin1(k.name) + ": " + dialogtest::transcript(responder).join(" / ")));
    }
}

int main(int argc, char** argv)
{
    return viewtest::runWindowTest<TestMainWindowPages>(argc, argv, kDiscovery);
}

#include "test_mainwindow_pages.moc"
