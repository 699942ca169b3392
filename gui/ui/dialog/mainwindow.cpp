#include "ui/dialog/mainwindow.h"

#include "cli/cli-zynmsr.h"
#include "cli/console.h"
#include "cli/output.h"
#include "cli/passwordgate.h"
#include "devices/controller.h"
#include "devices/event.h"
#include "devices/host.h"
#include "devices/raidset.h"
#include "devices/scheduler.h"
#include "devices/settings.h"
#include "devices/sysinfo.h"
#include "devices/volumeset.h"
#include "devices/zynlog.h"
#include "helper/romcfgfile.h"
#include "httpproxy/httpproxyserver.h"
#include "os/mac/os_darwin_event.h"
#include "ui/model/controlleritemmodel.h"
#include "ui/model/controllermodels.h"
#include "ui/dialog/dialogaddcontrollerbyip.h"
#include "ui/model/itemmodel.h"
#include "ui_mainwindow.h"
#include "watcher/controllerwatcher.h"
#include "watcher/eventwatcher.h"
#include "zynapplication.h"
#include "zynlib.h"

#include <QCloseEvent>
#include <QDate>
#include <QDebug>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QThread>
#include <QTime>
#include <QTimerEvent>

namespace {

const char* const kTrayIcon = ":/images/icons/app/app-icon.png";

// The log list's columns and their widths.
enum LogColumn { LogState, LogDate, LogTime, LogSource, LogMessageText, kLogColumns };
const int kLogColumnWidths[kLogColumns] = {50, 150, 150, 200, 250};
// The tree pane and the page stack.
const int kTreePaneWidth = 350;
const int kPagesWidth = 1200;
const int kTrayMessageMs = 10000;

QString levelIcon(int level)
{
    switch (level) {
    case QZynEvent::Serious:
        return QStringLiteral(":/images/icons/event/error.png");
    case QZynEvent::Warning:
        return QStringLiteral(":/images/icons/event/warning.png");
    case QZynEvent::Informational:
        return QStringLiteral(":/images/icons/event/info.png");
    default:
        return QStringLiteral(":/images/icons/event/urgent.png");
    }
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(new Ui_MainWindow)
{
    qRegisterMetaType<QZynLog*>("QZynLog*");
    qRegisterMetaType<QZynDevice*>("QZynDevice*");
    qRegisterMetaType<QZynTask*>("QZynTask*");
    ui->setupUi(this);
    InitWindow();
    // However the application ends, the threads stop before the window goes.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &MainWindow::Shutdown);
}

MainWindow::~MainWindow()
{
    Shutdown();
    // Records the threads sent before they ended are still queued: take them in (and free them).
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    delete ui;
}

void MainWindow::InitWindow()
{
    qDebug() << "Main Thread = " << QThread::currentThread();
    setWindowTitle(QString::fromLatin1(kTitle));
    InitActions();
    InitMenuBar();
    InitToolBar();
    InitRecentTaskTreeView();
    InitTrayIcon();
    ui->splitter->setSizes({kTreePaneWidth, kPagesWidth});
    ui->stackedWidget->setCurrentIndex(0);
    ui->tabControllerWidget->setCurrentIndex(0);
    ui->tabRaidSetWidget->setCurrentIndex(0);
    ui->tabVolumeSetWidget->setCurrentIndex(0);

    m_cli = std::make_unique<CZynlibCLI>();
    connect(&cliout_zynmsr, &CliMessage::Display, ui->console, &Console::InsertMessage);
    ui->console->SetEngine(m_cli.get());

    // Every controller the host lists gets its polling worker, its item models and its web proxy.
    ControllerEventWatcherThread::Install();
    InstallControllerModels();
    InstallHttpProxy();
    StartApp(ZynGetHost());

    if (QZynSettings* settings = QZynSettings::Application()) {
        connect(&settings->scheduler, &QZynScheduler::ExecuteTask, this, &MainWindow::ExecuteSchedulerTask);
        settings->scheduler.Restart();
    }
    LogMessage(new QZynLog(QZynLog::StatusBar, QZynDevice::LocalHost, QZynEvent::Informational,
                           ControllerWatcher::NoticeLine()));
    SetTrayIcon();
    trayIcon->show();
}

void MainWindow::InitRecentTaskTreeView()
{
    QTreeWidget* list = ui->logTreeWidget;
    list->setColumnCount(kLogColumns);
    list->setHeaderLabels({tr("State"), tr("Date"), tr("Time"), tr("Source"), tr("Message")});
    list->setObjectName(QStringLiteral("logTreeWidget"));
    for (int c = 0; c < kLogColumns; ++c)
        list->setColumnWidth(c, kLogColumnWidths[c]);
    list->setRootIsDecorated(false);
}

void MainWindow::InitTrayIcon()
{
    minimizeAction = new QAction(tr("Mi&nimize"), this);
    connect(minimizeAction, &QAction::triggered, this, &QWidget::hide);
    maximizeAction = new QAction(tr("Ma&ximize"), this);
    connect(maximizeAction, &QAction::triggered, this, &QWidget::showMaximized);
    restoreAction = new QAction(tr("&Restore"), this);
    connect(restoreAction, &QAction::triggered, this, &QWidget::showNormal);
    quitAction = new QAction(tr("&Quit"), this);
    // No question on this road; the application's end runs the shut-down.
    connect(quitAction, &QAction::triggered, qApp, &QCoreApplication::quit);

    trayIconMenu = new QMenu(this);
    trayIconMenu->addAction(actionAbout);
    trayIconMenu->addAction(minimizeAction);
    trayIconMenu->addAction(maximizeAction);
    trayIconMenu->addAction(restoreAction);
    trayIconMenu->addSeparator();
    trayIconMenu->addAction(quitAction);

    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setContextMenu(trayIconMenu);
    connect(trayIcon, &QSystemTrayIcon::messageClicked, this, &MainWindow::MessageClicked);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::IconActivated);
}

void MainWindow::SetTrayIcon(int)
{
    const QIcon icon{QString::fromLatin1(kTrayIcon)};
    trayIcon->setIcon(icon);
    setWindowIcon(icon);
    trayIcon->setToolTip(tr("tray icon"));
}

void MainWindow::IconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        showNormal();
}

void MainWindow::MessageClicked()
{
    QMessageBox::information(this, tr("Palvir"), tr("Message"), QMessageBox::Ok);
}

void MainWindow::ShowMessage()
{
    trayIcon->showMessage(tr("Message"), tr("Message"), QSystemTrayIcon::Information, kTrayMessageMs);
}

void MainWindow::SetTrayVisible(bool visible)
{
    minimizeAction->setEnabled(visible);
    maximizeAction->setEnabled(!isMaximized());
    restoreAction->setEnabled(!visible || isMaximized());
    setVisible(visible);
}

void MainWindow::StartApp(QZynHost* host)
{
    m_host = host;
    m_watcherThread = new QThread(this);
    m_watcher = new ControllerWatcher();

    // A controller that goes leaves the window before the tree drops its rows: connected ahead
    // of the tree's model, this is told first.
    connect(host, &QZynHost::DeviceChanged, this, [this](QZynDevice* device, int code) {
        if (device != nullptr && device->type == QZynDevice::Controller && code == QZynDevice::DeviceRemoved
            && !m_shutDown)
            ControllerRemoved(static_cast<QZynController*>(device));
    });
    // The tree's model goes with the window.
    auto* model = new QControllerItemModel(host, this);
    ui->controllerView->setModel(model);
    connect(ui->controllerView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &MainWindow::ControllerTreeCurrentChanged);
    connect(ui->tabControllerWidget, &QTabWidget::currentChanged, this, &MainWindow::ControllerTabChanged);

    m_watcher->SetHost(host);
    m_watcher->moveToThread(m_watcherThread);   // its socket and timer are its children

    connect(m_watcher, &ControllerWatcher::LogMessage, this, &MainWindow::LogMessage);
    connect(host, &QZynHost::LogMessage, this, &MainWindow::LogMessage);

    connect(this, &MainWindow::signal_add_ctrl_by_ip, m_watcher, &ControllerWatcher::add_ctrl_by_ip);
    connect(this, &MainWindow::signal_scan_ctrl_by_driver, m_watcher, &ControllerWatcher::scan_controller_by_driver);
    connect(this, &MainWindow::signal_scan_ctrl_by_ip, m_watcher, &ControllerWatcher::scan_controller_by_broadcast);
    connect(this, &MainWindow::signal_remove_ctrl_by_ip, m_watcher, &ControllerWatcher::remove_controller_by_ip);

    m_deviceWatcher = new QDeviceWatcherThread();
    m_deviceWatcher->DoWork();
    connect(m_deviceWatcher, &QDeviceWatcherThread::DeviceChanged, m_watcher,
            &ControllerWatcher::update_device_by_entryid);

    // The system's own sleep and wake, unless a power source is in force already (a test's).
    if (!iokit::powerSource()) {
        QPowerStateWatcherThread::UseSystemPowerSource();
        m_systemPowerSource = true;
    }
    m_powerWatcher = new QPowerStateWatcherThread();
    m_powerWatcher->DoWork();
    connect(m_powerWatcher, &QPowerStateWatcherThread::PowerStateChanged, this, &MainWindow::update_power_state);

    connect(host, &QZynHost::DeviceChanged, this, &MainWindow::DeviceItemChanged);

    connect(m_watcherThread, &QThread::started, m_watcher, &ControllerWatcher::process);
    // The watcher goes in its own thread as the thread ends (its timers are that thread's).
    connect(m_watcherThread, &QThread::finished, m_watcher, &QObject::deleteLater, Qt::DirectConnection);
    m_watcherThread->start(QThread::InheritPriority);
}

void MainWindow::StopApp()
{
    if (m_watcherThread != nullptr) {
        if (m_watcher != nullptr) {
            m_watcher->Stop();   // the arrivals it still holds do not keep its thread
            // The watcher is deleted on its own thread as that thread ends, and a receiver's
            // deletion reads each object still connected to it. Cut this thread's senders off
            // first, so that nothing there reads the window or the device watcher while they go.
            disconnect(this, nullptr, m_watcher, nullptr);
            disconnect(m_watcherThread, &QThread::started, m_watcher, nullptr);
            if (m_deviceWatcher != nullptr)
                disconnect(m_deviceWatcher, nullptr, m_watcher, nullptr);
        }
        m_watcherThread->quit();
        m_watcherThread->wait();
        m_watcher = nullptr;   // deleted as its thread ended
    }
    if (m_deviceWatcher != nullptr) {
        disconnect(m_deviceWatcher, nullptr, nullptr, nullptr);
        m_deviceWatcher->Stop();
        delete m_deviceWatcher;
        m_deviceWatcher = nullptr;
    }
    if (m_powerWatcher != nullptr) {
        disconnect(m_powerWatcher, nullptr, nullptr, nullptr);
        m_powerWatcher->Stop();
        delete m_powerWatcher;
        m_powerWatcher = nullptr;
    }
    if (m_systemPowerSource) {
        // Goes with the window, in the thread that made it (it receives the bus's signals there).
        iokit::setPowerSource(nullptr);
        m_systemPowerSource = false;
    }
}

void MainWindow::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // Nothing the end waits for may hang on a controller that does not answer: the exchanges
    // of the listed controllers and of those a scan or a connection is still making end now.
    ZynInterface::InterruptAll();
    forEachController([](QZynController* c) { c->Stop(); });
    if (QZynSettings* settings = QZynSettings::Application())
        settings->WriteSettings();
    StopApp();
    // With the discovery thread ended and the listed controllers stopped, no removal is on its
    // way: those removed but not stopped yet (their stop still queued here, or given up) stop now.
    if (m_host != nullptr)
        m_host->StopRemoved();
    ZynInterface::ResumeAll();
}

template <typename F>
void MainWindow::forEachController(F f)
{
    if (m_host == nullptr)
        return;
    for (int slot = 0; slot < m_host->get_total_controllers(); ++slot)
        if (QZynController* c = m_host->get_controller(slot))
            f(c);
}

QZynDevice* MainWindow::GetCurrentControllerTreeItem() const
{
    const QTreeView* view = ui->controllerView;
    if (view->selectionModel() == nullptr || view->model() == nullptr)
        return nullptr;
    const QModelIndex index = view->currentIndex();
    if (!index.isValid())
        return nullptr;
    const QVariant value = index.sibling(index.row(), 0).data(zynmodel::DeviceItemRole);
    return value.isValid() ? value.value<QZynDevice*>() : nullptr;
}

void MainWindow::LogMessage(QZynLog* log)
{
    if (log == nullptr)
        return;
    if (log->flags & QZynLog::StatusBar)
        ui->statusBar->showMessage(log->text);
    if (log->flags & QZynLog::LogList)
        InsertLogRow(int(log->level), QZynDevice::KindName(int(log->source)), log->text);
    delete log;
}

void MainWindow::InsertLogRow(int level, const QString& source, const QString& text)
{
    QTreeWidget* list = ui->logTreeWidget;
    const bool sorting = list->isSortingEnabled();
    list->setSortingEnabled(false);
    auto* row = new QTreeWidgetItem();
    // Every row of a level shares the level's one icon: the list keeps all its rows.
    row->setIcon(LogState, zynmodel::CachedIcon(levelIcon(level)));
    row->setText(LogDate, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    row->setText(LogTime, QTime::currentTime().toString(Qt::TextDate));
    row->setText(LogSource, source);
    row->setText(LogMessageText, text);
    list->insertTopLevelItem(0, row);
    list->setSortingEnabled(sorting);
}

void MainWindow::About()
{
    showNormal();
    const QString title = QString::fromLatin1(kTitle);
    QMessageBox::about(this, tr("About %0").arg(title),
                       tr("<h2>%0 %1</h2><p>Zynlib: %2</p><p>PWD: %3</p>"
                          "<p>It finds the controllers of this computer and of the network, shows what they hold "
                          "and tells you of their events.</p>"
                          "<p>%4 is an application that manages Varnel RAID Controllers.</p>")
                           .arg(title, QString::fromLatin1(kVersion))
                           .arg(CZynlib::ZynGetLibVersion())
                           .arg(ZynApplication::GetPath(), title));
}

void MainWindow::update_power_state(quint32 message)
{
    switch (message) {
    case iokit::kIOMessageCanSystemSleep:
        qDebug("receive...kIOMessageCanSystemSleep");
        break;
    case iokit::kIOMessageSystemWillSleep:
        qDebug("receive...kIOMessageSystemWillSleep");
        forEachController([](QZynController* c) { c->Pause(); });
        break;
    case iokit::kIOMessageSystemHasPoweredOn:
        qDebug("receive...kIOMessageSystemHasPoweredOn");
        forEachController([](QZynController* c) { c->Resume(); });
        break;
    case iokit::kIOMessageSystemWillPowerOn:
        qDebug("receive...kIOMessageSystemWillPowerOn");
        break;
    default:
        qDebug("receive...unknown messagetype");
        break;
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (m_shutDown) {
        event->accept();
        return;
    }
    const QMessageBox::StandardButton answer =
        QMessageBox::question(this, tr("Close Confirmation?"), tr("Are you sure you want to exit?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton);
    if (answer != QMessageBox::Yes)
        return;
    Shutdown();
    event->accept();
}

void MainWindow::timerEvent(QTimerEvent* event)
{
    qDebug() << "Timer ID:" << event->timerId();
}

void MainWindow::changeEvent(QEvent*)
{
}

// The password gate and the connection commands.

bool MainWindow::CheckPassword(QZynController* controller)
{
    return CheckControllerPassword(controller, this);
}

void MainWindow::DoActionConnect()
{
    DialogAddControllerByIP dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        emit signal_add_ctrl_by_ip(dialog.address);
}

void MainWindow::DoActionDisconnect()
{
    qDebug("void MainWindow::DoActionDisconnect()");
    QZynDevice* device = GetCurrentControllerTreeItem();
    if (device == nullptr || device->type != QZynDevice::Controller)
        return;
    auto* controller = static_cast<QZynController*>(device);
    ZynGetHost()->remove_controller_by_ip(controller->GetSysInfo()->GetIPAddressString());
}

void MainWindow::DoActionLocalHostRescanDevice()
{
    emit signal_scan_ctrl_by_driver();
}

void MainWindow::DoActionNetworkRescanDevice()
{
    emit signal_scan_ctrl_by_ip(0);
}
