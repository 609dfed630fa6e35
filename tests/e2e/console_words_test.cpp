// What a listener hears from the console: the accents of a UTF-8 locale.
#include <gtest/gtest.h>

#include "conversion_fixture.h"

namespace {

const std::map<std::string, std::string> kUtf8 = {{"LANG", "it_IT.UTF-8"}};

TEST_F(Conversion, AUtf8LocaleHearsAccentedLettersAndNamesStayAsTyped) {
  Configure("CC=N\r\n");
  folder_.Write("perche'.txt", "");
  folder_.Write("b.txt", "Uno.\n");
  RunResult run = Convert({"/VB=1", "perche'.txt", "b.txt"}, "", kUtf8);
  EXPECT_EQ(run.errors, "* ERRORE: il testo \"" + folder_.File("perche'.txt") +
                            "\" \xC3\xA8 vuoto e viene saltato\n");
  // The same messages in another locale keep their apostrophes.
  RunResult plain = Convert({"/VB=1", "perche'.txt", "b.txt"}, "", {{"LC_ALL", "C"}});
  EXPECT_EQ(plain.errors, "* ERRORE: il testo \"" + folder_.File("perche'.txt") +
                              "\" e' vuoto e viene saltato\n");
  // An error of the set-up, and the help.
  RunResult refused = Convert({"/VE=50", "b.txt"}, "", kUtf8);
  EXPECT_NE(refused.errors.find("la velocit\xC3\xA0 va da 70 a 1297"), std::string::npos)
      << refused.errors;
  RunResult help = Convert({"--help"}, "", {{"LC_ALL", "C.UTF-8"}, {"LANG", "C"}});
  EXPECT_NE(help.output.find("il tipo di testo \xC3\xA8 AUTO"), std::string::npos);
  EXPECT_EQ(help.output.find("e' "), std::string::npos) << help.output;
}

}  // namespace
