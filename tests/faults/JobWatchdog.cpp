#include "tests/faults/JobWatchdog.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace labelplu::test {

JobWatchdog::JobWatchdog(std::string what, int seconds, std::function<void()> onTimeout)
    : m_what(std::move(what)) {
  m_thread = std::thread([this, seconds, onTimeout = std::move(onTimeout)] {
    std::unique_lock lock(m_mutex);
    if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_finished; })) {
      std::fprintf(stderr, "hang: \"%s\" did not end within %d s\n", m_what.c_str(), seconds);
      std::fflush(stderr);
      if (onTimeout) onTimeout();
      std::_Exit(3);
    }
  });
}

JobWatchdog::~JobWatchdog() {
  {
    std::lock_guard lock(m_mutex);
    m_finished = true;
  }
  m_done.notify_all();
  m_thread.join();
}

int OpenFileCount() {
  int count = 0;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    ++count;
  }
  return count;
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

}  // namespace labelplu::test
