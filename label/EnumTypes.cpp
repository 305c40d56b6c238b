// labelplu: names of the enumeration and set types.
#include "EnumTypes.h"

#include <array>
#include <string_view>

#include "DataSources.h"
#include "TextLayout.h"

namespace labelplu {

namespace {

using namespace std::string_view_literals;

constexpr std::array kBooleanNames = {"False"sv, "True"sv};
constexpr std::array kRotationNames = {"r0"sv, "r90"sv, "r180"sv, "r270"sv};
constexpr std::array kPitchNames = {"fpDefault"sv, "fpVariable"sv, "fpFixed"sv};
constexpr std::array kStyleNames = {"fsBold"sv, "fsItalic"sv, "fsUnderline"sv, "fsStrikeOut"sv};
constexpr std::array kHAlignNames = {"haLeft"sv, "haCenter"sv, "haRight"sv, "haFill"sv};
constexpr std::array kVAlignNames = {"vaTop"sv, "vaCenter"sv, "vaBottom"sv, "vaFill"sv};

static_assert(haLeft == 0 && haCenter == 1 && haRight == 2 && haFill == 3);
static_assert(vaTop == 0 && vaCenter == 1 && vaBottom == 2 && vaFill == 3);

}  // namespace

const TEnumInfo& BooleanType() {
  static const TEnumInfo info{"Boolean", kBooleanNames};
  return info;
}

const TEnumInfo& RotationType() {
  static const TEnumInfo info{"TRotation", kRotationNames};
  return info;
}

const TEnumInfo& DataSourceType() {
  static const TEnumInfo info{"TDSType", DataSourceNames()};
  return info;
}

const TEnumInfo& FontPitchType() {
  static const TEnumInfo info{"TFontPitch", kPitchNames};
  return info;
}

const TEnumInfo& FontStyleType() {
  static const TEnumInfo info{"TFontStyle", kStyleNames};
  return info;
}

const TEnumInfo& HAlignType() {
  static const TEnumInfo info{"THAlign", kHAlignNames};
  return info;
}

const TEnumInfo& VAlignType() {
  static const TEnumInfo info{"TVAlign", kVAlignNames};
  return info;
}

}  // namespace labelplu
