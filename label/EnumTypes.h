// labelplu: the enumeration and set types of the published properties, with
// their names (EnumInfo) for the template text.
//
// Constant data: every function may be called from any thread.
#ifndef LABELPLU_LABEL_ENUMTYPES_H
#define LABELPLU_LABEL_ENUMTYPES_H

#include <cstdint>

#include "label/Published.h"

namespace labelplu {

// Fixed rotation of an item (stored as a byte).
enum Rotation : uint8_t { r0, r90, r180, r270 };

// The pitch of a font.
enum FontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

// The styles of a font; a FontStyles mask holds bit (1 << style) for each.
enum FontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using FontStyles = uint8_t;
constexpr FontStyles StyleBit(FontStyle s) {
  return static_cast<FontStyles>(1u << s);
}

// "False", "True".
const EnumInfo& BooleanType();
// "r0", "r90", "r180", "r270".
const EnumInfo& RotationType();
// "dsNone" .. "dsProp5" (DataSources.h).
const EnumInfo& DataSourceType();
// "fpDefault", "fpVariable", "fpFixed".
const EnumInfo& FontPitchType();
// "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut" (members of the style set).
const EnumInfo& FontStyleType();
// "haLeft", "haCenter", "haRight", "haFill" (HorizontalAlignment of render/TextLayout.h).
const EnumInfo& HAlignType();
// "vaTop", "vaCenter", "vaBottom", "vaFill" (VerticalAlignment of render/TextLayout.h).
const EnumInfo& VAlignType();

}  // namespace labelplu

#endif  // LABELPLU_LABEL_ENUMTYPES_H
