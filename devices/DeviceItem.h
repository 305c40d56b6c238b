// One configured device instance of the driver.
#ifndef LABELPLU_DEVICES_DEVICEITEM_H
#define LABELPLU_DEVICES_DEVICEITEM_H

#include <cstdint>
#include <string>

#include "ComPtr.h"
#include "labelplu/plugin.h"

namespace labelplu {

class TDevicesList;

class TDeviceItem {
public:
  explicit TDeviceItem(TDevicesList& list);
  virtual ~TDeviceItem();
  TDeviceItem(const TDeviceItem&) = delete;
  TDeviceItem& operator=(const TDeviceItem&) = delete;

  // Description of a result code; the base asks the list.
  virtual std::string GetErrorText(int32_t code) const;

  // Switched-on state. The port manager keeps it once it exists; until then
  // the item holds the flag itself.
  virtual bool IsOn() const { return m_isOn; }
  virtual void SetOn(int32_t value);

  // 0 when switched on, else 3; the code is also stored as the result.
  int32_t CheckOn();

  void SetResult(int32_t code) { ResultCode = code; }

  // The host task object of the call working with this device (null when
  // the call carries none). Set and cleared by the dispatcher.
  void SetOwner(TTaskContext* task) { Owner = task; }

  TDevicesList& ListOf() const { return m_list; }

  TTaskContext* Owner = nullptr;
  int32_t ResultCode = 0;
  GUID Code{};
  std::string Name;
  uint32_t ThreadId = 0;
  // The host's service interface, taken from the list at creation.
  ole::ComPtr<IHostEventSink> HostLink;

private:
  TDevicesList& m_list;
  bool m_isOn = false;
};

}  // namespace labelplu

#endif
