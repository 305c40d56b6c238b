// A print object for tests: two printers, a device mode, papers and device
// capabilities set by the test, pages painted on raster images, and a log
// of every document, page, copy-count, title and job call.
#ifndef LABELPLU_TESTS_PRINT_FAKEPRINTOBJECTSUPPORT_H
#define LABELPLU_TESTS_PRINT_FAKEPRINTOBJECTSUPPORT_H

#include <QImage>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Canvas.h"
#include "platform/spool/PrintObject.h"

namespace labelplu::test {

class FakePrintObject : public spool::PrintObject {
 public:
  FakePrintObject();
  ~FakePrintObject() override;

  // ---- set up by the test ----
  // An unknown name, other than "", makes SelectPrinterByName throw
  // PrinterNotFound, as the real one does; a test may change the list.
  std::vector<std::string> PrinterList{"Label Printer", "Office"};
  spool::PageSettings Mode;  // A4 (code 9, sizes 0), 254 dpi
  std::vector<spool::PaperInfo> PaperList;
  std::map<int32_t, int32_t> Caps;  // GetDeviceCaps answers; 0 for others
  // The call (as logged, e.g. "BeginDoc") that throws SpoolError; the
  // count of such calls to let through first.
  std::string FailOn;
  int FailAfter = 0;

  // ---- what happened ----
  std::vector<std::string> Log;  // "Title …", "Copies n", "BeginJob", "BeginDoc", "NewPage", …
  std::vector<QImage> Pages;     // finished pages of ended documents, in order
  void Note(const std::string& entry) { Log.push_back(entry); }

  // ---- PrintObject ----
  const std::vector<std::string>& Printers() const override { return PrinterList; }
  void RefreshPrinters() override {}
  int32_t IndexOfPrinter(std::string_view name) const override;
  int32_t PrinterIndex() const override { return m_index; }
  void SetPrinterIndex(int32_t index) override;
  int32_t SelectPrinterByName(std::string_view name) override;
  std::string PrinterName() const override { return PrinterList.at(static_cast<size_t>(m_index)); }
  bool IsBuiltin(int32_t) const override { return false; }
  void SetBuiltinOptions(std::string_view, const spool::BuiltinOptions&) override {}
  void ResetDeviceMode() override { Note("ResetDeviceMode"); }
  spool::PageSettings DeviceMode() const override { return Mode; }
  void SetDeviceMode(const spool::PageSettings& mode) override { Mode = mode; }
  std::vector<spool::PaperInfo> Papers(std::string_view printerName) const override;
  int32_t GetDeviceCaps(int32_t index) const override;
  bool SupportsCopies() const override { return true; }
  void SetTitle(std::string_view title) override;
  std::string Title() const override { return m_title; }
  void SetCopies(int32_t copies) override;
  int32_t Copies() const override { return m_copies; }
  void BeginJob() override { Note("BeginJob"); }
  void EndJob() override { Note("EndJob"); }
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() const override { return m_canvas != nullptr; }
  gdi::Canvas* Canvas() override { return m_canvas.get(); }
  std::vector<std::string> OutputFiles() const override { return {}; }

 private:
  void MaybeFail(const std::string& call);
  void StartPage();
  void FinishPage();

  int32_t m_index = 0;
  std::string m_title;
  int32_t m_copies = 1;
  QImage m_page;
  std::unique_ptr<gdi::Canvas> m_canvas;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_PRINT_FAKEPRINTOBJECTSUPPORT_H
