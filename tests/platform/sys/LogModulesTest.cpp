// Two modules, each with its own copy of SharedLog, loaded with RTLD_LOCAL
// into one process: the agreement goes through the process, not through
// shared C++ globals.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/sys/SystemInfo.h"
#include "tests/platform/sys/TestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using Probe = const char* (*)();

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "<unset>";
}

TEST(LogModulesTest, SecondModuleAdoptsTheFirstModulesName) {
  labelplu::test::TempDir dir;
  ::setenv("LABELPLU_LOG_ROOT", dir.File("root").c_str(), 1);
  ::setenv("XDG_STATE_HOME", dir.File("state").c_str(), 1);
  const std::string bin = labelplu::test::BinDir();

  void* a = ::dlopen((bin + "/log_probe_a.plu").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(a, nullptr) << ::dlerror();
  void* b = ::dlopen((bin + "/log_probe_b.plu").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(b, nullptr) << ::dlerror();
  auto nameA = reinterpret_cast<Probe>(::dlsym(a, "ProbeLogFileName"));
  auto nameB = reinterpret_cast<Probe>(::dlsym(b, "ProbeLogFileName"));
  ASSERT_NE(nameA, nullptr);
  ASSERT_NE(nameB, nullptr);
  ASSERT_NE(nameA, nameB) << "the two modules must be separate copies";

  const std::string expected = dir.File("root") + "/X9Equipment/LOGs/log_probe_a_" +
                               labelplu::sys::ComputerName() + "_" +
                               std::to_string(labelplu::sys::SessionNumber()) + ".log";
  EXPECT_EQ(std::string(nameA()), expected);
  EXPECT_EQ(std::string(nameB()), expected);
  EXPECT_EQ(Env("LABELPLU_BASELOG_FILE"), expected);

  using Shutdown = void (*)();
  auto shutdownA = reinterpret_cast<Shutdown>(::dlsym(a, "ProbeShutdown"));
  auto shutdownB = reinterpret_cast<Shutdown>(::dlsym(b, "ProbeShutdown"));
  ASSERT_NE(shutdownA, nullptr);
  ASSERT_NE(shutdownB, nullptr);
  shutdownB();
  EXPECT_EQ(Env("LABELPLU_BASELOG_FILE"), expected) << "only the first module withdraws the name";
  shutdownA();
  EXPECT_EQ(Env("LABELPLU_BASELOG_FILE"), "<unset>");
  char marker[64];
  std::snprintf(marker, sizeof marker, "LABELPLU_BASELOG_HOST_%06X",
                static_cast<unsigned>(::getpid()));
  EXPECT_EQ(Env(marker), "<unset>");
  ::dlclose(b);
  ::dlclose(a);
}

}  // namespace
