// HTML and XHTML content as a sequence of blocks: headings, paragraphs and
// notes, with the running text as a listener should hear it. Shared by the
// web page reader and the EPUB reader (whose content documents are XHTML).
#pragma once

#include <string>
#include <vector>

#include "documents/document.h"

namespace documents {

struct THtmlBlock {
  enum class TKind { Heading, Paragraph, Note };
  TKind kind = TKind::Paragraph;
  int level = 0;                  // Heading: 1 to 6
  std::string text;               // UTF-8, blanks collapsed
  std::vector<std::string> ids;   // the id attributes within it, for links to it
};

struct THtmlContent {
  std::string title;     // <title>
  std::string language;  // lang or xml:lang of <html>
  std::string author;    // <meta name="author">
  std::vector<THtmlBlock> blocks;
};

// Parses content as HTML (asXml false: libxml2's HTML parser, honouring the
// page's charset) or as XHTML (asXml true). Dropped: script, style, head,
// nav, form and its controls, and page-break markers; footnote references
// (epub:type noteref, role doc-noteref, a links to notes) are not read in
// the running text; footnotes and endnotes (epub:type footnote, endnote,
// rearnote, role doc-footnote, doc-endnote, aside) become Note blocks.
// Images give their alt text. Character references are decoded. Raises
// EDocumentError when the content cannot be parsed or nests deeper than
// limits.maxDepth.
THtmlContent ParseHtmlBlocks(const std::string& content, bool asXml, const TReadLimits& limits);

}  // namespace documents
