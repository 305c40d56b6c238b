// labelplu: a page recorded for replay (copies on a printer that cannot
// make them itself, documents held back until they end), and the carrying
// over of a canvas's selections from one page's canvas to the next.
#ifndef LABELPLU_PLATFORM_SPOOL_PAGERECORDER_H
#define LABELPLU_PLATFORM_SPOOL_PAGERECORDER_H

#include <QPicture>

#include <cstdint>
#include <optional>

#include "platform/gdi/Canvas.h"

class QPainter;

namespace labelplu::spool {

// A QPicture that reports the metrics of another device (the printer it
// stands for), so that a canvas on it measures, lays out text and scales
// exactly as on that device. The model device must outlive the recorder's
// painting.
class PageRecorder : public QPicture {
 public:
  explicit PageRecorder(const QPaintDevice& model);

  // Replays the page on a painter of a device with the model's resolution,
  // at the same device pixels. The painter's state is kept.
  void PlayOn(QPainter& painter) const;

 protected:
  int metric(PaintDeviceMetric metric) const override;

 private:
  const QPaintDevice* m_model;
};

// The selections of a canvas that a new page's canvas takes over: pen,
// brush, font, text colour and background, mix, fill and stretch modes,
// clip, viewport origin and current position.
struct CanvasState {
  gdi::Pen Pen;
  gdi::Brush Brush;
  gdi::LOGFONT Font;
  gdi::COLORREF TextColor = 0;
  gdi::COLORREF BkColor = 0;
  int32_t BkMode = 0;
  int32_t Rop2 = 0;
  int32_t PolyFillMode = 0;
  int32_t StretchMode = 0;
  gdi::POINT Origin;
  gdi::POINT Position;
  std::optional<gdi::Region> Clip;
};
CanvasState SaveCanvasState(gdi::Canvas& canvas);
// The font is selected only when a GUI application exists.
void RestoreCanvasState(const CanvasState& state, gdi::Canvas& canvas);

}  // namespace labelplu::spool

#endif  // LABELPLU_PLATFORM_SPOOL_PAGERECORDER_H
