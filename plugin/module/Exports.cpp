// The three exports of labelplu.plu and the module's start-up and shut-down.
#include "plugin/ModuleState.h"

using labelplu::IPluginControl;

#define LP_EXPORT extern "C" __attribute__((visibility("default")))

LP_EXPORT int32_t Query() {
  return labelplu::QueryValue();
}

LP_EXPORT void PluginControl(IPluginControl** out) {
  if (!out) return;
  IPluginControl* control = labelplu::ControlInterface();
  if (control) control->AddRef();
  *out = control;
}

LP_EXPORT void BeforeFreeLibrary() {}

namespace {

__attribute__((constructor)) void StartModule() {
  labelplu::LoadModule();
}

__attribute__((destructor)) void StopModule() {
  labelplu::UnloadModule();
}

}  // namespace
