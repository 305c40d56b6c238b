// labelplu: the simple text primitive.
#include "TPrTextSimple.h"

#include <limits>
#include <vector>

#include "PrimitiveClasses.h"

namespace labelplu {

namespace {

constexpr std::string_view kCaption = "Текст простой";

}  // namespace

TPrTextSimple::TPrTextSimple(TLb& owner) : T_TextTemplate(owner) {
  SetCaption(std::string(kCaption));
  StoreValue(std::string(kCaption));
  Font().SetSize(8);
  SetWidth(20.0);
  SetHeight(5.0);
}

void TPrTextSimple::SetFontSize(int32_t fontSize) {
  if (fontSize == m_fontSize) return;
  m_fontSize = fontSize;
  static constexpr int32_t kPoints[] = {4, 5, 8, 10, 14};
  if (fontSize >= 1 && fontSize <= 5) Font().SetSize(kPoints[fontSize - 1]);
  MarkChanged(true);
}

void TPrTextSimple::SetMaxSymbols(int32_t maxSymbols) {
  if (maxSymbols == m_maxSymbols) return;
  m_maxSymbols = maxSymbols;
  MarkChanged(true);
}

std::span<const TPropInfo> TPrTextSimple::Properties() const {
  using T = TPrTextSimple;
  using TT = T_TextTemplate;
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  static const std::vector<TPropInfo> table = {
      BaseProp::DS(),
      BaseProp::Value(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      BaseProp::RotationFixed(),
      IntegerProperty<T>("FontSize", &T::FontSize, &T::SetFontSize, kMin, kMax),
      EnumProperty<TT>("Negative", BooleanType(), &TT::Negative, &TT::SetNegative),
      IntegerProperty<T>("MaxSymbols", &T::MaxSymbols, &T::SetMaxSymbols, kMin, kMax)};
  return table;
}

LP_REGISTER_PRIMITIVE(TPrTextSimple)

}  // namespace labelplu
