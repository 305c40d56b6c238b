#include "devices/PortParameters.h"

#include <algorithm>
#include <array>

#include "base/TextUtils.h"
#include "ports/SerialPortSettings.h"

namespace labelplu {

namespace {

constexpr std::array<int32_t, 38> kComNumbers = {
    1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,  15,  16,  17,  18,  19,
    20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 101, 102, 103, 201, 901, 902};
constexpr std::array<int32_t, 10> kBauds = {115200, 57600, 38400, 19200, 9600,
                                            4800,   2400,  1200,  300,   28800};
constexpr std::array<int32_t, 4> kDataBits = {8, 7, 6, 5};
constexpr std::array<int32_t, 2> kStopBits = {2, 1};

constexpr const char* kReadOrder[] = {
    "ComName",     "ComNumber",          "Baud",         "DataBits",    "StopBits",
    "Parity",      "UseEventWord",       "RS485Mode",    "BaseAddress", "InSize",
    "OutSize",     "BufferFull",         "BufferResume", "ControlDTR",  "ControlRTS",
    "FlowControl", "SWFlowOptions",      "XOnChar",      "XOffChar",    "TimeOutWrite",
    "IsOpen",      "NetworkPrinterName", "FileNamePrint"};

int32_t* IntField(SerialPortSettings& s, std::string_view name) {
  struct Entry {
    const char* name;
    int32_t SerialPortSettings::*field;
  };
  static constexpr Entry kFields[] = {{"ComNumber", &SerialPortSettings::ComNumber},
                                      {"Baud", &SerialPortSettings::Baud},
                                      {"DataBits", &SerialPortSettings::DataBits},
                                      {"StopBits", &SerialPortSettings::StopBits},
                                      {"Parity", &SerialPortSettings::Parity},
                                      {"BaseAddress", &SerialPortSettings::BaseAddress},
                                      {"InSize", &SerialPortSettings::InSize},
                                      {"OutSize", &SerialPortSettings::OutSize},
                                      {"BufferFull", &SerialPortSettings::BufferFull},
                                      {"BufferResume", &SerialPortSettings::BufferResume},
                                      {"ControlDTR", &SerialPortSettings::ControlDTR},
                                      {"ControlRTS", &SerialPortSettings::ControlRTS},
                                      {"FlowControl", &SerialPortSettings::FlowControl},
                                      {"SWFlowOptions", &SerialPortSettings::SWFlowOptions},
                                      {"XOnChar", &SerialPortSettings::XOnChar},
                                      {"XOffChar", &SerialPortSettings::XOffChar},
                                      {"TimeOutWrite", &SerialPortSettings::TimeOutWrite}};
  for (const Entry& e : kFields)
    if (name == e.name) return &(s.*e.field);
  return nullptr;
}

}  // namespace

std::span<const int32_t> PortValueTable(std::string_view name) {
  if (SameText(name, "ComNumber")) return kComNumbers;
  if (SameText(name, "Baud")) return kBauds;
  if (SameText(name, "DataBits")) return kDataBits;
  if (SameText(name, "StopBits")) return kStopBits;
  return {};
}

std::span<const char* const> PortReadOrder() {
  return kReadOrder;
}

void StorePortValue(SerialPortSettings& s, std::string_view name, const std::string& text) {
  if (name == "ComName")
    s.ComName = text;
  else if (name == "NetworkPrinterName")
    s.NetworkPrinterName = text;
  else if (name == "FileNamePrint")
    s.FileNamePrint = text;
  else if (name == "UseEventWord")
    s.UseEventWord = PortTextToInt(text) != 0;
  else if (name == "RS485Mode")
    s.RS485Mode = PortTextToInt(text) != 0;
  else if (name == "IsOpen")
    s.IsOpen = PortTextToInt(text) != 0;
  else if (int32_t* field = IntField(s, name)) {
    const int32_t value = PortTextToInt(text);
    const std::span<const int32_t> table = PortValueTable(name);
    if (table.empty()) {
      *field = value;
    } else {
      // A value outside the table has no index: keep the previous one.
      const auto at = std::find(table.begin(), table.end(), value);
      if (at != table.end()) *field = static_cast<int32_t>(at - table.begin());
    }
  }
}

}  // namespace labelplu
