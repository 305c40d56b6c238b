// labelplu: the Qt application object the driver paints and prints with.
//
// A host may run its own QApplication (or QGuiApplication); the driver
// then uses it. Otherwise the driver creates a QApplication on first need,
// on the calling thread, and keeps it until the module is unloaded
// (ReleaseApplication). Nothing is created at module load.
//
// Threads: call from the thread of the driver call.
#ifndef LABELPLU_UI_APPLICATION_H
#define LABELPLU_UI_APPLICATION_H

namespace labelplu {

// Creates a QApplication when no QCoreApplication exists. When neither
// DISPLAY nor WAYLAND_DISPLAY is set and QT_QPA_PLATFORM is unset or
// empty, the offscreen platform is chosen (Qt would otherwise abort the
// process for want of a display). The host's environment is not changed.
void EnsureApplication();

// Destroys the application object EnsureApplication created, if it still
// exists and belongs to the calling thread (a host's own is never touched).
// Everything the driver made with Qt must be gone first.
void ReleaseApplication();

// True when a QApplication exists and runs on a platform a person sees
// (xcb or wayland), so that a modal message box can be answered.
bool IsInteractiveDisplay();

}  // namespace labelplu

#endif  // LABELPLU_UI_APPLICATION_H
