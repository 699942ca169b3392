// The device view models against the simulator, through the real polling thread: the cell texts
// of each model for known configurations of both families, the model tester over a script of
// changes, the progress bar of a busy volume set, the state icons and the checked insertion.
// With PALVIR_SHOT_DIR set, a picture of a tree view over each model goes there.
#include "controllerfixture.h"
#include "viewfixture.h"
#include "ui/model/controlleritemmodel.h"
#include "ui/model/diskitemmodel.h"
#include "ui/model/expandvolumesetitemmodel.h"
#include "ui/model/selectionproxy.h"
#include "ui/model/treeviews.h"
#include "devices/enclosure.h"
#include "watcher/eventwatcher.h"
#include "devices/images.h"
#include "ui/model/itemmodel.h"
#include "devices/raidset.h"
#include "ui/model/raidsetitemmodel.h"
#include "devices/volumeset.h"
#include "ui/model/volumesetitemmodel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionProgressBar>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>
#include <QtTest>

using namespace ctltest;
using namespace viewtest;
using zynmodel::DeviceItemRole;

namespace {

// The texts of one row, column by column.
QStringList rowTexts(const QAbstractItemModel* model, int row, const QModelIndex& parent = QModelIndex())
{
    QStringList out;
    for (int c = 0; c < model->columnCount(parent); ++c)
        out << model->index(row, c, parent).data().toString();
    return out;
}

QStringList headers(const QAbstractItemModel* model)
{
    QStringList out;
    for (int c = 0; c < model->columnCount(); ++c)
        out << model->headerData(c, Qt::Horizontal).toString();
    return out;
}

// Records the progress bars drawn through it.
class RecordingStyle : public QProxyStyle {
public:
    QList<QStyleOptionProgressBar> bars;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element == CE_ProgressBar)
            if (const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(option))
                const_cast<RecordingStyle*>(this)->bars << *bar;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// Upper-cases every text it is asked for.
class ShoutingTranslator : public QTranslator {
public:
    QString translate(const char*, const char* source, const char* = nullptr, int = -1) const override
    {
        return QString::fromLatin1(source).toUpper();
    }
    bool isEmpty() const override { return false; }
};

const char* const kEnclosureConfig =
    "enclosure 0 vendor \"Varnel\" name \"Backplane A\" revision \"0102\" slots 4\n"
    "enclosure 1 vendor \"Varnel\" name \"Backplane B\" revision \"0103\" slots 2\n"
    "disk 0 0 serial \"SER00\"\n"
    "disk 0 1 serial \"SER01\"\n"
    "disk 0 2 serial \"SER02\"\n"
    "disk 1 0 serial \"SER10\" capacity 3906250000\n"
    "disk 1 1 serial \"SER11\" capacity 3906250000\n"
    "raidset \"Raid Set # 000\" disks 0:0 0:1 0:2\n"
    "volume \"Volume---VOL#000\" raidset 0 capacity 4000000000 level 3 stripe 128 id 1 lun 7 state 8 progress 125\n"
    "raidset \"Raid Set # 001\" disks 1:0 1:1\n"
    "volume \"Mirror\" raidset 1 capacity 2000000 level 1 lun 1\n"
    "nested \"Stripe of two\" members 0 1\n";

} // namespace

class TestModels : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void enclosureFamilyModels();
    void olderFamilyModels();
    void controllerTree();
    void raidSetRowFollowsItsVolumes_data();
    void raidSetRowFollowsItsVolumes();
    void modelsFollowChanges();
    void busyVolumeDrawsProgressBar();
    void volumeStateIcons();
    void checkedInsertion();
    void headersFollowTranslation();
    void numbersSortAsNumbers();

private:
    // Serves a controller whose model is `config`, lists it under the host, starts it and waits
    // until its models hold its tables.
    QZynController* online(const char* address, zynsim::Profile profile, const char* config);
    QZynGuiItem* items(QZynController* c) { return c->GetGuiItem(); }

    QTemporaryDir m_dir;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    std::unique_ptr<Starter> m_starter;
};

void TestModels::initTestCase()
{
    simtest::fastPolls();
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    qputenv("ZYNMSR_DRIVER_DIR", (m_dir.path() + "/driver").toLocal8Bit());
    ControllerEventWatcherThread::SetIntervals(100, 300, 20);
    ControllerEventWatcherThread::Install();
    InstallControllerModels();
    PalvirInitImages();
}

void TestModels::cleanup()
{
    emptyHost();
    QCoreApplication::processEvents();
    m_starter.reset();
    m_ctl.reset();
    m_sim.reset();
}

QZynController* TestModels::online(const char* address, zynsim::Profile profile, const char* config)
{
    m_starter = std::make_unique<Starter>();
    m_sim = std::make_unique<zynsim::Simulator>();
    return serveOnline(*m_sim, &m_ctl, address, profile, config);
}

void TestModels::enclosureFamilyModels()
{
    QZynController* c = online("127.0.0.111", zynsim::Profile::Enclosure, kEnclosureConfig);
    QVERIFY(c);
    QZynGuiItem* g = items(c);
    QVERIFY(g->raidSetModel && g->volumeSetModel && g->diskModel && g->memberDiskModel);

    QStandardItemModel* raid = g->raidSetModel;
    QCOMPARE(headers(raid), QStringList({"Name", "Member Disk", "Total Raw Capacity", "Free Raw Capacity",
                                         "Min Member Disk Capacity", "Volumes", "State"}));
    QTRY_COMPARE(raid->rowCount(), 2);
    QCOMPARE(rowTexts(raid, 0), QStringList({"Raid Set # 000", "3", "12002.4 GB", "8930.4 GB", "4000.8 GB", "1",
                                             "Rebuilding"}));
    QCOMPARE(rowTexts(raid, 1).mid(0, 2), QStringList({"Raid Set # 001", "2"}));
    QCOMPARE(raid->index(0, 0).data(DeviceItemRole).value<QZynRaidSet*>(), c->GetRaidSet(0));
    QVERIFY(!raid->item(0, 3)->isEditable());
    // The record's name is NUL-padded; the cell shows none of it.
    QVERIFY(c->GetRaidSet(0)->GetName().contains(QChar(0)));

    QStandardItemModel* volumes = g->volumeSetModel;
    QCOMPARE(headers(volumes), QStringList({"Name", "RaidSet Name", "Level", "State", "Ch/Id/Lun", "Capacity"}));
    QTRY_COMPARE(volumes->rowCount(), 3);
    // Nested volumes first, then each raid set's volumes (the nested volume's members).
    QCOMPARE(rowTexts(volumes, 0), QStringList({"Stripe of two", "-----", "Raid50", "Normal", "00/00/02", "2.0 GB"}));
    int rebuilding = -1;
    for (int r = 0; r < volumes->rowCount(); ++r)
        if (volumes->index(r, 0).data().toString() == QLatin1String("Volume---VOL#000"))
            rebuilding = r;
    QVERIFY(rebuilding >= 0);
    QCOMPARE(rowTexts(volumes, rebuilding), QStringList({"Volume---VOL#000", "Raid Set # 000", "Raid5",
                                                         "Rebuilding(12.5%)", "00/01/07", "2048.0 GB"}));
    QCOMPARE(iconAt(volumes->index(rebuilding, 0)), imageOf(":/images/icons/event/warning.png"));

    QStandardItemModel* disks = g->diskModel;
    QCOMPARE(headers(disks), QStringList({"Name", "Serial#", "Firmware Rev.", "Capacity", "Usage", "State", "Slot#"}));
    QTRY_COMPARE(disks->rowCount(), 2);
    const QModelIndex first = disks->index(0, 0);
    QCOMPARE(first.data().toString(), QStringLiteral("Enclsoure#1: VarnelBackplane A0102"));
    QCOMPARE(iconAt(first), imageOf(":/images/icons/devices/enclosure.jpg"));
    QCOMPARE(disks->rowCount(first), 4);
    QCOMPARE(disks->index(1, 0).data().toString(), QStringLiteral("Enclsoure#2: VarnelBackplane B0103"));
    const QStringList slot0 = rowTexts(disks, 0, first);
    QCOMPARE(slot0[0], QStringLiteral("Varnel VD4000S"));
    QCOMPARE(slot0[1], QStringLiteral("SER00"));
    QCOMPARE(slot0[3], QStringLiteral("4000.8 GB"));
    QCOMPARE(slot0[4], QStringLiteral("Raid Set # 000"));   // the usage names the raid set, without its padding
    QCOMPARE(slot0[6], QStringLiteral("Slot 01"));
    QCOMPARE(rowTexts(disks, 3, first), QStringList({"N.A.", "N.A.", "N.A.", "N.A.", "N.A.", "N.A.", "Slot 04"}));

    auto* members = static_cast<QZynRaidSetMemberDiskItemModel*>(g->memberDiskModel);
    QCOMPARE(members->rowCount(), 0);
    QCOMPARE(members->columnCount(), 0);
    members->SetupData(c->GetRaidSet(1));
    QCOMPARE(headers(members), QStringList({"Name", "Serial#", "Capacity", "State", "Slot#", "Enclosure#"}));
    QCOMPARE(members->rowCount(), 2);
    QCOMPARE(rowTexts(members, 1), (QStringList{"Varnel VD4000S", "SER11", "2000.0 GB",
                                                c->GetDisk(QZynDiskIndex(1, 1))->GetStateString(), "Slot 02", "Enc#2"}));

    shoot(raid, QStringLiteral("enclosure-raidsets"), QStringLiteral("Raid sets (enclosure family)"));
    VolumeSetViewDelegate delegate;
    shoot(volumes, QStringLiteral("enclosure-volumes"), QStringLiteral("Volume sets (enclosure family)"), nullptr, &delegate);
    shoot(disks, QStringLiteral("enclosure-disks"), QStringLiteral("Disks (enclosure family)"));
    shoot(members, QStringLiteral("enclosure-members"), QStringLiteral("Members of Raid Set # 001"));
}

void TestModels::olderFamilyModels()
{
    QZynController* c = online("127.0.0.112", zynsim::Profile::Older,
                               "controller channels 8\n"
                               "disk 0 0\ndisk 0 2\ndisk 0 5\n"
                               "raidset \"Raid Set # 000\" disks 0 2 5\n"
                               "volume \"Volume---VOL#000\" raidset 0 capacity 4000000000 level 3\n");
    QVERIFY(c);
    QStandardItemModel* disks = items(c)->diskModel;
    QTRY_COMPARE(disks->rowCount(), 8);
    for (int slot : {1, 3, 4, 6, 7})
        QCOMPARE(rowTexts(disks, slot), (QStringList{"N.A.", "N.A.", "N.A.", "N.A.", "N.A.", "N.A.", QString::number(slot)}));
    QCOMPARE(rowTexts(disks, 2)[6], QStringLiteral("2"));
    QCOMPARE(rowTexts(disks, 5)[5], c->GetDisk(QZynDiskIndex(5, 0))->GetStateString());
    QCOMPARE(disks->rowCount(disks->index(0, 0)), 0);
    QCOMPARE(iconAt(disks->index(0, 0)), imageOf(c->GetDisk(QZynDiskIndex(0, 0))->GetStateIcon()));

    auto* members = static_cast<QZynRaidSetMemberDiskItemModel*>(items(c)->memberDiskModel);
    members->SetupData(c->GetRaidSet(0));
    QCOMPARE(members->rowCount(), 3);
    QCOMPARE(rowTexts(members, 2)[4], QStringLiteral("5"));
    QCOMPARE(rowTexts(members, 2)[5], QStringLiteral("N.A"));
    // A member whose disk is gone shows dashes; the model follows its raid set only.
    QVERIFY(m_ctl->applyConfig("remove 0:2\n", nullptr));
    QTRY_COMPARE(rowTexts(members, 1), QStringList({"-----", "-----", "-----", "-----", "-----", "-----"}));

    shoot(disks, QStringLiteral("older-disks"), QStringLiteral("Disks (older family)"));
    shoot(items(c)->raidSetModel, QStringLiteral("older-raidsets"), QStringLiteral("Raid sets (older family)"));
}

void TestModels::controllerTree()
{
    QControllerItemModel tree(ZynGetHost(), nullptr);
    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(tree.rowCount(), 2);
    QCOMPARE(tree.index(0, 0).data().toString(), QStringLiteral("LocalHost"));
    QCOMPARE(tree.index(1, 0).data().toString(), QStringLiteral("Network"));
    QCOMPARE(iconAt(tree.index(0, 0)), imageOf(":/images/icons/app/localhost.png"));
    QCOMPARE(iconAt(tree.index(1, 0)), imageOf(":/images/icons/app/network_w.png"));
    QCOMPARE(tree.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Controller Hierarchy"));
    QCOMPARE(tree.index(0, 0).data(DeviceItemRole).value<QZynDevice*>()->type, int(QZynDevice::LocalHost));

    // A controller on the driver goes under LocalHost, one over UDP under Network.
    QZynController* ip = online("127.0.0.113", zynsim::Profile::Enclosure, kEnclosureConfig);
    QVERIFY(ip);
    const std::string folder = (m_dir.path() + "/driver").toStdString();
    auto local = m_sim->addDriverController(folder, 0, zynsim::ControllerConfig());
    QVERIFY(local);
    QCOMPARE(ZynGetHost()->scan_controller(), 1);
    QZynController* driver = nullptr;
    for (int i = 0; i < ZynGetHost()->get_total_controllers(); ++i)
        if (ZynGetHost()->get_controller(i)->GetConnectionType() == QZynController::ConnectionDriver)
            driver = ZynGetHost()->get_controller(i);
    QVERIFY(driver);
    emit ZynGetHost()->DeviceChanged(driver, QZynDevice::DeviceAdded);

    const QModelIndex network = tree.index(1, 0);
    QTRY_COMPARE(tree.rowCount(network), 1);
    const QModelIndex controller = tree.index(0, 0, network);
    QCOMPARE(controller.data().toString(), ip->GetText());
    QTRY_COMPARE(tree.rowCount(controller), 2);
    const QModelIndex raid0 = tree.index(0, 0, controller);
    QCOMPARE(raid0.data().toString(), QStringLiteral("Raid Set # 000"));
    QTRY_COMPARE(tree.rowCount(raid0), 1);
    QCOMPARE(tree.index(0, 0, raid0).data().toString(), QStringLiteral("Volume---VOL#000"));
    QTRY_COMPARE(tree.rowCount(tree.index(0, 0)), 1);
    QTRY_VERIFY(tree.rowCount(tree.index(0, 0, tree.index(0, 0))) >= 1);
    QCOMPARE(tree.index(0, 0, tree.index(0, 0)).data().toString(), driver->GetText());
    // The nested volume itself has no row anywhere.
    QVERIFY(tree.match(tree.index(0, 0), Qt::DisplayRole, QStringLiteral("Stripe of two"), 1,
                       Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    shoot(&tree, QStringLiteral("controller-tree"), QStringLiteral("Controller tree"));

    // Deleting the nested volume (its members with it) and then a raid set removes their rows;
    // a volume set made on the other controller goes under that controller's raid set 0, not
    // under this one's: the rows of each controller follow its own changes only.
    const QModelIndex driverRow = tree.index(0, 0, tree.index(0, 0));
    const QModelIndex driverRaid0 = tree.index(0, 0, driverRow);
    QTRY_COMPARE(tree.rowCount(driverRaid0), 1);   // the simulator's own volume set 0
    const int driverRaidSets = tree.rowCount(driverRow);
    QVERIFY(m_ctl->deleteVolumeSet(2));
    QVERIFY(m_ctl->deleteVolumeSet(1));
    QVERIFY(m_ctl->deleteRaidSet(1));
    QVERIFY(local->createVolumeSet(0, "Driver volume", 2000000, 0, 128) >= 0);
    QTRY_COMPARE(tree.rowCount(controller), 1);
    QTRY_COMPARE(tree.rowCount(driverRaid0), 2);
    QCOMPARE(tree.index(1, 0, driverRaid0).data().toString(), QStringLiteral("Driver volume"));
    QCOMPARE(tree.rowCount(driverRow), driverRaidSets);
    QCOMPARE(tree.rowCount(raid0), 0);
    // A controller update leaves its text.
    const QString text = controller.data().toString();
    emit ip->DeviceChanged(ip, QZynDevice::DeviceUpdated);
    QCOMPARE(controller.data().toString(), text);
    // Removing a controller removes its subtree.
    emit ZynGetHost()->DeviceChanged(ip, QZynDevice::DeviceRemoved);
    QCOMPARE(tree.rowCount(network), 0);
    emptyHost();
    m_sim->removeDriverController(local);
}

void TestModels::raidSetRowFollowsItsVolumes_data()
{
    QTest::addColumn<uint>("state");     // the volume set's state word, 99.0% done
    QTest::addColumn<QString>("busy");   // its raid set's state meanwhile

    QTest::newRow("initialising") << 0x1u << "Initializing";
    QTest::newRow("migrating") << 0x4u << "Migrating";
    QTest::newRow("rebuilding") << 0x8u << "Rebuilding";
    QTest::newRow("checking") << 0x100u << "Checking";
}

// A raid set's tree row shows the state its volume sets give it: the warning while one is busy,
// the raid set icon once the work is done, without the controller being listed anew.
void TestModels::raidSetRowFollowsItsVolumes()
{
    QFETCH(uint, state);
    QFETCH(QString, busy);
    QControllerItemModel tree(ZynGetHost(), nullptr);
    QAbstractItemModelTester tester(&tree, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QByteArray config = "enclosure 0 slots 4\ndisk 0 0\ndisk 0 1\ndisk 0 2\n"
                              "raidset \"Busy\" disks 0:0 0:1 0:2\n"
                              "volume \"V\" raidset 0 capacity 1000000 level 3 state "
        + QByteArray::number(state) + " progress 990\n";
    QZynController* c = online("127.0.6.30", zynsim::Profile::Enclosure, config.constData());
    QVERIFY(c);
    const QModelIndex network = tree.index(1, 0);
    QTRY_COMPARE(tree.rowCount(network), 1);
    const QModelIndex controller = tree.index(0, 0, network);
    QTRY_COMPARE(tree.rowCount(controller), 1);
    const QModelIndex raidRow = tree.index(0, 0, controller);
    QTRY_COMPARE(tree.rowCount(raidRow), 1);
    QZynRaidSet* raidSet = c->GetRaidSet(0);
    QCOMPARE(raidSet->GetStateString(), busy);
    QCOMPARE(raidRow.data().toString(), QStringLiteral("Busy"));
    QCOMPARE(iconAt(raidRow), imageOf(":/images/icons/event/warning.png"));
    QCOMPARE(iconAt(tree.index(0, 0, raidRow)), imageOf(":/images/icons/event/warning.png"));

    QVERIFY(m_ctl->advanceProgress(0, 10));
    QTRY_COMPARE_WITH_TIMEOUT(raidSet->GetStateString(), QStringLiteral("Normal"), 20000);
    QTRY_COMPARE(iconAt(tree.index(0, 0, raidRow)), imageOf(c->GetVolumeSet(0)->GetStateIconPath()));
    QTRY_COMPARE(iconAt(raidRow), imageOf(":/images/icons/devices/raidset.png"));
    QCOMPARE(raidRow.data().toString(), QStringLiteral("Busy"));
    QCOMPARE(rowTexts(items(c)->raidSetModel, 0)[6], QStringLiteral("Normal"));
}

void TestModels::modelsFollowChanges()
{
    QZynController* c = online("127.0.0.114", zynsim::Profile::Enclosure,
                               "enclosure 0 slots 6\n"
                               "disk 0 0\ndisk 0 1\ndisk 0 2\ndisk 0 3\n"
                               "raidset \"First\" disks 0:0 0:1\n");
    QVERIFY(c);
    QZynGuiItem* g = items(c);
    QAbstractItemModelTester raidTester(g->raidSetModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester volumeTester(g->volumeSetModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester diskTester(g->diskModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester memberTester(g->memberDiskModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
    static_cast<QZynRaidSetMemberDiskItemModel*>(g->memberDiskModel)->SetupData(c->GetRaidSet(0));
    QStandardItemModel* raid = g->raidSetModel;
    QStandardItemModel* volumes = g->volumeSetModel;
    QStandardItemModel* disks = g->diskModel;
    QTRY_COMPARE(raid->rowCount(), 1);
    QCOMPARE(volumes->rowCount(), 0);

    // A volume: inserted in the volume model, its raid set's row rewritten.
    const int v0 = m_ctl->createVolumeSet(0, "One", 2000000, 0, 128);
    QVERIFY(v0 >= 0);
    QTRY_COMPARE(volumes->rowCount(), 1);
    QTRY_COMPARE(rowTexts(raid, 0)[5], QStringLiteral("1"));
    QCOMPARE(rowTexts(volumes, 0)[5], QStringLiteral("1.0 GB"));
    // Its progress follows.
    QVERIFY(m_ctl->setVolumeState(v0, 0x8, 500));
    QTRY_COMPARE(rowTexts(volumes, 0)[3], QStringLiteral("Rebuilding(50.0%)"));

    // A second raid set goes in at its place in the controller's list; a disk change rewrites.
    const int r1 = m_ctl->createRaidSet("Second", {{0, 2}, {0, 3}});
    QVERIFY(r1 == 1);
    QTRY_COMPARE(raid->rowCount(), 2);
    QCOMPARE(rowTexts(raid, 1)[0], QStringLiteral("Second"));
    const QModelIndex enclosure = disks->index(0, 0);
    QTRY_COMPARE(rowTexts(disks, 2, enclosure)[4], QStringLiteral("Second"));
    QVERIFY(m_ctl->addDisk(0, 5, "Varnel VD8000S", "NEW05", 15628053168ull));
    QTRY_COMPARE(rowTexts(disks, 5, enclosure)[1], QStringLiteral("NEW05"));
    QCOMPARE(disks->rowCount(enclosure), 6);

    // Removing: the volume, then the raid set.
    QVERIFY(m_ctl->deleteVolumeSet(v0));
    QTRY_COMPARE(volumes->rowCount(), 0);
    QTRY_COMPARE(rowTexts(raid, 0)[5], QStringLiteral("0"));
    QVERIFY(m_ctl->deleteRaidSet(r1));
    QTRY_COMPARE(raid->rowCount(), 1);

    // Code 2 of a raid set without a row adds nothing; a removal without a row changes nothing.
    emit c->DeviceChanged(c->GetRaidSet(5), QZynDevice::DeviceUpdated);
    emit c->DeviceChanged(c->GetRaidSet(5), QZynDevice::DeviceRemoved);
    QCOMPARE(raid->rowCount(), 1);
    // A code 2 of a volume set without a row inserts it; code 3 changes nothing.
    const int v1 = m_ctl->createVolumeSet(0, "Two", 2000000, 0, 128);
    QVERIFY(v1 >= 0);
    QTRY_VERIFY(c->GetVolumeSet(v1)->IsPresent());
    QTRY_COMPARE(volumes->rowCount(), 1);
    static_cast<QZynVolumeSetItemModel*>(volumes)->RemoveItem(c->GetVolumeSet(v1));
    QCOMPARE(volumes->rowCount(), 0);
    emit c->DeviceChanged(c->GetVolumeSet(v1), QZynDevice::HwMonitorRefreshed);
    QCOMPARE(volumes->rowCount(), 0);
    emit c->DeviceChanged(c->GetVolumeSet(v1), QZynDevice::DeviceUpdated);
    QCOMPARE(volumes->rowCount(), 1);
    // The dummy disk (an event for an unknown enclosure) changes nothing.
    emit c->DeviceChanged(c->GetDisk(QZynDiskIndex(3, 40)), QZynDevice::DeviceUpdated);
    // An enclosure announced again keeps one row; removed, its row and slots go.
    emit c->DeviceChanged(c->GetEnclosure(0), QZynDevice::DeviceAdded);
    QCOMPARE(disks->rowCount(), 1);
    emit c->DeviceChanged(c->GetEnclosure(0), QZynDevice::DeviceRemoved);
    QCOMPARE(disks->rowCount(), 0);
    emit c->DeviceChanged(c->GetEnclosure(0), QZynDevice::DeviceAdded);
    QCOMPARE(disks->rowCount(), 1);
    QCOMPARE(disks->rowCount(disks->index(0, 0)), 6);

    // The shown raid set's members follow it.
    QStandardItemModel* members = g->memberDiskModel;
    QCOMPARE(members->rowCount(), 2);
    const QString before = rowTexts(members, 1)[3];
    QVERIFY(m_ctl->applyConfig("fail 0:1\n", nullptr));
    QTRY_VERIFY(rowTexts(members, 1)[3] != before);
    QCOMPARE(rowTexts(members, 1)[3], c->GetDisk(QZynDiskIndex(1, 0))->GetStateString());
}

void TestModels::busyVolumeDrawsProgressBar()
{
    auto* style = new RecordingStyle;
    QApplication::setStyle(style);   // the application owns it
    QZynVolumeSet volume(nullptr, 0, nullptr);
    sGUI_VOLUMESET record{};
    record.setName("Busy");
    record.setCapacity(2000000);
    record.setState(0x8);
    record.setProgress(125);
    volume.SetupInfo(&record);

    QStandardItemModel model(1, 4);
    model.setItem(0, 0, new QStandardItem(QStringLiteral("Busy")));
    model.item(0, 0)->setData(QVariant::fromValue(&volume), DeviceItemRole);
    model.setItem(0, 3, new QStandardItem(volume.GetStateString()));
    VolumeSetViewDelegate delegate;
    QImage canvas(200, 30, QImage::Format_ARGB32);
    QPainter painter(&canvas);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 200, 30);

    auto paint = [&](int column) {
        style->bars.clear();
        delegate.paint(&painter, option, model.index(0, column));
        return style->bars;
    };
    QList<QStyleOptionProgressBar> bars = paint(3);
    QCOMPARE(bars.size(), 1);
    QCOMPARE(bars[0].minimum, 0);
    QCOMPARE(bars[0].maximum, 100);
    QCOMPARE(bars[0].progress, 12);
    QCOMPARE(bars[0].text, QStringLiteral("Rebuilding(12.5%)"));
    QCOMPARE(int(bars[0].textAlignment), int(Qt::AlignCenter));
    QVERIFY(bars[0].textVisible);
    QCOMPARE(bars[0].orientation, Qt::Horizontal);
    QCOMPARE(int(bars[0].state), int(QStyle::State_Enabled | QStyle::State_Active));
    QCOMPARE(bars[0].rect, option.rect);
    QCOMPARE(paint(0).size(), 0);

    record.setProgress(1000);
    volume.SetupInfo(&record);
    QCOMPARE(paint(3).value(0).progress, 100);
    record.setProgress(9);
    volume.SetupInfo(&record);
    QCOMPARE(paint(3).value(0).progress, 0);
    record.setProgress(1500);
    volume.SetupInfo(&record);
    QCOMPARE(paint(3).value(0).progress, 150);
    record.setState(0x9);
    volume.SetupInfo(&record);
    QVERIFY(paint(3).value(0).text.startsWith(QStringLiteral("Initializing")));
    // Failed, cloning and nested volumes are plain text.
    for (uint32_t state : {0x2u, 0x8000u, 0u}) {
        record.setState(state);
        volume.SetupInfo(&record);
        QCOMPARE(paint(3).size(), 0);
    }
    record.setState(0x8);
    record.setFlags(sGUI_VOLUMESET::kFlagNested);
    volume.SetupInfo(&record);
    QCOMPARE(paint(3).size(), 0);
    painter.end();
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void TestModels::volumeStateIcons()
{
    QZynVolumeSet volume(nullptr, 0, nullptr);
    auto iconFor = [&](uint32_t state, uint32_t degraded, uint64_t capacity) {
        sGUI_VOLUMESET record{};
        record.setState(state);
        record.setDegraded(degraded);
        record.setCapacity(capacity);
        volume.SetupInfo(&record);
        return imageOf(volume.GetStateIcon());
    };
    const QImage database = imageOf(":/images/icons/devices/database-icon.png");
    const QImage warning = imageOf(":/images/icons/event/warning.png");
    const QImage error = imageOf(":/images/icons/event/error.png");
    QVERIFY(!database.isNull() && database != warning && warning != error && database != error);
    QCOMPARE(iconFor(0, 0, 100), database);
    QCOMPARE(iconFor(0, 1, 100), warning);
    QCOMPARE(iconFor(0, 0, uint64_t(1) << 32), error);   // low 32 bits zero
    QCOMPARE(iconFor(0x9, 0, 100), warning);
    QCOMPARE(iconFor(0x200, 0, 100), warning);
    QCOMPARE(iconFor(0x2, 0, 100), error);
    QCOMPARE(iconFor(0x8000, 0, 100), error);
    QCOMPARE(iconFor(0x40, 0, 100), error);

    // Every image the views name is there and distinct from the others of its folder.
    const QStringList events = {"error", "warning", "info", "urgent"};
    QList<QImage> seen;
    for (const QString& name : events) {
        const QImage image = imageOf(qPrintable(QStringLiteral(":/images/icons/event/%1.png").arg(name)));
        QVERIFY2(!image.isNull(), qPrintable(name));
        QVERIFY(!seen.contains(image));
        seen << image;
    }
    for (const char* path : {":/images/icons/devices/raidset.png", ":/images/icons/devices/disk.png",
                             ":/images/icons/devices/controller.png", ":/images/icons/hwmon/fan.png",
                             ":/images/icons/hwmon/Status-battery-caution-icon.png", ":/images/qt/list-add.png"})
        QVERIFY2(!imageOf(path).isNull(), path);
    QCOMPARE(QImage(QStringLiteral(":/images/logo/startup-logo.jpg")).size(), QSize(640, 360));
}

void TestModels::checkedInsertion()
{
    QStandardItemModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QStandardItem* root = model.invisibleRootItem();
    QVERIFY(zynmodel::InsertChecked(root, 0, zynmodel::NewRow(2), ZYN_INSERT_SITE("UpdateItem")));
    root->child(0)->setText(QStringLiteral("first"));
    // Past the end: warned and appended, the rows before stay.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[UpdateItem\\] line:\\d+, row\\(5\\) > parentitem->rowCount\\(1\\)$")));
    QVERIFY(zynmodel::InsertChecked(root, 5, zynmodel::NewRow(2), ZYN_INSERT_SITE("UpdateItem")));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.item(0)->text(), QStringLiteral("first"));
    // Negative: warned, nothing inserted, the row freed (the sanitizer sees a leak otherwise).
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[AddVolumeSetItem\\] line:\\d+, row < 0$")));
    QVERIFY(!zynmodel::InsertChecked(root, -1, zynmodel::NewRow(2), ZYN_INSERT_SITE("AddVolumeSetItem")));
    QCOMPARE(model.rowCount(), 2);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[AddVolumeSetItem\\] line:\\d+, row > parentitem->rowCount\\(\\)$")));
    QVERIFY(zynmodel::InsertChecked(root->child(0), 3, zynmodel::NewRow(1), ZYN_INSERT_SITE("AddVolumeSetItem"), true));
    QCOMPARE(root->child(0)->rowCount(), 1);

    // Finding: none in an empty parent; children searched depth first.
    QZynVolumeSet volume(nullptr, 3, nullptr);
    QCOMPARE(zynmodel::FindItem(&model, &volume, nullptr), nullptr);
    QCOMPARE(zynmodel::FindItem(&model, &volume, root->child(1)), nullptr);
    root->child(0)->child(0)->setData(QVariant::fromValue(&volume), DeviceItemRole);
    QCOMPARE(zynmodel::FindItem(&model, &volume, nullptr), root->child(0)->child(0));

    QCOMPARE(zynmodel::CapacityText(0), QStringLiteral("0.0 GB"));
    QCOMPARE(zynmodel::CapacityText(2000000), QStringLiteral("1.0 GB"));
    QCOMPARE(zynmodel::StripeText(128), QStringLiteral("64 KB"));
    QCOMPARE(zynmodel::LocationText(0, 1, 7), QStringLiteral("00/01/07"));
    QCOMPARE(zynmodel::ViewText(QString::fromLatin1("Name\0\0\0", 7)), QStringLiteral("Name"));
}

void TestModels::headersFollowTranslation()
{
    QZynController* c = online("127.0.0.115", zynsim::Profile::Older, "controller channels 2\n");
    QVERIFY(c);
    ShoutingTranslator shout;
    QCoreApplication::installTranslator(&shout);
    auto* raid = static_cast<QZynRaidSetItemModel*>(items(c)->raidSetModel);
    raid->UpdateHeader();
    QCOMPARE(raid->headerData(2, Qt::Horizontal).toString(), QStringLiteral("TOTAL RAW CAPACITY"));
    auto* disks = static_cast<QZynDiskItemModel*>(items(c)->diskModel);
    disks->UpdateHeader();
    QCOMPARE(disks->headerData(1, Qt::Horizontal).toString(), QStringLiteral("SERIAL#"));
    QCoreApplication::removeTranslator(&shout);
    raid->UpdateHeader();
    QCOMPARE(raid->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Total Raw Capacity"));
}

// Columns that show numbers as text ("10.0 GB" against "9.0 GB", slot 10 against slot 2) sort
// by the numbers, in every model and in the dialogs' proxies; the older family's disk list
// opens sorted by slot.
void TestModels::numbersSortAsNumbers()
{
    // Twelve channels: slot s holds 10+s GB, slot 11 holds 9 GB.
    constexpr qulonglong kBlocksPerGB = 1953125;
    QByteArray config = "controller channels 12\n";
    for (int s = 0; s < 12; ++s)
        config += "disk 0 " + QByteArray::number(s) + " capacity "
                  + QByteArray::number((s == 11 ? 9 : 10 + s) * kBlocksPerGB) + "\n";
    config += "raidset \"Pair\" disks 0 1\nraidset \"Ten\" disks 2 3 4 5 6 7 8 9 10 11\n"
              "volume \"Big\" raidset 1 capacity " + QByteArray::number(10 * kBlocksPerGB) + " level 0 stripe 256\n"
              "volume \"Small\" raidset 1 capacity " + QByteArray::number(9 * kBlocksPerGB) + " level 0 stripe 128\n";
    QZynController* c = online("127.0.0.116", zynsim::Profile::Older, config.constData());
    QVERIFY(c);
    QZynGuiItem* g = items(c);
    QTRY_COMPARE(g->diskModel->rowCount(), 12);
    QTRY_COMPARE(g->volumeSetModel->rowCount(), 2);
    auto* members = static_cast<QZynRaidSetMemberDiskItemModel*>(g->memberDiskModel);
    members->SetupData(c->GetRaidSet(1));
    QExpandVolumeSetItemModel expand(c->GetRaidSet(1), nullptr);
    QDiskSortFilterProxyModel::CheckList ticks;
    QDiskSortFilterProxyModel proxy(&ticks, nullptr);
    proxy.setSourceModel(g->diskModel);

    QStringList slotTexts, gigabytes;
    for (int s = 0; s < 12; ++s)
        slotTexts << QString::number(s);
    gigabytes << QStringLiteral("9.0 GB");
    for (int s = 0; s < 11; ++s)
        gigabytes << QStringLiteral("%1.0 GB").arg(10 + s);
    auto column = [](const QAbstractItemModel* model, int c) {
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, c).data().toString();
        return out;
    };
    struct Case {
        const char* what;
        QAbstractItemModel* model;
        int column;
        QStringList ascending;
    } cases[] = {
        {"disk slots", g->diskModel, 6, slotTexts},
        {"disk capacities", g->diskModel, 3, gigabytes},
        {"disk slots through a dialog's proxy", &proxy, 6, slotTexts},
        {"member slots", members, 4, slotTexts.mid(2)},
        {"member capacities", members, 2, QStringList{"9.0 GB"} + gigabytes.mid(3)},
        {"raid set members", g->raidSetModel, 1, {"2", "10"}},
        {"volume capacities", g->volumeSetModel, 5, {"9.0 GB", "10.0 GB"}},
        {"expansion stripes", &expand, 2, {"64 KB", "128 KB"}},
        {"expansion capacities", &expand, 4, {"9.0 GB", "10.0 GB"}},
    };
    for (const Case& k : cases) {
        k.model->sort(k.column, Qt::AscendingOrder);
        QVERIFY2(column(k.model, k.column) == k.ascending, k.what);
        k.model->sort(k.column, Qt::DescendingOrder);
        QStringList descending = k.ascending;
        std::reverse(descending.begin(), descending.end());
        QVERIFY2(column(k.model, k.column) == descending, k.what);
    }

    // The window's disk list: sortable, opened on the slot column.
    TreeViewDisk view;
    view.setSortingEnabled(true);
    view.setModel(g->diskModel);
    QCOMPARE(column(g->diskModel, 6), slotTexts);
    shoot(g->diskModel, QStringLiteral("older-disks-by-slot"), QStringLiteral("Disks (older family), by slot"), &view);
}

QTEST_MAIN(TestModels)
#include "test_models.moc"
