// labelplu: the font object of an item.
#include "label/ItemFont.h"

#include <vector>

namespace labelplu {

namespace {

// The text limits keep a template from asking for glyphs of absurd size.
constexpr int64_t kMaxFontSize = 1000;
constexpr int64_t kMaxFontHeight = kMaxFontSize * ItemFont::kPixelsPerInch / 72 + 1;

}  // namespace

gdi::COLORREF ColorToRgb(ColorValue color) {
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

ItemFont::ItemFont() = default;

void ItemFont::Changed() {
  if (OnChange) OnChange();
}

void ItemFont::SetCharset(uint8_t charset) {
  if (charset == m_charset) return;
  m_charset = charset;
  Changed();
}

void ItemFont::SetColor(ColorValue color) {
  if (color == m_color) return;
  m_color = color;
  Changed();
}

void ItemFont::SetHeight(int32_t height) {
  if (height == m_height) return;
  m_height = height;
  Changed();
}

void ItemFont::SetName(const std::string& name) {
  if (name == m_name) return;
  m_name = name;
  Changed();
}

void ItemFont::SetPitch(FontPitch pitch) {
  if (pitch == m_pitch) return;
  m_pitch = pitch;
  Changed();
}

int32_t ItemFont::Size() const {
  return -gdi::MulDiv(m_height, 72, kPixelsPerInch);
}

void ItemFont::SetSize(int32_t size) {
  SetHeight(-gdi::MulDiv(size, kPixelsPerInch, 72));
}

void ItemFont::SetStyle(FontStyles style) {
  if (style == m_style) return;
  m_style = style;
  Changed();
}

bool ItemFont::SameAs(const ItemFont& other) const {
  return m_charset == other.m_charset && m_color == other.m_color && m_height == other.m_height &&
         m_name == other.m_name && m_pitch == other.m_pitch && m_style == other.m_style;
}

void ItemFont::Assign(const ItemFont& source) {
  if (&source == this || SameAs(source)) return;
  m_charset = source.m_charset;
  m_color = source.m_color;
  m_height = source.m_height;
  m_name = source.m_name;
  m_pitch = source.m_pitch;
  m_style = source.m_style;
  Changed();
}

std::span<const PropertyInfo> ItemFont::Properties() const {
  static const std::vector<PropertyInfo> table = {
      IntegerProperty<ItemFont>("Charset", &ItemFont::Charset, &ItemFont::SetCharset, 0, 255),
      IntegerProperty<ItemFont>("Color", &ItemFont::Color, &ItemFont::SetColor, INT32_MIN,
                                INT32_MAX),
      IntegerProperty<ItemFont>("Height", &ItemFont::Height, &ItemFont::SetHeight, -kMaxFontHeight,
                                kMaxFontHeight),
      StringProperty<ItemFont>("Name", &ItemFont::Name, &ItemFont::SetName),
      EnumProperty<ItemFont>("Pitch", FontPitchType(), &ItemFont::Pitch, &ItemFont::SetPitch),
      IntegerProperty<ItemFont>("Size", &ItemFont::Size, &ItemFont::SetSize, -kMaxFontSize,
                                kMaxFontSize),
      SetProperty<ItemFont>("Style", FontStyleType(), &ItemFont::Style, &ItemFont::SetStyle),
  };
  return table;
}

}  // namespace labelplu
