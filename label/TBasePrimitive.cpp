// labelplu: the primitive base.
#include "TBasePrimitive.h"

#include "LabelView.h"
#include "PixelRound.h"
#include "TLb.h"

namespace labelplu {

TBasePrimitive::TBasePrimitive(TLb& owner) : m_owner(&owner) {
  m_font.OnChange = [this] { MarkChanged(true); };
}

TBasePrimitive::~TBasePrimitive() = default;

// ---- owner and device ------------------------------------------------------------

TLabelParams& TBasePrimitive::Params() const {
  return m_owner->Params();
}

TLabelView* TBasePrimitive::View() const {
  return m_owner->View();
}

gdi::TCanvas* TBasePrimitive::Canvas() const {
  TLabelView* view = View();
  return view == nullptr ? nullptr : view->Canvas();
}

double TBasePrimitive::PixelsPerMmX() const {
  const TLabelView* view = View();
  return view == nullptr ? 0.0 : view->PixelsPerMmX();
}

double TBasePrimitive::PixelsPerMmY() const {
  const TLabelView* view = View();
  return view == nullptr ? 0.0 : view->PixelsPerMmY();
}

double TBasePrimitive::LabelLeft() const {
  return m_owner->Left();
}

double TBasePrimitive::LabelTop() const {
  return m_owner->Top();
}

bool TBasePrimitive::InUpdate() const {
  return m_owner->InUpdate();
}

gdi::RECT TBasePrimitive::DeviceRect() const {
  const double sx = PixelsPerMmX();
  const double sy = PixelsPerMmY();
  return gdi::RECT{RoundPx(m_left * sx), RoundPx(m_top * sy), RoundPx((m_left + m_width) * sx),
                   RoundPx((m_top + m_height) * sy)};
}

// ---- value and binding --------------------------------------------------------------

void TBasePrimitive::SetValue(const std::string& value) {
  if (value == m_value) return;
  m_value = value;
  MarkChanged(true);
}

std::string TBasePrimitive::GetValue() const {
  return m_value;
}

void TBasePrimitive::SetDS(TDSType ds) {
  if (ds == m_ds) return;
  m_ds = ds;
  std::string value;
  if (static_cast<size_t>(ds) < DataSourceNames().size()) {
    if (const TCaptionRow* row = FindCaptionByKey(DataSourceNames()[ds])) {
      value = std::string(row->Caption);
      value = std::string(row->Sample);
    }
  }
  StoreValue(value);
  if (OnValueChanged) OnValueChanged(*this, m_value);
  MarkChanged(true);
}

// ---- geometry -------------------------------------------------------------------------

double TBasePrimitive::Snap(double v) const {
  if (!m_owner->SnapToGrid()) return v;
  const double grid = m_owner->GridSize();
  if (!(grid > 0)) return v;
  return RoundHalfEven(v / grid) * grid;
}

void TBasePrimitive::SetLeft(double mm) {
  const double v = Snap(mm);
  if (v == m_left) return;
  m_left = v;
  MarkChanged(true);
}

void TBasePrimitive::SetTop(double mm) {
  const double v = Snap(mm);
  if (v == m_top) return;
  m_top = v;
  MarkChanged(true);
}

void TBasePrimitive::SetWidth(double mm) {
  const double v = Snap(mm);
  if (v != m_width) m_width = v;
  if (m_width < 0.5 || std::isnan(m_width)) m_width = 0.5;
  MarkChanged(true);
}

void TBasePrimitive::SetHeight(double mm) {
  const double v = Snap(mm);
  if (v != m_height) m_height = v;
  if (m_height < 0.5 || std::isnan(m_height)) m_height = 0.5;
  MarkChanged(true);
}

void TBasePrimitive::SetAngle(int32_t degrees) {
  if (degrees == m_angle) return;
  // The remainder keeps the spirit of "subtract 360 while above 360" without
  // looping over absurd angles.
  int32_t a = degrees;
  if (a > 360) a = (a - 1) % 360 + 1;
  if (a < 0) a = a % 360 + (a % 360 == 0 ? 0 : 360);
  m_angle = a;
  MarkChanged(true);
}

void TBasePrimitive::SetRotationFixed(TRotation r) {
  m_rotationFixed = r;
  static constexpr int32_t kAngles[] = {0, 90, 180, 270};
  SetAngle(static_cast<size_t>(r) < 4 ? kAngles[r] : 0);
}

// ---- change tracking and drawing objects --------------------------------------------------

void TBasePrimitive::MarkChanged(bool flag) {
  if (flag == m_changed) return;
  m_changed = flag;
  if (!m_owner->InUpdate()) m_owner->Invalidate(false);
  NotifyView();
}

void TBasePrimitive::NotifyView() {
  if (TLabelView* view = View()) view->PrimitiveChanged(*this);
}

void TBasePrimitive::SetFont(const TFont& font) {
  m_font.Assign(font);
}

void TBasePrimitive::SetDrawBrush(const gdi::TBrush& brush) {
  m_drawBrush = brush;
  NotifyView();
}

void TBasePrimitive::SetDrawPen(const gdi::TPen& pen) {
  m_drawPen = pen;
  NotifyView();
}

// ---- outline and painting -------------------------------------------------------------------

void TBasePrimitive::BuildOutline() {
  m_outline.Clear();
  m_outline.AddPoint(m_left, m_top);
  m_outline.AddPoint(m_left + m_width, m_top);
  m_outline.AddPoint(m_left + m_width, m_top + m_height);
  m_outline.AddPoint(m_left, m_top + m_height);
  m_outline.MapToDevice();
}

void TBasePrimitive::Prepare() {
  if ((m_width == 0 && m_height == 0) || !m_changed) return;
  // Without a view there is no scale to map to; stay changed until there is.
  if (View() == nullptr) return;
  BuildOutline();
  m_outline.ShiftToLabel();
  m_outline.BuildRegion();
  m_changed = false;
}

void TBasePrimitive::Draw() {
  if (InUpdate()) return;
  if (gdi::TCanvas* canvas = Canvas()) canvas->Polygon(m_outline.Points());
}

void TBasePrimitive::Paint() {
  if (InUpdate()) return;
  gdi::TCanvas* canvas = Canvas();
  if (canvas == nullptr) return;
  if (m_changed) Prepare();
  canvas->SelectBrush(m_drawBrush);
  canvas->SelectPen(m_drawPen);
  Draw();
  m_owner->SelectClip();
}

}  // namespace labelplu
