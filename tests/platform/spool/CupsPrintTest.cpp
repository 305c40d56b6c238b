// The print object on a real CUPS queue of a private scheduler: the queue
// in the printer list, its papers and geometry from its PPD, and a job
// with a title, pages and copies arriving in the queue's output.
#include <gtest/gtest.h>

#include <QPrinterInfo>

#include <cmath>
#include <filesystem>

#include "platform/gdi/Canvas.h"
#include "platform/spool/SpoolPrintObject.h"
#include "tests/platform/spool/SpoolTestSupport.h"
#include "tests/support/PrivateCups.h"

using namespace labelplu;
using namespace labelplu::spool;

namespace {

TEST(CupsPrinter, QueueIsListedWithItsPapersAndPrintsAJobWithTitleAndCopies) {
  LP_SKIP_WITHOUT_PRIVATE_CUPS();
  spooltest::EnsureGuiApp();
  test::PrivateCups cups("lp-labels");
  SpoolPrintObject po;

  const std::vector<std::string> printers = {"lp-labels", kPdfPrinterName, kRasterPrinterName};
  ASSERT_EQ(po.Printers(), printers);
  EXPECT_FALSE(po.IsBuiltin(0));
  EXPECT_TRUE(po.SupportsCopies());

  const auto papers = po.Papers("LP-LABELS");
  ASSERT_EQ(papers.size(), 2u);
  EXPECT_EQ(papers[0].Name, "58 x 40 mm");
  EXPECT_EQ(papers[0].Code, 256);
  EXPECT_NEAR(papers[0].WidthMm, 164 * 25.4 / 72, 0.01);
  EXPECT_NEAR(papers[0].HeightMm, 113 * 25.4 / 72, 0.01);
  EXPECT_EQ(papers[1].Name, "A4");
  EXPECT_EQ(papers[1].Code, 9);

  // The PPD's defaults: the label paper, 203 dpi, 4 pt unprintable margins.
  EXPECT_EQ(po.SelectPrinterByName("lp-labels"), 0);
  const PageSettings mode = po.DeviceMode();
  EXPECT_EQ(mode.PaperCode, 256);
  EXPECT_NEAR(mode.PaperWidthMm, 57.86, 0.01);
  EXPECT_EQ(mode.ResolutionX, 203);
  EXPECT_EQ(mode.ResolutionY, 203);
  const int32_t margin = static_cast<int32_t>(std::lround(4 * 203 / 72.0));  // 11
  EXPECT_EQ(po.GetDeviceCaps(gdi::LOGPIXELSX), 203);
  EXPECT_EQ(po.GetDeviceCaps(gdi::PHYSICALOFFSETX), margin);
  EXPECT_EQ(po.GetDeviceCaps(gdi::PHYSICALOFFSETY), margin);
  EXPECT_EQ(po.GetDeviceCaps(gdi::PHYSICALWIDTH), 462);  // 164 pt at 203 dpi
  EXPECT_EQ(po.GetDeviceCaps(gdi::PHYSICALHEIGHT), 319);
  EXPECT_NEAR(po.GetDeviceCaps(gdi::HORZRES), 462 - 2 * margin, 1);
  EXPECT_NEAR(po.GetDeviceCaps(gdi::VERTRES), 319 - 2 * margin, 1);
  EXPECT_EQ(po.GetDeviceCaps(gdi::HORZSIZE), 55);
  const int32_t indexes[] = {gdi::HORZRES,         gdi::VERTRES,         gdi::HORZSIZE,
                             gdi::VERTSIZE,        gdi::PHYSICALWIDTH,   gdi::PHYSICALHEIGHT,
                             gdi::PHYSICALOFFSETX, gdi::PHYSICALOFFSETY, gdi::LOGPIXELSX,
                             gdi::LOGPIXELSY};
  std::vector<int32_t> closed;
  for (const int32_t i : indexes) closed.push_back(po.GetDeviceCaps(i));

  po.SetTitle("T");
  po.SetCopies(2);
  po.BeginDoc();
  ASSERT_TRUE(po.Printing());
  for (size_t i = 0; i < closed.size(); ++i) {
    EXPECT_EQ(po.GetDeviceCaps(indexes[i]), closed[i]) << "index " << indexes[i];
  }
  po.Canvas()->Rectangle(0, 0, 100, 100);
  po.NewPage();
  po.Canvas()->Rectangle(0, 0, 50, 50);
  po.EndDoc();
  EXPECT_FALSE(po.Printing());
  EXPECT_TRUE(po.OutputFiles().empty());  // CUPS queues write nothing of ours

  ASSERT_TRUE(cups.WaitForJobs()) << cups.ReadLog("error_log");
  const std::string& out = cups.OutputFile();
  ASSERT_TRUE(std::filesystem::exists(out)) << cups.ReadLog("error_log");
  EXPECT_EQ(spooltest::PdfPages(out), 4);  // two pages, two copies
  EXPECT_EQ(spooltest::PdfInfo(out, "Page size"), "164 x 113 pts");
  EXPECT_EQ(spooltest::PdfInfo(out, "Title"), "T");
  const std::string pageLog = cups.ReadLog("page_log");
  EXPECT_NE(pageLog.find("lp-labels"), std::string::npos) << pageLog;
  EXPECT_NE(pageLog.find("total 4 - localhost T w164h113"), std::string::npos) << pageLog;
}

TEST(CupsPrinter, AnAbortedDocumentNeverReachesTheQueueAndARefusalIsAnError) {
  LP_SKIP_WITHOUT_PRIVATE_CUPS();
  spooltest::EnsureGuiApp();
  test::PrivateCups cups("lp-abort");
  SpoolPrintObject po;
  ASSERT_EQ(po.SelectPrinterByName("lp-abort"), 0);
  po.BeginDoc();
  po.Canvas()->Rectangle(0, 0, 100, 100);
  po.Abort();
  EXPECT_FALSE(po.Printing());
  // A second document after the abort prints normally.
  po.SetTitle("after");
  po.BeginDoc();
  po.EndDoc();
  ASSERT_TRUE(cups.WaitForJobs());
  const std::string pageLog = cups.ReadLog("page_log");
  EXPECT_EQ(pageLog.find("total", pageLog.find("total") + 1), std::string::npos) << pageLog;
  EXPECT_NE(pageLog.find("total 1 - localhost after"), std::string::npos) << pageLog;

  // A queue that accepts no jobs: the failure reaches the caller.
  int status = -1;
  spooltest::RunCommand("cupsreject lp-abort", &status);
  ASSERT_EQ(status, 0);
  po.SetTitle("refused");
  po.BeginDoc();
  po.Canvas()->Rectangle(0, 0, 10, 10);
  try {
    po.EndDoc();
    FAIL() << "EndDoc succeeded on a queue that rejects jobs";
  } catch (const SpoolError& e) {
    EXPECT_NE(std::string(e.what()).find("lp-abort"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(po.Printing());
  EXPECT_EQ(cups.ReadLog("page_log").find("refused"), std::string::npos);
}

}  // namespace
