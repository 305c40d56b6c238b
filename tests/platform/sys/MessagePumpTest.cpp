#include "platform/sys/MessagePump.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace labelplu::sys {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs f and tells its wall time and this process's CPU time, in ms.
template <class F>
std::pair<double, double> Measure(F f) {
  const std::clock_t cpu0 = std::clock();
  const auto wall0 = Clock::now();
  f();
  const double wall = MillisecondsSince(wall0);
  const double cpu = 1000.0 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
  return {wall, cpu};
}

class Application {
 public:
  Application() : m_app(m_argc, m_argv) {}

 private:
  int m_argc = 1;
  char m_name[16] = "lp_sys_test";
  char* m_argv[2] = {m_name, nullptr};
  QCoreApplication m_app;
};

TEST(MessagePumpTest, TickCountFollowsTheClock) {
  // Ticks are milliseconds of the monotonic clock: they advance no more
  // than the clock over an interval that encloses their readings.
  const auto clock0 = std::chrono::steady_clock::now();
  const uint32_t t0 = TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const uint32_t elapsed = TickCount() - t0;
  const auto clockMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - clock0)
                           .count();
  EXPECT_GE(elapsed, 29u);
  EXPECT_LE(elapsed, clockMs + 1);
}

TEST(MessagePumpTest, WaitsTheFullTimeWithoutSpinning) {
  for (const uint32_t ms : {0u, 1u, 50u}) {
    const auto [wall, cpu] = Measure([ms] { WaitPumping(ms); });
    EXPECT_GE(wall, ms) << ms;
    if (ms == 50) {
      EXPECT_LT(cpu, wall / 4) << "a wait of 50 ms burnt " << cpu << " ms of CPU";
    }
  }
}

TEST(MessagePumpTest, ProcessesQueuedEventsOfTheApplicationThread) {
  Application app;
  bool timerFired = false, invoked = false;
  QTimer::singleShot(0, [&] { timerFired = true; });
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&] { invoked = true; }, Qt::QueuedConnection);
  const auto [wall, cpu] = Measure([] { WaitPumping(50); });
  EXPECT_TRUE(timerFired);
  EXPECT_TRUE(invoked);
  EXPECT_GE(wall, 50.0);
  EXPECT_LT(cpu, wall / 4);

  bool again = false;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&] { again = true; }, Qt::QueuedConnection);
  ProcessMessages();
  EXPECT_TRUE(again);
}

TEST(MessagePumpTest, OtherThreadsDoNotRunTheApplicationsEvents) {
  Application app;
  std::atomic<bool> invoked = false;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&] { invoked = true; }, Qt::QueuedConnection);
  std::thread other([] {
    WaitPumping(20);
    ProcessMessages();
  });
  other.join();
  EXPECT_FALSE(invoked);
  ProcessMessages();
  EXPECT_TRUE(invoked);
}

// A handler that keeps posting work cannot hold the wait past its end.
TEST(MessagePumpTest, EndlessEventsDoNotStretchTheWait) {
  Application app;
  QTimer busy;
  int turns = 0;
  QObject::connect(&busy, &QTimer::timeout, [&] { ++turns; });
  busy.start(0);
  const auto [wall, cpu] = Measure([] { WaitPumping(60); });
  (void)cpu;
  EXPECT_GE(wall, 60.0);
  EXPECT_LT(wall, 300.0);
  EXPECT_GT(turns, 0);
}

TEST(MessagePumpTest, WithoutApplicationNothingIsProcessed) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  const auto [wall, cpu] = Measure([] { ProcessMessages(); });
  (void)cpu;
  EXPECT_LT(wall, 50.0);
}

}  // namespace
}  // namespace labelplu::sys
