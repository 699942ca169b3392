#include "ui/dialog/prefdialogs.h"

#include "devices/settings.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace prefdialog {

void RelabelButtons(QDialogButtonBox* box, const QString& ok, const QString& cancel, const QString& apply)
{
    const struct {
        QDialogButtonBox::StandardButton which;
        const QString& text;
    } labels[] = {{QDialogButtonBox::Ok, ok}, {QDialogButtonBox::Cancel, cancel}, {QDialogButtonBox::Apply, apply}};
    for (const auto& l : labels)
        if (QPushButton* button = box->button(l.which))
            button->setText(l.text);
}

void WarnUnsaved(QDialog* dialog, const QString& text)
{
    const QString shown = !text.isEmpty() ? text
                                          : QCoreApplication::translate("prefdialog",
                                                                        "The settings could not be saved in %1. The new "
                                                                        "values stay in force until the program ends.");
    QMessageBox::warning(dialog, dialog->windowTitle(), shown.arg(QZynSettings::StoreFileName()));
}

void AnswerButton(QDialog* dialog, QDialogButtonBox* box, QAbstractButton* button, const std::function<bool()>& apply,
                  const std::function<void(bool written)>& stored)
{
    // What the user confirmed is in the store at once, not only when the program ends; where
    // the store cannot be written the user is told, and the values hold for this run all the same.
    const auto confirm = [dialog, &apply, &stored] {
        if (!apply())
            return false;
        QZynSettings* settings = QZynSettings::Application();
        const bool written = settings == nullptr || settings->WriteSettings();
        if (stored)
            stored(written);
        else if (!written)
            WarnUnsaved(dialog);
        return true;
    };
    switch (box->buttonRole(button)) {
    case QDialogButtonBox::AcceptRole:
        if (confirm())
            dialog->accept();
        break;
    case QDialogButtonBox::RejectRole:
        dialog->reject();
        break;
    case QDialogButtonBox::ApplyRole:
        confirm();
        break;
    default:
        break;
    }
}

void SetLink(QLabel* label, const QString& text)
{
    label->setText(QStringLiteral("<a href='agree'>%1</a>").arg(text.toHtmlEscaped()));
}

} // namespace prefdialog
