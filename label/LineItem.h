// labelplu: the straight line item (template class "Line").
//
// A black line PenWidth millimetres thick along the middle of a box that is
// always 2 mm high: the box's Left is LineLeft, its Top LineTop − 1 and its
// Width LineLength (each snapped to the grid), so the line runs at LineTop.
// RotationFixed turns it about the box centre.
//
// Threads: as every item, its label's thread.
#ifndef LABELPLU_LABEL_LINEITEM_H
#define LABELPLU_LABEL_LINEITEM_H

#include "label/LabelItem.h"

namespace labelplu {

class LineItem : public LabelItem {
 public:
  // Caption "Линия", PenWidth 0.1 mm, LineLength 0, LineLeft 0, LineTop 1,
  // box height 2 mm.
  explicit LineItem(Label& owner);

  std::string_view ClassName() const override { return "Line"; }
  // LineLeft, LineTop, LineLength, RotationFixed, PenWidth.
  std::span<const PropertyInfo> Properties() const override;

  double PenWidth() const { return m_penWidth; }
  // Nothing when equal; otherwise stores it, raised to 0.1 mm when below,
  // and MarkChanged(true).
  void SetPenWidth(double mm);

  double LineLeft() const { return m_lineLeft; }
  double LineTop() const { return m_lineTop; }
  double LineLength() const { return m_lineLength; }
  // Each does nothing when equal; otherwise stores the value and moves the
  // box: LineLeft sets Left; LineTop sets Top to v − 1 and the height to 2;
  // LineLength sets Width and the height to 2.
  void SetLineLeft(double mm);
  void SetLineTop(double mm);
  void SetLineLength(double mm);

  // The box setters keep the line fields in step: Left → LineLeft := v,
  // Top → LineTop := v + 1, Width → LineLength := v. SetHeight(v) moves the
  // box so that the line lies at v / 2 below the current Top and keeps the
  // box 2 mm high.
  void SetLeft(double mm) override;
  void SetTop(double mm) override;
  void SetWidth(double mm) override;
  void SetHeight(double mm) override;

  // From the middle of the box's left edge to the middle of its right edge:
  // a plain one-pixel line when the pen comes to one pixel, otherwise a
  // black quadrilateral PenWidth thick centred on that segment.
  void Draw() override;

 private:
  double m_penWidth = 0.1;
  double m_lineLength = 0;
  double m_lineLeft = 0;
  double m_lineTop = 1.0;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_LINEITEM_H
