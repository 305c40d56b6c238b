// labelplu: the canvas as the text layout's measuring context.
//
// Threads: as the canvas it wraps (one thread at a time).
#ifndef LABELPLU_RENDER_CANVASTEXTMEASURE_H
#define LABELPLU_RENDER_CANVASTEXTMEASURE_H

#include "platform/gdi/Canvas.h"
#include "render/TextLayout.h"

namespace labelplu {

// Measures with the font currently selected into a canvas, as the text
// items do after selecting the font they will write with: the extent is
// the canvas's GetTextExtentPoint32 (sum of the advances, rounded; the cell
// height). The canvas is not owned and must outlive the adapter; measuring
// throws gdi::GdiError when the canvas cannot measure (no GUI application
// in the process, painting ended).
class CanvasTextMeasure : public ITextMeasure {
 public:
  explicit CanvasTextMeasure(const gdi::Canvas& canvas) : m_canvas(&canvas) {}

  TextSize TextExtent(std::string_view utf8) const override;

 private:
  const gdi::Canvas* m_canvas;
};

}  // namespace labelplu

#endif  // LABELPLU_RENDER_CANVASTEXTMEASURE_H
