// labelplu: what a printer device asks of the windowing side.
//
// The print library paints and prints without any window. The driver
// installs the Qt implementation (ui/DeviceWindows.h) when it starts, so
// that a job has an application object to paint with, a failed job's
// message reaches a person who can read it, and the settings request opens
// the settings dialog. Without one installed a job paints on whatever Qt
// application the process has, failures go to the log and standard error,
// and the settings request answers "cancelled".
//
// Threads: install before the first driver call; the functions are called on
// the thread of the driver call.
#ifndef LABELPLU_PRINT_DEVICEUSERINTERFACE_H
#define LABELPLU_PRINT_DEVICEUSERINTERFACE_H

#include <cstdint>
#include <string>

namespace labelplu {

class PrinterDevice;

class DeviceUserInterface {
 public:
  virtual ~DeviceUserInterface() = default;
  // Makes sure a Qt application object exists to paint and print with.
  virtual void EnsureApplication() = 0;
  // Shows a failed job's message to a person; false when nobody can answer
  // a message box (the caller then logs it).
  virtual bool ShowJobFailure(const std::string& message) = 0;
  // The settings dialog of device: kResultOk when confirmed (the settings
  // written back into the device), kResultCancelled when cancelled or when
  // nobody can answer it.
  virtual int32_t EditSettings(PrinterDevice& device) = 0;
};

// The interface in force (not owned; null clears it).
void SetDeviceUserInterface(DeviceUserInterface* ui);
DeviceUserInterface* CurrentDeviceUserInterface();

}  // namespace labelplu

#endif  // LABELPLU_PRINT_DEVICEUSERINTERFACE_H
