// The text layout of a text of 100 MiB: a page lays out a bounded part of
// it, whatever its lines, paragraphs and character widths.
#include <gtest/gtest.h>

#include <string>

#include "render/TextLayout.h"
#include "tests/robustness/ResourceMeter.h"

namespace labelplu::test {
namespace {

// 100 MiB of the pattern repeated.
std::string Huge(const std::string& pattern) {
  std::string text;
  text.reserve((size_t{100} << 20) + pattern.size());
  while (text.size() < (size_t{100} << 20)) text += pattern;
  return text;
}

// Every character one pixel wide (or none at all), one line ten pixels high.
class FixedMeasure : public ITextMeasure {
 public:
  explicit FixedMeasure(int32_t charWidth) : m_charWidth(charWidth) {}
  TextSize TextExtent(std::string_view utf8) const override {
    ++calls;
    return {static_cast<int32_t>(utf8.size()) * m_charWidth, 10};
  }
  mutable int64_t calls = 0;

 private:
  int32_t m_charWidth;
};

TEST(TextBounds, PageLaysOutAtMostItsBoundOfLinesAndCharacters) {
  const struct {
    const char* what;
    std::string text;
    int32_t charWidth;
    size_t lines;
    size_t paragraphs;
    size_t lastLineBytes;
  } cases[] = {
      // 12 characters a line at width 14 (two pixels are kept free).
      {"one long paragraph", std::string(size_t{8} << 20, 'x'), 1, kMaxPageLines, 1, 12},
      {"many short paragraphs", Huge("ab\r\n"), 1, kMaxPageLines, kMaxPageLines, 2},
      {"empty paragraphs", std::string(size_t{8} << 20, '\n'), 1, 0, kMaxPageLines, 0},
      // 2^20 is not a multiple of 3: the text is cut before the broken "€".
      {"characters without width", Huge("€"), 0, 1, 1, kMaxPageBytes - 1},
  };
  for (const auto& c : cases) {
    const FixedMeasure measure(c.charWidth);
    TextPage page;
    page.SetWidth(14);
    page.SetHeight(100);
    page.SetDC(&measure);
    Measure(c.what, [&] { page.SetText(c.text); });
    EXPECT_LT(measure.calls, 200'000) << c.what;
    const std::vector<TextLine> lines = page.Lines();
    EXPECT_EQ(lines.size(), c.lines) << c.what;
    EXPECT_EQ(page.Paragraphs().size(), c.paragraphs) << c.what;
    if (!lines.empty()) {
      EXPECT_EQ(lines.back().Text.size(), c.lastLineBytes) << c.what;
    }
  }
}

}  // namespace
}  // namespace labelplu::test
