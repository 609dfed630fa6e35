// Texts: loading (UTF-16 ones as UTF-8), line splitting, DOS/Windows/UTF-8 recognition and the
// conversion to Windows-1252.
#include <gtest/gtest.h>

#include <initializer_list>

#include "engine/text_loading.h"
#include "platform/files.h"
#include "test_errors.h"
#include "test_files.h"
#include "text/lines.h"
#include "text/utf8.h"

namespace {

// Prepares text as the conversion does; returns the warning it printed.
std::string Prepare(std::string* text, int32_t type, bool* oem, const std::string& name = "") {
  testing::internal::CaptureStderr();
  PrepareText(text, type, oem, name);
  return testing::internal::GetCapturedStderr();
}

std::vector<std::string> Lines(const std::string& text) { return text::SplitLines(text); }

using V = std::vector<std::string>;

TEST(TextFile, MeasuredAndLoadedWhole) {
  TempFolder folder;
  std::string path = folder.File("testo.txt");
  std::string content("uno\0due\r\n\x85", 10);
  ASSERT_TRUE(platform::WriteWholeFile(path, content));
  EXPECT_EQ(TextFileSize(path), 10);
  EXPECT_EQ(LoadText(path, 10), content);
  // Only the measured size is read; a file that shrank gives what it holds.
  EXPECT_EQ(LoadText(path, 3), "uno");
  EXPECT_EQ(LoadText(path, 100), content);

  std::string empty = folder.File("vuoto.txt");
  ASSERT_TRUE(platform::WriteWholeFile(empty, ""));
  EXPECT_EQ(TextFileSize(empty), 0);
  EXPECT_EQ(LoadText(empty, 0), "");
  EXPECT_EQ(Lines(""), V{});
}

TEST(TextFile, MissingFileHasNoSizeAndCannotBeLoaded) {
  TempFolder folder;
  std::string path = folder.File("manca.txt");
  EXPECT_EQ(TextFileSize(path), 0);
  EXPECT_EQ(ErrorOf([&] { LoadText(path, 0); }),
            "Impossibile trovare il file \"" + path + "\" (codice 2: file o cartella inesistente)");
}

TEST(SplitIntoLines, EveryKindOfLineBreak) {
  EXPECT_EQ(Lines("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(Lines("a\n\rb"), (V{"a", "", "b"}));  // LF CR is two breaks
  EXPECT_EQ(Lines("a\r\n"), V{"a"});              // a final break adds no line
  EXPECT_EQ(Lines("a\r\n\r\n"), (V{"a", ""}));
  EXPECT_EQ(Lines("\r\n"), V{""});
  EXPECT_EQ(Lines(" a \t"), V{" a \t"});  // lines keep their blanks
}

TEST(CharSets, AccentSetsHoldTheSixAccentedVowels) {
  std::string dos, windows;
  for (int b = 1; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    if (CountCharsInSet(DosAccentSet, one)) dos += one;
    if (CountCharsInSet(WindowsAccentSet, one)) windows += one;
  }
  EXPECT_EQ(dos, "\x82\x85\x8A\x8D\x95\x97");
  EXPECT_EQ(windows, "\xE0\xE8\xE9\xEC\xF2\xF9");
  EXPECT_EQ(CountCharsInSet(DosAccentSet, std::string("\x85\x85\0\x85", 4)), 2);
}

TEST(PrepareText, AutomaticDosOrWindowsDecision) {
  bool oem = true;
  std::string text = "nessun accento";
  EXPECT_EQ(Prepare(&text, kTextAuto, &oem), "");
  EXPECT_FALSE(oem);
  EXPECT_EQ(text, "nessun accento");

  // Two against two is a tie: Windows, doubtful.
  text = "\x85\x8A \xE0\xE8";
  EXPECT_EQ(Prepare(&text, kTextAuto, &oem),
            "* AVVISO: riconoscimento del tipo di testo Windows dubbio\n");
  EXPECT_FALSE(oem);
  EXPECT_EQ(text, "\x85\x8A \xE0\xE8");

  text = "citt\x85";
  EXPECT_EQ(Prepare(&text, kTextAuto, &oem), "");
  EXPECT_TRUE(oem);
  EXPECT_EQ(text, "citt\xE0");  // converted from code page 850

  text = "\x85\x8A\x97 \xE0";
  EXPECT_EQ(Prepare(&text, kTextAuto, &oem),
            "* AVVISO: riconoscimento del tipo di testo DOS dubbio\n");
  EXPECT_TRUE(oem);
}

TEST(PrepareText, NulBytesBecomeBlanksBeforeCounting) {
  bool oem = false;
  std::string text("a\0b\r\n\0\x85", 7);
  Prepare(&text, kTextAuto, &oem);
  EXPECT_TRUE(oem);  // the accent after the NUL byte counts
  EXPECT_EQ(Lines(text), (V{"a b", " \xE0"}));
}

TEST(PrepareText, FixedTypeNeitherCountsNorWarns) {
  bool oem = false;
  std::string text = "\x85\x85 \xE0";
  EXPECT_EQ(Prepare(&text, kTextWindows, &oem), "");
  EXPECT_FALSE(oem);
  EXPECT_EQ(text, "\x85\x85 \xE0");

  oem = true;
  text = "\xE0\xE8 \x85";
  EXPECT_EQ(Prepare(&text, kTextDos, &oem), "");
  EXPECT_TRUE(oem);
  EXPECT_EQ(text, "\xD3\xDE \xE0");  // converted whatever it holds
}

TEST(PrepareText, Utf8IsRecognisedAndConverted) {
  bool oem = true;
  std::string text = "perch\xC3\xA9 \xC3\xA8 cos\xC3\xAC \xE2\x82\xAC";
  EXPECT_EQ(Prepare(&text, kTextAuto, &oem), "");  // accents, but no doubt
  EXPECT_FALSE(oem);
  EXPECT_EQ(text, "perch\xE9 \xE8 cos\xEC \x80");

  // A byte-order mark alone is enough, and is dropped.
  text = "\xEF\xBB\xBFtesto";
  Prepare(&text, kTextAuto, &oem);
  EXPECT_EQ(text, "testo");

  // One malformed sequence and it is an 8-bit text after all.
  text = "caff\xE8 e t\xC3\xA8";
  EXPECT_EQ(Prepare(&text, kTextAuto, &oem), "");
  EXPECT_FALSE(oem);
  EXPECT_EQ(text, "caff\xE8 e t\xC3\xA8");

  // Plain ASCII stays as it is.
  EXPECT_FALSE(LooksLikeUtf8("solo ascii"));

  // Forced UTF-8: malformed bytes become "?", the mark is dropped.
  oem = true;
  text =
      "\xEF\xBB\xBF"
      "caff\xE8!";
  EXPECT_EQ(Prepare(&text, kTextUtf8, &oem), "");
  EXPECT_FALSE(oem);
  EXPECT_EQ(text, "caff?!");
}

// Overwhelmingly UTF-8: at least 10 multi-byte sequences and fewer than one
// invalid byte in 20 of them. The stray bytes are read as Windows-1252.
TEST(PrepareText, Utf8WithAFewStrayBytes) {
  std::string sentence = "perch\xC3\xA9 la citt\xC3\xA0 \xC3\xA8 cos\xC3\xAC. ";  // 4 each
  std::string utf8;
  for (int i = 0; i < 5; ++i) utf8 += sentence;
  std::string ansi;
  for (int i = 0; i < 5; ++i) ansi += "perch\xE9 la citt\xE0 \xE8 cos\xEC. ";

  bool oem = true;
  std::string text = utf8 + "caff\xE8 e t\xC3\xA8";  // 21 sequences, 1 stray byte
  EXPECT_EQ(Prepare(&text, kTextAuto, &oem, "libro.txt"),
            "* AVVISO: il testo \"libro.txt\" e' in UTF-8 ma contiene 1 byte non validi, "
            "letti come caratteri Windows\n");
  EXPECT_FALSE(oem);
  EXPECT_EQ(text, ansi + "caff\xE8 e t\xE8");

  // A cut-off sequence is two stray bytes, each its own 1252 character
  // (42 sequences allow two).
  text = utf8 + utf8 + "\xE2\x82 \xC3\xA8 \xC3\xA8";
  EXPECT_NE(Prepare(&text, kTextAuto, &oem, "x").find("contiene 2 byte"), std::string::npos);
  EXPECT_EQ(text, ansi + ansi + "\xE2\x82 \xE8 \xE8");

  // One stray byte in 20 sequences is too many: an 8-bit text, as before.
  text = utf8 + "caff\xE8";
  EXPECT_EQ(Prepare(&text, kTextAuto, &oem, "x"), "");
  EXPECT_EQ(text, utf8 + "caff\xE8");
  // Fewer than 10 sequences: too little to tell.
  text = sentence + sentence + "caff\xE8";
  Prepare(&text, kTextAuto, &oem, "x");
  EXPECT_EQ(text, sentence + sentence + "caff\xE8");
  // A byte-order mark says UTF-8 whatever follows.
  text =
      "\xEF\xBB\xBF"
      "caff\xE8";
  EXPECT_NE(Prepare(&text, kTextAuto, &oem, "x").find("contiene 1 byte"), std::string::npos);
  EXPECT_EQ(text, "caff\xE8");
  // Forced UTF-8 keeps its question marks.
  text = utf8 + "caff\xE8";
  EXPECT_EQ(Prepare(&text, kTextUtf8, &oem, "x"), "");
  EXPECT_EQ(text, ansi + "caff?");
}

TEST(Utf8ToAnsi, ExactForEveryWindows1252Character) {
  std::string utf8 = u8"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ";
  std::string expected =
      "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E"
      "\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F";
  for (int b = 1; b < 256; ++b) {
    if (b >= 0x80 && b < 0xA0) continue;
    if (b >= 0x80) utf8 += static_cast<char>(0xC0 | b >> 6);
    utf8 += static_cast<char>(b < 0x80 ? b : 0x80 | (b & 0x3F));
    expected += static_cast<char>(b);
  }
  EXPECT_EQ(Utf8ToAnsi(utf8), expected);
}

TEST(Utf8ToAnsi, OtherCharactersTakeTheirClosestPlainForm) {
  // Letters with diacritics that 1252 lacks.
  EXPECT_EQ(Utf8ToAnsi(u8"āăą łľ șşś őű čćç ţț ǖ ỹ ẞ ĳ"), "aaa ll sss ou cc\xE7 tt \xFC y \xDF ij");
  // Typographic marks: 1252's own where it has them, else ASCII.
  EXPECT_EQ(Utf8ToAnsi(u8"“a” ‘b’ – — … ‑ ‒ −"),
            "\x93"
            "a\x94 \x91"
            "b\x92 \x96 \x97 \x85 - - -");
  EXPECT_EQ(Utf8ToAnsi(u8"a\u2009b\u202Fc\u00A0d\u3000e"),
            "a b c\xA0"
            "d e");
  // Invisible marks vanish; decomposed letters are put together.
  EXPECT_EQ(Utf8ToAnsi(u8"pa\u200Bro\u00ADla\uFEFF"), "paro\xADla");
  EXPECT_EQ(Utf8ToAnsi(u8"e\u0301 s\u030C x\u0301 e\u0301\u0301"), "\xE9 \x9A x \xE9");
  // 1252 text once read as Latin-1 comes back; other controls vanish.
  EXPECT_EQ(Utf8ToAnsi("\xC2\x80\xC2\x81\xC2\x9C"), "\x80\x9C");
  // Nothing fits: a question mark per character.
  EXPECT_EQ(Utf8ToAnsi(u8"αβ 😀 中"), "?? ? ?");
  // Malformed or cut-off sequences give one "?" each.
  EXPECT_EQ(Utf8ToAnsi("a\xC3 b\xE2\x82"), "a? b?");
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF\xED\xA0\x80"), "?????");  // overlong, surrogate
}

// UTF-16 code units as bytes, little-endian or big-endian.
std::string Utf16(std::initializer_list<uint16_t> units, bool big = false) {
  std::string bytes;
  for (uint16_t u : units) {
    char low = static_cast<char>(u & 0xFF), high = static_cast<char>(u >> 8);
    bytes += big ? high : low;
    bytes += big ? low : high;
  }
  return bytes;
}

TEST(Utf16Text, BothByteOrdersPairsAndStrayUnits) {
  // "è ok" and U+1F600 as a surrogate pair.
  const std::initializer_list<uint16_t> units = {0x00E8, 0x0020, 0x006F, 0x006B, 0xD83D, 0xDE00};
  const std::string utf8 = "\xC3\xA8 ok\xF0\x9F\x98\x80";
  EXPECT_EQ(text::Utf16ToUtf8(Utf16(units), false), utf8);
  EXPECT_EQ(text::Utf16ToUtf8(Utf16(units, true), true), utf8);
  // A high surrogate not followed by a low one, a low one alone, a high one
  // at the end, an odd final byte: U+FFFD each, nothing else lost.
  const std::string bad = "\xEF\xBF\xBD";
  EXPECT_EQ(text::Utf16ToUtf8(Utf16({0xD800, 0x0041, 0xDC00, 0x0042, 0xDBFF}), false),
            bad + "A" + bad + "B" + bad);
  EXPECT_EQ(text::Utf16ToUtf8(Utf16({0x0041}) + "x", false), "A" + bad);

  // Only a text with the mark is decoded; it keeps the UTF-8 mark.
  std::string marked = Utf16({0xFEFF, 0x00E0}, true);
  ASSERT_TRUE(text::DecodeUtf16Text(&marked));
  EXPECT_EQ(marked, "\xEF\xBB\xBF\xC3\xA0");
  std::string plain = "\xFF\xFDtesto";
  EXPECT_FALSE(text::DecodeUtf16Text(&plain));
  EXPECT_EQ(plain, "\xFF\xFDtesto");
}

// A text with a byte-order mark is loaded as UTF-8 and read so whatever
// TIPOTESTO says; a DOS run keeps reading its other texts as DOS.
TEST(Utf16Text, LoadedAsUtf8AndReadSoWhateverTheType) {
  TempFolder folder;
  std::string path = folder.Write("u.txt", Utf16({0xFEFF, 'c', 'i', 't', 't', 0xE0, '\n'}));
  std::string text = LoadText(path, TextFileSize(path));
  EXPECT_EQ(text, "\xEF\xBB\xBF" "citt\xC3\xA0\n");
  for (int32_t type : {kTextAuto, kTextWindows, kTextDos, kTextUtf8}) {
    bool oem = type == kTextDos;
    std::string prepared = text;
    EXPECT_EQ(Prepare(&prepared, type, &oem), "") << type;
    EXPECT_EQ(prepared, "citt\xE0\n") << type;
    EXPECT_EQ(oem, type == kTextDos) << type;
  }
}

}  // namespace
