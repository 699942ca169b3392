// The RAID configuration dialogs against the simulator through the polling thread: disk
// details, new raid set, new volume, hot spares and pass-through disks. Each test checks the
// rows offered, the figures shown, the bytes the simulated controller receives on confirm, the
// boxes (recorded and answered by a responder) and the dialog closing with its controller.
// With PALVIR_SHOT_DIR set, a picture of each dialog.
#include "controllerfixture.h"
#include "dialogfixture.h"
#include "modalresponder.h"
#include "viewfixture.h"
#include "devices/enclosure.h"
#include "devices/images.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"
#include "ui/dialog/dialogaddhotsparedisk.h"
#include "ui/dialog/dialogaddnestedvolume.h"
#include "ui/dialog/dialogaddpassthroughdisk.h"
#include "ui/dialog/dialogaddraidset.h"
#include "ui/dialog/dialogaddvolume.h"
#include "ui/dialog/dialogdeletehotsparedisk.h"
#include "ui/dialog/dialogdiskdetail.h"
#include "ui/dialog/dialogquickcreate.h"
#include "ui/dialog/raiddialogs.h"
#include "ui/model/itemmodel.h"
#include "ui/model/selectionproxy.h"
#include "ui_dialogaddhotsparedisk.h"
#include "ui_dialogaddnestedvolume.h"
#include "ui_dialogaddpassthroughdisk.h"
#include "ui_dialogaddraidset.h"
#include "ui_dialogaddvolume.h"
#include "ui_dialogdeletehotsparedisk.h"
#include "ui_dialogdiskdetail.h"
#include "ui_dialogquickcreate.h"
#include "watcher/eventwatcher.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace ctltest;
using namespace dialogtest;
using namespace viewtest;
using simtest::Bytes;

namespace {

// Blocks of disks of 1000.2, 2000.4 and 995.0 GB.
constexpr const char* k1000 = "1953525168";
constexpr const char* k2000 = "3907029168";
constexpr const char* k995 = "1943359375";

Bytes bytesOf(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(uint8_t(v));
    return out;
}

// Twelve disks of 1000.2 GB: raid sets A (0:0-0:2) and B (0:3-0:5), six disks free.
QByteArray twoRaidSetsSixFree()
{
    QByteArray out = "enclosure 0 slots 12\n";
    for (int s = 0; s < 12; ++s)
        out += "disk 0 " + QByteArray::number(s) + " capacity " + k1000 + "\n";
    return out + "raidset \"A\" disks 0:0 0:1 0:2\nraidset \"B\" disks 0:3 0:4 0:5\n";
}

// The texts of the enabled buttons of `buttons` (as far as `top` goes), comma-separated.
QString enabledTexts(const QList<QRadioButton*>& buttons, const QWidget* top)
{
    QStringList on;
    for (QRadioButton* b : buttons)
        if (b->isEnabledTo(top))
            on << b->text();
    return on.join(QLatin1Char(','));
}

// The names of the simulated controller's volume sets, by volume number.
QStringList storedVolumeNames(const zynsim::FakeController& controller)
{
    QStringList out;
    for (int v = 0; v < QZynController::kVolumeSets; ++v) {
        const sGUI_VOLUMESET r = controller.volumeSet(v);
        if (r.exists())
            out << QString::fromStdString(r.name());
    }
    return out;
}

} // namespace

class TestDialogsRaid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void deviceList();
    void diskDetail_data();
    void diskDetail();
    void diskDetailFollowsItsDisk();
    void addRaidSet();
    void addVolumeLevels_data();
    void addVolumeLevels();
    void addVolumeCreates();
    void raid6Offered_data();
    void raid6Offered();
    void defaultNamesDiffer_data();
    void defaultNamesDiffer();
    void typedNamesRoundTrip_data();
    void typedNamesRoundTrip();
    void hotSpares();
    void passThroughDisks();
    void olderFamilyPayloads();
    void volumeLimit();
    void closeWithController();
    void controllerReplacedBeforeConfirm();

private:
    // A controller that makes Raid6 volumes unless `given` says otherwise.
    QZynController* online(const char* address, zynsim::Profile profile, const char* config);
    QZynController* online(const char* address, const zynsim::ControllerConfig& given, const char* config);

    QTemporaryDir m_dir;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    std::unique_ptr<Starter> m_starter;
};

void TestDialogsRaid::initTestCase()
{
    QVERIFY(m_dir.isValid());
    setUpPolling(m_dir.path());
}

void TestDialogsRaid::cleanup()
{
    endControllers(&m_starter, &m_ctl, &m_sim);
}

QZynController* TestDialogsRaid::online(const char* address, zynsim::Profile profile, const char* config)
{
    zynsim::ControllerConfig given;
    given.profile = profile;
    given.raid6 = true;
    return online(address, given, config);
}

QZynController* TestDialogsRaid::online(const char* address, const zynsim::ControllerConfig& given, const char* config)
{
    m_starter = std::make_unique<Starter>();
    m_sim = std::make_unique<zynsim::Simulator>();
    return serveOnline(*m_sim, &m_ctl, address, given, config);
}

// The device list of the ticked disks: list order, low bytes, at most 320 pairs.
void TestDialogsRaid::deviceList()
{
    QZynDisk a(nullptr, QZynDiskIndex(7, 2), nullptr);
    QZynDisk b(nullptr, QZynDiskIndex(0x105, 0x101), nullptr);
    raiddialog::DiskCheckList list = {{&a, false}, {&b, true}, {&a, true}};
    _DEVICE_LIST out;
    std::memset(&out, 0xAA, sizeof out);
    QCOMPARE(raiddialog::CollectDisks(list, &out), raiddialog::Collected::Listed);
    const Bytes expected = bytesOf({2, 0, 0, 0, 0x01, 0x05, 2, 7});
    QCOMPARE(Bytes(reinterpret_cast<uint8_t*>(&out), reinterpret_cast<uint8_t*>(&out) + 8), expected);
    for (size_t i = 8; i < sizeof out; ++i)
        QCOMPARE(reinterpret_cast<uint8_t*>(&out)[i], uint8_t(0));

    list = {{&a, false}};
    QCOMPARE(raiddialog::CollectDisks(list, &out), raiddialog::Collected::Nothing);
    list.clear();
    QCOMPARE(raiddialog::CollectDisks(list, &out), raiddialog::Collected::Nothing);
    for (int i = 0; i < _DEVICE_LIST::kMaxDrives; ++i)
        list.append({&a, true});
    QCOMPARE(raiddialog::CollectDisks(list, &out), raiddialog::Collected::Listed);
    QCOMPARE(out.count, _DEVICE_LIST::kMaxDrives);
    list.append({&b, true});
    QCOMPARE(raiddialog::CollectDisks(list, &out), raiddialog::Collected::TooMany);
    QCOMPARE(out.count, 0);
}

void TestDialogsRaid::diskDetail_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<QString>("config");
    QTest::addColumn<int>("enclosure");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("values");   // type, location, capacity .. calibration (not the texts of the disk's getters)

    QTest::newRow("older family, slot 0")
        << int(zynsim::Profile::Older)
        << QStringLiteral("controller channels 4\ndisk 0 0 capacity 3907029168 temp 45 media 3 timeouts 9 "
                          "smart 100:6 255:1 7:0 60:30 1:2 255:0\n")
        << 0 << 0 << 0
        << QStringList({"Channel1\n", "Channel#00", "2000.4 GB", "Normal", "9", "3", "45 °C", "100(6)", "255(1)",
                        "7(0)", "60(30)", "1(2)", "N.A.(N.A.)"});
    QTest::newRow("older family, slot 2, small")
        << int(zynsim::Profile::Older)
        << QStringLiteral("controller channels 4\ndisk 0 2 capacity 1 temp 0 smart 0:0 0:0 0:0 0:0 0:0 254:3\n")
        << 0 << 2 << 0
        << QStringList({"Channel3\n", "Channel#02", "0.0 GB", "Normal", "0", "0", "0 °C", "0(0)", "0(0)", "0(0)",
                        "0(0)", "0(0)", "254(3)"});
    QTest::newRow("SATA disk on the enclosure family")
        << int(zynsim::Profile::Enclosure)
        << QStringLiteral("enclosure 0 slots 6\ndisk 0 3 sata address 0x3000C500ABCDEF01 capacity 1953525168 temp 38 "
                          "smart 90:10 80:20 70:30 60:40 50:50 40:60\n")
        << 0 << 3 << 0
        << QStringList({"SATA(3000C500ABCDEF01)", "Enclosure#01 Slot 04", "1000.2 GB", "Normal", "0", "0", "38 °C",
                        "90(10)", "80(20)", "70(30)", "60(40)", "50(50)", "40(60)"});
    // The SAS page: caption and value a row, the SATA page's rows first, then the SAS view's.
    QStringList sas = {"Device Type:|SAS(3000C5001234ABCD)", "Device Location:|Enclosure#02 Slot 02",
                       "Disk Capacity:|1000.2 GB", "Device State:|Normal", "Timeout Count:|5",
                       "Media Error Count:|2", "Rotation Speed:|15000 RPM", "Device Temperature:|41 °C"};
    const char* const counters[] = {
        "Read Errors Recovered Without Delay:", "Read Errors Recovered With Delay:", "Read Errors Recovered With Retry:",
        "Read Errors Recovered:", "Read Total Bytes:", "Read Errors Unrecovered:",
        "Write Errors Recovered Without Delay:", "Write Errors Recovered With Delay:",
        "Write Errors Recovered With Retry:", "Write Errors Recovered:", "Write Total Bytes:",
        "Write Errors Unrecovered:", "Verify Errors Recovered Without Delay:", "Verify Errors Recovered With Delay:",
        "Verify Errors Recovered With Retry:", "Verify Errors Recovered:", "Verify Errors Unrecovered:",
        "Non-Medium Errors:", "Defect P-List Block Count:", "Defect G-List Block Count:"};
    QString counterValues;
    for (int k = 0; k < int(std::size(counters)); ++k) {
        // Counter k holds k+1, the read bytes one beyond 32 bits.
        const qulonglong value = k == 4 ? 5000000000ULL : qulonglong(k + 1);
        sas << QString::fromLatin1(counters[k]) + "|" + QString::number(value);
        counterValues += " " + QString::number(value);
    }
    QTest::newRow("SAS disk on the enclosure family")
        << int(zynsim::Profile::Enclosure)
        << QStringLiteral("enclosure 0 slots 2\nenclosure 1 slots 2\ndisk 1 1 address 0x3000C5001234ABCD capacity "
                          "1953525168 temp 41 media 2 timeouts 5 rpm 15000 counters") + counterValues + "\n"
        << 1 << 1 << 1 << sas;
}

void TestDialogsRaid::diskDetail()
{
    QFETCH(int, profile);
    QFETCH(QString, config);
    QFETCH(int, enclosure);
    QFETCH(int, slot);
    QFETCH(int, page);
    QFETCH(QStringList, values);
    QZynController* c = online("127.0.0.190", zynsim::Profile(profile), config.toUtf8().constData());
    QVERIFY(c);
    QZynDisk* disk = c->GetDisk(QZynDiskIndex(slot, enclosure));
    QVERIFY(disk->GetState() != 0);
    DialogDiskDetail dialog(disk);
    Ui_DialogDiskDetail* ui = dialog.Form();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Disk Information"));
    QVERIFY(closeButtonOnly(&dialog));
    QCOMPARE(dialog.size(), QSize(789, 507));
    QCOMPARE(ui->stackedWidget->currentIndex(), page);
    QCOMPARE(ui->tabWidget->tabText(0), QStringLiteral("Info"));
    QVERIFY(!ui->tabWidget->tabIcon(0).isNull());
    QCOMPARE(ui->tabWidget->tabText(1), QStringLiteral("S.M.A.R.T"));
    QCOMPARE(ui->tabWidget_2->tabText(0), QStringLiteral("Info"));
    QVERIFY(!ui->tabWidget_2->tabIcon(0).isNull());
    shootDialog(&dialog, QStringLiteral("dialog-disk-detail-%1").arg(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')).remove(QLatin1Char(','))));
    if (page != DialogDiskDetail::PageSATADisk) {
        // Every row of the SAS view; the name, serial and firmware rows are the disk's getters'.
        const QAbstractItemModel* table = ui->tableView->model();
        QVERIFY(table != nullptr);
        QStringList shown;
        for (int r = 0; r < table->rowCount(); ++r) {
            const QString caption = table->index(r, 0).data().toString();
            if (caption != ui->label_3->text() && caption != ui->label_4->text() && caption != ui->label_5->text())
                shown << caption + "|" + table->index(r, 1).data().toString();
        }
        QCOMPARE(shown, values);
        QCOMPARE(table->rowCount(), values.size() + 3);
        QVERIFY(!(table->flags(table->index(0, 1)) & Qt::ItemIsEditable));
        // An update of the disk rewrites the rows it has.
        dialog.UpdateSASDiskInformation();
        QCOMPARE(table->rowCount(), values.size() + 3);
        return;
    }
    const QStringList shown = {ui->labelType->text(), ui->labelLocation->text(), ui->labelCapacity->text(),
                               ui->labelState->text(), ui->labelTimeoutCount->text(), ui->labelMediaErrorCount->text(),
                               ui->labelDeviceTemp->text(), ui->labelSmartReadErrorRate->text(),
                               ui->labelSmartSpinupTime->text(), ui->labelSmartReallocCount->text(),
                               ui->labelSmartSeekErrorRate->text(), ui->labelSmartSpinupRetries->text(),
                               ui->labelSmartCalibrationRetries->text()};
    QCOMPARE(shown, values);
    // The record's text fields up to their first NUL.
    QCOMPARE(ui->labelName->text(), QStringLiteral("Varnel VD4000S"));
    QVERIFY(ui->labelSerial->text().startsWith(QLatin1String("VDC")));
    QCOMPARE(ui->labelSerial->text().size(), 11);
    QCOMPARE(ui->labelFirmwareRev->text(), QStringLiteral("VS02"));
}

// Updates of its own disk only; a removal closes it (the labels are still refreshed).
void TestDialogsRaid::diskDetailFollowsItsDisk()
{
    QZynController* c = online("127.0.0.191", zynsim::Profile::Older,
                               "controller channels 4\ndisk 0 0 temp 40\ndisk 0 1 temp 41\n");
    QVERIFY(c);
    QZynDisk* disk = c->GetDisk(QZynDiskIndex(0, 0));
    DialogDiskDetail dialog(disk);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Ui_DialogDiskDetail* ui = dialog.Form();
    QCOMPARE(ui->labelDeviceTemp->text(), QStringLiteral("40 °C"));
    ui->labelDeviceTemp->setText(QStringLiteral("mark"));
    emit c->DeviceChanged(c->GetDisk(QZynDiskIndex(1, 0)), QZynDevice::DeviceUpdated);
    emit c->DeviceChanged(c, QZynDevice::DeviceUpdated);
    QCoreApplication::processEvents();
    QCOMPARE(ui->labelDeviceTemp->text(), QStringLiteral("mark"));
    emit c->DeviceChanged(disk, QZynDevice::DeviceUpdated);
    QCOMPARE(ui->labelDeviceTemp->text(), QStringLiteral("40 °C"));
    ui->labelDeviceTemp->setText(QStringLiteral("mark"));
    emit c->DeviceChanged(disk, QZynDevice::DeviceRemoved);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(ui->labelDeviceTemp->text(), QStringLiteral("40 °C"));
}

void TestDialogsRaid::addRaidSet()
{
    const QByteArray config = QByteArray("enclosure 0 slots 8\n") + "disk 0 0 capacity " + k1000 + "\ndisk 0 1 capacity "
        + k2000 + "\ndisk 0 2 capacity " + k995 + "\ndisk 0 3 capacity 19335937\ndisk 0 4\ndisk 0 5\ndisk 0 6\n"
        + "raidset \"Used\" disks 0:4 0:5\nhotspare 0:6\n";
    QZynController* c = online("127.0.0.192", zynsim::Profile::Enclosure, config.constData());
    QVERIFY(c);
    const QString model = c->GetSysInfo()->GetModelName();
    DialogAddRaidSet dialog(c);
    Ui_DialogAddRaidSet* ui = dialog.Form();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("New RaidSet"));
    QVERIFY(closeButtonOnly(&dialog));
    QCOMPARE(dialog.windowModality(), Qt::WindowModal);
    QCOMPARE(dialog.size(), QSize(833, 524));
    QVERIFY(ui->createRaidSetButton->isDefault());
    QCOMPARE(ui->freeDiskTreeView->iconSize(), QSize(20, 20));
    QVERIFY(!ui->freeDiskTreeView->rootIsDecorated());
    QAbstractItemModel* proxy = ui->freeDiskTreeView->model();
    QCOMPARE(offered(proxy), QStringList({"0:0", "0:1", "0:2", "0:3"}));
    auto figures = [ui] {
        return QStringList({ui->labelMemberDisks->text(), ui->labelMinDiskSize->text(), ui->labelTotalSize->text()});
    };
    QCOMPARE(figures(), QStringList({"0", "0.0", "0.0"}));
    QVERIFY(tick(proxy, "0:3"));   // 9.9 GB
    QCOMPARE(figures(), QStringList({"1", "0.0", "0.0"}));
    ui->selectAllCheckBox->click();
    QCOMPARE(figures(), QStringList({"4", "0.0", "0.0"}));
    ui->selectAllCheckBox->click();
    QCOMPARE(figures(), QStringList({"0", "0.0", "0.0"}));
    for (const char* d : {"0:0", "0:1", "0:2"})
        QVERIFY(tick(proxy, d));
    QCOMPARE(figures(), QStringList({"3", "990.0", "2970.0"}));
    shootDialog(&dialog, QStringLiteral("dialog-add-raidset"));

    const QString question = QStringLiteral("Are you sure you want to create this raidset ?");
    // No: nothing is sent; the ticks stay.
    m_ctl->clearLog();
    QCOMPARE(answered(ui->createRaidSetButton, {QMessageBox::No}),
             QStringList({box(1, model, question, kYesNo, kYes)}));
    QVERIFY(simtest::payloads(*m_ctl, 0x50).empty());
    QCOMPARE(figures(), QStringList({"3", "990.0", "2970.0"}));

    // A refusal of the controller ('F': a listed disk is no longer free) shows its number.
    {
        ModalResponder responder;
        responder.handle([this](QWidget* w) {
            QVERIFY(m_ctl->applyConfig("hotspare 0:2\n", nullptr));
            static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        });
        responder.press(QMessageBox::Ok);
        ui->createRaidSetButton->click();
        QCOMPARE(transcript(responder).value(1),
                 box(2, model, QStringLiteral("Failed to ZynCreateRaidSet(..), Error = 70."), kOk, kOk));
    }
    QCOMPARE(simtest::payloads(*m_ctl, 0x50).size(), size_t(1));
    QTRY_COMPARE(offered(proxy), QStringList({"0:0", "0:1", "0:3"}));

    // Yes: the list goes as it was ticked; the members leave the list once polled.
    QVERIFY(tick(proxy, "0:0"));
    QVERIFY(tick(proxy, "0:1"));
    QCOMPARE(figures(), QStringList({"2", "1000.0", "2000.0"}));
    m_ctl->clearLog();
    QCOMPARE(answered(ui->createRaidSetButton, {QMessageBox::Yes, QMessageBox::Ok}),
             QStringList({box(1, model, question, kYesNo, kYes),
                          box(1, model, QStringLiteral("RaidSet has been created successfully."), kOk, kOk)}));
    Bytes expected(21, 0);
    expected[0] = 2;
    expected.insert(expected.end(), {0, 0, 0, 1});
    QCOMPARE(simtest::lastPayload(*m_ctl, 0x50), expected);
    QTRY_COMPARE(offered(proxy), QStringList({"0:3"}));
    QCOMPARE(figures(), QStringList({"0", "0.0", "0.0"}));
    QZynRaidSet* made = c->GetRaidSet(1);
    QTRY_VERIFY(made->IsPresent());
    QCOMPARE(made->GetRecord().memberCount(), 2);

    // Nothing ticked: no box, nothing sent.
    m_ctl->clearLog();
    {
        ModalResponder responder;
        ui->createRaidSetButton->click();
        QTest::qWait(60);
        QVERIFY(responder.seen().isEmpty());
    }
    QVERIFY(simtest::payloads(*m_ctl, 0x50).empty());
}

void TestDialogsRaid::addVolumeLevels_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<int>("raidSet");
    QTest::addColumn<QString>("enabled");        // the level buttons offered, by their texts
    QTest::addColumn<QStringList>("maxima");
    QTest::addColumn<bool>("volumeGroup");
    QTest::addColumn<double>("capacity");        // the checked level's maximum

    const QString disks = QStringLiteral("enclosure 0 slots 8\ndisk 0 0 capacity 3906250\ndisk 0 1 capacity 3906250\n"
                                         "disk 0 2 capacity 3906250\ndisk 0 3 capacity 3906250\n");
    const QString none = QStringLiteral("MAX: 0 GB");
    // Members of 3906250 blocks: 7629 units of 512 blocks, 1.99997 GB each.
    QTest::newRow("no members") << disks << 3 << QString() << QStringList({none, none, none, none, none}) << false
                                << 0.0;
    QTest::newRow("one member") << disks + "raidset \"One\" disks 0:0\n" << 0 << QStringLiteral("Raid 0")
                                << QStringList({"MAX: 2.0 GB", none, none, none, none}) << true << 2.0;
    QTest::newRow("two members") << disks + "raidset \"Two\" disks 0:0 0:1\n" << 0 << QStringLiteral("Raid 0,Raid 1")
                                 << QStringList({"MAX: 4.0 GB", "MAX: 2.0 GB", none, none, none}) << true << 2.0;
    QTest::newRow("four members") << disks + "raidset \"Four\" disks 0:0 0:1 0:2 0:3\n" << 0
                                  << QStringLiteral("Raid 0,Raid 1+0,Raid 3,Raid 5,Raid 6")
                                  << QStringList({"MAX: 8.0 GB", "MAX: 4.0 GB", "MAX: 6.0 GB", "MAX: 6.0 GB", "MAX: 4.0 GB"})
                                  << true << 6.0;
    QTest::newRow("one GB free") << disks + "raidset \"Three\" disks 0:0 0:1 0:2\n"
                                             "volume \"V\" raidset 0 capacity 9765375 level 0 state 0\n"
                                 << 0 << QStringLiteral("Raid 0,Raid 1+0,Raid 3,Raid 5,Raid 6")
                                 << QStringList({"MAX: 1.0 GB", "MAX: 0.5 GB", "MAX: 0.7 GB", "MAX: 0.7 GB", "MAX: 0.3 GB"})
                                 << false << 0.7;
    QTest::newRow("migrating") << disks + "raidset \"Three\" disks 0:0 0:1 0:2\n"
                                          "volume \"V\" raidset 0 capacity 1000000 level 0 state 4\n"
                               << 0 << QStringLiteral("Raid 0,Raid 1+0,Raid 3,Raid 5,Raid 6")
                               << QStringList({"MAX: 5.5 GB", "MAX: 2.7 GB", "MAX: 3.7 GB", "MAX: 3.7 GB", "MAX: 1.8 GB"})
                               << false << 3.7;
}

void TestDialogsRaid::addVolumeLevels()
{
    QFETCH(QString, config);
    QFETCH(int, raidSet);
    QFETCH(QString, enabled);
    QFETCH(QStringList, maxima);
    QFETCH(bool, volumeGroup);
    QFETCH(double, capacity);
    QZynController* c = online("127.0.0.193", zynsim::Profile::Enclosure, config.toUtf8().constData());
    QVERIFY(c);
    DialogAddVolume dialog(c->GetRaidSet(raidSet));
    Ui_DialogAddVolume* ui = dialog.Form();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("New Volume"));
    QVERIFY(closeButtonOnly(&dialog));
    QCOMPARE(dialog.size(), QSize(625, 461));
    QVERIFY(ui->createVolumePushButton->isEnabled());
    QVERIFY(!ui->createVolumePushButton->icon().isNull());
    const QList<QRadioButton*> buttons = {ui->raid0RadioButton, ui->raid1RadioButton, ui->raid3RadioButton,
                                          ui->raid5RadioButton, ui->raid6RadioButton};
    QStringList on;
    for (QRadioButton* b : buttons)
        if (b->isEnabledTo(ui->volGroupBox))
            on << b->text();
    QCOMPARE(on.join(QLatin1Char(',')), enabled);
    QCOMPARE(QStringList({ui->raid0Label->text(), ui->raid1Label->text(), ui->raid3Label->text(), ui->raid5Label->text(),
                          ui->raid6Label->text()}),
             maxima);
    QCOMPARE(ui->volGroupBox->isEnabled(), volumeGroup);
    QCOMPARE(ui->capacityDoubleSpinBox->value(), capacity);
    QCOMPARE(ui->capacityDoubleSpinBox->suffix(), QStringLiteral(" GB"));
    QCOMPARE(ui->nameLineEdit->maxLength(), 16);
    shootDialog(&dialog, QStringLiteral("dialog-add-volume-%1").arg(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'))));
    if (volumeGroup && enabled.contains(QLatin1String("Raid 6"))) {
        // Another level resets the capacity to its maximum.
        ui->capacityDoubleSpinBox->setValue(0.1);
        ui->raid0RadioButton->click();
        QCOMPARE(ui->capacityDoubleSpinBox->value(), ui->raid0Label->text().mid(5).chopped(3).toDouble());
    }
}

void TestDialogsRaid::addVolumeCreates()
{
    QZynController* c = online("127.0.0.194", zynsim::Profile::Enclosure,
                               "enclosure 0 slots 8\ndisk 0 0 capacity 3906250\ndisk 0 1 capacity 3906250\n"
                               "disk 0 2 capacity 3906250\ndisk 0 5\ndisk 0 6\n"
                               "raidset \"Other\" disks 0:5 0:6\n"
                               "raidset \"Target\" disks 0:0 0:1 0:2\n"
                               "volume \"Taken\" raidset 0 capacity 100000 level 0 channel 0 id 0 lun 0 state 0\n");
    QVERIFY(c);
    QZynRaidSet* target = c->GetRaidSet(1);
    QVERIFY(target->IsPresent());
    const QString title = QStringLiteral("Target");
    DialogAddVolume dialog(target);
    Ui_DialogAddVolume* ui = dialog.Form();
    QVERIFY(ui->raid5RadioButton->isChecked());
    QCOMPARE(ui->labelRaidSetName->text(), title);
    QCOMPARE(ui->labelRaidSetTotalCap->text(), QStringLiteral("6.0 GB"));
    QCOMPARE(ui->labelRaidSetFreeCap->text(), QStringLiteral("6.0 GB"));
    QCOMPARE(ui->labelRaidState->text(), QStringLiteral("Normal"));
    const QString question = QStringLiteral("Are you sure you want to create this volume ?");

    // A name of more than 16 UTF-8 bytes is cut to its first 16; a RAID 0 of 2.5 GB at the
    // first free address.
    ui->nameLineEdit->setText(QStringLiteral("Données-éé-0123"));
    ui->raid0RadioButton->click();
    ui->capacityDoubleSpinBox->setValue(2.5);
    m_ctl->clearLog();
    QCOMPARE(answered(ui->createVolumePushButton, {QMessageBox::No}),
             QStringList({box(1, title, question, kYesNo, kYes)}));
    QVERIFY(simtest::payloads(*m_ctl, 0x60).empty());
    QCOMPARE(ui->capacityDoubleSpinBox->value(), 2.5);
    QCOMPARE(answered(ui->createVolumePushButton, {QMessageBox::Yes, QMessageBox::Ok}),
             QStringList({box(1, title, question, kYesNo, kYes),
                          box(1, title, QStringLiteral("Volume has been created successfully."), kOk, kOk)}));
    const QByteArray name = QStringLiteral("Données-éé-0123").toUtf8().left(16);
    QCOMPARE(name.size(), 16);
    Bytes expected = {1};
    expected.insert(expected.end(), name.begin(), name.end());
    const uint64_t blocks = 4882812;   // 2.5e9 / 512
    for (int i = 0; i < 8; ++i)
        expected.push_back(uint8_t(blocks >> (8 * i)));
    // level, stripe code, channel, id, lun (0:0:0 is taken), tagged, cache, 4, foreground, no encryption
    expected.insert(expected.end(), {0, 4, 0, 0, 1, 1, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0});
    QCOMPARE(simtest::lastPayload(*m_ctl, 0x60), expected);
    // The raid set's update redraws the dialog: the next free name, RAID 5 back at its maximum.
    QTRY_VERIFY(ui->labelRaidSetFreeCap->text() != QStringLiteral("6.0 GB"));
    QTRY_COMPARE(ui->nameLineEdit->text(), c->GetFreeVolumeSetName().left(16));

    // A refusal of the controller: the space went while the question was open ('K'). "Late"
    // takes all of it: 4450 units of 512 blocks on each of the three members.
    {
        ModalResponder responder;
        responder.handle([this](QWidget* w) {
            QVERIFY(m_ctl->applyConfig("volume \"Late\" raidset 1 capacity 6835200 level 0 state 0\n", nullptr));
            static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        });
        responder.press(QMessageBox::Ok);
        ui->raid0RadioButton->click();
        ui->createVolumePushButton->click();
        QCOMPARE(transcript(responder).value(1),
                 box(2, title, QStringLiteral("Failed to ZynCreateVolSet(..), Error = 75."), kOk, kOk));
    }
    shootDialog(&dialog, QStringLiteral("dialog-add-volume-after"));
}

void TestDialogsRaid::raid6Offered_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("raid6");          // system-information byte 180
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<QStringList>("raid6Maxima");

    const QString z = QStringLiteral("MAX: 0 GB");
    const QString quick = QStringLiteral("Raid 0,Raid 1 + 0,Raid 3,Raid 5,Raid 1 + 0 + Spare,Raid 3 + Spare,"
                                         "Raid 5 + Spare");
    QTest::newRow("quick create, no raid 6") << "quick" << false << quick << QStringList({z, z});
    QTest::newRow("quick create, raid 6") << "quick" << true << quick + ",Raid 6,Raid 6 + Spare"
                                          << QStringList({"MAX: 4000.0 GB", "MAX: 3000.0 GB"});
    const QString volume = QStringLiteral("Raid 0,Raid 1+0,Raid 3,Raid 5");
    QTest::newRow("new volume, no raid 6") << "volume" << false << volume << QStringList({z});
    QTest::newRow("new volume, raid 6") << "volume" << true << volume + ",Raid 6" << QStringList({"MAX: 1000.2 GB"});
    const QString nested = QStringLiteral("Raid 00,Raid 100,Raid 30,Raid 50");
    QTest::newRow("nested volume, no raid 6") << "nested" << false << nested << QStringList({z});
    QTest::newRow("nested volume, raid 6") << "nested" << true << nested + ",Raid 60"
                                           << QStringList({"MAX: 2000.4 GB"});
}

// A controller whose system information says it makes no Raid6 volume is offered none, in any
// of the dialogs that make volumes; the others are offered as before.
void TestDialogsRaid::raid6Offered()
{
    QFETCH(QString, dialog);
    QFETCH(bool, raid6);
    QFETCH(QString, enabled);
    QFETCH(QStringList, raid6Maxima);
    zynsim::ControllerConfig given;
    given.profile = zynsim::Profile::Enclosure;
    given.raid6 = raid6;
    QZynController* c = online("127.0.6.20", given, twoRaidSetsSixFree().constData());
    QVERIFY(c);
    QCOMPARE(c->GetSysInfo()->GetRecord().supportsRaid6(), raid6);
    std::unique_ptr<QDialog> shown;
    QList<QRadioButton*> buttons;
    QStringList maxima;
    if (dialog == QLatin1String("quick")) {
        auto* d = new DialogQuickCreate(c);
        shown.reset(d);
        Ui_DialogQuickCreate* ui = d->Form();
        QCOMPARE(ui->labelMemberDisks->text(), QStringLiteral("6"));
        buttons = {ui->raid0RadioButton, ui->raid1RadioButton, ui->raid3RadioButton, ui->raid5RadioButton,
                   ui->raid1SRadioButton, ui->raid3SRadioButton, ui->raid5SRadioButton, ui->raid6RadioButton,
                   ui->raid6SRadioButton};
        maxima = QStringList({ui->raid6Label->text(), ui->raid6SLabel->text()});
    } else if (dialog == QLatin1String("volume")) {
        auto* d = new DialogAddVolume(c->GetRaidSet(0));
        shown.reset(d);
        Ui_DialogAddVolume* ui = d->Form();
        QVERIFY(ui->volGroupBox->isEnabled());
        buttons = {ui->raid0RadioButton, ui->raid1RadioButton, ui->raid3RadioButton, ui->raid5RadioButton,
                   ui->raid6RadioButton};
        maxima = QStringList({ui->raid6Label->text()});
    } else {
        auto* d = new DialogAddNestedVolume(c);
        shown.reset(d);
        Ui_DialogAddNestedVolume* ui = d->Form();
        QAbstractItemModel* proxy = ui->freeRaidSetTreeView->model();
        QCOMPARE(proxy->rowCount(), 2);
        for (int r = 0; r < proxy->rowCount(); ++r)
            QVERIFY(proxy->setData(proxy->index(r, 0), Qt::Checked, Qt::CheckStateRole));
        buttons = {ui->raid0RadioButton, ui->raid1RadioButton, ui->raid3RadioButton, ui->raid5RadioButton,
                   ui->raid6RadioButton};
        maxima = QStringList({ui->raid6Label->text()});
    }
    QCOMPARE(enabledTexts(buttons, shown.get()), enabled);
    QCOMPARE(maxima, raid6Maxima);
    shootDialog(shown.get(), QStringLiteral("dialog-raid6-%1").arg(QString::fromLatin1(QTest::currentDataTag())
                                                                      .replace(QLatin1Char(' '), QLatin1Char('-'))
                                                                      .remove(QLatin1Char(','))));
}

void TestDialogsRaid::defaultNamesDiffer_data()
{
    QTest::addColumn<int>("modelNumber");
    QTest::addColumn<QByteArray>("volumes");        // volume sets there before
    QTest::addColumn<QStringList>("proposed");      // the name field before each creation
    QTest::addColumn<QStringList>("stored");        // every volume set's name afterwards

    // "ZRC-1880" and "-1880": with "-VOL#000" more than the 16-byte field holds.
    QTest::newRow("long model") << 1880 << QByteArray()
                                << QStringList({"ZRC-1880-VOL#000", "ZRC-1880-VOL#001", "ZRC-1880-VOL#002"})
                                << QStringList({"ZRC-1880-VOL#000", "ZRC-1880-VOL#001", "ZRC-1880-VOL#002"});
    // "ZRC-1" and "-1": the model field holds NUL bytes after its text; the name fits whole.
    QTest::newRow("short model") << 1 << QByteArray()
                                 << QStringList({"ZRC-1-1-VOL#000", "ZRC-1-1-VOL#001", "ZRC-1-1-VOL#002"})
                                 << QStringList({"ZRC-1-1-VOL#000", "ZRC-1-1-VOL#001", "ZRC-1-1-VOL#002"});
    // A name given before counts as it is stored; the uncut proposal's cut form is no other name.
    QTest::newRow("long model, names taken")
        << 1880
        << QByteArray("volume \"ZRC-1880-1880-VO\" raidset 0 capacity 100000 level 0 id 5 state 0\n"
                      "volume \"ZRC-1880-VOL#000\" raidset 0 capacity 100000 level 0 id 6 state 0\n")
        << QStringList({"ZRC-1880-VOL#001", "ZRC-1880-VOL#002"})
        << QStringList({"ZRC-1880-1880-VO", "ZRC-1880-VOL#000", "ZRC-1880-VOL#001", "ZRC-1880-VOL#002"});
    QTest::newRow("short model, a gap")
        << 1 << QByteArray("volume \"ZRC-1-1-VOL#001\" raidset 0 capacity 100000 level 0 id 5 state 0\n")
        << QStringList({"ZRC-1-1-VOL#000", "ZRC-1-1-VOL#002"})
        << QStringList({"ZRC-1-1-VOL#001", "ZRC-1-1-VOL#000", "ZRC-1-1-VOL#002"});
}

// Volume sets made one after another with the name the dialog proposes get the names proposed,
// each one free as the controller stores it.
void TestDialogsRaid::defaultNamesDiffer()
{
    QFETCH(int, modelNumber);
    QFETCH(QByteArray, volumes);
    QFETCH(QStringList, proposed);
    QFETCH(QStringList, stored);
    zynsim::ControllerConfig given;
    given.profile = zynsim::Profile::Enclosure;
    given.modelNumber = modelNumber;
    const QByteArray config = twoRaidSetsSixFree() + volumes;
    QZynController* c = online("127.0.6.21", given, config.constData());
    QVERIFY(c);
    QZynRaidSet* target = c->GetRaidSet(0);
    DialogAddVolume dialog(target);
    Ui_DialogAddVolume* ui = dialog.Form();
    const QString title = QStringLiteral("A");
    QStringList seen;
    for (int k = 0; k < proposed.size(); ++k) {
        std::vector<int> before;
        c->GetVolumeSetCount(before);
        seen << ui->nameLineEdit->text();
        ui->raid0RadioButton->click();
        ui->capacityDoubleSpinBox->setValue(1.0);
        QCOMPARE(answered(ui->createVolumePushButton, {QMessageBox::Yes, QMessageBox::Ok}).value(1),
                 box(1, title, QStringLiteral("Volume has been created successfully."), kOk, kOk));
        // The new volume set is listed and the dialog has proposed the next name.
        QTRY_VERIFY_WITH_TIMEOUT((c->GetVolumeSetCount(before), before.size()) == size_t(volumes.count('\n') + k + 1),
                                 20000);
        QTRY_COMPARE(ui->nameLineEdit->text(), c->GetFreeVolumeSetName());
    }
    QCOMPARE(seen, proposed);
    QCOMPARE(storedVolumeNames(*m_ctl), stored);
}

void TestDialogsRaid::typedNamesRoundTrip_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("cut before a character") << QStringLiteral("Tägliche-Sicherung") << QByteArray("Tägliche-Sicher");
    QTest::newRow("not inside a character") << QStringLiteral("ABCDEFGHIJKLMNOé") << QByteArray("ABCDEFGHIJKLMNO");
}

// A name typed in the dialog (the nested volume dialog names its volume alike) goes to the
// controller cut between characters, the simulated controller keeps those bytes, and the volume
// set polled back shows them as typed.
void TestDialogsRaid::typedNamesRoundTrip()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    QZynController* c = online("127.0.6.22", zynsim::Profile::Enclosure, twoRaidSetsSixFree().constData());
    QVERIFY(c);
    DialogAddVolume d(c->GetRaidSet(0));
    d.Form()->raid0RadioButton->click();
    d.Form()->capacityDoubleSpinBox->setValue(1.0);
    d.Form()->nameLineEdit->setText(typed);
    m_ctl->clearLog();
    const QStringList boxes = answered(d.Form()->createVolumePushButton, {QMessageBox::Yes, QMessageBox::Ok});
    QVERIFY2(boxes.value(1).contains(QLatin1String("successfully")), qPrintable(boxes.join(QLatin1Char('\n'))));
    const Bytes sent = simtest::lastPayload(*m_ctl, 0x60);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(sent.data()) + 1, 16), stored + QByteArray(16 - stored.size(), '\0'));
    QCOMPARE(QByteArray::fromStdString(m_ctl->volumeSet(0).name()), stored);
    QTRY_COMPARE(raiddialog::Shown(c->GetVolumeSet(0)->GetName()), QString::fromUtf8(stored));
}

void TestDialogsRaid::hotSpares()
{
    QZynController* c = online("127.0.0.195", zynsim::Profile::Enclosure,
                               "enclosure 0 slots 6\nenclosure 1 slots 4\n"
                               "disk 0 0\ndisk 0 1\ndisk 0 2\ndisk 0 3\ndisk 1 0\ndisk 1 1\n"
                               "raidset 5 \"Five\" disks 0:2 0:3\n");
    QVERIFY(c);
    const QString model = c->GetSysInfo()->GetModelName();
    QZynRaidSet* five = c->GetRaidSet(5);
    QVERIFY(five->IsPresent());

    struct Case {
        QZynRaidSet* raidSet;
        const char* disk;
        Bytes payload;
    };
    const Case cases[] = {
        {nullptr, "0:0", bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0})},
        {five, "1:1", bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 1, 1, 1, 5, 0})},
    };
    for (const Case& k : cases) {
        DialogAddHotSpareDisk dialog(c, k.raidSet);
        Ui_DialogAddHotSpareDisk* ui = dialog.Form();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New Hot Spare Disk"));
        QVERIFY(closeButtonOnly(&dialog));
        QCOMPARE(dialog.size(), QSize(809, 392));
        QCOMPARE(offered(dialog.Proxy()), k.raidSet ? QStringList({"0:1", "1:0", "1:1"})
                                                    : QStringList({"0:0", "0:1", "1:0", "1:1"}));
        QVERIFY(tick(dialog.Proxy(), k.disk));
        m_ctl->clearLog();
        ModalResponder responder;
        responder.press(QMessageBox::Yes);
        responder.press(QMessageBox::Ok);
        ui->createHotSparePushButton->click();
        QCOMPARE(transcript(responder),
                 QStringList({box(1, model, QStringLiteral("Are you sure you want to create hot spare disk?"), kYesNo, kYes),
                              box(1, model, QStringLiteral("Hotspare disk(s) have been created successfully."), kOk, kOk)}));
        QCOMPARE(simtest::payloads(*m_ctl, 0x54), std::vector<Bytes>({k.payload}));
        QTRY_VERIFY(!offered(dialog.Proxy()).contains(QLatin1String(k.disk)));
        if (k.raidSet == nullptr)
            shootDialog(&dialog, QStringLiteral("dialog-add-hotspare"));
    }

    DialogDeleteHotSpareDisk remove(c);
    Ui_DialogDeleteHotSpareDisk* ui = remove.Form();
    QCOMPARE(remove.windowTitle(), QStringLiteral("Delete Hot Spare Disk"));
    QVERIFY(closeButtonOnly(&remove));
    QTRY_COMPARE(offered(remove.Proxy()), QStringList({"0:0", "1:1"}));
    QCOMPARE(remove.Proxy()->rowCount(), 2);   // both enclosures
    shootDialog(&remove, QStringLiteral("dialog-delete-hotspare"));
    ui->selectAllCheckBox->click();
    // One of them goes while the question is open: the controller refuses ('F').
    m_ctl->clearLog();
    {
        ModalResponder responder;
        responder.handle([this](QWidget* w) {
            QVERIFY(m_ctl->applyConfig("remove 0:0\n", nullptr));
            static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        });
        responder.press(QMessageBox::Ok);
        ui->deleteHotSparePushButton->click();
        QCOMPARE(transcript(responder),
                 QStringList({box(1, model, QStringLiteral("Are you sure you want to delete hot spare disk?"), kYesNo, kYes),
                              box(2, model, QStringLiteral("Failed to ZynDeleteHotSpare(..), Error = 70."), kOk, kOk)}));
    }
    QCOMPARE(simtest::payloads(*m_ctl, 0x55), std::vector<Bytes>({bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0})}));
    QTRY_COMPARE(offered(remove.Proxy()), QStringList({"1:1"}));
    QVERIFY(tick(remove.Proxy(), "1:1"));
    m_ctl->clearLog();
    {
        ModalResponder responder;
        responder.press(QMessageBox::Yes);
        responder.press(QMessageBox::Ok);
        ui->deleteHotSparePushButton->click();
        QCOMPARE(transcript(responder).value(1),
                 box(1, model, QStringLiteral("Hotspare disk(s) have been deleted successfully."), kOk, kOk));
    }
    QCOMPARE(simtest::payloads(*m_ctl, 0x55), std::vector<Bytes>({bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 1, 1})}));
    QTRY_VERIFY(offered(remove.Proxy()).isEmpty());
}

void TestDialogsRaid::passThroughDisks()
{
    QZynController* c = online("127.0.0.196", zynsim::Profile::Enclosure,
                               "enclosure 0 slots 6\ndisk 0 0\ndisk 0 1\ndisk 0 2\ndisk 0 3\ndisk 0 4\n"
                               "raidset \"R\" disks 0:3 0:4\n"
                               "volume \"V\" raidset 0 capacity 100000 level 0 channel 0 id 0 lun 1 state 0\n");
    QVERIFY(c);
    const QString model = c->GetSysInfo()->GetModelName();
    DialogAddPassThroughDisk dialog(c);
    Ui_DialogAddPassThroughDisk* ui = dialog.Form();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("New Pass Through Disk"));
    QVERIFY(closeButtonOnly(&dialog));
    QCOMPARE(offered(dialog.Proxy()), QStringList({"0:0", "0:1", "0:2"}));
    ui->selectAllCheckBox->click();
    shootDialog(&dialog, QStringLiteral("dialog-add-passthrough"));
    // The second disk goes while the question is open: its command fails, the others go on;
    // every disk that got one keeps its own address.
    m_ctl->clearLog();
    const QString ok = QStringLiteral("Pass through disk(s) have been created successfully.");
    {
        ModalResponder responder;
        responder.handle([this](QWidget* w) {
            QVERIFY(m_ctl->applyConfig("remove 0:1\n", nullptr));
            static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        });
        responder.press(QMessageBox::Ok);
        responder.press(QMessageBox::Ok);
        responder.press(QMessageBox::Ok);
        ui->createPassThroughPushButton->click();
        QCOMPARE(transcript(responder),
                 QStringList({box(1, model, QStringLiteral("Are you sure you want to create pass through disk?"), kYesNo, kYes),
                              box(1, model, ok, kOk, kOk),
                              box(2, model, QStringLiteral("Failed to ZynCreatePassthroughDisk(..), Error = 70."), kOk, kOk),
                              box(1, model, ok, kOk, kOk)}));
    }
    QCOMPARE(simtest::payloads(*m_ctl, 0x40), std::vector<Bytes>({bytesOf({0, 0, 0, 0, 0, 1, 1, 4}),
                                                                   bytesOf({0, 1, 0, 0, 2, 1, 1, 4}),
                                                                   bytesOf({0, 2, 0, 0, 2, 1, 1, 4})}));
    QTRY_VERIFY(offered(dialog.Proxy()).isEmpty());
    QTRY_VERIFY(c->GetDisk(QZynDiskIndex(2, 0))->GetState() & sGUI_PHY_DRV::kStatePassThrough);
}

// On the older family the disk lists go as channel masks, a dedicated spare as a global one, and
// a pass-through disk by its channel.
void TestDialogsRaid::olderFamilyPayloads()
{
    QZynController* c = online("127.0.0.199", zynsim::Profile::Older,
                               "controller channels 8\ndisk 0 0\ndisk 0 1\ndisk 0 3\ndisk 0 5\ndisk 0 6\ndisk 0 7\n"
                               "raidset \"R\" disks 6 7\n");
    QVERIFY(c);
    auto confirmAndOk = [](QPushButton* button) {
        ModalResponder responder;
        responder.press(QMessageBox::Yes);
        responder.press(QMessageBox::Ok);
        button->click();
        return transcript(responder).value(1).section(QLatin1Char('|'), 2, 2);
    };
    m_ctl->clearLog();
    {
        DialogAddRaidSet dialog(c);
        QCOMPARE(offered(dialog.Form()->freeDiskTreeView->model()), QStringList({"0:0", "0:1", "0:3", "0:5"}));
        QVERIFY(tick(dialog.Form()->freeDiskTreeView->model(), "0:1"));
        QVERIFY(tick(dialog.Form()->freeDiskTreeView->model(), "0:3"));
        QCOMPARE(confirmAndOk(dialog.Form()->createRaidSetButton), QStringLiteral("RaidSet has been created successfully."));
    }
    Bytes raid = bytesOf({0x0A, 0, 0, 0, 0});
    raid.insert(raid.end(), 15, ' ');
    QCOMPARE(simtest::payloads(*m_ctl, 0x50), std::vector<Bytes>({raid}));
    QTRY_VERIFY(c->GetRaidSet(1)->IsPresent());
    {
        DialogAddHotSpareDisk dialog(c, c->GetRaidSet(0));
        QTRY_COMPARE(offered(dialog.Proxy()), QStringList({"0:0", "0:5"}));
        QVERIFY(tick(dialog.Proxy(), "0:5"));
        QCOMPARE(confirmAndOk(dialog.Form()->createHotSparePushButton),
                 QStringLiteral("Hotspare disk(s) have been created successfully."));
    }
    QCOMPARE(simtest::payloads(*m_ctl, 0x54), std::vector<Bytes>({bytesOf({0x20, 0, 0, 0})}));
    {
        DialogAddPassThroughDisk dialog(c);
        QTRY_COMPARE(offered(dialog.Proxy()), QStringList({"0:0"}));
        dialog.Form()->selectAllCheckBox->click();
        QCOMPARE(confirmAndOk(dialog.Form()->createPassThroughPushButton),
                 QStringLiteral("Pass through disk(s) have been created successfully."));
    }
    QCOMPARE(simtest::payloads(*m_ctl, 0x40), std::vector<Bytes>({bytesOf({0, 0, 0, 0, 1, 1, 4, 0})}));
    {
        DialogDeleteHotSpareDisk dialog(c);
        QTRY_COMPARE(offered(dialog.Proxy()), QStringList({"0:5"}));
        dialog.Form()->selectAllCheckBox->click();
        QCOMPARE(confirmAndOk(dialog.Form()->deleteHotSparePushButton),
                 QStringLiteral("Hotspare disk(s) have been deleted successfully."));
    }
    QCOMPARE(simtest::payloads(*m_ctl, 0x55), std::vector<Bytes>({bytesOf({0x20, 0, 0, 0})}));
}

// With 128 volume sets on the controller, "Create" shows only the refusal.
void TestDialogsRaid::volumeLimit()
{
    QByteArray config = "enclosure 0 slots 4\ndisk 0 0\ndisk 0 1\ndisk 0 2\nraidset \"Full\" disks 0:0 0:1 0:2\n";
    for (int v = 0; v < QZynController::kVolumeSets; ++v)
        config += QByteArray("volume \"V") + QByteArray::number(v) + "\" raidset 0 capacity 1024 level 0 state 0\n";
    QZynController* c = online("127.0.0.190", zynsim::Profile::Enclosure, config.constData());
    QVERIFY(c);
    std::vector<int> volumes;
    c->GetVolumeSetCount(volumes);
    QCOMPARE(int(volumes.size()), QZynController::kVolumeSets);
    DialogAddVolume dialog(c->GetRaidSet(0));
    m_ctl->clearLog();
    QCOMPARE(answered(dialog.Form()->createVolumePushButton, {QMessageBox::Ok}),
             QStringList({box(2, QStringLiteral("Full"), QStringLiteral("Exceed numbers of volumes allowed."), kOk, kOk)}));
    QVERIFY(simtest::payloads(*m_ctl, 0x60).empty());
}

// Every dialog closes when its controller is announced removed, and when it is deleted; its
// commands then do nothing.
void TestDialogsRaid::closeWithController()
{
    using Make = std::function<QDialog*(QZynController*)>;
    const QList<QPair<const char*, Make>> makers = {
        {"disk detail", [](QZynController* c) { return new DialogDiskDetail(c->GetDisk(QZynDiskIndex(0, 0))); }},
        {"raid set", [](QZynController* c) { return new DialogAddRaidSet(c); }},
        {"volume", [](QZynController* c) { return new DialogAddVolume(c->GetRaidSet(0)); }},
        {"add spare", [](QZynController* c) { return new DialogAddHotSpareDisk(c, c->GetRaidSet(0)); }},
        {"delete spare", [](QZynController* c) { return new DialogDeleteHotSpareDisk(c); }},
        {"pass-through", [](QZynController* c) { return new DialogAddPassThroughDisk(c); }},
    };
    for (bool announce : {true, false}) {
        QZynController* c = online(announce ? "127.0.0.197" : "127.0.0.198", zynsim::Profile::Enclosure,
                                   "enclosure 0 slots 4\ndisk 0 0\ndisk 0 1\ndisk 0 2\nraidset \"R\" disks 0:2\n");
        QVERIFY(c);
        std::vector<std::unique_ptr<QDialog>> dialogs;
        for (const auto& m : makers) {
            dialogs.emplace_back(m.second(c));
            dialogs.back()->show();
            QVERIFY2(QTest::qWaitForWindowExposed(dialogs.back().get()), m.first);
        }
        if (announce) {
            emit ZynGetHost()->DeviceChanged(c, QZynDevice::DeviceRemoved);
            QCoreApplication::processEvents();
        } else {
            emptyHost();
        }
        for (size_t i = 0; i < dialogs.size(); ++i)
            QVERIFY2(!dialogs[i]->isVisible(), makers[int(i)].first);
        if (!announce) {
            ModalResponder responder;
            for (QPushButton* b : dialogs[1]->findChildren<QPushButton*>())
                b->click();
            for (size_t i = 2; i < dialogs.size(); ++i)
                for (QPushButton* b : dialogs[i]->findChildren<QPushButton*>())
                    if (b->objectName() != QLatin1String("exitButton"))
                        b->click();
            QTest::qWait(60);
            QVERIFY(responder.seen().isEmpty());
        }
        dialogs.clear();
        cleanup();
    }
}

void TestDialogsRaid::controllerReplacedBeforeConfirm()
{
    // The controller at the dialog's address is replaced after the dialog opened, and the user
    // confirms before any polling pass: another controller gets no raid set (and the user is
    // told it failed), the same controller back gets it. Given up while its question is open,
    // the question goes with the dialog, answered No.
    const char* const address = "127.0.2.5";
    const char* const model = "enclosure 0 slots 4\ndisk 0 0\ndisk 0 1\ndisk 0 2\n";
    ControllerEventWatcherThread::SetIntervals(600000, 600000, 600000);
    for (int pass = 0; pass < 3; ++pass) {
        const bool another = pass == 0, asked = pass == 2;
        const char* name = another ? "another controller" : asked ? "given up, asked" : "the same controller back";
        m_starter = std::make_unique<Starter>();
        zynsim::ControllerConfig config = simtest::configOf(zynsim::Profile::Enclosure);
        config.emptyModel = true;
        config.serial = "Y000000000000205";
        m_sim = std::make_unique<zynsim::Simulator>();
        m_ctl = m_sim->addUdpController(address, config);
        QVERIFY2(m_ctl && m_ctl->loadConfig(model, nullptr), name);
        QPointer<QZynController> c = announceOnline(address);
        QVERIFY2(c, name);
        const int slot = c->GetHostSlot();
        const QString title = c->GetSysInfo()->GetModelName();
        auto dialog = std::make_unique<DialogAddRaidSet>(c.data());
        dialog->show();
        QVERIFY2(QTest::qWaitForWindowExposed(dialog.get()), name);
        QAbstractItemModel* proxy = dialog->Form()->freeDiskTreeView->model();
        QVERIFY2(tick(proxy, "0:0") && tick(proxy, "0:1"), name);
        if (asked) {
            bool stayed = false;
            ModalResponder responder;
            responder.handle([&](QWidget* question) {
                c->GiveUp();
                if ((stayed = question->isVisible()))
                    static_cast<QMessageBox*>(question)->button(QMessageBox::Yes)->click();
            });
            dialog->Form()->createRaidSetButton->click();
            QVERIFY2(!stayed && !dialog->isVisible() && m_ctl->raidSet(0).memberCount() == 0, name);
            dialog.reset();
            cleanup();
            continue;
        }

        zynsim::ControllerConfig next = config;
        if (another)
            next.serial = "Y000000000000206";
        m_sim = std::make_unique<zynsim::Simulator>();
        m_ctl = m_sim->addUdpController(address, next);
        QVERIFY2(m_ctl && m_ctl->loadConfig(model, nullptr), name);
        const QStringList boxes = answered(dialog->Form()->createRaidSetButton, {QMessageBox::Yes, QMessageBox::Ok});
        const QString question = box(1, title, QStringLiteral("Are you sure you want to create this raidset ?"), kYesNo, kYes);
        if (another) {
            QCOMPARE(boxes, QStringList({question, box(2, title, QStringLiteral("Failed to ZynCreateRaidSet(..), Error = 21."),
                                                       kOk, kOk)}));
            QCOMPARE(commandsReceived(*m_ctl), std::vector<int>{ZYN_CMD_GET_SYSINFO});
            QVERIFY2(m_ctl->raidSet(0).memberCount() == 0, name);
            QVERIFY2(!dialog->isVisible(), name);
            QVERIFY2(ZynGetHost()->get_controller(slot) == nullptr, name);
            QTRY_VERIFY(c.isNull());
        } else {
            QCOMPARE(boxes, QStringList({question, box(1, title, QStringLiteral("RaidSet has been created successfully."),
                                                       kOk, kOk)}));
            QCOMPARE(commandsReceived(*m_ctl), (std::vector<int>{ZYN_CMD_GET_SYSINFO, 0x50}));
            QVERIFY2(m_ctl->raidSet(0).memberCount() == 2, name);
        }
        dialog.reset();
        cleanup();
    }
    ControllerEventWatcherThread::SetIntervals(100, 300, 20);
}

QTEST_MAIN(TestDialogsRaid)
#include "test_dialogs_raid.moc"
