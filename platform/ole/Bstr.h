// labelplu automation runtime: C++ helpers over BSTR.
#ifndef LABELPLU_PLATFORM_OLE_BSTR_H
#define LABELPLU_PLATFORM_OLE_BSTR_H

#include <memory>
#include <string>
#include <string_view>

#include "labelplu/oleauto.h"
#include "platform/ole/OleExport.h"

namespace labelplu::ole {

struct BstrDeleter {
  void operator()(OLECHAR* s) const noexcept { SysFreeString(s); }
};

// An owned BSTR, freed with SysFreeString.
using BstrPtr = std::unique_ptr<OLECHAR, BstrDeleter>;

// The characters of s (a null BSTR is the empty text); valid while s lives.
inline std::u16string_view BstrView(BSTR s) {
  return s ? std::u16string_view(s, SysStringLen(s)) : std::u16string_view();
}

// The text of s as UTF-8 (null gives "").
LP_OLE_EXPORT std::string BstrToUtf8(BSTR s);

// A new BSTR (owned by the caller) holding text. Never null: throws
// std::bad_alloc when memory runs out.
LP_OLE_EXPORT BSTR Utf8ToBstr(std::string_view text);
LP_OLE_EXPORT BSTR Utf16ToBstr(std::u16string_view text);

}  // namespace labelplu::ole

#endif  // LABELPLU_PLATFORM_OLE_BSTR_H
