// libFuzzer target: labelhost's request lines (the script runner's parsing)
// and the JSON values of their arguments (JsonToVariant, VariantToJson).
//
// The input is taken as a script: one request per line, blank lines and '#'
// lines skipped, as RunScript reads it. Each line must end in a request or
// an exception, each argument in a variant or a HostError; a scalar argument
// (number, string, true, false, null) must come back as the same JSON
// value, and every answer must print as one line.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <sstream>
#include <string>

#include "fuzz/FuzzSetup.h"
#include "host/HostError.h"
#include "host/JsonVariant.h"
#include "host/ScriptRunner.h"

using namespace labelplu;
using nlohmann::json;

namespace {

// Relative "file", "csv" and "storage" paths resolve here: an empty folder.
std::filesystem::path g_baseDir;

void CheckArgument(const json& arg) {
  ole::OleVariant value;
  try {
    value = host::JsonToVariant(arg, g_baseDir);
  } catch (const host::HostError&) {
    return;
  }
  nlohmann::ordered_json back;
  try {
    back = host::VariantToJson(value.get());
  } catch (const host::HostError&) {
    fuzz::Finding("a converted argument has no JSON form");
  }
  // Numbers beyond a double's range parse as infinity, which JSON cannot
  // print: those are left out of the comparison.
  const bool comparable =
      arg.is_primitive() && !(arg.is_number_float() && !std::isfinite(arg.get<double>()));
  if (comparable && json::parse(back.dump()) != arg)
    fuzz::Finding("a scalar argument changed on its way back");
  host::RequestResult result;
  result.Ok = true;
  result.Result = value;
  result.Args.push_back(value);
  const std::string line = host::AnswerLine(host::AnswerJson(result));
  if (line.find('\n') != std::string::npos) fuzz::Finding("an answer spans lines");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Setup();
  char folder[] = "/tmp/labelplu-fuzz-json-XXXXXX";
  if (!mkdtemp(folder)) fuzz::Finding("no scratch folder");
  g_baseDir = folder;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    host::HostRequest request;
    try {
      request = host::ParseRequest(json::parse(line));
    } catch (const std::exception&) {
      continue;
    }
    if (request.Name.empty()) fuzz::Finding("a request without a name");
    for (const json& arg : request.Args) CheckArgument(arg);
  }
  return 0;
}
