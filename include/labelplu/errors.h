// labelplu: the exceptions that leave CallEntry.
//
// Every failure the driver reports to its host leaves CallEntry as an
// EProtectException carrying an error code and the finished message (UTF-8,
// in what()). EHardwareEquipmentException is raised by the switch-on and
// switch-off methods when the device reports an error. Other failures (the
// text of a value array's bounds check, a conversion error) leave as
// exceptions derived from std::exception with the text in what(), so a host
// that catches EProtectException first and std::exception next sees every
// failure with its text.
//
// Codes: 0 success (never raised); 1..19999 device result codes; 20000..21999
// framework errors; 20000 is a free-text error.
//
// The classes are header-only with default visibility, so that a C++ host
// catches them by type whatever module threw them.
#ifndef LABELPLU_ERRORS_H
#define LABELPLU_ERRORS_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace labelplu {

class __attribute__((visibility("default"))) EProtectException : public std::runtime_error {
 public:
  EProtectException(int32_t code, const std::string& message)
      : std::runtime_error(message), Code(code), Codes{code} {}

  // The error code (20000 for a free-text error).
  int32_t Code;
  // The codes of the failure; a newly raised exception holds exactly Code.
  std::vector<int32_t> Codes;
};

class __attribute__((visibility("default"))) EHardwareEquipmentException
    : public EProtectException {
 public:
  using EProtectException::EProtectException;
};

}  // namespace labelplu

#endif  // LABELPLU_ERRORS_H
