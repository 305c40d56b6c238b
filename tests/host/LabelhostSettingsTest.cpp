// labelhost keeps the driver's device settings in its settings file between
// runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/ole/Utf.h"
#include "tests/host/LabelhostRun.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {
namespace {

const char kStockCode[] = "{0B6A3C2E-5D41-4F7A-9C3B-1E2D3F4A5B6C}";

ino_t Inode(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(LabelhostSettings, DevicesAddedInOneRunExistInTheNext) {
  const TempDir dir;
  const std::string settings = (dir.Path() / "sub" / "settings.xml").string();

  const ProcessResult first =
      Labelhost({"--settings", settings, "add", SourcePath("samples/settings/system.xml")});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.out, "Added device 1: Склад " + std::string(kStockCode) + ".\n");
  const std::string stored = FileText(settings);
  EXPECT_EQ(stored.rfind("<?xml", 0), 0u) << stored;
  EXPECT_NE(stored.find("<EquList><Устройство Код=\"" + std::string(kStockCode)), std::string::npos)
      << stored;
  // Only the document is left in the folder: no temporary file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path() / "sub"), {}), 1);

  const ino_t before = Inode(settings);
  const ProcessResult second = Labelhost({"--settings", settings, "devices"});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  const auto lines = Lines(second.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "1  Склад  " + std::string(kStockCode) + "  off");
  EXPECT_NE(second.out.find("ШаблонПоУмолчанию  price.lb3"), std::string::npos) << second.out;
  // Reading changed nothing, so the file was not written again.
  EXPECT_EQ(Inode(settings), before);
  EXPECT_EQ(FileText(settings), stored);

  // A script sees the same devices, and its changes are kept too.
  const ProcessResult script =
      Labelhost({"--settings", settings, "run", "-"},
                "[\"get\", \"КоличествоУстройств\"]\n[\"call\", \"DeleteDevice\", 1]\n");
  EXPECT_EQ(script.out,
            "{\"ok\":true,\"result\":1,\"args\":[]}\n{\"ok\":true,\"result\":0,\"args\":[1]}\n");
  EXPECT_EQ(FileText(settings).find(kStockCode), std::string::npos);
  EXPECT_EQ(Labelhost({"--settings", settings, "devices"}).out, "No devices.\n");
}

TEST(LabelhostSettings, DefaultFileIsUnderTheConfigFolder) {
  const TempDir dir;
  const struct {
    std::map<std::string, std::string> env;
    std::filesystem::path expected;
  } cases[] = {
      {{{"XDG_CONFIG_HOME", (dir.Path() / "xdg").string()}},
       dir.Path() / "xdg/labelplu/settings.xml"},
      {{{"XDG_CONFIG_HOME", ""}, {"HOME", (dir.Path() / "home").string()}},
       dir.Path() / "home/.config/labelplu/settings.xml"},
  };
  for (const auto& c : cases) {
    const ProcessResult run = Labelhost({"add"}, "", c.env);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(FileText(c.expected).find("<EquList>"), std::string::npos) << c.expected;
    // show-settings prints what is stored there.
    EXPECT_EQ(Labelhost({"show-settings"}, "", c.env).out, FileText(c.expected));
  }
}

TEST(LabelhostSettings, UnusableSettingsFileStopsTheRunAndStaysAsItWas) {
  const TempDir dir;
  const struct {
    const char* content;
    const char* reason;
  } cases[] = {
      {"<EquList><Устройство></EquList>", "is malformed: XML parse error at line 1"},
      {"", "is malformed"},
      {"<html><body/></html>", "holds no device settings"},
      {"\xC3\x28<EquList/>", "it is not UTF-8 (or UTF-16) text"},
      // Well-formed, but the driver cannot read the device's code.
      {"<EquList><Устройство Код=\"x\"/></EquList>", "the plug-in refused the settings file"},
  };
  for (const auto& c : cases) {
    const std::filesystem::path settings = dir.Write("settings.xml", c.content);
    for (const char* command : {"devices", "add"}) {
      const ProcessResult run = Labelhost({"--settings", settings.string(), command});
      EXPECT_EQ(run.exitCode, 2) << c.content;
      EXPECT_EQ(run.out, "") << c.content;
      EXPECT_NE(run.err.find(settings.string()), std::string::npos) << run.err;
      EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
      EXPECT_EQ(FileText(settings), c.content);
    }
  }
  // A folder in place of the file.
  const ProcessResult folder = Labelhost({"--settings", dir.Path().string(), "devices"});
  EXPECT_EQ(folder.exitCode, 2);
  EXPECT_NE(folder.err.find("not a regular file"), std::string::npos) << folder.err;
}

TEST(LabelhostSettings, UnicodeTextFileWithByteOrderMarkLoads) {
  const TempDir dir;
  const std::u16string text = ole::Utf8ToUtf16(FileText(SourcePath("samples/settings/system.xml")));
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  const std::filesystem::path settings = dir.Write("settings.xml", bytes);
  const ProcessResult run =
      Labelhost({"--settings", settings.string(), "get", "КоличествоУстройств"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "{\"ok\":true,\"result\":2,\"args\":[]}\n");
  EXPECT_EQ(FileText(settings), bytes);
}

}  // namespace
}  // namespace labelplu::test
