#include "helper/syslogsink.h"

#include <atomic>
#include <syslog.h>

namespace {

SysLogSink g_systemLog;
std::atomic<SysLogSink*> g_current{nullptr};

} // namespace

void SysLogSink::write(int priority, const QByteArray& text)
{
    ::syslog(priority, "%s", text.constData());
}

SysLogSink* SysLogSink::Current()
{
    SysLogSink* sink = g_current.load();
    return sink != nullptr ? sink : &g_systemLog;
}

void SysLogSink::Install(SysLogSink* sink)
{
    g_current.store(sink);
}
