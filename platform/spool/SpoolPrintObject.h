// labelplu: the print object's implementation: CUPS queues through Qt
// PrintSupport, the built-in PDF and raster printers, device modes and
// documents.
#ifndef LABELPLU_PLATFORM_SPOOL_SPOOLPRINTOBJECT_H
#define LABELPLU_PLATFORM_SPOOL_SPOOLPRINTOBJECT_H

#include <QPrinterInfo>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/spool/CupsDocument.h"
#include "platform/spool/PdfJob.h"
#include "platform/spool/PrintObject.h"
#include "platform/spool/RasterJob.h"
#include "platform/spool/SpoolTypes.h"

namespace labelplu::spool {

class SpoolPrintObject final : public PrintObject {
 public:
  // Reads the printer list and selects index 0.
  SpoolPrintObject();
  ~SpoolPrintObject() override;

  const std::vector<std::string>& Printers() const override { return m_printers; }
  void RefreshPrinters() override;
  int32_t IndexOfPrinter(std::string_view name) const override;
  int32_t PrinterIndex() const override { return m_index; }
  void SetPrinterIndex(int32_t index) override;
  int32_t SelectPrinterByName(std::string_view name) override;
  std::string PrinterName() const override;
  bool IsBuiltin(int32_t index) const override;
  void SetBuiltinOptions(std::string_view printerName, const BuiltinOptions& options) override;

  void ResetDeviceMode() override;
  PageSettings DeviceMode() const override { return m_mode; }
  void SetDeviceMode(const PageSettings& mode) override;
  std::vector<PaperInfo> Papers(std::string_view printerName) const override;
  int32_t GetDeviceCaps(int32_t index) const override;
  bool SupportsCopies() const override;

  void SetTitle(std::string_view title) override { m_title = std::string(title); }
  std::string Title() const override { return m_title; }
  void SetCopies(int32_t copies) override { m_copies = copies < 1 ? 1 : copies; }
  int32_t Copies() const override { return m_copies; }
  void BeginJob() override;
  void EndJob() override;
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() const override { return m_open != OpenKind::None; }
  gdi::Canvas* Canvas() override;
  std::vector<std::string> OutputFiles() const override { return m_outputFiles; }

 private:
  enum class OpenKind { None, Cups, Pdf, Raster };
  static constexpr size_t kBuiltinCount = 2;

  size_t QueueCount() const { return m_queues.size(); }
  // Index of a built-in printer in m_builtinOptions, or -1.
  int32_t BuiltinSlot(int32_t index) const;
  PageSettings DefaultMode(int32_t index) const;
  PageSetup SetupOf(const PageSettings& mode) const;
  void RequireNotPrinting(const char* what) const;
  void FinishPdfJob();
  void FinishRasterJob();
  std::string PdfPath() const;
  std::string RasterBase() const;

  std::vector<QPrinterInfo> m_queues;
  std::vector<std::string> m_printers;
  int32_t m_index = 0;
  std::array<BuiltinOptions, kBuiltinCount> m_builtinOptions;
  PageSettings m_mode;
  mutable std::optional<DeviceCaps> m_caps;  // of the selected printer, not printing
  std::string m_title;
  int32_t m_copies = 1;
  bool m_inJob = false;
  OpenKind m_open = OpenKind::None;
  std::unique_ptr<CupsDocument> m_cupsDocument;
  std::unique_ptr<PdfJob> m_pdfJob;
  std::unique_ptr<RasterJob> m_rasterJob;
  size_t m_rasterFilesReported = 0;
  std::vector<std::string> m_outputFiles;
};

}  // namespace labelplu::spool

#endif  // LABELPLU_PLATFORM_SPOOL_SPOOLPRINTOBJECT_H
