// labelplu: names of the enumeration and set types.
#include "label/EnumTypes.h"

#include <array>
#include <string_view>

#include "label/DataSources.h"
#include "render/TextLayout.h"

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

const EnumInfo& BooleanType() {
  static const EnumInfo info{"Boolean", kBooleanNames};
  return info;
}

const EnumInfo& RotationType() {
  static const EnumInfo info{"TRotation", kRotationNames};
  return info;
}

const EnumInfo& DataSourceType() {
  static const EnumInfo info{"TDSType", DataSourceNames()};
  return info;
}

const EnumInfo& FontPitchType() {
  static const EnumInfo info{"TFontPitch", kPitchNames};
  return info;
}

const EnumInfo& FontStyleType() {
  static const EnumInfo info{"TFontStyle", kStyleNames};
  return info;
}

const EnumInfo& HAlignType() {
  static const EnumInfo info{"THAlign", kHAlignNames};
  return info;
}

const EnumInfo& VAlignType() {
  static const EnumInfo info{"TVAlign", kVAlignNames};
  return info;
}

}  // namespace labelplu
