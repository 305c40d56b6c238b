// The page layout printer: construction, settings, printer geometry, page layout,
// scale and the choice of canvas. The job lives in PageLayoutJob.cpp, the preview
// in PageLayoutPreview.cpp.
#include "print/PageLayoutPrinter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "label/Label.h"
#include "label/PixelRound.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/RasterTarget.h"
#include "print/PaperList.h"
#include "print/PrinterDevice.h"

namespace labelplu {

namespace {

// The resolution of a memory canvas with nothing else to go by.
constexpr int32_t kScreenDpi = 96;

// A device capability in pixels as millimetres to one decimal, from the
// printable area's pixels and millimetres.
double PixelsToMm(int32_t pixels, int32_t sizeMm, int32_t resolution) {
  if (resolution <= 0) return 0;
  const double mm = RoundHalfEven(static_cast<double>(pixels) * sizeMm * 10 / resolution) / 10;
  return mm < 0 ? 0 : mm;
}

// The leading edge of a block of blockMm within the paper by alignment.
double AlignedEdge(int32_t align, double paperMm, double marginLow, double marginHigh,
                   double blockMm) {
  double edge = marginLow;
  if (align == 1)
    edge = marginLow + (paperMm - marginLow - marginHigh - blockMm) / 2;
  else if (align == 2)
    edge = paperMm - (blockMm + marginHigh);
  return std::max(edge, marginLow);
}

// An image side in pixels the raster target accepts.
int32_t ClampSide(int32_t px) {
  return std::clamp(px, 1, gdi::kMaxRasterSide);
}

}  // namespace

PageLayoutPrinter::PageLayoutPrinter(Label& label, spool::PrintObject& printer)
    : PageLayout(label), m_printer(printer) {
  m_workBitmap = gdi::CreateRasterImage(1, 1, kScreenDpi, QImage::Format_Grayscale8);
}

PageLayoutPrinter::~PageLayoutPrinter() {
  // A job left open would gather every later document of the process.
  if (m_jobOpen) {
    try {
      m_printer.EndJob();
    } catch (...) {
    }
  }
}

// ---- settings --------------------------------------------------------------------

void PageLayoutPrinter::ReadDeviceSettings() {
  if (Device == nullptr)
    throw std::logic_error("The page layout printer has no device to read its settings from");
  PrinterDevice& item = *Device;
  MaxHorizontal = item.GetIntByName("MaxHorizontal");
  MaxVertical = item.GetIntByName("MaxVertical");
  GapHorizontal = item.GetFloatByName("GapHorizontal");
  GapVertical = item.GetFloatByName("GapVertical");
  HorizontalAlign = item.GetIntByName("HorizontalAlign");
  VerticalAlign = item.GetIntByName("VerticalAlign");
  MarginLeft = item.GetFloatByName("MarginLeft");
  MarginRight = item.GetFloatByName("MarginRight");
  MarginTop = item.GetFloatByName("MarginTop");
  MarginBottom = item.GetFloatByName("MarginBottom");
  const int64_t perPage = int64_t{MaxHorizontal} * MaxVertical;
  LabelsPerPage = static_cast<int32_t>(std::clamp<int64_t>(
      perPage, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  PrintHSeparator = item.GetIntByName("PrintHSeparator") != 0;
  PrintVSeparator = item.GetIntByName("PrintVSeparator") != 0;
  PrinterCopies = item.GetIntByName("PrinterCopies") != 0;
  m_printerProblem.clear();
  try {
    m_printer.SelectPrinterByName(item.GetParam("PrinterName"));
    ReadPrinterGeometry();
  } catch (const spool::PrinterUnavailable& e) {
    m_printerProblem = e.what();
  }
}

void PageLayoutPrinter::ReadPrinterGeometry() {
  m_printer.ResetDeviceMode();
  const spool::PageSettings mode = m_printer.DeviceMode();
  PaperCode = mode.PaperCode;
  Orientation = mode.Orientation;
  PaperWidth = mode.PaperWidthMm;
  PaperHeight = mode.PaperHeightMm;
  ResolutionX = mode.ResolutionX;
  ResolutionY = mode.ResolutionY;

  const PaperList papers = BuildPaperList(m_printer, m_printer.PrinterName());
  if (const PaperEntry* paper = FindPaperByCode(papers, PaperCode)) {
    PaperName = paper->Name;
    if (!(PaperWidth > 0)) PaperWidth = paper->Width;
    if (!(PaperHeight > 0)) PaperHeight = paper->Height;
  }

  auto nonNegative = [this](int32_t index) { return std::max(0, m_printer.GetDeviceCaps(index)); };
  const int32_t horzRes = nonNegative(gdi::HORZRES);
  const int32_t vertRes = nonNegative(gdi::VERTRES);
  const int32_t horzSize = nonNegative(gdi::HORZSIZE);
  const int32_t vertSize = nonNegative(gdi::VERTSIZE);
  const double physicalWidth =
      PixelsToMm(m_printer.GetDeviceCaps(gdi::PHYSICALWIDTH), horzSize, horzRes);
  const double physicalHeight =
      PixelsToMm(m_printer.GetDeviceCaps(gdi::PHYSICALHEIGHT), vertSize, vertRes);
  OffsetX = PixelsToMm(m_printer.GetDeviceCaps(gdi::PHYSICALOFFSETX), horzSize, horzRes);
  OffsetY = PixelsToMm(m_printer.GetDeviceCaps(gdi::PHYSICALOFFSETY), vertSize, vertRes);
  UnprintableRight = physicalWidth - horzSize - OffsetX;
  UnprintableBottom = physicalHeight - vertSize - OffsetY;
}

// ---- layout ------------------------------------------------------------------------

SheetGeometry PageLayoutPrinter::Sheet() const {
  return {.PaperWidthMm = PaperWidth,
          .PaperHeightMm = PaperHeight,
          .LabelWidthMm = ShownLabel().Width(),
          .LabelHeightMm = ShownLabel().Height(),
          .GapHorizontalMm = GapHorizontal,
          .GapVerticalMm = GapVertical,
          .MarginLeftMm = MarginLeft,
          .MarginRightMm = MarginRight,
          .MarginTopMm = MarginTop,
          .MarginBottomMm = MarginBottom};
}

int32_t PageLayoutPrinter::FitAcross() const {
  return LabelsPerPage < 1 ? 1 : FitAcrossSheet(Sheet());
}

int32_t PageLayoutPrinter::FitDown() const {
  return LabelsPerPage < 1 ? 1 : FitDownSheet(Sheet());
}

GridCounts PageLayoutPrinter::AutomaticGrid() const {
  return LabelsPerPage < 1 ? GridCounts{} : labelplu::AutomaticGrid(Sheet());
}

void PageLayoutPrinter::LayoutPage() {
  const int64_t count = int64_t{std::max(0, MaxHorizontal)} * std::max(0, MaxVertical);
  if (count > kMaxPagePositions)
    throw std::runtime_error("A page cannot hold " + std::to_string(MaxHorizontal) + " x " +
                             std::to_string(MaxVertical) + " labels (at most " +
                             std::to_string(kMaxPagePositions) + ")");
  const double w = ShownLabel().Width();
  const double h = ShownLabel().Height();
  const double blockWidth = (w + GapHorizontal) * MaxHorizontal - GapHorizontal;
  const int32_t rows = std::min(FitDown(), MaxVertical);
  const double blockHeight = (h + GapVertical) * rows - GapVertical;
  const double x0 = AlignedEdge(HorizontalAlign, PaperWidth, MarginLeft, MarginRight, blockWidth);
  const double y0 = AlignedEdge(VerticalAlign, PaperHeight, MarginTop, MarginBottom, blockHeight);

  Positions.Clear();
  PositionCursor = 0;
  const bool printer = ShownLabel().Mode() == kModePrinter;
  for (int32_t r = 0; r < MaxVertical; ++r) {
    for (int32_t c = 0; c < MaxHorizontal; ++c) {
      double dx = (w + GapHorizontal) * c;
      double dy = (h + GapVertical) * r;
      // Printer coordinates start at the printable area.
      if (printer) {
        dx -= OffsetX;
        dy -= OffsetY;
      }
      Positions.AddPoint(x0 + dx, y0 + dy);
    }
  }
}

void PageLayoutPrinter::UpdateLayout() {
  const double oldX = m_pixelsPerMmX;
  const double oldY = m_pixelsPerMmY;
  ResizeWorkBitmap(RoundPx(oldX * ShownLabel().Width()), RoundPx(oldY * ShownLabel().Height()));

  const uint8_t mode = ShownLabel().Mode();
  if (mode == kModePrinter) {
    m_pixelsPerMmX = ResolutionX / 25.4 * m_zoomX;
    m_pixelsPerMmY = ResolutionY / 25.4 * m_zoomY;
  } else {
    const gdi::Canvas* canvas = Canvas();
    const int32_t dpiX = canvas != nullptr ? canvas->GetDeviceCaps(gdi::LOGPIXELSX) : kScreenDpi;
    const int32_t dpiY = canvas != nullptr ? canvas->GetDeviceCaps(gdi::LOGPIXELSY) : kScreenDpi;
    m_pixelsPerMmX = dpiX / 25.4 * m_zoomX;
    m_pixelsPerMmY = dpiY / 25.4 * m_zoomY;
  }

  if (m_previewImage != nullptr && mode == kModePreview)
    ResizePreviewImage(RoundPx(m_pixelsPerMmX * PaperWidth), RoundPx(m_pixelsPerMmY * PaperHeight));

  if (std::abs(m_pixelsPerMmX - oldX) > 1e-9 || std::abs(m_pixelsPerMmY - oldY) > 1e-9) {
    Label& label = ShownLabel();
    label.BeginUpdate();
    try {
      label.PrepareAll(true);
    } catch (...) {
      label.EndUpdate(false);
      throw;
    }
    label.EndUpdate(false);
  }
}

gdi::Canvas* PageLayoutPrinter::Canvas() {
  const uint8_t mode = ShownLabel().Mode();
  if (mode == kModePrinter) return m_printer.Printing() ? m_printer.Canvas() : nullptr;
  if (mode == kModePreview && m_previewImage != nullptr) return PreviewCanvas();
  if (!m_workCanvas) m_workCanvas = std::make_unique<gdi::Canvas>(m_workBitmap);
  return m_workCanvas.get();
}

// The work bitmap only serves off-screen painting; a label far larger than
// any raster allows is painted cut to the largest bitmap rather than
// failing the print job that sized it.
void PageLayoutPrinter::ResizeWorkBitmap(int32_t widthPx, int32_t heightPx) {
  const int32_t width = ClampSide(widthPx);
  const int32_t height = std::clamp<int32_t>(
      heightPx, 1,
      static_cast<int32_t>(std::min<int64_t>(gdi::kMaxRasterSide, gdi::kMaxRasterPixels / width)));
  if (m_workBitmap.width() == width && m_workBitmap.height() == height) return;
  m_workCanvas.reset();
  m_workBitmap = gdi::CreateRasterImage(width, height, kScreenDpi, QImage::Format_Grayscale8);
}

}  // namespace labelplu
