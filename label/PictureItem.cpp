// labelplu: the picture item.
#include "label/PictureItem.h"

#include <vector>

#include "label/EnumTypes.h"
#include "label/ItemClasses.h"

namespace labelplu {

PictureItem::PictureItem(Label& owner) : ImageItemBase(owner) {
  SetCaption("Картинка");
}

std::span<const PropertyInfo> PictureItem::Properties() const {
  static const std::vector<PropertyInfo> table = {
      BaseProp::DataSource(),
      BaseProp::ValueFileName(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      BaseProp::RotationFixed(),
      EnumProperty<ImageItemBase>("AutoSize", BooleanType(), &ImageItemBase::AutoSize,
                                  &ImageItemBase::SetAutoSize),
      EnumProperty<ImageItemBase>("Stretch", BooleanType(), &ImageItemBase::Stretch,
                                  &ImageItemBase::SetStretch)};
  return table;
}

LP_REGISTER_LABEL_ITEM(PictureItem, "Image")

}  // namespace labelplu
