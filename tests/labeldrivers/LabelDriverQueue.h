// Queues of a private CUPS scheduler (tests/support/PrivateCups.h) on CUPS's
// own label-printer drivers: the "Zebra EPL2 Label Printer" and "Zebra ZPL
// Label Printer" PPDs that ppdc compiles from CUPS's sample.drv, whose
// filter rastertolabel writes the printer language into the queue's file.
//
// A file device overwrites its file with every job, and one labelhost run
// may send several jobs; the queue therefore holds every job and hands
// their outputs over one job at a time, in the order they came.
#ifndef LABELPLU_TESTS_LABELDRIVERS_LABELDRIVERQUEUE_H
#define LABELPLU_TESTS_LABELDRIVERS_LABELDRIVERQUEUE_H

#include <optional>
#include <string>
#include <vector>

#include "tests/support/PrivateCups.h"

namespace labelplu::test {

// Why the label drivers cannot run here (no private scheduler, or ppdc,
// CUPS's sample.drv, rastertolabel or the cups-filters that turn a PDF
// into raster are not installed), or nullopt when they can.
std::optional<std::string> LabelDriverSkipReason();

// Compiles CUPS's sample.drv with ppdc into folder and returns the path of
// the PPD named pcFileName ("zebraep2.ppd", "zebra.ppd"). Throws
// std::runtime_error, with ppdc's words, when it is not made.
std::string CompileSamplePpd(const std::string& folder, const std::string& pcFileName);

class LabelDriverQueue {
 public:
  // Adds queue name on ppdPath to cups, 203 dpi, holding every job.
  // cups must outlive the queue.
  LabelDriverQueue(PrivateCups& cups, std::string name, const std::string& ppdPath);

  const std::string& Name() const { return m_name; }
  // Makes widthMm × heightMm the queue's default paper (a custom size: the
  // drivers have none of the label sizes), which the print object takes.
  void SetPaperMm(double widthMm, double heightMm);
  // Releases the held jobs one at a time, oldest first, and returns what
  // each wrote. Throws std::runtime_error, with the scheduler's error log,
  // when a job does not end within timeoutMs or writes nothing.
  std::vector<std::string> ReleaseJobs(int timeoutMs = 30000);

 private:
  std::vector<std::string> PendingJobs() const;

  PrivateCups& m_cups;
  std::string m_name;
  std::string m_output;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_LABELDRIVERS_LABELDRIVERQUEUE_H
