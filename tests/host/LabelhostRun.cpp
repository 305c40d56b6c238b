#include "tests/host/LabelhostRun.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/TempDir.h"

namespace labelplu::test {

std::string EnvPath(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) throw std::runtime_error(std::string(name) + " is not set");
  return value;
}

std::string BinPath(const std::string& file) {
  return EnvPath("LABELPLU_BIN") + "/" + file;
}

std::string SourcePath(const std::string& file) {
  return EnvPath("LABELPLU_SOURCE") + "/" + file;
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

ProcessResult Labelhost(std::vector<std::string> args, const std::string& input,
                        const std::map<std::string, std::string>& env, const std::string& lang) {
  // One sandbox for the whole test program; it is removed at exit.
  static const TempDir sandbox;
  std::map<std::string, std::string> vars = {
      {"LANG", lang},
      {"LANGUAGE", ""},
      {"LC_ALL", ""},
      {"LC_MESSAGES", ""},
      {"HOME", (sandbox.Path() / "home").string()},
      {"XDG_CONFIG_HOME", (sandbox.Path() / "config").string()},
  };
  for (const auto& [name, value] : env) vars[name] = value;
  args.insert(args.begin(), BinPath("labelhost"));
  return RunProcess(args, vars, input);
}

}  // namespace labelplu::test
