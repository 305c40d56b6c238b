// The main of every test program: the environment the tests rely on, so
// that a test program runs the same from ctest and by hand.
#include <gtest/gtest.h>

#include <cstdlib>

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
