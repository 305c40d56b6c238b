// Helpers of the canvas tests: the GUI application that fonts need, raster
// targets, and pixel maps that show a failure at a glance.
#ifndef LABELPLU_TESTS_PLATFORM_GDI_GDITESTSUPPORT_H
#define LABELPLU_TESTS_PLATFORM_GDI_GDITESTSUPPORT_H

#include <QGuiApplication>
#include <QImage>
#include <QRect>

#include <string>

#include "platform/gdi/Canvas.h"
#include "platform/gdi/RasterTarget.h"

namespace gditest {

// The process's QGuiApplication, made on first use and kept to the end
// (still reachable, so no leak is reported).
inline void EnsureGuiApp() {
  static int argc = 1;
  static char name[] = "gdi_test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = nullptr;
  if (!QCoreApplication::instance()) app = new QGuiApplication(argc, argv);
  (void)app;
}

// The rows of a rectangle of the image, one string per row: '#' black,
// '.' white, 'o' any other colour.
inline std::string PixelMap(const QImage& image, const QRect& area) {
  std::string out;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb c = image.pixel(x, y) & 0xFFFFFF;
      out += c == 0 ? '#' : c == 0xFFFFFF ? '.' : 'o';
    }
    out += '\n';
  }
  return out;
}

// The bounding box of the pixels that differ from background (a null rect
// when none does).
inline QRect PaintedBox(const QImage& image, QRgb background) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

}  // namespace gditest

#endif  // LABELPLU_TESTS_PLATFORM_GDI_GDITESTSUPPORT_H
