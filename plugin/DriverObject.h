// The driver object: method and property tables, the call dispatcher, and
// the interfaces IDriverObject and IDriverNames.
#ifndef LABELPLU_PLUGIN_DRIVEROBJECT_H
#define LABELPLU_PLUGIN_DRIVEROBJECT_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "devices/DeviceList.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ContractInterfaces.h"
#include "platform/sys/NamedLock.h"
#include "plugin/MethodRecords.h"

namespace labelplu {

class PluginControlObject;

// Where a name was found. Numbers: level methods from 20000, driver methods
// from 0, base methods from 10000; level properties from 200000, base
// properties from 100000, device-list parameters from 300000; -1 not found.
struct MethodLookup {
  const MethodRecord* Record = nullptr;
  int32_t Number = -1;
  bool IsLevel = false;
};

struct PropertyLookup {
  PropertyRecord* Record = nullptr;  // null also for a device-list parameter
  int32_t Number = -1;
  bool Found() const { return Number >= 0; }
};

struct DriverTables {
  std::span<const MethodRecord> DriverMethods;
  std::span<const MethodRecord> BaseMethods;
  std::span<PropertyRecord> Properties;
};

class DriverObject : public ole::ComObject<IDriverObject, IDriverNames> {
 public:
  // driverSlot: the module's driver-object global (handed to the control
  // object); callEntry: the dispatch entry the control object hands out;
  // list: the device list, owned from here on.
  DriverObject(const DriverTables& tables, CallEntryFn callEntry, DriverObject* const* driverSlot,
               std::unique_ptr<DeviceList> list);
  ~DriverObject() override;

  // Runs the request chain; returns whether the last request processed was
  // handled. Failures leave as exceptions; the rest of the chain is then
  // not processed.
  bool Dispatch(RequestParams* first, void* context);

  MethodLookup FindMethod(std::string_view name) const;
  PropertyLookup FindProperty(std::string_view name) const;

  // The device a call works with: the task's device, else number Current.
  DeviceItem* CurrentDevice(const HostTask* task) const;
  // The device's description of a code, or the list's without a device.
  std::string ErrorText(const HostTask* task, int32_t code) const;

  DeviceList& Devices() const { return *m_list; }
  void SetHostEventSink(IUnknown* sink);
  PluginControlObject* Control() const { return m_control.get(); }

  uint16_t ReleaseNumber() const { return m_releaseNumber; }

  virtual int32_t InterfaceLevel() const { return 3; }

  // IDriverObject
  HRESULT GetModulePath(BSTR* out) override;
  HRESULT GetVersionText(BSTR* out) override;
  HRESULT GetBuildNumber(uint16_t* out) override;
  HRESULT GetInterfaceLevel(int32_t* out) override;
  HRESULT GetInstanceKind(int32_t* out) override;
  HRESULT GetModel(int32_t index, IUnknown** out) override;
  HRESULT SetReserved(int32_t value) override;
  HRESULT SetHostEvents(IUnknown* sink) override;
  HRESULT GetNames(IDriverNames** out) override;

  // IDriverNames
  bool IsProperty(BSTR name) override;
  bool IsMethod(BSTR name) override;
  bool IsBaseMethod(BSTR name) override;
  bool IsSwitchOn(BSTR name) override;
  bool IsSwitchOff(BSTR name) override;

 protected:
  // The label-printer level adds its tables here.
  void SetLevelTables(std::span<const MethodRecord> methods, std::span<PropertyRecord> props);

 private:
  // Handles a control command; false when name is not one.
  bool RunControlCommand(RequestParams& params);
  void DispatchOne(RequestParams& params, void* context, bool& handled);
  void CallMethod(RequestParams& params, const MethodLookup& method, const std::string& name,
                  const CallContext& ctx);

  ole::ComPtr<PluginControlObject> m_control;
  std::span<const MethodRecord> m_levelMethods;
  std::span<const MethodRecord> m_driverMethods;
  std::span<const MethodRecord> m_baseMethods;
  std::span<PropertyRecord> m_levelProperties;
  std::span<PropertyRecord> m_properties;
  std::string m_modulePath;
  std::string m_versionText;
  uint16_t m_buildNumber = 0;
  uint16_t m_releaseNumber = 0;
  std::unique_ptr<DeviceList> m_list;
  ole::ComPtr<IHostEventSink> m_hostEvents;
  sys::NamedLock m_instanceLock;
};

// The task object given as a call's context, or null for none. Anything
// that is not a task object of the host raises "Вызов метода GetBaseDll с
// очень плохим параметром!".
HostTask* TaskFromContext(void* context);

}  // namespace labelplu

#endif  // LABELPLU_PLUGIN_DRIVEROBJECT_H
