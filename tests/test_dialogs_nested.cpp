// The nested-volume dialogs against the simulator through the polling thread: the raid sets and
// nested volume sets offered, the maxima shown, the bytes the simulated controller receives, the
// boxes (recorded and answered by a responder), and a selection that outlives the polls which
// reset the ticks while a box is open. With PALVIR_SHOT_DIR set, a picture of each dialog.
#include "controllerfixture.h"
#include "dialogfixture.h"
#include "modalresponder.h"
#include "viewfixture.h"
#include "devices/images.h"
#include "devices/raidset.h"
#include "devices/volumeset.h"
#include "ui/dialog/dialogaddnestedvolume.h"
#include "ui/dialog/dialogdeletenestedvolumes.h"
#include "ui/dialog/raiddialogs.h"
#include "ui/model/itemmodel.h"
#include "ui/model/selectionproxy.h"
#include "ui_dialogaddnestedvolume.h"
#include "ui_dialogdeletenestedvolumes.h"
#include "watcher/eventwatcher.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace ctltest;
using dialogtest::answered;
using dialogtest::box;
using dialogtest::closeButtonOnly;
using dialogtest::kOk;
using dialogtest::kYes;
using dialogtest::kYesNo;
using dialogtest::shootDialog;
using dialogtest::transcript;
using namespace viewtest;
using simtest::Bytes;

namespace {

const QString kNone = QStringLiteral("MAX: 0 GB");

QString nameOf(QZynDevice* device)
{
    if (device != nullptr && device->type == QZynDevice::RaidSet)
        return raiddialog::Shown(static_cast<QZynRaidSet*>(device)->GetName());
    if (device != nullptr && device->type == QZynDevice::VolumeSet)
        return raiddialog::Shown(static_cast<QZynVolumeSet*>(device)->GetName());
    return QString();
}

QZynDevice* deviceAt(const QAbstractItemModel* proxy, int row)
{
    return proxy->index(row, 0).data(zynmodel::DeviceItemRole).value<QZynDevice*>();
}

// The raid sets or volume sets a proxy offers, by name, with "*" for a ticked one.
QStringList offered(const QAbstractItemModel* proxy)
{
    QStringList out;
    for (int r = 0; r < proxy->rowCount(); ++r)
        out << nameOf(deviceAt(proxy, r))
                + (proxy->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStringLiteral("*") : QString());
    return out;
}

// Ticks the offered rows named in `names` (comma-separated).
bool tick(QAbstractItemModel* proxy, const QString& names)
{
    for (const QString& name : names.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool found = false;
        for (int r = 0; r < proxy->rowCount() && !found; ++r)
            if (nameOf(deviceAt(proxy, r)) == name)
                found = proxy->setData(proxy->index(r, 0), Qt::Checked, Qt::CheckStateRole);
        if (!found)
            return false;
    }
    return true;
}

QStringList shownMaxima(const Ui_DialogAddNestedVolume* ui)
{
    return {ui->raid0Label->text(), ui->raid1Label->text(), ui->raid3Label->text(), ui->raid5Label->text(),
            ui->raid6Label->text()};
}

// Raid sets for the figures: A and B hold the same free space (4 x 6000 and 3 x 8000 units of
// 512 blocks, 6.3 GB), C less (3 x 7629 units, 6.0 GB). Two, Full and Deg are not offered: too
// few members, no free space, degraded.
const char* const kRaidSets =
    "enclosure 0 slots 16\nenclosure 1 slots 8\n"
    "disk 0 0 capacity 3072000\ndisk 0 1 capacity 3072000\ndisk 0 2 capacity 3072000\ndisk 0 3 capacity 3072000\n"
    "disk 0 4 capacity 4096000\ndisk 0 5 capacity 4096000\ndisk 0 6 capacity 4096000\n"
    "disk 0 7 capacity 3906250\ndisk 0 8 capacity 3906250\ndisk 0 9 capacity 3906250\n"
    "disk 0 10 capacity 3906250\ndisk 0 11 capacity 3906250\n"
    "disk 0 12 capacity 3906250\ndisk 0 13 capacity 3906250\ndisk 0 14 capacity 3906250\n"
    "disk 1 0 capacity 3906250\ndisk 1 1 capacity 3906250\ndisk 1 2 capacity 3906250\n"
    "raidset \"A\" disks 0:0 0:1 0:2 0:3\n"
    "raidset \"B\" disks 0:4 0:5 0:6\n"
    "raidset \"C\" disks 0:7 0:8 0:9\n"
    "raidset \"Two\" disks 0:10 0:11\n"
    "raidset \"Full\" disks 0:12 0:13 0:14\n"
    "volume 7 \"Filler\" raidset 4 capacity 11718144 level 0 channel 0 id 0 lun 0 state 0\n"
    "raidset \"Deg\" disks 1:0 1:1 1:2\n"
    "fail 1:0\n";

// Nested volume sets N1 (5) over member volumes 0 and 1, N2 (6) over 2 and 3.
const char* const kNested =
    "volume 0 \"m0\" raidset 0 capacity 1000000 level 0 state 0\n"
    "volume 1 \"m1\" raidset 1 capacity 1000000 level 0 state 0\n"
    "volume 2 \"m2\" raidset 1 capacity 1000000 level 0 state 0\n"
    "volume 3 \"m3\" raidset 2 capacity 1000000 level 0 state 0\n"
    "nested 5 \"N1\" members 0 1\n"
    "nested 6 \"N2\" members 2 3\n";

// A window that takes log lines, as the main window does.
class LogSink : public QWidget {
    Q_OBJECT
public:
    int lines = 0;
public slots:
    void LogMessage(QZynLog*) { ++lines; }
};

} // namespace

class TestDialogsNested : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void addNestedFigures_data();
    void addNestedFigures();
    void addNestedCreates();
    void addNestedRaidSetLimit();
    void addNestedVolumeLimit();
    void deleteNested();
    void deleteNestedKeepsItsSelection();
    void logLinesAndClosing();

private:
    // A controller that makes Raid6 (and Raid60) volumes.
    QZynController* online(const char* address, const QByteArray& config);

    QTemporaryDir m_dir;
    std::unique_ptr<zynsim::Simulator> m_sim;
    std::shared_ptr<zynsim::FakeController> m_ctl;
    std::unique_ptr<Starter> m_starter;
};

void TestDialogsNested::initTestCase()
{
    QVERIFY(m_dir.isValid());
    setUpPolling(m_dir.path());
}

void TestDialogsNested::cleanup()
{
    endControllers(&m_starter, &m_ctl, &m_sim);
}

QZynController* TestDialogsNested::online(const char* address, const QByteArray& config)
{
    m_starter = std::make_unique<Starter>();
    m_sim = std::make_unique<zynsim::Simulator>();
    zynsim::ControllerConfig given;
    given.profile = zynsim::Profile::Enclosure;
    given.raid6 = true;
    return serveOnline(*m_sim, &m_ctl, address, given, config.constData());
}

void TestDialogsNested::addNestedFigures_data()
{
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<QStringList>("maxima");
    QTest::addColumn<double>("capacity");   // RAID 50's maximum
    QTest::addColumn<double>("raid00");     // after choosing RAID 00

    const QStringList none = {kNone, kNone, kNone, kNone, kNone};
    QTest::newRow("nothing ticked") << QString() << none << 0.0 << 0.0;
    QTest::newRow("one raid set") << QStringLiteral("A") << none << 0.0 << 0.0;
    // Equal free space: the later one (B, three members) sets the figures.
    QTest::newRow("equal free space") << QStringLiteral("B,A")
                                      << QStringList({"MAX: 12.6 GB", "MAX: 6.3 GB", "MAX: 8.4 GB", "MAX: 8.4 GB",
                                                      "MAX: 4.2 GB"})
                                      << 8.4 << 12.6;
    // C has the least free space, whatever the order of the ticks.
    QTest::newRow("least free space") << QStringLiteral("C,A")
                                      << QStringList({"MAX: 12.0 GB", "MAX: 6.0 GB", "MAX: 8.0 GB", "MAX: 8.0 GB",
                                                      "MAX: 4.0 GB"})
                                      << 8.0 << 12.0;
    QTest::newRow("three raid sets") << QStringLiteral("A,B,C")
                                     << QStringList({"MAX: 18.0 GB", "MAX: 9.0 GB", "MAX: 12.0 GB", "MAX: 12.0 GB",
                                                     "MAX: 6.0 GB"})
                                     << 12.0 << 18.0;
}

void TestDialogsNested::addNestedFigures()
{
    QFETCH(QString, ticks);
    QFETCH(QStringList, maxima);
    QFETCH(double, capacity);
    QFETCH(double, raid00);
    QZynController* c = online("127.0.0.230", kRaidSets);
    QVERIFY(c);
    QVERIFY(c->GetRaidSet(5)->GetRecord().degraded() != 0);
    DialogAddNestedVolume dialog(c);
    Ui_DialogAddNestedVolume* ui = dialog.Form();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("New Nested(Hybrid) RAID"));
    QVERIFY(closeButtonOnly(&dialog));
    QCOMPARE(dialog.windowModality(), Qt::NonModal);
    QCOMPARE(dialog.size(), QSize(854, 539));
    QVERIFY(!ui->createButton->isDefault());
    QCOMPARE(ui->freeRaidSetTreeView->iconSize(), QSize(20, 20));
    QVERIFY(!ui->freeRaidSetTreeView->rootIsDecorated());
    QCOMPARE(ui->capacityDoubleSpinBox->suffix(), QStringLiteral(" GB"));
    QCOMPARE(ui->capacityDoubleSpinBox->decimals(), 1);
    QVERIFY(ui->raid5RadioButton->isChecked());
    QCOMPARE(QStringList({ui->raid0RadioButton->text(), ui->raid1RadioButton->text(), ui->raid3RadioButton->text(),
                          ui->raid5RadioButton->text(), ui->raid6RadioButton->text()}),
             QStringList({"Raid 00", "Raid 100", "Raid 30", "Raid 50", "Raid 60"}));
    QAbstractItemModel* proxy = ui->freeRaidSetTreeView->model();
    QCOMPARE(offered(proxy), QStringList({"A", "B", "C"}));

    ui->nameLineEdit->setText(QStringLiteral("kept"));
    QVERIFY(tick(proxy, ticks));
    QCOMPARE(shownMaxima(ui), maxima);
    QCOMPARE(ui->capacityDoubleSpinBox->value(), capacity);
    QCOMPARE(ui->capacityDoubleSpinBox->maximum(), capacity);
    // With two raid sets or more the name field offers the next free name.
    QCOMPARE(ui->nameLineEdit->text(), capacity > 0 ? c->GetFreeVolumeSetName() : QStringLiteral("kept"));
    for (QRadioButton* b : {ui->raid0RadioButton, ui->raid1RadioButton, ui->raid3RadioButton, ui->raid5RadioButton,
                            ui->raid6RadioButton})
        QVERIFY(b->isEnabled());
    // Another level resets the capacity to its maximum.
    ui->capacityDoubleSpinBox->setValue(0.5);
    ui->raid0RadioButton->click();
    QCOMPARE(ui->capacityDoubleSpinBox->value(), raid00);
    if (QTest::currentDataTag() == QLatin1String("least free space"))
        shootDialog(&dialog, QStringLiteral("dialog-add-nested-volume"));

    // Fewer than two raid sets: "Create" shows nothing and sends nothing.
    if (capacity == 0) {
        m_ctl->clearLog();
        ModalResponder responder;
        ui->createButton->click();
        QTest::qWait(60);
        QVERIFY(responder.seen().isEmpty());
        QVERIFY(simtest::payloads(*m_ctl, 0x65).empty());
    }
}

void TestDialogsNested::addNestedCreates()
{
    QZynController* c = online("127.0.0.231", kRaidSets);
    QVERIFY(c);
    const QString model = c->GetSysInfo()->GetModelName();
    DialogAddNestedVolume dialog(c);
    Ui_DialogAddNestedVolume* ui = dialog.Form();
    QAbstractItemModel* proxy = ui->freeRaidSetTreeView->model();
    QVERIFY(tick(proxy, QStringLiteral("C,A")));
    const QString question = QStringLiteral("Are you sure you want to create this volume ?");

    // Choosing a level redraws the name field with the next free name: the name comes after it.
    ui->raid0RadioButton->click();
    QCOMPARE(ui->nameLineEdit->text(), c->GetFreeVolumeSetName());
    ui->nameLineEdit->setText(QStringLiteral("Données-éé-0123"));
    ui->capacityDoubleSpinBox->setValue(5.0);
    m_ctl->clearLog();
    QCOMPARE(answered(ui->createButton, {QMessageBox::No}), QStringList({box(1, model, question, kYesNo, kYes)}));
    QVERIFY(simtest::payloads(*m_ctl, 0x65).empty());
    QCOMPARE(ui->capacityDoubleSpinBox->value(), 5.0);

    // Yes: the ticked raid sets in list order, the name cut to 16 UTF-8 bytes, the first free
    // address (0:0:0 is taken).
    QCOMPARE(answered(ui->createButton, {QMessageBox::Yes, QMessageBox::Ok}),
             QStringList({box(1, model, question, kYesNo, kYes),
                          box(1, model, QStringLiteral("Volume has been created successfully."), kOk, kOk)}));
    Bytes expected = {2, 0, 2, 0, 0, 0, 0, 0, 0};
    const QByteArray name = QStringLiteral("Données-éé-0123").toUtf8().left(16);
    QCOMPARE(name.size(), 16);
    expected.insert(expected.end(), name.begin(), name.end());
    const uint64_t blocks = 9765625;   // 5e9 / 512
    for (int i = 0; i < 8; ++i)
        expected.push_back(uint8_t(blocks >> (8 * i)));
    // level, stripe code, channel, id, lun, tagged, cache, 4, foreground | nested, no encryption
    expected.insert(expected.end(), {0, 4, 0, 0, 1, 1, 1, 4, 3, 0});
    QCOMPARE(simtest::payloads(*m_ctl, 0x65).size(), size_t(1));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(simtest::lastPayload(*m_ctl, 0x65).data()), 43).toHex(' '),
             QByteArray(reinterpret_cast<const char*>(expected.data()), int(expected.size())).toHex(' '));
    QTRY_VERIFY(c->GetVolumeSet(0)->GetRecord().isNested());

    // A member of B fails while the question is open: B leaves the list, but the command still
    // names the raid sets ticked when Create was pressed, and the refusal shows its number. The polls report A and C with less free space first, which resets their ticks.
    QTRY_VERIFY(c->GetRaidSet(0)->GetFreeCapacity() < c->GetRaidSet(1)->GetFreeCapacity()
                && c->GetRaidSet(2)->GetFreeCapacity() < c->GetRaidSet(1)->GetFreeCapacity() * 2 / 3);
    QTRY_COMPARE(offered(proxy), QStringList({"A", "B", "C"}));
    QVERIFY(tick(proxy, QStringLiteral("B,C")));
    bool left = false;
    {
        ModalResponder responder;
        responder.handle([this, proxy, &left](QWidget* w) {
            m_ctl->applyConfig("fail 0:4\n", nullptr);
            left = QTest::qWaitFor([proxy] { return offered(proxy) == QStringList({"A", "C*"}); }, 10000);
            static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        });
        responder.press(QMessageBox::Ok);
        ui->createButton->click();
        QCOMPARE(transcript(responder).value(1),
                 box(2, model, QStringLiteral("Failed to ZynCreateVolSet(..), Error = 66."), kOk, kOk));
    }
    QVERIFY(left);
    QCOMPARE(simtest::payloads(*m_ctl, 0x65).size(), size_t(2));
    QCOMPARE(simtest::lastPayload(*m_ctl, 0x65).at(0), uint8_t(2));
    QCOMPARE(simtest::lastPayload(*m_ctl, 0x65).at(1), uint8_t(1));
    QCOMPARE(simtest::lastPayload(*m_ctl, 0x65).at(2), uint8_t(2));
}

// Eight raid sets travel in the command; a ninth makes the library refuse it with 6, and the
// maxima count all nine.
void TestDialogsNested::addNestedRaidSetLimit()
{
    QByteArray config = "enclosure 0 slots 16\nenclosure 1 slots 16\n";
    for (int d = 0; d < 27; ++d)
        config += "disk " + QByteArray::number(d / 16) + " " + QByteArray::number(d % 16) + " capacity 3906250\n";
    for (int r = 0; r < 9; ++r) {
        config += "raidset \"R" + QByteArray::number(r) + "\" disks";
        for (int d = 3 * r; d < 3 * r + 3; ++d)
            config += " " + QByteArray::number(d / 16) + ":" + QByteArray::number(d % 16);
        config += "\n";
    }
    QZynController* c = online("127.0.0.232", config);
    QVERIFY(c);
    const QString model = c->GetSysInfo()->GetModelName();
    DialogAddNestedVolume dialog(c);
    Ui_DialogAddNestedVolume* ui = dialog.Form();
    QAbstractItemModel* proxy = ui->freeRaidSetTreeView->model();
    QCOMPARE(offered(proxy), QStringList({"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "R8"}));
    QVERIFY(tick(proxy, QStringLiteral("R0,R1,R2,R3,R4,R5,R6,R7,R8")));
    QCOMPARE(shownMaxima(ui), QStringList({"MAX: 54.0 GB", "MAX: 27.0 GB", "MAX: 36.0 GB", "MAX: 36.0 GB", "MAX: 18.0 GB"}));
    ui->capacityDoubleSpinBox->setValue(9.0);
    m_ctl->clearLog();
    QCOMPARE(answered(ui->createButton, {QMessageBox::Yes, QMessageBox::Ok}),
             QStringList({box(1, model, QStringLiteral("Are you sure you want to create this volume ?"), kYesNo, kYes),
                          box(2, model, QStringLiteral("Failed to ZynCreateVolSet(..), Error = 6."), kOk, kOk)}));
    QVERIFY(simtest::payloads(*m_ctl, 0x65).empty());

    // Without the first one, the other eight go.
    QVERIFY(proxy->setData(proxy->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(shownMaxima(ui).value(0), QStringLiteral("MAX: 48.0 GB"));
    ui->capacityDoubleSpinBox->setValue(8.0);
    {
        ModalResponder responder;
        responder.press(QMessageBox::Yes);
        responder.press(QMessageBox::Ok);
        ui->createButton->click();
        QCOMPARE(transcript(responder).value(1),
                 box(1, model, QStringLiteral("Volume has been created successfully."), kOk, kOk));
    }
    const Bytes sent = simtest::lastPayload(*m_ctl, 0x65);
    QCOMPARE(Bytes(sent.begin(), sent.begin() + 9), Bytes({8, 1, 2, 3, 4, 5, 6, 7, 8}));
}

// With 128 volume sets on the controller, "Create" shows only the refusal, titled with the
// raid set that sets the figures.
void TestDialogsNested::addNestedVolumeLimit()
{
    QByteArray config(kRaidSets);
    for (int v = 1; v < QZynController::kVolumeSets; ++v)
        config += "volume \"V" + QByteArray::number(v) + "\" raidset 3 capacity 1024 level 0 state 0\n";
    QZynController* c = online("127.0.0.233", config);
    QVERIFY(c);
    DialogAddNestedVolume dialog(c);
    Ui_DialogAddNestedVolume* ui = dialog.Form();
    QVERIFY(tick(ui->freeRaidSetTreeView->model(), QStringLiteral("A,B")));
    m_ctl->clearLog();
    QCOMPARE(answered(ui->createButton, {QMessageBox::Ok}),
             QStringList({box(2, QStringLiteral("B"), QStringLiteral("Exceed numbers of volumes allowed."), kOk, kOk)}));
    QVERIFY(simtest::payloads(*m_ctl, 0x65).empty());
}

void TestDialogsNested::deleteNested()
{
    QZynController* c = online("127.0.0.234", kRaidSets);
    QVERIFY(c);
    const QString model = c->GetSysInfo()->GetModelName();
    DialogDeleteNestedVolumes dialog(c);
    Ui_DialogDeleteNestedVolumes* ui = dialog.Form();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Delete Nested(Hybrid) RAID"));
    QVERIFY(closeButtonOnly(&dialog));
    QCOMPARE(dialog.windowModality(), Qt::NonModal);
    QCOMPARE(dialog.size(), QSize(809, 392));
    QVERIFY(ui->deletePushButton->isDefault());
    QCOMPARE(ui->r5060VolumeTreeView->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(ui->r5060VolumeTreeView->iconSize(), QSize(20, 20));
    QCOMPARE(ui->groupBox->title(), QStringLiteral("Available Nested(Hybrid) RAID"));
    QAbstractItemModel* proxy = dialog.Proxy();

    // An empty list: no box, nothing sent.
    QVERIFY(offered(proxy).isEmpty());
    m_ctl->clearLog();
    {
        ModalResponder responder;
        ui->deletePushButton->click();
        QTest::qWait(60);
        QVERIFY(responder.seen().isEmpty());
    }

    // Only nested volume sets are offered, as they appear.
    QVERIFY(m_ctl->applyConfig(kNested, nullptr));
    QTRY_COMPARE(offered(proxy), QStringList({"N1", "N2"}));
    shootDialog(&dialog, QStringLiteral("dialog-delete-nested-volumes"));
    const QString question = QStringLiteral("ALL DATA IN THESE VOLUMES WILL BE LOST!!!\nAre you sure you want to continue ?");
    const QString done = QStringLiteral("Nested(Hybrid) RAID(s) have been deleted successfully.");

    // Each case from what the one before left: the rows offered once select-all is set as given.
    struct Case {
        const char* what;
        bool selectAll;
        QStringList offered;
        QMessageBox::StandardButton answer;
        bool refuseFirst;         // the controller refuses the first deletion
        QStringList boxes;
        std::vector<Bytes> sent;
    };
    const QString refused = QStringLiteral("Failed to ZynDelVolSet(..), Error = 71.");
    const Case cases[] = {
        {"No", true, {"N1*", "N2*"}, QMessageBox::No, false, {box(1, model, question, kYesNo, kYes)}, {}},
        {"nothing ticked", false, {"N1", "N2"}, QMessageBox::Yes, false, {box(1, model, question, kYesNo, kYes)}, {}},
        {"a refusal does not stop the walk", true, {"N1*", "N2*"}, QMessageBox::Yes, true,
         {box(1, model, question, kYesNo, kYes), box(2, model, refused, kOk, kOk), box(1, model, done, kOk, kOk)},
         {{5}, {6}}},
        {"the rest", true, {"N1*"}, QMessageBox::Yes, false,
         {box(1, model, question, kYesNo, kYes), box(1, model, done, kOk, kOk)}, {{5}}},
    };
    for (const Case& k : cases) {
        QTRY_COMPARE(offered(proxy).replaceInStrings(QStringLiteral("*"), QString()),
                     k.offered.join(QLatin1Char(',')).remove(QLatin1Char('*')).split(QLatin1Char(',')));
        ui->selectAllCheckBox->setChecked(!k.selectAll);
        ui->selectAllCheckBox->click();
        QCOMPARE(offered(proxy), k.offered);
        if (k.refuseFirst)
            m_ctl->script(0x62, 1, zynsim::Answer::status('G'));
        m_ctl->clearLog();
        ModalResponder responder;
        responder.press(k.answer);
        responder.press(QMessageBox::Ok);
        responder.press(QMessageBox::Ok);
        ui->deletePushButton->click();
        QVERIFY2(transcript(responder) == k.boxes, qPrintable(transcript(responder).join(QLatin1Char('\n'))));
        QVERIFY2(simtest::payloads(*m_ctl, 0x62) == k.sent, k.what);
    }
    QTRY_VERIFY(offered(proxy).isEmpty());
}

// The ticks are read once, before the question: a poll that unticks a row while a box is open
// does not drop its volume set, and one deleted meanwhile is skipped without a box.
void TestDialogsNested::deleteNestedKeepsItsSelection()
{
    QZynController* c = online("127.0.0.234", QByteArray(kRaidSets) + kNested);
    QVERIFY(c);
    const QString model = c->GetSysInfo()->GetModelName();
    DialogDeleteNestedVolumes dialog(c);
    Ui_DialogDeleteNestedVolumes* ui = dialog.Form();
    QAbstractItemModel* proxy = dialog.Proxy();
    QTRY_COMPARE(offered(proxy), QStringList({"N1", "N2"}));
    const QString question = QStringLiteral("ALL DATA IN THESE VOLUMES WILL BE LOST!!!\nAre you sure you want to continue ?");
    const QString done = QStringLiteral("Nested(Hybrid) RAID(s) have been deleted successfully.");

    // N1 starts initialising while the question is open: its row is filtered again and loses
    // its tick; it is deleted all the same.
    ui->selectAllCheckBox->click();
    QCOMPARE(offered(proxy), QStringList({"N1*", "N2*"}));
    m_ctl->clearLog();
    bool unticked = false;
    {
        ModalResponder responder;
        responder.handle([this, proxy, &unticked](QWidget* w) {
            m_ctl->setVolumeState(5, 0x1, 100);
            unticked = QTest::qWaitFor([proxy] { return offered(proxy).value(0) == QLatin1String("N1"); }, 10000);
            static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        });
        responder.press(QMessageBox::Ok);
        responder.press(QMessageBox::Ok);
        ui->deletePushButton->click();
        QCOMPARE(transcript(responder), QStringList({box(1, model, question, kYesNo, kYes),
                                                     box(1, model, done, kOk, kOk), box(1, model, done, kOk, kOk)}));
    }
    QVERIFY(unticked);
    QCOMPARE(simtest::payloads(*m_ctl, 0x62), std::vector<Bytes>({{5}, {6}}));
    QTRY_VERIFY(offered(proxy).isEmpty());

    // N2 is deleted by someone else while the question is open: only N1 gets a command and a box.
    QVERIFY(m_ctl->applyConfig(kNested, nullptr));
    QTRY_COMPARE(offered(proxy), QStringList({"N1", "N2"}));
    QVERIFY(tick(proxy, QStringLiteral("N1,N2")));
    m_ctl->clearLog();
    bool gone = false;
    {
        ModalResponder responder;
        responder.handle([this, c, &gone](QWidget* w) {
            m_ctl->deleteVolumeSet(6);
            gone = QTest::qWaitFor([c] { return !c->GetVolumeSet(6)->GetRecord().exists(); }, 10000);
            static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        });
        responder.press(QMessageBox::Ok);
        responder.press(QMessageBox::Ok);
        ui->deletePushButton->click();
        QCOMPARE(transcript(responder), QStringList({box(1, model, question, kYesNo, kYes), box(1, model, done, kOk, kOk)}));
    }
    QVERIFY(gone);
    QCOMPARE(simtest::payloads(*m_ctl, 0x62), std::vector<Bytes>({{5}}));
}

// The new-nested dialog's log lines go to the window that opened it; without a controller both
// dialogs show empty lists and do nothing; both close when their controller is announced removed.
void TestDialogsNested::logLinesAndClosing()
{
    LogSink sink;
    {
        DialogAddNestedVolume dialog(nullptr, &sink);
        emit dialog.LogMessage(nullptr);
        QCOMPARE(sink.lines, 1);
        QCOMPARE(dialog.Form()->freeRaidSetTreeView->model()->rowCount(), 0);
        QCOMPARE(shownMaxima(dialog.Form()), QStringList({kNone, kNone, kNone, kNone, kNone}));
        DialogDeleteNestedVolumes remove(nullptr, &sink);
        ModalResponder responder;
        dialog.Form()->createButton->click();
        remove.Form()->selectAllCheckBox->click();
        remove.Form()->deletePushButton->click();
        QTest::qWait(60);
        QVERIFY(responder.seen().isEmpty());
    }
    QZynController* c = online("127.0.0.233", QByteArray(kRaidSets) + kNested);
    QVERIFY(c);
    DialogAddNestedVolume add(c);
    DialogDeleteNestedVolumes remove(c);
    for (QDialog* d : {static_cast<QDialog*>(&add), static_cast<QDialog*>(&remove)}) {
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
    }
    emit ZynGetHost()->DeviceChanged(c, QZynDevice::DeviceRemoved);
    QCoreApplication::processEvents();
    QVERIFY(!add.isVisible());
    QVERIFY(!remove.isVisible());
}

QTEST_MAIN(TestDialogsNested)
#include "test_dialogs_nested.moc"
