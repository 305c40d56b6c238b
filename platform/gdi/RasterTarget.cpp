// labelplu: raster targets in memory.
#include "platform/gdi/RasterTarget.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cmath>
#include <string>

#include "platform/gdi/GdiTypes.h"

namespace labelplu::gdi {

int32_t DotsPerMetre(int32_t dpi) {
  return static_cast<int32_t>(std::lround(dpi / 0.0254));
}

QImage CreateRasterImage(int32_t widthPx, int32_t heightPx, int32_t dpiX, int32_t dpiY,
                         QImage::Format format) {
  if (widthPx < 1 || widthPx > kMaxRasterSide || heightPx < 1 || heightPx > kMaxRasterSide) {
    throw GdiError("raster size " + std::to_string(widthPx) + " x " + std::to_string(heightPx) +
                   " pixels is outside 1.." + std::to_string(kMaxRasterSide));
  }
  if (static_cast<int64_t>(widthPx) * heightPx > kMaxRasterPixels) {
    throw GdiError("raster size " + std::to_string(widthPx) + " x " + std::to_string(heightPx) +
                   " pixels is larger than " + std::to_string(kMaxRasterPixels) + " pixels");
  }
  if (dpiX < 1 || dpiX > 100000 || dpiY < 1 || dpiY > 100000) {
    throw GdiError("raster resolution " + std::to_string(dpiX) + " x " + std::to_string(dpiY) +
                   " dpi is outside 1..100000");
  }
  switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_Grayscale8:
      break;
    default:
      throw GdiError("raster format " + std::to_string(static_cast<int>(format)) +
                     " cannot be painted on");
  }
  QImage image(widthPx, heightPx, format);
  if (image.isNull()) {
    throw GdiError("out of memory for a raster of " + std::to_string(widthPx) + " x " +
                   std::to_string(heightPx) + " pixels");
  }
  image.fill(Qt::white);
  image.setDotsPerMeterX(DotsPerMetre(dpiX));
  image.setDotsPerMeterY(DotsPerMetre(dpiY));
  return image;
}

bool HasGuiApplication() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace labelplu::gdi
