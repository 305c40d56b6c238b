// The linear barcode item never prints other data than it was given: data
// the symbology refuses and symbols wider than their box show "ОШИБКА!" with
// the reason in ErrorMessage(), and Code 93/128 scan whatever AddCheckChar
// says, which templates keep as stored.
#include <gtest/gtest.h>

#include <QImage>

#include <string>

#include "label/LinearBarcodeItem.h"
#include "tests/label/ItemTestSupport.h"
#include "tests/support/Scanner.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

using S = Symbology;

struct Placed {
  PaintedLabel painted;
  LinearBarcodeItem& barcode;

  Placed(int dpi, BarcodeSymbology type, const std::string& value, double widthMm)
      : painted(dpi, 80, 30), barcode(dynamic_cast<LinearBarcodeItem&>(painted.Add("Shk"))) {
    barcode.SetLeft(5);
    barcode.SetTop(5);
    barcode.SetWidth(widthMm);
    barcode.SetHeight(20);
    barcode.SetBarCodeType(type);
    barcode.SetValue(value);
  }
  // The painted label as 8-bit grey.
  QImage Grey() { return painted.Render().convertToFormat(QImage::Format_Grayscale8); }
};

TEST(LinearBarcodeItem, RefusedDataAndTooWideSymbolsShowTheErrorWithTheReason) {
  struct Case {
    BarcodeSymbology type;
    std::string value;
    double widthMm;
    std::string reason;
    S symbology;
  };
  // At 203 dpi and 12 mils a module is 2 dots; a 20 mm box is 160 dots.
  const Case cases[] = {
      {bcEAN_13, "12345", 60, "Неверная длина штрихкода EAN-13: 5 цифр, нужно 12 или 13", S::Ean13},
      {bcEAN_13, "12345678901234567", 60,
       "Неверная длина штрихкода EAN-13: 17 цифр, нужно 12 или 13", S::Ean13},
      {bcEAN_13, "1234567890123", 60,
       "Неверная контрольная цифра штрихкода EAN-13: 3, должна быть 8", S::Ean13},
      {bcEAN_8, "12345", 60, "Неверная длина штрихкода EAN-8: 5 цифр, нужно 7 или 8", S::Ean8},
      {bcUPC_A, "036000291451", 60, "Неверная контрольная цифра штрихкода UPC-A: 1, должна быть 2",
       S::UpcA},
      {bcUPC_E, "12345", 60, "Неверная длина штрихкода UPC-E: 5 цифр, нужно 6, 7 или 8", S::UpcE},
      {bcEAN_13, "123456789012A", 60, "Штрихкод содержит некорректный символ", S::Ean13},
      // 95 modules of EAN-13 are 190 dots; Code 128 of 9 characters is 134
      // modules (start, data, check 11 each, stop 13): 268 dots.
      {bcEAN_13, "5901234123457", 20, "Штрихкод не помещается в поле: 190 точек при ширине 160",
       S::Ean13},
      {bcCode128, "PART-0042", 20, "Штрихкод не помещается в поле: 268 точек при ширине 160",
       S::Code128},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Placed placed(203, c.type, c.value, c.widthMm);
    const QImage grey = placed.Grey();
    EXPECT_EQ(placed.barcode.ErrorMessage(), c.reason);
    EXPECT_EQ(Decode(grey, Reader::Zxing, c.symbology), "<unread>");
    EXPECT_EQ(Decode(grey, Reader::Zbar, c.symbology), "<unread>");
    // "ОШИБКА!" stands in the box.
    const double ppm = placed.painted.Ppm();
    const QRect box(qRound(5 * ppm), qRound(5 * ppm), qRound(c.widthMm * ppm), qRound(20 * ppm));
    EXPECT_FALSE(InkBox(grey, box).isEmpty());
  }
}

TEST(LinearBarcodeItem, MendedDataOrAWiderBoxBringsTheSymbolBack) {
  Placed placed(203, bcEAN_13, "5901234123450", 60);
  placed.painted.Render();
  EXPECT_EQ(placed.barcode.ErrorMessage(),
            "Неверная контрольная цифра штрихкода EAN-13: 0, должна быть 7");
  // The canvas has ended: mend and prepare without painting.
  placed.painted.label.BeginUpdate();
  placed.barcode.SetValue("5901234123457");
  placed.barcode.SetWidth(20);
  placed.painted.label.EndUpdate(false);
  placed.barcode.Prepare();
  EXPECT_EQ(placed.barcode.ErrorMessage(),
            "Штрихкод не помещается в поле: 190 точек при ширине 160");
  placed.painted.label.BeginUpdate();
  placed.barcode.SetWidth(24);  // 192 dots
  placed.painted.label.EndUpdate(false);
  placed.barcode.Prepare();
  EXPECT_EQ(placed.barcode.ErrorMessage(), "");

  Placed fitting(203, bcEAN_13, "5901234123457", 24);
  EXPECT_TRUE(ScansAs(fitting.Grey(), Reader::Both, S::Ean13, "5901234123457"));
  EXPECT_EQ(fitting.barcode.ErrorMessage(), "");
}

TEST(LinearBarcodeItem, Code93And128ScanWithTheStoredCheckFlagOffOrOn) {
  struct Case {
    BarcodeSymbology type;
    const char* typeName;
    std::string value;
    S symbology;
  };
  const Case cases[] = {
      {bcCode93, "bcCode93", "Shelf+7", S::Code93},
      {bcCode128, "bcCode128", "Shelf-42 a/b", S::Code128},
      {bcCode128, "bcCode128", "4607001234", S::Code128},
  };
  for (const Case& c : cases) {
    for (const char* flag : {"False", "True"}) {
      SCOPED_TRACE(c.value + " AddCheckChar " + flag);
      for (const int dpi : {203, 300}) {
        PaintedLabel painted(dpi, 80, 30);
        painted.label.LoadFromXml(
            std::string("<Label Width=\"80\" Height=\"30\"><Item "
                        "ClassName=\"Shk\"><Property Name=\"Value\" Value=\"") +
            c.value + "\"/><Property Name=\"Left\" Value=\"5\"/>" +
            "<Property Name=\"Top\" Value=\"5\"/>" + "<Property Name=\"Width\" Value=\"70\"/>" +
            "<Property Name=\"Height\" Value=\"20\"/>" + "<Property Name=\"BarCodeType\" Value=\"" +
            c.typeName + "\"/><Property Name=\"AddCheckChar\" Value=\"" + flag +
            "\"/></Item></Label>");
        auto& barcode = dynamic_cast<LinearBarcodeItem&>(painted.label.Item(0));
        const QImage grey = painted.Render().convertToFormat(QImage::Format_Grayscale8);
        EXPECT_EQ(barcode.ErrorMessage(), "");
        EXPECT_TRUE(ScansAs(grey, Reader::Both, c.symbology, c.value)) << dpi;
        // The stored flag is written back as it was read.
        EXPECT_EQ(barcode.AddCheckChar(), std::string(flag) == "True");
        EXPECT_NE(painted.label.SaveToXml().find(std::string("<Property Name=\"AddCheckChar\" "
                                                             "Value=\"") +
                                                 flag + "\""),
                  std::string::npos);
      }
    }
  }
}

}  // namespace
