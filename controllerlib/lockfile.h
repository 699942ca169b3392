// The per-slot lock file that serialises exchanges with one controller slot between
// processes: "<folder>/zynmsr<index>", folder $ZYNMSR_LOCK_DIR or /run/lock/DUNMO.
#pragma once

#include <string>

class ZynLockFile {
public:
    static std::string directory();
    // Path of the slot's lock file; empty for a negative index.
    static std::string path(int index);

    // Creates the folder when missing (0755) and opens the slot's file (0600, never through a
    // symbolic link). The descriptor, or -1.
    static int open(int index);
    // Exclusive write lock on the whole file, waiting for it; interrupted waits are resumed. The
    // lock belongs to the descriptor's open file: other processes and other descriptors of this
    // process wait for it, threads sharing the one descriptor do not (they need a lock of their
    // own around it).
    static bool lock(int fd);
    static bool unlock(int fd);
};
