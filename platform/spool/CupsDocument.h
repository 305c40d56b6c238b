// labelplu: a document on a CUPS queue: painted through QPrinter into a
// temporary file, handed to CUPS as one job when it ends (a refusal is an
// error), dropped unsent when aborted.
#ifndef LABELPLU_PLATFORM_SPOOL_CUPSDOCUMENT_H
#define LABELPLU_PLATFORM_SPOOL_CUPSDOCUMENT_H

#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/Canvas.h"
#include "platform/spool/SpoolTypes.h"

namespace labelplu::spool {

// Configures a printer for a set-up: its resolution, paper and orientation,
// and the queue's minimum margins, so that device pixel (0, 0) is the
// top-left corner of the printable area.
void ConfigureQueuePrinter(QPrinter& printer, const PageSetup& setup);

class CupsDocument {
 public:
  // Begins the job; throws SpoolError naming the queue when it refuses.
  CupsDocument(const QPrinterInfo& queue, const PageSetup& setup, const std::string& title,
               int32_t copies);
  ~CupsDocument();
  CupsDocument(const CupsDocument&) = delete;
  CupsDocument& operator=(const CupsDocument&) = delete;

  gdi::Canvas* Canvas() { return m_canvas.get(); }
  void NewPage();
  // Hands the job to CUPS; throws SpoolError when it is refused, or when
  // the scheduler cannot be reached or stays silent for the limit
  // (CupsScheduler.h).
  void EndDoc();
  void Abort() noexcept;

 private:
  [[noreturn]] void Fail(const std::string& what) const;
  // Ends the painting, which writes the spool file, and lets the printer
  // go; the job's CUPS options as name and value. Throws when the file
  // could not be written.
  std::vector<std::pair<std::string, std::string>> CloseSpoolFile();

  std::string m_queueName;
  std::string m_title;
  int32_t m_copies = 1;
  QTemporaryFile m_spoolFile;
  std::unique_ptr<QPrinter> m_printer;
  std::unique_ptr<gdi::Canvas> m_canvas;
  gdi::PageMetrics m_metrics;
};

}  // namespace labelplu::spool

#endif  // LABELPLU_PLATFORM_SPOOL_CUPSDOCUMENT_H
