// labelplu: the label: items, values, updates and painting.
#include "label/Label.h"

#include <QFileInfo>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/TextUtils.h"
#include "label/DataSources.h"
#include "label/LabelItem.h"
#include "label/PixelRound.h"
#include "label/PropText.h"
#include "platform/sys/ModulePath.h"

namespace labelplu {

namespace {

// The caption of the picture class: a picture takes no text values.
constexpr std::string_view kPictureCaption = "Картинка";

// Closes an update block when the scope ends, also by an exception.
class UpdateBlock {
 public:
  explicit UpdateBlock(Label& label) : m_label(label) { m_label.BeginUpdate(); }
  ~UpdateBlock() { m_label.EndUpdate(true); }
  UpdateBlock(const UpdateBlock&) = delete;
  UpdateBlock& operator=(const UpdateBlock&) = delete;

 private:
  Label& m_label;
};

}  // namespace

Label::Label() = default;

Label::~Label() {
  // Items may reach the label while they go; keep it whole until then.
  m_updateCount = 1;
  m_items.clear();
}

// ---- items --------------------------------------------------------------

void Label::Clear() {
  {
    UpdateBlock block(*this);
    while (!m_items.empty()) m_items.erase(m_items.begin());
  }
  m_images.Clear();
}

LabelItem& Label::AddItem(const ItemClass& itemClass) {
  if (itemClass.Create == nullptr)
    throw std::invalid_argument("item class \"" + itemClass.ClassName + "\" has no factory");
  UpdateBlock block(*this);
  std::unique_ptr<LabelItem> created = itemClass.Create(*this);
  if (!created)
    throw std::runtime_error("item class \"" + itemClass.ClassName + "\" created nothing");
  LabelItem& item = *created;
  m_items.push_back(std::move(created));
  item.OnValueChanged = [this](LabelItem& p, const std::string& value) { ValueChanged(p, value); };
  item.SetLeft(0);
  item.SetTop(0);
  item.SetWidth(item.Width());
  item.SetHeight(item.Height());
  return item;
}

void Label::DeleteItem(LabelItem* item) {
  if (item == nullptr) return;
  const auto it =
      std::find_if(m_items.begin(), m_items.end(), [&](const auto& p) { return p.get() == item; });
  if (it == m_items.end()) return;
  m_items.erase(it);
  Invalidate(false);
}

void Label::ValueChanged(LabelItem& item, const std::string& value) {
  if (item.Caption() == kPictureCaption && !value.empty()) item.SetValue(std::string());
}

// ---- values ------------------------------------------------------------------

void Label::FillValue(std::string_view valueName, std::string_view value) {
  std::string_view key = valueName;
  if (const auto found = FindKeyByCaption(valueName)) key = *found;
  // Iterate by index: a value may not add or remove items, but the
  // vector must not be walked by iterators across calls into items.
  for (size_t i = 0; i < m_items.size(); ++i) {  // NOLINT(modernize-loop-convert)
    LabelItem* p = m_items[i].get();
    if (SameText(GetPropText(p, "DS"), key)) SetPropText(p, "Value", value);
  }
}

QImage Label::FindImage(std::string_view name) const {
  return FindImageIn(name, sys::ModuleDirectory());
}

std::string Label::PictureFilePath(std::string_view name, const std::string& folder) {
  std::string path(name);
  if (!path.empty() && path.front() != '/') path = folder + path;
  return path;
}

QImage Label::FindImageIn(std::string_view name, const std::string& folder) const {
  if (const EmbeddedImage* image = m_images.Find(name)) return image->Bitmap();
  if (name.empty()) return QImage();
  const std::string path = PictureFilePath(name, folder);
  const QFileInfo info(QString::fromStdString(path));
  if (!info.exists() || !info.isFile()) return QImage();
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error(path + ": the file cannot be read");
  const int64_t size = info.size();
  if (size < 0 || static_cast<uint64_t>(size) > kMaxTemplateBytes)
    throw std::runtime_error(path + ": not a bitmap file: too large");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  file.read(reinterpret_cast<char*>(bytes.data()), size);
  if (file.gcount() != size) throw std::runtime_error(path + ": the file cannot be read");
  try {
    return DecodeBitmapFile(bytes);
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(path + ": " + e.what());
  }
}

// ---- updates and painting ------------------------------------------------------

void Label::EndUpdate(bool repaint) {
  if (m_updateCount > 0) --m_updateCount;
  if (m_updateCount == 0 && m_mode != kModeOffScreen && repaint) Invalidate(false);
}

void Label::Invalidate(bool force) {
  if (!force && InUpdate()) return;
  if (m_invalidating) return;
  m_invalidating = true;
  try {
    PrepareAll(force);
    Paint();
  } catch (...) {
    m_invalidating = false;
    throw;
  }
  m_invalidating = false;
  if (OnChanged) OnChanged(*this);
}

void Label::PrepareAll(bool force) {
  if (InUpdate() && !force) return;
  // Marking an item changed asks for a repaint; the caller paints once
  // after all are prepared, so those requests are dropped meanwhile.
  const bool wasInvalidating = m_invalidating;
  m_invalidating = true;
  try {
    // By index, as everywhere items call back into their label.
    for (size_t i = 0; i < m_items.size(); ++i) {  // NOLINT(modernize-loop-convert)
      LabelItem& p = *m_items[i];
      if (force) p.MarkChanged(true);
      p.Prepare();
    }
  } catch (...) {
    m_invalidating = wasInvalidating;
    throw;
  }
  m_invalidating = wasInvalidating;
}

void Label::Paint() {
  if (InUpdate() || m_view == nullptr) return;
  gdi::Canvas* canvas = m_view->Canvas();
  if (canvas == nullptr) return;
  try {
    ApplyClip();
    gdi::RECT box;
    canvas->GetClipBox(box);
    canvas->FillRect(box, gdi::Brush{gdi::BS_SOLID, gdi::RGB(255, 255, 255)});
    for (size_t i = 0; i < m_items.size(); ++i)  // NOLINT(modernize-loop-convert)
      m_items[i]->Paint();
  } catch (...) {
    canvas->RemoveClip();
    throw;
  }
  canvas->RemoveClip();
}

void Label::ApplyClip() {
  if (m_view == nullptr) return;
  const double sx = m_view->PixelsPerMmX();
  const double sy = m_view->PixelsPerMmY();
  m_clipRegion = gdi::Region::CreateRectRgn(
      RoundPx(sx * (m_left + m_marginX)), RoundPx(sy * (m_top + m_marginY)),
      RoundPx(sx * (m_left + m_width - m_marginX)), RoundPx(sy * (m_top + m_height - m_marginY)));
  SelectClip();
}

void Label::SelectClip() {
  if (m_view == nullptr) return;
  if (gdi::Canvas* canvas = m_view->Canvas()) canvas->SelectClipRgn(&m_clipRegion);
}

// ---- properties ------------------------------------------------------------------

void Label::SetWidth(double mm) {
  m_width = mm;
  if (m_view != nullptr) m_view->UpdateLayout();
}

void Label::SetHeight(double mm) {
  m_height = mm;
  if (m_view != nullptr) m_view->UpdateLayout();
}

void Label::SetLeft(double mm) {
  if (mm == m_left) return;
  m_left = mm;
  for (const auto& p : m_items) {
    p->BoxOutline().ShiftToLabel();
    p->BoxOutline().BuildRegion();
  }
  Invalidate(false);
}

void Label::SetTop(double mm) {
  if (mm == m_top) return;
  m_top = mm;
  for (const auto& p : m_items) {
    p->BoxOutline().ShiftToLabel();
    p->BoxOutline().BuildRegion();
  }
  Invalidate(false);
}

void Label::SetMode(uint8_t mode) {
  m_mode = mode;
  if ((mode == kModePrinter || mode == kModePrinter3) && m_view != nullptr) {
    m_view->SetZoomX(1.0);
    m_view->SetZoomY(1.0);
  }
}

std::span<const PropertyInfo> Label::Properties() const {
  static const std::vector<PropertyInfo> table = {
      RealProperty<Label>("Height", &Label::Height, &Label::SetHeight, kMaxLabelSideMm),
      RealProperty<Label>("Width", &Label::Width, &Label::SetWidth, kMaxLabelSideMm),
      RealProperty<Label>("Left", &Label::Left, &Label::SetLeft, kLengthLimitMm),
      RealProperty<Label>("Top", &Label::Top, &Label::SetTop, kLengthLimitMm),
  };
  return table;
}

}  // namespace labelplu
