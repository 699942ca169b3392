#include "posixfs.h"

#include <cerrno>
#include <sys/stat.h>

namespace posixfs {

bool makeDirectories(const std::string& path, unsigned mode)
{
    if (path.empty())
        return false;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        const std::string part = path.substr(0, pos);
        if (part.empty() || part == "/")
            continue;
        if (::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace posixfs
