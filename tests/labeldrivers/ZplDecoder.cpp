#include "tests/labeldrivers/ZplDecoder.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace labelplu::test {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error("ZPL: " + what);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int Number(std::string_view text, const std::string& what) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\r')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    Fail(what + ": \"" + std::string(text) + "\" is not a number");
  }
  return value;
}

std::vector<std::string_view> Split(std::string_view args) {
  std::vector<std::string_view> parts;
  while (true) {
    const size_t comma = args.find(',');
    parts.push_back(args.substr(0, comma));
    if (comma == std::string_view::npos) return parts;
    args.remove_prefix(comma + 1);
  }
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \r\n");
  return std::string(text.substr(first, last - first + 1));
}

struct Graphic {
  int BytesPerRow = 0;
  std::vector<uint8_t> Bytes;
  int Width() const { return BytesPerRow * 8; }
  int Height() const { return static_cast<int>(Bytes.size()) / BytesPerRow; }
};

struct Placement {
  int X = 0;
  int Y = 0;
  std::string Name;
};

struct Format {
  int Width = 0;
  int Length = 0;
  int HomeX = 0;
  int HomeY = 0;
  int FieldX = 0;
  int FieldY = 0;
  int Copies = 1;
  bool Turned = false;
  std::vector<Placement> Placements;
};

DriverPage MakePage(const Format& format, const std::map<std::string, Graphic>& graphics) {
  int width = format.Width;
  int height = format.Length;
  for (const Placement& p : format.Placements) {
    const Graphic& g = graphics.at(p.Name);
    if (format.Width <= 0) width = std::max(width, p.X + g.Width());
    if (format.Length <= 0) height = std::max(height, p.Y + g.Height());
  }
  DriverPage page;
  page.Copies = format.Copies;
  page.Turned = format.Turned;
  page.Image = QImage(width, height, QImage::Format_Grayscale8);
  page.Image.fill(255);
  for (const Placement& p : format.Placements) {
    const Graphic& g = graphics.at(p.Name);
    for (int y = 0; y < g.Height(); ++y) {
      if (p.Y + y < 0 || p.Y + y >= height) continue;
      uchar* line = page.Image.scanLine(p.Y + y);
      for (int x = 0; x < g.Width(); ++x) {
        if (p.X + x < 0 || p.X + x >= width) continue;
        const uint8_t byte = g.Bytes[static_cast<size_t>(y) * static_cast<size_t>(g.BytesPerRow) +
                                     static_cast<size_t>(x / 8)];
        if (byte & (0x80 >> (x % 8))) line[p.X + x] = 0;
      }
    }
  }
  return page;
}

}  // namespace

std::vector<uint8_t> ExpandZplGraphic(std::string_view data, int totalBytes, int bytesPerRow) {
  if (bytesPerRow <= 0 || totalBytes < 0 || totalBytes % bytesPerRow != 0) {
    Fail("a graphic of " + std::to_string(totalBytes) + " bytes cannot have rows of " +
         std::to_string(bytesPerRow));
  }
  const auto digitsPerRow = static_cast<size_t>(bytesPerRow) * 2;
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(totalBytes));
  std::string row;       // hex digits of the row being read
  std::string previous;  // the last complete row
  int repeat = 0;
  const auto endRow = [&] {
    for (size_t i = 0; i < digitsPerRow; i += 2) {
      bytes.push_back(static_cast<uint8_t>(HexValue(row[i]) * 16 + HexValue(row[i + 1])));
    }
    previous = row;
    row.clear();
  };
  for (size_t i = 0; i < data.size() && bytes.size() < static_cast<size_t>(totalBytes); ++i) {
    const char c = data[i];
    const std::string where = " at character " + std::to_string(i);
    if (c == ' ' || c == '\r' || c == '\n') continue;
    if (c >= 'G' && c <= 'Y') {
      repeat += c - 'F';
    } else if (c >= 'g' && c <= 'z') {
      repeat += (c - 'f') * 20;
    } else if (HexValue(c) >= 0) {
      const size_t count = repeat > 0 ? static_cast<size_t>(repeat) : 1;
      repeat = 0;
      if (row.size() + count > digitsPerRow) Fail("row overflows" + where);
      row.append(count, static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c));
      if (row.size() == digitsPerRow) endRow();
    } else if (c == ',' || c == '!') {
      if (repeat > 0) Fail("a repeat count before '" + std::string(1, c) + "'" + where);
      row.append(digitsPerRow - row.size(), c == ',' ? '0' : 'F');
      endRow();
    } else if (c == ':') {
      if (repeat > 0) Fail("a repeat count before ':'" + where);
      if (previous.empty()) Fail("':' with no previous row" + where);
      if (!row.empty()) Fail("':' in the middle of a row" + where);
      row = previous;
      endRow();
    } else {
      Fail("'" + std::string(1, c) + "' is no graphic data" + where);
    }
  }
  if (repeat > 0) Fail("a repeat count with no digit at the end");
  if (bytes.size() < static_cast<size_t>(totalBytes)) {
    Fail("graphic data ends after " + std::to_string(bytes.size()) + " of " +
         std::to_string(totalBytes) + " bytes");
  }
  return bytes;
}

std::vector<DriverPage> DecodeZpl(std::string_view stream) {
  std::map<std::string, Graphic> graphics;
  std::vector<DriverPage> pages;
  std::optional<Format> format;
  size_t pos = stream.find_first_of("^~");
  while (pos != std::string_view::npos) {
    const size_t next = stream.find_first_of("^~", pos + 1);
    const std::string_view command =
        stream.substr(pos, next == std::string_view::npos ? std::string_view::npos : next - pos);
    pos = next;
    if (command.size() < 3) continue;
    const std::string code(command.substr(0, 3));
    const std::string_view args = command.substr(3);
    if (code == "~DG") {
      const std::vector<std::string_view> parts = Split(args);
      if (parts.size() < 4) Fail("~DG needs name,total,bytes per row,data");
      Graphic g;
      const int total = Number(parts[1], "~DG total");
      g.BytesPerRow = Number(parts[2], "~DG bytes per row");
      // The data holds ',' itself: everything after the third comma.
      const size_t dataStart = static_cast<size_t>(parts[3].data() - args.data());
      g.Bytes = ExpandZplGraphic(args.substr(dataStart), total, g.BytesPerRow);
      graphics[Trimmed(parts[0])] = std::move(g);
    } else if (code == "^XA") {
      format = Format{};
    } else if (!format) {
      continue;  // outside a format only downloads count
    } else if (code == "^XZ") {
      if (!format->Placements.empty()) pages.push_back(MakePage(*format, graphics));
      format.reset();
    } else if (code == "^PW") {
      format->Width = Number(args, "^PW");
    } else if (code == "^LL") {
      format->Length = Number(Split(args)[0], "^LL");
    } else if (code == "^LH") {
      const auto parts = Split(args);
      format->HomeX = Number(parts[0], "^LH x");
      if (parts.size() > 1) format->HomeY = Number(parts[1], "^LH y");
    } else if (code == "^FO") {
      const auto parts = Split(args);
      format->FieldX = Number(parts[0], "^FO x");
      format->FieldY = parts.size() > 1 ? Number(parts[1], "^FO y") : 0;
    } else if (code == "^PO") {
      format->Turned = Trimmed(args) == "I";
    } else if (code == "^PQ") {
      format->Copies = Number(Split(args)[0], "^PQ");
    } else if (code == "^XG") {
      const auto parts = Split(args);
      const std::string name = Trimmed(parts[0]);
      for (size_t i = 1; i < parts.size() && i < 3; ++i) {
        if (Number(parts[i], "^XG magnification") != 1) Fail("^XG magnifies " + name);
      }
      if (graphics.count(name) == 0) Fail("^XG recalls " + name + ", never downloaded");
      format->Placements.push_back(
          {format->HomeX + format->FieldX, format->HomeY + format->FieldY, name});
    }
  }
  return pages;
}

}  // namespace labelplu::test
