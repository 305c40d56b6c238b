// labelplu: the font object of a primitive.
#include "TFont.h"

#include <vector>

namespace labelplu {

namespace {

// The text limits keep a template from asking for glyphs of absurd size.
constexpr int64_t kMaxFontSize = 1000;
constexpr int64_t kMaxFontHeight = kMaxFontSize * TFont::kPixelsPerInch / 72 + 1;

}  // namespace

gdi::COLORREF ColorToRgb(TColor color) {
  if (color >= 0 && color <= 0xFFFFFF) return static_cast<gdi::COLORREF>(color);
  const uint32_t raw = static_cast<uint32_t>(color);
  if ((raw & 0xFF000000u) == 0x80000000u) {
    switch (raw & 0xFFu) {
      case 5:
        return gdi::RGB(255, 255, 255);  // window
      case 15:
        return gdi::RGB(240, 240, 240);  // button face
      default:
        return gdi::RGB(0, 0, 0);  // window text and the rest
    }
  }
  return gdi::RGB(0, 0, 0);
}

TFont::TFont() = default;

void TFont::Changed() {
  if (OnChange) OnChange();
}

void TFont::SetCharset(uint8_t charset) {
  if (charset == m_charset) return;
  m_charset = charset;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == m_color) return;
  m_color = color;
  Changed();
}

void TFont::SetHeight(int32_t height) {
  if (height == m_height) return;
  m_height = height;
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name == m_name) return;
  m_name = name;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == m_pitch) return;
  m_pitch = pitch;
  Changed();
}

int32_t TFont::Size() const {
  return -gdi::MulDiv(m_height, 72, kPixelsPerInch);
}

void TFont::SetSize(int32_t size) {
  SetHeight(-gdi::MulDiv(size, kPixelsPerInch, 72));
}

void TFont::SetStyle(TFontStyles style) {
  if (style == m_style) return;
  m_style = style;
  Changed();
}

bool TFont::SameAs(const TFont& other) const {
  return m_charset == other.m_charset && m_color == other.m_color && m_height == other.m_height &&
         m_name == other.m_name && m_pitch == other.m_pitch && m_style == other.m_style;
}

void TFont::Assign(const TFont& source) {
  if (&source == this || SameAs(source)) return;
  m_charset = source.m_charset;
  m_color = source.m_color;
  m_height = source.m_height;
  m_name = source.m_name;
  m_pitch = source.m_pitch;
  m_style = source.m_style;
  Changed();
}

std::span<const TPropInfo> TFont::Properties() const {
  static const std::vector<TPropInfo> table = {
      IntegerProperty<TFont>("Charset", &TFont::Charset, &TFont::SetCharset, 0, 255),
      IntegerProperty<TFont>("Color", &TFont::Color, &TFont::SetColor, INT32_MIN, INT32_MAX),
      IntegerProperty<TFont>("Height", &TFont::Height, &TFont::SetHeight, -kMaxFontHeight,
                             kMaxFontHeight),
      StringProperty<TFont>("Name", &TFont::Name, &TFont::SetName),
      EnumProperty<TFont>("Pitch", FontPitchType(), &TFont::Pitch, &TFont::SetPitch),
      IntegerProperty<TFont>("Size", &TFont::Size, &TFont::SetSize, -kMaxFontSize, kMaxFontSize),
      SetProperty<TFont>("Style", FontStyleType(), &TFont::Style, &TFont::SetStyle),
  };
  return table;
}

}  // namespace labelplu
