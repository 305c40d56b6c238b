// labelplu XML DOM: attributes and typed values of elements.
#include <cstring>

#include "platform/ole/Variant.h"
#include "platform/xml/XmlInternal.h"

namespace labelplu::xml {

namespace {

constexpr std::string_view kDataTypeName = "dt:dt";
constexpr std::string_view kBase64Type = "bin.base64";
constexpr size_t kBase64LineLength = 72;

xmlNodePtr Element(const XmlNode& node) {
  xmlNodePtr raw = NodeAccess::raw(node);
  if (raw->type != XML_ELEMENT_NODE) ThrowXml("The node is not an element.");
  return raw;
}

xmlAttrPtr FindAttribute(xmlNodePtr elem, std::string_view name) {
  for (xmlAttrPtr attr = elem->properties; attr; attr = attr->next)
    if (QualifiedName(reinterpret_cast<xmlNodePtr>(attr)) == name) return attr;
  return nullptr;
}

// A namespace declaration of the element itself named "xmlns" or "xmlns:p".
xmlNsPtr FindDeclaration(xmlNodePtr elem, std::string_view name) {
  std::string_view prefix;
  if (name == "xmlns") {
    prefix = {};
  } else if (name.size() > 6 && name.substr(0, 6) == "xmlns:") {
    prefix = name.substr(6);
  } else {
    return nullptr;
  }
  for (xmlNsPtr ns = elem->nsDef; ns; ns = ns->next) {
    const std::string own = FromXs(ns->prefix);
    if (own == prefix) return ns;
  }
  return nullptr;
}

void ReplaceAttributeText(xmlAttrPtr attr, const std::string& value) {
  xmlFreeNodeList(attr->children);
  attr->children = attr->last = nullptr;
  xmlNodePtr text = xmlNewDocText(attr->doc, Xs(value));
  if (!text) throw std::bad_alloc();
  text->parent = reinterpret_cast<xmlNodePtr>(attr);
  attr->children = attr->last = text;
}

xmlAttrPtr DataTypeAttribute(xmlNodePtr elem) {
  for (xmlAttrPtr attr = elem->properties; attr; attr = attr->next) {
    if (attr->ns && attr->ns->href && FromXs(attr->ns->href) == kDataTypesNamespace &&
        FromXs(attr->name) == "dt")
      return attr;
    if (!attr->ns && FromXs(attr->name) == kDataTypeName) return attr;
  }
  return nullptr;
}

// The text of a variant as the automation DOM writes it into an attribute.
std::string VariantText(const VARIANT& value) {
  const VARIANT* v = &value;
  while (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
  const VARTYPE type = ole::WithoutByRef(v->vt);
  if (v->vt & VT_ARRAY) ThrowXml("An array cannot be an attribute value.");
  switch (type) {
    case VT_EMPTY:
    case VT_NULL:
      return {};
    case VT_BOOL: {
      const VARIANT_BOOL flag = (v->vt & VT_BYREF) ? *v->pboolVal : v->boolVal;
      return flag ? "-1" : "0";
    }
    case VT_DISPATCH:
    case VT_UNKNOWN:
      ThrowXml("An object cannot be an attribute value.");
    default:
      try {
        return ole::VarToText(*v);
      } catch (const ole::VariantError& e) {
        ThrowXml(std::string("The attribute value cannot be converted to text: ") + e.what());
      }
  }
}

}  // namespace

std::string QualifiedName(xmlNodePtr node) {
  std::string name = FromXs(node->name);
  if (node->ns && node->ns->prefix) return FromXs(node->ns->prefix) + ":" + name;
  return name;
}

std::string AttributeValue(xmlAttrPtr attr) {
  if (!attr->children) return {};
  if (!attr->children->next && attr->children->type == XML_TEXT_NODE)
    return FromXs(attr->children->content);
  return TakeXs(xmlNodeListGetString(attr->doc, attr->children, 1));
}

std::optional<std::string> XmlNode::getAttribute(std::string_view name) const {
  xmlNodePtr elem = Element(*this);
  if (xmlAttrPtr attr = FindAttribute(elem, name)) return AttributeValue(attr);
  if (xmlNsPtr ns = FindDeclaration(elem, name)) return FromXs(ns->href);
  return std::nullopt;
}

void XmlNode::setAttribute(std::string_view name, std::string_view value) const {
  xmlNodePtr elem = Element(*this);
  const std::string qname(name);
  const std::string text(value);
  if (qname.empty() || qname.find('\0') != std::string::npos || xmlValidateQName(Xs(qname), 0) != 0)
    ThrowXml("\"" + qname + "\" is not a valid XML name.");
  if (xmlAttrPtr attr = FindAttribute(elem, name)) {
    ReplaceAttributeText(attr, text);
    return;
  }
  if (xmlNsPtr ns = FindDeclaration(elem, name)) {
    xmlFree(const_cast<xmlChar*>(ns->href));
    ns->href = xmlStrdup(Xs(text));
    if (!ns->href) throw std::bad_alloc();
    return;
  }
  // A prefixed name joins its namespace when one is in scope; otherwise
  // (and for namespace declarations) it stays a plain attribute, so that
  // the attributes keep the order in which they were set.
  xmlAttrPtr attr = nullptr;
  const size_t colon = qname.find(':');
  if (colon != std::string::npos && qname.compare(0, colon, "xmlns") != 0) {
    const std::string prefix = qname.substr(0, colon);
    if (xmlNsPtr ns = xmlSearchNs(elem->doc, elem, Xs(prefix)))
      attr = xmlNewNsProp(elem, ns, Xs(qname.substr(colon + 1)), Xs(text));
  }
  if (!attr) attr = xmlNewProp(elem, Xs(qname), Xs(text));
  if (!attr) throw std::bad_alloc();
}

void XmlNode::setAttribute(std::string_view name, const VARIANT& value) const {
  setAttribute(name, std::string_view(VariantText(value)));
}

void XmlNode::removeAttribute(std::string_view name) const {
  xmlNodePtr elem = Element(*this);
  if (xmlAttrPtr attr = FindAttribute(elem, name)) {
    xmlUnlinkNode(reinterpret_cast<xmlNodePtr>(attr));
    m_doc->track(reinterpret_cast<xmlNodePtr>(attr));
    return;
  }
  if (FindDeclaration(elem, name)) ThrowXml("A namespace declaration cannot be removed.");
}

std::vector<std::pair<std::string, std::string>> XmlNode::attributes() const {
  xmlNodePtr elem = Element(*this);
  std::vector<std::pair<std::string, std::string>> result;
  for (xmlNsPtr ns = elem->nsDef; ns; ns = ns->next) {
    std::string name = ns->prefix ? "xmlns:" + FromXs(ns->prefix) : std::string("xmlns");
    result.emplace_back(std::move(name), FromXs(ns->href));
  }
  for (xmlAttrPtr attr = elem->properties; attr; attr = attr->next)
    result.emplace_back(QualifiedName(reinterpret_cast<xmlNodePtr>(attr)), AttributeValue(attr));
  return result;
}

std::string XmlNode::dataType() const {
  xmlAttrPtr attr = DataTypeAttribute(Element(*this));
  return attr ? AttributeValue(attr) : std::string();
}

void XmlNode::setDataType(std::string_view type) const {
  xmlNodePtr elem = Element(*this);
  xmlAttrPtr attr = DataTypeAttribute(elem);
  if (type.empty()) {
    if (attr) {
      xmlUnlinkNode(reinterpret_cast<xmlNodePtr>(attr));
      m_doc->track(reinterpret_cast<xmlNodePtr>(attr));
    }
    return;
  }
  const std::string text(type);
  if (attr) {
    ReplaceAttributeText(attr, text);
    return;
  }
  const std::string uri(kDataTypesNamespace);
  if (xmlNsPtr ns = xmlSearchNsByHref(elem->doc, elem, Xs(uri)); ns && ns->prefix) {
    attr = xmlNewNsProp(elem, ns, reinterpret_cast<const xmlChar*>("dt"), Xs(text));
  } else {
    attr = xmlNewProp(elem, Xs(std::string(kDataTypeName)), Xs(text));
  }
  if (!attr) throw std::bad_alloc();
}

std::vector<uint8_t> XmlNode::nodeTypedBytes() const {
  const std::string type = dataType();
  if (type != kBase64Type)
    ThrowXml("The node has no binary typed value (its data type is \"" + type + "\").");
  auto bytes = DecodeBase64(text());
  if (!bytes) ThrowXml("The content of a \"bin.base64\" node is not valid base64.");
  return std::move(*bytes);
}

void XmlNode::setNodeTypedBytes(std::span<const uint8_t> bytes) const {
  Element(*this);
  if (dataType() != kBase64Type) setDataType(kBase64Type);
  const std::string flat = EncodeBase64(bytes);
  std::string wrapped;
  wrapped.reserve(flat.size() + flat.size() / kBase64LineLength + 1);
  for (size_t i = 0; i < flat.size(); i += kBase64LineLength) {
    if (i) wrapped += '\n';
    wrapped.append(flat, i, kBase64LineLength);
  }
  setText(wrapped);
}

// ---- base64 ----

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

std::string EncodeBase64(std::span<const uint8_t> bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t v = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (const size_t rest = bytes.size() - i) {
    uint32_t v = uint32_t(bytes[i]) << 16;
    if (rest == 2) v |= uint32_t(bytes[i + 1]) << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text) {
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  uint32_t buffer = 0;
  int bits = 0;
  size_t symbols = 0;
  size_t padding = 0;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == '=') {
      ++padding;
      ++symbols;
      continue;
    }
    const char* at = std::strchr(kAlphabet, c);
    if (!at || c == '\0' || padding) return std::nullopt;
    buffer = (buffer << 6) | static_cast<uint32_t>(at - kAlphabet);
    bits += 6;
    ++symbols;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(buffer >> bits));
      buffer &= (1u << bits) - 1;
    }
  }
  if (symbols % 4 != 0 || padding > 2) return std::nullopt;
  return out;
}

}  // namespace labelplu::xml
