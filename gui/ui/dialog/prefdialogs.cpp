#include "ui/dialog/prefdialogs.h"

#include "devices/settings.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
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

void AnswerButton(QDialog* dialog, QDialogButtonBox* box, QAbstractButton* button, const std::function<bool()>& apply)
{
    // What the user confirmed is in the store at once, not only when the program ends.
    const auto confirm = [&apply] {
        if (!apply())
            return false;
        if (QZynSettings* settings = QZynSettings::Application())
            settings->WriteSettings();
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
