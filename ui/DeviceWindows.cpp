#include "ui/DeviceWindows.h"

#include <QDialog>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <memory>
#include <string>

#include "base/SharedLog.h"
#include "print/DeviceUserInterface.h"
#include "print/PrinterDevice.h"
#include "ui/Application.h"
#include "ui/SettingsDialog.h"

namespace labelplu {

namespace {

class DeviceWindows final : public DeviceUserInterface {
 public:
  void EnsureApplication() override { labelplu::EnsureApplication(); }

  bool ShowJobFailure(const std::string& message) override {
    if (!IsInteractiveDisplay()) return false;
    QMessageBox::critical(nullptr, QStringLiteral("labelplu"), QString::fromStdString(message));
    return true;
  }

  int32_t EditSettings(PrinterDevice& device) override {
    labelplu::EnsureApplication();
    if (!IsInteractiveDisplay()) {
      const std::string why =
          "Settings of device \"" + device.Name +
          "\" cancelled: no display a person can see (DISPLAY or WAYLAND_DISPLAY unset, or an "
          "offscreen Qt platform), so the settings dialog cannot be shown";
      AppendLogLine(why);
      std::fprintf(stderr, "labelplu: %s\n", why.c_str());
      return kResultCancelled;
    }
    const auto dialog = std::make_unique<SettingsDialog>(nullptr, device);
    if (dialog->exec() != QDialog::Accepted) return kResultCancelled;
    dialog->ApplyTo(device);
    return kResultOk;
  }
};

}  // namespace

void InstallDeviceWindows() {
  static DeviceWindows windows;
  SetDeviceUserInterface(&windows);
}

}  // namespace labelplu
