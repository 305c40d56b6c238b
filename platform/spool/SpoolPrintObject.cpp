// labelplu: the print object: printers, selection and documents.
#include "platform/spool/SpoolPrintObject.h"

#include <QFileInfo>
#include <QPrinter>

#include "platform/spool/BuiltinOutput.h"
#include "platform/spool/CupsScheduler.h"

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

SpoolPrintObject::SpoolPrintObject() {
  try {
    RefreshPrinters();
  } catch (const SchedulerSilent&) {
    // The built-in printers only, until the scheduler answers again.
    m_printers = {kPdfPrinterName, kRasterPrinterName};
  }
  SetPrinterIndex(0);
}

SpoolPrintObject::~SpoolPrintObject() {
  Abort();
}

// ---- printers -------------------------------------------------------------

void SpoolPrintObject::RefreshPrinters() {
  const std::string selected = m_printers.empty() ? std::string() : PrinterName();
  // Qt asks CUPS on a connection that would wait for ever.
  RequireAnsweringScheduler();
  const QList<QPrinterInfo> queues = QPrinterInfo::availablePrinters();
  m_queues.assign(queues.begin(), queues.end());
  m_printers.clear();
  for (const QPrinterInfo& queue : m_queues)
    m_printers.push_back(queue.printerName().toStdString());
  m_printers.emplace_back(kPdfPrinterName);
  m_printers.emplace_back(kRasterPrinterName);
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

int32_t SpoolPrintObject::IndexOfPrinter(std::string_view name) const {
  const std::string_view bare = name.substr(0, name.find(';'));
  const QString wanted =
      QString::fromUtf8(bare.data(), static_cast<qsizetype>(bare.size())).trimmed();
  for (size_t i = 0; i < m_printers.size(); ++i) {
    if (QString::fromStdString(m_printers[i]).compare(wanted, Qt::CaseInsensitive) == 0) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void SpoolPrintObject::RequireNotPrinting(const char* what) const {
  if (Printing()) {
    throw SpoolError(std::string("cannot ") + what + " while a document is open on \"" +
                     PrinterName() + "\"");
  }
}

void SpoolPrintObject::SetPrinterIndex(int32_t index) {
  RequireNotPrinting("change the printer");
  m_index = index >= 0 && static_cast<size_t>(index) < m_printers.size() ? index : 0;
  ResetDeviceMode();
}

int32_t SpoolPrintObject::SelectPrinterByName(std::string_view name) {
  RequireNotPrinting("change the printer");
  const ParsedPrinterName parsed = ParsePrinterName(name);
  int32_t index = IndexOfPrinter(parsed.Name);
  // A queue added (or re-created) since the list was read would otherwise
  // lose its jobs to the first printer.
  if (index < 0) {
    RefreshPrinters();
    index = IndexOfPrinter(parsed.Name);
  }
  // Another printer in its place would print the labels where nobody
  // expects them, and report success.
  if (index < 0 && !parsed.Name.empty()) throw PrinterNotFound(parsed.Name, m_printers);
  if (index < 0) index = 0;
  if (parsed.Options && IsBuiltin(index))
    m_builtinOptions[static_cast<size_t>(BuiltinSlot(index))] = *parsed.Options;
  SetPrinterIndex(index);
  return m_index;
}

std::string SpoolPrintObject::PrinterName() const {
  return m_printers.at(static_cast<size_t>(m_index));
}

int32_t SpoolPrintObject::BuiltinSlot(int32_t index) const {
  const int64_t slot = static_cast<int64_t>(index) - static_cast<int64_t>(QueueCount());
  return slot >= 0 && slot < static_cast<int64_t>(kBuiltinCount) ? static_cast<int32_t>(slot) : -1;
}

bool SpoolPrintObject::IsBuiltin(int32_t index) const {
  return BuiltinSlot(index) >= 0;
}

void SpoolPrintObject::SetBuiltinOptions(std::string_view printerName,
                                         const BuiltinOptions& options) {
  const int32_t slot = BuiltinSlot(IndexOfPrinter(printerName));
  if (slot < 0) {
    throw SpoolError("\"" + std::string(printerName) + "\" is not a built-in printer");
  }
  const bool paper = options.PaperWidthMm != 0 || options.PaperHeightMm != 0;
  if (paper && !(options.PaperWidthMm >= 1 && options.PaperWidthMm <= kMaxPaperMm &&
                 options.PaperHeightMm >= 1 && options.PaperHeightMm <= kMaxPaperMm)) {
    throw SpoolError("printer \"" + std::string(printerName) + "\": paper " +
                     CustomPaperName(options.PaperWidthMm, options.PaperHeightMm) +
                     " is outside 1..5000 mm");
  }
  if (options.Dpi < 0 || options.Dpi > kMaxDpi) {
    throw SpoolError("printer \"" + std::string(printerName) + "\": resolution " +
                     std::to_string(options.Dpi) + " is outside 1..4800 dpi");
  }
  m_builtinOptions[static_cast<size_t>(slot)] = options;
  if (BuiltinSlot(m_index) == slot && !Printing()) ResetDeviceMode();
}

// ---- documents ------------------------------------------------------------

std::string SpoolPrintObject::PdfPath() const {
  const std::string& given = m_builtinOptions[0].OutputPath;
  if (!given.empty()) return ResolveOutputPath(given);
  return UniqueName(DefaultOutputFolder(), SafeFileName(m_title), ".pdf", Exists);
}

std::string SpoolPrintObject::RasterBase() const {
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

void SpoolPrintObject::BeginJob() {
  if (m_inJob) EndJob();
  m_inJob = true;
  m_outputFiles.clear();
}

void SpoolPrintObject::FinishPdfJob() {
  if (!m_pdfJob) return;
  std::unique_ptr<PdfJob> job = std::move(m_pdfJob);
  if (job->Empty()) return;  // nothing finished: no file
  job->Finish();
  m_outputFiles.push_back(job->Path());
}

void SpoolPrintObject::FinishRasterJob() {
  m_rasterJob.reset();
  m_rasterFilesReported = 0;
}

void SpoolPrintObject::EndJob() {
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

void SpoolPrintObject::BeginDoc() {
  RequireNotPrinting("begin a document");
  if (!m_inJob) {
    m_outputFiles.clear();
    m_pdfJob.reset();
    FinishRasterJob();
  }
  const PageSetup setup = SetupOf(m_mode);
  switch (BuiltinSlot(m_index)) {
    case 0: {
      if (!m_pdfJob) m_pdfJob = std::make_unique<PdfJob>(kPdfPrinterName, PdfPath(), m_title);
      try {
        m_pdfJob->BeginDoc(setup, m_copies);
      } catch (...) {
        if (!m_pdfJob->AbortDoc()) m_pdfJob.reset();
        throw;
      }
      m_open = OpenKind::Pdf;
      break;
    }
    case 1: {
      if (!m_rasterJob) m_rasterJob = std::make_unique<RasterJob>(kRasterPrinterName, RasterBase());
      m_rasterJob->BeginDoc(setup, m_copies);
      m_open = OpenKind::Raster;
      break;
    }
    default:
      RequireAnsweringScheduler();
      m_cupsDocument = std::make_unique<CupsDocument>(m_queues.at(static_cast<size_t>(m_index)),
                                                      setup, m_title, m_copies);
      m_open = OpenKind::Cups;
      break;
  }
}

gdi::Canvas* SpoolPrintObject::Canvas() {
  switch (m_open) {
    case OpenKind::Cups:
      return m_cupsDocument->Canvas();
    case OpenKind::Pdf:
      return m_pdfJob->Canvas();
    case OpenKind::Raster:
      return m_rasterJob->Canvas();
    case OpenKind::None:
      break;
  }
  return nullptr;
}

void SpoolPrintObject::NewPage() {
  if (!Printing()) throw SpoolError("no document is open for a new page");
  switch (m_open) {
    case OpenKind::Cups:
      m_cupsDocument->NewPage();
      break;
    case OpenKind::Pdf:
      m_pdfJob->NewPage();
      break;
    case OpenKind::Raster:
      m_rasterJob->NewPage();
      break;
    case OpenKind::None:
      break;
  }
}

void SpoolPrintObject::EndDoc() {
  if (!Printing()) throw SpoolError("no document is open to end");
  try {
    switch (m_open) {
      case OpenKind::Cups: {
        std::unique_ptr<CupsDocument> document = std::move(m_cupsDocument);
        m_open = OpenKind::None;
        document->EndDoc();
        break;
      }
      case OpenKind::Pdf:
        m_pdfJob->EndDoc();
        m_open = OpenKind::None;
        if (!m_inJob) FinishPdfJob();
        break;
      case OpenKind::Raster: {
        m_rasterJob->EndDoc();
        m_open = OpenKind::None;
        const std::vector<std::string>& files = m_rasterJob->Files();
        m_outputFiles.insert(m_outputFiles.end(),
                             files.begin() + static_cast<std::ptrdiff_t>(m_rasterFilesReported),
                             files.end());
        m_rasterFilesReported = files.size();
        if (!m_inJob) FinishRasterJob();
        break;
      }
      case OpenKind::None:
        break;
    }
  } catch (...) {
    // What could not be completed is dropped, so that no half output stays.
    Abort();
    if (!m_inJob) m_pdfJob.reset();
    throw;
  }
}

void SpoolPrintObject::Abort() {
  switch (m_open) {
    case OpenKind::Cups:
      if (m_cupsDocument) m_cupsDocument->Abort();
      m_cupsDocument.reset();
      break;
    case OpenKind::Pdf:
      if (m_pdfJob && !m_pdfJob->AbortDoc()) m_pdfJob.reset();
      break;
    case OpenKind::Raster:
      if (m_rasterJob) m_rasterJob->AbortDoc();
      break;
    case OpenKind::None:
      break;
  }
  m_open = OpenKind::None;
}

}  // namespace labelplu::spool
