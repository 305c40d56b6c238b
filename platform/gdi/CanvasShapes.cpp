// labelplu: the canvas's lines, polygons, rectangles and fills.
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gdi/CanvasInternal.h"
#include "platform/gdi/LinePixels.h"

namespace labelplu::gdi {
namespace {

// The part of r inside box, as a QRect (empty when nothing is left), so that
// far-away coordinates never overflow QRect's arithmetic.
QRect Visible(int64_t left, int64_t top, int64_t right, int64_t bottom, const RECT& box) {
  const int64_t l = std::max<int64_t>(left, box.left);
  const int64_t t = std::max<int64_t>(top, box.top);
  const int64_t r = std::min<int64_t>(right, box.right);
  const int64_t b = std::min<int64_t>(bottom, box.bottom);
  if (r <= l || b <= t) return QRect();
  return QRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
               static_cast<int>(b - t));
}

// Liang-Barsky: cuts the segment to the box; false when nothing is left.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
  double t0 = 0.0;
  double t1 = 1.0;
  const double dx = b.x() - a.x();
  const double dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(),
                       box.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const QPointF start = a;
  a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
  b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
  return true;
}

bool WithinLimit(std::span<const POINT> points) {
  return std::all_of(points.begin(), points.end(), [](const POINT& p) {
    return p.x >= -kRegionLimit && p.x <= kRegionLimit && p.y >= -kRegionLimit &&
           p.y <= kRegionLimit;
  });
}

}  // namespace

// Consecutive pixels of a line gathered into horizontal or vertical runs,
// each painted as one rectangle: exact on every device (a PDF has no
// pixels to set one by one) and cheaper than single points.
class SpanRuns {
 public:
  void Add(int32_t x, int32_t y) {
    if (!m_runs.isEmpty()) {
      QRect& last = m_runs.last();
      const QRect pixel(x, y, 1, 1);
      // A single pixel may grow either way; a run only along its length.
      if (last.height() == 1 && y == last.top() &&
          (x == last.right() + 1 || x == last.left() - 1)) {
        last |= pixel;
        return;
      }
      if (last.width() == 1 && x == last.left() &&
          (y == last.bottom() + 1 || y == last.top() - 1)) {
        last |= pixel;
        return;
      }
    }
    m_runs.append(QRect(x, y, 1, 1));
  }
  void Paint(QPainter& painter, const QColor& colour) const {
    for (const QRect& r : m_runs) painter.fillRect(r, colour);
  }

 private:
  QList<QRect> m_runs;
};

void Canvas::PaintThinLines(std::span<const POINT> points, bool closed, LineStyle& style) {
  RECT box;
  if (GetClipBox(box) == NULLREGION) return;
  SpanRuns on;
  SpanRuns off;
  const bool paintGaps = m_bkMode == OPAQUE;
  auto pixel = [&](int32_t x, int32_t y, bool dash) {
    if (dash) {
      on.Add(x, y);
    } else if (paintGaps) {
      off.Add(x, y);
    }
  };
  for (size_t i = 1; i < points.size(); ++i) WalkLine(points[i - 1], points[i], box, style, pixel);
  if (closed && points.size() > 1) WalkLine(points.back(), points.front(), box, style, pixel);
  SetMixMode(true);
  off.Paint(*m_painter, ToQColor(m_bkColor));
  on.Paint(*m_painter, ToQColor(m_pen.color));
}

void Canvas::PaintWideSegment(POINT a, POINT b) {
  RECT box;
  if (GetClipBox(box) == NULLREGION) return;
  const double margin = m_pen.width + 2.0;
  const QRectF limit(QPointF(box.left - margin, box.top - margin),
                     QPointF(box.right + margin, box.bottom + margin));
  QPointF p(a.x, a.y);
  QPointF q(b.x, b.y);
  if (!ClipSegment(p, q, limit)) return;
  SetMixMode(true);
  m_painter->setPen(
      QPen(ToQColor(m_pen.color), m_pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  m_painter->setBrush(Qt::NoBrush);
  m_painter->drawLine(p, q);
}

POINT Canvas::MoveTo(int32_t x, int32_t y) {
  const POINT previous = m_position;
  m_position = POINT{x, y};
  m_lineStyle.reset();
  return previous;
}

void Canvas::LineTo(int32_t x, int32_t y) {
  RequireActive();
  const POINT from = m_position;
  const POINT to{x, y};
  m_position = to;
  if (m_pen.style == PS_NULL) return;
  if (m_pen.width <= 1) {
    // The dash pattern runs on along connected lines until the next MoveTo.
    if (!m_lineStyle || m_lineStyleOf != m_pen.style) {
      m_lineStyle = std::make_unique<LineStyle>(m_pen.style);
      m_lineStyleOf = m_pen.style;
    }
    const POINT segment[2] = {from, to};
    PaintThinLines(segment, false, *m_lineStyle);
  } else {
    PaintWideSegment(from, to);
  }
}

void Canvas::Polyline(std::span<const POINT> points) {
  RequireActive();
  if (m_pen.style == PS_NULL || points.size() < 2) return;
  if (m_pen.width <= 1) {
    LineStyle style(m_pen.style);
    PaintThinLines(points, false, style);
    return;
  }
  for (size_t i = 1; i < points.size(); ++i) PaintWideSegment(points[i - 1], points[i]);
}

void Canvas::Polygon(std::span<const POINT> points) {
  RequireActive();
  if (points.size() < 2) return;
  if (m_brush.style == BS_SOLID && points.size() >= 3) {
    SetMixMode(true);
    if (IsRaster(*m_device)) {
      // The same pixels as the polygon's region, whatever the rasteriser does.
      const Region region = Region::CreatePolygonRgn(points, m_polyFillMode);
      const QColor colour = ToQColor(m_brush.color);
      for (const QRect& r : region.ToQRegion()) m_painter->fillRect(r, colour);
    } else {
      QPolygonF polygon;
      for (const POINT& p : points) polygon << QPointF(p.x, p.y);
      m_painter->setPen(Qt::NoPen);
      m_painter->setBrush(ToQColor(m_brush.color));
      m_painter->drawPolygon(polygon,
                             m_polyFillMode == ALTERNATE ? Qt::OddEvenFill : Qt::WindingFill);
    }
  }
  if (m_pen.style == PS_NULL) return;
  if (m_pen.width <= 1) {
    LineStyle style(m_pen.style);
    PaintThinLines(points, true, style);
    return;
  }
  if (!WithinLimit(points)) {
    // Far-away outlines go segment by segment: round ends join them as round joins would.
    for (size_t i = 0; i < points.size(); ++i)
      PaintWideSegment(points[i], points[(i + 1) % points.size()]);
    return;
  }
  QPolygonF polygon;
  for (const POINT& p : points) polygon << QPointF(p.x, p.y);
  SetMixMode(true);
  m_painter->setPen(
      QPen(ToQColor(m_pen.color), m_pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  m_painter->setBrush(Qt::NoBrush);
  m_painter->drawPolygon(polygon);
}

void Canvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  RequireActive();
  const int64_t l = std::min(left, right);
  const int64_t r = std::max(left, right);
  const int64_t t = std::min(top, bottom);
  const int64_t b = std::max(top, bottom);
  if (r == l || b == t) return;
  RECT box;
  if (GetClipBox(box) == NULLREGION) return;
  SetMixMode(true);
  if (m_pen.style == PS_NULL) {
    if (m_brush.style == BS_SOLID)
      m_painter->fillRect(Visible(l, t, r, b, box), ToQColor(m_brush.color));
    return;
  }
  const int64_t w = std::max(m_pen.width, 1);
  const bool styled = w == 1 && m_pen.style != PS_SOLID && m_pen.style != PS_INSIDEFRAME;
  // The outer edge of the pen's band, and its inner edge.
  int64_t outerLeft = l, outerTop = t, outerRight = r, outerBottom = b;
  if (m_pen.style != PS_INSIDEFRAME) {
    outerLeft = l - w / 2;
    outerTop = t - w / 2;
    outerRight = r + w / 2;
    outerBottom = b + w / 2;
  }
  const int64_t innerLeft = std::min(outerLeft + w, outerRight);
  const int64_t innerTop = std::min(outerTop + w, outerBottom);
  const int64_t innerRight = std::max(outerRight - w, innerLeft);
  const int64_t innerBottom = std::max(outerBottom - w, innerTop);
  if (m_brush.style == BS_SOLID)
    m_painter->fillRect(Visible(innerLeft, innerTop, innerRight, innerBottom, box),
                        ToQColor(m_brush.color));
  if (styled && r - l > 1 && b - t > 1) {
    const auto i32 = [](int64_t v) { return static_cast<int32_t>(v); };
    const POINT corners[4] = {
        {i32(l), i32(t)}, {i32(r - 1), i32(t)}, {i32(r - 1), i32(b - 1)}, {i32(l), i32(b - 1)}};
    LineStyle style(m_pen.style);
    PaintThinLines(corners, true, style);
    return;
  }
  // Four bands that never overlap, so that a mix mode touches every pixel once.
  SetMixMode(true);
  const QColor colour = ToQColor(m_pen.color);
  m_painter->fillRect(Visible(outerLeft, outerTop, outerRight, innerTop, box), colour);
  m_painter->fillRect(Visible(outerLeft, innerBottom, outerRight, outerBottom, box), colour);
  m_painter->fillRect(Visible(outerLeft, innerTop, innerLeft, innerBottom, box), colour);
  m_painter->fillRect(Visible(innerRight, innerTop, outerRight, innerBottom, box), colour);
}

void Canvas::FillRect(const RECT& rect, const Brush& brush) {
  RequireActive();
  if (brush.style != BS_SOLID) return;
  RECT box;
  if (GetClipBox(box) == NULLREGION) return;
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  m_painter->fillRect(Visible(rect.left, rect.top, rect.right, rect.bottom, box),
                      ToQColor(brush.color));
}

void Canvas::FillRgn(const Region& region, const Brush& brush) {
  RequireActive();
  if (brush.style != BS_SOLID) return;
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  const QColor colour = ToQColor(brush.color);
  for (const QRect& r : region.ToQRegion()) m_painter->fillRect(r, colour);
}

}  // namespace labelplu::gdi
