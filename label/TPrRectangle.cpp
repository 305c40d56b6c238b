// labelplu: the rectangle frame primitive.
#include "TPrRectangle.h"

#include <algorithm>
#include <vector>

#include "PixelRound.h"
#include "PrimitiveClasses.h"

namespace labelplu {

TPrRectangle::TPrRectangle(TLb& owner) : TBasePrimitive(owner) {
  SetCaption("Прямоугольник");
}

void TPrRectangle::SetPenWidth(double mm) {
  if (mm == m_penWidth) return;
  m_penWidth = mm;
  if (!(m_penWidth >= 0.1)) m_penWidth = 0.1;
  MarkChanged(true);
}

void TPrRectangle::Draw() {
  if (InUpdate()) return;
  gdi::TCanvas* canvas = Canvas();
  if (canvas == nullptr) return;
  // The pen is centred on the outline and the clip keeps its inner half.
  // A pen wider than twice the box adds nothing visible; the bound keeps
  // absurd pen widths from reaching the painter.
  const gdi::RECT box = DeviceRect();
  const int64_t side = std::max<int64_t>(int64_t{box.right} - box.left, int64_t{box.bottom} - box.top);
  int64_t width = int64_t{RoundPx(PixelsPerMmX() * m_penWidth)} * 2;
  width = std::clamp<int64_t>(width, 2, std::max<int64_t>(2, 2 * side + 2));
  gdi::TPen pen = DrawPen();
  pen.width = static_cast<int32_t>(width);
  canvas->SelectPen(pen);
  canvas->SelectClipRgn(&Outline().Region());
  TBasePrimitive::Draw();
}

std::span<const TPropInfo> TPrRectangle::Properties() const {
  static const std::vector<TPropInfo> table = {
      BaseProp::Left(), BaseProp::Top(), BaseProp::Width(), BaseProp::Height(),
      RealProperty<TPrRectangle>("PenWidth", &TPrRectangle::PenWidth, &TPrRectangle::SetPenWidth,
                                 kLengthLimitMm)};
  return table;
}

LP_REGISTER_PRIMITIVE(TPrRectangle)

}  // namespace labelplu
