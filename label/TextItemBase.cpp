// labelplu: the common base of the text items.
#include "label/TextItemBase.h"

#include <cstdint>

#include "label/Label.h"
#include "label/PixelRound.h"
#include "render/CanvasTextMeasure.h"

namespace labelplu {

namespace {

// Undoes what Draw changed on the canvas, also when a step throws.
class CanvasRestore {
 public:
  CanvasRestore(gdi::Canvas& canvas, Label& label)
      : m_canvas(canvas), m_label(label), m_font(canvas.GetFont()) {}
  ~CanvasRestore() {
    try {
      m_canvas.SelectFont(m_font);
      m_canvas.RemoveClip();
      m_label.SelectClip();
    } catch (...) {
      // The canvas has ended or cannot select fonts; the next paint sets
      // everything again.
    }
  }
  CanvasRestore(const CanvasRestore&) = delete;
  CanvasRestore& operator=(const CanvasRestore&) = delete;

 private:
  gdi::Canvas& m_canvas;
  Label& m_label;
  gdi::LOGFONT m_font;
};

// The pixel after v (text is written one pixel right of and below its
// layout position), saturated.
int32_t NextPx(int32_t v) {
  return v < INT32_MAX ? v + 1 : v;
}

}  // namespace

TextItemBase::TextItemBase(Label& owner) : LabelItem(owner) {
  SetCaption("Шаблон текстового примитива");
  Font().SetName("Arial");
  Font().SetColor(kColorBlack);
  gdi::Pen pen = DrawPen();
  pen.style = gdi::PS_NULL;
  SetDrawPen(pen);
}

void TextItemBase::SetHAlign(HorizontalAlignment align) {
  if (align == m_hAlign) return;
  m_hAlign = align;
  MarkChanged(true);
}

void TextItemBase::SetVAlign(VerticalAlignment align) {
  if (align == m_vAlign) return;
  m_vAlign = align;
  MarkChanged(true);
}

void TextItemBase::SetNegative(bool negative) {
  if (negative == m_negative) return;
  m_negative = negative;
  Font().SetColor(negative ? kColorWhite : kColorBlack);
  gdi::Brush brush = DrawBrush();
  brush.color = negative ? gdi::RGB(0, 0, 0) : gdi::RGB(255, 255, 255);
  SetDrawBrush(brush);
  MarkChanged(true);
}

void TextItemBase::Prepare() {
  const bool wasChanged = Changed();
  LabelItem::Prepare();
  if (!wasChanged || Changed()) return;
  ClipOutline().Clear();
  ClipOutline().AddPoint(Left(), Top());
  ClipOutline().AddPoint(Left() + Width(), Top());
  ClipOutline().AddPoint(Left() + Width(), Top() + Height());
  ClipOutline().AddPoint(Left(), Top() + Height());
  ClipOutline().MapToDevice();
}

gdi::LOGFONT TextItemBase::DeviceFont() const {
  gdi::LOGFONT font;
  font.lfFaceName = Font().Name();
  font.lfQuality = gdi::ANTIALIASED_QUALITY;
  font.lfCharSet = Font().Charset();
  font.lfEscapement = -10 * Angle();
  const int32_t dpi = RoundPx(PixelsPerMmY() * 25.4);
  font.lfHeight = -gdi::MulDiv(Font().Size(), dpi, 72);
  font.lfWeight = Font().HasStyle(fsBold) ? gdi::FW_BOLD : gdi::FW_NORMAL;
  font.lfItalic = Font().HasStyle(fsItalic);
  font.lfUnderline = Font().HasStyle(fsUnderline);
  font.lfStrikeOut = Font().HasStyle(fsStrikeOut);
  return font;
}

void TextItemBase::Draw() {
  if (InUpdate()) return;
  gdi::Canvas* canvas = Canvas();
  if (canvas == nullptr) return;
  const gdi::RECT r = DeviceRect();
  const gdi::LOGFONT font = DeviceFont();
  canvas->SetTextColor(ColorToRgb(Font().Color()));
  canvas->SelectBrush(DrawBrush());
  const std::string text = GetValue();

  CanvasRestore restore(*canvas, OwnerLabel());
  ClipOutline().ShiftToLabel();
  ClipOutline().BuildRegion();
  canvas->ExtSelectClipRgn(ClipOutline().Region(), gdi::RGN_AND);
  canvas->SelectFont(font);

  const int32_t width = r.right - r.left;
  const int32_t height = r.bottom - r.top;
  const CanvasTextMeasure measure(*canvas);
  TextPage page;
  page.SetVAlign(m_vAlign);
  page.SetHAlign(m_hAlign);
  page.SetWidth(width);
  page.SetHeight(height);
  page.SetLeft(r.left);
  page.SetTop(r.top);
  page.SetDC(&measure);
  page.SetText(text);

  // The centre the lines turn about, in whole pixels.
  const int32_t cx = r.left + width / 2;
  const int32_t cy = r.top + height / 2;
  const double ox = PixelsPerMmX() * LabelLeft();
  const double oy = PixelsPerMmY() * LabelTop();
  for (const TextLine& line : page.Lines()) {
    double x = line.X;
    double y = line.Y;
    RotatePoint(cx, cy, Angle(), x, y);
    canvas->TextOut(NextPx(RoundPx(x + ox)), NextPx(RoundPx(y + oy)), line.Text);
  }
}

}  // namespace labelplu
