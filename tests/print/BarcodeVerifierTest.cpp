// The check before spooling: what each symbology must read as, and the
// verifier reading the symbols of a painted label back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "label/ItemClasses.h"
#include "label/Label.h"
#include "label/LinearBarcodeItem.h"
#include "label/MatrixBarcodeItem.h"
#include "print/BarcodeReading.h"
#include "print/BarcodeVerifier.h"
#include "tests/label/ItemTestSupport.h"

namespace labelplu {
namespace {

struct ReadingCase {
  std::string code;
  BarcodeSymbology type;
  bool check;
  std::string read;
  bool matches;
};

TEST(BarcodeReadingTest, LinearValuesAgainstWhatAReaderReturns) {
  const std::vector<ReadingCase> cases = {
      // Check digits the symbology computes are part of the reading.
      {"03600029145", bcUPC_A, false, "036000291452", true},
      {"036000291452", bcUPC_A, false, "036000291452", true},
      {"0360002914", bcUPC_A, false, "036000291400", false},  // padded: not its value
      {"590123412345", bcEAN_13, false, "5901234123457", true},
      {"5901234123457", bcEAN_13, false, "5901234123457", true},
      {"4600", bcEAN_13, false, "4600000000000", false},
      {"9638507", bcEAN_8, false, "96385074", true},
      {"123450", bcUPC_E, false, "01234505", true},
      {"01234505", bcUPC_E, false, "00123457", false},  // the encoder takes six digits
      // Interleaved 2 of 5: an even count with the check digit.
      {"12345", bcInterleaved2of5, false, "012345", true},
      {"1234", bcInterleaved2of5, true, "012348", true},
      {"1234", bcInterleaved2of5, false, "1234", true},
      // Codabar's start/stop letters in either case.
      {"a123456b", bcCodabar, false, "A123456B", true},
      {"a123456b", bcCodabar, false, "123456", false},
      // Code 39 without its asterisks, with or without the mod 43 check.
      {"CODE-39", bcCode39, false, "CODE-39", true},
      {"*AB*", bcCode39, false, "AB", true},
      {"AB", bcCode39, true, "ABL", true},
      {"AB", bcCode39, true, "AB", true},
      {"AB", bcCode39, false, "ABL", false},
      // Code 93 and 128: the data; their check characters never show.
      {"CODE 93", bcCode93, true, "CODE 93", true},
      {"PART-0042", bcCode128, true, "PART-0042", true},
      {"PART-0042", bcCode128, true, "PART-0043", false},
      {"\xC2\x82"
       "10AB\xC2\x82"
       "21X",
       bcCode128, true,
       "10AB\x1D"
       "21X",
       true},
  };
  for (const ReadingCase& c : cases) {
    SCOPED_TRACE(c.code + " / " + c.read);
    const ExpectedReading expected = ExpectedLinearReading(c.code, c.type, c.check);
    EXPECT_NE(expected.Format, ReadFormat::None);
    EXPECT_EQ(ReadingMatches(expected, c.read), c.matches) << expected.Text;
  }
  EXPECT_EQ(ExpectedLinearReading("123-45", bcCode11, true).Format, ReadFormat::None);
}

TEST(BarcodeReadingTest, MatrixValuesAgainstWhatAReaderReturns) {
  struct Case {
    std::string value;
    MatrixSymbology type;
    ReadFormat format;
    std::string read;
  };
  const std::vector<Case> cases = {
      {"2D Штрихкод", MatrixSymbology::br2Aztec, ReadFormat::Aztec, "2D Штрихкод"},
      {"4607001234567", MatrixSymbology::br2DataMatrix, ReadFormat::DataMatrix, "4607001234567"},
      {"Цена 99,90", MatrixSymbology::br2PDF417, ReadFormat::Pdf417, "Цена 99,90"},
      {"Shelf 42", MatrixSymbology::br2MaxiCode, ReadFormat::MaxiCode, "Shelf 42"},
      {"0950110153000", MatrixSymbology::br2RSS, ReadFormat::DataBar, "09501101530003"},
      {"950110153000", MatrixSymbology::br2RSS, ReadFormat::DataBar, "09501101530003"},
      {"09501101530003", MatrixSymbology::br2RSS, ReadFormat::DataBar, "09501101530003"},
      {"[01]09501101530003[10]AB12", MatrixSymbology::br2RSS, ReadFormat::DataBarExpanded,
       "(01)09501101530003(10)AB12"},
      {"MicroPDF 123", MatrixSymbology::br2MicroPDF417, ReadFormat::None, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const ExpectedReading expected = ExpectedMatrixReading(c.value, c.type);
    EXPECT_EQ(expected.Format, c.format);
    if (c.format != ReadFormat::None) {
      EXPECT_TRUE(ReadingMatches(expected, c.read));
    }
  }
}

// One barcode item on a 70 × 50 mm label.
struct SymbolCase {
  std::string name;
  const char* itemClass;  // "Shk" or "2DShk"
  int type;               // BarcodeSymbology or MatrixSymbology
  std::string value;
  double widthMm;
  double heightMm;
  Rotation rotation;
  std::string problem;  // "" when the symbol must pass; else a part of the finding
};

TEST(BarcodeVerifierTest, EachSymbolReadsAsItsValueOrIsNamed) {
  test::EnsureGuiApplication();
  const std::vector<SymbolCase> cases = {
      {"EAN-13 from 12 digits", "Shk", bcEAN_13, "590123412345", 40, 20, r0, ""},
      {"EAN-13 turned", "Shk", bcEAN_13, "4607001010005", 40, 20, r90, ""},
      {"EAN-13 upside down", "Shk", bcEAN_13, "4607001010005", 40, 20, r180, ""},
      {"UPC-E", "Shk", bcUPC_E, "123450", 30, 20, r270, ""},
      {"Codabar", "Shk", bcCodabar, "A123456B", 50, 15, r0, ""},
      {"Code 39", "Shk", bcCode39, "code-39", 60, 15, r0, ""},
      {"Interleaved 2 of 5", "Shk", bcInterleaved2of5, "12345", 40, 15, r0, ""},
      {"DataMatrix", "2DShk", static_cast<int>(MatrixSymbology::br2DataMatrix), "Полка 7", 15, 15,
       r90, ""},
      {"Aztec", "2DShk", static_cast<int>(MatrixSymbology::br2Aztec), "2D Штрихкод", 20, 20, r0,
       ""},
      {"PDF417", "2DShk", static_cast<int>(MatrixSymbology::br2PDF417), "PDF417 1234", 50, 20, r0,
       ""},
      {"MaxiCode", "2DShk", static_cast<int>(MatrixSymbology::br2MaxiCode), "MAXICODE 12345", 30,
       30, r0, ""},
      {"DataBar", "2DShk", static_cast<int>(MatrixSymbology::br2RSS), "0950110153000", 50, 20, r0,
       ""},
      // A box narrower than the symbol cuts it off.
      {"EAN-13 in a narrow box", "Shk", bcEAN_13, "4607001010005", 12, 20, r0,
       "nothing could be read where \"4607001010005\" was expected"},
      // A length EAN-13 cannot take, and a wrong check digit, are refused
      // by the encoder: the label would carry another product's number.
      {"EAN-13 from 14 digits", "Shk", bcEAN_13, "46070010100050", 40, 20, r0,
       "the symbol shows \"ОШИБКА!\": Неверная длина штрихкода EAN-13"},
      {"EAN-13 with a wrong check digit", "Shk", bcEAN_13, "4607001010006", 40, 20, r0,
       "the symbol shows \"ОШИБКА!\": Неверная контрольная цифра штрихкода EAN-13"},
      {"letters in EAN-13", "Shk", bcEAN_13, "46070O1010005", 40, 20, r0,
       "the symbol shows \"ОШИБКА!\": Штрихкод содержит некорректный символ"},
      {"DataMatrix too small", "2DShk", static_cast<int>(MatrixSymbology::br2DataMatrix),
       "https://example.org/a/long/path?id=4607001234567", 4, 4, r0, "nothing could be read"},
      {"GTIN with letters", "2DShk", static_cast<int>(MatrixSymbology::br2RSS), "09501A", 50, 20,
       r0, "the symbol shows \"ОШИБКА!\": 2D barcode:"},
  };
  for (const SymbolCase& c : cases) {
    SCOPED_TRACE(c.name);
    Label label;
    label.SetWidth(70);
    label.SetHeight(50);
    LabelItem& item = label.AddItem(*FindItemClass(c.itemClass));
    item.SetLeft(5);
    item.SetTop(15);
    item.SetWidth(c.widthMm);
    item.SetHeight(c.heightMm);
    item.SetRotationFixed(c.rotation);
    item.SetDataSource(dsSHK);
    if (auto* linear = dynamic_cast<LinearBarcodeItem*>(&item)) {
      linear->SetBarCodeType(static_cast<BarcodeSymbology>(c.type));
    } else {
      dynamic_cast<MatrixBarcodeItem&>(item).SetBRType2D(static_cast<MatrixSymbology>(c.type));
    }
    label.FillValue("Штрихкод", c.value);
    BarcodeVerifier verifier(203, 203);
    const std::vector<BarcodeFinding> findings = verifier.Check(label);
    if (c.problem.empty()) {
      EXPECT_TRUE(findings.empty()) << findings.front().Problem;
      EXPECT_EQ(verifier.Checked(), 1);
      continue;
    }
    ASSERT_EQ(findings.size(), 1U);
    EXPECT_EQ(findings[0].ItemIndex, 0);
    EXPECT_EQ(findings[0].Field, "field \"Штрихкод\" (dsSHK)");
    EXPECT_NE(findings[0].Problem.find(c.problem), std::string::npos) << findings[0].Problem;
    const std::string message = DescribeFinding(3, findings[0]);
    EXPECT_TRUE(message.starts_with("Barcode check failed: record 3, field \"Штрихкод\" (dsSHK), "))
        << message;
  }
}

TEST(BarcodeVerifierTest, UnreadableSymbologiesAreCountedNotFailedAndTheLabelIsPutBack) {
  test::EnsureGuiApplication();
  Label label;
  label.SetWidth(70);
  label.SetHeight(50);
  CanvasView own(nullptr, 96, 96);
  label.SetView(&own);
  auto& code11 = dynamic_cast<LinearBarcodeItem&>(label.AddItem(*FindItemClass("Shk")));
  code11.SetBarCodeType(bcCode11);
  code11.SetValue("123-45");
  auto& micro = dynamic_cast<MatrixBarcodeItem&>(label.AddItem(*FindItemClass("2DShk")));
  micro.SetBRType2D(MatrixSymbology::br2MicroPDF417);
  micro.SetValue("MicroPDF 123");
  micro.SetTop(20);
  micro.SetWidth(40);
  label.SetLeft(7);
  label.SetTop(3);

  BarcodeVerifier verifier(300, 300);
  EXPECT_TRUE(verifier.Check(label).empty());
  EXPECT_EQ(verifier.Unchecked(), 2);
  EXPECT_EQ(verifier.Checked(), 0);
  // The check painted at the printer's resolution, then gave the label back.
  EXPECT_EQ(verifier.Painted().width(), 827);
  EXPECT_EQ(label.View(), &own);
  EXPECT_EQ(label.Mode(), kModeOffScreen);
  EXPECT_EQ(label.Left(), 7);
  EXPECT_EQ(label.Top(), 3);
  label.SetView(nullptr);
}

}  // namespace
}  // namespace labelplu
