// labelplu: the font object of an item, with the published properties a
// template stores under "Font." (Charset, Color, Height, Name, Pitch, Size,
// Style, in this order).
//
// The font keeps its height in pixels at kPixelsPerInch, as the framework's
// font does at the screen's resolution; Size (points) is derived from it:
// Size = -MulDiv(Height, 72, 96), Height = -MulDiv(Size, 96, 72). A template
// that sets both Height and Size therefore keeps the later one. Drawing code
// takes Size and scales it to the device itself.
//
// Colours are the framework's ColorValue values: 0x00BBGGRR (RGB with red in
// the low byte, as gdi::COLORREF), or a system colour (negative, see
// ColorToRgb).
//
// Threads: one thread at a time.
#ifndef LABELPLU_LABEL_ITEMFONT_H
#define LABELPLU_LABEL_ITEMFONT_H

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "label/EnumTypes.h"
#include "label/Published.h"
#include "platform/gdi/GdiTypes.h"

namespace labelplu {

// The framework's colour type and the colours the label model uses.
using ColorValue = int32_t;
inline constexpr ColorValue kColorBlack = 0x000000;
inline constexpr ColorValue kColorWhite = 0xFFFFFF;
inline constexpr ColorValue kColorWindowText = static_cast<ColorValue>(0x80000008);

// The RGB value of a colour: 0x000000..0xFFFFFF as they are; the system
// colours (0x80000000 + index) by a fixed light scheme (window white,
// window text black, button face 0xF0F0F0, other indices black); any other
// value black.
gdi::COLORREF ColorToRgb(ColorValue color);

class ItemFont : public PublishedObject {
 public:
  static constexpr int32_t kPixelsPerInch = 96;

  // Charset 204, colour black, height -11 (8 points), "Arial", fpDefault,
  // no style.
  ItemFont();

  uint8_t Charset() const { return m_charset; }
  void SetCharset(uint8_t charset);
  ColorValue Color() const { return m_color; }
  void SetColor(ColorValue color);
  int32_t Height() const { return m_height; }
  void SetHeight(int32_t height);
  const std::string& Name() const { return m_name; }
  void SetName(const std::string& name);
  FontPitch Pitch() const { return m_pitch; }
  void SetPitch(FontPitch pitch);
  // Points; negative sizes stand for cell heights as with Height.
  int32_t Size() const;
  void SetSize(int32_t size);
  FontStyles Style() const { return m_style; }
  void SetStyle(FontStyles style);
  bool HasStyle(FontStyle s) const { return (m_style & StyleBit(s)) != 0; }

  // Copies every property (one change notification when anything differs).
  void Assign(const ItemFont& source);
  bool SameAs(const ItemFont& other) const;

  // Called after every effective change (the item installs MarkChanged).
  std::function<void()> OnChange;

  std::span<const PropertyInfo> Properties() const override;

 private:
  void Changed();

  uint8_t m_charset = gdi::RUSSIAN_CHARSET;
  ColorValue m_color = kColorBlack;
  int32_t m_height = -11;
  std::string m_name = "Arial";
  FontPitch m_pitch = fpDefault;
  FontStyles m_style = 0;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_ITEMFONT_H
