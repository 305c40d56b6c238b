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

constexpr ParameterRecord kPortRecords[] = {
    {"ComNumber", "", "Номер порта", "Integer", false, "1",
     "Номер порта\r\nДопустимые значения: 1, 2, 3..."},
    {"Baud", "", "Скорость порта", "Integer", false, "9600",
     "Скорость порта\r\nДопустимые значения: 115200, 57600, 38400, 19200, 9600, 4800, 2400, 1200, "
     "300, 28800"},
    {"DataBits", "", "Биты данных", "Integer", false, "8",
     "Биты данных (DataBits)\r\nДопустимые значения: 8, 7, 6, 5"},
    {"StopBits", "", "Стоп биты", "Integer", false, "1",
     "Стоп биты (StopBits)\r\nДопустимые значения: 1, 2"},
    {"Parity", "", "Четность", "Integer", false, "0",
     "Четность (Parity)\r\nДопустимые значения: 0 - \"Отсутствует (None)\", 1 - Нечетный (Odd), 2 "
     "- "
     "Четный (Even), 3 - Метка (Mark), 4 - Пробел (Space)"},
    {"IsOpen", "", "Блокировать", "Integer", false, "1",
     "Блокировать порт\r\nДопустимые значения: 1 - блокировать, 0 - нет"},
};

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

std::span<const ParameterRecord> PortParamRecords() {
  return kPortRecords;
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

void ForEachPortValue(const SerialPortSettings& s, PortValueTables groups,
                      void (*emit)(void*, std::string_view, const std::string&), void* context) {
  const auto tableValue = [](std::string_view name, int32_t index) {
    const std::span<const int32_t> table = PortValueTable(name);
    if (index < 0 || static_cast<size_t>(index) >= table.size()) return std::to_string(index);
    return std::to_string(table[static_cast<size_t>(index)]);
  };
  if (groups.Main) {
    emit(context, "ComName", s.ComName);
    emit(context, "ComNumber", tableValue("ComNumber", s.ComNumber));
    emit(context, "Baud", tableValue("Baud", s.Baud));
    emit(context, "DataBits", tableValue("DataBits", s.DataBits));
    emit(context, "StopBits", tableValue("StopBits", s.StopBits));
    emit(context, "Parity", std::to_string(s.Parity));
    emit(context, "IsOpen", std::to_string(s.IsOpen ? 1 : 0));
  }
  if (groups.Flow) {
    emit(context, "FlowControl", std::to_string(s.FlowControl));
    emit(context, "ControlDTR", std::to_string(s.ControlDTR));
    emit(context, "ControlRTS", std::to_string(s.ControlRTS));
    emit(context, "SWFlowOptions", std::to_string(s.SWFlowOptions));
    emit(context, "XOnChar", std::to_string(s.XOnChar));
    emit(context, "XOffChar", std::to_string(s.XOffChar));
    emit(context, "TimeOutWrite", std::to_string(s.TimeOutWrite));
  }
  if (groups.Target) {
    emit(context, "NetworkPrinterName", s.NetworkPrinterName);
    emit(context, "FileNamePrint", s.FileNamePrint);
  }
}

}  // namespace labelplu
