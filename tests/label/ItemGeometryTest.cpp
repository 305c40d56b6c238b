// Item geometry on device dots: a linear barcode's bars and spaces stay
// whole modules at every position, turn and resolution, and no item paints
// outside its own box.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "label/LinearBarcodeItem.h"
#include "label/PixelRound.h"
#include "label/PropText.h"
#include "render/LinearBarcodeRenderer.h"
#include "tests/label/ItemTestSupport.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

// A run of equal pixels along the bars: ink (a bar) or not (a space).
struct Run {
  bool Bar = false;
  int Length = 0;
  friend bool operator==(const Run&, const Run&) = default;
};

std::ostream& operator<<(std::ostream& os, const Run& r) {
  return os << (r.Bar ? "B" : "S") << r.Length;
}

// The runs the encoder's elements make at the item's modules.
std::vector<Run> ExpectedRuns(const LinearBarcodeItem& barcode, int dpi) {
  const LinearBarcodeRenderer& encoder = *barcode.Encoder();
  const BarModules modules = ComputeBarModules(barcode.BarWidth(), dpi, encoder.BarToSpaceRatio());
  std::vector<Run> runs;
  for (const BarElement& e : encoder.Elements()) {
    const int length = e.ModuleCount * (e.IsBar() ? modules.Bar : modules.Space);
    if (length == 0) continue;
    if (!runs.empty() && runs.back().Bar == e.IsBar()) {
      runs.back().Length += length;
    } else {
      runs.push_back({e.IsBar(), length});
    }
  }
  while (!runs.empty() && !runs.back().Bar) runs.pop_back();
  return runs;
}

// The runs from the first ink to the last along a line of pixels, and where
// the first and last ink lie on that line.
struct Scan {
  std::vector<Run> Runs;
  int FirstInk = -1;
  int LastInk = -1;
};

Scan ScanLine(const std::vector<bool>& ink) {
  Scan scan;
  for (int i = 0; i < static_cast<int>(ink.size()); ++i) {
    if (!ink[static_cast<size_t>(i)]) continue;
    if (scan.FirstInk < 0) scan.FirstInk = i;
    scan.LastInk = i;
  }
  for (int i = scan.FirstInk; scan.FirstInk >= 0 && i <= scan.LastInk; ++i) {
    const bool bar = ink[static_cast<size_t>(i)];
    if (scan.Runs.empty() || scan.Runs.back().Bar != bar) scan.Runs.push_back({bar, 0});
    ++scan.Runs.back().Length;
  }
  return scan;
}

struct Symbol {
  BarcodeSymbology Type;
  const char* Value;
};

TEST(ItemGeometry, BarsAndSpacesAreWholeModulesAtEveryPositionTurnAndResolution) {
  const Symbol symbols[] = {{bcEAN_13, "4006381333931"},
                            {bcEAN_8, "96385074"},
                            {bcCode128, "LABEL-128"},
                            {bcCode39, "CODE39"}};
  const Rotation rotations[] = {r0, r90, r180, r270};
  // The grid snaps an item's box to whole millimetres; the label's own
  // origin on the page does not snap, so the sweep moves it in 0.1 mm steps
  // (Left and Top in different orders) to reach every phase of the dots.
  struct Place {
    double itemLeft, itemTop, width, labelLeft, labelTop;
  };
  std::vector<Place> places;
  for (const double itemLeft : {3.0, 40.0, 45.0}) {
    for (int i = 0; i < 10; ++i) {
      places.push_back({itemLeft, 4, 45, 0.1 * i, 0.1 * ((7 * i) % 10)});
    }
  }
  places.push_back({52, 6, 45, 0, 0});  // the right-hand column of the sample
  for (const int dpi : {203, 300}) {
    PaintedLabel painted(dpi, 100, 50);
    painted.label.SetMode(kModePrinter);
    // Changes go inside an update block, so that only Render paints: a
    // fresh canvas on a white picture each time (Render ends the canvas, and
    // the label's fill leaves its margin as it was).
    Label& label = painted.label;
    label.BeginUpdate();
    const auto render = [&]() -> const QImage& {
      label.EndUpdate(false);
      painted.view.SetCanvas(nullptr);
      painted.canvas.reset();
      painted.image.fill(Qt::white);
      painted.canvas = std::make_unique<gdi::Canvas>(painted.image);
      painted.view.SetCanvas(painted.canvas.get());
      const QImage& image = painted.Render();
      label.BeginUpdate();
      return image;
    };
    for (const Symbol& symbol : symbols) {
      for (const Rotation rotation : rotations) {
        auto& barcode = dynamic_cast<LinearBarcodeItem&>(painted.Add("Shk"));
        barcode.SetBarCodeType(symbol.Type);
        barcode.SetValue(symbol.Value);
        barcode.SetTextVisible(false);
        barcode.SetBarWidth(10);
        barcode.SetHeight(40);
        barcode.SetRotationFixed(rotation);
        for (const Place& place : places) {
          SCOPED_TRACE(testing::Message()
                       << dpi << " dpi, symbology " << int(symbol.Type) << ", rotation "
                       << int(rotation) << ", item at " << place.itemLeft << "/" << place.itemTop
                       << " width " << place.width << ", label at " << place.labelLeft << "/"
                       << place.labelTop);
          barcode.SetLeft(place.itemLeft);
          barcode.SetTop(place.itemTop);
          barcode.SetWidth(place.width);
          label.SetLeft(place.labelLeft);
          label.SetTop(place.labelTop);
          const QImage& image = render();
          ASSERT_NE(barcode.Encoder(), nullptr);
          ASSERT_FALSE(barcode.Encoder()->ErrorFlag());

          // The line through the box centre across the bars.
          const double s = painted.Ppm();
          const int cx = RoundPx(s * (place.labelLeft + place.itemLeft + place.width / 2));
          const int cy = RoundPx(s * (place.labelTop + place.itemTop + 20));
          const bool across = rotation == r0 || rotation == r180;
          std::vector<bool> ink(static_cast<size_t>(across ? image.width() : image.height()));
          for (int i = 0; i < static_cast<int>(ink.size()); ++i)
            ink[static_cast<size_t>(i)] = across ? IsInk(image, i, cy) : IsInk(image, cx, i);
          Scan scan = ScanLine(ink);
          const bool reversed = rotation == r180 || rotation == r270;
          if (reversed) std::reverse(scan.Runs.begin(), scan.Runs.end());
          EXPECT_EQ(scan.Runs, ExpectedRuns(barcode, dpi));

          // The first bar starts on the box's corner where the symbol begins
          // (outline point 0 is the box's top-left corner turned with it).
          const gdi::POINT p0 = barcode.BoxOutline().Points()[0];
          const int start = reversed ? scan.LastInk + 1 : scan.FirstInk;
          EXPECT_EQ(start, across ? p0.x : p0.y);
        }
        label.DeleteItem(&barcode);
        if (HasFailure()) return;
      }
    }
  }
}

// An item kind of the containment table: its class and the properties it
// gets after its box.
struct ItemKind {
  const char* Name;
  const char* ClassName;
  std::vector<std::pair<const char*, std::string>> Properties;
};

// The box of an item: its place, whatever the kind calls it.
struct Box {
  double Left, Top, Width, Height;
};

// Paints the frame and, unless kind is null, the item (before or after the
// frame in z-order) on a fresh label; returns the picture and, through box,
// the item's box region.
QImage PaintWithFrame(const ItemKind* kind, const Box& place, bool frameFirst,
                      gdi::Region* box = nullptr) {
  PaintedLabel painted(203, 60, 45);
  // The preview shows an empty picture as the default one.
  painted.label.SetMode(kModePreview);
  auto addFrame = [&] {
    LabelItem& frame = painted.Add("Rectangle");
    SetPropText(&frame, "Left", "20");
    SetPropText(&frame, "Top", "15");
    SetPropText(&frame, "Width", "20");
    SetPropText(&frame, "Height", "12");
    SetPropText(&frame, "PenWidth", "1");
  };
  // One paint at the end: repaints on the way would leave marks in the
  // label's margin, which the label's white fill does not reach.
  painted.label.BeginUpdate();
  if (frameFirst) addFrame();
  LabelItem* item = nullptr;
  if (kind != nullptr) {
    item = &painted.Add(kind->ClassName);
    item->SetLeft(place.Left);
    item->SetTop(place.Top);
    item->SetWidth(place.Width);
    item->SetHeight(place.Height);
    for (const auto& [name, value] : kind->Properties) SetPropText(item, name, value);
  }
  if (!frameFirst) addFrame();
  painted.label.EndUpdate(false);
  QImage image = painted.Render().copy();
  if (item != nullptr && box != nullptr) *box = item->BoxOutline().Region();
  return image;
}

// A line is left out: its thickness follows its pen, not its 2 mm box, and
// its outline reaches the pixel past its end (ShapeItemsTest).
TEST(ItemGeometry, ItemsPaintNothingOutsideTheirBox) {
  const std::vector<ItemKind> kinds = {
      {"barcode, fit", "Shk", {}},
      {"barcode, stretch", "Shk", {{"Stretch", "True"}}},
      {"barcode, 90", "Shk", {{"RotationFixed", "r90"}}},
      {"barcode, 180", "Shk", {{"RotationFixed", "r180"}}},
      {"barcode, 270, wide data", "Shk", {{"RotationFixed", "r270"}, {"BarWidth", "30"}}},
      {"2D barcode, fit", "2DShk", {}},
      {"2D barcode, 90", "2DShk", {{"RotationFixed", "r90"}}},
      {"picture, fit", "Image", {}},
      {"picture, stretch", "Image", {{"Stretch", "True"}}},
      {"picture, stretch, 270", "Image", {{"Stretch", "True"}, {"RotationFixed", "r270"}}},
      {"text", "TextSimple", {{"Value", "A text much longer than its box is wide"}}},
      {"graphic text", "TextGraphic", {{"Value", "A text much longer than its box"}}},
      {"graphic text, 90", "TextGraphic", {{"Value", "Turned text"}, {"RotationFixed", "r90"}}},
      {"rectangle", "Rectangle", {{"PenWidth", FormatRealText(0.5)}}},
  };
  // Beside the frame's left side, above its top side (touching), and over
  // its bottom-right corner.
  const std::vector<std::pair<const char*, Box>> places = {
      {"beside", {2, 14, 18, 14}},
      {"above", {22, 3, 16, 12}},
      {"overlapping", {30, 22, 22, 12}},
  };
  for (const ItemKind& kind : kinds) {
    for (const auto& [placeName, place] : places) {
      for (const bool frameFirst : {true, false}) {
        SCOPED_TRACE(testing::Message() << kind.Name << ", " << placeName << ", frame "
                                        << (frameFirst ? "before" : "after"));
        const QImage without = PaintWithFrame(nullptr, place, frameFirst);
        gdi::Region box;
        const QImage with = PaintWithFrame(&kind, place, frameFirst, &box);
        ASSERT_FALSE(box.IsEmpty());
        int outside = 0;
        int changed = 0;
        for (int y = 0; y < with.height(); ++y) {
          for (int x = 0; x < with.width(); ++x) {
            if (with.pixel(x, y) == without.pixel(x, y)) continue;
            ++changed;
            if (!box.PtInRegion(x, y)) {
              if (outside == 0) {
                ADD_FAILURE() << "painted outside its box at " << x << ", " << y;
                with.save(QString("/tmp/geom-with-%1.png").arg(kind.Name));
                without.save(QString("/tmp/geom-without-%1.png").arg(kind.Name));
              }
              ++outside;
            }
          }
        }
        EXPECT_EQ(outside, 0);
        EXPECT_GT(changed, 0) << "the item painted nothing";
      }
    }
  }
}

}  // namespace
