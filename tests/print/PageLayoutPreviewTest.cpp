// The preview page and its overlays on the preview image, and printing the
// page as previewed.
#include <gtest/gtest.h>

#include "platform/gdi/RasterTarget.h"
#include "tests/print/PageLayoutTestSupport.h"

namespace labelplu::test {
namespace {

// A 20 × 10 mm label with a 0.5 mm frame 1 mm inside its edges.
constexpr const char* kFramedLabel = R"(<Label Width="20" Height="10">
  <Item ClassName="Rectangle">
    <Property Name="Left" Value="1"/><Property Name="Top" Value="1"/>
    <Property Name="Width" Value="18"/><Property Name="Height" Value="8"/>
    <Property Name="PenWidth" Value="0,5"/>
  </Item>
</Label>)";

// Two framed labels side by side on a 100 × 80 mm paper with 1 mm margins
// and printable-area offsets of 3 and 4 mm, previewed at 254 dpi (10 px/mm).
struct PreviewHarness : ViewHarness {
  PreviewHarness() {
    label.LoadFromXml(kFramedLabel);
    Grid(2, 1);
    view.PaperWidth = 100;
    view.PaperHeight = 80;
    view.OffsetX = 3;
    view.OffsetY = 4;
    image = gdi::CreateRasterImage(1, 1, 254);
    view.SetPreviewImage(&image);
    label.SetMode(kModePreview);
  }
  ~PreviewHarness() { view.SetPreviewImage(nullptr); }
  QRgb At(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }
  QImage image;
};

bool Ink(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}

TEST(PageLayoutPreview, PageShowsTheLabelsAndTheOverlays) {
  PreviewHarness h;
  h.view.PaintPreview();
  ASSERT_EQ(h.image.size(), QSize(1000, 800));
  // Labels at (1, 1) and (23, 1) mm: frames start 1 mm further in.
  EXPECT_TRUE(Ink(h.image, 21, 60));
  EXPECT_TRUE(Ink(h.image, 241, 60));
  EXPECT_FALSE(Ink(h.image, 100, 60));
  EXPECT_FALSE(Ink(h.image, 500, 60));

  h.view.DrawPaperEdge();
  h.view.DrawPrintableArea();
  h.view.DrawMarginLines();
  EXPECT_EQ(h.At(500, 0), 0x000000u);
  EXPECT_EQ(h.At(999, 500), 0x000000u);
  EXPECT_EQ(h.At(30, 500), 0x0000FFu);   // x = 3 mm
  EXPECT_EQ(h.At(500, 759), 0x0000FFu);  // 800 - 40 exclusive
  EXPECT_EQ(h.At(500, 10), 0xFF0000u);   // top margin
  EXPECT_EQ(h.At(500, 790), 0xFF0000u);  // bottom margin
  EXPECT_EQ(h.At(990, 500), 0xFF0000u);  // right margin
  EXPECT_EQ(h.At(500, 400), 0xFFFFFFu);

  // Label frames: a grey dash-dot outline in XOR, so drawing them twice
  // restores the page. The bottom edge of the first frame is row 109
  // (from x = 31 on, right of the printable area's blue edge).
  auto bottomEdge = [&h] {
    int grey = 0, white = 0;
    for (int x = 31; x < 209; ++x) {
      if (h.At(x, 109) == 0x7F7F7Fu)
        ++grey;
      else if (h.At(x, 109) == 0xFFFFFFu)
        ++white;
    }
    return std::pair{grey, white};
  };
  h.view.DrawLabelFrames();
  const auto [grey, white] = bottomEdge();
  EXPECT_GT(grey, 50);
  EXPECT_GT(white, 20);
  EXPECT_EQ(grey + white, 178);
  h.view.DrawLabelFrames();
  EXPECT_EQ(bottomEdge(), std::pair(0, 178));
}

TEST(PageLayoutPreview, PrintingThePreviewedPageReturnsToPreviewMode) {
  {
    PreviewHarness h;
    h.view.SetZoomX(2);
    h.view.PrintPreviewPage();
    EXPECT_EQ(h.printer.Title(), "ЖФУ3");
    EXPECT_EQ(h.JobLog(), (std::vector<std::string>{"Copies 1", "BeginDoc", "L0", "L1", "EndDoc"}));
    EXPECT_EQ(h.label.Mode(), kModePreview);
    EXPECT_EQ(h.view.ZoomX(), 1.0);
    ASSERT_EQ(h.printer.Pages.size(), 1u);
    // Printer coordinates start at the printable area: the second label
    // lies at (23 - 3, 1 - 4) mm, its frame's left edge at 21 mm.
    EXPECT_TRUE(Ink(h.printer.Pages[0], 211, 30));
    EXPECT_FALSE(Ink(h.printer.Pages[0], 241, 30));
  }
  {
    PreviewHarness h;
    h.printer.FailOn = "EndDoc";
    EXPECT_THROW(h.view.PrintPreviewPage(), spool::SpoolError);
    EXPECT_EQ(h.JobLog(), (std::vector<std::string>{"Copies 1", "BeginDoc", "L0", "L1",
                                                    "EndDoc failed", "Abort"}));
    EXPECT_FALSE(h.printer.Printing());
    EXPECT_EQ(h.label.Mode(), kModePreview);
  }
}

}  // namespace
}  // namespace labelplu::test
