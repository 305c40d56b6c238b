// labelplu: the canvas's bitmap transfers.
#include <QImage>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/gdi/CanvasInternal.h"
#include "platform/gdi/DibPixels.h"
#include "platform/gdi/RasterTarget.h"

namespace labelplu::gdi {
namespace {

// The source column or row under the centre of destination step d of n
// (n > 0) over a source span of s pixels: nearest pixel, eliminated lines
// dropped, as COLORONCOLOR does.
int64_t SourceStep(int64_t d, int64_t n, int64_t s) {
  return ((2 * d + 1) * s) / (2 * n);
}

// The picture as a one-bit image with the colour table {black, white}
// (black first), when every pixel is pure black or pure white; null
// otherwise. One pass, no call per pixel.
QImage OneBitImage(const QImage& image) {
  if (image.format() == QImage::Format_Mono &&
      image.colorTable() == QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}) {
    return image;
  }
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  QImage mono(rgb.width(), rgb.height(), QImage::Format_Mono);
  if (mono.isNull()) return QImage();
  mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  const int width = rgb.width();
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* bits = mono.scanLine(y);
    std::memset(bits, 0, static_cast<size_t>(mono.bytesPerLine()));
    for (int x = 0; x < width; ++x) {
      const QRgb c = line[x] & 0xFFFFFF;
      if (c == 0xFFFFFF) {
        bits[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
      } else if (c != 0) {
        return QImage();
      }
    }
  }
  return mono;
}

// The same from the rows of a 24-bit bitmap, for the part [x0, x1) ×
// [y0, y1) (lines from the top): no full-colour copy on the way.
QImage OneBitImage(const DibRef& dib, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  if (dib.header.biBitCount != 24) return QImage();
  const bool bottomUp = dib.header.biHeight > 0;
  const int64_t height = bottomUp ? dib.header.biHeight : -int64_t{dib.header.biHeight};
  const uint32_t stride = DibStride(dib.header.biWidth, 24);
  QImage mono(static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), QImage::Format_Mono);
  if (mono.isNull()) return QImage();
  mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  const auto rowBytes = static_cast<size_t>(3 * (x1 - x0));
  const auto monoBytes = static_cast<size_t>(mono.bytesPerLine());
  const uint8_t* previous = nullptr;
  for (int64_t row = y0; row < y1; ++row) {
    const uint8_t* in =
        dib.bits.data() + static_cast<size_t>(bottomUp ? height - 1 - row : row) * stride + 3 * x0;
    uchar* bits = mono.scanLine(static_cast<int>(row - y0));
    // Bars repeat the same line: a line equal to the one above is copied.
    if (previous != nullptr && std::memcmp(in, previous, rowBytes) == 0) {
      std::memcpy(bits, mono.constScanLine(static_cast<int>(row - y0 - 1)), monoBytes);
      continue;
    }
    previous = in;
    std::memset(bits, 0, monoBytes);
    for (int64_t x = 0; x < x1 - x0; ++x, in += 3) {
      if ((in[0] & in[1] & in[2]) == 255) {
        bits[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
      } else if ((in[0] | in[1] | in[2]) != 0) {
        return QImage();
      }
    }
  }
  if (dib.header.biXPelsPerMeter > 0) mono.setDotsPerMeterX(dib.header.biXPelsPerMeter);
  if (dib.header.biYPelsPerMeter > 0) mono.setDotsPerMeterY(dib.header.biYPelsPerMeter);
  return mono;
}

}  // namespace

// Where a transfer goes and which source pixels it reads. Destination
// extents may be negative (mirroring); source extents are positive.
struct Canvas::Transfer {
  int64_t xDest, yDest, destWidth, destHeight;
  int64_t xSrc, ySrc, srcWidth, srcHeight;
  int32_t sourceWidth, sourceHeight;  // the whole source picture
};

// Nearest-pixel transfer, computed only for the visible destination pixels,
// so that the work is bounded by the device however large the rectangles.
template <typename Sample>
void Canvas::PaintNearest(const Transfer& t, Sample sample) {
  RECT box;
  if (GetClipBox(box) == NULLREGION) return;
  const int64_t dw = t.destWidth < 0 ? -t.destWidth : t.destWidth;
  const int64_t dh = t.destHeight < 0 ? -t.destHeight : t.destHeight;
  const int64_t left = t.destWidth < 0 ? t.xDest + t.destWidth + 1 : t.xDest;
  const int64_t top = t.destHeight < 0 ? t.yDest + t.destHeight + 1 : t.yDest;
  const int64_t vl = std::max<int64_t>(left, box.left);
  const int64_t vt = std::max<int64_t>(top, box.top);
  const int64_t vr = std::min<int64_t>(left + dw, box.right);
  const int64_t vb = std::min<int64_t>(top + dh, box.bottom);
  if (vr <= vl || vb <= vt) return;
  QImage patch(static_cast<int>(vr - vl), static_cast<int>(vb - vt),
               QImage::Format_ARGB32_Premultiplied);
  if (patch.isNull()) throw GdiError("out of memory transferring a bitmap");
  std::vector<int64_t> columns(static_cast<size_t>(vr - vl));
  for (int64_t x = vl; x < vr; ++x) {
    int64_t d = x - left;
    if (t.destWidth < 0) d = dw - 1 - d;
    columns[static_cast<size_t>(x - vl)] = t.xSrc + SourceStep(d, dw, t.srcWidth);
  }
  for (int64_t y = vt; y < vb; ++y) {
    int64_t d = y - top;
    if (t.destHeight < 0) d = dh - 1 - d;
    const int64_t sy = t.ySrc + SourceStep(d, dh, t.srcHeight);
    auto* out = reinterpret_cast<QRgb*>(patch.scanLine(static_cast<int>(y - vt)));
    const bool rowInside = sy >= 0 && sy < t.sourceHeight;
    for (size_t i = 0; i < columns.size(); ++i) {
      const int64_t sx = columns[i];
      // Pixels that fall outside the source stay as they are.
      out[i] = rowInside && sx >= 0 && sx < t.sourceWidth
                   ? sample(static_cast<int32_t>(sx), static_cast<int32_t>(sy))
                   : 0;
    }
  }
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  m_painter->drawImage(QPoint(static_cast<int>(vl), static_cast<int>(vt)), patch);
}

// Scaling by the device (a printer, or HALFTONE): the used part of the
// source goes to the matching part of the destination rectangle.
void Canvas::PaintByDevice(const Transfer& t, const QImage& used, int64_t usedX, int64_t usedY) {
  if (used.isNull()) return;
  const double kx = static_cast<double>(t.destWidth) / t.srcWidth;
  const double ky = static_cast<double>(t.destHeight) / t.srcHeight;
  const double x0 = t.xDest + (usedX - t.xSrc) * kx;
  const double y0 = t.yDest + (usedY - t.ySrc) * ky;
  const QRectF target =
      QRectF(QPointF(x0, y0), QPointF(x0 + used.width() * kx, y0 + used.height() * ky))
          .normalized();
  QImage oriented = kx < 0 || ky < 0 ? used.mirrored(kx < 0, ky < 0) : used;
  m_painter->save();
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  m_painter->setRenderHint(QPainter::SmoothPixmapTransform, m_stretchMode == HALFTONE);
  if (!IsRaster(*m_device)) {
    // A source copy must keep its pixels: a printer's PDF would otherwise
    // hold them as lossy JPEG. Black-and-white pictures (barcodes) go as
    // one-bit images, whose colour table must be black then white.
    if (QImage mono = OneBitImage(oriented); !mono.isNull()) {
      oriented = std::move(mono);
    } else {
      m_painter->setRenderHint(QPainter::LosslessImageRendering, true);
    }
  }
  m_painter->drawImage(target, oriented);
  m_painter->restore();
}

int32_t Canvas::StretchDIBits(int32_t xDest, int32_t yDest, int32_t destWidth, int32_t destHeight,
                              int32_t xSrc, int32_t ySrc, int32_t srcWidth, int32_t srcHeight,
                              const DibRef& dib) {
  RequireActive();
  const DibPixels pixels(dib);
  if (destWidth == 0 || destHeight == 0 || srcWidth <= 0 || srcHeight <= 0) return 0;
  const int64_t usedTop = std::max<int64_t>(ySrc, 0);
  const int64_t usedBottom =
      std::min<int64_t>(static_cast<int64_t>(ySrc) + srcHeight, pixels.Height());
  const int64_t usedLeft = std::max<int64_t>(xSrc, 0);
  const int64_t usedRight =
      std::min<int64_t>(static_cast<int64_t>(xSrc) + srcWidth, pixels.Width());
  if (usedBottom <= usedTop || usedRight <= usedLeft) return 0;
  const Transfer t{xDest, yDest,    destWidth, destHeight,     xSrc,
                   ySrc,  srcWidth, srcHeight, pixels.Width(), pixels.Height()};
  if (IsRaster(*m_device) && m_stretchMode != HALFTONE) {
    PaintNearest(t, [&](int32_t x, int32_t y) { return pixels.Pixel(x, y); });
  } else {
    // Only the source pixels that can land inside the clip travel: a
    // rotated picture's square holds much white that the clip cuts away,
    // and a printer's document would otherwise carry it all.
    int64_t partLeft = usedLeft, partTop = usedTop, partRight = usedRight, partBottom = usedBottom;
    RECT box;
    if (destWidth > 0 && destHeight > 0 && GetClipBox(box) != NULLREGION) {
      auto floorDiv = [](int64_t a, int64_t b) {
        return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
      };
      const int64_t sx0 = xSrc + floorDiv((int64_t{box.left} - xDest) * srcWidth, destWidth);
      const int64_t sx1 = xSrc - floorDiv(-(int64_t{box.right} - xDest) * srcWidth, destWidth);
      const int64_t sy0 = ySrc + floorDiv((int64_t{box.top} - yDest) * srcHeight, destHeight);
      const int64_t sy1 = ySrc - floorDiv(-(int64_t{box.bottom} - yDest) * srcHeight, destHeight);
      partLeft = std::max(partLeft, sx0);
      partRight = std::min(partRight, sx1);
      partTop = std::max(partTop, sy0);
      partBottom = std::min(partBottom, sy1);
      if (partRight <= partLeft || partBottom <= partTop) {
        return static_cast<int32_t>(usedBottom - usedTop);
      }
    }
    if ((partRight - partLeft) * (partBottom - partTop) > kMaxRasterPixels) {
      throw GdiError("bitmap part of " + std::to_string(partRight - partLeft) + " x " +
                     std::to_string(partBottom - partTop) + " pixels is too large to transfer");
    }
    // A black-and-white picture (a barcode) goes straight to one bit.
    QImage used = OneBitImage(dib, partLeft, partTop, partRight, partBottom);
    if (used.isNull()) {
      used = DibToImage(dib, static_cast<int32_t>(partLeft), static_cast<int32_t>(partTop),
                        static_cast<int32_t>(partRight - partLeft),
                        static_cast<int32_t>(partBottom - partTop));
    }
    PaintByDevice(t, used, partLeft, partTop);
  }
  return static_cast<int32_t>(usedBottom - usedTop);
}

int32_t Canvas::SetDIBitsToDevice(int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                                  int32_t xSrc, int32_t ySrc, const DibRef& dib) {
  if (width <= 0 || height <= 0) {
    RequireActive();
    ValidateDib(dib);
    return 0;
  }
  const int32_t saved = m_stretchMode;
  m_stretchMode = COLORONCOLOR;  // 1:1, whatever the stretch mode
  try {
    const int32_t rows = StretchDIBits(xDest, yDest, width, height, xSrc, ySrc, width, height, dib);
    m_stretchMode = saved;
    return rows;
  } catch (...) {
    m_stretchMode = saved;
    throw;
  }
}

void Canvas::DrawImage(int32_t x, int32_t y, const QImage& image) {
  StretchDrawImage(x, y, image.width(), image.height(), image);
}

void Canvas::StretchDrawImage(int32_t x, int32_t y, int32_t width, int32_t height,
                              const QImage& image) {
  RequireActive();
  if (image.isNull() || width == 0 || height == 0) return;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  if (rgb.isNull()) throw GdiError("out of memory converting an image");
  const Transfer t{x, y, width, height, 0, 0, rgb.width(), rgb.height(), rgb.width(), rgb.height()};
  if (IsRaster(*m_device) && m_stretchMode != HALFTONE) {
    PaintNearest(t, [&](int32_t sx, int32_t sy) {
      return reinterpret_cast<const QRgb*>(rgb.constScanLine(sy))[sx];
    });
  } else {
    PaintByDevice(t, rgb, 0, 0);
  }
}

}  // namespace labelplu::gdi
