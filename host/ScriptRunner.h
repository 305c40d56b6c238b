// labelplu host: requests written as JSON, and scripts of them.
//
// A request is a JSON array: ["call", NAME, ARG…], ["get", NAME] or
// ["set", NAME, VALUE]; its arguments take the forms of JsonVariant.h. Its
// answer is one JSON object: {"ok": true, "result": R, "args": [A…]} with the
// result and the arguments as written back, or {"ok": false, "code": N,
// "message": TEXT} ("code" null for a failure without a code).
#ifndef LABELPLU_HOST_SCRIPTRUNNER_H
#define LABELPLU_HOST_SCRIPTRUNNER_H

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/PluginHost.h"

namespace labelplu::host {

struct HostRequest {
  RequestKind Kind = RequestKind::Call;
  std::string Name;
  std::vector<nlohmann::json> Args;
};

// Reads a request from its JSON form. Throws HostError saying what is wrong
// (not an array, an unknown kind, no name, a wrong number of values).
HostRequest ParseRequest(const nlohmann::json& request);

// The answer object of a result.
nlohmann::ordered_json AnswerJson(const RequestResult& result);

// Runs one request: converts its arguments (relative paths against baseDir),
// runs it and converts the outcome. A failure to convert an argument or a
// result is a failed request without a code. ok receives whether the request
// succeeded.
nlohmann::ordered_json ExecuteRequest(PluginHost& host, const HostRequest& request,
                                      const std::filesystem::path& baseDir, bool& ok);

// The one-line text of an answer: compact, UTF-8 unescaped, invalid UTF-8
// replaced by U+FFFD.
std::string AnswerLine(const nlohmann::ordered_json& answer);

// Runs the requests of a script, one per line. Blank lines and lines whose
// first non-blank character is '#' are skipped. Each request's answer line
// goes to out (flushed at once). A line that is not valid JSON or not a
// valid request is reported on err as "SOURCE:LINE: reason" and skipped.
// afterRequest, when given, runs after each request has been answered
// (succeeded or not); when it returns false the script stops there.
// Returns true when every line was a request that succeeded and afterRequest
// never returned false.
using AfterRequest = std::function<bool(const HostRequest& request)>;
bool RunScript(PluginHost& host, std::istream& in, const std::string& sourceName,
               const std::filesystem::path& baseDir, std::ostream& out, std::ostream& err,
               const AfterRequest& afterRequest = {});

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_SCRIPTRUNNER_H
