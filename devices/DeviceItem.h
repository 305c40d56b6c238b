// One configured device instance: its code, name, parameters, port
// settings, switched-on state and last result.
#ifndef LABELPLU_DEVICES_DEVICEITEM_H
#define LABELPLU_DEVICES_DEVICEITEM_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/DriverResult.h"
#include "devices/ParameterDescriptor.h"
#include "labelplu/devices.h"
#include "labelplu/plugin.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/ContractInterfaces.h"
#include "platform/xml/XmlDom.h"
#include "ports/PortManager.h"

namespace labelplu {

class DeviceList;

// Name=value lines, as the settings documents exchange them.
using NameValueLines = std::vector<std::string>;

class DeviceItem : public ole::ComObject<IDeviceItem> {
 public:
  // A device of list; Initialize completes it once it is in the list.
  explicit DeviceItem(DeviceList& list);
  ~DeviceItem() override;

  // Creates the port manager, names the device, gives it a new code and
  // copies the current model's parameters.
  void Initialize();

  // ---- Operations descendants may replace ----
  virtual int32_t AfterLoadSettings() { return kResultOk; }
  // The settings dialog: kResultOk confirmed, kResultCancelled cancelled.
  virtual int32_t ShowSettings();
  virtual void BeforeShowSettings() {}
  virtual bool IsOn() const;
  // 1 switches on, any other value off.
  virtual void SetOn(int32_t value);
  virtual bool Connect() { return true; }
  virtual bool Disconnect() { return true; }
  virtual int32_t LoadPortSettings();
  // kResultOk when switched on, else kResultNoDevice; stored as the result.
  virtual int32_t CheckOn();
  // The value of the parameter named name (or by its second name), line
  // breaks decoded; empty when there is none.
  virtual std::string GetParam(std::string_view name) const;
  // Stores value (line breaks encoded); a new parameter when there is none.
  virtual void SetParam(std::string_view name, std::string_view value);
  virtual std::string GetErrorText(int32_t code) const;

  // Typed access by parameter name. Integer and floating conversions raise
  // on texts that are not numbers; an empty text reads as 0.
  int32_t GetIntParam(std::string_view name) const;
  double GetFloatParam(std::string_view name) const;
  void SetFloatParam(std::string_view name, double value);
  void SetIntParam(std::string_view name, int32_t value);
  double GetFloatByName(std::string_view name) const { return GetFloatParam(name); }
  int32_t GetIntByName(std::string_view name) const { return GetIntParam(name); }

  void SetResult(int32_t code) { ResultCode = code; }
  void SetIsOn(bool flag) { Port->SetOn(flag); }

  // Runs proc(arg) through the host's service interface when there is one,
  // else directly.
  void CallThroughHost(void (*proc)(void* data, intptr_t arg), void* data, intptr_t arg);

  // The host task of the call in progress (null when none).
  void SetOwner(HostTask* task) { Owner = task; }
  // Calls the task's keep-alive at most once a second; never raises.
  void KeepAlive();

  // Port settings from name=value lines, or from the parameters when source
  // is null. The settings documents of this driver's devices carry no port
  // settings back.
  void ReadPortParams(const NameValueLines* source);

  // The device's settings document.
  xml::XmlDocument GetSettingsXml();
  // Loads the device from a settings document (text or document object).
  int32_t LoadFromXml(const VARIANT& settings);
  int32_t LoadFromXmlNode(xml::XmlNode node);

  // Takes the device out of its list (the list's reference goes with it).
  void Remove();
  // The owning list; null once the device was taken out of it.
  DeviceList* ListOf() const { return m_list; }

  // ---- IDeviceItem ----
  HRESULT GetIsOn(VARIANT_BOOL* out) override;
  HRESULT ShowSettings(int32_t* out) override;
  HRESULT GetSettingsXml(VARIANT* out) override;
  HRESULT Remove(int32_t* out) override;

  uint32_t LastTick = 0;
  HostTask* Owner = nullptr;
  int32_t ResultCode = kResultOk;
  std::unique_ptr<PortManager> Port;
  ParameterDescriptorList Params;
  GUID Code{};
  std::string Name;
  uint32_t ThreadId = 0;
  // The host's service interface, taken from the list at creation.
  ole::ComPtr<IHostEventSink> HostLink;

 protected:
  DeviceList& List() const;

 private:
  void LoadCurrentFormat(const xml::XmlNode& element);
  void LoadLegacyFormat(const xml::XmlNode& element);
  void ApplyCatalogue(const GUID& modelCode);

  DeviceList* m_list;
  bool m_removing = false;
};

// Sets the line of name (case ignored) to name=value, or appends it.
void SetNameValue(NameValueLines& lines, std::string_view name, std::string_view value);
// The value of the line of name (case ignored); empty when there is none.
std::string NameValue(const NameValueLines& lines, std::string_view name);

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_DEVICEITEM_H
