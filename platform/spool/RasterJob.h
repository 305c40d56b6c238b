// labelplu: the output of the built-in raster printer: one PNG per page,
// named <base>-<document>-<page>.png with four digits each.
#ifndef LABELPLU_SPOOL_RASTERJOB_H
#define LABELPLU_SPOOL_RASTERJOB_H

#include <QImage>

#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "SpoolTypes.h"

namespace labelplu::spool {

// Documents are numbered from 1 within the job, pages from 1 within the
// document; each copy of a page is a page of its own. Every file is written
// under a temporary name and renamed when complete.
class TRasterJob {
 public:
  TRasterJob(std::string printerName, std::string base);
  ~TRasterJob();
  TRasterJob(const TRasterJob&) = delete;
  TRasterJob& operator=(const TRasterJob&) = delete;

  // Throws ESpoolError for a page that cannot be made (too large) or a
  // folder that cannot be created.
  void BeginDoc(const TPageSetup& setup, int32_t copies);
  gdi::TCanvas* Canvas() { return m_canvas.get(); }
  // Throw ESpoolError when a file cannot be written.
  void NewPage();
  void EndDoc();
  // Removes the open document's files; never throws.
  void AbortDoc() noexcept;
  // Files written for finished documents, in order.
  const std::vector<std::string>& Files() const { return m_files; }

 private:
  void SavePage();
  [[noreturn]] void Fail(const std::string& what) const;

  std::string m_printerName;
  std::string m_base;
  int32_t m_document = 0;
  int32_t m_page = 0;
  int32_t m_copies = 1;
  QImage m_image;
  std::unique_ptr<gdi::TCanvas> m_canvas;
  std::vector<std::string> m_files;
  std::vector<std::string> m_documentFiles;
};

}  // namespace labelplu::spool

#endif
