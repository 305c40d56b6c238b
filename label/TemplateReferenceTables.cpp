// labelplu: the tables of the template format reference.
#include "label/TemplateReferenceTables.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

#include "base/TextUtils.h"
#include "label/DataSources.h"
#include "label/EnumTypes.h"
#include "label/ItemClasses.h"
#include "label/Label.h"
#include "label/LabelItem.h"
#include "label/PropText.h"
#include "label/Published.h"

namespace labelplu::reference {

namespace {

// What an item class is, in the order the reference lists the classes.
struct ClassNote {
  std::string_view ClassName;
  std::string_view What;        // one line for the overview
  std::string_view Background;  // what it paints over the items before it
  std::string_view More;        // the paragraph above its property table
};

constexpr ClassNote kClassNotes[] = {
    {"TextSimple", "text in one of five fixed sizes (Arial), from the box's top-left corner",
     "a white cell behind each line of text (black with `Negative`); the rest of the box shows "
     "what lies below",
     "The text wraps at blanks to the width of the box, and a line break in the value starts a "
     "new line; what does not fit into the box is cut off. The font is Arial."},
    {"TextGraphic", "text in any font and size, aligned in its box",
     "a white cell behind each line of text (black with `Negative`); the rest of the box shows "
     "what lies below",
     "The text wraps at blanks to the width of the box, and a line break in the value starts a "
     "new line; what does not fit into the box is cut off. `Font.Size` is in points: 8 points "
     "are about 2,8 mm from the top of a capital to the bottom of a descender."},
    {"Shk",
     "a linear barcode (EAN-13, EAN-8, UPC-A, UPC-E, Code 128, Code 39, Code 93, Code 11, "
     "Codabar, Interleaved 2 of 5)",
     "the whole box, white, then the bars",
     "The symbol starts at the left edge of the box, with the digits below the bars when "
     "`TextVisible` is `True`. Every bar is a whole number of printer dots (see `BarWidth`), so "
     "that scanners read it. Blanks around the value are dropped. Data the symbology cannot "
     "take (a letter in EAN-13, an EAN-13 with a wrong check digit or of 5 digits) and a symbol "
     "wider than its box print \"ОШИБКА!\" instead of a symbol: a wrong barcode is never "
     "printed. EAN-13 takes 12 or 13 digits, EAN-8 7 or 8, UPC-A 11 or 12."},
    {"2DShk",
     "a two-dimensional barcode (DataMatrix, Aztec, PDF417, MaxiCode, MicroPDF417, GS1 "
     "DataBar)",
     "the whole box, white, then the symbol",
     "Each module is the largest whole number of printer dots at which the symbol, with its "
     "quiet zone, fits the box; the symbol is centred in the box. Data the symbology refuses "
     "prints a framed \"ОШИБКА!\" instead of a symbol."},
    {"Image", "a picture: an image embedded in the template, or a BMP file",
     "the picture's own rectangle (white where the picture is white); an item with no "
     "picture paints nothing",
     "See [Pictures](#pictures) for where the picture comes from."},
    {"Line", "a straight black line", "only the line",
     "The line runs from `LineLeft` for `LineLength` millimetres at the height `LineTop`; "
     "`RotationFixed` `r90` makes it vertical, turned about its middle. Its box is 2 mm high "
     "and starts at `LineTop` − 1, and that box snaps to the grid: `LineTop` 10,5 puts the line "
     "at 11."},
    {"Rectangle", "a frame",
     "the whole box: white inside, the frame on its edge. Anything an earlier item drew inside "
     "the box is covered",
     "The frame is drawn inside the box, `PenWidth` thick. Put a frame first in the file, so "
     "that the texts and barcodes inside it come after it and stay visible."},
};

// What a property does. ClassName empty: every class that publishes it.
struct PropertyNote {
  std::string_view ClassName;
  std::string_view Path;
  std::string_view Unit;  // shown after the kind: "mm", "points"
  std::string_view Text;
};

constexpr PropertyNote kPropertyNotes[] = {
    {"", "DS", "",
     "The data source: the column of the data that replaces `Value` on each label. `dsNone`: "
     "none, `Value` prints as written."},
    {"", "Value", "",
     "The text printed. A bound column replaces it on each label; when no column feeds the "
     "item, this text prints on every label."},
    {"Shk", "Value", "", "The data the barcode carries; a bound column replaces it on each label."},
    {"2DShk", "Value", "",
     "The data the barcode carries; a bound column replaces it on each label."},
    {"", "ValueFileName", "",
     "The picture: the name of an embedded image, else of a BMP file. A template may write it "
     "as `Value` too; a bound column replaces it on each label."},
    {"", "Left", "mm", "From the label's left edge to the box's left edge; snaps to the grid."},
    {"", "Top", "mm", "From the label's top edge to the box's top edge; snaps to the grid."},
    {"", "Width", "mm", "Width of the box; snaps to the grid, at least 0,5."},
    {"", "Height", "mm", "Height of the box; snaps to the grid, at least 0,5."},
    {"", "RotationFixed", "", "A quarter turn, clockwise, about the centre of the box."},
    {"Rectangle", "PenWidth", "mm", "Thickness of the frame, inside the box; at least 0,1."},
    {"Line", "PenWidth", "mm", "Thickness of the line; at least 0,1."},
    {"", "LineLeft", "mm", "Where the line starts, from the label's left edge; snaps to the grid."},
    {"", "LineTop", "mm",
     "Where the line runs, from the label's top edge (its box, `LineTop` − 1, snaps to the "
     "grid)."},
    {"", "LineLength", "mm", "Length of the line; snaps to the grid."},
    {"", "FontSize", "", "The size of the text:"},
    {"", "Negative", "", "`True`: white text on black cells."},
    {"TextSimple", "MaxSymbols", "", "Kept in the file; printing does not use it."},
    {"Shk", "MaxSymbols", "", "Kept in the file; printing does not use it."},
    {"", "VAlign", "",
     "Where the lines sit in the box: top, centre, bottom, or spread over its height."},
    {"", "HAlign", "",
     "How each line sits in the box: left, centre, right, or justified to its width."},
    {"", "Font.Charset", "", "Character set of the font: 204 is Cyrillic. Leave it as it is."},
    {"", "Font.Color", "",
     "Text colour, the number 0xBBGGRR written in decimal: 0 black, 255 red, 16777215 white. "
     "`Negative` sets it."},
    {"Shk", "Font.Color", "", "Kept in the file; the digits print black."},
    {"", "Font.Height", "pixels at 96 per inch",
     "Another form of `Font.Size` (negative: the character height). Write `Font.Size` instead; "
     "of the two, the one later in the file wins."},
    {"", "Font.Name", "",
     "The font family; a font the computer lacks is replaced by a similar one (Arial by "
     "Liberation Sans, of the same widths)."},
    {"", "Font.Pitch", "", "Kept in the file; printing does not use it."},
    {"", "Font.Size", "points",
     "Whole points only (`10`, not `10,5` or `10pt`); 1 point is 0,353 mm."},
    {"Shk", "Font.Size", "points", "Size of the digits under the bars, in whole points."},
    {"", "Font.Style", "", "Bold, italic, underlined, struck out, or none (empty)."},
    {"", "BarCodeType", "", "The symbology."},
    {"", "TextVisible", "", "`True`: the digits are printed under the bars."},
    {"", "BarNarrowToWideRatio", "",
     "Wide bars as a multiple of narrow ones, for Interleaved 2 of 5, Codabar and Code 11 "
     "(taken as 2 to 20). Code 39 always uses 2; the other symbologies have fixed widths."},
    {"", "BarWidth", "mils",
     "Width of the narrow bar in mils (1 mil = 1/1000 inch = 0,0254 mm). It prints as "
     "round(BarWidth × dpi / 1000) printer dots and never fewer than dpi / 100: at 203 dpi, 10 "
     "mils give 2 dots (0,25 mm)."},
    {"", "AddCheckChar", "",
     "`True` adds the optional check character of Interleaved 2 of 5 and Code 11. Code 93 and "
     "Code 128 always get theirs; EAN and UPC take theirs from the data."},
    {"", "AutoSize", "",
     "`True`: the box takes the picture's size, one picture pixel per printer dot."},
    {"", "Stretch", "",
     "`True`: the picture fills the box. `False`: it keeps its proportions, as large as the box "
     "allows, centred."},
    {"", "BRType2D", "",
     "The symbology; `br2RSS` is GS1 DataBar (a GTIN, or GS1 element strings such as "
     "`[01]…[10]…`)."},
    {"", "ErrorCorrection", "",
     "Aztec 1 to 4 (10, 23, 36, 50 %) and PDF417 1 to 8, 0 for the generator's choice; MaxiCode "
     "0 standard, 1 enhanced. DataMatrix, MicroPDF417 and GS1 DataBar ignore it."},
    {"", "HeightToWidth", "",
     "PDF417 and MicroPDF417: the row height in modules (at least 1). The others ignore it."},
    {"", "AspectRatio", "",
     "Height to width of the symbol. PDF417 and MicroPDF417 take the column count that comes "
     "nearest; DataMatrix below 1 takes a rectangular symbol. The others ignore it."},
};

const PropertyNote& NoteFor(std::string_view className, std::string_view path) {
  for (const PropertyNote& note : kPropertyNotes)
    if (note.ClassName == className && note.Path == path) return note;
  for (const PropertyNote& note : kPropertyNotes)
    if (note.ClassName.empty() && note.Path == path) return note;
  throw std::logic_error("the template reference has no text for the property \"" +
                         std::string(path) + "\" of the item class \"" + std::string(className) +
                         "\"");
}

// The caption of a property or enumeration name: the caption table's row of
// that key, ASCII case ignored when no row has it exactly.
std::string_view CaptionOf(std::string_view key) {
  if (const CaptionRow* row = FindCaptionByKey(key)) return row->Caption;
  for (const CaptionRow& row : CaptionTable())
    if (SameTextAscii(row.Key, key)) return row.Caption;
  return {};
}

std::string KindText(const PropertyInfo& prop, std::string_view unit) {
  std::string kind;
  switch (prop.Kind) {
    case PropertyKind::Integer:
      kind = "whole number";
      break;
    case PropertyKind::Real:
      kind = "number";
      break;
    case PropertyKind::Enumeration:
      kind = "name";
      break;
    case PropertyKind::Set:
      kind = "names";
      break;
    case PropertyKind::String:
      kind = "text";
      break;
    case PropertyKind::Object:
      kind = "object";
      break;
  }
  if (!unit.empty()) kind += ", " + std::string(unit);
  return kind;
}

std::string NameList(const EnumInfo& type) {
  std::string text;
  for (const std::string_view name : type.Names) {
    if (!text.empty()) text += ", ";
    text += Code(name);
    const std::string_view caption = CaptionOf(name);
    if (!caption.empty()) text += " " + std::string(caption);
  }
  return text;
}

std::string ValuesText(const PropertyInfo& prop) {
  constexpr auto kMinInt = static_cast<double>(std::numeric_limits<int32_t>::min());
  constexpr auto kMaxInt = static_cast<double>(std::numeric_limits<int32_t>::max());
  switch (prop.Kind) {
    case PropertyKind::Integer:
      if (prop.Min <= kMinInt && prop.Max >= kMaxInt) return "any";
      return std::to_string(static_cast<int64_t>(prop.Min)) + " to " +
             std::to_string(static_cast<int64_t>(prop.Max));
    case PropertyKind::Real:
      if (prop.Max >= kRealLimit) return "any";
      return FormatRealText(prop.Min) + " to " + FormatRealText(prop.Max);
    case PropertyKind::Enumeration:
      if (prop.Type == &DataSourceType())
        return "a data source key, see [Data sources](#data-sources)";
      return NameList(*prop.Type);
    case PropertyKind::Set:
      return NameList(*prop.Type) + "; several separated by commas";
    case PropertyKind::String:
      return "any text";
    case PropertyKind::Object:
      return {};
  }
  return {};
}

// "1 = 4 points, 2 = 5 points, ...": the font size each FontSize step sets.
std::string FontSizeSteps(const ItemClass& cls) {
  constexpr int32_t kUntouched = 999;
  std::string text;
  for (int32_t step = 0; step <= 9; ++step) {
    Label label;
    LabelItem& item = label.AddItem(cls);
    // Setting the step it already has changes nothing: start from another.
    SetPropText(&item, "FontSize", "-1");
    item.Font().SetSize(kUntouched);
    SetPropText(&item, "FontSize", std::to_string(step));
    if (item.Font().Size() == kUntouched) continue;
    if (!text.empty()) text += ", ";
    text += std::to_string(step) + " = " + std::to_string(item.Font().Size()) + " points";
  }
  return text + "; other numbers leave the font as it is.";
}

void AddRows(std::string& out, const ItemClass& cls, const PublishedObject& object,
             const std::string& prefix) {
  for (const PropertyInfo& prop : object.Properties()) {
    const std::string path = prefix + std::string(prop.Name);
    if (prop.Kind == PropertyKind::Object) {
      AddRows(out, cls, prop.GetObject(object), path + ".");
      continue;
    }
    const PropertyNote& note = NoteFor(cls.ClassName, path);
    std::string what(note.Text);
    if (path == "FontSize") what += " " + FontSizeSteps(cls);
    const std::string value = PropertyText(object, prop);
    out += "| " + Code(path) + " | " + Cell(CaptionOf(prop.Name)) + " | " +
           Cell(KindText(prop, note.Unit)) + " | " + Cell(ValuesText(prop)) + " | " +
           (value.empty() ? std::string("(empty)") : Cell(Code(value))) + " | " + Cell(what) +
           " |\n";
  }
}

std::optional<ItemClass> RegisteredClass(std::string_view name) {
  for (const ItemClass& cls : RegisteredItemClasses())
    if (cls.ClassName == name) return cls;
  return std::nullopt;
}

}  // namespace

std::string Code(std::string_view text) {
  if (text.find('`') != std::string_view::npos) return "`` " + std::string(text) + " ``";
  return "`" + std::string(text) + "`";
}

std::string Cell(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '|') {
      out += "\\|";
    } else if (c == '\n' || c == '\r') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::string ItemClassSection() {
  for (const ItemClass& cls : RegisteredItemClasses()) {
    bool described = false;
    for (const ClassNote& note : kClassNotes)
      described = described || note.ClassName == cls.ClassName;
    if (!described)
      throw std::logic_error("the template reference has no text for the item class \"" +
                             cls.ClassName + "\"");
  }
  std::string out =
      "## Item classes\n\n"
      "`ClassName` names the class of an item (any letter case). The classes, and what each "
      "one paints over the items before it in the file:\n\n"
      "| `ClassName` | Caption | What it is | What it covers |\n"
      "|---|---|---|---|\n";
  std::vector<ItemClass> classes;
  for (const ClassNote& note : kClassNotes) {
    const std::optional<ItemClass> cls = RegisteredClass(note.ClassName);
    if (!cls)
      throw std::logic_error("the template reference describes the item class \"" +
                             std::string(note.ClassName) + "\", which is not registered");
    Label label;
    const LabelItem& item = label.AddItem(*cls);
    out += "| " + Code(note.ClassName) + " | " + Cell(item.Caption()) + " | " + Cell(note.What) +
           " | " + Cell(note.Background) + " |\n";
    classes.push_back(*cls);
  }
  out +=
      "\nEach class below lists its properties in the order a saved template writes them. "
      "**Default** is what an item of the class has when the template does not set the "
      "property. Names are matched in any letter case; a value that is not in **Values** is "
      "not applied.\n";
  for (size_t i = 0; i < classes.size(); ++i) {
    const ItemClass& cls = classes[i];
    Label label;
    const LabelItem& item = label.AddItem(cls);
    out += "\n### " + Code(cls.ClassName) + ": " + item.Caption() + "\n\n" +
           std::string(kClassNotes[i].More) + "\n\n" +
           "| Property | Caption | Kind | Values | Default | What it does |\n"
           "|---|---|---|---|---|---|\n";
    AddRows(out, cls, item, std::string());
  }
  return out;
}

std::string DataSourceSection() {
  // Any class that publishes a data source and a value shows the binding:
  // the print job fills every item alike.
  std::optional<ItemClass> probe;
  for (const ItemClass& cls : RegisteredItemClasses()) {
    Label label;
    const LabelItem& item = label.AddItem(cls);
    if (FindProperty(item, "DS") != nullptr && FindProperty(item, "Value") != nullptr) {
      probe = cls;
      break;
    }
  }
  if (!probe) throw std::logic_error("no item class publishes a data source");
  // Whether a column with this header fills an item bound to key, through
  // the same call the print job makes for every field of a record.
  const auto binds = [&probe](std::string_view key, std::string_view header) {
    static constexpr std::string_view kMarker = "{the column's value}";
    Label label;
    LabelItem& item = label.AddItem(*probe);
    SetPropText(&item, "DS", key);
    label.FillValue(header, kMarker);
    return GetPropText(&item, "Value") == kMarker;
  };

  std::string out =
      "## Data sources\n\n"
      "`DS` binds an item to a data source. A column of the data fills the item when the "
      "column's header is the data source's caption or its key, in any letter case. "
      "**A column named anything else feeds nothing**, and an item whose data source no column "
      "feeds prints its `Value` from the template on every label.\n\n"
      "| Key (`DS`) | Caption | Headers that bind | Sample |\n"
      "|---|---|---|---|\n";
  bool noneBinds = false;
  for (const std::string_view key : DataSourceNames()) {
    const CaptionRow* row = FindCaptionByKey(key);
    const std::string_view caption = row != nullptr ? row->Caption : std::string_view();
    const std::string_view sample = row != nullptr ? row->Sample : std::string_view();
    std::string headers;
    for (const std::string_view header : {caption, key}) {
      if (header.empty() || !binds(key, header)) continue;
      if (!headers.empty()) headers += " or ";
      headers += Code(header);
    }
    if (key == DataSourceNames()[dsNone]) {
      noneBinds = !headers.empty();
      headers = "none (see below)";
    }
    if (headers.empty()) headers = "none";
    out += "| " + Code(key) + " | " + Cell(caption) + " | " + Cell(headers) + " | " +
           (sample.empty() ? std::string() : Cell(Code(sample))) + " |\n";
  }
  out +=
      "\n**Sample** is the value an item takes when the template sets its data source and no "
      "`Value` after it.";
  if (noneBinds)
    out += " Do not name a column " + Code(DataSourceNames()[dsNone]) + " or " +
           Code(FindCaptionByKey(DataSourceNames()[dsNone])->Caption) +
           ": its value would fill every text and barcode that has no data source.";
  out += "\n";
  return out;
}

}  // namespace labelplu::reference
