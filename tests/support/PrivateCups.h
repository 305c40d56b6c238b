// A private CUPS scheduler for tests: cupsd started in a temporary folder
// of its own (its ServerRoot, logs and spool), reached through a local
// socket in that folder, with one queue whose hand-written PPD passes the
// PDF through and writes each job into a file. Nothing of the machine's
// CUPS set-up is read or changed.
//
// While it lives, CUPS_SERVER points at its socket and libcups in this
// process (Qt's printer support included) talks to it only; the previous
// server comes back on destruction. Keep such tests in a test program of
// their own (labelled INTEGRATION) all the same, so that no other test
// sees the queue. Add tests/support/PrivateCups.cpp to the program's
// sources; it needs no library (libcups is reached through the one Qt
// loads, when loaded).
//
//   TEST(Cups, Something) {
//     LP_SKIP_WITHOUT_PRIVATE_CUPS();
//     labelplu::test::PrivateCups cups;
//     ... print to cups.QueueName(), then cups.WaitForJobs() and read
//     cups.OutputFile() ...
//   }
#ifndef LABELPLU_TESTS_SUPPORT_PRIVATECUPS_H
#define LABELPLU_TESTS_SUPPORT_PRIVATECUPS_H

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace labelplu::test {

class PrivateCups {
 public:
  // Why a private scheduler cannot run here (cupsd not installed, or the
  // process is not root), or nullopt when it can. Only these two reasons
  // justify skipping a test.
  static std::optional<std::string> SkipReason();

  // Starts cupsd and creates the queue (203 dpi, papers "58 x 40 mm" as
  // the default, key w164h113, and A4; 4-point unprintable margins on the
  // label size; copies made visible in the output by cupsManualCopies).
  // Throws std::runtime_error, with cupsd's error log, on any failure.
  explicit PrivateCups(std::string queueName = "labelplu-test");
  // Stops cupsd by its pid and removes the folder.
  ~PrivateCups();
  PrivateCups(const PrivateCups&) = delete;
  PrivateCups& operator=(const PrivateCups&) = delete;

  const std::string& QueueName() const { return m_queue; }
  // The file each job of the queue is written to (the last job wins).
  const std::string& OutputFile() const { return m_output; }
  // The scheduler's folder; its page_log lists each printed job as
  // "<queue> <user> <job id> [<time>] total <pages> - <host> <title> <media> <sides>".
  const std::string& Directory() const { return m_dir; }
  // The text of a file in the scheduler's folder ("" when it is missing).
  std::string ReadLog(const std::string& name) const;
  // Waits until the queue has no job left that is not completed, up to the
  // timeout; false on timeout.
  bool WaitForJobs(int timeoutMs = 15000) const;

  // Adds a further queue, enabled and accepting jobs, on the PPD file
  // ppdPath (such as one of CUPS's own drivers), with lpadmin's "-o
  // NAME=VALUE" defaults. Each job of it is written into the file returned
  // (the last job wins). Throws std::runtime_error, with lpadmin's words,
  // on failure.
  std::string AddQueue(const std::string& name, const std::string& ppdPath,
                       const std::vector<std::string>& options = {});
  // Runs a command line (lp, lpstat, lpadmin …) talking to this scheduler;
  // returns its exit status (-1 when it did not run normally) and puts its
  // standard output and error into output when given.
  int RunCommand(const std::string& command, std::string* output = nullptr) const;

 private:
  void Stop() noexcept;

  std::string m_queue;
  std::string m_dir;
  std::string m_output;
  std::string m_socket;
  std::optional<std::string> m_previousServer;
  pid_t m_pid = -1;
};

}  // namespace labelplu::test

// Skips the current test, with the reason, when a private scheduler cannot
// run here.
#define LP_SKIP_WITHOUT_PRIVATE_CUPS()                                         \
  do {                                                                         \
    if (const auto lpCupsSkip = ::labelplu::test::PrivateCups::SkipReason()) { \
      GTEST_SKIP() << *lpCupsSkip;                                             \
    }                                                                          \
  } while (false)

#endif  // LABELPLU_TESTS_SUPPORT_PRIVATECUPS_H
