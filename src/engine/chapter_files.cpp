#include "engine/chapter_files.h"

#include "base/settings.h"
#include "engine/text_loading.h"

std::string FragmentTitleLine(const TBookText& book, const std::string& spokenName,
                              int32_t track, size_t firstLine) {
  if (book.chapters.empty()) return spokenName + " " + std::to_string(track) + ".\r\n\r\n";
  const int chapter = ChapterOfLine(book.chapters, firstLine);
  if (chapter < 0) return book.titleFirst && firstLine == 0 ? "" : spokenName + ".\r\n\r\n";
  const TChapterMark& mark = book.chapters[static_cast<size_t>(chapter)];
  if (mark.line == firstLine) return "";
  return Utf8ToAnsi(mark.title) + ".\r\n\r\n";
}

namespace {

// Records where each fragment starts, appending the title lines as the
// conversion does so that the fragments come out the same.
class TPlanner : public TFragmentEvents {
 public:
  TPlanner(const TBookText& book, const std::string& spokenName, std::vector<TPlannedFile>* files)
      : book_(book), spokenName_(spokenName), files_(files) {}
  void FragmentStart(TFragmentBuffer& buffer, size_t firstLine) override {
    const int32_t track = static_cast<int32_t>(files_->size()) + 1;
    if (Settings.TITOLO) buffer.AppendText(FragmentTitleLine(book_, spokenName_, track, firstLine));
    TPlannedFile file;
    file.firstLine = firstLine;
    file.chapter = ChapterOfLine(book_.chapters, firstLine);
    files_->push_back(file);
  }
  void FragmentEnd(TFragmentBuffer& buffer, bool, bool) override { buffer.Clear(); }

 private:
  const TBookText& book_;
  const std::string& spokenName_;
  std::vector<TPlannedFile>* files_;
};

}  // namespace

TFilePlan::TFilePlan(const TBookText& book, const TFragmentSettings& settings,
                     const std::string& spokenName)
    : book_(book) {
  TFragmentBuffer buffer(settings.fragmentSize);
  TPlanner planner(book, spokenName, &files_);
  int32_t position = 0;
  RunFragmentLoop(book.lines, settings, &position, buffer, planner);
  // The parts of each chapter: from the file that holds its heading (which
  // it may share with short chapters before it) to the last that goes on
  // with it.
  for (size_t i = 0; i < files_.size();) {
    size_t end = i;
    while (end < files_.size() && files_[end].chapter == files_[i].chapter) ++end;
    size_t first = i;
    if (files_[i].chapter >= 0) {
      const size_t heading = book.chapters[static_cast<size_t>(files_[i].chapter)].line;
      while (first > 0 && files_[first].firstLine > heading) --first;
    }
    for (size_t k = i; k < end; ++k) {
      files_[k].part = static_cast<int>(k - first) + 1;
      files_[k].parts = static_cast<int>(end - first);
    }
    i = end;
  }
}

std::string TFilePlan::Title(int32_t track, const std::string& fallback) const {
  if (track < 1 || track > Files()) return fallback;
  const TPlannedFile& file = files_[static_cast<size_t>(track) - 1];
  if (file.chapter < 0) return fallback;
  std::string title = book_.chapters[static_cast<size_t>(file.chapter)].title;
  if (file.parts > 1) title += " (" + std::to_string(file.part) + "/" + std::to_string(file.parts) + ")";
  return title;
}

TFragmentSettings FragmentSettingsFor(const TBookText& book) {
  TFragmentSettings settings;
  settings.fragmentSize = Settings.FRAMMENTI;
  settings.splitLine = Settings.RIGAFRAMMENTA;
  settings.paragraphBreaks = Settings.PAUSAPARAGRAFO;
  for (const TChapterMark& chapter : book.chapters) settings.chapterLines.push_back(chapter.line);
  settings.shortChaptersShare = Settings.FORMATO != kFormatDaisy;
  return settings;
}

bool ChapterOutput(const TBookText& book) {
  return Settings.CAPITOLI && (book.document || !book.chapters.empty());
}

void NameAfterBook(const TBookText& book, TTextNames* names) {
  if (!ChapterOutput(book) || book.metadata.title.empty()) return;
  names->TagName = book.metadata.title;
  names->SpokenName = Utf8ToAnsi(book.metadata.title);
}
