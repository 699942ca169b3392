// The main window: the controller tree, the controller, raid set and volume set pages, the log
// list, the command-line tab, the tray icon, the actions, menus and tool bar.
#pragma once

#include <QMainWindow>

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
};
