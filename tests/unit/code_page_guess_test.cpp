// Automatic recognition of DOS, Windows and UTF-8 texts on a labelled set of
// real Italian prose: every passage in several typographic forms, with many
// and few accents, short and long, encoded as code page 850, Windows-1252
// and UTF-8. A text is read right when it comes out as the Windows-1252 text
// it was made from.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "engine/code_page_guess.h"
#include "engine/text_loading.h"
#include "italian_passages.h"
#include "text/code_pages.h"
#include "text/utf8.h"

namespace {

using Codes = std::vector<uint32_t>;

Codes Decode(const std::string& utf8) {
  Codes codes;
  for (size_t i = 0; i < utf8.size();) {
    text::Utf8Char c = text::DecodeUtf8(utf8, i);
    codes.push_back(c.code);
    i += c.length;
  }
  return codes;
}

struct TForm {
  bool dashes, ellipses, curly, euro, fewAccents, shortText;
  std::string Name() const {
    std::string name;
    name += dashes ? "dashes " : "";
    name += ellipses ? "ellipses " : "";
    name += curly ? "curly " : "";
    name += euro ? "euro " : "";
    name += fewAccents ? "few-accents " : "many-accents ";
    name += shortText ? "short" : "long";
    return name;
  }
};

bool IsAccented(uint32_t c) { return c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7; }

char PlainVowel(uint32_t c) {
  static const char* const kBase =
      "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYPsaaaaaaaceeeeiiiidnooooo*ouuuuypy";
  return kBase[c - 0xC0];
}

bool IsLetterCode(uint32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsAccented(c);
}

// The passage in one typographic form, as Unicode.
Codes Shape(const std::string& passage, const TForm& form) {
  Codes in = Decode(passage), out;
  if (form.shortText) {  // the first lines, about 250 characters
    size_t end = 0;
    while (end < in.size() && (end < 250 || in[end - 1] != '\n')) ++end;
    in.resize(end);
  }
  int accentsKept = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    uint32_t c = in[i];
    bool letterAfter = i + 1 < in.size() && IsLetterCode(in[i + 1]);
    if (c == 0x2014 && !form.dashes) {
      out.push_back('-');
    } else if (c == 0x2026 && !form.ellipses) {
      out.insert(out.end(), {'.', '.', '.'});
    } else if ((c == 0x2019 || c == 0x2018) && !form.curly) {
      out.push_back('\'');
    } else if ((c == 0x201C || c == 0x201D) && !form.curly) {
      out.push_back('"');
    } else if (IsAccented(c) && form.fewAccents && accentsKept++ >= 1) {
      // As typists without accented keys write them: "perche'", "E'".
      out.push_back(static_cast<uint8_t>(PlainVowel(c)));
      if (!letterAfter) out.push_back('\'');
    } else {
      out.push_back(c);
    }
  }
  if (form.euro) {
    for (char c : std::string("Il quaderno costava 2 ")) out.push_back(static_cast<uint8_t>(c));
    out.push_back(0x20AC);
    out.insert(out.end(), {'.', '\n'});
  }
  return out;
}

// What a DOS editor could hold of it: code page 850 has no typographic
// dashes, ellipses, curly quotes or euro sign.
Codes ForDos(const Codes& in) {
  Codes out;
  for (uint32_t c : in) {
    switch (c) {
      case 0x2014:
        out.push_back('-');
        break;
      case 0x2026:
        out.insert(out.end(), {'.', '.', '.'});
        break;
      case 0x2018:
      case 0x2019:
        out.push_back('\'');
        break;
      case 0x201C:
      case 0x201D:
        out.push_back('"');
        break;
      case 0x20AC:
        out.insert(out.end(), {'E', 'U', 'R'});
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string To1252(const Codes& codes) {
  std::string out;
  for (uint32_t c : codes) {
    int b = text::UnicodeToCp1252(c);
    EXPECT_GE(b, 0) << c;
    out += static_cast<char>(b);
  }
  return out;
}

std::string To850(const Codes& codes) {
  std::map<uint32_t, char> table;
  for (int b = 0x80; b < 0x100; ++b) {
    char c = static_cast<char>(b);
    text::Cp850ToCp1252(&c, 1);
    uint32_t code = text::Cp1252ToUnicode(static_cast<uint8_t>(c));
    if (static_cast<uint8_t>(c) >= 0x80 && !table.count(code)) table[code] = static_cast<char>(b);
  }
  std::string out;
  for (uint32_t c : codes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      EXPECT_TRUE(table.count(c)) << c;
      out += table[c];
    }
  }
  return out;
}

std::string ToUtf8(const Codes& codes) {
  std::string out;
  for (uint32_t c : codes) text::AppendUtf8(c, &out);
  return out;
}

struct TTally {
  int texts = 0, misread = 0, warnings = 0;
};

TEST(LabelledItalianTexts, EveryTextIsReadInItsOwnCharacterSet) {
  std::map<std::string, TTally> tally;
  for (const TPassage& passage : ItalianPassages()) {
    for (int bits = 0; bits < 64; ++bits) {
      TForm form{(bits & 1) != 0, (bits & 2) != 0,  (bits & 4) != 0,
                 (bits & 8) != 0, (bits & 16) != 0, (bits & 32) != 0};
      Codes shaped = Shape(passage.text, form);
      struct {
        const char* name;
        std::string bytes, expected;
      } encodings[] = {{"850", To850(ForDos(shaped)), To1252(ForDos(shaped))},
                       {"1252", To1252(shaped), To1252(shaped)},
                       {"UTF-8", ToUtf8(shaped), To1252(shaped)}};
      for (auto& e : encodings) {
        bool oem = false;
        std::string text = e.bytes;
        testing::internal::CaptureStdout();
        PrepareText(&text, kTextAuto, &oem, "t.txt");
        std::string printed = testing::internal::GetCapturedStdout();
        TTally& t = tally[e.name];
        ++t.texts;
        if (!printed.empty()) ++t.warnings;
        if (text != e.expected) ++t.misread;
        EXPECT_EQ(text, e.expected) << passage.name << ", " << form.Name() << " in " << e.name;
        EXPECT_EQ(printed, "") << passage.name << ", " << form.Name() << " in " << e.name;
      }
    }
  }
  int total = 0;
  for (const auto& [name, t] : tally) {
    std::printf("[ detection ] %-5s %3d texts, %d misread, %d warnings\n", name.c_str(), t.texts,
                t.misread, t.warnings);
    total += t.texts;
  }
  EXPECT_GE(total, 60);
}

// The cases that counting accents alone got wrong.
TEST(LabelledItalianTexts, PunctuationOfWindowsTextsIsNotTakenForDosLetters) {
  // Dialogue dashes and ellipses, one accent.
  std::string text;
  for (int i = 0; i < 7; ++i) text += "\x97 Vieni qui, \x97 disse. Ma poi\x85 ancora\x85\r\n";
  text += "Era la citt\xE0.\r\n";
  TCodePageEvidence evidence = WeighCodePages(text);
  EXPECT_EQ(evidence.dosOnly, 0);
  EXPECT_EQ(evidence.windowsOnly, 22);  // "poi\x85" could be "già" as well
  TCodePageGuess guess = GuessCodePage(text);
  EXPECT_FALSE(guess.oem);
  EXPECT_FALSE(guess.doubtful);

  // Many accents and a single ellipsis after a consonant, where "à" could
  // stand too.
  text.clear();
  for (int i = 0; i < 40; ++i) text += "Perch\xE9 la citt\xE0 \xE8 cos\xEC? ";
  text += "Non\x85";
  guess = GuessCodePage(text);
  EXPECT_FALSE(guess.oem);
  EXPECT_FALSE(guess.doubtful);

  // A DOS text: its accents end words, which 1252's punctuation never does
  // so; "citt\x85" alone could be either and is left to the count.
  EXPECT_EQ(WeighCodePages("perch\x82 \x8A cos\x8D, per\x95 pi\x97 \xD4 vero").dosOnly, 6);
  EXPECT_EQ(WeighCodePages("citt\x85").dosOnly, 0);
  EXPECT_EQ(WeighCodePages("citt\x85").windowsOnly, 0);
  // No "à" follows a plain vowel or an "n": an ellipsis there.
  EXPECT_EQ(WeighCodePages("ancora\x85 non\x85").windowsOnly, 2);
}

}  // namespace
