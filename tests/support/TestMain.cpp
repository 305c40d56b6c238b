// The main of every test program: the environment the tests rely on, so
// that a test program runs the same from ctest and by hand.
#include <gtest/gtest.h>

#include <cstdlib>

// fontconfig keeps part of its parsed configuration until the process ends
// (a leak inside the system library, under Qt's font database); without
// this, LeakSanitizer fails every test that measures or paints text. The
// hook must be visible for the sanitizer runtime to find it.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the name the runtime looks up.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  // No test may need a display or wait for a person.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("LABELPLU_BIN", LABELPLU_TEST_BIN_DIR, 0);
  setenv("LABELPLU_SOURCE", LABELPLU_TEST_SOURCE_DIR, 0);
  // Log folders of the modules under test stay inside the build tree.
  setenv("LABELPLU_LOG_ROOT", LABELPLU_TEST_LOG_ROOT, 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
