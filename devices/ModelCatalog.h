// labelplu: the equipment-model catalogue of a settings document.
//
// A ModelCatalog reads the "Модель" elements under
// "/Система/КлассыОборудования/КлассОборудования" of a host settings
// document, each with its parameters ("./Параметры/Параметр"). The device
// list builds one with CreateModelCatalog, filtered to this plug-in's own
// library and to models that are not deleted, and looks device parameters
// up in it (FindModelByCode, ParameterList::FindParamItem).
//
// The field setters of CatalogModel compare texts case-insensitively and
// write the owner list's change log (SettingsList.h) under the names
// "ИспользуетX9", "Идентификатор", "ИдентификаторКласса", "Библиотека",
// "Наименование", "ВерсияPLU" and "Релиз"; a model's log key is its code as
// GUID text and its description "library, name".
//
// Ownership and threads: as in SettingsList.h.
#ifndef LABELPLU_DEVICES_MODELCATALOG_H
#define LABELPLU_DEVICES_MODELCATALOG_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "devices/ParameterList.h"
#include "devices/SettingsList.h"
#include "labelplu/oleauto.h"

namespace labelplu {

// One catalogue model.
class CatalogModel : public SettingsItem {
 public:
  // A live model with the null code, empty texts, 0 integers and an empty
  // child parameter list (Params()) whose parent is owner and whose document
  // is owner's document (an empty document without an owner); the child
  // list reports its changes to this item (NotifyChange).
  explicit CatalogModel(SettingsList* owner);

  int32_t UsesHost() const noexcept { return m_usesHost; }
  const std::string& Ident() const noexcept { return m_ident; }
  const std::string& ClassIdent() const noexcept { return m_classIdent; }
  const std::string& Library() const noexcept { return m_library; }
  const std::string& Name() const noexcept { return m_name; }
  const std::string& VersionText() const noexcept { return m_versionText; }
  int32_t ReleaseNumber() const noexcept { return m_releaseNumber; }
  const GUID& Code() const noexcept { return m_code; }
  // The model's parameters (never null for a model).
  ParameterList& ModelParams() const noexcept { return *Params(); }

  // The field setters (SettingsList.h, SettingsItem::SetTextField / SetIntField).
  void SetUsesHost(int32_t value) { SetIntField(m_usesHost, value, "ИспользуетX9"); }
  void SetIdent(std::string_view value) { SetTextField(m_ident, value, false, "Идентификатор"); }
  void SetClassIdent(std::string_view value) {
    SetTextField(m_classIdent, value, false, "ИдентификаторКласса");
  }
  void SetLibrary(std::string_view value) { SetTextField(m_library, value, false, "Библиотека"); }
  void SetName(std::string_view value) { SetTextField(m_name, value, false, "Наименование"); }
  void SetVersionText(std::string_view value) {
    SetTextField(m_versionText, value, false, "ВерсияPLU");
  }
  void SetReleaseNumber(int32_t value) { SetIntField(m_releaseNumber, value, "Релиз"); }
  // Stores the code; a different code marks the model modified (not logged).
  void SetCode(const GUID& value);

  // Empties Params(); unless the model is deleted, appends an item for
  // every "./Параметры/Параметр" element of Node() with ParamName
  // "Идентификатор", ParamDescription "Наименование", ParamType "Тип",
  // ParamDefault "Зна4ениеПоУмол4анию", ParamValue = ParamDefault,
  // ParamHint "Описание", ParamReadOnly "ФлагТолько4тение" (0 when not an
  // integer). Nothing is appended when Node() is the null node.
  virtual void LoadParams();

  // The code as GUID text, and "Library, Name".
  std::string ChangeKey() const override;
  std::string ChangeDescription() const override;

 private:
  int32_t m_usesHost = 0;
  std::string m_ident;
  std::string m_classIdent;
  std::string m_library;
  std::string m_name;
  std::string m_versionText;
  int32_t m_releaseNumber = 0;
  GUID m_code{};
};

// The model catalogue.
class ModelCatalog : public SettingsList {
 public:
  explicit ModelCatalog(xml::XmlNode document = {}) : SettingsList(std::move(document)) {}

  // Appends one model for every element the filter selects, in document
  // order: the elements "Модель" of the path
  // "/Система/КлассыОборудования/КлассОборудования<class>/Модель<main>"
  // (BuildPredicates); when that selects nothing and the filter is empty,
  // every "//Модель". Each model takes Node, Code ("Код"), Ident, Library,
  // Name, ClassIdent (the parent element's "Идентификатор"), UsesHost,
  // Version, State, VersionText ("ВерсияPLU"), ReleaseNumber ("Релиз";
  // integers 0 when absent or not numeric), is marked unmodified and loads
  // its parameters. A model with state 1 and version -1 drops itself and is
  // not kept. FirstItem becomes the first model kept. The filter is cleared
  // at the end.
  // Raises std::runtime_error "Значение не является идентификатором
  // объекта." for a "Код" that is neither empty nor a GUID (the models
  // before that element stay; none is added for it), xml::XmlError when the
  // list has no document, and the vocabulary errors of BuildPredicates.
  void Load() override;

  // Appends a new model and returns it.
  CatalogModel& Add();
  // The model at a 0-based index; std::out_of_range outside the list.
  CatalogModel& Item(int32_t index) const;
  // The last model (searching from the end) with this code that is not
  // deleted, or, while IncludeDeleted, the last one with this code; null
  // when there is none.
  CatalogModel* FindModelByCode(const GUID& code) const;
};

// Builds a catalogue on document: SetFilter with the attribute keys 100,
// 101, 118, 122, 103, 115 and the values code, identifier, library,
// classIdent, name, state ("" or "*" for no condition); Load;
// ResetModified(false); ClearFilter. The document variant and text are
// taken as SettingsList::SetDocument takes them. Raises what SetDocument and
// Load raise; no catalogue is returned then.
std::unique_ptr<ModelCatalog> CreateModelCatalog(const xml::XmlNode& document,
                                                 std::string_view code, std::string_view identifier,
                                                 std::string_view state, std::string_view name,
                                                 std::string_view classIdent,
                                                 std::string_view library);
std::unique_ptr<ModelCatalog> CreateModelCatalog(const VARIANT& document, std::string_view code,
                                                 std::string_view identifier,
                                                 std::string_view state, std::string_view name,
                                                 std::string_view classIdent,
                                                 std::string_view library);
std::unique_ptr<ModelCatalog> CreateModelCatalog(std::string_view documentText,
                                                 std::string_view code, std::string_view identifier,
                                                 std::string_view state, std::string_view name,
                                                 std::string_view classIdent,
                                                 std::string_view library);

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_MODELCATALOG_H
