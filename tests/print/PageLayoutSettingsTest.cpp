// The page layout's settings from a printer device and its printer
// geometry from the print object.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "platform/gdi/GdiTypes.h"
#include "print/PrinterDevice.h"
#include "tests/print/PageLayoutTestSupport.h"
#include "tests/support/PrinterDeviceFixture.h"

namespace labelplu::test {
namespace {

struct GeometryCase {
  const char* name;
  int32_t code;
  double modeWidth, modeHeight;
  std::map<int32_t, int32_t> caps;  // replaces the A4 defaults when not empty
  const char* paperName;
  double width, height, offsetX, offsetY, unprintableRight, unprintableBottom;
};

TEST(PageLayoutSettings, PrinterGeometryFromDeviceModePapersAndCapabilities) {
  using namespace gdi;
  const GeometryCase cases[] = {
      {"sizes of 0 come from the paper list", 9, 0, 0, {}, "A4", 210, 297, 0, 0, 0, 0},
      {"device mode sizes win", 11, 100, 0, {}, "A5", 100, 210, 0, 0, 0, 0},
      {"unknown paper keeps the name", 77, 0, 0, {}, "before", 0, 0, 0, 0, 0, 0},
      // 421 px × 10 mm / 200 px = 21.05 mm: one decimal, halves to even.
      {"one decimal, halves to even",
       9,
       0,
       0,
       {{HORZRES, 200},
        {HORZSIZE, 10},
        {VERTRES, 200},
        {VERTSIZE, 10},
        {PHYSICALWIDTH, 421},
        {PHYSICALHEIGHT, 425},
        {PHYSICALOFFSETX, 25},
        {PHYSICALOFFSETY, 27}},
       "A4",
       210,
       297,
       1.2,
       1.4,
       21.0 - 10 - 1.2,
       21.2 - 10 - 1.4},
      {"printable area with margins",
       9,
       0,
       0,
       {{HORZRES, 2020},
        {HORZSIZE, 202},
        {VERTRES, 2870},
        {VERTSIZE, 287},
        {PHYSICALWIDTH, 2100},
        {PHYSICALHEIGHT, 2970},
        {PHYSICALOFFSETX, 40},
        {PHYSICALOFFSETY, 50}},
       "A4",
       210,
       297,
       4,
       5,
       4,
       5},
      {"negative or missing capabilities count as 0",
       9,
       0,
       0,
       {{HORZRES, -5}, {HORZSIZE, -3}, {PHYSICALWIDTH, 100}, {PHYSICALOFFSETX, 10}},
       "A4",
       210,
       297,
       0,
       0,
       0,
       0},
  };
  for (const GeometryCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewHarness h;
    h.view.PaperName = "before";
    h.printer.Mode = {c.code, c.modeWidth, c.modeHeight, 2, 300, 600};
    if (!c.caps.empty()) h.printer.Caps = c.caps;
    h.view.ReadPrinterGeometry();
    EXPECT_EQ(h.printer.Log.front(), "ResetDeviceMode");
    EXPECT_EQ(h.view.PaperCode, c.code);
    EXPECT_EQ(h.view.PaperName, c.paperName);
    EXPECT_EQ(h.view.PaperWidth, c.width);
    EXPECT_EQ(h.view.PaperHeight, c.height);
    EXPECT_EQ(h.view.Orientation, 2);
    EXPECT_EQ(h.view.ResolutionX, 300);
    EXPECT_EQ(h.view.ResolutionY, 600);
    EXPECT_DOUBLE_EQ(h.view.OffsetX, c.offsetX);
    EXPECT_DOUBLE_EQ(h.view.OffsetY, c.offsetY);
    EXPECT_DOUBLE_EQ(h.view.UnprintableRight, c.unprintableRight);
    EXPECT_DOUBLE_EQ(h.view.UnprintableBottom, c.unprintableBottom);
  }
}

TEST(PageLayoutSettings, SettingsComeFromThePrinterDevice) {
  PrinterDeviceFixture devices;
  PrinterDevice& item = devices.Device();
  ViewHarness h;
  EXPECT_THROW(h.view.ReadDeviceSettings(), std::logic_error);
  h.view.Device = &item;
  h.printer.SetPrinterIndex(1);

  // A device never configured: one centred label per page on the first
  // printer, copies through the printer.
  h.view.ReadDeviceSettings();
  EXPECT_EQ(h.printer.PrinterIndex(), 0);
  EXPECT_EQ(h.view.MaxHorizontal, 1);
  EXPECT_EQ(h.view.LabelsPerPage, 1);
  EXPECT_EQ(h.view.HorizontalAlign, 1);
  EXPECT_EQ(h.view.GapVertical, 2);
  EXPECT_EQ(h.view.MarginBottom, 1);
  EXPECT_TRUE(h.view.PrinterCopies);
  EXPECT_FALSE(h.view.PrintHSeparator);
  EXPECT_EQ(h.view.PaperWidth, 210);  // the geometry was read too

  devices.Set({{"PrinterName", "OFFICE"},
               {"MaxHorizontal", "3"},
               {"MaxVertical", "2"},
               {"GapHorizontal", "2,5"},
               {"GapVertical", "3.5"},
               {"HorizontalAlign", "2"},
               {"VerticalAlign", "0"},
               {"MarginLeft", "4"},
               {"MarginRight", "5"},
               {"MarginTop", "6"},
               {"MarginBottom", "7"},
               {"PrintHSeparator", "1"},
               {"PrintVSeparator", "0"},
               {"PrinterCopies", "0"}});
  h.view.ReadDeviceSettings();
  EXPECT_EQ(h.printer.PrinterIndex(), 1);
  EXPECT_EQ(h.view.MaxHorizontal, 3);
  EXPECT_EQ(h.view.MaxVertical, 2);
  EXPECT_EQ(h.view.LabelsPerPage, 6);
  EXPECT_EQ(h.view.GapHorizontal, 2.5);
  EXPECT_EQ(h.view.GapVertical, 3.5);
  EXPECT_EQ(h.view.HorizontalAlign, 2);
  EXPECT_EQ(h.view.VerticalAlign, 0);
  EXPECT_EQ(
      (std::array{h.view.MarginLeft, h.view.MarginRight, h.view.MarginTop, h.view.MarginBottom}),
      (std::array{4.0, 5.0, 6.0, 7.0}));
  EXPECT_TRUE(h.view.PrintHSeparator);
  EXPECT_FALSE(h.view.PrintVSeparator);
  EXPECT_FALSE(h.view.PrinterCopies);

  item.SetParam("MaxVertical", "zwei");
  EXPECT_ANY_THROW(h.view.ReadDeviceSettings());
}

// A printer that is not installed (deleted, renamed, misspelled) is never
// replaced by another one: the job and the preview page refuse before
// anything is opened, and once it is back the next reading prints there.
TEST(PageLayoutSettings, MissingPrinterPrintsNowhereUntilItIsBack) {
  PrinterDeviceFixture devices;
  ViewHarness h;
  h.view.Device = &devices.Device();
  h.printer.SetPrinterIndex(1);
  devices.Set({{"PrinterName", "Zebra_GK42d"}});
  h.view.ReadDeviceSettings();
  EXPECT_EQ(h.printer.PrinterIndex(), 1);  // the selection is left as it was
  EXPECT_NE(h.view.PrinterProblem().find("\"Zebra_GK42d\" is not installed"), std::string::npos)
      << h.view.PrinterProblem();
  EXPECT_NE(h.view.PrinterProblem().find("\"Label Printer\", \"Office\""), std::string::npos)
      << h.view.PrinterProblem();

  h.printer.Log.clear();
  EXPECT_THROW(h.view.BeginLabelJob(), spool::PrinterUnavailable);
  EXPECT_THROW(h.view.PrintPreviewPage(), spool::PrinterUnavailable);
  for (const std::string& entry : h.printer.Log)
    EXPECT_TRUE(entry != "BeginJob" && entry != "BeginDoc" && entry != "EndDoc") << entry;

  // An empty name keeps meaning the first printer.
  devices.Set({{"PrinterName", ""}});
  h.view.ReadDeviceSettings();
  EXPECT_EQ(h.view.PrinterProblem(), "");
  EXPECT_EQ(h.printer.PrinterIndex(), 0);

  devices.Set({{"PrinterName", "zebra_gk42d"}});
  h.view.ReadDeviceSettings();
  EXPECT_NE(h.view.PrinterProblem(), "");
  h.printer.PrinterList.emplace_back("Zebra_GK42d");
  h.view.ReadDeviceSettings();
  EXPECT_EQ(h.view.PrinterProblem(), "");
  EXPECT_EQ(h.printer.PrinterName(), "Zebra_GK42d");
  h.view.BeginLabelJob();
  h.view.PrintLabel(1);
  h.view.FinishJob(true);
  EXPECT_EQ(h.printer.Pages.size(), 1u);
}

}  // namespace
}  // namespace labelplu::test
