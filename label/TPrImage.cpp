// labelplu: the picture primitive.
#include "TPrImage.h"

#include <vector>

#include "EnumTypes.h"
#include "PrimitiveClasses.h"

namespace labelplu {

TPrImage::TPrImage(TLb& owner) : T_ImageTemplate(owner) {
  SetCaption("Картинка");
}

std::span<const TPropInfo> TPrImage::Properties() const {
  static const std::vector<TPropInfo> table = {
      BaseProp::DS(),
      BaseProp::ValueFileName(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      BaseProp::RotationFixed(),
      EnumProperty<T_ImageTemplate>("AutoSize", BooleanType(), &T_ImageTemplate::AutoSize,
                                    &T_ImageTemplate::SetAutoSize),
      EnumProperty<T_ImageTemplate>("Stretch", BooleanType(), &T_ImageTemplate::Stretch,
                                    &T_ImageTemplate::SetStretch)};
  return table;
}

LP_REGISTER_PRIMITIVE(TPrImage)

}  // namespace labelplu
