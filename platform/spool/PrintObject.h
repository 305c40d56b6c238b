// labelplu: the process-wide print object: the installed printers, the
// selected printer with its device mode, paper list and device
// capabilities, and documents with pages, copies, a title and abort.
//
// Printers: every CUPS queue (through Qt PrintSupport) in the order CUPS
// lists them, then two built-in printers that exist on every machine:
//   kPdfPrinterName     writes each job into one PDF file;
//   kRasterPrinterName  writes one PNG per page at a chosen resolution.
// A built-in printer's output and paper are set with SetBuiltinOptions, or
// by a printer name of the form "<built-in name>; key=value; ..." given to
// SelectPrinterByName (keys: file, paper = WxH in mm, dpi). Its default
// paper is A4 (code 9), 300 dpi for the PDF printer and 203 for the raster
// printer.
//
// Paper codes are the platform's paper numbers (QPageSize::windowsId():
// 1 Letter, 9 A4, 11 A5, ...; 256 for a custom size). Millimetre sizes are
// in portrait orientation.
//
// Documents: BeginDoc opens a document on the selected printer with the
// current title and copy count and makes Canvas() available; NewPage ends
// the page and starts the next; EndDoc hands the document to its printer
// (CUPS: a spooled job; PDF: pages appended to the job's file; raster: PNG
// files); Abort drops it. A printer that cannot make copies itself (the
// built-in ones) receives each page of a document copy-count times, so the
// output always holds what was asked. Between BeginJob and EndJob every
// document of a built-in printer goes into the same output (one PDF file,
// one numbered sequence of PNG files); outside a job a document is a job of
// its own.
//
// Threads: the print object belongs to the thread that uses it (the thread
// of the driver call). It needs a QGuiApplication for text on its canvas.
#ifndef LABELPLU_PLATFORM_SPOOL_PRINTOBJECT_H
#define LABELPLU_PLATFORM_SPOOL_PRINTOBJECT_H

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace labelplu::gdi {
class Canvas;
}

namespace labelplu::spool {

inline constexpr const char* kPdfPrinterName = "labelplu PDF";
inline constexpr const char* kRasterPrinterName = "labelplu Raster";

// A failure of the spooler or of an output file, with a message for people.
class SpoolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The printer a job asks for cannot be used: it is not installed, or the
// scheduler did not answer while it was looked up. Nothing was printed.
class PrinterUnavailable : public SpoolError {
 public:
  using SpoolError::SpoolError;
};

// No printer of that name exists. The message names it and lists the
// printers there are.
class PrinterNotFound : public PrinterUnavailable {
 public:
  PrinterNotFound(std::string_view name, const std::vector<std::string>& printers);
  const std::string& Name() const { return m_name; }

 private:
  std::string m_name;
};

// The CUPS scheduler took the connection and stayed silent for the limit
// (CupsScheduler.h).
class SchedulerSilent : public PrinterUnavailable {
 public:
  using PrinterUnavailable::PrinterUnavailable;
};

// One paper a printer offers.
struct PaperInfo {
  std::string Name;    // "A4", "Letter", "58 x 40 mm", ...
  int32_t Code = 0;    // platform paper number, 256 for a custom size
  double WidthMm = 0;  // portrait
  double HeightMm = 0;
};

// The part of a printer's device mode the driver reads and the settings
// dialog may change.
struct PageSettings {
  int32_t PaperCode = 0;     // dmPaperSize
  double PaperWidthMm = 0;   // dmPaperWidth / 10; 0 when the code alone says
  double PaperHeightMm = 0;  // dmPaperLength / 10
  int16_t Orientation = 1;   // 1 portrait, 2 landscape
  int32_t ResolutionX = 0;   // dmPrintQuality, dots per inch
  int32_t ResolutionY = 0;   // dmYResolution
};

// Options of the built-in printers.
struct BuiltinOptions {
  std::string OutputPath;   // PDF file, or the PNG file pattern's base ("" = default)
  double PaperWidthMm = 0;  // 0 = the default paper (A4)
  double PaperHeightMm = 0;
  int32_t Dpi = 0;  // 0 = the printer's default resolution
  // Read every barcode back before a job spools (the printer device's
  // check); the print object itself does nothing with it.
  bool Verify = false;
};

class PrintObject {
 public:
  // The one print object of the process, created on first use.
  static PrintObject& Instance();
  // Drops the open document, if any, and destroys the print object (the
  // plug-in does so at unload, before the Qt application it created goes);
  // the next Instance() makes a new one. Never while a document is drawn.
  static void ReleaseInstance();

  virtual ~PrintObject() = default;

  // ---- printers -----------------------------------------------------------
  // Names of the installed printers: CUPS queues, then the two built-ins.
  virtual const std::vector<std::string>& Printers() const = 0;
  // Asks CUPS again (the selection follows its printer by name, or falls to
  // index 0 when it is gone: a caller that printed on the selection checks
  // PrinterName() afterwards). Throws SchedulerSilent, keeping the list it
  // had, when the scheduler does not answer within the limit.
  virtual void RefreshPrinters() = 0;
  // Position of a name in Printers(), compared case-insensitively; -1.
  virtual int32_t IndexOfPrinter(std::string_view name) const = 0;
  virtual int32_t PrinterIndex() const = 0;
  // Selects printer index (0 when out of range) and resets its device mode.
  virtual void SetPrinterIndex(int32_t index) = 0;
  // Selects by name; a built-in name may carry options ("labelplu PDF;
  // file=/tmp/a.pdf; paper=58x40; dpi=300"). A name not in the list reads
  // the list again. An empty name selects index 0, the first printer (the
  // first CUPS queue, or the PDF printer when there is none). A name still
  // unknown throws PrinterNotFound and a silent scheduler SchedulerSilent;
  // the selection then stays as it was. Returns the index selected.
  virtual int32_t SelectPrinterByName(std::string_view name) = 0;
  virtual std::string PrinterName() const = 0;  // of the selected printer
  virtual bool IsBuiltin(int32_t index) const = 0;
  virtual void SetBuiltinOptions(std::string_view printerName, const BuiltinOptions& options) = 0;

  // ---- device mode, papers, capabilities ----------------------------------
  // Back to the selected printer's defaults (drops changes made by a dialog).
  virtual void ResetDeviceMode() = 0;
  virtual PageSettings DeviceMode() const = 0;
  // Changes the selected printer's paper, orientation or resolution for the
  // following documents of this process.
  virtual void SetDeviceMode(const PageSettings& mode) = 0;
  // The papers of a printer (by name; empty for an unknown one).
  virtual std::vector<PaperInfo> Papers(std::string_view printerName) const = 0;
  // HORZRES, VERTRES, HORZSIZE, VERTSIZE, PHYSICALWIDTH, PHYSICALHEIGHT,
  // PHYSICALOFFSETX, PHYSICALOFFSETY, LOGPIXELSX, LOGPIXELSY (gdi::GdiTypes.h
  // indexes) of the selected printer in its current device mode; 0 for others.
  // Throws SchedulerSilent for a CUPS queue whose scheduler does not answer.
  virtual int32_t GetDeviceCaps(int32_t index) const = 0;
  // True when the selected printer makes copies itself.
  virtual bool SupportsCopies() const = 0;

  // ---- documents ----------------------------------------------------------
  virtual void SetTitle(std::string_view title) = 0;
  virtual std::string Title() const = 0;
  virtual void SetCopies(int32_t copies) = 0;  // below 1 counts as 1
  virtual int32_t Copies() const = 0;
  virtual void BeginJob() = 0;
  virtual void EndJob() = 0;
  // Throw SpoolError when the printer or the output refuses; BeginDoc on a
  // CUPS queue throws SchedulerSilent when the scheduler does not answer.
  virtual void BeginDoc() = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;           // never throws; nothing open is fine
  virtual bool Printing() const = 0;  // a document is open
  // The canvas of the open document (null when none), in device pixels of
  // the printable area, with the page metrics set for GetDeviceCaps.
  virtual gdi::Canvas* Canvas() = 0;
  // Files written by the built-in printers since the last BeginJob (or the
  // last document outside a job), in order.
  virtual std::vector<std::string> OutputFiles() const = 0;
};

}  // namespace labelplu::spool

#endif  // LABELPLU_PLATFORM_SPOOL_PRINTOBJECT_H
