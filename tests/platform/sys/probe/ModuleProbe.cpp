// A module that links lp_sys statically, as the plug-in does.
#include "platform/sys/ModulePath.h"

#include <string>

extern "C" __attribute__((visibility("default"))) const char* ProbeModulePath(bool shortName) {
  static std::string path[2];
  path[shortName] = labelplu::sys::ModulePath(shortName);
  return path[shortName].c_str();
}
