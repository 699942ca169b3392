#include "cfrunloop.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace cf {

struct RunLoop {
    std::mutex mutex;
    std::vector<CFRunLoopSourceRef> sources;
    QPointer<QEventLoop> running;
    bool stopRequested = false;

    void perform()
    {
        std::vector<CFRunLoopSourceRef> now;
        {
            std::lock_guard<std::mutex> lock(mutex);
            now = sources;
        }
        for (CFRunLoopSourceRef source : now)
            if (source != nullptr && source->perform)
                source->perform();
    }
};

namespace {

constexpr int kSourceIntervalMs = 100;

} // namespace

CFRunLoopRef CFRunLoopGetCurrent()
{
    thread_local std::unique_ptr<RunLoop> loop = std::make_unique<RunLoop>();
    return loop.get();
}

void CFRunLoopAddSource(CFRunLoopRef loop, CFRunLoopSourceRef source, CFStringRef)
{
    if (loop == nullptr || source == nullptr)
        return;
    std::lock_guard<std::mutex> lock(loop->mutex);
    if (std::find(loop->sources.begin(), loop->sources.end(), source) == loop->sources.end())
        loop->sources.push_back(source);
}

void CFRunLoopRemoveSource(CFRunLoopRef loop, CFRunLoopSourceRef source, CFStringRef)
{
    if (loop == nullptr)
        return;
    std::lock_guard<std::mutex> lock(loop->mutex);
    loop->sources.erase(std::remove(loop->sources.begin(), loop->sources.end(), source), loop->sources.end());
}

CFRunLoopRunResult CFRunLoopRunInMode(CFStringRef, double seconds, bool)
{
    RunLoop* loop = CFRunLoopGetCurrent();
    QEventLoop events;
    {
        std::lock_guard<std::mutex> lock(loop->mutex);
        if (loop->stopRequested) {
            loop->stopRequested = false;
            return kCFRunLoopRunStopped;
        }
        loop->running = &events;
    }
    loop->perform();
    QTimer tick;
    tick.setInterval(kSourceIntervalMs);
    QObject::connect(&tick, &QTimer::timeout, &events, [loop] { loop->perform(); });
    tick.start();
    bool timedOut = false;
    QTimer::singleShot(int(std::max(0.0, seconds) * 1000), &events, [&events, &timedOut] {
        timedOut = true;
        events.quit();
    });
    events.exec();
    std::lock_guard<std::mutex> lock(loop->mutex);
    loop->running = nullptr;
    loop->stopRequested = false;
    return timedOut ? kCFRunLoopRunTimedOut : kCFRunLoopRunStopped;
}

void CFRunLoopStop(CFRunLoopRef loop)
{
    if (loop == nullptr)
        return;
    std::lock_guard<std::mutex> lock(loop->mutex);
    if (loop->running)
        QMetaObject::invokeMethod(loop->running.data(), "quit", Qt::QueuedConnection);
    else
        loop->stopRequested = true;
}

} // namespace cf
