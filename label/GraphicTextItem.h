// labelplu: the graphic text item (template class "TextGraphic"): text
// in any font, aligned horizontally and vertically in its box.
//
// Threads: as every item, its label's thread.
#ifndef LABELPLU_LABEL_GRAPHICTEXTITEM_H
#define LABELPLU_LABEL_GRAPHICTEXTITEM_H

#include "label/TextItemBase.h"

namespace labelplu {

class GraphicTextItem : public TextItemBase {
 public:
  // Caption and Value "Текст графический", font of 7 points, box 25 × 5 mm.
  explicit GraphicTextItem(Label& owner);

  std::string_view ClassName() const override { return "TextGraphic"; }
  // DataSource, Value, Left, Top, Width, Height, RotationFixed, Font, VAlign,
  // HAlign, Negative.
  std::span<const PropertyInfo> Properties() const override;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_GRAPHICTEXTITEM_H
