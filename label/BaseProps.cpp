// labelplu: the published property entries that the primitive classes share.
#include "TBasePrimitive.h"

namespace labelplu {

using B = TBasePrimitive;

TPropInfo B::BaseProp::DS() {
  return EnumProperty<B>("DS", DataSourceType(), &B::DS, &B::SetDS);
}

TPropInfo B::BaseProp::Value() {
  return StringProperty<B>("Value", &B::GetValue, &B::SetValue);
}

TPropInfo B::BaseProp::ValueFileName() {
  return StringProperty<B>("ValueFileName", &B::GetValue, &B::SetValue);
}

TPropInfo B::BaseProp::Left() {
  return RealProperty<B>("Left", &B::Left, &B::SetLeft, kLengthLimitMm);
}

TPropInfo B::BaseProp::Top() {
  return RealProperty<B>("Top", &B::Top, &B::SetTop, kLengthLimitMm);
}

TPropInfo B::BaseProp::Width() {
  return RealProperty<B>("Width", &B::Width, &B::SetWidth, kLengthLimitMm);
}

TPropInfo B::BaseProp::Height() {
  return RealProperty<B>("Height", &B::Height, &B::SetHeight, kLengthLimitMm);
}

TPropInfo B::BaseProp::RotationFixed() {
  return EnumProperty<B>("RotationFixed", RotationType(), &B::RotationFixed, &B::SetRotationFixed);
}

TPropInfo B::BaseProp::Font() {
  return ObjectProperty<B, TFont>("Font", static_cast<TFont& (B::*)()>(&B::Font));
}

}  // namespace labelplu
