// labelplu: the simple text item.
#include "label/TextItem.h"

#include <limits>
#include <vector>

#include "label/ItemClasses.h"

namespace labelplu {

namespace {

constexpr std::string_view kCaption = "Текст простой";

}  // namespace

TextItem::TextItem(Label& owner) : TextItemBase(owner) {
  SetCaption(std::string(kCaption));
  StoreValue(std::string(kCaption));
  Font().SetSize(8);
  SetWidth(20.0);
  SetHeight(5.0);
}

void TextItem::SetFontSize(int32_t fontSize) {
  if (fontSize == m_fontSize) return;
  m_fontSize = fontSize;
  static constexpr int32_t kPoints[] = {4, 5, 8, 10, 14};
  if (fontSize >= 1 && fontSize <= 5) Font().SetSize(kPoints[fontSize - 1]);
  MarkChanged(true);
}

void TextItem::SetMaxSymbols(int32_t maxSymbols) {
  if (maxSymbols == m_maxSymbols) return;
  m_maxSymbols = maxSymbols;
  MarkChanged(true);
}

std::span<const PropertyInfo> TextItem::Properties() const {
  using T = TextItem;
  using TextBase = TextItemBase;
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  static const std::vector<PropertyInfo> table = {
      BaseProp::DataSource(),
      BaseProp::Value(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      BaseProp::RotationFixed(),
      IntegerProperty<T>("FontSize", &T::FontSize, &T::SetFontSize, kMin, kMax),
      EnumProperty<TextBase>("Negative", BooleanType(), &TextBase::Negative,
                             &TextBase::SetNegative),
      IntegerProperty<T>("MaxSymbols", &T::MaxSymbols, &T::SetMaxSymbols, kMin, kMax)};
  return table;
}

LP_REGISTER_LABEL_ITEM(TextItem, "TextSimple")

}  // namespace labelplu
