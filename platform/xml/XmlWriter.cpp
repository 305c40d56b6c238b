// labelplu XML DOM: the "xml" text of a node, written as the automation DOM
// writes it: no indentation, CR LF only after top-level nodes of a document.
//
// The tree is walked without recursion (a tree built through the API may be
// deeper than the parser would allow). Namespace prefixes used inside the
// written subtree but declared outside it are declared where they are used,
// so that a node's text is a document on its own.
#include <libxml/tree.h>

#include <algorithm>

#include "platform/xml/XmlInternal.h"

namespace labelplu::xml {

namespace {

void EscapeText(std::string& out, const xmlChar* text, bool attribute) {
  if (!text) return;
  for (const xmlChar* p = text; *p; ++p) {
    switch (*p) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        if (attribute) {
          out += "&quot;";
        } else {
          out += '"';
        }
        break;
      case '\r':
        out += "&#13;";
        break;
      case '\n':
        if (attribute) {
          out += "&#10;";
        } else {
          out += '\n';
        }
        break;
      case '\t':
        if (attribute) {
          out += "&#9;";
        } else {
          out += '\t';
        }
        break;
      default:
        out += static_cast<char>(*p);
    }
  }
}

// Attribute content: text children escaped, entity references kept.
void WriteAttributeValue(std::string& out, xmlAttrPtr attr) {
  for (xmlNodePtr child = attr->children; child; child = child->next) {
    if (child->type == XML_ENTITY_REF_NODE) {
      out += '&';
      out += FromXs(child->name);
      out += ';';
    } else {
      EscapeText(out, child->content, true);
    }
  }
}

// The prefixes declared in the text written so far, innermost last.
class Scope {
 public:
  bool declares(const std::string& prefix, const std::string& uri) const {
    // The innermost declaration of the prefix counts.
    const auto found = std::find_if(m_entries.rbegin(), m_entries.rend(),
                                    [&](const auto& entry) { return entry.first == prefix; });
    if (found != m_entries.rend()) return found->second == uri;
    return prefix == "xml";
  }
  void add(std::string prefix, std::string uri) {
    m_entries.emplace_back(std::move(prefix), std::move(uri));
  }
  size_t mark() const { return m_entries.size(); }
  void pop(size_t mark) { m_entries.resize(mark); }

 private:
  std::vector<std::pair<std::string, std::string>> m_entries;
};

void Declare(std::string& out, Scope& scope, const std::string& prefix, const std::string& uri) {
  out += prefix.empty() ? " xmlns=\"" : " xmlns:" + prefix + "=\"";
  EscapeText(out, Xs(uri), true);
  out += '"';
  scope.add(prefix, uri);
}

void NeedNamespace(std::string& out, Scope& scope, xmlNsPtr ns) {
  if (!ns) return;
  const std::string prefix = FromXs(ns->prefix);
  const std::string uri = FromXs(ns->href);
  if (!scope.declares(prefix, uri)) Declare(out, scope, prefix, uri);
}

void WriteStartTag(std::string& out, xmlNodePtr elem, Scope& scope) {
  out += '<';
  out += QualifiedName(elem);
  for (xmlNsPtr ns = elem->nsDef; ns; ns = ns->next)
    Declare(out, scope, FromXs(ns->prefix), FromXs(ns->href));
  bool plainDataType = false;
  for (xmlAttrPtr attr = elem->properties; attr; attr = attr->next) {
    const std::string name = QualifiedName(reinterpret_cast<xmlNodePtr>(attr));
    out += ' ';
    out += name;
    out += "=\"";
    WriteAttributeValue(out, attr);
    out += '"';
    if (!attr->ns && name.compare(0, 6, "xmlns:") == 0) {
      scope.add(name.substr(6), AttributeValue(attr));
    } else if (!attr->ns && name == "xmlns") {
      scope.add("", AttributeValue(attr));
    }
    if (!attr->ns && name == "dt:dt") plainDataType = true;
  }
  NeedNamespace(out, scope, elem->ns);
  for (xmlAttrPtr attr = elem->properties; attr; attr = attr->next)
    NeedNamespace(out, scope, attr->ns);
  // A data type set through the API is a plain "dt:dt" attribute; its
  // prefix is declared here unless the element or an ancestor does it.
  if (plainDataType && !scope.declares("dt", std::string(kDataTypesNamespace)))
    Declare(out, scope, "dt", std::string(kDataTypesNamespace));
}

void WriteLeaf(std::string& out, xmlNodePtr node) {
  switch (node->type) {
    case XML_TEXT_NODE:
      EscapeText(out, node->content, false);
      break;
    case XML_CDATA_SECTION_NODE:
      out += "<![CDATA[";
      out += FromXs(node->content);
      out += "]]>";
      break;
    case XML_COMMENT_NODE:
      out += "<!--";
      out += FromXs(node->content);
      out += "-->";
      break;
    case XML_PI_NODE:
      out += "<?";
      out += FromXs(node->name);
      if (node->content && *node->content) {
        out += ' ';
        out += FromXs(node->content);
      }
      out += "?>";
      break;
    case XML_ENTITY_REF_NODE:
      out += '&';
      out += FromXs(node->name);
      out += ';';
      break;
    case XML_ATTRIBUTE_NODE:
      out += QualifiedName(node);
      out += "=\"";
      WriteAttributeValue(out, reinterpret_cast<xmlAttrPtr>(node));
      out += '"';
      break;
    case XML_DTD_NODE: {
      xmlBufferPtr buffer = xmlBufferCreate();
      if (!buffer) throw std::bad_alloc();
      xmlNodeDump(buffer, node->doc, node, 0, 0);
      out += FromXs(xmlBufferContent(buffer));
      xmlBufferFree(buffer);
      break;
    }
    default:
      break;
  }
}

// One node and its subtree, appended to out.
void WriteTree(std::string& out, xmlNodePtr root) {
  if (root->type != XML_ELEMENT_NODE) {
    WriteLeaf(out, root);
    return;
  }
  Scope scope;
  std::vector<size_t> marks;
  xmlNodePtr node = root;
  while (node) {
    if (node->type == XML_ELEMENT_NODE) {
      marks.push_back(scope.mark());
      WriteStartTag(out, node, scope);
      if (node->children) {
        out += '>';
        node = node->children;
        continue;
      }
      out += "/>";
      scope.pop(marks.back());
      marks.pop_back();
    } else {
      WriteLeaf(out, node);
    }
    // Climb while the subtree is done, closing the elements left.
    while (node != root && !node->next) {
      node = node->parent;
      out += "</";
      out += QualifiedName(node);
      out += '>';
      scope.pop(marks.back());
      marks.pop_back();
    }
    node = node == root ? nullptr : node->next;
  }
}

}  // namespace

std::string WriteXml(xmlNodePtr node) {
  std::string out;
  if (node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE) {
    for (xmlNodePtr child = node->children; child; child = child->next) {
      WriteTree(out, child);
      out += "\r\n";
    }
  } else {
    WriteTree(out, node);
  }
  return out;
}

}  // namespace labelplu::xml
