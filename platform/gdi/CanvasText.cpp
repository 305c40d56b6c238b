// labelplu: the canvas's fonts, text output and text measurement.
#include <QFontMetricsF>
#include <QString>

#include <cmath>
#include <string>

#include "platform/gdi/CanvasInternal.h"
#include "platform/gdi/RasterTarget.h"

namespace labelplu::gdi {
namespace {

// The largest character height a font may have; larger requests are
// refused instead of making the glyph cache grow without bound.
constexpr int32_t kMaxFontPixels = 16384;
// Design metrics are read at this size, where rounding plays no part.
constexpr int kReferencePixels = 1000;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

Canvas::FontState BuildFontState(const LOGFONT& lf, int32_t dpiY) {
  if (!HasGuiApplication()) {
    throw GdiError("fonts need a QGuiApplication or QApplication, and this process has none");
  }
  if (lf.lfWeight < 0 || lf.lfWeight > 1000) {
    throw GdiError("font weight " + std::to_string(lf.lfWeight) + " is outside 0..1000");
  }
  const int64_t height = lf.lfHeight;
  if (height > kMaxFontPixels || height < -kMaxFontPixels) {
    throw GdiError("font height " + std::to_string(lf.lfHeight) + " pixels is beyond " +
                   std::to_string(kMaxFontPixels));
  }
  Canvas::FontState state;
  QFont& font = state.font;
  font.setFamily(QString::fromStdString(lf.lfFaceName));
  QFont::StyleStrategy strategy = QFont::NoSubpixelAntialias;
  strategy = QFont::StyleStrategy(
      strategy |
      (lf.lfQuality == NONANTIALIASED_QUALITY ? QFont::NoAntialias : QFont::PreferAntialias));
  font.setStyleStrategy(strategy);
  // Unhinted outlines and no kerning: widths are the sum of the design
  // advances, the same on every device and every machine.
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(false);
  font.setWeight(static_cast<QFont::Weight>(lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight));
  font.setItalic(lf.lfItalic);
  font.setUnderline(lf.lfUnderline);
  font.setStrikeOut(lf.lfStrikeOut);
  if ((lf.lfPitchAndFamily & 0x3) == FIXED_PITCH) {
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
  }

  font.setPixelSize(kReferencePixels);
  const QFontMetricsF reference(font);
  const double ascent = reference.ascent() / kReferencePixels;
  const double descent = reference.descent() / kReferencePixels;
  TEXTMETRIC& tm = state.metrics;
  if (lf.lfHeight > 0) {
    // A cell height: the character height follows from the face's proportions.
    state.em = std::max(1, static_cast<int32_t>(std::lround(lf.lfHeight / (ascent + descent))));
    tm.tmHeight = lf.lfHeight;
    tm.tmAscent = static_cast<int32_t>(std::lround(lf.lfHeight * ascent / (ascent + descent)));
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
  } else {
    state.em = lf.lfHeight < 0 ? -lf.lfHeight : std::max(1, MulDiv(8, dpiY, 72));
    tm.tmAscent = static_cast<int32_t>(std::lround(state.em * ascent));
    tm.tmDescent = static_cast<int32_t>(std::lround(state.em * descent));
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
  }
  tm.tmInternalLeading = tm.tmHeight - state.em;
  tm.tmExternalLeading = static_cast<int32_t>(
      std::lround(std::max(0.0, reference.leading()) * state.em / kReferencePixels));
  tm.tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
  font.setPixelSize(state.em);
  const QFontMetricsF actual(font);
  tm.tmAveCharWidth = static_cast<int32_t>(std::lround(actual.horizontalAdvance(QLatin1Char('x'))));
  tm.tmMaxCharWidth = static_cast<int32_t>(std::lround(actual.maxWidth()));
  return state;
}

SIZE Canvas::GetTextExtentPoint32(std::string_view text) const {
  const FontState& fs = Font();
  const double width = QFontMetricsF(fs.font).horizontalAdvance(FromUtf8(text));
  return SIZE{static_cast<int32_t>(std::lround(width)), fs.metrics.tmHeight};
}

TEXTMETRIC Canvas::GetTextMetrics() const {
  return Font().metrics;
}

void Canvas::TextOut(int32_t x, int32_t y, std::string_view text) {
  RequireActive();
  const FontState& fs = Font();
  const QString s = FromUtf8(text);
  const SIZE cell = GetTextExtentPoint32(text);
  m_painter->save();
  m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
  m_painter->translate(x, y);
  const int32_t escapement = m_logFont.lfEscapement % 3600;
  if (escapement != 0)
    m_painter->rotate(-escapement / 10.0);  // Qt turns clockwise, the platform counter-clockwise
  if (m_bkMode == OPAQUE && cell.cx > 0)
    m_painter->fillRect(QRect(0, 0, cell.cx, cell.cy), ToQColor(m_bkColor));
  m_painter->setRenderHint(QPainter::TextAntialiasing,
                           m_logFont.lfQuality != NONANTIALIASED_QUALITY);
  m_painter->setFont(fs.font);
  m_painter->setPen(ToQColor(m_textColor));
  m_painter->setBrush(Qt::NoBrush);
  m_painter->drawText(QPointF(0, fs.metrics.tmAscent), s);
  m_painter->restore();
}

}  // namespace labelplu::gdi
