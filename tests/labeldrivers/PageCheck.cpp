#include "tests/labeldrivers/PageCheck.h"

#include <limits>

namespace labelplu::test {
namespace {

bool DotAt(const QImage& image, int x, int y) {
  return x >= 0 && y >= 0 && x < image.width() && y < image.height() && IsDot(image, x, y);
}

}  // namespace

bool IsDot(const QImage& image, int x, int y) {
  if (image.format() == QImage::Format_Grayscale8) return image.constScanLine(y)[x] < 128;
  return qGray(image.pixel(x, y)) < 128;
}

DotDifference CompareDots(const QImage& reference, const QImage& page, QPoint offset,
                          const QRegion& exactArea) {
  const auto onPage = [&](int x, int y) { return DotAt(page, x + offset.x(), y + offset.y()); };
  // A dot of the other page among the eight around (x, y).
  const auto besideOther = [&](int x, int y, bool onReference) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (onReference ? onPage(x + dx, y + dy) : DotAt(reference, x + dx, y + dy)) return true;
      }
    }
    return false;
  };
  // Every dot of either page, in reference's coordinates.
  const QRect area = reference.rect() | page.rect().translated(-offset);
  DotDifference difference;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const bool onReference = DotAt(reference, x, y);
      if (onReference == onPage(x, y)) continue;
      const QPoint at(x, y);
      if (exactArea.contains(at)) {
        ++difference.InExactBoxes;
        difference.InExactBoxesAt |= QRect(at, QSize(1, 1));
      } else if (besideOther(x, y, onReference)) {
        ++difference.AtEdges;
      } else {
        ++difference.OffEdges;
        difference.OffEdgesAt |= QRect(at, QSize(1, 1));
      }
    }
  }
  return difference;
}

QPoint BestOffset(const QImage& reference, const QImage& page, int range) {
  QPoint best;
  long fewest = std::numeric_limits<long>::max();
  for (int dy = -range; dy <= range; ++dy) {
    for (int dx = -range; dx <= range; ++dx) {
      const long count = CompareDots(reference, page, QPoint(dx, dy)).Total();
      if (count < fewest) {
        fewest = count;
        best = QPoint(dx, dy);
      }
    }
  }
  return best;
}

std::vector<BarFault> BarFaults(const QImage& page, int y, int left, int right, int moduleDots,
                                bool* noInk) {
  int first = -1;
  int last = -1;
  for (int x = std::max(left, 0); x < std::min(right, page.width()); ++x) {
    if (IsDot(page, x, y)) {
      if (first < 0) first = x;
      last = x;
    }
  }
  if (noInk != nullptr) *noInk = first < 0;
  std::vector<BarFault> faults;
  if (first < 0) return faults;
  int bars = 0;
  int spaces = 0;
  int start = first;
  for (int x = first + 1; x <= last + 1; ++x) {
    const bool bar = IsDot(page, start, y);
    if (x <= last && IsDot(page, x, y) == bar) continue;
    const int index = bar ? ++bars : ++spaces;
    if ((x - start) % moduleDots != 0) faults.push_back({bar, index, x - start, start});
    start = x;
  }
  return faults;
}

std::string Describe(const std::vector<BarFault>& faults, int moduleDots) {
  std::string text;
  for (const BarFault& f : faults) {
    text += std::string(f.Bar ? "bar " : "space ") + std::to_string(f.Index) + " is " +
            std::to_string(f.WidthDots) + " dots at x " + std::to_string(f.X) +
            ", not a multiple of the " + std::to_string(moduleDots) + "-dot module\n";
  }
  return text;
}

}  // namespace labelplu::test
