// The controller password gate that the console and the main window share. While the
// controller says it needs its password, the gate asks for it in a modal dialog and lets the
// controller check it; a passing gate (also when no password was needed) opens the
// controller's 300-second authorisation hold, which its polling counts down.
#pragma once

#include <QString>

#include <functional>

class QWidget;
class QZynController;

// The gate's two dialogs. `ask` puts the question under the controller's model name and returns
// false when cancelled; `refuse` shows the text under that title. Unset members use the real
// modal dialogs on the gate's parent window.
struct ControllerPasswordDialogs {
    std::function<bool(const QString& title, QString* password)> ask;
    std::function<void(const QString& title, const QString& text)> refuse;
};

// True when the controller may be commanded now. The dialogs run event loops: a controller
// deleted meanwhile makes the gate refuse.
bool CheckControllerPassword(QZynController* controller, QWidget* parent,
                             const ControllerPasswordDialogs& dialogs = ControllerPasswordDialogs());
