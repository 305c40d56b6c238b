// labelplu: the linear barcode primitive (template class "Shk").
//
// LoadSource paints the symbol with its own encoder (TStBarCode) into
// SourceImage at the output's resolution: on a printer (label Mode 2) at
// the printer's dots per inch, otherwise at the view's pixels per
// millimetre without zoom, so that bars are whole device dots whose width
// follows BarWidth (mils). The fast bitmap's canvas reports that same
// resolution, so the human-readable line comes out at Font.Size points on
// the target. T_ImageTemplate then fits and turns the symbol (nearest
// pixel, never smoothed). An unchanged symbol at an unchanged size is not
// painted again. Data the symbology cannot encode shows "ОШИБКА!".
//
// Threads: as every primitive, its label's thread.
#ifndef LABELPLU_LABEL_TPRSHK_H
#define LABELPLU_LABEL_TPRSHK_H

#include <cstdint>
#include <memory>
#include <string>

#include "BarCode.h"
#include "T_ImageTemplate.h"

namespace labelplu {

// "bcUPC_A" .. "bcCode128" (TStBarCodeType of render/BarCodeEncoder.h).
const TEnumInfo& BarCodeTypeType();

class TPrShk : public T_ImageTemplate {
 public:
  // Caption "Штрихкод"; 30 × 10 mm; bcEAN_13, text visible, MaxSymbols 20,
  // ratio 2, BarWidth 12 mils, no added check character, Value
  // "1234567890128", font "Arial" 8 points, Smooth off.
  explicit TPrShk(TLb& owner);
  ~TPrShk() override;

  std::string_view ClassName() const override { return "TPrShk"; }
  // DS, Value, Left, Top, Width, Height, BarCodeType, TextVisible,
  // MaxSymbols, BarNarrowToWideRatio, BarWidth, Font, RotationFixed,
  // AddCheckChar.
  std::span<const TPropInfo> Properties() const override;

  TStBarCodeType BarCodeType() const { return m_barCodeType; }
  bool TextVisible() const { return m_textVisible; }
  // Stored and written with the template; no part in drawing.
  int32_t MaxSymbols() const { return m_maxSymbols; }
  int32_t BarNarrowToWideRatio() const { return m_barNarrowToWideRatio; }
  double BarWidth() const { return m_barWidth; }
  bool AddCheckChar() const { return m_addCheckChar; }
  // Each does nothing when equal; otherwise stores the value and
  // MarkChanged(true).
  void SetBarCodeType(TStBarCodeType type);
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
  const TStBarCode* Encoder() const { return m_encoder.get(); }
  // How often LoadSource painted the symbol (reuse leaves it unchanged).
  int32_t RenderCount() const { return m_renderCount; }

 private:
  // What a rendering depends on; equal keys reuse the painted symbol.
  struct TRenderKey {
    std::string Code;
    gdi::LOGFONT Font;
    bool ShowCode = true;
    int32_t Ratio = 0;
    double BarWidth = 0;
    TStBarCodeType Type = bcUPC_A;
    bool AddCheckChar = false;
    int32_t Dpi = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    friend bool operator==(const TRenderKey&, const TRenderKey&) = default;
  };

  std::unique_ptr<TStBarCode> m_encoder;
  TRenderKey m_lastKey;
  TStBarCodeType m_barCodeType = bcEAN_13;
  bool m_textVisible = true;
  int32_t m_maxSymbols = 20;
  int32_t m_barNarrowToWideRatio = 2;
  double m_barWidth = 12.0;
  bool m_addCheckChar = false;
  int32_t m_renderCount = 0;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TPRSHK_H
