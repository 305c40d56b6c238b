// labelplu: the enumeration and set types of the published properties, with
// their names (TEnumInfo) for the template text.
//
// Constant data: every function may be called from any thread.
#ifndef LABELPLU_LABEL_ENUMTYPES_H
#define LABELPLU_LABEL_ENUMTYPES_H

#include <cstdint>

#include "Published.h"

namespace labelplu {

// Fixed rotation of a primitive (stored as a byte).
enum TRotation : uint8_t { r0, r90, r180, r270 };

// The pitch of a font.
enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

// The styles of a font; a TFontStyles mask holds bit (1 << style) for each.
enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = uint8_t;
constexpr TFontStyles StyleBit(TFontStyle s) {
  return static_cast<TFontStyles>(1u << s);
}

// "False", "True".
const TEnumInfo& BooleanType();
// "r0", "r90", "r180", "r270".
const TEnumInfo& RotationType();
// "dsNone" .. "dsProp5" (DataSources.h).
const TEnumInfo& DataSourceType();
// "fpDefault", "fpVariable", "fpFixed".
const TEnumInfo& FontPitchType();
// "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut" (members of the style set).
const TEnumInfo& FontStyleType();
// "haLeft", "haCenter", "haRight", "haFill" (THAlign of render/TextLayout.h).
const TEnumInfo& HAlignType();
// "vaTop", "vaCenter", "vaBottom", "vaFill" (TVAlign of render/TextLayout.h).
const TEnumInfo& VAlignType();

}  // namespace labelplu

#endif  // LABELPLU_LABEL_ENUMTYPES_H
