// labelplu: the preview window's controls, one function per part of the
// window.
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
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
  m_scrollBox = PageArea();
  m_sb = StatusBar();

  m_timer = new QTimer(this);
  m_timer->setObjectName(QStringLiteral("Timer1"));
  m_timer->setInterval(300);
  m_timer->setSingleShot(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolBar);
  layout->addWidget(m_scrollBox, 1);
  layout->addWidget(m_sb);
}

QToolBar* PreviewWindow::ToolBar() {
  auto* toolBar = new QToolBar(this);
  toolBar->setObjectName(QStringLiteral("ToolBar1"));
  toolBar->setMovable(false);
  toolBar->setFloatable(false);

  m_btnPrint = ToolButton(toolBar, "btnPrint", QStringLiteral("Печать"), PrinterIcon());
  connect(m_btnPrint, &QToolButton::clicked, this, [this] { PrintPage(); });
  toolBar->addWidget(m_btnPrint);
  m_cbZoom = ZoomBox(toolBar);
  toolBar->addWidget(m_cbZoom);
  toolBar->addSeparator();

  m_btnBorder = OverlayToggle(toolBar, "btnBorder", QStringLiteral("Границы этикеток"),
                              FramesIcon(), &PreviewWindow::ShowLabelFrames);
  toolBar->addWidget(m_btnBorder);
  m_btnMargin = OverlayToggle(toolBar, "btnMargin", QStringLiteral("Размеры страницы"),
                              MarginsIcon(), &PreviewWindow::ShowMarginLines);
  toolBar->addWidget(m_btnMargin);
  m_btnPage = OverlayToggle(toolBar, "btnPage", QStringLiteral("Зона печати принтера"),
                            PrintableZoneIcon(), &PreviewWindow::ShowPrintableArea);
  toolBar->addWidget(m_btnPage);
  toolBar->addSeparator();

  m_btnClose = new QToolButton(toolBar);
  m_btnClose->setObjectName(QStringLiteral("btnClose"));
  m_btnClose->setText(QStringLiteral("Закрыть"));
  m_btnClose->setToolButtonStyle(Qt::ToolButtonTextOnly);
  m_btnClose->setAutoRaise(true);
  connect(m_btnClose, &QToolButton::clicked, this, &QDialog::accept);
  toolBar->addWidget(m_btnClose);
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
  zoom->setObjectName(QStringLiteral("cbZoom"));
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
  area->setObjectName(QStringLiteral("ScrollBox1"));
  area->setFrameShape(QFrame::NoFrame);
  QPalette grey = area->palette();
  grey.setColor(QPalette::Window, QColor(128, 128, 128));
  area->setPalette(grey);
  area->setBackgroundRole(QPalette::Window);
  area->setWidgetResizable(false);
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("Page"));
  m_image = new QLabel(page);
  m_image->setObjectName(QStringLiteral("Image1"));
  m_image->move(kPageImageLeft, kPageImageTop);
  area->setWidget(page);
  return area;
}

QStatusBar* PreviewWindow::StatusBar() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("sb"));
  bar->setSizeGripEnabled(false);
  return bar;
}

}  // namespace labelplu
