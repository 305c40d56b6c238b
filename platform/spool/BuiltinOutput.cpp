// labelplu: output paths and options of the built-in printers.
#include "platform/spool/BuiltinOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cstdlib>

namespace labelplu::spool {
namespace {

std::string_view Trim(std::string_view s) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// A decimal number with '.' or ',' as separator, nothing else around it.
std::optional<double> ParseNumber(std::string_view text) {
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                        .trimmed()
                        .replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double value = s.toDouble(&ok);
  if (!ok || s.isEmpty()) return std::nullopt;
  return value;
}

[[noreturn]] void BadOption(std::string_view part, const char* why) {
  throw SpoolError("printer option \"" + std::string(part) + "\": " + why);
}

void ParseOption(std::string_view part, BuiltinOptions& options) {
  const size_t eq = part.find('=');
  if (eq == std::string_view::npos) BadOption(part, "expected key=value");
  const std::string key = Lower(Trim(part.substr(0, eq)));
  const std::string_view value = Trim(part.substr(eq + 1));
  if (key == "file") {
    if (value.empty()) BadOption(part, "the file name is empty");
    options.OutputPath = std::string(value);
  } else if (key == "paper") {
    QString v = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())).toLower();
    v.replace(QStringLiteral("mm"), QString()).replace(QChar(0x00D7), QLatin1Char('x'));
    v.replace(QLatin1Char('*'), QLatin1Char('x'));
    const QStringList sides = v.split(QLatin1Char('x'));
    if (sides.size() != 2) BadOption(part, "expected the paper as W x H in millimetres");
    const auto w = ParseNumber(sides[0].toStdString());
    const auto h = ParseNumber(sides[1].toStdString());
    if (!w || !h) BadOption(part, "expected the paper as W x H in millimetres");
    if (!(*w >= 1 && *w <= 5000 && *h >= 1 && *h <= 5000)) {
      BadOption(part, "each side must lie between 1 and 5000 mm");
    }
    options.PaperWidthMm = *w;
    options.PaperHeightMm = *h;
  } else if (key == "dpi") {
    const auto dpi = ParseNumber(value);
    if (!dpi || *dpi != static_cast<int32_t>(*dpi) || *dpi < 1 || *dpi > 4800) {
      BadOption(part, "the resolution must be a whole number from 1 to 4800");
    }
    options.Dpi = static_cast<int32_t>(*dpi);
  } else if (key == "verify") {
    const std::string flag = Lower(value);
    if (flag == "1" || flag == "yes" || flag == "true" || flag == "on") {
      options.Verify = true;
    } else if (flag == "0" || flag == "no" || flag == "false" || flag == "off") {
      options.Verify = false;
    } else {
      BadOption(part, "verify takes 1 or 0 (yes/no, true/false, on/off)");
    }
  } else {
    BadOption(part, "unknown key (file, paper, dpi, verify)");
  }
}

}  // namespace

ParsedPrinterName ParsePrinterName(std::string_view text) {
  ParsedPrinterName result;
  const size_t semi = text.find(';');
  result.Name = std::string(Trim(text.substr(0, semi)));
  if (semi == std::string_view::npos) return result;
  BuiltinOptions options;
  std::string_view rest = text.substr(semi + 1);
  while (true) {
    const size_t next = rest.find(';');
    const std::string_view part = Trim(rest.substr(0, next));
    if (!part.empty()) ParseOption(part, options);
    if (next == std::string_view::npos) break;
    rest = rest.substr(next + 1);
  }
  result.Options = options;
  return result;
}

std::string DefaultOutputFolder() {
  for (const char* name : {"XDG_DOCUMENTS_DIR", "HOME"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] == '/') return std::string(value) + "/labelplu";
  }
  throw SpoolError(
      "no output folder for the built-in printers: neither XDG_DOCUMENTS_DIR nor HOME is set");
}

std::string SafeFileName(std::string_view title) {
  std::string out;
  out.reserve(title.size());
  for (const char c : title) {
    const auto u = static_cast<unsigned char>(c);
    const bool unsafe = u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' ||
                        c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
    out += unsafe ? '_' : c;
  }
  const size_t first = out.find_first_not_of(" .");
  if (first == std::string::npos) return "labelplu";
  const size_t last = out.find_last_not_of(" .");
  return out.substr(first, last - first + 1);
}

std::string ResolveOutputPath(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  return DefaultOutputFolder() + "/" + path;
}

void MakeParentFolder(const std::string& printerName, const std::string& path) {
  const QString folder = QFileInfo(QString::fromStdString(path)).absolutePath();
  if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
    throw SpoolError("printer \"" + printerName + "\": cannot create the folder \"" +
                     folder.toStdString() + "\" for \"" + path + "\"");
  }
}

}  // namespace labelplu::spool
