// labelplu: the template format reference: the explanations, the worked
// examples and the assembly of the page (the code's tables are in
// TemplateReferenceTables.cpp).
#include "label/TemplateReference.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "base/TextUtils.h"
#include "label/Cp1251.h"
#include "label/EmbeddedImages.h"
#include "label/EnumTypes.h"
#include "label/Label.h"
#include "label/LabelItem.h"
#include "label/PropText.h"
#include "label/TemplateReferenceTables.h"

namespace labelplu {

namespace {

using reference::Cell;
using reference::Code;

constexpr std::array kExamples = {
    ReferenceExample{
        "A price tag", "samples/templates/price_tag_ean13.lb3", "samples/data/goods.csv",
        "labelhost print --template samples/templates/price_tag_ean13.lb3 "
        "--data samples/data/goods.csv --output out/price_tags.pdf --paper label",
        "A 58 × 40 mm price tag: a frame, the product's name, its article, the price with "
        "\"руб.\" beside it, and an EAN-13 barcode. The frame is the first item, so that it "
        "covers nothing; everything inside it comes after it. `--paper label` prints one label "
        "per page of the label's own size, as a roll printer takes them."},
    ReferenceExample{
        "A shelf label with Code 128 and DataMatrix", "samples/templates/shelf_label.lb3",
        "samples/data/shelf_label.csv",
        "labelhost print --template samples/templates/shelf_label.lb3 "
        "--data samples/data/shelf_label.csv --output out/shelf_labels.pdf --paper label",
        "The article as a Code 128 barcode (`BarWidth` 10 mils: 2 printer dots at 203 dpi) and "
        "the product's barcode number as a DataMatrix beside the price. Code 128 carries ASCII "
        "letters, digits and signs only: the Cyrillic articles of `samples/data/goods.csv` "
        "would print \"ОШИБКА!\", so this sample has data of its own."},
    ReferenceExample{
        "A sheet of address labels", "samples/templates/address_label.lb3",
        "samples/data/addresses.csv",
        "labelhost print --template samples/templates/address_label.lb3 "
        "--data samples/data/addresses.csv --output out/addresses.pdf --paper A4 --grid auto",
        "64 × 34 mm labels on A4 sheets: `--paper A4` prints on A4 paper, and `--grid auto` "
        "puts as many labels across and down as the paper holds. The data separates its fields "
        "with `;` and names its columns both ways a column may be named: `Наименование`, "
        "`Произвольный текст 1` and `Произвольный текст 2` are captions, `dsText3` is a key. "
        "The line above the postcode and the word \"Кому:\" are bound to nothing: they print "
        "the same on every label."},
};

// ---- the source files of the examples ----------------------------------------

std::string ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error(path + ": the file cannot be read");
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The text of a template file as the label reads it: UTF-8 after a
// byte-order mark or under a declaration naming UTF-8, Windows-1251 else.
std::string TemplateText(const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  if (bytes.starts_with(kByteOrderMark)) return bytes.substr(kByteOrderMark.size());
  const std::string declaration = bytes.substr(0, bytes.find("?>"));
  std::string lower = declaration;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (bytes.starts_with("<?xml") && (lower.find("encoding=\"utf-8\"") != std::string::npos ||
                                     lower.find("encoding='utf-8'") != std::string::npos))
    return bytes;
  return Cp1251ToUtf8(bytes);
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(at, end - at));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    at = end + 1;
  }
  return lines;
}

// The column names of a data file's header row. The sample files quote no
// header, so the header is split at the separator it uses most.
std::vector<std::string> HeaderColumns(std::string_view header) {
  char separator = ',';
  size_t most = 0;
  for (const char c : {',', ';', '\t'}) {
    const auto n = static_cast<size_t>(std::count(header.begin(), header.end(), c));
    if (n > most) {
      most = n;
      separator = c;
    }
  }
  std::vector<std::string> columns;
  size_t at = 0;
  while (true) {
    const size_t end = header.find(separator, at);
    std::string name(header.substr(at, end == std::string_view::npos ? end : end - at));
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
      name = name.substr(1, name.size() - 2);
    columns.push_back(name);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return columns;
}

std::unique_ptr<Label> LoadExample(const std::string& path) {
  std::ifstream probe(path);
  if (!probe) throw std::runtime_error(path + ": the example template cannot be read");
  auto label = std::make_unique<Label>();
  label->LoadFromFile(path);
  return label;
}

std::string ItemName(const Label& label, int32_t index) {
  const LabelItem& item = label.Item(index);
  std::string name = "item " + std::to_string(index + 1) + " " + Code(item.ClassName());
  const std::string source = GetPropText(&item, "DS");
  if (!source.empty() && source != DataSourceNames()[dsNone]) name += " " + Code(source);
  return name;
}

// The table of an example's columns and the items each fills, found by
// filling the loaded template as the print job does.
std::string BindingTable(const std::string& templatePath, const std::vector<std::string>& columns) {
  static constexpr std::string_view kMarker = "{the column's value}";
  std::string out = "| Column | Fills |\n|---|---|\n";
  std::vector<bool> fed;
  for (const std::string& column : columns) {
    const std::unique_ptr<Label> label = LoadExample(templatePath);
    fed.resize(static_cast<size_t>(label->ItemCount()));
    label->FillValue(column, kMarker);
    std::string items;
    for (int32_t i = 0; i < label->ItemCount(); ++i) {
      if (label->Item(i).GetValue() != kMarker) continue;
      fed[static_cast<size_t>(i)] = true;
      if (!items.empty()) items += ", ";
      items += ItemName(*label, i);
    }
    if (SameText(column, "ЧислоКопий")) items = "the number of copies of the row's label";
    if (items.empty()) items = "nothing";
    out += "| " + Cell(Code(column)) + " | " + Cell(items) + " |\n";
  }
  const std::unique_ptr<Label> label = LoadExample(templatePath);
  std::string unfed;
  for (int32_t i = 0; i < label->ItemCount(); ++i) {
    const std::string source = GetPropText(&label->Item(i), "DS");
    if (source.empty() || source == DataSourceNames()[dsNone] || fed[static_cast<size_t>(i)])
      continue;
    if (!unfed.empty()) unfed += ", ";
    unfed += ItemName(*label, i);
  }
  out += unfed.empty()
             ? "\nEvery item with a data source has its column.\n"
             : "\nNo column feeds " + unfed + ": each prints its template value on every label.\n";
  return out;
}

std::string ExampleSection(const ReferenceExample& example, const std::string& sourceRoot,
                           const std::string& heading) {
  const std::string templatePath = sourceRoot + "/" + std::string(example.TemplatePath);
  const std::string dataPath = sourceRoot + "/" + std::string(example.DataPath);
  std::string data = ReadFileBytes(dataPath);
  if (data.starts_with(kByteOrderMark)) data = data.substr(kByteOrderMark.size());
  const std::vector<std::string> dataLines = Lines(data);
  if (dataLines.empty()) throw std::runtime_error(dataPath + ": the example data is empty");

  std::string out = heading + "\n\n" + std::string(example.About) + "\n\n```sh\n" +
                    std::string(example.Command) + "\n```\n\nThe first lines of " +
                    Code(example.DataPath) + " (" + std::to_string(dataLines.size() - 1) +
                    " rows after the header):\n\n```\n";
  for (size_t i = 0; i < dataLines.size() && i < 4; ++i) out += dataLines[i] + "\n";
  out += "```\n\nWhat each column fills (items are counted in the file's order):\n\n" +
         BindingTable(templatePath, HeaderColumns(dataLines.front())) + "\n" +
         Code(example.TemplatePath) + ":\n\n```xml\n" + TemplateText(templatePath);
  if (!out.ends_with('\n')) out += '\n';
  out += "```\n";
  return out;
}

// ---- explanations built on the label's own behaviour ---------------------------

// The first class whose items publish every one of names.
ItemClass ClassPublishing(std::initializer_list<std::string_view> names) {
  for (const ItemClass& cls : RegisteredItemClasses()) {
    Label label;
    const LabelItem& item = label.AddItem(cls);
    if (std::all_of(names.begin(), names.end(),
                    [&item](std::string_view n) { return FindProperty(item, n) != nullptr; }))
      return cls;
  }
  throw std::logic_error("no item class publishes the box properties");
}

// Where written values land once they have passed the grid.
std::string SnapTable() {
  const ItemClass cls = ClassPublishing({"Left", "Width"});
  std::string out = "| Written | Lands on |\n|---|---|\n";
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Left", "10,4"}, {"Left", "10,5"}, {"Left", "10,6"},
      {"Left", "11,5"}, {"Left", "12.5"}, {"Width", "0,3"}};
  for (const auto& [name, text] : cases) {
    Label label;
    LabelItem& item = label.AddItem(cls);
    SetPropText(&item, name, text);
    out += "| " + Code(std::string(name) + "=\"" + std::string(text) + "\"") + " | " +
           GetPropText(&item, name) + " |\n";
  }
  return out;
}

// The classes that publish property, by name.
std::string ClassesWith(std::string_view property) {
  std::vector<std::string> names;
  for (const ItemClass& cls : RegisteredItemClasses()) {
    Label label;
    const LabelItem& item = label.AddItem(cls);
    if (FindProperty(item, property) != nullptr) names.push_back(cls.ClassName);
  }
  std::sort(names.begin(), names.end());
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : ", ") + Code(name);
  return out;
}

std::string Introduction() {
  return R"(# Label templates: the format reference

*This page is written by `build/bin/template-reference` from the label library's own tables (`make
docs`); edit the code, not this page. A test fails when the two differ.*

A label template (`*.lb3`) describes one label: its size, and the texts, barcodes, lines, frames
and pictures on it. `labelhost print` fills the template once for each row of a data file and
prints the labels.

- A template is an XML file: a `Label` element with the label's size, holding one `Item` per thing
  printed.
- Sizes and positions are millimetres, measured from the label's top-left corner; the boxes of
  the items snap to whole millimetres.
- **A column of the data fills an item only when the column's header is the caption or the key of
  the item's data source (`DS`).** `Цена` or `dsPrice` fills the items with `DS` `dsPrice`; a
  column named anything else feeds nothing. See [Data sources](#data-sources).
- Items are painted in the order of the file, each over the ones before it.
- `labelhost check TEMPLATE [--data CSV]` finds the mistakes: unknown names, values that do not
  apply, items no column feeds, columns that feed nothing, barcodes that cannot carry a record's
  value, picture names that find no picture.

Contents: [A first example](#a-first-example-a-price-tag) · [The file](#the-file) · [Units and
the grid](#units-and-the-grid) · [Order and background](#order-and-background) ·
[Rotation](#rotation) · [Pictures](#pictures) · [Item classes](#item-classes) · [Data
sources](#data-sources) · [More examples](#more-examples)

The commands below run in the source tree; in a build tree `labelhost` is `build/bin/labelhost`.
)";
}

std::string FileSection() {
  std::string out = R"(## The file

```xml
<?xml version="1.0" encoding="windows-1251"?>
<Label Width="58" Height="40">
  <Item ClassName="TextGraphic">
    <Property Name="DS" Value="dsPrice"/>
    <Property Name="Value" Value="129,90"/>
    <Property Name="Left" Value="3"/>
    <Property Name="Top" Value="16"/>
    <Property Name="Width" Value="40"/>
    <Property Name="Height" Value="9"/>
    <Property Name="Font.Size" Value="24"/>
  </Item>
</Label>
```

- **Encoding.** A file that starts with a UTF-8 byte-order mark, or whose XML declaration names
  UTF-8, is read as UTF-8; every other file as Windows-1251. Templates are written in
  Windows-1251 with character references for characters it lacks. An editor that saves UTF-8
  needs `encoding="UTF-8"` in the first line.
- **The root** is `Label`. `Width` and `Height` are the label's size in millimetres, more than 0
  and at most )" + FormatRealText(kMaxLabelSideMm) +
                    R"( (a missing size is 50). A file whose root is anything else is refused.
- **Items.** Each `Item` is one thing printed; `ClassName` says what (see [Item
  classes](#item-classes)). Each `Property` inside it sets one property by its `Name` to its
  `Value`; both attributes are needed. A property left out keeps its default. The font's
  properties are written with a dot: `Font.Size`, `Font.Style`.
- **Order.** Properties are applied in the order of the file, so write `DS` before `Value`:
  setting `DS` replaces `Value` with the data source's sample.
- **Names** of classes, properties and values are matched in any letter case (`textgraphic`,
  `font.size`, `HACENTER`).
- **Pictures** embedded in the template follow the items in an `ImageList` (see
  [Pictures](#pictures)).
- **What does not apply is skipped**: an item of an unknown class, a property its class does not
  have, a value that is not a number, not one of the property's names or out of its range. The
  rest of the template still loads, so a misspelled `ClassName` loses its item and a misspelled
  value keeps the default. `labelhost check TEMPLATE` lists each of them with its line.
- **Limits.** At most )" +
                    std::to_string(kMaxTemplateItems) + " items and " +
                    std::to_string(kMaxTemplateBytes >> 20) +
                    R"( MiB of file; a larger template is refused.
)";
  return out;
}

std::string UnitsSection() {
  const Label label;
  return R"(## Units and the grid

| Property | Unit |
|---|---|
| the label's `Width` and `Height`; `Left`, `Top`, `Width`, `Height`, `PenWidth`, `LineLeft`, `LineTop`, `LineLength` | millimetres |
| `Font.Size` | points, whole numbers (1 point = 1/72 inch = 0,353 mm) |
| `BarWidth` | mils (1 mil = 1/1000 inch = 0,0254 mm) |
| `Font.Height` | pixels at 96 per inch (write `Font.Size` instead) |

Numbers take a decimal comma or a decimal point (`10,5` or `10.5`); a saved template writes a
comma and at most three decimals.

**The grid.** Items snap to the label's grid of )" +
         FormatRealText(label.GridSize()) +
         R"( mm: `Left`, `Top`, `Width` and `Height` of every item
are rounded to whole millimetres, a half to the even neighbour. That is why `Left="10,5"` lands
on 10 and `Left="11,5"` on 12. `Width` and `Height` are at least 0,5 mm. The label's own size, `PenWidth`,
the font and `BarWidth` do not snap.

)" + SnapTable() +
         R"(
**The edge.** The outer )" +
         FormatRealText(label.MarginX()) +
         R"( mm of the label is never printed: whatever lies there is cut off. Keep
items at least that far from the label's edges.
)";
}

std::string OrderSection() {
  return R"(## Order and background

Items are painted in the order of the file: the first one first, each later one over those before
it. Some items paint a white background over their box before they draw (the column "What it
covers" in [Item classes](#item-classes)):

- a `Rectangle` covers everything inside it that came before it;
- a barcode (`Shk`, `2DShk`) covers its whole box;
- a text covers a white cell behind each of its lines (black with `Negative`);
- a `Line` covers only the line itself.

So put frames first, then the texts and barcodes inside them, and let boxes overlap only where
you mean it.
)";
}

std::string RotationSection() {
  std::string values;
  for (const std::string_view name : RotationType().Names) {
    if (!values.empty()) values += ", ";
    values += Code(name);
  }
  return R"(## Rotation

`RotationFixed` turns an item by quarter turns, clockwise: )" +
         values +
         R"(. There are no
other angles (`r45` is not a value and is skipped). The item turns about the centre of its box: `Left`, `Top`,
`Width` and `Height` describe the box before the turn. A text box 30 mm wide and 6 mm high at
`Left` 10, `Top` 20 turned by `r90` stands 6 mm wide and 30 mm high around the same centre, from
22 to 28 mm across and 8 to 38 mm down. Barcodes turn dot for dot, so a turned barcode scans as
well as an upright one.

The classes that turn: )" +
         ClassesWith("RotationFixed") + ".\n";
}

std::string PicturesSection() {
  return R"(## Pictures

An `Image` item shows the picture its `ValueFileName` names (a template may write `Value` too):

1. an image embedded in the template whose `Name` is that name (any letter case), else
2. a BMP file of that name; a name without a folder is looked for in the folder of the plug-in
   (`labelplu.plu`), so give the full path of a file anywhere else.

Only BMP pictures can be shown. A name that finds nothing, and a file that is not a BMP picture,
print an empty box with a thin frame in the picture's place, on every label whose name it is (never
the picture of another label); `labelhost check` and `labelhost print` report each such name, in the
template and in every record, as an error. An empty name prints no picture. With `DS` `dsImage1`,
`dsImage2` or `dsImage3` a column names the picture for each label.

Embedded pictures follow the items, in one `ImageList`: each `Image` holds the bytes of a BMP file
in base64, its `Name` (the name items use) and `Path` (where it came from; may be empty).
`samples/templates/picture_label.lb3` embeds one.

```xml
  <Item ClassName="Image">
    <Property Name="ValueFileName" Value="logo.bmp"/>
    <Property Name="Left" Value="2"/>
    <Property Name="Top" Value="2"/>
    <Property Name="Width" Value="12"/>
    <Property Name="Height" Value="12"/>
  </Item>
  <ImageList Count="1" xmlns:dt="urn:schemas-microsoft-com:datatypes">
    <Image Name="logo.bmp" Path="" dt:dt="bin.base64">Qk02AwAAAAAAADYAAAAo...</Image>
  </ImageList>
```

A picture is at most )" +
         std::to_string(kMaxBitmapSide) +
         " pixels wide and high, and the pictures of a template hold at most\n" +
         std::to_string(kMaxBitmapPixels) +
         R"( pixels in all; a template with a larger or broken picture is refused.
)";
}

std::string DataRules() {
  return R"(
Each row of the data file is one label. For every column, the label's items whose data source is
the one the header names take the row's value as their `Value`. The header must be the caption
or the key and nothing else: `Цена`, `ЦЕНА` and `dsPrice` fill the price; `Цена, руб.`, `Price`
and `Стоимость` fill nothing.

- `labelhost print --set NAME=VALUE` gives every label a value the same way a column does; a
  row's own column wins.
- A column named `ЧислоКопий` is not a data source: it is the number of copies of the row's label.
- `labelhost check TEMPLATE --data CSV` lists the data sources no column feeds, with the headers
  that would, and the columns that feed nothing.
)";
}

}  // namespace

std::span<const ReferenceExample> ReferenceExamples() {
  return kExamples;
}

std::string TemplateReferenceMarkdown(const std::string& sourceRoot) {
  std::string out = Introduction();
  out += "\n" + ExampleSection(kExamples[0], sourceRoot, "## A first example: a price tag");
  out += "\n" + FileSection();
  out += "\n" + UnitsSection();
  out += "\n" + OrderSection();
  out += "\n" + RotationSection();
  out += "\n" + PicturesSection();
  out += "\n" + reference::ItemClassSection();
  out += "\n" + reference::DataSourceSection();
  out += DataRules();
  out += "\n## More examples\n";
  for (size_t i = 1; i < kExamples.size(); ++i)
    out +=
        "\n" + ExampleSection(kExamples[i], sourceRoot, "### " + std::string(kExamples[i].Title));
  return out;
}

}  // namespace labelplu
