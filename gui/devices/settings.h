// The program's preferences record and its settings store.
#pragma once

#include "devices/scheduler.h"

#include <QLocale>
#include <QString>

class QZynSettings {
public:
    QZynSettings();
    // Deletes the tasks its scheduler still lists.
    ~QZynSettings();
    QZynSettings(const QZynSettings&) = delete;
    QZynSettings& operator=(const QZynSettings&) = delete;

    // The application's settings record: the one the application object holds, which it names
    // here when it is made and withdraws when it goes; null while there is no application object.
    static QZynSettings* Application();
    static void SetApplication(QZynSettings* settings);

    // The groups of the store (QSettings of the application's organisation and name), each
    // with a store object of its own; the network group and the general account keys are
    // only read. Each write is on disk when it returns: false when the store could not be
    // written (the record keeps its values either way). WriteSettings writes every group.
    void ReadSettings();
    bool WriteSettings();
    void ReadGeneralSettings();
    void ReadNetworkSettings();
    void ReadNotificationSettings();
    void ReadSchedulerSettings();
    bool WriteGeneralSettings();
    bool WriteNetworkSettings() { return true; }
    bool WriteNotificationSettings();
    bool WriteSchedulerSettings();
    // The file of the store.
    static QString StoreFileName();

    QLocale locale;
    bool needpass = false;
    QString account;
    QString password;
    int timeout = 40;
    int retrycount = 3;
    int pollinginterval = 1;
    int level = 0;
    bool byemail = false;
    QString mailserver;
    int mailport = 25;
    QString sendername;
    QString senderaddr;
    QString recipients[3];
    bool mailauth = false;
    bool mailssl = false;
    QString mailaccount;
    QString mailpassword;
    bool attachlogfile = false;
    bool bysnmptrap = false;
    QString trapip[3];
    int trapport[3] = {162, 162, 162};
    QString community;
    bool bymessage = false;
    bool bysystemlog = false;
    QZynScheduler scheduler;
};
