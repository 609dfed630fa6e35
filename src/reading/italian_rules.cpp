// The Italian rules, one row each in kRules. The text is read once, from
// left to right; at the start of every word the rules are tried in the
// table's order, the first that matches writes its replacement, and the
// reading goes on after what it matched. A rule therefore never sees what
// another wrote, and the text between matches is copied as it is. Matchers
// look at the original text only, also for the words around a match.
#include "reading/italian_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "reading/letters.h"

namespace reading {
namespace {

struct TScan;
struct TRule;

// The length of what the rule matches at the start of a word, or 0.
using TMatcher = size_t (*)(TScan& scan, size_t at, const TRule& rule);
// Appends what takes the place of the match.
using TReplacer = void (*)(const TScan& scan, size_t at, size_t length, const TRule& rule,
                           std::string* out);

// What takes the place of a match: a text, which takes the capital of the
// match's first letter, or a function that writes it.
struct TReplacement {
  TReplacement(const char* t) : text(t) {}
  TReplacement(TReplacer w) : write(w) {}
  const char* text = nullptr;
  TReplacer write = nullptr;
};

struct TRule {
  const char* name;
  TMatcher match;
  const char* pattern;  // what the matcher looks for, when it takes a text
  TReplacement replacement;
  // The letters, in lower case, that begin a match; without them, the
  // pattern's first letter, or any character of a word.
  const char* starts = nullptr;
};

struct TScan {
  explicit TScan(const std::string& t) : text(t) {}
  const std::string& text;
  // Apostrophes that close a quotation ('...'), on the lines looked at so
  // far, in order; lines are looked at when an accent rule first needs them.
  std::vector<size_t> closingQuotes;
  size_t linesLookedAtUpTo = 0;
  // The end of the word whose start the rules are tried at.
  size_t wordEnd = 0;
  // The first "@" from where an e-mail address was last looked for.
  size_t nextAtSign = 0;
  bool atSignFound = false;
  // The accented vowel that the last match of the accent rule chose.
  char accent = 0;
};

// Word lists, in lower case, searched one by one: they are consulted
// for a few words of a text only.
bool InList(const std::string& word, const char* const* list) {
  for (; *list; ++list)
    if (word[0] == (*list)[0] && word == *list) return true;
  return false;
}

// The characters of text[from, to) in lower case.
std::string LowerWord(const std::string& text, size_t from, size_t to) {
  std::string word = text.substr(from, to - from);
  for (char& c : word) c = ToLower(c);
  return word;
}

bool StartsWithIgnoringCase(const std::string& text, size_t at, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i)
    if (at + i >= text.size() || ToLower(text[at + i]) != prefix[i]) return false;
  return true;
}

size_t SkipSpaces(const std::string& text, size_t at) {
  while (at < text.size() && IsSpaceOrTab(text[at])) ++at;
  return at;
}

// The word of letters that ends just before text[end] but for spaces and
// tabs (and, with dotAllowed, one full stop right after the word); false
// when something else comes first.
bool WordBefore(const std::string& text, size_t end, bool dotAllowed, size_t* from, size_t* to) {
  size_t i = end;
  while (i > 0 && IsSpaceOrTab(text[i - 1])) --i;
  if (dotAllowed && i > 0 && text[i - 1] == '.') --i;
  if (i == 0 || !IsLetter(text[i - 1])) return false;
  *to = i;
  while (i > 0 && IsLetter(text[i - 1])) --i;
  if (i > 0 && IsDigit(text[i - 1])) return false;
  *from = i;
  return true;
}

// The word of letters that starts after text[at] but for spaces and tabs.
bool WordAfter(const std::string& text, size_t at, size_t* from, size_t* to) {
  size_t i = SkipSpaces(text, at);
  if (i >= text.size() || !IsLetter(text[i])) return false;
  *from = i;
  while (i < text.size() && IsLetter(text[i])) ++i;
  if (i < text.size() && IsDigit(text[i])) return false;
  *to = i;
  return true;
}

// Capitalises a replacement when the text it replaces begins with a capital.
void AppendKeepingInitial(const std::string& text, size_t at, const char* replacement,
                          std::string* out) {
  size_t start = out->size();
  *out += replacement;
  if (IsUpperLetter(text[at]) && out->size() > start) (*out)[start] = ToUpper((*out)[start]);
}

// ---------------------------------------------------------------------------
// Web and e-mail addresses, said as they are read out: "debian punto org
// barra doc". A full stop, a colon or a question mark that ends an address
// belongs to the sentence.

bool IsAsciiWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c);
}

bool IsAddressChar(char c) { return IsAsciiWordChar(c) || (c && std::strchr("-._~/?#@&+=%:", c)); }

const char* const kSchemes[] = {"http://", "https://", "ftp://", nullptr};

size_t MatchWebAddress(TScan& scan, size_t at, const TRule&) {
  const std::string& text = scan.text;
  char first = ToLower(text[at]);
  if (first != 'h' && first != 'w' && first != 'f') return 0;
  size_t body = 0;
  for (const char* const* scheme = kSchemes; *scheme; ++scheme)
    if (StartsWithIgnoringCase(text, at, *scheme)) body = at + std::strlen(*scheme);
  if (body == 0 && StartsWithIgnoringCase(text, at, "www.")) body = at + 4;
  if (body == 0 || body >= text.size() || !IsAsciiWordChar(text[body])) return 0;
  size_t end = body;
  while (end < text.size() && IsAddressChar(text[end])) ++end;
  while (end > body && std::strchr(".,:;?!#&=+@", text[end - 1])) --end;
  return end - at;
}

// Appends the characters of an address as words, one space between them.
void SayAddress(const std::string& address, std::string* out) {
  static const struct {
    char c;
    const char* word;
  } kSigns[] = {{'.', "punto"},
                {'/', "barra"},
                {'-', "trattino"},
                {'_', "trattino basso"},
                {'@', "chiocciola"},
                {':', "due punti"},
                {'?', "punto interrogativo"},
                {'=', "uguale"},
                {'&', "e commerciale"},
                {'#', "cancelletto"},
                {'%', "per cento"},
                {'~', "tilde"},
                {'+', "pi\xF9"}};
  bool inWord = false;
  for (char c : address) {
    if (IsAsciiWordChar(c)) {
      if (!inWord) *out += ' ';
      *out += c;
      inWord = true;
      continue;
    }
    inWord = false;
    for (const auto& sign : kSigns)
      if (sign.c == c) {
        *out += ' ';
        *out += sign.word;
      }
  }
}

void SayWebAddress(const TScan& scan, size_t at, size_t length, const TRule&, std::string* out) {
  std::string address = scan.text.substr(at, length);
  for (const char* const* scheme = kSchemes; *scheme; ++scheme)
    if (StartsWithIgnoringCase(address, 0, *scheme)) address.erase(0, std::strlen(*scheme));
  if (StartsWithIgnoringCase(address, 0, "www.")) address.erase(0, 4);
  while (!address.empty() && address.back() == '/') address.pop_back();
  *out += "indirizzo web";
  SayAddress(address, out);
}

bool IsMailboxChar(char c) { return IsAsciiWordChar(c) || (c && std::strchr("._%+-", c)); }

size_t MatchEmailAddress(TScan& scan, size_t at, const TRule&) {
  const std::string& text = scan.text;
  // Mailbox names are 64 characters at most.
  if (!scan.atSignFound || scan.nextAtSign < at) {
    scan.nextAtSign = text.find('@', at);
    scan.atSignFound = true;
  }
  if (scan.nextAtSign == std::string::npos || scan.nextAtSign - at > 64) return 0;
  size_t at_sign = at;
  while (at_sign < text.size() && IsMailboxChar(text[at_sign])) ++at_sign;
  if (at_sign >= text.size() || text[at_sign] != '@' || text[at_sign - 1] == '.') return 0;
  size_t end = at_sign + 1;
  while (end < text.size() && (IsAsciiWordChar(text[end]) || text[end] == '-' || text[end] == '.'))
    ++end;
  while (end > at_sign + 1 && (text[end - 1] == '.' || text[end - 1] == '-')) --end;
  // A domain of two names or more, none empty, the last of letters only.
  size_t lastDot = text.rfind('.', end - 1);
  if (lastDot == std::string::npos || lastDot <= at_sign + 1 || end - lastDot < 3) return 0;
  for (size_t i = at_sign + 1; i < end; ++i)
    if (text[i] == '.' && (text[i - 1] == '.' || text[i - 1] == '@')) return 0;
  for (size_t i = lastDot + 1; i < end; ++i)
    if (IsDigit(text[i]) || text[i] == '-') return 0;
  return end - at;
}

void SayEmailAddress(const TScan& scan, size_t at, size_t length, const TRule&, std::string* out) {
  *out += "indirizzo email";
  SayAddress(scan.text.substr(at, length), out);
}

// ---------------------------------------------------------------------------
// Abbreviations, read as the words they stand for. The pattern is in lower
// case; a space in it stands for any number of spaces, none included.

size_t MatchPattern(const TScan& scan, size_t at, const char* pattern) {
  const std::string& text = scan.text;
  // Every abbreviation has a full stop after its first word.
  if (scan.wordEnd >= text.size() || text[scan.wordEnd] != '.') return 0;
  if (ToLower(text[at]) != pattern[0]) return 0;
  // Not inside a file name, an address or a longer abbreviation.
  if (at > 0 && std::strchr("./\\@_", text[at - 1])) return 0;
  size_t i = at;
  for (const char* p = pattern; *p; ++p) {
    if (*p == ' ') {
      i = SkipSpaces(text, i);
      continue;
    }
    if (i >= text.size() || ToLower(text[i]) != *p) return 0;
    ++i;
  }
  // Whole words: "sig.ra" is no "sig.", "es.txt" no "es."
  if (i < text.size() && IsLetter(text[i])) return 0;
  return i - at;
}

size_t MatchAbbreviation(TScan& scan, size_t at, const TRule& rule) {
  return MatchPattern(scan, at, rule.pattern);
}

// The abbreviation before a number: "n. 5".
size_t MatchBeforeNumber(TScan& scan, size_t at, const TRule& rule) {
  size_t length = MatchPattern(scan, at, rule.pattern);
  if (length == 0) return 0;
  size_t next = SkipSpaces(scan.text, at + length);
  return next < scan.text.size() && IsDigit(scan.text[next]) ? length : 0;
}

// The abbreviation that ends a sentence: the end of the text or of a line,
// or a capital, follows it.
size_t MatchAtSentenceEnd(TScan& scan, size_t at, const TRule& rule) {
  size_t length = MatchPattern(scan, at, rule.pattern);
  if (length == 0) return 0;
  size_t next = SkipSpaces(scan.text, at + length);
  if (next >= scan.text.size()) return length;
  char c = scan.text[next];
  return c == '\r' || c == '\n' || IsUpperLetter(c) ? length : 0;
}

// "S." before the name of a saint. Only names of saints count, since "S."
// is as often an initial ("S. Freud", "J. S. Bach").
const char* const kSaints[] = {
    "agostino",  "alessandro", "ambrogio",   "andrea",   "antonio",     "bartolomeo", "basilio",
    "benedetto", "bernardino", "bernardo",   "biagio",   "bonaventura", "carlo",      "cipriano",
    "clemente",  "cosma",      "cristoforo", "damiano",  "domenico",    "donato",     "elia",
    "eusebio",   "eustachio",  "felice",     "filippo",  "francesco",   "gabriele",   "gaetano",
    "gennaro",   "giacomo",    "gimignano",  "giorgio",  "giovanni",    "girolamo",   "giuda",
    "giuseppe",  "giusto",     "gottardo",   "gregorio", "ignazio",     "ilario",     "isidoro",
    "lazzaro",   "leonardo",   "lorenzo",    "luca",     "luigi",       "marco",      "martino",
    "matteo",    "mattia",     "mauro",      "michele",  "nicola",      "nicol\xF2",  "pancrazio",
    "paolo",     "pellegrino", "pietro",     "pio",      "raffaele",    "remo",       "rocco",
    "romano",    "sebastiano", "silvestro",  "simone",   "siro",        "sisto",      "spirito",
    "stefano",   "teodoro",    "tommaso",    "ubaldo",   "valentino",   "vincenzo",   "vito",
    "vittore",   "zaccaria",   "zeno",       nullptr};
const char* const kFemaleSaints[] = {
    "agata",     "agnese",     "anna",     "apollonia", "barbara",  "brigida",    "caterina",
    "cecilia",   "chiara",     "cristina", "croce",     "elena",    "elisabetta", "eufemia",
    "francesca", "giulia",     "giustina", "irene",     "lucia",    "maddalena",  "margherita",
    "maria",     "marta",      "monica",   "orsola",    "rita",     "rosa",       "rosalia",
    "sabina",    "scolastica", "sofia",    "teresa",    "veronica", "vittoria",   nullptr};

size_t MatchSaintTitle(TScan& scan, size_t at, const TRule& rule) {
  const std::string& text = scan.text;
  if (text.compare(at, 2, rule.pattern) != 0) return 0;
  // Not after another initial: "J. S. Bach".
  size_t from, to;
  if (WordBefore(text, at, true, &from, &to) && to - from == 1 && to < at && text[to] == '.')
    return 0;
  if (!WordAfter(text, at + 2, &from, &to) || !IsUpperLetter(text[from])) return 0;
  std::string name = LowerWord(text, from, to);
  if (!InList(name, kSaints) && !InList(name, kFemaleSaints)) return 0;
  return from - at;
}

bool IsVowel(char c) { return c && std::strchr("aeiouAEIOU", c); }

void SaySaintTitle(const TScan& scan, size_t at, size_t length, const TRule&, std::string* out) {
  const std::string& text = scan.text;
  size_t from = at + length, to = WordEnd(text, from);
  std::string name = LowerWord(text, from, to);
  if (InList(name, kFemaleSaints))
    *out += IsVowel(name[0]) ? "Sant'" : "Santa ";
  else if (IsVowel(name[0]))
    *out += "Sant'";
  else if (name[0] == 's' && name.size() > 1 && !IsVowel(name[1]))
    *out += "Santo ";
  else
    *out += "San ";
}

// ---------------------------------------------------------------------------
// Roman numerals written in lower case after the name of a ruler ("luigi
// xiv", "Pio ix") or beside the word of a numbered part ("secolo xix",
// "il xv secolo") are written in capitals, which the engine reads as
// ordinals. Numerals that are also words are left alone.

// Standard forms from I to MMMM only: "IIII" and "IC" are not numerals.
bool IsRomanNumeral(const std::string& upper) {
  size_t i = 0;
  auto count = [&](char c, size_t most) {
    size_t n = 0;
    while (i < upper.size() && upper[i] == c && n < most) ++i, ++n;
    return n;
  };
  // One decimal place: one, five and ten of its unit.
  auto place = [&](char one, char five, char ten) {
    if (i + 1 < upper.size() && upper[i] == one && (upper[i + 1] == five || upper[i + 1] == ten)) {
      i += 2;
      return;
    }
    count(five, 1);
    count(one, 3);
  };
  count('M', 4);
  place('C', 'D', 'M');
  place('X', 'L', 'C');
  place('I', 'V', 'X');
  return !upper.empty() && i == upper.size();
}

// Words of Italian (and common symbols) that are also numerals.
// (Single letters are variables, "x", or initials, and never count.)
const char* const kNumeralWords[] = {"ci", "di", "li", "mi", "vi", "cc", "cd", "cl",  "cm",
                                     "cv", "dc", "dl", "mc", "ml", "mm", "xl", "mix", nullptr};
// Names of popes and kings, for texts in lower case.
const char* const kRulers[] = {
    "adriano",   "alessandro", "alfonso",  "amedeo",     "benedetto", "bonifacio",  "carlo",
    "celestino", "clemente",   "corrado",  "costantino", "edoardo",   "elisabetta", "emanuele",
    "enrico",    "eugenio",    "federico", "ferdinando", "filippo",   "francesco",  "giacomo",
    "giorgio",   "giovanni",   "giulio",   "gregorio",   "guglielmo", "innocenzo",  "leone",
    "leopoldo",  "ludovico",   "luigi",    "martino",    "napoleone", "niccol\xF2", "onorio",
    "ottone",    "paolo",      "pietro",   "pio",        "riccardo",  "sisto",      "stefano",
    "umberto",   "urbano",     "vittorio", nullptr};
// Words that number the divisions of a work, and centuries.
const char* const kNumberedParts[] = {"atto",  "canto",  "cap",  "capitolo", "libro",  "parte",
                                      "scena", "secolo", "tomo", "vol",      "volume", nullptr};

size_t MatchRomanNumeral(TScan& scan, size_t at, const TRule&) {
  const std::string& text = scan.text;
  size_t end = scan.wordEnd;
  for (size_t i = at; i < end; ++i)
    if (!std::strchr("IVXLCDMivxlcdm", text[i])) return 0;
  if (end < text.size() && IsApostrophe(text[end]) && end + 1 < text.size() &&
      IsLetter(text[end + 1]))
    return 0;  // an elision: "l'", "d'"
  // Lower case only: numerals in capitals need nothing, and a word with a
  // capital initial is a name ("Dix").
  for (size_t i = at; i < end; ++i)
    if (!IsLowerLetter(text[i])) return 0;
  std::string lower = text.substr(at, end - at), upper = lower;
  for (char& c : upper) c = ToUpper(c);
  if (lower.size() < 2 || InList(lower, kNumeralWords) || !IsRomanNumeral(upper)) return 0;
  size_t from, to;
  bool context = false;
  // After a name of three letters or more: "Li xi" is a formula.
  if (WordBefore(text, at, false, &from, &to))
    context = (IsUpperLetter(text[from]) && to - from >= 3) ||
              InList(LowerWord(text, from, to), kRulers) ||
              InList(LowerWord(text, from, to), kNumberedParts);
  if (!context && WordBefore(text, at, true, &from, &to))
    context = InList(LowerWord(text, from, to), kNumberedParts);
  if (!context && WordAfter(text, end, &from, &to))
    context = InList(LowerWord(text, from, to), kNumberedParts);
  return context ? end - at : 0;
}

void SayCapitals(const TScan& scan, size_t at, size_t length, const TRule&, std::string* out) {
  for (size_t i = at; i < at + length; ++i) *out += ToUpper(scan.text[i]);
}

// ---------------------------------------------------------------------------
// A vowel and an apostrophe at a word's end, typed for an accent: "e'",
// "perche'", "citta'". An elision drops a vowel, so the word before its
// apostrophe ends with a consonant ("dell'", "un'", "quell'"); a vowel
// before an apostrophe is an accent or the apocope of a short word ("po'",
// "be'", "va'"). Hence words of four letters or more always take the
// accent, and shorter ones only when they are listed below. The accent is
// grave but on "-ché", "-tré" and the words of kAcuteWords.

// Short words that take an accent.
const char* const kShortAccented[] = {"ali", "cio", "da", "eta", "gia", "giu", "la", "li", "noe",
                                      "piu", "puo", "si", "te",  "uso", "che", "se", "ne", nullptr};
// Short words whose apostrophe stands for dropped letters.
const char* const kApocopes[] = {"a",   "be",  "ca", "co",  "de", "di",  "fa",  "fe",
                                 "fra", "gua", "i",  "ma",  "me", "mi",  "mo",  "nu",
                                 "o",   "pa",  "pe", "pie", "po", "pro", "que", "sta",
                                 "su",  "tie", "to", "tu",  "va", "ve",  "vo",  nullptr};
// Long words with the accent that are common enough to be taken for accented
// words rather than the end of a quotation.
const char* const kKnownAccented[] = {
    "affinche", "allorche", "anziche", "benche", "caffe",   "chissa", "cioe",
    "citta",    "cosi",     "finche",  "gesu",   "giacche", "laggiu", "lassu",
    "meta",     "nonche",   "pero",    "percio", "perche",  "poiche", "purche",
    "quaggiu",  "quassu",   "sara",    "sicche", "verita",  "virtu",  nullptr};
const char* const kAcuteWords[] = {"batte", "crede", "pote",  "ripete", "se",
                                   "ne",    "che",   "vende", nullptr};
// Words after an apostrophe that opens no quotation: "'sto", "'l".
const char* const kAphaereses[] = {"l", "n", "na", "ndo", "sta", "ste", "sti", "sto", nullptr};

// How an apostrophe after a word is read.
enum class TApostrophe {
  NotVowel,  // after a consonant or a digit: an elision or a quote
  Always,    // "e'": always "è"
  Apocope,   // "po'": stays as it is
  Listed,    // a word that takes the accent, also inside a quotation
  Other,     // a word of four letters or more: accented, or a quotation's end
  Short,     // another short word: a quotation's end or nothing ('qui')
  Closer     // two apostrophes: a quotation's end (``...'')
};

TApostrophe ClassifyApostrophe(const std::string& word) {
  if (word.empty() || !IsVowel(word.back())) return TApostrophe::NotVowel;
  for (char c : word)
    if (!(c >= 'a' && c <= 'z')) return TApostrophe::NotVowel;
  if (word == "e") return TApostrophe::Always;
  if (InList(word, kApocopes)) return TApostrophe::Apocope;
  if (InList(word, kShortAccented) || InList(word, kKnownAccented)) return TApostrophe::Listed;
  return word.size() >= 4 ? TApostrophe::Other : TApostrophe::Short;
}

bool IsQuoteOpener(const std::string& text, size_t i, size_t lineStart, size_t lineEnd) {
  char c = text[i];
  if (c != '\'' && c != '`' && c != '\x91') return false;
  if (i > lineStart && IsWordChar(text[i - 1])) return false;
  if (i + 1 >= lineEnd || !IsLetter(text[i + 1])) return false;
  size_t end = i + 1;
  while (end < lineEnd && IsLetter(text[end])) ++end;
  return !InList(LowerWord(text, i + 1, end), kAphaereses);
}

// Finds which apostrophes of the line around text[at] close a quotation
// opened on the same line. Inside a quotation an apostrophe after a word
// closes it, unless the word is an apocope, "e'", or a listed accented word
// that an apostrophe after an unlisted word follows on the line.
void LookAtLine(TScan& scan, size_t at) {
  const std::string& text = scan.text;
  size_t start = at;
  while (start > scan.linesLookedAtUpTo && text[start - 1] != '\n' && text[start - 1] != '\r')
    --start;
  size_t end = at;
  while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
  scan.linesLookedAtUpTo = end;

  struct TMark {
    size_t at;
    bool opener;
    TApostrophe kind;
  };
  std::vector<TMark> marks;
  for (size_t i = start; i < end; ++i) {
    if (IsQuoteOpener(text, i, start, end)) {
      marks.push_back({i, true, TApostrophe::NotVowel});
    } else if (IsApostrophe(text[i]) && i > start && IsWordChar(text[i - 1]) &&
               !(i + 1 < end && IsLetter(text[i + 1]))) {
      size_t from = i, run = 1;
      while (from > start && IsWordChar(text[from - 1])) --from;
      while (i + run < end && IsApostrophe(text[i + run])) ++run;
      if (run == 3) {  // an accent, and the two that close: "citta'''"
        marks.push_back({i, false, TApostrophe::Always});
        marks.push_back({i + 1, false, TApostrophe::Closer});
      } else {
        marks.push_back(
            {i, false,
             run == 2 ? TApostrophe::Closer : ClassifyApostrophe(LowerWord(text, from, i))});
      }
      i += run - 1;
    }
  }
  bool open = false;
  for (size_t m = 0; m < marks.size(); ++m) {
    const TMark& mark = marks[m];
    if (mark.opener) {
      open = true;
      continue;
    }
    if (!open || mark.kind == TApostrophe::Always || mark.kind == TApostrophe::Apocope) continue;
    if (mark.kind == TApostrophe::Listed) {
      bool closerFollows = false;
      for (size_t n = m + 1; n < marks.size() && !marks[n].opener; ++n)
        if (marks[n].kind != TApostrophe::Always && marks[n].kind != TApostrophe::Apocope &&
            marks[n].kind != TApostrophe::Listed)
          closerFollows = true;
      if (closerFollows) continue;
    }
    scan.closingQuotes.push_back(mark.at);
    open = false;
  }
}

bool ClosesQuotation(TScan& scan, size_t apostrophe) {
  if (apostrophe >= scan.linesLookedAtUpTo) LookAtLine(scan, apostrophe);
  return std::binary_search(scan.closingQuotes.begin(), scan.closingQuotes.end(), apostrophe);
}

// The sentence around text[at]: back to the end of the previous one, on to
// the end of this one.
void SentenceAround(const std::string& text, size_t at, size_t* from, size_t* to) {
  auto ends = [&](size_t i) {
    return text[i] == '.' || text[i] == '!' || text[i] == '?' || text[i] == ';';
  };
  *from = at;
  while (*from > 0 && !ends(*from - 1)) --*from;
  *to = at;
  while (*to < text.size() && !ends(*to)) ++*to;
}

// "ne'" is "né" in a sentence that denies ("non ... ne' ...", "ne' carne
// ne' pesce") and stays "ne'" (for "nei") elsewhere.
bool DeniesAround(const std::string& text, size_t wordStart, size_t apostrophe) {
  static const char* const kDenials[] = {"mai",     "neanche", "nemmeno", "neppure", "nessun",
                                         "nessuna", "nessuno", "niente",  "non",     "nulla",
                                         "senza",   "n\xE9",   nullptr};
  size_t from, to;
  SentenceAround(text, wordStart, &from, &to);
  for (size_t i = from; i < to;) {
    if (!IsWordStart(text, i)) {
      ++i;
      continue;
    }
    size_t end = WordEnd(text, i);
    if (i != wordStart) {
      std::string word = LowerWord(text, i, end);
      if (InList(word, kDenials)) return true;
      if (word == "ne" && end < text.size() && IsApostrophe(text[end]) && end != apostrophe)
        return true;
    }
    i = end;
  }
  return false;
}

size_t MatchAccent(TScan& scan, size_t at, const TRule&) {
  const std::string& text = scan.text;
  size_t end = scan.wordEnd;
  if (end >= text.size() || !IsApostrophe(text[end])) return 0;
  if (end + 1 < text.size() && IsLetter(text[end + 1])) return 0;  // an elision
  // Two apostrophes close a quotation (``...''); a third before them is
  // an accent ("citta''' ").
  size_t apostrophes = 1;
  while (end + apostrophes < text.size() && IsApostrophe(text[end + apostrophes])) ++apostrophes;
  if (apostrophes != 1 && apostrophes != 3) return 0;
  std::string word = LowerWord(text, at, end);
  TApostrophe kind = ClassifyApostrophe(word);
  if (kind == TApostrophe::NotVowel || kind == TApostrophe::Apocope || kind == TApostrophe::Short)
    return 0;
  if (kind != TApostrophe::Always && ClosesQuotation(scan, end)) return 0;
  size_t from, to;
  if (word == "se" && WordBefore(text, at, false, &from, &to) && LowerWord(text, from, to) == "tu")
    return 0;  // "tu se'": "sei"
  if (word == "ne" && !DeniesAround(text, at, end)) return 0;

  bool acute =
      word.back() == 'e' && (InList(word, kAcuteWords) ||
                             (word.size() >= 4 && (word.compare(word.size() - 3, 3, "che") == 0 ||
                                                   word.compare(word.size() - 3, 3, "tre") == 0)));
  static const char kGrave[] = "\xE0\xE8\xEC\xF2\xF9";  // à è ì ò ù
  static const char kAcute[] = "\xE1\xE9\xED\xF3\xFA";  // á é í ó ú
  const char* vowel = std::strchr("aeiou", word.back());
  char accent = (acute ? kAcute : kGrave)[vowel - "aeiou"];
  scan.accent = IsUpperLetter(text[end - 1]) ? ToUpper(accent) : accent;
  return end + 1 - at;
}

void SayAccented(const TScan& scan, size_t at, size_t length, const TRule&, std::string* out) {
  out->append(scan.text, at, length - 2);
  *out += scan.accent;
}

// ---------------------------------------------------------------------------

// clang-format off
const TRule kRules[] = {
    // name                      matcher              pattern      replacement       starts
    {"indirizzo web",            MatchWebAddress,     nullptr,     SayWebAddress,    "fhw"},
    {"indirizzo email",          MatchEmailAddress,   nullptr,     SayEmailAddress},
    {"sig.ra",                   MatchAbbreviation,   "sig.ra",    "signora"},
    {"sig.na",                   MatchAbbreviation,   "sig.na",    "signorina"},
    {"sigg.",                    MatchAbbreviation,   "sigg.",     "signori"},
    {"sig.",                     MatchAbbreviation,   "sig.",      "signor"},
    {"dott.ssa",                 MatchAbbreviation,   "dott.ssa",  "dottoressa"},
    {"dott.",                    MatchAbbreviation,   "dott.",     "dottor"},
    {"prof.ssa",                 MatchAbbreviation,   "prof.ssa",  "professoressa"},
    {"prof.",                    MatchAbbreviation,   "prof.",     "professor"},
    {"ing.",                     MatchAbbreviation,   "ing.",      "ingegner"},
    {"avv.",                     MatchAbbreviation,   "avv.",      "avvocato"},
    {"pagg.",                    MatchAbbreviation,   "pagg.",     "pagine"},
    {"pag.",                     MatchAbbreviation,   "pag.",      "pagina"},
    {"pp.",                      MatchAbbreviation,   "pp.",       "pagine"},
    {"ecc. a fine frase",        MatchAtSentenceEnd,  "ecc.",      "eccetera."},
    {"ecc.",                     MatchAbbreviation,   "ecc.",      "eccetera"},
    {"p. es.",                   MatchAbbreviation,   "p. es.",    "per esempio"},
    {"es.",                      MatchAbbreviation,   "es.",       "esempio"},
    {"art.",                     MatchAbbreviation,   "art.",      "articolo"},
    {"cap.",                     MatchAbbreviation,   "cap.",      "capitolo"},
    {"vol.",                     MatchAbbreviation,   "vol.",      "volume"},
    {"n. prima di un numero",    MatchBeforeNumber,   "n.",        "numero"},
    {"ca. prima di un numero",   MatchBeforeNumber,   "ca.",       "circa"},
    {"tel.",                     MatchAbbreviation,   "tel.",      "telefono"},
    {"vs.",                      MatchAbbreviation,   "vs.",       "contro"},
    {"cfr.",                     MatchAbbreviation,   "cfr.",      "confronta"},
    {"fig.",                     MatchAbbreviation,   "fig.",      "figura"},
    {"tab.",                     MatchAbbreviation,   "tab.",      "tabella"},
    {"ed.",                      MatchAbbreviation,   "ed.",       "edizione"},
    {"S. prima di un santo",     MatchSaintTitle,     "S.",        SaySaintTitle},
    {"numero romano",            MatchRomanNumeral,   nullptr,     SayCapitals,      "cdilmvx"},
    {"accento con l'apostrofo",  MatchAccent,         nullptr,     SayAccented},
};
// clang-format on

constexpr size_t kRuleCount = sizeof(kRules) / sizeof(kRules[0]);
static_assert(kRuleCount <= 64, "the rules that may start with a character are a 64-bit set");

// For each character, the rules whose match may begin with it.
struct TRulesByStart {
  uint64_t rules[256] = {};
  TRulesByStart() {
    for (size_t r = 0; r < kRuleCount; ++r) {
      const TRule& rule = kRules[r];
      std::string first = ToLower(rule.starts    ? rule.starts
                                  : rule.pattern ? std::string(1, rule.pattern[0])
                                                 : "");
      for (int c = 0; c < 256; ++c) {
        char byte = static_cast<char>(c);
        bool starts =
            IsWordChar(byte) && (first.empty() || first.find(ToLower(byte)) != std::string::npos);
        if (starts) rules[c] |= uint64_t{1} << r;
      }
    }
  }
};

}  // namespace

std::string NormaliseItalian(const std::string& text1252) {
  const std::string& text = text1252;
  static const TRulesByStart byStart;
  TScan scan(text);
  std::string out;
  size_t copied = 0;
  for (size_t at = 0; at < text.size();) {
    if (!IsWordStart(text, at)) {
      ++at;
      continue;
    }
    scan.wordEnd = WordEnd(text, at);
    const TRule* matched = nullptr;
    size_t length = 0;
    for (uint64_t rules = byStart.rules[static_cast<uint8_t>(text[at])]; rules;
         rules &= rules - 1) {
      const TRule& rule = kRules[__builtin_ctzll(rules)];
      length = rule.match(scan, at, rule);
      if (length > 0) {
        matched = &rule;
        break;
      }
    }
    if (!matched) {
      at = scan.wordEnd;
      continue;
    }
    if (out.empty()) out.reserve(text.size() + text.size() / 8);
    out.append(text, copied, at - copied);
    if (matched->replacement.write) {
      matched->replacement.write(scan, at, length, *matched, &out);
    } else {
      AppendKeepingInitial(text, at, matched->replacement.text, &out);
      // "pag.5": the word is no longer cut off by a full stop.
      if (at + length < text.size() && IsWordChar(text[at + length])) out += ' ';
    }
    at += length;
    copied = at;
  }
  if (copied == 0) return text;
  out.append(text, copied, std::string::npos);
  return out;
}

}  // namespace reading
