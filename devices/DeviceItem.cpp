#include "DeviceItem.h"

#include "DevicesList.h"
#include "SystemInfo.h"

namespace labelplu {

TDeviceItem::TDeviceItem(TDevicesList& list)
    : ThreadId(sys::CurrentThreadId()), HostLink(list.HostLink), m_list(list) {}

TDeviceItem::~TDeviceItem() = default;

std::string TDeviceItem::GetErrorText(int32_t code) const { return m_list.GetErrorText(code); }

int32_t TDeviceItem::CheckOn() {
  SetResult(IsOn() ? 0 : 3);
  return ResultCode;
}

void TDeviceItem::SetOn(int32_t value) {
  SetResult(0);
  m_isOn = value == 1;
}

}  // namespace labelplu
