// DAISY 2.02 books made with the fake libraries, whose encoder here writes
// a frame header before every chunk so that the program can measure its
// files: each book passes the checker, and repeated, resumed, parallel and
// cleaned-up conversions give the same books.
#include <filesystem>
#include <string>
#include <vector>

#include "conversion_fixture.h"
#include "daisy/daisy_checker.h"
#include "sample_books.h"

namespace {

const std::map<std::string, std::string> kFrames = {{"NARRAVOX_FAKE_ENC_FRAMES", "1"}};

class DaisyBooks : public Conversion {
 protected:
  RunResult Make(std::vector<std::string> args, const std::map<std::string, std::string>& more = {}) {
    std::map<std::string, std::string> env = kFrames;
    env.insert(more.begin(), more.end());
    args.insert(args.begin(), {"/VB=0", "/FO=D"});
    return Convert(args, "", env);
  }
  // The book in out/name passes the checker; its headings, "level title" a line.
  std::string CheckedHeadings(const std::string& name) {
    daisy_check::TOptions options;
    options.decodeAudio = false;
    const daisy_check::TReport report = daisy_check::CheckDaisyBook(folder_.File("out/" + name), options);
    EXPECT_TRUE(report.ok()) << report.Text();
    std::string headings;
    for (const daisy_check::THeading& heading : report.summary.headings)
      headings += std::to_string(heading.level) + " " + heading.title + "\n";
    return headings;
  }
};

TEST_F(DaisyBooks, AnEpubWithNestedChaptersGivesAHeadingForEach) {
  Configure("F=1\r\nID3TAG=V2\r\n");
  folder_.Write("viaggi.epub", NestedEpub());
  RunResult run = Make({"viaggi.epub"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(CheckedHeadings("viaggi"),
            "1 Viaggi & ritorni\n1 Parte prima\n2 La partenza\n2 Il mare\n3 Il porto\n"
            "1 Parte seconda\n2 Il ritorno\n");
  // The title has a file of its own, which says it once; every chapter,
  // however short, starts a file; no playlist, no clips.
  EXPECT_EQ(Listing("out/viaggi"),
            "001.mp3\n002.mp3\n003.mp3\n004.mp3\n005.mp3\n006.mp3\n007.mp3\n008.mp3\n"
            "master.smil\nncc.html\ns0001.smil\ns0002.smil\ns0003.smil\ns0004.smil\ns0005.smil\n"
            "s0006.smil\ns0007.smil\n");
  const std::string title = Out("viaggi/001.mp3");
  EXPECT_NE(title.find("viaggi & ritorni"), std::string::npos);
  EXPECT_EQ(title.find("viaggi & ritorni", title.find("viaggi & ritorni") + 1), std::string::npos);
  const std::string ncc = Out("viaggi/ncc.html");
  EXPECT_NE(ncc.find("<meta name=\"dc:title\" content=\"Viaggi &amp; ritorni\" />"), std::string::npos);
  EXPECT_NE(ncc.find("<meta name=\"dc:creator\" content=\"Anna Neri\" />"), std::string::npos);
  EXPECT_NE(ncc.find("<meta name=\"dc:date\" content=\"1999-03-04\""), std::string::npos);
  // "Il mare" takes two files, each a clip of its SMIL.
  const std::string sea = Out("viaggi/s0004.smil");
  for (const char* file : {"004.mp3", "005.mp3"})
    EXPECT_NE(sea.find(std::string("<audio src=\"") + file), std::string::npos) << sea;
}

TEST_F(DaisyBooks, PlainTextsWithAndWithoutChapters) {
  Configure("F=1\r\n");
  folder_.Write("sposi.txt", TextWithChapters(12));
  folder_.Write("frasi.txt", Sentences(60));
  RunResult run = Make({"sposi.txt", "frasi.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(CheckedHeadings("sposi"), "1 sposi\n1 Capitolo I\n1 Capitolo II\n1 Capitolo III\n");
  // Without chapters: one heading, the title, over every file.
  EXPECT_EQ(CheckedHeadings("frasi"), "1 frasi\n");
  EXPECT_EQ(Listing("out/frasi"), "001.mp3\n002.mp3\n003.mp3\nmaster.smil\nncc.html\ns0001.smil\n");
}

TEST_F(DaisyBooks, RepeatedResumedAndParallelRunsGiveTheSameBook) {
  Configure("F=1\r\nID3TAG=V2\r\n");
  folder_.Write("viaggi.epub", NestedEpub());
  ASSERT_EQ(Make({"/PA=1", "viaggi.epub"}).exitCode, 0);
  const std::string reference = Tree(folder_);

  // Again over the same folder, several files at once.
  ASSERT_EQ(Make({"/PA=3", "/CC=N", "viaggi.epub"}).exitCode, 0);
  EXPECT_EQ(Tree(folder_), reference);

  // A run that fails at its fifth file, then "/R": the same book, its
  // navigation written by the run that ends it.
  std::filesystem::remove_all(folder_.File("out"));
  RunResult failed = Make({"/PA=1", "viaggi.epub"}, {{"NARRAVOX_FAKE_ENC_FAIL", "beInitStream:5:2"}});
  EXPECT_TRUE(StoppedWith(failed, "Errore encoder MP3 (codice 2)"));
  EXPECT_FALSE(OutExists("viaggi/ncc.html"));
  RunResult resumed = Convert({"/R", "/VB=0"}, "", kFrames);
  EXPECT_EQ(resumed.exitCode, 0) << resumed.errors;
  EXPECT_EQ(Tree(folder_), reference);
}

TEST_F(DaisyBooks, AnotherConversionOfTheBookLeavesNothingOfTheEarlierOne) {
  Configure("F=1\r\nCC=N\r\n");
  folder_.Write("viaggi.epub", NestedEpub());
  ASSERT_EQ(Make({"viaggi.epub"}).exitCode, 0);
  // The same name, now a text without chapters: one heading, three files.
  std::filesystem::remove(folder_.File("viaggi.epub"));
  folder_.Write("viaggi.txt", Sentences(60));
  ASSERT_EQ(Make({"viaggi.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out/viaggi"), "001.mp3\n002.mp3\n003.mp3\nmaster.smil\nncc.html\ns0001.smil\n");
  EXPECT_EQ(CheckedHeadings("viaggi"), "1 viaggi\n");
  // As MP3 folders again: the navigation goes too.
  ASSERT_EQ(Convert({"/VB=0", "viaggi.txt"}).exitCode, 0);
  EXPECT_EQ(Listing("out/viaggi"), "001.mp3\n002.mp3\n003.mp3\n");
}

}  // namespace
