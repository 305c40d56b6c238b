// The printer device: this driver's kind of device, and its device list.
#ifndef LABELPLU_PRINT_PRINTERDEVICE_H
#define LABELPLU_PRINT_PRINTERDEVICE_H

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "devices/DeviceList.h"
#include "devices/ParameterRecord.h"
#include "platform/ole/Variant.h"

namespace labelplu {

// The nine parameters every label-printer driver of the family has (the
// driver object also publishes them as properties).
std::span<const ParameterRecord> LabelPrinterParamRecords();

class Label;
class PageLayoutPrinter;

// A label device printing on a printer of the print object. A print job
// fills the label template once per record of a table and hands each label
// to the page layout printer, which places the labels on pages.
//
// Threads: the thread of the driver call. A job runs the thread's event loop
// while it prints, so the host may call back into the device meanwhile; a
// second job on the same device then answers kResultJobRunning.
class PrinterDevice : public DeviceItem {
 public:
  explicit PrinterDevice(DeviceList& list);
  // Frees the view, then the label.
  ~PrinterDevice() override;

  // kResultDeviceError, the device's own error, has an empty text here
  // (nothing in this driver describes one); the code of a framework error
  // that ended the last job, or of a last job whose printer could not be
  // used, its message; every other code the list's.
  std::string GetErrorText(int32_t code) const override;

  // The print job. input is a variant array whose elements 0, 1, 2, or a
  // one-column value array whose rows 0, 1, 2, are the common parameters
  // (name/value rows), the field names (one per row, column 0) and the
  // records (one row per label, one column per field); a missing element is
  // empty. Result: CheckOn's code when the device is off, kResultJobRunning
  // while another job of this device runs, kResultTemplateNotFound for a
  // missing template file, kResultFieldCountMismatch when the records have
  // another column count than there are field names, kResultTooManyCopies
  // when a record asks for more copies than 999, kResultJobFailed when
  // the device's printer is not installed or the spooler did not answer
  // (nothing printed; GetErrorText names the printer), or when
  // filling or printing failed otherwise (in both cases the message is shown
  // to a person who can answer it, else written to the log and to standard
  // error; the labels drawn so far are still printed), kResultOk on success.
  // A value array of another column count gives 20028 (EProtectException
  // codes become the result);
  // a slot that is not a value array, and any other failure, raise after
  // the clean-up. After the job the slots are empty and the label and the
  // view are gone.
  int32_t ExecutePrint(const VARIANT& input);
  // Sending raw data is not available on this kind of device:
  // kResultNoDevice when the device is off, else kResultNotSupported.
  int32_t SendToDevice(std::string_view data, int32_t option);

  // Creates the label and the view when missing, then loads the template
  // name: empty means the setting "ШаблонПоУмолчанию", overridden by a
  // "Шаблон" row (case ignored) of the common parameters. A name holding
  // "/", "\" or ":" is a path; any other name is a file of the plug-in
  // module's folder. kResultOk when loaded, kResultTemplateNotFound when no
  // such file exists (the label keeps what it held). A template that fails
  // to load raises.
  int32_t SelectTemplate(std::string name);

  // The label and the view of the template in use; null outside a job
  // until SelectTemplate creates them.
  Label* LoadedLabel() const { return m_label.get(); }
  PageLayoutPrinter* View() const { return m_view.get(); }
  bool Busy() const { return m_busy; }

  // Shows the settings dialog (DeviceUserInterface::EditSettings). On OK the
  // device's name and settings are written back and the answer is
  // kResultOk; on cancel nothing changes and the answer is kResultCancelled.
  // Without a display a person sees, or without a user interface installed,
  // it answers kResultCancelled at once and says why in the driver's log.
  // Storing the settings is the host's separate call.
  int32_t ShowSettings() override;

 private:
  int32_t FillAndPrint();
  void ReportJobFailure(const std::string& message);
  std::string TemplateFolder() const;

  bool m_busy = false;
  // The last job that ended in a framework error: its code and message.
  int32_t m_failureCode = kResultOk;
  std::string m_failureText;
  ole::OleVariant m_commonParams;
  ole::OleVariant m_fieldNames;
  ole::OleVariant m_records;
  std::unique_ptr<Label> m_label;
  std::unique_ptr<PageLayoutPrinter> m_view;
};

class PrinterDeviceList : public DeviceList {
 public:
  // Registers the driver's model and its two parameter tables.
  explicit PrinterDeviceList(std::string moduleFileName = {});
  std::string GetErrorText(int32_t code) const override;

 protected:
  ole::ComPtr<DeviceItem> CreateItem() override;
};

}  // namespace labelplu

#endif  // LABELPLU_PRINT_PRINTERDEVICE_H
