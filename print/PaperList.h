// labelplu: the paper list of one printer.
#ifndef LABELPLU_PRINT_PAPERLIST_H
#define LABELPLU_PRINT_PAPERLIST_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/spool/PrintObject.h"

namespace labelplu {

struct PaperEntry {
  std::string Name;
  int32_t Code = 0;   // from an unsigned 16-bit paper number
  double Width = 0;   // mm
  double Height = 0;  // mm
};

using PaperList = std::vector<PaperEntry>;

// The papers of printerName as the print object reports them; empty for a
// printer that is not installed. Runs pending events first.
PaperList BuildPaperList(spool::PrintObject& printer, std::string_view printerName);
// The first paper with that code, or null.
const PaperEntry* FindPaperByCode(const PaperList& papers, int32_t code);

}  // namespace labelplu

#endif  // LABELPLU_PRINT_PAPERLIST_H
