// What the engine is given: the letter case for espeak-ng, and the order
// in which the engine's text is made.
#include <gtest/gtest.h>

#include "engine/text_loading.h"
#include "reading/engine_case.h"
#include "reading/letters.h"
#include "base/settings.h"
#include "engine/engine_text.h"
#include "text/code_pages.h"

namespace {

std::string Cp1252(const std::string& utf8) { return Utf8ToAnsi(utf8); }

std::string Lowered(std::string text) {
  if (!text.empty()) text::LowerCp1252(&text[0], text.size());
  return text;
}

TEST(EngineCase, ClausesInCapitalsAndAcronymsKeepTheirCase) {
  for (const char* line : {"CAPITOLO PRIMO", "ATTENZIONE AL CANE", "E IO NO", "NON FARLO MAI PIÙ",
                           "LA STORIA DI UN PDF", "la storia di un PDF in UTF, dal GNU agli USA",
                           "NON ora, e poi",  // three lower-case letters are not enough
                           "IL RE\r\n\r\nera buono e gentile con tutti"}) {
    std::string text = Cp1252(line);
    EXPECT_EQ(reading::CaseForEngine(text), text) << line;
  }
}

TEST(EngineCase, ShortWordsInCapitalsInsideLowerCaseClausesAreLowered) {
  struct {
    const char* text;
    const char* engine;
  } cases[] = {
      {"io NON ci vado", "io non ci vado"},
      {"Ha detto NON FARLO e se ne andò", "Ha detto non FARLO e se ne andò"},
      {"dillo A ME, se puoi", "dillo A me, se puoi"},
      {"ho detto GIÀ a tutti, e C'È chi ride", "ho detto già a tutti, e c'è chi ride"},
      // A line break does not end the clause: the heading runs into its line.
      {"IL RE\r\nera buono e gentile con tutti", "il re\r\nera buono e gentile con tutti"},
      // Brackets and quotes do not end it either.
      {"il re disse molte cose (NON ora) e \"UN PO'\" di più",
       "il re disse molte cose (non ora) e \"un po'\" di più"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(reading::CaseForEngine(Cp1252(c.text)), Cp1252(c.engine)) << c.text;
}

TEST(EngineCase, LettersAgreeWithTheProgramsLowerCase) {
  for (int c = 0; c < 256; ++c) {
    char byte = static_cast<char>(c), lowered = byte;
    text::LowerCp1252(&lowered, 1);
    EXPECT_EQ(reading::ToLower(byte), lowered) << c;
    if (lowered != byte) {
      EXPECT_TRUE(reading::IsUpperLetter(byte)) << c;
      EXPECT_EQ(reading::ToUpper(lowered), byte) << c;
    }
  }
  EXPECT_TRUE(reading::IsLowerLetter('\xDF'));  // ß has no capital
  EXPECT_FALSE(reading::IsLetter('\xD7'));      // ×
}

TEST(EngineText, RulesThenDictionaryThenCase) {
  TSettings& settings = EditableSettings();
  const TSettings saved = settings;
  std::string text =
      Cp1252("E' PIU' FACILE leggere un PDF perche' lo dice il Sig. ROSSI: NON e' vero");
  // As the program has always read it: lower case only.
  reading::TUserDictionary none;
  settings.MAIUSCOLE = false;
  settings.NORMALIZZA = false;
  EXPECT_EQ(EngineText(text, none), Lowered(text));

  settings.NORMALIZZA = true;
  EXPECT_EQ(EngineText(text, none),
            Cp1252("è più facile leggere un pdf perché lo dice il signor rossi: non è vero"));

  // The dictionary reads the normalised text before its case is lowered.
  std::string error;
  reading::TUserDictionary dictionary = reading::TUserDictionary::Load(
      {{"d.txt", "!PDF = pi di effe\nperché = per quale motivo\n"}}, &error);
  ASSERT_EQ(error, "");
  EXPECT_EQ(EngineText(text, dictionary),
            Cp1252("è più facile leggere un pi di effe per quale motivo lo dice il signor rossi: "
                   "non è vero"));

  settings.MAIUSCOLE = true;
  EXPECT_EQ(EngineText(text, dictionary),
            Cp1252("È più FACILE leggere un pi di effe per quale motivo lo dice il Signor ROSSI: "
                   "non è vero"));
  settings = saved;
}

}  // namespace
