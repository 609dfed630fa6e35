// Chapter headings of plain Italian texts, found by hand scanning of the
// Windows-1252 lines in a few linear passes:
//  1. every line is measured (indentation, length, letters) and grouped into
//     paragraphs, each marked as prose or not (verse, lists and dialogue
//     lines are short);
//  2. isolated lines (a blank before them) are read as heading candidates:
//     a keyword with a number ("CAPITOLO PRIMO", "Cap. III", "PARTE II",
//     "CANTO I"), a word of the front or back matter ("Prefazione"), a
//     Roman or Arabic number alone ("— III —", "1."), a Roman number with
//     its title ("IV. La fuga"), or a short title line between blanks;
//  3. each candidate is judged by what follows it: the weaker kinds need
//     prose soon after, none may be an entry of a table of contents (a
//     heading with next to nothing before the next one), and the weaker
//     kinds need the company of others of their own style.
#include "documents/plain_chapters.h"

#include <algorithm>
#include <cstdint>

namespace documents {
namespace {

const size_t kNone = static_cast<size_t>(-1);

bool IsBlankByte(uint8_t c) { return c == ' ' || c == '\t' || c == 0xA0 || c == '\f' || c == '\v'; }

bool IsUpperLetter(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x8A ||
         c == 0x8C || c == 0x8E || c == 0x9F;
}

bool IsLowerLetter(uint8_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7) || c == 0x9A || c == 0x9C ||
         c == 0x9E || c == 0x83;
}

bool IsLetter(uint8_t c) { return IsUpperLetter(c) || IsLowerLetter(c); }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Dashes, stars and rules that editions put around a heading ("— III —",
// "* 1 *", "=== CAPITOLO I ==="); the Windows-1252 dashes are 0x96 and 0x97.
bool IsDecoration(uint8_t c) {
  return c == '-' || c == 0x96 || c == 0x97 || c == '*' || c == '=' || c == '_' || c == '~' ||
         c == '#' || c == 0x95 || IsBlankByte(c);
}

char LowerByte(uint8_t c) {
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  return static_cast<char>(c);
}

std::string Lower(const std::string& s) {
  std::string out(s);
  for (char& c : out) c = LowerByte(static_cast<uint8_t>(c));
  return out;
}

struct TLine {
  size_t indent = 0;  // leading blanks
  std::string text;   // trimmed
  bool blank = true;  // no letters or digits
  bool empty = true;  // nothing but blanks
  size_t paragraph = kNone;
};

struct TParagraph {
  size_t first = 0, last = 0;  // line indices
  size_t indent = 0;           // the smallest of its lines
  bool prose = false;
};

// A paragraph reads as prose when its lines run to the measure of a page:
// most of them long, or a single long line (a paragraph not wrapped at all).
// Verse, lists, dialogue exchanges and tables of contents have short lines.
bool LooksLikeProse(const std::vector<TLine>& lines, size_t first, size_t last) {
  size_t count = last - first + 1, longLines = 0, total = 0, items = 0;
  for (size_t i = first; i <= last; ++i) {
    const std::string& t = lines[i].text;
    total += t.size();
    // Items of a list: "- uno", "* due", "• tre".
    uint8_t mark = static_cast<uint8_t>(t[0]);
    if ((mark == '-' || mark == '*' || mark == '+' || mark == 0x95) && t.size() > 1 && t[1] == ' ') ++items;
    // A line that ends with a page number belongs to a table of contents.
    bool pageNumber = !t.empty() && IsDigit(static_cast<uint8_t>(t.back())) && t.size() > 3 &&
                      (t[t.size() - 2] == ' ' || t[t.size() - 2] == '.' || IsDigit(static_cast<uint8_t>(t[t.size() - 2])));
    if (t.size() >= 50 && !pageNumber) ++longLines;
  }
  if (items * 2 >= count) return false;
  if (count == 1) return total >= 90 && longLines == 1;
  return total >= 100 && longLines * 2 >= count;
}

// --- numbers -------------------------------------------------------------

int RomanDigit(char c) {
  switch (c) {
    case 'I': return 1;
    case 'V': return 5;
    case 'X': return 10;
    case 'L': return 50;
    case 'C': return 100;
    case 'D': return 500;
    case 'M': return 1000;
    default: return 0;
  }
}

// The value of an upper-case Roman numeral in canonical form, 0 otherwise.
int RomanValue(const std::string& s) {
  if (s.empty() || s.size() > 12) return 0;
  int value = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    int d = RomanDigit(s[i]);
    if (d == 0) return 0;
    int next = i + 1 < s.size() ? RomanDigit(s[i + 1]) : 0;
    value += next > d ? -d : d;
  }
  if (value <= 0 || value > 400) return 0;
  // Canonical form only, so that words like "DIC" or "MIX" are not numbers.
  static const char* const kOnes[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
  static const char* const kTens[] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
  static const char* const kHundreds[] = {"", "C", "CC", "CCC", "CD"};
  std::string canonical = std::string(kHundreds[value / 100]) + kTens[value / 10 % 10] + kOnes[value % 10];
  return canonical == s ? value : 0;
}

bool IsArabic(const std::string& s) {
  if (s.empty() || s.size() > 3) return false;
  for (char c : s)
    if (!IsDigit(static_cast<uint8_t>(c))) return false;
  return s[0] != '0';
}

// Italian ordinals as chapters are numbered: "primo" to "decimo", in both
// genders, and the forms in -esimo ("undicesimo", "ventiduesima"), or
// compounded ("decimoterzo").
bool IsOrdinal(const std::string& word) {
  static const char* const kFirst[] = {"prim", "second", "terz", "quart", "quint",
                                       "sest", "settim", "ottav", "non", "decim"};
  std::string w = Lower(word);
  if (w.size() < 4) return false;
  char ending = w.back();
  if (ending != 'o' && ending != 'a') return false;
  std::string stem = w.substr(0, w.size() - 1);
  for (const char* f : kFirst)
    if (stem == f) return true;
  if (stem.size() >= 7 && stem.compare(stem.size() - 4, 4, "esim") == 0) return true;
  if (stem.compare(0, 5, "decim") == 0 || stem.compare(0, 5, "vigesim") == 0) {
    std::string rest = w.substr(5);
    for (const char* f : kFirst)
      if (rest.size() == std::string(f).size() + 1 && rest.compare(0, rest.size() - 1, f) == 0) return true;
  }
  return false;
}

enum class TNumber { None, Roman, Arabic, Ordinal };

TNumber NumberKind(const std::string& token) {
  if (RomanValue(token) > 0) return TNumber::Roman;
  if (IsArabic(token)) return TNumber::Arabic;
  if (IsOrdinal(token)) return TNumber::Ordinal;
  return TNumber::None;
}

// --- candidates ----------------------------------------------------------

enum class TKind {
  None,
  Division,    // PARTE, LIBRO with a number
  Chapter,     // CAPITOLO, CAP., CAPO, CANTO with a number
  Matter,      // Prologo, Prefazione ... alone
  Roman,       // a Roman number alone
  Arabic,      // an Arabic number alone
  RomanTitle,  // "IV. La fuga"
  Title,       // a short title line
};

struct TCandidate {
  size_t line = 0;
  TKind kind = TKind::None;
  int style = 0;       // told apart within a kind: the keyword, the case
  std::string label;   // the heading line as the title begins
  bool bareNumber = false;  // keyword and number without a title of its own
};

// The word at text[i], letters only, and where it ends.
std::string WordAt(const std::string& text, size_t i, size_t* end) {
  size_t j = i;
  while (j < text.size() && (IsLetter(static_cast<uint8_t>(text[j])) || text[j] == '\'')) ++j;
  *end = j;
  return text.substr(i, j - i);
}

// The heading line without the decorations around it.
std::string Undecorated(const std::string& text) {
  size_t start = 0, end = text.size();
  while (start < end && IsDecoration(static_cast<uint8_t>(text[start]))) ++start;
  while (end > start && IsDecoration(static_cast<uint8_t>(text[end - 1]))) --end;
  return text.substr(start, end - start);
}

std::string SentenceCase(const std::string& word) {
  std::string out = Lower(word);
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
  return out;
}

bool AllUpper(const std::string& text) {
  bool letters = false;
  for (char c : text) {
    if (IsLowerLetter(static_cast<uint8_t>(c))) return false;
    if (IsUpperLetter(static_cast<uint8_t>(c))) letters = true;
  }
  return letters;
}

size_t CountWords(const std::string& text) {
  size_t words = 0;
  bool in = false;
  for (char c : text) {
    bool blank = IsBlankByte(static_cast<uint8_t>(c));
    if (!blank && !in) ++words;
    in = !blank;
  }
  return words;
}

// A keyword heading: "CAPITOLO PRIMO", "Cap. III.", "Parte II - Il ritorno".
bool ReadKeywordHeading(const std::string& text, TCandidate* candidate) {
  struct TKeyword {
    const char* word;
    TKind kind;
    int style;
  };
  static const TKeyword kKeywords[] = {
      {"capitolo", TKind::Chapter, 1}, {"cap", TKind::Chapter, 2},  {"capo", TKind::Chapter, 3},
      {"canto", TKind::Chapter, 4},    {"parte", TKind::Division, 1},   {"libro", TKind::Division, 2},
      // Appendices follow the chapters in their style: "Appendice A."
      {"appendice", TKind::Chapter, 1},
  };
  size_t end = 0;
  std::string word = WordAt(text, 0, &end);
  std::string lower = Lower(word);
  const TKeyword* keyword = nullptr;
  for (const TKeyword& k : kKeywords)
    if (lower == k.word) keyword = &k;
  if (keyword == nullptr) return false;
  // Either all capitals or only the first: "Capitolo", "CAPITOLO", not "caPitolo".
  if (!IsUpperLetter(static_cast<uint8_t>(word[0]))) return false;
  size_t i = end;
  bool abbreviated = lower == "cap";
  if (abbreviated) {
    if (i >= text.size() || text[i] != '.') return false;
    ++i;
  }
  if (i >= text.size() || !IsBlankByte(static_cast<uint8_t>(text[i]))) return false;
  while (i < text.size() && IsBlankByte(static_cast<uint8_t>(text[i]))) ++i;
  size_t numberEnd = i;
  while (numberEnd < text.size() && (IsLetter(static_cast<uint8_t>(text[numberEnd])) ||
                                     IsDigit(static_cast<uint8_t>(text[numberEnd]))))
    ++numberEnd;
  std::string number = text.substr(i, numberEnd - i);
  TNumber kind = NumberKind(number);
  // An appendix is also lettered.
  if (kind == TNumber::None && lower == "appendice" && number.size() == 1 &&
      IsUpperLetter(static_cast<uint8_t>(number[0])))
    kind = TNumber::Arabic;
  if (kind == TNumber::None) return false;
  // What may follow the number: nothing, a full stop, or a separator and the
  // chapter's own title.
  size_t j = numberEnd;
  if (j < text.size() && text[j] == '.') ++j;
  size_t rest = j;
  while (rest < text.size() && IsBlankByte(static_cast<uint8_t>(text[rest]))) ++rest;
  std::string title;
  if (rest < text.size()) {
    uint8_t sep = static_cast<uint8_t>(text[rest]);
    bool separated = j > numberEnd || sep == '-' || sep == 0x96 || sep == 0x97 || sep == ':';
    if (!separated) return false;
    while (rest < text.size() && (IsDecoration(static_cast<uint8_t>(text[rest])) || text[rest] == ':' ||
                                  text[rest] == '.'))
      ++rest;
    title = text.substr(rest);
    if (title.size() > 120) return false;
  }
  candidate->kind = keyword->kind;
  candidate->style = keyword->style;
  std::string shown = abbreviated ? SentenceCase(word) + "." : SentenceCase(word);
  std::string numberShown = kind == TNumber::Ordinal ? Lower(number) : number;
  candidate->label = shown + " " + numberShown;
  if (!title.empty()) candidate->label += ". " + title;
  candidate->bareNumber = title.empty();
  return true;
}

bool ReadMatterHeading(const std::string& text, TCandidate* candidate) {
  static const char* const kWords[] = {"prologo",    "epilogo",  "introduzione", "prefazione",
                                       "conclusione", "premessa", "proemio",      "postfazione"};
  std::string t = text;
  if (!t.empty() && t.back() == '.') t.pop_back();
  std::string lower = Lower(t);
  for (size_t k = 0; k < sizeof kWords / sizeof kWords[0]; ++k) {
    if (lower == kWords[k] && IsUpperLetter(static_cast<uint8_t>(t[0]))) {
      candidate->kind = TKind::Matter;
      candidate->style = static_cast<int>(k);
      candidate->label = SentenceCase(t);
      return true;
    }
  }
  return false;
}

// A number alone ("XIV", "II.", "— III —", "1."), or a Roman number and the
// chapter's title ("IV. La fuga").
bool ReadNumberHeading(const std::string& text, TCandidate* candidate) {
  size_t end = 0;
  while (end < text.size() && (IsLetter(static_cast<uint8_t>(text[end])) || IsDigit(static_cast<uint8_t>(text[end]))))
    ++end;
  std::string number = text.substr(0, end);
  bool roman = RomanValue(number) > 0, arabic = IsArabic(number);
  if (!roman && !arabic) return false;
  size_t j = end;
  if (j < text.size() && text[j] == '.') ++j;
  if (j == text.size()) {
    candidate->kind = roman ? TKind::Roman : TKind::Arabic;
    candidate->style = j > end ? 1 : 0;
    candidate->label = number;
    return true;
  }
  if (!roman || j == end || !IsBlankByte(static_cast<uint8_t>(text[j]))) return false;
  while (j < text.size() && (IsDecoration(static_cast<uint8_t>(text[j])))) ++j;
  std::string title = text.substr(j);
  if (title.empty() || title.size() > 80 || !IsUpperLetter(static_cast<uint8_t>(title[0]))) return false;
  char last = title.back();
  if (last == ',' || last == ';' || last == ':') return false;
  candidate->kind = TKind::RomanTitle;
  candidate->style = AllUpper(title) ? 1 : 0;
  candidate->label = number + ". " + title;
  return true;
}

// A short title line: a few words opened by a capital, no sentence or list
// punctuation at its end, no digits, not a line of dialogue.
bool ReadTitle(const std::string& text, TCandidate* candidate) {
  if (text.size() < 3 || text.size() > 60) return false;
  uint8_t first = static_cast<uint8_t>(text[0]);
  if (!IsUpperLetter(first)) return false;
  size_t letters = 0;
  for (char c : text) {
    uint8_t u = static_cast<uint8_t>(c);
    if (IsDigit(u) || c == '(' || c == ')' || c == '[' || c == '/' || c == '<' || c == '@' || c == '|' ||
        c == '%' || c == '{' || c == '\\')
      return false;
    if (IsLetter(u)) ++letters;
  }
  if (letters * 10 < text.size() * 7) return false;
  size_t words = CountWords(text);
  if (words > 9) return false;
  // A letter's salutation ("Carissimo Signor Padre") is not a title.
  static const char* const kSalutations[] = {
      "caro",       "cara",         "cari",        "care",          "carissimo",   "carissima",
      "carissimi",  "mio",          "mia",         "gentile",       "gentilissimo", "gentilissima",
      "egregio",    "egregia",      "illustrissimo", "illustrissima", "pregiatissimo", "stimatissimo",
      "dilettissimo", "reverendissimo", "spettabile"};
  size_t end = 0;
  std::string opening = Lower(WordAt(text, 0, &end));
  for (const char* s : kSalutations)
    if (opening == s) return false;
  bool upper = AllUpper(text);
  char last = text.back();
  if (last == ',' || last == ';' || last == ':' || last == '!' || last == '?' || last == '-') return false;
  if (last == '.' && !upper) return false;
  candidate->kind = TKind::Title;
  candidate->style = upper ? 1 : 0;
  candidate->label = text;
  return true;
}

TCandidate ReadCandidate(const std::string& text) {
  TCandidate candidate;
  std::string core = Undecorated(text);
  if (core.empty()) return candidate;
  if (ReadKeywordHeading(core, &candidate)) return candidate;
  if (ReadMatterHeading(core, &candidate)) return candidate;
  if (ReadNumberHeading(core, &candidate)) return candidate;
  // Titles are taken as written, decorations and all.
  if (core.size() == text.size()) ReadTitle(text, &candidate);
  return candidate;
}

bool NeedsProse(TKind kind) { return kind != TKind::Division && kind != TKind::Chapter; }

// How many lines of prose the text has from line `from` on, looking at most
// `window` non-blank lines ahead and stopping at line `stop`. Prose more
// indented than the heading is the body of a manual page or a note, not the
// text of a chapter.
size_t ProseAhead(const std::vector<TLine>& lines, const std::vector<TParagraph>& paragraphs, size_t from,
                  size_t stop, size_t window, size_t headingIndent) {
  size_t seen = 0, prose = 0;
  for (size_t i = from; i < stop && seen < window; ++i) {
    if (lines[i].blank) continue;
    const TParagraph& p = paragraphs[lines[i].paragraph];
    if (p.prose && p.indent <= headingIndent + 4) {
      size_t last = std::min(p.last + 1, stop);
      prose += last - i;
      seen += last - i;
      i = last - 1;
      continue;
    }
    ++seen;
  }
  return prose;
}

}  // namespace

// A manual page rendered as text opens with its name and section at both
// ends of the first line ("glob(7)   Manuale   glob(7)"); its sections are
// not chapters.
bool IsManualPage(const std::vector<std::string>& input) {
  for (const std::string& line : input) {
    size_t open = line.find('(');
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    if (open == std::string::npos || open == 0 || open + 2 >= line.size()) return false;
    if (!IsDigit(static_cast<uint8_t>(line[open + 1]))) return false;
    size_t close = line.find(')', open);
    if (close == std::string::npos) return false;
    std::string name = line.substr(0, close + 1);
    size_t end = line.find_last_not_of(" \t");
    return line.size() > name.size() * 2 && line.compare(end + 1 - name.size(), name.size(), name) == 0;
  }
  return false;
}

std::vector<TPlainHeading> FindPlainHeadings(const std::vector<std::string>& input) {
  if (IsManualPage(input)) return {};
  // Pass 1: lines and paragraphs.
  std::vector<TLine> lines(input.size());
  for (size_t i = 0; i < input.size(); ++i) {
    const std::string& s = input[i];
    size_t start = 0, end = s.size(), indent = 0;
    while (start < end && IsBlankByte(static_cast<uint8_t>(s[start]))) {
      indent += s[start] == '\t' ? 8 : 1;
      ++start;
    }
    while (end > start && IsBlankByte(static_cast<uint8_t>(s[end - 1]))) --end;
    // A line without letters or digits ("%", "* * *", a rule) parts
    // paragraphs as a blank line does.
    bool words = false;
    for (size_t k = start; k < end && !words; ++k)
      words = IsLetter(static_cast<uint8_t>(s[k])) || IsDigit(static_cast<uint8_t>(s[k]));
    lines[i].blank = !words;
    lines[i].empty = start == end;
    lines[i].indent = indent;
    if (!lines[i].blank) lines[i].text = s.substr(start, end - start);
  }
  std::vector<TParagraph> paragraphs;
  for (size_t i = 0; i < lines.size();) {
    if (lines[i].blank) {
      ++i;
      continue;
    }
    TParagraph p;
    p.first = i;
    p.indent = lines[i].indent;
    while (i < lines.size() && !lines[i].blank) {
      lines[i].paragraph = paragraphs.size();
      p.indent = std::min(p.indent, lines[i].indent);
      ++i;
    }
    p.last = i - 1;
    p.prose = LooksLikeProse(lines, p.first, p.last);
    paragraphs.push_back(p);
  }

  // Pass 2: isolated lines that read as headings, and the title lines that
  // follow a heading of a keyword or number without a blank between.
  struct TFound {
    TCandidate candidate;
    size_t lines = 1;
    size_t end = 0;  // the line after the heading
  };
  std::vector<TFound> found;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].blank || (i > 0 && !lines[i - 1].blank)) continue;
    const TParagraph& p = paragraphs[lines[i].paragraph];
    TCandidate candidate = ReadCandidate(lines[i].text);
    if (candidate.kind == TKind::None) continue;
    // A title line stands between empty lines, not after a separator such
    // as the "%" between fortune cookies.
    if (candidate.kind == TKind::Title &&
        ((i > 0 && !lines[i - 1].empty) || (i + 1 < lines.size() && !lines[i + 1].empty)))
      continue;
    candidate.line = i;
    TFound f;
    f.candidate = candidate;
    size_t rest = p.last - i;  // lines of the paragraph after this one
    if (rest > 0) {
      // A heading may carry its title on the next one to three lines; a
      // keyword heading may also have its text start right under it.
      bool keyword = candidate.kind == TKind::Division || candidate.kind == TKind::Chapter ||
                     candidate.kind == TKind::Matter;
      bool titled = keyword || candidate.kind == TKind::Roman || candidate.kind == TKind::Arabic;
      bool shortLines = rest <= 3;
      for (size_t k = i + 1; k <= p.last && shortLines; ++k)
        if (lines[k].text.size() > 90) shortLines = false;
      uint8_t opening = static_cast<uint8_t>(lines[i + 1].text[0]);
      bool title = titled && shortLines &&
                   (IsUpperLetter(opening) || opening == 0xAB || opening == '"' || opening == 0x93) &&
                   !(rest == 3 && LooksLikeProse(lines, i + 1, p.last));
      if (!title && !keyword) continue;
      if (title) {
        // Lines join with ". ", except a title wrapped onto the next line.
        for (size_t k = i + 1; k <= p.last; ++k) {
          std::string& label = f.candidate.label;
          char tail = label.empty() ? ' ' : label.back();
          bool wrapped = k > i + 1 && IsLowerLetter(static_cast<uint8_t>(lines[k].text[0]));
          label += (wrapped || tail == '.' || tail == ':' || tail == '!' || tail == '?') ? " " : ". ";
          label += lines[k].text;
        }
        f.lines = rest + 1;
      }
    }
    f.end = i + f.lines;
    found.push_back(f);
  }

  // Pass 3: judge each candidate by what follows it up to the next one.
  std::vector<bool> keep(found.size(), false);
  // Backwards, so that a part's heading can lean on the chapter after it.
  for (size_t k = found.size(); k-- > 0;) {
    const TFound& f = found[k];
    TKind kind = f.candidate.kind;
    // The body runs to the next candidate; for the stronger kinds a short
    // line between blanks ("Indice", "Nota") does not end it.
    size_t next = k + 1;
    while (kind != TKind::Title && next < found.size() && found[next].candidate.kind == TKind::Title) ++next;
    size_t stop = next < found.size() ? found[next].candidate.line : lines.size();
    size_t bodyLines = 0;
    for (size_t i = f.end; i < stop && bodyLines <= 8; ++i)
      if (!lines[i].blank) ++bodyLines;
    size_t indent = lines[f.candidate.line].indent;
    if (!NeedsProse(kind)) {
      // A heading with next to nothing before the next one is an entry of a
      // table of contents, or a part's heading right before its chapter.
      bool nextIsChapter = next < found.size() && kind == TKind::Division && keep[next] &&
                           found[next].candidate.kind != TKind::Division && bodyLines == 0;
      keep[k] = bodyLines > 6 || nextIsChapter || ProseAhead(lines, paragraphs, f.end, stop, 8, indent + 8) > 0;
      continue;
    }
    if (kind == TKind::Title) {
      // A title line is followed by its text straight away, not by a
      // date, a salutation or another short line.
      size_t after = f.end;
      while (after < stop && lines[after].blank) ++after;
      const TParagraph* p = after < stop ? &paragraphs[lines[after].paragraph] : nullptr;
      keep[k] = p != nullptr && p->prose && p->indent <= indent + 4 &&
                ProseAhead(lines, paragraphs, f.end, stop, 12, indent) >= 3;
      continue;
    }
    keep[k] = ProseAhead(lines, paragraphs, f.end, stop, 30, indent) > 0;
  }

  // Consistency: numbers and titles stand only in the company of others of
  // their style; short titles only where nothing stronger marks chapters.
  auto styleKey = [](const TCandidate& c) { return static_cast<int>(c.kind) * 100 + c.style; };
  std::vector<int> keys;
  for (size_t k = 0; k < found.size(); ++k)
    if (keep[k]) keys.push_back(styleKey(found[k].candidate));
  std::sort(keys.begin(), keys.end());
  auto countOf = [&](int key) {
    return static_cast<size_t>(std::upper_bound(keys.begin(), keys.end(), key) -
                               std::lower_bound(keys.begin(), keys.end(), key));
  };
  bool strong = false;
  for (size_t k = 0; k < found.size(); ++k) {
    if (!keep[k]) continue;
    TKind kind = found[k].candidate.kind;
    bool weak = kind == TKind::Roman || kind == TKind::Arabic || kind == TKind::RomanTitle;
    if (kind == TKind::Division || kind == TKind::Chapter || (weak && countOf(styleKey(found[k].candidate)) >= 2))
      strong = true;
  }
  bool hasDivision = false, hasChapter = false;
  std::vector<const TFound*> chosen;
  for (size_t k = 0; k < found.size(); ++k) {
    if (!keep[k]) continue;
    const TCandidate& c = found[k].candidate;
    switch (c.kind) {
      case TKind::Roman:
      case TKind::Arabic:
      case TKind::RomanTitle:
        if (countOf(styleKey(c)) < 2) continue;
        break;
      case TKind::Title:
        if (strong || countOf(styleKey(c)) < 2) continue;
        break;
      default:
        break;
    }
    if (c.kind == TKind::Division) hasDivision = true;
    else if (c.kind != TKind::Matter) hasChapter = true;
    chosen.push_back(&found[k]);
  }
  std::vector<TPlainHeading> headings;
  if (chosen.size() < 2) return headings;
  for (const TFound* f : chosen) {
    TPlainHeading h;
    h.line = f->candidate.line;
    h.lines = f->lines;
    h.level = hasDivision && hasChapter && f->candidate.kind != TKind::Division && f->candidate.kind != TKind::Matter ? 2 : 1;
    std::string title;
    for (char c : f->candidate.label) {
      bool blank = IsBlankByte(static_cast<uint8_t>(c));
      if (blank && (title.empty() || title.back() == ' ')) continue;
      title += blank ? ' ' : c;
    }
    while (!title.empty() && title.back() == ' ') title.pop_back();
    h.title = title;
    headings.push_back(h);
  }
  return headings;
}

}  // namespace documents
