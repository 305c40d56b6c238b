// labelplu XML DOM: documents, nodes and node lists over libxml2, with the
// operations and the observable behaviour of the automation DOM the driver's
// settings documents and label templates were written for.
//
//   XmlDocument doc;                                  // a new, empty document
//   doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\""));
//   XmlNode root = doc.createElement("Устройство");
//   doc.setDocumentElement(root);
//   root.setAttribute("Код", "{...}");
//   std::string text = doc.xml();   // "<?xml version=\"1.0\"?>\r\n<Устройство Код=\"{...}\"/>\r\n"
//
// Handles. XmlDocument, XmlNode and XmlNodeList are cheap handles with
// reference semantics, like the interface pointers of the automation DOM:
// copying a handle refers to the same document or node, it does not copy the
// tree (use cloneNode for that). Like a pointer, a const handle may still
// change the tree it refers to: every member is const. Every node handle
// holds a shared reference to its document, so a handle never dangles: the
// document (with every node created in it, attached or not) lives until its
// last handle is gone.
//
// Text. Every text in and out is UTF-8. loadXML takes text that is already
// decoded: an encoding named in its XML declaration (UTF-16, windows-1251,
// ...) plays no part in parsing, and the declaration is kept as written as a
// processing instruction node with target "xml", which "xml" writes back.
//
// Loading follows the automation DOM's defaults: text nodes consisting only
// of blanks (space, tab, CR, LF) are dropped unless an ancestor carries
// xml:space="preserve"; entities stay references (never expanded into the
// tree by the parser); no DTD and nothing from the network or the file
// system is loaded; libxml2's limits against entity expansion stay in force.
//
// Serialisation ("xml"): the document writes each top-level node followed by
// CR LF; inside elements nothing is added (no indentation, no line breaks).
// Empty elements are written "<a/>"; attributes in the order they were set
// (namespace declarations that came from parsing come first), quoted with
// double quotes, with & < > " written as &amp; &lt; &gt; &quot; and CR, LF,
// TAB as &#13; &#10; &#9; (so that a value survives a round trip); text with
// & < > escaped; CDATA sections, comments and processing instructions as
// written.
//
// Errors. Every failure raises XmlError (or XmlParseError for a document
// that is not well-formed) with a message a user can act on; lack of memory
// raises std::bad_alloc. Nothing fails silently.
//
// Threads. A document and its handles belong to one thread at a time;
// different documents may be used on different threads at once. The layer
// never changes libxml2's process-wide settings and never calls
// xmlCleanupParser (the host may use libxml2 itself).
#ifndef LABELPLU_PLATFORM_XML_XMLDOM_H
#define LABELPLU_PLATFORM_XML_XMLDOM_H

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "labelplu/oleauto.h"
#include "platform/ole/ComPtr.h"

namespace labelplu::xml {

// A failed DOM operation: an XPath expression that does not parse or does
// not select nodes, a name that is not an XML name, an operation the node
// type does not support, an insertion that would break the tree, a
// "bin.base64" content that is not base64. The message is UTF-8 in what().
class XmlError : public std::runtime_error {
 public:
  explicit XmlError(const std::string& message);
  ~XmlError() override;
};

// loadXML of a text that is not a well-formed XML document. what() reads
// "XML parse error at line <line>: <parser's message>".
class XmlParseError : public XmlError {
 public:
  XmlParseError(int line, int column, const std::string& reason);
  ~XmlParseError() override;

  int line() const noexcept { return m_line; }                     // 1-based; 0 when unknown
  int column() const noexcept { return m_column; }                 // 1-based; 0 when unknown
  const std::string& reason() const noexcept { return m_reason; }  // the parser's message

 private:
  int m_line;
  int m_column;
  std::string m_reason;
};

// The node types, numbered as in the W3C DOM (nodeType).
enum class NodeType : int32_t {
  Element = 1,
  Attribute = 2,
  Text = 3,
  CData = 4,
  EntityReference = 5,
  Entity = 6,
  ProcessingInstruction = 7,
  Comment = 8,
  Document = 9,
  DocumentType = 10,
  DocumentFragment = 11,
  Notation = 12
};

// The namespace of the typed-value attribute "dt:dt" (dataType).
inline constexpr std::string_view kDataTypesNamespace = "urn:schemas-microsoft-com:datatypes";

class XmlDocument;
class XmlNodeList;
struct DocumentData;  // internal: the libxml2 document and its bookkeeping

// A node of a document, or the null node (what a selection that found
// nothing, documentElement of an empty document, firstChild of a leaf...
// give). Every member except isNull/operator bool/operator== raises
// XmlError on the null node. Attribute nodes are handed out only by XPath
// ("//@Код"); they show no children.
class XmlNode {
 public:
  XmlNode() noexcept;  // the null node
  XmlNode(const XmlNode&) noexcept;
  XmlNode(XmlNode&&) noexcept;
  XmlNode& operator=(const XmlNode&) noexcept;
  XmlNode& operator=(XmlNode&&) noexcept;
  ~XmlNode();

  bool isNull() const noexcept { return m_node == nullptr; }
  explicit operator bool() const noexcept { return m_node != nullptr; }
  // Same node of the same document (two null nodes are equal).
  friend bool operator==(const XmlNode& a, const XmlNode& b) noexcept {
    return a.m_node == b.m_node;
  }

  NodeType nodeType() const;
  // Elements: the qualified name ("Параметр", "dt:x"); processing
  // instructions: the target; otherwise "#text", "#cdata-section",
  // "#comment", "#document", "#document-fragment", the entity or doctype name.
  std::string nodeName() const;
  // The node written as text (see the top of this file). For a document:
  // every top-level node followed by CR LF; for any other node: the node and
  // its subtree with nothing added.
  std::string xml() const;
  // The text content: for elements and documents the concatenated text of
  // all descendant text and CDATA nodes; for text, CDATA, comments and
  // processing instructions their own text (a PI: its data).
  std::string text() const;
  // Elements: replaces all children by one text node (none when text is
  // empty). Text, CDATA, comment, processing instruction: sets the content.
  // Documents: XmlError.
  void setText(std::string_view text) const;

  // The document this node belongs to (a document's own is itself).
  XmlDocument ownerDocument() const;
  XmlNode parentNode() const;  // null for a document and for detached nodes
  XmlNode firstChild() const;
  XmlNode lastChild() const;
  XmlNode previousSibling() const;
  XmlNode nextSibling() const;
  bool hasChildNodes() const;
  // The line of the source text on which the node began (1-based), for
  // nodes that loadXML parsed; 0 for nodes created since, and for lines
  // from 65535 on, which the parser does not tell apart. Attribute nodes
  // give their element's line.
  int32_t lineNumber() const;
  // A snapshot of the children in order (later changes to the tree do not
  // change the list).
  XmlNodeList childNodes() const;

  // Appends child as the last child of this node and returns it. A node
  // that already has a parent is moved. A node of another document is
  // copied deeply into this document and the copy is inserted and returned.
  // XmlError when this node cannot hold children (text, attribute, ...),
  // when child is this node or one of its ancestors, when child is a
  // document, or when a document would get a second element or a text node.
  XmlNode appendChild(const XmlNode& child) const;
  // Inserts child before ref (a child of this node) and returns it; a null
  // ref appends. Same rules as appendChild; XmlError when ref is not a
  // child of this node.
  XmlNode insertBefore(const XmlNode& child, const XmlNode& ref) const;
  // Detaches child (a child of this node) and returns it; it stays usable
  // and may be inserted again. XmlError when child is not a child of this.
  XmlNode removeChild(const XmlNode& child) const;
  // A copy of this node in the same document, not attached; deep copies the
  // subtree too, otherwise an element keeps only its attributes. A document
  // cloned gives a new document (returned as its document node).
  XmlNode cloneNode(bool deep) const;

  // XPath 1.0, evaluated with this node as the context node (a relative
  // path such as "Label/Item" on a document starts at the document node).
  // The nodes in document order. XmlError with the reason when the
  // expression does not parse or its result is not a node-set.
  XmlNodeList selectNodes(std::string_view xpath) const;
  // The first node of selectNodes(xpath), or the null node.
  XmlNode selectSingleNode(std::string_view xpath) const;
  // The descendant elements (documents and elements only) whose qualified
  // name equals name exactly, or all of them for "*", in document order.
  XmlNodeList getElementsByTagName(std::string_view name) const;

  // ---- Elements only (XmlError on other node types) ----

  // The value of the attribute of that qualified name; std::nullopt when
  // the element has none. "xmlns" / "xmlns:p" read namespace declarations.
  std::optional<std::string> getAttribute(std::string_view name) const;
  // Sets the attribute: an existing one keeps its position, a new one goes
  // last. XmlError when name is not an XML name.
  void setAttribute(std::string_view name, std::string_view value) const;
  // As above with a variant value converted to text as the automation DOM
  // does: a text as it is; VT_BOOL as "-1" / "0"; empty and null as "";
  // numbers and dates in the process formats (decimal separator ",").
  // Arrays and objects raise XmlError.
  void setAttribute(std::string_view name, const VARIANT& value) const;
  // Removes the attribute; nothing happens when there is none.
  void removeAttribute(std::string_view name) const;
  // The attributes in order as (qualified name, value); namespace
  // declarations that came from parsing come first as ("xmlns:p", uri).
  std::vector<std::pair<std::string, std::string>> attributes() const;

  // The typed-value type: the value of the attribute "dt:dt" in the
  // namespace kDataTypesNamespace (or of a plain "dt:dt" attribute), "" when
  // absent.
  std::string dataType() const;
  // Sets "dt:dt" to type ("bin.base64"); an empty type removes it. The
  // writer declares xmlns:dt on the element when no ancestor does.
  void setDataType(std::string_view type) const;
  // The typed value as bytes: for "bin.base64" the text content decoded from
  // base64 (blanks and line breaks ignored). XmlError when the data type is
  // not "bin.base64" or the text is not base64.
  std::vector<uint8_t> nodeTypedBytes() const;
  // Sets the data type to "bin.base64" when it is not, and the text content
  // to the base64 form of bytes with a line feed after every 72 characters
  // (as the automation DOM writes it; readers ignore the line feeds).
  void setNodeTypedBytes(std::span<const uint8_t> bytes) const;

 protected:
  XmlNode(std::shared_ptr<DocumentData> doc, void* node) noexcept;

  std::shared_ptr<DocumentData> m_doc;
  void* m_node = nullptr;  // xmlNodePtr (xmlDocPtr for the document node)

  friend class XmlDocument;
  friend class XmlNodeList;
  friend struct NodeAccess;  // internal
};

// A fixed list of nodes (a snapshot, as selectNodes / childNodes /
// getElementsByTagName returned it).
class XmlNodeList {
 public:
  XmlNodeList() = default;
  explicit XmlNodeList(std::vector<XmlNode> nodes) noexcept : m_nodes(std::move(nodes)) {}

  int32_t length() const noexcept { return static_cast<int32_t>(m_nodes.size()); }
  // The node at index (0-based), or the null node outside 0..length-1.
  XmlNode item(int32_t index) const;

  auto begin() const noexcept { return m_nodes.begin(); }
  auto end() const noexcept { return m_nodes.end(); }
  const std::vector<XmlNode>& nodes() const noexcept { return m_nodes; }

 private:
  std::vector<XmlNode> m_nodes;
};

// A document: a handle to a tree (see the top of this file). As a node it is
// the document node: appendChild, insertBefore, childNodes, selectNodes, xml
// and the rest work on it.
class XmlDocument : public XmlNode {
 public:
  // A new, empty document (no nodes, "SelectionLanguage" "XPath", async true).
  XmlDocument();

  // The document a node belongs to (the node itself for a document node).
  // XmlError on the null node.
  static XmlDocument ofNode(const XmlNode& node);

  // Replaces the whole content with the document parsed from text (already
  // decoded UTF-8, an encoding declaration ignored, see the top of this
  // file; a leading UTF-8 byte order mark is skipped). On failure the
  // document is left empty and XmlParseError is raised with the line and
  // the parser's message.
  void loadXML(std::string_view text) const;

  // The root element, or the null node.
  XmlNode documentElement() const;
  // Makes element the root: replaces the present root in place (the old one
  // is detached) or appends it after the other top-level nodes. A null
  // element removes the root. XmlError when element is not an element.
  void setDocumentElement(const XmlNode& element) const;

  // New nodes of this document, not attached to the tree. XmlError when
  // name/target is not an XML name. A processing instruction with target
  // "xml" is allowed (the declaration, as the automation DOM does).
  XmlNode createElement(std::string_view name) const;
  XmlNode createProcessingInstruction(std::string_view target, std::string_view data) const;
  XmlNode createTextNode(std::string_view text) const;
  XmlNode createComment(std::string_view text) const;
  XmlNode createCDATASection(std::string_view text) const;

  // "async": stored and reported; loading is always synchronous.
  bool async() const;
  void setAsync(bool value) const;

  // Properties by name (case-insensitive): "SelectionLanguage" ("XPath" or
  // "XSLPattern"; selections always use XPath 1.0) and "SelectionNamespaces"
  // (a blank-separated list of xmlns:prefix='uri' declarations, which XPath
  // expressions may then use). XmlError for another name or a bad value.
  void setProperty(std::string_view name, std::string_view value) const;
  std::string getProperty(std::string_view name) const;

 private:
  explicit XmlDocument(std::shared_ptr<DocumentData> doc) noexcept;
  friend class XmlNode;
  friend struct NodeAccess;
};

// ---- Documents as automation objects ------------------------------------
//
// A document, node or node list crosses the host boundary as an IDispatch
// answering by late binding (names case-insensitive):
//   every node: "xml", "text" (get/put), "nodeName", "nodeType",
//     "parentNode", "firstChild", "lastChild", "previousSibling",
//     "nextSibling", "childNodes", "hasChildNodes", "ownerDocument",
//     "appendChild"(node), "insertBefore"(node, ref), "removeChild"(node),
//     "cloneNode"(deep), "selectNodes"(path), "selectSingleNode"(path),
//     "getElementsByTagName"(name);
//   elements also: "getAttribute"(name) (VT_NULL when absent),
//     "setAttribute"(name, value), "removeAttribute"(name),
//     "dataType" (get/put), "nodeTypedValue" (get/put; bytes as a
//     VT_ARRAY|VT_UI1 safe array for "bin.base64", else the text);
//   documents also: "loadXML"(text) (VT_BOOL true; a malformed text raises
//     the parse error), "documentElement" (get/put/putref), "createElement",
//     "createProcessingInstruction", "createTextNode", "createComment",
//     "createCDATASection", "async" (get/put), "setProperty"(name, value),
//     "getProperty"(name);
//   node lists: "length", "item"(index) (also the default member, DISPID 0).
// Node results are IDispatch objects (VT_DISPATCH; null when there is no
// node). A failure returns DISP_E_EXCEPTION with the message in EXCEPINFO
// and in the thread's error information; an unknown name
// DISP_E_UNKNOWNNAME, a wrong argument count DISP_E_BADPARAMCOUNT.

// The automation object of a document or node: a new object holding a
// reference to the document (the ComPtr holds the one reference; detach()
// to hand it to a VARIANT). The document node gives a document object.
// XmlError on the null node.
ole::ComPtr<IDispatch> NewNodeDispatch(const XmlNode& node);
// The automation object of a node list.
ole::ComPtr<IDispatch> NewNodeListDispatch(const XmlNodeList& list);

// The document behind an automation object a host handed over: for this
// module's own document object, that same document (no copy); for any other
// object (another DOM, or one of our non-document nodes), a new document
// parsed from the text its "xml" property gives. Raises XmlError when the
// object is null or has no readable "xml" property, XmlParseError when the
// text is not well-formed.
XmlDocument DocumentFromDispatch(IDispatch* object);

// The node behind one of this module's own node or document objects;
// std::nullopt for any other object (null included).
std::optional<XmlNode> OwnNodeFromDispatch(IDispatch* object);

// Base64 of bytes (RFC 4648 alphabet, with padding, no line breaks), and
// back (blanks and line breaks ignored; std::nullopt when text is not base64).
std::string EncodeBase64(std::span<const uint8_t> bytes);
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text);

}  // namespace labelplu::xml

#endif  // LABELPLU_PLATFORM_XML_XMLDOM_H
