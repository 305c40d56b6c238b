#include "ports/SerialPortSettings.h"

#include <charconv>
#include <stdexcept>

namespace labelplu {
namespace {

bool SameAscii(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return i == a.size() && b[i] == '\0';
}

bool PortTextToBool(const std::string& text) {
  if (SameAscii(text, "True")) return true;
  if (SameAscii(text, "False")) return false;
  try {
    return PortTextToInt(text) != 0;
  } catch (const std::invalid_argument&) {
    throw std::invalid_argument("'" + text + "' is not a valid boolean value");
  }
}

}  // namespace

int32_t PortTextToInt(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') {
    ++first;
    if (first != last && *first == '-') first = last;  // "+-5" is no number
  }
  int32_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last)
    throw std::invalid_argument("'" + text + "' is not a valid integer value");
  return value;
}

void LoadSerialPortSettings(SerialPortSettings& s, const SettingLookup& lookup) {
  const auto text = [&](const char* key, std::string& field) {
    std::string value = lookup(key);
    if (!value.empty()) field = std::move(value);
  };
  const auto integer = [&](const char* key, int32_t& field) {
    const std::string value = lookup(key);
    if (!value.empty()) field = PortTextToInt(value);
  };
  const auto flag = [&](const char* key, bool& field) {
    const std::string value = lookup(key);
    if (!value.empty()) field = PortTextToBool(value);
  };
  text("ComName", s.ComName);
  integer("ComNumber", s.ComNumber);
  integer("Baud", s.Baud);
  integer("DataBits", s.DataBits);
  integer("StopBits", s.StopBits);
  integer("Parity", s.Parity);
  flag("UseEventWord", s.UseEventWord);
  flag("RS485Mode", s.RS485Mode);
  integer("BaseAddress", s.BaseAddress);
  integer("InSize", s.InSize);
  integer("OutSize", s.OutSize);
  integer("BufferFull", s.BufferFull);
  integer("BufferResume", s.BufferResume);
  integer("ControlDTR", s.ControlDTR);
  integer("ControlRTS", s.ControlRTS);
  integer("FlowControl", s.FlowControl);
  integer("SWFlowOptions", s.SWFlowOptions);
  integer("XOnChar", s.XOnChar);
  integer("XOffChar", s.XOffChar);
  integer("TimeOutWrite", s.TimeOutWrite);
  flag("IsOpen", s.IsOpen);
  text("NetworkPrinterName", s.NetworkPrinterName);
  text("FileNamePrint", s.FileNamePrint);
}

}  // namespace labelplu
