// Letter case and blanks as the program compares keys, words, answers and
// file names: only the ASCII letters change case; blanks are all characters
// of code 32 or less.
#pragma once

#include <string>

inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

inline std::string UpperAscii(std::string text) {
  for (char& c : text) c = UpperAscii(c);
  return text;
}

inline std::string LowerAscii(std::string text) {
  for (char& c : text) c = LowerAscii(c);
  return text;
}

inline bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

inline std::string TrimBlanks(const std::string& text) {
  size_t start = 0, end = text.size();
  while (start < end && static_cast<unsigned char>(text[start]) <= 32) ++start;
  while (end > start && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(start, end - start);
}

// An answer to a yes/no question: "S" or "SI" for yes, "N" or "NO" for no,
// in any letter case.
enum class YesNoAnswer { Yes, No, Other };

inline YesNoAnswer ParseYesNoAnswer(const std::string& answer) {
  std::string word = UpperAscii(answer);
  if (word == "S" || word == "SI") return YesNoAnswer::Yes;
  if (word == "N" || word == "NO") return YesNoAnswer::No;
  return YesNoAnswer::Other;
}
