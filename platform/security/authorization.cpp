#include "security/authorization.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

struct security::AuthorizationOpaqueRef {
    std::string helper;
};

namespace security {

namespace {

// Link targets are read in a buffer that doubles up to this size.
constexpr size_t kFirstLinkBuffer = 256;
constexpr size_t kMaxLinkBytes = 1 << 16;
// At most this many arguments are passed on.
constexpr size_t kMaxArguments = 256;
constexpr const char* kSelfLink = "/proc/self/exe";

bool isRegularFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The helper: the path in the environment variable, else "pkexec" in PATH; empty when none.
std::string findHelper()
{
    const char* named = std::getenv(kHelperVariable);
    if (named && *named)
        return isRegularFile(named) ? std::string(named) : std::string();
    const char* path = std::getenv("PATH");
    if (!path)
        return {};
    const std::string dirs(path);
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty()) {
            const std::string candidate = dir + "/" + kHelperName;
            if (isRegularFile(candidate) && ::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

} // namespace

OSStatus AuthorizationCreate(const AuthorizationRights* rights, const void* /*environment*/,
                             AuthorizationFlags flags, AuthorizationRef* authorization)
{
    if (!authorization)
        return errAuthorizationInvalidPointer;
    *authorization = nullptr;
    if (!rights || rights->count != 1 || !rights->items || !rights->items[0].name
        || std::strcmp(rights->items[0].name, kAuthorizationRightExecute) != 0)
        return errAuthorizationInvalidSet;
    // The credentials are asked for; without interaction they cannot be.
    if (!(flags & kAuthorizationFlagInteractionAllowed) || !(flags & kAuthorizationFlagExtendRights))
        return errAuthorizationDenied;
    std::string helper = findHelper();
    if (helper.empty())
        return errAuthorizationDenied;
    *authorization = new AuthorizationOpaqueRef{std::move(helper)};
    return errAuthorizationSuccess;
}

OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags /*flags*/)
{
    if (!authorization)
        return errAuthorizationInvalidRef;
    delete authorization;
    return errAuthorizationSuccess;
}

OSStatus AuthorizationExecuteWithPrivileges(AuthorizationRef authorization, const char* path,
                                            AuthorizationFlags /*options*/, char* const* arguments,
                                            FILE** communicationsPipe)
{
    if (!authorization)
        return errAuthorizationInvalidRef;
    if (!path || communicationsPipe)
        return errAuthorizationInvalidPointer;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(authorization->helper.c_str()));
    argv.push_back(const_cast<char*>(path));
    for (size_t i = 0; arguments && arguments[i]; ++i) {
        if (i == kMaxArguments)
            return errAuthorizationInvalidSet;
        argv.push_back(arguments[i]);
    }
    argv.push_back(nullptr);

    pid_t child = -1;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return errAuthorizationToolExecuteFailure;
    int status = 0;
    pid_t done = -1;
    do {
        done = ::waitpid(child, &status, 0);
    } while (done < 0 && errno == EINTR);
    if (done != child)
        return errAuthorizationToolExecuteFailure;
    if (WIFEXITED(status) && WEXITSTATUS(status) == kHelperDismissed)
        return errAuthorizationCanceled;
    if (WIFEXITED(status) && WEXITSTATUS(status) == kHelperRefused)
        return errAuthorizationDenied;
    // The program ran; how it ended is its own affair.
    return errAuthorizationSuccess;
}

bool ReadLinkTarget(const char* link, std::string* target, int* error)
{
    for (size_t size = kFirstLinkBuffer; size <= kMaxLinkBytes; size *= 2) {
        std::vector<char> buffer(size);
        const ssize_t got = ::readlink(link, buffer.data(), buffer.size());
        if (got < 0) {
            if (error)
                *error = errno;
            return false;
        }
        // readlink does not terminate, and a full buffer may hold a cut target: read again.
        if (size_t(got) < buffer.size()) {
            target->assign(buffer.data(), size_t(got));
            return true;
        }
    }
    if (error)
        *error = ENAMETOOLONG;
    return false;
}

bool ExecutablePath(std::string* path, int* error)
{
    return ReadLinkTarget(kSelfLink, path, error);
}

} // namespace security
