#include "text/accents.h"

#include <cstring>

namespace text {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The accented letter in UTF-8 for a vowel that ends word (the letters up to
// and including the vowel); nullptr when it takes none.
const char* AccentedVowel(const std::string& word) {
  if (word == "po" || word == "Po" || word == "PO") return nullptr;
  const char vowel = word.back();
  // "ché" and its compounds (perché, poiché, affinché), "né" and "sé" take
  // the acute accent; every other final e takes the grave one.
  const bool acute = word == "ne" || word == "se" ||
                     (word.size() >= 3 && (word.compare(word.size() - 3, 3, "che") == 0 ||
                                           word.compare(word.size() - 3, 3, "CHE") == 0));
  switch (vowel) {
    case 'a': return "\xC3\xA0";
    case 'e': return acute ? "\xC3\xA9" : "\xC3\xA8";
    case 'i': return "\xC3\xAC";
    case 'o': return "\xC3\xB2";
    case 'u': return "\xC3\xB9";
    case 'A': return "\xC3\x80";
    case 'E': return acute ? "\xC3\x89" : "\xC3\x88";
    case 'I': return "\xC3\x8C";
    case 'O': return "\xC3\x92";
    case 'U': return "\xC3\x99";
    default: return nullptr;
  }
}

}  // namespace

std::string WithAccents(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 8);
  bool quoted = false;
  size_t wordStart = 0;  // in out, of the letters just copied
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') quoted = !quoted;
    const bool apostropheAfterLetter = c == '\'' && !quoted && !out.empty() &&
                                       IsLetter(out.back()) &&
                                       (i + 1 == text.size() || !IsLetter(text[i + 1]));
    if (apostropheAfterLetter) {
      const std::string word = out.substr(wordStart);
      if (const char* accented = AccentedVowel(word)) {
        out.pop_back();
        out += accented;
        continue;
      }
    }
    if (!IsLetter(c)) wordStart = out.size() + 1;
    out += c;
  }
  return out;
}

}  // namespace text
