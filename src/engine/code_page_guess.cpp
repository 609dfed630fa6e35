// Telling DOS texts from Windows texts by where their high bytes stand.
#include "engine/code_page_guess.h"

#include <cstring>

#include "engine/text_loading.h"
#include "text/code_pages.h"

namespace {

constexpr uint32_t kBlank = 0x20;  // text boundaries count as blanks

// The Unicode characters of every byte under one reading; 0 where the code
// page has no character the test below could use.
struct TReading {
  uint32_t code[256];
};

TReading Windows1252Reading() {
  TReading r;
  for (int b = 0; b < 256; ++b) r.code[b] = text::Cp1252ToUnicode(static_cast<uint8_t>(b));
  return r;
}

TReading Cp850Reading() {
  TReading r;
  for (int b = 0; b < 256; ++b) {
    char c = static_cast<char>(b);
    text::Cp850ToCp1252(&c, 1);
    uint8_t ansi = static_cast<uint8_t>(c);
    // Line drawing has no 1252 character and comes back as an ASCII
    // look-alike or a broken bar: none of it is text.
    r.code[b] = b >= 0x80 && (ansi < 0x80 || ansi == 0xA6) ? 0 : text::Cp1252ToUnicode(ansi);
  }
  return r;
}

bool IsAsciiLetter(uint32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsLetter(uint32_t c) {
  if (IsAsciiLetter(c)) return true;
  if (c >= 0xC0 && c <= 0xFF) return c != 0xD7 && c != 0xF7;
  switch (c) {
    case 0x0152: case 0x0153: case 0x0160: case 0x0161: case 0x0178: case 0x017D:
    case 0x017E: case 0x0192:
      return true;
    default:
      return false;
  }
}

char LowerAscii(uint32_t c) {
  return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
}

// Letters after which an Italian word never ends in the accented vowel.
const char* NeverBefore(uint32_t accented) {
  switch (accented) {
    case 0xE0: return "aeoun";  // -tà -rà -là già papà; no "-nà"
    case 0xF9: return "aeou";   // più virtù Gesù menù
    case 0xF2: return "aeo";    // però ciò può andò
    case 0xE8: case 0xE9: return "";  // cioè perché né
    default: return "aeiou";    // così lì
  }
}

bool IsLowerItalianAccent(uint32_t c) {
  switch (c) {
    case 0xE0: case 0xE8: case 0xE9: case 0xEC: case 0xED: case 0xF2: case 0xF3: case 0xF9:
    case 0xFA:
      return true;
    default:
      return false;
  }
}

bool IsUpperItalianAccent(uint32_t c) {
  switch (c) {
    case 0xC0: case 0xC8: case 0xC9: case 0xCC: case 0xD2: case 0xD9:
      return true;
    default:
      return false;
  }
}

// Whether character c between prev and next is where Italian text has it.
bool FitsItalian(uint32_t prev, uint32_t c, uint32_t next) {
  const bool letterBefore = IsLetter(prev), letterAfter = IsLetter(next);
  if (IsLowerItalianAccent(c)) {
    if (letterAfter) return false;  // never at a word's start or inside it
    if (!letterBefore) return c == 0xE8 || c == 0xE9;  // the word "è"
    return IsAsciiLetter(prev) && std::strchr(NeverBefore(c), LowerAscii(prev)) == nullptr;
  }
  if (IsUpperItalianAccent(c)) {
    if (letterAfter) return false;
    if (!letterBefore) return c == 0xC8 || c == 0xC9;  // "È"
    return prev >= 'A' && prev <= 'Z';                  // "CITTÀ"
  }
  switch (c) {
    case 0x2014: case 0x2013:  // dashes: before a word, alone, or between words
      return !letterBefore || letterAfter;
    case 0x2026:  // ellipsis: after a word or a mark, before a blank or a mark
      return prev != kBlank && !letterAfter;
    case 0x2019:  // apostrophe or closing quote
      return true;
    case 0x201C: case 0x201D: case 0x2018: case 0x201E: case 0xAB: case 0xBB: case 0x2039:
    case 0x203A:  // quotes stand at a word's edge
      return !(letterBefore && letterAfter);
    case 0x20AC: case 0xA3: case 0xA7: case 0x2022:  // € £ § and a bullet stand apart
      return !letterBefore && !letterAfter;
    case 0xB0: case 0xBA: case 0xAA:  // ° º ª after a number or "n"
      return !letterAfter;
    default:
      return false;
  }
}

}  // namespace

TCodePageEvidence WeighCodePages(const std::string& text) {
  static const TReading windows = Windows1252Reading();
  static const TReading dos = Cp850Reading();
  TCodePageEvidence evidence;
  size_t end = text.find('\0');
  if (end == std::string::npos) end = text.size();
  auto at = [&](const TReading& r, size_t i) {
    uint8_t b = static_cast<uint8_t>(text[i]);
    return b <= 0x20 ? kBlank : r.code[b];
  };
  for (size_t i = 0; i < end; ++i) {
    if (static_cast<uint8_t>(text[i]) < 0x80) continue;
    bool first = i == 0, last = i + 1 == end;
    bool fitsWindows = FitsItalian(first ? kBlank : at(windows, i - 1), at(windows, i),
                                   last ? kBlank : at(windows, i + 1));
    bool fitsDos = FitsItalian(first ? kBlank : at(dos, i - 1), at(dos, i),
                               last ? kBlank : at(dos, i + 1));
    if (fitsWindows && !fitsDos) ++evidence.windowsOnly;
    if (fitsDos && !fitsWindows) ++evidence.dosOnly;
  }
  return evidence;
}

TCodePageGuess GuessCodePage(const std::string& text) {
  TCodePageEvidence evidence = WeighCodePages(text);
  TCodePageGuess guess;
  if (evidence.windowsOnly > 2 * evidence.dosOnly) return guess;
  if (evidence.dosOnly > 2 * evidence.windowsOnly) {
    guess.oem = true;
    return guess;
  }
  int32_t dos = CountCharsInSet(DosAccentSet, text);
  int32_t windows = CountCharsInSet(WindowsAccentSet, text);
  guess.oem = dos > windows;
  guess.doubtful = dos > 0 && windows > 0;
  return guess;
}
