#include "host/ScriptRunner.h"

#include <cstdint>
#include <istream>
#include <ostream>

#include "host/HostError.h"
#include "host/HostMessages.h"
#include "host/JsonVariant.h"

namespace labelplu::host {

using nlohmann::json;
using nlohmann::ordered_json;
using ole::OleVariant;

namespace {

std::string Shown(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

ordered_json Failure(std::optional<int32_t> code, const std::string& message) {
  ordered_json answer;
  answer["ok"] = false;
  answer["code"] = code ? ordered_json(*code) : ordered_json(nullptr);
  answer["message"] = message;
  return answer;
}

}  // namespace

HostRequest ParseRequest(const json& request) {
  if (!request.is_array() || request.empty() || !request[0].is_string()) {
    throw HostError(Say(HostMessage::RequestNotArray));
  }
  const std::string& kind = request[0].get_ref<const std::string&>();
  HostRequest out;
  size_t minSize = 2;
  size_t maxSize = 2;
  if (kind == "call") {
    out.Kind = RequestKind::Call;
    maxSize = SIZE_MAX;
  } else if (kind == "get") {
    out.Kind = RequestKind::Get;
  } else if (kind == "set") {
    out.Kind = RequestKind::Set;
    minSize = maxSize = 3;
  } else {
    throw HostError(Say(HostMessage::UnknownRequestKind, Shown(request[0])));
  }
  if (request.size() < 2 || !request[1].is_string() ||
      request[1].get_ref<const std::string&>().empty()) {
    throw HostError(Say(HostMessage::RequestNeedsName, kind));
  }
  if (request.size() < minSize || request.size() > maxSize) {
    throw HostError(Say(kind == "get" ? HostMessage::GetRequestForm : HostMessage::SetRequestForm));
  }
  out.Name = request[1].get<std::string>();
  out.Args.assign(request.begin() + 2, request.end());
  return out;
}

ordered_json AnswerJson(const RequestResult& result) {
  if (!result.Ok) return Failure(result.Code, result.Message);
  ordered_json answer;
  answer["ok"] = true;
  answer["result"] = VariantToJson(result.Result);
  ordered_json args = ordered_json::array();
  for (const OleVariant& arg : result.Args) args.push_back(VariantToJson(arg));
  answer["args"] = std::move(args);
  return answer;
}

ordered_json ExecuteRequest(PluginHost& host, const HostRequest& request,
                            const std::filesystem::path& baseDir, bool& ok) {
  ok = false;
  std::vector<OleVariant> args;
  try {
    args.reserve(request.Args.size());
    for (size_t i = 0; i < request.Args.size(); ++i) {
      try {
        args.push_back(JsonToVariant(request.Args[i], baseDir));
      } catch (const std::exception& e) {
        throw HostError(Say(HostMessage::ArgumentError, i + 1, e.what()));
      }
    }
  } catch (const std::exception& e) {
    return Failure(std::nullopt, e.what());
  }
  const RequestResult result = host.Run(request.Name, request.Kind, args);
  try {
    ordered_json answer = AnswerJson(result);
    ok = result.Ok;
    return answer;
  } catch (const std::exception& e) {
    return Failure(std::nullopt, Say(HostMessage::CannotShowAnswer, e.what()));
  }
}

std::string AnswerLine(const ordered_json& answer) {
  return answer.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

bool RunScript(PluginHost& host, std::istream& in, const std::string& sourceName,
               const std::filesystem::path& baseDir, std::ostream& out, std::ostream& err,
               const AfterRequest& afterRequest) {
  bool allOk = true;
  std::string line;
  for (long number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;

    HostRequest request;
    try {
      request = ParseRequest(json::parse(line));
    } catch (const json::parse_error& e) {
      err << Say(HostMessage::SkippedNotJson, sourceName, number, e.what()) << std::endl;
      allOk = false;
      continue;
    } catch (const std::exception& e) {
      err << Say(HostMessage::Skipped, sourceName, number, e.what()) << std::endl;
      allOk = false;
      continue;
    }
    bool ok = false;
    const ordered_json answer = ExecuteRequest(host, request, baseDir, ok);
    out << AnswerLine(answer) << std::endl;
    allOk = allOk && ok;
    if (afterRequest && !afterRequest(request)) return false;
  }
  if (in.bad()) {
    err << Say(HostMessage::ScriptReadError, sourceName) << std::endl;
    allOk = false;
  }
  return allOk;
}

}  // namespace labelplu::host
