#include "FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "HostError.h"

namespace labelplu::host {

namespace {

[[noreturn]] void fail(const std::string& path, const char* what, int err) {
  throw HostError("cannot read file \"" + path + "\": " + what +
                  (err != 0 ? std::string(": ") + std::strerror(err) : std::string()));
}

class Fd {
 public:
  explicit Fd(int fd) : m_fd(fd) {}
  ~Fd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return m_fd; }

 private:
  int m_fd;
};

}  // namespace

std::string ReadFileBytes(const std::string& path) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) fail(path, "cannot open it", errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) fail(path, "cannot query it", errno);
  // Only regular files: a device or a pipe could feed bytes without end.
  if (!S_ISREG(st.st_mode)) fail(path, "not a regular file", 0);

  std::string bytes;
  bytes.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(path, "read error", errno);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return bytes;
}

}  // namespace labelplu::host
