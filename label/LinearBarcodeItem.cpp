// labelplu: the linear barcode item.
#include "label/LinearBarcodeItem.h"

#include <array>
#include <string_view>
#include <vector>

#include "label/EnumTypes.h"
#include "label/ItemClasses.h"
#include "label/Label.h"
#include "label/PixelRound.h"

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

const EnumInfo& BarCodeTypeType() {
  static constexpr std::array<std::string_view, kBarCodeTypeCount> kNames = {
      "bcUPC_A",   "bcUPC_E",  "bcEAN_8",  "bcEAN_13", "bcInterleaved2of5",
      "bcCodabar", "bcCode11", "bcCode39", "bcCode93", "bcCode128"};
  static const EnumInfo info{"TStBarCodeType", kNames};
  return info;
}

LinearBarcodeItem::LinearBarcodeItem(Label& owner) : ImageItemBase(owner) {
  SetCaption("Штрихкод");
  SetSmooth(false);
  Font().SetName("Arial");
  Font().SetSize(8);
  StoreValue("1234567890128");
  SetWidth(30.0);
  SetHeight(10.0);
}

LinearBarcodeItem::~LinearBarcodeItem() = default;

void LinearBarcodeItem::SetBarCodeType(BarcodeSymbology type) {
  if (type == m_barCodeType) return;
  m_barCodeType = type;
  MarkChanged(true);
}

void LinearBarcodeItem::SetTextVisible(bool value) {
  if (value == m_textVisible) return;
  m_textVisible = value;
  MarkChanged(true);
}

void LinearBarcodeItem::SetMaxSymbols(int32_t value) {
  if (value == m_maxSymbols) return;
  m_maxSymbols = value;
  MarkChanged(true);
}

void LinearBarcodeItem::SetBarNarrowToWideRatio(int32_t value) {
  if (value == m_barNarrowToWideRatio) return;
  m_barNarrowToWideRatio = value;
  MarkChanged(true);
}

void LinearBarcodeItem::SetBarWidth(double mils) {
  if (mils == m_barWidth) return;
  m_barWidth = mils;
  MarkChanged(true);
}

void LinearBarcodeItem::SetAddCheckChar(bool value) {
  if (value == m_addCheckChar) return;
  m_addCheckChar = value;
  MarkChanged(true);
}

void LinearBarcodeItem::ReleaseRenderer() {
  m_encoder.reset();
  m_lastKey = RenderKey{};
}

void LinearBarcodeItem::LoadSource() {
  if (!m_encoder) m_encoder = std::make_unique<LinearBarcodeRenderer>();

  // The symbol is painted in the output's own dots: the printer's on paper,
  // the view's at zoom 1 otherwise (the zoom is applied when fitting).
  double p = 0;
  int32_t dpi = 0;
  gdi::Canvas* canvas = Canvas();
  if (OwnerLabel().Mode() == kModePrinter && canvas != nullptr) {
    dpi = canvas->GetDeviceCaps(gdi::LOGPIXELSX);
    p = dpi / 25.4;
  } else {
    const LabelView* view = View();
    double zoom = view != nullptr ? view->ZoomX() : 1.0;
    if (!(zoom > 0)) zoom = 1.0;
    p = PixelsPerMmX() / zoom;
    dpi = RoundPx(p * 25.4);
  }
  Bgr24Bitmap& source = MutableSourceImage();
  if (!(p > 0) || dpi < 1) {
    source.SetSize(0, 0);
    m_errorMessage.clear();
    return;
  }
  const int32_t w = RoundPx(Width() * p);
  const int32_t h = RoundPx(p * Height());

  RenderKey key;
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
  m_lastKey = RenderKey{};
  m_errorMessage.clear();

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
  m_errorMessage = m_encoder->ErrorMessage();
  // Ends the bitmap's painter so that its pixels are final.
  source.SetResolution(dpi, dpi);
  ++m_renderCount;
  m_lastKey = std::move(key);
}

std::span<const PropertyInfo> LinearBarcodeItem::Properties() const {
  static const std::vector<PropertyInfo> table = {
      BaseProp::DataSource(),
      BaseProp::Value(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      EnumProperty<LinearBarcodeItem>("BarCodeType", BarCodeTypeType(),
                                      &LinearBarcodeItem::BarCodeType,
                                      &LinearBarcodeItem::SetBarCodeType),
      EnumProperty<LinearBarcodeItem>("TextVisible", BooleanType(), &LinearBarcodeItem::TextVisible,
                                      &LinearBarcodeItem::SetTextVisible),
      IntegerProperty<LinearBarcodeItem>("MaxSymbols", &LinearBarcodeItem::MaxSymbols,
                                         &LinearBarcodeItem::SetMaxSymbols, INT32_MIN, INT32_MAX),
      IntegerProperty<LinearBarcodeItem>(
          "BarNarrowToWideRatio", &LinearBarcodeItem::BarNarrowToWideRatio,
          &LinearBarcodeItem::SetBarNarrowToWideRatio, INT32_MIN, INT32_MAX),
      RealProperty<LinearBarcodeItem>("BarWidth", &LinearBarcodeItem::BarWidth,
                                      &LinearBarcodeItem::SetBarWidth),
      BaseProp::Font(),
      BaseProp::RotationFixed(),
      EnumProperty<LinearBarcodeItem>("AddCheckChar", BooleanType(),
                                      &LinearBarcodeItem::AddCheckChar,
                                      &LinearBarcodeItem::SetAddCheckChar)};
  return table;
}

LP_REGISTER_LABEL_ITEM(LinearBarcodeItem, "Shk")

}  // namespace labelplu
