// The built-in raster printer: a PNG per page named by document and page,
// at the printer's resolution, copies as repeated files.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

#include "platform/gdi/Canvas.h"
#include "platform/spool/SpoolPrintObject.h"
#include "tests/platform/spool/SpoolTestSupport.h"
#include "tests/support/TempDir.h"

using namespace labelplu;
using namespace labelplu::spool;

namespace {

TEST(RasterPrinter, WritesNumberedPngsAt203DpiWithCopiesAndDocumentsOfAJob) {
  test::TempDir dir;
  SpoolPrintObject po;
  po.SelectPrinterByName(std::string(kRasterPrinterName) +
                         "; paper=58x40; file=" + dir.File("lab.png"));
  po.BeginJob();
  po.SetCopies(2);
  po.BeginDoc();
  po.Canvas()->FillRect(gdi::RECT{0, 0, 10, 10}, gdi::Brush{gdi::BS_SOLID, gdi::RGB(0, 0, 0)});
  po.NewPage();
  po.Canvas()->FillRect(gdi::RECT{20, 0, 30, 10}, gdi::Brush{gdi::BS_SOLID, gdi::RGB(0, 0, 0)});
  po.EndDoc();
  po.SetCopies(1);
  po.BeginDoc();
  po.EndDoc();
  // An aborted document takes its files with it.
  po.BeginDoc();
  po.NewPage();
  EXPECT_TRUE(std::filesystem::exists(dir.File("lab-0003-0001.png")));
  po.Abort();
  EXPECT_FALSE(std::filesystem::exists(dir.File("lab-0003-0001.png")));
  po.EndJob();

  const std::vector<std::string> expected = {
      dir.File("lab-0001-0001.png"), dir.File("lab-0001-0002.png"), dir.File("lab-0001-0003.png"),
      dir.File("lab-0001-0004.png"), dir.File("lab-0002-0001.png")};
  EXPECT_EQ(po.OutputFiles(), expected);
  struct Page {
    size_t file;
    bool firstSquare, secondSquare;
  };
  for (const Page& p : {Page{0, true, false}, Page{1, true, false}, Page{2, false, true},
                        Page{3, false, true}, Page{4, false, false}}) {
    SCOPED_TRACE(expected[p.file]);
    const QImage image(QString::fromStdString(expected[p.file]));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 464);  // 58 mm at 203 dpi
    EXPECT_EQ(image.height(), 320);
    EXPECT_EQ(qRound(image.dotsPerMeterX() * 0.0254), 203);
    EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, p.firstSquare ? 0u : 0xFFFFFFu);
    EXPECT_EQ(image.pixel(25, 5) & 0xFFFFFF, p.secondSquare ? 0u : 0xFFFFFFu);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            5);
}

TEST(RasterPrinter, OutsideAJobEachDocumentIsAJobOfItsOwn) {
  test::TempDir dir;
  SpoolPrintObject po;
  po.SelectPrinterByName(std::string(kRasterPrinterName) +
                         "; paper=20x10; dpi=100; file=" + dir.File("x"));
  po.BeginDoc();
  po.EndDoc();
  EXPECT_EQ(po.OutputFiles(), std::vector<std::string>{dir.File("x-0001-0001.png")});
  po.BeginDoc();
  po.EndDoc();
  EXPECT_EQ(po.OutputFiles(), std::vector<std::string>{dir.File("x-0001-0001.png")});
  const QImage image(QString::fromStdString(dir.File("x-0001-0001.png")));
  EXPECT_EQ(image.size(), QSize(79, 39));  // 20 and 10 mm at 100 dpi: 78.7 and 39.4
}

TEST(RasterPrinter, FailuresAreSpoolErrorsNamingPrinterAndFile) {
  test::TempDir dir;
  { std::ofstream(dir.File("plain")) << "x"; }
  SpoolPrintObject po;
  po.SelectPrinterByName(std::string(kRasterPrinterName) + "; file=" + dir.File("plain/r"));
  try {
    po.BeginDoc();
    FAIL() << "BeginDoc succeeded";
  } catch (const SpoolError& e) {
    EXPECT_NE(std::string(e.what()).find(kRasterPrinterName), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("plain"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(po.Printing());
  // A page too large to hold in memory is refused, not attempted.
  po.SelectPrinterByName(std::string(kRasterPrinterName) +
                         "; paper=5000x5000; dpi=4800; file=" + dir.File("big"));
  EXPECT_THROW(po.BeginDoc(), SpoolError);
  EXPECT_FALSE(po.Printing());
}

}  // namespace
