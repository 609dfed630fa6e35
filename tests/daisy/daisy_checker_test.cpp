// The checker on a small valid book, and on that book with one fault each.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <vector>

#include "daisy/book_fixture.h"
#include "daisy/daisy_checker.h"
#include "test_files.h"

using daisy_check::CheckDaisyBook;
using daisy_check::TOptions;
using daisy_check::TReport;

namespace {

TReport Check(const TFixtureBook& book, const TOptions& options = {}) {
  TempFolder folder;
  book.Write(folder.path());
  return CheckDaisyBook(folder.path(), options);
}

std::string Npt(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "npt=%.3fs", seconds);
  return text;
}

bool Mentions(const TReport& report, const std::string& text) {
  for (const std::string& problem : report.problems) {
    if (problem.find(text) != std::string::npos) return true;
  }
  return false;
}

TOptions Frames() {
  TOptions options;
  options.decodeAudio = false;
  return options;
}

}  // namespace

TEST(DaisyChecker, TheValidBookPasses) {
  const TFixtureBook book = MakeValidBook();
  const TReport report = Check(book);
  EXPECT_TRUE(report.ok()) << report.Text();

  const auto& summary = report.summary;
  ASSERT_EQ(summary.headings.size(), 3u);
  EXPECT_EQ(summary.headings[0].title, "Il libro");
  EXPECT_EQ(summary.headings[1].id, "h0002");
  EXPECT_EQ(summary.headings[2].level, 2);
  EXPECT_EQ(summary.headings[2].smil, "s0003.smil");
  EXPECT_EQ(summary.depth, 2);
  EXPECT_EQ(summary.smilFiles, 3);
  EXPECT_EQ(summary.audioFiles, 4);
  double seconds = 0;
  for (const auto& [name, length] : book.audioSeconds) seconds += length;
  EXPECT_NEAR(summary.clipSeconds, seconds, 1e-6);
  EXPECT_NEAR(summary.totalTime, seconds, 1e-6);
  EXPECT_NEAR(summary.audioSeconds, seconds, 0.002);
  EXPECT_EQ(summary.meta.at("dc:format"), "Daisy 2.02");
  EXPECT_NE(report.SummaryLine().find("headings 3 depth 2 smil 3 audio 4 totalTime "),
            std::string::npos);

  // Without an Info frame libmp3lame's frames decode to 576 samples each:
  // counting them measures the same.
  const TReport byFrames = Check(book, Frames());
  EXPECT_TRUE(byFrames.ok()) << byFrames.Text();
  EXPECT_NEAR(byFrames.summary.audioSeconds, report.summary.audioSeconds, 1e-6);
}

TEST(DaisyChecker, EachFaultOfTheBookIsReported) {
  const TFixtureBook valid = MakeValidBook();
  const std::string end001 = Npt(valid.audioSeconds.at("001.mp3"));
  const std::string end004 = Npt(valid.audioSeconds.at("004.mp3"));
  const std::string mp3 = valid.files.at("001.mp3");
  // from "": the whole file becomes to, or goes when to is "" too.
  struct TEdit {
    std::string file, from, to;
  };
  const struct {
    const char* fault;
    std::vector<TEdit> edits;
    std::string expected;   // in one of the problems
    bool sameSize = false;  // ncc:kByteSize is not worked out again
  } faults[] = {
      // ncc.html's metadata
      {"wrong dc:format", {{"ncc.html", R"("Daisy 2.02")", R"("Daisy 3")"}}, "dc:format"},
      {"no dc:identifier",
       {{"ncc.html", R"(name="dc:identifier")", R"(name="dc:id")"}},
       "dc:identifier is missing"},
      {"no ncc:narrator",
       {{"ncc.html", R"(name="ncc:narrator")", R"(name="narrator")"}},
       "ncc:narrator is missing"},
      {"dc:title twice",
       {{"ncc.html", "</head>", R"(<meta name="dc:title" content="B" /></head>)"}},
       "dc:title occurs 2 times"},
      {"dc:date not yyyy-mm-dd", {{"ncc.html", "2026-12-08", "08/12/2026"}}, "dc:date"},
      {"unknown ncc:multimediaType", {{"ncc.html", "audioNcc", "audioNCX"}}, "ncc:multimediaType"},
      {"ncc:charset not the file's",
       {{"ncc.html", R"("utf-8" />)", R"("iso-8859-1" />)"}},
       "ncc:charset"},
      {"ncc:setInfo 2 of 1", {{"ncc.html", "1 of 1", "2 of 1"}}, "ncc:setInfo"},
      {"wrong ncc:depth",
       {{"ncc.html", R"(depth" content="2)", R"(depth" content="3)"}},
       "ncc:depth"},
      {"wrong ncc:tocItems",
       {{"ncc.html", R"(Items" content="3)", R"(Items" content="4)"}},
       "ncc:tocItems"},
      {"wrong ncc:pageNormal",
       {{"ncc.html", R"(pageNormal" content="0)", R"(pageNormal" content="2)"}},
       "ncc:pageNormal"},
      {"wrong ncc:totalTime",
       {{"ncc.html", R"(Time" content="00:00:)", R"(Time" content="00:01:)"}},
       "ncc:totalTime is"},
      {"wrong ncc:files",
       {{"ncc.html", R"(files" content="9)", R"(files" content="8)"}},
       "ncc:files is 8"},
      {"wrong ncc:kByteSize",
       {{"ncc.html", R"(Size" content=")", R"(Size" content="99)"}},
       "ncc:kByteSize",
       true},
      // ncc.html's body
      {"not well-formed", {{"ncc.html", "</body>", ""}}, "not well-formed"},
      {"entity of the DTD", {{"ncc.html", "Capitolo 1</a>", "Capitolo &egrave;</a>"}}, "&egrave;"},
      {"first heading not the title",
       {{"ncc.html", R"( class="title")", ""}},
       R"(must be <h1 class="title">)"},
      {"h3 after an h1",
       {{"ncc.html", "<h2", "<h3"}, {"ncc.html", "</h2>", "</h3>"}},
       "only one level deeper"},
      {"heading without link",
       {{"ncc.html", R"(<a href="s0002.smil#t0002">Capitolo 1</a>)", "Capitolo 1"}},
       "0 a elements"},
      {"link to a missing id",
       {{"ncc.html", "s0003.smil#t0003", "s0003.smil#t9999"}},
       "#t9999, but s0003.smil has no element"},
      {"link to an audio",
       {{"ncc.html", "s0003.smil#t0003", "s0003.smil#a004"}},
       "must reach a par or a text"},
      // SMIL files
      {"text not pointing back",
       {{"s0002.smil", "ncc.html#h0002", "ncc.html#h0003"}},
       "not back to ncc.html#h0002"},
      {"text pointing nowhere",
       {{"s0002.smil", "ncc.html#h0002", "ncc.html#h0009"}},
       "ncc.html has no such id"},
      {"missing SMIL file",
       {{"s0003.smil", "", ""}},
       "s0003.smil, which ncc.html links to, is missing"},
      {"SMIL without dc:format",
       {{"s0001.smil", R"(name="dc:format")", R"(name="format")"}},
       "s0001.smil: the metadata dc:format is missing"},
      {"SMIL of another book",
       {{"s0002.smil", "nvx-0123456789abcdef", "nvx-other"}},
       "s0002.smil: its dc:identifier"},
      {"SMIL without region", {{"s0001.smil", R"(<region id="txtView" />)", ""}}, "region"},
      {"par without text",
       {{"s0001.smil", R"(<text src="ncc.html#h0001" id="t0001" />)", ""}},
       "0 text elements"},
      {"wrong ncc:timeInThisSmil",
       {{"s0002.smil", R"(Smil" content="00:00:0)", R"(Smil" content="00:00:1)"}},
       "s0002.smil: ncc:timeInThisSmil ("},
      {"wrong seq dur",
       {{"s0002.smil", R"(<seq dur=")", R"(<seq dur="9)"}},
       "the dur of its main seq"},
      {"wrong ncc:totalElapsedTime",
       {{"s0003.smil", R"(ElapsedTime" content="00:00:0)", R"(ElapsedTime" content="00:00:1)"}},
       "s0003.smil: ncc:totalElapsedTime is"},
      // clips and audio files
      {"missing audio file", {{"004.mp3", "", ""}}, "its audio 004.mp3 is missing"},
      {"clip 30 ms past the decoded end",
       {{"s0001.smil", end001, Npt(valid.audioSeconds.at("001.mp3") + 0.030)}},
       "beyond the end of the audio"},
      {"end of a file not heard",
       {{"s0003.smil", end004, Npt(valid.audioSeconds.at("004.mp3") - 0.100)}},
       "its end is never heard"},
      {"start of a file not heard",
       {{"s0001.smil", "npt=0.000s", "npt=0.050s"}},
       "its start is never heard"},
      {"clips with a gap",
       {{"s0003.smil", R"(<audio src="004.mp3" clip-begin="npt=0.000s" clip-end=")" + end004,
         R"(<seq><audio src="004.mp3" clip-begin="npt=0.000s" clip-end="npt=0.300s" />)"
         R"(<audio src="004.mp3" clip-begin="npt=0.350s" clip-end=")" +
             end004},
        {"s0003.smil", "</par>", "</seq></par>"}},
       "not contiguous"},
      {"clip ending before it begins",
       {{"s0001.smil", "npt=0.000s", "npt=5.000s"}},
       "clip-begin must come before clip-end"},
      {"clip time not npt", {{"s0001.smil", end001, end001.substr(4)}}, "no npt= clock value"},
      // master.smil and the files
      {"master.smil out of order",
       {{"master.smil", "s0002.smil#t0002", "swapped"},
        {"master.smil", "s0003.smil#t0003", "s0002.smil#t0002"},
        {"master.smil", "swapped", "s0003.smil#t0003"}},
       "where the reading order has s0002.smil"},
      {"master.smil missing a ref",
       {{"master.smil", R"(<ref src="s0003.smil#t0003")", "<x"}},
       "holds 2 refs"},
      {"upper-case file name",
       {{"001.mp3", "", ""}, {"A01.mp3", "", mp3}, {"s0001.smil", "001.mp3", "A01.mp3"}},
       "A01.mp3: the name"},
      {"file name of 9 letters",
       {{"001.mp3", "", ""},
        {"capitolo1.mp3", "", mp3},
        {"s0001.smil", "001.mp3", "capitolo1.mp3"}},
       "capitolo1.mp3: the name"},
      {"stray audio file", {{"009.mp3", "", mp3}}, "009.mp3 lies in the book's folder", true},
  };
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.fault);
    TFixtureBook book = valid;
    for (const TEdit& edit : fault.edits) {
      if (!edit.from.empty())
        book.Replace(edit.file, edit.from, edit.to);
      else if (edit.to.empty())
        book.files.erase(edit.file);
      else
        book.files[edit.file] = edit.to;
    }
    if (!fault.sameSize) UpdateByteSize(book);
    const TReport report = Check(book);
    EXPECT_TRUE(Mentions(report, fault.expected)) << report.Text();
    // One fault, a few problems at most: not a cascade.
    EXPECT_LE(report.problems.size(), 3u) << report.Text();
  }
}

TEST(DaisyChecker, TheDecoderMeasuresTheAudio) {
  // With the LAME Info frame libmpg123 drops the encoder's delay and
  // padding: the file plays what was encoded, 100 ms less than its frames.
  TempFolder folder;
  const TToneMp3 tone = EncodeTone(0.5, true);
  const std::string path = folder.Write("tone.mp3", tone.bytes);
  const double decoded = *daisy_check::AudioFileSeconds(path, {});
  const double framed = *daisy_check::AudioFileSeconds(path, Frames());
  EXPECT_NEAR(decoded, tone.inputSeconds, 1.0 / 11025);
  EXPECT_NEAR(framed, tone.frames * 576.0 / 11025, 1e-9);
  ASSERT_GT(framed - decoded, 0.030);

  // A book whose clip states the frames' length passes only by frames.
  TFixtureBook book = MakeValidBook();
  book.files["001.mp3"] = tone.bytes;
  book.Replace("s0001.smil", Npt(book.audioSeconds["001.mp3"]), Npt(framed));
  const TReport report = Check(book);
  EXPECT_TRUE(Mentions(report, "001.mp3: the clip \"a001\" in s0001.smil ends at"))
      << report.Text();
  EXPECT_FALSE(Mentions(Check(book, Frames()), "001.mp3")) << Check(book, Frames()).Text();
}

TEST(DaisyChecker, FakesAreMeasuredByTheirFrames) {
  TempFolder folder;
  const std::string fake = FakeMp3(100, true);
  const double seconds = *daisy_check::AudioFileSeconds(folder.Write("fake.mp3", fake), Frames());
  EXPECT_NEAR(seconds, 100 * 576.0 / 11025, 1e-9);

  std::string error;
  const std::string cut = folder.Write("cut.mp3", FakeMp3(3, false).substr(0, 900));
  EXPECT_FALSE(daisy_check::AudioFileSeconds(cut, Frames(), &error));
  EXPECT_EQ(error, "its last frame is cut short");
  const std::string noise = folder.Write("noise.mp3", "RIFF" + std::string(400, 'x'));
  EXPECT_FALSE(daisy_check::AudioFileSeconds(noise, Frames(), &error));
  EXPECT_FALSE(daisy_check::AudioFileSeconds(noise, {}, &error));
}

TEST(DaisyChecker, AFaultMetOftenIsCounted) {
  TFixtureBook book = MakeValidBook();
  for (int i = 0; i < 12; ++i) book.files["x" + std::to_string(i) + ".mp3"] = "";
  const TReport report = Check(book);
  ASSERT_EQ(report.problems.size(), 6u) << report.Text();
  EXPECT_EQ(report.problems.back(), "... and 7 more of the same kind (stray file).");
}

TEST(DaisyChecker, TheCommandLineTellsPassFromFail) {
  TFixtureBook book = MakeValidBook();
  TempFolder folder;
  book.Write(folder.path());
  auto run = [&](const std::string& arguments, std::string& output) {
    FILE* pipe = popen((std::string(DAISY_CHECK_PROGRAM) + " " + arguments + " 2>&1").c_str(), "r");
    char block[4096];
    output.clear();
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, pipe)) > 0;)
      output.append(block, got);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string output;
  EXPECT_EQ(run(folder.path(), output), 0) << output;
  EXPECT_EQ(output.rfind("headings 3 depth 2 smil 3 audio 4 totalTime ", 0), 0u) << output;
  EXPECT_EQ(run(folder.path() + " --frames", output), 0) << output;
  folder.Write("009.mp3", "");
  EXPECT_EQ(run(folder.path(), output), 1) << output;
  EXPECT_EQ(output.rfind("009.mp3 lies in the book's folder", 0), 0u) << output;
  EXPECT_EQ(run("", output), 2) << output;
}
