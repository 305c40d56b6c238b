#include "print/PaperList.h"

#include "platform/sys/MessagePump.h"

namespace labelplu {

PaperList BuildPaperList(spool::PrintObject& printer, std::string_view printerName) {
  PaperList papers;
  if (printer.IndexOfPrinter(printerName) < 0) return papers;
  // Asking a driver for its papers can take a while; keep the application
  // responsive first.
  sys::ProcessMessages();
  const std::vector<spool::PaperInfo> infos = printer.Papers(printerName);
  papers.reserve(infos.size());
  for (const spool::PaperInfo& info : infos) {
    PaperEntry item;
    item.Name = info.Name;
    // Paper numbers are unsigned 16-bit values on the platform's side.
    item.Code = static_cast<int32_t>(static_cast<uint16_t>(info.Code));
    item.Width = info.WidthMm;
    item.Height = info.HeightMm;
    papers.push_back(std::move(item));
  }
  return papers;
}

const PaperEntry* FindPaperByCode(const PaperList& papers, int32_t code) {
  for (const PaperEntry& paper : papers)
    if (paper.Code == code) return &paper;
  return nullptr;
}

}  // namespace labelplu
