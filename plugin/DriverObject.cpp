#include "plugin/DriverObject.h"

#include <cstring>

#include "base/TextUtils.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/sys/MessagePump.h"
#include "platform/sys/ModulePath.h"
#include "platform/sys/SystemInfo.h"
#include "platform/sys/VersionInfo.h"
#include "plugin/PluginControlObject.h"

namespace labelplu {

namespace {

std::string InstanceLockName(const std::string& key) {
  // The name marks that a driver instance exists; nobody waits on it.
  return "labelplu:Global\\" + key;
}

}  // namespace

DriverObject::DriverObject(const DriverTables& tables, CallEntryFn callEntry,
                           DriverObject* const* driverSlot, std::unique_ptr<DeviceList> list)
    : m_control(ole::MakeCom<PluginControlObject>(driverSlot, callEntry)),
      m_driverMethods(tables.DriverMethods),
      m_baseMethods(tables.BaseMethods),
      m_properties(tables.Properties),
      m_list(std::move(list)),
      m_instanceLock(InstanceLockName(m_list->InstanceKey())) {
  m_modulePath = sys::ModulePath(false);
  const sys::VersionInfo version(m_modulePath);
  m_versionText = version.VersionText();
  m_buildNumber = version.FileVersion().Part(3);
  m_releaseNumber = version.FileVersion().Part(2);
  m_list->SetDriverInterfaceSource(
      [this] { return ole::ComPtr<IUnknown>(static_cast<IDriverObject*>(this)); });
  m_instanceLock.TryAcquire();
}

DriverObject::~DriverObject() {
  m_list.reset();
  sys::WaitPumping(10);
  m_control.reset();
  m_hostEvents.reset();
  m_instanceLock.Release();
}

void DriverObject::SetLevelTables(std::span<const MethodRecord> methods,
                                  std::span<PropertyRecord> props) {
  m_levelMethods = methods;
  m_levelProperties = props;
}

MethodLookup DriverObject::FindMethod(std::string_view name) const {
  const auto search = [&](std::span<const MethodRecord> table, int32_t base, bool level,
                          MethodLookup& found) {
    for (size_t i = 0; i < table.size(); ++i) {
      const MethodRecord& record = table[i];
      if (SameText(NamePart(record.Name, 0), name) || SameText(NamePart(record.Name, 1), name)) {
        found = {&record, base + static_cast<int32_t>(i), level};
        return true;
      }
    }
    return false;
  };
  MethodLookup found;
  if (search(m_levelMethods, 20000, true, found)) return found;
  if (search(m_driverMethods, 0, false, found)) return found;
  search(m_baseMethods, 10000, false, found);
  return found;
}

PropertyLookup DriverObject::FindProperty(std::string_view name) const {
  const auto search = [&](std::span<PropertyRecord> table, int32_t base, PropertyLookup& found) {
    for (size_t i = 0; i < table.size(); ++i) {
      if (SameText(table[i].NameRu, name) || SameText(table[i].NameEn, name)) {
        found = {&table[i], base + static_cast<int32_t>(i)};
        return true;
      }
    }
    return false;
  };
  PropertyLookup found;
  if (search(m_levelProperties, 200000, found)) return found;
  if (search(m_properties, 100000, found)) return found;
  // A parameter of the devices is a property too, but has no record.
  if (m_list->Count() > 0) {
    int32_t index = 0;
    for (const auto& item : m_list->ModelParams()) {
      if (SameText(item->Name, name) || SameText(item->AltName, name)) {
        found.Number = 300000 + index;
        break;
      }
      ++index;
    }
  }
  return found;
}

DeviceItem* DriverObject::CurrentDevice(const HostTask* task) const {
  if (task) return m_list->FindByCode(task->DeviceId);
  return m_list->CurrentDevice();
}

std::string DriverObject::ErrorText(const HostTask* task, int32_t code) const {
  if (const DeviceItem* device = CurrentDevice(task)) return device->GetErrorText(code);
  return m_list->GetErrorText(code);
}

void DriverObject::SetHostEventSink(IUnknown* sink) {
  ole::ComPtr<IHostEventSink> events;
  if (sink) sink->QueryInterface(IID_IHostEventSink, events.PutVoid());
  m_hostEvents = events;
  m_list->HostLink = events;
}

HRESULT DriverObject::GetModulePath(BSTR* out) {
  return ole::Safecall([&] { *out = ole::Utf8ToBstr(m_modulePath); });
}

HRESULT DriverObject::GetVersionText(BSTR* out) {
  return ole::Safecall([&] { *out = ole::Utf8ToBstr(m_versionText); });
}

HRESULT DriverObject::GetBuildNumber(uint16_t* out) {
  return ole::Safecall([&] { *out = m_buildNumber; });
}

HRESULT DriverObject::GetInterfaceLevel(int32_t* out) {
  return ole::Safecall([&] { *out = InterfaceLevel(); });
}

HRESULT DriverObject::GetInstanceKind(int32_t* out) {
  return ole::Safecall([&] { *out = 1; });
}

HRESULT DriverObject::GetModel(int32_t index, IUnknown** out) {
  return ole::Safecall([&] {
    *out = nullptr;
    const PluginModelList& models = m_list->Models();
    if (index < 0 || index >= models.Count()) return;
    IModelPlu2* model = models.GetModel(index);
    model->AddRef();
    *out = model;
  });
}

HRESULT DriverObject::SetReserved(int32_t) {
  // The host may hand a value here; nothing in this driver uses it.
  return S_OK;
}

HRESULT DriverObject::SetHostEvents(IUnknown* sink) {
  return ole::Safecall([&] { SetHostEventSink(sink); });
}

HRESULT DriverObject::GetNames(IDriverNames** out) {
  return ole::Safecall([&] {
    *out = static_cast<IDriverNames*>(this);
    AddRef();
  });
}

bool DriverObject::IsProperty(BSTR name) {
  try {
    return FindProperty(ole::BstrToUtf8(name)).Found();
  } catch (...) {
    return false;
  }
}

bool DriverObject::IsMethod(BSTR name) {
  try {
    return FindMethod(ole::BstrToUtf8(name)).Record != nullptr;
  } catch (...) {
    return false;
  }
}

bool DriverObject::IsBaseMethod(BSTR name) {
  try {
    const std::string text = ole::BstrToUtf8(name);
    for (const MethodRecord& record : m_baseMethods)
      if (SameText(NamePart(record.Name, 0), text) || SameText(NamePart(record.Name, 1), text))
        return true;
  } catch (...) {
  }
  return false;
}

bool DriverObject::IsSwitchOn(BSTR name) {
  try {
    const std::string text = ole::BstrToUtf8(name);
    return SameText(text, "Включить") || SameText(text, "SwitchOn");
  } catch (...) {
    return false;
  }
}

bool DriverObject::IsSwitchOff(BSTR name) {
  try {
    const std::string text = ole::BstrToUtf8(name);
    return SameText(text, "Выключить") || SameText(text, "SwitchOff");
  } catch (...) {
    return false;
  }
}

HostTask* TaskFromContext(void* context) {
  if (!context) return nullptr;
  auto* task = static_cast<HostTask*>(context);
  const HostTaskClass* cls = task->ClassRef;
  if (cls && cls->Magic == kTaskClassMagic && cls->ClassName &&
      (std::strcmp(cls->ClassName, "TInternalTask") == 0 ||
       std::strcmp(cls->ClassName, "TTaskThread") == 0))
    return task;
  throw std::runtime_error("Вызов метода GetBaseDll с очень плохим параметром!");
}

}  // namespace labelplu
