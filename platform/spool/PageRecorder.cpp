// labelplu: recorded pages and canvas state carried between pages.
#include "platform/spool/PageRecorder.h"

#include <QPainter>

#include "platform/gdi/Canvas.h"
#include "platform/gdi/RasterTarget.h"

namespace labelplu::spool {

PageRecorder::PageRecorder(const QPaintDevice& model) : m_model(&model) {}

int PageRecorder::metric(PaintDeviceMetric metric) const {
  switch (metric) {
    case PdmWidth:
      return m_model->width();
    case PdmHeight:
      return m_model->height();
    case PdmWidthMM:
      return m_model->widthMM();
    case PdmHeightMM:
      return m_model->heightMM();
    case PdmDpiX:
      return m_model->logicalDpiX();
    case PdmDpiY:
      return m_model->logicalDpiY();
    case PdmPhysicalDpiX:
      return m_model->physicalDpiX();
    case PdmPhysicalDpiY:
      return m_model->physicalDpiY();
    default:
      return QPicture::metric(metric);
  }
}

void PageRecorder::PlayOn(QPainter& painter) const {
  // Replay scales by the target's resolution over the picture format's own
  // (the base class's metric), whatever this recorder reported while
  // recording; undo that so that device pixels map one to one.
  const double ownX = QPicture::metric(PdmDpiX);
  const double ownY = QPicture::metric(PdmDpiY);
  painter.save();
  painter.scale(ownX / painter.device()->logicalDpiX(), ownY / painter.device()->logicalDpiY());
  const_cast<PageRecorder*>(this)->play(&painter);
  painter.restore();
}

CanvasState SaveCanvasState(gdi::Canvas& canvas) {
  CanvasState state;
  state.Pen = canvas.GetPen();
  state.Brush = canvas.GetBrush();
  state.Font = canvas.GetFont();
  state.TextColor = canvas.GetTextColor();
  state.BkColor = canvas.GetBkColor();
  state.BkMode = canvas.GetBkMode();
  // The mode setters answer the previous value: read each by setting it
  // back to itself.
  state.Rop2 = canvas.SetROP2(gdi::R2_COPYPEN);
  canvas.SetROP2(state.Rop2);
  state.PolyFillMode = canvas.SetPolyFillMode(gdi::ALTERNATE);
  canvas.SetPolyFillMode(state.PolyFillMode);
  state.StretchMode = canvas.SetStretchBltMode(gdi::COLORONCOLOR);
  canvas.SetStretchBltMode(state.StretchMode);
  state.Origin = canvas.GetViewportOrg();
  state.Position = canvas.GetCurrentPosition();
  state.Clip = canvas.GetClipRgn();
  return state;
}

void RestoreCanvasState(const CanvasState& state, gdi::Canvas& canvas) {
  canvas.SelectPen(state.Pen);
  canvas.SelectBrush(state.Brush);
  if (gdi::HasGuiApplication()) canvas.SelectFont(state.Font);
  canvas.SetTextColor(state.TextColor);
  canvas.SetBkColor(state.BkColor);
  canvas.SetBkMode(state.BkMode);
  canvas.SetROP2(state.Rop2);
  canvas.SetPolyFillMode(state.PolyFillMode);
  canvas.SetStretchBltMode(state.StretchMode);
  canvas.SetViewportOrgEx(state.Origin.x, state.Origin.y);
  canvas.SelectClipRgn(state.Clip ? &*state.Clip : nullptr);
  canvas.MoveTo(state.Position.x, state.Position.y);
}

}  // namespace labelplu::spool
