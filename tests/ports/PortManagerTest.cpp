#include "ports/PortManager.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>

namespace labelplu {
namespace {

using Clock = std::chrono::steady_clock;

// Wall time and process CPU time of f, in ms.
template <class F>
std::pair<double, double> Measure(F f) {
  const std::clock_t cpu0 = std::clock();
  const auto wall0 = Clock::now();
  f();
  const double wall = std::chrono::duration<double, std::milli>(Clock::now() - wall0).count();
  const double cpu = 1000.0 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
  return {wall, cpu};
}

class Application {
 public:
  Application() : m_app(m_argc, m_argv) {}

 private:
  int m_argc = 1;
  char m_name[16] = "ports_test";
  char* m_argv[2] = {m_name, nullptr};
  QCoreApplication m_app;
};

TEST(PortManagerTest, StartsOffWithTheInitialSettings) {
  PortManager port;
  EXPECT_FALSE(port.On());

  const SerialPortSettings& s = port.Settings();
  EXPECT_EQ(s.ComName, "");
  EXPECT_EQ(s.NetworkPrinterName, "");
  EXPECT_EQ(s.FileNamePrint, "");
  const std::pair<const char*, int32_t> integers[] = {{"ComNumber", s.ComNumber},
                                                      {"Baud", s.Baud},
                                                      {"DataBits", s.DataBits},
                                                      {"StopBits", s.StopBits},
                                                      {"Parity", s.Parity},
                                                      {"BaseAddress", s.BaseAddress},
                                                      {"InSize", s.InSize},
                                                      {"OutSize", s.OutSize},
                                                      {"BufferFull", s.BufferFull},
                                                      {"BufferResume", s.BufferResume},
                                                      {"SWFlowOptions", s.SWFlowOptions},
                                                      {"XOnChar", s.XOnChar},
                                                      {"XOffChar", s.XOffChar},
                                                      {"FlowControl", s.FlowControl},
                                                      {"ControlDTR", s.ControlDTR},
                                                      {"ControlRTS", s.ControlRTS},
                                                      {"TimeOutWrite", s.TimeOutWrite}};
  const std::map<std::string, int32_t> expected = {
      {"ComNumber", 0},    {"Baud", 4},         {"DataBits", 0},      {"StopBits", 1},
      {"Parity", 0},       {"BaseAddress", 0},  {"InSize", 4096},     {"OutSize", 4096},
      {"BufferFull", 0},   {"BufferResume", 0}, {"SWFlowOptions", 0}, {"XOnChar", 17},
      {"XOffChar", 19},    {"FlowControl", 2},  {"ControlDTR", 0},    {"ControlRTS", 0},
      {"TimeOutWrite", 10}};
  for (const auto& [key, value] : integers) EXPECT_EQ(value, expected.at(key)) << key;
  EXPECT_TRUE(s.UseEventWord);
  EXPECT_FALSE(s.RS485Mode);
  EXPECT_FALSE(s.IsOpen);
  EXPECT_FALSE(port.KeepOpen());
}

TEST(PortManagerTest, ClosePausesWhileProcessingEventsWithoutBurningCpu) {
  Application app;
  PortManager port;
  bool delivered = false;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&] { delivered = true; }, Qt::QueuedConnection);
  const auto [wall, cpu] = Measure([&] { port.Close(); });
  EXPECT_TRUE(delivered);
  // A pause can only last longer than asked, never shorter; how much longer
  // depends on the machine, so no upper bound.
  EXPECT_GE(wall, 30.0);
  EXPECT_LT(cpu, wall / 4) << "a close burnt " << cpu << " ms of CPU";
}

// Destruction closes, with its pause.
TEST(PortManagerTest, DestructionCloses) {
  auto port = std::make_unique<PortManager>();
  const auto [wall, cpu] = Measure([&] { port.reset(); });
  (void)cpu;
  EXPECT_GE(wall, 30.0);
}

}  // namespace
}  // namespace labelplu
