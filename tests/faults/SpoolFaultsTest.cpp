// Print jobs that meet a failing spooler: a queue that refuses or holds
// jobs, a queue deleted between jobs or while a job runs, a misspelled
// printer, a scheduler killed while a job runs or frozen before or during
// a job, and output written onto a full disk. Each job must end (under a deadline) with its
// result code and a message, leave the device free, and the next job must
// print once the spooler is back.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>

#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include "platform/spool/PrintObject.h"
#include "print/PageLayoutPrinter.h"
#include "print/PrinterDevice.h"
#include "tests/faults/JobWatchdog.h"
#include "tests/support/BarcodeTemplate.h"
#include "tests/support/PrinterDeviceFixture.h"
#include "tests/support/PrivateCups.h"
#include "tests/support/TextTable.h"
#include "ui/Application.h"
#include "values/ValueArray.h"

namespace labelplu {
namespace {

namespace fs = std::filesystem;
using test::Rows;
using test::Table;

constexpr int kJobSeconds = 60;

using test::kBarcodeTemplate;

// A job of `labels` EAN-13 labels.
ole::OleVariant Job(int labels) {
  Rows records;
  for (int i = 0; i < labels; ++i) records.push_back({"4607001010005"});
  ole::ComPtr<ValueArray> job = ValueArray::Create();
  EXPECT_EQ(job->SetBounds(3, 1), S_OK);
  const ole::OleVariant jobSlots[] = {Table({}, 2), Table({{"ШтрихКод"}}, 1), Table(records, 1)};
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(job->SetValue(i, 0, &jobSlots[i].get()), S_OK);
  return ole::OleVariant(static_cast<IDispatch*>(job.get()));
}

int Shell(const std::string& command) {
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The scheduler this process started (a child named cupsd), or -1.
pid_t ChildCupsd() {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state;
    pid_t parent = 0;
    if (stat >> pid >> comm >> state >> parent && comm == "(cupsd)" && parent == getpid())
      return static_cast<pid_t>(std::stol(pid));
  }
  return -1;
}

bool IsPdf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string data = text.str();
  return data.rfind("%PDF-", 0) == 0 &&
         data.find("%%EOF", data.size() > 64 ? data.size() - 64 : 0) != std::string::npos;
}

// A small tmpfs, left with almost no free space.
class FullDisk {
 public:
  explicit FullDisk(const fs::path& where) : m_where(where) {
    fs::create_directories(where);
    if (mount("lptest", where.c_str(), "tmpfs", 0, "size=256k,mode=0777") != 0) {
      m_error = std::strerror(errno);
      return;
    }
    m_mounted = true;
    std::ofstream filler(where / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
  }
  ~FullDisk() {
    if (m_mounted) umount2(m_where.c_str(), MNT_DETACH);
  }
  // Why the disk could not be mounted; empty when it is.
  const std::string& Error() const { return m_error; }
  void FreeSpace() { fs::remove(m_where / "filler"); }
  const fs::path& Path() const { return m_where; }

 private:
  fs::path m_where;
  bool m_mounted = false;
  std::string m_error;
};

class SpoolFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LP_SKIP_WITHOUT_PRIVATE_CUPS();
    // A silent scheduler is given up after 3 s instead of 30.
    setenv("LABELPLU_CUPS_TIMEOUT", "3", 1);
    EnsureApplication();
    // The private scheduler first: the device finds its queue.
    m_cups = std::make_unique<test::PrivateCups>();
    m_devices = std::make_unique<test::PrinterDeviceFixture>();
    m_device = &m_devices->Device();
    // A job that falls back to the built-in PDF printer writes here.
    setenv("XDG_DOCUMENTS_DIR", m_devices->Folder().Path().c_str(), 1);
    m_device->SetIsOn(true);
    m_devices->AddTemplate("barcode.lb3", kBarcodeTemplate);
    m_devices->Set({{"PrinterName", m_cups->QueueName()},
                    {"ШаблонПоУмолчанию", "barcode.lb3"},
                    // Labels repeated by the driver: the job processes events
                    // after it began the document, which is where the faults
                    // below strike.
                    {"PrinterCopies", "0"}});
  }
  void TearDown() override {
    m_devices.reset();
    m_cups.reset();
  }

  // One job under a deadline; its result, with what it wrote to stderr.
  int32_t Print(const std::string& what, int labels = 2) {
    const ole::OleVariant job = Job(labels);
    // A hung job must not leave the scheduler behind, stopped or running.
    test::JobWatchdog deadline(what, kJobSeconds, [] {
      if (const pid_t cupsd = ChildCupsd(); cupsd > 0) kill(cupsd, SIGKILL);
    });
    testing::internal::CaptureStderr();
    const int32_t result = m_device->ExecutePrint(job);
    m_stderr = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(m_device->Busy()) << what;
    return result;
  }

  // Runs fault once, from the job's event processing, when the job has
  // begun its document on the queue.
  void WhenDocumentOpen(const std::function<void()>& fault) {
    m_faultTimer = std::make_unique<QTimer>();
    m_faultTimer->setInterval(0);
    QObject::connect(m_faultTimer.get(), &QTimer::timeout, [this, fault] {
      if (m_device->View() == nullptr || !m_device->View()->Printer().Printing()) return;
      m_faultTimer->stop();
      fault();
    });
    m_faultTimer->start();
  }

  // The queue printed a whole document since the output was removed.
  bool QueuePrinted() {
    EXPECT_TRUE(m_cups->WaitForJobs()) << m_cups->ReadLog("error_log");
    return IsPdf(m_cups->OutputFile());
  }

  // PDF files the built-in PDF printer wrote into its default folder.
  int PdfFilesInDocuments() const {
    int count = 0;
    const fs::path folder = m_devices->Folder().Path();
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (entry.path().extension() == ".pdf") ++count;
    return count;
  }

  void RecreateQueue() {
    ASSERT_EQ(Shell("lpadmin -p " + m_cups->QueueName() + " -E -v file://" + m_cups->OutputFile() +
                    " -P " + m_cups->Directory() + "/test.ppd"),
              0);
  }

  std::unique_ptr<test::PrivateCups> m_cups;
  std::unique_ptr<test::PrinterDeviceFixture> m_devices;
  PrinterDevice* m_device = nullptr;  // the fixture's device
  std::string m_stderr;
  std::unique_ptr<QTimer> m_faultTimer;
};

TEST_F(SpoolFaultsTest, RefusingQueueFailsTheJobAndAHeldJobIsKept) {
  const std::string queue = m_cups->QueueName();
  ASSERT_EQ(Print("first job"), 0) << m_stderr;
  EXPECT_TRUE(QueuePrinted());

  // A queue that rejects jobs: the job fails with its reason.
  ASSERT_EQ(Shell("cupsreject " + queue), 0);
  fs::remove(m_cups->OutputFile());
  EXPECT_EQ(Print("job on a rejecting queue"), 10);
  EXPECT_NE(m_stderr.find("CUPS refused the job"), std::string::npos) << m_stderr;
  ASSERT_EQ(Shell("cupsaccept " + queue), 0);
  EXPECT_EQ(Print("job after cupsaccept"), 0) << m_stderr;
  EXPECT_TRUE(QueuePrinted());

  // A stopped queue takes the job and holds it until it is enabled.
  ASSERT_EQ(Shell("cupsdisable " + queue), 0);
  fs::remove(m_cups->OutputFile());
  EXPECT_EQ(Print("job on a disabled queue"), 0) << m_stderr;
  EXPECT_FALSE(m_cups->WaitForJobs(1000));
  EXPECT_FALSE(fs::exists(m_cups->OutputFile()));
  ASSERT_EQ(Shell("cupsenable " + queue), 0);
  EXPECT_TRUE(QueuePrinted());
}

TEST_F(SpoolFaultsTest, QueueDeletedBetweenJobsAndAddedBack) {
  const std::string queue = m_cups->QueueName();
  ASSERT_EQ(Print("first job"), 0) << m_stderr;
  EXPECT_TRUE(QueuePrinted());
  // A printer that is gone: the job fails naming it, and prints nowhere
  // (no other queue, no PDF file of the built-in printer).
  ASSERT_EQ(Shell("lpadmin -x " + queue), 0);
  fs::remove(m_cups->OutputFile());
  const std::string pagesBefore = m_cups->ReadLog("page_log");
  EXPECT_EQ(Print("job on a deleted queue"), 10);
  const std::string missing = "printer \"" + queue + "\" is not installed";
  EXPECT_NE(m_stderr.find("Ошибка! " + missing), std::string::npos) << m_stderr;
  EXPECT_NE(m_device->GetErrorText(10).find(missing), std::string::npos)
      << m_device->GetErrorText(10);
  EXPECT_FALSE(fs::exists(m_cups->OutputFile()));
  EXPECT_EQ(m_cups->ReadLog("page_log"), pagesBefore);  // no job reached the scheduler
  EXPECT_EQ(PdfFilesInDocuments(), 0);

  // The queue is back: the next job finds it again.
  RecreateQueue();
  EXPECT_EQ(Print("job on the re-created queue"), 0) << m_stderr;
  EXPECT_TRUE(QueuePrinted());
  EXPECT_EQ(m_device->GetErrorText(10), "Внутренняя ошибка");
}

// A misspelled name, a built-in one included, fails as a deleted queue does;
// an empty name keeps meaning the first printer (here the only queue).
TEST_F(SpoolFaultsTest, MisspelledPrinterFailsAndEmptyNameMeansTheFirst) {
  fs::remove(m_cups->OutputFile());
  m_device->SetParam("PrinterName", "labelplu PFD; paper=58x40");
  EXPECT_EQ(Print("job on a misspelled built-in printer"), 10);
  EXPECT_NE(m_stderr.find("printer \"labelplu PFD\" is not installed; the printers are \"" +
                          m_cups->QueueName() + "\", \"labelplu PDF\", \"labelplu Raster\""),
            std::string::npos)
      << m_stderr;
  EXPECT_EQ(PdfFilesInDocuments(), 0);
  EXPECT_TRUE(m_cups->WaitForJobs());
  EXPECT_FALSE(fs::exists(m_cups->OutputFile()));

  m_device->SetParam("PrinterName", "");
  EXPECT_EQ(Print("job on the first printer"), 0) << m_stderr;
  EXPECT_TRUE(QueuePrinted());
}

TEST_F(SpoolFaultsTest, QueueDeletedDuringTheJob) {
  // Fired by the job's own event processing, after the document began.
  bool fired = false;
  WhenDocumentOpen([&] {
    fired = true;
    EXPECT_EQ(Shell("lpadmin -x " + m_cups->QueueName()), 0);
  });
  EXPECT_EQ(Print("job whose queue is deleted", 3), 10);
  EXPECT_TRUE(fired);
  EXPECT_NE(m_stderr.find("Ошибка! printer \"" + m_cups->QueueName() + "\""), std::string::npos)
      << m_stderr;

  RecreateQueue();
  EXPECT_EQ(Print("job on the re-created queue"), 0) << m_stderr;
  EXPECT_TRUE(QueuePrinted());
}

TEST_F(SpoolFaultsTest, SchedulerKilledDuringTheJob) {
  const pid_t cupsd = ChildCupsd();
  ASSERT_GT(cupsd, 0);
  WhenDocumentOpen([&] { kill(cupsd, SIGKILL); });
  EXPECT_EQ(Print("job whose scheduler dies", 3), 10);
  EXPECT_NE(m_stderr.find("Ошибка!"), std::string::npos) << m_stderr;

  // A new scheduler with the same queue name: the device prints again.
  m_cups.reset();
  m_cups = std::make_unique<test::PrivateCups>();
  EXPECT_EQ(Print("job on the restarted scheduler"), 0) << m_stderr;
  EXPECT_TRUE(QueuePrinted());
}

TEST_F(SpoolFaultsTest, SchedulerFrozenDuringTheJob) {
  const pid_t cupsd = ChildCupsd();
  ASSERT_GT(cupsd, 0);
  WhenDocumentOpen([&] { kill(cupsd, SIGSTOP); });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Print("job whose scheduler stops answering", 3), 10);
  std::printf("a silent scheduler ended the job after %.1f s\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  kill(cupsd, SIGCONT);
  EXPECT_NE(m_stderr.find("Ошибка!"), std::string::npos) << m_stderr;
  EXPECT_EQ(Print("job after the scheduler woke up"), 0) << m_stderr;
  EXPECT_TRUE(QueuePrinted());
}

// A scheduler that stops answering before the job begins: looking the
// printer up ends after the limit (shortened for this test), the job fails
// with the error result, and once the scheduler answers the next job prints.
TEST_F(SpoolFaultsTest, SchedulerFrozenBeforeTheJob) {
  const pid_t cupsd = ChildCupsd();
  ASSERT_GT(cupsd, 0);
  fs::remove(m_cups->OutputFile());
  ASSERT_EQ(kill(cupsd, SIGSTOP), 0);
  const auto start = std::chrono::steady_clock::now();
  const int32_t frozen = Print("job looked up on a frozen scheduler");
  std::printf("a silent scheduler ended the job before it began after %.1f s\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  // The next call of the host works while the scheduler is still silent.
  const int32_t stillFrozen = Print("second job on the frozen scheduler");
  kill(cupsd, SIGCONT);
  EXPECT_EQ(frozen, 10);
  EXPECT_EQ(stillFrozen, 10);
  EXPECT_NE(m_stderr.find("does not answer"), std::string::npos) << m_stderr;
  EXPECT_EQ(PdfFilesInDocuments(), 0);

  EXPECT_EQ(Print("job after the scheduler woke up"), 0) << m_stderr;
  EXPECT_TRUE(QueuePrinted());
}

TEST_F(SpoolFaultsTest, FullDiskUnderThePdfPrinterAndTheSpoolFile) {
  FullDisk disk(m_devices->Folder().Path() / "full");
  if (!disk.Error().empty()) GTEST_SKIP() << "cannot mount a tmpfs here: " << disk.Error();
  const fs::path pdf = disk.Path() / "labels.pdf";

  // The PDF printer's file on the full disk: no half file is left.
  m_device->SetParam("PrinterName", "labelplu PDF; file=" + pdf.string());
  EXPECT_EQ(Print("PDF onto a full disk", 20), 10);
  EXPECT_NE(m_stderr.find(pdf.string()), std::string::npos) << m_stderr;
  EXPECT_FALSE(fs::exists(pdf));

  // The queue's spool file on the full disk: the truncated document must
  // not be sent.
  m_device->SetParam("PrinterName", m_cups->QueueName());
  const char* previous = std::getenv("TMPDIR");
  const std::string saved = previous ? previous : "";
  setenv("TMPDIR", disk.Path().c_str(), 1);
  const int32_t spoolResult = Print("CUPS job spooled onto a full disk", 20);
  if (previous)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_EQ(spoolResult, 10) << m_stderr;
  EXPECT_TRUE(m_cups->WaitForJobs());
  EXPECT_FALSE(fs::exists(m_cups->OutputFile()));

  disk.FreeSpace();
  m_device->SetParam("PrinterName", "labelplu PDF; file=" + pdf.string());
  EXPECT_EQ(Print("PDF after space was freed", 20), 0) << m_stderr;
  EXPECT_TRUE(IsPdf(pdf));
}

}  // namespace
}  // namespace labelplu
