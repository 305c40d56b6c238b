// A module that takes part in the log-file agreement at load time, as the
// plug-in does: lp_sys and SharedLog linked statically, hidden, not shared with
// other copies of this module.
#include "base/SharedLog.h"
#include "platform/sys/ModulePath.h"

#include <string>

namespace {

struct AtLoad {
  AtLoad() { labelplu::InitLogLocation(labelplu::sys::ModulePath(false)); }
  ~AtLoad() { labelplu::ShutdownLogLocation(); }
} atLoad;

}  // namespace

extern "C" __attribute__((visibility("default"))) const char* ProbeLogFileName() {
  static std::string name;
  name = labelplu::LogFileName();
  return name.c_str();
}

// What the plug-in's BeforeFreeLibrary does. dlclose alone need not run the
// module's destructors: a module with STB_GNU_UNIQUE symbols (libstdc++
// emits some) is never unloaded.
extern "C" __attribute__((visibility("default"))) void ProbeShutdown() {
  labelplu::ShutdownLogLocation();
}
