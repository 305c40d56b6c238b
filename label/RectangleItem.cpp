// labelplu: the rectangle frame item.
#include "label/RectangleItem.h"

#include <algorithm>
#include <vector>

#include "label/ItemClasses.h"
#include "label/PixelRound.h"

namespace labelplu {

RectangleItem::RectangleItem(Label& owner) : LabelItem(owner) {
  SetCaption("Прямоугольник");
}

void RectangleItem::SetPenWidth(double mm) {
  if (mm == m_penWidth) return;
  m_penWidth = mm;
  if (!(m_penWidth >= 0.1)) m_penWidth = 0.1;
  MarkChanged(true);
}

void RectangleItem::Draw() {
  if (InUpdate()) return;
  gdi::Canvas* canvas = Canvas();
  if (canvas == nullptr) return;
  // The pen is centred on the outline and the clip keeps its inner half.
  // A pen wider than twice the box adds nothing visible; the bound keeps
  // absurd pen widths from reaching the painter.
  const gdi::RECT box = DeviceRect();
  const int64_t side =
      std::max<int64_t>(int64_t{box.right} - box.left, int64_t{box.bottom} - box.top);
  int64_t width = int64_t{RoundPx(PixelsPerMmX() * m_penWidth)} * 2;
  width = std::clamp<int64_t>(width, 2, std::max<int64_t>(2, 2 * side + 2));
  gdi::Pen pen = DrawPen();
  pen.width = static_cast<int32_t>(width);
  canvas->SelectPen(pen);
  canvas->SelectClipRgn(&BoxOutline().Region());
  LabelItem::Draw();
}

std::span<const PropertyInfo> RectangleItem::Properties() const {
  static const std::vector<PropertyInfo> table = {
      BaseProp::Left(), BaseProp::Top(), BaseProp::Width(), BaseProp::Height(),
      RealProperty<RectangleItem>("PenWidth", &RectangleItem::PenWidth, &RectangleItem::SetPenWidth,
                                  kLengthLimitMm)};
  return table;
}

LP_REGISTER_LABEL_ITEM(RectangleItem, "Rectangle")

}  // namespace labelplu
