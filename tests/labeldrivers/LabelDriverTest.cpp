// The sample labels through the drivers label printers are used with: each
// sample template printed by labelhost to queues on CUPS's own "Zebra EPL2
// Label Printer" and "Zebra ZPL Label Printer" drivers (203 dpi) of a
// private scheduler, the printer language decoded back into pages, and
// every page compared dot for dot with the built-in raster printer's page
// of the same job; every barcode scanned by zbar and zxing-cpp, and every
// bar and space of every linear symbol measured in whole modules.
//
// What the drivers do to a page (measured with these templates; the
// decoders in this folder hold the language's rules):
// - EPL2: no turn, no mirror. Each non-blank row is one "GW0,y" command,
//   top row first, a 0 bit a dot (the driver inverts CUPS's raster); the
//   label width "q" is the page width rounded up to 8 dots, and the length
//   is not sent (the printer senses the gap), so the page is taken as the
//   template's height.
// - ZPL: no mirror; the page is one graphic, top row first, a 1 bit a dot,
//   placed at 0,0 with "^PW" the page width. Every format says "^POI": the
//   printer turns the graphic half a turn as it prints (the label leaves
//   the printer upright for the feed direction the driver assumes); the
//   dots compared are the graphic as sent.
// - Offset, the same through both: the label sits one dot right of the
//   built-in raster page's and, on 58 × 40 and 100 × 70 mm, one dot higher
//   (+1,-1; +1,0 on 100 × 150 mm). Qt writes the PDF page in whole points
//   (58 × 40 mm is 164 × 113 pt), the queue's paper is the exact custom
//   size, and the PDF page is centred on it: half the missing fraction of a
//   point, rounded to dots, each way (DriverOffset).
// - Copies: the drivers leave copies to the printer ("P<n>", "^PQ<n>"): a
//   record with copies is one page printed n times, as many pages as the
//   built-in printer repeats.
// - Dots: the barcodes reach the PDF as one-bit images and come out of
//   Ghostscript dot for dot; text, lines and frames reach it as outlines,
//   which Ghostscript fills by its own rules (a line one dot thicker, glyph
//   edges moved by a dot). The pages must therefore agree to the dot inside
//   every barcode's box, and elsewhere differ only at the edges of what is
//   drawn, by at most one dot.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/CsvReader.h"
#include "label/Label.h"
#include "label/LinearBarcodeItem.h"
#include "label/MatrixBarcodeItem.h"
#include "tests/label/ItemTestSupport.h"
#include "tests/labeldrivers/Epl2Decoder.h"
#include "tests/labeldrivers/LabelDriverQueue.h"
#include "tests/labeldrivers/PageCheck.h"
#include "tests/labeldrivers/ZplDecoder.h"
#include "tests/support/PrivateCups.h"
#include "tests/support/Scanner.h"
#include "tests/support/TempDir.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

constexpr int kDpi = 203;

// Which data each sample template is printed with, a file under
// samples/data: the same pairs as the demo prints.
struct SampleJob {
  const char* templateName;
  const char* data;
};
const SampleJob kSampleJobs[] = {
    {"price_tag", "goods.csv"},          {"price_tag_ean13", "goods.csv"},
    {"shelf_label", "shelf_label.csv"},  {"symbologies_linear", "one_label.csv"},
    {"symbologies_2d", "one_label.csv"},
};

// How ctest and failures name a job.
void PrintTo(const SampleJob& job, std::ostream* out) {
  *out << job.templateName << " with " << job.data;
}

// The CSV column that feeds a data source, by the caption labelhost's
// field names use.
const std::map<DataSourceKind, std::string> kFieldOf = {
    {dsName, "Наименование"}, {dsArticle, "Артикул"}, {dsPrice, "Цена"}, {dsSHK, "ШтрихКод"}};
constexpr const char* kCopiesField = "ЧислоКопий";

// The decoded text where a reader adds check digits or brackets.
const std::map<std::string, std::string> kDecodedAs = {{"03600029145", "036000291452"},
                                                       {"123450", "01234505"},
                                                       {"9638507", "96385074"},
                                                       {"590123412345", "5901234123457"},
                                                       {"0950110153000", "09501101530003"}};

// The drivers, by the name of their printer language and their PPD.
struct Driver {
  const char* name;
  const char* ppd;
};
const Driver kDrivers[] = {{"EPL2", "zebraep2.ppd"}, {"ZPL", "zebra.ppd"}};

// Where the raster page's top-left dot lands on a driver's page of
// widthMm × heightMm (see the file comment): the PDF page, in whole
// points, centred on the exact paper.
QPoint DriverOffset(double widthMm, double heightMm) {
  const auto halfShortfallDots = [](double mm) {
    const double points = mm / 25.4 * 72;
    return static_cast<int>(std::lround((points - std::round(points)) / 2 / 72 * kDpi));
  };
  return QPoint(halfShortfallDots(widthMm), -halfShortfallDots(heightMm));
}

std::string SourcePath(const std::string& relative) {
  const char* root = std::getenv("LABELPLU_SOURCE");
  return std::string(root == nullptr ? "." : root) + "/" + relative;
}

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// labelhost print with a settings file of its own; its output on failure.
void PrintWithLabelhost(const std::string& settings, const std::string& templatePath,
                        const std::string& data, const std::string& printer) {
  const char* bin = std::getenv("LABELPLU_BIN");
  const std::string command = Quote(std::string(bin == nullptr ? "." : bin) + "/labelhost") +
                              " --settings " + Quote(settings) + " print --template " +
                              Quote(templatePath) + " --data " + Quote(data) + " --printer " +
                              Quote(printer) + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  const int status = pclose(pipe);
  ASSERT_EQ(status, 0) << command << "\n" << out;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The records of the job as field → value, each repeated by its copies.
std::vector<std::map<std::string, std::string>> PageRecords(const std::string& csvPath) {
  const std::string text = ReadBytes(csvPath);
  const host::CsvRows rows = host::ParseCsv(text, csvPath, host::DetectCsvDelimiter(text));
  std::vector<std::map<std::string, std::string>> pages;
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].size() == 1 && rows[i][0].empty()) continue;
    std::map<std::string, std::string> record;
    for (size_t j = 0; j < rows[0].size() && j < rows[i].size(); ++j) {
      record[rows[0][j]] = rows[i][j];
    }
    const auto copies = record.find(kCopiesField);
    const int n = copies == record.end() || copies->second.empty() ? 1 : std::stoi(copies->second);
    for (int k = 0; k < n; ++k) pages.push_back(record);
  }
  return pages;
}

// A barcode of the template: where it is, what reads it, its module.
struct Symbol {
  std::string caption;
  QRectF boxMm;
  std::optional<Symbology> symbology;  // none: no reader knows it
  int moduleDots = 0;                  // 0: not a linear symbol
  DataSourceKind dataSource = dsNone;
  std::string value;
};

std::optional<Symbology> LinearSymbology(BarcodeSymbology type) {
  switch (type) {
    case bcUPC_A:
      return Symbology::UpcA;
    case bcUPC_E:
      return Symbology::UpcE;
    case bcEAN_8:
      return Symbology::Ean8;
    case bcEAN_13:
      return Symbology::Ean13;
    case bcInterleaved2of5:
      return Symbology::Interleaved2of5;
    case bcCodabar:
      return Symbology::Codabar;
    case bcCode39:
      return Symbology::Code39;
    case bcCode93:
      return Symbology::Code93;
    case bcCode128:
      return Symbology::Code128;
    default:
      return std::nullopt;  // Code 11
  }
}

std::optional<Symbology> MatrixSymbologyOf(MatrixSymbology type) {
  switch (type) {
    case MatrixSymbology::br2Aztec:
      return Symbology::Aztec;
    case MatrixSymbology::br2DataMatrix:
      return Symbology::DataMatrix;
    case MatrixSymbology::br2PDF417:
      return Symbology::Pdf417;
    case MatrixSymbology::br2MaxiCode:
      return Symbology::MaxiCode;
    case MatrixSymbology::br2RSS:
      return Symbology::DataBar;
    default:
      return std::nullopt;  // MicroPDF417
  }
}

// The module of a linear symbol at kDpi: BarWidth mils, rounded to whole
// dots (halves to even), and never under a hundredth of an inch.
int ModuleDots(double barWidthMils) {
  const auto dots = static_cast<int>(std::nearbyint(barWidthMils / 1000.0 * kDpi));
  return std::max({dots, static_cast<int>(std::nearbyint(kDpi * 0.01)), 1});
}

struct Sample {
  double widthMm = 0;
  double heightMm = 0;
  std::vector<Symbol> symbols;
  std::vector<QRectF> textBoxesMm;  // of the items that print text
};

Sample ReadSample(const std::string& templatePath) {
  EnsureGuiApplication();
  Label label;
  label.LoadFromFile(templatePath);
  Sample sample{label.Width(), label.Height(), {}, {}};
  for (int i = 0; i < label.ItemCount(); ++i) {
    const LabelItem& item = label.Item(i);
    const QRectF boxMm(item.Left(), item.Top(), item.Width(), item.Height());
    const auto* linear = dynamic_cast<const LinearBarcodeItem*>(&item);
    const auto* matrix = dynamic_cast<const MatrixBarcodeItem*>(&item);
    if (linear == nullptr && matrix == nullptr) {
      if (item.ClassName().find("Text") != std::string_view::npos) {
        sample.textBoxesMm.push_back(boxMm);
      }
      continue;
    }
    Symbol symbol{item.Caption(), boxMm, std::nullopt, 0, item.DataSource(), item.GetValue()};
    if (linear != nullptr) {
      symbol.symbology = LinearSymbology(linear->BarCodeType());
      symbol.moduleDots = ModuleDots(linear->BarWidth());
    } else {
      symbol.symbology = MatrixSymbologyOf(matrix->BRType2D());
    }
    if (symbol.symbology) symbol.caption = SymbologyName(*symbol.symbology);
    symbol.caption += " \"" + item.GetValue() + "\"";
    sample.symbols.push_back(symbol);
  }
  return sample;
}

int Dots(double mm) {
  return static_cast<int>(std::lround(mm * kDpi / 25.4));
}

QRect DotBox(const QRectF& mm, double marginMm) {
  return QRect(Dots(mm.left() - marginMm), Dots(mm.top() - marginMm),
               Dots(mm.width() + 2 * marginMm), Dots(mm.height() + 2 * marginMm));
}

// The symbol's box on the page (1 mm around it for the quiet zone) scans as
// expected. MaxiCode is read as a pure symbol, cut to its ink: only the dots
// of symbolArea count there, not the edge of a caption that reaches in, and
// the margin around the ink stays white.
::testing::AssertionResult SymbolScansAs(const QImage& page, QPoint offset, const Symbol& symbol,
                                         const std::string& expected, const QRegion& symbolArea) {
  const bool pure = symbol.symbology == Symbology::MaxiCode;
  const QRect box = DotBox(symbol.boxMm, 1).translated(offset) & page.rect();
  QImage grey = page.copy(box).convertToFormat(QImage::Format_Grayscale8);
  if (pure) {
    const QRegion area = symbolArea.translated(offset);
    for (int y = 0; y < grey.height(); ++y) {
      for (int x = 0; x < grey.width(); ++x) {
        if (!area.contains(QPoint(x, y) + box.topLeft())) grey.scanLine(y)[x] = 255;
      }
    }
    grey = CutToInk(grey, 8);
  }
  const bool zbarReads = symbol.moduleDots > 0;
  return ScansAs(grey, zbarReads ? Reader::Both : Reader::Zxing, *symbol.symbology, expected,
                 {.pure = pure});
}

// A row through the bars of the symbol in box, clear of any text: the bars
// are the tallest thing there, so most rows cross the same number of edges;
// the middle one of those rows.
int BarRow(const QImage& page, const QRect& box) {
  std::map<int, std::vector<int>> rowsByEdges;
  for (int y = std::max(box.top(), 0); y <= std::min(box.bottom(), page.height() - 1); ++y) {
    int edges = 0;
    for (int x = std::max(box.left(), 1); x <= std::min(box.right(), page.width() - 1); ++x) {
      if (IsDot(page, x, y) != IsDot(page, x - 1, y)) ++edges;
    }
    if (edges > 0) rowsByEdges[edges].push_back(y);
  }
  const std::vector<int>* commonest = nullptr;
  for (const auto& [edges, rows] : rowsByEdges) {
    if (commonest == nullptr || rows.size() >= commonest->size()) commonest = &rows;
  }
  return commonest == nullptr ? box.top() : (*commonest)[commonest->size() / 2];
}

// With LABELPLU_KEEP_PAGES set to a folder, a page that differs is kept
// there beside the raster page, to be looked at.
void KeepPages(const std::string& job, const std::string& driver, size_t page,
               const QImage& reference, const QImage& driverPage) {
  const char* folder = std::getenv("LABELPLU_KEEP_PAGES");
  if (folder == nullptr || *folder == 0) return;
  const std::string stem = std::string(folder) + "/" + job + "-" + std::to_string(page + 1);
  reference.save(QString::fromStdString(stem + "-raster.png"));
  driverPage.save(QString::fromStdString(stem + "-" + driver + ".png"));
}

class LabelDrivers : public ::testing::TestWithParam<SampleJob> {
 protected:
  static void SetUpTestSuite() {
    m_skip = LabelDriverSkipReason();
    if (m_skip) return;
    m_cups = std::make_unique<PrivateCups>("lp-labeldrivers");
    for (const Driver& driver : kDrivers) {
      const std::string ppd = CompileSamplePpd(m_cups->Directory(), driver.ppd);
      m_queues.push_back(
          std::make_unique<LabelDriverQueue>(*m_cups, std::string("lp-") + driver.name, ppd));
    }
  }
  static void TearDownTestSuite() {
    m_queues.clear();
    m_cups.reset();
  }

  static std::optional<std::string> m_skip;
  static std::unique_ptr<PrivateCups> m_cups;
  static std::vector<std::unique_ptr<LabelDriverQueue>> m_queues;
};
std::optional<std::string> LabelDrivers::m_skip;
std::unique_ptr<PrivateCups> LabelDrivers::m_cups;
std::vector<std::unique_ptr<LabelDriverQueue>> LabelDrivers::m_queues;

std::vector<DriverPage> Decode(const Driver& driver, const std::string& bytes, int heightDots) {
  return std::string(driver.name) == "EPL2" ? DecodeEpl2(bytes, heightDots) : DecodeZpl(bytes);
}

TEST_P(LabelDrivers, PagesEqualTheBuiltInRasterAndEverySymbolScansInWholeModules) {
  if (m_skip) GTEST_SKIP() << *m_skip;
  const SampleJob& job = GetParam();
  const std::string templatePath =
      SourcePath(std::string("samples/templates/") + job.templateName + ".lb3");
  const Sample sample = ReadSample(templatePath);
  TempDir dir;
  const std::string data = SourcePath(std::string("samples/data/") + job.data);
  const std::vector<std::map<std::string, std::string>> records = PageRecords(data);
  const std::string settings = dir.File("settings.xml");

  // The built-in raster printer's pages of the job: the reference.
  std::ostringstream paper;
  paper << sample.widthMm << "x" << sample.heightMm;
  const std::string rasterName = "labelplu Raster; dpi=" + std::to_string(kDpi) +
                                 "; paper=" + paper.str() + "; file=" + dir.File("raster/p");
  ASSERT_NO_FATAL_FAILURE(PrintWithLabelhost(settings, templatePath, data, rasterName));
  std::vector<QImage> reference;
  for (const QString& name : QDir(QString::fromStdString(dir.File("raster")))
                                 .entryList({"p-*.png"}, QDir::Files, QDir::Name)) {
    reference.push_back(QImage(QString::fromStdString(dir.File("raster/")) + name)
                            .convertToFormat(QImage::Format_Grayscale8));
  }
  ASSERT_EQ(reference.size(), records.size());

  for (size_t d = 0; d < std::size(kDrivers); ++d) {
    const Driver& driver = kDrivers[d];
    LabelDriverQueue& queue = *m_queues[d];
    SCOPED_TRACE(std::string(job.templateName) + " through " + driver.name);
    queue.SetPaperMm(sample.widthMm, sample.heightMm);
    ASSERT_NO_FATAL_FAILURE(PrintWithLabelhost(settings, templatePath, data, queue.Name()));
    std::vector<QImage> pages;
    for (const std::string& output : queue.ReleaseJobs()) {
      for (const DriverPage& page : Decode(driver, output, Dots(sample.heightMm))) {
        for (int copy = 0; copy < page.Copies; ++copy) pages.push_back(page.Image);
      }
    }
    ASSERT_EQ(pages.size(), reference.size());
    const QPoint offset = DriverOffset(sample.widthMm, sample.heightMm);
    // Where the pages must agree to the dot: the barcodes' boxes, but not
    // within a millimetre (and a dot) of a text's box, where Ghostscript's
    // glyphs (an underscore, a descender) reach beyond it.
    QRegion symbolArea;
    for (const Symbol& symbol : sample.symbols) symbolArea += DotBox(symbol.boxMm, 0);
    for (const QRectF& text : sample.textBoxesMm) {
      symbolArea -= DotBox(text, 1).adjusted(-1, -1, 1, 1);
    }

    for (size_t p = 0; p < pages.size(); ++p) {
      const std::string where = "page " + std::to_string(p + 1);
      const DotDifference difference = CompareDots(reference[p], pages[p], offset, symbolArea);
      if (difference.InExactBoxes != 0 || difference.OffEdges != 0) {
        KeepPages(job.templateName, driver.name, p, reference[p], pages[p]);
        const QPoint best = BestOffset(reference[p], pages[p], 2);
        const auto range = [](const QRect& b) {
          return "x " + std::to_string(b.left()) + ".." + std::to_string(b.right()) + ", y " +
                 std::to_string(b.top()) + ".." + std::to_string(b.bottom());
        };
        ADD_FAILURE() << where << " differs from the raster page at offset " << offset.x() << ","
                      << offset.y() << ": " << difference.InExactBoxes << " dots inside barcodes ("
                      << range(difference.InExactBoxesAt) << "), " << difference.OffEdges
                      << " dots away from any edge (" << range(difference.OffEdgesAt)
                      << "); raster " << reference[p].width() << "x" << reference[p].height()
                      << ", " << driver.name << " " << pages[p].width() << "x" << pages[p].height()
                      << "; fewest differences at offset " << best.x() << "," << best.y();
      }
      for (const Symbol& symbol : sample.symbols) {
        std::string expected = symbol.value;
        const auto field = kFieldOf.find(symbol.dataSource);
        if (field != kFieldOf.end() && records[p].count(field->second) != 0) {
          expected = records[p].at(field->second);
        }
        if (const auto known = kDecodedAs.find(expected); known != kDecodedAs.end()) {
          expected = known->second;
        }
        if (symbol.symbology) {
          EXPECT_TRUE(SymbolScansAs(pages[p], offset, symbol, expected, symbolArea))
              << where << ": " << symbol.caption << "; on the raster page: "
              << SymbolScansAs(reference[p], QPoint(), symbol, expected, symbolArea).message();
        }
        if (symbol.moduleDots == 0) continue;
        const QRect box = DotBox(symbol.boxMm, 0).translated(offset);
        bool noInk = false;
        const std::vector<BarFault> faults =
            BarFaults(pages[p], BarRow(pages[p], box), box.left() - 2, box.right() + 3,
                      symbol.moduleDots, &noInk);
        EXPECT_FALSE(noInk) << where << ": " << symbol.caption << " has no bars";
        EXPECT_TRUE(faults.empty()) << where << ": " << symbol.caption << "\n"
                                    << Describe(faults, symbol.moduleDots);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, LabelDrivers, ::testing::ValuesIn(kSampleJobs),
                         [](const auto& p) { return std::string(p.param.templateName); });

}  // namespace
