// The template check: what the load passes over, seen with its line, and
// the checks of the loaded label against a job's data.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <string>
#include <utility>
#include <vector>

#include "label/Cp1251.h"
#include "label/Label.h"
#include "label/LabelItem.h"
#include "label/TemplateCheck.h"
#include "label/TemplateFile.h"
#include "tests/support/TempDir.h"

namespace labelplu {
namespace {

// A template of the given items (each an "Item" element's inner text with
// its class), one element per line from line 3 on.
std::string Template(const std::vector<std::pair<std::string, std::string>>& items,
                     const char* size = "Width=\"58\" Height=\"40\"") {
  std::string text = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<Label ";
  text += size;
  text += ">\n";
  for (const auto& [cls, body] : items)
    text.append("<Item ClassName=\"").append(cls).append("\">\n").append(body).append("</Item>\n");
  return Utf8ToCp1251Xml(text + "</Label>\n");
}

std::string Prop(const std::string& name, const std::string& value) {
  return "<Property Name=\"" + name + "\" Value=\"" + value + "\"/>\n";
}

struct Seen {
  std::string what;
  int32_t line;
  int32_t number;
  std::string name;
};

class Recorder : public TemplateLoadObserver {
 public:
  void UnknownClass(int32_t line, int32_t itemNumber, std::string_view className) override {
    seen.push_back({"class", line, itemNumber, std::string(className)});
  }
  void ItemLoaded(const LabelItem& item, int32_t line, int32_t itemNumber) override {
    seen.push_back({"item", line, itemNumber, std::string(item.ClassName())});
    numbers[&item] = itemNumber;
  }
  void SettingSkipped(const LabelItem& item, int32_t line, SkippedSetting why,
                      std::string_view name, std::string_view, std::string_view) override {
    static const char* const kWhy[] = {"incomplete", "unknown", "empty", "bad"};
    seen.push_back({kWhy[static_cast<int>(why)], line, numbers[&item], std::string(name)});
  }
  std::vector<Seen> seen;
  std::map<const LabelItem*, int32_t> numbers;
};

bool operator==(const Seen& a, const Seen& b) {
  return a.what == b.what && a.line == b.line && a.number == b.number && a.name == b.name;
}

void PrintTo(const Seen& s, std::ostream* out) {
  *out << s.what << " line " << s.line << " #" << s.number << " " << s.name;
}

TEST(TemplateLoadObserver, SeesEverySkipWithItsLineAndTheLabelLoadsAsWithout) {
  const std::string text = Template({
      {"TextGraphic", Prop("DS", "dsPrice") + Prop("Font.Size", "20pt") + Prop("Colour", "1")},
      {"Shq", Prop("Value", "1")},
      {"Shk", "<Property Name=\"Value\"/>\n" + Prop("BarCodeType", "bcCode129") +
                  Prop("Width", "") + Prop("Value", "") + Prop("Font.Bold", "True")},
  });
  Recorder recorder;
  Label observed;
  observed.LoadFromXmlObserved(text, "t.lb3", recorder);
  const std::vector<Seen> expected = {
      {"item", 3, 1, "TextGraphic"}, {"bad", 5, 1, "Font.Size"}, {"unknown", 6, 1, "Colour"},
      {"class", 8, 2, "Shq"},        {"item", 11, 3, "Shk"},     {"incomplete", 12, 3, "Value"},
      {"bad", 13, 3, "BarCodeType"}, {"empty", 14, 3, "Width"},  {"unknown", 16, 3, "Font.Bold"},
  };
  EXPECT_EQ(recorder.seen, expected);
  Label plain;
  plain.LoadFromXml(text, "t.lb3");
  EXPECT_EQ(observed.SaveToXml(), plain.SaveToXml());
}

struct Job {
  std::vector<std::string> fields;
  std::vector<std::vector<std::string>> records;
  std::vector<std::pair<std::string, std::string>> common;
  CheckData data;
  const CheckData* Data() {
    data.FieldNames = fields;
    data.Records = &records;
    data.Common = common;
    return &data;
  }
};

std::vector<CheckKind> KindsOf(const CheckReport& report) {
  std::vector<CheckKind> kinds;
  for (const CheckProblem& p : report.Problems) kinds.push_back(p.Kind);
  return kinds;
}

const std::string kEan = Prop("DS", "dsSHK") + Prop("Left", "10") + Prop("Top", "20") +
                         Prop("Width", "36") + Prop("Height", "15") +
                         Prop("BarCodeType", "bcEAN_13") + Prop("Value", "4607001234562");

TEST(TemplateCheck, RecordsAreFilledAsTheJobFillsThem) {
  const std::string text = Template({{"Shk", kEan}, {"TextGraphic", Prop("DS", "dsPrice")}});
  Job job;
  // The copy count is read by the job, not unused; a common value comes
  // before the record's fields, which win; "Штрихкод" is dsSHK's caption.
  job.fields = {"ЧислоКопий", "Цена", "Штрихкод"};
  job.common = {{"Шаблон", "/x.lb3"}, {"dsSHK", "bad"}};
  for (int i = 1; i <= 30; ++i)
    job.records.push_back({"1", "9,99", i % 3 ? "4607001010005" : "12"});
  CheckInput input;
  input.Data = job.Data();
  input.ListLimit = 4;
  const CheckReport report = CheckTemplate(text, "t.lb3", input);
  EXPECT_EQ(report.Errors, 10);
  EXPECT_EQ(report.Warnings, 0);
  ASSERT_EQ(report.Problems.size(), 4u);
  EXPECT_EQ(report.Unlisted[static_cast<size_t>(CheckKind::RecordFails)], 6);
  const CheckProblem& first = report.Problems[0];
  EXPECT_EQ(first.Kind, CheckKind::RecordFails);
  EXPECT_EQ(first.Record, 3);
  EXPECT_EQ(first.Name, "Штрихкод");
  EXPECT_EQ(first.Value, "12");
  EXPECT_EQ(first.Line, 3);
  EXPECT_EQ(first.Item.Number, 1);
  EXPECT_EQ(first.Item.ClassName, "Shk");
  EXPECT_EQ(first.Item.Source, "dsSHK");
  EXPECT_FALSE(first.Detail.empty());
  EXPECT_EQ(report.Problems[3].Record, 12);
}

TEST(TemplateCheck, FeedsAndUnusedNames) {
  const std::string text =
      Template({{"TextGraphic", Prop("DS", "dsPrice") + Prop("Value", "99,90")},
                {"TextGraphic", Prop("DS", "dsName")},
                {"TextGraphic", Prop("Value", "руб.")}});
  Job job;
  job.fields = {" Цена", "Наименование"};
  job.records = {{"1", "a"}};
  job.common = {{"Шаблон", "/x.lb3"}, {"Склад", "1"}};
  CheckInput input;
  input.Data = job.Data();
  const CheckReport report = CheckTemplate(text, "t.lb3", input);
  ASSERT_EQ(KindsOf(report),
            (std::vector<CheckKind>{CheckKind::UnfedSource, CheckKind::UnusedCommonValue,
                                    CheckKind::UnusedField}));
  EXPECT_EQ(report.Problems[0].Name, "dsPrice");
  EXPECT_EQ(report.Problems[0].Value, "99,90");
  EXPECT_EQ(report.Problems[0].Names, (std::vector<std::string>{"Цена", "dsPrice"}));
  EXPECT_EQ(report.Problems[1].Name, "Склад");
  EXPECT_EQ(report.Problems[2].Name, " Цена");
  EXPECT_EQ(report.Errors, 1);
  EXPECT_EQ(report.Warnings, 2);
  // Without data nothing is said of feeds.
  EXPECT_TRUE(CheckTemplate(text, "t.lb3", CheckInput{}).Problems.empty());
}

TEST(TemplateCheck, PlacementAndSymbolSizes) {
  const auto box = [](const char* left, const char* top, const char* width, const char* height) {
    return Prop("Left", left) + Prop("Top", top) + Prop("Width", width) + Prop("Height", height);
  };
  struct Case {
    const char* what;
    std::string cls;
    std::string body;
    std::vector<CheckKind> expected;
  };
  const Case cases[] = {
      {"inside", "Rectangle", box("0", "0", "58", "40"), {}},
      {"wholly right of it", "Rectangle", box("60", "5", "10", "10"), {CheckKind::OutsideLabel}},
      {"partly below", "Rectangle", box("5", "35", "10", "10"), {CheckKind::PartlyOutside}},
      // Turned about its centre, a 50 × 4 mm box reaches above and below.
      {"turned",
       "TextGraphic",
       box("4", "18", "50", "4") + Prop("RotationFixed", "r90"),
       {CheckKind::PartlyOutside}},
      {"EAN-13 that fits", "Shk", kEan, {}},
      {"EAN-13 wider than its box", "Shk", kEan + Prop("Width", "10"), {CheckKind::BarcodeFails}},
      // Its picture is finer than its modules; scaled to the box it scans.
      {"MaxiCode in a box of its size",
       "2DShk",
       box("1", "1", "30", "30") + Prop("BRType2D", "br2MaxiCode") + Prop("Value", "MAXI 1"),
       {}},
      {"PDF417 squeezed below a dot per module",
       "2DShk",
       box("1", "1", "3", "3") + Prop("BRType2D", "br2PDF417") +
           Prop("Value", std::string(300, 'x')),
       {CheckKind::BarcodeTooLarge}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CheckReport report = CheckTemplate(Template({{c.cls, c.body}}), "t.lb3", CheckInput{});
    EXPECT_EQ(KindsOf(report), c.expected);
  }
}

TEST(TemplateCheck, FilesThatDoNotLoadOrAreMisread) {
  const std::string good = TemplateBytesToUtf8(Template({{"TextGraphic", Prop("Value", "Цена")}}));
  // Saved as UTF-8 under a Windows-1251 declaration: read as it would be
  // printed, and said.
  CheckReport report = CheckTemplate(good, "t.lb3", CheckInput{});
  ASSERT_EQ(KindsOf(report), std::vector<CheckKind>{CheckKind::Utf8Undeclared});
  EXPECT_EQ(report.Problems[0].Line, 4);
  report = CheckTemplate("\xEF\xBB\xBF" + good, "t.lb3", CheckInput{});
  EXPECT_TRUE(report.Problems.empty());
  report = CheckTemplate("<Label>\n<Item>\n</Label>", "t.lb3", CheckInput{});
  ASSERT_EQ(KindsOf(report), std::vector<CheckKind>{CheckKind::NotLoaded});
  EXPECT_EQ(report.Problems[0].Line, 3);
  EXPECT_EQ(report.Errors, 1);
}

std::string BmpBytes() {
  QImage picture(8, 8, QImage::Format_RGB32);
  picture.fill(Qt::black);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "BMP");
  return bytes.toStdString();
}

// A picture name is looked up as the job looks it up: the template's
// embedded pictures, then files relative to the plug-in's folder. The
// template's own name is checked unless a column feeds the item; every
// record's name is checked when one does.
TEST(TemplateCheck, PicturesThatAreNotFound) {
  const test::TempDir folder;
  folder.Write("shop.bmp", BmpBytes());
  const std::string unreadable = folder.Write("broken.bmp", "not a bitmap").string();
  const std::string embedded =
      "<ImageList Count=\"1\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">\n"
      "<Image Name=\"logo.bmp\" Path=\"\" dt:dt=\"bin.base64\">" +
      QByteArray::fromStdString(BmpBytes()).toBase64().toStdString() + "</Image>\n</ImageList>\n";
  const auto withPicture = [&](const std::string& body) {
    std::string text = Template({{"Image", Prop("Left", "1") + Prop("Top", "1") + body}});
    text.insert(text.rfind("</Label>"), embedded);
    return text;
  };
  struct Case {
    const char* what;
    std::string body;
    std::vector<std::vector<std::string>> records;  // column "Картинка 1"; none: no data
    std::vector<CheckKind> expected;
  };
  const Case cases[] = {
      {"embedded", Prop("ValueFileName", "LOGO.bmp"), {}, {}},
      {"a file in the plug-in's folder", Prop("ValueFileName", "shop.bmp"), {}, {}},
      {"no name", "", {}, {}},
      {"misspelled", Prop("ValueFileName", "lgo.bmp"), {}, {CheckKind::PictureNotFound}},
      {"unreadable", Prop("ValueFileName", unreadable), {}, {CheckKind::PictureNotFound}},
      {"fed: the template's name is not printed",
       Prop("DS", "dsImage1") + Prop("ValueFileName", "lgo.bmp"),
       {{"logo.bmp"}, {"shop.bmp"}, {""}},
       {}},
      {"fed: records whose names find nothing",
       Prop("DS", "dsImage1"),
       {{"logo.bmp"}, {"lgo.bmp"}, {"shop.bmp"}, {"lgo.bmp"}, {unreadable}},
       {CheckKind::RecordPictureNotFound, CheckKind::RecordPictureNotFound}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Job job;
    job.fields = {"Картинка 1"};
    job.records = c.records;
    CheckInput input;
    input.PictureFolder = folder.Path().string() + "/";
    input.ListLimit = 2;
    if (!c.records.empty()) input.Data = job.Data();
    const CheckReport report = CheckTemplate(withPicture(c.body), "t.lb3", input);
    EXPECT_EQ(KindsOf(report), c.expected);
  }

  // What a message needs: the record, the field, the name, the file looked
  // for or why it cannot be read; the records past the limit are counted.
  Job job;
  job.fields = {"Картинка 1"};
  job.records = {{"logo.bmp"}, {"lgo.bmp"}, {unreadable}, {"lgo.bmp"}, {"x.bmp"}};
  CheckInput input;
  input.PictureFolder = folder.Path().string() + "/";
  input.ListLimit = 2;
  input.Data = job.Data();
  const CheckReport report = CheckTemplate(withPicture(Prop("DS", "dsImage1")), "t.lb3", input);
  ASSERT_EQ(report.Problems.size(), 2u);
  EXPECT_EQ(report.Errors, 4);
  EXPECT_EQ(report.Unlisted[static_cast<size_t>(CheckKind::RecordPictureNotFound)], 2);
  const CheckProblem& missing = report.Problems[0];
  EXPECT_EQ(missing.Record, 2);
  EXPECT_EQ(missing.Name, "Картинка 1");
  EXPECT_EQ(missing.Value, "lgo.bmp");
  EXPECT_TRUE(missing.Detail.empty());
  EXPECT_EQ(missing.Names, std::vector<std::string>{input.PictureFolder + "lgo.bmp"});
  EXPECT_EQ(missing.Item.Source, "dsImage1");
  EXPECT_EQ(report.Problems[1].Record, 3);
  EXPECT_FALSE(report.Problems[1].Detail.empty());
}

}  // namespace
}  // namespace labelplu
