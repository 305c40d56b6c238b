// A price tag printed through the built-in raster printer: six labels on an
// A4 page at 203 dpi, seven records on two pages, each label's frame where
// the layout puts it.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>
#include <string>

#include "label/Label.h"
#include "label/PixelRound.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"
#include "tests/support/PrinterDeviceFixture.h"

namespace labelplu {
namespace {

void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "print_integration_test";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QGuiApplication(argc, argv);
}

// Dark pixels within radius of (x, y).
bool InkNear(const QImage& page, int x, int y, int radius) {
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx)
      if (page.valid(x + dx, y + dy) && qGray(page.pixel(x + dx, y + dy)) < 128) return true;
  return false;
}

TEST(PageLayoutIntegration, SevenPriceTagsOnTwoRasterPages) {
  EnsureGuiApplication();
  test::PrinterDeviceFixture devices;
  devices.Set(
      {{"PrinterName", devices.RasterPrinter(203)}, {"MaxHorizontal", "3"}, {"MaxVertical", "2"}});

  Label label;
  label.LoadFromFile(std::string(std::getenv("LABELPLU_SOURCE")) +
                     "/samples/templates/price_tag.lb3");
  ASSERT_EQ(label.Width(), 58);
  PageLayoutPrinter view(label);
  view.Device = &devices.Device();
  view.ReadDeviceSettings();
  EXPECT_EQ(view.PaperWidth, 210);
  EXPECT_EQ(view.PaperHeight, 297);
  EXPECT_EQ(view.ResolutionX, 203);
  EXPECT_EQ(view.OffsetX, 0);

  view.BeginLabelJob();
  for (int record = 0; record < 7; ++record) view.PrintLabel(1);
  view.FinishJob(true);

  const std::vector<std::string> files = view.Printer().OutputFiles();
  ASSERT_EQ(files.size(), 2u);
  const QImage pages[] = {QImage(QString::fromStdString(files[0])),
                          QImage(QString::fromStdString(files[1]))};
  const double ppm = 203 / 25.4;
  EXPECT_EQ(pages[0].width(), RoundPx(210 * ppm));
  const struct {
    int page;
    double x, y;  // the label's corner, mm
    bool printed;
  } labels[] = {{0, 16, 107.5, true}, {0, 76, 107.5, true},  {0, 136, 107.5, true},
                {0, 16, 149.5, true}, {0, 76, 149.5, true},  {0, 136, 149.5, true},
                {1, 16, 107.5, true}, {1, 76, 107.5, false}, {1, 16, 149.5, false}};
  for (const auto& l : labels) {
    SCOPED_TRACE(std::to_string(l.page) + ": " + std::to_string(l.x) + ", " + std::to_string(l.y));
    const QImage& page = pages[l.page];
    // The template's frame runs 1 mm inside the label's edges.
    const int left = RoundPx((l.x + 1) * ppm);
    const int top = RoundPx((l.y + 1) * ppm);
    const int right = RoundPx((l.x + 57) * ppm);
    const int bottom = RoundPx((l.y + 39) * ppm);
    EXPECT_EQ(InkNear(page, left, top, 3), l.printed);
    EXPECT_EQ(InkNear(page, right, bottom, 3), l.printed);
    EXPECT_EQ(InkNear(page, left, RoundPx((l.y + 20) * ppm), 3), l.printed);
    // Nothing in the gap beside the label.
    EXPECT_FALSE(InkNear(page, RoundPx((l.x - 0.5) * ppm), RoundPx((l.y + 20) * ppm), 2));
  }
}

}  // namespace
}  // namespace labelplu
