// DOS (code page 850) or Windows (1252)? An 8-bit Italian text is told
// apart by where its high bytes stand under each reading: Italian accented
// vowels end words (or are the word "è"), a dash stands before a word or
// alone, an ellipsis is followed by a space, a line end or punctuation,
// quotes stand at a word's edge. A byte that makes sense in one reading only
// is evidence for that reading.
#pragma once

#include <cstdint>
#include <string>

struct TCodePageEvidence {
  int32_t windowsOnly = 0;  // high bytes that fit Italian text in 1252 and not in 850
  int32_t dosOnly = 0;      // the other way round
};

// Weighs every byte from 0x80 up (up to the first NUL byte).
TCodePageEvidence WeighCodePages(const std::string& text);

struct TCodePageGuess {
  bool oem = false;        // read it as a DOS text
  bool doubtful = false;   // the decision deserves a warning
};

// The decision for TIPOTESTO=AUTO. When one reading has more than twice the
// evidence of the other, it wins without doubt. Otherwise the accented
// letters are counted: more DOS than Windows accents make a DOS text (a tie
// is Windows), doubtful when both kinds are present.
TCodePageGuess GuessCodePage(const std::string& text);
