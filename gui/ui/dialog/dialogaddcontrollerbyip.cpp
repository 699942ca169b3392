#include "ui/dialog/dialogaddcontrollerbyip.h"

#include "ui/dialog/mainwindow.h"
#include "ui_dialogaddcontrollerbyip.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace {

// An IPv4 address: four groups of one to three decimal digits, each at most 255.
constexpr int kAddressGroups = 4;
constexpr int kGroupDigits = 3;
constexpr int kGroupMost = 255;

// The whole IPv4 address `text` names, its groups without leading zeros ("010.000.000.001" is
// 10.0.0.1); empty when it names none (a group blank, too long or past 255).
QString wholeAddress(const QString& text)
{
    const QStringList groups = text.split(QLatin1Char('.'));
    if (groups.size() != kAddressGroups)
        return QString();
    QStringList out;
    for (const QString& group : groups) {
        if (group.isEmpty() || group.size() > kGroupDigits)
            return QString();
        for (const QChar ch : group)
            if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
                return QString();
        const int value = group.toInt();
        if (value > kGroupMost)
            return QString();
        out << QString::number(value);
    }
    return out.join(QLatin1Char('.'));
}

} // namespace

DialogAddControllerByIP::DialogAddControllerByIP(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint), ui(new Ui_DialogAddControllerByIP)
{
    ui->setupUi(this);
    ui->ipLineEdit->setInputMask(QString::fromLatin1(kInputMask));
    ui->ipLineEdit->setText(QString::fromLatin1(kInitialAddress));
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
}

DialogAddControllerByIP::~DialogAddControllerByIP()
{
    delete ui;
}

void DialogAddControllerByIP::on_ipLineEdit_textChanged(const QString& text)
{
    address = text;
}

void DialogAddControllerByIP::accept()
{
    const QString whole = wholeAddress(ui->ipLineEdit->text());
    if (whole.isEmpty()) {
        QMessageBox::warning(this, QString::fromLatin1(MainWindow::kTitle), tr("Please enter a valid IP address."));
        ui->ipLineEdit->setFocus();
        return;
    }
    address = whole;
    QDialog::accept();
}
