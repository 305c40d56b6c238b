// labelplu: the graphic text primitive (template class "TextGraphic"): text
// in any font, aligned horizontally and vertically in its box.
//
// Threads: as every primitive, its label's thread.
#ifndef LABELPLU_LABEL_TPRTEXTGRAPHIC_H
#define LABELPLU_LABEL_TPRTEXTGRAPHIC_H

#include "T_TextTemplate.h"

namespace labelplu {

class TPrTextGraphic : public T_TextTemplate {
 public:
  // Caption and Value "Текст графический", font of 7 points, box 25 × 5 mm.
  explicit TPrTextGraphic(TLb& owner);

  std::string_view ClassName() const override { return "TPrTextGraphic"; }
  // DS, Value, Left, Top, Width, Height, RotationFixed, Font, VAlign,
  // HAlign, Negative.
  std::span<const TPropInfo> Properties() const override;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TPRTEXTGRAPHIC_H
