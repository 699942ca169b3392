#include "devices/settings.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <atomic>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The store numbers the entries of an array from 1.
constexpr int kFirstArrayEntry = 1;

// A locale stored as plain text ("zh_TW") is that locale; a stored locale value is itself.
QLocale localeOf(const QVariant& value)
{
    if (value.type() == QVariant::String || value.type() == QVariant::ByteArray)
        return QLocale(value.toString());
    return value.toLocale();
}

// Passwords are never written to the log.
const char* const kHidden = "***";

// The group of the language and the account keys. Where the store is an INI file, the toolkit
// writes this group as the section [%General] and a later process reads that section back as
// "General/..."; a [general] or [General] section written by hand is read as keys of no group.
// The keys are written in the program's own spelling and looked up in each of these.
const QLatin1String kGeneral("general/");
const QLatin1String kGeneralReadBack("General/");

QVariant generalValue(const QSettings& store, const char* name, const QVariant& absent)
{
    const QString key = QLatin1String(name);
    for (const QString& spelling : {kGeneral + key, kGeneralReadBack + key, key})
        if (store.contains(spelling))
            return store.value(spelling);
    return absent;
}

// The store holds the mail password in clear: its file is its owner's alone.
constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;
constexpr mode_t kOthers = S_IRWXG | S_IRWXO;

// Called before every write. The toolkit rewrites the store through a new file that it gives
// the permissions of the file it replaces (until then, the owner's alone), and makes a missing
// file as the process's umask says: so the file is made here, the owner's alone, before the
// first write, and a file an earlier version left readable by others is made the owner's.
void keepStoreOwnersAlone()
{
    const QSettings store;
    const QFileInfo file(store.fileName());
    if (!file.isAbsolute())
        return;
    QDir().mkpath(file.absolutePath());
    const QByteArray path = QFile::encodeName(file.absoluteFilePath());
    // No link is followed; a name that is not a regular file is not touched.
    const int fd = ::open(path.constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, kOwnerOnly);
    if (fd < 0) {
        qWarning("settings store: cannot make %s", path.constData());
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & kOthers) != 0 &&
        ::fchmod(fd, info.st_mode & S_IRWXU) != 0)
        qWarning("settings store: cannot make %s its owner's alone", path.constData());
    ::close(fd);
}

// Puts what `store` holds on disk; false when it could not be read or written.
bool written(QSettings& store)
{
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace

namespace {
std::atomic<QZynSettings*> applicationSettings{nullptr};
}   // namespace

QZynSettings* QZynSettings::Application()
{
    return applicationSettings.load();
}

void QZynSettings::SetApplication(QZynSettings* settings)
{
    applicationSettings.store(settings);
}

QZynSettings::QZynSettings()
    : locale(QLocale::system())
{
}

QZynSettings::~QZynSettings()
{
    // The tasks were made for this record (by the reader or the scheduler dialog); the
    // scheduler does not own them, the record does.
    while (scheduler.TaskCount() > 0)
        delete scheduler.RemoveTask(0);
}

void QZynSettings::ReadSettings()
{
    ReadGeneralSettings();
    ReadNetworkSettings();
    ReadNotificationSettings();
    ReadSchedulerSettings();
}

bool QZynSettings::WriteSettings()
{
    // Each group is tried, whatever the one before it did.
    const bool general = WriteGeneralSettings();
    const bool notification = WriteNotificationSettings();
    const bool scheduler = WriteSchedulerSettings();
    return general && notification && scheduler;
}

QString QZynSettings::StoreFileName()
{
    return QSettings().fileName();
}

void QZynSettings::ReadGeneralSettings()
{
    QSettings store;
    locale = localeOf(generalValue(store, "locale", QLocale(QStringLiteral("en"))));
    needpass = generalValue(store, "needpass", false).toBool();
    account = generalValue(store, "account", QString()).toString();
    password = generalValue(store, "password", QString()).toString();
    qDebug() << "general/locale" << locale;
    qDebug() << "general/needpass" << needpass;
    qDebug() << "general/account" << account;
    qDebug() << "general/password" << kHidden;
}

void QZynSettings::ReadNetworkSettings()
{
    QSettings store;
    retrycount = store.value("network/retrycount", 3).toInt();
    timeout = store.value("network/timeout", 40).toInt();
    pollinginterval = store.value("network/pollinginterval", 1).toInt();
    qDebug() << "network/retrycount" << retrycount;
    qDebug() << "network/timeout" << timeout;
    qDebug() << "network/pollinginterval" << pollinginterval;
}

void QZynSettings::ReadNotificationSettings()
{
    QSettings store;
    level = store.value("notification/level", false).toInt();
    mailserver = store.value("notification/mail/server", QString()).toString();
    mailport = store.value("notification/mail/port", 25).toInt();
    sendername = store.value("notification/mail/sendername", QString()).toString();
    senderaddr = store.value("notification/mail/senderaddr", QString()).toString();
    for (int i = 0; i < 3; ++i)
        recipients[i] = store.value(QStringLiteral("notification/mail/recepient%1").arg(i + 1), QString()).toString();
    mailauth = store.value("notification/mail/auth", false).toBool();
    mailssl = store.value("notification/mail/ssl", false).toBool();
    mailaccount = store.value("notification/mail/account", QString()).toString();
    mailpassword = store.value("notification/mail/password", QString()).toString();
    byemail = store.value("notification/byemail", false).toBool();
    attachlogfile = store.value("notification/mail/attachlogfile", false).toBool();
    for (int i = 0; i < 3; ++i)
        trapip[i] = store.value(QStringLiteral("notification/snmp/trapip%1").arg(i + 1), QStringLiteral("192.168.0.0")).toString();
    for (int i = 0; i < 3; ++i)
        trapport[i] = store.value(QStringLiteral("notification/snmp/trapport%1").arg(i + 1), 162).toInt();
    community = store.value("notification/snmp/community", QStringLiteral("kestro")).toString();
    bysnmptrap = store.value("notification/snmp/bysnmptrap", false).toBool();
    bymessage = store.value("notification/bymessage", false).toBool();
    bysystemlog = store.value("notification/bysystemlog", false).toBool();

    qDebug() << "notification/level" << level;
    qDebug() << "notification/mail/server" << mailserver;
    qDebug() << "notification/mail/port" << mailport;
    qDebug() << "notification/mail/sendername" << sendername;
    qDebug() << "notification/mail/senderaddr" << senderaddr;
    for (int i = 0; i < 3; ++i)
        qDebug() << qPrintable(QStringLiteral("notification/mail/recepient%1").arg(i + 1)) << recipients[i];
    qDebug() << "notification/mail/auth" << mailauth;
    qDebug() << "notification/mail/ssl" << mailssl;
    qDebug() << "notification/mail/account" << mailaccount;
    qDebug() << "notification/mail/password" << kHidden;
    qDebug() << "notification/bymessage" << bymessage;
    qDebug() << "notification/bysystemlog" << bysystemlog;
    qDebug() << "notification/mail/attachlogfile" << attachlogfile;
    for (int i = 0; i < 3; ++i)
        qDebug() << qPrintable(QStringLiteral("notification/snmp/trapip%1").arg(i + 1)) << trapip[i];
    for (int i = 0; i < 3; ++i)
        qDebug() << qPrintable(QStringLiteral("notification/snmp/trapport%1").arg(i + 1)) << trapport[i];
    qDebug() << "notification/snmp/community" << community;
}

void QZynSettings::ReadSchedulerSettings()
{
    QSettings store;
    const int count = store.beginReadArray("scheduler/tasks");
    // The stored size is no promise (a damaged or hand-made store may say any number): the
    // entries present within it are read in their order, and no more than the scheduler holds.
    // An index without keys is no entry and makes no task.
    std::vector<int> present;
    for (const QString& group : store.childGroups()) {
        bool number = false;
        const int index = group.toInt(&number) - kFirstArrayEntry;
        if (number && index >= 0 && index < count && group == QString::number(index + kFirstArrayEntry))
            present.push_back(index);
    }
    std::sort(present.begin(), present.end());
    for (int i : present) {
        if (scheduler.TaskCount() >= QZynScheduler::kMaxTasks)
            break;
        store.setArrayIndex(i);
        if (store.allKeys().isEmpty())
            continue;
        auto* task = new QZynTask(store.value("name").toString(), nullptr);
        task->startyear = quint16(store.value("startyear").toInt());
        task->startmonth = quint16(store.value("startmonth").toInt());
        task->startday = quint16(store.value("startday").toInt());
        task->starthour = quint16(store.value("starthour").toInt());
        task->startminute = quint16(store.value("startminute").toInt());
        task->endyear = quint16(store.value("endyear").toInt());
        task->endmonth = quint16(store.value("endmonth").toInt());
        task->endday = quint16(store.value("endday").toInt());
        task->flags = quint16(store.value("flags").toInt());
        task->triggertype = store.value("triggertype").toInt();
        task->SetTriggerBytes(store.value("triggercontent").toByteArray());
        task->operation = store.value("operation").toInt();
        switch (task->operation) {
        case QZynTask::CheckVolume:
            task->content.checkvolume = store.value("operation/checkvolume").toInt();
            break;
        case QZynTask::Mail:
            task->content.subject = store.value("operation/subject").toString();
            task->content.msg = store.value("operation/msg").toString();
            break;
        case QZynTask::MessageBox:
            task->content.msgbox = store.value("operation/msgbox").toString();
            break;
        default:
            break;
        }
        scheduler.AddTask(task);
    }
    store.endArray();
}

bool QZynSettings::WriteGeneralSettings()
{
    keepStoreOwnersAlone();
    QSettings store;
    // The spelling a later process reads back goes, so that one value is left.
    store.remove(kGeneralReadBack + QLatin1String("locale"));
    store.setValue(kGeneral + QLatin1String("locale"), locale);
    return written(store);
}

bool QZynSettings::WriteNotificationSettings()
{
    keepStoreOwnersAlone();
    QSettings store;
    store.setValue("notification/level", level);
    store.setValue("notification/mail/server", mailserver);
    store.setValue("notification/mail/port", mailport);
    store.setValue("notification/mail/sendername", sendername);
    store.setValue("notification/mail/senderaddr", senderaddr);
    for (int i = 0; i < 3; ++i)
        store.setValue(QStringLiteral("notification/mail/recepient%1").arg(i + 1), recipients[i]);
    store.setValue("notification/mail/auth", mailauth);
    store.setValue("notification/mail/ssl", mailssl);
    store.setValue("notification/mail/account", mailaccount);
    store.setValue("notification/mail/password", mailpassword);
    store.setValue("notification/mail/attachlogfile", attachlogfile);
    store.setValue("notification/byemail", byemail);
    store.setValue("notification/bymessage", bymessage);
    store.setValue("notification/bysystemlog", bysystemlog);
    for (int i = 0; i < 3; ++i)
        store.setValue(QStringLiteral("notification/snmp/trapip%1").arg(i + 1), trapip[i]);
    for (int i = 0; i < 3; ++i)
        store.setValue(QStringLiteral("notification/snmp/trapport%1").arg(i + 1), trapport[i]);
    store.setValue("notification/snmp/community", community);
    store.setValue("notification/snmp/bysnmptrap", bysnmptrap);
    return written(store);
}

bool QZynSettings::WriteSchedulerSettings()
{
    keepStoreOwnersAlone();
    QSettings store;
    store.beginWriteArray("scheduler/tasks");
    for (int i = 0; i < scheduler.TaskCount(); ++i) {
        const QZynTask* task = scheduler.GetTask(i);
        store.setArrayIndex(i);
        store.setValue("name", task->name);
        store.setValue("startyear", int(task->startyear));
        store.setValue("startmonth", int(task->startmonth));
        store.setValue("startday", int(task->startday));
        store.setValue("starthour", int(task->starthour));
        store.setValue("startminute", int(task->startminute));
        store.setValue("endyear", int(task->endyear));
        store.setValue("endmonth", int(task->endmonth));
        store.setValue("endday", int(task->endday));
        store.setValue("flags", int(task->flags));
        store.setValue("triggertype", task->triggertype);
        store.setValue("triggercontent", task->TriggerBytes());
        store.setValue("operation", task->operation);
        switch (task->operation) {
        case QZynTask::CheckVolume:
            store.setValue("operation/checkvolume", uint(task->content.checkvolume));
            break;
        case QZynTask::Mail:
            store.setValue("operation/subject", task->content.subject);
            store.setValue("operation/msg", task->content.msg);
            break;
        case QZynTask::MessageBox:
            store.setValue("operation/msgbox", task->content.msgbox);
            break;
        default:
            break;
        }
    }
    store.endArray();
    return written(store);
}
