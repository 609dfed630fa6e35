#include "documents/document.h"

namespace documents {

const char* KindName(TDocumentKind kind) {
  switch (kind) {
    case TDocumentKind::Text: return "testo";
    case TDocumentKind::Markdown: return "Markdown";
    case TDocumentKind::Html: return "HTML";
    case TDocumentKind::Epub: return "EPUB";
    case TDocumentKind::Odt: return "ODT";
    case TDocumentKind::Docx: return "DOCX";
  }
  return "testo";
}

std::string CollapseBlanks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  bool blank = false;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    bool isBlank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    // U+00A0 NO-BREAK SPACE is C2 A0 in UTF-8.
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA0) {
      isBlank = true;
      ++i;
    }
    if (isBlank) {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += static_cast<char>(c);
  }
  return out;
}

TChapter& TDocumentBuilder::Current() {
  if (document_->chapters.empty()) document_->chapters.push_back(TChapter{});
  return document_->chapters.back();
}

void TDocumentBuilder::StartChapter(const std::string& title, int level) {
  TChapter chapter;
  chapter.title = CollapseBlanks(title);
  chapter.level = level < 1 ? 1 : level > 6 ? 6 : level;
  document_->chapters.push_back(std::move(chapter));
}

void TDocumentBuilder::AddParagraph(const std::string& text) {
  std::string paragraph = CollapseBlanks(text);
  if (!paragraph.empty()) Current().paragraphs.push_back(std::move(paragraph));
}

void TDocumentBuilder::AddNote(const std::string& text) {
  std::string note = CollapseBlanks(text);
  if (!note.empty()) Current().notes.push_back(std::move(note));
}

void TDocumentBuilder::Finish() {
  auto& chapters = document_->chapters;
  if (!chapters.empty() && chapters.front().title.empty() && chapters.front().paragraphs.empty() &&
      chapters.front().notes.empty())
    chapters.erase(chapters.begin());
}

}  // namespace documents
