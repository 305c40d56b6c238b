// labelplu: reading the barcodes of a label back before it is printed.
#include "print/BarcodeVerifier.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <QTransform>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

#include "label/DataSources.h"
#include "label/Label.h"
#include "label/LabelView.h"
#include "label/LinearBarcodeItem.h"
#include "label/MatrixBarcodeItem.h"
#include "label/TextItemBase.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/RasterTarget.h"
#include "print/BarcodeReading.h"
#include "render/LinearBarcodeRenderer.h"

namespace labelplu {

namespace {

ZXing::BarcodeFormat ZxingFormat(ReadFormat format) {
  using F = ZXing::BarcodeFormat;
  switch (format) {
    case ReadFormat::UpcA:
      return F::UPCA;
    case ReadFormat::UpcE:
      return F::UPCE;
    case ReadFormat::Ean8:
      return F::EAN8;
    case ReadFormat::Ean13:
      return F::EAN13;
    case ReadFormat::Itf:
      return F::ITF;
    case ReadFormat::Codabar:
      return F::Codabar;
    case ReadFormat::Code39:
      return F::Code39;
    case ReadFormat::Code93:
      return F::Code93;
    case ReadFormat::Code128:
      return F::Code128;
    case ReadFormat::Aztec:
      return F::Aztec;
    case ReadFormat::DataMatrix:
      return F::DataMatrix;
    case ReadFormat::Pdf417:
      return F::PDF417;
    case ReadFormat::MaxiCode:
      return F::MaxiCode;
    case ReadFormat::DataBar:
      return F::DataBar;
    case ReadFormat::DataBarExpanded:
      return F::DataBarExpanded;
    case ReadFormat::None:
      break;
  }
  return F::None;
}

bool IsInk(const QImage& grey, int x, int y) {
  return grey.constScanLine(y)[x] < 128;
}

// src copied onto a white image with margin pixels on every side.
QImage WithMargin(const QImage& src, int margin) {
  QImage out(src.width() + 2 * margin, src.height() + 2 * margin, QImage::Format_Grayscale8);
  out.fill(255);
  for (int y = 0; y < src.height(); ++y) {
    std::memcpy(out.scanLine(y + margin) + margin, src.constScanLine(y),
                static_cast<size_t>(src.width()));
  }
  return out;
}

// The ink of grey with margin white pixels around it: a pure symbol, as
// MaxiCode's reader wants it.
QImage CutToInk(const QImage& grey, int margin) {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
  for (int y = 0; y < grey.height(); ++y) {
    for (int x = 0; x < grey.width(); ++x) {
      if (!IsInk(grey, x, y)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return grey;
  return WithMargin(grey.copy(left, top, right - left + 1, bottom - top + 1), margin);
}

std::string Decode(const QImage& grey, ReadFormat format, bool pure, bool thorough) {
  ZXing::DecodeHints hints;
  hints.setFormats(ZxingFormat(format));
  hints.setTryHarder(thorough);
  hints.setTryRotate(thorough);
  hints.setIsPure(pure);
  hints.setMaxNumberOfSymbols(1);
  hints.setReturnCodabarStartEnd(true);
  hints.setTryCode39ExtendedMode(false);
  hints.setValidateCode39CheckSum(false);
  hints.setValidateITFCheckSum(false);
  const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(),
                              ZXing::ImageFormat::Lum, static_cast<int>(grey.bytesPerLine()));
  const ZXing::Result result = ZXing::ReadBarcode(view, hints);
  return result.isValid() ? result.text() : std::string();
}

std::string FieldOf(const LabelItem& item, int32_t index) {
  const DataSourceKind source = item.DataSource();
  if (source != dsNone) {
    const std::string_view key = DataSourceNames()[source];
    const CaptionRow* row = FindCaptionByKey(key);
    const std::string_view caption = row != nullptr ? row->Caption : key;
    return "field \"" + std::string(caption) + "\" (" + std::string(key) + ")";
  }
  return "item " + std::to_string(index + 1) + " \"" + item.Caption() + "\" (no data source)";
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// Puts the label's view, mode and origin back however the check ends.
class LabelStateGuard {
 public:
  explicit LabelStateGuard(Label& label)
      : m_label(label),
        m_view(label.View()),
        m_mode(label.Mode()),
        m_left(label.Left()),
        m_top(label.Top()) {}
  ~LabelStateGuard() {
    m_label.SetView(m_view);
    m_label.SetMode(m_mode);
    m_label.BeginUpdate();
    try {
      m_label.SetLeft(m_left);
      m_label.SetTop(m_top);
    } catch (...) {
      // Moving back only recomputes outlines; the next paint does so again.
    }
    m_label.EndUpdate(false);
  }
  LabelStateGuard(const LabelStateGuard&) = delete;
  LabelStateGuard& operator=(const LabelStateGuard&) = delete;

 private:
  Label& m_label;
  LabelView* m_view;
  uint8_t m_mode;
  double m_left;
  double m_top;
};

}  // namespace

BarcodeVerifier::BarcodeVerifier(int32_t dpiX, int32_t dpiY)
    : m_dpiX(std::max(dpiX, 1)), m_dpiY(std::max(dpiY, 1)) {}

void BarcodeVerifier::Paint(Label& label) {
  const auto side = [](double mm, int32_t dpi) {
    return std::clamp(static_cast<int32_t>(std::lround(mm * dpi / 25.4)), 1, gdi::kMaxRasterSide);
  };
  const int32_t width = side(label.Width(), m_dpiX);
  const int32_t height = side(label.Height(), m_dpiY);
  if (m_image.width() != width || m_image.height() != height) {
    // The pages' own format: Qt keeps rasterised glyphs per target format,
    // and painting text on another one first would change the printed
    // pages' glyph edges.
    m_image = gdi::CreateRasterImage(width, height, m_dpiX, m_dpiY);
  }
  m_image.fill(Qt::white);
  gdi::Canvas canvas(m_image);
  CanvasView view(&canvas, m_dpiX, m_dpiY);
  label.SetView(&view);
  label.SetMode(kModePrinter);
  label.BeginUpdate();
  try {
    label.SetLeft(0);
    label.SetTop(0);
  } catch (...) {
    label.EndUpdate(false);
    throw;
  }
  label.EndUpdate(false);
  label.PrepareAll(true);
  // The label as Label::Paint paints it, less its text items: drawing their
  // antialiased glyphs ahead of the page would change the glyphs' edges on
  // the printed page (Qt settles a font engine's subpixel positions by the
  // first glyphs it draws). A barcode's own digits are never antialiased.
  try {
    label.ApplyClip();
    for (int32_t i = 0; i < label.ItemCount(); ++i) {
      LabelItem& item = label.Item(i);
      if (dynamic_cast<const TextItemBase*>(&item) == nullptr) item.Paint();
    }
  } catch (...) {
    canvas.RemoveClip();
    throw;
  }
  canvas.RemoveClip();
  canvas.End();
  m_grey = m_image.convertToFormat(QImage::Format_Grayscale8);
}

std::vector<BarcodeFinding> BarcodeVerifier::Check(Label& label) {
  std::vector<BarcodeFinding> findings;
  // The boxes are read while the label still stands at the check's origin.
  const LabelStateGuard guard(label);
  Paint(label);
  for (int32_t i = 0; i < label.ItemCount(); ++i) {
    BarcodeFinding finding;
    if (!CheckItem(label.Item(i), i, finding)) findings.push_back(std::move(finding));
  }
  return findings;
}

bool BarcodeVerifier::CheckItem(const LabelItem& item, int32_t index, BarcodeFinding& finding) {
  ExpectedReading expected;
  std::string error;
  int32_t modulePixels = 0;
  if (const auto* linear = dynamic_cast<const LinearBarcodeItem*>(&item)) {
    const LinearBarcodeRenderer* encoder = linear->Encoder();
    // Nothing is painted for an empty value, and nothing is to be read.
    if (encoder == nullptr || encoder->Code().empty()) return true;
    expected =
        ExpectedLinearReading(encoder->Code(), linear->BarCodeType(), linear->AddCheckChar());
    if (encoder->ErrorFlag()) error = encoder->ErrorMessage();
  } else if (const auto* matrix = dynamic_cast<const MatrixBarcodeItem*>(&item)) {
    if (matrix->Generator() == nullptr && matrix->ErrorMessage().empty()) return true;
    expected = ExpectedMatrixReading(matrix->GetValue(), matrix->BRType2D());
    error = matrix->ErrorMessage();
    modulePixels = matrix->ModulePixels();
  } else {
    return true;
  }
  finding.ItemIndex = index;
  finding.Field = FieldOf(item, index);
  finding.Symbology = expected.Symbology;
  if (!error.empty()) {
    finding.Problem = "the symbol shows \"" + std::string(kBarCodeErrorText) + "\": " + error;
    return false;
  }
  if (expected.Format == ReadFormat::None) {
    ++m_unchecked;
    return true;
  }
  ++m_checked;

  const std::span<const gdi::POINT> points = item.BoxOutline().Points();
  QRect box;
  if (!points.empty()) {
    int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (const gdi::POINT& p : points) {
      left = std::min(left, p.x);
      top = std::min(top, p.y);
      right = std::max(right, p.x);
      bottom = std::max(bottom, p.y);
    }
    box = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & m_grey.rect();
  }
  std::string read;
  if (!box.isEmpty()) {
    QImage crop = m_grey.copy(box);
    // Turned back upright; the reader tries other turns as well.
    if (item.Angle() % 360 != 0) crop = crop.transformed(QTransform().rotate(-item.Angle()));
    crop = crop.convertToFormat(QImage::Format_Grayscale8);
    // Symbols sit in their boxes without quiet zones: white all round, a
    // tenth of an inch and at least 16 dots.
    const int margin = std::max(16, std::max(m_dpiX, m_dpiY) / 10);
    const bool pure = expected.Format == ReadFormat::MaxiCode;
    const QImage grey =
        pure ? CutToInk(crop, 4 * std::max(modulePixels, 2)) : WithMargin(crop, margin);
    // The crop is upright and clean: a quick read nearly always does, and
    // only a symbol it misses costs the reader's thorough search.
    read = Decode(grey, expected.Format, pure, false);
    if (read.empty()) read = Decode(grey, expected.Format, pure, true);
  }
  if (!read.empty() && ReadingMatches(expected, read)) return true;
  if (!read.empty()) {
    finding.Problem = "read " + Quoted(read) + " where " + Quoted(expected.Text) + " was expected";
    return false;
  }
  // UPC/EAN print a given check digit unverified, and a wrong one reads as
  // nothing.
  const bool checkDigit =
      expected.Format == ReadFormat::UpcA || expected.Format == ReadFormat::UpcE ||
      expected.Format == ReadFormat::Ean8 || expected.Format == ReadFormat::Ean13;
  finding.Problem = "nothing could be read where " + Quoted(expected.Text) +
                    " was expected (is the box large enough for the symbol" +
                    (checkDigit ? ", and its check digit right?)" : "?)");
  return false;
}

std::string DescribeFinding(int32_t record, const BarcodeFinding& finding) {
  return "Barcode check failed: record " + std::to_string(record) + ", " + finding.Field + ", " +
         finding.Symbology + ": " + finding.Problem + ". Nothing was printed.";
}

}  // namespace labelplu
