// The main window's settings-file and collect commands: the password gate, the file prompts'
// captions, the boxes they end with, a controller that goes away during a prompt, and the
// first-seen backup a started controller leaves in the application folder. The window starts
// the discovery thread of a real program and the host is one per process, so ctest runs each
// case in a process of its own.
#include "controllerfixture.h"
#include "devices/sysinfo.h"
#include "helper/logfile.h"
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
#include <thread>

using namespace ctltest;
using namespace viewtest;

namespace {

const char* const kDiscovery = "127.0.0.185";
const char* const kRigAddress = "127.0.0.186";
const char* const kOtherAddress = "127.0.0.187";

// A window whose file prompts answer from a list and note their captions.
class FileWindow : public MainWindow {
public:
    QStringList answers;
    QStringList captions;
    std::function<void()> during;   // runs inside the prompt, as the nested loop would

    QString AskSaveFileName(const QString& caption) override { return answer("save: " + caption); }
    QString AskOpenFileName(const QString& caption) override { return answer("open: " + caption); }

private:
    QString answer(const QString& caption)
    {
        captions << caption;
        if (during)
            during();
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

// A box as the responder saw it: class, title, text, icon, buttons.
QString describe(const ModalResponder::Seen& s)
{
    return QStringList{s.cls, s.title, s.text, QString::number(s.icon), s.buttons.join('|')}.join(" / ");
}

QStringList describeAll(const ModalResponder& responder)
{
    QStringList out;
    for (const ModalResponder::Seen& s : responder.seen())
        out << describe(s);
    return out;
}

void makeCurrent(MainWindow& window, QZynController* c)
{
    Ui_MainWindow* ui = window.Form();
    auto* model = qobject_cast<QControllerItemModel*>(ui->controllerView->model());
    QVERIFY(model != nullptr);
    model->AddControllerItem(c, model->GetLocalHostItem());
    ui->controllerView->setCurrentIndex(model->FindItem(c, nullptr)->index());
    QCOMPARE(window.GetCurrentControllerTreeItem(), static_cast<QZynDevice*>(c));
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestRomCfgWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup() { emptyHost(); }

    void saveRestoreAndCollect();
    void passwordRefused();
    void controllerGoneDuringPrompt();
    void firstSeenBackup();

private:
    QString root() const { return m_files->path(); }
    QTemporaryDir m_dir;   // the driver and lock folders
    // Each function's own: the application folder, the reports and the files it names.
    std::unique_ptr<QTemporaryDir> m_files;
};

void TestRomCfgWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir().mkpath(m_dir.path() + "/driver");
    qputenv("ZYNMSR_DRIVER_DIR", (m_dir.path() + "/driver").toLocal8Bit());
    qputenv("ZYNMSR_LOCK_DIR", (m_dir.path() + "/lock").toLocal8Bit());
    simtest::fastPolls();
}

void TestRomCfgWindow::init()
{
    m_files = std::make_unique<QTemporaryDir>();
    QVERIFY(m_files->isValid());
    QVERIFY(QDir().mkpath(root() + "/app"));
    QVERIFY(QDir().mkpath(root() + "/reports"));
    ZynApplication::SetApplicationFolder(root() + "/app");
    QLogFile::SetFolder(root() + "/reports/");
}

void TestRomCfgWindow::saveRestoreAndCollect()
{
    ControllerRig rig;
    QCOMPARE(rig.start(kRigAddress), QString());
    QZynController* c = rig.controller.get();
    const QString model = c->GetSysInfo()->GetModelName();
    const QString dir = root();
    // A file of another model.
    QByteArray foreign(98368, '\0');
    foreign.replace(98368 - 64, 5, "OTHER");
    QFile f(dir + "/foreign.bin");
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(foreign) == foreign.size());
    f.close();

    FileWindow window;
    makeCurrent(window, c);
    QVERIFY(c->IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH));
    ModalResponder responder;
    responder.enter("0000");   // the gate asks once; the countdown covers the rest

    struct Step {
        void (MainWindow::*command)();
        QString file;       // the prompt's answer; empty: cancelled
        QString caption;    // null: no prompt
        QStringList boxes;
    };
    const QString saved = dir + "/saved.bin";
    const QString missing = dir + "/missing/x.bin";
    const QString info = QStringLiteral("QMessageBox / ") + model + " / %1 / 1 / OK";
    const QString critical = QStringLiteral("QMessageBox / ") + model + " / %1 / 3 / OK";
    const QString password = QStringLiteral("QInputDialog / ") + model + " / Password: / 0 / ";
    const std::vector<Step> steps = {
        {&MainWindow::DoActionSaveBin, saved, "save: Save Setting File - " + model,
         {password, info.arg("Setting has been saved to file " + saved + " ")}},
        {&MainWindow::DoActionSaveBin, QString(), "save: Save Setting File - " + model, {}},
        {&MainWindow::DoActionSaveBin, missing, "save: Save Setting File - " + model,
         {critical.arg("Failed to save the setting to file " + missing + " ")}},
        {&MainWindow::DoActionRestoreBin, saved, "open: Open Setting File - " + model,
         {info.arg("Settings have been restored, please restart controller to take effect")}},
        {&MainWindow::DoActionRestoreBin, dir + "/foreign.bin", "open: Open Setting File - " + model,
         {critical.arg("Failed to restore settings")}},
        {&MainWindow::DoActionRestoreBin, QString(), "open: Open Setting File - " + model, {}},
    };
    int n = 0;
    for (const Step& s : steps) {
        window.answers = QStringList{s.file};
        window.captions.clear();
        const int before = responder.seen().size();
        (window.*s.command)();
        QCOMPARE(window.captions, QStringList{s.caption});
        QCOMPARE(describeAll(responder).mid(before), s.boxes);
        ++n;
    }
    QCOMPARE(readFile(saved).size(), 98368);
    QVERIFY(!QFile::exists(missing));

    // Collect: the report's name in the box; a folder that cannot take it: the failure.
    window.captions.clear();
    int before = responder.seen().size();
    window.DoActionCollectData();
    QCOMPARE(window.captions, QStringList());
    QStringList boxes = describeAll(responder).mid(before);
    QCOMPARE(boxes.size(), 1);
    const QStringList reports = QDir(dir + "/reports").entryList(QDir::Files);
    QCOMPARE(reports.size(), 1);
    QCOMPARE(boxes.front(), info.arg("Data has been saved to file " + dir + "/reports/" + reports.front() + " "));
    QLogFile::SetFolder(dir + "/foreign.bin/");
    before = responder.seen().size();
    window.DoActionCollectData();
    QCOMPARE(describeAll(responder).mid(before), QStringList{critical.arg("Failed to collect data")});
    QLogFile::SetFolder(dir + "/reports/");
    // After a quiet spell another controller at the address gets the confirming read alone.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    answerAsAnother(*rig.ctl, "Y000000000000994");
    rig.ctl->clearLog();
    before = responder.seen().size();
    window.DoActionCollectData();
    QCOMPARE(describeAll(responder).mid(before), QStringList{critical.arg("Failed to collect data")});
    QCOMPARE(commandsReceived(*rig.ctl), std::vector<int>{ZYN_CMD_GET_SYSINFO});
    QCOMPARE(QDir(dir + "/reports").entryList(QDir::Files), reports);
}

void TestRomCfgWindow::passwordRefused()
{
    ControllerRig rig;
    QCOMPARE(rig.start(kRigAddress), QString());
    QZynController* c = rig.controller.get();
    FileWindow window;
    makeCurrent(window, c);
    ModalResponder responder;
    responder.cancel();
    responder.enter("wrong");
    responder.press(QMessageBox::Ok);
    window.answers = QStringList{root() + "/never.bin"};
    window.DoActionSaveBin();   // cancelled prompt
    window.DoActionRestoreBin();   // wrong password
    window.DoActionCollectData();   // no answer left: the prompt is closed
    QCOMPARE(window.captions, QStringList());
    QCOMPARE(responder.seen().size(), 4);
    QCOMPARE(responder.seen().at(2).text, QStringLiteral("Invalid Password!!"));
    QVERIFY(!QFile::exists(root() + "/never.bin"));
    QVERIFY(QDir(root() + "/reports").entryList(QDir::Files).isEmpty());
}

void TestRomCfgWindow::controllerGoneDuringPrompt()
{
    ControllerRig rig;
    QCOMPARE(rig.start(kRigAddress), QString());
    QZynController* c = rig.controller.get();
    c->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    FileWindow window;
    makeCurrent(window, c);
    ModalResponder responder;
    const QString file = root() + "/gone.bin";
    Ui_MainWindow* ui = window.Form();
    auto* model = qobject_cast<QControllerItemModel*>(ui->controllerView->model());
    for (void (MainWindow::*command)() : {&MainWindow::DoActionSaveBin, &MainWindow::DoActionRestoreBin}) {
        ControllerRig other;
        QCOMPARE(other.start(kOtherAddress), QString());
        QZynController* gone = other.controller.get();
        gone->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
        makeCurrent(window, gone);
        window.answers = QStringList{file};
        // While the prompt is up the controller is given up: its row goes, then the object.
        window.during = [&] {
            model->RemoveControllerItem(model->FindItem(gone, nullptr));
            other.controller.reset();
        };
        other.ctl->clearLog();
        (window.*command)();
        window.during = nullptr;
        QCOMPARE(window.captions.size(), 1);
        window.captions.clear();
        QCOMPARE(describeAll(responder), QStringList());
        // Nothing of the command reached it (identify 0x13, setup data 0x1F); a late repeat of a
        // frame the controller object sent while it was made may still arrive under load.
        QCOMPARE(other.ctl->framesReceived(0x13), 0);
        QCOMPARE(other.ctl->framesReceived(0x1F), 0);
        ui->controllerView->setCurrentIndex(model->FindItem(c, nullptr)->index());
    }
    QVERIFY(!QFile::exists(file));
}

void TestRomCfgWindow::firstSeenBackup()
{
    const QString app = ZynApplication::GetPath();
    struct Case {
        const char* serial;
        const char* file;   // null: nothing is written
    };
    const Case cases[] = {
        {"Y000000000000186", "Y000000000000186.bin"},
        {"..", nullptr},
        {"a/b", nullptr},
    };
    FileWindow window;
    for (const Case& k : cases) {
        ControllerRig rig;
        zynsim::ControllerConfig config;
        config.serial = k.serial;
        config.setupLayout = 0;
        QCOMPARE(rig.start(kRigAddress, config), QString());
        QZynController* c = rig.controller.get();
        window.StartController(c);
        c->WaitForBackground();   // the backup is made on the controller's own thread
        c->Stop();
        QStringList files;
        QDirIterator it(root(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(root()).relativeFilePath(it.next());
            if (!name.startsWith("driver/") && !name.startsWith("lock/"))
                files << name;
        }
        if (k.file == nullptr) {
            QCOMPARE(files, QStringList());
            continue;
        }
        QCOMPARE(files, QStringList{"app/" + QLatin1String(k.file)});
        const QString path = app + "/" + k.file;
        QCOMPARE(readFile(path).size(), 40960);
        // Started again: the first copy stays.
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write("first") == 5);
        f.close();
        window.StartController(c);
        c->WaitForBackground();   // the backup is made on the controller's own thread
        c->Stop();
        QCOMPARE(readFile(path), QByteArray("first"));
        QFile::remove(path);
    }
}

int main(int argc, char** argv)
{
    return viewtest::runWindowTest<TestRomCfgWindow>(argc, argv, kDiscovery);
}

#include "test_romcfg_window.moc"
