// What the ODT and DOCX readers share: the paragraphs their walks give,
// put into the document, and their authors' lists.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "documents/document.h"

namespace documents {

// A paragraph of a word processor's document as its walk found it: a
// heading when level > 0, with the description of the images in it and the
// text of the notes it cites.
struct TOfficeParagraph {
  int level = 0;
  std::string text;
  std::vector<std::string> images;
  std::vector<std::string> notes;
};

// Puts the paragraphs into the document: headings start chapters, the
// images' descriptions follow their paragraph as paragraphs of their own
// (once, when the caption below repeats them), notes go to the chapter.
class TOfficeWriter {
 public:
  explicit TOfficeWriter(TDocument* document) : document_(document), builder_(document) {}

  void Add(const TOfficeParagraph& paragraph) {
    const std::string text = CollapseBlanks(paragraph.text);
    if (paragraph.level > 0 && !text.empty()) {
      builder_.StartChapter(text, paragraph.level);
      lastImage_.clear();
    } else if (!text.empty() && text != lastImage_) {
      builder_.AddParagraph(text);
      lastImage_.clear();
    }
    for (const std::string& image : paragraph.images) {
      const std::string description = CollapseBlanks(image);
      if (description.empty()) continue;
      builder_.AddParagraph(description);
      lastImage_ = description;
    }
    for (const std::string& note : paragraph.notes) builder_.AddNote(note);
  }

  // Raises EDocumentError when nothing was read.
  void Finish() {
    builder_.Finish();
    for (const TChapter& chapter : document_->chapters)
      if (!chapter.title.empty() || !chapter.paragraphs.empty() || !chapter.notes.empty()) return;
    throw EDocumentError("il documento non contiene testo");
  }

 private:
  TDocument* document_;
  TDocumentBuilder builder_;
  std::string lastImage_;
};

// "Mario Rossi; Anna Bianchi" as the model joins authors: "Mario Rossi, Anna Bianchi".
inline std::string JoinedAuthors(const std::string& authors) {
  std::string joined;
  size_t at = 0;
  while (at <= authors.size()) {
    size_t end = authors.find(';', at);
    if (end == std::string::npos) end = authors.size();
    const std::string name = CollapseBlanks(authors.substr(at, end - at));
    if (!name.empty()) joined += (joined.empty() ? "" : ", ") + name;
    at = end + 1;
  }
  return joined;
}

}  // namespace documents
