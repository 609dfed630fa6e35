// What text reaches which MP3 file: titles, word and line rules, fragment
// sizes, character sets, the ID3 tag and the console lines.
#include <ctime>

#include "conversion_fixture.h"

namespace {

TEST_F(Conversion, TitlesOnAndOff) {
  Configure("PP=N\r\n");
  folder_.Write("Libro.txt", "Uno  due\ttre.\r\n\r\n  Quattro \n");
  RunResult run = Convert({"/VB=0", "Libro.txt"});
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(Out("Libro/001.mp3"), "libro 1.\r\n\r\nuno due tre.\r\nquattro\r\n");
  EXPECT_FALSE(folder_.Exists("narravox.dat"));
  ASSERT_EQ(Convert({"/VB=0", "/TI=N", "Libro.txt"}, "S\n").exitCode, 0);
  EXPECT_EQ(Out("Libro/001.mp3"), "uno due tre.\r\nquattro\r\n");
}

TEST_F(Conversion, HyphenJoinsPunctuationAndQuotes) {
  Configure("TI=N\r\n");
  folder_.Write("t.txt",
                "Questa \xC8 un'infor-\r\nmazione .\r\n\xAB ciao \xBB disse -\r\nfine-\r\n");
  ASSERT_EQ(Convert({"t.txt"}).exitCode, 0);
  EXPECT_EQ(Out("t/001.mp3"),
            "questa \xE8 un'informazione.\r\n\xAB"
            "ciao\xBB disse -\r\nfine-\r\n");
}

TEST_F(Conversion, ManualSplitLinesAndEmptyFragments) {
  Configure("TI=N\r\nRF=*taglio*\r\n");
  folder_.Write("t.txt", "Uno.\n*TAGLIO*\n*taglio*\nDue.\n*taglio* \nTre.\n");
  ASSERT_EQ(Convert({"/VB=0", "t.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out/t"), "001.mp3\n002.mp3\n");
  EXPECT_EQ(Out("t/001.mp3"), "uno.\r\n");
  EXPECT_EQ(Out("t/002.mp3"), "due.\r\n*taglio*\r\ntre.\r\n");
}

// Fragments of about F bytes: every file but the last passes F, and the files
// together hold the whole text.
TEST_F(Conversion, FragmentsOfAboutTheSizeAndLongWords) {
  Configure("TI=N\r\nF=1\r\n");
  std::string text, expected;
  for (int i = 0; i < 300; ++i) {
    std::string line = "parola" + std::to_string(i) + (i % 7 == 6 ? "." : "");
    text += line + (i % 3 == 2 ? "\n" : " ");
    expected += line + (i % 3 == 2 ? "\r\n" : " ");
  }
  std::string longWord(5000, 'x');
  text += longWord + " fine.\n";
  expected += longWord + " fine.\r\n";
  folder_.Write("t.txt", text);
  ASSERT_EQ(Convert({"/VB=0", "t.txt"}).exitCode, 0);
  std::string joined;
  int files = 0;
  while (OutExists("t/" + Track(files + 1))) {
    std::string part = Out("t/" + Track(++files));
    joined += part;
    if (OutExists("t/" + Track(files + 1))) {
      EXPECT_GT(part.size(), 1024u) << files;
    }
  }
  EXPECT_GT(files, 2);
  EXPECT_EQ(joined, expected);
  EXPECT_NE(joined.find(longWord), std::string::npos);
}

TEST_F(Conversion, DosWindowsAndUtf8Texts) {
  Configure("TI=N\r\n");
  folder_.Write("dos.txt", "perch\x8A citt\x85\n");
  folder_.Write("win.txt", "perch\xE9 citt\xE0 \x8A\x85\n");
  folder_.Write("utf.txt", "perch\xC3\xA9 citt\xC3\xA0 \xE2\x80\x94 \xC5\x82\n");
  RunResult run = Convert({"/VB=0", "dos.txt", "win.txt", "utf.txt"});
  // "perch\xE9" and "citt\xE0" end words as only Windows letters do: no doubt.
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(Out("dos/001.mp3"), "perch\xE8 citt\xE0\r\n");
  EXPECT_EQ(Out("win/001.mp3"), "perch\xE9 citt\xE0 \x9A\x85\r\n");
  EXPECT_EQ(Out("utf/001.mp3"), "perch\xE9 citt\xE0 \x97 l\r\n");
  ASSERT_EQ(Convert({"/VB=0", "/T=D", "win.txt"}, "S\n").exitCode, 0);
  // 0xE9 and 0xE0 are OEM letters too, upper-case ones, lower-cased later.
  EXPECT_EQ(Out("win/001.mp3"), "perch\xFA citt\xF3 \xE8\xE0\r\n");
}

TEST_F(Conversion, Id3TagOfEveryFile) {
  Configure("I3=S\r\nRF=--\r\n");
  folder_.Write("capitolo primo.txt", "Uno.\n--\nDue.\n");
  ASSERT_EQ(Convert({"/VB=0", "capitolo primo.txt"}).exitCode, 0);
  std::string file = Out("capitolo primo/002.mp3");
  ASSERT_GT(file.size(), 128u);
  EXPECT_EQ(file.substr(0, file.size() - 128), "capitolo primo 2.\r\n\r\ndue.\r\n");
  std::string tag = file.substr(file.size() - 128);
  auto field = [&](size_t at, size_t width) { return tag.substr(at, width); };
  auto padded = [](std::string text, size_t width) {
    return text.append(width - text.size(), '\0');
  };
  time_t now = time(nullptr);
  EXPECT_EQ(field(0, 3), "TAG");
  EXPECT_EQ(field(3, 30), padded("Track 2", 30));
  EXPECT_EQ(field(33, 30), padded("Narravox 1.06f", 30));
  EXPECT_EQ(field(63, 30), padded("Capitolo primo", 30));
  EXPECT_EQ(field(93, 4), std::to_string(localtime(&now)->tm_year + 1900));
  EXPECT_EQ(tag[125], '\0');
  EXPECT_EQ(tag[126], 2);
  EXPECT_EQ(static_cast<unsigned char>(tag[127]), 101);
}

TEST_F(Conversion, ConsoleLinesByVerbosity) {
  Configure("RF=--\r\nCC=N\r\n");
  folder_.Write("a.txt", "Uno.\n--\nDue.\n");
  EXPECT_EQ(Convert({"/VB=0", "a.txt"}).output, "");
  // The destination is named at the start and in the summary at the end.
  const std::string destination = "Cartella di destinazione: \"" + folder_.File("out/") + "\"\n";
  const std::string text = "Testo 1 di 1, \"" + folder_.File("a.txt") + "\"\n";
  const std::string summary =
      "Conversione terminata correttamente\nTesti convertiti: 1; saltati: 0\n"
      "File MP3 creati: 2, con meno di un secondo di audio\n" +
      destination + "Tempo impiegato\n";
  EXPECT_EQ(WithoutProgress(Convert({"/VB=1", "a.txt"}, "S\n").output),
            std::string(kBannerLines) + destination + text + summary);
  std::string two = Convert({"/VB=2", "a.txt"}, "S\n").output;
  EXPECT_EQ(WithoutProgress(two), std::string(kBannerLines) + destination + text +
                                      "File 1 di 2 (001.mp3)\nFile 2 di 2 (002.mp3)\n" + summary);
  EXPECT_NE(two.find(text.substr(0, text.size() - 1) + ": 0 %\n"), std::string::npos) << two;
  std::string three = Convert({"/VB=3", "/PA=1", "a.txt"}, "S\n").output;
  // The running count of the audio made has a line of its own per minute
  // in a log; these files are shorter.
  EXPECT_EQ(WithoutProgress(three), WithoutProgress(two)) << three;
}

TEST_F(Conversion, TestModeWritesNothing) {
  Configure();
  folder_.Write("a.txt", "Uno.\n");
  folder_.Write("narravox.dat", "vecchio");
  RunResult run = Convert({"/TEST", "/VB=1", "a.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(WithoutProgress(run.output), std::string(kBannerLines) + "Testo 1 di 1, \"" +
                                             folder_.File("a.txt") +
                                             "\"\nConversione terminata correttamente\n"
                                             "Testi letti: 1; saltati: 0\nTempo impiegato\n");
  EXPECT_FALSE(folder_.Exists("out"));
  EXPECT_EQ(folder_.Read("narravox.dat"), "vecchio");
}

}  // namespace
