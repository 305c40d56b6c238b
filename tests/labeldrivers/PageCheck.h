// What the label-driver tests check on a page: that two pages hold the same
// dots, and that the bars and spaces of a linear symbol are whole modules.
#ifndef LABELPLU_TESTS_LABELDRIVERS_PAGECHECK_H
#define LABELPLU_TESTS_LABELDRIVERS_PAGECHECK_H

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>

#include <string>
#include <vector>

namespace labelplu::test {

// True where the pixel is darker than mid grey: a printed dot.
bool IsDot(const QImage& image, int x, int y);

// How page differs from reference when reference's top-left dot lands on
// page's dot offset; beyond either image's edges there are no dots. A dot
// on one page and not on the other counts in one of three ways: inside one
// of exactArea (reference's coordinates: where the pages must agree to the
// dot), else at an edge (the other page has a dot right beside it, so an
// outline moved by at most one dot), else off the edges.
struct DotDifference {
  long InExactBoxes = 0;
  QRect InExactBoxesAt;  // around them, in reference's coordinates
  long AtEdges = 0;
  long OffEdges = 0;
  QRect OffEdgesAt;
  long Total() const { return InExactBoxes + AtEdges + OffEdges; }
};
DotDifference CompareDots(const QImage& reference, const QImage& page, QPoint offset,
                          const QRegion& exactArea = {});

// The offset, within ±range dots each way, at which page differs least
// from reference (for messages when they differ).
QPoint BestOffset(const QImage& reference, const QImage& page, int range);

// One bar or space of a linear symbol that is not a whole number of
// modules: which one (from 1, bars and spaces counted apart), its width in
// dots and where it starts.
struct BarFault {
  bool Bar = true;
  int Index = 0;
  int WidthDots = 0;
  int X = 0;
};
// The bars and spaces of row y between the first and the last dot within
// [left, right), each checked for a whole multiple of moduleDots; empty
// when all are. noInk is set when the row has no dot there.
std::vector<BarFault> BarFaults(const QImage& page, int y, int left, int right, int moduleDots,
                                bool* noInk = nullptr);

// "bar 1 is 3 dots at x 120" and so on, one per line.
std::string Describe(const std::vector<BarFault>& faults, int moduleDots);

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_LABELDRIVERS_PAGECHECK_H
