#include "tests/print/FakePrintObjectSupport.h"

#include <QString>

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/RasterTarget.h"

namespace labelplu::test {

FakePrintObject::FakePrintObject() {
  Mode.PaperCode = 9;
  Mode.ResolutionX = 254;
  Mode.ResolutionY = 254;
  PaperList = {{"Letter", 1, 215.9, 279.4}, {"A4", 9, 210, 297}, {"A5", 11, 148, 210}};
  // A4 at 10 pixels per millimetre, printable to the paper's edges.
  Caps = {{gdi::HORZRES, 2100}, {gdi::VERTRES, 2970},       {gdi::HORZSIZE, 210},
          {gdi::VERTSIZE, 297}, {gdi::PHYSICALWIDTH, 2100}, {gdi::PHYSICALHEIGHT, 2970}};
}

FakePrintObject::~FakePrintObject() = default;

int32_t FakePrintObject::IndexOfPrinter(std::string_view name) const {
  const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  for (size_t i = 0; i < PrinterList.size(); ++i)
    if (QString::fromStdString(PrinterList[i]).compare(wanted, Qt::CaseInsensitive) == 0)
      return static_cast<int32_t>(i);
  return -1;
}

void FakePrintObject::SetPrinterIndex(int32_t index) {
  m_index = index >= 0 && index < static_cast<int32_t>(PrinterList.size()) ? index : 0;
}

int32_t FakePrintObject::SelectPrinterByName(std::string_view name) {
  const int32_t index = IndexOfPrinter(name);
  if (index < 0 && !name.empty()) throw spool::PrinterNotFound(name, PrinterList);
  SetPrinterIndex(index);
  return m_index;
}

std::vector<spool::PaperInfo> FakePrintObject::Papers(std::string_view printerName) const {
  return IndexOfPrinter(printerName) >= 0 ? PaperList : std::vector<spool::PaperInfo>{};
}

int32_t FakePrintObject::GetDeviceCaps(int32_t index) const {
  const auto it = Caps.find(index);
  return it == Caps.end() ? 0 : it->second;
}

void FakePrintObject::SetTitle(std::string_view title) {
  m_title = title;
  Note("Title " + m_title);
}

void FakePrintObject::SetCopies(int32_t copies) {
  m_copies = copies < 1 ? 1 : copies;
  Note("Copies " + std::to_string(m_copies));
}

void FakePrintObject::MaybeFail(const std::string& call) {
  if (call == FailOn && FailAfter-- <= 0) {
    Note(call + " failed");
    throw spool::SpoolError(call + " refused");
  }
}

void FakePrintObject::StartPage() {
  m_page = gdi::CreateRasterImage(std::max(1, GetDeviceCaps(gdi::HORZRES)),
                                  std::max(1, GetDeviceCaps(gdi::VERTRES)), Mode.ResolutionX,
                                  Mode.ResolutionY);
  m_canvas = std::make_unique<gdi::Canvas>(m_page);
}

void FakePrintObject::FinishPage() {
  m_canvas->End();
  m_canvas.reset();
  Pages.push_back(m_page);
}

void FakePrintObject::BeginDoc() {
  MaybeFail("BeginDoc");
  if (m_canvas) throw spool::SpoolError("a document is open already");
  Note("BeginDoc");
  StartPage();
}

void FakePrintObject::NewPage() {
  MaybeFail("NewPage");
  if (!m_canvas) throw spool::SpoolError("no document is open");
  Note("NewPage");
  FinishPage();
  StartPage();
}

void FakePrintObject::EndDoc() {
  MaybeFail("EndDoc");
  if (!m_canvas) throw spool::SpoolError("no document is open");
  Note("EndDoc");
  FinishPage();
}

void FakePrintObject::Abort() {
  Note("Abort");
  m_canvas.reset();
}

}  // namespace labelplu::test
