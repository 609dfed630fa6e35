// The user's pronunciation dictionary: its files in every encoding the
// program reads, its rules on real sentences, its errors and its digest.
#include <gtest/gtest.h>

#include "engine/text_loading.h"
#include "reading/user_dictionary.h"

namespace {

using reading::TUserDictionary;
using TFiles = std::vector<std::pair<std::string, std::string>>;

std::string Cp1252(const std::string& utf8) { return Utf8ToAnsi(utf8); }

TUserDictionary Loaded(const TFiles& files) {
  std::string error = "not cleared";
  TUserDictionary dictionary = TUserDictionary::Load(files, &error);
  EXPECT_EQ(error, "");
  return dictionary;
}

const char* const kRules =
    "# Nomi stranieri\n"
    "Douglas Adams = dàglas èdams\n"
    "   # anche dopo spazi\n"
    "\n"
    "Linux = lìnucs\n"
    "!GNU = gnù\n"
    "Arthur = àrtur\n"
    "Arthur Dent = àrtur dent\n"
    "/(\\d+) ?°C/ = $1 gradi\n"
    "/\\bkm\\b/ = chilometri\n";

TEST(UserDictionary, WordsPhrasesAndPatternsOnRealSentences) {
  TUserDictionary dictionary = Loaded({{"nomi.txt", kRules}});
  struct {
    const char* text;
    const char* spoken;
  } cases[] = {
      {"\t\t-- Douglas Adams, \"Guida Galattica per gli Autostoppisti\"",
       "\t\t-- dàglas èdams, \"Guida Galattica per gli Autostoppisti\""},
      // A phrase spans a line break; the longest rule wins.
      {"- Si' - disse Arthur.  E Arthur Dent, e DOUGLAS\r\nADAMS.",
       "- Si' - disse àrtur.  E àrtur dent, e dàglas èdams."},
      // Whole words only; "!" rules in their case only.
      {"LINUX e i linuxiani amano GNU, non gnu e Gnu.",
       "lìnucs e i linuxiani amano gnù, non gnu e Gnu."},
      {"Fuori ci sono 35°C e 40 °C a 12 km, 12 KM da qui.",
       "Fuori ci sono 35 gradi e 40 gradi a 12 chilometri, 12 chilometri da qui."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(dictionary.Apply(Cp1252(c.text)), Cp1252(c.spoken)) << c.text;
  std::string untouched = Cp1252("Il microchannel ti dà un vantaggio...");
  EXPECT_EQ(dictionary.Apply(untouched), untouched);
}

TEST(UserDictionary, LaterRulesReplaceEarlierOnesAndCaseSensitiveGoFirst) {
  TUserDictionary dictionary = Loaded({{"sistema.txt", "pdf = pi di effe\nRAI = rai\n"},
                                       {"mio.txt", "PDF = piddieffe\n!RAI = erre a i\n"}});
  EXPECT_EQ(dictionary.Apply("un pdf della RAI e della Rai"),
            "un piddieffe della erre a i e della rai");
}

TEST(UserDictionary, FilesInEveryEncodingGiveTheSameRules) {
  std::string utf8 = "perché = per che cosa\ncaffè = caffè\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : Cp1252(utf8)) utf16 += std::string{c, '\0'};  // these letters are Latin-1
  // A decomposed accent (e and U+0300) joins its vowel.
  std::string decomposed = "perche\xCC\x81 = per che cosa\ncaffe\xCC\x80 = caffè\n";
  std::string digest = Loaded({{"a.txt", utf8}}).Digest();
  for (const std::string& content :
       {"\xEF\xBB\xBF" + utf8, Cp1252(utf8), utf16, decomposed, "# altra nota\r\n" + utf8})
    EXPECT_EQ(Loaded({{"b.txt", content}}).Digest(), digest);
  EXPECT_EQ(Loaded({{"a.txt", utf8}}).Apply(Cp1252("Perché no?")), "per che cosa no?");
}

TEST(UserDictionary, DigestFollowsTheRulesInForceOnly) {
  std::string digest = Loaded({{"a.txt", "uno = 1\ndue = 2\n/x+/ = y\n"}}).Digest();
  EXPECT_EQ(digest.size(), 16u);
  EXPECT_EQ(digest.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(Loaded({{"b.txt", "  due=2\n\n# nota\nUNO   =   1\n/x+/ = y"}}).Digest(), digest);
  EXPECT_EQ(Loaded({{"c.txt", "uno = 0\n"}, {"d.txt", "due = 2\nuno = 1\n/x+/ = y\n"}}).Digest(),
            digest);
  EXPECT_NE(Loaded({{"e.txt", "uno = 1\ndue = 3\n/x+/ = y\n"}}).Digest(), digest);
  EXPECT_NE(Loaded({{"f.txt", "!uno = 1\ndue = 2\n/x+/ = y\n"}}).Digest(), digest);
  TUserDictionary empty = Loaded({{"g.txt", "# niente\n"}});
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.Digest(), "cbf29ce484222325");  // FNV-1a of nothing
}

// A fragment may be one line of 16 KB or more (F goes to 128 KB): a pattern
// that repeats a group over all of it would overflow the matcher's stack.
TEST(UserDictionary, APatternOverAVeryLongLineNeitherCrashesNorStopsWorking) {
  TUserDictionary dictionary = Loaded({{"d.txt", "/(ab|ba)+/ = x\n"}});
  std::string line;
  for (int i = 0; i < 30000; ++i) line += "ab";
  std::string text = line + " ab\nab ba\n";
  std::string read = dictionary.Apply(text);
  // The line is read in pieces of 2,000 characters, each a match.
  EXPECT_EQ(read, std::string(30, 'x') + " x\nx x\n");
}

TEST(UserDictionary, ErrorsNameTheFileAndTheLine) {
  struct {
    const char* content;
    const char* error;
  } cases[] = {
      {"uno = 1\ndue 2\n", "Errore nel dizionario \"voci.txt\", riga 2: manca il segno \"=\""},
      {"# nota\n\n  = niente\n",
       "Errore nel dizionario \"voci.txt\", riga 3: manca la parola prima di \"=\""},
      {"! = niente\n",
       "Errore nel dizionario \"voci.txt\", riga 1: manca la parola prima di \"=\""},
      {"/abc = x\n",
       "Errore nel dizionario \"voci.txt\", riga 1: manca la \"/\" che chiude l'espressione "
       "regolare"},
      {"// = x\n", "Errore nel dizionario \"voci.txt\", riga 1: l'espressione regolare e' vuota"},
      {"/a{99999999999999999999}/ = x\n",
       "Errore nel dizionario \"voci.txt\", riga 1: l'espressione regolare ha un numero di "
       "ripetizioni o di gruppo di piu' di quattro cifre"},
      {"/(a)\\444444444444444444444/ = x\n",
       "Errore nel dizionario \"voci.txt\", riga 1: l'espressione regolare ha un numero di "
       "ripetizioni o di gruppo di piu' di quattro cifre"},
      {"/(abc/ = x\n",
       "Errore nel dizionario \"voci.txt\", riga 1: espressione regolare non valida: parentesi "
       "tonde non bilanciate"},
      {"Łódź = uudz\n",
       "Errore nel dizionario \"voci.txt\", riga 1: il carattere U+0141 non esiste nella codifica "
       "Windows-1252"},
  };
  for (const auto& c : cases) {
    std::string error;
    TUserDictionary dictionary =
        TUserDictionary::Load({{"buono.txt", "a = b\n"}, {"voci.txt", c.content}}, &error);
    EXPECT_EQ(error, c.error) << c.content;
    EXPECT_TRUE(dictionary.Empty());
  }
  // A "/" inside the pattern, escaped or not, is not its end.
  TUserDictionary dictionary = Loaded({{"x.txt", "/e\\/o|km/h/ = chilometri orari\n"}});
  EXPECT_EQ(dictionary.Apply("a 50 km/h e/o di corsa"),
            "a 50 chilometri orari chilometri orari di corsa");
}

}  // namespace
