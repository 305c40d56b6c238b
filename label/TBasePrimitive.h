// labelplu: the primitive base. Every element of a label (text, barcode,
// image, line, rectangle) derives from TBasePrimitive: it owns the geometry
// in millimetres (snapped to the label's grid, at least 0.5 mm wide and
// high), the fixed rotation, the font, the data-source binding (DS) and the
// bound text (Value), the rotated outline polygon, and the change tracking
// that tells the label when to recompute and repaint.
//
// Writing a concrete primitive (TPrRectangle, say):
//
//   class TPrRectangle : public TBasePrimitive {
//    public:
//     explicit TPrRectangle(TLb& owner);      // sets Caption and defaults
//     std::string_view ClassName() const override { return "TPrRectangle"; }
//     std::span<const TPropInfo> Properties() const override;  // published order
//     void Draw() override;                    // and Prepare() when needed
//   };
//   // in TPrRectangle.cpp, at namespace scope:
//   LP_REGISTER_PRIMITIVE(TPrRectangle)        // PrimitiveClasses.h
//
// Its constructor runs with the label as owner; it may call the setters
// (SetWidth(20.0) ...) to set its defaults: the label applies Width and
// Height once more after construction so that they pass the grid (TLb::
// AddPrimitive). Published tables are built from BaseProp:: entries and the
// builders of Published.h.
//
// Units: millimetres as double, relative to the label's top-left corner;
// device pixels as int32 after RoundPx (PixelRound.h). Angles in degrees,
// clockwise on the page.
//
// Threads: a primitive belongs to its label's thread.
#ifndef LABELPLU_LABEL_TBASEPRIMITIVE_H
#define LABELPLU_LABEL_TBASEPRIMITIVE_H

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "Canvas.h"
#include "DataSources.h"
#include "EnumTypes.h"
#include "GdiTypes.h"
#include "Published.h"
#include "TFigure.h"
#include "TFont.h"

namespace labelplu {

class TLb;
class TLabelParams;
class TLabelView;

class TBasePrimitive : public TPersistent {
 public:
  // A primitive of the label owner (which owns it once AddPrimitive returns).
  // Box 10 × 10 mm at (0, 0), angle 0, r0, dsNone, empty value, white solid
  // brush, black solid one-pixel pen, the default TFont (charset 204, black).
  explicit TBasePrimitive(TLb& owner);
  ~TBasePrimitive() override;
  TBasePrimitive(const TBasePrimitive&) = delete;
  TBasePrimitive& operator=(const TBasePrimitive&) = delete;

  // The registered class name ("TPrRectangle"); a template stores it
  // without the "TPr" prefix.
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
  TRotation RotationFixed() const { return m_rotationFixed; }
  // Stores r and SetAngle(0, 90, 180 or 270).
  void SetRotationFixed(TRotation r);

  // ---- binding -------------------------------------------------------------
  TDSType DS() const { return m_ds; }
  // When ds differs: store it; Value := the caption-table sample of the data
  // source (empty for dsNone and the pictures) without SetValue; fire
  // OnValueChanged(*this, Value); MarkChanged(true).
  void SetDS(TDSType ds);
  // The display caption of the class ("Прямоугольник").
  const std::string& Caption() const { return m_caption; }

  // Installed by the label: called by SetDS with the new value.
  std::function<void(TBasePrimitive&, const std::string&)> OnValueChanged;

  // ---- change tracking -----------------------------------------------------
  bool Changed() const { return m_changed; }
  // When flag differs from Changed: store it; outside an update block the
  // label repaints; then the view's PrimitiveChanged hook.
  void MarkChanged(bool flag);

  // ---- drawing objects -----------------------------------------------------
  TFont& Font() { return m_font; }
  const TFont& Font() const { return m_font; }
  // Copies font into Font (a change there calls MarkChanged(true)).
  void SetFont(const TFont& font);
  const gdi::TBrush& DrawBrush() const { return m_drawBrush; }
  const gdi::TPen& DrawPen() const { return m_drawPen; }
  // Store and call the view's PrimitiveChanged hook (no MarkChanged).
  void SetDrawBrush(const gdi::TBrush& brush);
  void SetDrawPen(const gdi::TPen& pen);

  TFigure& Outline() { return m_outline; }
  const TFigure& Outline() const { return m_outline; }
  TFigure& ClipOutline() { return m_clipOutline; }
  const TFigure& ClipOutline() const { return m_clipOutline; }

  // ---- owner and device ----------------------------------------------------
  TLb& Label() const { return *m_owner; }
  TLabelParams& Params() const;
  TLabelView* View() const;
  // The label's canvas; null without view or canvas.
  gdi::TCanvas* Canvas() const;
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
    static TPropInfo DS();             // TDSType
    static TPropInfo Value();          // string, GetValue / SetValue
    static TPropInfo ValueFileName();  // the same text under the picture's name
    static TPropInfo Left();           // Real, mm
    static TPropInfo Top();
    static TPropInfo Width();
    static TPropInfo Height();
    static TPropInfo RotationFixed();  // TRotation
    static TPropInfo Font();           // the font object ("Font.Size" ...)
  };

 protected:
  // The snapped value when the label snaps, v otherwise.
  double Snap(double v) const;
  void SetCaption(std::string caption) { m_caption = std::move(caption); }
  // Sets Value without SetValue's change handling (used by SetDS).
  void StoreValue(std::string value) { m_value = std::move(value); }

 private:
  void NotifyView();

  TLb* m_owner;
  double m_left = 0;
  double m_top = 0;
  double m_height = 10.0;
  int32_t m_angle = 0;
  double m_width = 10.0;
  std::string m_caption;
  bool m_changed = false;
  gdi::TBrush m_drawBrush{gdi::BS_SOLID, gdi::RGB(255, 255, 255)};
  TFont m_font;
  gdi::TPen m_drawPen{gdi::PS_SOLID, 1, gdi::RGB(0, 0, 0)};
  TRotation m_rotationFixed = r0;
  TDSType m_ds = dsNone;
  std::string m_value;
  TFigure m_outline{this};
  TFigure m_clipOutline{this};
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TBASEPRIMITIVE_H
