#include "platform/sys/BindFunction.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "tests/platform/sys/TestSupport.h"

namespace labelplu::sys {
namespace {

std::string ErrorOf(const char* library, const char* function) {
  int (*slot)() = nullptr;
  try {
    BindFunction(slot, library, function);
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(slot, nullptr);
    return e.what();
  }
  return "no error";
}

TEST(BindFunctionTest, BindsFromALoadedLibrary) {
  pid_t (*getPid)() = nullptr;
  BindFunction(getPid, "libc.so.6", "getpid");
  ASSERT_NE(getPid, nullptr);
  EXPECT_EQ(getPid(), ::getpid());
}

TEST(BindFunctionTest, LoadsALibraryNotYetLoaded) {
  const std::string path = test::BinDir() + "/sys_probe.plu";
  ASSERT_EQ(::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
  const char* (*probe)(bool) = nullptr;
  BindFunction(probe, path.c_str(), "ProbeModulePath");
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(std::string(probe(true)), "sys_probe");
  void* loaded = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  EXPECT_NE(loaded, nullptr);
  if (loaded != nullptr) ::dlclose(loaded);
}

TEST(BindFunctionTest, ASetSlotIsLeftAlone) {
  pid_t (*slot)() = &::getpid;
  EXPECT_NO_THROW(BindFunction(slot, "libnothing-here.so.9", "nothing"));
  EXPECT_EQ(slot, &::getpid);
}

TEST(BindFunctionTest, FailuresNameWhatIsMissing) {
  EXPECT_EQ(ErrorOf("libnothing-here.so.9", "f"), "Library not found: libnothing-here.so.9");
  EXPECT_EQ(ErrorOf("libc.so.6", "no_such_function_here"),
            "Function not found: libc.so.6.no_such_function_here");
  EXPECT_EQ(ErrorOf("", "getpid"), "Library not found: ");
  EXPECT_EQ(ErrorOf("libc.so.6", ""), "Function not found: libc.so.6.");
}

}  // namespace
}  // namespace labelplu::sys
