// A user's pronunciation dictionary: what to say for words, phrases and
// patterns of a text. Its files hold one rule a line:
//   parola = cosa dire        a word or a phrase, whole words, any case
//   !Parola = cosa dire       the same, in this case only
//   /regex/ = sostituzione    an ECMAScript pattern, any case; $1 ... $9,
//                             $& and $$ in the replacement
//   # nota                    a comment, when "#" is the line's first
//                             character but for blanks; blank lines too
// Files are UTF-8 (with or without the byte-order mark), UTF-16 with its
// mark, or Windows-1252; a file is UTF-8 when it has the mark or decodes as
// UTF-8 without fault, as texts are recognised. Rules are matched against
// Windows-1252 text, so every character of a rule must exist in it.
//
// Word rules are applied first, in one reading of the text: where several
// start at the same word, the longest wins, and one in a given case before
// one in any case; a word given again (in a later line or file) replaces
// its earlier rule. Case is folded for the letters of Windows-1252; blanks
// in a phrase match any blanks of the text, line breaks included. The
// pattern rules follow, each over the whole text in the order of the files
// and lines, one line at a time (a line of more than 2,000 characters in
// pieces cut after a blank); they fold the case of ASCII letters only. What a rule writes
// is not read again by the word rules.
//
// The files are read by the caller; this module does no I/O.
#pragma once

#include <cstdint>
#include <regex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace reading {

class TUserDictionary {
 public:
  // The rules of the files (name, content), in order. On a faulty line the
  // dictionary is empty and error holds the reason in Italian:
  //   Errore nel dizionario "nome", riga 3: manca il segno "="
  static TUserDictionary Load(const std::vector<std::pair<std::string, std::string>>& files,
                              std::string* error);

  std::string Apply(const std::string& text1252) const;

  // 16 hexadecimal digits (FNV-1a, 64 bits) of the rules in force, in a
  // normal form: the same for files that differ in comments, blanks, the
  // order of the word rules or rules replaced by later ones.
  std::string Digest() const;

  bool Empty() const { return words_.empty() && patterns_.empty(); }

 private:
  struct TWordRule {
    std::string key;  // the phrase; in lower case unless caseSensitive
    bool caseSensitive;
    std::string replacement;  // Windows-1252
  };
  struct TPatternRule {
    std::string source;  // Windows-1252, as written
    std::regex pattern;
    std::string replacement;
  };

  // Which rules might start at a word, by the lower-case form of the
  // phrase's first word (its leading letters and digits); rules of
  // phrases that begin with another character are under "".
  void IndexWords();
  size_t MatchWord(const TWordRule& rule, const std::string& text, size_t at) const;

  std::vector<TWordRule> words_;
  std::vector<TPatternRule> patterns_;
  std::unordered_map<std::string, std::vector<size_t>> byFirstWord_;
};

}  // namespace reading
