// The port settings as named text values, with the tables that four of them
// are stored as indexes into. Settings documents and device parameters fill
// them; nothing writes them back.
#ifndef LABELPLU_DEVICES_PORTPARAMETERS_H
#define LABELPLU_DEVICES_PORTPARAMETERS_H

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ports/SerialPortSettings.h"

namespace labelplu {

// The table of "ComNumber", "Baud", "DataBits" or "StopBits"; empty for any
// other name.
std::span<const int32_t> PortValueTable(std::string_view name);

// The names read back from settings, in order.
std::span<const char* const> PortReadOrder();

// Stores text into the port settings field of name: integers converted
// (raising on texts that are not numbers), tables mapped to indexes (a value
// outside its table keeps the previous index), texts as they are.
void StorePortValue(SerialPortSettings& settings, std::string_view name, const std::string& text);

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_PORTPARAMETERS_H
