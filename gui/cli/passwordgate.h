// The controller password gate that the console and the main window share. While the
// controller says it needs its password, the gate asks for it in a modal dialog and lets the
// controller check it; a passing gate (also when no password was needed) opens the
// controller's 300-second authorisation hold, which its polling counts down. With it, the rule
// that the gate's dialog and the window's dialogs and questions about a controller share: they
// close when the controller goes.
#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;
class QZynController;

// Closes `window`, a dialog about `controller` or a question about it, when the controller is
// announced removed or is destroyed, as CloseWithQuestions does.
void CloseWithController(QDialog* window, QZynController* controller);
// Closes `window` and, first, each question it has open (a message box of its own that offers
// No), which so ends answered No.
void CloseWithQuestions(QDialog* window);

// The gate's two dialogs. `ask` puts the question under the controller's model name and returns
// false when cancelled; `refuse` shows the text under that title. Unset members use the real
// modal dialogs on the gate's parent window.
struct ControllerPasswordDialogs {
    std::function<bool(const QString& title, QString* password)> ask;
    std::function<void(const QString& title, const QString& text)> refuse;
};

// True when the controller may be commanded now. The dialogs run event loops: a controller
// deleted meanwhile makes the gate refuse, and the password dialog closes when it goes.
bool CheckControllerPassword(QZynController* controller, QWidget* parent,
                             const ControllerPasswordDialogs& dialogs = ControllerPasswordDialogs());
