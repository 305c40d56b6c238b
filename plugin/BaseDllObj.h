// The driver object: method and property tables, the call dispatcher, and
// the interfaces IDriverObject and IDriverNames.
#ifndef LABELPLU_PLUGIN_BASEDLLOBJ_H
#define LABELPLU_PLUGIN_BASEDLLOBJ_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "ComObject.h"
#include "DevicesList.h"
#include "MethodRecords.h"
#include "NamedLock.h"
#include "ContractInterfaces.h"

namespace labelplu {

class TPluginControl;

// Where a name was found. Numbers: level methods from 20000, driver methods
// from 0, base methods from 10000; level properties from 200000, base
// properties from 100000, device-list parameters from 300000; -1 not found.
struct TMethodFind {
  const TMethodRecord* Record = nullptr;
  int32_t Number = -1;
  bool IsLevel = false;
};

struct TPropertyFind {
  TPropertyRecord* Record = nullptr;  // null also for a device-list parameter
  int32_t Number = -1;
  bool Found() const { return Number >= 0; }
};

struct TDriverTables {
  std::span<const TMethodRecord> DriverMethods;
  std::span<const TMethodRecord> BaseMethods;
  std::span<TPropertyRecord> Properties;
};

class TBaseDllObj : public ole::ComObject<IDriverObject, IDriverNames> {
public:
  // driverSlot: the module's driver-object global (handed to the control
  // object); callEntry: the dispatch entry the control object hands out;
  // list: the device list, owned from here on.
  TBaseDllObj(const TDriverTables& tables, TCallEntry callEntry, TBaseDllObj* const* driverSlot,
              std::unique_ptr<TDevicesList> list);
  ~TBaseDllObj() override;

  // Runs the request chain; returns whether the last request processed was
  // handled. Failures leave as exceptions; the rest of the chain is then
  // not processed.
  bool Dispatch(TParams* first, void* context);

  TMethodFind FindMethod(std::string_view name) const;
  TPropertyFind FindProperty(std::string_view name) const;

  // The device a call works with: the task's device, else number Current.
  TDeviceItem* CurrentDevice(const TTaskContext* task) const;
  // The device's description of a code, or the list's without a device.
  std::string ErrorText(const TTaskContext* task, int32_t code) const;

  TDevicesList& Devices() const { return *m_list; }
  IHostEventSink* HostEvents() const { return m_hostEvents.get(); }
  void SetHostEventSink(IUnknown* sink);
  TPluginControl* Control() const { return m_control.get(); }

  const std::string& ModulePathText() const { return m_modulePath; }
  const std::string& VersionText() const { return m_versionText; }
  uint16_t BuildNumber() const { return m_buildNumber; }
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
  void SetLevelTables(std::span<const TMethodRecord> methods, std::span<TPropertyRecord> props);

private:
  // Handles a control command; false when name is not one.
  bool RunControlCommand(TParams& params);
  void DispatchOne(TParams& params, void* context, bool& handled);
  void CallMethod(TParams& params, const TMethodFind& method, const std::string& name,
                  const TCallContext& ctx);

  ole::ComPtr<TPluginControl> m_control;
  std::span<const TMethodRecord> m_levelMethods;
  std::span<const TMethodRecord> m_driverMethods;
  std::span<const TMethodRecord> m_baseMethods;
  std::span<TPropertyRecord> m_levelProperties;
  std::span<TPropertyRecord> m_properties;
  std::string m_modulePath;
  std::string m_versionText;
  uint16_t m_buildNumber = 0;
  uint16_t m_releaseNumber = 0;
  int32_t m_reserved = 0;
  std::unique_ptr<TDevicesList> m_list;
  ole::ComPtr<IHostEventSink> m_hostEvents;
  sys::TNamedLock m_instanceLock;
};

// The task object given as a call's context, or null for none. Anything
// that is not a task object of the host raises "Вызов метода GetBaseDll с
// очень плохим параметром!".
TTaskContext* TaskFromContext(void* context);

}  // namespace labelplu

#endif
