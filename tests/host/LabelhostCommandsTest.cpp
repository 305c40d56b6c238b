// The device commands of labelhost, each run once on a settings file with a
// known set of devices; what they print and what they leave stored.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/xml/XmlDom.h"
#include "tests/host/LabelhostRun.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {
namespace {

const std::string kStock = "Склад {0B6A3C2E-5D41-4F7A-9C3B-1E2D3F4A5B6C}";
const std::string kTill = "Касса 2 {9F8E7D6C-5B4A-4392-8171-605F4E3D2C1B}";
const char kScales[] =
    "<Устройство Код=\"{11111111-2222-3333-4444-555555555555}\" Наименование=\"Весы\"/>";
const char kOneDevice[] =
    "<EquList><Устройство Код=\"{0B6A3C2E-5D41-4F7A-9C3B-1E2D3F4A5B6C}\" "
    "Наименование=\"Склад\"/></EquList>";

// The names of the devices of a stored settings document, in order.
std::vector<std::string> DeviceNames(const std::string& document) {
  xml::XmlDocument doc;
  doc.loadXML(document);
  std::vector<std::string> names;
  for (const xml::XmlNode& device : doc.selectNodes("//Устройство")) {
    names.push_back(device.getAttribute("Наименование").value_or("?"));
  }
  return names;
}

// A parameter value of a device in a stored settings document.
std::string StoredParameter(const std::string& document, const std::string& device,
                            const std::string& name) {
  xml::XmlDocument doc;
  doc.loadXML(document);
  const xml::XmlNode param =
      doc.selectSingleNode("//Устройство[@Наименование='" + device +
                           "']/Параметры/Параметр[@Идентификатор='" + name + "']");
  return param ? param.getAttribute("Зна4ение").value_or("?") : "(none)";
}

TEST(LabelhostCommands, ChangeAndShowTheDevices) {
  enum Start { Two, One };
  const struct {
    Start start;
    std::vector<std::string> args;
    int exitCode;
    std::string out;                   // the start of standard output
    std::string err;                   // part of standard error; "" for none at all
    std::vector<std::string> devices;  // stored afterwards; {} for the file unchanged
    std::vector<std::string> param;    // {device, name, value} stored afterwards
  } cases[] = {
      {Two,
       {"add"},
       0,
       "Added device 3: Windows-принтер (ЖФУ8) №1 {",
       "",
       {"Склад", "Касса 2", "Windows-принтер (ЖФУ8) №1"},
       {}},
      {Two,
       {"add", "scales.xml"},
       0,
       "Added device 3: Весы {11111111-2222-3333-4444-555555555555}.\n",
       "",
       {"Склад", "Касса 2", "Весы"},
       {}},
      // The first device of the bulk document is the stock device again.
      {Two, {"add", "system.xml"}, 1, "", "has the same code", {}, {}},
      // The document fails to load: the half-loaded device is not kept.
      {Two,
       {"add", "badcode.xml"},
       1,
       "",
       "AddDevice: Значение не является идентификатором объекта.",
       {},
       {}},
      {Two, {"delete", "1"}, 0, "Deleted device 1: " + kStock + ".\n", "", {"Касса 2"}, {}},
      {Two, {"delete", "КАССА 2"}, 0, "Deleted device 2: " + kTill + ".\n", "", {"Склад"}, {}},
      {Two, {"delete", "3"}, 1, "", "no device \"3\": Устройство не обнаружено (code 3)", {}, {}},
      {Two, {"select", "касса 2"}, 0, "Selected device 2: " + kTill + ".\n", "", {}, {}},
      {Two,
       {"select", "Нет"},
       1,
       "",
       "no device \"Нет\": Устройство не обнаружено (code 3)",
       {},
       {}},
      {Two,
       {"param", "--device", "Касса 2", "ШаблонПоУмолчанию", "x.lb3"},
       0,
       "Device 2: " + kTill + ": ШаблонПоУмолчанию = x.lb3\n",
       "",
       {"Склад", "Касса 2"},
       {"Касса 2", "ШаблонПоУмолчанию", "x.lb3"}},
      {Two,
       {"param", "ШиринаЭтикетки", "70", "--device=1"},
       0,
       "Device 1: " + kStock + ": ШиринаЭтикетки = 70\n",
       "",
       {"Склад", "Касса 2"},
       {"Склад", "ШиринаЭтикетки", "70"}},
      // A parameter that is not a property of the driver.
      {Two,
       {"param", "--device", "1", "GapHorizontal", "3,5"},
       0,
       "Device 1: " + kStock + ": GapHorizontal = 3,5\n",
       "",
       {"Склад", "Касса 2"},
       {"Склад", "GapHorizontal", "3,5"}},
      // The English name of a parameter property.
      {Two,
       {"param", "--device", "1", "LabelWidth", "65"},
       0,
       "Device 1: " + kStock + ": LabelWidth = 65\n",
       "",
       {"Склад", "Касса 2"},
       {"Склад", "ШиринаЭтикетки", "65"}},
      {Two,
       {"param", "--device", "1", "ШиринаЭтикетки", "широкая"},
       1,
       "",
       "SetProps: Incorrect type of property [Ширина этикетки] (code 20029)",
       {},
       {}},
      // Read-only for hosts, but the device's owner sets the counts and
      // the printer; the settings only the dialog writes stay refused.
      {Two,
       {"param", "--device", "1", "MaxHorizontal", "4"},
       0,
       "Device 1: " + kStock + ": MaxHorizontal = 4\n",
       "",
       {"Склад", "Касса 2"},
       {"Склад", "MaxHorizontal", "4"}},
      {Two,
       {"param", "--device", "2", "MaxVertical", "99"},
       0,
       "Device 2: " + kTill + ": MaxVertical = 99\n",
       "",
       {"Склад", "Касса 2"},
       {"Касса 2", "MaxVertical", "99"}},
      {Two,
       {"param", "--device", "2", "PrinterName", "Другой"},
       0,
       "Device 2: " + kTill + ": PrinterName = Другой\n",
       "",
       {"Склад", "Касса 2"},
       {"Касса 2", "PrinterName", "Другой"}},
      {Two,
       {"param", "--device", "1", "MaxVertical", "0"},
       2,
       "",
       "MaxVertical takes a whole number from 1 to 99",
       {},
       {}},
      {Two,
       {"param", "--device", "1", "MaxHorizontal", "100"},
       2,
       "",
       "MaxHorizontal takes a whole number from 1 to 99",
       {},
       {}},
      {Two,
       {"param", "--device", "1", "MaxHorizontal", "2,5"},
       2,
       "",
       "MaxHorizontal takes a whole number from 1 to 99",
       {},
       {}},
      {Two,
       {"param", "--device", "2", "PaperIndex", "9"},
       1,
       "",
       "the parameter PaperIndex is written by the settings dialog (labelhost configure)",
       {},
       {}},
      {Two,
       {"param", "--device", "2", "AutoPaperMargin", "0"},
       1,
       "",
       "the parameter AutoPaperMargin is written by the settings dialog",
       {},
       {}},
      {Two, {"param", "ШаблонПоУмолчанию", "x.lb3"}, 2, "", "there are 2 devices", {}, {}},
      {Two,
       {"param", "--device", "1", "НетТакого", "1"},
       1,
       "",
       "НетТакого: Method/property [НетТакого] it is not revealed (code 20036)",
       {},
       {}},
      {One,
       {"param", "ШаблонПоУмолчанию", "y.lb3"},
       0,
       "Device 1: " + kStock + ": ШаблонПоУмолчанию = y.lb3\n",
       "",
       {"Склад"},
       {"Склад", "ШаблонПоУмолчанию", "y.lb3"}},
      // Switching changes no settings.
      {Two, {"on", "2"}, 0, "Device 2: " + kTill + " is on.\n", "", {}, {}},
      {Two, {"off", "склад"}, 0, "Device 1: " + kStock + " is off.\n", "", {}, {}},
      {One, {"on"}, 0, "Device 1: " + kStock + " is on.\n", "", {}, {}},
      {Two, {"on"}, 2, "", "there are 2 devices", {}, {}},
  };
  const TempDir dir;
  dir.Write("scales.xml", kScales);
  dir.Write("badcode.xml", "<Устройство Код=\"x\" Наименование=\"Плохой\"/>");
  dir.Write("system.xml", FileText(SourcePath("samples/settings/system.xml")));
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& arg : c.args) shown += " " + arg;
    SCOPED_TRACE(shown);
    const std::string start =
        c.start == Two ? FileText(SourcePath("samples/settings/system.xml")) : kOneDevice;
    const std::filesystem::path settings = dir.Write("settings.xml", start);
    std::vector<std::string> args = {"--settings", settings.string()};
    for (const std::string& arg : c.args) {
      args.push_back(arg.ends_with(".xml") ? (dir.Path() / arg).string() : arg);
    }

    const ProcessResult run = Labelhost(args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out) << run.out;
    if (c.err.empty()) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
    const std::string stored = FileText(settings);
    if (c.devices.empty()) {
      EXPECT_EQ(stored, start);
    } else {
      EXPECT_EQ(DeviceNames(stored), c.devices);
    }
    if (!c.param.empty()) {
      EXPECT_EQ(StoredParameter(stored, c.param[0], c.param[1]), c.param[2]);
    }
  }
}

TEST(LabelhostCommands, DevicesListsEveryDeviceWithItsParameters) {
  const TempDir dir;
  const std::filesystem::path settings =
      dir.Write("settings.xml", FileText(SourcePath("samples/settings/system.xml")));
  const ProcessResult run = Labelhost({"--settings", settings.string(), "devices"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto lines = Lines(run.out);
  // A line holding the words in this order, separated by blanks only.
  const auto has = [&](const std::vector<std::string>& words) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      size_t at = line.find_first_not_of(' ');
      for (const std::string& word : words) {
        if (at == std::string::npos || line.compare(at, word.size(), word) != 0) return false;
        at = line.find_first_not_of(' ', at + word.size());
      }
      return at == std::string::npos;
    });
  };
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "1  Склад  {0B6A3C2E-5D41-4F7A-9C3B-1E2D3F4A5B6C}  off");
  EXPECT_TRUE(has({"2", "Касса 2", "{9F8E7D6C-5B4A-4392-8171-605F4E3D2C1B}", "off"})) << run.out;
  // Every parameter of a device, with its value and caption; a value with a
  // line break stays on one line.
  EXPECT_TRUE(has({"Примечание", "первая строка\\nвторая строка"})) << run.out;
  EXPECT_TRUE(has({"ШаблонПоУмолчанию", "price.lb3", "Шаблон по умолчанию"})) << run.out;
  EXPECT_TRUE(has({"PrinterName", "Zebra_GK420t", "Имя принтера (read-only)"})) << run.out;

  const std::filesystem::path empty = dir.Path() / "none.xml";
  EXPECT_EQ(Labelhost({"--settings", empty.string(), "devices"}).out, "No devices.\n");
  const ProcessResult none = Labelhost({"--settings", empty.string(), "show-settings"});
  EXPECT_EQ(none.exitCode, 0);
  EXPECT_EQ(none.out, "");
  EXPECT_NE(none.err.find("no settings stored yet"), std::string::npos) << none.err;
  EXPECT_FALSE(std::filesystem::exists(empty));
}

}  // namespace
}  // namespace labelplu::test
