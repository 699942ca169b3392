// Where the program's system-log records go: the system log (syslog(3)) unless another sink
// has been installed (tests install one that records).
#pragma once

#include <QByteArray>

class SysLogSink {
public:
    virtual ~SysLogSink() = default;
    // Logs `text` unchanged (it is never read as a format) at `priority` (LOG_CRIT, ...).
    virtual void write(int priority, const QByteArray& text);

    // The sink in use; never null.
    static SysLogSink* Current();
    // Installs `sink` (not owned; null: the system log again).
    static void Install(SysLogSink* sink);
};
