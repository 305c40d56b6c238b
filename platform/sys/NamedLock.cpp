#include "platform/sys/NamedLock.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace labelplu::sys {

static_assert(NamedLock::kMaxName + 1 == sizeof(sockaddr_un::sun_path));

NamedLock::NamedLock(std::string name) : m_name(std::move(name)) {
  if (m_name.empty() || m_name.size() > kMaxName) {
    throw std::invalid_argument("Named lock: the name must have 1 to 107 bytes: " + m_name);
  }
}

NamedLock::~NamedLock() {
  Release();
}

NamedLock::Attempt NamedLock::Try() {
  if (m_fd >= 0) return Attempt::Taken;
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return Attempt::Unavailable;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // sun_path[0] stays 0: the abstract namespace.
  std::memcpy(address.sun_path + 1, m_name.data(), m_name.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + m_name.size());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
    m_fd = fd;
    return Attempt::Taken;
  }
  const int error = errno;
  ::close(fd);
  return error == EADDRINUSE ? Attempt::Busy : Attempt::Unavailable;
}

bool NamedLock::TryAcquire() {
  return Try() == Attempt::Taken;
}

bool NamedLock::Acquire(uint32_t timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const Attempt attempt = Try();
    if (attempt != Attempt::Busy) return attempt == Attempt::Taken;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void NamedLock::Release() {
  if (m_fd < 0) return;
  ::close(m_fd);
  m_fd = -1;
}

}  // namespace labelplu::sys
