// Texts as Italian readers have them: UTF-8 with a few stray bytes, UTF-16
// with its byte-order mark, files that are not texts skipped without stopping
// the run, and the pause between paragraphs, which changes nothing but the
// spoken text.
#include "conversion_fixture.h"

namespace {

using ItalianTexts = Conversion;

// The fake engine's paragraph pause: 450 ms of zero samples at 11025 Hz.
const std::string kPause(11025 * 900 / 2000, '\0');

std::string WithoutPauses(std::string content) {
  for (size_t at; (at = content.find(kPause)) != std::string::npos;)
    content.erase(at, kPause.size());
  return content;
}

TEST_F(ItalianTexts, ABinaryFileAmongTextsIsSkippedAndTheRunGoesOn) {
  Configure("TI=N\r\n");
  folder_.Write("primo.txt", "Il primo testo.\n");
  folder_.Write("programma.txt", std::string("\x7F"
                                             "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0",
                                             16) +
                                     std::string(4000, '\0') + "\x01\x02garbage");
  folder_.Write("terzo.txt", "Il terzo testo.\n");
  RunResult run = Convert({"/VB=1", "primo.txt", "programma.txt", "terzo.txt"});
  EXPECT_EQ(run.exitCode, 1);
  const std::string destination = "Cartella di destinazione: \"" + folder_.File("out/") + "\"\n";
  auto text = [&](int n, const std::string& name) {
    return "Testo " + std::to_string(n) + " di 3, \"" + folder_.File(name) + "\"\n";
  };
  EXPECT_EQ(WithoutProgress(run.output),
            std::string(kBannerLines) + destination + text(1, "primo.txt") +
                text(2, "programma.txt") + text(3, "terzo.txt") +
                "Conversione terminata; testi saltati: 1\n  \"" + folder_.File("programma.txt") +
                "\"\nTesti convertiti: 2; saltati: 1\n"
                "File MP3 creati: 2, con meno di un secondo di audio\n" +
                destination + "Tempo impiegato\n");
  EXPECT_EQ(run.errors, "* ERRORE: il file \"" + folder_.File("programma.txt") +
                            "\" non e' un file di testo (programma) e viene saltato\n");
  EXPECT_EQ(Out("primo/001.mp3"), "il primo testo.\r\n");
  EXPECT_EQ(Out("terzo/001.mp3"), "il terzo testo.\r\n");
  EXPECT_FALSE(OutExists("programma"));
  EXPECT_FALSE(folder_.Exists("narravox.dat"));

  // A damaged book is skipped with the reason; the message shows at every
  // verbosity.
  folder_.Write("libro.epub",
                std::string("PK\x03\x04\x14\0\0\0\0\0", 10) + "mimetypeapplication/epub+zip");
  run = Convert({"/VB=0", "libro.epub"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.errors, "* ERRORE: il documento \"" + folder_.File("libro.epub") +
                            "\" (EPUB) non si puo' leggere: l'archivio e' danneggiato; viene "
                            "saltato\n");
  EXPECT_FALSE(OutExists("libro"));
}

// A skipped file leaves the JobList like a finished text, so that "/R"
// does not meet it again.
TEST_F(ItalianTexts, ASkippedFileDoesNotStayInTheRecoveryFile) {
  const std::string lines = "TI=N\r\nF=1\r\n";
  Configure(lines);
  folder_.Write("foto.txt", "\x89PNG\r\n\x1A\n");
  folder_.Write("libro.txt", Sentences(100));
  // One stream: the fault falls on the second file.
  RunResult failed = Convert({"/VB=0", "/PA=1", "foto.txt", "libro.txt"}, "",
                             {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:2"}});
  EXPECT_EQ(failed.exitCode, 1);
  std::string recovery = folder_.Read("narravox.dat");
  EXPECT_EQ(recovery.find("foto.txt"), std::string::npos) << recovery;
  EXPECT_NE(recovery.find(folder_.File("libro.txt") + "::"), std::string::npos) << recovery;

  RunResult resumed = Convert({"/R", "/VB=0"});
  EXPECT_EQ(resumed.output, "");
  EXPECT_EQ(resumed.exitCode, 0);
  EXPECT_EQ(Tree(folder_), Reference(lines, Sentences(100)));
}

TEST_F(ItalianTexts, Utf8WithAStrayByteIsReadAsUtf8WithAWarning) {
  Configure("TI=N\r\n");
  std::string text;
  for (int i = 0; i < 6; ++i) text += "Perch\xC3\xA9 la citt\xC3\xA0 \xC3\xA8 cos\xC3\xAC?\n";
  folder_.Write("utf.txt", text + "Un caff\xE8.\n");
  RunResult run = Convert({"/VB=0", "utf.txt"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.errors, "* AVVISO: il testo \"" + folder_.File("utf.txt") +
                            "\" e' in UTF-8 ma contiene 1 byte non validi, letti come caratteri "
                            "Windows\n");
  std::string expected;
  for (int i = 0; i < 6; ++i) expected += "perch\xE9 la citt\xE0 \xE8 cos\xEC?\r\n";
  EXPECT_EQ(Out("utf/001.mp3"), expected + "un caff\xE8.\r\n");
}

// Notepad's "Unicode": UTF-16LE after its byte-order mark.
TEST_F(ItalianTexts, Utf16TextWithAByteOrderMarkIsRead) {
  Configure("TI=N\r\n");
  const std::string latin1 = "Perch\xE9 la citt\xE0 \xE8 cos\xEC?\r\nUn caff\xE8.\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : latin1) utf16 += std::string{c, '\0'};
  folder_.Write("unicode.txt", utf16);
  RunResult run = Convert({"/VB=0", "unicode.txt"});
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(Out("unicode/001.mp3"), "perch\xE9 la citt\xE0 \xE8 cos\xEC?\r\nun caff\xE8.\r\n");
}

// A heading, paragraphs after one or more blank lines, wrapped lines and a
// hyphen joined over a blank line.
const char kChapter[] =
    "Capitolo primo\n\n"
    "Era una notte buia e tempestosa, e il vento\nsoffiava forte.\n\n\n"
    "Un altro paragrafo.\nfine-\n\nparola.\n";

TEST_F(ItalianTexts, ParagraphPausesOnAndOff) {
  Configure("TI=N\r\n");
  folder_.Write("cap.txt", kChapter);
  ASSERT_EQ(Convert({"/VB=0", "/PP=N", "cap.txt"}).exitCode, 0);
  // What the program spoke before paragraph pauses existed.
  const std::string plain =
      "capitolo primo\r\nera una notte buia e tempestosa, e il vento\r\nsoffiava forte.\r\n"
      "un altro paragrafo.\r\nfineparola.\r\n";
  EXPECT_EQ(Out("cap/001.mp3"), plain);

  ASSERT_EQ(Convert({"/VB=0", "cap.txt"}, "S\n").exitCode, 0);  // on by default
  EXPECT_EQ(Out("cap/001.mp3"),
            "capitolo primo\r\n" + kPause +
                "era una notte buia e tempestosa, e il vento\r\nsoffiava forte.\r\n" + kPause +
                "un altro paragrafo.\r\nfineparola.\r\n");
}

// Over many fragments the files, their numbers and the checkpoints are the
// same with the pauses on and off; only the pauses differ.
TEST_F(ItalianTexts, ParagraphPausesLeaveFragmentsAndCheckpointsAlone) {
  std::string text;
  for (int i = 1; i <= 60; ++i)
    text +=
        "Paragrafo " + std::to_string(i) + "\n" + Sentences(i % 4 + 1) + (i % 3 ? "\n" : "\n\n");
  folder_.Write("libro.txt", text);
  Configure("F=1\r\nPP=N\r\n");
  ASSERT_EQ(Convert({"/VB=0", "libro.txt"}).exitCode, 0);
  std::vector<std::string> off;
  for (int n = 1; OutExists("libro/" + Track(n)); ++n) off.push_back(Out("libro/" + Track(n)));
  ASSERT_GT(off.size(), 3u);

  Configure("F=1\r\nPP=S\r\n");
  ASSERT_EQ(Convert({"/VB=0", "libro.txt"}, "S\n").exitCode, 0);
  size_t pauses = 0;
  for (size_t n = 1; n <= off.size(); ++n) {
    std::string on = Out("libro/" + Track(static_cast<int>(n)));
    EXPECT_EQ(WithoutPauses(on), off[n - 1]) << n;
    pauses += (on.size() - off[n - 1].size()) / kPause.size();
  }
  EXPECT_FALSE(OutExists("libro/" + Track(static_cast<int>(off.size()) + 1)));
  EXPECT_GT(pauses, 30u);

  // The checkpoint after the second file is the same either way.
  std::string recovery[2];
  for (int on = 0; on < 2; ++on) {
    Configure(std::string("F=1\r\nPP=") + (on ? "S" : "N") + "\r\n");
    RunResult failed = Convert({"/VB=0", "/PA=1", "libro.txt"}, "S\n",
                               {{"NARRAVOX_FAKE_ECI_FAIL", "eciSynchronize:3"}});
    EXPECT_EQ(failed.exitCode, 1);
    // The positions; the settings section that follows them differs.
    std::string saved = folder_.Read("narravox.dat");
    recovery[on] = saved.substr(0, saved.find("[IMPOSTAZIONI]"));
  }
  EXPECT_EQ(recovery[0], recovery[1]);
  EXPECT_NE(recovery[1].find("::3\r\n"), std::string::npos) << recovery[1];
}

}  // namespace
