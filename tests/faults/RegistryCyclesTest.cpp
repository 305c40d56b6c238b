// The device registry through the dispatcher for many cycles and from a
// second thread: add, select, switch on and off, delete a thousand times
// without growing the process (file handles, resident memory; the
// sanitizer build checks the leaks), and a call from another thread in the
// middle of a job works on its own devices and is refused the busy one.
#include <gtest/gtest.h>

#include <QTimer>

#include <filesystem>
#include <memory>
#include <thread>

#include "base/Errors.h"
#include "platform/ole/Variant.h"
#include "plugin/SpoolerLabelDriver.h"
#include "print/PrinterDevice.h"
#include "tests/faults/JobWatchdog.h"
#include "tests/support/BarcodeTemplate.h"
#include "tests/support/TempDir.h"
#include "values/ValueArray.h"

#if defined(__SANITIZE_ADDRESS__)
#define LP_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LP_ADDRESS_SANITIZER 1
#endif
#endif

namespace labelplu {
namespace {

namespace fs = std::filesystem;
using ole::OleVariant;

struct ParamsDeleter {
  void operator()(RequestParams* p) const { RequestParams::Destroy(p); }
};
using ParamsPtr = std::unique_ptr<RequestParams, ParamsDeleter>;

using test::kBarcodeTemplate;

class RegistryCyclesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(m_dir / "out");
    m_folder.Write("barcode.lb3", kBarcodeTemplate);
    // Not the device fixture (tests/support/PrinterDeviceFixture.h): the
    // driver owns its device list, and the cycles below add and delete its
    // devices through the dispatcher, as a host does.
    m_driver = ole::MakeCom<SpoolerLabelDriver>(
        nullptr, &m_slot, std::make_unique<PrinterDeviceList>((m_dir / "labelplu.plu").string()));
    m_slot = m_driver.get();
  }
  void TearDown() override { m_driver = nullptr; }

  OleVariant Call(const char* name, std::initializer_list<OleVariant> args = {}, int32_t kind = 1) {
    ParamsPtr params(RequestParams::Create());
    params->Add(OleVariant().get());
    params->Add(OleVariant(name).get());
    params->Add(OleVariant(kind).get());
    for (const OleVariant& arg : args) params->Add(arg.get());
    m_driver->Dispatch(params.get(), nullptr);
    VARIANT v = params->Get(0);
    return OleVariant::Adopt(v);
  }
  int32_t Int(const OleVariant& v) { return ole::VarToInt32(v.get()); }
  int32_t Count() { return Int(Call("КоличествоУстройств", {}, 2)); }

  // A device printing on the raster printer into out/.
  std::string DeviceDocument() const {
    return "<Устройство><Параметры>"
           "<Параметр Идентификатор=\"ШаблонПоУмолчанию\" Значение=\"barcode.lb3\"/>"
           "<Параметр Идентификатор=\"PrinterName\" Значение=\"labelplu Raster; file=" +
           (m_dir / "out/page").string() + "; dpi=203; paper=58x40\"/></Параметры></Устройство>";
  }

  OleVariant Job(int labels) {
    auto table = [](int32_t rows, int32_t cols, const char* text) {
      ole::ComPtr<ValueArray> t = ValueArray::Create();
      EXPECT_EQ(t->SetBounds(rows, cols), S_OK);
      const OleVariant cell(text);
      for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < cols; ++c) EXPECT_EQ(t->SetValue(r, c, &cell.get()), S_OK);
      return OleVariant(static_cast<IDispatch*>(t.get()));
    };
    ole::ComPtr<ValueArray> job = ValueArray::Create();
    EXPECT_EQ(job->SetBounds(3, 1), S_OK);
    const OleVariant jobSlots[] = {table(0, 2, ""), table(1, 1, "ШтрихКод"),
                                   table(labels, 1, "4607001010005")};
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(job->SetValue(i, 0, &jobSlots[i].get()), S_OK);
    return OleVariant(static_cast<IDispatch*>(job.get()));
  }

  size_t PageCount() const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(m_dir / "out")) ++n;
    return n;
  }

  // One add, select, switch on, switch off and delete, ending with no
  // devices; every other cycle selects by name.
  void Cycle(int i) {
    ASSERT_EQ(Int(Call("ДобавитьУстройство", {OleVariant(DeviceDocument())})), 0);
    const OleVariant key = i % 2 ? OleVariant(1) : OleVariant(m_firstName.c_str());
    ASSERT_EQ(Int(Call("ВыбратьУстройство", {key})), 0);
    Call("Включить", {OleVariant()});
    ASSERT_EQ(Int(Call("УстройствоВключено", {}, 2)), 1);
    Call("Выключить", {OleVariant()});
    ASSERT_EQ(Int(Call("УдалитьУстройство", {OleVariant(1)})), 0);
    ASSERT_EQ(Count(), 0);
  }
  std::string m_firstName = "Windows-принтер (ЖФУ8) №1";

  const test::TempDir m_folder;
  const fs::path m_dir = m_folder.Path();
  DriverObject* m_slot = nullptr;
  ole::ComPtr<SpoolerLabelDriver> m_driver;
};

TEST_F(RegistryCyclesTest, AThousandCyclesKeepHandlesAndMemoryFlat) {
  test::JobWatchdog deadline("a thousand registry cycles", 300);
  for (int i = 0; i < 20; ++i) ASSERT_NO_FATAL_FAILURE(Cycle(i));
  const int fdBefore = test::OpenFileCount();
  const long rssBefore = test::ResidentKiB();
  for (int i = 0; i < 1000; ++i) ASSERT_NO_FATAL_FAILURE(Cycle(i));
  const int fdAfter = test::OpenFileCount();
  const long rssAfter = test::ResidentKiB();
  RecordProperty("fd_before", fdBefore);
  RecordProperty("fd_after", fdAfter);
  RecordProperty("rss_kib_before", static_cast<int>(rssBefore));
  RecordProperty("rss_kib_after", static_cast<int>(rssAfter));
  std::printf("fd %d -> %d, VmRSS %ld KiB -> %ld KiB\n", fdBefore, fdAfter, rssBefore, rssAfter);
  EXPECT_EQ(fdAfter, fdBefore);
#ifndef LP_ADDRESS_SANITIZER
  // The sanitizer's quarantine holds freed memory; elsewhere a thousand
  // cycles may not grow the process by more than 1 MiB.
  EXPECT_LE(rssAfter - rssBefore, 1024);
#endif
}

TEST_F(RegistryCyclesTest, ASecondThreadDuringAJobWorksOnItsOwnDevicesAndIsRefusedTheBusyOne) {
  ASSERT_EQ(Int(Call("ДобавитьУстройство", {OleVariant(DeviceDocument())})), 0);
  ASSERT_EQ(Int(Call("ВыбратьУстройство", {OleVariant(1)})), 0);
  Call("Включить", {OleVariant()});
  const OleVariant job = Job(3);

  int32_t countOnThread = -1;
  int32_t addOnThread = -1;
  int32_t printOnThread = -1;
  // The host's worker thread, started from the job's event processing and
  // waited for there: its calls come in the middle of the job.
  QTimer::singleShot(0, [&] {
    std::thread worker([&] {
      addOnThread = Int(Call("ДобавитьУстройство", {OleVariant("<Устройство/>")}));
      countOnThread = Count();
      try {
        printOnThread = Int(Call("ВыполнитьПечать", {job}));
      } catch (const EProtectException& e) {
        printOnThread = e.Code;
      }
    });
    worker.join();
  });
  int32_t result = -1;
  {
    test::JobWatchdog deadline("a job with a second thread's calls", 120);
    result = Int(Call("ВыполнитьПечать", {job}));
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(addOnThread, 0);
  // The thread's device lived for its call only.
  EXPECT_EQ(countOnThread, 1);
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(printOnThread, 14);
  EXPECT_EQ(PageCount(), 3u);
  // The device prints again (over the same page files).
  fs::remove_all(m_dir / "out");
  fs::create_directory(m_dir / "out");
  EXPECT_EQ(Int(Call("ВыполнитьПечать", {job})), 0);
  EXPECT_EQ(PageCount(), 3u);
}

}  // namespace
}  // namespace labelplu
