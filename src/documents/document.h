// The model that every document reader gives: the book's metadata and its
// chapters, each with a title, a level and its paragraphs, all in UTF-8.
// Readers work on the file's bytes in memory and do no other I/O.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace documents {

enum class TDocumentKind { Text, Markdown, Html, Epub, Odt, Docx };

// What the listing calls the kind: "testo", "Markdown", "HTML", "EPUB", "ODT", "DOCX".
const char* KindName(TDocumentKind kind);

struct TMetadata {
  std::string title;     // Dublin Core title, <title>, document properties
  std::string author;    // creator(s), joined with ", "
  std::string language;  // as the document writes it ("it", "it-IT")
  std::string date;
};

struct TChapter {
  std::string title;  // empty for the text before the first heading
  int level = 1;      // 1 for the top level, down to 6
  // One entry per paragraph, its words separated by single spaces, no line
  // breaks inside; headings below the chapter's level that do not start
  // chapters of their own are paragraphs too.
  std::vector<std::string> paragraphs;
  // The footnotes and endnotes referenced in the chapter, in order; never
  // part of the running text.
  std::vector<std::string> notes;
};

struct TDocument {
  TDocumentKind kind = TDocumentKind::Text;
  TMetadata metadata;
  std::vector<TChapter> chapters;
};

// Bounds on what a reader takes from a file, so that a malformed or hostile
// document ends with an error instead of exhausting memory or the stack.
struct TReadLimits {
  size_t maxUncompressed = size_t{512} << 20;  // all entries read from an archive
  size_t maxEntries = 20000;                   // entries of an archive
  int maxDepth = 256;                          // element nesting
};

struct TReadOptions {
  TReadLimits limits;
};

// A document that cannot be read: what() is the Italian reason, without
// the file's name ("l'archivio e' danneggiato", "manca il file ...").
class EDocumentError : public std::runtime_error {
 public:
  explicit EDocumentError(const std::string& reason) : std::runtime_error(reason) {}
};

// Collects chapters as a reader meets them: paragraphs before any
// heading go to an untitled first chapter; empty paragraphs are dropped and
// blanks (including line breaks) are collapsed to single spaces.
class TDocumentBuilder {
 public:
  explicit TDocumentBuilder(TDocument* document) : document_(document) {}
  void StartChapter(const std::string& title, int level);
  void AddParagraph(const std::string& text);
  void AddNote(const std::string& text);
  // Drops an untitled first chapter that holds nothing.
  void Finish();

 private:
  TChapter& Current();
  TDocument* document_;
};

// Blanks (ASCII white space, NBSP) collapsed to single spaces, trimmed.
std::string CollapseBlanks(const std::string& text);

}  // namespace documents
