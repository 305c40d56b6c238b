// labelplu: the pixels of one-pixel lines, as the canvas paints them (inside
// the canvas library).
#ifndef LABELPLU_PLATFORM_GDI_LINEPIXELS_H
#define LABELPLU_PLATFORM_GDI_LINEPIXELS_H

#include <algorithm>
#include <cstdint>
#include <span>

#include "platform/gdi/GdiTypes.h"

namespace labelplu::gdi {

// The on/off pattern of a one-pixel pen, advanced pixel by pixel along
// connected lines and restarted by MoveTo.
class LineStyle {
 public:
  explicit LineStyle(int32_t penStyle);
  // True when the next pixel belongs to a dash (always for solid pens);
  // advances the pattern.
  bool Next();
  // Advances the pattern by count pixels without painting them.
  void Skip(int64_t count);
  void Restart() { m_position = 0; }

 private:
  std::span<const int32_t> m_pattern;  // on, off, on, off…; empty = solid
  int64_t m_length = 0;
  int64_t m_position = 0;
};

// Calls pixel(x, y, on) for every pixel of the line from a towards b in
// order, b itself excluded (a line from a point to itself has no pixels),
// limited to the pixels inside box (right and bottom exclusive); the style
// advances over the skipped ones too. The pixel of step i lies at the
// coordinate of the major axis a + i and, on the minor axis, the exact
// position rounded with halves towards the smaller coordinate, so a line
// covers the same pixels whichever way it runs (except its excluded end).
template <typename PixelFn>
void WalkLine(POINT a, POINT b, const RECT& box, LineStyle& style, PixelFn pixel);

// ---- implementation ---------------------------------------------------------
namespace detail {

// Products of two 33-bit distances need more than 64 bits.
__extension__ using Wide = __int128;

inline Wide FloorDiv(Wide a, Wide b) {  // b > 0
  const Wide q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// round(num / den) with halves towards minus infinity; den > 0.
inline int64_t RoundHalfDown(Wide num, Wide den) {
  return static_cast<int64_t>(FloorDiv(2 * num + den - 1, 2 * den));
}

}  // namespace detail

template <typename PixelFn>
void WalkLine(POINT a, POINT b, const RECT& box, LineStyle& style, PixelFn pixel) {
  const int64_t dx = static_cast<int64_t>(b.x) - a.x;
  const int64_t dy = static_cast<int64_t>(b.y) - a.y;
  const int64_t n = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
  if (n == 0) return;
  if (box.right <= box.left || box.bottom <= box.top) {
    style.Skip(n);
    return;
  }
  // Steps whose major coordinate lies inside the box; the minor coordinate
  // is checked per pixel, and the range it allows is at most one step wider
  // than the box on each side, so the loop stays as short as the box.
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const int64_t major0 = xMajor ? a.x : a.y;
  const int64_t dMajor = xMajor ? dx : dy;
  const int64_t lo = xMajor ? box.left : box.top;
  const int64_t hi = xMajor ? box.right - 1 : box.bottom - 1;
  int64_t first = 0;
  int64_t last = n - 1;
  if (dMajor > 0) {
    first = std::max(first, lo - major0);
    last = std::min(last, hi - major0);
  } else {
    first = std::max(first, major0 - hi);
    last = std::min(last, major0 - lo);
  }
  // Also bound by the minor axis.
  const int64_t minor0 = xMajor ? a.y : a.x;
  const int64_t dMinor = xMajor ? dy : dx;
  const int64_t mlo = xMajor ? box.top : box.left;
  const int64_t mhi = xMajor ? box.bottom - 1 : box.right - 1;
  if (dMinor == 0) {
    if (minor0 < mlo || minor0 > mhi) first = last + 1;
  } else {
    // minor(i) = minor0 + round(dMinor × i / n) is monotonic in i; it can
    // lie within [mlo, mhi] only where the exact line lies within half a
    // pixel of it. Work in half pixels to stay in integers.
    auto stepAt = [&](int64_t targetTwice) {
      const detail::Wide dist = detail::Wide{targetTwice} - 2 * detail::Wide{minor0};
      const detail::Wide q = dMinor > 0 ? detail::FloorDiv(dist * n, 2 * detail::Wide{dMinor})
                                        : detail::FloorDiv(-dist * n, -2 * detail::Wide{dMinor});
      return static_cast<int64_t>(
          std::clamp<detail::Wide>(q, -(detail::Wide{1} << 40), detail::Wide{1} << 40));
    };
    int64_t s1 = stepAt(2 * mlo - 1);
    int64_t s2 = stepAt(2 * mhi + 1);
    if (s1 > s2) std::swap(s1, s2);
    first = std::max(first, s1 - 1);
    last = std::min(last, s2 + 1);
  }
  if (first > last) {
    style.Skip(n);
    return;
  }
  style.Skip(first);
  const int64_t sMajor = dMajor > 0 ? 1 : -1;
  for (int64_t i = first; i <= last; ++i) {
    const bool on = style.Next();
    const int64_t major = major0 + sMajor * i;
    const int64_t minor = minor0 + detail::RoundHalfDown(detail::Wide{dMinor} * i, n);
    const int64_t x = xMajor ? major : minor;
    const int64_t y = xMajor ? minor : major;
    if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) {
      pixel(static_cast<int32_t>(x), static_cast<int32_t>(y), on);
    }
  }
  style.Skip(n - 1 - last);
}

}  // namespace labelplu::gdi

#endif  // LABELPLU_PLATFORM_GDI_LINEPIXELS_H
