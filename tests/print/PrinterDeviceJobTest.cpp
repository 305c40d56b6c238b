// The printer device's job on the built-in raster printer: result codes,
// template choice, the order in which values apply, copies, the busy flag,
// a failing job, and the state left behind.
#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <vector>

#include "base/DriverResult.h"
#include "base/Errors.h"
#include "print/PrinterDevice.h"
#include "tests/support/BarcodeTemplate.h"
#include "tests/support/PrinterDeviceFixture.h"
#include "tests/support/Scanner.h"
#include "tests/support/TextTable.h"
#include "ui/Application.h"
#include "values/ValueArray.h"

namespace labelplu {
namespace {

namespace fs = std::filesystem;
using test::Rows;
using test::Table;

// An EAN-13 symbol filled from "ШтрихКод" (its caption's key is dsSHK).
using test::kBarcodeTemplate;

ole::OleVariant Job(const ole::OleVariant& common, const ole::OleVariant& names,
                    const ole::OleVariant& records) {
  ole::ComPtr<ValueArray> job = ValueArray::Create();
  EXPECT_EQ(job->SetBounds(3, 1), S_OK);
  EXPECT_EQ(job->SetValue(0, 0, &common.get()), S_OK);
  EXPECT_EQ(job->SetValue(1, 0, &names.get()), S_OK);
  EXPECT_EQ(job->SetValue(2, 0, &records.get()), S_OK);
  return ole::OleVariant(static_cast<IDispatch*>(job.get()));
}

// What zbar reads on a printed page: its EAN-13 symbols.
std::string Decode(const QImage& page) {
  return test::Decode(page, test::Reader::Zbar, test::Symbology::Ean13);
}

class PrinterDeviceJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    m_devices = std::make_unique<test::PrinterDeviceFixture>();
    m_device = &m_devices->Device();
    m_device->SetIsOn(true);
    m_devices->Set({{"PrinterName", m_devices->RasterPrinter(203, "58x40")}});
    m_devices->AddTemplate("barcode.lb3", kBarcodeTemplate);
  }

  std::vector<QImage> Pages() const { return m_devices->PrintedPages(); }

  // Prints records of one "ШтрихКод" field (plus more fields) with common.
  int32_t Print(const Rows& common, const Rows& names, const Rows& records,
                int32_t recordCols = -1) {
    return m_device->ExecutePrint(
        Job(Table(common, common.empty() ? 2 : -1), Table(names, 1), Table(records, recordCols)));
  }

  std::unique_ptr<test::PrinterDeviceFixture> m_devices;
  PrinterDevice* m_device = nullptr;
};

TEST_F(PrinterDeviceJobTest, SwitchedOffDeviceAnswersNoDeviceEverywhere) {
  const ole::OleVariant job = Job(Table({}, 2), Table({}, 1), Table({}, 0));
  m_device->SetIsOn(false);
  EXPECT_EQ(m_device->ExecutePrint(job), kResultNoDevice);
  EXPECT_EQ(m_device->SendToDevice("^XA", 0), kResultNoDevice);
  m_device->SetIsOn(true);
  EXPECT_EQ(m_device->SendToDevice("^XA", 0), kResultNotSupported);
}

// The numbers a host receives and the texts it reads for them.
TEST_F(PrinterDeviceJobTest, EveryResultHasItsNumberAndText) {
  const struct {
    DriverResult result;
    int32_t number;
    const char* text;
  } cases[] = {
      {kResultOk, 0, "Операция выполнена успешно"},
      {kResultPortUnavailable, 1, "Порт недоступен"},
      {kResultNoConnection, 2, "Нет связи"},
      {kResultNoDevice, 3, "Устройство не обнаружено"},
      {kResultWrongArgumentType, 4, "Неверный тип параметра"},
      {kResultBadArgumentValue, 5, "Недопустимое значение параметра"},
      {kResultDeviceError, 6, ""},  // the device's own text; none in this driver
      {kResultOutOfPaper, 7, "Нет бумаги"},
      {kResultNotReady, 8, "Устройство не готово"},
      {kResultPrinterBusy, 9, "Принтер занят"},
      {kResultJobFailed, 10, "Внутренняя ошибка"},
      {kResultTemplateNotFound, 11, "Файл шаблона этикетки не найден"},
      {kResultFieldCountMismatch, 12, "Неверная структура параметров описания значений полей"},
      {kResultTooManyCopies, 13, "Превышено максимальное количество копий этикетки (999)"},
      {kResultJobRunning, 14, "Принтер занят выполнением другого задания"},
      {kResultCancelled, -1, "Неопределенная ошибка"},
      {kResultUnknownDeviceCode, -1, "Неопределенная ошибка"},
      {kResultNotSupported, -2, "Неопределенная ошибка"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.result, c.number) << c.text;
    EXPECT_EQ(m_device->GetErrorText(c.number), c.text) << c.number;
  }
  // The list has a text for 6; a code past the table has none.
  EXPECT_EQ(m_devices->List().GetErrorText(kResultDeviceError), "Ошибка устройства");
  EXPECT_EQ(m_device->GetErrorText(15), "Неопределенная ошибка");
}

TEST_F(PrinterDeviceJobTest, TemplateChoice) {
  const fs::path folder = m_devices->Folder().Path();
  fs::create_directory(folder / "elsewhere");
  const std::string elsewhere = m_devices->AddTemplate("elsewhere/other.lb3", kBarcodeTemplate);
  struct Case {
    const char* what;
    std::string defaultTemplate;
    Rows common;
    int32_t result;
  };
  const Case cases[] = {
      {"default only, bare name from the plug-in's folder", "barcode.lb3", {}, kResultOk},
      {"missing default", "missing.lb3", {}, kResultTemplateNotFound},
      {"no template at all", "", {}, kResultTemplateNotFound},
      {"Шаблон beats the default", "missing.lb3", {{"шаблон", "barcode.lb3"}}, kResultOk},
      {"a missing Шаблон beats an existing default",
       "barcode.lb3",
       {{"Шаблон", "missing.lb3"}},
       kResultTemplateNotFound},
      {"a path is used unchanged", "missing.lb3", {{"Шаблон", elsewhere}}, kResultOk},
      {"a bare name is not looked for in the current folder",
       "",
       {{"Шаблон", "other.lb3"}},
       kResultTemplateNotFound},
  };
  const fs::path cwd = fs::current_path();
  fs::current_path(folder / "elsewhere");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m_device->SetParam("ШаблонПоУмолчанию", c.defaultTemplate);
    EXPECT_EQ(Print(c.common, {{"ШтрихКод"}}, {{"4607001010005"}}), c.result);
  }
  fs::current_path(cwd);
}

TEST_F(PrinterDeviceJobTest, RecordsWinOverCommonValuesAndCopiesRepeatLabels) {
  m_device->SetParam("ШаблонПоУмолчанию", "barcode.lb3");
  const int32_t result =
      Print({{"ШтрихКод", "4006381333931"}}, {{"ШтрихКод"}, {"ЧислоКопий"}},
            {{"4607001010005", "3"}, {"4607001010371", "abc"}, {"4607001010746", ""}});
  ASSERT_EQ(result, kResultOk);
  std::vector<std::string> read;
  for (const QImage& page : Pages()) read.push_back(Decode(page));
  EXPECT_EQ(read, (std::vector<std::string>{"4607001010005", "4607001010005", "4607001010005",
                                            "4607001010371", "4607001010746"}));
  // Nothing of the job is kept.
  EXPECT_EQ(m_device->LoadedLabel(), nullptr);
  EXPECT_EQ(m_device->View(), nullptr);
  EXPECT_FALSE(m_device->Busy());
}

TEST_F(PrinterDeviceJobTest, TablesOfTheWrongShape) {
  m_device->SetParam("ШаблонПоУмолчанию", "barcode.lb3");
  // Records of three columns for two field names.
  EXPECT_EQ(Print({}, {{"ШтрихКод"}, {"Цена"}}, {{"4607001010005", "1", "2"}}),
            kResultFieldCountMismatch);
  // No records: nothing to print, and no document.
  EXPECT_EQ(Print({}, {{"ШтрихКод"}}, {}, 1), kResultOk);
  EXPECT_TRUE(Pages().empty());
  // The job array itself with two columns.
  EXPECT_EQ(m_device->ExecutePrint(Table({{"a", "b"}, {"c", "d"}, {"e", "f"}})), 20028);
  // The caller hears what went wrong, not "Неопределенная ошибка".
  EXPECT_EQ(m_device->GetErrorText(20028), ErrorTemplate(20028));
  EXPECT_EQ(m_device->GetErrorText(kResultTemplateNotFound), "Файл шаблона этикетки не найден");
  // A slot that is not a value array fails to the caller, the device free.
  ole::ComPtr<ValueArray> job = ValueArray::Create();
  ASSERT_EQ(job->SetBounds(3, 1), S_OK);
  EXPECT_ANY_THROW(m_device->ExecutePrint(ole::OleVariant(static_cast<IDispatch*>(job.get()))));
  EXPECT_FALSE(m_device->Busy());
  EXPECT_EQ(m_device->LoadedLabel(), nullptr);
}

TEST_F(PrinterDeviceJobTest, AVariantArrayCarriesTheTablesToo) {
  m_device->SetParam("ШаблонПоУмолчанию", "barcode.lb3");
  SAFEARRAYBOUND bound{2, 0};  // the records element is missing
  SAFEARRAY* psa = SafeArrayCreate(VT_VARIANT, 1, &bound);
  ASSERT_NE(psa, nullptr);
  ole::OleVariant array = ole::OleVariant::AdoptArray(psa);
  const ole::OleVariant common = Table({}, 2);
  const ole::OleVariant names = Table({{"ШтрихКод"}});
  int32_t index = 0;
  ASSERT_EQ(SafeArrayPutElement(psa, &index, const_cast<VARIANT*>(&common.get())), S_OK);
  index = 1;
  ASSERT_EQ(SafeArrayPutElement(psa, &index, const_cast<VARIANT*>(&names.get())), S_OK);
  // The missing records are an empty value, which is not a value array.
  EXPECT_ANY_THROW(m_device->ExecutePrint(array));
}

TEST_F(PrinterDeviceJobTest, FailedJobPrintsWhatWasDrawnAndDoesNotBlock) {
  m_device->SetParam("ШаблонПоУмолчанию", "barcode.lb3");
  // Common parameters with one column: the first label cannot be filled.
  testing::internal::CaptureStderr();
  EXPECT_EQ(Print({{"ШтрихКод"}}, {{"ШтрихКод"}}, {{"4607001010005"}}), kResultJobFailed);
  const std::string stderrText = testing::internal::GetCapturedStderr();
  EXPECT_NE(stderrText.find("Ошибка! Номер элемента массива за пределами границ."),
            std::string::npos)
      << stderrText;
  // A copy count past the limit fails on the second record: the first is
  // printed all the same.
  testing::internal::CaptureStderr();
  EXPECT_EQ(Print({}, {{"ШтрихКод"}, {"ЧислоКопий"}},
                  {{"4607001010005", "1"}, {"4607001010371", "100000"}}),
            kResultTooManyCopies);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("(999)"), std::string::npos);
  const std::vector<QImage> pages = Pages();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(Decode(pages[0]), "4607001010005");
  EXPECT_FALSE(m_device->Busy());
}

TEST_F(PrinterDeviceJobTest, ASecondJobWhileOneRunsIsBusy) {
  m_device->SetParam("ШаблонПоУмолчанию", "barcode.lb3");
  const ole::OleVariant job =
      Job(Table({}, 2), Table({{"ШтрихКод"}}), Table({{"4607001010005"}, {"4607001010371"}}));
  int32_t nested = -1;
  // Posted now, run by the event processing of the job below.
  QTimer::singleShot(0, [&] { nested = m_device->ExecutePrint(job); });
  EXPECT_EQ(m_device->ExecutePrint(job), kResultOk);
  EXPECT_EQ(nested, kResultJobRunning);
  EXPECT_EQ(m_device->ResultCode, kResultJobRunning);
  EXPECT_EQ(Pages().size(), 2u);
}

}  // namespace
}  // namespace labelplu
