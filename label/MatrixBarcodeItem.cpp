// labelplu: the two-dimensional barcode item.
#include "label/MatrixBarcodeItem.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <functional>
#include <limits>
#include <string_view>
#include <vector>

#include "label/EnumTypes.h"
#include "label/ItemClasses.h"
#include "label/Label.h"
#include "label/PixelRound.h"
#include "render/LinearBarcodeRenderer.h"

namespace labelplu {

namespace {

constexpr gdi::COLORREF kWhite = gdi::RGB(255, 255, 255);
constexpr int32_t kMaxModulePixels = 64;

struct PictureSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// The size in dots of the picture that stands for a box of boxW × boxH dots.
// ImageItemBase fits a picture by scaling the square that holds it in any
// rotation; of the whole-dot sizes next to the box, the first whose square
// keeps its side through that scaling is taken, so that the fit copies the
// picture dot for dot.
PictureSize PictureSizeFor(double boxW, double boxH) {
  const auto lowW = static_cast<int32_t>(std::max(1.0, std::floor(boxW)));
  const auto lowH = static_cast<int32_t>(std::max(1.0, std::floor(boxH)));
  const std::array<PictureSize, 4> candidates = {
      PictureSize{lowW, lowH}, PictureSize{lowW, lowH + 1}, PictureSize{lowW + 1, lowH},
      PictureSize{lowW + 1, lowH + 1}};
  PictureSize best = candidates[0];
  double bestDrift = std::numeric_limits<double>::infinity();
  for (const PictureSize& c : candidates) {
    int32_t d = RoundPx(std::sqrt(double(c.Width) * c.Width + double(c.Height) * c.Height)) + 2;
    if (c.Width % 2 == c.Height % 2 && d % 2 != c.Width % 2) ++d;
    const double k = std::min(boxW / c.Width, boxH / c.Height);
    if (RoundPx(d * k) == d) return c;
    const double drift = std::abs(d * k - d);
    if (drift < bestDrift) {
      bestDrift = drift;
      best = c;
    }
  }
  return best;
}

// The symbol (Format_Grayscale8) centred on a white picture of the given
// size; a symbol larger than that is taken as it is, for the fit to shrink.
void LoadCentred(const QImage& symbol, int32_t width, int32_t height, Bgr24Bitmap& dest) {
  if (symbol.width() > width || symbol.height() > height) {
    dest.LoadFromBitmapHandle(symbol);
    return;
  }
  dest.SetSize(width, height);
  dest.Fill(kWhite);
  const int32_t x0 = (width - symbol.width()) / 2;
  const int32_t y0 = (height - symbol.height()) / 2;
  for (int32_t y = 0; y < symbol.height(); ++y) {
    const uchar* from = symbol.constScanLine(y);
    uint8_t* to = dest.Row(height - 1 - (y0 + y)) + 3 * x0;
    for (int32_t x = 0; x < symbol.width(); ++x, to += 3) to[0] = to[1] = to[2] = from[x];
  }
}

}  // namespace

const EnumInfo& BRType2DType() {
  static constexpr std::array<std::string_view, 6> kNames = {
      "br2Aztec", "br2DataMatrix", "br2PDF417", "br2MaxiCode", "br2MicroPDF417", "br2RSS"};
  static const EnumInfo info{"TBRType2D", kNames};
  return info;
}

MatrixBarcodeItem::MatrixBarcodeItem(Label& owner) : ImageItemBase(owner) {
  SetCaption("2D Штрихкод");
  SetSmooth(false);
  StoreValue("2D Штрихкод");
}

MatrixBarcodeItem::~MatrixBarcodeItem() = default;

void MatrixBarcodeItem::SetAspectRatio(float value) {
  if (value == m_aspectRatio) return;
  m_aspectRatio = value;
  MarkChanged(true);
}

void MatrixBarcodeItem::SetErrorCorrection(int16_t value) {
  if (value == m_errorCorrection) return;
  m_errorCorrection = value;
  MarkChanged(true);
}

void MatrixBarcodeItem::SetHeightToWidth(int16_t value) {
  if (value == m_heightToWidth) return;
  m_heightToWidth = value;
  MarkChanged(true);
}

void MatrixBarcodeItem::SetBRType2D(MatrixSymbology value) {
  if (value == m_brType2D) return;
  m_brType2D = value;
  MarkChanged(true);
}

bool MatrixBarcodeItem::HasImage() const {
  return m_generator != nullptr && ImageItemBase::HasImage();
}

template <class Step>
void MatrixBarcodeItem::RunStep(Step step) {
  const auto& hook = OwnerLabel().RunThroughHost;
  if (!hook) {
    step();
    return;
  }
  // The host calls back through a C interface: nothing may unwind through it.
  std::exception_ptr failure;
  const std::function<void()> guarded = [&step, &failure] {
    try {
      step();
    } catch (...) {
      failure = std::current_exception();
    }
  };
  hook(guarded);
  if (failure) std::rethrow_exception(failure);
}

void MatrixBarcodeItem::LoadSource() {
  const double ppmX = PixelsPerMmX();
  const double ppmY = PixelsPerMmY();
  if (!(ppmX > 0) || !(ppmY > 0)) {
    MutableSourceImage().SetSize(0, 0);
    return;
  }
  const PictureSize size = PictureSizeFor(ppmX * Width(), ppmY * Height());
  RenderKey key;
  key.Value = GetValue();
  key.AspectRatio = m_aspectRatio;
  key.ErrorCorrection = m_errorCorrection;
  key.HeightToWidth = m_heightToWidth;
  key.Type = m_brType2D;
  key.Width = size.Width;
  key.Height = size.Height;
  if (HasImage() && key == m_lastKey) return;
  RunStep([this, &key] { Generate(key); });
}

void MatrixBarcodeItem::Generate(const RenderKey& key) {
  m_lastKey = RenderKey{};
  m_modulePixels = 0;
  m_errorMessage.clear();
  if (!m_generator) {
    m_generator = std::make_unique<MatrixBarcodeGenerator>();
    m_generator->SetCodeType(1);
    m_generator->SetCaption("123456789");
    m_generator->SetScaleMode(MatrixBarcodeGenerator::kScaleModeMillimetres);
  }
  MatrixBarcodeGenerator& g = *m_generator;
  g.SetAspectRatio(key.AspectRatio);
  g.SetCodeType(static_cast<int16_t>(key.Type));
  g.SetSecurityLevel(key.ErrorCorrection);
  g.SetHeightToWidth(key.HeightToWidth);
  g.SetCaption(key.Value);
  try {
    // One dot per module tells the symbol's size in modules; the largest
    // whole module that fits follows. MaxiCode's hexagons do not grow quite
    // linearly, hence the check after rendering.
    g.SetModulePixels(1);
    g.Refresh();
    const int32_t w1 = std::max(g.Image().width(), 1);
    const int32_t h1 = std::max(g.Image().height(), 1);
    int32_t px = std::clamp(std::min(key.Width / w1, key.Height / h1), 1, kMaxModulePixels);
    while (px > 1) {
      g.SetModulePixels(px);
      g.Refresh();
      if (g.Image().width() <= key.Width && g.Image().height() <= key.Height) break;
      if (--px == 1) {
        g.SetModulePixels(1);
        g.Refresh();
      }
    }
    LoadCentred(g.Image(), key.Width, key.Height, MutableSourceImage());
    m_modulePixels = px;
  } catch (const MatrixBarcodeError& e) {
    m_errorMessage = e.what();
    LoadErrorPicture(key.Width, key.Height);
  }
  ++m_renderCount;
  m_lastKey = key;
}

void MatrixBarcodeItem::LoadErrorPicture(int32_t width, int32_t height) {
  LoadPlaceholder(width, height);
  Bgr24Bitmap& source = MutableSourceImage();
  const int32_t dpi = std::max(RoundPx(PixelsPerMmX() * 25.4), 1);
  try {
    source.SetResolution(dpi, dpi);
    gdi::Canvas& canvas = source.Canvas();
    gdi::LOGFONT font;
    font.lfFaceName = "Arial";
    font.lfCharSet = 204;
    // 8 points, smaller when the box is low.
    font.lfHeight = -std::max(1, std::min(gdi::MulDiv(8, dpi, 72), height / 2));
    canvas.SelectFont(font);
    canvas.SetBkMode(gdi::TRANSPARENT);
    canvas.SetTextColor(gdi::RGB(0, 0, 0));
    const gdi::SIZE extent = canvas.GetTextExtentPoint32(kBarCodeErrorText);
    canvas.TextOut((width - extent.cx) / 2, (height - extent.cy) / 2, kBarCodeErrorText);
  } catch (const std::exception&) {
    // Without fonts the framed box alone tells that the symbol is missing.
  }
  // Ends the bitmap's painter so that its pixels are final.
  source.SetResolution(dpi, dpi);
}

void MatrixBarcodeItem::ReleaseRenderer() {
  RunStep([this] {
    m_generator.reset();
    m_lastKey = RenderKey{};
  });
}

std::span<const PropertyInfo> MatrixBarcodeItem::Properties() const {
  static const std::vector<PropertyInfo> table = {
      BaseProp::DataSource(),
      BaseProp::Value(),
      BaseProp::Left(),
      BaseProp::Top(),
      BaseProp::Width(),
      BaseProp::Height(),
      BaseProp::RotationFixed(),
      EnumProperty<MatrixBarcodeItem>("BRType2D", BRType2DType(), &MatrixBarcodeItem::BRType2D,
                                      &MatrixBarcodeItem::SetBRType2D),
      IntegerProperty<MatrixBarcodeItem>("ErrorCorrection", &MatrixBarcodeItem::ErrorCorrection,
                                         &MatrixBarcodeItem::SetErrorCorrection, INT16_MIN,
                                         INT16_MAX),
      IntegerProperty<MatrixBarcodeItem>("HeightToWidth", &MatrixBarcodeItem::HeightToWidth,
                                         &MatrixBarcodeItem::SetHeightToWidth, INT16_MIN,
                                         INT16_MAX),
      RealProperty<MatrixBarcodeItem>("AspectRatio", &MatrixBarcodeItem::AspectRatio,
                                      &MatrixBarcodeItem::SetAspectRatio, 3.0e38)};
  return table;
}

LP_REGISTER_LABEL_ITEM(MatrixBarcodeItem, "2DShk")

}  // namespace labelplu
