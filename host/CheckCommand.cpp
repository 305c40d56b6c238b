#include "host/CheckCommand.h"

#include <QGuiApplication>

#include <array>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "base/TextUtils.h"
#include "host/CommandSupport.h"
#include "host/FileText.h"
#include "host/HostCommands.h"
#include "host/HostError.h"
#include "host/HostMessages.h"
#include "host/PluginHost.h"
#include "label/TemplateError.h"
#include "label/TemplateFile.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/spool/BuiltinOutput.h"
#include "platform/spool/PrintObject.h"
#include "platform/sys/ModulePath.h"

namespace labelplu::host {

namespace {

constexpr int32_t kPdfDpi = 300;
constexpr int32_t kRasterDpi = 203;
constexpr int32_t kMinDpi = 50;
constexpr int32_t kMaxDpi = 4800;

// The check prepares barcodes with their human-readable lines, which needs
// fonts and so a QGuiApplication. labelhost has none of its own: one is
// made for the check (never on a display) and removed before the plug-in
// makes the application it prints with.
class CheckApplication {
 public:
  CheckApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 3;
    static char program[] = "labelhost";
    static char platformOption[] = "-platform";
    static char offscreen[] = "offscreen";
    static char* argv[] = {program, platformOption, offscreen, nullptr};
    m_app = std::make_unique<QGuiApplication>(argc, argv);
  }
  ~CheckApplication() {
    // The print object of this process (not the plug-in's) goes before the
    // application it was made with.
    if (m_app) spool::PrintObject::ReleaseInstance();
  }
  CheckApplication(const CheckApplication&) = delete;
  CheckApplication& operator=(const CheckApplication&) = delete;

 private:
  std::unique_ptr<QGuiApplication> m_app;
};

// The folder the plug-in looks for picture files in: its own file's, with
// links resolved as the loader resolves them.
std::string PluginFolder(const std::string& pluginPath) {
  const std::string path = pluginPath.empty() ? PluginHost::DefaultPluginPath() : pluginPath;
  std::error_code ec;
  const std::filesystem::path resolved = std::filesystem::canonical(path, ec);
  const std::string file = ec ? std::filesystem::absolute(path, ec).string() : resolved.string();
  return sys::ExtractFileDir(file);
}

std::string PictureText(const CheckProblem& p) {
  const std::string file = p.Names.empty() ? std::string() : p.Names.front();
  return p.Detail.empty() ? Say(HostMessage::CheckPictureNotFound, p.Value, file)
                          : Say(HostMessage::CheckPictureUnreadable, p.Value, p.Detail);
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string ItemText(const CheckItem& item) {
  if (item.Number == 0) return {};
  std::string text = item.ClassName + " #" + std::to_string(item.Number);
  if (!item.Source.empty()) text += " (" + item.Source + ")";
  return text;
}

std::string Joined(const std::vector<std::string>& names, std::string_view separator) {
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text += separator;
    text += name;
  }
  return text;
}

std::string MessageOf(const CheckProblem& p, int32_t dpi) {
  switch (p.Kind) {
    case CheckKind::NotLoaded:
      return Say(HostMessage::CheckNotLoaded, p.Detail);
    case CheckKind::Utf8Undeclared:
      return Say(HostMessage::CheckUtf8Undeclared);
    case CheckKind::UnknownClass:
      return Say(HostMessage::CheckUnknownClass, p.Name, Joined(p.Names, ", "));
    case CheckKind::IncompleteSetting:
      return Say(HostMessage::CheckIncompleteSetting, p.Name, p.Value);
    case CheckKind::UnknownProperty:
      return Say(HostMessage::CheckUnknownProperty, p.Name, Joined(p.Names, ", "));
    case CheckKind::EmptyValue:
      return Say(HostMessage::CheckEmptyValue, p.Name);
    case CheckKind::BadValue: {
      const std::string why =
          p.Names.empty() ? p.Detail
                          : Say(HostMessage::CheckAllowedValues, p.Detail, Joined(p.Names, ", "));
      return Say(HostMessage::CheckBadValue, p.Name, p.Value, why);
    }
    case CheckKind::OutsideLabel:
      return Say(HostMessage::CheckOutsideLabel, p.Value, p.Detail);
    case CheckKind::PartlyOutside:
      return Say(HostMessage::CheckPartlyOutside, p.Value, p.Detail);
    case CheckKind::BarcodeFails:
      return Say(HostMessage::CheckBarcodeFails, p.Value, p.Detail);
    case CheckKind::BarcodeTooLarge:
      return Say(HostMessage::CheckBarcodeTooLarge, p.Value, p.Detail, dpi);
    case CheckKind::UnfedSource: {
      std::vector<std::string> quoted;
      for (const std::string& name : p.Names) quoted.push_back(Quoted(name));
      return Say(HostMessage::CheckUnfedSource, p.Name, p.Value,
                 Joined(quoted, HostMessagePattern(HostMessage::CheckNamesOr)));
    }
    case CheckKind::UnusedField:
      return Say(HostMessage::CheckUnusedField, p.Name);
    case CheckKind::UnusedCommonValue:
      return Say(HostMessage::CheckUnusedCommonValue, p.Name);
    case CheckKind::RecordFails:
      return Say(HostMessage::CheckRecordFails, p.Record, p.Name, p.Value, p.Detail);
    case CheckKind::PictureNotFound:
      return PictureText(p);
    case CheckKind::RecordPictureNotFound:
      return Say(HostMessage::CheckRecordPicture, p.Record, p.Name, PictureText(p));
    case CheckKind::Count:
      break;
  }
  return {};
}

std::string SeverityText(CheckKind kind) {
  return Say(SeverityOf(kind) == CheckSeverity::Error ? HostMessage::CheckSeverityError
                                                      : HostMessage::CheckSeverityWarning);
}

// "FILE:LINE: error: ITEM: MESSAGE", the parts that are unknown left out.
void WriteProblem(std::ostream& out, const std::string& file, const CheckProblem& p, int32_t dpi) {
  out << file;
  if (p.Line > 0) out << ':' << p.Line;
  out << ": " << SeverityText(p.Kind) << ": ";
  if (const std::string item = ItemText(p.Item); !item.empty()) out << item << ": ";
  out << MessageOf(p, dpi) << '\n';
}

void WriteReport(std::ostream& out, const std::string& file, const CheckReport& report,
                 int32_t dpi) {
  // The note on problems not listed follows the last listed one of its kind.
  std::array<size_t, static_cast<size_t>(CheckKind::Count)> last{};
  for (size_t i = 0; i < report.Problems.size(); ++i)
    last[static_cast<size_t>(report.Problems[i].Kind)] = i;
  for (size_t i = 0; i < report.Problems.size(); ++i) {
    const CheckProblem& p = report.Problems[i];
    WriteProblem(out, file, p, dpi);
    const auto kind = static_cast<size_t>(p.Kind);
    if (last[kind] == i && report.Unlisted[kind] > 0)
      out << file << ": " << SeverityText(p.Kind) << ": "
          << Say(HostMessage::CheckUnlisted, report.Unlisted[kind]) << '\n';
  }
}

int32_t AskPrinterDpi(const std::string& printerName) {
  const spool::ParsedPrinterName parsed = spool::ParsePrinterName(printerName);
  const int32_t asked = parsed.Options ? parsed.Options->Dpi : 0;
  if (SameTextAscii(parsed.Name, spool::kPdfPrinterName)) return asked > 0 ? asked : kPdfDpi;
  if (SameTextAscii(parsed.Name, spool::kRasterPrinterName)) return asked > 0 ? asked : kRasterDpi;
  // A queue of the spooler (the first one for an empty name, as the driver
  // takes it), asked the way the driver asks it.
  spool::PrintObject& printers = spool::PrintObject::Instance();
  printers.SelectPrinterByName(printerName);
  const int32_t dpi = printers.GetDeviceCaps(gdi::LOGPIXELSX);
  if (dpi < 1) throw spool::SpoolError(Say(HostMessage::NoResolution));
  return dpi;
}

std::optional<int32_t> ParseDpi(const std::string& text) {
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < kMinDpi || value > kMaxDpi) return std::nullopt;
  return value;
}

struct CheckArgs {
  std::string Template;
  std::optional<std::string> Data;
  std::vector<std::pair<std::string, std::string>> Sets;
  int32_t Dpi = kCheckDefaultDpi;
  CsvEncoding Encoding = CsvEncoding::Auto;
};

int ParseCheckArgs(std::span<const std::string> args, CheckArgs& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string name = arg;
    std::optional<std::string> value;
    if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    if (name == "--encoding") {
      if (!value && i + 1 < args.size()) value = args[++i];
      const auto encoding = value ? CsvEncodingFromName(*value) : std::nullopt;
      if (!encoding) return UsageError(Say(HostMessage::EncodingValues));
      out.Encoding = *encoding;
      continue;
    }
    if (name == "--data" || name == "--set" || name == "--dpi") {
      if (!value && i + 1 < args.size()) value = args[++i];
      if (!value || value->empty()) return UsageError(Say(HostMessage::CheckUsageValue, name));
      if (name == "--data") out.Data = *value;
      if (name == "--dpi") {
        const std::optional<int32_t> dpi = ParseDpi(*value);
        if (!dpi) return UsageError(Say(HostMessage::CheckUsageDpi));
        out.Dpi = *dpi;
      }
      if (name == "--set") {
        const size_t eq = value->find('=');
        if (eq == std::string::npos || eq == 0) return UsageError(Say(HostMessage::CheckUsageSet));
        out.Sets.emplace_back(value->substr(0, eq), value->substr(eq + 1));
      }
      continue;
    }
    if (arg.starts_with("-") || !out.Template.empty())
      return UsageError(Say(HostMessage::CheckUsageArgument, arg));
    out.Template = arg;
  }
  if (out.Template.empty()) return UsageError(Say(HostMessage::CheckUsageTemplate));
  return kExitOk;
}

}  // namespace

int32_t PrinterDpi(const std::string& printerName) {
  const CheckApplication app;
  try {
    return AskPrinterDpi(printerName);
  } catch (const spool::PrinterNotFound&) {
    // The driver says so when it selects the printer, and prints nothing.
    return kCheckDefaultDpi;
  } catch (const std::exception& e) {
    Report(Say(HostMessage::CheckDpiUnknown, printerName, e.what(), kCheckDefaultDpi));
    return kCheckDefaultDpi;
  }
}

CheckReport CheckJob(const JobCheck& job, std::ostream& out, bool summary) {
  std::string bytes;
  try {
    bytes = ReadTemplateFileBytes(job.TemplatePath);
  } catch (const TemplateError& e) {
    throw HostError(Say(HostMessage::CheckTemplateUnreadable, job.TemplatePath, e.Reason()));
  }
  CheckData data;
  CheckInput input;
  input.Dpi = job.Dpi;
  input.PictureFolder = PluginFolder(job.PluginPath);
  if (job.Tables != nullptr) {
    data.FieldNames = job.Tables->FieldNames;
    data.Records = &job.Tables->Records;
    data.Common.emplace_back(std::string(kTemplateValue), job.TemplateValue);
    data.Common.insert(data.Common.end(), job.Sets.begin(), job.Sets.end());
    input.Data = &data;
  }
  CheckReport report;
  {
    const CheckApplication app;
    report = CheckTemplate(bytes, job.TemplatePath, input);
  }
  WriteReport(out, job.TemplatePath, report, job.Dpi);
  if (summary)
    out << job.TemplatePath << ": "
        << Say(HostMessage::CheckSummary, report.Errors, report.Warnings) << '\n';
  out.flush();
  return report;
}

int CheckCommand(const HostOptions& options, std::span<const std::string> args) {
  CheckArgs parsed;
  if (const int status = ParseCheckArgs(args, parsed); status != kExitOk) return status;
  try {
    std::optional<PrintTables> tables;
    if (parsed.Data) {
      CsvEncoding chosen = parsed.Encoding;
      tables = TablesFromCsv(ReadFileBytes(*parsed.Data), *parsed.Data, parsed.Encoding, &chosen);
      if (parsed.Encoding == CsvEncoding::Auto && chosen == CsvEncoding::Cp1251)
        Report(Say(HostMessage::CsvReadAsCp1251, *parsed.Data));
    }
    JobCheck job;
    job.TemplatePath = parsed.Template;
    std::error_code ec;
    job.TemplateValue = std::filesystem::absolute(parsed.Template, ec).string();
    job.Tables = tables ? &*tables : nullptr;
    job.Sets = parsed.Sets;
    job.Dpi = parsed.Dpi;
    job.PluginPath = options.PluginPath;
    const CheckReport report = CheckJob(job, std::cout, true);
    return report.Errors > 0 ? kExitFailed : kExitOk;
  } catch (const HostError& e) {
    Report(e.what());
    return kExitUsage;
  }
}

}  // namespace labelplu::host
