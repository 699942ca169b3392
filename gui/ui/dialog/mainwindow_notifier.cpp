// The event notifier: each new event of an online controller becomes a log row, a
// configuration report when it is grave, and the notices the user has switched on.
#include "ui/dialog/mainwindow.h"

#include "devices/controller.h"
#include "devices/event.h"
#include "devices/settings.h"
#include "devices/sysinfo.h"
#include "helper/logfile.h"
#include "helper/syslogsink.h"
#include "smtp/smtp.h"
#include "snmp/snmp.h"

#include <QDebug>
#include <QFile>
#include <QHostAddress>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <algorithm>

#include <syslog.h>

namespace {

// The level names, by level; a level outside the table is named as level 0.
const char* const eventWLevel[] = {"DISABLE", "URGENT", "SERIOUS", "WARNING", "INFORMATIONAL"};
constexpr int kLevels = int(sizeof eventWLevel / sizeof eventWLevel[0]);

const char* levelName(int level)
{
    return level >= 0 && level < kLevels ? eventWLevel[level] : eventWLevel[QZynEvent::LevelNone];
}

// The system log's priority of a level; level 0 and any level outside the table count as urgent.
int syslogPriority(int level)
{
    switch (level) {
    case QZynEvent::Serious:
        return LOG_ERR;
    case QZynEvent::Warning:
        return LOG_WARNING;
    case QZynEvent::Informational:
        return LOG_INFO;
    default:
        return LOG_CRIT;
    }
}

// How grave a notice is, a lower value graver: level 0 and any level outside the table count as
// urgent, as in the system log.
int gravity(int level)
{
    return level >= QZynEvent::Serious && level <= QZynEvent::Informational ? level : int(QZynEvent::Urgent);
}

// Texts that leave the program carry no NUL: a receiver would cut them there.
QString withoutNul(QString text)
{
    return text.remove(QChar(0));
}

// How long a mail may take, in milliseconds.
constexpr int kMailTimeoutMs = 300000;
// The trap code of an event: its class times this, plus its code within the class.
constexpr int kTrapClassFactor = 128;
constexpr int kTrapManagers = 3;
constexpr int kRecipients = 3;
// Notices waiting behind the notifier's box that its next box counts instead of showing, and
// the waiting notices kept: the one the next box shows and the one that may get a box of its own.
// Once more come than are kept the next box counts all but one, so from then on only the
// gravest is kept among them.
constexpr qint64 kCountedNotices = 2;
constexpr size_t kKeptNotices = 2;

} // namespace

void MainWindow::SendMail(const QZynSettings& settings, const QString& subject, const QString& body, QFile& attachment)
{
    // The mail object ends itself when its dialogue ends.
    auto* smtp = new Smtp(settings.mailaccount, settings.mailpassword, settings.mailserver, settings.mailport,
                          kMailTimeoutMs);
    smtp->setSSL(settings.mailssl);
    QStringList recipients;
    for (int i = 0; i < kRecipients; ++i)
        if (!settings.recipients[i].isEmpty())
            recipients << settings.recipients[i];
    smtp->sendMail(settings.senderaddr, recipients, subject, body, attachment);
}

void MainWindow::Notifier(QZynEvent* event)
{
    if (event == nullptr || event->GetOwner() == nullptr)
        return;
    QZynController* controller = event->GetOwner();
    const QZynSettings* settings = QZynSettings::Application();
    const int level = event->GetLevel();
    const int notifyLevel = settings != nullptr ? settings->level : QZynEvent::LevelNone;

    // Only an online controller's new events; the log it held when it connected stays quiet.
    if (controller->GetState() != QZynController::StateOnline || event->IsFromLoad())
        return;

    const QString model = controller->GetSysInfo()->GetModelName();
    const QString where = controller->GetConnectionType() == QZynController::ConnectionEthernet
                              ? controller->GetSysInfo()->GetIPAddressString()
                              : QStringLiteral("LocalHost");
    const QString source = model + tr("(%0)").arg(where);
    const QString message = event->GetDateText() + QLatin1Char(' ') + event->GetDeviceText() + QLatin1Char(' ')
                            + event->GetEventText();
    InsertLogRow(level, source, message);

    // The report a mail attaches: only one written whole.
    QString report;
    if (level <= QZynEvent::Serious) {
        QLogFile file(controller, event);
        const int rc = file.SaveRaidCfgIntoLogFile();
        if (rc == int(ZYN_OK))
            report = file.GetFileName();
        else
            qDebug("No report of this event (result %d): an alert mail goes without one", rc);
    }

    if (settings == nullptr || notifyLevel == QZynEvent::LevelNone || level > notifyLevel)
        return;
    const QString notice = source + QStringLiteral(": ") + message;
    const QString sent = withoutNul(notice);

    if (settings->byemail) {
        QFile attachment(settings->attachlogfile ? report : tr(""));
        const QString subject = tr("RaidAlert-%0(%1)").arg(QLatin1String(levelName(level)), withoutNul(model));
        SendMail(*settings, subject, sent, attachment);
        qDebug("%s", qUtf8Printable(tr("Mail RaidAlert-%0(%1) %2").arg(QLatin1String(levelName(level)), model, notice)));
    }

    if (settings->bysnmptrap) {
        SNMP snmp;
        const sEVET_DATA record = event->GetRecord();
        const int specific = int(record.eventClass()) * kTrapClassFactor + int(record.code());
        for (int i = 0; i < kTrapManagers; ++i)
            snmp.SendTrap(sent, specific, QHostAddress(settings->trapip[i]), settings->trapport[i], settings->community);
    }

    if (settings->bymessage)
        QueueNoticeBox(level, notice);

    if (settings->bysystemlog)
        SysLogSink::Current()->write(syslogPriority(level), sent.toUtf8());
}

void MainWindow::QueueNoticeBox(int level, const QString& notice)
{
    const bool idle = m_noticeBox == nullptr && m_notices.empty();
    // However long the box stays open, what waits stays small: the rest is only counted, but a
    // notice graver than every one kept takes the place of one of them.
    if (m_notices.size() < kKeptNotices) {
        m_notices.push_back({level, notice});
    } else {
        ++m_noticesBehind;
        if (std::all_of(m_notices.begin(), m_notices.end(),
                        [level](const Notice& kept) { return gravity(level) < gravity(kept.level); }))
            m_notices.back() = {level, notice};
    }
    if (idle)
        ShowNextNoticeBox();
}

void MainWindow::ShowNextNoticeBox()
{
    if (m_noticeBox != nullptr || m_notices.empty() || m_shutDown)
        return;
    // The gravest waiting notice, the earliest of its level.
    const auto gravest = std::min_element(m_notices.begin(), m_notices.end(), [](const Notice& a, const Notice& b) {
        return gravity(a.level) < gravity(b.level);
    });
    const Notice shown = *gravest;
    m_notices.erase(gravest);
    const QMessageBox::Icon icon = shown.level == QZynEvent::Informational ? QMessageBox::Information
                                   : shown.level == QZynEvent::Warning     ? QMessageBox::Warning
                                                                           : QMessageBox::Critical;
    // The box does not wait in an event loop of its own: events keep coming in under it (log
    // rows, reports, the other notices) and no box ever opens inside another.
    m_noticeBox = std::make_unique<QMessageBox>(icon, QStringLiteral("Palvir"), shown.text, QMessageBox::Ok);
    m_noticeBox->setWindowModality(Qt::ApplicationModal);
    // Those waiting behind are counted in this box, unless a single one waits: it gets its own.
    const qint64 behind = qint64(m_notices.size()) + m_noticesBehind;
    if (behind >= kCountedNotices) {
        m_noticeBox->setInformativeText(tr("And %1 more events.").arg(behind));
        m_notices.clear();
        m_noticesBehind = 0;
    }
    connect(m_noticeBox.get(), &QDialog::finished, this, [this] {
        m_noticeBox.release()->deleteLater();
        QTimer::singleShot(0, this, &MainWindow::ShowNextNoticeBox);
    });
    m_noticeBox->show();
}
