#include "ui/dialog/dialogmailsettings.h"

#include "ui_dialogmailsettings.h"

#include "devices/images.h"
#include "devices/settings.h"
#include "smtp/smtp.h"
#include "ui/dialog/mainwindow.h"
#include "ui/dialog/prefdialogs.h"

#include <QFile>
#include <QMessageBox>

namespace {

const char* const kMailIcon = ":/images/icons/app/email.png";

} // namespace

DialogMailSettings::DialogMailSettings(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogMailSettings)
    , m_settings(QZynSettings::Application())
{
    PalvirInitImages();
    ui->setupUi(this);
    InitDialog();
}

DialogMailSettings::~DialogMailSettings()
{
    delete ui;
}

void DialogMailSettings::InitDialog()
{
    ui->smtpPortLineEdit->setInputMask(QString::fromLatin1(prefdialog::kPortMask));
    // The icon is the link: its target is the sentence the closing box shows, which tells only
    // what the dialog knows when the box comes up.
    const QString handed = tr("The test mail has been handed to the mail server connection; "
                              "see the log for whether it was delivered.");
    ui->testMailLabel->setText(QStringLiteral("<a href=\"%1\"><img src=\"%2\"></a>")
                                   .arg(handed.toHtmlEscaped(), QLatin1String(kMailIcon)));
    if (m_settings != nullptr) {
        const QZynSettings& s = *m_settings;
        ui->smtpServerLineEdit->setText(s.mailserver);
        ui->smtpPortLineEdit->setText(QString::number(s.mailport, 10));
        ui->smtpSenderNameLineEdit->setText(s.sendername);
        ui->smtpSenderAddrLineEdit->setText(s.senderaddr);
        ui->smtpRecipientLineEdit1->setText(s.recipients[0]);
        ui->smtpRecipientLineEdit2->setText(s.recipients[1]);
        ui->smtpRecipientLineEdit3->setText(s.recipients[2]);
        ui->authGroupBox->setChecked(s.mailauth);
        ui->smtpAuthSSLCheckBox->setChecked(s.mailssl);
        ui->smtpAuthAccountLineEdit->setText(s.mailaccount);
        ui->smtpAuthPassLineEdit->setText(s.mailpassword);
    }
    prefdialog::RelabelButtons(ui->buttonBox, tr("OK"), tr("Cancel"), tr("Apply"));
}

bool DialogMailSettings::Apply()
{
    if (ui->authGroupBox->isChecked()) {
        if (ui->smtpAuthAccountLineEdit->text().isEmpty()) {
            QMessageBox::warning(this, QString::fromLatin1(MainWindow::kTitle), tr("Please enter the account."));
            return false;
        }
        if (ui->smtpAuthPassLineEdit->text().isEmpty()) {
            QMessageBox::warning(this, QString::fromLatin1(MainWindow::kTitle), tr("Please enter the password."));
            return false;
        }
    }
    if (m_settings == nullptr)
        return true;
    QZynSettings& s = *m_settings;
    s.mailserver = ui->smtpServerLineEdit->text();
    s.mailport = ui->smtpPortLineEdit->text().toInt(nullptr, 10);
    s.sendername = ui->smtpSenderNameLineEdit->text();
    s.senderaddr = ui->smtpSenderAddrLineEdit->text();
    s.recipients[0] = ui->smtpRecipientLineEdit1->text();
    s.recipients[1] = ui->smtpRecipientLineEdit2->text();
    s.recipients[2] = ui->smtpRecipientLineEdit3->text();
    s.mailauth = ui->authGroupBox->isChecked();
    s.mailssl = ui->smtpAuthSSLCheckBox->isChecked();
    s.mailaccount = ui->smtpAuthAccountLineEdit->text();
    s.mailpassword = ui->smtpAuthPassLineEdit->text();
    return true;
}

void DialogMailSettings::on_buttonBox_clicked(QAbstractButton* button)
{
    prefdialog::AnswerButton(this, ui->buttonBox, button, [this] { return Apply(); });
}

void DialogMailSettings::on_testMailLabel_linkActivated(const QString& link)
{
    if (QMessageBox::information(this, tr("Mail Testing"), tr("Send test mail ?"), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // The client runs the dialogue on its own from here and deletes itself when it ends.
    auto* smtp = new Smtp(ui->smtpAuthAccountLineEdit->text(), ui->smtpAuthPassLineEdit->text(),
                          ui->smtpServerLineEdit->text(), ui->smtpPortLineEdit->text().toInt(nullptr, 10),
                          kTestMailTimeoutMs);
    smtp->setSSL(ui->smtpAuthSSLCheckBox->isChecked());
    QFile noAttachment;
    smtp->sendMail(ui->smtpSenderAddrLineEdit->text(), QStringList{ui->smtpRecipientLineEdit1->text()}, tr("Test mail"),
                   tr("Test mail from %0 %1").arg(QString::fromLatin1(MainWindow::kTitle),
                                                  QString::fromLatin1(MainWindow::kVersion)),
                   noAttachment);
    QMessageBox::information(this, tr("Test Mail"), link);
}
