#include "text/accents.h"

#include <gtest/gtest.h>

namespace {

TEST(Accents, FinalVowelsTakeTheirAccentAndElisionsStay) {
  EXPECT_EQ(text::WithAccents("la velocita' va da 70 a 1297"), "la velocità va da 70 a 1297");
  EXPECT_EQ(text::WithAccents("Il file esiste gia'."), "Il file esiste già.");
  EXPECT_EQ(text::WithAccents("e' vuoto; E' vuoto"), "è vuoto; È vuoto");
  EXPECT_EQ(text::WithAccents("perche' e poiche', ne' l'uno ne' l'altro"),
            "perché e poiché, né l'uno né l'altro");
  EXPECT_EQ(text::WithAccents("piu' di quattro, puo' darsi, [S] Si'"),
            "più di quattro, può darsi, [S] Sì");
  // An elision keeps its apostrophe; "po'" is written so.
  EXPECT_EQ(text::WithAccents("l'opzione di un'altra conversione dell'utente"),
            "l'opzione di un'altra conversione dell'utente");
  EXPECT_EQ(text::WithAccents("un po' lento"), "un po' lento");
  // An apostrophe after no letter, or at the very start, is left alone.
  EXPECT_EQ(text::WithAccents("'x' 5' e'"), "'x' 5' è");
}

TEST(Accents, NamesBetweenDoubleQuotesStayAsTheyAre) {
  EXPECT_EQ(text::WithAccents("il testo \"perche'.txt\" e' vuoto"),
            "il testo \"perche'.txt\" è vuoto");
  // Bytes of UTF-8 end a word as any other non-letter does.
  EXPECT_EQ(text::WithAccents("caff\xC3\xA8 e'"), "caff\xC3\xA8 è");
}

}  // namespace
