// labelplu: the parts of the template format reference that are tables of
// the code (TemplateReference.h), and the Markdown helpers both halves of
// the reference share.
//
// Threads: any thread.
#ifndef LABELPLU_LABEL_TEMPLATEREFERENCETABLES_H
#define LABELPLU_LABEL_TEMPLATEREFERENCETABLES_H

#include <string>
#include <string_view>

namespace labelplu::reference {

// text as a Markdown code span (`text`).
std::string Code(std::string_view text);
// text made safe inside a Markdown table cell ("|" escaped, line breaks as
// blanks).
std::string Cell(std::string_view text);

// "## Item classes": the overview of the classes (what each paints, its
// background) and one property table per class, from the class table, the
// published tables and a fresh item's values. Throws std::logic_error when
// a registered class or one of its properties has no explanation here, or
// an explanation names a class that is not registered.
std::string ItemClassSection();

// "## Data sources": every data source with its key, caption, sample value
// and the column headers that bind to it, found through Label::FillValue.
std::string DataSourceSection();

}  // namespace labelplu::reference

#endif  // LABELPLU_LABEL_TEMPLATEREFERENCETABLES_H
