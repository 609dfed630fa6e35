// XML files read with libxml2, the problem list, and the helpers that walk
// the trees.
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cstdio>

#include "daisy/book_parts.h"

namespace daisy_check {

void TProblems::Add(const std::string& kind, const std::string& sentence) {
  const int count = ++counts_[kind];
  if (count == 1) kinds_.push_back(kind);
  if (count <= kShownOfAKind) lines_.push_back(sentence);
}

std::vector<std::string> TProblems::Lines() const {
  std::vector<std::string> lines = lines_;
  for (const std::string& kind : kinds_) {
    const int more = counts_.at(kind) - kShownOfAKind;
    if (more > 0) {
      lines.push_back("... and " + std::to_string(more) + " more of the same kind (" + kind + ").");
    }
  }
  return lines;
}

namespace {

struct TParseErrors {
  std::vector<std::string>* errors;
  std::vector<std::string>* entities;
};

void OnParseError(void* context, xmlErrorPtr error) {
  auto* found = static_cast<TParseErrors*>(context);
  std::string message = error->message ? error->message : "unknown error";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  if (error->code == XML_WAR_UNDECLARED_ENTITY || error->code == XML_ERR_UNDECLARED_ENTITY) {
    found->entities->push_back(error->str1 ? error->str1 : message);
  }
  if (error->level >= XML_ERR_ERROR) {
    found->errors->push_back("line " + std::to_string(error->line) + ": " + message);
  }
}

}  // namespace

TXmlFile::TXmlFile(const std::string& path) {
  TParseErrors found{&errors_, &entities_};
  xmlSetStructuredErrorFunc(&found, OnParseError);
  xmlParserCtxtPtr context = xmlNewParserCtxt();
  if (context != nullptr) {
    doc_ = xmlCtxtReadFile(context, path.c_str(), nullptr, XML_PARSE_NONET);
    if (doc_ != nullptr && !context->wellFormed) {
      xmlFreeDoc(doc_);
      doc_ = nullptr;
    }
    xmlFreeParserCtxt(context);
  }
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  if (doc_ != nullptr && doc_->encoding != nullptr) {
    encoding_ = reinterpret_cast<const char*>(doc_->encoding);
  }
  if (doc_ == nullptr && errors_.empty()) errors_.push_back("it cannot be parsed");
}

TXmlFile::~TXmlFile() {
  if (doc_ != nullptr) xmlFreeDoc(doc_);
}

const xmlNode* TXmlFile::Root() const { return doc_ ? xmlDocGetRootElement(doc_) : nullptr; }

std::string LocalName(const xmlNode* node) {
  if (node == nullptr || node->type != XML_ELEMENT_NODE) return "";
  return reinterpret_cast<const char*>(node->name);
}

std::string Attr(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name));
  if (value == nullptr) return "";
  std::string text = reinterpret_cast<const char*>(value);
  xmlFree(value);
  return text;
}

bool HasAttr(const xmlNode* node, const char* name) {
  return xmlHasNsProp(node, reinterpret_cast<const xmlChar*>(name), nullptr) != nullptr;
}

std::vector<const xmlNode*> ChildElements(const xmlNode* node, const char* name) {
  std::vector<const xmlNode*> children;
  for (const xmlNode* child = node ? node->children : nullptr; child; child = child->next) {
    if (child->type == XML_ELEMENT_NODE && (name == nullptr || LocalName(child) == name)) {
      children.push_back(child);
    }
  }
  return children;
}

std::vector<const xmlNode*> ElementsBelow(const xmlNode* node) {
  std::vector<const xmlNode*> elements;
  for (const xmlNode* child : ChildElements(node)) {
    elements.push_back(child);
    for (const xmlNode* below : ElementsBelow(child)) elements.push_back(below);
  }
  return elements;
}

std::string Trim(const std::string& text) {
  const auto begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

std::string TextOf(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  if (content == nullptr) return "";
  std::string collapsed;
  bool space = false;
  for (const char* c = reinterpret_cast<const char*>(content); *c; ++c) {
    if (*c == ' ' || *c == '\t' || *c == '\r' || *c == '\n') {
      space = true;
      continue;
    }
    if (space && !collapsed.empty()) collapsed += ' ';
    space = false;
    collapsed += *c;
  }
  xmlFree(content);
  return collapsed;
}

TMetaSet ReadMeta(const xmlNode* head) {
  TMetaSet meta;
  for (const xmlNode* element : ChildElements(head, "meta")) {
    if (HasAttr(element, "name")) {
      meta.emplace(Attr(element, "name"), TMeta{Attr(element, "content"), Attr(element, "scheme")});
    }
  }
  return meta;
}

const TMeta* MetaOnce(const TMetaSet& meta, const std::string& name, const std::string& file,
                      TProblems& problems) {
  const auto count = meta.count(name);
  if (count == 1) return &meta.find(name)->second;
  if (count == 0) {
    problems.Add("missing metadata", file + ": the metadata " + name + " is missing.");
  } else {
    problems.Add("repeated metadata", file + ": the metadata " + name + " occurs " +
                                          std::to_string(count) + " times, not once.");
  }
  return nullptr;
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", seconds);
  return text;
}

}  // namespace daisy_check
