// labelplu: the straight line item.
#include "label/LineItem.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "label/ItemClasses.h"
#include "label/PixelRound.h"

namespace labelplu {

namespace {

constexpr double kBoxHeightMm = 2.0;

// Drawing coordinates stay well inside what the canvas and its regions
// accept, whatever the pen width.
constexpr double kMaxHalfPenPx = 1 << 20;

}  // namespace

LineItem::LineItem(Label& owner) : LabelItem(owner) {
  SetCaption("Линия");
  SetHeight(kBoxHeightMm);
}

void LineItem::SetPenWidth(double mm) {
  if (mm == m_penWidth) return;
  m_penWidth = mm;
  if (!(m_penWidth >= 0.1)) m_penWidth = 0.1;
  MarkChanged(true);
}

void LineItem::SetLineLeft(double mm) {
  if (mm == m_lineLeft) return;
  m_lineLeft = mm;
  SetLeft(mm);
  MarkChanged(true);
}

void LineItem::SetLineTop(double mm) {
  if (mm == m_lineTop) return;
  m_lineTop = mm;
  SetTop(mm - 1.0);
  SetHeight(kBoxHeightMm);
  MarkChanged(true);
}

void LineItem::SetLineLength(double mm) {
  if (mm == m_lineLength) return;
  m_lineLength = mm;
  SetWidth(mm);
  SetHeight(kBoxHeightMm);
  MarkChanged(true);
}

void LineItem::SetLeft(double mm) {
  LabelItem::SetLeft(mm);
  m_lineLeft = mm;
}

void LineItem::SetTop(double mm) {
  LabelItem::SetTop(mm);
  m_lineTop = mm + 1.0;
}

void LineItem::SetWidth(double mm) {
  LabelItem::SetWidth(mm);
  m_lineLength = mm;
}

void LineItem::SetHeight(double mm) {
  SetTop(mm / 2 + Top() - 1.0);
  LabelItem::SetHeight(kBoxHeightMm);
}

void LineItem::Draw() {
  if (InUpdate()) return;
  gdi::Canvas* canvas = Canvas();
  const auto points = BoxOutline().Points();
  if (canvas == nullptr || points.size() != 4) return;
  const gdi::POINT p1{static_cast<int32_t>((int64_t{points[0].x} + points[3].x) / 2),
                      static_cast<int32_t>((int64_t{points[0].y} + points[3].y) / 2)};
  const gdi::POINT p2{static_cast<int32_t>((int64_t{points[1].x} + points[2].x) / 2),
                      static_cast<int32_t>((int64_t{points[1].y} + points[2].y) / 2)};
  const double g = PixelsPerMmX() * m_penWidth;
  if (RoundHalfEven(g) == 1.0) {
    canvas->MoveTo(p1.x, p1.y);
    canvas->LineTo(p2.x, p2.y);
    return;
  }
  const double dx = static_cast<double>(p1.x) - p2.x;
  const double dy = static_cast<double>(p1.y) - p2.y;
  const double length = std::hypot(dx, dy);
  // Ends on the same pixel give no direction to be thick across.
  if (length == 0) return;
  const double h = std::min(g / 2, kMaxHalfPenPx);
  double phi = std::acos(std::clamp(dx / length, -1.0, 1.0));
  if (p2.y < p1.y) phi = 2 * std::numbers::pi - phi;
  const auto corner = [&](gdi::POINT p, double psi) {
    return gdi::POINT{RoundPx(p.x - std::cos(psi) * h), RoundPx(p.y + std::sin(psi) * h)};
  };
  const double a = phi + std::numbers::pi / 2;
  const double b = phi + 3 * std::numbers::pi / 2;
  const std::array<gdi::POINT, 4> quad = {corner(p1, a), corner(p1, b), corner(p2, b),
                                          corner(p2, a)};
  canvas->Polygon(quad);
  canvas->FillRgn(gdi::Region::CreatePolygonRgn(quad, gdi::ALTERNATE),
                  gdi::Brush{gdi::BS_SOLID, gdi::RGB(0, 0, 0)});
}

std::span<const PropertyInfo> LineItem::Properties() const {
  static const std::vector<PropertyInfo> table = {
      RealProperty<LineItem>("LineLeft", &LineItem::LineLeft, &LineItem::SetLineLeft,
                             kLengthLimitMm),
      RealProperty<LineItem>("LineTop", &LineItem::LineTop, &LineItem::SetLineTop, kLengthLimitMm),
      RealProperty<LineItem>("LineLength", &LineItem::LineLength, &LineItem::SetLineLength,
                             kLengthLimitMm),
      BaseProp::RotationFixed(),
      RealProperty<LineItem>("PenWidth", &LineItem::PenWidth, &LineItem::SetPenWidth,
                             kLengthLimitMm)};
  return table;
}

LP_REGISTER_LABEL_ITEM(LineItem, "Line")

}  // namespace labelplu
