// The navigation files of a talking book, made from a book in memory: what
// ties them (names, ids, levels, totals) and what a title may hold.
#include <gtest/gtest.h>

#include "daisy/clock.h"
#include "daisy/talking_book.h"

namespace {

using daisy::TTalkingBook;

TTalkingBook Book() {
  TTalkingBook book;
  book.info.title = "Viaggi & \"ritorni\" <1>\x01\xFF";
  book.info.identifier = "nvx-1";
  book.info.language = "it";
  book.info.audioBytes = 5000;
  book.sections = {{1, "Viaggi", {{"001.mp3", 1500}}},
                   {3, "Parte prima", {{"002.mp3", 2000}, {"003.mp3", 250}}},
                   {2, "Senza audio", {}},
                   {9, "Il porto", {{"004.mp3", 1}}}};
  return book;
}

std::string Content(const std::vector<daisy::TBookFile>& files, const std::string& name) {
  for (const daisy::TBookFile& file : files)
    if (file.name == name) return file.content;
  ADD_FAILURE() << "no " << name;
  return "";
}

TEST(TalkingBook, FilesHeadingsLevelsAndTotalsAgree) {
  const std::vector<daisy::TBookFile> files = daisy::NavigationFiles(Book());
  // ncc.html comes last: the book is whole only once it is written.
  ASSERT_EQ(files.size(), 5u);
  EXPECT_EQ(files[0].name, "s0001.smil");
  EXPECT_EQ(files[2].name, "s0003.smil");
  EXPECT_EQ(files[3].name, "master.smil");
  EXPECT_EQ(files[4].name, "ncc.html");
  const std::string ncc = files[4].content;
  // A section without audio is left out; levels never go deeper by more
  // than one, nor beyond 6.
  EXPECT_NE(ncc.find("<h1 class=\"title\" id=\"h0001\"><a href=\"s0001.smil#t0001\">Viaggi</a></h1>\n"
                     "<h2 id=\"h0002\"><a href=\"s0002.smil#t0002\">Parte prima</a></h2>\n"
                     "<h3 id=\"h0003\"><a href=\"s0003.smil#t0003\">Il porto</a></h3>\n</body>"),
            std::string::npos)
      << ncc;
  EXPECT_EQ(ncc.find("Senza audio"), std::string::npos);
  EXPECT_NE(ncc.find("name=\"ncc:depth\" content=\"3\""), std::string::npos);
  EXPECT_NE(ncc.find("name=\"ncc:tocItems\" content=\"3\""), std::string::npos);
  // 4 audio files, 3 SMIL files, master.smil and ncc.html.
  EXPECT_NE(ncc.find("name=\"ncc:files\" content=\"9\""), std::string::npos);
  EXPECT_NE(ncc.find("name=\"ncc:totalTime\" content=\"00:00:03.751\""), std::string::npos);
  size_t bytes = 5000;
  for (const daisy::TBookFile& file : files) bytes += file.content.size();
  EXPECT_NE(ncc.find("name=\"ncc:kByteSize\" content=\"" + std::to_string((bytes + 1023) / 1024) + "\""),
            std::string::npos);

  const std::string part = Content(files, "s0002.smil");
  EXPECT_NE(part.find("name=\"ncc:timeInThisSmil\" content=\"00:00:02.250\""), std::string::npos);
  EXPECT_NE(part.find("name=\"ncc:totalElapsedTime\" content=\"00:00:01.500\""), std::string::npos);
  EXPECT_NE(part.find("<seq dur=\"2.250s\">"), std::string::npos);
  EXPECT_NE(part.find("<text src=\"ncc.html#h0002\" id=\"t0002\" />\n<seq>\n"
                      "<audio src=\"002.mp3\" clip-begin=\"npt=0.000s\" clip-end=\"npt=2.000s\" "
                      "id=\"a002\" />\n<audio src=\"003.mp3\""),
            std::string::npos)
      << part;
  EXPECT_NE(Content(files, "s0003.smil").find("name=\"ncc:totalElapsedTime\" content=\"00:00:03.750\""),
            std::string::npos);
  EXPECT_NE(Content(files, "master.smil").find("<ref src=\"s0003.smil#t0003\" title=\"Il porto\""),
            std::string::npos);
}

TEST(TalkingBook, TitlesAreEscapedAndTimesWritten) {
  const std::string ncc = daisy::NavigationFiles(Book()).back().content;
  // Markup escaped, a control character made a space, a byte that is not
  // UTF-8 dropped.
  EXPECT_NE(ncc.find("<title>Viaggi &amp; &quot;ritorni&quot; &lt;1&gt; </title>"), std::string::npos)
      << ncc;
  EXPECT_EQ(daisy::ClockValue(100 * 3600000LL + 62 * 1000 + 5), "100:01:02.005");
  EXPECT_EQ(daisy::Timecount(3723456), "3723.456s");
  EXPECT_EQ(daisy::NormalPlayTime(7), "npt=0.007s");
}

TEST(TalkingBook, TellsItsNavigationFilesFromOthers) {
  for (const char* name : {"ncc.html", "NCC.HTML", "master.smil", "s0001.smil", "s12345.smil"})
    EXPECT_TRUE(daisy::IsNavigationFileName(name)) << name;
  for (const char* name : {"sommario.smil", "s01.smil", "s0001.smi", "x0001.smil", "s0001.smil.bak",
                           "001.mp3", "ncc.htm"})
    EXPECT_FALSE(daisy::IsNavigationFileName(name)) << name;
}

}  // namespace
