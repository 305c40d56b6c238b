// The page layout printer's print job: documents, pages, copies and the drawing of
// one label and its separators.
#include <algorithm>
#include <exception>
#include <stdexcept>

#include "label/Label.h"
#include "label/PixelRound.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/sys/MessagePump.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"

namespace labelplu {

namespace {

// One document call handed to the host: the host runs it as a plain
// procedure, so an exception must not travel through it; it is carried
// back and raised again on this side.
struct DocumentCall {
  spool::PrintObject* printer;
  void (spool::PrintObject::*call)();
  std::exception_ptr error;
};

void RunCall(void* data, intptr_t) {
  auto* doc = static_cast<DocumentCall*>(data);
  try {
    (doc->printer->*doc->call)();
  } catch (...) {
    doc->error = std::current_exception();
  }
}

}  // namespace

// ---- documents -----------------------------------------------------------------------

void PageLayoutPrinter::RunDocumentCall(void (spool::PrintObject::*call)()) {
  DocumentCall doc{&m_printer, call, nullptr};
  if (Device != nullptr) {
    try {
      Device->CallThroughHost(&RunCall, &doc, 0);
    } catch (...) {
      Device->KeepAlive();
      throw;
    }
    Device->KeepAlive();
  } else {
    RunCall(&doc, 0);
  }
  if (doc.error) std::rethrow_exception(doc.error);
}

void PageLayoutPrinter::StartDocument() {
  RunDocumentCall(&spool::PrintObject::BeginDoc);
}

void PageLayoutPrinter::EndDocument() {
  RunDocumentCall(&spool::PrintObject::EndDoc);
}

void PageLayoutPrinter::AbortDocument() {
  try {
    RunDocumentCall(&spool::PrintObject::Abort);
  } catch (...) {
    // The host could not run the abort; the document must not stay open.
  }
  if (m_printer.Printing()) m_printer.Abort();
}

// ---- drawing ---------------------------------------------------------------------------

void PageLayoutPrinter::DrawLabelAt(double x, double y) {
  Label& label = ShownLabel();
  label.BeginUpdate();
  try {
    label.SetLeft(x);
    label.SetTop(y);
  } catch (...) {
    try {
      if (gdi::Canvas* canvas = Canvas()) canvas->RemoveClip();
      label.EndUpdate(true);
    } catch (...) {
      // The first failure is the one to report.
    }
    throw;
  }
  if (gdi::Canvas* canvas = Canvas()) canvas->RemoveClip();
  label.EndUpdate(true);
}

void PageLayoutPrinter::DrawSeparators(double x, double y) {
  gdi::Canvas* canvas = Canvas();
  if (canvas == nullptr) return;
  const double w = ShownLabel().Width();
  const double h = ShownLabel().Height();
  canvas->SelectBrush(gdi::Brush{gdi::BS_NULL, gdi::RGB(255, 255, 255)});
  canvas->SelectPen(
      gdi::Pen{gdi::PS_SOLID, std::max(1, RoundPx(m_pixelsPerMmX * 0.1)), gdi::RGB(0, 0, 0)});
  const int32_t x1 = RoundPx(m_pixelsPerMmX * (x - GapHorizontal / 2));
  const int32_t y1 = RoundPx(m_pixelsPerMmY * (y - GapVertical / 2));
  const int32_t x2 = x1 + RoundPx((w + GapHorizontal) * m_pixelsPerMmX);
  const int32_t y2 = y1 + RoundPx((h + GapVertical) * m_pixelsPerMmY);
  if (PrintHSeparator) {
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y1);
    canvas->MoveTo(x1, y2);
    canvas->LineTo(x2, y2);
  }
  if (PrintVSeparator) {
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x1, y2);
    canvas->MoveTo(x2, y1);
    canvas->LineTo(x2, y2);
  }
}

void PageLayoutPrinter::DrawPage() {
  for (int32_t i = 0; i < Positions.Count(); ++i)
    DrawLabelAt(Positions.Item(i).MmX, Positions.Item(i).MmY);
  if (PrintHSeparator || PrintVSeparator)
    for (int32_t i = 0; i < Positions.Count(); ++i)
      DrawSeparators(Positions.Item(i).MmX, Positions.Item(i).MmY);
}

void PageLayoutPrinter::RequirePositions() const {
  if (Positions.Count() == 0)
    throw std::runtime_error("The page has no label positions (" + std::to_string(MaxHorizontal) +
                             " x " + std::to_string(MaxVertical) + " labels per page)");
}

// ---- the job ---------------------------------------------------------------------------

void PageLayoutPrinter::RequireSelectedPrinter() {
  if (!m_printerProblem.empty()) throw spool::PrinterUnavailable(m_printerProblem);
  const std::string selected = m_printer.PrinterName();
  m_printer.RefreshPrinters();
  // A queue deleted since the settings were read leaves the first printer
  // selected.
  if (m_printer.PrinterName() != selected)
    throw spool::PrinterNotFound(selected, m_printer.Printers());
}

void PageLayoutPrinter::BeginLabelJob() {
  RequireSelectedPrinter();
  ShownLabel().SetMode(kModePrinter);
  LayoutPage();
  m_printer.SetTitle(kLabelJobTitle);
  m_printer.SetCopies(1);
  if (!m_jobOpen) {
    m_printer.BeginJob();
    m_jobOpen = true;
  }
  UpdateLayout();
}

void PageLayoutPrinter::PrintLabel(int32_t copies) {
  if (LabelsPerPage == 1 && PrinterCopies)
    PrintWithPrinterCopies(copies);
  else
    PrintRepeated(copies);
}

void PageLayoutPrinter::PrintWithPrinterCopies(int32_t copies) {
  RequirePositions();
  // A failure here used to be swallowed after the abort, so a lost label
  // passed for a printed one; the caller now hears of it.
  try {
    if (copies > 1) {
      if (m_printer.Printing()) EndDocument();
      m_printer.SetCopies(copies);
    }
    if (!m_printer.Printing())
      StartDocument();
    else if (copies == 1)
      m_printer.NewPage();
    PositionCursor = 0;
    DrawLabelAt(Positions.Item(0).MmX, Positions.Item(0).MmY);
    if (copies > 1) {
      EndDocument();
      m_printer.SetCopies(1);
    }
  } catch (...) {
    AbortDocument();
    try {
      m_printer.SetCopies(1);
    } catch (...) {
    }
    throw;
  }
}

void PageLayoutPrinter::PrintRepeated(int32_t copies) {
  if (copies <= 0) return;
  RequirePositions();
  for (int32_t i = 0; i < copies; ++i) {
    if (!m_printer.Printing()) {
      StartDocument();
      sys::ProcessMessages();
    }
    if (PositionCursor >= Positions.Count()) {
      m_printer.NewPage();
      sys::ProcessMessages();
      PositionCursor = 0;
    }
    const OutlinePoint& position = Positions.Item(PositionCursor++);
    DrawLabelAt(position.MmX, position.MmY);
    if (PrintHSeparator || PrintVSeparator) DrawSeparators(position.MmX, position.MmY);
  }
}

void PageLayoutPrinter::FinishJob(bool ok) {
  try {
    if (m_printer.Printing()) {
      if (ok)
        EndDocument();
      else
        AbortDocument();
    }
  } catch (...) {
    AbortDocument();
    if (m_jobOpen) {
      m_jobOpen = false;
      m_printer.EndJob();
    }
    throw;
  }
  if (m_jobOpen) {
    m_jobOpen = false;
    m_printer.EndJob();
  }
}

}  // namespace labelplu
