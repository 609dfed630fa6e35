// Reading the dictionary's files into rules, and applying them.
#include "reading/user_dictionary.h"

#include <algorithm>

#include "reading/letters.h"
#include "text/ascii.h"
#include "text/code_pages.h"
#include "text/lines.h"
#include "text/utf8.h"

namespace reading {
namespace {

const char* const kNoEquals = "manca il segno \"=\"";
const char* const kNoWord = "manca la parola prima di \"=\"";
const char* const kNoClosingSlash = "manca la \"/\" che chiude l'espressione regolare";
const char* const kEmptyPattern = "l'espressione regolare e' vuota";
const char* const kHugeNumber =
    "l'espressione regolare ha un numero di ripetizioni o di gruppo di piu' di quattro cifre";

// Whether a pattern holds a repeat count ("{n}", "{n,m}") or a group
// reference ("\\n") of more than four digits: libstdc++ reads them into a
// long that overflows ("a{99999999999999999999}"), so they are refused
// before the pattern is compiled.
bool HasHugeNumber(const std::string& pattern) {
  size_t digits = 0;
  bool counted = false;  // the digits follow "{", "," or "\\"
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c < '0' || c > '9') {
      digits = 0;
      continue;
    }
    if (digits == 0) counted = i > 0 && (pattern[i - 1] == '{' || pattern[i - 1] == ',' ||
                                         pattern[i - 1] == '\\');
    if (++digits > 4 && counted) return true;
  }
  return false;
}
const char* const kBadPattern = "espressione regolare non valida: ";
const char* const kNoCp1252 = "il carattere U+%04X non esiste nella codifica Windows-1252";

std::string LineError(const std::string& file, size_t line, const std::string& reason) {
  return "Errore nel dizionario \"" + file + "\", riga " + std::to_string(line) + ": " + reason;
}

std::string PatternFault(std::regex_constants::error_type code) {
  namespace rc = std::regex_constants;
  switch (code) {
    case rc::error_collate:
      return "nome di confronto non valido";
    case rc::error_ctype:
      return "classe di caratteri non valida";
    case rc::error_escape:
      return "sequenza con \"\\\" non valida";
    case rc::error_backref:
      return "riferimento a un gruppo che non esiste";
    case rc::error_brack:
      return "parentesi quadre non chiuse";
    case rc::error_paren:
      return "parentesi tonde non bilanciate";
    case rc::error_brace:
      return "parentesi graffe non chiuse";
    case rc::error_badbrace:
      return "ripetizione tra graffe non valida";
    case rc::error_range:
      return "intervallo di caratteri non valido";
    case rc::error_badrepeat:
      return "ripetizione che non segue nulla";
    case rc::error_complexity:
      return "espressione troppo complessa";
    default:
      return "memoria insufficiente";
  }
}

// Hexadecimal digits of a number, in upper case, at least digits of them.
std::string Hex(uint64_t n, int digits) {
  std::string out;
  for (; n > 0 || digits > 0; n >>= 4, --digits)
    out.insert(out.begin(), "0123456789ABCDEF"[n & 15]);
  return out;
}

bool IsUtf8(const std::string& content) {
  if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) return true;
  for (size_t i = 0; i < content.size();) {
    text::Utf8Char c = text::DecodeUtf8(content, i);
    if (!c.valid) return false;
    i += c.length;
  }
  return true;
}

// A UTF-8 line in Windows-1252. A grave or acute accent written as a mark
// of its own joins the vowel before it; the byte-order mark goes.
bool Utf8LineToCp1252(const std::string& line, std::string* out, std::string* reason) {
  static const char kVowels[] = "AEIOUaeiou";
  static const char kGrave[] = "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9";
  static const char kAcute[] = "\xC1\xC9\xCD\xD3\xDA\xE1\xE9\xED\xF3\xFA";
  out->clear();
  for (size_t i = 0; i < line.size();) {
    text::Utf8Char c = text::DecodeUtf8(line, i);
    i += c.length;
    if (c.code == 0xFEFF) continue;
    int byte = text::UnicodeToCp1252(c.code);
    if (byte >= 0) {
      *out += static_cast<char>(byte);
      continue;
    }
    if ((c.code == 0x300 || c.code == 0x301) && !out->empty()) {
      const char* vowel = std::char_traits<char>::find(kVowels, 10, out->back());
      if (vowel) {
        out->back() = (c.code == 0x300 ? kGrave : kAcute)[vowel - kVowels];
        continue;
      }
    }
    std::string message = kNoCp1252;
    *reason = message.replace(message.find("%04X"), 4, Hex(c.code, 4));
    return false;
  }
  return true;
}

// Blanks in a phrase become one space.
std::string OneSpaceBetweenWords(const std::string& phrase) {
  std::string out;
  for (char c : phrase) {
    if (IsBlank(c)) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

// The closing "/" of a pattern rule: the first one outside an escape that
// "=" follows, blanks aside; npos without one.
size_t ClosingSlash(const std::string& line) {
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
      continue;
    }
    if (line[i] != '/') continue;
    size_t next = i + 1;
    while (next < line.size() && IsSpaceOrTab(line[next])) ++next;
    if (next < line.size() && line[next] == '=') return i;
  }
  return std::string::npos;
}

uint64_t Fnv1a(uint64_t hash, const std::string& bytes) {
  for (char c : bytes) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x100000001B3ULL;
  }
  return hash;
}

// Where the piece of text that starts at from ends, for the pattern rules:
// after its line break, or, for a line longer than kPatternPiece, after the
// last blank within that length (after kPatternPiece characters when it has
// none). libstdc++ matches patterns recursively, a few hundred bytes of
// stack a character: a whole fragment of 16 KB or more in one line would
// overflow it for a pattern as plain as "(a|b)*".
constexpr size_t kPatternPiece = 2000;

size_t PatternPieceEnd(const std::string& text, size_t from) {
  size_t line = text.find('\n', from);
  size_t end = line == std::string::npos ? text.size() : line + 1;
  if (end - from <= kPatternPiece) return end;
  size_t blank = text.rfind(' ', from + kPatternPiece - 1);
  return blank != std::string::npos && blank > from ? blank + 1 : from + kPatternPiece;
}

}  // namespace

TUserDictionary TUserDictionary::Load(const std::vector<std::pair<std::string, std::string>>& files,
                                      std::string* error) {
  TUserDictionary dictionary;
  // Where each word rule is, to replace it when its word comes again.
  std::unordered_map<std::string, size_t> wordAt;
  error->clear();
  for (const auto& file : files) {
    std::string content = file.second;
    text::DecodeUtf16Text(&content);
    bool utf8 = IsUtf8(content);
    std::vector<std::string> lines = text::SplitLines(content);
    for (size_t number = 1; number <= lines.size(); ++number) {
      std::string line, reason;
      if (!utf8)
        line = lines[number - 1];
      else if (!Utf8LineToCp1252(lines[number - 1], &line, &reason)) {
        *error = LineError(file.first, number, reason);
        return TUserDictionary();
      }
      line = TrimBlanks(line);
      if (line.empty() || line[0] == '#') continue;

      if (line[0] == '/') {
        size_t slash = ClosingSlash(line);
        if (slash == std::string::npos)
          reason = kNoClosingSlash;
        else if (slash == 1)
          reason = kEmptyPattern;
        else if (HasHugeNumber(line.substr(1, slash - 1)))
          reason = kHugeNumber;
        if (!reason.empty()) {
          *error = LineError(file.first, number, reason);
          return TUserDictionary();
        }
        TPatternRule rule;
        rule.source = line.substr(1, slash - 1);
        rule.replacement = TrimBlanks(line.substr(line.find('=', slash) + 1));
        try {
          rule.pattern = std::regex(rule.source, std::regex::ECMAScript | std::regex::icase);
        } catch (const std::regex_error& fault) {
          *error = LineError(file.first, number, kBadPattern + PatternFault(fault.code()));
          return TUserDictionary();
        }
        dictionary.patterns_.push_back(std::move(rule));
        continue;
      }

      bool caseSensitive = line[0] == '!';
      size_t equals = line.find('=');
      if (equals == std::string::npos) {
        *error = LineError(file.first, number, kNoEquals);
        return TUserDictionary();
      }
      std::string key = OneSpaceBetweenWords(
          TrimBlanks(line.substr(caseSensitive ? 1 : 0, equals - (caseSensitive ? 1 : 0))));
      if (key.empty()) {
        *error = LineError(file.first, number, kNoWord);
        return TUserDictionary();
      }
      TWordRule rule{caseSensitive ? key : ToLower(key), caseSensitive,
                     TrimBlanks(line.substr(equals + 1))};
      auto known = wordAt.emplace((caseSensitive ? "!" : "=") + rule.key, dictionary.words_.size());
      if (known.second)
        dictionary.words_.push_back(std::move(rule));
      else
        dictionary.words_[known.first->second].replacement = rule.replacement;
    }
  }
  dictionary.IndexWords();
  return dictionary;
}

void TUserDictionary::IndexWords() {
  byFirstWord_.clear();
  for (size_t i = 0; i < words_.size(); ++i) {
    const std::string& key = words_[i].key;
    byFirstWord_[ToLower(key.substr(0, WordEnd(key, 0)))].push_back(i);
  }
  for (auto& entry : byFirstWord_)
    std::stable_sort(entry.second.begin(), entry.second.end(), [this](size_t a, size_t b) {
      const TWordRule& x = words_[a];
      const TWordRule& y = words_[b];
      if (x.key.size() != y.key.size()) return x.key.size() > y.key.size();
      return x.caseSensitive && !y.caseSensitive;
    });
}

// The length of text that the rule matches at text[at], or 0.
size_t TUserDictionary::MatchWord(const TWordRule& rule, const std::string& text, size_t at) const {
  size_t i = at;
  for (char p : rule.key) {
    if (p == ' ') {
      if (i >= text.size() || !IsBlank(text[i])) return 0;
      while (i < text.size() && IsBlank(text[i])) ++i;
      continue;
    }
    if (i >= text.size() || (rule.caseSensitive ? text[i] : ToLower(text[i])) != p) return 0;
    ++i;
  }
  if (IsWordChar(rule.key.back()) && i < text.size() && IsWordChar(text[i])) return 0;
  return i - at;
}

std::string TUserDictionary::Apply(const std::string& text1252) const {
  std::string text;
  if (!words_.empty()) {
    const std::string& in = text1252;
    auto others = byFirstWord_.find(std::string());
    size_t copied = 0;
    for (size_t at = 0; at < in.size();) {
      bool wordStart = IsWordStart(in, at);
      size_t next = wordStart ? WordEnd(in, at) : at + 1;
      const std::vector<size_t>* candidates = nullptr;
      if (wordStart) {
        auto found = byFirstWord_.find(ToLower(in.substr(at, next - at)));
        if (found != byFirstWord_.end()) candidates = &found->second;
      } else if (others != byFirstWord_.end() && !IsWordChar(in[at]) && !IsBlank(in[at])) {
        candidates = &others->second;
      }
      size_t length = 0;
      const TWordRule* matched = nullptr;
      if (candidates)
        for (size_t index : *candidates) {
          length = MatchWord(words_[index], in, at);
          if (length > 0) {
            matched = &words_[index];
            break;
          }
        }
      if (!matched) {
        at = next;
        continue;
      }
      text.append(in, copied, at - copied);
      text += matched->replacement;
      at += length;
      copied = at;
    }
    text.append(in, copied, std::string::npos);
  } else {
    text = text1252;
  }
  for (const TPatternRule& rule : patterns_) {
    std::string replaced;
    for (size_t at = 0; at < text.size();) {
      size_t end = PatternPieceEnd(text, at);
      std::string piece = text.substr(at, end - at);
      try {
        replaced += std::regex_replace(piece, rule.pattern, rule.replacement);
      } catch (const std::regex_error&) {
        replaced += piece;  // a pattern too costly for this piece leaves it as it is
      }
      at = end;
    }
    text = std::move(replaced);
  }
  return text;
}

std::string TUserDictionary::Digest() const {
  std::vector<const TWordRule*> words;
  for (const TWordRule& word : words_) words.push_back(&word);
  std::sort(words.begin(), words.end(), [](const TWordRule* a, const TWordRule* b) {
    if (a->caseSensitive != b->caseSensitive) return b->caseSensitive;
    return a->key < b->key;
  });
  uint64_t hash = 0xCBF29CE484222325ULL;
  for (const TWordRule* word : words)
    hash = Fnv1a(
        hash, (word->caseSensitive ? "W" : "w") + word->key + '\x1F' + word->replacement + '\x1E');
  for (const TPatternRule& rule : patterns_)
    hash = Fnv1a(hash, "r" + rule.source + '\x1F' + rule.replacement + '\x1E');
  return ToLower(Hex(hash, 16));
}

}  // namespace reading
