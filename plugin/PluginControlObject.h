// The control object whose interface the export PluginControl hands out.
#ifndef LABELPLU_PLUGIN_PLUGINCONTROLOBJECT_H
#define LABELPLU_PLUGIN_PLUGINCONTROLOBJECT_H

#include "platform/ole/ComObject.h"
#include "platform/ole/ContractInterfaces.h"

namespace labelplu {

class DriverObject;

class PluginControlObject final : public ole::ComObject<IPluginControl> {
 public:
  // driverSlot: where GetDllObject looks for the driver object (null: no
  // handler assigned). callEntry: what GetCallEntry hands out.
  PluginControlObject(DriverObject* const* driverSlot, CallEntryFn callEntry);

  HRESULT Reserved1(int32_t) override { return S_OK; }
  HRESULT Reserved2(int32_t) override { return S_OK; }
  HRESULT GetCallEntry(CallEntryFn* out) override;
  HRESULT GetDllObject(IDriverObject** out) override;
  HRESULT SetApplication(int32_t) override { return S_OK; }

 private:
  DriverObject* const* m_driverSlot;
  CallEntryFn m_callEntry;
};

}  // namespace labelplu

#endif  // LABELPLU_PLUGIN_PLUGINCONTROLOBJECT_H
