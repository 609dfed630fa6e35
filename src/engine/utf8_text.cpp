// UTF-8 texts: recognition and conversion to Windows-1252, the code page the
// speech engine reads. Characters that 1252 lacks become their closest plain
// form: letters lose the diacritics 1252 has no letter for, typographic
// marks become 1252's own or ASCII look-alikes, invisible marks vanish, and
// anything else becomes "?".
#include <cstdint>
#include <string>

#include "engine/text_loading.h"

#include "text/code_pages.h"
#include "text/utf8.h"

namespace {

// Base letters of U+0100-U+024F and U+1E00-U+1EFF. "?" means no Latin
// letter fits; "*" sends the character to kSpecial.
constexpr char kLatinExtended[] =
    // U+0100 Latin Extended-A
    "AaAaAaCcCcCcCcDd" "DdEeEeEeEeEeGgGg" "GgGgHhHhIiIiIiIi" "Ii**JjKkkLlLlLlL"
    "lLlNnNnNn*NnOoOo" "Oo**RrRrRrSsSsSs" "SsTtTtTtUuUuUuUu" "UuUuWwYyYZzZzZzs"
    // U+0180 Latin Extended-B
    "bBBb??OCcDDDd?EE" "EF?G??IIKkl??NnO" "Oo??PpR????tTtTU" "u?VYyZz?????????"
    "?????????????AaI" "iOoUu********e**" "Aa**GgGgKkOoOo??" "j***Gg??Nn******"
    "AaAaEeEeIiIiOoOo" "RrRrUuUuSsTt??Hh" "Nd??ZzAaEe****Oo" "OoYylntj??ACcLTs"
    "z??BU?EeJjQqRrYy";
constexpr char kLatinAdditional[] =
    // U+1E00 Latin Extended Additional
    "AaBbBbBbCcDdDdDd" "DdDdEeEeEeEeEeFf" "GgHhHhHhHhHhIiIi" "KkKkKkLlLlLlLlMm"
    "MmMmNnNnNnNnOoOo" "OoOoPpPpRrRrRrRr" "SsSsSsSsSsTtTtTt" "TtUuUuUuUuUuVvVv"
    "WwWwWwWwWwXxXxYy" "ZzZzZzhtwyasss*?" "AaAaAaAaAaAaAaAa" "AaAaAaAaEeEeEeEe"
    "EeEeEeEeIiIiOoOo" "OoOoOoOoOoOoOoOo" "OoOoUuUuUuUuUuUu" "UuYyYyYyYy??????";

// Characters whose plain form is not a single base letter, and typographic
// marks. Sorted by code; an empty text drops the character.
struct TPlainForm {
  uint32_t code;
  const char* text;
};
constexpr TPlainForm kPlainForms[] = {
    {0x0132, "IJ"}, {0x0133, "ij"}, {0x0149, "'n"},
    {0x01C4, "DZ"}, {0x01C5, "Dz"}, {0x01C6, "dz"}, {0x01C7, "LJ"}, {0x01C8, "Lj"},
    {0x01C9, "lj"}, {0x01CA, "NJ"}, {0x01CB, "Nj"}, {0x01CC, "nj"},
    {0x01D5, "\xDC"}, {0x01D6, "\xFC"}, {0x01D7, "\xDC"}, {0x01D8, "\xFC"},
    {0x01D9, "\xDC"}, {0x01DA, "\xFC"}, {0x01DB, "\xDC"}, {0x01DC, "\xFC"},
    {0x01DE, "\xC4"}, {0x01DF, "\xE4"}, {0x01E2, "\xC6"}, {0x01E3, "\xE6"},
    {0x01F1, "DZ"}, {0x01F2, "Dz"}, {0x01F3, "dz"}, {0x01FA, "\xC5"}, {0x01FB, "\xE5"},
    {0x01FC, "\xC6"}, {0x01FD, "\xE6"}, {0x01FE, "\xD8"}, {0x01FF, "\xF8"},
    {0x022A, "\xD6"}, {0x022B, "\xF6"}, {0x022C, "\xD5"}, {0x022D, "\xF5"},
    {0x02B9, "'"}, {0x02BA, "\""}, {0x02BB, "'"}, {0x02BC, "'"}, {0x02BD, "'"},
    {0x02C8, "'"}, {0x02CB, "`"}, {0x02D0, ":"}, {0x02DD, "\""},
    {0x034F, ""},
    {0x1E9E, "\xDF"},
    {0x2000, " "}, {0x2001, " "}, {0x2002, " "}, {0x2003, " "}, {0x2004, " "},
    {0x2005, " "}, {0x2006, " "}, {0x2007, " "}, {0x2008, " "}, {0x2009, " "},
    {0x200A, " "}, {0x200B, ""}, {0x200C, ""}, {0x200D, ""}, {0x200E, ""}, {0x200F, ""},
    {0x2010, "-"}, {0x2011, "-"}, {0x2012, "-"}, {0x2015, "\x97"}, {0x2016, "||"},
    {0x2017, "_"}, {0x201B, "\x91"}, {0x201F, "\x93"}, {0x2023, "\x95"}, {0x2024, "."},
    {0x2025, ".."}, {0x2027, "\xB7"}, {0x2028, "\r\n"}, {0x2029, "\r\n"},
    {0x202A, ""}, {0x202B, ""}, {0x202C, ""}, {0x202D, ""}, {0x202E, ""}, {0x202F, " "},
    {0x2032, "'"}, {0x2033, "\""}, {0x2035, "`"}, {0x2036, "\""}, {0x2039, "\x8B"},
    {0x203A, "\x9B"}, {0x203C, "!!"}, {0x2043, "-"}, {0x2044, "/"}, {0x2047, "??"},
    {0x2048, "?!"}, {0x2049, "!?"}, {0x204E, "*"}, {0x205F, " "}, {0x2060, ""},
    {0x2061, ""}, {0x2062, ""}, {0x2063, ""}, {0x2064, ""},
    {0x2212, "-"}, {0x2215, "/"}, {0x2217, "*"}, {0x2219, "\xB7"}, {0x2223, "|"},
    {0x2236, ":"}, {0x223C, "~"}, {0x2264, "<="}, {0x2265, ">="},
    {0x3000, " "}, {0xFE0E, ""}, {0xFE0F, ""}, {0xFEFF, ""},
};

static_assert(sizeof(kLatinExtended) == 0x150 + 1, "one letter per character");
static_assert(sizeof(kLatinAdditional) == 0x100 + 1, "one letter per character");

constexpr bool SortedByCode() {
  for (size_t i = 1; i < sizeof(kPlainForms) / sizeof(kPlainForms[0]); ++i)
    if (kPlainForms[i - 1].code >= kPlainForms[i].code) return false;
  return true;
}
static_assert(SortedByCode(), "kPlainForms is searched by halves");

const char* FindPlainForm(uint32_t code) {
  size_t lo = 0, hi = sizeof(kPlainForms) / sizeof(kPlainForms[0]);
  while (lo < hi) {
    size_t mid = (lo + hi) / 2;
    if (kPlainForms[mid].code == code) return kPlainForms[mid].text;
    if (kPlainForms[mid].code < code) lo = mid + 1; else hi = mid;
  }
  return nullptr;
}

// 1252 letters as a base letter and a combining mark, for texts written in
// decomposed form (a letter followed by U+0300 and the like).
struct TComposed {
  char base;
  uint16_t mark;
  uint8_t ansi;
};
const TComposed kComposed[] = {
    {'A', 0x300, 0xC0}, {'A', 0x301, 0xC1}, {'A', 0x302, 0xC2}, {'A', 0x303, 0xC3},
    {'A', 0x308, 0xC4}, {'A', 0x30A, 0xC5}, {'C', 0x327, 0xC7}, {'E', 0x300, 0xC8},
    {'E', 0x301, 0xC9}, {'E', 0x302, 0xCA}, {'E', 0x308, 0xCB}, {'I', 0x300, 0xCC},
    {'I', 0x301, 0xCD}, {'I', 0x302, 0xCE}, {'I', 0x308, 0xCF}, {'N', 0x303, 0xD1},
    {'O', 0x300, 0xD2}, {'O', 0x301, 0xD3}, {'O', 0x302, 0xD4}, {'O', 0x303, 0xD5},
    {'O', 0x308, 0xD6}, {'U', 0x300, 0xD9}, {'U', 0x301, 0xDA}, {'U', 0x302, 0xDB},
    {'U', 0x308, 0xDC}, {'Y', 0x301, 0xDD}, {'a', 0x300, 0xE0}, {'a', 0x301, 0xE1},
    {'a', 0x302, 0xE2}, {'a', 0x303, 0xE3}, {'a', 0x308, 0xE4}, {'a', 0x30A, 0xE5},
    {'c', 0x327, 0xE7}, {'e', 0x300, 0xE8}, {'e', 0x301, 0xE9}, {'e', 0x302, 0xEA},
    {'e', 0x308, 0xEB}, {'i', 0x300, 0xEC}, {'i', 0x301, 0xED}, {'i', 0x302, 0xEE},
    {'i', 0x308, 0xEF}, {'n', 0x303, 0xF1}, {'o', 0x300, 0xF2}, {'o', 0x301, 0xF3},
    {'o', 0x302, 0xF4}, {'o', 0x303, 0xF5}, {'o', 0x308, 0xF6}, {'u', 0x300, 0xF9},
    {'u', 0x301, 0xFA}, {'u', 0x302, 0xFB}, {'u', 0x308, 0xFC}, {'y', 0x301, 0xFD},
    {'y', 0x308, 0xFF}, {'S', 0x30C, 0x8A}, {'s', 0x30C, 0x9A}, {'Z', 0x30C, 0x8E},
    {'z', 0x30C, 0x9E}, {'Y', 0x308, 0x9F},
};

int Compose(char base, uint32_t mark) {
  for (const TComposed& c : kComposed)
    if (c.base == base && c.mark == mark) return c.ansi;
  return -1;
}

bool IsCombiningMark(uint32_t code) {
  return (code >= 0x0300 && code <= 0x036F) || (code >= 0x1AB0 && code <= 0x1AFF) ||
         (code >= 0x1DC0 && code <= 0x1DFF) || (code >= 0x20D0 && code <= 0x20FF) ||
         (code >= 0xFE20 && code <= 0xFE2F);
}

// The plain form of a character outside 1252 that is not a combining mark.
std::string PlainForm(uint32_t code) {
  // C1 controls: text that was once read as Latin-1 carries 1252's
  // characters here; the others are controls and vanish.
  if (code >= 0x80 && code <= 0x9F)
    return text::Cp1252ToUnicode(static_cast<uint8_t>(code)) != 0
               ? std::string(1, static_cast<char>(code))
               : "";
  if (const char* form = FindPlainForm(code)) return form;
  char letter = '?';
  if (code >= 0x0100 && code <= 0x024F) letter = kLatinExtended[code - 0x0100];
  if (code >= 0x1E00 && code <= 0x1EFF) letter = kLatinAdditional[code - 0x1E00];
  if (code >= 0xFF01 && code <= 0xFF5E) letter = static_cast<char>(code - 0xFEE0);  // fullwidth
  if (letter == '*') letter = '?';
  return std::string(1, letter);
}

}  // namespace

TUtf8Census CountUtf8(const std::string& text) {
  TUtf8Census census;
  census.byteOrderMark = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  for (size_t i = 0; i < text.size();) {
    text::Utf8Char d = text::DecodeUtf8(text, i);
    if (!d.valid) census.invalidBytes += static_cast<int32_t>(d.length);
    else if (d.length > 1) ++census.multiByte;
    i += d.length;
  }
  return census;
}

bool LooksLikeUtf8(const std::string& text) {
  TUtf8Census census = CountUtf8(text);
  return census.byteOrderMark || (census.multiByte > 0 && census.invalidBytes == 0);
}

bool MostlyUtf8(const TUtf8Census& census) {
  if (census.invalidBytes == 0) return census.byteOrderMark || census.multiByte > 0;
  return census.byteOrderMark ||
         (census.multiByte >= 10 && census.invalidBytes * 20 < census.multiByte);
}

std::string Utf8ToAnsi(const std::string& text, bool invalidAs1252) {
  std::string out;
  out.reserve(text.size());
  size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  // Where the previous character's single output byte stands, for joining a
  // combining mark to it; npos when the previous character gave no such byte.
  size_t lastSingle = std::string::npos;
  while (i < text.size()) {
    text::Utf8Char d = text::DecodeUtf8(text, i);
    i += d.length;
    if (!d.valid) {
      if (invalidAs1252) out.append(text, i - d.length, d.length);
      else out += '?';
      lastSingle = std::string::npos;
      continue;
    }
    int ansi = text::UnicodeToCp1252(d.code);
    if (ansi >= 0) {
      out += static_cast<char>(ansi);
      lastSingle = out.size() - 1;
      continue;
    }
    if (IsCombiningMark(d.code)) {
      if (lastSingle != std::string::npos) {
        int composed = Compose(out[lastSingle], d.code);
        if (composed >= 0) out[lastSingle] = static_cast<char>(composed);
      }
      lastSingle = std::string::npos;  // a second mark stays off
      continue;
    }
    std::string form = PlainForm(d.code);
    out += form;
    lastSingle = form.size() == 1 ? out.size() - 1 : std::string::npos;
  }
  return out;
}
