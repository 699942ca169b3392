#include "ui/dialog/dialogsetup.h"

#include "ui_dialogsetup.h"

#include "devices/images.h"
#include "devices/settings.h"
#include "ui/dialog/dialogmailsettings.h"
#include "ui/dialog/dialogsnmptrapsettings.h"
#include "ui/dialog/prefdialogs.h"
#include "zynapplication.h"

#include <QMessageBox>

#include <utility>

namespace {

// The notification levels of the settings record.
enum Level { LevelOff = 0, LevelUrgent = 1, LevelSerious = 2, LevelWarning = 3, LevelInformation = 4 };

} // namespace

DialogSetup::DialogSetup(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui_DialogSetup)
    , m_settings(QZynSettings::Application())
{
    PalvirInitImages();
    ui->setupUi(this);
    InitDialog();
}

DialogSetup::~DialogSetup()
{
    delete ui;
}

void DialogSetup::InitLocale()
{
    auto* app = qobject_cast<ZynApplication*>(QCoreApplication::instance());
    if (app == nullptr || m_settings == nullptr)
        return;
    const QStringList files = app->GetTranslatorFileList();
    for (const QString& file : files) {
        const QString tag = ZynApplication::TranslatorTag(file);
        const QLocale locale(tag);
        ui->cbLanguage->addItem(locale.nativeLanguageName(), locale);
        // Of several matching files the last one stands.
        if (ZynApplication::TagMatches(tag, m_settings->locale)) {
            m_storedItem = ui->cbLanguage->count() - 1;
            ui->cbLanguage->setCurrentIndex(m_storedItem);
        }
    }
    // A stored language with no file of its own: no item stands for it, so none is shown
    // selected, and OK keeps it.
    if (m_storedItem < 0)
        ui->cbLanguage->setCurrentIndex(-1);
}

void DialogSetup::InitDialog()
{
    InitLocale();
    prefdialog::SetLink(ui->labelSNMPTrapSettings, tr("SNMP Trap Settings"));
    prefdialog::SetLink(ui->labelEmailSettings, tr("Email Settings"));
    if (m_settings != nullptr) {
        const QZynSettings& s = *m_settings;
        ui->notificationGroupBox->setChecked(s.level != LevelOff);
        switch (s.level) {
        case LevelUrgent: ui->urgentRadioButton->setChecked(true); break;
        case LevelSerious: ui->seriousRadioButton->setChecked(true); break;
        case LevelWarning: ui->warningRadioButton->setChecked(true); break;
        // Information, and a level from an edited store that names none of them.
        default: ui->informationRadioButton->setChecked(true); break;
        }
        ui->byEmailCheckBox->setChecked(s.byemail);
        ui->smtpAttachCheckBox->setChecked(s.attachlogfile);
        ui->smtpAttachCheckBox->setEnabled(s.byemail);
        ui->bySNMPTrapCheckBox->setChecked(s.bysnmptrap);
        ui->byMessageBoxCheckBox->setChecked(s.bymessage);
        ui->bySystemLogCheckBox->setChecked(s.bysystemlog);
    }
    connect(ui->byEmailCheckBox, &QCheckBox::clicked, ui->smtpAttachCheckBox, &QWidget::setEnabled);
    prefdialog::RelabelButtons(ui->buttonBox, tr("OK"), tr("Cancel"), tr("Apply"));
}

void DialogSetup::Apply()
{
    if (m_settings == nullptr)
        return;
    QZynSettings& s = *m_settings;
    if (!ui->notificationGroupBox->isChecked())
        s.level = LevelOff;
    else if (ui->urgentRadioButton->isChecked())
        s.level = LevelUrgent;
    else if (ui->seriousRadioButton->isChecked())
        s.level = LevelSerious;
    else if (ui->warningRadioButton->isChecked())
        s.level = LevelWarning;
    else
        s.level = LevelInformation;
    s.byemail = ui->byEmailCheckBox->isChecked();
    s.attachlogfile = ui->smtpAttachCheckBox->isChecked();
    s.bysnmptrap = ui->bySNMPTrapCheckBox->isChecked();
    s.bymessage = ui->byMessageBoxCheckBox->isChecked();
    s.bysystemlog = ui->bySystemLogCheckBox->isChecked();

    // No list, or the item that already stands for the stored language: it stays as stored.
    const int item = ui->cbLanguage->currentIndex();
    if (item < 0 || item == m_storedItem)
        return;
    const QLocale chosen = ui->cbLanguage->itemData(item).toLocale();
    if (chosen.name().toLower() != s.locale.name().toLower())
        m_languageChanged = true;
    s.locale = chosen;
    m_storedItem = item;
}

void DialogSetup::on_buttonBox_clicked(QAbstractButton* button)
{
    // A new language takes effect only after a restart, which loses one the store did not keep
    // (until a later write keeps it).
    const auto stored = [this](bool written) {
        if (!written)
            prefdialog::WarnUnsaved(this, m_languageChanged
                                              ? tr("The settings could not be saved in %1. The language you chose is "
                                                   "lost: it would take effect only after a restart. The other new "
                                                   "values stay in force until the program ends.")
                                              : QString());
        else if (std::exchange(m_languageChanged, false))
            QMessageBox::information(this, tr("Setup"),
                                     tr("The language has been changed, please restart Palvir to take effect"));
    };
    prefdialog::AnswerButton(
        this, ui->buttonBox, button,
        [this] {
            Apply();
            return true;
        },
        stored);
}

void DialogSetup::on_labelEmailSettings_linkActivated(const QString&)
{
    DialogMailSettings dialog(this);
    dialog.exec();
}

void DialogSetup::on_labelSNMPTrapSettings_linkActivated(const QString&)
{
    DialogSNMPTrapSettings dialog(this);
    dialog.exec();
}
