// labelplu: the item base. Every element of a label (text, barcode,
// image, line, rectangle) derives from LabelItem: it owns the geometry
// in millimetres (snapped to the label's grid, at least 0.5 mm wide and
// high), the fixed rotation, the font, the data-source binding (DataSource) and the
// bound text (Value), the rotated outline polygon, and the change tracking
// that tells the label when to recompute and repaint.
//
// Writing a concrete item (RectangleItem, say):
//
//   class RectangleItem : public LabelItem {
//    public:
//     explicit RectangleItem(Label& owner);      // sets Caption and defaults
//     std::string_view ClassName() const override { return "Rectangle"; }
//     std::span<const PropertyInfo> Properties() const override;  // published order
//     void Draw() override;                    // and Prepare() when needed
//   };
//   // in RectangleItem.cpp, at namespace scope:
//   LP_REGISTER_LABEL_ITEM(RectangleItem)        // ItemClasses.h
//
// Its constructor runs with the label as owner; it may call the setters
// (SetWidth(20.0) ...) to set its defaults: the label applies Width and
// Height once more after construction so that they pass the grid (Label::
// AddItem). Published tables are built from BaseProp:: entries and the
// builders of Published.h.
//
// Units: millimetres as double, relative to the label's top-left corner;
// device pixels as int32 after RoundPx (PixelRound.h). Angles in degrees,
// clockwise on the page.
//
// Threads: an item belongs to its label's thread.
#ifndef LABELPLU_LABEL_LABELITEM_H
#define LABELPLU_LABEL_LABELITEM_H

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "label/DataSources.h"
#include "label/EnumTypes.h"
#include "label/ItemFont.h"
#include "label/Outline.h"
#include "label/Published.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/GdiTypes.h"

namespace labelplu {

class Label;
class EmbeddedImages;
class LabelView;

class LabelItem : public PublishedObject {
 public:
  // An item of the label owner (which owns it once AddItem returns).
  // Box 10 × 10 mm at (0, 0), angle 0, r0, dsNone, empty value, white solid
  // brush, black solid one-pixel pen, the default ItemFont (charset 204, black).
  explicit LabelItem(Label& owner);
  ~LabelItem() override;
  LabelItem(const LabelItem&) = delete;
  LabelItem& operator=(const LabelItem&) = delete;

  // The class name a template stores for the item ("Rectangle", "Shk").
  virtual std::string_view ClassName() const = 0;

  // ---- virtual slots -------------------------------------------------------
  // Value setter: when value differs (byte-wise), store it and MarkChanged.
  virtual void SetValue(const std::string& value);
  virtual std::string GetValue() const;
  // Box setters: snap to the label's grid; store when different; Width and
  // Height never below 0.5 mm; MarkChanged(true) on a change.
  virtual void SetHeight(double mm);
  virtual void SetLeft(double mm);
  // Stores the angle brought into 0..360 (360 stays 360) and MarkChanged;
  // nothing when equal to the current angle.
  virtual void SetAngle(int32_t degrees);
  virtual void SetTop(double mm);
  virtual void SetWidth(double mm);
  // Hook for interactive insertion; empty.
  virtual void AfterInsert() {}
  // Outline := the four box corners (top-left, top-right, bottom-right,
  // bottom-left), MapToDevice.
  virtual void BuildOutline();
  // When Changed (and the box is not 0 × 0, and the label has a view):
  // BuildOutline; Outline.ShiftToLabel and BuildRegion; Changed := false.
  // Subclasses extend it.
  virtual void Prepare();
  // Outside an update block: a polygon through Outline's points with the
  // canvas's pen and brush.
  virtual void Draw();
  // Selection marks of an interactive design mode; empty.
  virtual void DrawSelection() {}

  // ---- geometry (mm) and rotation ----------------------------------------
  double Left() const { return m_left; }
  double Top() const { return m_top; }
  double Width() const { return m_width; }
  double Height() const { return m_height; }
  int32_t Angle() const { return m_angle; }
  Rotation RotationFixed() const { return m_rotationFixed; }
  // Stores r and SetAngle(0, 90, 180 or 270).
  void SetRotationFixed(Rotation r);

  // ---- binding -------------------------------------------------------------
  DataSourceKind DataSource() const { return m_dataSource; }
  // When source differs: store it; Value := the caption-table sample of the data
  // source (empty for dsNone and the pictures) without SetValue; fire
  // OnValueChanged(*this, Value); MarkChanged(true).
  void SetDataSource(DataSourceKind source);
  // The display caption of the class ("Прямоугольник").
  const std::string& Caption() const { return m_caption; }

  // Installed by the label: called by SetDataSource with the new value.
  std::function<void(LabelItem&, const std::string&)> OnValueChanged;

  // ---- change tracking -----------------------------------------------------
  bool Changed() const { return m_changed; }
  // When flag differs from Changed: store it; outside an update block the
  // label repaints; then the view's ItemChanged hook.
  void MarkChanged(bool flag);

  // ---- drawing objects -----------------------------------------------------
  ItemFont& Font() { return m_font; }
  const ItemFont& Font() const { return m_font; }
  // Copies font into Font (a change there calls MarkChanged(true)).
  void SetFont(const ItemFont& font);
  const gdi::Brush& DrawBrush() const { return m_drawBrush; }
  const gdi::Pen& DrawPen() const { return m_drawPen; }
  // Store and call the view's ItemChanged hook (no MarkChanged).
  void SetDrawBrush(const gdi::Brush& brush);
  void SetDrawPen(const gdi::Pen& pen);

  Outline& BoxOutline() { return m_outline; }
  const Outline& BoxOutline() const { return m_outline; }
  Outline& ClipOutline() { return m_clipOutline; }
  const Outline& ClipOutline() const { return m_clipOutline; }

  // ---- owner and device ----------------------------------------------------
  Label& OwnerLabel() const { return *m_owner; }
  EmbeddedImages& Images() const;
  LabelView* View() const;
  // The label's canvas; null without view or canvas.
  gdi::Canvas* Canvas() const;
  // The view's scale; 0 without a view.
  double PixelsPerMmX() const;
  double PixelsPerMmY() const;
  // The label's origin on the view's canvas (mm).
  double LabelLeft() const;
  double LabelTop() const;
  // True while the label has an update block open.
  bool InUpdate() const;
  // The unrotated box in device pixels relative to the label: (round(Left ×
  // sx), round(Top × sy), round((Left + Width) × sx), round((Top + Height) ×
  // sy)).
  gdi::RECT DeviceRect() const;

  // The label's paint step: outside an update block and with a canvas,
  // Prepare when Changed, select DrawBrush and DrawPen, Draw, and select
  // the label's clip region again.
  void Paint();

  // ---- published property entries for the tables of concrete classes ------
  struct BaseProp {
    static PropertyInfo DataSource();     // DataSourceKind
    static PropertyInfo Value();          // string, GetValue / SetValue
    static PropertyInfo ValueFileName();  // the same text under the picture's name
    static PropertyInfo Left();           // Real, mm
    static PropertyInfo Top();
    static PropertyInfo Width();
    static PropertyInfo Height();
    static PropertyInfo RotationFixed();  // Rotation
    static PropertyInfo Font();           // the font object ("Font.Size" ...)
  };

 protected:
  // The snapped value when the label snaps, v otherwise.
  double Snap(double v) const;
  void SetCaption(std::string caption) { m_caption = std::move(caption); }
  // Sets Value without SetValue's change handling (used by SetDataSource).
  void StoreValue(std::string value) { m_value = std::move(value); }

 private:
  void NotifyView();

  Label* m_owner;
  double m_left = 0;
  double m_top = 0;
  double m_height = 10.0;
  int32_t m_angle = 0;
  double m_width = 10.0;
  std::string m_caption;
  bool m_changed = false;
  gdi::Brush m_drawBrush{gdi::BS_SOLID, gdi::RGB(255, 255, 255)};
  ItemFont m_font;
  gdi::Pen m_drawPen{gdi::PS_SOLID, 1, gdi::RGB(0, 0, 0)};
  Rotation m_rotationFixed = r0;
  DataSourceKind m_dataSource = dsNone;
  std::string m_value;
  Outline m_outline{this};
  Outline m_clipOutline{this};
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_LABELITEM_H
