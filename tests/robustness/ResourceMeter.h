// Time and peak memory of one operation, for the resource-bound tests.
//
// The peak is the growth of the resident set over what the process held
// before the operation: the kernel's high-water mark (VmHWM) is reset first
// through /proc/self/clear_refs where the kernel allows it; where it does
// not, the figure is the growth of the high-water mark, which is never less
// than the true peak growth when the operation sets a new peak.
#ifndef LABELPLU_TESTS_ROBUSTNESS_RESOURCEMETER_H
#define LABELPLU_TESTS_ROBUSTNESS_RESOURCEMETER_H

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

namespace labelplu::test {

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 when missing.
inline int64_t StatusKb(const std::string& field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, field.size() + 1, field + ":") == 0)
      return std::stoll(line.substr(field.size() + 1));
  }
  return -1;
}

struct Usage {
  double seconds = 0;
  int64_t peakGrowthMb = 0;
};

// Runs op and returns its wall time and peak resident growth. Prints both,
// so that the figures of a run can be read from the test log. The tests
// assert memory only: wall time on a shared machine says little, so speed
// belongs to the benchmarks, and ctest's timeout of these programs
// (tests/robustness/CMakeLists.txt) stops work that runs away.
template <class Op>
Usage Measure(const char* what, Op&& op) {
  {
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5";
  }
  const int64_t before = StatusKb("VmRSS");
  const int64_t hwmBefore = StatusKb("VmHWM");
  const auto start = std::chrono::steady_clock::now();
  std::forward<Op>(op)();
  Usage usage;
  usage.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int64_t hwm = StatusKb("VmHWM");
  const int64_t base = hwm > hwmBefore ? before : hwm;
  usage.peakGrowthMb = (hwm - base) / 1024;
  std::printf("[ measure  ] %s: %.2f s, peak +%lld MiB\n", what, usage.seconds,
              static_cast<long long>(usage.peakGrowthMb));
  return usage;
}

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_ROBUSTNESS_RESOURCEMETER_H
