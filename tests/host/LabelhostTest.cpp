// labelhost against the real plug-in, run as a separate process the way a
// user runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "Subprocess.h"

namespace labelplu::test {
namespace {

// A folder the test environment names (the test main sets them).
std::string envPath(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) throw std::runtime_error(std::string(name) + " is not set");
  return value;
}

// labelhost and the plug-in sit in LABELPLU_BIN.
std::string binPath(const std::string& file) {
  return envPath("LABELPLU_BIN") + "/" + file;
}
std::string sourcePath(const std::string& file) {
  return envPath("LABELPLU_SOURCE") + "/" + file;
}

// The language decides the driver's messages: every variable that could
// override LANG is removed.
std::map<std::string, std::string> language(const std::string& lang) {
  return {{"LANG", lang}, {"LANGUAGE", ""}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}};
}

ProcessResult labelhost(std::vector<std::string> args, const std::string& input = "",
                        const std::string& lang = "ru_RU.UTF-8") {
  args.insert(args.begin(), binPath("labelhost"));
  return RunProcess(args, language(lang), input);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(Labelhost, HelloSampleGivesTheExpectedAnswers) {
  std::ifstream expectedFile(sourcePath("samples/hello.expected.jsonl"));
  ASSERT_TRUE(expectedFile) << "samples/hello.expected.jsonl";
  std::stringstream expectedText;
  expectedText << expectedFile.rdbuf();

  const ProcessResult run = labelhost({"run", sourcePath("samples/hello.jsonl")});
  EXPECT_EQ(run.err, "");
  const auto got = lines(run.out);
  const auto expected = lines(expectedText.str());
  for (size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
    EXPECT_EQ(i < got.size() ? got[i] : "(missing)", i < expected.size() ? expected[i] : "(extra)")
        << "answer " << i + 1;
  }
  // The sample shows failures too, so the run as a whole failed.
  EXPECT_EQ(run.exitCode, 1);
}

TEST(Labelhost, BadScriptLineIsReportedWithItsNumberAndSkipped) {
  const ProcessResult run = labelhost(
      {"run", "-"},
      "[\"get\", \"КоличествоУстройств\"]\n# note\n[\"get\", oops]\n[\"get\", \"Релиз\"]\n");
  EXPECT_EQ(run.exitCode, 1);
  const auto out = lines(run.out);
  ASSERT_EQ(out.size(), 2u) << run.out;
  EXPECT_EQ(out[0], "{\"ok\":true,\"result\":0,\"args\":[]}");
  EXPECT_EQ(out[1].rfind("{\"ok\":true,\"result\":", 0), 0u) << out[1];
  EXPECT_EQ(run.err.rfind("<stdin>:3: skipped: not valid JSON: ", 0), 0u) << run.err;
  EXPECT_EQ(lines(run.err).size(), 1u) << run.err;
}

TEST(Labelhost, AllSucceededScriptExitsWithZero) {
  const ProcessResult run = labelhost({"run", "-"},
                                      "[\"get\", \"DevicesQuantity\"]\n[\"set\", \"DeviceNumber\", "
                                      "0]\n[\"call\", \"SaveSettings\"]\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"ok\":true,\"result\":0,\"args\":[]}\n"
            "{\"ok\":true,\"result\":null,\"args\":[0]}\n"
            "{\"ok\":true,\"result\":0,\"args\":[]}\n");
  EXPECT_EQ(run.err, "");
}

TEST(Labelhost, SingleRequests) {
  const struct {
    std::vector<std::string> args;
    const char* lang;
    int exitCode;
    const char* out;
  } cases[] = {
      {{"get", "КоличествоУстройств"},
       "ru_RU.UTF-8",
       0,
       "{\"ok\":true,\"result\":0,\"args\":[]}\n"},
      {{"set", "НомерУстройства", "0"},
       "ru_RU.UTF-8",
       0,
       "{\"ok\":true,\"result\":null,\"args\":[0]}\n"},
      {{"call", "НетТакого", "1"},
       "ru_RU.UTF-8",
       1,
       "{\"ok\":false,\"code\":20036,\"message\":\"Метод/Свойство [НетТакого] не обнаружено\"}\n"},
      {{"call", "НетТакого"},
       "C",
       1,
       "{\"ok\":false,\"code\":20036,\"message\":\"Method/property [НетТакого] it is not "
       "revealed\"}\n"},
      // "тон" is not JSON and goes as a text: the driver wants numbers.
      {{"call", "Beep", "тон", "100"},
       "ru_RU.UTF-8",
       1,
       "{\"ok\":false,\"code\":4,\"message\":\"Ошибка. Код №4\"}\n"},
      {{"set", "Релиз", "1"},
       "ru_RU.UTF-8",
       1,
       "{\"ok\":false,\"code\":20000,\"message\":\"Свойство [Релиз] доступно только для "
       "чтения\"}\n"},
  };
  for (const auto& c : cases) {
    const ProcessResult run = labelhost(c.args, "", c.lang);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[1] << run.err;
    EXPECT_EQ(run.out, c.out) << c.args[1];
  }
}

TEST(Labelhost, UsageAndLoadErrorsExitWithTwo) {
  const struct {
    std::vector<std::string> args;
    const char* err;
  } cases[] = {
      {{}, "labelhost: no command given"},
      {{"frob"}, "labelhost: unknown command frob"},
      {{"--frob", "get", "x"}, "labelhost: unknown option --frob"},
      {{"get"}, "labelhost: get takes one property name"},
      {{"set", "x"}, "labelhost: set takes a property name and a value"},
      {{"run", "/nonexistent.jsonl"}, "labelhost: cannot read script \"/nonexistent.jsonl\""},
      {{"--plugin", "/nonexistent.plu", "get", "x"},
       "labelhost: cannot load the plug-in \"/nonexistent.plu\""},
  };
  for (const auto& c : cases) {
    const ProcessResult run = labelhost(c.args);
    EXPECT_EQ(run.exitCode, 2) << c.err;
    EXPECT_EQ(run.out, "") << c.err;
    EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
  }
  const ProcessResult help = labelhost({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: labelhost [--plugin PATH] COMMAND"), std::string::npos);
}

}  // namespace
}  // namespace labelplu::test
