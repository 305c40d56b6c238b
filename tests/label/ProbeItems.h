// Items for the label tests: they publish one property of every kind,
// so that the base and the template format can be tested without the
// concrete shapes. Registered as "Probe" and "ProbeImage".
#ifndef LABELPLU_TESTS_LABEL_PROBEITEMS_H
#define LABELPLU_TESTS_LABEL_PROBEITEMS_H

#include "label/Label.h"
#include "label/LabelItem.h"

namespace labelplu::test {

// Published: DataSource, Value, Left, Top, Width, Height, RotationFixed, Font,
// Count (Integer 0..1000), HAlign (HorizontalAlignment), Negative (Boolean), Ratio (Real).
class ProbeItem : public LabelItem {
 public:
  explicit ProbeItem(Label& owner);
  std::string_view ClassName() const override { return "Probe"; }
  std::span<const PropertyInfo> Properties() const override;

  int32_t Count() const { return m_count; }
  void SetCount(int32_t v) {
    m_count = v;
    MarkChanged(true);
  }
  uint8_t HAlign() const { return m_hAlign; }
  void SetHAlign(uint8_t v) {
    m_hAlign = v;
    MarkChanged(true);
  }
  bool Negative() const { return m_negative; }
  void SetNegative(bool v) {
    m_negative = v;
    MarkChanged(true);
  }
  double Ratio() const { return m_ratio; }
  void SetRatio(double v) {
    m_ratio = v;
    MarkChanged(true);
  }

 private:
  int32_t m_count = 7;
  uint8_t m_hAlign = 0;
  bool m_negative = false;
  double m_ratio = 1.5;
};

// A picture-like item: caption "Картинка", publishes DataSource,
// ValueFileName, Left, Top, Width, Height.
class ProbeImageItem : public LabelItem {
 public:
  explicit ProbeImageItem(Label& owner);
  std::string_view ClassName() const override { return "ProbeImage"; }
  std::span<const PropertyInfo> Properties() const override;
};

// The registered class of that name (the test fails when it is missing).
ItemClass ProbeClass(std::string_view name = "Probe");

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_LABEL_PROBEITEMS_H
