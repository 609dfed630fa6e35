#include "documents/read_document.h"

#include <cctype>
#include <string_view>

#include "documents/readers.h"

namespace documents {
namespace {

bool Holds(std::string_view content, std::string_view what, size_t within) {
  return content.substr(0, within).find(what) != std::string_view::npos;
}

std::string LowerHead(const std::string& content, size_t within) {
  std::string head = content.substr(0, within);
  for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return head;
}

bool EndsWith(const std::string& name, const char* suffix) {
  std::string lower = LowerHead(name, name.size());
  std::string_view s(suffix);
  return lower.size() >= s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0;
}

// The first markup of a web page, after a byte-order mark, blanks, an XML
// declaration or comments: a doctype html, <html>, or <head>/<body>.
bool LooksLikeHtml(const std::string& content) {
  const std::string head = LowerHead(content, 4096);
  size_t at = head.compare(0, 3, "\xef\xbb\xbf") == 0 ? 3 : 0;
  for (;;) {
    at = head.find_first_not_of(" \t\r\n", at);
    if (at == std::string::npos || head[at] != '<') return false;
    if (head.compare(at, 5, "<?xml") == 0 || head.compare(at, 4, "<!--") == 0) {
      size_t close = head.find(head.compare(at, 4, "<!--") == 0 ? "-->" : "?>", at);
      if (close == std::string::npos) return false;
      at = close + 2;
      continue;
    }
    return head.compare(at, 14, "<!doctype html") == 0 || head.compare(at, 5, "<html") == 0 ||
           head.compare(at, 5, "<head") == 0 || head.compare(at, 5, "<body") == 0;
  }
}

// A Markdown text has an ATX heading ("# Titolo") at the start of a line.
bool LooksLikeMarkdown(const std::string& content) {
  size_t at = 0;
  while (at < content.size()) {
    if (content[at] == '#') {
      size_t hashes = content.find_first_not_of('#', at);
      if (hashes != std::string::npos && hashes - at <= 6 && content[hashes] == ' ') return true;
    }
    at = content.find('\n', at);
    if (at == std::string::npos) break;
    ++at;
  }
  return false;
}

}  // namespace

std::optional<TDocumentKind> RecogniseDocument(const std::string& content,
                                               const std::string& fileName) {
  if (content.compare(0, 4, "PK\x03\x04") == 0) {
    // The EPUB mimetype entry comes first, stored; ODT has its own; a Word
    // document has its content types and its word/ folder.
    const size_t head = 4096;
    // The EPUB mimetype should come first; books whose packer put it later
    // still name their container.
    if (Holds(content, "application/epub+zip", head) ||
        Holds(content, "META-INF/container.xml", content.size()))
      return TDocumentKind::Epub;
    if (Holds(content, "application/vnd.oasis.opendocument.text", head)) return TDocumentKind::Odt;
    if (Holds(content, "word/", content.size()) && Holds(content, "[Content_Types].xml", content.size()))
      return TDocumentKind::Docx;
    return std::nullopt;
  }
  if (LooksLikeHtml(content)) return TDocumentKind::Html;
  if ((EndsWith(fileName, ".md") || EndsWith(fileName, ".markdown")) && LooksLikeMarkdown(content))
    return TDocumentKind::Markdown;
  return std::nullopt;
}

TDocument ReadDocument(TDocumentKind kind, const std::string& content, const TReadOptions& options) {
  TDocument document;
  switch (kind) {
    case TDocumentKind::Text: break;
    case TDocumentKind::Markdown: document = ReadMarkdown(content, options); break;
    case TDocumentKind::Html: document = ReadHtml(content, options); break;
    case TDocumentKind::Epub: document = ReadEpub(content, options); break;
    case TDocumentKind::Odt: document = ReadOdt(content, options); break;
    case TDocumentKind::Docx: document = ReadDocx(content, options); break;
  }
  document.kind = kind;
  return document;
}

}  // namespace documents
