// The soak of the polling benchmark: many controllers polled for a long time while their
// simulated counterparts log events and change disks, with the program's memory over time.
#pragma once

namespace bench {

constexpr int kSoakSeconds = 600;
constexpr int kSoakControllers = 32;

// Starts the simulated controllers in a process of their own, so that what the soak measures
// is the program alone. Call it before the application object exists (no thread runs yet).
// False when the process could not be started or the controllers could not be made.
bool startSoakSimulator(int controllers);
// Runs the soak on the application's thread and prints its report; the exit code.
int runSoak(int seconds, int controllers);

} // namespace bench
