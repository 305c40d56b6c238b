// labelplu host: papers, grids and the sheet of a print job.
#include "host/JobLayout.h"

#include <charconv>
#include <cmath>

namespace labelplu::host {

namespace {

struct NamedPaper {
  std::string_view Name;
  PaperSize Size;
};

constexpr NamedPaper kPapers[] = {
    {"a4", {210, 297}}, {"a5", {148, 210}}, {"a6", {105, 148}}, {"letter", {215.9, 279.4}}};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<int32_t> ParseCount(std::string_view text) {
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The two sides of "AxB".
bool SplitAtX(std::string_view text, std::string_view& first, std::string_view& second) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return false;
  first = Trim(text.substr(0, x));
  second = Trim(text.substr(x + 1));
  return true;
}

// Built-in printers' names, as the driver lists them.
constexpr std::string_view kBuiltinPrinters[] = {"labelplu pdf", "labelplu raster"};

}  // namespace

std::optional<double> ParseMm(std::string text) {
  for (char& c : text)
    if (c == ',') c = '.';
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<PaperSize> PaperByName(std::string_view text) {
  const std::string name = Lower(Trim(text));
  for (const NamedPaper& paper : kPapers)
    if (name == paper.Name) return paper.Size;
  std::string_view w, h;
  if (!SplitAtX(name, w, h)) return std::nullopt;
  const auto width = ParseMm(std::string(w));
  const auto height = ParseMm(std::string(h));
  const auto side = [](const std::optional<double>& v) {
    return v && *v >= 1 && *v <= kMaxPaperSideMm;
  };
  if (!side(width) || !side(height)) return std::nullopt;
  return PaperSize{*width, *height};
}

std::optional<PaperSize> BuiltinPrinterPaper(std::string_view printerName) {
  const size_t semi = printerName.find(';');
  const std::string name = Lower(Trim(printerName.substr(0, semi)));
  bool builtin = false;
  for (std::string_view known : kBuiltinPrinters) builtin = builtin || name == known;
  if (!builtin) return std::nullopt;
  std::optional<PaperSize> paper = kPapers[0].Size;
  std::string_view rest = semi == std::string_view::npos ? "" : printerName.substr(semi + 1);
  while (!rest.empty()) {
    const size_t next = rest.find(';');
    const std::string_view part = Trim(rest.substr(0, next));
    if (const size_t eq = part.find('=');
        eq != std::string_view::npos && Lower(Trim(part.substr(0, eq))) == "paper") {
      std::string value = Lower(Trim(part.substr(eq + 1)));
      if (value.ends_with("mm")) value.resize(value.size() - 2);
      std::string_view w, h;
      const auto width = SplitAtX(value, w, h) ? ParseMm(std::string(w)) : std::nullopt;
      const auto height = SplitAtX(value, w, h) ? ParseMm(std::string(h)) : std::nullopt;
      paper = width && height ? std::optional<PaperSize>(PaperSize{*width, *height}) : std::nullopt;
    }
    if (next == std::string_view::npos) break;
    rest = rest.substr(next + 1);
  }
  return paper;
}

std::optional<GridOption> ParseGrid(std::string_view text) {
  text = Trim(text);
  if (Lower(text) == "auto") return GridOption{true, {}};
  std::string_view c, r;
  if (!SplitAtX(text, c, r)) return std::nullopt;
  const auto across = ParseCount(c);
  const auto down = ParseCount(r);
  const auto inRange = [](const std::optional<int32_t>& v) {
    return v && *v >= 1 && *v <= kMaxGridCount;
  };
  if (!inRange(across) || !inRange(down)) return std::nullopt;
  return GridOption{false, {*across, *down}};
}

std::string MmText(double mm) {
  char buffer[32];
  const double rounded = std::round(mm * 100) / 100;
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 2);
  std::string text = ec == std::errc() ? std::string(buffer, end) : "0";
  while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) {
    const bool dot = text.back() == '.';
    text.pop_back();
    if (dot) break;
  }
  return text;
}

bool GridFitsSheet(const SheetGeometry& sheet, const GridCounts& grid) {
  constexpr double kSlackMm = 1e-6;
  const double width =
      (sheet.LabelWidthMm + sheet.GapHorizontalMm) * grid.Across - sheet.GapHorizontalMm;
  const double height =
      (sheet.LabelHeightMm + sheet.GapVerticalMm) * grid.Down - sheet.GapVerticalMm;
  return (grid.Across <= 1 ||
          width <= sheet.PaperWidthMm - sheet.MarginLeftMm - sheet.MarginRightMm + kSlackMm) &&
         (grid.Down <= 1 ||
          height <= sheet.PaperHeightMm - sheet.MarginTopMm - sheet.MarginBottomMm + kSlackMm);
}

}  // namespace labelplu::host
