// The main window's RAID commands against the simulator: for each command and tree row, the
// boxes it shows (icon, title, text, buttons, default), the dialog it opens, the exact frames the
// controller receives and whether it passed the password gate; the raid set delete taking its
// volume sets with it; a raid set or controller that changes or goes during a question; a
// refused password; and commands fired from rows they do not fit. The window's controller is
// not polled: the records are what the controller reported when the case began, and only the
// commands make it answer.
#include "controllerfixture.h"
#include "devices/raidset.h"
#include "devices/sysinfo.h"
#include "devices/volumeset.h"
#include "modalresponder.h"
#include "ui/dialog/mainwindow.h"
#include "ui/model/controlleritemmodel.h"
#include "ui_mainwindow.h"
#include "windowfixture.h"
#include "zynapplication.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <set>

using namespace ctltest;
using namespace viewtest;

namespace {

const char* const kDiscovery = "127.0.0.245";
const char* const kRigAddress = "127.0.0.246";
const char* const kOtherAddress = "127.0.0.247";
const char* const kJbodAddress = "127.0.0.248";

// One enclosure of 8 slots, six disks of 1000.0 GB.
const std::string kDisks = "enclosure 0 slots 8\n"
                           "disk 0 0 capacity 1953125000\ndisk 0 1 capacity 1953125000\n"
                           "disk 0 2 capacity 1953125000\ndisk 0 3 capacity 1953125000\n"
                           "disk 0 4 capacity 1953125000\ndisk 0 5 capacity 1953125000\n";
const std::string kAllUsed = kDisks + "raidset \"R0\" disks 0:0 0:1 0:2 0:3 0:4 0:5\n";
const std::string kRaid = kDisks + "raidset \"R0\" disks 0:0 0:1 0:2\n";
const std::string kRaidVolume = kRaid + "volume \"V0\" raidset 0 capacity 2000000 level 3 state 0\n";
// Raid 0 volumes that leave 1272 and 1271 units of 512 blocks free on each of R0's three
// members: 1.0003 GB and 0.9995 GB (1.0 GB itself is no whole number of units).
const std::string kOneGBFree = kRaid + "volume \"V0\" raidset 0 capacity 5857420800 level 0 state 0\n";
const std::string kUnderOneGBFree = kRaid + "volume \"V0\" raidset 0 capacity 5857422336 level 0 state 0\n";

// The commands that change a controller, and the password check: what a case may send.
const std::set<int> kChanging = {0x14, 0x30, 0x40, 0x42, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x60, 0x62, 0x64, 0x65};

// The changing frames the controller received, "cc:payload" in hex each.
QStringList changingFrames(const zynsim::FakeController& ctl)
{
    QStringList out;
    for (const zynsim::LogEntry& e : ctl.log())
        if (e.kind == zynsim::LogEntry::RxFrame && kChanging.count(e.command) != 0)
            out << QStringLiteral("%1:%2").arg(e.command, 2, 16, QLatin1Char('0'))
                       .arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(e.bytes.data()),
                                                           int(e.bytes.size())).toHex()));
    return out;
}

// The boxes a responder saw: a message box as "icon|title|text|buttons|default", any other
// modal widget by its class.
QStringList transcript(const ModalResponder& responder)
{
    QStringList out;
    for (const ModalResponder::Seen& s : responder.seen()) {
        if (s.cls == QLatin1String("QMessageBox"))
            out << QStringLiteral("%1|%2|%3|%4|%5").arg(s.icon).arg(s.title, s.text, s.buttons.join(QLatin1Char(',')),
                                                                   s.defaultButton);
        else
            out << s.cls;
    }
    return out;
}

enum Icon { Information = 1, Warning = 2, Critical = 3 };

QString box(int icon, const QString& title, const QString& text)
{
    const bool question = icon == Critical;
    return QStringLiteral("%1|%2|%3|%4|%5").arg(icon).arg(title, text, question ? QStringLiteral("&Yes,&No") : QStringLiteral("OK"),
                                                          question ? QStringLiteral("&No") : QStringLiteral("OK"));
}

// A controller over the simulator at `address` holding `config`, its tables read once.
struct Rig {
    ControllerRig rig;
    QZynController* c = nullptr;

    QString start(const char* address, const std::string& config, zynsim::Profile profile = zynsim::Profile::Enclosure)
    {
        zynsim::ControllerConfig cc;
        cc.profile = profile;
        cc.emptyModel = true;
        const QString why = rig.start(address, cc);
        if (!why.isEmpty())
            return why;
        std::string error;
        if (!rig.ctl->loadConfig(config, &error))
            return QString::fromStdString(error);
        c = rig.controller.get();
        // A JBOD controller has no RAID tables to read.
        const u32 rc = profile == zynsim::Profile::Jbod ? u32(ZYN_OK) : c->BuildDeviceHierarchy();
        if (rc != ZYN_OK)
            return QStringLiteral("tables not built: %1").arg(rc);
        rig.ctl->clearLog();
        return QString();
    }
};

// Puts the controller under the window's local host and makes `row` (of it) the current row.
void show(MainWindow& window, QZynController* c, QZynDevice* row)
{
    auto* model = qobject_cast<QControllerItemModel*>(window.Form()->controllerView->model());
    QVERIFY(model != nullptr);
    if (model->FindItem(c, nullptr) == nullptr)
        model->AddControllerItem(c, model->GetLocalHostItem());
    QStandardItem* item = model->FindItem(row, nullptr);
    QVERIFY(item != nullptr);
    window.Form()->controllerView->setCurrentIndex(item->index());
    QCOMPARE(window.GetCurrentControllerTreeItem(), row);
}

void forget(MainWindow& window, QZynController* c)
{
    auto* model = qobject_cast<QControllerItemModel*>(window.Form()->controllerView->model());
    window.Form()->controllerView->setCurrentIndex(QModelIndex());
    if (QStandardItem* item = model->FindItem(c, nullptr))
        model->RemoveControllerItem(item);
}

using Command = void (MainWindow::*)();
using Pick = std::function<QZynDevice*(QZynController*)>;

Pick controllerRow()
{
    return [](QZynController* c) -> QZynDevice* { return c; };
}
Pick raidSetRow(int n)
{
    return [n](QZynController* c) -> QZynDevice* { return c->GetRaidSet(n); };
}
Pick volumeRow(int n)
{
    return [n](QZynController* c) -> QZynDevice* { return c->GetVolumeSet(n); };
}

} // namespace

class TestMainWindowRaid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void commands();
    void raidSetDeleteTakesItsVolumes();
    void changesDuringTheQuestion();
    void passwordRefused();
    void rowsThatDoNotFit();

private:
    QTemporaryDir m_dir;
};

void TestMainWindowRaid::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    ZynApplication::SetApplicationFolder(m_dir.path());
    simtest::fastPolls();
}

// Every command on a row it fits: its boxes (answered Yes/No/OK in turn, a dialog closed with
// Escape), the frames sent and whether it went through the password gate.
void TestMainWindowRaid::commands()
{
    using B = QMessageBox::StandardButton;
    struct Case {
        const char* name;
        std::string config;
        Pick row;
        Command command;
        std::vector<B> answers;
        std::function<QStringList(const QString& model)> boxes;
        QStringList frames;
        bool gated;
        std::function<void(zynsim::FakeController&)> behind;   // a change the window has not read
    };
    const auto none = [](const QString&) { return QStringList(); };
    const auto only = [](const char* text) {
        return [text](const QString& m) { return QStringList{box(Warning, m, QString::fromLatin1(text))}; };
    };
    const auto dialog = [](const char* cls) {
        return [cls](const QString&) { return QStringList{QString::fromLatin1(cls)}; };
    };
    const auto fixed = [](QStringList list) { return [list](const QString&) { return list; }; };
    const QString removeRaid = QStringLiteral("ALL VOLUMES IN THIS RAIDSET WILL BE DELETED TOO!!!\nAre you sure you want to delete this raidset ?");
    const QString removeVolume = QStringLiteral("ALL DATA IN THIS VOLUME WILL BE LOST!!!\nAre you sure you want to delete this volume ?");
    const QString removeDisk = QStringLiteral("Are you sure you want to remove this passthrough disk ?");
    const QString stop = QStringLiteral("Are you sure you want to stop the volume checking ?");
    const QString passThrough = QStringLiteral("Enc#1 Slot#03");
    const std::string withPassThrough = kDisks + "passthrough 0:2\n";
    const std::string incomplete = kRaidVolume + "remove 0:1\n";

    const std::vector<Case> cases = {
        // Quick Create: free disks first, then an ordinary raid set blocks it; pass-through
        // entries do not.
        {"quick create: no free disk", kAllUsed, controllerRow(), &MainWindow::DoActionQuickCreate, {},
         only("No Disk Available"), {}, true, nullptr},
        {"quick create: a raid set exists", kRaid, controllerRow(), &MainWindow::DoActionQuickCreate, {},
         only("Raid Set Already Exist"), {}, true, nullptr},
        {"quick create: only pass-through disks", withPassThrough, controllerRow(), &MainWindow::DoActionQuickCreate, {},
         dialog("DialogQuickCreate"), {}, true, nullptr},
        {"new raid set: no free disk", kAllUsed, controllerRow(), &MainWindow::DoActionAddRaidSet, {},
         only("No Disks Available For RaidSet"), {}, true, nullptr},
        {"new raid set", kRaid, controllerRow(), &MainWindow::DoActionAddRaidSet, {},
         dialog("DialogAddRaidSet"), {}, true, nullptr},
        {"new nested volume", kRaid, controllerRow(), &MainWindow::DoActionAddNestedRaid, {}, dialog("DialogAddNestedVolume"), {}, true, nullptr},
        {"delete nested volumes", kRaid, controllerRow(), &MainWindow::DoActionRemoveNestedRaid, {},
         dialog("DialogDeleteNestedVolumes"), {}, true, nullptr},
        {"new pass-through disk: no free disk", kAllUsed, controllerRow(), &MainWindow::DoActionAddPassThroughDisk, {},
         only("No Disks Available For Pass Through"), {}, true, nullptr},
        {"new pass-through disk", kRaid, controllerRow(), &MainWindow::DoActionAddPassThroughDisk, {},
         dialog("DialogAddPassThroughDisk"), {}, true, nullptr},
        {"new hot spare: no free disk", kAllUsed, controllerRow(), &MainWindow::DoActionAddHotSpareDisk, {},
         only("No Disks Available For Hot Spare"), {}, true, nullptr},
        {"new global hot spare", kRaid, controllerRow(), &MainWindow::DoActionAddHotSpareDisk, {},
         dialog("DialogAddHotSpareDisk"), {}, true, nullptr},
        {"new dedicated hot spare", kRaid, raidSetRow(0), &MainWindow::DoActionAddHotSpareDisk, {},
         dialog("DialogAddHotSpareDisk"), {}, true, nullptr},
        {"delete hot spare: none", kRaid, controllerRow(), &MainWindow::DoActionRemoveHotSpareDisk, {},
         only("No Hot Spare Available"), {}, true, nullptr},
        {"delete hot spare from a raid set row", kRaid + "hotspare 0:4 dedicated 0\n", raidSetRow(0),
         &MainWindow::DoActionRemoveHotSpareDisk, {}, dialog("DialogDeleteHotSpareDisk"), {}, true, nullptr},
        {"stop checking: No", kRaidVolume, controllerRow(), &MainWindow::DoActionStopVolumeChecking, {B::No},
         [&](const QString& m) { return QStringList{box(Critical, m, stop)}; }, {}, true, nullptr},
        {"stop checking: Yes", kRaidVolume, controllerRow(), &MainWindow::DoActionStopVolumeChecking, {B::Yes, B::Ok},
         [&](const QString& m) {
             return QStringList{box(Critical, m, stop),
                                box(Information, m, m + " has been stopped volume checking successfully.")};
         },
         {"64:"}, true, nullptr},
        {"mute beeper: no gate, no box", kRaidVolume, volumeRow(0), &MainWindow::DoActionMuteBeeper, {}, none, {"30:"}, false,
         nullptr},

        // Raid set rows.
        {"delete raid set: No", kRaidVolume, raidSetRow(0), &MainWindow::DoActionRemoveRaidSet, {B::No},
         fixed({box(Critical, "R0", removeRaid)}), {}, true, nullptr},
        {"delete raid set: Yes", kRaidVolume, raidSetRow(0), &MainWindow::DoActionRemoveRaidSet, {B::Yes, B::Ok},
         fixed({box(Critical, "R0", removeRaid), box(Information, "R0", "R0 has been deleted successfully.")}), {"51:00"},
         true, nullptr},
        {"delete raid set: the controller refuses", kRaidVolume, raidSetRow(0), &MainWindow::DoActionRemoveRaidSet,
         {B::Yes, B::Ok}, fixed({box(Critical, "R0", removeRaid), box(Warning, "R0", "Failed to delete R0, Error = 68.")}),
         {"51:00"}, true, [](zynsim::FakeController& ctl) {
             QVERIFY(ctl.deleteVolumeSet(0));
             QVERIFY(ctl.deleteRaidSet(0));
         }},
        {"delete raid set carrying part of a nested volume",
         kDisks + "raidset \"R0\" disks 0:0 0:1 0:2\nraidset \"R1\" disks 0:3 0:4 0:5\n"
                  "volume \"A\" raidset 0 capacity 2000000 level 3 state 0\n"
                  "volume \"B\" raidset 1 capacity 2000000 level 3 state 0\nnested \"N\" members 0 1\n",
         raidSetRow(1), &MainWindow::DoActionRemoveRaidSet, {},
         fixed({box(Warning, "R1", "Failed to delete R1, please delete Raid30/50/60 volume first.")}), {}, true, nullptr},
        {"delete pass-through disk: No", withPassThrough, raidSetRow(0), &MainWindow::DoActionRemoveRaidSet, {B::No},
         fixed({box(Critical, passThrough, removeDisk)}), {}, true, nullptr},
        {"delete pass-through disk: Yes", withPassThrough, raidSetRow(0), &MainWindow::DoActionRemoveRaidSet,
         {B::Yes, B::Ok},
         fixed({box(Critical, passThrough, removeDisk), box(Information, passThrough, passThrough + " has been removed successfully.")}),
         {"42:0002"}, true, nullptr},
        {"activate: already active", kRaidVolume, raidSetRow(0), &MainWindow::DoActionActivateIncompleteRaidSet, {},
         fixed({box(Warning, "R0", "RaidSet Already Active")}), {}, true, nullptr},
        {"activate an incomplete raid set", incomplete, raidSetRow(0), &MainWindow::DoActionActivateIncompleteRaidSet,
         {B::Ok},
         fixed({box(Information, "R0",
                    "R0 has been activated successfully.\nNote: Create a \"Hot Spare Disk\" to rebuild the raidset!!")}),
         {"53:00"}, true, nullptr},
        {"activate: the controller refuses", incomplete, raidSetRow(0), &MainWindow::DoActionActivateIncompleteRaidSet,
         {B::Ok}, fixed({box(Warning, "R0", "Failed to activate R0, Error = 68.")}), {"53:00"}, true,
         [](zynsim::FakeController& ctl) {
             QVERIFY(ctl.deleteVolumeSet(0));
             QVERIFY(ctl.deleteRaidSet(0));
         }},
        {"expand: incomplete", incomplete, raidSetRow(0), &MainWindow::DoActionExpandRaidSet, {},
         fixed({box(Warning, "R0", "R0 is not in normal state!!")}), {}, true, nullptr},
        {"expand: migrating", kRaid + "volume \"V0\" raidset 0 capacity 2000000 level 3 state 4\n", raidSetRow(0),
         &MainWindow::DoActionExpandRaidSet, {}, fixed({box(Warning, "R0", "R0 is not in normal state!!")}), {}, true, nullptr},
        {"expand: normal", kRaidVolume, raidSetRow(0), &MainWindow::DoActionExpandRaidSet, {},
         dialog("DialogExpandRaidsetWizard"), {}, true, nullptr},
        {"new volume: needs migration", kRaid + "volume \"V0\" raidset 0 capacity 2000000 level 3 state 0x20\n",
         raidSetRow(0), &MainWindow::DoActionAddVolume, {}, fixed({box(Warning, "R0", "R0 is not in normal state!!")}), {},
         true, nullptr},
        {"new volume: degraded", kRaidVolume + "fail 0:2\n", raidSetRow(0), &MainWindow::DoActionAddVolume, {},
         fixed({box(Warning, "R0", "R0 is not in normal state!!")}), {}, true, nullptr},
        {"new volume: just under 1.0 GB free", kUnderOneGBFree, raidSetRow(0), &MainWindow::DoActionAddVolume, {},
         fixed({box(Warning, "R0", "No Space For Volume")}), {}, true, nullptr},
        {"new volume: just over 1.0 GB free", kOneGBFree, raidSetRow(0), &MainWindow::DoActionAddVolume, {},
         dialog("DialogAddVolume"), {}, true, nullptr},

        // Volume set rows.
        {"delete volume: No", kRaidVolume, volumeRow(0), &MainWindow::DoActionRemoveVolume, {B::No},
         fixed({box(Critical, "V0", removeVolume)}), {}, true, nullptr},
        {"delete volume: Yes", kRaidVolume, volumeRow(0), &MainWindow::DoActionRemoveVolume, {B::Yes, B::Ok},
         fixed({box(Critical, "V0", removeVolume), box(Information, "V0", "V0 has been deleted successfully.")}),
         {"62:00"}, true, nullptr},
        {"delete volume: the controller refuses", kRaidVolume, volumeRow(0), &MainWindow::DoActionRemoveVolume,
         {B::Yes, B::Ok}, fixed({box(Critical, "V0", removeVolume), box(Warning, "V0", "Failed to delete V0, Error = 69.")}),
         {"62:00"}, true, [](zynsim::FakeController& ctl) { QVERIFY(ctl.deleteVolumeSet(0)); }},
    };

    MainWindow window;
    for (const Case& k : cases) {
        Rig rig;
        const QString why = rig.start(kRigAddress, k.config);
        QVERIFY2(why.isEmpty(), qPrintable(QString::fromLatin1(k.name) + ": " + why));
        QZynController* c = rig.c;
        const QString model = c->GetSysInfo()->GetModelName();
        show(window, c, k.row(c));
        if (k.behind)
            k.behind(*rig.rig.ctl);
        rig.rig.ctl->clearLog();
        c->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
        c->SetAuthorisationHold(7);
        {
            ModalResponder responder;
            for (B b : k.answers)
                responder.press(b);
            (window.*k.command)();
            QCOMPARE(transcript(responder), k.boxes(model));
        }
        QVERIFY2(changingFrames(*rig.rig.ctl) == k.frames,
                 qPrintable(QString::fromLatin1(k.name) + ": " + changingFrames(*rig.rig.ctl).join(' ')));
        QVERIFY2(c->GetAuthorisationHold() == (k.gated ? QZynController::kAuthorisationSeconds : 7), k.name);
        forget(window, c);
    }
}

// The raid set's volume sets go with it, each logging its deletion before the raid set's; a
// raid set beside it keeps its own.
void TestMainWindowRaid::raidSetDeleteTakesItsVolumes()
{
    Rig rig;
    QCOMPARE(rig.start(kRigAddress, kDisks + "raidset \"R0\" disks 0:0 0:1 0:2\nraidset \"R1\" disks 0:3 0:4\n"
                                             "volume \"V0\" raidset 0 capacity 2000000 level 3 state 0\n"
                                             "volume \"V1\" raidset 0 capacity 2000000 level 0 state 0\n"
                                             "volume \"W\" raidset 1 capacity 2000000 level 0 state 0\n"),
             QString());
    zynsim::FakeController& ctl = *rig.rig.ctl;
    const size_t before = ctl.events().size();
    MainWindow window;
    show(window, rig.c, rig.c->GetRaidSet(0));
    rig.c->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    ModalResponder responder;
    responder.press(QMessageBox::Yes);
    responder.press(QMessageBox::Ok);
    window.DoActionRemoveRaidSet();
    QCOMPARE(transcript(responder).value(1), box(Information, "R0", "R0 has been deleted successfully."));
    QCOMPARE(changingFrames(ctl), QStringList({"51:00"}));
    QStringList events;
    const std::vector<sEVET_DATA> all = ctl.events();
    for (size_t i = before; i < all.size(); ++i)
        events << QStringLiteral("%1/%2 %3").arg(all[i].eventClass()).arg(all[i].code()).arg(QString::fromStdString(all[i].name()));
    QCOMPARE(events, QStringList({"2/9 V0", "2/9 V1", "1/1 R0"}));
    QVERIFY(!ctl.raidSet(0).exists() && !ctl.volumeSet(0).exists() && !ctl.volumeSet(1).exists());
    QVERIFY(ctl.raidSet(1).exists() && ctl.volumeSet(2).exists());
    QCOMPARE(int(ctl.disk(0, 0).stateLow()), int(sGUI_PHY_DRV::kStateFree));
}

// A raid set emptied or gone, or a controller given up, while the question is open: a
// pass-through entry without a member and a raid set no longer there are reported as no such
// object and nothing is sent; a controller that went ends the command without a further box.
void TestMainWindowRaid::changesDuringTheQuestion()
{
    const auto emptied = [](QZynRaidSet* r) {
        sGUI_RAIDSET record = r->GetRecord();
        record.setMemberCount(0);
        r->SetupInfo(&record);
    };
    struct Case {
        const char* name;
        std::string config;
        bool emptyFirst;                                 // no member already when the command starts
        std::function<void(Rig&)> during;               // inside the question, before Yes
        QStringList boxes;
    };
    const QString removeDisk = QStringLiteral("Are you sure you want to remove this passthrough disk ?");
    const QString removeRaid = QStringLiteral("ALL VOLUMES IN THIS RAIDSET WILL BE DELETED TOO!!!\nAre you sure you want to delete this raidset ?");
    const QString disk = QStringLiteral("Enc#1 Slot#03");
    const std::vector<Case> cases = {
        {"pass-through entry without a member", kDisks + "passthrough 0:2\n", true, nullptr,
         {box(Critical, disk, removeDisk), box(Warning, disk, "Failed to remove " + disk + ", Error = 18.")}},
        {"pass-through entry emptied during the question", kDisks + "passthrough 0:2\n", false,
         [&](Rig& r) { emptied(r.c->GetRaidSet(0)); },
         {box(Critical, disk, removeDisk), box(Warning, disk, "Failed to remove " + disk + ", Error = 18.")}},
        {"raid set gone during the question", kRaidVolume, false, [&](Rig& r) { r.c->GetRaidSet(0)->SetAbsent(); },
         {box(Critical, "R0", removeRaid), box(Warning, "R0", "Failed to delete R0, Error = 18.")}},
    };
    MainWindow window;
    for (const Case& k : cases) {
        Rig rig;
        QCOMPARE(rig.start(kRigAddress, k.config), QString());
        show(window, rig.c, rig.c->GetRaidSet(0));
        if (k.emptyFirst)
            emptied(rig.c->GetRaidSet(0));
        rig.c->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
        {
            ModalResponder responder;
            responder.handle([&](QWidget* w) {
                if (k.during)
                    k.during(rig);
                static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
            });
            responder.press(QMessageBox::Ok);
            window.DoActionRemoveRaidSet();
            QVERIFY2(transcript(responder) == k.boxes, qPrintable(QString::fromLatin1(k.name) + ": " + transcript(responder).join(" / ")));
        }
        QVERIFY2(changingFrames(*rig.rig.ctl).isEmpty(), k.name);
        forget(window, rig.c);
    }

    // The controller is given up while a question or (last) the password prompt is open: it goes
    // unanswered, the current row moves up to LocalHost with the start page; then the object goes.
    int pass = 0;
    for (Command command : {&MainWindow::DoActionRemoveRaidSet, &MainWindow::DoActionStopVolumeChecking,
                            &MainWindow::DoActionRemoveVolume, &MainWindow::DoActionRemoveVolume}) {
        const bool prompted = ++pass == 4;
        Rig rig;
        QCOMPARE(rig.start(kOtherAddress, kRaidVolume), QString());
        QZynDevice* row = command == &MainWindow::DoActionRemoveRaidSet  ? static_cast<QZynDevice*>(rig.c->GetRaidSet(0))
                          : command == &MainWindow::DoActionRemoveVolume ? static_cast<QZynDevice*>(rig.c->GetVolumeSet(0))
                                                                         : static_cast<QZynDevice*>(rig.c);
        show(window, rig.c, row);
        if (!prompted)
            rig.c->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
        std::shared_ptr<zynsim::FakeController> ctl = rig.rig.ctl;
        bool stayed = false;
        ModalResponder responder;
        responder.handle([&](QWidget* w) {
            emit ZynGetHost()->DeviceChanged(rig.c, QZynDevice::DeviceRemoved);
            if ((stayed = w->isVisible()))
                QTest::keyClick(w, Qt::Key_Escape);
            rig.rig.controller.reset();
        });
        (window.*command)();
        QVERIFY(!stayed);
        QCOMPARE(transcript(responder).size(), 1);
        QCOMPARE(changingFrames(*ctl), QStringList());
        QZynDevice* now = window.GetCurrentControllerTreeItem();
        QVERIFY(now != nullptr && now->type == QZynDevice::LocalHost);
        QCOMPARE(window.Form()->stackedWidget->currentIndex(), 0);
        QVERIFY(!window.Form()->deleteVolumeCommandLinkButton->isEnabled());
    }
}

// A refused or cancelled password ends every gated command before any box or frame.
void TestMainWindowRaid::passwordRefused()
{
    struct Case {
        Command command;
        Pick row;
    };
    const std::vector<Case> cases = {
        {&MainWindow::DoActionQuickCreate, controllerRow()},
        {&MainWindow::DoActionAddRaidSet, controllerRow()},
        {&MainWindow::DoActionAddNestedRaid, controllerRow()},
        {&MainWindow::DoActionRemoveNestedRaid, controllerRow()},
        {&MainWindow::DoActionRemoveRaidSet, raidSetRow(0)},
        {&MainWindow::DoActionActivateIncompleteRaidSet, raidSetRow(0)},
        {&MainWindow::DoActionExpandRaidSet, raidSetRow(0)},
        {&MainWindow::DoActionAddVolume, raidSetRow(0)},
        {&MainWindow::DoActionRemoveVolume, volumeRow(0)},
        {&MainWindow::DoActionStopVolumeChecking, controllerRow()},
        {&MainWindow::DoActionAddHotSpareDisk, raidSetRow(0)},
        {&MainWindow::DoActionRemoveHotSpareDisk, controllerRow()},
        {&MainWindow::DoActionAddPassThroughDisk, controllerRow()},
    };
    Rig rig;
    QCOMPARE(rig.start(kRigAddress, kRaidVolume + "hotspare 0:5 global\n"), QString());
    QZynController* c = rig.c;
    const QString model = c->GetSysInfo()->GetModelName();
    MainWindow window;
    int i = 0;
    for (const Case& k : cases) {
        show(window, c, k.row(c));
        rig.rig.ctl->clearLog();
        ModalResponder responder;
        // Cancelled, then a wrong password.
        const bool wrong = (i++ % 2) != 0;
        if (wrong) {
            responder.enter(QStringLiteral("nope"));
            responder.press(QMessageBox::Ok);
        } else {
            responder.cancel();
        }
        (window.*k.command)();
        QStringList expected{QStringLiteral("QInputDialog")};
        if (wrong)
            expected << box(Warning, model, "Invalid Password!!");
        QCOMPARE(transcript(responder), expected);
        const QStringList frames = changingFrames(*rig.rig.ctl);
        QCOMPARE(frames.size(), wrong ? 1 : 0);
        QVERIFY(!wrong || frames.front().startsWith(QLatin1String("14:")));
        QVERIFY(c->IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH));
    }
}

// A page button fires its action also while the action is disabled: a command on a row it
// does not fit shows nothing, sends nothing and does not ask for the password.
void TestMainWindowRaid::rowsThatDoNotFit()
{
    Rig rig;
    QCOMPARE(rig.start(kRigAddress, kRaidVolume + "passthrough 0:4\n"), QString());
    Rig jbod;
    QCOMPARE(jbod.start(kJbodAddress, "", zynsim::Profile::Jbod), QString());
    QZynController* c = rig.c;
    MainWindow window;
    auto* model = qobject_cast<QControllerItemModel*>(window.Form()->controllerView->model());
    // A raid set row of a JBOD controller, put there by hand.
    sGUI_RAIDSET record = c->GetRaidSet(0)->GetRecord();
    jbod.c->GetRaidSet(0)->SetupInfo(&record);
    model->AddControllerItem(jbod.c, model->GetLocalHostItem());
    model->AddRaidSetItem(jbod.c->GetRaidSet(0), nullptr);

    const std::vector<Command> controllerCommands = {
        &MainWindow::DoActionQuickCreate, &MainWindow::DoActionAddRaidSet, &MainWindow::DoActionAddNestedRaid,
        &MainWindow::DoActionRemoveNestedRaid, &MainWindow::DoActionStopVolumeChecking,
        &MainWindow::DoActionAddPassThroughDisk};
    const std::vector<Command> raidSetCommands = {
        &MainWindow::DoActionRemoveRaidSet, &MainWindow::DoActionActivateIncompleteRaidSet,
        &MainWindow::DoActionExpandRaidSet, &MainWindow::DoActionAddVolume};
    const std::vector<Command> ordinaryRaidSetCommands = {
        &MainWindow::DoActionActivateIncompleteRaidSet, &MainWindow::DoActionExpandRaidSet,
        &MainWindow::DoActionAddVolume, &MainWindow::DoActionAddHotSpareDisk, &MainWindow::DoActionRemoveHotSpareDisk};
    std::vector<Command> all = controllerCommands;
    all.insert(all.end(), raidSetCommands.begin(), raidSetCommands.end());
    all.insert(all.end(), {&MainWindow::DoActionRemoveVolume, &MainWindow::DoActionAddHotSpareDisk,
                           &MainWindow::DoActionRemoveHotSpareDisk, &MainWindow::DoActionMuteBeeper});
    const auto except = [&all](std::initializer_list<const std::vector<Command>*> fits, std::vector<Command> more = {}) {
        std::vector<Command> out;
        for (Command k : all) {
            bool fit = std::find(more.begin(), more.end(), k) != more.end();
            for (const std::vector<Command>* list : fits)
                fit = fit || std::find(list->begin(), list->end(), k) != list->end();
            if (!fit)
                out.push_back(k);
        }
        return out;
    };
    // The pass-through disk's entry is raid set 1 and its volume set 1.
    QZynVolumeSet* passThroughVolume = c->GetVolumeSet(1);
    QVERIFY(passThroughVolume->GetRaidSet() == c->GetRaidSet(1));
    struct Row {
        const char* name;
        QStandardItem* item;
        std::vector<Command> commands;   // all of them do nothing here
    };
    model->AddControllerItem(c, model->GetLocalHostItem());
    const std::vector<Row> rows = {
        {"no row", nullptr, all},
        {"local host", model->GetLocalHostItem(), all},
        {"network", model->GetNetworkItem(), all},
        {"controller", model->FindItem(c, nullptr), except({&controllerCommands}, {&MainWindow::DoActionAddHotSpareDisk,
                                                                                  &MainWindow::DoActionRemoveHotSpareDisk,
                                                                                  &MainWindow::DoActionMuteBeeper})},
        {"raid set", model->FindItem(c->GetRaidSet(0), nullptr),
         except({&raidSetCommands, &ordinaryRaidSetCommands}, {&MainWindow::DoActionMuteBeeper})},
        {"pass-through entry", model->FindItem(c->GetRaidSet(1), nullptr),
         except({}, {&MainWindow::DoActionRemoveRaidSet, &MainWindow::DoActionMuteBeeper})},
        {"volume set", model->FindItem(c->GetVolumeSet(0), nullptr),
         except({}, {&MainWindow::DoActionRemoveVolume, &MainWindow::DoActionMuteBeeper})},
        {"pass-through disk's volume", model->FindItem(passThroughVolume, nullptr), except({}, {&MainWindow::DoActionMuteBeeper})},
        {"raid set of a JBOD controller", model->FindItem(jbod.c->GetRaidSet(0), nullptr),
         except({}, {&MainWindow::DoActionMuteBeeper})},
    };
    for (const Row& r : rows) {
        QVERIFY2(r.item != nullptr || QString::fromLatin1(r.name) == QLatin1String("no row"), r.name);
        window.Form()->controllerView->setCurrentIndex(r.item != nullptr ? r.item->index() : QModelIndex());
        int n = 0;
        for (Command k : r.commands) {
            for (Rig* g : {&rig, &jbod}) {
                g->rig.ctl->clearLog();
                g->c->SetStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
            }
            ModalResponder responder;
            (window.*k)();
            const QString which = QStringLiteral("%1, command %2").arg(QLatin1String(r.name)).arg(n++);
            QVERIFY2(transcript(responder).isEmpty(), qPrintable(which + ": " + transcript(responder).join(" / ")));
            QVERIFY2(changingFrames(*rig.rig.ctl).isEmpty() && changingFrames(*jbod.rig.ctl).isEmpty(), qPrintable(which));
        }
    }
    // On a pass-through disk's volume the beeper is still silenced, without the password.
    window.Form()->controllerView->setCurrentIndex(model->FindItem(passThroughVolume, nullptr)->index());
    rig.rig.ctl->clearLog();
    ModalResponder responder;
    window.DoActionMuteBeeper();
    QCOMPARE(transcript(responder), QStringList());
    QCOMPARE(changingFrames(*rig.rig.ctl), QStringList({"30:"}));
}

int main(int argc, char** argv)
{
    return viewtest::runWindowTest<TestMainWindowRaid>(argc, argv, kDiscovery);
}

#include "test_mainwindow_raid.moc"
