#include "devices/PluginModelList.h"

#include <stdexcept>

#include "base/Errors.h"
#include "base/GuidText.h"
#include "base/VariantUtils.h"
#include "devices/SettingsXml.h"
#include "platform/ole/Variant.h"
#include "platform/sys/ModulePath.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {
namespace {

xml::XmlDocument SettingsDocument(const VARIANT& settings) {
  const VARIANT& value = DerefVariant(settings);
  const VARTYPE type = ole::WithoutByRef(value.vt);
  if (type == VT_BSTR) {
    std::string text = ole::VarToText(value);
    ConvertNameSpelling(text, 0);
    xml::XmlDocument doc = xml::CreateXmlDocument();
    doc.setAsync(false);
    doc.loadXML(text);
    return doc;
  }
  if (type == VT_DISPATCH) {
    IDispatch* object = !(value.vt & VT_BYREF) ? value.pdispVal
                        : value.ppdispVal      ? *value.ppdispVal
                                               : nullptr;
    return xml::DocumentFromDispatch(object);
  }
  throw ole::VariantError("Invalid variant operation");
}

}  // namespace

PluginModelList::PluginModelList(IModelOwner* owner, std::string moduleFileName)
    : m_owner(owner), m_moduleFileName(std::move(moduleFileName)) {
  if (m_moduleFileName.empty()) m_moduleFileName = sys::ExtractFileName(sys::ModulePath(false));
  Append();
  SelectModel(0);
}

PluginModelList::~PluginModelList() {
  for (const auto& model : m_items) model->DetachFromList();
}

PluginModel& PluginModelList::Append() {
  return *m_items.emplace_back(ole::MakeCom<PluginModel>(this));
}

PluginModel* PluginModelList::GetModel(int32_t index) const {
  if (index < 0 || index >= Count())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return m_items[static_cast<size_t>(index)].get();
}

int32_t PluginModelList::IndexOf(const PluginModel* model) const {
  for (size_t i = 0; i < m_items.size(); ++i) {
    if (m_items[i].get() == model) return static_cast<int32_t>(i);
  }
  return -1;
}

ParameterDescriptorList& PluginModelList::CurrentParams() const {
  return GetModel(m_currentIndex)->Params;
}

PluginModel* PluginModelList::FindModel(const GUID& code) const {
  for (const auto& model : m_items) {
    if (IsEqualGUID(&model->Code, &code) || IsNullGuid(model->Code)) return model.get();
  }
  return nullptr;
}

void PluginModelList::SelectModel(int32_t index) {
  if (index < 0 || index >= Count()) RaiseMessage("Недопустимый индекс модели");
  m_currentIndex = index;
  m_currentModel = m_items[static_cast<size_t>(index)].get();
}

PluginModel& PluginModelList::RegisterModel(const GUID& code, std::string_view name,
                                            const ModelInfo* info, std::string_view equipmentClass,
                                            std::string_view deviceKind, std::string_view ident,
                                            std::string_view prefix, int32_t usesHost,
                                            int32_t version4, int32_t version3, int32_t version2,
                                            int32_t version1) {
  PluginModel* model = FindModel(code);
  if (!model) model = &Append();
  model->Code = code;
  model->Name = name;
  model->Version1 = version1;
  model->Version2 = version2;
  model->Version3 = version3;
  model->Version4 = version4;
  model->UsesHost = usesHost;
  model->NamePrefix = prefix.empty() ? std::string(name) + " №" : std::string(prefix);
  model->Ident = ident;
  model->DeviceKind = deviceKind;
  model->EquipmentClass = equipmentClass;
  if (info && m_owner) m_owner->AssignModelInfo(*info);
  SelectModel(IndexOf(model));
  return *model;
}

bool PluginModelList::RegisterDerivedModel(const GUID& code, std::string_view name,
                                           std::string_view ident, std::string_view prefix,
                                           int32_t usesHost) {
  if (m_items.empty()) RaiseMessage("Не зарегистрирована базовая модель");
  PluginModel* model = FindModel(code);
  if (!model) model = &Append();
  const int32_t index = IndexOf(model);
  const bool derived = index > 0;
  if (derived) {
    const PluginModel& base = *m_items.front();
    model->Code = code;
    model->Name = name;
    model->Version1 = base.Version1;
    model->Version2 = base.Version2;
    model->Version3 = base.Version3;
    model->Version4 = base.Version4;
    model->UsesHost = usesHost;
    model->NamePrefix = prefix;
    model->Ident = ident;
    model->DeviceKind = base.DeviceKind;
    model->EquipmentClass = base.EquipmentClass;
  }
  SelectModel(index);
  return derived;
}

void PluginModelList::LoadModels(const VARIANT& settings) {
  if (DerefVariant(settings).vt == VT_EMPTY) return;
  const xml::XmlDocument doc = SettingsDocument(settings);
  const std::string predicate =
      "[@" + GetAttrName(AttrKey::Library) + "=\"" + m_moduleFileName + "\"]";
  for (const xml::XmlNode& element : SelectNodesByTag(doc, NodeKey::AnyModel, predicate)) {
    const GUID code = TextToGuid(GetAttributeByTag(element, AttrKey::Code));
    // A model without a code would match every later lookup (FindModel
    // treats the null code as "not registered yet") and be overwritten.
    if (IsNullGuid(code)) continue;
    const std::string ident = GetAttributeByTag(element, AttrKey::Identifier);
    const int32_t usesHost =
        TryTextToInt(GetAttributeByTag(element, AttrKey::UsesHost)).value_or(0);
    if (!RegisterDerivedModel(code, GetAttributeByTag(element, AttrKey::Name), ident, ident + " №",
                              usesHost))
      continue;
    ParameterDescriptorList& params = CurrentParams();
    for (const xml::XmlNode& node : SelectNodesByTag(element, NodeKey::ChildParams)) {
      const std::string id = GetAttributeByTag(node, AttrKey::Identifier);
      ParameterDescriptor* item = FindParam(params, id);
      if (!item) item = &params.Add();
      item->Name = id;
      item->Caption = GetAttributeByTag(node, AttrKey::Name);
      item->TypeName = GetAttributeByTag(node, AttrKey::Type);
      item->ReadOnly = GetAttributeByTag(node, AttrKey::ReadOnly) == "1" ? 1 : 0;
      item->DefaultText = GetAttributeByTag(node, AttrKey::DefaultValue);
      item->Hint = LimitHint(GetAttributeByTag(node, AttrKey::Description));
      item->ValueText = item->DefaultText;
    }
  }
}

}  // namespace labelplu
