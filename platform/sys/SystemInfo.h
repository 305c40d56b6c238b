// labelplu: facts about the machine, the session and the user.
#ifndef LABELPLU_PLATFORM_SYS_SYSTEMINFO_H
#define LABELPLU_PLATFORM_SYS_SYSTEMINFO_H

#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace labelplu::sys {

// The number used when the session cannot be had.
inline constexpr int32_t kNoSessionNumber = 9999;

// The host name (gethostname); empty when the system does not tell.
std::string ComputerName();

// The session of the calling process: getSessionId(0), which is getsid by
// default (the session leader's process id); kNoSessionNumber when it fails.
// The parameter is a seam for tests.
int32_t SessionNumber(pid_t (*getSessionId)(pid_t) = &::getsid);

// The kernel's id of the calling thread (gettid).
uint32_t CurrentThreadId();

// The user's home folder: $HOME when set and not empty, else the password
// database's entry of the real user; empty when neither tells. No trailing "/".
std::string HomeFolder();

// The folder for state data such as logs: $XDG_STATE_HOME when it is an
// absolute path, else HomeFolder() + "/.local/state" (the XDG default).
// Empty when there is no home folder either. No trailing "/".
std::string StateFolder();

}  // namespace labelplu::sys

#endif  // LABELPLU_PLATFORM_SYS_SYSTEMINFO_H
