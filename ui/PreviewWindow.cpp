// labelplu: the preview window.
#include "ui/PreviewWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "label/Label.h"
#include "platform/gdi/RasterTarget.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"
#include "ui/Application.h"

namespace labelplu {

namespace {

constexpr int kFitSlack = 10;
constexpr int32_t kMinZoom = 1;
constexpr int32_t kMaxZoom = 10000;
constexpr int32_t kDefaultDpi = 96;
constexpr const char* kLayoutProgress = "Расчет параметров отображения";

int32_t Truncated(double percent) {
  if (!std::isfinite(percent)) return 100;
  if (percent < kMinZoom) return kMinZoom;
  if (percent > kMaxZoom) return kMaxZoom;
  return static_cast<int32_t>(percent);
}

int32_t FirstWordPercent(const std::string& item) {
  const size_t begin = item.find_first_not_of(" %");
  if (begin == std::string::npos) return 100;
  const size_t end = std::min(item.find_first_of(" %", begin), item.size());
  int32_t value = 0;
  const char* first = item.data() + begin;
  const char* last = item.data() + end;
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last) return 100;
  return value >= kMinZoom && value <= kMaxZoom ? value : 100;
}

int32_t DpmOf(int32_t dpi) {
  return static_cast<int32_t>(std::lround(dpi / 0.0254));
}
int32_t DpiOfDpm(int32_t dpm) {
  return static_cast<int32_t>(std::lround(dpm * 0.0254));
}

QString MessageOf(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QStringLiteral("Unknown failure");
  }
}

PageLayoutPrinter& RequireView(PrinterDevice& device) {
  if (device.LoadedLabel() == nullptr || device.View() == nullptr)
    throw std::logic_error("The preview needs a loaded template: the printer device has no label");
  return *device.View();
}

}  // namespace

int32_t ZoomPercent(int index, const std::string& item, int boxWidth, int boxHeight,
                    double paperWidthMm, double paperHeightMm, int32_t logPixelsX,
                    int32_t logPixelsY) {
  if (index < 0 || index > 2) return FirstWordPercent(item);
  const double aw = std::max(0, boxWidth - 2 * kPageImageLeft - kFitSlack);
  const double ah = std::max(0, boxHeight - 2 * kPageImageTop - kFitSlack);
  const double pw = paperWidthMm * logPixelsX / 25.4;
  const double ph = paperHeightMm * logPixelsY / 25.4;
  // Without a paper (or screen) size there is nothing to fit.
  if (!(pw > 0) || !(ph > 0)) return 100;
  switch (index) {
    case 0:
      return Truncated(std::min(ah / ph, aw / pw) * 100);
    case 1:
      return Truncated(aw / pw * 100);
    default:
      return Truncated(ah / ph * 100);
  }
}

PreviewWindow::PreviewWindow(QWidget* owner, PrinterDevice& device)
    : ThemedDialog(owner), m_device(device), m_view(&RequireView(device)) {
  setWindowTitle(QStringLiteral("Просмотр"));
  BuildControls();
  resize(858, 627);
  if (const QScreen* desktop = screen())
    move(desktop->availableGeometry().center() - rect().center());

  PageLayoutPrinter& view = *m_view;
  const int32_t dpiX = ScreenLogPixels(false);
  const int32_t dpiY = ScreenLogPixels(true);
  // The view takes its preview scale from the image's resolution, so the
  // image carries the screen's.
  m_pageImage = gdi::CreateRasterImage(1, 1, dpiX, dpiY);
  view.ShownLabel().SetMode(kModePreview);
  view.SetPreviewImage(&m_pageImage);
  try {
    view.UpdateLayout();
    view.ReadPrinterGeometry();
  } catch (...) {
    view.SetPreviewImage(nullptr);
    throw;
  }
  ShowPrintableArea = ShowMarginLines = ShowLabelFrames = true;
  ApplyColourScheme();
}

PreviewWindow::~PreviewWindow() {
  // The view may have been replaced meanwhile (a print job frees it); only
  // the one that holds this window's image is told to let go.
  if (m_device.View() == m_view) m_view->SetPreviewImage(nullptr);
}

PageLayoutPrinter& PreviewWindow::View() const {
  if (m_device.View() != m_view) throw std::logic_error("The page layout of this preview is gone");
  return *m_view;
}

void PreviewWindow::showEvent(QShowEvent* event) {
  ThemedDialog::showEvent(event);
  try {
    View().UpdateLayout();
    m_pageArea->horizontalScrollBar()->setValue(0);
    m_pageArea->verticalScrollBar()->setValue(0);
    Redraw();
  } catch (...) {
    ShowFailure(std::current_exception());
  }
}

bool PreviewWindow::event(QEvent* event) {
  // A dialog has no status bar of its own: the hints of the controls under
  // the mouse arrive here and go to the status bar.
  if (event->type() == QEvent::StatusTip) {
    ShowStatus(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return ThemedDialog::event(event);
}

void PreviewWindow::Redraw() {
  PageLayoutPrinter& view = View();
  // The view paints on the image through a painter of its own; that
  // painter must go before the image is changed or read here.
  view.ReleasePreviewCanvas();
  const int32_t dpiX = ScreenLogPixels(false);
  const int32_t dpiY = ScreenLogPixels(true);
  if (DpiOfDpm(m_pageImage.dotsPerMeterX()) != dpiX) m_pageImage.setDotsPerMeterX(DpmOf(dpiX));
  if (DpiOfDpm(m_pageImage.dotsPerMeterY()) != dpiY) m_pageImage.setDotsPerMeterY(DpmOf(dpiY));
  try {
    view.PaintPreview();
    view.DrawPaperEdge();
    if (ShowPrintableArea) view.DrawPrintableArea();
    if (ShowMarginLines) view.DrawMarginLines();
    if (ShowLabelFrames) view.DrawLabelFrames();
  } catch (...) {
    view.ReleasePreviewCanvas();
    ShowImage();
    throw;
  }
  view.ReleasePreviewCanvas();
  ShowImage();
}

void PreviewWindow::ShowImage() {
  m_pageLabel->setPixmap(QPixmap::fromImage(m_pageImage));
  m_pageLabel->resize(m_pageImage.size());
  m_pageArea->widget()->resize(m_pageImage.width() + 2 * kPageImageLeft,
                               m_pageImage.height() + 2 * kPageImageTop);
}

void PreviewWindow::SetZoomIndex(int index) {
  if (index < 0 || index >= kZoomItemCount) throw std::out_of_range("No such zoom item");
  if (m_zoomCombo->currentIndex() == index)
    ZoomChanged(index);
  else
    m_zoomCombo->setCurrentIndex(index);
}

void PreviewWindow::ZoomChanged(int index) {
  try {
    m_pageArea->horizontalScrollBar()->setValue(0);
    m_pageArea->verticalScrollBar()->setValue(0);
    ShowStatus(QString::fromUtf8(kLayoutProgress));
    // Paint the progress text; user input waits, so that no second zoom
    // change starts inside this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    PageLayoutPrinter& view = View();
    const QSize box = m_pageArea->viewport()->size();
    m_zoomPercent = ZoomPercent(index, m_zoomCombo->itemText(index).toStdString(), box.width(),
                                box.height(), view.PaperWidth, view.PaperHeight,
                                ScreenLogPixels(false), ScreenLogPixels(true));
    view.SetZoomX(m_zoomPercent / 100.0);
    view.SetZoomY(m_zoomPercent / 100.0);
    view.UpdateLayout();
    Redraw();
    ShowStatus(QString());
  } catch (...) {
    ShowFailure(std::current_exception());
  }
}

bool PreviewWindow::PrintPage() {
  std::exception_ptr failure;
  try {
    View().PrintPreviewPage();
  } catch (...) {
    failure = std::current_exception();
  }
  // Printing switched the label to printer mode and back, which set the
  // zoom to 1: the page on screen keeps the zoom the list shows.
  try {
    PageLayoutPrinter& view = View();
    view.SetZoomX(m_zoomPercent / 100.0);
    view.SetZoomY(m_zoomPercent / 100.0);
    Redraw();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  if (!failure) return true;
  ShowFailure(failure);
  return false;
}

void PreviewWindow::ShowStatus(const QString& text) {
  if (text.isEmpty())
    m_statusBar->clearMessage();
  else
    m_statusBar->showMessage(text);
}

void PreviewWindow::ShowFailure(const std::exception_ptr& failure) {
  const QString message = MessageOf(failure);
  ShowStatus(message);
  // A box only where a person can answer it; otherwise the status bar
  // keeps the message.
  if (IsInteractiveDisplay()) QMessageBox::warning(this, windowTitle(), message);
}

QString PreviewWindow::StatusText() const {
  return m_statusBar->currentMessage();
}

int32_t PreviewWindow::ScreenLogPixels(bool vertical) const {
  const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  if (s == nullptr) return kDefaultDpi;
  const auto dpi = std::lround(vertical ? s->logicalDotsPerInchY() : s->logicalDotsPerInchX());
  return dpi >= 1 && dpi <= 100000 ? static_cast<int32_t>(dpi) : kDefaultDpi;
}

}  // namespace labelplu
