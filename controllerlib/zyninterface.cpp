#include "zyninterface.h"

#include <atomic>
#include <cerrno>
#include <time.h>

namespace {
std::atomic<int> g_pollIntervalUs{10000};
}

void ZynInterface::setPollIntervalMicroseconds(int us)
{
    g_pollIntervalUs.store(us > 0 ? us : 1);
}

int ZynInterface::pollIntervalMicroseconds()
{
    return g_pollIntervalUs.load();
}

void ZynInterface::pollSleep()
{
    const int us = pollIntervalMicroseconds();
    timespec ts{us / 1000000, long(us % 1000000) * 1000};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}
