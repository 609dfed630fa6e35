// The letters of Windows-1252 as the reading rules see them: which bytes are
// letters, which of them are capitals, and their case forms (the lower-case
// forms are those of text::LowerCp1252). Letters with diacritics count
// (à, È, Š, œ ...); digits are not letters but do join letters into one word.
#pragma once

#include <cstddef>
#include <string>

namespace reading {

namespace letters_detail {

struct TLetterTable {
  unsigned char kind[256];  // 1 lower case, 2 capital, 0 not a letter
  char lower[256];
  char upper[256];
};

constexpr TLetterTable MakeLetterTable() {
  TLetterTable t{};
  for (int c = 0; c < 256; ++c) {
    t.lower[c] = t.upper[c] = static_cast<char>(c);
    if ((c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7) || c == 0x83 || c == 0x9A || c == 0x9C ||
        c == 0x9E || c == 0xAA || c == 0xB5 || c == 0xBA)
      t.kind[c] = 1;
  }
  for (int c = 0; c < 256; ++c) {
    int small = -1;
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
      small = c + 0x20;
    else if (c == 0x8A || c == 0x8C || c == 0x8E)
      small = c + 0x10;
    else if (c == 0x9F)
      small = 0xFF;
    if (small < 0) continue;
    t.kind[c] = 2;
    t.lower[c] = static_cast<char>(small);
    t.upper[small] = static_cast<char>(c);
  }
  return t;
}

inline constexpr TLetterTable kLetters = MakeLetterTable();

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

}  // namespace letters_detail

inline bool IsLetter(char c) { return letters_detail::kLetters.kind[letters_detail::Byte(c)] != 0; }
inline bool IsUpperLetter(char c) {
  return letters_detail::kLetters.kind[letters_detail::Byte(c)] == 2;
}
inline bool IsLowerLetter(char c) {
  return letters_detail::kLetters.kind[letters_detail::Byte(c)] == 1;
}
inline char ToLower(char c) { return letters_detail::kLetters.lower[letters_detail::Byte(c)]; }
inline char ToUpper(char c) { return letters_detail::kLetters.upper[letters_detail::Byte(c)]; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// A character of a word: a letter or a digit.
inline bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c); }
// Spaces and tabs, which separate words on a line.
inline bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
// Any blank, line breaks included.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
// The straight apostrophe and the typographic one (0x92).
inline bool IsApostrophe(char c) { return c == '\'' || c == '\x92'; }

inline std::string ToLower(std::string text) {
  for (char& c : text) c = ToLower(c);
  return text;
}

// Whether a word starts at text[at]: a word character that no word
// character precedes.
inline bool IsWordStart(const std::string& text, size_t at) {
  return at < text.size() && IsWordChar(text[at]) && (at == 0 || !IsWordChar(text[at - 1]));
}
// Where the word that starts at text[at] ends.
inline size_t WordEnd(const std::string& text, size_t at) {
  while (at < text.size() && IsWordChar(text[at])) ++at;
  return at;
}

}  // namespace reading
