// labelplu XML DOM: documents, loading, node creation, properties.
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <mutex>

#include "platform/xml/XmlInternal.h"

namespace labelplu::xml {

namespace {

// The first fatal (else the first) error the parser reports for one load.
struct ParseFailure {
  bool seen = false;
  bool fatal = false;
  int line = 0;
  int column = 0;
  std::string message;
};

void CaptureParseError(void* userData, xmlErrorPtr error) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(userData);
  auto* failure = ctxt ? static_cast<ParseFailure*>(ctxt->_private) : nullptr;
  if (!failure || !error || error->level < XML_ERR_ERROR) return;
  const bool fatal = error->level == XML_ERR_FATAL;
  if (failure->seen && (failure->fatal || !fatal)) return;
  failure->seen = true;
  failure->fatal = fatal;
  failure->line = error->line;
  failure->column = error->int2;
  failure->message = error->message ? error->message : "unknown error";
  while (!failure->message.empty() &&
         (failure->message.back() == '\n' || failure->message.back() == '\r' ||
          failure->message.back() == ' '))
    failure->message.pop_back();
}

bool IsXmlBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsBlankText(const xmlChar* text) {
  if (!text) return true;
  for (; *text; ++text)
    if (!IsXmlBlank(static_cast<char>(*text))) return false;
  return true;
}

// The loaded tree as the automation DOM sees it by default: text nodes of
// blanks only are dropped unless xml:space="preserve" is in force.
void DropBlankText(xmlDocPtr doc) {
  xmlNodePtr node = doc->children;
  while (node) {
    xmlNodePtr next = nullptr;
    if (node->type == XML_ELEMENT_NODE && node->children) {
      next = node->children;
    } else {
      xmlNodePtr up = node;
      while (up && up != reinterpret_cast<xmlNodePtr>(doc) && !up->next) up = up->parent;
      next = (up && up != reinterpret_cast<xmlNodePtr>(doc)) ? up->next : nullptr;
    }
    if (node->type == XML_TEXT_NODE && IsBlankText(node->content) &&
        (!node->parent || xmlNodeGetSpacePreserve(node->parent) != 1)) {
      xmlUnlinkNode(node);
      xmlFreeNode(node);
    }
    node = next;
  }
}

struct CtxtDeleter {
  void operator()(xmlParserCtxtPtr ctxt) const { xmlFreeParserCtxt(ctxt); }
};

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

// The text is decoded already: the declaration is taken out of what the
// parser sees (blanked, line breaks kept so that error lines stay true)
// and kept as the "xml" processing instruction, as written. Returns the
// declaration's data; nothing when the text starts with none.
std::optional<std::string> TakeDeclaration(std::string& buffer) {
  if (buffer.size() < 7 || buffer.compare(0, 5, "<?xml") != 0 ||
      !(IsXmlBlank(buffer[5]) || buffer[5] == '?'))
    return std::nullopt;
  const size_t end = buffer.find("?>", 5);
  if (end == std::string::npos) return std::nullopt;
  size_t start = 5;
  while (start < end && IsXmlBlank(buffer[start])) ++start;
  std::string declaration = buffer.substr(start, end - start);
  for (size_t i = 0; i < end + 2; ++i)
    if (buffer[i] != '\n' && buffer[i] != '\r') buffer[i] = ' ';
  return declaration;
}

// Parses buffer with ctxt, the errors going into failure. The tree when the
// text is well-formed; else null (a partial tree is freed).
xmlDocPtr ParseWellFormed(xmlParserCtxtPtr ctxt, const std::string& buffer, ParseFailure& failure) {
  ctxt->_private = &failure;
  ctxt->sax->serror = CaptureParseError;
  // No network, no DTD loading, no entity substitution (so no external
  // entity is ever read), libxml2's expansion limits left in force.
  const int options =
      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC;
  xmlDocPtr parsed = xmlCtxtReadMemory(ctxt, buffer.data(), static_cast<int>(buffer.size()),
                                       nullptr, "UTF-8", options);
  if (parsed && ctxt->wellFormed) return parsed;
  if (parsed) xmlFreeDoc(parsed);
  return nullptr;
}

// The current tree leaves the document: kept while handles may point into
// it, freed when it is empty and nothing was created in it.
void RetireTree(DocumentData& data) {
  if (data.doc->children || !data.detached.empty()) {
    data.retired.push_back(data.doc);
  } else {
    xmlFreeDoc(data.doc);
  }
  data.doc = nullptr;
}

// The error of a failed parse: the error captured, else the parser's last
// one, else a general message.
XmlParseError ParseErrorOf(ParseFailure failure, xmlParserCtxtPtr ctxt) {
  if (!failure.seen) {
    const xmlError* last = xmlCtxtGetLastError(ctxt);
    failure.line = last ? last->line : 0;
    failure.message = (last && last->message) ? last->message : "the text is not well-formed XML";
    while (!failure.message.empty() && failure.message.back() == '\n') failure.message.pop_back();
  }
  return XmlParseError(failure.line, failure.column, failure.message);
}

// The declaration as the first node of a parsed tree, a processing
// instruction with target "xml".
void InsertDeclaration(xmlDocPtr parsed, const std::string& declaration) {
  xmlNodePtr pi = xmlNewDocPI(parsed, reinterpret_cast<const xmlChar*>("xml"), Xs(declaration));
  if (!pi) throw std::bad_alloc();
  xmlNodePtr first = parsed->children;
  pi->parent = reinterpret_cast<xmlNodePtr>(parsed);
  pi->next = first;
  if (first) {
    first->prev = pi;
  } else {
    parsed->last = pi;
  }
  parsed->children = pi;
}

}  // namespace

DocumentData::~DocumentData() {
  // Free loose subtrees first: freeing a node consults its document's
  // dictionary, so the documents go last.
  for (xmlNodePtr node : detached) {
    if (node->parent) continue;
    if (node->type == XML_ATTRIBUTE_NODE) {
      xmlFreeProp(reinterpret_cast<xmlAttrPtr>(node));
    } else {
      xmlFreeNode(node);
    }
  }
  for (xmlDocPtr old : retired) xmlFreeDoc(old);
  xmlFreeDoc(doc);
}

void EnsureLibxmlInitialised() {
  static std::once_flag once;
  std::call_once(once, [] { xmlInitParser(); });
}

std::shared_ptr<DocumentData> NewDocumentData() {
  EnsureLibxmlInitialised();
  xmlDocPtr tree = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
  if (!tree) throw std::bad_alloc();
  return std::make_shared<DocumentData>(tree);
}

XmlDocument::XmlDocument() : XmlNode(NewDocumentData(), nullptr) {
  m_node = m_doc.get();
}

XmlDocument::XmlDocument(std::shared_ptr<DocumentData> doc) noexcept
    : XmlNode(std::move(doc), nullptr) {
  m_node = m_doc.get();
}

XmlDocument XmlDocument::ofNode(const XmlNode& node) {
  NodeAccess::raw(node);
  return XmlDocument(NodeAccess::data(node));
}

void XmlDocument::loadXML(std::string_view text) const {
  EnsureLibxmlInitialised();
  std::string buffer(WithoutByteOrderMark(text));
  const std::optional<std::string> declaration = TakeDeclaration(buffer);
  if (buffer.size() > static_cast<size_t>(INT_MAX))
    throw XmlParseError(0, 0, "the document is too large");

  std::unique_ptr<xmlParserCtxt, CtxtDeleter> ctxt(xmlNewParserCtxt());
  if (!ctxt) throw std::bad_alloc();
  ParseFailure failure;
  xmlDocPtr parsed = ParseWellFormed(ctxt.get(), buffer, failure);

  DocumentData& data = *m_doc;
  RetireTree(data);
  if (!parsed) {
    data.doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (!data.doc) throw std::bad_alloc();
    throw ParseErrorOf(failure, ctxt.get());
  }

  data.doc = parsed;
  DropBlankText(parsed);
  if (declaration) InsertDeclaration(parsed, *declaration);
}

XmlNode XmlDocument::documentElement() const {
  return NodeAccess::make(m_doc, xmlDocGetRootElement(m_doc->doc));
}

void XmlDocument::setDocumentElement(const XmlNode& element) const {
  XmlNode old = documentElement();
  if (element.isNull()) {
    if (old) removeChild(old);
    return;
  }
  if (element.nodeType() != NodeType::Element) ThrowXml("The document element must be an element.");
  if (old == element) return;
  if (old) {
    const XmlNode next = old.nextSibling();
    removeChild(old);
    insertBefore(element, next);
  } else {
    appendChild(element);
  }
}

namespace {

void CheckName(std::string_view name, bool qualified) {
  const std::string text(name);
  const bool valid =
      !text.empty() && text.find('\0') == std::string::npos &&
      (qualified ? xmlValidateQName(Xs(text), 0) == 0 : xmlValidateNCName(Xs(text), 0) == 0);
  if (!valid) ThrowXml("\"" + text + "\" is not a valid XML name.");
}

}  // namespace

XmlNode XmlDocument::createElement(std::string_view name) const {
  CheckName(name, true);
  xmlNodePtr node = xmlNewDocNode(m_doc->doc, nullptr, Xs(std::string(name)), nullptr);
  if (!node) throw std::bad_alloc();
  m_doc->track(node);
  return NodeAccess::make(m_doc, node);
}

XmlNode XmlDocument::createProcessingInstruction(std::string_view target,
                                                 std::string_view data) const {
  CheckName(target, false);
  if (data.find("?>") != std::string_view::npos)
    ThrowXml("The data of a processing instruction cannot contain \"?>\".");
  xmlNodePtr node = xmlNewDocPI(m_doc->doc, Xs(std::string(target)), Xs(std::string(data)));
  if (!node) throw std::bad_alloc();
  m_doc->track(node);
  return NodeAccess::make(m_doc, node);
}

XmlNode XmlDocument::createTextNode(std::string_view text) const {
  xmlNodePtr node = xmlNewDocTextLen(m_doc->doc, reinterpret_cast<const xmlChar*>(text.data()),
                                     static_cast<int>(text.size()));
  if (!node) throw std::bad_alloc();
  m_doc->track(node);
  return NodeAccess::make(m_doc, node);
}

XmlNode XmlDocument::createComment(std::string_view text) const {
  if (text.find("--") != std::string_view::npos || (!text.empty() && text.back() == '-'))
    ThrowXml("A comment cannot contain \"--\" or end with \"-\".");
  xmlNodePtr node = xmlNewDocComment(m_doc->doc, Xs(std::string(text)));
  if (!node) throw std::bad_alloc();
  m_doc->track(node);
  return NodeAccess::make(m_doc, node);
}

XmlNode XmlDocument::createCDATASection(std::string_view text) const {
  if (text.find("]]>") != std::string_view::npos)
    ThrowXml("A CDATA section cannot contain \"]]>\".");
  xmlNodePtr node = xmlNewCDataBlock(m_doc->doc, reinterpret_cast<const xmlChar*>(text.data()),
                                     static_cast<int>(text.size()));
  if (!node) throw std::bad_alloc();
  m_doc->track(node);
  return NodeAccess::make(m_doc, node);
}

bool XmlDocument::async() const {
  return m_doc->async;
}

void XmlDocument::setAsync(bool value) const {
  m_doc->async = value;
}

}  // namespace labelplu::xml
