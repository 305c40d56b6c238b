// labelplu automation runtime: exceptions and interface boundaries.
//
// No exception may cross a COM interface. An implementation wraps each slot
// in Safecall, which turns any exception into a failure HRESULT and leaves
// its message in the thread's error information:
//
//   HRESULT DriverObject::GetVersionText(BSTR* out) {
//     return Safecall([&] { *out = Utf8ToBstr(versionText()); });
//   }
//
// The caller turns a failure back into an exception with OleCheck, or reads
// the message with TakeErrorText.
#ifndef LABELPLU_PLATFORM_OLE_ERRORINFO_H
#define LABELPLU_PLATFORM_OLE_ERRORINFO_H

#include <exception>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "labelplu/oleauto.h"
#include "platform/ole/OleExport.h"

namespace labelplu::ole {

// A failure HRESULT of an interface call, with the callee's message.
class LP_OLE_EXPORT OleException : public std::runtime_error {
 public:
  OleException(HRESULT code, const std::string& message);
  ~OleException() override;

  HRESULT Code;
};

// Puts e.what() into the thread's error information and returns the
// failure code for it: the code of an OleException, E_OUTOFMEMORY for
// std::bad_alloc, else E_FAIL.
LP_OLE_EXPORT HRESULT ReportException(const std::exception& e) noexcept;

// As ReportException for the exception being handled (call only inside a
// catch block); an exception not derived from std::exception is reported as
// "Unknown exception".
LP_OLE_EXPORT HRESULT ReportCurrentException() noexcept;

// Runs body and returns its HRESULT (S_OK when body returns void); any
// exception is caught and reported (ReportCurrentException).
template <class F>
HRESULT Safecall(F&& body) noexcept {
  using Result = std::invoke_result_t<F&>;
  static_assert(std::is_void_v<Result> || std::is_same_v<Result, HRESULT>,
                "a safecall body returns void or HRESULT");
  try {
    if constexpr (std::is_void_v<Result>) {
      body();
      return S_OK;
    } else {
      return body();
    }
  } catch (...) {
    return ReportCurrentException();
  }
}

// Takes the thread's error information (clearing it) and returns its
// description as UTF-8; "" when there is none.
LP_OLE_EXPORT std::string TakeErrorText();

// The English system text of a result code ("Unspecified error",
// "Type mismatch.", ...), or "OLE error XXXXXXXX" for codes without one.
LP_OLE_EXPORT std::string HResultText(HRESULT hr);

// Does nothing when hr succeeded; otherwise raises OleException with hr and
// the thread's error text (TakeErrorText), or HResultText(hr) when there is
// none.
LP_OLE_EXPORT void OleCheck(HRESULT hr);

}  // namespace labelplu::ole

#endif  // LABELPLU_PLATFORM_OLE_ERRORINFO_H
