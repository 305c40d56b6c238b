// The list of configured device instances the driver object owns, with the
// plug-in's models.
#ifndef LABELPLU_DEVICES_DEVICELIST_H
#define LABELPLU_DEVICES_DEVICELIST_H

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "devices/DeviceItem.h"
#include "devices/ParameterRecord.h"
#include "devices/PluginModel.h"
#include "devices/PluginModelList.h"
#include "labelplu/oleauto.h"
#include "labelplu/plugin.h"
#include "platform/ole/ComPtr.h"

namespace labelplu {

class ModelCatalog;

class DeviceList : public IModelOwner {
 public:
  // moduleFileName: the file name (no directory) settings documents name as
  // this plug-in's library; empty: the module this code runs in.
  explicit DeviceList(std::string moduleFileName = {});
  virtual ~DeviceList();
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;

  int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
  // 0-based access; null outside the list.
  DeviceItem* GetDevice(int32_t index) const;
  // The device whose 1-based number is Current, or null.
  DeviceItem* CurrentDevice() const;
  int32_t IndexOf(const DeviceItem* device) const;

  // Stores the 1-based current number without any check.
  virtual void SetCurrent(int32_t number) { Current = number; }
  // The description of a result code: "Ошибка. Код №" and the code.
  virtual std::string GetErrorText(int32_t code) const { return BaseErrorText(code); }
  static std::string BaseErrorText(int32_t code);
  // Registers (or updates) the current model's parameters from records.
  void RegisterParams(std::span<const ParameterRecord> records);
  // Selects a device by 1-based number (an integral double counts) or by
  // name (case ignored); kResultOk when selected, else kResultNoDevice.
  virtual int32_t SelectDevice(const VARIANT& key);

  // ---- Devices ----
  // Appends a new device of the list's item class and initialises it.
  DeviceItem& AppendDevice();
  DeviceItem& InsertNewDevice(int32_t index);
  // Adds a device from settings (a document text or object); with setup the
  // user confirms its settings. On kResultOk, settings receives the new
  // device's document (its text when settings held a text). A cancelled or
  // failed setup removes the device again.
  int32_t AddDevice(VARIANT& settings, bool withSetup);
  ole::ComPtr<IUnknown> InsertDevice(const VARIANT& settings) override;
  ole::ComPtr<IUnknown> FindOrAddDevice(const VARIANT& settings) override;
  ole::ComPtr<IUnknown> FindDeviceInterface(const VARIANT& settings) override;
  int32_t DeleteByCode(const GUID& code) override;
  // The device's settings dialog: its answer, or kResultUnknownDeviceCode
  // when no device has the code.
  int32_t SetupDevice(const GUID& code);
  DeviceItem* FindByCode(const GUID& code) const;
  // The first free name "<prefix><n>", n from 1 to 10000, among the devices
  // whose name differs from exclude; name is unchanged when all are taken.
  void MakeDeviceName(const std::string& exclude, std::string& name) const;
  // Deletes the device at a 0-based index (nothing outside the list).
  void Delete(int32_t index);
  void ClearDevices();
  void SwitchAllOff();
  // Removes the devices a call created on another thread than the list's.
  void ReleaseCallDevices();
  // Takes device out of the list, dropping the list's reference.
  void Extract(DeviceItem* device);

  // ---- Settings documents ----
  int32_t LoadSettings(const VARIANT& settings);
  int32_t GetSettingsXml(const VARIANT& key, VARIANT& result);
  void LoadColours(const VARIANT& settings);
  void LoadModels(const VARIANT& settings);
  void LoadModelCatalog(const VARIANT& settings);

  // ---- The current model ----
  GUID ModelCode() const;
  std::string NamePrefix() const;
  const ParameterDescriptorList& ModelParams() const;
  PluginModelList& Models() const { return *m_models; }

  std::string CurrentName() const;
  void SetCurrentName(const std::string& name);

  // The name the driver object builds its instance lock from: the one of
  // the last model information assigned; empty here.
  const std::string& InstanceKey() const { return m_instanceKey; }
  const std::string& ModuleFileName() const { return m_moduleFileName; }

  // Where the driver object's interface comes from (set by the driver).
  void SetDriverInterfaceSource(std::function<ole::ComPtr<IUnknown>()> source) {
    m_driverSource = std::move(source);
  }

  // ---- IModelOwner ----
  ole::ComPtr<IUnknown> GetDriverInterface() override;
  void SetSettingsText(const std::string& text) override { SettingsText = text; }
  void AssignModelInfo(const ModelInfo& info) override;

  int32_t Current = 0;
  int32_t PropertyPageEnabled = 0;
  std::unique_ptr<ModelCatalog> Catalog;
  std::string SettingsText;
  uint32_t ThreadId = 0;
  // The host's service interface, set by the driver object.
  ole::ComPtr<IHostEventSink> HostLink;

 protected:
  // A new, not yet initialised device of the list's item class.
  virtual ole::ComPtr<DeviceItem> CreateItem();
  // Hook called when the list became empty after ReleaseCallDevices or
  // ClearDevices.
  virtual void AllRemoved() {}

 private:
  // The device a document names by its "Код" (document objects only); a
  // device of another thread is taken out of the list and not found.
  DeviceItem* FindDocumentDevice(const VARIANT& settings);

  std::vector<ole::ComPtr<DeviceItem>> m_items;
  std::unique_ptr<PluginModelList> m_models;
  std::string m_moduleFileName;
  std::string m_instanceKey;
  std::function<ole::ComPtr<IUnknown>()> m_driverSource;
};

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_DEVICELIST_H
