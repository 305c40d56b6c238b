#include "platform/sys/SystemInfo.h"

#include <pwd.h>
#include <sys/syscall.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace labelplu::sys {

std::string ComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

int32_t SessionNumber(pid_t (*getSessionId)(pid_t)) {
  const pid_t sid = getSessionId != nullptr ? getSessionId(0) : ::getsid(0);
  return sid < 0 ? kNoSessionNumber : static_cast<int32_t>(sid);
}

uint32_t CurrentThreadId() {
  return static_cast<uint32_t>(::syscall(SYS_gettid));
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return home;
  const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(hint > 0 ? static_cast<size_t>(hint) : 4096);
  passwd entry{};
  passwd* found = nullptr;
  int rc;
  while ((rc = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
         buffer.size() < (1u << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  if (rc != 0 || found == nullptr || found->pw_dir == nullptr) return {};
  return found->pw_dir;
}

std::string StateFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return state;
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.local/state";
}

}  // namespace labelplu::sys
