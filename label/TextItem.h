// labelplu: the simple text item (template class "TextSimple"): text
// in one of five fixed font sizes, left and top aligned.
//
// Threads: as every item, its label's thread.
#ifndef LABELPLU_LABEL_TEXTITEM_H
#define LABELPLU_LABEL_TEXTITEM_H

#include "label/TextItemBase.h"

namespace labelplu {

class TextItem : public TextItemBase {
 public:
  // Caption and Value "Текст простой", FontSize 3 (8 points), MaxSymbols
  // 100, box 20 × 5 mm.
  explicit TextItem(Label& owner);

  std::string_view ClassName() const override { return "TextSimple"; }
  // DataSource, Value, Left, Top, Width, Height, RotationFixed, FontSize, Negative,
  // MaxSymbols.
  std::span<const PropertyInfo> Properties() const override;

  int32_t FontSize() const { return m_fontSize; }
  // Nothing when equal; otherwise stores it, sets the font to 4, 5, 8, 10
  // or 14 points for 1 to 5 (other values leave the font as it is) and
  // MarkChanged(true).
  void SetFontSize(int32_t fontSize);
  // Kept with the template; drawing does not use it.
  int32_t MaxSymbols() const { return m_maxSymbols; }
  void SetMaxSymbols(int32_t maxSymbols);

 private:
  int32_t m_fontSize = 3;
  int32_t m_maxSymbols = 100;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TEXTITEM_H
