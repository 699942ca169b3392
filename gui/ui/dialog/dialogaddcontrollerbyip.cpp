#include "ui/dialog/dialogaddcontrollerbyip.h"

#include "ui_dialogaddcontrollerbyip.h"

#include <QPushButton>

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
