// The settings document of one device: writing it, loading it (current and
// legacy forms), and the port parameters as named values.
#include <algorithm>

#include "base/GuidText.h"
#include "base/TextUtils.h"
#include "base/VariantUtils.h"
#include "devices/DeviceItem.h"
#include "devices/DeviceList.h"
#include "devices/ModelCatalog.h"
#include "devices/PortParameters.h"
#include "devices/SettingsXml.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {

namespace {

constexpr int32_t kNodeParam = 0;
constexpr int32_t kNodeParams = 10;
constexpr int32_t kAttrCode = 100;
constexpr int32_t kAttrIdent = 101;
constexpr int32_t kAttrValue = 102;
constexpr int32_t kAttrName = 103;
constexpr int32_t kAttrModelCode = 109;

bool IsTableConverted(std::string_view name) {
  for (const char* n : {"ComName", "ComNumber", "Baud", "DataBits", "StopBits", "Parity"})
    if (name == n) return true;
  return false;
}

std::string RemoveLineBreaks(std::string_view text) {
  return xml::ReplaceAll(text, "\r\n", "", true);
}

// Name=value lines from the elements of a selection.
NameValueLines ReadItems(const xml::XmlNodeList& nodes, std::string_view nameAttr,
                         std::string_view valueAttr) {
  NameValueLines lines;
  for (const xml::XmlNode& node : nodes)
    SetNameValue(lines, GetAttributeDef(node, nameAttr), GetAttributeDef(node, valueAttr));
  return lines;
}

bool HasItemsIn(const xml::XmlDocument& doc, std::string_view name) {
  for (const xml::XmlNode& node : doc.getElementsByTagName(name))
    if (node.hasChildNodes()) return true;
  return false;
}

}  // namespace

void DeviceItem::ReadPortParams(const NameValueLines* source) {
  SerialPortSettings& settings = Port->Settings();
  for (const char* name : PortReadOrder()) {
    std::string text = source ? NameValue(*source, name) : GetParam(name);
    if (IsTableConverted(name) && text.empty()) text = GetParam(name);
    if (!text.empty()) StorePortValue(settings, name, text);
  }
}

xml::XmlDocument DeviceItem::GetSettingsXml() {
  xml::XmlDocument doc = xml::NewXmlDocument(GetNodeName(1), xml::Utf16Declaration());
  xml::XmlNode root = doc.documentElement();
  root.setAttribute(GetAttrName(kAttrCode), GuidToText(Code));
  root.setAttribute(GetAttrName(kAttrModelCode), GuidToText(List().ModelCode()));
  root.setAttribute(GetAttrName(kAttrName), Name);
  xml::XmlNode params = CreateElementByTag(doc, kNodeParams);
  NameValueLines lines;
  for (const auto& item : Params) SetNameValue(lines, item->Name, item->ValueText);
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    xml::XmlNode param = CreateElementByTag(doc, kNodeParam);
    param.setAttribute(GetAttrName(kAttrIdent), line.substr(0, eq));
    param.setAttribute(GetAttrName(kAttrValue), eq == std::string::npos ? "" : line.substr(eq + 1));
    params.appendChild(param);
  }
  root.appendChild(params);
  return doc;
}

int32_t DeviceItem::LoadFromXml(const VARIANT& settings) {
  const VARIANT& v = DerefVariant(settings);
  if (v.vt == VT_BSTR) {
    std::string text = RemoveLineBreaks(ole::VarToText(v));
    ConvertNameSpelling(text, 0);
    xml::XmlDocument doc = xml::CreateXmlDocument();
    doc.loadXML(text);
    return LoadFromXmlNode(doc.documentElement());
  }
  if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) {
    IDispatch* object = nullptr;
    ole::ComPtr<IDispatch> holder;
    if (v.vt == VT_DISPATCH) {
      object = v.pdispVal;
    } else if (v.punkVal) {
      v.punkVal->QueryInterface(IID_IDispatch, holder.PutVoid());
      object = holder.get();
    }
    if (!object) return kResultOk;
    if (std::optional<xml::XmlNode> own = xml::OwnNodeFromDispatch(object))
      return LoadFromXmlNode(*own);
    return LoadFromXmlNode(xml::DocumentFromDispatch(object));
  }
  return kResultOk;
}

int32_t DeviceItem::LoadFromXmlNode(xml::XmlNode element) {
  if (element.isNull()) return kResultOk;
  if (element.nodeType() != xml::NodeType::Element || !SameText(element.nodeName(), GetNodeName(1)))
    element = element.selectSingleNode(GetNodeName(28));
  if (element.isNull()) return kResultOk;
  const xml::XmlDocument doc = xml::XmlDocument::ofNode(element);
  if (HasItemsIn(doc, "ComPort") || HasItemsIn(doc, "Дополнительно"))
    LoadLegacyFormat(element);
  else
    LoadCurrentFormat(element);
  return AfterLoadSettings();
}

void DeviceItem::LoadCurrentFormat(const xml::XmlNode& element) {
  // What the document does not name stays as it is.
  Code = TextToGuid(GetAttributeByTag(element, kAttrCode, GuidToText(Code)));
  Name = GetAttributeByTag(element, kAttrName, Name);
  const GUID modelCode = TextToGuid(GetAttributeByTag(element, kAttrModelCode));
  const NameValueLines lines =
      ReadItems(SelectNodesByTag(element, 15), GetAttrName(kAttrIdent), GetAttrName(kAttrValue));
  ReadPortParams(&lines);
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    SetParamValue(
        Params, std::string_view(line).substr(0, eq),
        eq == std::string::npos ? std::string_view() : std::string_view(line).substr(eq + 1));
  }
  ApplyCatalogue(modelCode);
}

void DeviceItem::LoadLegacyFormat(const xml::XmlNode& element) {
  Code = TextToGuid(GetAttributeByTag(element, kAttrCode, GuidToText(Code)));
  Name = GetAttributeDef(element, "Описание", Name);
  // Read and ignored, as the legacy form carries them.
  (void)GetAttributeDef(element, "ИдентификаторКласса");
  (void)GetAttributeDef(element, "ТочкаСобытий");
  const xml::XmlDocument doc = xml::XmlDocument::ofNode(element);
  const std::string value = GetAttrName(kAttrValue);
  const NameValueLines port = ReadItems(doc.selectNodes("//Параметры/ComPort/Item"), "Имя", value);
  ReadPortParams(&port);
  const NameValueLines extra =
      ReadItems(doc.selectNodes("//Параметры/Дополнительно/Item"), "Имя", value);
  // Port values among them are checked as the current form reads them:
  // kept unchecked, they would be written into a document that cannot be
  // loaded again.
  SerialPortSettings check = Port->Settings();
  for (const char* name : PortReadOrder()) {
    const std::string text = NameValue(extra, name);
    if (!text.empty()) StorePortValue(check, name, text);
  }
  for (const std::string& line : extra) {
    const size_t eq = line.find('=');
    SetParamValue(
        Params, std::string_view(line).substr(0, eq),
        eq == std::string::npos ? std::string_view() : std::string_view(line).substr(eq + 1));
  }
}

}  // namespace labelplu

namespace labelplu {

void DeviceItem::ApplyCatalogue(const GUID& modelCode) {
  const ModelCatalog* catalogue = List().Catalog.get();
  if (!catalogue) return;
  const CatalogModel* model = catalogue->FindModelByCode(modelCode);
  if (!model) return;
  // Parameters the document named without describing them take their
  // description from the catalogue.
  for (const auto& item : Params) {
    if (!item->TypeName.empty()) continue;
    const ParameterItem* described = model->ModelParams().FindParamItem(item->Name);
    if (!described) continue;
    item->Caption = described->ParamDescription();
    item->TypeName = described->ParamType();
    item->ReadOnly = described->ParamReadOnly() != 0 ? 1 : 0;
    item->DefaultText = described->ParamDefault();
    item->Hint = LimitHint(described->ParamHint());
  }
}

}  // namespace labelplu
