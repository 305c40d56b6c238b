// labelplu: the error table and the raise operations.
//
// Every failure the driver reports to its host is raised through these
// functions as labelplu::EProtectException (include/labelplu/errors.h) with a
// code and the finished UTF-8 message. Codes 20000..21999 take their message
// template from the bilingual table; any other code is a free-text error whose
// message is the first argument.
//
// Threads: every function may be called from any thread; the user language is
// read from the environment on each call.
#ifndef LABELPLU_BASE_ERRORS_H
#define LABELPLU_BASE_ERRORS_H

#include <array>
#include <concepts>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

#include "labelplu/errors.h"

namespace labelplu {

// One argument of a message template: a text for "%s", an integer for "%d".
using FormatArg = std::variant<std::string, int64_t>;

// Raised when a template's placeholders do not match its arguments (too few
// arguments, a text for "%d", an integer for "%s", an unknown placeholder).
// The call sites of the driver pass matching arguments; this is a programming
// error made visible, never undefined behaviour.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline FormatArg ToFormatArg(std::string_view text) {
  return FormatArg(std::string(text));
}
inline FormatArg ToFormatArg(const char* text) {
  return FormatArg(std::string(text ? text : ""));
}
inline FormatArg ToFormatArg(const std::string& text) {
  return FormatArg(text);
}
template <std::integral T>
FormatArg ToFormatArg(T value) {
  return FormatArg(static_cast<int64_t>(value));
}

// Fills the placeholders of pattern from args, left to right: "%s" takes a
// text, "%d" an integer, "%%" is a percent sign. Arguments left over are
// ignored (an English template may use fewer than its Russian twin). Raises
// FormatError on a mismatch.
std::string FormatText(std::string_view pattern, std::span<const FormatArg> args);

template <class... A>
std::string Format(std::string_view pattern, const A&... args) {
  const std::array<FormatArg, sizeof...(A)> list{ToFormatArg(args)...};
  return FormatText(pattern, list);
}

// True when the user's interface language is Russian: the first of the
// environment variables LANGUAGE (its first colon-separated entry), LC_ALL,
// LC_MESSAGES, LANG that is set and not empty decides; a value beginning with
// "ru" is Russian, anything else (or nothing set) is English.
bool UserLanguageIsRussian();

// The message template of code in the user's language. A code without a
// Russian row gives "Неизвестная ошибка (Код = <code>)!"; under English a code
// without an English text gives "Unknown error (Code = <code>)!". Both are
// complete texts without placeholders.
std::string ErrorTemplate(int32_t code);

// Builds the message (the template of code filled with args for 20000..21999,
// otherwise the first argument) and throws EProtectException(code, message).
// Throws FormatError when the arguments do not match the template.
[[noreturn]] void RaiseErrorArgs(int32_t code, std::span<const FormatArg> args);

template <class... A>
[[noreturn]] void RaiseError(int32_t code, const A&... args) {
  const std::array<FormatArg, sizeof...(A)> list{ToFormatArg(args)...};
  RaiseErrorArgs(code, list);
}

// RaiseError with the code and no arguments.
[[noreturn]] void RaiseCode(int32_t code);

// RaiseError(20000, text): code 20000, the message is text itself.
[[noreturn]] void RaiseMessage(std::string_view text);

}  // namespace labelplu

#endif  // LABELPLU_BASE_ERRORS_H
