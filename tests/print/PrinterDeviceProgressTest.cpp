// Progress of long print jobs: quiet at first, then one line rewritten at a
// bounded rate, nothing at all when not enabled (standard error not a
// terminal).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "print/JobProgress.h"

namespace labelplu {
namespace {

std::string Written(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
  return text;
}

TEST(PrinterDeviceProgressTest, ReportsLongJobsAtABoundedRate) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  {
    // The clock starts near the wrap of the tick counter on purpose.
    const uint32_t start = 0xFFFFFF00u;
    JobProgress progress(1000, file, true, start);
    progress.Step(10, start + 500);   // too early
    progress.Step(20, start + 1000);  // shown
    progress.Step(30, start + 1100);  // too soon after the last
    progress.Step(40, start + 1250);  // shown
    progress.Step(1000, start + 1300);
  }  // the destructor shows the final count and ends the line
  EXPECT_EQ(Written(file),
            "\rlabelplu: label 20 of 1000\rlabelplu: label 40 of 1000\rlabelplu: label 1000 of "
            "1000\n");
  std::fclose(file);
}

TEST(PrinterDeviceProgressTest, SilentWhenDisabledOrShort) {
  for (const bool enabled : {false, true}) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
      JobProgress progress(5, file, enabled, 0);
      progress.Step(5, enabled ? 999 : 5000);
      progress.Finish();
    }
    EXPECT_EQ(Written(file), "") << enabled;
    std::fclose(file);
  }
}

}  // namespace
}  // namespace labelplu
