// labelplu: the output of the built-in raster printer: one PNG per page,
// named <base>-<document>-<page>.png with four digits each.
#ifndef LABELPLU_PLATFORM_SPOOL_RASTERJOB_H
#define LABELPLU_PLATFORM_SPOOL_RASTERJOB_H

#include <QImage>

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Canvas.h"
#include "platform/spool/SpoolTypes.h"

namespace labelplu::spool {

// Documents are numbered from 1 within the job, pages from 1 within the
// document; each copy of a page is a page of its own. Every file is written
// under a temporary name and renamed when complete.
class RasterJob {
 public:
  RasterJob(std::string printerName, std::string base);
  ~RasterJob();
  RasterJob(const RasterJob&) = delete;
  RasterJob& operator=(const RasterJob&) = delete;

  // Throws SpoolError for a page that cannot be made (too large) or a
  // folder that cannot be created.
  void BeginDoc(const PageSetup& setup, int32_t copies);
  gdi::Canvas* Canvas() { return m_canvas.get(); }
  // Throw SpoolError when a file cannot be written.
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
  std::unique_ptr<gdi::Canvas> m_canvas;
  std::vector<std::string> m_files;
  std::vector<std::string> m_documentFiles;
};

}  // namespace labelplu::spool

#endif  // LABELPLU_PLATFORM_SPOOL_RASTERJOB_H
