// labelplu automation runtime: numbers and dates as text in the process
// formats.
//
// The process formats are fixed whatever the user's locale: decimal
// separator ",", dates "dd.MM.yyyy", times "hh:mm:ss". Reading accepts "."
// and "," as decimal separator. No function here depends on the C locale.
#ifndef LABELPLU_PLATFORM_OLE_VARFORMAT_H
#define LABELPLU_PLATFORM_OLE_VARFORMAT_H

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ole/OleExport.h"

namespace labelplu::ole {

// The shortest text of value with at most 15 significant digits (Delphi's
// FloatToStr): fixed notation while the decimal exponent lies in -4..14,
// otherwise "d,dddE±x" ("1E20", "1,5E-7"); "NAN", "INF", "-INF" for the
// special values. 1.5 gives "1,5", 0.0001 "0,0001", 1e-5 "1E-5".
LP_OLE_EXPORT std::string FloatToText(double value);

// The number in text: blanks around it allowed, an optional sign, digits
// with an optional "." or "," decimal separator and an optional exponent.
// False when text is not such a number or does not fit a double.
LP_OLE_EXPORT bool TextToFloat(std::string_view text, double& value);

// A currency value (value × 10000 in cy) as text: "-12,5", "3".
LP_OLE_EXPORT std::string CurrencyToText(int64_t cy);

// A date (days since 30.12.1899, fraction = time of day) as
// "dd.MM.yyyy" when it has no time, "hh:mm:ss" when it has only a time, else
// "dd.MM.yyyy hh:mm:ss" (30.12.1899 itself is "30.12.1899"). Seconds are
// rounded to the millisecond and then truncated. False outside the years
// 1..9999.
LP_OLE_EXPORT bool DateTimeToText(double date, std::string& text);

// Reads "dd.MM.yyyy", "dd.MM.yyyy hh:mm[:ss]" or "hh:mm[:ss]" (day, month,
// hour, minute, second of one or two digits, year of four; blanks around
// allowed). False when text is not such a date or names no real day.
LP_OLE_EXPORT bool TextToDateTime(std::string_view text, double& date);

}  // namespace labelplu::ole

#endif  // LABELPLU_PLATFORM_OLE_VARFORMAT_H
