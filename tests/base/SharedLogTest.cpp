#include "base/SharedLog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/sys/ModulePath.h"
#include "platform/sys/SystemInfo.h"
#include "tests/support/TempDir.h"

namespace labelplu {
namespace {

namespace fs = std::filesystem;

class EnvGuard {
 public:
  EnvGuard(std::string name, const char* value) : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str())) m_old = old;
    if (value != nullptr) {
      ::setenv(m_name.c_str(), value, 1);
    } else {
      ::unsetenv(m_name.c_str());
    }
  }
  ~EnvGuard() {
    if (m_old) {
      ::setenv(m_name.c_str(), m_old->c_str(), 1);
    } else {
      ::unsetenv(m_name.c_str());
    }
  }

 private:
  std::string m_name;
  std::optional<std::string> m_old;
};

std::string Env(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? value : "<unset>";
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

pid_t FailingGetsid(pid_t) {
  errno = ENOSYS;
  return -1;
}

std::string Tail() {
  return "_" + sys::ComputerName() + "_" + std::to_string(sys::SessionNumber()) + ".log";
}

// Every test starts as a fresh process would: no marker, nothing published,
// and both candidate folders inside a temporary folder.
class SharedLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_guards.push_back(std::make_unique<EnvGuard>(BaseLogHostMarker(::getpid()), nullptr));
    m_guards.push_back(std::make_unique<EnvGuard>(kBaseLogFileVariable, nullptr));
    m_guards.push_back(std::make_unique<EnvGuard>(kBaseLogRootVariable, Root().c_str()));
    m_guards.push_back(std::make_unique<EnvGuard>("XDG_STATE_HOME", (m_dir + "/state").c_str()));
  }
  void TearDown() override { m_guards.clear(); }

  std::string Root() const { return m_dir + "/root"; }
  std::string RootLogs() const { return Root() + "/X9Equipment/LOGs/"; }
  std::string StateLogs() const { return m_dir + "/state/X9Equipment/LOGs/"; }

  const test::TempDir m_folder;
  const std::string m_dir = m_folder.Path().string();
  std::vector<std::unique_ptr<EnvGuard>> m_guards;
};

TEST_F(SharedLogTest, FirstModuleSettlesAndLaterModulesAdopt) {
  SharedLog first;
  first.Init("/opt/equipment/moda.plu");
  EXPECT_TRUE(first.IsFirst());
  const std::string name = RootLogs() + "moda" + Tail();
  EXPECT_EQ(first.FileName(), name);
  EXPECT_EQ(first.FolderPath(), RootLogs());
  EXPECT_EQ(ModeOf(RootLogs()), 01777u) << "the LOGs folder is open to all, with the sticky bit";
  EXPECT_EQ(Env(kBaseLogFileVariable), name);
  EXPECT_EQ(Env(BaseLogHostMarker(::getpid())), "moda");

  // The second module adopts the name and leaves the folder alone, even
  // when it is told of another root.
  ASSERT_EQ(::chmod(RootLogs().c_str(), 0700), 0);
  SharedLogOptions elsewhere;
  elsewhere.LogRoot = m_dir + "/other";
  SharedLog second(elsewhere);
  second.Init("modb.plu");
  second.Init("modc.plu");  // only the first call counts
  EXPECT_FALSE(second.IsFirst());
  EXPECT_EQ(second.FileName(), name);
  EXPECT_EQ(ModeOf(RootLogs()), 0700u);
  EXPECT_FALSE(fs::exists(m_dir + "/other"));

  // The first module withdraws what it published; the adopter keeps its copy.
  first.Shutdown();
  EXPECT_EQ(Env(kBaseLogFileVariable), "<unset>");
  EXPECT_EQ(Env(BaseLogHostMarker(::getpid())), "<unset>");
  EXPECT_EQ(second.FileName(), name);
}

TEST_F(SharedLogTest, AdopterCreatesTheFolderOnlyWhenAskedForIt) {
  SharedLog first;
  first.Init("moda.plu");
  fs::remove_all(Root());
  SharedLog second;
  second.Init("modb.plu");
  EXPECT_FALSE(fs::exists(RootLogs()));
  EXPECT_EQ(second.FolderPath(), RootLogs());
  EXPECT_TRUE(fs::is_directory(RootLogs()));
}

// The first folder cannot exist here (a file is in its way), so the user's
// state folder is used; it is created but not opened to other users.
TEST_F(SharedLogTest, FallsBackToTheStateFolder) {
  std::ofstream(m_dir + "/blocker") << "x";
  SharedLogOptions options;
  options.LogRoot = m_dir + "/blocker";
  SharedLog log(options);
  log.Init("moda.plu");
  EXPECT_EQ(log.FileName(), StateLogs() + "moda" + Tail());
  EXPECT_TRUE(fs::is_directory(StateLogs()));
  EXPECT_EQ(ModeOf(StateLogs()) & 01002, 0u) << "no world-writable folder in the user's home";
}

TEST_F(SharedLogTest, FolderModeDependsOnWhoOwnsIt) {
  fs::create_directories(RootLogs());
  ASSERT_EQ(::chmod(RootLogs().c_str(), 0755), 0);
  {
    SharedLog owned;
    owned.Init("moda.plu");
    EXPECT_EQ(ModeOf(RootLogs()), 01777u) << "a folder we own is opened";
  }
  if (::geteuid() == 0) {  // only root can hand the folder to somebody else
    ASSERT_EQ(::chmod(RootLogs().c_str(), 0777), 0);
    ASSERT_EQ(::chown(RootLogs().c_str(), 65534, 65534), 0);
    SharedLog foreign;
    foreign.Init("moda.plu");
    EXPECT_EQ(ModeOf(RootLogs()), 0777u) << "somebody else's folder is left as it is";
  }
}

TEST_F(SharedLogTest, SessionNumberFallsBackTo9999) {
  SharedLogOptions options;
  options.GetSessionId = &FailingGetsid;
  SharedLog log(options);
  log.Init("moda.plu");
  EXPECT_EQ(log.FileName(), RootLogs() + "moda_" + sys::ComputerName() + "_9999.log");
}

TEST_F(SharedLogTest, NothingPublishedMeansTheProgramsFolder) {
  EnvGuard marker(BaseLogHostMarker(::getpid()), "foreign");
  SharedLog log;
  log.Init("moda.plu");
  EXPECT_FALSE(log.IsFirst());
  const std::string program = sys::ProgramPath();
  EXPECT_EQ(log.FileName(),
            sys::ExtractFileDir(program) + sys::FileNameWithoutExtension(program) + Tail());
  EXPECT_FALSE(fs::exists(Root()));
}

// A child process inherits the parent's variables but is a host of its
// own: its first module settles the child's name, whether it starts afresh
// or carries a copy of the parent's module state (fork without exec).
TEST_F(SharedLogTest, ChildProcessesSettleTheirOwnName) {
  SharedLog parentModule;
  parentModule.Init("moda.plu");
  const std::string parentName = parentModule.FileName();
  const pid_t child = ::fork();
  if (child == 0) {
    int failures = 0;
    SharedLog fresh;
    fresh.Init("child.plu");
    if (!fresh.IsFirst()) failures |= 1;
    if (fresh.FileName() != RootLogs() + "child" + Tail()) failures |= 2;
    fresh.Shutdown();
    if (parentModule.FileName() != parentName || !parentModule.IsFirst()) failures |= 4;
    if (std::getenv(BaseLogHostMarker(::getpid()).c_str()) == nullptr) failures |= 8;
    ::_exit(failures);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Env(kBaseLogFileVariable), parentName);
}

TEST_F(SharedLogTest, ModulesStartingTogetherAgreeOnOneFirst) {
  constexpr int kModules = 6;
  for (int round = 0; round < 20; ++round) {
    std::vector<std::unique_ptr<SharedLog>> modules;
    modules.reserve(kModules);
    for (int i = 0; i < kModules; ++i) modules.push_back(std::make_unique<SharedLog>());
    std::atomic<int> ready = 0;
    std::vector<std::thread> threads;
    threads.reserve(kModules);
    for (int i = 0; i < kModules; ++i) {
      threads.emplace_back([&, i] {
        ++ready;
        while (ready < kModules) std::this_thread::yield();
        modules[static_cast<size_t>(i)]->Init("mod" + std::to_string(i) + ".plu");
      });
    }
    for (auto& t : threads) t.join();
    int firsts = 0;
    for (auto& m : modules) {
      firsts += m->IsFirst();
      EXPECT_EQ(m->FileName(), modules[0]->FileName());
    }
    ASSERT_EQ(firsts, 1) << "round " << round;
    modules.clear();
    ASSERT_EQ(Env(BaseLogHostMarker(::getpid())), "<unset>");
  }
}

TEST_F(SharedLogTest, ModuleFunctions) {
  ShutdownLogLocation();  // whatever earlier tests of this process did
  InitLogLocation("/usr/lib/x/freemod.plu");
  InitLogLocation("/usr/lib/x/ignored.plu");
  EXPECT_EQ(LogFileName(), RootLogs() + "freemod" + Tail());
  EXPECT_EQ(LogFolderPath(), RootLogs());
  ShutdownLogLocation();
  EXPECT_EQ(Env(kBaseLogFileVariable), "<unset>");
  // Asked before any Init, the module names itself.
  EXPECT_EQ(LogFileName(), RootLogs() + sys::ModulePath(true) + Tail());
  ShutdownLogLocation();
}

TEST(SharedLogNameTest, LongNamesAreCutInTheModulePart) {
  const std::string tail = "_host_42.log";
  const std::string folder = "/var/log/X9Equipment/LOGs/";
  EXPECT_EQ(ComposeLogFileName(folder, "moda", "host", 42), folder + "moda" + tail);
  EXPECT_EQ(ComposeLogFileName(folder, "m", "a/b", 1), folder + "m_a_b_1.log");

  // The file name part stays within 255 bytes, cut between characters.
  const std::string cyrillic = [] {
    std::string s;
    for (int i = 0; i < 200; ++i) s += "Ж";  // 2 bytes each
    return s;
  }();
  for (const std::string& stem : {std::string(300, 'a'), "xy" + cyrillic}) {
    const std::string name = ComposeLogFileName(folder, stem, "host", 42);
    const std::string file = name.substr(folder.size());
    EXPECT_LE(file.size(), 255u);
    EXPECT_GE(file.size(), 254u);
    EXPECT_EQ(file.substr(file.size() - tail.size()), tail);
    EXPECT_EQ(stem.compare(0, file.size() - tail.size(), file, 0, file.size() - tail.size()), 0);
    EXPECT_NE(static_cast<unsigned char>(file[file.size() - tail.size() - 1]), 0xD0);
  }

  // The whole path stays within 4095 bytes.
  const std::string deep = "/" + std::string(4000, 'd') + "/";
  const std::string name = ComposeLogFileName(deep, std::string(200, 'a'), "host", 42);
  EXPECT_EQ(name.size(), 4095u);
  EXPECT_EQ(name.substr(name.size() - tail.size()), tail);
  const std::string tooDeep = "/" + std::string(5000, 'd') + "/";
  EXPECT_EQ(ComposeLogFileName(tooDeep, "a", "host", 42).size(), 4095u);
}

}  // namespace
}  // namespace labelplu
