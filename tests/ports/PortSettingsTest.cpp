#include "ports/SerialPortSettings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

namespace labelplu {
namespace {

TEST(PortSettingsTest, IntegersAreDecimalWithAnOptionalSign) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {{"3", 3},
               {"-5", -5},
               {"+1024", 1024},
               {"0", 0},
               {"2147483647", INT32_MAX},
               {"-2147483648", INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(PortTextToInt(c.text), c.value) << c.text;
}

TEST(PortSettingsTest, AnythingElseRaisesWithTheText) {
  for (const char* text :
       {"abc", " 5", "5 ", "5x", "+-5", "--5", "2147483648", "$10", "0x10", ""}) {
    try {
      PortTextToInt(text);
      ADD_FAILURE() << text << " was accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

}  // namespace
}  // namespace labelplu
