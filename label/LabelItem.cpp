// labelplu: the item base.
#include "label/LabelItem.h"

#include "label/Label.h"
#include "label/LabelView.h"
#include "label/PixelRound.h"

namespace labelplu {

LabelItem::LabelItem(Label& owner) : m_owner(&owner) {
  m_font.OnChange = [this] { MarkChanged(true); };
}

LabelItem::~LabelItem() = default;

// ---- owner and device ------------------------------------------------------------

EmbeddedImages& LabelItem::Images() const {
  return m_owner->Images();
}

LabelView* LabelItem::View() const {
  return m_owner->View();
}

gdi::Canvas* LabelItem::Canvas() const {
  LabelView* view = View();
  return view == nullptr ? nullptr : view->Canvas();
}

double LabelItem::PixelsPerMmX() const {
  const LabelView* view = View();
  return view == nullptr ? 0.0 : view->PixelsPerMmX();
}

double LabelItem::PixelsPerMmY() const {
  const LabelView* view = View();
  return view == nullptr ? 0.0 : view->PixelsPerMmY();
}

double LabelItem::LabelLeft() const {
  return m_owner->Left();
}

double LabelItem::LabelTop() const {
  return m_owner->Top();
}

bool LabelItem::InUpdate() const {
  return m_owner->InUpdate();
}

gdi::RECT LabelItem::DeviceRect() const {
  const double sx = PixelsPerMmX();
  const double sy = PixelsPerMmY();
  return gdi::RECT{RoundPx(m_left * sx), RoundPx(m_top * sy), RoundPx((m_left + m_width) * sx),
                   RoundPx((m_top + m_height) * sy)};
}

// ---- value and binding --------------------------------------------------------------

void LabelItem::SetValue(const std::string& value) {
  if (value == m_value) return;
  m_value = value;
  MarkChanged(true);
}

std::string LabelItem::GetValue() const {
  return m_value;
}

void LabelItem::SetDataSource(DataSourceKind source) {
  if (source == m_dataSource) return;
  m_dataSource = source;
  std::string value;
  if (static_cast<size_t>(source) < DataSourceNames().size()) {
    if (const CaptionRow* row = FindCaptionByKey(DataSourceNames()[source])) {
      value = std::string(row->Caption);
      value = std::string(row->Sample);
    }
  }
  StoreValue(value);
  if (OnValueChanged) OnValueChanged(*this, m_value);
  MarkChanged(true);
}

// ---- geometry -------------------------------------------------------------------------

double LabelItem::Snap(double v) const {
  if (!m_owner->SnapToGrid()) return v;
  const double grid = m_owner->GridSize();
  if (!(grid > 0)) return v;
  return RoundHalfEven(v / grid) * grid;
}

void LabelItem::SetLeft(double mm) {
  const double v = Snap(mm);
  if (v == m_left) return;
  m_left = v;
  MarkChanged(true);
}

void LabelItem::SetTop(double mm) {
  const double v = Snap(mm);
  if (v == m_top) return;
  m_top = v;
  MarkChanged(true);
}

void LabelItem::SetWidth(double mm) {
  const double v = Snap(mm);
  if (v != m_width) m_width = v;
  if (m_width < 0.5 || std::isnan(m_width)) m_width = 0.5;
  MarkChanged(true);
}

void LabelItem::SetHeight(double mm) {
  const double v = Snap(mm);
  if (v != m_height) m_height = v;
  if (m_height < 0.5 || std::isnan(m_height)) m_height = 0.5;
  MarkChanged(true);
}

void LabelItem::SetAngle(int32_t degrees) {
  if (degrees == m_angle) return;
  // The remainder keeps the spirit of "subtract 360 while above 360" without
  // looping over absurd angles.
  int32_t a = degrees;
  if (a > 360) a = (a - 1) % 360 + 1;
  if (a < 0) a = a % 360 + (a % 360 == 0 ? 0 : 360);
  m_angle = a;
  MarkChanged(true);
}

void LabelItem::SetRotationFixed(Rotation r) {
  m_rotationFixed = r;
  static constexpr int32_t kAngles[] = {0, 90, 180, 270};
  SetAngle(static_cast<size_t>(r) < 4 ? kAngles[r] : 0);
}

// ---- change tracking and drawing objects --------------------------------------------------

void LabelItem::MarkChanged(bool flag) {
  if (flag == m_changed) return;
  m_changed = flag;
  if (!m_owner->InUpdate()) m_owner->Invalidate(false);
  NotifyView();
}

void LabelItem::NotifyView() {
  if (LabelView* view = View()) view->ItemChanged(*this);
}

void LabelItem::SetFont(const ItemFont& font) {
  m_font.Assign(font);
}

void LabelItem::SetDrawBrush(const gdi::Brush& brush) {
  m_drawBrush = brush;
  NotifyView();
}

void LabelItem::SetDrawPen(const gdi::Pen& pen) {
  m_drawPen = pen;
  NotifyView();
}

// ---- outline and painting -------------------------------------------------------------------

void LabelItem::BuildOutline() {
  m_outline.Clear();
  m_outline.AddPoint(m_left, m_top);
  m_outline.AddPoint(m_left + m_width, m_top);
  m_outline.AddPoint(m_left + m_width, m_top + m_height);
  m_outline.AddPoint(m_left, m_top + m_height);
  m_outline.MapToDevice();
}

void LabelItem::Prepare() {
  if ((m_width == 0 && m_height == 0) || !m_changed) return;
  // Without a view there is no scale to map to; stay changed until there is.
  if (View() == nullptr) return;
  BuildOutline();
  m_outline.ShiftToLabel();
  m_outline.BuildRegion();
  m_changed = false;
}

void LabelItem::Draw() {
  if (InUpdate()) return;
  if (gdi::Canvas* canvas = Canvas()) canvas->Polygon(m_outline.Points());
}

void LabelItem::Paint() {
  if (InUpdate()) return;
  gdi::Canvas* canvas = Canvas();
  if (canvas == nullptr) return;
  if (m_changed) Prepare();
  canvas->SelectBrush(m_drawBrush);
  canvas->SelectPen(m_drawPen);
  Draw();
  m_owner->SelectClip();
}

}  // namespace labelplu
