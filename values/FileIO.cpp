#include "values/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace labelplu {
namespace {

[[noreturn]] void FailFile(const char* what, const std::string& name, int error) {
  throw std::runtime_error(std::string(what) + " " + name + ": " + std::strerror(error));
}

// The umask without changing it (umask() itself would race with threads
// creating files): Linux shows it in /proc/self/status.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0)
      return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  }
  return 022;
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The file a symbolic link finally names; the name itself otherwise (also
// for a dangling link, which then becomes a file).
std::string ResolveTarget(const std::string& name) {
  struct stat info {};
  if (::lstat(name.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return name;
  char* resolved = ::realpath(name.c_str(), nullptr);
  if (!resolved) return name;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

}  // namespace

InputFile::~InputFile() {
  if (m_fd >= 0) ::close(m_fd);
}

bool InputFile::Open(const std::string& name) {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_name = name;
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return false;
    FailFile("Не удалось открыть файл", name, errno);
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    FailFile("Не удалось открыть файл", name, error);
  }
  if (S_ISDIR(info.st_mode)) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  m_size = info.st_size;
  return true;
}

void InputFile::ReadAll(uint8_t* buffer) {
  int64_t done = 0;
  while (done < m_size) {
    const ssize_t n = ::read(m_fd, buffer + done, static_cast<size_t>(m_size - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) FailFile("Ошибка чтения файла", m_name, errno);
    if (n == 0) FailFile("Ошибка чтения файла", m_name, EIO);  // the file shrank meanwhile
    done += n;
  }
}

void ReplaceFile(const std::string& name, std::span<const uint8_t> head,
                 std::span<const uint8_t> tail) {
  const std::string target = ResolveTarget(name);
  const size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = folder + "." + base + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) FailFile("Не удалось создать файл", name, errno);

  struct stat old {};
  const mode_t mode = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)
                          ? (old.st_mode & 07777)
                          : (0644 & ~CurrentUmask());
  int error = 0;
  errno = 0;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, head) || !WriteAll(fd, tail) || ::fsync(fd) != 0) {
    error = errno ? errno : EIO;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    FailFile("Ошибка записи файла", name, error);
  }
  // Make the rename itself durable; the data is already safe either way.
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace labelplu
