#include "ProbePrimitives.h"

#include <gtest/gtest.h>

#include "EnumTypes.h"

namespace labelplu::test {

TPrProbe::TPrProbe(TLb& owner) : TBasePrimitive(owner) {
  SetCaption("Проба");
  SetWidth(20.0);
  SetHeight(5.0);
}

std::span<const TPropInfo> TPrProbe::Properties() const {
  static const std::vector<TPropInfo> table = {
      BaseProp::DS(),
      BaseProp::Value(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      BaseProp::RotationFixed(),
      BaseProp::Font(),
      IntegerProperty<TPrProbe>("Count", &TPrProbe::Count, &TPrProbe::SetCount, 0, 1000),
      EnumProperty<TPrProbe>("HAlign", HAlignType(), &TPrProbe::HAlign, &TPrProbe::SetHAlign),
      EnumProperty<TPrProbe>("Negative", BooleanType(), &TPrProbe::Negative,
                             &TPrProbe::SetNegative),
      RealProperty<TPrProbe>("Ratio", &TPrProbe::Ratio, &TPrProbe::SetRatio),
  };
  return table;
}

TPrProbeImage::TPrProbeImage(TLb& owner) : TBasePrimitive(owner) {
  SetCaption("Картинка");
}

std::span<const TPropInfo> TPrProbeImage::Properties() const {
  static const std::vector<TPropInfo> table = {
      BaseProp::DS(),  BaseProp::ValueFileName(), BaseProp::Left(),
      BaseProp::Top(), BaseProp::Width(),         BaseProp::Height(),
  };
  return table;
}

TPrimitiveClass ProbeClass(std::string_view name) {
  const std::optional<TPrimitiveClass> cls = FindPrimitiveClass(name);
  EXPECT_TRUE(cls.has_value()) << name;
  return cls.value_or(TPrimitiveClass{});
}

LP_REGISTER_PRIMITIVE(TPrProbe)
LP_REGISTER_PRIMITIVE(TPrProbeImage)

}  // namespace labelplu::test
