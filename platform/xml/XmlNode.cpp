// labelplu XML DOM: node handles, navigation and changes of the tree.
//
// libxml2's own insertion functions merge adjacent text nodes and free the
// node handed in, and its content setters free children: either would leave
// a handle dangling. The tree is therefore linked and unlinked here, and
// every node taken out of a tree is kept by the document until it goes.
#include <climits>

#include "platform/xml/XmlInternal.h"

namespace labelplu::xml {

XmlError::XmlError(const std::string& message) : std::runtime_error(message) {}
XmlError::~XmlError() = default;

XmlParseError::XmlParseError(int line, int column, const std::string& reason)
    : XmlError("XML parse error at line " + std::to_string(line) + ": " + reason),
      m_line(line),
      m_column(column),
      m_reason(reason) {}
XmlParseError::~XmlParseError() = default;

void ThrowXml(const std::string& message) {
  throw XmlError(message);
}

std::string TakeXs(xmlChar* text) {
  std::string result = FromXs(text);
  if (text) xmlFree(text);
  return result;
}

xmlNodePtr NodeAccess::raw(const XmlNode& node) {
  if (!node.m_node) ThrowXml("The node is null (no node was given or found).");
  if (node.m_node == node.m_doc.get()) return reinterpret_cast<xmlNodePtr>(node.m_doc->doc);
  return static_cast<xmlNodePtr>(node.m_node);
}

XmlNode NodeAccess::make(const std::shared_ptr<DocumentData>& data, xmlNodePtr node) {
  if (!node) return XmlNode();
  if (node == reinterpret_cast<xmlNodePtr>(data->doc)) return XmlNode(data, data.get());
  return XmlNode(data, node);
}

XmlDocument NodeAccess::document(std::shared_ptr<DocumentData> data) {
  return XmlDocument(std::move(data));
}

XmlNode::XmlNode() noexcept = default;
XmlNode::XmlNode(std::shared_ptr<DocumentData> doc, void* node) noexcept
    : m_doc(std::move(doc)), m_node(node) {}
XmlNode::XmlNode(const XmlNode&) noexcept = default;
XmlNode::XmlNode(XmlNode&&) noexcept = default;
XmlNode& XmlNode::operator=(const XmlNode&) noexcept = default;
XmlNode& XmlNode::operator=(XmlNode&&) noexcept = default;
XmlNode::~XmlNode() = default;

XmlNode XmlNodeList::item(int32_t index) const {
  if (index < 0 || index >= length()) return XmlNode();
  return m_nodes[static_cast<size_t>(index)];
}

namespace {

bool IsDocument(xmlNodePtr node) {
  return node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE;
}

// Nodes whose children the DOM shows. A DTD's declarations are not shown,
// nor the text inside an attribute (it is replaced whenever the value is).
bool ShowsChildren(xmlNodePtr node) {
  return node->type == XML_ELEMENT_NODE || IsDocument(node) || node->type == XML_ENTITY_REF_NODE;
}

void LinkChild(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr ref) {
  child->parent = parent;
  child->next = ref;
  if (ref) {
    child->prev = ref->prev;
    if (ref->prev) {
      ref->prev->next = child;
    } else {
      parent->children = child;
    }
    ref->prev = child;
  } else {
    child->prev = parent->last;
    if (parent->last) {
      parent->last->next = child;
    } else {
      parent->children = child;
    }
    parent->last = child;
  }
}

void CheckInsertion(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr ref) {
  if (parent->type != XML_ELEMENT_NODE && !IsDocument(parent))
    ThrowXml("This node cannot have child nodes.");
  switch (child->type) {
    case XML_ELEMENT_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
      break;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
      if (IsDocument(parent)) ThrowXml("Text cannot be inserted at the top level of a document.");
      break;
    default:
      ThrowXml("A node of this type cannot be inserted.");
  }
  for (xmlNodePtr up = parent; up; up = up->parent)
    if (up == child)
      ThrowXml("A node cannot be inserted into itself or into one of its descendants.");
  if (ref && ref->parent != parent) ThrowXml("The reference node is not a child of this node.");
  if (IsDocument(parent) && child->type == XML_ELEMENT_NODE) {
    const xmlNodePtr root = xmlDocGetRootElement(reinterpret_cast<xmlDocPtr>(parent));
    if (root && root != child) ThrowXml("A document can have only one document element.");
  }
}

}  // namespace

NodeType XmlNode::nodeType() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  switch (node->type) {
    case XML_HTML_DOCUMENT_NODE:
      return NodeType::Document;
    case XML_DTD_NODE:
      return NodeType::DocumentType;
    case XML_ENTITY_DECL:
      return NodeType::Entity;
    default:
      if (node->type >= XML_ELEMENT_NODE && node->type <= XML_NOTATION_NODE)
        return static_cast<NodeType>(node->type);
      return NodeType::Notation;
  }
}

std::string XmlNode::nodeName() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
      return QualifiedName(node);
    case XML_TEXT_NODE:
      return "#text";
    case XML_CDATA_SECTION_NODE:
      return "#cdata-section";
    case XML_COMMENT_NODE:
      return "#comment";
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
      return "#document";
    case XML_DOCUMENT_FRAG_NODE:
      return "#document-fragment";
    default:
      return FromXs(node->name);
  }
}

std::string XmlNode::xml() const {
  return WriteXml(NodeAccess::raw(*this));
}

std::string XmlNode::text() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  switch (node->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
      return FromXs(node->content);
    case XML_ATTRIBUTE_NODE:
      return AttributeValue(reinterpret_cast<xmlAttrPtr>(node));
    default:
      return TakeXs(xmlNodeGetContent(node));
  }
}

void XmlNode::setText(std::string_view text) const {
  xmlNodePtr node = NodeAccess::raw(*this);
  if (text.size() > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long");
  const auto* bytes = reinterpret_cast<const xmlChar*>(text.data());
  const int length = static_cast<int>(text.size());
  switch (node->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
      xmlNodeSetContentLen(node, bytes, length);
      return;
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE: {
      if (node->type == XML_ELEMENT_NODE) {
        while (xmlNodePtr child = node->children) {
          xmlUnlinkNode(child);
          m_doc->track(child);
        }
      } else {
        // An attribute's children are never handed out: free them.
        xmlFreeNodeList(node->children);
        node->children = node->last = nullptr;
      }
      if (!text.empty()) {
        xmlNodePtr textNode = xmlNewDocTextLen(node->doc, bytes, length);
        if (!textNode) throw std::bad_alloc();
        LinkChild(node, textNode, nullptr);
      }
      return;
    }
    default:
      ThrowXml("The text of this node cannot be set.");
  }
}

XmlDocument XmlNode::ownerDocument() const {
  NodeAccess::raw(*this);
  return NodeAccess::document(m_doc);
}

XmlNode XmlNode::parentNode() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  if (node->type == XML_ATTRIBUTE_NODE) return XmlNode();
  return NodeAccess::make(m_doc, node->parent);
}

XmlNode XmlNode::firstChild() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  return ShowsChildren(node) ? NodeAccess::make(m_doc, node->children) : XmlNode();
}

XmlNode XmlNode::lastChild() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  return ShowsChildren(node) ? NodeAccess::make(m_doc, node->last) : XmlNode();
}

XmlNode XmlNode::previousSibling() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  return node->type == XML_ATTRIBUTE_NODE ? XmlNode() : NodeAccess::make(m_doc, node->prev);
}

XmlNode XmlNode::nextSibling() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  return node->type == XML_ATTRIBUTE_NODE ? XmlNode() : NodeAccess::make(m_doc, node->next);
}

bool XmlNode::hasChildNodes() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  return ShowsChildren(node) && node->children;
}

int32_t XmlNode::lineNumber() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  if (node->type == XML_ATTRIBUTE_NODE) node = node->parent;
  if (node == nullptr || node->type == XML_DOCUMENT_NODE) return 0;
  // libxml2 keeps an element's line in 16 bits: 65535 stands for any line
  // from there on.
  const long line = xmlGetLineNo(node);
  return line > 0 && line < 65535 ? static_cast<int32_t>(line) : 0;
}

XmlNodeList XmlNode::childNodes() const {
  xmlNodePtr node = NodeAccess::raw(*this);
  std::vector<XmlNode> nodes;
  if (ShowsChildren(node))
    for (xmlNodePtr child = node->children; child; child = child->next)
      nodes.push_back(NodeAccess::make(m_doc, child));
  return XmlNodeList(std::move(nodes));
}

XmlNode XmlNode::appendChild(const XmlNode& child) const {
  return insertBefore(child, XmlNode());
}

XmlNode XmlNode::insertBefore(const XmlNode& child, const XmlNode& ref) const {
  xmlNodePtr parent = NodeAccess::raw(*this);
  xmlNodePtr node = NodeAccess::raw(child);
  xmlNodePtr before = ref.isNull() ? nullptr : NodeAccess::raw(ref);
  if (before == node) return child;
  if (IsDocument(node)) ThrowXml("A document cannot be inserted into another node.");
  const xmlDocPtr targetDoc =
      IsDocument(parent) ? reinterpret_cast<xmlDocPtr>(parent) : parent->doc;
  if (node->doc != targetDoc) {
    // A node of another document: a deep copy joins this one.
    CheckInsertion(parent, node, before);
    xmlNodePtr copy = xmlDocCopyNode(node, targetDoc, 1);
    if (!copy) throw std::bad_alloc();
    m_doc->track(copy);
    LinkChild(parent, copy, before);
    return NodeAccess::make(m_doc, copy);
  }
  CheckInsertion(parent, node, before);
  if (node->parent) xmlUnlinkNode(node);
  LinkChild(parent, node, before);
  return child;
}

XmlNode XmlNode::removeChild(const XmlNode& child) const {
  xmlNodePtr parent = NodeAccess::raw(*this);
  xmlNodePtr node = NodeAccess::raw(child);
  if (node->parent != parent || node->type == XML_ATTRIBUTE_NODE)
    ThrowXml("The node to remove is not a child of this node.");
  xmlUnlinkNode(node);
  NodeAccess::data(child)->track(node);
  return child;
}

XmlNode XmlNode::cloneNode(bool deep) const {
  xmlNodePtr node = NodeAccess::raw(*this);
  if (IsDocument(node)) {
    auto data = NewDocumentData();
    xmlDocPtr copy = xmlCopyDoc(reinterpret_cast<xmlDocPtr>(node), deep ? 1 : 0);
    if (!copy) throw std::bad_alloc();
    xmlFreeDoc(data->doc);
    data->doc = copy;
    data->async = m_doc->async;
    data->selectionLanguage = m_doc->selectionLanguage;
    data->selectionNamespaces = m_doc->selectionNamespaces;
    data->xpathNamespaces = m_doc->xpathNamespaces;
    return NodeAccess::document(std::move(data));
  }
  xmlNodePtr copy = nullptr;
  switch (node->type) {
    case XML_ATTRIBUTE_NODE:
      copy = reinterpret_cast<xmlNodePtr>(xmlCopyProp(nullptr, reinterpret_cast<xmlAttrPtr>(node)));
      break;
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
      copy = xmlDocCopyNode(node, node->doc, deep ? 1 : 2);
      break;
    default:
      ThrowXml("A node of this type cannot be cloned.");
  }
  if (!copy) throw std::bad_alloc();
  m_doc->track(copy);
  return NodeAccess::make(m_doc, copy);
}

}  // namespace labelplu::xml
