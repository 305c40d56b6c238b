#include "tests/labeldrivers/Epl2Decoder.h"

#include <charconv>
#include <map>
#include <stdexcept>
#include <string>

namespace labelplu::test {
namespace {

[[noreturn]] void Fail(size_t offset, const std::string& what) {
  throw std::runtime_error("EPL2 at byte " + std::to_string(offset) + ": " + what);
}

// The comma-separated whole numbers of a command's arguments.
std::vector<int> Numbers(std::string_view args, size_t offset) {
  std::vector<int> numbers;
  while (true) {
    const size_t comma = args.find(',');
    const std::string_view part = args.substr(0, comma);
    int value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (error != std::errc() || end != part.data() + part.size() || part.empty()) {
      Fail(offset, "\"" + std::string(args) + "\" is not a list of numbers");
    }
    numbers.push_back(value);
    if (comma == std::string_view::npos) return numbers;
    args.remove_prefix(comma + 1);
  }
}

struct Buffer {
  int Width = 0;
  // Row → its dots (true: black); rows never drawn stay white.
  std::map<int, std::vector<bool>> Rows;
};

DriverPage MakePage(const Buffer& buffer, int pageHeightDots, int copies) {
  int height = pageHeightDots;
  if (height <= 0) height = buffer.Rows.empty() ? 0 : buffer.Rows.rbegin()->first + 1;
  DriverPage page;
  page.Copies = copies;
  page.Image = QImage(buffer.Width, height, QImage::Format_Grayscale8);
  page.Image.fill(255);
  for (const auto& [y, dots] : buffer.Rows) {
    if (y >= height) continue;
    uchar* line = page.Image.scanLine(y);
    for (int x = 0; x < buffer.Width; ++x) {
      if (dots[static_cast<size_t>(x)]) line[x] = 0;
    }
  }
  return page;
}

}  // namespace

std::vector<DriverPage> DecodeEpl2(std::string_view stream, int pageHeightDots) {
  std::vector<DriverPage> pages;
  Buffer buffer;
  size_t pos = 0;
  while (pos < stream.size()) {
    const size_t start = pos;
    size_t end = stream.find('\n', pos);
    if (end == std::string_view::npos) end = stream.size();
    std::string_view line = stream.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = end + 1;
    if (line.empty()) continue;
    if (line == "N") {
      buffer.Rows.clear();
    } else if (line[0] == 'q') {
      const std::vector<int> width = Numbers(line.substr(1), start);
      if (width.size() != 1 || width[0] <= 0) Fail(start, "bad label width");
      buffer.Width = width[0];
    } else if (line.substr(0, 2) == "GW") {
      const std::vector<int> n = Numbers(line.substr(2), start);
      if (n.size() != 4 || n[0] < 0 || n[1] < 0 || n[2] <= 0 || n[3] <= 0) {
        Fail(start, "GW needs x,y,bytes per row,rows");
      }
      const auto bytes = static_cast<size_t>(n[2]) * static_cast<size_t>(n[3]);
      if (pos > stream.size() || stream.size() - pos < bytes) Fail(start, "GW data cut short");
      if (buffer.Width <= 0) Fail(start, "GW before the label width (q)");
      if (n[0] + n[2] * 8 > buffer.Width) Fail(start, "GW wider than the label");
      for (int row = 0; row < n[3]; ++row) {
        std::vector<bool>& dots = buffer.Rows[n[1] + row];
        dots.resize(static_cast<size_t>(buffer.Width), false);
        for (int b = 0; b < n[2]; ++b) {
          const auto byte =
              static_cast<unsigned char>(stream[pos + static_cast<size_t>(row * n[2] + b)]);
          for (int bit = 0; bit < 8; ++bit) {
            // A 0 bit prints a dot.
            dots[static_cast<size_t>(n[0]) + static_cast<size_t>(b) * 8 +
                 static_cast<size_t>(bit)] = (byte & (0x80 >> bit)) == 0;
          }
        }
      }
      pos += bytes;
    } else if (line[0] == 'P') {
      const std::vector<int> copies = Numbers(line.substr(1), start);
      if (copies.empty() || copies[0] < 1) Fail(start, "bad copy count");
      if (buffer.Width <= 0) Fail(start, "P before the label width (q)");
      pages.push_back(MakePage(buffer, pageHeightDots, copies[0]));
    }
  }
  return pages;
}

}  // namespace labelplu::test
