// labelplu XML DOM: documents, nodes and node lists as automation objects
// (IDispatch by late binding), and documents handed over by a host.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/ole/Bstr.h"
#include "platform/ole/ComObject.h"
#include "platform/ole/ErrorInfo.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlInternal.h"

namespace labelplu::xml {

const IID IID_IXmlNodeHandle = {
    0x688a439b, 0xf23d, 0x450c, {0xba, 0xe7, 0x11, 0xbd, 0xec, 0x8d, 0xf8, 0x3f}};

const void* ThisModuleTag() noexcept {
  static const char tag = 0;
  return &tag;
}

namespace {

constexpr HRESULT kParamNotFound = static_cast<HRESULT>(0x80020004u);  // DISP_E_PARAMNOTFOUND

enum Member : DISPID {
  Xml = 1,
  Text,
  NodeName,
  NodeTypeId,
  ParentNode,
  FirstChild,
  LastChild,
  PreviousSibling,
  NextSibling,
  ChildNodes,
  HasChildNodes,
  OwnerDocument,
  AppendChild,
  InsertBefore,
  RemoveChild,
  CloneNode,
  SelectNodes,
  SelectSingleNode,
  GetElementsByTagName,
  GetAttribute,
  SetAttribute,
  RemoveAttribute,
  DataType,
  NodeTypedValue,
  FirstDocumentMember,  // the members below exist on documents only
  LoadXML = FirstDocumentMember,
  DocumentElement,
  CreateElement,
  CreateProcessingInstruction,
  CreateTextNode,
  CreateComment,
  CreateCDATASection,
  Async,
  SetProperty,
  GetProperty,
  Length,
  Item  // node lists
};

struct MemberName {
  const char* name;
  DISPID id;
};

constexpr MemberName kNodeMembers[] = {{"xml", Xml},
                                       {"text", Text},
                                       {"nodeName", NodeName},
                                       {"nodeType", NodeTypeId},
                                       {"parentNode", ParentNode},
                                       {"firstChild", FirstChild},
                                       {"lastChild", LastChild},
                                       {"previousSibling", PreviousSibling},
                                       {"nextSibling", NextSibling},
                                       {"childNodes", ChildNodes},
                                       {"hasChildNodes", HasChildNodes},
                                       {"ownerDocument", OwnerDocument},
                                       {"appendChild", AppendChild},
                                       {"insertBefore", InsertBefore},
                                       {"removeChild", RemoveChild},
                                       {"cloneNode", CloneNode},
                                       {"selectNodes", SelectNodes},
                                       {"selectSingleNode", SelectSingleNode},
                                       {"getElementsByTagName", GetElementsByTagName},
                                       {"getAttribute", GetAttribute},
                                       {"setAttribute", SetAttribute},
                                       {"removeAttribute", RemoveAttribute},
                                       {"dataType", DataType},
                                       {"nodeTypedValue", NodeTypedValue},
                                       {"loadXML", LoadXML},
                                       {"documentElement", DocumentElement},
                                       {"createElement", CreateElement},
                                       {"createProcessingInstruction", CreateProcessingInstruction},
                                       {"createTextNode", CreateTextNode},
                                       {"createComment", CreateComment},
                                       {"createCDATASection", CreateCDATASection},
                                       {"async", Async},
                                       {"setProperty", SetProperty},
                                       {"getProperty", GetProperty}};

constexpr MemberName kListMembers[] = {{"length", Length}, {"item", Item}};

struct BadParamCount {};
struct NotAMember {};    // no such member, or not for this kind of call
struct BadNamedArgs {};  // named arguments other than a property put's value

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

template <size_t N>
HRESULT LookUp(const MemberName (&table)[N], OLECHAR** names, uint32_t count, DISPID* ids,
               DISPID limit) {
  if (!names || !ids) return E_POINTER;
  if (count == 0) return S_OK;
  const std::string name = ole::BstrToUtf8(names[0]);
  ids[0] = DISPID_UNKNOWN;
  for (const auto& member : table)
    if (member.id < limit && SameName(name, member.name)) ids[0] = member.id;
  for (uint32_t i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return (ids[0] == DISPID_UNKNOWN || count > 1) ? DISP_E_UNKNOWNNAME : S_OK;
}

// The positional arguments of a call (first argument first) and the value
// of a property put.
class Arguments {
 public:
  Arguments(DISPPARAMS* params, bool put) {
    if (!params || params->cArgs == 0) {
      if (put) throw BadParamCount();
      return;
    }
    if (params->cArgs && !params->rgvarg) throw BadParamCount();
    const uint32_t named = params->cNamedArgs;
    if (named > params->cArgs || (named && !params->rgdispidNamedArgs)) throw BadNamedArgs();
    if (put) {
      if (named > 1 || (named == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
        throw BadNamedArgs();
      m_value = &params->rgvarg[0];
      m_first = 1;
    } else if (named) {
      throw BadNamedArgs();
    }
    m_params = params;
  }
  uint32_t count() const { return m_params ? m_params->cArgs - m_first : 0; }
  void expect(uint32_t low, uint32_t high) const {
    if (count() < low || count() > high) throw BadParamCount();
  }
  const VARIANT& at(uint32_t i) const { return m_params->rgvarg[m_params->cArgs - 1 - i]; }
  const VARIANT& value() const { return *m_value; }
  std::string text(uint32_t i) const { return ole::VarToText(at(i)); }

 private:
  DISPPARAMS* m_params = nullptr;
  const VARIANT* m_value = nullptr;
  uint32_t m_first = 0;
};

const VARIANT& Deref(const VARIANT& v) {
  const VARIANT* p = &v;
  while (p->vt == (VT_VARIANT | VT_BYREF) && p->pvarVal) p = p->pvarVal;
  return *p;
}

IUnknown* ObjectOf(const VARIANT& value) {
  const VARIANT& v = Deref(value);
  switch (v.vt) {
    case VT_DISPATCH:
      return v.pdispVal;
    case VT_UNKNOWN:
      return v.punkVal;
    case VT_DISPATCH | VT_BYREF:
      return v.ppdispVal ? *v.ppdispVal : nullptr;
    case VT_UNKNOWN | VT_BYREF:
      return v.ppunkVal ? *v.ppunkVal : nullptr;
    case VT_EMPTY:
    case VT_NULL:
      return nullptr;
    default:
      ThrowXml("The argument must be a DOM node.");
  }
}

// A node argument: one of our nodes, or the content of another DOM's node
// (read through its "xml" text); the null node for Nothing, empty and null.
XmlNode NodeArgument(const VARIANT& value) {
  IUnknown* object = ObjectOf(value);
  if (!object) return XmlNode();
  ole::ComPtr<IDispatch> dispatch = ole::ComPtr<IUnknown>(object).as<IDispatch>();
  if (!dispatch) ThrowXml("The argument must be a DOM node.");
  if (auto own = OwnNodeFromDispatch(dispatch.get())) return *own;
  XmlDocument doc = DocumentFromDispatch(dispatch.get());
  XmlNode root = doc.documentElement();
  return root ? root : doc.firstChild();
}

ole::OleVariant NodeResult(const XmlNode& node) {
  if (node.isNull()) return ole::OleVariant(static_cast<IDispatch*>(nullptr));
  return ole::OleVariant(NewNodeDispatch(node).get());
}

ole::OleVariant BytesResult(const std::vector<uint8_t>& bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<uint32_t>(bytes.size()));
  if (!array) throw std::bad_alloc();
  if (!bytes.empty()) std::memcpy(array->pvData, bytes.data(), bytes.size());
  return ole::OleVariant::AdoptArray(array);
}

std::vector<uint8_t> BytesArgument(const VARIANT& value) {
  const VARIANT& v = Deref(value);
  SAFEARRAY* array = (v.vt & VT_BYREF) ? (v.pparray ? *v.pparray : nullptr) : v.parray;
  if (!array || SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != 1)
    ThrowXml("A binary value must be a one-dimensional array of bytes.");
  const auto* data = static_cast<const uint8_t*>(array->pvData);
  return std::vector<uint8_t>(data, data + array->rgsabound[0].cElements);
}

HRESULT Failure(const std::exception& e, EXCEPINFO* excep) {
  const HRESULT code = ole::ReportException(e);
  if (excep) {
    *excep = EXCEPINFO{};
    try {
      excep->bstrSource = ole::Utf8ToBstr("labelplu.xml");
      excep->bstrDescription = ole::Utf8ToBstr(e.what());
    } catch (...) {
    }
    excep->scode = code;
  }
  return DISP_E_EXCEPTION;
}

template <class Body>
HRESULT InvokeGuarded(VARIANT* result, EXCEPINFO* excep, Body&& body) noexcept {
  try {
    ole::OleVariant value = body();
    if (result) {
      VariantInit(result);
      *result = value.release();
    }
    return S_OK;
  } catch (const BadParamCount&) {
    return DISP_E_BADPARAMCOUNT;
  } catch (const NotAMember&) {
    return DISP_E_MEMBERNOTFOUND;
  } catch (const BadNamedArgs&) {
    return kParamNotFound;
  } catch (const std::exception& e) {
    return Failure(e, excep);
  } catch (...) {
    return Failure(std::runtime_error("Unknown exception"), excep);
  }
}

class XmlNodeObject final : public ole::ComObject<IDispatch, IXmlNodeHandle> {
 public:
  explicit XmlNodeObject(XmlNode node) : m_node(std::move(node)) {
    m_isDocument = m_node.nodeType() == NodeType::Document;
  }

  HRESULT GetTypeInfoCount(uint32_t* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetIDsOfNames(const IID&, OLECHAR** names, uint32_t count, uint32_t,
                        DISPID* ids) override {
    return LookUp(kNodeMembers, names, count, ids, m_isDocument ? Length : FirstDocumentMember);
  }
  HRESULT Invoke(DISPID id, const IID&, uint32_t, uint16_t flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* excep, uint32_t*) override {
    return InvokeGuarded(result, excep, [&] { return call(id, flags, params); });
  }

  const void* moduleTag() override { return ThisModuleTag(); }
  const XmlNode* node() override { return &m_node; }

 private:
  ole::OleVariant call(DISPID id, uint16_t flags, DISPPARAMS* params);

  XmlNode m_node;
  bool m_isDocument = false;
};

ole::OleVariant XmlNodeObject::call(DISPID id, uint16_t flags, DISPPARAMS* params) {
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const Arguments args(params, put);
  if (!m_isDocument && id >= FirstDocumentMember) throw NotAMember();
  XmlNode& node = m_node;
  if (put) {
    args.expect(0, 0);
    switch (id) {
      case Text:
        node.setText(ole::VarToText(args.value()));
        return {};
      case DataType:
        node.setDataType(ole::VarToText(args.value()));
        return {};
      case NodeTypedValue: {
        const VARIANT& v = Deref(args.value());
        if ((v.vt & VT_ARRAY) && (v.vt & VT_TYPEMASK) == VT_UI1) {
          node.setNodeTypedBytes(BytesArgument(v));
        } else {
          node.setText(ole::VarToText(v));
        }
        return {};
      }
      case DocumentElement:
        XmlDocument::ofNode(node).setDocumentElement(NodeArgument(args.value()));
        return {};
      case Async:
        XmlDocument::ofNode(node).setAsync(ole::VarToBool(args.value()));
        return {};
      default:
        throw NotAMember();
    }
  }
  auto noArgs = [&] { args.expect(0, 0); };
  switch (id) {
    case Xml:
      noArgs();
      return ole::OleVariant(std::string_view(node.xml()));
    case Text:
      noArgs();
      return ole::OleVariant(std::string_view(node.text()));
    case NodeName:
      noArgs();
      return ole::OleVariant(std::string_view(node.nodeName()));
    case NodeTypeId:
      noArgs();
      return ole::OleVariant(static_cast<int32_t>(node.nodeType()));
    case ParentNode:
      noArgs();
      return NodeResult(node.parentNode());
    case FirstChild:
      noArgs();
      return NodeResult(node.firstChild());
    case LastChild:
      noArgs();
      return NodeResult(node.lastChild());
    case PreviousSibling:
      noArgs();
      return NodeResult(node.previousSibling());
    case NextSibling:
      noArgs();
      return NodeResult(node.nextSibling());
    case ChildNodes:
      noArgs();
      return ole::OleVariant(NewNodeListDispatch(node.childNodes()).get());
    case HasChildNodes:
      noArgs();
      return ole::OleVariant(node.hasChildNodes());
    case OwnerDocument:
      noArgs();
      return m_isDocument ? NodeResult(XmlNode()) : NodeResult(node.ownerDocument());
    case AppendChild:
      args.expect(1, 1);
      return NodeResult(node.appendChild(NodeArgument(args.at(0))));
    case InsertBefore:
      args.expect(1, 2);
      return NodeResult(node.insertBefore(NodeArgument(args.at(0)),
                                          args.count() > 1 ? NodeArgument(args.at(1)) : XmlNode()));
    case RemoveChild:
      args.expect(1, 1);
      return NodeResult(node.removeChild(NodeArgument(args.at(0))));
    case CloneNode:
      args.expect(1, 1);
      return NodeResult(node.cloneNode(ole::VarToBool(args.at(0))));
    case SelectNodes:
      args.expect(1, 1);
      return ole::OleVariant(NewNodeListDispatch(node.selectNodes(args.text(0))).get());
    case SelectSingleNode:
      args.expect(1, 1);
      return NodeResult(node.selectSingleNode(args.text(0)));
    case GetElementsByTagName:
      args.expect(1, 1);
      return ole::OleVariant(NewNodeListDispatch(node.getElementsByTagName(args.text(0))).get());
    case GetAttribute: {
      args.expect(1, 1);
      const auto value = node.getAttribute(args.text(0));
      return value ? ole::OleVariant(std::string_view(*value)) : ole::OleVariant::Null();
    }
    case SetAttribute:
      args.expect(2, 2);
      node.setAttribute(args.text(0), Deref(args.at(1)));
      return {};
    case RemoveAttribute:
      args.expect(1, 1);
      node.removeAttribute(args.text(0));
      return {};
    case DataType: {
      noArgs();
      const std::string type = node.dataType();
      return type.empty() ? ole::OleVariant::Null() : ole::OleVariant(std::string_view(type));
    }
    case NodeTypedValue:
      noArgs();
      if (node.nodeType() == NodeType::Element && node.dataType() == "bin.base64")
        return BytesResult(node.nodeTypedBytes());
      return ole::OleVariant(std::string_view(node.text()));
    case LoadXML:
      args.expect(1, 1);
      XmlDocument::ofNode(node).loadXML(args.text(0));
      return true;
    case DocumentElement:
      noArgs();
      return NodeResult(XmlDocument::ofNode(node).documentElement());
    case CreateElement:
      args.expect(1, 1);
      return NodeResult(XmlDocument::ofNode(node).createElement(args.text(0)));
    case CreateProcessingInstruction:
      args.expect(2, 2);
      return NodeResult(
          XmlDocument::ofNode(node).createProcessingInstruction(args.text(0), args.text(1)));
    case CreateTextNode:
      args.expect(1, 1);
      return NodeResult(XmlDocument::ofNode(node).createTextNode(args.text(0)));
    case CreateComment:
      args.expect(1, 1);
      return NodeResult(XmlDocument::ofNode(node).createComment(args.text(0)));
    case CreateCDATASection:
      args.expect(1, 1);
      return NodeResult(XmlDocument::ofNode(node).createCDATASection(args.text(0)));
    case Async:
      noArgs();
      return ole::OleVariant(XmlDocument::ofNode(node).async());
    case SetProperty:
      args.expect(2, 2);
      XmlDocument::ofNode(node).setProperty(args.text(0), args.text(1));
      return {};
    case GetProperty:
      args.expect(1, 1);
      return ole::OleVariant(std::string_view(XmlDocument::ofNode(node).getProperty(args.text(0))));
    default:
      throw NotAMember();
  }
}

class XmlNodeListObject final : public ole::ComObject<IDispatch> {
 public:
  explicit XmlNodeListObject(XmlNodeList list) : m_list(std::move(list)) {}

  HRESULT GetTypeInfoCount(uint32_t* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetIDsOfNames(const IID&, OLECHAR** names, uint32_t count, uint32_t,
                        DISPID* ids) override {
    return LookUp(kListMembers, names, count, ids, Item + 1);
  }
  HRESULT Invoke(DISPID id, const IID&, uint32_t, uint16_t flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* excep, uint32_t*) override {
    return InvokeGuarded(result, excep, [&]() -> ole::OleVariant {
      if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) throw NotAMember();
      const Arguments args(params, false);
      if (id == Length) {
        args.expect(0, 0);
        return ole::OleVariant(m_list.length());
      }
      if (id == Item || id == DISPID_VALUE) {
        args.expect(1, 1);
        return NodeResult(m_list.item(ole::VarToInt32(args.at(0))));
      }
      throw NotAMember();
    });
  }

 private:
  XmlNodeList m_list;
};

}  // namespace

ole::ComPtr<IDispatch> NewNodeDispatch(const XmlNode& node) {
  NodeAccess::raw(node);
  return ole::MakeCom<XmlNodeObject>(node);
}

ole::ComPtr<IDispatch> NewNodeListDispatch(const XmlNodeList& list) {
  return ole::MakeCom<XmlNodeListObject>(list);
}

}  // namespace labelplu::xml
