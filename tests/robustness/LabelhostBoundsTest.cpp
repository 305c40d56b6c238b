// The built labelhost and plug-in with inputs of a hundred megabytes: a CSV
// field printed into a PDF, and a script line whose argument goes through
// Dispatch. Each run ends within its time limit, with a peak resident size
// (measured by /usr/bin/time) a small multiple of the input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/host/Subprocess.h"
#include "tests/robustness/RobustnessSupport.h"

namespace labelplu::test {
namespace {

constexpr size_t kHundredMb = size_t{100} << 20;

struct HostRun {
  ProcessResult result;
  double seconds = 0;
  int64_t peakMb = 0;
};

// labelhost with args under /usr/bin/time, in a scratch home, Russian
// messages.
HostRun Labelhost(const TempDir& dir, std::vector<std::string> args, int timeoutSeconds) {
  const std::string figures = dir.File("time.txt");
  std::vector<std::string> argv = {"/usr/bin/time",
                                   "-q",
                                   "-f",
                                   "%e %M",
                                   "-o",
                                   figures,
                                   std::string(std::getenv("LABELPLU_BIN")) + "/labelhost"};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::map<std::string, std::string> env = {
      {"LANG", "ru_RU.UTF-8"}, {"LANGUAGE", ""},           {"LC_ALL", ""},
      {"LC_MESSAGES", ""},     {"HOME", dir.File("home")}, {"XDG_CONFIG_HOME", dir.File("config")}};
  HostRun run;
  run.result = RunProcess(argv, env, "", timeoutSeconds);
  std::ifstream in(figures);
  int64_t kb = 0;
  in >> run.seconds >> kb;
  run.peakMb = kb / 1024;
  std::printf("[ measure  ] labelhost %s: %.2f s, peak %lld MiB\n",
              args.size() > 2 ? args[2].c_str() : "", run.seconds,
              static_cast<long long>(run.peakMb));
  return run;
}

std::string HugeWords() {
  std::string text;
  text.reserve(kHundredMb + 16);
  while (text.size() < kHundredMb) text += "слово ";
  return text;
}

TEST(LabelhostBounds, HundredMegabyteCsvFieldPrints) {
  TempDir dir;
  const std::string csv = dir.Write("goods.csv", "Наименование,Артикул,Цена,ШтрихКод\n" +
                                                     HugeWords() + ",А-1,\"1,00\",4607001010005\n")
                              .string();
  const std::string pdf = dir.File("labels.pdf");
  const HostRun run = Labelhost(
      dir,
      {"--settings", dir.File("s.xml"), "print", "--template",
       std::string(std::getenv("LABELPLU_SOURCE")) + "/samples/templates/price_tag.lb3", "--data",
       csv, "--output", pdf, "--paper", "label", "--set", "Дата упаковки=01.12.2026"},
      60);
  ASSERT_EQ(run.result.exitCode, 0) << run.result.out << run.result.err;
  EXPECT_NE(run.result.out.find("Result 0:"), std::string::npos) << run.result.out;
  EXPECT_GT(std::filesystem::file_size(pdf), 0u);
  // The PDF holds what the label shows, not the whole field.
  EXPECT_LT(std::filesystem::file_size(pdf), size_t{1} << 20);
  EXPECT_LT(run.peakMb, 1200);
}

TEST(LabelhostBounds, HundredMegabyteScriptArgument) {
  TempDir dir;
  // A device name of 100 MiB through the JSON script and Dispatch (past the
  // XML parser's limit on an attribute), a 100 MiB text where a number is
  // due, then a request that shows nothing was added.
  const std::string huge(kHundredMb, 'A');
  const std::string script =
      dir.Write("script.jsonl",
                "[\"call\", \"ДобавитьУстройство\", \"<Устройство Наименование=\\\"" + huge +
                    "\\\"/>\"]\n[\"call\", \"ОписаниеОшибки\", \"" + huge +
                    "\"]\n[\"get\", \"КоличествоУстройств\"]\n")
          .string();
  const HostRun run = Labelhost(dir, {"--settings", dir.File("s.xml"), "run", script}, 60);
  EXPECT_EQ(run.result.exitCode, 1) << run.result.err.substr(0, 2000);
  EXPECT_EQ(run.result.out,
            "{\"ok\":false,\"code\":null,\"message\":\"XML parse error at line 1: AttValue length "
            "too long\"}\n"
            "{\"ok\":false,\"code\":4,\"message\":\"Неверный тип параметра\"}\n"
            "{\"ok\":true,\"result\":0,\"args\":[]}\n");
  EXPECT_LT(run.peakMb, 2000);
}

}  // namespace
}  // namespace labelplu::test
