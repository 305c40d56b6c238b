#include "Papers.h"

#include "MessagePump.h"

namespace labelplu {

TPapers BuildPaperList(spool::TPrintObject& printer, std::string_view printerName) {
  TPapers papers;
  if (printer.IndexOfPrinter(printerName) < 0) return papers;
  // Asking a driver for its papers can take a while; keep the application
  // responsive first.
  sys::ProcessMessages();
  const std::vector<spool::TPaperInfo> infos = printer.Papers(printerName);
  papers.reserve(infos.size());
  for (const spool::TPaperInfo& info : infos) {
    TPaperItem item;
    item.Name = info.Name;
    // Paper numbers are unsigned 16-bit values on the platform's side.
    item.Code = static_cast<int32_t>(static_cast<uint16_t>(info.Code));
    item.Width = info.WidthMm;
    item.Height = info.HeightMm;
    papers.push_back(std::move(item));
  }
  return papers;
}

const TPaperItem* FindPaperByCode(const TPapers& papers, int32_t code) {
  for (const TPaperItem& paper : papers)
    if (paper.Code == code) return &paper;
  return nullptr;
}

}  // namespace labelplu
