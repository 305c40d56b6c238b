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
    {"run", "FILE|-", HostMessage::HelpRun, RunCommand},
    {"call", "NAME [ARG...]", HostMessage::HelpCall, CallCommand},
    {"get", "NAME", HostMessage::HelpGet, GetCommand},
    {"set", "NAME VALUE", HostMessage::HelpSet, SetCommand},
    {"devices", "", HostMessage::HelpDevicesCommand, DevicesCommand},
    {"add", "[FILE]", HostMessage::HelpAdd, AddCommand},
    {"delete", "N|NAME", HostMessage::HelpDelete, DeleteCommand},
    {"select", "N|NAME", HostMessage::HelpSelect, SelectCommand},
    {"on", "[N|NAME]", HostMessage::HelpOn, OnCommand},
    {"off", "[N|NAME]", HostMessage::HelpOff, OffCommand},
    {"param", "[--device N|NAME] NAME VALUE", HostMessage::HelpParam, ParamCommand},
    {"show-settings", "", HostMessage::HelpShowSettings, ShowSettingsCommand},
    {"configure", "[N|NAME]", HostMessage::HelpConfigure, ConfigureCommand},
    {"preview", "[N|NAME] [print's options]", HostMessage::HelpPreview, PreviewCommand},
    {"print",
     "--template FILE --data FILE.csv [--set NAME=VALUE]... [--printer NAME | --output FILE.pdf] "
     "[--paper A4|A5|A6|Letter|WxH|label] [--grid CxR|auto] [--device N|NAME] [--verify] "
     "[--force] [--encoding auto|utf-8|cp1251]",
     HostMessage::HelpPrint, PrintCommand},
    {"check",
     "TEMPLATE [--data FILE.csv] [--set NAME=VALUE]... [--dpi N] [--encoding auto|utf-8|cp1251]",
     HostMessage::HelpCheck, CheckCommand},
};

}  // namespace

std::span<const HostCommand> HostCommands() {
  return kCommands;
}

std::string HostHelpText() {
  using enum HostMessage;
  // The help's rows hold no placeholders: they are taken as they stand.
  const auto text = [](HostMessage id) { return std::string(HostMessagePattern(id)); };
  std::string help = text(HelpUsage) + "\n" + text(HelpIntro) + "\n" + text(HelpOptions) + "\n" +
                     text(HelpCommandsHeading);
  for (const HostCommand& command : kCommands) {
    std::string head = std::string("  ") + command.Name + " " + command.Usage;
    if (head.size() < 24)
      head.resize(24, ' ');
    else
      head += "\n" + std::string(24, ' ');
    help += head + text(command.Summary) + "\n";
  }
  for (const HostMessage id : {HelpDevices, HelpSettings, HelpDialogs}) help += "\n" + text(id);
  help += "\n" + text(HelpPrinting) + text(HelpPrintingJob) + text(HelpCsv);
  for (const HostMessage id : {HelpTemplates, HelpChecking, HelpScript, HelpExit})
    help += "\n" + text(id);
  return help;
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
