// labelplu: labels that fit on a sheet.
#include "print/LabelGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace labelplu {

namespace {

// Labels that fit into an extent; 1 when the quotient is below 1 or not a
// number (a gap of minus the label's size leaves a zero divisor).
int32_t FitCount(double extentMm, double stepMm) {
  const double count = std::trunc(extentMm / stepMm);
  if (!std::isfinite(count) || count < 1) return 1;
  if (count >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(count);
}

}  // namespace

int32_t FitAcrossSheet(const SheetGeometry& sheet) {
  if (sheet.PaperWidthMm < 1 || sheet.LabelWidthMm == 0) return 1;
  return FitCount(sheet.PaperWidthMm - sheet.MarginLeftMm - sheet.MarginRightMm,
                  sheet.LabelWidthMm + sheet.GapHorizontalMm);
}

int32_t FitDownSheet(const SheetGeometry& sheet) {
  if (sheet.PaperHeightMm < 1 || sheet.LabelHeightMm == 0) return 1;
  return FitCount(sheet.PaperHeightMm - sheet.MarginTopMm - sheet.MarginBottomMm,
                  sheet.LabelHeightMm + sheet.GapVerticalMm);
}

GridCounts AutomaticGrid(const SheetGeometry& sheet) {
  return {std::clamp(FitAcrossSheet(sheet), 1, kMaxGridCount),
          std::clamp(FitDownSheet(sheet), 1, kMaxGridCount)};
}

}  // namespace labelplu
