// labelplu: the model list of a device list (PluginModelList).
//
// The first model is the base model the concrete driver registers at
// start-up (RegisterModel); settings documents may add models derived from
// it (LoadModels). The current model decides which parameters a new device
// gets, the prefix of default device names and the model code written into
// device settings. Models are never removed.
//
// Errors: EProtectException 20000 "Недопустимый индекс модели" for a bad
// SelectModel index, "Не зарегистрирована базовая модель" for a derived
// model without a base; DOM and GUID text failures pass through.
//
// Threads: the thread of the device list; nothing here locks.
#ifndef LABELPLU_DEVICES_PLUGINMODELLIST_H
#define LABELPLU_DEVICES_PLUGINMODELLIST_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/ParameterDescriptor.h"
#include "devices/PluginModel.h"
#include "labelplu/oleauto.h"
#include "platform/ole/ComPtr.h"

namespace labelplu {

class PluginModelList {
 public:
  // One unregistered base model (null code, empty texts, zeros, no
  // parameters), selected. owner may be null (a list without devices: the
  // models' device methods then fail). moduleFileName is the file name,
  // without directory, that "Библиотека" must name in LoadModels; empty
  // takes the name of the module this code runs in (labelplu.plu in the
  // plug-in).
  explicit PluginModelList(IModelOwner* owner, std::string moduleFileName = {});
  // Drops the list's reference to every model; a model the host still holds
  // stays alive, detached from this list.
  ~PluginModelList();
  PluginModelList(const PluginModelList&) = delete;
  PluginModelList& operator=(const PluginModelList&) = delete;

  IModelOwner* Owner() const { return m_owner; }
  // Position of the current model; never -1 after construction.
  int32_t CurrentIndex() const { return m_currentIndex; }
  PluginModel* CurrentModel() const { return m_currentModel; }
  const std::string& ModuleFileName() const { return m_moduleFileName; }

  int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
  // The model at a 0-based index (the list keeps its reference); raises
  // std::out_of_range "List index out of bounds (<index>)" outside the list.
  PluginModel* GetModel(int32_t index) const;
  // Position of model in the list, -1 when it is not one of this list's.
  int32_t IndexOf(const PluginModel* model) const;
  // Params of the current model.
  ParameterDescriptorList& CurrentParams() const;

  // The first model whose Code equals code or is the null GUID (an
  // unregistered model); null when none.
  PluginModel* FindModel(const GUID& code) const;
  // Makes the model at index current; raises EProtectException 20000
  // "Недопустимый индекс модели" unless 0 <= index < Count().
  void SelectModel(int32_t index);

  // Registers (or updates) the model of code: FindModel, or a new model
  // appended; sets code, name, the four version numbers and usesHost;
  // NamePrefix = prefix, or name + " №" when prefix is empty; Ident,
  // DeviceKind, EquipmentClass. With info, the owner takes it
  // (IModelOwner::AssignModelInfo). Selects the model and returns it. The
  // first registration fills the unregistered base model. The argument
  // order, versions last and reversed, is that of the driver family.
  PluginModel& RegisterModel(const GUID& code, std::string_view name, const ModelInfo* info,
                             std::string_view equipmentClass, std::string_view deviceKind,
                             std::string_view ident, std::string_view prefix, int32_t usesHost,
                             int32_t version4, int32_t version3, int32_t version2,
                             int32_t version1);

  // The model of code (FindModel, or a new one appended) becomes a model
  // derived from the base model: unless it is the base model itself, it
  // takes code, name, the base model's versions, usesHost, prefix, ident and
  // the base model's DeviceKind and EquipmentClass, and the result is true;
  // the base model is left unchanged (false). Either way the model is
  // selected. Raises EProtectException 20000 "Не зарегистрирована базовая
  // модель" when the list is empty.
  bool RegisterDerivedModel(const GUID& code, std::string_view name, std::string_view ident,
                            std::string_view prefix, int32_t usesHost);

  // Registers the models a settings document describes for this module:
  // settings is empty (nothing happens), a text (loaded after the ordinary
  // spelling of attribute names was turned into the digit spelling) or a
  // document object. Every element "//Модель[@Библиотека="<module file
  // name>"]" in document order, whose "Код" is not empty, becomes a derived
  // model (RegisterDerivedModel with "Наименование", "Идентификатор", the
  // prefix "Идентификатор" + " №" and "ИспользуетX9" as an integer, 0 when
  // it is none); a model that was registered that way gets the parameters
  // of the element's "./Параметры/Параметр" children ("Идентификатор",
  // "Наименование", "Тип", "ФлагТолько4тение" = "1", "Зна4ениеПоУмол4анию",
  // "Описание" cut to 255 characters; the value is the default). The
  // model selected last stays current. An invalid "Код" raises the GUID
  // text error and stops; models registered before it stay. Any other
  // variant raises ole::VariantError "Invalid variant operation";
  // malformed text raises xml::XmlParseError.
  void LoadModels(const VARIANT& settings);

 private:
  PluginModel& Append();

  IModelOwner* m_owner;
  std::string m_moduleFileName;
  std::vector<ole::ComPtr<PluginModel>> m_items;
  int32_t m_currentIndex = -1;
  PluginModel* m_currentModel = nullptr;
};

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_PLUGINMODELLIST_H
