#include "plugin/ModuleState.h"

#include <stdexcept>

#include "base/SharedLog.h"
#include "platform/spool/PrintObject.h"
#include "platform/sys/ModulePath.h"
#include "plugin/PluginControlObject.h"
#include "plugin/SpoolerLabelDriver.h"
#include "ui/Application.h"
#include "values/ValueArray.h"

namespace labelplu {

namespace {

DriverObject* g_driver = nullptr;
IPluginControl* g_control = nullptr;

}  // namespace

int32_t LoadModule() {
  try {
    InitLogLocation(sys::ModulePath(false));
  } catch (...) {
    // The log location is a courtesy to the other modules; the driver works
    // without it.
  }
  if (g_driver) return 0;
  try {
    // Hosts may create value arrays by class identifier from now on.
    AnnounceValueArrayClass();
    auto* driver = new SpoolerLabelDriver(&CallEntry, &g_driver);
    g_driver = driver;
    g_control = driver->Control();
    return 0;
  } catch (...) {
    g_driver = nullptr;
    g_control = nullptr;
    return -100;
  }
}

void UnloadModule() {
  DriverObject* driver = g_driver;
  g_driver = nullptr;
  g_control = nullptr;
  try {
    if (driver) driver->Release();
  } catch (...) {
  }
  try {
    // Devices, labels and views went with the driver; the print object and
    // the Qt application this module created must not outlive its code.
    spool::PrintObject::ReleaseInstance();
    ReleaseApplication();
  } catch (...) {
  }
  try {
    RevokeValueArrayClass();
  } catch (...) {
  }
  try {
    ShutdownLogLocation();
  } catch (...) {
  }
}

IPluginControl* ControlInterface() {
  return g_control;
}

bool CallEntry(RequestParams* params, void* context) {
  try {
    if (!g_driver) throw EProtectException(20000, "GetDllObject вернул Nil");
    return g_driver->Dispatch(params, context);
  } catch (const std::exception&) {
    throw;
  } catch (...) {
    // Only exceptions a host can catch as std::exception leave the module.
    throw std::runtime_error("Unknown exception");
  }
}

int32_t QueryValue() {
  // "LP" in the high half, the family's interface mark (1000, byte-swapped)
  // in the low half.
  const uint32_t family = (static_cast<uint32_t>('L') << 8) | static_cast<uint32_t>('P');
  const uint32_t mark = 1000;
  const uint32_t swapped = ((mark & 0xFF) << 8) | (mark >> 8);
  return static_cast<int32_t>((family << 16) | swapped);
}

}  // namespace labelplu
