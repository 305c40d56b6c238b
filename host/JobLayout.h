// labelplu host: the sheet of a print job as labelhost's options give it:
// the paper --paper names, the paper of a built-in printer's name, the
// labels across and down --grid asks for, and how many fit.
//
// Units: millimetres. Threads: any (pure functions).
#ifndef LABELPLU_HOST_JOBLAYOUT_H
#define LABELPLU_HOST_JOBLAYOUT_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "print/LabelGrid.h"

namespace labelplu::host {

struct PaperSize {
  double WidthMm = 0;
  double HeightMm = 0;
};

// The largest paper side --paper takes, in mm.
inline constexpr double kMaxPaperSideMm = 5000.0;

// A paper by name: A4 (210 x 297), A5 (148 x 210), A6 (105 x 148), Letter
// (215.9 x 279.4), in any letter case, or "WxH" in millimetres ('x' or 'X'
// between, '.' or ',' as decimal separator, each side 1..kMaxPaperSideMm).
// nullopt for anything else ("label", the template's size, is the
// caller's).
std::optional<PaperSize> PaperByName(std::string_view text);

// The paper a built-in printer prints on, from its name with options
// ("labelplu PDF; file=/tmp/a.pdf; paper=58x40"): its paper= option, A4
// without one. nullopt for any other printer (a CUPS queue prints on the
// paper set for it), and for a paper option that does not read as WxH.
std::optional<PaperSize> BuiltinPrinterPaper(std::string_view printerName);

// --grid: "auto" (any letter case) or "CxR", C and R in 1..kMaxGridCount.
struct GridOption {
  bool Automatic = false;
  GridCounts Counts;  // when not Automatic
};
std::optional<GridOption> ParseGrid(std::string_view text);

// A length in mm as labelhost shows it: up to two decimals, no trailing
// zeros ("58", "215.9").
std::string MmText(double mm);

// A length in millimetres: a decimal number with "." or ","; nullopt for
// anything else (no sign of a unit, no blanks).
std::optional<double> ParseMm(std::string text);

// True when the grid's labels, with the sheet's gaps between them, lie
// within the paper's margins: a block wider or taller than the space
// between the margins puts labels beyond the paper's edge. A single column
// (row) always passes across (down): one label per line is the driver's
// own default, and a label as large as the paper is printed so.
bool GridFitsSheet(const SheetGeometry& sheet, const GridCounts& grid);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_JOBLAYOUT_H
