#include "devices/ModelCatalog.h"

#include <cstring>

#include "base/GuidText.h"
#include "devices/ParameterDescriptor.h"
#include "devices/SettingsXml.h"
#include "devices/TagTables.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {

namespace {

bool SameGuid(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

int32_t IntAttribute(const xml::XmlNode& node, int32_t attrKey) {
  return TryTextToInt(GetAttributeByTag(node, attrKey)).value_or(0);
}

xml::XmlNode EmptyDocument() {
  xml::XmlDocument doc = xml::CreateXmlDocument();
  doc.setAsync(false);
  return doc;
}

}  // namespace

// ---- CatalogModel ----

CatalogModel::CatalogModel(SettingsList* owner) : SettingsItem(owner) {
  auto params = std::make_unique<ParameterList>(
      owner, owner != nullptr ? owner->Document() : EmptyDocument());
  params->SetOnChange([this](SettingsList&) { NotifyChange(); });
  params->SetOwnerItem(this);
  SetParamsList(std::move(params));
}

void CatalogModel::SetCode(const GUID& value) {
  const bool changed = !SameGuid(m_code, value);
  m_code = value;
  SetModified(IsModified() || changed);
}

void CatalogModel::LoadParams() {
  ParameterList& params = ModelParams();
  params.Clear();
  if (State() == kStateDeleted || Node().isNull()) return;
  for (const xml::XmlNode& node : SelectNodesByTag(Node(), NodeKey::ChildParams)) {
    ParameterItem& item = params.Add();
    item.SetNode(node);
    item.SetParamName(GetAttributeByTag(node, AttrKey::Identifier));
    item.SetParamDescription(GetAttributeByTag(node, AttrKey::Name));
    item.SetParamType(GetAttributeByTag(node, AttrKey::Type));
    item.SetParamDefault(GetAttributeByTag(node, AttrKey::DefaultValue));
    item.SetParamValue(item.ParamDefault());
    item.SetParamHint(GetAttributeByTag(node, AttrKey::Description));
    item.SetParamReadOnly(IntAttribute(node, AttrKey::ReadOnly));
  }
}

std::string CatalogModel::ChangeKey() const {
  return GuidToText(m_code);
}

std::string CatalogModel::ChangeDescription() const {
  return m_library + ", " + m_name;
}

// ---- ModelCatalog ----

void ModelCatalog::Load() {
  const FilterPredicates predicates = BuildPredicates();
  const xml::XmlNode& document = RequireDocument();
  xml::XmlNodeList nodes =
      SelectNodesByTag(document, NodeKey::ClassModelsFormat, predicates.Main, predicates.Class);
  if (nodes.length() == 0 && predicates.Main.empty() && predicates.Class.empty()) {
    nodes = SelectNodesByTag(document, NodeKey::AnyModel);
  }
  SetFirstItem(nullptr);
  for (const xml::XmlNode& node : nodes) {
    // The code first: an element with a bad code leaves no half-read model.
    const GUID code = TextToGuid(GetAttributeByTag(node, AttrKey::Code));
    CatalogModel& model = Add();
    model.SetNode(node);
    model.SetCode(code);
    model.SetIdent(GetAttributeByTag(node, AttrKey::Identifier));
    model.SetLibrary(GetAttributeByTag(node, AttrKey::Library));
    model.SetName(GetAttributeByTag(node, AttrKey::Name));
    const xml::XmlNode parent = node.parentNode();
    model.SetClassIdent(!parent.isNull() && parent.nodeType() == xml::NodeType::Element
                            ? GetAttributeByTag(parent, AttrKey::Identifier)
                            : std::string());
    model.SetUsesHost(IntAttribute(node, AttrKey::UsesHost));
    model.SetVersion(IntAttribute(node, AttrKey::Version));
    if (!model.SetState(IntAttribute(node, AttrKey::State))) continue;  // dropped and destroyed
    model.SetVersionText(GetAttributeByTag(node, AttrKey::PluVersion));
    model.SetReleaseNumber(IntAttribute(node, AttrKey::Release));
    model.SetModified(false);
    model.LoadParams();
    if (FirstItem() == nullptr) SetFirstItem(&model);
  }
  ClearFilter();
}

CatalogModel& ModelCatalog::Add() {
  return static_cast<CatalogModel&>(AppendItem(std::make_unique<CatalogModel>(this)));
}

CatalogModel& ModelCatalog::Item(int32_t index) const {
  return static_cast<CatalogModel&>(GetItem(index));
}

CatalogModel* ModelCatalog::FindModelByCode(const GUID& code) const {
  for (int32_t i = Count() - 1; i >= 0; --i) {
    CatalogModel& model = Item(i);
    if (SameGuid(model.Code(), code) && (model.State() != kStateDeleted || IncludeDeleted)) {
      return &model;
    }
  }
  return nullptr;
}

// ---- CreateModelCatalog ----

namespace {

template <class Document>
std::unique_ptr<ModelCatalog> BuildCatalog(const Document& document, std::string_view code,
                                           std::string_view identifier, std::string_view state,
                                           std::string_view name, std::string_view classIdent,
                                           std::string_view library) {
  auto list = std::make_unique<ModelCatalog>();
  list->SetDocument(document);
  list->SetFilter(
      {AttrKey::Code, AttrKey::Identifier, AttrKey::Library, 122, AttrKey::Name, AttrKey::State},
      {std::string(code), std::string(identifier), std::string(library), std::string(classIdent),
       std::string(name), std::string(state)});
  list->Load();
  list->ResetModified(false);
  list->ClearFilter();
  return list;
}

}  // namespace

std::unique_ptr<ModelCatalog> CreateModelCatalog(const xml::XmlNode& document,
                                                 std::string_view code, std::string_view identifier,
                                                 std::string_view state, std::string_view name,
                                                 std::string_view classIdent,
                                                 std::string_view library) {
  return BuildCatalog(document, code, identifier, state, name, classIdent, library);
}

std::unique_ptr<ModelCatalog> CreateModelCatalog(const VARIANT& document, std::string_view code,
                                                 std::string_view identifier,
                                                 std::string_view state, std::string_view name,
                                                 std::string_view classIdent,
                                                 std::string_view library) {
  return BuildCatalog(document, code, identifier, state, name, classIdent, library);
}

std::unique_ptr<ModelCatalog> CreateModelCatalog(std::string_view documentText,
                                                 std::string_view code, std::string_view identifier,
                                                 std::string_view state, std::string_view name,
                                                 std::string_view classIdent,
                                                 std::string_view library) {
  return BuildCatalog(documentText, code, identifier, state, name, classIdent, library);
}

}  // namespace labelplu
