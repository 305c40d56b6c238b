#include "platform/sys/ModulePath.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/platform/sys/TestSupport.h"
#include "tests/support/TempDir.h"

namespace labelplu::sys {
namespace {

namespace fs = std::filesystem;

TEST(ModulePathTest, InTheExecutableNamesTheExecutable) {
  const std::string exe = fs::canonical("/proc/self/exe").string();
  EXPECT_EQ(ProgramPath(), exe);
  EXPECT_EQ(ModulePath(false), exe);
  EXPECT_EQ(ModulePath(true), "lp_sys_test");
  EXPECT_EQ(ModuleDirectory(), fs::path(exe).parent_path().string() + "/");
}

// Loaded through a symbolic link, the module still names its real file.
TEST(ModulePathTest, InsideAModuleNamesTheModuleFile) {
  const std::string real = fs::canonical(test::BinDir() + "/sys_probe.plu");
  test::TempDir dir;
  fs::create_symlink(real, dir.File("alias.plu"));
  void* module = ::dlopen(dir.File("alias.plu").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << ::dlerror();
  auto probe = reinterpret_cast<const char* (*)(bool)>(::dlsym(module, "ProbeModulePath"));
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(std::string(probe(false)), real);
  EXPECT_EQ(std::string(probe(true)), "sys_probe");
  ::dlclose(module);
}

TEST(ModulePathTest, PathParts) {
  const struct {
    const char* path;
    const char* dir;
    const char* name;
    const char* stem;
  } cases[] = {
      {"/opt/x/labelplu.plu", "/opt/x/", "labelplu.plu", "labelplu"},
      {"labelplu.plu", "", "labelplu.plu", "labelplu"},
      {"/a.b/c.d.e", "/a.b/", "c.d.e", "c.d"},
      {"/a.b/noext", "/a.b/", "noext", "noext"},
      {"/home/u/.hidden", "/home/u/", ".hidden", ".hidden"},
      {"/dir/", "/dir/", "", ""},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ExtractFileDir(c.path), c.dir);
    EXPECT_EQ(ExtractFileName(c.path), c.name);
    EXPECT_EQ(FileNameWithoutExtension(c.path), c.stem);
  }
}

}  // namespace
}  // namespace labelplu::sys
