#include "engine/book_text.h"

#include <algorithm>

#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "documents/plain_chapters.h"
#include "documents/read_document.h"
#include "engine/non_text.h"
#include "engine/text_loading.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "text/code_pages.h"
#include "text/lines.h"

namespace {

// Said before the notes read at the end of a chapter.
constexpr const char* kNotesHeading = "Note.";

}  // namespace

TBookText BookOfDocument(const documents::TDocument& document, bool withNotes) {
  TBookText book;
  book.document = document.kind;
  book.metadata = document.metadata;
  auto add = [&](const std::string& utf8) {
    book.lines.push_back(Utf8ToAnsi(utf8));
    book.lines.emplace_back();
  };
  for (const documents::TChapter& chapter : document.chapters) {
    if (!chapter.title.empty()) {
      book.chapters.push_back({book.lines.size(), chapter.level, chapter.title});
      add(chapter.title);
    }
    for (const std::string& paragraph : chapter.paragraphs) add(paragraph);
    if (!withNotes || chapter.notes.empty()) continue;
    book.lines.emplace_back(kNotesHeading);
    book.lines.emplace_back();
    for (const std::string& note : chapter.notes) add(note);
  }
  return book;
}

std::vector<TChapterMark> ChaptersOfPlainText(const std::vector<std::string>& lines) {
  std::vector<TChapterMark> chapters;
  for (const documents::TPlainHeading& heading : documents::FindPlainHeadings(lines)) {
    std::string title;
    text::AppendCp1252AsUtf8(heading.title.data(), heading.title.size(), &title);
    chapters.push_back({heading.line, heading.level, documents::CollapseBlanks(title)});
  }
  return chapters;
}

int ChapterOfLine(const std::vector<TChapterMark>& chapters, size_t line) {
  auto after = std::upper_bound(chapters.begin(), chapters.end(), line,
                                [](size_t l, const TChapterMark& c) { return l < c.line; });
  return static_cast<int>(after - chapters.begin()) - 1;
}

int32_t ContentDigest(const std::string& bytes) {
  uint32_t hash = 2166136261u;  // 32-bit FNV-1a
  for (char c : bytes) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 16777619u;
  }
  return static_cast<int32_t>(hash & 0x7FFFFFFF);
}

std::string LoadTextFile(const std::string& path, int32_t size, std::string* content) {
  switch (platform::KindOfPath(path)) {
    case platform::PathKind::File: break;
    case platform::PathKind::Folder: return FormatText(msg::kTextIsFolder, {path});
    case platform::PathKind::Other: return FormatText(msg::kTextNotAFile, {path});
    case platform::PathKind::Missing:
      return msg::kErrorPrefix + ErrorWithCode(msg::kFileNotFound, path, platform::kErrorFileNotFound);
  }
  std::string failure = FailureOf([&] { *content = LoadText(path, size); });
  return failure.empty() ? "" : msg::kErrorPrefix + failure;
}

std::string ReadBookText(const std::string& content, const std::string& path,
                         bool noPlainChapters, bool* oemText, TBookText* book) {
  *book = TBookText();
  const auto kind = documents::RecogniseDocument(content, path);
  if (kind) {
    if (!documents::CanRead(*kind))
      return FormatText(msg::kDocumentNotRead, {path, documents::KindName(*kind)});
    try {
      *book = BookOfDocument(documents::ReadDocument(*kind, content), Settings.NOTE);
    } catch (const documents::EDocumentError& error) {
      return FormatText(msg::kDocumentUnreadable, {path, documents::KindName(*kind), error.what()});
    }
  } else {
    TNonText nonText = RecogniseNonText(content);
    if (nonText.refused) return NonTextMessage(path, nonText);
    std::string text = content;
    PrepareText(&text, Settings.TIPOTESTO, oemText, path);
    book->lines = text::SplitLines(text);
    if (Settings.CAPITOLI && !noPlainChapters) book->chapters = ChaptersOfPlainText(book->lines);
  }
  if (!Settings.CAPITOLI) book->chapters.clear();
  for (const std::string& line : book->lines)
    if (line.find_first_not_of(" \t\r\n\f\v\x1a") != std::string::npos) return "";
  return FormatText(msg::kTextEmpty, {path});
}
