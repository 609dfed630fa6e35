// A web page: each heading (h1 to h6) starts a chapter of its level.
#include "documents/html_blocks.h"
#include "documents/html_chapters.h"
#include "documents/readers.h"

namespace documents {
namespace {

// An XHTML page begins with its XML declaration.
bool StartsAsXml(const std::string& content) {
  size_t at = content.compare(0, 3, "\xef\xbb\xbf") == 0 ? 3 : 0;
  at = content.find_first_not_of(" \t\r\n", at);
  return at != std::string::npos && content.compare(at, 5, "<?xml") == 0;
}

}  // namespace

TDocument ReadHtml(const std::string& content, const TReadOptions& options) {
  THtmlContent page = ParseHtmlBlocks(content, StartsAsXml(content), options.limits);
  TDocument document;
  document.metadata.title = page.title;
  document.metadata.author = page.author;
  document.metadata.language = page.language;
  TDocumentBuilder builder(&document);
  for (const THtmlBlock& block : page.blocks) AddHtmlBlock(block, true, &builder);
  builder.Finish();
  return document;
}

}  // namespace documents
