// labelplu: the label (Label): a rectangle of a given size in millimetres
// that owns its items, loads and writes itself as a template, takes
// values by value name, and paints itself, clipped to its inner area, on
// the canvas of its view.
//
// Template files are XML in Windows-1251 (or UTF-8, see LoadFromFile):
//
//   <?xml version="1.0" encoding="windows-1251"?>
//   <Label Width="58" Height="40">
//     <Item ClassName="Rectangle">
//       <Property Name="Left" Value="2"/> ...
//     </Item>
//     <ImageList Count="1" xmlns:dt="urn:schemas-microsoft-com:datatypes">
//       <Image Name="logo.bmp" Path="" dt:dt="bin.base64">Qk0...</Image>
//     </ImageList>
//   </Label>
//
// Untrusted templates are bounded: at most kMaxTemplateBytes of file,
// kMaxTemplateItems items and kMaxTemplateElements elements in all
// (both counted before the document is parsed, so that a text of many tiny
// elements never becomes a document tree of gigabytes), label sides in
// (0, kMaxLabelSideMm] mm,
// embedded bitmaps as EmbeddedImages.h says. Anything else that stops a
// template from loading raises TemplateError naming the file (and the
// line, when the XML parser knows it); single property settings that do
// not apply are skipped.
//
// Threads: a label, its items and its view belong to one thread.
#ifndef LABELPLU_LABEL_LABEL_H
#define LABELPLU_LABEL_LABEL_H

#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "label/EmbeddedImages.h"
#include "label/ItemClasses.h"
#include "label/LabelView.h"
#include "label/Published.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/Region.h"

namespace labelplu {

class LabelItem;
class TemplateLoadObserver;

// Output modes of a label.
inline constexpr uint8_t kModeOffScreen = 0;  // after loading
inline constexpr uint8_t kModeDesign = 1;     // interactive design; never entered
inline constexpr uint8_t kModePrinter = 2;    // printing
inline constexpr uint8_t kModePrinter3 = 3;   // a further printer mode; never entered
inline constexpr uint8_t kModePreview = 4;    // preview

// Limits of a template.
inline constexpr size_t kMaxTemplateBytes = size_t{64} << 20;
inline constexpr int32_t kMaxTemplateItems = 10000;
// Room for every item with all its properties written out, and the images.
inline constexpr int64_t kMaxTemplateElements = int64_t{kMaxTemplateItems} * 64;
inline constexpr double kMaxLabelSideMm = 1000.0;

class Label : public PublishedObject {
 public:
  // A label of 58 × 40 mm at (0, 0), mode 0, snapping to a 1 mm grid,
  // margins of 1 mm, no items, no view.
  Label();
  ~Label() override;
  Label(const Label&) = delete;
  Label& operator=(const Label&) = delete;

  // ---- items ----------------------------------------------------------
  // Deletes all items (inside an update block) and the embedded images.
  virtual void Clear();
  // Creates an item of the class inside an update block, installs the
  // value-change handler, places it at (0, 0) and applies its own default
  // Width and Height again through the setters (so they pass the grid).
  // The label owns it; the reference stays valid until it is deleted.
  LabelItem& AddItem(const ItemClass& itemClass);
  // Nothing for null; otherwise removes and frees it and Invalidate(false).
  void DeleteItem(LabelItem* item);
  int32_t ItemCount() const { return static_cast<int32_t>(m_items.size()); }
  // 0 <= index < ItemCount(); std::out_of_range otherwise.
  LabelItem& Item(int32_t index) const { return *m_items.at(static_cast<size_t>(index)); }

  // ---- templates -----------------------------------------------------------
  // Loads a template from UTF-8 XML text (the file's encoding declaration
  // plays no part); returns 0. sourceName names the text in errors. Inside
  // an update block closed with EndUpdate(true) also on failure:
  //  - text that is not well-formed XML, or whose root is not "Label":
  //    TemplateError; the label keeps what it held;
  //  - "Width" / "Height" of the root: "." or "," decimals; missing or not a
  //    number: 50; outside (0, kMaxLabelSideMm]: TemplateError;
  //  - every "Label/Item" in order: the class "TPr" + ClassName (case
  //    ignored) is created, MarkChanged(true), and each child's "Name" and
  //    "Value" applied with SetPropText; unknown classes are skipped; a child
  //    without both attributes or whose setting fails is skipped;
  //  - the first "Label/ImageList": its children become embedded images
  //    ("Name", "Path", the base64 bytes of a bitmap file);
  //  - more than kMaxTemplateItems "Item" start tags or kMaxTemplateElements
  //    start tags in the text (counted before parsing; a "<" inside a
  //    comment or CDATA section counts too): TemplateError, and the label
  //    keeps what it held;
  //  - too many items, an image that is not a bitmap: TemplateError, and
  //    the label is left empty.
  virtual int32_t LoadFromXml(std::string_view xml, std::string_view sourceName = {});
  // Loads exactly as LoadFromXml and tells observer of every item and of
  // every item and setting the load skips (label/TemplateFile.h).
  int32_t LoadFromXmlObserved(std::string_view xml, std::string_view sourceName,
                              TemplateLoadObserver& observer);
  // When the file exists: reads it whole, sets Mode 0 and LoadFromXml. The
  // file is UTF-8 when it starts with a byte-order mark (dropped) or its
  // XML declaration names UTF-8 (any case), Windows-1251 otherwise
  // (TemplateBytesToUtf8 of Cp1251.h). Nothing when it does not exist.
  // TemplateError for a file that cannot be read, is larger than
  // kMaxTemplateBytes, or holds a byte its encoding lacks (with its line).
  void LoadFromFile(const std::string& fileName);
  // The template as text: the document written by FormatXmlText (declaring
  // windows-1251), UTF-8 here. Root "Width"/"Height", one "Item" per
  // item with a "Property" per published property in published order
  // (object properties as their own properties under "Font.Size"-like
  // names), and an "ImageList" when there are embedded images.
  std::string SaveToXml() const;
  // SaveToXml converted to Windows-1251 (characters it lacks as character
  // references) and written to the file. TemplateError when writing fails.
  void SaveToFile(const std::string& fileName) const;

  // ---- values ------------------------------------------------------------
  // Key := the key of the first caption-table row whose caption equals
  // valueName ignoring case, else valueName; every item whose DataSource text
  // equals the key ignoring case gets Value := value (SetPropText).
  void FillValue(std::string_view valueName, std::string_view value);
  // The embedded image of that name (case ignored), else the bitmap file of
  // that name (relative names from the plug-in module's folder), else a null
  // image. Throws std::runtime_error for a file that is not a bitmap.
  QImage FindImage(std::string_view name) const;
  // FindImage with relative file names taken from folder (ending in "/")
  // instead of this module's: what a job in the plug-in would find, asked
  // from another program.
  QImage FindImageIn(std::string_view name, const std::string& folder) const;
  // The file a name that no embedded image has stands for (folder + name
  // for a relative name).
  static std::string PictureFilePath(std::string_view name, const std::string& folder);

  // ---- updates and painting -----------------------------------------------
  void BeginUpdate() { ++m_updateCount; }
  // Closes a block (never below 0); when none is left open, Mode is not 0
  // and repaint is set: Invalidate(false).
  void EndUpdate(bool repaint);
  int32_t UpdateCount() const { return m_updateCount; }
  bool InUpdate() const { return m_updateCount > 0; }
  // When force is set or no block is open: PrepareAll(force), Paint, then
  // OnChanged. A repaint asked for while one runs is dropped (the
  // item's own paint step recomputes whatever changed meanwhile).
  void Invalidate(bool force);
  // Unless a block is open and force is not set: every item in order
  // is marked changed (when force) and prepared. Repaints that marking asks
  // for are dropped: the caller paints afterwards.
  void PrepareAll(bool force);
  // Outside an update block and with a canvas: ApplyClip; fill the inner
  // area white; paint every item in order; remove the clip (also on
  // failure).
  void Paint();
  // Rebuilds the clip region, the inner rectangle round(PixelsPerMm ×
  // (origin + margin)) .. round(PixelsPerMm × (origin + size − margin)), and
  // selects it into the canvas.
  void ApplyClip();
  // Selects the current clip region into the canvas again (after a
  // item changed the clip while drawing).
  void SelectClip();
  const gdi::Region& ClipRegion() const { return m_clipRegion; }
  // Fired after every repaint.
  std::function<void(Label&)> OnChanged;
  // Runs a rendering step of an item (the 2D barcode's generation and
  // release) on the host's behalf. Null by default: the step runs directly.
  // A device whose host offers the run-procedure service sets it to hand
  // the step over (DeviceItem::CallThroughHost). The hook must call step
  // at most once, before it returns, on the label's thread; step never
  // throws (the item keeps its exceptions and raises them after the
  // hook returns).
  std::function<void(const std::function<void()>& step)> RunThroughHost;

  // ---- properties ----------------------------------------------------------
  double Width() const { return m_width; }
  double Height() const { return m_height; }
  double Left() const { return m_left; }
  double Top() const { return m_top; }
  // Store (no snapping, no minimum) and the view's UpdateLayout.
  void SetWidth(double mm);
  void SetHeight(double mm);
  // When different: store, move every item's Outline to the new
  // origin (ShiftToLabel, BuildRegion), Invalidate(false).
  void SetLeft(double mm);
  void SetTop(double mm);
  uint8_t Mode() const { return m_mode; }
  // Stores the mode; modes 2 and 3 also set the view's zoom to 1.
  void SetMode(uint8_t mode);
  bool SnapToGrid() const { return m_snapToGrid; }
  double GridSize() const { return m_gridSize; }
  double MarginX() const { return m_marginX; }
  double MarginY() const { return m_marginY; }

  LabelView* View() const { return m_view; }
  // Set by the view (not owned; null detaches).
  void SetView(LabelView* view) { m_view = view; }
  EmbeddedImages& Images() { return m_images; }
  const EmbeddedImages& Images() const { return m_images; }

  // Published: Height, Width, Left, Top (Real).
  std::span<const PropertyInfo> Properties() const override;

 private:
  void ValueChanged(LabelItem& item, const std::string& value);
  int32_t LoadTemplate(std::string_view xml, std::string_view sourceName,
                       TemplateLoadObserver* observer);

  double m_width = 58.0;
  double m_height = 40.0;
  LabelView* m_view = nullptr;
  uint8_t m_mode = kModeOffScreen;
  bool m_snapToGrid = true;
  double m_gridSize = 1.0;
  double m_left = 0;
  double m_top = 0;
  int32_t m_updateCount = 0;
  bool m_invalidating = false;
  EmbeddedImages m_images;
  double m_marginX = 1.0;
  double m_marginY = 1.0;
  gdi::Region m_clipRegion;
  std::vector<std::unique_ptr<LabelItem>> m_items;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_LABEL_H
