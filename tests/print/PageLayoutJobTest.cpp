// The page layout printer's print job on a fake print object: documents, pages and
// copies in both copy modes, failures, the host's run-procedure link and
// the separators on the printed page.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "print/PrinterDevice.h"
#include "tests/print/PageLayoutTestSupport.h"
#include "tests/support/PrinterDeviceFixture.h"

namespace labelplu::test {
namespace {

using Log = std::vector<std::string>;

struct JobCase {
  const char* name;
  int32_t across, down;
  bool printerCopies;
  std::vector<int32_t> copies;  // one entry per record
  Log expected;
};

TEST(PageLayoutJob, RecordsFillPagesAndCopiesFollowTheirMode) {
  const JobCase cases[] = {
      {"7 records on a 2 x 2 page",
       2,
       2,
       true,
       {1, 1, 1, 1, 1, 1, 1},
       {"Copies 1", "BeginJob", "BeginDoc", "L0", "L1", "L2", "L3", "NewPage", "L0", "L1", "L2",
        "EndDoc", "EndJob"}},
      {"copies take consecutive positions, none below 1",
       2,
       2,
       true,
       {1, 3, 0, -2, 2},
       {"Copies 1", "BeginJob", "BeginDoc", "L0", "L1", "L2", "L3", "NewPage", "L0", "L1", "EndDoc",
        "EndJob"}},
      {"nothing to print opens no document", 2, 2, true, {0}, {"Copies 1", "BeginJob", "EndJob"}},
      {"printer copies 1, 3, 1",
       1,
       1,
       true,
       {1, 3, 1},
       {"Copies 1", "BeginJob", "BeginDoc", "L0", "EndDoc", "Copies 3", "BeginDoc", "L0", "EndDoc",
        "Copies 1", "BeginDoc", "L0", "EndDoc", "EndJob"}},
      {"printer copies 1, 1 share a document",
       1,
       1,
       true,
       {1, 1},
       {"Copies 1", "BeginJob", "BeginDoc", "L0", "NewPage", "L0", "EndDoc", "EndJob"}},
      // Below 1 the label is drawn as for one copy, without a new page.
      {"printer copies 0, 0",
       1,
       1,
       true,
       {0, 0},
       {"Copies 1", "BeginJob", "BeginDoc", "L0", "L0", "EndDoc", "EndJob"}},
      {"one label per page repeated",
       1,
       1,
       false,
       {1, 2},
       {"Copies 1", "BeginJob", "BeginDoc", "L0", "NewPage", "L0", "NewPage", "L0", "EndDoc",
        "EndJob"}},
  };
  for (const JobCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewHarness h;
    h.Grid(c.across, c.down);
    h.view.PrinterCopies = c.printerCopies;
    h.view.BeginLabelJob();
    EXPECT_EQ(h.printer.Title(), "Документ ЖФУ 8");
    EXPECT_EQ(h.label.Mode(), kModePrinter);
    for (int32_t n : c.copies) h.view.PrintLabel(n);
    h.view.FinishJob(true);
    EXPECT_EQ(h.JobLog(), c.expected);
    EXPECT_EQ(h.label.UpdateCount(), 0);
  }
}

TEST(PageLayoutJob, FailuresAbortTheDocumentAndReachTheCaller) {
  {
    SCOPED_TRACE("printer copies: the second document cannot start");
    ViewHarness h;
    h.Grid(1, 1);
    h.printer.FailOn = "BeginDoc";
    h.printer.FailAfter = 1;
    h.view.BeginLabelJob();
    h.view.PrintLabel(1);
    EXPECT_THROW(h.view.PrintLabel(3), spool::SpoolError);
    h.view.FinishJob(false);
    EXPECT_EQ(h.JobLog(), (Log{"Copies 1", "BeginJob", "BeginDoc", "L0", "EndDoc", "Copies 3",
                               "BeginDoc failed", "Abort", "Copies 1", "EndJob"}));
    EXPECT_EQ(h.printer.Copies(), 1);
  }
  {
    SCOPED_TRACE("repetition: no new page");
    ViewHarness h;
    h.Grid(1, 1);
    h.view.PrinterCopies = false;
    h.printer.FailOn = "NewPage";
    h.view.BeginLabelJob();
    EXPECT_THROW(h.view.PrintLabel(2), spool::SpoolError);
    EXPECT_EQ(h.label.UpdateCount(), 0);
    h.view.FinishJob(false);
    EXPECT_EQ(h.JobLog(),
              (Log{"Copies 1", "BeginJob", "BeginDoc", "L0", "NewPage failed", "Abort", "EndJob"}));
    EXPECT_TRUE(h.printer.Pages.empty());
  }
  {
    SCOPED_TRACE("a page without positions");
    ViewHarness h;
    h.Grid(0, 2);
    h.view.BeginLabelJob();
    EXPECT_THROW(h.view.PrintLabel(1), std::runtime_error);
    h.view.FinishJob(false);
    EXPECT_EQ(h.JobLog(), (Log{"Copies 1", "BeginJob", "EndJob"}));
  }
}

// A host that runs every procedure handed to it and counts them.
class CountingHost : public IHostEventSink {
 public:
  std::atomic<int> Runs{0};

  HRESULT QueryInterface(const IID&, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return 2; }
  uint32_t Release() override { return 1; }
  HRESULT RunProcedure(HostProcedure proc, intptr_t arg) noexcept override {
    ++Runs;
    proc.Code(proc.Data, arg);
    return S_OK;
  }
  // clang-format off
#define LP_NOT_IMPL(n) HRESULT Reserved##n() override { return E_NOTIMPL; }
  LP_NOT_IMPL(3) LP_NOT_IMPL(4) LP_NOT_IMPL(5) LP_NOT_IMPL(6) LP_NOT_IMPL(7) LP_NOT_IMPL(8)
  LP_NOT_IMPL(9) LP_NOT_IMPL(10) LP_NOT_IMPL(11) LP_NOT_IMPL(12) LP_NOT_IMPL(13) LP_NOT_IMPL(14)
  LP_NOT_IMPL(15) LP_NOT_IMPL(16) LP_NOT_IMPL(17) LP_NOT_IMPL(18) LP_NOT_IMPL(19) LP_NOT_IMPL(20)
  LP_NOT_IMPL(21) LP_NOT_IMPL(22) LP_NOT_IMPL(24) LP_NOT_IMPL(25) LP_NOT_IMPL(26) LP_NOT_IMPL(27)
#undef LP_NOT_IMPL
  HRESULT CreateValueArray(VARIANT*) override { return E_NOTIMPL; }
};
// clang-format on

TEST(PageLayoutJob, DocumentCallsRunThroughTheHostAndFailuresComeBackOnThisSide) {
  CountingHost host;
  PrinterDeviceFixture devices;
  PrinterDevice& item = devices.Device();
  item.HostLink = ole::ComPtr<IHostEventSink>(&host);
  ViewHarness h;
  h.view.Device = &item;
  h.Grid(2, 1);
  h.view.BeginLabelJob();
  h.view.PrintLabel(3);    // begin document; new page is the print object's own
  h.view.FinishJob(true);  // end document
  EXPECT_EQ(host.Runs, 2);
  EXPECT_EQ(h.printer.Pages.size(), 2u);

  // The print object's error is thrown inside the host's call and must
  // not unwind through it (RunProcedure is noexcept here).
  h.printer.FailOn = "BeginDoc";
  h.view.BeginLabelJob();
  EXPECT_THROW(h.view.PrintLabel(1), spool::SpoolError);
  h.view.FinishJob(false);
  EXPECT_EQ(host.Runs, 3);
  item.HostLink = nullptr;
}

bool Ink(const QImage& page, int x, int y) {
  return qGray(page.pixel(x, y)) < 128;
}

TEST(PageLayoutJob, SeparatorsFrameEachCellHalfAGapBeyondTheLabel) {
  struct Flags {
    bool h, v;
  };
  for (const Flags f : {Flags{true, false}, Flags{false, true}, Flags{true, true}}) {
    SCOPED_TRACE(std::to_string(f.h) + std::to_string(f.v));
    ViewHarness h;
    h.Grid(2, 2);  // cells at 10 px/mm: x 0..600..1200, y 0..420..840
    h.view.PrintHSeparator = f.h;
    h.view.PrintVSeparator = f.v;
    h.view.BeginLabelJob();
    h.view.PrintLabel(4);
    h.view.FinishJob(true);
    ASSERT_EQ(h.printer.Pages.size(), 1u);
    const QImage& page = h.printer.Pages[0];
    for (auto [x, y] : {std::pair{300, 0}, {300, 420}, {900, 840}, {1199, 420}})
      EXPECT_EQ(Ink(page, x, y), f.h) << x << "," << y;
    for (auto [x, y] : {std::pair{0, 200}, {600, 200}, {1200, 600}, {600, 839}})
      EXPECT_EQ(Ink(page, x, y), f.v) << x << "," << y;
    for (auto [x, y] : {std::pair{300, 1}, {1, 200}, {1201, 600}, {300, 841}, {1300, 300}})
      EXPECT_FALSE(Ink(page, x, y)) << x << "," << y;
  }
  // Copies through the printer draw no separators.
  ViewHarness h;
  h.Grid(1, 1);
  h.view.PrintHSeparator = h.view.PrintVSeparator = true;
  h.view.BeginLabelJob();
  h.view.PrintLabel(1);
  h.view.FinishJob(true);
  ASSERT_EQ(h.printer.Pages.size(), 1u);
  EXPECT_FALSE(Ink(h.printer.Pages[0], 300, 0));
  EXPECT_FALSE(Ink(h.printer.Pages[0], 0, 200));
}

}  // namespace
}  // namespace labelplu::test
