// The built-in PDF printer: copies by repeated pages that keep one-bit
// images, a job's documents in one file, aborts, file names and failures.
#include <gtest/gtest.h>

#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/gdi/Canvas.h"
#include "platform/spool/SpoolPrintObject.h"
#include "tests/platform/spool/SpoolTestSupport.h"
#include "tests/support/TempDir.h"

using namespace labelplu;
using namespace labelplu::spool;

namespace {

// A label-like page: a frame, a text with the page's number, and a
// barcode-like black-and-white bitmap.
void PaintPage(gdi::Canvas& canvas, int page) {
  canvas.SelectPen(gdi::Pen{gdi::PS_SOLID, 3, gdi::RGB(0, 0, 0)});
  canvas.Rectangle(10, 10, 400, 250);
  gdi::LOGFONT font;
  font.lfHeight = -40;
  canvas.SelectFont(font);
  canvas.TextOut(30, 30, "Цена " + std::to_string(page));
  gdi::Dib bars(24, 1, 24);
  for (int x = 0; x < 24; ++x) {
    const uint8_t v = (x % 3 == 0 || x == 23) ? 0 : 255;
    std::fill(bars.ScanLine(0) + 3 * x, bars.ScanLine(0) + 3 * x + 3, v);
  }
  canvas.StretchDIBits(30, 120, 24 * 12, 100, 0, 0, 24, 1, bars.Ref());
}

void PrintDocument(PrintObject& po, int pages, int32_t copies) {
  po.SetCopies(copies);
  po.BeginDoc();
  for (int p = 1; p <= pages; ++p) {
    if (p > 1) po.NewPage();
    ASSERT_NE(po.Canvas(), nullptr);
    PaintPage(*po.Canvas(), p);
  }
  po.EndDoc();
}

// Each page rendered by Ghostscript at the printer's resolution, as bytes of
// a PNG file.
std::vector<std::string> RenderPages(const std::string& pdf, const std::string& folder) {
  spooltest::RunCommand(
      "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pnggray -r100 "
      "-dTextAlphaBits=1 -dGraphicsAlphaBits=1 -sOutputFile='" +
      folder + "/page-%03d.png' '" + pdf + "'");
  std::vector<std::string> pages;
  for (int i = 1;; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/page-%03d.png", i);
    if (!std::filesystem::exists(folder + name)) break;
    pages.push_back(spooltest::ReadBytes(folder + name));
  }
  return pages;
}

struct ImageRow {
  int bpc = 0;
  std::string encoding;
};

std::vector<ImageRow> PdfImages(const std::string& pdf) {
  std::istringstream lines(spooltest::RunCommand("pdfimages -list '" + pdf + "'"));
  std::vector<ImageRow> rows;
  std::string line;
  for (int n = 0; std::getline(lines, line); ++n) {
    if (n < 2) continue;  // the two header lines
    std::istringstream fields(line);
    std::string page, num, type, width, height, color, comp, bpc, enc;
    fields >> page >> num >> type >> width >> height >> color >> comp >> bpc >> enc;
    rows.push_back(ImageRow{std::atoi(bpc.c_str()), enc});
  }
  return rows;
}

class PdfPrinter : public ::testing::Test {
 protected:
  void SetUp() override {
    spooltest::EnsureGuiApp();
    m_po.SelectPrinterByName(std::string(kPdfPrinterName) + "; paper=58x40; dpi=203");
    m_po.SetTitle("Этикетки");
  }
  void SetFile(const std::string& path) {
    m_po.SetBuiltinOptions(kPdfPrinterName, BuiltinOptions{path, 58, 40, 203});
  }
  test::TempDir m_dir;
  SpoolPrintObject m_po;
};

TEST_F(PdfPrinter, CopiesRepeatEachPageExactlyAndKeepBarcodesOneBit) {
  SetFile(m_dir.File("one.pdf"));
  PrintDocument(m_po, 2, 1);
  ASSERT_EQ(m_po.OutputFiles(), std::vector<std::string>{m_dir.File("one.pdf")});
  SetFile(m_dir.File("three.pdf"));
  PrintDocument(m_po, 2, 3);
  ASSERT_EQ(m_po.OutputFiles(), std::vector<std::string>{m_dir.File("three.pdf")});
  EXPECT_EQ(m_po.Copies(), 3);

  EXPECT_EQ(spooltest::PdfPages(m_dir.File("one.pdf")), 2);
  EXPECT_EQ(spooltest::PdfPages(m_dir.File("three.pdf")), 6);
  EXPECT_EQ(spooltest::PdfInfo(m_dir.File("three.pdf"), "Title"), "Этикетки");
  EXPECT_EQ(spooltest::PdfInfo(m_dir.File("three.pdf"), "Page size"), "164 x 113 pts");

  const auto images = PdfImages(m_dir.File("three.pdf"));
  ASSERT_EQ(images.size(), 6u);
  for (const ImageRow& row : images) {
    EXPECT_EQ(row.bpc, 1);
    EXPECT_NE(row.encoding, "jpeg");
  }
  // Replayed pages look exactly like pages painted straight into the PDF.
  std::filesystem::create_directories(m_dir.File("r1"));
  std::filesystem::create_directories(m_dir.File("r3"));
  const auto direct = RenderPages(m_dir.File("one.pdf"), m_dir.File("r1"));
  const auto copies = RenderPages(m_dir.File("three.pdf"), m_dir.File("r3"));
  ASSERT_EQ(direct.size(), 2u);
  ASSERT_EQ(copies.size(), 6u);
  EXPECT_NE(direct[0], direct[1]);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(copies[i], direct[0]) << "copy " << i << " of page 1";
    EXPECT_EQ(copies[3 + i], direct[1]) << "copy " << i << " of page 2";
  }
}

TEST_F(PdfPrinter, CanvasKeepsItsAddressAndSelectionsAcrossRecordedPages) {
  SetFile(m_dir.File("state.pdf"));
  m_po.SetCopies(2);
  m_po.BeginDoc();
  gdi::Canvas* canvas = m_po.Canvas();
  canvas->SelectPen(gdi::Pen{gdi::PS_DASH, 1, gdi::RGB(255, 0, 0)});
  canvas->SetViewportOrgEx(5, 7);
  canvas->SetTextColor(gdi::RGB(1, 2, 3));
  canvas->MoveTo(11, 12);
  m_po.NewPage();
  ASSERT_EQ(m_po.Canvas(), canvas);
  EXPECT_EQ(canvas->GetPen().style, gdi::PS_DASH);
  EXPECT_EQ(canvas->GetPen().color, gdi::RGB(255, 0, 0));
  EXPECT_EQ(canvas->GetViewportOrg(), (gdi::POINT{5, 7}));
  EXPECT_EQ(canvas->GetTextColor(), gdi::RGB(1, 2, 3));
  EXPECT_EQ(canvas->GetCurrentPosition(), (gdi::POINT{11, 12}));
  m_po.EndDoc();
  EXPECT_EQ(spooltest::PdfPages(m_dir.File("state.pdf")), 4);
}

TEST_F(PdfPrinter, AJobPutsItsDocumentsIntoOneFileAndAnAbortDropsOnlyItsOwn) {
  SetFile(m_dir.File("job.pdf"));
  m_po.BeginJob();
  PrintDocument(m_po, 2, 1);
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("job.pdf")));  // complete only at EndJob
  PrintDocument(m_po, 1, 2);
  m_po.SetCopies(1);
  m_po.BeginDoc();
  PaintPage(*m_po.Canvas(), 9);
  m_po.NewPage();
  m_po.Abort();
  PrintDocument(m_po, 1, 1);
  m_po.EndJob();
  EXPECT_EQ(m_po.OutputFiles(), std::vector<std::string>{m_dir.File("job.pdf")});
  EXPECT_EQ(spooltest::PdfPages(m_dir.File("job.pdf")), 5);
  // Nothing but the finished file stays in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(PdfPrinter, AnAbortedFirstDocumentLeavesNoFile) {
  SetFile(m_dir.File("aborted.pdf"));
  for (const bool inJob : {false, true}) {
    if (inJob) m_po.BeginJob();
    m_po.BeginDoc();
    PaintPage(*m_po.Canvas(), 1);
    m_po.NewPage();
    m_po.Abort();
    if (inJob) m_po.EndJob();
    EXPECT_FALSE(m_po.Printing());
    EXPECT_TRUE(m_po.OutputFiles().empty());
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path())) << "in a job: " << inJob;
  }
}

TEST_F(PdfPrinter, DefaultFileIsTheSafeTitleInTheDocumentsFolderNumberedWhenTaken) {
  const char* saved = std::getenv("XDG_DOCUMENTS_DIR");
  const std::string savedValue = saved ? saved : "";
  setenv("XDG_DOCUMENTS_DIR", m_dir.Path().c_str(), 1);
  SetFile("");
  m_po.SetTitle("Цена: a/b?");
  PrintDocument(m_po, 1, 1);
  PrintDocument(m_po, 1, 1);
  m_po.SetTitle(" .. ");
  PrintDocument(m_po, 1, 1);
  // A relative name lands in the same folder, never in the working one.
  SetFile("relative.pdf");
  PrintDocument(m_po, 1, 1);
  if (saved) {
    setenv("XDG_DOCUMENTS_DIR", savedValue.c_str(), 1);
  } else {
    unsetenv("XDG_DOCUMENTS_DIR");
  }
  const std::string folder = m_dir.File("labelplu");
  EXPECT_TRUE(std::filesystem::exists(folder + "/Цена_ a_b_.pdf"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/Цена_ a_b_ (2).pdf"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/labelplu.pdf"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/relative.pdf"));
}

TEST_F(PdfPrinter, AnUnwritableOutputFailsNamingPrinterAndFileAndLeavesNothing) {
  // A regular file where a folder should be: even root cannot write below it.
  { std::ofstream(m_dir.File("plain")) << "x"; }
  const std::string path = m_dir.File("plain/sub/out.pdf");
  SetFile(path);
  try {
    m_po.BeginDoc();
    FAIL() << "BeginDoc succeeded";
  } catch (const SpoolError& e) {
    EXPECT_NE(std::string(e.what()).find(kPdfPrinterName), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("plain/sub"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(m_po.Printing());
  EXPECT_EQ(m_po.Canvas(), nullptr);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
  // The printer works again with a good path.
  SetFile(m_dir.File("good.pdf"));
  PrintDocument(m_po, 1, 1);
  EXPECT_EQ(spooltest::PdfPages(m_dir.File("good.pdf")), 1);
}

}  // namespace
