// What each MP3 file of a text holds, planned before it is cut: where it
// starts, its chapter and its part of the chapter, and the titles it is
// given (the line that TITOLO speaks, the tags' title, the file clip).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/book_text.h"
#include "engine/fragmentation.h"
#include "engine/output_layout.h"

struct TPlannedFile {
  size_t firstLine = 0;
  int chapter = -1;  // -1: the text before the first chapter, or no chapters
  // Of the chapter's files, counted from the one that holds its heading.
  int part = 1;
  int parts = 1;
};

// The line that starts a fragment when TITOLO is on. Without chapters it is
// the text's spoken name and the file's number; with chapters a file that
// starts with its chapter's heading needs none, one that goes on with a
// chapter says the chapter's title, and one before the first chapter the
// text's spoken name.
std::string FragmentTitleLine(const TBookText& book, const std::string& spokenName,
                              int32_t track, size_t firstLine);

class TFilePlan {
 public:
  // Walks the text's fragments from its start as the conversion will,
  // titles included; the text's first file is number 1.
  TFilePlan(const TBookText& book, const TFragmentSettings& settings,
            const std::string& spokenName);

  int32_t Files() const { return static_cast<int32_t>(files_.size()); }
  const std::vector<TPlannedFile>& files() const { return files_; }
  // The title of file track (UTF-8): its chapter's, with "(2/3)" when the
  // chapter takes more files; fallback for a file before the first chapter
  // or beyond the plan.
  std::string Title(int32_t track, const std::string& fallback) const;

 private:
  const TBookText& book_;
  std::vector<TPlannedFile> files_;
};

// The fragment settings of the run for the text: its chapters start files
// (ReadBookText leaves none when CAPITOLI is off).
TFragmentSettings FragmentSettingsFor(const TBookText& book);

// Whether the text's files follow its chapters: with CAPITOLI, for every
// document and for a text where chapters were found. Then the book's title,
// where it has one, names it in the tags, the titles and the clips.
bool ChapterOutput(const TBookText& book);
void NameAfterBook(const TBookText& book, TTextNames* names);
