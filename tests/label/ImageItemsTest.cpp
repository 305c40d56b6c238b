// The image items on a painted label: a barcode that a scanner reads
// at 0° and 90°, a picture fitted or stretched into its box, the framed
// placeholder for a picture that cannot be read or is not found, the
// default picture.
#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <string>

#include "label/DataSources.h"
#include "label/LinearBarcodeItem.h"
#include "label/PictureItem.h"
#include "tests/label/ItemTestSupport.h"
#include "tests/support/Scanner.h"
#include "tests/support/TempDir.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

LinearBarcodeItem& AddLinearBarcode(PaintedLabel& painted) {
  return dynamic_cast<LinearBarcodeItem&>(painted.Add("Shk"));
}

PictureItem& AddImage(PaintedLabel& painted) {
  return dynamic_cast<PictureItem&>(painted.Add("Image"));
}

}  // namespace

TEST(LinearBarcodeItem, Ean13At203DpiScansUprightAndTurned) {
  struct Case {
    Rotation rotation;
    int turned;  // degrees the bars are turned clockwise
  };
  for (const Case c : {Case{r0, 0}, Case{r90, 90}}) {
    PaintedLabel painted(203, 58, 60);
    LinearBarcodeItem& barcode = AddLinearBarcode(painted);
    barcode.SetLeft(9);
    barcode.SetTop(20);
    barcode.SetWidth(40);
    barcode.SetHeight(20);
    barcode.SetValue("4006381333931");
    barcode.SetRotationFixed(c.rotation);
    // The reader must not turn the image: the bars are turned back here.
    const QImage image = Upright(painted.Render(), c.turned);
    EXPECT_TRUE(
        ScansAs(image, Reader::Zxing, Symbology::Ean13, "4006381333931", {.tryRotate = false}))
        << "rotation " << int(c.rotation);
    // The symbol is painted at the printer's dots: 12 mils at 203 dpi is a
    // two-dot module, whatever the rotation.
    ASSERT_NE(barcode.Encoder(), nullptr);
    EXPECT_FALSE(barcode.Encoder()->ErrorFlag());
    EXPECT_EQ(barcode.SourceImage().Width(), 320);
    EXPECT_EQ(barcode.SourceImage().Height(), 160);
  }
}

TEST(LinearBarcodeItem, UnchangedSymbolIsNotPaintedAgain) {
  PaintedLabel painted(203);
  LinearBarcodeItem& barcode = AddLinearBarcode(painted);
  painted.label.Invalidate(true);
  EXPECT_EQ(barcode.RenderCount(), 1);
  painted.label.Invalidate(true);  // marks every item changed
  EXPECT_EQ(barcode.RenderCount(), 1);
  barcode.SetValue("5901234123457");
  painted.label.Invalidate(true);
  EXPECT_EQ(barcode.RenderCount(), 2);
  barcode.ReleaseRenderer();
  painted.label.Invalidate(true);
  EXPECT_EQ(barcode.RenderCount(), 3);
}

TEST(LinearBarcodeItem, LowerCaseClassNameInTemplateLoadsBarcode) {
  Label label;
  label.LoadFromXml(
      "<Label Width=\"58\" Height=\"40\"><Item ClassName=\"shk\">"
      "<Property Name=\"BarCodeType\" Value=\"bcCode128\"/>"
      "<Property Name=\"Value\" Value=\"ABC-12\"/>"
      "<Property Name=\"BarWidth\" Value=\"10,5\"/>"
      "</Item></Label>");
  ASSERT_EQ(label.ItemCount(), 1);
  auto* barcode = dynamic_cast<LinearBarcodeItem*>(&label.Item(0));
  ASSERT_NE(barcode, nullptr);
  EXPECT_EQ(barcode->BarCodeType(), bcCode128);
  EXPECT_EQ(barcode->GetValue(), "ABC-12");
  EXPECT_DOUBLE_EQ(barcode->BarWidth(), 10.5);
  EXPECT_EQ(barcode->Caption(), "Штрихкод");
}

// A black 40 × 20 picture in a 20 × 20 mm box: fitted it keeps 2:1 and sits
// centred; stretched it fills the box.
TEST(ImageItems, FitKeepsAspectRatioStretchFillsBox) {
  QImage picture(40, 20, QImage::Format_RGB32);
  picture.fill(Qt::black);
  for (const bool stretch : {false, true}) {
    PaintedLabel painted(203);
    painted.label.Images().Add(std::make_unique<EmbeddedImage>("pic.bmp", "", picture));
    PictureItem& image = AddImage(painted);
    image.SetLeft(10);
    image.SetTop(10);
    image.SetWidth(20);
    image.SetHeight(20);
    image.SetValue("pic.bmp");
    image.SetStretch(stretch);
    const QImage& out = painted.Render();
    const QRect ink = InkBox(out, out.rect());
    const double ppm = painted.Ppm();
    const int side = qRound(20 * ppm);  // 160
    EXPECT_NEAR(ink.left(), 10 * ppm, 2) << stretch;
    EXPECT_NEAR(ink.width(), side, 2) << stretch;
    if (stretch) {
      EXPECT_NEAR(ink.top(), 10 * ppm, 2);
      EXPECT_NEAR(ink.height(), side, 2);
    } else {
      EXPECT_NEAR(ink.top(), 15 * ppm, 2);
      EXPECT_NEAR(ink.height(), side / 2.0, 2);
    }
  }
}

namespace {

// Expects the framed placeholder of a picture item whose box is
// (10, 10) mm, 20 × 10 mm: a frame around the box, nothing inside.
void ExpectFramedBox(const QImage& out, double ppm) {
  const QRect ink = InkBox(out, out.rect());
  EXPECT_NEAR(ink.left(), 10 * ppm, 1);
  EXPECT_NEAR(ink.top(), 10 * ppm, 1);
  EXPECT_NEAR(ink.width(), 20 * ppm, 2);
  EXPECT_NEAR(ink.height(), 10 * ppm, 2);
  EXPECT_TRUE(InkBox(out, ink.adjusted(2, 2, -2, -2)).isEmpty());
  EXPECT_TRUE(IsInk(out, ink.left(), ink.center().y()));
  EXPECT_TRUE(IsInk(out, ink.center().x(), ink.top()));
}

void PlaceInBox(PictureItem& image) {
  image.SetLeft(10);
  image.SetTop(10);
  image.SetWidth(20);
  image.SetHeight(10);
}

}  // namespace

// A picture that cannot be read and a name that finds nothing show the
// same framed box, in the job and in the preview.
TEST(ImageItems, UnreadableOrMissingPictureShowsFramedBox) {
  const TempDir dir;
  const std::string unreadable = dir.Write("not_a_bitmap.bmp", "this is not a bitmap").string();
  struct Case {
    std::string value;
    uint8_t mode;
  };
  const Case cases[] = {{unreadable, kModeOffScreen},
                        {"/nonexistent/lp_missing.bmp", kModeOffScreen},
                        {"lp_no_such_picture.bmp", kModeOffScreen},
                        {"/nonexistent/lp_missing.bmp", kModePreview}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value + " mode " + std::to_string(c.mode));
    PaintedLabel painted(203);
    painted.label.SetMode(c.mode);
    PictureItem& image = AddImage(painted);
    PlaceInBox(image);
    image.SetValue(c.value);
    ExpectFramedBox(painted.Render(), painted.Ppm());
  }
}

// A job fills the same item for every record: a record whose picture finds
// nothing must not print the picture of the record before it.
TEST(ImageItems, RecordWhosePictureIsMissingDoesNotShowThePreviousOne) {
  QImage picture(40, 20, QImage::Format_RGB32);
  picture.fill(Qt::black);
  PaintedLabel painted(203);
  painted.label.SetMode(kModeOffScreen);
  painted.label.Images().Add(std::make_unique<EmbeddedImage>("milk.bmp", "", picture));
  PictureItem& image = AddImage(painted);
  PlaceInBox(image);
  image.SetDataSource(dsImage1);
  for (const char* record : {"milk.bmp", "mlik.bmp"}) {
    SCOPED_TRACE(record);
    painted.NewPage();
    painted.label.FillValue("dsImage1", record);
    const QImage& out = painted.Render();
    if (record == std::string("milk.bmp")) {
      const QRect ink = InkBox(out, out.rect());
      EXPECT_TRUE(IsInk(out, ink.center().x(), ink.center().y()));
    } else {
      ExpectFramedBox(out, painted.Ppm());
    }
  }
}

TEST(ImageItems, EmptyPicture) {
  struct Case {
    const char* value;
    uint8_t mode;
    bool ink;
  };
  for (const Case c : {Case{"", kModePreview, true}, Case{"", kModeOffScreen, false}}) {
    PaintedLabel painted(203);
    painted.label.SetMode(c.mode);
    PictureItem& image = AddImage(painted);
    image.SetLeft(10);
    image.SetTop(10);
    image.SetValue(c.value);
    const QImage& out = painted.Render();
    EXPECT_EQ(!InkBox(out, out.rect()).isEmpty(), c.ink) << c.value << " mode " << int(c.mode);
    EXPECT_EQ(image.HasImage(), c.ink);
  }
}

// A picture whose left half is black, turned by r90 in a 20 × 20 mm box:
// clockwise, the black half comes to the top of the upright 10 × 20 mm
// fitted rectangle.
TEST(ImageItems, QuarterTurnIsClockwise) {
  QImage picture(40, 20, QImage::Format_RGB32);
  picture.fill(Qt::white);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) picture.setPixel(x, y, qRgb(0, 0, 0));
  PaintedLabel painted(203);
  painted.label.Images().Add(std::make_unique<EmbeddedImage>("half.bmp", "", picture));
  PictureItem& image = AddImage(painted);
  image.SetLeft(10);
  image.SetTop(10);
  image.SetWidth(20);
  image.SetHeight(20);
  image.SetValue("half.bmp");
  image.SetRotationFixed(r90);
  image.SetSmooth(false);  // crisp edges: the test measures geometry
  const QImage& out = painted.Render();
  const double ppm = painted.Ppm();
  const QRect ink = InkBox(out, out.rect());
  EXPECT_NEAR(ink.left(), 15 * ppm, 2);
  EXPECT_NEAR(ink.right() + 1, 25 * ppm, 2);
  EXPECT_NEAR(ink.top(), 10 * ppm, 2);
  EXPECT_NEAR(ink.bottom() + 1, 20 * ppm, 2);
}
