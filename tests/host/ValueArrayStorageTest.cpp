// Value arrays through labelhost end to end: a storage file written with the
// plug-in's own value array in this process, loaded by labelhost through
// {"storage": PATH}, handed to the driver and kept in the settings.
#include <gtest/gtest.h>

#include "host/PluginHost.h"
#include "host/ValueArrays.h"
#include "platform/ole/Bstr.h"
#include "tests/host/LabelhostRun.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {
namespace {

using host::PluginHost;
using ole::OleVariant;

// Writes rows of cells (texts and integers) into a storage file with the
// plug-in's value array class.
void WriteStorageFile(const std::filesystem::path& path,
                      const std::vector<std::vector<OleVariant>>& rows) {
  PluginHost plugin(BinPath("labelplu.plu"));
  ole::ComPtr<ISafeArray> table =
      host::NewValueArray(static_cast<int64_t>(rows.size()), static_cast<int64_t>(rows[0].size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    for (size_t j = 0; j < rows[i].size(); ++j) {
      host::SetCell(table.get(), static_cast<int32_t>(i), static_cast<int32_t>(j),
                    rows[i][j].get());
    }
  }
  ole::BstrPtr name(ole::Utf8ToBstr(path.string()));
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(table->SaveToFile(name.get(), &ok), S_OK);
  ASSERT_EQ(ok, VARIANT_TRUE);
}

TEST(ValueArrayStorage, StorageFileAndRowsReachTheDriverThroughLabelhost) {
  const TempDir dir;
  WriteStorageFile(dir.Path() / "props.sa",
                   {{"ШаблонПоУмолчанию", "", "", "Строка", "из файла.lb3", 0, ""},
                    {"Промежуток", "", "", "Число", "3", 0, ""}});
  const std::filesystem::path settings = dir.Path() / "settings.xml";
  ASSERT_EQ(Labelhost({"--settings", settings.string(), "add"}).exitCode, 0);

  const std::string script =
      "[\"call\", \"ChoiceDevice\", 1]\n"
      "[\"call\", \"SetProps\", {\"storage\": \"props.sa\"}]\n"
      "[\"call\", \"УстановитьСвойства\", [[\"ШиринаЭтикетки\", \"\", \"\", \"Число\", 70, 0, "
      "\"\"]]]\n"
      "[\"get\", \"ШаблонПоУмолчанию\"]\n"
      "[\"get\", \"ШиринаЭтикетки\"]\n"
      "[\"call\", \"CreateComSafeArray\", 2, 3]\n"
      "[\"call\", \"СоздатьПараметры\", \"a\", 3]\n";
  const std::filesystem::path scriptFile = dir.Write("props.jsonl", script);
  const ProcessResult run =
      Labelhost({"--settings", settings.string(), "run", scriptFile.string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const auto lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 7u) << run.out;
  // The arguments come back as the driver holds them: the loaded table cell
  // by cell.
  EXPECT_EQ(lines[1],
            "{\"ok\":true,\"result\":0,\"args\":[[[\"ШаблонПоУмолчанию\",\"\",\"\",\"Строка\","
            "\"из файла.lb3\",0,\"\"],[\"Промежуток\",\"\",\"\",\"Число\",\"3\",0,\"\"]]]}");
  EXPECT_EQ(
      lines[2],
      "{\"ok\":true,\"result\":0,\"args\":[[[\"ШиринаЭтикетки\",\"\",\"\",\"Число\",70,0,\"\"]]]}");
  EXPECT_EQ(lines[3], "{\"ok\":true,\"result\":\"из файла.lb3\",\"args\":[]}");
  EXPECT_EQ(lines[4], "{\"ok\":true,\"result\":70,\"args\":[]}");
  EXPECT_EQ(lines[5],
            "{\"ok\":true,\"result\":[[null,null,null],[null,null,null]],\"args\":[2,3]}");
  // A text where a number belongs counts as 0 rows.
  EXPECT_EQ(lines[6], "{\"ok\":true,\"result\":[],\"args\":[\"a\",3]}");

  // The parameters set through value arrays were stored.
  const std::string stored = FileText(settings);
  EXPECT_NE(stored.find("Идентификатор=\"ШаблонПоУмолчанию\" Зна4ение=\"из файла.lb3\""),
            std::string::npos)
      << stored;
  EXPECT_NE(stored.find("Идентификатор=\"Промежуток\" Зна4ение=\"3\""), std::string::npos);
  EXPECT_NE(stored.find("Идентификатор=\"ШиринаЭтикетки\" Зна4ение=\"70\""), std::string::npos);
}

TEST(ValueArrayStorage, BrokenStorageFileIsAFailedRequest) {
  const TempDir dir;
  const std::filesystem::path broken = dir.Write("broken.sa", "SaFeArRaY but not really");
  const ProcessResult run = Labelhost({"--settings", (dir.Path() / "settings.xml").string(), "call",
                                       "SetProps", "{\"storage\": \"" + broken.string() + "\"}"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out.rfind("{\"ok\":false,\"code\":null,\"message\":\"argument 1: cannot load "
                          "storage file \\\"" +
                              broken.string() + "\\\"",
                          0),
            0u)
      << run.out;
}

}  // namespace
}  // namespace labelplu::test
