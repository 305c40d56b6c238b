// labelplu host: the error of the host's own operations.
//
// Everything the host itself cannot do (load the module, read an argument
// file, convert a value) ends in a HostError whose what() is a UTF-8 message
// a user can act on: it names the file, the line or the value concerned.
#ifndef LABELPLU_HOST_HOSTERROR_H
#define LABELPLU_HOST_HOSTERROR_H

#include <stdexcept>
#include <string>

#include "labelplu/oleauto.h"

namespace labelplu::host {

class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text of a failed interface call: the thread's error information (taken
// and cleared) or, without one, the system text of hr; then the code in hex,
// as in "Class not registered (HRESULT 0x80040154)".
std::string OleFailureText(HRESULT hr);

// Throws HostError(what + ": " + OleFailureText(hr)).
[[noreturn]] void ThrowOleFailure(HRESULT hr, const std::string& what);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_HOSTERROR_H
