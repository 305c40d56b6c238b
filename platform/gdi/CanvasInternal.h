// labelplu: pieces shared by the canvas's source files (not for callers).
#ifndef LABELPLU_PLATFORM_GDI_CANVASINTERNAL_H
#define LABELPLU_PLATFORM_GDI_CANVASINTERNAL_H

#include <QColor>
#include <QFont>
#include <QPaintDevice>

#include "platform/gdi/Canvas.h"

namespace labelplu::gdi {

// The selected font as Qt paints it, with the metrics the canvas reports.
struct Canvas::FontState {
  QFont font;
  int32_t em = 0;  // character height, pixels
  TEXTMETRIC metrics;
};

// Builds the Qt font for a description on a device of dpiY dots per inch.
// Throws GdiError without a GUI application or for a weight outside 0..1000.
Canvas::FontState BuildFontState(const LOGFONT& font, int32_t dpiY);

// Whether the device is an image (pixels the canvas can read back).
inline bool IsRaster(const QPaintDevice& device) {
  return device.devType() == QInternal::Image;
}

inline QColor ToQColor(COLORREF c) {
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline COLORREF FromQRgb(QRgb c) {
  return RGB(static_cast<uint8_t>(qRed(c)), static_cast<uint8_t>(qGreen(c)),
             static_cast<uint8_t>(qBlue(c)));
}

}  // namespace labelplu::gdi

#endif  // LABELPLU_PLATFORM_GDI_CANVASINTERNAL_H
