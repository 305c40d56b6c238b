#include "print/JobProgress.h"

#include <unistd.h>

#include "platform/sys/MessagePump.h"

namespace labelplu {

JobProgress::JobProgress(int32_t total)
    : JobProgress(total, stderr, isatty(STDERR_FILENO) == 1, sys::TickCount()) {}

JobProgress::JobProgress(int32_t total, std::FILE* out, bool enabled, uint32_t startMs)
    : m_total(total), m_out(out), m_enabled(enabled && out != nullptr), m_start(startMs) {}

JobProgress::~JobProgress() {
  Finish();
}

void JobProgress::Step(int32_t done) {
  if (m_enabled) Step(done, sys::TickCount());
}

void JobProgress::Step(int32_t done, uint32_t now) {
  m_done = done;
  if (!m_enabled || m_finished) return;
  // Tick readings wrap; differences in unsigned arithmetic stay right.
  if (now - m_start < kDelayMs) return;
  if (m_written && now - m_last < kIntervalMs) return;
  m_last = now;
  Write(done);
}

void JobProgress::Finish() {
  if (m_finished) return;
  m_finished = true;
  if (!m_written) return;
  Write(m_done);
  std::fputc('\n', m_out);
  std::fflush(m_out);
}

void JobProgress::Write(int32_t done) {
  std::fprintf(m_out, "\rlabelplu: label %d of %d", static_cast<int>(done),
               static_cast<int>(m_total));
  std::fflush(m_out);
  m_written = true;
}

}  // namespace labelplu
