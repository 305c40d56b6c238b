// labelplu XML DOM: documents handed over by a host as automation objects.
#include "platform/ole/Bstr.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlInternal.h"

namespace labelplu::xml {

std::optional<XmlNode> OwnNodeFromDispatch(IDispatch* object) {
  if (!object) return std::nullopt;
  ole::ComPtr<IXmlNodeHandle> handle = ole::ComPtr<IDispatch>(object).as<IXmlNodeHandle>();
  if (!handle || handle->moduleTag() != ThisModuleTag()) return std::nullopt;
  return *handle->node();
}

XmlDocument DocumentFromDispatch(IDispatch* object) {
  if (!object) ThrowXml("No XML document was given (the object is null).");
  if (auto own = OwnNodeFromDispatch(object); own && own->nodeType() == NodeType::Document)
    return XmlDocument::ofNode(*own);
  ole::BstrPtr name(ole::Utf8ToBstr("xml"));
  OLECHAR* names[] = {name.get()};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  if (FAILED(hr)) {
    ole::TakeErrorText();
    ThrowXml("The object given as an XML document has no \"xml\" property.");
  }
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ole::OleVariant text;
  EXCEPINFO excep{};
  hr = object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, text.put(), &excep, nullptr);
  std::string reason = ole::BstrToUtf8(excep.bstrDescription);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  if (FAILED(hr)) {
    const std::string info = ole::TakeErrorText();
    if (reason.empty()) reason = info.empty() ? ole::HResultText(hr) : info;
    ThrowXml("The \"xml\" property of the object given as an XML document cannot be read: " +
             reason);
  }
  XmlDocument doc;
  doc.loadXML(ole::VarToText(text));
  return doc;
}

}  // namespace labelplu::xml
