// Label templates far past their limits: a million items, a file larger than
// a template may be, elements nested ten thousand deep, an embedded picture
// whose header claims 2^31 × 2^31 pixels. Each ends in TemplateError within
// seconds and bounded memory, and the label keeps nothing of it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "label/ItemClasses.h"
#include "label/Label.h"
#include "label/TemplateError.h"
#include "tests/robustness/ResourceMeter.h"
#include "tests/robustness/RobustnessSupport.h"

namespace labelplu::test {
namespace {

std::string ManyItems(int count) {
  std::string xml = "<Label Width=\"58\" Height=\"40\">";
  xml.reserve(xml.size() + static_cast<size_t>(count) * 26 + 8);
  for (int i = 0; i < count; ++i) xml += "<Item ClassName=\"Line\"/>\n";
  return xml + "</Label>";
}

// The TemplateError message a load ends in ("" when it loads), with its
// memory checked.
std::string LoadError(const char* what, const std::function<void()>& load, int64_t maxGrowthMb) {
  std::string message;
  const Usage usage = Measure(what, [&] {
    try {
      load();
    } catch (const TemplateError& e) {
      message = e.what();
    }
  });
  EXPECT_LT(usage.peakGrowthMb, maxGrowthMb) << what;
  return message;
}

std::string LoadError(const char* what, Label& label, const std::string& xml, int64_t maxGrowthMb) {
  return LoadError(
      what, [&] { label.LoadFromXml(xml, "bounds.lb3"); }, maxGrowthMb);
}

TEST(TemplateBounds, TooManyElementsAreRefusedBeforeParsing) {
  std::string properties = "<Label Width=\"58\" Height=\"40\"><Item ClassName=\"Line\">";
  for (int64_t i = 0; i < kMaxTemplateElements; ++i) properties += "<Property/>";
  properties += "</Item></Label>";
  const struct {
    const char* what;
    std::string xml;
    const char* message;
  } cases[] = {
      {"template of 10^6 items", ManyItems(1000000),
       "1000000 items are more than the 10000 a label holds"},
      {"template of 640 001 elements", properties,
       "640002 elements are more than the 640000 a template may hold"},
  };
  for (const auto& c : cases) {
    Label label;
    label.AddItem(*FindItemClass("Line"));
    const std::string message = LoadError(c.what, label, c.xml, 16);
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
    EXPECT_EQ(label.ItemCount(), 1) << "the label keeps what it held";
  }

  // One item past the limit fails the same way; the limit itself loads.
  Label edge;
  EXPECT_THROW(edge.LoadFromXml(ManyItems(kMaxTemplateItems + 1)), TemplateError);
  EXPECT_EQ(edge.LoadFromXml(ManyItems(kMaxTemplateItems)), 0);
  EXPECT_EQ(edge.ItemCount(), kMaxTemplateItems);
}

TEST(TemplateBounds, OversizedFileIsRefusedUnread) {
  TempDir dir;
  const std::string path = dir.Write("huge.lb3", "<Label Width=\"58\" Height=\"40\">").string();
  // A sparse file: its size is checked before a byte of it is read.
  std::filesystem::resize_file(path, kMaxTemplateBytes + 1);
  Label label;
  const std::string message = LoadError(
      "template file of 64 MiB + 1", [&] { label.LoadFromFile(path); }, 16);
  EXPECT_NE(message.find("larger than a template may be"), std::string::npos) << message;
}

TEST(TemplateBounds, FileAtTheSizeLimitOfEmptyItems) {
  TempDir dir;
  std::string xml = "<Label Width=\"58\" Height=\"40\">";
  while (xml.size() < kMaxTemplateBytes - 16) xml += "<Item/>";
  xml += "</Label>";
  const std::string path = dir.Write("items.lb3", xml).string();
  xml = std::string();
  Label label;
  // The file's bytes and their UTF-8 text; no document tree.
  const std::string message = LoadError(
      "template file of 64 MiB of empty items", [&] { label.LoadFromFile(path); }, 256);
  EXPECT_NE(message.find("items are more than the 10000"), std::string::npos) << message;
}

TEST(TemplateBounds, DeepNestingIsAParseError) {
  Label label;
  std::string xml = "<Label Width=\"58\" Height=\"40\"><Item ClassName=\"Line\">";
  for (int i = 0; i < 10000; ++i) xml += "<Property>";
  for (int i = 0; i < 10000; ++i) xml += "</Property>";
  xml += "</Item></Label>";
  const std::string message = LoadError("template nested 10^4 deep", label, xml, 64);
  EXPECT_NE(message.find("bounds.lb3"), std::string::npos) << message;
  EXPECT_NE(message.find("depth"), std::string::npos) << message;
  EXPECT_EQ(label.ItemCount(), 0);
}

TEST(TemplateBounds, EmbeddedPictureOfAbsurdSidesIsRefused) {
  // Sides of 2^31 - 1 (and the negative top-down form), 65536, and a picture
  // within the side limit whose area passes the embedded-image budget.
  const struct {
    int32_t width, height;
  } cases[] = {{INT32_MAX, INT32_MAX}, {INT32_MAX, INT32_MIN + 1}, {65536, 1}, {30000, 30000}};
  for (const auto& c : cases) {
    const std::string xml =
        "<Label Width=\"58\" Height=\"40\"><Item ClassName=\"Line\"/>"
        "<ImageList Count=\"1\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
        "<Image Name=\"big.bmp\" Path=\"\" dt:dt=\"bin.base64\">" +
        Base64(BmpHeader(c.width, c.height, 24)) + "</Image></ImageList></Label>";
    Label label;
    const std::string message = LoadError("embedded picture of absurd sides", label, xml, 32);
    EXPECT_NE(message.find("embedded image \"big.bmp\""), std::string::npos) << message;
    EXPECT_EQ(label.ItemCount(), 0) << c.width << " x " << c.height;
  }
}

}  // namespace
}  // namespace labelplu::test
