#include "BaseView.h"

#include "TLb.h"

namespace labelplu {

TBaseView::TBaseView(TLb& label) : m_label(label) { m_label.SetView(this); }

TBaseView::~TBaseView() {
  if (m_label.View() == this) m_label.SetView(nullptr);
}

void TBaseView::SetZoomX(double zoom) {
  if (zoom != m_zoomX) m_zoomX = zoom;
}

void TBaseView::SetZoomY(double zoom) {
  if (zoom != m_zoomY) m_zoomY = zoom;
}

}  // namespace labelplu
