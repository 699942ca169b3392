#include "cli/passwordgate.h"

#include "devices/controller.h"
#include "devices/host.h"
#include "devices/sysinfo.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDebug>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>

void CloseWithQuestions(QDialog* window)
{
    for (QMessageBox* box : window->findChildren<QMessageBox*>())
        if (box->isVisible() && box->button(QMessageBox::No) != nullptr)
            box->close();
    window->close();
}

void CloseWithController(QDialog* window, QZynController* controller)
{
    if (controller == nullptr)
        return;
    QObject::connect(controller, &QObject::destroyed, window, [window] { CloseWithQuestions(window); });
    // The host announces a controller it gives up before deleting it later.
    const QPointer<QZynController> watched(controller);
    QObject::connect(ZynGetHost(), &QZynHost::DeviceChanged, window, [window, watched](QZynDevice* device, int code) {
        if (code == QZynDevice::DeviceRemoved && (watched.isNull() || device == watched.data()))
            CloseWithQuestions(window);
    });
}

bool CheckControllerPassword(QZynController* controller, QWidget* parent, const ControllerPasswordDialogs& dialogs)
{
    QPointer<QZynController> ctrl(controller);
    if (ctrl.isNull())
        return false;
    const QString model = ctrl->GetSysInfo()->GetModelName();
    if (ctrl->IsStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH)) {
        QString password;
        bool given = false;
        const QString label = QCoreApplication::translate("PasswordGate", "Password:");
        if (dialogs.ask) {
            given = dialogs.ask(model, &password);
        } else {
            QInputDialog dialog(parent);
            dialog.setWindowTitle(model);
            dialog.setLabelText(label);
            dialog.setTextEchoMode(QLineEdit::Password);
            CloseWithController(&dialog, ctrl);
            given = dialog.exec() == QDialog::Accepted;
            password = dialog.textValue();
        }
        if (!given || password.isEmpty() || ctrl.isNull())
            return false;
        QByteArray text = password.toLocal8Bit();
        if (ctrl->ZynChkPassword(text.data()) != ZYN_OK) {
            const QString refusal = QCoreApplication::translate("PasswordGate", "Invalid Password!!");
            if (dialogs.refuse)
                dialogs.refuse(model, refusal);
            else
                QMessageBox::warning(parent, model, refusal, QMessageBox::Ok);
            return false;
        }
    }
    // The dialogs ran the event loop: the controller may have gone meanwhile.
    QZynController* const granted = ctrl.data();
    if (granted == nullptr)
        return false;
    granted->SetAuthorisationHold(QZynController::kAuthorisationSeconds);
    granted->ClearStatus(QZynController::STATUS_CONTROLLER_NEED_AUTH);
    qDebug("\"%s\" ClearStatus(STATUS_CONTROLLER_NEED_AUTH)", qUtf8Printable(model));
    return true;
}
