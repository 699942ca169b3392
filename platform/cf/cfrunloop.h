// Stand-in for the run loops of the macOS core foundation, which Linux lacks: a thread's run
// loop is its Qt event loop, run for a slice of time, and performs the sources added to it
// (notification ports of iokit.h) every 100 ms while it runs.
#pragma once

#include "iokit/iokit.h"

namespace cf {

struct RunLoop;
using CFRunLoopRef = RunLoop*;
using CFRunLoopSourceRef = iokit::RunLoopSource*;
using CFStringRef = const char*;

constexpr CFStringRef kCFRunLoopDefaultMode = "kCFRunLoopDefaultMode";
constexpr CFStringRef kCFRunLoopCommonModes = "kCFRunLoopCommonModes";

enum CFRunLoopRunResult { kCFRunLoopRunFinished = 1, kCFRunLoopRunStopped = 2, kCFRunLoopRunTimedOut = 3 };

// The calling thread's run loop (made on first use, lives as long as the thread).
CFRunLoopRef CFRunLoopGetCurrent();
// Modes are accepted and not told apart.
void CFRunLoopAddSource(CFRunLoopRef loop, CFRunLoopSourceRef source, CFStringRef mode);
void CFRunLoopRemoveSource(CFRunLoopRef loop, CFRunLoopSourceRef source, CFStringRef mode);
// Runs the calling thread's loop for `seconds`: kCFRunLoopRunTimedOut when the time is up,
// kCFRunLoopRunStopped when CFRunLoopStop ended it.
CFRunLoopRunResult CFRunLoopRunInMode(CFStringRef mode, double seconds, bool returnAfterSourceHandled);
// Ends the loop's current run; from any thread.
void CFRunLoopStop(CFRunLoopRef loop);

} // namespace cf
