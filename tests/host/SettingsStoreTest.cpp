#include "host/SettingsStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cstdlib>

#include <fstream>
#include <sstream>

#include "host/HostError.h"
#include "tests/support/TempDir.h"

namespace labelplu::host {
namespace {

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

mode_t ModeOf(const std::filesystem::path& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// Sets an environment variable for one scope (nullptr unsets it).
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~EnvVar() { m_old ? setenv(m_name, m_old->c_str(), 1) : unsetenv(m_name); }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST(SettingsStore, DefaultPathFollowsXdgConfigHome) {
  const struct {
    const char* xdg;
    const char* home;
    const char* expected;
  } cases[] = {
      {"/cfg", "/home/u", "/cfg/labelplu/settings.xml"},
      {nullptr, "/home/u", "/home/u/.config/labelplu/settings.xml"},
      {"", "/home/u", "/home/u/.config/labelplu/settings.xml"},
      // A relative XDG_CONFIG_HOME is not valid and is ignored.
      {"cfg", "/home/u", "/home/u/.config/labelplu/settings.xml"},
  };
  for (const auto& c : cases) {
    const EnvVar xdg("XDG_CONFIG_HOME", c.xdg);
    const EnvVar home("HOME", c.home);
    EXPECT_EQ(SettingsStore::DefaultPath(), c.expected) << (c.xdg ? c.xdg : "(unset)");
  }
}

TEST(SettingsStore, WriteCreatesFoldersAndReplacesTheFileWhole) {
  const test::TempDir dir;
  const std::filesystem::path path = dir.Path() / "a" / "b" / "settings.xml";
  const SettingsStore store(path.string());
  EXPECT_EQ(store.Read(), std::nullopt);

  store.Write("<EquList/>");
  EXPECT_EQ(FileText(path), "<EquList/>");
  EXPECT_EQ(store.Read(), "<EquList/>");

  // A longer document, then a shorter one: nothing of the old one remains,
  // the permissions stay and no temporary file is left behind.
  ::chmod(path.c_str(), 0640);
  store.Write("<EquList><Устройство Код=\"\"/></EquList>");
  store.Write("<EquList/>");
  EXPECT_EQ(FileText(path), "<EquList/>");
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path.parent_path()), {}), 1);
}

TEST(SettingsStore, WriteThroughASymbolicLinkReplacesItsTarget) {
  const test::TempDir dir;
  const std::filesystem::path target = dir.Write("real.xml", "<EquList/>");
  const std::filesystem::path link = dir.Path() / "settings.xml";
  std::filesystem::create_symlink(target, link);
  SettingsStore(link.string()).Write("<Система/>");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(FileText(target), "<Система/>");
}

TEST(SettingsStore, WriteFailureNamesTheFileAndKeepsTheOldOne) {
  const test::TempDir dir;
  // The folder cannot be created: a file stands in its place.
  const std::filesystem::path blocker = dir.Write("blocker", "x");
  try {
    SettingsStore((blocker / "settings.xml").string()).Write("<EquList/>");
    FAIL() << "no error";
  } catch (const HostError& e) {
    EXPECT_NE(std::string(e.what()).find((blocker / "settings.xml").string()), std::string::npos)
        << e.what();
  }
  // The file cannot be replaced: a folder stands in its place.
  const std::filesystem::path folder = dir.Path() / "settings.xml";
  std::filesystem::create_directory(folder);
  EXPECT_THROW(SettingsStore(folder.string()).Write("<EquList/>"), HostError);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(SettingsStore, ReadAcceptsSettingsDocumentsOnly) {
  const test::TempDir dir;
  const struct {
    std::string bytes;
    const char* text;   // the text read, or nullptr for an error
    const char* error;  // part of the error
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<EquList/>\r\n",
       "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<EquList/>\r\n", nullptr},
      {"\xEF\xBB\xBF<Система/>", "<Система/>", nullptr},
      {"<Устройство/>", "<Устройство/>", nullptr},
      {"<Оборудование><Устройство/></Оборудование>", "<Оборудование><Устройство/></Оборудование>",
       nullptr},
      // UTF-16, big-endian.
      {std::string("\xFE\xFF\0<\0E\0q\0u\0L\0i\0s\0t\0/\0>", 22), "<EquList/>", nullptr},
      {"<EquList>", nullptr, "is malformed: XML parse error at line 1"},
      {"   ", nullptr, "is malformed"},
      {"<Settings><Item/></Settings>", nullptr,
       "holds no device settings: its root element is <Settings>"},
      {"<EquList>\xFF</EquList>", nullptr, "not UTF-8"},
      {"\xFF\xFE<", nullptr, "ends in half a character"},
  };
  for (const auto& c : cases) {
    const std::filesystem::path path = dir.Write("settings.xml", c.bytes);
    const SettingsStore store(path.string());
    if (c.text) {
      EXPECT_EQ(store.Read(), c.text);
      continue;
    }
    try {
      store.Read();
      ADD_FAILURE() << "no error for " << c.bytes;
    } catch (const HostError& e) {
      EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace labelplu::host
