// labelplu: how many labels of one size fit on a sheet of paper. The settings
// dialog's automatic placement and labelhost's `print --grid auto` both count
// with AutomaticGrid, so that the two cannot differ; the page layout counts
// the rows it centres with FitDownSheet.
//
// Units: millimetres. Threads: any (pure functions).
#ifndef LABELPLU_PRINT_LABELGRID_H
#define LABELPLU_PRINT_LABELGRID_H

#include <cstdint>

namespace labelplu {

// The most labels across or down a page that the settings dialog takes
// (its count fields run from 1 to this) and that labelhost accepts.
inline constexpr int32_t kMaxGridCount = 99;

// A sheet and the label placed on it, in mm.
struct SheetGeometry {
  double PaperWidthMm = 0;
  double PaperHeightMm = 0;
  double LabelWidthMm = 0;
  double LabelHeightMm = 0;
  double GapHorizontalMm = 0;
  double GapVerticalMm = 0;
  double MarginLeftMm = 0;
  double MarginRightMm = 0;
  double MarginTopMm = 0;
  double MarginBottomMm = 0;
};

// Labels that fit across (down) between the margins, a gap between
// neighbours: trunc((paper - margins) / (label + gap)). 1 when the paper is
// narrower than 1 mm, the label's side is 0, or fewer than one fit; a
// quotient that is not a number (a gap of minus the label's side) counts
// as 1. Never above INT32_MAX.
int32_t FitAcrossSheet(const SheetGeometry& sheet);
int32_t FitDownSheet(const SheetGeometry& sheet);

struct GridCounts {
  int32_t Across = 1;
  int32_t Down = 1;
};

// The automatic placement: FitAcrossSheet and FitDownSheet, each held to
// 1..kMaxGridCount.
GridCounts AutomaticGrid(const SheetGeometry& sheet);

}  // namespace labelplu

#endif  // LABELPLU_PRINT_LABELGRID_H
