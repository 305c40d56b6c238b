#include "platform/ole/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/ole/OleInternal.h"
#include "platform/ole/Utf.h"

namespace labelplu::ole {

namespace detail {

BSTR AllocBstrBytes(const void* data, uint32_t bytes) {
  // Prefix, text and the zero terminator must fit the 32-bit length word.
  if (bytes > UINT32_MAX - sizeof(uint32_t) - sizeof(OLECHAR)) return nullptr;
  const size_t total = sizeof(uint32_t) + size_t{bytes} + sizeof(OLECHAR);
  auto* block = static_cast<unsigned char*>(std::malloc(total));
  if (!block) return nullptr;
  std::memcpy(block, &bytes, sizeof bytes);
  unsigned char* text = block + sizeof(uint32_t);
  if (data) {
    std::memcpy(text, data, bytes);
  } else {
    std::memset(text, 0, bytes);
  }
  // Two zero bytes after the text; an odd byte length still ends in a zero
  // OLECHAR when read from the start.
  text[bytes] = 0;
  text[bytes + 1] = 0;
  return reinterpret_cast<BSTR>(text);
}

BSTR CopyBstr(BSTR s, bool& ok) {
  ok = true;
  if (!s) return nullptr;
  BSTR copy = AllocBstrBytes(s, SysStringByteLen(s));
  ok = copy != nullptr;
  return copy;
}

}  // namespace detail

std::string BstrToUtf8(BSTR s) {
  return Utf16ToUtf8(BstrView(s));
}

BSTR Utf16ToBstr(std::u16string_view text) {
  if (text.size() > UINT32_MAX / sizeof(OLECHAR)) throw std::bad_alloc();
  BSTR s = SysAllocStringLen(text.data(), static_cast<uint32_t>(text.size()));
  if (!s) throw std::bad_alloc();
  return s;
}

BSTR Utf8ToBstr(std::string_view text) {
  return Utf16ToBstr(Utf8ToUtf16(text));
}

}  // namespace labelplu::ole

using namespace labelplu::ole;

BSTR SysAllocString(const OLECHAR* text) {
  uint32_t len = 0;
  if (text) {
    const size_t n = std::char_traits<OLECHAR>::length(text);
    if (n > UINT32_MAX / sizeof(OLECHAR)) return nullptr;
    len = static_cast<uint32_t>(n);
  }
  return SysAllocStringLen(text, len);
}

BSTR SysAllocStringLen(const OLECHAR* text, uint32_t len) {
  if (len > UINT32_MAX / sizeof(OLECHAR)) return nullptr;
  return detail::AllocBstrBytes(text, len * static_cast<uint32_t>(sizeof(OLECHAR)));
}

BSTR SysAllocStringUtf8(const char* utf8, size_t len) {
  try {
    if (!utf8) return Utf16ToBstr({});
    const size_t n = len == static_cast<size_t>(-1) ? std::strlen(utf8) : len;
    return Utf8ToBstr(std::string_view(utf8, n));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void SysFreeString(BSTR s) {
  if (s) std::free(reinterpret_cast<unsigned char*>(s) - sizeof(uint32_t));
}

uint32_t SysStringByteLen(BSTR s) {
  if (!s) return 0;
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(s) - sizeof(uint32_t), sizeof bytes);
  return bytes;
}

uint32_t SysStringLen(BSTR s) {
  return SysStringByteLen(s) / sizeof(OLECHAR);
}

size_t SysStringToUtf8(BSTR s, char** out) {
  if (!out) return 0;
  *out = nullptr;
  try {
    const std::string text = BstrToUtf8(s);
    auto* block = static_cast<char*>(std::malloc(text.size() + 1));
    if (!block) return 0;
    std::memcpy(block, text.data(), text.size() + 1);
    *out = block;
    return text.size();
  } catch (const std::bad_alloc&) {
    return 0;
  }
}
