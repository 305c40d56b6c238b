// labelplu: the print object: printers, selection and documents.
#include "SpoolPrintObject.h"

#include <QFileInfo>
#include <QPrinter>

#include "BuiltinOutput.h"

namespace labelplu::spool {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
             .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())),
                      Qt::CaseInsensitive) == 0;
}

bool Exists(const std::string& path) {
  return QFileInfo::exists(QString::fromStdString(path));
}

}  // namespace

TSpoolPrintObject::TSpoolPrintObject() {
  RefreshPrinters();
  SetPrinterIndex(0);
}

TSpoolPrintObject::~TSpoolPrintObject() {
  Abort();
}

// ---- printers -------------------------------------------------------------

void TSpoolPrintObject::RefreshPrinters() {
  const std::string selected = m_printers.empty() ? std::string() : PrinterName();
  const QList<QPrinterInfo> queues = QPrinterInfo::availablePrinters();
  m_queues.assign(queues.begin(), queues.end());
  m_printers.clear();
  for (const QPrinterInfo& queue : m_queues) m_printers.push_back(queue.printerName().toStdString());
  m_printers.push_back(kPdfPrinterName);
  m_printers.push_back(kRasterPrinterName);
  m_caps.reset();
  if (selected.empty()) return;
  const int32_t index = IndexOfPrinter(selected);
  if (index >= 0) {
    m_index = index;
  } else if (Printing()) {
    m_index = 0;  // the open document keeps its own printer; its mode resets after it
  } else {
    SetPrinterIndex(0);
  }
}

int32_t TSpoolPrintObject::IndexOfPrinter(std::string_view name) const {
  const std::string_view bare = name.substr(0, name.find(';'));
  const QString wanted = QString::fromUtf8(bare.data(), static_cast<qsizetype>(bare.size())).trimmed();
  for (size_t i = 0; i < m_printers.size(); ++i) {
    if (QString::fromStdString(m_printers[i]).compare(wanted, Qt::CaseInsensitive) == 0) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void TSpoolPrintObject::RequireNotPrinting(const char* what) const {
  if (Printing()) {
    throw ESpoolError(std::string("cannot ") + what + " while a document is open on \"" +
                      PrinterName() + "\"");
  }
}

void TSpoolPrintObject::SetPrinterIndex(int32_t index) {
  RequireNotPrinting("change the printer");
  m_index = index >= 0 && static_cast<size_t>(index) < m_printers.size() ? index : 0;
  ResetDeviceMode();
}

int32_t TSpoolPrintObject::SelectPrinterByName(std::string_view name) {
  RequireNotPrinting("change the printer");
  const TParsedPrinterName parsed = ParsePrinterName(name);
  int32_t index = IndexOfPrinter(parsed.Name);
  // A queue added (or re-created) since the list was read would otherwise
  // lose its jobs to the first printer.
  if (index < 0) {
    RefreshPrinters();
    index = IndexOfPrinter(parsed.Name);
  }
  if (index < 0) index = 0;
  if (parsed.Options && IsBuiltin(index)) m_builtinOptions[BuiltinSlot(index)] = *parsed.Options;
  SetPrinterIndex(index);
  return m_index;
}

std::string TSpoolPrintObject::PrinterName() const {
  return m_printers.at(static_cast<size_t>(m_index));
}

int32_t TSpoolPrintObject::BuiltinSlot(int32_t index) const {
  const int64_t slot = static_cast<int64_t>(index) - static_cast<int64_t>(QueueCount());
  return slot >= 0 && slot < static_cast<int64_t>(kBuiltinCount) ? static_cast<int32_t>(slot) : -1;
}

bool TSpoolPrintObject::IsBuiltin(int32_t index) const {
  return BuiltinSlot(index) >= 0;
}

void TSpoolPrintObject::SetBuiltinOptions(std::string_view printerName,
                                          const TBuiltinOptions& options) {
  const int32_t slot = BuiltinSlot(IndexOfPrinter(printerName));
  if (slot < 0) {
    throw ESpoolError("\"" + std::string(printerName) + "\" is not a built-in printer");
  }
  const bool paper = options.PaperWidthMm != 0 || options.PaperHeightMm != 0;
  if (paper && !(options.PaperWidthMm >= 1 && options.PaperWidthMm <= kMaxPaperMm &&
                 options.PaperHeightMm >= 1 && options.PaperHeightMm <= kMaxPaperMm)) {
    throw ESpoolError("printer \"" + std::string(printerName) + "\": paper " +
                      CustomPaperName(options.PaperWidthMm, options.PaperHeightMm) +
                      " is outside 1..5000 mm");
  }
  if (options.Dpi < 0 || options.Dpi > kMaxDpi) {
    throw ESpoolError("printer \"" + std::string(printerName) + "\": resolution " +
                      std::to_string(options.Dpi) + " is outside 1..4800 dpi");
  }
  m_builtinOptions[static_cast<size_t>(slot)] = options;
  if (BuiltinSlot(m_index) == slot && !Printing()) ResetDeviceMode();
}

// ---- documents ------------------------------------------------------------

std::string TSpoolPrintObject::PdfPath() const {
  const std::string& given = m_builtinOptions[0].OutputPath;
  if (!given.empty()) return ResolveOutputPath(given);
  return UniqueName(DefaultOutputFolder(), SafeFileName(m_title), ".pdf", Exists);
}

std::string TSpoolPrintObject::RasterBase() const {
  std::string given = m_builtinOptions[1].OutputPath;
  if (!given.empty()) {
    if (given.size() > 4 && SameName(given.substr(given.size() - 4), ".png")) {
      given.resize(given.size() - 4);
    }
    return ResolveOutputPath(given);
  }
  return UniqueName(DefaultOutputFolder(), SafeFileName(m_title), "",
                    [](const std::string& base) { return Exists(base + "-0001-0001.png"); });
}

void TSpoolPrintObject::BeginJob() {
  if (m_inJob) EndJob();
  m_inJob = true;
  m_outputFiles.clear();
}

void TSpoolPrintObject::FinishPdfJob() {
  if (!m_pdfJob) return;
  std::unique_ptr<TPdfJob> job = std::move(m_pdfJob);
  if (job->Empty()) return;  // nothing finished: no file
  job->Finish();
  m_outputFiles.push_back(job->Path());
}

void TSpoolPrintObject::FinishRasterJob() {
  m_rasterJob.reset();
  m_rasterFilesReported = 0;
}

void TSpoolPrintObject::EndJob() {
  std::exception_ptr failure;
  try {
    if (Printing()) EndDoc();
  } catch (...) {
    failure = std::current_exception();
  }
  m_inJob = false;
  try {
    FinishPdfJob();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  FinishRasterJob();
  if (failure) std::rethrow_exception(failure);
}

void TSpoolPrintObject::BeginDoc() {
  RequireNotPrinting("begin a document");
  if (!m_inJob) {
    m_outputFiles.clear();
    m_pdfJob.reset();
    FinishRasterJob();
  }
  const TPageSetup setup = SetupOf(m_mode);
  switch (BuiltinSlot(m_index)) {
    case 0: {
      if (!m_pdfJob) m_pdfJob = std::make_unique<TPdfJob>(kPdfPrinterName, PdfPath(), m_title);
      try {
        m_pdfJob->BeginDoc(setup, m_copies);
      } catch (...) {
        if (!m_pdfJob->AbortDoc()) m_pdfJob.reset();
        throw;
      }
      m_open = TOpen::Pdf;
      break;
    }
    case 1: {
      if (!m_rasterJob) m_rasterJob = std::make_unique<TRasterJob>(kRasterPrinterName, RasterBase());
      m_rasterJob->BeginDoc(setup, m_copies);
      m_open = TOpen::Raster;
      break;
    }
    default:
      m_cupsDocument = std::make_unique<TCupsDocument>(m_queues.at(static_cast<size_t>(m_index)),
                                                       setup, m_title, m_copies);
      m_open = TOpen::Cups;
      break;
  }
}

gdi::TCanvas* TSpoolPrintObject::Canvas() {
  switch (m_open) {
    case TOpen::Cups:
      return m_cupsDocument->Canvas();
    case TOpen::Pdf:
      return m_pdfJob->Canvas();
    case TOpen::Raster:
      return m_rasterJob->Canvas();
    case TOpen::None:
      break;
  }
  return nullptr;
}

void TSpoolPrintObject::NewPage() {
  if (!Printing()) throw ESpoolError("no document is open for a new page");
  switch (m_open) {
    case TOpen::Cups:
      m_cupsDocument->NewPage();
      break;
    case TOpen::Pdf:
      m_pdfJob->NewPage();
      break;
    case TOpen::Raster:
      m_rasterJob->NewPage();
      break;
    case TOpen::None:
      break;
  }
}

void TSpoolPrintObject::EndDoc() {
  if (!Printing()) throw ESpoolError("no document is open to end");
  try {
    switch (m_open) {
      case TOpen::Cups: {
        std::unique_ptr<TCupsDocument> document = std::move(m_cupsDocument);
        m_open = TOpen::None;
        document->EndDoc();
        break;
      }
      case TOpen::Pdf:
        m_pdfJob->EndDoc();
        m_open = TOpen::None;
        if (!m_inJob) FinishPdfJob();
        break;
      case TOpen::Raster: {
        m_rasterJob->EndDoc();
        m_open = TOpen::None;
        const std::vector<std::string>& files = m_rasterJob->Files();
        m_outputFiles.insert(m_outputFiles.end(),
                             files.begin() + static_cast<std::ptrdiff_t>(m_rasterFilesReported),
                             files.end());
        m_rasterFilesReported = files.size();
        if (!m_inJob) FinishRasterJob();
        break;
      }
      case TOpen::None:
        break;
    }
  } catch (...) {
    // What could not be completed is dropped, so that no half output stays.
    Abort();
    if (!m_inJob) m_pdfJob.reset();
    throw;
  }
}

void TSpoolPrintObject::Abort() {
  switch (m_open) {
    case TOpen::Cups:
      if (m_cupsDocument) m_cupsDocument->Abort();
      m_cupsDocument.reset();
      break;
    case TOpen::Pdf:
      if (m_pdfJob && !m_pdfJob->AbortDoc()) m_pdfJob.reset();
      break;
    case TOpen::Raster:
      if (m_rasterJob) m_rasterJob->AbortDoc();
      break;
    case TOpen::None:
      break;
  }
  m_open = TOpen::None;
}

}  // namespace labelplu::spool
