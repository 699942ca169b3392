// The main window: the controller tree, the controller, raid set and volume set pages, the log
// list, the command-line tab, the tray icon, the actions, menus and tool bar. It starts the
// discovery thread and the device and power watchers, starts every controller the host
// announces, and stops everything again on one shut-down road (Shutdown) that a confirmed
// close, the tray's Quit, the application's end and the destructor all take; it runs once.
#pragma once

#include <QMainWindow>
#include <QModelIndex>
#include <QSystemTrayIcon>

#include <deque>
#include <memory>

class CZynlibCLI;
class ControllerWatcher;
class QAction;
class QCloseEvent;
class QFile;
class QHostAddress;
class QNetworkAddressEntry;
class QDeviceWatcherThread;
class QMenu;
class QMenuBar;
class QMessageBox;
class QPowerStateWatcherThread;
class QThread;
class QZynController;
class QZynDevice;
class QZynEvent;
class QZynRaidSet;
class QZynSettings;
class QZynVolumeSet;
class QZynHost;
class QZynLog;
class QZynTask;
class Ui_MainWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Palvir";
    static constexpr const char* kVersion = "1.0.1";

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void StartApp(QZynHost* host);
    void StopApp();
    // Stops every controller, writes the settings and stops the threads; later calls do nothing.
    void Shutdown();

    // The device object of the controller tree's current row; null when there is none.
    QZynDevice* GetCurrentControllerTreeItem() const;

    void SetTrayVisible(bool visible);

    // The controller password gate in front of every command that changes a controller or reads
    // its settings: true lets the caller go on.
    bool CheckPassword(QZynController* controller);

    // The file prompts of the settings-file commands (tests answer them in a subclass): the
    // chosen name, empty when cancelled.
    virtual QString AskSaveFileName(const QString& caption);
    virtual QString AskOpenFileName(const QString& caption);

    // The form, for the pages and for tests.
    Ui_MainWindow* Form() const { return ui; }
    QSystemTrayIcon* TrayIcon() const { return trayIcon; }
    CZynlibCLI* Engine() const { return m_cli.get(); }

    // The host the browser is sent to for a web proxy listening on `listening`: any IPv4
    // address gives way to the first usable IPv4 address among `entries` (interface order,
    // then entry order), else 127.0.0.1; any other address stays.
    static QHostAddress BrowserHost(const QHostAddress& listening, const QList<QNetworkAddressEntry>& entries);

signals:
    void signal_scan_ctrl_by_driver();
    void signal_add_ctrl_by_ip(QString ip);
    void signal_scan_ctrl_by_ip(quint32 flag);
    void signal_remove_ctrl_by_ip(QString ip);
    void signal_scan_ctrl_by_zynhttp_proxy_server();

public slots:
    void LogMessage(QZynLog* log);
    void SetTrayIcon(int unused = 0);
    void IconActivated(QSystemTrayIcon::ActivationReason reason);
    void MessageClicked();
    void ShowMessage();
    void About();
    void update_power_state(quint32 message);
    void UpdateActions();

    // Controller pages and selection.
    void DeviceItemChanged(QZynDevice* device, int code);
    void StartController(QZynController* controller);
    void StopController(QZynController* controller);
    void ControllerTreeCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void ControllerTabChanged(int index);
    void on_diskTreeView_doubleClicked(const QModelIndex& index);
    void on_treeViewExpandAllCheckBox_toggled(bool checked);
    void RaidSetTreeCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void VolumeSetTreeCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void DiskTreeCurrentChanged(const QModelIndex& current, const QModelIndex& previous);

    // Connection actions and preferences.
    void on_actionPreferences_triggered();
    void DoActionConnect();
    void DoActionDisconnect();
    void DoActionSetup();
    void DoActionScheduler();
    void DoActionLocalHostRescanDevice();
    void DoActionNetworkRescanDevice();

    // RAID commands.
    void DoActionQuickCreate();
    void DoActionAddRaidSet();
    void DoActionAddNestedRaid();
    void DoActionRemoveNestedRaid();
    void DoActionRemoveRaidSet();
    void DoActionActivateIncompleteRaidSet();
    void DoActionExpandRaidSet();
    void DoActionAddVolume();
    void DoActionRemoveVolume();
    void DoActionStopVolumeChecking();
    void DoActionAddHotSpareDisk();
    void DoActionRemoveHotSpareDisk();
    void DoActionAddPassThroughDisk();
    void DoActionMuteBeeper();
    void DoActionLaunchBrowser();

    // Controller settings files and data collection.
    void DoActionSaveBin();
    void DoActionRestoreBin();
    void DoActionCollectData();

    // Scheduled tasks.
    void ExecuteSchedulerTask(QZynTask* task);

    // One new controller event: its log row, a report for grave ones, and the notices the
    // settings ask for (mail, traps, message box, system log).
    void Notifier(QZynEvent* event);

protected:
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Sends one mail to the settings' recipients through their server, on its own.
    static void SendMail(const QZynSettings& settings, const QString& subject, const QString& body,
                         QFile& attachment);
    // The notifier's message box: one at a time. A notice that comes while it is open waits and
    // is shown when it closes; the box after it also counts what waits behind.
    void QueueNoticeBox(int level, const QString& notice);
    void ShowNextNoticeBox();

    void InitWindow();
    void InitActions();
    void InitMenuBar();
    void InitEditMenuBar(QMenuBar* bar);
    void InitRAIDManagementMenuBar(QMenuBar* bar);
    void InitToolBar();
    void InitRecentTaskTreeView();
    void InitTrayIcon();
    QAction* newAction(const char* objectName, const char* iconFile, void (MainWindow::*slot)());
    // Every controller in the host's list, empty slots skipped.
    template <typename F>
    void forEachController(F f);
    // A controller that goes: the current row and the console let go of it.
    void ControllerRemoved(QZynController* controller);
    // A row at the top of the log list, the sorting left as it was.
    void InsertLogRow(int level, const QString& source, const QString& text);

    // The RAID commands' steps after the password gate (mainwindow_raid.cpp), and the dialogs
    // of the quick-create, nested-volume and expand commands (mainwindow_raiddialogs.cpp).
    QZynController* CurrentControllerPastGate();
    void AddVolume(QZynRaidSet* raidSet);
    void RemoveVolume(QZynVolumeSet* volume);
    void StopVolumeChecking(QZynController* controller);
    void RunQuickCreateDialog(QZynController* controller);
    void RunAddNestedVolumeDialog(QZynController* controller);
    void RunDeleteNestedVolumesDialog(QZynController* controller);
    void RunExpandRaidSetDialog(QZynRaidSet* raidSet);
    // The controller, raid set and volume set pages: each is filled only while its device is
    // the controller tree's current row.
    bool DeviceIsCurrentSelection(const QModelIndex& index, const QZynDevice* device) const;
    void SetupControllerPage(QZynController* controller);
    void SetupControllerTabOverview(QZynController* controller);
    void SetupControllerTabRaidSets(QZynController* controller);
    void SetupControllerTabVolumeSets(QZynController* controller);
    void SetupControllerTabDisks(QZynController* controller);
    void SetupControllerTabHwMonitor(QZynController* controller);
    void SetupControllerTabEvents(QZynController* controller);
    void SetupControllerTabCLI(QZynController* controller);
    void SetupRaidSetPage(QZynRaidSet* raidSet);
    void SetupRaidSetTabOverview(QZynRaidSet* raidSet);
    void SetupVolumeSetPage(QZynVolumeSet* volume);
    void SetupVolumeSetTabOverview(QZynVolumeSet* volume);

    Ui_MainWindow* ui;
    QThread* m_watcherThread = nullptr;
    ControllerWatcher* m_watcher = nullptr;
    QDeviceWatcherThread* m_deviceWatcher = nullptr;
    QPowerStateWatcherThread* m_powerWatcher = nullptr;
    bool m_systemPowerSource = false;   // the window put the system's power source in force
    QZynHost* m_host = nullptr;
    std::unique_ptr<CZynlibCLI> m_cli;
    bool m_shutDown = false;
    struct Notice {
        int level;
        QString text;
    };
    // Waiting for the notifier's box: the oldest few, and how many more came after them (a later
    // notice graver than every one kept takes the place of one).
    std::deque<Notice> m_notices;
    qint64 m_noticesBehind = 0;
    std::unique_ptr<QMessageBox> m_noticeBox;   // the open notifier box; null when none is open

    QSystemTrayIcon* trayIcon = nullptr;
    QMenu* trayIconMenu = nullptr;
    QAction* minimizeAction = nullptr;
    QAction* maximizeAction = nullptr;
    QAction* restoreAction = nullptr;
    QAction* quitAction = nullptr;

    QMenuBar* m_menuBar = nullptr;
    QMenu* menuFile = nullptr;
    QMenu* menuEdit = nullptr;
    QMenu* menuOps = nullptr;
    QMenu* menuHelp = nullptr;

    QAction* separatorAction = nullptr;
    QAction* actionExit = nullptr;
    QAction* actionAbout = nullptr;
    QAction* actionHelp = nullptr;
    QAction* actionConnect = nullptr;
    QAction* actionDisconnect = nullptr;
    QAction* actionConfigure = nullptr;
    QAction* actionScheduler = nullptr;
    QAction* actionQuickCreate = nullptr;
    QAction* actionAddRaidSet = nullptr;
    QAction* actionAddNestedRaid = nullptr;
    QAction* actionRemoveNestedRaid = nullptr;
    QAction* actionRemoveRaidSet = nullptr;
    QAction* actionActivateIncompleteRaidSet = nullptr;
    QAction* actionExpandRaidSet = nullptr;
    QAction* actionAddVolume = nullptr;
    QAction* actionRemoveVolume = nullptr;
    QAction* actionStopVolumeChecking = nullptr;
    QAction* actionAddHotSpareDisk = nullptr;
    QAction* actionRemoveHotSpareDisk = nullptr;
    QAction* actionAddPassThroughDisk = nullptr;
    QAction* actionMuteBeeper = nullptr;
    QAction* actionLaunchBrowser = nullptr;
    QAction* actionSaveBin = nullptr;
    QAction* actionRestoreBin = nullptr;
    QAction* actionCollectData = nullptr;
    QAction* actionLocalHostRescanDevice = nullptr;
    QAction* actionNetworkRescanDevice = nullptr;
};
