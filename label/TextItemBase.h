// labelplu: the common base of the text items (TextItem,
// GraphicTextItem). Not registered: a template cannot name it.
//
// The text (Value) is laid out in the unrotated box in device pixels with a
// TextPage (render/TextLayout.h): wrapped to the box width, aligned by HAlign
// and VAlign. Every line is then written turned by the item's angle
// about the box centre (clockwise on the page), on an opaque cell in the
// brush's colour, and clipped to the rotated box and the label's clip.
// Negative text is white on black cells.
//
// Threads: as every item, its label's thread.
#ifndef LABELPLU_LABEL_TEXTITEMBASE_H
#define LABELPLU_LABEL_TEXTITEMBASE_H

#include "label/LabelItem.h"
#include "render/TextLayout.h"

namespace labelplu {

class TextItemBase : public LabelItem {
 public:
  // Caption "Шаблон текстового примитива", haLeft, vaTop, not negative, font
  // "Arial" in black, no outline pen.
  explicit TextItemBase(Label& owner);

  HorizontalAlignment HAlign() const { return m_hAlign; }
  VerticalAlignment VAlign() const { return m_vAlign; }
  bool Negative() const { return m_negative; }
  // Each does nothing when equal; otherwise stores the value and
  // MarkChanged(true).
  void SetHAlign(HorizontalAlignment align);
  void SetVAlign(VerticalAlignment align);
  // Also: font colour white and brush black when set, black and white when
  // cleared.
  void SetNegative(bool negative);

  // The base's Prepare; when it recomputed, ClipOutline becomes the box
  // corners mapped to the device as Outline is.
  void Prepare() override;
  void Draw() override;

  // The font the text is written with at the view's scale: the face,
  // charset and style of Font; em height Font.Size points at round(
  // PixelsPerMmY × 25.4) dots per inch; escapement −10 × Angle (clockwise);
  // antialiased.
  gdi::LOGFONT DeviceFont() const;

 private:
  HorizontalAlignment m_hAlign = haLeft;
  VerticalAlignment m_vAlign = vaTop;
  bool m_negative = false;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TEXTITEMBASE_H
