// labelplu: the published property entries that the item classes share.
#include "label/LabelItem.h"

namespace labelplu {

using B = LabelItem;

PropertyInfo B::BaseProp::DataSource() {
  return EnumProperty<B>("DS", DataSourceType(), &B::DataSource, &B::SetDataSource);
}

PropertyInfo B::BaseProp::Value() {
  return StringProperty<B>("Value", &B::GetValue, &B::SetValue);
}

PropertyInfo B::BaseProp::ValueFileName() {
  return StringProperty<B>("ValueFileName", &B::GetValue, &B::SetValue);
}

PropertyInfo B::BaseProp::Left() {
  return RealProperty<B>("Left", &B::Left, &B::SetLeft, kLengthLimitMm);
}

PropertyInfo B::BaseProp::Top() {
  return RealProperty<B>("Top", &B::Top, &B::SetTop, kLengthLimitMm);
}

PropertyInfo B::BaseProp::Width() {
  return RealProperty<B>("Width", &B::Width, &B::SetWidth, kLengthLimitMm);
}

PropertyInfo B::BaseProp::Height() {
  return RealProperty<B>("Height", &B::Height, &B::SetHeight, kLengthLimitMm);
}

PropertyInfo B::BaseProp::RotationFixed() {
  return EnumProperty<B>("RotationFixed", RotationType(), &B::RotationFixed, &B::SetRotationFixed);
}

PropertyInfo B::BaseProp::Font() {
  return ObjectProperty<B, ItemFont>("Font", static_cast<ItemFont& (B::*)()>(&B::Font));
}

}  // namespace labelplu
