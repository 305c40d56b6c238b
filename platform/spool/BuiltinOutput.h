// labelplu: where the built-in printers write, and the option form of a
// built-in printer's name ("labelplu PDF; file=/tmp/a.pdf; paper=58x40;
// dpi=300; verify=1").
#ifndef LABELPLU_PLATFORM_SPOOL_BUILTINOUTPUT_H
#define LABELPLU_PLATFORM_SPOOL_BUILTINOUTPUT_H

#include <optional>
#include <string>
#include <string_view>

#include "platform/spool/PrintObject.h"

namespace labelplu::spool {

// A printer name split at its first ';': the name proper (trimmed) and,
// when the rest holds options, those options. Keys (case-insensitive):
// file (any text, trimmed), paper (W x H in millimetres, "x" or "*" or
// "×" between, decimal point or comma, each 1..5000), dpi (1..4800),
// verify (1, 0, yes, no, true, false, on, off: read every barcode back
// before the job spools).
// Throws SpoolError for an unknown key, a part without '=', or a bad
// value, naming it.
struct ParsedPrinterName {
  std::string Name;
  std::optional<BuiltinOptions> Options;
};
ParsedPrinterName ParsePrinterName(std::string_view text);

// The folder that the built-in printers write into when no path is given:
// "labelplu" under $XDG_DOCUMENTS_DIR, else under $HOME. Throws SpoolError
// when neither is set (never falls back to the working directory).
std::string DefaultOutputFolder();

// A document title made safe as a file name: '/', '\\', ':', '*', '?',
// '"', '<', '>', '|' and control characters become '_', leading and
// trailing spaces and dots go; an empty result becomes "labelplu".
std::string SafeFileName(std::string_view title);

// A relative path taken against the default output folder, so that nothing
// lands in the working directory (which may be the plug-in's folder).
std::string ResolveOutputPath(const std::string& path);

// "<folder>/<stem><suffix>", or "<folder>/<stem> (2)<suffix>" and so on
// when probe(candidate) says it is taken.
template <typename Probe>
std::string UniqueName(const std::string& folder, const std::string& stem,
                       const std::string& suffix, Probe taken) {
  const auto named = [&](const std::string& number) {
    std::string name = folder;
    name.append("/").append(stem).append(number).append(suffix);
    return name;
  };
  std::string candidate = named("");
  for (int n = 2; taken(candidate) && n < 100000; ++n) {
    candidate = named(" (" + std::to_string(n) + ")");
  }
  return candidate;
}

// Creates the folder that will hold path (and its parents). Throws
// SpoolError naming the printer and the path when it cannot.
void MakeParentFolder(const std::string& printerName, const std::string& path);

}  // namespace labelplu::spool

#endif  // LABELPLU_PLATFORM_SPOOL_BUILTINOUTPUT_H
