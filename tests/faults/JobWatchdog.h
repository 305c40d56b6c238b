// A deadline for one step of a test: when the step has not ended in time,
// the process stops with a message naming it, so that a hang fails the
// test instead of blocking the run.
#ifndef LABELPLU_TESTS_FAULTS_JOBWATCHDOG_H
#define LABELPLU_TESTS_FAULTS_JOBWATCHDOG_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace labelplu::test {

class JobWatchdog {
 public:
  // onTimeout runs on the watchdog's thread before the process stops (to
  // end helper processes the test started, say).
  JobWatchdog(std::string what, int seconds, std::function<void()> onTimeout = {});
  // Disarms the deadline.
  ~JobWatchdog();
  JobWatchdog(const JobWatchdog&) = delete;
  JobWatchdog& operator=(const JobWatchdog&) = delete;

 private:
  std::string m_what;
  std::mutex m_mutex;
  std::condition_variable m_done;
  bool m_finished = false;
  std::thread m_thread;
};

// Open file descriptors of this process, and its resident memory in KiB.
int OpenFileCount();
long ResidentKiB();

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_FAULTS_JOBWATCHDOG_H
