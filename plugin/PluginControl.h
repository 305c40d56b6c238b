// The control object whose interface the export PluginControl hands out.
#ifndef LABELPLU_PLUGIN_PLUGINCONTROL_H
#define LABELPLU_PLUGIN_PLUGINCONTROL_H

#include "ComObject.h"
#include "ContractInterfaces.h"

namespace labelplu {

class TBaseDllObj;

class TPluginControl final : public ole::ComObject<IPluginControl> {
public:
  // driverSlot: where GetDllObject looks for the driver object (null: no
  // handler assigned). callEntry: what GetCallEntry hands out.
  TPluginControl(TBaseDllObj* const* driverSlot, TCallEntry callEntry);

  HRESULT Reserved1(int32_t) override { return S_OK; }
  HRESULT Reserved2(int32_t) override { return S_OK; }
  HRESULT GetCallEntry(TCallEntry* out) override;
  HRESULT GetDllObject(IDriverObject** out) override;
  HRESULT SetApplication(int32_t) override { return S_OK; }

private:
  TBaseDllObj* const* m_driverSlot;
  TCallEntry m_callEntry;
  int32_t m_reserved = 0;
};

}  // namespace labelplu

#endif
