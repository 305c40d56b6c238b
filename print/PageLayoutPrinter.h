// labelplu: the page layout printer: places one label, filled anew for every
// record, on the pages of a printer. It reads the page-layout settings of a
// printer device, asks the print object for the paper and printable area,
// lays out a grid of label positions, draws the label at successive
// positions (opening documents and pages as needed), draws separators,
// makes copies through the printer or by repetition, and draws the preview
// page with its overlays.
//
// Units: millimetres (double) for settings and positions; device pixels of
// the current canvas for drawing; the scale is pixels per millimetre per
// axis, zoom included. Every millimetre-to-pixel conversion rounds half to
// even.
//
// Threads: the thread of the driver call. Printing runs that thread's event
// loop (after a document starts and after each new page), so the host may
// be called back in the middle of a job.
#ifndef LABELPLU_PRINT_PAGELAYOUTPRINTER_H
#define LABELPLU_PRINT_PAGELAYOUTPRINTER_H

#include <QImage>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "label/Outline.h"
#include "platform/gdi/Canvas.h"
#include "platform/spool/PrintObject.h"
#include "print/LabelGrid.h"
#include "print/PageLayout.h"

namespace labelplu {

class PrinterDevice;

// Titles of the print documents: a print job's and the previewed page's.
inline constexpr const char* kLabelJobTitle = "Документ ЖФУ 8";
inline constexpr const char* kPreviewPageTitle = "ЖФУ3";
// The most label positions one page may hold (MaxHorizontal × MaxVertical);
// LayoutPage refuses more.
inline constexpr int64_t kMaxPagePositions = 100000;

class PageLayoutPrinter : public PageLayout {
 public:
  // A view of label on the process's print object (or another one, for
  // tests); registers itself with the label. Settings as at construction:
  // one label per page, resolution -1, no positions. The destructor closes
  // a job that BeginLabelJob opened and FinishJob did not close.
  explicit PageLayoutPrinter(Label& label,
                             spool::PrintObject& printer = spool::PrintObject::Instance());
  ~PageLayoutPrinter() override;

  // ---- settings -----------------------------------------------------------
  // Reads the layout settings of Device, selects its printer
  // ("PrinterName"; empty selects the first printer) and reads the printer
  // geometry. A printer that is not installed, or that the spooler did not
  // answer for, is no error here: PrinterProblem() then says why, the
  // selection and the geometry stay as they were, and the job and the
  // preview page refuse to print. std::logic_error without a Device; a
  // setting that is not a number raises as the device item does.
  void ReadDeviceSettings();
  // Why the device's printer cannot be printed on, naming it; empty when
  // the last ReadDeviceSettings selected it. While it is set, BeginLabelJob
  // and PrintPreviewPage throw spool::PrinterUnavailable with this text
  // before anything is opened, so that no label goes to another printer.
  // The settings dialog sets it while a missing printer is chosen.
  const std::string& PrinterProblem() const { return m_printerProblem; }
  void SetPrinterProblem(std::string problem) { m_printerProblem = std::move(problem); }
  // Resets the selected printer's device mode to its defaults; paper code,
  // name and size, orientation and resolution from that device mode (a size
  // of 0 there is taken from the paper list); offsets and unprintable strips
  // from the device capabilities, in mm to one decimal.
  void ReadPrinterGeometry();

  // ---- layout -------------------------------------------------------------
  // Labels that fit across / down the paper between the margins; 1 when
  // nothing sensible can be computed (no paper, no label size).
  int32_t FitAcross() const;  // >= 1
  int32_t FitDown() const;    // >= 1
  // The settings dialog's automatic placement: the counts that fit, each
  // held to 1..kMaxGridCount (labelplu::AutomaticGrid of Sheet()); 1 x 1
  // when the stored counts make no label per page.
  GridCounts AutomaticGrid() const;
  // The paper, the loaded label's size, the gaps and the margins.
  SheetGeometry Sheet() const;
  // Fills Positions with MaxHorizontal × MaxVertical label corners (mm,
  // row by row; shifted by -Offset in printer mode) and sets the cursor to
  // 0. No positions when either count is below 1; std::runtime_error for
  // more than kMaxPagePositions.
  void LayoutPage();
  // Scale from the printer's resolution (printer mode) or the canvas's
  // LOGPIXELS (otherwise), zoom included; sizes WorkBitmap and the preview
  // image; re-prepares the label's items when the scale changed.
  void UpdateLayout() override;
  // The printer's canvas while a document is open (printer mode), the
  // preview image's canvas (preview mode with PreviewImage set), otherwise
  // WorkBitmap's canvas.
  gdi::Canvas* Canvas() override;

  // ---- the print job ------------------------------------------------------
  // Printer mode, page layout, job title and copy count 1; reads the
  // printer list again, opens a job on the print object (its documents
  // share one output) and sets the scale. spool::PrinterUnavailable, with
  // nothing opened, when PrinterProblem() is set or the selected printer
  // is gone from the list read again.
  void BeginLabelJob();
  // Prints the label as it stands copies times: through the printer's copy
  // count (a document of its own for copies > 1, a new page of the running
  // document for 1) when a page holds one label and PrinterCopies is set,
  // otherwise at successive positions, starting documents and pages on
  // demand. Failures propagate; in the printer-copies way the document is
  // aborted and the copy count set back to 1 first. std::runtime_error when
  // the page has no positions.
  void PrintLabel(int32_t copies);
  // Ends (ok) or aborts the open document, then closes the job that
  // BeginLabelJob opened (also when ending fails).
  void FinishJob(bool ok);

  // ---- preview ------------------------------------------------------------
  // Draws the page on PreviewImage in preview mode: every position, and the
  // separators when either flag is set.
  void PaintPreview();
  // Prints the page as previewed (the label's current contents) once under
  // kPreviewPageTitle, then returns the label to preview mode. A failure
  // aborts the document and is rethrown after the label is back in preview
  // mode.
  void PrintPreviewPage();
  // Overlays on PreviewImage (nothing without one).
  void DrawPaperEdge();
  void DrawPrintableArea();
  void DrawMarginLines();
  void DrawLabelFrames();
  // The preview window's image (not owned); null unless a preview set it.
  // The view paints on it through its own canvas and replaces it (white,
  // the paper's size) in UpdateLayout; a caller that reads it while the
  // view may still paint calls ReleasePreviewCanvas first. The image must
  // outlive its use here: set null before it goes away.
  void SetPreviewImage(QImage* image);
  void ReleasePreviewCanvas();
  QImage* PreviewImage() const { return m_previewImage; }

  // ---- fields ---------------------------------------------------------------
  Outline Positions;           // (X, Y) in mm, row by row
  int32_t PositionCursor = 0;  // next position to print
  double OffsetX = 0, OffsetY = 0;
  double UnprintableRight = 0, UnprintableBottom = 0;
  int32_t ResolutionX = -1, ResolutionY = -1;
  int32_t MaxHorizontal = 1, MaxVertical = 1;
  double GapHorizontal = 2, GapVertical = 2;
  int32_t HorizontalAlign = 1, VerticalAlign = 1;
  double MarginLeft = 1, MarginRight = 1, MarginTop = 1, MarginBottom = 1;
  bool PrintHSeparator = false, PrintVSeparator = false;
  bool PrinterCopies = true;
  int32_t LabelsPerPage = 1;

  spool::PrintObject& Printer() const { return m_printer; }
  const QImage& WorkBitmap() const { return m_workBitmap; }

 private:
  void DrawLabelAt(double x, double y);
  void DrawSeparators(double x, double y);
  void DrawPage();
  void PrintWithPrinterCopies(int32_t copies);
  void PrintRepeated(int32_t copies);
  void RequirePositions() const;
  // Throws for a printer problem; reads the printer list again and throws
  // PrinterNotFound when the selected printer left it.
  void RequireSelectedPrinter();
  // Begin, end and abort run through the device item's host link when
  // there is one; AbortDocument never throws.
  void StartDocument();
  void EndDocument();
  void AbortDocument();
  void RunDocumentCall(void (spool::PrintObject::*call)());
  void ResizeWorkBitmap(int32_t widthPx, int32_t heightPx);
  void ResizePreviewImage(int32_t widthPx, int32_t heightPx);
  gdi::Canvas* PreviewCanvas();

  spool::PrintObject& m_printer;
  std::string m_printerProblem;
  bool m_jobOpen = false;
  QImage m_workBitmap;
  std::unique_ptr<gdi::Canvas> m_workCanvas;
  QImage* m_previewImage = nullptr;
  std::unique_ptr<gdi::Canvas> m_previewCanvas;
};

}  // namespace labelplu

#endif  // LABELPLU_PRINT_PAGELAYOUTPRINTER_H
