#include "documents/xml_document.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>

namespace documents {
namespace {

// libxml2's reports stay in the parser context (its lastError), never on stderr.
void IgnoreError(void*, xmlErrorPtr) {}

// The deepest element nesting below the root, the root being 1.
int ElementDepth(const xmlNode* root, int stopAbove) {
  int depth = 1;
  int deepest = 1;
  const xmlNode* node = root;
  while (node != nullptr) {
    if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
      node = node->children;
      ++depth;
      if (node->type == XML_ELEMENT_NODE && depth > deepest) deepest = depth;
      if (deepest > stopAbove) return deepest;
      continue;
    }
    while (node != root && node->next == nullptr) {
      node = node->parent;
      --depth;
    }
    if (node == root) break;
    node = node->next;
    if (node->type == XML_ELEMENT_NODE && depth > deepest) deepest = depth;
  }
  return deepest;
}

}  // namespace

TXmlDocument::TXmlDocument(const std::string& bytes, const TReadLimits& limits,
                           const std::string& what) {
  if (bytes.size() > static_cast<size_t>(INT_MAX)) throw EDocumentError(what + " e' troppo grande");
  xmlParserCtxtPtr context = xmlNewParserCtxt();
  if (context == nullptr) throw EDocumentError("memoria insufficiente per leggere " + what);
  context->sax->serror = IgnoreError;
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  doc_ = xmlCtxtReadMemory(context, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                           options);
  const bool wellFormed = context->wellFormed != 0;
  // The parser's own bound on nesting, without XML_PARSE_HUGE.
  const bool tooDeep = context->lastError.message != nullptr &&
                       std::strstr(context->lastError.message, "depth") != nullptr;
  xmlFreeParserCtxt(context);
  const std::string deepReason = what + " ha elementi annidati troppo in profondita'";
  if (doc_ == nullptr || !wellFormed || xmlDocGetRootElement(doc_) == nullptr) {
    if (doc_ != nullptr) xmlFreeDoc(doc_);
    doc_ = nullptr;
    throw EDocumentError(tooDeep ? deepReason : what + " non e' XML valido");
  }
  if (ElementDepth(xmlDocGetRootElement(doc_), limits.maxDepth) > limits.maxDepth) {
    xmlFreeDoc(doc_);
    doc_ = nullptr;
    throw EDocumentError(deepReason);
  }
}

TXmlDocument::~TXmlDocument() {
  if (doc_ != nullptr) xmlFreeDoc(doc_);
}

const xmlNode* TXmlDocument::Root() const { return xmlDocGetRootElement(doc_); }

void WalkBelow(const xmlNode* root, const std::function<bool(const xmlNode*)>& enter,
               const std::function<void(const xmlNode*)>& leave) {
  if (root == nullptr || root->children == nullptr) return;
  const xmlNode* node = root->children;
  for (;;) {
    const bool descend = enter(node);
    if (descend && node->type == XML_ELEMENT_NODE && node->children != nullptr) {
      node = node->children;
      continue;
    }
    if (leave) leave(node);
    while (node->next == nullptr) {
      node = node->parent;
      if (node == root) return;
      if (leave) leave(node);
    }
    node = node->next;
  }
}

std::string LocalName(const xmlNode* node) {
  if (node == nullptr || node->type != XML_ELEMENT_NODE || node->name == nullptr) return "";
  return reinterpret_cast<const char*>(node->name);
}

bool IsElement(const xmlNode* node, const char* localName) {
  return node != nullptr && node->type == XML_ELEMENT_NODE && node->name != nullptr &&
         std::strcmp(reinterpret_cast<const char*>(node->name), localName) == 0;
}

bool InNamespace(const xmlNode* node, const char* uri) {
  return node != nullptr && node->type == XML_ELEMENT_NODE && node->ns != nullptr &&
         node->ns->href != nullptr && std::strcmp(reinterpret_cast<const char*>(node->ns->href), uri) == 0;
}

std::string Attribute(const xmlNode* node, const char* localName) {
  if (node == nullptr || node->type != XML_ELEMENT_NODE) return "";
  for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    if (attr->name == nullptr || std::strcmp(reinterpret_cast<const char*>(attr->name), localName) != 0)
      continue;
    std::string value;
    for (const xmlNode* child = attr->children; child != nullptr; child = child->next)
      if (child->content != nullptr) value += reinterpret_cast<const char*>(child->content);
    return value;
  }
  return "";
}

std::string NodeText(const xmlNode* node) {
  if (node == nullptr || (node->type != XML_TEXT_NODE && node->type != XML_CDATA_SECTION_NODE) ||
      node->content == nullptr)
    return "";
  return reinterpret_cast<const char*>(node->content);
}

std::string TextOf(const xmlNode* node) {
  if (node == nullptr) return "";
  if (node->type != XML_ELEMENT_NODE) return NodeText(node);
  std::string text;
  WalkBelow(
      node,
      [&text](const xmlNode* below) {
        text += NodeText(below);
        return true;
      },
      nullptr);
  return text;
}

const xmlNode* FirstChild(const xmlNode* node, const char* localName) {
  if (node == nullptr) return nullptr;
  for (const xmlNode* child = node->children; child != nullptr; child = child->next)
    if (IsElement(child, localName)) return child;
  return nullptr;
}

std::vector<const xmlNode*> Children(const xmlNode* node, const char* localName) {
  std::vector<const xmlNode*> found;
  if (node == nullptr) return found;
  for (const xmlNode* child = node->children; child != nullptr; child = child->next)
    if (IsElement(child, localName)) found.push_back(child);
  return found;
}

const xmlNode* FindBelow(const xmlNode* node, const char* localName) {
  const xmlNode* found = nullptr;
  WalkBelow(
      node,
      [&found, localName](const xmlNode* below) {
        if (found == nullptr && IsElement(below, localName)) found = below;
        return found == nullptr;
      },
      nullptr);
  return found;
}

}  // namespace documents
