// A page layout printer over a fake print object, with a 58 × 40 mm label whose
// every repaint is logged as "L<index of its position>" beside the print
// object's calls.
#ifndef LABELPLU_TESTS_PRINT_PAGELAYOUTTESTSUPPORT_H
#define LABELPLU_TESTS_PRINT_PAGELAYOUTTESTSUPPORT_H

#include <string>
#include <vector>

#include "label/Label.h"
#include "print/PageLayoutPrinter.h"
#include "tests/print/FakePrintObjectSupport.h"

namespace labelplu::test {

struct ViewHarness {
  ViewHarness() {
    label.OnChanged = [this](Label& l) {
      for (int32_t i = 0; i < view.Positions.Count(); ++i) {
        if (view.Positions.Item(i).MmX == l.Left() && view.Positions.Item(i).MmY == l.Top()) {
          printer.Note("L" + std::to_string(i));
          return;
        }
      }
      printer.Note("L?");
    };
  }
  // A page of across × down labels, left and top aligned, 1 mm margins,
  // 2 mm gaps, A4.
  void Grid(int32_t across, int32_t down) {
    view.MaxHorizontal = across;
    view.MaxVertical = down;
    view.LabelsPerPage = across * down;
    view.HorizontalAlign = 0;
    view.VerticalAlign = 0;
    view.PaperWidth = 210;
    view.PaperHeight = 297;
    view.ResolutionX = view.ResolutionY = 254;
  }
  // The log without titles and device-mode resets.
  std::vector<std::string> JobLog() const {
    std::vector<std::string> log;
    for (const std::string& entry : printer.Log)
      if (entry.rfind("Title ", 0) != 0 && entry != "ResetDeviceMode") log.push_back(entry);
    return log;
  }

  FakePrintObject printer;
  Label label;
  PageLayoutPrinter view{label, printer};
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_PRINT_PAGELAYOUTTESTSUPPORT_H
