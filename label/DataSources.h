// labelplu: the data sources an item can be bound to (DataSourceKind) and the
// caption table of the label model.
//
// The caption table has 130 rows (key, Russian caption, sample value): the
// rows "DS", "Value" and "ValueFileName", then the 37 data sources in
// enumeration order, then captions of property names and enumeration values
// for display. Lookups scan the rows from the top and take the first match,
// so a caption that several rows share ("Наименование", "Цвет", "Размер")
// resolves to the data source.
//
// The table is constant data: every function may be called from any thread.
#ifndef LABELPLU_LABEL_DATASOURCES_H
#define LABELPLU_LABEL_DATASOURCES_H

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace labelplu {

// The data sources, in enumeration order (stored as a byte).
enum DataSourceKind : uint8_t {
  dsNone,
  dsName,
  dsArticle,
  dsComment,
  dsSHK,
  dsQty,
  dsWeight,
  dsSumma,
  dsReclama1,
  dsReclama2,
  dsReclama3,
  dsPrice,
  dsPriceEd,
  dsGroup,
  dsTermSale,
  dsTermUse,
  dsDatePacking,
  dsWeightTare,
  dsDiscount,
  dsCountry,
  dsFeature,
  dsColor,
  dsSize,
  dsSN,
  dsImage1,
  dsImage2,
  dsImage3,
  dsText1,
  dsText2,
  dsText3,
  dsText4,
  dsText5,
  dsProp1,
  dsProp2,
  dsProp3,
  dsProp4,
  dsProp5
};

inline constexpr int kDataSourceCount = 37;

// One row of the caption table (UTF-8 texts).
struct CaptionRow {
  std::string_view Key;      // "dsSHK", "PenWidth", ...
  std::string_view Caption;  // "Штрихкод", "Толщина линии", ... (may be empty)
  std::string_view Sample;   // the sample value an item takes for a data source
};

inline constexpr int kCaptionRowCount = 130;

// The 130 rows in order.
std::span<const CaptionRow> CaptionTable();

// The enumeration names of DataSourceKind in order ("dsNone" .. "dsProp5").
std::span<const std::string_view> DataSourceNames();

// The first row whose key equals key exactly (enumeration names are
// matched as written); null when none.
const CaptionRow* FindCaptionByKey(std::string_view key);

// The key of the first row whose caption equals caption ignoring case
// (Unicode case folding); std::nullopt when none.
std::optional<std::string_view> FindKeyByCaption(std::string_view caption);

}  // namespace labelplu

#endif  // LABELPLU_LABEL_DATASOURCES_H
