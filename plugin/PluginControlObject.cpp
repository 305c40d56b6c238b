#include "plugin/PluginControlObject.h"

#include "base/Errors.h"
#include "platform/ole/ErrorInfo.h"
#include "plugin/DriverObject.h"

namespace labelplu {

PluginControlObject::PluginControlObject(DriverObject* const* driverSlot, CallEntryFn callEntry)
    : m_driverSlot(driverSlot), m_callEntry(callEntry) {}

HRESULT PluginControlObject::GetCallEntry(CallEntryFn* out) {
  return ole::Safecall([&] {
    if (!out) throw ole::OleException(E_POINTER, "GetCallEntry: null out argument");
    *out = m_callEntry;
  });
}

HRESULT PluginControlObject::GetDllObject(IDriverObject** out) {
  return ole::Safecall([&] {
    if (!out) throw ole::OleException(E_POINTER, "GetDllObject: null out argument");
    *out = nullptr;
    if (!m_driverSlot) RaiseError(20000, "Обработчик GetDllObject не назначен");
    DriverObject* driver = *m_driverSlot;
    if (!driver) RaiseError(20000, "GetDllObject вернул Nil");
    IDriverObject* object = nullptr;
    if (FAILED(driver->QueryInterface(IID_IDriverObject, reinterpret_cast<void**>(&object))) ||
        !object)
      RaiseCode(20058);
    *out = object;
  });
}

}  // namespace labelplu
