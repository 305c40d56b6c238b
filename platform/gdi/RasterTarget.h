// labelplu: raster targets for the canvas (images in memory at a chosen
// resolution), and the GUI-application check that fonts need.
#ifndef LABELPLU_PLATFORM_GDI_RASTERTARGET_H
#define LABELPLU_PLATFORM_GDI_RASTERTARGET_H

#include <QImage>

#include <cstdint>

namespace labelplu::gdi {

// The largest side and area of a raster target: 65535 pixels, 2^28 pixels
// (1 GiB at 32 bits per pixel).
inline constexpr int32_t kMaxRasterSide = 65535;
inline constexpr int64_t kMaxRasterPixels = int64_t{1} << 28;

// Dots per metre for a resolution in dots per inch, rounded to nearest
// (203 dpi gives 7992, which reads back as 203 through LOGPIXELSX).
int32_t DotsPerMetre(int32_t dpi);

// An image of widthPx × heightPx pixels filled white, with its dots per
// metre set to dpiX, dpiY, ready for a Canvas. Formats the canvas paints
// on: QImage::Format_RGB32 (the default), Format_ARGB32_Premultiplied,
// Format_RGB888, Format_BGR888 (the byte layout of a 24-bit bitmap's rows,
// top-down), Format_Grayscale8. Throws GdiError for a side outside
// 1..kMaxRasterSide, an area above kMaxRasterPixels, a dpi outside 1..100000
// or another format (Format_Mono cannot be painted on: convert afterwards
// with QImage::convertToFormat).
QImage CreateRasterImage(int32_t widthPx, int32_t heightPx, int32_t dpiX, int32_t dpiY,
                         QImage::Format format = QImage::Format_RGB32);
inline QImage CreateRasterImage(int32_t widthPx, int32_t heightPx, int32_t dpi,
                                QImage::Format format = QImage::Format_RGB32) {
  return CreateRasterImage(widthPx, heightPx, dpi, dpi, format);
}

// True when a QGuiApplication (or QApplication) exists in this process:
// fonts, text output and measurement need one (Qt aborts the process
// otherwise, so the canvas checks first and throws GdiError). The canvas
// never creates the application object itself: whoever owns the process's
// Qt set-up does (the plug-in on first need, a test's main).
bool HasGuiApplication();

}  // namespace labelplu::gdi

#endif  // LABELPLU_PLATFORM_GDI_RASTERTARGET_H
