// labelplu: one plug-in model (PluginModel), the COM object a host reaches
// through IDriverObject::GetModel, and the small interface through which a
// model calls the device list that owns its model list (IModelOwner).
//
// A model answers IID_IModelPlu and IID_IModelPlu2 with one slot table
// (include/labelplu/devices.h). It starts with one reference, held by its
// model list; references handed to the host keep it alive after the list is
// gone, but its device methods then fail with an error (never a crash).
//
// Threads: the thread of the device list; nothing here locks except the
// reference count, which is atomic.
#ifndef LABELPLU_DEVICES_PLUGINMODEL_H
#define LABELPLU_DEVICES_PLUGINMODEL_H

#include <cstdint>
#include <string>

#include "devices/ParameterDescriptor.h"
#include "labelplu/devices.h"
#include "labelplu/oleauto.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/ContractInterfaces.h"
#include "platform/xml/XmlDom.h"

namespace labelplu {

class PluginModelList;

// The plug-in information a model registration may hand to the device list
// (RegisterModel's information record): the fields from Name to Comment of
// the list's information, without its kind and maker fields.
struct ModelInfo {
  std::string Name;
  std::string Description;
  std::string ModelName;
  int32_t VersionMajor = 0;
  int32_t VersionMinor = 0;
  int32_t VersionBuild = 0;
  std::string InstanceKey;
  uint16_t InfoFlags = 0;
  std::string Comment;
};

// What a model list needs from the device list that owns it. The device
// list implements it; every method may raise (the model's interface slots
// turn failures into HRESULTs). Device results are interface references the
// caller owns (null when there is none).
class IModelOwner {
 public:
  // The driver object's interface, from the plug-in control interface.
  virtual ole::ComPtr<IUnknown> GetDriverInterface() = 0;
  // The device of the settings document's code; a new device loaded from
  // the document when there is none.
  virtual ole::ComPtr<IUnknown> FindOrAddDevice(const VARIANT& settings) = 0;
  // Removes the device with that code: 0, or -1 when there is none.
  virtual int32_t DeleteByCode(const GUID& code) = 0;
  // Keeps the text of the last whole settings document.
  virtual void SetSettingsText(const std::string& text) = 0;
  // The device of the settings document's code, or null.
  virtual ole::ComPtr<IUnknown> FindDeviceInterface(const VARIANT& settings) = 0;
  // A new device from the settings document, inserted as number 1.
  virtual ole::ComPtr<IUnknown> InsertDevice(const VARIANT& settings) = 0;
  // Copies info into the list's own plug-in information (its kind and maker
  // fields stay).
  virtual void AssignModelInfo(const ModelInfo& info) = 0;

 protected:
  ~IModelOwner() = default;
};

// One model. The fields are public data as the registrations write them.
class PluginModel final : public ole::ComObject<IModelPlu2> {
 public:
  // A new model of list (null: a model outside any list). Every text empty,
  // every number 0, the null code (not registered), no parameters.
  explicit PluginModel(PluginModelList* list);

  GUID Code{};  // the null GUID until registered
  std::string Name;
  int32_t Version1 = 0;  // the plug-in's four version numbers
  int32_t Version2 = 0;
  int32_t Version3 = 0;
  int32_t Version4 = 0;
  int32_t UsesHost = 0;    // works with the host platform
  std::string NamePrefix;  // prefix of default device names
  std::string Ident;
  std::string DeviceKind;
  std::string EquipmentClass;
  ParameterDescriptorList Params;  // registered parameters, defaults as values

  // The model list, or null once the list is gone.
  PluginModelList* List() const { return m_list; }
  // Called by the list when it is destroyed.
  void DetachFromList() { m_list = nullptr; }

  // The parameter description document as text: a "Параметры" root with
  // one "Параметр" per descriptor (attributes "Идентификатор",
  // "Наименование", "Тип" (DisplayType), "ФлагТолько4тение" (0/1),
  // "Зна4ениеПоУмол4анию", "Описание" (hint, line breaks as "\n")).
  std::string ParamsXmlText() const;
  // The model description document: declaration Utf16Declaration, a
  // "Модель" root (no attributes) holding "Параметры" with one "Параметр"
  // per descriptor (the attributes of ParamsXmlText, ReadOnly as a Boolean).
  xml::XmlDocument ModelXmlDocument() const;

  // ---- IModelPlu ----
  HRESULT GetCode(GUID* out) override;
  HRESULT GetIdent(BSTR* out) override;
  HRESULT GetName(BSTR* out) override;
  HRESULT GetDeviceKind(BSTR* out) override;
  HRESULT GetEquipmentClass(BSTR* out) override;
  HRESULT GetVersion1(int32_t* out) override;
  HRESULT GetVersion2(int32_t* out) override;
  HRESULT GetVersion3(int32_t* out) override;
  HRESULT GetVersion4(int32_t* out) override;
  HRESULT GetUsesHost(int32_t* out) override;
  HRESULT GetParamsXml(BSTR* out) override;
  HRESULT GetReservedValue(int32_t* out) override;
  HRESULT GetReservedObject(int32_t index, IUnknown** out) override;
  HRESULT ReservedCall1() override;
  HRESULT ReservedCall2() override;
  HRESULT GetDriver(IUnknown** out) override;
  HRESULT GetModelXml(VARIANT* out) override;
  HRESULT FindOrAddDevice(const VARIANT* settings, IUnknown** out) override;
  HRESULT DeleteDevice(uint32_t d0, uint32_t d1, uint32_t d2, uint32_t d3, int32_t* out) override;
  HRESULT SetSettingsText(const VARIANT* settings, int32_t* out) override;
  HRESULT FindDevice(const VARIANT* settings, IUnknown** out) override;
  HRESULT InsertDevice(const VARIANT* settings, IUnknown** out) override;

 private:
  ~PluginModel() override = default;
  // The owning device list; raises when the model has none.
  IModelOwner& Owner() const;

  PluginModelList* m_list;
};

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_PLUGINMODEL_H
