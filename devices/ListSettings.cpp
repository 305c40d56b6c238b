// The device list's settings documents: the bulk settings, one device's or
// all devices' document, and the dialog colours.
#include <atomic>
#include <mutex>

#include "base/GuidText.h"
#include "base/TextUtils.h"
#include "base/VariantUtils.h"
#include "devices/DeviceList.h"
#include "devices/DialogColours.h"
#include "devices/ModelCatalog.h"
#include "devices/SettingsXml.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {

namespace {

std::mutex g_coloursMutex;
DialogColours g_colours;

// The document object a variant holds, if any.
std::optional<xml::XmlNode> NodeOf(const VARIANT& value) {
  const VARIANT& v = DerefVariant(value);
  IDispatch* object = nullptr;
  ole::ComPtr<IDispatch> holder;
  if (v.vt == VT_DISPATCH) {
    object = v.pdispVal;
  } else if (v.vt == VT_UNKNOWN && v.punkVal) {
    v.punkVal->QueryInterface(IID_IDispatch, holder.PutVoid());
    object = holder.get();
  }
  if (!object) return std::nullopt;
  if (std::optional<xml::XmlNode> own = xml::OwnNodeFromDispatch(object)) return own;
  return xml::DocumentFromDispatch(object);
}

int32_t ColourAttribute(const xml::XmlNode& element, int32_t key) {
  const std::optional<int32_t> value = TryTextToInt(GetAttributeByTag(element, key));
  return value ? *value : -1;
}

}  // namespace

DialogColours CurrentDialogColours() {
  std::lock_guard lock(g_coloursMutex);
  return g_colours;
}

void SetDialogColours(const DialogColours& colours) {
  std::lock_guard lock(g_coloursMutex);
  g_colours = colours;
}

int32_t DeviceList::LoadSettings(const VARIANT& settings) {
  const VARIANT& v = DerefVariant(settings);
  xml::XmlNode root;
  std::string prepared;
  if (v.vt == VT_BSTR) {
    prepared = xml::ReplaceAll(ole::VarToText(v), "\r\n", "", true);
    ConvertNameSpelling(prepared, 0);
    xml::XmlDocument doc = xml::CreateXmlDocument();
    doc.loadXML(prepared);
    root = doc.documentElement();
  } else if (std::optional<xml::XmlNode> node = NodeOf(v)) {
    root = *node;
    SettingsText = root.xml();
  } else {
    return kResultOk;
  }
  if (!root.isNull() && root.nodeType() == xml::NodeType::Element &&
      SameText(root.nodeName(), GetNodeName(2)))
    SettingsText = prepared;
  Catalog.reset();
  if (root.isNull()) return kResultOk;
  const xml::XmlDocument doc = xml::XmlDocument::ofNode(root);
  for (const xml::XmlNode& element : doc.getElementsByTagName(GetNodeName(1))) {
    const GUID code = TextToGuid(GetAttributeByTag(element, 100));
    DeviceItem* device = FindByCode(code);
    if (!device) device = &AppendDevice();
    ole::ComPtr<DeviceItem> keep(device);
    device->LoadFromXmlNode(element);
  }
  return kResultOk;
}

int32_t DeviceList::GetSettingsXml(const VARIANT& key, VARIANT& result) {
  VariantClear(&result);
  const VARIANT& k = DerefVariant(key);
  if (k.vt == VT_BSTR) {
    const std::string text = ole::VarToText(k);
    if (IsGuidText(k)) {
      DeviceItem* device = FindByCode(TextToGuid(text));
      if (!device) return kResultNoDevice;
      result.vt = VT_DISPATCH;
      result.pdispVal = xml::NewNodeDispatch(device->GetSettingsXml()).detach();
      return kResultOk;
    }
  }
  xml::XmlDocument doc = xml::NewXmlDocument("EquList", xml::Utf16Declaration());
  xml::XmlNode root = doc.documentElement();
  for (const auto& item : m_items)
    root.appendChild(item->GetSettingsXml().documentElement().cloneNode(true));
  result.vt = VT_DISPATCH;
  result.pdispVal = xml::NewNodeDispatch(doc).detach();
  return kResultOk;
}

void DeviceList::LoadColours(const VARIANT& settings) {
  const std::optional<xml::XmlNode> node = NodeOf(settings);
  if (!node) return;
  const xml::XmlNode item = node->selectSingleNode("//" + GetNodeName(12));
  if (item.isNull()) return;
  DialogColours colours;
  colours.Form = ColourAttribute(item, 123);
  colours.Body = ColourAttribute(item, 124);
  colours.Button = ColourAttribute(item, 125);
  colours.Edit = ColourAttribute(item, 126);
  colours.Border = ColourAttribute(item, 127);
  colours.Font = ColourAttribute(item, 128);
  SetDialogColours(colours);
}

}  // namespace labelplu
