#include "lockfile.h"

#include "posixfs.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Open-file-description locks: they belong to the descriptor's open file, not to the process, so
// the kernel never takes two processes whose threads wait on each other's slots for a deadlock
// (classic record locks report EDEADLK then), and two descriptors opened on one slot within a
// process exclude each other as well. l_pid must stay 0 for them.
bool setLock(int fd, short type, int command)
{
    if (fd < 0)
        return false;
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;  // the whole file, however long it gets
    for (;;) {
        if (::fcntl(fd, command, &fl) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

std::string ZynLockFile::directory()
{
    const char* dir = std::getenv("ZYNMSR_LOCK_DIR");
    if (dir && *dir && std::strlen(dir) < PATH_MAX)
        return dir;
    return "/run/lock/DUNMO";
}

std::string ZynLockFile::path(int index)
{
    if (index < 0)
        return std::string();
    return directory() + "/zynmsr" + std::to_string(index);
}

int ZynLockFile::open(int index)
{
    if (index < 0)
        return -1;
    const std::string dir = directory();
    if (!posixfs::makeDirectories(dir, 0755))
        return -1;
    const std::string file = path(index);
    int fd;
    do {
        fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool ZynLockFile::lock(int fd)
{
    return setLock(fd, F_WRLCK, F_OFD_SETLKW);
}

bool ZynLockFile::unlock(int fd)
{
    return setLock(fd, F_UNLCK, F_OFD_SETLK);
}
