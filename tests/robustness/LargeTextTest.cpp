// A text of a hundred megabytes as the value of the text items: filled
// by value name and painted on a 203 dpi label, with and without blanks and
// line breaks. The label paints what its box shows within seconds, and the
// memory it takes stays a small multiple of the text.
#include <gtest/gtest.h>

#include <string>

#include "label/PropText.h"
#include "tests/label/ItemTestSupport.h"
#include "tests/robustness/ResourceMeter.h"

namespace labelplu::test {
namespace {

constexpr size_t kHundredMb = size_t{100} << 20;

// 100 MiB of the pattern repeated.
std::string Huge(const std::string& pattern) {
  std::string text;
  text.reserve(kHundredMb + pattern.size());
  while (text.size() < kHundredMb) text += pattern;
  return text;
}

TEST(LargeText, HundredMegabyteValuePaintsWithinSeconds) {
  const struct {
    const char* item;
    const char* what;
    std::string pattern;
    const char* vAlign;
    bool ink;
  } cases[] = {
      {"TextSimple", "simple text, one run without blanks", "Ш", nullptr, true},
      {"TextGraphic", "graphic text, words", "слово ", "vaTop", true},
      {"TextGraphic", "graphic text, short lines, bottom", "строка\r\n", "vaBottom", true},
      {"TextGraphic", "graphic text, host line separators, spread", "ab\x04", "vaFill", true},
      {"TextGraphic", "graphic text, empty lines", "\r\n", "vaCenter", false},
      {"TextGraphic", "graphic text, zero-width spaces", "\u200B", "vaTop", false},
  };
  for (const auto& c : cases) {
    PaintedLabel painted(203);
    LabelItem& text = painted.Add(c.item);
    SetPropText(&text, "DS", "dsName");
    SetPropText(&text, "Left", "2");
    SetPropText(&text, "Top", "2");
    if (c.vAlign) SetPropText(&text, "VAlign", c.vAlign);
    std::string value = Huge(c.pattern);
    const Usage fill = Measure(c.what, [&] { painted.label.FillValue("наименование", value); });
    EXPECT_EQ(text.GetValue().size(), value.size()) << c.what;
    value = std::string();
    const Usage paint = Measure(c.what, [&] { painted.Render(); });
    EXPECT_LT(fill.peakGrowthMb, 250) << c.what;
    EXPECT_LT(paint.peakGrowthMb, 400) << c.what;
    // Something of the text shows inside the box.
    const double ppm = painted.Ppm();
    EXPECT_EQ(!InkBox(painted.image, QRect(static_cast<int>(2 * ppm), static_cast<int>(2 * ppm),
                                           static_cast<int>(20 * ppm), static_cast<int>(5 * ppm)))
                   .isEmpty(),
              c.ink)
        << c.what;
  }
}

}  // namespace
}  // namespace labelplu::test
