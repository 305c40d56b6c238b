#include "DevicesList.h"

#include <cmath>

#include "SystemInfo.h"
#include "TextUtils.h"
#include "Variant.h"

namespace labelplu {

TDevicesList::TDevicesList() : ThreadId(sys::CurrentThreadId()) {}

TDevicesList::~TDevicesList() = default;

TDeviceItem* TDevicesList::GetDevice(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return m_items[static_cast<size_t>(index)].get();
}

TDeviceItem* TDevicesList::CurrentDevice() const { return GetDevice(Current - 1); }

std::string TDevicesList::GetErrorText(int32_t code) const {
  return "Ошибка. Код №" + std::to_string(code);
}

int32_t TDevicesList::SelectDevice(const VARIANT& key) {
  const VARIANT& v = (key.vt == (VT_VARIANT | VT_BYREF) && key.pvarVal) ? *key.pvarVal : key;
  int32_t number = 0;
  bool byNumber = false;
  switch (v.vt & ~VT_BYREF) {
    case VT_I2: case VT_I4: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4: case VT_I8:
      number = ole::VarToInt32(v);
      byNumber = true;
      break;
    case VT_R4: case VT_R8: case VT_CY: {
      const double d = ole::VarToDouble(v);
      if (std::fabs(d - std::nearbyint(d)) >= 1e-9) return 3;
      if (d < -2147483648.0 || d > 2147483647.0) return 3;
      number = static_cast<int32_t>(std::nearbyint(d));
      byNumber = true;
      break;
    }
    case VT_BSTR: {
      const std::string name = ole::VarToText(v);
      for (int32_t i = 0; i < Count(); ++i) {
        if (SameText(m_items[static_cast<size_t>(i)]->Name, name)) {
          Current = i + 1;
          m_items[static_cast<size_t>(i)]->SetResult(0);
          return 0;
        }
      }
      return 3;
    }
    default:
      return 3;
  }
  if (!byNumber || number < 1 || number > Count()) return 3;
  Current = number;
  m_items[static_cast<size_t>(number - 1)]->SetResult(0);
  return 0;
}

TDeviceItem* TDevicesList::FindByCode(const GUID& code) const {
  for (const auto& item : m_items)
    if (IsEqualGUID(&item->Code, &code)) return item.get();
  return nullptr;
}

std::string TDevicesList::CurrentName() const {
  const TDeviceItem* device = Current > 0 ? CurrentDevice() : nullptr;
  return device ? device->Name : std::string();
}

void TDevicesList::SetCurrentName(const std::string& name) {
  if (TDeviceItem* device = Current > 0 ? CurrentDevice() : nullptr) device->Name = name;
}

void TDevicesList::Delete(int32_t index) {
  if (index < 0 || index >= Count()) return;
  m_items.erase(m_items.begin() + index);
}

void TDevicesList::ClearDevices() {
  m_items.clear();
  AllRemoved();
}

void TDevicesList::SwitchAllOff() {
  for (const auto& item : m_items) item->SetOn(0);
}

}  // namespace labelplu
