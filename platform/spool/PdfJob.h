// labelplu: one output file of the built-in PDF printer: the documents of
// a job appended to one PDF, copies made by replaying recorded pages.
#ifndef LABELPLU_PLATFORM_SPOOL_PDFJOB_H
#define LABELPLU_PLATFORM_SPOOL_PDFJOB_H

#include <QBuffer>
#include <QPdfWriter>
#include <QSaveFile>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/Canvas.h"
#include "platform/spool/PageRecorder.h"
#include "platform/spool/SpoolTypes.h"

namespace labelplu::spool {

// The file is written under a temporary name and appears under its own name
// only when Finish succeeds, so that a failure or an abort leaves no half
// file.
//
// Pages are painted straight into the PDF while the file holds nothing
// else and one copy is wanted. A document with copies is recorded page by
// page and each page replayed copy-count times. A document that follows
// finished documents in the same file is recorded until it ends, so that
// aborting it drops only its own pages.
class PdfJob {
 public:
  // Opens the file for writing; throws SpoolError naming the printer and
  // the file when it cannot.
  PdfJob(std::string printerName, std::string path, const std::string& title);
  ~PdfJob();
  PdfJob(const PdfJob&) = delete;
  PdfJob& operator=(const PdfJob&) = delete;

  const std::string& Path() const { return m_path; }
  // True when no document has been finished into the file.
  bool Empty() const { return m_documentsDone == 0; }

  // The caps of a PDF page in the set-up (no file involved).
  static DeviceCaps Caps(const PageSetup& setup);

  void BeginDoc(const PageSetup& setup, int32_t copies);
  gdi::Canvas* Canvas();
  void NewPage();
  void EndDoc();
  // Drops the open document's pages. Returns false when the whole file had
  // to go (the document was the file's first): the job is then finished.
  bool AbortDoc() noexcept;
  // Completes the file; throws SpoolError when it cannot be written.
  void Finish();
  // Removes the temporary file; never throws.
  void Discard() noexcept;

 private:
  void ApplySetup(QPdfWriter& writer, const PageSetup& setup) const;
  void StartWriterPage(const PageSetup& setup);
  void FinishRecordedPage();
  void StartRecordedPage();
  void Replay(const PageRecorder& page, const PageSetup& setup, int32_t times);
  [[noreturn]] void Fail(const std::string& what) const;

  std::string m_printerName;
  std::string m_path;
  QSaveFile m_file;
  std::unique_ptr<QPdfWriter> m_writer;
  std::unique_ptr<gdi::Canvas> m_writerCanvas;
  bool m_writerPageUsed = false;
  int32_t m_documentsDone = 0;

  // The open document.
  bool m_open = false;
  PageSetup m_setup;
  int32_t m_copies = 1;
  bool m_recording = false;
  bool m_holdBack = false;
  QBuffer m_modelBuffer;
  std::unique_ptr<QPdfWriter> m_model;  // metrics of the document's page
  std::unique_ptr<PageRecorder> m_page;
  std::optional<gdi::Canvas> m_pageCanvas;  // stays at one address across pages
  std::vector<std::unique_ptr<PageRecorder>> m_heldPages;
};

}  // namespace labelplu::spool

#endif  // LABELPLU_PLATFORM_SPOOL_PDFJOB_H
