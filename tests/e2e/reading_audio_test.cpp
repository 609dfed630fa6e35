// What the listener hears of Italian as it is written, with the real engine
// (libeci.so on espeak-ng) and encoder: capitals read as written, accents
// typed as apostrophes, abbreviations and numerals, and the user's
// dictionary, each compared with the audio of the sentence written out.
#include <gtest/gtest.h>

#include "run_program.h"

namespace {

// The MP3 file of one sentence, with options.
std::string Audio(const std::string& sentence, const std::vector<std::string>& options = {},
                  const std::string& dictionary = "") {
  ProgramFolder folder(false);
  folder.Write("narravox.INI", std::string("[Narravox]\r\nECIDLL=") + ECI_LIBRARY +
                                   "\r\nMP3DLL=" + LAME_ENC_LIBRARY +
                                   "\r\nD=out\r\nTI=N\r\nPC=0\r\nCC=N\r\n");
  folder.Write("frase.txt", sentence + "\n");
  std::vector<std::string> args = {"/VB=0"};
  if (!dictionary.empty()) {
    folder.Write("parole.txt", dictionary);
    args.push_back("/DZ=parole.txt");
  }
  args.insert(args.end(), options.begin(), options.end());
  args.push_back("frase.txt");
  RunResult run = folder.Run(args);
  EXPECT_EQ(run.exitCode, 0) << run << run.errors;
  std::string mp3 = folder.Read("out/frase/001.mp3");
  EXPECT_GT(mp3.size(), 1000u) << sentence;
  return mp3;
}

// Whether two files are the same, without printing their bytes.
::testing::AssertionResult Same(const std::string& a, const std::string& b) {
  if (a == b) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "files of " << a.size() << " and " << b.size()
                                       << " bytes differ";
}

TEST(ReadingAudio, CapitalsAreReadAsWritten) {
  EXPECT_FALSE(Same(Audio("Il file PDF va negli USA."), Audio("il file pdf va negli usa.")));
  EXPECT_TRUE(Same(Audio("Luigi XIV regnava."), Audio("Luigi quattordicesimo regnava.")));
  // As the engine of Windows has them: the text in lower case.
  EXPECT_TRUE(Same(Audio("Il file PDF va negli USA.", {"/MA=N"}), Audio("il file pdf va negli usa.")));
}

TEST(ReadingAudio, WrittenItalianIsReadAsItsCarefulForm) {
  EXPECT_TRUE(Same(Audio("Perche' e' cosi' la citta'."), Audio("Perché è così la città.")));
  EXPECT_TRUE(Same(Audio("Il dott. Rossi, a pag. 12."), Audio("Il dottor Rossi, a pagina 12.")));
  // Off, the engine hears the apostrophes as they stand.
  EXPECT_FALSE(Same(Audio("Perche' e' cosi'.", {"/NZ=N"}), Audio("Perché è così.")));
}

TEST(ReadingAudio, TheUsersDictionaryChangesWhatIsSaid) {
  const std::string dictionary = "# nomi e misure\nRossi = Bianchi\n/\\b(\\d+) km\\b/ = $1 chilometri\n";
  EXPECT_TRUE(Same(Audio("Il signor Rossi fa 12 km.", {}, dictionary),
                   Audio("Il signor Bianchi fa 12 chilometri.")));
  EXPECT_FALSE(Same(Audio("Il signor Rossi fa 12 km."), Audio("Il signor Bianchi fa 12 chilometri.")));
}

}  // namespace
