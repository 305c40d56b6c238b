// labelplu: the linear barcode primitive.
#include "TPrShk.h"

#include <array>
#include <string_view>
#include <vector>

#include "EnumTypes.h"
#include "PixelRound.h"
#include "PrimitiveClasses.h"
#include "TLb.h"

namespace labelplu {

namespace {

// Value without leading and trailing blanks (control characters count as
// blanks, as the framework's Trim has it).
std::string TrimBlanks(const std::string& s) {
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return s.substr(begin, end - begin);
}

}  // namespace

const TEnumInfo& BarCodeTypeType() {
  static constexpr std::array<std::string_view, kBarCodeTypeCount> names = {
      "bcUPC_A",   "bcUPC_E",  "bcEAN_8",  "bcEAN_13", "bcInterleaved2of5",
      "bcCodabar", "bcCode11", "bcCode39", "bcCode93", "bcCode128"};
  static const TEnumInfo info{"TStBarCodeType", names};
  return info;
}

TPrShk::TPrShk(TLb& owner) : T_ImageTemplate(owner) {
  SetCaption("Штрихкод");
  SetSmooth(false);
  Font().SetName("Arial");
  Font().SetSize(8);
  StoreValue("1234567890128");
  SetWidth(30.0);
  SetHeight(10.0);
}

TPrShk::~TPrShk() = default;

void TPrShk::SetBarCodeType(TStBarCodeType type) {
  if (type == m_barCodeType) return;
  m_barCodeType = type;
  MarkChanged(true);
}

void TPrShk::SetTextVisible(bool value) {
  if (value == m_textVisible) return;
  m_textVisible = value;
  MarkChanged(true);
}

void TPrShk::SetMaxSymbols(int32_t value) {
  if (value == m_maxSymbols) return;
  m_maxSymbols = value;
  MarkChanged(true);
}

void TPrShk::SetBarNarrowToWideRatio(int32_t value) {
  if (value == m_barNarrowToWideRatio) return;
  m_barNarrowToWideRatio = value;
  MarkChanged(true);
}

void TPrShk::SetBarWidth(double mils) {
  if (mils == m_barWidth) return;
  m_barWidth = mils;
  MarkChanged(true);
}

void TPrShk::SetAddCheckChar(bool value) {
  if (value == m_addCheckChar) return;
  m_addCheckChar = value;
  MarkChanged(true);
}

void TPrShk::ReleaseRenderer() {
  m_encoder.reset();
  m_lastKey = TRenderKey{};
}

void TPrShk::LoadSource() {
  if (!m_encoder) m_encoder = std::make_unique<TStBarCode>();

  // The symbol is painted in the output's own dots: the printer's on paper,
  // the view's at zoom 1 otherwise (the zoom is applied when fitting).
  double p = 0;
  int32_t dpi = 0;
  gdi::TCanvas* canvas = Canvas();
  if (Label().Mode() == kModePrinter && canvas != nullptr) {
    dpi = canvas->GetDeviceCaps(gdi::LOGPIXELSX);
    p = dpi / 25.4;
  } else {
    const TLabelView* view = View();
    double zoom = view != nullptr ? view->ZoomX() : 1.0;
    if (!(zoom > 0)) zoom = 1.0;
    p = PixelsPerMmX() / zoom;
    dpi = RoundPx(p * 25.4);
  }
  TFastBMP& source = MutableSourceImage();
  if (!(p > 0) || dpi < 1) {
    source.SetSize(0, 0);
    return;
  }
  const int32_t w = RoundPx(Width() * p);
  const int32_t h = RoundPx(p * Height());

  TRenderKey key;
  key.Code = TrimBlanks(GetValue());
  key.Font.lfFaceName = Font().Name();
  key.Font.lfCharSet = Font().Charset();
  key.Font.lfHeight = -gdi::MulDiv(Font().Size(), dpi, 72);
  key.Font.lfWeight = Font().HasStyle(fsBold) ? gdi::FW_BOLD : gdi::FW_NORMAL;
  key.Font.lfItalic = Font().HasStyle(fsItalic);
  key.Font.lfUnderline = Font().HasStyle(fsUnderline);
  key.Font.lfStrikeOut = Font().HasStyle(fsStrikeOut);
  // The symbol is pure black and white at the printer's dots, its digits
  // too: a label printer has no grey, and a PDF then takes the whole picture
  // as a one-bit image.
  key.Font.lfQuality = gdi::NONANTIALIASED_QUALITY;
  key.ShowCode = m_textVisible;
  key.Ratio = m_barNarrowToWideRatio;
  key.BarWidth = m_barWidth;
  key.Type = m_barCodeType;
  key.AddCheckChar = m_addCheckChar;
  key.Dpi = dpi;
  key.Width = w;
  key.Height = h;
  if (key == m_lastKey && source.Width() == w && source.Height() == h) return;
  m_lastKey = TRenderKey{};

  // The type goes first so that the data's case follows the new symbology
  // (Code 39 upper, Codabar lower) already on the first rendering.
  m_encoder->SetBarCodeType(key.Type);
  m_encoder->SetCode(key.Code);
  m_encoder->SetShowCode(key.ShowCode);
  m_encoder->SetFont(key.Font);
  m_encoder->SetBarNarrowToWideRatio(key.Ratio);
  m_encoder->SetBarWidth(key.BarWidth);
  m_encoder->SetAddCheckChar(key.AddCheckChar);
  m_encoder->SetResolution(dpi);

  source.SetSize(w, h);
  if (source.IsEmpty()) return;
  source.SetResolution(dpi, dpi);
  m_encoder->RenderTo(source.Canvas(), gdi::RECT{0, 0, w, h});
  // Ends the bitmap's painter so that its pixels are final.
  source.SetResolution(dpi, dpi);
  ++m_renderCount;
  m_lastKey = std::move(key);
}

std::span<const TPropInfo> TPrShk::Properties() const {
  static const std::vector<TPropInfo> table = {
      BaseProp::DS(),
      BaseProp::Value(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      EnumProperty<TPrShk>("BarCodeType", BarCodeTypeType(), &TPrShk::BarCodeType,
                           &TPrShk::SetBarCodeType),
      EnumProperty<TPrShk>("TextVisible", BooleanType(), &TPrShk::TextVisible,
                           &TPrShk::SetTextVisible),
      IntegerProperty<TPrShk>("MaxSymbols", &TPrShk::MaxSymbols, &TPrShk::SetMaxSymbols,
                              INT32_MIN, INT32_MAX),
      IntegerProperty<TPrShk>("BarNarrowToWideRatio", &TPrShk::BarNarrowToWideRatio,
                              &TPrShk::SetBarNarrowToWideRatio, INT32_MIN, INT32_MAX),
      RealProperty<TPrShk>("BarWidth", &TPrShk::BarWidth, &TPrShk::SetBarWidth),
      BaseProp::Font(),
      BaseProp::RotationFixed(),
      EnumProperty<TPrShk>("AddCheckChar", BooleanType(), &TPrShk::AddCheckChar,
                           &TPrShk::SetAddCheckChar)};
  return table;
}

LP_REGISTER_PRIMITIVE(TPrShk)

}  // namespace labelplu
