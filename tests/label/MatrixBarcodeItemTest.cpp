// The two-dimensional barcode item: its template properties, modules of
// whole printer dots upright and turned, reuse of an unchanged symbol, the
// host hook, and the framed "ОШИБКА!" box for data the symbology refuses.
#include <gtest/gtest.h>

#include <QImage>
#include <QTransform>

#include <string>
#include <vector>

#include "label/MatrixBarcodeItem.h"
#include "tests/label/ItemTestSupport.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

MatrixBarcodeItem& Add2D(PaintedLabel& painted) {
  return dynamic_cast<MatrixBarcodeItem&>(painted.Add("2DShk"));
}

}  // namespace

TEST(MatrixBarcodeItem, TemplatePropertiesLoadAndWriteInPublishedOrder) {
  Label label;
  label.LoadFromXml(
      "<Label Width=\"58\" Height=\"40\"><Item ClassName=\"2dshk\">"
      "<Property Name=\"BRType2D\" Value=\"br2PDF417\"/>"
      "<Property Name=\"ErrorCorrection\" Value=\"5\"/>"
      "<Property Name=\"HeightToWidth\" Value=\"4\"/>"
      "<Property Name=\"AspectRatio\" Value=\"0,25\"/>"
      "<Property Name=\"ErrorCorrection\" Value=\"40000\"/>"
      "</Item><Item ClassName=\"2DShk\"/></Label>");
  ASSERT_EQ(label.ItemCount(), 2);
  auto& set = dynamic_cast<MatrixBarcodeItem&>(label.Item(0));
  EXPECT_EQ(set.BRType2D(), MatrixSymbology::br2PDF417);
  EXPECT_EQ(set.ErrorCorrection(), 5);  // 40000 is no Smallint: skipped
  EXPECT_EQ(set.HeightToWidth(), 4);
  EXPECT_FLOAT_EQ(set.AspectRatio(), 0.25F);
  auto& defaults = dynamic_cast<MatrixBarcodeItem&>(label.Item(1));
  EXPECT_EQ(defaults.Caption(), "2D Штрихкод");
  EXPECT_EQ(defaults.GetValue(), "2D Штрихкод");
  EXPECT_EQ(defaults.BRType2D(), MatrixSymbology::br2Aztec);
  EXPECT_EQ(defaults.HeightToWidth(), 3);
  EXPECT_EQ(defaults.ErrorCorrection(), 0);
  EXPECT_FLOAT_EQ(defaults.AspectRatio(), 1.0F);
  EXPECT_FALSE(defaults.Smooth());

  const std::string xml = label.SaveToXml();
  const std::vector<std::string> order = {"\"DS\"",
                                          "\"Value\"",
                                          "\"Left\"",
                                          "\"Top\"",
                                          "\"Width\"",
                                          "\"Height\"",
                                          "\"RotationFixed\"",
                                          "\"BRType2D\"",
                                          "\"ErrorCorrection\"",
                                          "\"HeightToWidth\"",
                                          "\"AspectRatio\""};
  size_t at = xml.find("ClassName=\"2DShk\"");
  ASSERT_NE(at, std::string::npos);
  for (const std::string& name : order) {
    at = xml.find("Name=" + name, at);
    ASSERT_NE(at, std::string::npos) << name;
  }
  EXPECT_NE(xml.find("Value=\"br2PDF417\""), std::string::npos);
  EXPECT_NE(xml.find("Name=\"AspectRatio\" Value=\"0,25\""), std::string::npos);
}

// A DataMatrix painted at 203 and 300 dpi, upright and turned clockwise:
// the painted symbol is the generator's module matrix with every module the
// same whole number of dots, the largest that fits the box.
TEST(MatrixBarcodeItem, ModulesAreWholeDotsUprightAndTurned) {
  for (const int dpi : {203, 300}) {
    for (const Rotation rotation : {r0, r90}) {
      SCOPED_TRACE(std::to_string(dpi) + " dpi, r" + std::to_string(rotation * 90));
      PaintedLabel painted(dpi);
      MatrixBarcodeItem& dm = Add2D(painted);
      dm.SetLeft(20);
      dm.SetTop(10);
      dm.SetWidth(17);
      dm.SetHeight(17);
      dm.SetBRType2D(MatrixSymbology::br2DataMatrix);
      dm.SetValue("Полка 7, ряд 3");
      dm.SetRotationFixed(rotation);
      QImage image = painted.Render();
      if (rotation == r90) image = image.transformed(QTransform().rotate(-90));
      ASSERT_NE(dm.Generator(), nullptr);
      const std::vector<std::string>& modules = dm.Generator()->Modules();
      const int n = static_cast<int>(modules.size());
      const int px = dm.ModulePixels();
      const double boxDots = 17 * painted.Ppm();
      // The symbol with its two-module quiet zone each side fits; one dot
      // more per module would not.
      EXPECT_LE(px * (n + 4), boxDots + 1);
      EXPECT_GT((px + 1) * (n + 4), boxDots);

      const QRect ink = InkBox(image, image.rect());
      ASSERT_EQ(ink.width(), n * px);
      ASSERT_EQ(ink.height(), n * px);
      std::vector<std::string> paintedModules;
      for (int r = 0; r < n; ++r) {
        std::string row;
        for (int c = 0; c < n; ++c) {
          // Every dot of the module, not just its centre.
          int dark = 0;
          for (int y = 0; y < px; ++y)
            for (int x = 0; x < px; ++x)
              dark += IsInk(image, ink.left() + c * px + x, ink.top() + r * px + y);
          row += dark == px * px ? '1' : dark == 0 ? '0' : '?';
        }
        paintedModules.push_back(row);
      }
      EXPECT_EQ(paintedModules, modules);
      // Centred on the box (turning back maps x, y to y, width - 1 - x).
      const QPointF centre = QRectF(ink).center();
      const double bx = 28.5 * painted.Ppm();
      const double by = 18.5 * painted.Ppm();
      const QPointF expected =
          rotation == r90 ? QPointF(by, painted.image.width() - 1 - bx) : QPointF(bx, by);
      // Whole-dot placement and the turn about a pixel centre: within 0.3 mm.
      EXPECT_NEAR(centre.x(), expected.x(), 0.3 * painted.Ppm());
      EXPECT_NEAR(centre.y(), expected.y(), 0.3 * painted.Ppm());
    }
  }
}

TEST(MatrixBarcodeItem, UnchangedSymbolIsReusedAndStepsRunThroughTheHostHook) {
  PaintedLabel painted(203);
  int handedOver = 0;
  painted.label.RunThroughHost = [&handedOver](const std::function<void()>& step) {
    ++handedOver;
    step();
  };
  MatrixBarcodeItem& code = Add2D(painted);
  code.SetWidth(20);
  code.SetHeight(20);
  painted.label.Invalidate(true);
  EXPECT_EQ(code.RenderCount(), 1);
  EXPECT_EQ(handedOver, 1);
  painted.label.Invalidate(true);  // marks every item changed
  EXPECT_EQ(code.RenderCount(), 1);
  code.SetErrorCorrection(3);
  painted.label.Invalidate(true);
  EXPECT_EQ(code.RenderCount(), 2);
  EXPECT_EQ(code.Generator()->SecurityLevel(), 3);
  EXPECT_EQ(code.Generator()->Caption(), "2D Штрихкод");

  const int before = handedOver;
  code.ReleaseRenderer();
  EXPECT_EQ(handedOver, before + 1);
  EXPECT_EQ(code.Generator(), nullptr);
  EXPECT_FALSE(code.HasImage());
  painted.label.Invalidate(true);
  EXPECT_EQ(code.RenderCount(), 3);

  // A host that does not run the step leaves the item without a symbol.
  PaintedLabel dropped(203);
  dropped.label.RunThroughHost = [](const std::function<void()>&) {};
  Add2D(dropped);
  const QImage image = dropped.Render();
  EXPECT_TRUE(InkBox(image, image.rect()).isEmpty());
}

TEST(MatrixBarcodeItem, RefusedDataShowsFramedErrorBoxUntilMended) {
  struct Case {
    MatrixSymbology type;
    std::string bad;
    std::string good;
  };
  const Case cases[] = {
      {MatrixSymbology::br2RSS, "ABC", "0950110153000"},
      {MatrixSymbology::br2DataMatrix, "", "1"},
      {MatrixSymbology::br2MicroPDF417, std::string(400, '7'), "77"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bad.substr(0, 8));
    PaintedLabel painted(203);
    MatrixBarcodeItem& code = Add2D(painted);
    code.SetLeft(10);
    code.SetTop(10);
    code.SetWidth(38);
    code.SetHeight(20);
    code.SetBRType2D(c.type);
    code.SetValue(c.bad);
    const QImage image = painted.Render();
    EXPECT_NE(code.ErrorMessage(), "");
    const double ppm = painted.Ppm();
    const QRect box(qRound(10 * ppm), qRound(10 * ppm), qRound(38 * ppm), qRound(20 * ppm));
    const QRect ink = InkBox(image, image.rect());
    // The frame is the box; the text sits inside it.
    EXPECT_LE(std::abs(ink.left() - box.left()), 1);
    EXPECT_LE(std::abs(ink.top() - box.top()), 1);
    EXPECT_LE(std::abs(ink.right() - box.right()), 1);
    EXPECT_LE(std::abs(ink.bottom() - box.bottom()), 1);
    EXPECT_FALSE(InkBox(image, box.adjusted(3, 3, -3, -3)).isEmpty());

    // The canvas has ended: mend and prepare without painting.
    painted.label.BeginUpdate();
    code.SetValue(c.good);
    painted.label.EndUpdate(false);
    code.Prepare();
    EXPECT_EQ(code.ErrorMessage(), "");
    EXPECT_GE(code.ModulePixels(), 1);
  }
}
