// The port settings as named text values, with the tables that four of them
// are stored as indexes into.
#ifndef LABELPLU_DEVICES_PORTPARAMETERS_H
#define LABELPLU_DEVICES_PORTPARAMETERS_H

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "devices/ParameterRecord.h"
#include "ports/SerialPortSettings.h"

namespace labelplu {

// The table of "ComNumber", "Baud", "DataBits" or "StopBits"; empty for any
// other name.
std::span<const int32_t> PortValueTable(std::string_view name);

// The six device-parameter records of the port parameters ("ComNumber",
// "Baud", "DataBits", "StopBits", "Parity", "IsOpen").
std::span<const ParameterRecord> PortParamRecords();

// The names read back from settings, in order.
std::span<const char* const> PortReadOrder();

// Stores text into the port settings field of name: integers converted
// (raising on texts that are not numbers), tables mapped to indexes (a value
// outside its table keeps the previous index), texts as they are.
void StorePortValue(SerialPortSettings& settings, std::string_view name, const std::string& text);

// The port parameters a device writes, by enabled group, as name and text.
struct PortValueTables {
  bool Main = false;
  bool Flow = false;
  bool Target = false;
};
void ForEachPortValue(const SerialPortSettings& settings, PortValueTables groups,
                      void (*emit)(void* context, std::string_view name, const std::string& value),
                      void* context);

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_PORTPARAMETERS_H
