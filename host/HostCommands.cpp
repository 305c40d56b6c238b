#include "HostCommands.h"

#include <fstream>
#include <iostream>
#include <memory>

#include "HostError.h"
#include "PluginHost.h"
#include "ScriptRunner.h"

namespace labelplu::host {

using nlohmann::json;

namespace {

std::unique_ptr<PluginHost> loadPlugin(const HostOptions& options) {
  const std::string path =
      options.PluginPath.empty() ? PluginHost::DefaultPluginPath() : options.PluginPath;
  try {
    return std::make_unique<PluginHost>(path);
  } catch (const std::exception& e) {
    std::cerr << "labelhost: " << e.what() << std::endl;
    return nullptr;
  }
}

int usageError(const std::string& message) {
  std::cerr << "labelhost: " << message << "\nTry 'labelhost --help'." << std::endl;
  return kExitUsage;
}

int runCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.size() != 1) return usageError("run takes one argument: a script file or -");
  const std::string& source = args[0];
  std::ifstream file;
  std::istream* in = &std::cin;
  std::filesystem::path baseDir;
  if (source != "-") {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(source, ec)) {
      std::cerr << "labelhost: cannot read script \"" << source << "\": not a readable file"
                << std::endl;
      return kExitUsage;
    }
    file.open(source, std::ios::binary);
    if (!file) {
      std::cerr << "labelhost: cannot read script \"" << source << "\"" << std::endl;
      return kExitUsage;
    }
    in = &file;
    baseDir = std::filesystem::path(source).parent_path();
  }
  auto host = loadPlugin(options);
  if (!host) return kExitUsage;
  const bool ok =
      RunScript(*host, *in, source == "-" ? "<stdin>" : source, baseDir, std::cout, std::cerr);
  return ok ? kExitOk : kExitFailed;
}

// A command-line argument: its JSON value, or the word itself as a string
// when it is not valid JSON.
json argumentValue(const std::string& word) {
  json value = json::parse(word, nullptr, false);
  if (value.is_discarded()) return json(word);
  return value;
}

int singleRequest(const HostOptions& options, RequestKind kind, std::span<const std::string> args) {
  HostRequest request;
  request.Kind = kind;
  request.Name = args[0];
  for (size_t i = 1; i < args.size(); ++i) request.Args.push_back(argumentValue(args[i]));
  auto host = loadPlugin(options);
  if (!host) return kExitUsage;
  bool ok = false;
  std::cout << AnswerLine(ExecuteRequest(*host, request, {}, ok)) << std::endl;
  return ok ? kExitOk : kExitFailed;
}

int callCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.empty() || args[0].empty()) return usageError("call needs a method name");
  return singleRequest(options, RequestKind::Call, args);
}

int getCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.size() != 1 || args[0].empty()) return usageError("get takes one property name");
  return singleRequest(options, RequestKind::Get, args);
}

int setCommand(const HostOptions& options, std::span<const std::string> args) {
  if (args.size() != 2 || args[0].empty()) {
    return usageError("set takes a property name and a value");
  }
  return singleRequest(options, RequestKind::Set, args);
}

const HostCommand kCommands[] = {
    {"run", "FILE|-", "run the requests of a JSON-lines script (- reads standard input)",
     runCommand},
    {"call", "NAME [ARG...]", "call one method", callCommand},
    {"get", "NAME", "read one property", getCommand},
    {"set", "NAME VALUE", "write one property", setCommand},
};

}  // namespace

std::span<const HostCommand> HostCommands() {
  return kCommands;
}

std::string HostHelpText() {
  std::string text =
      "Usage: labelhost [--plugin PATH] COMMAND [ARG...]\n"
      "\n"
      "Loads the labelplu plug-in and sends it requests. Each request prints one\n"
      "JSON line on standard output: {\"ok\": true, \"result\": R, \"args\": [...]}\n"
      "or {\"ok\": false, \"code\": N|null, \"message\": TEXT}.\n"
      "\n"
      "Options:\n"
      "  --plugin PATH   the plug-in module (default: labelplu.plu beside labelhost)\n"
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
      "Exit status: 0 all requests succeeded, 1 a request failed or a script line\n"
      "was skipped, 2 a usage error or the plug-in could not be loaded.\n";
  return text;
}

int HostMain(int argc, char** argv) {
  HostOptions options;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << HostHelpText();
      return kExitOk;
    }
    if (arg == "--plugin") {
      if (i + 1 >= argc) return usageError("--plugin needs a path");
      options.PluginPath = argv[++i];
    } else if (arg.rfind("--plugin=", 0) == 0) {
      options.PluginPath = arg.substr(9);
    } else if (arg.rfind("-", 0) == 0 && arg != "-") {
      return usageError("unknown option " + arg);
    } else {
      break;
    }
  }
  if (i >= argc) return usageError("no command given");
  const std::string name = argv[i];
  const std::vector<std::string> args(argv + i + 1, argv + argc);
  for (const HostCommand& command : kCommands) {
    if (name == command.Name) return command.Run(options, args);
  }
  return usageError("unknown command " + name);
}

}  // namespace labelplu::host
