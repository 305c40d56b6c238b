// labelplu: the base of the views that show a label on a device: zoom,
// scale, the paper the device uses, and the print manager it serves.
#ifndef LABELPLU_PRINT_BASEVIEW_H
#define LABELPLU_PRINT_BASEVIEW_H

#include <cstdint>
#include <string>

#include "LabelView.h"

namespace labelplu {

class TLb;
class TManagerWinPrinter;

class TBaseView : public TLabelView {
 public:
  // Registers the view with label (TLb::SetView); the destructor detaches
  // it when the label still points here. The label must outlive the view.
  explicit TBaseView(TLb& label);
  ~TBaseView() override;
  TBaseView(const TBaseView&) = delete;
  TBaseView& operator=(const TBaseView&) = delete;

  double PixelsPerMmX() const override { return m_pixelsPerMmX; }
  double PixelsPerMmY() const override { return m_pixelsPerMmY; }
  double ZoomX() const override { return m_zoomX; }
  double ZoomY() const override { return m_zoomY; }
  void SetZoomX(double zoom) override;  // stores only a different value
  void SetZoomY(double zoom) override;

  // The hook the print manager attaches to the label's OnChanged event:
  // does nothing and returns the view.
  TBaseView& AfterPaint() { return *this; }

  TLb& Label() const { return m_label; }

  TManagerWinPrinter* DeviceItem = nullptr;  // set by the print manager
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
  TLb& m_label;
};

}  // namespace labelplu

#endif  // LABELPLU_PRINT_BASEVIEW_H
