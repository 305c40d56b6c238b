// labelplu: the preview window: one page of labels as the page layout printer lays
// it out, drawn at a chosen zoom with optional overlays (printable zone,
// margin lines, label outlines), and printed once on request.
//
// The window works on the printer device's label and page layout (not
// owned). It puts the label into preview mode and lends the view its page
// image; it takes the image back before destroying it. The label stays in
// preview mode after the window closes.
//
// Threads: the GUI thread.
#ifndef LABELPLU_UI_PREVIEWWINDOW_H
#define LABELPLU_UI_PREVIEWWINDOW_H

#include <QImage>

#include <cstdint>
#include <exception>
#include <string>

#include "ui/ThemedDialog.h"

class QComboBox;
class QIcon;
class QLabel;
class QScrollArea;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace labelplu {

class PrinterDevice;
class PageLayoutPrinter;

// The zoom items, in list order: three fitting modes, then percentages.
inline constexpr int kZoomItemCount = 9;
inline constexpr const char* kZoomItems[kZoomItemCount] = {"Вся страница",
                                                           "По ширине страницы",
                                                           "По высоте страницы",
                                                           "25 %",
                                                           "50 %",
                                                           "75 %",
                                                           "100 %",
                                                           "150 %",
                                                           "200 %"};
inline constexpr int kZoomItem100 = 6;

// Where the page image lies in the scroll area's page, in pixels from the
// top left corner; the page keeps as much room right of and below it.
inline constexpr int kPageImageLeft = 8;
inline constexpr int kPageImageTop = 8;

// The zoom percentage for the zoom item at index with text item, for a
// page image shown at (kPageImageLeft, kPageImageTop) in a box of
// boxWidth × boxHeight pixels. The fitting modes (index 0 whole page,
// 1 page width, 2 page height) fit a paper of paperWidthMm × paperHeightMm
// at logPixelsX/Y pixels per inch into the box less twice the image's
// offset and a 10-pixel slack, truncated; any other index reads the first
// word of item (words separated by blanks and "%") as a decimal integer,
// 100 when it is not one. Results stay within [1, 10000]: a fitting mode
// without a paper size gives 100, a box too small for any page 1.
int32_t ZoomPercent(int index, const std::string& item, int boxWidth, int boxHeight,
                    double paperWidthMm, double paperHeightMm, int32_t logPixelsX,
                    int32_t logPixelsY);

class PreviewWindow : public ThemedDialog {
 public:
  // Puts the device's label into preview mode and gives its view this
  // window's page image. The device must hold a label and a view
  // (SelectTemplate); std::logic_error otherwise.
  PreviewWindow(QWidget* owner, PrinterDevice& device);
  // Takes the page image back from the view.
  ~PreviewWindow() override;

  // Lays the page out anew and redraws it with the overlays whose flags
  // are set (also done when shown). Failures of the view propagate.
  void Redraw();
  // Selects zoom item index (0..8) and applies it as the zoom list does.
  void SetZoomIndex(int index);
  // The zoom percentage in force (100 at start).
  int32_t ZoomPercentage() const { return m_zoomPercent; }
  // The page image as last drawn.
  const QImage& PageImage() const { return m_pageImage; }
  // Prints the page once (the print button); a failure is shown in the
  // status bar and returned as false.
  bool PrintPage();
  // The status bar's text.
  QString StatusText() const;

  // The overlay flags the toggle buttons set (setting one here does not
  // redraw).
  bool ShowPrintableArea = true;  // printableAreaButton
  bool ShowMarginLines = true;    // pageMarginsButton
  bool ShowLabelFrames = true;    // labelBordersButton

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // The controls, one function per part of the window, each setting the
  // members of the controls it makes (PreviewWindowControls.cpp).
  void BuildControls();
  QToolBar* ToolBar();
  QToolButton* ToolButton(QToolBar* toolBar, const char* name, const QString& hint,
                          const QIcon& icon);
  QToolButton* OverlayToggle(QToolBar* toolBar, const char* name, const QString& hint,
                             const QIcon& icon, bool PreviewWindow::*flag);
  QComboBox* ZoomBox(QToolBar* toolBar);
  QScrollArea* PageArea();
  QStatusBar* StatusBar();

  void ZoomChanged(int index);
  void ShowImage();
  // LOGPIXELSX / LOGPIXELSY of the screen the window is on (96 when Qt
  // reports none usable).
  int32_t ScreenLogPixels(bool vertical) const;

  // The device's view, checked to be the one this window was made for.
  PageLayoutPrinter& View() const;
  void ShowStatus(const QString& text);
  void ShowFailure(const std::exception_ptr& failure);

  PrinterDevice& m_device;
  PageLayoutPrinter* m_view;
  QImage m_pageImage;
  int32_t m_zoomPercent = 100;

  QToolButton* m_printButton = nullptr;
  QComboBox* m_zoomCombo = nullptr;
  QToolButton* m_labelBordersButton = nullptr;
  QToolButton* m_pageMarginsButton = nullptr;
  QToolButton* m_printableAreaButton = nullptr;
  QToolButton* m_closeButton = nullptr;
  QScrollArea* m_pageArea = nullptr;
  QLabel* m_pageLabel = nullptr;
  QStatusBar* m_statusBar = nullptr;
};

}  // namespace labelplu

#endif  // LABELPLU_UI_PREVIEWWINDOW_H
