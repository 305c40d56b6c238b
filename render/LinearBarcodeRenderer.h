// labelplu: LinearBarcodeRenderer, the linear barcode as the barcode item uses
// it: properties that re-encode on change, and painting of the encoded
// elements with an optional human-readable line onto a canvas at whole
// device pixels per module.
#ifndef LABELPLU_RENDER_LINEARBARCODERENDERER_H
#define LABELPLU_RENDER_LINEARBARCODERENDERER_H

#include <cstdint>
#include <string>

#include "platform/gdi/Canvas.h"
#include "platform/gdi/GdiTypes.h"
#include "render/BarcodeEncoder.h"

namespace labelplu {

// The text drawn in place of a symbol whose data cannot be encoded.
inline constexpr const char* kBarCodeErrorText = "ОШИБКА!";

// Module widths in device pixels.
struct BarModules {
  int32_t Bar = 1;
  int32_t Space = 1;
  friend bool operator==(const BarModules&, const BarModules&) = default;
};

// Bar module := round(barWidthMils / 1000 × dpi), raised to
// round(barToSpaceRatio) and then to round(max(dpi × 0.01, 1)) when smaller;
// space module := round(bar / barToSpaceRatio), at least 1. Rounding is to
// nearest, halves to even. Non-finite or non-positive inputs count as the
// defaults (12 mils, ratio 1, 96 dpi); the bar module is at most 1000
// pixels so that no symbol's width overflows.
BarModules ComputeBarModules(double barWidthMils, int32_t dpi, double barToSpaceRatio = 1.0);

// Paints the elements left to right from x: spaces advance x, bars fill
// [x, x + width) × [top, top + height) with the colour. Returns the x after
// the last element. Throws gdi::GdiError only as the canvas does.
int32_t PaintBarElements(gdi::Canvas& canvas, const BarElements& elements, int32_t x, int32_t top,
                         int32_t height, const BarModules& modules, gdi::COLORREF color);

// Total width in pixels of the elements at the module sizes.
int64_t BarElementsWidth(const BarElements& elements, const BarModules& modules);

// The linear barcode. Setters re-encode when the value changes; painting
// reads the element list and the drawing properties. Not thread-safe; one
// instance per item.
class LinearBarcodeRenderer {
 public:
  LinearBarcodeRenderer();

  // The data, UTF-8 and leading/trailing blanks as given. Stored in upper
  // case (ASCII) when the current type is bcCode39, in lower case when it
  // is bcCodabar, unchanged otherwise; re-encodes when it differs.
  void SetCode(const std::string& code);
  const std::string& Code() const { return m_code; }

  void SetBarCodeType(BarcodeSymbology type);
  BarcodeSymbology BarCodeType() const { return m_type; }
  void SetAddCheckChar(bool value);
  bool AddCheckChar() const { return m_options.AddCheckChar; }
  void SetBarNarrowToWideRatio(int32_t ratio);
  int32_t BarNarrowToWideRatio() const { return m_ratio; }
  void SetCode128Subset(Code128CodeSet subset);
  Code128CodeSet Code128Subset() const { return m_options.Code128Subset; }

  // Painting only (no re-encode).
  void SetBarWidth(double mils) { m_barWidthMils = mils; }
  double BarWidth() const { return m_barWidthMils; }
  void SetShowCode(bool value) { m_showCode = value; }
  bool ShowCode() const { return m_showCode; }
  void SetBarToSpaceRatio(double ratio) { m_barToSpaceRatio = ratio; }
  double BarToSpaceRatio() const { return m_barToSpaceRatio; }
  void SetBarColor(gdi::COLORREF color) { m_barColor = color; }
  gdi::COLORREF BarColor() const { return m_barColor; }
  void SetColor(gdi::COLORREF color) { m_color = color; }  // background
  gdi::COLORREF Color() const { return m_color; }
  void SetFont(const gdi::LOGFONT& font) { m_font = font; }
  const gdi::LOGFONT& Font() const { return m_font; }
  // Dots per inch used to size modules; 0 = the painted canvas's LOGPIXELSX.
  void SetResolution(int32_t dpi) { m_resolution = dpi < 0 ? 0 : dpi; }
  int32_t StoredResolution() const { return m_resolution; }
  // The resolution in force on the canvas: the stored one when non-zero.
  int32_t Resolution(const gdi::Canvas& canvas) const;

  // Set by a failed encode until the next one.
  bool ErrorFlag() const { return m_errorFlag; }
  // Why "ОШИБКА!" stands in place of the symbol: the failed encode's
  // message, else the last RenderTo's when the symbol was wider than its
  // rectangle; empty when the symbol was painted (or before any painting).
  // Encode clears it.
  const std::string& ErrorMessage() const { return m_errorMessage; }
  const BarElements& Elements() const { return m_elements; }
  // The human-readable text for the current data.
  std::string DisplayText() const;

  // Rebuilds the element list from the data and settings.
  void Encode();

  // Paints into rect on the canvas: background, then the symbol (left
  // aligned in the rectangle shrunk by 10 % of its height at top and
  // bottom) with its text band, or "ОШИБКА!" when the data could not be
  // encoded, the bars are wider than the rectangle (ErrorMessage() then
  // says by how much; a cut symbol would scan as nothing or as other data)
  // or painting failed. The canvas's pen, brush, font, text colour and
  // background mode are restored afterwards. Never throws for bad data.
  void RenderTo(gdi::Canvas& canvas, const gdi::RECT& rect);

 private:
  void PaintSymbol(gdi::Canvas& canvas, const gdi::RECT& area) const;
  void PaintError(gdi::Canvas& canvas, const gdi::RECT& area) const;

  std::string m_code = "123456789012";
  BarcodeSymbology m_type = bcUPC_A;
  BarcodeOptions m_options;
  int32_t m_ratio = 2;
  double m_barWidthMils = 12.0;
  bool m_showCode = true;
  double m_barToSpaceRatio = 1.0;
  gdi::COLORREF m_barColor = gdi::RGB(0, 0, 0);
  gdi::COLORREF m_color = gdi::RGB(255, 255, 255);
  gdi::LOGFONT m_font;
  int32_t m_resolution = 0;
  bool m_errorFlag = false;
  std::string m_errorMessage;
  BarElements m_elements;
};

}  // namespace labelplu

#endif  // LABELPLU_RENDER_LINEARBARCODERENDERER_H
