#include "ui/Application.h"

#include <QApplication>
#include <QThread>

#include <cstdlib>

namespace labelplu {

namespace {

bool IsEmptyVariable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr || *value == '\0';
}

// The application this module created (constant-initialised: nothing runs
// at module load).
constinit QApplication* g_ownApplication = nullptr;

}  // namespace

void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  // QApplication keeps argc and argv for its whole life.
  static char program[] = "labelplu";
  static char platformOption[] = "-platform";
  static char offscreen[] = "offscreen";
  static char* argv[] = {program, platformOption, offscreen, nullptr};
  static int argc = 1;
  if (IsEmptyVariable("QT_QPA_PLATFORM") && IsEmptyVariable("DISPLAY") &&
      IsEmptyVariable("WAYLAND_DISPLAY")) {
    argc = 3;
  }
  g_ownApplication = new QApplication(argc, argv);
}

void ReleaseApplication() {
  QApplication* app = g_ownApplication;
  if (app == nullptr || QCoreApplication::instance() != app) return;
  // Qt objects must die on their own thread; one made on another thread
  // stays until the process ends.
  if (app->thread() != QThread::currentThread()) return;
  g_ownApplication = nullptr;
  delete app;
}

bool IsInteractiveDisplay() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return false;
  const QString platform = QGuiApplication::platformName();
  return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

}  // namespace labelplu
