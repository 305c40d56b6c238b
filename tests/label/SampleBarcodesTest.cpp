// The barcodes of the sample templates scan on the label at 203 and 300 dpi:
// the price tag and the shelf label filled by value name as the demo fills
// them from goods.csv, and every symbol of the two symbology sheets.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "label/LinearBarcodeItem.h"
#include "label/MatrixBarcodeItem.h"
#include "tests/label/ItemTestSupport.h"
#include "tests/support/Scanner.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

using S = Symbology;

std::string Template(const std::string& name) {
  const char* root = std::getenv("LABELPLU_SOURCE");
  return std::string(root == nullptr ? "." : root) + "/samples/templates/" + name + ".lb3";
}

// The symbology a reader is asked for; none for what no reader knows.
std::optional<S> SymbologyOf(const LabelItem& p) {
  if (const auto* barcode = dynamic_cast<const LinearBarcodeItem*>(&p)) {
    switch (barcode->BarCodeType()) {
      case bcUPC_A:
        return S::UpcA;
      case bcUPC_E:
        return S::UpcE;
      case bcEAN_8:
        return S::Ean8;
      case bcEAN_13:
        return S::Ean13;
      case bcInterleaved2of5:
        return S::Interleaved2of5;
      case bcCodabar:
        return S::Codabar;
      case bcCode39:
        return S::Code39;
      case bcCode93:
        return S::Code93;
      case bcCode128:
        return S::Code128;
      default:
        return std::nullopt;  // Code 11: no reader knows it
    }
  }
  switch (dynamic_cast<const MatrixBarcodeItem&>(p).BRType2D()) {
    case MatrixSymbology::br2Aztec:
      return S::Aztec;
    case MatrixSymbology::br2DataMatrix:
      return S::DataMatrix;
    case MatrixSymbology::br2PDF417:
      return S::Pdf417;
    case MatrixSymbology::br2MaxiCode:
      return S::MaxiCode;
    case MatrixSymbology::br2RSS:
      return S::DataBar;
    default:
      return std::nullopt;  // MicroPDF417: no reader knows it
  }
}

// The item's box on the painted label scans as expected.
::testing::AssertionResult BoxScansAs(const QImage& image, const LabelItem& p, double ppm,
                                      const std::string& expected) {
  const std::optional<S> symbology = SymbologyOf(p);
  if (!symbology) return ::testing::AssertionFailure() << "no reader knows the symbology";
  // MaxiCode is read as a pure symbol: the box alone, cut to its ink.
  const bool pure = symbology == S::MaxiCode;
  const double margin = pure ? 0 : 1;
  const QRect box(qRound((p.Left() - margin) * ppm), qRound((p.Top() - margin) * ppm),
                  qRound((p.Width() + 2 * margin) * ppm), qRound((p.Height() + 2 * margin) * ppm));
  QImage grey = image.copy(box & image.rect()).convertToFormat(QImage::Format_Grayscale8);
  if (pure) grey = CutToInk(grey, 8);
  return ScansAs(grey, Reader::Zxing, *symbology, expected, {.pure = pure});
}

}  // namespace

TEST(SampleBarcodes, FilledPriceTagAndShelfLabelScan) {
  // Two rows as goods.csv holds them.
  const std::vector<std::map<std::string, std::string>> rows = {
      {{"Наименование", "Сыр «Российский» весовой, 45% жирности"},
       {"Артикул", "A-1042"},
       {"Цена", "549,00"},
       {"ШтрихКод", "4607001234562"}},
      {{"Наименование", "Хлеб"},
       {"Артикул", "HB-77-0001"},
       {"Цена", "42,50"},
       {"ШтрихКод", "5901234123457"}},
  };
  for (const std::string name : {"price_tag_ean13", "shelf_label"}) {
    for (const int dpi : {203, 300}) {
      for (const auto& row : rows) {
        SCOPED_TRACE(name + " @" + std::to_string(dpi) + " " + row.at("Артикул"));
        PaintedLabel painted(dpi);
        painted.label.LoadFromFile(Template(name));
        painted.label.BeginUpdate();
        for (const auto& [field, value] : row) painted.label.FillValue(field, value);
        painted.label.EndUpdate(false);
        const QImage& image = painted.Render();
        int barcodes = 0;
        for (int i = 0; i < painted.label.ItemCount(); ++i) {
          const LabelItem& p = painted.label.Item(i);
          if (dynamic_cast<const ImageItemBase*>(&p) == nullptr) continue;
          ++barcodes;
          const std::string expected =
              p.DataSource() == dsSHK ? row.at("ШтрихКод") : row.at("Артикул");
          EXPECT_TRUE(BoxScansAs(image, p, painted.Ppm(), expected)) << p.Caption();
        }
        EXPECT_EQ(barcodes, name == "shelf_label" ? 2 : 1);
      }
    }
  }
}

TEST(SampleBarcodes, EverySymbolOfTheSymbologySheetsScans) {
  // The decoded text where the reader adds check digits or brackets.
  const std::map<std::string, std::string> decoded = {{"03600029145", "036000291452"},
                                                      {"123450", "01234505"},
                                                      {"9638507", "96385074"},
                                                      {"590123412345", "5901234123457"},
                                                      {"0950110153000", "09501101530003"}};
  struct Sheet {
    const char* name;
    double width;
    double height;
  };
  for (const Sheet sheet :
       {Sheet{"symbologies_linear", 100, 150}, Sheet{"symbologies_2d", 100, 70}}) {
    for (const int dpi : {203, 300}) {
      SCOPED_TRACE(std::string(sheet.name) + " @" + std::to_string(dpi));
      PaintedLabel painted(dpi, sheet.width, sheet.height);
      painted.label.LoadFromFile(Template(sheet.name));
      const QImage& image = painted.Render();
      int symbols = 0;
      for (int i = 0; i < painted.label.ItemCount(); ++i) {
        const LabelItem& p = painted.label.Item(i);
        if (const auto* barcode = dynamic_cast<const LinearBarcodeItem*>(&p)) {
          EXPECT_FALSE(barcode->Encoder()->ErrorFlag()) << p.GetValue();
        } else if (const auto* shk2d = dynamic_cast<const MatrixBarcodeItem*>(&p)) {
          EXPECT_EQ(shk2d->ErrorMessage(), "") << p.GetValue();
        } else {
          continue;
        }
        ++symbols;
        if (!SymbologyOf(p)) continue;  // read by nothing: tested elsewhere
        const auto known = decoded.find(p.GetValue());
        const std::string expected = known != decoded.end() ? known->second : p.GetValue();
        EXPECT_TRUE(BoxScansAs(image, p, painted.Ppm(), expected)) << p.GetValue();
      }
      EXPECT_EQ(symbols, painted.label.ItemCount() / 2);
    }
  }
}
