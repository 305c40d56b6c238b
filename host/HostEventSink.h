// labelplu host: the host's service interface handed to the driver.
#ifndef LABELPLU_HOST_HOSTEVENTSINK_H
#define LABELPLU_HOST_HOSTEVENTSINK_H

#include "labelplu/plugin.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ContractInterfaces.h"

namespace labelplu::host {

// The host's IHostEventSink. The driver calls two slots:
//   CreateValueArray (slot 23) creates a value array through the class table
//   (CoCreateInstance of CLSID_ValueArray); when the class is not announced it
//   answers the failure HRESULT with an error information text saying so.
//   RunProcedure (slot 28) runs proc.Code(proc.Data, arg) on the calling
//   thread and answers S_OK (E_POINTER when Code is null).
// Every other slot answers E_NOTIMPL.
//
// Reference-counted (create with ole::MakeCom); the driver may keep
// references after the module is unloaded, so its lifetime is not tied to the
// PluginHost that created it.
class HostEventSink final : public ole::ComObject<IHostEventSink> {
 public:
  HostEventSink() = default;

  HRESULT CreateValueArray(VARIANT* out) override;
  HRESULT RunProcedure(HostProcedure proc, intptr_t arg) override;

  HRESULT Reserved3() override { return E_NOTIMPL; }
  HRESULT Reserved4() override { return E_NOTIMPL; }
  HRESULT Reserved5() override { return E_NOTIMPL; }
  HRESULT Reserved6() override { return E_NOTIMPL; }
  HRESULT Reserved7() override { return E_NOTIMPL; }
  HRESULT Reserved8() override { return E_NOTIMPL; }
  HRESULT Reserved9() override { return E_NOTIMPL; }
  HRESULT Reserved10() override { return E_NOTIMPL; }
  HRESULT Reserved11() override { return E_NOTIMPL; }
  HRESULT Reserved12() override { return E_NOTIMPL; }
  HRESULT Reserved13() override { return E_NOTIMPL; }
  HRESULT Reserved14() override { return E_NOTIMPL; }
  HRESULT Reserved15() override { return E_NOTIMPL; }
  HRESULT Reserved16() override { return E_NOTIMPL; }
  HRESULT Reserved17() override { return E_NOTIMPL; }
  HRESULT Reserved18() override { return E_NOTIMPL; }
  HRESULT Reserved19() override { return E_NOTIMPL; }
  HRESULT Reserved20() override { return E_NOTIMPL; }
  HRESULT Reserved21() override { return E_NOTIMPL; }
  HRESULT Reserved22() override { return E_NOTIMPL; }
  HRESULT Reserved24() override { return E_NOTIMPL; }
  HRESULT Reserved25() override { return E_NOTIMPL; }
  HRESULT Reserved26() override { return E_NOTIMPL; }
  HRESULT Reserved27() override { return E_NOTIMPL; }
};

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_HOSTEVENTSINK_H
