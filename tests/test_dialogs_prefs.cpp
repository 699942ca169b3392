// The preference dialogs over the application's settings record, with the store in a temporary
// folder: their forms, what each stores and under which keys, the refusals (a refused OK stays
// open and stores nothing), the language list from real translation files and its matching
// rule, the scheduled tasks (stored trigger bytes, a refused Apply, deleted tasks freed, tasks
// the rules cannot schedule), and the test mail through a real SMTP server. Boxes are answered
// by a responder. With PALVIR_SHOT_DIR set, a picture of each dialog.
#include "devices/settings.h"
#include "peerfixture.h"
#include "smtp/smtp.h"
#include "ui/dialog/dialogmailsettings.h"
#include "ui/dialog/dialogscheduler.h"
#include "ui/dialog/dialogsetup.h"
#include "ui/dialog/dialogsnmptrapsettings.h"
#include "ui/model/scheduleritemmodel.h"
#include "ui_dialogmailsettings.h"
#include "ui_dialogscheduler.h"
#include "ui_dialogsetup.h"
#include "ui_dialogsnmptrapsettings.h"
#include "watcher/controllerwatcher.h"
#include "modalresponder.h"
#include "zynapplication.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using viewtest::ModalResponder;

namespace {

const char* const kSmtpAddress = "127.0.1.40";
constexpr int kDeadlineMs = 30000;

// One line per box: class, title, text, and for a message box its buttons and default.
QStringList transcript(const ModalResponder& responder)
{
    QStringList out;
    for (const ModalResponder::Seen& s : responder.seen()) {
        QString line = s.cls + QLatin1Char('|') + s.title + QLatin1Char('|') + s.text;
        if (s.cls == QLatin1String("QMessageBox"))
            line += QLatin1Char('|') + s.buttons.join(QLatin1Char(',')) + QLatin1Char('|') + s.defaultButton;
        out << line;
    }
    return out;
}

QString warning(const QString& title, const QString& text)
{
    return QStringLiteral("QMessageBox|%1|%2|OK|OK").arg(title, text);
}

// "name:Class" of each object of `dialog` named in `names` ("missing" when none).
QStringList objects(QWidget* dialog, const QStringList& names)
{
    QStringList out;
    for (const QString& n : names) {
        QObject* o = dialog->findChild<QObject*>(n);
        out << n + QLatin1Char(':') + (o ? QString::fromLatin1(o->metaObject()->className()) : QStringLiteral("missing"));
    }
    return out;
}

QStringList buttonTexts(QDialogButtonBox* box)
{
    return {box->button(QDialogButtonBox::Ok)->text(), box->button(QDialogButtonBox::Cancel)->text(),
            box->button(QDialogButtonBox::Apply)->text()};
}

void click(QDialogButtonBox* box, QDialogButtonBox::StandardButton which)
{
    QTest::mouseClick(box->button(which), Qt::LeftButton);
}

// A click on a radio or check box's indicator: only the indicator and the text take clicks.
void tick(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

void shoot(QWidget* dialog, const QString& name)
{
    const QString folder = qEnvironmentVariable("PALVIR_SHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    dialog->show();
    if (QTest::qWaitForWindowExposed(dialog))
        dialog->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// The notification keys of the store as text, "key=value" in key order.
QStringList storedKeys(const QString& group)
{
    QSettings store;
    QStringList out;
    store.beginGroup(group);
    QStringList keys = store.allKeys();
    keys.sort();
    for (const QString& k : keys)
        out << k + QLatin1Char('=') + store.value(k).toString();
    return out;
}

QZynSettings& record()
{
    return *static_cast<ZynApplication*>(QCoreApplication::instance())->GetSettings();
}

QZynTask* addTask(const QString& name, int trigger, quint16 weekdays, quint32 days, int operation)
{
    auto* t = new QZynTask(name);
    t->startyear = 2026;
    t->startmonth = 3;
    t->startday = 4;
    t->starthour = 5;
    t->startminute = 6;
    t->triggertype = trigger;
    t->trigger.interval = 3;
    t->trigger.weekdays = weekdays;
    t->trigger.days = days;
    t->operation = operation;
    t->content.msgbox = QStringLiteral("old box");
    t->content.subject = QStringLiteral("old subject");
    t->content.msg = QStringLiteral("old message");
    t->content.checkvolume = 2;
    record().scheduler.AddTask(t);
    return t;
}

// Everything the dialog may write into a task.
QString snapshot(const QZynTask* t)
{
    return QStringLiteral("%1 %2-%3-%4 %5:%6 flags=%7 type=%8 op=%9 trigger=%10 box=%11 subj=%12 msg=%13 vol=%14")
        .arg(t->name)
        .arg(t->startyear)
        .arg(t->startmonth)
        .arg(t->startday)
        .arg(t->starthour)
        .arg(t->startminute)
        .arg(t->flags)
        .arg(t->triggertype)
        .arg(t->operation)
        .arg(QString::fromLatin1(t->TriggerBytes().toHex(' ')))
        .arg(t->content.msgbox, t->content.subject, t->content.msg)
        .arg(t->content.checkvolume);
}

QStringList modelNames(const QAbstractItemModel* model)
{
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, 0).data().toString();
    return out;
}

void selectRow(DialogScheduler& d, int row)
{
    d.Form()->taskTreeView->selectionModel()->setCurrentIndex(
        d.Model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// The store's values as its file on disk holds them ("key=value" of `keys`, in their order):
// read from a copy, so that nothing a store object of this process keeps in memory counts.
QStringList onDisk(const QStringList& keys)
{
    static int copies = 0;
    const QString file = QSettings().fileName();
    const QString copy = QFileInfo(file).absolutePath() + QStringLiteral("/disk%1.conf").arg(++copies);
    if (!QFile::copy(file, copy))
        return {QStringLiteral("no file")};
    QSettings disk(copy, QSettings::IniFormat);
    QStringList out;
    for (const QString& k : keys)
        out << k + QLatin1Char('=') + disk.value(k).toString();
    QFile::remove(copy);
    return out;
}

QString modeOf(const QString& file)
{
    struct stat info {};
    if (::stat(QFile::encodeName(file).constData(), &info) != 0)
        return QStringLiteral("missing");
    return QString::number(info.st_mode & 07777, 8);
}

} // namespace

class TestDialogsPrefs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void mailForm();
    void mailRefusals_data();
    void mailRefusals();
    void mailStored_data();
    void mailStored();
    void testMailDelivered();
    void testMailDeclined();

    void trapForm();
    void trapStored_data();
    void trapStored();

    void setupForm();
    void setupLevels_data();
    void setupLevels();
    void setupChannels();
    void languageList_data();
    void languageList();
    void shippedLanguages();
    void matchingRule_data();
    void matchingRule();
    void bareTagLoadsAtStart();

    void schedulerForm();
    void schedulerAdd_data();
    void schedulerAdd();
    void schedulerApply_data();
    void schedulerApply();
    void schedulerDeleteFreesTheTask();
    void unschedulableTasksDoNotHang();
    void schedulerTextsInTheLanguage_data();
    void schedulerTextsInTheLanguage();

    void storeIsTheOwnersAlone_data();
    void storeIsTheOwnersAlone();
    void confirmedPreferencesAreStored_data();
    void confirmedPreferencesAreStored();

private:
    QTemporaryDir m_dir;
    QString m_translators;
};

void TestDialogsPrefs::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("store")));
    m_translators = QStringLiteral(PALVIR_TRANSLATORS);
}

void TestDialogsPrefs::init()
{
    // A case that blocked the store and failed unblocks it here.
    QDir(QSettings().fileName()).removeRecursively();
    ::chmod(QFile::encodeName(QFileInfo(QSettings().fileName()).absolutePath()).constData(), 0700);
    QSettings store;
    store.clear();
    store.sync();
    QZynSettings& s = record();
    while (s.scheduler.TaskCount() > 0)
        delete s.scheduler.RemoveTask(0);
    s.ReadSettings();
    ZynApplication::SetTranslatorFolder(m_translators);
}

void TestDialogsPrefs::cleanup()
{
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() == nullptr, kDeadlineMs);
}

// ---- Email ----

void TestDialogsPrefs::mailForm()
{
    DialogMailSettings d;
    Ui_DialogMailSettings* f = d.Form();
    QCOMPARE(d.windowTitle(), QStringLiteral("Email"));
    QCOMPARE(d.size(), QSize(490, 408));
    QCOMPARE(d.windowModality(), Qt::WindowModal);
    QCOMPARE(objects(&d, {"testMailLabel", "smtpServerLineEdit", "smtpPortLineEdit", "smtpSenderNameLineEdit",
                          "smtpSenderAddrLineEdit", "authGroupBox", "smtpAuthAccountLineEdit", "smtpAuthPassLineEdit",
                          "smtpAuthSSLCheckBox", "RecipientGroupBox", "smtpRecipientLineEdit1",
                          "smtpRecipientLineEdit2", "smtpRecipientLineEdit3", "buttonBox"}),
             (QStringList{"testMailLabel:QLabel", "smtpServerLineEdit:QLineEdit", "smtpPortLineEdit:QLineEdit",
                          "smtpSenderNameLineEdit:QLineEdit", "smtpSenderAddrLineEdit:QLineEdit",
                          "authGroupBox:QGroupBox", "smtpAuthAccountLineEdit:QLineEdit",
                          "smtpAuthPassLineEdit:QLineEdit", "smtpAuthSSLCheckBox:QCheckBox",
                          "RecipientGroupBox:QGroupBox", "smtpRecipientLineEdit1:QLineEdit",
                          "smtpRecipientLineEdit2:QLineEdit", "smtpRecipientLineEdit3:QLineEdit",
                          "buttonBox:QDialogButtonBox"}));
    QCOMPARE(f->smtpPortLineEdit->inputMask(), QStringLiteral("00000"));   // the blank is a space
    QCOMPARE(f->smtpAuthPassLineEdit->echoMode(), QLineEdit::Password);
    QVERIFY(f->authGroupBox->isCheckable());
    QCOMPARE(f->testMailLabel->toolTip(), QStringLiteral("send a test mail"));
    // The icon is a link whose target the closing box shows.
    QCOMPARE(f->testMailLabel->text(),
             QStringLiteral("<a href=\"The test mail has been handed to the mail server connection; see the log for "
                            "whether it was delivered.\"><img src=\":/images/icons/app/email.png\"></a>"));
    QCOMPARE(buttonTexts(f->buttonBox), (QStringList{"OK", "Cancel", "Apply"}));
    // Filled from the record: the defaults.
    QCOMPARE(f->smtpPortLineEdit->text(), QStringLiteral("25"));
    QVERIFY(!f->authGroupBox->isChecked());
    shoot(&d, QStringLiteral("dialog_mail_settings"));
}

void TestDialogsPrefs::mailRefusals_data()
{
    QTest::addColumn<bool>("auth");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("boxes");

    const QString title = QStringLiteral("Palvir");
    const QString account = warning(title, QStringLiteral("Please enter the account."));
    const QString password = warning(title, QStringLiteral("Please enter the password."));
    QTest::newRow("login, both empty: the account first") << true << "" << "" << QStringList{account};
    QTest::newRow("login, no password") << true << "admin" << "" << QStringList{password};
    QTest::newRow("login, no account") << true << "" << "secret" << QStringList{account};
    QTest::newRow("login complete") << true << "admin" << "secret" << QStringList{};
    QTest::newRow("no login, both empty") << false << "" << "" << QStringList{};
}

void TestDialogsPrefs::mailRefusals()
{
    QFETCH(bool, auth);
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(QStringList, boxes);

    record().mailserver = QStringLiteral("before.invalid");
    DialogMailSettings d;
    d.show();
    Ui_DialogMailSettings* f = d.Form();
    f->smtpServerLineEdit->setText(QStringLiteral("after.invalid"));
    f->authGroupBox->setChecked(auth);
    f->smtpAuthAccountLineEdit->setText(account);
    f->smtpAuthPassLineEdit->setText(password);
    ModalResponder responder;
    for (int i = 0; i < boxes.size(); ++i)
        responder.press(QMessageBox::Ok);
    click(f->buttonBox, QDialogButtonBox::Ok);
    QCOMPARE(transcript(responder), boxes);
    const bool refused = !boxes.isEmpty();
    QCOMPARE(d.isVisible(), refused);
    QCOMPARE(d.result(), refused ? int(QDialog::Rejected) : int(QDialog::Accepted));
    QCOMPARE(record().mailserver, refused ? QStringLiteral("before.invalid") : QStringLiteral("after.invalid"));
    QCOMPARE(record().mailauth, refused ? false : auth);
}

void TestDialogsPrefs::mailStored_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QStringList>("stored");

    const auto keys = [](const QString& port) {
        return QStringList{"account=acc ount", "attachlogfile=false", "auth=true", "password= pw ",
                           "port=" + port, "recepient1=", "recepient2=two@example.invalid",
                           "recepient3=three", "senderaddr=from@example.invalid", "sendername=The Sender",
                           "server= mail.example.invalid ", "ssl=true"};
    };
    QTest::newRow("port as typed") << "587" << keys("587");
    QTest::newRow("port emptied: 0") << "" << keys("0");
    QTest::newRow("five digits above 65535 kept") << "99999" << keys("99999");
}

void TestDialogsPrefs::mailStored()
{
    QFETCH(QString, port);
    QFETCH(QStringList, stored);

    DialogMailSettings d;
    Ui_DialogMailSettings* f = d.Form();
    f->smtpServerLineEdit->setText(QStringLiteral(" mail.example.invalid "));
    f->smtpPortLineEdit->clear();
    QTest::keyClicks(f->smtpPortLineEdit, port);
    f->smtpSenderNameLineEdit->setText(QStringLiteral("The Sender"));
    f->smtpSenderAddrLineEdit->setText(QStringLiteral("from@example.invalid"));
    f->smtpRecipientLineEdit2->setText(QStringLiteral("two@example.invalid"));
    f->smtpRecipientLineEdit3->setText(QStringLiteral("three"));
    f->authGroupBox->setChecked(true);
    f->smtpAuthAccountLineEdit->setText(QStringLiteral("acc ount"));
    f->smtpAuthPassLineEdit->setText(QStringLiteral(" pw "));
    f->smtpAuthSSLCheckBox->setChecked(true);
    click(f->buttonBox, QDialogButtonBox::Apply);
    // Cancel after Apply keeps what was applied.
    f->smtpServerLineEdit->setText(QStringLiteral("dropped"));
    click(f->buttonBox, QDialogButtonBox::Cancel);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    record().WriteNotificationSettings();
    QCOMPARE(storedKeys(QStringLiteral("notification/mail")), stored);
}

void TestDialogsPrefs::testMailDelivered()
{
    peertest::SmtpPeer peer;
    const QString why = peer.start(kSmtpAddress, QStringLiteral(PALVIR_SMTP_PEER));
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    record().mailserver = QStringLiteral("stored.invalid");
    DialogMailSettings d;
    Ui_DialogMailSettings* f = d.Form();
    // The fields as they stand go, applied or not; MailTo1 only.
    f->smtpServerLineEdit->setText(QString::fromLatin1(kSmtpAddress));
    f->smtpPortLineEdit->setText(QString::number(peer.plainPort()));
    f->smtpSenderAddrLineEdit->setText(QStringLiteral("palvir@example.invalid"));
    f->smtpRecipientLineEdit1->setText(QStringLiteral("admin@example.invalid"));
    f->smtpRecipientLineEdit2->setText(QStringLiteral("second@example.invalid"));
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));

    ModalResponder responder;
    responder.press(QMessageBox::Yes);
    responder.press(QMessageBox::Ok);
    // A click on the picture itself.
    QLabel* icon = f->testMailLabel;
    const QPoint onPicture = icon->contentsRect().topLeft() + QPoint(16, 16);
    QTest::mouseClick(icon, Qt::LeftButton, Qt::NoModifier, onPicture);
    QTRY_COMPARE_WITH_TIMEOUT(responder.seen().size(), 2, kDeadlineMs);
    QCOMPARE(transcript(responder),
             (QStringList{"QMessageBox|Mail Testing|Send test mail ?|&Yes,&No|&No",
                          "QMessageBox|Test Mail|The test mail has been handed to the mail server connection; see the "
                          "log for whether it was delivered.|OK|OK"}));
    QTRY_COMPARE_WITH_TIMEOUT(peer.mails().size(), 1, kDeadlineMs);
    const QJsonObject mail = peer.mails().first();
    QCOMPARE(mail.value("mail_from").toString(), QStringLiteral("palvir@example.invalid"));
    QCOMPARE(mail.value("rcpt_tos").toVariant().toStringList(), QStringList{"admin@example.invalid"});
    QString subject;
    for (const QJsonValue& h : mail.value("headers").toArray())
        if (h.toArray().at(0).toString() == QLatin1String("Subject"))
            subject = h.toArray().at(1).toString();
    QCOMPARE(subject, QStringLiteral("Test mail"));
    QStringList texts;
    for (const QJsonValue& p : mail.value("parts").toArray())
        if (p.toObject().contains("text"))
            texts << p.toObject().value("text").toString().trimmed();
    QCOMPARE(texts, QStringList{"Test mail from Palvir 1.0.1"});
    QTRY_COMPARE_WITH_TIMEOUT(Smtp::Live(), 0, kDeadlineMs);
    click(f->buttonBox, QDialogButtonBox::Cancel);
    QCOMPARE(record().mailserver, QStringLiteral("stored.invalid"));
    shoot(&d, QStringLiteral("dialog_mail_settings_sent"));
}

void TestDialogsPrefs::testMailDeclined()
{
    DialogMailSettings d;
    ModalResponder responder;
    responder.press(QMessageBox::No);
    const int live = Smtp::Live();
    d.on_testMailLabel_linkActivated(QStringLiteral("unused"));
    QCOMPARE(transcript(responder), QStringList{"QMessageBox|Mail Testing|Send test mail ?|&Yes,&No|&No"});
    QCOMPARE(Smtp::Live(), live);
}

// ---- SNMP Trap ----

void TestDialogsPrefs::trapForm()
{
    DialogSNMPTrapSettings d;
    QCOMPARE(d.windowTitle(), QStringLiteral("SNMP Trap"));
    QCOMPARE(d.size(), QSize(573, 265));
    QStringList names, masks;
    for (const char* n : {"ipLineEdit1", "portLineEdit1", "ipLineEdit2", "portLineEdit2", "ipLineEdit3",
                          "portLineEdit3", "communityLineEdit"}) {
        names << QString::fromLatin1(n);
        masks << d.findChild<QLineEdit*>(QString::fromLatin1(n))->inputMask();
    }
    // Qt leaves out the blank character when it is a space.
    QCOMPARE(masks, (QStringList{"000.000.000.000", "00000", "000.000.000.000", "00000", "000.000.000.000", "00000", ""}));
    // The grid: four rows of label, field, label, field.
    auto* grid = d.Form()->gridLayout;
    QStringList cells;
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            if (QLayoutItem* item = grid->itemAtPosition(r, c))
                cells << QStringLiteral("%1,%2:%3").arg(r).arg(c).arg(item->widget()->objectName());
    QCOMPARE(cells, (QStringList{"0,0:label", "0,1:ipLineEdit1", "0,2:label_4", "0,3:portLineEdit1", "1,0:label_2",
                                 "1,1:ipLineEdit2", "1,2:label_5", "1,3:portLineEdit2", "2,0:label_3", "2,1:ipLineEdit3",
                                 "2,2:label_6", "2,3:portLineEdit3", "3,0:label_7", "3,1:communityLineEdit"}));
    QCOMPARE(buttonTexts(d.Form()->buttonBox), (QStringList{"OK", "Cancel", "Apply"}));
    // Filled from the record's defaults.
    QCOMPARE(d.Form()->ipLineEdit2->text(), QStringLiteral("192.168.0.0"));
    QCOMPARE(d.Form()->portLineEdit3->text(), QStringLiteral("162"));
    QCOMPARE(d.Form()->communityLineEdit->text(), QStringLiteral("kestro"));
    shoot(&d, QStringLiteral("dialog_snmp_trap_settings"));
}

void TestDialogsPrefs::trapStored_data()
{
    QTest::addColumn<QStringList>("typed");   // ip1, port1, ip2, port2, ip3, port3, community (keys)
    QTest::addColumn<QStringList>("stored");  // the notification/snmp keys after the main window's write

    QTest::newRow("untouched") << QStringList{} << QStringList{
        "bysnmptrap=false", "community=kestro", "trapip1=192.168.0.0", "trapip2=192.168.0.0", "trapip3=192.168.0.0",
        "trapport1=162", "trapport2=162", "trapport3=162"};
    QTest::newRow("typed, no checks")
        << QStringList{"10.1.2.3", "99999", "", "", "999.1.1.1", "1", " pub lic "}
        << QStringList{"bysnmptrap=false", "community= pub lic ", "trapip1=10.1.2.3", "trapip2=...",
                       "trapip3=999.1.1.1", "trapport1=99999", "trapport2=0", "trapport3=1"};
}

void TestDialogsPrefs::trapStored()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, stored);

    DialogSNMPTrapSettings d;
    if (!typed.isEmpty()) {
        const char* fields[] = {"ipLineEdit1", "portLineEdit1", "ipLineEdit2", "portLineEdit2", "ipLineEdit3",
                                "portLineEdit3", "communityLineEdit"};
        for (int i = 0; i < 7; ++i) {
            auto* edit = d.findChild<QLineEdit*>(QString::fromLatin1(fields[i]));
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            edit->setText(typed.at(i));
        }
    }
    click(d.Form()->buttonBox, QDialogButtonBox::Ok);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    record().WriteNotificationSettings();
    QCOMPARE(storedKeys(QStringLiteral("notification/snmp")), stored);
}

// ---- Settings ----

void TestDialogsPrefs::setupForm()
{
    DialogSetup d;
    Ui_DialogSetup* f = d.Form();
    QCOMPARE(d.windowTitle(), QStringLiteral("Settings"));
    QCOMPARE(d.size(), QSize(485, 351));
    QCOMPARE(objects(&d, {"tabWidget", "tabGeneral", "cbLanguage", "tabNotification", "notificationGroupBox",
                          "informationRadioButton", "seriousRadioButton", "warningRadioButton", "urgentRadioButton",
                          "byEmailCheckBox", "labelEmailSettings", "smtpAttachCheckBox", "bySNMPTrapCheckBox",
                          "labelSNMPTrapSettings", "byMessageBoxCheckBox", "bySystemLogCheckBox", "buttonBox"}),
             (QStringList{"tabWidget:QTabWidget", "tabGeneral:QWidget", "cbLanguage:QComboBox",
                          "tabNotification:QWidget", "notificationGroupBox:QGroupBox",
                          "informationRadioButton:QRadioButton", "seriousRadioButton:QRadioButton",
                          "warningRadioButton:QRadioButton", "urgentRadioButton:QRadioButton",
                          "byEmailCheckBox:QCheckBox", "labelEmailSettings:QLabel", "smtpAttachCheckBox:QCheckBox",
                          "bySNMPTrapCheckBox:QCheckBox", "labelSNMPTrapSettings:QLabel",
                          "byMessageBoxCheckBox:QCheckBox", "bySystemLogCheckBox:QCheckBox",
                          "buttonBox:QDialogButtonBox"}));
    QCOMPARE(f->tabWidget->currentIndex(), 0);
    QCOMPARE(f->labelEmailSettings->text(), QStringLiteral("<a href='agree'>Email Settings</a>"));
    QCOMPARE(f->labelSNMPTrapSettings->text(), QStringLiteral("<a href='agree'>SNMP Trap Settings</a>"));
    QCOMPARE(f->urgentRadioButton->iconSize(), QSize(20, 20));
    QVERIFY(!f->urgentRadioButton->icon().isNull());
    QCOMPARE(buttonTexts(f->buttonBox), (QStringList{"OK", "Cancel", "Apply"}));

    // The links open the two settings dialogs modally; each is closed with Escape.
    ModalResponder responder;
    emit f->labelEmailSettings->linkActivated(QStringLiteral("agree"));
    emit f->labelSNMPTrapSettings->linkActivated(QStringLiteral("agree"));
    QCOMPARE(transcript(responder), (QStringList{"DialogMailSettings|Email|", "DialogSNMPTrapSettings|SNMP Trap|"}));
    f->tabWidget->setCurrentIndex(1);
    shoot(&d, QStringLiteral("dialog_setup_notification"));
    f->tabWidget->setCurrentIndex(0);
    shoot(&d, QStringLiteral("dialog_setup_general"));
}

void TestDialogsPrefs::setupLevels_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("groupShown");
    QTest::addColumn<QString>("radioShown");
    QTest::addColumn<bool>("groupSet");
    QTest::addColumn<QString>("radioSet");    // empty: left as shown
    QTest::addColumn<int>("expected");

    QTest::newRow("off: Information shown, group checked gives 4") << 0 << false << "informationRadioButton" << true << "" << 4;
    QTest::newRow("off stays off") << 0 << false << "informationRadioButton" << false << "urgentRadioButton" << 0;
    QTest::newRow("urgent") << 1 << true << "urgentRadioButton" << true << "" << 1;
    QTest::newRow("serious") << 2 << true << "seriousRadioButton" << true << "" << 2;
    QTest::newRow("warning to information") << 3 << true << "warningRadioButton" << true << "informationRadioButton" << 4;
    QTest::newRow("information to urgent") << 4 << true << "informationRadioButton" << true << "urgentRadioButton" << 1;
    QTest::newRow("unchecking the group: 0") << 2 << true << "seriousRadioButton" << false << "" << 0;
    QTest::newRow("edited store: 9") << 9 << true << "informationRadioButton" << true << "" << 4;
}

void TestDialogsPrefs::setupLevels()
{
    QFETCH(int, stored);
    QFETCH(bool, groupShown);
    QFETCH(QString, radioShown);
    QFETCH(bool, groupSet);
    QFETCH(QString, radioSet);
    QFETCH(int, expected);

    record().level = stored;
    DialogSetup d;
    Ui_DialogSetup* f = d.Form();
    QCOMPARE(f->notificationGroupBox->isChecked(), groupShown);
    QVERIFY(d.findChild<QRadioButton*>(radioShown)->isChecked());
    f->notificationGroupBox->setChecked(groupSet);
    if (!radioSet.isEmpty())
        d.findChild<QRadioButton*>(radioSet)->setChecked(true);
    ModalResponder responder;
    click(f->buttonBox, QDialogButtonBox::Ok);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(record().level, expected);
    // Only the notification options changed: no notice, the language as it was.
    QCOMPARE(transcript(responder), QStringList{});
    QCOMPARE(record().locale.name(), QStringLiteral("en_US"));
}

void TestDialogsPrefs::setupChannels()
{
    QZynSettings& s = record();
    s.level = 2;
    s.byemail = false;
    s.attachlogfile = true;
    s.bysnmptrap = true;
    DialogSetup d;
    Ui_DialogSetup* f = d.Form();
    d.show();
    // The attach option shows its stored value, disabled while mail is off.
    QVERIFY(f->smtpAttachCheckBox->isChecked());
    QVERIFY(!f->smtpAttachCheckBox->isEnabled());
    f->tabWidget->setCurrentIndex(1);
    tick(f->byEmailCheckBox);
    QVERIFY(f->smtpAttachCheckBox->isEnabled());
    f->bySNMPTrapCheckBox->setChecked(false);
    f->byMessageBoxCheckBox->setChecked(true);
    f->bySystemLogCheckBox->setChecked(true);
    // The flags go also with the group unchecked (level 0).
    f->notificationGroupBox->setChecked(false);
    click(f->buttonBox, QDialogButtonBox::Apply);
    QVERIFY(d.isVisible());
    s.WriteNotificationSettings();
    QSettings store;
    QStringList flags;
    for (const char* key : {"byemail", "bymessage", "bysystemlog", "level", "mail/attachlogfile", "snmp/bysnmptrap"})
        flags << QString::fromLatin1(key) + QLatin1Char('=') + store.value(QStringLiteral("notification/") + QLatin1String(key)).toString();
    QCOMPARE(flags, (QStringList{"byemail=true", "bymessage=true", "bysystemlog=true", "level=0",
                                 "mail/attachlogfile=true", "snmp/bysnmptrap=false"}));
}

void TestDialogsPrefs::languageList_data()
{
    QTest::addColumn<QStringList>("files");     // tags of palvir_<tag>.qm
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("current");           // the item shown first
    QTest::addColumn<int>("pick");              // -1: the list left as shown
    QTest::addColumn<QString>("after");         // the stored locale's name after Apply and OK
    QTest::addColumn<int>("notices");

    const QStringList shipped{"de_DE", "en_US", "zh_TW"};
    QTest::newRow("stored language preselected") << shipped << "zh_TW" << 2 << -1 << "zh_TW" << 0;
    QTest::newRow("another picked: one notice") << shipped << "de_DE" << 0 << 1 << "en_US" << 1;
    QTest::newRow("letter case of the file") << QStringList{"de_DE", "zh_tw"} << "zh_TW" << 1 << -1 << "zh_TW" << 0;
    QTest::newRow("bare tag preselected") << QStringList{"de", "zh_TW"} << "de_DE" << 0 << -1 << "de_DE" << 0;
    QTest::newRow("bare tag picked") << QStringList{"de", "zh_TW"} << "zh_TW" << 1 << 0 << "de_DE" << 1;
    // No item stands for a stored language without a file: none is shown, OK keeps it.
    QTest::newRow("no file for the stored language: kept") << QStringList{"de", "en_US"} << "fr_FR" << -1 << -1 << "fr_FR" << 0;
    QTest::newRow("no file, first item picked") << QStringList{"de", "en_US"} << "fr_FR" << -1 << 0 << "de_DE" << 1;
    QTest::newRow("no file, another picked") << QStringList{"de", "en_US"} << "fr_FR" << -1 << 1 << "en_US" << 1;
    QTest::newRow("no translation files: kept") << QStringList{} << "zh_TW" << -1 << -1 << "zh_TW" << 0;
}

void TestDialogsPrefs::languageList()
{
    QFETCH(QStringList, files);
    QFETCH(QString, stored);
    QFETCH(int, current);
    QFETCH(int, pick);
    QFETCH(QString, after);
    QFETCH(int, notices);

    // Real translation files under the row's names.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QStringList names;
    for (const QString& tag : files) {
        QVERIFY(QFile::copy(m_translators + QStringLiteral("/palvir_de_DE.qm"),
                            folder.filePath(QStringLiteral("palvir_%1.qm").arg(tag))));
        names << QLocale(tag).nativeLanguageName();
    }
    ZynApplication::SetTranslatorFolder(folder.path());
    record().locale = QLocale(stored);

    DialogSetup d;
    QComboBox* list = d.Form()->cbLanguage;
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) {
        shown << list->itemText(i);
        QCOMPARE(list->itemData(i).toLocale(), QLocale(files.at(i)));
    }
    QCOMPARE(shown, names);
    QCOMPARE(list->currentIndex(), current);
    // What is shown is what is stored: an item of its language, else nothing.
    if (current >= 0)
        QVERIFY(ZynApplication::TagMatches(ZynApplication::TranslatorTag(QStringLiteral("palvir_%1.qm").arg(files.at(current))),
                                           QLocale(stored)));
    else
        QCOMPARE(list->currentText(), QString());
    if (current < 0 && !files.isEmpty() && pick < 0)
        shoot(&d, QStringLiteral("dialog-setup-no-file-for-%1").arg(stored));
    if (pick >= 0)
        list->setCurrentIndex(pick);
    ModalResponder responder;
    click(d.Form()->buttonBox, QDialogButtonBox::Apply);
    click(d.Form()->buttonBox, QDialogButtonBox::Ok);
    QStringList expected;
    for (int i = 0; i < notices; ++i)
        expected << QStringLiteral("QMessageBox|Setup|The language has been changed, please restart Palvir to take "
                                   "effect|OK|OK");
    QCOMPARE(transcript(responder), expected);
    QCOMPARE(record().locale.name(), after);
    // The next start loads the file the dialog showed as chosen.
    record().WriteGeneralSettings();
    QSettings store;
    QCOMPARE(store.value("general/locale").toLocale().name(), after);
}

void TestDialogsPrefs::shippedLanguages()
{
    // The build's own files: English and two more, each with its territory.
    auto* app = static_cast<ZynApplication*>(QCoreApplication::instance());
    const QStringList files = app->GetTranslatorFileList();
    QVERIFY(files.contains(QStringLiteral("palvir_en_US.qm")));
    QVERIFY(files.contains(QStringLiteral("palvir_de_DE.qm")));
    QVERIFY(files.contains(QStringLiteral("palvir_zh_TW.qm")));
    record().locale = QLocale(QStringLiteral("de_DE"));
    DialogSetup d;
    QStringList shown;
    for (int i = 0; i < d.Form()->cbLanguage->count(); ++i)
        shown << d.Form()->cbLanguage->itemText(i);
    QCOMPARE(shown, (QStringList{"Deutsch", "American English", QStringLiteral("繁體中文")}));
    QCOMPARE(d.Form()->cbLanguage->currentText(), QStringLiteral("Deutsch"));

    // Each file turns the dialogs' texts into its language.
    struct Row {
        const char* locale;
        QString title;
        QString apply;
        QString notice;   // the status bar's start-up notice, the window's and the watcher's
    } rows[] = {{"de_DE", QStringLiteral("Einstellungen"), QStringLiteral("Übernehmen"),
                 QStringLiteral("Controller erscheinen im Baum, sobald sie gefunden werden.")},
                {"zh_TW", QStringLiteral("設定"), QStringLiteral("套用"), QStringLiteral("找到的控制器會顯示在樹狀清單中。")},
                {"en_US", QStringLiteral("Settings"), QStringLiteral("Apply"),
                 QStringLiteral("Controllers appear in the tree as they are found.")}};
    for (const Row& r : rows) {
        QLocale locale(QString::fromLatin1(r.locale));
        QVERIFY(app->LoadLanguage(locale));
        DialogSetup translated;
        QCOMPARE(translated.windowTitle(), r.title);
        QCOMPARE(translated.Form()->buttonBox->button(QDialogButtonBox::Apply)->text(), r.apply);
        QCOMPARE(ControllerWatcher::NoticeLine(), r.notice);
    }
    // Back to the built-in texts for the other cases.
    ZynApplication::SetTranslatorFolder(m_dir.path());
    QFile broken(m_dir.filePath(QStringLiteral("palvir_en_GB.qm")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("none");
    broken.close();
    QLocale british(QStringLiteral("en_GB"));
    QVERIFY(!app->LoadLanguage(british));
    QVERIFY(broken.remove());
}

void TestDialogsPrefs::matchingRule_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("matches");

    QTest::newRow("same name") << "zh_TW" << "zh_TW" << true;
    QTest::newRow("lower-case file") << "zh_tw" << "zh_TW" << true;
    QTest::newRow("upper-case file") << "ZH_TW" << "zh_TW" << true;
    QTest::newRow("bare de is de_DE") << "de" << "de_DE" << true;
    QTest::newRow("bare en is en_US") << "en" << "en_US" << true;
    QTest::newRow("bare de is not de_AT") << "de" << "de_AT" << false;
    QTest::newRow("bare zh is not zh_TW") << "zh" << "zh_TW" << false;
    QTest::newRow("other territory") << "en_US" << "en_GB" << false;
    QTest::newRow("other language") << "de_DE" << "fr_FR" << false;
    QTest::newRow("empty tag, C locale") << "" << "C" << false;
    QTest::newRow("no language, C locale") << "xx" << "C" << false;
}

void TestDialogsPrefs::matchingRule()
{
    QFETCH(QString, tag);
    QFETCH(QString, locale);
    QFETCH(bool, matches);
    QCOMPARE(ZynApplication::TagMatches(tag, QLocale(locale)), matches);
    QCOMPARE(ZynApplication::TranslatorTag(QStringLiteral("palvir_") + tag + QStringLiteral(".qm")), tag);
}

void TestDialogsPrefs::bareTagLoadsAtStart()
{
    // A language picked from a bare-tag file is stored with its territory and found again.
    QTemporaryDir folder;
    QVERIFY(QFile::copy(m_translators + QStringLiteral("/palvir_de_DE.qm"), folder.filePath("palvir_de.qm")));
    ZynApplication::SetTranslatorFolder(folder.path());
    auto* app = static_cast<ZynApplication*>(QCoreApplication::instance());
    QLocale german(QStringLiteral("de_DE"));
    QVERIFY(app->LoadLanguage(german));
    QCOMPARE(QCoreApplication::translate("DialogSetup", "Settings"), QStringLiteral("Einstellungen"));
    QLocale austrian(QStringLiteral("de_AT"));
    QVERIFY(!app->LoadLanguage(austrian));
    ZynApplication::SetTranslatorFolder(m_dir.path());
    QFile broken(m_dir.filePath(QStringLiteral("palvir_en_GB.qm")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("none");
    broken.close();
    QLocale british(QStringLiteral("en_GB"));
    QVERIFY(!app->LoadLanguage(british));
    QVERIFY(broken.remove());
    QCOMPARE(QCoreApplication::translate("DialogSetup", "Settings"), QStringLiteral("Settings"));
}

// ---- Scheduler ----

void TestDialogsPrefs::schedulerForm()
{
    addTask(QStringLiteral("first"), QZynTask::Weekly, 0x41, 0, QZynTask::Mail);
    addTask(QStringLiteral("second"), QZynTask::Monthly, 0, 0x08000001, QZynTask::MessageBox);
    DialogScheduler d;
    Ui_DialogScheduler* f = d.Form();
    QCOMPARE(d.windowTitle(), QStringLiteral("Scheduler"));
    QCOMPARE(d.size(), QSize(883, 725));
    QVERIFY(!d.windowIcon().isNull());
    QCOMPARE(objects(&d, {"taskTreeView", "addPushButton", "deletePushButton", "groupBoxTrigger", "radioButtonDaily",
                          "radioButtonWeekly", "radioButtonMonthly", "dateTimeEdit", "enabledCheckBox",
                          "stackedWidgetTrigger", "spinBoxDays", "spinBoxWeeks", "spinBoxMonths", "groupBoxAction",
                          "radioButtonMsgBox", "radioButtonSendmail", "radioButtonVolumecheck", "stackedWidgetAction",
                          "lineEditMsgBoxMsg", "lineEditMailSubject", "plainTextEditMailMessage",
                          "labelEmailSettings", "checkBoxIncludeRemote", "buttonGroupTriggerType",
                          "buttonGroupActionType"}),
             (QStringList{"taskTreeView:TreeViewScheduler", "addPushButton:QPushButton",
                          "deletePushButton:QPushButton", "groupBoxTrigger:QGroupBox",
                          "radioButtonDaily:QRadioButton", "radioButtonWeekly:QRadioButton",
                          "radioButtonMonthly:QRadioButton", "dateTimeEdit:QDateTimeEdit",
                          "enabledCheckBox:QCheckBox", "stackedWidgetTrigger:QStackedWidget",
                          "spinBoxDays:QSpinBox", "spinBoxWeeks:QSpinBox", "spinBoxMonths:QSpinBox",
                          "groupBoxAction:QGroupBox", "radioButtonMsgBox:QRadioButton",
                          "radioButtonSendmail:QRadioButton", "radioButtonVolumecheck:QRadioButton",
                          "stackedWidgetAction:QStackedWidget", "lineEditMsgBoxMsg:QLineEdit",
                          "lineEditMailSubject:QLineEdit", "plainTextEditMailMessage:QPlainTextEdit",
                          "labelEmailSettings:QLabel", "checkBoxIncludeRemote:QCheckBox",
                          "buttonGroupTriggerType:QButtonGroup", "buttonGroupActionType:QButtonGroup"}));
    QCOMPARE((QList<int>{f->spinBoxDays->minimum(), f->spinBoxDays->maximum(), f->spinBoxWeeks->minimum(),
                         f->spinBoxWeeks->maximum(), f->spinBoxMonths->minimum(), f->spinBoxMonths->maximum()}),
             (QList<int>{1, 99, 1, 52, 1, 12}));
    QCOMPARE(f->lineEditMsgBoxMsg->maxLength(), 256);
    QCOMPARE((QList<int>{f->buttonGroupTriggerType->id(f->radioButtonDaily),
                         f->buttonGroupTriggerType->id(f->radioButtonWeekly),
                         f->buttonGroupTriggerType->id(f->radioButtonMonthly),
                         f->buttonGroupActionType->id(f->radioButtonMsgBox),
                         f->buttonGroupActionType->id(f->radioButtonSendmail),
                         f->buttonGroupActionType->id(f->radioButtonVolumecheck)}),
             (QList<int>{0, 1, 2, 0, 1, 2}));
    QCOMPARE((QList<int>{f->taskTreeView->columnWidth(0), f->taskTreeView->columnWidth(1),
                         f->taskTreeView->columnWidth(2), f->taskTreeView->columnWidth(3)}),
             (QList<int>{100, 100, 350, 150}));
    QVERIFY(!f->taskTreeView->rootIsDecorated());
    QCOMPARE(f->labelEmailSettings->text(), QStringLiteral("<a href='agree'>Email Settings</a>"));
    QCOMPARE(buttonTexts(f->buttonBox), (QStringList{"OK", "Cancel", "Apply"}));
    {
        ModalResponder responder;
        emit f->labelEmailSettings->linkActivated(QStringLiteral("agree"));
        QCOMPARE(transcript(responder), QStringList{"DialogMailSettings|Email|"});
    }
    // The day boxes: weekdays four to a row, month days seven.
    QStringList weekdays, days;
    for (int r = 0; r < f->gridLayout_5->rowCount(); ++r)
        for (int c = 0; c < f->gridLayout_5->columnCount(); ++c)
            if (QLayoutItem* item = f->gridLayout_5->itemAtPosition(r, c))
                weekdays << QStringLiteral("%1,%2:%3").arg(r).arg(c).arg(item->widget()->objectName());
    QCOMPARE(weekdays, (QStringList{"0,0:checkBoxMonday", "0,1:checkBoxTuesday", "0,2:checkBoxWednesday",
                                    "0,3:checkBoxThursday", "1,0:checkBoxFriday", "1,1:checkBoxSaturday",
                                    "1,2:checkBoxSunday"}));
    for (int i = 0; i < 28; ++i) {
        QLayoutItem* item = f->gridLayout_2->itemAtPosition(i / 7, i % 7);
        QVERIFY(item != nullptr);
        auto* box = qobject_cast<QCheckBox*>(item->widget());
        days << box->objectName() + QLatin1Char('=') + box->text();
    }
    QCOMPARE(days.first(), QStringLiteral("checkBoxDay1=1"));
    QCOMPARE(days.at(7), QStringLiteral("checkBoxDay8=8"));
    QCOMPARE(days.last(), QStringLiteral("checkBoxDay28=28"));
    QCOMPARE(f->gridLayout_2->count(), 28);
    // The last task of the list on top, selected and shown.
    QCOMPARE(modelNames(d.Model()), (QStringList{"second", "first"}));
    QCOMPARE(d.GetCurrentTask()->name, QStringLiteral("second"));
    QVERIFY(f->radioButtonMonthly->isChecked());
    QCOMPARE(f->stackedWidgetTrigger->currentIndex(), 2);
    QVERIFY(d.findChild<QCheckBox*>("checkBoxDay1")->isChecked());
    QVERIFY(d.findChild<QCheckBox*>("checkBoxDay28")->isChecked());
    QCOMPARE(f->lineEditMsgBoxMsg->text(), QStringLiteral("old box"));
    QCOMPARE(f->dateTimeEdit->dateTime(), QDateTime(QDate(2026, 3, 4), QTime(5, 6, 0)));
    QVERIFY(f->groupBoxTrigger->isEnabled());
    shoot(&d, QStringLiteral("dialog_scheduler"));
    // A click on a trigger or action button turns the page.
    tick(f->radioButtonWeekly);
    tick(f->radioButtonVolumecheck);
    QCOMPARE(f->stackedWidgetTrigger->currentIndex(), 1);
    QCOMPARE(f->stackedWidgetAction->currentIndex(), 2);
    // The other row: a weekly mail task.
    selectRow(d, 1);
    QVERIFY(f->radioButtonWeekly->isChecked() && f->radioButtonSendmail->isChecked());
    QVERIFY(d.findChild<QCheckBox*>("checkBoxMonday")->isChecked());
    QVERIFY(d.findChild<QCheckBox*>("checkBoxSunday")->isChecked());
    QVERIFY(!d.findChild<QCheckBox*>("checkBoxTuesday")->isChecked());
    QCOMPARE(f->plainTextEditMailMessage->toPlainText(), QStringLiteral("old message"));
}

void TestDialogsPrefs::schedulerAdd_data()
{
    QTest::addColumn<int>("existing");          // tasks named t1..tN before
    QTest::addColumn<QString>("entered");       // "<cancel>" cancels the prompt
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QStringList>("rows");      // the list afterwards, top first

    const QString prompt = QStringLiteral("QInputDialog||Task name:");
    QTest::newRow("new name on top") << 1 << "backup" << QStringList{prompt} << QStringList{"backup", "t1"};
    QTest::newRow("letter case differs: accepted") << 1 << "T1" << QStringList{prompt} << QStringList{"T1", "t1"};
    QTest::newRow("blanks accepted") << 0 << "  " << QStringList{prompt} << QStringList{"  "};
    QTest::newRow("name in use") << 2 << "t2"
                                 << QStringList{prompt, warning("Warning", "Task name already exists!!")}
                                 << QStringList{"t2", "t1"};
    QTest::newRow("empty name") << 0 << "" << QStringList{prompt, warning("Warning", "Please enter task name!!")}
                                << QStringList{};
    QTest::newRow("prompt cancelled") << 1 << "<cancel>" << QStringList{prompt} << QStringList{"t1"};
    QTest::newRow("five already: no prompt") << 5 << "sixth" << QStringList{warning("Warning", "Max tasks count = 5")}
                                             << QStringList{"t5", "t4", "t3", "t2", "t1"};
}

void TestDialogsPrefs::schedulerAdd()
{
    QFETCH(int, existing);
    QFETCH(QString, entered);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, rows);

    for (int i = 1; i <= existing; ++i)
        addTask(QStringLiteral("t%1").arg(i), QZynTask::Daily, 0, 0, QZynTask::MessageBox);
    DialogScheduler d;
    QSignalSpy changes(&d, &DialogScheduler::item_changed);
    ModalResponder responder;
    if (existing >= DialogScheduler::kMaxTasks)
        responder.press(QMessageBox::Ok);
    else if (entered == QLatin1String("<cancel>"))
        responder.cancel();
    else
        responder.enter(entered);
    responder.press(QMessageBox::Ok);
    QTest::mouseClick(d.Form()->addPushButton, Qt::LeftButton);
    QCOMPARE(transcript(responder), boxes);
    QCOMPARE(modelNames(d.Model()), rows);
    QStringList listed;
    for (int i = record().scheduler.TaskCount() - 1; i >= 0; --i)
        listed << record().scheduler.GetTask(i)->name;
    QCOMPARE(listed, rows);
    const bool added = rows.size() > existing;
    QCOMPARE(changes.size(), added ? 1 : 0);
    if (added) {
        // A new task: now to the minute, daily every day, enabled, an empty message box; no timer.
        const QZynTask* t = record().scheduler.GetTask(existing);
        QCOMPARE(changes.first().at(1).toInt(), 0);
        const QString fields = snapshot(t);
        QCOMPARE(fields.mid(fields.indexOf(QLatin1String("flags="))), QStringLiteral("flags=0 type=0 op=0 trigger=01 00 00 00 00 00 00 00 box= "
                                                             "subj= msg= vol=0"));
        QCOMPARE(t->timerId, 0);
        QVERIFY(!t->next_run_time.isNull());
    }
}

void TestDialogsPrefs::schedulerApply_data()
{
    QTest::addColumn<int>("trigger");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("weekdays");     // the boxes ticked, as a mask
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QStringList>("texts"); // message-box text, subject, message
    QTest::addColumn<QString>("refusal");  // empty: applied
    QTest::addColumn<QString>("bytes");    // the stored trigger block
    QTest::addColumn<QStringList>("stored");

    const QStringList filled{"Hello", "Subject", "Body"};
    QTest::newRow("weekly without days") << 1 << 2 << 0 << 0 << 0 << filled << "Please select days!!" << "" << QStringList{};
    QTest::newRow("monthly without days") << 2 << 2 << 0x7F << 0 << 1 << filled << "Please select days!!" << ""
                                          << QStringList{};
    QTest::newRow("monthly with an empty message box: task unchanged")
        << 2 << 12 << 0 << 0x08000001 << 0 << QStringList{"", "S", "B"} << "Please input message box text!!" << ""
        << QStringList{};
    QTest::newRow("mail without subject or message: the subject only")
        << 0 << 1 << 0 << 0 << 1 << QStringList{"x", "", ""} << "Please input mail subject!!" << "" << QStringList{};
    QTest::newRow("mail without message") << 0 << 1 << 0 << 0 << 1 << QStringList{"x", "S", ""}
                                          << "Please input mail message!!" << "" << QStringList{};
    QTest::newRow("weekly Monday and Sunday every 52 weeks")
        << 1 << 52 << 0x41 << 0 << 0 << filled << "" << "34 00 41 00 10 00 00 00"
        << QStringList{"flags=0", "operation=0", "operation/msgbox=Hello", "triggertype=1"};
    QTest::newRow("monthly 1st, 15th and 28th every 2 months, mail")
        << 2 << 2 << 0 << 0x08004001 << 1 << QStringList{"", "Subject", "Line 1\nLine 2"} << ""
        << "02 00 05 00 01 40 00 08"
        << QStringList{"flags=0", "operation=1", "operation/msg=Line 1\nLine 2", "operation/subject=Subject",
                       "triggertype=2"};
    QTest::newRow("daily every 99 days, volume check with remote")
        << 0 << 99 << 0 << 0 << 2 << QStringList{"", "", ""} << "" << "63 00 05 00 10 00 00 00"
        << QStringList{"flags=4", "operation=2", "operation/checkvolume=3", "triggertype=0"};
}

void TestDialogsPrefs::schedulerApply()
{
    QFETCH(int, trigger);
    QFETCH(int, interval);
    QFETCH(int, weekdays);
    QFETCH(int, days);
    QFETCH(int, operation);
    QFETCH(QStringList, texts);
    QFETCH(QString, refusal);
    QFETCH(QString, bytes);
    QFETCH(QStringList, stored);

    QZynTask* task = addTask(QStringLiteral("edited"), QZynTask::Daily, 0x05, 0x10, QZynTask::MessageBox);
    const QString before = snapshot(task);
    DialogScheduler d;
    d.show();
    Ui_DialogScheduler* f = d.Form();
    QCOMPARE(d.GetCurrentTask(), task);
    QSignalSpy changes(&d, &DialogScheduler::item_changed);
    tick(f->buttonGroupTriggerType->button(trigger));
    tick(f->buttonGroupActionType->button(operation));
    for (int i = 0; i < 7; ++i)
        d.findChild<QCheckBox*>(QStringLiteral("checkBox") + QString::fromLatin1(daysofweekstring[i]))
            ->setChecked((weekdays >> i) & 1);
    for (int i = 0; i < 28; ++i)
        d.findChild<QCheckBox*>(QStringLiteral("checkBoxDay%1").arg(i + 1))->setChecked((days >> i) & 1);
    QSpinBox* spins[] = {f->spinBoxDays, f->spinBoxWeeks, f->spinBoxMonths};
    spins[trigger]->setValue(interval);
    f->lineEditMsgBoxMsg->setText(texts.at(0));
    f->lineEditMailSubject->setText(texts.at(1));
    f->plainTextEditMailMessage->setPlainText(texts.at(2));
    f->checkBoxIncludeRemote->setChecked(true);
    f->enabledCheckBox->setChecked(operation != QZynTask::CheckVolume);
    f->dateTimeEdit->setDateTime(QDateTime(QDate(2027, 1, 31), QTime(23, 58, 59)));

    ModalResponder responder;
    responder.press(QMessageBox::Ok);
    responder.press(QMessageBox::Ok);
    if (!refusal.isEmpty()) {
        // OK and Apply alike: one warning, the dialog open, the task as it was, no restart.
        click(f->buttonBox, QDialogButtonBox::Ok);
        click(f->buttonBox, QDialogButtonBox::Apply);
        QCOMPARE(transcript(responder), (QStringList{warning("Warning", refusal), warning("Warning", refusal)}));
        QVERIFY(d.isVisible());
        QCOMPARE(snapshot(task), before);
        QCOMPARE(task->timerId, 0);
        QCOMPARE(changes.size(), 0);
        return;
    }
    click(f->buttonBox, QDialogButtonBox::Apply);
    QCOMPARE(transcript(responder), QStringList{});
    QVERIFY(d.isVisible());
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.first().at(1).toInt(), 2);
    QVERIFY(task->timerId != 0);   // restarted
    record().WriteSchedulerSettings();
    QSettings store;
    QCOMPARE(QString::fromLatin1(store.value("scheduler/tasks/1/triggercontent").toByteArray().toHex(' ')), bytes);
    QStringList kept;
    for (const QString& line : storedKeys(QStringLiteral("scheduler/tasks/1")))
        if (line.startsWith(QLatin1String("flags")) || line.startsWith(QLatin1String("operation"))
            || line.startsWith(QLatin1String("triggertype")))
            kept << line;
    QCOMPARE(kept, stored);
    // Seconds are dropped; the other texts keep their values.
    QCOMPARE(QStringList({store.value("scheduler/tasks/1/startyear").toString(),
                          store.value("scheduler/tasks/1/startmonth").toString(),
                          store.value("scheduler/tasks/1/startday").toString(),
                          store.value("scheduler/tasks/1/starthour").toString(),
                          store.value("scheduler/tasks/1/startminute").toString()}),
             (QStringList{"2027", "1", "31", "23", "58"}));
    if (operation == QZynTask::CheckVolume)
        QCOMPARE(task->content.msgbox, QStringLiteral("old box"));
    click(f->buttonBox, QDialogButtonBox::Ok);
    QCOMPARE(d.result(), int(QDialog::Accepted));
}

void TestDialogsPrefs::schedulerDeleteFreesTheTask()
{
    QPointer<QZynTask> lower = addTask(QStringLiteral("lower"), QZynTask::Daily, 0, 0, QZynTask::MessageBox);
    QPointer<QZynTask> upper = addTask(QStringLiteral("upper"), QZynTask::Daily, 0, 0, QZynTask::MessageBox);
    DialogScheduler d;
    Ui_DialogScheduler* f = d.Form();
    QCOMPARE(d.GetCurrentTask(), upper.data());

    ModalResponder responder;
    responder.press(QMessageBox::No);
    responder.press(QMessageBox::Yes);
    responder.press(QMessageBox::Yes);
    QTest::mouseClick(f->deletePushButton, Qt::LeftButton);   // No: kept
    QCOMPARE(modelNames(d.Model()), (QStringList{"upper", "lower"}));
    QTest::mouseClick(f->deletePushButton, Qt::LeftButton);   // Yes
    QCOMPARE(modelNames(d.Model()), QStringList{"lower"});
    QCOMPARE(record().scheduler.TaskCount(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(upper.isNull(), kDeadlineMs);
    // The row below became current and is shown.
    QCOMPARE(d.GetCurrentTask(), lower.data());
    QVERIFY(f->groupBoxTrigger->isEnabled());
    QTest::mouseClick(f->deletePushButton, Qt::LeftButton);   // Yes: the last one
    QTRY_VERIFY_WITH_TIMEOUT(lower.isNull(), kDeadlineMs);
    QCOMPARE(d.Model()->rowCount(), 0);
    QCOMPARE(record().scheduler.TaskCount(), 0);
    QVERIFY(!f->groupBoxTrigger->isEnabled() && !f->groupBoxAction->isEnabled());
    const QString asked = QStringLiteral("QMessageBox|Warning|Are you sure you want to delete this task ?|&Yes,&No|&No");
    QCOMPARE(transcript(responder), (QStringList{asked, asked, asked}));
    // Nothing current: Apply does nothing, OK closes.
    click(f->buttonBox, QDialogButtonBox::Apply);
    QVERIFY(responder.seen().size() == 3);
    click(f->buttonBox, QDialogButtonBox::Ok);
    QCOMPARE(d.result(), int(QDialog::Accepted));
}

void TestDialogsPrefs::unschedulableTasksDoNotHang()
{
    // From a stored list: a type without rules and a weekly task without days.
    QZynTask* odd = addTask(QStringLiteral("odd"), QZynTask::MonthlyDateOfWeek, 0, 0, QZynTask::MessageBox);
    QZynTask* empty = addTask(QStringLiteral("empty"), QZynTask::Weekly, 0, 0, QZynTask::MessageBox);
    QZynTask* good = addTask(QStringLiteral("good"), QZynTask::Daily, 0, 0, QZynTask::MessageBox);
    DialogScheduler d;
    Ui_DialogScheduler* f = d.Form();
    QCOMPARE(d.GetCurrentTask(), good);
    QElapsedTimer took;
    took.start();
    click(f->buttonBox, QDialogButtonBox::Apply);
    QVERIFY(took.elapsed() < kDeadlineMs);
    QVERIFY(good->timerId != 0 && !good->next_run_time.isNull());
    QCOMPARE(odd->timerId, 0);
    QVERIFY(odd->next_run_time.isNull());
    QCOMPARE(empty->timerId, 0);
    QVERIFY(empty->next_run_time.isNull());
    QCOMPARE(d.Model()->index(2, 3).data().toString(), QString());   // "odd": no next run time

    // The odd task shown: the trigger controls stay as the daily task left them, and Apply gives
    // it that type.
    selectRow(d, 2);
    QCOMPARE(d.GetCurrentTask(), odd);
    QVERIFY(f->radioButtonDaily->isChecked());
    QCOMPARE(f->stackedWidgetTrigger->currentIndex(), 0);
    click(f->buttonBox, QDialogButtonBox::Apply);
    QCOMPARE(odd->triggertype, int(QZynTask::Daily));
    QVERIFY(odd->timerId != 0);
}

void TestDialogsPrefs::schedulerTextsInTheLanguage_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QStringList>("rows");       // name | trigger | details, top to bottom
    QTest::addColumn<QStringList>("weekdays");   // the weekly page's boxes

    QTest::newRow("de_DE") << "de_DE"
                           << QStringList{"two days | Wöchentlich | Um 05:06 am Montag, Sonntag, alle 3 Woche(n)",
                                          "one day | Wöchentlich | Um 05:06 am Mittwoch, alle 3 Woche(n)",
                                          "daily | Täglich | Um 03:31, alle 1 Tag(e)",
                                          "monthly | Monatlich | Um 05:06 am Tag 1, 15, 28, alle 3 Monat(e)",
                                          "by weekday | Monatlich(WOCHENTAG) | "}
                           << QStringList{"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag",
                                          "Sonntag"};
    QTest::newRow("zh_TW") << "zh_TW"
                           << QStringList{"two days | 每週 | 每 3 週的星期一、星期日 05:06",
                                          "one day | 每週 | 每 3 週的星期三 05:06",
                                          "daily | 每日 | 每 1 天的 03:31",
                                          "monthly | 每月 | 每 3 個月的第 1、15、28 日 05:06",
                                          "by weekday | 每月(依星期) | "}
                           << QStringList{"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};
    QTest::newRow("en_US") << "en_US"
                           << QStringList{"two days | Weekly | At 05:06 on Monday, Sunday of every 3 week(s)",
                                          "one day | Weekly | At 05:06 on Wednesday of every 3 week(s)",
                                          "daily | Daily | At 03:31 every 1 day(s)",
                                          "monthly | Monthly | At 05:06 on day 1, 15, 28 of every 3 month(s)",
                                          "by weekday | Monthly(DATE OF WEEK) | "}
                           << QStringList{"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday",
                                          "Sunday"};
}

void TestDialogsPrefs::schedulerTextsInTheLanguage()
{
    QFETCH(QString, tag);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, weekdays);

    // The newest task on top: added from the bottom row up.
    addTask(QStringLiteral("by weekday"), QZynTask::MonthlyDateOfWeek, 0, 0, QZynTask::MessageBox);
    addTask(QStringLiteral("monthly"), QZynTask::Monthly, 0, 0x08004001, QZynTask::Mail);
    QZynTask* daily = addTask(QStringLiteral("daily"), QZynTask::Daily, 0, 0, QZynTask::CheckVolume);
    daily->starthour = 3;
    daily->startminute = 31;
    daily->trigger.interval = 1;
    addTask(QStringLiteral("one day"), QZynTask::Weekly, 0x04, 0, QZynTask::MessageBox);
    addTask(QStringLiteral("two days"), QZynTask::Weekly, 0x41, 0, QZynTask::MessageBox);
    record().WriteSchedulerSettings();
    const QStringList storedBefore = storedKeys(QStringLiteral("scheduler"));
    QVERIFY(!storedBefore.isEmpty());

    auto* app = static_cast<ZynApplication*>(QCoreApplication::instance());
    QLocale locale(tag);
    QVERIFY(app->LoadLanguage(locale));
    {
        DialogScheduler d;
        d.show();
        QStringList shown;
        for (int r = 0; r < d.Model()->rowCount(); ++r)
            shown << QStringList{d.Model()->index(r, 0).data().toString(), d.Model()->index(r, 1).data().toString(),
                                 d.Model()->index(r, 2).data().toString()}
                         .join(QStringLiteral(" | "));
        QCOMPARE(shown, rows);
        QStringList boxes;
        for (int i = 0; i < 7; ++i)
            boxes << d.findChild<QCheckBox*>(QStringLiteral("checkBox") + QString::fromLatin1(daysofweekstring[i]))->text();
        QCOMPARE(boxes, weekdays);
        // The weekly page on show, then the current task applied from the translated form: the
        // store keeps every value as it was.
        QCOMPARE(d.GetCurrentTask()->name, QStringLiteral("two days"));
        shoot(&d, QStringLiteral("dialog_scheduler_") + tag);
        click(d.Form()->buttonBox, QDialogButtonBox::Apply);
        record().WriteSchedulerSettings();
        QCOMPARE(storedKeys(QStringLiteral("scheduler")), storedBefore);
    }
    // The other cases see the built-in texts.
    QLocale english(QStringLiteral("en_US"));
    QVERIFY(app->LoadLanguage(english));
}

// ---- The store on disk ----

void TestDialogsPrefs::storeIsTheOwnersAlone_data()
{
    QTest::addColumn<int>("before");   // the file's mode before the first write; -1: no file
    QTest::newRow("made by the first write") << -1;
    QTest::newRow("left readable by others") << 0644;
    QTest::newRow("left writable by all") << 0666;
    QTest::newRow("already the owner's") << 0600;
}

void TestDialogsPrefs::storeIsTheOwnersAlone()
{
    QFETCH(int, before);
    const mode_t umaskBefore = ::umask(022);
    const QString file = QSettings().fileName();
    QFile::remove(file);
    if (before >= 0) {
        QFile made(file);
        QVERIFY(made.open(QIODevice::WriteOnly));
        made.close();
        QCOMPARE(::chmod(QFile::encodeName(file).constData(), mode_t(before)), 0);
    }
    QZynSettings& s = record();
    s.mailpassword = QStringLiteral("first");
    s.WriteSettings();
    const QString first = modeOf(file);
    // A later write (a new file renamed over the old one) keeps it so.
    s.mailpassword = QStringLiteral("second");
    s.WriteNotificationSettings();
    const QString second = modeOf(file);
    s.WriteSchedulerSettings();
    const QString third = modeOf(file);
    ::umask(umaskBefore);
    QCOMPARE((QStringList{first, second, third}), (QStringList{"600", "600", "600"}));
    QCOMPARE(onDisk({"notification/mail/password"}), QStringList{"notification/mail/password=second"});
}

void TestDialogsPrefs::confirmedPreferencesAreStored_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("stored");   // "key=value" as the file holds them
    QTest::addColumn<QString>("blocked");      // what keeps the file from being written, if anything

    const QStringList mail{"notification/mail/server=mail.example.invalid", "notification/mail/auth=true",
                           "notification/mail/account=admin", "notification/mail/password=s3cret pw"};
    const QStringList trap{"notification/snmp/trapip1=127.0.4.9", "notification/snmp/community=private"};
    const QStringList setup{"notification/level=1", "notification/byemail=true"};
    const QStringList scheduler{"scheduler/tasks/size=1", "scheduler/tasks/1/name=nightly",
                                "scheduler/tasks/1/operation/msgbox=back up now"};
    const int ok = QDialogButtonBox::Ok;
    QTest::newRow("mail, OK") << "mail" << ok << mail << QString();
    QTest::newRow("mail, Apply") << "mail" << int(QDialogButtonBox::Apply) << mail << QString();
    QTest::newRow("SNMP trap, OK") << "trap" << ok << trap << QString();
    QTest::newRow("setup, OK") << "setup" << ok << setup << QString();
    QTest::newRow("scheduler, OK") << "scheduler" << ok << scheduler << QString();
    // The box says so; the values hold in the record all the same (written once the file can be).
    QTest::newRow("mail, Apply, a folder in the file's place") << "mail" << int(QDialogButtonBox::Apply) << mail
                                                                << "folder";
    QTest::newRow("SNMP trap, OK, a folder in the file's place") << "trap" << ok << trap << "folder";
    QTest::newRow("setup, OK, a folder in the file's place") << "setup" << ok << setup << "folder";
    // A new language takes effect at the next start: one the file does not keep is lost.
    QTest::newRow("setup, another language, OK") << "language" << ok << setup << QString();
    QTest::newRow("setup, another language, OK, a folder in the file's place") << "language" << ok << setup << "folder";
    QTest::newRow("scheduler, OK, a read-only folder") << "scheduler" << ok << scheduler << "read-only";
}

void TestDialogsPrefs::confirmedPreferencesAreStored()
{
    QFETCH(QString, dialog);
    QFETCH(int, button);
    QFETCH(QStringList, stored);
    QFETCH(QString, blocked);
    QStringList keys;
    for (const QString& line : stored)
        keys << line.section(QLatin1Char('='), 0, 0);
    QVERIFY(onDisk(keys) != stored);
    const QString file = QSettings().fileName();
    const QString folder = QFileInfo(file).absolutePath();
    if (blocked == QLatin1String("read-only") && ::geteuid() == 0)
        QSKIP("the super-user writes into a read-only folder");
    QFile::remove(file);
    if (blocked == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(file + QStringLiteral("/in the way")));
    if (blocked == QLatin1String("read-only"))
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    QString title;
    int result = -1;
    const auto answered = [&title, &result](const QDialog& d) {
        title = d.windowTitle();
        result = d.result();
    };

    ModalResponder responder;
    responder.handle([](QWidget* box) {   // a picture of the box, then its OK
        shoot(box, QStringLiteral("settings-not-saved"));
        static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    const auto which = QDialogButtonBox::StandardButton(button);
    if (dialog == QLatin1String("mail")) {
        DialogMailSettings d;
        Ui_DialogMailSettings* f = d.Form();
        f->smtpServerLineEdit->setText(QStringLiteral("mail.example.invalid"));
        f->authGroupBox->setChecked(true);
        f->smtpAuthAccountLineEdit->setText(QStringLiteral("admin"));
        f->smtpAuthPassLineEdit->setText(QStringLiteral("s3cret pw"));
        click(f->buttonBox, which);
        answered(d);
    } else if (dialog == QLatin1String("trap")) {
        DialogSNMPTrapSettings d;
        d.findChild<QLineEdit*>(QStringLiteral("ipLineEdit1"))->setText(QStringLiteral("127.0.4.9"));
        d.Form()->communityLineEdit->setText(QStringLiteral("private"));
        click(d.Form()->buttonBox, which);
        answered(d);
    } else if (dialog == QLatin1String("setup") || dialog == QLatin1String("language")) {
        DialogSetup d;
        Ui_DialogSetup* f = d.Form();
        if (dialog == QLatin1String("language"))
            f->cbLanguage->setCurrentIndex(f->cbLanguage->currentIndex() == 0 ? 1 : 0);
        f->notificationGroupBox->setChecked(true);
        f->urgentRadioButton->setChecked(true);
        f->byEmailCheckBox->setChecked(true);
        click(f->buttonBox, which);
        answered(d);
    } else {
        addTask(QStringLiteral("nightly"), QZynTask::Daily, 0, 0, QZynTask::MessageBox);
        DialogScheduler d;
        d.show();
        d.Form()->lineEditMsgBoxMsg->setText(QStringLiteral("back up now"));
        click(d.Form()->buttonBox, which);
        answered(d);
    }
    // OK closes the dialog either way.
    QCOMPARE(result, which == QDialogButtonBox::Ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
    const QString refused = "The settings could not be saved in " + file
                            + ". The new values stay in force until the program ends.";
    const QString lost = "The settings could not be saved in " + file + ". The language you chose is lost: it would "
                         "take effect only after a restart. The other new values stay in force until the program ends.";
    const bool language = dialog == QLatin1String("language");
    const QStringList restart{warning("Setup", "The language has been changed, please restart Palvir to take effect")};
    QCOMPARE(transcript(responder), blocked.isEmpty() ? (language ? restart : QStringList{})
                                                      : QStringList{warning(title, language ? lost : refused)});
    if (!blocked.isEmpty()) {
        QVERIFY(QDir(file).removeRecursively() && ::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
        record().WriteSettings();
    }
    // On disk at once: the program has not ended.
    QCOMPARE(onDisk(keys), stored);
}

int main(int argc, char** argv)
{
    ZynApplication app(argc, argv);
    TestDialogsPrefs test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dialogs_prefs.moc"
