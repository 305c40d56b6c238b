// labelplu automation runtime: UTF-8 <-> UTF-16 conversion.
//
// Text inside the project is UTF-8; UTF-16 appears only at the binary
// boundary (BSTR). Both directions replace what cannot be decoded with
// U+FFFD, so a conversion never fails except for lack of memory
// (std::bad_alloc).
#ifndef LABELPLU_PLATFORM_OLE_UTF_H
#define LABELPLU_PLATFORM_OLE_UTF_H

#include <string>
#include <string_view>

#include "platform/ole/OleExport.h"

namespace labelplu::ole {

// UTF-8 to UTF-16. Ill-formed sequences become U+FFFD, one per maximal
// ill-formed subpart (the Unicode recommendation).
LP_OLE_EXPORT std::u16string Utf8ToUtf16(std::string_view text);

// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD.
LP_OLE_EXPORT std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace labelplu::ole

#endif  // LABELPLU_PLATFORM_OLE_UTF_H
