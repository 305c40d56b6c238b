// labelhost against the real plug-in, run as a separate process the way a
// user runs it.
#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "tests/host/LabelhostRun.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {
namespace {

ProcessResult RunLabelhost(std::vector<std::string> args, const std::string& input = "",
                           const std::string& lang = "C.UTF-8") {
  return Labelhost(std::move(args), input, {}, lang);
}

TEST(Labelhost, HelloSampleGivesTheExpectedAnswers) {
  const std::string expectedText = FileText(SourcePath("samples/hello.expected.jsonl"));
  ASSERT_NE(expectedText, "") << "samples/hello.expected.jsonl";

  const TempDir dir;
  const std::string settings = (dir.Path() / "settings.xml").string();
  const ProcessResult run = RunLabelhost(
      {"--settings", settings, "run", SourcePath("samples/hello.jsonl")}, "", "ru_RU.UTF-8");
  EXPECT_EQ(run.err, "");
  const auto got = Lines(run.out);
  const auto expected = Lines(expectedText);
  for (size_t i = 0; i < std::max(got.size(), expected.size()); ++i) {
    EXPECT_EQ(i < got.size() ? got[i] : "(missing)", i < expected.size() ? expected[i] : "(extra)")
        << "answer " << i + 1;
  }
  // The sample shows failures too, so the run as a whole failed.
  EXPECT_EQ(run.exitCode, 1);
  // The devices the session configured were stored.
  EXPECT_NE(FileText(settings).find("Наименование=\"Касса 2\""), std::string::npos);
}

TEST(Labelhost, BadScriptLineIsReportedWithItsNumberAndSkipped) {
  const ProcessResult run = RunLabelhost(
      {"run", "-"},
      "[\"get\", \"КоличествоУстройств\"]\n# note\n[\"get\", oops]\n[\"get\", \"Релиз\"]\n");
  EXPECT_EQ(run.exitCode, 1);
  const auto out = Lines(run.out);
  ASSERT_EQ(out.size(), 2u) << run.out;
  EXPECT_EQ(out[0], "{\"ok\":true,\"result\":0,\"args\":[]}");
  EXPECT_EQ(out[1].rfind("{\"ok\":true,\"result\":", 0), 0u) << out[1];
  EXPECT_EQ(run.err.rfind("<stdin>:3: skipped: not valid JSON: ", 0), 0u) << run.err;
  EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
}

TEST(Labelhost, AllSucceededScriptExitsWithZero) {
  const ProcessResult run =
      RunLabelhost({"run", "-"},
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
       "{\"ok\":false,\"code\":4,\"message\":\"Неверный тип параметра\"}\n"},
      {{"set", "Релиз", "1"},
       "ru_RU.UTF-8",
       1,
       "{\"ok\":false,\"code\":20000,\"message\":\"Свойство [Релиз] доступно только для "
       "чтения\"}\n"},
  };
  for (const auto& c : cases) {
    const ProcessResult run = RunLabelhost(c.args, "", c.lang);
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
      {{"--settings"}, "labelhost: --settings needs a path"},
      {{"--settings=", "devices"}, "labelhost: --settings needs a path"},
      {{"devices", "1"}, "labelhost: devices takes no arguments"},
      {{"add", "a", "b"}, "labelhost: add takes at most one settings document file"},
      {{"add", "/nonexistent.xml"}, "labelhost: cannot read file \"/nonexistent.xml\""},
      {{"delete"}, "labelhost: delete takes one device: N or NAME"},
      {{"select", ""}, "labelhost: select takes one device: N or NAME"},
      {{"on", "1", "2"}, "labelhost: on takes at most one device"},
      {{"param", "ШиринаЭтикетки"}, "labelhost: param takes a parameter name and a value"},
      {{"param", "--device"}, "labelhost: --device needs a device: N or NAME"},
      {{"show-settings", "x"}, "labelhost: show-settings takes no arguments"},
  };
  for (const auto& c : cases) {
    const ProcessResult run = RunLabelhost(c.args);
    EXPECT_EQ(run.exitCode, 2) << c.err;
    EXPECT_EQ(run.out, "") << c.err;
    EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
  }
  const ProcessResult help = RunLabelhost({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: labelhost [--plugin PATH] [--settings FILE] COMMAND"),
            std::string::npos);
  EXPECT_NE(help.out.find("docs/templates.md"), std::string::npos);
}

// labelhost's own messages follow the locale as the driver's do; the
// driver's text inside them passes through as the driver gave it.
TEST(Labelhost, OwnMessagesFollowTheLocale) {
  const TempDir dir;
  const std::string settings = (dir.Path() / "none.xml").string();
  // A print job with a column for every bound item, on a paper that holds
  // one label, so that nothing but the result goes to the terminal.
  const std::string label = SourcePath("samples/templates/price_tag.lb3");
  const std::string data =
      dir.Write("data.csv", "Наименование,Артикул,Цена,Дата упаковки\nТовар,А-1,1,01.12.2026\n")
          .string();
  const std::string pdf = (dir.Path() / "out.pdf").string();
  const std::vector<std::string> print = {"--settings", settings,  "print", "--template",
                                          label,        "--data",  data,    "--output",
                                          pdf,          "--paper", "58x40"};
  const struct {
    const char* lang;
    std::vector<std::string> args;
    int exitCode;
    std::string out;
    std::string err;
  } cases[] = {
      {"C.UTF-8", {"frob"}, 2, "", "labelhost: unknown command frob\nTry 'labelhost --help'.\n"},
      {"ru_RU.UTF-8",
       {"frob"},
       2,
       "",
       "labelhost: неизвестная команда frob\nСправка: 'labelhost --help'.\n"},
      {"C.UTF-8",
       {"--settings", settings, "delete", "3"},
       1,
       "",
       "labelhost: no device \"3\": Устройство не обнаружено (code 3)\n"},
      {"ru_RU.UTF-8",
       {"--settings", settings, "delete", "3"},
       1,
       "",
       "labelhost: нет устройства \"3\": Устройство не обнаружено (код 3)\n"},
      {"C.UTF-8",
       {"--settings", settings, "call", "X", R"({"csv": ""})"},
       1,
       R"({"ok":false,"code":null,"message":"argument 1: {\"csv\": PATH} needs a path, not an )"
       R"(empty string"})"
       "\n",
       ""},
      {"ru_RU.UTF-8",
       {"--settings", settings, "call", "X", R"({"csv": ""})"},
       1,
       R"({"ok":false,"code":null,"message":"аргумент 1: {\"csv\": PATH} требует путь, а не )"
       R"(пустую строку"})"
       "\n",
       ""},
      {"C.UTF-8", print, 0,
       "Result 0: Операция выполнена успешно\n1 record(s) printed into " + pdf + ".\n", ""},
      {"ru_RU.UTF-8", print, 0,
       "Result 0: Операция выполнена успешно\nНапечатано записей: 1, в файл " + pdf + ".\n", ""},
      {"C.UTF-8",
       {"print", "--template", label},
       2,
       "",
       "labelhost: print needs --data FILE.csv\nTry 'labelhost --help'.\n"},
      {"ru_RU.UTF-8",
       {"print", "--template", label},
       2,
       "",
       "labelhost: print: нужен --data ФАЙЛ.csv\nСправка: 'labelhost --help'.\n"},
      {"ru_RU.UTF-8",
       {"preview", "--frob"},
       2,
       "",
       "labelhost: preview: неизвестный аргумент --frob\n"},
      {"C.UTF-8", {"--settings", settings, "devices"}, 0, "No devices.\n", ""},
      {"ru_RU.UTF-8", {"--settings", settings, "devices"}, 0, "Устройств нет.\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lang) + " " + c.args.back());
    const ProcessResult run = RunLabelhost(c.args, "", c.lang);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.out, c.out);
    // Qt may add its own notes about the environment after ours.
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    EXPECT_EQ(run.err.find("labelhost:", c.err.size()), std::string::npos) << run.err;
  }
}

// The help in both languages: the Russian one is another text, and both
// name the same options, so neither lags behind the other.
TEST(Labelhost, HelpNamesTheSameOptionsInBothLanguages) {
  const auto options = [](const std::string& text) {
    std::set<std::string> found;
    for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
      size_t end = at + 2;
      while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) ||
                                   text[end] == '-' || text[end] == '_'))
        ++end;
      if (end > at + 2) found.insert(text.substr(at, end - at));
    }
    return found;
  };
  const ProcessResult english = RunLabelhost({"--help"}, "", "C.UTF-8");
  const ProcessResult russian = RunLabelhost({"--help"}, "", "ru_RU.UTF-8");
  ASSERT_EQ(english.exitCode, 0);
  ASSERT_EQ(russian.exitCode, 0);
  EXPECT_NE(russian.out.find("Команды:\n  run FILE|-"), std::string::npos) << russian.out;
  EXPECT_NE(russian.out.find("напечатать шаблон этикетки, заполненный из CSV-файла"),
            std::string::npos);
  EXPECT_EQ(russian.out.find("Commands:"), std::string::npos);
  const std::set<std::string> named = options(english.out);
  EXPECT_TRUE(named.contains("--grid") && named.contains("--encoding")) << english.out;
  EXPECT_EQ(options(russian.out), named);
}

}  // namespace
}  // namespace labelplu::test
