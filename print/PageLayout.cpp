#include "print/PageLayout.h"

#include "label/Label.h"

namespace labelplu {

PageLayout::PageLayout(Label& label) : m_label(label) {
  m_label.SetView(this);
}

PageLayout::~PageLayout() {
  if (m_label.View() == this) m_label.SetView(nullptr);
}

void PageLayout::SetZoomX(double zoom) {
  if (zoom != m_zoomX) m_zoomX = zoom;
}

void PageLayout::SetZoomY(double zoom) {
  if (zoom != m_zoomY) m_zoomY = zoom;
}

}  // namespace labelplu
