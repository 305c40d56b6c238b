#include "host/SettingsStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "host/FileText.h"
#include "host/HostError.h"
#include "host/HostMessages.h"
#include "platform/xml/XmlDom.h"

namespace labelplu::host {

namespace fs = std::filesystem;

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && *found->pw_dir) {
    return found->pw_dir;
  }
  throw HostError(Say(HostMessage::NoHomeFolder));
}

// Closes a descriptor and removes the temporary file unless released.
class TempFile {
 public:
  TempFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
  ~TempFile() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_path.empty()) ::unlink(m_path.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int Fd() const { return m_fd; }
  const std::string& Path() const { return m_path; }
  int Close() {
    const int rc = ::close(m_fd);
    m_fd = -1;
    return rc;
  }
  void release() { m_path.clear(); }

 private:
  int m_fd;
  std::string m_path;
};

}  // namespace

std::optional<std::string> SettingsStore::Read() const {
  struct stat st {};
  if (::stat(m_path.c_str(), &st) != 0) {
    if (errno == ENOENT) return std::nullopt;
    throw HostError(Say(HostMessage::SettingsCannotRead, m_path, std::strerror(errno)));
  }
  std::string text;
  try {
    text = ReadTextFile(m_path);
  } catch (const HostError& e) {
    throw HostError(Say(HostMessage::SettingsFileError, e.what()));
  }
  xml::XmlDocument document;
  try {
    document.loadXML(text);
  } catch (const xml::XmlError& e) {
    throw HostError(Say(HostMessage::SettingsMalformed, m_path, e.what()));
  }
  const xml::XmlNode root = document.documentElement();
  const std::string rootName = root ? root.nodeName() : std::string();
  if (rootName != "EquList" && rootName != "Система" && rootName != "Устройство" &&
      document.getElementsByTagName("Устройство").length() == 0) {
    throw HostError(Say(HostMessage::SettingsNoDevices, m_path, rootName));
  }
  return text;
}

void SettingsStore::Write(std::string_view text) const {
  const std::string what = Say(HostMessage::SettingsCannotStore, m_path);
  fs::path target(m_path);
  std::error_code ec;
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  fs::create_directories(folder, ec);
  if (ec)
    throw HostError(Say(HostMessage::CannotCreateFolder, what, folder.string(), ec.message()));

  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    throw HostError(
        Say(HostMessage::CannotCreateFileIn, what, folder.string(), std::strerror(errno)));
  }
  TempFile temp(fd, pattern);
  const auto fail = [&](HostMessage step) {
    throw HostError(what + ": " + Say(step) + ": " + std::strerror(errno));
  };
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(temp.Fd(), text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(HostMessage::WriteError);
    }
    done += static_cast<size_t>(n);
  }
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    if (::fchmod(temp.Fd(), old.st_mode & 07777) != 0) fail(HostMessage::CannotKeepPermissions);
  }
  if (::fsync(temp.Fd()) != 0) fail(HostMessage::CannotFlush);
  if (temp.Close() != 0) fail(HostMessage::WriteError);
  if (::rename(temp.Path().c_str(), target.c_str()) != 0) fail(HostMessage::CannotReplace);
  temp.release();
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

std::string SettingsStore::DefaultPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // A relative value is not valid for XDG_CONFIG_HOME and is ignored.
  fs::path base = (config && *config && fs::path(config).is_absolute())
                      ? fs::path(config)
                      : fs::path(HomeFolder()) / ".config";
  return (base / "labelplu" / "settings.xml").string();
}

}  // namespace labelplu::host
