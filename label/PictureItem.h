// labelplu: the picture item (template class "Image").
//
// Shows the bitmap that Value (published as ValueFileName) names: an image
// embedded in the label, else a bitmap file (relative names from the
// plug-in's folder). Loading, fitting, stretching and rotation are
// ImageItemBase's.
//
// Threads: as every item, its label's thread.
#ifndef LABELPLU_LABEL_PICTUREITEM_H
#define LABELPLU_LABEL_PICTUREITEM_H

#include "label/ImageItemBase.h"

namespace labelplu {

class PictureItem : public ImageItemBase {
 public:
  // Caption "Картинка", empty Value, the base's 10 × 10 mm box, Smooth on.
  explicit PictureItem(Label& owner);

  std::string_view ClassName() const override { return "Image"; }
  // DataSource, ValueFileName, Left, Top, Width, Height, RotationFixed, AutoSize,
  // Stretch.
  std::span<const PropertyInfo> Properties() const override;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_PICTUREITEM_H
