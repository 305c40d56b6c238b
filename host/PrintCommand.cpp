#include "host/PrintCommand.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

#include "host/CheckCommand.h"
#include "host/CommandSupport.h"
#include "host/ConfigureCommands.h"
#include "host/CsvReader.h"
#include "host/FileText.h"
#include "host/HostCommands.h"
#include "host/HostError.h"
#include "host/HostMessages.h"
#include "host/JobLayout.h"
#include "host/ValueArrays.h"
#include "platform/xml/XmlDom.h"

namespace labelplu::host {

using ole::OleVariant;

namespace {

// The built-in PDF printer of the driver's print object.
constexpr const char* kPdfPrinter = "labelplu PDF";
constexpr double kDefaultSideMm = 50.0;

struct PrintArgs {
  std::string Template;
  std::string Data;
  std::vector<std::pair<std::string, std::string>> Sets;
  std::optional<std::string> Printer;
  std::optional<std::string> Output;
  std::optional<std::string> Paper;
  std::optional<std::string> Device;
  std::optional<std::string> Grid;
  bool Verify = false;
  CsvEncoding Encoding = CsvEncoding::Auto;
  bool Force = false;
};

// A failure of the run with its exit code.
class PrintError : public HostError {
 public:
  PrintError(int exitCode, const std::string& message) : HostError(message), m_code(exitCode) {}
  int ExitCode() const { return m_code; }

 private:
  int m_code;
};

// Parses the arguments; returns an exit code other than kExitOk after
// reporting a usage error. The preview takes the same options, a device as
// a bare word too, and needs no template or data.
int ParseArgs(std::span<const std::string> args, PrintArgs& out, bool preview = false) {
  const char* command = preview ? "preview" : "print";
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string name = arg;
    std::optional<std::string> value;
    if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const auto take = [&]() -> std::optional<std::string> {
      if (value) return value;
      if (i + 1 < args.size()) return args[++i];
      return std::nullopt;
    };
    if (arg == "--verify" || arg == "--force") {
      (arg == "--verify" ? out.Verify : out.Force) = true;
      continue;
    }
    if (name == "--encoding") {
      const std::optional<std::string> text = take();
      const auto encoding = text ? CsvEncodingFromName(*text) : std::nullopt;
      if (!encoding) return UsageError(Say(HostMessage::EncodingValues));
      out.Encoding = *encoding;
      continue;
    }
    std::optional<std::string>* target = nullptr;
    if (name == "--template" || name == "--data" || name == "--set") {
      const std::optional<std::string> text = take();
      if (!text || text->empty()) return UsageError(Say(HostMessage::CheckUsageValue, name));
      if (name == "--template") out.Template = *text;
      if (name == "--data") out.Data = *text;
      if (name == "--set") {
        const size_t eq = text->find('=');
        if (eq == std::string::npos || eq == 0) return UsageError(Say(HostMessage::CheckUsageSet));
        out.Sets.emplace_back(text->substr(0, eq), text->substr(eq + 1));
      }
      continue;
    }
    if (name == "--printer") target = &out.Printer;
    if (name == "--output") target = &out.Output;
    if (name == "--paper") target = &out.Paper;
    if (name == "--device") target = &out.Device;
    if (name == "--grid") target = &out.Grid;
    if (!target && preview && !arg.starts_with("-")) {
      if (out.Device) return UsageError(Say(HostMessage::PreviewTakesOneDevice));
      out.Device = arg;
      continue;
    }
    if (!target) return UsageError(Say(HostMessage::PrintUnknownArgument, command, arg));
    *target = take();
    if (!*target || (*target)->empty()) return UsageError(Say(HostMessage::CheckUsageValue, name));
  }
  const bool needsTemplate =
      !preview || (out.Grid && ParseGrid(*out.Grid) && ParseGrid(*out.Grid)->Automatic) ||
      (out.Paper && *out.Paper == "label");
  if (out.Template.empty() && needsTemplate) {
    return UsageError(Say(HostMessage::PrintNeedsTemplate, command));
  }
  if (out.Data.empty() && !preview) return UsageError(Say(HostMessage::PrintNeedsData));
  if (out.Printer && out.Output) return UsageError(Say(HostMessage::PrinterOrOutput));
  if (out.Paper && !out.Output) return UsageError(Say(HostMessage::PaperNeedsOutput));
  // The printer name carries the output file among ';'-separated options.
  if (out.Output && out.Output->find(';') != std::string::npos) {
    return UsageError(Say(HostMessage::OutputSemicolon));
  }
  if (out.Paper && *out.Paper != "label" && !PaperByName(*out.Paper)) {
    return UsageError(Say(HostMessage::PaperUsage));
  }
  if (out.Grid && !ParseGrid(*out.Grid))
    return UsageError(Say(HostMessage::GridUsage, kMaxGridCount));
  return kExitOk;
}

RequestResult Must(RequestResult result, const std::string& what) {
  if (!result.Ok) {
    throw PrintError(kExitFailed, what + ": " + FailureText(result));
  }
  return result;
}

int32_t ReadInt(PluginHost& host, const char* name) {
  return ole::VarToInt32(Must(host.Get(name), name).Result.get());
}

RequestResult Call1(PluginHost& host, const char* name, const OleVariant& arg) {
  return host.Call(name, std::span(&arg, 1));
}

// Makes the device of the job current and switches it on.
void PrepareDevice(PluginHost& host, const PrintArgs& args) {
  if (args.Device) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::string& key = *args.Device;
    const OleVariant arg = key.size() <= 9 && std::all_of(key.begin(), key.end(), digit)
                               ? OleVariant(static_cast<int32_t>(std::stol(key)))
                               : OleVariant(std::string_view(key));
    const RequestResult chosen = Call1(host, "ChoiceDevice", arg);
    if (!chosen.Ok)
      throw PrintError(kExitFailed, Say(HostMessage::NoSuchDevice, key, chosen.Message));
  } else {
    if (ReadInt(host, "DevicesQuantity") == 0) {
      Must(Call1(host, "AddDevice", OleVariant("<Устройство/>")), "AddDevice");
    }
    Must(Call1(host, "ChoiceDevice", OleVariant(1)), "ChoiceDevice");
  }
  Must(Call1(host, "SwitchOn", OleVariant(0)), "SwitchOn");
}

// Sets a parameter of the current device through its property table.
void SetDeviceParam(PluginHost& host, const std::string& name, const std::string& value) {
  const ole::ComPtr<ISafeArray> change = NewValueArray(1, 7);
  SetCell(change.get(), 0, 0, OleVariant(std::string_view(name)));
  SetCell(change.get(), 0, 3, OleVariant("String"));
  SetCell(change.get(), 0, 4, OleVariant(std::string_view(value)));
  SetCell(change.get(), 0, 5, OleVariant(false));
  Must(Call1(host, "SetProps", OleVariant(static_cast<IDispatch*>(change.get()))), "SetProps");
}

// A parameter of the current device as its property table (GetProps)
// holds it; empty when the table has no such row.
std::string DeviceParam(PluginHost& host, const std::string& name) {
  const OleVariant none;
  const RequestResult props = Must(host.Call("GetProps", std::span(&none, 1)), "GetProps");
  const ole::ComPtr<ISafeArray> table =
      props.Args.empty() ? nullptr : AsValueArray(props.Args[0].get());
  if (!table) throw PrintError(kExitFailed, Say(HostMessage::PropsNoArray));
  int32_t rows = 0;
  int32_t cols = 0;
  GetBounds(table.get(), &rows, &cols);
  for (int32_t row = 1; cols >= 5 && row < rows; ++row) {
    if (ole::VarToText(GetCell(table.get(), row, 0).get()) == name) {
      return ole::VarToText(GetCell(table.get(), row, 4).get());
    }
  }
  return {};
}

std::string PdfPrinterName(const PrintArgs& args, const std::string& templatePath) {
  std::error_code ec;
  const std::string file = std::filesystem::absolute(*args.Output, ec).string();
  if (ec) throw HostError(Say(HostMessage::NoAbsolutePath, *args.Output));
  std::string name = std::string(kPdfPrinter) + "; file=" + file;
  if (args.Paper) {
    double width = 0, height = 0;
    if (*args.Paper == "label") {
      TemplateSize(templatePath, width, height);
    } else if (const auto paper = PaperByName(*args.Paper)) {
      width = paper->WidthMm;
      height = paper->HeightMm;
    }
    name += "; paper=" + MmText(width) + "x" + MmText(height);
  }
  return name;
}

// A number the device's property table holds ("2,5"); fallback when it
// holds none.
double DeviceNumber(PluginHost& host, const char* name, double fallback) {
  return ParseMm(DeviceParam(host, name)).value_or(fallback);
}

// Sets the labels across and down of the job (--grid: as given, or as many
// as fit the paper, counted as the settings dialog's automatic placement
// counts them) and says when the paper holds more labels than the job
// places. The paper is known for the built-in printers only. Returns the
// job's counts.
GridCounts ApplyJobGrid(PluginHost& host, const PrintArgs& args, const std::string& templatePath,
                        const std::optional<std::string>& printerName) {
  const std::optional<GridOption> parsed = args.Grid ? ParseGrid(*args.Grid) : std::nullopt;
  const bool automatic = parsed && parsed->Automatic;
  const std::optional<GridCounts> given =
      parsed && !automatic ? std::optional(parsed->Counts) : std::nullopt;
  const std::string printer = printerName ? *printerName : DeviceParam(host, "PrinterName");
  const std::optional<PaperSize> paper = BuiltinPrinterPaper(printer);
  if (automatic && !paper) {
    throw PrintError(kExitUsage,
                     Say(HostMessage::GridAutoNeedsPaper, printer.substr(0, printer.find(';'))));
  }
  const auto storedCount = [&](const char* name) {
    return static_cast<int32_t>(std::clamp(DeviceNumber(host, name, 1), 0.0, 1e9));
  };
  GridCounts counts{storedCount("MaxHorizontal"), storedCount("MaxVertical")};
  if (given) counts = *given;
  // The label's size for the count; a template this reading cannot size
  // is left to the driver, which says what is wrong with it, unless the
  // count is asked for.
  double labelWidth = 0;
  double labelHeight = 0;
  bool sized = false;
  if (paper && !templatePath.empty()) {
    try {
      TemplateSize(templatePath, labelWidth, labelHeight);
      sized = true;
    } catch (const HostError&) {
      if (automatic) throw;
    }
  }
  if (sized) {
    SheetGeometry sheet{.PaperWidthMm = paper->WidthMm,
                        .PaperHeightMm = paper->HeightMm,
                        .LabelWidthMm = labelWidth,
                        .LabelHeightMm = labelHeight,
                        .GapHorizontalMm = DeviceNumber(host, "GapHorizontal", 2),
                        .GapVerticalMm = DeviceNumber(host, "GapVertical", 2),
                        .MarginLeftMm = DeviceNumber(host, "MarginLeft", 1),
                        .MarginRightMm = DeviceNumber(host, "MarginRight", 1),
                        .MarginTopMm = DeviceNumber(host, "MarginTop", 1),
                        .MarginBottomMm = DeviceNumber(host, "MarginBottom", 1)};
    const GridCounts fit = AutomaticGrid(sheet);
    if (automatic) counts = fit;
    const auto mm = [](double value) { return MmText(value); };
    if (given && !GridFitsSheet(sheet, counts)) {
      throw PrintError(kExitUsage,
                       Say(HostMessage::GridBeyondPaper, counts.Across, counts.Down,
                           mm(paper->WidthMm), mm(paper->HeightMm), mm(sheet.LabelWidthMm),
                           mm(sheet.LabelHeightMm), fit.Across, fit.Down));
    }
    // The device's stored counts may come from a larger paper; labels off
    // the page are lost, so the job stops as for --grid unless forced.
    if (!parsed && !GridFitsSheet(sheet, counts)) {
      const std::string why = Say(HostMessage::StoredGridBeyondPaper, counts.Across, counts.Down,
                                  mm(paper->WidthMm), mm(paper->HeightMm), mm(sheet.LabelWidthMm),
                                  mm(sheet.LabelHeightMm), fit.Across, fit.Down);
      if (!args.Force) throw PrintError(kExitFailed, why);
      Report(why);
      Report(Say(HostMessage::StoredGridForced));
    }
    if (int64_t{counts.Across} * counts.Down < int64_t{fit.Across} * fit.Down) {
      Report(Say(HostMessage::GridHint, mm(paper->WidthMm), mm(paper->HeightMm), fit.Across,
                 fit.Down, mm(sheet.LabelWidthMm), mm(sheet.LabelHeightMm), counts.Across,
                 counts.Down));
    }
  }
  if (parsed) {
    SetDeviceParam(host, "MaxHorizontal", std::to_string(counts.Across));
    SetDeviceParam(host, "MaxVertical", std::to_string(counts.Down));
    std::cout << Say(HostMessage::GridUsed, counts.Across, counts.Down) << std::endl;
  }
  return counts;
}

OleVariant TableArg(const ole::ComPtr<ISafeArray>& table) {
  return OleVariant(static_cast<IDispatch*>(table.get()));
}

// The one-column value array of the job: common parameters, field names,
// records.
ole::ComPtr<ISafeArray> JobArray(const PrintArgs& args, const std::string& templatePath,
                                 const PrintTables& tables) {
  const auto common = NewValueArray(static_cast<int64_t>(args.Sets.size()) + 1, 2);
  SetCell(common.get(), 0, 0, OleVariant("Шаблон"));
  SetCell(common.get(), 0, 1, OleVariant(std::string_view(templatePath)));
  for (size_t i = 0; i < args.Sets.size(); ++i) {
    const auto row = static_cast<int32_t>(i + 1);
    SetCell(common.get(), row, 0, OleVariant(std::string_view(args.Sets[i].first)));
    SetCell(common.get(), row, 1, OleVariant(std::string_view(args.Sets[i].second)));
  }
  const auto fieldCount = static_cast<int64_t>(tables.FieldNames.size());
  const auto names = NewValueArray(fieldCount, 1);
  for (int64_t j = 0; j < fieldCount; ++j) {
    SetCell(names.get(), static_cast<int32_t>(j), 0,
            OleVariant(std::string_view(tables.FieldNames[static_cast<size_t>(j)])));
  }
  if (static_cast<int64_t>(tables.Records.size()) * std::max<int64_t>(fieldCount, 1) >
      kMaxValueArrayCells) {
    throw PrintError(kExitUsage, Say(HostMessage::DataTooManyCells, kMaxValueArrayCells));
  }
  const auto records = NewValueArray(static_cast<int64_t>(tables.Records.size()), fieldCount);
  for (size_t i = 0; i < tables.Records.size(); ++i) {
    for (size_t j = 0; j < tables.Records[i].size(); ++j) {
      SetCell(records.get(), static_cast<int32_t>(i), static_cast<int32_t>(j),
              OleVariant(std::string_view(tables.Records[i][j])));
    }
  }
  auto job = NewValueArray(3, 1);
  SetCell(job.get(), 0, 0, TableArg(common));
  SetCell(job.get(), 1, 0, TableArg(names));
  SetCell(job.get(), 2, 0, TableArg(records));
  return job;
}

int RunPrint(const HostOptions& options, const PrintArgs& args) {
  std::error_code ec;
  const std::string templatePath = std::filesystem::absolute(args.Template, ec).string();
  if (ec || !std::filesystem::is_regular_file(templatePath, ec)) {
    throw PrintError(kExitUsage, Say(HostMessage::TemplateNotReadable, args.Template));
  }
  // Everything is read and checked before the plug-in prints anything.
  PrintTables tables;
  CsvEncoding encoding = args.Encoding;
  try {
    tables = TablesFromCsv(ReadFileBytes(args.Data), args.Data, args.Encoding, &encoding);
  } catch (const HostError& e) {
    throw PrintError(kExitUsage, e.what());
  }
  if (args.Encoding == CsvEncoding::Auto && encoding == CsvEncoding::Cp1251) {
    Report(Say(HostMessage::CsvReadAsCp1251, args.Data));
  }
  if (tables.Records.empty())
    throw PrintError(kExitFailed, Say(HostMessage::CsvNoRecords, args.Data));
  std::optional<std::string> printerName = args.Printer;
  if (args.Output) {
    try {
      printerName = PdfPrinterName(args, templatePath);
    } catch (const HostError& e) {
      throw PrintError(kExitUsage, e.what());
    }
  }

  auto session = OpenSession(options);
  if (!session) return kExitUsage;
  PluginHost& host = session->Host();
  PrepareDevice(host, args);
  if (printerName) SetDeviceParam(host, "PrinterName", *printerName);
  ApplyJobGrid(host, args, templatePath, printerName);
  // The check is an option of the printer name; options begin after the
  // first ';', so it is added to whatever name the device prints on.
  if (args.Verify) {
    SetDeviceParam(host, "PrinterName",
                   (printerName ? *printerName : DeviceParam(host, "PrinterName")) + "; verify=1");
  }

  // The template and the data are checked at the printer's resolution
  // before the plug-in prints anything.
  JobCheck check;
  check.TemplatePath = args.Template;
  check.TemplateValue = templatePath;
  check.Tables = &tables;
  check.Sets = args.Sets;
  check.PluginPath = host.Path();
  check.Dpi = PrinterDpi(printerName ? *printerName : DeviceParam(host, "PrinterName"));
  const CheckReport report = CheckJob(check, std::cerr, false);
  if (report.Errors > 0) {
    if (!args.Force) {
      Report(Say(HostMessage::PrintStopped, report.Errors));
      return kExitFailed;
    }
    Report(Say(HostMessage::PrintForced, report.Errors));
  }

  const ole::ComPtr<ISafeArray> job = JobArray(args, templatePath, tables);
  // The value arrays hold the records now; the host's copy can go before
  // the job runs.
  const size_t recordCount = tables.Records.size();
  std::vector<std::vector<std::string>>().swap(tables.Records);
  const RequestResult printed = Call1(host, "ExecutePrint", TableArg(job));
  if (!printed.Ok) {
    std::cout << "Result " << (printed.Code ? std::to_string(*printed.Code) : "-") << ": "
              << printed.Message << std::endl;
    return kExitFailed;
  }
  const int32_t code = ole::VarToInt32(printed.Result.get());
  const RequestResult text = Call1(host, "ResultDescription", OleVariant(code));
  std::cout << "Result " << code << ": " << (text.Ok ? ole::VarToText(text.Result.get()) : "")
            << std::endl;
  if (code == 0) {
    const auto count = static_cast<int64_t>(recordCount);
    std::cout << (args.Output ? Say(HostMessage::RecordsPrintedInto, count, *args.Output)
                              : Say(HostMessage::RecordsPrinted, count))
              << std::endl;
  }
  return code == 0 ? kExitOk : kExitFailed;
}

// The preview: the device prepared as print prepares it, then the driver's
// preview of that device's page.
int RunPreview(const HostOptions& options, const PrintArgs& args) {
  // Without a display the driver cancels its dialog at once, which would
  // read as a preview shown and closed.
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
  };
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if ((!set("DISPLAY") && !set("WAYLAND_DISPLAY")) ||
      (platform != nullptr &&
       (std::string_view(platform) == "offscreen" || std::string_view(platform) == "minimal"))) {
    throw PrintError(kExitFailed, Say(HostMessage::PreviewNeedsDisplay));
  }
  std::string templatePath;
  if (!args.Template.empty()) {
    std::error_code ec;
    templatePath = std::filesystem::absolute(args.Template, ec).string();
    if (ec || !std::filesystem::is_regular_file(templatePath, ec)) {
      throw PrintError(kExitUsage, Say(HostMessage::TemplateNotReadable, args.Template));
    }
  }
  // The data is read as print reads it, so that what print would refuse is
  // refused here too.
  if (!args.Data.empty()) {
    try {
      TablesFromCsv(ReadFileBytes(args.Data), args.Data, args.Encoding);
    } catch (const HostError& e) {
      throw PrintError(kExitUsage, e.what());
    }
  }
  std::optional<std::string> printerName = args.Printer;
  if (args.Output) {
    try {
      printerName = PdfPrinterName(args, templatePath);
    } catch (const HostError& e) {
      throw PrintError(kExitUsage, e.what());
    }
  }
  auto session = OpenSession(options);
  if (!session) return kExitUsage;
  PluginHost& host = session->Host();
  PrepareDevice(host, args);
  if (printerName) SetDeviceParam(host, "PrinterName", *printerName);
  if (!templatePath.empty()) SetDeviceParam(host, "ШаблонПоУмолчанию", templatePath);
  const GridCounts counts = ApplyJobGrid(host, args, templatePath, printerName);
  std::cout << Say(HostMessage::PreviewLayout, counts.Across, counts.Down) << std::endl;
  return ShowCurrentDevicePreview(*session);
}

template <class Run>
int Guarded(Run run) {
  try {
    return run();
  } catch (const PrintError& e) {
    Report(e.what());
    return e.ExitCode();
  } catch (const std::exception& e) {
    Report(e.what());
    return kExitFailed;
  }
}

}  // namespace

void TemplateSize(const std::string& path, double& width, double& height) {
  constexpr uintmax_t kMaxTemplateBytes = uintmax_t{64} << 20;
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxTemplateBytes) throw HostError(Say(HostMessage::TemplateTooLarge, path));
  std::string bytes = ReadFileBytes(path);
  // The file is Windows-1251 or UTF-8; the sizes are plain ASCII numbers, so
  // every other byte may stand in as '?' for the XML parser, which wants
  // UTF-8. A UTF-8 byte-order mark goes first, as the driver drops it too.
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  for (char& c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  xml::XmlDocument document;
  try {
    document.loadXML(bytes);
  } catch (const std::exception& e) {
    throw HostError(Say(HostMessage::TemplateNotXml, path, e.what()));
  }
  const xml::XmlNode root = document.documentElement();
  if (!root || root.nodeName() != "Label") {
    throw HostError(Say(HostMessage::TemplateNotLabel, path));
  }
  const auto side = [&](const char* name) {
    const auto value = ParseMm(root.getAttribute(name).value_or(""));
    return value && *value > 0 && *value <= kMaxPaperSideMm ? *value : kDefaultSideMm;
  };
  width = side("Width");
  height = side("Height");
}

int PrintCommand(const HostOptions& options, std::span<const std::string> args) {
  PrintArgs parsed;
  if (const int status = ParseArgs(args, parsed); status != kExitOk) return status;
  return Guarded([&] { return RunPrint(options, parsed); });
}

int PreviewCommand(const HostOptions& options, std::span<const std::string> args) {
  PrintArgs parsed;
  if (const int status = ParseArgs(args, parsed, true); status != kExitOk) return status;
  return Guarded([&] { return RunPreview(options, parsed); });
}

}  // namespace labelplu::host
