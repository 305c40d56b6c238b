// The page layout printer's preview: the page image, its overlays, and printing the
// page as previewed.
#include <algorithm>
#include <cmath>

#include "label/Label.h"
#include "label/PixelRound.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/RasterTarget.h"
#include "platform/sys/MessagePump.h"
#include "print/PageLayoutPrinter.h"

namespace labelplu {

namespace {

constexpr int32_t kDefaultDpi = 96;
// How long a previewed page may stay with the spooler before the view
// stops waiting for it.
constexpr uint32_t kPrintWaitMs = 30000;

int32_t DpiOf(int32_t dotsPerMetre) {
  const int32_t dpi = static_cast<int32_t>(std::lround(dotsPerMetre * 0.0254));
  return dpi >= 1 && dpi <= 100000 ? dpi : kDefaultDpi;
}

}  // namespace

void PageLayoutPrinter::SetPreviewImage(QImage* image) {
  m_previewCanvas.reset();
  m_previewImage = image;
}

void PageLayoutPrinter::ReleasePreviewCanvas() {
  m_previewCanvas.reset();
}

gdi::Canvas* PageLayoutPrinter::PreviewCanvas() {
  if (m_previewImage == nullptr || m_previewImage->isNull()) return nullptr;
  if (!m_previewCanvas) m_previewCanvas = std::make_unique<gdi::Canvas>(*m_previewImage);
  return m_previewCanvas.get();
}

void PageLayoutPrinter::ResizePreviewImage(int32_t widthPx, int32_t heightPx) {
  const int32_t dpiX =
      m_previewImage->isNull() ? kDefaultDpi : DpiOf(m_previewImage->dotsPerMeterX());
  const int32_t dpiY =
      m_previewImage->isNull() ? kDefaultDpi : DpiOf(m_previewImage->dotsPerMeterY());
  // A paper too large for a raster (or none read yet) is shown cut to what
  // a raster can hold.
  const int32_t width = std::clamp(widthPx, 1, gdi::kMaxRasterSide);
  const int32_t height = std::clamp<int32_t>(
      heightPx, 1,
      static_cast<int32_t>(std::min<int64_t>(gdi::kMaxRasterSide, gdi::kMaxRasterPixels / width)));
  m_previewCanvas.reset();
  *m_previewImage = gdi::CreateRasterImage(width, height, dpiX, dpiY);
}

void PageLayoutPrinter::PaintPreview() {
  if (gdi::Canvas* canvas = Canvas()) {
    const gdi::Brush white{gdi::BS_SOLID, gdi::RGB(255, 255, 255)};
    canvas->SelectBrush(white);
    gdi::RECT box;
    canvas->GetClipBox(box);
    canvas->FillRect(box, white);
  }
  ShownLabel().SetMode(kModePreview);
  LayoutPage();
  UpdateLayout();
  DrawPage();
}

void PageLayoutPrinter::PrintPreviewPage() {
  std::exception_ptr failure;
  try {
    RequireSelectedPrinter();
    ShownLabel().SetMode(kModePrinter);
    LayoutPage();
    m_printer.SetTitle(kPreviewPageTitle);
    m_printer.SetCopies(1);
    StartDocument();
    sys::ProcessMessages();
    UpdateLayout();
    DrawPage();
    EndDocument();
  } catch (...) {
    failure = std::current_exception();
    AbortDocument();
  }
  const uint32_t start = sys::TickCount();
  while (m_printer.Printing() && sys::TickCount() - start < kPrintWaitMs) sys::WaitPumping(10);
  ShownLabel().SetMode(kModePreview);
  // Nothing reported the failure before: the page simply did not come out.
  if (failure) std::rethrow_exception(failure);
}

// ---- overlays ----------------------------------------------------------------------------

namespace {

// Clear brush, solid one-pixel pen of colour, copy mode.
void PrepareOverlay(gdi::Canvas& canvas, gdi::COLORREF colour) {
  canvas.SelectBrush(gdi::Brush{gdi::BS_NULL, gdi::RGB(255, 255, 255)});
  canvas.SelectPen(gdi::Pen{gdi::PS_SOLID, 1, colour});
  canvas.SetROP2(gdi::R2_COPYPEN);
}

void Line(gdi::Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
}

}  // namespace

void PageLayoutPrinter::DrawPaperEdge() {
  gdi::Canvas* canvas = PreviewCanvas();
  if (canvas == nullptr) return;
  PrepareOverlay(*canvas, gdi::RGB(0, 0, 0));
  canvas->Rectangle(0, 0, m_previewImage->width(), m_previewImage->height());
}

void PageLayoutPrinter::DrawPrintableArea() {
  gdi::Canvas* canvas = PreviewCanvas();
  if (canvas == nullptr) return;
  PrepareOverlay(*canvas, gdi::RGB(0, 0, 255));
  const int32_t x = RoundPx(m_pixelsPerMmX * OffsetX);
  const int32_t y = RoundPx(m_pixelsPerMmY * OffsetY);
  canvas->Rectangle(x, y, m_previewImage->width() - x, m_previewImage->height() - y);
}

void PageLayoutPrinter::DrawMarginLines() {
  gdi::Canvas* canvas = PreviewCanvas();
  if (canvas == nullptr) return;
  PrepareOverlay(*canvas, gdi::RGB(255, 0, 0));
  const int32_t iw = m_previewImage->width();
  const int32_t ih = m_previewImage->height();
  const int32_t top = RoundPx(m_pixelsPerMmY * MarginTop);
  const int32_t bottom = RoundPx(ih - m_pixelsPerMmY * MarginBottom);
  const int32_t left = RoundPx(m_pixelsPerMmX * MarginLeft);
  const int32_t right = RoundPx(iw - m_pixelsPerMmX * MarginRight);
  Line(*canvas, 0, top, iw, top);
  Line(*canvas, 0, bottom, iw, bottom);
  Line(*canvas, left, 0, left, ih);
  Line(*canvas, right, 0, right, ih);
}

void PageLayoutPrinter::DrawLabelFrames() {
  gdi::Canvas* canvas = PreviewCanvas();
  if (canvas == nullptr) return;
  canvas->RemoveClip();
  canvas->SelectBrush(gdi::Brush{gdi::BS_NULL, gdi::RGB(255, 255, 255)});
  canvas->SelectPen(gdi::Pen{gdi::PS_DASHDOT, 1, gdi::RGB(128, 128, 128)});
  canvas->SetROP2(gdi::R2_XORPEN);
  const double w = ShownLabel().Width();
  const double h = ShownLabel().Height();
  for (int32_t i = 0; i < Positions.Count(); ++i) {
    const double x = Positions.Item(i).MmX;
    const double y = Positions.Item(i).MmY;
    canvas->Rectangle(RoundPx(m_pixelsPerMmX * x), RoundPx(m_pixelsPerMmY * y),
                      RoundPx(m_pixelsPerMmX * x + m_pixelsPerMmX * w),
                      RoundPx(m_pixelsPerMmY * y + m_pixelsPerMmY * h));
  }
  canvas->SetROP2(gdi::R2_COPYPEN);
}

}  // namespace labelplu
