// labelplu: what a label needs of the view that shows it.
//
// A view places a label on a device: it supplies the canvas to paint on and
// the scale (device pixels per millimetre, zoom included), and it hears of
// size and item changes. The page layout printer derives from
// LabelView; CanvasView is a plain view over a canvas at a fixed
// resolution (off-screen rendering and tests).
//
// A view registers itself with its label (Label::SetView) and must detach
// (SetView(nullptr)) or outlive the label. One thread at a time.
#ifndef LABELPLU_LABEL_LABELVIEW_H
#define LABELPLU_LABEL_LABELVIEW_H

#include "platform/gdi/Canvas.h"

namespace labelplu {

class LabelItem;

class LabelView {
 public:
  virtual ~LabelView() = default;

  // Device pixels per millimetre, zoom included.
  virtual double PixelsPerMmX() const = 0;
  virtual double PixelsPerMmY() const = 0;
  // Zoom factors (1.0 unless a preview zooms). Setting one stores the value.
  virtual double ZoomX() const = 0;
  virtual double ZoomY() const = 0;
  virtual void SetZoomX(double zoom) = 0;
  virtual void SetZoomY(double zoom) = 0;
  // The canvas to paint on; null when there is none at the moment (the
  // label then paints nothing).
  virtual gdi::Canvas* Canvas() = 0;
  // Recompute the scale and any device surface after the label's size,
  // mode or the zoom changed.
  virtual void UpdateLayout() {}
  // An item changed (its geometry, content, pen or brush).
  virtual void ItemChanged(LabelItem& item) { (void)item; }
};

// A view over a canvas somebody else owns, at dpiX × dpiY dots per inch:
// PixelsPerMm = dpi / 25.4 × zoom.
class CanvasView : public LabelView {
 public:
  // canvas may be null (set it later); it must outlive its use here.
  CanvasView(gdi::Canvas* canvas, double dpiX, double dpiY)
      : m_canvas(canvas), m_dpiX(dpiX), m_dpiY(dpiY) {}

  double PixelsPerMmX() const override { return m_dpiX / 25.4 * m_zoomX; }
  double PixelsPerMmY() const override { return m_dpiY / 25.4 * m_zoomY; }
  double ZoomX() const override { return m_zoomX; }
  double ZoomY() const override { return m_zoomY; }
  void SetZoomX(double zoom) override { m_zoomX = zoom; }
  void SetZoomY(double zoom) override { m_zoomY = zoom; }
  gdi::Canvas* Canvas() override { return m_canvas; }

  void SetCanvas(gdi::Canvas* canvas) { m_canvas = canvas; }

 private:
  gdi::Canvas* m_canvas;
  double m_dpiX;
  double m_dpiY;
  double m_zoomX = 1.0;
  double m_zoomY = 1.0;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_LABELVIEW_H
