// Arguments of a hundred megabytes handed to the driver through Dispatch.
// Each ends in an error with a short text, within seconds, the memory a small
// multiple of the argument (the copies a request makes of it as UTF-16 and
// UTF-8 text).
#include <gtest/gtest.h>

#include <string>

#include "tests/robustness/DriverHarness.h"

namespace labelplu::test {
namespace {

TEST_F(DriverBounds, HundredMegabyteArguments) {
  const std::string huge(size_t{100} << 20, 'A');
  // Not a settings document: an error code, at once.
  auto [code, text] =
      Failure("AddDevice with 100 MiB of text", "ДобавитьУстройство", 1, {OleVariant(huge)}, 1024);
  EXPECT_EQ(code, -1);
  EXPECT_NE(text.find("Start tag expected"), std::string::npos) << text;
  EXPECT_EQ(DeviceCount(), 0);

  // A number argument of 100 MiB of digits-free text.
  std::tie(code, text) =
      Failure("ResultDescription with 100 MiB", "ОписаниеОшибки", 1, {OleVariant(huge)}, 1024);
  EXPECT_NE(code, 0);
  EXPECT_FALSE(text.empty());
  EXPECT_LT(text.size(), size_t{4096});  // the message does not carry the argument

  // A device named by 100 MiB: an attribute value past the XML parser's
  // limit of 10 MB.
  const std::string device = "<Устройство Наименование=\"" + huge + "\"/>";
  std::tie(code, text) =
      Failure("AddDevice named by 100 MiB", "ДобавитьУстройство", 1, {OleVariant(device)}, 1024);
  EXPECT_EQ(code, -1);
  EXPECT_NE(text.find("AttValue length too long"), std::string::npos) << text;
  EXPECT_EQ(DeviceCount(), 0);
}

}  // namespace
}  // namespace labelplu::test
