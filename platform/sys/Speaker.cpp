#include "platform/sys/Speaker.h"

#include <fcntl.h>
#include <glob.h>
#include <linux/input.h>
#include <linux/kd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sys/MessagePump.h"

namespace labelplu::sys {
namespace {

constexpr int kOpenFlags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
// The programmable interval timer's input clock, for KIOCSOUND.
constexpr uint32_t kPitHz = 1193180;

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : m_fd(fd) {}
  ~Descriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return m_fd; }

 private:
  int m_fd;
};

std::vector<std::string> SpeakerDevices() {
  std::vector<std::string> paths;
  glob_t found{};
  if (::glob("/dev/input/by-path/*-event-spkr", 0, nullptr, &found) == 0) {
    for (size_t i = 0; i < found.gl_pathc; ++i) paths.emplace_back(found.gl_pathv[i]);
  }
  ::globfree(&found);
  return paths;
}

bool SendTone(int fd, uint32_t hz) {
  input_event events[2]{};
  events[0].type = EV_SND;
  events[0].code = SND_TONE;
  events[0].value = static_cast<int32_t>(hz);
  events[1].type = EV_SYN;
  events[1].code = SYN_REPORT;
  return ::write(fd, events, sizeof events) == static_cast<ssize_t>(sizeof events);
}

bool ToneOnInputDevice(uint32_t hz, uint32_t ms) {
  for (const std::string& path : SpeakerDevices()) {
    Descriptor device(::open(path.c_str(), kOpenFlags));
    if (device.Get() < 0 || !SendTone(device.Get(), hz)) continue;
    struct Off {
      int fd;
      ~Off() { SendTone(fd, 0); }
    } off{device.Get()};
    WaitPumping(ms);
    return true;
  }
  return false;
}

bool ToneOnConsole(uint32_t hz, uint32_t ms) {
  for (const char* path : {"/dev/console", "/dev/tty0"}) {
    Descriptor console(::open(path, kOpenFlags));
    if (console.Get() < 0 || ::ioctl(console.Get(), KIOCSOUND, kPitHz / hz) != 0) continue;
    struct Off {
      int fd;
      ~Off() { ::ioctl(fd, KIOCSOUND, 0); }
    } off{console.Get()};
    WaitPumping(ms);
    return true;
  }
  return false;
}

void BellOnTerminal() {
  Descriptor terminal(::open("/dev/tty", kOpenFlags));
  if (terminal.Get() < 0) return;
  const char bell = '\a';
  [[maybe_unused]] ssize_t written = ::write(terminal.Get(), &bell, 1);
}

}  // namespace

void Beep(uint32_t frequencyHz, uint32_t durationMs) {
  const uint32_t ms = std::min(durationMs, kMaxBeepMs);
  if (frequencyHz == 0) {
    WaitPumping(ms);
    return;
  }
  const uint32_t hz = std::clamp(frequencyHz, kMinBeepHz, kMaxBeepHz);
  if (ToneOnInputDevice(hz, ms) || ToneOnConsole(hz, ms)) return;
  BellOnTerminal();
  WaitPumping(ms);
}

}  // namespace labelplu::sys
