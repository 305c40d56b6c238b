// labelplu: Windows-1251 through iconv.
#include "label/Cp1251.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace labelplu {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
    if (m_cd == reinterpret_cast<iconv_t>(-1))
      throw std::system_error(errno, std::generic_category(),
                              std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(m_cd); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much of in as it can into out (appending). Returns 0 when
  // everything was converted, otherwise the errno that stopped it (EILSEQ,
  // EINVAL); in then starts at the offending bytes.
  int Convert(std::string_view& in, std::string& out) {
    char buffer[4096];
    while (!in.empty()) {
      char* src = const_cast<char*>(in.data());
      size_t srcLeft = in.size();
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
      const int err = rc == static_cast<size_t>(-1) ? errno : 0;
      out.append(buffer, static_cast<size_t>(dst - buffer));
      in.remove_prefix(in.size() - srcLeft);
      if (err != 0 && err != E2BIG) return err;
    }
    return 0;
  }

 private:
  iconv_t m_cd;
};

// The code point of the UTF-8 sequence at the start of s and its length; 0
// length when s does not start with a valid sequence.
size_t DecodeUtf8(std::string_view s, char32_t& cp) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  if (s.empty()) return 0;
  const unsigned char c = b(0);
  size_t n = 0;
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  if ((c & 0xE0) == 0xC0) {
    n = 2;
    cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3;
    cp = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4;
    cp = c & 0x07;
  } else
    return 0;
  if (s.size() < n) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i) & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string HexByte(unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  return std::string{kHex[c >> 4], kHex[c & 15]};
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsXmlBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The encoding named in an XML declaration at the start of text; empty when
// there is no declaration or it names none.
std::string_view DeclaredEncoding(std::string_view text) {
  if (!text.starts_with("<?xml") || text.size() < 6 || !IsXmlBlank(text[5])) return {};
  const size_t end = text.find("?>");
  if (end == std::string_view::npos) return {};
  std::string_view decl = text.substr(5, end - 5);
  const size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  decl.remove_prefix(at + 8);
  while (!decl.empty() && IsXmlBlank(decl.front())) decl.remove_prefix(1);
  if (decl.empty() || decl.front() != '=') return {};
  decl.remove_prefix(1);
  while (!decl.empty() && IsXmlBlank(decl.front())) decl.remove_prefix(1);
  if (decl.empty() || (decl.front() != '"' && decl.front() != '\'')) return {};
  const char quote = decl.front();
  decl.remove_prefix(1);
  const size_t close = decl.find(quote);
  return close == std::string_view::npos ? std::string_view() : decl.substr(0, close);
}

// The offset of the first byte that does not begin a valid UTF-8 sequence;
// npos when there is none.
size_t FirstInvalidUtf8(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();) {
    char32_t cp = 0;
    const size_t n = DecodeUtf8(bytes.substr(at), cp);
    if (n == 0) return at;
    at += n;
  }
  return std::string_view::npos;
}

}  // namespace

TemplateEncoding DetectTemplateEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return TemplateEncoding::Utf8WithBom;
  const std::string_view name = DeclaredEncoding(bytes);
  static constexpr std::string_view kUtf8 = "utf-8";
  if (name.size() == kUtf8.size() && std::equal(name.begin(), name.end(), kUtf8.begin(),
                                                [](char a, char b) { return AsciiLower(a) == b; }))
    return TemplateEncoding::Utf8Declared;
  return TemplateEncoding::Windows1251;
}

std::string TemplateBytesToUtf8(std::string_view bytes) {
  const TemplateEncoding encoding = DetectTemplateEncoding(bytes);
  if (encoding == TemplateEncoding::Windows1251) return Cp1251ToUtf8(bytes);
  const size_t skip = encoding == TemplateEncoding::Utf8WithBom ? kUtf8Bom.size() : 0;
  const std::string_view text = bytes.substr(skip);
  if (const size_t bad = FirstInvalidUtf8(text); bad != std::string_view::npos)
    throw CodePageError("byte 0x" + HexByte(static_cast<unsigned char>(text[bad])) +
                            " is not valid UTF-8 (the file says it is UTF-8)",
                        skip + bad);
  return std::string(text);
}

bool IsNonAsciiUtf8(std::string_view bytes) {
  const bool nonAscii = std::any_of(bytes.begin(), bytes.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return nonAscii && FirstInvalidUtf8(bytes) == std::string_view::npos;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  Converter conv("UTF-8", "WINDOWS-1251");
  std::string out;
  out.reserve(bytes.size());
  std::string_view in = bytes;
  if (conv.Convert(in, out) != 0) {
    const size_t offset = bytes.size() - in.size();
    throw CodePageError("byte 0x" + HexByte(static_cast<unsigned char>(in.front())) +
                            " is not a Windows-1251 character",
                        offset);
  }
  return out;
}

std::string Utf8ToCp1251Xml(std::string_view utf8) {
  Converter conv("WINDOWS-1251", "UTF-8");
  std::string out;
  out.reserve(utf8.size());
  std::string_view in = utf8;
  while (conv.Convert(in, out) != 0) {
    char32_t cp = 0;
    const size_t n = DecodeUtf8(in, cp);
    if (n == 0) {
      out += "&#65533;";
      in.remove_prefix(1);
    } else {
      out += "&#" + std::to_string(static_cast<uint32_t>(cp)) + ";";
      in.remove_prefix(n);
    }
  }
  return out;
}

}  // namespace labelplu
