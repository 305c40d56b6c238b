#include "PluginControl.h"

#include "BaseDllObj.h"
#include "ErrorInfo.h"
#include "Errors.h"

namespace labelplu {

TPluginControl::TPluginControl(TBaseDllObj* const* driverSlot, TCallEntry callEntry)
    : m_driverSlot(driverSlot), m_callEntry(callEntry) {
  (void)m_reserved;
}

HRESULT TPluginControl::GetCallEntry(TCallEntry* out) {
  return ole::Safecall([&] {
    if (!out) throw ole::EOleException(E_POINTER, "GetCallEntry: null out argument");
    *out = m_callEntry;
  });
}

HRESULT TPluginControl::GetDllObject(IDriverObject** out) {
  return ole::Safecall([&] {
    if (!out) throw ole::EOleException(E_POINTER, "GetDllObject: null out argument");
    *out = nullptr;
    if (!m_driverSlot) RaiseError(20000, "Обработчик GetDllObject не назначен");
    TBaseDllObj* driver = *m_driverSlot;
    if (!driver) RaiseError(20000, "GetDllObject вернул Nil");
    IDriverObject* object = nullptr;
    if (FAILED(driver->QueryInterface(IID_IDriverObject, reinterpret_cast<void**>(&object))) ||
        !object)
      RaiseCode(20058);
    *out = object;
  });
}

}  // namespace labelplu
