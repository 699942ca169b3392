// The authorisation service the program asks for administrator rights, on Linux: polkit's
// pkexec runs the program again as the super-user once the user has given an administrator's
// credentials. The calls keep the shape the program's start-up expects: create an authorisation
// for one right, then run a program with it.
//
// pkexec asks for the credentials while it starts the program, on the terminal it was started
// from or through the desktop's agent, so the authorisation is settled only by the run itself:
// AuthorizationCreate checks the right and that the helper is there, and
// AuthorizationExecuteWithPrivileges runs the helper and waits for it, telling a refused or
// cancelled authorisation apart from a run that could not start.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace security {

using OSStatus = int32_t;

constexpr OSStatus errAuthorizationSuccess = 0;
constexpr OSStatus errAuthorizationInvalidSet = -60001;      // a rights set other than the one right
constexpr OSStatus errAuthorizationInvalidRef = -60002;
constexpr OSStatus errAuthorizationInvalidPointer = -60004;
constexpr OSStatus errAuthorizationDenied = -60005;          // no way to ask, or not authorised
constexpr OSStatus errAuthorizationCanceled = -60006;        // the user dismissed the prompt
constexpr OSStatus errAuthorizationToolExecuteFailure = -60031;   // the program could not be run

using AuthorizationFlags = uint32_t;
constexpr AuthorizationFlags kAuthorizationFlagDefaults = 0;
constexpr AuthorizationFlags kAuthorizationFlagInteractionAllowed = 1;
constexpr AuthorizationFlags kAuthorizationFlagExtendRights = 2;

// The one right there is: to run a program as the super-user.
constexpr const char* kAuthorizationRightExecute = "system.privilege.admin";

struct AuthorizationItem {
    const char* name;
    size_t valueLength;
    void* value;
    uint32_t flags;
};

struct AuthorizationRights {
    uint32_t count;
    AuthorizationItem* items;
};

struct AuthorizationOpaqueRef;
using AuthorizationRef = AuthorizationOpaqueRef*;

// The environment variable naming the helper that runs a program as the super-user (a path);
// when unset, "pkexec" is looked up in PATH.
constexpr const char* kHelperVariable = "PALVIR_PKEXEC";
constexpr const char* kHelperName = "pkexec";

// The helper's own exit codes (pkexec(1)): the prompt was dismissed; not authorised, or an
// error before the program ran.
constexpr int kHelperDismissed = 126;
constexpr int kHelperRefused = 127;

// Creates an authorisation for `rights`, which must be the one right above. Fails with
// errAuthorizationDenied when the user cannot be asked (interaction not allowed, or no helper).
OSStatus AuthorizationCreate(const AuthorizationRights* rights, const void* environment,
                             AuthorizationFlags flags, AuthorizationRef* authorization);
OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags flags);

// Runs `path` with `arguments` (a null-terminated list, or null for none) as the super-user
// through the helper and waits until it ends. errAuthorizationCanceled or
// errAuthorizationDenied when the helper did not authorise the run,
// errAuthorizationToolExecuteFailure when the helper could not be started. No communications
// pipe is offered: `communicationsPipe` must be null.
OSStatus AuthorizationExecuteWithPrivileges(AuthorizationRef authorization, const char* path,
                                            AuthorizationFlags options, char* const* arguments,
                                            FILE** communicationsPipe);

// The target of the symbolic link `link`, whole (no length limit); false with errno's value in
// `error` when it cannot be read.
bool ReadLinkTarget(const char* link, std::string* target, int* error);

// The running program's full path (from /proc/self/exe); false with `error` set on failure.
bool ExecutablePath(std::string* path, int* error);

} // namespace security
