// The floor of the print benchmark: the same PDF engine (QPdfWriter) writing
// pages of the same content as the price-tag job (a frame, three lines of
// text, a one-bit EAN-13 image per label) with no label logic: no template,
// no value lookup, no layout, no canvas emulation. labelplu's labels per
// second are measured against this.
//
//   bench_pdf_floor CSV OUT.pdf label|sheet
//
// CSV: the benchmark's data (name, price, article, barcode; RFC 4180).
// label: one 58 x 40 mm label per page; sheet: A4 with 3 x 7 labels of
// 70 x 42.3 mm. 300 dpi. Prints the label count and the seconds taken.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Record {
  std::string name, price, article, barcode;
};

// RFC 4180 fields: quotes, doubled quotes, commas and line breaks inside quotes.
std::vector<std::vector<std::string>> ReadCsv(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
  std::vector<std::vector<std::string>> rows(1);
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(std::move(field));
      field.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      rows.back().push_back(std::move(field));
      field.clear();
      rows.emplace_back();
    } else {
      field += c;
    }
  }
  if (!field.empty() || !rows.back().empty()) rows.back().push_back(std::move(field));
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

// The 95 modules of an EAN-13 symbol (1 = bar).
std::array<bool, 95> Ean13Modules(const std::string& code) {
  static const char* const kL[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                     "0110001", "0101111", "0111011", "0110111", "0001011"};
  static const char* const kParity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                          "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
  std::array<bool, 95> m{};
  size_t at = 0;
  auto put = [&](const char* bits, bool invert, bool reverse) {
    for (size_t i = 0; i < 7; ++i) {
      const char b = reverse ? bits[6 - i] : bits[i];
      m[at++] = (b == '1') != invert;
    }
  };
  for (const char* g = "101"; *g; ++g) m[at++] = *g == '1';
  const int first = code[0] - '0';
  for (size_t i = 1; i <= 6; ++i) {
    const int d = code[i] - '0';
    if (kParity[first][i - 1] == 'L')
      put(kL[d], false, false);
    else
      put(kL[d], true, true);  // G = reversed R, R = inverted L
  }
  for (const char* g = "01010"; *g; ++g) m[at++] = *g == '1';
  for (size_t i = 7; i <= 12; ++i) put(kL[code[i] - '0'], true, false);
  for (const char* g = "101"; *g; ++g) m[at++] = *g == '1';
  return m;
}

QImage BarcodeImage(const std::string& code, int moduleDots, int heightDots) {
  QImage image(95 * moduleDots, heightDots, QImage::Format_Mono);
  image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  image.fill(1);
  if (code.size() != 13) return image;
  const auto modules = Ean13Modules(code);
  // One row, then copies of it: bit 0 is black (the colour table's first).
  for (int x = 0; x < 95 * moduleDots; ++x)
    if (modules[static_cast<size_t>(x / moduleDots)]) image.setPixel(x, 0, 0);
  const auto bytes = static_cast<size_t>(image.bytesPerLine());
  for (int y = 1; y < heightDots; ++y)
    std::memcpy(image.scanLine(y), image.constScanLine(0), bytes);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s CSV OUT.pdf label|sheet\n", argv[0]);
    return 2;
  }
  QGuiApplication app(argc, argv);
  const bool sheet = std::string(argv[3]) == "sheet";
  const auto rows = ReadCsv(argv[1]);
  const auto start = std::chrono::steady_clock::now();

  constexpr int kDpi = 300;
  const double labelW = sheet ? 70.0 : 58.0;
  const double labelH = sheet ? 42.3 : 40.0;
  const int across = sheet ? 3 : 1;
  const int down = sheet ? 7 : 1;
  QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
  writer.setResolution(kDpi);
  writer.setPageSize(sheet ? QPageSize(QPageSize::A4)
                           : QPageSize(QSizeF(labelW, labelH), QPageSize::Millimeter));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter(&writer);
  const double px = kDpi / 25.4;
  QFont nameFont("Arial");
  nameFont.setPointSizeF(9);
  QFont priceFont("Arial");
  priceFont.setPointSizeF(14);
  priceFont.setBold(true);
  QFont articleFont("Arial");
  articleFont.setPointSizeF(6);
  painter.setPen(QPen(Qt::black, 0.3 * px));

  int slot = 0;
  size_t labels = 0;
  for (size_t r = 1; r < rows.size(); ++r) {
    const auto& row = rows[r];
    if (row.size() < 4) continue;
    if (slot == across * down) {
      writer.newPage();
      slot = 0;
    }
    const int slotColumn = slot % across;
    const int slotRow = slot / across;
    const double x0 = slotColumn * labelW;
    const double y0 = (sheet ? 0.45 : 0.0) + slotRow * labelH;
    ++slot;
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF((x0 + 1) * px, (y0 + 1) * px, (labelW - 2) * px, (labelH - 2) * px));
    painter.setFont(nameFont);
    painter.drawText(QRectF((x0 + 2.5) * px, (y0 + 2) * px, (labelW - 5) * px, 6 * px),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromStdString(row[0]));
    painter.setFont(priceFont);
    painter.drawText(QRectF((x0 + 2.5) * px, (y0 + 8) * px, labelW * 0.6 * px, 7 * px),
                     Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(row[1]));
    painter.setFont(articleFont);
    painter.drawText(
        QRectF((x0 + labelW * 0.6 + 3) * px, (y0 + 10.5) * px, (labelW * 0.4 - 5.5) * px, 4 * px),
        Qt::AlignRight | Qt::AlignTop, QString::fromStdString(row[2]));
    const QImage bars = BarcodeImage(row[3], 6, static_cast<int>((labelH - 22) * px));
    painter.drawImage(QPointF((x0 + 5) * px, (y0 + 16) * px), bars);
    painter.setFont(nameFont);
    painter.drawText(QRectF((x0 + 5) * px, (y0 + labelH - 6) * px, 95 * 6, 4 * px),
                     Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(row[3]));
    ++labels;
  }
  painter.end();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%zu labels in %.3f s\n", labels, seconds);
  return 0;
}
