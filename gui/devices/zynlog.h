// A log line for the main window: sent by pointer with LogMessage(QZynLog*); the sender
// allocates it, the receiver deletes it.
#pragma once

#include <QString>
#include <QtGlobal>

class QZynLog {
public:
    enum Flag : quint32 {
        StatusBar = 2,   // show the text in the status bar
        LogList = 4,     // add a row at the top of the log list
    };

    QZynLog() = default;
    QZynLog(quint32 flags, quint32 source, quint32 level, const QString& text)
        : flags(flags), source(source), level(level), text(text) {}

    quint32 flags = 0;
    quint32 source = 0;   // device-kind code whose name fills the source column
    quint32 level = 0;    // an event level (QZynEvent::Level): 2 error, 3 warning, 4 information, else urgent
    QString text;
};
