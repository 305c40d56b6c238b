// The template format: loading with its defaults and tolerances, bounded
// failures, values by name, and the writer's round trip.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdio>
#include <fstream>

#include "label/Cp1251.h"
#include "label/Label.h"
#include "label/LabelItem.h"
#include "label/PropText.h"
#include "label/TemplateError.h"
#include "tests/label/ProbeItems.h"
#include "tests/support/TempDir.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

// A template with one probe item holding the given settings.
std::string ProbeTemplate(const std::string& settings, const std::string& cls = "Probe") {
  return "<Label Width=\"58\" Height=\"40\"><Item ClassName=\"" + cls + "\">" + settings +
         "</Item></Label>";
}

std::string Setting(const std::string& name, const std::string& value) {
  return "<Property Name=\"" + name + "\" Value=\"" + value + "\"/>";
}

LabelItem& LoadOne(Label& label, const std::string& settings) {
  label.LoadFromXml(ProbeTemplate(settings));
  EXPECT_EQ(label.ItemCount(), 1);
  return label.Item(0);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(LabelTemplate, LabelSizeFromTheRootWithDefaults) {
  struct Case {
    const char* root;
    double width;
    double height;
  };
  const Case cases[] = {
      {"<Label Width=\"30\" Height=\"20\"/>", 30, 20},
      {"<Label Height=\"20\"/>", 50, 20},
      {"<Label Width=\"abc\" Height=\"\"/>", 50, 50},
      {"<Label Width=\"30,5\" Height=\"20.25\"/>", 30.5, 20.25},  // both separators read
  };
  for (const Case& c : cases) {
    Label label;
    EXPECT_EQ(label.LoadFromXml(c.root), 0);
    EXPECT_EQ(label.Width(), c.width) << c.root;
    EXPECT_EQ(label.Height(), c.height) << c.root;
    EXPECT_EQ(label.ItemCount(), 0);
  }
}

TEST(LabelTemplate, UnknownClassesAreSkippedAndClassNamesIgnoreCase) {
  Label label;
  label.LoadFromXml(
      "<Label><Item ClassName=\"Hologram\"/><Item ClassName=\"probe\"/><Item/>"
      "<Item ClassName=\"PROBEIMAGE\"/><Item ClassName=\"TextTemplate\"/></Label>");
  ASSERT_EQ(label.ItemCount(), 2);
  EXPECT_EQ(label.Item(0).ClassName(), "Probe");
  EXPECT_EQ(label.Item(1).ClassName(), "ProbeImage");
}

TEST(LabelTemplate, SettingsByKind) {
  struct Case {
    std::string name;
    std::string value;
    std::string property;  // read back with GetPropText
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"Left", "12.7", "Left", "13"},
      {"Left", "12,7", "Left", "13"},
      {"Left", "12.5", "Left", "12"},
      {"Ratio", "0.1234", "Ratio", "0,123"},
      {"Ratio", " -2,5 ", "Ratio", "-2,5"},
      {"Count", "42", "Count", "42"},
      {"count", "+9", "Count", "9"},
      {"HAlign", "hacenter", "HAlign", "haCenter"},
      {"Negative", "True", "Negative", "True"},
      {"RotationFixed", "r270", "RotationFixed", "r270"},
      {"DS", "dsPrice", "Value", "Цена"},
      {"Value", "Молоко 3,2%", "Value", "Молоко 3,2%"},
      {"Font.Size", "14", "Font.Size", "14"},
      {"Font.Style", "fsBold,fsItalic", "Font.Style", "fsBold,fsItalic"},
      {"Font.Style", "[fsUnderline, fsBold]", "Font.Style", "fsBold,fsUnderline"},
      {"font.name", "Liberation Serif", "Font.Name", "Liberation Serif"},
      {"Font.Color", "255", "Font.Color", "255"},
      {"Font.Pitch", "fpFixed", "Font.Pitch", "fpFixed"},
  };
  for (const Case& c : cases) {
    Label label;
    LabelItem& p = LoadOne(label, Setting(c.name, c.value));
    EXPECT_EQ(GetPropText(&p, c.property), c.expected) << c.name << "=" << c.value;
  }
}

TEST(LabelTemplate, TheLaterOfFontHeightAndSizeWins) {
  Label label;
  LabelItem& a = LoadOne(label, Setting("Font.Height", "-40") + Setting("Font.Size", "14"));
  EXPECT_EQ(a.Font().Size(), 14);
  LabelItem& b = LoadOne(label, Setting("Font.Size", "14") + Setting("Font.Height", "-40"));
  EXPECT_EQ(b.Font().Height(), -40);
  EXPECT_EQ(b.Font().Size(), 30);
}

TEST(LabelTemplate, EmptyValuesChangeOnlyStrings) {
  Label label;
  LabelItem& p =
      LoadOne(label, Setting("Value", "x") + Setting("Font.Name", "Courier") +
                         Setting("Left", "5") + Setting("Count", "3") +
                         Setting("HAlign", "haRight") + Setting("Font.Style", "fsBold") +
                         Setting("Value", "") + Setting("Font.Name", "") + Setting("Left", "") +
                         Setting("Count", "") + Setting("HAlign", "") + Setting("Font.Style", ""));
  EXPECT_EQ(p.GetValue(), "");
  EXPECT_EQ(p.Font().Name(), "");
  EXPECT_EQ(p.Left(), 5.0);
  EXPECT_EQ(GetPropText(&p, "Count"), "3");
  EXPECT_EQ(GetPropText(&p, "HAlign"), "haRight");
  EXPECT_EQ(GetPropText(&p, "Font.Style"), "fsBold");
}

TEST(LabelTemplate, SettingsThatDoNotApplyAreSkippedOneByOne) {
  Label label;
  LabelItem& p = LoadOne(
      label,
      Setting("HAlign", "haMiddle") + Setting("Left", "12mm") + Setting("Count", "1001") +
          Setting("Count", "99999999999999999999") + Setting("Font.Style", "fsBold,fsShadow") +
          Setting("Font.Style", "fsBold,") + Setting("Left", "1e9") + Setting("Nothing", "1") +
          Setting("Font.Nothing", "1") + Setting("Left.X", "1") + "<Property Name=\"Top\"/>" +
          "<!-- a comment -->text<Other Name=\"Top\" Value=\"4\"/>" + Setting("Count", "12"));
  EXPECT_EQ(GetPropText(&p, "HAlign"), "haLeft");
  EXPECT_EQ(p.Left(), 0.0);
  EXPECT_EQ(p.Font().Style(), 0);
  EXPECT_EQ(p.Top(), 4.0);  // any element name carries a setting
  EXPECT_EQ(GetPropText(&p, "Count"), "12");
}

TEST(LabelTemplate, FailuresNameTheSourceAndKeepTheLabel) {
  struct Case {
    std::string text;
    std::string message;  // a part of what()
    int line;
  };
  const std::vector<Case> cases = {
      {"<Label Width=\"30\">\n<Item ClassName=\"Probe\">\n</Label>", "not an XML document", 3},
      {"", "not an XML document", 0},
      {"<Settings Width=\"30\"/>", "the root element is \"Settings\", not \"Label\"", 0},
      {"<Label Width=\"5000\"/>", "label Width \"5000\" mm is outside", 0},
      {"<Label Height=\"-1\"/>", "label Height \"-1\" mm is outside", 0},
  };
  for (const Case& c : cases) {
    Label label;
    label.LoadFromXml(ProbeTemplate(""));
    try {
      label.LoadFromXml(c.text, "price.lb3");
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const TemplateError& e) {
      EXPECT_NE(std::string(e.what()).find("price.lb3: "), std::string::npos) << e.what();
      EXPECT_NE(e.Reason().find(c.message), std::string::npos) << e.what();
      if (c.line > 0) {
        EXPECT_EQ(e.Line(), c.line) << e.what();
      }
    }
    EXPECT_EQ(label.ItemCount(), 1) << c.text;
    EXPECT_EQ(label.UpdateCount(), 0);
  }
}

TEST(LabelTemplate, TooManyItemsAreRefused) {
  std::string text = "<Label>";
  for (int i = 0; i <= kMaxTemplateItems; ++i) text += "<Item ClassName=\"Nothing\"/>";
  text += "</Label>";
  Label label;
  EXPECT_THROW(label.LoadFromXml(text), TemplateError);
}

TEST(LabelTemplate, FillValueByCaptionOrKeyInAnyCase) {
  const std::string text =
      "<Label>"
      "<Item ClassName=\"Probe\">" +
      Setting("DS", "dsSHK") + "</Item>" + "<Item ClassName=\"Probe\">" + Setting("DS", "dsPrice") +
      "</Item>" + "<Item ClassName=\"Probe\">" + Setting("DS", "dsSHK") + "</Item>" +
      "<Item ClassName=\"ProbeImage\">" + Setting("DS", "dsImage1") + "</Item>" + "</Label>";
  struct Case {
    std::string name;
    std::vector<std::string> values;  // of the four items afterwards
  };
  const std::vector<Case> cases = {
      {"Штрихкод", {"4607001234567", "Цена", "4607001234567", ""}},
      {"штрихКОД", {"4607001234567", "Цена", "4607001234567", ""}},
      {"dsshk", {"4607001234567", "Цена", "4607001234567", ""}},
      {"Цена", {"1234567890128", "4607001234567", "1234567890128", ""}},
      {"Картинка 1", {"1234567890128", "Цена", "1234567890128", "4607001234567"}},
      {"Наименование", {"1234567890128", "Цена", "1234567890128", ""}},
      {"Нечто", {"1234567890128", "Цена", "1234567890128", ""}},
  };
  for (const Case& c : cases) {
    Label label;
    label.LoadFromXml(text);
    label.FillValue(c.name, "4607001234567");
    ASSERT_EQ(label.ItemCount(), 4);
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(label.Item(i).GetValue(), c.values[static_cast<size_t>(i)]) << c.name << " " << i;
  }
}

TEST(LabelTemplate, WrittenTemplatesRoundTrip) {
  Label label;
  label.LoadFromXml(
      "<Label Width=\"58,5\" Height=\"40\">"
      "<Item ClassName=\"Probe\">" +
      Setting("DS", "dsName") + Setting("Value", "Сыр «Российский» ✓ 中") + Setting("Left", "3") +
      Setting("Top", "4") + Setting("Ratio", "0.0005") +
      Setting("Font.Style", "fsItalic,fsStrikeOut") + Setting("Font.Size", "11") +
      Setting("Negative", "true") + Setting("RotationFixed", "r90") +
      "</Item>"
      "<Item ClassName=\"ProbeImage\">" +
      Setting("Value", "logo.bmp") + "</Item></Label>");
  QImage logo(3, 2, QImage::Format_RGB32);
  logo.fill(Qt::red);
  logo.setPixel(1, 1, qRgb(0, 0, 255));
  label.Images().Add(std::make_unique<EmbeddedImage>("logo.bmp", "", logo));

  const TempDir dir;
  const std::string first = dir.File("first.lb3");
  const std::string second = dir.File("second.lb3");
  label.SaveToFile(first);
  Label reread;
  reread.LoadFromFile(first);
  reread.SaveToFile(second);
  EXPECT_EQ(ReadBytes(first), ReadBytes(second));

  EXPECT_EQ(reread.Width(), 58.5);
  ASSERT_EQ(reread.ItemCount(), 2);
  EXPECT_EQ(reread.Item(0).GetValue(), "Сыр «Российский» ✓ 中");
  EXPECT_EQ(GetPropText(&reread.Item(0), "Ratio"), "0,001");
  EXPECT_EQ(reread.Item(1).GetValue(), "logo.bmp");
  const QImage found = reread.FindImage("LOGO.BMP");
  ASSERT_FALSE(found.isNull());
  EXPECT_EQ(found.pixel(1, 1) & 0xFFFFFF, 0x0000FFu);

  const std::string bytes = ReadBytes(first);
  EXPECT_EQ(
      bytes.rfind("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<Label Width=\"58,5\"", 0),
      0u);
  EXPECT_NE(bytes.find(
                "\r\n\t<Item ClassName=\"Probe\">\r\n\t\t<Property Name=\"DS\" Value=\"dsName\"/>"),
            std::string::npos);
  EXPECT_NE(bytes.find("<Property Name=\"Font.Charset\" Value=\"204\"/>"), std::string::npos);
  EXPECT_NE(bytes.find("\xD1\xFB\xF0"), std::string::npos);  // "Сыр" in Windows-1251
  EXPECT_NE(bytes.find("&#10003;"), std::string::npos);      // ✓ is not in the code page
}

TEST(LabelTemplate, FilesAreWindows1251AndBounded) {
  const TempDir dir;
  Label label;
  label.LoadFromFile(dir.File("missing.lb3"));  // nothing happens
  EXPECT_EQ(label.Width(), 58.0);

  const std::string good = dir.File("good.lb3");
  WriteBytes(good, Utf8ToCp1251Xml(ProbeTemplate(Setting("Value", "Цена"))));
  label.SetMode(kModePreview);
  label.LoadFromFile(good);
  EXPECT_EQ(label.Mode(), kModeOffScreen);
  ASSERT_EQ(label.ItemCount(), 1);
  EXPECT_EQ(label.Item(0).GetValue(), "Цена");

  const std::string bad = dir.File("bad.lb3");
  WriteBytes(bad, "<Label>\r\n<Item ClassName=\"Probe\">\r\n" + Setting("Value", "\x98") +
                      "</Item></Label>");
  try {
    label.LoadFromFile(bad);
    ADD_FAILURE() << "no error";
  } catch (const TemplateError& e) {
    EXPECT_EQ(e.Source(), bad);
    EXPECT_EQ(e.Line(), 3);
  }

  const std::string image = dir.File("bad-image.lb3");
  WriteBytes(image,
             "<Label><ImageList xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
             "<Image Name=\"a.bmp\" dt:dt=\"bin.base64\">iVBORw0KGgo=</Image></ImageList></Label>");
  try {
    label.LoadFromFile(image);
    ADD_FAILURE() << "no error";
  } catch (const TemplateError& e) {
    EXPECT_NE(std::string(e.what()).find("embedded image \"a.bmp\": not a bitmap file"),
              std::string::npos)
        << e.what();
  }
  EXPECT_EQ(label.ItemCount(), 0);  // no half-loaded label
}

TEST(LabelTemplate, FindImageLooksAtEmbeddedImagesThenFiles) {
  const TempDir dir;
  Label label;
  EXPECT_TRUE(label.FindImage("nothing.bmp").isNull());

  QImage picture(4, 4, QImage::Format_RGB32);
  picture.fill(Qt::green);
  const std::string bmp = dir.File("picture.bmp");
  ASSERT_TRUE(picture.save(QString::fromStdString(bmp), "BMP"));
  const QImage fromFile = label.FindImage(bmp);
  ASSERT_FALSE(fromFile.isNull());
  EXPECT_EQ(fromFile.size(), QSize(4, 4));

  const std::string png = dir.File("picture.png");
  ASSERT_TRUE(picture.save(QString::fromStdString(png), "PNG"));
  EXPECT_THROW(label.FindImage(png), std::runtime_error);

  // A bitmap header that claims a huge picture is refused before decoding.
  std::string huge = ReadBytes(bmp);
  huge[18] = huge[19] = huge[22] = huge[23] = '\x7F';
  const std::string hugePath = dir.File("huge.bmp");
  WriteBytes(hugePath, huge);
  EXPECT_THROW(label.FindImage(hugePath), std::runtime_error);
}

}  // namespace
