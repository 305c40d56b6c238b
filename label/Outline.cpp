// labelplu: outline polygons of items.
#include "label/Outline.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "label/LabelItem.h"
#include "label/PixelRound.h"

namespace labelplu {

void RotatePoint(double cx, double cy, int32_t angleDegrees, double& x, double& y) {
  double c = 0;
  double s = 0;
  // Exact quarter turns keep device points free of floating noise at the
  // rounding boundaries.
  switch (((angleDegrees % 360) + 360) % 360) {
    case 0:
      c = 1;
      s = 0;
      break;
    case 90:
      c = 0;
      s = 1;
      break;
    case 180:
      c = -1;
      s = 0;
      break;
    case 270:
      c = 0;
      s = -1;
      break;
    default: {
      const double theta = angleDegrees * std::numbers::pi / 180.0;
      c = std::cos(theta);
      s = std::sin(theta);
    }
  }
  const double dx = x - cx;
  const double dy = y - cy;
  x = cx + c * dx - s * dy;
  y = cy + s * dx + c * dy;
}

void Outline::AddPoint(double xMm, double yMm) {
  OutlinePoint item;
  item.MmX = xMm;
  item.MmY = yMm;
  m_items.push_back(item);
}

OutlinePoint& Outline::Item(int32_t index) {
  return m_items.at(static_cast<size_t>(index));
}

const OutlinePoint& Outline::Item(int32_t index) const {
  return m_items.at(static_cast<size_t>(index));
}

void Outline::Clear() {
  m_items.clear();
}

const LabelItem* Outline::RequireItem() const {
  if (m_item == nullptr) throw std::logic_error("Outline: a point list has no device mapping");
  return m_item;
}

void Outline::MapToDevice() {
  const LabelItem& p = *RequireItem();
  const double cx = p.Left() + p.Width() / 2;
  const double cy = p.Top() + p.Height() / 2;
  const double sx = p.PixelsPerMmX();
  const double sy = p.PixelsPerMmY();
  m_points.resize(m_items.size());
  for (size_t i = 0; i < m_items.size(); ++i) {
    OutlinePoint& item = m_items[i];
    RotatePoint(cx, cy, p.Angle(), item.MmX, item.MmY);
    item.RawX = item.MmX * sx;
    item.RawY = item.MmY * sy;
    item.X = RoundPx(item.RawX);
    item.Y = RoundPx(item.RawY);
    m_points[i] = gdi::POINT{item.X, item.Y};
  }
}

void Outline::ShiftToLabel() {
  const LabelItem& p = *RequireItem();
  const int32_t ox = RoundPx(p.PixelsPerMmX() * p.LabelLeft());
  const int32_t oy = RoundPx(p.PixelsPerMmY() * p.LabelTop());
  m_points.resize(m_items.size());
  for (size_t i = 0; i < m_items.size(); ++i) {
    // Saturating sums: absurd geometry must not overflow.
    const int64_t x = int64_t{ox} + m_items[i].X;
    const int64_t y = int64_t{oy} + m_items[i].Y;
    m_points[i] = gdi::POINT{RoundPx(static_cast<double>(x)), RoundPx(static_cast<double>(y))};
  }
}

void Outline::BuildRegion() {
  m_region =
      m_points.empty() ? gdi::Region() : gdi::Region::CreatePolygonRgn(m_points, gdi::ALTERNATE);
}

}  // namespace labelplu
