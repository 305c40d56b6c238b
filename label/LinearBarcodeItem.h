// labelplu: the linear barcode item (template class "Shk").
//
// LoadSource paints the symbol with its own encoder (LinearBarcodeRenderer) into
// SourceImage at the output's resolution: on a printer (label Mode 2) at
// the printer's dots per inch, otherwise at the view's pixels per
// millimetre without zoom, so that bars are whole device dots whose width
// follows BarWidth (mils). The fast bitmap's canvas reports that same
// resolution, so the human-readable line comes out at Font.Size points on
// the target. ImageItemBase then fits and turns the symbol (nearest
// pixel, never smoothed). An unchanged symbol at an unchanged size is not
// painted again.
//
// Failures: data the symbology cannot encode (a letter in EAN-13, an EAN-13
// of 5 digits or with a wrong check digit ...) and a symbol whose bars are
// wider than the box at BarWidth show "ОШИБКА!" instead of a symbol that
// would scan as nothing or as other data; ErrorMessage() then says why.
//
// Threads: as every item, its label's thread.
#ifndef LABELPLU_LABEL_LINEARBARCODEITEM_H
#define LABELPLU_LABEL_LINEARBARCODEITEM_H

#include <cstdint>
#include <memory>
#include <string>

#include "label/ImageItemBase.h"
#include "render/LinearBarcodeRenderer.h"

namespace labelplu {

// "bcUPC_A" .. "bcCode128" (BarcodeSymbology of render/BarcodeEncoder.h).
const EnumInfo& BarCodeTypeType();

class LinearBarcodeItem : public ImageItemBase {
 public:
  // Caption "Штрихкод"; 30 × 10 mm; bcEAN_13, text visible, MaxSymbols 20,
  // ratio 2, BarWidth 12 mils, no added optional check character, Value
  // "1234567890128", font "Arial" 8 points, Smooth off.
  explicit LinearBarcodeItem(Label& owner);
  ~LinearBarcodeItem() override;

  std::string_view ClassName() const override { return "Shk"; }
  // DataSource, Value, Left, Top, Width, Height, BarCodeType, TextVisible,
  // MaxSymbols, BarNarrowToWideRatio, BarWidth, Font, RotationFixed,
  // AddCheckChar.
  std::span<const PropertyInfo> Properties() const override;

  BarcodeSymbology BarCodeType() const { return m_barCodeType; }
  bool TextVisible() const { return m_textVisible; }
  // Stored and written with the template; no part in drawing.
  int32_t MaxSymbols() const { return m_maxSymbols; }
  int32_t BarNarrowToWideRatio() const { return m_barNarrowToWideRatio; }
  double BarWidth() const { return m_barWidth; }
  bool AddCheckChar() const { return m_addCheckChar; }
  // Each does nothing when equal; otherwise stores the value and
  // MarkChanged(true).
  void SetBarCodeType(BarcodeSymbology type);
  void SetTextVisible(bool value);
  void SetMaxSymbols(int32_t value);
  void SetBarNarrowToWideRatio(int32_t value);
  void SetBarWidth(double mils);
  void SetAddCheckChar(bool value);

  // Paints the symbol into SourceImage (see the file comment).
  void LoadSource() override;
  // Frees the encoder; the next LoadSource makes a new one.
  void ReleaseRenderer() override;

  // The encoder of the last rendering; null before the first one.
  const LinearBarcodeRenderer* Encoder() const { return m_encoder.get(); }
  // How often LoadSource painted the symbol (reuse leaves it unchanged).
  int32_t RenderCount() const { return m_renderCount; }
  // Why the last rendering shows "ОШИБКА!" (the encoder's message: bad
  // data, or a symbol wider than the box); empty when it shows the symbol,
  // and before the first rendering.
  const std::string& ErrorMessage() const { return m_errorMessage; }

 private:
  // What a rendering depends on; equal keys reuse the painted symbol.
  struct RenderKey {
    std::string Code;
    gdi::LOGFONT Font;
    bool ShowCode = true;
    int32_t Ratio = 0;
    double BarWidth = 0;
    BarcodeSymbology Type = bcUPC_A;
    bool AddCheckChar = false;
    int32_t Dpi = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    friend bool operator==(const RenderKey&, const RenderKey&) = default;
  };

  std::unique_ptr<LinearBarcodeRenderer> m_encoder;
  RenderKey m_lastKey;
  BarcodeSymbology m_barCodeType = bcEAN_13;
  bool m_textVisible = true;
  int32_t m_maxSymbols = 20;
  int32_t m_barNarrowToWideRatio = 2;
  double m_barWidth = 12.0;
  bool m_addCheckChar = false;
  int32_t m_renderCount = 0;
  std::string m_errorMessage;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_LINEARBARCODEITEM_H
