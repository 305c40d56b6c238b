// Helpers of the item tests: the GUI application that text needs, a
// label painted on a raster image, and ink measurements on that image.
#ifndef LABELPLU_TESTS_LABEL_ITEMTESTSUPPORT_H
#define LABELPLU_TESTS_LABEL_ITEMTESTSUPPORT_H

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <memory>
#include <string_view>

#include "label/ItemClasses.h"
#include "label/Label.h"
#include "label/LabelItem.h"
#include "label/LabelView.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/RasterTarget.h"

namespace labelplu::test {

// The process's QGuiApplication, made on first use and kept to the end.
inline void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "label_test";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QGuiApplication(argc, argv);
}

// A label of its template's size on a white raster at dpi (label origin at
// the image's top-left corner).
struct PaintedLabel {
  explicit PaintedLabel(int dpi, double widthMm = 58, double heightMm = 40)
      : pageDpi(dpi), view(nullptr, dpi, dpi) {
    EnsureGuiApplication();
    label.SetWidth(widthMm);
    label.SetHeight(heightMm);
    image = gdi::CreateRasterImage(static_cast<int32_t>(std::lround(widthMm * dpi / 25.4)),
                                   static_cast<int32_t>(std::lround(heightMm * dpi / 25.4)), dpi);
    canvas = std::make_unique<gdi::Canvas>(image);
    view.SetCanvas(canvas.get());
    label.SetView(&view);
  }
  ~PaintedLabel() { label.SetView(nullptr); }
  PaintedLabel(const PaintedLabel&) = delete;
  PaintedLabel& operator=(const PaintedLabel&) = delete;

  // An item of the registered class (template class name, "Line").
  LabelItem& Add(std::string_view templateClass) {
    const auto cls = FindItemClass(templateClass);
    if (!cls) throw std::runtime_error("class not registered: " + std::string(templateClass));
    return label.AddItem(*cls);
  }
  // Paints the label and ends painting; the image is then final.
  const QImage& Render() {
    label.Invalidate(true);
    canvas->End();
    return image;
  }
  // A fresh white raster for the next Render (the label and its items stay).
  void NewPage() {
    view.SetCanvas(nullptr);
    canvas->End();
    canvas.reset();
    image = gdi::CreateRasterImage(image.width(), image.height(), pageDpi);
    canvas = std::make_unique<gdi::Canvas>(image);
    view.SetCanvas(canvas.get());
  }
  // Pixels per millimetre of the view.
  double Ppm() const { return view.PixelsPerMmX(); }

  int pageDpi;
  QImage image;
  std::unique_ptr<gdi::Canvas> canvas;
  CanvasView view;
  Label label;
};

// True when the pixel is darker than mid grey.
inline bool IsInk(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}

// The smallest rectangle around every dark pixel (right, bottom exclusive);
// all zero when there is none.
inline QRect InkBox(const QImage& image, const QRect& within) {
  QRect box;
  for (int y = within.top(); y <= within.bottom(); ++y)
    for (int x = within.left(); x <= within.right(); ++x)
      if (IsInk(image, x, y)) box |= QRect(x, y, 1, 1);
  return box;
}

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_LABEL_ITEMTESTSUPPORT_H
