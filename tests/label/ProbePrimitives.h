// Primitives for the label tests: they publish one property of every kind,
// so that the base and the template format can be tested without the
// concrete shapes. Registered as "TPrProbe" and "TPrProbeImage".
#ifndef LABELPLU_TESTS_LABEL_PROBEPRIMITIVES_H
#define LABELPLU_TESTS_LABEL_PROBEPRIMITIVES_H

#include "TBasePrimitive.h"
#include "TLb.h"

namespace labelplu::test {

// Published: DS, Value, Left, Top, Width, Height, RotationFixed, Font,
// Count (Integer 0..1000), HAlign (THAlign), Negative (Boolean), Ratio (Real).
class TPrProbe : public TBasePrimitive {
 public:
  explicit TPrProbe(TLb& owner);
  std::string_view ClassName() const override { return "TPrProbe"; }
  std::span<const TPropInfo> Properties() const override;

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

// A picture-like primitive: caption "Картинка", publishes DS,
// ValueFileName, Left, Top, Width, Height.
class TPrProbeImage : public TBasePrimitive {
 public:
  explicit TPrProbeImage(TLb& owner);
  std::string_view ClassName() const override { return "TPrProbeImage"; }
  std::span<const TPropInfo> Properties() const override;
};

// The registered class of that name (the test fails when it is missing).
TPrimitiveClass ProbeClass(std::string_view name = "TPrProbe");

}  // namespace labelplu::test

#endif
