// labelplu: the canvas: painter set-up, device facts, selections, clip and
// pixel access.
#include "platform/gdi/Canvas.h"

#include <QImage>
#include <QPaintDevice>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/gdi/CanvasInternal.h"
#include "platform/gdi/LinePixels.h"

namespace labelplu::gdi {
Canvas::Canvas(QPaintDevice& device) : m_device(&device), m_painter(std::make_unique<QPainter>()) {
  if (device.devType() == QInternal::Image) {
    const auto& image = static_cast<const QImage&>(device);
    if (image.isNull()) throw GdiError("cannot paint on a null image");
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB ||
        image.format() == QImage::Format_Indexed8) {
      throw GdiError("cannot paint on an image of format " +
                     std::to_string(static_cast<int>(image.format())) +
                     " (monochrome and indexed images are converted after painting)");
    }
  }
  if (!m_painter->begin(&device)) throw GdiError("cannot begin painting on the device");
  m_painter->setRenderHint(QPainter::Antialiasing, false);
  m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
  m_painter->setClipping(false);
}

Canvas::~Canvas() {
  End();
}

void Canvas::End() {
  if (m_painter && m_painter->isActive()) m_painter->end();
}

bool Canvas::IsActive() const {
  return m_painter && m_painter->isActive();
}

void Canvas::RequireActive() const {
  if (!IsActive()) throw GdiError("the canvas has ended painting");
}

QPainter& Canvas::Painter() {
  RequireActive();
  return *m_painter;
}

int32_t Canvas::GetDeviceCaps(int32_t index) const {
  const QPaintDevice& d = *m_device;
  switch (index) {
    case HORZRES:
      return d.width();
    case VERTRES:
      return d.height();
    case HORZSIZE:
      return d.widthMM();
    case VERTSIZE:
      return d.heightMM();
    case LOGPIXELSX:
      return d.logicalDpiX();
    case LOGPIXELSY:
      return d.logicalDpiY();
    case BITSPIXEL:
      return IsRaster(d) ? d.depth() : 24;
    case PHYSICALWIDTH:
      return m_page.physicalWidth > 0 ? m_page.physicalWidth : d.width();
    case PHYSICALHEIGHT:
      return m_page.physicalHeight > 0 ? m_page.physicalHeight : d.height();
    case PHYSICALOFFSETX:
      return m_page.offsetX;
    case PHYSICALOFFSETY:
      return m_page.offsetY;
    default:
      return 0;
  }
}

POINT Canvas::SetViewportOrgEx(int32_t x, int32_t y) {
  RequireActive();
  const POINT previous = m_origin;
  m_origin = POINT{x, y};
  // The clip was set under the old origin: set it again so that it stays on
  // the same logical pixels.
  ApplyClip();
  return previous;
}

void Canvas::ResetTransform() {
  m_painter->setTransform(QTransform::fromTranslate(m_origin.x, m_origin.y));
}

Pen Canvas::SelectPen(const Pen& pen) {
  switch (pen.style) {
    case PS_SOLID:
    case PS_DASH:
    case PS_DOT:
    case PS_DASHDOT:
    case PS_DASHDOTDOT:
    case PS_NULL:
    case PS_INSIDEFRAME:
      break;
    default:
      throw GdiError("pen style " + std::to_string(pen.style) + " is unknown");
  }
  if (pen.width < 0) throw GdiError("pen width " + std::to_string(pen.width) + " is negative");
  const Pen previous = m_pen;
  m_pen = pen;
  return previous;
}

Brush Canvas::SelectBrush(const Brush& brush) {
  if (brush.style != BS_SOLID && brush.style != BS_NULL) {
    throw GdiError("brush style " + std::to_string(brush.style) + " is unknown");
  }
  const Brush previous = m_brush;
  m_brush = brush;
  m_bkColor = brush.color;
  m_bkMode = brush.style == BS_SOLID ? OPAQUE : TRANSPARENT;
  return previous;
}

LOGFONT Canvas::SelectFont(const LOGFONT& font) {
  LOGFONT previous = m_logFont;
  if (m_font && font == m_logFont) return previous;
  // Painters select a font and then restore the one before: the state of
  // the font replaced last is kept, so that going back costs nothing.
  std::unique_ptr<FontState> state;
  if (m_spareFont && font == m_spareLogFont) {
    state = std::move(m_spareFont);
  } else {
    state = std::make_unique<FontState>(BuildFontState(font, m_device->logicalDpiY()));
  }
  m_spareFont = std::move(m_font);
  m_spareLogFont = previous;
  m_logFont = font;
  m_font = std::move(state);
  return previous;
}

const Canvas::FontState& Canvas::Font() const {
  if (!m_font)
    m_font = std::make_unique<FontState>(BuildFontState(m_logFont, m_device->logicalDpiY()));
  return *m_font;
}

COLORREF Canvas::SetTextColor(COLORREF color) {
  return std::exchange(m_textColor, color & 0xFFFFFF);
}

int32_t Canvas::SetBkMode(int32_t mode) {
  if (mode != OPAQUE && mode != TRANSPARENT)
    throw GdiError("background mode " + std::to_string(mode) + " is unknown");
  return std::exchange(m_bkMode, mode);
}

COLORREF Canvas::SetBkColor(COLORREF color) {
  return std::exchange(m_bkColor, color & 0xFFFFFF);
}

int32_t Canvas::SetROP2(int32_t mode) {
  if (mode != R2_COPYPEN && mode != R2_XORPEN && mode != R2_NOTXORPEN && mode != R2_NOT) {
    throw GdiError("mix mode " + std::to_string(mode) + " is not supported");
  }
  return std::exchange(m_rop2, mode);
}

int32_t Canvas::SetPolyFillMode(int32_t mode) {
  if (mode != ALTERNATE && mode != WINDING)
    throw GdiError("polygon fill mode " + std::to_string(mode) + " is unknown");
  return std::exchange(m_polyFillMode, mode);
}

int32_t Canvas::SetStretchBltMode(int32_t mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE)
    throw GdiError("stretch mode " + std::to_string(mode) + " is unknown");
  return std::exchange(m_stretchMode, mode);
}

void Canvas::SetMixMode(bool useRop2) {
  QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
  // Raster operations exist on images only; elsewhere the pen paints plainly.
  if (useRop2 && IsRaster(*m_device)) {
    switch (m_rop2) {
      case R2_XORPEN:
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
      case R2_NOTXORPEN:
        mode = QPainter::RasterOp_NotSourceXorDestination;
        break;
      case R2_NOT:
        mode = QPainter::RasterOp_NotDestination;
        break;
      default:
        break;
    }
  }
  m_painter->setCompositionMode(mode);
}

void Canvas::ApplyClip() {
  ResetTransform();
  if (m_clip) {
    m_painter->setClipRegion(m_clip->ToQRegion(), Qt::ReplaceClip);
  } else {
    m_painter->setClipping(false);
  }
}

int32_t Canvas::SelectClipRgn(const Region* region) {
  RequireActive();
  if (region) {
    m_clip = *region;
  } else {
    m_clip.reset();
  }
  ApplyClip();
  return m_clip ? m_clip->Kind() : SIMPLEREGION;
}

int32_t Canvas::ExtSelectClipRgn(const Region& region, int32_t mode) {
  RequireActive();
  if (mode == RGN_COPY) return SelectClipRgn(&region);
  const RECT device = DeviceBox();
  const Region current = m_clip ? *m_clip : Region::CreateRectRgn(device);
  Region combined;
  combined.CombineRgn(current, region, mode);
  return SelectClipRgn(&combined);
}

RECT Canvas::DeviceBox() const {
  return RECT{-m_origin.x, -m_origin.y, m_device->width() - m_origin.x,
              m_device->height() - m_origin.y};
}

int32_t Canvas::GetClipBox(RECT& box) const {
  const RECT device = DeviceBox();
  if (!m_clip) {
    box = device;
    return device.right > device.left && device.bottom > device.top ? SIMPLEREGION : NULLREGION;
  }
  Region visible;
  visible.CombineRgn(*m_clip, Region::CreateRectRgn(device), RGN_AND);
  box = visible.Box();
  return visible.Kind();
}

COLORREF Canvas::GetPixel(int32_t x, int32_t y) const {
  if (!IsRaster(*m_device)) return CLR_INVALID;
  const auto& image = static_cast<const QImage&>(*m_device);
  const int64_t dx = static_cast<int64_t>(x) + m_origin.x;
  const int64_t dy = static_cast<int64_t>(y) + m_origin.y;
  if (dx < 0 || dy < 0 || dx >= image.width() || dy >= image.height()) return CLR_INVALID;
  return FromQRgb(image.pixel(static_cast<int>(dx), static_cast<int>(dy)));
}

bool Canvas::RepeatTopRow(const RECT& rect) {
  RequireActive();
  if (!IsRaster(*m_device) || m_clip) return false;
  const auto& image = static_cast<const QImage&>(*m_device);
  if (image.depth() % 8 != 0) return false;
  const int64_t top = static_cast<int64_t>(rect.top) + m_origin.y;
  if (top < 0 || top >= image.height()) return false;
  const int64_t left = std::max<int64_t>(static_cast<int64_t>(rect.left) + m_origin.x, 0);
  const int64_t right =
      std::min<int64_t>(static_cast<int64_t>(rect.right) + m_origin.x, image.width());
  const int64_t bottom =
      std::min<int64_t>(static_cast<int64_t>(rect.bottom) + m_origin.y, image.height());
  if (right <= left || bottom <= top + 1) return true;
  // The painter paints straight into these bytes (it holds no copy and
  // keeps nothing back), so writing them here is what a fill would do.
  // constBits() is used because bits() could detach the image from the
  // buffer the painter paints.
  auto* bits = const_cast<uchar*>(image.constBits());
  const auto pixel = static_cast<size_t>(image.depth() / 8);
  const auto stride = static_cast<size_t>(image.bytesPerLine());
  const uchar* source =
      bits + static_cast<size_t>(top) * stride + static_cast<size_t>(left) * pixel;
  const size_t bytes = static_cast<size_t>(right - left) * pixel;
  for (int64_t row = top + 1; row < bottom; ++row) {
    std::memcpy(bits + static_cast<size_t>(row) * stride + static_cast<size_t>(left) * pixel,
                source, bytes);
  }
  return true;
}

void Canvas::SetPixel(int32_t x, int32_t y, COLORREF color) {
  RequireActive();
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  m_painter->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

}  // namespace labelplu::gdi
