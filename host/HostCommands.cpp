#include "host/HostCommands.h"

#include <fstream>
#include <iostream>
#include <memory>

#include "host/CheckCommand.h"
#include "host/CommandSupport.h"
#include "host/ConfigureCommands.h"
#include "host/DeviceCommands.h"
#include "host/HostError.h"
#include "host/HostMessages.h"
#include "host/PluginHost.h"
#include "host/PrintCommand.h"
#include "host/ScriptRunner.h"

namespace labelplu::host {

using nlohmann::json;

namespace {

int RunCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.size() != 1) return UsageError(Say(HostMessage::RunTakesOneScript));
  const std::string& source = args[0];
  std::ifstream file;
  std::istream* in = &std::cin;
  std::filesystem::path baseDir;
  if (source != "-") {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(source, ec)) {
      Report(Say(HostMessage::ScriptNotReadable, source));
      return kExitUsage;
    }
    file.open(source, std::ios::binary);
    if (!file) {
      Report(Say(HostMessage::ScriptCannotRead, source));
      return kExitUsage;
    }
    in = &file;
    baseDir = std::filesystem::path(source).parent_path();
  }
  auto session = OpenSession(options);
  if (!session) return kExitUsage;
  // Reading requests change no device; every other one may.
  const AfterRequest store = [&](const HostRequest& request) {
    return request.Kind == RequestKind::Get || StoreChanges(*session);
  };
  const bool ok = RunScript(session->Host(), *in, source == "-" ? "<stdin>" : source, baseDir,
                            std::cout, std::cerr, store);
  return ok ? kExitOk : kExitFailed;
}

// A command-line argument: its JSON value, or the word itself as a string
// when it is not valid JSON.
json ArgumentValue(const std::string& word) {
  json value = json::parse(word, nullptr, false);
  if (value.is_discarded()) return json(word);
  return value;
}

int SingleRequest(const HostOptions& options, RequestKind kind, std::span<const std::string> args) {
  HostRequest request;
  request.Kind = kind;
  request.Name = args[0];
  for (size_t i = 1; i < args.size(); ++i) request.Args.push_back(ArgumentValue(args[i]));
  auto session = OpenSession(options);
  if (!session) return kExitUsage;
  bool ok = false;
  std::cout << AnswerLine(ExecuteRequest(session->Host(), request, {}, ok)) << std::endl;
  if (kind != RequestKind::Get && !StoreChanges(*session)) ok = false;
  return ok ? kExitOk : kExitFailed;
}

int CallCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.empty() || args[0].empty()) return UsageError(Say(HostMessage::CallNeedsName));
  return SingleRequest(options, RequestKind::Call, args);
}

int GetCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.size() != 1 || args[0].empty()) return UsageError(Say(HostMessage::GetTakesName));
  return SingleRequest(options, RequestKind::Get, args);
}

int SetCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.size() != 2 || args[0].empty()) {
    return UsageError(Say(HostMessage::SetTakesNameValue));
  }
  return SingleRequest(options, RequestKind::Set, args);
}

const HostCommand kCommands[] = {
    {"run", "FILE|-", "run the requests of a JSON-lines script (- reads standard input)",
     RunCommand},
    {"call", "NAME [ARG...]", "call one method", CallCommand},
    {"get", "NAME", "read one property", GetCommand},
    {"set", "NAME VALUE", "write one property", SetCommand},
    {"devices", "", "list the devices with their parameters", DevicesCommand},
    {"add", "[FILE]", "add a device from a settings document (default settings without FILE)",
     AddCommand},
    {"delete", "N|NAME", "delete a device", DeleteCommand},
    {"select", "N|NAME", "select a device and show which one it is", SelectCommand},
    {"on", "[N|NAME]", "switch a device on (for this run only)", OnCommand},
    {"off", "[N|NAME]", "switch a device off (for this run only)", OffCommand},
    {"param", "[--device N|NAME] NAME VALUE", "set a parameter of a device", ParamCommand},
    {"show-settings", "", "print the stored settings document", ShowSettingsCommand},
    {"configure", "[N|NAME]",
     "show the settings dialog of a device (a new device when there is none)", ConfigureCommand},
    {"preview", "[N|NAME] [print's options]",
     "show the page print lays out, in the driver's preview window", PreviewCommand},
    {"print",
     "--template FILE --data FILE.csv [--set NAME=VALUE]... [--printer NAME | --output FILE.pdf] "
     "[--paper A4|A5|A6|Letter|WxH|label] [--grid CxR|auto] [--device N|NAME] [--verify] "
     "[--force] [--encoding auto|utf-8|cp1251]",
     "print a label template filled from a CSV file", PrintCommand},
    {"check",
     "TEMPLATE [--data FILE.csv] [--set NAME=VALUE]... [--dpi N] [--encoding auto|utf-8|cp1251]",
     "check a template, and the data for it, for what would print wrong labels", CheckCommand},
};

}  // namespace

std::span<const HostCommand> HostCommands() {
  return kCommands;
}

std::string HostHelpText() {
  std::string text =
      "Usage: labelhost [--plugin PATH] [--settings FILE] COMMAND [ARG...]\n"
      "\n"
      "Loads the labelplu plug-in, hands it the stored device settings and sends it\n"
      "requests. run, call, get and set print one JSON line per request on standard\n"
      "output: {\"ok\": true, \"result\": R, \"args\": [...]} or\n"
      "{\"ok\": false, \"code\": N|null, \"message\": TEXT}. The device commands print\n"
      "readable lines; messages go to standard error.\n"
      "\n"
      "Options:\n"
      "  --plugin PATH   the plug-in module (default: labelplu.plu beside labelhost)\n"
      "  --settings FILE the settings file (default:\n"
      "                  $XDG_CONFIG_HOME/labelplu/settings.xml, ~/.config when\n"
      "                  XDG_CONFIG_HOME is not set)\n"
      "  --help          show this text\n"
      "\n"
      "Commands:\n";
  for (const HostCommand& command : kCommands) {
    std::string head = std::string("  ") + command.Name + " " + command.Usage;
    if (head.size() < 24)
      head.resize(24, ' ');
    else
      head += "\n" + std::string(24, ' ');
    text += head + command.Summary + "\n";
  }
  text +=
      "\n"
      "Devices: a device is named by its number (from 1) or its name (any letter\n"
      "case). on, off and param without a device take the only device when there\n"
      "is exactly one. param also sets what hosts may only read: MaxHorizontal and\n"
      "MaxVertical (the labels across and down a page, 1 to 99) and PrinterName.\n"
      "\n"
      "Settings: the devices and their parameters are kept in the settings file\n"
      "between runs. At start the file, when it exists, is handed to the plug-in\n"
      "(SettingDevices); a file that cannot be read or is not a settings document\n"
      "stops the run. After every call or set (and after add, delete, param) the\n"
      "plug-in's list of devices (GetSettingsXML) is stored again when it changed,\n"
      "replacing the file at once. Which device is selected and whether a device is\n"
      "switched on are not kept: every run starts with no device selected and\n"
      "every device off, so select, on and off act within one run only.\n"
      "\n"
      "Dialogs: configure and preview need a display (DISPLAY or WAYLAND_DISPLAY);\n"
      "without one the driver cancels at once and says why in its log, and preview\n"
      "stops with exit status 1 before it asks. configure\n"
      "shows the driver's settings dialog of the device (the only one without N|NAME;\n"
      "with no device at all a new default device, which cancel drops again) and\n"
      "stores the settings after OK; cancel stores nothing and exits with 1. preview\n"
      "takes print's options (--template, --data, --set, --paper, --grid, --printer or\n"
      "--output, --device; a device as N|NAME too), prepares the device as print\n"
      "does and shows the page print lays out (the template's own values on every\n"
      "label): it sets LABELPLU_OPEN=preview for itself, with which the settings\n"
      "dialog opens the preview of the stored settings at once and closes as\n"
      "cancelled when it closes, so nothing is stored. The template chosen in the\n"
      "dialog is kept by its file name only and looked for in the plug-in's folder.\n"
      "\n"
      "Printing: print fills the template once per data row (the CSV header names\n"
      "the fields) and prints on the device's printer, the printer --printer names,\n"
      "or with --output into a PDF file on the paper --paper names (A4, A5, A6,\n"
      "Letter, WxH in millimetres, label = the template's size; A4 otherwise). A\n"
      "printer prints on the paper set for its queue, so --paper needs --output.\n"
      "--grid CxR places C labels across and R down each\n"
      "page, --grid auto as many as fit the paper with the device's gaps and\n"
      "margins (as the settings dialog's automatic placement counts them; it needs\n"
      "--output or a built-in printer, whose paper is known); without --grid the\n"
      "device's counts apply (1 x 1 for a new device), and a hint says when the\n"
      "paper holds more. Counts, given or stored, that put labels beyond the edge\n"
      "of a known paper stop the job (exit status 2); for the device's stored\n"
      "counts --force prints anyway.\n"
      "--set adds values for every label. It takes the device --device names (the\n"
      "first, or a new default one when there is none) and switches it on; what it\n"
      "changes lasts for the run: print never writes the settings file. It prints\n"
      "the driver's result code and text; progress shows on a terminal. --verify\n"
      "first reads every barcode of every label back at the printer's resolution\n"
      "and stops before anything is printed when one does not read as its value.\n"
      "The CSV file: ',' ';' or tab between fields, judged by the header; blanks\n"
      "around headers and unquoted fields are dropped, quoted fields keep theirs.\n"
      "--encoding auto (the default) reads valid UTF-8 (with or without a byte\n"
      "order mark) as UTF-8 and anything else as Windows-1251, and says so when it\n"
      "chose Windows-1251, but stops at UTF-8 with damaged bytes (as many valid\n"
      "UTF-8 characters beyond ASCII as bad bytes or more) rather than guess;\n"
      "utf-8 stops at the first byte that is not UTF-8; cp1251\n"
      "reads Windows-1251. A file with a header and no records prints nothing and\n"
      "exits with 1.\n"
      "\n"
      "Templates: docs/templates.md in the source tree describes the template\n"
      "format: the items, their properties and values, the worked examples, and\n"
      "which CSV columns fill which items (a column's header must be the caption\n"
      "or the key of the item's data source, e.g. Цена or dsPrice).\n"
      "\n"
      "Checking: check reads a template as print does and lists, one line each\n"
      "(FILE:LINE: error|warning: ITEM: MESSAGE), what would print wrong labels:\n"
      "unknown item classes and property names, values that do not parse or are\n"
      "not in a property's list, items off the label, barcodes that do not fit\n"
      "their box; with --data (and --set) also data sources no column feeds,\n"
      "columns that feed nothing (a warning) and every record whose value a\n"
      "barcode cannot encode. Barcodes are prepared at --dpi N dots per inch,\n"
      "203 without it (a common label printer). Exit 0 without errors, 1 with\n"
      "errors, 2 for a wrong command line or a file that cannot be read.\n"
      "print runs the same check first, at the resolution of the printer it\n"
      "prints on: errors stop the job before anything is printed (exit 1) unless\n"
      "--force is given; warnings go to standard error and do not stop it.\n"
      "\n"
      "Script lines: [\"call\", NAME, ARG...], [\"get\", NAME], [\"set\", NAME, VALUE];\n"
      "blank lines and lines starting with # are skipped.\n"
      "Values: JSON numbers, strings, true/false, null; an array of arrays is a\n"
      "value array (rows of cells); {\"file\": PATH} is the text of a file,\n"
      "{\"csv\": PATH} a value array of a CSV file (every row, the header too),\n"
      "{\"storage\": PATH} a value array loaded from a storage file. Relative\n"
      "paths in a script file are taken from the script's folder, elsewhere from\n"
      "the current folder. On the command line an argument that is not valid JSON\n"
      "is taken as a string.\n"
      "\n"
      "Exit status: 0 all requests succeeded, 1 a request failed, a script line\n"
      "was skipped or the settings could not be stored, 2 a usage error, or the\n"
      "plug-in, the settings file or a script could not be read.\n";
  return text;
}

int HostMain(int argc, char** argv) {
  HostOptions options;
  int i = 1;
  // "--name VALUE" or "--name=VALUE"; true when arg is that option.
  const auto valueOption = [&](const std::string& arg, const std::string& name, std::string& value,
                               int& status) {
    if (arg == name) {
      value = i + 1 < argc ? argv[++i] : "";
    } else if (arg.starts_with(name + "=")) {
      value = arg.substr(name.size() + 1);
    } else {
      return false;
    }
    if (value.empty()) status = UsageError(Say(HostMessage::OptionNeedsPath, name));
    return true;
  };
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << HostHelpText();
      return kExitOk;
    }
    int status = kExitOk;
    if (valueOption(arg, "--plugin", options.PluginPath, status) ||
        valueOption(arg, "--settings", options.SettingsPath, status)) {
      if (status != kExitOk) return status;
      continue;
    }
    if (arg.rfind('-', 0) == 0 && arg != "-")
      return UsageError(Say(HostMessage::UnknownOption, arg));
    break;
  }
  if (i >= argc) return UsageError(Say(HostMessage::NoCommand));
  const std::string name = argv[i];
  const std::vector<std::string> args(argv + i + 1, argv + argc);
  for (const HostCommand& command : kCommands) {
    if (name == command.Name) return command.Run(options, args);
  }
  return UsageError(Say(HostMessage::UnknownCommand, name));
}

}  // namespace labelplu::host
