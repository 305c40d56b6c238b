// labelplu: the rectangle frame item (template class "Rectangle").
//
// A frame PenWidth millimetres wide (at least 0.1 mm, at least one device
// pixel) drawn inside the (rotated) box, the inside filled white.
//
// Threads: as every item, its label's thread.
#ifndef LABELPLU_LABEL_RECTANGLEITEM_H
#define LABELPLU_LABEL_RECTANGLEITEM_H

#include "label/LabelItem.h"

namespace labelplu {

class RectangleItem : public LabelItem {
 public:
  // Caption "Прямоугольник", PenWidth 0.1 mm, the base's 10 × 10 mm box.
  explicit RectangleItem(Label& owner);

  std::string_view ClassName() const override { return "Rectangle"; }
  // Left, Top, Width, Height, PenWidth.
  std::span<const PropertyInfo> Properties() const override;

  double PenWidth() const { return m_penWidth; }
  // Nothing when equal; otherwise stores it, raised to 0.1 mm when below,
  // and MarkChanged(true).
  void SetPenWidth(double mm);

  // A polygon through the outline with a pen of round(PixelsPerMmX ×
  // PenWidth) × 2 pixels (at least 2) and the white brush, clipped to the
  // outline's region: the pen's inner half is the visible frame.
  void Draw() override;

 private:
  double m_penWidth = 0.1;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_RECTANGLEITEM_H
