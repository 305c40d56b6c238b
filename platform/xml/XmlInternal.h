// labelplu XML DOM: what the implementation files share (not part of the API).
#ifndef LABELPLU_PLATFORM_XML_XMLINTERNAL_H
#define LABELPLU_PLATFORM_XML_XMLINTERNAL_H

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/ole/InterfaceId.h"
#include "platform/xml/XmlDom.h"

namespace labelplu::xml {

// One document object. The current libxml2 tree is doc; trees replaced by
// loadXML are kept in retired while handles may still point into them, and
// nodes that may lie outside every tree (created, cloned, removed) are kept
// in detached. Everything is freed when the last handle goes.
struct DocumentData {
  explicit DocumentData(xmlDocPtr tree) noexcept : doc(tree) {}
  ~DocumentData();
  DocumentData(const DocumentData&) = delete;
  DocumentData& operator=(const DocumentData&) = delete;

  // Remembers a node that may be outside every tree (attributes included).
  void track(xmlNodePtr node) { detached.insert(node); }

  xmlDocPtr doc;
  std::vector<xmlDocPtr> retired;
  std::unordered_set<xmlNodePtr> detached;
  bool async = true;
  std::string selectionLanguage = "XPath";
  std::string selectionNamespaces;
  std::vector<std::pair<std::string, std::string>> xpathNamespaces;  // prefix, uri
};

// The bridge between handles and libxml2 pointers.
struct NodeAccess {
  // The libxml2 node of a handle; XmlError for the null node.
  static xmlNodePtr raw(const XmlNode& node);
  static const std::shared_ptr<DocumentData>& data(const XmlNode& node) { return node.m_doc; }
  // A handle for node of that document (the current document's own node
  // becomes the document handle); the null node for a null pointer.
  static XmlNode make(const std::shared_ptr<DocumentData>& data, xmlNodePtr node);
  static XmlDocument document(std::shared_ptr<DocumentData> data);
};

// xmlInitParser, once per process (never undone: the host may use libxml2).
void EnsureLibxmlInitialised();

// A new document object around a fresh empty tree.
std::shared_ptr<DocumentData> NewDocumentData();

// The node written as text ("xml"); a document ends every top-level node
// with CR LF.
std::string WriteXml(xmlNodePtr node);

// The value of an attribute or namespace declaration (entity references
// expanded).
std::string AttributeValue(xmlAttrPtr attr);
// The qualified name of an element or attribute ("p:name" or "name").
std::string QualifiedName(xmlNodePtr node);

inline const xmlChar* Xs(const std::string& text) {
  return reinterpret_cast<const xmlChar*>(text.c_str());
}
inline std::string FromXs(const xmlChar* text) {
  return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}
// Takes a libxml2-allocated text, frees it and returns its copy.
std::string TakeXs(xmlChar* text);

[[noreturn]] void ThrowXml(const std::string& message);

// The private interface by which this module recognises its own automation
// objects. ModuleTag tells apart another copy of this library in the same
// process (a host built with it): only objects of this very module are
// taken by pointer.
struct IXmlNodeHandle : IUnknown {
  virtual const void* moduleTag() = 0;
  virtual const XmlNode* node() = 0;  // the node; valid while the object lives
};
extern const IID IID_IXmlNodeHandle;
const void* ThisModuleTag() noexcept;

}  // namespace labelplu::xml

LP_INTERFACE_ID(labelplu::xml::IXmlNodeHandle, IUnknown, labelplu::xml::IID_IXmlNodeHandle)

#endif  // LABELPLU_PLATFORM_XML_XMLINTERNAL_H
