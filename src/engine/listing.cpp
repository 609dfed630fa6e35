#include "engine/listing.h"

#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/run_state.h"
#include "base/settings.h"
#include "engine/book_text.h"
#include "engine/chapter_files.h"
#include "engine/daisy_output.h"
#include "engine/output_layout.h"
#include "engine/text_loading.h"
#include "platform/platform.h"

namespace {

// Book texts are UTF-8; the Windows console takes ANSI.
std::string Shown(const std::string& utf8) {
  return platform::kUnixConventions ? utf8 : Utf8ToAnsi(utf8);
}

// The characters of each chapter: its lines up to the next chapter's.
size_t ChapterSize(const TBookText& book, size_t chapter) {
  const size_t end =
      chapter + 1 < book.chapters.size() ? book.chapters[chapter + 1].line : book.lines.size();
  size_t size = 0;
  for (size_t line = book.chapters[chapter].line; line < end; ++line) size += book.lines[line].size();
  return size;
}

// The text's lines; false, with the error shown, when it would be skipped.
bool ListText(const TJobLine& line, bool* oemText, int32_t* files) {
  std::string content;
  std::string skipped = LoadTextFile(line.text, TextFileSize(line.text), &content);
  TBookText book;
  if (skipped.empty()) skipped = ReadBookText(content, line.text, false, oemText, &book);
  if (!skipped.empty()) {
    PrintErrorLine(skipped);
    return false;
  }
  TTextNames names = NamesOfText(line);
  NameAfterBook(book, &names);
  PrintLine(FormatText(msg::kListingKind,
                       {documents::KindName(book.document.value_or(documents::TDocumentKind::Text))}));
  if (!book.metadata.title.empty()) PrintLine(FormatText(msg::kListingTitle, {Shown(book.metadata.title)}));
  if (!book.metadata.author.empty())
    PrintLine(FormatText(msg::kListingAuthor, {Shown(book.metadata.author)}));
  if (!book.metadata.language.empty())
    PrintLine(FormatText(msg::kListingLanguage, {book.metadata.language}));
  PrintLine(FormatText(msg::kListingFolder, {Settings.DESTINAZIONE + names.TextName}));
  PrintLine(FormatText(msg::kListingChapters, {std::to_string(book.chapters.size())}));
  for (size_t c = 0; c < book.chapters.size(); ++c)
    PrintLine(FormatText(msg::kListingChapter,
                         {std::to_string(c + 1), Shown(book.chapters[c].title),
                          std::to_string(book.chapters[c].level), std::to_string(ChapterSize(book, c))}));
  ShapeForTalkingBook(&book, names);
  const TFilePlan plan(book, FragmentSettingsFor(book), names.SpokenName);
  *files = plan.Files();
  PrintLine(FormatText(msg::kListingFiles, {std::to_string(plan.Files())}));
  for (int32_t t = 1; t <= plan.Files(); ++t) {
    const std::string path = GroupedFilePath(names, plan.Files(), t);
    if (ChapterOutput(book))
      PrintLine(FormatText(msg::kListingTitledFile, {path, Shown(plan.Title(t, names.TagName))}));
    else
      PrintLine(FormatText(msg::kListingFile, {path}));
  }
  return true;
}

}  // namespace

int RunListing() {
  const size_t texts = RunState.JobList.size() - 2;
  bool oemText = Settings.TIPOTESTO == kTextDos;
  int skipped = 0;
  int32_t allFiles = 0;
  for (size_t i = 2; i < RunState.JobList.size(); ++i) {
    const TJobLine& line = RunState.JobList[i];
    PrintLine(FormatText(msg::kListingText, {std::to_string(i - 1), std::to_string(texts), line.text}));
    int32_t files = 0;
    if (ListText(line, &oemText, &files))
      allFiles += files;
    else
      ++skipped;
  }
  PrintLine(FormatText(msg::kListingDone, {std::to_string(texts - static_cast<size_t>(skipped)),
                                           std::to_string(skipped), std::to_string(allFiles)}));
  return skipped;
}
