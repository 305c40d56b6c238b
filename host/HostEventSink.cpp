#include "host/HostEventSink.h"

#include <cstdio>

#include "host/HostMessages.h"
#include "labelplu/valuearray.h"
#include "platform/ole/ErrorInfo.h"

namespace labelplu::host {

HRESULT HostEventSink::CreateValueArray(VARIANT* out) {
  if (!out) return E_POINTER;
  VariantClear(out);
  ISafeArray* table = nullptr;
  const HRESULT hr = CoCreateInstance(&CLSID_ValueArray, nullptr, 0, &IID_ISafeArray,
                                      reinterpret_cast<void**>(&table));
  if (FAILED(hr) || !table) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    const std::string text =
        Say(HostMessage::HostCannotCreateValueArray, code,
            hr == REGDB_E_CLASSNOTREG ? Say(HostMessage::ClassNotAnnounced) : std::string());
    SetErrorInfoText(text.c_str(), "labelhost");
    return FAILED(hr) ? hr : E_POINTER;
  }
  out->vt = VT_DISPATCH;
  out->pdispVal = table;
  return S_OK;
}

HRESULT HostEventSink::RunProcedure(HostProcedure proc, intptr_t arg) {
  if (!proc.Code) return E_POINTER;
  // The procedure is the driver's code; nothing it throws may cross back.
  return ole::Safecall([&] { proc.Code(proc.Data, arg); });
}

}  // namespace labelplu::host
