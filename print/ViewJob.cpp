// The printer view's print job: documents, pages, copies and the drawing of
// one label and its separators.
#include <algorithm>
#include <exception>
#include <stdexcept>

#include "GdiTypes.h"
#include "ManagerWinPrinter.h"
#include "MessagePump.h"
#include "PixelRound.h"
#include "TLb.h"
#include "ViewWinPrinter.h"

namespace labelplu {

namespace {

// One document call handed to the host: the host runs it as a plain
// procedure, so an exception must not travel through it; it is carried
// back and raised again on this side.
struct TDocumentCall {
  spool::TPrintObject* printer;
  void (spool::TPrintObject::*call)();
  std::exception_ptr error;
};

void RunCall(void* data, intptr_t) {
  auto* doc = static_cast<TDocumentCall*>(data);
  try {
    (doc->printer->*doc->call)();
  } catch (...) {
    doc->error = std::current_exception();
  }
}

}  // namespace

// ---- documents -----------------------------------------------------------------------

void TViewWinPrinter::RunDocumentCall(void (spool::TPrintObject::*call)()) {
  TDocumentCall doc{&m_printer, call, nullptr};
  if (DeviceItem != nullptr) {
    try {
      DeviceItem->CallThroughHost(&RunCall, &doc, 0);
    } catch (...) {
      DeviceItem->KeepAlive();
      throw;
    }
    DeviceItem->KeepAlive();
  } else {
    RunCall(&doc, 0);
  }
  if (doc.error) std::rethrow_exception(doc.error);
}

void TViewWinPrinter::StartDocument() { RunDocumentCall(&spool::TPrintObject::BeginDoc); }

void TViewWinPrinter::EndDocument() { RunDocumentCall(&spool::TPrintObject::EndDoc); }

void TViewWinPrinter::AbortDocument() {
  try {
    RunDocumentCall(&spool::TPrintObject::Abort);
  } catch (...) {
    // The host could not run the abort; the document must not stay open.
  }
  if (m_printer.Printing()) m_printer.Abort();
}

// ---- drawing ---------------------------------------------------------------------------

void TViewWinPrinter::DrawLabelAt(double x, double y) {
  TLb& label = Label();
  label.BeginUpdate();
  try {
    label.SetLeft(x);
    label.SetTop(y);
  } catch (...) {
    try {
      if (gdi::TCanvas* canvas = Canvas()) canvas->RemoveClip();
      label.EndUpdate(true);
    } catch (...) {
      // The first failure is the one to report.
    }
    throw;
  }
  if (gdi::TCanvas* canvas = Canvas()) canvas->RemoveClip();
  label.EndUpdate(true);
}

void TViewWinPrinter::DrawSeparators(double x, double y) {
  gdi::TCanvas* canvas = Canvas();
  if (canvas == nullptr) return;
  const double w = Label().Width();
  const double h = Label().Height();
  canvas->SelectBrush(gdi::TBrush{gdi::BS_NULL, gdi::RGB(255, 255, 255)});
  canvas->SelectPen(gdi::TPen{gdi::PS_SOLID, std::max(1, RoundPx(m_pixelsPerMmX * 0.1)),
                              gdi::RGB(0, 0, 0)});
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

void TViewWinPrinter::DrawPage() {
  for (int32_t i = 0; i < Positions.Count(); ++i)
    DrawLabelAt(Positions.Item(i).MmX, Positions.Item(i).MmY);
  if (PrintHSeparator || PrintVSeparator)
    for (int32_t i = 0; i < Positions.Count(); ++i)
      DrawSeparators(Positions.Item(i).MmX, Positions.Item(i).MmY);
}

void TViewWinPrinter::RequirePositions() const {
  if (Positions.Count() == 0)
    throw std::runtime_error("The page has no label positions (" + std::to_string(MaxHorizontal) +
                             " x " + std::to_string(MaxVertical) + " labels per page)");
}

// ---- the job ---------------------------------------------------------------------------

void TViewWinPrinter::BeginLabelJob() {
  Label().SetMode(kModePrinter);
  LayoutPage();
  m_printer.SetTitle(kLabelJobTitle);
  m_printer.SetCopies(1);
  m_printer.RefreshPrinters();
  if (!m_jobOpen) {
    m_printer.BeginJob();
    m_jobOpen = true;
  }
  UpdateLayout();
}

void TViewWinPrinter::PrintLabel(int32_t copies) {
  if (LabelsPerPage == 1 && PrinterCopies) PrintWithPrinterCopies(copies);
  else PrintRepeated(copies);
}

void TViewWinPrinter::PrintWithPrinterCopies(int32_t copies) {
  RequirePositions();
  // A failure here used to be swallowed after the abort, so a lost label
  // passed for a printed one; the caller now hears of it.
  try {
    if (copies > 1) {
      if (m_printer.Printing()) EndDocument();
      m_printer.SetCopies(copies);
    }
    if (!m_printer.Printing()) StartDocument();
    else if (copies == 1) m_printer.NewPage();
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

void TViewWinPrinter::PrintRepeated(int32_t copies) {
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
    const TFigItem& position = Positions.Item(PositionCursor++);
    DrawLabelAt(position.MmX, position.MmY);
    if (PrintHSeparator || PrintVSeparator) DrawSeparators(position.MmX, position.MmY);
  }
}

void TViewWinPrinter::FinishJob(bool ok) {
  try {
    if (m_printer.Printing()) {
      if (ok) EndDocument();
      else AbortDocument();
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
