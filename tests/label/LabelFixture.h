// A label on a raster canvas at a chosen resolution, for the label tests.
#ifndef LABELPLU_TESTS_LABEL_LABELFIXTURE_H
#define LABELPLU_TESTS_LABEL_LABELFIXTURE_H

#include <QImage>

#include <memory>

#include "label/Label.h"
#include "label/LabelView.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/RasterTarget.h"

namespace labelplu::test {

// A view that counts the hooks the label and its items call.
class CountingView : public CanvasView {
 public:
  using CanvasView::CanvasView;
  void UpdateLayout() override { ++layouts; }
  void ItemChanged(LabelItem&) override { ++itemChanges; }
  int layouts = 0;
  int itemChanges = 0;
};

// An image of widthPx × heightPx at dpi, filled grey, a canvas on it and a
// view that a label can use.
struct RasterLabel {
  RasterLabel(int widthPx, int heightPx, int dpi)
      : image(gdi::CreateRasterImage(widthPx, heightPx, dpi)),
        canvas(std::make_unique<gdi::Canvas>(image)),
        view(canvas.get(), dpi, dpi) {
    image.fill(kGrey);
    label.SetView(&view);
    label.OnChanged = [this](Label&) { ++repaints; };
  }
  ~RasterLabel() { label.SetView(nullptr); }

  // The pixel's RGB after ending the painting.
  QRgb Pixel(int x, int y) {
    canvas->End();
    return image.pixel(x, y) & 0xFFFFFF;
  }

  static constexpr QRgb kGrey = 0x808080;
  static constexpr QRgb kBlack = 0x000000;
  static constexpr QRgb kWhite = 0xFFFFFF;

  QImage image;
  std::unique_ptr<gdi::Canvas> canvas;
  CountingView view;
  Label label;
  int repaints = 0;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_LABEL_LABELFIXTURE_H
