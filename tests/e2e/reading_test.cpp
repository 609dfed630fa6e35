// What the engine is given of a text, with the fakes (each MP3 file holds
// the very text spoken into it): the reading settings change the words,
// never where the fragments end, and with the rules off the engine hears
// what it always heard, but for the capitals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "conversion_fixture.h"

namespace {

// Windows-1252 in lower case, as the engine of Windows has always had it.
std::string Lowered(std::string text) {
  for (char& c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) b += 0x20;
    else if (b == 0x8A || b == 0x8C || b == 0x8E) b += 0x10;
    else if (b == 0x9F) b = 0xFF;
    c = static_cast<char>(b);
  }
  return text;
}

class Reading : public Conversion {
 protected:
  // The checkpoint that the RecoveryFile holds when the engine fails as it
  // speaks file k (one stream, so files are made in order).
  std::string CheckpointBefore(int k, const std::string& option) {
    unlink(folder_.File("narravox.dat").c_str());
    std::map<std::string, std::string> failure;
    failure["NARRAVOX_FAKE_ECI_FAIL"] = "eciSynchronize:" + std::to_string(k);
    RunResult run = Convert({"/VB=0", "/PA=1", "/CC=N", option, "libro.txt"}, "", failure);
    EXPECT_EQ(run.exitCode, 1) << "file " << k << " " << option << ": " << run << run.errors;
    std::string recovery = folder_.Read("narravox.dat");
    size_t line = recovery.find(folder_.File("libro.txt"));
    if (line == std::string::npos) return "";
    return recovery.substr(line, recovery.find('\r', line) - line);
  }
  // Every MP3 file of the text, in order.
  std::vector<std::string> Spoken(const std::string& option) {
    EXPECT_EQ(Convert({"/VB=0", "/CC=N", option, "libro.txt"}).exitCode, 0);
    std::vector<std::string> files;
    for (int n = 1; OutExists("libro/" + Track(n)); ++n) files.push_back(Out("libro/" + Track(n)));
    return files;
  }
};

TEST_F(Reading, TheRulesNeverMoveAFragmentsEnd) {
  Configure("MA=S\r\nTI=S\r\n");
  folder_.Write("libro.txt", ReadFileBytes(BENCH_TEXT));
  const std::vector<std::string> normalised = Spoken("/NZ=S"), plain = Spoken("/NZ=N");
  ASSERT_NE(normalised, plain);
  ASSERT_GT(plain.size(), 5u);
  EXPECT_EQ(normalised.size(), plain.size());
  for (int k = 2; k <= static_cast<int>(plain.size()); ++k)
    EXPECT_EQ(CheckpointBefore(k, "/NZ=S"), CheckpointBefore(k, "/NZ=N")) << "file " << k;
}

TEST_F(Reading, WithTheRulesOffTheEngineHearsTheTextItAlwaysHeard) {
  Configure("TI=S\r\n");  // the rules off
  folder_.Write("libro.txt", ReadFileBytes(BENCH_TEXT));
  const std::vector<std::string> kept = Spoken("/MA=S");
  // The program's earlier reading: every letter in lower case.
  std::vector<std::string> lowered;
  for (const std::string& file : kept) lowered.push_back(Lowered(file));
  EXPECT_EQ(lowered, Spoken("/MA=N"));
  EXPECT_NE(kept, lowered);
}

TEST_F(Reading, DictionariesAreReadAtTheStartAndResumeSaysWhenTheyChanged) {
  Configure("TI=N\r\nRF=---\r\n");
  folder_.Write("libro.txt", "Rossi parte.\n---\nRossi torna.\n");
  folder_.Write("nomi.txt", "# i nomi\nRossi = Bianchi\n");
  folder_.Write("sbagliato.txt", "Rossi = Bianchi\nVerdi\n");
  EXPECT_TRUE(StoppedWith(Convert({"/DZ=sbagliato.txt", "libro.txt"}),
                          "Errore nel dizionario \"" + folder_.File("sbagliato.txt") +
                              "\", riga 2: manca il segno \"=\"", kBannerLines));
  EXPECT_FALSE(OutExists("libro"));

  RunResult stopped = Convert({"/VB=0", "/PA=1", "/DZ=nomi.txt", "libro.txt"}, "",
                              {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:2"}});
  ASSERT_EQ(stopped.exitCode, 1);
  EXPECT_EQ(Out("libro/001.mp3"), "bianchi parte.\r\n");
  // Changed since: the resumed run warns, and speaks by the rules of now.
  folder_.Write("nomi.txt", "Rossi = Neri\n");
  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.errors,
            "* AVVISO: il dizionario (DIZIONARIO) e' cambiato dall'inizio della conversione: i "
            "file ancora da fare seguono le regole di adesso\n");
  EXPECT_EQ(resumed.exitCode, 0);
  EXPECT_EQ(Out("libro/002.mp3"), "neri torna.\r\n");
}

TEST_F(Reading, ARecoveryFileOfAnEarlierVersionKeepsItsReading) {
  Configure("TI=N\r\nMA=S\r\nNZ=S\r\n");
  folder_.Write("libro.txt", "Perche' il PDF?\n");
  // Settings as the version before these readings recorded them.
  std::string record = SettingsRecord({{"TITOLO", "N"}, {"PAUSACODA", "0"}});
  record = record.substr(0, record.find("MAIUSCOLE="));
  folder_.Write("narravox.dat", "ATTENZIONE!!! Non modificare questo file.\r\n" +
                                    folder_.File("out/") + "::16384::0\r\n" +
                                    folder_.File("libro.txt") + "::0::1\r\n" + record);
  ASSERT_EQ(Convert({"/R", "/VB=0"}).exitCode, 0);
  EXPECT_EQ(Out("libro/001.mp3"), "perche' il pdf?\r\n");
}

}  // namespace
