// labelplu: regions of device pixels (polygon and rectangle regions, their
// combination), used as clip regions of the canvas and filled by FillRgn.
#ifndef LABELPLU_PLATFORM_GDI_REGION_H
#define LABELPLU_PLATFORM_GDI_REGION_H

#include <QRegion>

#include <cstdint>
#include <span>

#include "platform/gdi/GdiTypes.h"

namespace labelplu::gdi {

// How far from the origin a region reaches: polygon parts beyond
// ±kRegionLimit pixels are cut off, so that absurd coordinates cost neither
// time nor memory. About 22 m at 300 dpi.
inline constexpr int32_t kRegionLimit = 1 << 18;

// A set of device pixels, a value type (copies are cheap and independent).
// A default-constructed region is empty. Not thread-safe per object; distinct
// objects may be used on distinct threads.
class Region {
 public:
  Region() = default;
  explicit Region(QRegion region) : m_region(std::move(region)) {}

  // The pixels inside the polygon through the points (closed from the last
  // point back to the first), by the fill rule: ALTERNATE (even-odd: a
  // self-intersecting star leaves its centre out) or WINDING (non-zero).
  // A pixel belongs when its centre lies inside; a pixel whose centre lies on
  // a left or top edge belongs, on a right or bottom edge it does not, so the
  // polygon (0,0) (10,0) (10,10) (0,10) holds exactly the pixels 0..9 × 0..9,
  // as the platform's CreatePolygonRgn. Fewer than 3 points give an empty
  // region. Throws GdiError for another fill mode.
  static Region CreatePolygonRgn(std::span<const POINT> points, int32_t fillMode = ALTERNATE);

  // The pixels left..right-1 × top..bottom-1; swapped bounds are put in
  // order; an empty rectangle gives an empty region. Bounds are limited to
  // ±kRegionLimit.
  static Region CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom);
  static Region CreateRectRgn(const RECT& r) {
    return CreateRectRgn(r.left, r.top, r.right, r.bottom);
  }

  // this := a (mode) b with RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF (a minus b),
  // RGN_COPY (a). a or b may be this very region. Returns the kind of the
  // result (NULLREGION, SIMPLEREGION, COMPLEXREGION); throws GdiError for
  // another mode.
  int32_t CombineRgn(const Region& a, const Region& b, int32_t mode);

  // Moves the region by (dx, dy) pixels.
  void OffsetRgn(int32_t dx, int32_t dy);

  // The bounding box (right and bottom exclusive; all zero when empty) and
  // the kind of the region.
  int32_t GetRgnBox(RECT& box) const;
  RECT Box() const;

  // True when the pixel (x, y) belongs to the region.
  bool PtInRegion(int32_t x, int32_t y) const;

  bool IsEmpty() const { return m_region.isEmpty(); }
  // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
  int32_t Kind() const;

  const QRegion& ToQRegion() const { return m_region; }
  friend bool operator==(const Region& a, const Region& b) { return a.m_region == b.m_region; }

 private:
  QRegion m_region;
};

}  // namespace labelplu::gdi

#endif  // LABELPLU_PLATFORM_GDI_REGION_H
