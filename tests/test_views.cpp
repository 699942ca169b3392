// The selection proxies, the hardware-monitor, event, scheduled-task and expansion preview
// models and the tree views. The proxies run against the simulator through the polling thread;
// the hardware monitor is refreshed from the test thread. With PALVIR_SHOT_DIR set, pictures of
// the hardware monitor (both families), the event list, the task list and a proxy with ticks.
#include "controllerfixture.h"
#include "viewfixture.h"
#include "devices/enclosure.h"
#include "devices/event.h"
#include "ui/model/eventitemmodel.h"
#include "watcher/eventwatcher.h"
#include "ui/model/expandvolumesetitemmodel.h"
#include "ui/model/hwmonitoritemmodel.h"
#include "devices/images.h"
#include "ui/model/itemmodel.h"
#include "devices/raidset.h"
#include "devices/scheduler.h"
#include "ui/model/scheduleritemmodel.h"
#include "ui/model/selectionproxy.h"
#include "ui/model/treeviews.h"
#include "devices/volumeset.h"
#include "ui/model/volumesetitemmodel.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace ctltest;
using namespace viewtest;
using zynmodel::DeviceItemRole;

namespace {

const QString kError = QStringLiteral(":/images/icons/event/error.png");
const QString kWarning = QStringLiteral(":/images/icons/event/warning.png");

// The rows of a hardware-monitor group: label -> (value, icon image).
struct Sensor {
    QString value;
    QImage icon;
};
QMap<QString, Sensor> sensorsOf(const QAbstractItemModel* model, const QModelIndex& group)
{
    QMap<QString, Sensor> out;
    for (int r = 0; r < model->rowCount(group); ++r)
        out.insert(model->index(r, 0, group).data().toString(),
                   {model->index(r, 1, group).data().toString(), iconAt(model->index(r, 0, group))});
    return out;
}

QModelIndex groupOf(const QAbstractItemModel* model, const QString& label)
{
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->index(r, 0).data().toString() == label)
            return model->index(r, 0);
    return QModelIndex();
}

// Stands in for the scheduler dialog: the signal the task list follows.
class SchedulerDialogDouble : public QObject {
    Q_OBJECT
signals:
    void item_changed(QZynTask* task, int code);
};

sEVET_DATA eventRecord(uint8_t eventClass, uint8_t code, uint8_t channel, uint32_t minute)
{
    sEVET_DATA e{};
    e.set(eventClass, code, channel);
    e.setTime(0x80000000u | (12u << 27) | (26u << 22) | (9u << 17) | (10u << 12) | (minute << 6));
    return e;
}

} // namespace

class TestViews : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void diskProxies();
    void setProxies();
    void hardwareMonitorEnclosureFamily();
    void hardwareMonitorOlderFamily_data();
    void hardwareMonitorOlderFamily();
    void eventList();
    void scheduledTasks();
    void expansionPreview();
    void treeViews();

private:
    QZynController* online(const char* address, zynsim::Profile profile, const char* config);
    // A controller object with its tables, not polled: the test drives its refreshes.
    QZynController* unpolled(const char* address, zynsim::ControllerConfig config, const char* model);

    QTemporaryDir m_dir;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    std::unique_ptr<Starter> m_starter;
    ControllerRig m_rig;
};

void TestViews::initTestCase()
{
    QVERIFY(m_dir.isValid());
    setUpPolling(m_dir.path());
}

void TestViews::cleanup()
{
    endControllers(&m_starter, &m_ctl, &m_sim);
    m_rig.stop();
}

QZynController* TestViews::online(const char* address, zynsim::Profile profile, const char* config)
{
    m_starter = std::make_unique<Starter>();
    m_sim = std::make_unique<zynsim::Simulator>();
    return serveOnline(*m_sim, &m_ctl, address, profile, config);
}

QZynController* TestViews::unpolled(const char* address, zynsim::ControllerConfig config, const char* model)
{
    // The model first, so the controller object reads the system information it makes.
    config.emptyModel = true;
    m_rig.sim = std::make_unique<zynsim::Simulator>();
    m_rig.ctl = m_rig.sim->addUdpController(address, config);
    std::string error;
    if (!m_rig.ctl) {
        qWarning("no simulated controller at %s: %s", address, m_rig.sim->error().c_str());
        return nullptr;
    }
    if (!m_rig.ctl->loadConfig(model, &error)) {
        qWarning("the model was refused: %s", error.c_str());
        return nullptr;
    }
    EthernetInterface* transport = udpTransport(address);
    if (transport == nullptr) {
        qWarning("no answer at %s", address);
        return nullptr;
    }
    m_rig.controller = std::make_unique<QZynController>(transport, QZynController::ConnectionEthernet);
    QZynController* c = m_rig.controller.get();
    const u32 rc = c->BuildDeviceHierarchy();
    if (rc != ZYN_OK)
        qWarning("the tables were not built: %u", rc);
    return rc == ZYN_OK ? c : nullptr;
}

void TestViews::diskProxies()
{
    QZynController* c = online("127.0.0.121", zynsim::Profile::Enclosure,
                               "enclosure 0 slots 5\n"
                               "enclosure 1 slots 3\n"
                               "disk 0 0 serial \"F0\"\ndisk 0 1 serial \"F1\"\ndisk 0 2 serial \"HS\"\n"
                               "disk 0 3 serial \"SMALL\" capacity 1000000\n"
                               "disk 1 0\ndisk 1 1\ndisk 1 2\n"
                               "raidset \"Big\" disks 1:0 1:1 1:2\n"
                               "hotspare 0:2\n");
    QVERIFY(c);
    QStandardItemModel* disks = c->GetGuiItem()->diskModel;
    QTRY_COMPARE(disks->rowCount(), 2);
    QZynDisk* f0 = c->GetDisk(QZynDiskIndex(0, 0));
    QZynDisk* f1 = c->GetDisk(QZynDiskIndex(1, 0));
    QZynDisk* small = c->GetDisk(QZynDiskIndex(3, 0));

    // Free disks: the second enclosure has none and is hidden.
    QFreeDiskSortFilterProxyModel::CheckList list;
    QFreeDiskSortFilterProxyModel free(&list, nullptr);
    free.setSourceModel(disks);
    QAbstractItemModelTester tester(&free, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QTreeView view;
    view.setModel(&free);
    view.expandAll();
    QCOMPARE(free.rowCount(), 1);
    const QModelIndex enclosure = free.index(0, 0);
    QCOMPARE(free.rowCount(enclosure), 3);
    QCOMPARE(list.size(), 3);
    for (const auto& pair : list)
        QVERIFY(!pair.second);
    QCOMPARE(free.data(enclosure, Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(free.flags(enclosure) & Qt::ItemIsUserCheckable);
    QVERIFY(free.flags(free.index(0, 0, enclosure)) & Qt::ItemIsUserCheckable);
    QVERIFY(!(free.flags(free.index(0, 1, enclosure)) & Qt::ItemIsUserCheckable));

    // Two of three ticked: the enclosure is partly ticked; ticking it ticks all; a partial
    // value unticks all.
    QSignalSpy changed(&free, &QAbstractItemModel::dataChanged);
    QVERIFY(free.setData(free.index(0, 0, enclosure), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(free.setData(free.index(1, 0, enclosure), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(changed.size() >= 4);   // each disk, then its enclosure
    QCOMPARE(free.data(enclosure, Qt::CheckStateRole).toInt(), int(Qt::PartiallyChecked));
    QCOMPARE(free.data(free.index(0, 0, enclosure), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(free.setData(enclosure, Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(free.data(enclosure, Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(free.setData(enclosure, Qt::PartiallyChecked, Qt::CheckStateRole));
    QCOMPARE(free.data(enclosure, Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    // A rewrite that changes nothing keeps the ticks; filtering again unticks.
    QVERIFY(free.setData(free.index(0, 0, enclosure), Qt::Checked, Qt::CheckStateRole));
    emit c->DeviceChanged(f0, QZynDevice::DeviceUpdated);
    emit c->DeviceChanged(c->GetEnclosure(0), QZynDevice::HwMonitorRefreshed);
    QCOMPARE(free.data(free.index(0, 0, enclosure), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    shoot(&free, QStringLiteral("proxy-free-disks"), QStringLiteral("Free disks with a tick"));
    free.invalidate();
    view.expandAll();
    QCOMPARE(free.data(free.index(0, 0, free.index(0, 0)), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    // A disk that fails leaves the view and the list.
    QVERIFY(m_ctl->applyConfig("fail 0:1\n", nullptr));
    QTRY_COMPARE(free.rowCount(free.index(0, 0)), 2);
    QCOMPARE(list.size(), 2);
    for (const auto& pair : list)
        QVERIFY(pair.first != f1);

    // Hot spares: every enclosure row, only the spare offered.
    QHotSpareDiskSortFilterProxyModel::CheckList spares;
    QHotSpareDiskSortFilterProxyModel hot(&spares, nullptr);
    hot.setSourceModel(disks);
    QAbstractItemModelTester hotTester(&hot, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(hot.rowCount(), 2);
    QCOMPARE(hot.rowCount(hot.index(0, 0)), 1);
    QCOMPARE(hot.rowCount(hot.index(1, 0)), 0);
    QCOMPARE(spares.size(), 1);
    QCOMPARE(hot.data(hot.index(1, 0), Qt::CheckStateRole), QVariant());   // no offered drive: no box

    // Expansion: free disks at least as large as the raid set's smallest member.
    QExpandSortFilterProxyModel::CheckList grow;
    QExpandSortFilterProxyModel expand(c->GetRaidSet(0), &grow, nullptr);
    expand.setSourceModel(disks);
    QAbstractItemModelTester expandTester(&expand, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(expand.rowCount(expand.index(0, 0)), 1);
    QCOMPARE(grow.size(), 1);
    QCOMPARE(grow.front().first, f0);
    for (const auto& pair : grow)
        QVERIFY(pair.first != small);
}

void TestViews::setProxies()
{
    QZynController* c = online("127.0.0.122", zynsim::Profile::Enclosure,
                               "enclosure 0 slots 12\n"
                               "disk 0 0\ndisk 0 1\ndisk 0 2\ndisk 0 3\ndisk 0 4\ndisk 0 5\ndisk 0 6\ndisk 0 7\n"
                               "disk 0 8\ndisk 0 9\ndisk 0 10\n"
                               "raidset \"Three\" disks 0:0 0:1 0:2\n"
                               "raidset \"Two\" disks 0:3 0:4\n"
                               "raidset \"Broken\" disks 0:5 0:6 0:7\n"
                               "raidset \"Full\" disks 0:8 0:9 0:10\n"
                               "volume \"A\" raidset 0 capacity 2000000 level 0\n"
                               "volume \"B\" raidset 3 capacity 23442110976 level 0\n"
                               "nested \"N\" members 0 1\n"
                               "fail 0:6\n");
    if (!c)
        QSKIP("the simulator refused the configuration");
    QStandardItemModel* raid = c->GetGuiItem()->raidSetModel;
    QTRY_COMPARE(raid->rowCount(), 4);
    QTRY_VERIFY(c->GetRaidSet(2)->GetRecord().degraded() != 0);

    QFreeRaidSetSortFilterProxyModel::CheckList list;
    QFreeRaidSetSortFilterProxyModel freeSets(&list, nullptr);
    freeSets.setSourceModel(raid);
    QAbstractItemModelTester tester(&freeSets, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Only "Three": "Two" has two members, "Broken" is degraded, "Full" has no free space.
    QCOMPARE(freeSets.rowCount(), 1);
    QCOMPARE(freeSets.index(0, 0).data().toString(), QStringLiteral("Three"));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.front().first, c->GetRaidSet(0));
    QCOMPARE(freeSets.data(freeSets.index(0, 0), Qt::CheckStateRole).toInt(), 0);
    QSignalSpy changed(&freeSets, &QAbstractItemModel::dataChanged);
    QVERIFY(freeSets.setData(freeSets.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(list.front().second);
    QCOMPARE(changed.size(), 1);   // the row; a top-level row has no parent to tell
    QVERIFY(freeSets.setData(freeSets.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!list.front().second);

    QRaidSetSortFilterProxyModel::CheckList all;
    QRaidSetSortFilterProxyModel everyRaidSet(&all, nullptr);
    everyRaidSet.setSourceModel(raid);
    QCOMPARE(everyRaidSet.rowCount(), 4);
    QVERIFY(all.isEmpty());

    QStandardItemModel* volumes = c->GetGuiItem()->volumeSetModel;
    QTRY_COMPARE(volumes->rowCount(), 3);
    QNestedVolumeSetSortFilterProxyModel::CheckList nestedList;
    QNestedVolumeSetSortFilterProxyModel nested(&nestedList, nullptr);
    nested.setSourceModel(volumes);
    QAbstractItemModelTester nestedTester(&nested, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(nested.rowCount(), 1);
    QCOMPARE(nested.index(0, 0).data().toString(), QStringLiteral("N"));
    QCOMPARE(nestedList.size(), 1);
    QVolumeSetSortFilterProxyModel::CheckList volumeList;
    QVolumeSetSortFilterProxyModel everyVolume(&volumeList, nullptr);
    everyVolume.setSourceModel(volumes);
    QCOMPARE(everyVolume.rowCount(), 3);
}

void TestViews::hardwareMonitorEnclosureFamily()
{
    zynsim::ControllerConfig config;
    config.profile = zynsim::Profile::Enclosure;
    QZynController* c = unpolled("127.0.0.123", config,
                                 "enclosure 0 vendor \"Varnel\" name \"Backplane A\" slots 2 voltages 2 fans 2 power 2 temps 3\n"
                                 "enclosure 1 vendor \"Varnel\" name \"Backplane B\" slots 2\n"
                                 "sensor voltage 12130 3300:0x102 / fan 2500 0:0x40000002 / temp 41 55:0x2 / battery 85\n"
                                 "sensor enclosure 0 voltage 12050:0x100 5000:0x2 / fan 4100 3900:0x40000002"
                                 " / power 1 1:0x40000002 / temp 35 90:0x8000002 30:0x2\n");
    QVERIFY(c);
    QZynHwMonitorItemModel model(c, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(c->ProcessHwMonitor());
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Sensor"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
    QCOMPARE(model.rowCount(), 3);
    const QModelIndex controller = groupOf(&model, QStringLiteral("Controller H/W Monitor"));
    QVERIFY(controller.isValid());
    QCOMPARE(iconAt(controller), imageOf(QStringLiteral(":/images/icons/hwmon/controller.png")));
    // Temperatures, fans, voltages, battery.
    QStringList order;
    for (int r = 0; r < model.rowCount(controller); ++r)
        order << model.index(r, 0, controller).data().toString();
    QCOMPARE(order, QStringList({"Temperature CPU", "Temperature Board", "Fan 1", "Fan 2", "Voltage 12V",
                                 "Voltage 5V", "Battery Status"}));
    QMap<QString, Sensor> own = sensorsOf(&model, controller);
    QCOMPARE(own["Temperature CPU"].value, QStringLiteral("41 °C"));
    QCOMPARE(own["Temperature CPU"].icon, imageOf(QStringLiteral(":/images/icons/hwmon/temperature.png")));
    QVERIFY(own["Temperature Board"].icon.isNull());   // status bit alone: no icon
    QCOMPARE(own["Fan 1"].value, QStringLiteral("2500 RPM"));
    QCOMPARE(own["Fan 2"].icon, imageOf(kError));
    QCOMPARE(own["Voltage 12V"].value, QStringLiteral("12.130 V"));
    QCOMPARE(own["Voltage 12V"].icon, imageOf(QStringLiteral(":/images/icons/hwmon/voltage.png")));
    QCOMPARE(own["Voltage 5V"].icon, imageOf(kError));
    QCOMPARE(own["Battery Status"].value, QStringLiteral("85 %"));
    QCOMPARE(own["Battery Status"].icon, imageOf(QStringLiteral(":/images/icons/hwmon/Status-battery-080-icon.png")));

    const QModelIndex first = groupOf(&model, QStringLiteral("Enclosure#1 : VarnelBackplane A"));
    QVERIFY(first.isValid());
    QCOMPARE(iconAt(first), imageOf(QStringLiteral(":/images/icons/devices/enclosure.jpg")));
    QVERIFY(groupOf(&model, QStringLiteral("Enclosure#2 : VarnelBackplane B")).isValid());
    QMap<QString, Sensor> shelf = sensorsOf(&model, first);
    QCOMPARE(shelf["Voltage 12V"].icon, imageOf(QStringLiteral(":/images/icons/hwmon/voltage.png")));   // 0x100 without status
    QVERIFY(shelf["Voltage 5V"].icon.isNull());
    QCOMPARE(shelf["Fan 2"].icon, imageOf(kError));
    QCOMPARE(shelf["Power Supply 1"].value, QStringLiteral("OK"));
    QCOMPARE(shelf["Power Supply 1"].icon, imageOf(QStringLiteral(":/images/icons/hwmon/power.png")));
    QCOMPARE(shelf["Power Supply 2"].value, QStringLiteral("FAILED"));
    QCOMPARE(shelf["Power Supply 2"].icon, imageOf(kError));
    QCOMPARE(shelf["Temperature Board"].value, QStringLiteral("90 °C"));
    QCOMPARE(shelf["Temperature Board"].icon, imageOf(kError));
    QVERIFY(shelf["Temperature 3"].icon.isNull());
    shoot(&model, QStringLiteral("hwmon-enclosure"), QStringLiteral("Hardware monitor (enclosure family)"));

    // A second refresh adds no rows; a supply whose status is set without failure keeps its
    // text and loses its icon.
    const int rows = model.rowCount(first);
    QVERIFY(m_rig.ctl->applyConfig("sensor enclosure 0 power 1:0x2 1:0x40000002\n", nullptr));
    QVERIFY(c->ProcessHwMonitor());
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.rowCount(first), rows);
    shelf = sensorsOf(&model, first);
    QCOMPARE(shelf["Power Supply 1"].value, QStringLiteral("OK"));
    QVERIFY(shelf["Power Supply 1"].icon.isNull());

    // An enclosure removed drops its group; the next refresh brings it back.
    emit c->DeviceChanged(c->GetEnclosure(1), QZynDevice::DeviceRemoved);
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(c->ProcessHwMonitor());
    QCOMPARE(model.rowCount(), 3);

    // Counts the controller overstates stop at the 128 entries a section holds.
    const uint8_t huge[5] = {2, 255, 255, 255, 255};
    m_rig.ctl->setEnclosurePropertyCounts(0, huge);
    QVERIFY(c->ProcessHwMonitor());
    QCOMPARE(model.rowCount(groupOf(&model, QStringLiteral("Enclosure#1 : VarnelBackplane A"))), 4 * 128);
}

void TestViews::hardwareMonitorOlderFamily_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<int>("board");
    QTest::addColumn<QString>("sensors");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("icons");
    const QString fan = QStringLiteral(":/images/icons/hwmon/fan.png");
    const QString volt = QStringLiteral(":/images/icons/hwmon/voltage.png");
    const QString temp = QStringLiteral(":/images/icons/hwmon/temperature.png");
    const int older = int(zynsim::Profile::Older);
    QTest::newRow("voltages")
        << older << 0 << "sensor fan 3000 0 65535 / voltage 5000:5500 12000:13201 3300:2969 1500:1350 / temp 0 0 45"
        << QStringList({"Power +5.00 V", "Power +12.00V", "Power +3.30 V", "Power +1.50 V", "Fan#1 Speed",
                        "Fan#2 Speed", "Fan#3 Speed", "Controller Temp", "HDD#1  Temp.", "HDD#2  Temp."})
        << QStringList({"5.500 V", "13.201 V", "2.969 V", "1.350 V", "3000 RPM", "0 RPM", "N.A.", "0 °C", "--", "45 °C"})
        << QStringList({volt, kError, kError, volt, fan, kError, fan, temp, temp, temp});
    QTest::newRow("battery")
        << older << 1 << "sensor fan 2800 / temp 38 0 / battery 9"
        << QStringList({"Fan#1 Speed", "Battery Status", "HDD#1  Temp.", "HDD#2  Temp."})
        << QStringList({"2800 RPM", "9 %", "38 °C", "--"})
        << QStringList({fan, kWarning, temp, temp});
    // The external box answers with its own record, which holds none of the counted sensors.
    QTest::newRow("E100 box") << int(zynsim::Profile::E100) << 0 << "sensor fan 2800 / temp 36 41"
                              << QStringList() << QStringList() << QStringList();
}

void TestViews::hardwareMonitorOlderFamily()
{
    const int older = int(zynsim::Profile::Older);
    QFETCH(int, profile);
    QFETCH(int, board);
    QFETCH(QString, sensors);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, values);
    QFETCH(QStringList, icons);
    zynsim::ControllerConfig config;
    config.profile = zynsim::Profile(profile);
    config.boardType = board;
    QZynController* c = unpolled("127.0.0.124", config, qPrintable((profile == older ? QStringLiteral("controller channels 2\n") : QString()) + sensors + "\n"));
    QVERIFY(c);
    QZynHwMonitorItemModel model(c, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(c->ProcessHwMonitor());
    QVERIFY(c->ProcessHwMonitor());   // a second refresh adds nothing
    QCOMPARE(model.rowCount(), 1);
    const QModelIndex g = model.index(0, 0);
    QCOMPARE(g.data().toString(), QStringLiteral("Controller H/W Monitor"));
    QStringList gotLabels, gotValues;
    for (int r = 0; r < model.rowCount(g); ++r) {
        gotLabels << model.index(r, 0, g).data().toString();
        gotValues << model.index(r, 1, g).data().toString();
    }
    QCOMPARE(gotLabels, labels);
    QCOMPARE(gotValues, values);
    for (int r = 0; r < icons.size(); ++r)
        QVERIFY2(iconAt(model.index(r, 0, g)) == imageOf(icons[r]), qPrintable(labels[r]));
    shoot(&model, QStringLiteral("hwmon-older-%1").arg(board), QStringLiteral("Hardware monitor (older family, board %1)").arg(board));
}

void TestViews::eventList()
{
    zynsim::ControllerConfig config;
    config.profile = zynsim::Profile::Older;
    QZynController* c = unpolled("127.0.0.125", config, "controller channels 2\n");
    QVERIFY(c);
    QZynEventItemModel model(c, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.columnCount(), 6);
    QCOMPARE(model.headerData(4, Qt::Horizontal).toString(), QStringLiteral("Elapse Time"));
    const int before = model.rowCount();
    // Serious, then warning, then information, then urgent: each new one on top.
    const sEVET_DATA records[] = {eventRecord(3, 8, 0, 1), eventRecord(3, 0, 1, 2), eventRecord(3, 10, 1, 3),
                                  eventRecord(3, 7, 0, 4)};
    std::vector<std::unique_ptr<QZynEvent>> events;
    for (const sEVET_DATA& r : records) {
        events.push_back(std::make_unique<QZynEvent>(c, int(events.size()), &r));
        emit c->DeviceChanged(events.back().get(), QZynDevice::DeviceAdded);
    }
    QCOMPARE(model.rowCount(), before + 4);
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("2026-12-09 10:04:00"));
    QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("IDE Channel #01"));
    QCOMPARE(model.index(0, 3).data().toString(), QStringLiteral("Device Failed"));
    QCOMPARE(model.index(0, 0).data(DeviceItemRole).value<QZynEvent*>(), events[3].get());
    QCOMPARE(iconAt(model.index(0, 0)), imageOf(QStringLiteral(":/images/icons/event/urgent.png")));
    QCOMPARE(iconAt(model.index(1, 0)), imageOf(QStringLiteral(":/images/icons/event/info.png")));
    QCOMPARE(iconAt(model.index(2, 0)), imageOf(kWarning));
    QCOMPARE(iconAt(model.index(3, 0)), imageOf(kError));
    QCOMPARE(model.index(0, 0).data().toString(), QString());
    // Other devices change nothing; an event announced again is a new row.
    emit c->DeviceChanged(c->GetRaidSet(0), QZynDevice::DeviceUpdated);
    QCOMPARE(model.rowCount(), before + 4);
    emit c->DeviceChanged(events[0].get(), QZynDevice::DeviceUpdated);
    QCOMPARE(model.rowCount(), before + 5);
    TreeViewEvent view;
    shoot(&model, QStringLiteral("events"), QStringLiteral("Event log"), &view);
}

void TestViews::scheduledTasks()
{
    SchedulerDialogDouble dialog;
    SchedulerItemModel model(&dialog);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Next Run Time"));

    QZynScheduler scheduler;
    auto task = [](const char* name, int type, quint16 weekdays, quint32 days, quint16 flags) {
        auto* t = new QZynTask(QString::fromLatin1(name));
        t->triggertype = type;
        t->starthour = 9;
        t->startminute = 0;
        t->trigger.interval = 1;
        t->trigger.weekdays = weekdays;
        t->trigger.days = days;
        t->flags = flags;
        t->next_run_time = QDateTime(QDate(2026, 12, 9), QTime(14, 5));
        return t;
    };
    std::vector<std::unique_ptr<QZynTask>> tasks;
    tasks.emplace_back(task("Every day", QZynTask::Daily, 0, 0, 0));
    tasks.emplace_back(task("Mon and Wed", QZynTask::Weekly, 0x5, 0, 0));
    tasks.emplace_back(task("Three days", QZynTask::Monthly, 0, (1u << 0) | (1u << 14) | (1u << 27), QZynTask::kFlagDisabled));
    tasks.emplace_back(task("By weekday", QZynTask::MonthlyDateOfWeek, 0, 0, 0));
    tasks.emplace_back(task("Edited by hand", 7, 0, 0, 0));
    for (auto& t : tasks)
        scheduler.AddTask(t.get());
    model.SetupData(&scheduler);
    QCOMPARE(model.rowCount(), 5);
    auto row = [&](int r) {
        QStringList out;
        for (int col = 0; col < 5; ++col)
            out << model.index(r, col).data().toString();
        return out;
    };
    // The list reversed: the last task on top.
    QCOMPARE(row(0), QStringList({"Edited by hand", "", "", "2026/12/9 PM 02:05", "Enabled"}));
    QCOMPARE(row(1), QStringList({"By weekday", "Monthly(DATE OF WEEK)", "", "2026/12/9 PM 02:05", "Enabled"}));
    QCOMPARE(row(2), QStringList({"Three days", "Monthly", "At 09:00 on day 1, 15, 28 of every 1 month(s)",
                                  "2026/12/9 PM 02:05", "Disabled"}));
    QCOMPARE(row(3)[2], QStringLiteral("At 09:00 on Monday, Wednesday of every 1 week(s)"));
    QCOMPARE(row(4)[2], QStringLiteral("At 09:00 every 1 day(s)"));
    QCOMPARE(model.index(4, 0).data(DeviceItemRole).value<QZynTask*>(), tasks[0].get());

    // The dialog's signal: 2 rewrites, 1 removes, 0 adds on top; 2 without a row adds nothing.
    tasks[0]->name = QStringLiteral("Renamed");
    emit dialog.item_changed(tasks[0].get(), 2);
    QCOMPARE(row(4)[0], QStringLiteral("Renamed"));
    emit dialog.item_changed(tasks[1].get(), 1);
    QCOMPARE(model.rowCount(), 4);
    emit dialog.item_changed(tasks[1].get(), 2);
    QCOMPARE(model.rowCount(), 4);
    emit dialog.item_changed(tasks[1].get(), 0);
    QCOMPARE(row(0)[0], QStringLiteral("Mon and Wed"));
    TreeViewScheduler view;
    shoot(&model, QStringLiteral("scheduler"), QStringLiteral("Scheduled tasks"), &view);
    while (scheduler.TaskCount() > 0)
        scheduler.RemoveTask(0);
}

void TestViews::expansionPreview()
{
    zynsim::ControllerConfig config;
    config.profile = zynsim::Profile::Enclosure;
    QZynController* c = unpolled("127.0.0.126", config,
                                 "enclosure 0 slots 6\n"
                                 "disk 0 0\ndisk 0 1\ndisk 0 2\ndisk 0 3\ndisk 0 4\n"
                                 "raidset \"Other\" disks 0:3 0:4\n"
                                 "volume \"Other V\" raidset 0 capacity 2000000 level 0\n"
                                 "raidset \"Grow\" disks 0:0 0:1 0:2\n"
                                 "volume \"G0\" raidset 1 capacity 2000000 level 3 stripe 128 lun 1\n"
                                 "volume \"G1\" raidset 1 capacity 4000000 level 0 stripe 64 lun 2\n");
    QVERIFY(c);
    QZynRaidSet* grow = c->GetRaidSet(1);
    // The raid set's volumes are not the first ones of the controller: appended with a warning.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[UpdateItem\\] line:\\d+, row\\(1\\) > parentitem->rowCount\\(0\\)$")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\\[UpdateItem\\] line:\\d+, row\\(2\\) > parentitem->rowCount\\(1\\)$")));
    QExpandVolumeSetItemModel model(grow, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("G0"));
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("Raid5"));
    QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("64 KB"));
    QCOMPARE(model.index(0, 3).data().toString(), QStringLiteral("00/00/01"));
    QCOMPARE(model.index(1, 4).data().toString(), QStringLiteral("2.0 GB"));
    QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    QVERIFY(!(model.flags(model.index(0, 3)) & Qt::ItemIsEditable));

    // The editor offers the current value only, and keeps no choice.
    ExpandVolumeSetViewDelegate delegate;
    QWidget parent;
    QStyleOptionViewItem option;
    option.rect = QRect(3, 4, 100, 20);
    std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, option, model.index(0, 2)));
    auto* box = qobject_cast<QComboBox*>(editor.get());
    QVERIFY(box);
    QCOMPARE(box->count(), 0);
    delegate.setEditorData(box, model.index(0, 2));
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->itemText(0), QStringLiteral("64 KB"));
    delegate.updateEditorGeometry(box, option, model.index(0, 2));
    QCOMPARE(box->geometry(), option.rect);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    box->addItem(QStringLiteral("128 KB"));
    box->setCurrentIndex(1);
    delegate.setModelData(box, &model, model.index(0, 2));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("64 KB"));
    std::unique_ptr<QWidget> plain(delegate.createEditor(&parent, option, model.index(0, 0)));
    QVERIFY(qobject_cast<QComboBox*>(plain.get()) == nullptr);

    // Another raid set's volume never shows; removal and a code 2 of a missing one.
    emit c->DeviceChanged(c->GetVolumeSet(0), QZynDevice::DeviceUpdated);
    QCOMPARE(model.rowCount(), 2);
    QZynVolumeSet* g1 = c->GetVolumeSet(2);
    emit c->DeviceChanged(g1, QZynDevice::DeviceRemoved);
    QCOMPARE(model.rowCount(), 1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("row\\(2\\) > parentitem->rowCount\\(1\\)")));
    emit c->DeviceChanged(g1, QZynDevice::DeviceUpdated);
    QCOMPARE(model.rowCount(), 2);
}

void TestViews::treeViews()
{
    TreeViewController controller;
    QVERIFY(!controller.isAnimated());
    QVERIFY(controller.rootIsDecorated());
    QCOMPARE(controller.iconSize(), QSize(24, 24));
    QCOMPARE(controller.focusPolicy(), Qt::ClickFocus);
    QCOMPARE(controller.contextMenuPolicy(), Qt::ActionsContextMenu);
    TreeViewDisk disk;
    QStandardItemModel columns(1, 7);
    disk.setModel(&columns);
    QCOMPARE(disk.iconSize(), QSize(20, 20));
    QVERIFY(!disk.rootIsDecorated());
    QCOMPARE(disk.header()->sortIndicatorSection(), 6);
    QCOMPARE(disk.header()->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(disk.header()->sectionResizeMode(0), QHeaderView::ResizeToContents);
    TreeViewVolumeSet volume;
    QCOMPARE(volume.header()->sortIndicatorSection(), 1);
    QVERIFY(qobject_cast<VolumeSetViewDelegate*>(volume.itemDelegate()) != nullptr);
    TreeViewHwMon hw;
    TreeViewRaidSet raid;
    for (QTreeView* v : {static_cast<QTreeView*>(&hw), static_cast<QTreeView*>(&raid)}) {
        QCOMPARE(v->iconSize(), QSize(20, 20));
        QVERIFY(!v->rootIsDecorated());
    }
    TreeViewEvent events;
    QVERIFY(!events.rootIsDecorated());
    ControllerViewDelegate rows;
    QCOMPARE(rows.sizeHint(QStyleOptionViewItem(), QModelIndex()), QSize(24, 24));
}

QTEST_MAIN(TestViews)
#include "test_views.moc"
