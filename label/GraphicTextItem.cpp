// labelplu: the graphic text item.
#include "label/GraphicTextItem.h"

#include <vector>

#include "label/ItemClasses.h"

namespace labelplu {

namespace {

constexpr std::string_view kCaption = "Текст графический";

}  // namespace

GraphicTextItem::GraphicTextItem(Label& owner) : TextItemBase(owner) {
  SetCaption(std::string(kCaption));
  StoreValue(std::string(kCaption));
  Font().SetSize(7);
  SetWidth(25.0);
  SetHeight(5.0);
}

std::span<const PropertyInfo> GraphicTextItem::Properties() const {
  using TextBase = TextItemBase;
  static const std::vector<PropertyInfo> table = {
      BaseProp::DataSource(),
      BaseProp::Value(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      BaseProp::RotationFixed(),
      BaseProp::Font(),
      EnumProperty<TextBase>("VAlign", VAlignType(), &TextBase::VAlign, &TextBase::SetVAlign),
      EnumProperty<TextBase>("HAlign", HAlignType(), &TextBase::HAlign, &TextBase::SetHAlign),
      EnumProperty<TextBase>("Negative", BooleanType(), &TextBase::Negative,
                             &TextBase::SetNegative)};
  return table;
}

LP_REGISTER_LABEL_ITEM(GraphicTextItem, "TextGraphic")

}  // namespace labelplu
