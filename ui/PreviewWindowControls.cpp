// labelplu: the preview window's controls, one function per part of the
// window.
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>
#include <functional>

#include "ui/PreviewWindow.h"

namespace labelplu {

namespace {

// Small drawn icons, so that the window needs no image files.
QIcon DrawnIcon(const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(20, 20);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QPen(Qt::black, 1));
  draw(painter);
  return QIcon(pixmap);
}

QIcon PrinterIcon() {
  return DrawnIcon([](QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(5, 2, 10, 6);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(1, 8, 18, 7);
    p.setBrush(Qt::white);
    p.drawRect(5, 13, 10, 5);
  });
}

QIcon FramesIcon() {
  return DrawnIcon([](QPainter& p) {
    p.setPen(QPen(QColor(96, 96, 96), 1, Qt::DashDotLine));
    for (const int x : {2, 11})
      for (const int y : {2, 11}) p.drawRect(x, y, 7, 7);
  });
}

// A sheet with the given marks drawn over it in colour.
QIcon SheetIcon(const QColor& colour, const std::function<void(QPainter&)>& marks) {
  return DrawnIcon([&](QPainter& p) {
    p.setBrush(Qt::white);
    p.drawRect(3, 1, 14, 18);
    p.setPen(QPen(colour, 1));
    p.setBrush(Qt::NoBrush);
    marks(p);
  });
}

QIcon MarginsIcon() {
  return SheetIcon(Qt::red, [](QPainter& p) {
    p.drawLines(QVector<QLine>{{3, 4, 17, 4}, {3, 16, 17, 16}, {6, 1, 6, 19}, {14, 1, 14, 19}});
  });
}

QIcon PrintableZoneIcon() {
  return SheetIcon(Qt::blue, [](QPainter& p) { p.drawRect(5, 3, 10, 14); });
}

}  // namespace

// The parts are built in the order of the focus chain.
void PreviewWindow::BuildControls() {
  QToolBar* toolBar = ToolBar();
  m_pageArea = PageArea();
  m_statusBar = StatusBar();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolBar);
  layout->addWidget(m_pageArea, 1);
  layout->addWidget(m_statusBar);
}

QToolBar* PreviewWindow::ToolBar() {
  auto* toolBar = new QToolBar(this);
  toolBar->setObjectName(QStringLiteral("toolBar"));
  toolBar->setMovable(false);
  toolBar->setFloatable(false);

  m_printButton = ToolButton(toolBar, "printButton", QStringLiteral("Печать"), PrinterIcon());
  connect(m_printButton, &QToolButton::clicked, this, [this] { PrintPage(); });
  toolBar->addWidget(m_printButton);
  m_zoomCombo = ZoomBox(toolBar);
  toolBar->addWidget(m_zoomCombo);
  toolBar->addSeparator();

  m_labelBordersButton =
      OverlayToggle(toolBar, "labelBordersButton", QStringLiteral("Границы этикеток"), FramesIcon(),
                    &PreviewWindow::ShowLabelFrames);
  toolBar->addWidget(m_labelBordersButton);
  m_pageMarginsButton =
      OverlayToggle(toolBar, "pageMarginsButton", QStringLiteral("Размеры страницы"), MarginsIcon(),
                    &PreviewWindow::ShowMarginLines);
  toolBar->addWidget(m_pageMarginsButton);
  m_printableAreaButton =
      OverlayToggle(toolBar, "printableAreaButton", QStringLiteral("Зона печати принтера"),
                    PrintableZoneIcon(), &PreviewWindow::ShowPrintableArea);
  toolBar->addWidget(m_printableAreaButton);
  toolBar->addSeparator();

  m_closeButton = new QToolButton(toolBar);
  m_closeButton->setObjectName(QStringLiteral("closeButton"));
  m_closeButton->setText(QStringLiteral("Закрыть"));
  m_closeButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
  m_closeButton->setAutoRaise(true);
  connect(m_closeButton, &QToolButton::clicked, this, &QDialog::accept);
  toolBar->addWidget(m_closeButton);
  return toolBar;
}

QToolButton* PreviewWindow::ToolButton(QToolBar* toolBar, const char* name, const QString& hint,
                                       const QIcon& icon) {
  auto* button = new QToolButton(toolBar);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(hint);
  button->setStatusTip(hint);
  button->setIcon(icon);
  button->setAutoRaise(true);
  return button;
}

// A button that switches one overlay on or off and redraws the page.
QToolButton* PreviewWindow::OverlayToggle(QToolBar* toolBar, const char* name, const QString& hint,
                                          const QIcon& icon, bool PreviewWindow::*flag) {
  QToolButton* button = ToolButton(toolBar, name, hint, icon);
  button->setCheckable(true);
  button->setChecked(true);
  connect(button, &QToolButton::toggled, this, [this, flag](bool down) {
    this->*flag = down;
    try {
      Redraw();
    } catch (...) {
      ShowFailure(std::current_exception());
    }
  });
  return button;
}

QComboBox* PreviewWindow::ZoomBox(QToolBar* toolBar) {
  auto* zoom = new QComboBox(toolBar);
  zoom->setObjectName(QStringLiteral("zoomCombo"));
  zoom->setToolTip(QStringLiteral("Масштаб просмотра"));
  zoom->setStatusTip(zoom->toolTip());
  zoom->setMaxVisibleItems(16);
  zoom->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  for (const char* item : kZoomItems) zoom->addItem(QString::fromUtf8(item));
  zoom->setCurrentIndex(kZoomItem100);
  connect(zoom, &QComboBox::currentIndexChanged, this, [this](int index) { ZoomChanged(index); });
  return zoom;
}

// The grey area the page image lies on, at (kPageImageLeft, kPageImageTop)
// of a page widget that ShowImage sizes to the image.
QScrollArea* PreviewWindow::PageArea() {
  auto* area = new QScrollArea(this);
  area->setObjectName(QStringLiteral("pageArea"));
  area->setFrameShape(QFrame::NoFrame);
  QPalette grey = area->palette();
  grey.setColor(QPalette::Window, QColor(128, 128, 128));
  area->setPalette(grey);
  area->setBackgroundRole(QPalette::Window);
  area->setWidgetResizable(false);
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("Page"));
  m_pageLabel = new QLabel(page);
  m_pageLabel->setObjectName(QStringLiteral("pageLabel"));
  m_pageLabel->move(kPageImageLeft, kPageImageTop);
  area->setWidget(page);
  return area;
}

QStatusBar* PreviewWindow::StatusBar() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("statusBar"));
  bar->setSizeGripEnabled(false);
  return bar;
}

}  // namespace labelplu
