// The fragment loop: a text's lines rebuilt word by word into fragments of
// about the fragment size, cut at sentence ends or at manual split lines,
// with the text position kept exact for resuming.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fragment_buffer.h"

// What the conversion does when a fragment starts and when it is complete.
class TFragmentEvents {
 public:
  virtual ~TFragmentEvents() = default;
  // The fragment is empty and words of line firstLine are about to be
  // appended; the title line, if any, is appended here.
  virtual void FragmentStart(TFragmentBuffer& buffer, size_t firstLine) = 0;
  // The fragment is complete (it may be empty). textPosition already points
  // past it. allLinesConsumed: every line of the text has been walked.
  // contentRemains: a line that would add words to a fragment remains, so
  // another MP3 file will follow.
  virtual void FragmentEnd(TFragmentBuffer& buffer, bool allLinesConsumed,
                           bool contentRemains) = 0;
};

struct TFragmentSettings {
  int32_t fragmentSize = 16384;  // F, in bytes
  std::string splitLine;         // RIGAFRAMMENTA, empty for none
  // PAUSAPARAGRAFO: blank lines after a line of words mark a paragraph break
  // in the fragment (TFragmentBuffer::MarkParagraphBreak); nothing else of
  // the fragments changes.
  bool paragraphBreaks = false;
  // The lines that start chapters, ascending: a fragment ends before each
  // of them, unless everything in it since its start is whole chapters (or
  // the text before the first) shorter than a tenth of the fragment size,
  // which then share a file with the chapter that follows.
  std::vector<size_t> chapterLines;
  // Off, every chapter starts a file of its own, however short (a talking
  // book's headings each begin with their own audio).
  bool shortChaptersShare = true;
};

// Runs the fragment loop over lines. When textPosition is above 0 at the
// call, work resumes there (a position beyond the end of the text raises
// "Errore nel file di ripristino"). textPosition is kept current as the
// offset of the next fragment, every line counting its length plus 2.
void RunFragmentLoop(const std::vector<std::string>& lines, const TFragmentSettings& settings,
                     int32_t* textPosition, TFragmentBuffer& buffer, TFragmentEvents& events);
