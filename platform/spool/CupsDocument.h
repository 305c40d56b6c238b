// labelplu: a document on a CUPS queue: painted through QPrinter into a
// temporary file, handed to CUPS as one job when it ends (a refusal is an
// error), dropped unsent when aborted.
#ifndef LABELPLU_SPOOL_CUPSDOCUMENT_H
#define LABELPLU_SPOOL_CUPSDOCUMENT_H

#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <memory>
#include <string>

#include "Canvas.h"
#include "SpoolTypes.h"

namespace labelplu::spool {

// Configures a printer for a set-up: its resolution, paper and orientation,
// and the queue's minimum margins, so that device pixel (0, 0) is the
// top-left corner of the printable area.
void ConfigureQueuePrinter(QPrinter& printer, const TPageSetup& setup);

class TCupsDocument {
 public:
  // Begins the job; throws ESpoolError naming the queue when it refuses.
  TCupsDocument(const QPrinterInfo& queue, const TPageSetup& setup, const std::string& title,
                int32_t copies);
  ~TCupsDocument();
  TCupsDocument(const TCupsDocument&) = delete;
  TCupsDocument& operator=(const TCupsDocument&) = delete;

  gdi::TCanvas* Canvas() { return m_canvas.get(); }
  void NewPage();
  // Hands the job to CUPS; throws ESpoolError when it is refused, or when
  // the scheduler cannot be reached or stays silent for 30 s.
  void EndDoc();
  void Abort() noexcept;

 private:
  [[noreturn]] void Fail(const std::string& what) const;

  std::string m_queueName;
  std::string m_title;
  int32_t m_copies = 1;
  QTemporaryFile m_spoolFile;
  std::unique_ptr<QPrinter> m_printer;
  std::unique_ptr<gdi::TCanvas> m_canvas;
  gdi::TPageMetrics m_metrics;
};

}  // namespace labelplu::spool

#endif
