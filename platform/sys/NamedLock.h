// labelplu: named locks shared by every module and process of the machine.
//
// A NamedLock holds a name in the Linux abstract socket namespace (a Unix
// socket bound to "\0" + name). Binding is atomic, so at most one holder
// exists at a time across all modules and processes that share the network
// namespace, including copies of this library loaded with RTLD_LOCAL that
// share no C++ globals. The kernel releases the name when the holder's
// descriptor closes, so a crashed process never leaves a stale lock. The
// descriptor is close-on-exec; a child made by fork() shares it until the
// holder releases it. Nothing is written to the file system.
#ifndef LABELPLU_PLATFORM_SYS_NAMEDLOCK_H
#define LABELPLU_PLATFORM_SYS_NAMEDLOCK_H

#include <cstdint>
#include <string>

namespace labelplu::sys {

class NamedLock {
 public:
  // The longest name the abstract namespace takes.
  static constexpr size_t kMaxName = 107;

  // Does not take the name yet. Throws std::invalid_argument when name is
  // empty or longer than kMaxName bytes.
  explicit NamedLock(std::string name);
  // Releases the name when held.
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

  // Takes the name when nobody holds it. True when this object holds it
  // (also when it already did); false when another holder has it or the
  // system offers no sockets.
  bool TryAcquire();
  // As TryAcquire, retrying every millisecond for up to timeoutMs while the
  // name is held elsewhere. Returns at once when sockets are unavailable.
  bool Acquire(uint32_t timeoutMs);
  // Gives the name back; nothing when not held.
  void Release();

  bool Held() const { return m_fd >= 0; }
  const std::string& Name() const { return m_name; }

 private:
  enum class Attempt { Taken, Busy, Unavailable };
  Attempt Try();

  std::string m_name;
  int m_fd = -1;
};

}  // namespace labelplu::sys

#endif  // LABELPLU_PLATFORM_SYS_NAMEDLOCK_H
