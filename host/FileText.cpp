#include "host/FileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "host/HostError.h"
#include "host/HostMessages.h"
#include "platform/ole/Utf.h"

namespace labelplu::host {

namespace {

[[noreturn]] void Fail(const std::string& path, HostMessage what, int err) {
  throw HostError(Say(HostMessage::CannotReadFile, path,
                      Say(what) + (err != 0 ? std::string(": ") + std::strerror(err) : "")));
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
  if (fd.get() < 0) Fail(path, HostMessage::CannotOpenIt, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) Fail(path, HostMessage::CannotQueryIt, errno);
  // Only regular files: a device or a pipe could feed bytes without end.
  if (!S_ISREG(st.st_mode)) Fail(path, HostMessage::NotARegularFile, 0);

  std::string bytes;
  // The reported size is only a hint (/proc/kcore claims terabytes): reserve
  // at most 256 MiB up front and let larger files grow as they are read.
  bytes.reserve(static_cast<size_t>(std::min<off_t>(st.st_size, off_t{256} << 20)));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(path, HostMessage::ReadError, errno);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return bytes;
}

std::string ReadTextFile(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 &&
      ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    if (bytes.size() % 2 != 0) {
      Fail(path, HostMessage::HalfUtf16Character, 0);
    }
    const bool little = byte(0) == 0xFF;
    std::u16string units;
    units.reserve(bytes.size() / 2 - 1);
    for (size_t i = 2; i < bytes.size(); i += 2) {
      units.push_back(little ? static_cast<char16_t>(byte(i) | (byte(i + 1) << 8))
                             : static_cast<char16_t>((byte(i) << 8) | byte(i + 1)));
    }
    return ole::Utf16ToUtf8(units);
  }
  std::string_view text(bytes);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  // The conversions replace what is ill-formed, so only valid UTF-8 comes
  // back unchanged.
  if (ole::Utf16ToUtf8(ole::Utf8ToUtf16(text)) != text) {
    Fail(path, HostMessage::NotUtf8Text, 0);
  }
  return std::string(text);
}

}  // namespace labelplu::host
