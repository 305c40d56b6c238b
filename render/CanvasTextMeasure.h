// labelplu: the canvas as the text layout's measuring context.
//
// Threads: as the canvas it wraps (one thread at a time).
#ifndef LABELPLU_RENDER_CANVASTEXTMEASURE_H
#define LABELPLU_RENDER_CANVASTEXTMEASURE_H

#include "Canvas.h"
#include "TextLayout.h"

namespace labelplu {

// Measures with the font currently selected into a canvas, as the text
// primitives do after selecting the font they will write with: the extent is
// the canvas's GetTextExtentPoint32 (sum of the advances, rounded; the cell
// height). The canvas is not owned and must outlive the adapter; measuring
// throws gdi::TGdiError when the canvas cannot measure (no GUI application
// in the process, painting ended).
class TCanvasTextMeasure : public ITextMeasure {
public:
  explicit TCanvasTextMeasure(const gdi::TCanvas& canvas) : m_canvas(&canvas) {}

  TTextExtent TextExtent(std::string_view utf8) const override;

private:
  const gdi::TCanvas* m_canvas;
};

}  // namespace labelplu

#endif  // LABELPLU_RENDER_CANVASTEXTMEASURE_H
