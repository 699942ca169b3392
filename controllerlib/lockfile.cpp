#include "lockfile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool makeDirectories(const std::string& path)
{
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        const std::string part = path.substr(0, pos);
        if (part.empty() || part == "/")
            continue;
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

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
    if (!makeDirectories(dir))
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
    return setLock(fd, F_WRLCK, F_SETLKW);
}

bool ZynLockFile::unlock(int fd)
{
    return setLock(fd, F_UNLCK, F_SETLK);
}
