// Text layout over a measuring context of known widths: every character
// 10 px, the blank 5 px, "W" 30 px, U+200B (zero width space) 0 px, every
// text 20 px high.
#include "render/TextLayout.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <vector>

using namespace labelplu;

namespace {

class FakeMeasure : public ITextMeasure {
 public:
  explicit FakeMeasure(int32_t blankWidth = 5) : m_blank(blankWidth) {}

  TextSize TextExtent(std::string_view utf8) const override {
    int32_t width = 0;
    size_t i = 0;
    while (i < utf8.size()) {
      const auto lead = static_cast<unsigned char>(utf8[i]);
      size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      size_t n = 1;
      while (n < len && i + n < utf8.size() &&
             (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80)
        ++n;
      const std::string_view ch = utf8.substr(i, n);
      width += ch == " " ? m_blank : ch == "W" ? 30 : ch == "\u200B" ? 0 : 10;
      ++m_measuredChars;
      i += n;
    }
    return {width, 20};
  }

  mutable size_t m_measuredChars = 0;

 private:
  int32_t m_blank;
};

struct Line {
  std::string text;
  int32_t x;
  int32_t y;
  bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
  return os << "{\"" << l.text << "\", " << l.x << ", " << l.y << "}";
}

// Sets the page up in the order the text item does.
void Lay(TextPage& page, const ITextMeasure* dc, VerticalAlignment v, HorizontalAlignment h,
         int32_t width, int32_t height, int32_t left, int32_t top, std::string text) {
  page.SetVAlign(v);
  page.SetHAlign(h);
  page.SetWidth(width);
  page.SetHeight(height);
  page.SetLeft(left);
  page.SetTop(top);
  page.SetDC(dc);
  page.SetText(std::move(text));
}

std::vector<Line> LinesOf(const TextPage& page) {
  std::vector<Line> out;
  for (const TextLine& item : page.Lines()) out.push_back({item.Text, item.X, item.Y});
  return out;
}

struct LayoutCase {
  const char* name;
  std::string text;
  int32_t width;
  int32_t height;
  HorizontalAlignment h;
  VerticalAlignment v;
  std::vector<Line> lines;
  int32_t left = 0;
  int32_t top = 0;
};

}  // namespace

TEST(TextLayout, LaysOutTheTableOfCases) {
  const std::vector<LayoutCase> cases = {
      // Available width is the page's width less 2.
      {"wraps after the last blank, which stays on the line",
       "aaa bbb ccc",
       82,
       100,
       haLeft,
       vaTop,
       {{"aaa bbb ", 0, 0}, {"ccc", 0, 20}}},
      {"a word wider than the line is broken at the character that reaches the width",
       "abcdefghijkl",
       52,
       100,
       haLeft,
       vaTop,
       {{"abcde", 0, 0}, {"fghij", 0, 20}, {"kl", 0, 40}}},
      {"the broken word starts on its own line",
       "ab cdefghijkl",
       52,
       100,
       haLeft,
       vaTop,
       {{"ab ", 0, 0}, {"cdefg", 0, 20}, {"hijkl", 0, 40}}},
      {"every character alone when each one reaches the width",
       "abc",
       12,
       100,
       haLeft,
       vaTop,
       {{"a", 0, 0}, {"b", 0, 20}, {"c", 0, 40}}},
      {"a leading blank before a long word is a line of its own",
       " abcdefghij",
       52,
       100,
       haLeft,
       vaTop,
       {{" ", 0, 0}, {"abcde", 0, 20}, {"fghij", 0, 40}}},
      {"centring counts the trailing blank",
       "aaa bbb ccc",
       82,
       100,
       haCenter,
       vaTop,
       {{"aaa bbb ", 5, 0}, {"ccc", 25, 20}}},
      {"right alignment",
       "aaa bbb ccc",
       82,
       100,
       haRight,
       vaTop,
       {{"aaa bbb ", 10, 0}, {"ccc", 50, 20}}},
      {"a broken word wider than the line starts left of the page when right-aligned",
       "aaaaWaa",
       52,
       100,
       haRight,
       vaTop,
       {{"aaaaW", -20, 0}, {"aa", 30, 20}}},
      {"fill: blanks added round-robin, the overshooting one taken out, last line left",
       "aaa bbb ccc",
       80,
       100,
       haFill,
       vaTop,
       {{"aaa  bbb ", 3, 0}, {"ccc", 0, 20}}},
      {"fill: the round wraps back to the first gap",
       "a b c ddd",
       70,
       100,
       haFill,
       vaTop,
       {{"a   b  c  ", 3, 0}, {"ddd", 0, 20}}},
      {"fill: leading blanks are not a gap",
       "  a b cc",
       62,
       100,
       haFill,
       vaTop,
       {{"  a   b   ", 0, 0}, {"cc", 0, 20}}},
      {"fill: a line without a gap is left as it is",
       "aaaaWaa",
       52,
       100,
       haFill,
       vaTop,
       {{"aaaaW", -20, 0}, {"aa", 0, 20}}},
      {"vertical centre", "aaa\nbbb", 100, 100, haLeft, vaCenter, {{"aaa", 0, 30}, {"bbb", 0, 50}}},
      {"vertical bottom", "aaa\nbbb", 100, 100, haLeft, vaBottom, {{"aaa", 0, 60}, {"bbb", 0, 80}}},
      {"vertical fill spreads three lines over 30 px",
       "a\nb\nc",
       100,
       30,
       haLeft,
       vaFill,
       {{"a", 0, 0}, {"b", 0, 10}, {"c", 0, 20}}},
      {"centred text taller than the page starts above it",
       "a\nb\nc",
       100,
       30,
       haLeft,
       vaCenter,
       {{"a", 0, -15}, {"b", 0, 5}, {"c", 0, 25}}},
      {"bottom text taller than the page starts above it",
       "a\nb\nc",
       100,
       30,
       haLeft,
       vaBottom,
       {{"a", 0, -30}, {"b", 0, -10}, {"c", 0, 10}}},
      {"the page's left and top are added",
       "aaa bbb ccc",
       82,
       100,
       haCenter,
       vaCenter,
       {{"aaa bbb ", 105, 80}, {"ccc", 125, 100}},
       100,
       50},
      {"the character #4 starts a new paragraph",
       "aaa\x04"
       "bbb",
       100,
       100,
       haLeft,
       vaTop,
       {{"aaa", 0, 0}, {"bbb", 0, 20}}},
      {"#4 next to a real line break adds an empty paragraph only",
       "aaa\x04\nbbb",
       100,
       100,
       haLeft,
       vaTop,
       {{"aaa", 0, 0}, {"bbb", 0, 20}}},
      {"CR LF, CR and LF all break",
       "aaa\r\nbbb\rccc\nddd",
       100,
       100,
       haLeft,
       vaTop,
       {{"aaa", 0, 0}, {"bbb", 0, 20}, {"ccc", 0, 40}, {"ddd", 0, 60}}},
      {"an empty paragraph adds no line",
       "aaa\n\nbbb",
       100,
       100,
       haLeft,
       vaTop,
       {{"aaa", 0, 0}, {"bbb", 0, 20}}},
      {"wrapped paragraphs follow each other",
       "aaa bbb ccc\nddd",
       82,
       100,
       haLeft,
       vaTop,
       {{"aaa bbb ", 0, 0}, {"ccc", 0, 20}, {"ddd", 0, 40}}},
      {"Cyrillic is measured by characters",
       "ЖЖЖЖЖЖ",
       32,
       100,
       haLeft,
       vaTop,
       {{"ЖЖЖ", 0, 0}, {"ЖЖЖ", 0, 20}}},
      {"Cyrillic words wrap at the blank",
       "Жук жаба",
       62,
       100,
       haCenter,
       vaTop,
       {{"Жук ", 12, 0}, {"жаба", 10, 20}}},
      {"a byte that is no UTF-8 sequence counts as one character",
       "ab\xD0"
       "cd\xFF",
       32,
       100,
       haLeft,
       vaTop,
       {{"ab\xD0", 0, 0}, {"cd\xFF", 0, 20}}},
      {"an available width of 9 gives no lines", "a", 11, 100, haLeft, vaTop, {}},
      {"only line breaks with vertical fill place nothing",
       "\n\n\r\n",
       100,
       30,
       haLeft,
       vaFill,
       {}},
      {"an empty text gives no lines", "", 100, 100, haCenter, vaFill, {}},
  };
  FakeMeasure dc;
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    TextPage page;
    Lay(page, &dc, c.v, c.h, c.width, c.height, c.left, c.top, c.text);
    EXPECT_EQ(LinesOf(page), c.lines);
  }
}

TEST(TextLayout, SplitsParagraphsAtEveryKindOfBreak) {
  struct Case {
    std::string text;
    std::vector<std::string> paragraphs;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"aaa", {"aaa"}},
      {"aaa\n", {"aaa"}},
      {"aaa\n\nbbb", {"aaa", "", "bbb"}},
      {"aaa\n\rbbb", {"aaa", "", "bbb"}},
      {"aaa\r\nbbb\r\n", {"aaa", "bbb"}},
      {"\x04\x04", {"", ""}},
      {"a\x04\rb", {"a", "", "b"}},
  };
  FakeMeasure dc;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    TextPage page;
    Lay(page, &dc, vaTop, haLeft, 100, 100, 0, 0, c.text);
    std::vector<std::string> got;
    for (const TextParagraph& p : page.Paragraphs()) got.push_back(p.Text());
    EXPECT_EQ(got, c.paragraphs);
  }
}

TEST(TextLayout, EverySetterLaysThePageOutAgain) {
  FakeMeasure dc;
  TextPage page;
  Lay(page, &dc, vaTop, haLeft, 82, 100, 0, 0, "aaa bbb ccc");
  ASSERT_EQ(page.Lines().size(), 2u);

  page.SetWidth(200);
  EXPECT_EQ(LinesOf(page), (std::vector<Line>{{"aaa bbb ccc", 0, 0}}));
  page.SetHAlign(haRight);
  EXPECT_EQ(LinesOf(page), (std::vector<Line>{{"aaa bbb ccc", 198 - 100, 0}}));
  page.SetTop(7);
  page.SetLeft(3);
  EXPECT_EQ(LinesOf(page), (std::vector<Line>{{"aaa bbb ccc", 3 + 198 - 100, 7}}));
  page.SetVAlign(vaBottom);
  EXPECT_EQ(LinesOf(page), (std::vector<Line>{{"aaa bbb ccc", 3 + 198 - 100, 7 + 80}}));

  page.SetDC(nullptr);
  EXPECT_EQ(page.LineHeight(), 0);
  EXPECT_EQ(page.Paragraphs().size(), 1u);  // paragraphs, but nothing measured and no lines
  EXPECT_TRUE(page.Lines().empty());
}

TEST(TextLayout, BlanksWithoutWidthDoNotHangJustification) {
  FakeMeasure dc(/*blankWidth=*/0);
  TextPage page;
  Lay(page, &dc, vaTop, haFill, 82, 100, 0, 0, "aaa bbb ccc");
  EXPECT_EQ(LinesOf(page), (std::vector<Line>{{"aaa bbb ", 20, 0}, {"ccc", 0, 20}}));
}

TEST(TextLayout, LongTextsCostMeasurementsInProportionToTheirLength) {
  struct Case {
    const char* name;
    std::string text;
    size_t lines;
  };
  std::string zeroWidthRun;
  for (int i = 0; i < 200000; ++i) zeroWidthRun += "\u200B";
  std::string manyWords;
  for (int i = 0; i < 30000; ++i) manyWords += "ab ";
  const std::vector<Case> cases = {
      {"a long run without width before a word", zeroWidthRun + "aaaaaaaaaa", 2},
      {"a long paragraph of short words", manyWords, 30000 / 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMeasure dc;
    TextPage page;
    Lay(page, &dc, vaTop, haFill, 82, 100, 0, 0, c.text);
    EXPECT_EQ(page.Lines().size(), c.lines);
    EXPECT_LT(dc.m_measuredChars, 64 * c.text.size());
  }
}

TEST(TextLayout, TakeLineAlwaysTakesAPrefixOfAtLeastOneCharacter) {
  FakeMeasure dc;
  TextPage page;
  page.SetWidth(100);
  TextParagraph paragraph(page);
  EXPECT_EQ(paragraph.TakeLine("abc", 50), "");  // nothing to measure with
  paragraph.SetDC(&dc);
  struct Case {
    std::string source;
    int32_t width;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"", 50, ""},
      {"abc", 50, "abc"},
      {"abcde", 50, "abcde"},
      {"abcdef", 50, "abcde"},
      {"W", 10, "W"},
      {" ", 0, " "},
      {"ab", -5, "a"},
      {"a  bcdef", 40, "a  "},
      {"ab cd ef", 60, "ab cd "},
      {"ЖЖЖЖ", 25, "ЖЖЖ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source + " / " + std::to_string(c.width));
    EXPECT_EQ(paragraph.TakeLine(c.source, c.width), c.line);
  }
}

TEST(TextLayout, CoordinatesOutside32BitsAreClamped) {
  FakeMeasure dc;
  TextPage page;
  Lay(page, &dc, vaTop, haLeft, 100, 100, INT32_MAX - 5, INT32_MAX - 10, "a\nb");
  EXPECT_EQ(LinesOf(page), (std::vector<Line>{{"a", INT32_MAX - 5, INT32_MAX - 10},
                                              {"b", INT32_MAX - 5, INT32_MAX}}));
  Lay(page, &dc, vaTop, haLeft, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, "a");
  EXPECT_TRUE(page.Lines().empty());
  Lay(page, &dc, vaCenter, haRight, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MIN, "a\nb");
  EXPECT_EQ(LinesOf(page), (std::vector<Line>{{"a", INT32_MIN + INT32_MAX - 12, INT32_MIN},
                                              {"b", INT32_MIN + INT32_MAX - 12, INT32_MIN}}));
}
