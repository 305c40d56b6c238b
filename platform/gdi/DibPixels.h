// labelplu: reading single pixels of a device-independent bitmap (inside
// the canvas library; callers validate the bitmap first).
#ifndef LABELPLU_PLATFORM_GDI_DIBPIXELS_H
#define LABELPLU_PLATFORM_GDI_DIBPIXELS_H

#include <QColor>

#include <cstdint>

#include "platform/gdi/Dib.h"

namespace labelplu::gdi {

// A validated bitmap, ready for pixel reads.
class DibPixels {
 public:
  explicit DibPixels(const DibRef& dib);  // ValidateDib, then keeps the reference

  int32_t Width() const { return m_width; }
  int32_t Height() const { return m_height; }
  // The opaque colour of the pixel in column x, line y from the top;
  // 0 <= x < Width(), 0 <= y < Height().
  QRgb Pixel(int32_t x, int32_t y) const;

 private:
  const DibRef& m_dib;
  int32_t m_width;
  int32_t m_height;
  uint32_t m_stride;
  bool m_bottomUp;
};

}  // namespace labelplu::gdi

#endif  // LABELPLU_PLATFORM_GDI_DIBPIXELS_H
