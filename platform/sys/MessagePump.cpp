#include "platform/sys/MessagePump.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <thread>

namespace labelplu::sys {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kSlice{10};

bool OnApplicationThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

void ProcessFor(std::chrono::milliseconds budget) {
  if (!OnApplicationThread()) return;
  const int maxTime = static_cast<int>(std::clamp<int64_t>(budget.count(), 1, 1000));
  QCoreApplication::processEvents(QEventLoop::AllEvents, maxTime);
}

}  // namespace

uint32_t TickCount() {
  const auto since =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
  return static_cast<uint32_t>(since.count());
}

void WaitPumping(uint32_t ms) {
  // Measured with the full-resolution clock, so the wait is never shorter
  // than asked even when it starts just before a tick.
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    auto remaining = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
    ProcessFor(remaining);
    const auto now = Clock::now();
    if (now >= end) return;
    std::this_thread::sleep_for(std::min<Clock::duration>(kSlice, end - now));
  }
}

void ProcessMessages() {
  if (OnApplicationThread()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace labelplu::sys
