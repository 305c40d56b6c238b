// labelplu: the canvas as the text layout's measuring context.
#include "render/CanvasTextMeasure.h"

namespace labelplu {

TextSize CanvasTextMeasure::TextExtent(std::string_view utf8) const {
  const gdi::SIZE size = m_canvas->GetTextExtentPoint32(utf8);
  return {size.cx, size.cy};
}

}  // namespace labelplu
