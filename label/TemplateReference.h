// labelplu: the template format reference (docs/templates.md), written from
// the label library's own tables so that it cannot drift from the code.
//
// The tables of the reference come from the code: the registered item
// classes (ItemClasses.h), each class's published properties with their
// kinds, enumeration names and ranges (Published.h), the defaults of a
// freshly created item in the text form a template stores (PropText.h), and
// the caption table with its data sources (DataSources.h). Which column
// headers bind to a data source is found by filling a label through
// Label::FillValue, the same call the print job makes. The explanations
// between the tables are text kept next to the code that builds them; every
// item class and every published property must have one, or the reference
// is not written (std::logic_error names what lacks its text).
//
// The worked examples are real files of the source tree (ReferenceExamples)
// quoted verbatim, so that what the reference shows is what loads.
//
// Threads: no shared state besides the item class table (ItemClasses.h);
// any thread.
#ifndef LABELPLU_LABEL_TEMPLATEREFERENCE_H
#define LABELPLU_LABEL_TEMPLATEREFERENCE_H

#include <span>
#include <string>
#include <string_view>

namespace labelplu {

// One worked example of the reference: a sample template, the data it is
// printed with and the labelhost command that prints it.
struct ReferenceExample {
  std::string_view Title;         // "A price tag"
  std::string_view TemplatePath;  // from the source root: "samples/templates/....lb3"
  std::string_view DataPath;      // from the source root: "samples/data/....csv"
  std::string_view Command;       // the whole labelhost command line
  std::string_view About;         // what the example shows (Markdown)
};

// The worked examples in the order the reference shows them.
std::span<const ReferenceExample> ReferenceExamples();

// The reference as Markdown (UTF-8, "\n" line ends). sourceRoot is the
// source tree the examples are read from. Throws std::runtime_error when an
// example file cannot be read or does not load, std::logic_error when an
// item class or a property has no explanation.
std::string TemplateReferenceMarkdown(const std::string& sourceRoot);

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TEMPLATEREFERENCE_H
