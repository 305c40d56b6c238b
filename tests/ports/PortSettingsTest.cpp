#include "ports/SerialPortSettings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <stdexcept>

namespace labelplu {
namespace {

using Values = std::map<std::string, std::string>;

SettingLookup LookupIn(const Values& values) {
  return [&values](const std::string& key) {
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  };
}

TEST(PortSettingsTest, EveryKeyFillsItsField) {
  const Values values = {{"ComName", "/dev/ttyS1"},
                         {"ComNumber", "3"},
                         {"Baud", "0"},
                         {"DataBits", "1"},
                         {"StopBits", "0"},
                         {"Parity", "2"},
                         {"UseEventWord", "False"},
                         {"RS485Mode", "true"},
                         {"BaseAddress", "-5"},
                         {"InSize", "8192"},
                         {"OutSize", "+1024"},
                         {"BufferFull", "7"},
                         {"BufferResume", "8"},
                         {"ControlDTR", "1"},
                         {"ControlRTS", "2"},
                         {"FlowControl", "0"},
                         {"SWFlowOptions", "3"},
                         {"XOnChar", "1"},
                         {"XOffChar", "2"},
                         {"TimeOutWrite", "60"},
                         {"IsOpen", "1"},
                         {"NetworkPrinterName", "\\\\host\\printer"},
                         {"FileNamePrint", "out.prn"},
                         {"DeviceName", "ignored: the device name has no key"}};
  SerialPortSettings s;
  LoadSerialPortSettings(s, LookupIn(values));

  SerialPortSettings expected;
  expected.ComName = "/dev/ttyS1";
  expected.ComNumber = 3;
  expected.Baud = 0;
  expected.DataBits = 1;
  expected.StopBits = 0;
  expected.Parity = 2;
  expected.UseEventWord = false;
  expected.RS485Mode = true;
  expected.BaseAddress = -5;
  expected.InSize = 8192;
  expected.OutSize = 1024;
  expected.BufferFull = 7;
  expected.BufferResume = 8;
  expected.ControlDTR = 1;
  expected.ControlRTS = 2;
  expected.FlowControl = 0;
  expected.SWFlowOptions = 3;
  expected.XOnChar = 1;
  expected.XOffChar = 2;
  expected.TimeOutWrite = 60;
  expected.IsOpen = true;
  expected.NetworkPrinterName = "\\\\host\\printer";
  expected.FileNamePrint = "out.prn";
  EXPECT_EQ(s, expected);
}

TEST(PortSettingsTest, AbsentOrEmptyValuesLeaveFieldsUnchanged) {
  SerialPortSettings s;
  s.ComName = "kept";
  s.Baud = 9;
  s.IsOpen = true;
  const SerialPortSettings before = s;
  const Values values = {{"ComName", ""}, {"Baud", ""}, {"IsOpen", ""}};
  LoadSerialPortSettings(s, LookupIn(values));
  EXPECT_EQ(s, before);
}

TEST(PortSettingsTest, BooleansTakeWordsAndNumbers) {
  const struct {
    const char* text;
    bool value;
  } cases[] = {{"1", true}, {"0", false}, {"True", true}, {"FALSE", false}, {"2", true}};
  for (const auto& c : cases) {
    SerialPortSettings s;
    s.IsOpen = !c.value;
    const Values values = {{"IsOpen", c.text}};
    LoadSerialPortSettings(s, LookupIn(values));
    EXPECT_EQ(s.IsOpen, c.value) << c.text;
  }
}

TEST(PortSettingsTest, BadNumbersRaiseAfterTheFieldsBeforeThem) {
  const struct {
    const char* key;
    const char* text;
    const char* message;
  } cases[] = {
      {"Baud", "abc", "'abc' is not a valid integer value"},
      {"Baud", " 5", "' 5' is not a valid integer value"},
      {"Baud", "5x", "'5x' is not a valid integer value"},
      {"Baud", "+-5", "'+-5' is not a valid integer value"},
      {"Baud", "2147483648", "'2147483648' is not a valid integer value"},
      {"Baud", "$10", "'$10' is not a valid integer value"},
      {"IsOpen", "yes", "'yes' is not a valid boolean value"},
  };
  for (const auto& c : cases) {
    const Values values = {{"ComName", "first"}, {c.key, c.text}};
    SerialPortSettings s;
    try {
      LoadSerialPortSettings(s, LookupIn(values));
      ADD_FAILURE() << c.text << " was accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(s.ComName, "first") << c.text;
  }
  EXPECT_EQ(PortTextToInt("-2147483648"), INT32_MIN);
}

}  // namespace
}  // namespace labelplu
