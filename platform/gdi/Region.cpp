// labelplu: regions over QRegion.
#include "platform/gdi/Region.h"

#include <QPolygon>

#include <algorithm>
#include <string>
#include <vector>

namespace labelplu::gdi {
namespace {

int32_t ClampToLimit(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -kRegionLimit, kRegionLimit));
}

struct PointD {
  double x;
  double y;
};

// Sutherland-Hodgman against one side of the limit square. Clipping a
// polygon against a convex window keeps the winding number of every point
// inside the window, so both fill rules still hold for the part we keep.
template <typename Inside, typename Cross>
std::vector<PointD> ClipSide(const std::vector<PointD>& in, Inside inside, Cross cross) {
  std::vector<PointD> out;
  if (in.empty()) return out;
  out.reserve(in.size() + 4);
  PointD prev = in.back();
  bool prevIn = inside(prev);
  for (const PointD& cur : in) {
    const bool curIn = inside(cur);
    if (curIn != prevIn) out.push_back(cross(prev, cur));
    if (curIn) out.push_back(cur);
    prev = cur;
    prevIn = curIn;
  }
  return out;
}

std::vector<PointD> ClipToLimit(std::vector<PointD> poly) {
  const double lim = kRegionLimit;
  auto atX = [](double x) {
    return [x](const PointD& a, const PointD& b) {
      return PointD{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
    };
  };
  auto atY = [](double y) {
    return [y](const PointD& a, const PointD& b) {
      return PointD{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
    };
  };
  poly = ClipSide(
      poly, [&](const PointD& p) { return p.x >= -lim; }, atX(-lim));
  poly = ClipSide(
      poly, [&](const PointD& p) { return p.x <= lim; }, atX(lim));
  poly = ClipSide(
      poly, [&](const PointD& p) { return p.y >= -lim; }, atY(-lim));
  poly = ClipSide(
      poly, [&](const PointD& p) { return p.y <= lim; }, atY(lim));
  return poly;
}

}  // namespace

Region Region::CreatePolygonRgn(std::span<const POINT> points, int32_t fillMode) {
  if (fillMode != ALTERNATE && fillMode != WINDING) {
    throw GdiError("polygon fill mode " + std::to_string(fillMode) +
                   " is neither ALTERNATE nor WINDING");
  }
  if (points.size() < 3) return Region();
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
    std::vector<PointD> poly;
    poly.reserve(points.size());
    for (const POINT& p : points)
      poly.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
    for (const PointD& p : ClipToLimit(std::move(poly))) {
      polygon << QPoint(ClampToLimit(std::llround(p.x)), ClampToLimit(std::llround(p.y)));
    }
    if (polygon.size() < 3) return Region();
  }
  return Region(QRegion(polygon, rule));
}

Region Region::CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const int32_t l = ClampToLimit(std::min(left, right));
  const int32_t r = ClampToLimit(std::max(left, right));
  const int32_t t = ClampToLimit(std::min(top, bottom));
  const int32_t b = ClampToLimit(std::max(top, bottom));
  if (l == r || t == b) return Region();
  return Region(QRegion(l, t, r - l, b - t));
}

int32_t Region::CombineRgn(const Region& a, const Region& b, int32_t mode) {
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
      throw GdiError("region combination mode " + std::to_string(mode) + " is unknown");
  }
  return Kind();
}

void Region::OffsetRgn(int32_t dx, int32_t dy) {
  m_region.translate(dx, dy);
}

int32_t Region::GetRgnBox(RECT& box) const {
  box = Box();
  return Kind();
}

RECT Region::Box() const {
  if (m_region.isEmpty()) return RECT{};
  const QRect r = m_region.boundingRect();
  return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

bool Region::PtInRegion(int32_t x, int32_t y) const {
  return m_region.contains(QPoint(x, y));
}

int32_t Region::Kind() const {
  if (m_region.isEmpty()) return NULLREGION;
  return m_region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace labelplu::gdi
