// The clauses of espeak-ng, their letters counted, and the short Italian
// words in capitals that it would spell.
#include "reading/engine_case.h"

#include <cstring>

#include "reading/letters.h"

namespace reading {
namespace {

// Italian words of two or three letters, in lower case. Not "usa", which
// is as often the acronym.
const char* const kShortWords[] = {
    "ad",     "ah",    "ai",     "al",     "ci",     "da",  "d\xE0",  "de",    "di",     "d\xEC",
    "do",     "ed",    "eh",     "fa",     "fu",     "ha",  "ho",     "il",    "in",     "io",
    "la",     "l\xE0", "le",     "li",     "l\xEC",  "lo",  "ma",     "me",    "mi",     "ne",
    "n\xE9",  "no",    "oh",     "po",     "re",     "sa",  "se",     "s\xE9", "si",     "s\xEC",
    "so",     "su",    "te",     "t\xE8",  "ti",     "tu",  "un",     "va",    "vi",     "ahi",
    "ama",    "amo",   "bar",    "beh",    "bel",    "ben", "boh",    "che",   "ch\xE9", "chi",
    "ci\xF2", "coi",   "col",    "con",    "cui",    "dai", "dal",    "dei",   "del",    "dia",
    "dio",    "dir",   "due",    "ehi",    "era",    "ero", "est",    "fai",   "far",    "fin",
    "fra",    "gas",   "gi\xE0", "gi\xF9", "gli",    "hai", "han",    "lei",   "lor",    "lui",
    "mah",    "mai",   "mal",    "mia",    "mie",    "mio", "nei",    "nel",   "noi",    "non",
    "ora",    "ore",   "oro",    "per",    "pi\xF9", "poi", "pu\xF2", "pur",   "qua",    "qui",
    "sai",    "san",   "sei",    "sia",    "sta",    "sto", "sua",    "sud",   "sue",    "sui",
    "sul",    "suo",   "tal",    "tra",    "tre",    "tua", "tue",    "tuo",   "una",    "uno",
    "uso",    "via",   "voi",    "zio",    nullptr};

bool IsShortWord(const std::string& word) {
  for (const char* const* w = kShortWords; *w; ++w)
    if (word == *w) return true;
  return false;
}

// Whether a clause ends with text[i].
bool EndsClause(const std::string& text, size_t i) {
  char c = text[i];
  if (c == '\x85') return true;  // the ellipsis, even before a letter
  if (c == '.' || c == ',' || c == ';' || c == ':' || c == '!' || c == '?')
    return i + 1 >= text.size() || !IsWordChar(text[i + 1]);
  if (c != '\n') return false;
  for (size_t j = i + 1; j < text.size() && IsBlank(text[j]); ++j)
    if (text[j] == '\n') return true;
  return false;
}

// Lowers the short words in capitals of the clause text[from, to) in out,
// when the engine would spell them.
void LowerClause(const std::string& text, size_t from, size_t to, std::string* out) {
  int upper = 0, lower = 0;
  for (size_t i = from; i < to; ++i) {
    if (IsUpperLetter(text[i]))
      ++upper;
    else if (IsLowerLetter(text[i]))
      ++lower;
  }
  if (lower <= 3 || upper > lower || upper < 2) return;
  for (size_t i = from; i < to;) {
    if (!IsLetter(text[i])) {
      ++i;
      continue;
    }
    // A word: letters and the apostrophes between them.
    size_t end = i;
    bool capitals = true, apostrophe = false;
    while (end < to) {
      if (IsLetter(text[end])) {
        capitals = capitals && IsUpperLetter(text[end]);
        ++end;
      } else if (IsApostrophe(text[end]) && end + 1 < to && IsLetter(text[end + 1])) {
        apostrophe = true;
        ++end;
      } else {
        break;
      }
    }
    size_t length = end - i;
    bool nextToDigit = (i > 0 && IsDigit(text[i - 1])) || (end < text.size() && IsDigit(text[end]));
    if (capitals && length >= 2 && length <= 3 && !nextToDigit) {
      std::string word = ToLower(text.substr(i, length));
      if (apostrophe || IsShortWord(word)) out->replace(i, length, word);
    }
    i = end;
  }
}

}  // namespace

std::string CaseForEngine(const std::string& text1252) {
  const std::string& text = text1252;
  std::string out = text;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !EndsClause(text, i)) continue;
    LowerClause(text, start, i, &out);
    start = i + 1;
  }
  return out;
}

}  // namespace reading
