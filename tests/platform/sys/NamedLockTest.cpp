#include "platform/sys/NamedLock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>

namespace labelplu::sys {
namespace {

std::string UniqueName(const char* what) {
  return std::string("labelplu.test.") + what + "." + std::to_string(::getpid());
}

TEST(NamedLockTest, OneHolderAtATime) {
  const std::string name = UniqueName("one");
  NamedLock a(name), b(name);
  EXPECT_TRUE(a.TryAcquire());
  EXPECT_TRUE(a.TryAcquire());  // already held
  EXPECT_FALSE(b.TryAcquire());
  EXPECT_FALSE(b.Held());
  a.Release();
  EXPECT_TRUE(b.TryAcquire());
  {
    NamedLock c(name + ".other");
    EXPECT_TRUE(c.TryAcquire());  // names are independent
  }
  b.Release();
  {
    NamedLock scoped(name);
    EXPECT_TRUE(scoped.TryAcquire());
  }
  EXPECT_TRUE(a.TryAcquire());  // the destructor released it
}

TEST(NamedLockTest, AcquireWaitsForTheHolder) {
  const std::string name = UniqueName("wait");
  NamedLock holder(name), waiter(name);
  ASSERT_TRUE(holder.TryAcquire());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(waiter.Acquire(40));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
  holder.Release();
  EXPECT_TRUE(waiter.Acquire(40));
}

TEST(NamedLockTest, OtherProcessesSeeTheHolderAndItsEnd) {
  const std::string name = UniqueName("process");
  NamedLock holder(name);
  ASSERT_TRUE(holder.TryAcquire());
  auto childTakes = [&name] {
    const pid_t child = ::fork();
    if (child == 0) {
      NamedLock lock(name);
      ::_exit(lock.TryAcquire() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
  };
  EXPECT_FALSE(childTakes());
  holder.Release();
  EXPECT_TRUE(childTakes());
}

TEST(NamedLockTest, NamesMustFit) {
  EXPECT_THROW(NamedLock(""), std::invalid_argument);
  EXPECT_THROW(NamedLock(std::string(108, 'n')), std::invalid_argument);
  NamedLock longest(UniqueName("x") + std::string(107 - UniqueName("x").size(), 'n'));
  EXPECT_TRUE(longest.TryAcquire());
}

}  // namespace
}  // namespace labelplu::sys
