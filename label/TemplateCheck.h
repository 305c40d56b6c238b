// labelplu: checking a label template, and the data a job would fill it
// with, for everything that would put wrong content on a label.
//
//   CheckInput input;
//   input.Dpi = 203;
//   input.Data = &data;                          // optional
//   CheckReport report = CheckTemplate(bytes, "price.lb3", input);
//   if (report.Errors > 0) ...                   // do not print
//
// The template is read and loaded exactly as a print job loads it
// (Label::LoadFromFile's decoding, LoadFromXmlObserved), so that what the
// load passes over silently becomes a problem with the line of its
// element: an unknown item class, a setting without "Name" or "Value", a
// property the class lacks, a value that does not convert. Then the loaded
// label: items outside it, and barcodes prepared at Dpi the way the printer
// prepares them (the symbol that does not encode or does not fit its box).
// Pictures the template names itself that the job's lookup would not find
// (Label::FindImageIn: embedded images, then files relative to
// PictureFolder) or could not read.
// With data: data sources nothing feeds, field names and common values that
// feed nothing, and every record whose value a barcode cannot encode or
// whose picture name finds no picture, the items filled as the job fills
// them (common values first, then the record's fields, the copy-count field
// "ЧислоКопий" left out).
//
// Severity: errors are what would print wrong content or lose content
// (see SeverityOf); warnings are what may be meant (a column the template
// does not use, an item partly off the label, which prints clipped).
//
// Problems are structured (kind, item, names, values) so that a host words
// them in its own language. Each kind lists at most ListLimit problems;
// the rest are counted in Unlisted.
//
// Fonts: preparing a linear barcode measures its human-readable line, so a
// QGuiApplication (or QApplication) must exist in the process.
//
// Threads: any one thread at a time (the label it builds belongs to it).
#ifndef LABELPLU_LABEL_TEMPLATECHECK_H
#define LABELPLU_LABEL_TEMPLATECHECK_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace labelplu {

enum class CheckSeverity : uint8_t { Error, Warning };

// What a problem is about; the fields of CheckProblem each kind fills.
enum class CheckKind : uint8_t {
  NotLoaded,          // the template does not load at all; Detail: why
  Utf8Undeclared,     // the file is UTF-8 but would be read as Windows-1251
  UnknownClass,       // Name: the class as written
  IncompleteSetting,  // Name and Value as written (one may be missing)
  UnknownProperty,    // Name, Value
  EmptyValue,         // Name: a property that is not a string
  BadValue,           // Name, Value, Detail: why it does not convert
  OutsideLabel,       // the item lies wholly off the label
  PartlyOutside,      // part of the item lies off the label
  BarcodeFails,       // the template's own value; Value, Detail: why
  BarcodeTooLarge,    // Value: symbol "W×H" dots at one dot per module; Detail: box "W×H"
  UnfedSource,        // Name: the data source; Names: the field names that would feed it
  UnusedField,        // Name: a data field that feeds no item
  UnusedCommonValue,  // Name: a common value that feeds no item
  RecordFails,        // Record, Name: the field, Value, Detail: why
  // A picture name that shows no picture: the label gets an empty framed
  // box. Value: the name; Detail: why the file cannot be read, or empty
  // when nothing of that name is found; Names: the file looked for.
  PictureNotFound,        // the template's own value
  RecordPictureNotFound,  // Record, Name: the field, and as PictureNotFound
  Count
};

CheckSeverity SeverityOf(CheckKind kind);

// The item a problem concerns. Number counts the template's "Item" elements
// from 1 (0: the problem concerns no item); ClassName as the class table
// names it (or as written, for an unknown class); Source the item's data
// source ("dsPrice"; empty for none).
struct CheckItem {
  int32_t Number = 0;
  std::string ClassName;
  std::string Source;
};

struct CheckProblem {
  CheckKind Kind = CheckKind::NotLoaded;
  int32_t Line = 0;  // of the template file; 0 when unknown or not about a line
  CheckItem Item;
  std::string Name;
  std::string Value;
  std::string Detail;
  std::vector<std::string> Names;
  int64_t Record = 0;  // from 1; 0 when not about a record
};

// The data of a job: field names with records, and the common values (name,
// value) applied before each record's fields.
struct CheckData {
  std::vector<std::string> FieldNames;
  const std::vector<std::vector<std::string>>* Records = nullptr;  // may be null: none
  std::vector<std::pair<std::string, std::string>> Common;
};

struct CheckInput {
  int32_t Dpi = 203;  // the printer's resolution
  // Where the job looks for a picture file of a relative name: the plug-in's
  // folder, ending in "/". Empty: the folder of the module running the
  // check (right when that is the plug-in).
  std::string PictureFolder;
  const CheckData* Data = nullptr;  // null: check the template alone
  size_t ListLimit = 20;            // problems listed per kind
};

struct CheckReport {
  std::vector<CheckProblem> Problems;  // listed, in the order found
  std::array<int64_t, static_cast<size_t>(CheckKind::Count)> Unlisted{};
  int64_t Errors = 0;  // listed or not
  int64_t Warnings = 0;
};

// The copy-count field of a job's records: read by the job, never filled
// into the label.
inline constexpr std::string_view kCopiesField = "ЧислоКопий";
// The common value naming the template.
inline constexpr std::string_view kTemplateValue = "Шаблон";

// Checks the bytes of a template file (fileName names it in nothing but the
// label's own error texts). Never throws for what the bytes hold; lack of
// memory and a missing QGuiApplication (gdi::GdiError) pass.
CheckReport CheckTemplate(std::string_view bytes, const std::string& fileName,
                          const CheckInput& input);

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TEMPLATECHECK_H
