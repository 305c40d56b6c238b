#include "base/SharedLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/sys/ModulePath.h"
#include "platform/sys/NamedLock.h"
#include "platform/sys/SystemInfo.h"

namespace labelplu {
namespace {

constexpr size_t kMaxPath = 4095;
constexpr size_t kMaxFileName = 255;
constexpr char kLogSubfolder[] = "X9Equipment/LOGs/";
// Long enough for a module start-up on a slow disk, short enough that a
// foreign holder of the name cannot stall a load for long.
constexpr uint32_t kLockTimeoutMs = 2000;

std::string HexPid(pid_t pid) {
  char text[24];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(pid));
  return text;
}

// Cuts text to at most n bytes without splitting a UTF-8 sequence.
std::string CutUtf8(const std::string& text, size_t n) {
  if (text.size() <= n) return text;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

std::string Getenv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? value : "";
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates path (ending with "/") level by level; true when it is a folder at
// the end. created tells whether the last level was made here.
bool MakeFolders(const std::string& path, bool& created) {
  created = false;
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string level = path.substr(0, slash);
    if (::mkdir(level.c_str(), 0755) == 0) {
      created = slash + 1 == path.size();
    } else if (errno != EEXIST) {
      return false;
    }
  }
  return IsDirectory(path);
}

// Everybody may add files; the sticky bit keeps them from removing or
// renaming each other's. A symbolic link in place of the folder is used but
// never changed.
void OpenToEverybody(const std::string& path, bool created) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && (created || st.st_uid == ::geteuid())) {
    [[maybe_unused]] int rc = ::fchmod(fd, 01777);
  }
  ::close(fd);
}

std::string UserLogFolder() {
  const std::string state = sys::StateFolder();
  return state.empty() ? std::string() : state + "/" + kLogSubfolder;
}

}  // namespace

std::string BaseLogHostMarker(pid_t pid) {
  return "LABELPLU_BASELOG_HOST_" + HexPid(pid);
}

std::string ComposeLogFileName(const std::string& folder, const std::string& stem,
                               const std::string& computer, int32_t session) {
  std::string tail = "_" + computer + "_" + std::to_string(session) + ".log";
  std::replace(tail.begin(), tail.end(), '/', '_');
  const size_t used = folder.size() + tail.size();
  if (used > kMaxPath || tail.size() > kMaxFileName) return CutUtf8(folder + tail, kMaxPath);
  const size_t room = std::min(kMaxPath - used, kMaxFileName - tail.size());
  return folder + CutUtf8(stem, room) + tail;
}

SharedLog::SharedLog(SharedLogOptions options) : m_options(std::move(options)) {}

SharedLog::~SharedLog() {
  Shutdown();
}

void SharedLog::Init(const std::string& moduleFileName) {
  std::lock_guard guard(m_mutex);
  RefreshAfterFork();
  if (!m_initialised) InitLocked(moduleFileName.empty() ? sys::ModulePath(false) : moduleFileName);
}

std::string SharedLog::FileName() {
  std::lock_guard guard(m_mutex);
  RefreshAfterFork();
  if (!m_initialised) InitLocked(sys::ModulePath(false));
  return m_fileName;
}

std::string SharedLog::FolderPath() {
  std::lock_guard guard(m_mutex);
  RefreshAfterFork();
  if (!m_initialised) InitLocked(sys::ModulePath(false));
  std::string folder = sys::ExtractFileDir(m_fileName);
  if (!m_folderReady && !folder.empty()) {
    bool created = false;
    m_folderReady = MakeFolders(folder, created);
  }
  return folder;
}

bool SharedLog::IsFirst() {
  std::lock_guard guard(m_mutex);
  RefreshAfterFork();
  return m_initialised && m_first;
}

void SharedLog::Shutdown() {
  std::lock_guard guard(m_mutex);
  if (!m_initialised) return;
  if (m_first && m_pid == ::getpid()) {
    sys::NamedLock lock("labelplu.baselog." + HexPid(m_pid));
    lock.Acquire(kLockTimeoutMs);
    if (Getenv(kBaseLogFileVariable) == m_fileName) ::unsetenv(kBaseLogFileVariable);
    ::unsetenv(m_marker.c_str());
  }
  m_initialised = false;
  m_first = false;
  m_folderReady = false;
  m_fileName.clear();
}

// A child made by fork() holds a copy of the parent's state; it settles its
// own name, leaving the parent's variables alone.
void SharedLog::RefreshAfterFork() {
  if (m_initialised && m_pid != ::getpid()) {
    m_initialised = false;
    m_first = false;
    m_folderReady = false;
    InitLocked(m_moduleFileName);
  }
}

void SharedLog::InitLocked(const std::string& moduleFileName) {
  m_moduleFileName = moduleFileName;
  m_pid = ::getpid();
  m_marker = BaseLogHostMarker(m_pid);
  // Without sockets the loader's one-at-a-time module start-up is the lock.
  sys::NamedLock lock("labelplu.baselog." + HexPid(m_pid));
  lock.Acquire(kLockTimeoutMs);
  m_initialised = true;
  m_first = std::getenv(m_marker.c_str()) == nullptr;
  if (m_first) {
    SettleAsFirst(sys::FileNameWithoutExtension(moduleFileName));
    return;
  }
  m_fileName = Getenv(kBaseLogFileVariable);
  if (m_fileName.empty()) {
    const std::string program = sys::ProgramPath();
    const std::string folder = program.empty() ? UserLogFolder() : sys::ExtractFileDir(program);
    m_fileName =
        ComposeLogFileName(folder, sys::FileNameWithoutExtension(program), sys::ComputerName(),
                           sys::SessionNumber(m_options.GetSessionId));
  }
}

void SharedLog::SettleAsFirst(const std::string& stem) {
  ::setenv(m_marker.c_str(), stem.c_str(), 1);
  // A value inherited from a parent process is not ours to adopt.
  ::unsetenv(kBaseLogFileVariable);

  std::string root = m_options.LogRoot;
  if (root.empty()) root = Getenv(kBaseLogRootVariable);
  if (root.empty()) root = "/var/log";
  if (root.back() != '/') root += '/';
  std::string folder = root + kLogSubfolder;
  bool created = false;
  if (MakeFolders(folder, created)) {
    OpenToEverybody(folder, created);
    m_folderReady = ::access(folder.c_str(), W_OK | X_OK) == 0;
  }
  if (!m_folderReady) {
    const std::string user = UserLogFolder();
    if (!user.empty()) {
      // The user's own folder serves that user only: it is not opened to
      // others, who could otherwise plant files where this user's logs go.
      folder = user;
      m_folderReady = MakeFolders(folder, created);
    }
  }
  m_fileName = ComposeLogFileName(folder, stem, sys::ComputerName(),
                                  sys::SessionNumber(m_options.GetSessionId));
  // Should publishing fail, later modules fall back to the program's folder.
  ::setenv(kBaseLogFileVariable, m_fileName.c_str(), 1);
}

namespace {

SharedLog& ModuleLog() {
  static SharedLog log;
  return log;
}

}  // namespace

void InitLogLocation(const std::string& moduleFileName) {
  ModuleLog().Init(moduleFileName);
}

std::string LogFileName() {
  return ModuleLog().FileName();
}

std::string LogFolderPath() {
  return ModuleLog().FolderPath();
}

void ShutdownLogLocation() {
  ModuleLog().Shutdown();
}

void AppendLogLine(const std::string& line) {
  try {
    const std::string file = LogFileName();
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    char stamp[32] = {};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%d.%m.%Y %H:%M:%S", &local);
    const std::string text = std::string(stamp) + " " + line + "\n";
    const ssize_t written = ::write(fd, text.data(), text.size());
    (void)written;
    ::close(fd);
  } catch (...) {
    // Nothing to do: the log is a courtesy.
  }
}

}  // namespace labelplu
