// The template format reference: the committed docs/templates.md is what
// the code writes, its worked examples load with the items they show, and
// what it states about binding and painting holds for the label.
//
// A program of its own: the probe classes of label_test would otherwise
// appear in the reference's class table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "label/DataSources.h"
#include "label/PropText.h"
#include "label/TemplateReference.h"
#include "tests/label/ItemTestSupport.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

std::string SourceRoot() {
  const char* root = std::getenv("LABELPLU_SOURCE");
  return root == nullptr ? std::string(".") : std::string(root);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(TemplateReference, CommittedPageIsWhatTheCodeWrites) {
  const std::string path = SourceRoot() + "/docs/templates.md";
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file) << path << " is missing; run `make docs` and commit it";
  std::ostringstream committed;
  committed << file.rdbuf();
  const std::string written = TemplateReferenceMarkdown(SourceRoot());
  if (committed.str() == written) return;
  const std::vector<std::string> a = SplitLines(committed.str());
  const std::vector<std::string> b = SplitLines(written);
  size_t line = 0;
  while (line < a.size() && line < b.size() && a[line] == b[line]) ++line;
  ADD_FAILURE() << "docs/templates.md differs from what the code writes, first at line " << line + 1
                << ":\n  committed: " << (line < a.size() ? a[line] : std::string("(end of file)"))
                << "\n  written:   " << (line < b.size() ? b[line] : std::string("(end of file)"))
                << "\nRun `make docs` and commit docs/templates.md.";
}

// What each worked example holds: its items in file order as class and data
// source ("" for none), and the data file's header (every bound item has a
// column).
struct ExampleItems {
  const char* templatePath;
  std::vector<std::pair<std::string, std::string>> items;
};

const std::vector<ExampleItems>& Examples() {
  static const std::vector<ExampleItems> examples = {
      {"samples/templates/price_tag_ean13.lb3",
       {{"Rectangle", ""},
        {"TextGraphic", "dsName"},
        {"TextSimple", "dsArticle"},
        {"TextGraphic", "dsPrice"},
        {"TextGraphic", "dsNone"},
        {"Shk", "dsSHK"}}},
      {"samples/templates/shelf_label.lb3",
       {{"Rectangle", ""},
        {"TextGraphic", "dsName"},
        {"TextGraphic", "dsPrice"},
        {"2DShk", "dsSHK"},
        {"Shk", "dsArticle"}}},
      {"samples/templates/address_label.lb3",
       {{"TextGraphic", "dsNone"},
        {"TextGraphic", "dsName"},
        {"TextGraphic", "dsText1"},
        {"TextGraphic", "dsText2"},
        {"Line", ""},
        {"TextGraphic", "dsText3"}}},
  };
  return examples;
}

// The header of a sample data file, split at ',' or ';' (the samples quote
// no header).
std::vector<std::string> HeaderOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::string header;
  std::getline(file, header);
  if (header.starts_with("\xEF\xBB\xBF")) header.erase(0, 3);
  if (!header.empty() && header.back() == '\r') header.pop_back();
  const char separator = header.find(';') != std::string::npos ? ';' : ',';
  std::vector<std::string> columns;
  std::istringstream in(header);
  for (std::string column; std::getline(in, column, separator);) columns.push_back(column);
  return columns;
}

TEST(TemplateReference, ExamplesHoldTheItemsTheyShow) {
  ASSERT_EQ(ReferenceExamples().size(), Examples().size());
  for (size_t i = 0; i < Examples().size(); ++i) {
    const ReferenceExample& shown = ReferenceExamples()[i];
    const ExampleItems& expected = Examples()[i];
    SCOPED_TRACE(shown.TemplatePath);
    ASSERT_EQ(shown.TemplatePath, expected.templatePath);
    EXPECT_NE(shown.Command.find(shown.TemplatePath), std::string_view::npos);
    EXPECT_NE(shown.Command.find(shown.DataPath), std::string_view::npos);

    Label label;
    label.LoadFromFile(SourceRoot() + "/" + std::string(shown.TemplatePath));
    std::vector<std::pair<std::string, std::string>> items;
    items.reserve(static_cast<size_t>(label.ItemCount()));
    for (int32_t k = 0; k < label.ItemCount(); ++k)
      items.emplace_back(label.Item(k).ClassName(), GetPropText(&label.Item(k), "DS"));
    EXPECT_EQ(items, expected.items);

    // Every item with a data source takes a column of the example's data.
    const std::vector<std::string> columns =
        HeaderOf(SourceRoot() + "/" + std::string(shown.DataPath));
    for (const std::string& column : columns) label.FillValue(column, "\x01");
    for (int32_t k = 0; k < label.ItemCount(); ++k) {
      const std::string source = GetPropText(&label.Item(k), "DS");
      if (source.empty() || source == "dsNone") continue;
      EXPECT_EQ(label.Item(k).GetValue(), "\x01") << source << " has no column";
    }
  }
}

// The rule the reference states: a header binds when it is the data
// source's caption in any letter case, or its key; nothing else binds.
struct HeaderCase {
  const char* header;
  bool binds;
};

class ColumnBinding : public testing::TestWithParam<HeaderCase> {};

TEST_P(ColumnBinding, OnlyTheCaptionOrTheKeyBinds) {
  Label label;
  LabelItem& price = label.AddItem(*FindItemClass("TextGraphic"));
  SetPropText(&price, "DS", "dsPrice");
  SetPropText(&price, "Value", "99,90");
  label.FillValue(GetParam().header, "129,90");
  EXPECT_EQ(price.GetValue(), GetParam().binds ? "129,90" : "99,90");
}

INSTANTIATE_TEST_SUITE_P(
    TemplateReference, ColumnBinding,
    testing::Values(HeaderCase{"Цена", true}, HeaderCase{"ЦЕНА", true}, HeaderCase{"цена", true},
                    HeaderCase{"dsPrice", true}, HeaderCase{"DSPRICE", true},
                    HeaderCase{"Цена, руб.", false}, HeaderCase{"Price", false},
                    HeaderCase{"Стоимость", false}, HeaderCase{" Цена", false},
                    HeaderCase{"Цена за единицу веса", false}, HeaderCase{"Значение", false}));

// What an item paints over the ones before it, as the reference's class
// table says: a black block first, then the item over it; the probe point
// lies inside the item's box, away from its own ink.
struct CoverCase {
  const char* className;
  const char* value;
  double probeXmm;  // from the box's top-left corner
  double probeYmm;
  bool covers;
};

class ItemBackground : public testing::TestWithParam<CoverCase> {};

TEST_P(ItemBackground, CoversWhatTheReferenceSays) {
  const CoverCase& c = GetParam();
  PaintedLabel p(203);
  LabelItem& block = p.Add("Line");
  SetPropText(&block, "LineLeft", "2");
  SetPropText(&block, "LineTop", "20");
  SetPropText(&block, "LineLength", "54");
  SetPropText(&block, "PenWidth", "36");
  LabelItem& item = p.Add(c.className);
  for (const auto& [name, text] : {std::pair{"Left", "10"}, std::pair{"Top", "8"},
                                   std::pair{"Width", "30"}, std::pair{"Height", "20"}})
    SetPropText(&item, name, text);
  SetPropText(&item, "Value", c.value);
  const QImage& image = p.Render();
  const int x = static_cast<int>(std::lround((10 + c.probeXmm) * p.Ppm()));
  const int y = static_cast<int>(std::lround((8 + c.probeYmm) * p.Ppm()));
  EXPECT_EQ(!IsInk(image, x, y), c.covers) << c.className;
}

INSTANTIATE_TEST_SUITE_P(TemplateReference, ItemBackground,
                         testing::Values(CoverCase{"Rectangle", "", 15, 10, true},
                                         CoverCase{"Shk", "4607001234562", 29, 1, true},
                                         CoverCase{"2DShk", "4607001234562", 1, 1, true},
                                         CoverCase{"TextGraphic", "Ab", 25, 15, false},
                                         CoverCase{"TextSimple", "Ab", 25, 15, false},
                                         CoverCase{"Line", "", 15, 10, false},
                                         CoverCase{"Image", "", 15, 10, false}),
                         [](const testing::TestParamInfo<CoverCase>& caseInfo) {
                           std::string name = caseInfo.param.className;
                           std::replace_if(
                               name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); },
                               '_');
                           return "Class_" + name;
                         });

}  // namespace
