// The value array class in the runtime's class table.
#include <mutex>

#include "platform/ole/ErrorInfo.h"
#include "values/ValueArray.h"

namespace labelplu {
namespace {

std::once_flag g_announced;

HRESULT ValueArrayFactory(const IID* iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!iid) return E_INVALIDARG;
  return ole::Safecall([&] {
    const ole::ComPtr<ValueArray> table = ValueArray::Create();
    return table->QueryInterface(*iid, out);
  });
}

}  // namespace

void AnnounceValueArrayClass() {
  ole::OleCheck(OleRegisterClass(&CLSID_ValueArray, "AddIn", &ValueArrayFactory));
}

void RevokeValueArrayClass() {
  OleRevokeClass(&CLSID_ValueArray);
}

void EnsureValueArrayClass() {
  std::call_once(g_announced, AnnounceValueArrayClass);
}

ole::ComPtr<ISafeArray> CreateValueArray() {
  EnsureValueArrayClass();
  ole::ComPtr<ISafeArray> table;
  HRESULT hr = CoCreateInstance(&CLSID_ValueArray, nullptr, 0, &IID_ISafeArray, table.PutVoid());
  if (hr == REGDB_E_CLASSNOTREG) {
    AnnounceValueArrayClass();
    hr = CoCreateInstance(&CLSID_ValueArray, nullptr, 0, &IID_ISafeArray, table.PutVoid());
  }
  ole::OleCheck(hr);
  return table;
}

}  // namespace labelplu
