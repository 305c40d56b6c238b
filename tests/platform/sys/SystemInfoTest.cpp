#include "platform/sys/SystemInfo.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/syscall.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <thread>

namespace labelplu::sys {
namespace {

// Sets or unsets an environment variable for the scope of a test.
class EnvGuard {
 public:
  EnvGuard(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~EnvGuard() {
    if (m_old) {
      ::setenv(m_name, m_old->c_str(), 1);
    } else {
      ::unsetenv(m_name);
    }
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

pid_t FailingGetsid(pid_t) {
  errno = ENOSYS;
  return -1;
}

TEST(SystemInfoTest, MachineSessionAndThread) {
  char host[HOST_NAME_MAX + 1] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  EXPECT_EQ(ComputerName(), host);

  EXPECT_EQ(SessionNumber(), ::getsid(0));
  EXPECT_EQ(SessionNumber(&FailingGetsid), kNoSessionNumber);
  EXPECT_EQ(kNoSessionNumber, 9999);

  const uint32_t mine = CurrentThreadId();
  EXPECT_EQ(mine, static_cast<uint32_t>(::syscall(SYS_gettid)));
  uint32_t other = mine;
  std::thread([&] { other = CurrentThreadId(); }).join();
  EXPECT_NE(other, mine);
}

TEST(SystemInfoTest, HomeAndStateFolders) {
  const passwd* user = ::getpwuid(::getuid());
  ASSERT_NE(user, nullptr);
  const std::string account = user->pw_dir;
  const struct {
    const char* home;
    const char* state;
    std::string wantHome, wantState;
  } cases[] = {
      {"/h/one", "/s/state", "/h/one", "/s/state"},
      {"/h/one", nullptr, "/h/one", "/h/one/.local/state"},
      {"/h/one", "", "/h/one", "/h/one/.local/state"},
      {"/h/one", "relative/state", "/h/one", "/h/one/.local/state"},
      {nullptr, nullptr, account, account + "/.local/state"},
      {"", "/s/x", account, "/s/x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.home ? c.home : "(unset)") + " " + (c.state ? c.state : "(unset)"));
    EnvGuard home("HOME", c.home);
    EnvGuard state("XDG_STATE_HOME", c.state);
    EXPECT_EQ(HomeFolder(), c.wantHome);
    EXPECT_EQ(StateFolder(), c.wantState);
  }
}

}  // namespace
}  // namespace labelplu::sys
