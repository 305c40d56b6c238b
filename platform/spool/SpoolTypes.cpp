// labelplu: device capabilities of the print object's printers.
#include "platform/spool/SpoolTypes.h"

#include <QPageSize>
#include <QPaintDevice>

#include <cmath>
#include <cstdio>

#include "platform/gdi/Canvas.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/RasterTarget.h"

namespace labelplu::spool {
namespace {

int32_t Pixels(double points, int32_t dpi) {
  return static_cast<int32_t>(std::lround(points * dpi / 72.0));
}

}  // namespace

std::string CustomPaperName(double widthMm, double heightMm) {
  char text[80];
  std::snprintf(text, sizeof text, "%g x %g mm", widthMm, heightMm);
  return text;
}

int32_t DeviceCaps::Get(int32_t index) const {
  switch (index) {
    case gdi::HORZRES:
      return HorzRes;
    case gdi::VERTRES:
      return VertRes;
    case gdi::HORZSIZE:
      return HorzSize;
    case gdi::VERTSIZE:
      return VertSize;
    case gdi::PHYSICALWIDTH:
      return PhysicalWidth;
    case gdi::PHYSICALHEIGHT:
      return PhysicalHeight;
    case gdi::PHYSICALOFFSETX:
      return OffsetX;
    case gdi::PHYSICALOFFSETY:
      return OffsetY;
    case gdi::LOGPIXELSX:
      return LogPixelsX;
    case gdi::LOGPIXELSY:
      return LogPixelsY;
    default:
      return 0;
  }
}

// The paper in millimetres as defined (a layout's point sizes are rounded),
// turned as the orientation says; nearest pixel, halves to even.
int32_t PaperPixelsX(const PageSetup& setup) {
  const QSizeF mm = setup.Layout.pageSize().size(QPageSize::Millimeter);
  const double side =
      setup.Layout.orientation() == QPageLayout::Landscape ? mm.height() : mm.width();
  return static_cast<int32_t>(std::nearbyint(side * setup.DpiX / 25.4));
}

int32_t PaperPixelsY(const PageSetup& setup) {
  const QSizeF mm = setup.Layout.pageSize().size(QPageSize::Millimeter);
  const double side =
      setup.Layout.orientation() == QPageLayout::Landscape ? mm.width() : mm.height();
  return static_cast<int32_t>(std::nearbyint(side * setup.DpiY / 25.4));
}

DeviceCaps CapsOfDevice(const QPaintDevice& device, const PageSetup& setup) {
  DeviceCaps caps;
  caps.HorzRes = device.width();
  caps.VertRes = device.height();
  caps.HorzSize = device.widthMM();
  caps.VertSize = device.heightMM();
  caps.LogPixelsX = device.logicalDpiX();
  caps.LogPixelsY = device.logicalDpiY();
  const QRectF full = setup.Layout.fullRect(QPageLayout::Point);
  const QRectF paint = setup.Layout.paintRect(QPageLayout::Point);
  caps.PhysicalWidth = Pixels(full.width(), caps.LogPixelsX);
  caps.PhysicalHeight = Pixels(full.height(), caps.LogPixelsY);
  caps.OffsetX = Pixels(paint.left(), caps.LogPixelsX);
  caps.OffsetY = Pixels(paint.top(), caps.LogPixelsY);
  return caps;
}

DeviceCaps CapsOfCanvas(const gdi::Canvas& canvas) {
  DeviceCaps caps;
  caps.HorzRes = canvas.GetDeviceCaps(gdi::HORZRES);
  caps.VertRes = canvas.GetDeviceCaps(gdi::VERTRES);
  caps.HorzSize = canvas.GetDeviceCaps(gdi::HORZSIZE);
  caps.VertSize = canvas.GetDeviceCaps(gdi::VERTSIZE);
  caps.PhysicalWidth = canvas.GetDeviceCaps(gdi::PHYSICALWIDTH);
  caps.PhysicalHeight = canvas.GetDeviceCaps(gdi::PHYSICALHEIGHT);
  caps.OffsetX = canvas.GetDeviceCaps(gdi::PHYSICALOFFSETX);
  caps.OffsetY = canvas.GetDeviceCaps(gdi::PHYSICALOFFSETY);
  caps.LogPixelsX = canvas.GetDeviceCaps(gdi::LOGPIXELSX);
  caps.LogPixelsY = canvas.GetDeviceCaps(gdi::LOGPIXELSY);
  return caps;
}

DeviceCaps CapsOfRaster(const PageSetup& setup) {
  DeviceCaps caps;
  caps.HorzRes = caps.PhysicalWidth = PaperPixelsX(setup);
  caps.VertRes = caps.PhysicalHeight = PaperPixelsY(setup);
  const int32_t dpmX = gdi::DotsPerMetre(setup.DpiX);
  const int32_t dpmY = gdi::DotsPerMetre(setup.DpiY);
  // QImage's own PdmWidthMM and PdmDpiX formulas, so that the canvas of an
  // open raster document reports the same.
  caps.HorzSize = static_cast<int32_t>(std::lround(caps.HorzRes * 1000.0 / dpmX));
  caps.VertSize = static_cast<int32_t>(std::lround(caps.VertRes * 1000.0 / dpmY));
  caps.LogPixelsX = static_cast<int32_t>(std::lround(dpmX * 0.0254));
  caps.LogPixelsY = static_cast<int32_t>(std::lround(dpmY * 0.0254));
  return caps;
}

}  // namespace labelplu::spool
