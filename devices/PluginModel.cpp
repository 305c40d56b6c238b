#include "devices/PluginModel.h"

#include <cstring>
#include <stdexcept>

#include "base/VariantUtils.h"
#include "devices/PluginModelList.h"
#include "devices/SettingsXml.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {
namespace {

using ole::Safecall;

// Runs body for an out pointer that must not be null.
template <class T, class F>
HRESULT Out(T* out, F&& body) {
  if (!out) return E_POINTER;
  return Safecall([&] { body(); });
}

HRESULT OutText(BSTR* out, const std::string& text) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Safecall([&] { *out = ole::Utf8ToBstr(text); });
}

HRESULT OutInt(int32_t* out, int32_t value) {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

// The "xml" property of an automation object: read directly from one of
// this module's nodes, by late binding from any other object.
std::string DispatchXmlText(IDispatch* object) {
  if (const auto node = xml::OwnNodeFromDispatch(object)) return node->xml();
  if (!object) throw std::runtime_error("The settings document object is null");
  ole::BstrPtr name(ole::Utf8ToBstr("xml"));
  OLECHAR* names[] = {name.get()};
  DISPID id = DISPID_UNKNOWN;
  ole::OleCheck(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ole::OleVariant result;
  EXCEPINFO excep{};
  const HRESULT hr =
      object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.put(), &excep, nullptr);
  const std::string description = ole::BstrToUtf8(excep.bstrDescription);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  if (FAILED(hr)) {
    if (!description.empty()) throw ole::OleException(hr, description);
    ole::OleCheck(hr);
  }
  return ole::VarToText(result);
}

// The interface slots that hand out a device interface.
template <class F>
HRESULT OutDevice(const VARIANT* settings, IUnknown** out, F&& find) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!settings) return E_POINTER;
  return Safecall([&] { *out = find(*settings).detach(); });
}

}  // namespace

PluginModel::PluginModel(PluginModelList* list) : m_list(list) {}

IModelOwner& PluginModel::Owner() const {
  IModelOwner* owner = m_list ? m_list->Owner() : nullptr;
  if (!owner) throw std::runtime_error("The model belongs to no device list");
  return *owner;
}

std::string PluginModel::ParamsXmlText() const {
  xml::XmlDocument doc = xml::CreateXmlDocument();
  doc.loadXML("<Параметры/>");
  xml::XmlNode root = doc.documentElement();
  for (const auto& item : Params) {
    xml::XmlNode element = CreateElementByTag(doc, NodeKey::Param);
    element.setAttribute(GetAttrName(AttrKey::Identifier), item->Name);
    element.setAttribute(GetAttrName(AttrKey::Name), item->Caption);
    element.setAttribute(GetAttrName(AttrKey::Type), item->DisplayType());
    element.setAttribute(GetAttrName(AttrKey::ReadOnly), item->ReadOnly ? "1" : "0");
    element.setAttribute(GetAttrName(AttrKey::DefaultValue), item->DefaultText);
    element.setAttribute(GetAttrName(AttrKey::Description), EscapeNewLines(item->Hint, true));
    root.appendChild(element);
  }
  return doc.xml();
}

xml::XmlDocument PluginModel::ModelXmlDocument() const {
  xml::XmlDocument doc = xml::NewXmlDocument(GetNodeName(NodeKey::Model), xml::Utf16Declaration());
  xml::XmlNode params = CreateElementByTag(doc, NodeKey::Params);
  static const std::vector<int32_t> keys = {AttrKey::Identifier,   AttrKey::Name,
                                            AttrKey::Type,         AttrKey::ReadOnly,
                                            AttrKey::DefaultValue, AttrKey::Description};
  for (const auto& item : Params) {
    xml::XmlNode element = CreateElementByTag(doc, NodeKey::Param);
    SetAttributesByTag(
        element, keys,
        {ole::OleVariant(item->Name), ole::OleVariant(item->Caption),
         ole::OleVariant(item->DisplayType()), ole::OleVariant(item->ReadOnly != 0),
         ole::OleVariant(item->DefaultText), ole::OleVariant(EscapeNewLines(item->Hint, true))});
    params.appendChild(element);
  }
  doc.documentElement().appendChild(params);
  return doc;
}

HRESULT PluginModel::GetCode(GUID* out) {
  if (!out) return E_POINTER;
  *out = Code;
  return S_OK;
}

HRESULT PluginModel::GetIdent(BSTR* out) {
  return OutText(out, Ident);
}
HRESULT PluginModel::GetName(BSTR* out) {
  return OutText(out, Name);
}
HRESULT PluginModel::GetDeviceKind(BSTR* out) {
  return OutText(out, DeviceKind);
}
HRESULT PluginModel::GetEquipmentClass(BSTR* out) {
  return OutText(out, EquipmentClass);
}
HRESULT PluginModel::GetVersion1(int32_t* out) {
  return OutInt(out, Version1);
}
HRESULT PluginModel::GetVersion2(int32_t* out) {
  return OutInt(out, Version2);
}
HRESULT PluginModel::GetVersion3(int32_t* out) {
  return OutInt(out, Version3);
}
HRESULT PluginModel::GetVersion4(int32_t* out) {
  return OutInt(out, Version4);
}
HRESULT PluginModel::GetUsesHost(int32_t* out) {
  return OutInt(out, UsesHost);
}
HRESULT PluginModel::GetReservedValue(int32_t* out) {
  return OutInt(out, -1);
}

HRESULT PluginModel::GetParamsXml(BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Safecall([&] { *out = ole::Utf8ToBstr(ParamsXmlText()); });
}

HRESULT PluginModel::GetReservedObject(int32_t /*index*/, IUnknown** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return S_OK;
}

HRESULT PluginModel::ReservedCall1() {
  return S_OK;
}
HRESULT PluginModel::ReservedCall2() {
  return S_OK;
}

HRESULT PluginModel::GetDriver(IUnknown** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Safecall([&] { *out = Owner().GetDriverInterface().detach(); });
}

HRESULT PluginModel::GetModelXml(VARIANT* out) {
  return Out(out, [&] {
    VariantClear(out);
    ole::ComPtr<IDispatch> document = xml::NewNodeDispatch(ModelXmlDocument());
    out->vt = VT_DISPATCH;
    out->pdispVal = document.detach();
  });
}

HRESULT PluginModel::FindOrAddDevice(const VARIANT* settings, IUnknown** out) {
  return OutDevice(settings, out, [&](const VARIANT& s) { return Owner().FindOrAddDevice(s); });
}

HRESULT PluginModel::DeleteDevice(uint32_t d0, uint32_t d1, uint32_t d2, uint32_t d3,
                                  int32_t* out) {
  return Out(out, [&] {
    *out = 0;
    const uint32_t words[4] = {d0, d1, d2, d3};
    GUID code;
    static_assert(sizeof(code) == sizeof(words));
    std::memcpy(&code, words, sizeof(code));
    *out = Owner().DeleteByCode(code);
  });
}

HRESULT PluginModel::SetSettingsText(const VARIANT* settings, int32_t* out) {
  return Out(out, [&] {
    *out = 0;
    if (!settings) throw ole::OleException(E_POINTER, "The settings argument is null");
    const VARIANT& value = DerefVariant(*settings);
    const VARTYPE type = ole::WithoutByRef(value.vt);
    if (type == VT_DISPATCH) {
      IDispatch* object = !(value.vt & VT_BYREF) ? value.pdispVal
                          : value.ppdispVal      ? *value.ppdispVal
                                                 : nullptr;
      Owner().SetSettingsText(DispatchXmlText(object));
    } else if (type == VT_BSTR) {
      Owner().SetSettingsText(ole::VarToText(value));
    }
  });
}

HRESULT PluginModel::FindDevice(const VARIANT* settings, IUnknown** out) {
  return OutDevice(settings, out, [&](const VARIANT& s) { return Owner().FindDeviceInterface(s); });
}

HRESULT PluginModel::InsertDevice(const VARIANT* settings, IUnknown** out) {
  return OutDevice(settings, out, [&](const VARIANT& s) { return Owner().InsertDevice(s); });
}

}  // namespace labelplu
