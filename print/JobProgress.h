// labelplu: progress of a long print job on a terminal.
//
// When standard error is a terminal and a job has run for a while, one
// line ("labelplu: label 120 of 4000") is rewritten in place with "\r", at
// most a few times a second, and ended with a line break when the job
// ends. Nothing is written when the output is not a terminal, so logs and
// pipes stay clean.
#ifndef LABELPLU_PRINT_JOBPROGRESS_H
#define LABELPLU_PRINT_JOBPROGRESS_H

#include <cstdint>
#include <cstdio>

namespace labelplu {

class JobProgress {
 public:
  // Quiet before delayMs and between updates closer than intervalMs.
  static constexpr uint32_t kDelayMs = 1000;
  static constexpr uint32_t kIntervalMs = 250;

  // A job of total records reported on standard error when it is a
  // terminal.
  explicit JobProgress(int32_t total);
  // A job reported on out when enabled (tests); the clock is read through
  // Step's now.
  JobProgress(int32_t total, std::FILE* out, bool enabled, uint32_t startMs);
  // Ends the line when anything was written.
  ~JobProgress();
  JobProgress(const JobProgress&) = delete;
  JobProgress& operator=(const JobProgress&) = delete;

  // done records of the total are finished; now is a TickCount reading.
  void Step(int32_t done, uint32_t now);
  // Step with the current tick count.
  void Step(int32_t done);
  // Writes the final count (when anything was written) and ends the line.
  void Finish();

 private:
  void Write(int32_t done);

  int32_t m_total;
  std::FILE* m_out;
  bool m_enabled;
  bool m_written = false;
  bool m_finished = false;
  uint32_t m_start;
  uint32_t m_last = 0;
  int32_t m_done = 0;
};

}  // namespace labelplu

#endif  // LABELPLU_PRINT_JOBPROGRESS_H
