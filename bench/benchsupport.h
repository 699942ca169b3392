// What the polling benchmark and its soak share: the simulated controllers' model, the
// process's memory and the threads' CPU time.
#pragma once

#include "watcher/eventwatcher.h"

#include <QEventLoop>
#include <QTimer>

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

namespace bench {

// Resident memory of this process in KiB.
inline long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// What the allocator has handed out and not taken back, over every arena, in KiB.
inline long heapInUseKiB()
{
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
}

// Simulated controllers of one run: on loopback addresses from 127.0.x.10 on.
constexpr int kMaxControllers = 240;

// Disk slots of each simulated controller in raid sets (older family: channels 0 .. 31;
// enclosure family: enclosures 0 and 1, 16 slots each).
constexpr int kMemberDisks = 32;
constexpr int kSlotsPerEnclosure = 16;
constexpr int kRaidSets = 8;
constexpr int kVolumesPerRaidSet = 2;
constexpr const char* kDiskCapacity = "7814037168";

// 32 disks in 8 raid sets of 4 with 2 volume sets each; `freeDisks` more disks in the slots
// after them, in no raid set.
inline std::string modelConfig(bool enclosureFamily, int freeDisks = 0)
{
    const int disks = kMemberDisks + freeDisks;
    std::string text;
    if (enclosureFamily) {
        const int lastSlots = kSlotsPerEnclosure + freeDisks;
        text += "enclosure 0 slots " + std::to_string(kSlotsPerEnclosure) + "\nenclosure 1 slots "
              + std::to_string(lastSlots) + "\n";
    } else {
        text += "controller channels " + std::to_string(disks) + "\n";
    }
    for (int d = 0; d < disks; ++d) {
        const int e = enclosureFamily ? std::min(d / kSlotsPerEnclosure, 1) : 0;
        const int s = enclosureFamily ? d - e * kSlotsPerEnclosure : d;
        text += "disk " + std::to_string(e) + " " + std::to_string(s) + " capacity " + kDiskCapacity + "\n";
    }
    for (int r = 0; r < kRaidSets; ++r) {
        text += "raidset \"RS" + std::to_string(r) + "\" disks";
        for (int m = 0; m < 4; ++m) {
            const int d = r * 4 + m;
            text += enclosureFamily ? " " + std::to_string(d / kSlotsPerEnclosure) + ":" + std::to_string(d % kSlotsPerEnclosure)
                                    : " " + std::to_string(d);
        }
        text += "\n";
        for (int v = 0; v < kVolumesPerRaidSet; ++v)
            text += "volume \"V" + std::to_string(r * kVolumesPerRaidSet + v) + "\" raidset " + std::to_string(r)
                  + " capacity 1000000000 level 3 state 0\n";
    }
    return text;
}

// The CPU time of the polling worker's thread, read on that thread.
inline double threadCpuSeconds(QZynPoller* poller)
{
    auto* worker = dynamic_cast<ControllerEventWatcherThread*>(poller);
    double seconds = 0;
    QMetaObject::invokeMethod(
        worker,
        [&seconds] {
            timespec ts{};
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
            seconds = double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
        },
        Qt::BlockingQueuedConnection);
    return seconds;
}

// The CPU time of the calling thread.
inline double ownCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Runs the calling thread's event loop for `ms`.
inline void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace bench
