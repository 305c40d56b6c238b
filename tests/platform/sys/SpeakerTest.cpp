#include "platform/sys/Speaker.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace labelplu::sys {
namespace {

// Whatever way the machine offers (usually none here), a beep takes at least its
// duration and writes nothing to standard output.
TEST(SpeakerTest, TakesItsDurationAndLeavesStandardOutputAlone) {
  int pipeFds[2];
  ASSERT_EQ(::pipe2(pipeFds, O_NONBLOCK), 0);
  fflush(stdout);
  const int savedStdout = ::dup(STDOUT_FILENO);
  ::dup2(pipeFds[1], STDOUT_FILENO);

  const struct { uint32_t hz, ms; } cases[] = {{440, 60}, {0, 30}, {1, 10}, {100000, 10}, {800, 0}};
  std::string timings;
  for (const auto& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    Beep(c.hz, c.ms);
    const double took =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (took < c.ms) {  // a busy machine may only make it longer
      timings += std::to_string(c.hz) + " Hz " + std::to_string(c.ms) + " ms took " +
                 std::to_string(took) + " ms; ";
    }
  }

  fflush(stdout);
  ::dup2(savedStdout, STDOUT_FILENO);
  ::close(savedStdout);
  char buffer[64];
  const ssize_t leaked = ::read(pipeFds[0], buffer, sizeof buffer);
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  EXPECT_EQ(timings, "");
  EXPECT_LE(leaked, 0) << "Beep wrote to standard output";
}

}  // namespace
}  // namespace labelplu::sys
