#include "ui/dialog/prefdialogs.h"

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

void SetLink(QLabel* label, const QString& text)
{
    label->setText(QStringLiteral("<a href='agree'>%1</a>").arg(text.toHtmlEscaped()));
}

} // namespace prefdialog
