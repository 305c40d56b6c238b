// labelplu: regions over QRegion.
#include "Region.h"

#include <QPolygon>

#include <algorithm>
#include <string>
#include <vector>

namespace labelplu::gdi {
namespace {

int32_t ClampToLimit(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -kRegionLimit, kRegionLimit));
}

struct TPointD {
  double x;
  double y;
};

// Sutherland-Hodgman against one side of the limit square. Clipping a
// polygon against a convex window keeps the winding number of every point
// inside the window, so both fill rules still hold for the part we keep.
template <typename Inside, typename Cross>
std::vector<TPointD> ClipSide(const std::vector<TPointD>& in, Inside inside, Cross cross) {
  std::vector<TPointD> out;
  if (in.empty()) return out;
  out.reserve(in.size() + 4);
  TPointD prev = in.back();
  bool prevIn = inside(prev);
  for (const TPointD& cur : in) {
    const bool curIn = inside(cur);
    if (curIn != prevIn) out.push_back(cross(prev, cur));
    if (curIn) out.push_back(cur);
    prev = cur;
    prevIn = curIn;
  }
  return out;
}

std::vector<TPointD> ClipToLimit(std::vector<TPointD> poly) {
  const double lim = kRegionLimit;
  auto atX = [](double x) {
    return [x](const TPointD& a, const TPointD& b) {
      return TPointD{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
    };
  };
  auto atY = [](double y) {
    return [y](const TPointD& a, const TPointD& b) {
      return TPointD{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
    };
  };
  poly = ClipSide(
      poly, [&](const TPointD& p) { return p.x >= -lim; }, atX(-lim));
  poly = ClipSide(
      poly, [&](const TPointD& p) { return p.x <= lim; }, atX(lim));
  poly = ClipSide(
      poly, [&](const TPointD& p) { return p.y >= -lim; }, atY(-lim));
  poly = ClipSide(
      poly, [&](const TPointD& p) { return p.y <= lim; }, atY(lim));
  return poly;
}

}  // namespace

TRegion TRegion::CreatePolygonRgn(std::span<const POINT> points, int32_t fillMode) {
  if (fillMode != ALTERNATE && fillMode != WINDING) {
    throw TGdiError("polygon fill mode " + std::to_string(fillMode) +
                    " is neither ALTERNATE nor WINDING");
  }
  if (points.size() < 3) return TRegion();
  const Qt::FillRule rule = fillMode == ALTERNATE ? Qt::OddEvenFill : Qt::WindingFill;
  const bool inside = std::all_of(points.begin(), points.end(), [](const POINT& p) {
    return p.x >= -kRegionLimit && p.x <= kRegionLimit && p.y >= -kRegionLimit &&
           p.y <= kRegionLimit;
  });
  QPolygon polygon;
  if (inside) {
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const POINT& p : points) polygon << QPoint(p.x, p.y);
  } else {
    std::vector<TPointD> poly;
    poly.reserve(points.size());
    for (const POINT& p : points)
      poly.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
    for (const TPointD& p : ClipToLimit(std::move(poly))) {
      polygon << QPoint(ClampToLimit(std::llround(p.x)), ClampToLimit(std::llround(p.y)));
    }
    if (polygon.size() < 3) return TRegion();
  }
  return TRegion(QRegion(polygon, rule));
}

TRegion TRegion::CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const int32_t l = ClampToLimit(std::min(left, right));
  const int32_t r = ClampToLimit(std::max(left, right));
  const int32_t t = ClampToLimit(std::min(top, bottom));
  const int32_t b = ClampToLimit(std::max(top, bottom));
  if (l == r || t == b) return TRegion();
  return TRegion(QRegion(l, t, r - l, b - t));
}

int32_t TRegion::CombineRgn(const TRegion& a, const TRegion& b, int32_t mode) {
  switch (mode) {
    case RGN_AND:
      m_region = a.m_region.intersected(b.m_region);
      break;
    case RGN_OR:
      m_region = a.m_region.united(b.m_region);
      break;
    case RGN_XOR:
      m_region = a.m_region.xored(b.m_region);
      break;
    case RGN_DIFF:
      m_region = a.m_region.subtracted(b.m_region);
      break;
    case RGN_COPY:
      m_region = a.m_region;
      break;
    default:
      throw TGdiError("region combination mode " + std::to_string(mode) + " is unknown");
  }
  return Kind();
}

void TRegion::OffsetRgn(int32_t dx, int32_t dy) {
  m_region.translate(dx, dy);
}

int32_t TRegion::GetRgnBox(RECT& box) const {
  box = Box();
  return Kind();
}

RECT TRegion::Box() const {
  if (m_region.isEmpty()) return RECT{};
  const QRect r = m_region.boundingRect();
  return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

bool TRegion::PtInRegion(int32_t x, int32_t y) const {
  return m_region.contains(QPoint(x, y));
}

int32_t TRegion::Kind() const {
  if (m_region.isEmpty()) return NULLREGION;
  return m_region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace labelplu::gdi
