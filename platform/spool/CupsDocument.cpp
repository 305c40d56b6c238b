// labelplu: documents on CUPS queues.
#include "CupsDocument.h"

#include <QDir>
#include <QPageLayout>

#include <cups/cups.h>

#include <cmath>
#include <utility>
#include <vector>

#include "PrintObject.h"

namespace labelplu::spool {

void ConfigureQueuePrinter(QPrinter& printer, const TPageSetup& setup) {
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

TCupsDocument::TCupsDocument(const QPrinterInfo& queue, const TPageSetup& setup,
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
  m_metrics = gdi::TPageMetrics{paper.width(), paper.height(), page.x(), page.y()};
  try {
    m_canvas = std::make_unique<gdi::TCanvas>(*m_printer);
  } catch (const std::exception& e) {
    Fail(std::string("the queue refused the document: ") + e.what());
  }
  m_canvas->SetPageMetrics(m_metrics);
}

TCupsDocument::~TCupsDocument() {
  Abort();
}

void TCupsDocument::Fail(const std::string& what) const {
  throw ESpoolError("printer \"" + m_queueName + "\": " + what);
}

void TCupsDocument::NewPage() {
  if (!m_printer->newPage()) Fail("cannot start a new page");
}

void TCupsDocument::EndDoc() {
  m_canvas->End();
  const bool written = m_printer->printerState() != QPrinter::Error;
  const QPageLayout layout = m_printer->pageLayout();
  const bool collate = m_printer->collateCopies();
  const QPrinter::DuplexMode duplex = m_printer->duplex();
  m_canvas.reset();
  m_printer.reset();
  if (!written) Fail("cannot write the job into \"" + m_spoolFile.fileName().toStdString() + "\"");

  // The options Qt gives CUPS for a job of its own.
  std::vector<std::pair<std::string, std::string>> options;
  options.emplace_back("media", layout.pageSize().key().toStdString());
  if (m_copies > 1) options.emplace_back("copies", std::to_string(m_copies));
  if (m_copies > 1 && collate) options.emplace_back("Collate", "True");
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
  std::vector<cups_option_t> cupsOptions;
  for (auto& [name, value] : options) {
    cupsOptions.push_back(cups_option_t{name.data(), value.data()});
  }
  // A queue's instance ("queue/instance") prints on the queue itself.
  const std::string queue = m_queueName.substr(0, m_queueName.find('/'));
  const int job = cupsPrintFile(queue.c_str(), m_spoolFile.fileName().toLocal8Bit().constData(),
                                m_title.c_str(), static_cast<int>(cupsOptions.size()),
                                cupsOptions.data());
  m_spoolFile.remove();
  if (job <= 0) Fail(std::string("CUPS refused the job: ") + cupsLastErrorString());
}

void TCupsDocument::Abort() noexcept {
  if (!m_printer) return;
  // Ending the painter writes the temporary file; nothing is sent.
  m_canvas.reset();
  m_printer.reset();
  m_spoolFile.remove();
}

}  // namespace labelplu::spool
