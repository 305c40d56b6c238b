// The list of configured device instances the driver object owns.
#ifndef LABELPLU_DEVICES_DEVICESLIST_H
#define LABELPLU_DEVICES_DEVICESLIST_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "DeviceItem.h"
#include "labelplu/oleauto.h"
#include "labelplu/plugin.h"

namespace labelplu {

class TDevicesList {
public:
  TDevicesList();
  virtual ~TDevicesList();
  TDevicesList(const TDevicesList&) = delete;
  TDevicesList& operator=(const TDevicesList&) = delete;

  int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
  // 0-based access; null outside the list.
  TDeviceItem* GetDevice(int32_t index) const;
  // The device whose 1-based number is Current, or null.
  TDeviceItem* CurrentDevice() const;

  // Stores the 1-based current number without any check.
  virtual void SetCurrent(int32_t number) { Current = number; }
  // "Ошибка. Код №" followed by the decimal code.
  virtual std::string GetErrorText(int32_t code) const;
  // Selects a device by 1-based number (an integral double counts) or by
  // name (case ignored); 0 when selected, else 3.
  virtual int32_t SelectDevice(const VARIANT& key);

  TDeviceItem* FindByCode(const GUID& code) const;
  bool HasCode(const GUID& code) const { return FindByCode(code) != nullptr; }

  // Name of the current device; empty when none is current.
  std::string CurrentName() const;
  void SetCurrentName(const std::string& name);

  // Deletes the device at a 0-based index (nothing outside the list).
  void Delete(int32_t index);
  // Frees every device.
  void ClearDevices();
  // Switches every device off, in order.
  void SwitchAllOff();

  // The name the driver object builds its instance lock from; empty here.
  std::string InstanceKey() const { return {}; }

  int32_t Current = 0;
  int32_t PropertyPageEnabled = 0;
  uint32_t ThreadId = 0;
  // The host's service interface, set by the driver object.
  ole::ComPtr<IHostEventSink> HostLink;

protected:
  // Hook called when the list became empty after ClearDevices.
  virtual void AllRemoved() {}

  std::vector<std::unique_ptr<TDeviceItem>> m_items;
};

}  // namespace labelplu

#endif
