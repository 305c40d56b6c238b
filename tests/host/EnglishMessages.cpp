// The host's unit tests compare messages in English whatever locale runs
// them; a test that wants Russian sets the locale itself.
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class EnglishMessages : public testing::Environment {
 public:
  void SetUp() override {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(name);
    setenv("LANG", "C", 1);
  }
};

[[maybe_unused]] testing::Environment* const kEnglish =
    testing::AddGlobalTestEnvironment(new EnglishMessages);

}  // namespace
