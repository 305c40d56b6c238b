// The print object's printer list, selection by name with options, paper
// lists and device capabilities of the built-in printers.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gdi/Canvas.h"
#include "platform/spool/SpoolPrintObject.h"
#include "tests/platform/spool/SpoolTestSupport.h"
#include "tests/support/TempDir.h"

using namespace labelplu;
using namespace labelplu::spool;

namespace {

int32_t PdfIndex(const PrintObject& po) {
  return po.IndexOfPrinter(kPdfPrinterName);
}

TEST(PrintObject, ListsQueuesThenTheTwoBuiltinsAndIsOnePerProcess) {
  PrintObject& po = PrintObject::Instance();
  EXPECT_EQ(&po, &PrintObject::Instance());
  const auto& printers = po.Printers();
  ASSERT_GE(printers.size(), 2u);
  EXPECT_EQ(printers[printers.size() - 2], kPdfPrinterName);
  EXPECT_EQ(printers.back(), kRasterPrinterName);
  const auto last = static_cast<int32_t>(printers.size()) - 1;
  EXPECT_TRUE(po.IsBuiltin(last));
  EXPECT_TRUE(po.IsBuiltin(last - 1));
  EXPECT_FALSE(po.IsBuiltin(last + 1));
  EXPECT_FALSE(po.IsBuiltin(-1));
  EXPECT_EQ(po.IndexOfPrinter("LABELPLU raster"), last);
  EXPECT_EQ(po.IndexOfPrinter("no such printer"), -1);
}

TEST(PrintObject, SelectsByNameWithOptionsAndNeverAnotherPrinter) {
  SpoolPrintObject po;
  const int32_t pdf = PdfIndex(po);
  EXPECT_EQ(po.SelectPrinterByName("LabelPlu PDF ; file=/tmp/x/a.pdf; paper=58,5 x 40; dpi=600"),
            pdf);
  EXPECT_EQ(po.PrinterName(), kPdfPrinterName);
  PageSettings mode = po.DeviceMode();
  EXPECT_EQ(mode.PaperCode, 256);
  EXPECT_DOUBLE_EQ(mode.PaperWidthMm, 58.5);
  EXPECT_DOUBLE_EQ(mode.PaperHeightMm, 40);
  EXPECT_EQ(mode.ResolutionX, 600);
  EXPECT_EQ(po.GetDeviceCaps(gdi::LOGPIXELSY), 600);

  // A name without options gives the printer's defaults back.
  po.SelectPrinterByName(kPdfPrinterName);
  po.SelectPrinterByName(std::string(kPdfPrinterName) + ";");
  mode = po.DeviceMode();
  EXPECT_EQ(mode.PaperCode, 9);
  EXPECT_EQ(mode.PaperWidthMm, 0);
  EXPECT_EQ(mode.ResolutionX, 300);

  po.SelectPrinterByName(kRasterPrinterName);
  EXPECT_EQ(po.DeviceMode().ResolutionX, 203);
  const int32_t raster = po.PrinterIndex();
  // A name that is not there, a misspelled built-in one included, selects
  // nothing else; an empty one means the first printer.
  for (const char* missing : {"Nonexistent printer", "labelplu PFD; file=/tmp/x/a.pdf"}) {
    try {
      po.SelectPrinterByName(missing);
      ADD_FAILURE() << missing << " was selected";
    } catch (const PrinterNotFound& e) {
      const std::string bare = std::string(missing).substr(0, std::string(missing).find(';'));
      EXPECT_EQ(e.Name(), bare);
      EXPECT_NE(std::string(e.what()).find("printer \"" + bare + "\" is not installed"),
                std::string::npos)
          << e.what();
      EXPECT_NE(std::string(e.what()).find("\"labelplu PDF\", \"labelplu Raster\""),
                std::string::npos)
          << e.what();
    }
    EXPECT_EQ(po.PrinterIndex(), raster);
  }
  EXPECT_EQ(po.SelectPrinterByName(""), 0);
  EXPECT_EQ(po.SelectPrinterByName(" ; "), 0);
  po.SetPrinterIndex(1000);
  EXPECT_EQ(po.PrinterIndex(), 0);
}

TEST(PrintObject, RejectsMalformedOptionsNamingThem) {
  SpoolPrintObject po;
  const std::string base = std::string(kPdfPrinterName) + "; ";
  for (const char* bad : {"paper=58", "paper=axb", "paper=0x40", "paper=6000x40", "dpi=0",
                          "dpi=12.5", "dpi=99999", "colour=red", "file", "file="}) {
    try {
      po.SelectPrinterByName(base + bad);
      ADD_FAILURE() << bad << " was accepted";
    } catch (const SpoolError& e) {
      const std::string key = std::string(bad).substr(0, std::string(bad).find('='));
      EXPECT_NE(std::string(e.what()).find(key), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(po.SetBuiltinOptions("no such printer", BuiltinOptions{}), SpoolError);
  EXPECT_THROW(po.SetBuiltinOptions(kPdfPrinterName, BuiltinOptions{"", 10, 0, 0}), SpoolError);
}

TEST(PrintObject, BuiltinPapersAreA4A5LetterAndTheCustomSize) {
  SpoolPrintObject po;
  struct Expected {
    const char* name;
    int32_t code;
    double w, h;
  };
  const Expected standard[] = {
      {"A4", 9, 210, 297}, {"A5", 11, 148, 210}, {"Letter", 1, 215.9, 279.4}};
  auto papers = po.Papers(kRasterPrinterName);
  ASSERT_EQ(papers.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(papers[i].Name, standard[i].name);
    EXPECT_EQ(papers[i].Code, standard[i].code);
    EXPECT_NEAR(papers[i].WidthMm, standard[i].w, 0.05);
    EXPECT_NEAR(papers[i].HeightMm, standard[i].h, 0.05);
  }
  po.SetBuiltinOptions(kRasterPrinterName, BuiltinOptions{"", 58, 40, 0});
  papers = po.Papers(kRasterPrinterName);
  ASSERT_EQ(papers.size(), 4u);
  EXPECT_EQ(papers[3].Name, "58 x 40 mm");
  EXPECT_EQ(papers[3].Code, 256);
  EXPECT_EQ(papers[3].WidthMm, 58);
  EXPECT_EQ(papers[3].HeightMm, 40);
  EXPECT_EQ(po.Papers(kPdfPrinterName).size(), 3u);
  EXPECT_TRUE(po.Papers("no such printer").empty());
}

// Device capabilities without a document, then the same from the canvas of
// an open document: the view converts between them, so they must agree.
TEST(PrintObject, DeviceCapsOfBuiltinsFollowPaperResolutionAndOrientation) {
  spooltest::EnsureGuiApp();
  test::TempDir dir;
  struct Case {
    const char* printer;
    PageSettings mode;
    int32_t horzRes, vertRes, horzSize, vertSize;
  };
  const Case cases[] = {
      // A4 at 203 dpi: 210 / 25.4 × 203 = 1678.3, 297 / 25.4 × 203 = 2373.7.
      {kRasterPrinterName, {9, 0, 0, 1, 203, 203}, 1678, 2374, 210, 297},
      {kRasterPrinterName, {256, 58, 40, 1, 203, 203}, 464, 320, 58, 40},
      {kRasterPrinterName, {256, 58, 40, 2, 203, 203}, 320, 464, 40, 58},
      {kRasterPrinterName, {11, 0, 0, 1, 300, 150}, 1748, 1240, 148, 210},
      // A PDF page is whole points: A4 is 595 × 842 pt.
      {kPdfPrinterName, {9, 0, 0, 1, 300, 300}, 2479, 3508, 210, 297},
      {kPdfPrinterName, {1, 0, 0, 2, 300, 300}, 3300, 2550, 279, 216},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.printer) + " paper " + std::to_string(c.mode.PaperCode) +
                 " orientation " + std::to_string(c.mode.Orientation));
    SpoolPrintObject po;
    po.SelectPrinterByName(std::string(c.printer) + "; file=" + dir.File("out"));
    po.SetDeviceMode(c.mode);
    EXPECT_EQ(po.GetDeviceCaps(gdi::HORZRES), c.horzRes);
    EXPECT_EQ(po.GetDeviceCaps(gdi::VERTRES), c.vertRes);
    EXPECT_EQ(po.GetDeviceCaps(gdi::HORZSIZE), c.horzSize);
    EXPECT_EQ(po.GetDeviceCaps(gdi::VERTSIZE), c.vertSize);
    EXPECT_EQ(po.GetDeviceCaps(gdi::PHYSICALWIDTH), c.horzRes);
    EXPECT_EQ(po.GetDeviceCaps(gdi::PHYSICALHEIGHT), c.vertRes);
    EXPECT_EQ(po.GetDeviceCaps(gdi::PHYSICALOFFSETX), 0);
    EXPECT_EQ(po.GetDeviceCaps(gdi::PHYSICALOFFSETY), 0);
    EXPECT_EQ(po.GetDeviceCaps(gdi::LOGPIXELSX), c.mode.ResolutionX);
    EXPECT_EQ(po.GetDeviceCaps(gdi::LOGPIXELSY),
              std::string(c.printer) == kPdfPrinterName ? c.mode.ResolutionX : c.mode.ResolutionY);
    EXPECT_EQ(po.GetDeviceCaps(gdi::BITSPIXEL), 0);
    int32_t closed[10];
    const int32_t indexes[10] = {gdi::HORZRES,         gdi::VERTRES,         gdi::HORZSIZE,
                                 gdi::VERTSIZE,        gdi::PHYSICALWIDTH,   gdi::PHYSICALHEIGHT,
                                 gdi::PHYSICALOFFSETX, gdi::PHYSICALOFFSETY, gdi::LOGPIXELSX,
                                 gdi::LOGPIXELSY};
    for (int i = 0; i < 10; ++i) closed[i] = po.GetDeviceCaps(indexes[i]);
    po.BeginDoc();
    ASSERT_NE(po.Canvas(), nullptr);
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(po.GetDeviceCaps(indexes[i]), closed[i]) << "index " << indexes[i];
      EXPECT_EQ(po.Canvas()->GetDeviceCaps(indexes[i]), closed[i]) << "index " << indexes[i];
    }
    po.Abort();
    EXPECT_FALSE(po.Printing());
  }
}

TEST(PrintObject, RefusesChangesWhileADocumentIsOpenAndBadDeviceModes) {
  test::TempDir dir;
  SpoolPrintObject po;
  po.SelectPrinterByName(std::string(kRasterPrinterName) + "; file=" + dir.File("r"));
  EXPECT_THROW(po.SetDeviceMode(PageSettings{12345, 0, 0, 1, 203, 203}), SpoolError);
  EXPECT_THROW(po.SetDeviceMode(PageSettings{256, 0.5, 40, 1, 203, 203}), SpoolError);
  EXPECT_THROW(po.SetDeviceMode(PageSettings{9, 0, 0, 1, 0, 203}), SpoolError);
  EXPECT_EQ(po.DeviceMode().PaperCode, 9);
  po.SetDeviceMode(PageSettings{256, 20, 10, 1, 100, 100});
  po.BeginDoc();
  EXPECT_THROW(po.BeginDoc(), SpoolError);
  EXPECT_THROW(po.SetPrinterIndex(0), SpoolError);
  EXPECT_THROW(po.SetDeviceMode(PageSettings{9, 0, 0, 1, 203, 203}), SpoolError);
  po.Abort();
  po.Abort();  // nothing open: fine
  EXPECT_THROW(po.NewPage(), SpoolError);
  EXPECT_THROW(po.EndDoc(), SpoolError);
  EXPECT_EQ(po.Canvas(), nullptr);
  EXPECT_TRUE(po.OutputFiles().empty());
  po.ResetDeviceMode();
  EXPECT_EQ(po.DeviceMode().PaperCode, 9);
}

}  // namespace
