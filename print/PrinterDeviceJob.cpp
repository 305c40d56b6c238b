// The print job of PrinterDevice: unpacking the job's tables, choosing
// the template, filling the label once per record and printing it.

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <vector>

#include "base/ArgTypes.h"
#include "base/Errors.h"
#include "base/SharedLog.h"
#include "base/TextUtils.h"
#include "base/VariantUtils.h"
#include "label/Label.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/spool/BuiltinOutput.h"
#include "platform/sys/ModulePath.h"
#include "print/BarcodeVerifier.h"
#include "print/DeviceUserInterface.h"
#include "print/JobProgress.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"

namespace labelplu {

namespace {

// A barcode that would not scan as its record's value: nothing was printed.
class BarcodeCheckFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr int32_t kMaxCopies = 999;

// The value array a job slot holds; any other value fails as a late-bound
// call on it would.
ole::ComPtr<ISafeArray> TableOf(const ole::OleVariant& slot) {
  ole::ComPtr<ISafeArray> table = ValueArrayOf(slot.get());
  if (!table) {
    throw ole::OleException(DISP_E_TYPEMISMATCH,
                            "Invalid variant operation: the value is not a value array (" +
                                ValueText(slot.get()) + ")");
  }
  return table;
}

void BoundsOf(ISafeArray* table, int32_t& rows, int32_t& cols) {
  ole::OleCheck(table->GetBounds(&rows, &cols));
}

std::string CellText(ISafeArray* table, int32_t row, int32_t col) {
  ole::OleVariant cell;
  ole::OleCheck(table->GetValue(row, col, cell.put()));
  return ole::VarToText(cell.get());
}

// Element index of a one-dimensional variant array, empty when missing.
ole::OleVariant ArrayElement(SAFEARRAY* psa, int32_t index) {
  int32_t low = 0;
  int32_t high = -1;
  ole::OleCheck(SafeArrayGetLBound(psa, 1, &low));
  ole::OleCheck(SafeArrayGetUBound(psa, 1, &high));
  ole::OleVariant element;
  if (index < low || index > high) return element;
  ole::OleCheck(GetArrayElement(psa, &index, element.put()));
  return element;
}

// The copy count of a record: a decimal integer, else 1.
int32_t CopiesOf(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return 1;
  return value;
}

}  // namespace

PrinterDevice::PrinterDevice(DeviceList& list) : DeviceItem(list) {}

PrinterDevice::~PrinterDevice() {
  // The view refers to the label: it goes first.
  m_view.reset();
  m_label.reset();
}

int32_t PrinterDevice::SendToDevice(std::string_view, int32_t) {
  if (CheckOn() != kResultOk) return kResultNoDevice;
  return kResultNotSupported;
}

int32_t PrinterDevice::ExecutePrint(const VARIANT& input) {
  const int32_t code = CheckOn();
  if (code != kResultOk) return code;
  if (m_busy) {
    SetResult(kResultJobRunning);
    return kResultJobRunning;
  }
  m_busy = true;
  m_failureCode = kResultOk;
  m_failureText.clear();
  // Whatever way the job ends, the device is free again, the tables are let
  // go and the next job starts from a fresh label and view.
  struct CleanUp {
    PrinterDevice& self;
    ~CleanUp() {
      self.m_commonParams.clear();
      self.m_fieldNames.clear();
      self.m_records.clear();
      self.m_view.reset();
      self.m_label.reset();
      self.m_busy = false;
    }
  } cleanUp{*this};

  try {
    const VARIANT& value = DerefVariant(input);
    if (SAFEARRAY* psa = VariantArray(value)) {
      if (SafeArrayGetDim(psa) != 1) RaiseError(20028);
      m_commonParams = ArrayElement(psa, 0);
      m_fieldNames = ArrayElement(psa, 1);
      m_records = ArrayElement(psa, 2);
    } else {
      const ole::ComPtr<ISafeArray> job = TableOf(ole::OleVariant(value));
      int32_t rows = 0;
      int32_t cols = 0;
      BoundsOf(job.get(), rows, cols);
      if (cols != 1) RaiseError(20028);
      ole::OleVariant* jobSlots[] = {&m_commonParams, &m_fieldNames, &m_records};
      for (int32_t row = 0; row < 3 && row < rows; ++row) {
        ole::OleCheck(job->GetValue(row, 0, jobSlots[row]->put()));
      }
    }
    for (const ole::OleVariant* slot : {&m_commonParams, &m_fieldNames, &m_records}) {
      int32_t rows = 0;
      int32_t cols = 0;
      BoundsOf(TableOf(*slot).get(), rows, cols);
    }
    int32_t result = SelectTemplate({});
    if (result == kResultOk) result = FillAndPrint();
    return result;
  } catch (const EProtectException& e) {
    // The code alone would reach the caller as "Неопределенная ошибка":
    // keep the message for GetErrorText.
    m_failureCode = e.Code;
    m_failureText = e.what();
    return e.Code;
  }
}

int32_t PrinterDevice::ShowSettings() {
  if (DeviceUserInterface* ui = CurrentDeviceUserInterface()) return ui->EditSettings(*this);
  const std::string why =
      "Settings of device \"" + Name + "\" cancelled: the driver has no user interface installed";
  AppendLogLine(why);
  std::fprintf(stderr, "labelplu: %s\n", why.c_str());
  return kResultCancelled;
}

std::string PrinterDevice::TemplateFolder() const {
  const DeviceList* list = ListOf();
  if (list && !list->ModuleFileName().empty()) {
    return sys::ExtractFileDir(list->ModuleFileName());
  }
  return sys::ModuleDirectory();
}

int32_t PrinterDevice::SelectTemplate(std::string name) {
  if (DeviceUserInterface* ui = CurrentDeviceUserInterface()) ui->EnsureApplication();
  if (!m_label) {
    m_label = std::make_unique<Label>();
    m_label->OnChanged = [this](Label&) {
      if (m_view) m_view->AfterPaint();
    };
    // Two-dimensional symbols are generated on the host's behalf when it
    // offers to run procedures for the driver.
    m_label->RunThroughHost = [this](const std::function<void()>& step) {
      CallThroughHost(
          [](void* data, intptr_t) { (*static_cast<const std::function<void()>*>(data))(); },
          const_cast<std::function<void()>*>(&step), 0);
    };
  }
  if (!m_view) {
    m_view = std::make_unique<PageLayoutPrinter>(*m_label);
    m_view->Device = this;
    m_view->ReadDeviceSettings();
  }
  if (name.empty()) {
    name = GetParam("ШаблонПоУмолчанию");
    if (const ole::ComPtr<ISafeArray> common = ValueArrayOf(m_commonParams.get())) {
      int32_t rows = 0;
      int32_t cols = 0;
      BoundsOf(common.get(), rows, cols);
      for (int32_t row = 0; row < rows; ++row) {
        if (SameText(CellText(common.get(), row, 0), "Шаблон")) {
          name = CellText(common.get(), row, 1);
          break;
        }
      }
    }
  }
  // A bare file name lives beside the plug-in; "/" makes a path here, and
  // "\" or ":" keep their meaning of a path written for another system.
  if (name.find_first_of("/\\:") == std::string::npos) name = TemplateFolder() + name;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(name, ec)) return kResultTemplateNotFound;
  m_label->LoadFromFile(name);
  return kResultOk;
}

int32_t PrinterDevice::FillAndPrint() {
  const ole::ComPtr<ISafeArray> common = TableOf(m_commonParams);
  const ole::ComPtr<ISafeArray> names = TableOf(m_fieldNames);
  const ole::ComPtr<ISafeArray> records = TableOf(m_records);
  int32_t fieldCount = 0;
  int32_t nameCols = 0;
  int32_t recordCount = 0;
  int32_t recordCols = 0;
  BoundsOf(names.get(), fieldCount, nameCols);
  BoundsOf(records.get(), recordCount, recordCols);
  if (recordCols != fieldCount) return kResultFieldCountMismatch;

  m_view->ReadDeviceSettings();

  int32_t failureCode = kResultJobFailed;
  try {
    int32_t commonRows = 0;
    int32_t commonCols = 0;
    BoundsOf(common.get(), commonRows, commonCols);
    // Fills the label with record i and returns its copy count.
    const auto fillRecord = [&](int32_t i) {
      int32_t copies = 1;
      m_label->BeginUpdate();
      try {
        for (int32_t row = 0; row < commonRows; ++row) {
          m_label->FillValue(CellText(common.get(), row, 0), CellText(common.get(), row, 1));
        }
        // Record values come second and so win over common parameters.
        for (int32_t field = 0; field < fieldCount; ++field) {
          const std::string name = CellText(names.get(), field, 0);
          const std::string value = CellText(records.get(), i, field);
          if (SameText(name, "ЧислоКопий")) {
            copies = CopiesOf(value);
          } else {
            m_label->FillValue(name, value);
          }
        }
      } catch (...) {
        m_label->EndUpdate(false);
        throw;
      }
      m_label->EndUpdate(false);
      return copies;
    };
    // The check reads every record before the job opens, so that a label
    // whose barcode would not scan stops the job with nothing spooled.
    if (spool::ParsePrinterName(GetParam("PrinterName"))
            .Options.value_or(spool::BuiltinOptions{})
            .Verify) {
      BarcodeVerifier verifier(m_view->ResolutionX, m_view->ResolutionY);
      for (int32_t i = 0; i < recordCount; ++i) {
        fillRecord(i);
        const std::vector<BarcodeFinding> findings = verifier.Check(*m_label);
        if (!findings.empty()) throw BarcodeCheckFailed(DescribeFinding(i + 1, findings.front()));
        KeepAlive();
      }
    }
    m_view->BeginLabelJob();
    JobProgress progress(recordCount);
    for (int32_t i = 0; i < recordCount; ++i) {
      const int32_t copies = fillRecord(i);
      // A runaway copy count would print for hours; the driver's limit
      // has its own result code.
      if (copies > kMaxCopies) {
        failureCode = kResultTooManyCopies;
        RaiseError(kResultTooManyCopies, GetErrorText(kResultTooManyCopies));
      }
      m_view->PrintLabel(copies);
      KeepAlive();
      progress.Step(i + 1);
    }
    progress.Finish();
    m_view->FinishJob(true);
    return kResultOk;
  } catch (const std::exception& e) {
    ReportJobFailure(std::string("Ошибка! ") + e.what());
    // Nothing was printed: the host's text for the result says why (the
    // printer that is not there, the barcode that would not scan).
    if (dynamic_cast<const spool::PrinterUnavailable*>(&e) != nullptr ||
        dynamic_cast<const BarcodeCheckFailed*>(&e) != nullptr) {
      m_failureCode = failureCode;
      m_failureText = std::string("Ошибка! ") + e.what();
    }
    try {
      m_view->FinishJob(true);
    } catch (const std::exception& finish) {
      ReportJobFailure(std::string("Ошибка! ") + finish.what());
    }
    return failureCode;
  }
}

void PrinterDevice::ReportJobFailure(const std::string& message) {
  DeviceUserInterface* ui = CurrentDeviceUserInterface();
  if (ui && ui->ShowJobFailure(message)) return;
  AppendLogLine(message);
  std::fprintf(stderr, "labelplu: %s\n", message.c_str());
  std::fflush(stderr);
}

}  // namespace labelplu
