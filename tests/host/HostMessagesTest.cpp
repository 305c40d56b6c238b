#include "host/HostMessages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace labelplu::host {
namespace {

// The placeholders of a pattern in order: a mismatch between the two texts
// of a row would make Say throw in one language only.
std::string Placeholders(std::string_view pattern) {
  std::string out;
  for (size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    if (pattern[i + 1] != '%') out += pattern[i + 1];
    ++i;
  }
  return out;
}

TEST(HostMessages, EveryRowSitsAtItsIdAndBothTextsTakeTheSameArguments) {
  const auto rows = HostMessageRows();
  ASSERT_EQ(rows.size(), static_cast<size_t>(HostMessage::Count));
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(std::string(rows[i].English));
    EXPECT_EQ(static_cast<size_t>(rows[i].Id), i);
    EXPECT_FALSE(rows[i].English.empty());
    EXPECT_FALSE(rows[i].Russian.empty());
    EXPECT_EQ(Placeholders(rows[i].English), Placeholders(rows[i].Russian));
  }
}

TEST(HostMessages, TheLanguageFollowsTheLocale) {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(name);
  setenv("LANG", "ru_RU.UTF-8", 1);
  EXPECT_EQ(Say(HostMessage::TryHelp), "Справка: 'labelhost --help'.");
  setenv("LANG", "C.UTF-8", 1);
  EXPECT_EQ(Say(HostMessage::TryHelp), "Try 'labelhost --help'.");
}

}  // namespace
}  // namespace labelplu::host
