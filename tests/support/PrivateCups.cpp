// The private CUPS scheduler of the tests.
#include "tests/support/PrivateCups.h"

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace labelplu::test {
namespace {

constexpr const char* kCupsd = "/usr/sbin/cupsd";

// Paper keys and sizes in points; the first is the default.
constexpr const char* kPpd = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "LPTEST.PPD"
*Manufacturer: "labelplu"
*Product: "(labelplu test)"
*ModelName: "labelplu test label printer"
*ShortNickName: "labelplu test"
*NickName: "labelplu test label printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsVersion: 2.4
*cupsManualCopies: True
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: w164h113
*PageSize w164h113/58 x 40 mm: "<</PageSize[164 113]>>setpagedevice"
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: w164h113
*PageRegion w164h113/58 x 40 mm: "<</PageSize[164 113]>>setpagedevice"
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: w164h113
*ImageableArea w164h113/58 x 40 mm: "4 4 160 109"
*ImageableArea A4/A4: "18 36 577 806"
*DefaultPaperDimension: w164h113
*PaperDimension w164h113/58 x 40 mm: "164 113"
*PaperDimension A4/A4: "595 842"
*OpenUI *Resolution/Resolution: PickOne
*OrderDependency: 10 AnySetup *Resolution
*DefaultResolution: 203dpi
*Resolution 203dpi/203 dpi: "<</HWResolution[203 203]>>setpagedevice"
*CloseUI: *Resolution
*DefaultFont: Courier
*Font Courier: Standard "(1.05)" Standard ROM
)PPD";

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("private cupsd: cannot write " + path);
}

// Runs a command with the scheduler's environment; its exit status and
// output (stdout and stderr together).
int Run(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return -1;
  std::string text;
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Points libcups at a server. The first use in a process reads CUPS_SERVER;
// when libcups is already loaded (Qt's print support loads it on first
// need) it keeps the server it used, and cupsSetServer makes it change.
void UseCupsServer(const char* server) {
  if (server != nullptr) {
    setenv("CUPS_SERVER", server, 1);
  } else {
    unsetenv("CUPS_SERVER");
  }
  void* cups = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
  if (cups == nullptr) return;
  using SetServer = void (*)(const char*);
  if (auto set = reinterpret_cast<SetServer>(dlsym(cups, "cupsSetServer"))) set(server);
  dlclose(cups);
}

}  // namespace

std::optional<std::string> PrivateCups::SkipReason() {
  if (access(kCupsd, X_OK) != 0) return std::string("cupsd is not installed (") + kCupsd + ")";
  if (geteuid() != 0) return std::string("a private cupsd needs root; this process is not");
  return std::nullopt;
}

PrivateCups::PrivateCups(std::string queueName) : m_queue(std::move(queueName)) {
  if (const auto why = SkipReason()) throw std::runtime_error("private cupsd: " + *why);
  // Not TempDir: the folder is the scheduler's server root and holds its
  // socket, whose path must stay short (a socket path has at most 107
  // bytes), so it lies in /tmp whatever TMPDIR says; Stop() removes it
  // once the scheduler is gone.
  char pattern[] = "/tmp/labelplu-cups-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("private cupsd: mkdtemp failed");
  m_dir = pattern;
  namespace fs = std::filesystem;
  // cupsd hands work to the "lp" user: the folders must be reachable.
  fs::permissions(m_dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
  for (const char* sub : {"spool", "spool/tmp", "cache", "state", "out"}) {
    fs::create_directories(m_dir + "/" + sub);
  }
  m_socket = m_dir + "/cups.sock";
  m_output = m_dir + "/out/" + m_queue + ".pdf";
  WriteFile(m_dir + "/cupsd.conf",
            "Listen " + m_socket +
                "\nBrowsing No\nWebInterface No\nLogLevel warn\nMaxLogSize 0\n"
                "<Location />\n  Order allow,deny\n  Allow localhost\n</Location>\n"
                "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
  WriteFile(m_dir + "/cups-files.conf",
            "FileDevice Yes\nSystemGroup root lpadmin\nServerRoot " + m_dir + "\nAccessLog " +
                m_dir + "/access_log\nErrorLog " + m_dir + "/error_log\nPageLog " + m_dir +
                "/page_log\nRequestRoot " + m_dir + "/spool\nTempDir " + m_dir +
                "/spool/tmp\nCacheDir " + m_dir + "/cache\nStateDir " + m_dir + "/state\n");
  WriteFile(m_dir + "/test.ppd", kPpd);
  // Everything in this process (Qt's printer support included) and the
  // commands below talk to this scheduler only.
  if (const char* previous = std::getenv("CUPS_SERVER")) m_previousServer = previous;
  UseCupsServer(m_socket.c_str());

  m_pid = fork();
  if (m_pid < 0) throw std::runtime_error("private cupsd: fork failed");
  if (m_pid == 0) {
    const std::string conf = m_dir + "/cupsd.conf";
    const std::string files = m_dir + "/cups-files.conf";
    const std::string log = m_dir + "/cupsd.out";
    if (FILE* out = freopen(log.c_str(), "w", stdout)) (void)out;
    dup2(fileno(stdout), fileno(stderr));
    execl(kCupsd, kCupsd, "-f", "-c", conf.c_str(), "-s", files.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  try {
    bool running = false;
    std::string answer;
    for (int i = 0; i < 100 && !running; ++i) {
      int status = 0;
      if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        throw std::runtime_error("private cupsd exited at start:\n" + ReadLog("cupsd.out") +
                                 ReadLog("error_log"));
      }
      running = Run("lpstat -r", &answer) == 0 && answer.find("is running") != std::string::npos &&
                answer.find("not") == std::string::npos;
      if (!running) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!running) {
      throw std::runtime_error("private cupsd did not start within 5 s:\n" + ReadLog("error_log"));
    }
    std::string out;
    if (Run("lpadmin -p " + Quote(m_queue) + " -E -v " + Quote("file://" + m_output) + " -P " +
                Quote(m_dir + "/test.ppd"),
            &out) != 0) {
      throw std::runtime_error("lpadmin failed: " + out + ReadLog("error_log"));
    }
  } catch (...) {
    Stop();
    throw;
  }
}

PrivateCups::~PrivateCups() {
  Stop();
}

void PrivateCups::Stop() noexcept {
  if (m_pid > 0) {
    kill(m_pid, SIGTERM);
    int status = 0;
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
      gone = waitpid(m_pid, &status, WNOHANG) == m_pid;
      if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!gone) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
  }
  if (!m_socket.empty()) {
    UseCupsServer(m_previousServer ? m_previousServer->c_str() : nullptr);
    m_socket.clear();
  }
  std::error_code ignored;
  if (!m_dir.empty()) std::filesystem::remove_all(m_dir, ignored);
  m_dir.clear();
}

std::string PrivateCups::ReadLog(const std::string& name) const {
  std::ifstream in(m_dir + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string PrivateCups::AddQueue(const std::string& name, const std::string& ppdPath,
                                  const std::vector<std::string>& options) {
  std::string output = m_dir + "/out/" + name + ".out";
  std::string command =
      "lpadmin -p " + Quote(name) + " -E -v " + Quote("file://" + output) + " -P " + Quote(ppdPath);
  for (const std::string& option : options) command += " -o " + Quote(option);
  std::string out;
  if (Run(command, &out) != 0) {
    throw std::runtime_error("lpadmin failed for " + name + ": " + out + ReadLog("error_log"));
  }
  return output;
}

int PrivateCups::RunCommand(const std::string& command, std::string* output) const {
  return Run(command, output);
}

bool PrivateCups::WaitForJobs(int timeoutMs) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    std::string out;
    if (Run("lpstat -o " + Quote(m_queue), &out) == 0 &&
        out.find_first_not_of(" \n") == std::string::npos) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

}  // namespace labelplu::test
