// labelplu: the picture primitive (template class "Image").
//
// Shows the bitmap that Value (published as ValueFileName) names: an image
// embedded in the label, else a bitmap file (relative names from the
// plug-in's folder). Loading, fitting, stretching and rotation are
// T_ImageTemplate's.
//
// Threads: as every primitive, its label's thread.
#ifndef LABELPLU_LABEL_TPRIMAGE_H
#define LABELPLU_LABEL_TPRIMAGE_H

#include "T_ImageTemplate.h"

namespace labelplu {

class TPrImage : public T_ImageTemplate {
 public:
  // Caption "Картинка", empty Value, the base's 10 × 10 mm box, Smooth on.
  explicit TPrImage(TLb& owner);

  std::string_view ClassName() const override { return "TPrImage"; }
  // DS, ValueFileName, Left, Top, Width, Height, RotationFixed, AutoSize,
  // Stretch.
  std::span<const TPropInfo> Properties() const override;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TPRIMAGE_H
