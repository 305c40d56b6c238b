#include "host/ScriptRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "host/HostError.h"
#include "tests/support/TempDir.h"

namespace labelplu::host {
namespace {

using nlohmann::json;

std::string FakePlugin() {
  return std::string(LP_FAKE_PLUGIN_DIR) + "/hosttest_fake_ok.plu";
}

struct ScriptRun {
  bool ok;
  std::string out;
  std::string err;
};

ScriptRun RunScript(PluginHost& host, const std::string& script,
                    const std::filesystem::path& baseDir = {}) {
  std::istringstream in(script);
  std::ostringstream out;
  std::ostringstream err;
  const bool ok = RunScript(host, in, "s.jsonl", baseDir, out, err);
  return {ok, out.str(), err.str()};
}

TEST(ScriptRunner, AnswersEachRequestAndSkipsBadLines) {
  test::TempDir dir;
  dir.Write("note.txt", "текст");
  PluginHost host(FakePlugin());
  const ScriptRun run =
      RunScript(host,
                "# a comment\n"
                "\n"
                "  \t\r\n"
                "[\"call\", \"Echo\", 1, \"Ъ\", null, {\"file\": \"note.txt\"}]\r\n"
                "[\"call\", \"Echo\",\n"
                "[\"get\"]\n"
                "[\"set\", \"Prop\", 1.5]\n"
                "[\"get\", \"Prop\"]\n"
                "[\"call\", \"Fail\", 7, \"Ошибка. Код №7\"]\n"
                "[\"call\", \"Plain\", \"bad \\u00ff\"]\n"
                "[\"call\", \"Echo\", {\"file\": \"gone.txt\"}]\n"
                "   # indented comment\n"
                "[\"call\", \"Unknown\"]",
                dir.Path());
  EXPECT_FALSE(run.ok);
  const std::string gone = (dir.Path() / "gone.txt").string();
  EXPECT_EQ(
      run.out,
      "{\"ok\":true,\"result\":4,\"args\":[1,\"Ъ!\",null,\"текст!\"]}\n"
      "{\"ok\":true,\"result\":null,\"args\":[1.5]}\n"
      "{\"ok\":true,\"result\":1.5,\"args\":[]}\n"
      "{\"ok\":false,\"code\":7,\"message\":\"Ошибка. Код №7\"}\n"
      "{\"ok\":false,\"code\":null,\"message\":\"bad ÿ\"}\n"
      "{\"ok\":false,\"code\":null,\"message\":\"argument 1: cannot read file \\\"" +
          gone +
          "\\\": cannot open it: No such file or directory\"}\n"
          "{\"ok\":false,\"code\":20036,\"message\":\"Метод/Свойство [Unknown] не обнаружено\"}\n");
  std::istringstream err(run.err);
  std::string line;
  std::vector<std::string> lines;
  while (std::getline(err, line)) lines.push_back(line);
  ASSERT_EQ(lines.size(), 2u) << run.err;
  EXPECT_EQ(lines[0].rfind("s.jsonl:5: skipped: not valid JSON: ", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1],
            "s.jsonl:6: skipped: a \"get\" request needs a name (a non-empty string) as its second "
            "value");
}

TEST(ScriptRunner, AllSucceededScriptReportsSuccess) {
  PluginHost host(FakePlugin());
  const ScriptRun run = RunScript(host, "[\"call\", \"Echo\"]\n[\"get\", \"Kind\"]\n");
  EXPECT_TRUE(run.ok);
  EXPECT_EQ(run.out,
            "{\"ok\":true,\"result\":0,\"args\":[]}\n{\"ok\":true,\"result\":2,\"args\":[]}\n");
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(RunScript(host, "").ok);
}

TEST(ScriptRunner, AfterRequestSeesEveryAnsweredRequestAndCanStopTheScript) {
  PluginHost host(FakePlugin());
  std::vector<std::string> seen;
  const AfterRequest after = [&](const HostRequest& request) {
    seen.push_back(request.Name);
    return request.Name != "Stop";
  };
  std::istringstream in(
      "[\"call\", \"Fail\", 7, \"x\"]\nnot json\n[\"get\", \"Stop\"]\n[\"call\", \"Echo\"]\n");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_FALSE(RunScript(host, in, "s.jsonl", {}, out, err, after));
  // Failed requests count, skipped lines do not, nothing runs after a stop.
  EXPECT_EQ(seen, (std::vector<std::string>{"Fail", "Stop"}));
  const std::string answers = out.str();
  EXPECT_EQ(std::count(answers.begin(), answers.end(), '\n'), 2) << answers;
}

TEST(ScriptRunner, InvalidUtf8IsReplacedInAnswers) {
  RequestResult result;
  result.Code = 20000;
  result.Message = "bad \xff byte";
  EXPECT_EQ(AnswerLine(AnswerJson(result)),
            "{\"ok\":false,\"code\":20000,\"message\":\"bad \xEF\xBF\xBD byte\"}");
}

TEST(ScriptRunner, RequestsMustHaveTheirShape) {
  const struct {
    const char* json;
    const char* message;
  } cases[] = {
      {"{}", "a request is an array that begins with \"call\", \"get\" or \"set\""},
      {"[]", "a request is an array that begins with"},
      {"[1, \"x\"]", "a request is an array that begins with"},
      {"[\"put\", \"x\"]", "unknown request kind \"put\" (expected \"call\", \"get\" or \"set\")"},
      {"[\"call\"]", "a \"call\" request needs a name"},
      {"[\"call\", 5]", "a \"call\" request needs a name"},
      {"[\"call\", \"\"]", "a \"call\" request needs a name"},
      {"[\"get\", \"x\", 1]", "a \"get\" request is [\"get\", NAME]"},
      {"[\"set\", \"x\"]", "a \"set\" request is [\"set\", NAME, VALUE]"},
      {"[\"set\", \"x\", 1, 2]", "a \"set\" request is [\"set\", NAME, VALUE]"},
  };
  for (const auto& c : cases) {
    try {
      ParseRequest(json::parse(c.json));
      ADD_FAILURE() << c.json;
    } catch (const HostError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << c.json << ": " << e.what();
    }
  }
  const HostRequest call =
      ParseRequest(json::parse("[\"call\", \"Beep\", 1, [[2]], {\"csv\": \"x\"}]"));
  EXPECT_EQ(call.Kind, RequestKind::Call);
  EXPECT_EQ(call.Name, "Beep");
  EXPECT_EQ(json(call.Args).dump(), "[1,[[2]],{\"csv\":\"x\"}]");
}

}  // namespace
}  // namespace labelplu::host
