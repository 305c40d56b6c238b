// labelplu: the log file that all equipment modules of a process share.
//
// The first module that starts in a process settles the log file's name,
// prepares its folder and publishes the name; every later module of the
// process adopts it. Later modules may be other copies of this library
// loaded with RTLD_LOCAL (another plug-in, or this one under another name),
// so the agreement goes through the process itself, not through C++ globals:
//
//   - the host marker: the environment variable
//     "LABELPLU_BASELOG_HOST_<pid>" (pid as at least 6 upper-case hex
//     digits); the module that finds it missing is the first and sets it;
//   - the published name: the environment variable "LABELPLU_BASELOG_FILE";
//   - the check-and-set of both runs under the named lock
//     "labelplu.baselog.<pid>" (NamedLock), so two modules starting at the
//     same time on two threads cannot both be first. Where sockets are
//     unavailable the check relies on the dynamic loader, which runs module
//     constructors one at a time.
//
// Only variables with this prefix are touched. A child process inherits
// them, but the marker carries the parent's pid, so the child's first module
// settles the child's own name; a child made by fork() without exec does the
// same on its next call.
//
// The name: <folder><module file name without path and extension>_
// <ComputerName()>_<SessionNumber()>.log, where folder is
// "<root>/X9Equipment/LOGs/" with root "/var/log" (or $LABELPLU_LOG_ROOT, a
// knob for packaging and tests) when that folder can be created and written,
// else "$XDG_STATE_HOME/X9Equipment/LOGs/" (default ~/.local/state). The
// first module creates missing folder levels. The machine-wide LOGs folder
// gets mode 1777 (everybody may add files, only owners may remove or rename
// them) when the module created it or owns it; the user's own folder keeps
// the modes mkdir gives it (0755 less the umask), as only that user logs
// there. Folder errors are ignored: the name is published all the same. A module that is not first
// and finds nothing published uses "<program folder>/<program name without extension>_
// <computer>_<session>.log".
//
// Long names: the file name part is kept within 255 bytes and the whole
// path within 4095 bytes by shortening the module name part (at a UTF-8
// character boundary); the "_<computer>_<session>.log" tail is kept. Only
// when the folder alone leaves no room is the whole path cut at 4095 bytes.
//
// Nothing here writes log lines.
#ifndef LABELPLU_BASE_SHAREDLOG_H
#define LABELPLU_BASE_SHAREDLOG_H

#include <sys/types.h>

#include <cstdint>
#include <mutex>
#include <string>

namespace labelplu {

inline constexpr char kBaseLogFileVariable[] = "LABELPLU_BASELOG_FILE";
inline constexpr char kBaseLogRootVariable[] = "LABELPLU_LOG_ROOT";

// "LABELPLU_BASELOG_HOST_" + pid as at least 6 upper-case hex digits.
std::string BaseLogHostMarker(pid_t pid);

// folder + stem + "_" + computer + "_" + session + ".log", cut by the rule
// above. folder ends with "/" or is empty.
std::string ComposeLogFileName(const std::string& folder, const std::string& stem,
                               const std::string& computer, int32_t session);

// Facts a test or a packager may inject.
struct SharedLogOptions {
  // Root of the first folder tried; empty: $LABELPLU_LOG_ROOT when set and
  // not empty, else "/var/log".
  std::string LogRoot;
  // Source of the session number; null: getsid.
  pid_t (*GetSessionId)(pid_t) = nullptr;
};

// One module's part in the agreement. A module holds one (the functions
// below use it); tests make several to play several modules.
// Thread-safe.
class SharedLog {
 public:
  explicit SharedLog(SharedLogOptions options = {});
  // Shutdown().
  ~SharedLog();
  SharedLog(const SharedLog&) = delete;
  SharedLog& operator=(const SharedLog&) = delete;

  // Settles or adopts the name for the module file moduleFileName (a path
  // or a bare file name; empty: this library's module file, ModulePath).
  // Only the first call counts until Shutdown.
  void Init(const std::string& moduleFileName);
  // The full path of the log file. Before Init it initialises with this
  // library's module file (ModulePath).
  std::string FileName();
  // The log file's folder with a trailing "/", created (missing levels) on
  // the first call when it does not exist.
  std::string FolderPath();
  // True when this module settled the name.
  bool IsFirst();
  // The first module withdraws the marker and the published name (when they
  // are still its own); any module forgets its state.
  void Shutdown();

 private:
  void InitLocked(const std::string& moduleFileName);
  void SettleAsFirst(const std::string& stem);
  void RefreshAfterFork();

  SharedLogOptions m_options;
  std::mutex m_mutex;
  bool m_initialised = false;
  bool m_first = false;
  bool m_folderReady = false;
  pid_t m_pid = 0;
  std::string m_moduleFileName;
  std::string m_marker;
  std::string m_fileName;
};

// The module's own SharedLog: called at module load (idempotent).
void InitLogLocation(const std::string& moduleFileName);
// The agreed full path of the log file.
std::string LogFileName();

// Appends one line, preceded by the local date and time
// ("dd.mm.yyyy hh:mm:ss "), to LogFileName(). Never throws: the log is a
// courtesy, and a caller that must be heard also writes to standard error.
void AppendLogLine(const std::string& line);
// The log folder with a trailing "/"; created on first use when needed.
std::string LogFolderPath();
// Called at module unload.
void ShutdownLogLocation();

}  // namespace labelplu

#endif  // LABELPLU_BASE_SHAREDLOG_H
