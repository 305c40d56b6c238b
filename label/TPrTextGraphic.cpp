// labelplu: the graphic text primitive.
#include "TPrTextGraphic.h"

#include <vector>

#include "PrimitiveClasses.h"

namespace labelplu {

namespace {

constexpr std::string_view kCaption = "Текст графический";

}  // namespace

TPrTextGraphic::TPrTextGraphic(TLb& owner) : T_TextTemplate(owner) {
  SetCaption(std::string(kCaption));
  StoreValue(std::string(kCaption));
  Font().SetSize(7);
  SetWidth(25.0);
  SetHeight(5.0);
}

std::span<const TPropInfo> TPrTextGraphic::Properties() const {
  using TT = T_TextTemplate;
  static const std::vector<TPropInfo> table = {
      BaseProp::DS(),
      BaseProp::Value(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      BaseProp::RotationFixed(),
      BaseProp::Font(),
      EnumProperty<TT>("VAlign", VAlignType(), &TT::VAlign, &TT::SetVAlign),
      EnumProperty<TT>("HAlign", HAlignType(), &TT::HAlign, &TT::SetHAlign),
      EnumProperty<TT>("Negative", BooleanType(), &TT::Negative, &TT::SetNegative)};
  return table;
}

LP_REGISTER_PRIMITIVE(TPrTextGraphic)

}  // namespace labelplu
