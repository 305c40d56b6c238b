#include "ports/SerialPortSettings.h"

#include <charconv>
#include <stdexcept>

namespace labelplu {

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

}  // namespace labelplu
