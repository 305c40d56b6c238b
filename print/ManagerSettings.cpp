// The settings operation of TManagerWinPrinter: the settings dialog and the
// writing back of its values.
#include <cstdio>
#include <memory>

#include "Application.h"
#include "BaseLog.h"
#include "ManagerWinPrinter.h"
#include "SettingsDialog.h"

namespace labelplu {

int32_t TManagerWinPrinter::ShowSettings() {
  EnsureApplication();
  if (!IsInteractiveDisplay()) {
    const std::string why =
        "Settings of device \"" + Name +
        "\" cancelled: no display a person can see (DISPLAY or WAYLAND_DISPLAY unset, or an "
        "offscreen Qt platform), so the settings dialog cannot be shown";
    AppendLogLine(why);
    std::fprintf(stderr, "labelplu: %s\n", why.c_str());
    return -1;
  }
  const auto dialog = std::make_unique<TfmWinPrinterParams>(nullptr, *this);
  if (dialog->exec() != QDialog::Accepted) return -1;
  ApplySettings(*dialog);
  return 0;
}

void TManagerWinPrinter::ApplySettings(const TfmWinPrinterParams& dialog) {
  Name = dialog.Identifier();
  SetParam("ШаблонПоУмолчанию", dialog.TemplateName());
  SetParam("PrinterName", dialog.PrinterName());
  SetIntParam("PaperIndex", dialog.PaperCode());
  SetIntParam("AutoPosition", dialog.AutoPosition());
  SetIntParam("MaxHorizontal", dialog.MaxHorizontal());
  SetIntParam("MaxVertical", dialog.MaxVertical());
  SetFloatParam("GapHorizontal", dialog.GapHorizontal());
  SetFloatParam("GapVertical", dialog.GapVertical());
  SetIntParam("HorizontalAlign", dialog.HorizontalAlign());
  SetIntParam("VerticalAlign", dialog.VerticalAlign());
  SetIntParam("AutoPaperMargin", dialog.AutoPaperMargin());
  SetFloatParam("MarginLeft", dialog.MarginLeft());
  SetFloatParam("MarginRight", dialog.MarginRight());
  SetFloatParam("MarginTop", dialog.MarginTop());
  SetFloatParam("MarginBottom", dialog.MarginBottom());
  SetIntParam("UseRasterization", dialog.UseRasterization());
  SetIntParam("PrinterCopies", dialog.PrinterCopies());
  SetIntParam("PrintHSeparator", dialog.PrintHSeparator());
  SetIntParam("PrintVSeparator", dialog.PrintVSeparator());
}

}  // namespace labelplu
