// labelplu: documents on CUPS queues.
#include "platform/spool/CupsDocument.h"

#include <QDir>
#include <QPageLayout>

#include <cups/cups.h>

#include <cmath>
#include <utility>
#include <vector>

#include "platform/spool/CupsScheduler.h"
#include "platform/spool/PrintObject.h"

namespace labelplu::spool {

namespace {

// A CUPS job's options as name and value.
using JobOptions = std::vector<std::pair<std::string, std::string>>;

// The options Qt gives CUPS for a job of its own.
JobOptions QtJobOptions(const QPageLayout& layout, int32_t copies, bool collate,
                        QPrinter::DuplexMode duplex) {
  JobOptions options;
  options.emplace_back("media", layout.pageSize().key().toStdString());
  if (copies > 1) options.emplace_back("copies", std::to_string(copies));
  if (copies > 1 && collate) options.emplace_back("Collate", "True");
  switch (duplex) {
    case QPrinter::DuplexLongSide:
      options.emplace_back("sides", "two-sided-long-edge");
      break;
    case QPrinter::DuplexShortSide:
      options.emplace_back("sides", "two-sided-short-edge");
      break;
    default:
      options.emplace_back("sides", "one-sided");
      break;
  }
  if (layout.orientation() == QPageLayout::Landscape) options.emplace_back("landscape", "true");
  return options;
}

// One Print-Job request on that connection (cupsPrintFile2 would look the
// queue up first on the shared connection, where the limit does not hold),
// with the options in both the operation and the job group. The new job's
// id, or 0 when the scheduler refused the job or did not answer.
int SendPrintJob(http_t* http, const std::string& queue, const std::string& title, const char* file,
                 JobOptions& options) {
  std::vector<cups_option_t> cupsOptions;
  for (auto& [name, value] : options) {
    cupsOptions.push_back(cups_option_t{name.data(), value.data()});
  }
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/printers/%s", queue.c_str());
  ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
               "application/pdf");
  cupsEncodeOptions2(request, static_cast<int>(cupsOptions.size()), cupsOptions.data(),
                     IPP_TAG_OPERATION);
  cupsEncodeOptions2(request, static_cast<int>(cupsOptions.size()), cupsOptions.data(),
                     IPP_TAG_JOB);
  const std::string resource = "/printers/" + queue;
  ipp_t* response = cupsDoFileRequest(http, request, resource.c_str(), file);
  int job = 0;
  if (response != nullptr && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING) {
    if (ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER)) {
      job = ippGetInteger(id, 0);
    }
  }
  ippDelete(response);
  return job;
}

}  // namespace

void ConfigureQueuePrinter(QPrinter& printer, const PageSetup& setup) {
  printer.setResolution(setup.DpiX);
  printer.setFullPage(false);
  // One by one: a whole layout with margins below the queue's minimum would
  // be refused as a whole.
  printer.setPageSize(setup.Layout.pageSize());
  printer.setPageOrientation(setup.Layout.orientation());
  // The queue's own minimum margins for the paper just chosen.
  const QPageLayout chosen = printer.pageLayout();
  printer.setPageMargins(chosen.minimumMargins(), chosen.units());
}

CupsDocument::CupsDocument(const QPrinterInfo& queue, const PageSetup& setup,
                           const std::string& title, int32_t copies)
    : m_queueName(queue.printerName().toStdString()),
      m_title(title),
      m_copies(copies < 1 ? 1 : copies),
      m_printer(std::make_unique<QPrinter>(queue, QPrinter::HighResolution)) {
  ConfigureQueuePrinter(*m_printer, setup);
  m_printer->setCopyCount(m_copies);
  m_printer->setDocName(QString::fromStdString(title));
  // Qt would hand the job to CUPS itself, but it ignores a refusal and
  // sends the job even after an abort. With an output file (named without
  // ".pdf", so that the printer stays a CUPS one with the queue's paper and
  // margins) Qt only writes, and EndDoc sends.
  m_spoolFile.setFileTemplate(QDir::tempPath() + QStringLiteral("/labelplu-job-XXXXXX"));
  if (!m_spoolFile.open()) {
    Fail("cannot make a temporary file in \"" + QDir::tempPath().toStdString() +
         "\": " + m_spoolFile.errorString().toStdString());
  }
  m_spoolFile.close();
  m_printer->setOutputFileName(m_spoolFile.fileName());
  const QRect paper = m_printer->paperRect(QPrinter::DevicePixel).toRect();
  const QRect page = m_printer->pageRect(QPrinter::DevicePixel).toRect();
  m_metrics = gdi::PageMetrics{paper.width(), paper.height(), page.x(), page.y()};
  try {
    m_canvas = std::make_unique<gdi::Canvas>(*m_printer);
  } catch (const std::exception& e) {
    Fail(std::string("the queue refused the document: ") + e.what());
  }
  m_canvas->SetPageMetrics(m_metrics);
}

CupsDocument::~CupsDocument() {
  Abort();
}

void CupsDocument::Fail(const std::string& what) const {
  throw SpoolError("printer \"" + m_queueName + "\": " + what);
}

void CupsDocument::NewPage() {
  if (!m_printer->newPage()) Fail("cannot start a new page");
}

JobOptions CupsDocument::CloseSpoolFile() {
  m_canvas->End();
  const bool written = m_printer->printerState() != QPrinter::Error;
  const QPageLayout layout = m_printer->pageLayout();
  const bool collate = m_printer->collateCopies();
  const QPrinter::DuplexMode duplex = m_printer->duplex();
  m_canvas.reset();
  m_printer.reset();
  if (!written) Fail("cannot write the job into \"" + m_spoolFile.fileName().toStdString() + "\"");
  return QtJobOptions(layout, m_copies, collate, duplex);
}

void CupsDocument::EndDoc() {
  JobOptions options = CloseSpoolFile();
  // A queue's instance ("queue/instance") prints on the queue itself.
  const std::string queue = m_queueName.substr(0, m_queueName.find('/'));
  // A connection of the job's own with a limit on silence: on the shared
  // default connection libcups waits for ever.
  const SchedulerConnection connection;
  http_t* http = connection.Http();
  if (http == nullptr) {
    m_spoolFile.remove();
    Fail(std::string("cannot reach the CUPS scheduler at \"") + cupsServer() +
         "\": " + cupsLastErrorString());
  }
  const int job =
      SendPrintJob(http, queue, m_title, m_spoolFile.fileName().toLocal8Bit().constData(), options);
  const std::string reason = cupsLastErrorString();
  m_spoolFile.remove();
  if (job <= 0) Fail("CUPS refused the job: " + reason);
}

void CupsDocument::Abort() noexcept {
  if (!m_printer) return;
  // Ending the painter writes the temporary file; nothing is sent.
  m_canvas.reset();
  m_printer.reset();
  m_spoolFile.remove();
}

}  // namespace labelplu::spool
