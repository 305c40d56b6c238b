// The layout measuring with a real font on the canvas.
#include "render/CanvasTextMeasure.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "platform/gdi/RasterTarget.h"

using namespace labelplu;

namespace {

// Fonts need a GUI application; it lives until the process ends.
void EnsureGuiApplication() {
  static int argc = 1;
  static char arg0[] = "render_test";
  static char* argv[] = {arg0, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

}  // namespace

TEST(CanvasTextMeasure, WrapsCyrillicTextWithTheSelectedFont) {
  EnsureGuiApplication();
  QImage image = gdi::CreateRasterImage(400, 300, 203);
  gdi::Canvas canvas(image);
  gdi::LOGFONT font;
  font.lfHeight = -24;
  font.lfCharSet = 204;
  canvas.SelectFont(font);
  const CanvasTextMeasure dc(canvas);

  const std::string text = "Съешь же ещё этих мягких французских булок, да выпей чаю";
  const int32_t width = 162;
  const int32_t available = width - 2;
  TextPage page;
  page.SetVAlign(vaTop);
  page.SetHAlign(haLeft);
  page.SetWidth(width);
  page.SetHeight(300);
  page.SetLeft(4);
  page.SetTop(6);
  page.SetDC(&dc);
  page.SetText(text);

  const int32_t lineHeight = canvas.GetTextExtentPoint32("1").cy;
  ASSERT_GT(lineHeight, 20);
  EXPECT_EQ(page.LineHeight(), lineHeight);
  const std::vector<TextLine> lines = page.Lines();
  ASSERT_GE(lines.size(), 3u);

  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i].Text);
    joined += lines[i].Text;
    EXPECT_EQ(lines[i].X, 4);
    EXPECT_EQ(lines[i].Y, 6 + static_cast<int32_t>(i) * lineHeight);
    // No word here is wider than the line, so every line fits, and no line
    // could have taken the next word as well.
    EXPECT_LT(dc.TextExtent(lines[i].Text).Width, available);
    if (i + 1 < lines.size()) {
      const std::string& next = lines[i + 1].Text;
      const std::string nextWord = next.substr(0, next.find(' '));
      EXPECT_GE(dc.TextExtent(lines[i].Text + nextWord).Width, available);
    }
  }
  EXPECT_EQ(joined, text);
}
