// GUID creation, parsing and formatting, and the standard interface
// identifiers.
#include <sys/random.h>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "labelplu/oleauto.h"

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IErrorInfo = {
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

namespace {

bool FillRandom(unsigned char* buf, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = getrandom(buf + done, size - done, 0);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  if (done == size) return true;
  // Kernels without getrandom: read the device instead.
  const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  while (done < size) {
    const ssize_t n = read(fd, buf + done, size - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (!(n < 0 && errno == EINTR)) {
      break;
    }
  }
  close(fd);
  return done == size;
}

int HexValue(OLECHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads digits hex digits at text; false on a non-hex character.
bool ReadHex(const OLECHAR* text, int digits, uint64_t& value) {
  value = 0;
  for (int i = 0; i < digits; ++i) {
    const int v = HexValue(text[i]);
    if (v < 0) return false;
    value = (value << 4) | static_cast<uint64_t>(v);
  }
  return true;
}

}  // namespace

HRESULT CoCreateGuid(GUID* out) {
  if (!out) return E_POINTER;
  unsigned char bytes[16];
  if (!FillRandom(bytes, sizeof bytes)) return E_FAIL;
  std::memcpy(out, bytes, sizeof bytes);
  out->Data3 = static_cast<uint16_t>((out->Data3 & 0x0FFF) | 0x4000);   // version 4
  out->Data4[0] = static_cast<uint8_t>((out->Data4[0] & 0x3F) | 0x80);  // RFC 4122 variant
  return S_OK;
}

HRESULT CLSIDFromString(const OLECHAR* text, GUID* out) {
  if (!out) return E_POINTER;
  std::memset(out, 0, sizeof *out);
  if (!text) return E_INVALIDARG;
  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": 38 characters, then the end.
  for (int i = 0; i < 38; ++i) {
    if (text[i] == 0) return E_INVALIDARG;
  }
  if (text[38] != 0 || text[0] != u'{' || text[37] != u'}' || text[9] != u'-' || text[14] != u'-' ||
      text[19] != u'-' || text[24] != u'-') {
    return E_INVALIDARG;
  }
  GUID g;
  uint64_t v;
  if (!ReadHex(text + 1, 8, v)) return E_INVALIDARG;
  g.Data1 = static_cast<uint32_t>(v);
  if (!ReadHex(text + 10, 4, v)) return E_INVALIDARG;
  g.Data2 = static_cast<uint16_t>(v);
  if (!ReadHex(text + 15, 4, v)) return E_INVALIDARG;
  g.Data3 = static_cast<uint16_t>(v);
  static constexpr int kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text + kByteAt[i], 2, v)) return E_INVALIDARG;
    g.Data4[i] = static_cast<uint8_t>(v);
  }
  *out = g;
  return S_OK;
}

int32_t StringFromGUID2(const GUID* guid, OLECHAR* buf, int32_t max) {
  if (!guid || !buf || max < 39) return 0;
  static constexpr char kHex[] = "0123456789ABCDEF";
  OLECHAR* p = buf;
  auto put = [&p](uint64_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i)
      *p++ = static_cast<OLECHAR>(kHex[(value >> (4 * i)) & 0xF]);
  };
  *p++ = u'{';
  put(guid->Data1, 8);
  *p++ = u'-';
  put(guid->Data2, 4);
  *p++ = u'-';
  put(guid->Data3, 4);
  *p++ = u'-';
  put(guid->Data4[0], 2);
  put(guid->Data4[1], 2);
  *p++ = u'-';
  for (int i = 2; i < 8; ++i) put(guid->Data4[i], 2);
  *p++ = u'}';
  *p = 0;
  return 39;
}

int IsEqualGUID(const GUID* a, const GUID* b) {
  if (!a || !b) return a == b;
  return std::memcmp(a, b, sizeof(GUID)) == 0;
}
