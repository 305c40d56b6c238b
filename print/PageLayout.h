// labelplu: the base of the views that show a label on a device: zoom,
// scale, the paper the device uses, and the printer device it serves.
#ifndef LABELPLU_PRINT_PAGELAYOUT_H
#define LABELPLU_PRINT_PAGELAYOUT_H

#include <cstdint>
#include <string>

#include "label/LabelView.h"

namespace labelplu {

class Label;
class PrinterDevice;

class PageLayout : public LabelView {
 public:
  // Registers the view with label (Label::SetView); the destructor detaches
  // it when the label still points here. The label must outlive the view.
  explicit PageLayout(Label& label);
  ~PageLayout() override;
  PageLayout(const PageLayout&) = delete;
  PageLayout& operator=(const PageLayout&) = delete;

  double PixelsPerMmX() const override { return m_pixelsPerMmX; }
  double PixelsPerMmY() const override { return m_pixelsPerMmY; }
  double ZoomX() const override { return m_zoomX; }
  double ZoomY() const override { return m_zoomY; }
  void SetZoomX(double zoom) override;  // stores only a different value
  void SetZoomY(double zoom) override;

  // The hook the printer device attaches to the label's OnChanged event:
  // does nothing and returns the view.
  PageLayout& AfterPaint() { return *this; }

  Label& ShownLabel() const { return m_label; }

  PrinterDevice* Device = nullptr;  // set by the printer device
  int32_t PaperCode = -1;
  std::string PaperName;
  double PaperWidth = -1.0;   // mm
  double PaperHeight = -1.0;  // mm
  int16_t Orientation = -1;

 protected:
  double m_pixelsPerMmX = 0;
  double m_pixelsPerMmY = 0;
  double m_zoomX = 1.0;
  double m_zoomY = 1.0;

 private:
  Label& m_label;
};

}  // namespace labelplu

#endif  // LABELPLU_PRINT_PAGELAYOUT_H
