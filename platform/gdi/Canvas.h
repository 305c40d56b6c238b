// labelplu: the canvas, a device context over a QPainter on any paint device
// (an image in memory now, a printer or PDF writer later), with the
// platform's drawing semantics on integer device pixels.
#ifndef LABELPLU_PLATFORM_GDI_CANVAS_H
#define LABELPLU_PLATFORM_GDI_CANVAS_H

#include <QFont>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "platform/gdi/Dib.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"

class QPaintDevice;

namespace labelplu::gdi {

class LineStyle;

// The paper around a printer's printable area, for GetDeviceCaps. Without
// it the device is its own paper: PHYSICALWIDTH/HEIGHT = HORZRES/VERTRES,
// offsets 0.
struct PageMetrics {
  int32_t physicalWidth = 0;   // pixels
  int32_t physicalHeight = 0;  // pixels
  int32_t offsetX = 0;         // printable area's left edge, pixels from the paper's
  int32_t offsetY = 0;         // printable area's top edge
};

// A device context. It paints with the platform's rules on integer device
// pixels: shapes without antialiasing, so that on a raster device every
// pixel is exactly determined; glyphs antialiased unless the font's quality
// says otherwise.
//
// Coordinates are logical pixels: device pixels minus the viewport origin
// (0, 0 unless SetViewportOrgEx moves it). Unlike the platform, clip
// regions are logical too (the same as device ones while the origin is 0).
//
// The canvas starts with a black solid one-pixel pen, a white solid brush,
// an "Arial" font of 8 points at the device's LOGPIXELSY, black text on an
// opaque white background, R2_COPYPEN, ALTERNATE, COLORONCOLOR, no clip and
// the current position (0, 0).
//
// Ownership and threads: the canvas paints on a device it does not own; the
// device must outlive the canvas (or End). A canvas is used on one thread
// at a time; two canvases must not paint on one device at once. Text needs
// a QGuiApplication in the process (HasGuiApplication); without one
// SelectFont, TextOut, GetTextExtentPoint32 and GetTextMetrics throw
// GdiError.
class Canvas {
 public:
  // Begins painting on the device. Throws GdiError when Qt cannot paint on
  // it (a null image, a Format_Mono or indexed image, a printer that is not
  // ready, a device another painter holds).
  explicit Canvas(QPaintDevice& device);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Ends painting; the device then holds everything drawn. Idempotent; any
  // drawing, clip change or Painter() afterwards throws GdiError
  // (selections and queries still answer).
  void End();
  bool IsActive() const;

  QPaintDevice& Device() const { return *m_device; }
  // The painter, for what the canvas does not offer (a printer's new page
  // keeps the painter). Its pen, brush, font and composition mode are the
  // canvas's to set: change them only between canvas calls and expect the
  // canvas to set them again on its next call. Leave its transform, clip
  // and antialiasing as found (or call SelectClipRgn afterwards).
  QPainter& Painter();

  // ---- device -------------------------------------------------------------
  // HORZRES, VERTRES (device width and height in pixels), HORZSIZE, VERTSIZE
  // (in mm, from the device's own measure), LOGPIXELSX, LOGPIXELSY (dots per
  // inch: an image's dots per metre × 0.0254, rounded; a printer's
  // resolution), BITSPIXEL (image depth; 24 for other devices),
  // PHYSICALWIDTH, PHYSICALHEIGHT, PHYSICALOFFSETX, PHYSICALOFFSETY (from
  // SetPageMetrics). 0 for any other index.
  int32_t GetDeviceCaps(int32_t index) const;
  void SetPageMetrics(const PageMetrics& metrics) { m_page = metrics; }

  // Moves the logical origin to the device pixel (x, y) (the platform's
  // SetViewportOrgEx); returns the previous origin.
  POINT SetViewportOrgEx(int32_t x, int32_t y);
  POINT GetViewportOrg() const { return m_origin; }

  // ---- objects ------------------------------------------------------------
  // Each Select… makes its argument current and returns the previous one,
  // so that a caller can restore it.
  Pen SelectPen(const Pen& pen);
  const Pen& GetPen() const { return m_pen; }
  // Selecting a brush also sets the text background as the framework's
  // canvas does: colour := brush colour, mode := OPAQUE for BS_SOLID,
  // TRANSPARENT for BS_NULL.
  Brush SelectBrush(const Brush& brush);
  const Brush& GetBrush() const { return m_brush; }
  // Throws GdiError without a GUI application or for a weight outside
  // 0..1000.
  LOGFONT SelectFont(const LOGFONT& font);
  const LOGFONT& GetFont() const { return m_logFont; }

  COLORREF SetTextColor(COLORREF color);  // returns the previous one
  COLORREF GetTextColor() const { return m_textColor; }
  int32_t SetBkMode(int32_t mode);  // OPAQUE or TRANSPARENT; returns the previous one
  int32_t GetBkMode() const { return m_bkMode; }
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const { return m_bkColor; }
  int32_t SetROP2(int32_t mode);            // R2_… ; returns the previous one
  int32_t SetPolyFillMode(int32_t mode);    // ALTERNATE or WINDING; used by Polygon
  int32_t SetStretchBltMode(int32_t mode);  // COLORONCOLOR etc.; used by StretchDIBits
  // The setters above throw GdiError for a value outside their list.

  // ---- clip -------------------------------------------------------------------
  // Makes a copy of the region the clip (nullptr removes the clip). Returns
  // the kind of the new clip region; without a clip, SIMPLEREGION (the whole
  // device).
  int32_t SelectClipRgn(const Region* region);
  // Combines the clip with the region: RGN_AND intersects (with no clip,
  // the region cut to the device becomes the clip), RGN_OR, RGN_XOR, RGN_DIFF as
  // Region::CombineRgn with the whole device standing for "no clip",
  // RGN_COPY = SelectClipRgn. Returns the kind of the new clip region.
  int32_t ExtSelectClipRgn(const Region& region, int32_t mode);
  // Removes the clip (SelectClipRgn(nullptr)).
  void RemoveClip() { SelectClipRgn(nullptr); }
  bool HasClip() const { return m_clip.has_value(); }
  // The clip region, or nullopt without one.
  const std::optional<Region>& GetClipRgn() const { return m_clip; }
  // The smallest rectangle around the visible area: the clip's box within
  // the device, or the whole device (logical coordinates). Returns the kind
  // (NULLREGION when nothing is visible).
  int32_t GetClipBox(RECT& box) const;

  // ---- shapes -------------------------------------------------------------
  // The current position for LineTo.
  POINT MoveTo(int32_t x, int32_t y);  // returns the previous position
  POINT GetCurrentPosition() const { return m_position; }
  // A line from the current position to (x, y) with the pen; the pixel at
  // (x, y) itself is not painted by a one-pixel pen; a wider pen paints a
  // stroke of its width centred on the line with round ends. The current
  // position becomes (x, y).
  void LineTo(int32_t x, int32_t y);
  // Lines through the points (no current position involved), each excluding
  // its end pixel as LineTo does.
  void Polyline(std::span<const POINT> points);
  // A closed polygon: filled with the brush by the polygon fill mode (the
  // pixels of Region::CreatePolygonRgn of the same points), then outlined
  // with the pen centred on its edges. A one-pixel pen paints every vertex
  // pixel, so the outline of (0,0) (10,0) (10,10) (0,10) covers 0..10.
  void Polygon(std::span<const POINT> points);
  // The platform's Rectangle (right, bottom exclusive): a one-pixel pen
  // outlines the pixels left..right-1 × top..bottom-1 and the brush fills
  // inside the outline. A pen of width w centres its band on that one-pixel
  // outline (w div 2 pixels outwards), except PS_INSIDEFRAME, whose band of
  // w pixels lies wholly inside the bounds. Corners are square (the
  // platform rounds a wide pen's outer corners). PS_NULL: only the fill,
  // over left..right-1 × top..bottom-1. Swapped bounds are put in order.
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  // Fills left..right-1 × top..bottom-1 with the brush (BS_NULL paints
  // nothing); the canvas's pen, brush and mix mode play no part.
  void FillRect(const RECT& rect, const Brush& brush);
  // Fills the region's pixels with the brush (within the clip).
  void FillRgn(const Region& region, const Brush& brush);

  // One pixel; CLR_INVALID outside the device or on a device without pixels
  // (a printer). SetPixel ignores the mix mode and respects the clip.
  COLORREF GetPixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, COLORREF color);
  // Copies the device pixels of the rectangle's top row onto each of its
  // other rows, as a blit of the device onto itself would; the part outside
  // the device is left out. For something painted as one row repeated (a
  // linear barcode's bars) this replaces all but the first row of painting.
  // Only an image without a clip can do it: on a printer, with a clip, or
  // with the top row outside the device nothing happens and false comes
  // back, and the caller paints the rows itself.
  bool RepeatTopRow(const RECT& rect);

  // ---- text ---------------------------------------------------------------
  // Writes UTF-8 text (invalid bytes show as U+FFFD) with the selected font
  // and text colour. (x, y) is the top-left corner of the text's cell, the
  // rectangle GetTextExtentPoint32 measures; the baseline lies tmAscent below
  // it. With OPAQUE the cell is first filled with the background colour. With
  // an escapement, cell and glyphs turn about (x, y) by lfEscapement tenths
  // of a degree counter-clockwise. Line breaks and tabs are not interpreted.
  void TextOut(int32_t x, int32_t y, std::string_view text);
  // Width (sum of the advances, rounded) and height (tmHeight) of the text's
  // cell with the selected font, ignoring the escapement.
  SIZE GetTextExtentPoint32(std::string_view text) const;
  TEXTMETRIC GetTextMetrics() const;

  // ---- bitmaps ------------------------------------------------------------
  // Copies the source rectangle xSrc, ySrc, srcWidth × srcHeight of the
  // bitmap (ySrc counted from the picture's top row, whichever way its rows
  // are stored) onto the destination rectangle xDest, yDest, destWidth ×
  // destHeight, source copy, within the clip. Scaling: each destination
  // pixel takes the source pixel under its centre (COLORONCOLOR) unless the
  // stretch mode is HALFTONE. A negative destination extent mirrors: the
  // rectangle then reaches back from xDest (or yDest), that pixel included,
  // as in the platform's mirroring idiom StretchDIBits(w - 1, 0, -w, …).
  // Destination pixels whose source pixel lies outside the bitmap stay as
  // they are. Returns the number of source rows used (inside the bitmap); 0
  // for zero or negative source extents. Throws GdiError for an invalid
  // bitmap (ValidateDib).
  int32_t StretchDIBits(int32_t xDest, int32_t yDest, int32_t destWidth, int32_t destHeight,
                        int32_t xSrc, int32_t ySrc, int32_t srcWidth, int32_t srcHeight,
                        const DibRef& dib);
  // Copies width × height pixels of the bitmap from xSrc, ySrc to xDest,
  // yDest without scaling. Unlike the platform, ySrc counts from the
  // picture's top row for bottom-up bitmaps too. Returns the rows copied.
  int32_t SetDIBitsToDevice(int32_t xDest, int32_t yDest, int32_t width, int32_t height,
                            int32_t xSrc, int32_t ySrc, const DibRef& dib);
  // The same for an image held as a QImage (any format; as a source copy,
  // alpha is dropped and every pixel's colour copied as if opaque): the whole
  // image 1:1 at (x, y), or stretched to width × height by the stretch mode
  // as StretchDIBits. A null image paints nothing.
  void DrawImage(int32_t x, int32_t y, const QImage& image);
  void StretchDrawImage(int32_t x, int32_t y, int32_t width, int32_t height, const QImage& image);

 private:
  struct FontState;
  struct Transfer;
  friend FontState BuildFontState(const LOGFONT& font, int32_t dpiY);

  void RequireActive() const;
  void ResetTransform();
  void ApplyClip();
  // Sets the painter's composition for the mix mode (useRop2) or plain copy.
  void SetMixMode(bool useRop2);
  void PaintThinLines(std::span<const POINT> points, bool closed, LineStyle& style);
  void PaintWideSegment(POINT a, POINT b);
  template <typename Sample>
  void PaintNearest(const Transfer& transfer, Sample sample);
  void PaintByDevice(const Transfer& transfer, const QImage& used, int64_t usedX, int64_t usedY);
  RECT DeviceBox() const;
  const FontState& Font() const;

  QPaintDevice* m_device;
  std::unique_ptr<QPainter> m_painter;
  PageMetrics m_page;
  POINT m_origin;
  POINT m_position;
  Pen m_pen;
  Brush m_brush;
  LOGFONT m_logFont;
  mutable std::unique_ptr<FontState> m_font;  // built on first need
  std::unique_ptr<FontState> m_spareFont;     // the font selected before, if built
  LOGFONT m_spareLogFont;
  COLORREF m_textColor = RGB(0, 0, 0);
  COLORREF m_bkColor = RGB(255, 255, 255);
  int32_t m_bkMode = OPAQUE;
  int32_t m_rop2 = R2_COPYPEN;
  int32_t m_polyFillMode = ALTERNATE;
  int32_t m_stretchMode = COLORONCOLOR;
  std::optional<Region> m_clip;
  std::unique_ptr<LineStyle> m_lineStyle;  // dash position along connected LineTo calls
  int32_t m_lineStyleOf = PS_SOLID;
};

}  // namespace labelplu::gdi

#endif  // LABELPLU_PLATFORM_GDI_CANVAS_H
