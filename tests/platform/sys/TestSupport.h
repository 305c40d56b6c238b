// Helpers of the lp_sys tests.
#ifndef LABELPLU_TESTS_PLATFORM_SYS_TESTSUPPORT_H
#define LABELPLU_TESTS_PLATFORM_SYS_TESTSUPPORT_H

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace labelplu::test {

// The build's bin folder, where the test modules lie beside the tests.
inline std::string BinDir() {
  return std::filesystem::canonical("/proc/self/exe").parent_path().string();
}

// A file in memory with a path, for tests that rewrite a file thousands of
// times (rewriting a truncated file on disk forces a flush each time).
class MemoryFile {
 public:
  MemoryFile() : m_fd(::memfd_create("lp_sys_test", MFD_CLOEXEC)) {
    if (m_fd < 0) throw std::runtime_error("memfd_create failed");
  }
  ~MemoryFile() { ::close(m_fd); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  std::string Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

  void Set(const std::vector<uint8_t>& bytes) {
    if (::ftruncate(m_fd, 0) != 0 ||
        ::pwrite(m_fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
      throw std::runtime_error("memory file write failed");
    }
  }

 private:
  int m_fd;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_PLATFORM_SYS_TESTSUPPORT_H
