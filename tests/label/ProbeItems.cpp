#include "tests/label/ProbeItems.h"

#include <gtest/gtest.h>

#include "label/EnumTypes.h"

namespace labelplu::test {

ProbeItem::ProbeItem(Label& owner) : LabelItem(owner) {
  SetCaption("Проба");
  SetWidth(20.0);
  SetHeight(5.0);
}

std::span<const PropertyInfo> ProbeItem::Properties() const {
  static const std::vector<PropertyInfo> table = {
      BaseProp::DataSource(),
      BaseProp::Value(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      BaseProp::RotationFixed(),
      BaseProp::Font(),
      IntegerProperty<ProbeItem>("Count", &ProbeItem::Count, &ProbeItem::SetCount, 0, 1000),
      EnumProperty<ProbeItem>("HAlign", HAlignType(), &ProbeItem::HAlign, &ProbeItem::SetHAlign),
      EnumProperty<ProbeItem>("Negative", BooleanType(), &ProbeItem::Negative,
                              &ProbeItem::SetNegative),
      RealProperty<ProbeItem>("Ratio", &ProbeItem::Ratio, &ProbeItem::SetRatio),
  };
  return table;
}

ProbeImageItem::ProbeImageItem(Label& owner) : LabelItem(owner) {
  SetCaption("Картинка");
}

std::span<const PropertyInfo> ProbeImageItem::Properties() const {
  static const std::vector<PropertyInfo> table = {
      BaseProp::DataSource(), BaseProp::ValueFileName(), BaseProp::Left(),
      BaseProp::Top(),        BaseProp::Width(),         BaseProp::Height(),
  };
  return table;
}

ItemClass ProbeClass(std::string_view name) {
  const std::optional<ItemClass> cls = FindItemClass(name);
  EXPECT_TRUE(cls.has_value()) << name;
  return cls.value_or(ItemClass{});
}

LP_REGISTER_LABEL_ITEM(ProbeItem, "Probe")
LP_REGISTER_LABEL_ITEM(ProbeImageItem, "ProbeImage")

}  // namespace labelplu::test
