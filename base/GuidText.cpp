#include "base/GuidText.h"

#include <stdexcept>

#include "base/VariantUtils.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/Utf.h"

namespace labelplu {

GUID TextToGuid(std::string_view text) {
  GUID guid{};
  if (text.empty()) return guid;
  const std::u16string wide = ole::Utf8ToUtf16(text);
  // The runtime parses up to the first zero character; a text with an
  // embedded zero must not pass as its prefix.
  if (wide.find(u'\0') != std::u16string::npos || FAILED(CLSIDFromString(wide.c_str(), &guid))) {
    throw std::runtime_error("Значение не является идентификатором объекта.");
  }
  return guid;
}

bool IsGuidText(const VARIANT& value) {
  const VARIANT& v = DerefVariant(value);
  BSTR text = nullptr;
  if (v.vt == VT_BSTR) {
    text = v.bstrVal;
  } else if (v.vt == (VT_BSTR | VT_BYREF) && v.pbstrVal) {
    text = *v.pbstrVal;
  } else {
    return false;
  }
  try {
    TextToGuid(ole::BstrToUtf8(text));
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

std::string GuidToText(const GUID& guid) {
  OLECHAR buffer[40];
  const int32_t written = StringFromGUID2(&guid, buffer, 40);
  if (written <= 0) throw std::runtime_error("GUID conversion failed");
  return ole::Utf16ToUtf8(std::u16string_view(buffer, static_cast<size_t>(written - 1)));
}

GUID NewGuid() {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) throw std::runtime_error("GUID creation failed");
  return guid;
}

bool IsNullGuid(const GUID& guid) {
  const GUID null{};
  return IsEqualGUID(&guid, &null) != 0;
}

}  // namespace labelplu
