// labelplu: the Qt side of a printer device: the application object a job
// paints with, a message box for a failed job, and the settings dialog
// (print/DeviceUserInterface.h). The driver installs it when it starts.
//
// Threads: the thread of the driver call.
#ifndef LABELPLU_UI_DEVICEWINDOWS_H
#define LABELPLU_UI_DEVICEWINDOWS_H

namespace labelplu {

// Makes the Qt windows the printer devices' user interface (idempotent).
void InstallDeviceWindows();

}  // namespace labelplu

#endif  // LABELPLU_UI_DEVICEWINDOWS_H
