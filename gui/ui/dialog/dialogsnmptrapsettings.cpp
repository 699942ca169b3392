#include "ui/dialog/dialogsnmptrapsettings.h"

#include "ui_dialogsnmptrapsettings.h"

#include "devices/settings.h"
#include "ui/dialog/prefdialogs.h"

namespace {

const char* const kAddressMask = "000.000.000.000;";

} // namespace

DialogSNMPTrapSettings::DialogSNMPTrapSettings(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogSNMPTrapSettings)
    , m_settings(QZynSettings::Application())
{
    ui->setupUi(this);
    m_ip[0] = ui->ipLineEdit1;
    m_ip[1] = ui->ipLineEdit2;
    m_ip[2] = ui->ipLineEdit3;
    m_port[0] = ui->portLineEdit1;
    m_port[1] = ui->portLineEdit2;
    m_port[2] = ui->portLineEdit3;
    for (int i = 0; i < 3; ++i) {
        m_ip[i]->setInputMask(QString::fromLatin1(kAddressMask));
        m_port[i]->setInputMask(QString::fromLatin1(prefdialog::kPortMask));
    }
    InitDialog();
}

DialogSNMPTrapSettings::~DialogSNMPTrapSettings()
{
    delete ui;
}

void DialogSNMPTrapSettings::InitDialog()
{
    if (m_settings != nullptr) {
        for (int i = 0; i < 3; ++i)
            m_ip[i]->setText(m_settings->trapip[i]);
        for (int i = 0; i < 3; ++i)
            m_port[i]->setText(QString::number(m_settings->trapport[i], 10));
        ui->communityLineEdit->setText(m_settings->community);
    }
    prefdialog::RelabelButtons(ui->buttonBox, tr("OK"), tr("Cancel"), tr("Apply"));
}

void DialogSNMPTrapSettings::Apply()
{
    if (m_settings == nullptr)
        return;
    for (int i = 0; i < 3; ++i)
        m_settings->trapip[i] = m_ip[i]->text();
    for (int i = 0; i < 3; ++i)
        m_settings->trapport[i] = m_port[i]->text().toInt(nullptr, 10);
    m_settings->community = ui->communityLineEdit->text();
}

void DialogSNMPTrapSettings::on_buttonBox_clicked(QAbstractButton* button)
{
    prefdialog::AnswerButton(this, ui->buttonBox, button, [this] {
        Apply();
        return true;
    });
}
