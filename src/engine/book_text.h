// A text as the fragment loop walks it: the lines of a plain text, or those
// extracted from a document (each chapter's title and paragraphs, each
// followed by a blank line), with the chapters that start files and the
// book's metadata. A document is extracted the same way every time, so
// that the positions of a checkpoint hold in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "documents/document.h"

struct TChapterMark {
  size_t line = 0;     // its title's line
  int level = 1;
  std::string title;   // UTF-8, blanks collapsed
};

struct TBookText {
  std::optional<documents::TDocumentKind> document;  // nothing for a plain text
  documents::TMetadata metadata;                     // UTF-8
  std::vector<std::string> lines;                    // ANSI, as the loop walks them
  std::vector<TChapterMark> chapters;                // ascending lines; none without chapters
  // The first line is the book's title, put there for a talking book's
  // title heading: TITOLO does not say it again.
  bool titleFirst = false;
};

// Loads the file of a text (size bytes of it, as measured); returns the
// "* ERRORE" line of a text that is a folder, a device, missing or
// unreadable, which is skipped, else "".
std::string LoadTextFile(const std::string& path, int32_t size, std::string* content);

// Reads a file's bytes as the conversion walks them: a document's chapters
// and paragraphs, or a text's lines (its character set decided as
// TIPOTESTO says, oemText as for PrepareText) and the chapters found in
// them unless noPlainChapters. The chapters are dropped when CAPITOLI is
// off. Returns the "* ERRORE" line of a file that is skipped, else "".
std::string ReadBookText(const std::string& content, const std::string& path,
                         bool noPlainChapters, bool* oemText, TBookText* book);

// The lines of a document, its footnotes and endnotes read at the end of
// their chapter after the word "Note" when withNotes.
TBookText BookOfDocument(const documents::TDocument& document, bool withNotes);

// The chapters found in a plain text's lines (ANSI).
std::vector<TChapterMark> ChaptersOfPlainText(const std::vector<std::string>& lines);

// The chapter that holds line: the index of the last chapter starting at or
// before it, or -1 for the text before the first.
int ChapterOfLine(const std::vector<TChapterMark>& chapters, size_t line);

// A digest of a file's bytes, never negative (a checkpoint's number).
int32_t ContentDigest(const std::string& bytes);
