#include "documents/html_blocks.h"

#include <libxml/HTMLparser.h>
#include <libxml/encoding.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "documents/xml_document.h"
#include "text/code_pages.h"
#include "text/utf8.h"

namespace documents {
namespace {

// ---- The page's charset ----

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The charset named after "charset=" or "encoding=" at, up to a quote,
// blank, semicolon or the end of the tag.
std::string CharsetAt(const std::string& head, size_t at) {
  at = head.find_first_not_of(" \t\r\n\"'", at);
  if (at == std::string::npos) return "";
  size_t end = head.find_first_of(" \t\r\n\"';>/?", at);
  return head.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// What the page says of its charset in its first bytes: <meta charset>,
// <meta http-equiv content="...; charset=..."> or the XML declaration.
std::string DeclaredCharset(const std::string& content) {
  const std::string head = Lower(content.substr(0, 8192));
  if (head.compare(0, 5, "<?xml") == 0) {
    size_t close = head.find("?>");
    size_t at = head.find("encoding=");
    if (at != std::string::npos && at < close) return CharsetAt(head, at + 9);
  }
  for (size_t meta = head.find("<meta"); meta != std::string::npos; meta = head.find("<meta", meta + 5)) {
    size_t close = head.find('>', meta);
    size_t at = head.find("charset=", meta);
    if (at != std::string::npos && at < close) return CharsetAt(head, at + 8);
  }
  return "";
}

bool IsUtf8(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    text::Utf8Char c = text::DecodeUtf8(bytes, i);
    if (!c.valid) return false;
    i += c.length;
  }
  return true;
}

std::string Cp1252ToUtf8(const std::string& bytes) {
  std::string out;
  text::AppendCp1252AsUtf8(bytes.data(), bytes.size(), &out);
  return out;
}

struct THtmlInput {
  std::string bytes;
  std::string encoding;  // for the parser
};

// The page as the parser should take it. Latin-1 is read as Windows-1252,
// as browsers do; a page that names no charset (or one unknown here) is
// UTF-8 when its bytes are, Windows-1252 otherwise.
THtmlInput HtmlInput(const std::string& content) {
  std::string bytes = content;
  if (text::DecodeUtf16Text(&bytes)) return {bytes, "UTF-8"};
  std::string declared = DeclaredCharset(bytes);
  if (declared == "utf-8" || declared == "utf8") return {bytes, "UTF-8"};
  static const std::set<std::string> western = {"iso-8859-1", "iso8859-1", "latin1", "l1",
                                                "windows-1252", "cp1252", "us-ascii", "ascii"};
  if (western.count(declared)) return {Cp1252ToUtf8(bytes), "UTF-8"};
  if (!declared.empty()) {
    if (xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(declared.c_str())) {
      xmlCharEncCloseFunc(handler);
      return {bytes, declared};
    }
  }
  if (IsUtf8(bytes)) return {bytes, "UTF-8"};
  return {Cp1252ToUtf8(bytes), "UTF-8"};
}

struct TDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using TDocPtr = std::unique_ptr<xmlDoc, TDocFree>;

TDocPtr ParseAsHtml(const std::string& content) {
  THtmlInput input = HtmlInput(content);
  if (input.bytes.size() > static_cast<size_t>(INT_MAX)) throw EDocumentError("la pagina e' troppo grande");
  // The charset is decided above: the parser must not switch on a <meta>.
  const int options = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER |
                      HTML_PARSE_NODEFDTD | HTML_PARSE_IGNORE_ENC;
  htmlParserCtxtPtr context = htmlNewParserCtxt();
  if (!context) throw std::bad_alloc();
  TDocPtr doc(htmlCtxtReadMemory(context, input.bytes.data(), static_cast<int>(input.bytes.size()),
                                 nullptr, input.encoding.c_str(), options));
  // The parser stops, keeping what it read, where elements nest deeper
  // than it allows: what lies deeper would be lost without a word.
  const xmlError* error = xmlCtxtGetLastError(context);
  const bool tooDeep = error && error->message && std::strstr(error->message, "Excessive depth");
  htmlFreeParserCtxt(context);
  if (tooDeep) throw EDocumentError("la pagina ha elementi annidati troppo in profondita'");
  if (!doc || !xmlDocGetRootElement(doc.get())) throw EDocumentError("la pagina non si puo' leggere");
  return doc;
}

// ---- Elements and their roles ----

const char* Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

bool NameIn(const xmlNode* node, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (std::strcmp(Name(node), name) == 0) return true;
  return false;
}

// An attribute as HTML writes it ("epub:type") or as XML names it (local
// name "type" in the OPS namespace). prefix is "" for a plain attribute.
std::string AttributeOf(const xmlNode* node, const char* prefix, const char* name) {
  for (const xmlAttr* attr = node->properties; attr; attr = attr->next) {
    const char* attrName = reinterpret_cast<const char*>(attr->name);
    bool match;
    if (*prefix == '\0') {
      match = !attr->ns && std::strcmp(attrName, name) == 0;
    } else {
      const char* attrPrefix = attr->ns && attr->ns->prefix ? reinterpret_cast<const char*>(attr->ns->prefix) : "";
      match = (attr->ns && std::strcmp(attrName, name) == 0 && std::strcmp(attrPrefix, prefix) == 0) ||
              (!attr->ns && std::string(attrName) == std::string(prefix) + ":" + name);
    }
    if (!match) continue;
    std::string value;
    for (const xmlNode* child = attr->children; child; child = child->next)
      if (child->content) value += reinterpret_cast<const char*>(child->content);
    return value;
  }
  return "";
}

bool HasToken(const std::string& list, std::initializer_list<const char*> tokens) {
  size_t at = 0;
  while ((at = list.find_first_not_of(" \t\r\n", at)) != std::string::npos) {
    size_t end = list.find_first_of(" \t\r\n", at);
    std::string token = Lower(list.substr(at, end == std::string::npos ? std::string::npos : end - at));
    for (const char* wanted : tokens)
      if (token == wanted) return true;
    at = end;
  }
  return false;
}

std::string EpubType(const xmlNode* node) { return AttributeOf(node, "epub", "type"); }
std::string Role(const xmlNode* node) { return AttributeOf(node, "", "role"); }

// One footnote or endnote, read as one Note block.
bool IsNoteArea(const xmlNode* node);

std::string ClassOf(const xmlNode* node) { return AttributeOf(node, "", "class"); }

// DocBook's pages mark their notes by class only; its links to them too.
bool IsNote(const xmlNode* node) {
  if (IsNoteArea(node)) return false;
  return NameIn(node, {"aside"}) || (!NameIn(node, {"a"}) && HasToken(ClassOf(node), {"footnote"})) || HasToken(EpubType(node), {"footnote", "endnote", "rearnote", "note"}) ||
         HasToken(Role(node), {"doc-footnote", "doc-endnote"});
}

// A list of notes, each block within it a Note block.
bool IsNoteArea(const xmlNode* node) {
  return HasToken(EpubType(node), {"footnotes", "endnotes", "rearnotes"}) ||
         HasToken(ClassOf(node), {"footnotes"}) ||
         HasToken(Role(node), {"doc-endnotes", "doc-footnotes"});
}

bool IsBlock(const xmlNode* node) {
  return NameIn(node, {"p",       "div",     "li",     "td",     "th",      "blockquote", "pre",
                       "dd",      "dt",      "dl",     "ul",     "ol",      "figcaption", "figure",
                       "section", "article", "header", "footer", "main",    "table",      "tr",
                       "caption", "address", "hr",     "center", "body",    "details",    "summary",
                       "fieldset", "legend", "h1",     "h2",     "h3",      "h4",         "h5",
                       "h6",      "aside",   "hgroup", "html",   "tbody",   "thead",      "tfoot"});
}

int HeadingLevel(const xmlNode* node) {
  const char* name = Name(node);
  if ((name[0] == 'h' || name[0] == 'H') && name[1] >= '1' && name[1] <= '6' && name[2] == '\0')
    return name[1] - '0';
  return 0;
}

// Elements whose content is not read at all.
bool IsDropped(const xmlNode* node) {
  if (NameIn(node, {"script", "style", "head", "nav", "input", "select", "textarea", "button", "option",
                    "noscript", "template", "audio", "video", "canvas", "iframe", "object", "embed"}))
    return true;
  if (HasToken(EpubType(node), {"pagebreak", "toc", "landmarks", "page-list"})) return true;
  // Menus and search boxes, what the page hides, and the marks of the
  // links to each heading that page generators add ("headerlink").
  if (node->type == XML_ELEMENT_NODE && xmlHasProp(node, BAD_CAST "hidden")) return true;
  if (AttributeOf(node, "", "aria-hidden") == "true") return true;
  if (HasToken(ClassOf(node), {"headerlink"})) return true;
  return HasToken(Role(node), {"doc-pagebreak", "doc-backlink", "navigation", "search"});
}

std::string IdOf(const xmlNode* node) {
  std::string id = AttributeOf(node, "", "id");
  if (id.empty()) id = AttributeOf(node, "xml", "id");
  if (id.empty() && NameIn(node, {"a"})) id = AttributeOf(node, "", "name");
  return id;
}

// ---- Walking the tree ----

// Visits the elements and text below root in document order, with enter
// (true to go into the element's children) and leave for every element
// entered. Iterative, its nesting bounded by the limits.
template <typename Enter, typename Leave>
void Walk(const xmlNode* root, int maxDepth, Enter enter, Leave leave) {
  const xmlNode* node = root;
  int depth = 0;
  for (;;) {
    if (enter(node) && node->type == XML_ELEMENT_NODE && node->children) {
      if (++depth > maxDepth) throw EDocumentError("la pagina ha elementi annidati troppo in profondita'");
      node = node->children;
      continue;
    }
    if (node->type == XML_ELEMENT_NODE) leave(node);
    for (;;) {
      if (node == root) return;
      if (node->next) {
        node = node->next;
        break;
      }
      node = node->parent;
      --depth;
      leave(node);
    }
  }
}

// The text of a node and what it holds, at most about limit bytes of it.
std::string ShortText(const xmlNode* node, size_t limit) {
  std::string text;
  Walk(node, INT_MAX, [&](const xmlNode* below) {
    if ((below->type == XML_TEXT_NODE || below->type == XML_CDATA_SECTION_NODE) && below->content)
      text += reinterpret_cast<const char*>(below->content);
    return text.size() <= limit;
  }, [](const xmlNode*) {});
  return text;
}

// A footnote mark: "1", "12", "*", "[3]", "(4)", "†".
bool IsNoteMark(const std::string& raw) {
  std::string mark = CollapseBlanks(raw);
  if (mark.empty() || mark.size() > 8) return false;
  if (mark == "\xe2\x80\xa0" || mark == "\xe2\x80\xa1") return true;
  size_t from = 0, to = mark.size();
  if ((mark.front() == '[' && mark.back() == ']') || (mark.front() == '(' && mark.back() == ')')) {
    from = 1;
    to = mark.size() - 1;
  }
  if (from >= to) return false;
  bool digits = true, stars = true;
  for (size_t i = from; i < to; ++i) {
    digits = digits && std::isdigit(static_cast<unsigned char>(mark[i]));
    stars = stars && mark[i] == '*';
  }
  return digits || stars;
}

class TBlockWalker {
 public:
  TBlockWalker(const TReadLimits& limits, THtmlContent* out) : limits_(limits), out_(out) {}

  void Run(const xmlNode* root) {
    // First the ids of the notes, for telling a link to a note from any
    // other link, and the page's metadata.
    Walk(root, limits_.maxDepth, [&](const xmlNode* node) { return Survey(node); },
         [&](const xmlNode* node) {
           if (node->type == XML_ELEMENT_NODE && (IsNote(node) || IsNoteArea(node))) --inNotes_;
         });
    Walk(root, limits_.maxDepth, [&](const xmlNode* node) { return Enter(node); },
         [&](const xmlNode* node) { Leave(node); });
    Flush(CurrentKind());
    PlaceNotes();
  }

 private:
  bool Survey(const xmlNode* node) {
    if (node->type != XML_ELEMENT_NODE) return false;
    if (IsNote(node) || IsNoteArea(node)) ++inNotes_;
    if (inNotes_ > 0) {
      std::string id = IdOf(node);
      if (!id.empty()) noteIds_.insert(id);
    }
    if (NameIn(node, {"html"}) && out_->language.empty()) {
      out_->language = AttributeOf(node, "", "lang");
      if (out_->language.empty()) out_->language = AttributeOf(node, "xml", "lang");
    } else if (NameIn(node, {"title"})) {
      if (out_->title.empty()) out_->title = CollapseBlanks(ShortText(node, 4096));
      return false;
    } else if (NameIn(node, {"meta"})) {
      std::string name = Lower(AttributeOf(node, "", "name"));
      if ((name == "author" || name == "dc.creator") && out_->author.empty())
        out_->author = CollapseBlanks(AttributeOf(node, "", "content"));
    }
    return !NameIn(node, {"svg", "math"});
  }

  THtmlBlock::TKind CurrentKind() const {
    return notesArea_ > 0 ? THtmlBlock::TKind::Note : THtmlBlock::TKind::Paragraph;
  }

  // Inside a heading or a note, whose text is one block, a block boundary
  // is a blank; elsewhere it ends the block.
  void Boundary() {
    if (headingLevel_ > 0 || noteDepth_ > 0) text_ += ' ';
    else Flush(CurrentKind());
  }

  void Flush(THtmlBlock::TKind kind, int level = 0) {
    std::string text = CollapseBlanks(text_);
    text_.clear();
    if (text.empty()) return;  // its ids wait for the next block
    out_->blocks.push_back(THtmlBlock{kind, level, std::move(text), std::move(ids_)});
    ids_.clear();
  }

  // A reference to a note, marked as one or a link whose text is a
  // footnote mark leading to a note of this page or to a place in another
  // file (an EPUB's notes). Those to a note here are remembered.
  bool IsNoteReference(const xmlNode* node) {
    if (noteDepth_ > 0 || notesArea_ > 0) return false;
    const bool marked = HasToken(EpubType(node), {"noteref"}) || HasToken(Role(node), {"doc-noteref"});
    if (!marked && !NameIn(node, {"a"})) return false;
    std::string href = AttributeOf(node, "", "href");
    size_t hash = href.find('#');
    if (!marked && (hash == std::string::npos || !IsNoteMark(ShortText(node, 16)))) return false;
    std::string target = hash == std::string::npos ? "" : href.substr(hash + 1);
    if (noteIds_.count(target)) references_.emplace(target, out_->blocks.size());
    else if (!marked && hash == 0) return false;
    return true;
  }

  bool Enter(const xmlNode* node) {
    switch (node->type) {
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        if (node->content) AddText(reinterpret_cast<const char*>(node->content));
        return false;
      case XML_ENTITY_REF_NODE:
        // An XHTML entity the XML parser does not know (&egrave; with no DTD read).
        if (const htmlEntityDesc* entity = htmlEntityLookup(node->name)) text::AppendUtf8(entity->value, &text_);
        return false;
      case XML_ELEMENT_NODE: break;
      default: return false;
    }
    skipped_.push_back(true);
    if (IsDropped(node) || NameIn(node, {"svg", "title", "meta", "link"}) || IsNoteReference(node) ||
        (NameIn(node, {"form"}) && !HoldsProse(node)))
      return false;
    skipped_.back() = false;
    if (NameIn(node, {"img", "area"})) {
      text_ += ' ' + AttributeOf(node, "", "alt") + ' ';
      return false;
    }
    const int level = HeadingLevel(node);
    const bool inOne = headingLevel_ > 0 || noteDepth_ > 0;
    kinds_.push_back(TOpen::Plain);
    if (!inOne && IsNote(node)) {
      Flush(CurrentKind());
      kinds_.back() = TOpen::Note;
      ++noteDepth_;
    } else if (!inOne && level > 0) {
      Flush(CurrentKind());
      kinds_.back() = TOpen::Heading;
      headingLevel_ = level;
    } else if (NameIn(node, {"br"}) || IsBlock(node)) {
      Boundary();
    }
    if (!inOne && IsNoteArea(node)) {
      Flush(CurrentKind());
      kinds_.back() = kinds_.back() == TOpen::Plain ? TOpen::NoteArea : kinds_.back();
      ++notesArea_;
    }
    if (NameIn(node, {"pre"})) ++pre_;
    std::string id = IdOf(node);
    if (!id.empty()) ids_.push_back(id);
    return true;
  }

  void Leave(const xmlNode* node) {
    if (skipped_.empty()) return;
    const bool skipped = skipped_.back();
    skipped_.pop_back();
    if (skipped || NameIn(node, {"img", "area"})) return;
    const TOpen open = kinds_.back();
    kinds_.pop_back();
    if (NameIn(node, {"pre"})) --pre_;
    if (open == TOpen::Heading) {
      Flush(THtmlBlock::TKind::Heading, headingLevel_);
      headingLevel_ = 0;
    } else if (open == TOpen::Note) {
      --noteDepth_;
      Flush(THtmlBlock::TKind::Note);
    } else if (open == TOpen::NoteArea) {
      Flush(THtmlBlock::TKind::Note);
      --notesArea_;
    } else if (IsBlock(node)) {
      Boundary();
    }
  }

  void AddText(const char* text) {
    // Preformatted text keeps its lines, each a block of its own.
    if (pre_ == 0 || headingLevel_ > 0 || noteDepth_ > 0) {
      text_ += text;
      return;
    }
    for (const char* at = text; *at; ++at) {
      if (*at == '\n') Boundary();
      else text_ += *at;
    }
  }

  // Whether a form holds the page's text (some sites wrap the whole page in one).
  bool HoldsProse(const xmlNode* form) {
    bool found = false;
    Walk(form, limits_.maxDepth, [&](const xmlNode* node) {
      if (node->type == XML_ELEMENT_NODE && (NameIn(node, {"p", "article"}) || HeadingLevel(node) > 0))
        found = true;
      return !found && node->type == XML_ELEMENT_NODE;
    }, [](const xmlNode*) {});
    return found;
  }

  // Each note referenced by a link on this page follows the block that
  // first refers to it, so that it belongs to the same chapter.
  void PlaceNotes() {
    std::vector<THtmlBlock>& blocks = out_->blocks;
    std::map<size_t, std::vector<size_t>> after;  // referring block -> notes
    std::vector<bool> moved(blocks.size(), false);
    for (size_t i = 0; i < blocks.size(); ++i) {
      if (blocks[i].kind != THtmlBlock::TKind::Note) continue;
      size_t referrer = SIZE_MAX;
      for (const std::string& id : blocks[i].ids) {
        auto found = references_.find(id);
        if (found != references_.end()) referrer = std::min(referrer, found->second);
      }
      if (referrer >= blocks.size() || blocks[referrer].kind == THtmlBlock::TKind::Note) continue;
      after[referrer].push_back(i);
      moved[i] = true;
    }
    if (after.empty()) return;
    std::vector<THtmlBlock> placed;
    placed.reserve(blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
      if (!moved[i]) placed.push_back(std::move(blocks[i]));
      auto notes = after.find(i);
      if (notes == after.end()) continue;
      for (size_t note : notes->second) placed.push_back(std::move(blocks[note]));
    }
    blocks = std::move(placed);
  }

  enum class TOpen { Plain, Heading, Note, NoteArea };

  const TReadLimits& limits_;
  THtmlContent* out_;
  std::set<std::string> noteIds_;
  std::multimap<std::string, size_t> references_;  // note id -> the block that refers to it
  int inNotes_ = 0;
  std::vector<bool> skipped_;  // per element entered: whether its content was dropped
  std::vector<TOpen> kinds_;   // per element read
  std::string text_;
  std::vector<std::string> ids_;
  int headingLevel_ = 0;
  int noteDepth_ = 0;
  int notesArea_ = 0;
  int pre_ = 0;
};

}  // namespace

THtmlContent ParseHtmlBlocks(const std::string& content, bool asXml, const TReadLimits& limits) {
  THtmlContent out;
  if (asXml) {
    // A content document that is not well-formed is still read, as the
    // lenient HTML parser understands it, rather than lost.
    std::unique_ptr<TXmlDocument> xml;
    try {
      xml = std::make_unique<TXmlDocument>(content, limits, "la pagina");
    } catch (const EDocumentError&) {
    }
    if (xml) {
      TBlockWalker(limits, &out).Run(xml->Root());
      return out;
    }
  }
  TDocPtr doc = ParseAsHtml(content);
  TBlockWalker(limits, &out).Run(xmlDocGetRootElement(doc.get()));
  return out;
}

}  // namespace documents
