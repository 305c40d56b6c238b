// labelplu XML DOM: XPath selection, element search, selection properties.
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <cctype>

#include "platform/xml/XmlInternal.h"

namespace labelplu::xml {

namespace {

void CaptureXPathError(void* userData, xmlErrorPtr error) {
  auto* message = static_cast<std::string*>(userData);
  if (!message || !error || !message->empty()) return;
  *message = error->message ? error->message : "XPath error";
  while (!message->empty() && (message->back() == '\n' || message->back() == ' '))
    message->pop_back();
}

struct ContextDeleter {
  void operator()(xmlXPathContextPtr ctx) const { xmlXPathFreeContext(ctx); }
};
struct ObjectDeleter {
  void operator()(xmlXPathObjectPtr obj) const { xmlXPathFreeObject(obj); }
};

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// "xmlns:a='uri' xmlns:b=\"uri\"" as (prefix, uri) pairs.
std::vector<std::pair<std::string, std::string>> ParseNamespaces(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> result;
  size_t i = 0;
  auto fail = [&] {
    ThrowXml("SelectionNamespaces must be a list of xmlns:prefix='uri' declarations: \"" +
             std::string(text) + "\".");
  };
  while (true) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i == text.size()) break;
    if (text.compare(i, 6, "xmlns:") != 0) fail();
    i += 6;
    const size_t eq = text.find('=', i);
    if (eq == std::string_view::npos || eq == i || eq + 1 >= text.size()) fail();
    std::string prefix(text.substr(i, eq - i));
    if (xmlValidateNCName(Xs(prefix), 0) != 0) fail();
    const char quote = text[eq + 1];
    if (quote != '\'' && quote != '"') fail();
    const size_t end = text.find(quote, eq + 2);
    if (end == std::string_view::npos) fail();
    result.emplace_back(std::move(prefix), std::string(text.substr(eq + 2, end - eq - 2)));
    i = end + 1;
  }
  return result;
}

// libxml2 2.9 does not compile an absolute location path whose first name
// begins with a non-ASCII letter when a predicate follows ("/Система[1]").
// "child::" is the default axis, so writing it out after every single "/"
// followed by such a name (outside string literals) changes no meaning.
std::string SpellOutChildAxis(const std::string& expression) {
  std::string out;
  out.reserve(expression.size() + 16);
  char quote = 0;
  for (size_t i = 0; i < expression.size(); ++i) {
    const char c = expression[i];
    out += c;
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
      continue;
    }
    if (c != '/' || (i > 0 && expression[i - 1] == '/')) continue;
    size_t next = i + 1;
    while (next < expression.size() && std::isspace(static_cast<unsigned char>(expression[next])))
      ++next;
    if (next < expression.size() && static_cast<unsigned char>(expression[next]) >= 0x80)
      out += "child::";
  }
  return out;
}

}  // namespace

XmlNodeList XmlNode::selectNodes(std::string_view xpath) const {
  xmlNodePtr node = NodeAccess::raw(*this);
  const std::string expression(xpath);
  if (expression.find('\0') != std::string::npos)
    ThrowXml("The XPath expression contains a zero character.");
  xmlDocPtr doc = (node->type == XML_DOCUMENT_NODE) ? reinterpret_cast<xmlDocPtr>(node) : node->doc;
  EnsureLibxmlInitialised();
  std::unique_ptr<xmlXPathContext, ContextDeleter> ctx(xmlXPathNewContext(doc));
  if (!ctx) throw std::bad_alloc();
  std::string message;
  ctx->node = node;
  ctx->error = CaptureXPathError;
  ctx->userData = &message;
  for (const auto& [prefix, uri] : m_doc->xpathNamespaces)
    if (xmlXPathRegisterNs(ctx.get(), Xs(prefix), Xs(uri)) != 0) throw std::bad_alloc();
  const std::string compiled = SpellOutChildAxis(expression);
  std::unique_ptr<xmlXPathObject, ObjectDeleter> result(
      xmlXPathEvalExpression(Xs(compiled), ctx.get()));
  if (!result) {
    if (message.empty()) message = "the expression cannot be evaluated";
    ThrowXml("XPath error in \"" + expression + "\": " + message + ".");
  }
  if (result->type != XPATH_NODESET)
    ThrowXml("The XPath expression \"" + expression + "\" does not select nodes.");
  std::vector<XmlNode> nodes;
  if (xmlNodeSetPtr set = result->nodesetval) {
    nodes.reserve(static_cast<size_t>(set->nodeNr));
    for (int i = 0; i < set->nodeNr; ++i) {
      xmlNodePtr found = set->nodeTab[i];
      // Namespace nodes are copies owned by the result: never handed out.
      if (!found || found->type == XML_NAMESPACE_DECL) continue;
      nodes.push_back(NodeAccess::make(m_doc, found));
    }
  }
  return XmlNodeList(std::move(nodes));
}

XmlNode XmlNode::selectSingleNode(std::string_view xpath) const {
  return selectNodes(xpath).item(0);
}

XmlNodeList XmlNode::getElementsByTagName(std::string_view name) const {
  xmlNodePtr root = NodeAccess::raw(*this);
  if (root->type != XML_ELEMENT_NODE && root->type != XML_DOCUMENT_NODE)
    ThrowXml("Only documents and elements can search their elements.");
  const bool all = name == "*";
  std::vector<XmlNode> nodes;
  xmlNodePtr node = root->children;
  while (node && node != root) {
    if (node->type == XML_ELEMENT_NODE && (all || QualifiedName(node) == name))
      nodes.push_back(NodeAccess::make(m_doc, node));
    if (node->type == XML_ELEMENT_NODE && node->children) {
      node = node->children;
      continue;
    }
    while (node != root && !node->next) node = node->parent;
    if (node != root) node = node->next;
  }
  return XmlNodeList(std::move(nodes));
}

void XmlDocument::setProperty(std::string_view name, std::string_view value) const {
  if (SameAscii(name, "SelectionLanguage")) {
    if (SameAscii(value, "XPath")) {
      m_doc->selectionLanguage = "XPath";
    } else if (SameAscii(value, "XSLPattern")) {
      m_doc->selectionLanguage = "XSLPattern";
    } else {
      ThrowXml("SelectionLanguage must be \"XPath\" or \"XSLPattern\", not \"" +
               std::string(value) + "\".");
    }
    return;
  }
  if (SameAscii(name, "SelectionNamespaces")) {
    m_doc->xpathNamespaces = ParseNamespaces(value);
    m_doc->selectionNamespaces = std::string(value);
    return;
  }
  ThrowXml("Unknown document property \"" + std::string(name) + "\".");
}

std::string XmlDocument::getProperty(std::string_view name) const {
  if (SameAscii(name, "SelectionLanguage")) return m_doc->selectionLanguage;
  if (SameAscii(name, "SelectionNamespaces")) return m_doc->selectionNamespaces;
  ThrowXml("Unknown document property \"" + std::string(name) + "\".");
}

}  // namespace labelplu::xml
