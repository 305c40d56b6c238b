// labelplu: the canvas's bitmap transfers.
#include <QImage>

#include <algorithm>
#include <optional>
#include <string>

#include "CanvasInternal.h"
#include "DibPixels.h"
#include "RasterTarget.h"

namespace labelplu::gdi {
namespace {

bool IsRaster(const QPaintDevice& device) {
  return device.devType() == QInternal::Image;
}

// The source column or row under the centre of destination step d of n
// (n > 0) over a source span of s pixels: nearest pixel, eliminated lines
// dropped, as COLORONCOLOR does.
int64_t SourceStep(int64_t d, int64_t n, int64_t s) {
  return ((2 * d + 1) * s) / (2 * n);
}

bool IsBlackAndWhite(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = line[x] & 0xFFFFFF;
      if (c != 0 && c != 0xFFFFFF) return false;
    }
  }
  return true;
}

}  // namespace

// Where a transfer goes and which source pixels it reads. Destination
// extents may be negative (mirroring); source extents are positive.
struct TCanvas::TTransfer {
  int64_t xDest, yDest, destWidth, destHeight;
  int64_t xSrc, ySrc, srcWidth, srcHeight;
  int32_t sourceWidth, sourceHeight;  // the whole source picture
};

// Nearest-pixel transfer, computed only for the visible destination pixels,
// so that the work is bounded by the device however large the rectangles.
template <typename Sample>
void TCanvas::PaintNearest(const TTransfer& t, Sample sample) {
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
  if (patch.isNull()) throw TGdiError("out of memory transferring a bitmap");
  std::vector<int64_t> columns(static_cast<size_t>(vr - vl));
  for (int64_t X = vl; X < vr; ++X) {
    int64_t d = X - left;
    if (t.destWidth < 0) d = dw - 1 - d;
    columns[static_cast<size_t>(X - vl)] = t.xSrc + SourceStep(d, dw, t.srcWidth);
  }
  for (int64_t Y = vt; Y < vb; ++Y) {
    int64_t d = Y - top;
    if (t.destHeight < 0) d = dh - 1 - d;
    const int64_t sy = t.ySrc + SourceStep(d, dh, t.srcHeight);
    auto* out = reinterpret_cast<QRgb*>(patch.scanLine(static_cast<int>(Y - vt)));
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
void TCanvas::PaintByDevice(const TTransfer& t, const QImage& used, int64_t usedX, int64_t usedY) {
  if (used.isNull()) return;
  const double kx = static_cast<double>(t.destWidth) / t.srcWidth;
  const double ky = static_cast<double>(t.destHeight) / t.srcHeight;
  const double x0 = t.xDest + (usedX - t.xSrc) * kx;
  const double y0 = t.yDest + (usedY - t.ySrc) * ky;
  const QRectF target =
      QRectF(QPointF(x0, y0), QPointF(x0 + used.width() * kx, y0 + used.height() * ky))
          .normalized();
  QImage oriented = used.mirrored(kx < 0, ky < 0);
  m_painter->save();
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  m_painter->setRenderHint(QPainter::SmoothPixmapTransform, m_stretchMode == HALFTONE);
  if (!IsRaster(*m_device)) {
    // A source copy must keep its pixels: a printer's PDF would otherwise
    // hold them as lossy JPEG. Black-and-white pictures (barcodes) go as
    // one-bit images, whose colour table must be black then white.
    if (IsBlackAndWhite(oriented)) {
      oriented = oriented.convertToFormat(QImage::Format_Mono,
                                          QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)},
                                          Qt::ThresholdDither);
    } else {
      m_painter->setRenderHint(QPainter::LosslessImageRendering, true);
    }
  }
  m_painter->drawImage(target, oriented);
  m_painter->restore();
}

int32_t TCanvas::StretchDIBits(int32_t xDest, int32_t yDest, int32_t destWidth, int32_t destHeight,
                               int32_t xSrc, int32_t ySrc, int32_t srcWidth, int32_t srcHeight,
                               const TDibRef& dib) {
  RequireActive();
  const TDibPixels pixels(dib);
  if (destWidth == 0 || destHeight == 0 || srcWidth <= 0 || srcHeight <= 0) return 0;
  const int64_t usedTop = std::max<int64_t>(ySrc, 0);
  const int64_t usedBottom =
      std::min<int64_t>(static_cast<int64_t>(ySrc) + srcHeight, pixels.Height());
  const int64_t usedLeft = std::max<int64_t>(xSrc, 0);
  const int64_t usedRight =
      std::min<int64_t>(static_cast<int64_t>(xSrc) + srcWidth, pixels.Width());
  if (usedBottom <= usedTop || usedRight <= usedLeft) return 0;
  const TTransfer t{xDest, yDest,    destWidth, destHeight,     xSrc,
                    ySrc,  srcWidth, srcHeight, pixels.Width(), pixels.Height()};
  if (IsRaster(*m_device) && m_stretchMode != HALFTONE) {
    PaintNearest(t, [&](int32_t x, int32_t y) { return pixels.Pixel(x, y); });
  } else {
    if ((usedRight - usedLeft) * (usedBottom - usedTop) > kMaxRasterPixels) {
      throw TGdiError("bitmap part of " + std::to_string(usedRight - usedLeft) + " x " +
                      std::to_string(usedBottom - usedTop) + " pixels is too large to transfer");
    }
    const QImage used = DibToImage(
        dib, static_cast<int32_t>(usedLeft), static_cast<int32_t>(usedTop),
        static_cast<int32_t>(usedRight - usedLeft), static_cast<int32_t>(usedBottom - usedTop));
    PaintByDevice(t, used, usedLeft, usedTop);
  }
  return static_cast<int32_t>(usedBottom - usedTop);
}

int32_t TCanvas::SetDIBitsToDevice(int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                                   int32_t xSrc, int32_t ySrc, const TDibRef& dib) {
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

void TCanvas::DrawImage(int32_t x, int32_t y, const QImage& image) {
  StretchDrawImage(x, y, image.width(), image.height(), image);
}

void TCanvas::StretchDrawImage(int32_t x, int32_t y, int32_t width, int32_t height,
                               const QImage& image) {
  RequireActive();
  if (image.isNull() || width == 0 || height == 0) return;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  if (rgb.isNull()) throw TGdiError("out of memory converting an image");
  const TTransfer t{x, y,           width,        height,      0,
                    0, rgb.width(), rgb.height(), rgb.width(), rgb.height()};
  if (IsRaster(*m_device) && m_stretchMode != HALFTONE) {
    PaintNearest(t, [&](int32_t sx, int32_t sy) {
      return reinterpret_cast<const QRgb*>(rgb.constScanLine(sy))[sx];
    });
  } else {
    PaintByDevice(t, rgb, 0, 0);
  }
}

}  // namespace labelplu::gdi
