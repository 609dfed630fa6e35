// XML documents parsed from memory with libxml2, safely: no network, no
// external entities or DTDs loaded, no entity expansion beyond the
// predefined ones, nesting bounded by TReadLimits::maxDepth. With small
// helpers for walking the tree by local names, whatever the namespace
// prefixes. Used by the EPUB, ODT and DOCX readers.
#pragma once

#include <libxml/tree.h>

#include <functional>
#include <string>
#include <vector>

#include "documents/document.h"

namespace documents {

class TXmlDocument {
 public:
  // what names the part in the error ("il file OEBPS/content.opf").
  // Raises EDocumentError when the bytes are not well-formed XML or nest
  // too deep.
  TXmlDocument(const std::string& bytes, const TReadLimits& limits, const std::string& what);
  ~TXmlDocument();
  TXmlDocument(const TXmlDocument&) = delete;
  TXmlDocument& operator=(const TXmlDocument&) = delete;

  const xmlNode* Root() const;

 private:
  xmlDoc* doc_ = nullptr;
};

// The element's name without its prefix; "" for a node that is not an element.
std::string LocalName(const xmlNode* node);
bool IsElement(const xmlNode* node, const char* localName);
// Whether the node is an element of the namespace, by its URI.
bool InNamespace(const xmlNode* node, const char* uri);
// The value of the attribute with this local name, in any namespace; "" when absent.
std::string Attribute(const xmlNode* node, const char* localName);
// The content of a text or CDATA node; "" for any other node.
std::string NodeText(const xmlNode* node);
// Visits the nodes below root (not root itself) in document order, without
// recursion: enter before a node's children, returning false to skip them;
// leave (when given) after them, skipped or not.
void WalkBelow(const xmlNode* root, const std::function<bool(const xmlNode*)>& enter,
               const std::function<void(const xmlNode*)>& leave);
// All the text below the node, in document order, UTF-8.
std::string TextOf(const xmlNode* node);
// The first child element with the local name, or nullptr.
const xmlNode* FirstChild(const xmlNode* node, const char* localName);
std::vector<const xmlNode*> Children(const xmlNode* node, const char* localName);
// The first element below the node (depth first) with the local name, or nullptr.
const xmlNode* FindBelow(const xmlNode* node, const char* localName);

}  // namespace documents
