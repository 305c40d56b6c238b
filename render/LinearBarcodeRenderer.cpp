#include "render/LinearBarcodeRenderer.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <string>

#include "platform/gdi/RasterTarget.h"

namespace labelplu {

namespace {

// Rounding of the module arithmetic: to nearest, halves to even.
int32_t RoundEven(double v) {
  return static_cast<int32_t>(std::nearbyint(v));
}

double PositiveOr(double v, double fallback) {
  return std::isfinite(v) && v > 0 ? v : fallback;
}

// Restores what RenderTo changes on the caller's canvas, also when painting fails.
class CanvasStateGuard {
 public:
  explicit CanvasStateGuard(gdi::Canvas& canvas)
      : m_canvas(canvas),
        m_pen(canvas.GetPen()),
        m_brush(canvas.GetBrush()),
        m_font(canvas.GetFont()),
        m_textColor(canvas.GetTextColor()),
        m_bkColor(canvas.GetBkColor()),
        m_bkMode(canvas.GetBkMode()) {}
  ~CanvasStateGuard() {
    try {
      m_canvas.SelectPen(m_pen);
      m_canvas.SelectBrush(m_brush);
      m_canvas.SelectFont(m_font);
      m_canvas.SetTextColor(m_textColor);
      m_canvas.SetBkColor(m_bkColor);
      m_canvas.SetBkMode(m_bkMode);
    } catch (const std::exception&) {
      // The font can only fail where it failed before: nothing more to restore.
    }
  }
  CanvasStateGuard(const CanvasStateGuard&) = delete;
  CanvasStateGuard& operator=(const CanvasStateGuard&) = delete;

 private:
  gdi::Canvas& m_canvas;
  gdi::Pen m_pen;
  gdi::Brush m_brush;
  gdi::LOGFONT m_font;
  gdi::COLORREF m_textColor;
  gdi::COLORREF m_bkColor;
  int32_t m_bkMode;
};

}  // namespace

BarModules ComputeBarModules(double barWidthMils, int32_t dpi, double barToSpaceRatio) {
  const double mils = PositiveOr(barWidthMils, 12.0);
  const double ratio = PositiveOr(barToSpaceRatio, 1.0);
  const double dots = dpi > 0 ? dpi : 96;
  const double bar = std::min(mils / 1000.0 * dots, 1000.0);
  BarModules m;
  m.Bar = RoundEven(bar);
  m.Bar = std::max(m.Bar, RoundEven(std::min(ratio, 1000.0)));
  m.Bar = std::max(m.Bar, RoundEven(std::max(dots * 0.01, 1.0)));
  m.Bar = std::min(m.Bar, 1000);
  m.Space = std::max(1, RoundEven(m.Bar / ratio));
  return m;
}

int64_t BarElementsWidth(const BarElements& elements, const BarModules& modules) {
  int64_t width = 0;
  for (const BarElement& e : elements) {
    width += static_cast<int64_t>(e.ModuleCount) * (e.IsBar() ? modules.Bar : modules.Space);
  }
  return width;
}

int32_t PaintBarElements(gdi::Canvas& canvas, const BarElements& elements, int32_t x, int32_t top,
                         int32_t height, const BarModules& modules, gdi::COLORREF color) {
  const gdi::Brush brush{gdi::BS_SOLID, color};
  for (const BarElement& e : elements) {
    const int32_t w = e.ModuleCount * (e.IsBar() ? modules.Bar : modules.Space);
    if (e.IsBar()) canvas.FillRect(gdi::RECT{x, top, x + w, top + height}, brush);
    x += w;
  }
  return x;
}

LinearBarcodeRenderer::LinearBarcodeRenderer() {
  Encode();
}

void LinearBarcodeRenderer::SetCode(const std::string& code) {
  std::string value = code;
  if (m_type == bcCode39) {
    for (char& c : value) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
  } else if (m_type == bcCodabar) {
    for (char& c : value) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  if (value == m_code) return;
  m_code = std::move(value);
  Encode();
}

void LinearBarcodeRenderer::SetBarCodeType(BarcodeSymbology type) {
  if (type == m_type) return;
  m_type = type;
  Encode();
}

void LinearBarcodeRenderer::SetAddCheckChar(bool value) {
  if (value == m_options.AddCheckChar) return;
  m_options.AddCheckChar = value;
  Encode();
}

void LinearBarcodeRenderer::SetBarNarrowToWideRatio(int32_t ratio) {
  if (ratio == m_ratio) return;
  m_ratio = ratio;
  Encode();
}

void LinearBarcodeRenderer::SetCode128Subset(Code128CodeSet subset) {
  if (subset == m_options.Code128Subset) return;
  m_options.Code128Subset = subset;
  Encode();
}

int32_t LinearBarcodeRenderer::Resolution(const gdi::Canvas& canvas) const {
  return m_resolution != 0 ? m_resolution : canvas.GetDeviceCaps(gdi::LOGPIXELSX);
}

std::string LinearBarcodeRenderer::DisplayText() const {
  return BarCodeDisplayText(m_code, m_type, m_options.AddCheckChar);
}

void LinearBarcodeRenderer::Encode() {
  m_elements.clear();
  m_errorFlag = false;
  m_errorMessage.clear();
  if (m_code.empty()) return;
  BarcodeOptions options = m_options;
  options.BarNarrowToWideRatio = m_ratio;
  try {
    m_elements = EncodeBarCode(m_code, m_type, options);
  } catch (const BarcodeError& e) {
    m_elements.clear();
    m_errorFlag = true;
    m_errorMessage = e.what();
  }
}

void LinearBarcodeRenderer::RenderTo(gdi::Canvas& canvas, const gdi::RECT& rect) {
  CanvasStateGuard guard(canvas);
  canvas.FillRect(rect, gdi::Brush{gdi::BS_SOLID, m_color});
  const int32_t margin = (rect.bottom - rect.top) * 10 / 100;
  const gdi::RECT area{rect.left, rect.top + margin, rect.right, rect.bottom - margin};
  if (m_errorFlag) {
    PaintError(canvas, area);
    return;
  }
  m_errorMessage.clear();
  const int64_t width = BarElementsWidth(
      m_elements, ComputeBarModules(m_barWidthMils, Resolution(canvas), m_barToSpaceRatio));
  const int64_t room = int64_t{area.right} - area.left;
  if (width > room) {
    m_errorMessage = "Штрихкод не помещается в поле: " + std::to_string(width) +
                     " точек при ширине " + std::to_string(std::max<int64_t>(room, 0));
    PaintError(canvas, area);
    return;
  }
  try {
    PaintSymbol(canvas, area);
  } catch (const std::exception&) {
    // Nothing of the symbol is painted before the last step that can fail.
    PaintError(canvas, area);
  }
}

void LinearBarcodeRenderer::PaintSymbol(gdi::Canvas& canvas, const gdi::RECT& area) const {
  const BarModules modules =
      ComputeBarModules(m_barWidthMils, Resolution(canvas), m_barToSpaceRatio);
  const int64_t total64 = BarElementsWidth(m_elements, modules);
  if (total64 > gdi::kMaxRasterSide * int64_t{16})
    throw std::length_error("barcode wider than any raster target");
  const auto total = static_cast<int32_t>(total64);
  const int32_t x = area.left;
  const int32_t y = area.top;
  int32_t h = area.bottom - area.top;

  if (m_showCode && !m_code.empty()) {
    canvas.SelectFont(m_font);
    const int32_t t = canvas.GetTextMetrics().tmHeight;  // the height of any text cell
    std::string text = DisplayText();
    h -= t / 4 + t;
    canvas.SetBkMode(gdi::TRANSPARENT);
    canvas.SetTextColor(m_barColor);
    if (m_type == bcUPC_A && text.size() >= 2) {
      const std::string first = text.substr(0, 1);
      const std::string last = text.substr(text.size() - 1);
      const int32_t w1 = canvas.GetTextExtentPoint32(first).cx;
      const int32_t w2 = canvas.GetTextExtentPoint32(last).cx;
      canvas.TextOut(x - 2 * w1 + w1 / 2, y + h - t, first);
      canvas.TextOut(x + total + w2 / 2, y + h - t, last);
      text = text.substr(1, text.size() - 2);
    }
    const int32_t width = canvas.GetTextExtentPoint32(text).cx;
    canvas.TextOut(x + (total - width) / 2, y + h + t / 4, text);
  }
  if (h <= 0) return;
  // Every row of the bars is the same: paint one and repeat it where the
  // canvas can copy pixels (the background below it is uniform).
  const int32_t end = PaintBarElements(canvas, m_elements, x, y, 1, modules, m_barColor);
  if (h > 1 && !canvas.RepeatTopRow(gdi::RECT{x, y, end, y + h})) {
    PaintBarElements(canvas, m_elements, x, y + 1, h - 1, modules, m_barColor);
  }
}

void LinearBarcodeRenderer::PaintError(gdi::Canvas& canvas, const gdi::RECT& area) const {
  try {
    canvas.SelectFont(m_font);
    canvas.SetBkMode(gdi::TRANSPARENT);
    canvas.SetTextColor(m_barColor);
    const int32_t left = area.left + 4;
    const int32_t width = canvas.GetTextExtentPoint32(kBarCodeErrorText).cx;
    canvas.TextOut(left + (area.right - left - width) / 2, area.top, kBarCodeErrorText);
  } catch (const std::exception&) {
    // Without fonts there is no way to say more; the background stays blank.
  }
}

}  // namespace labelplu
