// Black-and-white bitmaps sent to a PDF writer arrive as one-bit images
// that PDF readers render with every bar in place; nothing is JPEG'd.
#include <gtest/gtest.h>

#include <QPageSize>
#include <QPdfWriter>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/platform/gdi/GdiTestSupport.h"
#include "tests/support/TempDir.h"

using namespace labelplu::gdi;

namespace {

std::string RunCommand(const std::string& command) {
  std::string text;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[512];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  pclose(pipe);
  return text;
}

// Modules of a barcode-like pattern: '1' black, '0' white.
constexpr const char* kModules = "11010011100101100011101011001101";
constexpr int kModule = 3;  // device pixels per module
constexpr int kBarHeight = 60;

// The pattern as a 24-bit bitmap and as a one-bit bitmap whose colour
// table lists white first (index 0 white, 1 black).
Dib Bars24() {
  const int n = static_cast<int>(std::char_traits<char>::length(kModules));
  Dib dib(n, 1, 24);
  for (int x = 0; x < n; ++x) {
    const uint8_t v = kModules[x] == '1' ? 0 : 255;
    std::fill(dib.ScanLine(0) + 3 * x, dib.ScanLine(0) + 3 * x + 3, v);
  }
  return dib;
}

Dib Bars1() {
  const int n = static_cast<int>(std::char_traits<char>::length(kModules));
  Dib dib(n, 2, 1);
  dib.Colors()[0] = RGBQUAD{255, 255, 255, 0};
  dib.Colors()[1] = RGBQUAD{0, 0, 0, 0};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < n; ++x) {
      if (kModules[x] == '1') dib.ScanLine(y)[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return dib;
}

TEST(CanvasPdfImage, BarcodeBitmapsBecomeOneBitImagesThatRenderEveryBar) {
  gditest::EnsureGuiApp();
  const labelplu::test::TempDir dir;
  const std::string pdf = dir.File("bars.pdf");
  {
    QPdfWriter writer(QString::fromStdString(pdf));
    writer.setResolution(203);
    writer.setPageSize(QPageSize(QSizeF(58, 40), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    Canvas canvas(writer);
    // A coloured pen and brush must not colour the bars.
    canvas.SelectPen(Pen{PS_SOLID, 1, RGB(255, 0, 0)});
    canvas.SelectBrush(Brush{BS_SOLID, RGB(0, 0, 255)});
    const Dib bars24 = Bars24();
    const Dib bars1 = Bars1();
    const int width = bars24.Width() * kModule;
    canvas.StretchDIBits(20, 20, width, kBarHeight, 0, 0, bars24.Width(), 1, bars24.Ref());
    canvas.StretchDIBits(20, 120, width, kBarHeight, 0, 0, bars1.Width(), 2, bars1.Ref());
    canvas.StretchDrawImage(20, 220, width, kBarHeight, bars24.ToImage());
    canvas.End();
  }
  // pdfimages -list: two header lines, then one line per image with "bpc"
  // in the eighth column and the encoding in the ninth.
  std::istringstream list(RunCommand("pdfimages -list '" + pdf + "'"));
  std::string line;
  int images = 0;
  for (int n = 0; std::getline(list, line); ++n) {
    if (n < 2) continue;
    std::istringstream f(line);
    std::string page, num, type, w, h, color, comp, bpc, enc;
    f >> page >> num >> type >> w >> h >> color >> comp >> bpc >> enc;
    EXPECT_EQ(bpc, "1") << line;
    EXPECT_NE(enc, "jpeg") << line;
    EXPECT_EQ(type, "image") << line;  // a real image, not a stencil in the pen's colour
    ++images;
  }
  EXPECT_EQ(images, 3);

  // Ghostscript at the writer's resolution: each module's centre pixel has
  // the module's colour, in every one of the three transfers.
  const std::string ppm = dir.File("bars.ppm");
  RunCommand(
      "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r203 -dGraphicsAlphaBits=1 -sOutputFile='" +
      ppm + "' '" + pdf + "'");
  const QImage page(QString::fromStdString(ppm));
  ASSERT_FALSE(page.isNull()) << "Ghostscript rendered nothing";
  for (const int top : {20, 120, 220}) {
    std::string seen;
    for (size_t m = 0; m < std::char_traits<char>::length(kModules); ++m) {
      const QRgb c = page.pixel(20 + static_cast<int>(m) * kModule + 1, top + kBarHeight / 2);
      seen += (c & 0xFFFFFF) == 0 ? '1' : (c & 0xFFFFFF) == 0xFFFFFF ? '0' : '?';
    }
    EXPECT_EQ(seen, kModules) << "bars at y " << top;
  }
}

}  // namespace
